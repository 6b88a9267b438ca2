#pragma once

// The advanced-processing menu of the query window: which entries the state
// of the query refuses, with what message, and the result text an accepted
// entry hands back to the window. The checks of an entry run in order and
// the first refusal is the one told.

#include <QString>

namespace vardof::qbe {

enum class VoceElaborazione {
    CampiVisibili,       // "&Campi visibili"
    BloccaQuery,         // "&Blocca Query"
    AffiancaUnione,      // "Affiancamento tramite UNION"
    TogliAffiancata,     // "&Togli query affiancata"
    PassaPrecedente,     // "Passa a query &precedente"
    PassaSuccessiva,     // "Passa a query &successiva"
    EliminaSuccessiva,   // "&Elimina query successiva"
    Chiudi,              // "Ch&iudi"
};

struct StatoElaborazione
{
    int livello = 0;
    bool catena = false;
    bool unione = false;
    bool bloccata = false;
    bool modoStorico = false;
};

inline const QString kMsgSoloStorico = QStringLiteral("Operazione possibile solo in modalità Archivio Storico");

// The message the menu shows for a refused entry; empty when accepted.
QString rifiutoVoce(VoceElaborazione voce, const StatoElaborazione &stato);
// The result text of an accepted entry (empty for "Ch&iudi").
QString risultatoVoce(VoceElaborazione voce);
// Whether the entry is one of the chain moves, which need stored mode
// (kMsgSoloStorico otherwise, told by the window after the menu closed).
bool voceCatena(VoceElaborazione voce);

} // namespace vardof::qbe
