#pragma once

// The import script: the rules file that lies beside a data file and says
// which table receives the rows and how. This header holds the records the
// import window keeps in memory (script parameters, column and key
// descriptors) and the pure text side of the language: where a script lives,
// how its lines are read, and the summary the window shows. Checking the
// script against the database is ScriptLoader's job (ScriptLoader.h).

#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace vardof::importcsv {

// What a column's values are converted as. The numbers are kept because
// they are the codes the tools have always used.
enum TipoCampo : quint8 {
    TipoDecimale = 0,
    TipoData = 1,
    TipoOra = 2,
    TipoDataOra = 3,
    TipoTesto = 4,
    TipoIntero = 5,
};

// What the run writes into a column.
enum RuoloCampo : quint8 {
    RuoloAumentoPercentuale = 0,
    RuoloCostante = 1,
    RuoloGenerato = 2,
    RuoloEsclusoAggiornamento = 3,
    RuoloOrdinario = 4,
};

// The label a kind has in the script messages; empty for text.
QString etichettaTipo(TipoCampo tipo);

struct TAumentoPercentuale
{
    QString campo;
    double percentuale = 0;
};

struct TAssegnaValore
{
    QString campo;
    QString costante;
};

struct TCampoAutoIncrementato
{
    QString campo;
    QString generatore;
};

struct TParametriScript
{
    QString tabellaDestinazione;
    bool eliminaRecordCampoRiferimento = false;
    QString campoRiferimento;
    QString valoreCampoRiferimento;
    bool controlloDuplicati = false;
    bool aggiungi = true;
    bool aggiorna = true;
    QList<TAumentoPercentuale> aumentiPercentuali;
    QList<TAssegnaValore> assegnaValori;
    TCampoAutoIncrementato campoAutoIncrementato;
    QStringList aggiornaPersonalizzato;   // custom key fields, in order
    QStringList esclusioniAggiorna;       // compared without regard to case
    QString tagCR;                        // line-break tag, empty when off

    void reset() { *this = TParametriScript(); }
};

// One column of the destination table (column list) or one key field (key
// list). The file's field number of the column is posizione + 1.
struct TCampo
{
    int posizione = 0;
    QString nome;
    TipoCampo tipo = TipoTesto;
    RuoloCampo ruolo = RuoloOrdinario;
    double percentuale = 0;   // RuoloAumentoPercentuale
    QString costante;         // RuoloCostante
    QString generatore;       // RuoloGenerato
    // BIGINT columns take the whole 64-bit range; other integers stay 32-bit.
    bool intero64 = false;
};

// Failures that stop a script from being read at all (missing file, wrong
// first line). message() is the whole text for the error box.
class ScriptFileError : public std::runtime_error
{
public:
    explicit ScriptFileError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// The script of a data file: same folder and base name, extension ".txt"
// (replacing the data file's own). Both '\' and '/' separate folders.
QString percorsoScript(const QString &fileDati);

// The lines after "[SCRIPT]". Throws ScriptFileError when the file is missing
// or does not start with exactly "[SCRIPT]".
QStringList leggiRigheScript(const QString &percorso);

// Applies the directive lines (the first line excluded) to default parameters.
TParametriScript analizzaScript(const QStringList &righe);

// The lines the window writes into MemoScript for these parameters.
QStringList riepilogoScript(const TParametriScript &parametri);

// Splits a name list the way the script has always split it: ';' and ','
// separate, blanks separate too, and "..." encloses a name with blanks.
QStringList dividiElencoNomi(const QString &valore);

// Control characters (C0, DEL, C1): no name of the catalogue and no key value
// holds them, so a text with one is refused rather than stored or sent.
bool haCaratteriControllo(QStringView testo);
// The text for a message: each control character written as \xNN, so that a
// NUL or a CR read from a file shows instead of hiding or breaking the line.
QString testoVisibile(const QString &testo);

} // namespace vardof::importcsv
