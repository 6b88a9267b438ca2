// Names that differ only by quoting, and names and values that look like
// SQL: the script's table is the one the catalogue holds under exactly the
// name written (or written between double quotes), every statement of the
// run names it that way, and nothing outside it changes. Each case runs
// line by line and in blocks of lines.

#include "ImportTestSupport.h"

#include "support/TableChecksum.h"

#include "db/Catalog.h"
#include "db/Error.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vardof::importcsv {
namespace {

struct NomeCase
{
    const char *nome;
    QStringList script;        // after "[SCRIPT]"
    QStringList dati;
    const char *tabella;       // the catalogue name of the table the run may change; empty: refused
    QStringList righe;         // that table afterwards, ordered by its first column
    EsitoImport esito = EsitoImport::Completato;
    QStringList riepilogo = {}; // refused at load: MemoRiepilogo; run: lines that must be written
};

void PrintTo(const NomeCase &c, std::ostream *os) { *os << c.nome; }

const QString kTabellaStrana = QStringLiteral("a;b -- c'd");

class NomiCitati : public test::ImportFixture, public ::testing::WithParamInterface<std::tuple<NomeCase, int>>
{
protected:
    void SetUp() override
    {
        test::ImportFixture::SetUp();
        exec(R"(CREATE TABLE "zone" (COD VARCHAR(5) NOT NULL PRIMARY KEY, "nome" VARCHAR(40), NOME VARCHAR(40)))");
        exec(R"(CREATE TABLE ZONE (COD VARCHAR(5) NOT NULL PRIMARY KEY, NOME VARCHAR(40)))");
        exec(R"(CREATE TABLE "a;b -- c'd" ("k'ey" VARCHAR(10) NOT NULL PRIMARY KEY, "val;ue -- x" VARCHAR(60)))");
        exec(R"(CREATE TABLE "righe" (ID INTEGER NOT NULL PRIMARY KEY, "testo" VARCHAR(20)))");
        exec(R"(CREATE GENERATOR "contatore righe")");
        exec(R"(INSERT INTO "zone" VALUES ('Z1', 'nord minuscolo', 'NORD MIN'))");
        exec(R"(INSERT INTO ZONE VALUES ('Z1', 'NORD'))");
        exec(R"(INSERT INTO "a;b -- c'd" VALUES ('K1', 'primo'))");
        exec(R"(INSERT INTO ARTICOLI (CODICE, DESCRIZIONE) VALUES ('A1', 'articolo'))");
        exec(R"(INSERT INTO LISTINO (ID, CODICE) VALUES (1, 'L1'))");
    }
};

TEST_P(NomiCitati, changeOnlyTheTableNamed)
{
    const NomeCase &c = std::get<0>(GetParam());
    const int righePerBlocco = std::get<1>(GetParam());
    const QString tabella = QString::fromUtf8(c.tabella);
    const auto prima = vardof::test::impronteTranne(att(), {tabella});

    const CaricamentoScript s = carica(QStringList{"[SCRIPT]"} + c.script, c.dati);
    if (tabella.isEmpty()) {
        EXPECT_FALSE(s.valido);
        EXPECT_EQ(s.memoRiepilogo, c.riepilogo);
    } else {
        ASSERT_TRUE(s.valido) << s.memoScript.join('\n').toStdString() << s.memoRiepilogo.join('\n').toStdString();
        OpzioniImport o;
        o.righePerBlocco = righePerBlocco;
        ImportRun run(att(), tra(), s.parametri, s.colonne, s.chiavi);
        EXPECT_EQ(run.esegui(file("dati.csv"), false, sink, o, &sink), c.esito) << testing::PrintToString(sink.righe);
        for (const QString &attesa : c.riepilogo)
            EXPECT_TRUE(sink.righe.contains(attesa)) << attesa.toStdString() << testing::PrintToString(sink.righe);
        for (const QString &riga : std::as_const(sink.righe))
            if (c.esito == EsitoImport::Completato)
                EXPECT_FALSE(riga.startsWith(QLatin1String("Errore"))) << riga.toStdString();
        EXPECT_EQ(righe(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(db::quotedName(tabella))), c.righe);
    }
    EXPECT_EQ(vardof::test::impronteTranne(att(), {tabella}), prima);
}

const QStringList kZoneIniziale{"Z1|nord minuscolo|NORD MIN"};

INSTANTIATE_TEST_SUITE_P(
    Cases, NomiCitati,
    ::testing::Combine(
        ::testing::Values(
            NomeCase{"zone as written is the quoted lower-case table",
                     {"TABELLADESTINAZIONE=zone", "AGGIORNA=NO"}, {"Z2;sud;SUD", "Z3;est;EST"}, "zone",
                     {"Z1|nord minuscolo|NORD MIN", "Z2|sud|SUD", "Z3|est|EST"}},
            NomeCase{"ZONE is the upper-case table",
                     {"TABELLADESTINAZIONE=ZONE", "AGGIORNA=NO"}, {"Z2;SUD", "Z3;EST"}, "ZONE",
                     {"Z1|NORD", "Z2|SUD", "Z3|EST"}},
            NomeCase{"\"zone\" written quoted",
                     {"TABELLADESTINAZIONE=\"zone\"", "AGGIORNA=NO"}, {"Z2;sud;SUD", "Z3;est;EST"}, "zone",
                     {"Z1|nord minuscolo|NORD MIN", "Z2|sud|SUD", "Z3|est|EST"}},
            NomeCase{"by key into zone",
                     {"TABELLADESTINAZIONE=zone"}, {"Z1;nord nuovo;NORD NUOVO", "Z4;ovest;OVEST", "Z5;sud;SUD"}, "zone",
                     {"Z1|nord nuovo|NORD NUOVO", "Z4|ovest|OVEST", "Z5|sud|SUD"}},
            NomeCase{"the lower-case column is the key, the upper-case one is excluded",
                     {"TABELLADESTINAZIONE=zone", "AGGIORNAPERS=nome", "ESCLUSIONIAGGIORNA=NOME"},
                     {"Z9;nord minuscolo;IGNORATO", "Z5;centro;CENTRO"}, "zone",
                     {"Z5|centro|CENTRO", "Z9|nord minuscolo|NORD MIN"}},
            NomeCase{"duplicate check on the lower-case column",
                     {"TABELLADESTINAZIONE=zone", "AGGIORNAPERS=nome", "CONTROLLODUPLICATI=SI", "AGGIORNA=NO"},
                     {"Z6;doppio;A", "Z7;doppio;B", "Z8;singolo;C"}, "zone",
                     {"Z1|nord minuscolo|NORD MIN", "Z6|doppio|A", "Z8|singolo|C"}, EsitoImport::Completato,
                     {"Record esclusi perchè duplicati: 1"}},
            NomeCase{"a table named with ; -- and a quote",
                     {"TABELLADESTINAZIONE=a;b -- c'd"}, {"K1;secondo; DROP TABLE ZONE", "K2;x' OR '1'='1 --"},
                     "a;b -- c'd", {"K1|secondo", "K2|x' OR '1'='1 --"}},
            NomeCase{"the same table written quoted, with the duplicate check",
                     {"TABELLADESTINAZIONE=\"a;b -- c'd\"", "CONTROLLODUPLICATI=SI"}, {"K3;uno", "K3;due", "K4;') --"},
                     "a;b -- c'd", {"K1|primo", "K3|uno", "K4|') --"}, EsitoImport::Completato,
                     {"Record esclusi perchè duplicati: 1"}},
            NomeCase{"a constant that looks like SQL is data",
                     {"TABELLADESTINAZIONE=ZONE", "ASSEGNAVALORE=NOME;'x''); DELETE FROM ARTICOLI; --'"},
                     {"Z1;a", "Z2;b"}, "ZONE",
                     {"Z1|x''); DELETE FROM ARTICOLI; --", "Z2|x''); DELETE FROM ARTICOLI; --"}},
            NomeCase{"a reference value that looks like SQL deletes nothing",
                     {"TABELLADESTINAZIONE=ZONE", "ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=NOME",
                      "VALORECAMPORIFERIMENTO=NORD' OR '1'='1", "AGGIORNA=NO"},
                     {"Z2;SUD"}, "ZONE", {"Z1|NORD", "Z2|SUD"}},
            NomeCase{"a reference field that is SQL is refused",
                     {"TABELLADESTINAZIONE=ZONE", "ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=COD=COD OR 1=1 --",
                      "VALORECAMPORIFERIMENTO=Z9", "AGGIORNA=NO"},
                     {"Z2;SUD"}, "ZONE", {"Z1|NORD"}, EsitoImport::EliminazioneFallita,
                     {"Errore interno di DELETE: impossibile eliminare i record con COD=COD OR 1=1 -- pari a \"Z9\""}},
            NomeCase{"a reference field of the lower-case table",
                     {"TABELLADESTINAZIONE=zone", "ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=nome",
                      "VALORECAMPORIFERIMENTO=nord minuscolo", "AGGIORNA=NO"},
                     {"Z2;sud;SUD"}, "zone", {"Z2|sud|SUD"}},
            NomeCase{"a generator held quoted with a blank",
                     {"TABELLADESTINAZIONE=righe", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=ID;contatore righe"},
                     {";uno", ";due", ";tre"}, "righe", {"1|uno", "2|due", "3|tre"}},
            NomeCase{"statement after the table name", {"TABELLADESTINAZIONE=ZONE; DELETE FROM ARTICOLI --"}, {"Z2;SUD"},
                     "", {}, EsitoImport::NonAvviato, {"Tabella di destinazione inesistente"}},
            NomeCase{"quotes around part of the name", {"TABELLADESTINAZIONE=zone\" OR \"ZONE"}, {"Z2;SUD"},
                     "", {}, EsitoImport::NonAvviato, {"Tabella di destinazione inesistente"}},
            NomeCase{"a name longer than the catalogue's",
                     {"TABELLADESTINAZIONE=" + QString(70, u'Z')}, {"Z2;SUD"},
                     "", {}, EsitoImport::NonAvviato, {"Tabella di destinazione inesistente"}},
            NomeCase{"upper case does not stand for the lower-case table's column",
                     {"TABELLADESTINAZIONE=ZONE", "ESCLUSIONIAGGIORNA=nome"}, {"Z2;SUD"},
                     "", {}, EsitoImport::NonAvviato,
                     {"Sezione \"CAMPI ESCLUSI DALL'AGGIORNAMENTO\" non compilata in modo corretto: il campo \"nome\" non esiste"}},
            NomeCase{"a key name that is SQL",
                     {"TABELLADESTINAZIONE=ZONE", "AGGIORNAPERS=\"COD=COD OR 1=1 --\""}, {"Z2;SUD"},
                     "", {}, EsitoImport::NonAvviato,
                     {"Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"COD=COD OR 1=1 --\" non esiste"}},
            NomeCase{"a constant's field that is SQL",
                     {"TABELLADESTINAZIONE=ZONE", "ASSEGNAVALORE=NOME='x' --;y"}, {"Z2;SUD"},
                     "", {}, EsitoImport::NonAvviato,
                     {"Sezione \"ASSEGNAZIONI COSTANTI\" non compilata in modo completo: il campo \"NOME='x' --\" non esiste"}},
            NomeCase{"a generator name that is SQL",
                     {"TABELLADESTINAZIONE=righe", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=ID;G,1) FROM RDB$DATABASE --"},
                     {";uno"}, "", {}, EsitoImport::NonAvviato,
                     {"Il parametro \"Campo autoincrementato\" riporta un generatore inesistente"}}),
        ::testing::Values(1, 2)),
    [](const ::testing::TestParamInfo<std::tuple<NomeCase, int>> &info) {
        return "case" + std::to_string(info.index / 2) + (std::get<1>(info.param) == 1 ? "_righe" : "_blocchi");
    });

class BlocchiCitati : public test::ImportFixture {};

// The blocks really carry the lines of a quoted table: the same rows come
// out of fewer statements.
TEST_F(BlocchiCitati, blocksOnAQuotedTable)
{
    exec(R"(CREATE TABLE "zone" (COD VARCHAR(5) NOT NULL PRIMARY KEY, "nome" VARCHAR(40), NOME VARCHAR(40)))");
    exec(R"(CREATE TABLE ZONE (COD VARCHAR(5) NOT NULL PRIMARY KEY, NOME VARCHAR(40)))");
    const CaricamentoScript s = carica({"[SCRIPT]", "TABELLADESTINAZIONE=zone"}, {"Z1;a;A", "Z2;b;B", "Z1;c;C", "Z3;d;D"});
    ASSERT_TRUE(s.valido);
    OpzioniImport o;
    o.righePerBlocco = 2;
    ImportRun run(att(), tra(), s.parametri, s.colonne, s.chiavi);
    ASSERT_EQ(run.esegui(file("dati.csv"), false, sink, o, &sink), EsitoImport::Completato);
    EXPECT_EQ(run.contatori().blocchi, 2);
    EXPECT_EQ(run.contatori().aggiunti, 3);
    EXPECT_EQ(run.contatori().aggiornati, 1);
    EXPECT_EQ(righe(R"(SELECT * FROM "zone" ORDER BY 1)"), (QStringList{"Z1|c|C", "Z2|b|B", "Z3|d|D"}));
    EXPECT_TRUE(righe("SELECT * FROM ZONE").isEmpty());
}

// Adding only, with the generated field the table's only key: the keys are
// never looked up, and a block must not wait for values of them.
TEST_F(BlocchiCitati, generatedOnlyKeyInBlocks)
{
    exec("CREATE TABLE NUMERATE (ID INTEGER NOT NULL PRIMARY KEY, TESTO VARCHAR(20))");
    exec("CREATE GENERATOR GEN_NUMERATE");
    const CaricamentoScript s = carica({"[SCRIPT]", "TABELLADESTINAZIONE=NUMERATE", "AGGIORNA=NO",
                                        "CAMPOAUTOINCREMENTATO=ID;GEN_NUMERATE"},
                                       {";a", ";b", ";c", ";d", ";e"});
    ASSERT_TRUE(s.valido) << s.memoRiepilogo.join('\n').toStdString();
    OpzioniImport o;
    o.righePerBlocco = 2;
    ImportRun run(att(), tra(), s.parametri, s.colonne, s.chiavi);
    ASSERT_EQ(run.esegui(file("dati.csv"), false, sink, o, &sink), EsitoImport::Completato);
    EXPECT_EQ(run.contatori().blocchi, 2);
    EXPECT_EQ(run.contatori().aggiunti, 5);
    EXPECT_EQ(righe("SELECT * FROM NUMERATE ORDER BY 1"), (QStringList{"1|a", "2|b", "3|c", "4|d", "5|e"}));
}

} // namespace
} // namespace vardof::importcsv
