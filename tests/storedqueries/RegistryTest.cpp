// The registry in its table-selection layout, driven offscreen: choosing a
// table and a database, the refusals with their messages, and opening the
// query window on the work database or on another database file.

#include "db/Catalog.h"
#include "db/Statement.h"
#include "context/WorkContext.h"
#include "platform/QtPrinters.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "qbe/Controlli.h"
#include "qbe/ui/AnswerModel.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "storedqueries/StoredQueryTables.h"
#include "storedqueries/ui/TIBQGenForm.h"
#include "storedqueries/ui/TMemoNoteForm.h"
#include "support/FbFixture.h"
#include "support/ModalDialogs.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

using namespace vardof;
using storedqueries::TIBQGenForm;

namespace {

class Registry : public test::FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec(QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, CITTA VARCHAR(40))"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (1, 'ROMA')"));
        exec(QStringLiteral("INSERT INTO CLIENTI VALUES (2, 'MILANO')"));
        exec(QStringLiteral("CREATE TABLE ZONE (CODICE VARCHAR(5) NOT NULL PRIMARY KEY)"));

        m_context = std::make_unique<context::TTabForm>(m_dir.path() + QLatin1Char('/'));
        m_context->database().connect(dbPath(), test::adminParams());
        m_context->NomeProgetto = QStringLiteral("DEMO");
        m_context->Archivio = dbPath();
        m_context->DirectoryLavoro = m_dir.path() + QStringLiteral("/lavoro/");
        m_context->DirectoryBin = m_dir.path() + QStringLiteral("/bin/");
        m_context->DirectoryTemp = m_dir.path() + QStringLiteral("/temp/");
        m_previousPicker = TIBQGenForm::setSceltaTabella([this](db::Attachment &att, db::Transaction &, QWidget *) {
            m_pickerDatabases << att.databaseName();
            return m_pickerAnswer;
        });
    }

    void TearDown() override
    {
        TIBQGenForm::setSceltaTabella(m_previousPicker);
        m_context.reset();
        FbFixture::TearDown();
    }

    // A second archive with a table the work database does not have.
    QString altroArchivio()
    {
        const QString path = m_dir.file(QStringLiteral("altro.fdb"));
        db::Attachment a = test::createDatabase(path);
        db::Transaction t(a);
        db::executeSql(a, t, QStringLiteral("CREATE TABLE ARTICOLI (CODICE VARCHAR(15) NOT NULL PRIMARY KEY)"));
        t.commit();
        db::executeSql(a, t, QStringLiteral("INSERT INTO ARTICOLI VALUES ('VITE')"));
        t.commit();
        a.disconnect();
        return path;
    }

    std::unique_ptr<TIBQGenForm> apri()
    {
        auto form = std::make_unique<TIBQGenForm>(m_context.get(), 0, TIBQGenForm::Mode::QueryGenerica);
        form->show();
        QCoreApplication::processEvents();
        return form;
    }

    platform::ScopedServices m_services;
    std::unique_ptr<context::TTabForm> m_context;
    TIBQGenForm::SceltaTabella m_previousPicker;
    std::optional<QString> m_pickerAnswer;
    QStringList m_pickerDatabases;
};

TEST_F(Registry, opensOnTheTableSelectionLayoutWithItsTablesPrepared)
{
    auto form = apri();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Query Generica - Ditta: DEMO"));
    EXPECT_EQ(form->DirectoryLavoro, m_context->DirectoryLavoro);
    EXPECT_EQ(form->DirectoryBin, m_context->DirectoryBin);
    EXPECT_EQ(form->DirectoryTemp, m_context->DirectoryTemp);
    EXPECT_FALSE(form->EditTabella->isHidden());
    EXPECT_FALSE(form->EditPercorso->isHidden());
    EXPECT_FALSE(form->ButtonStorico->isHidden());
    EXPECT_EQ(form->PanelAlto->height(), 72);
    db::Transaction t(att());
    for (const char *table : {"STOQUER", "STOINT", "STOASP"})
        EXPECT_TRUE(db::catalog::relationExists(att(), t, QString::fromLatin1(table))) << table;
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
}

TEST_F(Registry, tableFieldDecidesWhetherTheDatabaseMayBeChosen)
{
    auto form = apri();
    EXPECT_TRUE(form->ButtonDatabase->isEnabled());
    EXPECT_FALSE(form->EditPercorso->isReadOnly());
    form->EditTabella->setText(QStringLiteral("CLIENTI"));
    EXPECT_FALSE(form->ButtonDatabase->isEnabled());
    EXPECT_TRUE(form->EditPercorso->isReadOnly());
    form->EditTabella->clear();
    EXPECT_TRUE(form->ButtonDatabase->isEnabled());
    EXPECT_FALSE(form->EditPercorso->isReadOnly());
}

TEST_F(Registry, tableButtonPicksFromTheWorkDatabaseOrTheOtherArchive)
{
    auto form = apri();
    m_pickerAnswer = QStringLiteral("ZONE");
    form->ButtonTabella->click();
    EXPECT_EQ(form->EditTabella->text(), QStringLiteral("ZONE"));
    EXPECT_EQ(m_pickerDatabases, QStringList{dbPath()});

    form->EditTabella->clear();
    const QString altro = altroArchivio();
    form->EditPercorso->setText(altro);
    m_pickerAnswer = QStringLiteral("ARTICOLI");
    form->ButtonTabella->click();
    EXPECT_EQ(form->EditTabella->text(), QStringLiteral("ARTICOLI"));
    ASSERT_EQ(m_pickerDatabases.size(), 2);
    EXPECT_TRUE(m_pickerDatabases[1].endsWith(QStringLiteral("altro.fdb")));

    // Cancel keeps what was there.
    m_pickerAnswer.reset();
    form->ButtonTabella->click();
    EXPECT_EQ(form->EditTabella->text(), QStringLiteral("ARTICOLI"));
}

TEST_F(Registry, tableButtonOnAMissingArchiveSaysSo)
{
    auto form = apri();
    const QString missing = m_dir.file(QStringLiteral("manca.fdb"));
    form->EditPercorso->setText(missing);
    form->ButtonTabella->click();
    EXPECT_TRUE(m_pickerDatabases.isEmpty());
    EXPECT_EQ(m_services.messages().texts(),
              QStringList{QStringLiteral("L'archivio \"") + missing + QStringLiteral("\" non è stato trovato")});
}

TEST_F(Registry, databaseButtonOffersInterbaseArchivesFromTheArchiveFolder)
{
    auto form = apri();
    m_services.fileDialogs().queueFile(m_dir.file(QStringLiteral("scelto.fdb")));
    form->ButtonDatabase->click();
    ASSERT_EQ(m_services.fileDialogs().requests().size(), 1);
    const platform::FileDialogRequest r = m_services.fileDialogs().requests().first();
    EXPECT_EQ(r.filter, QStringLiteral("Archivi Interbase (*.gdb;*.fdb)|*.gdb;*.fdb"));
    EXPECT_EQ(r.dir, m_dir.path() + QLatin1Char('/'));
    EXPECT_EQ(form->EditPercorso->text(), m_dir.file(QStringLiteral("scelto.fdb")));

    // A path naming a folder starts the dialog there.
    QDir().mkpath(m_dir.path() + QStringLiteral("/archivi"));
    form->EditPercorso->setText(m_dir.path() + QStringLiteral("/archivi/"));
    form->ButtonDatabase->click();
    ASSERT_EQ(m_services.fileDialogs().requests().size(), 2);
    EXPECT_EQ(m_services.fileDialogs().requests()[1].dir, m_dir.path() + QStringLiteral("/archivi/"));
    // Cancelled: the path stays.
    EXPECT_EQ(form->EditPercorso->text(), m_dir.path() + QStringLiteral("/archivi/"));
}

enum class Archivio { Lavoro, Mancante, Altro };

struct RefusalCase
{
    const char *tabella;
    Archivio archivio;
    const char *message; // {path} stands for the path typed
};

class RegistryRefusals : public Registry, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(RegistryRefusals, queryButtonRefusesWithItsMessage)
{
    auto form = apri();
    QString path;
    if (GetParam().archivio == Archivio::Mancante)
        path = m_dir.file(QStringLiteral("manca.fdb"));
    else if (GetParam().archivio == Archivio::Altro)
        path = altroArchivio();
    form->EditPercorso->setText(path);
    form->EditTabella->setText(QString::fromUtf8(GetParam().tabella));
    bool aperta = false;
    QTimer *attesa = test::whenShown<qbe::TIBLQueryForm>([&aperta](qbe::TIBLQueryForm *w) {
        aperta = true;
        w->reject();
    });
    form->ButtonGeneraQuery->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(aperta);
    delete attesa;
    EXPECT_EQ(m_services.messages().texts(),
              QStringList{QString::fromUtf8(GetParam().message).replace(QStringLiteral("{path}"), path)});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryRefusals,
    ::testing::Values(RefusalCase{"", Archivio::Lavoro, "Si prega di scegliere una tabella da interrogare"},
                      RefusalCase{"", Archivio::Altro, "Si prega di scegliere una tabella da interrogare"},
                      RefusalCase{"NONESISTE", Archivio::Lavoro, "Tabella \"NONESISTE\" non trovata"},
                      // Longer than any name the server keeps: simply not there.
                      RefusalCase{"ANAGRAFICA_CLIENTI_CON_NOME_TROPPO_LUNGO", Archivio::Lavoro,
                                  "Tabella \"ANAGRAFICA_CLIENTI_CON_NOME_TROPPO_LUNGO\" non trovata"},
                      RefusalCase{"ANAGRAFICA_CLIENTI_CON_NOME_TROPPO_LUNGO", Archivio::Altro,
                                  "Tabella \"ANAGRAFICA_CLIENTI_CON_NOME_TROPPO_LUNGO\" non trovata"
                                  " nell'archivio \"{path}\""},
                      RefusalCase{"CLIENTI", Archivio::Altro,
                                  "Tabella \"CLIENTI\" non trovata nell'archivio \"{path}\""},
                      RefusalCase{"CLIENTI", Archivio::Mancante, "L'archivio \"{path}\" non è stato trovato"}));

TEST_F(Registry, queryButtonOpensTheQueryWindowOnTheWorkDatabase)
{
    auto form = apri();
    // Typed in lower case, the table is found under its catalogue name.
    form->EditTabella->setText(QStringLiteral("clienti"));
    QString titolo, tabella, database, directory;
    QStringList citta;
    test::whenShown<qbe::TIBLQueryForm>([&](qbe::TIBLQueryForm *w) {
        titolo = w->windowTitle();
        tabella = w->tabella();
        directory = w->directoryLavoro();
        test::controllo<QPushButton>(*w, "ButtonEseguiInterrogazione")->click();
        for (int r = 0; r < w->answerModel().rowCount(); ++r)
            citta << w->answerModel().index(r, 1).data().toString();
        w->reject();
    });
    form->ButtonGeneraQuery->click();
    EXPECT_EQ(titolo, QStringLiteral("Query - Ditta: DEMO"));
    EXPECT_EQ(tabella, QStringLiteral("CLIENTI"));
    EXPECT_EQ(directory, m_context->DirectoryLavoro);
    EXPECT_EQ(citta, (QStringList{QStringLiteral("ROMA"), QStringLiteral("MILANO")}));
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
    EXPECT_TRUE(form->isVisible());
    // The work context is left in a running transaction, as the entry expects.
    EXPECT_TRUE(m_context->transaction().isActive());
}

TEST_F(Registry, queryButtonOpensAnotherArchiveOnItsOwnConnection)
{
    const QString altro = altroArchivio();
    auto form = apri();
    form->EditPercorso->setText(altro);
    form->EditTabella->setText(QStringLiteral("ARTICOLI"));
    QString database, directory;
    QStringList codici;
    test::whenShown<qbe::TIBLQueryForm>([&](qbe::TIBLQueryForm *w) {
        directory = w->directoryLavoro();
        test::controllo<QPushButton>(*w, "ButtonEseguiInterrogazione")->click();
        for (int r = 0; r < w->answerModel().rowCount(); ++r)
            codici << w->answerModel().index(r, 0).data().toString();
        w->reject();
    });
    form->ButtonGeneraQuery->click();
    EXPECT_EQ(codici, QStringList{QStringLiteral("VITE")});
    EXPECT_EQ(directory, m_dir.path() + QLatin1Char('/'));
    EXPECT_TRUE(m_services.messages().texts().isEmpty());
    // Closed afterwards: the file can be dropped at once.
    db::Attachment a = db::Attachment::attach(altro, test::adminParams());
    EXPECT_NO_THROW(a.dropDatabase());
}

TEST_F(Registry, notesShowReadOnlyAndStayAsTheyWere)
{
    auto form = apri();
    form->NOTE->setPlainText(QStringLiteral("nota"));
    bool readOnly = false;
    QString titolo;
    test::whenShown<storedqueries::TMemoNoteForm>([&](storedqueries::TMemoNoteForm *w) {
        titolo = w->windowTitle();
        readOnly = w->Memo1->isReadOnly();
        w->Memo1->setPlainText(QStringLiteral("cambiata"));
        w->ButtonChiudi->click();
    });
    form->ButtonNote->click();
    EXPECT_EQ(titolo, QStringLiteral("Note"));
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(form->NOTE->toPlainText(), QStringLiteral("nota"));
}

TEST_F(Registry, historyModeStillOffersTheTableSelection)
{
    TIBQGenForm form(m_context.get(), 0, TIBQGenForm::Mode::Storico);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Query Generica - Ditta: DEMO"));
    EXPECT_EQ(form.mode(), TIBQGenForm::Mode::Storico);
    EXPECT_FALSE(form.EditTabella->isHidden());
}

} // namespace

namespace {

TEST_F(Registry, aStoredQueryOpensInStoredModeWithItsRowsAndSavesThemOnClose)
{
    auto form = apri();
    exec(QStringLiteral("INSERT INTO STOQUER (CODICE, TITOLO, TABELLA, NOMEEXPORT) VALUES (4, 'Roma', 'CLIENTI', 'ROMA.CSV')"));
    {
        db::Transaction t(att());
        storedqueries::scriviStoInt(att(), t, 0, 4, {{1, "CODICE", 0, ""}, {2, "CITTA", 1, "ROMA"}});
        t.commit();
    }
    bool storico = false;
    double chiave = 0;
    QString nomeExport;
    QStringList citta;
    test::whenShown<qbe::TIBLQueryForm>([&](qbe::TIBLQueryForm *w) {
        storico = w->modoStorico();
        chiave = w->codice2();
        nomeExport = w->nomeExport();
        test::controllo<QPushButton>(*w, "ButtonEseguiInterrogazione")->click();
        for (int r = 0; r < w->answerModel().rowCount(); ++r)
            citta << w->answerModel().index(r, 0).data().toString();
        w->tabIntTmp().setCondizione(1, QStringLiteral("MILANO"));
        m_services.messages().queueAnswer(platform::Answer::Ok);
        w->reject();
    });
    form->ApriQueryStorico(4);
    EXPECT_TRUE(storico);
    EXPECT_EQ(chiave, 4);
    EXPECT_EQ(nomeExport, QStringLiteral("ROMA.CSV"));
    EXPECT_EQ(citta, QStringList{QStringLiteral("ROMA")});
    EXPECT_EQ(m_services.messages().texts(), QStringList{QStringLiteral("Aggiornare lo storico interrogazioni?")});
    db::Transaction t(att());
    const auto righe = storedqueries::leggiStoInt(att(), t, 0, 4);
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_EQ(righe[1].Condizione, QStringLiteral("MILANO"));
}

TEST_F(Registry, aStoredQueryThatIsNotThereIsSaidSo)
{
    auto form = apri();
    form->ApriQueryStorico(404);
    EXPECT_EQ(m_services.messages().texts(), QStringList{QStringLiteral("Query memorizzata 404 non trovata")});
}

} // namespace
