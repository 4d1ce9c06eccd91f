#pragma once

#include "core/plans/cutting_plan.h"
#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"

#include <QString>

#include <optional>

// The cutting list as an Excel workbook (.xlsx) for the office: a sheet of
// the rows, one of the totals by grade and diameter and, where the list has
// a cutting plan, one of the plan. Numbers are stored as numbers with their
// display formats, so that the sheets can be summed and sorted.
namespace output {

struct WorkbookContent {
    const schedule::CuttingList* list = nullptr;
    const schedule::ComputedList* computed = nullptr;
    const plans::Plan* plan = nullptr; // none: no plan sheet
    bool planOutOfDate = false;        // the list changed since: said on the plan sheet
};

// Writes the file whole or not at all; the reason in Chinese when it could
// not be written.
std::optional<QString> writeXlsx(const QString& path, const WorkbookContent& content);

// The sheet names, as Excel shows them on the tabs.
QString listSheetName();
QString summarySheetName();
QString planSheetName();

} // namespace output
