#include "output/report/ui/TStQmtGridForm.h"

#include "db/Error.h"
#include "grid/ui/TQmtGrid.h"
#include "output/report/ui/FinestraAnteprima.h"
#include "output/report/ui/FinestraDisegno.h"
#include "platform/Messages.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardof::output::report {

TStQmtGridForm::TStQmtGridForm(QWidget *owner, TQmtGridStampa &stampa) : QDialog(owner), m_stampa(stampa)
{
    setObjectName(QStringLiteral("TStQmtGridForm"));
    setWindowTitle(QStringLiteral("Stampa ") + stampa.NomeTitolo);
    auto *v = new QVBoxLayout(this);

    GroupIntestazione = new QGroupBox(QStringLiteral("Intestazione"), this);
    GroupIntestazione->setObjectName(QStringLiteral("GroupIntestazione"));
    auto *fi = new QFormLayout(GroupIntestazione);
    EditIntestazione1 = new QLineEdit(GroupIntestazione);
    EditIntestazione1->setObjectName(QStringLiteral("EditIntestazione1"));
    EditIntestazione2 = new QLineEdit(GroupIntestazione);
    EditIntestazione2->setObjectName(QStringLiteral("EditIntestazione2"));
    fi->addRow(QStringLiteral("Riga 1:"), EditIntestazione1);
    fi->addRow(QStringLiteral("Riga 2:"), EditIntestazione2);
    auto *allinea = new QGroupBox(QStringLiteral("Allineamento"), GroupIntestazione);
    allinea->setObjectName(QStringLiteral("RadioAllineaIntestazione"));
    auto *ha = new QHBoxLayout(allinea);
    RadioAllineaSinistra = new QRadioButton(QStringLiteral("A sinistra"), allinea);
    RadioAllineaCentro = new QRadioButton(QStringLiteral("Centrale"), allinea);
    ha->addWidget(RadioAllineaSinistra);
    ha->addWidget(RadioAllineaCentro);
    RadioAllineaSinistra->setChecked(true);
    fi->addRow(allinea);
    v->addWidget(GroupIntestazione);

    GroupOpzioni = new QGroupBox(QStringLiteral("Opzioni stampa"), this);
    GroupOpzioni->setObjectName(QStringLiteral("GroupOpzioni"));
    auto *vo = new QVBoxLayout(GroupOpzioni);
    auto *orient = new QGroupBox(QStringLiteral("Orientamento pagina"), GroupOpzioni);
    orient->setObjectName(QStringLiteral("RadioOrientamentoPagina"));
    auto *ho = new QHBoxLayout(orient);
    RadioVerticale = new QRadioButton(QStringLiteral("Verticale"), orient);
    RadioOrizzontale = new QRadioButton(QStringLiteral("Orizzontale"), orient);
    ho->addWidget(RadioVerticale);
    ho->addWidget(RadioOrizzontale);
    RadioVerticale->setChecked(true);
    vo->addWidget(orient);
    CheckNumeraPagine = new QCheckBox(QStringLiteral("Esponi numerazione pagine"), GroupOpzioni);
    CheckNumeraPagine->setObjectName(QStringLiteral("CheckNumeraPagine"));
    CheckTroncaTesti = new QCheckBox(QStringLiteral("Tronca testi che eccedono i bordi in griglia"), GroupOpzioni);
    CheckTroncaTesti->setObjectName(QStringLiteral("CheckTroncaTesti"));
    CheckForzaUltimaColonna = new QCheckBox(QStringLiteral("Forza esposizione ultima colonna"), GroupOpzioni);
    CheckForzaUltimaColonna->setObjectName(QStringLiteral("CheckForzaUltimaColonna"));
    CheckForzaUltimaColonna->setChecked(true);
    vo->addWidget(CheckNumeraPagine);
    vo->addWidget(CheckTroncaTesti);
    vo->addWidget(CheckForzaUltimaColonna);
    vo->addWidget(new QLabel(
        QStringLiteral("(verrà utilizzato tutto lo spazio disponibile in stampa, troncando l'ultima colonna)"), GroupOpzioni));
    auto *dim = new QGroupBox(QStringLiteral("Dimensione font dati"), GroupOpzioni);
    dim->setObjectName(QStringLiteral("RadioDimensioneFont"));
    auto *hd = new QVBoxLayout(dim);
    RadioFont6 = new QRadioButton(QStringLiteral("Mini (Arial 6)"), dim);
    RadioFont8 = new QRadioButton(QStringLiteral("Piccola (Arial 8)"), dim);
    RadioFont10 = new QRadioButton(QStringLiteral("Media (Arial 10)"), dim);
    RadioFont12 = new QRadioButton(QStringLiteral("Grande (Arial 12)"), dim);
    for (QRadioButton *r : {RadioFont6, RadioFont8, RadioFont10, RadioFont12})
        hd->addWidget(r);
    RadioFont10->setChecked(true);
    vo->addWidget(dim);
    v->addWidget(GroupOpzioni);

    auto *bottoni = new QHBoxLayout;
    ButtonAnteprima = new QPushButton(QStringLiteral("Anteprima"), this);
    ButtonAnteprima->setObjectName(QStringLiteral("ButtonAnteprima"));
    ButtonAnteprima->setDefault(true);
    ButtonChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    ButtonChiudi->setObjectName(QStringLiteral("ButtonChiudi"));
    bottoni->addStretch();
    bottoni->addWidget(ButtonAnteprima);
    bottoni->addWidget(ButtonChiudi);
    v->addLayout(bottoni);

    AzioneEditaReport = new QAction(QStringLiteral("Apri editazione report (assistenza tecnica)"), this);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(AzioneEditaReport);

    connect(ButtonAnteprima, &QPushButton::clicked, this, &TStQmtGridForm::ButtonAnteprimaClick);
    connect(ButtonChiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(AzioneEditaReport, &QAction::triggered, this, &TStQmtGridForm::EditaReportClick);
    setFixedSize(sizeHint());
}

void TStQmtGridForm::copiaOpzioni()
{
    OpzioniLayoutGriglia &o = m_stampa.opzioni;
    o.intestazione1 = EditIntestazione1->text();
    o.intestazione2 = EditIntestazione2->text();
    o.allineamentoIntestazione = RadioAllineaCentro->isChecked() ? 1 : 0;
    o.orizzontale = RadioOrizzontale->isChecked();
    o.numeraPagine = CheckNumeraPagine->isChecked();
    o.troncaTesti = CheckTroncaTesti->isChecked();
    o.forzaUltimaColonna = CheckForzaUltimaColonna->isChecked();
    o.dimensioneFont = RadioFont6->isChecked() ? 6 : RadioFont8->isChecked() ? 8 : RadioFont12->isChecked() ? 12 : 10;
}

void TStQmtGridForm::ButtonAnteprimaClick()
{
    copiaOpzioni();
    const QString file = m_stampa.percorsoLayout();
    try {
        QString errore;
        if (!m_stampa.ScriviLayout(&errore)) {
            platform::error(QStringLiteral("Errore di scrittura del file ") + file + QStringLiteral(":\r") + errore);
            return;
        }
        QFile f(file);
        std::optional<ModelloReport> m;
        if (f.open(QIODevice::ReadOnly))
            m = LeggiLayout(f.readAll(), &errore);
        f.close();
        if (!m) {
            platform::error(QStringLiteral("Errore nell'accesso alla stampa:\r") + errore);
        } else if (m_stampa.DatabaseImpostazioni) {
            SorgenteSql sorgente(*m_stampa.DatabaseImpostazioni, m_stampa.TestoSQL);
            FinestraAnteprima anteprima(this, QStringLiteral("Stampa ") + m_stampa.NomeTitolo, *m,
                                        [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali,
                                            QString *e, int *n) {
                                            DatiStampa d;
                                            d.pagineTotali = totali;
                                            return StampaRighe(*m, sorgente, d, misura, consegna, e, n);
                                        });
            if (!anteprima.errore().isEmpty()) {
                // Stopped by the user while counting: nothing to tell.
                if (anteprima.errore() != testoStampaInterrotta())
                    platform::error(QStringLiteral("Errore nell'accesso alla stampa:\r") + anteprima.errore());
            } else if (esegui)
                esegui(anteprima);
            else
                anteprima.exec();
        }
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore nell'accesso alla stampa:\r") + e.message());
    }
    QFile::remove(file);
}

void TStQmtGridForm::EditaReportClick()
{
    copiaOpzioni();
    const QString file = m_stampa.percorsoLayout();
    try {
        QString errore;
        if (!m_stampa.ScriviLayout(&errore)) {
            platform::error(QStringLiteral("Errore di scrittura del file ") + file + QStringLiteral(":\r") + errore);
            return;
        }
        FinestraDisegno::Anteprima anteprima;
        if (m_stampa.DatabaseImpostazioni)
            anteprima = [this](QWidget *sopra, const ModelloReport &m) {
                SorgenteSql sorgente(*m_stampa.DatabaseImpostazioni, m_stampa.TestoSQL);
                FinestraAnteprima finestra(sopra, QStringLiteral("Stampa ") + m_stampa.NomeTitolo, m,
                                           [&](Misuratore &misura, const Impaginatore::Consegna &consegna, int totali,
                                               QString *e, int *n) {
                                               DatiStampa d;
                                               d.pagineTotali = totali;
                                               return StampaRighe(m, sorgente, d, misura, consegna, e, n);
                                           });
                if (!finestra.errore().isEmpty()) {
                    // Stopped by the user while counting: nothing to tell.
                    if (finestra.errore() != testoStampaInterrotta())
                        platform::error(QStringLiteral("Errore nell'accesso alla stampa:\r") + finestra.errore());
                } else if (esegui)
                    esegui(finestra);
                else
                    finestra.exec();
            };
        ApriDisegno(this, file, anteprima, eseguiDisegno);
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore nell'accesso alla stampa:\r") + e.message());
    }
    // As after a preview: the layout lives only while it is being used.
    QFile::remove(file);
}

void installaStampaGriglia()
{
    grid::TQmtGrid::setStampa([](const grid::RichiestaStampa &r, QWidget *parent) {
        TQmtGridStampa stampa;
        stampa.CodiceProgetto = r.progetto;
        stampa.CodiceSituazione = r.situazione;
        stampa.Utente = r.utente;
        stampa.NomeTitolo = r.nomeTabella;
        stampa.TestoSQL = r.statement;
        stampa.DirBin = r.dirBin;
        stampa.DatabaseImpostazioni = r.impostazioni;
        TStQmtGridForm finestra(parent, stampa);
        finestra.setFont(r.font);
        // Sized again for the grid's font, or the longer texts are cut.
        finestra.setFixedSize(finestra.sizeHint());
        finestra.exec();
    });
}

} // namespace vardof::output::report
