#pragma once

// What the outputs read of an answer: its statement (run again on a
// one-way cursor, so memory follows one row whatever the answer's size),
// the fields shown in their display order with their titles, widths and
// ordering/grouping codes, and the text rules every output shares.

#include "db/Column.h"
#include "db/Transaction.h"
#include "db/Value.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vardof::output {

// One shown field of the answer.
struct CampoEsportato
{
    int colonna = 0;    // 0-based column of the answer's statement
    QString nome;       // field name (the column's alias)
    QString etichetta;  // display label; empty: the name
    int larghezza = 0;  // display width in characters; 0: the column's default
    int codice = 0;     // ordering and grouping code of the column
};

struct RispostaDaEsportare
{
    QStringList sql;                      // the answer's statement, line by line
    db::Transaction *transazione = nullptr; // where it runs (its attachment too)
    // The shown fields in display order; empty: every column of the answer.
    std::vector<CampoEsportato> campi;
};

// The width rule of the outputs: the larger of the display width and the
// label's length (a default width when none is given).
int larghezzaCampo(const CampoEsportato &campo, const db::Column &colonna);
// The most characters the column's text can take (0 for blobs, whose text
// has no bound): fixed-length fields widen to it, so no value is cut.
int larghezzaMassimaTesto(const db::Column &colonna);
// The default display width of a column kind.
int larghezzaPredefinita(const db::Column &colonna);

// The d5 digit of a code: 0 none, 1 two decimals with thousands points,
// 2 no decimals with thousands points.
int raggruppamento(int codice);
bool conTotale(int codice);
// Floating and scaled columns: the ones digit grouping applies to.
bool eVirgola(const db::Column &colonna);
bool eBlob(const db::Column &colonna);
bool eNumerico(const db::Column &colonna); // integer, floating, scaled

// A number with thousands points: grouping 1 two decimals, 2 none; zero
// gives an empty text.
QString testoRaggruppato(double valore, int tipo);

// Header type code of a field: "A" + size for text, "S" small integers,
// "I" integers, "N" floating, "N" + scale for exact decimals, "D" dates,
// "T" times, "TS" timestamps, "M" blobs, "X" anything else; "*" in front
// for a mandatory field.
QString codiceTipoCampo(const db::Column &colonna);

// Rich text (RTF) reduced to its plain text: paragraphs become CR LF,
// escaped characters are decoded, groups that hold no text (font and
// colour tables, pictures) are dropped. Text that is not RTF comes back
// as given. An acute accent (´) stands for an apostrophe in stored memos.
QString rtfInChiaro(const QString &testo);

// Replaces CR LF, CR and LF by `sostituto`.
QString sostituisciRitorniCapo(const QString &testo, const QString &sostituto);

// Opens the answer's statement again. The cursor's rows are read one at a
// time; the columns are known once open.
class CursoreRisposta
{
public:
    explicit CursoreRisposta(const RispostaDaEsportare &risposta);
    ~CursoreRisposta();
    // Throws db::Error with the server's message.
    void apri();
    bool prossima();
    const std::vector<db::Column> &colonne() const;
    db::FieldValue valore(int colonna) const;
    // The value's text as the grid shows it ("" for NULL), read straight
    // from the row.
    QString testo(int colonna) const;
    bool nullo(int colonna) const;
    // The shown fields (every column when the answer named none), each
    // checked against the columns.
    const std::vector<CampoEsportato> &campi() const { return m_campi; }
    // COUNT(*) over the statement; -1 when the server cannot count it.
    qint64 conta();

private:
    struct Impl;
    const RispostaDaEsportare &m_risposta;
    std::vector<CampoEsportato> m_campi;
    Impl *d;
};

} // namespace vardof::output
