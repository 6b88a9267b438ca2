#include "maintenance/PulisciTmp.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "maintenance/Semafori.h"
#include "platform/Formats.h"

namespace vardof::maintenance {

qint64 contaTabelleTmp(db::Attachment &att)
{
    db::Transaction t(att);
    const db::FieldValue v = db::queryValue(
        att, t,
        QStringLiteral("SELECT\n  COUNT(*) AS TOT\nFROM\n  RDB$RELATIONS\nWHERE\n  RDB$RELATION_NAME STARTING WITH 'TMP_'"));
    t.commit();
    return v ? db::toInt64(*v).value_or(0) : 0;
}

QString formatoConteggio(qint64 n)
{
    return platform::formatFloat(QStringLiteral("###,##0"), double(n));
}

EsitoPulisciTmp eliminaTabelleTmp(db::Attachment &att, qint64 totale, platform::RunFeedback &feedback,
                                  FasiPulisciTmp *fasi)
{
    EsitoPulisciTmp esito;
    feedback.progress(0);
    {
        std::unique_ptr<db::Transaction> t = TransazioneNoWait(att);
        // The names are read first: dropping a table while its catalogue row
        // is under an open cursor of the same transaction is not reliable.
        QStringList names;
        {
            db::Statement s(att, *t,
                            QStringLiteral("SELECT\n  RDB$RELATION_NAME AS TABELLA\nFROM\n  RDB$RELATIONS\nWHERE\n"
                                           "  RDB$RELATION_NAME STARTING WITH 'TMP_'\nORDER BY\n  RDB$RELATION_NAME"),
                            db::ParamStyle::AsWritten);
            db::ResultSet rs = s.open();
            while (rs.next())
                names << rs.text(0).trimmed();
        }
        qint64 k = 0;
        for (const QString &name : names) {
            feedback.keepAlive();
            if (feedback.interruptRequested()) {
                esito.fermata = true;
                break;
            }
            ++k;
            const int percentuale = platform::percentOf(k, totale);
            if (fasi)
                fasi->tabella(k, name, percentuale);
            feedback.progress(percentuale);
            try {
                // Quoted as the catalogue holds it: a work table made under a
                // quoted name (lower case, a quote, a blank) is dropped too.
                db::executeSql(att, *t, QStringLiteral("DROP TABLE ") + db::quotedName(name));
                t->commitRetaining();
                ++esito.eliminate;
            } catch (const db::Error &e) {
                try {
                    t->rollbackRetaining();
                } catch (const db::Error &) {
                }
                feedback.tell(platform::Error, QStringLiteral("Errore interno durante l'eliminazione della tabella ") + name
                               + QLatin1Char('\n') + e.message() + QLatin1Char('\n') + QStringLiteral("(n° ")
                               + formatoConteggio(k) + QStringLiteral(" di ") + formatoConteggio(totale)
                               + QLatin1Char(')'));
                esito.fallita = true;
                break;
            }
        }
        try {
            if (t->isActive())
                t->commit();
        } catch (const db::Error &) {
        }
    }
    feedback.progress(0);
    esito.totaleDopo = contaTabelleTmp(att);
    return esito;
}

} // namespace vardof::maintenance
