#pragma once

// The sort state of a data grid: one key, or an ordered list of keys, each
// with its field, the expression written into ORDER BY, the column and the
// direction. How a title double-click changes it, how it is stored in the
// ORDINAMENTO column of a layout row and read back, and which ORDER BY
// items it gives for a statement. Plain values, no database.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace vardof::grid {

enum class ModoOrdinamento { Indeciso, Singolo, Multiplo };

constexpr int Crescente = 1;
constexpr int Decrescente = 2;

struct ChiaveOrdinamento
{
    QString nome;        // field name, upper case
    QString espressione; // what ORDER BY names
    int colonna = -1;    // position of the column in the grid
    int direzione = Crescente;

    friend bool operator==(const ChiaveOrdinamento &, const ChiaveOrdinamento &) = default;
};

// The most keys a multi-key sort holds (they are numbered by a 16-bit count).
constexpr int MassimoChiavi = 65536;

struct StatoOrdinamento
{
    ModoOrdinamento modo = ModoOrdinamento::Indeciso;
    std::optional<ChiaveOrdinamento> singola;
    std::vector<ChiaveOrdinamento> lista;

    // The state of a grid just loaded: undecided, no key.
    void azzera() { *this = StatoOrdinamento(); }
    // The key of `nome` (upper case) in the list, -1 when none.
    int indiceInLista(const QString &nome) const;
    // The keys in force, in order (the single key, or the list).
    std::vector<ChiaveOrdinamento> chiavi() const;

    friend bool operator==(const StatoOrdinamento &, const StatoOrdinamento &) = default;
};

// Fields whose sort and search expression the owner gives explicitly.
struct CampiPersonalizzati
{
    QStringList campi;
    QStringList decodifica; // same position

    // The expression for `campo` (compared without regard to case), or nullopt.
    std::optional<QString> espressione(const QString &campo) const;
    bool contiene(const QString &campo) const { return espressione(campo).has_value(); }
};

// The expression that sorts or searches a field: the personalised one, else
// the field's origin (RELATION.FIELD) in upper case, else the field name.
QString espressioneOrdinamento(const QString &campo, const QString &origine, const CampiPersonalizzati &personalizzati);

// ---- the ORDINAMENTO column ----------------------------------------------

// What a layout row of field `nome` stores: NULL when the field is no key;
// 1/2 for the single key; 10*k+10 (ascending) or -(10*k+10) (descending)
// for key k of a list.
std::optional<int> codiceOrdinamento(const StatoOrdinamento &stato, const QString &nome);

// A stored layout row as far as the sort is concerned.
struct RigaOrdinamento
{
    QString nomeCampo;
    QString origine;
    int posizione = -1;
    std::optional<int> ordinamento;
};

// The mode a stored layout stands for: multi-key when some ORDINAMENTO is
// above 2 in absolute value.
ModoOrdinamento modoDaRighe(const std::vector<RigaOrdinamento> &righe);
// Fills the keys of `stato` (whose mode is decided) from the stored rows.
void caricaChiavi(StatoOrdinamento &stato, const std::vector<RigaOrdinamento> &righe,
                  const CampiPersonalizzati &personalizzati);

// ---- title double-click --------------------------------------------------

struct CampoCliccato
{
    QString nome;    // as the result names it
    QString origine; // RELATION.FIELD, empty for computed columns
    int colonna = -1;
};

// Applies a double-click on a title: Ctrl switches a single key into a list
// and adds or flips keys; a plain click returns to one key. `consentito`
// answers whether a field (upper case) may be sorted on; when it refuses
// the state is left exactly as it was and false is returned.
bool clickTitolo(StatoOrdinamento &stato, const CampoCliccato &campo, bool ctrl,
                 const CampiPersonalizzati &personalizzati, const std::function<bool(const QString &)> &consentito);

// ---- ORDER BY -------------------------------------------------------------

// A field of a statement's result.
struct CampoRisultato
{
    QString nome;
    QString origine;
};

// The ORDER BY lines for the keys that the result can still be ordered by:
// "ORDER BY expr[ DESC]" for the first, ",expr[ DESC]" for each further
// one. A key is usable when it is personalised, when its expression is the
// origin of a result field, or, for a computed column, when it is the name
// the result gives that column. Keys of fields gone from the statement are
// left out without error.
QStringList righeOrderBy(const StatoOrdinamento &stato, const std::vector<CampoRisultato> &risultato,
                         const CampiPersonalizzati &personalizzati);

// "ORDER BY T.A,T.B" from the primary-key fields of table T; empty when none.
QString orderByChiavePrimaria(const QString &tabella, const QStringList &campiChiave);

} // namespace vardof::grid
