#pragma once

// The print preview of our engine: the pages of a run shown in a
// QPrintPreviewWidget, with zoom, page navigation, printing through the
// system's print dialog and saving as PDF. Every showing, printing or
// saving runs the print again from the start, so nothing of the answer is
// kept here beyond the pages the preview itself draws.

#include "output/report/StampaReport.h"

#include <QDialog>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QPushButton;

namespace vardof::output::report {

class FinestraAnteprima : public QDialog
{
    Q_OBJECT
public:
    FinestraAnteprima(QWidget *parent, const QString &titolo, const ModelloReport &modello, Corsa corsa);

    // The reason of the last failed run, empty when it went well.
    const QString &errore() const { return m_errore; }
    int pagine() const { return m_pagine; }
    QPrintPreviewWidget *anteprima() const { return m_anteprima; }

    // Saves the pages to `file` (a PDF); false with the reason shown.
    bool salvaPdf(const QString &file);

public slots:
    void ButtonStampaClick();
    void ButtonSalvaPdfClick();

private:
    void disegna(QPrinter *printer);
    void aggiornaPagina();

    ModelloReport m_modello;
    Corsa m_corsa;
    QPrintPreviewWidget *m_anteprima;
    QLabel *m_pagina;
    QString m_errore;
    int m_pagine = 0;
};

} // namespace vardof::output::report
