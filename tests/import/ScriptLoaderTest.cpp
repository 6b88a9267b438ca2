// Checking a script against a real catalogue: the first irregularity found,
// in the order the checks run, and the descriptors a good script yields.

#include "ImportTestSupport.h"

#include "db/Error.h"

#include <gtest/gtest.h>

namespace vardof::importcsv {
namespace {

struct CheckCase
{
    const char *nome;
    QStringList script;        // after "[SCRIPT]"
    QStringList memoScriptExtra; // lines after the summary
    QStringList memoRiepilogo;
    bool valido;
};

void PrintTo(const CheckCase &c, std::ostream *os) { *os << c.nome; }

class ControlliScript : public test::ImportFixture, public ::testing::WithParamInterface<CheckCase> {};
class CaricaScript : public test::ImportFixture {};

TEST_P(ControlliScript, reportsTheFirstIrregularity)
{
    const CheckCase &c = GetParam();
    const CaricamentoScript r = carica(QStringList{"[SCRIPT]"} + c.script, {});
    const QStringList riepilogo = riepilogoScript(r.parametri);
    EXPECT_EQ(r.memoScript, riepilogo + c.memoScriptExtra);
    EXPECT_EQ(r.memoRiepilogo, c.memoRiepilogo);
    EXPECT_EQ(r.valido, c.valido);
    if (!c.valido) {
        EXPECT_TRUE(r.colonne.isEmpty());
        EXPECT_TRUE(r.chiavi.isEmpty());
    }
}

const QString kSenzaChiavi = "La Tabella di destinazione non ha campi chiave: se non si compila l'elenco dei campi da controllare per l'aggiornamento non sarà possibile effettuare operazione di aggiornamento e nemmeno il controllo dei duplicati";

INSTANTIATE_TEST_SUITE_P(
    Cases, ControlliScript,
    ::testing::Values(
        CheckCase{"deletion without field", {"TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI", "VALORECAMPORIFERIMENTO=X"},
                  {"L'opzione \"Elimina dati campo di riferimento\" richiede un valore per \"Campo di riferimento\""}, {}, false},
        CheckCase{"deletion without value", {"TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=CODICE"},
                  {"L'opzione \"Elimina dati campo di riferimento\" richiede un valore per \"Valore di riferimento\""}, {}, false},
        CheckCase{"no table", {"AGGIUNGI=SI"}, {"Il parametro \"Tabella di destinazione\" deve essere valorizzato"}, {}, false},
        CheckCase{"table missing", {"TABELLADESTINAZIONE=NESSUNA"}, {}, {"Tabella di destinazione inesistente"}, false},
        CheckCase{"table name case matters", {"TABELLADESTINAZIONE=articoli"}, {}, {"Tabella di destinazione inesistente"}, false},
        CheckCase{"quote in table name is not SQL", {"TABELLADESTINAZIONE=A' OR '1'='1"}, {}, {"Tabella di destinazione inesistente"}, false},
        CheckCase{"neither add nor update", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIUNGI=NO", "AGGIORNA=NO"}, {},
                  {"L'acquisizione del file non può avvenire se sono escluse sia le operazioni di aggiunta che di aggiornamento"}, false},
        CheckCase{"update without keys", {"TABELLADESTINAZIONE=MOVIMENTI"}, {}, {kSenzaChiavi}, false},
        CheckCase{"duplicate check without keys", {"TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO", "CONTROLLODUPLICATI=SI"}, {}, {kSenzaChiavi}, false},
        CheckCase{"add only without keys is fine", {"TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO"}, {}, {}, true},
        CheckCase{"percentage on a key",
                  {"TABELLADESTINAZIONE=LISTINO", "AUMENTOPERCENTUALE=CODICE;5"}, {},
                  {"I campi presenti nella sezione \"ASSEGNAZIONI COSTANTI\" non dovrebbero far parte dei campi chiave e nemmeno comparire nella sezione \"AUMENTI PERCENTUALI\"",
                   "(Vedi campo CODICE)"}, false},
        CheckCase{"percentage on the generated field",
                  {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=CODICE", "CAMPOAUTOINCREMENTATO=QTA;CONTATOREIDLISTINO", "AUMENTOPERCENTUALE=QTA;5"}, {},
                  {"Il campo auto incrementato non dovrebbe comparire nella sezione \"AUMENTI PERCENTUALI\"", "(Vedi campo QTA)"}, false},
        CheckCase{"constant on a key",
                  {"TABELLADESTINAZIONE=LISTINO", "ASSEGNAVALORE=ID;5"}, {},
                  {"I campi presenti nella sezione \"ASSEGNAZIONI COSTANTI\" non dovrebbero far parte dei campi chiave e nemmeno comparire nella sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\"",
                   "(Vedi campo ID)"}, false},
        CheckCase{"constant on the generated field",
                  {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=CODICE", "CAMPOAUTOINCREMENTATO=ID;CONTATOREIDLISTINO", "ASSEGNAVALORE=ID;5"}, {},
                  {"Il campo auto incrementato non dovrebbe comparire nella sezione \"ASSEGNAZIONI COSTANTI\"", "(Vedi campo ID)"}, false},
        CheckCase{"constant on the primary key with custom keys is fine",
                  {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=CODICE", "ASSEGNAVALORE=ID;5"}, {}, {}, true},
        CheckCase{"generator missing (ID;)", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=ID;"}, {},
                  {"Il parametro \"Campo autoincrementato\" non è compilato in modo completo: manca il nome generatore"}, false},
        CheckCase{"generator unknown", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=ID;NESSUNO"}, {},
                  {"Il parametro \"Campo autoincrementato\" riporta un generatore inesistente"}, false},
        CheckCase{"generated key with update",
                  {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=ID", "CAMPOAUTOINCREMENTATO=ID;CONTATOREIDLISTINO"}, {},
                  {"Non è possibile effettuare l'aggiornamento e/o il controllo dei duplicati se il campo autoincrementato fa parte dei campi chiave o della sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\""}, false},
        CheckCase{"generated only key, add only, is fine",
                  {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=ID", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=ID;CONTATOREIDLISTINO"}, {}, {}, true},
        CheckCase{"generated field unknown", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=NIENTE;CONTATOREIDLISTINO"}, {},
                  {"Il parametro \"Campo autoincrementato\" riporta un campo inesistente"}, false},
        CheckCase{"percentage field unknown", {"TABELLADESTINAZIONE=ARTICOLI", "AUMENTOPERCENTUALE=COSTO;5"}, {},
                  {"Sezione \"AUMENTI PERCENTUALI\" non compilata in modo completo: il campo \"COSTO\" non esiste"}, false},
        CheckCase{"percentage not a number", {"TABELLADESTINAZIONE=ARTICOLI", "AUMENTOPERCENTUALE=PREZZO;abc"}, {},
                  {"Sezione \"AUMENTI PERCENTUALI\" non compilata in modo completo: il campo \"PREZZO\" non viene aumentato di una percentuale valida"}, false},
        CheckCase{"constant without field", {"TABELLADESTINAZIONE=ARTICOLI", "ASSEGNAVALORE=NOTE;"}, {},
                  {"Sezione \"ASSEGNAZIONI COSTANTI\" non compilata in modo completo: il campo \"\" non esiste"}, false},
        CheckCase{"constant empty", {"TABELLADESTINAZIONE=ARTICOLI", "ASSEGNAVALORE=NOTE;''"}, {},
                  {"Sezione \"ASSEGNAZIONI COSTANTI\" non compilata in modo completo: il campo \"NOTE\" non viene valorizzato con nessuna costante"}, false},
        CheckCase{"custom key unknown", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIORNAPERS=CODICE;codice"}, {},
                  {"Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"codice\" non esiste"}, false},
        CheckCase{"exclusion unknown", {"TABELLADESTINAZIONE=ARTICOLI", "ESCLUSIONIAGGIORNA=NOTE;ALTRO"}, {},
                  {"Sezione \"CAMPI ESCLUSI DALL'AGGIORNAMENTO\" non compilata in modo corretto: il campo \"ALTRO\" non esiste"}, false},
        CheckCase{"generated field not integer", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=CODICE", "CAMPOAUTOINCREMENTATO=PREZZO;CONTATOREIDLISTINO"}, {},
                  {"Il campo autoincrementato \"PREZZO\" non è di tipo numerico intero"}, false},
        CheckCase{"percentage on an integer", {"TABELLADESTINAZIONE=LISTINO", "AUMENTOPERCENTUALE=QTA;5"}, {},
                  {"Il campo \"QTA\" presente nella sezione \"AUMENTI PERCENTUALI\" non è di tipo numerico decimale"}, false},
        CheckCase{"impossible date constant", {"TABELLADESTINAZIONE=ARTICOLI", "ASSEGNAVALORE=DATAULTIMOCARICO;31/02/2020"}, {},
                  {"Al campo \"DATAULTIMOCARICO\" che compare nella sezione \"ASSEGNAZIONI COSTANTI\" viene assegnata una costante non appropriata al tipo campo (Data)"}, false},
        CheckCase{"decimal constant with a point", {"TABELLADESTINAZIONE=ARTICOLI", "ASSEGNAVALORE=PREZZO;12.5"}, {},
                  {"Al campo \"PREZZO\" che compare nella sezione \"ASSEGNAZIONI COSTANTI\" viene assegnata una costante non appropriata al tipo campo (Decimale)"}, false},
        CheckCase{"integer constant beyond 32 bits", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=CODICE", "ASSEGNAVALORE=QTA;3000000000"}, {},
                  {"Al campo \"QTA\" che compare nella sezione \"ASSEGNAZIONI COSTANTI\" viene assegnata una costante non appropriata al tipo campo (Intero)"}, false},
        CheckCase{"time and timestamp constants", {"TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO", "ASSEGNAVALORE=ORA;25:00"}, {},
                  {"Al campo \"ORA\" che compare nella sezione \"ASSEGNAZIONI COSTANTI\" viene assegnata una costante non appropriata al tipo campo (Ora)"}, false},
        CheckCase{"timestamp constant", {"TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO", "ASSEGNAVALORE=MOMENTO;ieri"}, {},
                  {"Al campo \"MOMENTO\" che compare nella sezione \"ASSEGNAZIONI COSTANTI\" viene assegnata una costante non appropriata al tipo campo (DataOra)"}, false},
        CheckCase{"good constants of every kind",
                  {"TABELLADESTINAZIONE=MOVIMENTI", "AGGIORNA=NO", "ASSEGNAVALORE=ORA;10:30", "ASSEGNAVALORE=MOMENTO;01/02/2020 10:00",
                   "ASSEGNAVALORE=IMPORTO;12,5", "ASSEGNAVALORE=GRANDE;3000000000", "ASSEGNAVALORE=CAUSALE;12.5"}, {}, {}, true}),
    [](const ::testing::TestParamInfo<CheckCase> &info) { return "case" + std::to_string(info.index); });

// Scripts spoilt by a NUL, a control byte or an empty value: each load ends
// at once with the check's own line, and the window or the command then
// shows "Irregolarità nello script". Nothing is sent to the server with a
// control character in a name.
struct GuastoCase
{
    const char *nome;
    QStringList script;    // after "[SCRIPT]", {HH} for a control character
    const char *memo;      // the last line written, {HH} shown as \xHH
    bool inMemoScript;     // the line goes to MemoScript, not MemoRiepilogo
};

void PrintTo(const GuastoCase &c, std::ostream *os) { *os << c.nome; }

class ScriptGuasti : public test::ImportFixture, public ::testing::WithParamInterface<GuastoCase> {};

TEST_P(ScriptGuasti, endQuicklyWithTheCheckLine)
{
    const GuastoCase &c = GetParam();
    QStringList script{"[SCRIPT]"};
    for (const QString &riga : c.script)
        script << test::conControlli(riga.toUtf8().constData());
    const CaricamentoScript r = test::entroSecondi(20, [&] { return carica(script, {"A1;x"}); });
    EXPECT_FALSE(r.valido);
    const QStringList &memo = c.inMemoScript ? r.memoScript : r.memoRiepilogo;
    ASSERT_FALSE(memo.isEmpty());
    EXPECT_EQ(memo.last(), QString::fromUtf8(c.memo));
    EXPECT_TRUE(r.colonne.isEmpty());
}

const char *const kPersInesistente = "Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"%1\" non esiste";

std::string pers(const char *campo)
{
    return QString::fromUtf8(kPersInesistente).arg(QString::fromUtf8(campo)).toStdString();
}

const std::string kPersNul = pers("CODICE\\x00");
const std::string kPersVuoto = pers("");

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptGuasti,
    ::testing::Values(
        GuastoCase{"NUL after the custom key", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIORNAPERS=CODICE{00}"}, kPersNul.c_str(), false},
        GuastoCase{"NUL then more names", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIORNAPERS=CODICE{00};DESCRIZIONE"}, kPersNul.c_str(), false},
        GuastoCase{"NUL alone as custom key", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIORNAPERS={00}"}, "Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"\\x00\" non esiste", false},
        GuastoCase{"NUL after the exclusions keyword", {"TABELLADESTINAZIONE=ARTICOLI", "ESCLUSIONIAGGIORNA={00}"},
                   "Sezione \"CAMPI ESCLUSI DALL'AGGIORNAMENTO\" non compilata in modo corretto: il campo \"\\x00\" non esiste", false},
        GuastoCase{"NULs between exclusions", {"TABELLADESTINAZIONE=ARTICOLI", "ESCLUSIONIAGGIORNA=NOTE;{00}{00};DESCRIZIONE"},
                   "Sezione \"CAMPI ESCLUSI DALL'AGGIORNAMENTO\" non compilata in modo corretto: il campo \"\\x00\\x00\" non esiste", false},
        GuastoCase{"NUL in the table name", {"TABELLADESTINAZIONE=ARTICOLI{00}"}, "Tabella di destinazione inesistente", false},
        GuastoCase{"NUL as the whole line", {"{00}", "TABELLADESTINAZIONE=NESSUNA{00}X"}, "Tabella di destinazione inesistente", false},
        GuastoCase{"NUL in the generator", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=CODICE", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=ID;CONTATOREIDLISTINO{00}"},
                   "Il parametro \"Campo autoincrementato\" riporta un generatore inesistente", false},
        GuastoCase{"NUL in the generated field", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNAPERS=CODICE", "AGGIORNA=NO", "CAMPOAUTOINCREMENTATO=I{00}D;CONTATOREIDLISTINO"},
                   "Il parametro \"Campo autoincrementato\" riporta un campo inesistente", false},
        GuastoCase{"NUL in a percentage field", {"TABELLADESTINAZIONE=ARTICOLI", "AUMENTOPERCENTUALE=PRE{00}ZZO;10"},
                   "Sezione \"AUMENTI PERCENTUALI\" non compilata in modo completo: il campo \"PRE\\x00ZZO\" non esiste", false},
        GuastoCase{"control byte before a constant field", {"TABELLADESTINAZIONE=ARTICOLI", "ASSEGNAVALORE={01}NOTE;X"},
                   "Sezione \"ASSEGNAZIONI COSTANTI\" non compilata in modo completo: il campo \"\\x01NOTE\" non esiste", false},
        GuastoCase{"control byte splits a key name", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIORNAPERS=CO{01}DICE"},
                   "Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"CO\" non esiste", false},
        GuastoCase{"DEL and C1 bytes stay in the name", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIORNAPERS=CODICE{7F}{81}"},
                   "Sezione \"CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO\" non compilata in modo corretto: il campo \"CODICE\\x7F\\x81\" non esiste", false},
        GuastoCase{"empty custom keys", {"TABELLADESTINAZIONE=ARTICOLI", "AGGIORNAPERS=;;"}, kPersVuoto.c_str(), false},
        GuastoCase{"empty quoted exclusion", {"TABELLADESTINAZIONE=ARTICOLI", "ESCLUSIONIAGGIORNA=\"\""},
                   "Sezione \"CAMPI ESCLUSI DALL'AGGIORNAMENTO\" non compilata in modo corretto: il campo \"\" non esiste", false},
        GuastoCase{"empty constant entry", {"TABELLADESTINAZIONE=ARTICOLI", "ASSEGNAVALORE="},
                   "Sezione \"ASSEGNAZIONI COSTANTI\" non compilata in modo completo: il campo \"\" non esiste", false},
        GuastoCase{"empty percentage entry", {"TABELLADESTINAZIONE=ARTICOLI", "AUMENTOPERCENTUALE=PREZZO;;"},
                   "Sezione \"AUMENTI PERCENTUALI\" non compilata in modo completo: il campo \"PREZZO\" non viene aumentato di una percentuale valida", false},
        GuastoCase{"empty table", {"TABELLADESTINAZIONE="}, "Il parametro \"Tabella di destinazione\" deve essere valorizzato", true},
        GuastoCase{"empty reference field", {"TABELLADESTINAZIONE=ARTICOLI", "ELIMINARECORDCAMPORIFERIMENTO=SI", "CAMPORIFERIMENTO=", "VALORECAMPORIFERIMENTO=X"},
                   "L'opzione \"Elimina dati campo di riferimento\" richiede un valore per \"Campo di riferimento\"", true}),
    [](const ::testing::TestParamInfo<GuastoCase> &info) { return "case" + std::to_string(info.index); });

TEST_F(CaricaScript, controlCharactersShowInTheSummary)
{
    const CaricamentoScript r = carica({"[SCRIPT]", test::conControlli("TABELLADESTINAZIONE=ART{00}ICOLI")}, {});
    EXPECT_EQ(r.memoScript.first(), "Tabella di destinazione = ART\\x00ICOLI");
}

TEST_F(CaricaScript, keysFromEveryUniqueIndexTogether)
{
    const CaricamentoScript r = carica({"[SCRIPT]", "TABELLADESTINAZIONE=LISTINO"}, {});
    ASSERT_TRUE(r.valido) << r.memoRiepilogo.join('\n').toStdString();
    ASSERT_EQ(r.chiavi.size(), 2);
    EXPECT_EQ(r.chiavi[0].nome, "CODICE");
    EXPECT_EQ(r.chiavi[0].posizione, 1);
    EXPECT_EQ(r.chiavi[0].tipo, TipoTesto);
    EXPECT_EQ(r.chiavi[1].nome, "ID");
    EXPECT_EQ(r.chiavi[1].posizione, 0);
    EXPECT_EQ(r.chiavi[1].tipo, TipoIntero);
}

TEST_F(CaricaScript, columnDescriptorsCarryKindAndRole)
{
    const CaricamentoScript r = carica({"[SCRIPT]", "TABELLADESTINAZIONE=ARTICOLI", "AUMENTOPERCENTUALE=PREZZO;10",
                                        "ASSEGNAVALORE=UNITAMISURA;'PZ'", "ESCLUSIONIAGGIORNA=DESCRIZIONE"},
                                       {});
    ASSERT_TRUE(r.valido) << r.memoRiepilogo.join('\n').toStdString();
    ASSERT_EQ(r.colonne.size(), 8);
    struct Atteso { const char *nome; TipoCampo tipo; RuoloCampo ruolo; };
    const Atteso attesi[] = {
        {"CODICE", TipoTesto, RuoloOrdinario}, {"DESCRIZIONE", TipoTesto, RuoloEsclusoAggiornamento},
        {"UNITAMISURA", TipoTesto, RuoloCostante}, {"PREZZO", TipoDecimale, RuoloAumentoPercentuale},
        {"ALIQUOTAIVA", TipoDecimale, RuoloOrdinario}, {"GIACENZA", TipoDecimale, RuoloOrdinario},
        {"DATAULTIMOCARICO", TipoData, RuoloOrdinario}, {"NOTE", TipoTesto, RuoloOrdinario}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(r.colonne[i].posizione, i);
        EXPECT_EQ(r.colonne[i].nome, attesi[i].nome);
        EXPECT_EQ(r.colonne[i].tipo, attesi[i].tipo) << attesi[i].nome;
        EXPECT_EQ(r.colonne[i].ruolo, attesi[i].ruolo) << attesi[i].nome;
    }
    EXPECT_EQ(r.colonne[2].costante, "PZ");
    EXPECT_EQ(r.colonne[3].percentuale, 10.0);
    ASSERT_EQ(r.chiavi.size(), 1);
    EXPECT_EQ(r.chiavi[0].nome, "CODICE");
}

TEST_F(CaricaScript, aTableHeldOnlyInLowerCaseIsTheOneNamed)
{
    // Held quoted: the statements of the load name it quoted too, where an
    // unquoted one would have asked the server for MINUSCOLA.
    exec("CREATE TABLE \"minuscola\" (A INTEGER NOT NULL PRIMARY KEY)");
    test::scriviFile(file("x.csv"), {});
    test::scriviFile(file("x.txt"), {"[SCRIPT]", "TABELLADESTINAZIONE=minuscola"});
    CaricamentoScript r;
    ScriptLoader(att(), tra()).carica(file("x.txt"), r);
    EXPECT_EQ(r.memoScript.first(), "Tabella di destinazione = minuscola");
    EXPECT_TRUE(r.valido) << r.memoRiepilogo.join('\n').toStdString();
    ASSERT_EQ(r.colonne.size(), 1);
    EXPECT_EQ(r.colonne[0].nome, "A");
    ASSERT_EQ(r.chiavi.size(), 1);
    EXPECT_EQ(r.chiavi[0].nome, "A");
}

} // namespace
} // namespace vardof::importcsv
