// Preparing, numbering and renumbering the stored-query tables on a fresh
// archive per test.

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "platform/QtPrinters.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "storedqueries/StoredQueryTables.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::storedqueries;

namespace {

// What the preparation told the user, kind by kind.
class AvvisiRegistrati : public platform::RecordingFeedback
{
public:
    platform::Answer ask(platform::MessageKind kind, const QString &t, platform::Buttons buttons) override
    {
        const char *prefix = kind == platform::Information ? "I:"
                             : kind == platform::Warning   ? "W:"
                             : kind == platform::Error     ? "E:"
                                                           : "M:";
        righe << QLatin1String(prefix) + t;
        return RecordingFeedback::ask(kind, t, buttons);
    }
    QStringList righe;
};

class Tabelle : public test::FbFixture
{
protected:
    int lunghezza(const QString &table, const QString &column)
    {
        for (const auto &c : db::catalog::columns(att(), tra(), table))
            if (c.name == column)
                return c.length;
        return -1;
    }
    qint64 conta(const QString &sql) { return db::toInt64(*db::queryValue(att(), tra(), sql)).value_or(-1); }
    void creaLayoutVecchio()
    {
        exec(QStringLiteral("CREATE TABLE STOINT (Codice1 INTEGER Not Null, Codice2 Float Not Null, Numero INTEGER "
                            "Not Null, Nome VarChar(27), Mostra INTEGER, Condizione VarChar(255), PRIMARY KEY "
                            "(Codice1,Codice2,Numero))"));
        exec(QStringLiteral("CREATE TABLE STOASP (Codice1 INTEGER Not Null, Codice2 Float Not Null, NCampo INTEGER "
                            "Not Null, NomeCampo VarChar(27), Dim INTEGER, Vis INTEGER, Pos INTEGER, Raggruppa "
                            "INTEGER, PRIMARY KEY (Codice1,Codice2,NCampo))"));
        exec(QStringLiteral("CREATE TABLE STOQUER (Codice INTEGER Not Null PRIMARY KEY, Titolo VarChar(40), "
                            "Tabella VarChar(30), Percorso VarChar(128))"));
        exec(QStringLiteral("INSERT INTO STOINT VALUES (0, 1, 1, 'CODICE', 1, '(CODICE > 1)')"));
        exec(QStringLiteral("INSERT INTO STOQUER (Codice, Titolo, Tabella) VALUES (1, 'Clienti', 'CLIENTI')"));
    }
    void prepara(AvvisiRegistrati &a) { PreparaTabelleQuery(att(), tra(), a); }
};

TEST_F(Tabelle, aFreshArchiveGetsTheThreeTablesSilently)
{
    AvvisiRegistrati a;
    prepara(a);
    EXPECT_TRUE(a.righe.isEmpty()) << a.righe.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lunghezza(QStringLiteral("STOINT"), QStringLiteral("CONDIZIONE")), 1024);
    EXPECT_EQ(lunghezza(QStringLiteral("STOINT"), QStringLiteral("NOME")), 40);
    EXPECT_EQ(lunghezza(QStringLiteral("STOASP"), QStringLiteral("NOMECAMPO")), 31);
    EXPECT_EQ(lunghezza(QStringLiteral("STOQUER"), QStringLiteral("TABELLA")), 31);
    EXPECT_EQ(db::catalog::primaryKeyFields(att(), tra(), QStringLiteral("STOINT")),
              (QStringList{QStringLiteral("CODICE1"), QStringLiteral("CODICE2"), QStringLiteral("NUMERO")}));
    // A second opening finds everything current.
    prepara(a);
    EXPECT_TRUE(a.righe.isEmpty());
}

TEST_F(Tabelle, anOldLayoutIsWidenedOnceAndKeepsItsRows)
{
    creaLayoutVecchio();
    AvvisiRegistrati a;
    prepara(a);
    EXPECT_EQ(a.righe, (QStringList{
                           QStringLiteral("I:Tracciato della tabella STOINT aggiornato"),
                           QStringLiteral("I:Tracciato della tabella STOASP aggiornato"),
                           QStringLiteral("I:Tracciato della tabella STOQUER aggiornato per memorizzare nomi delle "
                                          "tabelle lunghi"),
                       }));
    EXPECT_EQ(lunghezza(QStringLiteral("STOINT"), QStringLiteral("CONDIZIONE")), 1024);
    EXPECT_EQ(lunghezza(QStringLiteral("STOINT"), QStringLiteral("NOME")), 40);
    EXPECT_EQ(lunghezza(QStringLiteral("STOASP"), QStringLiteral("NOMECAMPO")), 31);
    EXPECT_EQ(lunghezza(QStringLiteral("STOQUER"), QStringLiteral("TABELLA")), 31);
    for (const char *c : {"CLASSIFICAZIONE1", "CLASSIFICAZIONE2", "NOMEEXPORT", "NOTE"})
        EXPECT_GT(lunghezza(QStringLiteral("STOQUER"), QLatin1String(c)), 0) << c;
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CONDIZIONE = '(CODICE > 1)'")), 1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE TITOLO = 'Clienti'")), 1);

    a.righe.clear();
    prepara(a);
    EXPECT_TRUE(a.righe.isEmpty());
}

TEST_F(Tabelle, aWideningTheServerRefusesIsReportedAndTheRestGoesOn)
{
    creaLayoutVecchio();
    // An index on the conditions cannot hold keys of 1024 characters.
    exec(QStringLiteral("CREATE INDEX STOINT_COND ON STOINT (CONDIZIONE)"));
    AvvisiRegistrati a;
    prepara(a);
    ASSERT_GE(a.righe.size(), 1);
    EXPECT_TRUE(a.righe[0].startsWith(
        QStringLiteral("E:Errore interno durante l'aggiornamento della tabella STOINT:\n")))
        << a.righe[0].toStdString();
    EXPECT_GT(a.righe[0].size(), 70); // the server's words follow
    EXPECT_EQ(lunghezza(QStringLiteral("STOINT"), QStringLiteral("CONDIZIONE")), 255);
    EXPECT_EQ(lunghezza(QStringLiteral("STOINT"), QStringLiteral("NOME")), 40);
    EXPECT_EQ(lunghezza(QStringLiteral("STOQUER"), QStringLiteral("TABELLA")), 31);
    EXPECT_GT(lunghezza(QStringLiteral("STOQUER"), QStringLiteral("NOTE")), 0);
}

struct Rifiuto
{
    const char *tabella;
    const char *colonna;
    int lunghezza; // what the column keeps
    const char *avviso;
};

void PrintTo(const Rifiuto &r, std::ostream *os)
{
    *os << r.tabella;
}

class AllargamentoRifiutato : public Tabelle, public ::testing::WithParamInterface<Rifiuto> {};

// A two-column index whose key only just fits the old width: the server
// refuses the wider column, the user is warned, and the rest goes on.
TEST_P(AllargamentoRifiutato, warnsAndGoesOn)
{
    const Rifiuto &r = GetParam();
    creaLayoutVecchio();
    const QString tabella = QLatin1String(r.tabella);
    const int pad = tabella == QLatin1String("STOINT") ? 780 : 784;
    exec(QStringLiteral("ALTER TABLE %1 ADD PAD VARCHAR(%2)").arg(tabella).arg(pad));
    exec(QStringLiteral("CREATE INDEX %1_PAD ON %1 (%2, PAD)").arg(tabella, QLatin1String(r.colonna)));
    AvvisiRegistrati a;
    prepara(a);
    EXPECT_TRUE(a.righe.contains(QStringLiteral("W:") + QString::fromUtf8(r.avviso)))
        << a.righe.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lunghezza(tabella, QLatin1String(r.colonna)), r.lunghezza);
    EXPECT_EQ(lunghezza(QStringLiteral("STOQUER"), QStringLiteral("TABELLA")), 31);
    EXPECT_GT(lunghezza(QStringLiteral("STOQUER"), QStringLiteral("NOTE")), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AllargamentoRifiutato,
    ::testing::Values(
        Rifiuto{"STOINT", "NOME", 27,
                "Impossibile aggiornare il tracciato della tabella STOINT. Per aggiornarlo provare ad accedere in un "
                "secondo momento a questa schermata."},
        Rifiuto{"STOASP", "NOMECAMPO", 27,
                "Impossibile aggiornare il tracciato della tabella STOASP. Per aggiornarlo provare ad accedere in un "
                "secondo momento a questa schermata. Finchè non verrà aggiornato non sarà possibile trattare campi di "
                "tabelle con un nome contenente più di 28 caratteri"}));

TEST_F(Tabelle, theClassificationStepRunsLast)
{
    QStringList visti;
    auto precedente = setPreparaClassificazioni([&](db::Attachment &a, db::Transaction &t) {
        visti << (db::catalog::relationExists(a, t, QStringLiteral("STOQUER")) ? QStringLiteral("dopo")
                                                                                 : QStringLiteral("prima"));
    });
    AvvisiRegistrati a;
    prepara(a);
    setPreparaClassificazioni(precedente);
    EXPECT_EQ(visti, QStringList{QStringLiteral("dopo")});
}

TEST_F(Tabelle, numbersByInsertionAndByPosition)
{
    AvvisiRegistrati a;
    prepara(a);
    EXPECT_EQ(NuovoCodicePosizione(att(), tra()), 1);
    EXPECT_EQ(NuovoCodiceInserimento(att()), 1);
    exec(QStringLiteral("INSERT INTO STOQUER (CODICE) VALUES (2)"));
    exec(QStringLiteral("INSERT INTO STOQUER (CODICE) VALUES (10)"));
    EXPECT_EQ(NuovoCodicePosizione(att(), tra()), 11);
    EXPECT_EQ(NuovoCodiceInserimento(att()), 11);
    tra().commit(); // a fresh snapshot sees the other transaction's row
    // The inserted row is committed at once and carries only its code.
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE = 11 AND TITOLO IS NULL")), 1);
}

TEST_F(Tabelle, insertionCollidingWithAnotherUserGivesTheServerError)
{
    AvvisiRegistrati a;
    prepara(a);
    tra().commit();
    // Another user's transaction holds code 1, not yet committed.
    db::Transaction altro(att());
    db::executeSql(att(), altro, QStringLiteral("INSERT INTO STOQUER (CODICE) VALUES (1)"));
    EXPECT_THROW(NuovoCodiceInserimento(att()), db::Error);
    altro.rollback();
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER")), 0);
}

TEST_F(Tabelle, numberAcrossDatabasesTakesTheGreaterMaximum)
{
    AvvisiRegistrati a;
    prepara(a);
    exec(QStringLiteral("INSERT INTO STOQUER (CODICE) VALUES (12)"));

    const QString altroPercorso = m_dir.file(QStringLiteral("altro.fdb"));
    {
        db::Attachment altro = test::createDatabase(altroPercorso);
        db::Transaction t(altro);
        PreparaTabelleQuery(altro, t, a);
        db::executeSql(altro, t, QStringLiteral("INSERT INTO STOQUER (CODICE) VALUES (40)"));
        t.commit();
        altro.disconnect();
    }
    QStringList aperti;
    auto precedente = setApriDatabase([&](db::Attachment &c, const QString &percorso) {
        aperti << percorso;
        try {
            c.connect(percorso, test::adminParams());
            return true;
        } catch (const db::Error &) {
            return false;
        }
    });
    EXPECT_EQ(NuovoCodiceTraDatabase(att(), tra(), altroPercorso), 41);
    // A database that cannot be opened counts as 0.
    EXPECT_EQ(NuovoCodiceTraDatabase(att(), tra(), m_dir.file(QStringLiteral("manca.fdb"))), 13);
    setApriDatabase(precedente);
    EXPECT_EQ(aperti.size(), 2);
}

TEST_F(Tabelle, theFirstChainedQueryIsNumberOne)
{
    AvvisiRegistrati a;
    prepara(a);
    EXPECT_EQ(NuovoCodiceCatena(att(), tra()), 1.0);
    exec(QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO) VALUES (2000, 7, 1)"));
    exec(QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO) VALUES (0, 99, 1)"));
    EXPECT_EQ(NuovoCodiceCatena(att(), tra()), 8.0);
}

class Rinumera : public Tabelle
{
protected:
    void SetUp() override
    {
        Tabelle::SetUp();
        AvvisiRegistrati a;
        prepara(a);
        exec(QStringLiteral("INSERT INTO STOQUER (CODICE, TITOLO) VALUES (5, 'Cinque')"));
        exec(QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA) VALUES (0, 5, 1, 'A', 1)"));
        exec(QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA) VALUES (0, 5, 2, 'B', 0)"));
        exec(QStringLiteral("INSERT INTO STOASP (CODICE1, CODICE2, NCAMPO, NOMECAMPO) VALUES (0, 5, 0, 'A')"));
        // The back link of a query chained to 5, and one chained to another query.
        exec(QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE) "
                            "VALUES (2000, 1, 9, 'QUERY PRECEDENTE', 4, '5')"));
        exec(QStringLiteral("INSERT INTO STOINT (CODICE1, CODICE2, NUMERO, NOME, MOSTRA, CONDIZIONE) "
                            "VALUES (2000, 2, 9, 'QUERY PRECEDENTE', 4, '6')"));
    }
};

TEST_F(Rinumera, movesTheQueryItsRowsAndItsBackLinks)
{
    AvvisiRegistrati a;
    ASSERT_TRUE(RiassegnaNumero(att(), tra(), 5, 7, a));
    EXPECT_TRUE(a.righe.isEmpty());
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE = 7 AND TITOLO = 'Cinque'")), 1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE = 5")), 0);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CODICE1 = 0 AND CODICE2 = 7")), 2);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOASP WHERE CODICE1 = 0 AND CODICE2 = 7")), 1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CODICE1 = 2000 AND CONDIZIONE = '7'")), 1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CODICE1 = 2000 AND CONDIZIONE = '6'")), 1);
}

struct Collisione
{
    const char *occupa;
    QStringList messaggi;
};

class RinumeraOccupato : public Rinumera, public ::testing::WithParamInterface<Collisione> {};

TEST_P(RinumeraOccupato, refusesAndChangesNothing)
{
    exec(QString::fromUtf8(GetParam().occupa));
    AvvisiRegistrati a;
    EXPECT_FALSE(RiassegnaNumero(att(), tra(), 5, 7, a));
    EXPECT_EQ(a.righe, GetParam().messaggi);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE = 5")), 1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CODICE1 = 0 AND CODICE2 = 5")), 2);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CONDIZIONE = '5'")), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, RinumeraOccupato,
    ::testing::Values(
        Collisione{"INSERT INTO STOQUER (CODICE) VALUES (7)", {QStringLiteral("M:Codice già occupato STOQUER")}},
        Collisione{"INSERT INTO STOINT (CODICE1, CODICE2, NUMERO) VALUES (0, 7, 1)",
                   {QStringLiteral("M:Codice già occupato STOINT")}},
        Collisione{"INSERT INTO STOASP (CODICE1, CODICE2, NCAMPO) VALUES (0, 7, 0)",
                   {QStringLiteral("M:Codice già occupato STOASP")}},
        // Rows of a chained query with the same Codice2 do not collide.
        Collisione{"EXECUTE BLOCK AS BEGIN INSERT INTO STOQUER (CODICE) VALUES (7); "
                   "INSERT INTO STOASP (CODICE1, CODICE2, NCAMPO) VALUES (0, 7, 0); END",
                   {QStringLiteral("M:Codice già occupato STOQUER"), QStringLiteral("M:Codice già occupato STOASP")}}));

TEST_F(Tabelle, rowsOfOneKeyAreReplacedWholeAndReadInOrder)
{
    AvvisiRegistrati a;
    prepara(a);
    scriviStoInt(att(), tra(), 0, 3,
                 {{2, QStringLiteral("B"), 0, QStringLiteral("D'ANGELO")}, {1, QStringLiteral("A"), 1, QString()}});
    scriviStoInt(att(), tra(), 2000, 3, {{1, QStringLiteral("X"), 1, QString()}});
    auto righe = leggiStoInt(att(), tra(), 0, 3);
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_EQ(righe[0].Nome, QStringLiteral("A"));
    EXPECT_EQ(righe[1].Condizione, QStringLiteral("D'ANGELO"));
    scriviStoInt(att(), tra(), 0, 3, {{1, QStringLiteral("C"), 1, QString()}});
    EXPECT_EQ(leggiStoInt(att(), tra(), 0, 3).size(), 1u);
    EXPECT_EQ(leggiStoInt(att(), tra(), 2000, 3).size(), 1u);

    scriviStoAsp(att(), tra(), 0, 3, {{1, QStringLiteral("B"), 10, 1, 1, 10000}, {0, QStringLiteral("A"), 5, 0, 0, 0}});
    const auto asp = leggiStoAsp(att(), tra(), 0, 3);
    ASSERT_EQ(asp.size(), 2u);
    EXPECT_EQ(asp[0].NomeCampo, QStringLiteral("A"));
    EXPECT_EQ(asp[1].Raggruppa, 10000);
    EXPECT_EQ(testoCodice2(2000.0), QStringLiteral("2000"));
}

} // namespace
