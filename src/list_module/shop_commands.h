#pragma once

#include "cli/list_commands.h"

// The bending shop's commands: corvala --bvbs FILE [-o OUT.abs] [--pinyin]
// writes the list as a bender file; corvala --cutting-sheet FILE.cvl
// --pdf OUT | --xlsx OUT writes the cutting sheet of the plan saved with it.
namespace cli {

ListOutput runBvbs(const BvbsOptions& options);
ListOutput runCuttingSheet(const CuttingSheetOptions& options);

} // namespace cli
