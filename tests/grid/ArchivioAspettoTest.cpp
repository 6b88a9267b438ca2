// The stored layouts on a real database: written and read back per user and
// situation, the settings and their defaults, the switch that turns
// remembering off, the search-dialog memory, the reset, the copy from
// another user and the cleanup.

#include "grid/ArchivioAspetto.h"

#include "db/Error.h"
#include "db/Statement.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::grid;

namespace {

class Archivio : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        CreaTabelleAspetto(att());
    }
    qint64 conta(const QString &sql)
    {
        db::Transaction t(att());
        return db::toInt64(*db::queryValue(att(), t, sql)).value_or(-1);
    }
};

ColonnaAttuale colonna(const char *nome, int larghezza, const char *titolo = "", int colore = 0, bool visibile = true)
{
    ColonnaAttuale c;
    c.nomeCampo = QString::fromLatin1(nome);
    c.origine = QStringLiteral("stoquer.") + QString::fromLatin1(nome);
    c.larghezza = larghezza;
    c.titolo = *titolo ? QString::fromLatin1(titolo) : c.nomeCampo;
    c.colore = colore;
    c.visibile = visibile;
    return c;
}

StatoOrdinamento singola(const char *nome, int direzione)
{
    StatoOrdinamento s;
    s.modo = ModoOrdinamento::Singolo;
    s.singola = ChiaveOrdinamento{QString::fromLatin1(nome), QStringLiteral("STOQUER.") + nome, 0, direzione};
    return s;
}

StatoOrdinamento multipla(std::initializer_list<std::pair<const char *, int>> chiavi)
{
    StatoOrdinamento s;
    s.modo = ModoOrdinamento::Multiplo;
    for (const auto &[nome, dir] : chiavi)
        s.lista.push_back({QString::fromLatin1(nome), QStringLiteral("STOQUER.") + nome, 0, dir});
    return s;
}

struct Layout
{
    ChiaveAspetto chiave;
    std::vector<ColonnaAttuale> colonne;
    StatoOrdinamento ordinamento;
};

} // namespace

TEST_F(Archivio, creationIsIdempotentAndMakesTheFourTables)
{
    CreaTabelleAspetto(att());
    for (const char *t : {"STOASP1", "STOPOS1", "SETGRID", "TABX"})
        EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME='%1'").arg(t)), 1)
            << t;
}

TEST_F(Archivio, layoutsOfTwoUsersAndTwoSituationsComeBackEachTheirOwn)
{
    const std::vector<Layout> layouts = {
        {{526, 1, 1},
         {colonna("codice", 60), colonna("titolo", 200, "Titolo della query", 0x00FF00), colonna("note", 90, "", 0, false)},
         singola("TITOLO", Crescente)},
        {{526, 3, 1},
         {colonna("titolo", 150), colonna("codice", 40, "Cod.")},
         multipla({{"TITOLO", Crescente}, {"CODICE", Decrescente}})},
        {{526, 1, 7},
         {colonna("note", 300, "Annotazioni", int(0x80000005u)), colonna("codice", 55)},
         singola("CODICE", Decrescente)},
        {{526, 3, 7}, {colonna("codice", 70)}, StatoOrdinamento{}},
    };
    const ArchivioAspetto a(att());
    for (const Layout &l : layouts)
        a.scrivi(l.chiave, l.colonne, l.ordinamento);

    for (const Layout &l : layouts) {
        SCOPED_TRACE(QStringLiteral("utente %1 situazione %2").arg(l.chiave.utente).arg(l.chiave.situazione).toStdString());
        const std::vector<RigaAspetto> righe = a.leggi(l.chiave);
        ASSERT_EQ(righe.size(), l.colonne.size());
        for (size_t i = 0; i < righe.size(); ++i) {
            const ColonnaAttuale &c = l.colonne[i];
            const RigaAspetto &r = righe[i];
            EXPECT_EQ(r.nomeCampo, c.nomeCampo.toUpper());
            EXPECT_EQ(r.posizione, int(i));
            EXPECT_EQ(r.larghezza, double(c.larghezza));
            EXPECT_EQ(r.nomeColonna, c.titolo);
            EXPECT_EQ(r.colore.value_or(0), c.colore);
            EXPECT_EQ(r.visibile, c.visibile ? 1 : 0);
            EXPECT_EQ(r.origine, c.origine.toUpper());
            EXPECT_EQ(r.ordinamento, codiceOrdinamento(l.ordinamento, c.nomeCampo.toUpper()));
        }
        // The stored layout is what is shown: saving again writes nothing.
        EXPECT_FALSE(aspettoCambiato(righe, l.colonne, l.ordinamento));
        const ModoOrdinamento modo = a.leggiModo(l.chiave);
        EXPECT_EQ(modo, l.ordinamento.modo == ModoOrdinamento::Multiplo ? ModoOrdinamento::Multiplo
                                                                        : ModoOrdinamento::Singolo);
        StatoOrdinamento atteso = l.ordinamento;
        if (atteso.modo == ModoOrdinamento::Indeciso)
            atteso.modo = ModoOrdinamento::Singolo;
        const StatoOrdinamento letto = a.leggiOrdinamento(l.chiave, modo, {});
        ASSERT_EQ(letto.chiavi().size(), atteso.chiavi().size());
        for (size_t k = 0; k < letto.chiavi().size(); ++k) {
            EXPECT_EQ(letto.chiavi()[k].nome, atteso.chiavi()[k].nome);
            EXPECT_EQ(letto.chiavi()[k].direzione, atteso.chiavi()[k].direzione);
            EXPECT_EQ(letto.chiavi()[k].espressione, atteso.chiavi()[k].espressione);
        }
    }
    // Other projects see nothing of these.
    EXPECT_TRUE(a.leggi({527, 1, 1}).empty());
}

struct CambioCase
{
    const char *nome;
    std::vector<ColonnaAttuale> colonne;
    StatoOrdinamento ordinamento;
    bool cambiato;
};

class Cambiamenti : public test::FbFixture, public ::testing::WithParamInterface<CambioCase> {};

TEST_P(Cambiamenti, rewriteOnlyWhatDiffers)
{
    CreaTabelleAspetto(att());
    const ArchivioAspetto a(att());
    const ChiaveAspetto k{526, 3, 1};
    a.scrivi(k, {colonna("codice", 60), colonna("titolo", 200)}, singola("TITOLO", Crescente));
    EXPECT_EQ(a.salva(k, GetParam().colonne, GetParam().ordinamento), GetParam().cambiato);
    if (GetParam().cambiato)
        EXPECT_FALSE(aspettoCambiato(a.leggi(k), GetParam().colonne, GetParam().ordinamento));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Cambiamenti,
    ::testing::Values(
        CambioCase{"uguale", {colonna("codice", 60), colonna("titolo", 200)}, singola("TITOLO", Crescente), false},
        CambioCase{"soloTitolo", {colonna("codice", 60, "Altro"), colonna("titolo", 200)}, singola("TITOLO", Crescente),
                   false},
        CambioCase{"larghezza", {colonna("codice", 61), colonna("titolo", 200)}, singola("TITOLO", Crescente), true},
        CambioCase{"ordineColonne", {colonna("titolo", 200), colonna("codice", 60)}, singola("TITOLO", Crescente),
                   true},
        CambioCase{"colonnaInPiu", {colonna("codice", 60), colonna("titolo", 200), colonna("note", 10)},
                   singola("TITOLO", Crescente), true},
        CambioCase{"direzione", {colonna("codice", 60), colonna("titolo", 200)}, singola("TITOLO", Decrescente), true},
        CambioCase{"altraChiave", {colonna("codice", 60), colonna("titolo", 200)}, singola("CODICE", Crescente), true},
        CambioCase{"nessunaChiave", {colonna("codice", 60), colonna("titolo", 200)},
                   [] {
                       StatoOrdinamento s;
                       s.modo = ModoOrdinamento::Singolo;
                       return s;
                   }(),
                   true},
        CambioCase{"multipla", {colonna("codice", 60), colonna("titolo", 200)},
                   multipla({{"TITOLO", Crescente}, {"CODICE", Crescente}}), true}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST_F(Archivio, longNamesAreCutToWhatTheTableHolds)
{
    const ArchivioAspetto a(att());
    ColonnaAttuale c = colonna("un_nome_di_campo_molto_piu_lungo_di_trentuno", 50);
    c.titolo = QStringLiteral("Un titolo di colonna che supera i trentuno caratteri");
    c.origine = QStringLiteral("T.") + QString(70, QLatin1Char('X'));
    a.scrivi({526, 1, 1}, {c}, {});
    const std::vector<RigaAspetto> righe = a.leggi({526, 1, 1});
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_EQ(righe[0].nomeCampo, QStringLiteral("UN_NOME_DI_CAMPO_MOLTO_PIU_LUNG"));
    EXPECT_EQ(righe[0].nomeCampo.size(), 31);
    EXPECT_EQ(righe[0].nomeColonna.size(), 31);
    EXPECT_EQ(righe[0].origine.size(), 64);
}

TEST_F(Archivio, settingsWithoutARowAreTheDefaults)
{
    const Impostazioni i = ArchivioAspetto(att()).leggiImpostazioni(1, 526);
    EXPECT_EQ(i.coloreIndicizzati, Giallo);
    EXPECT_EQ(i.coloreOrdinamento, Rosso);
    EXPECT_EQ(i.coloreRecordSelezionato, ColoreSistemaDesktop);
    EXPECT_TRUE(i.ricercaConPausa);
    EXPECT_FALSE(i.ricercaSuOgniCampo);
}

struct ImpostazioniCase
{
    const char *nome;
    const char *valori; // COLORERECORDSELEZ, COLORECAMPIINDIC, ABILITATIMERRIC, ABILITARICF5SEMPRE, COLORECAMPOORD
    int indicizzati;
    int ordinamento;
    bool pausa;
    bool ogniCampo;
};

class ImpostazioniRiga : public test::FbFixture, public ::testing::WithParamInterface<ImpostazioniCase> {};

TEST_P(ImpostazioniRiga, readAsTheRowSays)
{
    CreaTabelleAspetto(att());
    exec(QStringLiteral("INSERT INTO SETGRID VALUES (526, 4, %1)").arg(QString::fromLatin1(GetParam().valori)));
    const Impostazioni i = ArchivioAspetto(att()).leggiImpostazioni(4, 526);
    EXPECT_EQ(i.coloreIndicizzati, GetParam().indicizzati);
    EXPECT_EQ(i.coloreOrdinamento, GetParam().ordinamento);
    EXPECT_EQ(i.ricercaConPausa, GetParam().pausa);
    EXPECT_EQ(i.ricercaSuOgniCampo, GetParam().ogniCampo);
    // Another user keeps the defaults.
    EXPECT_TRUE(ArchivioAspetto(att()).leggiImpostazioni(5, 526).ricercaConPausa);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImpostazioniRiga,
    ::testing::Values(ImpostazioniCase{"tuttiNull", "NULL, NULL, NULL, NULL, NULL", Giallo, Rosso, false, false},
                      ImpostazioniCase{"zeri", "0, 0, 0, 0, 0", Giallo, Rosso, false, false},
                      ImpostazioniCase{"uno", "0, 255, 1, 1, 65280", 255, 65280, true, true},
                      ImpostazioniCase{"dueNonEAcceso", "0, 0, 2, 2, 0", Giallo, Rosso, false, false}),
    [](const auto &info) { return std::string(info.param.nome); });

struct TabxCase
{
    const char *nome;
    const char *riga; // the row of TABX, or "" for none
    bool disabilitata;
};

class InterruttoreMemoria : public test::FbFixture, public ::testing::WithParamInterface<TabxCase> {};

TEST_P(InterruttoreMemoria, isOnOnlyForTextOne)
{
    CreaTabelleAspetto(att());
    if (*GetParam().riga)
        exec(QStringLiteral("INSERT INTO TABX (CODICE, NOME, TESTO, UTENTE) VALUES (%1)")
                 .arg(QString::fromLatin1(GetParam().riga)));
    EXPECT_EQ(ArchivioAspetto(att()).memorizzazioneDisabilitata(9), GetParam().disabilitata);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InterruttoreMemoria,
    ::testing::Values(TabxCase{"nessunaRiga", "", false},
                      TabxCase{"uno", "1, 'DisabilitaMemPosGriglie', '1', 9", true},
                      TabxCase{"unoConSpazi", "1, 'DisabilitaMemPosGriglie', ' 1 ', 9", true},
                      TabxCase{"zero", "1, 'DisabilitaMemPosGriglie', '0', 9", false},
                      TabxCase{"testo", "1, 'DisabilitaMemPosGriglie', 'si', 9", false},
                      TabxCase{"altroUtente", "1, 'DisabilitaMemPosGriglie', '1', 8", false},
                      TabxCase{"altroNome", "1, 'AltroParametro', '1', 9", false}),
    [](const auto &info) { return std::string(info.param.nome); });

TEST(InterruttoreMemoriaSenzaTabella, staysOffWithoutTabx)
{
    test::TempDir dir;
    db::Attachment a = test::createDatabase(dir.file(QStringLiteral("vuoto.fdb")));
    EXPECT_FALSE(ArchivioAspetto(a).memorizzazioneDisabilitata(1));
    a.dropDatabase();
}

TEST_F(Archivio, missingTablesReachTheCaller)
{
    const ArchivioAspetto a(att(), QStringLiteral("NONESISTE"));
    EXPECT_THROW(a.leggi({526, 1, 1}), db::Error);
}

TEST_F(Archivio, dialogMemoryIsWrittenOnlyWhenItChanges)
{
    const ArchivioAspetto a(att());
    const ChiaveAspetto k{526, 3, 2};
    EXPECT_FALSE(a.leggiMemoria(k));
    const MemoriaDialogo m{120, 80, 2, false, 0};
    EXPECT_TRUE(a.scriviMemoria(k, m));
    EXPECT_EQ(a.leggiMemoria(k), m);
    EXPECT_FALSE(a.scriviMemoria(k, m));
    MemoriaDialogo spostato = m;
    spostato.posX = 300;
    spostato.upper = true;
    EXPECT_TRUE(a.scriviMemoria(k, spostato));
    EXPECT_EQ(a.leggiMemoria(k), spostato);
    EXPECT_FALSE(a.leggiMemoria({526, 3, 3}));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM STOPOS1"), 1);
}

TEST_F(Archivio, dialogMemoryKeepsTheColumnsItNeverWrites)
{
    exec("INSERT INTO STOPOS1 (CODICEPROGETTO, CODICESITUAZIONE, CODICEUTENTE, POSX, INFO5) VALUES (526, 3, 2, 1, 'X')");
    ArchivioAspetto(att()).scriviMemoria({526, 3, 2}, {5, 6, 1, true, 2});
    db::Transaction t(att());
    EXPECT_EQ(db::toText(db::queryValue(att(), t, "SELECT INFO5 FROM STOPOS1")), "X");
}

TEST_F(Archivio, resetRemovesLayoutAndDialogMemoryOfThatGridOnly)
{
    const ArchivioAspetto a(att());
    a.scrivi({526, 3, 1}, {colonna("codice", 60)}, {});
    a.scrivi({526, 1, 1}, {colonna("codice", 60)}, {});
    a.scriviMemoria({526, 3, 1}, {});
    a.scriviMemoria({526, 1, 1}, {});
    a.ripristinaBase({526, 3, 1});
    EXPECT_TRUE(a.leggi({526, 3, 1}).empty());
    EXPECT_FALSE(a.leggiMemoria({526, 3, 1}));
    EXPECT_EQ(a.leggi({526, 1, 1}).size(), 1u);
    EXPECT_TRUE(a.leggiMemoria({526, 1, 1}));
}

TEST_F(Archivio, copyOffersOtherUsersOfTheSameGridAndReplacesTheLayout)
{
    const ArchivioAspetto a(att());
    a.scrivi({526, 3, 1}, {colonna("codice", 60), colonna("titolo", 100)}, {});
    a.scrivi({526, 3, 5}, {colonna("titolo", 222, "Da cinque")}, singola("TITOLO", Decrescente));
    a.scrivi({526, 3, 2}, {colonna("codice", 1)}, {});
    a.scrivi({526, 1, 9}, {colonna("codice", 1)}, {});
    {
        CopiaAspetto c(att(), {526, 3, 1});
        EXPECT_EQ(c.utenti(), (QList<int>{2, 5}));
        c.azzera();
        c.copiaDa(5);
        c.conferma();
    }
    const std::vector<RigaAspetto> righe = a.leggi({526, 3, 1});
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_EQ(righe[0].nomeCampo, "TITOLO");
    EXPECT_EQ(righe[0].larghezza, 222.0);
    EXPECT_EQ(righe[0].nomeColonna, "Da cinque");
    EXPECT_EQ(righe[0].ordinamento, 2);
    EXPECT_EQ(a.leggi({526, 3, 5}).size(), 1u);
}

TEST_F(Archivio, copyNotConfirmedChangesNothing)
{
    const ArchivioAspetto a(att());
    a.scrivi({526, 3, 1}, {colonna("codice", 60)}, {});
    a.scrivi({526, 3, 5}, {colonna("titolo", 222)}, {});
    {
        CopiaAspetto c(att(), {526, 3, 1});
        c.azzera();
        c.copiaDa(5);
    }
    ASSERT_EQ(a.leggi({526, 3, 1}).size(), 1u);
    EXPECT_EQ(a.leggi({526, 3, 1})[0].nomeCampo, "CODICE");
}

TEST_F(Archivio, copyWithNoOtherUserOffersNone)
{
    ArchivioAspetto(att()).scrivi({526, 3, 1}, {colonna("codice", 60)}, {});
    CopiaAspetto c(att(), {526, 3, 1});
    EXPECT_TRUE(c.utenti().isEmpty());
}

struct PuliziaCase
{
    const char *nome;
    std::optional<QString> progetto;
    std::optional<QString> situazione;
    qint64 restanti; // STOASP1 rows left in all
};

class Pulizia : public test::FbFixture, public ::testing::WithParamInterface<PuliziaCase> {};

TEST_P(Pulizia, deletesTheUsersRowsAsLimited)
{
    CreaTabelleAspetto(att());
    const ArchivioAspetto a(att());
    for (int utente : {12, 13})
        for (int progetto : {526, 527})
            for (int situazione : {1, 3}) {
                a.scrivi({progetto, situazione, utente}, {colonna("codice", 60)}, {});
                a.scriviMemoria({progetto, situazione, utente}, {});
            }
    db::Transaction t(att(), {QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")});
    pulisciAspetti(att(), t, 12, GetParam().progetto, GetParam().situazione);
    db::Transaction r(att());
    EXPECT_EQ(db::toInt64(*db::queryValue(att(), r, "SELECT COUNT(*) FROM STOASP1")), GetParam().restanti);
    EXPECT_EQ(db::toInt64(*db::queryValue(att(), r, "SELECT COUNT(*) FROM STOPOS1")), GetParam().restanti);
    EXPECT_EQ(db::toInt64(*db::queryValue(att(), r, "SELECT COUNT(*) FROM STOASP1 WHERE CODICEUTENTE=13")), 4);
}

INSTANTIATE_TEST_SUITE_P(Cases, Pulizia,
                         ::testing::Values(PuliziaCase{"tutto", std::nullopt, std::nullopt, 4},
                                           PuliziaCase{"progetto", QStringLiteral("526"), std::nullopt, 6},
                                           PuliziaCase{"situazione", std::nullopt, QStringLiteral("3"), 6},
                                           PuliziaCase{"entrambi", QStringLiteral("526"), QStringLiteral("3"), 7}),
                         [](const auto &info) { return std::string(info.param.nome); });

class PuliziaSenzaAspetti : public test::FbFixture {};

// A user who never had a grid layout stored: the archive has no layout
// tables and the cleanup has nothing to do, with or without limits.
TEST_F(PuliziaSenzaAspetti, archiveWithoutLayoutTablesIsCleanAlready)
{
    for (const auto &[progetto, situazione] :
         {std::pair<std::optional<QString>, std::optional<QString>>{std::nullopt, std::nullopt},
          {QStringLiteral("526"), QStringLiteral("3")}}) {
        db::Transaction t(att(), {QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")});
        EXPECT_NO_THROW(pulisciAspetti(att(), t, 12, progetto, situazione));
    }
}

TEST_F(Archivio, cleanupRefusesATextThatIsNoNumberAndDeletesNothing)
{
    const ArchivioAspetto a(att());
    a.scrivi({526, 1, 12}, {colonna("codice", 60)}, {});
    db::Transaction t(att());
    EXPECT_THROW(pulisciAspetti(att(), t, 12, QStringLiteral("x' OR 1=1 --"), std::nullopt), db::Error);
    t.rollback();
    EXPECT_EQ(a.leggi({526, 1, 12}).size(), 1u);
}

struct VoceCase
{
    const char *voce;
    std::optional<int> codice;
};

class VociUtente : public ::testing::TestWithParam<VoceCase> {};

TEST_P(VociUtente, firstPieceIsTheCode)
{
    EXPECT_EQ(codiceUtenteDaVoce(GetParam().voce), GetParam().codice);
}

INSTANTIATE_TEST_SUITE_P(Cases, VociUtente,
                         ::testing::Values(VoceCase{"12 - ROSSI", 12}, VoceCase{"12-ROSSI", 12},
                                           VoceCase{" 7 - DE-LUCA", 7}, VoceCase{"", std::nullopt},
                                           VoceCase{" - ROSSI", std::nullopt}, VoceCase{"X - ROSSI", std::nullopt}));

TEST_F(Archivio, personalisationEditsRowsByPosition)
{
    const ArchivioAspetto a(att());
    a.scrivi({526, 3, 1}, {colonna("codice", 60), colonna("titolo", 100)}, {});
    {
        Personalizzazione p(att(), QString(), {526, 3, 1});
        std::vector<RigaPersonalizzazione> righe = p.carica();
        ASSERT_EQ(righe.size(), 2u);
        EXPECT_EQ(p.aggiornamento(),
                  (QStringList{"UPDATE \"STOASP1\"", "SET", "NOMECAMPO=:NOMECAMPO,", "NOMECOLONNA=:NOMECOLONNA,",
                               "COLORECOLONNA=:COLORECOLONNA,", "VISIBILE=:VISIBILE,", "POSIZIONE=:POSIZIONE",
                               "WHERE (CodiceSituazione=3)", "AND(CodiceUtente=1)", "AND(Posizione=:Posizione)",
                               "AND(CodiceProgetto=526)"}));
        for (RigaPersonalizzazione &r : righe)
            if (r.nomeCampo == QLatin1String("TITOLO")) {
                r.nomeColonna = QStringLiteral("Titolo lungo");
                r.colore = 0x0000FF;
                r.visibile = 0;
                p.aggiorna(r);
            }
        p.conferma();
    }
    const std::vector<RigaAspetto> righe = a.leggi({526, 3, 1});
    EXPECT_EQ(righe[0].nomeColonna, "codice");
    EXPECT_EQ(righe[1].nomeColonna, "Titolo lungo");
    EXPECT_EQ(righe[1].colore, 0x0000FF);
    EXPECT_EQ(righe[1].visibile, 0);
}

TEST_F(Archivio, personalisationNotConfirmedIsLost)
{
    const ArchivioAspetto a(att());
    a.scrivi({526, 3, 1}, {colonna("codice", 60)}, {});
    {
        Personalizzazione p(att(), QString(), {526, 3, 1});
        std::vector<RigaPersonalizzazione> righe = p.carica();
        righe[0].nomeColonna = QStringLiteral("perso");
        p.aggiorna(righe[0]);
    }
    EXPECT_EQ(a.leggi({526, 3, 1})[0].nomeColonna, "codice");
}
