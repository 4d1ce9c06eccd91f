#pragma once

// How a column's elevation is drawn, and where it puts the column: the style
// a window passes and the frame it reads back (column_elevation.h draws).

#include <QColor>
#include <QFont>
#include <QtGlobal>

namespace members {

struct ColumnElevationStyle {
    // The row (index into ColumnBars::rows) drawn emphasized; -1: none.
    qsizetype highlightRow = -1;
    QColor highlightColor = QColor(0xff, 0x80, 0x00);
    // How many times the column's width is drawn larger than its height;
    // 0: the largest of 1, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10, ... that keeps
    // the column and its beams within about a third of the area's width.
    double widthScale = 0;
    // Text size in pixels; 0: by the area's size.
    double fontPixels = 0;
    // The face of the texts; the application's font by default.
    QFont font;
    // The pieces' labels (mark, bars, lengths); the levels, floors, caption
    // and legend are drawn either way.
    bool labels = true;
};

// Where the drawing puts the column in its area: the height z (mm of
// structural level, as in PiecePlace) to a pixel row, and a distance across
// the column from its axis (mm, b1 to the left, b2 to the right) to a pixel
// column, widthScale times larger than the height's scale.
struct ColumnElevationFrame {
    bool valid = false; // false: nothing to draw to scale
    double pxPerMm = 0; // along the height
    double widthScale = 1;
    double axisX = 0; // pixel of the column's axis
    double zeroY = 0; // pixel of z = 0

    double yAt(double zMm) const { return zeroY - zMm * pxPerMm; }
    double xAt(double acrossMm) const { return axisX + acrossMm * pxPerMm * widthScale; }
    double zAt(double py) const { return pxPerMm > 0 ? (zeroY - py) / pxPerMm : 0; }
};

} // namespace members
