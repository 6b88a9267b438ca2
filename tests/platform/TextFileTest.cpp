#include "platform/TextFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace vardof::platform;

namespace {

class TextFileTest : public testing::Test
{
protected:
    QString path() const { return m_dir.path() + QStringLiteral("/testo.txt"); }
    void put(const QByteArray &bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

struct LinesCase
{
    const char *name;
    QByteArray bytes;
    QStringList lines;
};

void PrintTo(const LinesCase &c, std::ostream *os)
{
    *os << c.name;
}

// Each case is read whole and through the streaming reader with chunk sizes
// that put chunk boundaries everywhere, CR LF pairs included.
class TextLinesTest : public TextFileTest,
                      public testing::WithParamInterface<std::tuple<LinesCase, int>>
{};

TEST_P(TextLinesTest, SplitsLikeTheFileWasWritten)
{
    const auto &[c, chunk] = GetParam();
    put(c.bytes);

    TextLineReader reader(chunk);
    ASSERT_TRUE(reader.open(path()));
    QStringList got;
    QString line;
    while (reader.readLine(line))
        got << line;
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(got, c.lines);
    EXPECT_EQ(reader.lineNumber(), c.lines.size());
    EXPECT_EQ(reader.position(), c.bytes.size());
    EXPECT_FALSE(reader.readLine(line)) << "keeps reporting the end";

    EXPECT_EQ(readTextLines(path()), c.lines);
}

const QList<LinesCase> kLineCases{
    {"empty", "", {}},
    {"one_line_no_terminator", "abc", {"abc"}},
    {"lf", "a\nb\n", {"a", "b"}},
    {"crlf", "a\r\nb\r\n", {"a", "b"}},
    {"crlf_no_final_terminator", "a\r\nbcd", {"a", "bcd"}},
    {"blank_lines_kept", "a\n\nb\r\n\r\n", {"a", "", "b", ""}},
    {"only_terminator", "\r\n", {""}},
    {"mixed_endings", "uno\r\ndue\ntre\r\n", {"uno", "due", "tre"}},
    {"lone_cr_inside_is_text", "a\rb\n", {"a\rb"}},
    {"final_cr_without_lf", "a\r\nb\r", {"a", "b"}},
    {"long_line", QByteArray(300, 'x') + "\r\ny", {QString(300, u'x'), "y"}},
    {"cp1252", "perch\xE9 \x80\r\n\x93x\x94", {QString::fromUtf16(u"perché €"),
                                                QString::fromUtf16(u"“x”")}},
};

INSTANTIATE_TEST_SUITE_P(Cases, TextLinesTest,
                         testing::Combine(testing::ValuesIn(kLineCases),
                                          testing::Values(1, 2, 3, 7, 1 << 20)));

TEST_F(TextFileTest, MissingFileIsAnError)
{
    QString error;
    EXPECT_EQ(readTextLines(m_dir.path() + QStringLiteral("/manca.txt"), &error), std::nullopt);
    EXPECT_FALSE(error.isEmpty());
    TextLineReader reader;
    EXPECT_FALSE(reader.open(m_dir.path() + QStringLiteral("/manca.txt")));
    QString line;
    EXPECT_FALSE(reader.readLine(line));
}

TEST_F(TextFileTest, RawLinesAreTheUndecodedBytes)
{
    put("a\xE8\r\nb");
    TextLineReader reader(2);
    ASSERT_TRUE(reader.open(path()));
    QByteArray raw;
    ASSERT_TRUE(reader.readRawLine(raw));
    EXPECT_EQ(raw, QByteArray("a\xE8"));
    QString line;
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, QStringLiteral("b"));
    EXPECT_FALSE(reader.readRawLine(raw));
}

TEST_F(TextFileTest, WriterWritesCp1252WithCrLf)
{
    TextLineWriter writer;
    ASSERT_TRUE(writer.open(path()));
    EXPECT_TRUE(writer.writeLine(QString::fromUtf16(u"città €")));
    EXPECT_TRUE(writer.write(QStringLiteral("a;")));
    EXPECT_TRUE(writer.write(QStringLiteral("b")));
    EXPECT_TRUE(writer.writeLine(QString()));
    EXPECT_TRUE(writer.writeLine(QString()));
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(bytes(), QByteArray("citt\xE0 \x80\r\na;b\r\n\r\n"));
    EXPECT_EQ(writer.linesWritten(), 3);
    EXPECT_EQ(writer.unencodableLines(), 0);
}

TEST_F(TextFileTest, WriterReportsLinesWithUnencodableCharacters)
{
    TextLineWriter writer(4); // flushes often: reports must not depend on it
    QList<QPair<qint64, QString>> reported;
    writer.setUnencodableHandler(
        [&](qint64 n, const QString &line) { reported.append({n, line}); });
    ASSERT_TRUE(writer.open(path()));
    writer.writeLine(QStringLiteral("ok"));
    writer.write(QString::fromUtf16(u"Ω"));
    writer.writeLine(QStringLiteral("-mega"));
    writer.writeLine(QString::fromUtf16(u"già"));
    writer.writeLine(QString::fromUtf16(u"中文"));
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(bytes(), QByteArray("ok\r\n?-mega\r\ngi\xE0\r\n??\r\n"));
    EXPECT_EQ(writer.unencodableLines(), 2);
    const QList<QPair<qint64, QString>> expected{{2, QString::fromUtf16(u"Ω-mega")},
                                                 {4, QString::fromUtf16(u"中文")}};
    EXPECT_EQ(reported, expected);
}

TEST_F(TextFileTest, AppendModeKeepsWhatIsThere)
{
    put("prima\r\n");
    TextLineWriter writer;
    ASSERT_TRUE(writer.open(path(), TextLineWriter::Append));
    writer.writeLine(QStringLiteral("dopo"));
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(bytes(), QByteArray("prima\r\ndopo\r\n"));

    ASSERT_TRUE(writer.open(path()));
    writer.writeLine(QStringLiteral("nuovo"));
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(bytes(), QByteArray("nuovo\r\n"));
}

TEST_F(TextFileTest, WriterFailsWithoutAFile)
{
    TextLineWriter writer;
    EXPECT_FALSE(writer.open(m_dir.path() + QStringLiteral("/manca/x.txt")));
    EXPECT_FALSE(writer.writeLine(QStringLiteral("x")));
}

TEST_F(TextFileTest, WriteTextLinesReportsLoss)
{
    bool lossy = true;
    ASSERT_TRUE(writeTextLines(path(), {QStringLiteral("a"), QStringLiteral("b")}, &lossy));
    EXPECT_FALSE(lossy);
    EXPECT_EQ(bytes(), QByteArray("a\r\nb\r\n"));
    ASSERT_TRUE(writeTextLines(path(), {QString::fromUtf16(u"Ω")}, &lossy));
    EXPECT_TRUE(lossy);
}

// An import file of about 100 MB: written and read back through the buffered
// classes. The time limit is far above what a chunked reader needs and far
// below what reading a byte or a line at a time from the file would take.
TEST_F(TextFileTest, HundredMegabytesWriteAndReadBack)
{
    constexpr qint64 kLines = 1'200'000;
    const QString tail = QString::fromUtf16(u";città;1.234,50;") + QString(60, u'x');
    QElapsedTimer clock;
    clock.start();
    {
        TextLineWriter writer;
        ASSERT_TRUE(writer.open(path()));
        for (qint64 i = 0; i < kLines; ++i)
            writer.writeLine(QString::number(i) + tail);
        ASSERT_TRUE(writer.close());
    }
    const qint64 size = QFileInfo(path()).size();
    EXPECT_GT(size, 95'000'000);

    TextLineReader reader;
    ASSERT_TRUE(reader.open(path()));
    EXPECT_EQ(reader.size(), size);
    QString line;
    qint64 count = 0;
    bool allMatch = true;
    while (reader.readLine(line)) {
        if (count % 100'000 == 0 || count == kLines - 1)
            allMatch = allMatch && line == QString::number(count) + tail;
        ++count;
    }
    EXPECT_EQ(count, kLines);
    EXPECT_TRUE(allMatch);
    EXPECT_EQ(reader.position(), size);
    EXPECT_LT(clock.elapsed(), 30'000);
}

} // namespace
