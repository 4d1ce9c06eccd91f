#pragma once

#include <QLine>
#include <QPoint>
#include <QWidget>

// One straight line of a bar sketch, drawn between two points given in twips
// in its frame's coordinates. It only paints: clicks pass through to what lies
// beneath, and it never takes the focus.
class SketchLine : public QWidget {
public:
    SketchLine(QWidget* frame, const char* name, QPoint fromTwips, QPoint toTwips);

    // The line's end points in pixels, in the frame's coordinates.
    QLine line() const { return m_line; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine m_line;
};
