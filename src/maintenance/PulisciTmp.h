#pragma once

// Dropping the TMP_ work tables of a database, one by one, each committed at
// once so that a stopped or failed run keeps the drops done so far.

#include "db/Attachment.h"
#include "maintenance/Reporting.h"

#include <QString>

namespace vardof::maintenance {

// Tables (or views) whose catalogue name starts with "TMP_", case counting.
qint64 contaTabelleTmp(db::Attachment &att);

// "###,##0": thousands with a point, no decimals.
QString formatoConteggio(qint64 n);

class PulisciTmpReporter : public Reporter
{
public:
    // Before the drop of the k-th table (1-based).
    virtual void tabella(qint64 /*k*/, const QString & /*nome*/, int /*percentuale*/) {}
    // keepAlive() runs before each table, then stopRequested() is read.
    virtual bool stopRequested() { return interruptRequested(); }
};

struct EsitoPulisciTmp
{
    qint64 eliminate = 0;
    bool fermata = false;
    bool fallita = false;
    qint64 totaleDopo = 0;
};

// One run over the tables counted as `totale` (the number shown to the user).
// A failed drop is told with its running number and the run ends.
EsitoPulisciTmp eliminaTabelleTmp(db::Attachment &att, qint64 totale, PulisciTmpReporter &reporter);

} // namespace vardof::maintenance
