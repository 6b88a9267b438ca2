#pragma once

// The lines of an import that were not stored, kept for the user to mend
// and import again: the rejects file holds each such line byte for byte as
// it stood in the data file (so that it reads back exactly as it was read),
// CR LF at the end; "<file>.log" beside it gives, per line, the physical
// line number and the reason as the summary gave it, in the code page.
//
// Both files are written to temporary files beside the targets and take
// their names only at chiudi(): an earlier rejects file is never left half
// overwritten, and a run whose files cannot be written fails with the
// system's reason instead of leaving files that look complete.

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

namespace vardof::importcsv {

class RigheScartate
{
public:
    // False with the system's reason when either temporary file cannot be
    // created (the folder is missing or read-only).
    bool apri(const QString &percorso, QString &errore);
    bool aperto() const { return m_aperto; }

    void aggiungi(qint64 numero, QByteArrayView riga, const QString &motivo);
    // A line of the log that belongs to no data line: how a run that did
    // not complete ended.
    void nota(const QString &testo);

    // Puts both files in place, the log first. False with the system's
    // reason when anything was lost on the way.
    bool chiudi(QString &errore);
    // Drops the temporary files.
    void annulla();

    qint64 righe() const { return m_righe; }

private:
    void scriviLog(const QString &testo);

    QSaveFile m_scarti;
    QSaveFile m_log;
    bool m_aperto = false;
    qint64 m_righe = 0;
};

} // namespace vardof::importcsv
