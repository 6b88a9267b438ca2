#include "qbe/ui/DialoghiOrdinamento.h"

#include "platform/Messages.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace vardof::qbe {

namespace {

constexpr int kRuoloColonna = Qt::UserRole + 1;

QListWidget *lista(QWidget *parent, const char *nome)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QLatin1String(nome));
    l->setMinimumHeight(160);
    return l;
}

QPushButton *bottone(QWidget *parent, const char *nome, const QString &testo)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

QWidget *colonnaConTitolo(QWidget *parent, const QString &titolo, QListWidget *l)
{
    auto *w = new QWidget(parent);
    auto *v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(new QLabel(titolo, w));
    v->addWidget(l);
    return w;
}

} // namespace

// ---- TOrdETotForm -----------------------------------------------------------

TOrdETotForm::TOrdETotForm(const QStringList &nomi, const ListeOrdETot &liste, QWidget *parent)
    : QDialog(parent)
    , m_nomi(nomi)
{
    setObjectName(QStringLiteral("TOrdETotForm"));
    setWindowTitle(QStringLiteral("Ordinamento e Totali"));
    if (parent)
        setFont(parent->font());

    ListBox1 = lista(this, "ListBox1");
    ListBox2 = lista(this, "ListBox2");
    ListBox3 = lista(this, "ListBox3");
    ListBox4 = lista(this, "ListBox4");

    auto *ordinamento = new QGroupBox(QStringLiteral("Chiave di ordinamento:"), this);
    auto *o = new QHBoxLayout(ordinamento);
    o->addWidget(colonnaConTitolo(ordinamento, QStringLiteral("Campi disponibili:"), ListBox1));
    o->addWidget(colonnaConTitolo(ordinamento, QStringLiteral("Chiave:"), ListBox2));
    auto *criterio = new QGroupBox(QStringLiteral("Criterio di ordinamento:"), ordinamento);
    criterio->setObjectName(QStringLiteral("RadioGroup1"));
    auto *c = new QVBoxLayout(criterio);
    Crescente = new QRadioButton(QStringLiteral("Crescente"), criterio);
    Crescente->setObjectName(QStringLiteral("Crescente"));
    Decrescente = new QRadioButton(QStringLiteral("Decrescente"), criterio);
    Decrescente->setObjectName(QStringLiteral("Decrescente"));
    c->addWidget(Crescente);
    c->addWidget(Decrescente);
    c->addStretch();
    o->addWidget(criterio);

    auto *totali = new QGroupBox(QStringLiteral("Campi con totali alla fine:"), this);
    auto *t = new QHBoxLayout(totali);
    t->addWidget(colonnaConTitolo(totali, QStringLiteral("Campi numerici:"), ListBox3));
    t->addWidget(colonnaConTitolo(totali, QStringLiteral("Campi con totali:"), ListBox4));

    ButtonAggiorna = bottone(this, "ButtonAggiorna", QStringLiteral("&Aggiorna"));
    ButtonChiudi = bottone(this, "ButtonChiudi", QStringLiteral("Ch&iudi"));
    auto *bottoni = new QHBoxLayout;
    bottoni->addStretch();
    bottoni->addWidget(ButtonAggiorna);
    bottoni->addWidget(ButtonChiudi);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ordinamento);
    layout->addWidget(totali);
    layout->addWidget(new QLabel(QStringLiteral("Doppio clic su un campo per spostarlo nell'altro elenco."), this));
    layout->addLayout(bottoni);

    riempi(ListBox1, liste.disponibili);
    riempi(ListBox2, liste.chiave);
    riempi(ListBox3, liste.numerici);
    riempi(ListBox4, liste.totali);
    (liste.decrescente ? Decrescente : Crescente)->setChecked(true);

    for (QListWidget *l : {ListBox1, ListBox2, ListBox3, ListBox4})
        connect(l, &QListWidget::itemDoubleClicked, this,
                [this, l](QListWidgetItem *item) { sposta(l, l->row(item)); });
    connect(ButtonAggiorna, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void TOrdETotForm::riempi(QListWidget *l, const std::vector<int> &colonne)
{
    for (int c : colonne) {
        auto *item = new QListWidgetItem(m_nomi.value(c), l);
        item->setData(kRuoloColonna, c);
    }
}

std::vector<int> TOrdETotForm::colonne(const QListWidget *l)
{
    std::vector<int> out;
    for (int i = 0; i < l->count(); ++i)
        out.push_back(l->item(i)->data(kRuoloColonna).toInt());
    return out;
}

void TOrdETotForm::sposta(QListWidget *da, int riga)
{
    if (riga < 0 || riga >= da->count())
        return;
    QListWidget *a = da == ListBox1 ? ListBox2 : da == ListBox2 ? ListBox1 : da == ListBox3 ? ListBox4 : ListBox3;
    if (a == ListBox2 && !chiaveAmmessa(ListBox2->count())) {
        platform::warning(kMsgTroppeChiavi);
        return;
    }
    a->addItem(da->takeItem(riga));
}

ListeOrdETot TOrdETotForm::liste() const
{
    ListeOrdETot l;
    l.disponibili = colonne(ListBox1);
    l.chiave = colonne(ListBox2);
    l.numerici = colonne(ListBox3);
    l.totali = colonne(ListBox4);
    l.decrescente = Decrescente->isChecked();
    return l;
}

// ---- TSommaForm ----------------------------------------------------------------

TSommaForm::TSommaForm(const std::vector<std::pair<QString, int>> &colonne, std::function<void(int)> calcola,
                       QWidget *parent)
    : QDialog(parent)
    , m_colonne(colonne)
{
    setObjectName(QStringLiteral("TSommaForm"));
    setWindowTitle(QStringLiteral("Calcolo somma"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Selezionare il campo da sommare:"), this));
    ComboCampi = new QComboBox(this);
    ComboCampi->setObjectName(QStringLiteral("ComboCampi"));
    for (const auto &[nome, colonna] : colonne)
        ComboCampi->addItem(nome, colonna);
    layout->addWidget(ComboCampi);
    ButtonCalcola = bottone(this, "ButtonCalcola", QStringLiteral("&Calcola somma"));
    ButtonOk = bottone(this, "ButtonOk", QStringLiteral("OK"));
    // Enter closes the dialog, whichever button was pressed last.
    ButtonOk->setDefault(true);
    auto *bottoni = new QHBoxLayout;
    bottoni->addWidget(ButtonCalcola);
    bottoni->addStretch();
    bottoni->addWidget(ButtonOk);
    layout->addLayout(bottoni);
    connect(ButtonCalcola, &QPushButton::clicked, this, [this, calcola] {
        if (ComboCampi->currentIndex() >= 0 && calcola)
            calcola(ComboCampi->currentData().toInt());
    });
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(300);
}

// ---- TQRaggruppamentiForm --------------------------------------------------------

TQRaggruppamentiForm::TQRaggruppamentiForm(const QString &campo, const QString &nomeColonna, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TQRaggruppamentiForm"));
    setWindowTitle(QStringLiteral("Raggruppamenti"));
    auto *layout = new QVBoxLayout(this);
    auto *spiegazione = new QLabel(QStringLiteral("Conteggia i valori sul campo con il fuoco corrente per ogni "
                                                  "combinazione di valori differenti sui campi selezionati"),
                                   this);
    spiegazione->setWordWrap(true);
    layout->addWidget(spiegazione);
    auto *griglia = new QGridLayout;
    griglia->addWidget(new QLabel(QStringLiteral("Campo con il fuoco corrente"), this), 0, 0);
    EditCampo = new QLineEdit(campo, this);
    EditCampo->setObjectName(QStringLiteral("EditCampo"));
    EditCampo->setReadOnly(true);
    griglia->addWidget(EditCampo, 0, 1);
    griglia->addWidget(new QLabel(QStringLiteral("Nome colonna con conteggi"), this), 1, 0);
    EditNome = new QLineEdit(nomeColonna, this);
    EditNome->setObjectName(QStringLiteral("EditNome"));
    griglia->addWidget(EditNome, 1, 1);
    layout->addLayout(griglia);
    CheckDeseleziona = new QCheckBox(QStringLiteral("Deseleziona tutti i campi"), this);
    CheckDeseleziona->setObjectName(QStringLiteral("CheckDeseleziona"));
    layout->addWidget(CheckDeseleziona);
    ButtonOk = bottone(this, "ButtonOk", QStringLiteral("Ok"));
    ButtonCancel = bottone(this, "ButtonCancel", QStringLiteral("Cancel"));
    ButtonOk->setDefault(true);
    auto *bottoni = new QHBoxLayout;
    bottoni->addStretch();
    bottoni->addWidget(ButtonOk);
    bottoni->addWidget(ButtonCancel);
    layout->addLayout(bottoni);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(380);
}

QString TQRaggruppamentiForm::nomeColonna() const
{
    return EditNome->text().trimmed();
}

bool TQRaggruppamentiForm::deselezionaTutti() const
{
    return CheckDeseleziona->isChecked();
}

// ---- TCalcSommaForm ----------------------------------------------------------------

TCalcSommaForm::TCalcSommaForm(QStringList campi, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TCalcSommaForm"));
    setWindowTitle(QStringLiteral("Inserimento somma"));
    campi.sort();
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Campo Da Sommare"), this), 0, 0);
    ComboCampo = new QComboBox(this);
    ComboCampo->setObjectName(QStringLiteral("ComboCampo"));
    ComboCampo->addItems(campi);
    ComboCampo->setCurrentIndex(-1);
    layout->addWidget(ComboCampo, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Titolo Somma"), this), 1, 0);
    EditTitolo = new QLineEdit(QStringLiteral("Tot"), this);
    EditTitolo->setObjectName(QStringLiteral("EditTitolo"));
    layout->addWidget(EditTitolo, 1, 1);
    auto *spiegazione = new QLabel(QStringLiteral("Il raggruppamento corrente è legato \n"
                                                  "ai campi visualizzati nella query:\n"
                                                  "viene prodotta una somma\n"
                                                  "per ogni riga di raggruppamento,\n"
                                                  "cioè per ogni combinazione\n"
                                                  "di valori differenti\n"
                                                  "dei campi visualizzati.\n"
                                                  "I campi nascosti non raggruppano."),
                                   this);
    layout->addWidget(spiegazione, 2, 0, 1, 2);
    ButtonOk = bottone(this, "ButtonOk", QStringLiteral("Ok"));
    ButtonCancel = bottone(this, "ButtonCancel", QStringLiteral("Cancel"));
    auto *bottoni = new QHBoxLayout;
    bottoni->addStretch();
    bottoni->addWidget(ButtonOk);
    bottoni->addWidget(ButtonCancel);
    layout->addLayout(bottoni, 3, 0, 1, 2);
    connect(ButtonOk, &QPushButton::clicked, this, &TCalcSommaForm::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TCalcSommaForm::campo() const
{
    return ComboCampo->currentText();
}

QString TCalcSommaForm::titolo() const
{
    return EditTitolo->text().trimmed();
}

void TCalcSommaForm::accept()
{
    if (campo().isEmpty() || titolo().isEmpty())
        return;
    QDialog::accept();
}

} // namespace vardof::qbe
