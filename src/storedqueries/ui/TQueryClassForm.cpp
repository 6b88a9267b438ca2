#include "storedqueries/ui/TQueryClassForm.h"

#include "context/WorkContext.h"
#include "db/Error.h"
#include "grid/ModelloGriglia.h"
#include "grid/SorgenteDati.h"
#include "grid/ui/TQmtGrid.h"
#include "platform/Messages.h"
#include "storedqueries/Classificazioni.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace vardof::storedqueries {

namespace {

QLineEdit *campoLettura(QWidget *parent, const char *nome)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(nome));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    // Dark, as fields that only show the current row.
    QPalette p = e->palette();
    p.setColor(QPalette::Base, QColor(0x40, 0x40, 0x40));
    p.setColor(QPalette::Text, Qt::white);
    e->setPalette(p);
    return e;
}

QPushButton *bottone(QWidget *parent, const QString &testo, const char *nome)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QLatin1String(nome));
    return b;
}

} // namespace

TQueryClassForm::TQueryClassForm(int userNumber, int classificazione, context::TTabForm *context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_utente(userNumber)
    , m_n(classificazione)
{
    setObjectName(QStringLiteral("QueryClassForm"));
    setWindowTitle(QStringLiteral("Classificazioni %1 - Ditta: ").arg(m_n) + context->NomeProgetto);
    setModal(true);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(13);
    setFont(f);

    auto *layout = new QVBoxLayout(this);
    auto *alto = new QHBoxLayout;
    auto *campi = new QGridLayout;
    ButtonCodice = bottone(this, QStringLiteral("Codice"), "ButtonCodice");
    ButtonDescrizione = bottone(this, QStringLiteral("Descrizione"), "ButtonDescrizione");
    for (QPushButton *b : {ButtonCodice, ButtonDescrizione})
        b->setFocusPolicy(Qt::NoFocus);
    CODICE = campoLettura(this, "CODICE");
    DESCRIZIONE = campoLettura(this, "DESCRIZIONE");
    CODICE->setMaximumWidth(90);
    campi->addWidget(ButtonCodice, 0, 0);
    campi->addWidget(ButtonDescrizione, 0, 1);
    campi->addWidget(CODICE, 1, 0);
    campi->addWidget(DESCRIZIONE, 1, 1);
    campi->setColumnStretch(1, 1);
    alto->addLayout(campi, 1);
    auto *bottoni = new QGridLayout;
    ButtonNuovo = bottone(this, QStringLiteral("Nuovo"), "ButtonNuovo");
    ButtonEdit = bottone(this, QStringLiteral("Edit"), "ButtonEdit");
    ButtonElimina = bottone(this, QStringLiteral("Elimina"), "ButtonElimina");
    ButtonChiudi = bottone(this, QStringLiteral("Chiudi"), "ButtonChiudi");
    bottoni->addWidget(ButtonNuovo, 0, 0);
    bottoni->addWidget(ButtonEdit, 0, 1);
    bottoni->addWidget(ButtonElimina, 1, 0);
    bottoni->addWidget(ButtonChiudi, 1, 1);
    alto->addLayout(bottoni);
    layout->addLayout(alto);

    GridQueryClass = new grid::TQmtGrid(this);
    GridQueryClass->setObjectName(QStringLiteral("GridQueryClass"));
    GridQueryClass->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(GridQueryClass, 1);
    resize(460, 380);

    connect(ButtonNuovo, &QPushButton::clicked, this, &TQueryClassForm::ButtonNuovoClick);
    connect(ButtonEdit, &QPushButton::clicked, this, &TQueryClassForm::ButtonEditClick);
    connect(ButtonElimina, &QPushButton::clicked, this, &TQueryClassForm::ButtonEliminaClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &TQueryClassForm::ButtonChiudiClick);
    connect(GridQueryClass, &grid::TQmtGrid::OnInizioRicerca, this, &TQueryClassForm::GridQueryClassInizioRicerca);
    connect(GridQueryClass, &grid::TQmtGrid::OnFineRicerca, this, &TQueryClassForm::GridQueryClassFineRicerca);
    connect(GridQueryClass, &grid::TQmtGrid::rigaCorrenteCambiata, this, &TQueryClassForm::aggiornaCampi);

    m_query = new grid::SorgenteQuery(this);
    if (!m_context->isConnected())
        return;
    m_pronta = CheckTabQueryClass(m_context->database(), m_context->transaction(), m_n);
    if (!m_pronta)
        return;
    m_query->attach(m_context->database(), m_context->transaction());

    GridQueryClass->CodiceProgetto = m_context->CodiceProgetto;
    GridQueryClass->setSituazione(m_n == 1 ? m_context->SituazioneClass1 : m_context->SituazioneClass2);
    GridQueryClass->Utente = m_utente;
    m_query->primaDellApertura = [this](grid::SorgenteDati &) {
        if (ricercaInCorso())
            return;
        const QStringList sql{QStringLiteral("SELECT"), QStringLiteral("  *"), QStringLiteral("FROM"),
                              QStringLiteral("  ") + tabellaClassificazione(m_n)};
        m_query->SQL() = sql;
        GridQueryClass->SQLIniziale = sql;
        GridQueryClass->CaricaAspetto();
    };
    m_query->primaDellaChiusura = [this](grid::SorgenteDati &s) {
        if (!ricercaInCorso() && s.isOpen() && !GridQueryClass->AspettoInModifica())
            GridQueryClass->SalvaAspetto();
    };
    GridQueryClass->DatabaseImpostazioni = &m_context->database();
    GridQueryClass->TabellaPiccola = true;
    GridQueryClass->DirBin = m_context->DirectoryBin;
    GridQueryClass->SezioneImpostazioni = m_context->NomeProgetto;
    GridQueryClass->AbilitaRicerca = true;
    try {
        // The layout tables must be there before the grid reads the user's settings.
        GridQueryClass->CreaTabelleAspetto();
        GridQueryClass->SetSorgenteDati(m_query);
        m_query->open();
        if (m_query->columnCount() > 0)
            posiziona(-1);
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
    aggiornaCampi();
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

TQueryClassForm::~TQueryClassForm()
{
    try {
        m_query->close();
    } catch (const db::Error &) {
        // The layout could not be saved: the window goes anyway.
    }
}

bool TQueryClassForm::ricercaInCorso() const
{
    return GridQueryClass->property("Tag").toInt() != 0;
}

void TQueryClassForm::GridQueryClassInizioRicerca()
{
    GridQueryClass->setProperty("Tag", 1);
}

void TQueryClassForm::GridQueryClassFineRicerca()
{
    GridQueryClass->setProperty("Tag", 0);
}

QList<QPair<int, QString>> TQueryClassForm::righe() const
{
    QList<QPair<int, QString>> out;
    if (!m_query->isOpen())
        return out;
    GridQueryClass->modello()->fetchAll();
    const int c = m_query->indiceCampo(QStringLiteral("CODICE"));
    const int d = m_query->indiceCampo(QStringLiteral("DESCRIZIONE"));
    for (int r = 0; r < m_query->fetchedCount(); ++r)
        out.append({int(db::toInt64(*m_query->value(r, c)).value_or(0)), db::toText(m_query->value(r, d))});
    return out;
}

bool TQueryClassForm::posiziona(int codice)
{
    if (!m_query->isOpen())
        return false;
    const QList<QPair<int, QString>> tutte = righe();
    for (int r = 0; r < tutte.size(); ++r) {
        if (codice < 0 || tutte[r].first == codice) {
            GridQueryClass->setCurrentIndex(GridQueryClass->modello()->index(r, 0));
            aggiornaCampi();
            return true;
        }
    }
    aggiornaCampi();
    return false;
}

bool TQueryClassForm::rigaCorrente(int &codice, QString &descrizione) const
{
    const int r = GridQueryClass->rigaCorrente();
    if (!m_query->isOpen() || r < 0 || r >= m_query->fetchedCount())
        return false;
    codice = int(db::toInt64(*m_query->value(r, m_query->indiceCampo(QStringLiteral("CODICE")))).value_or(0));
    descrizione = db::toText(m_query->value(r, m_query->indiceCampo(QStringLiteral("DESCRIZIONE"))));
    return true;
}

void TQueryClassForm::aggiornaCampi()
{
    int codice = 0;
    QString descrizione;
    if (rigaCorrente(codice, descrizione)) {
        CODICE->setText(QString::number(codice));
        DESCRIZIONE->setText(descrizione);
    } else {
        CODICE->clear();
        DESCRIZIONE->clear();
    }
}

void TQueryClassForm::riapri()
{
    m_query->close();
    m_query->open();
}

std::optional<QString> TQueryClassForm::chiediDescrizione(bool nuovo, const QString &iniziale,
                                                         std::optional<int> escluso)
{
    QString testo = iniziale;
    for (;;) {
        const std::optional<QString> risposta = platform::inputBox(
            nuovo ? QStringLiteral("Nuovo") : QStringLiteral("Modifica"), QStringLiteral("Descrizione (max 20 car.)"),
            testo);
        if (!risposta)
            return std::nullopt;
        testo = *risposta;
        QString accettata;
        EsitoDescrizione esito;
        try {
            esito = verificaDescrizione(m_context->database(), m_n, testo, escluso, accettata);
        } catch (const db::Error &e) {
            platform::error(e.message());
            return std::nullopt;
        }
        if (esito == EsitoDescrizione::Accettata)
            return accettata;
        platform::warning(messaggioDescrizione(esito));
    }
}

void TQueryClassForm::ButtonNuovoClick()
{
    if (!m_pronta)
        return;
    const std::optional<QString> descrizione = chiediDescrizione(true, QString(), std::nullopt);
    if (!descrizione)
        return;
    int codice = 0;
    try {
        codice = nuovoCodiceClassificazione(m_context->database(), m_n);
        inserisciClassificazione(m_context->database(), m_context->transaction(), m_n, codice, *descrizione);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore interno durante l'inserimento di una nuova classificazione:")
                        + QLatin1Char('\r') + e.message());
        return;
    }
    riapriSu(codice);
}

void TQueryClassForm::riapriSu(int codice)
{
    try {
        riapri();
        posiziona(codice);
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
}

bool TQueryClassForm::rigaScelta(int &codice, QString &descrizione) const
{
    if (rigaCorrente(codice, descrizione))
        return true;
    platform::warning(QStringLiteral("Selezionare una classificazione"));
    return false;
}

void TQueryClassForm::ButtonEditClick()
{
    int codice = 0;
    QString attuale;
    if (!rigaScelta(codice, attuale))
        return;
    const std::optional<QString> descrizione = chiediDescrizione(false, attuale, codice);
    if (!descrizione)
        return;
    try {
        rinominaClassificazione(m_context->database(), m_context->transaction(), m_n, codice, *descrizione);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore interno durante il salvataggio delle modifiche:") + QLatin1Char('\r')
                        + e.message());
        return;
    }
    riapriSu(codice);
}

void TQueryClassForm::ButtonEliminaClick()
{
    int codice = 0;
    QString descrizione;
    if (!rigaScelta(codice, descrizione))
        return;
    try {
        if (classificazioneUsata(m_context->database(), m_n, descrizione)) {
            platform::warning(QStringLiteral("Descrizione utilizzata nello storico"));
            return;
        }
    } catch (const db::Error &e) {
        platform::error(e.message());
        return;
    }
    if (!platform::confirm(QStringLiteral("Eliminare la classificazione selezionata?")))
        return;
    const int posizione = GridQueryClass->rigaCorrente();
    try {
        eliminaClassificazione(m_context->database(), m_context->transaction(), m_n, codice);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore interno durante l'eliminazione:") + QLatin1Char('\r') + e.message());
        return;
    }
    try {
        riapri();
        const int righeOra = int(righe().size());
        if (righeOra > 0)
            GridQueryClass->setCurrentIndex(
                GridQueryClass->modello()->index(std::min(posizione, righeOra - 1), 0));
        aggiornaCampi();
    } catch (const db::Error &e) {
        platform::error(e.message());
    }
}

void TQueryClassForm::ButtonChiudiClick()
{
    close();
}

} // namespace vardof::storedqueries
