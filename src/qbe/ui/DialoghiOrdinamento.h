#pragma once

// The dialogs of ordering, totals and sums over the query window's answer:
// "Ordinamento e Totali" (TOrdETotForm), "Calcolo somma" (TSommaForm), the
// COUNT / SUM dialog of the interrogation (TQRaggruppamentiForm) and
// "Inserimento somma" (TCalcSommaForm). They only ask: what is written
// into the codes or the interrogation is the opener's, through
// qbe/Ordinamento.h. Controls carry their names as object names.

#include "qbe/Ordinamento.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace vardof::qbe {

class TOrdETotForm : public QDialog
{
    Q_OBJECT
public:
    // `nomi`: the answer's column names; `liste`: what RiempiOrdETot gave.
    TOrdETotForm(const QStringList &nomi, const ListeOrdETot &liste, QWidget *parent = nullptr);

    // The lists and the choice as they stand (after "&Aggiorna": as confirmed).
    ListeOrdETot liste() const;

    // A double click on an entry of `lista` moves it to its companion list.
    void sposta(QListWidget *lista, int riga);

    QListWidget *ListBox1; // Campi disponibili
    QListWidget *ListBox2; // Chiave
    QListWidget *ListBox3; // Campi numerici
    QListWidget *ListBox4; // Campi con totali
    QRadioButton *Crescente;
    QRadioButton *Decrescente;
    QPushButton *ButtonAggiorna;
    QPushButton *ButtonChiudi;

private:
    static std::vector<int> colonne(const QListWidget *lista);
    void riempi(QListWidget *lista, const std::vector<int> &colonne);
    QStringList m_nomi;
};

class TSommaForm : public QDialog
{
    Q_OBJECT
public:
    // `colonne`: (name, 0-based answer column) of the numeric columns;
    // `calcola` sums one column and gives the message's text.
    TSommaForm(const std::vector<std::pair<QString, int>> &colonne, std::function<void(int)> calcola,
               QWidget *parent = nullptr);

    QComboBox *ComboCampi;
    QPushButton *ButtonCalcola;
    QPushButton *ButtonOk;

private:
    std::vector<std::pair<QString, int>> m_colonne;
};

class TQRaggruppamentiForm : public QDialog
{
    Q_OBJECT
public:
    TQRaggruppamentiForm(const QString &campo, const QString &nomeColonna, QWidget *parent = nullptr);

    QString nomeColonna() const;
    bool deselezionaTutti() const;

    QLineEdit *EditCampo;
    QLineEdit *EditNome;
    QCheckBox *CheckDeseleziona;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;
};

class TCalcSommaForm : public QDialog
{
    Q_OBJECT
public:
    // `campi`: the numeric columns of the window's table (listed sorted).
    explicit TCalcSommaForm(QStringList campi, QWidget *parent = nullptr);

    QString campo() const;
    QString titolo() const;

    QComboBox *ComboCampo;
    QLineEdit *EditTitolo;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;

    void accept() override; // only with a column and a title
};

} // namespace vardof::qbe
