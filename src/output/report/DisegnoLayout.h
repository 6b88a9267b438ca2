#pragma once

// The layout as our designer edits it: the report's columns (the same
// position in the header, detail and totals lines moves, widens, aligns,
// hides and totals together), the text objects (title, notes, page number),
// the fonts and the orientation. Saving writes the model back as a layout
// file in the older text format, which the reader reads whatever format
// the file came in; columns hidden in the designer stay in the file
// ("Visible=FALSE") so that they can be shown again. Nothing here touches a
// file: the window writes the bytes through platform::OutputFile.

#include "output/report/ModelloReport.h"

namespace vardof::output::report {

class DisegnoLayout
{
public:
    explicit DisegnoLayout(ModelloReport modello);

    const ModelloReport &modello() const { return m_modello; }

    // Report columns: the longest of the three lines.
    int colonne() const;

    // The header text; a plain quoted text is shown without its quotes,
    // any other expression as it stands.
    QString titolo(int k) const;
    void setTitolo(int k, const QString &testo);
    // The detail line's expression.
    QString campo(int k) const;
    void setCampo(int k, const QString &espressione);
    int larghezza(int k) const; // 1/1000 mm
    void setLarghezza(int k, int larghezza);
    int allinea(int k) const;   // 0 left, 1 centred, 2 right
    void setAllinea(int k, int allinea);
    bool visibile(int k) const;
    void setVisibile(int k, bool visibile);
    // A total can be asked for when the layout has a totals line and the
    // detail names one numeric field (through Fstr$, or plainly in a
    // right-aligned column, as the layouts write numbers).
    bool puoTotale(int k) const;
    bool totale(int k) const;
    void setTotale(int k, bool totale);
    // Moves column `da` to position `a` in every line.
    void sposta(int da, int a);

    bool orizzontale() const { return m_modello.orizzontale; }
    // Turns the page; the list and the texts follow the new page size.
    void setOrizzontale(bool orizzontale);

    const FontModello &font() const { return m_modello.font; }
    // The list's font; columns with a font of their own take it too,
    // keeping their weight (the bold totals stay bold).
    void setFont(const FontModello &font);

    std::vector<TestoModello> &testi() { return m_modello.testi; }

private:
    RigaModello *righe(int i);
    void assicura(RigaModello &riga, int k);

    ModelloReport m_modello;
};

// The field an expression prints: "NOME" or "Fstr$(NOME,...)"; empty for
// anything else.
QString campoDellEspressione(const QString &espressione);

// A text as an expression of our layouts (quoted with " or, when it holds
// one, with ').
QString testoComeEspressione(const QString &testo);

// The layout file of a model (Windows-1252, CR LF). Empty, with the
// offending text in `errore`, when some text has a character the file
// cannot hold: nothing is written then rather than a changed text.
QByteArray ScriviLayoutModello(const ModelloReport &modello, QString *errore = nullptr);

} // namespace vardof::output::report
