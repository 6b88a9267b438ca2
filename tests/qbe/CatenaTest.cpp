// The rules of a chain on the rows alone: markers, the rows of a new
// following query, and whether a changed answer suits the query after it.

#include "platform/QtPrinters.h"
#include "qbe/Catena.h"
#include "Righe.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;
using vardof::test::R;
using vardof::test::righe;
using vardof::test::tabella;

namespace {

QStringList colonne(std::initializer_list<const char *> cc)
{
    QStringList out;
    for (const char *c : cc)
        out << QString::fromUtf8(c);
    return out;
}

struct CasoNumero
{
    double numero;
    const char *testo;
};

class NumeroCatena : public ::testing::TestWithParam<CasoNumero> {};
TEST_P(NumeroCatena, isWrittenAsPlainDigitsAndReadBack)
{
    const QString testo = testoNumeroCatena(GetParam().numero);
    EXPECT_EQ(testo, QString::fromUtf8(GetParam().testo));
    ASSERT_TRUE(leggiNumeroCatena(testo).has_value());
    EXPECT_EQ(*leggiNumeroCatena(testo), GetParam().numero);
}
INSTANTIATE_TEST_SUITE_P(Casi, NumeroCatena,
                         ::testing::Values(CasoNumero{1, "1"}, CasoNumero{999, "999"}, CasoNumero{1000, "1000"},
                                           CasoNumero{1234567, "1234567"},
                                           CasoNumero{1000000000, "1000000000"}));

struct CasoLettura
{
    const char *testo;
    bool valido;
    double numero;
};

class LetturaNumero : public ::testing::TestWithParam<CasoLettura> {};
TEST_P(LetturaNumero, readsOnlyWholeNumbers)
{
    const auto n = leggiNumeroCatena(QString::fromUtf8(GetParam().testo));
    ASSERT_EQ(n.has_value(), GetParam().valido);
    if (n) {
        EXPECT_EQ(*n, GetParam().numero);
    }
}
INSTANTIATE_TEST_SUITE_P(Casi, LetturaNumero,
                         ::testing::Values(CasoLettura{"12", true, 12}, CasoLettura{" 12 ", true, 12},
                                           CasoLettura{"2000", true, 2000}, CasoLettura{"", false, 0},
                                           CasoLettura{"abc", false, 0}, CasoLettura{"1e3", false, 0},
                                           CasoLettura{"1.5", false, 0}));

struct CasoMarcatori
{
    const char *nome;
    std::vector<RigaInt> righe;
    std::optional<double> successiva;
    std::optional<double> precedente;
    bool ultimaMarcatore;
};

void PrintTo(const CasoMarcatori &c, std::ostream *os)
{
    *os << c.nome;
}

class Marcatori : public ::testing::TestWithParam<CasoMarcatori> {};
TEST_P(Marcatori, areFoundWhereTheyStand)
{
    TabIntTmp t;
    t.setRighe(GetParam().righe);
    EXPECT_EQ(numeroSuccessiva(t), GetParam().successiva);
    EXPECT_EQ(numeroPrecedente(t), GetParam().precedente);
    EXPECT_EQ(ultimaRigaMarcatore(t), GetParam().ultimaMarcatore);
}
INSTANTIATE_TEST_SUITE_P(
    Casi, Marcatori,
    ::testing::Values(
        CasoMarcatori{"senza", righe({{"CODICE", 1}, {"NOME", 0}}), std::nullopt, std::nullopt, false},
        CasoMarcatori{"vuota", {}, std::nullopt, std::nullopt, false},
        CasoMarcatori{"soloSuccessiva", righe({{"CODICE", 1}, {"QUERY SUCCESSIVA", 4, "7"}}), 7.0,
                      std::nullopt, true},
        CasoMarcatori{"soloPrecedente", righe({{"QUERY PRECEDENTE", 4, "12"}, {"CODICE", 1}}), std::nullopt,
                      12.0, false},
        CasoMarcatori{"inMezzo", righe({{"QUERY PRECEDENTE", 4, "3"}, {"CODICE", 1}, {"QUERY SUCCESSIVA", 4, "1000"}}),
                      1000.0, 3.0, true},
        // A marker followed by the lock row is still found from the end.
        CasoMarcatori{"seguitaDalBlocco",
                      righe({{"CODICE", 1}, {"QUERY SUCCESSIVA", 4, "5"}, {"QUERY BLOCCATA", 7}}), 5.0,
                      std::nullopt, false},
        CasoMarcatori{"numeroIllegibile", righe({{"CODICE", 1}, {"QUERY SUCCESSIVA", 4, "x"}}), std::nullopt,
                      std::nullopt, true}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Catena, marcatoreAggiuntoETolto)
{
    TabIntTmp t = tabella({{"CODICE", 1}, {"NOME", 0}});
    aggiungiMarcatoreSuccessiva(t, 1234);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t.at(2), (RigaInt{3, kQuerySuccessiva, MostraCatena, QStringLiteral("1234")}));
    EXPECT_TRUE(togliUltimoMarcatore(t));
    EXPECT_EQ(t.size(), 2);
    EXPECT_FALSE(togliUltimoMarcatore(t));
    EXPECT_EQ(t.size(), 2);
}

TEST(Catena, righeDellaNuovaSuccessiva)
{
    EXPECT_EQ(righeNuovaSuccessiva(42, colonne({"CITTA", "TOTALE"})),
              righe({{"QUERY PRECEDENTE", 4, "42"}, {"CITTA", 1}, {"TOTALE", 1}}));
    EXPECT_EQ(righeNuovaSuccessiva(5, {}), righe({{"QUERY PRECEDENTE", 4, "5"}}));
}

struct CasoConfronto
{
    const char *nome;
    std::vector<RigaInt> successiva;
    QStringList colonne;
    QStringList perse;
    bool grave;
    QStringList nuove;
};

void PrintTo(const CasoConfronto &c, std::ostream *os)
{
    *os << c.nome;
}

class Confronto : public ::testing::TestWithParam<CasoConfronto> {};
TEST_P(Confronto, weighsLostAndNewColumns)
{
    const ConfrontoSuccessiva e = confrontaSuccessiva(GetParam().successiva, GetParam().colonne);
    EXPECT_EQ(e.perse, GetParam().perse);
    EXPECT_EQ(e.perditaGrave, GetParam().grave);
    EXPECT_EQ(e.nuove, GetParam().nuove);
    EXPECT_EQ(e.adatta(), GetParam().perse.isEmpty() && GetParam().nuove.isEmpty());
}
const auto kSucc = righe({{"QUERY PRECEDENTE", 4, "1"}, {"CITTA", 1}, {"NOME", 0}, {"TOTALE", 0, "(TOTALE > 10)"}});
INSTANTIATE_TEST_SUITE_P(
    Casi, Confronto,
    ::testing::Values(
        CasoConfronto{"uguale", kSucc, colonne({"CITTA", "NOME", "TOTALE"}), {}, false, {}},
        CasoConfronto{"ordineDiverso", kSucc, colonne({"TOTALE", "CITTA", "NOME"}), {}, false, {}},
        CasoConfronto{"persaNascosta", kSucc, colonne({"CITTA", "TOTALE"}), colonne({"NOME"}), false, {}},
        CasoConfronto{"persaMostrata", kSucc, colonne({"NOME", "TOTALE"}), colonne({"CITTA"}), true, {}},
        CasoConfronto{"persaInCondizioneGrezza",
                      righe({{"CITTA", 1}, {"NOME", 0}, {"TOTALE", 0, "(NOME <> '')"}}),
                      colonne({"CITTA", "TOTALE"}), colonne({"NOME"}), true, {}},
        CasoConfronto{"condizioneNonGrezza", righe({{"CITTA", 1}, {"NOME", 0, "= 'NOME'"}}), colonne({"CITTA"}),
                      colonne({"NOME"}), false, {}},
        CasoConfronto{"nuova", kSucc, colonne({"CITTA", "NOME", "TOTALE", "ZONA"}), {}, false, colonne({"ZONA"})},
        CasoConfronto{"persaENuova", kSucc, colonne({"CITTA", "TOTALE", "ZONA"}), colonne({"NOME"}), false,
                      colonne({"ZONA"})},
        // A shown column lost after a hidden one is a serious loss too.
        CasoConfronto{"secondaPersaMostrata", righe({{"NOME", 0}, {"CITTA", 1}}), colonne({"X"}),
                      colonne({"NOME", "CITTA"}), true, colonne({"X"})},
        // Columns of added tables are not the answer's.
        CasoConfronto{"tabellaAggiunta",
                      righe({{"CITTA", 1}, {"ZONE = A", 9}, {"A.CODICE", 8, "CITTA"}, {"A.DESCR", 1}}),
                      colonne({"CITTA"}), {}, false, {}}),
    [](const auto &info) { return std::string(info.param.nome); });

struct CasoAdatta
{
    const char *nome;
    std::vector<RigaInt> successiva;
    QStringList colonne;
    std::vector<RigaInt> attese;
};

void PrintTo(const CasoAdatta &c, std::ostream *os)
{
    *os << c.nome;
}

class Adatta : public ::testing::TestWithParam<CasoAdatta> {};
TEST_P(Adatta, rewritesTheColumnsAndKeepsTheRest)
{
    EXPECT_EQ(adattaSuccessiva(GetParam().successiva, GetParam().colonne), GetParam().attese);
}
INSTANTIATE_TEST_SUITE_P(
    Casi, Adatta,
    ::testing::Values(
        CasoAdatta{"nuovaEPersa", kSucc, colonne({"CITTA", "TOTALE", "ZONA"}),
                   righe({{"QUERY PRECEDENTE", 4, "1"}, {"CITTA", 1}, {"TOTALE", 0, "(TOTALE > 10)"}, {"ZONA", 0}})},
        CasoAdatta{"marcatoriInFondo",
                   righe({{"QUERY PRECEDENTE", 4, "1"}, {"CITTA", 1}, {"QUERY SUCCESSIVA", 4, "9"}}),
                   colonne({"CITTA", "N"}),
                   righe({{"QUERY PRECEDENTE", 4, "1"}, {"CITTA", 1}, {"N", 0}, {"QUERY SUCCESSIVA", 4, "9"}})},
        CasoAdatta{"tabelleAggiunte",
                   righe({{"QUERY PRECEDENTE", 4, "1"}, {"CITTA", 1}, {"ZONE = A", 9}, {"A.CODICE", 8, "CITTA"},
                          {"A.DESCR", 1}, {"QUERY SUCCESSIVA", 4, "9"}}),
                   colonne({"CITTA"}),
                   righe({{"QUERY PRECEDENTE", 4, "1"}, {"CITTA", 1}, {"ZONE = A", 9}, {"A.CODICE", 8, "CITTA"},
                          {"A.DESCR", 1}, {"QUERY SUCCESSIVA", 4, "9"}})},
        CasoAdatta{"senzaMarcatore", righe({{"A", 1}, {"B", 0}}), colonne({"B", "C"}), righe({{"B", 0}, {"C", 0}})}),
    [](const auto &info) { return std::string(info.param.nome); });

} // namespace
