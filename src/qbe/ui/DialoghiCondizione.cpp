#include "qbe/ui/DialoghiCondizione.h"

#include "platform/Messages.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vardof::qbe {

namespace {

QPushButton *bottone(QWidget *parent, const char *nome, const QString &testo)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout *okCancel(QDialog *d, QPushButton *&ok, QPushButton *&cancel, const QString &testoOk = QStringLiteral("OK"))
{
    ok = bottone(d, "ButtonOk", testoOk);
    cancel = bottone(d, "ButtonCancel", QStringLiteral("Cancel"));
    ok->setDefault(true);
    auto *l = new QHBoxLayout;
    l->addStretch();
    l->addWidget(ok);
    l->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, d, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    return l;
}

} // namespace

// ---- TRangeForm ----------------------------------------------------------------

TRangeForm::TRangeForm(const QString &nome, TipoCampo tipo, QWidget *parent)
    : QDialog(parent)
    , m_nome(nome)
    , m_tipo(tipo)
{
    setObjectName(QStringLiteral("TRangeForm"));
    setWindowTitle(QStringLiteral("Range Valori"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Inserisci i valori dell' intervallo"), this));
    auto *griglia = new QGridLayout;
    const bool data = tipo == TipoCampo::Data;
    EditDa = data ? new TEditData(this) : new QLineEdit(this);
    EditA = data ? new TEditData(this) : new QLineEdit(this);
    EditDa->setObjectName(QStringLiteral("EditDa"));
    EditA->setObjectName(QStringLiteral("EditA"));
    griglia->addWidget(new QLabel(QStringLiteral("iniziale:"), this), 0, 0);
    griglia->addWidget(EditDa, 0, 1);
    griglia->addWidget(new QLabel(QStringLiteral("finale  :"), this), 1, 0);
    griglia->addWidget(EditA, 1, 1);
    layout->addLayout(griglia);
    layout->addLayout(okCancel(this, ButtonOk, ButtonCancel));
    setMinimumWidth(280);
}

void TRangeForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    EditDa->setFocus();
}

void TRangeForm::accept()
{
    const std::optional<QString> c = testoRange(m_nome, EditDa->text(), EditA->text(), m_tipo);
    if (!c) {
        platform::warning(kMsgRange);
        m_condizione.clear();
        QDialog::reject();
        return;
    }
    m_condizione = *c;
    QDialog::accept();
}

// ---- TSceltaTipoForm -------------------------------------------------------------

TSceltaTipoForm::TSceltaTipoForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TSceltaTipoForm"));
    setWindowTitle(QStringLiteral("Informazione richiesta"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Inserire il tipo dato da abbinare a CAST:"), this));
    ComboTipo = new QComboBox(this);
    ComboTipo->setObjectName(QStringLiteral("ComboTipo"));
    ComboTipo->addItems(tipiCast());
    ComboTipo->setCurrentIndex(-1);
    layout->addWidget(ComboTipo);
    layout->addLayout(okCancel(this, ButtonOk, ButtonCancel));
}

QString TSceltaTipoForm::tipo() const
{
    return ComboTipo->currentText();
}

void TSceltaTipoForm::accept()
{
    if (tipo().isEmpty()) {
        platform::warning(kMsgTipoCast);
        return;
    }
    QDialog::accept();
}

// ---- TFormuleForm ------------------------------------------------------------------

TFormuleForm::TFormuleForm(const QStringList &campi, const QString &corrente, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormuleForm"));
    setWindowTitle(QStringLiteral("Inserisci Formule"));
    auto *layout = new QHBoxLayout(this);
    auto *sinistra = new QVBoxLayout;
    EditNomiCampi = new QComboBox(this);
    EditNomiCampi->setObjectName(QStringLiteral("EditNomiCampi"));
    EditNomiCampi->addItems(campi);
    EditNomiCampi->setCurrentIndex(campi.indexOf(corrente));
    sinistra->addWidget(EditNomiCampi);
    ButtonAggiungiCampo = bottone(this, "ButtonAggiungiCampo", QStringLiteral("Aggiungi campo alla formula"));
    sinistra->addWidget(ButtonAggiungiCampo);
    sinistra->addWidget(new QLabel(QStringLiteral("Formula:"), this));
    EditFormula = new QLineEdit(this);
    EditFormula->setObjectName(QStringLiteral("EditFormula"));
    sinistra->addWidget(EditFormula);
    sinistra->addWidget(new QLabel(QStringLiteral("Nome campo di risposta:"), this));
    EditNome = new QLineEdit(this);
    EditNome->setObjectName(QStringLiteral("EditNome"));
    sinistra->addWidget(EditNome);
    sinistra->addStretch();
    sinistra->addLayout(okCancel(this, ButtonOk, ButtonCancel));
    layout->addLayout(sinistra, 1);

    auto *guida = new QLabel(QStringLiteral("Operatori tra numeri: x+y, x-y, x/y, x*y\n"
                                            "Operatori tra date: x+n, x-n\n"
                                            "Operatori tra stringhe: x||y, UPPER()\n"
                                            "\n"
                                            "Funzioni: SUM, COUNT, MIN, MAX, AVG, COALESCE, CAST\n"
                                            "\n"
                                            "Funzioni procedurali: SUMNOGROUP, SOMMAPROG, INTEROQMT\n"
                                            "* Le funzioni procedurali non sono implementate avvalendosi del solo motore\n"
                                            "Parametri SOMMAPROG: (CampoDaSommare,CampoOrdinamento1,..CampoOrdinamentoN)"),
                             this);
    guida->setObjectName(QStringLiteral("PanelGuida"));
    guida->setFrameShape(QFrame::StyledPanel);
    guida->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    guida->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(guida);

    connect(ButtonAggiungiCampo, &QPushButton::clicked, this,
            [this] { EditFormula->setText(EditFormula->text() + EditNomiCampi->currentText()); });
}

void TFormuleForm::accept()
{
    QString formula = EditFormula->text();
    if (eFormulaCast(formula)) {
        const QString campo = EditNomiCampi->currentText();
        if (campo.isEmpty()) {
            platform::warning(kMsgCastSenzaCampo);
            return;
        }
        TSceltaTipoForm scelta(this);
        if (scelta.exec() != QDialog::Accepted)
            return;
        formula = formulaCast(campo, scelta.tipo());
    } else if (formula.trimmed().isEmpty()) {
        platform::warning(kMsgFormulaVuota);
        m_condizione.clear();
        QDialog::reject();
        return;
    }
    m_condizione = testoFormula(formula, EditNome->text().trimmed());
    QDialog::accept();
}

// ---- TRaggMesiForm ------------------------------------------------------------------

TRaggMesiForm::TRaggMesiForm(const QStringList &campiData, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TRaggMesiForm"));
    setWindowTitle(QStringLiteral("Estrazione anni e mesi"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Selezione campo data"), this));
    ComboCampo = new QComboBox(this);
    ComboCampo->setObjectName(QStringLiteral("ComboCampo"));
    ComboCampo->addItems(campiData);
    layout->addWidget(ComboCampo);
    auto *gruppo = new QGroupBox(QStringLiteral("Dato da estrarre:"), this);
    auto *g = new QHBoxLayout(gruppo);
    RadioAnno = new QRadioButton(QStringLiteral("Anno"), gruppo);
    RadioAnno->setObjectName(QStringLiteral("RadioAnno"));
    RadioMese = new QRadioButton(QStringLiteral("Mese"), gruppo);
    RadioMese->setObjectName(QStringLiteral("RadioMese"));
    g->addWidget(RadioAnno);
    g->addWidget(RadioMese);
    layout->addWidget(gruppo);
    layout->addWidget(new QLabel(QStringLiteral("Nome campo di risposta:"), this));
    EditNome = new QLineEdit(this);
    EditNome->setObjectName(QStringLiteral("EditNome"));
    layout->addWidget(EditNome);
    layout->addLayout(okCancel(this, ButtonOk, ButtonCancel));
    for (QRadioButton *r : {RadioAnno, RadioMese})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on && EditNome->text().isEmpty())
                EditNome->setText(nomeEstrazione(dato()));
        });
}

DatoEstratto TRaggMesiForm::dato() const
{
    return RadioAnno->isChecked() ? DatoEstratto::Anno
           : RadioMese->isChecked() ? DatoEstratto::Mese
                                    : DatoEstratto::Nessuno;
}

void TRaggMesiForm::accept()
{
    const QString campo = ComboCampo->currentText();
    const QString nome = EditNome->text().trimmed();
    const QString messaggio = verificaEstrazione(campo, dato(), nome);
    if (!messaggio.isEmpty()) {
        platform::warning(messaggio);
        return;
    }
    m_condizione = testoEstrazione(campo, dato(), nome);
    QDialog::accept();
}

// ---- TEditCondForm --------------------------------------------------------------------

TEditCondForm::TEditCondForm(const QString &condizione, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TEditCondForm"));
    setWindowTitle(QStringLiteral("EDITAZIONE CONDIZIONE QUERY"));
    auto *layout = new QVBoxLayout(this);
    Memo = new QPlainTextEdit(condizione, this);
    Memo->setObjectName(QStringLiteral("Memo"));
    // At most as long as a condition: what is typed beyond is taken back.
    connect(Memo, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = Memo->toPlainText();
        if (t.size() > kLunghezzaCondizione) {
            Memo->setPlainText(t.left(kLunghezzaCondizione));
            Memo->moveCursor(QTextCursor::End);
        }
    });
    layout->addWidget(Memo);
    layout->addLayout(okCancel(this, ButtonOk, ButtonCancel));
    resize(520, 260);
}

QString TEditCondForm::condizione() const
{
    return testoEditor(Memo->toPlainText());
}

} // namespace vardof::qbe
