// Two users making the answer tables of chained queries at the same time
// (each its own TMP_RSUCC table): both must succeed. Created inside the
// query's snapshot transaction, a table that another user created and
// committed after that snapshot began made the server refuse the creation
// with an update conflict ("deadlock / update conflicts with concurrent
// update").

#include "ServerHost.h"

#include "support/FbFixture.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace vardof;
using namespace vardof::test;

namespace {

TEST(RispostaConcorrente, twoUsersCreatingAnswerTablesAtOnceBothSucceed)
{
    if (serverPrefix().isEmpty())
        GTEST_SKIP() << "nessun server privato (VARDOF_TEST_FB_PORT non impostata)";
    ServerHost host;
    std::vector<std::unique_ptr<QProcess>> utenti;
    for (int utente : {21, 22}) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(OPERATORE_EXE), {QStringLiteral("query"), serverPrefix() + host.archivio(),
                                                 serverPassword(), QStringLiteral("8"), QString::number(utente)});
        utenti.push_back(std::move(p));
    }
    static const QRegularExpression conti(QStringLiteral("FATTE ([0-9]+) .* CONFLITTI ([0-9]+) ERRORI ([0-9]+)"));
    for (auto &p : utenti) {
        const Uscita u = attendi(*p, 120000);
        const QRegularExpressionMatch m = conti.match(u.out);
        ASSERT_TRUE(m.hasMatch()) << u.out.toStdString() << u.err.toStdString();
        EXPECT_GT(m.captured(1).toInt(), 0);
        EXPECT_EQ(m.captured(2).toInt(), 0) << u.out.toStdString();
        EXPECT_EQ(m.captured(3).toInt(), 0) << u.out.toStdString();
    }
}

} // namespace
