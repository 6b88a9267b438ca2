#include "output/report/ui/FinestraDisegno.h"

#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/OutputFile.h"
#include "platform/Services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vardof::output::report {

namespace {

const QStringList &allineamenti()
{
    static const QStringList a{QStringLiteral("A sinistra"), QStringLiteral("Al centro"), QStringLiteral("A destra")};
    return a;
}

QString millimetri(int millesimi)
{
    return QLocale(QLocale::Italian).toString(millesimi / 1000.0, 'f', millesimi % 1000 == 0 ? 0 : 1);
}

std::optional<int> daMillimetri(QString testo)
{
    testo = testo.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double mm = testo.toDouble(&ok);
    if (!ok || mm < 0 || mm > 2000)
        return std::nullopt;
    return int(std::lround(mm * 1000));
}

platform::FontChoice scelta(const FontModello &f)
{
    return {f.nome, int(std::lround(f.punti)), f.grassetto, f.corsivo, f.sottolineato, f.barrato};
}

FontModello daScelta(const platform::FontChoice &c, FontModello f)
{
    f.nome = c.family;
    if (c.pointSize > 0)
        f.punti = c.pointSize;
    f.grassetto = c.bold;
    f.corsivo = c.italic;
    f.sottolineato = c.underline;
    f.barrato = c.strikeOut;
    return f;
}

QString descrizioneFont(const FontModello &f)
{
    return f.nome + QLatin1Char(' ') + QString::number(f.punti) + (f.grassetto ? QStringLiteral(" grassetto") : QString())
           + (f.corsivo ? QStringLiteral(" corsivo") : QString());
}

QString nomeTesto(const TestoModello &t, int i, const QRect &elenco)
{
    const QString tutto = t.righe.join(QLatin1Char(' '));
    if (tutto.contains(QLatin1String("Page"), Qt::CaseInsensitive))
        return QStringLiteral("Numero pagina");
    if (tutto.trimmed() == QLatin1String("Titolo"))
        return QStringLiteral("Titolo");
    if (tutto.trimmed() == QLatin1String("Note"))
        return QStringLiteral("Note");
    if (t.rect.top() < elenco.top())
        return QStringLiteral("Intestazione");
    return QStringLiteral("Testo %1").arg(i + 1);
}

} // namespace

FinestraDisegno::FinestraDisegno(QWidget *parent, const QString &file, const ModelloReport &modello, Anteprima anteprima)
    : QDialog(parent), m_file(file), m_disegno(modello), m_anteprima(std::move(anteprima))
{
    setObjectName(QStringLiteral("FinestraDisegno"));
    setWindowTitle(QStringLiteral("Edita report - ") + QFileInfo(file).fileName());
    resize(900, 640);
    auto *v = new QVBoxLayout(this);

    auto *pagina = new QHBoxLayout;
    auto *orientamento = new QGroupBox(QStringLiteral("Orientamento"), this);
    auto *ho = new QHBoxLayout(orientamento);
    RadioVerticale = new QRadioButton(QStringLiteral("Verticale"), orientamento);
    RadioVerticale->setObjectName(QStringLiteral("RadioVerticale"));
    RadioOrizzontale = new QRadioButton(QStringLiteral("Orizzontale"), orientamento);
    RadioOrizzontale->setObjectName(QStringLiteral("RadioOrizzontale"));
    ho->addWidget(RadioVerticale);
    ho->addWidget(RadioOrizzontale);
    (m_disegno.orizzontale() ? RadioOrizzontale : RadioVerticale)->setChecked(true);
    pagina->addWidget(orientamento);
    ButtonFontElenco = new QPushButton(this);
    ButtonFontElenco->setObjectName(QStringLiteral("ButtonFontElenco"));
    ButtonFontElenco->setAutoDefault(false);
    pagina->addWidget(ButtonFontElenco);
    pagina->addStretch();
    v->addLayout(pagina);

    auto *gruppoColonne = new QGroupBox(QStringLiteral("Colonne"), this);
    auto *hc = new QHBoxLayout(gruppoColonne);
    TabellaColonne = new QTableWidget(0, 6, gruppoColonne);
    TabellaColonne->setObjectName(QStringLiteral("TabellaColonne"));
    TabellaColonne->setHorizontalHeaderLabels({QStringLiteral("Titolo"), QStringLiteral("Campo"),
                                               QStringLiteral("Larghezza (mm)"), QStringLiteral("Allineamento"),
                                               QStringLiteral("Visibile"), QStringLiteral("Totale")});
    TabellaColonne->setSelectionBehavior(QAbstractItemView::SelectRows);
    TabellaColonne->setSelectionMode(QAbstractItemView::SingleSelection);
    TabellaColonne->horizontalHeader()->setSectionResizeMode(Campo, QHeaderView::Stretch);
    TabellaColonne->horizontalHeader()->setSectionResizeMode(Titolo, QHeaderView::Stretch);
    hc->addWidget(TabellaColonne, 1);
    auto *frecce = new QVBoxLayout;
    ButtonSu = new QPushButton(QStringLiteral("Su"), gruppoColonne);
    ButtonSu->setObjectName(QStringLiteral("ButtonSu"));
    ButtonGiu = new QPushButton(QStringLiteral("Giù"), gruppoColonne);
    ButtonGiu->setObjectName(QStringLiteral("ButtonGiu"));
    for (QPushButton *b : {ButtonSu, ButtonGiu}) {
        b->setAutoDefault(false);
        frecce->addWidget(b);
    }
    frecce->addStretch();
    hc->addLayout(frecce);
    v->addWidget(gruppoColonne, 3);

    auto *gruppoTesti = new QGroupBox(QStringLiteral("Testi"), this);
    auto *ht = new QHBoxLayout(gruppoTesti);
    ListaTesti = new QListWidget(gruppoTesti);
    ListaTesti->setObjectName(QStringLiteral("ListaTesti"));
    ListaTesti->setMaximumWidth(200);
    ht->addWidget(ListaTesti);
    auto *dettaglio = new QVBoxLayout;
    dettaglio->addWidget(new QLabel(QStringLiteral("Righe (un'espressione per riga):"), gruppoTesti));
    EditRigheTesto = new QPlainTextEdit(gruppoTesti);
    EditRigheTesto->setObjectName(QStringLiteral("EditRigheTesto"));
    EditRigheTesto->setMaximumHeight(80);
    dettaglio->addWidget(EditRigheTesto);
    auto *opzioniTesto = new QHBoxLayout;
    CheckTestoVisibile = new QCheckBox(QStringLiteral("Visibile"), gruppoTesti);
    CheckTestoVisibile->setObjectName(QStringLiteral("CheckTestoVisibile"));
    ComboAllineaTesto = new QComboBox(gruppoTesti);
    ComboAllineaTesto->setObjectName(QStringLiteral("ComboAllineaTesto"));
    ComboAllineaTesto->addItems(allineamenti());
    ButtonFontTesto = new QPushButton(gruppoTesti);
    ButtonFontTesto->setObjectName(QStringLiteral("ButtonFontTesto"));
    ButtonFontTesto->setAutoDefault(false);
    opzioniTesto->addWidget(CheckTestoVisibile);
    opzioniTesto->addWidget(new QLabel(QStringLiteral("Allineamento:"), gruppoTesti));
    opzioniTesto->addWidget(ComboAllineaTesto);
    opzioniTesto->addWidget(ButtonFontTesto);
    opzioniTesto->addStretch();
    dettaglio->addLayout(opzioniTesto);
    ht->addLayout(dettaglio, 1);
    v->addWidget(gruppoTesti, 1);

    auto *bottoni = new QHBoxLayout;
    ButtonAnteprima = new QPushButton(QStringLiteral("&Anteprima"), this);
    ButtonAnteprima->setObjectName(QStringLiteral("ButtonAnteprima"));
    ButtonAnteprima->setVisible(bool(m_anteprima));
    ButtonSalva = new QPushButton(QStringLiteral("&Salva"), this);
    ButtonSalva->setObjectName(QStringLiteral("ButtonSalva"));
    ButtonChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    ButtonChiudi->setObjectName(QStringLiteral("ButtonChiudi"));
    bottoni->addWidget(ButtonAnteprima);
    bottoni->addStretch();
    for (QPushButton *b : {ButtonAnteprima, ButtonSalva, ButtonChiudi}) {
        b->setAutoDefault(false);
        if (b != ButtonAnteprima)
            bottoni->addWidget(b);
    }
    v->addLayout(bottoni);

    riempiColonne();
    riempiTesti();

    connect(RadioOrizzontale, &QRadioButton::toggled, this, [this](bool o) {
        if (m_riempiendo || o == m_disegno.orizzontale())
            return;
        m_disegno.setOrizzontale(o);
        cambiato();
    });
    connect(TabellaColonne, &QTableWidget::itemChanged, this, &FinestraDisegno::cellaCambiata);
    connect(ButtonSu, &QPushButton::clicked, this, &FinestraDisegno::ButtonSuClick);
    connect(ButtonGiu, &QPushButton::clicked, this, &FinestraDisegno::ButtonGiuClick);
    connect(ButtonFontElenco, &QPushButton::clicked, this, &FinestraDisegno::ButtonFontElencoClick);
    connect(ButtonFontTesto, &QPushButton::clicked, this, &FinestraDisegno::ButtonFontTestoClick);
    connect(ListaTesti, &QListWidget::currentRowChanged, this, [this] { mostraTesto(); });
    connect(EditRigheTesto, &QPlainTextEdit::textChanged, this, &FinestraDisegno::testoCambiato);
    connect(CheckTestoVisibile, &QCheckBox::toggled, this, [this](bool on) {
        const int i = ListaTesti->currentRow();
        if (m_riempiendo || i < 0)
            return;
        m_disegno.testi()[size_t(i)].visibile = on;
        cambiato();
    });
    connect(ComboAllineaTesto, &QComboBox::currentIndexChanged, this, [this](int a) {
        const int i = ListaTesti->currentRow();
        if (m_riempiendo || i < 0 || a < 0)
            return;
        m_disegno.testi()[size_t(i)].allinea = a;
        cambiato();
    });
    connect(ButtonAnteprima, &QPushButton::clicked, this, &FinestraDisegno::ButtonAnteprimaClick);
    connect(ButtonSalva, &QPushButton::clicked, this, &FinestraDisegno::ButtonSalvaClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &FinestraDisegno::reject);
}

void FinestraDisegno::riempiColonne()
{
    m_riempiendo = true;
    const int corrente = TabellaColonne->currentRow();
    TabellaColonne->setRowCount(0);
    const int n = m_disegno.colonne();
    TabellaColonne->setRowCount(n);
    for (int k = 0; k < n; ++k) {
        TabellaColonne->setItem(k, Titolo, new QTableWidgetItem(m_disegno.titolo(k)));
        TabellaColonne->setItem(k, Campo, new QTableWidgetItem(m_disegno.campo(k)));
        TabellaColonne->setItem(k, Larghezza, new QTableWidgetItem(millimetri(m_disegno.larghezza(k))));
        auto *combo = new QComboBox(TabellaColonne);
        combo->addItems(allineamenti());
        combo->setCurrentIndex(m_disegno.allinea(k));
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo](int a) {
            for (int r = 0; r < TabellaColonne->rowCount(); ++r)
                if (TabellaColonne->cellWidget(r, Allineamento) == combo)
                    impostaAllineamento(r, a);
        });
        TabellaColonne->setCellWidget(k, Allineamento, combo);
        auto *vis = new QTableWidgetItem;
        vis->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        vis->setCheckState(m_disegno.visibile(k) ? Qt::Checked : Qt::Unchecked);
        TabellaColonne->setItem(k, Visibile, vis);
        auto *tot = new QTableWidgetItem;
        tot->setFlags(m_disegno.puoTotale(k) ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable
                                             : Qt::ItemIsSelectable);
        tot->setCheckState(m_disegno.totale(k) ? Qt::Checked : Qt::Unchecked);
        TabellaColonne->setItem(k, Totale, tot);
    }
    if (corrente >= 0 && corrente < n)
        TabellaColonne->selectRow(corrente);
    ButtonFontElenco->setText(QStringLiteral("Font elenco: ") + descrizioneFont(m_disegno.font()));
    m_riempiendo = false;
}

void FinestraDisegno::riempiTesti()
{
    m_riempiendo = true;
    const int corrente = ListaTesti->currentRow();
    ListaTesti->clear();
    const auto &testi = m_disegno.testi();
    for (int i = 0; i < int(testi.size()); ++i)
        ListaTesti->addItem(nomeTesto(testi[size_t(i)], i, m_disegno.modello().elenco));
    m_riempiendo = false;
    ListaTesti->setCurrentRow(corrente >= 0 && corrente < ListaTesti->count() ? corrente : (testi.empty() ? -1 : 0));
    mostraTesto();
}

void FinestraDisegno::mostraTesto()
{
    m_riempiendo = true;
    const int i = ListaTesti->currentRow();
    const bool c = i >= 0 && i < int(m_disegno.testi().size());
    for (QWidget *w : std::initializer_list<QWidget *>{EditRigheTesto, CheckTestoVisibile, ComboAllineaTesto, ButtonFontTesto})
        w->setEnabled(c);
    if (c) {
        const TestoModello &t = m_disegno.testi()[size_t(i)];
        EditRigheTesto->setPlainText(t.righe.join(QLatin1Char('\n')));
        CheckTestoVisibile->setChecked(t.visibile);
        ComboAllineaTesto->setCurrentIndex(std::clamp(t.allinea, 0, 2));
        ButtonFontTesto->setText(QStringLiteral("Font: ") + descrizioneFont(t.font));
    } else {
        EditRigheTesto->clear();
        ButtonFontTesto->setText(QStringLiteral("Font"));
    }
    m_riempiendo = false;
}

void FinestraDisegno::cambiato()
{
    m_modificato = true;
}

void FinestraDisegno::cellaCambiata(QTableWidgetItem *item)
{
    if (m_riempiendo || !item)
        return;
    const int k = item->row();
    switch (item->column()) {
    case Titolo:
        m_disegno.setTitolo(k, item->text());
        break;
    case Campo:
        m_disegno.setCampo(k, item->text().trimmed());
        break;
    case Larghezza:
        if (auto w = daMillimetri(item->text()))
            m_disegno.setLarghezza(k, *w);
        else
            platform::warning(QStringLiteral("Larghezza non valida: indicare i millimetri (da 0 a 2000)"));
        break;
    case Visibile:
        m_disegno.setVisibile(k, item->checkState() == Qt::Checked);
        break;
    case Totale:
        m_disegno.setTotale(k, item->checkState() == Qt::Checked);
        break;
    default:
        return;
    }
    cambiato();
    // What the model made of it (a refused width, a total that follows
    // its field) is what the table shows.
    QMetaObject::invokeMethod(this, [this] { riempiColonne(); }, Qt::QueuedConnection);
}

void FinestraDisegno::impostaAllineamento(int k, int allinea)
{
    if (m_riempiendo || k < 0 || k >= m_disegno.colonne())
        return;
    m_disegno.setAllinea(k, allinea);
    if (auto *c = qobject_cast<QComboBox *>(TabellaColonne->cellWidget(k, Allineamento))) {
        const QSignalBlocker blocco(c);
        c->setCurrentIndex(m_disegno.allinea(k));
    }
    cambiato();
}

void FinestraDisegno::testoCambiato()
{
    const int i = ListaTesti->currentRow();
    if (m_riempiendo || i < 0 || i >= int(m_disegno.testi().size()))
        return;
    QStringList righe = EditRigheTesto->toPlainText().split(QLatin1Char('\n'));
    while (!righe.isEmpty() && righe.last().trimmed().isEmpty())
        righe.removeLast();
    m_disegno.testi()[size_t(i)].righe = righe;
    cambiato();
}

void FinestraDisegno::ButtonSuClick()
{
    const int k = TabellaColonne->currentRow();
    if (k <= 0)
        return;
    m_disegno.sposta(k, k - 1);
    cambiato();
    riempiColonne();
    TabellaColonne->selectRow(k - 1);
}

void FinestraDisegno::ButtonGiuClick()
{
    const int k = TabellaColonne->currentRow();
    if (k < 0 || k + 1 >= m_disegno.colonne())
        return;
    m_disegno.sposta(k, k + 1);
    cambiato();
    riempiColonne();
    TabellaColonne->selectRow(k + 1);
}

void FinestraDisegno::ButtonFontElencoClick()
{
    const auto f = platform::fileDialogs().chooseFont(scelta(m_disegno.font()));
    if (!f)
        return;
    m_disegno.setFont(daScelta(*f, m_disegno.font()));
    cambiato();
    riempiColonne();
}

void FinestraDisegno::ButtonFontTestoClick()
{
    const int i = ListaTesti->currentRow();
    if (i < 0 || i >= int(m_disegno.testi().size()))
        return;
    TestoModello &t = m_disegno.testi()[size_t(i)];
    const auto f = platform::fileDialogs().chooseFont(scelta(t.font));
    if (!f)
        return;
    t.font = daScelta(*f, t.font);
    cambiato();
    mostraTesto();
}

bool FinestraDisegno::ButtonSalvaClick()
{
    QString motivo;
    const QByteArray testo = ScriviLayoutModello(m_disegno.modello(), &motivo);
    if (testo.isEmpty()) {
        platform::error(QStringLiteral("Impossibile salvare il report \"") + m_file + QStringLiteral("\":\r") + motivo);
        return false;
    }
    if (!platform::OutputFile::writeAll(m_file, testo, &motivo)) {
        platform::error(QStringLiteral("Impossibile salvare il report \"") + m_file + QStringLiteral("\":\r") + motivo);
        return false;
    }
    m_modificato = false;
    return true;
}

void FinestraDisegno::ButtonAnteprimaClick()
{
    if (m_anteprima)
        m_anteprima(this, m_disegno.modello());
}

void FinestraDisegno::reject()
{
    if (m_modificato) {
        const platform::Answer a = platform::confirmYesNoCancel(QStringLiteral("Salvare le modifiche al report?"));
        if (a == platform::Answer::Cancel)
            return;
        if (a == platform::Answer::Yes && !ButtonSalvaClick())
            return;
    }
    QDialog::reject();
}

void ApriDisegno(QWidget *owner, const QString &file, FinestraDisegno::Anteprima anteprima,
                 const std::function<int(QDialog &)> &esegui)
{
    QFile f(file);
    if (!f.exists()) {
        platform::warning(QStringLiteral("Attenzione: file ") + file + QStringLiteral(" non trovato, impossibile continuare"));
        return;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        platform::error(QStringLiteral("Impossibile leggere il report \"") + file + QStringLiteral("\":\r") + f.errorString());
        return;
    }
    QString motivo;
    const auto modello = LeggiLayout(f.readAll(), &motivo);
    f.close();
    if (!modello) {
        platform::error(QStringLiteral("Il file ") + file + QStringLiteral(" non è un report modificabile:\r") + motivo);
        return;
    }
    FinestraDisegno finestra(owner, file, *modello, std::move(anteprima));
    if (esegui)
        esegui(finestra);
    else
        finestra.exec();
}

} // namespace vardof::output::report
