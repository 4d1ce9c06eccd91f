#pragma once

#include "cli/list_commands.h"

#include <QString>

// corvala --column: a frame column's 列表注写 and storey table detailed floor
// by floor into cutting-list rows on the console, by the same core a window
// will use.
namespace cli {

// The rows of the column in FILE (JSON, docs/columns.md) as a table, or with
// json as the --list --json rows plus role, floor, budgetLength, derivation
// and place, and the problems. A file that cannot be read, or a column of
// which nothing can be detailed, gives its reasons on standard error and
// status 1.
ListOutput answerColumn(const QString& file, bool json);

} // namespace cli
