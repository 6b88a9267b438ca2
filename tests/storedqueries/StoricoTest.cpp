// The registry's history layout and the classifications window, driven
// offscreen with scripted messages, file dialogs and clipboard: the record
// operations with their questions and refusals, the filters, closing while
// editing, and a stored query saved to a file (and the clipboard) and
// loaded back as a new one.

#include "ArchivioQuery.h"

#include "context/WorkContext.h"
#include "grid/ui/TQmtGrid.h"
#include "platform/Clipboard.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "storedqueries/ui/TIBQGenForm.h"
#include "storedqueries/ui/TQueryClassForm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>

using namespace vardof;
using namespace vardof::storedqueries;
using namespace vardof::test;

namespace {

class Finestra : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        m_context = std::make_unique<context::TTabForm>(m_dir.path() + QLatin1Char('/'));
        m_context->database().connect(dbPath(), adminParams());
        m_context->NomeProgetto = QStringLiteral("DEMO");
        m_context->Archivio = dbPath();
        m_context->DirectoryLavoro = m_dir.path() + QStringLiteral("/lavoro/");
        QDir().mkpath(m_context->DirectoryLavoro);
        m_context->DirectoryBin = m_dir.path() + QStringLiteral("/bin/");
        m_context->DirectoryTemp = m_dir.path() + QStringLiteral("/temp/");
    }
    void TearDown() override
    {
        m_context.reset();
        FbFixture::TearDown();
    }

    std::unique_ptr<TIBQGenForm> storico()
    {
        auto form = std::make_unique<TIBQGenForm>(m_context.get(), 1, TIBQGenForm::Mode::Storico);
        form->show();
        for (int i = 0; i < 5 && !form->layoutStorico(); ++i)
            QCoreApplication::processEvents();
        return form;
    }
    void riga(const QString &sql) { exec(sql); }
    void queryDemo()
    {
        preparaArchivio(att());
        for (const char *sql :
             {"INSERT INTO QUERYCLASS1 VALUES (1, 'Vendite')", "INSERT INTO QUERYCLASS1 VALUES (2, 'Anagrafiche')",
              "INSERT INTO QUERYCLASS2 VALUES (1, 'Mensili')",
              "INSERT INTO STOQUER (CODICE, TITOLO, TABELLA, CLASSIFICAZIONE1, CLASSIFICAZIONE2) VALUES (1, 'Uno', "
              "'CLIENTI', 'Vendite', 'Mensili')",
              "INSERT INTO STOQUER (CODICE, TITOLO, TABELLA, CLASSIFICAZIONE1) VALUES (2, 'Due', 'CLIENTI', "
              "'Anagrafiche')",
              "INSERT INTO STOQUER (CODICE, TITOLO, TABELLA, CLASSIFICAZIONE1) VALUES (3, 'Tre', 'CLIENTI', 'Vendite')",
              "INSERT INTO STOINT VALUES (0, 1, 1, 'CODICE', 1, '')", "INSERT INTO STOINT VALUES (0, 1, 2, 'CITTA', 1, 'ROMA')",
              "INSERT INTO STOASP VALUES (0, 1, 0, 'CODICE', 8, 1, 0, 0)"})
            exec(QString::fromUtf8(sql));
    }
    qint64 conta(const QString &sql)
    {
        db::Transaction t(att());
        const db::FieldValue v = db::queryValue(t, sql);
        return v ? db::toInt64(*v).value_or(-1) : -1;
    }
    QStringList testi() { return m_services.messages().texts(); }

    platform::ScopedServices m_services;
    std::unique_ptr<context::TTabForm> m_context;
};

TEST_F(Finestra, historyOnADatabaseWithoutTablesCreatesThemAndNewGivesOne)
{
    auto form = storico();
    ASSERT_TRUE(form->layoutStorico());
    EXPECT_EQ(form->PanelAlto->height(), 228);
    EXPECT_TRUE(form->EditTabella->isHidden());
    EXPECT_FALSE(form->GridStorico->isHidden());
    for (const char *t : {"STOQUER", "STOINT", "STOASP", "QUERYCLASS1", "QUERYCLASS2"})
        EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME='%1'").arg(t)), 1) << t;
    EXPECT_TRUE(form->codiciMostrati().isEmpty());
    form->ButtonNuovo->click();
    EXPECT_EQ(form->stato(), 2);
    EXPECT_EQ(form->Codice->text(), QStringLiteral("1"));
    EXPECT_FALSE(form->Tabella->isReadOnly());
    EXPECT_FALSE(form->ButtonNuovo->isEnabled());
    EXPECT_TRUE(form->ButtonMemorizza->isEnabled());
    form->Tabella->setText(QStringLiteral("CLIENTI"));
    form->Titolo->setText(QStringLiteral("Clienti dell'Aquila"));
    form->ButtonMemorizza->click();
    EXPECT_EQ(form->stato(), 1);
    EXPECT_EQ(form->codiciMostrati(), QList<int>{1});
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE TITOLO='Clienti dell''Aquila'")), 1);
    EXPECT_EQ(testi(), QStringList{"Memorizzo le ultime modifiche?"});
}

TEST_F(Finestra, newThenCancelRemovesTheRowAgain)
{
    auto form = storico();
    form->ButtonNuovo->click();
    ASSERT_EQ(form->stato(), 2);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER")), 1);
    form->ButtonAnnulla->click();
    EXPECT_EQ(form->stato(), 1);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER")), 0);
    EXPECT_TRUE(form->codiciMostrati().isEmpty());
}

TEST_F(Finestra, saveAnsweredNoKeepsTheRowInEditAndClosingIsRefused)
{
    auto form = storico();
    form->ButtonNuovo->click();
    m_services.messages().queueAnswer(platform::Answer::No);
    form->ButtonMemorizza->click();
    EXPECT_EQ(form->stato(), 2);
    EXPECT_EQ(testi(), (QStringList{"Memorizzo le ultime modifiche?",
                                    "Si prega di premere Annulla prima di abbandonare il record"}));
    m_services.messages().clear();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    // Esc is refused the same way.
    form->reject();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(testi(), QStringList(2, QStringLiteral("E' necessario memorizzare o annullare le modifiche in corso prima "
                                                     "di chiudere la finestra")));
    form->ButtonAnnulla->click();
    EXPECT_TRUE(form->close());
}

struct CasoFiltroFinestra
{
    const char *filtro1;
    const char *filtro2;
    QList<int> codici;
};

class FiltriFinestra : public Finestra, public ::testing::WithParamInterface<CasoFiltroFinestra> {};

TEST_P(FiltriFinestra, theListShowsTheRowsOfTheChosenEntries)
{
    queryDemo();
    auto form = storico();
    EXPECT_EQ(form->FiltroClassificazione1->count(), 3); // the empty entry first
    EXPECT_EQ(form->FiltroClassificazione1->itemText(0), QString());
    form->FiltroClassificazione1->setCurrentText(QString::fromUtf8(GetParam().filtro1));
    form->FiltroClassificazione2->setCurrentText(QString::fromUtf8(GetParam().filtro2));
    EXPECT_EQ(form->codiciMostrati(), GetParam().codici);
}

INSTANTIATE_TEST_SUITE_P(Casi, FiltriFinestra,
                         ::testing::Values(CasoFiltroFinestra{"", "", {1, 2, 3}},
                                           CasoFiltroFinestra{"Vendite", "", {1, 3}},
                                           CasoFiltroFinestra{"Anagrafiche", "", {2}},
                                           CasoFiltroFinestra{"Vendite", "Mensili", {1}}));

TEST_F(Finestra, editChangesTheRowAndMemorizeGoesBackToTheFullList)
{
    queryDemo();
    auto form = storico();
    form->FiltroClassificazione1->setCurrentText(QStringLiteral("Vendite"));
    ASSERT_TRUE(form->posiziona(3));
    form->ButtonEdit->click();
    ASSERT_EQ(form->stato(), 0);
    EXPECT_EQ(form->PaginaClassificazione1->currentIndex(), 1);
    form->Titolo->setText(QStringLiteral("Tre bis"));
    form->ComboClassificazione1->setCurrentText(QStringLiteral("Anagrafiche"));
    form->ButtonMemorizza->click();
    EXPECT_EQ(form->stato(), 1);
    EXPECT_EQ(form->FiltroClassificazione1->currentIndex(), 0);
    EXPECT_EQ(form->codiciMostrati(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(form->codiceCorrente(), 3);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=3 AND TITOLO='Tre bis' AND "
                                   "CLASSIFICAZIONE1='Anagrafiche'")),
              1);
}

TEST_F(Finestra, aClassificationNoLongerInItsListSurvivesAnEdit)
{
    queryDemo();
    exec(QStringLiteral("UPDATE QUERYCLASS1 SET DESCRIZIONE='Acquisti' WHERE CODICE=1"));
    auto form = storico();
    ASSERT_TRUE(form->posiziona(3));
    form->ButtonEdit->click();
    form->Titolo->setText(QStringLiteral("Tre bis"));
    form->ButtonMemorizza->click();
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=3 AND CLASSIFICAZIONE1='Vendite'")), 1);
}

TEST_F(Finestra, aNewRowTakesTheClassificationsOfTheFilters)
{
    queryDemo();
    auto form = storico();
    form->FiltroClassificazione1->setCurrentText(QStringLiteral("Anagrafiche"));
    form->ButtonNuovo->click();
    ASSERT_EQ(form->stato(), 2);
    EXPECT_EQ(form->ComboClassificazione1->currentText(), QStringLiteral("Anagrafiche"));
    EXPECT_EQ(form->ComboClassificazione2->currentText(), QString());
    form->Tabella->setText(QStringLiteral("CLIENTI"));
    form->ButtonMemorizza->click();
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=4 AND CLASSIFICAZIONE1='Anagrafiche' "
                                   "AND CLASSIFICAZIONE2 IS NULL")),
              1);
}

TEST_F(Finestra, recordOperationsWithoutARowAskForOne)
{
    auto form = storico();
    form->ButtonEdit->click();
    form->ButtonElimina->click();
    form->ButtonDuplica->click();
    form->ButtonGeneraQuery->click();
    EXPECT_EQ(testi(), QStringList(4, QStringLiteral("Selezionare un record")));
}

TEST_F(Finestra, aRowDeletedElsewhereIsReportedOnEdit)
{
    queryDemo();
    auto form = storico();
    ASSERT_TRUE(form->posiziona(2));
    exec(QStringLiteral("DELETE FROM STOQUER WHERE CODICE=2"));
    form->ButtonEdit->click();
    EXPECT_EQ(form->stato(), 1);
    EXPECT_EQ(testi(), QStringList{"Record eliminato in un'altra sessione"});
}

TEST_F(Finestra, deleteAsksAndTakesTheQueryWithItsRows)
{
    queryDemo();
    auto form = storico();
    ASSERT_TRUE(form->posiziona(1));
    m_services.messages().queueAnswer(platform::Answer::Cancel);
    form->ButtonElimina->click();
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=1")), 1);
    form->ButtonElimina->click();
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=1")), 0);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT")), 0);
    EXPECT_EQ(testi(), QStringList(2, QStringLiteral("Confermare eliminazione record e relativa query collegata?")));
    EXPECT_EQ(form->codiciMostrati(), (QList<int>{2, 3}));
}

TEST_F(Finestra, deleteOfAQueryOfAMissingArchiveDeletesNothing)
{
    queryDemo();
    exec(QStringLiteral("UPDATE STOQUER SET PERCORSO='/non/esiste.fdb' WHERE CODICE=2"));
    auto form = storico();
    ASSERT_TRUE(form->posiziona(2));
    form->ButtonElimina->click();
    EXPECT_EQ(testi(), (QStringList{"Confermare eliminazione record e relativa query collegata?",
                                    QString::fromUtf8("L'archivio \"/non/esiste.fdb\" non è stato trovato")}));
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=2")), 1);
}

TEST_F(Finestra, duplicateAsksThenShowsTheCopy)
{
    queryDemo();
    auto form = storico();
    ASSERT_TRUE(form->posiziona(1));
    m_services.messages().queueAnswer(platform::Answer::No);
    form->ButtonDuplica->click();
    EXPECT_EQ(form->codiciMostrati().size(), 3);
    form->ButtonDuplica->click();
    EXPECT_EQ(form->codiciMostrati(), (QList<int>{1, 2, 3, 4}));
    EXPECT_EQ(form->codiceCorrente(), 4);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CODICE2=4")), 2);
    EXPECT_EQ(testi(), (QStringList{"Duplico la query selezionata?", "Duplico la query selezionata?",
                                    "Memorizzo le ultime modifiche?"}));
}

TEST_F(Finestra, renumberAsksForTheNewCodeAndRefusesATakenOne)
{
    queryDemo();
    auto form = storico();
    ASSERT_TRUE(form->posiziona(1));
    m_services.messages().queueInput(QStringLiteral("2"));
    form->Riassegnanumeroquery1->trigger();
    EXPECT_EQ(testi(), QStringList{QString::fromUtf8("Codice già occupato STOQUER")});
    EXPECT_EQ(form->codiceCorrente(), 1);
    m_services.messages().queueInput(QStringLiteral("7"));
    form->Riassegnanumeroquery1->trigger();
    EXPECT_EQ(form->codiceCorrente(), 7);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CODICE2=7")), 2);
    m_services.messages().queueInput(std::nullopt);
    form->Riassegnanumeroquery1->trigger();
    EXPECT_EQ(form->codiceCorrente(), 7);
    const auto inputs = m_services.messages().inputs();
    ASSERT_FALSE(inputs.isEmpty());
    EXPECT_EQ(inputs[0].caption, QStringLiteral("Query"));
    EXPECT_EQ(inputs[0].prompt, QStringLiteral("Inserire il nuovo codice"));
}

TEST_F(Finestra, aQuerySavedToAFileComesBackAsANewQuery)
{
    queryDemo();
    auto form = storico();
    ASSERT_TRUE(form->posiziona(1));
    const QString file = m_context->DirectoryLavoro + QStringLiteral("clienti");
    m_services.fileDialogs().queueFile(file);
    form->SalvaQuerySuFile->trigger();
    EXPECT_EQ(testi(), QStringList{"Creato file per esportazione."});
    ASSERT_TRUE(QFile::exists(file + QStringLiteral(".txt")));

    m_services.messages().clear();
    m_services.fileDialogs().queueFile(file + QStringLiteral(".txt"));
    form->CaricaQueryDaFile->trigger();
    EXPECT_EQ(testi(), (QStringList{"Memorizzo le ultime modifiche?", "Importazione completa."}));
    EXPECT_EQ(form->codiceCorrente(), 4);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOINT WHERE CODICE2=4")), 2);
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CODICE=4 AND TITOLO='Uno'")), 1);
}

TEST_F(Finestra, theClipboardCarriesAQueryToo)
{
    queryDemo();
    auto form = storico();
    ASSERT_TRUE(form->posiziona(1));
    form->CopiaQueryInRitaglio->trigger();
    EXPECT_EQ(testi(), QStringList{"Copia in ritaglio effettuata!"});
    EXPECT_TRUE(m_services.clipboard().text().startsWith(QStringLiteral("Definizione query.\r\n")));
    m_services.messages().clear();
    form->CaricaQueryDaRitaglio->trigger();
    EXPECT_EQ(testi(), (QStringList{"Memorizzo le ultime modifiche?", "Importazione completa."}));
    EXPECT_TRUE(QFile::exists(m_context->DirectoryLavoro + QStringLiteral("qrydef.txt")));
    EXPECT_EQ(form->codiciMostrati(), (QList<int>{1, 2, 3, 4}));
}

TEST_F(Finestra, aBrokenFileIsReportedAndAddsNothing)
{
    queryDemo();
    auto form = storico();
    const QString file = m_context->DirectoryLavoro + QStringLiteral("rotto.txt");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<TESTAFILE>\r\n<TESTAQUERY>\r\n<query=1;X;CLIENTI;;;;;>\r\n<TESTAPASSO>\r\n");
    }
    m_services.fileDialogs().queueFile(file);
    form->CaricaQueryDaFile->trigger();
    ASSERT_EQ(testi().size(), 2);
    EXPECT_TRUE(testi()[1].startsWith(QStringLiteral("File di importazione query non completo.")));
    EXPECT_EQ(form->codiciMostrati(), (QList<int>{1, 2, 3}));
    m_services.messages().clear();
    m_services.fileDialogs().queueFile(m_context->DirectoryLavoro + QStringLiteral("manca.txt"));
    form->CaricaQueryDaFile->trigger();
    EXPECT_EQ(testi(), QStringList{"Impossibile aprire file \"" + m_context->DirectoryLavoro + "manca.txt\"!"});
}

TEST_F(Finestra, closingTheHistoryGoesBackToTheTableSelection)
{
    queryDemo();
    auto form = std::make_unique<TIBQGenForm>(m_context.get(), 1, TIBQGenForm::Mode::QueryGenerica);
    form->show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->layoutStorico());
    form->ButtonStorico->click();
    ASSERT_TRUE(form->layoutStorico());
    EXPECT_EQ(form->codiciMostrati().size(), 3);
    form->ButtonChiudiStorico->click();
    EXPECT_FALSE(form->layoutStorico());
    EXPECT_FALSE(form->EditTabella->isHidden());
    EXPECT_TRUE(form->GridStorico->isVisibleTo(form.get()) == false);
}

// ---- classifications window ---------------------------------------------------------

class FinestraClassi : public Finestra
{
protected:
    std::unique_ptr<TQueryClassForm> apri(int n)
    {
        auto form = std::make_unique<TQueryClassForm>(1, n, m_context.get());
        form->show();
        QCoreApplication::processEvents();
        return form;
    }
    using Righe = QList<QPair<int, QString>>;
};

TEST_F(FinestraClassi, theFirstOpeningCreatesTheTableAndNewGivesCodeOne)
{
    auto form = apri(1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Classificazioni 1 - Ditta: DEMO"));
    EXPECT_TRUE(form->tabellaPronta());
    EXPECT_TRUE(form->righe().isEmpty());
    m_services.messages().queueInput(QStringLiteral("Vendite"));
    form->ButtonNuovo->click();
    EXPECT_EQ(form->righe(), (Righe{{1, "Vendite"}}));
    EXPECT_EQ(form->CODICE->text(), QStringLiteral("1"));
    EXPECT_EQ(form->DESCRIZIONE->text(), QStringLiteral("Vendite"));
    const auto inputs = m_services.messages().inputs();
    ASSERT_EQ(inputs.size(), 1);
    EXPECT_EQ(inputs[0].caption, QStringLiteral("Nuovo"));
    EXPECT_EQ(inputs[0].prompt, QStringLiteral("Descrizione (max 20 car.)"));
}

TEST_F(FinestraClassi, newTakesTheNextCodeAndAsksAgainUntilAccepted)
{
    CheckTabQueryClass(att(), tra(), 2);
    tra().commit();
    exec(QString::fromUtf8("INSERT INTO QUERYCLASS2 VALUES (1, 'Vendite')"));
    exec(QString::fromUtf8("INSERT INTO QUERYCLASS2 VALUES (2, 'O´Neil')"));
    exec(QString::fromUtf8("INSERT INTO QUERYCLASS2 VALUES (5, 'Acquisti')"));
    auto form = apri(2);
    for (const char *t : {"", "123456789012345678901", "O'Neil", "Vendite"})
        m_services.messages().queueInput(QString::fromUtf8(t));
    m_services.messages().queueInput(QStringLiteral("VENDITE"));
    form->ButtonNuovo->click();
    EXPECT_EQ(testi(), (QStringList{"Inserire una descrizione", QString::fromUtf8("La descrizione non può superare i 20 caratteri"),
                                    QString::fromUtf8("Descrizione già utilizzata"),
                                    QString::fromUtf8("Descrizione già utilizzata")}));
    const auto inputs = m_services.messages().inputs();
    ASSERT_EQ(inputs.size(), 5);
    // The dialog comes back with what was typed.
    EXPECT_EQ(inputs[2].defaultValue, QStringLiteral("123456789012345678901"));
    EXPECT_EQ(form->CODICE->text(), QStringLiteral("6"));
    EXPECT_EQ(form->DESCRIZIONE->text(), QStringLiteral("VENDITE"));
}

TEST_F(FinestraClassi, cancelAddsNothing)
{
    auto form = apri(1);
    m_services.messages().queueInput(std::nullopt);
    form->ButtonNuovo->click();
    EXPECT_TRUE(form->righe().isEmpty());
    EXPECT_TRUE(testi().isEmpty());
}

TEST_F(FinestraClassi, editRenamesAndLeavesTheStoredQueriesAlone)
{
    queryDemo();
    auto form = apri(1);
    ASSERT_TRUE(form->posiziona(1));
    m_services.messages().queueInput(QStringLiteral("Vendite"));
    form->ButtonEdit->click();
    EXPECT_TRUE(testi().isEmpty()); // its own description is accepted
    m_services.messages().queueInput(QStringLiteral("Acquisti"));
    form->ButtonEdit->click();
    EXPECT_EQ(form->righe(), (Righe{{1, "Acquisti"}, {2, "Anagrafiche"}}));
    EXPECT_EQ(form->CODICE->text(), QStringLiteral("1"));
    EXPECT_EQ(conta(QStringLiteral("SELECT COUNT(*) FROM STOQUER WHERE CLASSIFICAZIONE1='Vendite'")), 2);
    EXPECT_EQ(m_services.messages().inputs()[1].caption, QStringLiteral("Modifica"));
    EXPECT_EQ(m_services.messages().inputs()[1].defaultValue, QStringLiteral("Vendite"));
}

TEST_F(FinestraClassi, deleteRefusesAValueInUseAndAsksForTheOthers)
{
    queryDemo();
    exec(QStringLiteral("INSERT INTO QUERYCLASS1 VALUES (3, 'Libera')"));
    auto form = apri(1);
    ASSERT_TRUE(form->posiziona(1));
    form->ButtonElimina->click();
    EXPECT_EQ(testi(), QStringList{"Descrizione utilizzata nello storico"});
    m_services.messages().clear();
    ASSERT_TRUE(form->posiziona(3));
    m_services.messages().queueAnswer(platform::Answer::No);
    form->ButtonElimina->click();
    EXPECT_EQ(form->righe().size(), 3);
    form->ButtonElimina->click();
    EXPECT_EQ(form->righe(), (Righe{{1, "Vendite"}, {2, "Anagrafiche"}}));
    EXPECT_EQ(testi(), QStringList(2, QStringLiteral("Eliminare la classificazione selezionata?")));
}

TEST_F(FinestraClassi, withoutARowEditAndDeleteAskForOne)
{
    auto form = apri(2);
    form->ButtonEdit->click();
    form->ButtonElimina->click();
    EXPECT_EQ(testi(), QStringList(2, QStringLiteral("Selezionare una classificazione")));
}

TEST_F(FinestraClassi, aContextWithoutConnectionShowsAnEmptyWindow)
{
    m_context->database().disconnect();
    auto form = apri(1);
    EXPECT_FALSE(form->tabellaPronta());
    form->ButtonNuovo->click();
    EXPECT_TRUE(form->righe().isEmpty());
}

} // namespace
