// The CSV import against a raw prepared-insert loop over the same rows, all
// in one run on the same machine and the same embedded engine: (a) adding
// only, (b) adding and updating by key with half the keys already present,
// (c) (b) with the duplicate check. Each is reported as rows/s and as a
// ratio to the raw loop.
//
//   bench_import [--benchmark_...]   VARDOF_BENCH_IMPORT_ROWS=N (default 1000000),
//                                    VARDOF_BENCH_IMPORT_ROUNDS=N (default 1)

#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "import/ImportRun.h"
#include "import/ImportValues.h"
#include "import/ScriptLoader.h"
#include "platform/Formats.h"
#include "platform/TextFile.h"

#include "support/ResultsFile.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <algorithm>
#include <map>
#include <vector>

using namespace vardof;

namespace {

qint64 righeBench()
{
    const qint64 n = qEnvironmentVariableIntValue("VARDOF_BENCH_IMPORT_ROWS");
    return n > 0 ? n : 1000000;
}

QTemporaryDir &cartella()
{
    static QTemporaryDir dir;
    return dir;
}

QString fileDati()
{
    return cartella().filePath(QStringLiteral("listino.csv"));
}

void scriviDati()
{
    static bool fatto = false;
    if (fatto)
        return;
    fatto = true;
    QFile f(fileDati());
    f.open(QIODevice::WriteOnly);
    QByteArray riga;
    for (qint64 i = 0; i < righeBench(); ++i) {
        riga = "ART" + QByteArray::number(i).rightJustified(8, '0') + ";Articolo di listino numero "
               + QByteArray::number(i) + ";" + QByteArray::number(i % 5000) + "," + QByteArray::number(10 + i % 90)
               + ";" + QByteArray::number(i % 1000) + ";" + QByteArray::number(1 + i % 28).rightJustified(2, '0')
               + "/03/2024;nota\r\n";
        f.write(riga);
    }
}

struct Database
{
    QString path;
    db::Attachment att;
    std::unique_ptr<db::Transaction> tra;

    explicit Database(const QString &nome)
    {
        path = cartella().filePath(nome);
        QFile::remove(path);
        att.create(path, db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey"))
                             << QStringLiteral("PAGE_SIZE 8192"));
        tra = std::make_unique<db::Transaction>(att);
        db::executeSql(att, *tra,
                       QStringLiteral("CREATE TABLE LISTINO (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, "
                                      "DESCRIZIONE VARCHAR(60), PREZZO NUMERIC(15,2), QTA INTEGER, DATA DATE, "
                                      "NOTE VARCHAR(40))"));
        tra->commit();
    }
    ~Database()
    {
        tra.reset();
        try {
            att.dropDatabase();
        } catch (...) {
        }
    }
};

// Every other key already in the table, so that (b) and (c) update half
// the lines and add the other half.
void precarica(Database &d)
{
    db::Statement ins(d.att, *d.tra,
                      QStringLiteral("INSERT INTO LISTINO (CODICE, DESCRIZIONE) VALUES (:CODICE, 'vecchia')"));
    for (qint64 i = 0; i < righeBench(); i += 2) {
        ins.setParam(0, db::Value(QStringLiteral("ART") + QString::number(i).rightJustified(8, u'0')));
        ins.execute();
    }
    d.tra->commit();
}

std::map<std::string, std::vector<double>> g_righeAlSecondo;

void registra(benchmark::State &state, const char *nome, double secondi)
{
    state.SetIterationTime(secondi);
    const double rs = double(righeBench()) / secondi;
    state.counters["righe_s"] = rs;
    g_righeAlSecondo[nome].push_back(rs);
}

// The floor: the same file read through the same buffered reader, the same
// fields converted, one prepared INSERT executed per line.
void BM_InsertGrezzo(benchmark::State &state)
{
    scriviDati();
    for (auto _ : state) {
        Database d(QStringLiteral("grezzo.fdb"));
        QElapsedTimer t;
        t.start();
        db::Statement ins(d.att, *d.tra,
                          QStringLiteral("INSERT INTO LISTINO (CODICE, DESCRIZIONE, PREZZO, QTA, DATA, NOTE) "
                                         "VALUES (?, ?, ?, ?, ?, ?)"),
                          db::ParamStyle::AsWritten);
        platform::TextLineReader r;
        r.open(fileDati());
        QString riga;
        while (r.readLine(riga)) {
            const QStringList c = riga.split(u';');
            ins.setParam(0, db::Value(c[0]));
            ins.setParam(1, db::Value(c[1]));
            ins.setParam(2, importcsv::convertiValore(c[2], importcsv::TipoDecimale));
            ins.setParam(3, importcsv::convertiValore(c[3], importcsv::TipoIntero));
            ins.setParam(4, importcsv::convertiValore(c[4], importcsv::TipoData));
            ins.setParam(5, db::Value(c[5]));
            ins.execute();
        }
        d.tra->commit();
        registra(state, "grezzo", double(t.nsecsElapsed()) / 1e9);
    }
}

class SinkSilenzioso : public platform::RunFeedback
{
public:
    void line(const QString &) override {}
    void progress(int) override {}
    bool interruptRequested() override { return false; }
    platform::Answer ask(platform::MessageKind kind, const QString &t, platform::Buttons b) override
    {
        if (b == platform::Buttons::Ok && (kind == platform::Warning || kind == platform::Error))
            std::fprintf(stderr, "%s\n", qPrintable(t));
        return platform::Answer::Yes;
    }
};

void eseguiImport(benchmark::State &state, const char *nome, const QStringList &script, bool conPrecarico)
{
    scriviDati();
    for (auto _ : state) {
        Database d(QStringLiteral("%1.fdb").arg(QString::fromLatin1(nome)));
        if (conPrecarico)
            precarica(d);
        QFile::remove(cartella().filePath(QStringLiteral("listino.txt")));
        platform::writeTextLines(cartella().filePath(QStringLiteral("listino.txt")), QStringList{"[SCRIPT]"} + script);
        importcsv::CaricamentoScript c;
        importcsv::ScriptLoader(d.att, *d.tra).carica(cartella().filePath(QStringLiteral("listino.txt")), c);
        if (!c.valido) {
            state.SkipWithError("script non valido");
            return;
        }
        SinkSilenzioso sink;
        importcsv::ImportRun run(d.att, *d.tra, c.parametri, c.colonne, c.chiavi);
        QElapsedTimer t;
        t.start();
        const importcsv::EsitoImport esito = run.esegui(fileDati(), false, sink);
        registra(state, nome, double(t.nsecsElapsed()) / 1e9);
        if (esito != importcsv::EsitoImport::Completato || run.contatori().falliti != 0)
            state.SkipWithError("importazione non completata");
    }
}

void BM_ImportSoloAggiunta(benchmark::State &state)
{
    eseguiImport(state, "a_aggiunta", {"TABELLADESTINAZIONE=LISTINO", "AGGIORNA=NO"}, false);
}

void BM_ImportAggiornaAggiungi(benchmark::State &state)
{
    eseguiImport(state, "b_aggiorna_aggiungi", {"TABELLADESTINAZIONE=LISTINO"}, true);
}

void BM_ImportConDuplicati(benchmark::State &state)
{
    eseguiImport(state, "c_duplicati", {"TABELLADESTINAZIONE=LISTINO", "CONTROLLODUPLICATI=SI"}, true);
}

} // namespace

int main(int argc, char **argv)
{
    // Rounds alternate the four variants, so that a busy moment of the
    // machine falls on all of them alike; the median of the rounds counts.
    const int giri = std::max(1, qEnvironmentVariableIntValue("VARDOF_BENCH_IMPORT_ROUNDS"));
    for (int g = 0; g < giri; ++g) {
        benchmark::RegisterBenchmark("BM_InsertGrezzo", BM_InsertGrezzo)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark("BM_ImportSoloAggiunta", BM_ImportSoloAggiunta)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark("BM_ImportAggiornaAggiungi", BM_ImportAggiornaAggiungi)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark("BM_ImportConDuplicati", BM_ImportConDuplicati)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const auto grezzo = g_righeAlSecondo.find("grezzo");
    if (grezzo == g_righeAlSecondo.end())
        return 0;
    const double base = vardof::bench::median(grezzo->second);
    std::printf("\nrighe: %lld, giri: %d (mediana)\n", static_cast<long long>(righeBench()), giri);
    for (const auto &[nome, rs] : g_righeAlSecondo)
        std::printf("%-22s %12.0f righe/s  rapporto %.2f\n", nome.c_str(), vardof::bench::median(rs), vardof::bench::median(rs) / base);
    return 0;
}
