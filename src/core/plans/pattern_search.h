#pragma once

#include "core/plans/knapsack.h"
#include "core/plans/pattern_lp.h"
#include "core/plans/plan_problem.h"

#include <set>

namespace plans::detail {

// ---------------------------------------------------------------------------
// Column generation on the pattern LP (Gilmore–Gomory): the master holds the
// patterns found so far; the bounded knapsack prices the next.
class PatternSearch {
public:
    PatternSearch(const Problem& problem, const std::vector<long long>& demand)
        : m_problem(problem),
          m_lp(int(problem.types.size()), limitedRows(problem), artificialCost(problem)) {
        setResidual(demand, problem.available);
        // Bars of one piece length, on every stock length that holds it, so
        // that the first prices mean something and a stock length that ties
        // on price with another is there to be chosen.
        for (int i = 0; i < int(problem.types.size()); ++i)
            for (int s = 0; s < int(problem.lengths.size()); ++s) {
                const long long fit = problem.capacity(s) / problem.weight(i);
                if (fit > 0 && problem.available[std::size_t(s)] > 0)
                    addPattern(s, {{i, std::min(fit, demand[std::size_t(i)])}});
            }
    }

    struct Outcome {
        bool solved = false;    // the LP's optimum over all patterns was reached
        bool feasible = true;   // false: the stock on hand cannot cover the pieces
        double objective = 0;   // mm of stock
        double farleyBound = 0; // valid lower bound from the last prices, without stock limits
    };

    void setResidual(const std::vector<long long>& residual, const std::vector<long long>& left) {
        m_residual = residual;
        m_left = left;
        for (int i = 0; i < int(residual.size()); ++i)
            m_lp.setDemand(i, double(residual[std::size_t(i)]));
        int row = 0;
        for (std::size_t s = 0; s < left.size(); ++s)
            if (m_problem.available[s] != kUnlimited)
                m_lp.setLimit(row++, double(left[s]));
        // Patterns that would give more than is still wanted, or need a stock
        // length that has run out, are out of the question now.
        for (int j = 0; j < int(m_patterns.size()); ++j) {
            bool usable = left[std::size_t(m_patterns[std::size_t(j)].stock)] > 0;
            for (const auto& [type, n] : m_patterns[std::size_t(j)].pieces)
                usable = usable && n <= residual[std::size_t(type)];
            m_lp.enableColumn(j, usable);
        }
    }

    Outcome solve(const Stop& stop) {
        Outcome outcome;
        const int types = int(m_problem.types.size());
        const int stocks = int(m_problem.lengths.size());
        // Before any prices: the pieces' length at the cheapest cost per mm.
        double demandLength = 0;
        for (int i = 0; i < types; ++i)
            demandLength +=
                double(m_residual[std::size_t(i)]) * double(m_problem.types[std::size_t(i)].length);
        double cheapestPerMm = std::numeric_limits<double>::max();
        for (int s = 0; s < stocks; ++s)
            cheapestPerMm = std::min(cheapestPerMm, m_problem.lpCost(s) /
                                                        double(m_problem.lengths[std::size_t(s)]));
        outcome.farleyBound = demandLength * cheapestPerMm;
        for (;;) {
            if (stop.expired() || !m_lp.solve(stop.secondsLeft()))
                return outcome;
            std::vector<KnapsackItem> items(std::size_t(types), KnapsackItem{});
            for (int i = 0; i < types; ++i)
                items[std::size_t(i)] = {m_problem.weight(i), m_residual[std::size_t(i)],
                                         std::max(0.0, m_lp.demandPrice(i))};
            std::vector<long long> capacities;
            for (int s = 0; s < stocks; ++s)
                capacities.push_back(m_problem.capacity(s));
            const std::vector<KnapsackFill> fills =
                solveBoundedKnapsack(items, capacities, m_knapsack);

            // Scaled so that no pattern of any length is worth more than its
            // stock, the prices give a bound for every plan (Farley).
            double ratio = 1;
            for (int s = 0; s < stocks; ++s)
                if (m_problem.lpCost(s) > 0)
                    ratio = std::max(ratio, fills[std::size_t(s)].value / m_problem.lpCost(s));
            double priced = 0;
            for (int i = 0; i < types; ++i)
                priced += double(m_residual[std::size_t(i)]) * items[std::size_t(i)].value;
            outcome.farleyBound = std::max(outcome.farleyBound, priced / ratio);

            bool added = false;
            int row = 0;
            for (int s = 0; s < stocks; ++s) {
                double limitPrice = 0;
                if (m_problem.available[std::size_t(s)] != kUnlimited)
                    limitPrice = std::min(0.0, m_lp.limitPrice(row++));
                if (m_left[std::size_t(s)] <= 0)
                    continue;
                const double cost = m_problem.lpCost(s);
                const double reduced = cost - limitPrice - fills[std::size_t(s)].value;
                if (reduced >= -1e-7 * std::max(cost, 1.0))
                    continue;
                std::vector<std::pair<int, long long>> pieces;
                for (int i = 0; i < types; ++i)
                    if (fills[std::size_t(s)].counts[std::size_t(i)] > 0)
                        pieces.push_back({i, fills[std::size_t(s)].counts[std::size_t(i)]});
                added = addPattern(s, pieces) || added;
            }
            if (!added) {
                outcome.solved = true;
                outcome.objective = m_lp.objective();
                outcome.feasible = m_lp.artificialUse() < 1e-6;
                return outcome;
            }
        }
    }

    int patterns() const { return int(m_patterns.size()); }
    const Cut& pattern(int j) const { return m_patterns[std::size_t(j)]; }
    double value(int j) const { return m_lp.columnValue(j); }
    double reducedCost(int j) const { return m_lp.reducedCost(j); }
    bool enabled(int j) const { return m_lp.columnEnabled(j); }
    // The prices of the last solve as the pricing reads them: a piece's never
    // below 0, a stock limit's never above 0 (0 where bars are unlimited).
    double piecePrice(int type) const { return std::max(0.0, m_lp.demandPrice(type)); }
    double stockPrice(int stock) const {
        if (m_problem.available[std::size_t(stock)] == kUnlimited)
            return 0;
        int row = 0;
        for (int s = 0; s < stock; ++s)
            row += m_problem.available[std::size_t(s)] != kUnlimited;
        return std::min(0.0, m_lp.limitPrice(row));
    }

private:
    static int limitedRows(const Problem& problem) {
        return int(std::count_if(problem.available.begin(), problem.available.end(),
                                 [](long long a) { return a != kUnlimited; }));
    }
    // Leaving a piece uncovered costs more than any bar could: a covered plan
    // is always cheaper where one exists.
    static double artificialCost(const Problem& problem) {
        double dearest = 1;
        for (double c : problem.lpCosts)
            dearest = std::max(dearest, c);
        return 100.0 * dearest;
    }

    bool addPattern(int stock, std::vector<std::pair<int, long long>> pieces) {
        if (pieces.empty())
            return false;
        std::sort(pieces.begin(), pieces.end());
        std::vector<long long> key{stock};
        for (const auto& [type, n] : pieces)
            key.insert(key.end(), {type, n});
        if (!m_seen.insert(key).second)
            return false;
        std::vector<std::pair<int, double>> entries;
        for (const auto& [type, n] : pieces)
            entries.push_back({type, double(n)});
        int limitRow = -1;
        if (m_problem.available[std::size_t(stock)] != kUnlimited) {
            limitRow = 0;
            for (int s = 0; s < stock; ++s)
                limitRow += m_problem.available[std::size_t(s)] != kUnlimited;
        }
        m_lp.addColumn(entries, limitRow, m_problem.lpCost(stock));
        m_patterns.push_back({stock, std::move(pieces), 0});
        return true;
    }

    const Problem& m_problem;
    PatternLp m_lp;
    std::vector<Cut> m_patterns;
    std::set<std::vector<long long>> m_seen;
    std::vector<long long> m_residual;
    std::vector<long long> m_left;
    KnapsackWorkspace m_knapsack;
};

} // namespace plans::detail
