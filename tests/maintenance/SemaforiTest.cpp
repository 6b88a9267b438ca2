// Record locks and situation semaphores on embedded databases: two
// attachments of one process exclude each other just as two workstations do.

#include "Support.h"
#include "maintenance/Semafori.h"

using namespace vardof;
using namespace vardof::maintenance;
using namespace vardof::test;

namespace {

TEST(ParametriTransazioneTest, namesFollowTheCodeOrder)
{
    EXPECT_EQ(NomiParametri({7, 2}), (QStringList{"isc_tpb_concurrency", "isc_tpb_nowait"}));
    EXPECT_EQ(NomiParametri(ParametriNoWait()), (QStringList{"isc_tpb_concurrency", "isc_tpb_nowait"}));
    EXPECT_EQ(NomiParametri({20, 1, 15}),
              (QStringList{"isc_tpb_consistency", "isc_tpb_read_committed", "isc_tpb_no_auto_undo"}));
}

TEST(TDBRecordLockerTest, buildsTheSelfAssigningUpdate)
{
    TDBRecordLocker one;
    one.NomeTabella = "STOQUER";
    one.CampiChiave = QStringList{"CODICE"};
    EXPECT_EQ(one.TestoBlocco(), (QStringList{"UPDATE STOQUER SET", "CODICE=CODICE", "WHERE", "CODICE=:CODICE"}));

    TDBRecordLocker two;
    two.NomeTabella = "T";
    two.CampiChiave = QStringList{"A", "B"};
    EXPECT_EQ(two.TestoBlocco(), (QStringList{"UPDATE T SET", "A=A", ",", "B=B", "WHERE", "A=:A", "AND", "B=:B"}));
}

class LockTest : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        exec("CREATE TABLE Q (A INTEGER NOT NULL, B VARCHAR(5) NOT NULL, PRIMARY KEY (A, B))");
        exec("INSERT INTO Q VALUES (1, 'x')");
        m_other.connect(dbPath(), adminParams());
    }
    void TearDown() override
    {
        m_other.disconnect();
        FbFixture::TearDown();
    }
    int lock(db::Attachment &att, db::Transaction &t, TDBRecordLocker &l, qint64 a, const QString &b)
    {
        l.NomeTabella = "Q";
        l.CampiChiave = QStringList{"A", "B"};
        l.ImpostaTransazione(att, t);
        l.ParametroChiave("A", db::Value(a));
        l.ParametroChiave("B", db::Value(b));
        return l.BloccaRecord();
    }
    db::Attachment m_other;
};

TEST_F(LockTest, secondHolderIsRefusedUntilTheFirstTransactionEnds)
{
    auto first = TransazioneNoWait(att());
    auto second = TransazioneNoWait(m_other);
    TDBRecordLocker l1, l2;
    EXPECT_EQ(lock(att(), *first, l1, 1, "x"), TDBRecordLocker::RecordBloccato);
    EXPECT_EQ(lock(m_other, *second, l2, 1, "x"), TDBRecordLocker::RecordRifiutato);
    first->rollback();
    second->rollback();
    second->start();
    EXPECT_EQ(l2.BloccaRecord(), TDBRecordLocker::RecordBloccato);
}

TEST_F(LockTest, aKeyWithoutRowAnswersMissing)
{
    auto t = TransazioneNoWait(att());
    TDBRecordLocker l;
    EXPECT_EQ(lock(att(), *t, l, 2, "x"), TDBRecordLocker::RecordMancante);
}

TEST_F(LockTest, parametersReplaceTheListAndEndARunningTransaction)
{
    db::Transaction t(att(), {"isc_tpb_read_committed"});
    t.start();
    ParametriTransazione(t, ParametriNoWait());
    EXPECT_FALSE(t.isActive());
    EXPECT_EQ(t.params(), (QStringList{"isc_tpb_concurrency", "isc_tpb_nowait"}));
    auto created = CreaTransazione(att(), {2, 7});
    EXPECT_TRUE(created->isActive());
}

class SemaforiTest : public FbFixture
{
protected:
    void SetUp() override
    {
        FbFixture::SetUp();
        m_other.connect(dbPath(), adminParams());
    }
    void TearDown() override
    {
        m_other.disconnect();
        FbFixture::TearDown();
    }
    struct Log
    {
        qint64 operatore, occupata;
        QString situazione, dettaglio;
        bool liberata;
    };
    std::vector<Log> logRows()
    {
        db::Transaction t(att());
        db::Statement s(att(), t,
                        "SELECT OPERATORE, SITUAZIONE, DETTAGLIOSITUAZIONE, SITUAZIONEOCCUPATA, DATAORALIBERAZIONE, "
                        "DATAORA FROM SEMAFORI_LOG ORDER BY ID");
        db::ResultSet rs = s.open();
        std::vector<Log> out;
        while (rs.next()) {
            EXPECT_FALSE(rs.isNull(5));
            out.push_back({*rs.toInt64(0), *rs.toInt64(3), rs.text(1), rs.text(2), !rs.isNull(4)});
        }
        return out;
    }
    db::Attachment m_other;
};

TEST_F(SemaforiTest, structuresAreCreatedOnceAndCheckedAfter)
{
    TSemaforiSituazioni s(1, att());
    QString message = "old";
    ASSERT_TRUE(s.VerificaStrutture(message));
    EXPECT_TRUE(message.isEmpty());
    EXPECT_EQ(count(m_other, "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME IN "
                             "('SEMAFORI_SITUAZIONI','SEMAFORI_LOG')"),
              2);
    EXPECT_EQ(count(m_other, "SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME='ID_SEMAFORI_LOG_COUNTER'"), 1);
    TSemaforiSituazioni again(2, m_other);
    EXPECT_TRUE(again.VerificaStrutture(message));
}

TEST_F(SemaforiTest, aNewSituationIsExclusiveFromItsFirstTaking)
{
    TSemaforiSituazioni first(1, att()), second(2, m_other);
    QString m;
    ASSERT_TRUE(first.VerificaStrutture(m));
    const QString name = situazioneQuerySuccessiva(1);
    EXPECT_EQ(name, "QUERY_SUCC_0001");
    EXPECT_TRUE(first.OccupaSituazione(name, name));
    EXPECT_TRUE(first.Occupata());
    EXPECT_FALSE(second.OccupaSituazione(name, name));
    EXPECT_FALSE(second.Occupata());

    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].operatore, 1);
    EXPECT_EQ(rows[0].occupata, 0);
    EXPECT_EQ(rows[1].operatore, 2);
    EXPECT_EQ(rows[1].occupata, 1);
    EXPECT_EQ(rows[1].situazione, name);
    EXPECT_EQ(first.IdLog(), 1);
}

TEST_F(SemaforiTest, releaseLetsTheOtherInAndWritesTheReleaseTime)
{
    TSemaforiSituazioni first(1, att()), second(2, m_other);
    QString m;
    ASSERT_TRUE(first.VerificaStrutture(m));
    ASSERT_TRUE(first.OccupaSituazione("S", "d1"));
    first.LiberaSituazione();
    EXPECT_FALSE(first.Occupata());
    EXPECT_TRUE(second.OccupaSituazione("S", "d2"));
    EXPECT_FALSE(first.OccupaSituazione("S", "d3"));
    second.LiberaSituazione();
    EXPECT_TRUE(first.OccupaSituazione("S", "d4"));

    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_TRUE(rows[0].liberata);
    EXPECT_TRUE(rows[1].liberata);
    EXPECT_FALSE(rows[2].liberata);  // refused attempts are never released
    EXPECT_EQ(rows[2].occupata, 1);
    EXPECT_FALSE(rows[3].liberata);  // still held
    EXPECT_EQ(rows[3].dettaglio, "d4");
}

TEST_F(SemaforiTest, destroyingTheHolderFreesItWithoutAReleaseTime)
{
    QString m;
    {
        TSemaforiSituazioni first(1, att());
        ASSERT_TRUE(first.VerificaStrutture(m));
        ASSERT_TRUE(first.OccupaSituazione("S", "S"));
    }
    TSemaforiSituazioni second(2, m_other);
    EXPECT_TRUE(second.OccupaSituazione("S", "S"));
    EXPECT_FALSE(logRows().front().liberata);
}

TEST_F(SemaforiTest, takingAnotherSituationReleasesTheFirst)
{
    TSemaforiSituazioni first(1, att()), second(2, m_other);
    QString m;
    ASSERT_TRUE(first.VerificaStrutture(m));
    ASSERT_TRUE(first.OccupaSituazione("A", "A"));
    ASSERT_TRUE(first.OccupaSituazione("B", "B"));
    EXPECT_TRUE(second.OccupaSituazione("A", "A"));
    EXPECT_FALSE(second.OccupaSituazione("B", "B"));
}

TEST_F(SemaforiTest, namesTooLongOrWithQuotesBehave)
{
    TSemaforiSituazioni s(1, att());
    QString m;
    ASSERT_TRUE(s.VerificaStrutture(m));
    EXPECT_FALSE(s.OccupaSituazione(QString(31, 'X'), "lungo"));
    EXPECT_TRUE(s.OccupaSituazione("L'ALTRA", "dell'utente"));
    // The long name does not fit the log either: that attempt leaves no row.
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].situazione, "L'ALTRA");
    EXPECT_EQ(rows[0].dettaglio, "dell'utente");
}

TEST_F(SemaforiTest, missingStructuresMakeTheTakingFailQuietly)
{
    TSemaforiSituazioni s(1, att());
    EXPECT_FALSE(s.OccupaSituazione("S", "S"));
    EXPECT_EQ(s.IdLog(), 0);
}

} // namespace
