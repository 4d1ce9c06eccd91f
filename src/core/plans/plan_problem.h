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
    std::vector<long long> lengths;   // stock lengths, shortest first
    std::vector<long long> available; // per stock length; kUnlimited: as many as needed
    // What a bar of each stock length costs, in whole units of the objective
    // (mm of stock bought, or 0.00001 yuan where priced); 0 for bars already
    // paid for. Plans are compared and bounded by these.
    std::vector<long long> costs;
    // The cost the pattern LP sees: `costs`, with a token cost for bars
    // already paid for, so that the LP spends them sparingly. Never more
    // than half a unit over all of them together.
    std::vector<double> lpCosts;
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
    // The shortest stock with bars left that holds this load.
    int shortestHolding(long long load, const std::vector<long long>& left) const {
        for (int s = 0; s < int(lengths.size()); ++s)
            if (left[std::size_t(s)] > 0 && capacity(s) >= load)
                return s;
        return -1;
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
