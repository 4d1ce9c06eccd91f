#include "beam/sketch_line.h"

#include "form/twips.h"

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
    // The widget covers exactly the pixels the line runs through.
    setGeometry(QRect(m_line.p1(), m_line.p2()).normalized());
}

void SketchLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(m_line.translated(-pos()));
}
