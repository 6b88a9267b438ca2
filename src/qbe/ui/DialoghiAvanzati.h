#pragma once

// The dialogs that change the structure of an interrogation: the
// advanced-processing menu, adding and removing a joined table, the columns
// that stand as rows ("Campi visibili") and the query lock. Each works on
// the window's interrogation in memory; the rules live in the engine
// (TabelleAggiunte, CampiVisibili, BloccoQuery, ElaborazioniAvanzate) and
// the dialogs only gather the user's choices. None of them writes to the
// database.

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "qbe/BloccoQuery.h"
#include "qbe/CampiVisibili.h"
#include "qbe/ElaborazioniAvanzate.h"
#include "qbe/Interrogazione.h"
#include "qbe/SessioneQuery.h"
#include "qbe/TabelleAggiunte.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

namespace vardof::qbe {

// The columns of a table of the work database in definition order; throws
// db::Error when the table cannot be read or does not exist.
QStringList colonneDiTabella(db::Attachment &att, db::Transaction &tra, const QString &tabella);

// "Elaborazioni avanzate": a refused entry tells why and the menu stays; an
// accepted one closes it with its result text (empty for "Ch&iudi").
class TElabAvanForm : public QDialog
{
    Q_OBJECT
public:
    TElabAvanForm(const StatoElaborazione &stato, const QString &ditta, QWidget *parent = nullptr);

    const QString &risultato() const { return m_risultato; }

    QPushButton *ButtonCampiVisibili;
    QPushButton *ButtonBloccaQuery;
    QPushButton *ButtonAggiungiAffiancata; // relabelled by the window
    QPushButton *ButtonTogliAffiancata;
    QPushButton *ButtonPassaPrecedente;
    QPushButton *ButtonPassaSuccessiva;
    QPushButton *ButtonEliminaSuccessiva;
    QPushButton *ButtonChiudi;

private:
    void scegli(VoceElaborazione voce);

    StatoElaborazione m_stato;
    QString m_risultato;
};

// "Elimina tabella collegata": the header rows of the interrogation.
class TEliminaForm : public QDialog
{
    Q_OBJECT
public:
    explicit TEliminaForm(const QStringList &testate, QWidget *parent = nullptr);

    // The chosen header; empty when none.
    QString scelta() const;

    QComboBox *ComboTabelle;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;
};

// "Aggiungi tabella": a table of the source table's database, its links to
// columns of the interrogation, the columns to report and the join mode.
class TIBAggForm : public QDialog
{
    Q_OBJECT
public:
    TIBAggForm(const QString &ditta, db::Attachment &att, db::Transaction &tra, TabIntTmp &tab,
               QWidget *parent = nullptr);

    bool espansa() const { return m_espansa; }
    const TabellaDaAggiungere &scelta() const { return m_tabella; }

    // Handlers, by the controls they serve.
    void ButtonNomeTabellaClick();
    void EditNomeTabellaChange();
    void ButtonAggiungiAllaTabClick();
    void SelezionaRigaInt();
    void ButtonSelezionaTuttoClick();
    void ButtonDeselezionaTuttoClick();
    void ButtonAnnullaClick();
    void ButtonRiportaClick();

    QPushButton *ButtonNomeTabella;
    QLineEdit *EditNomeTabella;
    QPushButton *ButtonChiudi;
    QWidget *PannelloJoin;
    QComboBox *EditNomeCampiTabPrincipale;
    QComboBox *EditNomeCampiTabCollegata;
    QTableWidget *GridCollegamenti; // TabQuTmp1
    QTableWidget *GridCampi;        // TabQuTmp2
    QPushButton *ButtonAggiungiAllaTab;
    QPushButton *ButtonSelezionaTutto;
    QPushButton *ButtonDeselezionaTutto;
    QPushButton *ButtonAnnulla;
    QPushButton *ButtonRiporta;
    QRadioButton *RadioLeft;
    QRadioButton *RadioRight;
    QRadioButton *RadioLeftCondizioniPrima;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void comprimi();
    void espandi();
    void mostraCollegamenti();
    void mostraCampi();
    ModoJoin modo() const;

    db::Attachment &m_att;
    db::Transaction &m_tra;
    TabIntTmp &m_tab;
    TabellaDaAggiungere m_tabella;
    std::vector<int> m_mostra; // TabQuTmp2.Mostra, by row
    QStringList m_colonne;     // TabQuTmp2.NomeCampo
    bool m_espansa = false;
    bool m_inCambio = false;
};

// "Elaborazione Campi Visibili": first the tables, then their columns.
class TIBCamVisForm : public QDialog
{
    Q_OBJECT
public:
    TIBCamVisForm(const QString &ditta, const QString &tabellaSorgente, db::Attachment &att, db::Transaction &tra,
                  TabIntTmp &tab, QWidget *parent = nullptr);

    void SelezionaRiga();
    void ButtonMostraCampiClick();
    void SelezionaRiga2();
    void ButtonAggiornaClick();

    const std::vector<TabellaCV> &tabelle() const { return m_tabelle; }
    const std::vector<CampoCV> &campi() const { return m_campi; }
    bool campiMostrati() const { return m_campiMostrati; }

    QTableWidget *GridTabelle;  // TabCVTmp1
    QTableWidget *GridCampi;    // TabCVTmp2
    QPushButton *ButtonMostraCampi;
    QPushButton *ButtonChiudi;
    QPushButton *ButtonRendiVisibili;
    QPushButton *ButtonRendiInvisibili;
    QPushButton *ButtonAggiorna;
    QPushButton *ButtonAnnulla;
    QWidget *PannelloCampi;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void mostraTabelle();
    void mostraCampi();

    db::Attachment &m_att;
    db::Transaction &m_tra;
    TabIntTmp &m_tab;
    std::vector<TabellaCV> m_tabelle;
    std::vector<CampoCV> m_campi;
    bool m_campiMostrati = false;
};

// "Elaborazione Blocco/Sblocco query".
class TBloccaQForm : public QDialog
{
    Q_OBJECT
public:
    TBloccaQForm(const QString &ditta, TabIntTmp &tab, SessioneQuery &sessione, QWidget *parent = nullptr);

    void ButtonAccettaChiaveClick();
    void ButtonOKClick();

    StatoBlocco statoIniziale() const { return m_iniziale; }
    bool chiaveAccettata() const { return m_chiaveAccettata; }

    QCheckBox *ButtonQueryBloccata;
    QCheckBox *ButtonBloccoConChiave;
    QWidget *Panel2;
    QLineEdit *EditChiave;
    QPushButton *ButtonAccettaChiave;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;

private:
    TabIntTmp &m_tab;
    SessioneQuery &m_sessione;
    StatoBlocco m_iniziale;
    bool m_chiaveAccettata = false;
};

} // namespace vardof::qbe
