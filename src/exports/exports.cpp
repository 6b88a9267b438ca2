// The thirteen functions the host calls. Each sets the library's formats,
// builds the user's work context, runs the step that precedes its window,
// shows the window modally, releases everything and returns 0. Nothing
// thrown inside ever reaches the host.
//
// What differs between entries is one row of kEntries: the check before the
// window and the window itself. A tool whose window is not built yet says
// so to the user instead of opening nothing.

#include "exports/Exports.h"

#include "entry/Context.h"
#include "entry/EntrySteps.h"
#include "context/WorkContext.h"
#include "entry/ui/EntryUi.h"
#include "params/TTabXForm.h"

#include "convert/ui/TConvFileForm.h"
#include "grid/ui/TPulisciQmtGridForm.h"
#include "import/ui/TImportCSVForm.h"
#include "maintenance/ui/TAggFDBFDBForm.h"
#include "maintenance/ui/TAggSincroDBFastForm.h"
#include "maintenance/ui/TCancellaTabelleTmpForm.h"
#include "qbe/ui/ApriQuerySuTabella.h"
#include "storedqueries/ui/TIBQGenForm.h"
#include "storedqueries/ui/TQueryClassForm.h"
#include "tabletools/ui/TFormEdTab.h"
#include "tabletools/ui/TStoSQL.h"

#include "db/Error.h"
#include "platform/Formats.h"
#include "platform/Messages.h"
#include "platform/widgets/WindowConventions.h"
#include "output/report/ui/TStQmtGridForm.h"

#include <QApplication>

#include <cstring>
#include <exception>
#include <stdexcept>

using namespace vardof;

namespace {

// The host may or may not have made a Qt application object. When it has,
// it is used and never destroyed; when not, one is made and kept for the
// life of the process (Qt allows one per process).
void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "VardoF";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void prologue()
{
    platform::setLibraryFormats();
    ensureApplication();
    // A host with a console-only application object cannot show windows:
    // say so (on the default, non-window messages) instead of aborting.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw std::runtime_error("L'applicazione ospite non consente di aprire finestre");
    entry::installEntryUi();
    output::report::installaStampaGriglia();
    qbe::installaQueryGriglia();
}

// Runs an entry body; whatever escapes it is shown, never returned.
template <typename Body>
std::int32_t guarded(Body body) noexcept
{
    try {
        prologue();
        const platform::WindowConventions conventions;
        body();
    } catch (const db::Error &e) {
        try {
            platform::error(QStringLiteral("Errore durante l'apertura della funzione") + QLatin1Char('\r') + e.message());
        } catch (...) {
        }
    } catch (const std::exception &e) {
        try {
            platform::error(QStringLiteral("Errore durante l'apertura della funzione") + QLatin1Char('\r')
                            + QString::fromLocal8Bit(e.what()));
        } catch (...) {
        }
    } catch (...) {
    }
    return 0;
}

// Common shape: context, optional pre-window step, window, release.
template <typename Window>
std::int32_t withContext(std::int32_t userNumber, Window window)
{
    return guarded([&] {
        std::unique_ptr<context::TTabForm> context = entry::CreaContestoLavoro(userNumber);
        window(*context);
    });
}


// One row per entry that opens a tool window on the work context.
struct EntryRow
{
    const char *name;
    // Runs after the context is built; false ends the entry quietly (the
    // user answered No, or was told why).
    bool (*precheck)(context::TTabForm &context);
    // Shows the window modally; nullptr: the tool is not available yet.
    void (*window)(context::TTabForm &context, std::int32_t userNumber);
};

template <typename Form>
void show(context::TTabForm &context, std::int32_t userNumber)
{
    Form form(&context, userNumber);
    form.exec();
}

void showCleanup(context::TTabForm &context, std::int32_t)
{
    maintenance::TCancellaTabelleTmpForm form(&context);
    form.exec();
}

template <int classificazione>
void showClassificazioni(context::TTabForm &context, std::int32_t userNumber)
{
    storedqueries::TQueryClassForm form(userNumber, classificazione, &context);
    form.exec();
}

template <storedqueries::TIBQGenForm::Mode mode>
void showRegistry(context::TTabForm &context, std::int32_t userNumber)
{
    storedqueries::TIBQGenForm form(&context, userNumber, mode);
    form.exec();
}

// The stored-SQL window gets the context's directories and project name,
// and the entry commits what is left open when it closes.
void showStoredSql(context::TTabForm &context, std::int32_t)
{
    {
        tabletools::TStoSQL form(&context);
        form.DirectoryTemp = context.DirectoryTemp;
        form.DirectoryLavoro = context.DirectoryLavoro;
        form.DirectoryBin = context.DirectoryBin;
        form.NomeProgetto = context.NomeProgetto;
        form.exec();
    }
    if (context.transaction().isActive())
        context.transaction().commit();
}

const EntryRow kEntries[] = {
    {"ShowAggSincroDBFastFormX", entry::VerificaTabellaSincronizzazioni, show<maintenance::TAggSincroDBFastForm>},
    {"ShowCancellaTabelleTmpFormX", nullptr, showCleanup},
    {"ShowQueryClass2FormX", nullptr, showClassificazioni<2>},
    {"ShowQueryClass1FormX", nullptr, showClassificazioni<1>},
    {"ShowAggiornamentiFDBaFDBFormX", entry::VerificaTabellaAggiornamenti, show<maintenance::TAggFDBFDBForm>},
    {"ShowConversioniFormX", nullptr, show<convert::TConvFileForm>},
    {"ShowImportCSVFormX", nullptr, show<importcsv::TImportCSVForm>},
    {"ShowVardoEdTabFormX", nullptr, show<tabletools::TFormEdTab>},
    {"ShowVardoSQLFormX", nullptr, showStoredSql},
    {"ShowVardoQueryGenericaFormX", nullptr, showRegistry<storedqueries::TIBQGenForm::Mode::QueryGenerica>},
    {"ShowVardoStoricoFormX", nullptr, showRegistry<storedqueries::TIBQGenForm::Mode::Storico>},
};

const EntryRow &row(const char *name)
{
    for (const EntryRow &r : kEntries)
        if (std::strcmp(r.name, name) == 0)
            return r;
    throw std::logic_error(name);
}

std::int32_t runEntry(const char *name, std::int32_t userNumber)
{
    const EntryRow &r = row(name);
    return withContext(userNumber, [&](context::TTabForm &context) {
        if (r.precheck && !r.precheck(context))
            return;
        if (!r.window) {
            platform::information(QStringLiteral("Funzione non ancora disponibile"));
            return;
        }
        r.window(context, userNumber);
    });
}

} // namespace

#define VARDOF_TABLE_ENTRY(name)                                                                                     \
    VARDOF_ENTRY(name)                                                                                               \
    {                                                                                                                \
        (void)windowId;                                                                                              \
        return runEntry(#name, userNumber);                                                                          \
    }

VARDOF_TABLE_ENTRY(ShowAggSincroDBFastFormX)
VARDOF_TABLE_ENTRY(ShowCancellaTabelleTmpFormX)
VARDOF_TABLE_ENTRY(ShowQueryClass2FormX)
VARDOF_TABLE_ENTRY(ShowQueryClass1FormX)
VARDOF_TABLE_ENTRY(ShowAggiornamentiFDBaFDBFormX)
VARDOF_TABLE_ENTRY(ShowConversioniFormX)
VARDOF_TABLE_ENTRY(ShowImportCSVFormX)
VARDOF_TABLE_ENTRY(ShowVardoEdTabFormX)
VARDOF_TABLE_ENTRY(ShowVardoSQLFormX)
VARDOF_TABLE_ENTRY(ShowVardoQueryGenericaFormX)
VARDOF_TABLE_ENTRY(ShowVardoStoricoFormX)

// The two entries of their own shape: the index recomputation asks first
// and opens no window; the grid-layout cleaning builds its context around
// the parameter store.
VARDOF_ENTRY(ShowRicalcolaIndiciFormX)
{
    (void)windowId;
    return guarded([&] {
        if (!platform::confirm(entry::testoRicalcoloIndici()))
            return;
        std::unique_ptr<context::TTabForm> context = entry::CreaContestoLavoro(userNumber);
        entry::RicalcolaIndici(*context);
    });
}

VARDOF_ENTRY(ShowPulisciQmtGridFormX)
{
    return guarded([&] {
        auto store = std::make_unique<params::TTabXForm>();
        store->SetUserPerNum(userNumber);
        store->Inserisci(QStringLiteral("OSL"), QStringLiteral("Archivio"), QString(),
                         store->CaricaParametro(QStringLiteral("Archivio")), QString(), QString(), QString(),
                         QString(), QString::number(userNumber));
        store->IBDatabase1().disconnect();
        store->ConnettiDatabase1(QStringLiteral("Archivio"));
        grid::TPulisciQmtGridForm form(store.get());
        store->ScritturaHandleDiApertura(windowId, qint64(form.winId()));
        form.adottaStore(std::move(store));
        form.exec();
    });
}
