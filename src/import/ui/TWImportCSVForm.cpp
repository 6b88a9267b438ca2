#include "import/ui/TWImportCSVForm.h"

#include "import/ImportValues.h"

#include "db/Error.h"
#include "context/WorkContext.h"
#include "platform/Messages.h"
#include "platform/TextFile.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vardof::importcsv {

namespace {

constexpr int kPassoScorrimento = 80;

template<typename T>
T *crea(QWidget *parent, const char *nome)
{
    auto *w = new T(parent);
    w->setObjectName(QString::fromLatin1(nome));
    return w;
}

QPushButton *bottone(QWidget *parent, const QString &testo, const QString &suggerimento, const char *nome)
{
    auto *b = crea<QPushButton>(parent, nome);
    b->setText(testo);
    b->setToolTip(suggerimento);
    b->setAutoDefault(false);
    b->setMaximumWidth(40);
    return b;
}

QTableWidget *griglia(QWidget *parent, const char *nome, const QStringList &intestazioni)
{
    auto *t = crea<QTableWidget>(parent, nome);
    t->setColumnCount(int(intestazioni.size()));
    t->setHorizontalHeaderLabels(intestazioni);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->hide();
    t->setMinimumHeight(110);
    return t;
}

void selezionaPerNome(QComboBox *combo, const QString &nome)
{
    if (nome.isEmpty())
        return;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).compare(nome, Qt::CaseInsensitive) == 0) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

void eliminaCorrente(QTableWidget *t)
{
    if (t->rowCount() == 0)
        return;
    const int r = t->currentRow() >= 0 ? t->currentRow() : 0;
    t->removeRow(r);
}

} // namespace

TWImportCSVForm::TWImportCSVForm(QWidget *owner, const QString &percorsoScript, context::TTabForm *context)
    : QDialog(owner), m_percorso(percorsoScript), m_context(context)
{
    setObjectName(QStringLiteral("TWImportCSVForm"));
    setWindowTitle(QStringLiteral("Wizard composizione script per import file CSV"));

    ScrollBox = crea<QScrollArea>(this, "ScrollBox");
    ScrollBox->setWidgetResizable(true);
    ScrollBox->verticalScrollBar()->setSingleStep(kPassoScorrimento);
    auto *pannello = new QWidget;
    auto *sezioni = new QVBoxLayout(pannello);
    auto etichetta = [&](const QString &t) {
        auto *l = new QLabel(t, pannello);
        sezioni->addWidget(l);
        return l;
    };

    // 1
    etichetta(QStringLiteral("Tabella destinazione"));
    Configurazione_SP1_ComboTabDest = crea<QComboBox>(pannello, "Configurazione_SP1_ComboTabDest");
    sezioni->addWidget(Configurazione_SP1_ComboTabDest);

    // 2
    etichetta(QStringLiteral("Elimina record campo di riferimento"));
    Configurazione_SP2_RadioSi = crea<QRadioButton>(pannello, "Configurazione_SP2_RadioSi");
    Configurazione_SP2_RadioSi->setText(QStringLiteral("Si"));
    Configurazione_SP2_RadioNo = crea<QRadioButton>(pannello, "Configurazione_SP2_RadioNo");
    Configurazione_SP2_RadioNo->setText(QStringLiteral("No"));
    Configurazione_SP2_RadioNo->setChecked(true);
    auto *radio = new QHBoxLayout;
    radio->addWidget(Configurazione_SP2_RadioSi);
    radio->addWidget(Configurazione_SP2_RadioNo);
    radio->addStretch();
    sezioni->addLayout(radio);
    etichetta(QStringLiteral("Campo riferimento"));
    Configurazione_SP2_ComboCampo = crea<QComboBox>(pannello, "Configurazione_SP2_ComboCampo");
    sezioni->addWidget(Configurazione_SP2_ComboCampo);
    etichetta(QStringLiteral("Valore riferimento"));
    Configurazione_SP2_EditValore = crea<QLineEdit>(pannello, "Configurazione_SP2_EditValore");
    sezioni->addWidget(Configurazione_SP2_EditValore);

    // 3
    Configurazione_SP3_CheckAggiorna = crea<QCheckBox>(pannello, "Configurazione_SP3_CheckAggiorna");
    Configurazione_SP3_CheckAggiorna->setText(QStringLiteral("Aggiorna"));
    Configurazione_SP3_CheckAggiorna->setChecked(true);
    Configurazione_SP3_CheckAggiungi = crea<QCheckBox>(pannello, "Configurazione_SP3_CheckAggiungi");
    Configurazione_SP3_CheckAggiungi->setText(QStringLiteral("Aggiungi"));
    Configurazione_SP3_CheckAggiungi->setChecked(true);
    Configurazione_SP3_CheckDuplicati = crea<QCheckBox>(pannello, "Configurazione_SP3_CheckDuplicati");
    Configurazione_SP3_CheckDuplicati->setText(QStringLiteral("Controllo duplicati nel file"));
    sezioni->addWidget(Configurazione_SP3_CheckAggiorna);
    sezioni->addWidget(Configurazione_SP3_CheckAggiungi);
    sezioni->addWidget(Configurazione_SP3_CheckDuplicati);

    // 4
    etichetta(QStringLiteral("Campo auto-incrementato"));
    Configurazione_SP4_ComboCampo = crea<QComboBox>(pannello, "Configurazione_SP4_ComboCampo");
    sezioni->addWidget(Configurazione_SP4_ComboCampo);
    etichetta(QStringLiteral("Nome generatore"));
    Configurazione_SP4_ComboGeneratore = crea<QComboBox>(pannello, "Configurazione_SP4_ComboGeneratore");
    sezioni->addWidget(Configurazione_SP4_ComboGeneratore);

    auto sezioneLista = [&](const QString &titolo, QComboBox *&combo, const char *nomeCombo, QTableWidget *&tab,
                            const char *nomeTab, const QStringList &intestazioni, const QString &titoloGriglia,
                            QWidget *extra, const QList<QPushButton *> &bottoni) {
        etichetta(titolo);
        auto *riga = new QHBoxLayout;
        riga->addWidget(new QLabel(QStringLiteral("Campo"), pannello));
        combo = crea<QComboBox>(pannello, nomeCombo);
        riga->addWidget(combo, 1);
        if (extra)
            riga->addWidget(extra);
        sezioni->addLayout(riga);
        sezioni->addWidget(new QLabel(titoloGriglia, pannello));
        auto *corpo = new QHBoxLayout;
        tab = griglia(pannello, nomeTab, intestazioni);
        corpo->addWidget(tab, 1);
        auto *colonnaBottoni = new QVBoxLayout;
        for (QPushButton *b : bottoni)
            colonnaBottoni->addWidget(b);
        colonnaBottoni->addStretch();
        corpo->addLayout(colonnaBottoni);
        sezioni->addLayout(corpo);
    };
    const QString aggiungiUn = QStringLiteral("Aggiungi un campo");
    const QString eliminaUn = QStringLiteral("Elimina un campo");

    // 5
    auto *percentualeBox = new QWidget(pannello);
    auto *pl = new QHBoxLayout(percentualeBox);
    pl->setContentsMargins(0, 0, 0, 0);
    pl->addWidget(new QLabel(QStringLiteral("Percentuale"), percentualeBox));
    Configurazione_SP5_EditPercentuale = crea<QLineEdit>(percentualeBox, "Configurazione_SP5_EditPercentuale");
    Configurazione_SP5_EditPercentuale->setFixedWidth(60);
    Configurazione_SP5_EditPercentuale->installEventFilter(this);
    pl->addWidget(Configurazione_SP5_EditPercentuale);
    auto *sp5Piu = bottone(pannello, QStringLiteral("+"), aggiungiUn, "Configurazione_SP5_ButtonAggiungi");
    auto *sp5Meno = bottone(pannello, QStringLiteral("-"), eliminaUn, "Configurazione_SP5_ButtonElimina");
    sezioneLista(QStringLiteral("Aumento percentuale"), Configurazione_SP5_ComboCampo, "Configurazione_SP5_ComboCampo",
                 Configurazione_SP5_TabAumentiPercentuali, "Configurazione_SP5_TabAumentiPercentuali",
                 {QStringLiteral("Campo"), QStringLiteral("Percentuale")}, QStringLiteral("Elenco aumenti percentuali"),
                 percentualeBox, {sp5Piu, sp5Meno});

    // 6
    auto *valoreBox = new QWidget(pannello);
    auto *vl = new QHBoxLayout(valoreBox);
    vl->setContentsMargins(0, 0, 0, 0);
    vl->addWidget(new QLabel(QStringLiteral("Valore"), valoreBox));
    Configurazione_SP6_EditValore = crea<QLineEdit>(valoreBox, "Configurazione_SP6_EditValore");
    Configurazione_SP6_EditValore->setMaxLength(256);
    vl->addWidget(Configurazione_SP6_EditValore);
    auto *sp6Piu = bottone(pannello, QStringLiteral("+"), aggiungiUn, "Configurazione_SP6_ButtonAggiungi");
    auto *sp6Meno = bottone(pannello, QStringLiteral("-"), eliminaUn, "Configurazione_SP6_ButtonElimina");
    sezioneLista(QStringLiteral("Assegna valori"), Configurazione_SP6_ComboCampo, "Configurazione_SP6_ComboCampo",
                 Configurazione_SP6_TabAssegnaValori, "Configurazione_SP6_TabAssegnaValori",
                 {QStringLiteral("Campo"), QStringLiteral("Valore")}, QStringLiteral("Elenco assegna valori"), valoreBox,
                 {sp6Piu, sp6Meno});

    // 7
    auto *sp7Piu = bottone(pannello, QStringLiteral("+"), aggiungiUn, "Configurazione_SP7_ButtonAggiungi");
    auto *sp7Meno = bottone(pannello, QStringLiteral("-"), eliminaUn, "Configurazione_SP7_ButtonElimina");
    sezioneLista(QStringLiteral("Aggiorna personalizzato (campi di match per aggiornamento)"), Configurazione_SP7_ComboCampo,
                 "Configurazione_SP7_ComboCampo", Configurazione_SP7_TabAggiornaPersonalizzato,
                 "Configurazione_SP7_TabAggiornaPersonalizzato", {QStringLiteral("Campo")},
                 QStringLiteral("Elenco campi aggiorna personalizzato"), nullptr, {sp7Piu, sp7Meno});

    // 8
    auto *sp8Piu = bottone(pannello, QStringLiteral("+"), aggiungiUn, "Configurazione_SP8_ButtonAggiungi");
    auto *sp8Tutti = bottone(pannello, QStringLiteral("+ +"), QStringLiteral("Aggiungi tutti i campi"), "Configurazione_SP8_ButtonAggiungiTutti");
    auto *sp8Meno = bottone(pannello, QStringLiteral("-"), eliminaUn, "Configurazione_SP8_ButtonElimina");
    auto *sp8Nessuno = bottone(pannello, QStringLiteral("- -"), QStringLiteral("Elimina tutti i campi"), "Configurazione_SP8_ButtonEliminaTutti");
    sezioneLista(QStringLiteral("Esclusioni aggiorna (campi esclusi dall'aggiornamento)"), Configurazione_SP8_ComboCampo,
                 "Configurazione_SP8_ComboCampo", Configurazione_SP8_TabEsclusioniAggiorna,
                 "Configurazione_SP8_TabEsclusioniAggiorna", {QStringLiteral("Campo")},
                 QStringLiteral("Elenco campi esclusi dall'aggiornamento"), nullptr, {sp8Piu, sp8Tutti, sp8Meno, sp8Nessuno});

    // 9
    auto *tag = new QHBoxLayout;
    Configurazione_SP9_CheckTag = crea<QCheckBox>(pannello, "Configurazione_SP9_CheckTag");
    Configurazione_SP9_CheckTag->setText(QStringLiteral("Import memo estesi con tag CR:"));
    Configurazione_SP9_EditaTag = crea<QLineEdit>(pannello, "Configurazione_SP9_EditaTag");
    tag->addWidget(Configurazione_SP9_CheckTag);
    tag->addWidget(Configurazione_SP9_EditaTag, 1);
    sezioni->addLayout(tag);
    sezioni->addStretch();
    ScrollBox->setWidget(pannello);

    MemoRiepilogo = crea<QPlainTextEdit>(this, "MemoRiepilogo");
    MemoRiepilogo->setReadOnly(true);
    ButtonOk = crea<QPushButton>(this, "ButtonOk");
    ButtonOk->setText(QStringLiteral("Ok"));
    ButtonOk->setDefault(true);
    ButtonCancel = crea<QPushButton>(this, "ButtonCancel");
    ButtonCancel->setText(QStringLiteral("Cancel"));
    ButtonCancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    auto *centro = new QHBoxLayout;
    centro->addWidget(ScrollBox, 1);
    centro->addWidget(MemoRiepilogo, 1);
    layout->addLayout(centro, 1);
    auto *basso = new QHBoxLayout;
    basso->addStretch();
    basso->addWidget(ButtonOk);
    basso->addWidget(ButtonCancel);
    layout->addLayout(basso);
    resize(900, 640);

    connect(Configurazione_SP1_ComboTabDest, qOverload<int>(&QComboBox::activated), this,
            &TWImportCSVForm::Configurazione_SP1_ComboTabDestSelect);
    connect(sp5Piu, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP5_ButtonAggiungiClick);
    connect(sp5Meno, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP5_ButtonEliminaClick);
    connect(sp6Piu, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP6_ButtonAggiungiClick);
    connect(sp6Meno, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP6_ButtonEliminaClick);
    connect(sp7Piu, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP7_ButtonAggiungiClick);
    connect(sp7Meno, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP7_ButtonEliminaClick);
    connect(sp8Piu, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP8_ButtonAggiungiClick);
    connect(sp8Tutti, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP8_ButtonAggiungiTuttiClick);
    connect(sp8Meno, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP8_ButtonEliminaClick);
    connect(sp8Nessuno, &QPushButton::clicked, this, &TWImportCSVForm::Configurazione_SP8_ButtonEliminaTuttiClick);
    connect(ButtonOk, &QPushButton::clicked, this, &TWImportCSVForm::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    db::Attachment &att = m_context->database();
    db::Transaction &tra = m_context->transaction();
    Configurazione_SP1_ComboTabDest->addItems(tabelleWizard(att, tra));
    Configurazione_SP1_ComboTabDest->setCurrentIndex(-1);
    Configurazione_SP4_ComboGeneratore->addItems(generatoriWizard(att, tra));
    Configurazione_SP4_ComboGeneratore->setCurrentIndex(-1);
    for (QComboBox *c : combiCampi())
        c->addItem(QString());
    ScrollBox->verticalScrollBar()->setValue(0);

    qApp->installEventFilter(this);
}

TWImportCSVForm::~TWImportCSVForm()
{
    qApp->removeEventFilter(this);
}

QList<QComboBox *> TWImportCSVForm::combiCampi() const
{
    return {Configurazione_SP2_ComboCampo, Configurazione_SP4_ComboCampo, Configurazione_SP5_ComboCampo,
            Configurazione_SP6_ComboCampo, Configurazione_SP7_ComboCampo, Configurazione_SP8_ComboCampo};
}

void TWImportCSVForm::aggiungiRiga(QTableWidget *t, const QStringList &valori)
{
    const int r = t->rowCount();
    t->insertRow(r);
    for (int c = 0; c < valori.size(); ++c)
        t->setItem(r, c, new QTableWidgetItem(valori[c]));
}

QStringList TWImportCSVForm::colonna(const QTableWidget *t, int c)
{
    QStringList valori;
    for (int r = 0; r < t->rowCount(); ++r)
        valori << (t->item(r, c) ? t->item(r, c)->text() : QString());
    return valori;
}

void TWImportCSVForm::Configurazione_SP1_ComboTabDestSelect()
{
    for (QComboBox *c : combiCampi()) {
        c->clear();
        c->addItem(QString());
    }
    for (QTableWidget *t : {Configurazione_SP5_TabAumentiPercentuali, Configurazione_SP6_TabAssegnaValori,
                            Configurazione_SP7_TabAggiornaPersonalizzato, Configurazione_SP8_TabEsclusioniAggiorna})
        t->setRowCount(0);
    const QString tabella = Configurazione_SP1_ComboTabDest->currentText();
    QStringList campi;
    try {
        campi = campiTabellaWizard(m_context->database(), m_context->transaction(), tabella);
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    }
    for (QComboBox *c : combiCampi())
        c->addItems(campi);
}

void TWImportCSVForm::precompila(const TParametriScript &p)
{
    if (p.tabellaDestinazione.isEmpty())
        return;
    selezionaPerNome(Configurazione_SP1_ComboTabDest, p.tabellaDestinazione);
    if (Configurazione_SP1_ComboTabDest->currentIndex() >= 0)
        Configurazione_SP1_ComboTabDestSelect();
    (p.eliminaRecordCampoRiferimento ? Configurazione_SP2_RadioSi : Configurazione_SP2_RadioNo)->setChecked(true);
    selezionaPerNome(Configurazione_SP2_ComboCampo, p.campoRiferimento);
    Configurazione_SP2_EditValore->setText(p.valoreCampoRiferimento);
    Configurazione_SP3_CheckDuplicati->setChecked(p.controlloDuplicati);
    Configurazione_SP3_CheckAggiungi->setChecked(p.aggiungi);
    Configurazione_SP3_CheckAggiorna->setChecked(p.aggiorna);
    for (const TAumentoPercentuale &a : p.aumentiPercentuali)
        aggiungiRiga(Configurazione_SP5_TabAumentiPercentuali, {a.campo, testoPercentuale(a.percentuale)});
    for (const TAssegnaValore &a : p.assegnaValori)
        aggiungiRiga(Configurazione_SP6_TabAssegnaValori, {a.campo, a.costante});
    selezionaPerNome(Configurazione_SP4_ComboCampo, p.campoAutoIncrementato.campo);
    selezionaPerNome(Configurazione_SP4_ComboGeneratore, p.campoAutoIncrementato.generatore);
    for (const QString &c : p.aggiornaPersonalizzato)
        aggiungiRiga(Configurazione_SP7_TabAggiornaPersonalizzato, {c});
    for (const QString &c : p.esclusioniAggiorna)
        aggiungiRiga(Configurazione_SP8_TabEsclusioniAggiorna, {c});
    for (QTableWidget *t : {Configurazione_SP5_TabAumentiPercentuali, Configurazione_SP6_TabAssegnaValori,
                            Configurazione_SP7_TabAggiornaPersonalizzato, Configurazione_SP8_TabEsclusioniAggiorna}) {
        if (t->rowCount() > 0)
            t->setCurrentCell(0, 0);
    }
    Configurazione_SP9_EditaTag->setText(p.tagCR);
    Configurazione_SP9_CheckTag->setChecked(!p.tagCR.isEmpty());
}

ComposizioneWizard TWImportCSVForm::composizione() const
{
    ComposizioneWizard c;
    c.tabella = Configurazione_SP1_ComboTabDest->currentIndex() >= 0 ? Configurazione_SP1_ComboTabDest->currentText() : QString();
    c.elimina = Configurazione_SP2_RadioSi->isChecked();
    c.campoRiferimento = Configurazione_SP2_ComboCampo->currentText();
    c.valoreRiferimento = Configurazione_SP2_EditValore->text();
    c.aggiorna = Configurazione_SP3_CheckAggiorna->isChecked();
    c.aggiungi = Configurazione_SP3_CheckAggiungi->isChecked();
    c.controlloDuplicati = Configurazione_SP3_CheckDuplicati->isChecked();
    c.campoGenerato = Configurazione_SP4_ComboCampo->currentText();
    c.generatore = Configurazione_SP4_ComboGeneratore->currentIndex() >= 0 ? Configurazione_SP4_ComboGeneratore->currentText() : QString();
    const QStringList campi5 = colonna(Configurazione_SP5_TabAumentiPercentuali, 0);
    const QStringList perc5 = colonna(Configurazione_SP5_TabAumentiPercentuali, 1);
    for (qsizetype i = 0; i < campi5.size(); ++i)
        c.aumenti.append({campi5[i], decimaleDaTesto(perc5[i]).value_or(0)});
    const QStringList campi6 = colonna(Configurazione_SP6_TabAssegnaValori, 0);
    const QStringList valori6 = colonna(Configurazione_SP6_TabAssegnaValori, 1);
    for (qsizetype i = 0; i < campi6.size(); ++i)
        c.valori.append({campi6[i], valori6[i]});
    c.aggiornaPersonalizzato = colonna(Configurazione_SP7_TabAggiornaPersonalizzato, 0);
    c.esclusioni = colonna(Configurazione_SP8_TabEsclusioniAggiorna, 0);
    c.tagAttivo = Configurazione_SP9_CheckTag->isChecked();
    c.tag = Configurazione_SP9_EditaTag->text();
    return c;
}

void TWImportCSVForm::avvisa(const QString &testo, QWidget *fuoco)
{
    platform::warning(testo);
    if (fuoco)
        fuoco->setFocus();
}

QWidget *TWImportCSVForm::controllo(FuocoWizard fuoco) const
{
    switch (fuoco) {
    case FuocoWizard::Tabella: return Configurazione_SP1_ComboTabDest;
    case FuocoWizard::CampoRiferimento: return Configurazione_SP2_ComboCampo;
    case FuocoWizard::ValoreRiferimento: return Configurazione_SP2_EditValore;
    case FuocoWizard::Generatore: return Configurazione_SP4_ComboGeneratore;
    case FuocoWizard::Tag: return Configurazione_SP9_EditaTag;
    case FuocoWizard::Nessuno: break;
    }
    return nullptr;
}

void TWImportCSVForm::Configurazione_SP5_ButtonAggiungiClick()
{
    double percentuale = 0;
    const QString campo = Configurazione_SP5_ComboCampo->currentText();
    const QString msg = verificaAumento(composizione().aumenti, campo, Configurazione_SP5_EditPercentuale->text(), percentuale);
    if (!msg.isEmpty()) {
        const bool suCampo = msg.startsWith(QStringLiteral("Indicare un campo")) || msg.startsWith(QStringLiteral("Il campo"));
        avvisa(msg, suCampo ? static_cast<QWidget *>(Configurazione_SP5_ComboCampo) : Configurazione_SP5_EditPercentuale);
        return;
    }
    aggiungiRiga(Configurazione_SP5_TabAumentiPercentuali, {campo, testoPercentuale(percentuale)});
    Configurazione_SP5_ComboCampo->setCurrentIndex(0);
    Configurazione_SP5_EditPercentuale->clear();
}

void TWImportCSVForm::Configurazione_SP5_ButtonEliminaClick()
{
    eliminaCorrente(Configurazione_SP5_TabAumentiPercentuali);
}

void TWImportCSVForm::Configurazione_SP6_ButtonAggiungiClick()
{
    const QString campo = Configurazione_SP6_ComboCampo->currentText();
    const QString msg = verificaValore(composizione().valori, campo, Configurazione_SP6_EditValore->text());
    if (!msg.isEmpty()) {
        avvisa(msg, msg == QStringLiteral("Indicare un valore") ? static_cast<QWidget *>(Configurazione_SP6_EditValore)
                                                                 : Configurazione_SP6_ComboCampo);
        return;
    }
    aggiungiRiga(Configurazione_SP6_TabAssegnaValori, {campo, Configurazione_SP6_EditValore->text()});
    Configurazione_SP6_ComboCampo->setCurrentIndex(0);
    Configurazione_SP6_EditValore->clear();
}

void TWImportCSVForm::Configurazione_SP6_ButtonEliminaClick()
{
    eliminaCorrente(Configurazione_SP6_TabAssegnaValori);
}

void TWImportCSVForm::Configurazione_SP7_ButtonAggiungiClick()
{
    const QString campo = Configurazione_SP7_ComboCampo->currentText();
    const QString msg = verificaCampoPersonalizzato(colonna(Configurazione_SP7_TabAggiornaPersonalizzato, 0), campo);
    if (!msg.isEmpty()) {
        avvisa(msg, Configurazione_SP7_ComboCampo);
        return;
    }
    aggiungiRiga(Configurazione_SP7_TabAggiornaPersonalizzato, {campo});
    Configurazione_SP7_ComboCampo->setCurrentIndex(0);
}

void TWImportCSVForm::Configurazione_SP7_ButtonEliminaClick()
{
    eliminaCorrente(Configurazione_SP7_TabAggiornaPersonalizzato);
}

void TWImportCSVForm::Configurazione_SP8_ButtonAggiungiClick()
{
    const QString campo = Configurazione_SP8_ComboCampo->currentText();
    const QString msg = verificaEsclusione(colonna(Configurazione_SP8_TabEsclusioniAggiorna, 0), campo);
    if (!msg.isEmpty()) {
        avvisa(msg, Configurazione_SP8_ComboCampo);
        return;
    }
    aggiungiRiga(Configurazione_SP8_TabEsclusioniAggiorna, {campo});
}

void TWImportCSVForm::Configurazione_SP8_ButtonAggiungiTuttiClick()
{
    QTableWidget *t = Configurazione_SP8_TabEsclusioniAggiorna;
    t->setRowCount(0);
    for (int i = 0; i < Configurazione_SP8_ComboCampo->count(); ++i) {
        const QString campo = Configurazione_SP8_ComboCampo->itemText(i);
        if (!campo.isEmpty())
            aggiungiRiga(t, {campo});
    }
    if (t->rowCount() > 0)
        t->setCurrentCell(0, 0);
    Configurazione_SP8_ComboCampo->setCurrentIndex(0);
}

void TWImportCSVForm::Configurazione_SP8_ButtonEliminaClick()
{
    eliminaCorrente(Configurazione_SP8_TabEsclusioniAggiorna);
}

void TWImportCSVForm::Configurazione_SP8_ButtonEliminaTuttiClick()
{
    Configurazione_SP8_TabEsclusioniAggiorna->setRowCount(0);
}

void TWImportCSVForm::ButtonOkClick()
{
    const ComposizioneWizard c = composizione();
    QStringList chiaviIndici;
    if (!c.tabella.isEmpty() && c.aggiornaPersonalizzato.isEmpty()) {
        try {
            chiaviIndici = chiaviIndiciWizard(m_context->database(), m_context->transaction(), c.tabella);
        } catch (const db::Error &e) {
            platform::error(e.message());
            return;
        }
    }
    const VerificaWizard v = verificaComposizione(c, chiaviIndici);
    if (!v.ok()) {
        avvisa(v.messaggio, controllo(v.fuoco));
        return;
    }
    QString errore;
    if (!platform::writeTextLines(m_percorso, righeScript(c), nullptr, &errore)) {
        platform::error(errore);
        return;
    }
    accept();
}

bool TWImportCSVForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == Configurazione_SP5_EditPercentuale && key->text() == QStringLiteral(".")) {
        Configurazione_SP5_EditPercentuale->insert(QStringLiteral(","));
        return true;
    }
    // Keys pressed anywhere in this window also move the left pane; the
    // focused control still receives them.
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this || w != QApplication::focusWidget())
        return QDialog::eventFilter(watched, event);
    QScrollBar *bar = ScrollBox->verticalScrollBar();
    switch (key->key()) {
    case Qt::Key_PageUp: bar->setValue(bar->value() - ScrollBox->viewport()->height()); break;
    case Qt::Key_PageDown: bar->setValue(bar->value() + ScrollBox->viewport()->height()); break;
    case Qt::Key_Up: bar->setValue(bar->value() - kPassoScorrimento); break;
    case Qt::Key_Down: bar->setValue(bar->value() + kPassoScorrimento); break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vardof::importcsv
