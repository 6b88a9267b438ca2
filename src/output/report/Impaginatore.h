#pragma once

// The paginator: lines of a report laid out page by page. A page is handed
// over as soon as it is complete and then forgotten, so memory follows one
// page whatever the length of the answer. Texts are measured through a
// Misuratore: the renderer measures with the device's fonts, the tests with
// fixed widths, so pagination is checked on the model and not on pixels.

#include "output/report/Espressioni.h"
#include "output/report/ModelloReport.h"

#include <functional>
#include <vector>

namespace vardof::output::report {

class Misuratore
{
public:
    virtual ~Misuratore() = default;
    // In 1/1000 mm.
    virtual int larghezza(const QString &testo, const FontModello &font) = 0;
    virtual int altezzaRiga(const FontModello &font) = 0;
};

struct ElementoPagina
{
    enum Tipo { Testo, Linea };
    Tipo tipo = Testo;
    QRect rect;          // Linea: from the top left to the bottom right corner
    QString testo;
    int allinea = 0;
    FontModello font;
};

// What a line of the list became on a page, for readers that check the
// layout rather than the drawing.
struct RigaStampata
{
    enum Tipo { Testata, Dettaglio, Totali };
    Tipo tipo = Dettaglio;
    std::vector<QStringList> celle; // per printed column, its text lines on this page
    int alto = 0;                   // top, 1/1000 mm
    int altezza = 0;
};

struct PaginaReport
{
    int numero = 0;
    std::vector<ElementoPagina> elementi;
    std::vector<RigaStampata> righe;
};

// Pieces of a text that fit `larghezza` when measured: broken at line
// breaks and before a word that would not fit; a word longer than the
// width is cut into pieces.
QStringList aCapo(const QString &testo, int larghezza, const FontModello &font, Misuratore &misura);
// One line: line breaks read as blanks, cut with "…" when too wide.
QString tagliato(const QString &testo, int larghezza, const FontModello &font, Misuratore &misura);

class Impaginatore
{
public:
    using Consegna = std::function<void(PaginaReport &&)>;

    Impaginatore(const ModelloReport &modello, Misuratore &misura, Consegna consegna);

    // Where the names of the expressions come from (fields of the current
    // line, Titolo, Note, totals).
    void nomi(std::function<std::optional<ValoreReport>(const QString &)> nomi) { m_ambiente.nome = std::move(nomi); }
    // "Pag. x di y" needs y: known after a first counting pass.
    void pagineTotali(int n) { m_ambiente.pagineTotali = n; }

    // A detail line (or the totals line) with the names as they are now.
    // False when an expression names something the print does not define.
    bool dettaglio();
    bool totali();
    // Ends the current page (the next line starts a new one).
    void interrompiPagina();
    // Completes the last page. At least one page comes out.
    bool fine();

    int pagine() const { return m_consegnate; }
    const QString &errore() const { return m_errore; }

private:
    bool riga(const RigaModello &def, RigaStampata::Tipo tipo);
    void apriPagina();
    void chiudiPagina();
    bool posa(const RigaModello &def, RigaStampata::Tipo tipo, const std::vector<QStringList> &celle);

    struct Colonna { int x, w; size_t k; }; // k: the column in the line's definition
    std::vector<Colonna> colonne(const RigaModello &def) const;
    FontModello fontDi(const ColonnaModello &c) const { return c.font ? *c.font : m_modello.font; }

    const ModelloReport &m_modello;
    Misuratore &m_misura;
    Consegna m_consegna;
    AmbienteEspressioni m_ambiente;
    std::optional<PaginaReport> m_pagina;
    int m_y = 0;
    int m_consegnate = 0;
    bool m_conRighe = false;
    QString m_errore;
};

} // namespace vardof::output::report
