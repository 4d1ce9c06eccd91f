#pragma once

// What the beam's and the column's elevations draw alike: a bar's grade as
// the atlas writes it, and a bar's label (its mark circled, its text beside,
// a leader to the bar). Only drawing/members/ includes it.

#include "core/codes/steel_grades.h"

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QString>

class QPainter;

namespace members::elevation_parts {

// 22G101-1's bar symbols: A HPB300, B HRB335, C HRB400, D HRB500, with E,
// F (fine-grained) or R (heat-treated) after them.
QString gradeSymbol(codes::SteelGrade grade);

struct LabelLook {
    QFont markFont, font;
    QColor colour;     // the mark's ring and number
    QColor textColour; // the text beside it
    QColor leader;
    double pen = 1;
    bool emphasized = false;
};

// A label on a white ground: the leader (when not null) with a dot at the
// bar, the mark in a rounded ring, the text left-aligned after it.
void drawLabel(QPainter& p, const QRectF& box, const QRectF& markBox, const QLineF& leader,
               const QString& mark, const QString& text, const LabelLook& look);

} // namespace members::elevation_parts
