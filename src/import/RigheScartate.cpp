#include "import/RigheScartate.h"

namespace vardof::importcsv {

bool RigheScartate::apri(const QString &percorso)
{
    annulla();
    m_errore.clear();
    auto scarti = std::make_unique<platform::OutputFile>(percorso);
    auto log = std::make_unique<platform::OutputFile>(percorso + QStringLiteral(".log"));
    if (!scarti->open())
        return registra(*scarti);
    if (!log->open())
        return registra(*log);
    m_scarti = std::move(scarti);
    m_log = std::move(log);
    return true;
}

bool RigheScartate::registra(const platform::OutputFile &f)
{
    if (m_errore.isEmpty())
        m_errore = f.errorMessage();
    return false;
}

bool RigheScartate::aggiungi(qint64 numero, QByteArrayView riga, const QString &motivo)
{
    if (!m_scarti)
        return true;
    if (!m_scarti->write(riga.data(), riga.size()) || !m_scarti->write("\r\n", 2))
        return registra(*m_scarti);
    return scriviLog(QString::number(numero) + u'\t' + motivo);
}

void RigheScartate::nota(const QString &testo)
{
    if (m_log)
        scriviLog(testo);
}

bool RigheScartate::scriviLog(const QString &testo)
{
    // One entry per line: the server's messages come in several lines.
    QString riga = testo;
    riga.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    if (!m_log->writeText(riga) || !m_log->write("\r\n", 2))
        return registra(*m_log);
    return true;
}

bool RigheScartate::fallito() const
{
    return !m_errore.isEmpty();
}

bool RigheScartate::chiudi()
{
    if (!m_scarti)
        return m_errore.isEmpty();
    auto scarti = std::move(m_scarti);
    auto log = std::move(m_log);
    if (!m_errore.isEmpty())
        return false; // both are dropped with their writers
    // The log first: a rejects file that takes its place has its own log.
    if (!log->commit())
        return registra(*log);
    if (!scarti->commit())
        return registra(*scarti);
    return true;
}

void RigheScartate::annulla()
{
    m_scarti.reset();
    m_log.reset();
}

} // namespace vardof::importcsv
