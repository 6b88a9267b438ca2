#pragma once

// "Sincro database": the stored fast synchronisations of the work database
// (STOAGGSINCRODBFAST), their editing and the run of the enabled ones.

#include "maintenance/SincroDB.h"
#include "maintenance/ui/StoredRowsForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace vardof::maintenance {

class TAggSincroDBFastForm : public StoredRowsForm
{
    Q_OBJECT
public:
    TAggSincroDBFastForm(context::TTabForm *context, int userNumber, QWidget *parent = nullptr);
    ~TAggSincroDBFastForm() override;

    QTableWidget *GridSto;
    QLineEdit *EditCodice;
    QLineEdit *EditTitolo;
    QLineEdit *EditDBOrigine;
    QLineEdit *EditTabOrigine;
    QLineEdit *EditDBDestinazione;
    QLineEdit *EditTabDestinazione;
    QPlainTextEdit *MemoNote;
    QCheckBox *CheckAbilitata;
    QComboBox *ComboTipoElab;
    QLabel *LabelCodice;
    QPushButton *ButtonTitolo;
    QPushButton *ButtonNote;
    QPushButton *ButtonTipoElab;
    QPushButton *ButtonDBOrigine;
    QPushButton *ButtonTabOrigine;
    QPushButton *ButtonDBDestinazione;
    QPushButton *ButtonTabDestinazione;

    void ButtonElaboraClick();
    void ButtonDBOrigineClick();
    void ButtonTabOrigineClick();
    void ButtonDBDestinazioneClick();
    void ButtonTabDestinazioneClick();

    void Inserimento_ButtonTitoloClick();
    void Inserimento_ButtonDBOrigineClick();
    void Inserimento_ButtonTabOrigineClick();
    void Inserimento_ButtonDBDestinazioneClick();
    void Inserimento_ButtonTabDestinazioneClick();
    void Inserimento_ButtonNoteClick();
    void Inserimento_ButtonTipoElabClick();

    // For tests and the command line: how the databases are opened.
    void setOpener(DatabaseOpener opener) { m_opener = std::move(opener); }
    EsitoSincro ultimoEsito() const { return m_esito; }

protected:
    void enableFields(bool editing) override;
    void showRow(int row) override;
    void newRow(int codice) override;
    QMap<QString, db::FieldValue> rowValues() const override;
    int codiceCorrente() const override;
    bool commitRetaining() const override { return true; }
    void afterEditEntered() override;

private:
    int m_user;
    DatabaseOpener m_opener;
    EsitoSincro m_esito = EsitoSincro::Nessuna;
};

} // namespace vardof::maintenance
