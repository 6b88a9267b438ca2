#pragma once

// Export of an answer to a file or a table: delimited and fixed-length
// text, XLSX (libxlsxwriter), XLS and XLSX converted by LibreOffice from a
// CSV, and a new table of the answer's database filled by the server.
//
// Who owns what: the caller lends the answer (its statement and
// transaction) and the run feedback; the exporter reads the answer again on
// a one-way cursor, row by row, so memory does not follow the answer's
// size. Every file is written beside its target and put in place only when
// complete: a failure, a refusal or an interruption leaves the target as it
// was (absent, or its earlier content). Errors are told through the
// feedback with the Italian lead-in and the system's or server's reason,
// and kept in errore(); the functions then return false.

#include "output/Risposta.h"
#include "platform/RunFeedback.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace vardof::output {

// The export types of the dialog, in its order.
enum class TipoExport { Testo = 0, IB, Excel, ExcelX, ExcelL, ExcelLTesto, LibreOfficeXLS, LibreOfficeXLSX };
inline constexpr int kTipiExport = 8;
QString codiceTipo(TipoExport tipo);                       // "Testo", "IB", "Excel", ...
std::optional<TipoExport> tipoDaCodice(const QString &codice);
QString didascaliaTipo(TipoExport tipo);                   // "Formato Testo", ...

// How the dialog was closed.
enum RisultatoEsporta { EsportaSemplice = 1, Chiudi = 2, ApriFoglioCalcolo = 8, ApriFoglioCalcoloUnione = 10 };

inline const QString kMsgTestoTerminato = QStringLiteral("EXPORT SU FILE TERMINATO !!!");
inline const QString kMsgExcelTerminato = QStringLiteral("EXPORT SU FILE EXCEL TERMINATO !!!");
inline const QString kMsgExcelErrore = QStringLiteral("ERRORE NELL' EXPORT SU FILE EXCEL!!!");
inline const QString kMsgOperazioneCompletata = QStringLiteral("Operazione completata");
inline const QString kMsgTabellaTerminata = QStringLiteral("Export su tabella in formato interbase terminato");
inline const QString kMsgEsportazioneInterrotta = QStringLiteral("Esportazione interrotta: nessun file scritto");

struct OpzioniTesto
{
    QChar separatore = QLatin1Char(';');
    bool lunghezzaFissa = false;
    bool memoEstesi = false;     // memo and blob fields whole
    QString tagRitornoCapo;      // replaces their line breaks when not empty
    bool rtfInChiaro = false;    // memo contents taken from rich text
    bool saltaIntestazioni = false;
    bool qualificaCampi = false; // header items "type code_label"
    // With memos whole and no tag, their line breaks stay (as asked); false
    // turns them into blanks so that every row is one line.
    bool ritorniCapoNeiMemo = true;
};

// The text of one field for the text exports (delimited or fixed), before
// padding: grouped numbers right-aligned, memos as the options say, other
// values as the grid shows them with line breaks turned into blanks. Blob
// texts without the memo option are cut to the width (that is what the
// option is for); no other value is cut.
QString testoCampoTesto(const db::Column &colonna, const db::FieldValue &valore, int codice, int larghezza,
                        const OpzioniTesto &opzioni);

// Column letters: 1 -> A, 26 -> Z, 27 -> AA, 28 -> AB.
QString lettereColonna(int numero);
// The range line of a merge export: "A2:" + letters of the last column +
// the last row.
QString rigaIntervallo(int colonne, qint64 ultimaRiga);

// Whether a file is in use: it exists and another program keeps it open
// (LibreOffice's lock file beside it, or it cannot be opened).
bool fileInUso(const QString &path);

// The folder of LibreOffice's soffice program when it can be found: beside
// `programma` when that names one of LibreOffice's programs, else on the
// search path. Empty when none is found.
QString cercaDirLibreOffice(const QString &programma = QString());

// The time a conversion of a CSV of `byte` bytes may take: 5 minutes and
// one more for every 10 MB, at most 2 hours.
int limiteConversioneMs(qint64 byte);

// The LibreOffice converter: a CSV (separator, text delimiter, UTF-8) to
// XLS or XLSX, run as a hidden headless process.
class TSofficeConvertTo
{
public:
    TSofficeConvertTo(); // DirProgramma from cercaDirLibreOffice()

    QString DirProgramma;
    int Formato = 0;             // 0 XLS, 1 XLSX
    int Separatore = 59;         // ';'
    int DelimitatoreTesto = 34;  // '"'
    int PrimaRiga = 1;
    bool CampiTraVirgoletteComeTesto = true;
    int SetCaratteri = 76;       // UTF-8
    // Per-column formats of the import ("1/2/2/1": column/format pairs, 1
    // standard, 2 text); empty: standard everywhere.
    QString FormatiColonne;
    QString FileIngresso;
    QString FileUscita;

    // How long LibreOffice may take before it is stopped; 0: by the size of
    // FileIngresso (limiteConversioneMs). A sheet of a million rows takes it
    // minutes; a LibreOffice waiting for an answer nobody can give (a hidden
    // dialog, a stale profile lock) takes forever.
    int LimiteMs = 0;

    // The first problem that stops the conversion, as the user reads it;
    // empty when it may run.
    QString Verifica() const;
    // The program and arguments of the conversion.
    QString programma() const;
    QStringList argomenti() const;
    // Converts, puts the result at FileUscita; false with errore().
    // `continua` is asked while LibreOffice works; false stops it
    // (interrotta() then tells so). A stopped or timed-out LibreOffice is
    // killed and leaves no file, neither its own nor at FileUscita.
    bool Converti(const std::function<bool()> &continua = {});
    const QString &errore() const { return m_errore; }
    bool interrotta() const { return m_interrotta; }

private:
    QString m_errore;
    bool m_interrotta = false;
};

class Esportatore
{
public:
    Esportatore(const RispostaDaEsportare &risposta, platform::RunFeedback &feedback);

    // Delimited or fixed-length text in CP1252, CR LF. `conQualifica`
    // false ignores the type-coded headers (the older export).
    bool EsportaTesto(const QString &file, const OpzioniTesto &opzioni);
    // XLSX written directly: numbers as numbers (grouping codes as number
    // formats), dates as dates, text as text, a bold header of labels.
    bool EsportaXlsx(const QString &file);
    // The CSV of the answer converted by LibreOffice (format 0 XLS, 1 XLSX);
    // `intestazione` puts the merge range line first.
    bool EsportaLibreOffice(int formato, const QString &file, bool intestazione, const QString &dirProgramma);
    // "Excel L": the text export as UTF-8, converted to XLS by LibreOffice
    // with the numeric columns as numbers (`tuttoTesto`: every column as text).
    bool EsportaExcelL(const QString &file, bool tuttoTesto, const OpzioniTesto &opzioni, const QString &dirProgramma);
    // A new table `nome` in the answer's database with the answer's columns,
    // filled by INSERT ... SELECT. An existing table is replaced only when
    // its name begins with "TMP" and the user agrees. `dirLavoro` gets
    // vardo.sql when the insert fails.
    bool CreaCopiaTabellaExportFDB(const QString &nome, const QString &dirLavoro);

    // Whether the answer's rows are counted first, for the progress and
    // the row limits (one more pass of the server over the answer). On by
    // default; off where nobody sees the progress.
    void setConteggio(bool on) { m_conteggio = on; }

    const QString &errore() const { return m_errore; }
    // The user declined a question (row limit, replacing a table): nothing
    // was written and nothing is to be told.
    bool rinunciato() const { return m_rinunciato; }
    // Rows written by the last export.
    qint64 righeScritte() const { return m_righe; }
    // Some character had no CP1252 byte and was written as '?'.
    bool caratteriNonRappresentabili() const { return m_nonRappresentabili; }

private:
    struct Foglio;
    void inizia();
    bool fallito(const QString &messaggio);
    bool interrotto();
    // Counts the answer against a sheet of `righeFoglio` rows, opens it and
    // makes a work folder beside `file`; nothing after telling why, or when
    // the user declined the row limit.
    std::optional<Foglio> preparaFoglio(CursoreRisposta &cur, const QString &file, qint64 righeFoglio,
                                        const QString &formato, int righeExtra);
    // The answer's rows up to `limite` (negative: all), each handed to
    // `scrivi`, with the progress and the user's interruption between rows.
    // A row the server cannot give or whose values it cannot read fails
    // the export with its reason; `scrivi` says false after fallito().
    bool scriviRighe(CursoreRisposta &cur, qint64 totale, qint64 limite, const std::function<bool()> &scrivi);
    // The converter's folder and the target, checked before the answer is read.
    bool verificaConvertitore(const QString &dirProgramma, const QString &file);
    // Runs the conversion, stoppable from the run feedback; false once told.
    bool converti(TSofficeConvertTo &conv);
    // The row limit of a spreadsheet format: asks when the answer has more
    // rows; the data rows to write (-1 no limit), nullopt when declined.
    std::optional<qint64> limiteRighe(qint64 conteggio, qint64 righeFoglio, const QString &formato, int righeExtra);

    const RispostaDaEsportare &m_risposta;
    platform::RunFeedback &m_fb;
    QString m_errore;
    bool m_rinunciato = false;
    bool m_nonRappresentabili = false;
    qint64 m_righe = 0;
    bool m_conteggio = true;
};

// Opens an exported file for the user: with `programma` (the user's
// spreadsheet program) when given, else with the desktop's opener. False
// when nothing could be started.
bool apriRisultato(const QString &programma, const QString &file);
// How a named program is started, detached (replaceable by tests).
using AvviaProgramma = std::function<bool(const QString &programma, const QStringList &argomenti)>;
AvviaProgramma setAvviaProgramma(AvviaProgramma avvia);

} // namespace vardof::output
