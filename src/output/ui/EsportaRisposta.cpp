#include "output/ui/EsportaRisposta.h"

#include "output/Esportazione.h"
#include "output/Unione.h"
#include "output/ui/TQIBEspForm.h"
#include "platform/Messages.h"
#include "platform/widgets/WindowRunFeedback.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace vardof::output {

namespace {

// The progress window "Avanzamento" of a run. It shows as the run starts
// and, being modal over the window that started it, keeps every other
// control of that window out of reach until the run ends; only its own
// "Interrompi" acts meanwhile. Closing it (title bar, Esc) asks for the same
// stop: the window stays until the run has given up.
class FinestraAvanzamento : public QDialog
{
public:
    FinestraAvanzamento(QWidget *owner, bool interrompibile) : QDialog(owner)
    {
        setObjectName(QStringLiteral("Avanzamento"));
        setWindowTitle(QStringLiteral("Avanzamento"));
        setWindowModality(Qt::WindowModal);
        auto *testo = new QLabel(QStringLiteral("Avanzamento"), this);
        m_barra = new QProgressBar(this);
        m_barra->setObjectName(QStringLiteral("BarraAvanzamento"));
        m_barra->setRange(0, 100);
        m_barra->setValue(0);
        m_interrompi = new QPushButton(QStringLiteral("&Interrompi"), this);
        m_interrompi->setObjectName(QStringLiteral("ButtonInterrompi"));
        m_interrompi->setEnabled(interrompibile);
        m_interrompi->setAutoDefault(false);
        connect(m_interrompi, &QPushButton::clicked, this, [this] { interrompi(); });
        auto *basso = new QHBoxLayout;
        basso->addStretch();
        basso->addWidget(m_interrompi);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(testo);
        layout->addWidget(m_barra);
        layout->addLayout(basso);
        setMinimumWidth(320);
    }

    void setValore(int percent) { m_barra->setValue(percent); }
    bool interruzioneRichiesta() const { return m_richiesta; }
    // The run is over: the window may go.
    void termina()
    {
        m_inCorso = false;
        hide();
    }

    void reject() override
    {
        if (m_inCorso)
            interrompi();
        else
            QDialog::reject();
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (!m_inCorso)
            return QDialog::closeEvent(event);
        interrompi();
        event->ignore();
    }

private:
    void interrompi()
    {
        if (!m_interrompi->isEnabled())
            return;
        m_richiesta = true;
        m_interrompi->setEnabled(false);
    }

    QProgressBar *m_barra = nullptr;
    QPushButton *m_interrompi = nullptr;
    bool m_inCorso = true;
    bool m_richiesta = false;
};

// The run's feedback through its progress window; a run that cannot be
// stopped (one statement on the server) shows "Interrompi" disabled.
class FeedbackAvanzamento : public platform::WindowRunFeedback
{
public:
    FeedbackAvanzamento(QWidget *owner, bool interrompibile)
        : m_dialog(std::make_unique<FinestraAvanzamento>(owner, interrompibile))
    {
        onProgress = [this](int percent) { m_dialog->setValore(percent); };
        interruption = [this] { return m_dialog->interruzioneRichiesta(); };
        m_dialog->show();
    }
    // The run is over: its window goes before the closing message.
    void chiudi() { m_dialog->termina(); }
    // The user stopped the run; the engine has told so already.
    bool interrotta() const { return m_dialog->interruzioneRichiesta(); }

private:
    std::unique_ptr<FinestraAvanzamento> m_dialog;
};

QString programmaApertura(ContestoEsportazione &c, const TQIBEspForm &d)
{
    QString programma = c.caricaParametro ? c.caricaParametro(QStringLiteral("Programma riferimento Excel")) : QString();
    if (programma.isEmpty())
        programma = d.programmaExcel();
    return programma;
}

void apri(ContestoEsportazione &c, const TQIBEspForm &d, const QString &file)
{
    if (!apriRisultato(programmaApertura(c, d), file))
        platform::warning(QStringLiteral("Impossibile aprire \"%1\" con il programma del foglio di calcolo").arg(file));
}

int esegui(ContestoEsportazione &c, TQIBEspForm &d)
{
    return c.esegui ? c.esegui(d) : d.exec();
}

} // namespace

bool EsportaNuovo(QWidget *owner, ContestoEsportazione &c, TQIBEspForm &d)
{
    const int risultato = d.Risultato();
    if (risultato != EsportaSemplice && risultato != ApriFoglioCalcolo && risultato != ApriFoglioCalcoloUnione)
        return true;
    const TipoExport tipo = d.tipo();
    const QString file = d.NomeFile();
    // The copy into a table is one statement on the server: nothing to stop between rows.
    FeedbackAvanzamento fb(owner, tipo != TipoExport::IB);
    Esportatore esp(c.risposta, fb);

    switch (tipo) {
    case TipoExport::Testo: {
        if (c.esportazioneInCorso)
            c.esportazioneInCorso(true);
        const bool ok = esp.EsportaTesto(file, d.opzioniTesto());
        fb.chiudi();
        if (c.esportazioneInCorso)
            c.esportazioneInCorso(false);
        // A stopped export is no failure: the older export is not offered.
        if (!ok)
            return fb.interrotta();
        if (esp.caratteriNonRappresentabili())
            platform::warning(QStringLiteral("Alcuni caratteri non previsti dalla codifica del file sono stati scritti come \"?\""));
        if (risultato == EsportaSemplice)
            platform::information(kMsgTestoTerminato);
        else
            apri(c, d, file);
        return true;
    }
    case TipoExport::IB: {
        const bool ok = esp.CreaCopiaTabellaExportFDB(d.NomeFile(), c.dirLavoro);
        fb.chiudi();
        if (ok)
            platform::information(kMsgTabellaTerminata);
        return true;
    }
    case TipoExport::Excel:
    case TipoExport::ExcelX: {
        bool ok = false;
        if (risultato == ApriFoglioCalcoloUnione)
            ok = UnisciConModello(c.risposta, fb, d.excelPreimpostato(), file, QString());
        else if (tipo == TipoExport::Excel)
            ok = esp.EsportaLibreOffice(0, file, false, QString());
        else
            ok = esp.EsportaXlsx(file);
        fb.chiudi();
        if (!ok) {
            if (!esp.rinunciato() && !fb.interrotta())
                platform::error(kMsgExcelErrore);
            return true;
        }
        if (risultato == EsportaSemplice)
            platform::information(kMsgExcelTerminato);
        else
            apri(c, d, file);
        return true;
    }
    case TipoExport::ExcelL:
    case TipoExport::ExcelLTesto: {
        const QString xls = QFileInfo(file).path() + QLatin1Char('/') + QFileInfo(file).completeBaseName()
                            + QStringLiteral(".xls");
        const bool ok = esp.EsportaExcelL(xls, tipo == TipoExport::ExcelLTesto, d.opzioniTesto(), QString());
        fb.chiudi();
        if (!ok) {
            if (!esp.rinunciato() && !fb.interrotta())
                platform::error(kMsgExcelErrore);
            return true;
        }
        if (risultato != ApriFoglioCalcolo)
            platform::information(kMsgExcelTerminato);
        else
            apri(c, d, xls);
        return true;
    }
    case TipoExport::LibreOfficeXLS:
    case TipoExport::LibreOfficeXLSX: {
        const int formato = tipo == TipoExport::LibreOfficeXLS ? 0 : 1;
        const bool intestazione = formato == 1 && risultato == ApriFoglioCalcoloUnione;
        const bool ok = esp.EsportaLibreOffice(formato, file, intestazione, cercaDirLibreOffice(d.programmaExcel()));
        fb.chiudi();
        if (!ok)
            return true;
        if (risultato == EsportaSemplice)
            platform::information(kMsgOperazioneCompletata);
        else
            apri(c, d, intestazione ? d.excelPreimpostato() : file);
        return true;
    }
    }
    return true;
}

void EsportaVecchio(QWidget *owner, ContestoEsportazione &c)
{
    TQIBEspForm d(owner, c.store, c.ditta, c.dirLavoro, QStringLiteral(";"), c.nomeFile, c.fileImpostazioni);
    esegui(c, d);
    if ((d.Risultato() != EsportaSemplice && d.Risultato() != ApriFoglioCalcolo) || d.tipo() != TipoExport::Testo)
        return;
    FeedbackAvanzamento fb(owner, true);
    Esportatore esp(c.risposta, fb);
    OpzioniTesto o = d.opzioniTesto();
    o.qualificaCampi = false;
    const bool ok = esp.EsportaTesto(d.NomeFile(), o);
    fb.chiudi();
    if (!ok)
        return;
    if (d.Risultato() == EsportaSemplice)
        platform::information(kMsgTestoTerminato);
    else
        apri(c, d, d.NomeFile());
}

void ButtonEsportaClick(QWidget *owner, ContestoEsportazione &c)
{
    TQIBEspForm d(owner, c.store, c.ditta, c.dirLavoro, QStringLiteral(";"), c.nomeFile, c.fileImpostazioni);
    esegui(c, d);
    if (!EsportaNuovo(owner, c, d))
        EsportaVecchio(owner, c);
}

} // namespace vardof::output
