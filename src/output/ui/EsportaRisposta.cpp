#include "output/ui/EsportaRisposta.h"

#include "output/Esportazione.h"
#include "output/Unione.h"
#include "output/ui/TQIBEspForm.h"
#include "platform/Messages.h"
#include "platform/widgets/WindowRunFeedback.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>

#include <memory>

namespace vardof::output {

namespace {

// The progress window "Avanzamento" of a run, shown while it lives.
class FeedbackAvanzamento : public platform::WindowRunFeedback
{
public:
    explicit FeedbackAvanzamento(QWidget *owner)
    {
        m_dialog = std::make_unique<QProgressDialog>(QStringLiteral("Avanzamento"), QString(), 0, 100, owner);
        m_dialog->setObjectName(QStringLiteral("Avanzamento"));
        m_dialog->setWindowTitle(QStringLiteral("Avanzamento"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(300);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        onProgress = [this](int percent) { m_dialog->setValue(percent); };
    }
    // The run is over: its window goes before the closing message.
    void chiudi() { m_dialog->hide(); }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
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
    FeedbackAvanzamento fb(owner);
    Esportatore esp(c.risposta, fb);

    switch (tipo) {
    case TipoExport::Testo: {
        if (c.esportazioneInCorso)
            c.esportazioneInCorso(true);
        const bool ok = esp.EsportaTesto(file, d.opzioniTesto());
        fb.chiudi();
        if (c.esportazioneInCorso)
            c.esportazioneInCorso(false);
        if (!ok)
            return false;
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
            if (!esp.rinunciato())
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
            if (!esp.rinunciato())
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
    platform::WindowRunFeedback fb;
    Esportatore esp(c.risposta, fb);
    OpzioniTesto o = d.opzioniTesto();
    o.qualificaCampi = false;
    if (!esp.EsportaTesto(d.NomeFile(), o))
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
