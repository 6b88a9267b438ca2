#include "qbe/ElaborazioniAvanzate.h"

namespace vardof::qbe {

namespace {
QString attenzione(const char *resto)
{
    return QStringLiteral("Attenzione: operazione non possibile, ") + QString::fromUtf8(resto);
}
} // namespace

QString rifiutoVoce(VoceElaborazione voce, const StatoElaborazione &s)
{
    switch (voce) {
    case VoceElaborazione::CampiVisibili:
        if (s.bloccata)
            return attenzione("la Query è bloccata!");
        if (s.catena)
            return attenzione("la Query è successiva!");
        return QString();
    case VoceElaborazione::BloccaQuery:
        return s.unione ? attenzione("la Query è affiancata!") : QString();
    case VoceElaborazione::AffiancaUnione:
        return s.bloccata ? QString() : attenzione("la Query deve essere bloccata!");
    case VoceElaborazione::TogliAffiancata:
        return s.unione ? QString() : attenzione("la Query deve avere almeno un affiancamento!");
    case VoceElaborazione::PassaPrecedente:
        if (!s.catena)
            return attenzione("la Query non è successiva!");
        if (s.livello <= 0)
            return attenzione("nessuna query precedente!");
        return QString();
    case VoceElaborazione::EliminaSuccessiva:
        if (!s.catena)
            return attenzione("nessuna query successiva presente!");
        if (s.livello <= 0)
            return attenzione("query iniziale!");
        if (s.bloccata)
            return attenzione("query bloccata!");
        return QString();
    case VoceElaborazione::PassaSuccessiva:
    case VoceElaborazione::Chiudi:
        return QString();
    }
    return QString();
}

QString risultatoVoce(VoceElaborazione voce)
{
    switch (voce) {
    case VoceElaborazione::CampiVisibili: return QStringLiteral("CampiVisibili");
    case VoceElaborazione::BloccaQuery: return QStringLiteral("BloccaQuery");
    case VoceElaborazione::AffiancaUnione: return QStringLiteral("QueryAffiancata");
    case VoceElaborazione::TogliAffiancata: return QStringLiteral("TogliQueryAffiancata");
    case VoceElaborazione::PassaPrecedente: return QStringLiteral("PassaPrecedente");
    case VoceElaborazione::PassaSuccessiva: return QStringLiteral("PassaSuccessiva");
    case VoceElaborazione::EliminaSuccessiva: return QStringLiteral("EliminaSuccessiva");
    case VoceElaborazione::Chiudi: return QString();
    }
    return QString();
}

bool voceCatena(VoceElaborazione voce)
{
    return voce == VoceElaborazione::PassaPrecedente || voce == VoceElaborazione::PassaSuccessiva
        || voce == VoceElaborazione::EliminaSuccessiva;
}

} // namespace vardof::qbe
