#pragma once

// Helpers shared by the maintenance tests: a plain opener over the test
// login, a second embedded database, and a run feedback that records
// (with the synchronisation windows' steps).

#include "db/Attachment.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "maintenance/DatabaseOpener.h"
#include "maintenance/PulisciTmp.h"
#include "maintenance/SincroDB.h"
#include "platform/RunFeedback.h"
#include "support/FbFixture.h"

#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace vardof::test {

inline maintenance::DatabaseOpener testOpener(const QStringList &params = adminParams(), const QString &prefix = {})
{
    return [params, prefix](db::Attachment &att, const QString &dir, const QString &file) {
        try {
            att.connect(prefix + dir + file, params);
            return true;
        } catch (const db::Error &) {
            return false;
        }
    };
}

inline qint64 count(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    const db::FieldValue v = db::queryValue(att, t, sql);
    return v ? db::toInt64(*v).value_or(-1) : -1;
}

inline void execOn(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    db::executeSql(att, t, sql);
    t.commit();
}

inline QStringList column(db::Attachment &att, const QString &sql)
{
    db::Transaction t(att);
    db::Statement s(att, t, sql, db::ParamStyle::AsWritten);
    db::ResultSet rs = s.open();
    QStringList out;
    while (rs.next())
        out << rs.text(0);
    return out;
}

class RecordingReporter : public platform::RunFeedback, public maintenance::FasiSincro
{
public:
    // Boxes as "I:", "W:", "E:"; questions as "Q:" (a warning one "QW:"),
    // answered with `answer`.
    platform::Answer ask(platform::MessageKind kind, const QString &t, platform::Buttons buttons) override
    {
        if (buttons != platform::Buttons::Ok) {
            messages << (kind == platform::Warning ? QStringLiteral("QW:") : QStringLiteral("Q:")) + t;
            return platform::fitAnswer(buttons, answer ? platform::Answer::Yes : platform::Answer::No);
        }
        const QString tag = kind == platform::Information ? QStringLiteral("I:")
                            : kind == platform::Warning   ? QStringLiteral("W:")
                            : kind == platform::Error     ? QStringLiteral("E:")
                                                          : QStringLiteral("?:");
        messages << tag + t;
        return platform::Answer::Ok;
    }
    void line(const QString &l) override { log << l; }
    void progress(int p) override { lastProgress = p; }
    bool interruptRequested() override { return interruptAfter >= 0 && ++checks > interruptAfter; }
    void analisiIniziata() override { events << QStringLiteral("analisi"); }
    void analisiFinita() override { events << QStringLiteral("fine analisi"); }
    void esecuzioneIniziata() override { events << QStringLiteral("esecuzione"); }
    void elaborazione(int i, int n, int p) override { events << QStringLiteral("%1/%2 %3%").arg(i).arg(n).arg(p); }
    void esecuzioneFinita() override { events << QStringLiteral("fine esecuzione"); }

    QStringList messages, log, events;
    bool answer = true;
    int lastProgress = -1;
    int interruptAfter = -1;
    int checks = 0;
};

} // namespace vardof::test
