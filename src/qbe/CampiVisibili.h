#pragma once

// Which columns of the query's tables stand as rows of the interrogation.
// The user picks tables, then switches columns between present (1) and
// absent (0); a column in use (shown, or carrying a condition: 2) cannot be
// taken away. The interrogation is then rebuilt table by table, each added
// table keeping its header and links, and numbered 1, 2, 3 ... again.

#include "qbe/Interrogazione.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vardof::qbe {

inline const QString kMsgSelezionareTabella = QStringLiteral("Selezionare almeno una tabella per proseguire");

struct TabellaCV
{
    QString NomeTabella;
    QString Lettera; // empty for the source table
    int Selezione = 0;

    bool operator==(const TabellaCV &) const = default;
};

enum SelezioneCampo : int { CampoAssente = 0, CampoPresente = 1, CampoInUso = 2, CampoTestata = 9 };

struct CampoCV
{
    QString NomeCampo;
    int Selezione = CampoAssente;

    bool operator==(const CampoCV &) const = default;
};

// The source table, then one entry per header row, none chosen.
std::vector<TabellaCV> RiempiTabCVTmp1(const TabIntTmp &tab, const QString &tabellaSorgente);

// The column list of the chosen tables; `colonne` gives a table's columns
// in definition order (it throws when the table cannot be opened).
std::vector<CampoCV> RiempiTabCVTmp2(const std::vector<TabellaCV> &tabelle, const TabIntTmp &tab,
                                     const std::function<QStringList(const QString &tabella)> &colonne);

// F3 / double click: 1 <-> 0; 2 and 9 stay.
void SelezionaRiga2(CampoCV &campo);
void rendiTuttoVisibile(std::vector<CampoCV> &campi);
void rendiTuttoInvisibile(std::vector<CampoCV> &campi);

// The rebuilt interrogation ("Aggiorna e chiudi").
std::vector<RigaInt> RiempiTabIntTmp2(const TabIntTmp &tab, const std::vector<TabellaCV> &tabelle,
                                      const std::vector<CampoCV> &campi);

} // namespace vardof::qbe
