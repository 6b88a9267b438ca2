// Dropping the TMP_ work tables.

#include "Support.h"
#include "maintenance/PulisciTmp.h"

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

class StopAt : public platform::RunFeedback, public FasiPulisciTmp
{
public:
    explicit StopAt(qint64 k = -1) : m_stopAfter(k) {}
    void tabella(qint64 k, const QString &name, int percent) override
    {
        dropped << QStringLiteral("%1 %2 %3").arg(k).arg(name).arg(percent);
        m_current = k;
    }
    bool interruptRequested() override { return m_stopAfter >= 0 && m_current >= m_stopAfter; }
    void line(const QString &text) override { lines << text; }
    void progress(int percent) override { percents << percent; }
    void keepAlive() override { ++keepAlives; }
    platform::Answer ask(platform::MessageKind kind, const QString &text, platform::Buttons buttons) override
    {
        if (kind == platform::Error)
            errors << text;
        else
            others << text;
        return platform::fitAnswer(buttons, platform::Answer::Yes);
    }
    QStringList dropped, errors, others, lines;
    QList<int> percents;
    int keepAlives = 0;

private:
    qint64 m_stopAfter;
    qint64 m_current = 0;
};

class PulisciTmpTest : public FbFixture
{
};

TEST(FormatoConteggioTest, groupsThousandsWithAPoint)
{
    EXPECT_EQ(formatoConteggio(0), "0");
    EXPECT_EQ(formatoConteggio(999), "999");
    EXPECT_EQ(formatoConteggio(1500), "1.500");
    EXPECT_EQ(formatoConteggio(1234567), "1.234.567");
}

TEST_F(PulisciTmpTest, countsOnlyNamesStartingWithTmpUnderscoreInCapitals)
{
    EXPECT_EQ(contaTabelleTmp(att()), 0);
    exec("CREATE TABLE TMP_A (X INTEGER)");
    exec("CREATE TABLE TMP_B (X INTEGER)");
    exec("CREATE TABLE TMP222 (X INTEGER)");
    exec("CREATE TABLE \"tmp_x\" (X INTEGER)");
    EXPECT_EQ(contaTabelleTmp(att()), 2);
}

TEST_F(PulisciTmpTest, dropsWorkTablesWhoseNamesNeedQuoting)
{
    exec("CREATE TABLE \"TMP_d'x\" (X INTEGER)");
    exec("CREATE TABLE \"TMP_con spazio\" (X INTEGER)");
    exec("CREATE TABLE \"TMP_a;b -- c\" (X INTEGER)");
    exec("CREATE TABLE TMP_NORMALE (X INTEGER)");
    exec("CREATE TABLE ALTRA (X INTEGER)");
    StopAt r;
    const EsitoPulisciTmp e = eliminaTabelleTmp(att(), contaTabelleTmp(att()), r, &r);
    EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('|').toStdString();
    EXPECT_FALSE(e.fallita);
    EXPECT_EQ(e.eliminate, 4);
    EXPECT_EQ(e.totaleDopo, 0);
    EXPECT_EQ(count(att(), "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'ALTRA'"), 1);
}

TEST_F(PulisciTmpTest, dropsInNameOrderAndLeavesTheOthers)
{
    exec("CREATE TABLE TMP_B (X INTEGER)");
    exec("CREATE TABLE TMP_A (X INTEGER)");
    exec("CREATE TABLE TMP222 (X INTEGER)");
    StopAt r;
    const EsitoPulisciTmp e = eliminaTabelleTmp(att(), contaTabelleTmp(att()), r, &r);
    EXPECT_EQ(r.dropped, (QStringList{"1 TMP_A 50", "2 TMP_B 100"}));
    // Every drop is slow: the window stays alive before each one, and the
    // bar follows the tables, back to zero at the end.
    EXPECT_EQ(r.keepAlives, 2);
    EXPECT_EQ(r.percents, (QList<int>{0, 50, 100, 0}));
    EXPECT_TRUE(r.lines.isEmpty());
    EXPECT_TRUE(r.others.isEmpty());
    EXPECT_FALSE(e.fermata);
    EXPECT_FALSE(e.fallita);
    EXPECT_EQ(e.totaleDopo, 0);
    EXPECT_EQ(count(att(), "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME='TMP222'"), 1);
}

TEST_F(PulisciTmpTest, aStopDuringTheSecondDropEndsBeforeTheThird)
{
    for (const char *t : {"TMP_1", "TMP_2", "TMP_3", "TMP_4"})
        exec(QStringLiteral("CREATE TABLE %1 (X INTEGER)").arg(QString::fromLatin1(t)));
    StopAt r(2);
    const EsitoPulisciTmp e = eliminaTabelleTmp(att(), 4, r, &r);
    EXPECT_TRUE(e.fermata);
    EXPECT_EQ(e.eliminate, 2);
    EXPECT_EQ(e.totaleDopo, 2);
}

TEST_F(PulisciTmpTest, aViewThatCannotBeDroppedStopsTheRunAndKeepsEarlierDrops)
{
    exec("CREATE TABLE TMP_A (X INTEGER)");
    exec("CREATE VIEW TMP_V AS SELECT X FROM TMP_A");
    exec("CREATE TABLE TMP_Z (X INTEGER)");
    StopAt r;
    const EsitoPulisciTmp e = eliminaTabelleTmp(att(), 3, r, &r);
    EXPECT_TRUE(e.fallita);
    ASSERT_EQ(r.errors.size(), 1);
    // TMP_A is used by the view, so the very first drop fails.
    EXPECT_TRUE(r.errors[0].startsWith("Errore interno durante l'eliminazione della tabella TMP_A\n"))
        << r.errors[0].toStdString();
    EXPECT_TRUE(r.errors[0].endsWith("\n(n° 1 di 3)")) << r.errors[0].toStdString();
    EXPECT_EQ(e.totaleDopo, 3);
}

TEST_F(PulisciTmpTest, aViewFailsWithItsRunningNumberAndTablesAfterItStay)
{
    exec("CREATE TABLE BASE (X INTEGER)");
    exec("CREATE TABLE TMP_A (X INTEGER)");
    exec("CREATE VIEW TMP_V AS SELECT X FROM BASE");
    exec("CREATE TABLE TMP_Z (X INTEGER)");
    StopAt r;
    const EsitoPulisciTmp e = eliminaTabelleTmp(att(), 3, r, &r);
    ASSERT_EQ(r.errors.size(), 1);
    EXPECT_TRUE(r.errors[0].startsWith("Errore interno durante l'eliminazione della tabella TMP_V\n"));
    EXPECT_TRUE(r.errors[0].endsWith("\n(n° 2 di 3)"));
    EXPECT_EQ(e.eliminate, 1);
    EXPECT_EQ(column(att(), "SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING "
                            "WITH 'TMP_' ORDER BY 1"),
              (QStringList{"TMP_V", "TMP_Z"}));
}

} // namespace
