#include "db/Attachment.h"
#include "db/Error.h"
#include "db/Internal.h"

#include "core/Cp1252.h"

#include <ibase.h>

#include <algorithm>

namespace vardof::db {

using namespace detail;

namespace detail {

AttachmentImpl::~AttachmentImpl()
{
    closeAll();
}

void AttachmentImpl::closeAll() noexcept
{
    for (TransactionImpl *t : std::vector<TransactionImpl *>(transactions))
        t->rollbackQuietly();
    Status st;
    attachment.finish([](Firebird::IAttachment *a, Firebird::CheckStatusWrapper *s) { a->detach(s); }, st);
}

} // namespace detail

namespace {

QString unquote(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
        && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

QByteArray bytes(const QString &s)
{
    return core::toCp1252(s);
}

// Builds the database parameter block from parameter lines.
class DpbBuilder
{
public:
    DpbBuilder()
    {
        m_builder = util()->getXpbBuilder(&m_status, Firebird::IXpbBuilder::DPB, nullptr, 0);
        m_status.check();
    }
    ~DpbBuilder() { m_builder->dispose(); }

    void string(unsigned char tag, const QString &value)
    {
        m_builder->insertString(&m_status, tag, bytes(value).constData());
        m_status.check();
    }
    void integer(unsigned char tag, int value)
    {
        m_builder->insertInt(&m_status, tag, value);
        m_status.check();
    }
    bool has(unsigned char tag)
    {
        const bool found = m_builder->findFirst(&m_status, tag);
        m_status.check();
        return found;
    }
    const unsigned char *buffer()
    {
        auto b = m_builder->getBuffer(&m_status);
        m_status.check();
        return b;
    }
    unsigned length()
    {
        auto l = m_builder->getBufferLength(&m_status);
        m_status.check();
        return l;
    }

    void addLines(const QStringList &lines)
    {
        for (const QString &raw : lines) {
            const QString line = raw.trimmed();
            if (line.isEmpty())
                continue;
            const int eq = line.indexOf(QLatin1Char('='));
            if (eq > 0) {
                QString key = line.left(eq).trimmed().toLower();
                if (key.startsWith(QLatin1String("isc_dpb_")))
                    key = key.mid(8);
                const QString value = line.mid(eq + 1);
                if (key == QLatin1String("user_name") || key == QLatin1String("user"))
                    string(isc_dpb_user_name, value);
                else if (key == QLatin1String("password"))
                    string(isc_dpb_password, value);
                else if (key == QLatin1String("lc_ctype"))
                    string(isc_dpb_lc_ctype, value);
                else if (key == QLatin1String("sql_role_name"))
                    string(isc_dpb_sql_role_name, value);
                else if (key == QLatin1String("sql_dialect"))
                    integer(isc_dpb_sql_dialect, value.toInt());
                else if (key == QLatin1String("page_size"))
                    integer(isc_dpb_page_size, value.toInt());
                else if (key == QLatin1String("set_db_charset"))
                    string(isc_dpb_set_db_charset, value);
                else if (key == QLatin1String("config"))
                    string(isc_dpb_config, value);
                continue;
            }
            // Creation lines: WORD value
            const int sp = line.indexOf(QLatin1Char(' '));
            const QString word = (sp < 0 ? line : line.left(sp)).toUpper();
            const QString rest = sp < 0 ? QString() : line.mid(sp + 1).trimmed();
            if (word == QLatin1String("USER"))
                string(isc_dpb_user_name, unquote(rest));
            else if (word == QLatin1String("PASSWORD"))
                string(isc_dpb_password, unquote(rest));
            else if (word == QLatin1String("PAGE_SIZE"))
                integer(isc_dpb_page_size, unquote(rest).toInt());
            else if (word == QLatin1String("DEFAULT") && rest.toUpper().startsWith(QLatin1String("CHARACTER SET")))
                string(isc_dpb_set_db_charset, rest.mid(13).trimmed());
        }
    }

private:
    Status m_status;
    Firebird::IXpbBuilder *m_builder = nullptr;
};

QString clientName(const QString &name)
{
#ifdef Q_OS_WIN
    return name;
#else
    // Stored names use backslashes; a local path here needs slashes.
    if (Attachment::isLocalName(name)) {
        QString n = name;
        n.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return n;
    }
    return name;
#endif
}

void fillCommon(DpbBuilder &dpb, const QString &name, const QStringList &params)
{
    dpb.addLines(params);
    if (!dpb.has(isc_dpb_lc_ctype))
        dpb.string(isc_dpb_lc_ctype, QStringLiteral("WIN1252"));
    if (Attachment::isLocalName(name) && !dpb.has(isc_dpb_config))
        dpb.string(isc_dpb_config, QStringLiteral("Providers=Engine12"));
}

} // namespace

Attachment::Attachment()
    : d(std::make_shared<AttachmentImpl>())
{
}

Attachment::~Attachment() = default;
Attachment::Attachment(Attachment &&) noexcept = default;
Attachment &Attachment::operator=(Attachment &&) noexcept = default;

bool Attachment::isLocalName(const QString &name)
{
    if (name.startsWith(QLatin1String("\\\\")) || name.startsWith(QLatin1String("//")))
        return false;
    const int colon = name.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return true;
    // A drive letter: C:\ or C:/ (or a bare "C:name" on Windows).
    return colon == 1 && name.at(0).isLetter();
}

void Attachment::connect(const QString &databaseName, const QStringList &params)
{
    if (!d)
        d = std::make_shared<AttachmentImpl>();
    disconnect();
    DpbBuilder dpb;
    fillCommon(dpb, databaseName, params);
    Status st;
    const QByteArray name = bytes(clientName(databaseName));
    Firebird::IAttachment *att = provider()->attachDatabase(&st, name.constData(), dpb.length(), dpb.buffer());
    st.check();
    d->attachment.reset(att);
    d->name = databaseName;
    d->dialect = 3;
}

void Attachment::create(const QString &databaseName, const QStringList &params, int dialect)
{
    if (!d)
        d = std::make_shared<AttachmentImpl>();
    disconnect();
    DpbBuilder dpb;
    fillCommon(dpb, databaseName, params);
    dpb.integer(isc_dpb_sql_dialect, dialect);
    Status st;
    const QByteArray name = bytes(clientName(databaseName));
    Firebird::IAttachment *att = provider()->createDatabase(&st, name.constData(), dpb.length(), dpb.buffer());
    st.check();
    d->attachment.reset(att);
    d->name = databaseName;
    d->dialect = dialect;
}

Attachment Attachment::attach(const QString &databaseName, const QStringList &params)
{
    Attachment a;
    a.connect(databaseName, params);
    return a;
}

void Attachment::disconnect() noexcept
{
    if (d)
        d->closeAll();
}

void Attachment::dropDatabase()
{
    if (!d || !d->attachment)
        throw Error(QStringLiteral("Database non connesso"));
    for (TransactionImpl *t : std::vector<TransactionImpl *>(d->transactions))
        t->rollbackQuietly();
    Status st;
    d->attachment->dropDatabase(&st);
    st.check();
    d->attachment.forget(); // the drop released it
}

bool Attachment::isConnected() const
{
    return d && d->attachment.get();
}

QString Attachment::databaseName() const
{
    return d ? d->name : QString();
}

int Attachment::dialect() const
{
    return d ? d->dialect : 3;
}

Firebird::IAttachment *Attachment::raw() const
{
    return d ? d->attachment.get() : nullptr;
}

QStringList loginParams(const QString &user, const QString &password)
{
    return {QStringLiteral("user_name=") + user, QStringLiteral("password=") + password};
}

} // namespace vardof::db
