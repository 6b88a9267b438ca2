// The LibreOffice conversion when LibreOffice does not answer: a stand-in
// soffice (a shell script) that converts, fails, or hangs with a child of
// its own; the time limit and the stop asked through the run feedback kill
// it with its child and leave no file behind.

#include "OutputDb.h"
#include "SofficeFinto.h"
#include "support/ProcessoVivo.h"

#include "output/Esportazione.h"
#include "platform/RunFeedback.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace vardof::test {
namespace {

class ConversioneLibreOffice : public OutputDb
{
protected:
    TempDir m_bin;    // where the stand-in soffice lies
    TempDir m_lavoro; // the CSV handed to it, and what it writes
    const QString m_figlio = m_bin.file(QStringLiteral("figlio.pid"));
};

struct CasoConvertitore
{
    const char *nome;
    enum { Converte, Fallisce, Blocca } comportamento;
    int limiteMs;
    bool ferma; // the caller asks to stop once the child runs
    bool riuscita;
    bool interrotta;
    const char *errore;
};

void PrintTo(const CasoConvertitore &c, std::ostream *os)
{
    *os << c.nome;
}

class Convertitore : public ConversioneLibreOffice, public ::testing::WithParamInterface<CasoConvertitore>
{
};

const CasoConvertitore kConvertitore[] = {
    {"converte", CasoConvertitore::Converte, 60000, false, true, false, ""},
    {"fallisce", CasoConvertitore::Fallisce, 60000, false, false, false,
     "Conversione con LibreOffice non riuscita:\rerrore di prova"},
    {"bloccatoOltreIlLimite", CasoConvertitore::Blocca, 1000, false, false, false,
     "Conversione con LibreOffice non riuscita:\rLibreOffice non ha terminato entro 1 secondo ed è stato fermato"},
    {"bloccatoEFermato", CasoConvertitore::Blocca, 60000, true, false, true,
     "Conversione con LibreOffice interrotta"},
};

TEST_P(Convertitore, endsWithinItsLimitAndLeavesNoPartialFile)
{
    const CasoConvertitore &c = GetParam();
    switch (c.comportamento) {
    case CasoConvertitore::Converte: scriviSoffice(m_bin.path(), QStringLiteral("printf 'XLS' > \"$prodotto\"")); break;
    case CasoConvertitore::Fallisce: scriviSoffice(m_bin.path(), QStringLiteral("echo 'errore di prova' >&2\nexit 3")); break;
    case CasoConvertitore::Blocca: scriviSoffice(m_bin.path(), bloccato(m_figlio)); break;
    }
    const QString ingresso = m_lavoro.file(QStringLiteral("risposta.csv"));
    QFile csv(ingresso);
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("ID;NOME\r\n1;\"ROSSI\"\r\n");
    csv.close();
    // The file a former export left: replaced only by a whole workbook.
    const QString uscita = m_out.file(QStringLiteral("export.xls"));
    QFile vecchio(uscita);
    ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
    vecchio.write("VECCHIO");
    vecchio.close();

    output::TSofficeConvertTo conv;
    conv.DirProgramma = m_bin.path();
    conv.FileIngresso = ingresso;
    conv.FileUscita = uscita;
    conv.LimiteMs = c.limiteMs;
    int domande = 0;
    QElapsedTimer orologio;
    orologio.start();
    const bool ok = conv.Converti([&] {
        ++domande;
        return !(c.ferma && QFile::exists(m_figlio));
    });
    const qint64 durata = orologio.elapsed();

    EXPECT_EQ(ok, c.riuscita) << conv.errore().toStdString();
    EXPECT_EQ(conv.interrotta(), c.interrotta);
    EXPECT_EQ(conv.errore(), QString::fromUtf8(c.errore));
    EXPECT_LT(durata, 20000) << "it waited for the hung program";
    EXPECT_EQ(leggiFile(uscita), c.riuscita ? QByteArray("XLS") : QByteArray("VECCHIO"));
    EXPECT_FALSE(QFileInfo::exists(m_lavoro.file(QStringLiteral("risposta.xls")))) << "its own workbook stays behind";
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("export.xls")});
    if (c.comportamento == CasoConvertitore::Blocca) {
        EXPECT_FALSE(processoVivo(m_figlio)) << "the child it started goes on";
        EXPECT_GT(domande, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Casi, Convertitore, ::testing::ValuesIn(kConvertitore),
                         [](const auto &info) { return std::string(info.param.nome); });

// Without a limit of its own a conversion gets one by the size of its CSV.
TEST(LimiteConversione, growsWithTheInputUpToTwoHours)
{
    constexpr qint64 mb = 1024 * 1024;
    const struct
    {
        qint64 byte;
        int minuti;
    } casi[] = {{0, 5}, {1, 5}, {10 * mb - 1, 5}, {10 * mb, 6}, {100 * mb, 15}, {1150 * mb, 120}, {100000 * mb, 120},
                {-1, 5}};
    for (const auto &c : casi)
        EXPECT_EQ(output::limiteConversioneMs(c.byte), c.minuti * 60 * 1000) << c.byte;
}

// Through the export: the stop button is heard while LibreOffice works, the
// window kept alive, and a stopped export writes nothing.
struct CasoEsportazione
{
    const char *nome;
    bool blocca;
    bool riuscita;
    const char *detto; // the warning told, empty for none
};

void PrintTo(const CasoEsportazione &c, std::ostream *os)
{
    *os << c.nome;
}

class Esportazione : public ConversioneLibreOffice, public ::testing::WithParamInterface<CasoEsportazione>
{
};

TEST_P(Esportazione, stopsWhenAskedAndWritesNothing)
{
    const CasoEsportazione &c = GetParam();
    scriviSoffice(m_bin.path(), c.blocca ? bloccato(m_figlio) : QStringLiteral("printf 'XLS' > \"$prodotto\""));
    auto r = risposta(QStringLiteral("ID, NOME"));
    platform::RecordingFeedback fb;
    fb.interruption = [this] { return QFile::exists(m_figlio); };
    output::Esportatore esp(r, fb);
    const QString file = m_out.file(QStringLiteral("export.xls"));
    QElapsedTimer orologio;
    orologio.start();
    EXPECT_EQ(esp.EsportaLibreOffice(0, file, false, m_bin.path()), c.riuscita) << esp.errore().toStdString();
    EXPECT_LT(orologio.elapsed(), 20000);
    QStringList detti;
    for (const auto &q : fb.asked)
        detti << q.text;
    EXPECT_EQ(detti, *c.detto ? QStringList{QString::fromUtf8(c.detto)} : QStringList{});
    if (c.blocca) {
        ASSERT_EQ(fb.asked.size(), 1);
        EXPECT_EQ(fb.asked.at(0).kind, platform::Warning);
        EXPECT_GT(fb.keepAlives, 0);
        EXPECT_FALSE(processoVivo(m_figlio));
    }
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              c.riuscita ? QStringList{QStringLiteral("export.xls")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Casi, Esportazione,
                         ::testing::Values(CasoEsportazione{"converte", false, true, ""},
                                           CasoEsportazione{"fermata", true, false,
                                                            "Esportazione interrotta: nessun file scritto"}),
                         [](const auto &info) { return std::string(info.param.nome); });

} // namespace
} // namespace vardof::test
