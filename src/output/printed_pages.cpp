#include "output/printed_pages.h"

#include "core/plans/planner.h"

#include "core/schedule/row_columns.h"
#include "drawing/plans/plan_drawing.h"
#include "drawing/sketches/shape_sketch.h"
#include "output/page_parts.h"
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
