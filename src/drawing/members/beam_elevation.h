#pragma once

#include "core/members/beam_bars.h"
#include "drawing/members/beam_elevation_style.h"

#include <QPointF>
#include <QRectF>

class QPainter;

// A detailed beam's elevation (梁立面图), drawn with a QPainter on any paint
// device, so that a worker checks the bars by eye: the outline with its
// supports and dense zones, every bar along the beam at its height with its
// legs, joints and label. Lengths along the beam are to scale; the depth may
// be drawn larger, as the caption says, so that rows of bars stay apart.
namespace members {

// Fills `area` white and draws the beam in it; a beam whose outline is empty
// (its annotation unreadable) draws "无法绘制：请先修正标注" centred.
void paintBeamElevation(QPainter& painter, const QRectF& area, const BeamBars& bars,
                        const BeamElevationStyle& style = {});

// Where the drawing puts the beam in `area`, as paintBeamElevation draws
// it; not valid for a beam it cannot draw.
BeamElevationFrame beamElevationFrame(const QRectF& area, const BeamBars& bars,
                                      const BeamElevationStyle& style = {});

// The row whose label or bar lies under `point` (the nearest bar within a
// few pixels; stirrups by their labels); -1 where none does. The layout does
// not depend on the highlighted row, so labels stay put as it changes.
qsizetype beamElevationRowAt(const QRectF& area, const BeamBars& bars, const QPointF& point,
                             const BeamElevationStyle& style = {});

} // namespace members
