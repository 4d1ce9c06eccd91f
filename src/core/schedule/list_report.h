#pragma once

#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"

#include <QByteArray>
#include <QString>

// The computed list as scripts read it (corvala --list --json) and as a
// console shows it.
namespace schedule {

// {"rows":[...],"summary":[...],"totalMass":...}: lengths in mm except the
// totals in m, masses in kg, nothing rounded for display. A row with a
// problem carries "problem" and no computed values.
QByteArray listReportJson(const CuttingList& list, const ComputedList& computed);

// A plain table for the console, lengths in whole mm and masses to 0.01 kg.
QString listReportText(const CuttingList& list, const ComputedList& computed);

} // namespace schedule
