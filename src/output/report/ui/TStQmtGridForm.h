#pragma once

// The print options of a data grid: two header lines and their alignment,
// orientation, page numbers, cut texts, the last column forced in, the
// data font size; "Anteprima" prints to the preview, the context menu's
// "Apri editazione report (assistenza tecnica)" opens the layout.

#include "output/report/TQmtGridStampa.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vardof::output::report {

class FinestraAnteprima;

class TStQmtGridForm : public QDialog
{
    Q_OBJECT
public:
    TStQmtGridForm(QWidget *owner, TQmtGridStampa &stampa);

    QGroupBox *GroupIntestazione;
    QLineEdit *EditIntestazione1, *EditIntestazione2;
    QRadioButton *RadioAllineaSinistra, *RadioAllineaCentro;
    QGroupBox *GroupOpzioni;
    QRadioButton *RadioVerticale, *RadioOrizzontale;
    QCheckBox *CheckNumeraPagine, *CheckTroncaTesti, *CheckForzaUltimaColonna;
    QRadioButton *RadioFont6, *RadioFont8, *RadioFont10, *RadioFont12;
    QPushButton *ButtonAnteprima, *ButtonChiudi;
    QAction *AzioneEditaReport;

    // Replaces exec() of the preview in tests.
    std::function<int(FinestraAnteprima &)> esegui;
    // Replaces exec() of the designer in tests.
    std::function<int(QDialog &)> eseguiDisegno;

public slots:
    void ButtonAnteprimaClick();
    void EditaReportClick();

private:
    void copiaOpzioni();

    TQmtGridStampa &m_stampa;
};

// Installs the grid's "Stampa" (the grid knows nothing of reports).
void installaStampaGriglia();

} // namespace vardof::output::report
