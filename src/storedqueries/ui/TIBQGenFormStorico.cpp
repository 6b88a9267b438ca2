// The history layout of the registry: the stored queries in the data grid,
// filtered by the two classifications, with the record operations, the
// record locker that keeps two users from editing one stored query, and the
// definition files of the popup menu.

#include "storedqueries/ui/TIBQGenForm.h"

#include "context/WorkContext.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "grid/ui/TQmtGrid.h"
#include "maintenance/Semafori.h"
#include "platform/Clipboard.h"
#include "platform/FileDialogs.h"
#include "platform/HostPaths.h"
#include "platform/Messages.h"
#include "platform/RunFeedback.h"
#include "platform/Services.h"
#include "platform/TextFile.h"
#include "storedqueries/DefinizioneQuery.h"
#include "storedqueries/StoredQueryTables.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>

namespace vardof::storedqueries {

namespace {

const QString kFiltroTesto = QStringLiteral("File Testo (*.txt)|*.txt");

QPushButton *bottone(QWidget *parent, const QString &testo, const char *nome)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QLatin1String(nome));
    return b;
}

QLineEdit *campo(QWidget *parent, const char *nome)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(nome));
    return e;
}

QComboBox *lista(QWidget *parent, const char *nome)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(nome));
    return c;
}

// A classification page: "Consultazione" (value and filter), "Editazione" (the list of the row).
QStackedWidget *pagina(QWidget *parent, const char *nome, QLineEdit *&valore, QComboBox *&filtro, QComboBox *&modifica,
                       int n)
{
    auto *p = new QStackedWidget(parent);
    p->setObjectName(QLatin1String(nome));
    auto *consultazione = new QWidget(p);
    consultazione->setObjectName(QStringLiteral("Consultazione%1").arg(n));
    auto *h = new QHBoxLayout(consultazione);
    h->setContentsMargins(0, 0, 0, 0);
    valore = new QLineEdit(consultazione);
    valore->setObjectName(QStringLiteral("ValoreClassificazione%1").arg(n));
    valore->setReadOnly(true);
    filtro = new QComboBox(consultazione);
    filtro->setObjectName(QStringLiteral("FiltroClassificazione%1").arg(n));
    filtro->setToolTip(QStringLiteral("Mostra solo le query di questa classificazione"));
    h->addWidget(valore, 1);
    h->addWidget(filtro, 1);
    auto *editazione = new QWidget(p);
    editazione->setObjectName(QStringLiteral("Editazione%1").arg(n));
    auto *h2 = new QHBoxLayout(editazione);
    h2->setContentsMargins(0, 0, 0, 0);
    modifica = new QComboBox(editazione);
    modifica->setObjectName(QStringLiteral("ComboClassificazione%1").arg(n));
    h2->addWidget(modifica, 1);
    p->addWidget(consultazione);
    p->addWidget(editazione);
    return p;
}

QString testoDi(grid::SorgenteDati &s, int riga, const char *campo)
{
    const int c = s.indiceCampo(QLatin1String(campo));
    return c < 0 ? QString() : db::toText(s.value(riga, c));
}

} // namespace

void TIBQGenForm::creaStorico(QWidget *alto, QGridLayout *griglia)
{
    Codice = campo(alto, "Codice");
    Codice->setReadOnly(true);
    Tabella = campo(alto, "Tabella");
    Tabella->setMaxLength(31);
    Percorso = campo(alto, "Percorso");
    Percorso->setMaxLength(128);
    Titolo = campo(alto, "Titolo");
    Titolo->setMaxLength(40);
    NOMEEXPORT = campo(alto, "NOMEEXPORT");
    NOMEEXPORT->setMaxLength(31);
    ButtonCodiceQuery = bottone(alto, QStringLiteral("Codice Query"), "ButtonCodiceQuery");
    ButtonTitolo = bottone(alto, QStringLiteral("Titolo"), "ButtonTitolo");
    ButtonClassificazione1 = bottone(alto, QStringLiteral("Classificazione 1"), "ButtonClassificazione1");
    ButtonClassificazione2 = bottone(alto, QStringLiteral("Classificazione 2"), "ButtonClassificazione2");
    ButtonNomeExport = bottone(alto, QStringLiteral("Nome exp - opz."), "ButtonNomeExport");
    ButtonNomeExport->setFocusPolicy(Qt::NoFocus);
    PaginaClassificazione1 = pagina(alto, "PaginaClassificazione1", ValoreClassificazione1, FiltroClassificazione1,
                                    ComboClassificazione1, 1);
    PaginaClassificazione2 = pagina(alto, "PaginaClassificazione2", ValoreClassificazione2, FiltroClassificazione2,
                                    ComboClassificazione2, 2);

    Navigatore = new QWidget(alto);
    Navigatore->setObjectName(QStringLiteral("Navigatore"));
    auto *nav = new QHBoxLayout(Navigatore);
    nav->setContentsMargins(0, 0, 0, 0);
    nav->setSpacing(2);
    ButtonPrimo = bottone(Navigatore, QStringLiteral("|<"), "ButtonPrimo");
    ButtonPrecedente = bottone(Navigatore, QStringLiteral("<"), "ButtonPrecedente");
    ButtonSuccessivo = bottone(Navigatore, QStringLiteral(">"), "ButtonSuccessivo");
    ButtonUltimo = bottone(Navigatore, QStringLiteral(">|"), "ButtonUltimo");
    for (QPushButton *b : {ButtonPrimo, ButtonPrecedente, ButtonSuccessivo, ButtonUltimo}) {
        b->setFixedWidth(30);
        nav->addWidget(b);
    }

    griglia->addWidget(Tabella, 0, 1);
    griglia->addWidget(Percorso, 1, 1);
    griglia->addWidget(ButtonCodiceQuery, 2, 0);
    griglia->addWidget(Codice, 2, 1);
    griglia->addWidget(Navigatore, 2, 2);
    griglia->addWidget(ButtonTitolo, 3, 0);
    griglia->addWidget(Titolo, 3, 1);
    griglia->addWidget(ButtonClassificazione1, 4, 0);
    griglia->addWidget(PaginaClassificazione1, 4, 1);
    griglia->addWidget(ButtonClassificazione2, 5, 0);
    griglia->addWidget(PaginaClassificazione2, 5, 1);
    griglia->addWidget(ButtonNomeExport, 6, 0);
    griglia->addWidget(NOMEEXPORT, 6, 1);
    griglia->addWidget(NOTE, 3, 2, 4, 1);
    NOTE->setMaximumWidth(190);

    PanelGriglia = new QWidget(this);
    PanelGriglia->setObjectName(QStringLiteral("PanelGriglia"));
    auto *g = new QVBoxLayout(PanelGriglia);
    g->setContentsMargins(8, 0, 8, 0);
    GridStorico = new grid::TQmtGrid(PanelGriglia);
    GridStorico->setObjectName(QStringLiteral("GridStorico"));
    GridStorico->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->addWidget(GridStorico);

    ButtonChiudiStorico = bottone(this, QStringLiteral("&Chiudi Storico"), "ButtonChiudiStorico");
    ButtonRicerche = bottone(this, QStringLiteral("&Ricerche"), "ButtonRicerche");
    ButtonDuplica = bottone(this, QStringLiteral("&Duplica"), "ButtonDuplica");
    ButtonNuovo = bottone(this, QStringLiteral("&Nuovo"), "ButtonNuovo");
    ButtonAnnulla = bottone(this, QStringLiteral("&Annulla"), "ButtonAnnulla");
    ButtonElimina = bottone(this, QStringLiteral("&Elimina"), "ButtonElimina");
    ButtonMemorizza = bottone(this, QStringLiteral("&Memorizza"), "ButtonMemorizza");
    ButtonEdit = bottone(this, QStringLiteral("Edit &X"), "ButtonEdit");
    ButtonChiudi = bottone(this, QStringLiteral("Ch&iudi"), "ButtonChiudi");

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto voce = [this](const QString &testo, const QKeySequence &tasto, void (TIBQGenForm::*azione)()) {
        QAction *a = PopupMenu->addAction(testo);
        a->setShortcut(tasto);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        connect(a, &QAction::triggered, this, azione);
        return a;
    };
    SalvaQuerySuFile = voce(QStringLiteral("Salva Query su File"), QKeySequence(Qt::Key_F9), &TIBQGenForm::SalvaQuerySuFileClick);
    CaricaQueryDaFile = voce(QStringLiteral("Carica Query da File"), QKeySequence(Qt::Key_F10), &TIBQGenForm::CaricaQueryDaFileClick);
    CopiaQueryInRitaglio = voce(QStringLiteral("Copia Query in ritaglio"), QKeySequence(Qt::Key_F11),
                                &TIBQGenForm::CopiaQueryInRitaglioClick);
    CaricaQueryDaRitaglio = voce(QStringLiteral("Carica Query da ritaglio"), QKeySequence(Qt::Key_F12),
                                 &TIBQGenForm::CaricaQueryDaRitaglioClick);
    Riassegnanumeroquery1 = voce(QStringLiteral("Riassegna numero query"), QKeySequence(),
                                 &TIBQGenForm::IBLQueryFormRiassegnanumeroquery1Click);
    alto->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(alto, &QWidget::customContextMenuRequested, this, [this, alto](const QPoint &p) {
        if (m_storico)
            PopupMenu->exec(alto->mapToGlobal(p));
    });
    GridStorico->setMenuContestuale(PopupMenu);

    connect(ButtonChiudiStorico, &QPushButton::clicked, this, &TIBQGenForm::ButtonChiudiStoricoClick);
    connect(ButtonDuplica, &QPushButton::clicked, this, &TIBQGenForm::ButtonDuplicaClick);
    connect(ButtonNuovo, &QPushButton::clicked, this, &TIBQGenForm::ButtonNuovoClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TIBQGenForm::ButtonAnnullaClick);
    connect(ButtonElimina, &QPushButton::clicked, this, &TIBQGenForm::ButtonEliminaClick);
    connect(ButtonMemorizza, &QPushButton::clicked, this, &TIBQGenForm::ButtonMemorizzaClick);
    connect(ButtonEdit, &QPushButton::clicked, this, &TIBQGenForm::ButtonEditClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TIBQGenForm::ButtonChiudiClick);
    connect(ButtonCodiceQuery, &QPushButton::clicked, this, &TIBQGenForm::ButtonCodiceQueryClick);
    connect(ButtonTitolo, &QPushButton::clicked, this, &TIBQGenForm::ButtonTitoloClick);
    connect(ButtonClassificazione1, &QPushButton::clicked, this, &TIBQGenForm::ButtonClassificazione1Click);
    connect(ButtonClassificazione2, &QPushButton::clicked, this, &TIBQGenForm::ButtonClassificazione2Click);
    connect(Tabella, &QLineEdit::textChanged, this, &TIBQGenForm::AggiornaCampoDatabase);
    connect(Percorso, &QLineEdit::textChanged, this, &TIBQGenForm::AggiornaCampoDatabase);
    for (QComboBox *f : {FiltroClassificazione1, FiltroClassificazione2})
        connect(f, &QComboBox::currentIndexChanged, this, [this] {
            if (m_storico && m_stato == 1)
                riapriStorico(std::nullopt);
        });
    connect(GridStorico, &grid::TQmtGrid::rigaCorrenteCambiata, this, [this] {
        if (m_stato == 1)
            riempiCampi();
    });
    connect(GridStorico, &grid::TQmtGrid::OnInizioRicerca, this, [this] { GridStorico->setProperty("Tag", 1); });
    connect(GridStorico, &grid::TQmtGrid::OnFineRicerca, this, [this] { GridStorico->setProperty("Tag", 0); });
    const auto vai = [this](int verso) {
        if (!m_tabStoQuer || !m_tabStoQuer->isOpen() || m_stato != 1)
            return;
        const int attuale = GridStorico->rigaCorrente();
        int riga = 0;
        if (verso == 2) {
            GridStorico->modello()->fetchAll();
            riga = m_tabStoQuer->fetchedCount() - 1;
        } else if (verso != -2) {
            riga = attuale + verso;
            if (riga >= m_tabStoQuer->fetchedCount() && !m_tabStoQuer->atEnd())
                GridStorico->modello()->fetchMore(QModelIndex());
        }
        riga = std::clamp(riga, 0, std::max(0, m_tabStoQuer->fetchedCount() - 1));
        if (m_tabStoQuer->fetchedCount() > 0)
            GridStorico->setCurrentIndex(GridStorico->modello()->index(riga, std::max(0, GridStorico->currentIndex().column())));
    };
    connect(ButtonPrimo, &QPushButton::clicked, this, [vai] { vai(-2); });
    connect(ButtonPrecedente, &QPushButton::clicked, this, [vai] { vai(-1); });
    connect(ButtonSuccessivo, &QPushButton::clicked, this, [vai] { vai(1); });
    connect(ButtonUltimo, &QPushButton::clicked, this, [vai] { vai(2); });

    m_tabStoQuer = new grid::SorgenteQuery(this);
    m_tabStoQuer->setObjectName(QStringLiteral("TabStoQuer"));
    m_tabStoQuer->primaDellApertura = [this](grid::SorgenteDati &) {
        if (GridStorico->property("Tag").toInt() != 0)
            return;
        const QStringList sql = sqlStorico(FiltroClassificazione1->currentText(), FiltroClassificazione2->currentText());
        m_tabStoQuer->SQL() = sql;
        GridStorico->SQLIniziale = sql;
        GridStorico->CaricaAspetto();
    };
    m_tabStoQuer->primaDellaChiusura = [this](grid::SorgenteDati &s) {
        if (GridStorico->property("Tag").toInt() == 0 && !GridStorico->AspettoInModifica() && s.isOpen())
            GridStorico->SalvaAspetto();
    };
}

TIBQGenForm::~TIBQGenForm()
{
    if (m_tabStoQuer)
        m_tabStoQuer->chiudiSenzaGestori();
    m_locker.reset();
    if (m_traBlocco && m_traBlocco->isActive()) {
        try {
            m_traBlocco->rollback();
        } catch (const db::Error &) {
        }
    }
    m_traBlocco.reset();
    if (m_traStorico && m_traStorico->isActive()) {
        try {
            m_traStorico->commit();
        } catch (const db::Error &) {
        }
    }
    m_traStorico.reset();
}

// ---- layout -------------------------------------------------------------------------------

void TIBQGenForm::Storico()
{
    if (!m_context->isConnected() || m_storico)
        return;
    try {
        // 1. the list in the window's own transaction, restarted
        m_tabStoQuer->close();
        if (!m_traStorico)
            m_traStorico = std::make_unique<db::Transaction>(m_context->database());
        if (m_traStorico->isActive())
            m_traStorico->commit();
        m_traStorico->start();
        m_tabStoQuer->attach(m_context->database(), *m_traStorico);
        // 2. the record locker, the first time
        if (!m_locker) {
            m_traBlocco = maintenance::TransazioneNoWait(m_context->database());
            m_locker = std::make_unique<maintenance::TDBRecordLocker>();
            m_locker->NomeTabella = QStringLiteral("STOQUER");
            m_locker->CampiChiave = QStringList{QStringLiteral("CODICE")};
            m_locker->ImpostaTransazione(m_context->database(), *m_traBlocco);
        }
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    }
    m_storico = true;
    // 3. the window and its controls
    if (!isVisible())
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    PopupMenu->setEnabled(true);
    for (QAction *a : PopupMenu->actions())
        a->setEnabled(true);
    EditTabella->hide();
    EditPercorso->hide();
    ButtonStorico->hide();
    ButtonRicerche->hide();
    for (QWidget *w : std::initializer_list<QWidget *>{
             Codice, Tabella, Percorso, Titolo, NOMEEXPORT, ButtonCodiceQuery, ButtonTitolo, ButtonClassificazione1,
             ButtonClassificazione2, ButtonNomeExport, PaginaClassificazione1, PaginaClassificazione2, Navigatore,
             PanelGriglia, NOTE, ButtonChiudiStorico, ButtonDuplica, ButtonNuovo, ButtonAnnulla, ButtonElimina,
             ButtonMemorizza, ButtonEdit, ButtonChiudi})
        w->show();
    PanelAlto->setFixedHeight(228);
    resize(651, 475);
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());

    // 4. the grid
    GridStorico->CodiceProgetto = m_context->CodiceProgetto;
    GridStorico->setSituazione(m_context->SituazioneStorico);
    GridStorico->Utente = m_utente;
    GridStorico->TabellaPiccola = true;
    GridStorico->AbilitaRicerca = true;
    GridStorico->AbilitaOrdinamento = true;
    GridStorico->DatabaseImpostazioni = &m_context->database();
    GridStorico->DirBin = DirectoryBin;
    GridStorico->SezioneImpostazioni = NomeProgetto;
    GridStorico->NomeTabella = QStringLiteral("STOQUER");
    try {
        GridStorico->CreaTabelleAspetto();
        GridStorico->SetSorgenteDati(m_tabStoQuer);
        // 5. open
        m_tabStoQuer->open();
        posiziona(-1);
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    // 7. browsing
    SettaInterfaccia(1);
    riempiCampi();
    GridStorico->setFocus();
}

void TIBQGenForm::ButtonChiudiStoricoClick()
{
    if (!postInSospeso())
        return;
    try {
        GridStorico->SalvaAspetto();
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    LayoutSceltaTabella();
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    EditTabella->setFocus();
}

void TIBQGenForm::SettaInterfaccia(int stato)
{
    m_stato = stato;
    const bool consulta = stato == 1;
    for (QLineEdit *e : {Tabella, Percorso, Titolo, NOMEEXPORT}) {
        e->setReadOnly(consulta);
        QPalette p = e->palette();
        p.setColor(QPalette::Base, palette().color(consulta ? QPalette::Window : QPalette::Base));
        e->setPalette(p);
    }
    NOTE->setReadOnly(consulta);
    for (QLineEdit *e : {Codice, ValoreClassificazione1, ValoreClassificazione2}) {
        QPalette p = e->palette();
        p.setColor(QPalette::Base, palette().color(QPalette::Window));
        e->setPalette(p);
    }
    PaginaClassificazione1->setCurrentIndex(consulta ? 0 : 1);
    PaginaClassificazione2->setCurrentIndex(consulta ? 0 : 1);
    for (QWidget *w : std::initializer_list<QWidget *>{ButtonGeneraQuery, ButtonChiudiStorico, ButtonNuovo, ButtonEdit,
                                                       ButtonElimina, ButtonDuplica, ButtonChiudi, Navigatore,
                                                       GridStorico})
        w->setEnabled(consulta);
    ButtonMemorizza->setEnabled(!consulta);
    ButtonAnnulla->setEnabled(!consulta);
    for (QAction *a : PopupMenu->actions())
        a->setEnabled(consulta);
    AggiornaCampoDatabase();
}

int TIBQGenForm::codiceCorrente() const
{
    if (!m_tabStoQuer || !m_tabStoQuer->isOpen())
        return 0;
    const int r = GridStorico->rigaCorrente();
    if (r < 0 || r >= m_tabStoQuer->fetchedCount())
        return 0;
    const db::FieldValue v = m_tabStoQuer->value(r, m_tabStoQuer->indiceCampo(QStringLiteral("CODICE")));
    return v ? int(db::toInt64(*v).value_or(0)) : 0;
}

QList<int> TIBQGenForm::codiciMostrati() const
{
    QList<int> out;
    if (!m_tabStoQuer || !m_tabStoQuer->isOpen())
        return out;
    GridStorico->modello()->fetchAll();
    const int c = m_tabStoQuer->indiceCampo(QStringLiteral("CODICE"));
    for (int r = 0; r < m_tabStoQuer->fetchedCount(); ++r)
        out << int(db::toInt64(*m_tabStoQuer->value(r, c)).value_or(0));
    return out;
}

bool TIBQGenForm::posiziona(int codice)
{
    const QList<int> codici = codiciMostrati();
    int riga = -1;
    if (codice < 0)
        riga = codici.isEmpty() ? -1 : 0;
    else
        riga = int(codici.indexOf(codice));
    if (riga >= 0)
        GridStorico->setCurrentIndex(GridStorico->modello()->index(riga, std::max(0, GridStorico->currentIndex().column())));
    riempiCampi();
    return riga >= 0;
}

void TIBQGenForm::riempiCampi()
{
    const int r = GridStorico->rigaCorrente();
    const bool c = m_tabStoQuer && m_tabStoQuer->isOpen() && r >= 0 && r < m_tabStoQuer->fetchedCount();
    const auto testo = [&](const char *campo) { return c ? testoDi(*m_tabStoQuer, r, campo) : QString(); };
    Codice->setText(testo("CODICE"));
    Tabella->setText(testo("TABELLA"));
    Percorso->setText(testo("PERCORSO"));
    Titolo->setText(testo("TITOLO"));
    NOMEEXPORT->setText(testo("NOMEEXPORT"));
    NOTE->setPlainText(testo("NOTE"));
    ValoreClassificazione1->setText(testo("CLASSIFICAZIONE1"));
    ValoreClassificazione2->setText(testo("CLASSIFICAZIONE2"));
    // A value no longer in its list (renamed or deleted there) stays the
    // row's until the user picks another: editing must not drop it.
    const std::pair<QComboBox *, const char *> liste[] = {{ComboClassificazione1, "CLASSIFICAZIONE1"},
                                                          {ComboClassificazione2, "CLASSIFICAZIONE2"}};
    for (const auto &[combo, campo] : liste) {
        const QString valore = testo(campo);
        int i = combo->findText(valore);
        if (i < 0) {
            combo->addItem(valore);
            i = combo->count() - 1;
        }
        combo->setCurrentIndex(i);
    }
}

RigaStoQuer TIBQGenForm::rigaDaiCampi() const
{
    RigaStoQuer r;
    r.Codice = Codice->text().toInt();
    r.Tabella = testoCampo(Tabella->text());
    r.Percorso = testoCampo(Percorso->text());
    r.Titolo = testoCampo(Titolo->text());
    r.NomeExport = testoCampo(NOMEEXPORT->text());
    r.Classificazione1 = testoCampo(ComboClassificazione1->currentText());
    r.Classificazione2 = testoCampo(ComboClassificazione2->currentText());
    r.Note = testoCampo(NOTE->toPlainText());
    return r;
}

void TIBQGenForm::riapriStorico(std::optional<int> codice)
{
    if (!m_tabStoQuer || !m_traStorico)
        return;
    try {
        m_tabStoQuer->close();
        if (m_traStorico->isActive())
            m_traStorico->commit();
        m_traStorico->start();
        m_tabStoQuer->open();
        if (!codice || !posiziona(*codice))
            posiziona(-1);
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
}

bool TIBQGenForm::aggiornaERiposiziona()
{
    const int codice = codiceCorrente();
    riapriStorico(codice);
    return codice == 0 || codiceCorrente() == codice;
}

bool TIBQGenForm::controlliRiga(bool conRiposiziona)
{
    if (!m_tabStoQuer || !m_tabStoQuer->isOpen() || codiceCorrente() == 0) {
        platform::warning(QStringLiteral("Selezionare un record"));
        return false;
    }
    if (conRiposiziona && !aggiornaERiposiziona()) {
        platform::warning(QStringLiteral("Record eliminato in un'altra sessione"));
        return false;
    }
    return true;
}

bool TIBQGenForm::bloccaRiga(int codice)
{
    try {
        if (m_traBlocco->isActive())
            m_traBlocco->rollback();
        m_traBlocco->start();
        m_locker->ParametroChiave(QStringLiteral("CODICE"), db::Value(qint64(codice)));
    } catch (const db::Error &e) {
        platform::error(e.message());
        return false;
    }
    switch (m_locker->BloccaRecord()) {
    case maintenance::TDBRecordLocker::RecordBloccato:
        return true;
    case maintenance::TDBRecordLocker::RecordMancante:
        platform::warning(QStringLiteral("Record eliminato in un'altra sessione"));
        return false;
    default:
        platform::warning(QStringLiteral("Record impegnato in un'altra sessione"));
        return false;
    }
}

void TIBQGenForm::liberaBlocco()
{
    if (!m_traBlocco)
        return;
    try {
        if (m_traBlocco->isActive())
            m_traBlocco->rollback();
        m_traBlocco->start();
    } catch (const db::Error &) {
        // A broken connection holds no lock either.
    }
}

bool TIBQGenForm::postInSospeso()
{
    if (!m_storico || m_stato == 1)
        return true;
    ButtonMemorizzaClick();
    return m_stato == 1;
}

void TIBQGenForm::cercaSuColonna(const QString &campo)
{
    if (GridStorico->selezionaCampo(campo))
        GridStorico->CercaSuCampoCorrente();
}

void TIBQGenForm::ButtonCodiceQueryClick()
{
    if (m_storico && m_stato == 1)
        cercaSuColonna(QStringLiteral("CODICE"));
}

void TIBQGenForm::ButtonTitoloClick()
{
    if (m_storico && m_stato == 1)
        cercaSuColonna(QStringLiteral("TITOLO"));
    else
        Titolo->setFocus();
}

void TIBQGenForm::ButtonClassificazione1Click()
{
    if (m_storico && m_stato == 1)
        cercaSuColonna(QStringLiteral("CLASSIFICAZIONE1"));
    else
        ComboClassificazione1->setFocus();
}

void TIBQGenForm::ButtonClassificazione2Click()
{
    if (m_storico && m_stato == 1)
        cercaSuColonna(QStringLiteral("CLASSIFICAZIONE2"));
    else
        ComboClassificazione2->setFocus();
}

// ---- record operations ---------------------------------------------------------------------

void TIBQGenForm::ButtonNuovoClick()
{
    int codice = 0;
    try {
        codice = NuovoCodiceInserimento(m_context->database());
    } catch (const db::Error &e) {
        platform::warning(QStringLiteral("Fallito inserimento nuovo record:") + QLatin1Char('\r') + e.message()
                          + QStringLiteral("\r\rRiprovare"));
        return;
    }
    // The new row has no classification yet: a filter would hide it. The
    // filters' entries go to the row's lists instead.
    const QString classe1 = FiltroClassificazione1->currentText();
    const QString classe2 = FiltroClassificazione2->currentText();
    for (QComboBox *f : {FiltroClassificazione1, FiltroClassificazione2}) {
        f->blockSignals(true);
        f->setCurrentIndex(0);
        f->blockSignals(false);
    }
    riapriStorico(codice);
    if (codiceCorrente() != codice) {
        platform::warning(QStringLiteral("Errore interno durante il riposizionamento sul nuovo record, riprovare"));
        riapriStorico(std::nullopt);
        return;
    }
    SettaInterfaccia(2);
    ComboClassificazione1->setCurrentText(classe1);
    ComboClassificazione2->setCurrentText(classe2);
    Tabella->setFocus();
}

void TIBQGenForm::ButtonEditClick()
{
    if (!controlliRiga())
        return;
    if (!bloccaRiga(codiceCorrente()))
        return;
    riempiCampi();
    SettaInterfaccia(0);
    Titolo->setFocus();
}

void TIBQGenForm::ButtonMemorizzaClick()
{
    if (m_stato == 1)
        return;
    liberaBlocco();
    RigaStoQuer riga = rigaDaiCampi();
    platform::MessageBoxFeedback avvisi;
    try {
        if (!PostStoQuer(*m_traStorico, riga, avvisi)) {
            // The row stays in edit, locked again for its user.
            bloccaRiga(riga.Codice);
            return;
        }
    } catch (const db::Error &e) {
        platform::error(e.message());
        bloccaRiga(riga.Codice);
        return;
    }
    SettaInterfaccia(1);
    for (QComboBox *f : {FiltroClassificazione1, FiltroClassificazione2}) {
        f->blockSignals(true);
        f->setCurrentIndex(0);
        f->blockSignals(false);
    }
    if (GridStorico->property("Tag").toInt() != 0)
        GridStorico->AnnullaRicerca();
    riapriStorico(riga.Codice);
}

void TIBQGenForm::ButtonAnnullaClick()
{
    if (m_stato == 1)
        return;
    liberaBlocco();
    const int codice = Codice->text().toInt();
    if (m_stato == 2) {
        try {
            EliminaNuovoRecord(m_context->database(), codice);
        } catch (const db::Error &e) {
            platform::warning(QStringLiteral("Fallita eliminazione record con CODICE %1:").arg(codice) + QLatin1Char('\r')
                              + e.message() + QStringLiteral("\r\rEliminare il record manualmente"));
        }
        SettaInterfaccia(1);
        riapriStorico(std::nullopt);
        return;
    }
    SettaInterfaccia(1);
    riapriStorico(codice);
}

void TIBQGenForm::ButtonEliminaClick()
{
    if (!controlliRiga())
        return;
    const int codice = codiceCorrente();
    if (!bloccaRiga(codice))
        return;
    const bool conferma =
        platform::confirmOkCancel(QStringLiteral("Confermare eliminazione record e relativa query collegata?"));
    liberaBlocco();
    if (!conferma)
        return;
    platform::MessageBoxFeedback avvisi;
    try {
        m_tabStoQuer->close();
        EliminaQuery(m_context->database(), *m_traStorico, codice, avvisi);
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    riapriStorico(std::nullopt);
}

void TIBQGenForm::ButtonDuplicaClick()
{
    if (!controlliRiga())
        return;
    if (!platform::confirm(QStringLiteral("Duplico la query selezionata?")))
        return;
    const int codice = codiceCorrente();
    platform::MessageBoxFeedback avvisi;
    int nuovo = 0;
    try {
        m_tabStoQuer->close();
        DuplicaQuery(m_context->database(), *m_traStorico, codice, avvisi, &nuovo);
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    riapriStorico(nuovo ? nuovo : codice);
}

void TIBQGenForm::IBLQueryFormRiassegnanumeroquery1Click()
{
    if (!m_storico || m_stato != 1 || codiceCorrente() == 0)
        return;
    const int vecchio = codiceCorrente();
    const std::optional<QString> risposta =
        platform::inputBox(QStringLiteral("Query"), QStringLiteral("Inserire il nuovo codice"), QString());
    if (!risposta || risposta->trimmed().isEmpty())
        return;
    bool ok = false;
    const int nuovo = risposta->trimmed().toInt(&ok);
    if (!ok || nuovo <= 0) {
        platform::warning(QStringLiteral("Il codice della query deve essere un numero intero positivo"));
        return;
    }
    bool fatto = false;
    try {
        m_tabStoQuer->close();
        fatto = RiassegnaNumero(m_context->database(), *m_traStorico, vecchio, nuovo);
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    riapriStorico(fatto ? nuovo : vecchio);
}

void TIBQGenForm::ButtonChiudiClick()
{
    if (!postInSospeso())
        return;
    try {
        if (m_traStorico && m_traStorico->isActive())
            m_traStorico->commitRetaining();
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    close();
}

void TIBQGenForm::closeEvent(QCloseEvent *event)
{
    // The dialog's own close goes through reject(), where the refusal is.
    QDialog::closeEvent(event);
}

void TIBQGenForm::reject()
{
    if (m_storico && m_stato != 1) {
        platform::warning(
            QStringLiteral("E' necessario memorizzare o annullare le modifiche in corso prima di chiudere la finestra"));
        return;
    }
    if (m_storico) {
        try {
            GridStorico->SalvaAspetto();
        } catch (const db::Error &e) {
            platform::error(e.message());
        }
    }
    QDialog::reject();
}

// ---- definition files ----------------------------------------------------------------------

namespace {

bool storicoPronto(grid::SorgenteQuery *s, int codice)
{
    if (!s || !s->isOpen()) {
        platform::showMessage(QStringLiteral("Bisogna aprire lo storico."));
        return false;
    }
    if (codice == 0) {
        platform::showMessage(QString::fromUtf8("Lo storico è vuoto!"));
        return false;
    }
    return true;
}

// The lines of stored query `codice` as its definition file holds them;
// none, after the reason is shown, when they cannot be made.
std::optional<QStringList> testoDefinizione(db::Attachment &att, db::Transaction &tra, int codice)
{
    platform::MessageBoxFeedback avvisi;
    try {
        return TestoDefinizione(att, tra, codice, avvisi);
    } catch (const ErroreDefinizione &e) {
        platform::error(e.messaggio());
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    return std::nullopt;
}

// Writes a definition file; a failure is shown with the system's reason.
bool scriviFileDefinizione(const QString &file, const QStringList &righe)
{
    QString motivo;
    if (ScriviDefinizione(file, righe, motivo))
        return true;
    platform::error(QStringLiteral("Errore in creazione file \"") + file + QStringLiteral("\"!") + QLatin1Char('\r')
                    + motivo);
    return false;
}

} // namespace

void TIBQGenForm::SalvaQuerySuFileClick()
{
    const int codice = codiceCorrente();
    if (!storicoPronto(m_tabStoQuer, codice))
        return;
    std::optional<QString> scelto = platform::fileDialogs().saveFile(QString(), DirectoryLavoro, kFiltroTesto,
                                                                     QStringLiteral("txt"));
    if (!scelto || scelto->isEmpty())
        return;
    QString file = *scelto;
    if (QFileInfo(platform::extractFileName(file)).suffix().isEmpty())
        file += QStringLiteral(".txt");
    const std::optional<QStringList> righe = testoDefinizione(m_context->database(), *m_traStorico, codice);
    if (!righe)
        return;
    if (!scriviFileDefinizione(file, *righe))
        return;
    platform::showMessage(QStringLiteral("Creato file per esportazione."));
}

void TIBQGenForm::CopiaQueryInRitaglioClick()
{
    const int codice = codiceCorrente();
    if (!storicoPronto(m_tabStoQuer, codice))
        return;
    const std::optional<QStringList> righe = testoDefinizione(m_context->database(), *m_traStorico, codice);
    if (!righe)
        return;
    // The text a file would hold, line ends included.
    platform::clipboard().setText(righe->join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    platform::showMessage(QStringLiteral("Copia in ritaglio effettuata!"));
}

void TIBQGenForm::CaricaQueryDaFileClick()
{
    if (!m_tabStoQuer || !m_tabStoQuer->isOpen()) {
        platform::showMessage(QStringLiteral("Bisogna aprire lo storico."));
        return;
    }
    const std::optional<QString> scelto = platform::fileDialogs().openFile(QString(), DirectoryLavoro, kFiltroTesto);
    if (!scelto || scelto->isEmpty())
        return;
    caricaDaFile(*scelto);
}

void TIBQGenForm::CaricaQueryDaRitaglioClick()
{
    if (!m_tabStoQuer || !m_tabStoQuer->isOpen()) {
        platform::showMessage(QStringLiteral("Bisogna aprire lo storico."));
        return;
    }
    const QString file = platform::ensureTrailingSeparator(DirectoryLavoro) + QStringLiteral("qrydef.txt");
    QString testo = platform::clipboard().text();
    testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList righe = testo.split(QLatin1Char('\n'));
    if (!righe.isEmpty() && righe.last().isEmpty())
        righe.removeLast();
    if (!scriviFileDefinizione(file, righe))
        return;
    caricaDaFile(file);
}

void TIBQGenForm::caricaDaFile(const QString &file)
{
    {
        QFile f(platform::toNativeLocal(file));
        if (!f.open(QIODevice::ReadOnly)) {
            platform::warning(QStringLiteral("Impossibile aprire file \"") + file + QStringLiteral("\"!"));
            return;
        }
    }
    platform::MessageBoxFeedback avvisi;
    EsitoImportazione esito;
    try {
        m_tabStoQuer->close();
        esito = ImportaDefinizioneQuery(m_context->database(), *m_traStorico, platform::toNativeLocal(file), avvisi);
    } catch (const db::Error &e) {
        esito.dettaglio = e.message();
    }
    if (!esito.aperto) {
        platform::warning(QStringLiteral("Impossibile aprire file \"") + file + QStringLiteral("\"!"));
    } else {
        platform::showMessage(messaggioImportazione(esito));
    }
    riapriStorico(esito.codici.empty() ? std::nullopt : std::optional<int>(esito.codici.back()));
}

} // namespace vardof::storedqueries
