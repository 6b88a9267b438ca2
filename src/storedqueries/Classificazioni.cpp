#include "storedqueries/Classificazioni.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "storedqueries/StoredQueryTables.h"

namespace vardof::storedqueries {

namespace {

QString righe(const QStringList &l)
{
    return l.join(QLatin1Char('\n'));
}

// Descriptions never hold a quote (they are stored with ´), but a value read
// back from a table someone else wrote may: doubled once, it stays a value.
QString letterale(const QString &testo)
{
    QString t = testo;
    return QLatin1Char('\'') + t.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

qint64 conta(db::Attachment &att, const QStringList &sql)
{
    db::Transaction breve(att);
    const db::FieldValue v = db::queryValue(breve, righe(sql));
    const qint64 n = v ? db::toInt64(*v).value_or(0) : 0;
    breve.commit();
    return n;
}

void eseguiECommit(db::Transaction &tra, const QStringList &sql)
{
    tra.ensureStarted();
    try {
        db::executeSql(tra, righe(sql));
        tra.commitRetaining();
    } catch (const db::Error &) {
        // What failed must not ride along with the next commit of the context.
        try {
            if (tra.isActive())
                tra.rollbackRetaining();
        } catch (const db::Error &) {
        }
        throw;
    }
}

} // namespace

QString tabellaClassificazione(int n)
{
    return QStringLiteral("QUERYCLASS") + QString::number(n);
}

QStringList creaQueryClass(int n)
{
    return {QStringLiteral("CREATE TABLE QUERYCLASS") + QString::number(n) + QLatin1Char('('),
            QStringLiteral("CODICE INTEGER NOT NULL PRIMARY KEY,"), QStringLiteral("DESCRIZIONE VARCHAR(20)"),
            QStringLiteral(")")};
}

bool CheckTabQueryClass(db::Attachment &att, db::Transaction &tra, int n)
{
    platform::MessageBoxFeedback avvisi;
    return CheckTabQueryClass(att, tra, n, avvisi);
}

bool CheckTabQueryClass(db::Attachment &, db::Transaction &tra, int n, platform::RunFeedback &avvisi)
{
    const QString tabella = tabellaClassificazione(n);
    try {
        const db::FieldValue tot = db::queryValue(
            tra, righe({QStringLiteral("SELECT"), QStringLiteral("  COUNT(*) AS TOT"), QStringLiteral("FROM"),
                        QStringLiteral("  RDB$RELATIONS"), QStringLiteral("WHERE"),
                        QStringLiteral("  RDB$RELATION_NAME='") + tabella + QLatin1Char('\'')}));
        if (tot && db::toInt64(*tot).value_or(0) > 0)
            return true;
        eseguiECommit(tra, creaQueryClass(n));
        return true;
    } catch (const db::Error &e) {
        avvisi.tell(platform::Error, QStringLiteral("Errore interno durante la creazione della tabella \"") + tabella
                                         + QStringLiteral("\":") + QLatin1Char('\r') + e.message());
        return false;
    }
}

void installaPreparaClassificazioni()
{
    setPreparaClassificazioni([](db::Attachment &att, db::Transaction &tra) {
        CheckTabQueryClass(att, tra, 1);
        CheckTabQueryClass(att, tra, 2);
    });
}

QStringList descrizioniClassificazione(db::Attachment &att, db::Transaction &tra, int n)
{
    db::Statement s(att, tra,
                    righe({QStringLiteral("SELECT"), QStringLiteral("  DESCRIZIONE"), QStringLiteral("FROM"),
                           QStringLiteral("  ") + tabellaClassificazione(n), QStringLiteral("ORDER BY"),
                           QStringLiteral("  DESCRIZIONE")}),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    QStringList out;
    while (rs.next())
        out << rs.text(0);
    return out;
}

QString senzaApici(const QString &testo)
{
    QString t = testo;
    return t.replace(QLatin1Char('\''), QChar(0x00B4));
}

EsitoDescrizione verificaDescrizione(db::Attachment &att, int n, const QString &testo, std::optional<int> escluso,
                                     QString &accettata)
{
    accettata.clear();
    if (testo.isEmpty())
        return EsitoDescrizione::Vuota;
    if (testo.size() > kLunghezzaDescrizione)
        return EsitoDescrizione::TroppoLunga;
    const QString valore = senzaApici(testo);
    QStringList sql{QStringLiteral("SELECT"), QStringLiteral("  COUNT(*) AS TOT"), QStringLiteral("FROM"),
                    QStringLiteral("  ") + tabellaClassificazione(n), QStringLiteral("WHERE")};
    if (escluso)
        sql << QStringLiteral("  CODICE<>") + QString::number(*escluso) << QStringLiteral("  AND");
    sql << QStringLiteral("  DESCRIZIONE=") + letterale(valore);
    if (conta(att, sql) >= 1)
        return EsitoDescrizione::GiaUtilizzata;
    accettata = valore;
    return EsitoDescrizione::Accettata;
}

QString messaggioDescrizione(EsitoDescrizione esito)
{
    switch (esito) {
    case EsitoDescrizione::Vuota:
        return QStringLiteral("Inserire una descrizione");
    case EsitoDescrizione::TroppoLunga:
        return QStringLiteral("La descrizione non può superare i 20 caratteri");
    case EsitoDescrizione::GiaUtilizzata:
        return QStringLiteral("Descrizione già utilizzata");
    case EsitoDescrizione::Accettata:
        break;
    }
    return QString();
}

int nuovoCodiceClassificazione(db::Attachment &att, int n)
{
    db::Transaction breve(att);
    const db::FieldValue v = db::queryValue(
        breve, righe({QStringLiteral("SELECT"), QStringLiteral("  COALESCE(MAX(CODICE),0) AS MASSIMO"),
                      QStringLiteral("FROM"), QStringLiteral("  ") + tabellaClassificazione(n)}));
    breve.commit();
    return int(v ? db::toInt64(*v).value_or(0) : 0) + 1;
}

void inserisciClassificazione(db::Attachment &, db::Transaction &tra, int n, int codice, const QString &descrizione)
{
    eseguiECommit(tra, {QStringLiteral("INSERT INTO QUERYCLASS") + QString::number(n) + QLatin1Char('('),
                        QStringLiteral("CODICE,"), QStringLiteral("DESCRIZIONE"), QStringLiteral(")"),
                        QStringLiteral("VALUES("), QString::number(codice) + QLatin1Char(','),
                        letterale(descrizione), QStringLiteral(")")});
}

void rinominaClassificazione(db::Attachment &, db::Transaction &tra, int n, int codice, const QString &descrizione)
{
    eseguiECommit(tra, {QStringLiteral("UPDATE QUERYCLASS") + QString::number(n) + QStringLiteral(" SET"),
                        QStringLiteral("DESCRIZIONE=") + letterale(descrizione), QStringLiteral("WHERE"),
                        QStringLiteral("  CODICE=") + QString::number(codice)});
}

void eliminaClassificazione(db::Attachment &, db::Transaction &tra, int n, int codice)
{
    eseguiECommit(tra, {QStringLiteral("DELETE FROM QUERYCLASS") + QString::number(n), QStringLiteral("WHERE"),
                        QStringLiteral("  CODICE=") + QString::number(codice)});
}

bool classificazioneUsata(db::Attachment &att, int n, const QString &descrizione)
{
    return conta(att, {QStringLiteral("SELECT"), QStringLiteral("  COUNT(*) AS TOT"), QStringLiteral("FROM"),
                       QStringLiteral("  STOQUER"), QStringLiteral("WHERE"),
                       QStringLiteral("  CLASSIFICAZIONE") + QString::number(n) + QLatin1Char('=')
                           + letterale(descrizione)})
           >= 1;
}

} // namespace vardof::storedqueries
