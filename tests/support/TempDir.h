#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vardof::test {

// A folder removed with everything in it when the test ends.
class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace vardof::test
