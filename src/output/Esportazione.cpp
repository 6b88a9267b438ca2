#include "output/Esportazione.h"

#include "core/Cp1252.h"
#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "output/TFileCSVWrite.h"
#include "platform/Formats.h"
#include "platform/HostPaths.h"
#include "platform/OutputFile.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "platform/Shell.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <xlsxwriter.h>

#include <cmath>

namespace vardof::output {

namespace {

const char *const kCodici[kTipiExport] = {"Testo",  "IB",          "Excel",          "ExcelX",
                                          "ExcelL", "ExcelLTesto", "LibreOfficeXLS", "LibreOfficeXLSX"};
const char *const kDidascalie[kTipiExport] = {"Formato Testo", "Tabella Interbase",       "Excel",
                                              "Excel X",       "Excel L",                 "Excel L testo",
                                              "LibreOffice Convert XLS", "LibreOffice Convert XLSX"};

constexpr qint64 kRigheXls = 65536;
constexpr qint64 kRigheXlsx = 1048576;

QString local(const QString &path)
{
    return platform::toNativeLocal(path);
}

// The folder of a target, for the work files beside it.
QString cartellaDi(const QString &target)
{
    const QString dir = QFileInfo(local(target)).absolutePath();
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}

// A file made elsewhere (a converter's output) put at `target` through the
// output file: the target changes only when every byte arrived.
bool pubblica(const QString &sorgente, const QString &target, QString *errore)
{
    QFile in(sorgente);
    if (!in.open(QIODevice::ReadOnly)) {
        *errore = platform::outputFileError(target, in.errorString());
        return false;
    }
    platform::OutputFile out(target);
    if (!out.open()) {
        *errore = out.errorMessage();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            *errore = platform::outputFileError(target, in.errorString());
            return false;
        }
        if (!out.write(chunk))
            break;
    }
    if (!out.commit()) {
        *errore = out.errorMessage();
        return false;
    }
    return true;
}

// A private work folder beside the target: its files never show under the
// target's name, and go with the folder.
std::unique_ptr<QTemporaryDir> cartellaLavoro(const QString &target, QString *errore)
{
    const QString base = cartellaDi(target);
    auto dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/.vardof-export-XXXXXX"));
    if (!dir->isValid()) {
        *errore = platform::outputFileError(target, dir->errorString());
        return nullptr;
    }
    return dir;
}

QString ragioneDb(const db::Error &e)
{
    return e.message();
}

AvviaProgramma &avviaProgramma()
{
    static AvviaProgramma avvia = [](const QString &programma, const QStringList &argomenti) {
        return QProcess::startDetached(local(programma), argomenti);
    };
    return avvia;
}

// The text of a value in the CSV handed to LibreOffice: numbers and
// dates bare (read as such), everything else quoted (read as text).
QByteArray testoCsvLibreOffice(const db::Column &c, const db::FieldValue &v)
{
    if (!v)
        return QByteArray();
    const db::Value &x = *v;
    if (const qint64 *i = std::get_if<qint64>(&x))
        return c.scale > 0 ? core::scaledText(*i, c.scale).toUtf8() : core::integerText(*i).toUtf8();
    if (const double *d = std::get_if<double>(&x)) {
        if (std::isfinite(*d))
            return core::numberText(*d).toUtf8();
    }
    if (const db::Decimal *dec = std::get_if<db::Decimal>(&x))
        return dec->toString(QLatin1Char(',')).toUtf8();
    if (const QDate *d = std::get_if<QDate>(&x))
        return d->toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    if (const QTime *t = std::get_if<QTime>(&x))
        return t->toString(QStringLiteral("hh:mm:ss")).toUtf8();
    if (const QDateTime *ts = std::get_if<QDateTime>(&x))
        return ts->toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toUtf8();
    QString s = db::toText(x);
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return (QLatin1Char('"') + s + QLatin1Char('"')).toUtf8();
}

QString quotato(const QString &s)
{
    QString q = s;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The column type of an exported table: the answer's own, exact decimals
// kept exact.
QString tipoColonnaTabella(const db::Column &c)
{
    if (c.scale > 0)
        return QStringLiteral("NUMERIC(%1, %2)").arg(c.precision > 0 ? c.precision : 18).arg(c.scale);
    switch (c.typeCode) {
    case db::TypeSmallint: return QStringLiteral("SMALLINT");
    case db::TypeInteger: return QStringLiteral("INTEGER");
    case db::TypeBigint: return QStringLiteral("BIGINT");
    case db::TypeFloat: return QStringLiteral("FLOAT");
    case db::TypeDouble: return QStringLiteral("DOUBLE PRECISION");
    case db::TypeDate: return QStringLiteral("DATE");
    case db::TypeTime: return QStringLiteral("TIME");
    case db::TypeTimestamp: return QStringLiteral("TIMESTAMP");
    case db::TypeBoolean: return QStringLiteral("BOOLEAN");
    case db::TypeChar: return QStringLiteral("CHAR(%1)").arg(std::max(1, c.length));
    case db::TypeVarchar: return QStringLiteral("VARCHAR(%1)").arg(std::max(1, c.length));
    case db::TypeBlob: return QStringLiteral("BLOB SUB_TYPE %1").arg(c.subType);
    default: return QStringLiteral("VARCHAR(%1)").arg(std::max(1, c.length));
    }
}

} // namespace

QString codiceTipo(TipoExport tipo)
{
    return QString::fromLatin1(kCodici[int(tipo)]);
}

std::optional<TipoExport> tipoDaCodice(const QString &codice)
{
    for (int i = 0; i < kTipiExport; ++i)
        if (codice == QLatin1String(kCodici[i]))
            return TipoExport(i);
    return std::nullopt;
}

QString didascaliaTipo(TipoExport tipo)
{
    return QString::fromLatin1(kDidascalie[int(tipo)]);
}

QString testoCampoTesto(const db::Column &c, const db::FieldValue &v, int codice, int larghezza,
                        const OpzioniTesto &o)
{
    if (!v)
        return QString();
    const int gruppi = raggruppamento(codice);
    if (eVirgola(c) && (gruppi == 1 || gruppi == 2)) {
        const std::optional<double> d = db::toDouble(*v);
        const QString s = d ? testoRaggruppato(*d, gruppi) : db::toText(*v);
        return s.size() < larghezza ? s.rightJustified(larghezza, QLatin1Char(' ')) : s;
    }
    if (eBlob(c) && o.memoEstesi) {
        QString s = db::toText(*v);
        if (o.rtfInChiaro)
            s = rtfInChiaro(s);
        s.replace(QLatin1Char(';'), QLatin1Char(','));
        if (!o.tagRitornoCapo.isEmpty())
            s = sostituisciRitorniCapo(s, o.tagRitornoCapo);
        else if (!o.ritorniCapoNeiMemo)
            s = sostituisciRitorniCapo(s, QStringLiteral(" "));
        return s;
    }
    QString s = db::toText(*v);
    if (eBlob(c) && s.size() > larghezza)
        s.truncate(larghezza);
    for (QChar &ch : s)
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char(' ');
    return s;
}

QString lettereColonna(int numero)
{
    QString out;
    while (numero > 0) {
        const int r = (numero - 1) % 26;
        out.prepend(QChar(char16_t(u'A' + r)));
        numero = (numero - 1) / 26;
    }
    return out;
}

QString rigaIntervallo(int colonne, qint64 ultimaRiga)
{
    return QStringLiteral("A2:") + lettereColonna(colonne) + QString::number(ultimaRiga);
}

bool fileInUso(const QString &path)
{
    const QFileInfo info(local(path));
    if (!info.exists())
        return false;
    if (QFileInfo::exists(info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#')))
        return true;
    QFile f(info.absoluteFilePath());
    return !f.open(QIODevice::ReadOnly);
}

QString cercaDirLibreOffice(const QString &programma)
{
    if (!programma.isEmpty()) {
        const QFileInfo info(local(programma));
        const QString dir = info.absolutePath();
        for (const char *name : {"soffice", "soffice.exe", "soffice.bin"})
            if (QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(name)))
                return dir;
        // A link such as /usr/bin/libreoffice: its real folder.
        const QString real = QFileInfo(info.canonicalFilePath()).absolutePath();
        if (!info.canonicalFilePath().isEmpty())
            for (const char *name : {"soffice", "soffice.bin"})
                if (QFileInfo::exists(real + QLatin1Char('/') + QLatin1String(name)))
                    return real;
    }
    const QString found = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    return found.isEmpty() ? QString() : QFileInfo(found).absolutePath();
}

// ---- LibreOffice ----------------------------------------------------------

TSofficeConvertTo::TSofficeConvertTo() : DirProgramma(cercaDirLibreOffice()) {}

QString TSofficeConvertTo::Verifica() const
{
    if (DirProgramma.isEmpty())
        return QStringLiteral("Directory bin LibreOffice non specificata");
    if (!QFileInfo(local(DirProgramma)).isDir())
        return QStringLiteral("Directory bin LibreOffice \"%1\" non trovata").arg(DirProgramma);
    if (FileIngresso.isEmpty())
        return QStringLiteral("File Input non specificato");
    if (!QFileInfo::exists(local(FileIngresso)))
        return QStringLiteral("File Input \"%1\" non trovato").arg(FileIngresso);
    if (fileInUso(FileIngresso))
        return QStringLiteral("File %1 aperto in un'altra sessione").arg(FileIngresso);
    if (FileUscita.isEmpty())
        return QStringLiteral("File Output non specificato");
    if (fileInUso(FileUscita))
        return QStringLiteral("File %1 aperto in un'altra sessione").arg(FileUscita);
    if (CampiTraVirgoletteComeTesto && DelimitatoreTesto == 0)
        return QStringLiteral("Text Delimiter non specificato");
    return QString();
}

QString TSofficeConvertTo::programma() const
{
    return platform::ensureTrailingSeparator(DirProgramma) + QStringLiteral("soffice");
}

QStringList TSofficeConvertTo::argomenti() const
{
    // A profile of our own: a LibreOffice the user has open would otherwise
    // take the request and leave the conversion undone.
    const QString profilo = QDir::tempPath() + QStringLiteral("/vardof-libreoffice-")
                            + qEnvironmentVariable("USER", QStringLiteral("utente"));
    // Language 1040 (Italian) reads the decimal comma; special numbers
    // (dates) are recognised, quoted fields stay text.
    const QString filtro = QStringLiteral("Text - txt - csv (StarCalc):%1,%2,%3,%4,%5,1040,%6,true")
                               .arg(Separatore)
                               .arg(DelimitatoreTesto)
                               .arg(SetCaratteri)
                               .arg(PrimaRiga)
                               .arg(FormatiColonne)
                               .arg(CampiTraVirgoletteComeTesto ? QStringLiteral("true") : QStringLiteral("false"));
    return {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo).toString(),
            QStringLiteral("--headless"),
            QStringLiteral("--convert-to"),
            Formato == 0 ? QStringLiteral("xls:MS Excel 97") : QStringLiteral("xlsx:Calc MS Excel 2007 XML"),
            QStringLiteral("--infilter=") + filtro,
            QStringLiteral("--outdir"),
            QFileInfo(local(FileIngresso)).absolutePath(),
            local(FileIngresso)};
}

namespace {

// "30 minuti", "1 minuto", "90 secondi".
QString durata(int ms)
{
    if (ms >= 60000 && ms % 60000 == 0)
        return ms == 60000 ? QStringLiteral("1 minuto") : QStringLiteral("%1 minuti").arg(ms / 60000);
    const int secondi = std::max(1, (ms + 999) / 1000);
    return secondi == 1 ? QStringLiteral("1 secondo") : QStringLiteral("%1 secondi").arg(secondi);
}

} // namespace

int limiteConversioneMs(qint64 byte)
{
    constexpr qint64 minuto = 60 * 1000;
    const qint64 minuti = 5 + std::max<qint64>(0, byte) / (10 * 1024 * 1024);
    return int(std::min<qint64>(minuti, 120) * minuto);
}

bool TSofficeConvertTo::Converti(const std::function<bool()> &continua)
{
    m_interrotta = false;
    m_errore = Verifica();
    if (!m_errore.isEmpty())
        return false;
    const int limite = LimiteMs > 0 ? LimiteMs : limiteConversioneMs(QFileInfo(local(FileIngresso)).size());
    const platform::ProcessResult r =
        platform::runStoppableProcess({programma(), argomenti(), QString(), limite}, continua);
    const QFileInfo in(local(FileIngresso));
    const QString prodotto = in.absolutePath() + QLatin1Char('/') + in.completeBaseName()
                             + (Formato == 0 ? QStringLiteral(".xls") : QStringLiteral(".xlsx"));
    if (r.interrupted || r.timedOut) {
        // Whatever it wrote before it was stopped is no workbook.
        QFile::remove(prodotto);
        m_interrotta = r.interrupted;
        m_errore = r.interrupted ? QStringLiteral("Conversione con LibreOffice interrotta")
                                 : QStringLiteral("Conversione con LibreOffice non riuscita:\rLibreOffice non ha "
                                                  "terminato entro %1 ed è stato fermato")
                                       .arg(durata(limite));
        return false;
    }
    if (!r.started) {
        m_errore = QStringLiteral("Impossibile avviare LibreOffice (%1): %2").arg(programma(), r.errorString);
        return false;
    }
    if (!QFileInfo::exists(prodotto) || !r.succeeded()) {
        QString motivo = QString::fromLocal8Bit(r.standardError).trimmed();
        if (motivo.isEmpty())
            motivo = QString::fromLocal8Bit(r.standardOutput).trimmed();
        if (motivo.isEmpty())
            motivo = r.errorString.isEmpty() ? QStringLiteral("codice di uscita %1").arg(r.exitCode) : r.errorString;
        m_errore = QStringLiteral("Conversione con LibreOffice non riuscita:\r") + motivo;
        QFile::remove(prodotto);
        return false;
    }
    QString errore;
    const bool ok = pubblica(prodotto, FileUscita, &errore);
    QFile::remove(prodotto);
    if (!ok)
        m_errore = errore;
    return ok;
}

// ---- exporter -------------------------------------------------------------

Esportatore::Esportatore(const RispostaDaEsportare &risposta, platform::RunFeedback &feedback)
    : m_risposta(risposta), m_fb(feedback)
{
}

bool Esportatore::fallito(const QString &messaggio)
{
    m_errore = messaggio;
    m_fb.tell(platform::Error, messaggio);
    return false;
}

bool Esportatore::interrotto()
{
    if (!m_fb.interruptRequested())
        return false;
    m_errore = kMsgEsportazioneInterrotta;
    m_fb.tell(platform::Warning, kMsgEsportazioneInterrotta);
    return true;
}

std::optional<qint64> Esportatore::limiteRighe(qint64 conteggio, qint64 righeFoglio, const QString &formato,
                                                int righeExtra)
{
    const qint64 limite = righeFoglio - righeExtra;
    if (conteggio <= limite)
        return -1;
    const QString testo =
        QStringLiteral("Ci sono %1 record da esportare. Il formato %2 può gestire fino a %3 righe: continuare lo stesso?")
            .arg(platform::formatFloat(QStringLiteral("###,###,##0"), double(conteggio)), formato,
                 platform::formatFloat(QStringLiteral("###,##0"), double(righeFoglio)));
    if (!m_fb.confirm(testo, platform::Warning)) {
        m_rinunciato = true;
        return std::nullopt;
    }
    return limite;
}

void Esportatore::inizia()
{
    m_errore.clear();
    m_rinunciato = false;
    m_righe = 0;
}

struct Esportatore::Foglio
{
    qint64 totale = -1;
    qint64 limite = -1;
    std::unique_ptr<QTemporaryDir> lavoro;
};

std::optional<Esportatore::Foglio> Esportatore::preparaFoglio(CursoreRisposta &cur, const QString &file,
                                                              qint64 righeFoglio, const QString &formato,
                                                              int righeExtra)
{
    Foglio f;
    f.totale = cur.conta();
    const std::optional<qint64> limite = limiteRighe(f.totale, righeFoglio, formato, righeExtra);
    if (!limite)
        return std::nullopt;
    f.limite = *limite;
    try {
        cur.apri();
    } catch (const db::Error &e) {
        fallito(QStringLiteral("Operazione fallita:\r") + ragioneDb(e));
        return std::nullopt;
    }
    QString errore;
    f.lavoro = cartellaLavoro(file, &errore);
    if (!f.lavoro) {
        fallito(errore);
        return std::nullopt;
    }
    return f;
}

bool Esportatore::scriviRighe(CursoreRisposta &cur, qint64 totale, qint64 limite, const std::function<bool()> &scrivi)
{
    m_fb.report(0, totale);
    while (limite < 0 || m_righe < limite) {
        try {
            if (!cur.prossima())
                break;
            if (!scrivi())
                return false;
        } catch (const db::Error &e) {
            return fallito(QStringLiteral("Operazione fallita:\r") + ragioneDb(e));
        }
        ++m_righe;
        if (m_fb.step(m_righe, totale) && interrotto())
            return false;
    }
    return true;
}

bool Esportatore::converti(TSofficeConvertTo &conv)
{
    // LibreOffice works out of sight: the window stays alive and its stop
    // button is heard while it does.
    const bool ok = conv.Converti([this] {
        m_fb.keepAlive();
        return !m_fb.interruptRequested();
    });
    if (ok)
        return true;
    if (conv.interrotta()) {
        m_errore = kMsgEsportazioneInterrotta;
        m_fb.tell(platform::Warning, kMsgEsportazioneInterrotta);
        return false;
    }
    return fallito(conv.errore());
}

bool Esportatore::verificaConvertitore(const QString &dirProgramma, const QString &file)
{
    if (dirProgramma.isEmpty())
        return fallito(QStringLiteral("Directory bin LibreOffice non specificata"));
    if (!QFileInfo(local(dirProgramma)).isDir())
        return fallito(QStringLiteral("Directory bin LibreOffice \"%1\" non trovata").arg(dirProgramma));
    if (fileInUso(file))
        return fallito(QStringLiteral("File %1 aperto in un'altra sessione").arg(file));
    return true;
}

bool Esportatore::EsportaTesto(const QString &file, const OpzioniTesto &o)
{
    inizia();
    m_nonRappresentabili = false;
    CursoreRisposta cur(m_risposta);
    const qint64 totale = m_conteggio ? cur.conta() : -1;
    try {
        cur.apri();
    } catch (const db::Error &e) {
        return fallito(QStringLiteral("Operazione fallita:\r") + ragioneDb(e));
    }
    const auto &campi = cur.campi();
    const auto &colonne = cur.colonne();
    std::vector<int> larghezze;
    for (const CampoEsportato &f : campi) {
        const db::Column &c = colonne[size_t(f.colonna)];
        int w = larghezzaCampo(f, c);
        if (o.lunghezzaFissa)
            w = std::max(w, larghezzaMassimaTesto(c));
        larghezze.push_back(w);
    }

    // How each field's text is made: most values are the cell text as it
    // comes from the row, without a detour through a value.
    enum class Modo { Semplice, Testo, Altro };
    std::vector<Modo> modi;
    for (const CampoEsportato &f : campi) {
        const db::Column &c = colonne[size_t(f.colonna)];
        const int g = raggruppamento(f.codice);
        if (eBlob(c) || (eVirgola(c) && (g == 1 || g == 2)))
            modi.push_back(Modo::Altro);
        else
            modi.push_back(c.isText() ? Modo::Testo : Modo::Semplice);
    }

    platform::OutputFile out(file);
    if (!out.open())
        return fallito(out.errorMessage());
    QByteArray riga;
    bool perso = false;
    const QByteArray separatore = core::toCp1252(QString(o.separatore), &perso);
    auto scriviRiga = [&]() {
        riga += "\r\n";
        out.write(riga);
        riga.clear();
        return !out.failed();
    };
    auto aggiungi = [&](size_t i, QString v) {
        if (o.lunghezzaFissa) {
            if (v.size() < larghezze[i])
                v = v.leftJustified(larghezze[i], QLatin1Char(' '));
        } else {
            qsizetype end = v.size();
            while (end > 0 && v.at(end - 1) == QLatin1Char(' '))
                --end;
            v.truncate(end);
        }
        if (i > 0)
            riga += separatore;
        core::appendCp1252(v, riga, &perso);
    };
    if (!o.saltaIntestazioni) {
        for (size_t i = 0; i < campi.size(); ++i) {
            const db::Column &c = colonne[size_t(campi[i].colonna)];
            QString item = o.qualificaCampi ? codiceTipoCampo(c) + QLatin1Char('_') + campi[i].etichetta
                                            : campi[i].nome.left(larghezze[i]);
            if (o.qualificaCampi) {
                if (i > 0)
                    riga += separatore;
                core::appendCp1252(item, riga, &perso);
            } else {
                aggiungi(i, item);
            }
        }
        if (!scriviRiga())
            return fallito(out.errorMessage());
    }
    const bool scritte = scriviRighe(cur, totale, -1, [&] {
        for (size_t i = 0; i < campi.size(); ++i) {
            const int col = campi[i].colonna;
            if (modi[i] == Modo::Altro) {
                aggiungi(i, testoCampoTesto(colonne[size_t(col)], cur.valore(col), campi[i].codice, larghezze[i], o));
                continue;
            }
            QString v = cur.testo(col);
            if (modi[i] == Modo::Testo) {
                for (QChar &ch : v)
                    if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
                        ch = QLatin1Char(' ');
            }
            aggiungi(i, std::move(v));
        }
        return scriviRiga() || fallito(out.errorMessage());
    });
    if (!scritte)
        return false;
    if (!out.commit())
        return fallito(out.errorMessage());
    m_nonRappresentabili = perso;
    m_fb.report(m_righe, totale < 0 ? m_righe : totale);
    return true;
}

bool Esportatore::EsportaXlsx(const QString &file)
{
    inizia();
    CursoreRisposta cur(m_risposta);
    const std::optional<Foglio> foglio = preparaFoglio(cur, file, kRigheXlsx, QStringLiteral("XLSX"), 1);
    if (!foglio)
        return false;
    const qint64 totale = foglio->totale;
    const QByteArray temp = QFile::encodeName(foglio->lavoro->filePath(QStringLiteral("export.xlsx")));
    const QByteArray tmpdir = QFile::encodeName(foglio->lavoro->path());
    lxw_workbook_options opzioni{};
    opzioni.constant_memory = LXW_TRUE;
    opzioni.tmpdir = const_cast<char *>(tmpdir.constData());
    opzioni.use_zip64 = LXW_TRUE;
    lxw_workbook *wb = workbook_new_opt(temp.constData(), &opzioni);
    if (!wb)
        return fallito(platform::outputFileError(file, QStringLiteral("impossibile creare il foglio di lavoro")));
    struct Chiudi
    {
        lxw_workbook *&wb;
        ~Chiudi()
        {
            if (wb)
                workbook_close(wb);
        }
    } chiudi{wb};
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Dati");
    lxw_format *grassetto = workbook_add_format(wb);
    format_set_bold(grassetto);
    lxw_format *fData = workbook_add_format(wb);
    format_set_num_format(fData, "dd/mm/yyyy");
    lxw_format *fOra = workbook_add_format(wb);
    format_set_num_format(fOra, "hh:mm:ss");
    lxw_format *fTs = workbook_add_format(wb);
    format_set_num_format(fTs, "dd/mm/yyyy hh:mm:ss");
    lxw_format *fGruppi2 = workbook_add_format(wb);
    format_set_num_format(fGruppi2, "#,##0.00");
    lxw_format *fGruppi0 = workbook_add_format(wb);
    format_set_num_format(fGruppi0, "#,##0");

    const auto &campi = cur.campi();
    const auto &colonne = cur.colonne();
    std::vector<lxw_format *> formati;
    for (size_t i = 0; i < campi.size(); ++i) {
        const db::Column &c = colonne[size_t(campi[i].colonna)];
        lxw_format *f = nullptr;
        const int g = raggruppamento(campi[i].codice);
        if (eVirgola(c) && g == 1)
            f = fGruppi2;
        else if (eVirgola(c) && g == 2)
            f = fGruppi0;
        else if (c.scale > 0) {
            f = workbook_add_format(wb);
            format_set_num_format(f, ("0." + QByteArray(c.scale, '0')).constData());
        }
        formati.push_back(f);
        worksheet_set_column(ws, lxw_col_t(i), lxw_col_t(i), std::min(larghezzaCampo(campi[i], c), 60) + 1, nullptr);
        worksheet_write_string(ws, 0, lxw_col_t(i), campi[i].etichetta.toUtf8().constData(), grassetto);
    }
    // Whole numbers beyond 2^53 and dates a spreadsheet cannot count go as
    // text, so that no digit and no day is lost.
    constexpr double kInteroEsatto = 9007199254740992.0;
    lxw_row_t row = 1;
    const bool scritte = scriviRighe(cur, totale, foglio->limite, [&] {
        for (size_t i = 0; i < campi.size(); ++i) {
            const db::FieldValue v = cur.valore(campi[i].colonna);
            if (!v)
                continue;
            const db::Column &c = colonne[size_t(campi[i].colonna)];
            const lxw_col_t col = lxw_col_t(i);
            lxw_error rc = LXW_NO_ERROR;
            const db::Value &x = *v;
            auto testo = [&](const QString &s) { return worksheet_write_string(ws, row, col, s.toUtf8().constData(), nullptr); };
            if (const qint64 *n = std::get_if<qint64>(&x)) {
                const double d = c.scale > 0 ? double(*n) / std::pow(10.0, c.scale) : double(*n);
                rc = std::fabs(double(*n)) <= kInteroEsatto
                         ? worksheet_write_number(ws, row, col, d, formati[i])
                         : testo(c.scale > 0 ? core::scaledText(*n, c.scale) : core::integerText(*n));
            } else if (const db::Decimal *dec = std::get_if<db::Decimal>(&x)) {
                rc = std::fabs(double(dec->units)) <= kInteroEsatto
                         ? worksheet_write_number(ws, row, col, dec->toDouble(), formati[i])
                         : testo(dec->toString(QLatin1Char(',')));
            } else if (const double *d = std::get_if<double>(&x)) {
                rc = std::isfinite(*d) ? worksheet_write_number(ws, row, col, *d, formati[i])
                                       : testo(core::numberText(*d));
            } else if (const bool *b = std::get_if<bool>(&x)) {
                rc = worksheet_write_boolean(ws, row, col, *b ? 1 : 0, nullptr);
            } else if (const QDate *dt = std::get_if<QDate>(&x)) {
                if (dt->year() >= 1900) {
                    lxw_datetime t{dt->year(), dt->month(), dt->day(), 0, 0, 0};
                    rc = worksheet_write_datetime(ws, row, col, &t, fData);
                } else {
                    rc = testo(core::dateText(*dt));
                }
            } else if (const QTime *tm = std::get_if<QTime>(&x)) {
                lxw_datetime t{0, 0, 0, tm->hour(), tm->minute(), tm->second() + tm->msec() / 1000.0};
                rc = worksheet_write_datetime(ws, row, col, &t, fOra);
            } else if (const QDateTime *ts = std::get_if<QDateTime>(&x)) {
                const QDate dd = ts->date();
                const QTime tt = ts->time();
                if (dd.year() >= 1900) {
                    lxw_datetime t{dd.year(), dd.month(), dd.day(), tt.hour(), tt.minute(),
                                   tt.second() + tt.msec() / 1000.0};
                    rc = worksheet_write_datetime(ws, row, col, &t, fTs);
                } else {
                    rc = testo(core::timestampText(*ts));
                }
            } else {
                rc = testo(db::toText(x));
            }
            if (rc == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
                return fallito(QStringLiteral("Il valore del campo %1 alla riga %2 supera i 32767 caratteri di una "
                                              "cella: esportarlo in formato testo")
                                   .arg(campi[i].nome)
                                   .arg(m_righe + 1));
            if (rc != LXW_NO_ERROR)
                return fallito(platform::outputFileError(file, QString::fromUtf8(lxw_strerror(rc))));
        }
        ++row;
        return true;
    });
    if (!scritte)
        return false;
    const lxw_error rc = workbook_close(wb);
    wb = nullptr;
    if (rc != LXW_NO_ERROR)
        return fallito(platform::outputFileError(file, QString::fromUtf8(lxw_strerror(rc))));
    QString errore;
    if (!pubblica(QFile::decodeName(temp), file, &errore))
        return fallito(errore);
    m_fb.report(m_righe, totale < 0 ? m_righe : totale);
    return true;
}

bool Esportatore::EsportaLibreOffice(int formato, const QString &file, bool intestazione, const QString &dirProgramma)
{
    inizia();
    TSofficeConvertTo conv;
    if (!dirProgramma.isEmpty())
        conv.DirProgramma = dirProgramma;
    conv.Formato = formato;
    conv.FileUscita = file;
    // A converter that cannot run is told before the answer is read.
    if (!verificaConvertitore(conv.DirProgramma, file))
        return false;

    CursoreRisposta cur(m_risposta);
    const std::optional<Foglio> foglio =
        preparaFoglio(cur, file, formato == 0 ? kRigheXls : kRigheXlsx,
                      formato == 0 ? QStringLiteral("XLS") : QStringLiteral("XLSX"), intestazione ? 2 : 1);
    if (!foglio)
        return false;
    const qint64 totale = foglio->totale;
    const qint64 limite = foglio->limite;
    conv.FileIngresso =
        foglio->lavoro->filePath(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")) + QStringLiteral(".csv"));

    const auto &campi = cur.campi();
    const auto &colonne = cur.colonne();
    TFileCSVWrite csv(conv.FileIngresso);
    if (!csv.Open(true))
        return fallito(csv.errorMessage());
    if (intestazione) {
        const qint64 ultima = limite >= 0 ? limite + 2 : (totale >= 0 ? totale + 2 : 2);
        csv.ClearRow();
        csv.SetField(0, rigaIntervallo(int(campi.size()), ultima).toUtf8());
        csv.WriteRow();
    }
    csv.ClearRow();
    for (size_t i = 0; i < campi.size(); ++i)
        csv.SetField(int(i), quotato(campi[i].nome).toUtf8());
    csv.WriteRow();
    const bool scritte = scriviRighe(cur, totale, limite, [&] {
        csv.ClearRow();
        for (size_t i = 0; i < campi.size(); ++i)
            csv.SetField(int(i), testoCsvLibreOffice(colonne[size_t(campi[i].colonna)], cur.valore(campi[i].colonna)));
        return csv.WriteRow() || fallito(csv.errorMessage());
    });
    if (!scritte)
        return false;
    if (!csv.Close())
        return fallito(csv.errorMessage());
    if (!converti(conv))
        return false;
    m_fb.report(m_righe, totale < 0 ? m_righe : totale);
    return true;
}

bool Esportatore::EsportaExcelL(const QString &file, bool tuttoTesto, const OpzioniTesto &opzioni,
                                const QString &dirProgramma)
{
    inizia();
    TSofficeConvertTo conv;
    if (!dirProgramma.isEmpty())
        conv.DirProgramma = dirProgramma;
    conv.Formato = 0;
    conv.FileUscita = file;
    if (!verificaConvertitore(conv.DirProgramma, file))
        return false;

    CursoreRisposta cur(m_risposta);
    const std::optional<Foglio> foglio = preparaFoglio(cur, file, kRigheXls, QStringLiteral("XLS"), 1);
    if (!foglio)
        return false;
    const qint64 totale = foglio->totale;
    conv.FileIngresso = foglio->lavoro->filePath(QFileInfo(local(file)).completeBaseName() + QStringLiteral("utf8.csv"));

    const auto &campi = cur.campi();
    const auto &colonne = cur.colonne();
    OpzioniTesto o = opzioni;
    o.lunghezzaFissa = false;
    QStringList formati;
    std::vector<int> larghezze;
    for (size_t i = 0; i < campi.size(); ++i) {
        const db::Column &c = colonne[size_t(campi[i].colonna)];
        larghezze.push_back(larghezzaCampo(campi[i], c));
        formati << QString::number(i + 1) << (tuttoTesto || !eNumerico(c) ? QStringLiteral("2") : QStringLiteral("1"));
    }
    conv.FormatiColonne = formati.join(QLatin1Char('/'));
    // Every text quoted: a separator or a quote inside it stays in it.
    platform::OutputFile csv(conv.FileIngresso);
    if (!csv.open())
        return fallito(csv.errorMessage());
    QString riga;
    if (!o.saltaIntestazioni) {
        for (size_t i = 0; i < campi.size(); ++i) {
            const db::Column &c = colonne[size_t(campi[i].colonna)];
            if (i > 0)
                riga += QLatin1Char(';');
            riga += quotato(o.qualificaCampi ? codiceTipoCampo(c) + QLatin1Char('_') + campi[i].etichetta
                                             : campi[i].nome.left(larghezze[i]).trimmed());
        }
        riga += QStringLiteral("\r\n");
        csv.write(riga.toUtf8());
    }
    const bool scritte = scriviRighe(cur, totale, foglio->limite, [&] {
        riga.clear();
        for (size_t i = 0; i < campi.size(); ++i) {
            const db::Column &c = colonne[size_t(campi[i].colonna)];
            QString v = testoCampoTesto(c, cur.valore(campi[i].colonna), campi[i].codice, larghezze[i], o);
            if (i > 0)
                riga += QLatin1Char(';');
            // A quoted field is read as text: numbers go bare.
            riga += eNumerico(c) && !tuttoTesto ? v.trimmed() : quotato(v);
        }
        riga += QStringLiteral("\r\n");
        return csv.write(riga.toUtf8()) || fallito(csv.errorMessage());
    });
    if (!scritte)
        return false;
    if (!csv.commit())
        return fallito(csv.errorMessage());
    if (!converti(conv))
        return false;
    m_fb.report(m_righe, totale < 0 ? m_righe : totale);
    return true;
}

bool Esportatore::CreaCopiaTabellaExportFDB(const QString &nomeDato, const QString &dirLavoro)
{
    inizia();
    if (!m_risposta.transazione)
        return fallito(QStringLiteral("Operazione fallita:\rnessuna risposta da esportare"));
    db::Transaction &tra = *m_risposta.transazione;
    const QString nome = nomeDato.trimmed().toUpper();
    if (nome.isEmpty())
        return fallito(QStringLiteral("Operazione fallita:\rnome della tabella non indicato"));
    const QString sqlNome = db::quotedName(nome);
    try {
        tra.ensureStarted();
        if (db::catalog::relationExists(tra, nome)) {
            if (!nome.startsWith(QLatin1String("TMP"))) {
                m_errore = QStringLiteral("La tabella esiste già: impossibile procedere.\r\rAssegnare un altro nome (si "
                                          "consigliano nomi che iniziano con \"TMP\")");
                m_fb.tell(platform::Warning, m_errore);
                return false;
            }
            if (!m_fb.confirm(QStringLiteral("La tabella esiste già.\rEssendo che il nome inizia con \"TMP\", può "
                                             "essere sovrascritta: procedo con sovrascrittura?"))) {
                m_rinunciato = true;
                return false;
            }
            try {
                db::executeSql(tra, QStringLiteral("DROP TABLE ") + sqlNome);
                tra.commitRetaining();
            } catch (const db::Error &e) {
                tra.rollbackRetaining();
                return fallito(QStringLiteral("Fallita eliminazione tabella:\r") + ragioneDb(e));
            }
        }
    } catch (const db::Error &e) {
        return fallito(QStringLiteral("Operazione fallita:\r") + ragioneDb(e));
    }

    CursoreRisposta cur(m_risposta);
    QString insert;
    bool creata = false;
    try {
        cur.apri();
        QStringList elenco;
        for (const db::Column &c : cur.colonne())
            elenco << db::quotedName(c.alias.isEmpty() ? c.name : c.alias) + QLatin1Char(' ') + tipoColonnaTabella(c);
        db::executeSql(tra, QStringLiteral("CREATE TABLE ") + sqlNome + QStringLiteral(" (")
                                + elenco.join(QStringLiteral(", ")) + QLatin1Char(')'));
        tra.commitRetaining();
        creata = true;
        insert = QStringLiteral("INSERT INTO ") + sqlNome + QLatin1Char(' ') + m_risposta.sql.join(QLatin1Char('\n'));
        db::Statement st(tra, insert, db::ParamStyle::AsWritten);
        st.execute();
        m_righe = st.rowsAffected();
        tra.commitRetaining();
    } catch (const db::Error &e) {
        try {
            tra.rollbackRetaining();
            // A table left empty by a failed fill would pass for the export.
            if (creata) {
                db::executeSql(tra, QStringLiteral("DROP TABLE ") + sqlNome);
                tra.commitRetaining();
            }
        } catch (const db::Error &) {
        }
        if (creata) {
            platform::OutputFile::writeAll(platform::ensureTrailingSeparator(dirLavoro) + QStringLiteral("vardo.sql"),
                                           core::toCp1252(insert + QStringLiteral("\r\n")));
            return fallito(QStringLiteral("E' avvenuto un errore durante l'esportazione\r") + ragioneDb(e));
        }
        return fallito(QStringLiteral("Operazione fallita:\r") + ragioneDb(e));
    }
    return true;
}

bool apriRisultato(const QString &programma, const QString &file)
{
    if (programma.trimmed().isEmpty())
        return platform::shell().openFile(file);
    return avviaProgramma()(programma, {local(file)});
}

AvviaProgramma setAvviaProgramma(AvviaProgramma avvia)
{
    AvviaProgramma previous = std::move(avviaProgramma());
    if (avvia)
        avviaProgramma() = std::move(avvia);
    else
        avviaProgramma() = [](const QString &programma, const QStringList &argomenti) {
            return QProcess::startDetached(local(programma), argomenti);
        };
    return previous;
}

} // namespace vardof::output
