#pragma once

#include "output/printed_pages.h"

#include <QString>

#include <optional>

// The printed pages as a PDF file: text kept as text, the fonts embedded.
namespace output {

// Writes the file whole or not at all; the reason in Chinese when it could
// not be written.
std::optional<QString> writePdf(const QString& path, const Printout& printout,
                                const PageChoice& choice);

} // namespace output
