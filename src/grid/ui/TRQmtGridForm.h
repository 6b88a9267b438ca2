#pragma once

// The search dialog of the data grid: a text (or, for a date column, two
// dates), the search type, the upper-case option, the order of the result,
// and the search in all columns ("Generica"). The grid creates it, wires it
// and applies what it holds; the dialog itself only edits.

#include <QDialog>
#include <QGroupBox>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGridLayout;

namespace vardof::platform { class TEditData; }

namespace vardof::grid {

// A group of exclusive choices laid out in columns, numbered from 0.
class GruppoOpzioni : public QGroupBox
{
    Q_OBJECT
public:
    GruppoOpzioni(const QString &titolo, const QStringList &voci, int colonne, QWidget *parent = nullptr);
    void setVoci(const QStringList &voci, int colonne);
    QStringList voci() const;
    int itemIndex() const;
    void setItemIndex(int indice);
    QRadioButton *voce(int indice) const;

signals:
    void scelta(int indice);

private:
    QGridLayout *m_griglia;
    QList<QRadioButton *> m_voci;
};

class TRQmtGridForm : public QDialog
{
    Q_OBJECT
public:
    explicit TRQmtGridForm(QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *EditStringa;
    GruppoOpzioni *EditTipoRicerca;
    QCheckBox *EditUpper;
    QPushButton *ButtonAggRete;
    GruppoOpzioni *EditOrdinamento;
    platform::TEditData *EditData1;
    platform::TEditData *EditData2;
    QLabel *Label2;
    QCheckBox *EditGenerica;
    QPushButton *ButtonEsegui;

    // Date mode: the first date box takes the text box's place.
    void setModoData(bool data);
    bool modoData() const { return m_modoData; }
    bool generica() const { return m_generica; }

signals:
    // The text changed or "&+" was pressed: the search runs (now or after a pause).
    void ricercaRichiesta();
    void invio();
    void esc();
    void esegui();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void cambiaGenerica(bool attiva);
    bool m_modoData = false;
    bool m_generica = false;
    QString m_titoloPrecedente;
};

} // namespace vardof::grid
