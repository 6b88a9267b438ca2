#pragma once

// The "&Esporta" button of the query window: the export dialog, then the
// export of the chosen type with a progress window, then the result opened
// in the spreadsheet program when asked. The query window lends what it
// knows of its answer; nothing here reaches into the window.

#include "output/Risposta.h"

#include <QString>

#include <functional>

class QWidget;

namespace vardof::params { class TTabXForm; }

namespace vardof::output {

class TQIBEspForm;

struct ContestoEsportazione
{
    RispostaDaEsportare risposta;
    params::TTabXForm *store = nullptr; // the user's parameters, or none
    QString ditta;
    QString dirLavoro;
    QString fileImpostazioni;           // settings file without a store
    // The starting file name: the stored query's export name, else the
    // source table in capitals + ".CSV".
    QString nomeFile;
    // The window's remembered option reader ("Programma riferimento Excel").
    std::function<QString(const QString &)> caricaParametro;
    // Set while the text export runs.
    std::function<void(bool)> esportazioneInCorso;
    // Replaces the dialog in tests: it is given the dialog before exec()
    // and returns its result instead of showing it.
    std::function<int(TQIBEspForm &)> esegui;
};

// "&Esporta": the dialog and the export it asks for. When the new export
// of a text fails, the older text-only export is offered.
void ButtonEsportaClick(QWidget *owner, ContestoEsportazione &contesto);

// The export the dialog asked for; false when it failed (already told).
bool EsportaNuovo(QWidget *owner, ContestoEsportazione &contesto, TQIBEspForm &dialogo);
// The older text-only export through the same dialog.
void EsportaVecchio(QWidget *owner, ContestoEsportazione &contesto);

} // namespace vardof::output
