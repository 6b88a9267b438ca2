#include "output/report/StampaReport.h"

#include "db/Error.h"
#include "platform/OutputFile.h"

#include <QFontMetricsF>
#include <QIODevice>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

namespace vardof::output::report {

// ---- the answer as a source --------------------------------------------------

ValoreReport valoreDi(const db::FieldValue &v, const db::Column &c)
{
    if (!v)
        return ValoreReport::diTesto(QString());
    if (c.isNumeric() || c.scale > 0) {
        const double n = db::toDouble(*v).value_or(0.0);
        return ValoreReport::diNumero(n, db::toText(v));
    }
    if (c.typeCode == db::TypeDate || c.typeCode == db::TypeTimestamp) {
        ValoreReport r;
        r.tipo = ValoreReport::Data;
        r.testo = db::toText(v);
        if (const auto *d = std::get_if<QDate>(&*v))
            r.data = *d;
        else if (const auto *dt = std::get_if<QDateTime>(&*v))
            r.data = dt->date();
        return r;
    }
    QString t = db::toText(v);
    if (c.typeCode == db::TypeBlob)
        t = rtfInChiaro(t);
    return ValoreReport::diTesto(t);
}

SorgenteRisposta::SorgenteRisposta(const RispostaDaEsportare &risposta) : m_risposta(risposta) {}
SorgenteRisposta::~SorgenteRisposta() = default;

bool SorgenteRisposta::apri(QString *errore)
{
    try {
        m_cursore = std::make_unique<CursoreRisposta>(m_risposta);
        m_cursore->apri();
        return true;
    } catch (const db::Error &e) {
        if (errore)
            *errore = e.message();
        m_cursore.reset();
        return false;
    }
}

bool SorgenteRisposta::prossimo()
{
    return m_cursore && m_cursore->prossima();
}

std::optional<ValoreReport> SorgenteRisposta::campo(const QString &nome) const
{
    if (!m_cursore)
        return std::nullopt;
    const auto &col = m_cursore->colonne();
    for (int i = 0; i < int(col.size()); ++i) {
        const QString n = col[size_t(i)].alias.isEmpty() ? col[size_t(i)].name : col[size_t(i)].alias;
        if (n.compare(nome, Qt::CaseInsensitive) == 0)
            return valoreDi(m_cursore->valore(i), col[size_t(i)]);
    }
    return std::nullopt;
}

QStringList SorgenteRisposta::campiConTotale() const
{
    QStringList out;
    if (!m_cursore)
        return out;
    for (const CampoEsportato &c : m_cursore->campi())
        if (conTotale(c.codice) && eNumerico(m_cursore->colonne()[size_t(c.colonna)]))
            out << c.nome;
    return out;
}

qint64 SorgenteRisposta::quanti()
{
    try {
        return m_cursore ? m_cursore->conta() : -1;
    } catch (const db::Error &) {
        return -1;
    }
}

const std::vector<CampoEsportato> &SorgenteRisposta::campi() const
{
    static const std::vector<CampoEsportato> nessuno;
    return m_cursore ? m_cursore->campi() : nessuno;
}

const std::vector<db::Column> &SorgenteRisposta::colonne() const
{
    static const std::vector<db::Column> nessuna;
    return m_cursore ? m_cursore->colonne() : nessuna;
}

// ---- runs --------------------------------------------------------------------

bool StampaAvanzata(const ModelloReport &modello, SorgenteStampa &sorgente, const DatiStampa &dati,
                    Misuratore &misura, const Impaginatore::Consegna &consegna, platform::RunFeedback *feedback,
                    QString *errore, int *pagine)
{
    if (!sorgente.apri(errore))
        return false;
    const qint64 quanti = feedback ? sorgente.quanti() : -1;
    QStringList conTotale = sorgente.campiConTotale();
    // A total asked for in the designer is kept like those of the answer.
    if (modello.conRigaTotali) {
        static const QRegularExpression reTotale(QStringLiteral("Totale\\.([A-Za-z0-9_@$]+)"),
                                                 QRegularExpression::CaseInsensitiveOption);
        for (const ColonnaModello &c : modello.totali.colonne)
            for (auto it = reTotale.globalMatch(c.espressione); it.hasNext();)
                conTotale << it.next().captured(1);
    }
    std::map<QString, double> totali;
    for (const QString &n : conTotale)
        totali[n.toUpper()] = 0;
    bool suRecord = true;

    Impaginatore imp(modello, misura, consegna);
    if (dati.pagineTotali > 0)
        imp.pagineTotali(dati.pagineTotali);
    imp.nomi([&](const QString &nome) -> std::optional<ValoreReport> {
        if (nome == QLatin1String("Titolo"))
            return ValoreReport::diTesto(dati.titolo);
        if (nome == QLatin1String("Note"))
            return ValoreReport::diTesto(dati.note);
        if (nome == QLatin1String("NumeraPagine"))
            return ValoreReport::diTesto(dati.numeraPagine ? QStringLiteral("Si") : QStringLiteral("No"));
        if (nome == QLatin1String("TipoRiga"))
            return ValoreReport::diTesto(suRecord ? QStringLiteral("DETTAGLI") : QStringLiteral("TOTALI"));
        if (nome.startsWith(QLatin1String("Totale."), Qt::CaseInsensitive)) {
            auto it = totali.find(nome.mid(7).toUpper());
            if (it != totali.end())
                return ValoreReport::diNumero(it->second, QString::number(it->second, 'f', 2));
        }
        // Past the last record the fields read as empty: the cursor is spent.
        if (!suRecord)
            return ValoreReport::diTesto(QString());
        return sorgente.campo(nome);
    });

    qint64 n = 0;
    while (sorgente.prossimo()) {
        ++n;
        for (auto &[nome, totale] : totali)
            if (auto v = sorgente.campo(nome))
                totale += v->numero;
        if (!imp.dettaglio()) {
            if (errore)
                *errore = imp.errore();
            return false;
        }
        if (feedback) {
            if (quanti > 0)
                feedback->step(n, quanti);
            else if (n % 256 == 0)
                feedback->keepAlive();
            if (feedback->interruptRequested()) {
                if (errore)
                    *errore = testoStampaInterrotta();
                return false;
            }
        }
    }
    if (!totali.empty()) {
        suRecord = false;
        if (!imp.totali()) {
            if (errore)
                *errore = imp.errore();
            return false;
        }
    }
    imp.fine();
    if (pagine)
        *pagine = imp.pagine();
    return true;
}

bool StampaSemplice(const ModelloReport &modello, const std::vector<std::pair<int, QString>> &righe,
                    Misuratore &misura, const Impaginatore::Consegna &consegna, QString *errore, int *pagine)
{
    const std::pair<int, QString> *corrente = nullptr;
    Impaginatore imp(modello, misura, consegna);
    imp.nomi([&](const QString &nome) -> std::optional<ValoreReport> {
        if (nome == QLatin1String("Descrizione"))
            return ValoreReport::diTesto(corrente ? corrente->second : QString());
        if (nome == QLatin1String("NumeroPagina"))
            return ValoreReport::diNumero(corrente ? corrente->first : 0, QString::number(corrente ? corrente->first : 0));
        return std::nullopt;
    });
    int pagina = -1;
    for (const auto &r : righe) {
        if (pagina != -1 && r.first != pagina)
            imp.interrompiPagina();
        pagina = r.first;
        corrente = &r;
        if (!imp.dettaglio()) {
            if (errore)
                *errore = imp.errore();
            return false;
        }
    }
    imp.fine();
    if (pagine)
        *pagine = imp.pagine();
    return true;
}

bool StampaRighe(const ModelloReport &modello, SorgenteStampa &sorgente, const DatiStampa &dati, Misuratore &misura,
                 const Impaginatore::Consegna &consegna, QString *errore, int *pagine)
{
    if (!sorgente.apri(errore))
        return false;
    Impaginatore imp(modello, misura, consegna);
    if (dati.pagineTotali > 0)
        imp.pagineTotali(dati.pagineTotali);
    imp.nomi([&](const QString &nome) { return sorgente.campo(nome); });
    while (sorgente.prossimo())
        if (!imp.dettaglio()) {
            if (errore)
                *errore = imp.errore();
            return false;
        }
    imp.fine();
    if (pagine)
        *pagine = imp.pagine();
    return true;
}

// ---- drawing -------------------------------------------------------------------

namespace {

QFont fontQt(const FontModello &f)
{
    QFont q(f.nome);
    // Where no Courier is installed the stand-in must still be fixed-pitch,
    // or the text pages lose their columns.
    if (f.nome.startsWith(QLatin1String("Courier"), Qt::CaseInsensitive))
        q.setStyleHint(QFont::TypeWriter);
    q.setPointSizeF(f.punti);
    q.setBold(f.grassetto);
    q.setItalic(f.corsivo);
    q.setUnderline(f.sottolineato);
    q.setStrikeOut(f.barrato);
    return q;
}

double unitaPerPixel(const QPaintDevice *d)
{
    return 25400.0 / double(d->logicalDpiX());
}

} // namespace

MisuratoreDispositivo::MisuratoreDispositivo(QPaintDevice *dispositivo) : m_dispositivo(dispositivo) {}

int MisuratoreDispositivo::larghezza(const QString &testo, const FontModello &font)
{
    QFontMetricsF m(fontQt(font), m_dispositivo);
    return int(std::ceil(m.horizontalAdvance(testo) * unitaPerPixel(m_dispositivo)));
}

int MisuratoreDispositivo::altezzaRiga(const FontModello &font)
{
    QFontMetricsF m(fontQt(font), m_dispositivo);
    return int(std::ceil(m.height() * unitaPerPixel(m_dispositivo)));
}

QPageLayout layoutPagina(const ModelloReport &m)
{
    const double w = m.larghezzaPagina / 1000.0, h = m.altezzaPagina / 1000.0;
    const QSizeF mm = m.orizzontale ? QSizeF(std::min(w, h), std::max(w, h)) : QSizeF(w, h);
    QPageSize formato(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(formato, m.orizzontale ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

Disegnatore::Disegnatore(QPainter &pittore, QPagedPaintDevice &dispositivo)
    : m_pittore(pittore), m_dispositivo(dispositivo)
{
}

void Disegnatore::disegna(const PaginaReport &pagina)
{
    if (!m_prima)
        m_dispositivo.newPage();
    m_prima = false;
    DisegnaPagina(m_pittore, pagina, 1.0 / unitaPerPixel(&m_dispositivo));
}

void DisegnaPagina(QPainter &pittore, const PaginaReport &pagina, double s)
{
    auto px = [&](const QRect &r) {
        return QRectF(r.left() * s, r.top() * s, r.width() * s, r.height() * s);
    };
    QPen penna(Qt::black);
    penna.setWidthF(std::max(1.0, 150 * s)); // 0.15 mm
    for (const ElementoPagina &e : pagina.elementi) {
        if (e.tipo == ElementoPagina::Linea) {
            pittore.setPen(penna);
            pittore.drawLine(QPointF(e.rect.left() * s, e.rect.top() * s),
                               QPointF((e.rect.left() + e.rect.width() - 1) * s, (e.rect.top() + e.rect.height() - 1) * s));
            continue;
        }
        pittore.setFont(fontQt(e.font));
        pittore.setPen(QColor(e.font.rosso, e.font.verde, e.font.blu));
        const Qt::Alignment a = e.allinea == 2 ? Qt::AlignRight : e.allinea == 1 ? Qt::AlignHCenter : Qt::AlignLeft;
        pittore.drawText(px(e.rect), int(a | Qt::AlignVCenter | Qt::TextSingleLine), e.testo);
    }
}

namespace {

// QPdfWriter writes through this into the output file.
class DispositivoUscita : public QIODevice
{
public:
    explicit DispositivoUscita(platform::OutputFile &f) : m_file(f) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override { return m_file.write(data, len) ? len : -1; }

private:
    platform::OutputFile &m_file;
};

} // namespace

namespace {

// Ends a preview's run once the pages it wanted are made.
struct BastaPagine
{
};

} // namespace

CachePagine::CachePagine(Corsa corsa, bool serveTotale, int capienza)
    : m_corsa(std::move(corsa)), m_capienza(std::max(1, capienza)), m_serveTotale(serveTotale)
{
}

bool CachePagine::corri(int da, int a, Misuratore &misura, QString *errore, const std::function<void()> &ogniPagina,
                        int *contate)
{
    ++m_corse;
    m_tenute.clear();
    auto consegna = [&](PaginaReport &&p) {
        if (ogniPagina)
            ogniPagina();
        const int numero = p.numero;
        if (numero >= da && numero <= a)
            m_tenute.push_back(std::move(p));
        if (!contate && numero >= a)
            throw BastaPagine{};
    };
    try {
        if (!m_corsa(misura, consegna, m_serveTotale ? m_pagine : 0, errore, contate)) {
            m_tenute.clear();
            return false;
        }
    } catch (const BastaPagine &) {
    } catch (const StampaInterrotta &) {
        m_tenute.clear();
        if (errore)
            *errore = testoStampaInterrotta();
        return false;
    }
    return true;
}

bool CachePagine::conta(Misuratore &misura, QString *errore, const std::function<void()> &ogniPagina)
{
    m_pagine = 0;
    QString e;
    int n = 0;
    // Pages that print "of y" are made again once y is known.
    if (!corri(1, m_capienza, misura, &e, ogniPagina, &n)) {
        if (errore)
            *errore = e;
        return false;
    }
    m_pagine = n;
    if (m_serveTotale)
        m_tenute.clear();
    return true;
}

const PaginaReport *CachePagine::pagina(int n, Misuratore &misura, QString *errore,
                                        const std::function<void()> &ogniPagina)
{
    if (n < 1 || (m_pagine > 0 && n > m_pagine))
        return nullptr;
    for (const PaginaReport &p : m_tenute)
        if (p.numero == n)
            return &p;
    // Around the page asked for, more after it than before: pages are
    // mostly read forward.
    const int prima = (m_capienza - 1) / 3;
    const int da = std::max(1, n - prima);
    const int a = da + m_capienza - 1;
    if (!corri(da, a, misura, errore, ogniPagina, nullptr))
        return nullptr;
    for (const PaginaReport &p : m_tenute)
        if (p.numero == n)
            return &p;
    if (errore)
        *errore = QStringLiteral("pagina %1 non prodotta dalla stampa").arg(n);
    return nullptr;
}

bool contaPagine(const ModelloReport &m)
{
    for (const TestoModello &t : m.testi)
        for (const QString &r : t.righe)
            if (r.contains(QLatin1String("TotalPages$"), Qt::CaseInsensitive))
                return true;
    return false;
}

QString testoStampaInterrotta()
{
    return QStringLiteral("Stampa interrotta");
}

void AvanzamentoPagine::pagina()
{
    ++m_fatte;
    if (!m_feedback)
        return;
    if (m_fatte % kOgni == 0)
        m_feedback->line(QStringLiteral("Pagine stampate: %1").arg(m_fatte));
    if (m_totale > 0)
        m_feedback->step(m_fatte, m_totale);
    else
        m_feedback->keepAlive();
    if (m_feedback->interruptRequested())
        throw StampaInterrotta{};
}

bool ScriviPdf(const QString &percorso, const ModelloReport &modello, const Corsa &corsa, QString *errore, int *pagine,
               platform::RunFeedback *feedback)
{
    platform::OutputFile file(percorso);
    if (!file.open()) {
        if (errore)
            *errore = file.errorString();
        return false;
    }
    bool ok = false;
    {
        DispositivoUscita uscita(file);
        QPdfWriter pdf(&uscita);
        pdf.setResolution(600);
        pdf.setPageLayout(layoutPagina(modello));
        pdf.setCreator(QStringLiteral("VardoF"));
        MisuratoreDispositivo misura(&pdf);
        int totale = 0;
        if (contaPagine(modello)) {
            // Counting the pages is a whole run too: it can be stopped.
            auto contata = [feedback](PaginaReport &&) {
                if (!feedback)
                    return;
                feedback->keepAlive();
                if (feedback->interruptRequested())
                    throw StampaInterrotta{};
            };
            try {
                if (!corsa(misura, contata, 0, errore, &totale))
                    return false;
            } catch (const StampaInterrotta &) {
                if (errore)
                    *errore = testoStampaInterrotta();
                return false;
            }
        }
        QPainter pittore;
        if (!pittore.begin(&pdf)) {
            if (errore)
                *errore = QStringLiteral("il file PDF non si apre in scrittura");
            return false;
        }
        Disegnatore disegno(pittore, pdf);
        AvanzamentoPagine avanzamento(feedback, totale);
        try {
            ok = corsa(misura, [&](PaginaReport &&p) {
                disegno.disegna(p);
                avanzamento.pagina();
            }, totale, errore, pagine);
        } catch (const StampaInterrotta &) {
            ok = false;
            if (errore)
                *errore = testoStampaInterrotta();
        }
        pittore.end();
    }
    if (!ok)
        return false; // the output file is dropped: nothing of a partial print stays
    if (!file.commit()) {
        if (errore)
            *errore = file.errorString();
        return false;
    }
    return true;
}

} // namespace vardof::output::report
