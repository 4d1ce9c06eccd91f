#include "ui/beam/sketch_line.h"

#include "ui/form/twips.h"

#include <QPainter>

namespace {
QPoint toPixels(QPoint twipsPoint) {
    return QPoint(twips::toPixels(twipsPoint.x()), twips::toPixels(twipsPoint.y()));
}
} // namespace

SketchLine::SketchLine(QWidget* frame, const char* name, QPoint fromTwips, QPoint toTwips)
    : QWidget(frame), m_line(toPixels(fromTwips), toPixels(toTwips)) {
    setObjectName(QLatin1String(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The widget covers the pixels the line runs through and one more on
    // every side: at a fractional display scale the pen's device pixels may
    // fall just outside the line's own box, and a box one pixel high would
    // clip a level line away entirely.
    setGeometry(QRect(m_line.p1(), m_line.p2()).normalized().adjusted(-1, -1, 1, 1));
}

void SketchLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(m_line.translated(-pos()));
}
