#include "maintenance/ui/TAggFDBFDBForm.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "entry/ui/TListTabForm.h"
#include "maintenance/StoreTables.h"
#include "maintenance/ui/RunGuard.h"
#include "maintenance/ui/THelpAggFDBFDBForm.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "platform/widgets/WindowRunFeedback.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace vardof::maintenance {

TAggFDBFDBForm::TAggFDBFDBForm(context::TTabForm *context, int userNumber, QWidget *parent)
    : StoredRowsForm(context, QStringLiteral("STOAGGFDBFDB"), QStringLiteral("SELECT * FROM STOAGGFDBFDB ORDER BY CODICE"),
                     parent)
    , m_user(userNumber)
    , m_engine(std::make_unique<AggiornamentoFDB>(context->database(), context->transaction(), aperturaLibreria()))
    , m_memo(std::make_unique<TMemoForm>(context->NomeProgetto, this))
{
    setWindowTitle(QStringLiteral("Aggiornamenti da FDB a FDB - Ditta: ") + context->NomeProgetto);
    GridAgg = Grid;
    GridAgg->setObjectName(QStringLiteral("GridAgg"));

    auto *fields = new QWidget(this);
    auto *g = new QGridLayout(fields);
    EditCodice = new QLineEdit(fields);
    EditCodice->setReadOnly(true);
    EditTitolo = new QLineEdit(fields);
    // As long as TITOLO holds: a longer title typed would only be refused
    // by the server at the save.
    EditTitolo->setMaxLength(40);
    EditTabellaFDB1 = new QLineEdit(fields);
    EditArchivioTabellaFDB2 = new QLineEdit(fields);
    EditTabellaFDB2 = new QLineEdit(fields);
    MemoNote = new QPlainTextEdit(fields);
    MemoScript = new QPlainTextEdit(fields);
    LabelCodice = new QLabel(QStringLiteral("Codice"), fields);
    ButtonTitolo = new QPushButton(QStringLiteral("Titolo"), fields);
    ButtonNote = new QPushButton(QStringLiteral("Note"), fields);
    ButtonScript = new QPushButton(QStringLiteral("Script"), fields);
    ButtonTabellaFDB1 = new QPushButton(QStringLiteral("Tabella FDB Origine"), fields);
    ButtonArchivioFDB2 = new QPushButton(QStringLiteral("Archivio FDB Destinazione"), fields);
    ButtonTabellaFDB2 = new QPushButton(QStringLiteral("Tabella FDB Destinazione"), fields);
    ButtonControllo = new QPushButton(QStringLiteral("Controllo Validità"), this);
    ButtonHelp = new QPushButton(QStringLiteral("?"), this);
    CheckControllo = new QCheckBox(QStringLiteral("Ignora controllo\nvalidità campi\norigine"), fields);
    ProgressElab = new QProgressBar(this);
    ProgressElab->setRange(0, 100);
    ProgressElab->hide();
    auto *reminder = new QLabel(QStringLiteral("Raccomandazione:\r\nOgni istruzione\r\nva sviluppata\r\nsu una sola riga"),
                                fields);

    g->addWidget(LabelCodice, 0, 0);
    g->addWidget(EditCodice, 0, 1);
    g->addWidget(ButtonTitolo, 1, 0);
    g->addWidget(EditTitolo, 1, 1);
    g->addWidget(ButtonTabellaFDB1, 2, 0);
    g->addWidget(EditTabellaFDB1, 2, 1);
    g->addWidget(ButtonArchivioFDB2, 3, 0);
    g->addWidget(EditArchivioTabellaFDB2, 3, 1);
    g->addWidget(ButtonTabellaFDB2, 4, 0);
    g->addWidget(EditTabellaFDB2, 4, 1);
    g->addWidget(ButtonNote, 5, 0);
    g->addWidget(MemoNote, 5, 1);
    g->addWidget(ButtonScript, 6, 0);
    g->addWidget(MemoScript, 6, 1);
    g->addWidget(reminder, 6, 2);
    g->addWidget(CheckControllo, 5, 2);
    g->addWidget(ProgressElab, 7, 0, 1, 3);
    build(fields, {ButtonControllo, ButtonHelp});

    connect(ButtonTitolo, &QPushButton::clicked, this, [this] { EditTitolo->setFocus(); });
    connect(ButtonNote, &QPushButton::clicked, this, [this] { MemoNote->setFocus(); });
    connect(ButtonScript, &QPushButton::clicked, this, [this] { MemoScript->setFocus(); });
    connect(ButtonTabellaFDB1, &QPushButton::clicked, this, &TAggFDBFDBForm::ButtonTabellaFDB1Click);
    connect(ButtonArchivioFDB2, &QPushButton::clicked, this, &TAggFDBFDBForm::ButtonArchivioFDB2Click);
    connect(ButtonTabellaFDB2, &QPushButton::clicked, this, &TAggFDBFDBForm::ButtonTabellaFDB2Click);
    connect(ButtonControllo, &QPushButton::clicked, this, &TAggFDBFDBForm::ButtonControlloClick);
    connect(ButtonElabora, &QPushButton::clicked, this, &TAggFDBFDBForm::ButtonElaboraClick);
    connect(ButtonHelp, &QPushButton::clicked, this, &TAggFDBFDBForm::ButtonHelpClick);
    resize(900, 700);

    try {
        assicuraStoAggFdbFdb(context->database(), context->transaction());
    } catch (const db::Error &) {
        platform::error(QStringLiteral("Errore interno di CREATE: impossibile creare la tabella STOAGGFDBFDB"));
    }
    reopen(-1);
    SettaggioInterfaccia(false);
}

TAggFDBFDBForm::~TAggFDBFDBForm() = default;

void TAggFDBFDBForm::enableFields(bool editing)
{
    for (QWidget *w : std::initializer_list<QWidget *>{EditTitolo, EditTabellaFDB1, EditArchivioTabellaFDB2,
                                                        EditTabellaFDB2, MemoNote, MemoScript, ButtonTitolo,
                                                        ButtonNote, ButtonScript, ButtonTabellaFDB1,
                                                        ButtonArchivioFDB2, ButtonTabellaFDB2})
        w->setEnabled(editing);
}

void TAggFDBFDBForm::showRow(int row)
{
    const StoredRows &r = rows();
    EditCodice->setText(r.text(row, QStringLiteral("CODICE")));
    EditTitolo->setText(r.text(row, QStringLiteral("TITOLO")));
    EditTabellaFDB1->setText(r.text(row, QStringLiteral("NOMETABELLAFDB1")).trimmed());
    EditArchivioTabellaFDB2->setText(r.text(row, QStringLiteral("ARCHIVIOTABELLAFDB2")).trimmed());
    EditTabellaFDB2->setText(r.text(row, QStringLiteral("NOMETABELLAFDB2")).trimmed());
    MemoNote->setPlainText(r.text(row, QStringLiteral("NOTE")));
    MemoScript->setPlainText(r.text(row, QStringLiteral("SCRIPT")));
}

void TAggFDBFDBForm::newRow(int codice)
{
    showRow(-1);
    EditCodice->setText(QString::number(codice));
}

int TAggFDBFDBForm::codiceCorrente() const
{
    return EditCodice->text().toInt();
}

QMap<QString, db::FieldValue> TAggFDBFDBForm::rowValues() const
{
    auto text = [](const QString &t) { return t.isEmpty() ? db::FieldValue() : db::FieldValue(db::Value(t)); };
    return {{QStringLiteral("CODICE"), db::Value(qint64(codiceCorrente()))},
            {QStringLiteral("TITOLO"), text(EditTitolo->text())},
            {QStringLiteral("NOMETABELLAFDB1"), text(EditTabellaFDB1->text().trimmed())},
            {QStringLiteral("ARCHIVIOTABELLAFDB2"), text(EditArchivioTabellaFDB2->text().trimmed())},
            {QStringLiteral("NOMETABELLAFDB2"), text(EditTabellaFDB2->text().trimmed())},
            {QStringLiteral("NOTE"), text(MemoNote->toPlainText())},
            {QStringLiteral("SCRIPT"), text(MemoScript->toPlainText())}};
}

ScriptFDB TAggFDBFDBForm::scriptCorrente() const
{
    ScriptFDB s;
    s.codice = codiceCorrente();
    s.titolo = EditTitolo->text();
    s.tabellaOrigine = EditTabellaFDB1->text().trimmed();
    s.archivioDestinazione = EditArchivioTabellaFDB2->text().trimmed();
    s.tabellaDestinazione = EditTabellaFDB2->text().trimmed();
    s.note = MemoNote->toPlainText();
    s.script = MemoScript->toPlainText();
    return s;
}

int TAggFDBFDBForm::ControllaValiditaScript(QString &messaggio)
{
    platform::WindowRunFeedback feedback;
    if (m_inElaborazione) {
        messaggio = avvisoElaborazioneInCorso();
        return -1;
    }
    return m_engine->ControllaValiditaScript(scriptCorrente(), CheckControllo->isChecked(), feedback, messaggio);
}

bool TAggFDBFDBForm::canSave()
{
    QString message;
    const int result = ControllaValiditaScript(message);
    if (result == 0)
        return true;
    const QString kind = result < 0 ? QStringLiteral("Segnalazioni bloccanti:") : QStringLiteral("Segnalazioni non bloccanti:");
    const platform::Answer a = platform::messages().show(
        platform::Warning, QString(), kind + QStringLiteral("\n\n") + message + QStringLiteral("\n\nSalvare comunque le modifiche?"),
        platform::Buttons::YesNo);
    return a == platform::Answer::Yes;
}

void TAggFDBFDBForm::ButtonControlloClick()
{
    if (m_inElaborazione)
        return;
    QString message;
    const int result = ControllaValiditaScript(message);
    if (result < 0)
        platform::warning(QStringLiteral("Segnalazioni bloccanti:\n") + message);
    else if (result == 0)
        platform::information(QStringLiteral("Lo script è formalmente corretto"));
    else
        platform::warning(QStringLiteral("Segnalazioni non bloccanti:\n") + message);
}

void TAggFDBFDBForm::ButtonElaboraClick()
{
    if (editing() || m_inElaborazione)
        return;
    m_memo->preparaElaborazione();
    if (rows().count() == 0) {
        platform::warning(QStringLiteral("La tabella è vuota: si prega di inserire almeno un record"));
        return;
    }
    if (!platform::confirm(QStringLiteral("Eseguire l'elaborazione?")))
        return;

    {
        // The run lets input through after every row. Anything that checks,
        // saves, picks a table or runs again would reopen the destination
        // connection under it; closing either window is taken as a request
        // to interrupt, "Interrompi" staying the one way to stop.
        std::vector<QWidget *> controls = controlliElaborazione();
        controls.push_back(CheckControllo);
        controls.push_back(m_memo->ButtonChiudi);
        RunGuard guard(controls, &m_inElaborazione);
        const auto interrompi = [this] { m_memo->ButtonMemoInterrompiClick(); };
        guard.holdOpen(this, interrompi).holdOpen(m_memo.get(), interrompi);

        m_memo->show();
        ProgressElab->setValue(0);
        ProgressElab->show();
        // The run's log, bar and interruption, as the engine sees them.
        platform::WindowRunFeedback feedback;
        feedback.onLine = [this](const QString &line) { m_memo->aggiungiRiga(line); };
        feedback.onProgress = [this](int percent) { ProgressElab->setValue(percent); };
        feedback.interruption = [this] { return m_memo->interruzioneRichiesta(); };
        m_engine->esegui(scriptCorrente(), CheckControllo->isChecked(), feedback);
        ProgressElab->hide();
        m_memo->fineElaborazione();
    }
    m_memo->hide();
    if (m_memo->righe() > 0 && logModale)
        m_memo->exec();
}

void TAggFDBFDBForm::ButtonHelpClick()
{
    THelpAggFDBFDBForm help(m_context->NomeProgetto, this);
    help.exec();
}

void TAggFDBFDBForm::ButtonTabellaFDB1Click()
{
    entry::TListTabForm picker(m_context->database(), m_context->transaction(), this);
    picker.exec();
    if (picker.Risposta == 1 && !picker.tabellaScelta().isEmpty())
        EditTabellaFDB1->setText(picker.tabellaScelta());
}

void TAggFDBFDBForm::ButtonArchivioFDB2Click()
{
    const std::optional<QString> file = platform::fileDialogs().openFile(
        QString(), m_context->Archivio, QStringLiteral("Archivi Firebird (*.GDB;*.FDB)|*.GDB;*.FDB"));
    if (file)
        EditArchivioTabellaFDB2->setText(*file);
}

void TAggFDBFDBForm::ButtonTabellaFDB2Click()
{
    if (m_inElaborazione)
        return;
    platform::WindowRunFeedback feedback;
    if (!m_engine->ConnessioneDatabaseDestinazione(EditArchivioTabellaFDB2->text().trimmed(), feedback))
        return;
    entry::TListTabForm picker(m_engine->destinazione(), m_engine->transazioneDestinazione(), this);
    picker.exec();
    if (picker.Risposta == 1 && !picker.tabellaScelta().isEmpty())
        EditTabellaFDB2->setText(picker.tabellaScelta());
}

bool TAggFDBFDBForm::FormClose()
{
    if (m_inElaborazione) {
        m_memo->ButtonMemoInterrompiClick();
        return false;
    }
    if (editing()) {
        platform::warning(QStringLiteral("Si prega di salvare o annullare le modifiche prima di chiudere la finestra"));
        return false;
    }
    // The last run's writes are committed now, where a failure can still be told.
    platform::WindowRunFeedback feedback;
    m_engine->chiudiDestinazione(&feedback);
    return true;
}

void TAggFDBFDBForm::closeEvent(QCloseEvent *event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TAggFDBFDBForm::reject()
{
    if (FormClose())
        QDialog::reject();
}

} // namespace vardof::maintenance
