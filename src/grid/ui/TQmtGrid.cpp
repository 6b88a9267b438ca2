#include "grid/ui/TQmtGrid.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "grid/ModelloGriglia.h"
#include "grid/RiscritturaSql.h"
#include "grid/SorgenteDati.h"
#include "platform/widgets/TEditData.h"
#include "grid/ui/TPQmtGridForm.h"
#include "grid/ui/TRQmtGridForm.h"
#include "platform/Messages.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdlib>

namespace vardof::grid {

namespace {

const QString kNonIndicizzato =
    QStringLiteral("Attenzione: Non è possibile eseguire la ricerca su un campo non indicizzato di una tabella di "
                   "grandi dimensioni");

TQmtGrid::SceltaColore &sceltaColoreInstallata()
{
    static TQmtGrid::SceltaColore scelta = [](const QColor &attuale, QWidget *parent) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(attuale.isValid() ? attuale : QColor(Qt::white), parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    };
    return scelta;
}

TQmtGrid::Stampa &stampaInstallata()
{
    static TQmtGrid::Stampa stampa;
    return stampa;
}

TQmtGrid::Query &queryInstallata()
{
    static TQmtGrid::Query query;
    return query;
}

// Clears a flag when a step ends, also by an error.
struct Bandiera
{
    bool &b;
    explicit Bandiera(bool &flag) : b(flag) { b = true; }
    ~Bandiera() { b = false; }
};

} // namespace

TQmtGrid::SceltaColore TQmtGrid::setSceltaColore(SceltaColore scelta)
{
    SceltaColore prima = sceltaColoreInstallata();
    if (scelta)
        sceltaColoreInstallata() = std::move(scelta);
    return prima;
}

TQmtGrid::SceltaColore TQmtGrid::sceltaColore()
{
    return sceltaColoreInstallata();
}

TQmtGrid::Stampa TQmtGrid::setStampa(Stampa stampa)
{
    Stampa prima = stampaInstallata();
    stampaInstallata() = std::move(stampa);
    return prima;
}

TQmtGrid::Query TQmtGrid::setQuery(Query query)
{
    Query prima = queryInstallata();
    queryInstallata() = std::move(query);
    return prima;
}

TQmtGrid::TQmtGrid(QWidget *parent)
    : QTableView(parent)
    , m_modello(new ModelloGriglia(this))
    , m_timer(new QTimer(this))
{
    setModel(m_modello);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    setWordWrap(false);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setFixedWidth(14);

    m_timer->setInterval(1000);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] { eseguiAzione([this] { ApplicaRicerca(); }); });

    creaMenu();
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &TQmtGrid::mostraMenu);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) { emit doppioClickRiga(i.row()); });
    connect(m_modello, &ModelloGriglia::fetchFailed, this, [](const QString &messaggio) {
        platform::error(QStringLiteral("Errore durante la lettura dei dati:") + QLatin1Char('\r') + messaggio);
    });
}

TQmtGrid::~TQmtGrid()
{
    m_timer->stop();
    // A source that outlives its grid gets its own handlers back: the
    // grid's would run on a grid that is gone.
    if (m_sorgente) {
        m_sorgente->dopoLApertura = m_dopoOwner;
        m_sorgente->primaDellApertura = m_primaOwner;
        disconnect(m_sorgente, nullptr, this, nullptr);
    }
}

int TQmtGrid::Situazione() const
{
    return std::abs(m_situazione);
}

void TQmtGrid::setSituazione(int codice)
{
    m_situazione = codice;
}

// ---- binding ----------------------------------------------------------------------

void TQmtGrid::SetSorgenteDati(SorgenteDati *sorgente)
{
    if (m_sorgente) {
        m_sorgente->dopoLApertura = m_dopoOwner;
        m_sorgente->primaDellApertura = m_primaOwner;
        disconnect(m_sorgente, nullptr, this, nullptr);
    }
    if (!sorgente)
        sorgente = m_sorgente;
    m_sorgente = sorgente;
    m_primaOwner = nullptr;
    m_dopoOwner = nullptr;
    if (!sorgente) {
        m_modello->setSorgente(nullptr);
        return;
    }
    // The kinds the grid can show; a named table with index definitions is
    // not one of this library's sources.
    if (sorgente->tipo() == SorgenteDati::Tabella) {
        m_sorgente = nullptr;
        m_modello->setSorgente(nullptr);
        return;
    }
    m_tipo = sorgente->tipo();
    m_primaOwner = sorgente->primaDellApertura;
    m_dopoOwner = sorgente->dopoLApertura;
    sorgente->primaDellApertura = [this](SorgenteDati &s) { PrimaDellApertura(s); };
    sorgente->dopoLApertura = [this](SorgenteDati &s) { DopoLApertura(s); };
    connect(sorgente, &SorgenteDati::chiusa, this, &TQmtGrid::aggiornaMenu);
    connect(sorgente, &QObject::destroyed, this, [this] { m_sorgente = nullptr; });
    m_modello->setSorgente(sorgente);

    if (TabellaAspettoGriglia.isEmpty())
        TabellaAspettoGriglia = TabellaAspettoPredefinita;
    if (TabellaPosizioneFinestre.isEmpty())
        TabellaPosizioneFinestre = TabellaPosizioniPredefinita;
    if (TabellaAspettoGriglie.isEmpty())
        TabellaAspettoGriglie = TabellaImpostazioniPredefinita;
    if (m_tipo == SorgenteDati::Query && SQLIniziale.isEmpty())
        SQLIniziale = static_cast<SorgenteQuery *>(sorgente)->SQL();

    if (db::Attachment *db = databaseImpostazioni()) {
        const ArchivioAspetto a = archivio();
        m_impostazioni = a.leggiImpostazioni(Utente, CodiceProgetto);
        m_disabilitaMem = a.memorizzazioneDisabilitata(Utente);
        (void)db;
    }
    aggiornaMenu();
}

db::Attachment *TQmtGrid::databaseImpostazioni() const
{
    if (DatabaseImpostazioni)
        return DatabaseImpostazioni;
    if (m_sorgente && m_sorgente->tipo() == SorgenteDati::Query)
        return static_cast<SorgenteQuery *>(m_sorgente)->attachment();
    return nullptr;
}

ArchivioAspetto TQmtGrid::archivio() const
{
    return ArchivioAspetto(*databaseImpostazioni(), TabellaAspettoGriglia, TabellaPosizioneFinestre,
                           TabellaAspettoGriglie);
}

ChiaveAspetto TQmtGrid::chiave() const
{
    return {CodiceProgetto, m_situazione, Utente};
}

grid::CampiPersonalizzati TQmtGrid::personalizzati() const
{
    return {CampiPersonalizzati, CampiPersonalizzatiDecodifica};
}

QStringList TQmtGrid::indicizzati() const
{
    QStringList nomi;
    for (const QString &n : CampiIndicizzati.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty())
            nomi << n.trimmed().toUpper();
    return nomi;
}

bool TQmtGrid::consentito(const QString &campo) const
{
    return TabellaPiccola || m_impostazioni.ricercaSuOgniCampo || m_tipo == SorgenteDati::Memoria
           || indicizzati().contains(campo.toUpper());
}

bool TQmtGrid::unione() const
{
    return m_tipo == SorgenteDati::Query && analizzaSql(SQLIniziale.join(QLatin1Char('\n'))).unione;
}

QString TQmtGrid::origineEspressione(int logica) const
{
    // A union is ordered and searched as the derived table the grid makes
    // of it, where only the column names are known; the server describes
    // its columns by the first SELECT's tables all the same.
    if (!m_sorgente || unione())
        return QString();
    return m_sorgente->origine(logica);
}

std::vector<CampoRisultato> TQmtGrid::campiRisultato(const QString &testo) const
{
    std::vector<CampoRisultato> campi;
    if (m_tipo != SorgenteDati::Query || !m_sorgente)
        return campi;
    const bool perNome = unione();
    for (const db::Column &c : static_cast<SorgenteQuery *>(m_sorgente)->descrivi(testo))
        campi.push_back({c.alias.isEmpty() ? c.name : c.alias,
                         perNome || c.relation.isEmpty() || c.name.isEmpty() ? QString()
                                                                               : c.relation + QLatin1Char('.') + c.name});
    return campi;
}

void TQmtGrid::CreaTabelleAspetto()
{
    if (db::Attachment *db = databaseImpostazioni())
        grid::CreaTabelleAspetto(*db);
}

// ---- opening ------------------------------------------------------------------------

void TQmtGrid::PrimaDellApertura(SorgenteDati &sorgente)
{
    if (m_primaOwner)
        m_primaOwner(sorgente);
    m_righeLette.reset();
    if (databaseImpostazioni()) {
        // One reading of the stored layout serves the sort now and the
        // columns after the opening.
        m_righeLette = archivio().leggi(chiave());
        m_stato = ordinamentoDaRighe(*m_righeLette, m_stato.modo, personalizzati());
    }
    if (sorgente.tipo() != SorgenteDati::Query || !OrderBy || m_dialogo)
        return;
    auto &q = static_cast<SorgenteQuery &>(sorgente);
    const bool chiavePrimaria = OrdinaPerChiave && !NomeTabella.isEmpty() && q.attachment();
    if (m_stato.chiavi().empty() && !chiavePrimaria)
        return;
    const QString base = SQLIniziale.isEmpty() ? q.testo() : SQLIniziale.join(QLatin1Char('\n'));
    QStringList righe = m_stato.chiavi().empty() ? QStringList()
                                                 : righeOrderBy(m_stato, campiRisultato(base), personalizzati());
    if (righe.isEmpty() && m_stato.chiavi().empty() && chiavePrimaria) {
        const QString ordine =
            orderByChiavePrimaria(NomeTabella, db::catalog::primaryKeyFields(*q.attachment(), *q.transaction(), NomeTabella));
        if (!ordine.isEmpty())
            righe << ordine;
    }
    q.setTesto(conOrdine(q.testo(), righe));
}

void TQmtGrid::DopoLApertura(SorgenteDati &sorgente)
{
    if (m_dopoOwner)
        m_dopoOwner(sorgente);
    // The first screen is read with the opening, not at the next layout of
    // the view, so that a column can be selected on it.
    if (m_modello->rowCount() == 0 && m_modello->canFetchMore(QModelIndex()))
        m_modello->fetchMore(QModelIndex());
    CaricaAspetto();
    if (!m_campoRicerca.isEmpty())
        selezionaCampo(m_campoRicerca);
    applicaColoriTitoli();
    if (m_disabilitaMem && m_situazione > 0 && databaseImpostazioni()) {
        // From now on this grid keeps its layout under the negative code, so
        // that the one found under the positive code stays as it was.
        m_situazione = -m_situazione;
        SalvaAspetto();
    }
    aggiornaMenu();
}

// ---- layout ---------------------------------------------------------------------------

int TQmtGrid::larghezzaNaturale(int colonna) const
{
    if (!m_sorgente || colonna < 0 || colonna >= m_sorgente->columnCount())
        return horizontalHeader()->defaultSectionSize();
    const db::Column &c = m_sorgente->colonna(colonna);
    int caratteri = 10;
    switch (c.typeCode) {
    case db::TypeChar:
    case db::TypeVarchar:
        caratteri = std::min(std::max(c.length, 1), 30);
        break;
    case db::TypeSmallint:
        caratteri = c.scale > 0 ? 10 : 6;
        break;
    case db::TypeInteger:
        caratteri = c.scale > 0 ? 12 : 11;
        break;
    case db::TypeBigint:
    case db::TypeFloat:
    case db::TypeDouble:
        caratteri = 15;
        break;
    case db::TypeTimestamp:
        caratteri = 19;
        break;
    case db::TypeBlob:
        caratteri = 30;
        break;
    default:
        break;
    }
    // The whole title is readable, in the title row's own font.
    const int titolo = horizontalHeader()->fontMetrics().horizontalAdvance(m_modello->titolo(colonna)) + 16;
    return std::max(fontMetrics().averageCharWidth() * caratteri + 10, titolo);
}

void TQmtGrid::CaricaAspetto()
{
    if (!m_sorgente)
        return;
    if (!m_sorgente->isOpen()) {
        if (m_sorgente->tipo() == SorgenteDati::Query) {
            auto *q = static_cast<SorgenteQuery *>(m_sorgente);
            q->setTesto(conCondizione(q->testo(), m_condizione));
        }
        return;
    }
    // Every application starts from the natural columns, so a layout that
    // was reset or copied leaves nothing of the previous one behind.
    QHeaderView *h = horizontalHeader();
    const int n = m_modello->columnCount();
    m_modello->azzeraAspetto();
    m_colori.clear();
    m_larghezzeNascoste.clear();
    for (int logica = 0; logica < n; ++logica) {
        h->showSection(logica);
        h->moveSection(h->visualIndex(logica), logica);
        h->resizeSection(logica, larghezzaNaturale(logica));
    }
    if (!databaseImpostazioni())
        return;
    // In position order: each column is put in its place once, and the
    // ones placed before it stay where they are.
    std::vector<RigaAspetto> righe;
    if (m_righeLette) {
        righe = std::move(*m_righeLette);
        m_righeLette.reset();
    } else {
        righe = archivio().leggi(chiave());
    }
    for (const RigaAspetto &r : righe) {
        const int logica = m_sorgente->indiceCampo(r.nomeCampo);
        if (logica < 0 || !r.posizione || *r.posizione < 0 || *r.posizione >= n)
            continue;
        h->moveSection(h->visualIndex(logica), *r.posizione);
    }
    // A row names its field: a field gone from the statement leaves its
    // title and width unused rather than on another column.
    for (const RigaAspetto &r : righe) {
        const int logica = m_sorgente->indiceCampo(r.nomeCampo);
        if (logica < 0)
            continue;
        const QString campo = m_sorgente->nomeCampo(logica).toUpper();
        if (r.larghezza && *r.larghezza >= 0)
            h->resizeSection(logica, int(*r.larghezza));
        m_modello->setTitolo(campo, r.nomeColonna);
        const int colore = r.colore.value_or(0);
        if (colore != 0)
            m_colori.insert(campo, colore);
        m_modello->setColoreColonna(campo, coloreDa(colore));
        if (r.visibile && *r.visibile == 0) {
            m_larghezzeNascoste.insert(campo, h->sectionSize(logica));
            h->hideSection(logica);
        }
    }
    if (m_tipo == SorgenteDati::Memoria && m_stato.modo == ModoOrdinamento::Singolo && m_stato.singola)
        static_cast<TabellaMemoria *>(m_sorgente)->ordina({m_stato.singola->nome},
                                                          m_stato.singola->direzione == Decrescente);
    applicaColoriTitoli();
}

std::vector<ColonnaAttuale> TQmtGrid::colonneAttuali() const
{
    std::vector<ColonnaAttuale> colonne;
    const QHeaderView *h = horizontalHeader();
    for (int v = 0; v < h->count(); ++v) {
        const int logica = h->logicalIndex(v);
        ColonnaAttuale c;
        c.nomeCampo = m_sorgente->nomeCampo(logica);
        c.origine = m_sorgente->origine(logica);
        const QString campo = c.nomeCampo.toUpper();
        c.visibile = !h->isSectionHidden(logica);
        c.larghezza = c.visibile ? h->sectionSize(logica) : m_larghezzeNascoste.value(campo, larghezzaNaturale(logica));
        c.titolo = m_modello->titolo(logica);
        c.colore = m_colori.value(campo, 0);
        colonne.push_back(c);
    }
    return colonne;
}

void TQmtGrid::SalvaAspetto()
{
    m_righeLette.reset();
    if (!m_sorgente || !m_sorgente->isOpen() || !databaseImpostazioni())
        return;
    archivio().salva(chiave(), colonneAttuali(), m_stato);
}

void TQmtGrid::applicaColoriTitoli()
{
    m_modello->azzeraColoriTitoli();
    if (!m_sorgente || !m_sorgente->isOpen())
        return;
    if (m_tipo != SorgenteDati::Memoria && !CampiIndicizzati.isEmpty()) {
        const QStringList nomi = indicizzati();
        for (int i = 0; i < m_sorgente->columnCount(); ++i)
            if (nomi.contains(m_sorgente->nomeCampo(i).toUpper()))
                m_modello->setColoreTitolo(m_sorgente->nomeCampo(i), coloreDa(m_impostazioni.coloreIndicizzati));
    }
    const std::vector<ChiaveOrdinamento> chiavi = m_stato.chiavi();
    for (size_t k = 0; k < chiavi.size(); ++k) {
        if (m_sorgente->indiceCampo(chiavi[k].nome) < 0)
            continue;
        int colore = m_impostazioni.coloreOrdinamento;
        if (m_stato.modo == ModoOrdinamento::Multiplo && k == 1)
            colore = ColoreSecondaChiave;
        else if (m_stato.modo == ModoOrdinamento::Multiplo && k > 1)
            colore = ColoreAltreChiavi;
        m_modello->setColoreTitolo(chiavi[k].nome, coloreDa(colore));
    }
}

// ---- selection ----------------------------------------------------------------------

QString TQmtGrid::campoSelezionato() const
{
    int colonna = currentIndex().isValid() ? currentIndex().column() : -1;
    if (colonna < 0 && m_modello->columnCount() > 0)
        colonna = horizontalHeader()->logicalIndex(0);
    return m_modello->nomeCampo(colonna);
}

bool TQmtGrid::selezionaCampo(const QString &campo)
{
    if (!m_sorgente)
        return false;
    const int logica = m_sorgente->indiceCampo(campo);
    if (logica < 0)
        return false;
    const int riga = currentIndex().isValid() ? currentIndex().row() : 0;
    if (m_modello->rowCount() == 0)
        return false;
    setCurrentIndex(m_modello->index(std::min(riga, m_modello->rowCount() - 1), logica));
    return true;
}

int TQmtGrid::rigaCorrente() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void TQmtGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    m_modello->setRigaCorrente(current.row());
    if (current.row() != previous.row())
        emit rigaCorrenteCambiata(current.row());
}

// ---- title double-click ---------------------------------------------------------------

bool TQmtGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const int logica = horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
        if (logica >= 0 && AbilitaOrdinamento) {
            const bool ctrl = mouse->modifiers() & Qt::ControlModifier;
            eseguiAzione([&] { ordinaPerTitolo(logica, ctrl); });
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void TQmtGrid::ordinaPerTitolo(int colonnaLogica, bool ctrl)
{
    if (!m_sorgente || !m_sorgente->isOpen() || colonnaLogica < 0 || colonnaLogica >= m_sorgente->columnCount())
        return;
    CampoCliccato campo;
    campo.nome = m_sorgente->nomeCampo(colonnaLogica);
    campo.origine = origineEspressione(colonnaLogica);
    campo.colonna = horizontalHeader()->visualIndex(colonnaLogica);
    if (!clickTitolo(m_stato, campo, ctrl, personalizzati(), [this](const QString &n) { return consentito(n); })) {
        platform::warning(kNonIndicizzato);
        return;
    }
    SalvaAspetto();
    if (m_tipo == SorgenteDati::Query) {
        auto *q = static_cast<SorgenteQuery *>(m_sorgente);
        q->close();
        q->setTesto(conCondizione(SQLIniziale.join(QLatin1Char('\n')), m_condizione));
        q->open();
        selezionaCampo(campo.nome);
    } else if (m_tipo == SorgenteDati::Memoria) {
        auto *t = static_cast<TabellaMemoria *>(m_sorgente);
        QStringList nomi;
        for (const ChiaveOrdinamento &k : m_stato.chiavi())
            nomi << k.nome;
        const std::vector<ChiaveOrdinamento> chiavi = m_stato.chiavi();
        t->ordina(nomi, !chiavi.empty() && chiavi.front().direzione == Decrescente);
    }
    applicaColoriTitoli();
}

// ---- context menu ------------------------------------------------------------------------

void TQmtGrid::creaMenu()
{
    m_menuProprio = new QMenu(this);
    m_menu = m_menuProprio;
    auto azione = [this](const QString &testo, const QKeySequence &tasto, void (TQmtGrid::*fn)()) {
        auto *a = new QAction(testo, this);
        if (!tasto.isEmpty()) {
            a->setShortcut(tasto);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        if (fn)
            connect(a, &QAction::triggered, this, [this, fn] { eseguiAzione([this, fn] { (this->*fn)(); }); });
        addAction(a);
        m_menuProprio->addAction(a);
        return a;
    };
    m_ricerca = azione(QStringLiteral("Ricerca su campo Corrente"), QKeySequence(Qt::Key_F5), &TQmtGrid::CercaSuCampoCorrente);
    m_annulla = azione(QStringLiteral("Annulla ricerca"), QKeySequence(Qt::Key_F6), &TQmtGrid::AnnullaRicerca);
    m_ricercaChiave = azione(QStringLiteral("Ricerca su chiave "), QKeySequence(Qt::Key_F7), nullptr);
    m_ricercaChiave->setVisible(false);
    m_ricercaChiave->setEnabled(false);
    m_query = azione(QStringLiteral("Query"), QKeySequence(Qt::Key_F8), &TQmtGrid::azioneQuery);
    m_dimezza = azione(QStringLiteral("Dimezza larghezza colonna"), QKeySequence(Qt::Key_F9), &TQmtGrid::dimezzaColonna);
    m_personalizza = azione(QStringLiteral("Personalizza Griglia"), QKeySequence(), &TQmtGrid::personalizza);
    m_stampa = azione(QStringLiteral("Stampa"), QKeySequence(), &TQmtGrid::stampa);
    connect(m_menuProprio, &QMenu::aboutToShow, this, &TQmtGrid::aggiornaMenu);
}

void TQmtGrid::setMenuContestuale(QMenu *menu)
{
    if (!menu || menu == m_menu)
        return;
    // The window's own items come first and keep their keys: a key bound
    // twice in one window would start neither of the two.
    for (QAction *a : {m_ricerca, m_annulla, m_ricercaChiave, m_query, m_dimezza, m_personalizza, m_stampa})
        if (!a->shortcut().isEmpty())
            for (const QAction *propria : menu->actions())
                if (propria->shortcut() == a->shortcut())
                    a->setShortcut(QKeySequence());
    menu->addSeparator();
    for (QAction *a : {m_ricerca, m_annulla, m_ricercaChiave, m_query, m_dimezza, m_personalizza, m_stampa})
        menu->addAction(a);
    // Connected after the window's own handler, which therefore runs first.
    connect(menu, &QMenu::aboutToShow, this, &TQmtGrid::aggiornaMenu);
    m_menu = menu;
}

void TQmtGrid::mostraMenu(const QPoint &pos)
{
    aggiornaMenu();
    m_menu->popup(viewport()->mapToGlobal(pos));
}

void TQmtGrid::aggiornaMenu()
{
    const bool aperta = m_sorgente && m_sorgente->isOpen();
    for (QAction *a : {m_query, m_dimezza, m_personalizza, m_stampa})
        a->setEnabled(aperta);
    m_ricercaChiave->setEnabled(false);
    m_ricerca->setEnabled(AbilitaRicerca);
    if (m_tipo == SorgenteDati::Memoria && NomeTabella.isEmpty())
        m_query->setEnabled(false);
    if (m_tipo == SorgenteDati::Query && NomeTabella.isEmpty() && nomeTabellaDaSql(SQLIniziale).isEmpty())
        m_query->setEnabled(false);
    m_stampa->setVisible(m_tipo == SorgenteDati::Query);
    if (m_tipo == SorgenteDati::Query && NomeTabella.isEmpty())
        m_stampa->setEnabled(false);
}

void TQmtGrid::eseguiAzione(const std::function<void()> &azione)
{
    try {
        azione();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Operazione non riuscita:") + QLatin1Char('\r') + e.message());
    }
}

void TQmtGrid::azioneQuery()
{
    aggiornaMenu();
    if (!m_query->isEnabled() || !m_sorgente)
        return;
    if (m_tipo == SorgenteDati::Query) {
        auto *q = static_cast<SorgenteQuery *>(m_sorgente);
        const QString tabella = NomeTabella.isEmpty() ? nomeTabellaDaSql(SQLIniziale) : NomeTabella;
        if (tabella.isEmpty() || !q->attachment() || !q->transaction())
            return;
        const Query &apri = queryInstallata();
        if (!apri) {
            platform::information(QStringLiteral("Funzione non ancora disponibile"));
            return;
        }
        RichiestaQuery r;
        r.tabella = tabella;
        r.connessione = q->attachment();
        r.transazione = q->transaction();
        r.utente = Utente;
        r.dirBin = DirBin;
        r.fileImpostazioni = FileImpostazioni;
        r.sezioneImpostazioni = SezioneImpostazioni;
        r.dirLavoro = DirLavoro;
        apri(r, this);
        return;
    }
    // An in-memory list has no table of its own to question in this library.
    platform::information(QStringLiteral("Funzione non ancora disponibile"));
}

void TQmtGrid::dimezzaColonna()
{
    const int colonna = currentIndex().isValid() ? currentIndex().column() : -1;
    if (colonna < 0 || !m_sorgente || !m_sorgente->isOpen())
        return;
    horizontalHeader()->resizeSection(colonna, horizontalHeader()->sectionSize(colonna) / 2);
}

void TQmtGrid::personalizza()
{
    if (!m_sorgente || !m_sorgente->isOpen())
        return;
    db::Attachment *db = databaseImpostazioni();
    if (!db)
        return;
    SalvaAspetto();
    {
        TPQmtGridForm finestra(this, TabellaAspettoGriglia, CodiceProgetto, Utente, m_situazione, *db);
        QFont f = font();
        if (f.pointSize() > 10)
            f.setPointSize(10);
        finestra.setFont(f);
        finestra.setWindowTitle(QStringLiteral("Personalizzazione Griglia"));
        connect(finestra.ButtonAspettoBase, &QPushButton::clicked, this,
                [this, &finestra] { eseguiAzione([&] { RipristinaAspettoBase(&finestra); }); });
        connect(finestra.ButtonAcqAspettoDa, &QPushButton::clicked, this,
                [this, &finestra] { eseguiAzione([&] { AcquisisciAspettoDa(&finestra); }); });
        finestra.exec();
    }
    CaricaAspetto();
}

void TQmtGrid::stampa()
{
    if (m_tipo != SorgenteDati::Query) {
        platform::warning(QStringLiteral("Funzionalità non disponibile per questo tipo di vista"));
        return;
    }
    if (!m_sorgente || !m_sorgente->isOpen())
        return;
    SalvaAspetto();
    const Stampa &s = stampaInstallata();
    if (!s) {
        platform::information(QStringLiteral("Funzione non ancora disponibile"));
        return;
    }
    RichiestaStampa r;
    r.progetto = CodiceProgetto;
    r.situazione = Situazione();
    r.utente = Utente;
    r.nomeTabella = NomeTabella;
    r.statement = static_cast<SorgenteQuery *>(m_sorgente)->testo();
    r.dirBin = DirBin;
    r.impostazioni = databaseImpostazioni();
    r.font = font();
    s(r, this);
}

// ---- reset and copy --------------------------------------------------------------------

void TQmtGrid::RipristinaSorgente()
{
    if (!m_sorgente)
        return;
    // The search is forgotten before the source opens again, or the opening
    // would put it back.
    m_condizione.clear();
    if (m_tipo == SorgenteDati::Query) {
        auto *q = static_cast<SorgenteQuery *>(m_sorgente);
        q->close();
        q->setTesto(SQLIniziale.join(QLatin1Char('\n')));
        q->open();
    } else if (m_tipo == SorgenteDati::Memoria) {
        auto *t = static_cast<TabellaMemoria *>(m_sorgente);
        t->close();
        t->setFiltroAttivo(false);
        t->open();
    }
}

void TQmtGrid::RipristinaAspettoBase(TPQmtGridForm *finestra)
{
    {
        TAvQmtGrForm avviso(finestra ? static_cast<QWidget *>(finestra) : this);
        avviso.exec();
        if (avviso.Risposta != 1)
            return;
    }
    if (!databaseImpostazioni())
        return;
    const Bandiera inModifica(m_aspettoInModifica);
    if (finestra)
        finestra->annullaModifiche();
    archivio().ripristinaBase(chiave());
    RipristinaSorgente();
    SalvaAspetto();
    if (finestra)
        finestra->CaricaGriglia();
}

void TQmtGrid::AcquisisciAspettoDa(TPQmtGridForm *finestra)
{
    db::Attachment *db = databaseImpostazioni();
    if (!db)
        return;
    CopiaAspetto copia(*db, chiave());
    const QList<int> utenti = copia.utenti();
    TAcqAspettoDaQmtGridForm scelta(utenti, finestra ? static_cast<QWidget *>(finestra) : this);
    scelta.setFont(font());
    if (scelta.exec() != QDialog::Accepted || !scelta.utente())
        return;
    const Bandiera inModifica(m_aspettoInModifica);
    // Rows edited in the window and not saved yet would hold the rows the
    // copy replaces.
    if (finestra)
        finestra->annullaModifiche();
    try {
        copia.azzera();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Fallito azzeramento aspetto griglia:") + QLatin1Char('\r') + e.message());
        return;
    }
    try {
        copia.copiaDa(*scelta.utente());
        copia.conferma();
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Fallito copia aspetto griglia:") + QLatin1Char('\r') + e.message());
        return;
    }
    RipristinaSorgente();
    if (finestra) {
        finestra->annullaModifiche();
        finestra->CaricaGriglia();
    }
}

// ---- search ------------------------------------------------------------------------------

void TQmtGrid::CercaSuCampoCorrente()
{
    if (!m_sorgente || !m_sorgente->isOpen() || !AbilitaRicerca || m_dialogo)
        return;
    const QString campo = campoSelezionato();
    const int logica = m_sorgente->indiceCampo(campo);
    if (logica < 0)
        return;
    const bool query = m_tipo == SorgenteDati::Query;
    // Refused before the search starts: owners that mark a running search
    // would otherwise wait for an end that never comes.
    if (query && !TabellaPiccola && !m_impostazioni.ricercaSuOgniCampo && !indicizzati().contains(campo.toUpper())) {
        platform::warning(kNonIndicizzato);
        return;
    }
    emit OnInizioRicerca(this);
    if (query)
        SalvaAspetto();
    m_campoRicerca = campo.toUpper();
    const std::optional<QString> personalizzata = personalizzati().espressione(campo);
    const QString origine = origineEspressione(logica);
    m_espressioneRicerca = personalizzata ? *personalizzata : !origine.isEmpty() ? origine : m_campoRicerca;

    auto *dialogo = new TRQmtGridForm(this);
    m_dialogo = dialogo;
    if (query)
        dialogo->EditGenerica->setEnabled(true);
    std::optional<MemoriaDialogo> memoria;
    if (databaseImpostazioni())
        memoria = archivio().leggiMemoria(chiave());
    if (memoria) {
        dialogo->move(memoria->posX, memoria->posY);
        dialogo->EditTipoRicerca->setItemIndex(memoria->tipo);
        dialogo->EditUpper->setChecked(memoria->upper);
        dialogo->EditOrdinamento->setItemIndex(memoria->ordine);
    } else if (QScreen *schermo = QGuiApplication::primaryScreen()) {
        const QRect area = schermo->availableGeometry();
        dialogo->move(area.center() - QPoint(dialogo->width() / 2, dialogo->height() / 2));
    }
    const ClasseCampo classe = classeCampo(m_sorgente->colonna(logica));
    if (query && classe == ClasseCampo::Numerico) {
        const int scelta = dialogo->EditTipoRicerca->itemIndex();
        dialogo->EditTipoRicerca->setVoci({QStringLiteral(">="), QStringLiteral("LIKE %%")}, 2);
        dialogo->EditTipoRicerca->setItemIndex(scelta == IniziaCon ? MaggioreUguale : scelta);
    }
    if (query && eData(classe))
        dialogo->setModoData(true);
    dialogo->setFont(font());
    dialogo->setWindowTitle(QStringLiteral("Ricerca su ") + m_modello->titolo(logica));
    connect(dialogo, &TRQmtGridForm::ricercaRichiesta, this, [this] {
        if (m_impostazioni.ricercaConPausa)
            m_timer->start();
        else
            eseguiAzione([this] { ApplicaRicerca(); });
    });
    connect(dialogo, &TRQmtGridForm::invio, this, [this] {
        eseguiAzione([this] { ApplicaRicerca(); });
        if (m_dialogo)
            m_dialogo->accept();
        emit OnFineRicerca(this);
    });
    connect(dialogo, &TRQmtGridForm::esc, this, [this] { eseguiAzione([this] { chiudiDialogoConEsc(); }); });
    connect(dialogo, &TRQmtGridForm::esegui, this, [this] { eseguiAzione([this] { eseguiGenerica(); }); });
    if (query && classe == ClasseCampo::BlobTesto)
        dialogo->EditUpper->setChecked(false);

    dialogo->exec();
    m_timer->stop();

    fineDialogo();
    emit OnFineRicerca(this);
    if (query) {
        m_campoRicerca.clear();
        CaricaAspetto();
        applicaColoriTitoli();
    }
}

void TQmtGrid::fineDialogo()
{
    if (!m_dialogo)
        return;
    TRQmtGridForm *dialogo = m_dialogo;
    m_testoFiltro = dialogo->EditStringa->text();
    m_upperFiltro = dialogo->EditUpper->isChecked();
    m_tipoFiltro = dialogo->EditTipoRicerca->itemIndex();
    MemoriaDialogo memoria;
    memoria.posX = dialogo->x();
    memoria.posY = dialogo->y();
    memoria.tipo = dialogo->EditTipoRicerca->itemIndex();
    memoria.upper = dialogo->EditUpper->isChecked();
    memoria.ordine = dialogo->EditOrdinamento->itemIndex();
    m_dialogo = nullptr;
    dialogo->deleteLater();
    if (databaseImpostazioni())
        eseguiAzione([&] { archivio().scriviMemoria(chiave(), memoria); });
}

ParametriRicerca TQmtGrid::parametriDialogo() const
{
    ParametriRicerca p;
    p.espressione = m_espressioneRicerca;
    const int logica = m_sorgente ? m_sorgente->indiceCampo(m_campoRicerca) : -1;
    if (logica >= 0)
        p.classe = classeCampo(m_sorgente->colonna(logica));
    if (!m_dialogo)
        return p;
    p.testo = m_dialogo->EditStringa->text();
    p.upper = m_dialogo->EditUpper->isChecked();
    p.tipo = m_dialogo->EditTipoRicerca->itemIndex();
    p.ordine = m_dialogo->EditOrdinamento->itemIndex();
    p.modoData = m_dialogo->modoData();
    p.data1 = m_dialogo->EditData1->text();
    p.data2 = m_dialogo->EditData2->text();
    return p;
}

void TQmtGrid::ApplicaRicerca()
{
    m_timer->stop();
    if (!m_sorgente || !m_dialogo)
        return;
    ParametriRicerca p = parametriDialogo();
    if (m_tipo == SorgenteDati::Memoria) {
        auto *t = static_cast<TabellaMemoria *>(m_sorgente);
        m_testoFiltro = p.testo;
        m_upperFiltro = p.upper;
        m_tipoFiltro = p.tipo;
        if (p.testo.isEmpty()) {
            t->setFiltroAttivo(false);
            return;
        }
        t->setFiltro([this](const std::vector<db::FieldValue> &riga) { return FiltroRicerca(riga); });
        t->setFiltroAttivo(false);
        t->setFiltroAttivo(true);
        if (p.ordine == OrdineCrescente || p.ordine == OrdineDecrescente)
            t->ordina({m_campoRicerca}, p.ordine == OrdineDecrescente);
        return;
    }
    if (m_tipo != SorgenteDati::Query)
        return;
    if (p.modoData && !p.data1.trimmed().isEmpty()) {
        if (p.classe == ClasseCampo::Timestamp) {
            const std::optional<QDate> d = leggiData(p.data1);
            if (p.data1.trimmed().size() != 10 || !d || d->toJulianDay() <= QDate(1899, 12, 30).toJulianDay())
                return;
        }
        for (const QString &data : {p.data1, p.data2}) {
            if (!data.trimmed().isEmpty() && !leggiData(data)) {
                platform::error(QLatin1Char('\'') + data.trimmed() + QStringLiteral("' non è una data valida"));
                return;
            }
        }
    }
    auto *q = static_cast<SorgenteQuery *>(m_sorgente);
    const QString base = SQLIniziale.join(QLatin1Char('\n'));
    q->close();
    if (condizioneVuota(p)) {
        m_condizione.clear();
        q->setTesto(base);
        q->open();
        return;
    }
    const QString corpo = corpoCondizione(p);
    QString testo = conCondizione(base, {corpo});
    QStringList ordine = ordineRicerca(p);
    if (p.ordine == NessunOrdine) {
        if (m_stato.modo != ModoOrdinamento::Multiplo || OrderBy)
            ordine = righeOrderBy(m_stato, campiRisultato(base), {});
    }
    testo = conOrdine(testo, ordine);
    if (p.modoData)
        m_dialogo->EditTipoRicerca->setItemIndex(MaggioreUguale);
    m_condizione = QStringList{corpo};
    q->setTesto(testo);
    q->open();
}

void TQmtGrid::chiudiDialogoConEsc()
{
    m_timer->stop();
    if (m_dialogo)
        m_dialogo->reject();
    if (!m_sorgente)
        return;
    if (m_tipo == SorgenteDati::Query) {
        auto *q = static_cast<SorgenteQuery *>(m_sorgente);
        m_condizione.clear();
        q->close();
        q->setTesto(SQLIniziale.join(QLatin1Char('\n')));
        q->open();
    } else if (m_tipo == SorgenteDati::Memoria) {
        static_cast<TabellaMemoria *>(m_sorgente)->setFiltroAttivo(false);
    }
}

void TQmtGrid::eseguiGenerica()
{
    if (m_tipo != SorgenteDati::Query || !m_sorgente || !m_dialogo)
        return;
    emit OnInizioRicerca(this);
    SalvaAspetto();
    auto *q = static_cast<SorgenteQuery *>(m_sorgente);
    QStringList origini;
    // The columns of a union are named, not traced to a table.
    for (int i = 0; i < q->columnCount(); ++i)
        origini << (unione() ? QLatin1Char('"') + q->nomeCampo(i) + QLatin1Char('"') : q->origine(i));
    const QStringList corpo = corpoGenerica(origini, m_dialogo->EditStringa->text());
    q->close();
    m_condizione.clear();
    q->setTesto(conCondizione(SQLIniziale.join(QLatin1Char('\n')), corpo));
    q->open();
}

bool TQmtGrid::FiltroRicerca(const std::vector<db::FieldValue> &riga) const
{
    if (m_campoRicerca.isEmpty() || !m_sorgente)
        return false;
    const int i = m_sorgente->indiceCampo(m_campoRicerca);
    if (i < 0 || i >= int(riga.size()))
        return false;
    return accettaValore(db::toText(riga[size_t(i)]), m_testoFiltro, m_upperFiltro, m_tipoFiltro);
}

void TQmtGrid::AnnullaRicerca()
{
    if (!m_sorgente)
        return;
    emit OnInizioRicerca(this);
    SalvaAspetto();
    if (m_tipo == SorgenteDati::Query) {
        auto *q = static_cast<SorgenteQuery *>(m_sorgente);
        m_condizione.clear();
        q->close();
        q->setTesto(SQLIniziale.join(QLatin1Char('\n')));
        q->open();
    } else if (m_tipo == SorgenteDati::Memoria) {
        static_cast<TabellaMemoria *>(m_sorgente)->setFiltroAttivo(false);
    }
    emit OnFineRicerca(this);
}

} // namespace vardof::grid
