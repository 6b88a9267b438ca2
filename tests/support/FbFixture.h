#pragma once

// A fresh embedded database per test, dropped at the end; and the name of
// a database on the private test server when the test command started one.

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace vardof::test {

QStringList adminParams();

// Creates an embedded database file in a temp folder.
db::Attachment createDatabase(const QString &path);

class FbFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs DDL or DML and commits it.
    void exec(const QString &sql);
    db::Transaction &tra() { return *m_tra; }
    db::Attachment &att() { return m_att; }
    QString dbPath() const { return m_path; }

    TempDir m_dir;
    QString m_path;
    db::Attachment m_att;
    std::unique_ptr<db::Transaction> m_tra;
};

// "localhost/PORT:" prefix of the private server, empty when none runs
// (then server-labelled tests skip themselves).
QString serverPrefix();
QString serverPassword();
QString serverDir();

} // namespace vardof::test
