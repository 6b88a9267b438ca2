#pragma once

// "Elaborazione grafici": the chart of the query window's answer. The user
// picks the x field (the categories), the y field and any further value
// fields, the chart type of the matching group, the orientation and the
// order of the categories; "&Visualizza" writes the point table and shows
// the chart in a window "STAMPA GRAFICO" of its own.

#include "output/Risposta.h"
#include "output/report/PuntiGrafico.h"

#include <QDialog>
#include <QFont>
#include <QGroupBox>
#include <QPointer>

#include <functional>
#include <memory>
#include <set>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vardof::output::report {

class FinestraGrafico;

// A field of the answer that the chart may use.
struct CampoGrafico
{
    QString nome;
    bool numerico = false; // may give values
};

// The fields of an answer a chart may use, in the answer's order: text,
// dates and times, and numbers (blobs and the like are left out).
QList<CampoGrafico> campiGrafico(const std::vector<db::Column> &colonne);

// A group of radio buttons with an item index, -1 while none is chosen.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString &titolo, const QStringList &voci, int colonne, QWidget *parent);
    int itemIndex() const;
    void setItemIndex(int indice); // -1 chooses none
    int count() const;
    QRadioButton *voce(int i) const;

private:
    QButtonGroup *m_gruppo;
};

class TGraficoForm : public QDialog
{
    Q_OBJECT
public:
    // `risposta` gives the answer's records for each chart; `campi` are its
    // fields (campiGrafico()).
    TGraficoForm(QWidget *owner, const QString &ditta, const QString &dirBin, const QString &dirLavoro,
                 SorgenteStampa &risposta, const QList<CampoGrafico> &campi);
    ~TGraficoForm() override;

    QComboBox *EditDescrizione1;
    QComboBox *EditValore;
    QPushButton *ButtonCampiValoriAggiuntivi;
    QListWidget *ListBox1;
    QListWidget *ListBox2;
    QPushButton *ButtonTitolo, *ButtonDescrAsseX, *ButtonDescrAsseY, *ButtonDescrAsseZ;
    QLineEdit *EditTitolo, *EditDescrAsseX, *EditDescrAsseY, *EditDescrAsseZ;
    RadioGroup *RadioGroup1, *RadioGroup2, *RadioGroup3, *RadioGroup4;
    QPushButton *ButtonVisualizza;
    QPushButton *ButtonChiudi;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;

    // The last chart shown (nullptr before the first, or once closed).
    FinestraGrafico *ultimoGrafico() const;
    // The point table of the last "&Visualizza" (its path, rows and name).
    const TabellaPunti &tabellaPunti() const { return m_tabella; }
    // The template of the last "&Visualizza".
    const QString &modello() const { return m_modello; }

    void done(int esito) override;

public slots:
    void EditDescrizione1Change();
    void EditValoreChange();
    void ButtonCampiValoriAggiuntiviClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    void ButtonVisualizzaClick();

private:
    void facciaScelta(bool scelta);
    void svuotaAggiuntivi();
    void liberaTabelle();

    QString m_ditta, m_dirBin, m_dirLavoro; // the company and bin folder are kept, not used
    SorgenteStampa &m_risposta;
    QList<CampoGrafico> m_campi;
    QList<QWidget *> m_normale; // shown in the normal face only
    bool m_tabellaUsata = false;
    TabellaPunti m_tabella;
    std::set<QString> m_alternative; // point tables under another name, deleted on closing
    QString m_modello;
    QPointer<FinestraGrafico> m_ultimo;
};

struct ContestoGrafico
{
    RispostaDaEsportare risposta; // every field of the answer (campi empty) or those given
    QString ditta;
    QString dirBin;
    QString dirLavoro;
    QFont font;
    // Replaces exec() of the window in tests.
    std::function<int(TGraficoForm &)> esegui;
};

// "&Grafico" of the query window.
void ButtonGraficoClick(QWidget *owner, ContestoGrafico &contesto);

} // namespace vardof::output::report
