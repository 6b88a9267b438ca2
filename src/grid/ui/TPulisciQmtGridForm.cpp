#include "grid/ui/TPulisciQmtGridForm.h"

#include "db/Error.h"
#include "db/Transaction.h"
#include "grid/ArchivioAspetto.h"
#include "params/TTabXForm.h"
#include "platform/Messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vardof::grid {

TPulisciQmtGridForm::TPulisciQmtGridForm(params::TTabXForm *store, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_tra(std::make_unique<db::Transaction>(
          store->IBDatabase1(), QStringList{QStringLiteral("isc_tpb_concurrency"), QStringLiteral("isc_tpb_nowait")}))
{
    setObjectName(QStringLiteral("PulisciQmtGridForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Pulisci QmtGrid") + QLatin1Char(' ') + store->Ditta + QStringLiteral(" - Utente: ")
                   + store->NomeUtente);

    auto *titolo = new QLabel(QStringLiteral("Utente"), this);
    ListBoxUtenti = new QListWidget(this);
    CheckBoxSpecSit = new QCheckBox(QStringLiteral("Specifica situazione"), this);
    EditSituazione = new QLineEdit(this);
    CheckBoxSpecProgetto = new QCheckBox(QStringLiteral("Specifica progetto"), this);
    EditProgetto = new QLineEdit(this);
    BitBtnPulisci = new QPushButton(QStringLiteral("Pulisci"), this);
    BitBtnCancel = new QPushButton(QStringLiteral("Annulla"), this);
    BitBtnPulisci->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    const struct { QWidget *w; const char *name; } nomi[] = {
        {ListBoxUtenti, "ListBoxUtenti"}, {CheckBoxSpecSit, "CheckBoxSpecSit"}, {EditSituazione, "EditSituazione"},
        {CheckBoxSpecProgetto, "CheckBoxSpecProgetto"}, {EditProgetto, "EditProgetto"},
        {BitBtnPulisci, "BitBtnPulisci"}, {BitBtnCancel, "BitBtnCancel"}};
    for (const auto &n : nomi)
        n.w->setObjectName(QLatin1String(n.name));
    // The boxes keep their place while hidden, so ticking does not move the window's rows.
    for (QLineEdit *e : {EditSituazione, EditProgetto}) {
        QSizePolicy p = e->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        e->setSizePolicy(p);
        e->hide();
    }

    auto *opzioni = new QGridLayout;
    opzioni->addWidget(CheckBoxSpecSit, 0, 0);
    opzioni->addWidget(EditSituazione, 0, 1);
    opzioni->addWidget(CheckBoxSpecProgetto, 1, 0);
    opzioni->addWidget(EditProgetto, 1, 1);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(BitBtnPulisci);
    pulsanti->addWidget(BitBtnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(titolo);
    layout->addWidget(ListBoxUtenti);
    layout->addLayout(opzioni);
    layout->addLayout(pulsanti);
    resize(380, 360);

    for (auto [check, box] : {std::pair{CheckBoxSpecSit, EditSituazione}, std::pair{CheckBoxSpecProgetto, EditProgetto}}) {
        QLineEdit *edit = box;
        connect(check, &QCheckBox::toggled, this, [edit](bool on) {
            edit->clear();
            edit->setVisible(on);
        });
    }
    connect(BitBtnPulisci, &QPushButton::clicked, this, &TPulisciQmtGridForm::BitBtnPulisciClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    try {
        ListBoxUtenti->addItems(vociUtenti(store->IBDatabaseUser(), store->TransazioneUser()));
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore durante la lettura degli utenti:") + QLatin1Char('\r') + e.message());
    }
}

TPulisciQmtGridForm::~TPulisciQmtGridForm()
{
    // The transaction goes before the store that owns its connection.
    m_tra.reset();
    m_proprio.reset();
}

void TPulisciQmtGridForm::adottaStore(std::unique_ptr<params::TTabXForm> store)
{
    m_proprio = std::move(store);
}

void TPulisciQmtGridForm::BitBtnPulisciClick()
{
    QListWidgetItem *voce = ListBoxUtenti->currentItem();
    const std::optional<int> codice = voce ? codiceUtenteDaVoce(voce->text()) : std::nullopt;
    if (codice) {
        try {
            pulisciAspetti(m_store->IBDatabase1(), *m_tra, *codice,
                           CheckBoxSpecProgetto->isChecked() ? std::optional<QString>(EditProgetto->text()) : std::nullopt,
                           CheckBoxSpecSit->isChecked() ? std::optional<QString>(EditSituazione->text()) : std::nullopt);
        } catch (const db::Error &e) {
            platform::error(QStringLiteral("Errore durante la pulizia degli aspetti griglia:") + QLatin1Char('\r')
                            + e.message());
        }
    }
    accept();
}

} // namespace vardof::grid
