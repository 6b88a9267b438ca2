#pragma once

// The script wizard's engine: what the user composed, the checks the
// composition must pass, and the lines of the script it writes. Catalogue
// reads for the wizard's lists are here too, so the window only moves values
// between its controls and these functions. Catalogue functions throw
// db::Error; everything else returns its result.

#include "import/ImportScript.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vardof::db {
class Attachment;
class Transaction;
} // namespace vardof::db

namespace vardof::importcsv {

struct ComposizioneWizard
{
    QString tabella;
    bool elimina = false;
    QString campoRiferimento;
    QString valoreRiferimento;
    bool aggiorna = true;
    bool aggiungi = true;
    bool controlloDuplicati = false;
    QString campoGenerato;
    QString generatore;
    QList<TAumentoPercentuale> aumenti;
    QList<TAssegnaValore> valori;     // the value as typed
    QStringList aggiornaPersonalizzato;
    QStringList esclusioni;
    bool tagAttivo = false;
    QString tag;
};

// The control a failed check sends the user back to.
enum class FuocoWizard { Nessuno, Tabella, CampoRiferimento, ValoreRiferimento, Generatore, Tag };

struct VerificaWizard
{
    QString messaggio;  // empty: the composition may be written
    FuocoWizard fuoco = FuocoWizard::Nessuno;
    bool ok() const { return messaggio.isEmpty(); }
};

// `chiaviIndici` are the fields of the table's unique indexes, used when the
// composition has no custom key fields.
VerificaWizard verificaComposizione(const ComposizioneWizard &c, const QStringList &chiaviIndici);

// The script's lines, "[SCRIPT]" first.
QStringList righeScript(const ComposizioneWizard &c);

// "10,5": a decimal comma and no thousands point, as the reader expects.
QString testoPercentuale(double percentuale);

// The checks of the list buttons; an empty text means the entry may be added.
// `percentuale` receives the value (two decimals) when it converts.
QString verificaAumento(const QList<TAumentoPercentuale> &elenco, const QString &campo, const QString &testo,
                        double &percentuale);
QString verificaValore(const QList<TAssegnaValore> &elenco, const QString &campo, const QString &valore);
QString verificaCampoPersonalizzato(const QStringList &elenco, const QString &campo);
QString verificaEsclusione(const QStringList &elenco, const QString &campo);

// Catalogue lists, in the order the server returns them.
QStringList tabelleWizard(db::Attachment &att, db::Transaction &tra);
QStringList generatoriWizard(db::Attachment &att, db::Transaction &tra);
QStringList campiTabellaWizard(db::Attachment &att, db::Transaction &tra, const QString &tabella);
// Unique-index fields as the wizard checks them: a field in two indexes twice.
QStringList chiaviIndiciWizard(db::Attachment &att, db::Transaction &tra, const QString &tabella);

} // namespace vardof::importcsv
