#include "drawing/sketches/shape_sketch.h"

#include "core/schedule/dimension_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace schedule {

namespace {

constexpr double kPi = std::numbers::pi;

// A dimension: the measured points, the side its line lies on (a unit
// vector) and its letter.
struct Dimension {
    QPointF from, to;
    QPointF side;
    QString letter;
};

// A text placed by itself, centred on a point.
struct Note {
    QPointF at;
    QString letter;
};

struct Figure {
    QPainterPath bar;
    QList<Dimension> dimensions;
    QList<Note> notes;
    QPainterPath guides; // thin lines such as an angle's arc
};

void arc(QPainterPath& path, QPointF centre, double radius, double fromDegrees, double sweepDegrees,
         bool moveFirst = false) {
    const int steps = std::max(6, static_cast<int>(std::abs(sweepDegrees) / 10));
    for (int i = 0; i <= steps; ++i) {
        const double t = (fromDegrees + sweepDegrees * i / steps) * kPi / 180;
        const QPointF p = centre + QPointF(radius * std::cos(t), radius * std::sin(t));
        if (i == 0 && moveFirst)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
}

QPointF unit(QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : v;
}

// Model units with y downwards; only the proportions matter.
Figure figureOf(Shape shape, double bentAngle) {
    Figure f;
    const QPointF below(0, 1), above(0, -1), left(-1, 0), right(1, 0);
    switch (shape) {
    case Shape::Straight:
        f.bar.moveTo(0, 0);
        f.bar.lineTo(10, 0);
        f.dimensions << Dimension{{0, 0}, {10, 0}, below, QStringLiteral("A")};
        break;
    case Shape::Hook180: {
        const double r = 0.55;
        f.bar.moveTo(1.1, -2 * r);
        f.bar.lineTo(0, -2 * r);
        arc(f.bar, {0, -r}, r, -90, -180);
        f.bar.lineTo(10, 0);
        arc(f.bar, {10, -r}, r, 90, -180);
        f.bar.lineTo(8.9, -2 * r);
        f.dimensions << Dimension{{-r, 0}, {10 + r, 0}, below, QStringLiteral("A")};
        break;
    }
    case Shape::L:
        f.bar.moveTo(10, 0);
        f.bar.lineTo(10, 3.5);
        f.bar.lineTo(0, 3.5);
        f.dimensions << Dimension{{0, 3.5}, {10, 3.5}, below, QStringLiteral("A")}
                     << Dimension{{10, 0}, {10, 3.5}, right, QStringLiteral("B")};
        break;
    case Shape::U:
        f.bar.moveTo(0, 0);
        f.bar.lineTo(0, 4);
        f.bar.lineTo(10, 4);
        f.bar.lineTo(10, 0);
        f.dimensions << Dimension{{0, 0}, {0, 4}, left, QStringLiteral("A")}
                     << Dimension{{0, 4}, {10, 4}, below, QStringLiteral("B")}
                     << Dimension{{10, 0}, {10, 4}, right, QStringLiteral("C")};
        break;
    case Shape::Bent: {
        const double angle = bentAngle > 0 && bentAngle < 90 ? bentAngle : kDefaultBentAngle;
        const double h = 2.6;
        const double dx = h / std::tan(angle * kPi / 180);
        const QPointF p0(0, 0), p1(3, 0), p2(3 + dx, h), p3(7 + dx, h), p4(7 + 2 * dx, 0),
            p5(10 + 2 * dx, 0);
        f.bar.moveTo(p0);
        for (const QPointF& p : {p1, p2, p3, p4, p5})
            f.bar.lineTo(p);
        const QPointF down = unit(p2 - p1);
        const QPointF up = unit(p4 - p3);
        f.dimensions << Dimension{p0, p1, above, QStringLiteral("A")}
                     << Dimension{p1, p2, QPointF(-down.y(), down.x()), QStringLiteral("B")}
                     << Dimension{p2, p3, below, QStringLiteral("C")}
                     << Dimension{p3, p4, QPointF(-up.y(), up.x()), QStringLiteral("D")}
                     << Dimension{p4, p5, above, QStringLiteral("E")};
        // The slope's angle against the flat, marked at the first bend.
        f.guides.moveTo(p1);
        f.guides.lineTo(p1 + QPointF(2.2, 0));
        arc(f.guides, p1, 1.5, 0, angle, true);
        const double mid = angle / 2 * kPi / 180;
        f.notes << Note{p1 + QPointF(2.9 * std::cos(mid), 2.9 * std::sin(mid)) + QPointF(0.6, 0),
                        QStringLiteral("angle")};
        break;
    }
    case Shape::Stirrup:
        f.bar.addRect(QRectF(0, 0, 8, 6));
        // Both ends at one corner, bent 135° into the stirrup.
        f.bar.moveTo(0, 0.35);
        f.bar.lineTo(1.35, 1.7);
        f.bar.moveTo(0.35, 0);
        f.bar.lineTo(1.7, 1.35);
        f.dimensions << Dimension{{0, 0}, {8, 0}, above, QStringLiteral("A")}
                     << Dimension{{8, 0}, {8, 6}, right, QStringLiteral("B")};
        f.notes << Note{{3.0, 2.3}, QStringLiteral("135°")};
        break;
    case Shape::Tie:
        // The 135° hooks turn back at 45° to the bar.
        f.bar.moveTo(1.4, -1.4);
        f.bar.lineTo(0, 0);
        f.bar.lineTo(10, 0);
        f.bar.lineTo(8.6, -1.4);
        f.dimensions << Dimension{{0, 0}, {10, 0}, below, QStringLiteral("A")};
        f.notes << Note{{5, -1.2}, QStringLiteral("135°")};
        break;
    case Shape::Hoop:
        f.bar.addEllipse(QPointF(5, 5), 5, 5);
        // The lap: the end runs on past the start.
        arc(f.bar, {5, 5}, 4.55, -125, 70, true);
        f.dimensions << Dimension{{0, 5}, {10, 5}, below, QStringLiteral("D")};
        f.notes << Note{{5, -1.3}, QStringLiteral("lap")};
        break;
    case Shape::Spiral: {
        const double pitch = 2.5, height = 10;
        f.bar.moveTo(6, 0);
        f.bar.lineTo(0, 0);
        const int steps = 160;
        for (int i = 1; i <= steps; ++i) {
            const double t = 2 * kPi * (height / pitch) * i / steps;
            f.bar.lineTo(3 - 3 * std::cos(t), pitch * t / (2 * kPi));
        }
        f.bar.lineTo(6, height);
        f.dimensions << Dimension{{0, height}, {6, height}, below, QStringLiteral("D")}
                     << Dimension{{0, 0}, {0, height}, left, QStringLiteral("H")}
                     << Dimension{{6, pitch / 2}, {6, pitch * 1.5}, right, QStringLiteral("P")};
        f.notes << Note{{3, -1.3}, QStringLiteral("N")};
        break;
    }
    }
    return f;
}

QString labelFor(const SketchLabels& labels, const QString& letter) {
    const auto it = labels.byLetter.constFind(letter);
    if (it != labels.byLetter.constEnd() && !it->isEmpty())
        return *it;
    if (letter == QLatin1String("lap"))
        return QStringLiteral("搭接");
    if (letter == QLatin1String("angle"))
        return QStringLiteral("α");
    if (letter == QLatin1String("N"))
        return QStringLiteral("N 平圈");
    return letter;
}

} // namespace

SketchLabels sketchLabelsOf(const BarRow& row) {
    SketchLabels labels;
    labels.bentAngle = row.dimensions.value(QStringLiteral("angle"), kDefaultBentAngle);
    for (const DimensionLabel& label : dimensionLabels(row))
        labels.byLetter.insert(label.letter, label.text);
    return labels;
}

void drawShapeSketch(QPainter& painter, const QRectF& area, Shape shape,
                     const SketchLabels& labels) {
    const Figure f = figureOf(shape, labels.bentAngle);
    const QFontMetricsF metrics(painter.font());
    const double textHeight = metrics.height();
    // From a bar to its dimension line; in a compact picture, to its letter.
    const double gap = labels.compact ? 1.0 : std::max(6.0, textHeight * 0.6);

    // Room around the figure for the dimension lines and their texts.
    double marginLeft = 4, marginRight = 4, marginTop = 4, marginBottom = 4;
    for (const Dimension& d : f.dimensions) {
        const double width = metrics.horizontalAdvance(labelFor(labels, d.letter));
        const double across = labels.compact ? textHeight : gap + textHeight * 1.2;
        const double aside = labels.compact ? width + 3 : gap + width + 8;
        if (d.side.x() < -0.3)
            marginLeft = std::max(marginLeft, aside);
        if (d.side.x() > 0.3)
            marginRight = std::max(marginRight, aside);
        if (d.side.y() < -0.3)
            marginTop = std::max(marginTop, across);
        if (d.side.y() > 0.3)
            marginBottom = std::max(marginBottom, across);
    }
    QRectF bounds = f.bar.boundingRect();
    for (const Note& n : f.notes)
        bounds |= QRectF(n.at, QSizeF(0.01, 0.01));
    if (!f.notes.isEmpty())
        marginTop = std::max(marginTop, textHeight * 0.6);
    const QRectF room = area.adjusted(marginLeft, marginTop, -marginRight, -marginBottom);
    if (room.width() <= 1 || room.height() <= 1 || bounds.width() <= 0)
        return;
    const double scale = std::min(room.width() / std::max(bounds.width(), 1e-6),
                                  room.height() / std::max(bounds.height(), 1e-6));
    const QPointF offset =
        room.center() - QPointF(bounds.center().x() * scale, bounds.center().y() * scale);
    const auto map = [&](QPointF p) { return offset + p * scale; };
    QTransform transform;
    transform.translate(offset.x(), offset.y());
    transform.scale(scale, scale);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    const QColor ink = painter.pen().color();

    if (!labels.compact) {
        painter.setPen(QPen(QColor(120, 120, 120), 1));
        painter.drawPath(transform.map(f.guides));
    }
    painter.setPen(QPen(ink, labels.compact ? 1.6 : std::max(2.0, textHeight / 7), Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(transform.map(f.bar));

    const QPen thin(QColor(90, 90, 90), 1);
    for (const Dimension& d : f.dimensions) {
        const QPointF a = map(d.from), b = map(d.to);
        const QPointF n = unit(d.side);
        const QPointF la = a + n * gap, lb = b + n * gap;
        if (!labels.compact) {
            painter.setPen(thin);
            painter.drawLine(a + n * 3, la + n * 3);
            painter.drawLine(b + n * 3, lb + n * 3);
            painter.drawLine(la, lb);
            // Oblique ticks where the dimension line meets its extension lines.
            const QPointF along = unit(lb - la);
            const QPointF tick = (along + n) * 3.5;
            painter.drawLine(la - tick, la + tick);
            painter.drawLine(lb - tick, lb + tick);
        }
        const QString text = labelFor(labels, d.letter);
        const double width = metrics.horizontalAdvance(text);
        const QPointF mid = (la + lb) / 2;
        QRectF box(0, 0, width + 2, textHeight);
        if (std::abs(n.x()) > 0.3 && std::abs(n.y()) < 0.3)
            box.moveCenter(mid + QPointF(n.x() * (width / 2 + (labels.compact ? 2 : 5)), 0));
        else
            box.moveCenter(mid + n * (textHeight * (labels.compact ? 0.5 : 0.62)) +
                           QPointF(n.x() * width / 2, 0));
        painter.setPen(ink);
        painter.drawText(box, Qt::AlignCenter, text);
    }
    painter.setPen(ink);
    if (!labels.compact) {
        for (const Note& note : f.notes) {
            const QString text = labelFor(labels, note.letter);
            QRectF box(0, 0, metrics.horizontalAdvance(text) + 2, textHeight);
            box.moveCenter(map(note.at));
            painter.drawText(box, Qt::AlignCenter, text);
        }
    }
    painter.restore();
}

QPixmap shapeIcon(Shape shape, const QSize& size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, size.height() / 4));
    painter.setFont(font);
    painter.setPen(Qt::black);
    SketchLabels letters;
    letters.compact = true;
    drawShapeSketch(painter, QRectF(QPointF(0, 0), QSizeF(size)), shape, letters);
    return pixmap;
}

} // namespace schedule
