#pragma once

// Local work tables: small tables kept as files in the working folder, one
// table per file, that the print engines read (the text pages of the simple
// prints, the points of a chart). Several copies of the system may share one
// working folder, so a table is used only while held for exclusive use:
// whoever opens it exclusively keeps every other process (and every other
// connection of this one) out until it closes it.
//
// The real face keeps each table in an SQLite database file named as the
// table ("RIGHET.DB"), holding one table of the same name without the
// extension; the exclusive hold is SQLite's exclusive lock, taken at opening
// and kept until the table is closed. The scripted face keeps the rows in
// memory and lets a test declare a table held by someone else.
//
// Paths may use '\' or '/'. Failures give the system's reason; nothing here
// shows a message.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace vardof::platform {

struct LocalField
{
    enum Kind { SmallInt, Float, Text };
    QString name;
    Kind kind = Text;
    int size = 0; // characters, for Text (a declared size, never a cut)
};

struct LocalTableLayout
{
    QList<LocalField> fields;
    QStringList primaryKey;
};

// One table open for exclusive use. Closing (or destroying) it releases it.
class ILocalTable
{
public:
    virtual ~ILocalTable() = default;
    virtual const QString &path() const = 0;
    // Removes every row.
    virtual bool empty() = 0;
    // One row, values in field order; a null QVariant is a NULL.
    virtual bool append(const QVariantList &values) = 0;
    // Every row, in the order of the given fields (empty: as appended).
    virtual QList<QVariantList> rows(const QStringList &orderBy = {}) = 0;
    virtual void close() = 0;
    virtual QString errorString() const = 0;
};

class ILocalTables
{
public:
    virtual ~ILocalTables() = default;
    virtual bool exists(const QString &path) = 0;
    // The table held for exclusive use; nullptr when it cannot be (held
    // elsewhere, or not a table), with the reason.
    virtual std::unique_ptr<ILocalTable> openExclusive(const QString &path, QString *error = nullptr) = 0;
    // A new table at `path` (its folder must exist), held for exclusive use.
    virtual std::unique_ptr<ILocalTable> create(const QString &path, const LocalTableLayout &layout,
                                                QString *error = nullptr) = 0;
    // Deletes the table's file; false (with the reason) when it stays.
    virtual bool remove(const QString &path, QString *error = nullptr) = 0;
};

class SqliteLocalTables : public ILocalTables
{
public:
    bool exists(const QString &path) override;
    std::unique_ptr<ILocalTable> openExclusive(const QString &path, QString *error = nullptr) override;
    std::unique_ptr<ILocalTable> create(const QString &path, const LocalTableLayout &layout,
                                        QString *error = nullptr) override;
    bool remove(const QString &path, QString *error = nullptr) override;
};

// In memory. Tables named by heldElsewhere() cannot be opened exclusively;
// rows survive closing, as a file would.
class ScriptedLocalTables : public ILocalTables
{
public:
    bool exists(const QString &path) override;
    std::unique_ptr<ILocalTable> openExclusive(const QString &path, QString *error = nullptr) override;
    std::unique_ptr<ILocalTable> create(const QString &path, const LocalTableLayout &layout,
                                        QString *error = nullptr) override;
    bool remove(const QString &path, QString *error = nullptr) override;

    // A table another process holds (it exists and is never free).
    void setHeldElsewhere(const QString &path);
    QList<QVariantList> storedRows(const QString &path) const;
    QStringList paths() const;

    struct Stored
    {
        LocalTableLayout layout;
        QList<QVariantList> rows;
        bool open = false;
    };

private:
    friend class ScriptedLocalTable;
    static QString key(const QString &path);
    mutable std::mutex m_mutex;
    std::map<QString, Stored> m_tables;
    std::set<QString> m_held;
};

// The installed face (SQLite until replaced); setLocalTables returns the
// one it replaces, nullptr puts back the default.
ILocalTables &localTables();
std::shared_ptr<ILocalTables> setLocalTables(std::shared_ptr<ILocalTables> tables);

} // namespace vardof::platform
