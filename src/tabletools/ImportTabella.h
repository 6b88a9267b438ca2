#pragma once
// Appending a ";" file to a table, and the work table a file's header
// declares ("*A10_CODICE;#A50_DESCRIZIONE;N2_PREZZO;D_DATA").
//
// The importer reads the file twice through a 64 KB buffer (to count, then
// to import), binds field k to column k of the table with one prepared
// insert, and writes its lines to the run feedback. A value that does not
// convert is stored as NULL and reported; a refused row is reported and
// the run goes on; at the end (or on an interruption) the work is
// committed retaining.
#include "platform/RunFeedback.h"

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace vardof::db { class Transaction; }

namespace vardof::tabletools {

// Type codes of the column list.
enum TipoSQL : int {
    SqlSconosciuto = 0,
    SqlInteger = 1,
    SqlBigint = 2,
    SqlSmallint = 3,
    SqlFloat = 4,
    SqlDate = 5,
    SqlTime = 6,
    SqlDecimal = 7,
    SqlTimestamp = 8,
    SqlVarchar = 9,
    SqlChar = 10,
    SqlDouble = 11,
    SqlBlob = 12,
};
QString nomeTipoSQL(int tipo);
// The code of a catalogue type (RDB$FIELD_TYPE, RDB$FIELD_SUB_TYPE).
int tipoDaCatalogo(int fieldType, int subType);

struct CampoSQL
{
    QString nome; // at most 31 characters
    int tipo = SqlSconosciuto;
    int dimensione = 0;
    int precisione = 0;
    int scala = 0;
    bool chiave = false;
    bool indice = false; // declared with "#" in a header
};

class TCampoSQLList
{
public:
    void clear() { m_campi.clear(); }
    void add(CampoSQL c) { m_campi.push_back(std::move(c)); }
    int count() const { return int(m_campi.size()); }
    const CampoSQL &operator[](int i) const { return m_campi.at(size_t(i)); }
    const std::vector<CampoSQL> &campi() const { return m_campi; }

    // The columns of `tabella` in table order; false for an empty name or a
    // table with no columns.
    bool LeggiStrutturaTabella(db::Transaction &tra, const QString &tabella);

private:
    std::vector<CampoSQL> m_campi;
};

bool EsisteTabella(db::Transaction &tra, const QString &tabella);

// ---- the importer --------------------------------------------------------

struct OpzioniImport
{
    QString tabella; // as the catalogue holds it
    QString file;
    bool saltaPrimaRiga = true;
    bool perCampo = false;         // validation: per field (true) or per record
    bool perNumeroCampi = false;   // "Abilita import CR"
    int campiPerRecord = 1;
    bool tagACapo = false;         // "Import memo estesi con tag CR"
    QString tag;
};

class TImportFile
{
public:
    TImportFile(db::Transaction &tra, OpzioniImport opzioni, platform::RunFeedback &feedback);
    ~TImportFile();

    // 0 when the import may start, -1 with the reasons written as lines.
    int VerificaImportazione();
    // Imports; returns the records inserted.
    qint64 EseguiImportazione();

    qint64 righeContate() const { return m_righe; }
    qint64 righeInserite() const { return m_inserite; }
    qint64 errori() const { return m_errori; }
    // Records the server refused: not stored, whatever their fields.
    qint64 righeRifiutate() const { return m_rifiutate; }
    bool interrotta() const { return m_interrotta; }
    const TCampoSQLList &campi() const { return m_campi; }
    // The insert's text, for tests.
    QString testoInsert() const;

private:
    struct Dati;
    void record(const QString &testo, qint64 riga);
    qint64 contaRighe();

    db::Transaction &m_tra;
    OpzioniImport m_opz;
    platform::RunFeedback &m_feedback;
    TCampoSQLList m_campi;
    std::unique_ptr<Dati> d;
    qint64 m_righe = 0;
    qint64 m_inserite = 0;
    qint64 m_errori = 0;
    qint64 m_rifiutate = 0;
    bool m_interrotta = false;
};

// ---- the work table from a header ----------------------------------------

// A header that cannot be used: the message for the user and whether it is
// an error (an unrecognised qualifier) or a warning.
class ErroreTracciato : public std::runtime_error
{
public:
    ErroreTracciato(const QString &messaggio, bool errore)
        : std::runtime_error(messaggio.toStdString()), m_messaggio(messaggio), m_errore(errore) {}
    const QString &messaggio() const { return m_messaggio; }
    bool errore() const { return m_errore; }

private:
    QString m_messaggio;
    bool m_errore;
};

// Reads one qualifier ("*A10", "#N2", "TS", ...) into `campo`; throws ErroreTracciato.
void leggiQualifica(const QString &qualifica, CampoSQL &campo);
// The columns of a header line; throws ErroreTracciato.
TCampoSQLList leggiTracciato(const QString &intestazione);
// "TMP_" + the first 24 characters of the file's base name, reduced.
QString nomeTabellaLavoro(const QString &file);
// The CREATE TABLE text (and the CREATE INDEX text, empty without "#").
QString creazioneTabellaLavoro(const QString &tabella, const TCampoSQLList &campi);
QString creazioneIndiceLavoro(const QString &tabella, const TCampoSQLList &campi);
// Empty when the table can take the file; otherwise the difference.
QString differenzaTracciato(const TCampoSQLList &file, const TCampoSQLList &tabella);
// The warning shown for a difference.
QString avvisoTracciatoDiverso(const QString &tabella, const QString &differenza);

// Reads the header of `file`, creates the work table or checks the existing
// one (`esistenti`: the tables the user could pick), commits retaining.
// Returns the table's name; throws ErroreTracciato with the user's message.
QString preparaTabellaLavoro(db::Transaction &tra, const QString &file, const QStringList &esistenti);

// The fixed text of the "?" button.
QString testoAiutoTabellaLavoro();

} // namespace vardof::tabletools
