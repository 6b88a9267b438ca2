// Ordering and totals as codes and text: what the "Ordinamento e Totali"
// dialog lists, the codes its "&Aggiorna" writes, the ORDER BY lines those
// codes give and how an old ORDER BY is taken off; the sum's message; the
// aggregate conditions the COUNT / SUM dialogs write and the GROUP BY the
// next composition gives them.

#include "qbe/Composizione.h"
#include "qbe/Ordinamento.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;

namespace {

CodiciColonne codici(std::initializer_list<std::pair<int, int>> valori)
{
    CodiciColonne c;
    for (const auto &[colonna, codice] : valori)
        c.setCodice(colonna, codice);
    return c;
}

// ---- ORDER BY lines from the codes ------------------------------------------

struct CasoOrderBy
{
    const char *nome;
    std::vector<std::pair<int, int>> codici;
    int colonne;
    QStringList righe;
};

class OrderByDaiCodici : public ::testing::TestWithParam<CasoOrderBy>
{
};

TEST_P(OrderByDaiCodici, linesFollowTheSortPositions)
{
    const CasoOrderBy &c = GetParam();
    CodiciColonne k;
    for (const auto &[colonna, codice] : c.codici)
        k.setCodice(colonna, codice);
    EXPECT_EQ(righeOrderBy(k, c.colonne), c.righe);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, OrderByDaiCodici,
    ::testing::Values(
        CasoOrderBy{"nessunaChiave", {{0, 1}, {1, 10}}, 3, {}},
        CasoOrderBy{"unaCrescente", {{1, 100}}, 3, {"ORDER BY", "2"}},
        CasoOrderBy{"dueColonneSecondaPrima", {{1, 100}, {0, 200}}, 3, {"ORDER BY", "2, ", "1"}},
        CasoOrderBy{"treUnoDecrescente", {{2, 10100}, {0, 10200}}, 3, {"ORDER BY", "3, ", "1", "DESCENDING"}},
        // Totals and digit grouping ride along without changing the order.
        CasoOrderBy{"conTotaleERaggruppamento", {{0, 112}, {1, 211}, {2, 12}}, 3, {"ORDER BY", "1, ", "2"}},
        // A column beyond the answer's last one is not ordered on.
        CasoOrderBy{"colonnaOltreLaRisposta", {{5, 100}, {0, 200}}, 3, {"ORDER BY", "1"}},
        // Two columns claiming one place: the first keeps it.
        CasoOrderBy{"postoConteso", {{0, 100}, {1, 100}}, 2, {"ORDER BY", "1"}},
        CasoOrderBy{"oltreCinqueCifre", {{0, 1000100}}, 1, {"ORDER BY", "1"}}),
    [](const auto &info) { return std::string(info.param.nome); });

struct CasoTogli
{
    const char *nome;
    QStringList prima;
    QStringList dopo;
};

class TogliOrderBy : public ::testing::TestWithParam<CasoTogli>
{
};

TEST_P(TogliOrderBy, linesUpToTheLastOrderByGo)
{
    EXPECT_EQ(togliOrderBy(GetParam().prima), GetParam().dopo);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, TogliOrderBy,
    ::testing::Values(
        CasoTogli{"semplice", {"SELECT", "XX.A", "FROM ", "\"T\" XX ", "ORDER BY", "1"}, {"SELECT", "XX.A", "FROM ", "\"T\" XX "}},
        CasoTogli{"decrescente", {"SELECT", "XX.A", "FROM ", "\"T\" XX ", "ORDER BY", "2, ", "1", "DESCENDING"},
                  {"SELECT", "XX.A", "FROM ", "\"T\" XX "}},
        CasoTogli{"minuscolo", {"SELECT", "XX.A", "order by", "1"}, {"SELECT", "XX.A"}},
        // Without ORDER BY everything but the first line goes: the caller
        // only asks when the answer is marked as ordered.
        CasoTogli{"senzaOrderBy", {"SELECT", "XX.A", "FROM "}, {"SELECT"}},
        CasoTogli{"soloUnaRiga", {"SELECT"}, {"SELECT"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(OrderByDaiCodici, replacingAnOrderByLeavesOneOrderBy)
{
    QStringList testo{"SELECT", "XX.A,", "XX.B", "FROM ", "\"T\" XX "};
    testo << righeOrderBy(codici({{0, 100}}), 2);
    testo = togliOrderBy(testo);
    testo << righeOrderBy(codici({{1, 10100}, {0, 10200}}), 2);
    EXPECT_EQ(testo, (QStringList{"SELECT", "XX.A,", "XX.B", "FROM ", "\"T\" XX ", "ORDER BY", "2, ", "1", "DESCENDING"}));
}

// ---- the dialog's lists and its "&Aggiorna" ------------------------------------

TEST(OrdETot, listsFollowTheCodesAndTheClasses)
{
    const std::vector<TipoCampo> tipi{TipoCampo::Intero, TipoCampo::Altro, TipoCampo::BlobTesto,
                                      TipoCampo::Scalato, TipoCampo::Data, TipoCampo::Virgola,
                                      TipoCampo::BlobBinario};
    // Column 4 second in the key, column 1 first and descending, column 3 totalled.
    const ListeOrdETot l = RiempiOrdETot(tipi, codici({{4, 200}, {1, 10100}, {3, 10}}));
    EXPECT_EQ(l.chiave, (std::vector<int>{1, 4}));
    EXPECT_EQ(l.disponibili, (std::vector<int>{0, 3, 5}));
    EXPECT_EQ(l.totali, (std::vector<int>{3}));
    EXPECT_EQ(l.numerici, (std::vector<int>{0, 5}));
    EXPECT_TRUE(l.decrescente);
    EXPECT_FALSE(RiempiOrdETot(tipi, codici({{4, 200}})).decrescente);
}

TEST(OrdETot, aBlobIsNeverOfferedAsAKey)
{
    const ListeOrdETot l = RiempiOrdETot({TipoCampo::BlobTesto, TipoCampo::BlobBinario}, CodiciColonne());
    EXPECT_TRUE(l.disponibili.empty());
    EXPECT_TRUE(l.numerici.empty());
}

TEST(OrdETot, theThirtySecondKeyIsRefused)
{
    EXPECT_TRUE(chiaveAmmessa(0));
    EXPECT_TRUE(chiaveAmmessa(30));
    EXPECT_FALSE(chiaveAmmessa(31));
}

struct CasoAggiorna
{
    const char *nome;
    std::vector<std::pair<int, int>> prima;
    std::vector<int> chiave;
    std::vector<int> totali;
    bool decrescente;
    std::vector<int> dopo; // codes of columns 0..3
};

class Aggiorna : public ::testing::TestWithParam<CasoAggiorna>
{
};

TEST_P(Aggiorna, codesAreRewrittenKeepingTheGrouping)
{
    const CasoAggiorna &c = GetParam();
    CodiciColonne k;
    for (const auto &[colonna, codice] : c.prima)
        k.setCodice(colonna, codice);
    AggiornaCodici(k, 4, c.chiave, c.totali, c.decrescente);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(k.codice(i), c.dopo[size_t(i)]) << "colonna " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Aggiorna,
    ::testing::Values(
        CasoAggiorna{"crescente", {}, {2, 0}, {}, false, {200, 0, 100, 0}},
        CasoAggiorna{"decrescenteSoloSullaChiave", {}, {2, 0}, {3}, true, {10200, 0, 10100, 10}},
        CasoAggiorna{"raggruppamentoTenuto", {{0, 2}, {1, 10101}, {3, 11}}, {0}, {}, false, {102, 1, 0, 1}},
        CasoAggiorna{"chiaveSvuotata", {{0, 10201}, {1, 10110}}, {}, {1}, true, {1, 10, 0, 0}}),
    [](const auto &info) { return std::string(info.param.nome); });

// ---- immediate sum -----------------------------------------------------------

struct CasoSomma
{
    double somma;
    const char *testo;
};

class MessaggioSomma : public ::testing::TestWithParam<CasoSomma>
{
};

TEST_P(MessaggioSomma, twoDecimalsAndThousandsPoints)
{
    EXPECT_EQ(testoSomma(GetParam().somma), QString::fromUtf8(GetParam().testo));
}

INSTANTIATE_TEST_SUITE_P(Casi, MessaggioSomma,
                         ::testing::Values(CasoSomma{0, ""}, CasoSomma{1250.5, "1.250,50"},
                                           CasoSomma{-1234567.891, "-1.234.567,89"}, CasoSomma{0.004, "0,00"}));

TEST(MessaggioSomma, onlyNumericClassesAreOffered)
{
    EXPECT_TRUE(eNumerica(TipoCampo::Intero));
    EXPECT_TRUE(eNumerica(TipoCampo::Virgola));
    EXPECT_TRUE(eNumerica(TipoCampo::Scalato));
    for (TipoCampo t : {TipoCampo::Altro, TipoCampo::Data, TipoCampo::Ora, TipoCampo::BlobTesto})
        EXPECT_FALSE(eNumerica(t));
}

// ---- aggregate conditions and the GROUP BY they give -------------------------

struct CasoAggregato
{
    const char *nome;
    std::function<void(TabIntTmp &)> prepara;
    QStringList righe;
};

class Aggregati : public ::testing::TestWithParam<CasoAggregato>
{
};

TEST_P(Aggregati, theConditionWrittenGroupsTheNextRun)
{
    TabIntTmp tab;
    tab.append(QStringLiteral("CITTA"), MostraVisibile);
    tab.append(QStringLiteral("ZONA"), MostraVisibile);
    tab.append(QStringLiteral("FIDO"), MostraNascosto);
    tab.append(QStringLiteral("CODICE"), MostraNascosto);
    GetParam().prepara(tab);
    const BloccoComposto b = ComponiBlocco(tab.righe(), QStringLiteral("CLIENTI"), nullptr);
    EXPECT_EQ(b.righe, GetParam().righe);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Aggregati,
    ::testing::Values(
        CasoAggregato{"conteggio",
                      [](TabIntTmp &t) { t.setCondizione(3, condizioneConteggio(QStringLiteral("CODICE"), QStringLiteral("TOT"))); },
                      {"SELECT", "XX.CITTA,", "XX.ZONA,", " (COUNT(CODICE)) AS TOT", "FROM ", "\"CLIENTI\" XX ",
                       "GROUP BY", "XX.CITTA,", "XX.ZONA"}},
        CasoAggregato{"somma",
                      [](TabIntTmp &t) { t.setCondizione(2, condizioneSomma(QStringLiteral("FIDO"), QStringLiteral("VALORE"))); },
                      {"SELECT", "XX.CITTA,", "XX.ZONA,", " (SUM(FIDO)) AS VALORE", "FROM ", "\"CLIENTI\" XX ",
                       "GROUP BY", "XX.CITTA,", "XX.ZONA"}},
        // "Deseleziona tutti i campi": nothing shown, no GROUP BY.
        CasoAggregato{"deselezionati",
                      [](TabIntTmp &t) {
                          t.setCondizione(3, condizioneConteggio(QStringLiteral("CODICE"), QStringLiteral("TOT")));
                          t.deselezionaTutto();
                      },
                      {"SELECT", " (COUNT(CODICE)) AS TOT", "FROM ", "\"CLIENTI\" XX "}},
        CasoAggregato{"sommaConRaggruppamentoCorrente",
                      [](TabIntTmp &t) {
                          ASSERT_TRUE(InserisciSommaRaggruppamento(t, QStringLiteral("FIDO"), QStringLiteral("Tot")));
                      },
                      {"SELECT", "XX.CITTA,", "XX.ZONA,", " (Sum(FIDO)) as Tot", "FROM ", "\"CLIENTI\" XX ",
                       "GROUP BY", "XX.CITTA,", "XX.ZONA"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Aggregati, theTextsOfTheDialogs)
{
    EXPECT_EQ(condizioneConteggio(QStringLiteral("CITTA"), QStringLiteral("TOT")), QStringLiteral("(CALC (COUNT(CITTA)) AS TOT)"));
    EXPECT_EQ(condizioneSomma(QStringLiteral("FIDO"), QStringLiteral("VALORE")), QStringLiteral("(CALC (SUM(FIDO)) AS VALORE)"));
    EXPECT_EQ(condizioneSommaRaggruppamento(QStringLiteral("FIDO"), QStringLiteral("Tot")), QStringLiteral("(Calc (Sum(FIDO)) as Tot)"));
}

TEST(Aggregati, aSumOnAColumnNotInTheInterrogationChangesNothing)
{
    TabIntTmp tab;
    tab.append(QStringLiteral("FIDO"), MostraVisibile, QStringLiteral("X"));
    // Exact name only.
    EXPECT_FALSE(InserisciSommaRaggruppamento(tab, QStringLiteral("fido"), QStringLiteral("Tot")));
    EXPECT_EQ(tab.at(0).Condizione, QStringLiteral("X"));
}

// ---- procedural functions ----------------------------------------------------

struct CasoProcedurale
{
    const char *nome;
    const char *condizione;
    QStringList righe;
};

class Procedurali : public ::testing::TestWithParam<CasoProcedurale>
{
};

TEST_P(Procedurali, areWrittenAsTheServersOwnSql)
{
    TabIntTmp tab;
    tab.append(QStringLiteral("CITTA"), MostraVisibile);
    tab.append(QStringLiteral("FIDO"), MostraNascosto, QString::fromUtf8(GetParam().condizione));
    tab.append(QStringLiteral("ZONA"), MostraNascosto, QStringLiteral("N"));
    const BloccoComposto b = ComponiBlocco(tab.righe(), QStringLiteral("CLIENTI"), nullptr);
    EXPECT_EQ(b.righe, GetParam().righe);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Procedurali,
    ::testing::Values(
        CasoProcedurale{"sommaProgressivaOrdinata", "(CALC (SOMMAPROG(FIDO,CITTA,CODICE)) AS PROG)",
                        {"SELECT", "XX.CITTA,", " (SUM(FIDO) OVER (ORDER BY CITTA, CODICE, XX.RDB$DB_KEY)) AS PROG",
                         "FROM ", "\"CLIENTI\" XX ", "WHERE ",
                         "((UPPER (CAST(XX.ZONA AS CHARACTER(256)) ) LIKE UPPER('%N%')))", "ORDER BY", "CITTA,",
                         "CODICE"}},
        CasoProcedurale{"sommaProgressivaSenzaOrdine", "(CALC (sommaprog(FIDO)) AS PROG)",
                        {"SELECT", "XX.CITTA,", " (SUM(FIDO) OVER (ORDER BY XX.RDB$DB_KEY)) AS PROG", "FROM ",
                         "\"CLIENTI\" XX ", "WHERE ",
                         "((UPPER (CAST(XX.ZONA AS CHARACTER(256)) ) LIKE UPPER('%N%')))"}},
        CasoProcedurale{"parteIntera", "(CALC (INTEROQMT(FIDO)) AS INTERO)",
                        {"SELECT", "XX.CITTA,", " (TRUNC(FIDO)) AS INTERO", "FROM ", "\"CLIENTI\" XX ", "WHERE ",
                         "((UPPER (CAST(XX.ZONA AS CHARACTER(256)) ) LIKE UPPER('%N%')))"}},
        // The total over the same selection, in every row, without grouping.
        CasoProcedurale{"sommaSenzaRaggruppamento", "(CALC (SUMNOGROUP(FIDO*2)) AS TOTALE)",
                        {"SELECT", "XX.CITTA,",
                         " ((SELECT SUM(FIDO*2) FROM \"CLIENTI\" XX  WHERE  ((UPPER (CAST(XX.ZONA AS CHARACTER(256)) ) "
                         "LIKE UPPER('%N%'))))) AS TOTALE",
                         "FROM ", "\"CLIENTI\" XX ", "WHERE ",
                         "((UPPER (CAST(XX.ZONA AS CHARACTER(256)) ) LIKE UPPER('%N%')))"}},
        // The name alone, without a call: the column is left out.
        CasoProcedurale{"nomeSenzaChiamata", "(CALC SOMMAPROG)",
                        {"SELECT", "XX.CITTA", "FROM ", "\"CLIENTI\" XX ", "WHERE ",
                         "((UPPER (CAST(XX.ZONA AS CHARACTER(256)) ) LIKE UPPER('%N%')))"}}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Procedurali, aSumNoGroupBesideAnAggregateStillGroups)
{
    TabIntTmp tab;
    tab.append(QStringLiteral("CITTA"), MostraVisibile);
    tab.append(QStringLiteral("FIDO"), MostraNascosto, QStringLiteral("(CALC (SUMNOGROUP(FIDO)) AS TUTTI)"));
    tab.append(QStringLiteral("CODICE"), MostraNascosto, QStringLiteral("(CALC (COUNT(CODICE)) AS N)"));
    EXPECT_TRUE(ComponiBlocco(tab.righe(), QStringLiteral("CLIENTI"), nullptr).groupBy);
    tab.setCondizione(2, QString());
    EXPECT_FALSE(ComponiBlocco(tab.righe(), QStringLiteral("CLIENTI"), nullptr).groupBy);
}

} // namespace
