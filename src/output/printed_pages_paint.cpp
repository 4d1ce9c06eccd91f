#include "output/printed_pages.h"

#include "core/plans/planner.h"

#include "output/page_parts.h"

#include "core/schedule/row_columns.h"
#include "drawing/plans/plan_drawing.h"
#include "drawing/sketches/shape_sketch.h"
#include "output/print_fonts.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace output {

using namespace schedule;
using namespace page_parts;

namespace {

void drawCellText(QPainter& painter, const QRectF& cell, const QString& text, Qt::Alignment align) {
    const QRectF inner = cell.adjusted(kCellPad, 0, -kCellPad, 0);
    const QFontMetricsF metrics(painter.font());
    const QString shown = text.contains(QLatin1Char('\n'))
                              ? text
                              : metrics.elidedText(text, Qt::ElideRight, inner.width());
    painter.drawText(inner, static_cast<int>(align | Qt::AlignVCenter), shown);
}

QString summaryCell(const SummaryLine& s, int column) {
    switch (column) {
    case 0:
        return codes::gradeName(s.grade);
    case 1:
        return QString::number(s.diameter);
    case 2:
        return QString::number(s.bars);
    case 3:
        return fixedText(s.totalLengthMm, 3, 3);
    case 4:
        return fixedText(s.totalMassMg, 6, 2);
    default:
        return fixedText(s.totalMassMg, 9, 3);
    }
}

} // namespace

void PrintedPages::paint(QPainter& painter, int pageIndex) const {
    const Layout& l = *m_layout;
    if (pageIndex < 0 || pageIndex >= l.pages.size())
        return;
    const Page& page = l.pages[pageIndex];
    const CuttingList& list = m_printout.list;
    const ComputedList& computed = m_printout.computed;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QPen ink(Qt::black, kThinPen);
    painter.setPen(ink);
    painter.setBrush(Qt::NoBrush);
    const QFont body = printFont(kBodyFont);
    const QFont bold = printFont(kBodyFont, true);
    const QFont small = printFont(kSmallFont);

    // Title block: what this is, of what, when, which page.
    painter.setFont(printFont(kTitleFont, true));
    const bool planPage = page.content.parts.contains(PageContent::Part::Plan);
    painter.drawText(QRectF(0, 0, l.width, 90), Qt::AlignCenter,
                     planPage ? QStringLiteral("钢筋下料优化") : QStringLiteral("钢筋下料单"));
    QStringList members;
    for (const Block& b : page.blocks)
        if (b.member >= 0) {
            const QString& name = list.members[b.member].name;
            if (!members.contains(name))
                members << name;
        }
    QString memberText = members.join(QStringLiteral("、"));
    if (members.isEmpty())
        memberText = page.content.parts.contains(PageContent::Part::Summary)
                         ? QStringLiteral("全部构件（汇总）")
                         : QStringLiteral("—");
    QString whatLine = QStringLiteral("构件：%1").arg(memberText);
    if (planPage) {
        QStringList groups;
        for (int g : page.content.planGroups)
            groups << groupName(m_printout.plan->groups[g]);
        whatLine =
            QStringLiteral("牌号、直径：%1")
                .arg(groups.isEmpty() ? QStringLiteral("—") : groups.join(QStringLiteral("、")));
    }
    painter.setFont(body);
    const double half = l.width / 2;
    drawCellText(
        painter, QRectF(-kCellPad, 110, half + 300, 60),
        QStringLiteral("工程：%1").arg(list.project.isEmpty() ? QStringLiteral("—") : list.project),
        Qt::AlignLeft);
    drawCellText(painter, QRectF(-kCellPad, 175, l.width - 600, 60), whatLine, Qt::AlignLeft);
    drawCellText(
        painter, QRectF(l.width - 600 + kCellPad, 110, 600, 60),
        QStringLiteral("日期：%1").arg(m_printout.date.toString(QStringLiteral("yyyy-MM-dd"))),
        Qt::AlignRight);
    drawCellText(painter, QRectF(l.width - 600 + kCellPad, 175, 600, 60),
                 QStringLiteral("第 %1 页 共 %2 页").arg(pageIndex + 1).arg(l.pages.size()),
                 Qt::AlignRight);
    painter.setPen(QPen(Qt::black, kRulePen));
    painter.drawLine(QPointF(0, 245), QPointF(l.width, 245));

    // Footer: who drew the list up and who checked it sign here.
    const double footer = l.height - kFooterHeight + 30;
    painter.drawLine(QPointF(0, footer), QPointF(l.width, footer));
    painter.setPen(ink);
    painter.setFont(body);
    const double signY = footer + 25;
    painter.drawText(QRectF(0, signY, 150, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("制表："));
    painter.drawLine(QPointF(150, signY + 50), QPointF(550, signY + 50));
    painter.drawText(QRectF(650, signY, 150, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("审核："));
    painter.drawLine(QPointF(800, signY + 50), QPointF(1200, signY + 50));
    painter.setFont(small);
    if (l.width > 1300)
        drawCellText(painter, QRectF(1250, signY, l.width - 1250 + kCellPad, 60),
                     settingsLine(list.settings), Qt::AlignRight);

    const QList<double>& lc = l.listColumns;
    const QList<double>& sc = l.summaryColumns;
    const auto cellOf = [](const QList<double>& columns, int column, const Block& b) {
        return QRectF(columns[column], b.y, columns[column + 1] - columns[column], b.height);
    };
    const auto gridRow = [&](const QList<double>& columns, const Block& b, int from, int to) {
        painter.setPen(ink);
        painter.drawRect(QRectF(columns[from], b.y, columns[to] - columns[from], b.height));
        for (int c = from + 1; c < to; ++c)
            painter.drawLine(QPointF(columns[c], b.y), QPointF(columns[c], b.y + b.height));
    };
    const QBrush shade(QColor(232, 232, 232));

    for (const Block& b : page.blocks) {
        switch (b.kind) {
        case BlockKind::TableHeader: {
            painter.fillRect(QRectF(0, b.y, l.width, b.height), shade);
            gridRow(lc, b, 0, kListColumns);
            painter.setFont(bold);
            for (int c = 0; c < kListColumns; ++c)
                painter.drawText(cellOf(lc, c, b), Qt::AlignCenter,
                                 QString::fromUtf8(kListTable[c].heading));
            break;
        }
        case BlockKind::MemberHeading: {
            // One cell across the table.
            painter.fillRect(QRectF(0, b.y, l.width, b.height), QColor(246, 246, 246));
            painter.setPen(ink);
            painter.drawRect(QRectF(0, b.y, l.width, b.height));
            painter.setFont(bold);
            QString caption = memberCaption(list.members[b.member]);
            if (b.continued)
                caption += QStringLiteral("（续）");
            drawCellText(painter, QRectF(0, b.y, l.width, b.height), caption, Qt::AlignLeft);
            break;
        }
        case BlockKind::Row: {
            const BarRow& row = list.members[b.member].rows[b.row];
            const RowResult& r = computed.results.value(b.member).value(b.row);
            const int mergedFrom = static_cast<int>(ListColumn::CutLength);
            gridRow(lc, b, 0, r.problem ? mergedFrom + 1 : kListColumns);
            if (r.problem)
                painter.drawRect(
                    QRectF(lc[mergedFrom], b.y, lc[kListColumns] - lc[mergedFrom], b.height));
            painter.setFont(body);
            drawCellText(painter, cellOf(lc, 0, b), row.mark, Qt::AlignHCenter);
            drawCellText(painter, cellOf(lc, 2, b), codes::gradeName(row.grade), Qt::AlignHCenter);
            drawCellText(painter, cellOf(lc, 3, b),
                         row.diameter > 0 ? QString::number(row.diameter) : QString(),
                         Qt::AlignHCenter);
            if (r.problem) {
                const QRectF merged(lc[mergedFrom] + kCellPad, b.y,
                                    lc[kListColumns] - lc[mergedFrom] - 2 * kCellPad, b.height);
                painter.drawText(merged, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                                 QStringLiteral("无法计算，未计入合计：%1").arg(r.problem->reason));
            } else {
                drawCellText(painter, cellOf(lc, 4, b), computedText(r, Column::CutLength),
                             Qt::AlignRight);
                drawCellText(painter, cellOf(lc, 5, b), computedText(r, Column::Bars),
                             Qt::AlignRight);
                drawCellText(painter, cellOf(lc, 6, b), computedText(r, Column::TotalLength),
                             Qt::AlignRight);
                drawCellText(painter, cellOf(lc, 7, b), computedText(r, Column::TotalMass),
                             Qt::AlignRight);
            }
            // The sketch as the window draws it, with the row's dimensions.
            const QRectF sketch = cellOf(lc, 1, b).adjusted(10, 8, -10, -8);
            painter.save();
            painter.translate(sketch.topLeft());
            painter.scale(kSketchScale, kSketchScale);
            painter.setFont(printFont(kSketchFont));
            painter.setPen(Qt::black);
            drawShapeSketch(
                painter,
                QRectF(0, 0, sketch.width() / kSketchScale, sketch.height() / kSketchScale),
                row.shape, sketchLabelsOf(row));
            painter.restore();
            break;
        }
        case BlockKind::SummaryHeading: {
            painter.setFont(printFont(40, true));
            painter.drawText(QRectF(0, b.y + 20, l.width, b.height - 20),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             b.continued ? QStringLiteral("汇总（按牌号、直径，续）")
                                         : QStringLiteral("汇总（按牌号、直径）"));
            break;
        }
        case BlockKind::SummaryHeader: {
            painter.fillRect(QRectF(0, b.y, l.width, b.height), shade);
            gridRow(sc, b, 0, kSummaryColumns);
            painter.setFont(bold);
            for (int c = 0; c < kSummaryColumns; ++c)
                painter.drawText(cellOf(sc, c, b), Qt::AlignCenter,
                                 QString::fromUtf8(kSummaryHeadings[c]));
            break;
        }
        case BlockKind::SummaryLine: {
            gridRow(sc, b, 0, kSummaryColumns);
            painter.setFont(body);
            const SummaryLine& s = computed.summary[b.row];
            for (int c = 0; c < kSummaryColumns; ++c)
                drawCellText(painter, cellOf(sc, c, b), summaryCell(s, c),
                             c < 2 ? Qt::AlignHCenter : Qt::AlignRight);
            break;
        }
        case BlockKind::SummaryTotal: {
            gridRow(sc, Block{b.kind, b.y, kSummaryLineHeight}, 0, kSummaryColumns);
            painter.setFont(bold);
            const Block line{b.kind, b.y, kSummaryLineHeight};
            drawCellText(painter, cellOf(sc, 0, line), QStringLiteral("合计"), Qt::AlignHCenter);
            drawCellText(painter, cellOf(sc, 2, line), QString::number(computed.bars),
                         Qt::AlignRight);
            drawCellText(painter, cellOf(sc, 3, line), fixedText(computed.totalLengthMm, 3, 3),
                         Qt::AlignRight);
            drawCellText(painter, cellOf(sc, 4, line), fixedText(computed.totalMassMg, 6, 2),
                         Qt::AlignRight);
            drawCellText(painter, cellOf(sc, 5, line), fixedText(computed.totalMassMg, 9, 3),
                         Qt::AlignRight);
            if (computed.rowsLeftOut > 0) {
                painter.setFont(body);
                painter.drawText(QRectF(0, b.y + kSummaryLineHeight, l.width, kSummaryLineHeight),
                                 Qt::AlignLeft | Qt::AlignVCenter,
                                 QStringLiteral("另有 %1 行有问题，无法计算，未计入合计。")
                                     .arg(computed.rowsLeftOut));
            }
            break;
        }
        case BlockKind::PlanHeading: {
            painter.setFont(printFont(40, true));
            painter.drawText(QRectF(0, b.y, l.width, 60), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("下料方案（按牌号、直径，原料按比例绘制）"));
            painter.setFont(body);
            drawCellText(painter, QRectF(-kCellPad, b.y + 60, l.width + 2 * kCellPad, 45),
                         planSettingsLine(m_printout.planSettings), Qt::AlignLeft);
            if (m_printout.planOutOfDate) {
                painter.setFont(bold);
                drawCellText(painter, QRectF(-kCellPad, b.y + 110, l.width + 2 * kCellPad, 55),
                             QStringLiteral("方案已过期：下料单在方案算出后有改动，以下不是"
                                            "当前下料单的方案，请在“下料优化”中重新计算"),
                             Qt::AlignLeft);
            }
            break;
        }
        case BlockKind::GroupHeading: {
            const plans::GroupPlan& group = m_printout.plan->groups[b.group];
            painter.fillRect(QRectF(0, b.y + 15, l.width, b.height - 25), shade);
            painter.setFont(bold);
            QString caption = groupName(group);
            if (b.continued)
                caption += QStringLiteral("（续）");
            drawCellText(painter, QRectF(0, b.y + 15, l.width, b.height - 25), caption,
                         Qt::AlignLeft);
            break;
        }
        case BlockKind::GroupError: {
            const plans::GroupPlan& group = m_printout.plan->groups[b.group];
            painter.setFont(body);
            drawCellText(painter, QRectF(0, b.y, l.width, b.height),
                         QStringLiteral("无方案：%1").arg(group.error), Qt::AlignLeft);
            break;
        }
        case BlockKind::Pattern:
        case BlockKind::Splice: {
            const plans::GroupPlan& group = m_printout.plan->groups[b.group];
            // One scale for all the stock bars of a group, the longest the
            // full width; another for its spliced pieces, the longest so.
            long long longest = 0;
            if (b.kind == BlockKind::Pattern)
                for (const plans::Pattern& p : group.patterns)
                    longest = std::max(longest, p.stock);
            else
                for (const plans::SplicedPiece& sp : group.splices)
                    longest = std::max(longest, sp.length);
            const QRectF count(0, b.y, kPatternCountWidth, b.height);
            const QRectF aside(l.width - kPatternOffcutWidth, b.y, kPatternOffcutWidth, b.height);
            const double barHeight = b.kind == BlockKind::Pattern ? 70 : 110;
            const QRectF bar(kPatternCountWidth, b.y + (b.height - barHeight) / 2,
                             l.width - kPatternCountWidth - kPatternOffcutWidth - 40, barHeight);
            schedule::PatternDrawingOptions options;
            options.scaleLength = longest;
            options.kerf = m_printout.planSettings.kerf;
            painter.setFont(body);
            painter.setPen(ink);
            if (b.kind == BlockKind::Pattern) {
                const plans::Pattern& pattern = group.patterns[b.row];
                drawCellText(painter, count,
                             QStringLiteral("%1 mm\n× %2 根").arg(pattern.stock).arg(pattern.count),
                             Qt::AlignLeft);
                drawCellText(painter, aside,
                             pattern.offcut == 0 ? QStringLiteral("无余头")
                             : pattern.offcutKept
                                 ? QStringLiteral("余料 %1 mm").arg(pattern.offcut)
                                 : QStringLiteral("废料 %1 mm").arg(pattern.offcut),
                             Qt::AlignLeft);
                painter.setFont(printFont(kSmallFont));
                schedule::drawPattern(painter, bar, pattern, options);
            } else {
                const plans::SplicedPiece& spliced = group.splices[b.row];
                drawCellText(painter, count,
                             QStringLiteral("接长 %1\n%2 mm × %3 根")
                                 .arg(spliced.label)
                                 .arg(spliced.length)
                                 .arg(spliced.count),
                             Qt::AlignLeft);
                drawCellText(painter, aside,
                             spliced.lap > 0 ? QStringLiteral("搭接 %1 mm").arg(spliced.lap)
                                             : QStringLiteral("机械连接"),
                             Qt::AlignLeft);
                painter.setFont(printFont(kSmallFont));
                schedule::drawSplicedPiece(painter, bar, spliced, options);
            }
            painter.setPen(QPen(QColor(190, 190, 190), kThinPen / 2));
            painter.drawLine(QPointF(0, b.y + b.height), QPointF(l.width, b.y + b.height));
            painter.setPen(ink);
            break;
        }
        case BlockKind::GroupTotals: {
            const plans::GroupPlan& group = m_printout.plan->groups[b.group];
            QStringList stock;
            bool allBought = true;
            for (const plans::StockUse& u : group.stock) {
                stock << schedule::stockUseText(u);
                allBought = allBought && u.source == plans::StockSource::Bought;
            }
            const long long bound = std::llround(std::ceil(group.lowerBound - 1e-6));
            QStringList lines{
                QStringLiteral("%1：%2").arg(allBought ? QStringLiteral("需购原料")
                                                       : QStringLiteral("需用原料"),
                                             stock.join(QStringLiteral("，"))),
                QStringLiteral("原料 %1 m，下料 %2 m，保留余料 %3 m，废料 %4 m，利用率 %5")
                    .arg(metres(group.stockLength), metres(group.piecesLength),
                         metres(group.keptOffcut), metres(group.waste), percent(group.utilisation)),
                QStringLiteral("下界 %1 m（%2）；%3")
                    .arg(metres(bound),
                         group.lpSolved ? QStringLiteral("线性规划松弛的最优值")
                                        : QStringLiteral("时间到，线性规划未解完"),
                         group.proven ? QStringLiteral("已证明最优：没有用料更少的方案")
                                      : QStringLiteral("至多比最优多用 %1 mm")
                                            .arg(group.cost - group.leastPossible))};
            // With prices the bound is money: the cost, its bound and the gap.
            if (group.pricing != plans::Pricing::None)
                lines[2] = schedule::optimalityText(group);
            for (int i = 0; i < lines.size(); ++i) {
                painter.setFont(i == 0 ? bold : body);
                drawCellText(painter, QRectF(-kCellPad, b.y + 10 + i * 45, l.width + kCellPad, 45),
                             lines[i], Qt::AlignLeft);
            }
            break;
        }
        case BlockKind::PlanTotal: {
            const plans::Plan& plan = *m_printout.plan;
            painter.setPen(QPen(Qt::black, kRulePen));
            painter.drawLine(QPointF(0, b.y + 20), QPointF(l.width, b.y + 20));
            painter.setPen(ink);
            painter.setFont(bold);
            drawCellText(
                painter, QRectF(-kCellPad, b.y + 30, l.width + kCellPad, 60),
                QStringLiteral("全部：原料 %1 m，下料 %2 m，保留余料 %3 m，废料 %4 m，利用率 %5")
                    .arg(metres(plan.stockLength), metres(plan.piecesLength),
                         metres(plan.keptOffcut), metres(plan.waste), percent(plan.utilisation)),
                Qt::AlignLeft);
            break;
        }
        }
    }
    painter.restore();
}
} // namespace output
