#pragma once

// The log window of an update script run: shown without blocking while the
// run writes into it, then modally until the user closes it. During the run
// its opener keeps it open and "&Chiudi" disabled: "Interrompi" is the way out.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vardof::maintenance {

class TMemoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TMemoForm(const QString &nomeProgetto, QWidget *parent = nullptr);

    QPlainTextEdit *Memo;
    QPushButton *ButtonAnnulla; // "Interrompi" during a run
    QPushButton *ButtonChiudi;

    void aggiungiRiga(const QString &riga);
    int righe() const;
    bool interruzioneRichiesta() const { return m_interrompi; }
    void preparaElaborazione();
    void fineElaborazione();

    void ButtonMemoInterrompiClick();

private:
    bool m_interrompi = false;
    int m_lines = 0;
};

} // namespace vardof::maintenance
