#include "maintenance/Reporting.h"

#include "platform/Messages.h"
#include "platform/Services.h"

namespace vardof::maintenance {

void Reporter::information(const QString &text)
{
    platform::information(text);
}

void Reporter::warning(const QString &text)
{
    platform::warning(text);
}

void Reporter::error(const QString &text)
{
    platform::error(text);
}

bool Reporter::confirm(const QString &text)
{
    return platform::confirm(text);
}

bool Reporter::confirmWarning(const QString &text)
{
    const platform::Answer a = platform::messages().show(platform::Warning, QString(), text,
                                                          platform::Buttons::YesNo);
    return a == platform::Answer::Yes || a == platform::Answer::Ok;
}

} // namespace vardof::maintenance
