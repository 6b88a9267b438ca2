#include "output/Unione.h"

#include "output/Esportazione.h"
#include "platform/HostPaths.h"
#include "platform/OutputFile.h"
#include "platform/Process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

namespace vardof::output {

namespace {

const char *const kScriptXlb = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE library:library PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "library.dtd">
<library:library xmlns:library="http://openoffice.org/2000/library" library:name="Standard" library:readonly="false" library:passwordprotected="false">
 <library:element library:name="VardofUnione"/>
</library:library>
)";
// The macro reads its four lines (template, data, output, filter; all URLs
// but the filter) from the control file, writes the output and ends
// LibreOffice; any error goes to the control file + ".err".
const char *const kModulo = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">
<script:module xmlns:script="http://openoffice.org/2000/script" script:name="VardofUnione" script:language="StarBasic">
Sub Unisci(controllo As String)
  Dim n As Integer, i As Integer
  Dim righe(3) As String
  Dim modello As Object, dati As Object
  On Error GoTo Errore
  n = FreeFile
  Open controllo For Input As #n
  For i = 0 To 3
    Line Input #n, righe(i)
  Next i
  Close #n
  Dim p(0) As New com.sun.star.beans.PropertyValue
  p(0).Name = &quot;Hidden&quot;
  p(0).Value = True
  modello = StarDesktop.loadComponentFromURL(righe(0), &quot;_blank&quot;, 0, p())
  dati = StarDesktop.loadComponentFromURL(righe(1), &quot;_blank&quot;, 0, p())
  Dim sorgente As Object, dest As Object, cur As Object
  sorgente = dati.Sheets.getByIndex(0)
  If modello.Sheets.hasByName(&quot;Dati&quot;) Then
    dest = modello.Sheets.getByName(&quot;Dati&quot;)
  Else
    dest = modello.Sheets.getByIndex(0)
  End If
  cur = dest.createCursor()
  cur.gotoEndOfUsedArea(False)
  dest.getCellRangeByPosition(0, 0, cur.RangeAddress.EndColumn, cur.RangeAddress.EndRow).clearContents(23)
  cur = sorgente.createCursor()
  cur.gotoEndOfUsedArea(False)
  Dim uc As Long, ur As Long, c As Long
  uc = cur.RangeAddress.EndColumn
  ur = cur.RangeAddress.EndRow
  dest.getCellRangeByPosition(0, 0, uc, ur).setDataArray(sorgente.getCellRangeByPosition(0, 0, uc, ur).getDataArray())
  Dim loc As New com.sun.star.lang.Locale
  Dim chiave As Long, formato As String
  If ur &gt; 0 Then
    For c = 0 To uc
      formato = dati.NumberFormats.getByKey(sorgente.getCellByPosition(c, 1).NumberFormat).FormatString
      chiave = modello.NumberFormats.queryKey(formato, loc, False)
      If chiave = -1 Then chiave = modello.NumberFormats.addNew(formato, loc)
      dest.getCellRangeByPosition(c, 1, c, ur).NumberFormat = chiave
    Next c
  End If
  Dim s(1) As New com.sun.star.beans.PropertyValue
  s(0).Name = &quot;FilterName&quot;
  s(0).Value = righe(3)
  s(1).Name = &quot;Overwrite&quot;
  s(1).Value = True
  modello.storeToURL(righe(2), s())
  modello.close(True)
  dati.close(True)
  StarDesktop.terminate()
  Exit Sub
Errore:
  Dim e As Integer
  e = FreeFile
  Open controllo &amp; &quot;.err&quot; For Output As #e
  Print #e, Error$ &amp; &quot; (&quot; &amp; Erl &amp; &quot;)&quot;
  Close #e
  On Error Resume Next
  If Not IsNull(modello) Then modello.close(True)
  If Not IsNull(dati) Then dati.close(True)
  StarDesktop.terminate()
End Sub
</script:module>
)";

bool scrivi(const QString &path, const char *testo)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(testo) == qint64(qstrlen(testo)) && f.flush();
}

// A profile of our own holding the macro. LibreOffice lays out a new
// profile on its first start (replacing any macro library found there), so
// a new profile is started once empty, then the module is written into its
// standard library, afresh on every merge.
bool preparaProfilo(const QString &programma, const QString &profilo, QString *errore)
{
    const QString basic = profilo + QStringLiteral("/user/basic/");
    if (!QFileInfo::exists(basic + QStringLiteral("Standard/script.xlb"))) {
        const platform::ProcessResult r = platform::runProcess(
            programma,
            {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo).toString(QUrl::FullyEncoded),
             QStringLiteral("--headless"), QStringLiteral("--terminate_after_init")},
            QString(), 120000);
        if (!r.started) {
            *errore = QStringLiteral("Impossibile avviare LibreOffice (%1): %2").arg(programma, r.errorString);
            return false;
        }
    }
    if (QFileInfo::exists(basic + QStringLiteral("script.xlc")) && scrivi(basic + QStringLiteral("Standard/script.xlb"), kScriptXlb)
        && scrivi(basic + QStringLiteral("Standard/VardofUnione.xba"), kModulo))
        return true;
    *errore = QStringLiteral("Impossibile preparare il profilo di LibreOffice in \"%1\"").arg(profilo);
    return false;
}

class SoloErrori : public platform::RunFeedback
{
public:
    explicit SoloErrori(platform::RunFeedback &inner) : m_inner(inner) {}
    void line(const QString &t) override { m_inner.line(t); }
    void progress(int p) override { m_inner.progress(p); }
    void keepAlive() override { m_inner.keepAlive(); }
    bool interruptRequested() override { return m_inner.interruptRequested(); }
    platform::Answer ask(platform::MessageKind kind, const QString &text, platform::Buttons buttons) override
    {
        return m_inner.ask(kind, text, buttons);
    }

private:
    platform::RunFeedback &m_inner;
};

} // namespace

bool UnisciConModello(const RispostaDaEsportare &risposta, platform::RunFeedback &fb, const QString &modello,
                      const QString &target, const QString &dirProgramma)
{
    auto fallito = [&](const QString &messaggio) {
        fb.tell(platform::Error, messaggio);
        return false;
    };
    const QString modelloLocale = platform::toNativeLocal(modello);
    if (modello.isEmpty() || !QFileInfo(modelloLocale).isFile())
        return fallito(QStringLiteral("Excel preimpostato \"%1\" non trovato").arg(modello));
    if (fileInUso(modello))
        return fallito(QStringLiteral("Excel preimpostato \"%1\" aperto in un'altra sessione").arg(modello));
    const QString dir = dirProgramma.isEmpty() ? cercaDirLibreOffice() : dirProgramma;
    if (dir.isEmpty())
        return fallito(QStringLiteral("Directory bin LibreOffice non specificata"));
    const QString programma = platform::ensureTrailingSeparator(dir) + QStringLiteral("soffice");
    if (!QFileInfo(platform::toNativeLocal(dir)).isDir() || !QFileInfo::exists(platform::toNativeLocal(programma)))
        return fallito(QStringLiteral("LibreOffice non trovato in \"%1\": l'unione con il modello non è possibile").arg(dir));
    if (fileInUso(target))
        return fallito(QStringLiteral("File %1 aperto in un'altra sessione").arg(target));

    const QString targetLocale = platform::toNativeLocal(target);
    QTemporaryDir lavoro(QFileInfo(targetLocale).absolutePath() + QStringLiteral("/.vardof-unione-XXXXXX"));
    if (!lavoro.isValid())
        return fallito(platform::outputFileError(target, lavoro.errorString()));
    // The answer as a workbook first: numbers, dates and text keep their kind.
    SoloErrori inner(fb);
    Esportatore esp(risposta, inner);
    const QString dati = lavoro.filePath(QStringLiteral("dati.xlsx"));
    if (!esp.EsportaXlsx(dati))
        return false;

    const bool xls = target.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive);
    const QString uscita = lavoro.filePath(xls ? QStringLiteral("uscita.xls") : QStringLiteral("uscita.xlsx"));
    const QString controllo = lavoro.filePath(QStringLiteral("controllo.txt"));
    const QByteArray righe = (QUrl::fromLocalFile(QFileInfo(modelloLocale).absoluteFilePath()).toString(QUrl::FullyEncoded)
                              + QLatin1Char('\n') + QUrl::fromLocalFile(dati).toString(QUrl::FullyEncoded) + QLatin1Char('\n')
                              + QUrl::fromLocalFile(uscita).toString(QUrl::FullyEncoded) + QLatin1Char('\n')
                              + (xls ? QStringLiteral("MS Excel 97") : QStringLiteral("Calc MS Excel 2007 XML"))
                              + QLatin1Char('\n'))
                                 .toUtf8();
    QString errore;
    if (!platform::OutputFile::writeAll(controllo, righe, &errore))
        return fallito(platform::outputFileError(controllo, errore));
    const QString profilo = QDir::tempPath() + QStringLiteral("/vardof-libreoffice-unione-")
                            + qEnvironmentVariable("USER", QStringLiteral("utente"));
    if (!preparaProfilo(programma, profilo, &errore))
        return fallito(errore);

    const platform::ProcessResult r = platform::runProcess(
        programma,
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo).toString(QUrl::FullyEncoded),
         QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--norestore"),
         QStringLiteral("macro:///Standard.VardofUnione.Unisci(\"%1\")").arg(controllo)},
        QString(), 600000);
    QString motivo;
    QFile err(controllo + QStringLiteral(".err"));
    if (err.open(QIODevice::ReadOnly))
        motivo = QString::fromLocal8Bit(err.readAll()).trimmed();
    if (!r.started)
        motivo = r.errorString;
    else if (r.timedOut)
        motivo = QStringLiteral("LibreOffice non ha terminato entro 10 minuti");
    if (motivo.isEmpty() && !QFileInfo::exists(uscita))
        motivo = QString::fromLocal8Bit(r.standardError).trimmed();
    if (!motivo.isEmpty() || !QFileInfo::exists(uscita))
        return fallito(QStringLiteral("Unione con il modello non riuscita:\r")
                       + (motivo.isEmpty() ? QStringLiteral("nessun file prodotto da LibreOffice") : motivo));
    // The result goes in place in one step.
    QFile in(uscita);
    if (!in.open(QIODevice::ReadOnly))
        return fallito(platform::outputFileError(target, in.errorString()));
    platform::OutputFile out(target);
    if (!out.open())
        return fallito(out.errorMessage());
    while (!in.atEnd())
        if (!out.write(in.read(1 << 20)))
            break;
    if (!out.commit())
        return fallito(out.errorMessage());
    return true;
}

} // namespace vardof::output
