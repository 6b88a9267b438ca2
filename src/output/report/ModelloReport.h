#pragma once

// What a layout file means to our engine: the page, the list object with
// its header, detail and totals lines, and the text objects (title, notes,
// page number). Read from the layout files the system writes, and from the
// same files after a person changed them in our designer. Lengths in
// 1/1000 mm, rectangles as left, top, width, height.

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::output::report {

struct FontModello
{
    QString nome = QStringLiteral("Arial");
    double punti = 8;
    int rosso = 0, verde = 0, blu = 0;
    bool grassetto = false, corsivo = false, sottolineato = false, barrato = false;
};

struct ColonnaModello
{
    int larghezza = 0;
    int allinea = 0;      // 0 left, 1 centred, 2 right
    bool adatta = false;  // the text wraps over as many lines as it needs; else one line, cut
    QString espressione;
    std::optional<FontModello> font; // a font of its own (totals); else the object's
    bool visibile = true; // hidden in the designer: kept in the file, not printed
};

struct RigaModello
{
    std::vector<ColonnaModello> colonne;
    QString condizione; // "TipoRiga='DETTAGLI'", "TipoRiga='TOTALI'" or empty
};

struct TestoModello
{
    QRect rect;
    QStringList righe; // expressions, one per line
    int allinea = 0;
    bool visibile = true;
    bool adatta = true;
    FontModello font;
};

struct ModelloReport
{
    int formato = 3;         // FileVersion
    int larghezzaPagina = 210000;
    int altezzaPagina = 296900;
    bool orizzontale = false;
    QRect elenco;            // the list (table) object
    FontModello font;        // the list object's font
    RigaModello testata, dettaglio, totali;
    bool conRigaTotali = false;
    std::vector<TestoModello> testi;
};

// The model of a layout file; nullopt with the reason when the text is not
// a layout our engine can print (no list object, no columns, a number that
// does not read).
std::optional<ModelloReport> LeggiLayout(const QByteArray &file, QString *errore = nullptr);

} // namespace vardof::output::report
