#include "output/report/ui/FinestraAnteprima.h"

#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::output::report {

FinestraAnteprima::FinestraAnteprima(QWidget *parent, const QString &titolo, const ModelloReport &modello, Corsa corsa)
    : QDialog(parent), m_modello(modello), m_corsa(std::move(corsa))
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

    auto *printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(layoutPagina(m_modello));
    m_anteprima = new QPrintPreviewWidget(printer, this);
    m_anteprima->setObjectName(QStringLiteral("Anteprima"));
    v->addWidget(m_anteprima, 1);
    connect(this, &QObject::destroyed, [printer] { delete printer; });

    connect(m_anteprima, &QPrintPreviewWidget::paintRequested, this, &FinestraAnteprima::disegna);
    connect(m_anteprima, &QPrintPreviewWidget::previewChanged, this, &FinestraAnteprima::aggiornaPagina);
    connect(prima, &QPushButton::clicked, this, [this] { m_anteprima->setCurrentPage(1); aggiornaPagina(); });
    connect(indietro, &QPushButton::clicked, this, [this] {
        m_anteprima->setCurrentPage(std::max(1, m_anteprima->currentPage() - 1));
        aggiornaPagina();
    });
    connect(avanti, &QPushButton::clicked, this, [this] {
        m_anteprima->setCurrentPage(std::min(m_anteprima->pageCount(), m_anteprima->currentPage() + 1));
        aggiornaPagina();
    });
    connect(ultima, &QPushButton::clicked, this, [this] { m_anteprima->setCurrentPage(m_anteprima->pageCount()); aggiornaPagina(); });
    connect(piu, &QPushButton::clicked, m_anteprima, [this] { m_anteprima->zoomIn(); });
    connect(meno, &QPushButton::clicked, m_anteprima, [this] { m_anteprima->zoomOut(); });
    connect(larghezza, &QPushButton::clicked, m_anteprima, &QPrintPreviewWidget::fitToWidth);
    connect(intera, &QPushButton::clicked, m_anteprima, &QPrintPreviewWidget::fitInView);
    connect(stampa, &QPushButton::clicked, this, &FinestraAnteprima::ButtonStampaClick);
    connect(pdf, &QPushButton::clicked, this, &FinestraAnteprima::ButtonSalvaPdfClick);
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    m_anteprima->updatePreview();
}

void FinestraAnteprima::disegna(QPrinter *printer)
{
    m_errore.clear();
    MisuratoreDispositivo misura(printer);
    int totale = 0;
    if (contaPagine(m_modello) && !m_corsa(misura, [](PaginaReport &&) {}, 0, &m_errore, &totale))
        return;
    QPainter pittore(printer);
    Disegnatore disegno(pittore, *printer);
    if (!m_corsa(misura, [&](PaginaReport &&p) { disegno.disegna(p); }, totale, &m_errore, &m_pagine))
        m_pagine = 0;
}

void FinestraAnteprima::aggiornaPagina()
{
    m_pagina->setText(QStringLiteral("Pagina %1 di %2").arg(m_anteprima->currentPage()).arg(m_anteprima->pageCount()));
}

void FinestraAnteprima::ButtonStampaClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layoutPagina(m_modello));
    QPrintDialog dialogo(&printer, this);
    dialogo.setWindowTitle(QStringLiteral("Stampa"));
    if (dialogo.exec() != QDialog::Accepted)
        return;
    disegna(&printer);
    if (!m_errore.isEmpty())
        platform::error(QStringLiteral("Stampa non eseguita:\r") + m_errore);
}

bool FinestraAnteprima::salvaPdf(const QString &file)
{
    QString errore;
    if (!ScriviPdf(file, m_modello, m_corsa, &errore)) {
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
