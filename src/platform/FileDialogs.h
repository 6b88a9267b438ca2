#pragma once

// File, font and colour choices. The core header stays free of QtGui so that
// engines can depend on it; the widget implementation lives in widgets/.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vardof::platform {

struct FontChoice
{
    QString family;
    int pointSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const FontChoice &) const = default;
};

// 0xAARRGGBB, the layout of QRgb.
using Rgb = std::uint32_t;

// Colours stored by the tools are Windows COLORREF values (0x00BBGGRR).
constexpr Rgb rgbFromColorRef(std::uint32_t colorRef)
{
    return 0xFF000000u | ((colorRef & 0xFFu) << 16) | (colorRef & 0xFF00u)
           | ((colorRef >> 16) & 0xFFu);
}
constexpr std::uint32_t colorRefFromRgb(Rgb rgb)
{
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

// "Archivi Interbase (*.gdb;*.fdb)|*.gdb;*.fdb|Tutti i file (*.*)|*.*" ->
// "Archivi Interbase (*.gdb *.fdb);;Tutti i file (*)".
// Qt takes the patterns from the parentheses of the description, so the
// description's own pattern list (if any) is replaced by the real one, and
// "*.*" becomes "*" because outside Windows it would miss names without a dot.
QString qtFilterFromDelphi(const QString &delphiFilter);

class IFileDialogs
{
public:
    virtual ~IFileDialogs() = default;
    // `filter` uses the '|' form above; nullopt when the user cancels.
    virtual std::optional<QString> openFile(const QString &caption, const QString &dir,
                                            const QString &filter) = 0;
    virtual std::optional<QStringList> openFiles(const QString &caption, const QString &dir,
                                                 const QString &filter) = 0;
    // `defaultSuffix` (without the dot) is added when the user types none.
    virtual std::optional<QString> saveFile(const QString &caption, const QString &dir,
                                            const QString &filter,
                                            const QString &defaultSuffix = QString()) = 0;
    virtual std::optional<QString> chooseDirectory(const QString &caption,
                                                   const QString &dir) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice &initial) = 0;
    virtual std::optional<Rgb> chooseColor(Rgb initial) = 0;
};

// Cancels everything: nobody is there to choose.
class NoFileDialogs : public IFileDialogs
{
public:
    std::optional<QString> openFile(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QStringList> openFiles(const QString &, const QString &,
                                         const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFile(const QString &, const QString &, const QString &,
                                    const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QString> chooseDirectory(const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<FontChoice> chooseFont(const FontChoice &) override { return std::nullopt; }
    std::optional<Rgb> chooseColor(Rgb) override { return std::nullopt; }
};

} // namespace vardof::platform
