#include "maintenance/SincroDB.h"

#include "db/Catalog.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "maintenance/Semafori.h"
#include "maintenance/SqlText.h"
#include "platform/BoundedQueue.h"

#include <QSet>

#include <unordered_set>


namespace vardof::maintenance {

namespace {

const QString kNewLine = QStringLiteral("\n");

// Type classes as the client tells them apart: CHAR and VARCHAR are one,
// FLOAT and DOUBLE PRECISION are one, fixed-point numbers one whatever
// their storage.
enum class Classe { Testo, Virgola, Fissa, Smallint, Integer, Bigint, Data, Ora, DataOra, Memo, Blob, Booleano, Altro };

Classe classOf(const db::TableColumn &c)
{
    switch (c.typeCode) {
    case db::TypeChar:
    case db::TypeVarchar: return Classe::Testo;
    case db::TypeFloat:
    case db::TypeDouble: return Classe::Virgola;
    case db::TypeSmallint: return c.scale > 0 ? Classe::Fissa : Classe::Smallint;
    case db::TypeInteger: return c.scale > 0 ? Classe::Fissa : Classe::Integer;
    case db::TypeBigint: return c.scale > 0 ? Classe::Fissa : Classe::Bigint;
    case db::TypeDate: return Classe::Data;
    case db::TypeTime: return Classe::Ora;
    case db::TypeTimestamp: return Classe::DataOra;
    case db::TypeBlob: return c.subType == 1 ? Classe::Memo : Classe::Blob;
    case db::TypeBoolean: return Classe::Booleano;
    default: return Classe::Altro;
    }
}

int sizeOf(const db::TableColumn &c)
{
    switch (classOf(c)) {
    case Classe::Testo: return c.length;
    case Classe::Fissa: return c.scale;
    default: return 0;
    }
}

int precisionOf(const db::TableColumn &c)
{
    switch (classOf(c)) {
    case Classe::Fissa:
        if (c.precision > 0)
            return c.precision;
        return c.typeCode == db::TypeSmallint ? 4 : c.typeCode == db::TypeInteger ? 9 : 18;
    case Classe::Virgola: return c.typeCode == db::TypeFloat ? 7 : 15;
    default: return 0;
    }
}

QString q(const QString &name)
{
    return db::quotedName(name);
}

QString keyFieldLines(const QStringList &keys)
{
    QStringList lines;
    for (int i = 0; i < keys.size(); ++i) {
        if (i > 0)
            lines << QStringLiteral("  ,");
        lines << QStringLiteral("  ") + q(keys[i]);
    }
    return lines.join(kNewLine);
}

// The column of `columns` with this name: the same characters first, then
// the same name in any case (how the tool has always matched the two
// tables' columns). -1 when none.
template <class Columns, class NameOf>
int findColumn(const Columns &columns, const QString &name, NameOf nameOf)
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (nameOf(columns[i]) == name)
            return int(i);
    for (size_t i = 0; i < columns.size(); ++i)
        if (nameOf(columns[i]).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

// One text per key that equals another exactly when the server's "=" would
// say so: trailing blanks of text do not count, nor trailing zeros of decimals.
void appendKey(QString &out, const db::FieldValue &v)
{
    out += QChar(0x1F);
    if (!v) {
        out += QChar(0x1E);
        return;
    }
    std::visit(
        [&out](const auto &x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, QString>) {
                qsizetype n = x.size();
                while (n > 0 && x.at(n - 1) == QLatin1Char(' '))
                    --n;
                out += QStringView(x).left(n);
            } else if constexpr (std::is_same_v<T, qint64>) {
                out += QString::number(x);
            } else if constexpr (std::is_same_v<T, db::Decimal>) {
                qint64 u = x.units;
                int s = x.scale;
                while (s > 0 && u % 10 == 0) {
                    u /= 10;
                    --s;
                }
                out += QString::number(u) + QLatin1Char('e') + QString::number(s);
            } else if constexpr (std::is_same_v<T, double>) {
                out += QString::number(x, 'g', 17);
            } else if constexpr (std::is_same_v<T, bool>) {
                out += x ? QLatin1Char('1') : QLatin1Char('0');
            } else if constexpr (std::is_same_v<T, QDate>) {
                out += QString::number(x.toJulianDay());
            } else if constexpr (std::is_same_v<T, QTime>) {
                out += QString::number(x.msecsSinceStartOfDay());
            } else if constexpr (std::is_same_v<T, QDateTime>) {
                out += x.toString(Qt::ISODateWithMs);
            } else {
                out += QString::fromLatin1(x.toHex());
            }
        },
        *v);
}

// Missing rows of the origin on their way from the thread that reads them
// to the one that writes them; `read` counts the origin rows read so far.
struct RowBatch
{
    std::vector<std::vector<db::FieldValue>> rows;
    qint64 read = 0;
};

} // namespace

int TSincroDB::insertBlockRows(const QStringList &columns)
{
    if (columns.isEmpty())
        return 0;
    // The input message and the statement text of a block stay well below
    // the server's 64 KB limits.
    int rowBytes = 0;
    for (const db::TableColumn &c : m_destinationColumns)
        rowBytes += (c.typeCode == db::TypeChar || c.typeCode == db::TypeVarchar ? c.length * 4 + 4 : 16) + 2;
    const qsizetype table = q(m_destinationTable).size();
    int textBytes = int(40 + table);
    for (const QString &c : columns)
        textBytes += int(2 * q(c).size() + table + 40);
    const int byMessage = 48000 / std::max(1, rowBytes);
    const int byText = 48000 / std::max(1, textBytes);
    return std::clamp(std::min(byMessage, byText), 1, 256);
}

QString TSincroDB::insertBlockText(const QStringList &columns, int rows) const
{
    const QString table = q(m_destinationTable);
    QStringList quoted;
    for (const QString &c : columns)
        quoted << q(c);
    QStringList params, body;
    for (int r = 0; r < rows; ++r) {
        QStringList names;
        for (int i = 0; i < quoted.size(); ++i) {
            const QString p = QStringLiteral("P%1_%2").arg(r).arg(i);
            params << QStringLiteral("%1 TYPE OF COLUMN %2.%3 = ?").arg(p, table, quoted[i]);
            names << QLatin1Char(':') + p;
        }
        body << QStringLiteral("INSERT INTO %1(%2) VALUES(%3);")
                    .arg(table, quoted.join(QLatin1Char(',')), names.join(QLatin1Char(',')));
    }
    return QStringLiteral("EXECUTE BLOCK (") + params.join(QStringLiteral(", ")) + QStringLiteral(") AS BEGIN\n")
        + body.join(kNewLine) + QStringLiteral("\nEND");
}

TSincroDB::TSincroDB(DatabaseOpener opener)
    : m_opener(std::move(opener))
{
}

TSincroDB::~TSincroDB()
{
    chiudi();
}

void TSincroDB::chiudi() noexcept
{
    // A transaction rolls back what it holds when it goes, and never throws
    // doing so (the connection may already be gone).
    m_originTransaction.reset();
    m_destinationTransaction.reset();
    m_origin.disconnect();
    m_destination.disconnect();
}

void TSincroDB::carica(const SincroFDB &sincro)
{
    Tipo = sincro.tipoElaborazione.trimmed() == kTipoRecordMancanti ? 1 : 0;
    DBOrigine = sincro.dbOrigine;
    TabellaOrigine = sincro.tabellaOrigine;
    DBDestinazione = sincro.dbDestinazione;
    TabellaDestinazione = sincro.tabellaDestinazione;
}

void TSincroDB::open(db::Attachment &att, std::unique_ptr<db::Transaction> &tra, const QString &path,
                     const QString &failure)
{
    const auto [dir, file] = splitDatabasePath(path);
    bool ok = false;
    try {
        ok = m_opener && m_opener(att, dir, file) && att.isConnected();
    } catch (const db::Error &) {
        ok = false;
    }
    if (!ok) {
        att.disconnect();
        throw ErroreSincro(failure);
    }
    tra = TransazioneNoWait(att);
}

QStringList TSincroDB::primaryKey(db::Attachment &, db::Transaction &tra, const QString &table)
{
    return db::catalog::relationPrimaryKey(tra, table);
}

void TSincroDB::VerificaElaborazione()
{
    chiudi();
    m_chiavi.clear();
    m_originTable.clear();
    m_destinationTable.clear();

    if (Tipo == 0)
        throw ErroreSincro(QStringLiteral("Tipo elaborazione non impostata"));
    if (TabellaOrigine.isEmpty())
        throw ErroreSincro(QStringLiteral("Tabella orgine non impostata"));
    if (DBOrigine.isEmpty())
        throw ErroreSincro(QStringLiteral("Database origine non impostato"));
    if (!databaseFileExists(DBOrigine))
        throw ErroreSincro(QStringLiteral("Database origine \"%1\" non trovato").arg(DBOrigine));
    if (TabellaDestinazione.isEmpty())
        throw ErroreSincro(QStringLiteral("Tabella destinazione non impostata"));
    if (DBDestinazione.isEmpty())
        throw ErroreSincro(QStringLiteral("Database destinazione non impostato"));
    if (!databaseFileExists(DBDestinazione))
        throw ErroreSincro(QStringLiteral("Database destinazione \"%1\" non trovato").arg(DBDestinazione));

    open(m_origin, m_originTransaction, DBOrigine,
         QStringLiteral("Connessione database origine \"%1\" fallita").arg(DBOrigine));
    open(m_destination, m_destinationTransaction, DBDestinazione,
         QStringLiteral("Connessione database destinazione \"%1\" fallita").arg(DBDestinazione));

    // A stored name is looked up in each catalogue (the same characters,
    // else as the server reads it unquoted) and then always written quoted:
    // beside a table "zone" a stored ZONE names ZONE, and a name holding
    // quotes, semicolons or "--" is one name that exists or does not.
    auto probe = [](db::Attachment &att, db::Transaction &tra, const QString &written, const QString &failure) {
        try {
            const QString table = db::catalog::relationName(tra, written);
            if (table.isEmpty())
                throw ErroreSincro(failure);
            db::Statement s(att, tra, QStringLiteral("SELECT FIRST 1\n  *\nFROM\n  ") + q(table),
                            db::ParamStyle::AsWritten);
            db::ResultSet rs = s.open();
            return table;
        } catch (const db::Error &) {
            throw ErroreSincro(failure);
        }
    };
    m_originTable = probe(m_origin, *m_originTransaction, TabellaOrigine,
                          QStringLiteral("Tabella origine \"%1\" non trovata").arg(TabellaOrigine));
    m_destinationTable = probe(m_destination, *m_destinationTransaction, TabellaDestinazione,
                               QStringLiteral("Tabella destinazione \"%1\" non trovata").arg(TabellaDestinazione));

    try {
        const auto originColumns = db::catalog::relationColumns(*m_originTransaction, m_originTable);
        const auto destinationColumns = db::catalog::relationColumns(*m_destinationTransaction, m_destinationTable);
        m_destinationColumns = destinationColumns;
        const auto nameOf = [](const db::TableColumn &c) { return c.name; };
        for (const db::TableColumn &o : originColumns) {
            const int at = findColumn(destinationColumns, o.name, nameOf);
            const db::TableColumn *d = at < 0 ? nullptr : &destinationColumns[size_t(at)];
            if (!d)
                throw ErroreSincro(QStringLiteral("Campo \"%1\" origine non presente in destinazione").arg(o.name));
            if (classOf(*d) != classOf(o))
                throw ErroreSincro(QStringLiteral("Incompatibilità campo \"%1\" in destinazione (tipo dato)").arg(o.name));
            if (sizeOf(*d) < sizeOf(o))
                throw ErroreSincro(
                    QStringLiteral("Incompatibilità tipo campo \"%1\" in destinazione (dimensione)").arg(o.name));
            if (precisionOf(*d) < precisionOf(o))
                throw ErroreSincro(
                    QStringLiteral("Incompatibilità tipo campo \"%1\" in destinazione (precisione)").arg(o.name));
        }

        m_chiavi = primaryKey(m_origin, *m_originTransaction, m_originTable);
        if (m_chiavi.isEmpty())
            throw ErroreSincro(QStringLiteral("Tabella origine priva di chiave primaria"));
        const QStringList destinationKeys = primaryKey(m_destination, *m_destinationTransaction, m_destinationTable);
        if (destinationKeys.isEmpty())
            throw ErroreSincro(QStringLiteral("Tabella destinazione priva di chiave primaria"));
        if (destinationKeys != m_chiavi)
            throw ErroreSincro(QStringLiteral("Incongruità chiave primaria tra origine e destinazione"));
    } catch (const db::Error &e) {
        throw ErroreSincro(e.message());
    }
}

void TSincroDB::EseguiElaborazione()
{
    if (Tipo == 1)
        CopiaRecordMancanti();
    else
        throw ErroreSincro(QStringLiteral("Tipo elaborazione non riconosciuta"));
}

void TSincroDB::CopiaRecordMancanti()
{
    m_copied = 0;
    if (!m_destinationTransaction || !m_originTransaction)
        throw ErroreSincro(QStringLiteral("Elaborazione non verificata"));
    // Commit point: the one commit of this synchronisation's inserts, after
    // the last of them. A failure anywhere before it undoes them all (the
    // transaction is dropped, which rolls it back); synchronisations already
    // committed stay. Nothing is pending after the commit, so the rollback
    // that follows it elsewhere has nothing to undo and is not sent.
    try {
        copy();
        try {
            m_destinationTransaction->commitRetaining();
        } catch (const db::Error &e) {
            // Told like every other failure of the copy (the run catches
            // ErroreSincro only).
            throw ErroreSincro(e.message());
        }
    } catch (...) {
        m_destinationTransaction.reset();
        if (m_avanzamento)
            m_avanzamento->progress(0);
        m_copied = 0;
        throw;
    }
    if (m_avanzamento)
        m_avanzamento->progress(0);
}

void TSincroDB::copy()
{
    db::Transaction &ot = *m_originTransaction;
    db::Transaction &dt = *m_destinationTransaction;
    platform::RunFeedback *bar = m_avanzamento;
    try {
        const db::FieldValue totalValue = db::queryValue(
            m_origin, ot, QStringLiteral("SELECT\n  COUNT(*) AS TOT\nFROM\n  ") + q(m_originTable));
        const qint64 total = totalValue ? db::toInt64(*totalValue).value_or(0) : 0;

        db::Statement cursor(m_origin, ot,
                             QStringLiteral("SELECT\n  *\nFROM\n  %1\nORDER BY\n").arg(q(m_originTable))
                                 + keyFieldLines(m_chiavi),
                             db::ParamStyle::AsWritten);

        // Missing keys: either one count per row, or every destination key
        // read once in this transaction's snapshot (which is what each count
        // would have seen) and kept in memory.
        std::unique_ptr<db::Statement> count;
        QSet<QString> present;
        // One whole-number key (the usual code or id) is kept as the number
        // itself: no text to build per key on either side.
        std::unordered_set<qint64> presentNumbers;
        bool numericKey = false;
        if (m_chiavi.size() == 1) {
            for (const db::TableColumn &c : m_destinationColumns)
                if (c.name == m_chiavi.first())
                    numericKey = c.scale == 0
                                 && (c.typeCode == db::TypeSmallint || c.typeCode == db::TypeInteger
                                     || c.typeCode == db::TypeBigint);
        }
        if (m_metodo == Metodo::ConteggioPerRiga) {
            QStringList lines{QStringLiteral("SELECT"), QStringLiteral("  COUNT(*) AS TOT"), QStringLiteral("FROM"),
                              QStringLiteral("  ") + q(m_destinationTable), QStringLiteral("WHERE")};
            // Parameters by position: a key's name may be no identifier.
            for (int i = 0; i < m_chiavi.size(); ++i) {
                if (i > 0)
                    lines << QStringLiteral("  AND");
                lines << QStringLiteral("  %1=:K%2").arg(q(m_chiavi[i])).arg(i);
            }
            count = std::make_unique<db::Statement>(m_destination, dt, lines.join(kNewLine));
            count->prepare();
        } else {
            db::Statement keys(m_destination, dt,
                               QStringLiteral("SELECT\n") + keyFieldLines(m_chiavi)
                                   + QStringLiteral("\nFROM\n  ") + q(m_destinationTable),
                               db::ParamStyle::AsWritten);
            db::ResultSet rs = keys.open();
            const int n = int(m_chiavi.size());
            QString key;
            while (rs.next()) {
                if (numericKey) {
                    if (const std::optional<qint64> k = rs.toInt64(0))
                        presentNumbers.insert(*k);
                    continue;
                }
                key.clear();
                for (int i = 0; i < n; ++i)
                    appendKey(key, rs.value(i));
                present.insert(key);
            }
        }

        QStringList destinationColumns;
        for (const db::TableColumn &c : m_destinationColumns)
            destinationColumns << c.name;
        QStringList insert{QStringLiteral("INSERT INTO %1(").arg(q(m_destinationTable))};
        for (int i = 0; i < destinationColumns.size(); ++i) {
            if (i > 0)
                insert << QStringLiteral(",");
            insert << q(destinationColumns[i]);
        }
        insert << QStringLiteral(")") << QStringLiteral("VALUES(");
        for (int i = 0; i < destinationColumns.size(); ++i) {
            if (i > 0)
                insert << QStringLiteral(",");
            insert << QStringLiteral(":C%1").arg(i);
        }
        insert << QStringLiteral(")");
        db::Statement insertStatement(m_destination, dt, insert.join(kNewLine));
        insertStatement.prepare();

        if (bar)
            bar->progress(0);
        db::ResultSet rows = cursor.open();
        // Origin fields by name: the same characters first, so that "cod"
        // and COD of one table are never taken for each other.
        const auto fieldName = [](const db::Column &c) { return c.name; };
        std::vector<int> keyIndex;
        for (const QString &k : m_chiavi)
            keyIndex.push_back(findColumn(rows.columns(), k, fieldName));
        std::vector<int> columnIndex;
        for (int i = 0; i < destinationColumns.size(); ++i) {
            columnIndex.push_back(findColumn(rows.columns(), destinationColumns[i], fieldName));
        }

        // Missing rows travel to the destination in blocks of inserts: one
        // round trip and one statement start for many rows. The rows and
        // their order are those of the single insert; a block that fails is
        // undone whole by the server and its rows are tried again one by one
        // so that the message names the row that cannot be written.
        std::unique_ptr<db::Statement> block;
        int blockRows = 0;
        if (m_metodo == Metodo::Confronto) {
            blockRows = insertBlockRows(destinationColumns);
            if (blockRows > 1) {
                block = std::make_unique<db::Statement>(m_destination, dt,
                                                        insertBlockText(destinationColumns, blockRows));
                block->prepare();
            }
        }
        // The rows waiting for their block, kept from block to block.
        std::vector<std::vector<db::FieldValue>> pending(size_t(std::max(1, blockRows)));
        size_t pendingCount = 0;
        const int columnCount = int(destinationColumns.size());
        for (auto &row : pending)
            row.resize(size_t(columnCount));
        auto insertOne = [&](const std::vector<db::FieldValue> &row) {
            for (int i = 0; i < columnCount; ++i)
                insertStatement.setParam(i, row[size_t(i)]);
            try {
                insertStatement.execute();
            } catch (const db::Error &e) {
                throw ErroreSincro(QStringLiteral("INSERT SQL non riuscito\n") + e.message());
            }
            ++m_copied;
        };
        auto flush = [&] {
            const size_t n = pendingCount;
            pendingCount = 0;
            if (n == 0)
                return;
            if (block && int(n) == blockRows) {
                int marker = 0;
                for (size_t r = 0; r < n; ++r)
                    for (const db::FieldValue &v : pending[r])
                        block->setParam(marker++, v);
                try {
                    block->execute();
                    m_copied += qint64(n);
                    return;
                } catch (const db::Error &) {
                    // Retried row by row below.
                }
            }
            for (size_t r = 0; r < n; ++r)
                insertOne(pending[r]);
        };

        // Whether the destination lacks the origin's current row.
        const auto missingRow = [&](const db::ResultSet &r, QString &key) {
            if (count) {
                for (int i = 0; i < m_chiavi.size(); ++i)
                    count->setParam(i, keyIndex[size_t(i)] < 0 ? db::FieldValue() : r.value(keyIndex[size_t(i)]));
                db::ResultSet c = count->open();
                return c.next() && c.toInt64(0).value_or(0) == 0;
            }
            if (numericKey) {
                const std::optional<qint64> k = keyIndex[0] < 0 ? std::nullopt : r.toInt64(keyIndex[0]);
                return !k || presentNumbers.find(*k) == presentNumbers.end();
            }
            key.clear();
            for (int i : keyIndex)
                appendKey(key, i < 0 ? db::FieldValue() : r.value(i));
            return !present.contains(key);
        };
        int absentColumn = -1;
        for (int i = 0; i < columnCount && absentColumn < 0; ++i)
            if (columnIndex[size_t(i)] < 0)
                absentColumn = i;
        const auto fill = [&](const db::ResultSet &r, std::vector<db::FieldValue> &row) {
            row.resize(size_t(columnCount));
            for (int i = 0; i < columnCount; ++i)
                row[size_t(i)] = r.value(columnIndex[size_t(i)]);
        };
        const auto absentColumnError = [&] {
            return ErroreSincro(QStringLiteral("INSERT SQL non riuscito\nCampo %1 non trovato nella tabella origine")
                                    .arg(destinationColumns[absentColumn]));
        };
        const auto take = [&](std::vector<db::FieldValue> &&row) {
            if (block) {
                pending[pendingCount] = std::move(row);
                if (int(++pendingCount) == blockRows)
                    flush();
            } else {
                insertOne(row);
            }
        };

        if (bar)
            bar->restartThrottle();
        qint64 read = 0;
        if (!count) {
            // The keys are known here, so reading the origin needs nothing
            // from the destination: a second thread reads it and picks the
            // missing rows while this one writes them, and the two
            // connections' waits overlap instead of adding up.
            platform::BoundedQueue<RowBatch> queue(4);
            const platform::Producer<RowBatch> reader(queue, [&](platform::BoundedQueue<RowBatch> &out) {
                RowBatch batch;
                qint64 sinceLast = 0;
                QString key;
                qint64 done = 0;
                while (rows.next()) {
                    ++done;
                    ++sinceLast;
                    if (missingRow(rows, key)) {
                        if (absentColumn >= 0)
                            throw absentColumnError();
                        fill(rows, batch.rows.emplace_back());
                    }
                    // Full batches for the blocks, and now and then one
                    // for the progress while no row is missing.
                    if (int(batch.rows.size()) >= std::max(1, blockRows) || sinceLast >= 4096) {
                        batch.read = done;
                        if (!out.put(std::move(batch)))
                            return;
                        batch = RowBatch();
                        sinceLast = 0;
                    }
                }
                batch.read = done;
                out.put(std::move(batch));
            });
            // However this loop ends, the reader stops before the cursor goes.
            RowBatch batch;
            while (queue.take(batch)) {
                read = batch.read;
                if (bar)
                    bar->step(read, total);
                for (std::vector<db::FieldValue> &row : batch.rows)
                    take(std::move(row));
            }
        } else {
            // One count and, when missing, one insert per row, on this
            // thread: no blocks here, so one row's values serve every row.
            QString key;
            std::vector<db::FieldValue> row;
            while (rows.next()) {
                ++read;
                if (bar)
                    bar->step(read, total);
                if (!missingRow(rows, key))
                    continue;
                if (absentColumn >= 0)
                    throw absentColumnError();
                fill(rows, row);
                insertOne(row);
            }
        }
        flush();
        if (bar)
            bar->progress(platform::percentOf(read, total));
    } catch (const db::Error &e) {
        throw ErroreSincro(e.message());
    }
}

// ---- the run ------------------------------------------------------------------

namespace {

QString named(const SincroFDB &s, const QString &what)
{
    if (s.titolo.isEmpty())
        return QStringLiteral("Elaborazione cod. %1 %2:").arg(s.codice).arg(what);
    return QStringLiteral("Elaborazione cod. %1 (Titolo \"%2\") %3:").arg(s.codice).arg(s.titolo, what);
}

} // namespace

EsitoSincro eseguiSincronizzazioni(db::Attachment &lavoro, db::Transaction &transazione, const DatabaseOpener &opener,
                                   platform::RunFeedback &feedback, FasiSincro *fasi, TSincroDB::Metodo metodo)
{
    FasiSincro nessuna;
    FasiSincro &fase = fasi ? *fasi : nessuna;
    std::vector<SincroFDB> list;
    try {
        list = leggiSincroAbilitate(lavoro, transazione);
    } catch (const db::Error &e) {
        feedback.tell(platform::Error, e.message());
        return EsitoSincro::Fallita;
    }
    if (list.empty()) {
        feedback.tell(platform::Warning, QStringLiteral("Nessuna elaborazione da eseguire"));
        return EsitoSincro::Nessuna;
    }

    TSincroDB sincro(opener);
    sincro.setMetodo(metodo);
    fase.analisiIniziata();
    for (const SincroFDB &s : list) {
        sincro.carica(s);
        try {
            sincro.VerificaElaborazione();
        } catch (const ErroreSincro &e) {
            fase.analisiFinita();
            feedback.tell(platform::Warning, named(s, QStringLiteral("non eseguibile")) + QLatin1Char('\n') + e.message());
            return EsitoSincro::NonEseguibile;
        }
        feedback.keepAlive();
    }
    sincro.chiudi();
    fase.analisiFinita();

    const int n = int(list.size());
    if (!feedback.confirm(QStringLiteral("Trovate %1 elaborazioni da eseguire: avviare l'esecuzione?").arg(n)))
        return EsitoSincro::Annullata;

    fase.esecuzioneIniziata();
    sincro.setAvanzamento(&feedback);
    for (int i = 0; i < n; ++i) {
        const SincroFDB &s = list[size_t(i)];
        fase.elaborazione(i + 1, n, platform::percentOf(i + 1, n));
        feedback.keepAlive();
        sincro.carica(s);
        try {
            sincro.VerificaElaborazione();
            sincro.EseguiElaborazione();
            fase.elaborazioneCompletata(s, sincro.righeCopiate());
        } catch (const ErroreSincro &e) {
            sincro.chiudi();
            fase.esecuzioneFinita();
            feedback.tell(platform::Warning, named(s, QStringLiteral("fallita")) + QLatin1Char('\n') + e.message());
            return EsitoSincro::Fallita;
        }
    }
    sincro.chiudi();
    fase.esecuzioneFinita();
    feedback.tell(platform::Information, QStringLiteral("Elaborazione completata"));
    return EsitoSincro::Completata;
}

} // namespace vardof::maintenance
