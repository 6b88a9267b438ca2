// The rules that turn interrogation rows into statement lines, each case
// also run on a real archive: the lines must be exactly these, and the
// server must accept or refuse them as stated.

#include "QbeDb.h"

#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vardof;
using namespace vardof::qbe;

namespace {

struct R
{
    const char *nome;
    int mostra;
    const char *condizione;
};

enum Esito { Accetta, Rifiuta };

struct Caso
{
    const char *nome;
    std::vector<R> righe;
    std::vector<const char *> sql;
    Esito esito;
    int righeRisposta; // -1: not checked
    bool unione = false;
};

void PrintTo(const Caso &c, std::ostream *os)
{
    *os << c.nome;
}

const char *const kSelect = "SELECT";
const char *const kFrom = "FROM ";
const char *const kClienti = "\"CLIENTI\" XX ";

class Composizione : public test::QbeDb, public ::testing::WithParamInterface<Caso>
{
};

TEST_P(Composizione, composesTheLinesAndTheServerAgrees)
{
    const Caso &c = GetParam();
    platform::ScopedServices services;
    TabIntTmp tab;
    for (const R &r : c.righe)
        tab.append(QString::fromUtf8(r.nome), r.mostra, QString::fromUtf8(r.condizione));
    TabRispTmp risposta;
    SessioneQuery sessione;
    sessione.setUnione(c.unione);
    TIBFQuerForm engine(7, att(), tra(), att(), tra(), tab, QStringLiteral("CLIENTI"), sessione, QString(),
                        QStringLiteral("DEMO"));

    const bool ok = engine.EseguiInterrogazione(tab, QStringLiteral("CLIENTI"), risposta);

    QStringList atteso;
    for (const char *l : c.sql)
        atteso << QString::fromUtf8(l);
    EXPECT_EQ(risposta.SQL(), atteso);
    if (c.esito == Accetta) {
        ASSERT_TRUE(ok) << engine.ultimoErrore().toStdString();
        EXPECT_TRUE(services.messages().texts().isEmpty());
        if (c.righeRisposta >= 0) {
            risposta.fetchAll();
            EXPECT_EQ(risposta.fetchedCount(), c.righeRisposta);
        }
    } else {
        EXPECT_FALSE(ok);
        EXPECT_FALSE(risposta.isOpen());
        ASSERT_EQ(services.messages().texts().size(), 1);
        EXPECT_EQ(services.messages().texts().first(), kMsgSintassi + QLatin1Char('\n') + engine.ultimoErrore());
        EXPECT_FALSE(engine.ultimoErrore().isEmpty());
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Composizione, ::testing::Values(
    Caso{"plainSearchOnOneColumn",
         {{"CODICE", 1, ""}, {"RAGIONESOCIALE", 0, "ROSSI"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((UPPER (CAST(XX.RAGIONESOCIALE AS CHARACTER(256)) ) LIKE UPPER('%ROSSI%')))"},
         Accetta, 1},
    Caso{"plainSearchIgnoresCase",
         {{"CODICE", 1, ""}, {"CITTA", 1, "milano"}},
         {kSelect, "XX.CODICE,", "XX.CITTA", kFrom, kClienti, "WHERE ",
          "((UPPER (CAST(XX.CITTA AS CHARACTER(256)) ) LIKE UPPER('%milano%')))"},
         Accetta, 2},
    Caso{"conditionsAreJoinedByAnd",
         {{"CODICE", 1, ""}, {"CITTA", 1, "MILANO"}, {"RAGIONESOCIALE", 0, "BIANCHI"}},
         {kSelect, "XX.CODICE,", "XX.CITTA", kFrom, kClienti, "WHERE ",
          "((UPPER (CAST(XX.CITTA AS CHARACTER(256)) ) LIKE UPPER('%MILANO%'))) and",
          "((UPPER (CAST(XX.RAGIONESOCIALE AS CHARACTER(256)) ) LIKE UPPER('%BIANCHI%')))"},
         Accetta, 1},
    Caso{"quoteInsidePlainSearchIsDoubled",
         {{"RAGIONESOCIALE", 1, "D'ANGELO"}},
         {kSelect, "XX.RAGIONESOCIALE", kFrom, kClienti, "WHERE ",
          "((UPPER (CAST(XX.RAGIONESOCIALE AS CHARACTER(256)) ) LIKE UPPER('%D''ANGELO%')))"},
         Accetta, 1},
    Caso{"plainSearchKeepsTheColumnNameItContains",
         {{"CODICE", 1, ""}, {"NOTE", 0, "NOTE"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((UPPER(XX.NOTE) LIKE UPPER('%NOTE%')))"},
         Accetta, 1},
    Caso{"textBlobSearchIgnoresCase",
         {{"CODICE", 1, ""}, {"NOTE", 0, "STORICO"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((UPPER(XX.NOTE) LIKE UPPER('%STORICO%')))"},
         Accetta, 1},
    Caso{"binaryBlobSearch",
         {{"CODICE", 1, ""}, {"FOTO", 0, "b"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((UPPER(XX.FOTO) LIKE ('%b%')))"},
         Accetta, 1},
    Caso{"rawConditionGetsTheAlias",
         {{"CODICE", 1, ""}, {"FIDO", 0, "(FIDO > 100)"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ", "((XX.FIDO > 100))"},
         Accetta, 2},
    Caso{"rawConditionWithDecimalPointStaysUnqualified",
         {{"CODICE", 1, ""}, {"FIDO", 0, "(FIDO > 100.5)"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ", "((FIDO > 100.5))"},
         Accetta, 2},
    Caso{"rawConditionLeavesLiteralsAndLongerNamesAlone",
         {{"CODICE", 1, ""}, {"CITTA", 0, "(CITTA = 'CITTA' OR CITTA = 'ROMA')"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((XX.CITTA = 'CITTA' OR XX.CITTA = 'ROMA'))"},
         Accetta, 1},
    Caso{"rawConditionWithOtherColumns",
         {{"CODICE", 1, ""}, {"CITTA", 1, "(CITTA = 'MILANO' AND FIDO > 0)"}},
         {kSelect, "XX.CODICE,", "XX.CITTA", kFrom, kClienti, "WHERE ",
          "((XX.CITTA = 'MILANO' AND FIDO > 0))"},
         Accetta, 1},
    Caso{"rawConditionIsNull",
         {{"CODICE", 1, ""}, {"ZONA", 0, "(ZONA IS NULL)"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ", "((XX.ZONA IS NULL))"},
         Accetta, 1},
    Caso{"badRawConditionFails",
         {{"CODICE", 1, ""}, {"FIDO", 0, "(FIDO >> 1)"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ", "((XX.FIDO >> 1))"},
         Rifiuta, -1},
    Caso{"dayFirstDatesAreTurnedAround",
         {{"CODICE", 1, ""}, {"DATAINSERIMENTO", 0, "(DATAINSERIMENTO >= '01/02/2024')"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ", "((XX.DATAINSERIMENTO >= '02/01/2024'))"},
         Accetta, 2},
    Caso{"dateRangeWithShortForms",
         {{"CODICE", 1, ""}, {"DATAINSERIMENTO", 0, "(DATAINSERIMENTO BETWEEN '1/1/24' AND '29/02/24')"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((XX.DATAINSERIMENTO BETWEEN '1/1/24' AND '02/29/24'))"},
         Accetta, 2},
    // A short date right before the closing quote and parenthesis is the
    // same day as anywhere else: after 1 February, not after 2 January
    // (which would also take the customer of 15 January).
    Caso{"shortDateRightBeforeTheEndIsTurnedAround",
         {{"CODICE", 1, ""}, {"DATAINSERIMENTO", 0, "(DATAINSERIMENTO>'1/2/24')"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ", "((XX.DATAINSERIMENTO>'2/1/24'))"},
         Accetta, 2},
    Caso{"shortDayFirstDateRightBeforeTheEndIsTurnedAround",
         {{"CODICE", 1, ""}, {"DATAINSERIMENTO", 0, "(DATAINSERIMENTO BETWEEN '1/1/24' AND '29/2/24')"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((XX.DATAINSERIMENTO BETWEEN '1/1/24' AND '2/29/24'))"},
         Accetta, 2},
    Caso{"impossibleDayFirstDateFails",
         {{"CODICE", 1, ""}, {"DATAINSERIMENTO", 0, "(DATAINSERIMENTO = '12/31/2024')"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ", "((XX.DATAINSERIMENTO = '31/12/2024'))"},
         Rifiuta, -1},
    Caso{"calcColumnWritesNoCondition",
         {{"CODICE", 1, ""}, {"FIDO", 0, "(CALC (FIDO*2) AS DOPPIO)"}},
         {kSelect, "XX.CODICE,", " (FIDO*2) AS DOPPIO", kFrom, kClienti},
         Accetta, 4},
    Caso{"calcInsideASearchTextBecomesAColumn",
         {{"RAGIONESOCIALE", 1, "calcio"}},
         {kSelect, "XX.RAGIONESOCIALE,", "io", kFrom, kClienti},
         Rifiuta, -1},
    Caso{"extractColumn",
         {{"CODICE", 1, ""}, {"DATAINSERIMENTO", 0, "extract(year from DATAINSERIMENTO) as anno"}},
         {kSelect, "XX.CODICE,", "EXTRACT(YEAR FROM DATAINSERIMENTO) AS ANNO", kFrom, kClienti},
         Accetta, 4},
    Caso{"extractInsideASearchTextBecomesAColumn",
         {{"CODICE", 1, ""}, {"NOTE", 0, "extraction"}},
         {kSelect, "XX.CODICE,", "EXTRACTION", kFrom, kClienti},
         Rifiuta, -1},
    Caso{"sumGroupsByTheShownColumns",
         {{"CITTA", 1, ""}, {"FIDO", 0, "(CALC (SUM(FIDO)) AS TOT)"}},
         {kSelect, "XX.CITTA,", " (SUM(FIDO)) AS TOT", kFrom, kClienti, "GROUP BY", "XX.CITTA"},
         Accetta, 4},
    Caso{"countAsTheCountButtonWritesIt",
         {{"ZONA", 1, "(CALC (COUNT(ZONA)) AS TOT)"}, {"CITTA", 1, ""}},
         {kSelect, "XX.ZONA,", " (COUNT(ZONA)) AS TOT,", "XX.CITTA", kFrom, kClienti, "GROUP BY", "XX.ZONA,",
          "XX.CITTA"},
         Accetta, 4},
    Caso{"onlyAggregatesNeedNoGroupBy",
         {{"CODICE", 0, "(Calc (Sum(FIDO)) as Tot)"}, {"CITTA", 0, ""}},
         {kSelect, " (Sum(FIDO)) as Tot", kFrom, kClienti},
         Accetta, 1},
    Caso{"extractWithSumIsRefused",
         {{"CITTA", 1, ""}, {"DATAINSERIMENTO", 0, "EXTRACT(YEAR FROM DATAINSERIMENTO) AS ANNO"},
          {"FIDO", 0, "(CALC (SUM(FIDO)) AS TOT)"}},
         {kSelect, "XX.CITTA,", "EXTRACT(YEAR FROM DATAINSERIMENTO) AS ANNO,", " (SUM(FIDO)) AS TOT", kFrom,
          kClienti, "GROUP BY", "XX.CITTA"},
         Rifiuta, -1},
    Caso{"setStandsForTheSourceTable",
         {{"CODICE", 1, ""}, {"FIDO", 0, "(CALC (Set) AS X)"}},
         {kSelect, "XX.CODICE,", " (\"CLIENTI\".\"Set\") AS X", kFrom, kClienti},
         Rifiuta, -1},
    Caso{"procedularKeywordsLeaveTheList",
         {{"CODICE", 1, ""}, {"FIDO", 1, "(CALC SOMMAPROG)"}, {"CITTA", 0, "(CALC INTEROQMT)"}},
         {kSelect, "XX.CODICE,", "XX.FIDO", kFrom, kClienti},
         Accetta, 4},
    Caso{"noColumnShownFails",
         {{"CODICE", 0, ""}},
         {kSelect, kFrom, kClienti},
         Rifiuta, -1},
    Caso{"markerRowsAddNothing",
         {{"CODICE", 1, ""}, {"QUERY SUCCESSIVA", 4, "12"}, {"QUERY BLOCCATA", 7, "X"}},
         {kSelect, "XX.CODICE", kFrom, kClienti},
         Accetta, 4},
    Caso{"oneLeftJoin",
         {{"CODICE", 1, ""}, {"ZONA", 0, ""}, {"ZONE = A", 9, ""}, {"A.CODICE", 8, "ZONA"},
          {"A.DESCRIZIONE", 1, ""}},
         {kSelect, "XX.CODICE,", "A.DESCRIZIONE", kFrom, kClienti, "LEFT JOIN \"ZONE\"  A",
          "ON ((A.CODICE=XX.ZONA))"},
         Accetta, 4},
    Caso{"conditionOnAnAddedTableGoesIntoWhere",
         {{"CODICE", 1, ""}, {"ZONE = A", 9, ""}, {"A.CODICE", 8, "ZONA"}, {"A.DESCRIZIONE", 1, "nord"}},
         {kSelect, "XX.CODICE,", "A.DESCRIZIONE", kFrom, kClienti, "LEFT JOIN \"ZONE\"  A",
          "ON ((A.CODICE=XX.ZONA))", "WHERE ",
          "((UPPER (CAST(A.DESCRIZIONE AS CHARACTER(256)) ) LIKE UPPER('%nord%')))"},
         Accetta, 2},
    Caso{"headerPPutsConditionsIntoTheJoin",
         {{"CODICE", 1, ""}, {"ZONE = A", 9, "P"}, {"A.CODICE", 8, "ZONA"}, {"A.DESCRIZIONE", 1, "NORD"},
          {"A.CODICE", 0, "(A.CODICE <> 'X')"}},
         {kSelect, "XX.CODICE,", "A.DESCRIZIONE", kFrom, kClienti, "LEFT JOIN \"ZONE\"  A",
          "ON ((A.CODICE=XX.ZONA) AND ((UPPER (CAST(A.DESCRIZIONE AS CHARACTER(256)) ) LIKE UPPER('%NORD%'))) "
          "AND ((A.CODICE <> 'X')))"},
         Accetta, 4},
    Caso{"headerPEndsAtTheFirstOtherRow",
         {{"CODICE", 1, ""}, {"ZONE = A", 9, "P"}, {"A.CODICE", 8, "ZONA"}, {"A.DESCRIZIONE", 1, "NORD"},
          {"QUERY BLOCCATA", 7, ""}, {"CITTA", 0, "ROMA"}},
         {kSelect, "XX.CODICE,", "A.DESCRIZIONE", kFrom, kClienti, "LEFT JOIN \"ZONE\"  A",
          "ON ((A.CODICE=XX.ZONA) AND ((UPPER (CAST(A.DESCRIZIONE AS CHARACTER(256)) ) LIKE UPPER('%NORD%'))))",
          "WHERE ", "((UPPER (CAST(XX.CITTA AS CHARACTER(256)) ) LIKE UPPER('%ROMA%')))"},
         Accetta, 1},
    // The conditions of a "P" table go into the join with their dates
    // turned around, as in WHERE: 13/02 as typed is no date for the server.
    Caso{"headerPTurnsTheDatesOfItsConditionsAround",
         {{"CODICE", 1, ""}, {"ORDINI = B", 9, "P"}, {"B.CLIENTE", 8, "CODICE"},
          {"B.DATAORDINE", 1, "(B.DATAORDINE >= '13/02/2024')"}},
         {kSelect, "XX.CODICE,", "B.DATAORDINE", kFrom, kClienti, "LEFT JOIN \"ORDINI\"  B",
          "ON ((B.CLIENTE=XX.CODICE) AND ((B.DATAORDINE >= '02/13/2024')))"},
         Accetta, 4},
    Caso{"codesFiveAndSixAreShownAndGrouped",
         {{"CITTA", 5, ""}, {"ZONA", 6, ""}, {"FIDO", 0, "(CALC (MAX(FIDO)) AS MASSIMO)"}},
         {kSelect, "XX.CITTA,", "XX.ZONA,", " (MAX(FIDO)) AS MASSIMO", kFrom, kClienti, "GROUP BY", "XX.CITTA,",
          "XX.ZONA"},
         Accetta, 4},
    Caso{"linkWithQualifiedColumnAndTwoLinks",
         {{"CODICE", 1, ""}, {"AGENTI = A", 9, ""}, {"A.ZONA", 8, "XX.ZONA"}, {"A.ZONA", 8, "ZONA"},
          {"A.NOME", 1, ""}},
         {kSelect, "XX.CODICE,", "A.NOME", kFrom, kClienti, "LEFT JOIN \"AGENTI\"  A",
          "ON ((A.ZONA=XX.ZONA) AND (A.ZONA=XX.ZONA))"},
         Accetta, 4},
    Caso{"twoJoinsNest",
         {{"CODICE", 1, ""}, {"ZONE = A", 9, ""}, {"A.CODICE", 8, "ZONA"}, {"A.DESCRIZIONE", 1, ""},
          {"ORDINI = B", 9, ""}, {"B.CLIENTE", 8, "CODICE"}, {"B.NUMERO", 1, ""}},
         {kSelect, "XX.CODICE,", "A.DESCRIZIONE,", "B.NUMERO", kFrom, "(\"CLIENTI\" XX ",
          "LEFT JOIN \"ZONE\"  A", "ON ((A.CODICE=XX.ZONA)))", "LEFT JOIN \"ORDINI\"  B",
          "ON ((B.CLIENTE=XX.CODICE))"},
         Accetta, 5},
    Caso{"threeJoinsNest",
         {{"CODICE", 1, ""}, {"ZONE = A", 9, ""}, {"A.CODICE", 8, "ZONA"}, {"A.DESCRIZIONE", 1, ""},
          {"ORDINI = B", 9, ""}, {"B.CLIENTE", 8, "CODICE"}, {"B.NUMERO", 1, ""},
          {"AGENTI = C", 9, ""}, {"C.ZONA", 8, "ZONA"}, {"C.NOME", 1, ""}},
         {kSelect, "XX.CODICE,", "A.DESCRIZIONE,", "B.NUMERO,", "C.NOME", kFrom, "((\"CLIENTI\" XX ",
          "LEFT JOIN \"ZONE\"  A", "ON ((A.CODICE=XX.ZONA)))", "LEFT JOIN \"ORDINI\"  B",
          "ON ((B.CLIENTE=XX.CODICE)))", "LEFT JOIN \"AGENTI\"  C", "ON ((C.ZONA=XX.ZONA))"},
         Accetta, 5},
    Caso{"rightJoin",
         {{"CODICE", 1, ""}, {"ORDINI = A", 3, ""}, {"A.CLIENTE", 8, "CODICE"}, {"A.NUMERO", 1, ""}},
         {kSelect, "XX.CODICE,", "A.NUMERO", kFrom, kClienti, "RIGHT JOIN \"ORDINI\"  A",
          "ON ((A.CLIENTE=XX.CODICE))"},
         Accetta, 3},
    Caso{"unqualifiedNameSharedByAJoinIsAmbiguous",
         {{"CODICE", 1, "(CODICE > 1.5)"}, {"ZONE = A", 9, ""}, {"A.CODICE", 8, "ZONA"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "LEFT JOIN \"ZONE\"  A", "ON ((A.CODICE=XX.ZONA))", "WHERE ",
          "((CODICE > 1.5))"},
         Rifiuta, -1},
    Caso{"badLinkFails",
         {{"CODICE", 1, ""}, {"ZONE = A", 9, ""}, {"A.CODICE", 8, "NONESISTE"}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "LEFT JOIN \"ZONE\"  A", "ON ((A.CODICE=XX.NONESISTE))"},
         Rifiuta, -1},
    Caso{"unionOfTwoBlocks",
         {{"CODICE", 6, ""}, {"CITTA", 0, "NAPOLI"}, {"QUERY BLOCCATA", 7, ""}, {"CLIENTI", 9, "UNION"},
          {"CODICE", 1, ""}, {"CITTA", 0, "ROMA"}, {"QUERY BLOCCATA", 7, ""}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "WHERE ",
          "((UPPER (CAST(XX.CITTA AS CHARACTER(256)) ) LIKE UPPER('%NAPOLI%')))", "UNION", kSelect, "XX.CODICE",
          kFrom, kClienti, "WHERE ", "((UPPER (CAST(XX.CITTA AS CHARACTER(256)) ) LIKE UPPER('%ROMA%')))"},
         Accetta, 2, true},
    Caso{"unionWithoutEndOfBlockFails",
         {{"CODICE", 6, ""}, {"CITTA", 0, "NAPOLI"}},
         {},
         Rifiuta, -1, true},
    Caso{"unionOfBlocksThatDoNotMatchFails",
         {{"CODICE", 6, ""}, {"QUERY BLOCCATA", 7, ""}, {"CLIENTI", 9, "UNION"}, {"CODICE", 1, ""},
          {"CITTA", 1, ""}, {"QUERY BLOCCATA", 7, ""}},
         {kSelect, "XX.CODICE", kFrom, kClienti, "UNION", kSelect, "XX.CODICE,", "XX.CITTA", kFrom, kClienti},
         Rifiuta, -1, true}
));
// clang-format on

} // namespace
