#include "core/shop/cutting_sheet.h"

#include <algorithm>
#include <map>

namespace shop {

namespace {

SheetPattern sheetPattern(const plans::Pattern& pattern) {
    SheetPattern out;
    out.stock = pattern.stock;
    out.bars = pattern.count;
    out.offcut = pattern.offcut;
    out.offcutKept = pattern.offcutKept;
    out.pieces = static_cast<int>(pattern.pieces.size());
    // Longest first; pieces of one length keep the plan's order of rows,
    // and a row's pieces stay together.
    QList<plans::PlacedPiece> pieces = pattern.pieces;
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const plans::PlacedPiece& a, const plans::PlacedPiece& b) {
                         return a.length > b.length;
                     });
    for (qsizetype i = 0; i < pieces.size();) {
        qsizetype j = i;
        while (j < pieces.size() && pieces[j].length == pieces[i].length &&
               pieces[j].label == pieces[i].label)
            ++j;
        out.cuts << SheetCut{pieces[i].length, static_cast<int>(j - i), pieces[i].label};
        if (i == 0 || pieces[i].length != pieces[i - 1].length)
            ++out.stops;
        i = j;
    }
    return out;
}

} // namespace

QString sheetGroupName(const SheetGroup& group) {
    QString name = group.grade.isEmpty() ? QStringLiteral("（未分牌号）") : group.grade;
    if (group.diameter > 0)
        name += QStringLiteral(" Φ%1").arg(group.diameter);
    return name;
}

CuttingSheet cuttingSheetOf(const schedule::CuttingList& list, const plans::ListPlan& plan) {
    CuttingSheet sheet;
    sheet.project = list.project;
    sheet.settings = plan.settings;
    sheet.outOfDate = plans::isOutOfDate(plan, list);
    sheet.stockLength = plan.plan.stockLength;
    sheet.piecesLength = plan.plan.piecesLength;
    sheet.keptOffcut = plan.plan.keptOffcut;
    sheet.waste = plan.plan.waste;
    for (const plans::GroupPlan& g : plan.plan.groups) {
        SheetGroup group;
        group.grade = g.grade;
        group.diameter = g.diameter;
        group.error = g.error;
        group.stock = g.stock;
        group.splices = g.splices;
        group.stockLength = g.stockLength;
        group.piecesLength = g.piecesLength;
        group.keptOffcut = g.keptOffcut;
        group.waste = g.waste;
        group.utilisation = g.utilisation;
        for (const plans::Pattern& p : g.patterns)
            group.patterns << sheetPattern(p);
        // Longer stock first, and within it the patterns that start with the
        // longest piece, so that the first stop moves as little as it can
        // from one pattern to the next.
        std::stable_sort(group.patterns.begin(), group.patterns.end(),
                         [](const SheetPattern& a, const SheetPattern& b) {
                             if (a.stock != b.stock)
                                 return a.stock > b.stock;
                             const long long first = a.cuts.isEmpty() ? 0 : a.cuts[0].length;
                             const long long other = b.cuts.isEmpty() ? 0 : b.cuts[0].length;
                             return first > other;
                         });
        std::map<long long, long long, std::greater<>> kept;
        for (int k = 0; k < group.patterns.size(); ++k) {
            SheetPattern& p = group.patterns[k];
            p.number = k + 1;
            group.stockBars += p.bars;
            group.pieces += p.bars * p.pieces;
            if (p.offcutKept && p.offcut > 0)
                kept[p.offcut] += p.bars;
        }
        for (const auto& [length, bars] : kept)
            group.keptOffcuts << SheetOffcut{length, bars};
        sheet.groups << group;
    }
    return sheet;
}

} // namespace shop
