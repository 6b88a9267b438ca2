#pragma once

namespace vardof::entry {

// Puts the widget platform (message boxes, file dialogs, clipboard) in place
// unless someone (a test) already installed services, and routes the
// server-and-disk question of the connection procedure to TZunIn2Form.
void installEntryUi();

} // namespace vardof::entry
