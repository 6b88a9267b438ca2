#include "OutputDb.h"

#include "core/Cp1252.h"
#include "output/Esportazione.h"
#include "output/TFileCSVWrite.h"
#include "platform/RunFeedback.h"

#include <QDir>
#include <QFile>

namespace vardof::test {
namespace {

using output::CampoEsportato;
using output::OpzioniTesto;

QByteArray cp(const char *utf8)
{
    return core::toCp1252(QString::fromUtf8(utf8));
}

// ---- the text export over a real answer -------------------------------------

struct CasoTesto
{
    const char *nome;
    const char *colonne;                 // SELECT list
    std::vector<CampoEsportato> campi;   // empty: every column
    OpzioniTesto opzioni;
    const char *atteso;                  // UTF-8, encoded to CP1252 for the comparison
};

OpzioniTesto opz(std::function<void(OpzioniTesto &)> f)
{
    OpzioniTesto o;
    f(o);
    return o;
}

const CasoTesto kCasiTesto[] = {
    {"delimitato", "*", {}, {},
     "ID;NOME;IMPORTO;QTA;PREZZO;DATA;ORA;MOMENTO;NOTE;DATI\r\n"
     "1;Caffè; latte;1234,50;3;1234,5;29/02/2024;08:30:00;29/02/2024 08:30:00;riga uno;abc\r\n"
     "2;D'Angelo \"il grande\";-0,05;-7;-2,25;31/12/1999;;;;\r\n"
     "3;;;;;;;;solo;punto;\r\n"},
    {"memoConTag", "ID, NOTE", {}, opz([](OpzioniTesto &o) { o.memoEstesi = true; o.tagRitornoCapo = QStringLiteral("[BR]"); }),
     "ID;NOTE\r\n1;riga uno[BR]riga \"due\"\r\n2;\r\n3;solo,punto e virgola\r\n"},
    {"memoSenzaTagUnaRiga", "ID, NOTE", {}, opz([](OpzioniTesto &o) { o.memoEstesi = true; o.ritorniCapoNeiMemo = false; }),
     "ID;NOTE\r\n1;riga uno riga \"due\"\r\n2;\r\n3;solo,punto e virgola\r\n"},
    {"memoSenzaTagComeScritto", "ID, NOTE", {}, opz([](OpzioniTesto &o) { o.memoEstesi = true; }),
     "ID;NOTE\r\n1;riga uno\r\nriga \"due\"\r\n2;\r\n3;solo,punto e virgola\r\n"},
    {"senzaIntestazioni", "ID, NOME", {}, opz([](OpzioniTesto &o) { o.saltaIntestazioni = true; }),
     "1;Caffè; latte\r\n2;D'Angelo \"il grande\"\r\n3;\r\n"},
    {"intestazioniQualificate", "*", {}, opz([](OpzioniTesto &o) { o.qualificaCampi = true; o.saltaIntestazioni = false; }),
     "*I_ID;A30_NOME;N2_IMPORTO;I_QTA;N_PREZZO;D_DATA;T_ORA;TS_MOMENTO;M_NOTE;M_DATI\r\n"
     "1;Caffè; latte;1234,50;3;1234,5;29/02/2024;08:30:00;29/02/2024 08:30:00;riga uno;abc\r\n"
     "2;D'Angelo \"il grande\";-0,05;-7;-2,25;31/12/1999;;;;\r\n"
     "3;;;;;;;;solo;punto;\r\n"},
    // Fixed length: each field as wide as its widest possible text, so an
    // 18-digit amount is never cut to the grid's width of 10.
    {"lunghezzaFissa", "ID, NOME, IMPORTO", {}, opz([](OpzioniTesto &o) { o.lunghezzaFissa = true; o.separatore = QLatin1Char('|'); }),
     "ID         |NOME                          |IMPORTO              \r\n"
     "1          |Caffè; latte                  |1234,50              \r\n"
     "2          |D'Angelo \"il grande\"          |-0,05                \r\n"
     "3          |                              |                     \r\n"},
    {"raggruppamentoCifre", "ID, IMPORTO, PREZZO",
     {{0, QStringLiteral("ID"), {}, 0, 0}, {1, QStringLiteral("IMPORTO"), {}, 0, 1}, {2, QStringLiteral("PREZZO"), {}, 0, 2}},
     {},
     "ID;IMPORTO;PREZZO\r\n1;  1.234,50;     1.235\r\n2;     -0,05;        -2\r\n3;;\r\n"},
    {"ordineEColonneMostrate", "ID, NOME, QTA",
     {{1, QStringLiteral("NOME"), QStringLiteral("Ragione sociale"), 0, 0}, {0, QStringLiteral("ID"), {}, 0, 0}},
     {},
     "NOME;ID\r\nCaffè; latte;1\r\nD'Angelo \"il grande\";2\r\n;3\r\n"},
};

class EsportaTesto : public OutputDb, public ::testing::WithParamInterface<CasoTesto>
{
};

TEST_P(EsportaTesto, IlFileHaIByteAttesi)
{
    const CasoTesto &c = GetParam();
    auto r = risposta(QString::fromUtf8(c.colonne));
    r.campi = c.campi;
    platform::RecordingFeedback fb;
    output::Esportatore esp(r, fb);
    const QString file = m_out.file(QStringLiteral("export.csv"));
    ASSERT_TRUE(esp.EsportaTesto(file, c.opzioni)) << esp.errore().toStdString();
    EXPECT_EQ(leggiFile(file), cp(c.atteso));
    EXPECT_TRUE(fb.asked.isEmpty());
    EXPECT_EQ(esp.righeScritte(), 3);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("export.csv")});
}

INSTANTIATE_TEST_SUITE_P(Casi, EsportaTesto, ::testing::ValuesIn(kCasiTesto),
                         [](const auto &info) { return std::string(info.param.nome); });

// ---- failures leave the target as it was ------------------------------------

struct CasoGuasto
{
    const char *nome;
    const char *sql;       // the answer's statement
    const char *target;    // relative to the output folder
    const char *messaggio; // beginning of the error told
};

const CasoGuasto kGuasti[] = {
    {"cartellaInesistente", "SELECT * FROM PROVA", "manca/export.csv", "Impossibile scrivere il file"},
    {"targetCartella", "SELECT * FROM PROVA", "cartella", "Impossibile scrivere il file"},
    {"istruzioneRifiutata", "SELECT NONESISTE FROM PROVA", "export.csv", "Operazione fallita:\r"},
    // Fails on a row well after the first: what was written is dropped.
    {"erroreDuranteLaLettura", "SELECT ID, 10 / (3 - ID) AS X FROM PROVA ORDER BY ID", "export.csv",
     "Operazione fallita:\r"},
};

class GuastiTesto : public OutputDb, public ::testing::WithParamInterface<CasoGuasto>
{
};

TEST_P(GuastiTesto, MessaggioChiaroEFileIntatto)
{
    const CasoGuasto &c = GetParam();
    QDir(m_out.path()).mkdir(QStringLiteral("cartella"));
    const QString target = m_out.file(QString::fromUtf8(c.target));
    const bool preesistente = QString::fromUtf8(c.target) == QLatin1String("export.csv");
    if (preesistente) {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("contenuto precedente");
    }
    output::RispostaDaEsportare r;
    r.sql = QStringList{QString::fromUtf8(c.sql)};
    r.transazione = &tra();
    platform::RecordingFeedback fb;
    output::Esportatore esp(r, fb);
    EXPECT_FALSE(esp.EsportaTesto(target, {}));
    ASSERT_EQ(fb.asked.size(), 1);
    EXPECT_EQ(fb.asked.at(0).kind, platform::Error);
    EXPECT_TRUE(fb.asked.at(0).text.startsWith(QString::fromUtf8(c.messaggio))) << fb.asked.at(0).text.toStdString();
    EXPECT_GT(fb.asked.at(0).text.size(), qsizetype(strlen(c.messaggio)) + 2) << "manca il motivo";
    if (preesistente)
        EXPECT_EQ(leggiFile(target), QByteArray("contenuto precedente"));
    QStringList rimasti = QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden);
    rimasti.removeAll(QStringLiteral("export.csv"));
    EXPECT_TRUE(rimasti.isEmpty()) << rimasti.join(u',').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Casi, GuastiTesto, ::testing::ValuesIn(kGuasti),
                         [](const auto &info) { return std::string(info.param.nome); });

// ---- the CSV writer ----------------------------------------------------------

struct CasoCsv
{
    const char *nome;
    std::vector<const char *> campi; // set at these positions in order: "i=testo"
    const char *riga;
};

const CasoCsv kCasiCsv[] = {
    {"semplice", {"0=a", "1=b"}, "a;b\r\n"},
    {"separatoreNelTesto", {"0=a;b", "1=c"}, "a,b;c\r\n"},
    {"ritorniCapo", {"0=x\r\ny\nz\rw"}, "x y z w\r\n"},
    {"allungaConVuoti", {"3=d"}, ";;;d\r\n"},
    {"virgoletteNonAggiunte", {"0=\"q\"", "1=1,5"}, "\"q\";1,5\r\n"},
    {"sovrascrive", {"1=b", "1=c"}, ";c\r\n"},
};

class CsvWriter : public ::testing::TestWithParam<CasoCsv>
{
};

TEST_P(CsvWriter, RigaScritta)
{
    TempDir dir;
    output::TFileCSVWrite w(dir.file(QStringLiteral("f.csv")));
    ASSERT_TRUE(w.Open(true));
    w.ClearRow();
    for (const char *c : GetParam().campi) {
        const QByteArray s(c);
        const int eq = int(s.indexOf('='));
        w.SetField(s.left(eq).toInt(), s.mid(eq + 1));
    }
    ASSERT_TRUE(w.WriteRow());
    EXPECT_EQ(w.RowCount(), 1);
    ASSERT_TRUE(w.Close());
    EXPECT_EQ(leggiFile(dir.file(QStringLiteral("f.csv"))), QByteArray(GetParam().riga));
}

INSTANTIATE_TEST_SUITE_P(Casi, CsvWriter, ::testing::ValuesIn(kCasiCsv),
                         [](const auto &info) { return std::string(info.param.nome); });

TEST(CsvWriterFile, AccodaSenzaPerdereIlContenutoEsistente)
{
    TempDir dir;
    const QString f = dir.file(QStringLiteral("f.csv"));
    {
        output::TFileCSVWrite w(f);
        ASSERT_TRUE(w.Open(true));
        w.SetField(0, "uno");
        w.WriteRow();
        ASSERT_TRUE(w.Close());
    }
    output::TFileCSVWrite w(f);
    ASSERT_TRUE(w.Open(false));
    EXPECT_EQ(w.RowCount(), 0);
    w.SetField(0, "due");
    w.WriteRow();
    // Until closed, the file keeps its earlier content.
    EXPECT_EQ(leggiFile(f), QByteArray("uno\r\n"));
    ASSERT_TRUE(w.Close());
    EXPECT_EQ(leggiFile(f), QByteArray("uno\r\ndue\r\n"));
}

TEST(CsvWriterFile, NonChiusoNonLasciaNulla)
{
    TempDir dir;
    const QString f = dir.file(QStringLiteral("f.csv"));
    {
        output::TFileCSVWrite w(f);
        ASSERT_TRUE(w.Open(true));
        w.SetField(0, "uno");
        w.WriteRow();
    }
    EXPECT_FALSE(QFile::exists(f));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// ---- value rules -----------------------------------------------------------

TEST(TestoCampo, LettereColonnaEIntervallo)
{
    const std::pair<int, const char *> casi[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {28, "AB"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
    for (const auto &[n, atteso] : casi)
        EXPECT_EQ(output::lettereColonna(n), QString::fromLatin1(atteso)) << n;
    EXPECT_EQ(output::rigaIntervallo(28, 12), QStringLiteral("A2:AB12"));
}

TEST(TestoCampo, RtfInChiaro)
{
    const std::pair<const char *, const char *> casi[] = {
        {"testo normale", "testo normale"},
        {"l\xC2\xB4" "acqua", "l'acqua"},
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Prima riga\\par Seconda \\'e8\\par}", "Prima riga\r\nSeconda è"},
        {"{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}Graffe \\{ e \\} e barra \\\\\\par}", "Graffe { e } e barra \\"},
        {"{\\rtf1\\uc1 euro \\u8364?\\par}", "euro €"},
    };
    for (const auto &[in, atteso] : casi)
        EXPECT_EQ(output::rtfInChiaro(QString::fromUtf8(in)), QString::fromUtf8(atteso)) << in;
}

} // namespace
} // namespace vardof::test
