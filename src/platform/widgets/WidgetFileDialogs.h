#pragma once

// IFileDialogs with the Qt dialogs.

#include "platform/FileDialogs.h"

class QFont;

namespace vardof::platform {

class WidgetFileDialogs : public IFileDialogs
{
public:
    std::optional<QString> openFile(const QString &caption, const QString &dir,
                                    const QString &filter) override;
    std::optional<QStringList> openFiles(const QString &caption, const QString &dir,
                                         const QString &filter) override;
    std::optional<QString> saveFile(const QString &caption, const QString &dir,
                                    const QString &filter,
                                    const QString &defaultSuffix = QString()) override;
    std::optional<QString> chooseDirectory(const QString &caption, const QString &dir) override;
    std::optional<FontChoice> chooseFont(const FontChoice &initial) override;
    std::optional<Rgb> chooseColor(Rgb initial) override;
};

QFont toQFont(const FontChoice &font);
FontChoice fromQFont(const QFont &font);

} // namespace vardof::platform
