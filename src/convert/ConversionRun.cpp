#include "convert/ConversionRun.h"

#include "convert/ConversionDefinition.h"
#include "convert/ConversionTexts.h"
#include "platform/TextFile.h"

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

// Passes everything on and keeps the anomalies for the file.
class CollectingSink : public ConversionSink
{
public:
    explicit CollectingSink(ConversionSink &next) : m_next(next) {}
    void anomaly(const QString &text) override
    {
        m_anomalies << text;
        m_next.anomaly(text);
    }
    void progress(int percent) override { m_next.progress(percent); }

    QStringList m_anomalies;

private:
    ConversionSink &m_next;
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
    if (QFileInfo(options.destination).isDir()
        || sameFile(options.destination, options.source)
        || sameFile(options.destination, definitionPath(options.source))
        || sameFile(options.destination, anomaliesPath(options.source)))
        return texts::destinationClashes();
    return QString();
}

ConversionResult Converti(const ConversionOptions &options, ConversionSink &sink)
{
    ConversionResult result;
    const QString definition = definitionPath(options.source);

    QFile file(definition);
    if (!file.exists()) {
        result.error = texts::definitionMissing(definition);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = texts::definitionUnreadable(definition, file.errorString());
        return result;
    }
    QByteArray firstLine = file.readLine();
    file.close();
    while (firstLine.endsWith('\n') || firstLine.endsWith('\r'))
        firstLine.chop(1);

    CollectingSink collecting(sink);
    FileConverter converter(options, collecting);
    result.completed = modeOfFirstLine(firstLine) == ConversionMode::FixedLength
                           ? converter.ConvertiFileLunghezzaFissa(definition)
                           : converter.ConvertiFileCSV(definition);
    result.error = converter.errorMessage();
    result.anomalies = collecting.m_anomalies;

    if (!result.anomalies.isEmpty()) {
        result.anomaliesFile = anomaliesPath(options.source);
        if (!platform::writeTextLines(result.anomaliesFile, result.anomalies))
            result.anomaliesFileError = texts::anomaliesUnwritable(result.anomaliesFile);
    }
    return result;
}

} // namespace vardof::convert
