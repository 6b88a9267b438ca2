#pragma once

// The dialogs of the condition helpers of the interrogation grid: the
// range (TRangeForm, "Range Valori") with its date boxes (TEditData), the
// formulas (TFormuleForm, "Inserisci Formule") with the type choice of
// CAST, the year/month extraction (TRaggMesiForm, "Estrazione anni e
// mesi") and the condition editor (TEditCondForm). Each dialog checks
// what it is given and answers with the text to write (qbe/Aiuti.h); the
// opener writes it into the row. Controls carry their names as object names.

#include "qbe/Aiuti.h"
#include "platform/widgets/TEditData.h"

#include <QDialog>
#include <QLineEdit>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vardof::qbe {

// The range's date boxes are the library's date box.
using TEditData = platform::TEditData;

class TRangeForm : public QDialog
{
    Q_OBJECT
public:
    // Date boxes for a date column, plain fields otherwise.
    TRangeForm(const QString &nome, TipoCampo tipo, QWidget *parent = nullptr);

    // After OK: the condition to write (empty: leave it as it is).
    const QString &condizione() const { return m_condizione; }

    QLineEdit *EditDa;
    QLineEdit *EditA;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;

    // OK: a refused range tells why and closes without effect.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_nome;
    TipoCampo m_tipo;
    QString m_condizione;
};

// The type to CAST to, from a fixed list.
class TSceltaTipoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSceltaTipoForm(QWidget *parent = nullptr);
    QString tipo() const;
    QComboBox *ComboTipo;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;
    void accept() override; // a choice is required
};

class TFormuleForm : public QDialog
{
    Q_OBJECT
public:
    // `campi`: the Nome of every row with code 0 or 1; `corrente` preset.
    TFormuleForm(const QStringList &campi, const QString &corrente, QWidget *parent = nullptr);

    // After OK: the computed-column condition to write.
    const QString &condizione() const { return m_condizione; }

    QComboBox *EditNomiCampi;
    QPushButton *ButtonAggiungiCampo;
    QLineEdit *EditFormula;
    QLineEdit *EditNome;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;

    void accept() override;

private:
    QString m_condizione;
};

class TRaggMesiForm : public QDialog
{
    Q_OBJECT
public:
    // `campiData`: the Nome of the rows with code 0 or 1 over DATE or
    // TIMESTAMP columns.
    explicit TRaggMesiForm(const QStringList &campiData, QWidget *parent = nullptr);

    const QString &condizione() const { return m_condizione; }

    QComboBox *ComboCampo;
    QRadioButton *RadioAnno;
    QRadioButton *RadioMese;
    QLineEdit *EditNome;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;

    void accept() override;

private:
    DatoEstratto dato() const;
    QString m_condizione;
};

class TEditCondForm : public QDialog
{
    Q_OBJECT
public:
    explicit TEditCondForm(const QString &condizione, QWidget *parent = nullptr);
    // The memo's text as one line.
    QString condizione() const;

    QPlainTextEdit *Memo;
    QPushButton *ButtonOk;
    QPushButton *ButtonCancel;
};

} // namespace vardof::qbe
