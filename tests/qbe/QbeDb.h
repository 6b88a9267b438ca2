#pragma once

// One small archive shared by a test suite: customers, zones, orders and
// agents, with the awkward values the composition must survive (a quote in
// a name, text blobs, a binary blob, NULLs, a leap day).

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "platform/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace vardof::test {

class QbeDb : public ::testing::Test
{
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    static db::Attachment &att() { return *s_att; }
    db::Transaction &tra() { return *m_tra; }

    static std::unique_ptr<TempDir> s_dir;
    static std::unique_ptr<db::Attachment> s_att;
    std::unique_ptr<db::Transaction> m_tra;
};

} // namespace vardof::test
