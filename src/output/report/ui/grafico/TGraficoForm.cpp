#include "output/report/ui/grafico/TGraficoForm.h"

#include "output/report/SceltaGrafico.h"
#include "output/report/ui/grafico/FinestraGrafico.h"
#include "platform/LocalTable.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vardof::output::report {

QList<CampoGrafico> campiGrafico(const std::vector<db::Column> &colonne)
{
    QList<CampoGrafico> out;
    for (const db::Column &c : colonne) {
        const bool numerico = eNumerico(c);
        if (!numerico && !c.isText() && !c.isDateLike())
            continue;
        out.push_back({c.alias.isEmpty() ? c.name : c.alias, numerico});
    }
    return out;
}

// ---- RadioGroup ----------------------------------------------------------------

RadioGroup::RadioGroup(const QString &titolo, const QStringList &voci, int colonne, QWidget *parent)
    : QGroupBox(titolo, parent), m_gruppo(new QButtonGroup(this))
{
    auto *g = new QGridLayout(this);
    g->setContentsMargins(8, 4, 8, 4);
    g->setVerticalSpacing(2);
    const int righe = (int(voci.size()) + colonne - 1) / colonne;
    for (int i = 0; i < voci.size(); ++i) {
        auto *r = new QRadioButton(voci.at(i), this);
        m_gruppo->addButton(r, i);
        g->addWidget(r, i % righe, i / righe);
    }
}

int RadioGroup::itemIndex() const
{
    return m_gruppo->checkedId();
}

void RadioGroup::setItemIndex(int indice)
{
    if (indice >= 0 && indice < count()) {
        m_gruppo->button(indice)->setChecked(true);
        return;
    }
    // An exclusive group never lets its last choice go by itself.
    m_gruppo->setExclusive(false);
    for (QAbstractButton *b : m_gruppo->buttons())
        b->setChecked(false);
    m_gruppo->setExclusive(true);
}

int RadioGroup::count() const
{
    return int(m_gruppo->buttons().size());
}

QRadioButton *RadioGroup::voce(int i) const
{
    return qobject_cast<QRadioButton *>(m_gruppo->button(i));
}

// ---- TGraficoForm ---------------------------------------------------------------

TGraficoForm::TGraficoForm(QWidget *owner, const QString &ditta, const QString &dirBin, const QString &dirLavoro,
                           SorgenteStampa &risposta, const QList<CampoGrafico> &campi)
    : QDialog(owner), m_ditta(ditta), m_dirBin(dirBin), m_dirLavoro(dirLavoro), m_risposta(risposta), m_campi(campi)
{
    setObjectName(QStringLiteral("TGraficoForm"));
    setWindowTitle(QStringLiteral("Elaborazione grafici"));

    auto nome = [](QWidget *w, const char *n) {
        w->setObjectName(QLatin1String(n));
        return w;
    };
    auto bottone = [&](const char *n, const QString &testo) {
        auto *b = new QPushButton(testo, this);
        nome(b, n);
        b->setAutoDefault(false);
        return b;
    };

    EditDescrizione1 = new QComboBox(this);
    nome(EditDescrizione1, "EditDescrizione1");
    EditValore = new QComboBox(this);
    nome(EditValore, "EditValore");
    ButtonCampiValoriAggiuntivi = bottone("ButtonCampiValoriAggiuntivi", QStringLiteral("&Campi valori aggiunti"));
    ListBox1 = new QListWidget(this);
    nome(ListBox1, "ListBox1");
    ListBox1->setEnabled(false);
    ListBox1->setFixedHeight(65);
    ListBox2 = new QListWidget(this);
    nome(ListBox2, "ListBox2");
    ListBox2->setSelectionMode(QAbstractItemView::MultiSelection);
    ListBox2->setMinimumSize(225, 200);
    ListBox2->hide();

    ButtonTitolo = bottone("ButtonTitolo", QStringLiteral("&Titolo grafico"));
    ButtonDescrAsseX = bottone("ButtonDescrAsseX", QStringLiteral("Descrizione asse &x"));
    ButtonDescrAsseY = bottone("ButtonDescrAsseY", QStringLiteral("Descrizione asse &y"));
    ButtonDescrAsseZ = bottone("ButtonDescrAsseZ", QStringLiteral("Descrizione asse &z"));
    EditTitolo = new QLineEdit(this);
    nome(EditTitolo, "EditTitolo");
    EditDescrAsseX = new QLineEdit(this);
    nome(EditDescrAsseX, "EditDescrAsseX");
    EditDescrAsseY = new QLineEdit(this);
    nome(EditDescrAsseY, "EditDescrAsseY");
    EditDescrAsseZ = new QLineEdit(this);
    nome(EditDescrAsseZ, "EditDescrAsseZ");

    RadioGroup1 = new RadioGroup(QStringLiteral("Tipo grafico (valori x/y)"),
                                 {QStringLiteral("Normale"), QStringLiteral("Normale 3D"), QStringLiteral("A linee"),
                                  QStringLiteral("A barre"), QStringLiteral("A torta")},
                                 1, this);
    nome(RadioGroup1, "RadioGroup1");
    RadioGroup2 = new RadioGroup(QStringLiteral("Tipo grafico (valori x/y/z)"),
                                 {QStringLiteral("Normale"), QStringLiteral("Normale 3D"), QStringLiteral("In pila"),
                                  QStringLiteral("In pila 3D"), QStringLiteral("Percentuali"),
                                  QStringLiteral("Percentuali 3D"), QStringLiteral("A linee"), QStringLiteral("Area"),
                                  QStringLiteral("A barre 3D"), QStringLiteral("A torta con torte a dim. fissa"),
                                  QStringLiteral("A torta con torte a dim. proporz.")},
                                 2, this);
    nome(RadioGroup2, "RadioGroup2");
    RadioGroup2->setEnabled(false);
    RadioGroup3 = new RadioGroup(QStringLiteral("Orientamento"),
                                 {QStringLiteral("Orizzontale"), QStringLiteral("Verticale")}, 2, this);
    nome(RadioGroup3, "RadioGroup3");
    RadioGroup3->setItemIndex(0);
    RadioGroup4 = new RadioGroup(QStringLiteral("Ordinamento"), {QStringLiteral("Ordina"), QStringLiteral("Originale")},
                                 2, this);
    nome(RadioGroup4, "RadioGroup4");
    RadioGroup4->setItemIndex(0);

    ButtonVisualizza = bottone("ButtonVisualizza", QStringLiteral("&Visualizza"));
    ButtonChiudi = bottone("ButtonChiudi", QStringLiteral("Ch&iudi"));
    ButtonOK = bottone("ButtonOK", QStringLiteral("OK"));
    ButtonCancel = bottone("ButtonCancel", QStringLiteral("Cancel"));
    ButtonOK->hide();
    ButtonCancel->hide();

    // Layout: the two fields and the further ones on top; below them the
    // texts of the chart (or, while choosing further fields, the
    // candidates with OK and Cancel); the chart types; the buttons.
    auto *l = new QVBoxLayout(this);
    auto *campiG = new QGridLayout;
    campiG->setColumnStretch(0, 1);
    campiG->setColumnStretch(1, 1);
    campiG->setHorizontalSpacing(40);
    campiG->addWidget(new QLabel(QStringLiteral("Campo descrizione asse x:"), this), 0, 0);
    campiG->addWidget(new QLabel(QStringLiteral("Campo valori asse y:"), this), 0, 1);
    campiG->addWidget(EditDescrizione1, 1, 0);
    campiG->addWidget(EditValore, 1, 1);
    campiG->addWidget(ButtonCampiValoriAggiuntivi, 2, 0, Qt::AlignTop);
    campiG->addWidget(ListBox1, 2, 1);
    l->addLayout(campiG);

    auto *testi = new QGridLayout;
    const std::pair<QPushButton *, QLineEdit *> righe[] = {
        {ButtonTitolo, EditTitolo}, {ButtonDescrAsseX, EditDescrAsseX},
        {ButtonDescrAsseY, EditDescrAsseY}, {ButtonDescrAsseZ, EditDescrAsseZ}};
    int r = 0;
    for (const auto &riga : righe) {
        // A named copy: older compilers do not capture structured bindings.
        QPushButton *b = riga.first;
        QLineEdit *e = riga.second;
        testi->addWidget(b, r, 0);
        testi->addWidget(e, r, 1);
        connect(b, &QPushButton::clicked, e, [e] { e->setFocus(); });
        m_normale << b << e;
        ++r;
    }
    testi->setColumnStretch(1, 1);
    auto *sceltaB = new QVBoxLayout;
    sceltaB->addWidget(ButtonOK);
    sceltaB->addWidget(ButtonCancel);
    sceltaB->addStretch();
    testi->addWidget(ListBox2, 0, 0, 4, 1);
    testi->addLayout(sceltaB, 0, 1, 4, 1);
    l->addLayout(testi);

    auto *tipi = new QHBoxLayout;
    tipi->addWidget(RadioGroup1);
    tipi->addWidget(RadioGroup2, 1);
    l->addLayout(tipi);
    auto *fondo = new QHBoxLayout;
    fondo->addWidget(RadioGroup3);
    fondo->addWidget(RadioGroup4);
    fondo->addStretch();
    auto *azioni = new QVBoxLayout;
    azioni->addStretch();
    auto *azioniR = new QHBoxLayout;
    azioniR->addWidget(ButtonVisualizza);
    azioniR->addWidget(ButtonChiudi);
    azioni->addLayout(azioniR);
    fondo->addLayout(azioni);
    l->addLayout(fondo);
    l->addStretch();
    m_normale << RadioGroup1 << RadioGroup2 << RadioGroup3 << RadioGroup4 << ButtonVisualizza << ButtonChiudi;

    for (const CampoGrafico &c : std::as_const(m_campi))
        EditDescrizione1->addItem(c.nome);
    EditDescrizione1->setCurrentIndex(-1);

    connect(EditDescrizione1, &QComboBox::currentIndexChanged, this, &TGraficoForm::EditDescrizione1Change);
    connect(EditValore, &QComboBox::currentIndexChanged, this, &TGraficoForm::EditValoreChange);
    connect(ButtonCampiValoriAggiuntivi, &QPushButton::clicked, this, &TGraficoForm::ButtonCampiValoriAggiuntiviClick);
    connect(ButtonOK, &QPushButton::clicked, this, &TGraficoForm::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TGraficoForm::ButtonCancelClick);
    connect(ButtonVisualizza, &QPushButton::clicked, this, &TGraficoForm::ButtonVisualizzaClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::reject);

    resize(sizeHint().expandedTo(QSize(540, 0)));
    if (const QScreen *s = owner ? owner->screen() : QApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

TGraficoForm::~TGraficoForm()
{
    liberaTabelle();
}

FinestraGrafico *TGraficoForm::ultimoGrafico() const
{
    return m_ultimo.data();
}

void TGraficoForm::done(int esito)
{
    liberaTabelle();
    QDialog::done(esito);
}

void TGraficoForm::liberaTabelle()
{
    // A table under another name is this window's own: it goes with it,
    // unless another copy of the system has taken it up meanwhile.
    if (!m_tabellaUsata)
        return;
    platform::ILocalTables &tabelle = platform::localTables();
    for (const QString &percorso : m_alternative) {
        if (auto t = tabelle.openExclusive(percorso)) {
            t->close();
            t.reset();
            tabelle.remove(percorso);
        }
    }
    m_alternative.clear();
}

void TGraficoForm::svuotaAggiuntivi()
{
    if (ListBox1->count() == 0)
        return;
    ListBox1->clear();
    RadioGroup1->setEnabled(true);
    RadioGroup2->setEnabled(false);
}

void TGraficoForm::EditDescrizione1Change()
{
    const QString x = EditDescrizione1->currentText();
    {
        const QSignalBlocker blocco(EditValore);
        EditValore->clear();
        for (const CampoGrafico &c : std::as_const(m_campi))
            if (c.numerico && c.nome != x)
                EditValore->addItem(c.nome);
        EditValore->setCurrentIndex(-1);
    }
    svuotaAggiuntivi();
    EditDescrAsseX->setText(x);
    EditDescrAsseY->clear();
}

void TGraficoForm::EditValoreChange()
{
    EditDescrAsseY->setText(EditValore->currentText());
    svuotaAggiuntivi();
}

void TGraficoForm::facciaScelta(bool scelta)
{
    for (QWidget *w : std::as_const(m_normale))
        w->setVisible(!scelta);
    ListBox2->setVisible(scelta);
    ButtonOK->setVisible(scelta);
    ButtonCancel->setVisible(scelta);
    ListBox1->setEnabled(scelta);
    EditValore->setEnabled(!scelta);
}

void TGraficoForm::ButtonCampiValoriAggiuntiviClick()
{
    if (EditValore->currentIndex() < 0 || EditDescrizione1->currentIndex() < 0) {
        platform::showMessage(QStringLiteral("Impostare prima i Campi relativi alle coordinate X e Y"));
        return;
    }
    facciaScelta(true);
    ListBox2->clear();
    for (int i = 0; i < EditValore->count(); ++i)
        if (i != EditValore->currentIndex())
            ListBox2->addItem(EditValore->itemText(i));
    ListBox2->setFocus();
}

void TGraficoForm::ButtonOKClick()
{
    ListBox1->clear();
    for (int i = 0; i < ListBox2->count(); ++i)
        if (ListBox2->item(i)->isSelected())
            ListBox1->addItem(ListBox2->item(i)->text());
    facciaScelta(false);
    if (ListBox1->count() > 0) {
        RadioGroup1->setItemIndex(-1);
        RadioGroup1->setEnabled(false);
        RadioGroup2->setEnabled(true);
    } else {
        RadioGroup1->setEnabled(true);
        RadioGroup2->setEnabled(false);
        RadioGroup2->setItemIndex(-1);
    }
}

void TGraficoForm::ButtonCancelClick()
{
    facciaScelta(false);
}

void TGraficoForm::ButtonVisualizzaClick()
{
    if (EditDescrizione1->currentIndex() < 0 || EditValore->currentIndex() < 0) {
        platform::showMessage(QStringLiteral("Dati non sufficienti per la creazione del grafico!\rVerificare e correggere"));
        return;
    }
    const bool xy = RadioGroup1->isEnabled();
    if ((xy && RadioGroup1->itemIndex() < 0) || (!xy && RadioGroup2->isEnabled() && RadioGroup2->itemIndex() < 0)) {
        platform::showMessage(QStringLiteral("Selezionare il tipo grafico da visualizzare!"));
        return;
    }
    if (!xy && !RadioGroup2->isEnabled())
        return; // neither group offered: nothing to choose from

    QStringList valori{EditValore->currentText()};
    for (int i = 0; i < ListBox1->count(); ++i)
        valori << ListBox1->item(i)->text();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString motivo;
    const bool scritta = ScriviTabellaPunti(m_risposta, EditDescrizione1->currentText(), valori,
                                            RadioGroup4->itemIndex() == 1, m_dirLavoro, m_tabella, &motivo);
    QApplication::restoreOverrideCursor();
    m_tabellaUsata = true;
    if (m_tabella.nome.compare(kGraftmp, Qt::CaseInsensitive) != 0)
        m_alternative.insert(m_tabella.percorso);
    if (!scritta) {
        platform::error(QStringLiteral("Impossibile creare il grafico:\r") + motivo);
        return;
    }

    m_modello = modelloGrafico(!xy, xy ? RadioGroup1->itemIndex() : RadioGroup2->itemIndex(),
                               RadioGroup3->itemIndex() == 1);
    const std::optional<SceltaGrafico> scelta = sceltaGrafico(m_modello);
    if (!scelta)
        return;
    auto *finestra = new FinestraGrafico(this, *scelta, raccogliPunti(m_tabella.punti),
                                         testiGrafico(EditTitolo->text(), EditDescrAsseX->text(),
                                                      EditDescrAsseY->text(), EditDescrAsseZ->text()));
    finestra->show();
    m_ultimo = finestra;
}

// ---- "&Grafico" of the query window ------------------------------------------

void ButtonGraficoClick(QWidget *owner, ContestoGrafico &c)
{
    SorgenteRisposta risposta(c.risposta);
    QString motivo;
    if (!risposta.apri(&motivo)) {
        platform::error(QStringLiteral("Impossibile leggere la risposta della query:\r") + motivo);
        return;
    }
    const QList<CampoGrafico> campi = campiGrafico(risposta.colonne());
    TGraficoForm finestra(owner, c.ditta, c.dirBin, c.dirLavoro, risposta, campi);
    finestra.setFont(c.font);
    if (c.esegui)
        c.esegui(finestra);
    else
        finestra.exec();
}

} // namespace vardof::output::report
