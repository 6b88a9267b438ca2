#pragma once

// Loading an import script for a run: read the file, summarise it, check it
// against the catalogue of the work database, and build the column and key
// descriptors the run works from. Everything runs on the connection and
// transaction given (the work context's default one); nothing in the
// database is changed.
//
// Failures: ScriptFileError (missing file, wrong first line) before anything
// is touched; db::Error when a catalogue statement fails, with what had been
// written so far kept in the result; an irregularity of the script is not an
// exception but a result with `valido` false and the reason in the memo lines.

#include "import/ImportScript.h"

namespace vardof::db {
class Attachment;
class Transaction;
} // namespace vardof::db

namespace vardof::importcsv {

struct CaricamentoScript
{
    TParametriScript parametri;
    QStringList memoScript;     // summary, then script-level complaints
    QStringList memoRiepilogo;  // complaints found against the database
    QList<TCampo> colonne;      // every column of the table, in table order
    QList<TCampo> chiavi;       // the fields that identify a row, in key order
    bool valido = false;        // every check passed: the run may start
};

class ScriptLoader
{
public:
    ScriptLoader(db::Attachment &attachment, db::Transaction &transaction);

    // Reads the file and checks it. `risultato` is reset once the file and
    // its first line are accepted and is filled as the load goes on, so a
    // caller that catches db::Error still has the lines written up to there.
    void carica(const QString &percorsoScript, CaricamentoScript &risultato);
    // The same checks on parameters already in memory (the summary included).
    void verifica(const TParametriScript &parametri, CaricamentoScript &risultato);

    // The key fields the catalogue gives for `tabella` (its catalogue name):
    // the fields of every unique index (primary key included), ordered by
    // name, each once.
    QStringList campiChiaveCatalogo(const QString &tabella);

private:
    bool controlla(CaricamentoScript &r);

    db::Attachment &m_att;
    db::Transaction &m_tra;
};

// A value written into an SQL literal: single quotes doubled.
QString letteraleSql(const QString &valore);

// The catalogue name a script means by a table or field name: the very
// characters written (trailing blanks apart, which the catalogue pads its
// names with), or those between double quotes when the name is written
// quoted. Empty when the catalogue holds no such relation or field, or the
// name holds a control character. Statements then name it with
// db::quotedName(), so the check and the statement mean the same object
// even beside a table that differs only in case.
QString tabellaCatalogo(db::Transaction &tra, const QString &scritto);
QString campoCatalogo(db::Transaction &tra, const QString &tabella, const QString &scritto);

// The name a parameter of the run's statements carries for a column: the
// column's own name when it is a plain upper-case identifier (as the tools
// have always named them), else one that no plain name can take ("_C" and
// the column's position), so that "cod" and COD never share a value.
QString nomeParametro(const TCampo &campo);

// The kind a column of this catalogue type (and scale) is converted as.
TipoCampo tipoDaColonna(int typeCode, int scale);

} // namespace vardof::importcsv
