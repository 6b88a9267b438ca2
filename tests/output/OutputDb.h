#pragma once

// One small archive shared by a suite: an answer with the awkward values an
// export must carry whole (accents, ";", quotes, line breaks in memos,
// exact decimals, negatives, NULLs, a leap day, a binary blob).

#include "output/Risposta.h"
#include "support/SuiteDb.h"
#include "support/TempDir.h"

#include <ostream>

// Test failures show texts as text.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace vardof::test {

class OutputDb : public SuiteDb
{
public:
    static void SetUpTestSuite();

protected:
    // The answer "SELECT <colonne> FROM PROVA ORDER BY ID".
    output::RispostaDaEsportare risposta(const QString &colonne = QStringLiteral("*"));

    TempDir m_out;
};

QByteArray leggiFile(const QString &path);

} // namespace vardof::test
