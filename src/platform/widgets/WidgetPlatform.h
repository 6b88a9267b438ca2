#pragma once

// The services of a desktop session: installs Qt dialogs, the system
// clipboard and the desktop's document opener in the registry (Services.h).
// Call once a QApplication exists.

#include "platform/Clipboard.h"
#include "platform/Shell.h"

namespace vardof::platform {

void installWidgetPlatform();

// Loads Qt's own Italian texts (standard dialogs, context menus) when the
// translations are installed. Safe to call more than once.
bool installItalianQtTranslations();

class SystemClipboard : public IClipboard
{
public:
    QString text() const override;
    void setText(const QString &text) override;
};

class DesktopShell : public IShell
{
public:
    bool openFile(const QString &path) override;
};

} // namespace vardof::platform
