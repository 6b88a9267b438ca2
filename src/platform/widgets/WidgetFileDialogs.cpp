#include "platform/widgets/WidgetFileDialogs.h"

#include "platform/HostPaths.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>

#include <cstdlib>

namespace vardof::platform {

namespace {

QWidget *defaultParent()
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                             : QApplication::activeWindow();
}

// Paths go back to the caller in the form the rest of the code stores.
QString toCallerPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The font the dialog starts from. A family that is not installed is shown
// as the one that stands in for it, and the style is named as that family
// names it: the dialog selects styles by name, so a bold or italic font
// would otherwise start as the family's plain style.
QFont fontIniziale(const FontChoice &initial)
{
    QFont f = toQFont(initial);
    if (!QFontDatabase::hasFamily(f.family()))
        f.setFamily(QFontInfo(f).family());
    QString scelto;
    int distanza = 0;
    for (const QString &stile : QFontDatabase::styles(f.family())) {
        const QFont candidato = QFontDatabase::font(f.family(), stile, 12);
        if (candidato.style() != f.style())
            continue;
        const int d = std::abs(candidato.weight() - f.weight());
        if (scelto.isEmpty() || d < distanza) {
            scelto = stile;
            distanza = d;
        }
    }
    if (!scelto.isEmpty())
        f.setStyleName(scelto);
    return f;
}

} // namespace

std::optional<QString> WidgetFileDialogs::openFile(const QString &caption, const QString &dir,
                                                   const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(defaultParent(), caption,
                                                      toNativeLocal(dir),
                                                      qtFilterFromDelphi(filter));
    if (path.isEmpty())
        return std::nullopt;
    return toCallerPath(path);
}

std::optional<QStringList> WidgetFileDialogs::openFiles(const QString &caption,
                                                        const QString &dir,
                                                        const QString &filter)
{
    QStringList paths = QFileDialog::getOpenFileNames(defaultParent(), caption,
                                                      toNativeLocal(dir),
                                                      qtFilterFromDelphi(filter));
    if (paths.isEmpty())
        return std::nullopt;
    for (QString &p : paths)
        p = toCallerPath(p);
    return paths;
}

std::optional<QString> WidgetFileDialogs::saveFile(const QString &caption, const QString &dir,
                                                   const QString &filter,
                                                   const QString &defaultSuffix)
{
    // The static getSaveFileName() cannot add a default suffix.
    QFileDialog dialog(defaultParent(), caption, toNativeLocal(dir), qtFilterFromDelphi(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return toCallerPath(dialog.selectedFiles().constFirst());
}

std::optional<QString> WidgetFileDialogs::chooseDirectory(const QString &caption,
                                                          const QString &dir)
{
    const QString path =
        QFileDialog::getExistingDirectory(defaultParent(), caption, toNativeLocal(dir));
    if (path.isEmpty())
        return std::nullopt;
    return toCallerPath(path);
}

QFont toQFont(const FontChoice &font)
{
    QFont f(font.family);
    if (font.pointSize > 0)
        f.setPointSize(font.pointSize);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    return f;
}

FontChoice fromQFont(const QFont &font)
{
    FontChoice c;
    c.family = font.family();
    c.pointSize = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    c.bold = font.bold();
    c.italic = font.italic();
    c.underline = font.underline();
    c.strikeOut = font.strikeOut();
    return c;
}

std::optional<FontChoice> WidgetFileDialogs::chooseFont(const FontChoice &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, fontIniziale(initial), defaultParent(),
                                            QStringLiteral("Carattere"));
    if (!ok)
        return std::nullopt;
    return fromQFont(font);
}

std::optional<Rgb> WidgetFileDialogs::chooseColor(Rgb initial)
{
    const QColor color =
        QColorDialog::getColor(QColor::fromRgba(initial), defaultParent(), QStringLiteral("Colore"));
    if (!color.isValid())
        return std::nullopt;
    return Rgb(color.rgba());
}

} // namespace vardof::platform
