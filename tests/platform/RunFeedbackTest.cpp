#include "platform/RunFeedback.h"

#include <gtest/gtest.h>

#include <QThread>

using namespace vardof::platform;

namespace {

struct PercentCase
{
    qint64 done;
    qint64 total;
    int percent;
};

class PercentOf : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentOf, roundsHalfUpWithinTheScale)
{
    EXPECT_EQ(percentOf(GetParam().done, GetParam().total), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentOf,
                         ::testing::Values(PercentCase{0, 0, 0}, PercentCase{5, 0, 0}, PercentCase{3, -1, 0},
                                           PercentCase{0, 10, 0}, PercentCase{1, 200, 1}, PercentCase{1, 201, 0},
                                           PercentCase{1, 3, 33}, PercentCase{2, 3, 67}, PercentCase{10, 10, 100},
                                           PercentCase{11, 10, 100}, PercentCase{199, 200, 100},
                                           PercentCase{397, 400, 99},
                                           // Row counts past 2^31 must not overflow the arithmetic.
                                           PercentCase{3'000'000'000LL, 6'000'000'000LL, 50}));

TEST(ProgressThrottle, isDueOncePerInterval)
{
    ProgressThrottle throttle;
    EXPECT_FALSE(throttle.due());
    QThread::msleep(ProgressThrottle::kIntervalMs + 10);
    EXPECT_TRUE(throttle.due());
    EXPECT_FALSE(throttle.due());
}

TEST(RunFeedbackStep, reportsProgressAndKeepsAliveOnlyWhenDue)
{
    RecordingFeedback f;
    for (int i = 1; i <= 1000; ++i)
        f.step(i, 1000);
    // A thousand rows in well under the interval: nothing painted.
    EXPECT_TRUE(f.percents.isEmpty());
    EXPECT_EQ(f.keepAlives, 0);

    QThread::msleep(ProgressThrottle::kIntervalMs + 10);
    EXPECT_TRUE(f.step(250, 1000));
    EXPECT_FALSE(f.step(251, 1000));
    EXPECT_EQ(f.percents, QList<int>{25});
    EXPECT_EQ(f.keepAlives, 1);
}

TEST(RunFeedbackStep, reportIsImmediateAndRestartsTheInterval)
{
    RecordingFeedback f;
    QThread::msleep(ProgressThrottle::kIntervalMs + 10);
    f.report(0, 10);
    EXPECT_FALSE(f.step(5, 10));
    f.report(10, 10);
    EXPECT_EQ(f.percents, (QList<int>{0, 100}));
    EXPECT_EQ(f.keepAlives, 2);
}

TEST(RecordingFeedback, answersFromItsQueueFittedToTheButtons)
{
    RecordingFeedback f;
    f.answers = {Answer::No, Answer::Cancel, Answer::No};
    EXPECT_FALSE(f.confirm(QStringLiteral("Avviare?")));
    EXPECT_FALSE(f.confirm(QStringLiteral("Proseguire?"), Warning));
    EXPECT_EQ(f.ask(Confirmation, QStringLiteral("Salvare?"), Buttons::OkCancel), Answer::Cancel);
    // Empty queue: Yes, or what stands for it.
    EXPECT_TRUE(f.confirm(QStringLiteral("Ancora?")));
    EXPECT_EQ(f.ask(Confirmation, QStringLiteral("Ok?"), Buttons::OkCancel), Answer::Ok);
    f.tell(Error, QStringLiteral("Errore"));

    ASSERT_EQ(f.asked.size(), 6);
    EXPECT_EQ(f.asked[1].kind, Warning);
    EXPECT_EQ(f.asked[1].buttons, Buttons::YesNo);
    EXPECT_EQ(f.asked[2].text, QStringLiteral("Salvare?"));
    EXPECT_EQ(f.asked[5].kind, Error);
    EXPECT_EQ(f.asked[5].buttons, Buttons::Ok);
}

TEST(RecordingFeedback, recordsLinesAndReadsItsInterruption)
{
    RecordingFeedback f;
    EXPECT_FALSE(f.interruptRequested());
    QStringList seen;
    f.onLine = [&](const QString &l) { seen << l; };
    int asked = 0;
    f.interruption = [&] { return ++asked == 2; };
    f.line(QStringLiteral("uno"));
    f.line(QString());
    EXPECT_FALSE(f.interruptRequested());
    EXPECT_TRUE(f.interruptRequested());
    EXPECT_EQ(f.lines, (QStringList{QStringLiteral("uno"), QString()}));
    EXPECT_EQ(seen, f.lines);
}

} // namespace
