#include "output/printed_pages.h"

#include "output/print_fonts.h"
#include "schedule/plan_drawing.h"
#include "schedule/row_columns.h"
#include "schedule/shape_sketch.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace output {

using namespace schedule;

namespace {

// Heights in page units (0.1 mm).
constexpr double kTitleHeight = 260;
constexpr double kFooterHeight = 110;
constexpr double kTableHeaderHeight = 100;
constexpr double kMemberHeadingHeight = 70;
constexpr double kRowHeight = 160;
constexpr double kSummaryHeadingHeight = 110;
constexpr double kSummaryHeaderHeight = 80;
constexpr double kSummaryLineHeight = 70;
constexpr double kPlanHeadingHeight = 110;
constexpr double kGroupHeadingHeight = 90;
constexpr double kPatternHeight = 130;
constexpr double kSpliceHeight = 160;
constexpr double kGroupTotalsHeight = 160;
// The pattern's columns: how many bars, the bar to scale, its offcut.
constexpr double kPatternCountWidth = 300;
constexpr double kPatternOffcutWidth = 260;

// Font sizes in page units: 32 is about 9 pt.
constexpr int kBodyFont = 32;
constexpr int kSmallFont = 27;
constexpr int kTitleFont = 56;
// The sketch is drawn at a quarter of a millimetre per unit, the scale of a
// screen it was drawn for, so its pens and gaps keep their proportions.
constexpr double kSketchScale = 2.5;
constexpr int kSketchFont = 10;

constexpr double kThinPen = 2;  // 0.2 mm
constexpr double kRulePen = 4;  // 0.4 mm
constexpr double kCellPad = 12; // 1.2 mm

enum class ListColumn { Mark, Sketch, Grade, Diameter, CutLength, Bars, TotalLength, TotalMass };
constexpr int kListColumns = 8;

struct TableColumn {
    const char* heading;
    double widthMm; // 0: the sketch, which takes what is left
};

const TableColumn kListTable[kListColumns] = {
    {"编号", 16},           {"简图（尺寸 mm）", 0}, {"牌号", 20},      {"直径\n(mm)", 14},
    {"下料长度\n(mm)", 20}, {"根数", 15},           {"总长\n(m)", 21}, {"总质量\n(kg)", 23},
};

const char* const kSummaryHeadings[] = {"牌号",    "直径(mm)",   "根数",
                                        "总长(m)", "总质量(kg)", "总质量(t)"};
constexpr int kSummaryColumns = 6;

enum class BlockKind {
    TableHeader,
    MemberHeading,
    Row,
    SummaryHeading,
    SummaryHeader,
    SummaryLine,
    SummaryTotal,
    PlanHeading,
    GroupHeading,
    GroupError,
    Pattern,
    Splice,
    GroupTotals,
    PlanTotal,
};

struct Block {
    BlockKind kind;
    double y = 0;
    double height = 0;
    int member = -1;
    int row = -1; // the row, the summary's line, or the group's pattern or splice
    bool continued = false;
    int group = -1; // of the plan
};

struct Page {
    QList<Block> blocks;
    PageContent content;
};

QString memberCaption(const Member& member) {
    const QString name = member.name.isEmpty() ? QStringLiteral("（未命名）") : member.name;
    return QStringLiteral("构件 %1 × %2 件").arg(name).arg(member.count);
}

QString settingsLine(const ListSettings& settings) {
    return QStringLiteral("%1，下料长度取整到 %2 mm")
        .arg(settings.seismic ? QStringLiteral("抗震箍筋弯钩 10d")
                              : QStringLiteral("非抗震箍筋弯钩 5d"))
        .arg(static_cast<int>(settings.rounding));
}

QString groupName(const plans::GroupPlan& group) {
    QString name = group.grade.isEmpty() ? QStringLiteral("（未分牌号）") : group.grade;
    if (group.diameter > 0)
        name += QStringLiteral(" Φ%1").arg(group.diameter);
    return name;
}

QString metres(long long mm) {
    return fixedText(mm, 3, 3);
}

QString percent(double share) {
    return fixedText(std::llround(share * 10000), 2, 2) + QLatin1Char('%');
}

QString planSettingsLine(const plans::PlanSettings& settings) {
    QStringList stock;
    for (const plans::StockLength& s : settings.stock)
        stock << (s.available ? QStringLiteral("%1（现有 %2 根）").arg(s.length).arg(*s.available)
                              : QString::number(s.length));
    QString line = QStringLiteral("原料长度 %1 mm；锯口 %2 mm；")
                       .arg(stock.join(QStringLiteral("、")))
                       .arg(settings.kerf);
    line +=
        settings.keepOffcut > 0
            ? QStringLiteral("余头不短于 %1 mm 作余料保留，更短的为废料").arg(settings.keepOffcut)
            : QStringLiteral("余头均为废料");
    return line;
}

} // namespace

struct PrintedPages::Layout {
    double width = 0;
    double height = 0;
    double contentTop = kTitleHeight;
    double contentBottom = 0;
    QList<double> listColumns;    // left edges, and the right edge last
    QList<double> summaryColumns; // the same
    QList<Page> pages;
};

namespace {

QList<double> edges(const QList<double>& widths) {
    QList<double> out{0};
    for (double w : widths)
        out << out.back() + w;
    return out;
}

QList<double> listColumnWidths(double width) {
    double fixed = 0;
    for (const TableColumn& c : kListTable)
        fixed += c.widthMm * kUnitsPerMm;
    // The sketch takes what is left, up to 90 mm; wider paper widens all.
    const double sketchMost = 90.0 * kUnitsPerMm;
    const double sketch = std::min(sketchMost, std::max(0.0, width - fixed));
    const double spread = (width - fixed - sketch) / fixed;
    QList<double> widths;
    for (const TableColumn& c : kListTable)
        widths << (c.widthMm > 0 ? c.widthMm * kUnitsPerMm * (1 + spread) : sketch);
    return widths;
}

} // namespace

PrintedPages::PrintedPages(const Printout& printout, const QSizeF& areaMm)
    : m_printout(printout), m_layout(std::make_unique<Layout>()) {
    Layout& l = *m_layout;
    l.width = areaMm.width() * kUnitsPerMm;
    l.height = areaMm.height() * kUnitsPerMm;
    l.contentBottom = l.height - kFooterHeight;
    l.listColumns = edges(listColumnWidths(l.width));
    l.summaryColumns = edges(QList<double>(kSummaryColumns, l.width / kSummaryColumns));

    double y = 0;
    bool tableOpen = false;
    const auto newPage = [&](PageContent::Part part) {
        l.pages.append(Page{});
        l.pages.back().content.parts << part;
        y = l.contentTop;
        tableOpen = false;
    };
    const auto place = [&](Block block) {
        block.y = y;
        y += block.height;
        Page& page = l.pages.back();
        page.blocks << block;
        if (block.kind == BlockKind::Row)
            page.content.rows << std::pair{block.member, block.row};
        if (block.kind == BlockKind::SummaryLine || block.kind == BlockKind::SummaryTotal)
            ++page.content.summaryLines;
    };
    const auto room = [&] { return l.contentBottom - y; };
    const auto pageIsEmpty = [&] { return l.pages.back().blocks.isEmpty(); };
    const auto markPart = [&](PageContent::Part part) {
        QList<PageContent::Part>& parts = l.pages.back().content.parts;
        if (!parts.contains(part))
            parts << part;
    };

    // The list: the table header at the top of every page, each member's
    // heading kept with its first row and repeated where it runs on; no
    // row is ever split.
    newPage(PageContent::Part::List);
    const CuttingList& list = printout.list;
    for (int m = 0; m < list.members.size(); ++m) {
        const int rows = static_cast<int>(list.members[m].rows.size());
        for (int r = 0; r < std::max(rows, 1); ++r) {
            const auto blocksBefore = [&] {
                QList<Block> before;
                if (!tableOpen)
                    before << Block{BlockKind::TableHeader, 0, kTableHeaderHeight};
                if (r == 0 || !tableOpen)
                    before << Block{
                        BlockKind::MemberHeading, 0, kMemberHeadingHeight, m, -1, r > 0};
                return before;
            };
            const auto needed = [&](const QList<Block>& before) {
                double h = r < rows ? kRowHeight : 0;
                for (const Block& b : before)
                    h += b.height;
                return h;
            };
            QList<Block> before = blocksBefore();
            if (needed(before) > room() && !pageIsEmpty()) {
                newPage(PageContent::Part::List);
                before = blocksBefore();
            }
            for (const Block& b : before)
                place(b);
            tableOpen = true;
            if (r < rows)
                place(Block{BlockKind::Row, 0, kRowHeight, m, r});
        }
    }

    // The summary by grade and diameter, its heading and column titles kept
    // with its first line, and the grand total.
    const int lines = static_cast<int>(printout.computed.summary.size()) + 1;
    // The total line carries beneath it the count of rows left out.
    const auto lineHeight = [&](bool total) {
        return total && printout.computed.rowsLeftOut > 0 ? 2 * kSummaryLineHeight
                                                          : kSummaryLineHeight;
    };
    for (int i = 0; i < lines; ++i) {
        const bool total = i == lines - 1;
        QList<Block> before;
        if (i == 0)
            before << Block{BlockKind::SummaryHeading, 0, kSummaryHeadingHeight};
        const auto needed = [&] {
            double h = lineHeight(total);
            for (const Block& b : before)
                h += b.height;
            return h;
        };
        if (i == 0 || y == l.contentTop)
            before << Block{BlockKind::SummaryHeader, 0, kSummaryHeaderHeight};
        if (needed() > room()) {
            newPage(PageContent::Part::Summary);
            before = {Block{BlockKind::SummaryHeading, 0, kSummaryHeadingHeight, -1, -1, i > 0},
                      Block{BlockKind::SummaryHeader, 0, kSummaryHeaderHeight}};
        }
        markPart(PageContent::Part::Summary);
        for (const Block& b : before)
            place(b);
        place(Block{total ? BlockKind::SummaryTotal : BlockKind::SummaryLine, 0, lineHeight(total),
                    -1, i});
    }

    // The cutting plan on pages of its own: each group's heading kept with
    // its first pattern and repeated where the group runs on, every pattern
    // and the group's totals whole.
    if (!printout.plan)
        return;
    const plans::Plan& plan = *printout.plan;
    newPage(PageContent::Part::Plan);
    place(Block{BlockKind::PlanHeading, 0,
                kPlanHeadingHeight + (printout.planOutOfDate ? kSummaryLineHeight : 0)});
    for (int g = 0; g < plan.groups.size(); ++g) {
        const plans::GroupPlan& group = plan.groups[g];
        QList<Block> items;
        if (!group.error.isEmpty()) {
            items << Block{BlockKind::GroupError, 0, kSummaryLineHeight, -1, -1, false, g};
        } else {
            for (int k = 0; k < group.splices.size(); ++k)
                items << Block{BlockKind::Splice, 0, kSpliceHeight, -1, k, false, g};
            for (int k = 0; k < group.patterns.size(); ++k)
                items << Block{BlockKind::Pattern, 0, kPatternHeight, -1, k, false, g};
            items << Block{BlockKind::GroupTotals, 0, kGroupTotalsHeight, -1, -1, false, g};
        }
        for (int k = 0; k < items.size(); ++k) {
            QList<Block> before;
            if (k == 0 || y == l.contentTop)
                before << Block{BlockKind::GroupHeading, 0, kGroupHeadingHeight, -1, -1, k > 0, g};
            double needed = items[k].height;
            for (const Block& b : before)
                needed += b.height;
            if (needed > room() && !pageIsEmpty()) {
                newPage(PageContent::Part::Plan);
                before = {Block{BlockKind::GroupHeading, 0, kGroupHeadingHeight, -1, -1, k > 0, g}};
            }
            for (const Block& b : before)
                place(b);
            place(items[k]);
            QList<int>& groups = l.pages.back().content.planGroups;
            if (!groups.contains(g))
                groups << g;
        }
    }
    if (room() < kSummaryLineHeight * 2)
        newPage(PageContent::Part::Plan);
    place(Block{BlockKind::PlanTotal, 0, kSummaryLineHeight * 2});
}

PrintedPages::~PrintedPages() = default;

int PrintedPages::pageCount() const {
    return static_cast<int>(m_layout->pages.size());
}

PageContent PrintedPages::content(int page) const {
    return m_layout->pages.value(page).content;
}

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
            for (const plans::StockUse& u : group.stock)
                stock << QStringLiteral("%1 mm × %2 根").arg(u.length).arg(u.count);
            const long long bound = std::llround(std::ceil(group.lowerBound - 1e-6));
            const QStringList lines{
                QStringLiteral("需购原料：%1").arg(stock.join(QStringLiteral("，"))),
                QStringLiteral("原料 %1 m，下料 %2 m，保留余料 %3 m，废料 %4 m，利用率 %5")
                    .arg(metres(group.stockLength), metres(group.piecesLength),
                         metres(group.keptOffcut), metres(group.waste), percent(group.utilisation)),
                QStringLiteral("下界 %1 m（%2）；%3")
                    .arg(metres(bound),
                         group.lpSolved ? QStringLiteral("线性规划松弛的最优值")
                                        : QStringLiteral("时间到，线性规划未解完"),
                         group.proven ? QStringLiteral("已证明最优：没有用料更少的方案")
                                      : QStringLiteral("至多比最优多用 %1 mm")
                                            .arg(group.stockLength - group.leastPossible))};
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

QPageLayout pageLayoutOf(const PageChoice& choice) {
    return QPageLayout(QPageSize(choice.paper == Paper::A3 ? QPageSize::A3 : QPageSize::A4),
                       choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(15, 10, 10, 10), QPageLayout::Millimeter);
}

bool paintPages(QPagedPaintDevice& device, const Printout& printout, int first, int last) {
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    const PrintedPages pages(printout, area.size());
    if (last < 0 || last >= pages.pageCount())
        last = pages.pageCount() - 1;
    first = std::max(first, 0);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scaleX = device.logicalDpiX() / 25.4 / kUnitsPerMm;
    const double scaleY = device.logicalDpiY() / 25.4 / kUnitsPerMm;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.resetTransform();
        painter.scale(scaleX, scaleY);
        pages.paint(painter, page);
    }
    return painter.end();
}

} // namespace output
