// The visible-fields rebuild: which columns are in use, present or absent,
// and the interrogation rebuilt table by table.

#include "platform/QtPrinters.h"
#include "qbe/CampiVisibili.h"
#include "Righe.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;
using vardof::test::R;
using vardof::test::righe;
using vardof::test::tabella;

namespace {

QStringList colonne(const QString &t)
{
    if (t == QLatin1String("CLIENTI"))
        return {QStringLiteral("CODICE"), QStringLiteral("NOME"), QStringLiteral("CITTA"), QStringLiteral("ZONA")};
    if (t == QLatin1String("ZONE"))
        return {QStringLiteral("CODICE"), QStringLiteral("DESCR")};
    return {};
}

// After a removal the numbers have a gap (ZONE's rows were 4..6 of 7).
const TabIntTmp kTab = [] {
    TabIntTmp t;
    t.setRighe({RigaInt{1, "CODICE", 1, ""}, RigaInt{2, "NOME", 0, "= 'X'"}, RigaInt{3, "ZONA", 0, ""},
                RigaInt{8, "ZONE = A", 9, ""}, RigaInt{9, "A.CODICE", 8, "ZONA"}, RigaInt{10, "A.DESCR", 0, ""}});
    return t;
}();

TEST(CampiVisibili, tabelleDellaQuery)
{
    EXPECT_EQ(RiempiTabCVTmp1(kTab, QStringLiteral("CLIENTI")),
              (std::vector<TabellaCV>{{"CLIENTI", "", 0}, {"ZONE", "A", 0}}));
}

TEST(CampiVisibili, statoDeiCampi)
{
    auto tabelle = RiempiTabCVTmp1(kTab, QStringLiteral("CLIENTI"));
    tabelle[0].Selezione = 1;
    tabelle[1].Selezione = 1;
    // A column carrying only a condition is in use; a hidden plain one is present.
    EXPECT_EQ(RiempiTabCVTmp2(tabelle, kTab, colonne),
              (std::vector<CampoCV>{{"CLIENTI", 9}, {"CODICE", 2}, {"NOME", 2}, {"CITTA", 0}, {"ZONA", 1},
                                    {"ZONE = A", 9}, {"A.CODICE", 0}, {"A.DESCR", 1}}));
}

TEST(CampiVisibili, commutazioni)
{
    std::vector<CampoCV> c{{"T", 9}, {"A", 2}, {"B", 1}, {"C", 0}};
    for (CampoCV &x : c)
        SelezionaRiga2(x);
    EXPECT_EQ(c, (std::vector<CampoCV>{{"T", 9}, {"A", 2}, {"B", 0}, {"C", 1}}));
    rendiTuttoVisibile(c);
    EXPECT_EQ(c, (std::vector<CampoCV>{{"T", 9}, {"A", 2}, {"B", 1}, {"C", 1}}));
    rendiTuttoInvisibile(c);
    EXPECT_EQ(c, (std::vector<CampoCV>{{"T", 9}, {"A", 2}, {"B", 0}, {"C", 0}}));
}

struct CasoRicostruzione
{
    const char *nome;
    int sceltaSorgente, sceltaZone;
    bool tuttoVisibile;
    std::vector<RigaInt> attese;
};
void PrintTo(const CasoRicostruzione &c, std::ostream *os) { *os << c.nome; }

class Ricostruzione : public ::testing::TestWithParam<CasoRicostruzione> {};
TEST_P(Ricostruzione, rebuildsAndRenumbers)
{
    auto tabelle = RiempiTabCVTmp1(kTab, QStringLiteral("CLIENTI"));
    tabelle[0].Selezione = GetParam().sceltaSorgente;
    tabelle[1].Selezione = GetParam().sceltaZone;
    auto campi = RiempiTabCVTmp2(tabelle, kTab, colonne);
    if (GetParam().tuttoVisibile)
        rendiTuttoVisibile(campi);
    else
        rendiTuttoInvisibile(campi);
    EXPECT_EQ(RiempiTabIntTmp2(kTab, tabelle, campi), GetParam().attese);
}
INSTANTIATE_TEST_SUITE_P(
    Casi, Ricostruzione,
    ::testing::Values(
        CasoRicostruzione{"nessunaScelta", 0, 0, true,
                          righe({{"CODICE", 1}, {"NOME", 0, "= 'X'"}, {"ZONA", 0}, {"ZONE = A", 9},
                                 {"A.CODICE", 8, "ZONA"}, {"A.DESCR", 0}})},
        CasoRicostruzione{"sorgenteTuttoVisibile", 1, 0, true,
                          righe({{"CODICE", 1}, {"NOME", 0, "= 'X'"}, {"CITTA", 0}, {"ZONA", 0}, {"ZONE = A", 9},
                                 {"A.CODICE", 8, "ZONA"}, {"A.DESCR", 0}})},
        // In-use columns stay; the hidden plain column goes.
        CasoRicostruzione{"sorgenteTuttoInvisibile", 1, 0, false,
                          righe({{"CODICE", 1}, {"NOME", 0, "= 'X'"}, {"ZONE = A", 9}, {"A.CODICE", 8, "ZONA"},
                                 {"A.DESCR", 0}})},
        CasoRicostruzione{"zoneTuttoVisibile", 0, 1, true,
                          righe({{"CODICE", 1}, {"NOME", 0, "= 'X'"}, {"ZONA", 0}, {"ZONE = A", 9},
                                 {"A.CODICE", 8, "ZONA"}, {"A.CODICE", 0}, {"A.DESCR", 0}})},
        CasoRicostruzione{"zoneTuttoInvisibile", 1, 1, false,
                          righe({{"CODICE", 1}, {"NOME", 0, "= 'X'"}, {"ZONE = A", 9}, {"A.CODICE", 8, "ZONA"}})}),
    [](const auto &info) { return std::string(info.param.nome); });

} // namespace
