#include "platform/LocalTable.h"

#include "platform/HostPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace vardof::platform {

namespace {

QString quoted(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The table inside the file: the file's name without its extension.
QString innerName(const QString &path)
{
    return QFileInfo(toNativeLocal(path)).completeBaseName().toUpper();
}

class SqliteTable : public ILocalTable
{
public:
    SqliteTable(sqlite3 *db, QString path, QString table) : m_db(db), m_path(std::move(path)), m_table(std::move(table))
    {
    }
    ~SqliteTable() override { close(); }

    const QString &path() const override { return m_path; }
    QString errorString() const override { return m_error; }

    bool empty() override
    {
        return exec(QStringLiteral("DELETE FROM ") + quoted(m_table));
    }

    bool append(const QVariantList &values) override
    {
        if (!m_db)
            return fail(QStringLiteral("tabella chiusa"));
        if (!m_inTransaction) {
            if (!exec(QStringLiteral("BEGIN")))
                return false;
            m_inTransaction = true;
        }
        if (!m_insert || m_insertColumns != values.size()) {
            sqlite3_finalize(m_insert);
            m_insert = nullptr;
            QStringList marks;
            for (qsizetype i = 0; i < values.size(); ++i)
                marks << QStringLiteral("?");
            const QByteArray sql = (QStringLiteral("INSERT INTO ") + quoted(m_table) + QStringLiteral(" VALUES (")
                                    + marks.join(QLatin1Char(',')) + QLatin1Char(')'))
                                       .toUtf8();
            if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &m_insert, nullptr) != SQLITE_OK)
                return failDb();
            m_insertColumns = int(values.size());
        }
        sqlite3_reset(m_insert);
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            int rc = SQLITE_OK;
            if (v.isNull())
                rc = sqlite3_bind_null(m_insert, i + 1);
            else if (v.typeId() == QMetaType::Double)
                rc = sqlite3_bind_double(m_insert, i + 1, v.toDouble());
            else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
                rc = sqlite3_bind_int64(m_insert, i + 1, v.toLongLong());
            else {
                const QByteArray text = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_insert, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
            if (rc != SQLITE_OK)
                return failDb();
        }
        if (sqlite3_step(m_insert) != SQLITE_DONE)
            return failDb();
        return true;
    }

    QList<QVariantList> rows(const QStringList &orderBy) override
    {
        QList<QVariantList> out;
        if (!m_db || !commitPending())
            return out;
        QString sql = QStringLiteral("SELECT * FROM ") + quoted(m_table);
        if (!orderBy.isEmpty()) {
            QStringList cols;
            for (const QString &c : orderBy)
                cols << quoted(c);
            sql += QStringLiteral(" ORDER BY ") + cols.join(QLatin1Char(','));
        }
        sqlite3_stmt *st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), -1, &st, nullptr) != SQLITE_OK) {
            failDb();
            return out;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QVariantList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                switch (sqlite3_column_type(st, i)) {
                case SQLITE_NULL: row << QVariant(); break;
                case SQLITE_INTEGER: row << QVariant(qlonglong(sqlite3_column_int64(st, i))); break;
                case SQLITE_FLOAT: row << QVariant(sqlite3_column_double(st, i)); break;
                default:
                    row << QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                                      sqlite3_column_bytes(st, i)));
                }
            }
            out << row;
        }
        sqlite3_finalize(st);
        return out;
    }

    void close() override
    {
        if (!m_db)
            return;
        commitPending();
        sqlite3_finalize(m_insert);
        m_insert = nullptr;
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }

    bool exec(const QString &sql)
    {
        if (!m_db)
            return fail(QStringLiteral("tabella chiusa"));
        char *msg = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
            m_error = QString::fromUtf8(msg ? msg : sqlite3_errmsg(m_db));
            sqlite3_free(msg);
            return false;
        }
        return true;
    }

private:
    bool commitPending()
    {
        if (!m_inTransaction)
            return true;
        m_inTransaction = false;
        sqlite3_reset(m_insert);
        return exec(QStringLiteral("COMMIT"));
    }
    bool fail(const QString &reason)
    {
        m_error = reason;
        return false;
    }
    bool failDb() { return fail(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3 *m_db;
    QString m_path;
    QString m_table;
    QString m_error;
    sqlite3_stmt *m_insert = nullptr;
    int m_insertColumns = 0;
    bool m_inTransaction = false;
};

// Opens the file and takes the exclusive lock, which SQLite keeps until
// the connection closes. No waiting: a table someone holds is answered at once.
sqlite3 *openLocked(const QString &path, bool createFile, QString *error)
{
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (createFile ? SQLITE_OPEN_CREATE : 0);
    // SQLite takes UTF-8 file names on every system.
    const QByteArray native = toNativeLocal(path).toUtf8();
    auto failed = [&](const QString &reason) -> sqlite3 * {
        if (error)
            *error = reason;
        if (db)
            sqlite3_close_v2(db);
        return nullptr;
    };
    if (sqlite3_open_v2(native.constData(), &db, flags, nullptr) != SQLITE_OK)
        return failed(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("memoria insufficiente"));
    sqlite3_busy_timeout(db, 0);
    // Work tables: rebuilt on every use, so no journal on the disk is needed.
    for (const char *sql : {"PRAGMA locking_mode=EXCLUSIVE", "PRAGMA journal_mode=MEMORY", "PRAGMA synchronous=OFF",
                            "BEGIN EXCLUSIVE", "COMMIT"}) {
        char *msg = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
            const QString reason = QString::fromUtf8(msg ? msg : sqlite3_errmsg(db));
            sqlite3_free(msg);
            return failed(reason);
        }
    }
    return db;
}

QString sqlType(const LocalField &f)
{
    switch (f.kind) {
    case LocalField::SmallInt: return QStringLiteral("SMALLINT");
    case LocalField::Float: return QStringLiteral("DOUBLE");
    case LocalField::Text: return QStringLiteral("VARCHAR(%1)").arg(f.size > 0 ? f.size : 255);
    }
    return QStringLiteral("TEXT");
}

std::shared_ptr<ILocalTables> &installed()
{
    static std::shared_ptr<ILocalTables> tables;
    return tables;
}

} // namespace

bool SqliteLocalTables::exists(const QString &path)
{
    return QFileInfo::exists(toNativeLocal(path));
}

std::unique_ptr<ILocalTable> SqliteLocalTables::openExclusive(const QString &path, QString *error)
{
    sqlite3 *db = openLocked(path, false, error);
    if (!db)
        return nullptr;
    auto table = std::make_unique<SqliteTable>(db, path, innerName(path));
    // Writing keeps the exclusive lock for good, and tells a file that is
    // not one of our tables from one that is.
    if (!table->empty()) {
        if (error)
            *error = table->errorString();
        return nullptr;
    }
    return table;
}

std::unique_ptr<ILocalTable> SqliteLocalTables::create(const QString &path, const LocalTableLayout &layout,
                                                       QString *error)
{
    if (exists(path)) {
        if (error)
            *error = QStringLiteral("il file esiste già");
        return nullptr;
    }
    sqlite3 *db = openLocked(path, true, error);
    if (!db)
        return nullptr;
    QStringList columns;
    for (const LocalField &f : layout.fields)
        columns << quoted(f.name) + QLatin1Char(' ') + sqlType(f);
    if (!layout.primaryKey.isEmpty()) {
        QStringList key;
        for (const QString &k : layout.primaryKey)
            key << quoted(k);
        columns << QStringLiteral("PRIMARY KEY (") + key.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    const QString name = innerName(path);
    auto table = std::make_unique<SqliteTable>(db, path, name);
    if (!table->exec(QStringLiteral("CREATE TABLE ") + quoted(name) + QStringLiteral(" (")
                     + columns.join(QStringLiteral(", ")) + QLatin1Char(')'))) {
        if (error)
            *error = table->errorString();
        table->close();
        QFile::remove(toNativeLocal(path));
        return nullptr;
    }
    return table;
}

bool SqliteLocalTables::remove(const QString &path, QString *error)
{
    QFile f(toNativeLocal(path));
    if (!f.exists() || f.remove())
        return true;
    if (error)
        *error = f.errorString();
    return false;
}

// ---- scripted -------------------------------------------------------------

class ScriptedLocalTable : public ILocalTable
{
public:
    ScriptedLocalTable(ScriptedLocalTables &owner, QString path) : m_owner(owner), m_path(std::move(path)) {}
    ~ScriptedLocalTable() override { close(); }
    const QString &path() const override { return m_path; }
    QString errorString() const override { return m_error; }
    bool empty() override
    {
        std::lock_guard lock(m_owner.m_mutex);
        stored().rows.clear();
        return true;
    }
    bool append(const QVariantList &values) override
    {
        std::lock_guard lock(m_owner.m_mutex);
        stored().rows << values;
        return true;
    }
    QList<QVariantList> rows(const QStringList &orderBy) override
    {
        std::lock_guard lock(m_owner.m_mutex);
        QList<QVariantList> out = stored().rows;
        QList<int> cols;
        for (const QString &name : orderBy)
            for (int i = 0; i < stored().layout.fields.size(); ++i)
                if (stored().layout.fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                    cols << i;
        std::stable_sort(out.begin(), out.end(), [&](const QVariantList &a, const QVariantList &b) {
            for (int c : cols) {
                const QPartialOrdering o = QVariant::compare(a.value(c), b.value(c));
                if (o == QPartialOrdering::Less)
                    return true;
                if (o == QPartialOrdering::Greater)
                    return false;
            }
            return false;
        });
        return out;
    }
    void close() override
    {
        if (m_closed)
            return;
        m_closed = true;
        std::lock_guard lock(m_owner.m_mutex);
        auto it = m_owner.m_tables.find(ScriptedLocalTables::key(m_path));
        if (it != m_owner.m_tables.end())
            it->second.open = false;
    }

private:
    ScriptedLocalTables::Stored &stored() { return m_owner.m_tables[ScriptedLocalTables::key(m_path)]; }
    ScriptedLocalTables &m_owner;
    QString m_path;
    QString m_error;
    bool m_closed = false;
};

QString ScriptedLocalTables::key(const QString &path)
{
    return QDir::cleanPath(toNativeLocal(path)).toUpper();
}

bool ScriptedLocalTables::exists(const QString &path)
{
    std::lock_guard lock(m_mutex);
    return m_tables.count(key(path)) || m_held.count(key(path));
}

std::unique_ptr<ILocalTable> ScriptedLocalTables::openExclusive(const QString &path, QString *error)
{
    std::lock_guard lock(m_mutex);
    auto it = m_tables.find(key(path));
    if (m_held.count(key(path)) || it == m_tables.end() || it->second.open) {
        if (error)
            *error = QStringLiteral("database is locked");
        return nullptr;
    }
    it->second.open = true;
    it->second.rows.clear();
    return std::make_unique<ScriptedLocalTable>(*this, path);
}

std::unique_ptr<ILocalTable> ScriptedLocalTables::create(const QString &path, const LocalTableLayout &layout,
                                                         QString *error)
{
    std::lock_guard lock(m_mutex);
    if (m_tables.count(key(path)) || m_held.count(key(path))) {
        if (error)
            *error = QStringLiteral("il file esiste già");
        return nullptr;
    }
    m_tables[key(path)] = Stored{layout, {}, true};
    return std::make_unique<ScriptedLocalTable>(*this, path);
}

bool ScriptedLocalTables::remove(const QString &path, QString *)
{
    std::lock_guard lock(m_mutex);
    m_tables.erase(key(path));
    return true;
}

void ScriptedLocalTables::setHeldElsewhere(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_held.insert(key(path));
}

QList<QVariantList> ScriptedLocalTables::storedRows(const QString &path) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_tables.find(key(path));
    return it == m_tables.end() ? QList<QVariantList>() : it->second.rows;
}

QStringList ScriptedLocalTables::paths() const
{
    std::lock_guard lock(m_mutex);
    QStringList out;
    for (const auto &[k, v] : m_tables)
        out << k;
    return out;
}

ILocalTables &localTables()
{
    if (!installed()) {
        static SqliteLocalTables fallback;
        return fallback;
    }
    return *installed();
}

std::shared_ptr<ILocalTables> setLocalTables(std::shared_ptr<ILocalTables> tables)
{
    std::shared_ptr<ILocalTables> previous = std::move(installed());
    installed() = std::move(tables);
    return previous;
}

} // namespace vardof::platform
