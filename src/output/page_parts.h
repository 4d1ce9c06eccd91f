#pragma once

// The printed pages' parts, shared by laying them out and painting them:
// sizes in page units (0.1 mm), the list table's columns, the blocks a page
// is made of, and the texts of headings. Only output/ includes it.

#include "output/page_content.h"

#include "core/numbers/number_text.h"
#include "core/plans/cutting_plan.h"
#include "core/plans/list_plan.h"
#include "core/schedule/cutting_list.h"
#include "core/schedule/row_columns.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>

namespace output::page_parts {

using namespace schedule;

// Heights in page units (0.1 mm).
inline constexpr double kTitleHeight = 260;
inline constexpr double kFooterHeight = 110;
inline constexpr double kTableHeaderHeight = 100;
inline constexpr double kMemberHeadingHeight = 70;
inline constexpr double kRowHeight = 160;
inline constexpr double kSummaryHeadingHeight = 110;
inline constexpr double kSummaryHeaderHeight = 80;
inline constexpr double kSummaryLineHeight = 70;
inline constexpr double kPlanHeadingHeight = 110;
inline constexpr double kGroupHeadingHeight = 90;
inline constexpr double kPatternHeight = 130;
inline constexpr double kSpliceHeight = 160;
inline constexpr double kGroupTotalsHeight = 160;
// The pattern's columns: how many bars, the bar to scale, its offcut.
inline constexpr double kPatternCountWidth = 300;
inline constexpr double kPatternOffcutWidth = 260;

// Font sizes in page units: 32 is about 9 pt.
inline constexpr int kBodyFont = 32;
inline constexpr int kSmallFont = 27;
inline constexpr int kTitleFont = 56;
// The sketch is drawn at a quarter of a millimetre per unit, the scale of a
// screen it was drawn for, so its pens and gaps keep their proportions.
inline constexpr double kSketchScale = 2.5;
inline constexpr int kSketchFont = 10;

inline constexpr double kThinPen = 2;  // 0.2 mm
inline constexpr double kRulePen = 4;  // 0.4 mm
inline constexpr double kCellPad = 12; // 1.2 mm

enum class ListColumn { Mark, Sketch, Grade, Diameter, CutLength, Bars, TotalLength, TotalMass };
inline constexpr int kListColumns = 8;

struct TableColumn {
    const char* heading;
    double widthMm; // 0: the sketch, which takes what is left
};

inline constexpr TableColumn kListTable[kListColumns] = {
    {"编号", 16},           {"简图（尺寸 mm）", 0}, {"牌号", 20},      {"直径\n(mm)", 14},
    {"下料长度\n(mm)", 20}, {"根数", 15},           {"总长\n(m)", 21}, {"总质量\n(kg)", 23},
};

inline constexpr const char* kSummaryHeadings[] = {"牌号",    "直径(mm)",   "根数",
                                                   "总长(m)", "总质量(kg)", "总质量(t)"};
inline constexpr int kSummaryColumns = 6;

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

inline QString memberCaption(const Member& member) {
    const QString name = member.name.isEmpty() ? QStringLiteral("（未命名）") : member.name;
    return QStringLiteral("构件 %1 × %2 件").arg(name).arg(member.count);
}

inline QString settingsLine(const ListSettings& settings) {
    return QStringLiteral("%1，下料长度取整到 %2 mm")
        .arg(settings.seismic ? QStringLiteral("抗震箍筋弯钩 10d")
                              : QStringLiteral("非抗震箍筋弯钩 5d"))
        .arg(static_cast<int>(settings.rounding));
}

inline QString groupName(const plans::GroupPlan& group) {
    QString name = group.grade.isEmpty() ? QStringLiteral("（未分牌号）") : group.grade;
    if (group.diameter > 0)
        name += QStringLiteral(" Φ%1").arg(group.diameter);
    return name;
}

inline QString metres(long long mm) {
    return fixedText(mm, 3, 3);
}

inline QString percent(double share) {
    return fixedText(std::llround(share * 10000), 2, 2) + QLatin1Char('%');
}

inline QString planSettingsLine(const plans::PlanSettings& settings) {
    const bool priced = settings.pricing != plans::Pricing::None;
    const QString unit = settings.pricing == plans::Pricing::PerBar ? QStringLiteral("元/根")
                                                                    : QStringLiteral("元/米");
    QStringList stock;
    for (const plans::StockLength& s : settings.stock) {
        QStringList notes;
        if (s.source == plans::StockSource::OnHand)
            notes << QStringLiteral("库存 %1 根").arg(s.available.value_or(0));
        else if (s.source == plans::StockSource::Offcut)
            notes << QStringLiteral("余料 %1 根").arg(s.available.value_or(0));
        else if (s.available)
            notes << QStringLiteral("现有 %1 根").arg(*s.available);
        if (priced && s.source == plans::StockSource::Bought)
            notes << QStringLiteral("%1 %2").arg(
                plans::yuanText(s.price * plans::kCostUnitsPerYuan), unit);
        stock << (notes.isEmpty() ? QString::number(s.length)
                                  : QStringLiteral("%1（%2）")
                                        .arg(s.length)
                                        .arg(notes.join(QStringLiteral("，"))));
    }
    QString line = QStringLiteral("原料长度 %1 mm；").arg(stock.join(QStringLiteral("、")));
    if (priced)
        line += settings.pricing == plans::Pricing::PerBar ? QStringLiteral("按根计价；")
                                                           : QStringLiteral("按米计价；");
    line += QStringLiteral("锯口 %1 mm；").arg(settings.kerf);
    line +=
        settings.keepOffcut > 0
            ? QStringLiteral("余头不短于 %1 mm 作余料保留，更短的为废料").arg(settings.keepOffcut)
            : QStringLiteral("余头均为废料");
    return line;
}

struct Layout {
    double width = 0;
    double height = 0;
    double contentTop = kTitleHeight;
    double contentBottom = 0;
    QList<double> listColumns;    // left edges, and the right edge last
    QList<double> summaryColumns; // the same
    QList<Page> pages;
};

} // namespace output::page_parts
