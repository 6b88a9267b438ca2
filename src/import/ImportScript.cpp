#include "import/ImportScript.h"

#include "import/ImportValues.h"

#include "platform/Formats.h"
#include "platform/TextFile.h"

#include <QFileInfo>

namespace vardof::importcsv {

QString etichettaTipo(TipoCampo tipo)
{
    switch (tipo) {
    case TipoDecimale: return QStringLiteral("Decimale");
    case TipoData: return QStringLiteral("Data");
    case TipoOra: return QStringLiteral("Ora");
    case TipoDataOra: return QStringLiteral("DataOra");
    case TipoIntero: return QStringLiteral("Intero");
    case TipoTesto: break;
    }
    return QString();
}

QString percorsoScript(const QString &fileDati)
{
    const qsizetype separatore = std::max(fileDati.lastIndexOf(u'\\'), fileDati.lastIndexOf(u'/'));
    const qsizetype punto = fileDati.lastIndexOf(u'.');
    const QString base = punto > separatore ? fileDati.left(punto) : fileDati;
    return base + QStringLiteral(".txt");
}

QStringList leggiRigheScript(const QString &percorso)
{
    if (!QFileInfo(percorso).isFile())
        throw ScriptFileError(QStringLiteral("File di script \"%1\" non trovato").arg(percorso));
    QString errore;
    std::optional<QStringList> righe = platform::readTextLines(percorso, &errore);
    if (!righe)
        throw ScriptFileError(QStringLiteral("File di script \"%1\" non trovato").arg(percorso));
    if (righe->isEmpty() || righe->first() != QLatin1String("[SCRIPT]"))
        throw ScriptFileError(QStringLiteral("File di script \"%1\" non valido:\n"
                                             "La prima riga deve essere il comando \"[SCRIPT]\"")
                                  .arg(percorso));
    righe->removeFirst();
    return *righe;
}

QStringList dividiElencoNomi(const QString &valore)
{
    // ';' is turned into ',' first; then the usual comma-text rules apply:
    // blanks and the C0 controls separate, '"' encloses. A NUL is an ordinary
    // character of the name here (the old reader stopped at it, and then
    // looped on it): the name that holds it cannot exist, so the checks say
    // so instead of the script passing with a shortened list.
    const QString testo = QString(valore).replace(u';', u',');
    QStringList nomi;
    const qsizetype n = testo.size();
    auto spazio = [&](qsizetype i) { return i < n && testo[i].unicode() >= 1 && testo[i].unicode() <= ' '; };
    auto separa = [&](qsizetype i) { return spazio(i) || (i < n && testo[i] == u','); };
    qsizetype i = 0;
    while (spazio(i))
        ++i;
    while (i < n) {
        const qsizetype partenza = i;
        QString nome;
        if (testo[i] == u'"') {
            ++i;
            while (i < n) {
                if (testo[i] == u'"') {
                    if (i + 1 < n && testo[i + 1] == u'"') {
                        nome += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                nome += testo[i++];
            }
        } else {
            const qsizetype inizio = i;
            while (i < n && !separa(i))
                ++i;
            nome = testo.mid(inizio, i - inizio);
        }
        nomi << nome;
        while (spazio(i))
            ++i;
        if (i < n && testo[i] == u',') {
            if (i + 1 == n)
                nomi << QString();
            do {
                ++i;
            } while (spazio(i));
        }
        // Every turn takes at least one character: a name, a separator or
        // both. Should a future rule forget that, the list still ends.
        if (i == partenza)
            ++i;
    }
    return nomi;
}

namespace {

// The Unicode control characters: C0, DEL and C1.
bool controllo(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

} // namespace

bool haCaratteriControllo(QStringView testo)
{
    for (const QChar c : testo) {
        if (controllo(c))
            return true;
    }
    return false;
}

QString testoVisibile(const QString &testo)
{
    if (!haCaratteriControllo(testo))
        return testo;
    QString r;
    r.reserve(testo.size() + 8);
    for (const QChar c : testo) {
        if (controllo(c))
            r += QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            r += c;
    }
    return r;
}

namespace {

enum Parola {
    TabellaDestinazione,
    EliminaRecord,
    ValoreRiferimento,
    CampoRiferimento,
    ControlloDuplicati,
    EsclusioniAggiorna,
    Aggiungi,
    Aggiorna,
    AumentoPercentuale,
    AssegnaValore,
    CampoAutoIncrementato,
    AggiornaPers,
    CodiceFornitore,
    TagCR,
};

// Tested in this order: some keywords contain others.
const char *const kParole[] = {
    "TABELLADESTINAZIONE=",
    "ELIMINARECORDCAMPORIFERIMENTO=",
    "VALORECAMPORIFERIMENTO=",
    "CAMPORIFERIMENTO=",
    "CONTROLLODUPLICATI=",
    "ESCLUSIONIAGGIORNA=",
    "AGGIUNGI=",
    "AGGIORNA=",
    "AUMENTOPERCENTUALE=",
    "ASSEGNAVALORE=",
    "CAMPOAUTOINCREMENTATO=",
    "AGGIORNAPERS=",
    "CODICEFORNITORE=",
    "IMPORTMEMOESTESICONTAGCR=",
};

// field;rest -> field is what stands before the first ';' (empty without
// one), rest is the value without the first "field;".
void dividiCoppia(const QString &valore, QString &campo, QString &resto)
{
    const qsizetype pv = valore.indexOf(u';');
    campo = pv < 0 ? QString() : valore.left(pv);
    resto = valore;
    const QString prefisso = campo + u';';
    const qsizetype at = resto.indexOf(prefisso);
    if (at >= 0)
        resto.remove(at, prefisso.size());
}

double percentualeDaTesto(QString testo)
{
    const qsizetype punto = testo.indexOf(u'.');
    if (punto >= 0)
        testo[punto] = u',';
    return decimaleDaTesto(testo).value_or(0.0);
}

} // namespace

TParametriScript analizzaScript(const QStringList &righe)
{
    TParametriScript p;
    for (const QString &riga : righe) {
        int parola = -1;
        qsizetype at = -1;
        for (int k = 0; k < int(std::size(kParole)); ++k) {
            at = riga.indexOf(QLatin1String(kParole[k]));
            if (at >= 0) {
                parola = k;
                break;
            }
        }
        if (parola < 0)
            continue;
        const QString grezzo = QString(riga).remove(at, qsizetype(qstrlen(kParole[parola])));
        QString valore = grezzo;
        if (valore.endsWith(u';'))
            valore.chop(1);

        QString campo, resto;
        switch (Parola(parola)) {
        case TabellaDestinazione:
            p.tabellaDestinazione = valore;
            break;
        case EliminaRecord:
            if (valore == QLatin1String("SI"))
                p.eliminaRecordCampoRiferimento = true;
            break;
        case ValoreRiferimento:
            p.valoreCampoRiferimento = valore;
            break;
        case CampoRiferimento:
            p.campoRiferimento = valore;
            break;
        case ControlloDuplicati:
            if (valore == QLatin1String("SI"))
                p.controlloDuplicati = true;
            break;
        case EsclusioniAggiorna:
            p.esclusioniAggiorna = dividiElencoNomi(valore);
            break;
        case Aggiungi:
            if (valore == QLatin1String("NO"))
                p.aggiungi = false;
            break;
        case Aggiorna:
            if (valore == QLatin1String("NO"))
                p.aggiorna = false;
            break;
        case AumentoPercentuale:
            dividiCoppia(valore, campo, resto);
            p.aumentiPercentuali.append({campo, percentualeDaTesto(resto)});
            break;
        case AssegnaValore:
            dividiCoppia(valore, campo, resto);
            if (resto.endsWith(u'\''))
                resto.chop(1);
            if (resto.startsWith(u'\''))
                resto.remove(0, 1);
            p.assegnaValori.append({campo, resto});
            break;
        case CampoAutoIncrementato:
            // "ID;" names the field and forgets the generator: split before
            // the trailing ';' goes, so the check can say the generator is
            // missing instead of silently importing the file's values into ID.
            dividiCoppia(grezzo, campo, resto);
            if (resto.endsWith(u';'))
                resto.chop(1);
            if (campo.isEmpty())
                p.campoAutoIncrementato = TCampoAutoIncrementato();
            else
                p.campoAutoIncrementato = {campo, resto};
            break;
        case AggiornaPers:
            p.aggiornaPersonalizzato = dividiElencoNomi(valore);
            break;
        case CodiceFornitore:
            p.campoRiferimento = QStringLiteral("CODICEFORNITORE");
            p.valoreCampoRiferimento = valore;
            break;
        case TagCR:
            p.tagCR = valore;
            break;
        }
    }
    return p;
}

QStringList riepilogoScript(const TParametriScript &p)
{
    auto siNo = [](bool b) { return b ? QStringLiteral("SI") : QStringLiteral("NO"); };
    QStringList r;
    r << QStringLiteral("Tabella di destinazione = %1")
             .arg(p.tabellaDestinazione.isEmpty() ? QStringLiteral("MANCANTE") : testoVisibile(p.tabellaDestinazione));
    if (p.eliminaRecordCampoRiferimento) {
        r << QStringLiteral("Elimina dati campo di riferimento = SI")
          << QStringLiteral("Campo di riferimento = %1").arg(testoVisibile(p.campoRiferimento))
          << QStringLiteral("Valore di riferimento = %1").arg(testoVisibile(p.valoreCampoRiferimento));
    } else {
        r << QStringLiteral("Elimina dati campo di riferimento = NO");
    }
    r << QStringLiteral("Controllo duplicati = %1").arg(siNo(p.controlloDuplicati))
      << QStringLiteral("Aggiungi record = %1").arg(siNo(p.aggiungi))
      << QStringLiteral("Aggiorna record = %1").arg(siNo(p.aggiorna));
    if (!p.campoAutoIncrementato.campo.isEmpty())
        r << QStringLiteral("Campo autoincrementato = %1 (generatore: %2)")
                 .arg(testoVisibile(p.campoAutoIncrementato.campo), testoVisibile(p.campoAutoIncrementato.generatore));
    if (!p.aumentiPercentuali.isEmpty()) {
        r << QString() << QStringLiteral("- AUMENTI PERCENTUALI:");
        for (const TAumentoPercentuale &a : p.aumentiPercentuali)
            r << QStringLiteral("%1 = %2").arg(testoVisibile(a.campo), platform::formatFloat(QStringLiteral("#0.00"), a.percentuale));
    }
    if (!p.assegnaValori.isEmpty()) {
        r << QString() << QStringLiteral("- ASSEGNAZIONI COSTANTI:");
        for (const TAssegnaValore &a : p.assegnaValori)
            r << QStringLiteral("%1 = %2").arg(testoVisibile(a.campo), testoVisibile(a.costante));
    }
    if (!p.aggiornaPersonalizzato.isEmpty()) {
        r << QString() << QStringLiteral("- CAMPI PERS. PER IL CONTROLLO AGGIORNAMENTO:");
        for (const QString &n : p.aggiornaPersonalizzato)
            r << QStringLiteral(". ") + testoVisibile(n);
    }
    if (!p.esclusioniAggiorna.isEmpty()) {
        r << QString() << QStringLiteral("- CAMPI ESCLUSI DALL'AGGIORNAMENTO:");
        for (const QString &n : p.esclusioniAggiorna)
            r << QStringLiteral(". ") + testoVisibile(n);
    }
    if (!p.tagCR.isEmpty())
        r << QStringLiteral("Import memo estesi con tag CR = \"%1\"").arg(testoVisibile(p.tagCR));
    return r;
}

} // namespace vardof::importcsv
