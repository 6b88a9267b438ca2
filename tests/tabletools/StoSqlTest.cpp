// Stored SQL texts: the table, numbering, what a text is taken for, running
// commands and blocks (committed, or nothing on failure), the wizard's
// templates and the copy of a result into TMP222.
#include "tabletools/StoSql.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::tabletools;

namespace {

class StoSqlDb : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        apriOCreaStoSql(tra());
        exec(QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(30))"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (1, 'ROSSI')"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (2, 'BIANCHI')"));
    }
    // What another connection sees: only what was committed.
    qint64 contaDaFuori(const QString &sql)
    {
        db::Attachment altra = db::Attachment::attach(dbPath(), test::adminParams());
        db::Transaction t(altra);
        const db::FieldValue v = db::queryValue(t, sql);
        return v ? db::toInt64(*v).value_or(-1) : -1;
    }
};

TEST_F(StoSqlDb, CreatesTheTableOnceAndNumbersFromOne)
{
    apriOCreaStoSql(tra()); // a second opening finds it
    EXPECT_TRUE(db::catalog::relationExists(tra(), QStringLiteral("STOSQL")));
    EXPECT_TRUE(leggiStoSql(tra()).empty());
    EXPECT_EQ(prossimoCodice(tra()), 1);
}

TEST_F(StoSqlDb, NextNumberIsMaxPlusOneAndStartsAgainWhenEmpty)
{
    scriviRiga(tra(), {3, QStringLiteral("tre"), QStringLiteral("SELECT 1 FROM RDB$DATABASE")}, true);
    scriviRiga(tra(), {7, QStringLiteral("sette"), QString()}, true);
    tra().commit();
    EXPECT_EQ(prossimoCodice(tra()), 8);
    cancellaRiga(tra(), 3);
    cancellaRiga(tra(), 7);
    tra().commit();
    EXPECT_EQ(prossimoCodice(tra()), 1);
}

TEST_F(StoSqlDb, TextsReadBackAsStoredInCodeOrder)
{
    const QString lungo = QString(70000, QLatin1Char('x')) + QStringLiteral(" àè€");
    scriviRiga(tra(), {5, QStringLiteral("cinque"), lungo}, true);
    scriviRiga(tra(), {2, QStringLiteral("due"), QStringLiteral("select * from CLIENTI")}, true);
    scriviRiga(tra(), {2, QStringLiteral("due bis"), QStringLiteral("select 2 from CLIENTI")}, false);
    tra().commit();
    const auto righe = leggiStoSql(tra());
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_EQ(righe[0].codice, 2);
    EXPECT_EQ(righe[0].titolo, QStringLiteral("due bis"));
    EXPECT_EQ(righe[1].sql, lungo);
}

TEST_F(StoSqlDb, TakingANumberAnotherUserSavedIsRefusedByTheKey)
{
    scriviRiga(tra(), {1, QStringLiteral("a"), QString()}, true);
    tra().commit();
    try {
        scriviRiga(tra(), {1, QStringLiteral("b"), QString()}, true);
        FAIL() << "duplicate accepted";
    } catch (const db::Error &e) {
        EXPECT_TRUE(e.isDuplicateKey()) << e.message().toStdString();
    }
}

struct Classificazione
{
    const char *testo;
    bool comando;
};

class ClassificaTesto : public ::testing::TestWithParam<Classificazione>
{
};

TEST_P(ClassificaTesto, CommandWordsInCapitalsAnywhere)
{
    EXPECT_EQ(eComando(QString::fromUtf8(GetParam().testo)), GetParam().comando) << GetParam().testo;
}

INSTANTIATE_TEST_SUITE_P(Testi, ClassificaTesto,
                         ::testing::Values(Classificazione{"select * from CLIENTI", false},
                                           Classificazione{"SELECT * FROM CLIENTI", false},
                                           Classificazione{"delete from clienti", false},
                                           Classificazione{"DELETE FROM CLIENTI", true},
                                           Classificazione{"SELECT DATA_UPDATE FROM T", true},
                                           Classificazione{"SELECT 'INSERT' FROM T", true},
                                           Classificazione{"DROP TABLE X", true},
                                           Classificazione{"CREATE TABLE X (A INTEGER)", true},
                                           Classificazione{"ALTER TABLE X ADD B INTEGER", true},
                                           Classificazione{"EXECUTE BLOCK AS BEGIN END", false}));

// One row per kind of stored text run by "Esegui": the committed effect as
// another connection sees it.
struct CasoEsecuzione
{
    const char *nome;
    const char *testo;
    bool fallisce;
    const char *verifica; // counted from another connection after the run
    qint64 atteso;
};

class EseguiTesto : public StoSqlDb, public ::testing::WithParamInterface<CasoEsecuzione>
{
};

TEST_P(EseguiTesto, CommittedOrNothing)
{
    const CasoEsecuzione &c = GetParam();
    const QString testo = QString::fromUtf8(c.testo);
    ASSERT_TRUE(eComando(testo));
    if (c.fallisce)
        EXPECT_THROW(eseguiComando(tra(), testo), db::Error);
    else
        EXPECT_NO_THROW(eseguiComando(tra(), testo));
    EXPECT_EQ(contaDaFuori(QString::fromUtf8(c.verifica)), c.atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Tipi, EseguiTesto,
    ::testing::Values(
        CasoEsecuzione{"Dml", "UPDATE CLIENTI SET NOME = 'VERDI' WHERE CODICE = 1", false,
                       "SELECT COUNT(*) FROM CLIENTI WHERE NOME = 'VERDI'", 1},
        CasoEsecuzione{"Insert", "INSERT INTO CLIENTI VALUES (3, 'NERI')", false, "SELECT COUNT(*) FROM CLIENTI", 3},
        CasoEsecuzione{"Ddl", "CREATE TABLE NUOVA (A INTEGER)", false,
                       "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'NUOVA'", 1},
        CasoEsecuzione{"ParametersAreNull", "UPDATE CLIENTI SET NOME = :NUOVO WHERE CODICE = 2", false,
                       "SELECT COUNT(*) FROM CLIENTI WHERE NOME IS NULL", 1},
        // The second row breaks the key: the first one must not stay.
        CasoEsecuzione{"HalfwayFailure", "UPDATE CLIENTI SET CODICE = 2 WHERE CODICE IN (1, 2)", true,
                       "SELECT COUNT(*) FROM CLIENTI WHERE CODICE = 1", 1},
        CasoEsecuzione{"BadStatement", "UPDATE CLIENTI SET NOMEX = 1", true,
                       "SELECT COUNT(*) FROM CLIENTI WHERE NOME = 'ROSSI'", 1}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(StoSqlDb, AFailedCommandKeepsNothingOfItsOwnAndLaterWorkCommitsClean)
{
    EXPECT_THROW(eseguiComando(tra(), QStringLiteral("INSERT INTO CLIENTI VALUES (1, 'DOPPIO')")), db::Error);
    eseguiComando(tra(), QStringLiteral("DELETE FROM CLIENTI WHERE CODICE = 2"));
    EXPECT_EQ(contaDaFuori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI")), 1);
    EXPECT_EQ(contaDaFuori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI WHERE NOME = 'DOPPIO'")), 0);
}

// The database layer leaves the variables of a block alone, so both runs
// reach the server with the colons in place.
TEST_F(StoSqlDb, ABlockKeepsItsColonsUnderBothRuns)
{
    const QString blocco = QStringLiteral("EXECUTE BLOCK AS\nDECLARE N INTEGER;\nBEGIN\n"
                                          "  SELECT COUNT(*) FROM CLIENTI INTO :N;\n"
                                          "  INSERT INTO CLIENTI VALUES (:N + 10, 'BLOCCO');\nEND");
    eseguiBlocco(tra(), blocco);
    EXPECT_EQ(contaDaFuori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI WHERE CODICE = 12")), 1);
    eseguiComando(tra(), blocco);
    EXPECT_EQ(contaDaFuori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI WHERE CODICE = 13")), 1);
    EXPECT_THROW(eseguiBlocco(tra(), QStringLiteral("EXECUTE BLOCK AS BEGIN NONSENSE; END")), db::Error);
}

// ---- ":NAME" parameters ----------------------------------------------------

struct CasoNomi
{
    const char *testo;
    QStringList nomi;
};

class NomiParametri : public ::testing::TestWithParam<CasoNomi>
{
};

TEST_P(NomiParametri, OncePerNameOutsideLiteralsAndComments)
{
    EXPECT_EQ(nomiParametri(QString::fromUtf8(GetParam().testo)), GetParam().nomi);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, NomiParametri,
    ::testing::Values(CasoNomi{"SELECT * FROM CLIENTI", {}},
                      CasoNomi{"SELECT * FROM CLIENTI WHERE CITTA = :citta OR ZONA = :Zona OR :CITTA IS NULL",
                               {"CITTA", "ZONA"}},
                      CasoNomi{"SELECT ':NO' FROM CLIENTI -- :NEMMENO\nWHERE A = :SI /* :NO */", {"SI"}},
                      CasoNomi{"SELECT \"A:B\" FROM T WHERE D = '12:30'", {}},
                      CasoNomi{"EXECUTE BLOCK AS DECLARE N INTEGER; BEGIN SELECT 1 FROM RDB$DATABASE INTO :N; END", {}}));

struct CasoValoreParametro
{
    const char *nome;
    int tipo;
    int scala;
    const char *scritto;
    std::optional<const char *> atteso; // the value as text, "<null>" for null; nullopt: refused
};

class ValoreParametro : public ::testing::TestWithParam<CasoValoreParametro>
{
};

TEST_P(ValoreParametro, TypedAsTheScreenShowsValues)
{
    const CasoValoreParametro &c = GetParam();
    db::Column tipo;
    tipo.typeCode = c.tipo;
    tipo.scale = c.scala;
    const std::optional<db::FieldValue> v = valoreParametro(tipo, QString::fromUtf8(c.scritto));
    if (!c.atteso) {
        EXPECT_FALSE(v.has_value());
        return;
    }
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v ? db::toText(**v) : QStringLiteral("<null>"), QString::fromUtf8(*c.atteso));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ValoreParametro,
    ::testing::Values(CasoValoreParametro{"Text", db::TypeVarchar, 0, "O'BRIEN", "O'BRIEN"},
                      CasoValoreParametro{"EmptyIsNull", db::TypeInteger, 0, "", "<null>"},
                      CasoValoreParametro{"Integer", db::TypeInteger, 0, "12", "12"},
                      CasoValoreParametro{"IntegerRefused", db::TypeInteger, 0, "dodici", std::nullopt},
                      CasoValoreParametro{"DecimalComma", db::TypeDouble, 0, "3,5", "3,5"},
                      CasoValoreParametro{"Date", db::TypeDate, 0, "25/03/2024", "25/03/2024"},
                      CasoValoreParametro{"DateRefused", db::TypeDate, 0, "31/02/2024", std::nullopt}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(StoSqlDb, ParametersAreBoundNotWrittenIntoTheText)
{
    const QString testo = QStringLiteral("UPDATE CLIENTI SET NOME = :NOME WHERE CODICE = :CODICE OR NOME = :NOME");
    const QStringList nomi = nomiParametri(testo);
    ASSERT_EQ(nomi, (QStringList{QStringLiteral("NOME"), QStringLiteral("CODICE")}));
    const std::vector<db::Column> tipi = tipiParametri(tra(), testo, nomi);
    ASSERT_EQ(tipi.size(), 2u);
    EXPECT_EQ(tipi[1].typeCode, db::TypeInteger);
    // A quote in the value stays a quote: it never reaches the text.
    eseguiComando(tra(), testo,
                  {{QStringLiteral("NOME"), db::FieldValue(QStringLiteral("O'BRIEN' OR 1=1 --"))},
                   {QStringLiteral("CODICE"), *valoreParametro(tipi[1], QStringLiteral("2"))}});
    EXPECT_EQ(contaDaFuori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI WHERE NOME = 'O''BRIEN'' OR 1=1 --'")), 1);
    EXPECT_EQ(contaDaFuori(QStringLiteral("SELECT COUNT(*) FROM CLIENTI WHERE NOME = 'ROSSI'")), 1);
    EXPECT_THROW(tipiParametri(tra(), QStringLiteral("SELECT * FROM NESSUNA WHERE A = :A"), {QStringLiteral("A")}),
                 db::Error);
}

struct CasoWizard
{
    GruppoWizard gruppo;
    int scelta;
    const char *atteso;
};

class Wizard : public ::testing::TestWithParam<CasoWizard>
{
};

TEST_P(Wizard, TemplateForTheTable)
{
    EXPECT_EQ(testoWizard(GetParam().gruppo, GetParam().scelta, QStringLiteral("CLIENTI")),
              QString::fromUtf8(GetParam().atteso));
}

INSTANTIATE_TEST_SUITE_P(
    Modelli, Wizard,
    ::testing::Values(CasoWizard{GruppoWizard::Delete, 0, "DELETE FROM CLIENTI"},
                      CasoWizard{GruppoWizard::Delete, 1, "DELETE FROM CLIENTI\rWHERE <Condizione>"},
                      CasoWizard{GruppoWizard::Delete, 2, "DROP TABLE CLIENTI"},
                      CasoWizard{GruppoWizard::Update, 0, "UPDATE CLIENTI\rSET <Campo1, ..., CampoN='Valore'>"},
                      CasoWizard{GruppoWizard::Update, 1,
                                 "UPDATE CLIENTI\rSET <Campo1, ..., CampoN='Valore'>\rWHERE <Condizione>"},
                      CasoWizard{GruppoWizard::Alter, 0, "ALTER TABLE CLIENTI\rDROP <NomeCampo>"},
                      CasoWizard{GruppoWizard::Select, 0, "SELECT * FROM CLIENTI"},
                      CasoWizard{GruppoWizard::Select, 1, "SELECT * FROM CLIENTI\rWHERE <Condizione>"}));

TEST(WizardScelte, GroupsAndChoicesInOrder)
{
    EXPECT_EQ(sceltePerGruppo(GruppoWizard::Delete).size(), 3);
    EXPECT_EQ(sceltePerGruppo(GruppoWizard::Update).front(), QStringLiteral("Aggiorna Tutte Le Righe"));
    EXPECT_EQ(sceltePerGruppo(GruppoWizard::Alter), QStringList{QStringLiteral("Elimina Campo")});
    EXPECT_EQ(titoloGruppo(GruppoWizard::Select), QStringLiteral("Select"));
}

db::Column colonna(int tipo, int lunghezza = 0, int scala = 0, int sub = 0)
{
    db::Column c;
    c.name = QStringLiteral("C");
    c.typeCode = tipo;
    c.length = lunghezza;
    c.scale = scala;
    c.subType = sub;
    return c;
}

struct CasoValore
{
    const char *nome;
    db::Column colonna;
    db::FieldValue valore;
    const char *atteso;
};

class ValoreCopia : public ::testing::TestWithParam<CasoValore>
{
};

TEST_P(ValoreCopia, Literal)
{
    EXPECT_EQ(valoreCopia(GetParam().colonna, GetParam().valore), QString::fromUtf8(GetParam().atteso));
}

INSTANTIATE_TEST_SUITE_P(
    Valori, ValoreCopia,
    ::testing::Values(
        CasoValore{"Null", colonna(db::TypeVarchar, 10), std::nullopt, "NULL"},
        CasoValore{"EmptyText", colonna(db::TypeVarchar, 10), db::Value(QString()), "NULL"},
        CasoValore{"QuoteKept", colonna(db::TypeVarchar, 10), db::Value(QStringLiteral("O'BRIEN")), "'O''BRIEN'"},
        CasoValore{"Double", colonna(db::TypeDouble), db::Value(3.5), "'3.5'"},
        CasoValore{"Decimal", colonna(db::TypeBigint, 0, 2), db::Value(db::Decimal{-1250, 2}), "'-12.50'"},
        CasoValore{"Integer", colonna(db::TypeInteger), db::Value(qint64(42)), "'42'"},
        CasoValore{"Date", colonna(db::TypeDate), db::Value(QDate(2024, 3, 25)), "'03/25/2024'"},
        CasoValore{"Time", colonna(db::TypeTime), db::Value(QTime(7, 5, 9)), "'07:05:09'"},
        CasoValore{"Timestamp", colonna(db::TypeTimestamp), db::Value(QDateTime(QDate(2024, 3, 25), QTime(13, 1, 2))),
                   "'03/25/2024 13:01:02'"},
        CasoValore{"TimestampMillis", colonna(db::TypeTimestamp),
                   db::Value(QDateTime(QDate(2024, 3, 25), QTime(13, 1, 2, 250))), "'03/25/2024 13:01:02.250'"}),
    [](const auto &info) { return std::string(info.param.nome); });

struct CasoTipo
{
    const char *nome;
    db::Column colonna;
    const char *atteso;
};

class TipoCopia : public ::testing::TestWithParam<CasoTipo>
{
};

TEST_P(TipoCopia, ColumnType)
{
    EXPECT_EQ(tipoColonnaCopia(GetParam().colonna), QString::fromUtf8(GetParam().atteso));
}

INSTANTIATE_TEST_SUITE_P(
    Tipi, TipoCopia,
    ::testing::Values(CasoTipo{"Varchar", colonna(db::TypeVarchar, 25), " VARCHAR(25)"},
                      CasoTipo{"Char", colonna(db::TypeChar, 3), " VARCHAR(3)"},
                      CasoTipo{"Smallint", colonna(db::TypeSmallint), " SMALLINT"},
                      CasoTipo{"Integer", colonna(db::TypeInteger), " INTEGER"},
                      CasoTipo{"Bigint", colonna(db::TypeBigint), " Numeric(18, 0)"},
                      CasoTipo{"NumericOnInteger", colonna(db::TypeInteger, 0, 2), " Numeric(18, 4)"},
                      CasoTipo{"NumericOnBigint", colonna(db::TypeBigint, 0, 3), " Numeric(18, 4)"},
                      CasoTipo{"Float", colonna(db::TypeFloat), " DOUBLE PRECISION"},
                      CasoTipo{"Double", colonna(db::TypeDouble), " DOUBLE PRECISION"},
                      CasoTipo{"Date", colonna(db::TypeDate), " DATE"},
                      CasoTipo{"Time", colonna(db::TypeTime), " TIME"},
                      CasoTipo{"Timestamp", colonna(db::TypeTimestamp), " TIMESTAMP"},
                      CasoTipo{"BinaryBlob", colonna(db::TypeBlob, 0, 0, 0), " BLOB SUB_TYPE 1"},
                      CasoTipo{"TextBlob", colonna(db::TypeBlob, 0, 0, 1), " BLOB SUB_TYPE 1"}),
    [](const auto &info) { return std::string(info.param.nome); });

// Copies the rows of `sql` as the result window does.
EsitoCopia copia(db::Transaction &tra, const QString &sql)
{
    db::Statement st(tra, sql, db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    const std::vector<db::Column> colonne = rs.columns();
    return copiaInTmp222(tra, colonne, [&](std::vector<db::FieldValue> &riga) {
        if (!rs.next())
            return false;
        riga.clear();
        for (int i = 0; i < rs.columnCount(); ++i)
            riga.push_back(rs.value(i));
        return true;
    });
}

TEST_F(StoSqlDb, CopyOfAResultKeepsValuesAndReplacesAnEarlierCopy)
{
    exec(QStringLiteral("CREATE TABLE MISTO (T VARCHAR(20), F DOUBLE PRECISION, N NUMERIC(12,2), D DATE, "
                        "TS TIMESTAMP, B BLOB SUB_TYPE 1)"));
    exec(QStringLiteral("INSERT INTO MISTO VALUES ('O''BRIEN', 3.5, 12.25, '2024-03-25', '2024-03-25 10:11:12', 'memo')"));
    exec(QStringLiteral("INSERT INTO MISTO VALUES ('', NULL, -0.5, NULL, NULL, NULL)"));
    ASSERT_TRUE(copia(tra(), QStringLiteral("SELECT CODICE, NOME FROM CLIENTI")).ok());
    const EsitoCopia esito = copia(tra(), QStringLiteral("SELECT t, f, n AS importo, d, ts, b FROM MISTO"));
    ASSERT_TRUE(esito.ok()) << esito.messaggio.toStdString();
    EXPECT_EQ(esito.righe, 2);
    const auto colonne = db::catalog::columns(tra(), QStringLiteral("TMP222"));
    ASSERT_EQ(colonne.size(), 6u);
    EXPECT_EQ(colonne[2].name, QStringLiteral("IMPORTO"));
    db::Statement st(tra(), QStringLiteral("SELECT T, F, IMPORTO, D, TS, B FROM TMP222 ORDER BY IMPORTO DESC"),
                     db::ParamStyle::AsWritten);
    const auto righe = st.open().fetchAll();
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_EQ(db::toText(righe[0][0]), QStringLiteral("O'BRIEN"));
    EXPECT_EQ(db::toText(righe[0][1]), QStringLiteral("3,5"));
    EXPECT_EQ(db::toText(righe[0][2]), QStringLiteral("12,2500"));
    EXPECT_EQ(db::toText(righe[0][3]), QStringLiteral("25/03/2024"));
    EXPECT_EQ(db::toText(righe[0][5]), QStringLiteral("memo"));
    EXPECT_FALSE(righe[1][0].has_value()); // an empty text is stored as NULL
    EXPECT_EQ(db::toText(righe[1][2]), QStringLiteral("-0,5000"));
}

TEST_F(StoSqlDb, ACopyThatCannotBeCreatedSaysWhichStep)
{
    // Two result columns with one name: the table cannot be created.
    const EsitoCopia esito = copia(tra(), QStringLiteral("SELECT NOME, NOME FROM CLIENTI"));
    EXPECT_EQ(esito.fallito, PassoCopia::Create);
    EXPECT_FALSE(esito.messaggio.isEmpty());
}

TEST_F(StoSqlDb, ARowThatDoesNotFitStopsTheCopyAtInsert)
{
    db::Column c = colonna(db::TypeVarchar, 2);
    c.name = QStringLiteral("X");
    int n = 0;
    const EsitoCopia esito = copiaInTmp222(tra(), {c}, [&](std::vector<db::FieldValue> &riga) {
        riga = {db::FieldValue(n == 0 ? QStringLiteral("ok") : QStringLiteral("troppo lungo"))};
        return n++ < 3;
    });
    EXPECT_EQ(esito.fallito, PassoCopia::Insert);
    EXPECT_EQ(esito.righe, 1);
}

} // namespace
