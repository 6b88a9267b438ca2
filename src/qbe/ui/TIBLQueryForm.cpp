#include "qbe/ui/TIBLQueryForm.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "params/TTabXForm.h"
#include "platform/Formats.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "qbe/TIBFQuerForm.h"
#include "qbe/ui/AnswerModel.h"
#include "qbe/ui/GrigliaQuery.h"
#include "qbe/ui/InterrogationModel.h"
#include "qbe/ui/TAppoggioQuerForm.h"
#include "qbe/ui/TMostraMemoForm.h"
#include "qbe/ui/TabRecTmp.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace vardof::qbe {

namespace {

const QString kMsgBloccata = QStringLiteral("Attenzione: operazione non possibile, la Query è bloccata!");

QLabel *etichetta(const QString &testo, QWidget *parent)
{
    auto *l = new QLabel(testo, parent);
    l->setContentsMargins(4, 0, 0, 0);
    return l;
}

QFont fontFinestra()
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(13);
    return f;
}

QFont daFontChoice(const platform::FontChoice &c, const QFont &base)
{
    QFont f = base;
    if (!c.family.isEmpty())
        f.setFamily(c.family);
    if (c.pointSize > 0)
        f.setPointSize(c.pointSize);
    f.setBold(c.bold);
    f.setItalic(c.italic);
    f.setUnderline(c.underline);
    f.setStrikeOut(c.strikeOut);
    return f;
}

} // namespace

TIBLQueryForm::TIBLQueryForm(QWidget *owner, int numeroUtente, db::Attachment &connessione,
                             db::Transaction &transazione, const QString &ditta, const QString &directory,
                             const QString &directoryBin, const QString &tabella)
    : QDialog(owner)
    , m_utente(numeroUtente)
    , m_connessione(connessione)
    , m_transazione(transazione)
    , m_traStorico(connessione)
    , m_ditta(ditta)
    , m_tabella(tabella)
    , m_directory(directory)
    , m_directoryBin(directoryBin)
    , m_fileImpostazioni(context::TTabForm::PercorsoFileImpostazioni())
{
    setWindowTitle(QStringLiteral("Query - Ditta: ") + ditta);
    setFont(fontFinestra());
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(640, 650);

    m_tabRec = new TabRecTmp(this);
    m_engine = std::make_unique<TIBFQuerForm>(m_utente, m_connessione, m_transazione, m_connessione, m_traStorico,
                                              m_tabInt, m_tabella, m_sessione, m_directory, m_ditta);
    m_intModel = new InterrogationModel(m_tabInt, this);
    m_answerModel = new AnswerModel(m_risposta, m_sessione.codici(), this);
    connect(m_answerModel, &AnswerModel::fetchFailed, this, &TIBLQueryForm::mostraErroreLettura);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    costruisciFacciaRisposta(); // Panel2, Panel1 and DBGrid2
    costruisciFacciaInterrogazione();
    costruisciMenu();

    auto *centro = new QHBoxLayout;
    centro->setContentsMargins(0, 0, 0, 0);
    centro->setSpacing(0);
    centro->addWidget(Panel5, 1);
    centro->addWidget(Panel4);
    layout->addWidget(Panel2);
    layout->addLayout(centro, 1);
    layout->addWidget(Panel1);

    try {
        m_engine->RiempiTabIntTmp(m_tabInt, m_tabella);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile leggere le colonne della tabella ") + m_tabella
                        + QLatin1Char('\r') + e.message());
    }
    m_tabInt.sortByNumero();
    m_intModel->reset();
    rigaCorrenteInterrogazione(m_tabInt.isEmpty() ? -1 : 0);

    // The answer face starts hidden, with its legend.
    Panel1->hide();
    Panel2->hide();
    DBGrid2->hide();
    for (QLabel *l : LegendaRisposta)
        l->hide();
    // Enter belongs to the grids (it ends a condition being typed), never
    // to a button.
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(false);
    apriStoreParametri();
    SettaggioControlli();
}

TIBLQueryForm::~TIBLQueryForm()
{
    FormClose();
}

void TIBLQueryForm::setModoStorico(int codice1, double codice2, const QString &nomeExport)
{
    m_sessione.setChiaveStorico(codice1, codice2);
    m_nomeExport = nomeExport;
}

void TIBLQueryForm::costruisciFacciaInterrogazione()
{
    Panel5 = new QWidget(this);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    auto *l5 = new QVBoxLayout(Panel5);
    l5->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new GrigliaQuery(Panel5);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(m_intModel);
    DBGrid1->setItemDelegateForColumn(InterrogationModel::ColCondizione,
                                      new EditorCella(DBGrid1, kLunghezzaCondizione));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked);
    DBGrid1->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    DBGrid1->verticalHeader()->hide();
    const int carattere = fontMetrics().averageCharWidth();
    // Titles are never cut: a column is at least as wide as its title.
    QHeaderView *titoli = DBGrid1->horizontalHeader();
    DBGrid1->setColumnWidth(InterrogationModel::ColNome,
                            std::max(21 * carattere + 8, titoli->sectionSizeHint(InterrogationModel::ColNome)));
    DBGrid1->setColumnWidth(InterrogationModel::ColMostra,
                            std::max(fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 6,
                                     titoli->sectionSizeHint(InterrogationModel::ColMostra)));
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    l5->addWidget(DBGrid1);
    l5->addWidget(DBGrid2);
    DBGrid2->setParent(Panel5);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        // A double click on the condition edits it; elsewhere it toggles the row.
        if (index.column() != InterrogationModel::ColCondizione
            || !(m_intModel->flags(index) & Qt::ItemIsEditable))
            SelezionaRigaInt();
    });
    connect(DBGrid1, &GrigliaQuery::tastoRilasciato, this, &TIBLQueryForm::DBGrid1KeyUp);

    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedWidth(145);
    auto *l4 = new QVBoxLayout(Panel4);
    l4->setContentsMargins(6, 6, 6, 6);
    l4->setSpacing(3);
    auto bottone = [this, l4](QPushButton *&b, const QString &name, const QString &text) {
        b = new QPushButton(text, Panel4);
        b->setObjectName(name);
        l4->addWidget(b);
    };
    bottone(ButtonEseguiInterrogazione, QStringLiteral("ButtonEseguiInterrogazione"), QStringLiteral("&Esegui Query"));
    bottone(ButtonSelezionaTutto, QStringLiteral("ButtonSelezionaTutto"), QStringLiteral("&Seleziona Tutto"));
    bottone(ButtonDeselezionaTutto, QStringLiteral("ButtonDeselezionaTutto"), QStringLiteral("&Deselez. Tutto"));
    bottone(ButtonAggiungiT, QStringLiteral("ButtonAggiungiT"), QStringLiteral("&Aggiungi tabella"));
    bottone(ButtonEliminaT, QStringLiteral("ButtonEliminaT"), QStringLiteral("E&limina tabella "));
    bottone(ButtonElabAvanzate, QStringLiteral("ButtonElabAvanzate"), QStringLiteral("Elab. a&vanzate"));
    bottone(ButtonChiudi, QStringLiteral("ButtonChiudi"), QStringLiteral("&Chiudi"));
    auto *aggregati = new QHBoxLayout;
    ButtonCount = new QPushButton(QStringLiteral("COUNT"), Panel4);
    ButtonCount->setObjectName(QStringLiteral("ButtonCount"));
    ButtonSum = new QPushButton(QStringLiteral("SUM"), Panel4);
    ButtonSum->setObjectName(QStringLiteral("ButtonSum"));
    aggregati->addWidget(ButtonCount);
    aggregati->addWidget(ButtonSum);
    l4->addLayout(aggregati);
    l4->addSpacing(6);
    for (const char *testo : {"F3 Selez/Deselez", "F4 ins.parentesi", "F5 ins.nome campo", "F6 ins. range",
                              "F7 ins. formule", "F8 Estr.Anni/Mesi", "F9 Editor condiz.", "F10 Ins. valore"})
        l4->addWidget(etichetta(QString::fromUtf8(testo), Panel4));
    l4->addSpacing(6);
    for (const char *testo : {"OPERATORI:", "like, IS NULL", "<, >, =, <>", "AND, OR, NOT", "+,-,*,/", "FORMATO DATE:",
                              "'gg/mm/aaaa'"})
        l4->addWidget(etichetta(QString::fromUtf8(testo), Panel4));
    LabelPrec = etichetta(QStringLiteral("F11 Prec."), Panel4);
    LabelSucc = etichetta(QStringLiteral("F12 Succ."), Panel4);
    LabelPrec->setObjectName(QStringLiteral("LabelPrec"));
    LabelSucc->setObjectName(QStringLiteral("LabelSucc"));
    for (QLabel *l : {LabelPrec, LabelSucc}) {
        l->setStyleSheet(QStringLiteral("color: #FF00FF; font-weight: bold;"));
        l->hide();
        l4->addWidget(l);
    }
    l4->addStretch();

    connect(ButtonEseguiInterrogazione, &QPushButton::clicked, this, &TIBLQueryForm::ButtonEseguiInterrogazioneClick);
    connect(ButtonSelezionaTutto, &QPushButton::clicked, this, &TIBLQueryForm::ButtonSelezionaTuttoClick);
    connect(ButtonDeselezionaTutto, &QPushButton::clicked, this, &TIBLQueryForm::ButtonDeselezionaTuttoClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TIBLQueryForm::ButtonChiudiClick);
    // Added tables, advanced processing and the aggregate dialogs belong to
    // their own windows.
    m_nonCollegati << ButtonAggiungiT << ButtonEliminaT << ButtonElabAvanzate << ButtonCount << ButtonSum;
}

void TIBLQueryForm::costruisciFacciaRisposta()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto *l2 = new QHBoxLayout(Panel2);
    l2->setContentsMargins(3, 3, 3, 3);
    l2->setSpacing(2);
    auto bottone = [this, l2](QPushButton *&b, const QString &name, const QString &text) {
        b = new QPushButton(text, Panel2);
        b->setObjectName(name);
        l2->addWidget(b);
    };
    bottone(ButtonNumeroRecord, QStringLiteral("ButtonNumeroRecord"), QStringLiteral("N.Rec."));
    // The font and single-record buttons are pictures, so that the row of
    // buttons fits the window's width.
    bottone(ButtonFont, QStringLiteral("ButtonFont"), QStringLiteral("Aa"));
    bottone(ButtonCappotta, QStringLiteral("ButtonCappotta"), QString());
    ButtonCappotta->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ButtonFont->setToolTip(QStringLiteral("Carattere della griglia"));
    ButtonCappotta->setToolTip(QStringLiteral("Mostra un record (F7)"));
    Panel2->setStyleSheet(QStringLiteral("QPushButton { padding: 3px 7px; }"));
    bottone(ButtonSomma, QStringLiteral("ButtonSomma"), QStringLiteral("So&mma"));
    bottone(ButtonOrdina, QStringLiteral("ButtonOrdina"), QStringLiteral("&Ord./Tot."));
    bottone(ButtonGrafico, QStringLiteral("ButtonGrafico"), QStringLiteral("&Grafico"));
    bottone(ButtonStampa, QStringLiteral("ButtonStampa"), QStringLiteral("&Stampa"));
    bottone(ButtonEsporta, QStringLiteral("ButtonEsporta"), QStringLiteral("&Esporta"));
    bottone(ButtonRitornaQuery, QStringLiteral("ButtonRitornaQuery"), QStringLiteral("&Ritorna a Query"));
    l2->addStretch();
    bottone(ButtonChiudi1, QStringLiteral("ButtonChiudi1"), QStringLiteral("&Chiudi"));
    ButtonChiudi1->hide();

    connect(ButtonNumeroRecord, &QPushButton::clicked, this, &TIBLQueryForm::ButtonNumeroRecordClick);
    connect(ButtonFont, &QPushButton::clicked, this, &TIBLQueryForm::ButtonFontClick);
    connect(ButtonCappotta, &QPushButton::clicked, this, &TIBLQueryForm::ButtonCappottaClick);
    connect(ButtonRitornaQuery, &QPushButton::clicked, this, &TIBLQueryForm::ButtonRitornaQueryClick);
    connect(ButtonChiudi1, &QPushButton::clicked, this, &TIBLQueryForm::ButtonChiudiClick);
    // Sums, ordering, charts, printing and export are their own windows.
    m_nonCollegati << ButtonSomma << ButtonOrdina << ButtonGrafico << ButtonStampa << ButtonEsporta;

    DBGrid2 = new GrigliaQuery(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setModel(m_answerModel);
    DBGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid2->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid2->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid2->verticalHeader()->hide();
    DBGrid2->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    DBGrid2->horizontalHeader()->setSectionsMovable(true);
    DBGrid2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid2, &GrigliaQuery::tastoRilasciato, this, &TIBLQueryForm::DBGrid2KeyUp);
    connect(DBGrid2, &GrigliaQuery::fineRichiesta, this, &TIBLQueryForm::caricaFinoAllaFine);
    connect(DBGrid2->horizontalHeader(), &QHeaderView::sectionMoved, this, [this] {
        if (!m_singoloRecord)
            LayoutCorrente = false;
    });

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *l1 = new QHBoxLayout(Panel1);
    l1->setContentsMargins(6, 3, 6, 3);
    for (const char *testo : {"F3: elimina campo", "F4: aspetto base", "F5: raggruppa cifre"}) {
        QLabel *l = etichetta(QString::fromUtf8(testo), Panel1);
        l->setObjectName(QStringLiteral("LegendaRisposta%1").arg(LegendaRisposta.size() + 1));
        LegendaRisposta << l;
        l1->addWidget(l);
        l1->addSpacing(20);
    }
    l1->addStretch();
}

void TIBLQueryForm::costruisciMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Precedente1 = PopupMenu1->addAction(QStringLiteral("Precedente"));
    Precedente1->setShortcut(QKeySequence(Qt::Key_F11));
    Successiva1 = PopupMenu1->addAction(QStringLiteral("Successiva"));
    Successiva1->setShortcut(QKeySequence(Qt::Key_F12));
    CopiaSqlnelclipboard1 = PopupMenu1->addAction(QStringLiteral("Copia Sql nel clipboard"));
    Inseriscisomma1 = PopupMenu1->addAction(QStringLiteral("Inserisci somma con raggruppamento corrente"));
    Precedente1->setObjectName(QStringLiteral("Precedente1"));
    Successiva1->setObjectName(QStringLiteral("Successiva1"));
    CopiaSqlnelclipboard1->setObjectName(QStringLiteral("CopiaSqlnelclipboard1"));
    Inseriscisomma1->setObjectName(QStringLiteral("Inseriscisomma1"));
    // Moving along a chain and the sum with the current grouping come with
    // their own windows.
    Precedente1->setEnabled(false);
    Successiva1->setEnabled(false);
    Inseriscisomma1->setEnabled(false);
    connect(CopiaSqlnelclipboard1, &QAction::triggered, this, &TIBLQueryForm::CopiaSqlnelclipboard1Click);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (DBGrid1->contextMenuPolicy() == Qt::CustomContextMenu)
            PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos));
    });

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    connect(DBGrid2, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (!PopupMenu2->isEmpty())
            PopupMenu2->popup(DBGrid2->viewport()->mapToGlobal(pos));
    });
}

void TIBLQueryForm::apriStoreParametri()
{
    if (m_utente == 0)
        return;
    try {
        auto store = std::make_unique<params::TTabXForm>();
        if (!store->userDatabaseOpen())
            return;
        store->SetUserPerNum(m_utente);
        const QString utente = QString::number(m_utente);
        store->Inserisci(QStringLiteral("OSL"), QStringLiteral("Archivio"), QString(),
                         store->CaricaParametro(QStringLiteral("Archivio")), QString(), QString(), QString(),
                         QString(), utente);
        store->Inserisci(QStringLiteral("OSL"), QStringLiteral("TempDir"), QString(),
                         store->CaricaParametro(QStringLiteral("Directory tabelle temporanee")), QString(),
                         QString(), QString(), QString(), utente);
        m_store = std::move(store);
    } catch (const db::Error &) {
        // Without the user's store the remembered options read as empty.
        m_store.reset();
    }
}

QString TIBLQueryForm::CaricaParametro(const QString &nome)
{
    if (m_utente != 0) {
        if (!m_store)
            return QString();
        try {
            return m_store->CaricaParametro(nome);
        } catch (const db::Error &) {
            return QString();
        }
    }
    return platform::IniFile(m_fileImpostazioni).readString(m_ditta, nome);
}

bool TIBLQueryForm::rispostaVisibile() const
{
    return !Panel2->isHidden();
}

void TIBLQueryForm::SettaggioControlli()
{
    const bool risposta = !Panel2->isHidden();
    const bool interrogazione = !Panel4->isHidden();
    for (QPushButton *b : Panel2->findChildren<QPushButton *>())
        b->setEnabled(risposta && !m_nonCollegati.contains(b));
    for (QPushButton *b : Panel4->findChildren<QPushButton *>())
        b->setEnabled(interrogazione && !m_nonCollegati.contains(b));
    if (m_singoloRecord) {
        for (QPushButton *b : {ButtonSomma, ButtonOrdina, ButtonEsporta, ButtonGrafico, ButtonRitornaQuery})
            b->setEnabled(false);
    }
}

void TIBLQueryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_attivata) {
        m_attivata = true;
        // After the window is on screen, as activation would be.
        QTimer::singleShot(0, this, &TIBLQueryForm::FormActivate);
    }
}

void TIBLQueryForm::FormActivate()
{
    if (EsportazioneInCorso || m_chiusa)
        return;
    SettaggioControlli();
    // A stored query's saved interrogation and appearance are loaded by the
    // stored-query layer when the window opens in stored mode.
    if (m_eseguiAllApertura) {
        m_tabInt.setCurrentRow(DBGrid1->currentIndex().row());
        if (m_engine->EseguiInterrogazione(m_tabInt, m_tabella, m_risposta))
            SettaFormRisposta();
        else
            m_answerModel->reset();
    }
}

bool TIBLQueryForm::ControlloRispostaCollegata()
{
    return true;
}

void TIBLQueryForm::rigaCorrenteInterrogazione(int row)
{
    m_tabInt.setCurrentRow(row);
    if (row >= 0 && row < m_tabInt.size())
        DBGrid1->setCurrentIndex(m_intModel->index(row, InterrogationModel::ColCondizione));
}

void TIBLQueryForm::ButtonEseguiInterrogazioneClick()
{
    DBGrid1->postEdit();
    m_engine->setModoClipboard(false);
    if (!ControlloRispostaCollegata())
        return;
    // The old answer's cursor dies with the transaction: let go of it first.
    m_risposta.close();
    m_answerModel->reset();
    try {
        if (m_traStorico.isActive())
            m_traStorico.commitRetaining();
        if (m_transazione.isActive())
            m_transazione.rollback();
        m_transazione.start();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante il riavvio della transazione") + QLatin1Char('\r')
                        + e.message());
        return;
    }
    m_tabInt.setCurrentRow(DBGrid1->currentIndex().row());
    const bool ok = m_engine->EseguiInterrogazione(m_tabInt, m_tabella, m_risposta);
    rigaCorrenteInterrogazione(m_tabInt.currentRow());
    if (ok)
        SettaFormRisposta();
    else
        m_answerModel->reset();
}

void TIBLQueryForm::aspettoBaseRisposta()
{
    QHeaderView *h = DBGrid2->horizontalHeader();
    const int n = m_answerModel->columnCount();
    for (int i = 0; i < n; ++i) {
        h->showSection(i);
        const int visual = h->visualIndex(i);
        if (visual != i)
            h->moveSection(visual, i);
    }
    // A character of the grid is as wide as a digit, as on the reports.
    const int carattere = DBGrid2->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int i = 0; i < n; ++i) {
        const int caratteri = larghezzaVisualizzata(m_risposta.columns()[size_t(i)]);
        // Long texts get a readable width, not their whole length: more
        // columns fit the first screen. The title is never cut.
        DBGrid2->setColumnWidth(i, std::max(std::min(caratteri, 24) * carattere + 12, larghezzaTitolo(i)));
    }
}

int TIBLQueryForm::larghezzaTitolo(int column) const
{
    return DBGrid2->horizontalHeader()->sectionSizeHint(column);
}

void TIBLQueryForm::titoliInteri()
{
    if (m_singoloRecord)
        return;
    for (int i = 0; i < m_answerModel->columnCount(); ++i)
        if (!DBGrid2->isColumnHidden(i) && DBGrid2->columnWidth(i) < larghezzaTitolo(i))
            DBGrid2->setColumnWidth(i, larghezzaTitolo(i));
}

void TIBLQueryForm::mostraPrimaPagina()
{
    m_answerModel->reset();
    // One batch covers any screen: the first page is there before the
    // window is painted; the rest comes as the grid scrolls.
    if (m_answerModel->canFetchMore(QModelIndex()))
        m_answerModel->fetchMore(QModelIndex());
    aspettoBaseRisposta();
    if (m_answerModel->rowCount() > 0)
        DBGrid2->setCurrentIndex(m_answerModel->index(0, 0));
}

void TIBLQueryForm::SettaFormRisposta()
{
    // The grid that shows takes the focus before anything hides: a grid
    // hidden with the focus passes it on as a Tab would, moving its own
    // current cell on by one.
    DBGrid2->show();
    DBGrid2->setFocus();
    Panel4->hide();
    Panel1->show();
    Panel2->show();
    SettaggioControlli();
    for (QLabel *l : LegendaRisposta)
        l->show();
    DBGrid1->hide();
    DBGrid1->setContextMenuPolicy(Qt::NoContextMenu);
    LayoutCorrente = false;

    m_fontDialogo = platform::FontChoice{QStringLiteral("BorlandTE"), 9, true};
    DBGrid2->setFont(font());
    DBGrid2->horizontalHeader()->setFont(font());

    mostraPrimaPagina();

    PopupMenu2->clear();
    for (int i = 0; i < m_risposta.columnCount(); ++i) {
        if (!eBlob(m_risposta.tipoColonna(i)))
            continue;
        const QString nome = m_risposta.nomeColonna(i);
        QAction *a = PopupMenu2->addAction(QStringLiteral("Mostra campo ") + nome);
        connect(a, &QAction::triggered, this, [this, i] { MostraCampo(i); });
    }
    DBGrid2->setFocus();
}

void TIBLQueryForm::ButtonRitornaQueryClick()
{
    // In stored mode the answer's appearance is captured and offered for
    // saving by the stored-query layer.
    if (m_singoloRecord)
        MostraUnRecord();
    // Focus first, as on the way to the answer: the interrogation's current
    // cell is where the user left it.
    DBGrid1->show();
    DBGrid1->setFocus();
    for (QLabel *l : LegendaRisposta)
        l->hide();
    Panel1->hide();
    Panel2->hide();
    Panel4->show();
    SettaggioControlli();
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid2->hide();
}

void TIBLQueryForm::ButtonChiudiClick()
{
    m_intModel->setModificaInterna(true);
    DBGrid1->postEdit();
    m_intModel->setModificaInterna(false);
    // Saving a stored interrogation and going back along a chain are asked
    // by the stored-query and chain layers before the window closes.
    m_chiusa = true;
    FormClose();
    QDialog::reject();
}

void TIBLQueryForm::reject()
{
    ButtonChiudiClick();
}

void TIBLQueryForm::keyPressEvent(QKeyEvent *event)
{
    // Esc cancels the cell being edited (the grid's editor takes it first)
    // and nothing more: the conditions typed are not thrown away with the
    // window by a key pressed once too often. "&Chiudi" closes.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TIBLQueryForm::FormClose()
{
    m_risposta.close();
    if (m_answerModel)
        m_answerModel->reset();
    try {
        if (m_traStorico.isActive())
            m_traStorico.commit();
    } catch (const db::Error &) {
        // Nothing of ours is pending there: the rows are written elsewhere.
    }
    m_store.reset();
}

void TIBLQueryForm::ButtonSelezionaTuttoClick()
{
    if (m_sessione.bloccata()) {
        platform::warning(kMsgBloccata);
        return;
    }
    DBGrid1->postEdit();
    const int corrente = DBGrid1->currentIndex().row();
    m_tabInt.selezionaTutto();
    m_intModel->reset();
    rigaCorrenteInterrogazione(corrente);
}

void TIBLQueryForm::ButtonDeselezionaTuttoClick()
{
    if (m_sessione.bloccata()) {
        platform::warning(kMsgBloccata);
        return;
    }
    DBGrid1->postEdit();
    m_tabInt.deselezionaTutto();
    m_intModel->reset();
    rigaCorrenteInterrogazione(m_tabInt.isEmpty() ? -1 : 0);
}

void TIBLQueryForm::SelezionaRigaInt()
{
    if (m_sessione.bloccata())
        return;
    const int row = DBGrid1->currentIndex().row();
    if (row < 0 || row >= m_tabInt.size())
        return;
    // Only the kind changes: the condition being typed stays in its editor.
    if (m_tabInt.toggle(row)) {
        m_intModel->mostraCambiato(row);
        DBGrid1->update(m_intModel->index(row, InterrogationModel::ColCondizione));
    }
}

void TIBLQueryForm::DBGrid1KeyUp(int key)
{
    const int row = DBGrid1->currentIndex().row();
    if (row < 0 || row >= m_tabInt.size())
        return;
    // The condition helpers (F4..F10) and the chain keys (F11, F12) are
    // handled by their own windows; F3 toggles the row.
    if (key == Qt::Key_F3 && eColonna(m_tabInt.at(row).Mostra))
        SelezionaRigaInt();
}

int TIBLQueryForm::colonneVisibili() const
{
    int n = 0;
    for (int i = 0; i < m_answerModel->columnCount(); ++i)
        if (!DBGrid2->isColumnHidden(i))
            ++n;
    return n;
}

int TIBLQueryForm::rigaCorrenteRisposta() const
{
    const int row = DBGrid2->currentIndex().row();
    if (row >= 0)
        return row;
    return m_answerModel->rowCount() > 0 ? 0 : -1;
}

void TIBLQueryForm::DBGrid2KeyUp(int key)
{
    if (key == Qt::Key_F7) {
        MostraUnRecord();
        return;
    }
    if (m_singoloRecord)
        return;
    const int column = DBGrid2->currentIndex().column();
    switch (key) {
    case Qt::Key_F3:
        if (column >= 0 && colonneVisibili() > 1) {
            DBGrid2->setColumnHidden(column, true);
            LayoutCorrente = false;
        }
        break;
    case Qt::Key_F4:
        try {
            m_risposta.reopen();
        } catch (const db::Error &e) {
            m_answerModel->reset();
            mostraErroreLettura(e.message());
            return;
        }
        mostraPrimaPagina();
        LayoutCorrente = false;
        break;
    case Qt::Key_F5: {
        CodiciColonne &codici = m_sessione.codici();
        if (!CodiciColonne::valida(column))
            return;
        codici.setRaggruppamento(column, (codici.raggruppamento(column) + 1) % 3);
        m_answerModel->raggruppamentoCambiato(column);
        DBGrid2->viewport()->update();
        LayoutCorrente = false;
        break;
    }
    default:
        break;
    }
}

void TIBLQueryForm::caricaFinoAllaFine()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_answerModel->fetchAll();
    QApplication::restoreOverrideCursor();
}

void TIBLQueryForm::ButtonNumeroRecordClick()
{
    if (!m_answerModel->fetchAll())
        return;
    platform::showMessage(QStringLiteral("Numero record presenti: ")
                          + platform::formatFloat(QStringLiteral("#,##0"), double(m_risposta.fetchedCount())));
}

void TIBLQueryForm::ButtonFontClick()
{
    const std::optional<platform::FontChoice> scelto = platform::fileDialogs().chooseFont(m_fontDialogo);
    if (!scelto)
        return;
    m_fontDialogo = *scelto;
    const QFont f = daFontChoice(*scelto, font());
    DBGrid2->setFont(f);
    DBGrid2->horizontalHeader()->setFont(f);
    DBGrid2->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
    // A larger font must not cut the titles: their columns grow.
    titoliInteri();
    LayoutCorrente = false;
}

void TIBLQueryForm::ButtonCappottaClick()
{
    MostraUnRecord();
}

void TIBLQueryForm::MostraUnRecord()
{
    QHeaderView *h = DBGrid2->horizontalHeader();
    LayoutCorrente = false;
    if (m_singoloRecord) {
        m_singoloRecord = false;
        const QModelIndex corrente = m_answerModel->index(m_tabRecRigaRisposta, std::max(0, m_tabRecColonnaRisposta));
        DBGrid2->setModel(m_answerModel);
        h->setStretchLastSection(false);
        h->restoreState(m_statoIntestazione);
        DBGrid2->verticalHeader()->hide();
        if (corrente.isValid())
            DBGrid2->setCurrentIndex(corrente);
        // Hidden first, so that the row of buttons never needs more than
        // the window's width.
        ButtonChiudi1->hide();
        for (QPushButton *b : {ButtonSomma, ButtonOrdina, ButtonEsporta, ButtonGrafico, ButtonRitornaQuery})
            b->show();
        for (QLabel *l : LegendaRisposta)
            l->show();
        SettaggioControlli();
        return;
    }

    const int row = rigaCorrenteRisposta();
    m_tabRecRigaRisposta = row;
    m_tabRecColonnaRisposta = DBGrid2->currentIndex().column();
    m_tabRec->svuota();
    for (int visual = 0; visual < h->count(); ++visual) {
        const int col = h->logicalIndex(visual);
        if (h->isSectionHidden(col))
            continue;
        const QString nome = m_risposta.nomeColonna(col);
        const TipoCampo tipo = m_risposta.tipoColonna(col);
        const db::FieldValue &v = row >= 0 ? m_risposta.value(row, col) : db::FieldValue();
        const int gruppo = m_answerModel->raggruppamento(col);
        if (tipo == TipoCampo::Virgola && (gruppo == 1 || gruppo == 2) && v) {
            const std::optional<double> d = db::toDouble(*v);
            m_tabRec->aggiungi(nome, d ? testoRaggruppato(*d, gruppo) : QString());
        } else if (eBlob(tipo)) {
            for (const QString &riga : spezzaTesto(row >= 0 ? m_risposta.text(row, col) : QString()))
                m_tabRec->aggiungi(nome, riga);
        } else {
            QString testo = row >= 0 ? m_risposta.text(row, col).left(kLunghezzaDato) : QString();
            testo.replace(QLatin1Char('\r'), QLatin1Char(' '));
            testo.replace(QLatin1Char('\n'), QLatin1Char(' '));
            m_tabRec->aggiungi(nome, testo);
        }
    }
    m_statoIntestazione = h->saveState();
    m_singoloRecord = true;
    DBGrid2->setModel(m_tabRec);
    const int carattere = DBGrid2->fontMetrics().averageCharWidth();
    DBGrid2->setColumnWidth(0, 21 * carattere + 10);
    const int caratteriDato = std::max(1, (DBGrid2->width() - 270) / 8 + 1);
    DBGrid2->setColumnWidth(1, std::max(caratteriDato * 8, 10 * carattere));
    h->setStretchLastSection(true);
    for (QPushButton *b : {ButtonSomma, ButtonOrdina, ButtonEsporta, ButtonGrafico, ButtonRitornaQuery}) {
        b->hide();
        b->setEnabled(false);
    }
    for (QLabel *l : LegendaRisposta)
        l->hide();
    ButtonChiudi1->show();
    SettaggioControlli();
}

void TIBLQueryForm::MostraCampo(int column)
{
    const int row = rigaCorrenteRisposta();
    const QString testo = row >= 0 ? m_risposta.text(row, column) : QString();
    TMostraMemoForm form(m_risposta.nomeColonna(column), testo, this);
    form.exec();
}

void TIBLQueryForm::CopiaSqlnelclipboard1Click()
{
    DBGrid1->postEdit();
    m_engine->setModoClipboard(true);
    if (!ControlloRispostaCollegata())
        return;
    m_tabInt.setCurrentRow(DBGrid1->currentIndex().row());
    const bool ok = m_engine->EseguiInterrogazione(m_tabInt, m_tabella, m_risposta);
    // Composing replaced the answer's text: the grid has nothing open now.
    m_answerModel->reset();
    rigaCorrenteInterrogazione(m_tabInt.currentRow());
    if (!ok)
        return;
    TAppoggioQuerForm appoggio(*m_engine, this);
    if (appoggio.exec() == QDialog::Accepted)
        platform::showMessage(QStringLiteral("Script SQL copiato!"));
}

void TIBLQueryForm::mostraErroreLettura(const QString &serverMessage)
{
    platform::error(QStringLiteral("Errore durante la lettura della risposta") + QLatin1Char('\r') + serverMessage);
}

} // namespace vardof::qbe
