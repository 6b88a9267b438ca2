#include "import/ui/TImportCSVForm.h"

#include "import/ImportRun.h"
#include "import/ScriptLoader.h"
#include "import/ui/TAvanzamentoForm.h"
#include "import/ui/THelpImpFileForm.h"
#include "import/ui/TWImportCSVForm.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "platform/widgets/WindowRunFeedback.h"

#include "params/TTabXForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace vardof::importcsv {

// What the run shows goes to this window's controls and to the platform's
// message boxes.
class TImportCSVForm::Sink : public platform::WindowRunFeedback, public FasiImport
{
public:
    explicit Sink(TImportCSVForm &form) : f(form)
    {
        onLine = [this](const QString &testo) { f.MemoRiepilogo->appendPlainText(testo); };
        onProgress = [this](int percento) {
            if (f.m_avanzamento)
                f.m_avanzamento->imposta(percento);
        };
        // The request is taken when read: the run stops once for it.
        interruption = [this] { return std::exchange(f.m_richiestaInterruzione, false); };
    }

    void inizio() override
    {
        f.MemoRiepilogo->clear();
        f.m_richiestaInterruzione = false;
        f.ButtonInterrompi->setEnabled(true);
    }
    void fine() override { f.ButtonInterrompi->setEnabled(false); }
    void mostraAvanzamento(bool visibile) override
    {
        if (visibile) {
            f.m_avanzamento = std::make_unique<TAvanzamentoForm>(&f);
            f.m_avanzamento->show();
        } else {
            f.m_avanzamento.reset();
        }
    }

private:
    TImportCSVForm &f;
};

TImportCSVForm::TImportCSVForm(context::TTabForm *context, int userNumber, QWidget *parent)
    : QDialog(parent), m_context(context), m_userNumber(userNumber)
{
    setObjectName(QStringLiteral("TImportCSVForm"));
    setWindowTitle(QStringLiteral("Importazione file CSV - Ditta: ") + (m_context ? m_context->NomeProgetto : QString()));

    auto nomina = [](QWidget *w, const char *nome) {
        w->setObjectName(QString::fromLatin1(nome));
        return w;
    };
    ButtonFile = new QPushButton(QStringLiteral("&File da acquisire"), this);
    nomina(ButtonFile, "ButtonFile");
    EditFile = new QLineEdit(this);
    nomina(EditFile, "EditFile");
    EditFile->setReadOnly(true);
    ButtonHelp = new QPushButton(QStringLiteral("?"), this);
    nomina(ButtonHelp, "ButtonHelp");
    LabelScript = new QLabel(QStringLiteral("Analisi script:"), this);
    MemoScript = new QPlainTextEdit(this);
    nomina(MemoScript, "MemoScript");
    MemoScript->setReadOnly(true);
    LabelRiepilogo = new QLabel(QStringLiteral("Riepilogo:"), this);
    MemoRiepilogo = new QPlainTextEdit(this);
    nomina(MemoRiepilogo, "MemoRiepilogo");
    MemoRiepilogo->setReadOnly(true);
    ButtonWizard = new QPushButton(QStringLiteral("&Wizard"), this);
    nomina(ButtonWizard, "ButtonWizard");
    ButtonWizard->setEnabled(false);
    CheckSaltaRiga = new QCheckBox(QStringLiteral("Salta prima riga"), this);
    nomina(CheckSaltaRiga, "CheckSaltaRiga");
    ButtonElabora = new QPushButton(QStringLiteral("&Elabora"), this);
    nomina(ButtonElabora, "ButtonElabora");
    ButtonElabora->setEnabled(false);
    ButtonInterrompi = new QPushButton(QStringLiteral("&Interrompi"), this);
    nomina(ButtonInterrompi, "ButtonInterrompi");
    ButtonInterrompi->setEnabled(false);
    ButtonChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    nomina(ButtonChiudi, "ButtonChiudi");
    for (QPushButton *b : {ButtonFile, ButtonHelp, ButtonWizard, ButtonElabora, ButtonInterrompi, ButtonChiudi})
        b->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    auto *alto = new QHBoxLayout;
    alto->addWidget(ButtonFile);
    alto->addWidget(EditFile, 1);
    alto->addWidget(ButtonHelp);
    layout->addLayout(alto);
    layout->addWidget(LabelScript);
    layout->addWidget(MemoScript, 1);
    layout->addWidget(LabelRiepilogo);
    layout->addWidget(MemoRiepilogo, 2);
    auto *basso = new QHBoxLayout;
    basso->addWidget(ButtonWizard);
    basso->addWidget(CheckSaltaRiga);
    basso->addStretch();
    basso->addWidget(ButtonElabora);
    basso->addWidget(ButtonInterrompi);
    basso->addWidget(ButtonChiudi);
    layout->addLayout(basso);
    resize(760, 600);

    connect(ButtonFile, &QPushButton::clicked, this, &TImportCSVForm::ButtonFileClick);
    connect(ButtonHelp, &QPushButton::clicked, this, &TImportCSVForm::ButtonHelpClick);
    connect(ButtonWizard, &QPushButton::clicked, this, &TImportCSVForm::ButtonWizardClick);
    connect(ButtonElabora, &QPushButton::clicked, this, &TImportCSVForm::ButtonElaboraClick);
    connect(ButtonInterrompi, &QPushButton::clicked, this, &TImportCSVForm::ButtonInterrompiClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::close);

    if (m_userNumber != 0) {
        // Other tools read the user's archive from here during this call.
        try {
            m_parametriUtente = std::make_unique<params::TTabXForm>();
            m_parametriUtente->SetUserPerNum(m_userNumber);
            const QString archivio = m_parametriUtente->CaricaParametro(QStringLiteral("Archivio"));
            m_parametriUtente->Inserisci(QStringLiteral("OSL"), QStringLiteral("Archivio"), QString(), archivio, QString(),
                                         QString(), QString(), QString(), QString::number(m_userNumber));
        } catch (const db::Error &e) {
            platform::error(e.message());
        }
    }
}

TImportCSVForm::~TImportCSVForm()
{
    FormClose();
}

void TImportCSVForm::mostraErrore(const std::exception &e)
{
    if (auto *f = dynamic_cast<const ScriptFileError *>(&e))
        platform::error(f->message());
    else if (auto *d = dynamic_cast<const db::Error *>(&e))
        platform::error(d->message());
    else
        platform::error(QString::fromLocal8Bit(e.what()));
}

void TImportCSVForm::CaricaScript(const QString &percorso)
{
    ScriptLoader loader(m_context->database(), m_context->transaction());
    CaricamentoScript r;
    auto applica = [&] {
        m_parametri = r.parametri;
        m_colonne = r.colonne;
        m_chiavi = r.chiavi;
        MemoScript->setPlainText(r.memoScript.join(u'\n'));
        MemoRiepilogo->setPlainText(r.memoRiepilogo.join(u'\n'));
        ButtonElabora->setEnabled(r.valido);
    };
    // A file that cannot be read leaves the previous load as it was.
    const QStringList righe = leggiRigheScript(percorso);
    ButtonElabora->setEnabled(false);
    try {
        loader.verifica(analizzaScript(righe), r);
    } catch (const db::Error &) {
        r.valido = false;
        r.colonne.clear();
        r.chiavi.clear();
        applica();
        throw;
    }
    applica();
    if (!r.valido)
        platform::warning(QStringLiteral("Irregolarità nello script"));
}

void TImportCSVForm::ButtonFileClick()
{
    const std::optional<QString> scelto = platform::fileDialogs().openFile(QStringLiteral("Selezione file"), QString(), QString());
    if (!scelto)
        return;
    EditFile->setText(*scelto);
    ButtonWizard->setEnabled(!scelto->isEmpty());
    try {
        CaricaScript(percorsoScript(*scelto));
    } catch (const std::exception &e) {
        mostraErrore(e);
    }
}

void TImportCSVForm::ButtonHelpClick()
{
    THelpImpFileForm help(this);
    help.exec();
}

void TImportCSVForm::ButtonWizardClick()
{
    const QString percorso = percorsoScript(EditFile->text());
    std::unique_ptr<TWImportCSVForm> wizard;
    try {
        wizard = std::make_unique<TWImportCSVForm>(this, percorso, m_context);
        if (!m_parametri.tabellaDestinazione.isEmpty())
            wizard->precompila(m_parametri);
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    }
    if (wizard->exec() != QDialog::Accepted)
        return;
    try {
        CaricaScript(percorso);
    } catch (const std::exception &e) {
        mostraErrore(e);
    }
}

void TImportCSVForm::ButtonElaboraClick()
{
    if (m_inElaborazione)
        return;
    m_inElaborazione = true;
    // A second run, a new script or closing the window in the middle of a
    // run would pull the parameters and the connection from under it.
    for (QPushButton *b : {ButtonFile, ButtonWizard, ButtonElabora, ButtonChiudi})
        b->setEnabled(false);
    Sink sink(*this);
    ImportRun run(m_context->database(), m_context->transaction(), m_parametri, m_colonne, m_chiavi);
    run.esegui(EditFile->text(), CheckSaltaRiga->isChecked(), sink, OpzioniImport(), &sink);
    m_inElaborazione = false;
    ButtonFile->setEnabled(true);
    ButtonWizard->setEnabled(!EditFile->text().isEmpty());
    ButtonElabora->setEnabled(true);
    ButtonChiudi->setEnabled(true);
}

void TImportCSVForm::ButtonInterrompiClick()
{
    if (platform::confirm(QStringLiteral("Interrompere l'elaborazione?")))
        m_richiestaInterruzione = true;
}

void TImportCSVForm::FormClose()
{
    if (m_chiuso)
        return;
    m_chiuso = true;
    m_parametri.reset();
    m_colonne.clear();
    m_chiavi.clear();
    m_parametriUtente.reset();
}

void TImportCSVForm::closeEvent(QCloseEvent *event)
{
    if (m_inElaborazione) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TImportCSVForm::reject()
{
    if (m_inElaborazione)
        return;
    QDialog::reject();
}

void TImportCSVForm::done(int result)
{
    if (m_inElaborazione)
        return;
    QDialog::done(result);
    FormClose();
    m_chiuso = false; // the same window may be shown again
}

} // namespace vardof::importcsv
