#pragma once

// The work an entry does before (or instead of) its window, kept apart from
// the exported functions so it can be run and tested on its own.

#include <QString>

namespace vardof::context { class TTabForm; }

namespace vardof::entry {

using context::TTabForm;

// The question asked before recomputing the index statistics.
QString testoRicalcoloIndici();

// Recomputes the selectivity of every index in one no-wait transaction and
// tells the user how it went ("Operazione effettuata" / "Operazione fallita").
void RicalcolaIndici(TTabForm &context);

// The existence checks before the update-script and synchronisation windows:
// true when the window may open (the table exists, or the user agreed to its
// creation).
bool VerificaTabellaAggiornamenti(TTabForm &context);
bool VerificaTabellaSincronizzazioni(TTabForm &context);

} // namespace vardof::entry
