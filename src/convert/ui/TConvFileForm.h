#pragma once

// The conversion window: picks the source and the destination, composes the
// definition beside the source (guided or by hand), and converts. The work is
// done by convert::Converti; the window reads its controls, shows the
// progress and the anomalies, and reports the outcome. It uses the work
// context only for the caption and, in the wizard, the database; it never
// releases the context.

#include "convert/FileConverter.h"
#include "platform/widgets/WindowRunFeedback.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vardof::context { class TTabForm; }
namespace vardof::params { class TTabXForm; }

namespace vardof::convert {

class TConvFileForm : public QDialog, private platform::WindowRunFeedback
{
    Q_OBJECT

public:
    TConvFileForm(context::TTabForm *context, int userNumber, QWidget *parent = nullptr);
    ~TConvFileForm() override;

    void ButtonOrigineClick();
    void ButtonDestinazioneClick();
    void ButtonHelpClick();
    void ButtonComponiScriptClick();
    void ButtonConvertiClick();
    // The run itself, once the checks passed and the user confirmed.
    void Converti();
    // The guided composition; true with `list` filled when the user confirmed.
    bool ComposizioneGuidataFileConf(QStringList &list);

    QPushButton *ButtonOrigine;
    QLineEdit *EditFileOrigine;
    QPushButton *ButtonDestinazione;
    QLineEdit *EditFileDestinazione;
    QPushButton *ButtonComponiScript;
    QPushButton *ButtonConverti;
    QPushButton *ButtonChiudi;
    QPushButton *ButtonHelp;
    QGroupBox *GroupOpzioni;
    QCheckBox *CheckSaltaRiga;
    QCheckBox *CheckIntestazione;
    QLabel *LabelCarattere;
    QLineEdit *EditCarattere;
    QLabel *LabelAnomalie;
    QPlainTextEdit *MemoAnomalie;
    QProgressBar *ProgressElab;

    ConversionOptions options() const;

    // The memo lists this many anomalies of a run; the rest are counted and
    // left to the anomalies file, so that a source full of bad values does
    // not fill the memory with their texts.
    static constexpr qint64 kShownAnomalies = 10000;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void line(const QString &text) override;
    void progress(int percent) override;
    void flushAnomalies();
    void setRunning(bool running);

    context::TTabForm *m_context;
    std::unique_ptr<params::TTabXForm> m_store;
    QStringList m_pendingAnomalies;
    qint64 m_listedAnomalies = 0;
    bool m_running = false;
};

} // namespace vardof::convert
