// What the conversion does with input no definition was written for: lines
// longer than any definition can use, control characters in values that a
// message shows, and definitions saved by an editor in a Unicode encoding.

#include "ConvertTestSupport.h"

#include "convert/ConfWizard.h"
#include "convert/ConversionDefinition.h"
#include "convert/ConversionRun.h"
#include "convert/ConversionTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QStringEncoder>

using namespace vardof::convert;
using namespace vardof::test;

namespace {

class Bounds : public ::testing::Test
{
protected:
    QString source() const { return m_dir.file(QStringLiteral("listino.txt")); }
    QString definition() const { return m_dir.file(QStringLiteral("listino.conf")); }
    QString destination() const { return m_dir.file(QStringLiteral("listino.dat")); }

    ConversionResult run(const QByteArray &definitionBytes, const QByteArray &sourceBytes)
    {
        writeBytes(definition(), definitionBytes);
        writeBytes(source(), sourceBytes);
        m_options.source = source();
        m_options.destination = destination();
        return Converti(m_options, m_sink);
    }
    QByteArray output() const { return readBytes(destination()); }

    TempDir m_dir;
    ConversionOptions m_options;
    RecordingSink m_sink;
};

// ---- lines longer than the engines read ------------------------------------------

const qint64 kLimit = kLongestSourceLine;

struct LongLineCase
{
    const char *name;
    QByteArray definition;
    QByteArray source;
    bool skipFirstLine;
    QByteArray expected;        // the destination
    QStringList anomalies;
};
void PrintTo(const LongLineCase &c, std::ostream *os) { *os << c.name; }

QString tooLong(qint64 row, qint64 length)
{
    return texts::lineTooLong(row, length, kLimit);
}

const QByteArray kCsv("[CSV]\r\n1;A;1;A;\r\n2;N;2;N;\r\n");
const QByteArray kFixed("[LUNGHEZZAFISSA]\r\n1;A;1;3;A;\r\n2;N;4;2;N;\r\n");

class LongLine : public Bounds, public ::testing::WithParamInterface<LongLineCase> {};
TEST_P(LongLine, isAnAnomalyAndTheOtherLinesAreConverted)
{
    const LongLineCase &c = GetParam();
    m_options.skipFirstLine = c.skipFirstLine;
    const auto result = run(c.definition, c.source);
    EXPECT_TRUE(result.succeeded()) << result.error.toStdString();
    EXPECT_EQ(output(), c.expected);
    EXPECT_EQ(m_sink.anomalies, c.anomalies);
    EXPECT_EQ(result.anomalyCount, c.anomalies.size());
}
INSTANTIATE_TEST_SUITE_P(Cases, LongLine, ::testing::Values(
    LongLineCase{"delimitedInTheMiddle", kCsv,
                 "a;1\r\n" + QByteArray(kLimit + 1, 'x') + "\r\nb;2\r\n", false,
                 "a;1;\r\nb;2;\r\n", {tooLong(2, kLimit + 1)}},
    LongLineCase{"fixedLengthInTheMiddle", kFixed,
                 "abc12\r\n" + QByteArray(3 * kLimit, 'y') + "\nxyz34", false,
                 "abc;12;\r\nxyz;34;\r\n", {tooLong(2, 3 * kLimit)}},
    LongLineCase{"aFileWithoutLineEnds", kCsv, QByteArray(2 * kLimit + 7, ';'), false,
                 QByteArray(), {tooLong(1, 2 * kLimit + 7)}},
    LongLineCase{"endingWithCrLfOnlyTheCharactersCount", kCsv,
                 QByteArray(kLimit + 5, 'z') + "\r\n", false, QByteArray(), {tooLong(1, kLimit + 5)}},
    LongLineCase{"lastLineWithoutLineEnd", kCsv, "a;1\n" + QByteArray(kLimit + 1, 'x'), false,
                 "a;1;\r\n", {tooLong(2, kLimit + 1)}},
    LongLineCase{"aTooLongHeaderIsSkippedAsAnyHeader", kCsv,
                 QByteArray(kLimit * 2, 'h') + "\r\na;1\r\n", true, "a;1;\r\n", {}},
    LongLineCase{"twoInARowAreTwoAnomalies", kCsv,
                 QByteArray(kLimit + 1, 'x') + "\n" + QByteArray(kLimit + 2, 'x') + "\na;1\n", false,
                 "a;1;\r\n", {tooLong(1, kLimit + 1), tooLong(2, kLimit + 2)}}));

// A line of exactly the limit is an ordinary line: nothing of it is cut.
struct LimitCase
{
    const char *name;
    QByteArray lineEnd;
};
void PrintTo(const LimitCase &c, std::ostream *os) { *os << c.name; }

class LineAtTheLimit : public Bounds, public ::testing::WithParamInterface<LimitCase> {};
TEST_P(LineAtTheLimit, isConvertedWhole)
{
    const QByteArray value(kLimit - 2, 'v');
    const auto result = run("[CSV]\r\n1;A;1;A;\r\n2;N;2;N;\r\n", value + ";7" + GetParam().lineEnd + "a;1");
    EXPECT_TRUE(result.succeeded()) << result.error.toStdString();
    EXPECT_EQ(output(), value + ";7;\r\na;1;\r\n");
    EXPECT_TRUE(m_sink.anomalies.isEmpty());
}
INSTANTIATE_TEST_SUITE_P(Cases, LineAtTheLimit, ::testing::Values(
    LimitCase{"crLf", "\r\n"}, LimitCase{"lf", "\n"}));

TEST_F(Bounds, longLinesCountInTheProgressAsLines)
{
    const auto result = run(kCsv, QByteArray(kLimit + 1, 'x') + "\na;1\n");
    EXPECT_TRUE(result.succeeded());
    ASSERT_FALSE(m_sink.percents.isEmpty());
    EXPECT_EQ(m_sink.percents.last(), 100);
}

// The wizard names the source's fields from its first line: a line the
// engines would not read gives no names, and is not read whole either.
struct FirstLineCase
{
    const char *name;
    QByteArray source;
    QStringList names;
};
void PrintTo(const FirstLineCase &c, std::ostream *os) { *os << c.name; }

class WizardFirstLine : public Bounds, public ::testing::WithParamInterface<FirstLineCase> {};
TEST_P(WizardFirstLine, namesOnlyALineTheEnginesRead)
{
    writeBytes(source(), GetParam().source);
    EXPECT_EQ(sourceFieldNames(source(), true), GetParam().names);
}
INSTANTIATE_TEST_SUITE_P(Cases, WizardFirstLine, ::testing::Values(
    FirstLineCase{"atTheLimitWithCrLf", QByteArray(kLimit - 2, 'a') + ";b\r\nx;y\r\n",
                  {QString(kLimit - 2, QLatin1Char('a')), QStringLiteral("b")}},
    FirstLineCase{"atTheLimitAtTheEnd", QByteArray(kLimit - 2, 'a') + ";b", {QString(kLimit - 2, QLatin1Char('a')), QStringLiteral("b")}},
    FirstLineCase{"oneBeyondTheLimit", QByteArray(kLimit - 1, 'a') + ";b\r\nx;y\r\n", {}},
    FirstLineCase{"aFileWithoutLineEnds", QByteArray(3 * kLimit, ';'), {}}));

// ---- control characters in what a message shows ----------------------------------

struct ShownCase
{
    const char *name;
    QByteArray definition;
    QByteArray source;
    QString anomaly;
};
void PrintTo(const ShownCase &c, std::ostream *os) { *os << c.name; }

class ControlCharacters : public Bounds, public ::testing::WithParamInterface<ShownCase> {};
TEST_P(ControlCharacters, areShownEscapedInTheAnomaly)
{
    const ShownCase &c = GetParam();
    run(c.definition, c.source);
    ASSERT_EQ(m_sink.anomalies.size(), 1);
    EXPECT_EQ(m_sink.anomalies.first(), c.anomaly);
}
INSTANTIATE_TEST_SUITE_P(Cases, ControlCharacters, ::testing::Values(
    ShownCase{"nulInANumber", "[CSV]\r\n1;N;1;N;\r\n", QByteArray("1\0002\r\n", 5),
              QStringLiteral("Riga n. 1, Colonna N, Il dato: \"1\\x002\" non è numerico")},
    ShownCase{"escapeInADate", "[CSV]\r\n1;D;1;D;\r\n", "\x1b[2J\r\n",
              QStringLiteral("Riga n. 1, Colonna D, Il dato: \"\\x1B[2J\" non è una data")},
    ShownCase{"crInsideAFixedTextWithSemicolon", "[LUNGHEZZAFISSA]\r\n1;T;1;5;A;\r\n", "a\rb;c\r\n",
              texts::holdsSemicolon(1, QStringLiteral("T"), QStringLiteral("a\\x0Db;c"), QStringLiteral(":"))},
    ShownCase{"tabStaysATab", "[CSV]\r\n1;N;1;N;\r\n", "1\t2\r\n",
              QStringLiteral("Riga n. 1, Colonna N, Il dato: \"1\t2\" non è numerico")}));

TEST_F(Bounds, definitionErrorShowsTheLineWithItsControlCharacters)
{
    const auto result = run(QByteArray("[LUNGHEZZAFISSA]\r\n1;X;a\x01;2;A;\r\n"), "abc\r\n");
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.error, texts::definitionError(2, QStringLiteral("1;X;a\\x01;2;A;"),
                                                   texts::notANumber(texts::startPosition(),
                                                                     QStringLiteral("a\\x01"))));
}

// ---- definitions saved in another encoding ---------------------------------------

QByteArray encoded(QStringConverter::Encoding encoding, const QString &text)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder(text);
}

struct EncodingCase
{
    const char *name;
    QByteArray definition;
};
void PrintTo(const EncodingCase &c, std::ostream *os) { *os << c.name; }

// The byte-order mark tells the encoding; the text is the one the user wrote.
class MarkedDefinition : public Bounds, public ::testing::WithParamInterface<EncodingCase> {};
TEST_P(MarkedDefinition, isReadInItsEncoding)
{
    const auto result = run(GetParam().definition, "abc12\r\n");
    EXPECT_TRUE(result.succeeded()) << result.error.toStdString();
    EXPECT_EQ(output(), vardof::core::toCp1252(QStringLiteral("città;abc;12;\r\n")));
}
const QString kFixedText = QStringLiteral("[LUNGHEZZAFISSA]\r\n1;K;Costante;'città';A;\r\n2;A;1;3;A;\r\n3;N;4;2;N;\r\n");
INSTANTIATE_TEST_SUITE_P(Cases, MarkedDefinition, ::testing::Values(
    EncodingCase{"utf16LittleEndian", encoded(QStringConverter::Utf16LE, kFixedText)},
    EncodingCase{"utf16BigEndian", encoded(QStringConverter::Utf16BE, kFixedText)},
    EncodingCase{"utf8WithMark", encoded(QStringConverter::Utf8, kFixedText)}));

struct RefusedEncodingCase
{
    const char *name;
    QByteArray definition;
    QString error; // %1: the definition's path
};
void PrintTo(const RefusedEncodingCase &c, std::ostream *os) { *os << c.name; }

// Refused with the reason, whole: never a message that stops at a NUL.
class UnusableDefinition : public Bounds, public ::testing::WithParamInterface<RefusedEncodingCase> {};
TEST_P(UnusableDefinition, stopsTheRunWithTheReason)
{
    writeBytes(destination(), "vecchia\r\n");
    const auto result = run(GetParam().definition, "abc12\r\n");
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.error, GetParam().error.arg(definition()));
    EXPECT_FALSE(result.error.contains(QChar(0)));
    EXPECT_EQ(output(), "vecchia\r\n");
}
INSTANTIATE_TEST_SUITE_P(Cases, UnusableDefinition, ::testing::Values(
    RefusedEncodingCase{"utf16WithoutMark",
                        encoded(QStringConverter::Utf16LE, kFixedText).mid(2),
                        texts::definitionNotText(QStringLiteral("%1"))},
    RefusedEncodingCase{"binaryFile", QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10),
                        texts::definitionNotText(QStringLiteral("%1"))},
    RefusedEncodingCase{"utf16WithCharactersOutsideTheCodePage",
                        encoded(QStringConverter::Utf16LE, QStringLiteral("[CSV]\r\n1;K;'Ω';A;\r\n")),
                        texts::definitionNotCp1252(QStringLiteral("%1"), QStringLiteral("UTF-16"))},
    RefusedEncodingCase{"utf16HoldingANul",
                        encoded(QStringConverter::Utf16LE, QStringLiteral("[CSV]\r\n1;K;'a") + QChar(0) + QStringLiteral("';A;\r\n")),
                        texts::definitionNotCp1252(QStringLiteral("%1"), QStringLiteral("UTF-16"))},
    RefusedEncodingCase{"utf8MarkWithBrokenSequence", QByteArray("\xEF\xBB\xBF[CSV]\r\n1;K;'\xC3';A;\r\n"),
                        texts::definitionNotCp1252(QStringLiteral("%1"), QStringLiteral("UTF-8"))}));

// The definition reader gives the same answer to the engines and to the
// choice of engine: a Unicode definition of a fixed-length file is one.
TEST_F(Bounds, modeOfAUtf16DefinitionIsRead)
{
    writeBytes(definition(), encoded(QStringConverter::Utf16LE, kFixedText));
    QString error;
    const auto parsed = readDefinitionFile(definition(), &error);
    ASSERT_TRUE(parsed.has_value()) << error.toStdString();
    EXPECT_EQ(parsed->mode, ConversionMode::FixedLength);
    ASSERT_EQ(parsed->lines.size(), 3u);
    EXPECT_EQ(parsed->lines[1].value(2), "1");
}

} // namespace
