#include "tabletools/ui/TFormEdTab.h"

#include "context/WorkContext.h"
#include "db/Catalog.h"
#include "db/Error.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/ui/ApriQuerySuTabella.h"
#include "qbe/ui/InterrogationModel.h"
#include "qbe/ui/TIBLQueryForm.h"
#include "tabletools/ImportTabella.h"
#include "tabletools/TabellaEditor.h"
#include "tabletools/ui/ModelloEditabile.h"
#include "tabletools/ui/StrumentiTabella.h"
#include "tabletools/ui/TEdTabIBImportForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPersistentModelIndex>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vardof::tabletools {

namespace {

QPushButton *bottone(const QString &testo, const char *nome, QWidget *parent)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

TFormEdTab::SceltaTabella &sceltaTabella()
{
    static TFormEdTab::SceltaTabella scelta = [](TFormEdTab &editor) -> std::optional<TFormEdTab::Scelta> {
        TEdTabIBListTabForm finestra(editor.contesto(), &editor);
        if (finestra.exec() != QDialog::Accepted)
            return std::nullopt;
        return TFormEdTab::Scelta{finestra.tabellaScelta(), finestra.fileImport()};
    };
    return scelta;
}

const QString kSelezionare = QStringLiteral("Selezionare una tabella ...");
// Rows read with the opening and measured for the column widths: about a
// screen, so that the first screen of a large table costs what it shows.
constexpr int kRigheSchermo = 50;

} // namespace

// ---- table selection -------------------------------------------------------------

TEdTabIBListTabForm::TEdTabIBListTabForm(context::TTabForm *context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("TEdTabIBListTabForm"));
    setWindowTitle(QStringLiteral("Selezione tabella"));
    resize(420, 520);
    LabelTabella = new QLabel(this);
    LabelTabella->setObjectName(QStringLiteral("LabelTabella"));
    ListTabelle = new QListWidget(this);
    ListTabelle->setObjectName(QStringLiteral("ListTabelle"));
    ButtonApri = bottone(QStringLiteral("Apri"), "ButtonApri", this);
    ButtonAnnulla = bottone(QStringLiteral("Annulla"), "ButtonAnnulla", this);
    ButtonImportTmp = bottone(QStringLiteral("Import con crea tabella TMP"), "ButtonImportTmp", this);
    ButtonAiuto = bottone(QStringLiteral("?"), "ButtonAiuto", this);
    auto *b = new QHBoxLayout;
    b->addWidget(ButtonApri);
    b->addWidget(ButtonAnnulla);
    auto *b2 = new QHBoxLayout;
    b2->addWidget(ButtonImportTmp, 1);
    b2->addWidget(ButtonAiuto);
    auto *l = new QVBoxLayout(this);
    l->addWidget(LabelTabella);
    l->addWidget(ListTabelle, 1);
    l->addLayout(b);
    l->addLayout(b2);
    try {
        ListTabelle->addItems(db::catalog::userTables(context->transaction()));
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile leggere l'elenco delle tabelle") + QLatin1Char('\r') + e.message());
    }
    ListTabelle->sortItems();
    connect(ListTabelle, &QListWidget::currentTextChanged, LabelTabella, &QLabel::setText);
    if (ListTabelle->count())
        ListTabelle->setCurrentRow(0);
    connect(ButtonApri, &QPushButton::clicked, this, &TEdTabIBListTabForm::ButtonApriClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListTabelle, &QListWidget::itemDoubleClicked, this, &TEdTabIBListTabForm::ButtonApriClick);
    connect(ButtonImportTmp, &QPushButton::clicked, this, &TEdTabIBListTabForm::ButtonImportTmpClick);
    connect(ButtonAiuto, &QPushButton::clicked, this, &TEdTabIBListTabForm::ButtonAiutoClick);
}

void TEdTabIBListTabForm::ButtonApriClick()
{
    if (!ListTabelle->currentItem()) {
        platform::warning(QStringLiteral("Nessuna tabella selezionata"));
        return;
    }
    m_scelta = ListTabelle->currentItem()->text();
    m_file.clear();
    accept();
}

void TEdTabIBListTabForm::ButtonImportTmpClick()
{
    const std::optional<QString> file = platform::fileDialogs().openFile(
        QStringLiteral("Selezione file"), QString(), QStringLiteral("File di testo (*.txt;*.csv)|*.txt;*.csv|Tutti i file (*.*)|*.*"));
    if (!file)
        return;
    QStringList esistenti;
    for (int i = 0; i < ListTabelle->count(); ++i)
        esistenti << ListTabelle->item(i)->text();
    QString tabella;
    try {
        tabella = preparaTabellaLavoro(m_context->transaction(), *file, esistenti);
    } catch (const ErroreTracciato &e) {
        if (e.errore())
            platform::error(e.messaggio());
        else
            platform::warning(e.messaggio());
        return;
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    }
    if (!esistenti.contains(tabella)) {
        ListTabelle->addItem(tabella);
        ListTabelle->sortItems();
    }
    const QList<QListWidgetItem *> trovati = ListTabelle->findItems(tabella, Qt::MatchExactly);
    if (!trovati.isEmpty())
        ListTabelle->setCurrentItem(trovati.first());
    m_scelta = tabella;
    m_file = *file;
    accept();
}

void TEdTabIBListTabForm::ButtonAiutoClick() { platform::information(testoAiutoTabellaLavoro()); }

// ---- numbering dialog --------------------------------------------------------------

TGenProForm::TGenProForm(const QStringList &candidati, const QString &preselezione, QWidget *parent)
    : QDialog(parent), m_candidati(candidati)
{
    setObjectName(QStringLiteral("TGenProForm"));
    setWindowTitle(QStringLiteral("Genera progressivo"));
    ComboCampo = new QComboBox(this);
    ComboCampo->setObjectName(QStringLiteral("ComboCampo"));
    ComboCampo->setEditable(true);
    ComboCampo->addItems(candidati);
    ComboCampo->setCurrentText(candidati.contains(preselezione) ? preselezione : QString());
    EditProgressivo = new QLineEdit(QStringLiteral("1"), this);
    EditProgressivo->setObjectName(QStringLiteral("EditProgressivo"));
    auto *bCampo = bottone(QStringLiteral("Scegliere un campo"), "ButtonCampo", this);
    auto *bValore = bottone(QStringLiteral("Specificare il valore di partenza"), "ButtonValore", this);
    ButtonOk = bottone(QStringLiteral("Ok"), "ButtonOk", this);
    ButtonCancel = bottone(QStringLiteral("Cancel"), "ButtonCancel", this);
    auto *l = new QVBoxLayout(this);
    auto *r1 = new QHBoxLayout;
    r1->addWidget(bCampo);
    r1->addWidget(ComboCampo, 1);
    auto *r2 = new QHBoxLayout;
    r2->addWidget(bValore);
    r2->addWidget(EditProgressivo, 1);
    auto *r3 = new QHBoxLayout;
    r3->addStretch(1);
    r3->addWidget(ButtonOk);
    r3->addWidget(ButtonCancel);
    l->addLayout(r1);
    l->addLayout(r2);
    l->addLayout(r3);
    connect(bCampo, &QPushButton::clicked, ComboCampo, [this] { ComboCampo->setFocus(); });
    connect(bValore, &QPushButton::clicked, EditProgressivo, [this] { EditProgressivo->setFocus(); });
    connect(ButtonOk, &QPushButton::clicked, this, &TGenProForm::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TGenProForm::campo() const { return ComboCampo->currentText(); }
qint64 TGenProForm::partenza() const { return EditProgressivo->text().trimmed().toLongLong(); }

void TGenProForm::ButtonOkClick()
{
    if (EditProgressivo->text().trimmed().isEmpty()) {
        platform::warning(QStringLiteral("Specificare un progressivo di partenza"));
        return;
    }
    if (ComboCampo->currentText().isEmpty()) {
        platform::warning(QStringLiteral("Specificare un campo"));
        return;
    }
    if (!m_candidati.contains(ComboCampo->currentText())) {
        platform::warning(QStringLiteral("Scegliere un campo tra quelli proposti"));
        return;
    }
    bool ok = false;
    EditProgressivo->text().trimmed().toLongLong(&ok);
    if (!ok) {
        platform::warning(QStringLiteral("Per il progressivo di partenza è richiesto un numero valido"));
        return;
    }
    accept();
}

// ---- the editor ------------------------------------------------------------------------

TFormEdTab::SceltaTabella TFormEdTab::setSceltaTabella(SceltaTabella scelta)
{
    SceltaTabella vecchia = sceltaTabella();
    sceltaTabella() = std::move(scelta);
    return vecchia;
}

TFormEdTab::TFormEdTab(context::TTabForm *context, int userNumber, QWidget *parent)
    : QDialog(parent), m_context(context), m_utente(userNumber)
{
    setObjectName(QStringLiteral("TFormEdTab"));
    setWindowTitle(QStringLiteral("Edita tabelle"));
    setWindowState(windowState() | Qt::WindowMaximized);
    resize(1100, 720);

    auto *barra = new QMenuBar(this);
    MenuElaborazioni = barra->addMenu(QStringLiteral("&Elaborazioni"));
    MenuElaborazioni->addAction(QStringLiteral("&Sostituzione Accenti"), this, &TFormEdTab::SostituzioneAccenti1Click);
    MenuElaborazioni->addAction(QStringLiteral("Azzera Tabella"), this, &TFormEdTab::AzzeraTabella1Click);
    MenuElaborazioni->addAction(QStringLiteral("Azioni"), this, &TFormEdTab::Azioni1Click);
    MenuElaborazioni->addAction(QStringLiteral("Genera progressivo"), this, &TFormEdTab::Generaprogressivo1Click);

    auto *strumenti = new QHBoxLayout;
    ButtonSelezione = bottone(QStringLiteral("Selezione tabella"), "ButtonSelezione", this);
    ButtonAnnullaFiltro = bottone(QStringLiteral("Annulla filtro"), "ButtonAnnullaFiltro", this);
    ButtonF3 = bottone(QStringLiteral("F3 = ripeti"), "ButtonF3", this);
    ButtonFiltro = bottone(QStringLiteral("Filtro"), "ButtonFiltro", this);
    ButtonImport = bottone(QStringLiteral("Import/Export"), "ButtonImport", this);
    ButtonHelp = bottone(QStringLiteral("Help"), "ButtonHelp", this);
    ButtonF5 = bottone(QStringLiteral("F5 = zeri"), "ButtonF5", this);
    ButtonQuery = bottone(QString(), "ButtonQuery", this);
    ButtonQuery->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ButtonQuery->setToolTip(QStringLiteral("Query sulla tabella"));
    for (QPushButton *b : {ButtonSelezione, ButtonAnnullaFiltro, ButtonF3, ButtonFiltro, ButtonImport, ButtonHelp, ButtonF5,
                           ButtonQuery})
        strumenti->addWidget(b);
    strumenti->addStretch(1);

    m_griglia = new grid::ModelloGriglia(this);
    m_griglia->setBatchSize(kRigheSchermo);
    m_modello = new ModelloEditabile(this);
    m_modello->setGriglia(m_griglia);
    m_modello->rifiutato = [](const QString &perche) { platform::error(perche); };
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(m_modello);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    // Room for the mark of a new row, so that the columns do not move when it comes and goes.
    DBGrid1->verticalHeader()->setMinimumWidth(18);
    PopupMenu = new QMenu(this);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        if (!PopupMenu->isEmpty())
            PopupMenu->popup(DBGrid1->viewport()->mapToGlobal(p));
    });
    Panel2 = new QLabel(kSelezionare, this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::Panel);

    auto *l = new QVBoxLayout(this);
    l->setMenuBar(barra);
    l->addLayout(strumenti);
    l->addWidget(DBGrid1, 1);
    l->addWidget(Panel2);

    connect(ButtonSelezione, &QPushButton::clicked, this, &TFormEdTab::ButtonSelezioneClick);
    connect(ButtonAnnullaFiltro, &QPushButton::clicked, this, &TFormEdTab::AnnullaFiltro);
    connect(ButtonF3, &QPushButton::clicked, this, &TFormEdTab::ButtonF3RipetiClick);
    connect(ButtonFiltro, &QPushButton::clicked, this, &TFormEdTab::ButtonFiltroClick);
    connect(ButtonImport, &QPushButton::clicked, this, &TFormEdTab::ButtonImportClick);
    connect(ButtonHelp, &QPushButton::clicked, this, &TFormEdTab::ButtonHelpClick);
    connect(ButtonF5, &QPushButton::clicked, this, &TFormEdTab::BottonF5ZeriClick);
    connect(ButtonQuery, &QPushButton::clicked, this, &TFormEdTab::ButtonQueryClick);
    DBGrid1->installEventFilter(this);
    // A new row goes into the table when the user leaves it, as a typed
    // cell goes when the user leaves the cell.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &, const QModelIndex &precedente) {
                if (!precedente.isValid() || !m_modello->rigaNuova(precedente.row()))
                    return;
                const QPersistentModelIndex lasciata(precedente);
                QTimer::singleShot(0, this, [this, lasciata] {
                    if (lasciata.isValid())
                        rigaLasciata(lasciata);
                });
            });
    connect(m_griglia, &grid::ModelloGriglia::fetchFailed, this, [](const QString &perche) {
        platform::error(QStringLiteral("Lettura delle righe non riuscita") + QLatin1Char('\r') + perche);
    });
}

TFormEdTab::~TFormEdTab()
{
    if (m_sorgente)
        m_sorgente->chiudiSenzaGestori();
    try {
        if (m_context->transaction().isActive())
            m_context->transaction().commit();
    } catch (...) {
    }
}

QStringList TFormEdTab::statementGriglia() const { return m_sorgente ? m_sorgente->SQL() : QStringList(); }

QString TFormEdTab::campoSelezionato() const
{
    if (!m_sorgente || !m_sorgente->isOpen())
        return QString();
    const int c = DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().column() : 0;
    return c < m_sorgente->columnCount() ? m_sorgente->colonna(c).name : QString();
}

void TFormEdTab::primoSchermo()
{
    // The first rows come with the opening, so that a cell can be chosen
    // before the view has asked for them.
    if (m_griglia->rowCount() == 0 && m_griglia->canFetchMore(QModelIndex()))
        m_griglia->fetchMore(QModelIndex());
    // RDB$DB_KEY is read to find the rows of a table without primary key
    // again; it is no column of the table and is not shown.
    for (int c = 0; m_sorgente && m_editor && c < m_sorgente->columnCount(); ++c)
        DBGrid1->setColumnHidden(c, !m_editor->colonna(m_sorgente->colonna(c).name));
    // Reading the rows again resets the view's columns: the widths the user
    // gave them come back.
    for (int c = 0; m_sorgente && c < m_sorgente->columnCount(); ++c) {
        const auto l = m_larghezze.constFind(m_sorgente->colonna(c).name);
        if (l != m_larghezze.constEnd())
            DBGrid1->setColumnWidth(c, *l);
    }
    m_larghezze.clear();
}

void TFormEdTab::ricordaLarghezze()
{
    if (!m_sorgente || !m_sorgente->isOpen() || m_sorgente->columnCount() == 0)
        return;
    m_larghezze.clear();
    for (int c = 0; c < m_sorgente->columnCount(); ++c)
        m_larghezze.insert(m_sorgente->colonna(c).name, DBGrid1->columnWidth(c));
}

void TFormEdTab::aggiornaStato(const QString &testo) { Panel2->setText(testo); }

bool TFormEdTab::riapri()
{
    if (!m_sorgente)
        return false;
    ricordaLarghezze();
    try {
        m_sorgente->close();
        m_modello->azzera();
        m_sorgente->open();
        primoSchermo();
        return true;
    } catch (const db::Error &e) {
        aggiornaStato(kSelezionare);
        platform::error(QStringLiteral("Apertura della tabella non riuscita") + QLatin1Char('\r') + e.message());
        return false;
    }
}

void TFormEdTab::aggiornaConteggio()
{
    try {
        aggiornaStato(QStringLiteral("Record presenti tabella %1 : %2    ").arg(m_tabella).arg(m_editor->conta()));
    } catch (const db::Error &) {
        aggiornaStato(kSelezionare);
    }
}

void TFormEdTab::ButtonSelezioneClick()
{
    if (!primaDiRicaricare())
        return;
    const std::optional<Scelta> scelta = sceltaTabella()(*this);
    if (!scelta || scelta->tabella.isEmpty())
        return;
    const bool modificabile = ImpostaTabella(scelta->tabella);
    if (!scelta->file.isEmpty() && modificabile)
        apriImport(scelta->file);
}

void TFormEdTab::costruisciMenuCampi()
{
    PopupMenu->clear();
    if (!m_editor)
        return;
    for (int c = 0; m_sorgente && c < m_sorgente->columnCount(); ++c) {
        const db::Column &col = m_sorgente->colonna(c);
        if (col.typeCode == db::TypeBlob && m_editor->colonna(col.name))
            PopupMenu->addAction(QStringLiteral("Edita campo ") + col.name, this, [this, c] { EditaCampo(c); });
    }
}

bool TFormEdTab::ImpostaTabella(const QString &scritta)
{
    m_larghezze.clear();
    PopupMenu->clear();
    m_righeFiltro.clear();
    m_modello->setTabella(nullptr);
    if (m_sorgente)
        m_sorgente->chiudiSenzaGestori();
    m_griglia->setSorgente(nullptr);
    m_sorgente.reset();
    m_editor.reset();
    try {
        const QString tabella = db::catalog::relationName(m_context->transaction(), scritta);
        if (tabella.isEmpty())
            throw db::Error(QStringLiteral("La tabella %1 non esiste").arg(scritta));
        m_tabella = tabella;
        m_editor = std::make_unique<TabellaEditor>(m_context->transaction(), tabella);
        m_sorgente = std::make_unique<grid::SorgenteQuery>();
        m_sorgente->attach(m_context->database(), m_context->transaction());
        m_griglia->setSorgente(m_sorgente.get());
        m_sorgente->SQL() = m_editor->statementGriglia();
        m_sorgente->open();
        primoSchermo();
        // Widths from the first screen, so that names and addresses read whole.
        DBGrid1->horizontalHeader()->setResizeContentsPrecision(kRigheSchermo);
        DBGrid1->resizeColumnsToContents();
        for (int c = 0; c < m_griglia->columnCount(); ++c)
            DBGrid1->setColumnWidth(c, std::min(DBGrid1->columnWidth(c), 320));
        // Counting a large table reads all of it: the first screen comes
        // first, the count right after.
        aggiornaStato(QStringLiteral("Record presenti tabella %1 : ...").arg(m_tabella));
        QTimer::singleShot(0, this, [this] {
            if (m_editor)
                aggiornaConteggio();
        });
    } catch (const db::Error &e) {
        aggiornaStato(kSelezionare);
        platform::error(QStringLiteral("Apertura della tabella non riuscita") + QLatin1Char('\r') + e.message());
        return false;
    }
    m_modificabile = !m_editor->colonneChiave().isEmpty();
    if (!m_modificabile) {
        platform::warning(QStringLiteral("Attenzione: data l'assenza della chiave primaria, non sarà possibile modificare i "
                                         "dati sulla griglia"));
        return false;
    }
    m_modello->setTabella(m_editor.get());
    costruisciMenuCampi();
    return true;
}

void TFormEdTab::AnnullaFiltro()
{
    if (!m_editor)
        return;
    if (!primaDiRicaricare())
        return;
    ricordaLarghezze();
    try {
        m_sorgente->close();
        m_modello->azzera();
        m_sorgente->SQL() = m_editor->statementSenzaFiltro();
        m_sorgente->open();
        primoSchermo();
        m_righeFiltro.clear();
        aggiornaConteggio();
    } catch (const db::Error &) {
        aggiornaStato(kSelezionare);
    }
}

void TFormEdTab::ButtonFiltroClick()
{
    if (!m_editor || !m_sorgente) {
        aggiornaStato(kSelezionare + QLatin1Char(' '));
        return;
    }
    if (!m_sorgente->isOpen() && !riapri()) {
        aggiornaStato(kSelezionare + QLatin1Char(' '));
        return;
    }
    if (!primaDiRicaricare())
        return;
    qbe::TIBLQueryForm finestra(this, m_utente, m_context->database(), m_context->transaction(), m_context->NomeProgetto,
                                m_context->DirectoryLavoro, m_context->DirectoryBin, m_tabella);
    if (!m_righeFiltro.empty()) {
        finestra.tabIntTmp().setRighe(m_righeFiltro);
        finestra.interrogationModel().reset();
    }
    if (auto *esegui = finestra.findChild<QPushButton *>(QStringLiteral("ButtonEseguiInterrogazione"))) {
        esegui->setText(QStringLiteral("&Ritorna"));
        esegui->disconnect();
        connect(esegui, &QPushButton::clicked, &finestra, [this, &finestra] { ButtonRitornaClick(finestra); });
    }
    finestra.exec();
    try {
        aggiornaStato(QStringLiteral("Record presenti tabella %1 : %2    ")
                          .arg(m_tabella)
                          .arg(m_editor->conta(m_sorgente->SQL())));
    } catch (const db::Error &) {
        riapri();
    }
}

void TFormEdTab::ButtonRitornaClick(qbe::TIBLQueryForm &finestra)
{
    qbe::TabRispTmp risposta;
    risposta.attach(m_context->database(), m_context->transaction());
    if (finestra.engine().EseguiInterrogazione(finestra.tabIntTmp(), m_tabella, risposta)) {
        m_righeFiltro = finestra.tabIntTmp().righe();
        const QString filtro = risposta.testo();
        risposta.close();
        ricordaLarghezze();
        m_sorgente->close();
        m_modello->azzera();
        m_sorgente->SQL() = m_editor->statementFiltrato(filtro);
        if (!riapri()) {
            AnnullaFiltro();
        }
    }
    finestra.ButtonChiudiClick();
}

QString TFormEdTab::GeneraSQLFiltro()
{
    if (!m_editor)
        return QString();
    qbe::TIBLQueryForm finestra(this, m_utente, m_context->database(), m_context->transaction(), m_context->NomeProgetto,
                                m_context->DirectoryLavoro, m_context->DirectoryBin, m_tabella);
    if (!m_righeFiltro.empty())
        finestra.tabIntTmp().setRighe(m_righeFiltro);
    qbe::TabRispTmp risposta;
    risposta.attach(m_context->database(), m_context->transaction());
    if (!finestra.engine().EseguiInterrogazione(finestra.tabIntTmp(), m_tabella, risposta))
        return QString();
    return risposta.testo();
}

void TFormEdTab::ButtonF3RipetiClick()
{
    if (!m_editor || !m_sorgente || !m_sorgente->isOpen())
        return;
    if (!primaDiRicaricare())
        return;
    const QString campo = campoSelezionato();
    if (campo.isEmpty())
        return;
    const std::optional<QString> valore = platform::inputBox(QStringLiteral("F3 Assegna al campo ") + campo,
                                                             QStringLiteral("Valore da ripetere sul campo: "), QString());
    if (!valore)
        return;
    try {
        m_editor->ripetiValore(campo, *valore, m_sorgente->SQL());
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Operazione fallita") + QLatin1Char('\r') + e.message());
    } catch (const std::exception &e) {
        platform::error(QStringLiteral("Operazione fallita") + QLatin1Char('\r') + QString::fromUtf8(e.what()));
    }
    riapri();
}

void TFormEdTab::BottonF5ZeriClick()
{
    if (!m_editor || !m_sorgente || !m_sorgente->isOpen())
        return;
    if (!primaDiRicaricare())
        return;
    const QString campo = campoSelezionato();
    if (campo.isEmpty())
        return;
    const std::optional<QString> n =
        platform::inputBox(QStringLiteral("F5 Formatta con zeri ") + campo, QStringLiteral("Numero di zeri: "), QString());
    if (!n)
        return;
    bool ok = false;
    const int lunghezza = n->trimmed().toInt(&ok);
    // What is typed goes into the statement: only a length is accepted.
    if (!ok || lunghezza <= 0 || lunghezza > 32765) {
        platform::warning(QStringLiteral("Numero di zeri non valido: \"%1\"").arg(*n));
        return;
    }
    try {
        m_editor->riempiConZeri(campo, lunghezza, m_sorgente->SQL());
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Operazione fallita") + QLatin1Char('\r') + e.message());
    } catch (const std::exception &e) {
        platform::error(QStringLiteral("Operazione fallita") + QLatin1Char('\r') + QString::fromUtf8(e.what()));
    }
    riapri();
}

void TFormEdTab::AzzeraTabella1Click()
{
    if (!m_editor)
        return;
    if (!primaDiRicaricare())
        return;
    if (!platform::confirmOkCancel(QStringLiteral("Conferma eliminazione di tutti i dati della tabella?")))
        return;
    ricordaLarghezze();
    m_sorgente->close();
    try {
        m_editor->azzera();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("E' avvenuto un errore durante l'azzeramento") + QLatin1Char('\r') + e.message());
    }
    riapri();
    aggiornaConteggio();
}

void TFormEdTab::Generaprogressivo1Click()
{
    if (!m_editor || !m_sorgente || !m_sorgente->isOpen() || m_modello->rowCount() == 0)
        return;
    if (!primaDiRicaricare())
        return;
    QStringList candidati;
    try {
        candidati = m_editor->colonneProgressivo();
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    }
    TGenProForm dialogo(candidati, campoSelezionato(), this);
    if (dialogo.exec() != QDialog::Accepted)
        return;
    QDialog stato(this);
    stato.setWindowTitle(QStringLiteral("Generazione progressivo"));
    auto *barra = new QProgressBar(&stato);
    barra->setRange(0, 100);
    (new QVBoxLayout(&stato))->addWidget(barra);
    stato.show();
    const QStringList statement = m_sorgente->SQL();
    ricordaLarghezze();
    m_sorgente->close();
    qint64 n = 0;
    try {
        n = m_editor->generaProgressivo(dialogo.campo(), dialogo.partenza(), statement, [&](qint64 fatte, qint64 tot) {
            barra->setValue(platform::percentOf(fatte, tot));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Operazione fallita") + QLatin1Char('\r') + e.message());
    } catch (const std::exception &e) {
        platform::error(QStringLiteral("Operazione fallita") + QLatin1Char('\r') + QString::fromUtf8(e.what()));
    }
    riapri();
    aggiornaStato(QStringLiteral("Record filtrati: %1").arg(n));
    stato.hide();
}

void TFormEdTab::ButtonImportClick()
{
    if (!m_editor) {
        platform::warning(QStringLiteral("Selezionare prima una tabella"));
        return;
    }
    if (!primaDiRicaricare())
        return;
    apriImport();
}

void TFormEdTab::apriImport(const QString &file)
{
    TEdTabIBImportForm finestra(m_context, m_tabella, this);
    if (!file.isEmpty()) {
        finestra.EditFile->setText(file);
        finestra.ButtonFile->setEnabled(false);
        finestra.CheckSaltaPrimaRiga->setChecked(true);
        finestra.CheckSaltaPrimaRiga->setEnabled(false);
    }
    finestra.dopoImport = [this] { riapri(); };
    finestra.exec();
    aggiornaConteggio();
}

void TFormEdTab::ButtonHelpClick()
{
    QDialog nota(this);
    nota.setWindowTitle(QStringLiteral("Note"));
    nota.resize(560, 420);
    auto *testo = new QPlainTextEdit(&nota);
    testo->setReadOnly(true);
    testo->setPlainText(QStringLiteral(
        "Per lavorare su un archivio di un altro computer occorre registrare il server e il database nella console di "
        "amministrazione del database server.\n\n"
        "Sul computer server:\n"
        "1. Aprire la console di amministrazione del database server.\n"
        "2. Registrare il server locale (Register Server, Local Server).\n"
        "3. Registrare il database indicando il percorso dell'archivio (.fdb) e un alias.\n"
        "4. Verificare la connessione con l'utente SYSDBA.\n\n"
        "Sul computer client:\n"
        "1. Aprire la console di amministrazione del database server.\n"
        "2. Registrare il server remoto indicandone il nome di rete e il protocollo TCP/IP.\n"
        "3. Registrare il database con il percorso visto dal server (server:percorso o alias).\n"
        "4. Verificare la connessione con l'utente SYSDBA."));
    auto *l = new QVBoxLayout(&nota);
    l->addWidget(testo);
    nota.exec();
}

void TFormEdTab::ButtonQueryClick()
{
    if (!m_editor)
        return;
    if (!salvaRigheNuove())
        return;
    qbe::ApriQuerySuTabella(m_tabella, m_context->database(), m_context->transaction(), m_context->DirectoryBin, QString(),
                            m_utente, QStringLiteral("c:\\windows\\ostrel.ini"), false, m_context->NomeProgetto,
                            m_context->DirectoryLavoro, this);
}

void TFormEdTab::Azioni1Click()
{
    if (!m_editor || !m_sorgente) {
        platform::information(QStringLiteral("Selezionare una tabella per eseguire delle azioni"));
        return;
    }
    if (!primaDiRicaricare())
        return;
    QStringList colonne;
    for (int c = 0; c < m_sorgente->columnCount(); ++c)
        colonne << m_sorgente->colonna(c).name;
    const QStringList statement = m_sorgente->SQL();
    ricordaLarghezze();
    m_sorgente->close();
    {
        TAzioniForm finestra(*m_editor, statement, colonne, this);
        finestra.exec();
    }
    riapri();
    aggiornaConteggio();
}

void TFormEdTab::SostituzioneAccenti1Click()
{
    if (!primaDiRicaricare())
        return;
    const QStringList statement = statementGriglia();
    ricordaLarghezze();
    if (m_sorgente)
        m_sorgente->close();
    {
        TSostApForm finestra(m_editor.get(), statement, this);
        finestra.exec();
    }
    riapri();
}

void TFormEdTab::EditaCampo(int colonna)
{
    const QModelIndex i = DBGrid1->currentIndex();
    if (!i.isValid() || !m_editor)
        return;
    const QString nome = m_sorgente->colonna(colonna).name;
    TEditMemoForm finestra(nome, db::toText(m_modello->valore(i.row(), colonna)), m_context->NomeProgetto, this);
    if (finestra.exec() != QDialog::Accepted)
        return;
    m_modello->setData(m_modello->index(i.row(), colonna), finestra.testo(), Qt::EditRole);
}

int TFormEdTab::InserisciRiga()
{
    if (!m_modificabile || !m_sorgente || !m_sorgente->isOpen())
        return -1;
    const QModelIndex corrente = DBGrid1->currentIndex();
    const int riga = m_modello->nuovaRiga(corrente.isValid() ? corrente.row() : 0);
    vaiARiga(riga, true);
    return riga;
}

int TFormEdTab::AggiungiRiga()
{
    if (!m_modificabile || !m_sorgente || !m_sorgente->isOpen())
        return -1;
    const int riga = m_modello->nuovaRiga(m_modello->rowCount());
    vaiARiga(riga, true);
    return riga;
}

void TFormEdTab::vaiARiga(int riga, bool primaColonna)
{
    // A new row is typed from its first column, as a form is filled.
    int colonna = DBGrid1->currentIndex().isValid() && !primaColonna ? DBGrid1->currentIndex().column() : -1;
    if (colonna < 0 || DBGrid1->isColumnHidden(colonna))
        for (colonna = 0; colonna < m_modello->columnCount() && DBGrid1->isColumnHidden(colonna); ++colonna) {
        }
    const QModelIndex i = m_modello->index(riga, std::min(colonna, m_modello->columnCount() - 1));
    DBGrid1->setCurrentIndex(i);
    DBGrid1->scrollTo(i);
}

bool TFormEdTab::CancellaRiga()
{
    const QModelIndex corrente = DBGrid1->currentIndex();
    if (!m_modificabile || !corrente.isValid())
        return false;
    const int riga = corrente.row();
    if (m_modello->rigaNuova(riga)) {
        // Nothing of it is in the table yet.
        m_modello->scartaRigaNuova(riga);
        return true;
    }
    if (!platform::confirm(QStringLiteral("Cancellare la riga selezionata?")))
        return false;
    if (!m_modello->cancellaRiga(riga)) {
        platform::error(m_modello->ultimoErrore());
        return false;
    }
    contoVariato(-1);
    // On the row that took its place, as the user reads on.
    if (m_modello->rowCount() > 0)
        vaiARiga(std::min(riga, m_modello->rowCount() - 1));
    return true;
}

bool TFormEdTab::salvaRigheNuove()
{
    for (int riga = m_modello->rigaNuovaDaSalvare(); riga >= 0; riga = m_modello->rigaNuovaDaSalvare()) {
        if (!m_modello->salvaRigaNuova(riga)) {
            platform::error(m_modello->ultimoErrore());
            vaiARiga(riga);
            return false;
        }
        contoVariato(1);
    }
    return true;
}

bool TFormEdTab::primaDiRicaricare()
{
    if (!salvaRigheNuove())
        return false;
    // A value the server refused on a stored row lives only in the grid:
    // reading the rows again would drop it without a word.
    return !m_modello->haModificheNonSalvate()
           || platform::confirm(QStringLiteral("Ci sono modifiche non salvate che andranno perse. Continuare?"));
}

void TFormEdTab::rigaLasciata(const QModelIndex &precedente)
{
    const int riga = precedente.row();
    if (!m_modello->rigaNuova(riga) || DBGrid1->currentIndex().row() == riga)
        return;
    const bool scritta = m_modello->daSalvare(riga);
    if (!m_modello->salvaRigaNuova(riga)) {
        platform::error(m_modello->ultimoErrore());
        // Back on the row, so that what was refused can be corrected.
        vaiARiga(riga);
        return;
    }
    if (scritta)
        contoVariato(1);
}

void TFormEdTab::contoVariato(int differenza)
{
    static const QRegularExpression conto(QStringLiteral("^(Record presenti tabella .* : )(\\d+)(    )$"));
    const QRegularExpressionMatch m = conto.match(Panel2->text());
    if (m.hasMatch())
        aggiornaStato(m.captured(1) + QString::number(std::max<qint64>(0, m.captured(2).toLongLong() + differenza))
                      + m.captured(3));
}

bool TFormEdTab::puoChiudere()
{
    if (m_modello->rigaNuovaDaSalvare() >= 0 && salvaRigheNuove() && !m_modello->haModificheNonSalvate())
        return true;
    if (!m_modello->haModificheNonSalvate())
        return true;
    return platform::confirm(
        QStringLiteral("Ci sono modifiche non salvate che andranno perse. Chiudere comunque?"));
}

// Closing by the title bar comes here too (QDialog's close goes through
// reject), so the question is asked once.
void TFormEdTab::reject()
{
    if (puoChiudere())
        QDialog::reject();
}

bool TFormEdTab::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (oggetto != DBGrid1 || evento->type() != QEvent::KeyPress)
        return QDialog::eventFilter(oggetto, evento);
    auto *tasto = static_cast<QKeyEvent *>(evento);
    const QModelIndex corrente = DBGrid1->currentIndex();
    const Qt::KeyboardModifiers modificatori = tasto->modifiers() & ~Qt::KeypadModifier;
    if (tasto->key() == Qt::Key_Insert && modificatori == Qt::NoModifier) {
        InserisciRiga();
        return true;
    }
    if (tasto->key() == Qt::Key_Delete && modificatori == Qt::ControlModifier) {
        CancellaRiga();
        return true;
    }
    if (tasto->key() == Qt::Key_Escape && corrente.isValid() && m_modello->rigaNuova(corrente.row())) {
        m_modello->scartaRigaNuova(corrente.row());
        return true;
    }
    if (tasto->key() == Qt::Key_Down && modificatori == Qt::NoModifier && corrente.isValid()
        && corrente.row() == m_modello->rowCount() - 1 && !m_modello->canFetchMore(QModelIndex())) {
        // Past the last row: a new row, unless the last one is a new row
        // still empty.
        if (m_modello->rigaNuova(corrente.row())) {
            if (!m_modello->daSalvare(corrente.row()))
                return true;
            if (!m_modello->salvaRigaNuova(corrente.row())) {
                platform::error(m_modello->ultimoErrore());
                return true;
            }
            contoVariato(1);
        }
        AggiungiRiga();
        return true;
    }
    return QDialog::eventFilter(oggetto, evento);
}

void TFormEdTab::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F3)
        ButtonF3RipetiClick();
    else if (event->key() == Qt::Key_F5)
        BottonF5ZeriClick();
    else
        QDialog::keyReleaseEvent(event);
}

} // namespace vardof::tabletools
