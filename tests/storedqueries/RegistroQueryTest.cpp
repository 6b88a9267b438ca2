// The registry's record operations on stored queries with chains: the save
// check, duplicate, delete, renumbering, the cancel of a new row, and the
// statement of the history list with its classification filters.

#include "ArchivioQuery.h"

#include "storedqueries/RegistroQuery.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::storedqueries;
using namespace vardof::test;

namespace {

using Registro = ArchivioQuery;

TEST_F(Registro, theSaveCheckAnsweredNoWritesNothingAndAsksForAnnulla)
{
    RigaStoQuer riga;
    riga.Codice = 3;
    riga.Titolo = QStringLiteral("Nuova");
    platform::RecordingFeedback f;
    f.answers.push_back(platform::Answer::No);
    EXPECT_FALSE(PostStoQuer(tra(), riga, f));
    ASSERT_EQ(f.asked.size(), 2);
    EXPECT_EQ(f.asked[0].text, QStringLiteral("Memorizzo le ultime modifiche?"));
    EXPECT_EQ(f.asked[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(f.asked[1].text, QStringLiteral("Si prega di premere Annulla prima di abbandonare il record"));
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER")), 0);
}

TEST_F(Registro, aPostKeepsEveryFieldAndTurnsOneBlankOfNotesIntoNull)
{
    RigaStoQuer riga{7, QStringLiteral("Clienti dell'Aquila"), QStringLiteral("CLIENTI"), std::nullopt,
                     QStringLiteral("Vendite"), std::nullopt, QStringLiteral("c.csv"), QStringLiteral(" ")};
    platform::RecordingFeedback f;
    ASSERT_TRUE(PostStoQuer(tra(), riga, f));
    const std::optional<RigaStoQuer> letta = leggiStoQuer(tra(), 7);
    ASSERT_TRUE(letta);
    riga.Note.reset();
    EXPECT_EQ(*letta, riga);

    // Renaming the code of an existing row keeps one row.
    riga.Titolo = QStringLiteral("Altro");
    scriviStoQuer(tra(), riga);
    tra().commit();
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER")), 1);
}

TEST_F(Registro, aPostCopiesTheRowIntoTheArchiveOfItsPath)
{
    ApritoreDiTest apritore;
    const QString altroPath = m_dir.file(QStringLiteral("altro.fdb"));
    db::Attachment altro = createDatabase(altroPath);
    preparaArchivio(altro);
    RigaStoQuer riga{4, QStringLiteral("Dell'altro"), QStringLiteral("CLIENTI"), altroPath};
    riga.Note = QStringLiteral("l'appunto");
    platform::RecordingFeedback f;
    ASSERT_TRUE(PostStoQuer(tra(), riga, f));
    EXPECT_EQ(conta(altro, QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=4 AND TITOLO='Dell''altro' "
                                          "AND TABELLA='CLIENTI' AND PERCORSO IS NULL")),
              1);
    EXPECT_EQ(sqlCopiaStoQuer(riga),
              (QStringList{"UPDATE OR INSERT INTO STOQUER(", "CODICE,", "TITOLO,", "NOTE,", "TABELLA", ")", "VALUES(",
                           "4,", "'Dell''altro',", "'l''appunto',", "'CLIENTI'", ")"}));
    altro.dropDatabase();
}

// ---- duplicate --------------------------------------------------------------------

TEST_F(Registro, duplicatingAQueryWithOneChainedQueryRelinksTheCopy)
{
    query(5, QStringLiteral("Cinque"));
    // Stored query 5 -> (2000, 3); chained numbers up to 3 are in use.
    righeInt(catena(5, 3, 1));
    righeInt({{2000, 1, 1, "CODICE", 1, ""}, {2000, 2, 1, "CODICE", 1, ""}});
    righeAsp({{0, 5, 0, "CODICE", 8, 1, 0, 0}, {2000, 3, 0, "CITTA", 9, 1, 0, 100}});

    platform::RecordingFeedback f;
    int nuovo = 0;
    ASSERT_EQ(DuplicaQuery(att(), tra(), 5, f, &nuovo), EsitoOperazione::Eseguita);
    EXPECT_EQ(nuovo, 6);
    const std::optional<RigaStoQuer> copia = leggiStoQuer(tra(), 6);
    ASSERT_TRUE(copia);
    EXPECT_EQ(copia->Titolo, std::optional<QString>("Cinque"));

    const auto principale = leggiInt(QStringLiteral("CODICE1=0 AND CODICE2=6"));
    ASSERT_EQ(principale.size(), 3u);
    EXPECT_EQ(principale[2].nome, std::optional<QString>("QUERY SUCCESSIVA"));
    EXPECT_EQ(principale[2].condizione, std::optional<QString>("4"));
    const auto catenata = leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=4"));
    ASSERT_EQ(catenata.size(), 3u);
    EXPECT_EQ(catenata[0].nome, std::optional<QString>("QUERY PRECEDENTE"));
    EXPECT_EQ(catenata[0].condizione, std::optional<QString>("6"));
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOASP WHERE CODICE1=0 AND CODICE2=6")), 1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOASP WHERE CODICE1=2000 AND CODICE2=4 AND RAGGRUPPA=100")), 1);
    // The source is untouched.
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=0 AND CODICE2=5")), leggiInt(QStringLiteral("CODICE1=0 AND CODICE2=5")));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=0 AND CODICE2=5"))[2].condizione, std::optional<QString>("3"));
}

struct CasoDuplica
{
    const char *nome;
    int livelli;
    std::vector<double> attesi; // the chained numbers the copy gets
};

class DuplicaCatene : public Registro, public ::testing::WithParamInterface<CasoDuplica> {};

TEST_P(DuplicaCatene, everyLevelGetsAFreshNumberAndBothLinks)
{
    query(1, QStringLiteral("Catena"));
    righeInt(catena(1, 1, GetParam().livelli));
    platform::RecordingFeedback f;
    int nuovo = 0;
    ASSERT_EQ(DuplicaQuery(att(), tra(), 1, f, &nuovo), EsitoOperazione::Eseguita);
    ASSERT_EQ(nuovo, 2);
    double precedente = 2;
    ChiaveQuery k{0, 2};
    for (double n : GetParam().attesi) {
        const auto righe = leggiInt(QStringLiteral("CODICE1=%1 AND CODICE2=%2").arg(k.first).arg(k.second));
        ASSERT_FALSE(righe.empty());
        EXPECT_EQ(righe.back().condizione, std::optional<QString>(QString::number(qint64(n))));
        const auto dopo = leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=%1").arg(n));
        ASSERT_FALSE(dopo.empty());
        EXPECT_EQ(dopo.front().condizione,
                  std::optional<QString>(QString::number(qint64(precedente))));
        precedente = n;
        k = {2000, n};
    }
    EXPECT_EQ(chiaviCatena(tra(), 2).size(), GetParam().attesi.size() + 1);
    EXPECT_EQ(leggiInt().size(), 2 * catena(1, 1, GetParam().livelli).size());
}

INSTANTIATE_TEST_SUITE_P(Casi, DuplicaCatene,
                         ::testing::Values(CasoDuplica{"none", 0, {}}, CasoDuplica{"one", 1, {2}},
                                           CasoDuplica{"three", 3, {4, 5, 6}}),
                         [](const auto &info) { return std::string(info.param.nome); });

TEST_F(Registro, aChainThatLoopsBackIsCopiedOnce)
{
    query(1, QStringLiteral("Giro"));
    righeInt({{0, 1, 1, "CODICE", 1, ""}, {0, 1, 2, "QUERY SUCCESSIVA", 4, "1"},
              {2000, 1, 1, "QUERY PRECEDENTE", 4, "1"}, {2000, 1, 2, "QUERY SUCCESSIVA", 4, "1"}});
    platform::RecordingFeedback f;
    ASSERT_EQ(DuplicaQuery(att(), tra(), 1, f), EsitoOperazione::Eseguita);
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=2000")).size(), 4u);
}

TEST_F(Registro, aDuplicateAnsweredNoCreatesNothing)
{
    query(1, QStringLiteral("Uno"));
    righeInt({{0, 1, 1, "CODICE", 1, ""}});
    platform::RecordingFeedback f;
    f.answers.push_back(platform::Answer::No);
    EXPECT_EQ(DuplicaQuery(att(), tra(), 1, f), EsitoOperazione::Rifiutata);
    tra().commit();
    EXPECT_EQ(righeTotali(att()), (std::vector<qint64>{1, 1, 0}));
}

TEST_F(Registro, aDuplicateOfAQueryOfAnotherArchiveIsNumberedAcrossBoth)
{
    ApritoreDiTest apritore;
    const QString altroPath = m_dir.file(QStringLiteral("altro.fdb"));
    db::Attachment altro = createDatabase(altroPath);
    preparaArchivio(altro);
    query(altro, 40, QStringLiteral("Lontana"));
    query(att(), 12, QStringLiteral("Qui"), QStringLiteral("CLIENTI"), altroPath);
    righeInt(altro, {{0, 12, 1, "CODICE", 1, "(CODICE > 3)"}});
    platform::RecordingFeedback f;
    int nuovo = 0;
    ASSERT_EQ(DuplicaQuery(att(), tra(), 12, f, &nuovo), EsitoOperazione::Eseguita);
    EXPECT_EQ(nuovo, 41);
    EXPECT_EQ(leggiInt(altro, QStringLiteral("CODICE2=41")).size(), 1u);
    EXPECT_TRUE(leggiInt().empty());
    altro.dropDatabase();
}

// ---- delete -----------------------------------------------------------------------

TEST_F(Registro, deletingAStoredQueryTakesItsChainAndLeavesTheOthers)
{
    query(1, QStringLiteral("Uno"));
    query(2, QStringLiteral("Due"));
    righeInt(catena(1, 1, 2));
    righeInt(catena(2, 3, 1));
    righeAsp({{0, 1, 0, "CODICE", 8, 1, 0, 0}, {2000, 2, 0, "CODICE", 8, 1, 0, 0}, {2000, 3, 0, "CODICE", 8, 1, 0, 0}});
    platform::RecordingFeedback f;
    ASSERT_EQ(EliminaQuery(att(), tra(), 1, f), EsitoOperazione::Eseguita);
    EXPECT_FALSE(leggiStoQuer(tra(), 1));
    EXPECT_TRUE(leggiStoQuer(tra(), 2));
    EXPECT_EQ(leggiInt().size(), catena(2, 3, 1).size());
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOASP")), 1);
}

TEST_F(Registro, deletingAQueryOfAMissingArchiveDeletesNothing)
{
    query(att(), 3, QStringLiteral("Persa"), QStringLiteral("CLIENTI"), QStringLiteral("/non/esiste/altro.fdb"));
    platform::RecordingFeedback f;
    EXPECT_EQ(EliminaQuery(att(), tra(), 3, f), EsitoOperazione::ArchivioNonTrovato);
    ASSERT_EQ(f.asked.size(), 1);
    EXPECT_EQ(f.asked[0].text, QString::fromUtf8("L'archivio \"/non/esiste/altro.fdb\" non è stato trovato"));
    EXPECT_TRUE(leggiStoQuer(tra(), 3));
}

TEST_F(Registro, deletingAQueryOfAnotherArchiveDeletesItsRowsThere)
{
    ApritoreDiTest apritore;
    const QString altroPath = m_dir.file(QStringLiteral("altro.fdb"));
    db::Attachment altro = createDatabase(altroPath);
    preparaArchivio(altro);
    query(att(), 3, QStringLiteral("Altrove"), QStringLiteral("CLIENTI"), altroPath);
    righeInt(altro, catena(3, 1, 1));
    platform::RecordingFeedback f;
    ASSERT_EQ(EliminaQuery(att(), tra(), 3, f), EsitoOperazione::Eseguita);
    EXPECT_TRUE(leggiInt(altro).empty());
    EXPECT_FALSE(leggiStoQuer(tra(), 3));
    altro.dropDatabase();
}

TEST_F(Registro, aMissingRowIsReportedAsSuch)
{
    platform::RecordingFeedback f;
    EXPECT_EQ(EliminaQuery(att(), tra(), 9, f), EsitoOperazione::RecordMancante);
    EXPECT_EQ(DuplicaQuery(att(), tra(), 9, f), EsitoOperazione::RecordMancante);
}

// ---- renumbering --------------------------------------------------------------------

TEST_F(Registro, renumberingMovesTheChainBackLinkOfItsOwnChainOnly)
{
    // Stored query 1 -> (2000, 1); stored query 5 -> (2000, 6) -> (2000, 7).
    // The back link of (2000, 7) holds 6, the number of the chained query
    // before it, which a stored query may also have.
    query(1, QStringLiteral("Uno"));
    query(5, QStringLiteral("Cinque"));
    righeInt(catena(1, 1, 1));
    righeInt({{0, 5, 1, "CODICE", 1, ""}, {0, 5, 2, "QUERY SUCCESSIVA", 4, "6"},
              {2000, 6, 1, "QUERY PRECEDENTE", 4, "5"}, {2000, 6, 2, "QUERY SUCCESSIVA", 4, "7"},
              {2000, 7, 1, "QUERY PRECEDENTE", 4, "6"}});
    // Renumber 5 to 9: only (2000, 6)'s back link follows.
    platform::RecordingFeedback f;
    ASSERT_TRUE(RiassegnaNumero(att(), tra(), 5, 9, f));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=6"))[0].condizione, std::optional<QString>("9"));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=0 AND CODICE2=9")).size(), 2u);
    // Renumbering to 6 and then away from it must not touch (2000, 7),
    // whose back link (6) names the chained query (2000, 6).
    ASSERT_TRUE(RiassegnaNumero(att(), tra(), 9, 6, f));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=6"))[0].condizione, std::optional<QString>("6"));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=7"))[0].condizione, std::optional<QString>("6"));
    ASSERT_TRUE(RiassegnaNumero(att(), tra(), 6, 8, f));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=6"))[0].condizione, std::optional<QString>("8"));
    EXPECT_EQ(leggiInt(QStringLiteral("CODICE1=2000 AND CODICE2=7"))[0].condizione, std::optional<QString>("6"));
}

TEST_F(Registro, renumberingToATakenCodeChangesNothing)
{
    query(5, QStringLiteral("Cinque"));
    righeAsp({{0, 7, 0, "CODICE", 8, 1, 0, 0}});
    platform::RecordingFeedback f;
    EXPECT_FALSE(RiassegnaNumero(att(), tra(), 5, 7, f));
    ASSERT_EQ(f.asked.size(), 1);
    EXPECT_EQ(f.asked[0].text, QString::fromUtf8("Codice già occupato STOASP"));
    EXPECT_TRUE(leggiStoQuer(tra(), 5));
}

// ---- new row, list ------------------------------------------------------------------

TEST_F(Registro, aNewRowCancelledIsGoneAgain)
{
    query(3, QStringLiteral("Tre"));
    const int nuovo = NuovoCodiceInserimento(att());
    EXPECT_EQ(nuovo, 4);
    EliminaNuovoRecord(att(), nuovo);
    db::Transaction t(att());
    EXPECT_FALSE(leggiStoQuer(t, 4));
    EXPECT_EQ(sqlEliminaNuovoRecord(4), (QStringList{"DELETE FROM STOQUER", "WHERE", "  CODICE=4"}));
}

struct CasoFiltro
{
    const char *c1;
    const char *c2;
    std::vector<int> codici;
};

class FiltriStorico : public Registro, public ::testing::WithParamInterface<CasoFiltro> {};

TEST_P(FiltriStorico, showOnlyTheRowsOfTheChosenEntries)
{
    db::Transaction t(att());
    db::executeSql(t, QString::fromUtf8("INSERT INTO STOQUER (CODICE, TITOLO, CLASSIFICAZIONE1, CLASSIFICAZIONE2) VALUES "
                                        "(1, 'a', 'Vendite', 'Mensili')"));
    db::executeSql(t, QString::fromUtf8("INSERT INTO STOQUER (CODICE, TITOLO, CLASSIFICAZIONE1, CLASSIFICAZIONE2) VALUES "
                                        "(2, 'b', 'Vendite', NULL)"));
    db::executeSql(t, QString::fromUtf8("INSERT INTO STOQUER (CODICE, TITOLO, CLASSIFICAZIONE1, CLASSIFICAZIONE2) VALUES "
                                        "(3, 'c', 'O´Neil', 'Mensili')"));
    t.commit();
    std::vector<int> codici;
    for (const RigaStoQuer &r : elencoStoQuer(tra(), QString::fromUtf8(GetParam().c1), QString::fromUtf8(GetParam().c2)))
        codici.push_back(r.Codice);
    EXPECT_EQ(codici, GetParam().codici);
}

INSTANTIATE_TEST_SUITE_P(Casi, FiltriStorico,
                         ::testing::Values(CasoFiltro{"", "", {1, 2, 3}}, CasoFiltro{"Vendite", "", {1, 2}},
                                           CasoFiltro{"", "Mensili", {1, 3}}, CasoFiltro{"Vendite", "Mensili", {1}},
                                           CasoFiltro{"O´Neil", "", {3}}, CasoFiltro{"vendite", "", {}},
                                           CasoFiltro{"l'Aquila", "", {}}));

TEST(SqlStorico, isTheStatementOfTheHistoryLineByLine)
{
    EXPECT_EQ(sqlStorico(QString(), QString()),
              (QStringList{"SELECT", "  *", "FROM", "  STOQUER", "WHERE", "  CODICE IS NOT NULL"}));
    EXPECT_EQ(sqlStorico(QStringLiteral("Vendite"), QStringLiteral("l'anno")),
              (QStringList{"SELECT", "  *", "FROM", "  STOQUER", "WHERE", "  CODICE IS NOT NULL", "  AND",
                           "  CLASSIFICAZIONE1='Vendite'", "  AND", "  CLASSIFICAZIONE2='l''anno'"}));
}

TEST(RigaElenco, startsWithTheCode)
{
    RigaStoQuer r{12, QStringLiteral("Clienti"), QStringLiteral("CLIENTI"), std::nullopt, QStringLiteral("Vendite")};
    EXPECT_EQ(rigaElenco(r), QStringLiteral("12\tClienti\tCLIENTI\tVendite\t"));
}

} // namespace
