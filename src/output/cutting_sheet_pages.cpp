#include "output/cutting_sheet_pages.h"

#include "drawing/plans/plan_drawing.h"

#include "core/schedule/whole_file.h"
#include "output/page_parts.h"
#include "output/pdf_text_map.h"
#include "output/print_fonts.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace output {

using namespace shop;
using page_parts::kBodyFont;
using page_parts::kCellPad;
using page_parts::kFooterHeight;
using page_parts::kRulePen;
using page_parts::kSmallFont;
using page_parts::kThinPen;
using page_parts::kTitleFont;
using page_parts::kTitleHeight;
using page_parts::metres;
using page_parts::percent;

namespace {

enum class Kind {
    Settings,
    Warning,
    GroupHeading,
    TableHeader,
    Pattern,
    GroupError,
    GroupFooter,
    Total
};

struct Block {
    Kind kind;
    double y = 0;
    double height = 0;
    int group = -1;
    int pattern = -1;
    bool continued = false;
};

struct SheetPage {
    QList<Block> blocks;
    SheetPageContent content;
};

// Heights in page units (0.1 mm).
constexpr double kWarningHeight = 70;
constexpr double kHeadingHeight = 90;
constexpr double kHeaderHeight = 90;
constexpr double kCutLine = 55;
constexpr double kPatternPad = 12;
constexpr double kNoteLine = 48;
constexpr double kTotalHeight = 110;

struct Column {
    const char* heading;
    double widthMm; // 0: the cuts' rows, which take what is left
};
constexpr Column kColumns[] = {
    {"序号", 10},     {"原料\n(mm)", 18}, {"根数", 12},       {"下料长度(mm)\n× 每根段数", 30},
    {"构件 编号", 0}, {"定尺\n次数", 12}, {"余头\n(mm)", 16}, {"余头去向", 20},
};
constexpr int kColumnCount = 8;
enum ColumnIndex { Number, Stock, Bars, Cut, Row, Stops, Offcut, OffcutUse };

double patternHeight(const SheetPattern& p) {
    return std::max<qsizetype>(1, p.cuts.size()) * kCutLine + 2 * kPatternPad;
}

QStringList footerLines(const SheetGroup& g) {
    QStringList kept;
    for (const SheetOffcut& o : g.keptOffcuts)
        kept << QStringLiteral("%1 mm × %2 根").arg(o.length).arg(o.bars);
    QStringList stock;
    for (const plans::StockUse& u : g.stock)
        stock << schedule::stockUseText(u);
    QStringList lines{
        QStringLiteral("余料入库：%1")
            .arg(kept.isEmpty() ? QStringLiteral("无") : kept.join(QStringLiteral("，"))),
        QStringLiteral("领用原料：%1").arg(stock.join(QStringLiteral("，"))),
        QStringLiteral("原料 %1 m，下料 %2 m（%3 段），保留余料 %4 m，废料 %5 m，利用率 %6")
            .arg(metres(g.stockLength), metres(g.piecesLength))
            .arg(g.pieces)
            .arg(metres(g.keptOffcut), metres(g.waste), percent(g.utilisation))};
    for (const plans::SplicedPiece& sp : g.splices) {
        QStringList segments;
        for (long long s : sp.segments)
            segments << QString::number(s);
        lines << QStringLiteral("接长 %1：%2 mm × %3 根，由 %4 mm 各段%5")
                     .arg(sp.label)
                     .arg(sp.length)
                     .arg(sp.count)
                     .arg(segments.join(QStringLiteral(" + ")))
                     .arg(sp.lap > 0 ? QStringLiteral("搭接 %1 mm").arg(sp.lap)
                                     : QStringLiteral("机械连接"));
    }
    return lines;
}

QString offcutUse(const SheetPattern& p) {
    if (p.offcut == 0)
        return QStringLiteral("无");
    return p.offcutKept ? QStringLiteral("余料入库") : QStringLiteral("废料");
}

void drawCellText(QPainter& painter, const QRectF& cell, const QString& text, Qt::Alignment align) {
    const QRectF inner = cell.adjusted(kCellPad, 0, -kCellPad, 0);
    const QString shown =
        text.contains(QLatin1Char('\n'))
            ? text
            : QFontMetricsF(painter.font()).elidedText(text, Qt::ElideRight, inner.width());
    painter.drawText(inner, static_cast<int>(align | Qt::AlignVCenter), shown);
}

} // namespace

struct CuttingSheetPages::Layout {
    double width = 0;
    double height = 0;
    double contentTop = kTitleHeight;
    double contentBottom = 0;
    QList<double> columns; // left edges, and the right edge last
    QList<SheetPage> pages;
};

CuttingSheetPages::CuttingSheetPages(const SheetPrintout& printout, const QSizeF& areaMm)
    : m_printout(printout), m_layout(std::make_unique<Layout>()) {
    Layout& l = *m_layout;
    l.width = areaMm.width() * kUnitsPerMm;
    l.height = areaMm.height() * kUnitsPerMm;
    l.contentBottom = l.height - kFooterHeight;
    double fixed = 0;
    for (const Column& c : kColumns)
        fixed += c.widthMm * kUnitsPerMm;
    // The rows' column takes what is left, at least 40 mm; on narrow paper
    // the others give way in proportion.
    const double rest = std::max(400.0, l.width - fixed);
    const double scale = (l.width - rest) / fixed;
    l.columns = {0};
    for (const Column& c : kColumns)
        l.columns << l.columns.back() + (c.widthMm > 0 ? c.widthMm * kUnitsPerMm * scale : rest);

    double y = 0;
    const auto newPage = [&] {
        l.pages.append(SheetPage{});
        y = l.contentTop;
    };
    const auto place = [&](Block block) {
        block.y = y;
        y += block.height;
        SheetPage& page = l.pages.back();
        page.blocks << block;
        if (block.group >= 0 && !page.content.groups.contains(block.group))
            page.content.groups << block.group;
        if (block.kind == Kind::Pattern)
            page.content.patterns << std::pair{block.group, block.pattern};
    };
    const auto pageIsEmpty = [&] { return l.pages.back().blocks.isEmpty(); };

    newPage();
    const CuttingSheet& sheet = printout.sheet;
    place(Block{Kind::Settings, 0, kNoteLine + 20});
    if (sheet.outOfDate)
        place(Block{Kind::Warning, 0, kWarningHeight});
    for (int g = 0; g < sheet.groups.size(); ++g) {
        const SheetGroup& group = sheet.groups[g];
        QList<Block> items;
        if (!group.error.isEmpty()) {
            items << Block{Kind::GroupError, 0, kNoteLine + 20, g};
        } else {
            for (int k = 0; k < group.patterns.size(); ++k)
                items << Block{Kind::Pattern, 0, patternHeight(group.patterns[k]), g, k};
            items << Block{Kind::GroupFooter, 0, footerLines(group).size() * kNoteLine + 30, g};
        }
        bool tableOpen = false;
        for (int k = 0; k < items.size(); ++k) {
            const bool pattern = items[k].kind == Kind::Pattern;
            const auto blocksBefore = [&](bool fresh) {
                QList<Block> before;
                if (k == 0 || fresh)
                    before << Block{Kind::GroupHeading, 0, kHeadingHeight, g, -1, k > 0};
                if (pattern && (!tableOpen || fresh))
                    before << Block{Kind::TableHeader, 0, kHeaderHeight, g};
                return before;
            };
            QList<Block> before = blocksBefore(false);
            double needed = items[k].height;
            for (const Block& b : before)
                needed += b.height;
            if (needed > l.contentBottom - y && !pageIsEmpty()) {
                newPage();
                before = blocksBefore(true);
            }
            for (const Block& b : before)
                place(b);
            place(items[k]);
            tableOpen = pattern;
        }
    }
    if (l.contentBottom - y < kTotalHeight)
        newPage();
    place(Block{Kind::Total, 0, kTotalHeight});
}

CuttingSheetPages::~CuttingSheetPages() = default;

int CuttingSheetPages::pageCount() const {
    return static_cast<int>(m_layout->pages.size());
}

SheetPageContent CuttingSheetPages::content(int page) const {
    return m_layout->pages.value(page).content;
}

void CuttingSheetPages::paint(QPainter& painter, int pageIndex) const {
    const Layout& l = *m_layout;
    if (pageIndex < 0 || pageIndex >= l.pages.size())
        return;
    const SheetPage& page = l.pages[pageIndex];
    const CuttingSheet& sheet = m_printout.sheet;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QPen ink(Qt::black, kThinPen);
    painter.setPen(ink);
    painter.setBrush(Qt::NoBrush);
    const QFont body = printFont(kBodyFont);
    const QFont bold = printFont(kBodyFont, true);

    // Title block: what this is, of what, when, which page.
    painter.setFont(printFont(kTitleFont, true));
    painter.drawText(QRectF(0, 0, l.width, 90), Qt::AlignCenter,
                     QStringLiteral("钢筋下料单（按原料切断）"));
    QStringList groups;
    for (int g : page.content.groups)
        groups << sheetGroupName(sheet.groups[g]);
    painter.setFont(body);
    drawCellText(painter, QRectF(-kCellPad, 110, l.width / 2 + 300, 60),
                 QStringLiteral("工程：%1")
                     .arg(sheet.project.isEmpty() ? QStringLiteral("—") : sheet.project),
                 Qt::AlignLeft);
    drawCellText(
        painter, QRectF(-kCellPad, 175, l.width - 600, 60),
        QStringLiteral("牌号、直径：%1")
            .arg(groups.isEmpty() ? QStringLiteral("—") : groups.join(QStringLiteral("、"))),
        Qt::AlignLeft);
    drawCellText(
        painter, QRectF(l.width - 600 + kCellPad, 110, 600, 60),
        QStringLiteral("日期：%1").arg(m_printout.date.toString(QStringLiteral("yyyy-MM-dd"))),
        Qt::AlignRight);
    drawCellText(painter, QRectF(l.width - 600 + kCellPad, 175, 600, 60),
                 QStringLiteral("第 %1 页 共 %2 页").arg(pageIndex + 1).arg(l.pages.size()),
                 Qt::AlignRight);
    painter.setPen(QPen(Qt::black, kRulePen));
    painter.drawLine(QPointF(0, 245), QPointF(l.width, 245));

    // Footer: who cut and who checked sign here; the plan's stock and kerf.
    const double footer = l.height - kFooterHeight + 30;
    painter.drawLine(QPointF(0, footer), QPointF(l.width, footer));
    painter.setPen(ink);
    const double signY = footer + 25;
    painter.drawText(QRectF(0, signY, 150, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("下料："));
    painter.drawLine(QPointF(150, signY + 50), QPointF(550, signY + 50));
    painter.drawText(QRectF(650, signY, 150, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("复核："));
    painter.drawLine(QPointF(800, signY + 50), QPointF(1200, signY + 50));
    painter.setFont(printFont(kSmallFont));
    if (l.width > 1300)
        drawCellText(painter, QRectF(1250, signY, l.width - 1250 + kCellPad, 60),
                     QStringLiteral("每种切法按表中自上而下的顺序切断"), Qt::AlignRight);

    const QList<double>& c = l.columns;
    const auto cell = [&c](int column, double y, double height) {
        return QRectF(c[column], y, c[column + 1] - c[column], height);
    };
    const auto grid = [&](const Block& b) {
        painter.setPen(ink);
        painter.drawRect(QRectF(0, b.y, l.width, b.height));
        for (int k = 1; k < kColumnCount; ++k)
            painter.drawLine(QPointF(c[k], b.y), QPointF(c[k], b.y + b.height));
    };
    const QBrush shade(QColor(232, 232, 232));

    for (const Block& b : page.blocks) {
        switch (b.kind) {
        case Kind::Settings: {
            plans::PlanSettings settings;
            settings.stock = sheet.settings.stock;
            settings.kerf = sheet.settings.kerf;
            settings.keepOffcut = sheet.settings.keepOffcut;
            settings.pricing = sheet.settings.pricing;
            painter.setFont(body);
            drawCellText(painter, QRectF(-kCellPad, b.y, l.width + 2 * kCellPad, b.height),
                         page_parts::planSettingsLine(settings), Qt::AlignLeft);
            break;
        }
        case Kind::Warning:
            painter.setFont(bold);
            drawCellText(painter, QRectF(-kCellPad, b.y, l.width + 2 * kCellPad, b.height),
                         QStringLiteral("方案已过期：下料单在方案算出后有改动，以下不是当前"
                                        "下料单的方案，请在“下料优化”中重新计算"),
                         Qt::AlignLeft);
            break;
        case Kind::GroupHeading: {
            const SheetGroup& group = sheet.groups[b.group];
            painter.fillRect(QRectF(0, b.y + 15, l.width, b.height - 25), shade);
            painter.setFont(bold);
            QString caption = sheetGroupName(group);
            if (group.error.isEmpty())
                caption += QStringLiteral("：%1 种切法，原料 %2 根")
                               .arg(group.patterns.size())
                               .arg(group.stockBars);
            if (b.continued)
                caption += QStringLiteral("（续）");
            drawCellText(painter, QRectF(0, b.y + 15, l.width, b.height - 25), caption,
                         Qt::AlignLeft);
            break;
        }
        case Kind::TableHeader:
            painter.fillRect(QRectF(0, b.y, l.width, b.height), shade);
            grid(b);
            painter.setFont(bold);
            for (int k = 0; k < kColumnCount; ++k)
                painter.drawText(cell(k, b.y, b.height), Qt::AlignCenter,
                                 QString::fromUtf8(kColumns[k].heading));
            break;
        case Kind::Pattern: {
            const SheetPattern& p = sheet.groups[b.group].patterns[b.pattern];
            grid(b);
            painter.setFont(body);
            drawCellText(painter, cell(Number, b.y, b.height), QString::number(p.number),
                         Qt::AlignHCenter);
            drawCellText(painter, cell(Stock, b.y, b.height), QString::number(p.stock),
                         Qt::AlignRight);
            drawCellText(painter, cell(Bars, b.y, b.height), QString::number(p.bars),
                         Qt::AlignRight);
            drawCellText(painter, cell(Stops, b.y, b.height), QString::number(p.stops),
                         Qt::AlignRight);
            drawCellText(painter, cell(Offcut, b.y, b.height), QString::number(p.offcut),
                         Qt::AlignRight);
            drawCellText(painter, cell(OffcutUse, b.y, b.height), offcutUse(p), Qt::AlignHCenter);
            // One line a cut, in the order the cutter makes them.
            for (int k = 0; k < p.cuts.size(); ++k) {
                const SheetCut& cut = p.cuts[k];
                const double lineY = b.y + kPatternPad + k * kCutLine;
                if (k > 0) {
                    painter.setPen(QPen(QColor(190, 190, 190), kThinPen / 2));
                    painter.drawLine(QPointF(c[Cut], lineY), QPointF(c[Row + 1], lineY));
                    painter.setPen(ink);
                }
                drawCellText(painter, cell(Cut, lineY, kCutLine),
                             QStringLiteral("%1 × %2").arg(cut.length).arg(cut.pieces),
                             Qt::AlignRight);
                drawCellText(painter, cell(Row, lineY, kCutLine), cut.label, Qt::AlignLeft);
            }
            break;
        }
        case Kind::GroupError:
            painter.setFont(body);
            drawCellText(painter, QRectF(-kCellPad, b.y, l.width + kCellPad, b.height),
                         QStringLiteral("无方案：%1").arg(sheet.groups[b.group].error),
                         Qt::AlignLeft);
            break;
        case Kind::GroupFooter: {
            const QStringList lines = footerLines(sheet.groups[b.group]);
            for (int i = 0; i < lines.size(); ++i) {
                painter.setFont(i < 2 ? bold : body);
                drawCellText(
                    painter,
                    QRectF(-kCellPad, b.y + 15 + i * kNoteLine, l.width + kCellPad, kNoteLine),
                    lines[i], Qt::AlignLeft);
            }
            break;
        }
        case Kind::Total:
            painter.setPen(QPen(Qt::black, kRulePen));
            painter.drawLine(QPointF(0, b.y + 20), QPointF(l.width, b.y + 20));
            painter.setPen(ink);
            painter.setFont(bold);
            drawCellText(painter, QRectF(-kCellPad, b.y + 30, l.width + kCellPad, 60),
                         QStringLiteral("全部：原料 %1 m，下料 %2 m，保留余料 %3 m，废料 %4 m")
                             .arg(metres(sheet.stockLength), metres(sheet.piecesLength),
                                  metres(sheet.keptOffcut), metres(sheet.waste)),
                         Qt::AlignLeft);
            break;
        }
    }
    painter.restore();
}

bool paintCuttingSheet(QPagedPaintDevice& device, const SheetPrintout& printout, int first,
                       int last) {
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    const CuttingSheetPages pages(printout, area.size());
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

std::optional<QString> writeCuttingSheetPdf(const QString& path, const SheetPrintout& printout,
                                            const PageChoice& choice) {
    QBuffer pages;
    pages.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pages);
        writer.setPageLayout(pageLayoutOf(choice));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Corvala"));
        writer.setTitle(
            printout.sheet.project.isEmpty()
                ? QStringLiteral("钢筋下料单（按原料）")
                : QStringLiteral("%1 钢筋下料单（按原料）").arg(printout.sheet.project));
        if (!paintCuttingSheet(writer, printout))
            return QStringLiteral("无法生成 PDF 页面");
    }
    return schedule::writeWholeFile(path, withSearchableText(pages.data()));
}

} // namespace output
