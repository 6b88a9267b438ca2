#include "platform/IniFile.h"

#include "core/CellFormat.h"
#include "core/Cp1252.h"
#include "platform/Formats.h"
#include "platform/HostPaths.h"

#include <QFile>
#include <QSaveFile>

#include <optional>

namespace vardof::platform {

namespace {

struct Line
{
    enum Kind { Other, Header, Entry } kind = Other;
    QString text; // as in the file
    QString name; // section name or key
    QString value;
};

QString unquote(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

Line parseLine(const QString &text)
{
    Line line;
    line.text = text;
    const QString t = text.trimmed();
    if (t.startsWith(u'[')) {
        line.kind = Line::Header;
        const qsizetype close = t.indexOf(u']');
        line.name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    } else if (!t.startsWith(u';')) {
        const qsizetype eq = t.indexOf(u'=');
        if (eq >= 0) {
            line.kind = Line::Entry;
            line.name = t.left(eq).trimmed();
            line.value = unquote(t.mid(eq + 1).trimmed());
        }
    }
    return line;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

class Document
{
public:
    static Document load(const QString &path)
    {
        Document doc;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return doc;
        const QByteArray bytes = file.readAll();
        qsizetype start = 0;
        while (start < bytes.size()) {
            qsizetype end = bytes.indexOf('\n', start);
            const qsizetype next = end < 0 ? bytes.size() : end + 1;
            if (end < 0)
                end = bytes.size();
            qsizetype stop = end;
            if (stop > start && bytes[stop - 1] == '\r')
                --stop;
            doc.lines.push_back(parseLine(
                core::fromCp1252(std::string_view(bytes.constData() + start, size_t(stop - start)))));
            start = next;
        }
        return doc;
    }

    bool save(const QString &path) const
    {
        QByteArray bytes;
        for (const Line &line : lines) {
            core::appendCp1252(line.text, bytes);
            bytes += "\r\n";
        }
        QSaveFile file(path);
        // Other programs may hold the file open; writing in place is what
        // Windows does anyway.
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(bytes);
        return file.commit();
    }

    // [begin, end) of the lines after the first header named `section`.
    std::optional<std::pair<qsizetype, qsizetype>> find(const QString &section) const
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == Line::Header && sameName(lines[i].name, section)) {
                qsizetype end = i + 1;
                while (end < lines.size() && lines[end].kind != Line::Header)
                    ++end;
                return std::make_pair(i + 1, end);
            }
        }
        return std::nullopt;
    }

    const Line *entry(const QString &section, const QString &key) const
    {
        const auto range = find(section);
        if (!range)
            return nullptr;
        for (qsizetype i = range->first; i < range->second; ++i)
            if (lines[i].kind == Line::Entry && sameName(lines[i].name, key))
                return &lines[i];
        return nullptr;
    }

    QList<Line> lines;
};

QString resolve(const QString &path)
{
    const QString local = toNativeLocal(path);
    if (splitDirFile(path).dir.isEmpty())
        return windowsDir() + local;
    return local;
}

} // namespace

IniFile::IniFile(const QString &path) : m_path(resolve(path)) {}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const Document doc = Document::load(m_path);
    const Line *line = doc.entry(section, key);
    return line ? line->value : defaultValue;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    return strToInt(readString(section, key)).value_or(defaultValue);
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double IniFile::readFloat(const QString &section, const QString &key, double defaultValue) const
{
    return strToFloat(readString(section, key), DecimalInput::CommaOrPoint).value_or(defaultValue);
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');

    Document doc = Document::load(m_path);
    const auto range = doc.find(section);
    if (!range) {
        doc.lines.push_back(parseLine(u'[' + section + u']'));
        doc.lines.push_back(parseLine(key + u'=' + clean));
        return doc.save(m_path);
    }
    qsizetype insertAt = range->first;
    for (qsizetype i = range->first; i < range->second; ++i) {
        Line &line = doc.lines[i];
        if (line.kind == Line::Entry && sameName(line.name, key)) {
            line = parseLine(line.name + u'=' + clean);
            return doc.save(m_path);
        }
        if (!line.text.trimmed().isEmpty())
            insertAt = i + 1;
    }
    // After the section's last non-blank line, so the blank line that
    // separates it from the next section stays where it is.
    doc.lines.insert(insertAt, parseLine(key + u'=' + clean));
    return doc.save(m_path);
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::writeFloat(const QString &section, const QString &key, double value)
{
    return writeString(section, key, core::numberText(value));
}

bool IniFile::sectionExists(const QString &section) const
{
    return Document::load(m_path).find(section).has_value();
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    return Document::load(m_path).entry(section, key) != nullptr;
}

QStringList IniFile::readSections() const
{
    QStringList out;
    for (const Line &line : Document::load(m_path).lines) {
        if (line.kind != Line::Header)
            continue;
        if (!out.contains(line.name, Qt::CaseInsensitive))
            out << line.name;
    }
    return out;
}

QStringList IniFile::readSection(const QString &section) const
{
    QStringList keys;
    for (const auto &entry : readSectionValues(section))
        keys << entry.first;
    return keys;
}

QList<QPair<QString, QString>> IniFile::readSectionValues(const QString &section) const
{
    const Document doc = Document::load(m_path);
    QList<QPair<QString, QString>> out;
    QStringList seen;
    const auto range = doc.find(section);
    if (!range)
        return out;
    for (qsizetype i = range->first; i < range->second; ++i) {
        const Line &line = doc.lines[i];
        // A repeated key is shadowed by the first, as in lookups.
        if (line.kind != Line::Entry || seen.contains(line.name, Qt::CaseInsensitive))
            continue;
        seen << line.name;
        out.append({line.name, line.value});
    }
    return out;
}

bool IniFile::eraseSection(const QString &section)
{
    Document doc = Document::load(m_path);
    bool changed = false;
    while (const auto range = doc.find(section)) {
        doc.lines.remove(range->first - 1, range->second - range->first + 1);
        changed = true;
    }
    return !changed || doc.save(m_path);
}

bool IniFile::deleteKey(const QString &section, const QString &key)
{
    Document doc = Document::load(m_path);
    const auto range = doc.find(section);
    if (!range)
        return true;
    bool changed = false;
    for (qsizetype i = range->second - 1; i >= range->first; --i) {
        if (doc.lines[i].kind == Line::Entry && sameName(doc.lines[i].name, key)) {
            doc.lines.remove(i);
            changed = true;
        }
    }
    return !changed || doc.save(m_path);
}

} // namespace vardof::platform
