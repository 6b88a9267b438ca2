// The table tools against the bare client work they stand on, in one run on
// the same machine and the same embedded engine:
//  - table import of a ";" file (TImportFile, the whole run of the import
//    window: count pass, conversions, per-line messages, commit) against a
//    bare loop reading the same file through the same reader, converting
//    the same fields and executing one prepared INSERT per line;
//  - the table editor's first screen on a table of a million rows (the
//    window offscreen: table chosen, grid statement opened, the rows of the
//    first screen read as the view shows them) against a bare cursor's
//    first screen (SELECT *, the same number of rows as text).
//
//   bench_tabletools [--results bench/RESULTS.md]
//     VARDOF_BENCH_TABLETOOLS_ROWS=N (default 1000000), VARDOF_BENCH_TABLETOOLS_ROUNDS=N (default 3)

#include "context/WorkContext.h"
#include "db/Attachment.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/Formats.h"
#include "platform/RunFeedback.h"
#include "platform/ScriptedMessages.h"
#include "platform/Services.h"
#include "platform/TextFile.h"
#include "tabletools/ImportTabella.h"
#include "tabletools/ui/ModelloEditabile.h"
#include "tabletools/ui/TFormEdTab.h"

#include "support/Databases.h"
#include "support/ResultsFile.h"
#include "support/SilentFeedback.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace vardof;

namespace {

qint64 righe()
{
    const qint64 n = qEnvironmentVariableIntValue("VARDOF_BENCH_TABLETOOLS_ROWS");
    return n > 0 ? n : 1000000;
}

int giri()
{
    const int n = qEnvironmentVariableIntValue("VARDOF_BENCH_TABLETOOLS_ROUNDS");
    return n > 0 ? n : 3;
}

const char *kCreazione = "CREATE TABLE LISTINO (CODICE VARCHAR(15) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(60), "
                         "PREZZO DECIMAL(15,2), QTA INTEGER, DATA DATE, NOTE VARCHAR(40))";

struct Database
{
    QString path;
    db::Attachment att;
    std::unique_ptr<db::Transaction> tra;
    Database(const QString &p) : path(p)
    {
        QFile::remove(path);
        att.create(path, bench::login() << QStringLiteral("PAGE_SIZE 8192"));
        tra = std::make_unique<db::Transaction>(att);
        db::executeSql(*tra, QString::fromLatin1(kCreazione));
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

// The bare loop: the same reader, the same conversions, one prepared insert.
double bare(const QString &file, const QString &dbPath)
{
    Database d(dbPath);
    QElapsedTimer t;
    t.start();
    db::Statement ins(*d.tra, QStringLiteral("INSERT INTO LISTINO (CODICE, DESCRIZIONE, PREZZO, QTA, DATA, NOTE) "
                                             "VALUES (?, ?, ?, ?, ?, ?)"),
                      db::ParamStyle::AsWritten);
    platform::TextLineReader reader(64 * 1024);
    reader.open(file);
    QString riga;
    reader.readLine(riga);
    while (reader.readLine(riga)) {
        const QStringList f = riga.split(QLatin1Char(';'));
        ins.setParam(0, db::FieldValue(f[0]));
        ins.setParam(1, db::FieldValue(f[1]));
        ins.setParam(2, db::FieldValue(db::Value(*platform::strToFloat(f[2]))));
        ins.setParam(3, db::FieldValue(db::Value(qint64(*platform::strToInt(f[3])))));
        ins.setParam(4, db::FieldValue(db::Value(*platform::strToDate(f[4]))));
        ins.setParam(5, db::FieldValue(f[5]));
        ins.execute();
    }
    d.tra->commit();
    return t.elapsed() / 1000.0;
}

double nostro(const QString &file, const QString &dbPath)
{
    Database d(dbPath);
    QElapsedTimer t;
    t.start();
    tabletools::OpzioniImport o;
    o.tabella = QStringLiteral("LISTINO");
    o.file = file;
    bench::SilentFeedback fb;
    tabletools::TImportFile imp(*d.tra, o, fb);
    if (imp.VerificaImportazione() != 0 || imp.EseguiImportazione() != righe())
        std::fprintf(stderr, "import incompleto\n");
    return t.elapsed() / 1000.0;
}

constexpr int kRigheSchermo = 40;

double cursoreNudo(const QString &dbPath)
{
    db::Attachment att = db::Attachment::attach(dbPath, bench::login());
    db::Transaction tra(att);
    QElapsedTimer t;
    t.start();
    db::Statement st(tra, QStringLiteral("SELECT * FROM LISTINO"), db::ParamStyle::AsWritten);
    db::ResultSet rs = st.open();
    QString tutto;
    for (int r = 0; r < kRigheSchermo && rs.next(); ++r)
        for (int c = 0; c < rs.columnCount(); ++c)
            tutto += rs.text(c);
    const double ms = t.nsecsElapsed() / 1e6;
    return ms + (tutto.isEmpty() ? 1e9 : 0);
}

double primoSchermo(const QString &dbPath, const QString &dir)
{
    context::TTabForm contesto(dir + QLatin1Char('/'));
    contesto.database().connect(dbPath, bench::login());
    tabletools::TFormEdTab::setSceltaTabella([](tabletools::TFormEdTab &) {
        return std::optional<tabletools::TFormEdTab::Scelta>(tabletools::TFormEdTab::Scelta{QStringLiteral("LISTINO"), QString()});
    });
    tabletools::TFormEdTab w(&contesto, 1);
    QElapsedTimer t;
    t.start();
    w.ButtonSelezioneClick();
    QString tutto;
    for (int r = 0; r < kRigheSchermo && r < w.modello()->rowCount(); ++r)
        for (int c = 0; c < w.modello()->columnCount(); ++c)
            tutto += w.modello()->data(w.modello()->index(r, c)).toString();
    const double ms = t.nsecsElapsed() / 1e6;
    return ms + (tutto.isEmpty() ? 1e9 : 0);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setLibraryFormats();
    platform::ScopedServices servizi;
    QString results;
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--results")
            results = QString::fromLocal8Bit(argv[i + 1]);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("listino.csv"));
    bench::writeListino(file, righe(), true);

    std::vector<double> nudi, nostri;
    for (int g = 0; g < giri(); ++g) {
        nudi.push_back(bare(file, dir.filePath(QStringLiteral("bare.fdb"))));
        nostri.push_back(nostro(file, dir.filePath(QStringLiteral("nostro.fdb"))));
        std::printf("import round %d: bare %.2f s, ours %.2f s\n", g + 1, nudi.back(), nostri.back());
        std::fflush(stdout);
    }
    const double sNudo = bench::median(nudi), sNostro = bench::median(nostri);

    // One table of a million rows for the first screens.
    const QString grande = dir.filePath(QStringLiteral("grande.fdb"));
    {
        Database d(grande);
        tabletools::OpzioniImport o;
        o.tabella = QStringLiteral("LISTINO");
        o.file = file;
        bench::SilentFeedback fb;
        tabletools::TImportFile imp(*d.tra, o, fb);
        imp.VerificaImportazione();
        imp.EseguiImportazione();
        d.tra->commit();
        d.tra.reset();
        d.att.disconnect();
        d.path.clear();
        d.att = db::Attachment();
    }
    std::vector<double> cursori, schermi;
    for (int g = 0; g < 2 * giri() + 1; ++g) {
        cursori.push_back(cursoreNudo(grande));
        schermi.push_back(primoSchermo(grande, dir.path()));
        std::printf("first screen round %d: bare cursor %.1f ms, editor %.1f ms\n", g + 1, cursori.back(), schermi.back());
        std::fflush(stdout);
    }
    const double msCursore = bench::median(cursori), msSchermo = bench::median(schermi);
    const double limite = 2 * msCursore + 20;

    const QString n = QString::number(righe());
    QString md;
    md += QStringLiteral("## Table tools: table import and the editor's first screen\n\n");
    md += QStringLiteral("Machine: ") + bench::machineDescription()
          + QStringLiteral(". Embedded engine, RelWithDebInfo, PAGE_SIZE 8192, table LISTINO (CODICE VARCHAR(15) primary "
                           "key, DESCRIZIONE VARCHAR(60), PREZZO DECIMAL(15,2), QTA INTEGER, DATA DATE, NOTE "
                           "VARCHAR(40)), a \";\" file of ")
          + n
          + QStringLiteral(" lines after a header line, in the page cache. The bare loop reads the file through the same "
                           "buffered reader, converts the same fields and executes one prepared INSERT per line in one "
                           "transaction; ours is the whole run of the import window's engine (count pass, per-field "
                           "conversion by the catalogue's types, the commit), each on a fresh database. The first screens "
                           "are read on a table of ")
          + n
          + QStringLiteral(" rows: the bare cursor opens SELECT * and reads 40 rows as text; the editor is the window "
                           "(offscreen, already open) choosing the table, which reads the catalogue, opens its ordered grid "
                           "statement, sizes its columns and shows 40 rows; the row count of the status line follows the first screen. Medians of %1 "
                           "alternating import rounds and %2 first-screen rounds. Run: `build/bench/tabletools/"
                           "bench_tabletools --results bench/RESULTS.md`.\n\n")
                .arg(giri())
                .arg(2 * giri() + 1);
    md += QStringLiteral("| what | bare | ours | ratio | target |\n|---|---:|---:|---:|---:|\n");
    md += QStringLiteral("| table import, %1 lines (rows/s) | %2 | %3 | %4 | >= 0.8 |\n")
              .arg(n)
              .arg(qRound64(righe() / sNudo))
              .arg(qRound64(righe() / sNostro))
              .arg(QString::number(sNudo / sNostro, 'f', 2));
    md += QStringLiteral("| first screen on %1 rows (ms) | %2 | %3 | limit %4 ms | <= 2 x bare + 20 ms |\n")
              .arg(n)
              .arg(QString::number(msCursore, 'f', 1))
              .arg(QString::number(msSchermo, 'f', 1))
              .arg(QString::number(limite, 'f', 1));
    std::printf("%s", md.toUtf8().constData());
    if (!results.isEmpty() && !bench::writeSection(results, QStringLiteral("tabletools"), md))
        return 1;
    return 0;
}
