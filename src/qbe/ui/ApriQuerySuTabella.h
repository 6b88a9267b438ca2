#pragma once

// Opens the query window straight on a table, as the data grid and the
// table editor do: on a connection of its own to the same database (same
// name, the library's login, no prompt) and a transaction with the
// caller's parameters, both ended when the window closes.

#include <QString>
#include <QStringList>

class QWidget;

namespace vardof::db { class Attachment; class Transaction; }

namespace vardof::qbe {

// `fileImpostazioni` "c:\windows\ostrel.ini" stands for the library's
// settings file. An empty working or bin directory is read from that file
// ("Directory di lavoro", "Directory bin" in section `sezione`, default
// "C:\WINDOWS"); `sezione` is also the company text of the caption.
// A connection that cannot be opened is reported and nothing is shown.
void ApriQuerySuTabella(const QString &tabella, db::Attachment &connessione, db::Transaction &transazione,
                        const QString &directoryBin, const QString &nomeExport, int numeroUtente,
                        const QString &fileImpostazioni, bool eseguiAllApertura, const QString &sezione,
                        const QString &directoryLavoro, QWidget *owner = nullptr);

// The settings file a caller's path means.
QString fileImpostazioniEffettivo(const QString &fileImpostazioni);

// The data grid's Query action (F8) opens this window on the grid's table.
void installaQueryGriglia();

} // namespace vardof::qbe
