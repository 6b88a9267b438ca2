#include "storedqueries/ui/TIBQGenForm.h"

#include "db/Statement.h"
#include "db/Error.h"
#include "context/OpenOrCreate.h"
#include "context/WorkContext.h"
#include "entry/ui/TListTabForm.h"
#include "platform/FileDialogs.h"
#include "platform/HostPaths.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "storedqueries/StoredQueryTables.h"
#include "storedqueries/ui/TMemoNoteForm.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include <memory>

namespace vardof::storedqueries {

namespace {

std::optional<QString> sceltaConTListTabForm(db::Attachment &att, db::Transaction &tra, QWidget *parent)
{
    entry::TListTabForm form(att, tra, parent);
    form.exec();
    if (form.Risposta != 1)
        return std::nullopt;
    return form.tabellaScelta();
}

TIBQGenForm::SceltaTabella &sceltaTabella()
{
    static TIBQGenForm::SceltaTabella picker = sceltaConTListTabForm;
    return picker;
}

bool fileEsiste(const QString &percorso)
{
    return QFileInfo(platform::toNativeLocal(percorso)).isFile();
}

// Another database file, on a connection of its own, closed when this goes.
struct AltroArchivio
{
    db::Attachment connessione;
    std::unique_ptr<db::Transaction> transazione;

    bool apri(const QString &percorso)
    {
        const platform::DirFile parti = platform::splitDirFile(percorso);
        if (!context::ApriOCreaDatabase(connessione, parti.dir, parti.file))
            return false;
        transazione = std::make_unique<db::Transaction>(connessione);
        return true;
    }
    ~AltroArchivio()
    {
        transazione.reset();
        connessione.disconnect();
    }
};

// The table as the catalogue names it: as typed, or else in upper case
// (names typed without quotes are stored in upper case). Empty when missing.
// The name is compared as a long text: bound to the catalogue's own column
// a name longer than the server's identifiers would be refused with a
// truncation error instead of being simply not found.
QString tabellaNelCatalogo(db::Attachment &att, db::Transaction &tra, const QString &tabella)
{
    constexpr int kLunghezzaConfronto = 255;
    if (tabella.size() > kLunghezzaConfronto)
        return QString();
    db::Statement s(att, tra,
                    QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS"
                                   " WHERE RDB$RELATION_NAME = CAST(:NOME AS VARCHAR(%1))")
                        .arg(kLunghezzaConfronto));
    for (const QString &nome : {tabella, tabella.toUpper()}) {
        s.setParam(QStringLiteral("NOME"), db::Value(nome));
        db::ResultSet rs = s.open();
        if (rs.next() && rs.toInt64(0).value_or(0) > 0)
            return nome;
    }
    return QString();
}

} // namespace

TIBQGenForm::SceltaTabella TIBQGenForm::setSceltaTabella(SceltaTabella picker)
{
    SceltaTabella previous = sceltaTabella();
    sceltaTabella() = picker ? std::move(picker) : SceltaTabella(sceltaConTListTabForm);
    return previous;
}

QString TIBQGenForm::messaggioArchivioNonTrovato(const QString &percorso)
{
    return QStringLiteral("L'archivio \"") + percorso + QStringLiteral("\" non è stato trovato");
}

TIBQGenForm::TIBQGenForm(context::TTabForm *context, int userNumber, Mode mode, QWidget *parent)
    : QDialog(parent)
    , DirectoryTemp(context->DirectoryTemp)
    , DirectoryLavoro(context->DirectoryLavoro)
    , DirectoryBin(context->DirectoryBin)
    , NomeProgetto(context->NomeProgetto)
    , m_context(context)
    , m_utente(userNumber)
    , m_mode(mode)
{
    setWindowTitle(QStringLiteral("Query Generica - Ditta: ") + NomeProgetto);
    // Only the system menu and minimise among the border icons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(13);
    setFont(f);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PanelAlto = new QWidget(this);
    PanelAlto->setObjectName(QStringLiteral("PanelAlto"));
    auto *griglia = new QGridLayout(PanelAlto);
    griglia->setContentsMargins(8, 8, 8, 8);
    griglia->setHorizontalSpacing(6);
    griglia->setVerticalSpacing(6);
    ButtonTabella = new QPushButton(QStringLiteral("&Tabella da interr."), PanelAlto);
    ButtonTabella->setObjectName(QStringLiteral("ButtonTabella"));
    ButtonDatabase = new QPushButton(QStringLiteral("Data&base"), PanelAlto);
    ButtonDatabase->setObjectName(QStringLiteral("ButtonDatabase"));
    EditTabella = new QLineEdit(PanelAlto);
    EditTabella->setObjectName(QStringLiteral("EditTabella"));
    EditPercorso = new QLineEdit(PanelAlto);
    EditPercorso->setObjectName(QStringLiteral("EditPercorso"));
    ButtonNote = new QPushButton(QStringLiteral("Note"), PanelAlto);
    ButtonNote->setObjectName(QStringLiteral("ButtonNote"));
    ButtonGeneraQuery = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                        QStringLiteral("Query"), PanelAlto);
    ButtonGeneraQuery->setObjectName(QStringLiteral("ButtonGeneraQuery"));
    ButtonGeneraQuery->setToolTip(QStringLiteral("Interroga la tabella scelta"));
    ButtonGeneraQuery->setDefault(true);
    ButtonTabella->setMinimumWidth(130);
    griglia->addWidget(ButtonTabella, 0, 0);
    griglia->addWidget(EditTabella, 0, 1);
    griglia->addWidget(ButtonGeneraQuery, 0, 2);
    griglia->addWidget(ButtonDatabase, 1, 0);
    griglia->addWidget(EditPercorso, 1, 1);
    griglia->addWidget(ButtonNote, 1, 2);
    griglia->setColumnStretch(1, 1);
    PanelAlto->setFixedHeight(72);
    layout->addWidget(PanelAlto);

    NOTE = new QPlainTextEdit(this);
    NOTE->setObjectName(QStringLiteral("NOTE"));
    NOTE->setReadOnly(true);
    NOTE->hide();

    auto *basso = new QHBoxLayout;
    basso->setContentsMargins(8, 4, 8, 8);
    ButtonStorico = new QPushButton(QStringLiteral("&Storico"), this);
    ButtonStorico->setObjectName(QStringLiteral("ButtonStorico"));
    // The history layout comes with the stored-query grid.
    ButtonStorico->setEnabled(false);
    basso->addWidget(ButtonStorico);
    basso->addStretch();
    layout->addLayout(basso);
    layout->addStretch();

    connect(ButtonGeneraQuery, &QPushButton::clicked, this, &TIBQGenForm::ButtonGeneraQueryClick);
    connect(ButtonTabella, &QPushButton::clicked, this, &TIBQGenForm::ButtonTabellaClick);
    connect(ButtonDatabase, &QPushButton::clicked, this, &TIBQGenForm::ButtonDatabaseClick);
    connect(ButtonNote, &QPushButton::clicked, this, &TIBQGenForm::ButtonNoteClick);
    connect(EditTabella, &QLineEdit::textChanged, this, &TIBQGenForm::AggiornaCampoDatabase);
    connect(EditPercorso, &QLineEdit::textChanged, this, &TIBQGenForm::AggiornaCampoDatabase);

    Creazione();
    LayoutSceltaTabella();
}

TIBQGenForm::~TIBQGenForm() = default;

void TIBQGenForm::Creazione()
{
    if (!m_context->isConnected())
        return;
    try {
        PreparaTabelleQuery(m_context->database(), m_context->transaction());
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile preparare le tabelle delle query memorizzate") + QLatin1Char('\r')
                        + e.message());
    }
}

void TIBQGenForm::LayoutSceltaTabella()
{
    EditTabella->show();
    EditPercorso->show();
    ButtonTabella->show();
    ButtonDatabase->show();
    ButtonNote->show();
    ButtonGeneraQuery->show();
    ButtonStorico->show();
    if (!isVisible())
        resize(637, 161);
    AggiornaCampoDatabase();
}

void TIBQGenForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    EditTabella->setFocus();
}

void TIBQGenForm::AggiornaCampoDatabase()
{
    const bool tabellaVuota = EditTabella->text().isEmpty();
    ButtonDatabase->setEnabled(tabellaVuota);
    EditPercorso->setReadOnly(!tabellaVuota);
    // A field that does not accept input looks like the window around it.
    QPalette p = EditPercorso->palette();
    p.setColor(QPalette::Base, palette().color(tabellaVuota ? QPalette::Base : QPalette::Window));
    EditPercorso->setPalette(p);
}

void TIBQGenForm::ButtonTabellaClick()
{
    EditTabella->setFocus();
    const QString percorso = EditPercorso->text().trimmed();
    std::optional<QString> scelta;
    if (percorso.isEmpty()) {
        if (!m_context->isConnected())
            return;
        scelta = sceltaTabella()(m_context->database(), m_context->transaction(), this);
    } else if (!fileEsiste(percorso)) {
        platform::warning(messaggioArchivioNonTrovato(percorso));
        return;
    } else {
        AltroArchivio altro;
        if (!altro.apri(percorso))
            return;
        scelta = sceltaTabella()(altro.connessione, *altro.transazione, this);
    }
    if (scelta && !scelta->isEmpty())
        EditTabella->setText(*scelta);
}

void TIBQGenForm::ButtonDatabaseClick()
{
    const QString percorso = EditPercorso->text().trimmed();
    const QString inizio = !percorso.isEmpty() && QFileInfo(platform::toNativeLocal(percorso)).isDir()
                               ? platform::extractFilePath(percorso)
                               : platform::extractFilePath(m_context->Archivio);
    const std::optional<QString> scelto = platform::fileDialogs().openFile(
        QString(), inizio, QStringLiteral("Archivi Interbase (*.gdb;*.fdb)|*.gdb;*.fdb"));
    if (scelto)
        EditPercorso->setText(*scelto);
}

void TIBQGenForm::ButtonNoteClick()
{
    TMemoNoteForm form(NOTE->toPlainText(), NOTE->isReadOnly(), NOTE->palette(), this);
    if (form.exec() == QDialog::Accepted && !NOTE->isReadOnly())
        NOTE->setPlainText(form.testo());
}

void TIBQGenForm::ButtonGeneraQueryClick()
{
    const QString tabella = EditTabella->text().trimmed();
    const QString percorso = EditPercorso->text().trimmed();
    if (tabella.isEmpty()) {
        platform::warning(QStringLiteral("Si prega di scegliere una tabella da interrogare"));
        return;
    }
    ApriQuery(tabella, percorso, std::nullopt);
}

void TIBQGenForm::ApriQueryStorico(int codice)
{
    if (!m_context->isConnected())
        return;
    QString tabella, percorso, nomeExport;
    try {
        db::Transaction lettura(m_context->database());
        db::Statement s(m_context->database(), lettura,
                        QStringLiteral("SELECT TABELLA, PERCORSO, NOMEEXPORT FROM STOQUER WHERE CODICE=")
                            + QString::number(codice),
                        db::ParamStyle::AsWritten);
        db::ResultSet rs = s.open();
        if (!rs.next()) {
            platform::warning(QStringLiteral("Query memorizzata ") + QString::number(codice) + QStringLiteral(" non trovata"));
            return;
        }
        tabella = rs.text(0).trimmed();
        percorso = rs.text(1).trimmed();
        nomeExport = rs.text(2).trimmed();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante la lettura della query memorizzata") + QLatin1Char('\r')
                        + e.message());
        return;
    }
    if (tabella.isEmpty()) {
        platform::warning(QStringLiteral("Si prega di scegliere una tabella da interrogare"));
        return;
    }
    ApriQuery(tabella, percorso, ChiaveStorico{kCodice1Storico, double(codice), nomeExport});
}

void TIBQGenForm::ApriQuery(const QString &tabella, const QString &percorso, const std::optional<ChiaveStorico> &storico)
{
    if (!m_context->isConnected())
        return;

    db::Transaction &traContesto = m_context->transaction();
    try {
        if (traContesto.isActive())
            traContesto.commit();
        traContesto.start();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante il riavvio della transazione") + QLatin1Char('\r') + e.message());
        return;
    }

    std::unique_ptr<AltroArchivio> altro;
    db::Attachment *att = &m_context->database();
    db::Transaction *tra = &traContesto;
    if (!percorso.isEmpty()) {
        if (!fileEsiste(percorso)) {
            platform::warning(messaggioArchivioNonTrovato(percorso));
            return;
        }
        altro = std::make_unique<AltroArchivio>();
        if (!altro->apri(percorso))
            return;
        att = &altro->connessione;
        tra = altro->transazione.get();
    }

    QString nome;
    try {
        nome = tabellaNelCatalogo(*att, *tra, tabella);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile verificare la tabella \"") + tabella + QStringLiteral("\"")
                        + QLatin1Char('\r') + e.message());
        return;
    }
    if (nome.isEmpty()) {
        QString testo = QStringLiteral("Tabella \"") + tabella + QStringLiteral("\" non trovata");
        if (!percorso.isEmpty())
            testo += QStringLiteral(" nell'archivio \"") + percorso + QLatin1Char('"');
        platform::warning(testo);
        return;
    }

    const QString directory = percorso.isEmpty() ? DirectoryLavoro : platform::extractFilePath(percorso);
    {
        qbe::TIBLQueryForm form(this, m_utente, *att, *tra, NomeProgetto, directory, DirectoryBin, nome);
        form.setArchivio(platform::extractFilePath(percorso.isEmpty() ? m_context->Archivio : percorso));
        if (storico)
            form.setModoStorico(storico->codice1, storico->codice2, storico->nomeExport);
        form.exec();
    }
    try {
        if (tra->isActive())
            tra->commitRetaining();
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    // Back from the query window, the table-selection layout shows again.
    LayoutSceltaTabella();
    EditTabella->setFocus();
}

} // namespace vardof::storedqueries
