#include "import/RigheScartate.h"

#include "platform/Cp1252.h"

namespace vardof::importcsv {

bool RigheScartate::apri(const QString &percorso, QString &errore)
{
    annulla();
    m_righe = 0;
    m_scarti.setFileName(percorso);
    m_log.setFileName(percorso + QStringLiteral(".log"));
    if (!m_scarti.open(QIODevice::WriteOnly)) {
        errore = m_scarti.errorString();
        return false;
    }
    if (!m_log.open(QIODevice::WriteOnly)) {
        errore = m_log.errorString();
        m_scarti.cancelWriting();
        m_scarti.commit();
        return false;
    }
    m_aperto = true;
    return true;
}

void RigheScartate::aggiungi(qint64 numero, QByteArrayView riga, const QString &motivo)
{
    if (!m_aperto)
        return;
    ++m_righe;
    // A failed write is remembered by QSaveFile and reported by commit().
    m_scarti.write(riga.data(), riga.size());
    m_scarti.write("\r\n", 2);
    scriviLog(QString::number(numero) + u'\t' + motivo);
}

void RigheScartate::nota(const QString &testo)
{
    if (m_aperto)
        scriviLog(testo);
}

void RigheScartate::scriviLog(const QString &testo)
{
    // One entry per line: the server's messages come in several lines.
    QString riga = testo;
    riga.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    QByteArray b = platform::toCp1252(riga);
    b += "\r\n";
    m_log.write(b);
}

bool RigheScartate::chiudi(QString &errore)
{
    if (!m_aperto)
        return true;
    m_aperto = false;
    // The log first: a rejects file that takes its place has its own log.
    if (!m_log.commit()) {
        errore = m_log.errorString();
        m_scarti.cancelWriting();
        m_scarti.commit();
        return false;
    }
    if (!m_scarti.commit()) {
        errore = m_scarti.errorString();
        return false;
    }
    return true;
}

void RigheScartate::annulla()
{
    if (!m_aperto)
        return;
    m_aperto = false;
    m_scarti.cancelWriting();
    m_scarti.commit();
    m_log.cancelWriting();
    m_log.commit();
}

} // namespace vardof::importcsv
