// The elevation's texts: the caption with its scale, the legend, the spans
// and supports, and a label per bar where one fits without covering another.

#include "drawing/members/beam_elevation_layout.h"
#include "drawing/members/elevation_parts.h"

#include "core/numbers/number_text.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace members::elevation {

namespace {

constexpr qsizetype kMostLabelled = 600;

QString whole(double v) {
    return QString::number(static_cast<qint64>(std::llround(std::clamp(v, -kHuge, kHuge))));
}

bool isStirrup(const QString& role) {
    return role.contains(QLatin1String("tirrup")) || role == QLatin1String("tie");
}

// The texts a bar's label may show, longest first: its bars ("2C25"), then
// its lengths as it lies from left to right, leg, run, leg ("330+8760+264");
// a stirrup's outer sizes ("260×660").
QStringList labelTexts(const BeamRow& row) {
    const schedule::BarRow& bar = row.bar;
    QString amount;
    if (bar.countPerMember > 0 && bar.diameter > 0)
        amount = QString::number(bar.countPerMember) + elevation_parts::gradeSymbol(bar.grade) +
                 QString::number(bar.diameter);
    QStringList sizes;
    if (row.place) {
        const BarPlace& p = *row.place;
        if (p.leg0 > 0)
            sizes << whole(p.leg0);
        sizes << whole(p.x1 - p.x0);
        if (p.leg1 > 0)
            sizes << whole(p.leg1);
    } else {
        for (const QString& letter : {QStringLiteral("A"), QStringLiteral("B")})
            if (bar.dimensions.contains(letter))
                sizes << whole(bar.dimensions.value(letter));
    }
    const QString joined = sizes.join(row.place ? QStringLiteral("+") : QStringLiteral("×"));
    QStringList texts;
    if (!amount.isEmpty() && !joined.isEmpty())
        texts << amount + QLatin1Char(' ') + joined;
    if (!amount.isEmpty())
        texts << amount;
    texts << QString();
    return texts;
}

// Texts placed where nothing placed before lies, found through a grid of
// cells so that thousands of bars stay quick.
struct Placer {
    Layout& layout;
    QFontMetricsF text, mark;
    double fh;
    QList<QRectF> taken;
    double cell = 32;
    int columns = 1, rows = 1;
    std::vector<std::vector<qsizetype>> cells;

    Placer(Layout& l, double fontHeight)
        : layout(l), text(l.font), mark(l.markFont), fh(fontHeight) {
        cell = std::max({32.0, l.area.width() / 256, l.area.height() / 256});
        columns = int(std::ceil(l.area.width() / cell)) + 1;
        rows = int(std::ceil(l.area.height() / cell)) + 1;
        cells.resize(std::size_t(columns) * std::size_t(rows));
    }
    template <typename F> void forCells(const QRectF& r, F&& f) const {
        const auto index = [&](double v, double origin, int count) {
            return int(std::clamp(std::floor((v - origin) / cell), 0.0, double(count - 1)));
        };
        const int c0 = index(r.left(), layout.area.left(), columns),
                  c1 = index(r.right(), layout.area.left(), columns),
                  r0 = index(r.top(), layout.area.top(), rows),
                  r1 = index(r.bottom(), layout.area.top(), rows);
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
        if (!layout.area.contains(box))
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
    // The first of `texts` that fits at one of the places, tops `ys` and
    // centres `xs`, or nothing.
    std::optional<Label> place(const QString& markText, const QStringList& texts,
                               const QList<double>& ys, const QList<double>& xs) {
        const double markWidth = std::max(fh * 1.1, mark.horizontalAdvance(markText) + fh * 0.5);
        for (const QString& t : texts) {
            const double width =
                markWidth + (t.isEmpty() ? 0.0 : fh * 0.3 + text.horizontalAdvance(t) + 2);
            for (double y : ys)
                for (double x : xs) {
                    const QRectF box(x - width / 2, y, width, fh * 1.1);
                    if (!free(box))
                        continue;
                    take(box);
                    Label label;
                    label.box = box;
                    label.markBox = QRectF(box.left(), box.top(), markWidth, box.height());
                    label.mark = markText;
                    label.text = t;
                    return label;
                }
        }
        return std::nullopt;
    }
};

} // namespace

void placeTexts(Layout& L, const BeamBars& bars, const Profile& prof, const TextRoom& room,
                bool labels) {
    const BeamElevationFrame& f = L.frame;
    const BeamOutline& o = bars.outline;
    const QRectF& area = L.area;
    const QFontMetricsF fm(L.font);
    const double fh = room.fh, pad = room.pad, gap = room.gap, bandH = room.bandH,
                 barPen = room.barPen, bottomY = room.bottomY;
    const int bands = room.bands;

    // The caption with the scale, the legend at its right.
    Placer placer(L, fh);
    const QString name = bars.name.isEmpty() ? QString() : bars.name + QLatin1Char(' ');
    const QString scaleText =
        f.verticalScale == 1
            ? QStringLiteral("竖向与水平同比例")
            : QStringLiteral("竖向放大 %1 倍").arg(numbers::generalNumberText(f.verticalScale));
    L.caption.text = name + QStringLiteral("梁立面图　") + scaleText;
    L.caption.box = QRectF(area.left() + pad, area.top() + pad,
                           fm.horizontalAdvance(L.caption.text) + 2, fh * 1.2);
    placer.take(L.caption.box);
    double scaleMm = 1;
    for (double decade = 1; decade < kHuge; decade *= 10)
        for (double s : {1.0, 2.0, 5.0})
            if (s * decade * f.pxPerMm <= std::min(120.0, area.width() / 6))
                scaleMm = s * decade;
    const double barLeft = L.caption.box.right() + fh;
    const double barY = L.caption.box.center().y();
    L.scaleBar = QLineF(barLeft, barY, barLeft + scaleMm * f.pxPerMm, barY);
    L.scaleText.text = scaleMm >= 1000 ? whole(scaleMm / 1000) + QStringLiteral(" m")
                                       : whole(scaleMm) + QStringLiteral(" mm");
    L.scaleText.box = QRectF(L.scaleBar.x2() + fh * 0.4, L.caption.box.top(),
                             fm.horizontalAdvance(L.scaleText.text) + 2, fh * 1.2);
    if (!area.contains(L.scaleText.box))
        L.scaleBar = {}, L.scaleText = {};
    placer.take(L.scaleText.box);
    {
        const QList<std::pair<Family, QString>> entries{
            {Family::Top, QStringLiteral("上部钢筋")},
            {Family::Bottom, QStringLiteral("下部钢筋")},
            {Family::Side, QStringLiteral("侧面钢筋")},
            {Family::Stirrup, QStringLiteral("箍筋加密区")}};
        double x = area.right() - pad;
        QList<LegendEntry> legend;
        for (qsizetype i = entries.size() - 1; i >= 0; --i) {
            LegendEntry entry;
            entry.family = entries[i].first;
            entry.dense = entry.family == Family::Stirrup;
            entry.text.text = entries[i].second;
            const double tw = fm.horizontalAdvance(entry.text.text) + 2;
            entry.text.box = QRectF(x - tw, L.caption.box.top(), tw, fh * 1.2);
            entry.swatch =
                QRectF(x - tw - fh * 1.8, L.caption.box.top() + fh * 0.25, fh * 1.5, fh * 0.7);
            x = entry.swatch.left() - fh;
            legend.prepend(entry);
        }
        const QRectF whole(QPointF(x + fh, L.caption.box.top()),
                           QPointF(area.right() - pad, L.caption.box.bottom()));
        if (placer.free(whole)) {
            L.legend = legend;
            placer.take(whole);
        }
    }

    // The spans and supports under the dimension line.
    const double dimTop = bottomY + gap + bands * bandH;
    const double dimY = dimTop + fh * 1.45;
    L.dimensionLines << QLineF(f.xAt(prof.left), dimY, f.xAt(prof.right), dimY);
    QList<double> marks{prof.left, prof.right};
    marks << o.faceLeft << o.faceRight;
    for (double x : marks) {
        const double s = fh * 0.3;
        L.dimensionLines << QLineF(f.xAt(x) - s, dimY + s, f.xAt(x) + s, dimY - s);
    }
    const auto placeText = [&](const QStringList& choices, double centre, double top) {
        for (const QString& t : choices) {
            const double width = fm.horizontalAdvance(t) + 4;
            const QRectF box(centre - width / 2, top, width, fh * 1.2);
            if (placer.free(box)) {
                placer.take(box);
                L.texts << Text{box, t};
                return;
            }
        }
    };
    const qsizetype supports = o.faceLeft.size();
    for (qsizetype k = 0; k + 1 < supports; ++k) {
        const double ln = o.faceLeft[k + 1] - o.faceRight[k];
        placeText({QStringLiteral("第%1跨 ln=%2").arg(k + 1).arg(whole(ln)),
                   QStringLiteral("ln=%1").arg(whole(ln)), whole(ln)},
                  f.xAt((o.faceRight[k] + o.faceLeft[k + 1]) / 2), dimTop + fh * 0.15);
    }
    for (const auto& [a, b] :
         {std::pair(prof.left, o.faceLeft[0]), std::pair(o.faceRight[supports - 1], prof.right)})
        if (b > a)
            placeText({QStringLiteral("悬挑 l=%1").arg(whole(b - a)), whole(b - a)},
                      f.xAt((a + b) / 2), dimTop + fh * 0.15);
    for (qsizetype k = 0; k < supports; ++k) {
        const double hc = o.faceRight[k] - o.faceLeft[k];
        placeText({QStringLiteral("支座%1 hc=%2").arg(k + 1).arg(whole(hc)),
                   QStringLiteral("支座%1").arg(k + 1), QString::number(k + 1)},
                  f.xAt((o.faceLeft[k] + o.faceRight[k]) / 2), dimY + fh * 0.25);
    }

    // Labels: above the beam for top bars, below it for bottom bars, on
    // their line for side bars, in the span for stirrups; then inside the
    // beam by its faces. Rows in the list's order, those that find no room
    // go without.
    if (!labels)
        return;
    // Texts keep off the bars: straight stretches whole, sloping ones in
    // short pieces.
    for (const DrawnBar& bar : L.bars)
        for (const QPolygonF& path : bar.paths)
            for (qsizetype i = 1; i < path.size(); ++i) {
                const QPointF a = path[i - 1], b = path[i];
                const int pieces = a.y() == b.y() || a.x() == b.x()
                                       ? 1
                                       : std::clamp(int(std::abs(b.x() - a.x()) / 12) + 1, 1, 200);
                for (int k = 0; k < pieces; ++k)
                    placer.take(QRectF(a + (b - a) * (double(k) / pieces),
                                       a + (b - a) * (double(k + 1) / pieces))
                                    .normalized()
                                    .adjusted(-barPen, -barPen, barPen, barPen));
            }
    const double webTop = room.webTop, webBottom = room.webBottom;
    qsizetype labelled = 0;
    for (const DrawnBar& bar : L.bars) {
        if (++labelled > kMostLabelled)
            break;
        const BeamRow& row = bars.rows[bar.row];
        const double a = std::max(bar.run.first().x(), area.left()),
                     b = std::min(bar.run.last().x(), area.right());
        const double c = (a + b) / 2, quarter = (b - a) / 4;
        const QList<double> xs{c, c - quarter, c + quarter, a + fh * 3, b - fh * 3};
        QList<double> ys;
        if (bar.family == Family::Side) {
            const double lineY = bar.run.first().y();
            ys << lineY - fh * 1.1 - barPen * 2 - 1.5 << lineY + barPen * 2 + 1.5;
        }
        for (int k = 0; k < bands; ++k)
            ys << (bar.family == Family::Top ? f.topY - gap - (k + 1) * bandH
                                             : bottomY + gap + k * bandH) +
                      (bandH - fh * 1.1) / 2;
        if (bar.family == Family::Top)
            ys << webTop << webTop + bandH;
        else if (bar.family == Family::Bottom)
            ys << webBottom << webBottom - bandH;
        const QString mark = row.bar.mark.isEmpty() ? QString::number(bar.row + 1) : row.bar.mark;
        std::optional<Label> label = placer.place(mark, labelTexts(row), ys, xs);
        if (!label)
            continue;
        label->row = bar.row;
        label->family = bar.family;
        const QRectF& box = label->box;
        const double x = std::clamp(box.center().x(), a, b);
        const double y = yOn(bar.run, x);
        if (y > box.bottom() + 1)
            label->leader = QLineF(box.center().x(), box.bottom(), x, y);
        else if (y < box.top() - 1)
            label->leader = QLineF(box.center().x(), box.top(), x, y);
        if (bar.family == Family::Side && std::abs(y - box.center().y()) < fh * 1.5)
            label->leader = {};
        L.labels << *label;
    }
    for (qsizetype i = 0; i < bars.rows.size() && labelled <= kMostLabelled; ++i) {
        const BeamRow& row = bars.rows[i];
        const auto zone = stirrupStretch(row, o, prof);
        if (!isStirrup(row.role) || !zone)
            continue;
        ++labelled;
        const double a = f.xAt(zone->first), b = f.xAt(zone->second);
        const double mid = (zone->first + zone->second) / 2;
        const double c = (a + b) / 2,
                     middle = f.topY + prof.depthAt(mid, mid) * room.depthScale / 2 - fh * 0.55;
        QList<double> ys;
        for (int k = 0; k < 4; ++k)
            ys << middle + (k % 2 ? -1 : 1) * ((k + 1) / 2) * bandH;
        const QString mark = row.bar.mark.isEmpty() ? QString::number(i + 1) : row.bar.mark;
        std::optional<Label> label =
            placer.place(mark, labelTexts(row), ys, {c, c - (b - a) / 4, c + (b - a) / 4});
        if (!label)
            continue;
        label->row = i;
        label->family = Family::Stirrup;
        L.labels << *label;
    }
}

} // namespace members::elevation
