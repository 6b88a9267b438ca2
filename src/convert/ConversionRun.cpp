#include "convert/ConversionRun.h"

#include "convert/ConversionDefinition.h"
#include "convert/ConversionTexts.h"
#include "platform/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vardof::convert {

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return QDir::cleanPath(fa.absoluteFilePath()).compare(QDir::cleanPath(fb.absoluteFilePath()),
#ifdef Q_OS_WIN
                                                          Qt::CaseInsensitive
#else
                                                          Qt::CaseSensitive
#endif
                                                          ) == 0;
}

// Passes everything on and writes the anomalies to their file as they come;
// the file is opened at the first one, so a clean run leaves an older
// anomalies file alone.
class AnomaliesFileSink : public platform::RunFeedback
{
public:
    AnomaliesFileSink(platform::RunFeedback &next, const QString &path) : m_next(next), m_file(path) {}
    void line(const QString &text) override
    {
        ++m_count;
        m_next.line(text);
        if (m_file.failed() || (!m_file.isOpen() && !m_file.open()))
            return;
        m_file.writeText(text);
        m_file.write("\r\n", 2);
    }
    void progress(int percent) override { m_next.progress(percent); }
    void keepAlive() override { m_next.keepAlive(); }
    bool interruptRequested() override { return m_next.interruptRequested(); }
    platform::Answer ask(platform::MessageKind kind, const QString &text, platform::Buttons buttons) override
    {
        return m_next.ask(kind, text, buttons);
    }

    qint64 count() const { return m_count; }
    platform::OutputFile &file() { return m_file; }

private:
    platform::RunFeedback &m_next;
    platform::OutputFile m_file;
    qint64 m_count = 0;
};

} // namespace

QString checkPaths(const ConversionOptions &options)
{
    if (options.source.isEmpty() || !QFileInfo(options.source).isFile())
        return texts::sourceMissing();
    if (options.destination.isEmpty())
        return texts::destinationMissing();
    const QString folder = folderOf(options.destination);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        return texts::destinationFolderMissing();
    if (QFileInfo(options.destination).isDir())
        return texts::destinationIsFolder();
    if (sameFile(options.destination, options.source)
        || sameFile(options.destination, definitionPath(options.source))
        || sameFile(options.destination, anomaliesPath(options.source)))
        return texts::destinationClashes();
    return QString();
}

ConversionResult Converti(const ConversionOptions &options, platform::RunFeedback &sink)
{
    ConversionResult result;
    const QString definition = definitionPath(options.source);

    // The mode comes from the definition's first line, read as the engines
    // read it (a definition saved as Unicode included).
    const auto parsed = readDefinitionFile(definition, &result.error);
    if (!parsed)
        return result;

    AnomaliesFileSink anomalies(sink, anomaliesPath(options.source));
    FileConverter converter(options, anomalies);
    result.completed = parsed->mode == ConversionMode::FixedLength
                           ? converter.ConvertiFileLunghezzaFissa(definition)
                           : converter.ConvertiFileCSV(definition);
    result.error = converter.errorMessage();
    result.anomalyCount = anomalies.count();

    if (result.anomalyCount > 0) {
        result.anomaliesFile = anomaliesPath(options.source);
        if (!anomalies.file().commit())
            result.anomaliesFileError =
                texts::anomaliesUnwritable(result.anomaliesFile, anomalies.file().errorString());
    }
    return result;
}

} // namespace vardof::convert
