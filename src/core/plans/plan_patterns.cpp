#include "core/plans/plan_problem.h"

#include <QMap>

namespace plans::detail {

// ---------------------------------------------------------------------------
// The cuts written out as patterns with labels: the pieces of one length take
// their labels in the order given, so a run of bars is split where a label
// changes.
QList<Pattern> writePatterns(const Problem& problem, const std::vector<Cut>& cuts,
                             const PlanSettings& settings) {
    std::vector<int> labelAt(problem.types.size(), 0);
    std::vector<long long> usedOfLabel(problem.types.size(), 0);
    auto current = [&](int type) -> const QPair<QString, long long>& {
        return problem.types[std::size_t(type)].labels[labelAt[std::size_t(type)]];
    };
    auto take = [&](int type, long long n) {
        usedOfLabel[std::size_t(type)] += n;
        const auto& labels = problem.types[std::size_t(type)].labels;
        while (labelAt[std::size_t(type)] < labels.size() - 1 &&
               usedOfLabel[std::size_t(type)] >= current(type).second) {
            usedOfLabel[std::size_t(type)] -= current(type).second;
            ++labelAt[std::size_t(type)];
        }
    };
    auto finish = [&](Pattern& pattern) {
        long long sum = 0;
        for (const PlacedPiece& p : pattern.pieces)
            sum += p.length;
        const long long rest = pattern.stock - sum - (pattern.pieces.size() - 1) * problem.kerf;
        pattern.offcut = rest > 0 ? std::max(0LL, rest - problem.kerf) : 0;
        pattern.offcutKept = settings.keepOffcut > 0 && pattern.offcut >= settings.keepOffcut;
    };

    // Bars cut alike wherever the search found them are one pattern, the
    // longest stock first and the most bars first within it.
    std::vector<Cut> merged;
    for (const Cut& cut : cuts) {
        auto same = std::find_if(merged.begin(), merged.end(), [&](const Cut& m) {
            return m.stock == cut.stock && m.pieces == cut.pieces;
        });
        if (same == merged.end())
            merged.push_back(cut);
        else
            same->count += cut.count;
    }
    std::stable_sort(merged.begin(), merged.end(), [](const Cut& a, const Cut& b) {
        return a.stock != b.stock ? a.stock > b.stock : a.count > b.count;
    });

    QList<Pattern> patterns;
    for (const Cut& cut : merged) {
        long long left = cut.count;
        while (left > 0) {
            // Bars that can be cut before any of their labels runs out.
            long long run = left;
            for (const auto& [type, n] : cut.pieces)
                run = std::min(run, (current(type).second - usedOfLabel[std::size_t(type)]) / n);
            Pattern pattern;
            pattern.stock = problem.lengths[std::size_t(cut.stock)];
            pattern.source = problem.sources[std::size_t(cut.stock)];
            if (run > 0) {
                pattern.count = run;
                for (const auto& [type, n] : cut.pieces) {
                    for (long long k = 0; k < n; ++k)
                        pattern.pieces << PlacedPiece{problem.types[std::size_t(type)].length,
                                                      current(type).first};
                    take(type, run * n);
                }
            } else {
                pattern.count = run = 1;
                for (const auto& [type, n] : cut.pieces)
                    for (long long k = 0; k < n; ++k) {
                        pattern.pieces << PlacedPiece{problem.types[std::size_t(type)].length,
                                                      current(type).first};
                        take(type, 1);
                    }
            }
            finish(pattern);
            // A run that looks like the one before it joins it.
            if (!patterns.isEmpty() && patterns.last().stock == pattern.stock &&
                patterns.last().source == pattern.source &&
                patterns.last().pieces.size() == pattern.pieces.size()) {
                bool same = true;
                for (int k = 0; k < pattern.pieces.size() && same; ++k)
                    same = patterns.last().pieces[k].length == pattern.pieces[k].length &&
                           patterns.last().pieces[k].label == pattern.pieces[k].label;
                if (same) {
                    patterns.last().count += pattern.count;
                    left -= run;
                    continue;
                }
            }
            patterns << pattern;
            left -= run;
        }
    }
    return patterns;
}

void addUp(GroupPlan& plan) {
    QMap<QPair<long long, int>, long long> bars; // (length, source): bars
    for (const Pattern& p : plan.patterns) {
        long long pieces = 0;
        for (const PlacedPiece& piece : p.pieces)
            pieces += piece.length;
        plan.stockLength += p.count * p.stock;
        plan.piecesLength += p.count * pieces;
        if (p.offcutKept)
            plan.keptOffcut += p.count * p.offcut;
        bars[{p.stock, int(p.source)}] += p.count;
    }
    for (auto it = bars.constEnd(); it != bars.constBegin();) {
        --it;
        plan.stock << StockUse{it.key().first, it.value(), StockSource(it.key().second)};
    }
    plan.waste = plan.stockLength - plan.piecesLength - plan.keptOffcut;
    plan.utilisation =
        plan.stockLength > 0 ? double(plan.piecesLength) / double(plan.stockLength) : 0;
}

} // namespace plans::detail
