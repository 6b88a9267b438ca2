#include "storedqueries/ui/TIBQGenForm.h"

#include "db/Statement.h"
#include "db/Catalog.h"
#include "db/Error.h"
#include "context/OpenOrCreate.h"
#include "context/WorkContext.h"
#include "entry/ui/TListTabForm.h"
#include "platform/FileDialogs.h"
#include "platform/HostPaths.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "storedqueries/Classificazioni.h"
#include "storedqueries/StoredQueryTables.h"
#include "storedqueries/ui/TMemoNoteForm.h"
#include "maintenance/Semafori.h"
#include "grid/ui/TQmtGrid.h"
#include "grid/SorgenteDati.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QMenu>
#include <QStackedWidget>
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

} // namespace

TIBQGenForm::SceltaTabella TIBQGenForm::setSceltaTabella(SceltaTabella picker)
{
    SceltaTabella previous = sceltaTabella();
    sceltaTabella() = picker ? std::move(picker) : SceltaTabella(sceltaConTListTabForm);
    return previous;
}

QString TIBQGenForm::messaggioArchivioNonTrovato(const QString &percorso)
{
    return storedqueries::messaggioArchivioNonTrovato(percorso);
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
    layout->setStretch(0, 0);

    NOTE = new QPlainTextEdit(PanelAlto);
    NOTE->setObjectName(QStringLiteral("NOTE"));
    NOTE->setReadOnly(true);
    NOTE->hide();

    creaStorico(PanelAlto, griglia);
    layout->addWidget(PanelGriglia, 1);

    auto *basso = new QHBoxLayout;
    basso->setContentsMargins(8, 4, 8, 8);
    ButtonStorico = new QPushButton(QStringLiteral("&Storico"), this);
    ButtonStorico->setObjectName(QStringLiteral("ButtonStorico"));
    basso->addWidget(ButtonStorico);
    for (QPushButton *b : {ButtonChiudiStorico, ButtonRicerche, ButtonDuplica, ButtonNuovo, ButtonAnnulla,
                           ButtonElimina, ButtonMemorizza, ButtonEdit, ButtonChiudi})
        basso->addWidget(b);
    basso->addStretch();
    layout->addLayout(basso);

    connect(ButtonGeneraQuery, &QPushButton::clicked, this, &TIBQGenForm::ButtonGeneraQueryClick);
    connect(ButtonTabella, &QPushButton::clicked, this, &TIBQGenForm::ButtonTabellaClick);
    connect(ButtonDatabase, &QPushButton::clicked, this, &TIBQGenForm::ButtonDatabaseClick);
    connect(ButtonNote, &QPushButton::clicked, this, &TIBQGenForm::ButtonNoteClick);
    connect(EditTabella, &QLineEdit::textChanged, this, &TIBQGenForm::AggiornaCampoDatabase);
    connect(EditPercorso, &QLineEdit::textChanged, this, &TIBQGenForm::AggiornaCampoDatabase);
    connect(ButtonStorico, &QPushButton::clicked, this, &TIBQGenForm::Storico);

    Creazione();
    LayoutSceltaTabella();
}

void TIBQGenForm::Creazione()
{
    if (!m_context->isConnected())
        return;
    installaPreparaClassificazioni();
    try {
        PreparaTabelleQuery(m_context->database(), m_context->transaction());
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile preparare le tabelle delle query memorizzate") + QLatin1Char('\r')
                        + e.message());
        return;
    }
    // Each classification's edit and filter lists: an empty first entry,
    // then the values in description order.
    const std::pair<int, std::pair<QComboBox *, QComboBox *>> liste[] = {
        {1, {ComboClassificazione1, FiltroClassificazione1}}, {2, {ComboClassificazione2, FiltroClassificazione2}}};
    for (const auto &[n, combo] : liste) {
        QStringList valori{QString()};
        try {
            valori << descrizioniClassificazione(m_context->database(), m_context->transaction(), n);
        } catch (const db::Error &e) {
            platform::error(e.message());
        }
        for (QComboBox *c : {combo.first, combo.second}) {
            c->blockSignals(true);
            c->clear();
            c->addItems(valori);
            c->blockSignals(false);
        }
    }
}

void TIBQGenForm::LayoutSceltaTabella()
{
    m_storico = false;
    for (QWidget *w : std::initializer_list<QWidget *>{
             Codice, Tabella, Percorso, Titolo, NOMEEXPORT, ButtonCodiceQuery, ButtonTitolo, ButtonClassificazione1,
             ButtonClassificazione2, ButtonNomeExport, PaginaClassificazione1, PaginaClassificazione2, Navigatore,
             PanelGriglia, NOTE, ButtonChiudiStorico, ButtonRicerche, ButtonDuplica, ButtonNuovo, ButtonAnnulla,
             ButtonElimina, ButtonMemorizza, ButtonEdit, ButtonChiudi})
        w->hide();
    PopupMenu->setEnabled(false);
    for (QAction *a : PopupMenu->actions())
        a->setEnabled(false);
    ButtonGeneraQuery->setEnabled(true);
    ButtonTabella->setEnabled(true);
    PanelAlto->setFixedHeight(72);
    EditTabella->show();
    EditPercorso->show();
    ButtonTabella->show();
    ButtonDatabase->show();
    ButtonNote->show();
    ButtonGeneraQuery->show();
    ButtonStorico->show();
    // Changing the border icons of a shown dialog would hide it and end
    // its modal loop: they follow the layout only while it is hidden.
    if (!isVisible())
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                       | (m_mode == Mode::Storico ? Qt::WindowMaximizeButtonHint : Qt::WindowType(0)));
    setMinimumSize(0, 0);
    resize(637, 161);
    AggiornaCampoDatabase();
}

void TIBQGenForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_inApertura)
        return;
    // Every activation shows the layout of the window's mode again.
    if (m_mode == Mode::Storico) {
        if (!m_storico)
            QMetaObject::invokeMethod(this, &TIBQGenForm::Storico, Qt::QueuedConnection);
    } else {
        if (m_storico)
            LayoutSceltaTabella();
        EditTabella->setFocus();
    }
}

void TIBQGenForm::AggiornaCampoDatabase()
{
    QLineEdit *campo = m_storico ? Percorso : EditPercorso;
    bool libero;
    if (!m_storico)
        libero = EditTabella->text().isEmpty();
    else if (m_stato == 1)
        libero = false;
    else
        libero = Tabella->text().isEmpty();
    ButtonDatabase->setEnabled(m_storico && m_stato == 1 ? true : libero);
    campo->setReadOnly(!libero);
    // A field that does not accept input looks like the window around it.
    QPalette p = campo->palette();
    p.setColor(QPalette::Base, palette().color(libero ? QPalette::Base : QPalette::Window));
    campo->setPalette(p);
}

void TIBQGenForm::ButtonTabellaClick()
{
    if (m_storico && m_stato == 1) {
        cercaSuColonna(QStringLiteral("TABELLA"));
        return;
    }
    QLineEdit *campoTabella = m_storico ? Tabella : EditTabella;
    campoTabella->setFocus();
    const QString percorso = (m_storico ? Percorso : EditPercorso)->text().trimmed();
    std::optional<QString> scelta;
    if (percorso.isEmpty()) {
        if (!m_context->isConnected())
            return;
        scelta = sceltaTabella()(m_context->database(), m_context->transaction(), this);
    } else if (!archivioEsiste(percorso)) {
        platform::warning(messaggioArchivioNonTrovato(percorso));
        return;
    } else {
        AltroArchivio altro;
        if (!altro.apri(percorso))
            return;
        scelta = sceltaTabella()(altro.connessione, *altro.transazione, this);
    }
    if (scelta && !scelta->isEmpty())
        campoTabella->setText(*scelta);
}

void TIBQGenForm::ButtonDatabaseClick()
{
    if (m_storico && m_stato == 1) {
        cercaSuColonna(QStringLiteral("PERCORSO"));
        return;
    }
    const QString percorso = (m_storico ? Percorso : EditPercorso)->text().trimmed();
    const QString inizio = !percorso.isEmpty() && QFileInfo(platform::toNativeLocal(percorso)).isDir()
                               ? platform::extractFilePath(percorso)
                               : platform::extractFilePath(m_context->Archivio);
    const std::optional<QString> scelto = platform::fileDialogs().openFile(
        QString(), inizio, QStringLiteral("Archivi Interbase (*.gdb;*.fdb)|*.gdb;*.fdb"));
    if (!scelto)
        return;
    if (!m_storico) {
        EditPercorso->setText(*scelto);
        return;
    }
    // The row takes a number free in both databases at once, saved
    // without the question; the lock follows it to its new number.
    const int vecchio = Codice->text().toInt();
    RigaStoQuer riga = rigaDaiCampi();
    riga.Percorso = testoCampo(*scelto);
    liberaBlocco();
    try {
        riga.Codice = NuovoCodiceTraDatabase(m_context->database(), *m_traStorico, *scelto);
        scriviStoQuer(*m_traStorico, riga, vecchio);
        m_traStorico->commitRetaining();
    } catch (const db::Error &e) {
        platform::error(e.message());
        bloccaRiga(vecchio);
        return;
    }
    Percorso->setText(*scelto);
    Codice->setText(QString::number(riga.Codice));
    bloccaRiga(riga.Codice);
    AggiornaCampoDatabase();
}

void TIBQGenForm::ButtonNoteClick()
{
    TMemoNoteForm form(NOTE->toPlainText(), NOTE->isReadOnly(), NOTE->palette(), this);
    if (form.exec() == QDialog::Accepted && !NOTE->isReadOnly())
        NOTE->setPlainText(form.testo());
}

void TIBQGenForm::ButtonGeneraQueryClick()
{
    QString tabella = EditTabella->text().trimmed();
    QString percorso = EditPercorso->text().trimmed();
    std::optional<RigaStoQuer> memorizzata;
    if (m_storico) {
        if (!controlliRiga())
            return;
        memorizzata = leggiStoQuer(*m_traStorico, codiceCorrente());
        if (!memorizzata) {
            platform::warning(QStringLiteral("Record eliminato in un'altra sessione"));
            return;
        }
        tabella = memorizzata->Tabella.value_or(QString()).trimmed();
        percorso = memorizzata->percorso();
    }
    if (tabella.isEmpty()) {
        platform::warning(QStringLiteral("Si prega di scegliere una tabella da interrogare"));
        return;
    }
    if (memorizzata)
        ApriQuery(tabella, percorso,
                  ChiaveStorico{kCodice1Storico, double(memorizzata->Codice), memorizzata->NomeExport.value_or(QString())});
    else
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
        if (!archivioEsiste(percorso)) {
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
        nome = db::catalog::relationName(*tra, tabella);
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
        m_inApertura = true;
        form.exec();
        m_inApertura = false;
    }
    try {
        if (tra->isActive())
            tra->commitRetaining();
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    // Back from the query window, the layout of the window's mode shows again.
    if (m_mode == Mode::Storico) {
        if (!m_storico)
            Storico();
        else
            riapriStorico(storico ? std::optional<int>(int(storico->codice2)) : std::nullopt);
    } else {
        LayoutSceltaTabella();
        EditTabella->setFocus();
    }
}

} // namespace vardof::storedqueries
