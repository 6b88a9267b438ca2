#pragma once

// One small archive shared by a suite: an answer with the awkward values an
// export must carry whole (accents, ";", quotes, line breaks in memos,
// exact decimals, negatives, NULLs, a leap day, a binary blob).

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "output/Risposta.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Test failures show texts as text.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace vardof::test {

class OutputDb : public ::testing::Test
{
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    static db::Attachment &att() { return *s_att; }
    db::Transaction &tra() { return *m_tra; }
    // The answer "SELECT <colonne> FROM PROVA ORDER BY ID".
    output::RispostaDaEsportare risposta(const QString &colonne = QStringLiteral("*"));

    static std::unique_ptr<TempDir> s_dir;
    static std::unique_ptr<db::Attachment> s_att;
    std::unique_ptr<db::Transaction> m_tra;
    TempDir m_out;
};

QByteArray leggiFile(const QString &path);

} // namespace vardof::test
