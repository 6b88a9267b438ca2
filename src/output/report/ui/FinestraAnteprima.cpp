#include "output/report/ui/FinestraAnteprima.h"

#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vardof::output::report {

namespace {

constexpr double kDpiSchermo = 96.0;

} // namespace

// While a run goes: the progress and "Interrompi" shown, every other
// button off (a second run, a page change or closing would pull the pages
// from under the one going).
class FinestraAnteprima::Corso
{
public:
    explicit Corso(FinestraAnteprima &f) : m_f(f)
    {
        m_f.m_inCorso = true;
        m_f.m_interrompi = false;
        for (QPushButton *b : m_f.m_bottoni) {
            m_abilitati << b->isEnabled();
            b->setEnabled(false);
        }
        m_f.m_progresso->setValue(0);
        m_f.m_progresso->show();
        m_f.m_interrompiBottone->show();
        m_f.m_interrompiBottone->setEnabled(true);
        m_f.m_feedback.restartThrottle();
    }
    ~Corso()
    {
        for (int i = 0; i < m_f.m_bottoni.size(); ++i)
            m_f.m_bottoni[i]->setEnabled(m_abilitati.value(i, true));
        m_f.m_progresso->hide();
        m_f.m_interrompiBottone->hide();
        m_f.m_inCorso = false;
    }

private:
    FinestraAnteprima &m_f;
    QList<bool> m_abilitati;
};

FinestraAnteprima::FinestraAnteprima(QWidget *parent, const QString &titolo, const ModelloReport &modello, Corsa corsa)
    : QDialog(parent), m_modello(modello)
{
    setObjectName(QStringLiteral("FinestraAnteprima"));
    setWindowTitle(titolo);
    resize(900, 1000);
    auto *v = new QVBoxLayout(this);
    auto *barra = new QHBoxLayout;
    auto bottone = [&](const char *nome, const QString &testo) {
        auto *b = new QPushButton(testo, this);
        b->setObjectName(QLatin1String(nome));
        b->setAutoDefault(false);
        barra->addWidget(b);
        m_bottoni << b;
        return b;
    };
    QPushButton *prima = bottone("ButtonPrima", QStringLiteral("|<"));
    QPushButton *indietro = bottone("ButtonIndietro", QStringLiteral("<"));
    m_pagina = new QLabel(this);
    m_pagina->setObjectName(QStringLiteral("LabelPagina"));
    barra->addWidget(m_pagina);
    QPushButton *avanti = bottone("ButtonAvanti", QStringLiteral(">"));
    QPushButton *ultima = bottone("ButtonUltima", QStringLiteral(">|"));
    QPushButton *piu = bottone("ButtonZoomPiu", QStringLiteral("Zoom +"));
    QPushButton *meno = bottone("ButtonZoomMeno", QStringLiteral("Zoom -"));
    QPushButton *larghezza = bottone("ButtonAdattaLarghezza", QStringLiteral("Larghezza pagina"));
    QPushButton *intera = bottone("ButtonPaginaIntera", QStringLiteral("Pagina intera"));
    barra->addStretch();
    QPushButton *stampa = bottone("ButtonStampa", QStringLiteral("&Stampa..."));
    QPushButton *pdf = bottone("ButtonSalvaPdf", QStringLiteral("Salva &PDF..."));
    QPushButton *chiudi = bottone("ButtonChiudi", QStringLiteral("Ch&iudi"));
    v->addLayout(barra);

    auto *corso = new QHBoxLayout;
    m_progresso = new QProgressBar(this);
    m_progresso->setObjectName(QStringLiteral("ProgressBar"));
    m_progresso->setRange(0, 100);
    m_interrompiBottone = new QPushButton(QStringLiteral("&Interrompi"), this);
    m_interrompiBottone->setObjectName(QStringLiteral("ButtonInterrompi"));
    m_interrompiBottone->setAutoDefault(false);
    corso->addWidget(m_progresso, 1);
    corso->addWidget(m_interrompiBottone);
    v->addLayout(corso);
    m_progresso->hide();
    m_interrompiBottone->hide();

    m_area = new QScrollArea(this);
    m_area->setObjectName(QStringLiteral("Anteprima"));
    m_area->setAlignment(Qt::AlignCenter);
    m_area->setBackgroundRole(QPalette::Dark);
    m_foglio = new QLabel;
    m_foglio->setObjectName(QStringLiteral("Foglio"));
    m_area->setWidget(m_foglio);
    v->addWidget(m_area, 1);

    m_feedback.onProgress = [this](int p) { m_progresso->setValue(p); };
    m_feedback.interruption = [this] {
        if (controllo)
            controllo();
        return m_interrompi;
    };

    m_misura = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_misura->setPageLayout(layoutPagina(m_modello));
    m_corsa = std::move(corsa);
    m_cache = std::make_unique<CachePagine>(m_corsa, contaPagine(m_modello));

    connect(prima, &QPushButton::clicked, this, [this] { vaiAPagina(1); });
    connect(indietro, &QPushButton::clicked, this, [this] { vaiAPagina(std::max(1, m_corrente - 1)); });
    connect(avanti, &QPushButton::clicked, this, [this] { vaiAPagina(std::min(m_pagine, m_corrente + 1)); });
    connect(ultima, &QPushButton::clicked, this, [this] { vaiAPagina(m_pagine); });
    connect(piu, &QPushButton::clicked, this, [this] { zoom(m_zoom * 1.25); });
    connect(meno, &QPushButton::clicked, this, [this] { zoom(m_zoom / 1.25); });
    connect(larghezza, &QPushButton::clicked, this, [this] {
        const double mm = m_modello.larghezzaPagina / 1000.0;
        zoom((m_area->viewport()->width() - 20) / (mm / 25.4 * kDpiSchermo));
    });
    connect(intera, &QPushButton::clicked, this, [this] {
        const double l = m_modello.larghezzaPagina / 25400.0 * kDpiSchermo;
        const double a = m_modello.altezzaPagina / 25400.0 * kDpiSchermo;
        zoom(std::min((m_area->viewport()->width() - 20) / l, (m_area->viewport()->height() - 20) / a));
    });
    connect(stampa, &QPushButton::clicked, this, &FinestraAnteprima::ButtonStampaClick);
    connect(pdf, &QPushButton::clicked, this, &FinestraAnteprima::ButtonSalvaPdfClick);
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_interrompiBottone, &QPushButton::clicked, this, &FinestraAnteprima::ButtonInterrompiClick);

    // The count is known before the opener runs the window: a layout that
    // does not suit the answer is told by the opener instead of an empty
    // preview. The window is up meanwhile, modal, with the count going
    // and "Interrompi".
    setWindowModality(Qt::ApplicationModal);
    show();
    bool contate = false;
    {
        Corso corso(*this);
        m_progresso->setRange(0, 0); // how many pages is what is being found out
        MisuratoreDispositivo misura(m_misura.get());
        int fatte = 0;
        contate = m_cache->conta(misura, &m_errore, [&] {
            m_feedback.step(++fatte, 0);
            if (m_feedback.interruptRequested())
                throw StampaInterrotta{};
        });
        m_progresso->setRange(0, 100);
    }
    if (!contate) {
        hide();
        return;
    }
    m_pagine = m_cache->pagine();
    vaiAPagina(1);
}

FinestraAnteprima::~FinestraAnteprima() = default;

bool FinestraAnteprima::vaiAPagina(int n)
{
    if (m_inCorso || n < 1 || n > m_pagine)
        return false;
    QString errore;
    const PaginaReport *p = nullptr;
    {
        Corso corso(*this);
        int fatte = 0;
        MisuratoreDispositivo misura(m_misura.get());
        p = m_cache->pagina(n, misura, &errore, [&] {
            ++fatte;
            // Not before the window shows: pending input would reach the
            // window underneath while this one is being built.
            if (isVisible())
                m_feedback.step(fatte, n);
            if (m_feedback.interruptRequested())
                throw StampaInterrotta{};
        });
    }
    if (!p) {
        m_errore = errore;
        if (errore != testoStampaInterrotta())
            platform::error(QStringLiteral("Anteprima non disponibile:\r") + errore);
        return false;
    }
    m_corrente = n;
    // Drawn at the zoom of the moment into one picture: the only page held
    // as pixels.
    const double dpi = kDpiSchermo * m_zoom;
    const QSize dimensione(int(std::lround(m_modello.larghezzaPagina / 25400.0 * dpi)),
                           int(std::lround(m_modello.altezzaPagina / 25400.0 * dpi)));
    m_immagine = QImage(dimensione, QImage::Format_RGB32);
    const int dpm = int(std::lround(dpi / 0.0254));
    m_immagine.setDotsPerMeterX(dpm);
    m_immagine.setDotsPerMeterY(dpm);
    m_immagine.fill(Qt::white);
    {
        QPainter pittore(&m_immagine);
        pittore.setRenderHint(QPainter::Antialiasing);
        pittore.setRenderHint(QPainter::TextAntialiasing);
        DisegnaPagina(pittore, *p, dpi / 25400.0);
    }
    mostra();
    return true;
}

void FinestraAnteprima::mostra()
{
    m_foglio->setPixmap(QPixmap::fromImage(m_immagine));
    m_foglio->resize(m_immagine.size());
    aggiornaPagina();
}

void FinestraAnteprima::zoom(double fattore)
{
    fattore = std::clamp(fattore, 0.2, 5.0);
    if (std::abs(fattore - m_zoom) < 1e-6 || m_corrente < 1)
        return;
    m_zoom = fattore;
    vaiAPagina(m_corrente);
}

void FinestraAnteprima::aggiornaPagina()
{
    m_pagina->setText(QStringLiteral("Pagina %1 di %2").arg(m_corrente).arg(m_pagine));
}

void FinestraAnteprima::reject()
{
    if (m_inCorso) {
        interrompi();
        return;
    }
    QDialog::reject();
}

void FinestraAnteprima::ButtonInterrompiClick()
{
    if (platform::confirm(QStringLiteral("Interrompere la stampa?")))
        interrompi();
}

bool FinestraAnteprima::stampaSu(QPrinter &printer)
{
    Corso corso(*this);
    m_errore.clear();
    // Printing to a file writes it straight away: as a PDF of ours it is
    // written beside the target and put in place only when complete.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return ScriviPdf(printer.outputFileName(), m_modello, m_corsa, &m_errore, nullptr, &m_feedback);
    MisuratoreDispositivo misura(&printer);
    int totale = 0;
    AvanzamentoPagine avanzamento(&m_feedback, m_pagine);
    try {
        // "of y" as this printer lays the pages out.
        if (contaPagine(m_modello)
            && !m_corsa(misura, [&](PaginaReport &&) { m_feedback.keepAlive(); if (m_feedback.interruptRequested()) throw StampaInterrotta{}; },
                        0, &m_errore, &totale))
            return false;
        QPainter pittore;
        if (!pittore.begin(&printer)) {
            m_errore = QStringLiteral("la stampante non accetta la stampa");
            return false;
        }
        Disegnatore disegno(pittore, printer);
        const bool ok = m_corsa(misura, [&](PaginaReport &&p) {
            disegno.disegna(p);
            avanzamento.pagina();
        }, totale, &m_errore, nullptr);
        pittore.end();
        return ok;
    } catch (const StampaInterrotta &) {
        m_errore = testoStampaInterrotta();
        printer.abort();
        return false;
    }
}

void FinestraAnteprima::ButtonStampaClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layoutPagina(m_modello));
    QPrintDialog dialogo(&printer, this);
    dialogo.setWindowTitle(QStringLiteral("Stampa"));
    if (dialogo.exec() != QDialog::Accepted)
        return;
    if (!stampaSu(printer) && m_errore != testoStampaInterrotta())
        platform::error(QStringLiteral("Stampa non eseguita:\r") + m_errore);
}

bool FinestraAnteprima::salvaPdf(const QString &file)
{
    QString errore;
    bool ok = false;
    {
        Corso corso(*this);
        ok = ScriviPdf(file, m_modello, m_corsa, &errore, nullptr, &m_feedback);
    }
    if (!ok) {
        if (errore != testoStampaInterrotta())
            platform::error(QStringLiteral("Impossibile salvare il file PDF \"") + file + QStringLiteral("\":\r") + errore);
        return false;
    }
    return true;
}

void FinestraAnteprima::ButtonSalvaPdfClick()
{
    const auto file = platform::fileDialogs().saveFile(QStringLiteral("Salva PDF"), QString(),
                                                       QStringLiteral("File PDF (*.pdf)|*.pdf|Tutti i file (*.*)|*.*"),
                                                       QStringLiteral("pdf"));
    if (file)
        salvaPdf(*file);
}

} // namespace vardof::output::report
