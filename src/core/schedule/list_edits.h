#pragma once

#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"

#include <QList>
#include <QString>
#include <QStringList>

// Edits of a cutting list that the window's commands are made of: plain
// functions over the list, without widgets or undo.
namespace schedule {

// The row a new row after `after` starts as: that row's shape, grade and
// diameter and the mark after its mark; the list's default grade and a
// straight bar where there is no row before it.
BarRow rowToFollow(const Member& member, int after, const ListSettings& settings);

// A name for a new member that no member has yet: "构件1", "构件2", ...
QString newMemberName(const CuttingList& list);

enum class SortKey { Mark, Diameter, CutLength };
// Sorts a member's rows, keeping the order of equal ones: marks in natural
// order, diameters from small to large, cut lengths from long to short with
// rows that have no length last. `results` are the member's computed rows.
void sortRows(Member& member, SortKey key, const QList<RowResult>& results);

// Spreadsheet text (tab between cells, a line per row), as Excel and WPS
// put on the clipboard: cells with tabs, line breaks or quotes are quoted
// with doubled quotes. A final line break ends the last row.
QList<QStringList> readTabText(const QString& text);
QString writeTabText(const QList<QStringList>& cells);

} // namespace schedule
