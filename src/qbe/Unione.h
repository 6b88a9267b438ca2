#pragma once

// The UNION of copies of one interrogation ("affiancamento"): adding a block
// copies the first block (the rows up to its lock row) after a separator,
// removing takes the last block away. A union is only built on a locked
// query, so the first block always ends with its code 7 row. Rows only: the
// engine composes the blocks into one statement.

#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"

#include <QString>

namespace vardof::qbe {

inline const QString kMsgSelezionareCampo = QStringLiteral("Selezionare almeno un campo da visualizzare!");

// Appends one block. Refused (false, nothing changed) when no row is shown
// with code 1; the caller tells kMsgSelezionareCampo. Sets the union flag.
bool AggiungiUnioneQuery(TabIntTmp &tab, const QString &tabellaSorgente, SessioneQuery &sessione);

// Removes the last added block, keeping a "QUERY SUCCESSIVA" marker. When
// only the first block is left the union flag is cleared and its code 6
// rows are shown as code 1 again.
void EliminaUltimaQueryAffiancata(TabIntTmp &tab, SessioneQuery &sessione);

// Whether a code 7 row ends an added block rather than the first one.
bool fineBloccoAggiunto(const RigaInt &riga);

} // namespace vardof::qbe
