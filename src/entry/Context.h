#pragma once

#include "context/WorkContext.h"

#include <memory>

namespace vardof::entry {

using context::TTabForm;

// Builds the work context of a host user: reads the user's archive and
// directories from the parameter store, then connects the archive (showing
// "Errore apertura archivio" when it cannot). Throws db::Error when the user
// database cannot be read at all; the entries catch it.
std::unique_ptr<TTabForm> CreaContestoLavoro(int userNumber);

} // namespace vardof::entry
