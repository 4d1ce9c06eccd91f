#pragma once

#include "cli/list_commands.h"

// corvala --tags FILE --pdf OUT.pdf [--layout 3x7|2x4|100x70|80x50]
// [--bundle N]: the bundle tags (料牌) of a cutting list written as a PDF,
// through the same core and pages as the window's.
namespace cli {

// A file that cannot be read, a layout or bundle size there is none of, a
// list without a row to tag or a PDF that cannot be written gives its
// reason and status 1; so do rows that cannot be worked out, which get no
// tag while the others are written.
ListOutput runTags(const TagOptions& options);

} // namespace cli
