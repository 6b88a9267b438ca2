// A 6-column answer printed to PDF: our engine (layout written and read
// back, paginator, drawing page by page) against the naive Qt way (the
// rows as one HTML table in a QTextDocument printed to a QPdfWriter).
// Each measurement runs in a child process of its own, so its peak
// resident memory (VmHWM) is its own. The rows are generated, the same for
// both, so the figures are the printing alone.
//
//   bench_report [--righe N] [--giri R] [--results bench/RESULTS.md]

#include "support/ResultsFile.h"

#include "output/report/LayoutLst.h"
#include "output/report/StampaReport.h"

#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>
#include <ctime>

using namespace vardof::output::report;

namespace {

QString nome(int i) { return QStringLiteral("Cliente numero %1 S.r.l.").arg(i); }
QString citta(int i) { return i % 3 == 0 ? QStringLiteral("Forlì") : i % 3 == 1 ? QStringLiteral("Bolzano") : QStringLiteral("Pavia"); }
double importo(int i) { return i * 12.5 + (i % 7) * 0.25; }
QString data(int i) { return QDate(2024, 1, 1).addDays(i % 366).toString(QStringLiteral("dd/MM/yyyy")); }

class Generate : public SorgenteStampa
{
public:
    explicit Generate(int n) : m_n(n) {}
    bool apri(QString *) override { m_i = 0; return true; }
    bool prossimo() override { return ++m_i <= m_n; }
    std::optional<ValoreReport> campo(const QString &c) const override
    {
        if (c == QLatin1String("CODICE")) return ValoreReport::diNumero(m_i, QString::number(m_i));
        if (c == QLatin1String("NOME")) return ValoreReport::diTesto(nome(m_i));
        if (c == QLatin1String("CITTA")) return ValoreReport::diTesto(citta(m_i));
        if (c == QLatin1String("DATA")) return ValoreReport::diTesto(data(m_i));
        if (c == QLatin1String("IMPORTO")) return ValoreReport::diNumero(importo(m_i), QString());
        if (c == QLatin1String("PEZZI")) return ValoreReport::diNumero(m_i % 100, QString::number(m_i % 100));
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return {QStringLiteral("IMPORTO"), QStringLiteral("PEZZI")}; }

private:
    int m_n, m_i = 0;
};

qint64 vmHwmKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &r : f.readAll().split('\n'))
        if (r.startsWith("VmHWM:"))
            return r.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

double cpuMs()
{
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

// One measurement; prints "wall_ms cpu_ms pages peak_kb bytes".
int figlio(const QString &modo, int righe, const QString &file)
{
    QElapsedTimer t;
    t.start();
    int pagine = 0;
    if (modo == QLatin1String("nostro")) {
        OpzioniLayoutAvanzato o;
        o.campi = o.colonneGriglia = {CampoLayout{QStringLiteral("CODICE"), TipoCampo::Intero, 0, 7, 0},
                                      CampoLayout{QStringLiteral("NOME"), TipoCampo::Testo, 0, 30, 0},
                                      CampoLayout{QStringLiteral("CITTA"), TipoCampo::Testo, 0, 10, 0},
                                      CampoLayout{QStringLiteral("DATA"), TipoCampo::Data, 0, 10, 0},
                                      CampoLayout{QStringLiteral("IMPORTO"), TipoCampo::Virgola, 0, 14, 11},
                                      CampoLayout{QStringLiteral("PEZZI"), TipoCampo::Intero, 0, 6, 12}};
        const auto m = LeggiLayout(CreaFileLSTAvanzato(o));
        Generate g(righe);
        const DatiStampa d{QStringLiteral("Clienti"), QStringLiteral("Tutti"), true};
        QString e;
        if (!ScriviPdf(file, *m,
                       [&](Misuratore &mis, const Impaginatore::Consegna &c, int, QString *err, int *n) {
                           return StampaAvanzata(*m, g, d, mis, c, nullptr, err, n);
                       },
                       &e, &pagine)) {
            std::fprintf(stderr, "%s\n", qPrintable(e));
            return 1;
        }
    } else {
        QString html = QStringLiteral("<h3>Clienti</h3><p>Tutti</p><table border=1 cellspacing=0 cellpadding=2 width=100%>"
                                      "<thead><tr><th>CODICE</th><th>NOME</th><th>CITTA</th><th>DATA</th><th>IMPORTO</th>"
                                      "<th>PEZZI</th></tr></thead>");
        double tot = 0, pezzi = 0;
        for (int i = 1; i <= righe; ++i) {
            tot += importo(i);
            pezzi += i % 100;
            html += QStringLiteral("<tr><td align=right>%1</td><td>%2</td><td>%3</td><td>%4</td><td align=right>%5</td>"
                                   "<td align=right>%6</td></tr>")
                        .arg(i).arg(nome(i), citta(i), data(i), formattaMaschera(importo(i), QStringLiteral("---,---,---,--&.##")))
                        .arg(i % 100);
        }
        html += QStringLiteral("<tr><td></td><td></td><td></td><td></td><td align=right><b>%1</b></td><td align=right><b>%2</b></td></tr></table>")
                    .arg(formattaMaschera(tot, QStringLiteral("---,---,---,--&.##")), formattaMaschera(pezzi, QStringLiteral("---,---,---,---")));
        QPdfWriter pdf(file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(600);
        QTextDocument doc;
        QFont f(QStringLiteral("Arial"));
        f.setPointSize(8);
        doc.setDefaultFont(f);
        doc.setHtml(html);
        html.clear();
        doc.print(&pdf);
        pagine = doc.pageCount();
    }
    const qint64 wall = t.elapsed();
    std::printf("%lld %.0f %d %lld %lld\n", static_cast<long long>(wall), cpuMs(), pagine,
                static_cast<long long>(vmHwmKb()), static_cast<long long>(QFileInfo(file).size()));
    return 0;
}

struct Misura { double wall = 0, cpu = 0; int pagine = 0; qint64 picco = 0; qint64 byte = 0; };

Misura misura(const QString &programma, const QString &modo, int righe, const QString &file)
{
    QProcess p;
    p.start(programma, {QStringLiteral("--figlio"), modo, QString::number(righe), file});
    p.waitForFinished(-1);
    const QStringList v = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    Misura m;
    if (v.size() == 5) {
        m.wall = v[0].toDouble();
        m.cpu = v[1].toDouble();
        m.pagine = v[2].toInt();
        m.picco = v[3].toLongLong();
        m.byte = v[4].toLongLong();
    } else {
        std::fprintf(stderr, "%s: %s\n", qPrintable(modo), p.readAllStandardError().constData());
    }
    // The pages of the file itself (QTextDocument counts its own layout).
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    if (info.waitForFinished(60000))
        for (const QString &r : QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (r.startsWith(QLatin1String("Pages:")))
                m.pagine = r.mid(6).trimmed().toInt();
    QFile::remove(file);
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.value(1) == QLatin1String("--figlio"))
        return figlio(a.value(2), a.value(3).toInt(), a.value(4));
    int righe = 100000, giri = 3;
    QString risultati;
    for (int i = 1; i < a.size(); ++i) {
        if (a[i] == QLatin1String("--righe")) righe = a.value(++i).toInt();
        else if (a[i] == QLatin1String("--giri")) giri = a.value(++i).toInt();
        else if (a[i] == QLatin1String("--results")) risultati = a.value(++i);
    }
    QTemporaryDir tmp;
    QString tabella = QStringLiteral("| what | rows | pages | wall ms | processor ms | pages per second (processor) | peak KB | PDF bytes |\n|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (int n : {righe / 10, righe}) {
        std::vector<double> wn, cn, wh, ch;
        Misura ultimoN, ultimoH;
        for (int g = 0; g < giri; ++g) {
            ultimoN = misura(app.applicationFilePath(), QStringLiteral("nostro"), n, tmp.filePath(QStringLiteral("n.pdf")));
            ultimoH = misura(app.applicationFilePath(), QStringLiteral("html"), n, tmp.filePath(QStringLiteral("h.pdf")));
            wn.push_back(ultimoN.wall); cn.push_back(ultimoN.cpu);
            wh.push_back(ultimoH.wall); ch.push_back(ultimoH.cpu);
        }
        auto riga = [&](const char *cosa, const Misura &m, double w, double c) {
            tabella += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 |\n")
                           .arg(QLatin1String(cosa)).arg(n).arg(m.pagine).arg(w, 0, 'f', 0).arg(c, 0, 'f', 0)
                           .arg(c > 0 ? m.pagine * 1000.0 / c : 0, 0, 'f', 1).arg(m.picco).arg(m.byte);
        };
        riga("our engine: layout, paginator, page by page to QPdfWriter", ultimoN, vardof::bench::median(wn), vardof::bench::median(cn));
        riga("naive Qt: one HTML table in QTextDocument, print() to QPdfWriter", ultimoH, vardof::bench::median(wh), vardof::bench::median(ch));
        std::printf("%s", qPrintable(tabella));
        std::fflush(stdout);
    }
    const QString testo = QStringLiteral("## Report engine: a 6-column answer to PDF\n\nMachine: ") + vardof::bench::machineDescription()
                          + QStringLiteral(". Generated rows (integer, text, text with accents, date, amount totalled with two decimals, "
                                           "integer totalled), A4 portrait, 600 dpi; each measurement in a child process of its own "
                                           "(peak resident memory VmHWM); median of %1 rounds. Run: `build/bench/report/bench_report "
                                           "--results bench/RESULTS.md`.\n\n").arg(giri)
                          + tabella;
    if (!risultati.isEmpty())
        vardof::bench::writeSection(risultati, QStringLiteral("report"), testo);
    return 0;
}
