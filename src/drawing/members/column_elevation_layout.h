#pragma once

// Where everything of a column's elevation goes, in pixels: worked out once
// and used both to paint and to find the row under the pointer, so the two
// agree.

#include "core/members/column_bars.h"
#include "drawing/members/column_elevation_style.h"

#include <QFont>
#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

namespace members::column_elevation {

constexpr double kHuge = 1e9; // mm; a level beyond is no building's

// Finite and below kHuge.
bool usable(double v);

// One row's pieces as drawn: the low batch at the column's left face, the
// high batch at its right; a row whose alike pieces lie in several lanes
// draws in each.
struct DrawnPiece {
    qsizetype row = -1;
    bool high = false;
    QList<QPolygonF> paths; // foot, vertical with its bends through joints, head
    QPolygonF run;          // the first lane's vertical part, where leaders end
    QList<QLineF> lapTicks; // both ends of a lap with the piece below
};

struct JointMark {
    QPointF at;
    bool high = false;
    bool lapped = false; // a lap's foot rather than a coupler or weld
};

struct Label {
    qsizetype row = -1;
    bool high = false;
    QRectF box;
    QRectF markBox;
    QString mark, text;
    QLineF leader; // null: the label touches its bar
};

struct Text {
    QRectF box;
    QString text;
    int align = Qt::AlignCenter;
};

enum class Swatch { Low, High, NonConnection, Dense, Joint };

struct LegendEntry {
    QRectF swatch;
    Swatch kind = Swatch::Low;
    Text text;
};

// A floor of the column with the faces it is drawn between.
struct DrawnFloor {
    qsizetype index = 0;
    QRectF body; // face to face, floor level to floor level
    double leftFace = 0, rightFace = 0;
};

struct Layout {
    ColumnElevationFrame frame;
    QRectF area;
    QFont font, markFont;
    QString message;        // instead of a drawing
    QRectF block;           // the column with its beams and foundation, bottom to top
    double levelsRight = 0; // the levels' texts end here
    QRectF foundation;      // empty where the outline has none to draw
    QPolygonF column;       // the outline from the foundation top to the top, with its steps
    QList<DrawnFloor> floors;
    QList<QRectF> beams;         // at each floor's top joint, both sides
    QList<QRectF> nonConnection; // inside the faces
    QList<QRectF> dense;         // strips outside both faces
    QLineF embedment;            // the 嵌固部位, across the column and beyond
    QList<QLineF> levelLines;    // from each level's text to the column
    QList<DrawnPiece> pieces;
    QList<JointMark> joints;
    QList<Label> labels;
    QList<Text> texts; // levels, floors, the 嵌固部位, laps
    Text caption;
    QList<LegendEntry> legend;
    double barPen = 1;
};

Layout layOut(const QRectF& area, const ColumnBars& bars, const ColumnElevationStyle& style);

// What the texts need of the layout beyond what it holds.
struct TextRoom {
    double fh = 0;               // the font's height
    double pad = 0;              // at the area's edges
    QList<qsizetype> floorIndex; // the floors drawn, index into the outline's
    bool hasFoundation = false;
    QList<double> lapOfRow; // by row, the lap at its pieces' foot (0: none)
};

// "3层" for the storey "3", "屋面层" for "屋面".
QString floorTitle(const QString& name);

// The legend's entries in rows from `top`, as wide as the area allows.
QList<LegendEntry> legendEntries(const Layout& layout, double top);

// The caption, levels, floors, the 嵌固部位, laps and with `labels` the
// pieces' labels into `layout`'s texts and labels.
void placeTexts(Layout& layout, const ColumnBars& bars, const TextRoom& room, bool labels);

} // namespace members::column_elevation
