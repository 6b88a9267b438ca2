#include "output/report/ui/StampaQuery.h"

#include "output/PagineTesto.h"
#include "output/report/StampaRisposta.h"
#include "output/report/ui/FinestraAnteprima.h"
#include "output/report/ui/FinestraDisegno.h"
#include "output/report/ui/TTitStForm.h"
#include "platform/Messages.h"
#include "platform/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QCheckBox>

namespace vardof::output::report {

namespace {

// Between prints while the query window is open.
class StatoStampaQuery : public QObject
{
public:
    explicit StatoStampaQuery(QObject *owner) : QObject(owner) { setObjectName(QStringLiteral("StatoStampaQuery")); }
    bool corrente = false;
    int tipo = 0;
    QByteArray firma; // what the temporary layout was written from
};

class FeedbackStampa : public platform::RunFeedback
{
public:
    void line(const QString &) override {}
    void progress(int) override {}
    bool interruptRequested() override { return false; }
    platform::Answer ask(platform::MessageKind kind, const QString &text, platform::Buttons buttons) override
    {
        if (buttons == platform::Buttons::Ok) {
            kind == platform::Error ? platform::error(text) : platform::information(text);
            return platform::Answer::Ok;
        }
        return platform::confirm(text) ? platform::fitAnswer(buttons, platform::Answer::Yes)
                                       : platform::fitAnswer(buttons, platform::Answer::No);
    }
};

bool scriviLayout(const QString &file, const QByteArray &testo)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    platform::OutputFile f(file);
    if (!f.open() || !f.write(testo) || !f.commit()) {
        platform::error(QStringLiteral("Errore di scrittura del file ") + file + QStringLiteral(":\r") + f.errorString());
        return false;
    }
    return true;
}

std::optional<ModelloReport> leggiPerStampa(const QString &file)
{
    QFile f(file);
    if (!f.exists()) {
        platform::warning(QStringLiteral("Attenzione: file ") + file + QStringLiteral(" non trovato, impossibile continuare"));
        return std::nullopt;
    }
    std::optional<ModelloReport> m;
    if (f.open(QIODevice::ReadOnly))
        m = LeggiLayout(f.readAll());
    if (!m)
        platform::warning(QStringLiteral("Attenzione: il file ") + file
                          + QStringLiteral(" non è un report valido per questa query\r\nSugg.: controllare i campi con totali alla fine."));
    return m;
}

void mostra(QWidget *owner, ContestoStampa &c, const QString &titolo, const ModelloReport &m, const Corsa &corsa,
            const QString &file)
{
    FinestraAnteprima anteprima(owner, titolo, m, corsa);
    if (anteprima.errore() == testoStampaInterrotta())
        return;
    if (!anteprima.errore().isEmpty()) {
        platform::warning(QStringLiteral("Attenzione: il file ") + file
                          + QStringLiteral(" non è un report valido per questa query\r\nSugg.: controllare i campi con totali alla fine.")
                          + QStringLiteral("\r") + anteprima.errore());
        return;
    }
    if (c.esegui)
        c.esegui(anteprima);
    else
        anteprima.exec();
}

// The temporary advanced layout for the answer, written unless what is
// there was written from the same answer and options (then the changes
// made to it in the designer stay). False once the failure is told.
bool layoutTemporaneoAvanzato(ContestoStampa &c, StatoStampaQuery &stato, const QString &temporaneo,
                              const OpzioniStampaRisposta &o)
{
    QString motivo;
    const QByteArray testo = layoutAvanzatoRisposta(c.risposta, o, &motivo);
    if (testo.isEmpty()) {
        platform::error(QStringLiteral("Errore nella lettura della risposta:\r") + motivo);
        return false;
    }
    if (stato.corrente && stato.tipo == 0 && stato.firma == testo && QFile::exists(temporaneo))
        return true;
    if (!scriviLayout(temporaneo, testo))
        return false;
    stato.corrente = true;
    stato.tipo = 0;
    stato.firma = testo;
    return true;
}

// "Edita report": our designer on the named layout, or on the temporary
// layout of the chosen kind (written first when it is not current). A
// named layout that does not exist yet is made from the standard one when
// the user wants it; an existing one is only ever written by the designer.
void editaReport(QWidget *owner, ContestoStampa &c, StatoStampaQuery &stato, const QString &bin, int tipo,
                 const QString &nome, const OpzioniStampaRisposta &o)
{
    if (tipo == 2)
        return;
    const QString temporaneo = bin + QStringLiteral("Report/QMTTemp.lst");
    QString file = temporaneo;
    if (!nome.isEmpty()) {
        file = bin + QStringLiteral("Report/") + nome + QStringLiteral(".lst");
        if (!QFile::exists(file)) {
            if (!platform::confirm(QStringLiteral("Report ") + file
                                   + QStringLiteral(" non trovato. Crearlo dai tracciati standard?")))
                return;
            QString motivo;
            const QByteArray testo = tipo == 0 ? layoutAvanzatoRisposta(c.risposta, o, &motivo) : CreaFileLSTStandard(o.font);
            if (testo.isEmpty()) {
                platform::error(QStringLiteral("Errore nella lettura della risposta:\r") + motivo);
                return;
            }
            if (!scriviLayout(file, testo))
                return;
        }
    } else if (tipo == 0) {
        if (stato.tipo != 0)
            stato.corrente = false;
        if (!layoutTemporaneoAvanzato(c, stato, temporaneo, o))
            return;
    } else {
        if (stato.tipo != 1)
            stato.corrente = false;
        if (!stato.corrente || !QFile::exists(temporaneo)) {
            if (!scriviLayout(temporaneo, CreaFileLSTStandard(o.font)))
                return;
            stato.corrente = true;
            stato.tipo = 1;
            stato.firma.clear();
        }
    }
    FinestraDisegno::Anteprima anteprima;
    if (tipo == 0)
        anteprima = [&c, o, file](QWidget *sopra, const ModelloReport &m) {
            SorgenteRisposta sorgente(c.risposta);
            FeedbackStampa feedback;
            mostra(sopra, c, QStringLiteral("Anteprima di stampa"), m,
                   [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali, QString *e, int *n) {
                       DatiStampa d = o.dati;
                       d.pagineTotali = totali;
                       return StampaAvanzata(m, sorgente, d, misura, consegna, &feedback, e, n);
                   },
                   file);
        };
    ApriDisegno(owner, file, anteprima, c.esegui);
}

} // namespace

QString cartellaBinStampa(const QString &dirBin)
{
    QString d = dirBin.trimmed();
    while (d.endsWith(QLatin1Char('\\')) || d.endsWith(QLatin1Char('/')))
        d.chop(1);
    if (d.isEmpty() || d.compare(QLatin1String("C:\\WINDOWS"), Qt::CaseInsensitive) == 0)
        d = QDir::currentPath();
    return d + QLatin1Char('/');
}

void ButtonStampaClick(QWidget *owner, ContestoStampa &c)
{
    auto *stato = owner->findChild<StatoStampaQuery *>(QStringLiteral("StatoStampaQuery"), Qt::FindDirectChildrenOnly);
    if (!stato)
        stato = new StatoStampaQuery(owner);
    const QString bin = cartellaBinStampa(c.dirBin);
    const QString temporaneo = bin + QStringLiteral("Report/QMTTemp.lst");

    TTitStForm opzioni(owner, c.ditta, bin, c.fileImpostazioni);
    opzioni.EditTitolo->setText(titoloStampa(c.ditta, c.tabella));
    opzioni.setFontGriglia(c.fontGriglia);
    auto opzioniScelte = [&]() {
        OpzioniStampaRisposta o;
        o.dati = DatiStampa{opzioni.EditTitolo->text(), opzioni.EditNoteDefault->text(),
                            opzioni.CheckNumeraPagine->isChecked()};
        o.orizzontale = opzioni.orizzontale();
        o.memoEstesi = opzioni.CheckStampaMemoEstesi->isChecked();
        o.font = opzioni.fontStampa();
        o.unRecord = c.unRecord;
        return o;
    };
    opzioni.editaReport = [&]() { editaReport(&opzioni, c, *stato, bin, opzioni.tipoStampa(),
                                              opzioni.EditNomeReport->text().trimmed(), opzioniScelte()); };
    const int esito = c.esegui ? c.esegui(opzioni) : opzioni.exec();
    if (esito != QDialog::Accepted)
        return;
    const int tipo = opzioni.tipoStampa();
    if (tipo != stato->tipo)
        stato->corrente = false;

    const OpzioniStampaRisposta o = opzioniScelte();
    const QString nome = opzioni.EditNomeReport->text().trimmed();

    if (tipo == 0) {
        QString file = temporaneo;
        auto scriviTemporaneo = [&]() { return layoutTemporaneoAvanzato(c, *stato, temporaneo, o); };
        if (!nome.isEmpty()) {
            file = bin + QStringLiteral("Report/") + nome + QStringLiteral(".lst");
            if (!QFile::exists(file)) {
                if (!platform::confirm(QStringLiteral("Report di tipo LST non trovato. Stampo con tracciati standard?")))
                    return;
                file = temporaneo;
                stato->corrente = false;
                if (!scriviTemporaneo())
                    return;
            }
        } else if (!scriviTemporaneo()) {
            return;
        }
        const auto m = leggiPerStampa(file);
        if (m) {
            SorgenteRisposta sorgente(c.risposta);
            FeedbackStampa feedback;
            mostra(owner, c, QStringLiteral("Anteprima di stampa"), *m,
                   [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali, QString *e, int *n) {
                       DatiStampa d = o.dati;
                       d.pagineTotali = totali;
                       return StampaAvanzata(*m, sorgente, d, misura, consegna, &feedback, e, n);
                   },
                   file);
        }
        QFile::remove(QDir(c.dirLavoro).filePath(QStringLiteral("Stampe/QMTTemp.lst")));
        stato->corrente = false;
        return;
    }

    // The simple kinds: the text pages first.
    OpzioniPagine p;
    p.titolo = o.dati.titolo;
    p.note = o.dati.note;
    p.numerazione = o.dati.numeraPagine;
    p.memoEstesi = o.memoEstesi;
    p.righePerPagina = opzioni.EditNumeroRigheStQuery->text().toInt();
    FeedbackStampa feedback;
    QString motivo;
    auto pagine = GeneraPagineRisposta(c.risposta, p, c.ditta, c.dirLavoro, feedback, &motivo);
    if (!pagine) {
        platform::error(QStringLiteral("Errore nella preparazione delle pagine di stampa:\r") + motivo);
        return;
    }
    std::vector<std::pair<int, QString>> righe;
    for (const QVariantList &r : pagine->tabellaRighe()->rows({QStringLiteral("NumeroPagina"), QStringLiteral("NumeroRiga")}))
        righe.push_back({r.value(0).toInt(), r.value(3).toString()});

    QString file = temporaneo;
    if (tipo == 1 && !nome.isEmpty()) {
        file = bin + QStringLiteral("Report/") + nome + QStringLiteral(".lst");
    } else {
        // The quick kind offers no font: its pages are lined up in
        // characters, which only a fixed-pitch font keeps in columns.
        FontStampa font = o.font;
        if (tipo == 2) {
            font.nome = QStringLiteral("Courier New");
            font.punti = 8;
            font.grassetto = font.corsivo = font.sottolineato = font.barrato = false;
        }
        if (!scriviLayout(temporaneo, CreaFileLSTStandard(font)))
            return;
        stato->corrente = true;
        stato->tipo = 1;
        stato->firma.clear();
    }
    const auto m = leggiPerStampa(file);
    if (!m)
        return;
    mostra(owner, c, tipo == 2 ? QStringLiteral("STAMPA QUERY") : QStringLiteral("Anteprima di stampa"), *m,
           [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int, QString *e, int *n) {
               return StampaSemplice(*m, righe, misura, consegna, e, n);
           },
           file);
}

} // namespace vardof::output::report
