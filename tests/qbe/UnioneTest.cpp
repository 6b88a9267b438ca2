// Union blocks added to and taken from a locked interrogation.

#include "platform/QtPrinters.h"
#include "qbe/Unione.h"
#include "Righe.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;
using vardof::test::R;
using vardof::test::righe;
using vardof::test::tabella;

namespace {

const auto kBloccata = righe({{"CODICE", 1}, {"NOME", 0, "= 'ROSSI'"}, {"CITTA", 1}, {"QUERY BLOCCATA", 7}});

const auto kUnaUnione = righe({{"CODICE", 6}, {"NOME", 0, "= 'ROSSI'"}, {"CITTA", 6}, {"QUERY BLOCCATA", 7},
                               {"CLIENTI", 9, "UNION"}, {"CODICE", 1}, {"NOME", 0, "= 'ROSSI'"}, {"CITTA", 1},
                               {"QUERY BLOCCATA", 7, "UNION"}});

TEST(Unione, aggiuntaCopiaIlPrimoBlocco)
{
    TabIntTmp t;
    t.setRighe(kBloccata);
    SessioneQuery s;
    ASSERT_TRUE(AggiungiUnioneQuery(t, QStringLiteral("CLIENTI"), s));
    EXPECT_EQ(t.righe(), kUnaUnione);
    EXPECT_TRUE(s.unione());
}

TEST(Unione, secondaAggiuntaCopiaAncoraSoloIlPrimoBlocco)
{
    TabIntTmp t;
    t.setRighe(kUnaUnione);
    SessioneQuery s;
    ASSERT_TRUE(AggiungiUnioneQuery(t, QStringLiteral("CLIENTI"), s));
    ASSERT_EQ(t.size(), 14);
    EXPECT_EQ(t.at(9), (RigaInt{10, QStringLiteral("CLIENTI"), 9, QStringLiteral("UNION")}));
    EXPECT_EQ(t.at(10).Nome, QStringLiteral("CODICE"));
    EXPECT_EQ(t.at(13), (RigaInt{14, QStringLiteral("QUERY BLOCCATA"), 7, QStringLiteral("UNION")}));
}

struct CasoRifiuto
{
    const char *nome;
    std::vector<RigaInt> righe;
};
void PrintTo(const CasoRifiuto &c, std::ostream *os) { *os << c.nome; }

class RifiutoUnione : public ::testing::TestWithParam<CasoRifiuto> {};
TEST_P(RifiutoUnione, leavesEverythingAsItWas)
{
    TabIntTmp t;
    t.setRighe(GetParam().righe);
    SessioneQuery s;
    EXPECT_FALSE(AggiungiUnioneQuery(t, QStringLiteral("CLIENTI"), s));
    EXPECT_EQ(t.righe(), GetParam().righe);
    EXPECT_FALSE(s.unione());
}
INSTANTIATE_TEST_SUITE_P(Casi, RifiutoUnione,
                         ::testing::Values(CasoRifiuto{"nessunaMostrata", righe({{"CODICE", 0}, {"QUERY BLOCCATA", 7}})},
                                           CasoRifiuto{"vuota", {}},
                                           CasoRifiuto{"soloGrigie", righe({{"CODICE", 5}, {"QUERY BLOCCATA", 7}})}),
                         [](const auto &info) { return std::string(info.param.nome); });

struct CasoTogli
{
    const char *nome;
    std::vector<RigaInt> prima;
    std::vector<RigaInt> dopo; // Numero kept: compared by Nome, Mostra, Condizione
    bool unioneResta;
};
void PrintTo(const CasoTogli &c, std::ostream *os) { *os << c.nome; }

std::vector<RigaInt> senzaNumero(std::vector<RigaInt> r)
{
    for (RigaInt &x : r)
        x.Numero = 0;
    return r;
}

class TogliUnione : public ::testing::TestWithParam<CasoTogli> {};
TEST_P(TogliUnione, removesTheLastBlock)
{
    TabIntTmp t;
    t.setRighe(GetParam().prima);
    SessioneQuery s;
    s.setUnione(true);
    EliminaUltimaQueryAffiancata(t, s);
    EXPECT_EQ(senzaNumero(t.righe()), senzaNumero(GetParam().dopo));
    EXPECT_EQ(s.unione(), GetParam().unioneResta);
}
const auto kDueUnioni = [] {
    auto r = kUnaUnione;
    for (const RigaInt &x : righe({{"CLIENTI", 9, "UNION"}, {"CODICE", 6}, {"NOME", 0, "= 'ROSSI'"}, {"CITTA", 6},
                                   {"QUERY BLOCCATA", 7, "UNION"}}))
        r.push_back(RigaInt{int(r.size()) + 1, x.Nome, x.Mostra, x.Condizione});
    return r;
}();
INSTANTIATE_TEST_SUITE_P(
    Casi, TogliUnione,
    ::testing::Values(
        CasoTogli{"unaSola", kUnaUnione,
                  righe({{"CODICE", 1}, {"NOME", 0, "= 'ROSSI'"}, {"CITTA", 1}, {"QUERY BLOCCATA", 7}}), false},
        CasoTogli{"dueRestaUna", kDueUnioni, kUnaUnione, true},
        CasoTogli{"marcatoreSuccessivaTenuto",
                  righe({{"CODICE", 6}, {"QUERY BLOCCATA", 7}, {"QUERY SUCCESSIVA", 4, "3"}, {"CLIENTI", 9, "UNION"},
                         {"CODICE", 1}, {"QUERY BLOCCATA", 7, "UNION"}}),
                  righe({{"CODICE", 1}, {"QUERY BLOCCATA", 7}, {"QUERY SUCCESSIVA", 4, "3"}}), false},
        // Blocks stored with the older markers still count as added blocks.
        CasoTogli{"marcatoreAppendi",
                  righe({{"CODICE", 6}, {"QUERY BLOCCATA", 7}, {"CLIENTI", 9, "UNION"}, {"CODICE", 1},
                         {"QUERY BLOCCATA", 7, "APPENDI"}, {"CLIENTI", 9, "UNION"}, {"CODICE", 1},
                         {"QUERY BLOCCATA", 7, "UNION"}}),
                  righe({{"CODICE", 6}, {"QUERY BLOCCATA", 7}, {"CLIENTI", 9, "UNION"}, {"CODICE", 1},
                         {"QUERY BLOCCATA", 7, "APPENDI"}}),
                  true}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(Unione, aggiuntaETogliTornanoAllInizio)
{
    TabIntTmp t;
    t.setRighe(kBloccata);
    SessioneQuery s;
    ASSERT_TRUE(AggiungiUnioneQuery(t, QStringLiteral("CLIENTI"), s));
    ASSERT_TRUE(AggiungiUnioneQuery(t, QStringLiteral("CLIENTI"), s));
    EliminaUltimaQueryAffiancata(t, s);
    EXPECT_TRUE(s.unione());
    EliminaUltimaQueryAffiancata(t, s);
    EXPECT_FALSE(s.unione());
    EXPECT_EQ(t.righe(), kBloccata);
}

} // namespace
