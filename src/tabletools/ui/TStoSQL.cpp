#include "tabletools/ui/TStoSQL.h"

#include "tabletools/ui/TParametriSQLForm.h"

#include "context/WorkContext.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "entry/ui/TListTabForm.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "grid/ui/TQmtGrid.h"
#include "platform/Messages.h"
#include "storedqueries/ui/TIBQGenForm.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QColor>
#include <QPalette>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardof::tabletools {

namespace {

const QString kEsecuzioneFallita = QStringLiteral("Esecuzione fallita. Controllare lo script SQL");

TStoSQL::SceltaTabella &sceltaTabella()
{
    static TStoSQL::SceltaTabella scelta = [](db::Attachment &att, db::Transaction &tra,
                                              QWidget *parent) -> std::optional<QString> {
        entry::TListTabForm picker(att, tra, parent);
        picker.exec();
        if (picker.Risposta != 1 || picker.tabellaScelta().isEmpty())
            return std::nullopt;
        return picker.tabellaScelta();
    };
    return scelta;
}

TStoSQL::MostraRisultato &mostraRisultato()
{
    static TStoSQL::MostraRisultato mostra = [](TStoSQL &finestra, const QString &sql, const ValoriParametri &parametri) {
        TSelectRisForm ris(finestra.contesto(), sql, &finestra, parametri);
        ris.DirectoryTemp = finestra.DirectoryTemp;
        ris.DirectoryLavoro = finestra.DirectoryLavoro;
        ris.DirectoryBin = finestra.DirectoryBin;
        ris.NomeProgetto = finestra.NomeProgetto;
        ris.apri();
        ris.exec();
    };
    return mostra;
}

TSelectRisForm::ApriQuery &apriQuery()
{
    // The copy lies in the database of the result: the registry opens the
    // query window on it over the same work context.
    static TSelectRisForm::ApriQuery apri = [](TSelectRisForm &finestra) {
        storedqueries::TIBQGenForm registro(finestra.contesto(), 0, storedqueries::TIBQGenForm::Mode::QueryGenerica,
                                            &finestra);
        registro.NomeProgetto = finestra.NomeProgetto;
        registro.DirectoryBin = finestra.DirectoryBin;
        registro.DirectoryLavoro = finestra.DirectoryLavoro;
        registro.DirectoryTemp = finestra.DirectoryTemp;
        registro.EditTabella->setText(kTabellaCopia);
        registro.ButtonGeneraQueryClick();
    };
    return apri;
}

QPushButton *bottone(const QString &testo, const char *nome, QWidget *parent)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TStoSQL::SceltaTabella TStoSQL::setSceltaTabella(SceltaTabella picker)
{
    SceltaTabella vecchia = sceltaTabella();
    sceltaTabella() = std::move(picker);
    return vecchia;
}

TStoSQL::MostraRisultato TStoSQL::setMostraRisultato(MostraRisultato mostra)
{
    MostraRisultato vecchia = mostraRisultato();
    mostraRisultato() = std::move(mostra);
    return vecchia;
}

TStoSQL::TStoSQL(context::TTabForm *context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("TStoSQL"));
    setWindowTitle(QStringLiteral("Esecuzioni SQL - Ditta: ") + context->NomeProgetto);
    resize(900, 620);

    auto *sinistra = new QVBoxLayout;
    auto *testate = new QHBoxLayout;
    ButtonCodice = bottone(QStringLiteral("Codice"), "ButtonCodice", this);
    ButtonTitolo = bottone(QStringLiteral("Titolo"), "ButtonTitolo", this);
    ButtonScript = bottone(QStringLiteral("Script SQL"), "ButtonScript", this);
    ButtonCodice->setFixedWidth(90);
    testate->addWidget(ButtonCodice);
    testate->addWidget(ButtonTitolo, 1);
    auto *campi = new QHBoxLayout;
    EditCodice = new QLineEdit(this);
    EditCodice->setObjectName(QStringLiteral("EditCodice"));
    EditCodice->setReadOnly(true);
    EditCodice->setFixedWidth(90);
    QPalette scura = EditCodice->palette();
    scura.setColor(QPalette::Base, QColor(64, 64, 64));
    scura.setColor(QPalette::Text, Qt::white);
    EditCodice->setPalette(scura);
    EditTitolo = new QLineEdit(this);
    EditTitolo->setObjectName(QStringLiteral("EditTitolo"));
    EditTitolo->setMaxLength(40);
    campi->addWidget(EditCodice);
    campi->addWidget(EditTitolo, 1);
    MemoSQL = new QPlainTextEdit(this);
    MemoSQL->setObjectName(QStringLiteral("MemoSQL"));
    MemoSQL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    GridSQL = new grid::TQmtGrid(this);
    GridSQL->setObjectName(QStringLiteral("GridSQL"));
    auto *note = new QHBoxLayout;
    auto *labelNote = new QLabel(QStringLiteral("Note"), this);
    EditNote = new QLineEdit(QStringLiteral("Note: le date nelle condizioni vanno espresse nel formato MM/GG/AAAA"), this);
    EditNote->setReadOnly(true);
    note->addWidget(labelNote);
    note->addWidget(EditNote, 1);
    sinistra->addLayout(testate);
    sinistra->addLayout(campi);
    sinistra->addWidget(ButtonScript);
    sinistra->addWidget(MemoSQL, 2);
    sinistra->addWidget(GridSQL, 3);
    sinistra->addLayout(note);

    auto *destra = new QVBoxLayout;
    ButtonNuovo = bottone(QStringLiteral("Nuovo"), "ButtonNuovo", this);
    ButtonMemorizza = bottone(QStringLiteral("Memorizza"), "ButtonMemorizza", this);
    ButtonAnnulla = bottone(QStringLiteral("Annulla"), "ButtonAnnulla", this);
    ButtonElimina = bottone(QStringLiteral("Elimina"), "ButtonElimina", this);
    ButtonEdit = bottone(QStringLiteral("Edit"), "ButtonEdit", this);
    ButtonEsegui = bottone(QStringLiteral("Esegui"), "ButtonEsegui", this);
    ButtonEseguiBlock = bottone(QStringLiteral("Esegui block"), "ButtonEseguiBlock", this);
    ButtonAggiorna = bottone(QStringLiteral("Aggiorna ±"), "ButtonAggiorna", this);
    ButtonChiudi = bottone(QStringLiteral("Chiudi"), "ButtonChiudi", this);
    for (QPushButton *b : {ButtonNuovo, ButtonMemorizza, ButtonAnnulla, ButtonElimina, ButtonEdit, ButtonEsegui,
                           ButtonEseguiBlock, ButtonAggiorna, ButtonChiudi})
        destra->addWidget(b);
    destra->addSpacing(12);
    destra->addWidget(new QLabel(QStringLiteral("Wizard:"), this));
    ButtonDelete = bottone(QStringLiteral("DELETE"), "ButtonDelete", this);
    ButtonUpdate = bottone(QStringLiteral("UPDATE"), "ButtonUpdate", this);
    ButtonAlter = bottone(QStringLiteral("ALTER"), "ButtonAlter", this);
    ButtonSelect = bottone(QStringLiteral("SELECT"), "ButtonSelect", this);
    for (QPushButton *b : {ButtonDelete, ButtonUpdate, ButtonAlter, ButtonSelect})
        destra->addWidget(b);
    PanelWizard = new QWidget(this);
    PanelWizard->setObjectName(QStringLiteral("PanelWizard"));
    auto *wiz = new QVBoxLayout(PanelWizard);
    wiz->setContentsMargins(0, 0, 0, 0);
    GroupWizard = new QGroupBox(PanelWizard);
    GroupWizard->setLayout(new QVBoxLayout);
    m_scelte = new QButtonGroup(this);
    ButtonAvanti = bottone(QStringLiteral("Avanti"), "ButtonAvanti", PanelWizard);
    ButtonAnnullaWizard = bottone(QStringLiteral("Annulla"), "ButtonAnnullaWizard", PanelWizard);
    wiz->addWidget(GroupWizard);
    auto *wizBottoni = new QHBoxLayout;
    wizBottoni->addWidget(ButtonAvanti);
    wizBottoni->addWidget(ButtonAnnullaWizard);
    wiz->addLayout(wizBottoni);
    PanelWizard->hide();
    PanelWizard->setEnabled(false);
    destra->addWidget(PanelWizard);
    destra->addStretch(1);

    // A column of fixed width: the wizard panel opens without moving the rest.
    auto *colonnaDestra = new QWidget(this);
    colonnaDestra->setLayout(destra);
    colonnaDestra->setFixedWidth(260);
    destra->setContentsMargins(0, 0, 0, 0);
    auto *principale = new QHBoxLayout(this);
    principale->addLayout(sinistra, 1);
    principale->addWidget(colonnaDestra);

    connect(ButtonNuovo, &QPushButton::clicked, this, &TStoSQL::ButtonNuovoClick);
    connect(ButtonEdit, &QPushButton::clicked, this, &TStoSQL::ButtonEditClick);
    connect(ButtonMemorizza, &QPushButton::clicked, this, &TStoSQL::ButtonMemorizzaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TStoSQL::ButtonAnnullaClick);
    connect(ButtonAggiorna, &QPushButton::clicked, this, &TStoSQL::ButtonAggiornaClick);
    connect(ButtonElimina, &QPushButton::clicked, this, &TStoSQL::ButtonEliminaClick);
    connect(ButtonEsegui, &QPushButton::clicked, this, &TStoSQL::ButtonEseguiClick);
    connect(ButtonEseguiBlock, &QPushButton::clicked, this, &TStoSQL::ButtonEseguiBlockClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::close);
    connect(ButtonDelete, &QPushButton::clicked, this, [this] { ApriWizard(GruppoWizard::Delete); });
    connect(ButtonUpdate, &QPushButton::clicked, this, [this] { ApriWizard(GruppoWizard::Update); });
    connect(ButtonAlter, &QPushButton::clicked, this, [this] { ApriWizard(GruppoWizard::Alter); });
    connect(ButtonSelect, &QPushButton::clicked, this, [this] { ApriWizard(GruppoWizard::Select); });
    connect(ButtonAvanti, &QPushButton::clicked, this, &TStoSQL::ButtonAvantiClick);
    connect(ButtonAnnullaWizard, &QPushButton::clicked, this, &TStoSQL::ButtonAnnullaWizardClick);
    connect(GridSQL, &grid::TQmtGrid::rigaCorrenteCambiata, this, [this](int) { rigaScelta(); });
    Creazione();
}

TStoSQL::~TStoSQL()
{
    if (m_sorgente)
        m_sorgente->chiudiSenzaGestori();
}

void TStoSQL::Creazione()
{
    m_sorgente = std::make_unique<grid::SorgenteQuery>();
    m_sorgente->SQL() = {QStringLiteral("SELECT CODICE, TITOLO FROM STOSQL"), QStringLiteral("ORDER BY CODICE")};
    GridSQL->CodiceProgetto = m_context->CodiceProgetto;
    GridSQL->TabellaPiccola = true;
    GridSQL->AbilitaRicerca = false;
    // The list keeps the rows in code order: the window's positions follow it.
    GridSQL->OrderBy = false;
    GridSQL->AbilitaOrdinamento = false;
    GridSQL->DatabaseImpostazioni = &m_context->database();
    try {
        if (!m_context->isConnected())
            throw db::Error(QStringLiteral("Archivio non collegato"));
        apriOCreaStoSql(m_context->transaction());
        GridSQL->CreaTabelleAspetto();
        m_sorgente->attach(m_context->database(), m_context->transaction());
        GridSQL->SetSorgenteDati(m_sorgente.get());
        m_funzionante = true;
        ricarica(std::nullopt);
    } catch (const db::Error &e) {
        // Without its table the window cannot work: it says why and stays
        // empty, and the entry still returns to the host.
        platform::error(QStringLiteral("Impossibile aprire la tabella STOSQL") + QLatin1Char('\r') + e.message());
        for (QPushButton *b : findChildren<QPushButton *>())
            b->setEnabled(b == ButtonChiudi);
    }
    SettaggioInterfaccia(false);
    if (!m_funzionante)
        ButtonChiudi->setEnabled(true);
}

void TStoSQL::ricarica(std::optional<int> posizione)
{
    m_righe = leggiStoSql(m_context->transaction());
    m_sorgente->close();
    m_sorgente->open();
    GridSQL->modello()->fetchAll();
    if (m_righe.empty()) {
        m_corrente = RigaStoSql();
        mostraCorrente();
        return;
    }
    vaiA(posizione.value_or(m_righe.front().codice));
}

void TStoSQL::vaiA(int codice)
{
    int riga = 0;
    for (size_t i = 0; i < m_righe.size(); ++i)
        if (m_righe[i].codice <= codice)
            riga = int(i);
    m_corrente = m_righe[size_t(riga)];
    const QModelIndex indice = GridSQL->model()->index(riga, 0);
    GridSQL->setCurrentIndex(indice);
    GridSQL->scrollTo(indice);
    mostraCorrente();
}

void TStoSQL::rigaScelta()
{
    if (m_editing)
        return;
    const int riga = GridSQL->currentIndex().row();
    if (riga >= 0 && size_t(riga) < m_righe.size()) {
        m_corrente = m_righe[size_t(riga)];
        mostraCorrente();
    }
}

namespace {

// The memo shows every kind of line end as one line break.
QString perMemo(const QString &sql)
{
    QString t = sql;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

} // namespace

void TStoSQL::mostraCorrente()
{
    EditCodice->setText(m_corrente.codice ? QString::number(m_corrente.codice) : QString());
    EditTitolo->setText(m_corrente.titolo);
    MemoSQL->setPlainText(perMemo(m_corrente.sql));
}

void TStoSQL::prendiCampi()
{
    m_corrente.titolo = EditTitolo->text();
    // A text left as it was keeps its own line ends; a typed one gets CR LF.
    const QString memo = MemoSQL->toPlainText();
    if (memo != perMemo(m_corrente.sql)) {
        QString t = memo;
        t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        m_corrente.sql = t;
    }
}

void TStoSQL::SettaggioInterfaccia(bool editing)
{
    m_editing = editing;
    for (QPushButton *b : {ButtonCodice, ButtonTitolo, ButtonScript})
        b->setEnabled(editing);
    EditTitolo->setReadOnly(!editing);
    MemoSQL->setReadOnly(!editing);
    for (QWidget *w : std::initializer_list<QWidget *>{ButtonChiudi, ButtonEdit, ButtonElimina, ButtonNuovo, ButtonEsegui, GridSQL})
        w->setEnabled(!editing && m_funzionante);
    ButtonChiudi->setEnabled(!editing);
}

void TStoSQL::ButtonNuovoClick()
{
    try {
        m_corrente = RigaStoSql();
        m_corrente.codice = prossimoCodice(m_context->transaction());
    } catch (const db::Error &e) {
        platform::error(kEsecuzioneFallita + QStringLiteral("\r\n (") + e.message() + QLatin1Char(')'));
        return;
    }
    m_nuova = true;
    mostraCorrente();
    SettaggioInterfaccia(true);
    EditTitolo->setFocus();
}

void TStoSQL::ButtonEditClick()
{
    if (m_righe.empty())
        return;
    m_nuova = false;
    SettaggioInterfaccia(true);
}

void TStoSQL::ButtonMemorizzaClick()
{
    if (!m_editing) {
        platform::information(QStringLiteral("Non ci sono modifiche da salvare"));
        return;
    }
    Memorizza();
}

void TStoSQL::Memorizza()
{
    prendiCampi();
    try {
        scriviRiga(m_context->transaction(), m_corrente, m_nuova);
        m_context->transaction().commit();
    } catch (const db::Error &e) {
        // The row stays in editing: another user may have taken its number.
        platform::error(e.message());
        return;
    }
    const int posizione = m_corrente.codice;
    m_nuova = false;
    SettaggioInterfaccia(false);
    ricarica(posizione);
}

void TStoSQL::ButtonAnnullaClick()
{
    if (!m_editing) {
        platform::information(QStringLiteral("Non ci sono modifiche da annullare"));
        return;
    }
    if (platform::confirm(QStringLiteral("Sicuro di voler annullare le modifiche?")))
        Annulla();
}

void TStoSQL::Annulla()
{
    const int posizione = m_corrente.codice;
    m_nuova = false;
    try {
        m_context->transaction().rollback();
        SettaggioInterfaccia(false);
        ricarica(posizione);
    } catch (const db::Error &e) {
        platform::error(e.message());
        SettaggioInterfaccia(false);
    }
}

void TStoSQL::ButtonAggiornaClick()
{
    if (m_funzionante)
        Annulla();
}

void TStoSQL::ButtonEliminaClick()
{
    if (m_righe.empty()) {
        platform::information(QStringLiteral("Non ci sono record da cancellare!"));
        return;
    }
    if (!platform::confirm(QStringLiteral("Sicuro di voler cancellare il record selezionato?")))
        return;
    const int posizione = m_corrente.codice;
    try {
        cancellaRiga(m_context->transaction(), m_corrente.codice);
        m_context->transaction().commit();
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    }
    SettaggioInterfaccia(false);
    ricarica(posizione);
}

void TStoSQL::ButtonEseguiClick()
{
    if (m_editing) {
        platform::information(QStringLiteral("Si prega di memorizzare le modifiche prima"));
        return;
    }
    const QString testo = m_corrente.sql;
    try {
        const std::optional<ValoriParametri> parametri = chiediParametri(testo);
        if (!parametri)
            return;
        if (eComando(testo)) {
            eseguiComando(m_context->transaction(), testo, *parametri);
            platform::information(QStringLiteral("Script SQL eseguito correttamente"));
            ricarica(m_corrente.codice);
        } else {
            mostraRisultato()(*this, testo, *parametri);
        }
    } catch (const db::Error &e) {
        platform::error(kEsecuzioneFallita + QStringLiteral("\r\n (") + e.message() + QLatin1Char(')'));
    } catch (const std::exception &) {
        platform::error(kEsecuzioneFallita);
    }
}

std::optional<ValoriParametri> TStoSQL::chiediParametri(const QString &testo)
{
    const QStringList nomi = nomiParametri(testo);
    if (nomi.isEmpty())
        return ValoriParametri();
    // The server says what each parameter is, so that a number or a date
    // is typed as the screen shows it.
    const std::vector<db::Column> tipi = tipiParametri(m_context->transaction(), testo, nomi);
    TParametriSQLForm dialogo(nomi, tipi, m_context->NomeProgetto, m_ultimiParametri, this);
    if (dialogo.exec() != QDialog::Accepted)
        return std::nullopt;
    const QHash<QString, QString> testi = dialogo.testi();
    for (auto it = testi.constBegin(); it != testi.constEnd(); ++it)
        m_ultimiParametri.insert(it.key(), it.value());
    return dialogo.valori();
}

void TStoSQL::ButtonEseguiBlockClick()
{
    if (m_editing) {
        platform::information(QStringLiteral("Si prega di memorizzare le modifiche prima"));
        return;
    }
    try {
        eseguiBlocco(m_context->transaction(), m_corrente.sql);
        platform::information(QStringLiteral("Script SQL eseguito correttamente"));
    } catch (const db::Error &e) {
        platform::error(kEsecuzioneFallita + QStringLiteral(":\r") + e.message());
    } catch (const std::exception &e) {
        platform::error(kEsecuzioneFallita + QStringLiteral(":\r") + QString::fromUtf8(e.what()));
    }
}

void TStoSQL::ApriWizard(GruppoWizard gruppo)
{
    m_gruppo = gruppo;
    for (QAbstractButton *b : m_scelte->buttons()) {
        m_scelte->removeButton(b);
        delete b;
    }
    GroupWizard->setTitle(titoloGruppo(gruppo));
    int i = 0;
    for (const QString &scelta : sceltePerGruppo(gruppo)) {
        auto *r = new QRadioButton(scelta, GroupWizard);
        GroupWizard->layout()->addWidget(r);
        m_scelte->addButton(r, i);
        if (i++ == 0)
            r->setChecked(true);
    }
    PanelWizard->setEnabled(true);
    PanelWizard->show();
}

void TStoSQL::ButtonAnnullaWizardClick()
{
    PanelWizard->hide();
    PanelWizard->setEnabled(false);
}

void TStoSQL::ButtonAvantiClick()
{
    ButtonAnnullaWizardClick();
    const std::optional<QString> tabella = sceltaTabella()(m_context->database(), m_context->transaction(), this);
    if (!tabella)
        return;
    if (!m_editing) {
        if (m_righe.empty() && !m_nuova) {
            // No row to put the template in: a new one takes it.
            ButtonNuovoClick();
            if (!m_editing)
                return;
        } else {
            m_nuova = false;
            SettaggioInterfaccia(true);
        }
    }
    MemoSQL->setFocus();
    MemoSQL->clear();
    m_corrente.sql = testoWizard(m_gruppo, std::max(0, m_scelte->checkedId()), *tabella);
    MemoSQL->setPlainText(perMemo(m_corrente.sql));
}

void TStoSQL::closeEvent(QCloseEvent *event)
{
    if (m_editing) {
        platform::warning(QStringLiteral("Si prega di salvare o annullare le modifiche prima di chiudere la finestra"));
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TStoSQL::reject()
{
    if (m_editing) {
        platform::warning(QStringLiteral("Si prega di salvare o annullare le modifiche prima di chiudere la finestra"));
        return;
    }
    QDialog::reject();
}

// ---- the result window --------------------------------------------------------

TSelectRisForm::ApriQuery TSelectRisForm::setApriQuery(ApriQuery apri)
{
    ApriQuery vecchia = apriQuery();
    apriQuery() = std::move(apri);
    return vecchia;
}

TSelectRisForm::TSelectRisForm(context::TTabForm *context, const QString &sql, QWidget *parent,
                               ValoriParametri parametri)
    : QDialog(parent), m_context(context), m_sql(sql), m_parametri(std::move(parametri))
{
    setObjectName(QStringLiteral("TSelectRisForm"));
    setWindowTitle(QStringLiteral("Risultato della query di tipo SELECT ..."));
    resize(900, 560);
    GridRisultato = new grid::TQmtGrid(this);
    GridRisultato->setObjectName(QStringLiteral("GridRisultato"));
    GridRisultato->AbilitaRicerca = false;
    GridRisultato->TabellaPiccola = false;
    ButtonElabora = bottone(QStringLiteral("Elabora Query"), "ButtonElabora", this);
    ButtonChiudi = bottone(QStringLiteral("Chiudi"), "ButtonChiudi", this);
    auto *bottoni = new QHBoxLayout;
    bottoni->addStretch(1);
    bottoni->addWidget(ButtonElabora);
    bottoni->addWidget(ButtonChiudi);
    bottoni->addStretch(1);
    auto *l = new QVBoxLayout(this);
    l->addWidget(GridRisultato, 1);
    l->addLayout(bottoni);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonElabora, &QPushButton::clicked, this, &TSelectRisForm::ButtonElaboraClick);
}

TSelectRisForm::~TSelectRisForm()
{
    if (m_sorgente)
        m_sorgente->chiudiSenzaGestori();
}

void TSelectRisForm::apri()
{
    m_sorgente = std::make_unique<grid::SorgenteQuery>();
    m_sorgente->setTesto(m_sql);
    m_sorgente->setParametri(m_parametri);
    m_sorgente->attach(m_context->database(), m_context->transaction());
    GridRisultato->CodiceProgetto = m_context->CodiceProgetto;
    GridRisultato->DatabaseImpostazioni = &m_context->database();
    GridRisultato->CreaTabelleAspetto();
    GridRisultato->SetSorgenteDati(m_sorgente.get());
    m_sorgente->open();
}

void TSelectRisForm::ButtonElaboraClick()
{
    db::Transaction &tra = m_context->transaction();
    EsitoCopia esito;
    GridRisultato->setUpdatesEnabled(false);
    try {
        // The copy reads the rows again on a cursor of its own: the grid
        // keeps only what was scrolled to.
        db::Statement st(tra, m_sql, m_parametri.empty() ? db::ParamStyle::AsWritten : db::ParamStyle::Named);
        for (const auto &[nome, valore] : m_parametri)
            st.setParam(nome, valore);
        db::ResultSet rs = st.open();
        const std::vector<db::Column> colonne = rs.columns();
        esito = copiaInTmp222(tra, colonne, [&](std::vector<db::FieldValue> &riga) {
            if (!rs.next())
                return false;
            riga.resize(size_t(rs.columnCount()));
            for (int i = 0; i < rs.columnCount(); ++i)
                riga[size_t(i)] = rs.value(i);
            return true;
        });
    } catch (const db::Error &e) {
        esito.fallito = PassoCopia::Insert;
        esito.messaggio = e.message();
    }
    GridRisultato->setUpdatesEnabled(true);
    switch (esito.fallito) {
    case PassoCopia::Drop:
        platform::error(QStringLiteral("Errore interno di DROP: impossibile eliminare la tabella temporanea TMP222. Riprovare.")
                        + QLatin1Char('\r') + esito.messaggio);
        return;
    case PassoCopia::Create:
        platform::error(QStringLiteral("Errore interno di CREATE: impossibile creare la tabella TMP222. Riprovare")
                        + QLatin1Char('\r') + esito.messaggio);
        return;
    case PassoCopia::Insert:
        platform::error(QStringLiteral("Errore interno di INSERT: impossibile elaborare la query. Riprovare")
                        + QLatin1Char('\r') + esito.messaggio);
        return;
    case PassoCopia::Nessuno: break;
    }
    apriQuery()(*this);
}

} // namespace vardof::tabletools
