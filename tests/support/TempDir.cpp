#include "support/TempDir.h"

#include <QDir>

namespace vardof::test {

TempDir::TempDir()
    : m_dir(QDir::tempPath() + QStringLiteral("/vardof-test-XXXXXX"))
{
}

} // namespace vardof::test
