#pragma once
// The small tools of the table editor: the actions window, the quote
// replacement and the free editor of a text blob. Each works on the
// editor's table and statement, on the work context's connection and
// default transaction.
#include "tabletools/Azioni.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace vardof::context { class TTabForm; }

namespace vardof::tabletools {

class TabellaEditor;

class TAzioniForm : public QDialog
{
    Q_OBJECT
public:
    // `colonne`: the grid statement's column names, in order.
    TAzioniForm(TabellaEditor &tabella, const QStringList &statement, const QStringList &colonne,
                QWidget *parent = nullptr);

    QComboBox *ComboCampo1;
    QComboBox *ComboCampo2;
    QLineEdit *EditVal1;
    QLineEdit *EditVal2;
    QButtonGroup *RadioAzioni;
    QRadioButton *RadioCsNo;
    QRadioButton *RadioCsSi;
    QPushButton *ButtonAggiungi;
    QPushButton *ButtonElimina;
    QPushButton *ButtonSalva;
    QPushButton *ButtonCarica;
    QPushButton *ButtonEsegui;
    QPushButton *ButtonChiudi;
    QTableWidget *GridRiepil;
    QLabel *LabelEsecuzione;
    QLabel *LabelRiga;
    QProgressBar *BarraProgresso;
    QPlainTextEdit *MemoLog;

    void ButtonAggiungiClick();
    void ButtonEliminaClick();
    void ButtonSalvaClick();
    void ButtonCaricaClick();
    void ButtonEseguiClick();

    const std::vector<Azione> &sequenza() const { return m_sequenza; }

private:
    void mostraSequenza();
    TabellaEditor &m_tabella;
    QStringList m_statement;
    std::vector<Azione> m_sequenza;
    int m_aggiunte = 0;
};

class TSostApForm : public QDialog
{
    Q_OBJECT
public:
    TSostApForm(TabellaEditor *tabella, const QStringList &statement, QWidget *parent = nullptr);
    QProgressBar *BarraProgresso;
    QPlainTextEdit *MemoModifiche;
    QPushButton *ButtonElabora;
    QPushButton *ButtonChiudi;
    void ButtonElaboraClick();

private:
    TabellaEditor *m_tabella;
    QStringList m_statement;
};

// The text of one column of one row, edited freely; "Ok" posts it.
class TEditMemoForm : public QDialog
{
    Q_OBJECT
public:
    TEditMemoForm(const QString &campo, const QString &testo, const QString &ditta, QWidget *parent = nullptr);
    QPlainTextEdit *Memo;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;
    QString testo() const;
};

} // namespace vardof::tabletools
