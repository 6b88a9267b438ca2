#pragma once

// The import run: reads the data file and turns each line into an insert or
// an update of the destination table, after the optional deletion by
// reference value and the optional duplicate check of the file's key values.
// Works on the work context's connection and default transaction, from the
// parameters and descriptors of the last script load; it never reads the
// script again and never changes them.
//
// Everything the user sees goes through the run feedback (lines for
// MemoRiepilogo, progress, boxes, the stop request) and FasiImport: the
// import window, the command line and the tests each implement them. The
// run itself never shows a box and never throws for a database failure:
// failures are reported through the feedback and end the run as the
// outcome says. The stop request is read before each line
// of a pass, and once at the start, where a stale one is dropped.

#include "import/ImportScript.h"
#include "platform/RunFeedback.h"

#include <QString>

namespace vardof::db {
class Attachment;
class Transaction;
} // namespace vardof::db

namespace vardof::importcsv {

// What only the import window shows besides the run's feedback.
class FasiImport
{
public:
    virtual ~FasiImport() = default;
    // The run has started (MemoRiepilogo emptied, "Interrompi" available) and
    // has ended ("Interrompi" unavailable again).
    virtual void inizio() {}
    virtual void fine() {}
    // The progress window appears for the passes over the file and goes.
    virtual void mostraAvanzamento(bool /*visibile*/) {}
};

enum class EsitoImport {
    NonAvviato,        // missing or unreadable file, not text, or the user did not confirm
    Completato,
    NessunDato,
    EliminazioneFallita,
    DuplicatiFalliti,
    Interrotto,
    // Stopped by a failure that leaves nothing worth keeping: the connection
    // was lost, more lines failed than allowed, the rejects or the commit
    // could not be written. What the pass did is rolled back.
    Fallito,
};

struct ContatoriImport
{
    qint64 aggiornati = 0;
    qint64 aggiunti = 0;
    qint64 falliti = 0;
    qint64 duplicati = 0;
    qint64 totali = 0;
    // Lines left out without counting as failed: a key that does not
    // convert, a line that could not be looked up.
    qint64 saltati = 0;
    // Blocks of lines the server took whole (never shown to the user: it
    // tells how the lines travelled, not what became of them).
    qint64 blocchi = 0;
};

// What a run may be asked beyond the script; the defaults are the window's.
struct OpzioniImport
{
    // Every line not stored (failed, skipped, duplicate) is copied here as it
    // stood in the data file, with "<fileScarti>.log" beside it giving the
    // line number and the reason. Empty: no such files.
    QString fileScarti;
    // More failed lines than this stop the run, which rolls back what it
    // did. Negative: no limit.
    qint64 maxErrori = -1;
    // Lines whose statements travel to the server together: 0 lets the run
    // choose, 1 sends every line's statements on their own. The rows, the
    // counters and every line of the summary are the same either way.
    int righePerBlocco = 0;
};

class ImportRun
{
public:
    ImportRun(db::Attachment &attachment, db::Transaction &transaction, const TParametriScript &parametri,
              const QList<TCampo> &colonne, const QList<TCampo> &chiavi);
    ~ImportRun();
    ImportRun(const ImportRun &) = delete;
    ImportRun &operator=(const ImportRun &) = delete;

    EsitoImport esegui(const QString &fileDati, bool saltaPrimaRiga, platform::RunFeedback &feedback,
                       const OpzioniImport &opzioni = OpzioniImport(), FasiImport *fasi = nullptr);

    const ContatoriImport &contatori() const { return m_contatori; }

private:
    class Impl;
    db::Attachment &m_att;
    db::Transaction &m_tra;
    // Copies: a run built from a load that is replaced or goes out of scope
    // before esegui() still runs the script it was given.
    TParametriScript m_parametri;
    QList<TCampo> m_colonne;
    QList<TCampo> m_chiavi;
    ContatoriImport m_contatori;
};

// The time stamp that starts the run's "- " lines: "- 14:03:07: ".
QString prefissoOra();

} // namespace vardof::importcsv
