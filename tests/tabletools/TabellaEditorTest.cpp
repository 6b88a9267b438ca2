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

// ---- rows added and deleted ------------------------------------------------

struct CasoInserimento
{
    const char *nome;
    const char *tabella;
    std::vector<std::pair<QString, db::FieldValue>> valori;
    const char *riga;     // the row handed back, grid columns joined by "|" (RDB$DB_KEY left out)
    const char *tabellaDopo; // what the table then holds, "" when the insertion is refused
};

class Inserimento : public EditorDb, public ::testing::WithParamInterface<CasoInserimento>
{
protected:
    void SetUp() override
    {
        EditorDb::SetUp();
        exec(QStringLiteral("CREATE TABLE GENERATI (ID INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(10), "
                            "STATO VARCHAR(3) DEFAULT 'NEW')"));
        exec(QStringLiteral("CREATE SEQUENCE G_GENERATI"));
        exec(QStringLiteral("ALTER SEQUENCE G_GENERATI RESTART WITH 40"));
        exec(QStringLiteral("CREATE TRIGGER T_GENERATI FOR GENERATI BEFORE INSERT AS BEGIN "
                            "IF (NEW.ID IS NULL) THEN NEW.ID = NEXT VALUE FOR G_GENERATI; END"));
        exec(QStringLiteral("CREATE TABLE IDENTITA (ID INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
                            "NOME VARCHAR(10))"));
    }
    static QString testo(const db::FieldValue &v) { return v ? db::toText(*v) : QStringLiteral("<null>"); }
};

TEST_P(Inserimento, WritesTheGivenColumnsAndHandsBackTheStoredRow)
{
    const CasoInserimento &c = GetParam();
    TabellaEditor t(tra(), QString::fromUtf8(c.tabella));
    const QStringList statement = t.statementGriglia();
    db::Statement griglia(tra(), statement.join(QLatin1Char('\n')), db::ParamStyle::AsWritten);
    const std::vector<db::Column> colonne = griglia.columns();
    if (!*c.tabellaDopo) {
        EXPECT_THROW(t.inserisci(c.valori, colonne), db::Error);
        tra().rollback();
        EXPECT_EQ(t.conta(), QString::fromUtf8(c.tabella) == QLatin1String("CLIENTI") ? 3 : 0);
        return;
    }
    const std::vector<db::FieldValue> riga = t.inserisci(c.valori, colonne);
    ASSERT_EQ(riga.size(), colonne.size());
    QStringList visti;
    for (size_t i = 0; i < colonne.size(); ++i) {
        if (colonne[i].name == QLatin1String("DB_KEY")) {
            EXPECT_TRUE(riga[i] && !std::get<QByteArray>(*riga[i]).isEmpty()) << "no RDB$DB_KEY handed back";
            continue;
        }
        visti << testo(riga[i]);
    }
    EXPECT_EQ(visti.join(QLatin1Char('|')), QString::fromUtf8(c.riga));
    // Committed retaining: another transaction sees the row.
    db::Transaction altra(att());
    db::Statement st(altra, QStringLiteral("SELECT * FROM ") + QString::fromUtf8(c.tabella), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    QStringList righe;
    while (rs.next()) {
        QStringList r;
        for (int i = 0; i < rs.columnCount(); ++i)
            r << (rs.isNull(i) ? QStringLiteral("<null>") : rs.text(i));
        righe << r.join(QLatin1Char('|'));
    }
    EXPECT_TRUE(righe.contains(QString::fromUtf8(c.tabellaDopo))) << righe.join(QLatin1Char('\n')).toStdString();
    // The row handed back finds the row again.
    t.aggiorna(t.identita(colonne, riga), {});
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Inserimento,
    ::testing::Values(
        CasoInserimento{"KeyTyped", "CLIENTI",
                        {{"IDCLIENTE", db::Value(qint64(9))}, {"CODICE", db::FieldValue(QStringLiteral("O'K"))}},
                        "9|O'K|<null>|<null>|<null>|<null>", "9|O'K|<null>|<null>|<null>|<null>"},
        CasoInserimento{"NullTypedStaysNull", "CLIENTI",
                        {{"IDCLIENTE", db::Value(qint64(8))}, {"CODICE", db::FieldValue(QStringLiteral("A"))},
                         {"NOME", db::FieldValue()}},
                        "8|A|<null>|<null>|<null>|<null>", "8|A|<null>|<null>|<null>|<null>"},
        CasoInserimento{"KeyFromTriggerAndDefault", "GENERATI", {{"NOME", db::FieldValue(QStringLiteral("ROSSI"))}},
                        "41|ROSSI|NEW", "41|ROSSI|NEW"},
        CasoInserimento{"NothingTypedTakesTheDefaults", "GENERATI", {}, "41|<null>|NEW", "41|<null>|NEW"},
        CasoInserimento{"KeyFromIdentity", "IDENTITA", {{"NOME", db::FieldValue(QStringLiteral("X"))}}, "1|X", "1|X"},
        CasoInserimento{"WithoutPrimaryKeyByDbKey", "SENZAPK",
                        {{"A", db::FieldValue(QStringLiteral("x"))}, {"B", db::Value(qint64(1))}}, "x|1", "x|1"},
        // A required column left empty, a key already taken: the server says no.
        CasoInserimento{"RequiredColumnMissing", "CLIENTI", {{"IDCLIENTE", db::Value(qint64(7))}}, "", ""},
        CasoInserimento{"KeyTaken", "CLIENTI",
                        {{"IDCLIENTE", db::Value(qint64(1))}, {"CODICE", db::FieldValue(QStringLiteral("B"))}}, "", ""}),
    [](const auto &info) { return std::string(info.param.nome); });

struct CasoCancellazione
{
    const char *nome;
    const char *tabella;
    const char *statement; // empty: the editor's own
    int riga;              // which row of the statement is deleted
    QStringList restano;   // the table afterwards, first two columns joined by "|"
    bool unica = true;     // the row is found by what only it has
};

class Cancellazione : public EditorDb, public ::testing::WithParamInterface<CasoCancellazione>
{
};

TEST_P(Cancellazione, RemovesThatRowOnlyAndNotTwice)
{
    const CasoCancellazione &c = GetParam();
    exec(QStringLiteral("INSERT INTO SENZAPK VALUES ('x', 2)"));
    TabellaEditor t(tra(), QString::fromUtf8(c.tabella));
    const QStringList statement = *c.statement ? QStringList{QString::fromUtf8(c.statement)} : t.statementGriglia();
    const auto righe = t.leggi(statement, {});
    ASSERT_GT(righe.size(), size_t(c.riga));
    t.cancella(righe[size_t(c.riga)].identita);
    const QString tabella = QString::fromUtf8(c.tabella);
    const QStringList prime = t.colonne().size() >= 2
                                  ? QStringList{t.colonne()[0].name, t.colonne()[1].name}
                                  : QStringList{t.colonne()[0].name};
    EXPECT_EQ(colonna(QStringLiteral("SELECT ") + prime.join(QStringLiteral(" || '|' || ")) + QStringLiteral(" FROM ")
                      + tabella + QStringLiteral(" ORDER BY 1")),
              c.restano);
    if (c.unica)
        EXPECT_THROW(t.cancella(righe[size_t(c.riga)].identita), RigaNonTrovata);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Cancellazione,
    ::testing::Values(
        CasoCancellazione{"ByPrimaryKey", "CLIENTI", "", 1, {"1|123", "3|"}},
        // Two rows alike: RDB$DB_KEY tells them apart.
        CasoCancellazione{"ByDbKeyOfTwoRowsAlike", "SENZAPK",
                          "SELECT SENZAPK.RDB$DB_KEY, SENZAPK.* FROM SENZAPK ORDER BY B", 2, {"x|1", "x|2"}},
        // Without RDB$DB_KEY in the statement, one row of those alike.
        CasoCancellazione{"ByOldValuesWithoutDbKey", "SENZAPK", "SELECT A, B FROM SENZAPK WHERE B = 2", 0,
                          {"x|1", "x|2"}, false}),
    [](const auto &info) { return std::string(info.param.nome); });

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
