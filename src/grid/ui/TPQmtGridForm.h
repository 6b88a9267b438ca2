#pragma once

// The personalisation window of a data grid: the stored columns of the
// grid's layout with their titles, colours and visibility, edited in place
// and written row by row in a transaction of the window's own, committed
// when the window closes. Its two grid operations ("Aspetto Base",
// "Acq. aspetto da") are the grid's: the grid connects them.
//
// The order and the widths of the columns are changed in the grid itself
// by dragging its titles; what the grid shows is saved before this window
// opens and loaded again after it closes, so edits take effect at once.

#include "grid/ArchivioAspetto.h"

#include <QDialog>

#include <memory>
#include <vector>

class QComboBox;
class QPushButton;
class QTableWidget;

namespace vardof::db { class Attachment; }

namespace vardof::grid {

class TPQmtGridForm : public QDialog
{
    Q_OBJECT
public:
    TPQmtGridForm(QWidget *owner, const QString &tabella, int progetto, int utente, int situazione,
                  db::Attachment &impostazioni);
    ~TPQmtGridForm() override;

    QTableWidget *DBGrid1;
    QPushButton *SpeedButton1;        // "Cambia Colore"
    QPushButton *ButtonColoreDefault; // "Colore Default"
    QPushButton *ButtonAspettoBase;   // "Aspetto Base"
    QPushButton *ButtonAcqAspettoDa;  // "Acq. aspetto da"
    QPushButton *ButtonChiudi;        // "Ch&iudi"

    // Loads the rows of the layout again.
    void CaricaGriglia();
    // Drops the edits not committed yet and starts a fresh transaction.
    void annullaModifiche();
    const std::vector<RigaPersonalizzazione> &righe() const { return m_righe; }

    // Column indexes of DBGrid1.
    enum { ColNomeCampo, ColNomeColonna, ColColore, ColVisibile, ColPosizione };

    void SpeedButton1Click();
    void ButtonColoreDefaultClick();
    void ButtonChiudiClick();

protected:
    void done(int result) override;

private:
    void rigaModificata(int riga);
    void scrivi(int riga);
    void mostraColore(int riga);

    QString m_tabella;
    ChiaveAspetto m_chiave;
    db::Attachment &m_db;
    std::unique_ptr<Personalizzazione> m_personalizzazione;
    std::vector<RigaPersonalizzazione> m_righe;
    bool m_caricamento = false;
};

// "Avviso" before the reset of a layout: 1 only for OK, else 2.
class TAvQmtGrForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAvQmtGrForm(QWidget *parent = nullptr);
    int Risposta = 2;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;
};

// "Informazione richiesta": the user whose layout is copied.
class TAcqAspettoDaQmtGridForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAcqAspettoDaQmtGridForm(const QList<int> &utenti, QWidget *parent = nullptr);
    QComboBox *ComboUtente;
    QPushButton *ButtonConferma;
    QPushButton *ButtonAnnulla;
    // The chosen user, when one was chosen.
    std::optional<int> utente() const;
    void ButtonConfermaClick();
};

} // namespace vardof::grid
