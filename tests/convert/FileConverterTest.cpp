#include "ConvertTestSupport.h"

#include "convert/ConversionRun.h"
#include "convert/ConversionTexts.h"
#include "support/TempDir.h"
#include "../platform/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace vardof::convert;
using namespace vardof::test;

namespace {

class Conversion : public ::testing::Test
{
protected:
    QString source() const { return m_dir.file(QStringLiteral("listino.txt")); }
    QString definition() const { return m_dir.file(QStringLiteral("listino.conf")); }
    QString destination() const { return m_dir.file(QStringLiteral("listino.dat")); }
    QString anomaliesFile() const { return m_dir.file(QStringLiteral("Anomalie.txt")); }

    ConversionResult convert(const QList<QByteArray> &definitionLines, const QByteArray &sourceBytes)
    {
        writeBytes(definition(), crlf(definitionLines));
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

// ---- the two examples of the help window ---------------------------------------

TEST_F(Conversion, helpFixedLengthExample)
{
    const QByteArray line1 = "ART001        Vite M6x20      12,50extra";
    const QByteArray line2 = "ART002        Dado M6         12.50";
    const auto result = convert({"[LUNGHEZZAFISSA]", "1;CODICE;1;14;A;", "2;CODICEFORN;Costante;'2061';A;",
                                 "3;PRIMADES;15;13;A;", "4;SECONDADES;0;0;A;", "5;PRLISINVAL;28;8;N;",
                                 "6;CODICEVAL;0;0;N;"},
                                line1 + "\r\n" + line2 + "\r\n");
    EXPECT_TRUE(result.completed) << result.error.toStdString();
    EXPECT_EQ(output(), crlf({"ART001;2061;Vite M6x20;;12,50;0;", "ART002;2061;Dado M6;;0;0;"}));
    EXPECT_EQ(result.anomalyCount, m_sink.anomalies.size());
    EXPECT_EQ(m_sink.anomalies,
              QStringList{QStringLiteral("Riga n. 2, Colonna PRLISINVAL, Il dato: \"12.50\" non è numerico")});
}

TEST_F(Conversion, helpDelimitedExample)
{
    const auto result = convert({"[CSV]", "1;CODICE;2[NOBLANKINI];A;", "2;CODICEFORN;'2061';A;",
                                 "3;CODICEART2;0;A;", "4;PRIMADESCRIZIONE;4(1,25);A;",
                                 "5;SECONDADESCRIZIONE;4(26,25);A;", "6;PREZZOLISTINOINVALUTA;1;N;",
                                 "13;NOTE;7(10,50)PPI;A;", "20;CAMPI_CONCATENATI;1+' '+2;A;"},
                                "12,50;  AB123 ;x;Vite autofilettante inox A2 testa svasata piana;;;Vedi catalogo 2024;\r\n"
                                "1.234;X\n");
    EXPECT_TRUE(result.completed) << result.error.toStdString();
    EXPECT_EQ(output(), crlf({"AB123;2061;;Vite autofilettante inox;A2 testa svasata piana;12,50; catalogo 2024;12,50   AB123;",
                              "X;2061;;;;0;;1.234 X;"}));
    EXPECT_EQ(result.anomalyCount, m_sink.anomalies.size());
    EXPECT_EQ(m_sink.anomalies,
              QStringList{QStringLiteral("Riga n. 2, Colonna PREZZOLISTINOINVALUTA, Il dato: \"1.234\" non è numerico")});
}

// ---- one definition applied to one source line -------------------------------

struct FieldCase
{
    const char *definitionLine;
    const char *sourceLine;
    const char *expected;
};

class DelimitedField : public Conversion, public ::testing::WithParamInterface<FieldCase> {};
TEST_P(DelimitedField, writesTheValueTheDefinitionAsksFor)
{
    const auto result = convert({"[CSV]", GetParam().definitionLine}, QByteArray(GetParam().sourceLine) + "\r\n");
    ASSERT_TRUE(result.completed) << result.error.toStdString();
    EXPECT_EQ(output(), crlf({GetParam().expected}));
}
INSTANTIATE_TEST_SUITE_P(Cases, DelimitedField, ::testing::Values(
    // keep the first word whole: back to the blank before the word
    FieldCase{"1;F;1(6,3)PPI;A;", "ABC DEFGH", " DE;"},
    FieldCase{"1;F;1[NOBLANKINI](6,3)PPI;A;", "ABC DEFGH", "DE;"},
    FieldCase{"1;F;1(6,3)PPI[NOBLANKINI];A;", "ABC DEFGH", "DE;"},
    FieldCase{"1;F;1(2,2)PPI;A;", "ABC DEF", "AB;"},
    FieldCase{"1;F;1(5,3)PPI;A;", "ABC DEFGH", "DEF;"},
    // keep the last word whole: the cut word goes, the blank before it is trimmed
    FieldCase{"1;F;1(1,8)UPI;A;", "HELLO WORLD FOO", "HELLO;"},
    FieldCase{"1;F;1(1,11)UPI;A;", "HELLO WORLD FOO", "HELLO WORLD;"},
    FieldCase{"1;F;1(1,40)UPI;A;", "HELLO WORLD FOO", "HELLO WORLD FOO;"},
    FieldCase{"1;F;1(1,3)UPI;A;", "ABCDEFGH", "A;"},
    // plain ranges
    FieldCase{"1;F;1(1,25);A;", "ABC DEFGH", "ABC DEFGH;"},
    FieldCase{"1;F;1(3,3);A;", "ABC", "C;"},
    FieldCase{"1;F;1(5,3);A;", "ABC", ";"},
    FieldCase{"1;F;1(x,3);A;", "ABC DEFGH", "ABC;"},
    FieldCase{"1;F;2(2,3);A;", "A;BCDEF", "CDE;"},
    // a range applies to text only: numbers and dates take the whole field
    FieldCase{"1;F;1(1,2);N;", "1234", "1234;"},
    // blanks: trailing always go, leading only with the tag
    FieldCase{"1;F;1;A;", "  ABC  ", "  ABC;"},
    FieldCase{"1;F;1[NOBLANKINI];A;", "  ABC  ", "ABC;"},
    // concatenation stops at the first empty term
    FieldCase{"1;F;1+'-'+2;A;", "A;B", "A-B;"},
    FieldCase{"1;F;2+1+;A;", "A;B", "BA;"},
    FieldCase{"1;F;1+' '+2;A;", ";B", " B;"},
    FieldCase{"1;F;'CO''ST';A;", "A", "COST;"},
    FieldCase{"1;F;'2061';N;", "A", "2061;"},
    // empty fields by type
    FieldCase{"1;F;0;A;", "A", ";"},
    FieldCase{"1;F;0;N;", "A", "0;"},
    FieldCase{"1;F;0;D;", "A", ";"},
    // numbers and dates: blanks out, then checked, written as they were
    FieldCase{"1;F;1;N;", "1 234,50", "1234,50;"},
    FieldCase{"1;F;1;N;", "12.50", "0;"},
    FieldCase{"1;F;1;D;", " 25/03/2024 ", "25/03/2024;"},
    FieldCase{"1;F;1;D;", "31/02/2024", ";"},
    // without its final ";" the type is lost: the value goes through untouched
    FieldCase{"5;X;1;N", " 12.5 ", " 12.5 ;"},
    // a field the line lacks but the definitions cover reads empty
    FieldCase{"1;F;1;A;", "", ";"},
    // bytes of the code page pass through unchanged
    FieldCase{"1;F;1;A;", "Caff\xe8 \x80 5", "Caff\xe8 \x80 5;"}));

class FixedField : public Conversion, public ::testing::WithParamInterface<FieldCase> {};
TEST_P(FixedField, writesTheValueTheDefinitionAsksFor)
{
    const auto result = convert({"[LUNGHEZZAFISSA]", GetParam().definitionLine},
                                QByteArray(GetParam().sourceLine) + "\r\n");
    ASSERT_TRUE(result.completed) << result.error.toStdString();
    EXPECT_EQ(output(), crlf({GetParam().expected}));
}
INSTANTIATE_TEST_SUITE_P(Cases, FixedField, ::testing::Values(
    FieldCase{"1;F;3;4;A;", "AB  CD  EF", "  CD;"},
    FieldCase{"1;F;3;40;A;", "AB  CD  EF  ", "  CD  EF;"},
    FieldCase{"1;F;30;4;A;", "AB", ";"},
    FieldCase{"1;F;30;4;N;", "AB", "0;"},
    FieldCase{"1;F;1;8;N;", "1 234,50", "1234,50;"},
    FieldCase{"1;F;1;8;N;", "   12.50", "0;"},
    FieldCase{"1;F;1;10;D;", "01/02/2024", "01/02/2024;"},
    FieldCase{"1;F;COSTANTE;'X';A;", "AB", "X;"},
    FieldCase{"1;F;costante;'X';N;", "AB", "X;"},
    FieldCase{"1;F;0;0;N;", "AB", "0;"},
    FieldCase{"1;F;0;0;D;", "AB", ";"},
    // a type other than A, N and D still fills its place in the line
    FieldCase{"1;F;0;0;X;", "AB", ";"},
    FieldCase{"1;F;1;2;X;", "AB", "AB;"},
    FieldCase{"5;X;1;3;N", " 1.", " 1.;"}));

// ---- anomalies, options and the anomalies file -----------------------------------

TEST_F(Conversion, semicolonInsideAFixedTextFieldIsReplacedAndReported)
{
    const auto result = convert({"[LUNGHEZZAFISSA]", "1;DESCR;1;10;A;", "2;PREZZO;11;5;N;"},
                                "ab;cd;e   12,5\r\n");
    EXPECT_EQ(output(), crlf({"ab:cd:e;12,5;"}));
    const QString expected = QStringLiteral("Riga n. 1, Colonna DESCR, Il dato: \"ab;cd;e\" contiente il "
                                            "carattere \";\". Verrà sostituito con \":\"");
    EXPECT_EQ(m_sink.anomalies, QStringList{expected});
    EXPECT_EQ(result.anomaliesFile, anomaliesFile());
    EXPECT_EQ(readBytes(anomaliesFile()), vardof::core::toCp1252(expected) + "\r\n");
}

struct ReplacementCase
{
    const char *replacement;
    const char *written;
    const char *named;
};
class Replacement : public Conversion, public ::testing::WithParamInterface<ReplacementCase> {};
TEST_P(Replacement, neverLetsASemicolonThrough)
{
    m_options.replacement = QString::fromUtf8(GetParam().replacement);
    convert({"[LUNGHEZZAFISSA]", "1;D;1;5;A;"}, "a;b;c\r\n");
    EXPECT_EQ(output(), crlf({GetParam().written}));
    ASSERT_EQ(m_sink.anomalies.size(), 1);
    EXPECT_TRUE(m_sink.anomalies[0].endsWith(QStringLiteral("Verrà sostituito con \"%1\"").arg(QString::fromUtf8(GetParam().named))));
}
INSTANTIATE_TEST_SUITE_P(Cases, Replacement, ::testing::Values(
    ReplacementCase{":", "a:b:c;", ":"},
    ReplacementCase{"", "abc;", ""},
    ReplacementCase{" - ", "a - b - c;", " - "},
    ReplacementCase{";", "abc;", ""},
    ReplacementCase{"/;", "a/b/c;", "/"}));

TEST_F(Conversion, skippedFirstLineIsNotCountedInAnomalies)
{
    m_options.skipFirstLine = true;
    const auto result = convert({"[CSV]", "1;PREZZO;1;N;"}, "PREZZO;\r\n1,5\r\nabc\r\n");
    EXPECT_EQ(output(), crlf({"1,5;", "0;"}));
    EXPECT_EQ(result.anomalyCount, m_sink.anomalies.size());
    EXPECT_EQ(m_sink.anomalies,
              QStringList{QStringLiteral("Riga n. 2, Colonna PREZZO, Il dato: \"abc\" non è numerico")});
}

TEST_F(Conversion, headerLineNamesEveryField)
{
    m_options.header = true;
    convert({"[CSV]", "1;CODICE;1;A;", "2;FORN;'X';A;", "3;VUOTO;0;N;"}, "A1\r\n");
    EXPECT_EQ(output(), crlf({"CODICE;FORN;VUOTO;", "A1;X;0;"}));
}

TEST_F(Conversion, withoutAnomaliesNoAnomaliesFileIsWritten)
{
    writeBytes(anomaliesFile(), "old");
    const auto result = convert({"[CSV]", "1;A;1;A;"}, "x\r\n");
    EXPECT_EQ(result.anomalyCount, 0);
    EXPECT_TRUE(result.anomaliesFile.isEmpty());
    EXPECT_EQ(readBytes(anomaliesFile()), "old");
}

TEST_F(Conversion, lastSourceLineWithoutLineEndAndLoneLineFeedsAreConverted)
{
    convert({"[CSV]", "1;A;1;A;"}, "a\nb\r\nc");
    EXPECT_EQ(output(), crlf({"a;", "b;", "c;"}));
}

TEST_F(Conversion, emptySourceGivesEmptyDestination)
{
    writeBytes(destination(), "old content");
    const auto result = convert({"[CSV]", "1;A;1;A;"}, "");
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(output(), QByteArray());
}

TEST_F(Conversion, progressEndsAtOneHundred)
{
    QByteArray source;
    for (int i = 0; i < 2000; ++i)
        source += QByteArray::number(i) + "\r\n";
    convert({"[CSV]", "1;N;1;N;"}, source);
    ASSERT_FALSE(m_sink.percents.isEmpty());
    EXPECT_EQ(m_sink.percents.last(), 100);
    EXPECT_TRUE(std::is_sorted(m_sink.percents.begin(), m_sink.percents.end()));
}

// ---- definitions that cannot be applied ---------------------------------------

struct BrokenCase
{
    const char *mode;
    const char *definitionLine;
    const char *message;
};
class BrokenDefinition : public Conversion, public ::testing::WithParamInterface<BrokenCase> {};
TEST_P(BrokenDefinition, stopsWithTheLineNamedAndOnlyTheHeaderWritten)
{
    m_options.header = true;
    const auto result = convert({GetParam().mode, "1;PRIMO;1;1;A;", GetParam().definitionLine}, "abc\r\ndef\r\n");
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.error, QString::fromUtf8(GetParam().message));
    EXPECT_TRUE(output().startsWith("PRIMO;")) << output().toStdString();
    EXPECT_EQ(output().count("\r\n"), 1);
}
INSTANTIATE_TEST_SUITE_P(Cases, BrokenDefinition, ::testing::Values(
    BrokenCase{"[LUNGHEZZAFISSA]", "2;F;uno;3;A;",
               "Errore nella riga 3 del file di definizione (\"2;F;uno;3;A;\"): la posizione iniziale \"uno\" non è un numero valido"},
    BrokenCase{"[LUNGHEZZAFISSA]", "2;F;1;tre;N;",
               "Errore nella riga 3 del file di definizione (\"2;F;1;tre;N;\"): la lunghezza del campo \"tre\" non è un numero valido"},
    BrokenCase{"[LUNGHEZZAFISSA]", "2;F;0;3;A;",
               "Errore nella riga 3 del file di definizione (\"2;F;0;3;A;\"): la posizione iniziale \"0\" non è un valore valido"},
    BrokenCase{"[LUNGHEZZAFISSA]", "2;F;",
               "Errore nella riga 3 del file di definizione (\"2;F;\"): la posizione iniziale \"\" non è un numero valido"},
    BrokenCase{"[CSV]", "2;F;due;A;",
               "Errore nella riga 3 del file di definizione (\"2;F;due;A;\"): il numero di campo \"due\" non è un numero valido"},
    BrokenCase{"[CSV]", "2;F;x(1,3);A;",
               "Errore nella riga 3 del file di definizione (\"2;F;x(1,3);A;\"): il numero di campo \"x\" non è un numero valido"},
    BrokenCase{"[CSV]", "2;F;0(1,3);A;",
               "Errore nella riga 3 del file di definizione (\"2;F;0(1,3);A;\"): il numero di campo \"0\" non è un valore valido"},
    BrokenCase{"[CSV]", "2;F;9;A;",
               "Errore nella riga 3 del file di definizione (\"2;F;9;A;\"): il campo 9 non esiste nella riga n. 1 del file origine, che ha 1 campi"},
    BrokenCase{"[CSV]", "2;F;1+' '+9;A;",
               "Errore nella riga 3 del file di definizione (\"2;F;1+' '+9;A;\"): il campo 9 non esiste nella riga n. 1 del file origine, che ha 1 campi"}));

TEST_F(Conversion, fieldBeyondALaterLineKeepsTheLinesWrittenSoFar)
{
    const auto result = convert({"[CSV]", "1;A;1;A;", "2;B;3;A;"}, "a;b;c\r\nd;e;f\r\ng\r\n");
    // Line 3 has one field and there are two definitions: field 3 is beyond both.
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(output(), crlf({"a;c;", "d;f;"}));
    EXPECT_TRUE(result.error.contains(QStringLiteral("riga n. 3 del file origine"))) << result.error.toStdString();
}

TEST_F(Conversion, missingDefinitionStopsBeforeTouchingTheDestination)
{
    writeBytes(source(), "a\r\n");
    writeBytes(destination(), "old");
    m_options.source = source();
    m_options.destination = destination();
    const auto result = Converti(m_options, m_sink);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.error, texts::definitionMissing(definition()));
    EXPECT_EQ(output(), "old");
}

TEST_F(Conversion, anomaliesFoundBeforeAStopAreStillWrittenToTheFile)
{
    const auto result = convert({"[CSV]", "1;P;1;N;", "2;B;5;A;"}, "x\r\nx;y;z;w;v;u\r\n");
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(output(), QByteArray());
    EXPECT_EQ(result.anomalyCount, 1);
    EXPECT_EQ(readBytes(anomaliesFile()),
              vardof::core::toCp1252(QStringLiteral("Riga n. 1, Colonna P, Il dato: \"x\" non è numerico")) + "\r\n");
}

// ---- output files that cannot be written ------------------------------------------

// The system refuses a write half way, as on a full disk: the file it was
// writing keeps its previous content, no temporary file stays, the message
// gives the system's reason, and the run does not count as done.
struct RefusedCase
{
    const char *name;
    QByteArray sourceLine; // repeated 3000 times
    QList<QByteArray> definition;
    bool destinationRefused;
    bool anomaliesRefused;
};
void PrintTo(const RefusedCase &c, std::ostream *os) { *os << c.name; }

class RefusedOutput : public Conversion, public ::testing::WithParamInterface<RefusedCase> {};
TEST_P(RefusedOutput, keepsThePreviousFilesAndSaysWhy)
{
    const RefusedCase &c = GetParam();
    QByteArray sourceBytes;
    for (int i = 0; i < 3000; ++i)
        sourceBytes += c.sourceLine + "\r\n";
    writeBytes(definition(), crlf(c.definition));
    writeBytes(source(), sourceBytes);
    writeBytes(destination(), "vecchia destinazione\r\n");
    writeBytes(anomaliesFile(), "vecchie anomalie\r\n");
    m_options.source = source();
    m_options.destination = destination();
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);

    ConversionResult result;
    {
        FileSizeLimit limit(64 * 1024);
        if (!limit.active())
            GTEST_SKIP() << "no file size limit on this system";
        result = Converti(m_options, m_sink);
    }
    const QString reason = FileSizeLimit::reason();
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.completed, !c.destinationRefused);
    if (c.destinationRefused) {
        EXPECT_EQ(result.error, texts::destinationUnwritable(destination(), reason));
        EXPECT_EQ(output(), "vecchia destinazione\r\n");
    } else {
        EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_EQ(output().count("\r\n"), 3000);
    }
    if (c.anomaliesRefused) {
        EXPECT_EQ(result.anomaliesFileError, texts::anomaliesUnwritable(anomaliesFile(), reason));
        EXPECT_EQ(readBytes(anomaliesFile()), "vecchie anomalie\r\n");
    } else {
        EXPECT_TRUE(result.anomaliesFileError.isEmpty()) << result.anomaliesFileError.toStdString();
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), before);
}
INSTANTIATE_TEST_SUITE_P(Cases, RefusedOutput, ::testing::Values(
    RefusedCase{"destinationWithoutAnomalies", QByteArray(40, 'a'), {"[CSV]", "1;A;1;A;"}, true, false},
    RefusedCase{"destinationAndAnomalies", QByteArray(40, 'a') + ";x", {"[CSV]", "1;A;1;A;", "2;N;2;N;"}, true, true},
    RefusedCase{"onlyTheAnomalies", "x", {"[CSV]", "1;N;1;N;"}, false, true},
    RefusedCase{"fixedLengthDestination", QByteArray(40, 'a'), {"[LUNGHEZZAFISSA]", "1;A;1;40;A;"}, true, false}));

TEST_F(Conversion, anomaliesFileThatCannotBeCreatedFailsTheRun)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Anomalie.txt")));
    const auto result = convert({"[CSV]", "1;N;1;N;"}, "x\r\n1\r\n");
    EXPECT_TRUE(result.completed);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(output(), crlf({"0;", "1;"}));
    const QString lead = texts::anomaliesUnwritable(anomaliesFile(), QString());
    EXPECT_TRUE(result.anomaliesFileError.startsWith(lead)) << result.anomaliesFileError.toStdString();
    EXPECT_GT(result.anomaliesFileError.size(), lead.size());
}

TEST_F(Conversion, completeRunSucceeds)
{
    const auto result = convert({"[CSV]", "1;N;1;N;"}, "x\r\n");
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.anomaliesFile, anomaliesFile());
}

// Whatever the bytes, the engines finish or stop with a message.
TEST_F(Conversion, arbitraryBytesNeverBreakTheEngines)
{
    auto *random = QRandomGenerator::global();
    static const char raw[] = "0123456789;;;(,)+'ANDPIU[NOBLANKINI]COSTANTE \t\r\n\xe8\x00";
    const QByteArray alphabet(raw, sizeof(raw) - 1);
    for (int round = 0; round < 300; ++round) {
        auto noise = [&](int size) {
            QByteArray bytes;
            for (int i = 0; i < size; ++i)
                bytes += random->bounded(4) == 0 ? char(random->bounded(256))
                                                 : alphabet.at(random->bounded(alphabet.size()));
            return bytes;
        };
        const QByteArray mode = round % 2 ? "[LUNGHEZZAFISSA]" : "[CSV]";
        const auto result = convert({mode, noise(30), noise(30), noise(20)}, noise(200));
        EXPECT_TRUE(result.completed || !result.error.isEmpty());
    }
}

// ---- checks before a run --------------------------------------------------------

TEST_F(Conversion, pathChecksGiveTheWarningOfTheFirstFailure)
{
    writeBytes(source(), "a\r\n");
    auto check = [&](const QString &src, const QString &dst) {
        ConversionOptions o;
        o.source = src;
        o.destination = dst;
        return checkPaths(o);
    };
    EXPECT_EQ(check(QString(), destination()), texts::sourceMissing());
    EXPECT_EQ(check(m_dir.file(QStringLiteral("nessuno.txt")), destination()), texts::sourceMissing());
    EXPECT_EQ(check(source(), QString()), texts::destinationMissing());
    EXPECT_EQ(check(source(), m_dir.file(QStringLiteral("manca/out.dat"))), texts::destinationFolderMissing());
    EXPECT_EQ(check(source(), source()), texts::destinationClashes());
    EXPECT_EQ(check(source(), definition()), texts::destinationClashes());
    EXPECT_EQ(check(source(), anomaliesFile()), texts::destinationClashes());
    EXPECT_EQ(check(source(), m_dir.path()), texts::destinationIsFolder());
    QDir(m_dir.path()).mkdir(QStringLiteral("cartella.dat"));
    EXPECT_EQ(check(source(), m_dir.file(QStringLiteral("cartella.dat"))), texts::destinationIsFolder());
    EXPECT_EQ(check(source(), destination()), QString());
}

} // namespace
