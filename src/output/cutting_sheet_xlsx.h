#pragma once

#include "core/shop/cutting_sheet.h"

#include <QString>

#include <optional>

// The cutting sheet as an Excel workbook: a sheet for each grade and
// diameter ("HRB400 Φ25"), one row a cut in cutting order with its stock
// bar's pattern beside its first cut, then the offcuts kept and the stock
// to take.
namespace output {

// Writes the file whole or not at all; the reason in Chinese when it could
// not be written.
std::optional<QString> writeCuttingSheetXlsx(const QString& path, const shop::CuttingSheet& sheet);

// The worksheet's name for a group, as Excel shows it on the tab.
QString cuttingSheetTabName(const shop::SheetGroup& group);

} // namespace output
