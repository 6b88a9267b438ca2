// Columns whose catalogue names are not plain upper case (a table created
// as "zone_min" ("codice", "descrizione")): the composition quotes them in
// the joins, the selected fields, the searches and the grouping, while plain
// upper-case names are written exactly as before and raw conditions stay as
// typed. Then the same joins run on a real archive.

#include "Righe.h"

#include "platform/Services.h"
#include "qbe/Composizione.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/TabelleAggiunte.h"
#include "support/SuiteDb.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vardof;
using namespace vardof::qbe;
using test::R;

namespace {

// The rows numbered 1, 2, 3 ...
std::vector<RigaInt> numerate(const std::vector<R> &rr)
{
    std::vector<RigaInt> out;
    for (const R &r : rr)
        out.push_back(RigaInt{int(out.size()) + 1, QString::fromUtf8(r.nome), r.mostra, QString::fromUtf8(r.condizione)});
    return out;
}

struct CasoTesto
{
    const char *nome;
    const char *sorgente;
    std::vector<R> righe;
    std::vector<const char *> sql;
};
void PrintTo(const CasoTesto &c, std::ostream *os) { *os << c.nome; }

class Testo : public ::testing::TestWithParam<CasoTesto> {};

TEST_P(Testo, composesTheLines)
{
    const CasoTesto &c = GetParam();
    const BloccoComposto b = ComponiBlocco(numerate(c.righe), QString::fromUtf8(c.sorgente), nullptr);
    QStringList atteso;
    for (const char *l : c.sql)
        atteso << QString::fromUtf8(l);
    EXPECT_EQ(b.righe, atteso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Testo, ::testing::Values(
    CasoTesto{"upperCaseNamesAsBefore", "CLIENTI",
        {{"CODICE", 1}, {"ZONA", 0}, {"ZONE = A", 9}, {"A.CODICE", 8, "ZONA"}, {"A.DESCRIZIONE", 1}},
        {"SELECT", "XX.CODICE,", "A.DESCRIZIONE", "FROM ", "\"CLIENTI\" XX ", "LEFT JOIN \"ZONE\"  A",
         "ON ((A.CODICE=XX.ZONA))"}},
    CasoTesto{"lowerCaseAddedTable", "CLIENTI",
        {{"CODICE", 1}, {"ZONA", 0}, {"zone_min = A", 9}, {"A.codice", 8, "ZONA"}, {"A.descrizione", 1}},
        {"SELECT", "XX.CODICE,", "A.\"descrizione\"", "FROM ", "\"CLIENTI\" XX ", "LEFT JOIN \"zone_min\"  A",
         "ON ((A.\"codice\"=XX.ZONA))"}},
    CasoTesto{"lowerCaseSourceColumnsAndMixedCase", "clienti_min",
        {{"codice", 1}, {"zona", 0}, {"Nome Ditta", 1}, {"ZONE = A", 3}, {"A.CODICE", 8, "zona"},
         {"A.DESCRIZIONE", 1}},
        {"SELECT", "XX.\"codice\",", "XX.\"Nome Ditta\",", "A.DESCRIZIONE", "FROM ", "\"clienti_min\" XX ",
         "RIGHT JOIN \"ZONE\"  A", "ON ((A.CODICE=XX.\"zona\"))"}},
    CasoTesto{"linkToAnotherAddedTable", "CLIENTI",
        {{"CODICE", 1}, {"ZONA", 0}, {"zone_min = A", 9}, {"A.codice", 8, "ZONA"}, {"A.descrizione", 1},
         {"AGENTI = B", 9}, {"B.ZONA", 8, "A.codice"}, {"B.NOME", 1}},
        {"SELECT", "XX.CODICE,", "A.\"descrizione\",", "B.NOME", "FROM ", "(\"CLIENTI\" XX ",
         "LEFT JOIN \"zone_min\"  A", "ON ((A.\"codice\"=XX.ZONA)))", "LEFT JOIN \"AGENTI\"  B",
         "ON ((B.ZONA=A.\"codice\"))"}},
    CasoTesto{"searchOnLowerCaseColumn", "CLIENTI",
        {{"CODICE", 1}, {"ZONA", 0}, {"zone_min = A", 9}, {"A.codice", 8, "ZONA"}, {"A.descrizione", 1, "nord"}},
        {"SELECT", "XX.CODICE,", "A.\"descrizione\"", "FROM ", "\"CLIENTI\" XX ", "LEFT JOIN \"zone_min\"  A",
         "ON ((A.\"codice\"=XX.ZONA))", "WHERE ",
         "((UPPER (CAST(A.\"descrizione\" AS CHARACTER(256)) ) LIKE UPPER('%nord%')))"}},
    CasoTesto{"searchInTheJoinWithConditionsFirst", "CLIENTI",
        {{"CODICE", 1}, {"ZONA", 0}, {"zone_min = A", 9, "P"}, {"A.codice", 8, "ZONA"},
         {"A.descrizione", 1, "nord"}},
        {"SELECT", "XX.CODICE,", "A.\"descrizione\"", "FROM ", "\"CLIENTI\" XX ", "LEFT JOIN \"zone_min\"  A",
         "ON ((A.\"codice\"=XX.ZONA) AND ((UPPER (CAST(A.\"descrizione\" AS CHARACTER(256)) ) LIKE UPPER('%nord%'))))"}},
    // What the user typed reaches the server as typed.
    CasoTesto{"rawConditionStaysRaw", "CLIENTI",
        {{"CODICE", 1}, {"ZONA", 0}, {"zone_min = A", 9}, {"A.codice", 8, "ZONA"},
         {"A.descrizione", 1, "(A.\"descrizione\" = 'nord')"}},
        {"SELECT", "XX.CODICE,", "A.\"descrizione\"", "FROM ", "\"CLIENTI\" XX ", "LEFT JOIN \"zone_min\"  A",
         "ON ((A.\"codice\"=XX.ZONA))", "WHERE ", "((A.\"descrizione\" = 'nord'))"}},
    CasoTesto{"groupingOnLowerCaseColumn", "clienti_min",
        {{"zona", 1, "(CALC COUNT(*) AS N)"}},
        {"SELECT", "XX.\"zona\",", " COUNT(*) AS N", "FROM ", "\"clienti_min\" XX ", "GROUP BY", "XX.\"zona\""}},
    // A stored row that already holds a quoted name is not quoted twice.
    CasoTesto{"alreadyQuotedNameAsWritten", "CLIENTI",
        {{"CODICE", 1}, {"ZONA", 0}, {"zone_min = A", 9}, {"A.\"codice\"", 8, "ZONA"}, {"A.\"descrizione\"", 1}},
        {"SELECT", "XX.CODICE,", "A.\"descrizione\"", "FROM ", "\"CLIENTI\" XX ", "LEFT JOIN \"zone_min\"  A",
         "ON ((A.\"codice\"=XX.ZONA))"}}),
    [](const auto &info) { return std::string(info.param.nome); });
// clang-format on

TEST(NomeColonnaSql, quotesWhatTheServerWouldOtherwiseReadAsAnotherName)
{
    const struct
    {
        const char *catalogo;
        const char *sql;
    } casi[] = {
        {"CODICE", "CODICE"},          {"RDB$DB_KEY", "RDB$DB_KEY"}, {"IMPORTO_2", "IMPORTO_2"},
        {"codice", "\"codice\""},      {"Codice", "\"Codice\""},     {"NOME DITTA", "\"NOME DITTA\""},
        {"2CODICE", "\"2CODICE\""},    {"_X", "\"_X\""},             {"CITTÀ", "\"CITTÀ\""},
        {"A\"B", "\"A\"\"B\""},        {"\"codice\"", "\"codice\""},
    };
    for (const auto &c : casi)
        EXPECT_EQ(nomeColonnaSql(QString::fromUtf8(c.catalogo)), QString::fromUtf8(c.sql)) << c.catalogo;
}

// ---- on a real archive ------------------------------------------------------

class ColonneCatalogoDb : public test::SuiteDb
{
public:
    static void SetUpTestSuite()
    {
        createArchive(
            {
                "CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, ZONA VARCHAR(5))",
                "CREATE TABLE \"zone_min\" (\"codice\" VARCHAR(5) NOT NULL PRIMARY KEY, \"descrizione\" VARCHAR(40))",
                "CREATE TABLE \"clienti_min\" (\"codice\" INTEGER NOT NULL PRIMARY KEY, \"zona\" VARCHAR(5), "
                "\"Nome Ditta\" VARCHAR(30))",
                "CREATE TABLE ZONE (CODICE VARCHAR(5) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40))",
            },
            {
                "INSERT INTO CLIENTI VALUES (1, 'N')",
                "INSERT INTO CLIENTI VALUES (2, 'S')",
                "INSERT INTO CLIENTI VALUES (3, 'N')",
                "INSERT INTO CLIENTI VALUES (4, NULL)",
                "INSERT INTO \"zone_min\" VALUES ('N', 'nord')",
                "INSERT INTO \"zone_min\" VALUES ('S', 'sud')",
                "INSERT INTO \"clienti_min\" VALUES (1, 'N', 'Rossi')",
                "INSERT INTO \"clienti_min\" VALUES (2, 'S', 'Bianchi')",
                "INSERT INTO ZONE VALUES ('N', 'NORD')",
                "INSERT INTO ZONE VALUES ('S', 'SUD')",
            });
    }
};

struct CasoArchivio
{
    const char *nome;
    const char *sorgente;
    std::vector<R> righe;
    TabellaDaAggiungere tabella;
    const char *condizione; // on the added table's shown column
    QStringList attese;      // the rows, values joined by "|", sorted
};
void PrintTo(const CasoArchivio &c, std::ostream *os) { *os << c.nome; }

TabellaDaAggiungere tabella(const char *nome, const char *colonnaQuery, const char *colonnaTabella,
                            const char *mostrata, ModoJoin modo = ModoJoin::Left)
{
    TabellaDaAggiungere t;
    t.nome = QString::fromUtf8(nome);
    t.aggiungiCollegamento(QString::fromUtf8(colonnaQuery), QString::fromUtf8(colonnaTabella));
    t.colonne << QString::fromUtf8(mostrata);
    t.modo = modo;
    return t;
}

class Archivio : public ColonneCatalogoDb, public ::testing::WithParamInterface<CasoArchivio> {};

TEST_P(Archivio, joinsAndQueriesRun)
{
    const CasoArchivio &c = GetParam();
    platform::ScopedServices servizi;
    const QString sorgente = QString::fromUtf8(c.sorgente);
    TabIntTmp tab;
    tab.setRighe(numerate(c.righe));
    ASSERT_EQ(aggiungiTabella(tab, c.tabella), QString());
    if (*c.condizione)
        tab.setCondizione(tab.size() - 1, QString::fromUtf8(c.condizione));
    SessioneQuery sessione;
    TabRispTmp risposta;
    TIBFQuerForm motore(7, att(), tra(), att(), tra(), tab, sorgente, sessione, QString(), QStringLiteral("DEMO"));

    ASSERT_TRUE(motore.EseguiInterrogazione(tab, sorgente, risposta))
        << motore.ultimoErrore().toStdString() << "\n" << risposta.testo().toStdString();
    risposta.fetchAll();
    QStringList ottenute;
    for (int r = 0; r < risposta.fetchedCount(); ++r) {
        QStringList valori;
        for (int k = 0; k < risposta.columnCount(); ++k)
            valori << risposta.text(r, k);
        ottenute << valori.join(QLatin1Char('|'));
    }
    ottenute.sort();
    EXPECT_EQ(ottenute, c.attese) << risposta.testo().toStdString();
    risposta.close();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Archivio, ::testing::Values(
    CasoArchivio{"lowerCaseTableJoined", "CLIENTI", {{"CODICE", 1}, {"ZONA", 0}},
        tabella("zone_min", "ZONA", "codice", "descrizione"), "",
        {"1|nord", "2|sud", "3|nord", "4|"}},
    CasoArchivio{"lowerCaseTableSearched", "CLIENTI", {{"CODICE", 1}, {"ZONA", 0}},
        tabella("zone_min", "ZONA", "codice", "descrizione"), "NORD",
        {"1|nord", "3|nord"}},
    CasoArchivio{"lowerCaseTableSearchedInTheJoin", "CLIENTI", {{"CODICE", 1}, {"ZONA", 0}},
        tabella("zone_min", "ZONA", "codice", "descrizione", ModoJoin::LeftCondizioniPrima), "sud",
        {"1|", "2|sud", "3|", "4|"}},
    CasoArchivio{"rawConditionOnQuotedName", "CLIENTI", {{"CODICE", 1}, {"ZONA", 0}},
        tabella("zone_min", "ZONA", "codice", "descrizione"), "(A.\"descrizione\" = 'sud')",
        {"2|sud"}},
    CasoArchivio{"lowerCaseSourceJoinedToUpperCaseTable", "clienti_min",
        {{"codice", 1}, {"zona", 0}, {"Nome Ditta", 1}},
        tabella("ZONE", "zona", "CODICE", "DESCRIZIONE", ModoJoin::Right), "",
        {"1|Rossi|NORD", "2|Bianchi|SUD"}}),
    [](const auto &info) { return std::string(info.param.nome); });
// clang-format on

} // namespace
