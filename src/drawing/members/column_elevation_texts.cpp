// The elevation's texts: caption and legend, the levels and floors at the
// left, the 嵌固部位 and the laps, and a label per piece beside the column,
// each where nothing placed before lies; what finds no room is left out.

#include "drawing/members/column_elevation_layout.h"
#include "drawing/members/elevation_parts.h"

#include "core/numbers/number_text.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace members::column_elevation {

namespace {

constexpr qsizetype kMostLabelled = 400;

QString whole(double v) {
    return QString::number(static_cast<qint64>(std::llround(std::clamp(v, -kHuge, kHuge))));
}

// A level in metres with three decimals, as drawings write them: "-0.050".
QString levelText(double zMm) {
    const qint64 mm = std::llround(std::clamp(zMm, -kHuge, kHuge));
    const qint64 a = mm < 0 ? -mm : mm;
    return QStringLiteral("%1%2.%3")
        .arg(mm < 0 ? QStringLiteral("-") : QString())
        .arg(a / 1000)
        .arg(a % 1000, 3, 10, QLatin1Char('0'));
}

// The texts a piece's label may show, longest first: its bars and its
// lengths as it is bent, foot, vertical, head ("6C25 375+2360"), its bars
// alone, nothing beside the mark.
QStringList labelTexts(const ColumnRow& row) {
    const schedule::BarRow& bar = row.bar;
    QString amount;
    if (bar.countPerMember > 0 && bar.diameter > 0)
        amount = QString::number(bar.countPerMember) + elevation_parts::gradeSymbol(bar.grade) +
                 QString::number(bar.diameter);
    QStringList sizes;
    if (row.place) {
        const PiecePlace& p = *row.place;
        for (double v : {p.foot, p.z1 - p.z0, p.head, p.headDown})
            if (usable(v) && v > 0)
                sizes << whole(v);
    }
    QStringList texts;
    if (!amount.isEmpty() && !sizes.isEmpty())
        texts << amount + QLatin1Char(' ') + sizes.join(QLatin1Char('+'));
    if (!amount.isEmpty())
        texts << amount;
    texts << QString();
    return texts;
}

// Boxes placed where nothing placed before lies, found through a grid of
// cells so that thousands of pieces stay quick.
struct Placer {
    QRectF area;
    double cell = 32;
    int columns = 1, rows = 1;
    QList<QRectF> taken;
    std::vector<std::vector<qsizetype>> cells;

    explicit Placer(const QRectF& a) : area(a) {
        cell = std::max({32.0, a.width() / 256, a.height() / 256});
        columns = int(std::ceil(a.width() / cell)) + 1;
        rows = int(std::ceil(a.height() / cell)) + 1;
        cells.resize(std::size_t(columns) * std::size_t(rows));
    }
    template <typename F> void forCells(const QRectF& r, F&& f) const {
        const auto index = [&](double v, double origin, int count) {
            return int(std::clamp(std::floor((v - origin) / cell), 0.0, double(count - 1)));
        };
        const int c0 = index(r.left(), area.left(), columns),
                  c1 = index(r.right(), area.left(), columns),
                  r0 = index(r.top(), area.top(), rows), r1 = index(r.bottom(), area.top(), rows);
        for (int y = r0; y <= r1; ++y)
            for (int x = c0; x <= c1; ++x)
                if (f(std::size_t(y) * std::size_t(columns) + std::size_t(x)))
                    return;
    }
    void take(const QRectF& r) {
        if (!std::isfinite(r.left() + r.right() + r.top() + r.bottom()))
            return;
        taken << r;
        forCells(r, [&](std::size_t c) {
            cells[c].push_back(taken.size() - 1);
            return false;
        });
    }
    bool free(const QRectF& box) const {
        if (!area.contains(box))
            return false;
        const QRectF padded = box.adjusted(-2, -1, 2, 1);
        bool clear = true;
        forCells(padded, [&](std::size_t c) {
            for (qsizetype i : cells[c])
                if (taken[i].intersects(padded))
                    clear = false;
            return !clear;
        });
        return clear;
    }
    // Takes `box` if it is free.
    bool claim(const QRectF& box) {
        if (!free(box))
            return false;
        take(box);
        return true;
    }
};

// The run's x at pixel row y; its ends' beyond them.
double xOn(const QPolygonF& run, double y) {
    for (qsizetype i = 1; i < run.size(); ++i) {
        const QPointF a = run[i - 1], b = run[i];
        if (y <= std::max(a.y(), b.y()) && y >= std::min(a.y(), b.y()) && a.y() != b.y())
            return a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y());
    }
    return run.isEmpty() ? 0 : (y > run.first().y() ? run.first().x() : run.last().x());
}

} // namespace

QString floorTitle(const QString& name) {
    return name.endsWith(QStringLiteral("层")) ? name : name + QStringLiteral("层");
}

QList<LegendEntry> legendEntries(const Layout& L, double top) {
    const QFontMetricsF fm(L.font);
    const double fh = fm.height(), pad = fh * 0.4;
    const QList<std::pair<Swatch, QString>> kinds{
        {Swatch::Low, QStringLiteral("低位批纵筋")},
        {Swatch::High, QStringLiteral("高位批纵筋")},
        {Swatch::Joint, QStringLiteral("接头")},
        {Swatch::NonConnection, QStringLiteral("非连接区")},
        {Swatch::Dense, QStringLiteral("箍筋加密区")}};
    QList<LegendEntry> entries;
    double x = L.area.left() + pad, y = top;
    for (const auto& [kind, text] : kinds) {
        const double tw = fm.horizontalAdvance(text) + 2, width = fh * 1.9 + tw;
        if (x > L.area.left() + pad && x + width > L.area.right() - pad)
            x = L.area.left() + pad, y += fh * 1.3;
        LegendEntry e;
        e.kind = kind;
        e.swatch = QRectF(x, y + fh * 0.25, fh * 1.5, fh * 0.7);
        e.text =
            Text{QRectF(x + fh * 1.8, y, tw, fh * 1.2), text, Qt::AlignLeft | Qt::AlignVCenter};
        entries << e;
        x += width + fh;
    }
    return entries;
}

void placeTexts(Layout& L, const ColumnBars& bars, const TextRoom& room, bool labels) {
    const ColumnElevationFrame& f = L.frame;
    const ColumnOutline& o = bars.outline;
    const QFontMetricsF fm(L.font), mm(L.markFont);
    const double fh = room.fh;
    Placer placer(L.area);

    const QString name = bars.name.isEmpty() ? QString() : bars.name + QLatin1Char(' ');
    const QString scale =
        f.widthScale == 1
            ? QStringLiteral("横向与竖向同比例")
            : QStringLiteral("横向放大 %1 倍").arg(numbers::generalNumberText(f.widthScale));
    L.caption.text = name + QStringLiteral("柱立面图　") + scale;
    L.caption.box.setWidth(std::min(fm.horizontalAdvance(L.caption.text) + 2, L.area.width()));
    L.caption.align = Qt::AlignLeft | Qt::AlignVCenter;
    placer.take(L.caption.box);
    for (const LegendEntry& e : L.legend)
        placer.take(e.swatch.united(e.text.box));

    // Levels: the number on its line, the line out to the column.
    const double left = L.area.left() + room.pad;
    const auto level = [&](double z, double faceX) {
        if (!usable(z))
            return;
        const QString t = levelText(z);
        const double y = f.yAt(z), w = fm.horizontalAdvance(t) + 2;
        const QRectF box(std::max(left, L.levelsRight - w), y - fh * 1.1, w, fh * 1.1);
        if (!placer.claim(box))
            return;
        L.texts << Text{box, t, Qt::AlignLeft | Qt::AlignBottom};
        const QLineF line(box.left(), y, faceX, y);
        L.levelLines << line;
        placer.take(QRectF(line.p1(), line.p2()).adjusted(0, -1, 0, 1));
    };
    if (!L.floors.isEmpty()) {
        const DrawnFloor& top = L.floors.last();
        level(o.floors[top.index].top, top.leftFace);
        for (const DrawnFloor& d : L.floors)
            level(o.floors[d.index].bottom, d.leftFace);
    }
    if (room.hasFoundation)
        level(o.foundationBottom, L.foundation.left());

    // Floors by name and height, halfway up their clear height or as near
    // it as the levels leave room.
    const auto title = [&](const QStringList& lines, double middle) {
        for (qsizetype n = lines.size(); n > 0; --n) {
            double w = 0;
            for (qsizetype i = 0; i < n; ++i)
                w = std::max(w, fm.horizontalAdvance(lines[i]) + 2);
            const double h = fh * 1.1 * double(n);
            for (double shift : {0.0, -0.5, 0.5, -1.0, 1.0}) {
                const QRectF box(std::max(left, L.levelsRight - w), middle - h / 2 + shift * fh, w,
                                 h);
                if (!placer.claim(box))
                    continue;
                for (qsizetype i = 0; i < n; ++i)
                    L.texts << Text{
                        QRectF(box.left(), box.top() + fh * 1.1 * double(i), w, fh * 1.1), lines[i],
                        Qt::AlignRight | Qt::AlignVCenter};
                return;
            }
        }
    };
    for (const DrawnFloor& d : L.floors) {
        const FloorOutline& fo = o.floors[d.index];
        const double hb =
            usable(fo.beamDepth) ? std::clamp(fo.beamDepth, 0.0, fo.top - fo.bottom) : 0.0;
        title({floorTitle(fo.name), QStringLiteral("h=") + whole(fo.top - fo.bottom)},
              f.yAt((fo.bottom + fo.top - hb) / 2));
    }
    if (room.hasFoundation)
        title({QStringLiteral("基础"),
               QStringLiteral("hj=") + whole(o.foundationTop - o.foundationBottom)},
              L.foundation.center().y());

    // The pieces and joints keep the texts off them. Laps are named inside
    // the column beside their lap.
    for (const DrawnPiece& piece : L.pieces) {
        for (const QPolygonF& path : piece.paths)
            for (qsizetype i = 1; i < path.size(); ++i)
                placer.take(QRectF(path[i - 1], path[i]).normalized().adjusted(-1, -1, 1, 1));
        for (const QLineF& tick : piece.lapTicks)
            placer.take(QRectF(tick.p1(), tick.p2()).normalized().adjusted(-1, -1, 1, 1));
    }
    for (const JointMark& joint : L.joints)
        placer.take(
            QRectF(joint.at - QPointF(fh * 0.3, fh * 0.2), joint.at + QPointF(fh * 0.3, fh * 0.2)));
    std::map<std::pair<bool, qint64>, bool> lapsNamed;
    for (const DrawnPiece& piece : L.pieces) {
        const double lap = piece.row < room.lapOfRow.size() ? room.lapOfRow[piece.row] : 0;
        if (lap <= 0 || piece.paths.isEmpty() || piece.paths.first().size() < 2)
            continue;
        const PiecePlace& p = *bars.rows[piece.row].place;
        if (lapsNamed.count({piece.high, std::llround(p.z0)}))
            continue;
        lapsNamed[{piece.high, std::llround(p.z0)}] = true;
        const QString t = QStringLiteral("搭接 ") + whole(lap);
        const double w = fm.horizontalAdvance(t) + 2, y = f.yAt(p.z0 + lap / 2);
        const double x = piece.paths.first().first().x();
        const QRectF box(piece.high ? x - fh * 0.4 - w : x + fh * 0.4, y - fh * 0.55, w, fh * 1.1);
        const DrawnFloor* inside = nullptr;
        for (const DrawnFloor& d : L.floors)
            if (d.body.contains(box.center()))
                inside = &d;
        if (inside && box.left() > inside->leftFace && box.right() < inside->rightFace &&
            placer.claim(box))
            L.texts << Text{box, t, Qt::AlignCenter};
    }
    placer.take(L.block);

    // The 嵌固部位 at the right of its line.
    if (!L.embedment.isNull()) {
        const QString t = QStringLiteral("嵌固部位");
        const double w = fm.horizontalAdvance(t) + 2, y = L.embedment.y1();
        const double x = L.block.right() + fh * 0.2;
        for (const QRectF& box :
             {QRectF(x, y - fh * 1.15, w, fh * 1.1), QRectF(x, y + fh * 0.05, w, fh * 1.1)}) {
            if (placer.claim(box)) {
                L.texts << Text{box, t, Qt::AlignCenter};
                L.embedment.setP2(QPointF(box.right(), y));
                placer.take(QRectF(L.embedment.p1(), L.embedment.p2()).adjusted(0, -1, 0, 1));
                break;
            }
        }
    }

    // Labels: the low batch's at the left of the column, the high batch's
    // at its right, near the middle of their piece, in the rows' order.
    if (!labels)
        return;
    qsizetype labelled = 0;
    for (const DrawnPiece& piece : L.pieces) {
        if (++labelled > kMostLabelled)
            break;
        const ColumnRow& row = bars.rows[piece.row];
        const QPolygonF& run = piece.run;
        if (run.isEmpty())
            continue;
        const double yLow = run.first().y(), yHigh = run.last().y();
        const double middle = (yLow + yHigh) / 2 - fh * 0.55;
        QList<double> ys{middle};
        for (int k = 1; k <= 8; ++k)
            for (double s : {-1.0, 1.0}) {
                const double y = middle + s * k * fh * 1.2;
                if (y >= yHigh - fh * 0.3 && y + fh * 1.1 <= yLow + fh * 0.3)
                    ys << y;
            }
        const QString mark = row.bar.mark.isEmpty() ? QString::number(piece.row + 1) : row.bar.mark;
        const double markWidth = std::max(fh * 1.1, mm.horizontalAdvance(mark) + fh * 0.5);
        std::optional<Label> found;
        for (const QString& t : labelTexts(row)) {
            const double width =
                markWidth + (t.isEmpty() ? 0.0 : fh * 0.3 + fm.horizontalAdvance(t) + 2);
            for (double y : ys) {
                for (double reach : {fh * 0.6, fh * 2.5}) {
                    const double x =
                        piece.high ? L.block.right() + reach : L.block.left() - reach - width;
                    const QRectF box(x, y, width, fh * 1.1);
                    if (!placer.claim(box))
                        continue;
                    found = Label{piece.row, piece.high,
                                  box,       QRectF(box.left(), box.top(), markWidth, box.height()),
                                  mark,      t,
                                  {}};
                    break;
                }
                if (found)
                    break;
            }
            if (found)
                break;
        }
        if (!found)
            continue;
        const double y = std::clamp(found->box.center().y(), yHigh, yLow);
        const double x = xOn(run, y);
        const double from = piece.high ? found->box.left() : found->box.right();
        found->leader = QLineF(from, found->box.center().y(), x, y);
        placer.take(
            QRectF(found->leader.p1(), found->leader.p2()).normalized().adjusted(0, -1, 0, 1));
        L.labels << *found;
    }
}

} // namespace members::column_elevation
