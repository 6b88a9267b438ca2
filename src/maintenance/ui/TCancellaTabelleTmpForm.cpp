#include "maintenance/ui/TCancellaTabelleTmpForm.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "maintenance/PulisciTmp.h"
#include "maintenance/ui/RunGuard.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "platform/widgets/WindowRunFeedback.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>

namespace vardof::maintenance {

namespace {

// The room a caption needs in the title bar: its text in the title font
// (measured bold, as many window managers draw it), the icon and the
// caption buttons (about a title bar's height each).
int larghezzaTitolo(const QWidget *window)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics fm(font);
    const int bar = std::max(window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), fm.height());
    return fm.horizontalAdvance(window->windowTitle()) + 5 * bar;
}

} // namespace

class CleanupView : public FasiPulisciTmp
{
public:
    explicit CleanupView(TCancellaTabelleTmpForm &form) : m_form(form) {}
    void tabella(qint64 k, const QString &nome, int percentuale) override
    {
        m_form.ProgressBar->setValue(percentuale);
        m_form.LabelNumero->setText(formatoConteggio(k));
        m_form.LabelNomeTabella->setText(nome);
        m_form.LabelNumero->repaint();
        m_form.LabelNomeTabella->repaint();
    }

private:
    TCancellaTabelleTmpForm &m_form;
};

TCancellaTabelleTmpForm::TCancellaTabelleTmpForm(context::TTabForm *context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setWindowTitle(QStringLiteral("Cancellazione tabelle TMP - Ditta: ") + context->NomeProgetto);
    LabelTotale = new QLabel(QStringLiteral("Totale tabella TMP_ presenti nel database:"), this);
    LabelNumeroTotale = new QLabel(this);
    ButtonProcedi = new QPushButton(QStringLiteral("Procedi a cancellazione tabelle TMP_"), this);
    ButtonChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    GroupProgresso = new QGroupBox(this);
    LabelTabella = new QLabel(QStringLiteral("Tabella:"), GroupProgresso);
    LabelNomeTabella = new QLabel(GroupProgresso);
    LabelNumero = new QLabel(QStringLiteral("0"), GroupProgresso);
    ButtonFerma = new QPushButton(QStringLiteral("Ferma elaborazione"), GroupProgresso);
    ProgressBar = new QProgressBar(GroupProgresso);
    ProgressBar->setRange(0, 100);

    auto *layout = new QVBoxLayout(this);
    auto *total = new QHBoxLayout;
    total->addWidget(LabelTotale);
    total->addWidget(LabelNumeroTotale);
    total->addStretch();
    layout->addLayout(total);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ButtonProcedi);
    buttons->addWidget(ButtonChiudi);
    layout->addLayout(buttons);
    auto *progress = new QVBoxLayout(GroupProgresso);
    auto *line = new QHBoxLayout;
    line->addWidget(LabelTabella);
    line->addWidget(LabelNomeTabella, 1);
    line->addWidget(LabelNumero);
    line->addWidget(ButtonFerma);
    progress->addLayout(line);
    progress->addWidget(ProgressBar);
    layout->addWidget(GroupProgresso);
    GroupProgresso->hide();
    // The window is exactly as wide as its contents, which are narrower than
    // its caption with the company code: the caption is not to be cut.
    layout->addItem(new QSpacerItem(larghezzaTitolo(this), 0, QSizePolicy::Fixed, QSizePolicy::Fixed));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QPushButton *b : {ButtonProcedi, ButtonChiudi, ButtonFerma})
        b->setAutoDefault(false);
    connect(ButtonProcedi, &QPushButton::clicked, this, &TCancellaTabelleTmpForm::ButtonProcediClick);
    connect(ButtonFerma, &QPushButton::clicked, this, &TCancellaTabelleTmpForm::ButtonFermaClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TCancellaTabelleTmpForm::ButtonChiudiClick);

    m_running = false;
    contaTabelle();
}

void TCancellaTabelleTmpForm::contaTabelle()
{
    try {
        m_totale = contaTabelleTmp(m_context->database());
    } catch (const db::Error &e) {
        platform::error(e.message());
        m_totale = 0;
    }
    LabelNumeroTotale->setText(formatoConteggio(m_totale));
    LabelNumeroTotale->repaint();
}

void TCancellaTabelleTmpForm::warnRunning()
{
    platform::warning(QStringLiteral("Elaborazione in corso.\nPer fermare l'elaborazione premere il tasto Ferma elaborazione"));
}

void TCancellaTabelleTmpForm::ButtonProcediClick()
{
    if (m_running) {
        warnRunning();
        return;
    }
    if (m_totale == 0) {
        platform::information(QStringLiteral("Nessuna tabella TMP_ da eliminare"));
        return;
    }
    if (!platform::confirm(QStringLiteral("Avviare l'elaborazione?")))
        return;

    EsitoPulisciTmp esito;
    {
        // Input goes through before every table: starting again or closing
        // is not offered meanwhile, and closing the window asks to stop.
        RunGuard guard({ButtonProcedi, ButtonChiudi}, &m_running);
        guard.holdOpen(this, [this] { ButtonFermaClick(); });
        GroupProgresso->show();
        m_stop = false;
        ProgressBar->setValue(0);
        LabelNumero->setText(QStringLiteral("0"));
        LabelNomeTabella->clear();

        CleanupView view(*this);
        platform::WindowRunFeedback feedback;
        feedback.onProgress = [this](int percent) { ProgressBar->setValue(percent); };
        feedback.interruption = [this] { return m_stop; };
        try {
            esito = eliminaTabelleTmp(m_context->database(), m_totale, feedback, &view);
        } catch (const db::Error &e) {
            platform::error(e.message());
            esito.fallita = true;
        }
        GroupProgresso->hide();
    }
    ProgressBar->setValue(0);
    LabelNumero->setText(QStringLiteral("0"));
    LabelNomeTabella->clear();
    contaTabelle();
    if (esito.fermata)
        platform::information(QStringLiteral("Elaborazione fermata"));
    else if (!esito.fallita)
        platform::information(QStringLiteral("Elaborazione completata"));
}

void TCancellaTabelleTmpForm::ButtonFermaClick()
{
    if (!m_running) {
        platform::warning(QStringLiteral("Nessuna elaborazione in corso"));
        return;
    }
    const platform::Answer a = platform::messages().show(platform::Warning, QString(),
                                                          QStringLiteral("Fermare l'elaborazione in corso?"),
                                                          platform::Buttons::YesNo);
    if (a == platform::Answer::Yes)
        m_stop = true;
}

void TCancellaTabelleTmpForm::ButtonChiudiClick()
{
    if (m_running) {
        warnRunning();
        return;
    }
    accept();
}

void TCancellaTabelleTmpForm::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        warnRunning();
        event->ignore();
        return;
    }
    event->accept();
}

void TCancellaTabelleTmpForm::reject()
{
    if (m_running) {
        warnRunning();
        return;
    }
    QDialog::reject();
}

} // namespace vardof::maintenance
