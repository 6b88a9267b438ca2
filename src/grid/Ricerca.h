#pragma once

// The search of a data grid, as text: the condition a search adds to the
// statement, the order it asks for, the search in all columns, the record
// filter of in-memory sources, and the completion of a date typed into a
// date box. Plain functions; the grid and its dialog apply them.
//
// A value typed by the user goes into a quoted literal: the dialog turns an
// apostrophe into the acute accent as it is typed, and a quote that still
// reaches the composer (pasted text) is doubled, so typed text never ends a
// literal early.

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vardof::db { struct Column; }

namespace vardof::grid {

enum class ClasseCampo { Stringa, Numerico, Data, Timestamp, BlobTesto };

ClasseCampo classeCampo(const db::Column &column);
inline bool eData(ClasseCampo c) { return c == ClasseCampo::Data || c == ClasseCampo::Timestamp; }

// Search-type choices and sort choices of the dialog.
enum TipoRicerca { MaggioreUguale = 0, Contiene = 1, IniziaCon = 2 };
enum OrdineRicerca { NessunOrdine = 0, OrdineCrescente = 1, OrdineDecrescente = 2 };

struct ParametriRicerca
{
    QString espressione;   // what the statement names (origin or personalised expression)
    ClasseCampo classe = ClasseCampo::Stringa;
    QString testo;         // the search text
    bool upper = true;
    int tipo = MaggioreUguale;
    int ordine = OrdineCrescente;
    bool modoData = false; // the two date boxes instead of the text
    QString data1;         // dd/mm/yyyy as typed
    QString data2;
};

// A date typed dd/mm/yyyy (one or two digits for day and month, four for
// the year) as 'mm/dd/yyyy' text, or nullopt when it is no date.
std::optional<QDate> leggiData(const QString &testo);
QString dataPerSql(const QDate &data);

// Whether a search with these parameters adds a condition at all (an empty
// text, or in date mode an empty first date, shows every record).
bool condizioneVuota(const ParametriRicerca &p);

// The condition without its connector, one line: "(EXPR >= 'V')",
// "(UPPER(EXPR) LIKE '%V%')", "(EXPR LIKE 'V%')", or in date mode
// "(EXPR >= 'mm/dd/yyyy')" with "AND(EXPR <= 'mm/dd/yyyy')" appended when
// the second date is given. Empty when condizioneVuota(). Dates must have
// been checked with leggiData().
QString corpoCondizione(const ParametriRicerca &p);

// The order a search asks for by its sort choice 1 or 2 ("ORDER BY
// UPPER(EXPR) DESC" for a string compared in upper case); empty for 0.
QStringList ordineRicerca(const ParametriRicerca &p);

// The search of a text in every column that has an origin: the lines "(",
// "(A CONTAINING 'V')", "OR(B CONTAINING 'V')", ..., ")" (the connector goes
// before the first). Empty when no column has an origin.
QStringList corpoGenerica(const QStringList &origini, const QString &testo);

// The record filter of in-memory sources: v against the remembered text t.
bool accettaValore(const QString &v, const QString &t, bool upper, int tipo);

// The table of a statement for the grid's Query action: the text between
// the first two double quotes after the first "FROM"; empty when none.
QString nomeTabellaDaSql(const QStringList &righe);

} // namespace vardof::grid
