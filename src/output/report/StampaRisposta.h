#pragma once

// The advanced print of an answer: the advanced layout written for its
// shown fields (or a layout file named by the user), read back, and the
// answer printed through it, to a PDF file or to any paged device.

#include "output/Risposta.h"
#include "output/report/LayoutLst.h"
#include "output/report/StampaReport.h"

#include <optional>

namespace vardof::output::report {

struct OpzioniStampaRisposta
{
    DatiStampa dati;
    bool orizzontale = false;
    bool memoEstesi = false;
    FontStampa font;
    bool unRecord = false;
};

std::vector<CampoLayout> campiLayout(const std::vector<CampoEsportato> &campi, const std::vector<db::Column> &colonne);

// The advanced layout text for the answer's shown fields (opens the answer
// to learn its columns). Empty with the server's reason when it cannot.
QByteArray layoutAvanzatoRisposta(const RispostaDaEsportare &risposta, const OpzioniStampaRisposta &opzioni,
                                  QString *errore);

// Answer to PDF through the given layout text (the generated one when
// empty). False with the reason; no file is left then.
bool StampaRispostaPdf(const RispostaDaEsportare &risposta, const QString &uscita, const OpzioniStampaRisposta &opzioni,
                       QString *errore, platform::RunFeedback *feedback = nullptr, const QByteArray &layout = {},
                       int *pagine = nullptr);

// "Ditta: " + company + " Tabella: " + table + "  Data: " + today.
QString titoloStampa(const QString &ditta, const QString &tabella);

} // namespace vardof::output::report
