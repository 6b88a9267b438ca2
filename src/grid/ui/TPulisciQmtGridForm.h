#pragma once

// "Pulisci QmtGrid": deletes the stored grid layouts and search-dialog
// memories of one user, optionally only of one project and one situation,
// on the user's archive opened by the parameter store. The entry hands the
// window a store already connected and then makes the window its owner.

#include <QDialog>

#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vardof::db { class Transaction; }
namespace vardof::params { class TTabXForm; }

namespace vardof::grid {

class TPulisciQmtGridForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPulisciQmtGridForm(params::TTabXForm *store, QWidget *parent = nullptr);
    ~TPulisciQmtGridForm() override;

    // The window releases the store when it is destroyed.
    void adottaStore(std::unique_ptr<params::TTabXForm> store);

    QListWidget *ListBoxUtenti;
    QCheckBox *CheckBoxSpecSit;
    QLineEdit *EditSituazione;
    QCheckBox *CheckBoxSpecProgetto;
    QLineEdit *EditProgetto;
    QPushButton *BitBtnPulisci;
    QPushButton *BitBtnCancel;

    void BitBtnPulisciClick();

private:
    params::TTabXForm *m_store;
    std::unique_ptr<db::Transaction> m_tra;
    std::unique_ptr<params::TTabXForm> m_proprio;
};

} // namespace vardof::grid
