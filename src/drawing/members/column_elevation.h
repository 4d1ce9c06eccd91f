#pragma once

#include "core/members/column_bars.h"
#include "drawing/members/column_elevation_style.h"

#include <QPointF>
#include <QRectF>

class QPainter;

// A detailed column's elevation through all its floors (柱立面图), drawn with
// a QPainter on any paint device, so that a worker checks the bars by eye:
// the foundation, each floor between its levels with the beams at its top
// joint, the non-connection and dense zones, the two batches of bars with
// their feet, joints, laps and heads, and a label per piece where there is
// room. Heights are to scale; the width is drawn larger, as the caption
// says, so that the bars stay apart.
namespace members {

// Fills `area` white and draws the column in it; a column whose outline is
// empty (its table unreadable) draws "无法绘制：请先修正柱表" centred.
void paintColumnElevation(QPainter& painter, const QRectF& area, const ColumnBars& bars,
                          const ColumnElevationStyle& style = {});

// Where the drawing puts the column in `area`, as paintColumnElevation draws
// it; not valid for a column it cannot draw.
ColumnElevationFrame columnElevationFrame(const QRectF& area, const ColumnBars& bars,
                                          const ColumnElevationStyle& style = {});

// The row whose label or piece lies under `point` (the nearest piece within
// a few pixels); -1 where none does. The layout does not depend on the
// highlighted row, so labels stay put as it changes.
qsizetype columnElevationRowAt(const QRectF& area, const ColumnBars& bars, const QPointF& point,
                               const ColumnElevationStyle& style = {});

} // namespace members
