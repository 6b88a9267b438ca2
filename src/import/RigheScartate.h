#pragma once

// The lines of an import that were not stored, kept for the user to mend
// and import again: the rejects file holds each such line byte for byte as
// it stood in the data file (so that it reads back exactly as it was read),
// CR LF at the end; "<file>.log" beside it gives, per line, the physical
// line number, a TAB and the reason as the summary gave it, in the code page.
//
// Both go through platform::OutputFile: an earlier rejects file is never
// left half overwritten, and the first failed write is remembered so that
// the run can stop as a failed run with the system's reason.

#include "platform/OutputFile.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace vardof::importcsv {

class RigheScartate
{
public:
    // False when either temporary file cannot be created; errore() says why.
    bool apri(const QString &percorso);
    bool aperto() const { return m_scarti != nullptr; }

    // False once a write has failed.
    bool aggiungi(qint64 numero, QByteArrayView riga, const QString &motivo);
    // A line of the log that belongs to no data line: how a run that did
    // not complete ended.
    void nota(const QString &testo);
    bool fallito() const;

    // Puts both files in place, the log first. False when anything was lost
    // on the way; errore() says why.
    bool chiudi();
    // Drops the temporary files; the targets keep what they held.
    void annulla();

    // "Impossibile scrivere il file "{file}": {motivo del sistema}".
    QString errore() const { return m_errore; }

private:
    bool scriviLog(const QString &testo);
    bool registra(const platform::OutputFile &f);

    std::unique_ptr<platform::OutputFile> m_scarti;
    std::unique_ptr<platform::OutputFile> m_log;
    QString m_errore;
};

} // namespace vardof::importcsv
