#pragma once

#include "cli/list_commands.h"

#include <QString>

#include <optional>

// corvala --cut FILE [--stock 12000,9000:40] [--kerf MM] [--keep-offcut MM]
// [--splice none|coupler|lap:MM|lap:Nd|lap:rules] [--json]: the cutting plan
// of a cutting-list file or of a CSV of pieces, as the list window's 下料优化
// page makes it.
namespace cli {

ListOutput runCut(const CutOptions& options);

} // namespace cli
