#pragma once

// "Cancellazione tabelle TMP": counts the TMP_ work tables of the work
// database and drops them one by one; the user can stop between two tables.

#include <QDialog>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vardof::context { class TTabForm; }

namespace vardof::maintenance {

class TCancellaTabelleTmpForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCancellaTabelleTmpForm(context::TTabForm *context, QWidget *parent = nullptr);

    QLabel *LabelTotale;
    QLabel *LabelNumeroTotale;
    QPushButton *ButtonProcedi;
    QPushButton *ButtonChiudi;
    QGroupBox *GroupProgresso;
    QLabel *LabelTabella;
    QLabel *LabelNomeTabella;
    QLabel *LabelNumero;
    QPushButton *ButtonFerma;
    QProgressBar *ProgressBar;

    void ButtonProcediClick();
    void ButtonFermaClick();
    void ButtonChiudiClick();

    qint64 totale() const { return m_totale; }
    bool inElaborazione() const { return m_running; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    friend class CleanupView;
    void contaTabelle();
    void warnRunning();

    context::TTabForm *m_context;
    qint64 m_totale = 0;
    bool m_running = false;
    bool m_stop = false;
};

} // namespace vardof::maintenance
