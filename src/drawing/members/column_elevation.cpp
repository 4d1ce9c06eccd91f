// The elevation painted from its layout, and the row under a point found in
// the same layout.

#include "drawing/members/column_elevation.h"
#include "drawing/members/elevation_parts.h"

#include "drawing/members/column_elevation_layout.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace members {

using column_elevation::Layout;
using column_elevation::Swatch;

namespace {

// Dark lines on white; blue for the low batch, red for the high one, the
// zones in pale tints of other hues than the highlight's orange.
const QColor kInk(0x20, 0x20, 0x20);
const QColor kText(0x10, 0x10, 0x10);
const QColor kLow(0x1f, 0x5f, 0xbf);
const QColor kHigh(0xc0, 0x2a, 0x2a);
const QColor kNonConnection(0xdc, 0xea, 0xf8);
const QColor kDense(0xb4, 0xdc, 0xa0);
const QColor kBeamFill(0xe2, 0xe2, 0xe2);
const QColor kBeamHatch(0x9c, 0x9c, 0x9c);
const QColor kFoundationFill(0xee, 0xee, 0xee);
const QColor kLeader(0x90, 0x90, 0x90);
const QColor kLevel(0x60, 0x60, 0x60);

QColor batchColour(bool high) {
    return high ? kHigh : kLow;
}

bool isStirrup(const QString& role) {
    return role.contains(QLatin1String("tirrup")) || role == QLatin1String("tie") ||
           role == QLatin1String("hoop");
}

// A beam cut off beside the column: hatched, with a break line at its end.
void drawBeam(QPainter& p, const QRectF& beam, bool breakAtLeft, double pen) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBeamFill);
    p.drawRect(beam);
    p.setBrush(QBrush(kBeamHatch, Qt::BDiagPattern));
    p.drawRect(beam);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, pen * 0.7));
    p.drawLine(beam.topLeft(), beam.topRight());
    p.drawLine(beam.bottomLeft(), beam.bottomRight());
    const double x = breakAtLeft ? beam.left() : beam.right();
    const double zig = std::min(beam.height() / 6, 4.0), mid = beam.center().y();
    const QPointF points[] = {{x, beam.top() - 2},      {x, mid - zig}, {x - zig, mid - zig / 2},
                              {x + zig, mid + zig / 2}, {x, mid + zig}, {x, beam.bottom() + 2}};
    p.drawPolyline(points, 6);
}

void drawLabel(QPainter& p, const Layout& L, const column_elevation::Label& label, bool lit,
               const QColor& highlight, double pen) {
    const elevation_parts::LabelLook look{L.markFont,
                                          L.font,
                                          lit ? highlight : batchColour(label.high),
                                          lit ? highlight : kText,
                                          lit ? highlight : kLeader,
                                          pen,
                                          lit};
    elevation_parts::drawLabel(p, label.box, label.markBox, label.leader, label.mark, label.text,
                               look);
}

void drawSwatch(QPainter& p, const column_elevation::LegendEntry& e, double pen) {
    const double y = e.swatch.center().y();
    switch (e.kind) {
    case Swatch::Low:
    case Swatch::High:
        p.setPen(QPen(batchColour(e.kind == Swatch::High), pen * 1.2));
        p.drawLine(QPointF(e.swatch.left(), y), QPointF(e.swatch.right(), y));
        return;
    case Swatch::Joint:
        p.setPen(QPen(kLow, pen * 1.2));
        p.drawLine(QPointF(e.swatch.center().x(), e.swatch.top() - 2),
                   QPointF(e.swatch.center().x(), e.swatch.bottom() + 2));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRect(QRectF(e.swatch.center().x() - pen * 2.5, y - pen * 1.2, pen * 5, pen * 2.4));
        return;
    case Swatch::NonConnection:
    case Swatch::Dense:
        p.setPen(QPen(kInk, pen * 0.5));
        p.setBrush(e.kind == Swatch::Dense ? kDense : kNonConnection);
        p.drawRect(e.swatch);
        return;
    }
}

double distanceToSegment(const QPointF& q, const QPointF& a, const QPointF& b) {
    const QPointF d = b - a;
    const double length2 = QPointF::dotProduct(d, d);
    const double t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(q - a, d) / length2, 0.0, 1.0) : 0.0;
    const QPointF nearest = a + d * t;
    return std::hypot(q.x() - nearest.x(), q.y() - nearest.y());
}

} // namespace

void paintColumnElevation(QPainter& p, const QRectF& area, const ColumnBars& bars,
                          const ColumnElevationStyle& style) {
    const Layout L = column_elevation::layOut(area, bars, style);
    if (L.area.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(L.area, Qt::white);
    p.setClipRect(L.area, Qt::IntersectClip);
    if (!L.message.isEmpty()) {
        p.setFont(L.font);
        p.setPen(kText);
        p.drawText(L.area, Qt::AlignCenter | Qt::TextWordWrap, L.message);
        p.restore();
        return;
    }
    const double pen = L.barPen;
    const qsizetype highlight = style.highlightRow;
    const QColor& lit = style.highlightColor;

    // The foundation, the zones, the beams, the column's outline.
    if (!L.foundation.isEmpty()) {
        p.setPen(Qt::NoPen);
        p.setBrush(kFoundationFill);
        p.drawRect(L.foundation);
        p.setBrush(QBrush(kBeamHatch, Qt::FDiagPattern));
        p.drawRect(L.foundation);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kInk, pen * 0.8));
        p.drawRect(L.foundation);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(L.column);
    p.setBrush(kNonConnection);
    for (const QRectF& zone : L.nonConnection)
        p.drawRect(zone);
    for (qsizetype i = 0; i < L.beams.size(); ++i)
        drawBeam(p, L.beams[i], i % 2 == 0, pen);
    p.setPen(Qt::NoPen);
    p.setBrush(kDense);
    for (const QRectF& strip : L.dense)
        p.drawRect(strip);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, pen * 0.8, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolygon(L.column);

    // A stirrup row lights its floor's outline.
    if (highlight >= 0 && highlight < bars.rows.size() && isStirrup(bars.rows[highlight].role)) {
        const int floor = bars.rows[highlight].floor;
        p.setPen(QPen(lit, pen * 1.6));
        if (floor < 0 && !L.foundation.isEmpty())
            p.drawRect(L.foundation);
        for (const column_elevation::DrawnFloor& d : L.floors)
            if (d.index == floor)
                p.drawRect(d.body);
    }

    // The 嵌固部位: a heavy line with the ground's hatching under it.
    if (!L.embedment.isNull()) {
        p.setPen(QPen(kInk, pen * 1.6));
        p.drawLine(L.embedment);
        p.setPen(QPen(kInk, pen * 0.5));
        const double s = std::max(3.0, pen * 3), y = L.embedment.y1();
        for (double x = L.embedment.x1() + s; x < L.block.left(); x += s)
            p.drawLine(QPointF(x, y), QPointF(x - s, y + s));
    }
    p.setPen(QPen(kLevel, pen * 0.5, Qt::DashLine));
    for (const QLineF& line : L.levelLines)
        p.drawLine(line);

    // Pieces, the highlighted one last and wider, over the others.
    const auto drawPiece = [&](const column_elevation::DrawnPiece& piece, bool on) {
        const QColor colour = on ? lit : batchColour(piece.high);
        p.setPen(QPen(colour, pen * (on ? 2.2 : 1.0), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        for (const QPolygonF& path : piece.paths)
            p.drawPolyline(path);
        p.setPen(QPen(on ? colour : kInk, pen * 0.6));
        for (const QLineF& tick : piece.lapTicks)
            p.drawLine(tick);
    };
    for (const column_elevation::DrawnPiece& piece : L.pieces)
        if (piece.row != highlight)
            drawPiece(piece, false);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (const column_elevation::JointMark& joint : L.joints) {
        const double w = std::max(3.0, pen * 2.5), h = std::max(1.5, pen * 1.2);
        if (joint.lapped)
            p.drawEllipse(joint.at, h * 1.2, h * 1.2);
        else
            p.drawRect(QRectF(joint.at.x() - w, joint.at.y() - h, 2 * w, 2 * h));
    }
    for (const column_elevation::DrawnPiece& piece : L.pieces)
        if (piece.row == highlight)
            drawPiece(piece, true);

    for (const column_elevation::Label& label : L.labels)
        drawLabel(p, L, label, label.row == highlight, lit, pen);

    p.setFont(L.font);
    p.setPen(kText);
    for (const column_elevation::Text& text : L.texts)
        p.drawText(text.box, text.align, text.text);
    p.drawText(L.caption.box, L.caption.align, L.caption.text);
    for (const column_elevation::LegendEntry& entry : L.legend) {
        drawSwatch(p, entry, pen);
        p.setPen(kText);
        p.drawText(entry.text.box, entry.text.align, entry.text.text);
    }
    p.restore();
}

ColumnElevationFrame columnElevationFrame(const QRectF& area, const ColumnBars& bars,
                                          const ColumnElevationStyle& style) {
    ColumnElevationStyle frameOnly = style;
    frameOnly.labels = false;
    return column_elevation::layOut(area, bars, frameOnly).frame;
}

qsizetype columnElevationRowAt(const QRectF& area, const ColumnBars& bars, const QPointF& point,
                               const ColumnElevationStyle& style) {
    const Layout L = column_elevation::layOut(area, bars, style);
    for (const column_elevation::Label& label : L.labels)
        if (label.box.contains(point))
            return label.row;
    const double reach = std::max(4.0, L.barPen * 2);
    qsizetype best = -1;
    double nearest = reach;
    for (const column_elevation::DrawnPiece& piece : L.pieces)
        for (const QPolygonF& path : piece.paths)
            for (qsizetype i = 1; i < path.size(); ++i) {
                const double d = distanceToSegment(point, path[i - 1], path[i]);
                if (d <= nearest) {
                    nearest = d;
                    best = piece.row;
                }
            }
    return best;
}

} // namespace members
