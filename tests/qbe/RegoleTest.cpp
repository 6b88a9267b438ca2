// The small text rules of the composition, one table each.

#include "platform/QtPrinters.h"
#include "qbe/Composizione.h"
#include "qbe/Interrogazione.h"
#include "qbe/TIBFQuerForm.h"

#include <gtest/gtest.h>

using namespace vardof::qbe;

namespace {

struct Coppia
{
    const char *dato;
    const char *atteso;
};

void PrintTo(const Coppia &c, std::ostream *os)
{
    *os << '"' << c.dato << '"';
}

QString q(const char *s)
{
    return QString::fromUtf8(s);
}

class ConvertiDate : public ::testing::TestWithParam<Coppia> {};
TEST_P(ConvertiDate, turnsDayFirstDatesAround)
{
    EXPECT_EQ(ConvertiDateCondizione(q(GetParam().dato)), q(GetParam().atteso));
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, ConvertiDate, ::testing::Values(
    Coppia{"(XX.DATA>='31/12/2020')", "(XX.DATA>='12/31/2020')"},
    Coppia{"(XX.DATA>='1/2/2020')", "(XX.DATA>='2/1/2020')"},
    Coppia{"(XX.DATA>='1/12/2020')", "(XX.DATA>='12/1/2020')"},
    Coppia{"(XX.DATA>='31/1/2020')", "(XX.DATA>='1/31/2020')"},
    Coppia{"(XX.DATA>='31/12/20')", "(XX.DATA>='12/31/20')"},
    Coppia{"(XX.DATA>='1/12/20')", "(XX.DATA>='12/1/20')"},
    Coppia{"(XX.DATA>='31/1/20') AND (XX.N>0)", "(XX.DATA>='1/31/20') AND (XX.N>0)"},
    // Wherever a date stands it means the same day: right before the
    // closing quote and parenthesis, at the very start or end, short or long.
    Coppia{"(DATA>'1/2/93')", "(DATA>'2/1/93')"},
    Coppia{"(XX.DATA='1/2/20')", "(XX.DATA='2/1/20')"},
    Coppia{"(XX.DATA>='31/1/20')", "(XX.DATA>='1/31/20')"},
    Coppia{"(XX.DATA='01/02/20')", "(XX.DATA='02/01/20')"},
    Coppia{"(XX.D BETWEEN '1/2/2020' AND '3/4/2021')", "(XX.D BETWEEN '2/1/2020' AND '4/3/2021')"},
    Coppia{"(XX.D BETWEEN '1/1/24' AND '29/2/24')", "(XX.D BETWEEN '1/1/24' AND '2/29/24')"},
    Coppia{"'1/2/2020'", "'2/1/2020'"},
    Coppia{"'1/2/20'", "'2/1/20'"},
    Coppia{"('1/2/2020')", "('2/1/2020')"},
    Coppia{"(XX.D IN ('1/2/20','3/4/20'))", "(XX.D IN ('2/1/20','4/3/20'))"},
    // The closing quote of a date turned around opens no other one.
    Coppia{"'1/2/20'x/3/45'", "'2/1/20'x/3/45'"},
    // Not dates in quotes: left alone.
    Coppia{"(XX.A = 10/2/2020)", "(XX.A = 10/2/2020)"},
    Coppia{"(XX.A = '123/4/2020')", "(XX.A = '123/4/2020')"},
    Coppia{"(XX.A = '1/2')", "(XX.A = '1/2')"},
    Coppia{"(XX.A = '1/234/2020')", "(XX.A = '1/234/2020')"},
    Coppia{"(XX.A = '1/2/20202')", "(XX.A = '1/2/20202')"},
    Coppia{"", ""},
    Coppia{"/", "/"},
    Coppia{"'/'", "'/'"}));
// clang-format on

class Calc : public ::testing::TestWithParam<Coppia> {};
TEST_P(Calc, takesTheTextUpToItsClosingParenthesis)
{
    EXPECT_EQ(EstraiCalc(q(GetParam().dato)), q(GetParam().atteso));
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Calc, ::testing::Values(
    Coppia{"(CALC (PREZZO*QTA) AS TOTALE)", " (PREZZO*QTA) AS TOTALE"},
    Coppia{"(Calc (Sum(IMPORTO)) as Tot)", " (Sum(IMPORTO)) as Tot"},
    Coppia{"calc PREZZO*2", " PREZZO*2"},
    Coppia{"calcio", "io"},
    Coppia{"(CALC (A) AS X) AND (B)", " (A) AS X"},
    Coppia{"(CALC A) CALC B)", " A"},
    Coppia{"PREZZO", ""},
    Coppia{"", ""}));
// clang-format on

TEST(Calc, readsAtMost255CharactersAfterTheKeyword)
{
    const QString lungo(400, QLatin1Char('A'));
    EXPECT_EQ(EstraiCalc(QStringLiteral("CALC") + lungo).size(), 255);
}

TEST(Extract, isTheWholeConditionInUpperCase)
{
    EXPECT_EQ(EstraiExtract(QStringLiteral("extract(month from XX.D) as mese")),
              QStringLiteral("EXTRACT(MONTH FROM XX.D) AS MESE"));
    EXPECT_EQ(EstraiExtract(QStringLiteral("ROSSI")), QString());
}

TEST(GroupBy, isAskedByAnyAggregateWord)
{
    for (const char *t : {" (SUM(A))", "count(*)", " (Min(X))", "MAX(Y)", "avg(z)", "SUMMARY"})
        EXPECT_TRUE(TestGroupBy(q(t))) << t;
    for (const char *t : {" (A*2) AS B", "EXTRACT(YEAR FROM D)", ""})
        EXPECT_FALSE(TestGroupBy(q(t))) << t;
}

class Identificatore : public ::testing::TestWithParam<Coppia> {};
TEST_P(Identificatore, nextAliasLetter)
{
    EXPECT_EQ(IncrementaIdentificatore(q(GetParam().dato)), q(GetParam().atteso));
}
INSTANTIATE_TEST_SUITE_P(Casi, Identificatore,
                         ::testing::Values(Coppia{"", "A."}, Coppia{"A.", "B."}, Coppia{"A.DESCR", "B."},
                                           Coppia{"C.", "D."}, Coppia{"CODICE", "A."}, Coppia{"X", "A."}));

struct Qualifica
{
    const char *condizione;
    const char *nome;
    const char *atteso;
};

class Qualificazione : public ::testing::TestWithParam<Qualifica> {};
TEST_P(Qualificazione, qualifiesOnlyTheColumnItself)
{
    const Qualifica &c = GetParam();
    EXPECT_EQ(qualificaCondizione(q(c.condizione), q(c.nome)), q(c.atteso));
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Qualificazione, ::testing::Values(
    Qualifica{"(IMPORTO > 10)", "IMPORTO", "(XX.IMPORTO > 10)"},
    Qualifica{"(IMPORTO > 10.5)", "IMPORTO", "(IMPORTO > 10.5)"},
    Qualifica{"(IMPORTO > 10 AND IMPORTO < 20)", "IMPORTO", "(XX.IMPORTO > 10 AND XX.IMPORTO < 20)"},
    Qualifica{"(NOTE LIKE '%NOTE%')", "NOTE", "(XX.NOTE LIKE '%NOTE%')"},
    Qualifica{"(CAPITALE > CAP)", "CAP", "(CAPITALE > XX.CAP)"},
    Qualifica{"(\"CAP\" = 1)", "CAP", "(\"CAP\" = 1)"},
    Qualifica{"(cap = 1)", "CAP", "(cap = 1)"},
    Qualifica{"(CAP_2 = CAP)", "CAP", "(CAP_2 = XX.CAP)"},
    Qualifica{"CAP", "CAP", "XX.CAP"}));
// clang-format on

TEST(SenzaOrderBy, dropsTheOrderAndWhatFollows)
{
    const QStringList testo{QStringLiteral("SELECT"), QStringLiteral("XX.A"), QStringLiteral("FROM "),
                            QStringLiteral("\"T\" XX "), QStringLiteral("order by"), QStringLiteral("XX.A DESC")};
    EXPECT_EQ(senzaOrderBy(testo), testo.mid(0, 4));
    // The first line is never taken for an ORDER BY.
    const QStringList prima{QStringLiteral("ORDER BY"), QStringLiteral("X")};
    EXPECT_EQ(senzaOrderBy(prima), prima);
}

TEST(NomeTabellaRisposta, userAndLevelInFourDigits)
{
    EXPECT_EQ(TIBFQuerForm::NomeTabellaRisposta(5, 0), QStringLiteral("TMP_RSUCC0005_0000"));
    EXPECT_EQ(TIBFQuerForm::NomeTabellaRisposta(12345, 31), QStringLiteral("TMP_RSUCC12345_0031"));
}

TEST(TabIntTmp, selectionButtonsAndToggleKeepMarkersAndOldShownRows)
{
    TabIntTmp t;
    t.append(QStringLiteral("A"), MostraNascosto);
    t.append(QStringLiteral("B"), MostraVisibile);
    t.append(QStringLiteral("C"), MostraVisibileGrigio);
    t.append(QStringLiteral("D"), MostraVisibileUnione);
    t.append(QStringLiteral("ZONE = A"), MostraTestataLeft);
    t.setCurrentRow(3);

    t.selezionaTutto();
    EXPECT_EQ(t.at(0).Mostra, MostraVisibile);
    t.deselezionaTutto();
    EXPECT_EQ(t.at(0).Mostra, MostraNascosto);
    EXPECT_EQ(t.at(1).Mostra, MostraNascosto);
    EXPECT_EQ(t.at(2).Mostra, MostraVisibileGrigio);
    EXPECT_EQ(t.at(3).Mostra, MostraVisibileUnione);
    EXPECT_EQ(t.currentRow(), 0);

    EXPECT_TRUE(t.toggle(0));
    EXPECT_EQ(t.at(0).Mostra, MostraVisibile);
    EXPECT_FALSE(t.toggle(3));
    EXPECT_FALSE(t.toggle(4));
    EXPECT_EQ(t.at(4).Mostra, MostraTestataLeft);
    EXPECT_EQ(t.at(4).Numero, 5);
}

} // namespace
