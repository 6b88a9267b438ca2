#include "output/report/ui/grafico/FinestraGrafico.h"

#include "output/report/ui/grafico/Grafico.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/OutputFile.h"
#include "platform/Services.h"

#include <QBuffer>
#include <QChartView>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::output::report {

namespace {

QPageLayout paginaGrafico()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

} // namespace

std::function<bool(QPrinter &, QWidget *)> &FinestraGrafico::sceltaStampante()
{
    static std::function<bool(QPrinter &, QWidget *)> scelta = [](QPrinter &stampante, QWidget *padre) {
        QPrintDialog dialogo(&stampante, padre);
        dialogo.setWindowTitle(QStringLiteral("Stampa"));
        return dialogo.exec() == QDialog::Accepted;
    };
    return scelta;
}

FinestraGrafico::FinestraGrafico(QWidget *parent, const SceltaGrafico &scelta, DatiGrafico dati,
                                 const TestiGrafico &testi)
    : QWidget(parent, Qt::Window), m_scelta(scelta), m_dati(std::move(dati)), m_testi(testi)
{
    setObjectName(QStringLiteral("FinestraGrafico"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("STAMPA GRAFICO"));

    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    auto *bottoni = new QHBoxLayout;
    auto bottone = [&](const char *nome, const QString &testo) {
        auto *b = new QPushButton(testo, this);
        b->setObjectName(QLatin1String(nome));
        b->setAutoDefault(false);
        bottoni->addWidget(b);
        return b;
    };
    ButtonStampa = bottone("ButtonStampa", QStringLiteral("&Stampa..."));
    ButtonSalvaPdf = bottone("ButtonSalvaPdf", QStringLiteral("Salva &PDF..."));
    ButtonSalvaPng = bottone("ButtonSalvaPng", QStringLiteral("Salva P&NG..."));
    bottoni->addStretch();
    ButtonChiudi = bottone("ButtonChiudi", QStringLiteral("Ch&iudi"));
    l->addLayout(bottoni);

    m_vista = new QChartView(costruisciGrafico(m_scelta, m_dati, m_testi), this);
    m_vista->setObjectName(QStringLiteral("VistaGrafico"));
    m_vista->setRenderHint(QPainter::Antialiasing);
    l->addWidget(m_vista, 1);

    connect(ButtonStampa, &QPushButton::clicked, this, &FinestraGrafico::ButtonStampaClick);
    connect(ButtonSalvaPdf, &QPushButton::clicked, this, &FinestraGrafico::ButtonSalvaPdfClick);
    connect(ButtonSalvaPng, &QPushButton::clicked, this, &FinestraGrafico::ButtonSalvaPngClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QWidget::close);

    setGeometry(80, 100, 550, 350);
}

QChart *FinestraGrafico::grafico() const
{
    return m_vista->chart();
}

void FinestraGrafico::disegna(QPainter &pittore, const QRectF &destinazione, const QSizeF &dimensione) const
{
    QGraphicsScene scena;
    QChart *g = costruisciGrafico(m_scelta, m_dati, m_testi);
    scena.addItem(g); // the scene owns it from here
    g->setGeometry(QRectF(QPointF(0, 0), dimensione));
    // The chart lays itself out through posted events.
    QCoreApplication::sendPostedEvents();
    g->setGeometry(QRectF(QPointF(0, 0), dimensione));
    QCoreApplication::sendPostedEvents();
    scena.setSceneRect(QRectF(QPointF(0, 0), dimensione));
    pittore.setRenderHint(QPainter::Antialiasing);
    pittore.setRenderHint(QPainter::TextAntialiasing);
    scena.render(&pittore, destinazione, scena.sceneRect(), Qt::KeepAspectRatio);
}

bool FinestraGrafico::salvaPdf(const QString &file)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter scrittore(&buffer);
        scrittore.setPageLayout(paginaGrafico());
        scrittore.setResolution(300);
        scrittore.setTitle(m_testi.titolo);
        scrittore.setCreator(QStringLiteral("VardoF"));
        QPainter pittore;
        if (!pittore.begin(&scrittore)) {
            platform::error(QStringLiteral("Impossibile salvare il file PDF \"") + file
                            + QStringLiteral("\":\rimpossibile disegnare la pagina"));
            return false;
        }
        const QRectF pagina = scrittore.pageLayout().paintRectPixels(scrittore.resolution());
        // Laid out as on a screen of 96 dots per inch: the chart's fonts keep
        // their usual size against the page.
        const QSizeF dimensione = pagina.size() * 96.0 / scrittore.resolution();
        disegna(pittore, QRectF(QPointF(0, 0), pagina.size()), dimensione);
        pittore.end();
    }
    QString motivo;
    if (!platform::OutputFile::writeAll(file, pdf, &motivo)) {
        platform::error(QStringLiteral("Impossibile salvare il file PDF \"") + file + QStringLiteral("\":\r") + motivo);
        return false;
    }
    return true;
}

bool FinestraGrafico::salvaPng(const QString &file)
{
    // Twice the window's dots for sharpness; laid out at least 1000 wide,
    // so that a small window's cut category names come out whole.
    QSizeF dimensione = m_vista->size();
    if (dimensione.width() < 1000 && dimensione.width() > 0)
        dimensione *= 1000 / dimensione.width();
    QImage immagine(m_vista->size() * 2, QImage::Format_ARGB32_Premultiplied);
    immagine.fill(Qt::white);
    {
        QPainter pittore(&immagine);
        disegna(pittore, QRectF(QPointF(0, 0), QSizeF(immagine.size())), dimensione);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString motivo;
    if (!immagine.save(&buffer, "PNG"))
        motivo = QStringLiteral("immagine non codificata");
    else
        platform::OutputFile::writeAll(file, png, &motivo);
    if (!motivo.isEmpty()) {
        platform::error(QStringLiteral("Impossibile salvare il file PNG \"") + file + QStringLiteral("\":\r") + motivo);
        return false;
    }
    return true;
}

void FinestraGrafico::ButtonStampaClick()
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageLayout(paginaGrafico());
    stampante.setDocName(QStringLiteral("STAMPA GRAFICO"));
    if (!sceltaStampante()(stampante, this))
        return;
    QPainter pittore;
    if (!pittore.begin(&stampante)) {
        platform::error(QStringLiteral("Stampa non eseguita:\rla stampante non accetta il lavoro"));
        return;
    }
    const QRectF pagina = stampante.pageLayout().paintRectPixels(stampante.resolution());
    disegna(pittore, QRectF(QPointF(0, 0), pagina.size()), pagina.size() * 96.0 / stampante.resolution());
    pittore.end();
}

void FinestraGrafico::ButtonSalvaPdfClick()
{
    const auto file = platform::fileDialogs().saveFile(QStringLiteral("Salva PDF"), QString(),
                                                       QStringLiteral("File PDF (*.pdf)|*.pdf|Tutti i file (*.*)|*.*"),
                                                       QStringLiteral("pdf"));
    if (file)
        salvaPdf(*file);
}

void FinestraGrafico::ButtonSalvaPngClick()
{
    const auto file = platform::fileDialogs().saveFile(QStringLiteral("Salva PNG"), QString(),
                                                       QStringLiteral("Immagini PNG (*.png)|*.png|Tutti i file (*.*)|*.*"),
                                                       QStringLiteral("png"));
    if (file)
        salvaPng(*file);
}

} // namespace vardof::output::report
