#include "platform/HostPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace vardof::platform;

namespace {

struct SplitCase
{
    const char *path;
    const char *dir;
    const char *file;
};

void PrintTo(const SplitCase &c, std::ostream *os)
{
    *os << '"' << c.path << '"';
}

class SplitDirFileTest : public testing::TestWithParam<SplitCase>
{};

TEST_P(SplitDirFileTest, SplitsAtTheLastSeparator)
{
    const SplitCase &c = GetParam();
    const DirFile parts = splitDirFile(QString::fromUtf8(c.path));
    EXPECT_EQ(parts.dir, QString::fromUtf8(c.dir));
    EXPECT_EQ(parts.file, QString::fromUtf8(c.file));
    EXPECT_EQ(extractFilePath(QString::fromUtf8(c.path)) + extractFileName(QString::fromUtf8(c.path)),
              QString::fromUtf8(c.path));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitDirFileTest,
    testing::Values(SplitCase{"C:\\dati\\archivio.fdb", "C:\\dati\\", "archivio.fdb"},
                    SplitCase{"/home/u/archivio.fdb", "/home/u/", "archivio.fdb"},
                    SplitCase{"C:archivio.fdb", "C:", "archivio.fdb"},
                    SplitCase{"archivio.fdb", "", "archivio.fdb"},
                    SplitCase{"C:\\dati\\", "C:\\dati\\", ""},
                    SplitCase{"a/b\\c.txt", "a/b\\", "c.txt"},
                    SplitCase{"a\\b/c.txt", "a\\b/", "c.txt"},
                    SplitCase{"server:/dati/db.fdb", "server:/dati/", "db.fdb"},
                    SplitCase{"", "", ""}));

struct SeparatorCase
{
    const char *path;
    const char *expected;
};

void PrintTo(const SeparatorCase &c, std::ostream *os)
{
    *os << '"' << c.path << '"';
}

class EnsureTrailingSeparatorTest : public testing::TestWithParam<SeparatorCase>
{};

TEST_P(EnsureTrailingSeparatorTest, AddsTheKindThePathUses)
{
    EXPECT_EQ(ensureTrailingSeparator(QString::fromUtf8(GetParam().path)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnsureTrailingSeparatorTest,
    testing::Values(SeparatorCase{"C:\\dati", "C:\\dati\\"},
                    SeparatorCase{"C:\\dati\\", "C:\\dati\\"},
                    SeparatorCase{"/home/u", "/home/u/"},
                    SeparatorCase{"/home/u/", "/home/u/"},
                    SeparatorCase{"C:\\dati/sub", "C:\\dati/sub/"},
                    SeparatorCase{"", ""}));

TEST(EnsureTrailingSeparator, BareNameGetsTheNativeSeparator)
{
    EXPECT_EQ(ensureTrailingSeparator(QStringLiteral("dati")),
              QStringLiteral("dati") + QDir::separator());
}

#ifndef Q_OS_WIN
TEST(ToNativeLocal, BackslashesOpenLocalFiles)
{
    EXPECT_EQ(toNativeLocal(QStringLiteral("dati\\sub/a.txt")), QStringLiteral("dati/sub/a.txt"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    QFile f(dir.path() + QStringLiteral("/sub/a.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString stored = dir.path() + QStringLiteral("\\sub\\a.txt");
    EXPECT_TRUE(QFileInfo::exists(toNativeLocal(stored)));
}
#endif

// Restores the overrides and environment the tests below change.
class HostPathsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hostEnv = qgetenv("VARDOF_HOST_DIR");
        m_windowsEnv = qgetenv("VARDOF_WINDOWS_DIR");
        qunsetenv("VARDOF_HOST_DIR");
        qunsetenv("VARDOF_WINDOWS_DIR");
    }
    void TearDown() override
    {
        setHostDir({});
        setWindowsDir({});
        restore("VARDOF_HOST_DIR", m_hostEnv);
        restore("VARDOF_WINDOWS_DIR", m_windowsEnv);
    }
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray m_hostEnv;
    QByteArray m_windowsEnv;
    QTemporaryDir m_temp;
};

TEST_F(HostPathsTest, HostDirIsTheExecutableFolderByDefault)
{
    const QString dir = hostDir();
    EXPECT_TRUE(dir.endsWith(QDir::separator()));
    // This test binary is the host here.
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("test_platform"))
                || QFileInfo::exists(dir + QStringLiteral("test_platform.exe")))
        << dir.toStdString();
}

TEST_F(HostPathsTest, EnvironmentThenOverrideTakePrecedence)
{
    qputenv("VARDOF_HOST_DIR", QFile::encodeName(m_temp.path() + QStringLiteral("/lanciatore")));
    EXPECT_EQ(hostDir(), QDir::toNativeSeparators(m_temp.path() + QStringLiteral("/lanciatore/")));
    setHostDir(m_temp.path() + QStringLiteral("/scelta"));
    EXPECT_EQ(hostDir(), QDir::toNativeSeparators(m_temp.path() + QStringLiteral("/scelta/")));
    setHostDir({});
    EXPECT_EQ(hostDir(), QDir::toNativeSeparators(m_temp.path() + QStringLiteral("/lanciatore/")));
}

TEST_F(HostPathsTest, WindowsDirOverrideIsCreated)
{
    const QString wanted = m_temp.path() + QStringLiteral("/a/windows");
    setWindowsDir(wanted);
    const QString dir = windowsDir();
    EXPECT_EQ(dir, QDir::toNativeSeparators(wanted + u'/'));
    EXPECT_TRUE(QFileInfo(dir).isDir());
}

#ifndef Q_OS_WIN
TEST_F(HostPathsTest, WindowsDirComesFromTheEnvironmentOutsideWindows)
{
    const QString wanted = m_temp.path() + QStringLiteral("/dall_ambiente");
    qputenv("VARDOF_WINDOWS_DIR", QFile::encodeName(wanted));
    EXPECT_EQ(windowsDir(), wanted + u'/');
    EXPECT_TRUE(QFileInfo(wanted).isDir());
}

TEST_F(HostPathsTest, WindowsDirFallsBackUnderTheHomeFolder)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_temp.path()));
    const QString dir = windowsDir();
    qputenv("HOME", home);
    EXPECT_EQ(dir, m_temp.path() + QStringLiteral("/.local/share/vardof/windows/"));
    EXPECT_TRUE(QFileInfo(dir).isDir());
}
#endif

} // namespace
