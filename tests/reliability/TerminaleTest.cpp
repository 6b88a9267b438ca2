// What the launcher echoes from a bad input line reaches the terminal as
// text: control characters are shown as \xHH, never sent raw (an escape
// sequence in a supplier's file would otherwise recolour, clear or retitle
// the user's terminal).

#include "ServerHost.h"

#include "support/TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::test;

namespace {

// Control bytes left in an output, other than LF, CR before LF and TAB.
QByteArray controlliCrudi(const QByteArray &out)
{
    QByteArray trovati;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        const bool crlf = c == '\r' && i + 1 < out.size() && out[i + 1] == '\n';
        if ((c < 0x20 && c != '\n' && c != '\t' && !crlf) || c == 0x7F)
            trovati += char(c);
    }
    return trovati;
}

struct Riga
{
    const char *nome;
    QByteArray tabella;    // the destination table as the script names it
    QByteArray campo;      // the price field of the data line, as bytes of the file
    const char *mostrato;  // how the bad text must appear when it is echoed
    bool semprePresente;   // echoed whatever the run makes of the line
};

void PrintTo(const Riga &r, std::ostream *os)
{
    *os << r.nome;
}

class Eco : public ::testing::TestWithParam<Riga>
{
protected:
    static void SetUpTestSuite()
    {
        s_host = new TempDir;
        QProcess demo;
        demo.start(vardofExe(), {QStringLiteral("--host"), s_host->path(), QStringLiteral("demo"),
                                 QStringLiteral("--rows"), QStringLiteral("20")});
        demo.waitForFinished(120000);
        s_pronto = demo.exitCode() == 0;
    }
    static void TearDownTestSuite()
    {
        delete s_host;
        s_host = nullptr;
    }
    static inline TempDir *s_host = nullptr;
    static inline bool s_pronto = false;
};

TEST_P(Eco, controlCharactersFromTheUsersFilesReachTheTerminalEscaped)
{
    ASSERT_TRUE(s_pronto);
    const Riga &r = GetParam();
    const QString lavoro = s_host->path() + QStringLiteral("/lavoro/");
    {
        QFile dati(lavoro + QStringLiteral("eco.csv"));
        ASSERT_TRUE(dati.open(QIODevice::WriteOnly | QIODevice::Truncate));
        dati.write("ECO;E1;" + r.campo + ";01/03/2026\r\n");
        QFile script(lavoro + QStringLiteral("eco.txt"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("[SCRIPT]\r\nTABELLADESTINAZIONE=" + r.tabella + "\r\nAGGIUNGI=SI\r\nAGGIORNA=SI\r\n");
    }
    QProcess p;
    p.start(vardofExe(), {QStringLiteral("--host"), s_host->path(), QStringLiteral("import"), lavoro + QStringLiteral("eco.csv")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QByteArray out = p.readAllStandardOutput();
    const QByteArray err = p.readAllStandardError();

    EXPECT_TRUE(controlliCrudi(out).isEmpty()) << out.toHex().toStdString();
    EXPECT_TRUE(controlliCrudi(err).isEmpty()) << err.toHex().toStdString();
    const QString tutto = QString::fromLocal8Bit(out + err);
    const QString mostrato = QString::fromUtf8(r.mostrato);
    if (r.semprePresente || tutto.contains(QLatin1String("valore \""))) {
        EXPECT_TRUE(tutto.contains(mostrato)) << tutto.toStdString() << "\natteso: " << mostrato.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Eco,
    ::testing::Values(
        Riga{"tableNameInTheScript", QByteArray("LIS\x1b[2JTINI"), QByteArray("1,00"), "LIS\\x1B[2JTINI", true},
        Riga{"escapeSequenceInAValue", QByteArray("LISTINI"), QByteArray("1\x1b[2J\x1b]0;titolo\x07"),
             "\"1\\x1B[2J\\x1B]0;titolo\\x07\"", false},
        Riga{"bell", QByteArray("LISTINI"), QByteArray("\x07\x07"), "\"\\x07\\x07\"", false},
        Riga{"loneCarriageReturn", QByteArray("LISTINI"), QByteArray("12\r34"), "\"12\\x0D34\"", false},
        Riga{"backspaceAndDelete", QByteArray("LISTINI"), QByteArray("9\x08\x7f"), "\"9\\x08\\x7F\"", false},
        Riga{"undefinedCodePageByte", QByteArray("LISTINI"), QByteArray("5\x81"), "\"5\\x81\"", false},
        Riga{"printableCodePageBytesStay", QByteArray("LISTINI"), QByteArray("5\x80\x9b"), "\"5€›\"", true}),
    [](const ::testing::TestParamInfo<Riga> &i) { return std::string(i.param.nome); });

} // namespace
