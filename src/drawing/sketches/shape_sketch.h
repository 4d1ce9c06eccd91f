#pragma once

#include "core/schedule/cutting_list.h"
#include "core/schedule/shapes.h"

#include <QMap>
#include <QRectF>
#include <QString>

class QPainter;
class QPixmap;
class QSize;

// The sketch (简图) of a bar shape: the bar drawn schematically, not to
// scale, with a dimension line for each of its letters. Draws on any
// painter, so that a window, an icon and a printed page share it.
namespace schedule {

struct SketchLabels {
    // Text by dimension letter, for example "A" → "A=5000"; a letter left
    // out is drawn as the letter alone ("lap" as 搭接, "angle" as α).
    QMap<QString, QString> byLetter;
    // The slope of a bent-up bar, in degrees, as drawn.
    double bentAngle = kDefaultBentAngle;
    // Letters beside the bar without dimension lines, for small pictures.
    bool compact = false;
};

// The row's dimensions as the sketch labels them ("A=5000", "α=45°").
SketchLabels sketchLabelsOf(const BarRow& row);

// Draws within `area` with the painter's font; the painter is left as it was.
void drawShapeSketch(QPainter& painter, const QRectF& area, Shape shape,
                     const SketchLabels& labels = {});

// A small picture of the shape with its letters, for lists to choose from.
QPixmap shapeIcon(Shape shape, const QSize& size, qreal devicePixelRatio);

} // namespace schedule
