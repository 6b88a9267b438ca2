#include "convert/ui/TConvFileForm.h"

#include "convert/ConversionDefinition.h"
#include "convert/ConversionRun.h"
#include "convert/ConversionTexts.h"
#include "convert/ui/THelpConvFileForm.h"
#include "convert/ui/TSceltaWConvFileForm.h"
#include "convert/ui/TWConvFileForm.h"
#include "db/Error.h"
#include "context/WorkContext.h"
#include "params/TTabXForm.h"
#include "core/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/OutputFile.h"
#include "platform/Services.h"
#include "platform/widgets/TextEditorWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::convert {

TConvFileForm::TConvFileForm(context::TTabForm *context, int userNumber, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setWindowTitle(QStringLiteral("Conversione file - Ditta: ") + (context ? context->NomeProgetto : QString()));

    ButtonOrigine = new QPushButton(QStringLiteral("File &Origine"), this);
    EditFileOrigine = new QLineEdit(this);
    EditFileOrigine->setReadOnly(true);
    ButtonDestinazione = new QPushButton(QStringLiteral("File &Destinazione"), this);
    EditFileDestinazione = new QLineEdit(this);
    EditFileDestinazione->setReadOnly(true);
    ButtonComponiScript = new QPushButton(QStringLiteral("Componi script"), this);
    ButtonConverti = new QPushButton(QStringLiteral("&Converti"), this);
    ButtonChiudi = new QPushButton(QStringLiteral("Ch&iudi"), this);
    ButtonHelp = new QPushButton(QStringLiteral("?"), this);
    ButtonHelp->setToolTip(QStringLiteral("Help conversione file"));

    GroupOpzioni = new QGroupBox(QStringLiteral("Opzioni"), this);
    CheckSaltaRiga = new QCheckBox(
        QStringLiteral("Salta prima riga su file origine (perchè presenti le intestazioni)"), GroupOpzioni);
    CheckIntestazione = new QCheckBox(QStringLiteral("Inserisci intestazione campi su destinazione"), GroupOpzioni);
    LabelCarattere = new QLabel(QStringLiteral("Sostituisci eventuali caratteri \";\" con:"), GroupOpzioni);
    EditCarattere = new QLineEdit(QStringLiteral(":"), GroupOpzioni);
    EditCarattere->setMaximumWidth(60);
    auto *options = new QGridLayout(GroupOpzioni);
    options->addWidget(CheckSaltaRiga, 0, 0, 1, 2);
    options->addWidget(CheckIntestazione, 1, 0, 1, 2);
    options->addWidget(LabelCarattere, 2, 0);
    options->addWidget(EditCarattere, 2, 1, Qt::AlignLeft);

    LabelAnomalie = new QLabel(QStringLiteral("Anomalie:"), this);
    MemoAnomalie = new QPlainTextEdit(this);
    MemoAnomalie->setReadOnly(true);
    MemoAnomalie->setLineWrapMode(QPlainTextEdit::NoWrap);
    ProgressElab = new QProgressBar(this);
    ProgressElab->setRange(0, 100);
    ProgressElab->hide();

    auto *files = new QGridLayout;
    files->addWidget(ButtonOrigine, 0, 0);
    files->addWidget(EditFileOrigine, 0, 1);
    files->addWidget(ButtonDestinazione, 1, 0);
    files->addWidget(EditFileDestinazione, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ButtonComponiScript);
    buttons->addStretch();
    buttons->addWidget(ButtonHelp);
    buttons->addWidget(ButtonConverti);
    buttons->addWidget(ButtonChiudi);
    auto *main = new QVBoxLayout(this);
    main->addLayout(files);
    main->addWidget(GroupOpzioni);
    main->addWidget(LabelAnomalie);
    main->addWidget(MemoAnomalie, 1);
    main->addWidget(ProgressElab);
    main->addLayout(buttons);
    resize(640, 480);

    connect(ButtonOrigine, &QPushButton::clicked, this, &TConvFileForm::ButtonOrigineClick);
    connect(ButtonDestinazione, &QPushButton::clicked, this, &TConvFileForm::ButtonDestinazioneClick);
    connect(ButtonHelp, &QPushButton::clicked, this, &TConvFileForm::ButtonHelpClick);
    connect(ButtonComponiScript, &QPushButton::clicked, this, &TConvFileForm::ButtonComponiScriptClick);
    connect(ButtonConverti, &QPushButton::clicked, this, &TConvFileForm::ButtonConvertiClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TConvFileForm::reject);

    if (userNumber != 0) {
        // The archive of the user, recorded for the tools this window may
        // open. The conversion itself does not need it: a user database
        // that cannot be read must not keep the window from opening.
        try {
            m_store = std::make_unique<params::TTabXForm>();
            m_store->SetUserPerNum(userNumber);
            const QString archivio = m_store->CaricaParametro(QStringLiteral("Archivio"));
            m_store->Inserisci(QStringLiteral("OSL"), QStringLiteral("Archivio"), QString(), archivio,
                               QString(), QString(), QString(), QString(), QString::number(userNumber));
        } catch (const db::Error &) {
        }
    }
}

TConvFileForm::~TConvFileForm() = default;

ConversionOptions TConvFileForm::options() const
{
    ConversionOptions o;
    o.source = EditFileOrigine->text();
    o.destination = EditFileDestinazione->text();
    o.skipFirstLine = CheckSaltaRiga->isChecked();
    o.header = CheckIntestazione->isChecked();
    o.replacement = EditCarattere->text();
    return o;
}

void TConvFileForm::ButtonOrigineClick()
{
    const auto path = platform::fileDialogs().openFile(QStringLiteral("File origine"),
                                                       folderOf(EditFileOrigine->text()),
                                                       QStringLiteral("Tutti i file (*.*)|*.*"));
    if (path)
        EditFileOrigine->setText(*path);
}

void TConvFileForm::ButtonDestinazioneClick()
{
    const auto path = platform::fileDialogs().saveFile(
        QStringLiteral("File destinazione"), folderOf(EditFileDestinazione->text()),
        QStringLiteral("File convertiti (*.dat)|*.dat|Tutti i file (*.*)|*.*"));
    if (path)
        EditFileDestinazione->setText(withDefaultExtension(*path));
}

void TConvFileForm::ButtonHelpClick()
{
    THelpConvFileForm help(this);
    help.exec();
}

bool TConvFileForm::ComposizioneGuidataFileConf(QStringList &list)
{
    if (!m_context)
        return false;
    TWConvFileForm wizard(this, CheckSaltaRiga->isChecked(), EditFileOrigine->text(), m_context);
    if (!wizard.isReady() || wizard.exec() != QDialog::Accepted)
        return false;
    list = wizard.Risultato();
    return true;
}

void TConvFileForm::ButtonComponiScriptClick()
{
    const QString source = EditFileOrigine->text();
    if (source.isEmpty()) {
        platform::warning(texts::composeSourceEmpty());
        return;
    }
    if (!QFileInfo(source).isFile()) {
        platform::warning(texts::composeSourceMissing());
        return;
    }
    TSceltaWConvFileForm choice(this);
    if (choice.exec() != QDialog::Accepted)
        return;

    const QString definition = definitionPath(source);
    if (choice.Scelta() == TSceltaWConvFileForm::ComposizioneGuidata) {
        QStringList lines;
        if (!ComposizioneGuidataFileConf(lines))
            return;
        // The last line has no line end, as the editor will show it.
        bool lossy = false;
        const QByteArray bytes = core::toCp1252(lines.join(QStringLiteral("\r\n")), &lossy);
        QString reason;
        if (!platform::OutputFile::writeAll(definition, bytes, &reason)) {
            platform::error(texts::definitionUnwritable(definition, reason));
            return;
        }
        if (lossy)
            platform::warning(texts::definitionLossy());
    } else if (!QFileInfo::exists(definition)) {
        QString reason;
        if (!platform::OutputFile::writeAll(definition, QByteArray(), &reason)) {
            platform::error(texts::definitionUnwritable(definition, reason));
            return;
        }
    }
    // In the editor the desktop associates with the file, or in ours where
    // the desktop has none: a definition must be writable from here.
    platform::openForEditing(definition, this);
}

void TConvFileForm::ButtonConvertiClick()
{
    if (m_running)
        return;
    const QString problem = checkPaths(options());
    if (!problem.isEmpty()) {
        platform::warning(problem);
        return;
    }
    if (!platform::confirm(texts::confirmStart()))
        return;
    Converti();
}

void TConvFileForm::Converti()
{
    MemoAnomalie->clear();
    m_pendingAnomalies.clear();
    m_listedAnomalies = 0;
    ProgressElab->setValue(0);
    ProgressElab->show();
    setRunning(true);
    const ConversionResult result = convert::Converti(options(), *this);
    flushAnomalies();
    setRunning(false);
    ProgressElab->hide();

    if (result.anomalyCount > m_listedAnomalies)
        MemoAnomalie->appendPlainText(
            texts::moreAnomalies(result.anomalyCount - m_listedAnomalies, result.anomaliesFile));

    if (!result.error.isEmpty())
        platform::error(result.error);
    // The anomalies are listed above, but a run whose file of anomalies is
    // missing did not do all it had to.
    if (!result.anomaliesFileError.isEmpty())
        platform::error(result.anomaliesFileError);
    if (result.anomalyCount == 0 && result.completed)
        MemoAnomalie->appendPlainText(texts::noAnomalies());
    if (result.succeeded())
        platform::information(texts::completed());
}

void TConvFileForm::line(const QString &text)
{
    if (m_listedAnomalies >= kShownAnomalies)
        return;
    ++m_listedAnomalies;
    m_pendingAnomalies << text;
}

void TConvFileForm::progress(int percent)
{
    ProgressElab->setValue(percent);
    flushAnomalies();
}

void TConvFileForm::flushAnomalies()
{
    if (m_pendingAnomalies.isEmpty())
        return;
    MemoAnomalie->appendPlainText(m_pendingAnomalies.join(QLatin1Char('\n')));
    m_pendingAnomalies.clear();
}

// While a run lets events through, nothing may start a second one or close
// the window under it.
void TConvFileForm::setRunning(bool running)
{
    m_running = running;
    for (QWidget *w : {static_cast<QWidget *>(ButtonOrigine), static_cast<QWidget *>(ButtonDestinazione),
                       static_cast<QWidget *>(ButtonComponiScript), static_cast<QWidget *>(ButtonConverti),
                       static_cast<QWidget *>(ButtonChiudi), static_cast<QWidget *>(ButtonHelp),
                       static_cast<QWidget *>(GroupOpzioni)})
        w->setEnabled(!running);
}

void TConvFileForm::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TConvFileForm::reject()
{
    if (!m_running)
        QDialog::reject();
}

} // namespace vardof::convert
