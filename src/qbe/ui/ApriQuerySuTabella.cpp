#include "qbe/ui/ApriQuerySuTabella.h"

#include "db/Attachment.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "context/WorkContext.h"
#include "grid/ui/TQmtGrid.h"
#include "platform/HostPaths.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "qbe/ui/TIBLQueryForm.h"

namespace vardof::qbe {

QString fileImpostazioniEffettivo(const QString &fileImpostazioni)
{
    if (fileImpostazioni.compare(QLatin1String("c:\\windows\\ostrel.ini"), Qt::CaseInsensitive) == 0)
        return context::TTabForm::PercorsoFileImpostazioni();
    return fileImpostazioni;
}

void ApriQuerySuTabella(const QString &tabella, db::Attachment &connessione, db::Transaction &transazione,
                        const QString &directoryBin, const QString &nomeExport, int numeroUtente,
                        const QString &fileImpostazioni, bool eseguiAllApertura, const QString &sezione,
                        const QString &directoryLavoro, QWidget *owner)
{
    const QString impostazioni = fileImpostazioniEffettivo(fileImpostazioni);
    const platform::IniFile ini(impostazioni);
    const QString lavoro = directoryLavoro.isEmpty()
                               ? ini.readString(sezione, QStringLiteral("Directory di lavoro"), QStringLiteral("C:\\WINDOWS"))
                               : directoryLavoro;
    const QString bin = directoryBin.isEmpty()
                            ? ini.readString(sezione, QStringLiteral("Directory bin"), QStringLiteral("C:\\WINDOWS"))
                            : directoryBin;

    // Our own connection, so that the window's rollbacks never touch the
    // caller's pending work.
    db::Attachment propria;
    try {
        propria.connect(connessione.databaseName(), context::adminLoginParams());
    } catch (const db::Error &e) {
        platform::error(QStringLiteral("Errore apertura archivio") + QLatin1Char('\r') + e.message());
        return;
    }
    db::Transaction propriaTransazione(propria, transazione.params());
    {
        TIBLQueryForm form(owner, numeroUtente, propria, propriaTransazione, sezione, lavoro, bin, tabella);
        form.setArchivio(platform::extractFilePath(connessione.databaseName()));
        form.setFileImpostazioni(impostazioni);
        form.setNomeExport(nomeExport);
        form.setEseguiAllApertura(eseguiAllApertura);
        form.exec();
    }
    try {
        if (propriaTransazione.isActive())
            propriaTransazione.rollback();
    } catch (const db::Error &) {
        // The connection goes anyway.
    }
    propria.disconnect();
}

void installaQueryGriglia()
{
    grid::TQmtGrid::setQuery([](const grid::RichiestaQuery &r, QWidget *parent) {
        ApriQuerySuTabella(r.tabella, *r.connessione, *r.transazione, r.dirBin, QString(), r.utente,
                           r.fileImpostazioni, false, r.sezioneImpostazioni, r.dirLavoro, parent);
    });
}

} // namespace vardof::qbe
