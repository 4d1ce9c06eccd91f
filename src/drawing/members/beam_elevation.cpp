// The elevation painted from its layout, and the row under a point found in
// the same layout.

#include "drawing/members/beam_elevation.h"
#include "drawing/members/elevation_parts.h"

#include "drawing/members/beam_elevation_layout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace members {

using elevation::Family;
using elevation::Layout;

namespace {

// Dark lines on white, one colour per family of bars.
const QColor kInk(0x20, 0x20, 0x20);
const QColor kText(0x10, 0x10, 0x10);
const QColor kColumnFill(0xe2, 0xe2, 0xe2);
const QColor kColumnHatch(0x9c, 0x9c, 0x9c);
const QColor kDense(0xf7, 0xe9, 0xb8);
const QColor kTick(0xbc, 0xbc, 0xbc);
const QColor kLeader(0x90, 0x90, 0x90);

QColor familyColour(Family family) {
    switch (family) {
    case Family::Top:
        return QColor(0x1f, 0x5f, 0xbf);
    case Family::Bottom:
        return QColor(0xc0, 0x2a, 0x2a);
    case Family::Side:
        return QColor(0x22, 0x8a, 0x3a);
    case Family::Stirrup:
        return QColor(0x70, 0x70, 0x70);
    }
    return kInk;
}

double penWidth(const Layout& layout) {
    return std::clamp(QFontMetricsF(layout.font).height() * 0.12, 1.0, 4.0);
}

// A column cut off above and below the beam: its sides and a break line.
void drawColumn(QPainter& p, const QRectF& column, double pen) {
    p.setPen(Qt::NoPen);
    p.setBrush(kColumnFill);
    p.drawRect(column);
    p.setBrush(QBrush(kColumnHatch, Qt::BDiagPattern));
    p.drawRect(column);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, pen * 0.7));
    p.drawLine(column.topLeft(), column.bottomLeft());
    p.drawLine(column.topRight(), column.bottomRight());
    const double zig = std::min(column.width() / 6, 4.0), mid = column.center().x();
    for (double y : {column.top(), column.bottom()}) {
        const QPointF points[] = {{column.left() - 2, y},   {mid - zig, y},
                                  {mid - zig / 2, y - zig}, {mid + zig / 2, y + zig},
                                  {mid + zig, y},           {column.right() + 2, y}};
        p.drawPolyline(points, 6);
    }
}

void drawLabel(QPainter& p, const Layout& layout, const elevation::Label& label, bool highlighted,
               const QColor& highlight, double pen) {
    const elevation_parts::LabelLook look{layout.markFont,
                                          layout.font,
                                          highlighted ? highlight : familyColour(label.family),
                                          highlighted ? highlight : kText,
                                          highlighted ? highlight : kLeader,
                                          pen,
                                          highlighted};
    elevation_parts::drawLabel(p, label.box, label.markBox, label.leader, label.mark, label.text,
                               look);
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

void paintBeamElevation(QPainter& p, const QRectF& area, const BeamBars& bars,
                        const BeamElevationStyle& style) {
    const Layout L = elevation::layOut(area, bars, style);
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
    const double pen = penWidth(L);
    const qsizetype highlight = style.highlightRow;

    // The beam, its dense zones, its outline; then the supports over it.
    p.setPen(Qt::NoPen);
    p.setBrush(kDense);
    for (const QPolygonF& zone : L.dense)
        p.drawPolygon(zone);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, pen * 0.8, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolygon(L.beam);
    for (const QRectF& column : L.columns)
        drawColumn(p, column, pen);

    for (const elevation::Tick& tick : L.ticks) {
        const bool lit = tick.row == highlight;
        p.setPen(QPen(lit ? style.highlightColor : kTick, pen * (lit ? 0.9 : 0.5)));
        p.drawLine(tick.line);
    }

    // Bars, the highlighted one last and wider, over the others.
    const auto drawBar = [&](const elevation::DrawnBar& bar, bool lit) {
        const QColor colour = lit ? style.highlightColor : familyColour(bar.family);
        p.setPen(QPen(colour, pen * (lit ? 2.2 : 1.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        for (const QPolygonF& path : bar.paths)
            p.drawPolyline(path);
        p.setPen(QPen(lit ? colour : kInk, pen * 0.6));
        for (const QLineF& tick : bar.lapTicks)
            p.drawLine(tick);
        p.setBrush(lit ? colour : kInk);
        for (const QRectF& coupler : bar.couplers)
            p.drawRect(coupler);
    };
    for (const elevation::DrawnBar& bar : L.bars)
        if (bar.row != highlight)
            drawBar(bar, false);
    for (const elevation::DrawnBar& bar : L.bars)
        if (bar.row == highlight)
            drawBar(bar, true);

    for (const elevation::Label& label : L.labels)
        drawLabel(p, L, label, label.row == highlight, style.highlightColor, pen);

    // The dimension line, the spans and supports, the caption and legend.
    p.setPen(QPen(kInk, pen * 0.6));
    for (const QLineF& line : L.dimensionLines)
        p.drawLine(line);
    p.setFont(L.font);
    p.setPen(kText);
    for (const elevation::Text& text : L.texts)
        p.drawText(text.box, Qt::AlignCenter, text.text);
    p.drawText(L.caption.box, Qt::AlignLeft | Qt::AlignVCenter, L.caption.text);
    if (!L.scaleBar.isNull()) {
        p.setPen(QPen(kInk, pen));
        p.drawLine(L.scaleBar);
        const double s = L.scaleText.box.height() * 0.25;
        for (const QPointF& end : {L.scaleBar.p1(), L.scaleBar.p2()})
            p.drawLine(end - QPointF(0, s), end + QPointF(0, s));
        p.setPen(kText);
        p.drawText(L.scaleText.box, Qt::AlignLeft | Qt::AlignVCenter, L.scaleText.text);
    }
    for (const elevation::LegendEntry& entry : L.legend) {
        if (entry.dense) {
            p.setPen(QPen(kInk, pen * 0.5));
            p.setBrush(kDense);
            p.drawRect(entry.swatch);
        } else {
            p.setPen(QPen(familyColour(entry.family), pen * 1.2));
            const double y = entry.swatch.center().y();
            p.drawLine(QPointF(entry.swatch.left(), y), QPointF(entry.swatch.right(), y));
        }
        p.setPen(kText);
        p.drawText(entry.text.box, Qt::AlignLeft | Qt::AlignVCenter, entry.text.text);
    }
    p.restore();
}

BeamElevationFrame beamElevationFrame(const QRectF& area, const BeamBars& bars,
                                      const BeamElevationStyle& style) {
    BeamElevationStyle frameOnly = style;
    frameOnly.labels = false;
    frameOnly.stirrupTicks = false;
    return elevation::layOut(area, bars, frameOnly).frame;
}

qsizetype beamElevationRowAt(const QRectF& area, const BeamBars& bars, const QPointF& point,
                             const BeamElevationStyle& style) {
    const Layout L = elevation::layOut(area, bars, style);
    for (const elevation::Label& label : L.labels)
        if (label.box.contains(point))
            return label.row;
    const double reach = std::max(4.0, penWidth(L) * 2);
    qsizetype best = -1;
    double nearest = reach;
    for (const elevation::DrawnBar& bar : L.bars)
        for (const QPolygonF& path : bar.paths)
            for (qsizetype i = 1; i < path.size(); ++i) {
                const double d = distanceToSegment(point, path[i - 1], path[i]);
                if (d <= nearest) {
                    nearest = d;
                    best = bar.row;
                }
            }
    return best;
}

} // namespace members
