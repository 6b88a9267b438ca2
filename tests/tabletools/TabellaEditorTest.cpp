// The edited table: statements, rows posted by key (or RDB$DB_KEY), and
// the bulk column changes on a real table.
#include "tabletools/TabellaEditor.h"

#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::tabletools;

namespace {

class EditorDb : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE CLIENTI (IDCLIENTE INTEGER NOT NULL, CODICE VARCHAR(9) NOT NULL, "
                            "NOME VARCHAR(12), ID INTEGER, PUNTI NUMERIC(9,2), NOTE BLOB SUB_TYPE 1, "
                            "CONSTRAINT PK_CLIENTI PRIMARY KEY (IDCLIENTE))"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (1, '123', 'ROSSI', NULL, 1.5, NULL)"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (2, '123456789', NULL, 7, NULL, 'nota')"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (3, '', 'VERDI', NULL, NULL, NULL)"));
        exec(QStringLiteral("CREATE TABLE SENZAPK (A VARCHAR(5) NOT NULL, B INTEGER)"));
        exec(QStringLiteral("INSERT INTO SENZAPK VALUES ('x', 1)"));
        exec(QStringLiteral("INSERT INTO SENZAPK VALUES ('x', 2)"));
    }
    QStringList colonna(const QString &sql)
    {
        db::Statement st(tra(), sql, db::ParamStyle::AsWritten);
        db::ResultSet rs = st.open();
        QStringList valori;
        while (rs.next())
            valori << (rs.isNull(0) ? QStringLiteral("<null>") : rs.text(0));
        return valori;
    }
};

TEST_F(EditorDb, StatementsOrderByTheNotNullColumns)
{
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    EXPECT_EQ(t.colonneChiave(), (QStringList{QStringLiteral("IDCLIENTE"), QStringLiteral("CODICE")}));
    EXPECT_EQ(t.statementGriglia(), (QStringList{QStringLiteral("SELECT * FROM \"CLIENTI\""), QStringLiteral("ORDER BY"),
                                                 QStringLiteral("\"IDCLIENTE\""), QStringLiteral(","),
                                                 QStringLiteral("\"CODICE\"")}));
    EXPECT_EQ(t.statementSenzaFiltro(), QStringList{QStringLiteral("SELECT * FROM \"CLIENTI\"")});
    EXPECT_EQ(t.conta(), 3);
    EXPECT_EQ(t.conta(t.statementFiltrato(QStringLiteral("SELECT * FROM CLIENTI\nWHERE NOME IS NOT NULL"))), 2);
}

TEST_F(EditorDb, ARowIsPostedByItsKeyOnly)
{
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    const auto righe = t.leggi(t.statementGriglia(), {QStringLiteral("NOME")});
    ASSERT_EQ(righe.size(), 3u);
    t.aggiorna(righe[1].identita, {{QStringLiteral("NOME"), db::FieldValue(QStringLiteral("BIANCHI"))}});
    EXPECT_EQ(colonna(QStringLiteral("SELECT NOME FROM CLIENTI ORDER BY IDCLIENTE")),
              (QStringList{QStringLiteral("ROSSI"), QStringLiteral("BIANCHI"), QStringLiteral("VERDI")}));
}

TEST_F(EditorDb, ATableWithoutPrimaryKeyIsEditedByDbKey)
{
    TabellaEditor t(tra(), QStringLiteral("SENZAPK"));
    EXPECT_TRUE(t.usaDbKey());
    const auto righe = t.leggi(t.statementGriglia(), {QStringLiteral("B")});
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_FALSE(righe[0].identita.dbKey.isEmpty());
    // Both rows share A: only the row posted may change.
    t.aggiorna(righe[1].identita, {{QStringLiteral("A"), db::FieldValue(QStringLiteral("y"))}});
    EXPECT_EQ(colonna(QStringLiteral("SELECT A FROM SENZAPK ORDER BY B")),
              (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
}

TEST_F(EditorDb, WithoutKeyOrDbKeyOneRowOnlyIsChangedByItsOldValues)
{
    TabellaEditor t(tra(), QStringLiteral("SENZAPK"));
    const auto righe = t.leggi({QStringLiteral("SELECT A, B FROM SENZAPK WHERE B = 2")}, {QStringLiteral("A")});
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_TRUE(righe[0].identita.dbKey.isEmpty());
    t.aggiorna(righe[0].identita, {{QStringLiteral("A"), db::FieldValue(QStringLiteral("z"))}});
    EXPECT_EQ(colonna(QStringLiteral("SELECT A FROM SENZAPK ORDER BY B")),
              (QStringList{QStringLiteral("x"), QStringLiteral("z")}));
}

TEST_F(EditorDb, ARowDeletedMeanwhileIsReportedNotIgnored)
{
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    const auto righe = t.leggi(t.statementGriglia(), {});
    t.cancella(righe[0].identita);
    EXPECT_THROW(t.aggiorna(righe[0].identita, {{QStringLiteral("NOME"), db::FieldValue(QStringLiteral("X"))}}),
                 RigaNonTrovata);
}

struct CasoZeri
{
    const char *nome;
    int lunghezza;
    const char *filtro; // empty: the whole table
    QStringList attesi; // CODICE by IDCLIENTE
    bool fallisce;
};

class Zeri : public EditorDb, public ::testing::WithParamInterface<CasoZeri>
{
};

TEST_P(Zeri, PadsWithoutCuttingLongerValues)
{
    const CasoZeri &c = GetParam();
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    QStringList statement = t.statementGriglia();
    if (*c.filtro)
        statement = t.statementFiltrato(QStringLiteral("SELECT * FROM \"CLIENTI\"\n") + QString::fromUtf8(c.filtro));
    if (c.fallisce)
        EXPECT_THROW(t.riempiConZeri(QStringLiteral("codice"), c.lunghezza, statement), db::Error);
    else
        t.riempiConZeri(QStringLiteral("codice"), c.lunghezza, statement);
    EXPECT_EQ(colonna(QStringLiteral("SELECT CODICE FROM CLIENTI ORDER BY IDCLIENTE")), c.attesi);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Zeri,
    ::testing::Values(CasoZeri{"Whole", 8, "", {"00000123", "123456789", "00000000"}, false},
                      CasoZeri{"Filtered", 6, "WHERE IDCLIENTE = 1", {"000123", "123456789", ""}, false},
                      CasoZeri{"FilteredWithOr", 5, "WHERE IDCLIENTE = 1 OR IDCLIENTE = 3", {"00123", "123456789", "00000"}, false},
                      // Longer than the column: the server refuses, nothing changes.
                      CasoZeri{"TooLongForColumn", 10, "", {"123", "123456789", ""}, true}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(EditorDb, RepeatAValueOnTheWholeTableOrOnTheFilteredRows)
{
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    t.ripetiValore(QStringLiteral("NOME"), QStringLiteral("D'ANGELO"),
                   t.statementFiltrato(QStringLiteral("SELECT * FROM CLIENTI\nWHERE IDCLIENTE > 1")));
    EXPECT_EQ(colonna(QStringLiteral("SELECT NOME FROM CLIENTI ORDER BY IDCLIENTE")),
              (QStringList{QStringLiteral("ROSSI"), QStringLiteral("D'ANGELO"), QStringLiteral("D'ANGELO")}));
    t.ripetiValore(QStringLiteral("nome"), QStringLiteral("O'NEIL"), t.statementGriglia());
    EXPECT_EQ(colonna(QStringLiteral("SELECT DISTINCT NOME FROM CLIENTI")), QStringList{QStringLiteral("O'NEIL")});
    EXPECT_THROW(t.ripetiValore(QStringLiteral("NOME"), QStringLiteral("TROPPO LUNGO PER LA COLONNA"), t.statementGriglia()),
                 db::Error);
    EXPECT_THROW(t.ripetiValore(QStringLiteral("NONCE"), QStringLiteral("1"), t.statementGriglia()), std::invalid_argument);
}

TEST_F(EditorDb, NumberingCandidatesLeaveOutNamesInTheFirstIndex)
{
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    // The first index covers IDCLIENTE: ID is a substring of it.
    EXPECT_EQ(t.colonneProgressivo(), QStringList{QStringLiteral("PUNTI")});
    TabellaEditor s(tra(), QStringLiteral("SENZAPK"));
    EXPECT_EQ(s.colonneProgressivo(), QStringList{QStringLiteral("B")});
}

TEST_F(EditorDb, NumberingFollowsTheFilteredGridOrderAndLeavesTheRestAlone)
{
    exec(QStringLiteral("INSERT INTO CLIENTI VALUES (4, 'X', 'NERI', NULL, NULL, NULL)"));
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    QStringList statement = {QStringLiteral("SELECT * FROM CLIENTI"), QStringLiteral("WHERE IDCLIENTE > 1"),
                             QStringLiteral("ORDER BY IDCLIENTE DESC")};
    EXPECT_EQ(t.generaProgressivo(QStringLiteral("PUNTI"), 100, statement), 3);
    EXPECT_EQ(colonna(QStringLiteral("SELECT PUNTI FROM CLIENTI ORDER BY IDCLIENTE")),
              (QStringList{QStringLiteral("1,50"), QStringLiteral("102,00"), QStringLiteral("101,00"),
                           QStringLiteral("100,00")}));
}

TEST_F(EditorDb, NumberingThatOverflowsChangesNoRow)
{
    exec(QStringLiteral("CREATE TABLE PICCOLI (K INTEGER NOT NULL PRIMARY KEY, S SMALLINT)"));
    exec(QStringLiteral("INSERT INTO PICCOLI VALUES (1, 0)"));
    exec(QStringLiteral("INSERT INTO PICCOLI VALUES (2, 0)"));
    TabellaEditor t(tra(), QStringLiteral("PICCOLI"));
    EXPECT_THROW(t.generaProgressivo(QStringLiteral("S"), 32767, t.statementGriglia()), db::Error);
    EXPECT_EQ(colonna(QStringLiteral("SELECT S FROM PICCOLI ORDER BY K")),
              (QStringList{QStringLiteral("0"), QStringLiteral("0")}));
}

TEST_F(EditorDb, EmptyTheTable)
{
    TabellaEditor t(tra(), QStringLiteral("CLIENTI"));
    t.azzera();
    EXPECT_EQ(t.conta(), 0);
}

struct CasoCondizione
{
    QStringList statement;
    const char *atteso;
};

class Condizione : public ::testing::TestWithParam<CasoCondizione>
{
};

TEST_P(Condizione, FromWhereToGroupOrOrder)
{
    EXPECT_EQ(TabellaEditor::condizioneFiltro(GetParam().statement), QString::fromUtf8(GetParam().atteso));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Condizione,
    ::testing::Values(CasoCondizione{{"SELECT * FROM T"}, ""},
                      CasoCondizione{{"SELECT * FROM T", "WHERE A = 1", "AND B = 2", "ORDER BY", "A"}, " WHERE A = 1 AND B = 2"},
                      CasoCondizione{{"SELECT A FROM T", "where A > 0", "GROUP BY A"}, " where A > 0"}));

} // namespace
