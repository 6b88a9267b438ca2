#include "db/FbApi.h"
#include "db/Error.h"

#include "core/Cp1252.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <vector>

namespace vardof::db::detail {

Firebird::IMaster *master()
{
    static Firebird::IMaster *m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil *util()
{
    static Firebird::IUtil *u = master()->getUtilInterface();
    return u;
}

Firebird::IProvider *provider()
{
    // The dispatcher is kept for the life of the process: releasing it while
    // attachments live would unload the engine under them.
    static Firebird::IProvider *p = master()->getDispatcher();
    return p;
}

Status::Status()
    : m_status(master()->getStatus())
    , m_wrapper(m_status)
{
}

Status::~Status()
{
    m_status->dispose();
}

bool Status::failed() const
{
    return (m_wrapper.getState() & Firebird::IStatus::STATE_ERRORS) != 0;
}

void Status::check()
{
    if (failed())
        raise();
}

QString formatStatus(Firebird::IStatus *status)
{
    // fb_interpret gives one line per message of the vector; the server's
    // text is kept whole, lines joined by LF.
    const ISC_STATUS *vector = status->getErrors();
    QString text;
    char buffer[1024];
    const ISC_STATUS *p = vector;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += core::fromCp1252(std::string_view(buffer));
    }
    return text;
}

void Status::raise()
{
    const ISC_STATUS *vector = m_wrapper.getErrors();
    std::vector<long> codes;
    for (const ISC_STATUS *p = vector; *p != isc_arg_end;) {
        const ISC_STATUS kind = *p++;
        if (kind == isc_arg_gds)
            codes.push_back(long(*p));
        if (kind == isc_arg_cstring)
            p += 2;
        else
            ++p;
    }
    const int sqlCode = int(isc_sqlcode(vector));
    QString message = formatStatus(&m_wrapper);
    m_wrapper.clearException();
    throw Error(message, sqlCode, std::move(codes));
}

} // namespace vardof::db::detail

namespace vardof::db {

Error::Error(const QString &message, int sqlCode, std::vector<long> gdsCodes)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_sqlCode(sqlCode)
    , m_gdsCodes(std::move(gdsCodes))
{
}

bool Error::hasGdsCode(long code) const
{
    for (long c : m_gdsCodes)
        if (c == code)
            return true;
    return false;
}

bool Error::isLockConflict() const
{
    return hasGdsCode(isc_lock_conflict) || hasGdsCode(isc_update_conflict)
        || hasGdsCode(isc_deadlock);
}

bool Error::isDuplicateKey() const
{
    return hasGdsCode(isc_unique_key_violation) || hasGdsCode(isc_no_dup);
}

bool Error::isConnectionLost() const
{
    static const long perse[] = {isc_shutdown,      isc_shutinprog,        isc_att_shutdown,
                                 isc_network_error, isc_net_read_err,      isc_net_write_err,
                                 isc_conn_lost,     isc_lost_db_connection, isc_bad_db_handle};
    for (long c : perse)
        if (hasGdsCode(c))
            return true;
    return false;
}

} // namespace vardof::db
