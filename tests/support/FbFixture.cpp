#include "support/FbFixture.h"

#include "db/Statement.h"

#include <QFile>

namespace vardof::test {

QStringList adminParams()
{
    return db::loginParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey"));
}

db::Attachment createDatabase(const QString &path)
{
    QFile::remove(path);
    db::Attachment a;
    a.create(path, adminParams() << QStringLiteral("PAGE_SIZE 4096"));
    return a;
}

void FbFixture::SetUp()
{
    m_path = m_dir.file(QStringLiteral("test.fdb"));
    m_att = createDatabase(m_path);
    m_tra = std::make_unique<db::Transaction>(m_att);
}

void FbFixture::TearDown()
{
    m_tra.reset();
    if (m_att.isConnected()) {
        try {
            m_att.dropDatabase();
        } catch (...) {
            m_att.disconnect();
        }
    }
}

void FbFixture::exec(const QString &sql)
{
    db::executeSql(m_att, *m_tra, sql);
    m_tra->commit();
}

QString serverPrefix()
{
    const QByteArray port = qgetenv("VARDOF_TEST_FB_PORT");
    if (port.isEmpty())
        return QString();
    return QStringLiteral("localhost/%1:").arg(QString::fromLatin1(port));
}

QString serverPassword()
{
    const QByteArray pw = qgetenv("VARDOF_TEST_FB_PASSWORD");
    return pw.isEmpty() ? QStringLiteral("masterkey") : QString::fromLatin1(pw);
}

QString serverDir()
{
    return QString::fromLocal8Bit(qgetenv("VARDOF_TEST_FB_DIR"));
}

} // namespace vardof::test
