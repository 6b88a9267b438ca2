#pragma once

// The demo host environment: what a host installation would have in its
// folder (the user database with the host's own tables and one user of
// company DEMO, the settings folder) and an archive with Italian business
// data to try the tools on.

#include <QString>

#include <functional>

namespace vardof::app {

struct DemoOptions
{
    QString hostDir;  // with a trailing separator
    int rows = 300;   // size of the big tables (articles, customers, orders)
    std::function<void(const QString &)> log;
};

// Throws db::Error or std::runtime_error (Italian text) on failure.
void buildDemo(const DemoOptions &options);

// The archive path the demo gives user 1.
QString demoArchivePath(const QString &hostDir);

} // namespace vardof::app
