#include "db/Statement.h"
#include "db/Attachment.h"
#include "db/Blob.h"
#include "db/Error.h"
#include "db/Internal.h"
#include "db/Row.h"
#include "db/SqlParams.h"
#include "db/Transaction.h"

#include "core/Cp1252.h"

#include <ibase.h>

#include <cstring>

namespace vardof::db {

using namespace detail;

namespace detail {

// The type a parameter is sent as; the server converts to the column type.
struct BoundType
{
    unsigned type = 0;
    int subType = 0;
    unsigned length = 0;
    int scale = 0;
    unsigned charSet = 0;
    bool operator==(const BoundType &) const = default;
};

struct StatementData
{
    std::shared_ptr<AttachmentImpl> att;
    std::shared_ptr<TransactionImpl> tra;
    ParamStyle style = ParamStyle::Named;
    ParsedSql parsed;
    Ref<Firebird::IStatement> stmt;
    unsigned type = 0;

    // Input: the server's description, what we bind, and the message.
    Ref<Firebird::IMessageMetadata> serverIn;
    std::vector<Column> paramColumns;
    std::vector<BoundType> serverTypes;
    QStringList names;                 // distinct names, order of first use
    std::vector<int> markerToValue;    // marker -> index into values
    std::vector<FieldValue> values;
    std::vector<BoundType> bound;
    Ref<Firebird::IMessageMetadata> inMeta;
    std::vector<unsigned> inOffsets, inNullOffsets;
    std::vector<unsigned char> inBuffer;
    std::vector<QByteArray> encoded; // text of each marker for this execution

    std::shared_ptr<RowLayout> out;

    // Reused on every execution: a status object per call costs more than
    // a short insert.
    Status status;
    std::vector<BoundType> wanted;
    bool affectedKnown = true;

    ~StatementData() { free(); }

    void free() noexcept
    {
        inMeta.reset();
        serverIn.reset();
        out.reset();
        Status st;
        stmt.finish([](Firebird::IStatement *s, Firebird::CheckStatusWrapper *w) { s->free(w); }, st);
        bound.clear();
    }
};

} // namespace detail

namespace {

BoundType serverType(Firebird::IMessageMetadata *meta, unsigned i)
{
    Status st;
    BoundType b;
    b.type = meta->getType(&st, i) & ~1u;
    b.subType = meta->getSubType(&st, i);
    b.length = meta->getLength(&st, i);
    b.scale = meta->getScale(&st, i);
    b.charSet = meta->getCharSet(&st, i);
    st.check();
    return b;
}

constexpr unsigned kWin1252 = 53;
constexpr unsigned kOctets = 1;

bool isTextType(unsigned t) { return t == SQL_TEXT || t == SQL_VARYING; }

// A VARYING's length travels in 16 bits: a longer value would be sent with
// its length cut modulo 65,536 (a 65,536-character text arriving empty).
// No column can hold it, so it fails as the server fails a value one
// character too long for its column, with the same codes and text.
constexpr qsizetype kMaxVaryingBytes = 65535;

[[noreturn]] void throwTooLong(const BoundType &server, qsizetype actual)
{
    unsigned expected = kMaxVaryingBytes;
    if (isTextType(server.type)) {
        const unsigned bytesPerChar = server.charSet == 4 ? 4 : server.charSet == 3 ? 3 : 1; // UTF8, UNICODE_FSS
        expected = server.length / bytesPerChar;
    }
    throw Error(QStringLiteral("arithmetic exception, numeric overflow, or string truncation\n"
                               "string right truncation\n"
                               "expected length %1, actual %2")
                    .arg(expected)
                    .arg(actual),
                -802, {335544321L, 335544914L, 335545033L});
}

} // namespace

Statement::Statement(Transaction &transaction)
    : d(std::make_unique<StatementData>())
{
    d->tra = transaction.impl();
    d->att = d->tra->attachment;
}

Statement::Statement(Transaction &transaction, const QString &sql, ParamStyle style)
    : Statement(transaction)
{
    setSql(sql, style);
}

// The attachment given must be the transaction's own: a statement prepared
// on one connection cannot run in a transaction of another.
Statement::Statement(Attachment &attachment, Transaction &transaction)
    : Statement(transaction)
{
    if (d->att != attachment.impl())
        throw Error(QStringLiteral("La transazione appartiene a un'altra connessione"));
}

Statement::Statement(Attachment &attachment, Transaction &transaction, const QString &sql, ParamStyle style)
    : Statement(attachment, transaction)
{
    setSql(sql, style);
}

Statement::~Statement() = default;
Statement::Statement(Statement &&) noexcept = default;
Statement &Statement::operator=(Statement &&) noexcept = default;

bool Statement::isPrepared() const
{
    return d->stmt.get() != nullptr;
}

void Statement::setSql(const QString &sql, ParamStyle style)
{
    d->free();
    m_sql = sql;
    d->style = style;
    if (style == ParamStyle::Named) {
        d->parsed = parseNamedParameters(sql);
    } else {
        d->parsed = ParsedSql{sql, {}};
    }
    d->names.clear();
    d->markerToValue.clear();
    for (const QString &n : d->parsed.markerNames) {
        int idx = int(d->names.indexOf(n));
        if (idx < 0) {
            idx = int(d->names.size());
            d->names << n;
        }
        d->markerToValue.push_back(idx);
    }
    d->values.assign(size_t(d->names.size()), std::nullopt);
    m_rowsAffected = 0;
    m_returned.clear();
}

void Statement::close() noexcept
{
    d->free();
}

void Statement::prepare()
{
    if (d->stmt)
        return;
    if (!d->att || !d->att->attachment)
        throw Error(QStringLiteral("Database non connesso"));
    Status st;
    const QByteArray text = core::toCp1252(d->parsed.sql);
    Firebird::ITransaction *tra = d->tra->current();
    Firebird::IStatement *stmt = d->att->attachment->prepare(
        &st, tra, unsigned(text.size()), text.constData(), unsigned(d->att->dialect),
        Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    d->stmt.reset(stmt);
    d->type = stmt->getType(&st);
    Firebird::IMessageMetadata *in = stmt->getInputMetadata(&st);
    if (st.failed()) {
        d->free();
        st.raise();
    }
    d->serverIn.reset(in);
    const unsigned count = in->getCount(&st);
    d->paramColumns.clear();
    d->serverTypes.clear();
    for (unsigned i = 0; i < count; ++i) {
        d->paramColumns.push_back(describe(in, i));
        d->serverTypes.push_back(serverType(in, i));
    }
    Firebird::IMessageMetadata *outMeta = stmt->getOutputMetadata(&st);
    if (st.failed()) {
        d->free();
        st.raise();
    }
    d->out = std::make_shared<RowLayout>(Ref<Firebird::IMessageMetadata>(outMeta));

    // Positional markers written as "?" have no name: bind them by index.
    if (d->style == ParamStyle::AsWritten || d->markerToValue.size() != count) {
        if (d->markerToValue.size() != count) {
            d->markerToValue.clear();
            d->names.clear();
            for (unsigned i = 0; i < count; ++i) {
                d->markerToValue.push_back(int(i));
                d->names << QString();
            }
            d->values.assign(count, std::nullopt);
        }
    }
    d->bound.clear();
}

StatementKind Statement::kind()
{
    prepare();
    switch (d->type) {
    case isc_info_sql_stmt_select:
    case isc_info_sql_stmt_select_for_upd: return StatementKind::Select;
    case isc_info_sql_stmt_insert: return StatementKind::Insert;
    case isc_info_sql_stmt_update: return StatementKind::Update;
    case isc_info_sql_stmt_delete: return StatementKind::Delete;
    case isc_info_sql_stmt_ddl: return StatementKind::Ddl;
    case isc_info_sql_stmt_exec_procedure: return StatementKind::ExecProcedure;
    default: return StatementKind::Other;
    }
}

QString Statement::plan()
{
    prepare();
    Status st;
    const char *p = d->stmt->getPlan(&st, false);
    st.check();
    return p ? QString::fromLatin1(p).trimmed() : QString();
}

QStringList Statement::paramNames()
{
    prepare();
    return d->names;
}

bool Statement::hasParam(const QString &name)
{
    return d->names.contains(name, Qt::CaseInsensitive);
}

namespace {
int parameterIndex(const QStringList &names, const QString &name)
{
    // Names are kept upper case and callers mostly write them so: an exact
    // comparison first keeps the per-row cost of binding low.
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return int(i);
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    throw Error(QStringLiteral("Parametro %1 non trovato").arg(name));
}
} // namespace

void Statement::setParam(const QString &name, const FieldValue &value)
{
    d->values[size_t(parameterIndex(d->names, name))] = value;
}

void Statement::setParam(const QString &name, FieldValue &&value)
{
    d->values[size_t(parameterIndex(d->names, name))] = std::move(value);
}

qint64 Statement::rowsAffected() const
{
    if (!d->affectedKnown && d->stmt) {
        Status &st = d->status;
        st.clear();
        m_rowsAffected = qint64(d->stmt->getAffectedRecords(&st));
        st.check();
        d->affectedKnown = true;
    }
    return m_rowsAffected;
}

void Statement::setParam(int index, const FieldValue &value)
{
    setParam(index, FieldValue(value));
}

void Statement::setParam(int index, FieldValue &&value)
{
    prepare();
    if (index < 0 || size_t(index) >= d->values.size())
        throw Error(QStringLiteral("Parametro %1 non trovato").arg(index));
    d->values[size_t(index)] = std::move(value);
}

void Statement::clearParams()
{
    for (auto &v : d->values)
        v.reset();
}

const std::vector<Column> &Statement::paramColumns()
{
    prepare();
    return d->paramColumns;
}

const std::vector<Column> &Statement::columns()
{
    prepare();
    return d->out->columns;
}

namespace {

// Chooses how one marker is sent, given the server's type and our value.
BoundType chooseType(const BoundType &server, const BoundType *previous, const FieldValue &value,
                     QByteArray &encoded)
{
    encoded.clear();
    if (!value)
        return previous ? *previous : server;
    BoundType b;
    const Value &v = *value;
    const bool serverBlob = server.type == SQL_BLOB;
    auto asText = [&](unsigned charSet) {
        if (serverBlob) {
            b = server;
            return;
        }
        if (encoded.size() > kMaxVaryingBytes)
            throwTooLong(server, encoded.size());
        b.type = SQL_VARYING;
        b.charSet = charSet;
        unsigned want = unsigned(encoded.size());
        if (previous && previous->type == SQL_VARYING && previous->charSet == charSet)
            want = std::max(want, previous->length);
        else if (isTextType(server.type))
            want = std::max(want, server.length);
        b.length = std::max(want, 1u);
    };
    if (auto s = std::get_if<QString>(&v)) {
        encoded = core::toCp1252(*s);
        asText(isTextType(server.type) ? server.charSet : kWin1252);
    } else if (auto ba = std::get_if<QByteArray>(&v)) {
        encoded = *ba;
        asText(isTextType(server.type) ? server.charSet : kOctets);
    } else if (auto i = std::get_if<qint64>(&v)) {
        if (serverBlob) {
            encoded = QByteArray::number(*i);
            b = server;
        } else {
            b.type = SQL_INT64;
            b.length = 8;
        }
    } else if (auto dec = std::get_if<Decimal>(&v)) {
        if (serverBlob) {
            encoded = dec->toString().toLatin1();
            b = server;
        } else {
            b.type = SQL_INT64;
            b.length = 8;
            b.scale = -dec->scale;
        }
    } else if (std::holds_alternative<double>(v)) {
        b.type = SQL_DOUBLE;
        b.length = 8;
    } else if (std::holds_alternative<bool>(v)) {
        b.type = SQL_BOOLEAN;
        b.length = 1;
    } else if (std::holds_alternative<QDate>(v)) {
        b.type = SQL_TYPE_DATE;
        b.length = 4;
    } else if (std::holds_alternative<QTime>(v)) {
        b.type = SQL_TYPE_TIME;
        b.length = 4;
    } else if (std::holds_alternative<QDateTime>(v)) {
        b.type = SQL_TIMESTAMP;
        b.length = 8;
    }
    if (serverBlob && encoded.isEmpty() && !std::holds_alternative<QString>(v)
        && !std::holds_alternative<QByteArray>(v)) {
        // Dates and doubles into a blob travel as their text.
        encoded = core::toCp1252(toText(v));
        b = server;
    }
    return b;
}

ISC_DATE encodeDate(const QDate &d)
{
    return util()->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
}

ISC_TIME encodeTime(const QTime &t)
{
    return util()->encodeTime(unsigned(t.hour()), unsigned(t.minute()), unsigned(t.second()),
                              unsigned(t.msec()) * 10);
}

} // namespace

void Statement::bindInput()
{
    prepare();
    const unsigned count = unsigned(d->markerToValue.size());
    const size_t markers = count;

    // Decide the types; rebuild the message only when one changed.
    d->encoded.resize(markers);
    std::vector<BoundType> &wanted = d->wanted;
    wanted.resize(markers);
    bool changed = d->bound.size() != markers || !d->inMeta;
    for (size_t m = 0; m < markers; ++m) {
        const BoundType &server = d->serverTypes[m];
        const BoundType *prev = d->bound.size() == markers ? &d->bound[m] : nullptr;
        wanted[m] = chooseType(server, prev, d->values[size_t(d->markerToValue[m])], d->encoded[m]);
        if (!changed && !(wanted[m] == d->bound[m]))
            changed = true;
    }
    Status &st = d->status;
    st.clear();
    if (changed) {
        Ref<Firebird::IMetadataBuilder> builder(d->serverIn->getBuilder(&st));
        st.check();
        for (unsigned m = 0; m < count; ++m) {
            const BoundType &b = wanted[m];
            builder->setType(&st, m, b.type | 1);
            builder->setSubType(&st, m, b.subType);
            builder->setLength(&st, m, b.type == SQL_VARYING ? b.length : b.length);
            builder->setScale(&st, m, b.scale);
            builder->setCharSet(&st, m, b.charSet);
        }
        Firebird::IMessageMetadata *meta = st.failed() ? nullptr : builder->getMetadata(&st);
        builder.reset();
        st.check();
        d->inMeta.reset(meta);
        d->inOffsets.resize(markers);
        d->inNullOffsets.resize(markers);
        for (unsigned m = 0; m < count; ++m) {
            d->inOffsets[m] = meta->getOffset(&st, m);
            d->inNullOffsets[m] = meta->getNullOffset(&st, m);
        }
        const unsigned len = meta->getMessageLength(&st);
        st.check();
        d->inBuffer.assign(len, 0);
        d->bound = wanted;
    }

    unsigned char *buf = d->inBuffer.data();
    for (size_t m = 0; m < markers; ++m) {
        const FieldValue &fv = d->values[size_t(d->markerToValue[m])];
        short *nullFlag = reinterpret_cast<short *>(buf + d->inNullOffsets[m]);
        if (!fv) {
            *nullFlag = -1;
            continue;
        }
        *nullFlag = 0;
        unsigned char *p = buf + d->inOffsets[m];
        const BoundType &b = d->bound[m];
        const Value &v = *fv;
        switch (b.type) {
        case SQL_VARYING: {
            const QByteArray &e = d->encoded[m];
            const unsigned short len = static_cast<unsigned short>(e.size());
            std::memcpy(p, &len, 2);
            std::memcpy(p + 2, e.constData(), len);
            break;
        }
        case SQL_BLOB: {
            const ISC_QUAD id = detail::writeBlob(d->att.get(), d->tra.get(), d->encoded[m]);
            std::memcpy(p, &id, sizeof id);
            break;
        }
        case SQL_INT64: {
            ISC_INT64 x = 0;
            if (auto i = std::get_if<qint64>(&v))
                x = *i;
            else if (auto dec = std::get_if<Decimal>(&v))
                x = dec->units;
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_DOUBLE: {
            const double x = std::get<double>(v);
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_BOOLEAN:
            *p = std::get<bool>(v) ? 1 : 0;
            break;
        case SQL_TYPE_DATE: {
            const ISC_DATE x = encodeDate(std::get<QDate>(v));
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TYPE_TIME: {
            const ISC_TIME x = encodeTime(std::get<QTime>(v));
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime &dt = std::get<QDateTime>(v);
            ISC_TIMESTAMP x{encodeDate(dt.date()), encodeTime(dt.time())};
            std::memcpy(p, &x, sizeof x);
            break;
        }
        default:
            throw Error(QStringLiteral("Tipo di parametro non gestito"));
        }
    }

}

void Statement::execute()
{
    bindInput();
    Status &st = d->status;
    st.clear();
    m_returned.clear();
    m_rowsAffected = 0;
    d->affectedKnown = true;
    Firebird::ITransaction *tra = d->tra->current();
    if (d->type == isc_info_sql_stmt_select || d->type == isc_info_sql_stmt_select_for_upd) {
        // Run a SELECT (or a selectable block) to its end.
        Firebird::IResultSet *cursor = d->stmt->openCursor(
            &st, tra, d->inMeta.get(), d->inBuffer.empty() ? nullptr : d->inBuffer.data(), d->out->meta.get(), 0);
        st.check();
        ResultSet rs(cursor, d->out, d->att, d->tra);
        while (rs.next()) {
        }
        return;
    }
    const bool hasOutput = !d->out->columns.empty();
    std::vector<unsigned char> outBuffer(hasOutput ? d->out->length : 0);
    d->stmt->execute(&st, tra, d->inMeta.get(), d->inBuffer.empty() ? nullptr : d->inBuffer.data(),
                     hasOutput ? d->out->meta.get() : nullptr, hasOutput ? outBuffer.data() : nullptr);
    st.check();
    if (hasOutput) {
        for (int i = 0; i < int(d->out->columns.size()); ++i)
            m_returned.push_back(d->out->value(outBuffer.data(), i, d->att.get(), d->tra.get()));
    }
    // Asked of the server only when someone wants it: it is one more round
    // trip per execution.
    d->affectedKnown = !(d->type == isc_info_sql_stmt_insert || d->type == isc_info_sql_stmt_update
                         || d->type == isc_info_sql_stmt_delete || d->type == isc_info_sql_stmt_exec_procedure);
}

ResultSet Statement::open()
{
    bindInput();
    Status &st = d->status;
    st.clear();
    Firebird::ITransaction *tra = d->tra->current();
    Firebird::IResultSet *cursor = d->stmt->openCursor(
        &st, tra, d->inMeta.get(), d->inBuffer.empty() ? nullptr : d->inBuffer.data(), d->out->meta.get(), 0);
    st.check();
    return ResultSet(cursor, d->out, d->att, d->tra);
}

void executeSql(Transaction &transaction, const QString &sql, ParamStyle style)
{
    Statement s(transaction, sql, style);
    s.execute();
}

FieldValue queryValue(Transaction &transaction, const QString &sql, ParamStyle style)
{
    Statement s(transaction, sql, style);
    ResultSet rs = s.open();
    if (rs.next() && rs.columnCount() > 0)
        return rs.value(0);
    return std::nullopt;
}

} // namespace vardof::db
