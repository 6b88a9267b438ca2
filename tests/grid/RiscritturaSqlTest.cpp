// Where the grid's condition and ORDER BY go in an owner's statement.

#include "grid/RiscritturaSql.h"

#include <gtest/gtest.h>

using namespace vardof::grid;

struct RiscritturaCase
{
    const char *nome;
    const char *sql;
    QStringList condizione;
    QStringList ordine;
    const char *atteso;
};

class Riscrittura : public ::testing::TestWithParam<RiscritturaCase> {};

TEST_P(Riscrittura, putsConditionAndOrderWhereTheyBelong)
{
    const RiscritturaCase &c = GetParam();
    EXPECT_EQ(conOrdine(conCondizione(QString::fromUtf8(c.sql), c.condizione), c.ordine), QString::fromUtf8(c.atteso));
}

const QStringList kCond{"(A >= 'x')"};

INSTANTIATE_TEST_SUITE_P(
    Cases, Riscrittura,
    ::testing::Values(
        RiscritturaCase{"nienteDaAggiungere", "SELECT * FROM T ORDER BY B", {}, {}, "SELECT * FROM T ORDER BY B"},
        RiscritturaCase{"condizioneApreWhere", "SELECT * FROM T", kCond, {}, "SELECT * FROM T\nWHERE(A >= 'x')"},
        RiscritturaCase{"condizioneInAnd", "SELECT * FROM T\nWHERE B=1", kCond, {},
                        "SELECT * FROM T\nWHERE B=1\nAND(A >= 'x')"},
        RiscritturaCase{"whereSoloNellaSottoquery", "SELECT A, (SELECT MAX(X) FROM U WHERE U.K=T.K) AS M FROM T", kCond,
                        {}, "SELECT A, (SELECT MAX(X) FROM U WHERE U.K=T.K) AS M FROM T\nWHERE(A >= 'x')"},
        RiscritturaCase{"ordineSingolo", "SELECT * FROM T", {}, {"ORDER BY T.A"}, "SELECT * FROM T\nORDER BY T.A"},
        RiscritturaCase{"ordineMultiplo", "SELECT * FROM T", {}, {"ORDER BY T.A", ",T.B DESC"},
                        "SELECT * FROM T\nORDER BY T.A\n,T.B DESC"},
        RiscritturaCase{"condizioneEOrdine", "SELECT * FROM T", kCond, {"ORDER BY T.A DESC"},
                        "SELECT * FROM T\nWHERE(A >= 'x')\nORDER BY T.A DESC"},
        RiscritturaCase{"ordineSostituisceIlSuo", "SELECT * FROM T\nORDER BY B", {}, {"ORDER BY A DESC"},
                        "SELECT * FROM T\nORDER BY A DESC"},
        RiscritturaCase{"condizionePrimaDelSuoOrdine", "SELECT * FROM T\nORDER BY B", kCond, {},
                        "SELECT * FROM T\nWHERE(A >= 'x')\nORDER BY B"},
        RiscritturaCase{"ordinePrimaDiRows", "SELECT * FROM T ORDER BY B ROWS 10", {}, {"ORDER BY A"},
                        "SELECT * FROM T\nORDER BY A\nROWS 10"},
        RiscritturaCase{"ordineSenzaSuoPrimaDiRows", "SELECT * FROM T ROWS 10", {}, {"ORDER BY A"},
                        "SELECT * FROM T\nORDER BY A\nROWS 10"},
        RiscritturaCase{"groupBy", "SELECT A, COUNT(*) AS N FROM T GROUP BY A", kCond, {"ORDER BY A"},
                        "SELECT A, COUNT(*) AS N FROM T\nWHERE(A >= 'x')\nGROUP BY A\nORDER BY A"},
        RiscritturaCase{"groupByHaving", "SELECT A, COUNT(*) AS N FROM T WHERE B=1 GROUP BY A HAVING COUNT(*) > 1",
                        kCond, {"ORDER BY N DESC"},
                        "SELECT A, COUNT(*) AS N FROM T WHERE B=1\nAND(A >= 'x')\nGROUP BY A HAVING COUNT(*) > 1\n"
                        "ORDER BY N DESC"},
        RiscritturaCase{"unioneOrdinata", "SELECT A FROM T UNION SELECT A FROM U", {}, {"ORDER BY A"},
                        "SELECT * FROM (\nSELECT A FROM T UNION SELECT A FROM U\n) RISULTATO\nORDER BY A"},
        RiscritturaCase{"unioneCercata", "SELECT A FROM T WHERE B=1 UNION ALL SELECT A FROM U", kCond, {},
                        "SELECT * FROM (\nSELECT A FROM T WHERE B=1 UNION ALL SELECT A FROM U\n) RISULTATO\n"
                        "WHERE(A >= 'x')"},
        RiscritturaCase{"unioneColSuoOrdine", "SELECT A FROM T UNION SELECT A FROM U ORDER BY 1", kCond, {},
                        "SELECT * FROM (\nSELECT A FROM T UNION SELECT A FROM U\n) RISULTATO\nWHERE(A >= 'x')\n"
                        "ORDER BY 1"},
        RiscritturaCase{"unioneCercataEOrdinata", "SELECT A FROM T UNION SELECT A FROM U ORDER BY 1", kCond,
                        {"ORDER BY A DESC"},
                        "SELECT * FROM (\nSELECT A FROM T UNION SELECT A FROM U\n) RISULTATO\nWHERE(A >= 'x')\n"
                        "ORDER BY A DESC"},
        RiscritturaCase{"paroleNelLetterale", "SELECT 'ORDER BY X WHERE' AS S FROM T", kCond, {"ORDER BY S"},
                        "SELECT 'ORDER BY X WHERE' AS S FROM T\nWHERE(A >= 'x')\nORDER BY S"},
        RiscritturaCase{"apiceRaddoppiatoNelLetterale", "SELECT * FROM T WHERE C='it''s ORDER BY'", kCond, {},
                        "SELECT * FROM T WHERE C='it''s ORDER BY'\nAND(A >= 'x')"},
        RiscritturaCase{"nomeTraVirgolette", "SELECT \"ORDER\" FROM \"WHERE\"", kCond, {},
                        "SELECT \"ORDER\" FROM \"WHERE\"\nWHERE(A >= 'x')"},
        RiscritturaCase{"commentoDiRiga", "SELECT * FROM T -- ORDER BY X", kCond, {},
                        "SELECT * FROM T -- ORDER BY X\nWHERE(A >= 'x')"},
        RiscritturaCase{"commentoABlocco", "SELECT * FROM T /* WHERE */", kCond, {},
                        "SELECT * FROM T /* WHERE */\nWHERE(A >= 'x')"},
        RiscritturaCase{"nomeCheIniziaConOrder", "SELECT ORDER_DATE FROM T", {}, {"ORDER BY T.ORDER_DATE"},
                        "SELECT ORDER_DATE FROM T\nORDER BY T.ORDER_DATE"},
        RiscritturaCase{"minuscole", "select * from t where b=1 order by b", kCond, {},
                        "select * from t where b=1\nAND(A >= 'x')\norder by b"},
        RiscritturaCase{"generica", "SELECT * FROM T", {"(", "(T.A CONTAINING 'X')", "OR(T.B CONTAINING 'X')", ")"},
                        {}, "SELECT * FROM T\nWHERE(\n(T.A CONTAINING 'X')\nOR(T.B CONTAINING 'X')\n)"},
        RiscritturaCase{"forUpdate", "SELECT * FROM T FOR UPDATE", {}, {"ORDER BY A"},
                        "SELECT * FROM T\nORDER BY A\nFOR UPDATE"},
        RiscritturaCase{"cte", "WITH X AS (SELECT A FROM T WHERE B=1) SELECT * FROM X", kCond, {},
                        "WITH X AS (SELECT A FROM T WHERE B=1) SELECT * FROM X\nWHERE(A >= 'x')"}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Connettore, followsTheLastSelectsOwnWhere)
{
    EXPECT_EQ(connettore("SELECT * FROM T"), "WHERE");
    EXPECT_EQ(connettore("SELECT * FROM T WHERE A=1"), "AND");
    EXPECT_EQ(connettore("SELECT * FROM T WHERE A IN (SELECT B FROM U)"), "AND");
    EXPECT_EQ(connettore("SELECT * FROM T JOIN (SELECT B FROM U WHERE C=1) X ON X.B=T.A"), "WHERE");
}
