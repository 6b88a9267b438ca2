#pragma once

// The two tables of stored maintenance work kept in the work database:
// STOAGGFDBFDB (update scripts) and STOAGGSINCRODBFAST (synchronisations).
// Creation and the reads the runs need; the windows edit the rows.

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "maintenance/ScriptAggiornamento.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::maintenance {

inline const QString kTipoRecordMancanti = QStringLiteral("GIRA TUTTI RECORD MANCANTI SU BASE CHIAVE PRIMARIA");

QStringList creaStoAggFdbFdb();       // the CREATE TABLE lines
QStringList creaStoAggSincroDbFast(); // the CREATE TABLE lines

// Create the table when missing and commit (retaining). Throw db::Error.
void assicuraStoAggFdbFdb(db::Attachment &att, db::Transaction &tra);
void assicuraStoAggSincroDbFast(db::Attachment &att, db::Transaction &tra);
bool esisteTabella(db::Attachment &att, db::Transaction &tra, const QString &table);

// MAX(CODICE)+1, or 1 for an empty table.
int prossimoCodice(db::Attachment &att, db::Transaction &tra, const QString &table);

std::vector<ScriptFDB> leggiScript(db::Attachment &att, db::Transaction &tra);
std::optional<ScriptFDB> leggiScript(db::Attachment &att, db::Transaction &tra, int codice);

struct SincroFDB
{
    int codice = 0;
    QString titolo;
    QString tipoElaborazione;
    QString dbOrigine;
    QString tabellaOrigine;
    QString dbDestinazione;
    QString tabellaDestinazione;
};

// The enabled synchronisations, by code.
std::vector<SincroFDB> leggiSincroAbilitate(db::Attachment &att, db::Transaction &tra);

} // namespace vardof::maintenance
