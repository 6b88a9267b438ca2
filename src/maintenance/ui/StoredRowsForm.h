#pragma once

// What the update-script window and the synchronisation window share: a
// read-only grid of the stored rows, the fields of the current row, and the
// browse and edit modes with "Nuovo", "Edit", "Memorizza", "Annulla",
// "Elimina", "Aggiorna ±" and "Chiudi". Each window adds its fields and its
// run.

#include "maintenance/StoredRows.h"

#include <QDialog>

#include <memory>
#include <vector>

class QPushButton;
class QTableWidget;
class QHBoxLayout;
class QVBoxLayout;
class QWidget;

namespace vardof::context { class TTabForm; }

namespace vardof::maintenance {

class StoredRowsForm : public QDialog
{
    Q_OBJECT
public:
    StoredRowsForm(context::TTabForm *context, const QString &table, const QString &selectSql, QWidget *parent);

    QTableWidget *Grid;
    QPushButton *ButtonNuovo;
    QPushButton *ButtonEdit;
    QPushButton *ButtonMemorizza;
    QPushButton *ButtonAnnulla;
    QPushButton *ButtonElimina;
    QPushButton *ButtonElabora;
    QPushButton *ButtonChiudi;
    QPushButton *ButtonAggiorna;

    // During a run these do nothing: their buttons are disabled then, and a
    // call from code must not reach the run's data either.
    void ButtonNuovoClick();
    void ButtonEditClick();
    void ButtonMemorizzaClick();
    void ButtonAnnullaClick();
    void ButtonEliminaClick();
    void ButtonAggiornaClick();

    bool editing() const { return m_editing; }
    // True while the window's run is going on (it lets input through).
    bool inElaborazione() const { return m_inElaborazione; }
    StoredRows &rows() { return *m_rows; }

protected:
    // Fills the window; call from the subclass constructor once its fields exist.
    void build(QWidget *fields, const QList<QPushButton *> &extraButtons);
    void SettaggioInterfaccia(bool editing);
    void Memorizzazione();
    void Annullamento();
    void reopen(int codice, int fallback = 0);
    void showCurrent();

    // What each window adds.
    virtual void enableFields(bool editing) = 0;
    virtual void showRow(int row) = 0;      // row -1: empty fields
    virtual void newRow(int codice) = 0;
    virtual QMap<QString, db::FieldValue> rowValues() const = 0;
    virtual int codiceCorrente() const = 0;
    // Asked before a save; false keeps the window editing.
    virtual bool canSave() { return true; }
    virtual bool commitRetaining() const { return false; }
    virtual void afterEditEntered() {}

    // What a run disables: the list, the fields and every command button.
    std::vector<QWidget *> controlliElaborazione() const;

    context::TTabForm *m_context;
    QString m_table;
    std::unique_ptr<StoredRows> m_rows;
    bool m_editing = false;
    bool m_inserting = false;
    int m_editedCodice = -1;
    QVBoxLayout *m_layout = nullptr;
    QWidget *m_fields = nullptr;
    QList<QPushButton *> m_extraButtons;
    bool m_inElaborazione = false;

private:
    void gridRowChanged();
    void fillGrid();
};

} // namespace vardof::maintenance
