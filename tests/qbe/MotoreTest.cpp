// The engine around the composition: filling the interrogation, type
// classes, answers fetched on demand, answer tables and chained levels,
// clipboard mode, stored appearance.

#include "QbeDb.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "platform/Clipboard.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::qbe;

namespace {

class Motore : public test::QbeDb
{
protected:
    std::unique_ptr<TIBFQuerForm> motore(const QString &tabella, int livello = 0)
    {
        m_sessione.setLivello(livello);
        return std::make_unique<TIBFQuerForm>(7, att(), tra(), att(), tra(), m_tab, tabella, m_sessione, QString(),
                                              QStringLiteral("DEMO"));
    }
    // The engine's session as a window would set it before executing; the
    // column codes stay as they are.
    bool esegui(TIBFQuerForm &m, const QString &tabella, int livello = 0, bool storico = false, int c1 = 0,
                double c2 = 0, double catena = 0)
    {
        SessioneQuery s;
        s.setLivello(livello);
        s.setCodiceCatena(catena);
        if (storico)
            s.setChiaveStorico(c1, c2);
        s.codici() = m.sessione().codici();
        m.sessione() = s;
        return m.EseguiInterrogazione(m_tab, tabella, m_risposta);
    }
    void dropSeEsiste(const QString &tabella)
    {
        if (db::catalog::relationExists(att(), tra(), tabella)) {
            db::executeSql(att(), tra(), QStringLiteral("DROP TABLE ") + tabella);
            tra().commit();
        }
    }

    platform::ScopedServices m_services;
    SessioneQuery m_sessione;
    TabIntTmp m_tab;
    TabRispTmp m_risposta;
};

TEST_F(Motore, theInterrogationHasOneShownRowPerColumnInCatalogueOrder)
{
    auto m = motore(QStringLiteral("CLIENTI"));
    m->RiempiTabIntTmp(m_tab, QStringLiteral("CLIENTI"));
    ASSERT_EQ(m_tab.size(), 8);
    const char *nomi[] = {"CODICE", "RAGIONESOCIALE", "CITTA", "ZONA", "FIDO", "DATAINSERIMENTO", "NOTE", "FOTO"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(m_tab.at(i), (RigaInt{i + 1, QLatin1String(nomi[i]), MostraVisibile, QString()}));
    }
}

struct Tipo
{
    const char *colonna;
    TipoCampo classe;
    const char *inTabellaRisposta;
};

void PrintTo(const Tipo &t, std::ostream *os)
{
    *os << t.colonna;
}

class Tipi : public Motore, public ::testing::WithParamInterface<Tipo> {};

TEST_P(Tipi, classOfTheColumnAndItsTypeInAnAnswerTable)
{
    auto m = motore(QStringLiteral("TIPI"));
    const QString colonna = QString::fromUtf8(GetParam().colonna);
    EXPECT_EQ(m->DeterminaTipoCampo(colonna, QString()), GetParam().classe);

    m_risposta.attach(att(), tra());
    m_risposta.SQL() = QStringList{QStringLiteral("SELECT ") + colonna + QStringLiteral(" FROM TIPI")};
    m_risposta.open();
    EXPECT_EQ(m_risposta.tipoColonna(0), GetParam().classe);
    EXPECT_EQ(TIBFQuerForm::tipoColonnaRisposta(m_risposta.columns()[0]), QLatin1String(GetParam().inTabellaRisposta));
}

INSTANTIATE_TEST_SUITE_P(Casi, Tipi, ::testing::Values(
    Tipo{"S", TipoCampo::Intero, "SMALLINT"},
    Tipo{"I", TipoCampo::Intero, "INTEGER"},
    Tipo{"N9", TipoCampo::Intero, "INTEGER"},
    Tipo{"B", TipoCampo::Altro, "Numeric(18, 0)"},
    Tipo{"N18", TipoCampo::Altro, "Numeric(18, 0)"},
    Tipo{"N92", TipoCampo::Scalato, "Numeric(18, 4)"},
    Tipo{"N154", TipoCampo::Scalato, "Numeric(18, 4)"},
    Tipo{"N156", TipoCampo::Virgola, "DOUBLE PRECISION"},
    Tipo{"D", TipoCampo::Virgola, "DOUBLE PRECISION"},
    Tipo{"F", TipoCampo::Virgola, "DOUBLE PRECISION"},
    Tipo{"DT", TipoCampo::Data, "DATE"},
    Tipo{"TS", TipoCampo::Data, "TIMESTAMP"},
    Tipo{"T", TipoCampo::Ora, "TIME"},
    Tipo{"C", TipoCampo::Altro, "VARCHAR(3)"},
    Tipo{"V", TipoCampo::Altro, "VARCHAR(20)"},
    Tipo{"M", TipoCampo::BlobTesto, "BLOB SUB_TYPE 1"},
    Tipo{"BIN", TipoCampo::BlobBinario, "BLOB SUB_TYPE 0"}));

TEST_F(Motore, columnsOfAddedTablesAreFoundThroughTheirHeader)
{
    m_tab.append(QStringLiteral("CODICE"), MostraVisibile);
    m_tab.append(QStringLiteral("ZONE = A"), MostraTestataLeft);
    m_tab.append(QStringLiteral("A.CODICE"), MostraCollegamento, QStringLiteral("ZONA"));
    m_tab.append(QStringLiteral("ORDINI = B"), MostraTestataRight);
    m_tab.append(QStringLiteral("B.CLIENTE"), MostraCollegamento, QStringLiteral("CODICE"));
    m_tab.append(QStringLiteral("B.DATAORDINE"), MostraVisibile);
    m_tab.append(QStringLiteral("B.TOTALE"), MostraVisibile);
    auto m = motore(QStringLiteral("CLIENTI"));
    EXPECT_EQ(m->DeterminaTipoCampo(QStringLiteral("B.DATAORDINE"), QString()), TipoCampo::Data);
    EXPECT_EQ(m->DeterminaTipoCampo(QStringLiteral("B.TOTALE"), QString()), TipoCampo::Scalato);
    EXPECT_EQ(m->DeterminaTipoCampo(QStringLiteral("A.CODICE"), QString()), TipoCampo::Altro);
    EXPECT_EQ(m->DeterminaTipoCampo(QStringLiteral("NOTE"), QString()), TipoCampo::BlobTesto);
    EXPECT_EQ(m->DeterminaTipoCampo(QStringLiteral("X.NESSUNO"), QString()), TipoCampo::Altro);
    EXPECT_EQ(m->DeterminaTipoCampo(QStringLiteral("NESSUNO"), QString()), TipoCampo::Altro);
}

TEST_F(Motore, theAnswerIsFetchedAsItIsAskedFor)
{
    auto m = motore(QStringLiteral("NUMERI"));
    m->RiempiTabIntTmp(m_tab, QStringLiteral("NUMERI"));
    ASSERT_TRUE(esegui(*m, QStringLiteral("NUMERI")));
    EXPECT_EQ(m_risposta.fetchedCount(), 1);
    EXPECT_FALSE(m_risposta.atEnd());
    EXPECT_EQ(m_risposta.fetchMore(100), 100);
    EXPECT_EQ(m_risposta.fetchedCount(), 101);
    EXPECT_EQ(m_risposta.text(100, 1), QStringLiteral("riga 101"));
    m_risposta.fetchAll();
    EXPECT_EQ(m_risposta.fetchedCount(), 1000);
    EXPECT_TRUE(m_risposta.atEnd());
    EXPECT_EQ(m_risposta.fetchMore(10), 0);
    // Reopening starts again from the first row, same text.
    const QStringList testo = m_risposta.SQL();
    m_risposta.reopen();
    EXPECT_EQ(m_risposta.fetchedCount(), 0);
    EXPECT_EQ(m_risposta.SQL(), testo);
    EXPECT_EQ(m_risposta.fetchMore(5), 5);
}

TEST_F(Motore, packedRowsGiveBackEveryValueAsTheCursorReadIt)
{
    m_risposta.attach(att(), tra());
    m_risposta.SQL() = QStringList{QStringLiteral("SELECT * FROM TIPI")};
    m_risposta.open();
    m_risposta.fetchAll();
    ASSERT_EQ(m_risposta.fetchedCount(), 3);

    db::Statement s(att(), tra(), QStringLiteral("SELECT * FROM TIPI"), db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    for (int r = 0; rs.next(); ++r) {
        for (int c = 0; c < rs.columnCount(); ++c) {
            EXPECT_EQ(m_risposta.value(r, c), rs.value(c)) << "row " << r << " column " << c;
            EXPECT_EQ(m_risposta.text(r, c), rs.text(c)) << "row " << r << " column " << c;
        }
    }
    EXPECT_EQ(m_risposta.text(1, 14), QStringLiteral("àèìòù €"));
    EXPECT_FALSE(m_risposta.value(2, 3).has_value());
    EXPECT_THROW(m_risposta.value(0, 99), std::out_of_range);
}

TEST_F(Motore, aFailedExecutionKeepsTheInterrogationAndTheCurrentRow)
{
    auto m = motore(QStringLiteral("CLIENTI"));
    m->RiempiTabIntTmp(m_tab, QStringLiteral("CLIENTI"));
    m_tab.setCondizione(4, QStringLiteral("(FIDO >>> 1)"));
    m_tab.setCurrentRow(4);
    const auto prima = m_tab.righe();
    EXPECT_FALSE(esegui(*m, QStringLiteral("CLIENTI")));
    EXPECT_EQ(m_tab.righe(), prima);
    EXPECT_EQ(m_tab.currentRow(), 4);
    EXPECT_FALSE(m_risposta.isOpen());
    EXPECT_FALSE(m->ultimoErrore().isEmpty());
    EXPECT_EQ(m_services.messages().texts(),
              QStringList{QStringLiteral("Si prega di verificare la sintassi delle condizioni o dei collegamenti\n")
                          + m->ultimoErrore()});
}

TEST_F(Motore, anAnswerTableHoldsTheAnswerAndTheNextLevelReadsIt)
{
    dropSeEsiste(QStringLiteral("TMP_RSUCC0007_0000"));
    auto m = motore(QStringLiteral("CLIENTI"));
    m->RiempiTabIntTmp(m_tab, QStringLiteral("CLIENTI"));
    m_tab.setCondizione(2, QStringLiteral("MILANO"));
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI")));
    const QStringList composto = m_risposta.SQL();
    m_risposta.SQL() << QStringLiteral("ORDER BY") << QStringLiteral("XX.CODICE DESC");

    m->CreaTabellaRisposta(m_risposta);
    EXPECT_EQ(m_risposta.SQL(), composto);
    tra().commit(); // a snapshot older than the table does not see it
    const auto colonne = db::catalog::columns(att(), tra(), QStringLiteral("TMP_RSUCC0007_0000"));
    ASSERT_EQ(colonne.size(), 8u);
    EXPECT_EQ(colonne[4].sqlTypeText(), QStringLiteral("NUMERIC(18,4)"));
    EXPECT_EQ(colonne[6].sqlTypeText().left(4), QStringLiteral("BLOB"));
    EXPECT_EQ(db::toInt64(*db::queryValue(att(), tra(), QStringLiteral("SELECT COUNT(*) FROM TMP_RSUCC0007_0000")))
                  .value_or(-1),
              2);

    // Level 1 questions the answer table; the plain search on the memo of
    // the answer table is still a blob search.
    TabIntTmp livello1;
    m_tab = livello1;
    m->sessione().setLivello(1);
    m->RiempiTabIntTmp(m_tab, QStringLiteral("TMP_RSUCC0007_0000"));
    m_tab.setCondizione(6, QStringLiteral("storico"));
    EXPECT_EQ(m->DeterminaTipoCampo(QStringLiteral("NOTE"), QString()), TipoCampo::BlobTesto);
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI"), 1)) << m->ultimoErrore().toStdString();
    EXPECT_EQ(m_risposta.SQL()[m_risposta.SQL().size() - 3], QStringLiteral("\"TMP_RSUCC0007_0000\" XX "));
    m_risposta.fetchAll();
    EXPECT_EQ(m_risposta.fetchedCount(), 1);

    // Moving on again replaces the table of that level.
    m->sessione().setLivello(0);
    m_risposta.close();
    m_tab.clear();
    m->RiempiTabIntTmp(m_tab, QStringLiteral("ZONE"));
    ASSERT_TRUE(esegui(*m, QStringLiteral("ZONE")));
    m->CreaTabellaRisposta(m_risposta);
    tra().commit();
    EXPECT_EQ(db::catalog::columns(att(), tra(), QStringLiteral("TMP_RSUCC0007_0000")).size(), 2u);
}

TEST_F(Motore, aNewChainDropsTheUsersAnswerTablesOnly)
{
    for (const char *t : {"TMP_RSUCC0007_0000", "TMP_RSUCC0007_0030", "TMP_RSUCC0008_0000"}) {
        dropSeEsiste(QLatin1String(t));
        db::executeSql(att(), tra(), QStringLiteral("CREATE TABLE %1 (X INTEGER)").arg(QLatin1String(t)));
        tra().commit();
    }
    auto m = motore(QStringLiteral("CLIENTI"));
    m->EliminaTabelleRisposta();
    EXPECT_FALSE(db::catalog::relationExists(att(), tra(), QStringLiteral("TMP_RSUCC0007_0000")));
    EXPECT_FALSE(db::catalog::relationExists(att(), tra(), QStringLiteral("TMP_RSUCC0007_0030")));
    EXPECT_TRUE(db::catalog::relationExists(att(), tra(), QStringLiteral("TMP_RSUCC0008_0000")));
}

TEST_F(Motore, clipboardModeComposesWithoutOpeningAndDoublesQuotes)
{
    auto m = motore(QStringLiteral("CLIENTI"));
    m_tab.append(QStringLiteral("CODICE"), MostraVisibile);
    m_tab.append(QStringLiteral("RAGIONESOCIALE"), MostraNascosto, QStringLiteral("D'ANGELO"));
    m->setModoClipboard(true);
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI")));
    EXPECT_FALSE(m_risposta.isOpen());
    EXPECT_EQ(m->MemoPerClipboard(),
              QStringLiteral("SELECT\nXX.CODICE\nFROM \n\"CLIENTI\" XX \nWHERE \n((UPPER (CAST(XX.RAGIONESOCIALE AS "
                             "CHARACTER(256)) ) LIKE UPPER(''%D''''ANGELO%'')))"));
    EXPECT_TRUE(m_services.clipboard().text().isEmpty());
    m->ButtonOkClick();
    EXPECT_EQ(m_services.clipboard().text(), m->MemoPerClipboard());
}

TEST_F(Motore, clipboardModeOfAUnionJoinsTheBlocks)
{
    auto m = motore(QStringLiteral("CLIENTI"));
    m_tab.append(QStringLiteral("CODICE"), MostraVisibileUnione);
    m_tab.append(QStringLiteral("QUERY BLOCCATA"), MostraBlocco);
    m_tab.append(QStringLiteral("CLIENTI"), MostraTestataLeft, QStringLiteral("UNION"));
    m_tab.append(QStringLiteral("NUMERO"), MostraVisibile);
    m_tab.append(QStringLiteral("QUERY BLOCCATA"), MostraBlocco);
    m->setModoClipboard(true);
    m->sessione().setUnione(true);
    ASSERT_TRUE(m->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta));
    EXPECT_EQ(m->MemoPerClipboard(), QStringLiteral("SELECT\nXX.CODICE\nFROM \n\"CLIENTI\" XX \nUNION\nSELECT\n"
                                                    "XX.NUMERO\nFROM \n\"CLIENTI\" XX "));
    EXPECT_FALSE(m_risposta.isOpen());
}

TEST_F(Motore, proceduralKeywordsCallTheirPostProcessing)
{
    auto m = motore(QStringLiteral("CLIENTI"));
    m_tab.append(QStringLiteral("CODICE"), MostraVisibile);
    m_tab.append(QStringLiteral("FIDO"), MostraVisibile, QStringLiteral("(CALC SOMMAPROG)"));
    int chiamate = 0;
    m->setPostElaborazione([&](TabRispTmp &r, bool sommaProg, bool interoQmt) {
        ++chiamate;
        EXPECT_TRUE(r.isOpen());
        EXPECT_TRUE(sommaProg);
        EXPECT_FALSE(interoQmt);
    });
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI")));
    EXPECT_EQ(chiamate, 1);
}

class AspettoSalvato : public Motore
{
protected:
    void SetUp() override
    {
        Motore::SetUp();
        storedqueries::PreparaTabelleQuery(att(), tra());
        m_tab.append(QStringLiteral("CODICE"), MostraVisibile);
        m_tab.append(QStringLiteral("CITTA"), MostraVisibile);
    }
    std::vector<storedqueries::RigaStoAsp> applicato;
    int chiamate = 0;
    void aggancia(TIBFQuerForm &m)
    {
        m.setApplicaAspetto([this](TabRispTmp &, const std::vector<storedqueries::RigaStoAsp> &a) {
            ++chiamate;
            applicato = a;
        });
    }
};

TEST_F(AspettoSalvato, aCompatibleAppearanceIsHandedOverWithItsCodes)
{
    storedqueries::scriviStoAsp(att(), tra(), 0, 3,
                                {{0, QStringLiteral("CODICE"), 6, 1, 1, 0}, {1, QStringLiteral("CITTA"), 20, 1, 0, 10100}});
    auto m = motore(QStringLiteral("CLIENTI"));
    aggancia(*m);
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI"), 0, true, 0, 3));
    EXPECT_EQ(chiamate, 1);
    EXPECT_EQ(applicato.size(), 2u);
    EXPECT_EQ(m->codiciRaggruppamento().codice(1), 10100);

    // Without stored mode nothing is looked up.
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI")));
    EXPECT_EQ(chiamate, 1);
}

TEST_F(AspettoSalvato, anAppearanceThatDoesNotFitIsIgnored)
{
    auto m = motore(QStringLiteral("CLIENTI"));
    aggancia(*m);
    // A column the answer lacks, then an answer column without a row.
    storedqueries::scriviStoAsp(att(), tra(), 0, 3,
                                {{0, QStringLiteral("CODICE"), 6, 1, 0, 0}, {1, QStringLiteral("ZONA"), 5, 1, 1, 0},
                                 {2, QStringLiteral("CITTA"), 5, 1, 2, 0}});
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI"), 0, true, 0, 3));
    storedqueries::scriviStoAsp(att(), tra(), 0, 3, {{0, QStringLiteral("CODICE"), 6, 1, 0, 0}});
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI"), 0, true, 0, 3));
    EXPECT_EQ(chiamate, 0);
}

TEST_F(AspettoSalvato, aChainedLevelUsesTheChainKey)
{
    dropSeEsiste(QStringLiteral("TMP_RSUCC0007_0000"));
    auto m = motore(QStringLiteral("CLIENTI"));
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI")));
    m->CreaTabellaRisposta(m_risposta);
    storedqueries::scriviStoAsp(att(), tra(), 0, 3,
                                {{0, QStringLiteral("CODICE"), 6, 1, 0, 0}, {1, QStringLiteral("CITTA"), 5, 1, 1, 0}});
    storedqueries::scriviStoAsp(att(), tra(), 2000, 4,
                                {{0, QStringLiteral("CODICE"), 6, 1, 0, 1}, {1, QStringLiteral("CITTA"), 5, 1, 1, 2}});
    aggancia(*m);
    ASSERT_TRUE(esegui(*m, QStringLiteral("CLIENTI"), 1, true, 0, 3, 4));
    EXPECT_EQ(chiamate, 1);
    EXPECT_EQ(m->codiciRaggruppamento().codice(1), 2);
}

TEST_F(AspettoSalvato, theSessionOfTheNextLevelGetsItsOwnCodesAndTheLevelLeftKeepsItsOwn)
{
    dropSeEsiste(QStringLiteral("TMP_RSUCC0007_0000"));
    storedqueries::scriviStoAsp(att(), tra(), 0, 3,
                                {{0, QStringLiteral("CODICE"), 6, 1, 0, 10100}, {1, QStringLiteral("CITTA"), 5, 1, 1, 0}});
    storedqueries::scriviStoAsp(att(), tra(), 2000, 4,
                                {{0, QStringLiteral("CODICE"), 6, 1, 0, 1}, {1, QStringLiteral("CITTA"), 5, 1, 1, 2}});
    auto m = motore(QStringLiteral("CLIENTI"));
    m_sessione.setChiaveStorico(0, 3);
    ASSERT_TRUE(m->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta));
    EXPECT_EQ(m_sessione.codici().codice(0), 10100);
    m->CreaTabellaRisposta(m_risposta);

    SessioneQuery successiva = m_sessione.successiva(4);
    m->setSessione(successiva);
    EXPECT_EQ(m->livello(), 1);
    ASSERT_TRUE(m->EseguiInterrogazione(m_tab, QStringLiteral("CLIENTI"), m_risposta)) << m->ultimoErrore().toStdString();
    EXPECT_EQ(m_risposta.SQL()[m_risposta.SQL().size() - 1], QStringLiteral("\"TMP_RSUCC0007_0000\" XX "));
    EXPECT_EQ(successiva.codici().codice(0), 1);
    EXPECT_EQ(successiva.codici().codice(1), 2);
    EXPECT_EQ(m_sessione.codici().codice(0), 10100);
    EXPECT_EQ(m_sessione.codici().codice(1), 0);

    m->setSessione(m_sessione);
    EXPECT_EQ(m->livello(), 0);
    EXPECT_EQ(m->codiciRaggruppamento().codice(0), 10100);
}

TEST_F(Motore, theSessionIsReadInPlaceNotCopiedWhenTheEngineIsBuilt)
{
    auto m = motore(QStringLiteral("CLIENTI"));
    m_sessione.setArchivio(QStringLiteral("/dati/archivio/"));
    m_sessione.setLivello(2);
    EXPECT_EQ(m->archivio(), QStringLiteral("/dati/archivio/"));
    EXPECT_EQ(m->livello(), 2);
    m->codiciRaggruppamento().setRaggruppamento(3, 1);
    EXPECT_EQ(m_sessione.codici().codice(3), 1);
}

} // namespace
