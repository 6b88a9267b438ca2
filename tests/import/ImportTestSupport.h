#pragma once

// Shared pieces of the import tests: the tables a price-list import meets,
// data and script files written as the office programs write them, and a
// sink that records what the run shows and answers its questions.

#include "import/ImportRun.h"
#include "import/ScriptLoader.h"

#include "support/FbFixture.h"

#include <QRegularExpression>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <ostream>

// Readable values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << "{\n";
    for (const QString &s : l)
        *os << "  \"" << s.toStdString() << "\"\n";
    *os << "}";
}

namespace vardof::importcsv::test {

// CP1252 bytes with CR LF line ends.
void scriviFile(const QString &path, const QStringList &righe);
void scriviByte(const QString &path, const QByteArray &bytes);

// "- 14:03:07: x" -> "- {ora}: x", so that expected lines can be written.
QStringList senzaOra(const QStringList &righe);

// "CODICE{00}" -> "CODICE" followed by U+0000: control characters written
// readably in tables of cases.
QString conControlli(const char *testo);

// Runs `f` on a thread of its own and gives its result; when none comes in
// `secondi` the test program ends at once (a reader that stopped consuming
// its input would otherwise run until the machine is out of memory).
template <class F>
auto entroSecondi(int secondi, F &&f)
{
    auto futuro = std::async(std::launch::async, std::forward<F>(f));
    if (futuro.wait_for(std::chrono::seconds(secondi)) != std::future_status::ready) {
        std::fprintf(stderr, "Nessuna risposta in %d secondi: ciclo senza fine\n", secondi);
        std::fflush(stderr);
        std::_Exit(3);
    }
    return futuro.get();
}

class RecordingSink : public platform::RunFeedback, public FasiImport
{
public:
    void line(const QString &testo) override;
    void inizio() override { ++avvii; }
    void fine() override { ++fini; }
    void mostraAvanzamento(bool visibile) override { avanzamentoVisibile = visibile; }
    void progress(int percento) override { percentuali << percento; }
    void keepAlive() override { ++eventi; }
    bool interruptRequested() override;
    // Yes/No: "conferma: " or, with a warning icon, "domanda: "; the rest
    // "avviso: ", "errore: ", "informazione: ".
    platform::Answer ask(platform::MessageKind kind, const QString &testo, platform::Buttons buttons) override;

    // Asks to stop before the n-th line (from 1) read after the log line
    // `dopo` was written.
    void interrompiDopo(const QString &dopo, int n);
    // Called with every line written, after it is recorded.
    std::function<void(const QString &)> suRiga;

    QStringList righe;          // MemoRiepilogo, time stamps kept
    QStringList messaggi;       // every box, "kind: text"
    std::deque<bool> risposte;  // answers to questions; Yes when empty
    QList<int> percentuali;
    int eventi = 0;
    int avvii = 0;
    int fini = 0;
    bool avanzamentoVisibile = false;

private:
    bool risposta();
    QString m_dopo;
    int m_n = 0;
    int m_contati = -1;
};

class ImportFixture : public vardof::test::FbFixture
{
protected:
    void SetUp() override;

    QString file(const QString &nome) const { return m_dir.file(nome); }
    // Writes data file and script beside it, loads the script.
    CaricamentoScript carica(const QStringList &script, const QStringList &dati, const QString &nome = QStringLiteral("dati.csv"));
    EsitoImport esegui(const CaricamentoScript &c, bool saltaPrimaRiga = false, const QString &nome = QStringLiteral("dati.csv"));
    // Rows of a query, each as "v1|v2|..." with the library's text of values.
    QStringList righe(const QString &sql);

    RecordingSink sink;
    ContatoriImport contatori;
};

} // namespace vardof::importcsv::test
