// The wizard's checks, the script it writes, and that the script reads back
// to the same parameters.

#include "ImportTestSupport.h"

#include "import/WizardScript.h"

#include <gtest/gtest.h>

namespace vardof::importcsv {
namespace {

ComposizioneWizard base()
{
    ComposizioneWizard c;
    c.tabella = "LISTINO";
    return c;
}

struct WizardCase
{
    const char *nome;
    std::function<void(ComposizioneWizard &)> componi;
    QStringList chiaviIndici;
    QString messaggio;
    FuocoWizard fuoco;
};

void PrintTo(const WizardCase &c, std::ostream *os) { *os << c.nome; }

class ControlliWizard : public ::testing::TestWithParam<WizardCase> {};

TEST_P(ControlliWizard, firstFailingCheckSpeaks)
{
    ComposizioneWizard c = base();
    GetParam().componi(c);
    const VerificaWizard v = verificaComposizione(c, GetParam().chiaviIndici);
    EXPECT_EQ(v.messaggio, GetParam().messaggio);
    EXPECT_EQ(v.fuoco, GetParam().fuoco);
}

const QStringList kChiavi{"ID", "CODICE"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ControlliWizard,
    ::testing::Values(
        WizardCase{"no table", [](auto &c) { c.tabella.clear(); }, kChiavi, "E' necessario indicare la tabella", FuocoWizard::Tabella},
        WizardCase{"deletion no field", [](auto &c) { c.elimina = true; c.valoreRiferimento = "X"; }, kChiavi,
                   "E' necessario indicare il campo di riferimento per le eliminazioni", FuocoWizard::CampoRiferimento},
        WizardCase{"deletion no value", [](auto &c) { c.elimina = true; c.campoRiferimento = "CODICE"; }, kChiavi,
                   "E' necessario indicare il valore da ricercare nel campo di riferimento per le eliminazioni", FuocoWizard::ValoreRiferimento},
        WizardCase{"neither switch", [](auto &c) { c.aggiorna = c.aggiungi = false; }, kChiavi,
                   "L'acquisizione del file non può avvenire se sono escluse sia le operazioni di aggiunta che di aggiornamento", FuocoWizard::Nessuno},
        WizardCase{"add only without keys", [](auto &c) { c.aggiorna = false; }, {}, "", FuocoWizard::Nessuno},
        WizardCase{"update without keys", [](auto &) {}, {},
                   "La Tabella di destinazione non ha campi chiave e l'elenco dei campi da controllare per l'aggiornamento non è compilato: non sarà pertanto possibile effettuare operazione di aggiornamento e nemmeno il controllo dei duplicati",
                   FuocoWizard::Nessuno},
        WizardCase{"generated key", [](auto &c) { c.campoGenerato = "ID"; c.generatore = "G"; }, kChiavi,
                   "Non è possibile effettuare l'aggiornamento e/o il controllo dei duplicati se il campo autoincrementato fa parte dei campi chiave o dell'elenco dei campi da controllare per l'aggiornamento",
                   FuocoWizard::Nessuno},
        WizardCase{"percentage on key", [](auto &c) { c.aumenti = {{"CODICE", 5}}; }, kChiavi,
                   "Il campo univoco \"CODICE\" non può comparire nella sezione degli aumenti percentuali", FuocoWizard::Nessuno},
        WizardCase{"constant on key", [](auto &c) { c.valori = {{"ID", "5"}}; }, kChiavi,
                   "Il campo univoco \"ID\" non può comparire nella sezione delle assegnazioni costanti", FuocoWizard::Nessuno},
        WizardCase{"constant on key checked even when adding only", [](auto &c) { c.aggiorna = false; c.valori = {{"ID", "5"}}; }, kChiavi,
                   "Il campo univoco \"ID\" non può comparire nella sezione delle assegnazioni costanti", FuocoWizard::Nessuno},
        WizardCase{"custom keys replace the index fields", [](auto &c) { c.aggiornaPersonalizzato = {"CODICE"}; c.valori = {{"ID", "5"}}; },
                   kChiavi, "", FuocoWizard::Nessuno},
        WizardCase{"percentage on generated", [](auto &c) { c.aggiornaPersonalizzato = {"CODICE"}; c.campoGenerato = "QTA"; c.generatore = "G"; c.aumenti = {{"QTA", 1}}; },
                   kChiavi, "Il campo autoincrementato \"QTA\" non può comparire nella sezione degli aumenti percentuali", FuocoWizard::Nessuno},
        WizardCase{"constant on generated", [](auto &c) { c.aggiornaPersonalizzato = {"CODICE"}; c.campoGenerato = "QTA"; c.generatore = "G"; c.valori = {{"QTA", "1"}}; },
                   kChiavi, "Il campo autoincrementato \"QTA\" non può comparire nella sezione delle assegnazioni costanti", FuocoWizard::Nessuno},
        WizardCase{"generated field without generator", [](auto &c) { c.aggiorna = false; c.campoGenerato = "ID"; }, kChiavi,
                   "E' necessario indicare il nome del generatore per il campo auto-incrementato", FuocoWizard::Generatore},
        WizardCase{"tag ticked but empty", [](auto &c) { c.tagAttivo = true; }, kChiavi,
                   "L'import memo estesi con tag CR necessita l'indicazione del tag da riconoscere", FuocoWizard::Tag}),
    [](const ::testing::TestParamInfo<WizardCase> &info) { return "case" + std::to_string(info.index); });

struct AumentoCase
{
    const char *testo;
    const char *messaggio;
};

class AumentoWizard : public ::testing::TestWithParam<AumentoCase> {};

TEST_P(AumentoWizard, acceptsOnlyUsablePercentages)
{
    double p = 0;
    EXPECT_EQ(verificaAumento({}, "PREZZO", QString::fromUtf8(GetParam().testo), p), QString::fromUtf8(GetParam().messaggio));
}

INSTANTIATE_TEST_SUITE_P(Cases, AumentoWizard,
                         ::testing::Values(AumentoCase{"0,009", "Indicare una percentuale numerica valida e non nulla"},
                                           AumentoCase{"0,01", ""}, AumentoCase{"-5", ""}, AumentoCase{"", "Indicare una percentuale"},
                                           AumentoCase{"abc", "Indicare una percentuale numerica valida e non nulla"},
                                           AumentoCase{"0", "Indicare una percentuale numerica valida e non nulla"}));

TEST(ListeWizard, refuseBlankAndRepeatedFields)
{
    double p = 0;
    EXPECT_EQ(verificaAumento({}, "", "5", p), "Indicare un campo");
    EXPECT_EQ(verificaAumento({{"PREZZO", 1}}, "PREZZO", "5", p), "Il campo indicato è già nell'elenco degli aumenti percentuali");
    EXPECT_EQ(verificaValore({{"NOTE", "x"}}, "NOTE", "y"), "Il campo indicato è già nell'elenco delle assegnazioni valori");
    EXPECT_EQ(verificaValore({}, "NOTE", ""), "Indicare un valore");
    EXPECT_EQ(verificaCampoPersonalizzato({"A"}, "A"), "Il campo indicato è già nell'elenco dell'aggiornamento personalizzato");
    EXPECT_EQ(verificaCampoPersonalizzato({"A"}, "a"), "");
    EXPECT_EQ(verificaEsclusione({"A"}, "A"), "Il campo indicato è già nell'elenco delle esclusioni aggiornamenti");
    EXPECT_EQ(verificaEsclusione({}, ""), "Indicare un campo");
}

TEST(ScriptWizard, writesOnlyWhatWasChosen)
{
    ComposizioneWizard c = base();
    c.aggiorna = false;
    EXPECT_EQ(righeScript(c), (QStringList{"[SCRIPT]", "TABELLADESTINAZIONE=LISTINO", "AGGIUNGI=SI", "AGGIORNA=NO"}));
}

TEST(ScriptWizard, everySectionReadsBackToTheSameParameters)
{
    ComposizioneWizard c = base();
    c.elimina = true;
    c.campoRiferimento = "INFO3";
    c.valoreRiferimento = "FORN'1";
    c.controlloDuplicati = true;
    c.campoGenerato = "ID";
    c.generatore = "CONTATOREIDLISTINO";
    c.aumenti = {{"PREZZO", 10.5}, {"COSTO", -5}};
    c.valori = {{"INFO3", "'IMPORT'"}, {"NOTE", "uno due"}};
    c.aggiornaPersonalizzato = {"CODICE", "ALTRO"};
    c.esclusioni = {"DESCRIZIONE1", "DESCRIZIONE2"};
    c.tagAttivo = true;
    c.tag = "||";
    const QStringList righe = righeScript(c);
    EXPECT_EQ(righe, (QStringList{"[SCRIPT]", "TABELLADESTINAZIONE=LISTINO", "ELIMINARECORDCAMPORIFERIMENTO=SI",
                                  "CAMPORIFERIMENTO=INFO3", "VALORECAMPORIFERIMENTO=FORN'1", "CONTROLLODUPLICATI=SI",
                                  "AGGIUNGI=SI", "AGGIORNA=SI", "CAMPOAUTOINCREMENTATO=ID;CONTATOREIDLISTINO",
                                  "AUMENTOPERCENTUALE=PREZZO;10,5", "AUMENTOPERCENTUALE=COSTO;-5",
                                  "ASSEGNAVALORE=INFO3;'IMPORT'", "ASSEGNAVALORE=NOTE;uno due", "AGGIORNAPERS=CODICE;ALTRO",
                                  "ESCLUSIONIAGGIORNA=DESCRIZIONE1;DESCRIZIONE2", "IMPORTMEMOESTESICONTAGCR=||"}));
    const TParametriScript p = analizzaScript(righe.mid(1));
    EXPECT_EQ(p.tabellaDestinazione, "LISTINO");
    EXPECT_TRUE(p.eliminaRecordCampoRiferimento);
    EXPECT_EQ(p.campoRiferimento, "INFO3");
    EXPECT_EQ(p.valoreCampoRiferimento, "FORN'1");
    EXPECT_TRUE(p.controlloDuplicati);
    EXPECT_TRUE(p.aggiungi);
    EXPECT_TRUE(p.aggiorna);
    EXPECT_EQ(p.campoAutoIncrementato.campo, "ID");
    EXPECT_EQ(p.campoAutoIncrementato.generatore, "CONTATOREIDLISTINO");
    ASSERT_EQ(p.aumentiPercentuali.size(), 2);
    EXPECT_EQ(p.aumentiPercentuali[0].percentuale, 10.5);
    EXPECT_EQ(p.aumentiPercentuali[1].percentuale, -5);
    ASSERT_EQ(p.assegnaValori.size(), 2);
    EXPECT_EQ(p.assegnaValori[0].costante, "IMPORT");
    EXPECT_EQ(p.assegnaValori[1].costante, "uno due");
    EXPECT_EQ(p.aggiornaPersonalizzato, (QStringList{"CODICE", "ALTRO"}));
    EXPECT_EQ(p.esclusioniAggiorna, (QStringList{"DESCRIZIONE1", "DESCRIZIONE2"}));
    EXPECT_EQ(p.tagCR, "||");
}

TEST(ScriptWizard, generatorWithoutFieldSetsNothingWhenReadBack)
{
    ComposizioneWizard c = base();
    c.aggiorna = false;
    c.generatore = "G";
    const QStringList righe = righeScript(c);
    EXPECT_TRUE(righe.contains("CAMPOAUTOINCREMENTATO=;G"));
    EXPECT_TRUE(analizzaScript(righe).campoAutoIncrementato.campo.isEmpty());
}

// A list of fields is read back split at blanks and commas: a catalogue
// name holding one (or a double quote) must come back whole. (A ";" the
// reader takes as a comma even between quotes: such a name comes back cut
// and the load says the field does not exist.)
TEST(ScriptWizard, listNamesReadBackWhole)
{
    const QStringList casi[] = {{"CODICE"}, {"c o", "CODICE"}, {"nome,x"}, {"q\"uote", "a  b"}, {"'--", "X"}};
    for (const QStringList &nomi : casi) {
        ComposizioneWizard c = base();
        c.aggiornaPersonalizzato = nomi;
        c.esclusioni = nomi;
        const TParametriScript p = analizzaScript(righeScript(c).mid(1));
        EXPECT_EQ(p.aggiornaPersonalizzato, nomi);
        EXPECT_EQ(p.esclusioniAggiorna, nomi);
    }
}

class CatalogoWizard : public test::ImportFixture {};

// What the wizard composes on a table and fields held quoted loads again
// on exactly them.
TEST_F(CatalogoWizard, composedScriptOnQuotedNamesLoads)
{
    exec(R"(CREATE TABLE "zone x" ("c o" VARCHAR(5) NOT NULL PRIMARY KEY, "nome,x" VARCHAR(20), NOME VARCHAR(20)))");
    exec(R"(CREATE TABLE ZONE (COD VARCHAR(5) NOT NULL PRIMARY KEY))");
    EXPECT_TRUE(tabelleWizard(att(), tra()).contains("zone x"));
    EXPECT_EQ(campiTabellaWizard(att(), tra(), "zone x"), (QStringList{"c o", "nome,x", "NOME"}));
    EXPECT_EQ(chiaviIndiciWizard(att(), tra(), "zone x"), QStringList{"c o"});

    ComposizioneWizard c = base();
    c.tabella = "zone x";
    c.aggiorna = true;
    c.aggiornaPersonalizzato = {"c o"};
    c.esclusioni = {"nome,x"};
    test::scriviFile(file("z.csv"), {});
    test::scriviFile(file("z.txt"), righeScript(c));
    CaricamentoScript r;
    ScriptLoader(att(), tra()).carica(file("z.txt"), r);
    ASSERT_TRUE(r.valido) << r.memoRiepilogo.join('\n').toStdString();
    ASSERT_EQ(r.chiavi.size(), 1);
    EXPECT_EQ(r.chiavi[0].nome, "c o");
    ASSERT_EQ(r.colonne.size(), 3);
    EXPECT_EQ(r.colonne[1].ruolo, RuoloEsclusoAggiornamento);
    EXPECT_EQ(r.colonne[2].ruolo, RuoloOrdinario);
}

TEST_F(CatalogoWizard, listsComeFromTheCatalogue)
{
    const QStringList tabelle = tabelleWizard(att(), tra());
    EXPECT_EQ(tabelle, (QStringList{"ARTICOLI", "CHIAVECHAR", "LISTINO", "MOVIMENTI"}));
    EXPECT_EQ(generatoriWizard(att(), tra()), QStringList{"CONTATOREIDLISTINO"});
    EXPECT_EQ(campiTabellaWizard(att(), tra(), "LISTINO"), (QStringList{"ID", "CODICE", "PREZZO", "INFO3", "QTA"}));
    QStringList chiavi = chiaviIndiciWizard(att(), tra(), "LISTINO");
    chiavi.sort();
    EXPECT_EQ(chiavi, (QStringList{"CODICE", "ID"}));
}

} // namespace
} // namespace vardof::importcsv
