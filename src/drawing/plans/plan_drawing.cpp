#include "drawing/plans/plan_drawing.h"

#include "core/numbers/number_text.h"
#include "core/plans/list_plan.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace schedule {

namespace {

// Fills of the pieces, alternating so that neighbours stand apart; bars of
// spliced pieces in a warm colour; the kept offcut green, scrap grey.
const QColor kPieceFills[] = {QColor(0xcf, 0xe0, 0xf4), QColor(0xe6, 0xee, 0xf8)};
const QColor kSegmentFill(0xf6, 0xdc, 0xb4);
const QColor kKeptFill(0xe0, 0xf2, 0xd8);
const QColor kKeptHatch(0x3d, 0x8b, 0x37);
const QColor kScrapFill(0xee, 0xee, 0xee);
const QColor kScrapHatch(0x80, 0x80, 0x80);
const QColor kOutline(0x30, 0x30, 0x30);
const QColor kKerf(0x20, 0x20, 0x20);
const QColor kText(0x10, 0x10, 0x10);
const QColor kJoint(0xc0, 0x30, 0x20);

QColor shown(const QColor& colour, bool greyed) {
    if (!greyed)
        return colour;
    // Lighter greys: an out-of-date plan stays readable but recedes.
    const int grey = qGray(colour.rgb());
    const int light = grey + (255 - grey) * 2 / 5;
    return QColor(light, light, light);
}

QString lengthText(double mm) {
    return QString::number(static_cast<long long>(mm + 0.5));
}

// Draws `lines` centred in `box`, the first set of lines that fits whole;
// nothing where none does.
void drawFitting(QPainter& painter, const QRectF& box, const QList<QStringList>& choices) {
    const QFontMetricsF metrics(painter.font());
    const QRectF room = box.adjusted(2, 1, -2, -1);
    for (const QStringList& lines : choices) {
        if (metrics.height() * double(lines.size()) > room.height())
            continue;
        bool fits = true;
        for (const QString& line : lines)
            fits = fits && metrics.horizontalAdvance(line) <= room.width();
        if (!fits)
            continue;
        painter.drawText(room, Qt::AlignCenter, lines.join(QLatin1Char('\n')));
        return;
    }
}

} // namespace

QList<PatternSpan> patternSpans(const plans::Pattern& pattern, long long kerf) {
    QList<PatternSpan> spans;
    double at = 0;
    for (int i = 0; i < pattern.pieces.size(); ++i) {
        if (i > 0 && kerf > 0) {
            spans << PatternSpan{PatternSpan::Kind::Kerf, at, double(kerf), -1};
            at += double(kerf);
        }
        const double length = double(pattern.pieces[i].length);
        spans << PatternSpan{PatternSpan::Kind::Piece, at, length, i};
        at += length;
    }
    double rest = double(pattern.stock) - at;
    if (rest <= 0)
        return spans;
    if (pattern.offcut > 0) {
        // The cut that frees the offcut.
        const double cut = std::max(0.0, rest - double(pattern.offcut));
        if (cut > 0) {
            spans << PatternSpan{PatternSpan::Kind::Kerf, at, cut, -1};
            at += cut;
        }
        spans << PatternSpan{pattern.offcutKept ? PatternSpan::Kind::KeptOffcut
                                                : PatternSpan::Kind::Scrap,
                             at, double(pattern.offcut), -1};
    } else {
        spans << PatternSpan{PatternSpan::Kind::Scrap, at, rest, -1};
    }
    return spans;
}

bool isSpliceSegment(const plans::PlacedPiece& piece) {
    return piece.label.contains(QStringLiteral("接长段"));
}

QString pieceCaption(const plans::PlacedPiece& piece) {
    return piece.label.isEmpty() ? QString::number(piece.length)
                                 : QStringLiteral("%1  %2").arg(piece.label).arg(piece.length);
}

void drawPattern(QPainter& painter, const QRectF& bar, const plans::Pattern& pattern,
                 const PatternDrawingOptions& options) {
    const double scale = double(options.scaleLength > 0 ? options.scaleLength : pattern.stock);
    if (scale <= 0 || bar.width() <= 0 || bar.height() <= 0)
        return;
    const double perMm = bar.width() / scale;
    const bool grey = options.greyed;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRectF whole(bar.left(), bar.top(), double(pattern.stock) * perMm, bar.height());
    const auto spanRect = [&](const PatternSpan& span) {
        return QRectF(bar.left() + span.start * perMm, bar.top(), span.length * perMm,
                      bar.height());
    };

    int shade = 0;
    for (const PatternSpan& span : patternSpans(pattern, options.kerf)) {
        const QRectF r = spanRect(span);
        switch (span.kind) {
        case PatternSpan::Kind::Piece: {
            const plans::PlacedPiece& piece = pattern.pieces[span.piece];
            const QColor fill = isSpliceSegment(piece) ? kSegmentFill : kPieceFills[shade++ % 2];
            painter.fillRect(r, shown(fill, grey));
            painter.setPen(QPen(shown(kOutline, grey), 0));
            painter.drawLine(r.topRight(), r.bottomRight());
            painter.setPen(shown(kText, grey));
            const QString length = QString::number(piece.length);
            QList<QStringList> choices;
            if (!piece.label.isEmpty())
                choices << QStringList{piece.label, length} << QStringList{pieceCaption(piece)};
            choices << QStringList{length};
            drawFitting(painter, r, choices);
            break;
        }
        case PatternSpan::Kind::Kerf:
            painter.fillRect(r, shown(kKerf, grey));
            break;
        case PatternSpan::Kind::KeptOffcut:
        case PatternSpan::Kind::Scrap: {
            const bool kept = span.kind == PatternSpan::Kind::KeptOffcut;
            painter.fillRect(r, shown(kept ? kKeptFill : kScrapFill, grey));
            painter.fillRect(r, QBrush(shown(kept ? kKeptHatch : kScrapHatch, grey),
                                       kept ? Qt::BDiagPattern : Qt::DiagCrossPattern));
            painter.setPen(shown(kText, grey));
            const QString length = lengthText(span.length);
            const QString name = kept ? QStringLiteral("余料") : QStringLiteral("废料");
            // The label on a white ground, so that the hatching never hides it.
            const QFontMetricsF metrics(painter.font());
            for (const QString& text : {name + QLatin1Char(' ') + length, length}) {
                const QSizeF size(metrics.horizontalAdvance(text) + 4, metrics.height());
                if (size.width() > r.width() - 2 || size.height() > r.height())
                    continue;
                const QRectF label(r.center() - QPointF(size.width() / 2, size.height() / 2), size);
                painter.fillRect(label, Qt::white);
                painter.drawText(label, Qt::AlignCenter, text);
                break;
            }
            break;
        }
        }
    }
    painter.setPen(QPen(shown(kOutline, grey), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(whole);
    painter.restore();
}

void drawSplicedPiece(QPainter& painter, const QRectF& rect, const plans::SplicedPiece& spliced,
                      const PatternDrawingOptions& options) {
    const double scale =
        double(options.scaleLength > 0 ? options.scaleLength : std::max(1LL, spliced.length));
    if (rect.width() <= 0 || rect.height() <= 0 || spliced.segments.isEmpty())
        return;
    const double perMm = rect.width() / scale;
    const bool grey = options.greyed;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetricsF metrics(painter.font());
    // Two tracks, so that the bars that overlap at a lap are both seen; the
    // joints' positions written beneath.
    const double labelHeight = std::min(metrics.height() + 2, rect.height() / 3);
    const double trackHeight = (rect.height() - labelHeight) / 2;
    for (int k = 0; k < spliced.segments.size(); ++k) {
        const double start = k == 0 ? 0.0 : double(spliced.joints.value(k - 1));
        const QRectF r(rect.left() + start * perMm, rect.top() + (k % 2) * trackHeight,
                       double(spliced.segments[k]) * perMm, trackHeight);
        painter.fillRect(r, shown(kSegmentFill, grey));
        painter.setPen(QPen(shown(kOutline, grey), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        painter.setPen(shown(kText, grey));
        drawFitting(painter, r,
                    {{QStringLiteral("第 %1 段  %2").arg(k + 1).arg(spliced.segments[k])},
                     {QString::number(spliced.segments[k])}});
    }
    const double labelTop = rect.top() + 2 * trackHeight;
    double freeFrom = rect.left();
    for (const long long joint : spliced.joints) {
        const double x = rect.left() + double(joint) * perMm;
        const double lapWidth = double(spliced.lap) * perMm;
        if (lapWidth > 0)
            painter.fillRect(QRectF(x, rect.top(), lapWidth, 2 * trackHeight),
                             QBrush(shown(kJoint, grey), Qt::Dense6Pattern));
        painter.setPen(QPen(shown(kJoint, grey), 0, Qt::DashLine));
        painter.drawLine(QPointF(x, rect.top()), QPointF(x, labelTop + labelHeight));
        const QString text = QString::number(joint);
        const double width = metrics.horizontalAdvance(text) + 4;
        // Where joints crowd, only those with room are numbered.
        if (x + 2 >= freeFrom && x + 2 + width <= rect.right() + 1) {
            painter.setPen(shown(kJoint, grey));
            painter.drawText(QRectF(x + 2, labelTop, width, labelHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, text);
            freeFrom = x + 2 + width + 4;
        }
    }
    painter.restore();
}

QString groupTitle(const plans::GroupPlan& group) {
    QString title = group.grade.isEmpty() ? QStringLiteral("未分牌号") : group.grade;
    if (group.diameter > 0)
        title += QStringLiteral(" Φ%1").arg(group.diameter);
    return title;
}

QString stockUseText(const plans::StockUse& use) {
    QString text = QStringLiteral("%1 mm × %2 根").arg(use.length).arg(use.count);
    switch (use.source) {
    case plans::StockSource::Bought:
        break;
    case plans::StockSource::OnHand:
        text += QStringLiteral("（库存）");
        break;
    case plans::StockSource::Offcut:
        text += QStringLiteral("（余料）");
        break;
    }
    return text;
}

QString stockToBuyText(const plans::GroupPlan& group) {
    QStringList parts;
    for (const plans::StockUse& s : group.stock)
        parts << stockUseText(s);
    return parts.join(QStringLiteral("、"));
}

QString yuanAmountText(double costUnits) {
    return plans::yuanText(costUnits) + QStringLiteral(" 元");
}

QString metresText(long long mm) {
    const long long magnitude = mm < 0 ? -mm : mm;
    return QStringLiteral("%1%2.%3 m")
        .arg(mm < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 1000)
        .arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

QString utilisationText(double share) {
    return numbers::formatPattern(share * 100, numbers::Pattern::Fixed2) + QLatin1Char('%');
}

QString optimalityText(const plans::GroupPlan& group) {
    if (!group.error.isEmpty())
        return {};
    const long long excess = group.cost - group.leastPossible;
    QString text;
    if (group.pricing != plans::Pricing::None) {
        // The bound is the least cost any plan can have, in money.
        text = QStringLiteral("费用 %1；").arg(yuanAmountText(double(group.cost)));
        text += group.proven ? QStringLiteral("最优（已证明，下界 %1）")
                                   .arg(yuanAmountText(double(group.leastPossible)))
                             : QStringLiteral("下界 %1，与下界相差 %2")
                                   .arg(yuanAmountText(double(group.leastPossible)),
                                        yuanAmountText(double(excess)));
    } else {
        // The bound as stock: the least total of the stock lengths on offer
        // that reaches the LP's bound. No plan buys less.
        const QString bound = QStringLiteral("下界 %1").arg(metresText(group.leastPossible));
        if (group.proven)
            return QStringLiteral("证明最优（%1，没有用料更少的方案）").arg(bound);
        text = QStringLiteral("%1；至多比最优多用 %2 mm（%3）")
                   .arg(bound)
                   .arg(excess)
                   .arg(utilisationText(
                       group.leastPossible > 0 ? double(excess) / double(group.leastPossible) : 0));
    }
    if (group.timedOut && !group.proven)
        text += QStringLiteral("，计算时间已到");
    return text;
}

double drawGroupPlan(QPainter* painter, const QFont& font, const QRectF& area,
                     const plans::GroupPlan& group, const PatternDrawingOptions& options) {
    const QFont used = painter ? painter->font() : font;
    const QFontMetricsF metrics(used);
    const double line = metrics.height();
    const double gap = line * 0.35;
    const bool grey = options.greyed;
    double y = area.top();
    if (painter)
        painter->save();
    const auto text = [&](const QString& words, const QColor& colour, bool bold = false) {
        QFont f = used;
        f.setBold(bold);
        const QFontMetricsF m(f);
        const QRectF box(area.left(), y, area.width(), 1e6);
        const QRectF needed = m.boundingRect(box, Qt::TextWordWrap | Qt::AlignLeft, words);
        if (painter) {
            painter->setFont(f);
            painter->setPen(shown(colour, grey));
            painter->drawText(QRectF(area.left(), y, area.width(), needed.height()),
                              Qt::TextWordWrap | Qt::AlignLeft, words);
            painter->setFont(used);
        }
        y += needed.height();
    };

    text(groupTitle(group), kText, true);
    if (!group.error.isEmpty()) {
        text(QStringLiteral("无法下料：%1").arg(group.error), QColor(0xb0, 0x10, 0x10));
        if (painter)
            painter->restore();
        return y - area.top();
    }
    text(QStringLiteral("原材料：%1").arg(stockToBuyText(group)), kText);
    text(QStringLiteral("原材料总长 %1　料长 %2　余料 %3　废料 %4　利用率 %5")
             .arg(metresText(group.stockLength), metresText(group.piecesLength),
                  metresText(group.keptOffcut), metresText(group.waste),
                  utilisationText(group.utilisation)),
         kText);
    text(optimalityText(group), group.proven ? QColor(0x1d, 0x6b, 0x1d) : kText);

    long long longestSplice = 0;
    for (const plans::SplicedPiece& s : group.splices)
        longestSplice = std::max(longestSplice, s.length);
    for (const plans::SplicedPiece& s : group.splices) {
        y += gap;
        QStringList joints;
        for (long long j : s.joints)
            joints << QString::number(j);
        text(QStringLiteral("接长 %1：%2 mm × %3 根，由 %4 段接成，接头在 %5 mm 处%6")
                 .arg(s.label.isEmpty() ? QStringLiteral("料") : s.label)
                 .arg(s.length)
                 .arg(s.count)
                 .arg(s.segments.size())
                 .arg(joints.join(QStringLiteral("、")))
                 .arg(s.lap > 0 ? QStringLiteral("，每处搭接 %1 mm").arg(s.lap)
                                : QStringLiteral("（机械连接或焊接）")),
             kText);
        const double height = line * 2.6;
        if (painter) {
            PatternDrawingOptions o = options;
            o.scaleLength = longestSplice;
            drawSplicedPiece(*painter, QRectF(area.left(), y, area.width() * 0.9, height), s, o);
        }
        y += height;
    }

    y += gap;
    long long longestStock = 0;
    for (const plans::Pattern& p : group.patterns)
        longestStock = std::max(longestStock, p.stock);
    const double stockWidth = metrics.horizontalAdvance(QStringLiteral("12000 mm")) + line;
    const double countWidth = metrics.horizontalAdvance(QStringLiteral("× 9999 根")) + line;
    const double barWidth = std::max(line, area.width() - stockWidth - countWidth);
    const double rowHeight = line * 2.3;
    for (const plans::Pattern& p : group.patterns) {
        if (painter) {
            painter->setPen(shown(kText, grey));
            painter->drawText(QRectF(area.left(), y, stockWidth - line / 2, rowHeight),
                              Qt::AlignRight | Qt::AlignVCenter,
                              QStringLiteral("%1 mm").arg(p.stock));
            PatternDrawingOptions o = options;
            o.scaleLength = longestStock;
            drawPattern(*painter, QRectF(area.left() + stockWidth, y + 2, barWidth, rowHeight - 4),
                        p, o);
            painter->setPen(shown(kText, grey));
            QFont bold = used;
            bold.setBold(true);
            painter->setFont(bold);
            painter->drawText(
                QRectF(area.left() + stockWidth + barWidth + line / 2, y, countWidth, rowHeight),
                Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("× %1 根").arg(p.count));
            painter->setFont(used);
        }
        y += rowHeight;
    }
    if (painter)
        painter->restore();
    return y - area.top();
}

} // namespace schedule
