// The thirteen functions the host calls. Each sets the library's formats,
// builds the user's work context, runs the step that precedes its window,
// shows the window modally, releases everything and returns 0. Nothing
// thrown inside ever reaches the host.

#include "entry/Exports.h"

#include "entry/Context.h"
#include "entry/EntrySteps.h"
#include "entry/WorkContext.h"
#include "entry/ui/EntryUi.h"
#include "params/TTabXForm.h"

#include "db/Error.h"
#include "platform/Formats.h"
#include "platform/Messages.h"
#include "platform/widgets/WindowConventions.h"

#include <QApplication>

#ifdef VARDOF_WITH_IMPORT
#  include "import/ui/TImportCSVForm.h"
#  define VARDOF_HAS_IMPORT 1
#endif
#ifdef VARDOF_WITH_CONVERT
#  include "convert/ui/TConvFileForm.h"
#  define VARDOF_HAS_CONVERT 1
#endif
#ifdef VARDOF_WITH_MAINTENANCE
#  include "maintenance/ui/TAggFDBFDBForm.h"
#  define VARDOF_HAS_AGGFDB 1
#endif
#ifdef VARDOF_WITH_MAINTENANCE
#  include "maintenance/ui/TAggSincroDBFastForm.h"
#  define VARDOF_HAS_SINCRO 1
#endif
#ifdef VARDOF_WITH_MAINTENANCE
#  include "maintenance/ui/TCancellaTabelleTmpForm.h"
#  define VARDOF_HAS_CANCELLATMP 1
#endif
#ifdef VARDOF_WITH_REGISTRY
#  include "storedqueries/ui/TIBQGenForm.h"
#  define VARDOF_HAS_REGISTRY 1
#endif

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
        std::unique_ptr<entry::TTabForm> context = entry::CreaContestoLavoro(userNumber);
        window(*context);
    });
}

} // namespace

VARDOF_ENTRY(ShowAggSincroDBFastFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
        if (!entry::VerificaTabellaSincronizzazioni(context))
            return;
#ifdef VARDOF_HAS_SINCRO
        maintenance::TAggSincroDBFastForm form(&context, userNumber);
        form.exec();
#endif
    });
}

VARDOF_ENTRY(ShowCancellaTabelleTmpFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
#ifdef VARDOF_HAS_CANCELLATMP
        maintenance::TCancellaTabelleTmpForm form(&context);
        form.exec();
#else
        (void)context;
#endif
    });
}

VARDOF_ENTRY(ShowRicalcolaIndiciFormX)
{
    (void)windowId;
    return guarded([&] {
        if (!platform::confirm(entry::testoRicalcoloIndici()))
            return;
        std::unique_ptr<entry::TTabForm> context = entry::CreaContestoLavoro(userNumber);
        entry::RicalcolaIndici(*context);
    });
}

VARDOF_ENTRY(ShowQueryClass2FormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &) {});
}

VARDOF_ENTRY(ShowQueryClass1FormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &) {});
}

VARDOF_ENTRY(ShowAggiornamentiFDBaFDBFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
        if (!entry::VerificaTabellaAggiornamenti(context))
            return;
#ifdef VARDOF_HAS_AGGFDB
        maintenance::TAggFDBFDBForm form(&context, userNumber);
        form.exec();
#endif
    });
}

VARDOF_ENTRY(ShowConversioniFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
#ifdef VARDOF_HAS_CONVERT
        convert::TConvFileForm form(&context, userNumber);
        form.exec();
#else
        (void)context;
#endif
    });
}

VARDOF_ENTRY(ShowImportCSVFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
#ifdef VARDOF_HAS_IMPORT
        importcsv::TImportCSVForm form(&context, userNumber);
        form.exec();
#else
        (void)context;
#endif
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
        // The grid-layout cleaning window logs its handle with
        // ScritturaHandleDiApertura(windowId, handle) and owns the store.
        (void)windowId;
    });
}

VARDOF_ENTRY(ShowVardoEdTabFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &) {});
}

VARDOF_ENTRY(ShowVardoSQLFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
        // The stored-SQL window commits the context's transaction when it closes.
        if (context.transaction().isActive())
            context.transaction().commit();
    });
}

VARDOF_ENTRY(ShowVardoQueryGenericaFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
#ifdef VARDOF_HAS_REGISTRY
        storedqueries::TIBQGenForm form(&context, userNumber, storedqueries::TIBQGenForm::Mode::QueryGenerica);
        form.exec();
#else
        (void)context;
#endif
    });
}

VARDOF_ENTRY(ShowVardoStoricoFormX)
{
    (void)windowId;
    return withContext(userNumber, [&](entry::TTabForm &context) {
#ifdef VARDOF_HAS_REGISTRY
        storedqueries::TIBQGenForm form(&context, userNumber, storedqueries::TIBQGenForm::Mode::Storico);
        form.exec();
#else
        (void)context;
#endif
    });
}
