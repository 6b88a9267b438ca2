#pragma once
// The table being edited: its statements, and every change the editor and
// its tools make to its rows. A row is found again by its primary key, by
// RDB$DB_KEY when the table has none and the statement read it, and as a
// last resort by all its old values (one row only). Every posted row is
// committed retaining, so the editor's transaction keeps its snapshot: a
// row another user changed meanwhile is refused by the server with its
// update-conflict message, and neither side loses what it wrote.
//
// Failures: db::Error with the server's text; nothing here talks to the user.
#include "db/Catalog.h"
#include "db/Column.h"
#include "db/Value.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace vardof::db { class Transaction; }

namespace vardof::tabletools {

// How a row is found again when it is posted.
struct IdentitaRiga
{
    QByteArray dbKey;                        // when the statement read RDB$DB_KEY
    std::vector<db::FieldValue> chiave;      // primary-key values, in key order
    std::vector<std::pair<QString, db::FieldValue>> vecchiValori; // last resort
};

// A failure that is not the server's: the row to post is no longer there.
class RigaNonTrovata : public std::runtime_error
{
public:
    RigaNonTrovata() : std::runtime_error("riga non trovata") {}
};
inline const QString kMsgRigaNonTrovata =
    QStringLiteral("La riga non è più presente nella tabella (cancellata da un altro utente?)");

// The rows of a statement with what identifies each, held packed enough for
// the bulk tools (only the columns asked for are kept).
struct RigaLetta
{
    IdentitaRiga identita;
    std::vector<db::FieldValue> valori; // the columns asked for, in that order
};

class TabellaEditor
{
public:
    // `tabella` as the catalogue holds it (see db::catalog::relationName).
    TabellaEditor(db::Transaction &tra, const QString &tabella);

    const QString &tabella() const { return m_tabella; }
    QString tabellaQuotata() const;
    db::Transaction &transazione() { return m_tra; }
    const std::vector<db::TableColumn> &colonne() const { return m_colonne; }
    // The NOT NULL columns in table order: the editor's ordering and whether
    // rows may be edited at all.
    const QStringList &colonneChiave() const { return m_chiaveNotNull; }
    const QStringList &chiavePrimaria() const { return m_pk; }
    bool usaDbKey() const { return m_pk.isEmpty(); }
    const db::TableColumn *colonna(const QString &nome) const;

    // "SELECT * FROM t" ordered by the NOT NULL columns; with RDB$DB_KEY
    // read first when the table has no primary key.
    QStringList statementGriglia() const;
    // The unordered statement of "Annulla filtro".
    QStringList statementSenzaFiltro() const;
    // `filtro` (an answer statement) ordered by the NOT NULL columns.
    QStringList statementFiltrato(const QString &filtro) const;
    qint64 conta(const QStringList &statement = {}) const;

    // How the row of `colonne`/`valori` (a row of any statement over the
    // table) is found again.
    IdentitaRiga identita(const std::vector<db::Column> &colonne, const std::vector<db::FieldValue> &valori) const;

    // Posts new values of some columns of one row and commits retaining.
    // Throws db::Error (the server's refusal) or RigaNonTrovata.
    void aggiorna(const IdentitaRiga &riga, const std::vector<std::pair<QString, db::FieldValue>> &nuovi,
                  bool commit = true);
    void cancella(const IdentitaRiga &riga, bool commit = true);
    // Appends a row and commits retaining. Only the columns given are
    // written: the others get what the table gives them (defaults, keys
    // from triggers or identities). Returns the stored row as `griglia`
    // names its columns (RDB$DB_KEY included), so that the new row can be
    // found again; columns the server does not return (blobs) come from
    // `valori`. Throws db::Error with the server's refusal.
    std::vector<db::FieldValue> inserisci(const std::vector<std::pair<QString, db::FieldValue>> &valori,
                                          const std::vector<db::Column> &griglia = {}, bool commit = true);

    // The rows of `statement` with the columns `campi` (names as the
    // statement gives them), every row fetched before any change is made.
    std::vector<RigaLetta> leggi(const QStringList &statement, const QStringList &campi) const;

    // ---- the bulk changes --------------------------------------------------
    // F3: one value on a column, by one UPDATE on the whole table, or row by
    // row over the filtered statement. Returns the rows changed.
    qint64 ripetiValore(const QString &campo, const QString &valore, const QStringList &statement);
    // F5: left pad with zeros up to `lunghezza` characters; values already
    // as long or longer are left as they are (LPAD would cut them).
    qint64 riempiConZeri(const QString &campo, int lunghezza, const QStringList &statement);
    // "Azzera Tabella".
    void azzera();
    // Numeric columns whose name does not occur in the field list of the
    // table's first index.
    QStringList colonneProgressivo() const;
    // Numbers the rows of `statement` in its order, from `partenza`.
    qint64 generaProgressivo(const QString &campo, qint64 partenza, const QStringList &statement,
                             const std::function<void(qint64, qint64)> &avanzamento = {});

    // The grid statement's condition: from the first line beginning with
    // WHERE up to the first GROUP or ORDER line after it; empty without.
    static QString condizioneFiltro(const QStringList &statement);
    static bool filtrato(const QStringList &statement);

    // The column name the catalogue holds for what a user typed; throws
    // std::invalid_argument with an Italian text when there is none.
    QString nomeColonna(const QString &scritto) const;

private:
    QString condizioneRiga(const IdentitaRiga &riga, std::vector<db::FieldValue> &parametri) const;

    db::Transaction &m_tra;
    QString m_tabella;
    std::vector<db::TableColumn> m_colonne;
    QStringList m_chiaveNotNull;
    QStringList m_pk;
};

// The field list of the table's first index ("CAMPO1,CAMPO2"), empty when
// the table has no index.
QString campiPrimoIndice(db::Transaction &tra, const QString &tabella);

} // namespace vardof::tabletools
