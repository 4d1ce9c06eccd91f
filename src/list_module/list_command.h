#pragma once

#include "cli/list_commands.h"
#include "core/schedule/cutting_list.h"

#include <QString>
#include <QStringList>

#include <optional>

// corvala --list FILE [--non-seismic] [--json]: a cutting-list file or a CSV
// worked out and printed, through the same core as the window.
namespace cli {

// The list in a .cvl file or a cutting list's CSV; what cannot be read is
// added to `output`'s errors, with its status 1.
std::optional<schedule::CuttingList> readList(const QString& path, ListOutput& output);

ListOutput runList(const QString& path, bool nonSeismic, bool json);

} // namespace cli
