#include "support/SuiteDb.h"

#include "db/Statement.h"
#include "support/FbFixture.h"

namespace vardof::test {

std::unique_ptr<TempDir> SuiteDb::s_dir;
std::unique_ptr<db::Attachment> SuiteDb::s_att;

void SuiteDb::createArchive(std::initializer_list<const char *> definitions, std::initializer_list<const char *> rows)
{
    s_dir = std::make_unique<TempDir>();
    s_att = std::make_unique<db::Attachment>(createDatabase(s_dir->file(QStringLiteral("archivio.fdb"))));
    db::Transaction t(*s_att);
    for (const char *sql : definitions)
        db::executeSql(*s_att, t, QString::fromUtf8(sql));
    t.commit();
    for (const char *sql : rows)
        db::executeSql(*s_att, t, QString::fromUtf8(sql));
    t.commit();
}

void SuiteDb::TearDownTestSuite()
{
    if (s_att && s_att->isConnected()) {
        try {
            s_att->dropDatabase();
        } catch (...) {
            s_att->disconnect();
        }
    }
    s_att.reset();
    s_dir.reset();
}

void SuiteDb::SetUp()
{
    m_tra = std::make_unique<db::Transaction>(*s_att);
}

void SuiteDb::TearDown()
{
    m_tra.reset();
}

} // namespace vardof::test
