#pragma once

// Dropping the TMP_ work tables of a database, one by one, each committed at
// once so that a stopped or failed run keeps the drops done so far.

#include "db/Attachment.h"
#include "platform/RunFeedback.h"

#include <QString>

namespace vardof::maintenance {

// Tables (or views) whose catalogue name starts with "TMP_", case counting.
qint64 contaTabelleTmp(db::Attachment &att);

// "###,##0": thousands with a point, no decimals.
QString formatoConteggio(qint64 n);

// What the cleanup window shows of each table besides the run's progress.
class FasiPulisciTmp
{
public:
    virtual ~FasiPulisciTmp() = default;
    // Before the drop of the k-th table (1-based).
    virtual void tabella(qint64 /*k*/, const QString & /*nome*/, int /*percentuale*/) {}
};

struct EsitoPulisciTmp
{
    qint64 eliminate = 0;
    bool fermata = false;
    bool fallita = false;
    qint64 totaleDopo = 0;
};

// One run over the tables counted as `totale` (the number shown to the user).
// A failed drop is told with its running number and the run ends. Before
// each table the feedback keeps the window alive (a drop is slow next to the
// usual rhythm of progress) and its interruption request is read.
EsitoPulisciTmp eliminaTabelleTmp(db::Attachment &att, qint64 totale, platform::RunFeedback &feedback,
                                  FasiPulisciTmp *fasi = nullptr);

} // namespace vardof::maintenance
