#pragma once

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vardof::db { class Attachment; class Transaction; }

namespace vardof::entry {

// The table picker: the database's tables that are neither views nor system
// tables, alphabetical. "Apri" or a double click answers 1, "Annulla" 2.
class TListTabForm : public QDialog
{
    Q_OBJECT
public:
    TListTabForm(db::Attachment &database, db::Transaction &transaction, QWidget *parent = nullptr);

    qint16 Risposta = 2;
    QListWidget *ListBox1;
    QPushButton *ButtonApri;
    QPushButton *ButtonAnnulla;

    QString tabellaScelta() const;

private:
    void ButtonApriClick();
    void ButtonAnnullaClick();
    void ListBox1DblClick(QListWidgetItem *item);
};

} // namespace vardof::entry
