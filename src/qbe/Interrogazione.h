#pragma once

// The interrogation: one row per line the user sees in the query window
// (a column of the questioned table, or a marker), and the type classes the
// composition and the windows ask about.
//
// The query window owns its TabIntTmp; the engine (TIBFQuerForm) reads it and
// fills it. The row-kind codes are stored as they are in STOINT.Mostra, so
// the numbers are part of the stored format and never change.

#include "db/Catalog.h"
#include "db/Column.h"

#include <QString>

#include <vector>

namespace vardof::qbe {

// Row kinds, the codes of `Mostra`.
enum CodiceMostra : int {
    MostraNascosto = 0,        // column, not shown
    MostraVisibile = 1,        // column, shown
    MostraVisibileGrigio = 5,  // column, shown (older stored form)
    MostraVisibileUnione = 6,  // column, shown, first block of a union
    MostraTestataLeft = 9,     // LEFT JOIN header of an added table; union separator
    MostraTestataRight = 3,    // RIGHT JOIN header of an added table
    MostraCollegamento = 8,    // join link: Nome = alias.column, Condizione = source column
    MostraCatena = 4,          // "QUERY SUCCESSIVA" / "QUERY PRECEDENTE"
    MostraBlocco = 7,          // "QUERY BLOCCATA"; also ends a union block
};

// Kinds of code (true for the codes listed).
bool eColonna(int mostra);          // 0, 1, 5, 6: a column the user may condition
bool eVisibile(int mostra);         // 1, 5, 6: in the SELECT list
bool eTestata(int mostra);          // 9, 3
bool eStrutturale(int mostra);      // 9, 3, 8, 7, 4: not editable by the user

inline const QString kQuerySuccessiva = QStringLiteral("QUERY SUCCESSIVA");
inline const QString kQueryPrecedente = QStringLiteral("QUERY PRECEDENTE");
inline const QString kQueryBloccata = QStringLiteral("QUERY BLOCCATA");
inline const QString kUnione = QStringLiteral("UNION");
inline const QString kTestataP = QStringLiteral("P"); // header: conditions go into the join

inline constexpr int kLunghezzaNome = 40;
inline constexpr int kLunghezzaCondizione = 1024;

struct RigaInt
{
    int Numero = 0;
    QString Nome;
    int Mostra = MostraVisibile;
    QString Condizione;

    bool operator==(const RigaInt &) const = default;
};

// The in-memory interrogation table, kept sorted by Numero. The window's
// grid shows and edits it; whether a user edit is allowed (only Condizione,
// never a structural row unless the program is editing) is the window's
// rule, so the setters here do not refuse anything.
class TabIntTmp
{
public:
    int size() const { return int(m_righe.size()); }
    bool isEmpty() const { return m_righe.empty(); }
    const RigaInt &at(int index) const { return m_righe.at(size_t(index)); }
    const std::vector<RigaInt> &righe() const { return m_righe; }

    void clear() { m_righe.clear(); }
    // Appends with Numero = last Numero + 1 (1 for the first row); returns the index.
    int append(const QString &nome, int mostra, const QString &condizione = QString());
    // Appends a row keeping its Numero, then sorts.
    void insert(const RigaInt &riga);
    void setRighe(std::vector<RigaInt> righe); // sorts by Numero
    void sortByNumero();

    void setCondizione(int index, const QString &condizione);
    void setMostra(int index, int mostra);
    void setNome(int index, const QString &nome);

    // -1 when missing.
    int indexOfNumero(int numero) const;
    int indexOfNome(const QString &nome) const;

    // The row the grid shows as current; the engine keeps it across an
    // execution. -1 when the table is empty.
    int currentRow() const { return m_current; }
    void setCurrentRow(int index) { m_current = index; }

    // Rows of kind 0, 1, 5, 6 shown / hidden as the window's buttons do:
    // selezionaTutto turns 0 into 1; deselezionaTutto turns 1 into 0 (5 and 6
    // stay shown). toggle turns 0 <-> 1 and leaves every other code alone;
    // returns whether it changed the row.
    void selezionaTutto();
    void deselezionaTutto();
    bool toggle(int index);

private:
    std::vector<RigaInt> m_righe;
    int m_current = -1;
};

// Type classes of a column as the client library reports it.
enum class TipoCampo {
    BlobTesto,    // BLOB SUB_TYPE 1
    BlobBinario,  // any other BLOB
    Data,         // DATE, TIMESTAMP
    Ora,          // TIME
    Intero,       // SMALLINT, INTEGER, NUMERIC/DECIMAL without decimals up to 9 digits
    Virgola,      // DOUBLE PRECISION, FLOAT, NUMERIC/DECIMAL with more than 4 decimals
    Scalato,      // NUMERIC/DECIMAL with 1 to 4 decimals
    Altro,        // CHAR, VARCHAR, BIGINT, NUMERIC 10-18 without decimals, unknown column
};

TipoCampo classeCampo(const db::TableColumn &column);
TipoCampo classeCampo(const db::Column &column);
inline bool eBlob(TipoCampo t) { return t == TipoCampo::BlobTesto || t == TipoCampo::BlobBinario; }
// The classes the answer grid groups digits of.
inline bool eDecimale(TipoCampo t) { return t == TipoCampo::Virgola || t == TipoCampo::Scalato; }

// A table questioned at some level: its name and catalogue columns in
// RDB$FIELD_POSITION order. Array columns are left out.
struct TabellaSorgente
{
    QString nome;
    std::vector<db::TableColumn> colonne;

    // Reads the columns from the catalogue; an unknown table gives no columns.
    static TabellaSorgente leggi(db::Attachment &att, db::Transaction &tra, const QString &nome);
    const db::TableColumn *colonna(const QString &nome) const; // exact upper-case name; nullptr
};

} // namespace vardof::qbe
