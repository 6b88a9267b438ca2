#include "params/TTabXForm.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "context/OpenOrCreate.h"
#include "context/SqlBuilders.h"
#include "platform/Formats.h"
#include "platform/HostPaths.h"
#include "platform/Messages.h"

#include <QDir>

namespace vardof::params {

using context::quoted;

namespace {

QString num(qint64 n)
{
    return quoted(QString::number(n));
}

} // namespace

TTabXForm::TTabXForm()
    : m_transazioneUser(std::make_unique<db::Transaction>(m_databaseUser))
    , m_transaction1(std::make_unique<db::Transaction>(
          m_database1, QStringList{QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")}))
{
    const QString hostDir = platform::hostDir();
    const QString userDir = hostDir + QStringLiteral("user");
    QDir().mkpath(platform::toNativeLocal(userDir));
    if (!context::ApriOCreaDatabase(m_databaseUser, userDir + QLatin1Char('/'), QStringLiteral("user.fdb"))) {
        platform::error(QStringLiteral("Errore inizializzazione database utenti"));
        return;
    }
    try {
        if (!db::catalog::relationExists(*m_transazioneUser, QStringLiteral("TABSCRIPT"))) {
            try {
                query({QStringLiteral("CREATE TABLE TABSCRIPT("),
                       QStringLiteral("PROGETTO VARCHAR(15) NOT NULL,"),
                       QStringLiteral("SCRIPTFORM VARCHAR(15) NOT NULL,"),
                       QStringLiteral("CONTESTO SMALLINT NOT NULL,"),
                       QStringLiteral("UTENTE VARCHAR(15) NOT NULL,"),
                       QStringLiteral("DESCRIZIONESITUAZIONE BLOB,"),
                       QStringLiteral("SCRIPT BLOB,"),
                       QStringLiteral("MODIFICATODAUTENTE SMALLINT,"),
                       QStringLiteral("DATAULTIMAMODIFICA DATE,"),
                       QStringLiteral("STATUS SMALLINT,"),
                       QStringLiteral("CONSTRAINT ZUNTAB_CHIAVEPRIMARIA PRIMARY KEY (PROGETTO,SCRIPTFORM,CONTESTO,UTENTE));")})
                    .execute();
                m_transazioneUser->commit();
            } catch (const db::Error &) {
                if (m_transazioneUser->isActive())
                    m_transazioneUser->rollback();
                platform::error(QStringLiteral("Errore interno di CREATE: impossibile creare la tabella TABSCRIPT"));
            }
        }
    } catch (const db::Error &) {
        platform::error(QStringLiteral("Errore interno di CREATE: impossibile creare la tabella TABSCRIPT"));
    }
}

TTabXForm::~TTabXForm()
{
    m_queryOstrel.reset();
    m_transaction1.reset();
    m_database1.disconnect();
    m_transazioneUser.reset();
    m_databaseUser.disconnect();
}

db::Statement &TTabXForm::query(const QStringList &lines)
{
    // One statement object reused for every statement on the user database.
    if (!m_queryOstrel)
        m_queryOstrel = std::make_unique<db::Statement>(m_databaseUser, *m_transazioneUser);
    m_queryOstrel->setSql(lines, db::ParamStyle::AsWritten);
    return *m_queryOstrel;
}

void TTabXForm::restartUserTransaction()
{
    if (m_transazioneUser->isActive())
        m_transazioneUser->rollback();
    m_transazioneUser->start();
}

void TTabXForm::SetUserPerNum(int userNumber)
{
    NumeroUtente = userNumber;
    NomeUtente.clear();
    Ditta.clear();
    {
        db::ResultSet rs = query({QStringLiteral("SELECT NOMEUTENTE FROM UTENTI"),
                                  QStringLiteral("WHERE (CODICE=%1)").arg(num(userNumber))})
                               .open();
        if (rs.next())
            NomeUtente = rs.text(0);
    }
    // The host may have changed the company meanwhile: read it afresh.
    restartUserTransaction();
    db::ResultSet rs = query({QStringLiteral("SELECT DITTA FROM UTENTI"),
                              QStringLiteral("WHERE (NOMEUTENTE=%1)").arg(quoted(NomeUtente))})
                           .open();
    if (rs.next())
        Ditta = rs.text(0);
}

QString TTabXForm::CaricaParametro(const QString &name)
{
    db::ResultSet rs = query({QStringLiteral("SELECT VALORE FROM TABOSTREL WHERE"),
                              QStringLiteral("(UTENTE=%1)AND").arg(num(NumeroUtente)),
                              QStringLiteral("(INTESTAZIONE=%1)AND").arg(quoted(Ditta)),
                              QStringLiteral("(PARAMETRO=%1)").arg(quoted(name))})
                           .open();
    return rs.next() ? rs.text(0) : QString();
}

void TTabXForm::ScriviParametroOstrel(const QString &heading, const QString &name,
                                      const std::optional<QString> &value)
{
    restartUserTransaction();
    bool exists = false;
    {
        db::ResultSet rs = query({QStringLiteral("SELECT * FROM TABOSTREL WHERE"),
                                  QStringLiteral("(UTENTE=%1)AND").arg(num(NumeroUtente)),
                                  QStringLiteral("(INTESTAZIONE=%1)AND").arg(quoted(heading)),
                                  QStringLiteral("(PARAMETRO=%1)").arg(quoted(name))})
                               .open();
        exists = rs.next();
    }
    const QString valueText = value ? quoted(*value) : QStringLiteral("NULL");
    if (!exists) {
        try {
            qint64 progressive = 1;
            {
                db::ResultSet rs = query({QStringLiteral("SELECT MAX(PROGRESSIVO) FROM TABOSTREL"),
                                          QStringLiteral("WHERE (UTENTE=%1)").arg(num(NumeroUtente))})
                                       .open();
                if (rs.next() && !rs.isNull(0))
                    progressive = rs.toInt64(0).value_or(0) + 1;
            }
            query({QStringLiteral("INSERT INTO TABOSTREL (UTENTE,INTESTAZIONE,PARAMETRO,VALORE,"),
                   QStringLiteral("PROGRESSIVO) VALUES("),
                   num(NumeroUtente) + QLatin1Char(','),
                   quoted(heading) + QLatin1Char(','),
                   quoted(name) + QLatin1Char(','),
                   valueText + QLatin1Char(','),
                   num(progressive) + QLatin1Char(')')})
                .execute();
            m_transazioneUser->commit();
        } catch (const db::Error &) {
            restartUserTransaction();
            platform::error(QStringLiteral("Errore interno di INSERT: impossibile aggiornare la tabella dei parametri"));
        }
    } else {
        try {
            query({QStringLiteral("UPDATE TABOSTREL SET"),
                   QStringLiteral("VALORE=") + valueText,
                   QStringLiteral("WHERE (UTENTE=%1)AND").arg(num(NumeroUtente)),
                   QStringLiteral("(INTESTAZIONE=%1)AND").arg(quoted(heading)),
                   QStringLiteral("(PARAMETRO=%1)").arg(quoted(name))})
                .execute();
            m_transazioneUser->commit();
        } catch (const db::Error &) {
            restartUserTransaction();
            platform::error(QStringLiteral("Errore interno di UPDATE: impossibile aggiornare la tabella dei parametri"));
        }
    }
    ScriviOstrel(NumeroUtente);
}

void TTabXForm::ScriviOstrel(int userNumber)
{
    QString summary;
    {
        db::ResultSet rs = query({QStringLiteral("SELECT * FROM TABOSTREL WHERE"),
                                  QStringLiteral("(UTENTE=%1)AND").arg(num(userNumber)),
                                  QStringLiteral("(INTESTAZIONE IS NOT NULL)"),
                                  QStringLiteral("ORDER BY INTESTAZIONE,PROGRESSIVO,UTENTE")})
                               .open();
        const int iHeading = rs.indexOf(QStringLiteral("INTESTAZIONE"));
        const int iName = rs.indexOf(QStringLiteral("PARAMETRO"));
        const int iValue = rs.indexOf(QStringLiteral("VALORE"));
        QString previous;
        while (rs.next()) {
            QString line;
            bool keep = true;
            const QString heading = rs.text(iHeading);
            if (heading != previous) {
                if (!heading.isEmpty()) {
                    line = QLatin1Char('[') + heading + QStringLiteral("]\n");
                    previous = heading;
                } else {
                    keep = false;
                }
            }
            const QString name = rs.text(iName);
            if (!name.isEmpty())
                line += name + QLatin1Char('=') + rs.text(iValue);
            if (keep)
                summary += line + QLatin1Char('\n');
        }
    }
    try {
        if (summary.isEmpty())
            query({QStringLiteral("UPDATE UTENTI SET OSTREL=NULL WHERE"), QStringLiteral("CODICE=%1").arg(num(userNumber))})
                .execute();
        else
            query({QStringLiteral("UPDATE UTENTI SET OSTREL=%1 WHERE").arg(quoted(summary)),
                   QStringLiteral("CODICE=%1").arg(num(userNumber))})
                .execute();
        m_transazioneUser->commit();
    } catch (const db::Error &) {
        restartUserTransaction();
        platform::error(QStringLiteral("Errore interno di UPDATE: impossibile aggiornare i parametri ostrel dell'utente"));
    }
}

void TTabXForm::Inserisci(const QString &tipo, const QString &nome, const QString &numero, const QString &testo,
                          const QString &data, const QString &memo, const QString &livello1,
                          const QString &livello2, const QString &utente)
{
    auto optInt = [](const QString &text) -> std::optional<int> {
        if (text.trimmed().isEmpty())
            return std::nullopt;
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        return ok ? std::optional<int>(v) : std::nullopt;
    };
    const std::optional<int> user = optInt(utente);
    auto it = std::find_if(m_memTabX.begin(), m_memTabX.end(), [&](const MemTabXRow &r) {
        return r.Tipo == tipo && r.Nome == nome && r.Utente == user;
    });
    MemTabXRow *row;
    if (it == m_memTabX.end()) {
        m_memTabX.push_back(MemTabXRow{});
        row = &m_memTabX.back();
        row->Codice = m_nextCodice++;
        row->Tipo = tipo.left(10);
        row->Nome = nome.left(64);
        row->Utente = user;
    } else {
        row = &*it;
    }
    row->Numero = numero.trimmed().isEmpty() ? std::nullopt : std::optional<qint64>(numero.trimmed().toLongLong());
    row->Testo = testo.left(128);
    row->Data = data.trimmed().isEmpty() ? std::nullopt : platform::strToDate(data);
    row->Memo = memo;
    row->Livello1 = optInt(livello1);
    row->Livello2 = optInt(livello2);
}

QString TTabXForm::GetV(const QString &key) const
{
    for (const MemTabXRow &r : m_memTabX)
        if (r.Nome == key)
            return r.Testo;
    return QString();
}

bool TTabXForm::SetV(const QString &key, const QString &text)
{
    for (MemTabXRow &r : m_memTabX)
        if (r.Nome == key) {
            r.Testo = text.left(128);
            return true;
        }
    return false;
}

QString TTabXForm::GetM(const QString &key) const
{
    for (const MemTabXRow &r : m_memTabX)
        if (r.Nome == key)
            return r.Memo;
    return QString();
}

bool TTabXForm::SetM(const QString &key, const QString &text)
{
    for (MemTabXRow &r : m_memTabX)
        if (r.Nome == key) {
            r.Memo = text;
            return true;
        }
    return false;
}

bool TTabXForm::ConnettiDatabase1(const QString &key)
{
    const platform::DirFile parts = platform::splitDirFile(GetV(key));
    if (!context::ApriOCreaDatabase(m_database1, parts.dir, parts.file)) {
        platform::error(QStringLiteral("Errore apertura archivio"));
        return false;
    }
    return true;
}

bool TTabXForm::ScritturaHandleDiApertura(qint64 windowId, qint64 windowHandle)
{
    try {
        restartUserTransaction();
        query({QStringLiteral("UPDATE VELTALOGFUNZ SET HANDLEFINESTRA=%1").arg(num(windowHandle)),
               QStringLiteral("WHERE IDFINESTRA=%1").arg(num(windowId))})
            .execute();
        m_transazioneUser->commitRetaining();
        return true;
    } catch (const db::Error &) {
        return false;
    }
}

} // namespace vardof::params
