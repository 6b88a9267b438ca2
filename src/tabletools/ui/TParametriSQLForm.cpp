#include "tabletools/ui/TParametriSQLForm.h"

#include "platform/Messages.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardof::tabletools {

namespace {

// A hint beside the line for the kinds whose typing is not obvious.
QString suggerimento(const db::Column &tipo)
{
    switch (tipo.typeCode) {
    case db::TypeDate: return QStringLiteral("gg/mm/aaaa");
    case db::TypeTime: return QStringLiteral("hh:mm:ss");
    case db::TypeTimestamp: return QStringLiteral("gg/mm/aaaa hh:mm:ss");
    default: return tipo.isNumeric() ? QStringLiteral("numero") : QString();
    }
}

} // namespace

TParametriSQLForm::TParametriSQLForm(const QStringList &nomi, const std::vector<db::Column> &tipi,
                                     const QString &progetto, const QHash<QString, QString> &precedenti,
                                     QWidget *parent)
    : QDialog(parent), m_nomi(nomi), m_tipi(tipi)
{
    setObjectName(QStringLiteral("TParametriSQLForm"));
    setWindowTitle(QStringLiteral("Parametri della query - Ditta: ") + progetto);
    m_tipi.resize(size_t(nomi.size()));
    auto *l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("Valori dei parametri (vuoto = NULL):"), this));
    auto *campi = new QFormLayout;
    for (qsizetype i = 0; i < nomi.size(); ++i) {
        auto *e = new QLineEdit(precedenti.value(nomi[i]), this);
        e->setObjectName(QStringLiteral("EditParametro_") + nomi[i]);
        e->setPlaceholderText(suggerimento(m_tipi[size_t(i)]));
        e->setMinimumWidth(260);
        campi->addRow(QLatin1Char(':') + nomi[i], e);
        EditParametri.push_back(e);
    }
    l->addLayout(campi);
    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    ButtonAnnulla->setAutoDefault(false);
    auto *b = new QHBoxLayout;
    b->addStretch(1);
    b->addWidget(ButtonOk);
    b->addWidget(ButtonAnnulla);
    l->addLayout(b);
    connect(ButtonOk, &QPushButton::clicked, this, &TParametriSQLForm::ButtonOkClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    if (!EditParametri.empty()) {
        EditParametri.front()->setFocus();
        EditParametri.front()->selectAll();
    }
}

void TParametriSQLForm::ButtonOkClick()
{
    ValoriParametri valori;
    for (qsizetype i = 0; i < m_nomi.size(); ++i) {
        const QString testo = EditParametri[size_t(i)]->text();
        const std::optional<db::FieldValue> v = valoreParametro(m_tipi[size_t(i)], testo);
        if (!v) {
            platform::warning(QStringLiteral("Valore non valido per il parametro %1: \"%2\"").arg(m_nomi[i], testo));
            EditParametri[size_t(i)]->setFocus();
            return;
        }
        valori.emplace_back(m_nomi[i], *v);
    }
    m_valori = std::move(valori);
    accept();
}

QHash<QString, QString> TParametriSQLForm::testi() const
{
    QHash<QString, QString> t;
    for (qsizetype i = 0; i < m_nomi.size(); ++i)
        t.insert(m_nomi[i], EditParametri[size_t(i)]->text());
    return t;
}

} // namespace vardof::tabletools
