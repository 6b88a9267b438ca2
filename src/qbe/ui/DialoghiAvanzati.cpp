#include "qbe/ui/DialoghiAvanzati.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "entry/ui/TListTabForm.h"
#include "platform/Messages.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>

#include <algorithm>

namespace vardof::qbe {

namespace {

QString didascalia(const QString &testo, const QString &ditta)
{
    return testo + QStringLiteral(" - Ditta: ") + ditta;
}

QPushButton *bottone(const QString &nome, const QString &testo, QWidget *parent)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(nome);
    b->setAutoDefault(false);
    return b;
}

// A read-only list: the dialogs' own operations change it, never a cell
// typed by the user.
QTableWidget *lista(const QString &nome, const QStringList &titoli, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(titoli.size()), parent);
    t->setObjectName(nome);
    t->setHorizontalHeaderLabels(titoli);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
    t->horizontalHeader()->setStretchLastSection(false);
    return t;
}

void cella(QTableWidget *t, int riga, int colonna, const QString &testo, const QColor &sfondo = QColor())
{
    auto *item = new QTableWidgetItem(testo);
    if (sfondo.isValid()) {
        item->setBackground(sfondo);
        item->setForeground(Qt::black);
    }
    t->setItem(riga, colonna, item);
}

// First, prior, next, last over a list.
QWidget *navigatore(QTableWidget *t, QWidget *parent)
{
    auto *w = new QWidget(parent);
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(1);
    const struct { const char *testo; int passo; } tasti[] = {{"|<", -2}, {"<", -1}, {">", 1}, {">|", 2}};
    for (const auto &tasto : tasti) {
        auto *b = new QPushButton(QString::fromLatin1(tasto.testo), w);
        b->setAutoDefault(false);
        b->setFixedWidth(28);
        const int passo = tasto.passo;
        QObject::connect(b, &QPushButton::clicked, t, [t, passo] {
            const int n = t->rowCount();
            if (n == 0)
                return;
            int r = t->currentRow();
            if (passo == -2)
                r = 0;
            else if (passo == 2)
                r = n - 1;
            else
                r = std::clamp(r + passo, 0, n - 1);
            t->setCurrentCell(r, std::max(0, t->currentColumn()));
        });
        l->addWidget(b);
    }
    l->addStretch();
    return w;
}

bool rilascioF3(QEvent *event)
{
    return event->type() == QEvent::KeyRelease && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F3;
}

void centra(QWidget *w, int larghezza, int altezza, int alto = -1)
{
    w->resize(larghezza, altezza);
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        w->move(g.x() + (g.width() - larghezza) / 2, alto >= 0 ? g.y() + alto : g.y() + (g.height() - altezza) / 2);
    }
}

} // namespace

QStringList colonneDiTabella(db::Attachment &att, db::Transaction &tra, const QString &tabella)
{
    Q_UNUSED(att);
    // Read under the name the catalogue holds: a table created quoted in
    // lower case has no upper-case form to read its columns by.
    const QString nome = db::catalog::relationName(tra, tabella);
    if (nome.isEmpty())
        throw db::Error(QStringLiteral("la tabella ") + tabella + QStringLiteral(" non esiste"));
    QStringList out;
    for (const db::TableColumn &c : db::catalog::relationColumns(tra, nome))
        out << c.name;
    return out;
}

// ---- advanced-processing menu ---------------------------------------------------

TElabAvanForm::TElabAvanForm(const StatoElaborazione &stato, const QString &ditta, QWidget *parent)
    : QDialog(parent), m_stato(stato)
{
    setObjectName(QStringLiteral("TElabAvanForm"));
    setWindowTitle(didascalia(QStringLiteral("Elaborazioni avanzate"), ditta));
    auto *l = new QVBoxLayout(this);
    auto voce = [this, l](QPushButton *&b, const char *nome, const char *testo, VoceElaborazione v) {
        b = bottone(QString::fromLatin1(nome), QString::fromUtf8(testo), this);
        l->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, v] { scegli(v); });
    };
    voce(ButtonCampiVisibili, "ButtonCampiVisibili", "&Campi visibili", VoceElaborazione::CampiVisibili);
    voce(ButtonBloccaQuery, "ButtonBloccaQuery", "&Blocca Query", VoceElaborazione::BloccaQuery);
    voce(ButtonAggiungiAffiancata, "ButtonAggiungiAffiancata", "&Aggiungi query affiancata",
         VoceElaborazione::AffiancaUnione);
    voce(ButtonTogliAffiancata, "ButtonTogliAffiancata", "&Togli query affiancata", VoceElaborazione::TogliAffiancata);
    voce(ButtonPassaPrecedente, "ButtonPassaPrecedente", "Passa a query &precedente",
         VoceElaborazione::PassaPrecedente);
    voce(ButtonPassaSuccessiva, "ButtonPassaSuccessiva", "Passa a query &successiva",
         VoceElaborazione::PassaSuccessiva);
    voce(ButtonEliminaSuccessiva, "ButtonEliminaSuccessiva", "&Elimina query successiva",
         VoceElaborazione::EliminaSuccessiva);
    voce(ButtonChiudi, "ButtonChiudi", "Ch&iudi", VoceElaborazione::Chiudi);
    setMinimumWidth(300);
}

void TElabAvanForm::scegli(VoceElaborazione voce)
{
    const QString rifiuto = rifiutoVoce(voce, m_stato);
    if (!rifiuto.isEmpty()) {
        platform::warning(rifiuto);
        return;
    }
    m_risultato = risultatoVoce(voce);
    accept();
}

// ---- removal of an added table -----------------------------------------------------

TEliminaForm::TEliminaForm(const QStringList &testate, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TEliminaForm"));
    setWindowTitle(QStringLiteral("Elimina tabella collegata"));
    auto *l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("Tabella da eliminare"), this));
    ComboTabelle = new QComboBox(this);
    ComboTabelle->setObjectName(QStringLiteral("ComboTabelle"));
    ComboTabelle->addItems(testate);
    ComboTabelle->setCurrentIndex(-1);
    l->addWidget(ComboTabelle);
    auto *b = new QHBoxLayout;
    ButtonOK = bottone(QStringLiteral("ButtonOK"), QStringLiteral("OK"), this);
    ButtonCancel = bottone(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel"), this);
    b->addStretch();
    b->addWidget(ButtonOK);
    b->addWidget(ButtonCancel);
    l->addLayout(b);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(300);
}

QString TEliminaForm::scelta() const
{
    return ComboTabelle->currentIndex() >= 0 ? ComboTabelle->currentText() : QString();
}

// ---- adding a table ------------------------------------------------------------------

TIBAggForm::TIBAggForm(const QString &ditta, db::Attachment &att, db::Transaction &tra, TabIntTmp &tab,
                       QWidget *parent)
    : QDialog(parent), m_att(att), m_tra(tra), m_tab(tab)
{
    setObjectName(QStringLiteral("TIBAggForm"));
    setWindowTitle(didascalia(QStringLiteral("Aggiungi tabella"), ditta));
    auto *l = new QVBoxLayout(this);
    auto *testa = new QHBoxLayout;
    ButtonNomeTabella = bottone(QStringLiteral("ButtonNomeTabella"), QStringLiteral("Tabella da aggiungere"), this);
    EditNomeTabella = new QLineEdit(this);
    EditNomeTabella->setObjectName(QStringLiteral("EditNomeTabella"));
    EditNomeTabella->setReadOnly(true);
    testa->addWidget(ButtonNomeTabella);
    testa->addWidget(EditNomeTabella, 1);
    l->addLayout(testa);

    PannelloJoin = new QWidget(this);
    PannelloJoin->setObjectName(QStringLiteral("PannelloJoin"));
    auto *pj = new QVBoxLayout(PannelloJoin);
    pj->setContentsMargins(0, 0, 0, 0);
    pj->addWidget(new QLabel(QStringLiteral("Impostazione Join"), PannelloJoin));
    auto *combo = new QGridLayout;
    combo->addWidget(new QLabel(QStringLiteral("Campi tabella principale"), PannelloJoin), 0, 0);
    combo->addWidget(new QLabel(QStringLiteral("Campi tabella collegata"), PannelloJoin), 0, 1);
    EditNomeCampiTabPrincipale = new QComboBox(PannelloJoin);
    EditNomeCampiTabPrincipale->setObjectName(QStringLiteral("EditNomeCampiTabPrincipale"));
    EditNomeCampiTabCollegata = new QComboBox(PannelloJoin);
    EditNomeCampiTabCollegata->setObjectName(QStringLiteral("EditNomeCampiTabCollegata"));
    combo->addWidget(EditNomeCampiTabPrincipale, 1, 0);
    combo->addWidget(EditNomeCampiTabCollegata, 1, 1);
    ButtonAggiungiAllaTab =
        bottone(QStringLiteral("ButtonAggiungiAllaTab"), QStringLiteral("Aggiungi alla tabella"), PannelloJoin);
    combo->addWidget(ButtonAggiungiAllaTab, 1, 2);
    pj->addLayout(combo);

    GridCollegamenti = lista(QStringLiteral("GridCollegamenti"),
                             {QStringLiteral("Campo tabella principale"), QStringLiteral("Campo tabella collegata")}, PannelloJoin);
    const int carattere = fontMetrics().averageCharWidth();
    GridCollegamenti->setColumnWidth(0, 25 * carattere + 8);
    GridCollegamenti->setColumnWidth(1, 25 * carattere + 8);
    pj->addWidget(GridCollegamenti);
    pj->addWidget(navigatore(GridCollegamenti, PannelloJoin));

    auto *campi = new QHBoxLayout;
    auto *sinistra = new QVBoxLayout;
    sinistra->addWidget(new QLabel(QStringLiteral("Campi da riportare:"), PannelloJoin));
    GridCampi = lista(QStringLiteral("GridCampi"), {QStringLiteral("Campo"), QStringLiteral("M")}, PannelloJoin);
    GridCampi->setColumnWidth(0, 40 * carattere / 2 + 40);
    GridCampi->setColumnWidth(1, 3 * carattere + 8);
    sinistra->addWidget(GridCampi);
    sinistra->addWidget(navigatore(GridCampi, PannelloJoin));
    campi->addLayout(sinistra, 1);
    auto *destra = new QVBoxLayout;
    ButtonSelezionaTutto = bottone(QStringLiteral("ButtonSelezionaTutto"), QStringLiteral("&Seleziona Tutto"), PannelloJoin);
    ButtonDeselezionaTutto =
        bottone(QStringLiteral("ButtonDeselezionaTutto"), QStringLiteral("&Deseleziona Tutto"), PannelloJoin);
    destra->addWidget(ButtonSelezionaTutto);
    destra->addWidget(ButtonDeselezionaTutto);
    auto *gruppo = new QGroupBox(QStringLiteral("Modalità Join"), PannelloJoin);
    gruppo->setObjectName(QStringLiteral("RadioModalitaJoin"));
    auto *lg = new QVBoxLayout(gruppo);
    RadioLeft = new QRadioButton(QStringLiteral("Left"), gruppo);
    RadioRight = new QRadioButton(QStringLiteral("Right (con buchi)"), gruppo);
    RadioLeftCondizioniPrima = new QRadioButton(QStringLiteral("Left (con condizioni prima)"), gruppo);
    RadioLeft->setObjectName(QStringLiteral("RadioLeft"));
    RadioRight->setObjectName(QStringLiteral("RadioRight"));
    RadioLeftCondizioniPrima->setObjectName(QStringLiteral("RadioLeftCondizioniPrima"));
    RadioLeft->setChecked(true);
    lg->addWidget(RadioLeft);
    lg->addWidget(RadioRight);
    lg->addWidget(RadioLeftCondizioniPrima);
    destra->addWidget(gruppo);
    auto *nota = new QLabel(QStringLiteral("Nota: nel terzo caso le condizioni prima possono filtrare vari record in "
                                           "tabella2, aumentando il numero buchi finale sui campi provenienti da "
                                           "tabella2"),
                            PannelloJoin);
    nota->setWordWrap(true);
    destra->addWidget(nota);
    destra->addStretch();
    ButtonAnnulla = bottone(QStringLiteral("ButtonAnnulla"), QStringLiteral("&Annulla"), PannelloJoin);
    ButtonRiporta = bottone(QStringLiteral("ButtonRiporta"), QStringLiteral("&Riporta"), PannelloJoin);
    destra->addWidget(ButtonAnnulla);
    destra->addWidget(ButtonRiporta);
    campi->addLayout(destra);
    pj->addLayout(campi, 1);
    l->addWidget(PannelloJoin, 1);

    auto *fondo = new QHBoxLayout;
    ButtonChiudi = bottone(QStringLiteral("ButtonChiudi"), QStringLiteral("Ch&iudi"), this);
    fondo->addStretch();
    fondo->addWidget(ButtonChiudi);
    l->addLayout(fondo);

    // A link may point at a column of the source table or at a reported
    // column of a table added before.
    EditNomeCampiTabPrincipale->addItems(colonneCollegabili(m_tab));
    EditNomeCampiTabPrincipale->setCurrentIndex(-1);

    connect(ButtonNomeTabella, &QPushButton::clicked, this, &TIBAggForm::ButtonNomeTabellaClick);
    connect(EditNomeTabella, &QLineEdit::textChanged, this, &TIBAggForm::EditNomeTabellaChange);
    connect(ButtonAggiungiAllaTab, &QPushButton::clicked, this, &TIBAggForm::ButtonAggiungiAllaTabClick);
    connect(ButtonSelezionaTutto, &QPushButton::clicked, this, &TIBAggForm::ButtonSelezionaTuttoClick);
    connect(ButtonDeselezionaTutto, &QPushButton::clicked, this, &TIBAggForm::ButtonDeselezionaTuttoClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TIBAggForm::ButtonAnnullaClick);
    connect(ButtonRiporta, &QPushButton::clicked, this, &TIBAggForm::ButtonRiportaClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(GridCampi, &QTableWidget::cellDoubleClicked, this, [this] { SelezionaRigaInt(); });
    GridCampi->installEventFilter(this);
    comprimi();
}

void TIBAggForm::comprimi()
{
    m_espansa = false;
    PannelloJoin->hide();
    setMinimumHeight(0);
    centra(this, 560, 120);
}

void TIBAggForm::espandi()
{
    m_espansa = true;
    PannelloJoin->show();
    centra(this, 640, 535, 157);
}

bool TIBAggForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == GridCampi && rilascioF3(event)) {
        SelezionaRigaInt();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TIBAggForm::ButtonNomeTabellaClick()
{
    EditNomeTabella->setFocus();
    entry::TListTabForm picker(m_att, m_tra, this);
    picker.exec();
    if (picker.Risposta != 1)
        return;
    const QString nome = picker.tabellaScelta();
    if (nome.isEmpty())
        return;
    // The same table picked again after "&Annulla" starts its links afresh:
    // the name does not change, so the field tells nothing by itself.
    if (nome == EditNomeTabella->text())
        EditNomeTabellaChange();
    else
        EditNomeTabella->setText(nome);
}

void TIBAggForm::EditNomeTabellaChange()
{
    if (m_inCambio)
        return;
    EditNomeCampiTabCollegata->setCurrentIndex(-1);
    const QString nome = EditNomeTabella->text();
    if (nome.isEmpty()) {
        EditNomeTabella->setFocus();
        return;
    }
    if (tabellaGiaPresente(m_tab, nome)) {
        platform::warning(kMsgTabellaPresente);
        m_inCambio = true;
        EditNomeTabella->clear();
        m_inCambio = false;
        return;
    }
    QStringList colonne;
    try {
        colonne = colonneDiTabella(m_att, m_tra, nome);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile aprire la tabella ") + nome + QLatin1Char('\r') + e.message());
        return;
    }
    EditNomeCampiTabCollegata->clear();
    EditNomeCampiTabCollegata->addItems(colonne);
    EditNomeCampiTabCollegata->setCurrentIndex(-1);
    m_tabella = TabellaDaAggiungere{};
    m_tabella.nome = nome;
    m_colonne = colonne;
    m_mostra.assign(size_t(colonne.size()), 0);
    mostraCollegamenti();
    mostraCampi();
    espandi();
}

void TIBAggForm::ButtonAggiungiAllaTabClick()
{
    if (EditNomeCampiTabPrincipale->currentIndex() < 0 || EditNomeCampiTabCollegata->currentIndex() < 0)
        return;
    m_tabella.aggiungiCollegamento(EditNomeCampiTabPrincipale->currentText(), EditNomeCampiTabCollegata->currentText());
    mostraCollegamenti();
}

void TIBAggForm::mostraCollegamenti()
{
    GridCollegamenti->setRowCount(int(m_tabella.collegamenti.size()));
    for (int i = 0; i < int(m_tabella.collegamenti.size()); ++i) {
        cella(GridCollegamenti, i, 0, m_tabella.collegamenti[size_t(i)].first);
        cella(GridCollegamenti, i, 1, m_tabella.collegamenti[size_t(i)].second);
    }
}

void TIBAggForm::mostraCampi()
{
    const int corrente = GridCampi->currentRow();
    GridCampi->setRowCount(int(m_colonne.size()));
    const QColor scelto = palette().color(QPalette::Window);
    for (int i = 0; i < int(m_colonne.size()); ++i) {
        const bool si = m_mostra[size_t(i)] == 1;
        cella(GridCampi, i, 0, m_colonne[i], si ? scelto : QColor());
        cella(GridCampi, i, 1, QString::number(m_mostra[size_t(i)]), si ? scelto : QColor());
    }
    if (corrente >= 0 && corrente < GridCampi->rowCount())
        GridCampi->setCurrentCell(corrente, 0);
}

void TIBAggForm::SelezionaRigaInt()
{
    const int r = GridCampi->currentRow();
    if (r < 0 || r >= int(m_mostra.size()))
        return;
    m_mostra[size_t(r)] = m_mostra[size_t(r)] == 1 ? 0 : 1;
    mostraCampi();
}

void TIBAggForm::ButtonSelezionaTuttoClick()
{
    std::fill(m_mostra.begin(), m_mostra.end(), 1);
    mostraCampi();
}

void TIBAggForm::ButtonDeselezionaTuttoClick()
{
    std::fill(m_mostra.begin(), m_mostra.end(), 0);
    mostraCampi();
}

void TIBAggForm::ButtonAnnullaClick()
{
    EditNomeCampiTabCollegata->clear();
    comprimi();
}

ModoJoin TIBAggForm::modo() const
{
    if (RadioRight->isChecked())
        return ModoJoin::Right;
    if (RadioLeftCondizioniPrima->isChecked())
        return ModoJoin::LeftCondizioniPrima;
    return ModoJoin::Left;
}

void TIBAggForm::ButtonRiportaClick()
{
    TabellaDaAggiungere t = m_tabella;
    t.nome = EditNomeTabella->text();
    t.modo = modo();
    t.colonne.clear();
    if (t.nome == m_tabella.nome)
        for (int i = 0; i < int(m_colonne.size()); ++i)
            if (m_mostra[size_t(i)] == 1)
                t.colonne << m_colonne[i];
    const QString rifiuto = aggiungiTabella(m_tab, t);
    if (!rifiuto.isEmpty()) {
        platform::warning(rifiuto);
        return;
    }
    m_tabella = t;
    accept();
}

// ---- visible fields -------------------------------------------------------------------

TIBCamVisForm::TIBCamVisForm(const QString &ditta, const QString &tabellaSorgente, db::Attachment &att,
                             db::Transaction &tra, TabIntTmp &tab, QWidget *parent)
    : QDialog(parent), m_att(att), m_tra(tra), m_tab(tab)
{
    setObjectName(QStringLiteral("TIBCamVisForm"));
    setWindowTitle(didascalia(QStringLiteral("Elaborazione Campi Visibili"), ditta));
    auto *l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("TABELLE QUERY:"), this));
    GridTabelle = lista(QStringLiteral("GridTabelle"),
                        {QStringLiteral("Tabella"), QStringLiteral("L"), QStringLiteral("S")}, this);
    const int carattere = fontMetrics().averageCharWidth();
    GridTabelle->setColumnWidth(0, 31 * carattere + 8);
    GridTabelle->setColumnWidth(1, 3 * carattere + 8);
    GridTabelle->setColumnWidth(2, 3 * carattere + 8);
    l->addWidget(GridTabelle, 1);
    auto *b1 = new QHBoxLayout;
    ButtonMostraCampi = bottone(QStringLiteral("ButtonMostraCampi"), QStringLiteral("&Mostra campi"), this);
    ButtonChiudi = bottone(QStringLiteral("ButtonChiudi"), QStringLiteral("Ch&iudi"), this);
    b1->addWidget(ButtonMostraCampi);
    b1->addWidget(ButtonChiudi);
    l->addLayout(b1);

    PannelloCampi = new QWidget(this);
    PannelloCampi->setObjectName(QStringLiteral("PannelloCampi"));
    auto *pc = new QVBoxLayout(PannelloCampi);
    pc->setContentsMargins(0, 0, 0, 0);
    pc->addWidget(new QLabel(QStringLiteral("CAMPI TABELLE SELEZIONATE:"), PannelloCampi));
    GridCampi = lista(QStringLiteral("GridCampi"), {QStringLiteral("Campo"), QStringLiteral("S")}, PannelloCampi);
    GridCampi->setColumnWidth(0, 40 * carattere + 8);
    GridCampi->setColumnWidth(1, 3 * carattere + 8);
    pc->addWidget(GridCampi, 1);
    pc->addWidget(navigatore(GridCampi, PannelloCampi));
    auto *b2 = new QHBoxLayout;
    ButtonRendiVisibili = bottone(QStringLiteral("ButtonRendiVisibili"), QStringLiteral("Rendi tutto vis."), PannelloCampi);
    ButtonRendiInvisibili =
        bottone(QStringLiteral("ButtonRendiInvisibili"), QStringLiteral("Rendi tutto invis."), PannelloCampi);
    ButtonAggiorna = bottone(QStringLiteral("ButtonAggiorna"), QStringLiteral("Aggiorna e chiudi"), PannelloCampi);
    ButtonAnnulla = bottone(QStringLiteral("ButtonAnnulla"), QStringLiteral("Annulla e chiudi"), PannelloCampi);
    for (QPushButton *b : {ButtonRendiVisibili, ButtonRendiInvisibili, ButtonAggiorna, ButtonAnnulla})
        b2->addWidget(b);
    pc->addLayout(b2);
    l->addWidget(PannelloCampi, 3);
    PannelloCampi->hide();

    m_tabelle = RiempiTabCVTmp1(m_tab, tabellaSorgente);
    mostraTabelle();

    connect(ButtonMostraCampi, &QPushButton::clicked, this, &TIBCamVisForm::ButtonMostraCampiClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonAggiorna, &QPushButton::clicked, this, &TIBCamVisForm::ButtonAggiornaClick);
    connect(ButtonRendiVisibili, &QPushButton::clicked, this, [this] {
        const int r = GridCampi->currentRow();
        rendiTuttoVisibile(m_campi);
        mostraCampi();
        GridCampi->setCurrentCell(r, 0);
    });
    connect(ButtonRendiInvisibili, &QPushButton::clicked, this, [this] {
        const int r = GridCampi->currentRow();
        rendiTuttoInvisibile(m_campi);
        mostraCampi();
        GridCampi->setCurrentCell(r, 0);
    });
    connect(GridTabelle, &QTableWidget::cellDoubleClicked, this, [this] { SelezionaRiga(); });
    connect(GridCampi, &QTableWidget::cellDoubleClicked, this, [this] { SelezionaRiga2(); });
    GridTabelle->installEventFilter(this);
    GridCampi->installEventFilter(this);
    centra(this, 250, 300);
}

bool TIBCamVisForm::eventFilter(QObject *watched, QEvent *event)
{
    if (rilascioF3(event)) {
        if (watched == GridTabelle) {
            SelezionaRiga();
            return true;
        }
        if (watched == GridCampi) {
            SelezionaRiga2();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TIBCamVisForm::mostraTabelle()
{
    const int corrente = GridTabelle->currentRow();
    GridTabelle->setRowCount(int(m_tabelle.size()));
    const QColor scelto = palette().color(QPalette::Window);
    for (int i = 0; i < int(m_tabelle.size()); ++i) {
        const TabellaCV &t = m_tabelle[size_t(i)];
        const QColor sfondo = t.Selezione == 1 ? scelto : QColor();
        cella(GridTabelle, i, 0, t.NomeTabella, sfondo);
        cella(GridTabelle, i, 1, t.Lettera, sfondo);
        cella(GridTabelle, i, 2, QString::number(t.Selezione), sfondo);
    }
    GridTabelle->setCurrentCell(std::max(0, corrente), 0);
}

void TIBCamVisForm::SelezionaRiga()
{
    if (m_campiMostrati)
        return;
    const int r = GridTabelle->currentRow();
    if (r < 0 || r >= int(m_tabelle.size()))
        return;
    m_tabelle[size_t(r)].Selezione = m_tabelle[size_t(r)].Selezione == 1 ? 0 : 1;
    mostraTabelle();
}

void TIBCamVisForm::ButtonMostraCampiClick()
{
    bool scelta = false;
    for (const TabellaCV &t : m_tabelle)
        scelta = scelta || t.Selezione == 1;
    if (!scelta) {
        platform::warning(kMsgSelezionareTabella);
        return;
    }
    try {
        m_campi = RiempiTabCVTmp2(m_tabelle, m_tab,
                                  [this](const QString &tabella) { return colonneDiTabella(m_att, m_tra, tabella); });
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Impossibile leggere le colonne delle tabelle scelte") + QLatin1Char('\r')
                        + e.message());
        return;
    }
    m_campiMostrati = true;
    ButtonMostraCampi->hide();
    ButtonChiudi->hide();
    GridTabelle->setEnabled(false);
    PannelloCampi->show();
    mostraCampi();
    GridCampi->setCurrentCell(0, 0);
    centra(this, 640, 480);
}

void TIBCamVisForm::mostraCampi()
{
    GridCampi->setRowCount(int(m_campi.size()));
    for (int i = 0; i < int(m_campi.size()); ++i) {
        const CampoCV &c = m_campi[size_t(i)];
        QColor sfondo;
        if (c.Selezione == CampoTestata)
            sfondo = Qt::red;
        else if (c.Selezione == CampoInUso)
            sfondo = QColor(0, 255, 0);
        else if (c.Selezione == CampoPresente)
            sfondo = palette().color(QPalette::Window);
        cella(GridCampi, i, 0, c.NomeCampo, sfondo);
        cella(GridCampi, i, 1, QString::number(c.Selezione), sfondo);
    }
}

void TIBCamVisForm::SelezionaRiga2()
{
    const int r = GridCampi->currentRow();
    if (r < 0 || r >= int(m_campi.size()))
        return;
    qbe::SelezionaRiga2(m_campi[size_t(r)]);
    mostraCampi();
    GridCampi->setCurrentCell(r, 0);
}

void TIBCamVisForm::ButtonAggiornaClick()
{
    std::vector<RigaInt> nuove = RiempiTabIntTmp2(m_tab, m_tabelle, m_campi);
    m_tab.clear();
    m_tab.setRighe(std::move(nuove));
    accept();
}

// ---- lock ---------------------------------------------------------------------------------

TBloccaQForm::TBloccaQForm(const QString &ditta, TabIntTmp &tab, SessioneQuery &sessione, QWidget *parent)
    : QDialog(parent), m_tab(tab), m_sessione(sessione), m_iniziale(statoBlocco(tab, sessione.bloccata()))
{
    setObjectName(QStringLiteral("TBloccaQForm"));
    setWindowTitle(didascalia(QStringLiteral("Elaborazione Blocco/Sblocco query"), ditta));
    auto *l = new QVBoxLayout(this);
    ButtonQueryBloccata = new QCheckBox(QStringLiteral("Query bloccata"), this);
    ButtonQueryBloccata->setObjectName(QStringLiteral("ButtonQueryBloccata"));
    ButtonBloccoConChiave = new QCheckBox(QStringLiteral("Blocco con chiave"), this);
    ButtonBloccoConChiave->setObjectName(QStringLiteral("ButtonBloccoConChiave"));
    l->addWidget(ButtonQueryBloccata);
    l->addWidget(ButtonBloccoConChiave);
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto *p = new QHBoxLayout(Panel2);
    p->setContentsMargins(0, 0, 0, 0);
    p->addWidget(new QLabel(QStringLiteral("Chiave:"), Panel2));
    EditChiave = new QLineEdit(Panel2);
    EditChiave->setObjectName(QStringLiteral("EditChiave"));
    EditChiave->setMaxLength(kLunghezzaChiave);
    p->addWidget(EditChiave);
    ButtonAccettaChiave = bottone(QStringLiteral("ButtonAccettaChiave"), QStringLiteral("&Accetta chiave"), Panel2);
    p->addWidget(ButtonAccettaChiave);
    l->addWidget(Panel2);
    auto *b = new QHBoxLayout;
    ButtonOK = bottone(QStringLiteral("ButtonOK"), QStringLiteral("OK"), this);
    ButtonCancel = bottone(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel"), this);
    b->addStretch();
    b->addWidget(ButtonOK);
    b->addWidget(ButtonCancel);
    l->addLayout(b);

    switch (m_iniziale) {
    case StatoBlocco::Nessuno:
        ButtonBloccoConChiave->hide();
        Panel2->hide();
        break;
    case StatoBlocco::Semplice:
        ButtonQueryBloccata->setChecked(true);
        Panel2->hide();
        break;
    case StatoBlocco::ConChiave:
        ButtonQueryBloccata->setChecked(true);
        ButtonQueryBloccata->setEnabled(false);
        ButtonBloccoConChiave->setChecked(true);
        ButtonBloccoConChiave->setEnabled(false);
        break;
    }
    connect(ButtonQueryBloccata, &QCheckBox::toggled, this,
            [this](bool on) { ButtonBloccoConChiave->setVisible(on); });
    connect(ButtonBloccoConChiave, &QCheckBox::toggled, this, [this](bool on) {
        Panel2->setVisible(on);
        ButtonQueryBloccata->setEnabled(!on);
    });
    connect(ButtonAccettaChiave, &QPushButton::clicked, this, &TBloccaQForm::ButtonAccettaChiaveClick);
    connect(ButtonOK, &QPushButton::clicked, this, &TBloccaQForm::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(340);
}

void TBloccaQForm::ButtonAccettaChiaveClick()
{
    const QString chiave = EditChiave->text();
    const QString rifiuto = controlloChiave(chiave);
    if (!rifiuto.isEmpty()) {
        platform::warning(rifiuto);
        return;
    }
    if (m_iniziale != StatoBlocco::ConChiave) {
        m_chiaveAccettata = true;
        platform::information(kMsgNuovaChiave);
        return;
    }
    const int riga = indiceRigaBlocco(m_tab);
    if (riga < 0 || !ValidaChiave(chiave, m_tab.at(riga).Condizione)) {
        platform::warning(kMsgChiaveErrata);
        return;
    }
    m_chiaveAccettata = true;
    ButtonBloccoConChiave->setEnabled(true);
    EditChiave->setReadOnly(true);
    QPalette pal = EditChiave->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Window));
    EditChiave->setPalette(pal);
    ButtonAccettaChiave->setEnabled(false);
}

void TBloccaQForm::ButtonOKClick()
{
    StatoBlocco nuovo = StatoBlocco::Nessuno;
    if (ButtonBloccoConChiave->isChecked() && !ButtonBloccoConChiave->isHidden())
        nuovo = StatoBlocco::ConChiave;
    else if (ButtonQueryBloccata->isChecked())
        nuovo = StatoBlocco::Semplice;
    if (nuovo != m_iniziale) {
        const QString rifiuto = cambiaBlocco(m_tab, m_sessione, m_iniziale, nuovo, EditChiave->text(), m_chiaveAccettata);
        if (!rifiuto.isEmpty())
            platform::warning(rifiuto);
    }
    accept();
}

} // namespace vardof::qbe
