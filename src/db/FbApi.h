#pragma once

// Internal to src/db: the process-wide client interfaces and the status
// checking that turns a failed call into db::Error.

#include <firebird/Interface.h>

#include "db/Ref.h"

#include <QString>

namespace vardof::db::detail {


Firebird::IMaster *master();
Firebird::IUtil *util();
Firebird::IProvider *provider();

// A status object owned by the caller for one or more calls.
class Status
{
public:
    Status();
    ~Status();
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;

    Firebird::CheckStatusWrapper *operator&() { return &m_wrapper; }
    Firebird::CheckStatusWrapper *get() { return &m_wrapper; }
    bool failed() const;
    void clear() { m_wrapper.clearException(); }

    // Throws db::Error with the server's text when the last call failed.
    void check();
    [[noreturn]] void raise();

private:
    Firebird::IStatus *m_status;
    Firebird::CheckStatusWrapper m_wrapper;
};

// Text of a status vector (server messages, one per line).
QString formatStatus(Firebird::IStatus *status);

} // namespace vardof::db::detail
