#pragma once

// How a beam's elevation is drawn, and where it puts the beam: the style a
// window passes and the frame it reads back (beam_elevation.h draws).

#include <QColor>
#include <QFont>
#include <QtGlobal>

namespace members {

struct BeamElevationStyle {
    // The row (index into BeamBars::rows) drawn emphasized; -1: none.
    qsizetype highlightRow = -1;
    QColor highlightColor = QColor(0xff, 0x80, 0x00);
    // How many times the depth is drawn larger than the length; 0: the
    // largest of 1, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10, ... that fits the area.
    double verticalScale = 0;
    // Text size in pixels; 0: by the area's size.
    double fontPixels = 0;
    // The face of the texts; the application's font by default.
    QFont font;
    bool labels = true;
    // Thin lines for the stirrups, as many per span as its stirrup row
    // counts, closer in the dense zones.
    bool stirrupTicks = true;
};

// Where the drawing puts the beam in its area: x along the beam (mm, as in
// BarPlace) to pixels, and the depth below the beam's top (mm) to pixels.
struct BeamElevationFrame {
    bool valid = false; // false: nothing to draw to scale
    double pxPerMm = 0; // along the beam
    double verticalScale = 1;
    double originX = 0; // pixel of x = 0
    double topY = 0;    // pixel of the beam's top

    double xAt(double mm) const { return originX + mm * pxPerMm; }
    double yAt(double depthMm) const { return topY + depthMm * pxPerMm * verticalScale; }
    double mmAt(double px) const { return pxPerMm > 0 ? (px - originX) / pxPerMm : 0; }
};

} // namespace members
