// The text side of the script language: where the script is, how each
// directive line is read, and the summary shown in MemoScript.

#include "ImportTestSupport.h"

#include "import/ImportScript.h"

#include <gtest/gtest.h>

namespace vardof::importcsv {
namespace {

using test::scriviByte;
using test::scriviFile;

struct PercorsoCase
{
    const char *dati;
    const char *script;
};

class PercorsoScript : public ::testing::TestWithParam<PercorsoCase> {};

TEST_P(PercorsoScript, replacesTheExtension)
{
    EXPECT_EQ(percorsoScript(QString::fromUtf8(GetParam().dati)), QString::fromUtf8(GetParam().script));
}

INSTANTIATE_TEST_SUITE_P(Cases, PercorsoScript,
                         ::testing::Values(PercorsoCase{"C:\\dati\\listino.csv", "C:\\dati\\listino.txt"},
                                           PercorsoCase{"/home/u/listino.csv", "/home/u/listino.txt"},
                                           PercorsoCase{"C:\\dati\\listino.2024.csv", "C:\\dati\\listino.2024.txt"},
                                           PercorsoCase{"C:\\dati.old\\listino", "C:\\dati.old\\listino.txt"},
                                           PercorsoCase{"/dati.old/listino", "/dati.old/listino.txt"},
                                           PercorsoCase{"C:\\dati\\listino.txt", "C:\\dati\\listino.txt"}));

// Script text (after "[SCRIPT]") -> the MemoScript summary.
struct ScriptCase
{
    const char *nome;
    QStringList script;
    QStringList riepilogo;
};

void PrintTo(const ScriptCase &c, std::ostream *os) { *os << c.nome; }

class LetturaScript : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(LetturaScript, summarisesWhatTheLinesSay)
{
    EXPECT_EQ(riepilogoScript(analizzaScript(GetParam().script)), GetParam().riepilogo);
}

const QStringList kDefault{
    "Tabella di destinazione = MANCANTE", "Elimina dati campo di riferimento = NO", "Controllo duplicati = NO",
    "Aggiungi record = SI", "Aggiorna record = SI"};

QStringList conTabella(const QString &t, QStringList resto = {})
{
    QStringList r = kDefault;
    r[0] = "Tabella di destinazione = " + t;
    return r + resto;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LetturaScript,
    ::testing::Values(
        ScriptCase{"empty", {}, kDefault},
        ScriptCase{"unknown lines are skipped", {"qualcosa", "", "tabelladestinazione=X"}, kDefault},
        ScriptCase{"later table wins", {"TABELLADESTINAZIONE=A", "TABELLADESTINAZIONE=ARTICOLI;"}, conTabella("ARTICOLI")},
        ScriptCase{"text before the keyword stays in the value", {"  TABELLADESTINAZIONE=ARTICOLI"}, conTabella("  ARTICOLI")},
        ScriptCase{"deletion on with field and value",
                   {"ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=CODICE", "VALORECAMPORIFERIMENTO=AABBCC"},
                   {"Tabella di destinazione = MANCANTE", "Elimina dati campo di riferimento = SI",
                    "Campo di riferimento = CODICE", "Valore di riferimento = AABBCC", "Controllo duplicati = NO",
                    "Aggiungi record = SI", "Aggiorna record = SI"}},
        ScriptCase{"NO after SI leaves deletion on",
                   {"ELIMINARECORDCAMPORIFERIMENTO=SI", "ELIMINARECORDCAMPORIFERIMENTO=NO"},
                   {"Tabella di destinazione = MANCANTE", "Elimina dati campo di riferimento = SI",
                    "Campo di riferimento = ", "Valore di riferimento = ", "Controllo duplicati = NO",
                    "Aggiungi record = SI", "Aggiorna record = SI"}},
        ScriptCase{"lower-case values change nothing",
                   {"CONTROLLODUPLICATI=si", "AGGIUNGI=no", "AGGIORNA=No"}, kDefault},
        ScriptCase{"switches",
                   {"CONTROLLODUPLICATI=SI", "AGGIUNGI=NO", "AGGIORNA=NO;"},
                   {"Tabella di destinazione = MANCANTE", "Elimina dati campo di riferimento = NO",
                    "Controllo duplicati = SI", "Aggiungi record = NO", "Aggiorna record = NO"}},
        ScriptCase{"AGGIUNGI= inside a constant line wins", {"ASSEGNAVALORE=NOTE;AGGIUNGI=SI"}, kDefault},
        ScriptCase{"ESCLUSIONIAGGIORNA= is not AGGIORNA=",
                   {"ESCLUSIONIAGGIORNA=DESCRIZIONE1;DESCRIZIONE2"},
                   kDefault + QStringList{"", "- CAMPI ESCLUSI DALL'AGGIORNAMENTO:", ". DESCRIZIONE1", ". DESCRIZIONE2"}},
        ScriptCase{"name lists: blanks separate, quotes enclose, later replaces",
                   {"AGGIORNAPERS=X", "AGGIORNAPERS=CODICE;\"DUE PAROLE\" TRE"},
                   kDefault + QStringList{"", "- CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO:", ". CODICE", ". DUE PAROLE", ". TRE"}},
        ScriptCase{"percentages with point, comma, garbage and sign",
                   {"AUMENTOPERCENTUALE=PREZZO;10.5", "AUMENTOPERCENTUALE=COSTO;10,5", "AUMENTOPERCENTUALE=A;abc",
                    "AUMENTOPERCENTUALE=B;-5", "AUMENTOPERCENTUALE=C;1.000,5"},
                   kDefault + QStringList{"", "- AUMENTI PERCENTUALI:", "PREZZO = 10,50", "COSTO = 10,50", "A = 0,00",
                                          "B = -5,00", "C = 0,00"}},
        ScriptCase{"constants: quotes removed, no semicolon means no field",
                   {"ASSEGNAVALORE=NOTE;'TEST'", "ASSEGNAVALORE=NOTE;", "ASSEGNAVALORE=INFO3;IMPORT30052020",
                    "ASSEGNAVALORE=X;'"},
                   kDefault + QStringList{"", "- ASSEGNAZIONI COSTANTI:", "NOTE = TEST", " = NOTE", "INFO3 = IMPORT30052020", "X = "}},
        ScriptCase{"generated field", {"CAMPOAUTOINCREMENTATO=ID;IDCOUNTER"},
                   kDefault + QStringList{"Campo autoincrementato = ID (generatore: IDCOUNTER)"}},
        ScriptCase{"generated field without semicolon is none", {"CAMPOAUTOINCREMENTATO=ID"}, kDefault},
        ScriptCase{"generator without field is none", {"CAMPOAUTOINCREMENTATO=;GEN"}, kDefault},
        ScriptCase{"generated field with a missing generator is kept", {"CAMPOAUTOINCREMENTATO=ID;"},
                   kDefault + QStringList{"Campo autoincrementato = ID (generatore: )"}},
        ScriptCase{"supplier code sets field and value",
                   {"ELIMINARECORDCAMPORIFERIMENTO=SI", "CODICEFORNITORE=F001"},
                   {"Tabella di destinazione = MANCANTE", "Elimina dati campo di riferimento = SI",
                    "Campo di riferimento = CODICEFORNITORE", "Valore di riferimento = F001", "Controllo duplicati = NO",
                    "Aggiungi record = SI", "Aggiorna record = SI"}},
        ScriptCase{"empty reference field", {"ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=", "VALORECAMPORIFERIMENTO=X"},
                   {"Tabella di destinazione = MANCANTE", "Elimina dati campo di riferimento = SI",
                    "Campo di riferimento = ", "Valore di riferimento = X", "Controllo duplicati = NO",
                    "Aggiungi record = SI", "Aggiorna record = SI"}},
        ScriptCase{"line-break tag", {"IMPORTMEMOESTESICONTAGCR=||||"},
                   kDefault + QStringList{"Import memo estesi con tag CR = \"||||\""}},
        ScriptCase{"help example 1 whole",
                   {"TABELLADESTINAZIONE=PROVA2", "ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=CODICE",
                    "VALORECAMPORIFERIMENTO=AABBCC", "CONTROLLODUPLICATI=NO", "AGGIUNGI=SI", "AGGIORNA=SI",
                    "AUMENTOPERCENTUALE=VALORE1;50,2", "ASSEGNAVALORE=NOTE;TEST", "CAMPOAUTOINCREMENTATO=ID;IDCOUNTER",
                    "AGGIORNAPERS=CODICE;ESTENSIONE", "ESCLUSIONIAGGIORNA=DESCRIZIONE1;DESCRIZIONE2",
                    "IMPORTMEMOESTESICONTAGCR=||||"},
                   {"Tabella di destinazione = PROVA2", "Elimina dati campo di riferimento = SI",
                    "Campo di riferimento = CODICE", "Valore di riferimento = AABBCC", "Controllo duplicati = NO",
                    "Aggiungi record = SI", "Aggiorna record = SI", "Campo autoincrementato = ID (generatore: IDCOUNTER)",
                    "", "- AUMENTI PERCENTUALI:", "VALORE1 = 50,20", "", "- ASSEGNAZIONI COSTANTI:", "NOTE = TEST", "",
                    "- CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO:", ". CODICE", ". ESTENSIONE", "",
                    "- CAMPI ESCLUSI DALL'AGGIORNAMENTO:", ". DESCRIZIONE1", ". DESCRIZIONE2",
                    "Import memo estesi con tag CR = \"||||\""}}),
    [](const ::testing::TestParamInfo<ScriptCase> &info) { return "case" + std::to_string(info.index); });

struct NomiCase
{
    const char *valore;
    QStringList nomi;
};

class ElencoNomi : public ::testing::TestWithParam<NomiCase> {};

TEST_P(ElencoNomi, splitsLikeTheScriptAlwaysHas)
{
    QStringList attesi;
    for (const QString &n : GetParam().nomi)
        attesi << test::conControlli(n.toUtf8().constData());
    const QString valore = test::conControlli(GetParam().valore);
    EXPECT_EQ(test::entroSecondi(10, [&] { return dividiElencoNomi(valore); }), attesi);
}

// A NUL used to stop the name and then the reader, which went on adding
// empty names forever; it is now part of the name, which no field has.
INSTANTIATE_TEST_SUITE_P(Cases, ElencoNomi,
                         ::testing::Values(NomiCase{"", {}}, NomiCase{"A", {"A"}}, NomiCase{"A;B", {"A", "B"}},
                                           NomiCase{"A,B", {"A", "B"}}, NomiCase{" A  B ", {"A", "B"}},
                                           NomiCase{"A;;B", {"A", "", "B"}}, NomiCase{"A;", {"A", ""}},
                                           NomiCase{"\"A B\";C", {"A B", "C"}},
                                           NomiCase{"CODICE{00}", {"CODICE{00}"}}, NomiCase{"{00}", {"{00}"}},
                                           NomiCase{"{00}{00}{00}", {"{00}{00}{00}"}},
                                           NomiCase{"A;{00};B", {"A", "{00}", "B"}},
                                           NomiCase{"A {00}", {"A", "{00}"}}, NomiCase{"{00},", {"{00}", ""}},
                                           NomiCase{"\"A{00}", {"A{00}"}}, NomiCase{"\"A\"{00}B", {"A", "{00}B"}},
                                           NomiCase{"A{01}B", {"A", "B"}}, NomiCase{"{1F}A{7F}", {"A{7F}"}},
                                           NomiCase{";;", {"", "", ""}}, NomiCase{"\"", {""}}));

struct VisibileCase
{
    const char *testo;
    const char *visibile;
};

class TestoVisibile : public ::testing::TestWithParam<VisibileCase> {};

TEST_P(TestoVisibile, showsControlCharactersAsCodes)
{
    EXPECT_EQ(testoVisibile(test::conControlli(GetParam().testo)), QString::fromUtf8(GetParam().visibile));
    EXPECT_EQ(haCaratteriControllo(test::conControlli(GetParam().testo)),
              QByteArray(GetParam().testo) != QByteArray(GetParam().visibile));
}

INSTANTIATE_TEST_SUITE_P(Cases, TestoVisibile,
                         ::testing::Values(VisibileCase{"CODICE", "CODICE"}, VisibileCase{"Città €", "Città €"},
                                           VisibileCase{"CODICE{00}", "CODICE\\x00"},
                                           VisibileCase{"A{09}B{0D}{0A}", "A\\x09B\\x0D\\x0A"},
                                           VisibileCase{"{7F}{81}{9F}{A0}", "\\x7F\\x81\\x9F\u00A0"}));

class FileScript : public ::testing::Test
{
protected:
    vardof::test::TempDir dir;
    QString path() const { return dir.file("listino.txt"); }
    QString erroreDi()
    {
        try {
            leggiRigheScript(path());
        } catch (const ScriptFileError &e) {
            return e.message();
        }
        return QString();
    }
};

TEST_F(FileScript, missingFileIsReported)
{
    EXPECT_EQ(erroreDi(), "File di script \"" + path() + "\" non trovato");
}

TEST_F(FileScript, firstLineMustBeExactlyTheCommand)
{
    const QString nonValido = "File di script \"" + path() + "\" non valido:\nLa prima riga deve essere il comando \"[SCRIPT]\"";
    for (const char *prima : {"[SCRIPT] ", "[script]", " [SCRIPT]", "", "TABELLADESTINAZIONE=A"}) {
        scriviFile(path(), {QString::fromUtf8(prima), "TABELLADESTINAZIONE=A"});
        EXPECT_EQ(erroreDi(), nonValido) << prima;
    }
    scriviByte(path(), QByteArray());
    EXPECT_EQ(erroreDi(), nonValido);
}

TEST_F(FileScript, readsLfAndCrLfLinesInTheCodePage)
{
    scriviByte(path(), "[SCRIPT]\nTABELLADESTINAZIONE=A\r\nASSEGNAVALORE=NOTE;Citt\xE0\n");
    EXPECT_EQ(leggiRigheScript(path()), (QStringList{"TABELLADESTINAZIONE=A", QString::fromUtf8("ASSEGNAVALORE=NOTE;Città")}));
}

} // namespace
} // namespace vardof::importcsv
