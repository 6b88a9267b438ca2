#pragma once

// The window "STAMPA GRAFICO": one chart of the point rows, with printing
// through the system's print dialog and saving as PDF or PNG. It keeps the
// chart's data (what it shows, nothing more) so that a page or a picture
// gets a chart laid out at its own size rather than a stretched copy of
// the screen.

#include "output/report/SceltaGrafico.h"

#include <QWidget>

#include <functional>

class QChart;
class QChartView;
class QPainter;
class QPrinter;
class QPushButton;

namespace vardof::output::report {

class FinestraGrafico : public QWidget
{
    Q_OBJECT
public:
    FinestraGrafico(QWidget *parent, const SceltaGrafico &scelta, DatiGrafico dati, const TestiGrafico &testi);

    QChart *grafico() const;
    QChartView *vista() const { return m_vista; }
    const SceltaGrafico &scelta() const { return m_scelta; }
    const DatiGrafico &dati() const { return m_dati; }

    QPushButton *ButtonStampa;
    QPushButton *ButtonSalvaPdf;
    QPushButton *ButtonSalvaPng;
    QPushButton *ButtonChiudi;

    // The file is written beside its place and put there when complete;
    // false with the reason shown.
    bool salvaPdf(const QString &file);
    bool salvaPng(const QString &file);

    // Asks for the printer: the system's print dialog unless replaced
    // (tests print to a PDF file through it). False when cancelled.
    static std::function<bool(QPrinter &, QWidget *)> &sceltaStampante();

public slots:
    void ButtonStampaClick();
    void ButtonSalvaPdfClick();
    void ButtonSalvaPngClick();

private:
    // Draws a chart laid out at `dimensione` (device-independent pixels)
    // into `destinazione` of the painter's device.
    void disegna(QPainter &pittore, const QRectF &destinazione, const QSizeF &dimensione) const;

    SceltaGrafico m_scelta;
    DatiGrafico m_dati;
    TestiGrafico m_testi;
    QChartView *m_vista;
};

} // namespace vardof::output::report
