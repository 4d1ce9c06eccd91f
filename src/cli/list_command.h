#pragma once

#include <QString>
#include <QStringList>

// corvala --list FILE [--non-seismic] [--json]: a cutting-list file or a CSV
// worked out and printed, through the same core as the window.
namespace cli {

struct ListOutput {
    int status = 0;
    QString out;
    QStringList errors; // one line each, for standard error
};

ListOutput runList(const QString& path, bool nonSeismic, bool json);

} // namespace cli
