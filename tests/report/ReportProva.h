#pragma once

// What the report tests print with and look at: a measurer of fixed sizes,
// so that rows per page can be worked out by hand; a source of numbered
// rows that counts what it was asked for; the texts of a page; the page count of a PDF as
// pdfinfo reads it.

#include "output/report/Impaginatore.h"
#include "output/report/StampaReport.h"

#include <QProcess>
#include <QString>

namespace vardof::test {

// Every character 2 mm wide, every line 4 mm high: a column of display
// width w (2w mm, less 1 mm each side) takes w - 1 characters.
class MisuraFissa : public output::report::Misuratore
{
public:
    int larghezza(const QString &t, const output::report::FontModello &) override { return int(t.size()) * 2000; }
    int altezzaRiga(const output::report::FontModello &) override { return 4000; }
};

// `n` rows whose CODICE is 1 to n; counts the rows read, to see where a run
// stopped.
class Righe : public output::report::SorgenteStampa
{
public:
    explicit Righe(int n) : m_n(n) {}
    bool apri(QString *) override
    {
        m_i = 0;
        return true;
    }
    bool prossimo() override
    {
        if (m_i >= m_n)
            return false;
        ++m_i;
        ++lette;
        return true;
    }
    std::optional<output::report::ValoreReport> campo(const QString &nome) const override
    {
        if (nome == QLatin1String("CODICE"))
            return output::report::ValoreReport::diNumero(m_i, QString::number(m_i));
        return std::nullopt;
    }
    QStringList campiConTotale() const override { return {}; }

    int lette = 0;

protected:
    int corrente() const { return m_i; }

private:
    int m_n;
    int m_i = 0;
};

// The texts of a page, in the order they are drawn.
inline QStringList testi(const output::report::PaginaReport &p)
{
    QStringList out;
    for (const output::report::ElementoPagina &e : p.elementi)
        if (e.tipo == output::report::ElementoPagina::Testo)
            out << e.testo;
    return out;
}

// -1 when pdfinfo cannot read the file.
inline int pagineDelPdf(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    if (!p.waitForFinished(20000))
        return -1;
    for (const QString &r : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (r.startsWith(QLatin1String("Pages:")))
            return r.mid(6).trimmed().toInt();
    return -1;
}

} // namespace vardof::test
