#pragma once

// One small archive shared by the tests of a suite: made before the first
// test, dropped after the last; each test works in a transaction of its own,
// rolled back when it ends. A suite's fixture names its tables and rows in
// its SetUpTestSuite.

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace vardof::test {

class SuiteDb : public ::testing::Test
{
public:
    static void TearDownTestSuite();

protected:
    // A new archive: the definitions run and committed, then the rows.
    static void createArchive(std::initializer_list<const char *> definitions,
                              std::initializer_list<const char *> rows);

    void SetUp() override;
    void TearDown() override;

    static db::Attachment &att() { return *s_att; }
    db::Transaction &tra() { return *m_tra; }

private:
    static std::unique_ptr<TempDir> s_dir;
    static std::unique_ptr<db::Attachment> s_att;
    std::unique_ptr<db::Transaction> m_tra;
};

} // namespace vardof::test
