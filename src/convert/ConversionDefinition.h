#pragma once

// The conversion definition (".conf") that lies beside a source file, and the
// path rules shared by the window, the command line and the wizard.
//
// Everything here works on the file's own single-byte bytes: the source, the
// definition and the destination are all in the Windows code page, so values
// travel from source to destination without being decoded.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace vardof::convert {

enum class ConversionMode { FixedLength, Delimited };

// Both '\' and '/' separate folders: files come from Windows shares as well.
// "C:\dati\prezzi.txt" -> "C:\dati\prezzi.conf"; "prezzi" -> "prezzi.conf".
QString definitionPath(const QString &sourcePath);
// The destination as the user meant it: "out" and "out." both become "out.dat".
QString withDefaultExtension(const QString &destinationPath);
// "C:\dati\prezzi.txt" -> "C:\dati\"; empty when the path names no folder.
QString folderOf(const QString &path);
// "Anomalie.txt" in the source's folder.
QString anomaliesPath(const QString &sourcePath);

// One line of the definition that holds at least one ";".
struct DefinitionLine
{
    int lineNumber = 0;       // in the file, from 1 (the mode line is 1)
    QByteArray text;          // as written, for messages
    QList<QByteArray> values; // every value terminated by ";"
    bool noBlankIni = false;  // the line carried [NOBLANKINI]

    // Missing values read as empty.
    QByteArray value(int index) const { return index < values.size() ? values.at(index) : QByteArray(); }
};

struct DefinitionFile
{
    ConversionMode mode = ConversionMode::Delimited;
    std::vector<DefinitionLine> lines;
};

// The mode comes from the first line only; it is never a definition.
ConversionMode modeOfFirstLine(const QByteArray &firstLine);

// Splits one definition line. Text after the last ";" is dropped, so a line
// without its final ";" loses its last value. [NOBLANKINI] is taken out
// before splitting, wherever it stands.
DefinitionLine parseDefinitionLine(const QByteArray &text, int lineNumber);

DefinitionFile parseDefinition(const QList<QByteArray> &fileLines);

// nullopt, with the Italian reason in *error, when the file cannot be read.
std::optional<DefinitionFile> readDefinitionFile(const QString &path, QString *error);

} // namespace vardof::convert
