#pragma once

// Where everything of a beam's elevation goes, in pixels: worked out once and
// used both to paint and to find the row under the pointer, so the two agree.

#include "drawing/members/beam_elevation_outline.h"
#include "drawing/members/beam_elevation_style.h"

#include <QFont>
#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

namespace members::elevation {

enum class Family { Top, Bottom, Side, Stirrup };

struct DrawnBar {
    qsizetype row = -1;
    Family family = Family::Top;
    QList<QPolygonF> paths; // the run with its legs; side bars one per level
    QList<QLineF> lapTicks; // the ends of a lap with the piece before
    QList<QRectF> couplers; // where a piece meets the one before end to end
    QPolygonF run;          // the first level's run alone, where leaders end
};

struct Label {
    qsizetype row = -1;
    Family family = Family::Top;
    QRectF box;
    QRectF markBox; // the mark's circle (or rounded box for longer marks)
    QString mark, text;
    QLineF leader; // null: the label sits on its bar
};

struct Text {
    QRectF box;
    QString text;
};

struct Tick {
    qsizetype row = -1; // the stirrup row it stands for
    QLineF line;
};

struct LegendEntry {
    QRectF swatch;
    Family family = Family::Top;
    bool dense = false; // a box for the dense zones rather than a line
    Text text;
};

struct Layout {
    BeamElevationFrame frame;
    QRectF area;
    QFont font, markFont;
    QString message; // instead of a drawing
    QPolygonF beam;
    QList<QRectF> columns;  // support blocks, beyond the beam by a stub
    QList<QPolygonF> dense; // dense zones between the beam's lines
    QList<Tick> ticks;
    QList<DrawnBar> bars;
    QList<Label> labels;
    QList<QLineF> dimensionLines; // the line and its ticks
    QList<Text> texts;            // spans and supports
    Text caption, scaleText;
    QLineF scaleBar;
    QList<LegendEntry> legend;
};

Layout layOut(const QRectF& area, const BeamBars& bars, const BeamElevationStyle& style);

// What the texts need of the drawing's measures, in pixels.
struct TextRoom {
    double fh = 0; // the font's height
    double pad = 0, gap = 0, bandH = 0, barPen = 0;
    int bands = 0;                    // rows of labels above and below the beam
    double bottomY = 0;               // the deepest bottom
    double webTop = 0, webBottom = 0; // between the top and the bottom bars' rows
    double depthScale = 0;            // pixels per mm of depth
};

// The caption, legend, spans and supports, and with `labels` the bars'
// labels, into `layout`'s texts.
void placeTexts(Layout& layout, const BeamBars& bars, const Profile& profile, const TextRoom& room,
                bool labels);

// The y of `run` at x; its end's beyond its ends.
double yOn(const QPolygonF& run, double x);

} // namespace members::elevation
