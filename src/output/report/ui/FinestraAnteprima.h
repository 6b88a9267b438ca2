#pragma once

// The print preview of our engine: one page at a time, with zoom, page
// navigation, printing through the system's print dialog and saving as
// PDF. The pages are counted when the window opens; a page is drawn when
// it is shown, from a small cache of page models that runs the print again
// for a page it does not hold (CachePagine), so what the window keeps does
// not grow with the pages looked at. Long runs (a far page, printing,
// saving) show their progress here with "Interrompi"; the rest of the
// window waits for them.

#include "output/report/StampaReport.h"
#include "platform/widgets/WindowRunFeedback.h"

#include <QDialog>
#include <QImage>

#include <memory>

class QLabel;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollArea;

namespace vardof::output::report {

class FinestraAnteprima : public QDialog
{
    Q_OBJECT
public:
    FinestraAnteprima(QWidget *parent, const QString &titolo, const ModelloReport &modello, Corsa corsa);
    ~FinestraAnteprima() override;

    // The reason of the last failed run, empty when it went well;
    // testoStampaInterrotta() when the user stopped it.
    const QString &errore() const { return m_errore; }
    int pagine() const { return m_pagine; }
    int paginaCorrente() const { return m_corrente; }
    const CachePagine &cache() const { return *m_cache; }
    // The page as shown now (empty when none).
    const QImage &immagine() const { return m_immagine; }
    bool inCorso() const { return m_inCorso; }

    // Shows page `n` (from 1); false when it cannot be made.
    bool vaiAPagina(int n);
    // Saves the pages to `file` (a PDF); false with the reason shown.
    bool salvaPdf(const QString &file);
    // Prints every page on `printer`; false with the reason (not shown).
    bool stampaSu(QPrinter &printer);
    // Asked for by "Interrompi", and by tests.
    void interrompi() { m_interrompi = true; }

    // Called each time a run reads the interruption, at every page (tests).
    std::function<void()> controllo;

public slots:
    void ButtonStampaClick();
    void ButtonSalvaPdfClick();
    void ButtonInterrompiClick();
    // During a run, closing asks the run to stop first.
    void reject() override;

private:
    class Corso;
    void mostra();
    void aggiornaPagina();
    void zoom(double fattore);

    ModelloReport m_modello;
    Corsa m_corsa;
    std::unique_ptr<QPrinter> m_misura; // pages measured as the printer draws them
    std::unique_ptr<CachePagine> m_cache;
    platform::WindowRunFeedback m_feedback;
    QScrollArea *m_area;
    QLabel *m_foglio;
    QLabel *m_pagina;
    QProgressBar *m_progresso;
    QPushButton *m_interrompiBottone;
    QList<QPushButton *> m_bottoni;
    QImage m_immagine;
    QString m_errore;
    int m_pagine = 0;
    int m_corrente = 0;
    double m_zoom = 1.0;      // 1: 96 dots per inch
    bool m_inCorso = false;
    bool m_interrompi = false;
};

} // namespace vardof::output::report
