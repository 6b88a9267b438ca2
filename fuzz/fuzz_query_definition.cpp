// The reader of stored-query definition files: any text, read into a real
// registry (an embedded archive made once per process). The reader promises
// all of a file or nothing: a file it does not take leaves the registry's
// rows as they were.

#include "FuzzSupport.h"

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "db/Value.h"
#include "storedqueries/Classificazioni.h"
#include "storedqueries/DefinizioneQuery.h"
#include "storedqueries/StoredQueryTables.h"

namespace {

using namespace vardof;

class YesFeedback : public platform::RunFeedback
{
public:
    void line(const QString &) override {}
    void progress(int) override {}
    bool interruptRequested() override { return false; }
    platform::Answer ask(platform::MessageKind, const QString &, platform::Buttons buttons) override
    {
        return platform::fitAnswer(buttons, platform::Answer::Yes);
    }
};

db::Attachment &registry()
{
    static db::Attachment att = [] {
        const QString path = fuzz::pathOf(QStringLiteral("registro.fdb"));
        db::Attachment a;
        a.create(path, db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey"))
                           << QStringLiteral("PAGE_SIZE 4096"));
        storedqueries::installaPreparaClassificazioni();
        db::Transaction t(a);
        YesFeedback quiet;
        storedqueries::PreparaTabelleQuery(a, t, quiet);
        db::executeSql(t, QStringLiteral("CREATE TABLE CLIENTI (CODICE INTEGER NOT NULL PRIMARY KEY, "
                                         "RAGIONESOCIALE VARCHAR(60), CITTA VARCHAR(40), NOTE BLOB SUB_TYPE 1)"));
        t.commit();
        return a;
    }();
    return att;
}

qint64 rows(db::Transaction &t, const char *table)
{
    return db::toInt64(*db::queryValue(registry(), t, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)))
        .value_or(-1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file = fuzz::writeFile(QStringLiteral("qrydef.txt"), data, size);
    for (const QString &line : QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size)).split('\n')) {
        const int fields = storedqueries::NumeroCampi(line);
        VARDOF_FUZZ_CHECK(fields >= 0);
        for (int n = 0; n <= fields + 1; ++n)
            (void)storedqueries::LeggiCampo(line, n);
    }

    db::Transaction t(registry());
    const qint64 queries = rows(t, "STOQUER");
    const qint64 conditions = rows(t, "STOINT");
    const qint64 appearance = rows(t, "STOASP");
    YesFeedback feedback;
    const storedqueries::EsitoImportazione esito = storedqueries::ImportaDefinizioneQuery(registry(), t, file, feedback);
    if (esito.completa) {
        VARDOF_FUZZ_CHECK(!esito.codici.empty());
    } else {
        VARDOF_FUZZ_CHECK(rows(t, "STOQUER") == queries);
        VARDOF_FUZZ_CHECK(rows(t, "STOINT") == conditions);
        VARDOF_FUZZ_CHECK(rows(t, "STOASP") == appearance);
    }
    t.rollback();
    return 0;
}
