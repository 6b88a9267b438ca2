// The sort state of the grid: title double-clicks, the ORDINAMENTO codes
// of the layout rows, and the ORDER BY items that come out of them.

#include "grid/Ordinamento.h"

#include <gtest/gtest.h>

using namespace vardof::grid;

namespace {

QStringList nomiChiavi(const StatoOrdinamento &s)
{
    QStringList v;
    for (const ChiaveOrdinamento &k : s.chiavi())
        v << k.nome + (k.direzione == Decrescente ? QStringLiteral(" desc") : QString());
    return v;
}

CampoCliccato campo(const char *nome)
{
    return {QString::fromLatin1(nome), QStringLiteral("T.") + QString::fromLatin1(nome).toUpper(), 0};
}

} // namespace

// ---- title double-clicks ------------------------------------------------------

struct Click
{
    const char *campo;
    bool ctrl;
};

struct SequenzaCase
{
    const char *nome;
    std::vector<Click> click;
    ModoOrdinamento modo;
    QStringList chiavi; // "NAME" or "NAME desc", in key order
};

class SequenzeClick : public ::testing::TestWithParam<SequenzaCase> {};

TEST_P(SequenzeClick, giveTheKeysInOrder)
{
    StatoOrdinamento s;
    for (const Click &c : GetParam().click)
        ASSERT_TRUE(clickTitolo(s, campo(c.campo), c.ctrl, {}, {}));
    EXPECT_EQ(s.modo, GetParam().modo);
    EXPECT_EQ(nomiChiavi(s), GetParam().chiavi);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SequenzeClick,
    ::testing::Values(
        SequenzaCase{"primo", {{"a", false}}, ModoOrdinamento::Singolo, {"A"}},
        SequenzaCase{"stessoDiNuovo", {{"a", false}, {"a", false}}, ModoOrdinamento::Singolo, {"A desc"}},
        SequenzaCase{"terzaVolta", {{"a", false}, {"a", false}, {"a", false}}, ModoOrdinamento::Singolo, {"A"}},
        SequenzaCase{"altroTitolo", {{"a", false}, {"a", false}, {"b", false}}, ModoOrdinamento::Singolo, {"B"}},
        SequenzaCase{"ctrlAggiunge", {{"a", false}, {"b", true}, {"c", true}}, ModoOrdinamento::Multiplo,
                     {"A", "B", "C"}},
        SequenzaCase{"ctrlGira", {{"a", false}, {"b", true}, {"c", true}, {"b", true}}, ModoOrdinamento::Multiplo,
                     {"A", "B desc", "C"}},
        SequenzaCase{"ctrlSullaPrima", {{"a", false}, {"a", true}}, ModoOrdinamento::Multiplo, {"A desc"}},
        SequenzaCase{"ctrlSenzaChiave", {{"b", true}}, ModoOrdinamento::Multiplo, {"B"}},
        // A plain click leaves the list for one key starting from the first.
        SequenzaCase{"tornaSingolo", {{"a", false}, {"b", true}, {"c", true}, {"c", false}}, ModoOrdinamento::Singolo,
                     {"C"}},
        SequenzaCase{"tornaSingoloSullaPrima", {{"a", false}, {"b", true}, {"a", false}}, ModoOrdinamento::Singolo,
                     {"A desc"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(ClickTitolo, refusedFieldLeavesEverythingAsItWas)
{
    StatoOrdinamento s;
    ASSERT_TRUE(clickTitolo(s, campo("a"), false, {}, {}));
    const StatoOrdinamento prima = s;
    const auto soloA = [](const QString &n) { return n == QLatin1String("A"); };
    // Ctrl would have turned the single key into a list: refused, it stays one key.
    EXPECT_FALSE(clickTitolo(s, campo("b"), true, {}, soloA));
    EXPECT_EQ(s, prima);
    EXPECT_FALSE(clickTitolo(s, campo("b"), false, {}, soloA));
    EXPECT_EQ(s, prima);
    EXPECT_TRUE(clickTitolo(s, campo("a"), false, {}, soloA));
    EXPECT_EQ(nomiChiavi(s), QStringList{"A desc"});
}

TEST(ClickTitolo, personalisedFieldSortsByItsExpression)
{
    StatoOrdinamento s;
    const CampiPersonalizzati p{{"Descr"}, {"UPPER(T.DESCR)"}};
    ASSERT_TRUE(clickTitolo(s, campo("descr"), false, p, {}));
    EXPECT_EQ(s.singola->espressione, QStringLiteral("UPPER(T.DESCR)"));
    ASSERT_TRUE(clickTitolo(s, campo("altro"), false, p, {}));
    EXPECT_EQ(s.singola->espressione, QStringLiteral("T.ALTRO"));
}

// ---- ORDINAMENTO codes --------------------------------------------------------------

struct CodiceCase
{
    const char *nome;
    std::vector<Click> click;
    const char *campo;
    std::optional<int> codice;
};

class CodiciOrdinamento : public ::testing::TestWithParam<CodiceCase> {};

TEST_P(CodiciOrdinamento, storedAsTheLayoutRowHoldsThem)
{
    StatoOrdinamento s;
    for (const Click &c : GetParam().click)
        clickTitolo(s, campo(c.campo), c.ctrl, {}, {});
    EXPECT_EQ(codiceOrdinamento(s, QString::fromLatin1(GetParam().campo)), GetParam().codice);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodiciOrdinamento,
    ::testing::Values(CodiceCase{"singoloCrescente", {{"a", false}}, "A", 1},
                      CodiceCase{"singoloDecrescente", {{"a", false}, {"a", false}}, "A", 2},
                      CodiceCase{"nonChiave", {{"a", false}}, "B", std::nullopt},
                      CodiceCase{"primaDellaLista", {{"a", false}, {"b", true}, {"c", true}}, "A", 10},
                      CodiceCase{"secondaDellaLista", {{"a", false}, {"b", true}, {"c", true}}, "B", 20},
                      CodiceCase{"terzaDellaLista", {{"a", false}, {"b", true}, {"c", true}}, "C", 30},
                      CodiceCase{"secondaGirata", {{"a", false}, {"b", true}, {"c", true}, {"b", true}}, "B", -20},
                      CodiceCase{"primaGirata", {{"a", true}, {"a", true}}, "A", -10},
                      CodiceCase{"fuoriLista", {{"a", false}, {"b", true}}, "C", std::nullopt}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(CodiciOrdinamento, undecidedModeStoresNothing)
{
    EXPECT_EQ(codiceOrdinamento(StatoOrdinamento(), QStringLiteral("A")), std::nullopt);
}

// ---- reading the stored rows back ---------------------------------------------------------

struct LetturaCase
{
    const char *nome;
    std::vector<RigaOrdinamento> righe;
    ModoOrdinamento modo;
    QStringList chiavi;
};

class LetturaRighe : public ::testing::TestWithParam<LetturaCase> {};

TEST_P(LetturaRighe, giveModeAndKeys)
{
    StatoOrdinamento s;
    s.modo = modoDaRighe(GetParam().righe);
    caricaChiavi(s, GetParam().righe, {});
    EXPECT_EQ(s.modo, GetParam().modo);
    EXPECT_EQ(nomiChiavi(s), GetParam().chiavi);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LetturaRighe,
    ::testing::Values(
        LetturaCase{"nessuna", {{"A", "T.A", 0, std::nullopt}}, ModoOrdinamento::Singolo, {}},
        LetturaCase{"singolaCrescente", {{"A", "T.A", 0, std::nullopt}, {"B", "T.B", 1, 1}}, ModoOrdinamento::Singolo,
                    {"B"}},
        LetturaCase{"singolaDecrescente", {{"B", "T.B", 1, 2}}, ModoOrdinamento::Singolo, {"B desc"}},
        LetturaCase{"zeroNonEChiave", {{"B", "T.B", 1, 0}}, ModoOrdinamento::Singolo, {}},
        LetturaCase{"multiplaDieciMenoVenti", {{"A", "T.A", 0, 10}, {"B", "T.B", 1, -20}}, ModoOrdinamento::Multiplo,
                    {"A", "B desc"}},
        LetturaCase{"multiplaInOrdineDiCodice",
                    {{"C", "T.C", 0, 30}, {"A", "T.A", 1, -10}, {"B", "T.B", 2, 20}},
                    ModoOrdinamento::Multiplo,
                    {"A desc", "B", "C"}},
        LetturaCase{"multiplaSaltaZero", {{"A", "T.A", 0, 10}, {"B", "T.B", 1, 0}, {"C", "T.C", 2, 20}},
                    ModoOrdinamento::Multiplo, {"A", "C"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(LetturaRighe, roundTripThroughTheCodes)
{
    StatoOrdinamento s;
    for (const Click &c : std::vector<Click>{{"a", false}, {"b", true}, {"c", true}, {"b", true}})
        clickTitolo(s, campo(c.campo), c.ctrl, {}, {});
    std::vector<RigaOrdinamento> righe;
    int pos = 0;
    for (const char *n : {"A", "B", "C", "D"})
        righe.push_back({n, QStringLiteral("T.") + n, pos++, codiceOrdinamento(s, QString::fromLatin1(n))});
    StatoOrdinamento letto;
    letto.modo = modoDaRighe(righe);
    caricaChiavi(letto, righe, {});
    EXPECT_EQ(nomiChiavi(letto), nomiChiavi(s));
    EXPECT_EQ(letto.modo, ModoOrdinamento::Multiplo);
}

// ---- ORDER BY items -----------------------------------------------------------------------

struct OrderByCase
{
    const char *nome;
    std::vector<Click> click;
    std::vector<CampoRisultato> risultato;
    QStringList righe;
};

class RigheOrderBy : public ::testing::TestWithParam<OrderByCase> {};

TEST_P(RigheOrderBy, onlyForKeysTheResultStillHas)
{
    StatoOrdinamento s;
    for (const Click &c : GetParam().click) {
        CampoCliccato cc = campo(c.campo);
        if (QString::fromLatin1(c.campo).startsWith(QLatin1Char('X')))
            cc.origine.clear(); // computed column
        clickTitolo(s, cc, c.ctrl, {}, {});
    }
    EXPECT_EQ(righeOrderBy(s, GetParam().risultato, {}), GetParam().righe);
}

const std::vector<CampoRisultato> kABC{{"A", "T.A"}, {"B", "T.B"}, {"C", "T.C"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, RigheOrderBy,
    ::testing::Values(
        OrderByCase{"nessunaChiave", {}, kABC, {}},
        OrderByCase{"singola", {{"b", false}}, kABC, {"ORDER BY T.B"}},
        OrderByCase{"singolaDesc", {{"b", false}, {"b", false}}, kABC, {"ORDER BY T.B DESC"}},
        OrderByCase{"multipla", {{"a", false}, {"b", true}, {"b", true}, {"c", true}}, kABC,
                    {"ORDER BY T.A", ",T.B DESC", ",T.C"}},
        // The first key's column left the statement: the next one opens the ORDER BY.
        OrderByCase{"primaSparita", {{"a", false}, {"b", true}, {"c", true}}, {{"B", "T.B"}, {"C", "T.C"}},
                    {"ORDER BY T.B", ",T.C"}},
        OrderByCase{"singolaSparita", {{"a", false}}, {{"B", "T.B"}}, {}},
        OrderByCase{"calcolataPerNome", {{"XTOT", false}}, {{"A", "T.A"}, {"XTOT", ""}}, {"ORDER BY XTOT"}},
        OrderByCase{"calcolataMinuscola", {{"Xtot", false}}, {{"A", "T.A"}, {"Xtot", ""}}, {"ORDER BY \"Xtot\""}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(RigheOrderBy, personalisedKeyNeedsNoOrigin)
{
    StatoOrdinamento s;
    const CampiPersonalizzati p{{"DESCR"}, {"UPPER(T.DESCR)"}};
    clickTitolo(s, campo("descr"), false, p, {});
    EXPECT_EQ(righeOrderBy(s, {{"DESCR", ""}}, p), QStringList{"ORDER BY UPPER(T.DESCR)"});
}

TEST(OrderByChiavePrimaria, joinsTheFieldsOfTheTable)
{
    EXPECT_EQ(orderByChiavePrimaria("STOQUER", {"CODICE1 ", "CODICE2"}), "ORDER BY STOQUER.CODICE1,STOQUER.CODICE2");
    EXPECT_EQ(orderByChiavePrimaria("STOQUER", {}), QString());
}
