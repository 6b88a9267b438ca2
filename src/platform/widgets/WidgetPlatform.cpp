#include "platform/widgets/WidgetPlatform.h"

#include "platform/HostPaths.h"
#include "platform/Services.h"
#include "platform/widgets/WidgetFileDialogs.h"
#include "platform/widgets/WidgetMessages.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrl>

namespace vardof::platform {

QString SystemClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

void SystemClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool DesktopShell::openFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toNativeLocal(path)));
}

bool installItalianQtTranslations()
{
    static QTranslator *translator = nullptr;
    if (translator)
        return true;
    auto *candidate = new QTranslator(QCoreApplication::instance());
    if (!candidate->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete candidate;
        return false;
    }
    QCoreApplication::installTranslator(candidate);
    translator = candidate;
    return true;
}

void installWidgetPlatform()
{
    installItalianQtTranslations();
    setMessages(std::make_shared<WidgetMessages>());
    setFileDialogs(std::make_shared<WidgetFileDialogs>());
    setClipboard(std::make_shared<SystemClipboard>());
    setShell(std::make_shared<DesktopShell>());
}

} // namespace vardof::platform
