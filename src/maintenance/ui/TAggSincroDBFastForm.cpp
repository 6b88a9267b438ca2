#include "maintenance/ui/TAggSincroDBFastForm.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "entry/ui/TListTabForm.h"
#include "maintenance/StoreTables.h"
#include "maintenance/ui/RunGuard.h"
#include "maintenance/ui/TMessaggioForm.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "platform/widgets/WindowRunFeedback.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace vardof::maintenance {

namespace {

const QString kFiltro = QStringLiteral("Archivi Interbase (*.gdb;*.fdb)|*.gdb;*.fdb");

// The two progress windows of a run; the run's guard keeps them open. The
// bar of the current copy is the feedback's progress.
class SincroView : public FasiSincro
{
public:
    SincroView(QWidget *parent, RunGuard &guard) : m_parent(parent), m_guard(guard) {}
    void analisiIniziata() override
    {
        m_messaggio = std::make_unique<TMessaggioForm>(QStringLiteral("Analisi elaborazioni da eseguire"), m_parent);
        m_guard.holdOpen(m_messaggio.get());
        m_messaggio->show();
        QCoreApplication::processEvents();
    }
    void analisiFinita() override { m_messaggio.reset(); }
    void esecuzioneIniziata() override
    {
        m_elab = std::make_unique<TAggSincroDBFastElabForm>(m_parent);
        m_guard.holdOpen(m_elab.get());
        m_elab->show();
    }
    void elaborazione(int i, int n, int percentuale) override
    {
        if (!m_elab)
            return;
        m_elab->LabelElaborazione->setText(QStringLiteral("Elaborazione %1 di %2").arg(i).arg(n));
        m_elab->ProgressElaborazione->setValue(percentuale);
    }
    void esecuzioneFinita() override { m_elab.reset(); }
    void progress(int percent)
    {
        if (m_elab)
            m_elab->ProgressAvanzamento->setValue(percent);
    }

private:
    QWidget *m_parent;
    RunGuard &m_guard;
    std::unique_ptr<TMessaggioForm> m_messaggio;
    std::unique_ptr<TAggSincroDBFastElabForm> m_elab;
};

} // namespace

TAggSincroDBFastForm::TAggSincroDBFastForm(context::TTabForm *context, int userNumber, QWidget *parent)
    : StoredRowsForm(context, QStringLiteral("STOAGGSINCRODBFAST"),
                     QStringLiteral("SELECT\n  *\nFROM\n  STOAGGSINCRODBFAST\nORDER BY\n  CODICE"), parent)
    , m_user(userNumber)
    , m_opener(aperturaLibreria())
{
    setWindowTitle(QStringLiteral("Sincro database - Ditta: ") + context->NomeProgetto);
    GridSto = Grid;
    GridSto->setObjectName(QStringLiteral("GridSto"));

    auto *fields = new QWidget(this);
    auto *g = new QGridLayout(fields);
    EditCodice = new QLineEdit(fields);
    EditCodice->setReadOnly(true);
    EditTitolo = new QLineEdit(fields);
    // As long as TITOLO holds: a longer title typed would only be refused
    // by the server at the save.
    EditTitolo->setMaxLength(40);
    EditDBOrigine = new QLineEdit(fields);
    EditTabOrigine = new QLineEdit(fields);
    EditDBDestinazione = new QLineEdit(fields);
    EditTabDestinazione = new QLineEdit(fields);
    MemoNote = new QPlainTextEdit(fields);
    CheckAbilitata = new QCheckBox(QStringLiteral("Elaborazione abilitata"), fields);
    ComboTipoElab = new QComboBox(fields);
    ComboTipoElab->addItem(kTipoRecordMancanti);
    LabelCodice = new QLabel(QStringLiteral("Codice"), fields);
    ButtonTitolo = new QPushButton(QStringLiteral("Titolo"), fields);
    ButtonNote = new QPushButton(QStringLiteral("Note"), fields);
    ButtonTipoElab = new QPushButton(QStringLiteral("Tipo elaborazione"), fields);
    ButtonDBOrigine = new QPushButton(QStringLiteral("&1. Database origine"), fields);
    ButtonTabOrigine = new QPushButton(QStringLiteral("&2. Tabella origine"), fields);
    ButtonDBDestinazione = new QPushButton(QStringLiteral("&3. Database destinazione"), fields);
    ButtonTabDestinazione = new QPushButton(QStringLiteral("&4. Tabella destinazione"), fields);
    int row = 0;
    g->addWidget(LabelCodice, row, 0);
    g->addWidget(EditCodice, row++, 1);
    g->addWidget(ButtonTitolo, row, 0);
    g->addWidget(EditTitolo, row++, 1);
    g->addWidget(ButtonDBOrigine, row, 0);
    g->addWidget(EditDBOrigine, row++, 1);
    g->addWidget(ButtonTabOrigine, row, 0);
    g->addWidget(EditTabOrigine, row++, 1);
    g->addWidget(ButtonDBDestinazione, row, 0);
    g->addWidget(EditDBDestinazione, row++, 1);
    g->addWidget(ButtonTabDestinazione, row, 0);
    g->addWidget(EditTabDestinazione, row++, 1);
    g->addWidget(ButtonTipoElab, row, 0);
    g->addWidget(ComboTipoElab, row++, 1);
    g->addWidget(CheckAbilitata, row++, 1);
    g->addWidget(ButtonNote, row, 0);
    g->addWidget(MemoNote, row++, 1);
    build(fields, {});

    connect(ButtonTitolo, &QPushButton::clicked, this, &TAggSincroDBFastForm::Inserimento_ButtonTitoloClick);
    connect(ButtonNote, &QPushButton::clicked, this, &TAggSincroDBFastForm::Inserimento_ButtonNoteClick);
    connect(ButtonTipoElab, &QPushButton::clicked, this, &TAggSincroDBFastForm::Inserimento_ButtonTipoElabClick);
    connect(ButtonDBOrigine, &QPushButton::clicked, this, &TAggSincroDBFastForm::ButtonDBOrigineClick);
    connect(ButtonTabOrigine, &QPushButton::clicked, this, &TAggSincroDBFastForm::ButtonTabOrigineClick);
    connect(ButtonDBDestinazione, &QPushButton::clicked, this, &TAggSincroDBFastForm::ButtonDBDestinazioneClick);
    connect(ButtonTabDestinazione, &QPushButton::clicked, this, &TAggSincroDBFastForm::ButtonTabDestinazioneClick);
    connect(ButtonElabora, &QPushButton::clicked, this, &TAggSincroDBFastForm::ButtonElaboraClick);
    resize(900, 650);

    try {
        assicuraStoAggSincroDbFast(context->database(), context->transaction());
    } catch (const db::Error &) {
        platform::error(QStringLiteral("Errore interno di CREATE: impossibile creare la tabella STOAGGSINCRODBFAST"));
    }
    reopen(-1);
    SettaggioInterfaccia(false);
}

TAggSincroDBFastForm::~TAggSincroDBFastForm() = default;

void TAggSincroDBFastForm::enableFields(bool editing)
{
    for (QWidget *w : std::initializer_list<QWidget *>{EditTitolo, EditDBOrigine, EditTabOrigine, EditDBDestinazione,
                                                        EditTabDestinazione, MemoNote, CheckAbilitata, ComboTipoElab,
                                                        ButtonTitolo, ButtonNote, ButtonTipoElab, ButtonDBOrigine,
                                                        ButtonTabOrigine, ButtonDBDestinazione, ButtonTabDestinazione})
        w->setEnabled(editing);
}

void TAggSincroDBFastForm::showRow(int row)
{
    const StoredRows &r = rows();
    EditCodice->setText(r.text(row, QStringLiteral("CODICE")));
    EditTitolo->setText(r.text(row, QStringLiteral("TITOLO")));
    EditDBOrigine->setText(r.text(row, QStringLiteral("DBORIGINE")).trimmed());
    EditTabOrigine->setText(r.text(row, QStringLiteral("TABELLAORIGINE")).trimmed());
    EditDBDestinazione->setText(r.text(row, QStringLiteral("DBDESTINAZIONE")).trimmed());
    EditTabDestinazione->setText(r.text(row, QStringLiteral("TABELLADESTINAZIONE")).trimmed());
    MemoNote->setPlainText(r.text(row, QStringLiteral("NOTE")));
    CheckAbilitata->setChecked(r.text(row, QStringLiteral("ELABORAZIONEABILITATA")) == QLatin1String("1"));
    const QString tipo = r.text(row, QStringLiteral("TIPOELABORAZIONE")).trimmed();
    ComboTipoElab->setCurrentIndex(ComboTipoElab->findText(tipo));
}

void TAggSincroDBFastForm::newRow(int codice)
{
    showRow(-1);
    EditCodice->setText(QString::number(codice));
    ComboTipoElab->setCurrentIndex(0);
    CheckAbilitata->setChecked(true);
}

void TAggSincroDBFastForm::afterEditEntered()
{
    EditTitolo->setFocus();
}

int TAggSincroDBFastForm::codiceCorrente() const
{
    return EditCodice->text().toInt();
}

QMap<QString, db::FieldValue> TAggSincroDBFastForm::rowValues() const
{
    auto text = [](const QString &t) { return t.isEmpty() ? db::FieldValue() : db::FieldValue(db::Value(t)); };
    return {{QStringLiteral("CODICE"), db::Value(qint64(codiceCorrente()))},
            {QStringLiteral("TITOLO"), text(EditTitolo->text())},
            {QStringLiteral("DBORIGINE"), text(EditDBOrigine->text().trimmed())},
            {QStringLiteral("TABELLAORIGINE"), text(EditTabOrigine->text().trimmed())},
            {QStringLiteral("DBDESTINAZIONE"), text(EditDBDestinazione->text().trimmed())},
            {QStringLiteral("TABELLADESTINAZIONE"), text(EditTabDestinazione->text().trimmed())},
            {QStringLiteral("NOTE"), text(MemoNote->toPlainText())},
            {QStringLiteral("TIPOELABORAZIONE"), text(ComboTipoElab->currentText())},
            {QStringLiteral("ELABORAZIONEABILITATA"), db::Value(qint64(CheckAbilitata->isChecked() ? 1 : 0))}};
}

void TAggSincroDBFastForm::Inserimento_ButtonTitoloClick() { EditTitolo->setFocus(); }
void TAggSincroDBFastForm::Inserimento_ButtonDBOrigineClick() { EditDBOrigine->setFocus(); }
void TAggSincroDBFastForm::Inserimento_ButtonTabOrigineClick() { EditTabOrigine->setFocus(); }
void TAggSincroDBFastForm::Inserimento_ButtonDBDestinazioneClick() { EditDBDestinazione->setFocus(); }
void TAggSincroDBFastForm::Inserimento_ButtonTabDestinazioneClick() { EditTabDestinazione->setFocus(); }
void TAggSincroDBFastForm::Inserimento_ButtonNoteClick() { MemoNote->setFocus(); }
void TAggSincroDBFastForm::Inserimento_ButtonTipoElabClick() { ComboTipoElab->setFocus(); }

void TAggSincroDBFastForm::ButtonDBOrigineClick()
{
    Inserimento_ButtonDBOrigineClick();
    if (auto file = platform::fileDialogs().openFile(QString(), EditDBOrigine->text(), kFiltro))
        EditDBOrigine->setText(*file);
}

void TAggSincroDBFastForm::ButtonDBDestinazioneClick()
{
    Inserimento_ButtonDBDestinazioneClick();
    if (auto file = platform::fileDialogs().openFile(QString(), EditDBDestinazione->text(), kFiltro))
        EditDBDestinazione->setText(*file);
}

void TAggSincroDBFastForm::ButtonTabOrigineClick()
{
    if (m_inElaborazione)
        return;
    Inserimento_ButtonTabOrigineClick();
    entry::TListTabForm picker(m_context->database(), m_context->transaction(), this);
    picker.exec();
    if (picker.Risposta == 1 && !picker.tabellaScelta().isEmpty())
        EditTabOrigine->setText(picker.tabellaScelta());
}

void TAggSincroDBFastForm::ButtonTabDestinazioneClick()
{
    if (m_inElaborazione)
        return;
    Inserimento_ButtonTabDestinazioneClick();
    const QString path = EditDBDestinazione->text().trimmed();
    if (path.isEmpty()) {
        platform::warning(QStringLiteral("Database destinazione non impostato"));
        return;
    }
    if (!databaseFileExists(path)) {
        platform::warning(QStringLiteral("Il database destinazione impostato è inesistente"));
        return;
    }
    db::Attachment destination;
    const auto [dir, file] = splitDatabasePath(path);
    if (!m_opener(destination, dir, file)) {
        platform::error(QStringLiteral("Errore di connessione al Database destinazione"));
        return;
    }
    {
        db::Transaction t(destination);
        entry::TListTabForm picker(destination, t, this);
        picker.exec();
        if (picker.Risposta == 1 && !picker.tabellaScelta().isEmpty())
            EditTabDestinazione->setText(picker.tabellaScelta());
    }
    destination.disconnect();
}

void TAggSincroDBFastForm::ButtonElaboraClick()
{
    if (editing() || m_inElaborazione)
        return;
    // The window's content is disabled for the run, which lets input through
    // between rows; a synchronisation cannot be interrupted, so closing the
    // window or a progress window is simply refused until it ends.
    RunGuard guard(controlliElaborazione(), &m_inElaborazione);
    guard.holdOpen(this);
    SincroView view(this, guard);
    platform::WindowRunFeedback feedback;
    feedback.onProgress = [&view](int percent) { view.progress(percent); };
    m_esito = eseguiSincronizzazioni(m_context->database(), m_context->transaction(), m_opener, feedback, &view);
}

} // namespace vardof::maintenance
