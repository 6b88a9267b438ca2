#pragma once

// INI files read and written the way Windows' private profile functions do,
// so that files shared with the Windows tools keep working both ways:
// section and key names ignore case, a missing file reads as empty, values
// lose surrounding blanks and one pair of surrounding quotes, and a write
// touches only its own line. Bytes are CP1252; lines end in CR LF on write,
// LF alone is accepted on read.
//
// The file is read on every call, never cached, so that changes made by
// other programs are seen at once.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace vardof::platform {

class IniFile
{
public:
    // A bare file name ("VARDOF.INI") means that file in windowsDir(), as
    // for the Windows functions. '\' separators are accepted.
    explicit IniFile(const QString &path);

    // The file actually read and written.
    const QString &path() const { return m_path; }

    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;
    // The default unless the value is a whole integer ("$1F" hex allowed).
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // Integer semantics: "0" is false, any other integer true, the default
    // for anything else ("true" included, as on Windows).
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    // Decimal comma or point.
    double readFloat(const QString &section, const QString &key, double defaultValue) const;

    // Creates the file and the section when missing. Line breaks in the
    // value become blanks: they would split the entry. False when the file
    // cannot be written.
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value); // "1" / "0"
    bool writeFloat(const QString &section, const QString &key, double value);

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    // Names as written in the file, in file order, each once.
    QStringList readSections() const;
    QStringList readSection(const QString &section) const; // the keys
    QList<QPair<QString, QString>> readSectionValues(const QString &section) const;

    // Removes the section with its entries and comments. True when the file
    // is as asked afterwards (also when there was nothing to remove).
    bool eraseSection(const QString &section);
    bool deleteKey(const QString &section, const QString &key);

private:
    QString m_path;
};

} // namespace vardof::platform
