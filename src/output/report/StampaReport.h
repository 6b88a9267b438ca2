#pragma once

// A print run of our engine: the lines of a source through the paginator,
// each page handed to whoever draws it (PDF writer, printer, preview, or a
// test that reads the page model). The advanced print walks the answer once
// with its running totals; the simple print reads the text pages.

#include "output/Risposta.h"
#include "output/report/Impaginatore.h"
#include "platform/RunFeedback.h"

#include <QPageLayout>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace vardof::output::report {

struct DatiStampa
{
    QString titolo;
    QString note;
    bool numeraPagine = true;
    int pagineTotali = 0; // for "Pag. x di y"; 0 when not counted
};

// The records of the advanced print, one at a time.
class SorgenteStampa
{
public:
    virtual ~SorgenteStampa() = default;
    // Opens (again) at the first record; false with the reason.
    virtual bool apri(QString *errore) = 0;
    virtual bool prossimo() = 0;
    // A field of the current record by name.
    virtual std::optional<ValoreReport> campo(const QString &nome) const = 0;
    // The names of the numeric fields whose totals are printed at the end.
    virtual QStringList campiConTotale() const = 0;
    // Records in all; -1 when not known (progress only).
    virtual qint64 quanti() { return -1; }
};

// The answer of the query window through a one-way cursor.
class SorgenteRisposta : public SorgenteStampa
{
public:
    explicit SorgenteRisposta(const RispostaDaEsportare &risposta);
    ~SorgenteRisposta() override;
    bool apri(QString *errore) override;
    bool prossimo() override;
    std::optional<ValoreReport> campo(const QString &nome) const override;
    QStringList campiConTotale() const override;
    qint64 quanti() override;
    // The shown fields, known once open (for the layout writer).
    const std::vector<CampoEsportato> &campi() const;
    const std::vector<db::Column> &colonne() const;

private:
    const RispostaDaEsportare &m_risposta;
    std::unique_ptr<CursoreRisposta> m_cursore;
};

ValoreReport valoreDi(const db::FieldValue &valore, const db::Column &colonna);

// The advanced print: a detail line per record, the totals line at the end
// when some field carries one. False with the reason (a layout that names
// fields the answer does not have, a failed read, an interruption).
bool StampaAvanzata(const ModelloReport &modello, SorgenteStampa &sorgente, const DatiStampa &dati,
                    Misuratore &misura, const Impaginatore::Consegna &consegna, platform::RunFeedback *feedback,
                    QString *errore, int *pagine = nullptr);

// The simple print: the text pages, one report page per page row.
bool StampaSemplice(const ModelloReport &modello, const std::vector<std::pair<int, QString>> &righe,
                    Misuratore &misura, const Impaginatore::Consegna &consegna, QString *errore, int *pagine = nullptr);

// The grid print: every row of a statement, columns named by field.
bool StampaRighe(const ModelloReport &modello, SorgenteStampa &sorgente, const DatiStampa &dati, Misuratore &misura,
                 const Impaginatore::Consegna &consegna, QString *errore, int *pagine = nullptr);

// ---- drawing ---------------------------------------------------------------

// Measures with the fonts of a paint device.
class MisuratoreDispositivo : public Misuratore
{
public:
    explicit MisuratoreDispositivo(QPaintDevice *dispositivo);
    int larghezza(const QString &testo, const FontModello &font) override;
    int altezzaRiga(const FontModello &font) override;

private:
    QPaintDevice *m_dispositivo;
};

QPageLayout layoutPagina(const ModelloReport &modello);

// Draws pages onto a paged device: the first on the current page, each
// next one after newPage().
class Disegnatore
{
public:
    Disegnatore(QPainter &pittore, QPagedPaintDevice &dispositivo);
    void disegna(const PaginaReport &pagina);

private:
    QPainter &m_pittore;
    QPagedPaintDevice &m_dispositivo;
    bool m_prima = true;
};

// A whole run to a PDF file written beside the target and put in place
// when complete. `corsa` drives the paginator it is given.
using Corsa = std::function<bool(Misuratore &, const Impaginatore::Consegna &, int pagineTotali, QString *errore,
                                 int *pagine)>;

// Thrown by whoever receives the pages to stop a run between two pages (a
// print interrupted from its window or by a signal). The runs hold nothing
// that outlives them, so they let it through; the receiver's owner catches
// it.
struct StampaInterrotta
{
};
QString testoStampaInterrotta(); // "Stampa interrotta"

// Pages drawn so far, as the feedback of a long print tells them: a line
// every `ogni` pages, progress over the counted total, and the
// interruption between pages (throws StampaInterrotta).
class AvanzamentoPagine
{
public:
    static constexpr int kOgni = 10;
    AvanzamentoPagine(platform::RunFeedback *feedback, int totale) : m_feedback(feedback), m_totale(totale) {}
    void pagina();
    int fatte() const { return m_fatte; }

private:
    platform::RunFeedback *m_feedback;
    int m_totale;
    int m_fatte = 0;
};

// With `feedback` the pages are told as they are drawn and the print stops
// at the next page when it asks to; an interrupted or failed print leaves
// no file, and the target keeps what it had.
bool ScriviPdf(const QString &percorso, const ModelloReport &modello, const Corsa &corsa, QString *errore,
               int *pagine = nullptr, platform::RunFeedback *feedback = nullptr);

// True when the layout's texts ask for the number of pages.
bool contaPagine(const ModelloReport &modello);

// One page onto any painter, `scala` device pixels per 1/1000 mm (the
// painter's device gives the fonts their size).
void DisegnaPagina(QPainter &pittore, const PaginaReport &pagina, double scala);

// The pages a preview shows, made when asked for: a page not held runs the
// print again up to it and keeps it with a few around it, so what is held
// is a handful of page models whatever the number of pages looked at. A run
// stops as soon as the pages it was asked for are made.
class CachePagine
{
public:
    // `serveTotale`: the layout prints the number of pages (contaPagine()).
    CachePagine(Corsa corsa, bool serveTotale, int capienza = 5);

    // The first run: counts the pages, and keeps the first ones when their
    // texts do not need the count. False with the reason.
    // `ogniPagina` as for pagina().
    bool conta(Misuratore &misura, QString *errore, const std::function<void()> &ogniPagina = {});
    int pagine() const { return m_pagine; }
    // Page `n` (from 1); nullptr with the reason when the run failed or was
    // interrupted. `ogniPagina` sees every page the run makes (progress,
    // interruption by throwing StampaInterrotta).
    const PaginaReport *pagina(int n, Misuratore &misura, QString *errore,
                               const std::function<void()> &ogniPagina = {});

    int tenute() const { return int(m_tenute.size()); }
    int corse() const { return m_corse; }
    int capienza() const { return m_capienza; }

private:
    bool corri(int da, int a, Misuratore &misura, QString *errore, const std::function<void()> &ogniPagina,
               int *contate);

    Corsa m_corsa;
    int m_capienza;
    bool m_serveTotale;
    int m_pagine = 0;
    int m_corse = 0;
    std::vector<PaginaReport> m_tenute;
};

} // namespace vardof::output::report
