// vardof convert ORIGINE [DESTINAZIONE] [--salta-prima-riga] [--intestazione] [--carattere C]
//
// The conversion of the window, unattended: no confirmation is asked, the
// anomalies go to standard output (and to Anomalie.txt beside the source, as
// the window writes it), messages to standard error. The conversion reads
// and writes no database, so no work context is built: the command runs
// wherever the files are, with or without a host folder.

#include "commands/Commands.h"

#include "convert/ConversionDefinition.h"
#include "convert/ConversionRun.h"
#include "convert/ConversionTexts.h"
#include "platform/Messages.h"
#include "platform/RunFeedback.h"

#include <QFileInfo>

#include <cstdio>

namespace vardof::app {

namespace {

int convertUsage()
{
    std::fputs("uso: vardof convert ORIGINE [DESTINAZIONE] [--salta-prima-riga] [--intestazione] "
               "[--carattere C]\n",
               stderr);
    return 2;
}

} // namespace

int commandConvert(const QStringList &arguments)
{
    installTerminalMessages();
    convert::ConversionOptions options;
    QStringList paths;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--salta-prima-riga")) {
            options.skipFirstLine = true;
        } else if (arg == QLatin1String("--intestazione")) {
            options.header = true;
        } else if (arg == QLatin1String("--carattere")) {
            if (++i >= arguments.size())
                return convertUsage();
            options.replacement = arguments.at(i);
        } else if (arg.startsWith(QLatin1String("--"))) {
            return convertUsage();
        } else {
            paths << arg;
        }
    }
    if (paths.isEmpty() || paths.size() > 2)
        return convertUsage();

    options.source = QFileInfo(paths.at(0)).absoluteFilePath();
    // Without a destination the converted file lies beside the source.
    const QString destination = paths.size() > 1 ? paths.at(1) : QFileInfo(paths.at(0)).completeBaseName();
    options.destination = convert::withDefaultExtension(
        paths.size() > 1 ? QFileInfo(destination).absoluteFilePath()
                         : QFileInfo(paths.at(0)).absolutePath() + QLatin1Char('/') + destination);

    const QString problem = convert::checkPaths(options);
    if (!problem.isEmpty()) {
        platform::warning(problem);
        return 1;
    }

    TerminalFeedback sink;
    const convert::ConversionResult result = convert::Converti(options, sink);
    if (!result.error.isEmpty())
        platform::error(result.error);
    if (!result.anomaliesFileError.isEmpty())
        platform::error(result.anomaliesFileError);
    // Every file the run had to write must be there: otherwise it failed.
    if (!result.succeeded())
        return 1;
    if (result.anomalyCount == 0)
        printLine(convert::texts::noAnomalies());
    platform::information(convert::texts::completed());
    return 0;
}

} // namespace vardof::app
