#pragma once

// What the cutting-plan search works on inside: the problem in solver terms
// (piece types by index, stock lengths, kerf) and the time it may take.
// Shared by the plan, its pattern search and the writing of its patterns;
// nothing outside plans/ includes it.

#include "core/plans/cutting_plan.h"

#include <QList>
#include <QPair>
#include <QString>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

namespace plans::detail {

using Clock = std::chrono::steady_clock;
constexpr long long kUnlimited = std::numeric_limits<long long>::max();

struct Stop {
    Clock::time_point deadline;
    const std::atomic<bool>* cancel = nullptr;
    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    bool expired() const { return cancelled() || Clock::now() >= deadline; }
    double secondsLeft() const {
        return std::max(0.0, std::chrono::duration<double>(deadline - Clock::now()).count());
    }
};

// One length of piece, all its labels together.
struct PieceType {
    long long length = 0;
    long long demand = 0;
    QList<QPair<QString, long long>> labels; // in the order given
};

// Bars cut alike, in solver terms: pieces by type index.
struct Cut {
    int stock = 0;
    std::vector<std::pair<int, long long>> pieces; // (type, pieces per bar)
    long long count = 0;
};

struct Problem {
    std::vector<PieceType> types;     // longest first
    std::vector<long long> lengths;   // stock lengths, shortest first (the cheaper of two alike)
    std::vector<long long> available; // per stock length; kUnlimited: as many as needed
    std::vector<StockSource> sources; // per stock length
    // What a bar of each stock length costs, in whole units of the search's
    // objective. Plans are compared and bounded by these. Bars bought cost
    // their price (or length) times `paidScale`; bars already paid for cost
    // their length (coarsened where need be), so that any saving of money
    // outweighs all the steel on hand and, money being equal, the plan that
    // uses least of the yard's steel wins.
    std::vector<long long> costs;
    std::vector<double> lpCosts;  // the same, as the pattern LP sees them
    std::vector<long long> money; // per bar, in cost units (kCostUnitsPerYuan); 0 if paid for
    long long paidScale = 1;      // 1 + every bar already paid for, at its cost
    long long kerf = 0;

    long long cost(int stock) const { return costs[std::size_t(stock)]; }
    double lpCost(int stock) const { return lpCosts[std::size_t(stock)]; }

    long long weight(int type) const { return types[std::size_t(type)].length + kerf; }
    long long capacity(int stock) const { return lengths[std::size_t(stock)] + kerf; }
    long long load(const std::vector<std::pair<int, long long>>& pieces) const {
        long long sum = 0;
        for (const auto& [type, n] : pieces)
            sum += n * weight(type);
        return sum;
    }
    // The cheapest stock with bars left that holds this load (the shorter
    // of two alike).
    int cheapestHolding(long long load, const std::vector<long long>& left) const {
        int best = -1;
        for (int s = 0; s < int(lengths.size()); ++s)
            if (left[std::size_t(s)] > 0 && capacity(s) >= load &&
                (best < 0 || cost(s) < cost(best)))
                best = s;
        return best;
    }
};

inline QString pieceName(const QString& label, long long length) {
    return label.isEmpty() ? QStringLiteral("长 %1 mm 的料").arg(length)
                           : QStringLiteral("“%1”").arg(label);
}

inline long long whole(double value) {
    return (long long)std::floor(value + 1e-6);
}

// The cuts written out as patterns with labels.
QList<Pattern> writePatterns(const Problem& problem, const std::vector<Cut>& cuts,
                             const PlanSettings& settings);
// A plan's totals from its patterns.
void addUp(GroupPlan& plan);

// Splices: a piece longer than the longest bar is made of full bars and one
// shorter rest.
struct SpliceOutcome {
    QString error;
    QList<Piece> pieces;
    QList<SplicedPiece> splices;
};
SpliceOutcome splicePieces(const PieceGroup& group, const PlanSettings& settings,
                           long long longest);

} // namespace plans::detail
