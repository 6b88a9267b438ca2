#pragma once

// The values of one of the two query classifications (QUERYCLASS1 or
// QUERYCLASS2): listed in the data grid, added, renamed and deleted, each
// change one statement committed before the list is read again.
//
// Who owns what: the work context (its connection and default transaction)
// is lent by the entry for the window's lifetime; the grid's statement is
// the window's. Every message goes through the platform messages; the
// checks and statements are those of storedqueries/Classificazioni.h.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace vardof::context { class TTabForm; }
namespace vardof::grid { class TQmtGrid; class SorgenteQuery; }

namespace vardof::storedqueries {

class TQueryClassForm : public QDialog
{
    Q_OBJECT
public:
    TQueryClassForm(int userNumber, int classificazione, context::TTabForm *context, QWidget *parent = nullptr);
    ~TQueryClassForm() override;

    int classificazione() const { return m_n; }
    // False when the table could be neither found nor created: the list
    // stays empty and the buttons do nothing.
    bool tabellaPronta() const { return m_pronta; }

    QPushButton *ButtonCodice;      // label buttons, no action
    QPushButton *ButtonDescrizione;
    QLineEdit *CODICE;
    QLineEdit *DESCRIZIONE;
    QPushButton *ButtonNuovo;
    QPushButton *ButtonEdit;
    QPushButton *ButtonElimina;
    QPushButton *ButtonChiudi;
    grid::TQmtGrid *GridQueryClass;

    void ButtonNuovoClick();
    void ButtonEditClick();
    void ButtonEliminaClick();
    void ButtonChiudiClick();
    void GridQueryClassInizioRicerca();
    void GridQueryClassFineRicerca();

    // The rows the list shows now, as (code, description).
    QList<QPair<int, QString>> righe() const;
    // Positions the list on the row of `codice`; false when it is not there.
    bool posiziona(int codice);

private:
    // The current row's code and description; false without one.
    bool rigaCorrente(int &codice, QString &descrizione) const;
    // The same for the buttons that act on a row: without one the user is
    // asked to select it.
    bool rigaScelta(int &codice, QString &descrizione) const;
    // Asks until a description is accepted; empty optional on Cancel.
    std::optional<QString> chiediDescrizione(bool nuovo, const QString &iniziale, std::optional<int> escluso);
    void riapri();
    // The list read again and placed on `codice`; a failure is shown.
    void riapriSu(int codice);
    void aggiornaCampi();
    bool ricercaInCorso() const;

    context::TTabForm *m_context;
    int m_utente;
    int m_n;
    bool m_pronta = false;
    grid::SorgenteQuery *m_query;
};

} // namespace vardof::storedqueries
