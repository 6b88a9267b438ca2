#include "platform/OutputFile.h"

#include "FileSizeLimit.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vardof::platform;
using vardof::test::FileSizeLimit;

namespace {

class OutputFileTest : public testing::Test
{
protected:
    QString target() const { return m_dir.filePath(QStringLiteral("uscita.txt")); }
    void put(const QString &path, const QByteArray &bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<assente>");
    }
    // Nothing but what the test put there: no temporary file left behind.
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

TEST_F(OutputFileTest, committedBytesReplaceTheTargetExactly)
{
    put(target(), "contenuto precedente, più lungo del nuovo\r\n");
    OutputFile file(target());
    ASSERT_TRUE(file.open());
    EXPECT_TRUE(file.write(QByteArray("riga 1\r\n")));
    EXPECT_TRUE(file.write(std::string_view("riga 2 senza fine")));
    // Until the commit the target holds what it held.
    EXPECT_EQ(bytes(target()), "contenuto precedente, più lungo del nuovo\r\n");
    ASSERT_TRUE(file.commit()) << file.errorString().toStdString();
    EXPECT_TRUE(file.committed());
    EXPECT_EQ(bytes(target()), "riga 1\r\nriga 2 senza fine");
    EXPECT_EQ(file.bytesWritten(), 25);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("uscita.txt")});
}

TEST_F(OutputFileTest, newTargetAppearsOnlyAtCommit)
{
    OutputFile file(target());
    ASSERT_TRUE(file.open());
    file.write(QByteArray("x"));
    EXPECT_FALSE(QFileInfo::exists(target()));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(bytes(target()), "x");
}

TEST_F(OutputFileTest, emptyContentGivesAnEmptyFile)
{
    put(target(), "vecchio");
    ASSERT_TRUE(OutputFile::writeAll(target(), QByteArray()));
    EXPECT_EQ(bytes(target()), QByteArray());
}

// However the writes are cut against the buffer, the bytes arrive in order.
class OutputFileBuffer : public OutputFileTest, public testing::WithParamInterface<int> {};
TEST_P(OutputFileBuffer, keepsTheOrderOfEveryByte)
{
    QByteArray expected;
    OutputFile file(target(), GetParam());
    ASSERT_TRUE(file.open());
    for (int i = 0; i < 300; ++i) {
        const QByteArray piece = QByteArray(i % 37, char('a' + i % 26)) + QByteArray::number(i);
        expected += piece;
        ASSERT_TRUE(file.write(piece));
    }
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(bytes(target()), expected);
}
INSTANTIATE_TEST_SUITE_P(Sizes, OutputFileBuffer, testing::Values(1, 7, 64, 1 << 16));

TEST_F(OutputFileTest, abandonedFileLeavesTheTargetAndNoTemporary)
{
    put(target(), "vecchio");
    {
        OutputFile file(target());
        ASSERT_TRUE(file.open());
        file.write(QByteArray(200000, 'n'));
        // Destroyed without commit.
    }
    EXPECT_EQ(bytes(target()), "vecchio");
    EXPECT_EQ(entries(), QStringList{QStringLiteral("uscita.txt")});

    OutputFile file(target());
    ASSERT_TRUE(file.open());
    file.write(QByteArray(200000, 'n'));
    file.abort();
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(bytes(target()), "vecchio");
    EXPECT_EQ(entries(), QStringList{QStringLiteral("uscita.txt")});
}

TEST_F(OutputFileTest, textIsWrittenInTheWindowsCodePage)
{
    OutputFile file(target());
    ASSERT_TRUE(file.open());
    file.writeText(QStringLiteral("Caffè €\r\n"));
    EXPECT_FALSE(file.hadUnencodable());
    file.writeText(QStringLiteral("Ω"));
    EXPECT_TRUE(file.hadUnencodable());
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(bytes(target()), "Caff\xe8 \x80\r\n?");
}

TEST_F(OutputFileTest, targetsThatCannotBeWrittenFailAtOpenWithTheReason)
{
    OutputFile missingFolder(m_dir.filePath(QStringLiteral("manca/uscita.txt")));
    EXPECT_FALSE(missingFolder.open());
    EXPECT_TRUE(missingFolder.failed());
    EXPECT_FALSE(missingFolder.errorString().isEmpty());
    EXPECT_FALSE(missingFolder.write(QByteArray("x")));
    EXPECT_FALSE(missingFolder.commit());
    EXPECT_EQ(missingFolder.errorMessage(),
              QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                  .arg(m_dir.filePath(QStringLiteral("manca/uscita.txt")), missingFolder.errorString()));

    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("cartella")));
    OutputFile folder(m_dir.filePath(QStringLiteral("cartella")));
    EXPECT_FALSE(folder.open());
    EXPECT_FALSE(folder.errorString().isEmpty());
    EXPECT_TRUE(QFileInfo(m_dir.filePath(QStringLiteral("cartella"))).isDir());
}

TEST_F(OutputFileTest, windowsSeparatorsReachTheSameFile)
{
#ifndef Q_OS_WIN
    const QString path = m_dir.path() + QStringLiteral("\\uscita.txt");
    ASSERT_TRUE(OutputFile::writeAll(path, "x"));
    EXPECT_EQ(bytes(target()), "x");
#endif
}

// A write the system refuses half way (the disk is full): the target keeps
// what it held, no temporary file stays, and the reason is the system's.
struct RefusedCase
{
    const char *name;
    bool targetExisted;
    int bufferSize;   // small: the failure comes from write(); large: from commit()
    int writeSize;
};
void PrintTo(const RefusedCase &c, std::ostream *os) { *os << c.name; }

class OutputFileRefused : public OutputFileTest, public testing::WithParamInterface<RefusedCase> {};
TEST_P(OutputFileRefused, keepsTheTargetAndGivesTheSystemsReason)
{
    const RefusedCase &c = GetParam();
    if (c.targetExisted)
        put(target(), "vecchio contenuto\r\n");
    const QStringList before = entries();

    bool writeOk = true;
    bool commitOk = true;
    QString reason;
    {
        FileSizeLimit limit(64 * 1024);
        if (!limit.active())
            GTEST_SKIP() << "no file size limit on this system";
        OutputFile file(target(), c.bufferSize);
        ASSERT_TRUE(file.open());
        for (int i = 0; i < 200 && writeOk; ++i)
            writeOk = file.write(QByteArray(c.writeSize, 'x'));
        commitOk = file.commit();
        EXPECT_TRUE(file.failed());
        reason = file.errorString();
        EXPECT_EQ(file.errorMessage(),
                  QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(target(), FileSizeLimit::reason()));
        // Once failed, nothing more goes through.
        EXPECT_FALSE(file.write(QByteArray("y")));
    }
    EXPECT_FALSE(commitOk);
    EXPECT_EQ(writeOk, c.bufferSize > 200 * c.writeSize);
    EXPECT_EQ(reason, FileSizeLimit::reason());
    EXPECT_EQ(bytes(target()), c.targetExisted ? QByteArray("vecchio contenuto\r\n") : QByteArray("<assente>"));
    EXPECT_EQ(entries(), before);
}
INSTANTIATE_TEST_SUITE_P(Cases, OutputFileRefused, testing::Values(
    RefusedCase{"existingTargetFailingWrite", true, 4096, 1000},
    RefusedCase{"newTargetFailingWrite", false, 4096, 1000},
    RefusedCase{"existingTargetFailingCommit", true, 1 << 20, 1000},
    RefusedCase{"oneLargeWrite", true, 16, 100000}));

TEST_F(OutputFileTest, fileWithinTheLimitIsWrittenWhole)
{
    FileSizeLimit limit(64 * 1024);
    if (!limit.active())
        GTEST_SKIP() << "no file size limit on this system";
    EXPECT_TRUE(OutputFile::writeAll(target(), QByteArray(64 * 1024, 'x')));
    EXPECT_EQ(bytes(target()).size(), 64 * 1024);
}

TEST_F(OutputFileTest, writeAllReportsTheReason)
{
    QString reason;
    EXPECT_FALSE(OutputFile::writeAll(m_dir.filePath(QStringLiteral("manca/x.txt")), "x", &reason));
    EXPECT_FALSE(reason.isEmpty());
}

} // namespace
