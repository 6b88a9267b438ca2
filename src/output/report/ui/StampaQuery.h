#pragma once

// "&Stampa" of the query window: the options window, then the print of the
// chosen kind through our engine, shown in the preview window. The query
// window lends what it knows of its answer; the state kept between prints
// (the temporary layout and its kind) lives in a child of the window.

#include "output/Risposta.h"

#include <QFont>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace vardof::output::report {

class TTitStForm;

struct ContestoStampa
{
    RispostaDaEsportare risposta;
    QString ditta;
    QString tabella;          // the answer's table, for the title
    QString dirBin;           // bin folder; empty or C:\WINDOWS: the current folder
    QString dirLavoro;
    QString fileImpostazioni; // ostrel.ini unless given
    QFont fontGriglia;
    bool unRecord = false;
    // Replaces exec() of the options and preview windows in tests.
    std::function<int(QDialog &)> esegui;
};

// The bin folder with a trailing separator, as the prints use it.
QString cartellaBinStampa(const QString &dirBin);

void ButtonStampaClick(QWidget *owner, ContestoStampa &contesto);

} // namespace vardof::output::report
