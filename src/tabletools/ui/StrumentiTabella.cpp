#include "tabletools/ui/StrumentiTabella.h"

#include "db/Error.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Services.h"
#include "platform/TextFile.h"
#include "platform/widgets/WindowRunFeedback.h"
#include "tabletools/TabellaEditor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vardof::tabletools {

namespace {

QPushButton *bottone(const QString &testo, const char *nome, QWidget *parent)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TAzioniForm::TAzioniForm(TabellaEditor &tabella, const QStringList &statement, const QStringList &colonne,
                         QWidget *parent)
    : QDialog(parent), m_tabella(tabella), m_statement(statement)
{
    setObjectName(QStringLiteral("TAzioniForm"));
    setWindowTitle(QStringLiteral("AzioniForm"));
    resize(900, 640);
    auto *campi = new QGridLayout;
    ComboCampo1 = new QComboBox(this);
    ComboCampo2 = new QComboBox(this);
    for (QComboBox *c : {ComboCampo1, ComboCampo2}) {
        c->addItem(QString());
        c->addItems(colonne);
    }
    ComboCampo1->setObjectName(QStringLiteral("ComboCampo1"));
    ComboCampo2->setObjectName(QStringLiteral("ComboCampo2"));
    EditVal1 = new QLineEdit(this);
    EditVal2 = new QLineEdit(this);
    EditVal1->setObjectName(QStringLiteral("EditVal1"));
    EditVal2->setObjectName(QStringLiteral("EditVal2"));
    EditVal1->setMaxLength(256);
    EditVal2->setMaxLength(256);
    const std::pair<QString, QWidget *> righe[] = {{QStringLiteral("Campo 1"), ComboCampo1},
                                                   {QStringLiteral("Campo 2"), ComboCampo2},
                                                   {QStringLiteral("Valore 1"), EditVal1},
                                                   {QStringLiteral("Valore 2"), EditVal2}};
    int r = 0;
    for (const auto &[testo, campo] : righe) {
        auto *b = bottone(testo, "", this);
        QWidget *bersaglio = campo;
        connect(b, &QPushButton::clicked, bersaglio, [bersaglio] { bersaglio->setFocus(); });
        campi->addWidget(b, r, 0);
        campi->addWidget(campo, r, 1);
        ++r;
    }
    auto *gruppoAzioni = new QGroupBox(QStringLiteral("Azioni"), this);
    auto *la = new QVBoxLayout(gruppoAzioni);
    RadioAzioni = new QButtonGroup(this);
    for (int i = 0; i < didascalieAzioni().size(); ++i) {
        auto *rb = new QRadioButton(didascalieAzioni()[i], gruppoAzioni);
        la->addWidget(rb);
        RadioAzioni->addButton(rb, i);
        rb->setChecked(i == 0);
    }
    auto *gruppoCs = new QGroupBox(QStringLiteral("Sensibile a Maiusc./Minusc."), this);
    auto *lc = new QHBoxLayout(gruppoCs);
    RadioCsNo = new QRadioButton(QStringLiteral("No"), gruppoCs);
    RadioCsSi = new QRadioButton(QStringLiteral("Si"), gruppoCs);
    RadioCsNo->setChecked(true);
    lc->addWidget(RadioCsNo);
    lc->addWidget(RadioCsSi);
    auto *bottoni = new QHBoxLayout;
    ButtonAggiungi = bottone(QStringLiteral("Aggiungi"), "ButtonAggiungi", this);
    ButtonElimina = bottone(QStringLiteral("Elimina"), "ButtonElimina", this);
    ButtonSalva = bottone(QStringLiteral("Salva"), "ButtonSalva", this);
    ButtonCarica = bottone(QStringLiteral("Carica"), "ButtonCarica", this);
    ButtonEsegui = bottone(QStringLiteral("Esegui"), "ButtonEsegui", this);
    ButtonChiudi = bottone(QStringLiteral("Chiudi"), "ButtonChiudi", this);
    for (QPushButton *b : {ButtonAggiungi, ButtonElimina, ButtonSalva, ButtonCarica, ButtonEsegui, ButtonChiudi})
        bottoni->addWidget(b);
    GridRiepil = new QTableWidget(0, 8, this);
    GridRiepil->setObjectName(QStringLiteral("GridRiepil"));
    GridRiepil->setHorizontalHeaderLabels({QStringLiteral("NRIGA"), QStringLiteral("AZIONE"), QStringLiteral("DESCRIZIONE"),
                                           QStringLiteral("CAMPO1"), QStringLiteral("CAMPO2"), QStringLiteral("VALORE1"),
                                           QStringLiteral("VALORE2"), QStringLiteral("CS")});
    GridRiepil->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridRiepil->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridRiepil->horizontalHeader()->setStretchLastSection(true);
    auto *esecuzione = new QHBoxLayout;
    LabelEsecuzione = new QLabel(QStringLiteral("ESECUZIONE RIGA:"), this);
    LabelRiga = new QLabel(this);
    LabelRiga->setObjectName(QStringLiteral("LabelRiga"));
    BarraProgresso = new QProgressBar(this);
    BarraProgresso->setRange(0, 100);
    esecuzione->addWidget(LabelEsecuzione);
    esecuzione->addWidget(LabelRiga);
    esecuzione->addWidget(BarraProgresso, 1);
    LabelEsecuzione->hide();
    LabelRiga->hide();
    BarraProgresso->hide();
    MemoLog = new QPlainTextEdit(this);
    MemoLog->setObjectName(QStringLiteral("MemoLog"));
    MemoLog->setReadOnly(true);

    auto *alto = new QHBoxLayout;
    auto *sx = new QVBoxLayout;
    sx->addLayout(campi);
    sx->addWidget(gruppoCs);
    sx->addStretch(1);
    alto->addLayout(sx, 1);
    alto->addWidget(gruppoAzioni, 2);
    auto *l = new QVBoxLayout(this);
    l->addLayout(alto);
    l->addLayout(bottoni);
    l->addWidget(new QLabel(QStringLiteral("Riepilogo Azioni"), this));
    l->addWidget(GridRiepil, 2);
    l->addLayout(esecuzione);
    l->addWidget(new QLabel(QStringLiteral("Log"), this));
    l->addWidget(MemoLog, 1);

    connect(ButtonAggiungi, &QPushButton::clicked, this, &TAzioniForm::ButtonAggiungiClick);
    connect(ButtonElimina, &QPushButton::clicked, this, &TAzioniForm::ButtonEliminaClick);
    connect(ButtonSalva, &QPushButton::clicked, this, &TAzioniForm::ButtonSalvaClick);
    connect(ButtonCarica, &QPushButton::clicked, this, &TAzioniForm::ButtonCaricaClick);
    connect(ButtonEsegui, &QPushButton::clicked, this, &TAzioniForm::ButtonEseguiClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

void TAzioniForm::mostraSequenza()
{
    GridRiepil->setRowCount(int(m_sequenza.size()));
    for (int r = 0; r < int(m_sequenza.size()); ++r) {
        const Azione &a = m_sequenza[size_t(r)];
        const QStringList valori = {QString::number(a.nriga), a.azione ? QString::number(*a.azione) : QString(),
                                    a.descrizione, a.campo1, a.campo2, a.valore1, a.valore2, a.cs};
        for (int c = 0; c < valori.size(); ++c)
            GridRiepil->setItem(r, c, new QTableWidgetItem(valori[c]));
    }
}

void TAzioniForm::ButtonAggiungiClick()
{
    const int codice = RadioAzioni->checkedId();
    const QStringList messaggi =
        controlliAggiunta(codice, ComboCampo1->currentText(), EditVal1->text(), EditVal2->text());
    for (const QString &m : messaggi)
        platform::information(m);
    if (!messaggi.isEmpty())
        return;
    Azione a;
    a.nriga = ++m_aggiunte;
    a.azione = codice;
    a.descrizione = didascalieAzioni()[codice];
    a.campo1 = ComboCampo1->currentText();
    a.campo2 = ComboCampo2->currentText();
    a.valore1 = EditVal1->text();
    a.valore2 = EditVal2->text();
    a.cs = RadioCsSi->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    m_sequenza.push_back(a);
    mostraSequenza();
    GridRiepil->selectRow(int(m_sequenza.size()) - 1);
}

void TAzioniForm::ButtonEliminaClick()
{
    if (m_sequenza.empty()) {
        platform::information(QStringLiteral("Non ci sono righe nel Riepilogo Azioni"));
        return;
    }
    if (!platform::confirm(QStringLiteral("Sicuro di voler eliminara l'ultima azione aggiunta?")))
        return;
    int riga = GridRiepil->currentRow();
    if (riga < 0 || riga >= int(m_sequenza.size()))
        riga = int(m_sequenza.size()) - 1;
    m_sequenza.erase(m_sequenza.begin() + riga);
    mostraSequenza();
}

void TAzioniForm::ButtonSalvaClick()
{
    const std::optional<QString> scelto = platform::fileDialogs().saveFile(
        QStringLiteral("Salva Riepilogo Azioni"), QString(), QStringLiteral("File di testo (*.txt)|*.txt|Tutti i file (*.*)|*.*"));
    if (!scelto)
        return;
    QStringList righe;
    for (const Azione &a : m_sequenza)
        righe << rigaFile(a);
    QString errore;
    if (!platform::writeTextLines(nomeFileSequenza(*scelto), righe, nullptr, &errore)) {
        platform::error(QStringLiteral("Salvataggio fallito") + QLatin1Char('\r') + errore);
        return;
    }
    platform::information(QStringLiteral("Riepilogo Azioni salvato"));
}

void TAzioniForm::ButtonCaricaClick()
{
    const std::optional<QString> scelto = platform::fileDialogs().openFile(
        QStringLiteral("Carica Riepilogo Azioni"), QString(), QStringLiteral("File di testo (*.txt)|*.txt|Tutti i file (*.*)|*.*"));
    if (!scelto)
        return;
    if (!scelto->toUpper().contains(QLatin1String(".TXT"))) {
        platform::warning(QStringLiteral("Attenzione: formato file non valido"));
        return;
    }
    QString errore;
    const std::optional<QStringList> righe = platform::readTextLines(*scelto, &errore);
    if (!righe) {
        platform::error(QStringLiteral("Caricamento fallito") + QLatin1Char('\r') + errore);
        return;
    }
    m_sequenza.clear();
    for (const QString &r : *righe)
        if (std::optional<Azione> a = azioneDaRiga(r))
            m_sequenza.push_back(*a);
    mostraSequenza();
    platform::information(QStringLiteral("Caricamento effettuato"));
}

void TAzioniForm::ButtonEseguiClick()
{
    MemoLog->clear();
    if (!platform::confirm(QStringLiteral("Sicuro di voler eseguire la sequenza di azioni?")))
        return;
    LabelEsecuzione->show();
    LabelRiga->show();
    platform::WindowRunFeedback fb;
    fb.onLine = [this](const QString &t) { MemoLog->appendPlainText(t); };
    fb.onProgress = [this](int p) {
        BarraProgresso->show();
        BarraProgresso->setValue(p);
    };
    setEnabled(false);
    std::vector<Azione> sequenza = m_sequenza;
    const EsitoSequenza esito = eseguiSequenza(m_tabella, m_statement, sequenza, fb);
    setEnabled(true);
    LabelEsecuzione->hide();
    LabelRiga->hide();
    BarraProgresso->hide();
    if (esito == EsitoSequenza::Completata)
        platform::information(QStringLiteral("Elaborazione completata"));
}

// ---- quote replacement ------------------------------------------------------------

TSostApForm::TSostApForm(TabellaEditor *tabella, const QStringList &statement, QWidget *parent)
    : QDialog(parent), m_tabella(tabella), m_statement(statement)
{
    setObjectName(QStringLiteral("TSostApForm"));
    setWindowTitle(QStringLiteral("Sostituzione Apici"));
    resize(640, 420);
    auto *nota = new QPlainTextEdit(this);
    nota->setReadOnly(true);
    nota->setPlainText(QStringLiteral("La procedura sostituisce in tutti i record della tabella selezionata ed in tutti i \n"
                                      "campi, gli apici (codice ascii 39) con il carattere Accento Acuto (codice ascii \n"
                                      "0180) in modo da rendere la tabella compatibile con le query SQL."));
    nota->setMaximumHeight(70);
    BarraProgresso = new QProgressBar(this);
    BarraProgresso->setRange(0, 100);
    BarraProgresso->setValue(0);
    MemoModifiche = new QPlainTextEdit(this);
    MemoModifiche->setReadOnly(true);
    ButtonElabora = bottone(QStringLiteral("&Elabora"), "ButtonElabora", this);
    ButtonChiudi = bottone(QStringLiteral("&Chiudi"), "ButtonChiudi", this);
    auto *b = new QHBoxLayout;
    b->addStretch(1);
    b->addWidget(ButtonElabora);
    b->addWidget(ButtonChiudi);
    auto *l = new QVBoxLayout(this);
    l->addWidget(nota);
    l->addWidget(BarraProgresso);
    l->addWidget(MemoModifiche, 1);
    l->addLayout(b);
    connect(ButtonElabora, &QPushButton::clicked, this, &TSostApForm::ButtonElaboraClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

void TSostApForm::ButtonElaboraClick()
{
    if (!platform::confirmOkCancel(QStringLiteral("Confermare la sostituzione apici?")))
        return;
    if (!m_tabella) {
        platform::error(QStringLiteral("Nessuna tabella aperta"));
        return;
    }
    platform::WindowRunFeedback fb;
    fb.onLine = [this](const QString &t) { MemoModifiche->appendPlainText(t); };
    fb.onProgress = [this](int p) { BarraProgresso->setValue(p); };
    try {
        sostituisciApici(*m_tabella, m_statement, fb);
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    } catch (const std::exception &e) {
        platform::error(QString::fromUtf8(e.what()));
        return;
    }
    platform::showMessage(QStringLiteral("Elaborazione completata."));
}

// ---- free text editor ---------------------------------------------------------------

TEditMemoForm::TEditMemoForm(const QString &campo, const QString &testo, const QString &ditta, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TEditMemoForm"));
    setWindowTitle(QStringLiteral("Editazione libera del campo Memo ") + campo + QStringLiteral(" Ditta: ") + ditta);
    resize(720, 520);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setPlainText(testo);
    ButtonOk = bottone(QStringLiteral("Ok"), "ButtonOk", this);
    ButtonCancel = bottone(QStringLiteral("Cancel"), "ButtonCancel", this);
    auto *b = new QHBoxLayout;
    b->addStretch(1);
    b->addWidget(ButtonOk);
    b->addWidget(ButtonCancel);
    auto *l = new QVBoxLayout(this);
    l->addWidget(Memo, 1);
    l->addLayout(b);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TEditMemoForm::testo() const
{
    // The text goes back with the line ends a Windows program expects.
    QString t = Memo->toPlainText();
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return t;
}

} // namespace vardof::tabletools
