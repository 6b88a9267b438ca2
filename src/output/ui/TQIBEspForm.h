#pragma once

// The export dialog of the query window: the export type, the file (or
// table) name and folder, the separator and the text options, the
// spreadsheet program and the template of a merge. It exports nothing
// itself: it hands back how it was closed and what was chosen, and keeps
// the user's choices (memo options, program, template, folder) through
// the parameter store when there is one, else in the settings file.

#include "output/Esportazione.h"

#include <QDialog>
#include <QString>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vardof::params { class TTabXForm; }

namespace vardof::output {

// Where the dialog keeps the user's choices: the parameter store under the
// user's company heading, or the settings file's company section.
class ImpostazioniEsportazione
{
public:
    ImpostazioniEsportazione(params::TTabXForm *store, const QString &ditta, const QString &fileImpostazioni);
    QString leggi(const QString &nome) const;
    void scrivi(const QString &nome, const QString &valore);

private:
    params::TTabXForm *m_store;
    QString m_ditta;
    QString m_file;
};

// The LibreOffice spreadsheet program proposed when none is set, and the
// merge folders below the folder that holds the host program's folder.
QString programmaLibreOfficeCalc();
QString cartellaModelliUnione();   // {..}/dati/macro_libre_office/
QString fileEsportazioneUnione();  // {..}/dati/export_xls/temp_export.xlsx

class TQIBEspForm : public QDialog
{
    Q_OBJECT
public:
    // `nomeFile` is the starting file name (the source table + ".CSV", or
    // the stored query's export name); `separatore` the field separator.
    TQIBEspForm(QWidget *owner, params::TTabXForm *store, const QString &ditta, const QString &dirLavoro,
                const QString &separatore, const QString &nomeFile, const QString &fileImpostazioni = QString());

    // ---- what the dialog hands back ------------------------------------
    int Risultato() const { return m_risultato; }
    TipoExport tipo() const { return TipoExport(m_tipo); }
    QString TipoExportCodice() const { return codiceTipo(tipo()); }
    QString NomeFile() const { return m_nomeFileUscita; } // folder + name
    QString Separatore() const { return m_separatoreUscita; }
    bool StampaMemoEstesi() const { return m_memoEstesi; }
    QString StampaMemoEstesiTag() const { return m_tag; }
    OpzioniTesto opzioniTesto() const;
    QString programmaExcel() const;
    QString excelPreimpostato() const;
    QString percorso() const;

    // ---- handlers ------------------------------------------------------
    void EditTipoExportClick(int tipo);
    void ButtonPercorsoClick();
    void ButtonEsegExcelClick();
    void ButtonExcelPreimpostatoClick();
    void ButtonLunghezzaFissaClick();
    void CheckStampaMemoEstesiClick();
    void CheckSaltaIntestazioniClick();
    bool VerificaEseguibileExcel();
    void OKBtnClick();
    void BitBtnApriExcelClick();
    void ButtonApriExcelUnioneClick();
    void CancelBtnClick();

    void reject() override { CancelBtnClick(); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void applicaRegoleTipo(int tipo);
    void chiudiCon(int risultato);
    void salvaImpostazioni();

    ImpostazioniEsportazione m_impostazioni;
    QString m_nomeDato;
    bool m_mostrato = false;
    int m_tipo = 0;
    int m_risultato = Chiudi;
    QString m_nomeFileUscita;
    QString m_separatoreUscita;
    bool m_memoEstesi = false;
    QString m_tag;

    QPushButton *ButtonNomeFile;
    QLineEdit *EditNomeFile;
    QPushButton *ButtonPercorso;
    QLineEdit *EditPercorso;
    QPushButton *ButtonEsegExcel;
    QLineEdit *EditEseguibileExcel;
    QPushButton *ButtonExcelPreimpostato;
    QLineEdit *EditExcelPreimpostato;
    QPushButton *ButtonSeparatore;
    QLineEdit *EditSeparatore;
    QCheckBox *ButtonLunghezzaFissa;
    QCheckBox *CheckStampaMemoEstesi;
    QLabel *LabelTagSostRitornoCapo;
    QLineEdit *EditTagSostRitornoCapo;
    QCheckBox *CheckRTFInChiaro;
    QCheckBox *CheckSaltaIntestazioni;
    QCheckBox *CheckQualificaCampi;
    QButtonGroup *EditTipoExport;
    QPushButton *OKBtn;
    QPushButton *BitBtnApriExcel;
    QPushButton *ButtonApriExcelUnione;
    QPushButton *CancelBtn;
};

} // namespace vardof::output
