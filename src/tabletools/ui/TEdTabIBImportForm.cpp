#include "tabletools/ui/TEdTabIBImportForm.h"

#include "context/WorkContext.h"
#include "db/Error.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "platform/widgets/WindowRunFeedback.h"
#include "tabletools/ImportTabella.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <functional>

namespace vardof::tabletools {

TEdTabIBImportForm::TEdTabIBImportForm(context::TTabForm *context, const QString &tabella, QWidget *parent)
    : QDialog(parent), m_context(context), m_tabella(tabella)
{
    setObjectName(QStringLiteral("TEdTabIBImportForm"));
    setWindowTitle(QStringLiteral("Import - Ditta: ") + context->NomeProgetto);
    resize(720, 520);
    PanelAlto = new QWidget(this);
    auto *alto = new QVBoxLayout(PanelAlto);
    auto *rigaFile = new QHBoxLayout;
    ButtonFile = new QPushButton(QStringLiteral("File"), PanelAlto);
    ButtonFile->setObjectName(QStringLiteral("ButtonFile"));
    EditFile = new QLineEdit(PanelAlto);
    EditFile->setObjectName(QStringLiteral("EditFile"));
    rigaFile->addWidget(ButtonFile);
    rigaFile->addWidget(EditFile, 1);
    CheckSaltaPrimaRiga = new QCheckBox(QStringLiteral("Salta prima riga"), PanelAlto);
    CheckSaltaPrimaRiga->setObjectName(QStringLiteral("CheckSaltaPrimaRiga"));
    CheckSaltaPrimaRiga->setChecked(true);
    auto *rigaCR = new QHBoxLayout;
    CheckAbilitaCR = new QCheckBox(QStringLiteral("Abilita import CR"), PanelAlto);
    LabelCR = new QLabel(QStringLiteral("Tot. campi per record:"), PanelAlto);
    SpinEditCR = new QSpinBox(PanelAlto);
    SpinEditCR->setRange(1, 1000);
    SpinEditCR->setValue(1);
    rigaCR->addWidget(CheckAbilitaCR);
    rigaCR->addWidget(LabelCR);
    rigaCR->addWidget(SpinEditCR);
    rigaCR->addStretch(1);
    auto *rigaTag = new QHBoxLayout;
    CheckMemoEstesi = new QCheckBox(QStringLiteral("Import memo estesi con tag CR"), PanelAlto);
    LabelTag = new QLabel(QStringLiteral("Tag CR:"), PanelAlto);
    EditMemoEstesiTag = new QLineEdit(PanelAlto);
    rigaTag->addWidget(CheckMemoEstesi);
    rigaTag->addWidget(LabelTag);
    rigaTag->addWidget(EditMemoEstesiTag);
    rigaTag->addStretch(1);
    auto *validazione = new QGroupBox(QStringLiteral("Validazione dati importazione"), PanelAlto);
    auto *lv = new QHBoxLayout(validazione);
    RadioRecord = new QRadioButton(QStringLiteral("Record per record"), validazione);
    RadioCampo = new QRadioButton(QStringLiteral("Campo per campo"), validazione);
    RadioRecord->setChecked(true);
    lv->addWidget(RadioRecord);
    lv->addWidget(RadioCampo);
    auto *bottoni = new QHBoxLayout;
    ButtonImporta = new QPushButton(QStringLiteral("Importa"), PanelAlto);
    ButtonImporta->setObjectName(QStringLiteral("ButtonImporta"));
    ButtonChiudi = new QPushButton(QStringLiteral("Chiudi"), PanelAlto);
    ButtonChiudi->setObjectName(QStringLiteral("ButtonChiudi"));
    bottoni->addStretch(1);
    bottoni->addWidget(ButtonImporta);
    bottoni->addWidget(ButtonChiudi);
    alto->addLayout(rigaFile);
    alto->addWidget(CheckSaltaPrimaRiga);
    alto->addLayout(rigaCR);
    alto->addLayout(rigaTag);
    alto->addWidget(validazione);
    alto->addLayout(bottoni);
    MemoRiepilogo = new QPlainTextEdit(this);
    MemoRiepilogo->setObjectName(QStringLiteral("MemoRiepilogo"));
    MemoRiepilogo->setReadOnly(true);
    PanelProgresso = new QWidget(this);
    auto *lp = new QHBoxLayout(PanelProgresso);
    BarraProgresso = new QProgressBar(PanelProgresso);
    BarraProgresso->setRange(0, 100);
    ButtonInterrompi = new QPushButton(QStringLiteral("Interrompi"), PanelProgresso);
    lp->addWidget(BarraProgresso, 1);
    lp->addWidget(ButtonInterrompi);
    PanelProgresso->hide();
    auto *l = new QVBoxLayout(this);
    l->addWidget(PanelAlto);
    l->addWidget(MemoRiepilogo, 1);
    l->addWidget(PanelProgresso);
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(false);

    const auto aggiornaOpzioni = [this] {
        LabelCR->setVisible(CheckAbilitaCR->isChecked());
        SpinEditCR->setVisible(CheckAbilitaCR->isChecked());
        LabelTag->setVisible(CheckMemoEstesi->isChecked());
        EditMemoEstesiTag->setVisible(CheckMemoEstesi->isChecked());
    };
    aggiornaOpzioni();
    connect(CheckAbilitaCR, &QCheckBox::toggled, this, aggiornaOpzioni);
    connect(CheckMemoEstesi, &QCheckBox::toggled, this, aggiornaOpzioni);
    connect(ButtonFile, &QPushButton::clicked, this, &TEdTabIBImportForm::ButtonFileClick);
    connect(ButtonImporta, &QPushButton::clicked, this, &TEdTabIBImportForm::ButtonImportaClick);
    connect(ButtonInterrompi, &QPushButton::clicked, this, &TEdTabIBImportForm::ButtonInterrompiClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TEdTabIBImportForm::reject);
}

void TEdTabIBImportForm::ButtonFileClick()
{
    const std::optional<QString> scelto = platform::fileDialogs().openFile(
        QStringLiteral("Selezione file"), QString(), QStringLiteral("File di testo (*.txt;*.csv)|*.txt;*.csv|Tutti i file (*.*)|*.*"));
    if (scelto)
        EditFile->setText(*scelto);
}

void TEdTabIBImportForm::ButtonImportaClick()
{
    const QString file = EditFile->text();
    if (file.isEmpty()) {
        platform::warning(QStringLiteral("Specificare un file"));
        return;
    }
    if (!QFileInfo::exists(file)) {
        platform::warning(QStringLiteral("Il file \"%1\" non è stato trovato").arg(file));
        return;
    }
    MemoRiepilogo->clear();
    OpzioniImport o;
    o.tabella = m_tabella;
    o.file = file;
    o.saltaPrimaRiga = CheckSaltaPrimaRiga->isChecked();
    o.perCampo = RadioCampo->isChecked();
    o.perNumeroCampi = CheckAbilitaCR->isChecked();
    o.campiPerRecord = SpinEditCR->value();
    o.tagACapo = CheckMemoEstesi->isChecked();
    o.tag = EditMemoEstesiTag->text();
    bool fermare = false;
    platform::WindowRunFeedback fb;
    fb.onLine = [this](const QString &t) { MemoRiepilogo->appendPlainText(t); };
    fb.onProgress = [this](int p) { BarraProgresso->setValue(p); };
    fb.interruption = [&] { return fermare; };
    TImportFile importer(m_context->transaction(), o, fb);
    try {
        if (importer.VerificaImportazione() != 0) {
            platform::error(QStringLiteral("Importazione non consentita"));
            return;
        }
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Importazione non consentita") + QLatin1Char('\r') + e.message());
        return;
    } catch (const std::exception &e) {
        platform::error(QStringLiteral("Importazione non consentita") + QLatin1Char('\r') + QString::fromUtf8(e.what()));
        return;
    }
    if (!platform::confirm(QStringLiteral("Avviare l'importazione?")))
        return;
    PanelAlto->setEnabled(false);
    BarraProgresso->setValue(0);
    PanelProgresso->show();
    m_inCorso = true;
    QMetaObject::Connection stop = connect(ButtonInterrompi, &QPushButton::clicked, this, [&] {
        if (m_inCorso && platform::confirm(QStringLiteral("Interrompere l'elaborazione?\r"
                                                           "I dati fin'ora importati rimarranno comunque memorizzati")))
            fermare = true;
    });
    bool riuscita = false;
    try {
        importer.EseguiImportazione();
        riuscita = true;
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Importazione fallita") + QLatin1Char('\r') + e.message());
    } catch (const std::exception &e) {
        platform::error(QStringLiteral("Importazione fallita") + QLatin1Char('\r') + QString::fromUtf8(e.what()));
    }
    disconnect(stop);
    m_inCorso = false;
    if (dopoImport)
        dopoImport();
    PanelProgresso->hide();
    if (riuscita && importer.righeRifiutate() > 0)
        platform::warning(QStringLiteral("Importazione effettuata\rRighe importate: %1\rRighe non importate: %2 "
                                         "(vedere il riepilogo)")
                              .arg(importer.righeInserite())
                              .arg(importer.righeRifiutate()));
    else if (riuscita)
        platform::information(QStringLiteral("Importazione effettuata"));
    PanelAlto->setEnabled(true);
}

void TEdTabIBImportForm::ButtonInterrompiClick()
{
    // The stop question is asked by the handler the running import connects.
}

void TEdTabIBImportForm::reject()
{
    if (m_inCorso)
        return;
    QDialog::reject();
}

} // namespace vardof::tabletools
