#include "grid/ui/TRQmtGridForm.h"

#include "platform/widgets/TEditData.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vardof::grid {

GruppoOpzioni::GruppoOpzioni(const QString &titolo, const QStringList &voci, int colonne, QWidget *parent)
    : QGroupBox(titolo, parent)
    , m_griglia(new QGridLayout(this))
{
    m_griglia->setContentsMargins(6, 2, 6, 2);
    m_griglia->setVerticalSpacing(0);
    setVoci(voci, colonne);
}

void GruppoOpzioni::setVoci(const QStringList &voci, int colonne)
{
    const int precedente = itemIndex();
    qDeleteAll(m_voci);
    m_voci.clear();
    for (int i = 0; i < voci.size(); ++i) {
        auto *b = new QRadioButton(voci[i], this);
        m_griglia->addWidget(b, i / std::max(1, colonne), i % std::max(1, colonne));
        connect(b, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit scelta(i);
        });
        m_voci << b;
    }
    setItemIndex(precedente);
}

QStringList GruppoOpzioni::voci() const
{
    QStringList v;
    for (QRadioButton *b : m_voci)
        v << b->text();
    return v;
}

int GruppoOpzioni::itemIndex() const
{
    for (int i = 0; i < m_voci.size(); ++i)
        if (m_voci[i]->isChecked())
            return i;
    return -1;
}

void GruppoOpzioni::setItemIndex(int indice)
{
    if (indice >= 0 && indice < m_voci.size()) {
        m_voci[indice]->setChecked(true);
        return;
    }
    // No choice: every button off.
    for (QRadioButton *b : m_voci) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

QRadioButton *GruppoOpzioni::voce(int indice) const
{
    return indice >= 0 && indice < m_voci.size() ? m_voci[indice] : nullptr;
}

TRQmtGridForm::TRQmtGridForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RQmtGridForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(262, 183);

    Label1 = new QLabel(QStringLiteral("Stringa di ricerca"), this);
    Label1->setGeometry(8, 2, 200, 18);
    EditStringa = new QLineEdit(this);
    EditStringa->setGeometry(8, 20, 200, 22);
    ButtonAggRete = new QPushButton(QStringLiteral("&+"), this);
    ButtonAggRete->setGeometry(214, 20, 40, 22);
    EditData1 = new platform::TEditData(this);
    EditData1->setGeometry(EditStringa->geometry());
    EditData1->hide();
    Label2 = new QLabel(QStringLiteral("e (facoltativo):"), this);
    Label2->setGeometry(8, 46, 90, 20);
    Label2->hide();
    EditData2 = new platform::TEditData(this);
    EditData2->setGeometry(100, 45, 108, 22);
    EditData2->hide();
    EditUpper = new QCheckBox(QStringLiteral("Upper"), this);
    EditUpper->setGeometry(200, 46, 60, 20);
    EditUpper->setChecked(true);
    EditTipoRicerca = new GruppoOpzioni(QStringLiteral(" Tipo ricerca "),
                                        {QStringLiteral(">="), QStringLiteral("LIKE %%"), QStringLiteral("LIKE %")}, 3,
                                        this);
    EditTipoRicerca->setGeometry(8, 68, 246, 40);
    EditTipoRicerca->setItemIndex(0);
    EditOrdinamento = new GruppoOpzioni(QStringLiteral(" Tipo ordinamento "),
                                        {QStringLiteral("No"), QStringLiteral("Cresc."), QStringLiteral("Decres.")}, 3,
                                        this);
    EditOrdinamento->setGeometry(8, 110, 246, 40);
    EditOrdinamento->setItemIndex(1);
    EditGenerica = new QCheckBox(QStringLiteral("Generica"), this);
    EditGenerica->setGeometry(8, 156, 100, 22);
    EditGenerica->setEnabled(false);
    ButtonEsegui = new QPushButton(QStringLiteral("Esegui"), this);
    ButtonEsegui->setGeometry(180, 156, 74, 22);
    ButtonEsegui->setEnabled(false);
    ButtonEsegui->setAutoDefault(false);
    ButtonAggRete->setAutoDefault(false);

    const struct { QWidget *w; const char *name; } nomi[] = {
        {Label1, "Label1"}, {EditStringa, "EditStringa"}, {ButtonAggRete, "ButtonAggRete"},
        {EditData1, "EditData1"}, {EditData2, "EditData2"}, {Label2, "Label2"}, {EditUpper, "EditUpper"},
        {EditTipoRicerca, "EditTipoRicerca"}, {EditOrdinamento, "EditOrdinamento"},
        {EditGenerica, "EditGenerica"}, {ButtonEsegui, "ButtonEsegui"}};
    for (const auto &n : nomi)
        n.w->setObjectName(QLatin1String(n.name));

    EditStringa->installEventFilter(this);
    EditData1->installEventFilter(this);
    EditData2->installEventFilter(this);
    connect(EditStringa, &QLineEdit::textChanged, this, [this] {
        if (!m_generica)
            emit ricercaRichiesta();
    });
    connect(ButtonAggRete, &QPushButton::clicked, this, &TRQmtGridForm::ricercaRichiesta);
    connect(ButtonEsegui, &QPushButton::clicked, this, &TRQmtGridForm::esegui);
    connect(EditGenerica, &QCheckBox::toggled, this, &TRQmtGridForm::cambiaGenerica);
}

void TRQmtGridForm::setModoData(bool data)
{
    m_modoData = data;
    EditStringa->setVisible(!data);
    EditData1->setVisible(data);
    EditData2->setVisible(data);
    Label2->setVisible(data);
    EditTipoRicerca->setVisible(!data);
    if (data) {
        Label1->setText(QStringLiteral("Inserisci una data compresa tra:"));
        EditData1->setFocus();
    }
}

void TRQmtGridForm::cambiaGenerica(bool attiva)
{
    m_generica = attiva;
    if (attiva) {
        m_titoloPrecedente = windowTitle();
        setWindowTitle(QStringLiteral("Ricerca su TUTTI i campi"));
        EditStringa->show();
        EditData1->hide();
    } else {
        setWindowTitle(m_titoloPrecedente);
        // Back to the field search as it was opened.
        EditStringa->setVisible(!m_modoData);
        EditData1->setVisible(m_modoData);
    }
    EditTipoRicerca->setEnabled(!attiva);
    EditUpper->setEnabled(!attiva);
    ButtonAggRete->setEnabled(!attiva);
    EditOrdinamento->setEnabled(!attiva);
    ButtonEsegui->setEnabled(attiva);
}

bool TRQmtGridForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && (watched == EditStringa || watched == EditData1 || watched == EditData2)
        && !(watched == EditStringa && m_generica)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit invio();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            emit esc();
            return true;
        }
        // An apostrophe would end the quoted literal of the statement.
        if (key->text() == QLatin1String("'")) {
            static_cast<QLineEdit *>(watched)->insert(QString(QChar(0x00B4)));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TRQmtGridForm::keyPressEvent(QKeyEvent *event)
{
    // Enter belongs to the boxes; the dialog has no default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vardof::grid
