#include "storedqueries/StoredQueryTables.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "context/OpenOrCreate.h"
#include "platform/Messages.h"

#include <cmath>

namespace vardof::storedqueries {


namespace {

PreparaClassificazioni &hookClassificazioni()
{
    static PreparaClassificazioni hook;
    return hook;
}

ApriDatabase &openerOverride()
{
    static ApriDatabase opener;
    return opener;
}

QString joined(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n'));
}

// Declared length of a column (characters for text), 0 when missing.
int lunghezza(db::Attachment &att, db::Transaction &tra, const QString &table, const QString &column)
{
    for (const auto &c : db::catalog::columns(att, tra, table))
        if (c.name == column)
            return c.length;
    return 0;
}

void eseguiECommit(db::Attachment &att, db::Transaction &tra, const QString &sql)
{
    tra.ensureStarted();
    db::executeSql(att, tra, sql);
    if (tra.isActive())
        tra.commitRetaining();
}

void annullaSeAttiva(db::Transaction &tra)
{
    // A failed ALTER leaves its work half done in the transaction; the
    // preparation goes on, so give back a clean context.
    try {
        if (tra.isActive())
            tra.rollbackRetaining();
    } catch (const db::Error &) {
    }
}

const QString kImpossibile = QStringLiteral("Impossibile aggiornare il tracciato della tabella ");
const QString kRiprovare = QStringLiteral(". Per aggiornarlo provare ad accedere in un secondo momento a questa schermata.");
const QString kFinche = QStringLiteral(" Finchè non verrà aggiornato non sarà possibile trattare campi di tabelle con un "
                                       "nome contenente più di 28 caratteri");

} // namespace

QStringList creaStoQuer()
{
    return {QStringLiteral("CREATE TABLE \"STOQUER\" ("),
            QStringLiteral("Codice INTEGER Not Null,"),
            QStringLiteral("Titolo VarChar(40),"),
            QStringLiteral("Tabella VarChar(31),"),
            QStringLiteral("Percorso VarChar(128),"),
            QStringLiteral("CLASSIFICAZIONE1 VARCHAR(20),"),
            QStringLiteral("CLASSIFICAZIONE2 VARCHAR(20),"),
            QStringLiteral("NOMEEXPORT VARCHAR(31),"),
            QStringLiteral("NOTE Blob sub_type 1,"),
            QStringLiteral("CONSTRAINT \"STOQUER_CHIAVEPRIMARIA\" PRIMARY KEY (Codice))")};
}

QStringList creaStoInt()
{
    return {QStringLiteral("CREATE TABLE STOINT ("),
            QStringLiteral("Codice1 INTEGER Not Null,"),
            QStringLiteral("Codice2 Float Not Null,"),
            QStringLiteral("Numero INTEGER Not Null,"),
            QStringLiteral("Nome VarChar(40),"),
            QStringLiteral("Mostra INTEGER,"),
            QStringLiteral("Condizione VarChar(1024),"),
            QStringLiteral("CONSTRAINT \"STOINT_CHIAVEPRIMARIA\" PRIMARY KEY (Codice1,Codice2,Numero))")};
}

QStringList creaStoAsp()
{
    return {QStringLiteral("CREATE TABLE STOASP ("),
            QStringLiteral("Codice1 INTEGER Not Null,"),
            QStringLiteral("Codice2 Float Not Null,"),
            QStringLiteral("NCampo INTEGER Not Null,"),
            QStringLiteral("NomeCampo VarChar(31),"),
            QStringLiteral("Dim INTEGER,"),
            QStringLiteral("Vis INTEGER,"),
            QStringLiteral("Pos INTEGER,"),
            QStringLiteral("Raggruppa INTEGER,"),
            QStringLiteral("CONSTRAINT \"STOASP_CHIAVEPRIMARIA\" PRIMARY KEY (Codice1,Codice2,NCampo))")};
}

PreparaClassificazioni setPreparaClassificazioni(PreparaClassificazioni hook)
{
    return std::exchange(hookClassificazioni(), std::move(hook));
}

void PreparaTabelleQuery(db::Attachment &att, db::Transaction &tra)
{
    platform::MessageBoxFeedback avvisi;
    PreparaTabelleQuery(att, tra, avvisi);
}

void PreparaTabelleQuery(db::Attachment &att, db::Transaction &tra, platform::RunFeedback &avvisi)
{
    // 1. STOINT and the width of its conditions
    if (db::catalog::relationExists(att, tra, QStringLiteral("STOINT"))) {
        if (lunghezza(att, tra, QStringLiteral("STOINT"), QStringLiteral("CONDIZIONE")) < 1024) {
            try {
                eseguiECommit(att, tra, joined({QStringLiteral("ALTER TABLE STOINT"),
                                                QStringLiteral("ALTER CONDIZIONE TYPE VARCHAR(1024)")}));
            } catch (const db::Error &e) {
                annullaSeAttiva(tra);
                avvisi.tell(platform::Error, QStringLiteral("Errore interno durante l'aggiornamento della tabella STOINT:")
                              + QLatin1Char('\n') + e.message());
            }
        }
    } else {
        eseguiECommit(att, tra, joined(creaStoInt()));
    }

    // 2. the width of its names
    if (lunghezza(att, tra, QStringLiteral("STOINT"), QStringLiteral("NOME")) < 40) {
        try {
            eseguiECommit(att, tra, QStringLiteral("ALTER TABLE STOINT ALTER NOME TYPE VARCHAR(40)"));
            avvisi.tell(platform::Information, QStringLiteral("Tracciato della tabella STOINT aggiornato"));
        } catch (const db::Error &) {
            annullaSeAttiva(tra);
            avvisi.tell(platform::Warning, kImpossibile + QStringLiteral("STOINT") + kRiprovare);
        }
    }

    // 3. STOASP
    if (!db::catalog::relationExists(att, tra, QStringLiteral("STOASP")))
        eseguiECommit(att, tra, joined(creaStoAsp()));
    if (lunghezza(att, tra, QStringLiteral("STOASP"), QStringLiteral("NOMECAMPO")) <= 30) {
        try {
            eseguiECommit(att, tra, QStringLiteral("ALTER TABLE STOASP ALTER NOMECAMPO TYPE VARCHAR(31)"));
            avvisi.tell(platform::Information, QStringLiteral("Tracciato della tabella STOASP aggiornato"));
        } catch (const db::Error &) {
            annullaSeAttiva(tra);
            avvisi.tell(platform::Warning, kImpossibile + QStringLiteral("STOASP") + kRiprovare + kFinche);
        }
    }

    // 4. STOQUER
    if (!db::catalog::relationExists(att, tra, QStringLiteral("STOQUER")))
        eseguiECommit(att, tra, joined(creaStoQuer()));
    if (lunghezza(att, tra, QStringLiteral("STOQUER"), QStringLiteral("TABELLA")) <= 30) {
        try {
            eseguiECommit(att, tra, QStringLiteral("ALTER TABLE STOQUER ALTER TABELLA TYPE VARCHAR(31)"));
            avvisi.tell(platform::Information, 
                QStringLiteral("Tracciato della tabella STOQUER aggiornato per memorizzare nomi delle tabelle lunghi"));
        } catch (const db::Error &) {
            annullaSeAttiva(tra);
            avvisi.tell(platform::Warning, QStringLiteral("Impossibile aggiornare il tracciato della tabella STOQUER.Per aggiornarlo "
                                         "provare ad accedere in un secondo momento a questa schermata.")
                          + kFinche);
        }
    }

    // 5. columns added after the first layout
    QStringList presenti;
    {
        db::Statement s(att, tra, QStringLiteral("SELECT FIRST 1 * FROM STOQUER"), db::ParamStyle::AsWritten);
        for (const auto &c : s.columns())
            presenti << c.name.toUpper();
    }
    const std::pair<const char *, const char *> aggiunte[] = {
        {"CLASSIFICAZIONE1", "ADD CLASSIFICAZIONE1 VARCHAR(20)"},
        {"CLASSIFICAZIONE2", "ADD CLASSIFICAZIONE2 VARCHAR(20)"},
        {"NOMEEXPORT", "ADD NOMEEXPORT VARCHAR(31)"},
        {"NOTE", "ADD NOTE Blob sub_type 1"},
    };
    for (const auto &[colonna, riga] : aggiunte) {
        if (presenti.contains(QLatin1String(colonna)))
            continue;
        try {
            eseguiECommit(att, tra, joined({QStringLiteral("ALTER TABLE STOQUER"), QLatin1String(riga)}));
        } catch (const db::Error &e) {
            annullaSeAttiva(tra);
            avvisi.tell(platform::Error, QStringLiteral("Errore interno durante l'aggiornamento della tabella STOQUER:")
                          + QLatin1Char('\n') + e.message());
            break;
        }
    }

    // 6. the classification tables, once their module is there
    if (hookClassificazioni())
        hookClassificazioni()(att, tra);
}

// ---- numbering ----------------------------------------------------------

QStringList sqlNuovoCodiceInserimento()
{
    return {QStringLiteral("INSERT INTO STOQUER(CODICE)"),
            QStringLiteral("VALUES("),
            QStringLiteral("  ("),
            QStringLiteral("    SELECT"),
            QStringLiteral("      COALESCE(MAX(CODICE),0)+1"),
            QStringLiteral("    FROM"),
            QStringLiteral("      STOQUER"),
            QStringLiteral("  )"),
            QStringLiteral(")"),
            QStringLiteral("RETURNING CODICE")};
}

int NuovoCodiceInserimento(db::Attachment &att)
{
    db::Transaction tra(att, {QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")});
    db::Statement s(att, tra, joined(sqlNuovoCodiceInserimento()), db::ParamStyle::AsWritten);
    s.execute();
    const auto &ret = s.returned();
    if (ret.empty() || !ret.front())
        throw db::Error(QStringLiteral("Nessun codice restituito da STOQUER"));
    const int codice = int(db::toInt64(*ret.front()).value_or(0));
    s.close();
    tra.commit();
    return codice;
}

int NuovoCodicePosizione(db::Attachment &att, db::Transaction &tra)
{
    const db::FieldValue v = db::queryValue(
        att, tra, QStringLiteral("SELECT FIRST 1 CODICE FROM STOQUER ORDER BY CODICE DESC"));
    return v ? int(db::toInt64(*v).value_or(0)) + 1 : 1;
}

int MassimoCodice(db::Attachment &att, db::Transaction &tra)
{
    try {
        const db::FieldValue v = db::queryValue(
            att, tra,
            joined({QStringLiteral("SELECT"), QStringLiteral("  MAX(CODICE) AS VALORE"), QStringLiteral("FROM"),
                    QStringLiteral("  STOQUER")}));
        return v ? int(db::toInt64(*v).value_or(0)) : 0;
    } catch (const db::Error &) {
        return 0;
    }
}

ApriDatabase setApriDatabase(ApriDatabase opener)
{
    return std::exchange(openerOverride(), std::move(opener));
}

int NuovoCodiceTraDatabase(db::Attachment &att, db::Transaction &tra, const QString &percorso)
{
    const int m1 = MassimoCodice(att, tra);
    int m2 = 0;
    db::Attachment altro;
    bool aperto = false;
    if (openerOverride()) {
        aperto = openerOverride()(altro, percorso);
    } else {
        const int cut = qMax(percorso.lastIndexOf(QLatin1Char('\\')), percorso.lastIndexOf(QLatin1Char('/')));
        aperto = context::ApriOCreaDatabase(altro, percorso.left(cut + 1), percorso.mid(cut + 1));
    }
    if (aperto && altro.isConnected()) {
        try {
            db::Transaction t(altro);
            m2 = MassimoCodice(altro, t);
        } catch (const db::Error &) {
            m2 = 0;
        }
        altro.disconnect();
    }
    return qMax(m1, m2) + 1;
}

double NuovoCodiceCatena(db::Attachment &att, db::Transaction &tra)
{
    const db::FieldValue v = db::queryValue(
        att, tra, joined({QStringLiteral("SELECT MAX(Codice2) FROM \"STOINT\""), QStringLiteral("WHERE Codice1=2000")}));
    if (!v)
        return 1;
    return std::floor(db::toDouble(*v).value_or(0)) + 1;
}

bool RiassegnaNumero(db::Attachment &att, db::Transaction &tra, int vecchio, int nuovo)
{
    platform::MessageBoxFeedback avvisi;
    return RiassegnaNumero(att, tra, vecchio, nuovo, avvisi);
}

bool RiassegnaNumero(db::Attachment &att, db::Transaction &tra, int vecchio, int nuovo, platform::RunFeedback &avvisi)
{
    const QString n = QString::number(nuovo);
    const QString o = QString::number(vecchio);
    const std::pair<QString, QString> verifiche[] = {
        {QStringLiteral("FROM STOQUER WHERE CODICE='") + n + QLatin1Char('\''), QStringLiteral("STOQUER")},
        {QStringLiteral("FROM STOINT WHERE CODICE1=0 AND CODICE2='") + n + QLatin1Char('\''), QStringLiteral("STOINT")},
        {QStringLiteral("FROM STOASP WHERE CODICE1=0 AND CODICE2='") + n + QLatin1Char('\''), QStringLiteral("STOASP")},
    };
    bool occupato = false;
    for (const auto &[from, tabella] : verifiche) {
        const db::FieldValue v =
            db::queryValue(att, tra, joined({QStringLiteral("SELECT COALESCE(COUNT(*),0) TOT"), from}));
        if (v && db::toInt64(*v).value_or(0) != 0) {
            avvisi.tell(platform::Plain, QStringLiteral("Codice già occupato ") + tabella);
            occupato = true;
        }
    }
    if (occupato)
        return false;

    // The back link to move is the one of the query chained right after this
    // one. A chained query further down a chain holds the number of the
    // chained query before it, which may equal this code: never that one.
    const auto annunciata = [&](int codice1) -> std::optional<double> {
        const db::FieldValue v = db::queryValue(
            att, tra,
            QStringLiteral("SELECT FIRST 1 CONDIZIONE FROM STOINT WHERE CODICE1=%1 AND CODICE2='").arg(codice1) + o
                + QStringLiteral("' AND MOSTRA=4 AND NOME='QUERY SUCCESSIVA' ORDER BY NUMERO"));
        bool ok = false;
        const double n = v ? db::toText(v).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok) : 0;
        return ok ? std::optional<double>(n) : std::nullopt;
    };
    QString soloCatena;
    if (const std::optional<double> mia = annunciata(kCodice1Storico))
        soloCatena = QStringLiteral("AND CODICE1=2000 AND CODICE2=") + testoCodice2(*mia);
    else if (const std::optional<double> altrui = annunciata(kCodice1Catena))
        soloCatena = QStringLiteral("AND NOT (CODICE1=2000 AND CODICE2=") + testoCodice2(*altrui) + QLatin1Char(')');

    const QStringList aggiornamenti[] = {
        {QStringLiteral("UPDATE STOQUER SET CODICE='") + n + QStringLiteral("' "),
         QStringLiteral("WHERE CODICE='") + o + QLatin1Char('\'')},
        {QStringLiteral("UPDATE STOINT SET CODICE2='") + n + QStringLiteral("' "),
         QStringLiteral("WHERE CODICE1=0 AND CODICE2='") + o + QLatin1Char('\'')},
        {QStringLiteral("UPDATE STOINT SET CONDIZIONE='") + n + QStringLiteral("' "),
         QStringLiteral("WHERE NOME='QUERY PRECEDENTE' AND CONDIZIONE='") + o + QLatin1Char('\''), soloCatena},
        {QStringLiteral("UPDATE STOASP SET CODICE2='") + n + QStringLiteral("' "),
         QStringLiteral("WHERE CODICE1=0 AND CODICE2='") + o + QLatin1Char('\'')},
    };
    for (const QStringList &sql : aggiornamenti)
        eseguiECommit(att, tra, joined(sql).trimmed());
    return true;
}

// ---- rows of one key ----------------------------------------------------

QString testoCodice2(double codice2)
{
    return QString::number(qint64(std::llround(codice2)));
}

std::vector<RigaStoInt> leggiStoInt(db::Attachment &att, db::Transaction &tra, int codice1, double codice2)
{
    db::Statement s(att, tra,
                    QStringLiteral("SELECT NUMERO, NOME, MOSTRA, CONDIZIONE FROM STOINT WHERE CODICE1=")
                        + QString::number(codice1) + QStringLiteral(" AND CODICE2=") + testoCodice2(codice2)
                        + QStringLiteral(" ORDER BY NUMERO"),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    std::vector<RigaStoInt> out;
    while (rs.next())
        out.push_back(RigaStoInt{int(rs.toInt64(0).value_or(0)), rs.text(1), int(rs.toInt64(2).value_or(0)),
                                 rs.text(3)});
    return out;
}

namespace {

// A save replaces the rows of a key: the delete and the inserts stand or
// fall together, so that a failing insert never leaves the key emptied in
// the caller's transaction for a later commit to make final.
template<typename Scrivi>
void sostituisciRighe(db::Attachment &att, db::Transaction &tra, Scrivi scrivi)
{
    tra.ensureStarted();
    db::executeSql(att, tra, QStringLiteral("SAVEPOINT VARDOF_SOSTITUZIONE"));
    try {
        scrivi();
    } catch (const db::Error &) {
        try {
            db::executeSql(att, tra, QStringLiteral("ROLLBACK TO SAVEPOINT VARDOF_SOSTITUZIONE"));
        } catch (const db::Error &) {
            // The transaction itself is gone: nothing of the save survives it.
        }
        throw;
    }
    db::executeSql(att, tra, QStringLiteral("RELEASE SAVEPOINT VARDOF_SOSTITUZIONE"));
    tra.commitRetaining();
}

} // namespace

void scriviStoInt(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                  const std::vector<RigaStoInt> &righe)
{
    sostituisciRighe(att, tra, [&] { scriviStoIntSenzaCommit(att, tra, codice1, codice2, righe); });
}

void scriviStoIntSenzaCommit(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                             const std::vector<RigaStoInt> &righe)
{
    const QString chiave = QString::number(codice1) + QStringLiteral(" AND CODICE2=") + testoCodice2(codice2);
    db::executeSql(att, tra, QStringLiteral("DELETE FROM STOINT WHERE CODICE1=") + chiave);
    db::Statement ins(att, tra,
                      QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE) "
                                     "VALUES (:C1, :C2, :NUMERO, :NOME, :MOSTRA, :CONDIZIONE)"));
    for (const RigaStoInt &r : righe) {
        ins.setParam(QStringLiteral("C1"), db::Value(qint64(codice1)));
        ins.setParam(QStringLiteral("C2"), db::Value(double(std::llround(codice2))));
        ins.setParam(QStringLiteral("NUMERO"), db::Value(qint64(r.Numero)));
        ins.setParam(QStringLiteral("NOME"), db::Value(r.Nome));
        ins.setParam(QStringLiteral("MOSTRA"), db::Value(qint64(r.Mostra)));
        ins.setParam(QStringLiteral("CONDIZIONE"), db::Value(r.Condizione));
        ins.execute();
    }
}

std::vector<RigaStoAsp> leggiStoAsp(db::Attachment &att, db::Transaction &tra, int codice1, double codice2)
{
    db::Statement s(att, tra,
                    QStringLiteral("SELECT NCAMPO, NOMECAMPO, DIM, VIS, POS, RAGGRUPPA FROM STOASP WHERE CODICE1=")
                        + QString::number(codice1) + QStringLiteral(" AND CODICE2=") + testoCodice2(codice2)
                        + QStringLiteral(" ORDER BY NCAMPO"),
                    db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    std::vector<RigaStoAsp> out;
    while (rs.next())
        out.push_back(RigaStoAsp{int(rs.toInt64(0).value_or(0)), rs.text(1), int(rs.toInt64(2).value_or(0)),
                                 int(rs.toInt64(3).value_or(0)), int(rs.toInt64(4).value_or(0)),
                                 int(rs.toInt64(5).value_or(0))});
    return out;
}

void scriviStoAsp(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                  const std::vector<RigaStoAsp> &righe)
{
    sostituisciRighe(att, tra, [&] { scriviStoAspSenzaCommit(att, tra, codice1, codice2, righe); });
}

void scriviStoAspSenzaCommit(db::Attachment &att, db::Transaction &tra, int codice1, double codice2,
                             const std::vector<RigaStoAsp> &righe)
{
    const QString chiave = QString::number(codice1) + QStringLiteral(" AND CODICE2=") + testoCodice2(codice2);
    db::executeSql(att, tra, QStringLiteral("DELETE FROM STOASP WHERE CODICE1=") + chiave);
    db::Statement ins(att, tra,
                      QStringLiteral("INSERT INTO STOASP (CODICE1, CODICE2, NCAMPO, NOMECAMPO, DIM, VIS, POS, "
                                     "RAGGRUPPA) VALUES (:C1, :C2, :NCAMPO, :NOMECAMPO, :DIM, :VIS, :POS, :RAGGRUPPA)"));
    for (const RigaStoAsp &r : righe) {
        ins.setParam(QStringLiteral("C1"), db::Value(qint64(codice1)));
        ins.setParam(QStringLiteral("C2"), db::Value(double(std::llround(codice2))));
        ins.setParam(QStringLiteral("NCAMPO"), db::Value(qint64(r.NCampo)));
        ins.setParam(QStringLiteral("NOMECAMPO"), db::Value(r.NomeCampo));
        ins.setParam(QStringLiteral("DIM"), db::Value(qint64(r.Dim)));
        ins.setParam(QStringLiteral("VIS"), db::Value(qint64(r.Vis)));
        ins.setParam(QStringLiteral("POS"), db::Value(qint64(r.Pos)));
        ins.setParam(QStringLiteral("RAGGRUPPA"), db::Value(qint64(r.Raggruppa)));
        ins.execute();
    }
}

void eliminaChiave(db::Attachment &att, db::Transaction &tra, const QString &tabella, int codice1, double codice2)
{
    tra.ensureStarted();
    db::executeSql(att, tra,
                   QStringLiteral("DELETE FROM \"") + tabella + QStringLiteral("\"\nWHERE (Codice1=")
                       + QString::number(codice1) + QStringLiteral(")AND\n(Codice2=") + testoCodice2(codice2)
                       + QLatin1Char(')'));
    tra.commitRetaining();
}

} // namespace vardof::storedqueries
