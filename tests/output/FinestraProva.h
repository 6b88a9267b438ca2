#pragma once

// The query window of company D01 over PROVA, its settings file in m_out,
// its answer asked for: the start of every test of what the answer face
// hands to the outputs.

#include "OutputDb.h"

#include "qbe/ui/TIBLQueryForm.h"

#include <memory>
#include <optional>

namespace vardof::test {

class FinestraProva : public OutputDb
{
protected:
    // `nomeExport`, when given, is set as the opener sets it, before the window shows.
    std::unique_ptr<qbe::TIBLQueryForm> apriRisposta(const std::optional<QString> &nomeExport = std::nullopt)
    {
        auto w = std::make_unique<qbe::TIBLQueryForm>(nullptr, 0, att(), tra(), QStringLiteral("D01"),
                                                      m_out.path() + QLatin1Char('/'), m_out.path() + QLatin1Char('/'),
                                                      QStringLiteral("PROVA"));
        w->setFileImpostazioni(m_out.file(QStringLiteral("ostrel.ini")));
        if (nomeExport)
            w->setNomeExport(*nomeExport);
        w->show();
        w->ButtonEseguiInterrogazioneClick();
        return w;
    }
};

} // namespace vardof::test
