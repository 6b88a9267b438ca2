#pragma once

// Report layout files, as text: the advanced layout (one report column per
// answer column, totals at the end), the simple layout (the text pages of
// the simple prints, one text column) and the grid layout (the columns a
// data grid shows, in its stored order and widths). Lengths are in
// 1/1000 mm. The writers return the whole file (Windows-1252, CR LF) so a
// caller writes it in one go through platform::OutputFile; they never
// touch a file themselves.

#include <QByteArray>
#include <QString>

#include <vector>

namespace vardof::db {
struct Column;
}

namespace vardof::output::report {

// What the layouts tell apart of a field.
enum class TipoCampo { Testo, InteroPiccolo, Intero, Valuta, Decimale, Virgola, Booleano, Data, Memo, Blob };

TipoCampo tipoCampo(const db::Column &colonna);
bool numerico(TipoCampo tipo); // integer, small integer, currency, fixed point, floating point

struct CampoLayout
{
    QString nome;
    TipoCampo tipo = TipoCampo::Testo;
    int scala = 0;           // decimals of a fixed-point field
    int larghezza = 0;       // display width in characters, as the answer grid uses it
    int codice = 0;          // ordering and grouping code of the answer column
};

// The print font of the query window's print options.
struct FontStampa
{
    QString nome = QStringLiteral("Arial");
    int punti = 8;
    int rosso = 0, verde = 0, blu = 0;
    bool grassetto = false, corsivo = false, sottolineato = false, barrato = false;
};

inline const char kQuota = '\xA8'; // the text quote of the layouts (code 168)

// "Fstr$(...)" or the plain name: the expression of a field for "DETTAGLI"
// or "TOTALI".
QString FormattazioneCampoReportLSTAvanzato(const CampoLayout &campo, const QString &tipo);

// 2000 per display character, 20000 below three characters.
int larghezzaColonnaAvanzata(const CampoLayout &campo);

struct OpzioniLayoutAvanzato
{
    // The shown fields of the data set the print walks: the answer, or the
    // one-record view.
    std::vector<CampoLayout> campi;
    // The shown columns of the answer grid (header and totals lines).
    std::vector<CampoLayout> colonneGriglia;
    bool unRecord = false;      // one-record view: no totals line
    bool orizzontale = false;   // "Stampa Orizzontale"
    bool numeraPagine = true;
    bool memoEstesi = false;
    FontStampa font;
    QString programma = QStringLiteral("VARDOF.DLL");
};

QByteArray CreaFileLSTAvanzato(const OpzioniLayoutAvanzato &opzioni);

QByteArray CreaFileLSTStandard(const FontStampa &font, const QString &programma = QStringLiteral("VARDOF.DLL"),
                               const QString &computer = QStringLiteral("VARDOF"));

// The grid layout.
struct ColonnaGriglia
{
    QString nomeCampo;   // NOMECAMPO: the statement's column
    QString nomeColonna; // NOMECOLONNA: its title
    int larghezzaPixel = 0;
};

struct OpzioniLayoutGriglia
{
    QString intestazione1, intestazione2;
    int allineamentoIntestazione = 0; // 0 left, 1 centred
    bool orizzontale = false;
    int dimensioneFont = 10;
    bool numeraPagine = false;
    bool troncaTesti = false;
    bool forzaUltimaColonna = false;
};

// Pixels to whole millimetres (3.7795 pixels a millimetre, halves to even).
int millimetriStampa(int pixel);
// The widths in mm of the printed columns: those that fit the usable width,
// and with the force-last-column option the first that does not, given
// the rest of the width.
std::vector<int> larghezzeStampate(const std::vector<ColonnaGriglia> &colonne, const OpzioniLayoutGriglia &opzioni);

QByteArray CreaLayoutGriglia(const std::vector<ColonnaGriglia> &colonne, const OpzioniLayoutGriglia &opzioni);

} // namespace vardof::output::report
