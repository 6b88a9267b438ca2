#pragma once

// The print options window of the query window's "&Stampa": title, notes,
// the three kinds of print, page numbering, whole memos, lines per page,
// orientation, report name with its chooser, print font and "Edita
// report". OK saves the six settings of the company's section of
// ostrel.ini.

#include "output/report/LayoutLst.h"

#include <QDialog>
#include <QFont>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vardof::output::report {

class TTitStForm : public QDialog
{
    Q_OBJECT
public:
    // `cartellaBin` ends with a separator; the report folder is below it.
    TTitStForm(QWidget *owner, const QString &ditta, const QString &cartellaBin, const QString &fileImpostazioni = {});

    QLineEdit *EditTitolo;
    QLineEdit *EditNoteDefault;
    QGroupBox *RadioGroup1;
    QRadioButton *RadioAvanzato, *RadioSemplice, *RadioCrystal;
    QCheckBox *CheckNumeraPagine;
    QCheckBox *CheckStampaMemoEstesi;
    QLabel *Label3;
    QLineEdit *EditNumeroRigheStQuery;
    QGroupBox *RadioGroup2;
    QRadioButton *RadioVerticale, *RadioOrizzontale;
    QLineEdit *EditNomeReport;
    QPushButton *ButtonSfoglia;
    QPushButton *ButtonFontStampa;
    QPushButton *ButtonEditReport;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancel;

    // The query window's grid font: the default print font, and the
    // chooser's for the advanced kind.
    void setFontGriglia(const QFont &font);
    int tipoStampa() const;
    bool orizzontale() const;
    FontStampa fontStampa() const;
    QString cartellaReport() const;

    // Set by the query window: "Edita report".
    std::function<void()> editaReport;

public slots:
    void ButtonOKClick();
    void ButtonSfogliaClick();
    void ButtonFontStampaClick();
    void ButtonEditReportClick();
    void RadioGroup1Click();

private:
    QString leggi(const QString &chiave, const QString &predefinito) const;

    QString m_ditta;
    QString m_bin;
    QString m_file;
    QFont m_fontScelto;   // the font chooser's font: the print font at closing
    QFont m_fontGriglia;
};

} // namespace vardof::output::report
