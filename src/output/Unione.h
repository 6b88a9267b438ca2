#pragma once

// "con unione": the answer fills the data sheet of the user's template
// (the sheet named "Dati", else the first one) and the result is saved as
// the target, in the format its extension names (.xls or .xlsx). The
// template itself is never changed. LibreOffice does the filling, run
// headless with a macro of our own in a private profile.

#include "output/Risposta.h"
#include "platform/RunFeedback.h"

#include <QString>

namespace vardof::output {

// False (told through the feedback, with the reason) when the template or
// LibreOffice is missing or the filling fails; the target is then as it was.
bool UnisciConModello(const RispostaDaEsportare &risposta, platform::RunFeedback &feedback, const QString &modello,
                      const QString &target, const QString &dirProgramma);

} // namespace vardof::output
