#include "grid/ui/TPQmtGridForm.h"

#include "db/Error.h"
#include "grid/ModelloGriglia.h"
#include "grid/ui/TQmtGrid.h"
#include "platform/Messages.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vardof::grid {

namespace {
QString erroreConServer(const QString &testa, const db::Error &e)
{
    return testa + QLatin1Char('\r') + e.message();
}
} // namespace

TPQmtGridForm::TPQmtGridForm(QWidget *owner, const QString &tabella, int progetto, int utente, int situazione,
                             db::Attachment &impostazioni)
    : QDialog(owner)
    , m_tabella(tabella.isEmpty() ? TabellaAspettoPredefinita : tabella)
    , m_chiave{progetto, situazione, utente}
    , m_db(impostazioni)
    , m_personalizzazione(std::make_unique<Personalizzazione>(impostazioni, m_tabella, m_chiave))
{
    setObjectName(QStringLiteral("PQmtGridForm"));
    DBGrid1 = new QTableWidget(0, 5, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("NomeCampo"), QStringLiteral("NomeColonna"),
                                        QStringLiteral("ColoreColonna"), QStringLiteral("Visibile"),
                                        QStringLiteral("Posizione")});
    DBGrid1->setColumnHidden(ColPosizione, true);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->horizontalHeader()->setStretchLastSection(false);
    DBGrid1->setColumnWidth(ColNomeCampo, 150);
    DBGrid1->setColumnWidth(ColNomeColonna, 170);
    DBGrid1->setColumnWidth(ColColore, 90);
    DBGrid1->setColumnWidth(ColVisibile, 60);

    SpeedButton1 = new QPushButton(QStringLiteral("Cambia Colore"), this);
    ButtonColoreDefault = new QPushButton(QStringLiteral("Colore Default"), this);
    ButtonAspettoBase = new QPushButton(QStringLiteral("Aspetto Base"), this);
    ButtonAcqAspettoDa = new QPushButton(QStringLiteral("Acq. aspetto da"), this);
    ButtonChiudi = new QPushButton(QStringLiteral("Ch&iudi"), this);
    const struct { QWidget *w; const char *name; } nomi[] = {
        {SpeedButton1, "SpeedButton1"}, {ButtonColoreDefault, "ButtonColoreDefault"},
        {ButtonAspettoBase, "ButtonAspettoBase"}, {ButtonAcqAspettoDa, "ButtonAcqAspettoDa"},
        {ButtonChiudi, "ButtonChiudi"}};
    for (const auto &n : nomi)
        n.w->setObjectName(QLatin1String(n.name));
    for (QPushButton *b : {SpeedButton1, ButtonColoreDefault, ButtonAspettoBase, ButtonAcqAspettoDa, ButtonChiudi})
        b->setAutoDefault(false);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addWidget(SpeedButton1);
    pulsanti->addWidget(ButtonColoreDefault);
    pulsanti->addStretch();
    pulsanti->addWidget(ButtonAspettoBase);
    pulsanti->addWidget(ButtonAcqAspettoDa);
    pulsanti->addWidget(ButtonChiudi);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(pulsanti);
    resize(560, 380);

    connect(SpeedButton1, &QPushButton::clicked, this, &TPQmtGridForm::SpeedButton1Click);
    connect(ButtonColoreDefault, &QPushButton::clicked, this, &TPQmtGridForm::ButtonColoreDefaultClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TPQmtGridForm::ButtonChiudiClick);
    connect(DBGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_caricamento)
            rigaModificata(item->row());
    });

    CaricaGriglia();
}

TPQmtGridForm::~TPQmtGridForm() = default;

void TPQmtGridForm::CaricaGriglia()
{
    m_caricamento = true;
    m_righe = m_personalizzazione->carica();
    DBGrid1->setRowCount(int(m_righe.size()));
    for (int i = 0; i < int(m_righe.size()); ++i) {
        const RigaPersonalizzazione &r = m_righe[size_t(i)];
        auto *nome = new QTableWidgetItem(r.nomeCampo);
        nome->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        DBGrid1->setItem(i, ColNomeCampo, nome);
        DBGrid1->setItem(i, ColNomeColonna, new QTableWidgetItem(r.nomeColonna));
        auto *colore = new QTableWidgetItem;
        colore->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        DBGrid1->setItem(i, ColColore, colore);
        auto *visibile = new QTableWidgetItem;
        visibile->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        visibile->setCheckState(r.visibile.value_or(1) != 0 ? Qt::Checked : Qt::Unchecked);
        DBGrid1->setItem(i, ColVisibile, visibile);
        DBGrid1->setItem(i, ColPosizione, new QTableWidgetItem(r.posizione ? QString::number(*r.posizione) : QString()));
        mostraColore(i);
    }
    if (!m_righe.empty())
        DBGrid1->setCurrentCell(0, ColNomeColonna);
    m_caricamento = false;
}

void TPQmtGridForm::mostraColore(int riga)
{
    const std::optional<int> v = m_righe[size_t(riga)].colore;
    const QColor c = v && *v != 0 ? coloreDa(*v) : palette().color(QPalette::Base);
    const bool caricamento = m_caricamento;
    m_caricamento = true;
    DBGrid1->item(riga, ColColore)->setBackground(c);
    m_caricamento = caricamento;
}

void TPQmtGridForm::rigaModificata(int riga)
{
    if (riga < 0 || riga >= int(m_righe.size()) || !DBGrid1->item(riga, ColNomeColonna)
        || !DBGrid1->item(riga, ColVisibile))
        return;
    RigaPersonalizzazione &r = m_righe[size_t(riga)];
    r.nomeColonna = DBGrid1->item(riga, ColNomeColonna)->text();
    r.visibile = DBGrid1->item(riga, ColVisibile)->checkState() == Qt::Checked ? 1 : 0;
    scrivi(riga);
}

void TPQmtGridForm::scrivi(int riga)
{
    try {
        m_personalizzazione->aggiorna(m_righe[size_t(riga)]);
    } catch (const db::Error &e) {
        platform::error(erroreConServer(QStringLiteral("Errore durante la scrittura dell'aspetto griglia:"), e));
    }
}

void TPQmtGridForm::SpeedButton1Click()
{
    const int riga = DBGrid1->currentRow();
    if (riga < 0 || riga >= int(m_righe.size()))
        return;
    const std::optional<int> v = m_righe[size_t(riga)].colore;
    const std::optional<QColor> scelto = TQmtGrid::sceltaColore()(v && *v ? coloreDa(*v) : QColor(), this);
    if (!scelto)
        return;
    m_righe[size_t(riga)].colore = valoreColore(*scelto);
    mostraColore(riga);
    scrivi(riga);
}

void TPQmtGridForm::ButtonColoreDefaultClick()
{
    const int riga = DBGrid1->currentRow();
    if (riga < 0 || riga >= int(m_righe.size()))
        return;
    m_righe[size_t(riga)].colore.reset();
    mostraColore(riga);
    scrivi(riga);
}

void TPQmtGridForm::annullaModifiche()
{
    m_personalizzazione->annulla();
}

void TPQmtGridForm::ButtonChiudiClick()
{
    accept();
}

void TPQmtGridForm::done(int result)
{
    // Closing by the title bar keeps the rows already written, as "Ch&iudi" does.
    try {
        m_personalizzazione->conferma();
    } catch (const db::Error &e) {
        platform::error(erroreConServer(QStringLiteral("Errore durante la scrittura dell'aspetto griglia:"), e));
    }
    QDialog::done(result);
}

// ---- warning -------------------------------------------------------------------

TAvQmtGrForm::TAvQmtGrForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AvQmtGrForm"));
    setWindowTitle(QStringLiteral("Avviso"));
    auto *testo = new QLabel(QStringLiteral("ATTENZIONE CON QUESTA OPERAZIONE SI PERDONO TUTTE LE PERSONALIZZAZIONI "
                                            "DELL'ASPETTO DELLA GRIGLIA.\r\nPREMERE CANCEL SE NON SI STA CAPENDO COSA "
                                            "SI STA FACENDO"),
                             this);
    testo->setObjectName(QStringLiteral("LabelAvviso"));
    testo->setWordWrap(true);
    testo->setAlignment(Qt::AlignCenter);
    testo->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    auto *icona = new QLabel(this);
    icona->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    auto *alto = new QHBoxLayout;
    alto->addWidget(icona, 0, Qt::AlignTop);
    alto->addWidget(testo, 1);
    auto *basso = new QHBoxLayout;
    basso->addStretch();
    basso->addWidget(ButtonOK);
    basso->addWidget(ButtonCancel);
    basso->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(alto);
    layout->addLayout(basso);
    resize(440, 160);
    connect(ButtonOK, &QPushButton::clicked, this, [this] {
        Risposta = 1;
        accept();
    });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] {
        Risposta = 2;
        reject();
    });
}

// ---- choice of a user ----------------------------------------------------------

TAcqAspettoDaQmtGridForm::TAcqAspettoDaQmtGridForm(const QList<int> &utenti, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AcqAspettoDaQmtGridForm"));
    setWindowTitle(QStringLiteral("Informazione richiesta"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto *testo = new QLabel(QStringLiteral("Inserire id utente da cui acquisire aspetto griglia:"), this);
    ComboUtente = new QComboBox(this);
    ComboUtente->setObjectName(QStringLiteral("ComboUtente"));
    for (int u : utenti)
        ComboUtente->addItem(QString::number(u));
    ComboUtente->setCurrentIndex(-1);
    ButtonConferma = new QPushButton(QStringLiteral("Conferma"), this);
    ButtonConferma->setObjectName(QStringLiteral("ButtonConferma"));
    ButtonConferma->setDefault(true);
    ButtonAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(ButtonConferma);
    pulsanti->addWidget(ButtonAnnulla);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(testo);
    layout->addWidget(ComboUtente);
    layout->addLayout(pulsanti);
    connect(ButtonConferma, &QPushButton::clicked, this, &TAcqAspettoDaQmtGridForm::ButtonConfermaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<int> TAcqAspettoDaQmtGridForm::utente() const
{
    bool ok = false;
    const int u = ComboUtente->currentText().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return u;
}

void TAcqAspettoDaQmtGridForm::ButtonConfermaClick()
{
    if (!utente()) {
        platform::warning(QStringLiteral("E' necessario inserire l'id utente"));
        return;
    }
    accept();
}

} // namespace vardof::grid
