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
#include "entry/ui/TZunDataForm.h"
#include "entry/ui/TZunIn1Form.h"
#include "qbe/Aiuti.h"
#include "qbe/Ordinamento.h"
#include "qbe/ui/DialoghiAvanzati.h"
#include "qbe/ui/DialoghiCondizione.h"
#include "qbe/MotoreCatena.h"
#include "qbe/SemaforoCatena.h"
#include "qbe/Unione.h"
#include "qbe/ValidazioneRisposta.h"
#include "qbe/ui/DialoghiOrdinamento.h"
#include "qbe/ui/TAppoggioQuerForm.h"
#include "qbe/ui/TMostraMemoForm.h"
#include "qbe/ui/TabRecTmp.h"
#include "output/ui/EsportaRisposta.h"
#include "output/report/ui/StampaQuery.h"
#include "output/report/ui/grafico/TGraficoForm.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QHeaderView>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
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
    m_storico = std::make_unique<StoricoQuery>(m_connessione, m_traStorico);
    m_catena = std::make_unique<MotoreCatena>(*m_engine, *m_storico, m_connessione, m_traStorico, m_tabInt,
                                              m_risposta, m_tabella, m_sessione);
    // Moving forward over a query that exists checks that the query that
    // follows still suits the new answer; a stored query closed after a
    // change is checked the same way before its save is offered.
    m_catena->setValidazione([this](const SessioneQuery &s, TabRispTmp &risposta, TabIntTmp &tab) {
        return qbe::ValidazioneNuovaRisposta(*m_storico, s.codice1Aspetto(), s.codice2Aspetto(),
                                             colonneRisposta(risposta), tab,
                                             [this](const QString &q) { return chiedi(q); })
            .accettata;
    });
    ValidazioneNuovaRisposta = [this] {
        try {
            return ValidazioneSuccessiva(*m_storico, codice1Corrente(), codice2Corrente(), colonneRisposta(m_risposta),
                                         m_tabInt, [this](const QString &q) { return chiedi(q); })
                .accettata;
        } catch (const db::Error &e) {
            erroreStorico(QStringLiteral("Errore durante il controllo delle query successive"), e.message());
            return false;
        }
    };
    // A compatible saved appearance goes on the grid once the answer face
    // has laid out its columns.
    m_engine->setApplicaAspetto([this](TabRispTmp &, const RigheAspetto &aspetto) { m_aspettoDaApplicare = aspetto; });
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
    connect(ButtonCount, &QPushButton::clicked, this, &TIBLQueryForm::ButtonCountClick);
    connect(ButtonSum, &QPushButton::clicked, this, &TIBLQueryForm::ButtonSumClick);
    connect(ButtonAggiungiT, &QPushButton::clicked, this, &TIBLQueryForm::ButtonAggiungiTClick);
    connect(ButtonEliminaT, &QPushButton::clicked, this, &TIBLQueryForm::ButtonEliminaTClick);
    connect(ButtonElabAvanzate, &QPushButton::clicked, this, &TIBLQueryForm::ButtonElabAvanzateClick);
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
    connect(ButtonSomma, &QPushButton::clicked, this, &TIBLQueryForm::ButtonSommaClick);
    connect(ButtonOrdina, &QPushButton::clicked, this, &TIBLQueryForm::ButtonOrdinaClick);
    connect(ButtonEsporta, &QPushButton::clicked, this, &TIBLQueryForm::ButtonEsportaClick);
    // Charts and printing are their own windows.
    connect(ButtonStampa, &QPushButton::clicked, this, &TIBLQueryForm::ButtonStampaClick);
    connect(ButtonGrafico, &QPushButton::clicked, this, [this] {
        if (!m_risposta.isOpen())
            return;
        output::report::ContestoGrafico c;
        c.risposta.sql = m_risposta.SQL();
        c.risposta.transazione = m_risposta.transaction() ? m_risposta.transaction() : &m_transazione;
        c.ditta = m_ditta;
        c.dirBin = platform::IniFile(m_fileImpostazioni.isEmpty() ? QStringLiteral("ostrel.ini") : m_fileImpostazioni)
                       .readString(m_ditta, QStringLiteral("Directory bin"));
        c.dirLavoro = m_directory;
        c.font = font();
        output::report::ButtonGraficoClick(this, c);
    });

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
    // The keys act from anywhere in the window, once per press; on the
    // answer face they do nothing.
    for (QAction *a : {Precedente1, Successiva1}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    connect(Precedente1, &QAction::triggered, this, &TIBLQueryForm::Precedente1Click);
    connect(Successiva1, &QAction::triggered, this, &TIBLQueryForm::Successiva1Click);
    connect(CopiaSqlnelclipboard1, &QAction::triggered, this, &TIBLQueryForm::CopiaSqlnelclipboard1Click);
    connect(Inseriscisomma1, &QAction::triggered, this, &TIBLQueryForm::Inseriscisomma1Click);
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
    if (sessione().modoStorico())
        CheckArchiviStorico();
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
    eseguiInterrogazione();
}

bool TIBLQueryForm::eseguiInterrogazione()
{
    DBGrid1->postEdit();
    m_engine->setModoClipboard(false);
    if (!ControlloRispostaCollegata())
        return false;
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
        return false;
    }
    m_tabInt.setCurrentRow(DBGrid1->currentIndex().row());
    m_aspettoDaApplicare.reset();
    const bool ok = m_engine->EseguiInterrogazione(m_tabInt, m_tabella, m_risposta);
    rigaCorrenteInterrogazione(m_tabInt.currentRow());
    if (ok)
        SettaFormRisposta();
    else
        m_answerModel->reset();
    return ok;
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
    if (m_aspettoDaApplicare) {
        applicaAspetto(*m_aspettoDaApplicare);
        m_aspettoDaApplicare.reset();
    }

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

void TIBLQueryForm::mostraInterrogazione()
{
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

void TIBLQueryForm::ButtonRitornaQueryClick()
{
    if (m_singoloRecord)
        MostraUnRecord();
    const bool aspettoMemorizzato =
        sessione().modoStorico() && sessione().codice1() != storedqueries::kCodice1SenzaAspetto;
    if (aspettoMemorizzato)
        SalvaAspetto();
    mostraInterrogazione();

    if (!aspettoMemorizzato || m_tabAspRTmp.empty())
        return;
    const int c1 = codice1Corrente();
    const double c2 = codice2Corrente();
    try {
        if (!m_storico->ControllaAspettoSalvato(c1, c2, m_tabAspRTmp))
            return;
    } catch (const db::Error &e) {
        erroreStorico(QStringLiteral("Errore durante la lettura dell'aspetto memorizzato"), e.message());
        return;
    }
    if (!platform::confirmOkCancel(QStringLiteral("Aggiornare lo storico aspetto?")))
        return;
    try {
        m_storico->SalvaAspettoSuStorico(c1, c2, m_tabAspRTmp);
    } catch (const db::Error &e) {
        erroreStorico(QStringLiteral("Errore durante il salvataggio dell'aspetto"), e.message());
    }
}

void TIBLQueryForm::ButtonChiudiClick()
{
    m_intModel->setModificaInterna(true);
    DBGrid1->postEdit();
    const bool chiudibile = !sessione().modoStorico() || ChiusuraStorico();
    m_intModel->setModificaInterna(false);
    if (!chiudibile)
        return;
    // Above level 0 closing goes back to the query before.
    if (livello() > 0) {
        PassaAQueryPrecedente(false);
        return;
    }
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
    if (sessione().bloccata()) {
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
    if (sessione().bloccata()) {
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
    if (sessione().bloccata())
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
    // The chain keys (F11, F12) belong to the chain operations.
    if (!tastoAmmesso(key, m_tabInt.at(row).Mostra, sessione().bloccata()))
        return;
    switch (key) {
    case Qt::Key_F3:
        SelezionaRigaInt();
        break;
    case Qt::Key_F4:
        MettiParentesi();
        break;
    case Qt::Key_F5:
        InserisciNomeCampo();
        break;
    case Qt::Key_F6:
        InserisciRange();
        break;
    case Qt::Key_F7:
        InserisciFormule();
        break;
    case Qt::Key_F8:
        RaggruppaMesi();
        break;
    case Qt::Key_F9:
        EditorCondizione();
        break;
    case Qt::Key_F10:
        InserisciValore();
        break;
    default:
        break;
    }
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
        CodiciColonne &codici = sessione().codici();
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

// ---- stored interrogation and appearance ------------------------------------

void TIBLQueryForm::erroreStorico(const QString &lead, const QString &serverMessage)
{
    platform::error(lead + QLatin1Char('\r') + serverMessage);
}

void TIBLQueryForm::aggiornaLegendaCatena()
{
    LabelPrec->setVisible(sessione().precedente());
    LabelSucc->setVisible(sessione().successiva());
}

void TIBLQueryForm::CheckArchiviStorico()
{
    m_sessione.azzeraIndicatori();
    try {
        m_storico->RecuperaInterrogazionedaStorico(m_sessione.codice1(), m_sessione.codice2(), m_tabInt, m_sessione);
        m_storico->InizializzaRaggruppa(m_sessione.codice1(), m_sessione.codice2(), m_sessione.codici());
    } catch (const db::Error &e) {
        erroreStorico(QStringLiteral("Errore durante la lettura della query memorizzata"), e.message());
    }
    m_intModel->reset();
    rigaCorrenteInterrogazione(m_tabInt.isEmpty() ? -1 : 0);
    aggiornaLegendaCatena();
}

int TIBLQueryForm::larghezzaCaratteri(int caratteri) const
{
    return std::max(1, caratteri) * DBGrid2->fontMetrics().horizontalAdvance(QLatin1Char('0')) + 12;
}

int TIBLQueryForm::caratteriLarghezza(int pixel) const
{
    const int carattere = std::max(1, DBGrid2->fontMetrics().horizontalAdvance(QLatin1Char('0')));
    return std::max(1, (pixel - 12 + carattere / 2) / carattere);
}

void TIBLQueryForm::SalvaAspetto()
{
    m_tabAspRTmp.clear();
    if (!m_risposta.isOpen())
        return;
    const QHeaderView *h = DBGrid2->horizontalHeader();
    for (int i = 0; i < m_risposta.columnCount(); ++i) {
        const bool nascosta = DBGrid2->isColumnHidden(i);
        // A hidden column has no width on screen: it keeps its default one.
        const int caratteri = nascosta ? std::min(larghezzaVisualizzata(m_risposta.columns()[size_t(i)]), 24)
                                       : caratteriLarghezza(DBGrid2->columnWidth(i));
        m_tabAspRTmp.push_back(storedqueries::RigaStoAsp{i, m_risposta.nomeColonna(i), caratteri, nascosta ? 0 : 1,
                                                         h->visualIndex(i), sessione().codici().codice(i)});
    }
}

void TIBLQueryForm::applicaAspetto(const RigheAspetto &aspetto)
{
    QHeaderView *h = DBGrid2->horizontalHeader();
    const int n = std::min(m_risposta.columnCount(), int(aspetto.size()));
    std::vector<std::pair<int, int>> posizioni; // (display position, column)
    for (int k = 0; k < n; ++k) {
        const storedqueries::RigaStoAsp &a = aspetto[size_t(k)];
        const QString nome = a.NomeCampo.trimmed();
        const int col = m_risposta.indexOfColonna(nome);
        if (col < 0)
            continue;
        const int dim = std::max(1, a.Dim);
        m_answerModel->setTitolo(col, dim < nome.size() ? nome.left(dim) : nome);
        DBGrid2->setColumnWidth(col, larghezzaCaratteri(dim));
        DBGrid2->setColumnHidden(col, a.Vis != 1);
        posizioni.emplace_back(a.Pos, col);
    }
    std::stable_sort(posizioni.begin(), posizioni.end());
    for (const auto &[pos, col] : posizioni)
        if (pos >= 0 && pos < h->count() && h->visualIndex(col) != pos)
            h->moveSection(h->visualIndex(col), pos);
}

void TIBLQueryForm::rimostraRisposta(const RigheAspetto &aspetto)
{
    mostraPrimaPagina();
    applicaAspetto(aspetto);
}

bool TIBLQueryForm::ChiusuraStorico()
{
    const int c1 = codice1Corrente();
    const double c2 = codice2Corrente();
    bool cambiata = false;
    try {
        cambiata = m_storico->ControllaInterrogazioneSalvata(c1, c2, m_tabInt);
    } catch (const db::Error &e) {
        erroreStorico(QStringLiteral("Errore durante la lettura della query memorizzata"), e.message());
        return true;
    }
    if (!cambiata)
        return true;
    // A save that fails keeps the window open: what was changed is not lost.
    auto salva = [this, c1, c2] {
        try {
            m_storico->SalvaInterrogazioneSuStorico(c1, c2, m_tabInt);
            return true;
        } catch (const db::Error &e) {
            erroreStorico(QStringLiteral("Errore durante il salvataggio della query"), e.message());
            return false;
        }
    };
    const QString domanda = QStringLiteral("Aggiornare lo storico interrogazioni?");
    bool successiva = false;
    for (const RigaInt &r : m_tabInt.righe())
        successiva = successiva || (r.Mostra == MostraCatena && r.Nome == kQuerySuccessiva);
    if (!successiva)
        return !platform::confirmOkCancel(domanda) || salva();

    if (platform::confirmOkCancel(QStringLiteral(
            "La query è stata modificata; Effettuo il controllo di validazione delle query successive ?"))) {
        if (!eseguiInterrogazione())
            return false;
        // The check comes before the save: a refused change must still find
        // the stored rows to go back to.
        if (ValidazioneNuovaRisposta && !ValidazioneNuovaRisposta()) {
            m_intModel->reset();
            return false;
        }
        bool ancoraCambiata = true;
        try {
            ancoraCambiata = m_storico->ControllaInterrogazioneSalvata(c1, c2, m_tabInt);
        } catch (const db::Error &e) {
            erroreStorico(QStringLiteral("Errore durante la lettura della query memorizzata"), e.message());
        }
        return !ancoraCambiata || !platform::confirmOkCancel(domanda) || salva();
    }
    if (platform::confirmOkCancel(QStringLiteral(
            "La query è stata modificata; Effettuo il salvataggio senza il controllo validazione delle query "
            "successive ?")))
        return salva();
    return true;
}

// ---- ordering, totals, sums ----------------------------------------------------

void TIBLQueryForm::ButtonOrdinaClick()
{
    if (!m_risposta.isOpen() || m_singoloRecord)
        return;
    SalvaAspetto();
    const RigheAspetto catturato = m_tabAspRTmp;
    std::vector<TipoCampo> tipi;
    QStringList nomi;
    for (int i = 0; i < m_risposta.columnCount(); ++i) {
        tipi.push_back(m_risposta.tipoColonna(i));
        nomi << m_risposta.nomeColonna(i);
    }
    TOrdETotForm form(nomi, RiempiOrdETot(tipi, sessione().codici()), this);
    if (form.exec() == QDialog::Accepted) {
        const ListeOrdETot liste = form.liste();
        AggiornaCodici(sessione().codici(), m_risposta.columnCount(), liste.chiave, liste.totali, liste.decrescente);
        m_answerModel->reset();
        try {
            m_engine->ApplicaOrdinamento(m_risposta);
        } catch (const db::Error &e) {
            rimostraRisposta(catturato);
            platform::error(QStringLiteral("Errore durante l'ordinamento della risposta") + QLatin1Char('\r')
                            + e.message());
            LayoutCorrente = false;
            return;
        }
        rimostraRisposta(catturato);
    }
    LayoutCorrente = false;
}

void TIBLQueryForm::ButtonSommaClick()
{
    if (!m_risposta.isOpen() || m_singoloRecord)
        return;
    std::vector<std::pair<QString, int>> colonne;
    for (int i = 0; i < m_risposta.columnCount(); ++i)
        if (eNumerica(m_risposta.tipoColonna(i)))
            colonne.emplace_back(m_risposta.nomeColonna(i), i);
    TSommaForm form(
        colonne,
        [this](int colonna) {
            // Through the grid's model, so that the grid knows every row
            // read and its current row stays where it is.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const bool letta = m_answerModel->fetchAll();
            QApplication::restoreOverrideCursor();
            if (!letta)
                return;
            double somma = 0;
            try {
                somma = SommaColonna(m_risposta, colonna);
            } catch (const db::Error &e) {
                mostraErroreLettura(e.message());
                return;
            }
            platform::showMessage(testoSomma(somma));
        },
        this);
    form.exec();
}

int TIBLQueryForm::rigaColonnaCorrente() const
{
    const int row = DBGrid1->currentIndex().row();
    if (row < 0 || row >= m_tabInt.size() || !eColonna(m_tabInt.at(row).Mostra))
        return -1;
    return row;
}

bool TIBLQueryForm::scriviCondizione(int row, const QString &condizione)
{
    if (condizione.size() > kLunghezzaCondizione) {
        platform::warning(QStringLiteral("Attenzione: la condizione supera la lunghezza massima di %1 caratteri")
                              .arg(kLunghezzaCondizione));
        return false;
    }
    m_tabInt.setCondizione(row, condizione);
    m_intModel->rigaCambiata(row);
    return true;
}

void TIBLQueryForm::aggregato(bool conteggio)
{
    DBGrid1->postEdit();
    const int row = rigaColonnaCorrente();
    if (row < 0)
        return;
    const QString campo = m_tabInt.at(row).Nome;
    TQRaggruppamentiForm form(campo, conteggio ? QStringLiteral("TOT") : QStringLiteral("VALORE"), this);
    if (form.exec() != QDialog::Accepted)
        return;
    const QString condizione = conteggio ? condizioneConteggio(campo, form.nomeColonna())
                                         : condizioneSomma(campo, form.nomeColonna());
    if (!scriviCondizione(row, condizione))
        return;
    if (form.deselezionaTutti())
        ButtonDeselezionaTuttoClick();
}

void TIBLQueryForm::ButtonCountClick()
{
    aggregato(true);
}

void TIBLQueryForm::ButtonSumClick()
{
    aggregato(false);
}

void TIBLQueryForm::Inseriscisomma1Click()
{
    DBGrid1->postEdit();
    // A chained query questions the answer of the level before it.
    const QString questionata = livello() > 0 ? m_engine->nomeTabellaRisposta(livello() - 1) : m_tabella;
    TabellaSorgente tabella;
    try {
        tabella = TabellaSorgente::leggi(m_connessione, m_transazione, questionata);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile leggere le colonne della tabella ") + questionata
                        + QLatin1Char('\r') + e.message());
        return;
    }
    QStringList campi;
    for (const db::TableColumn &c : tabella.colonne)
        if (eNumerica(classeCampo(c)) || c.typeCode == db::TypeBigint)
            campi << c.name;
    TCalcSommaForm form(campi, this);
    if (form.exec() != QDialog::Accepted)
        return;
    const int corrente = DBGrid1->currentIndex().row();
    if (InserisciSommaRaggruppamento(m_tabInt, form.campo(), form.titolo())) {
        m_intModel->reset();
        rigaCorrenteInterrogazione(corrente);
    }
}

// ---- condition helpers ---------------------------------------------------------

void TIBLQueryForm::MettiParentesi()
{
    DBGrid1->postEdit();
    const int row = rigaColonnaCorrente();
    if (row < 0)
        return;
    const EsitoParentesi e = qbe::MettiParentesi(m_tabInt.at(row).Condizione);
    if (!scriviCondizione(row, e.condizione) || !e.apriEditor)
        return;
    const QModelIndex cella = m_intModel->index(row, InterrogationModel::ColCondizione);
    DBGrid1->setCurrentIndex(cella);
    DBGrid1->edit(cella);
    // The user goes on typing after the parenthesis.
    if (QLineEdit *editor = DBGrid1->editorAperto()) {
        editor->deselect();
        editor->end(false);
    }
}

void TIBLQueryForm::InserisciNomeCampo()
{
    DBGrid1->postEdit();
    const int row = rigaColonnaCorrente();
    if (row >= 0)
        scriviCondizione(row, qbe::InserisciNomeCampo(m_tabInt.at(row).Condizione, m_tabInt.at(row).Nome));
}

void TIBLQueryForm::InserisciRange()
{
    DBGrid1->postEdit();
    const int row = rigaColonnaCorrente();
    if (row < 0)
        return;
    const QString nome = m_tabInt.at(row).Nome;
    TRangeForm form(nome, m_engine->DeterminaTipoCampo(nome, archivio()), this);
    if (form.exec() == QDialog::Accepted && !form.condizione().isEmpty())
        scriviCondizione(row, form.condizione());
}

QStringList TIBLQueryForm::campiCondizione(bool soloDate) const
{
    QStringList campi;
    for (const RigaInt &r : m_tabInt.righe())
        if ((r.Mostra == MostraNascosto || r.Mostra == MostraVisibile)
            && (!soloDate || m_engine->DeterminaTipoCampo(r.Nome, archivio()) == TipoCampo::Data))
            campi << r.Nome;
    return campi;
}

void TIBLQueryForm::InserisciFormule()
{
    DBGrid1->postEdit();
    const int row = rigaColonnaCorrente();
    if (row < 0)
        return;
    TFormuleForm form(campiCondizione(false), m_tabInt.at(row).Nome, this);
    if (form.exec() == QDialog::Accepted)
        scriviCondizione(row, form.condizione());
}

void TIBLQueryForm::RaggruppaMesi()
{
    DBGrid1->postEdit();
    const int row = rigaColonnaCorrente();
    if (row < 0)
        return;
    TRaggMesiForm form(campiCondizione(true), this);
    if (form.exec() == QDialog::Accepted)
        scriviCondizione(row, form.condizione());
}

void TIBLQueryForm::EditorCondizione()
{
    DBGrid1->postEdit();
    const int row = DBGrid1->currentIndex().row();
    if (row < 0 || row >= m_tabInt.size())
        return;
    TEditCondForm form(m_tabInt.at(row).Condizione, this);
    if (form.exec() == QDialog::Accepted)
        scriviCondizione(row, form.condizione());
}

void TIBLQueryForm::InserisciValore()
{
    DBGrid1->postEdit();
    const int row = rigaColonnaCorrente();
    if (row < 0)
        return;
    const QString nome = m_tabInt.at(row).Nome;
    const TipoCampo tipo = m_engine->DeterminaTipoCampo(nome, archivio());
    QString valore;
    if (tipo == TipoCampo::Data) {
        entry::TZunDataForm form(this);
        form.Label1->setText(QStringLiteral("Inserisci la data:"));
        form.exec();
        if (form.Risposta != 1)
            return;
        valore = form.data().toString(QStringLiteral("dd/MM/yyyy"));
    } else {
        entry::TZunIn1Form form(this);
        form.Label1->setText(QStringLiteral("Inserisci il valore:"));
        form.Edit1->clear();
        form.exec();
        if (form.Risposta != 1)
            return;
        valore = form.Edit1->text();
    }
    scriviCondizione(row, testoValore(nome, valore, tipo));
}

void TIBLQueryForm::ButtonEsportaClick()
{
    if (!m_risposta.isOpen())
        return;
    output::ContestoEsportazione c;
    c.risposta.sql = m_risposta.SQL();
    c.risposta.transazione = m_risposta.transaction() ? m_risposta.transaction() : &m_transazione;
    // The columns as the grid shows them: visible ones in display order,
    // with their titles, widths and codes.
    const QHeaderView *h = DBGrid2->horizontalHeader();
    for (int v = 0; v < h->count(); ++v) {
        const int i = h->logicalIndex(v);
        if (i < 0 || i >= m_risposta.columnCount() || DBGrid2->isColumnHidden(i))
            continue;
        c.risposta.campi.push_back({i, m_risposta.nomeColonna(i),
                                    m_answerModel->headerData(i, Qt::Horizontal).toString(),
                                    caratteriLarghezza(DBGrid2->columnWidth(i)), sessione().codici().codice(i)});
    }
    c.store = m_store.get();
    c.ditta = m_ditta;
    c.dirLavoro = m_directory;
    c.fileImpostazioni = m_fileImpostazioni;
    c.nomeFile = !m_nomeExport.isEmpty() ? m_nomeExport : m_tabella.toUpper() + QStringLiteral(".CSV");
    c.caricaParametro = [this](const QString &nome) { return CaricaParametro(nome); };
    c.esportazioneInCorso = [this](bool on) {
        if (on)
            EsportazioneInCorso = true;
    };
    output::ButtonEsportaClick(this, c);
}

void TIBLQueryForm::ButtonStampaClick()
{
    if (!m_risposta.isOpen())
        return;
    output::report::ContestoStampa c;
    c.risposta.sql = m_risposta.SQL();
    c.risposta.transazione = m_risposta.transaction() ? m_risposta.transaction() : &m_transazione;
    const QHeaderView *h = DBGrid2->horizontalHeader();
    for (int v = 0; v < h->count() && !m_singoloRecord; ++v) {
        const int i = h->logicalIndex(v);
        if (i < 0 || i >= m_risposta.columnCount() || DBGrid2->isColumnHidden(i))
            continue;
        c.risposta.campi.push_back({i, m_risposta.nomeColonna(i), m_answerModel->headerData(i, Qt::Horizontal).toString(),
                                    caratteriLarghezza(DBGrid2->columnWidth(i)), sessione().codici().codice(i)});
    }
    c.ditta = m_ditta;
    c.tabella = m_tabella;
    c.dirLavoro = m_directory;
    c.fileImpostazioni = m_fileImpostazioni;
    c.dirBin = platform::IniFile(m_fileImpostazioni.isEmpty() ? QStringLiteral("ostrel.ini") : m_fileImpostazioni)
                   .readString(m_ditta, QStringLiteral("Directory bin"));
    c.fontGriglia = DBGrid2->font();
    c.unRecord = m_singoloRecord;
    output::report::ButtonStampaClick(this, c);
}

// ---- added tables, advanced processing, chains ---------------------------------

bool TIBLQueryForm::chiedi(const QString &domanda)
{
    return platform::confirmOkCancel(domanda);
}

void TIBLQueryForm::chiudiRisposta()
{
    if (m_singoloRecord)
        MostraUnRecord();
    m_risposta.close();
    m_answerModel->reset();
}

void TIBLQueryForm::ButtonAggiungiTClick()
{
    DBGrid1->postEdit();
    if (sessione().bloccata()) {
        platform::warning(kMsgBloccata);
        return;
    }
    const int corrente = DBGrid1->currentIndex().row();
    m_intModel->setModificaInterna(true);
    TIBAggForm form(m_ditta, m_connessione, m_transazione, m_tabInt, this);
    const bool aggiunta = form.exec() == QDialog::Accepted;
    m_intModel->setModificaInterna(false);
    if (!aggiunta)
        return;
    m_intModel->reset();
    rigaCorrenteInterrogazione(corrente);
}

void TIBLQueryForm::ButtonEliminaTClick()
{
    DBGrid1->postEdit();
    if (sessione().bloccata()) {
        platform::warning(kMsgBloccata);
        return;
    }
    TEliminaForm form(testate(m_tabInt), this);
    if (form.exec() != QDialog::Accepted)
        return;
    const QString testata = form.scelta();
    if (testata.isEmpty())
        return;
    const QString rifiuto = controlloEliminazione(m_tabInt, testata);
    if (!rifiuto.isEmpty()) {
        platform::warning(rifiuto);
        return;
    }
    if (!platform::confirmOkCancel(QStringLiteral("Elimino la tabella e gli elementi ad essa collegata?")))
        return;
    eliminaTabella(m_tabInt, testata);
    m_intModel->reset();
    rigaCorrenteInterrogazione(m_tabInt.isEmpty() ? -1 : 0);
}

void TIBLQueryForm::ButtonElabAvanzateClick()
{
    DBGrid1->postEdit();
    SessioneQuery &s = sessione();
    StatoElaborazione stato;
    stato.livello = s.livello();
    stato.catena = s.catena();
    stato.unione = s.unione();
    stato.bloccata = s.bloccata();
    stato.modoStorico = s.modoStorico();
    TElabAvanForm menu(stato, m_ditta, this);
    menu.ButtonAggiungiAffiancata->setText(QStringLiteral("Affiancamento tramite UNION"));
    menu.exec();
    const QString scelta = menu.risultato();
    if (scelta.isEmpty())
        return;

    if (scelta == risultatoVoce(VoceElaborazione::CampiVisibili)) {
        m_intModel->setModificaInterna(true);
        TIBCamVisForm form(m_ditta, m_tabella, m_connessione, m_transazione, m_tabInt, this);
        const bool cambiata = form.exec() == QDialog::Accepted;
        m_intModel->setModificaInterna(false);
        if (cambiata) {
            m_intModel->reset();
            rigaCorrenteInterrogazione(m_tabInt.isEmpty() ? -1 : 0);
        }
    } else if (scelta == risultatoVoce(VoceElaborazione::BloccaQuery)) {
        DBGrid1->setUpdatesEnabled(false);
        m_intModel->setModificaInterna(true);
        TBloccaQForm form(m_ditta, m_tabInt, s, this);
        form.exec();
        m_intModel->setModificaInterna(false);
        m_intModel->reset();
        rigaCorrenteInterrogazione(m_tabInt.size() - 1);
        DBGrid1->setUpdatesEnabled(true);
    } else if (scelta == risultatoVoce(VoceElaborazione::AffiancaUnione)) {
        AggiungiUnioneQuery();
    } else if (scelta == risultatoVoce(VoceElaborazione::TogliAffiancata)) {
        if (platform::confirmOkCancel(QStringLiteral("Elimino l'ultima query affiancata?")))
            EliminaUltimaQueryAffiancata();
    } else if ((scelta == risultatoVoce(VoceElaborazione::PassaPrecedente)
                || scelta == risultatoVoce(VoceElaborazione::PassaSuccessiva)
                || scelta == risultatoVoce(VoceElaborazione::EliminaSuccessiva))
               && !s.modoStorico()) {
        // Every chain entry needs a stored query to hang the chain on.
        platform::warning(kMsgSoloStorico);
    } else if (scelta == risultatoVoce(VoceElaborazione::PassaPrecedente)) {
        PassaAQueryPrecedente(true);
    } else if (scelta == risultatoVoce(VoceElaborazione::PassaSuccessiva)) {
        if (PrendiSemaforoCatena())
            PassaAQuerySuccessiva();
    } else if (scelta == risultatoVoce(VoceElaborazione::EliminaSuccessiva)) {
        if (platform::confirmOkCancel(QStringLiteral("Elimino la query successiva?")))
            EliminaUltimaQuerySuccessiva();
    }
}

void TIBLQueryForm::AggiungiUnioneQuery()
{
    const int corrente = DBGrid1->currentIndex().row();
    if (!qbe::AggiungiUnioneQuery(m_tabInt, m_tabella, sessione())) {
        platform::warning(kMsgSelezionareCampo);
        return;
    }
    m_intModel->reset();
    rigaCorrenteInterrogazione(corrente);
}

void TIBLQueryForm::EliminaUltimaQueryAffiancata()
{
    qbe::EliminaUltimaQueryAffiancata(m_tabInt, sessione());
    m_intModel->reset();
    rigaCorrenteInterrogazione(m_tabInt.isEmpty() ? -1 : 0);
}

bool TIBLQueryForm::semaforoCatenaPreso() const
{
    return m_semaforo && m_semaforo->preso();
}

bool TIBLQueryForm::PrendiSemaforoCatena()
{
    if (!m_semaforo)
        m_semaforo = std::make_unique<SemaforoCatena>(m_utente, m_connessione);
    QString messaggio;
    switch (m_semaforo->prendi(messaggio)) {
    case SemaforoCatena::Esito::Preso:
        return true;
    case SemaforoCatena::Esito::Occupato:
        platform::warning(messaggio);
        return false;
    case SemaforoCatena::Esito::Errore:
        platform::error(messaggio);
        return false;
    }
    return false;
}

void TIBLQueryForm::nuovaTransazioneStorico()
{
    // A chain move rewrites stored rows another session of the user may
    // have rewritten since this window read them: a fresh snapshot, so
    // that the rows deleted are the ones there now and not a conflict.
    if (m_traStorico.isActive())
        m_traStorico.commit();
    m_traStorico.start();
}

void TIBLQueryForm::dopoMovimentoCatena()
{
    m_corrente = &m_catena->sessione();
    m_engine->setSessione(*m_corrente);
    m_answerModel->setCodici(m_corrente->codici());
    try {
        m_storico->InizializzaRaggruppa(codice1Corrente(), codice2Corrente(), m_corrente->codici());
    } catch (const db::Error &e) {
        erroreStorico(QStringLiteral("Errore durante la lettura dell'aspetto memorizzato"), e.message());
    }
    if (rispostaVisibile()) {
        // The answer on screen belonged to the query left behind.
        mostraInterrogazione();
    }
    m_answerModel->reset();
    m_intModel->reset();
    rigaCorrenteInterrogazione(m_tabInt.isEmpty() ? -1 : 0);
    aggiornaLegendaCatena();
}

void TIBLQueryForm::PassaAQuerySuccessiva()
{
    m_intModel->setModificaInterna(true);
    DBGrid1->postEdit();
    chiudiRisposta();
    m_tabInt.setCurrentRow(DBGrid1->currentIndex().row());
    try {
        nuovaTransazioneStorico();
        m_catena->PassaAQuerySuccessiva();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante il passaggio alla query successiva") + QLatin1Char('\r')
                        + e.message());
    }
    dopoMovimentoCatena();
    m_intModel->setModificaInterna(false);
}

void TIBLQueryForm::PassaAQueryPrecedente(bool ask)
{
    m_intModel->setModificaInterna(true);
    DBGrid1->postEdit();
    chiudiRisposta();
    bool tornata = false;
    try {
        nuovaTransazioneStorico();
        tornata = m_catena->PassaAQueryPrecedente(ask ? std::function<bool()>([this] {
            return chiedi(kMsgAggiornareStorico);
        })
                                                      : std::function<bool()>());
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante il ritorno alla query precedente") + QLatin1Char('\r')
                        + e.message());
    }
    dopoMovimentoCatena();
    // Back at the first query the chain is left: another session of the
    // user may walk chains now.
    if (tornata && m_semaforo && livello() == 0)
        m_semaforo->libera();
    m_intModel->setModificaInterna(false);
}

void TIBLQueryForm::EliminaUltimaQuerySuccessiva()
{
    m_intModel->setModificaInterna(true);
    DBGrid1->postEdit();
    chiudiRisposta();
    QString rifiuto;
    try {
        nuovaTransazioneStorico();
        rifiuto = m_catena->EliminaUltimaQuerySuccessiva();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante l'eliminazione della query successiva") + QLatin1Char('\r')
                        + e.message());
    }
    if (!rifiuto.isEmpty())
        platform::warning(rifiuto);
    dopoMovimentoCatena();
    if (m_semaforo && livello() == 0)
        m_semaforo->libera();
    m_intModel->setModificaInterna(false);
}

void TIBLQueryForm::Precedente1Click()
{
    if (rispostaVisibile() || Panel4->isHidden())
        return;
    if (sessione().catena() && livello() > 0 && !LabelPrec->isHidden())
        PassaAQueryPrecedente(true);
    else
        ButtonChiudiClick();
}

void TIBLQueryForm::Successiva1Click()
{
    if (rispostaVisibile() || Panel4->isHidden())
        return;
    DBGrid1->postEdit();
    bool marcatore = false;
    for (const RigaInt &r : m_tabInt.righe())
        marcatore = marcatore || r.Mostra == MostraCatena;
    if (marcatore) {
        if (!PrendiSemaforoCatena())
            return;
        if (!LabelSucc->isHidden()) {
            PassaAQuerySuccessiva();
            return;
        }
    }
    // Through the button: an opener that gave it another meaning (the
    // table editor's "&Ritorna") gets the key too.
    ButtonEseguiInterrogazione->click();
}

} // namespace vardof::qbe
