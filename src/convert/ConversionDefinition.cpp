#include "convert/ConversionDefinition.h"

#include "convert/ConversionTexts.h"
#include "core/Cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace vardof::convert {

namespace {

qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

// Position of the extension's dot, -1 when the file name has none.
qsizetype extensionDot(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > lastSeparator(path) ? dot : -1;
}

// The definition in the Windows code page, as the engines read it. Editors
// that save as Unicode mark the file: such a file is taken in its encoding
// when every character has a CP1252 byte. Without a mark a NUL byte means
// no text at all (UTF-16 without a mark, a binary file): refused, rather
// than read as definitions whose messages would stop at the first NUL.
std::optional<QByteArray> definitionBytes(const QString &path, const QByteArray &raw, QString *error)
{
    struct Mark
    {
        QByteArray bytes;
        QStringConverter::Encoding encoding;
        const char *name;
    };
    static const Mark marks[] = {
        {QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8, "UTF-8"},
        {QByteArray("\xFF\xFE"), QStringConverter::Utf16LE, "UTF-16"},
        {QByteArray("\xFE\xFF"), QStringConverter::Utf16BE, "UTF-16"},
    };
    for (const Mark &mark : marks) {
        if (!raw.startsWith(mark.bytes))
            continue;
        QStringDecoder decoder(mark.encoding, QStringConverter::Flag::Stateless);
        const QString text = decoder(QByteArrayView(raw).sliced(mark.bytes.size()));
        bool lossy = false;
        QByteArray bytes = core::toCp1252(text, &lossy);
        if (decoder.hasError() || lossy || bytes.contains('\0')) {
            if (error)
                *error = texts::definitionNotCp1252(path, QString::fromLatin1(mark.name));
            return std::nullopt;
        }
        return bytes;
    }
    if (raw.contains('\0')) {
        if (error)
            *error = texts::definitionNotText(path);
        return std::nullopt;
    }
    return raw;
}

} // namespace

QString definitionPath(const QString &sourcePath)
{
    const qsizetype dot = extensionDot(sourcePath);
    return (dot < 0 ? sourcePath : sourcePath.left(dot)) + QStringLiteral(".conf");
}

QString withDefaultExtension(const QString &destinationPath)
{
    if (destinationPath.isEmpty())
        return destinationPath;
    const qsizetype dot = extensionDot(destinationPath);
    if (dot < 0)
        return destinationPath + QStringLiteral(".dat");
    if (dot == destinationPath.size() - 1)
        return destinationPath + QStringLiteral("dat");
    return destinationPath;
}

QString folderOf(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

QString anomaliesPath(const QString &sourcePath)
{
    QString folder = folderOf(sourcePath);
    if (folder.isEmpty())
        folder = QFileInfo(sourcePath).absolutePath() + QLatin1Char('/');
    return folder + QStringLiteral("Anomalie.txt");
}

ConversionMode modeOfFirstLine(const QByteArray &firstLine)
{
    return firstLine.toUpper().contains("LUNGHEZZAFISSA") ? ConversionMode::FixedLength
                                                          : ConversionMode::Delimited;
}

DefinitionLine parseDefinitionLine(const QByteArray &text, int lineNumber)
{
    static const QByteArray tag("[NOBLANKINI]");
    DefinitionLine line;
    line.lineNumber = lineNumber;
    line.text = text;
    QByteArray rest = text;
    if (rest.contains(tag)) {
        line.noBlankIni = true;
        rest.replace(tag, QByteArray());
    }
    qsizetype from = 0;
    for (qsizetype semi = rest.indexOf(';'); semi >= 0; semi = rest.indexOf(';', from)) {
        line.values << rest.mid(from, semi - from);
        from = semi + 1;
    }
    return line;
}

DefinitionFile parseDefinition(const QList<QByteArray> &fileLines)
{
    DefinitionFile def;
    if (fileLines.isEmpty())
        return def;
    def.mode = modeOfFirstLine(fileLines.first());
    for (int i = 1; i < fileLines.size(); ++i) {
        if (fileLines.at(i).contains(';'))
            def.lines.push_back(parseDefinitionLine(fileLines.at(i), i + 1));
    }
    return def;
}

std::optional<DefinitionFile> readDefinitionFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = texts::definitionMissing(path);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = texts::definitionUnreadable(path, file.errorString());
        return std::nullopt;
    }
    const auto bytes = definitionBytes(path, file.readAll(), error);
    if (!bytes)
        return std::nullopt;
    QList<QByteArray> lines = bytes->split('\n');
    // A final line end does not start one more line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    return parseDefinition(lines);
}

} // namespace vardof::convert
