#pragma once

#include "cli/list_commands.h"

#include <QString>

// corvala --beam: a beam's flat-method annotation detailed into cutting-list
// rows on the console, by the same core a window will use.
namespace cli {

// The rows of the beam in FILE (JSON, docs/beams.md) as a table, or with
// json as the --list --json rows plus role, span, support, budgetLength and
// derivation, and the problems. A file that cannot be read, or a beam of
// which nothing can be detailed, gives its reasons on standard error and
// status 1.
ListOutput answerBeam(const QString& file, bool json);

} // namespace cli
