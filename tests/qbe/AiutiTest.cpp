// What the condition helpers write into a row, with their refusals: the
// parentheses and the column name, ranges of dates, numbers and texts,
// formulas and CAST, year and month extraction, the condition editor, one
// value; and the keys each row takes.

#include "qbe/Aiuti.h"

#include <gtest/gtest.h>

#include <optional>

using namespace vardof::qbe;

namespace {

// ---- keys a row takes ----------------------------------------------------------

struct CasoTasto
{
    int key;
    int mostra;
    bool bloccata;
    bool ammesso;
};

class Tasti : public ::testing::TestWithParam<CasoTasto>
{
};

TEST_P(Tasti, followTheRowKindAndTheLock)
{
    const CasoTasto &c = GetParam();
    EXPECT_EQ(tastoAmmesso(c.key, c.mostra, c.bloccata), c.ammesso);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Tasti,
    ::testing::Values(CasoTasto{Qt::Key_F4, 1, false, true}, CasoTasto{Qt::Key_F4, 5, true, true},
                      CasoTasto{Qt::Key_F6, 6, true, true}, CasoTasto{Qt::Key_F10, 0, true, true},
                      CasoTasto{Qt::Key_F4, 9, false, false}, CasoTasto{Qt::Key_F5, 8, false, false},
                      CasoTasto{Qt::Key_F10, 4, false, false}, CasoTasto{Qt::Key_F7, 7, false, false},
                      CasoTasto{Qt::Key_F7, 1, true, false}, CasoTasto{Qt::Key_F8, 0, true, false},
                      CasoTasto{Qt::Key_F9, 9, false, true}, CasoTasto{Qt::Key_F9, 1, true, false},
                      CasoTasto{Qt::Key_F3, 1, true, false}, CasoTasto{Qt::Key_F11, 1, false, false}));

// ---- F4 and F5 ------------------------------------------------------------------

TEST(Parentesi, opensClosesAndWraps)
{
    EsitoParentesi e = MettiParentesi(QString());
    EXPECT_EQ(e.condizione, QStringLiteral("("));
    EXPECT_TRUE(e.apriEditor);
    e = MettiParentesi(e.condizione);
    EXPECT_EQ(e.condizione, QStringLiteral("()"));
    EXPECT_FALSE(e.apriEditor);
    e = MettiParentesi(QStringLiteral("ROSSI"));
    EXPECT_EQ(e.condizione, QStringLiteral("(ROSSI"));
    EXPECT_TRUE(e.apriEditor);
    EXPECT_EQ(InserisciNomeCampo(QStringLiteral("(UPPER("), QStringLiteral("CITTA")), QStringLiteral("(UPPER(CITTA"));
}

// ---- F6, range -------------------------------------------------------------------

struct CasoRange
{
    const char *nome;
    const char *da;
    const char *a;
    TipoCampo tipo;
    std::optional<QString> condizione; // nothing: refused
};

class Range : public ::testing::TestWithParam<CasoRange>
{
};

TEST_P(Range, writesTheBoundsOrRefuses)
{
    const CasoRange &c = GetParam();
    EXPECT_EQ(testoRange(QStringLiteral("CAMPO"), QString::fromUtf8(c.da), QString::fromUtf8(c.a), c.tipo), c.condizione);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Range,
    ::testing::Values(
        CasoRange{"date", "01/01/2020", "31/12/2020", TipoCampo::Data,
                  QStringLiteral("(CAMPO>='01/01/2020')AND(CAMPO<='31/12/2020')")},
        CasoRange{"soloPrimaDataRiformattata", "1/2/2020", "", TipoCampo::Data, QStringLiteral("(CAMPO>='01/02/2020')")},
        CasoRange{"soloSecondaData", "", "5/6/21", TipoCampo::Data, QStringLiteral("(CAMPO<='05/06/2021')")},
        CasoRange{"dataNonValida", "31/02/2020", "", TipoCampo::Data, std::nullopt},
        // Dates are not compared: a range the wrong way round answers nothing.
        CasoRange{"dateRovesciate", "31/12/2020", "01/01/2020", TipoCampo::Data,
                  QStringLiteral("(CAMPO>='31/12/2020')AND(CAMPO<='01/01/2020')")},
        CasoRange{"interi", "5", "9", TipoCampo::Intero, QStringLiteral("(CAMPO>=5)AND(CAMPO<=9)")},
        CasoRange{"virgola", "1.5", "", TipoCampo::Virgola, QStringLiteral("(CAMPO>=1.5)")},
        // Compared as text: 9 sorts after 10.
        CasoRange{"testoNoveDieci", "9", "10", TipoCampo::Intero, std::nullopt},
        CasoRange{"testoDieciNove", "10", "9", TipoCampo::Intero, QStringLiteral("(CAMPO>=10)AND(CAMPO<=9)")},
        CasoRange{"testi", "BIANCHI", "ROSSI", TipoCampo::Altro, QStringLiteral("(CAMPO>='BIANCHI')AND(CAMPO<='ROSSI')")},
        CasoRange{"scalatoTraApici", "10", "", TipoCampo::Scalato, QStringLiteral("(CAMPO>='10')")},
        CasoRange{"oraTraApici", "", "12:00", TipoCampo::Ora, QStringLiteral("(CAMPO<='12:00')")},
        CasoRange{"apiceRaddoppiato", "D'ANGELO", "", TipoCampo::Altro, QStringLiteral("(CAMPO>='D''ANGELO')")},
        CasoRange{"vuoto", "", "", TipoCampo::Altro, QString()}),
    [](const auto &info) { return std::string(info.param.nome); });

// ---- F7, formulas ----------------------------------------------------------------

TEST(Formule, textAndCast)
{
    EXPECT_EQ(testoFormula(QStringLiteral("PREZZO*QTA"), QStringLiteral("TOTALE")), QStringLiteral("(CALC (PREZZO*QTA) AS TOTALE)"));
    EXPECT_EQ(testoFormula(QStringLiteral("PREZZO*QTA"), QString()), QStringLiteral("(CALC (PREZZO*QTA))"));
    EXPECT_TRUE(eFormulaCast(QStringLiteral("cast")));
    EXPECT_TRUE(eFormulaCast(QStringLiteral(" CAST ")));
    EXPECT_FALSE(eFormulaCast(QStringLiteral("CAST(X AS DATE)")));
    EXPECT_EQ(formulaCast(QStringLiteral("FIDO"), QStringLiteral("INTEGER")), QStringLiteral("CAST(FIDO AS INTEGER)"));
    // Every type offered is one the server knows.
    EXPECT_EQ(tipiCast().size(), 11);
    EXPECT_FALSE(tipiCast().contains(QStringLiteral("DATETIME")));
    EXPECT_TRUE(tipiCast().contains(QStringLiteral("TIMESTAMP")));
}

// ---- F8, year or month ----------------------------------------------------------

struct CasoEstrazione
{
    const char *campo;
    DatoEstratto dato;
    const char *nome;
    const char *messaggio;
    const char *testo;
};

class Estrazione : public ::testing::TestWithParam<CasoEstrazione>
{
};

TEST_P(Estrazione, checksInOrderThenWrites)
{
    const CasoEstrazione &c = GetParam();
    const QString campo = QString::fromUtf8(c.campo), nome = QString::fromUtf8(c.nome);
    EXPECT_EQ(verificaEstrazione(campo, c.dato, nome), QString::fromUtf8(c.messaggio));
    if (!*c.messaggio)
        EXPECT_EQ(testoEstrazione(campo, c.dato, nome), QString::fromUtf8(c.testo));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Estrazione,
    ::testing::Values(
        CasoEstrazione{"", DatoEstratto::Nessuno, "", "Selezionare un campo data!", ""},
        CasoEstrazione{"DATA", DatoEstratto::Nessuno, "", "Selezionare il dato da estrarre!", ""},
        CasoEstrazione{"DATA", DatoEstratto::Anno, "", "Impostare il nome del campo di risposta!", ""},
        CasoEstrazione{"DATA", DatoEstratto::Anno, "Anno", "", "(EXTRACT (YEAR from DATA)) AS Anno"},
        CasoEstrazione{"A.DATAORDINE", DatoEstratto::Mese, "M", "", "(EXTRACT (MONTH from A.DATAORDINE)) AS M"}));

TEST(Estrazione, theChoiceProposesItsName)
{
    EXPECT_EQ(nomeEstrazione(DatoEstratto::Anno), QStringLiteral("Anno"));
    EXPECT_EQ(nomeEstrazione(DatoEstratto::Mese), QStringLiteral("Mese"));
    EXPECT_EQ(nomeEstrazione(DatoEstratto::Nessuno), QString());
}

// ---- F9, F10 ----------------------------------------------------------------------

TEST(Editor, linesAreRunTogether)
{
    EXPECT_EQ(testoEditor(QStringLiteral("(CITTA='ROMA'\r\nOR\nCITTA='MILANO')")),
              QStringLiteral("(CITTA='ROMA'ORCITTA='MILANO')"));
    EXPECT_EQ(testoEditor(QString()), QString());
}

struct CasoValore
{
    const char *nome;
    const char *valore;
    TipoCampo tipo;
    const char *testo;
};

class Valore : public ::testing::TestWithParam<CasoValore>
{
};

TEST_P(Valore, numbersBareEverythingElseQuoted)
{
    const CasoValore &c = GetParam();
    EXPECT_EQ(testoValore(QString::fromUtf8(c.nome), QString::fromUtf8(c.valore), c.tipo), QString::fromUtf8(c.testo));
}

INSTANTIATE_TEST_SUITE_P(Casi, Valore,
                         ::testing::Values(CasoValore{"COGNOME", "ROSSI", TipoCampo::Altro, "(COGNOME='ROSSI')"},
                                           CasoValore{"QTA", "5", TipoCampo::Intero, "(QTA=5)"},
                                           CasoValore{"PREZZO", "2.5", TipoCampo::Virgola, "(PREZZO=2.5)"},
                                           CasoValore{"FIDO", "250", TipoCampo::Scalato, "(FIDO='250')"},
                                           CasoValore{"DATA", "29/02/2024", TipoCampo::Data, "(DATA='29/02/2024')"},
                                           CasoValore{"COGNOME", "D'ANGELO", TipoCampo::Altro, "(COGNOME='D''ANGELO')"},
                                           CasoValore{"COGNOME", "", TipoCampo::Altro, "(COGNOME='')"}));

} // namespace
