#pragma once

#include "core/plans/pattern_search.h"
#include "core/plans/plan_problem.h"

#include <functional>
#include <vector>

namespace plans::detail {

// What the exact search needs from the plan around it.
struct ExactSearchHooks {
    // The least sum of bar costs on offer at or above `bound` (cost units):
    // a plan's cost is such a sum, so no plan whose bound is `bound` costs less.
    std::function<long long(long long bound)> leastCostAtLeast;
    // A complete plan found; `left` is the stock left after it. Kept where it
    // costs less than the best so far.
    std::function<void(std::vector<Cut> cuts, const std::vector<long long>& left)> offer;
    // The cost of the best plan so far; kUnlimited where there is none yet.
    std::function<long long()> bestCost;
};

struct ExactSearchOutcome {
    // Every plan that could cost less than the best was looked at: the best
    // is optimal. False where time ran out, the search was cancelled, or it
    // went deeper than it keeps track of.
    bool exhausted = false;
    long long nodes = 0;
};

// Branch-and-price by bin completion: each node fills one bar that holds the
// longest piece still wanted, with the pattern LP of what is left (solved by
// `lp`, warm) as the bound and its prices to choose the fills worth trying.
// Starts from the caller's best plan (through `hooks`) and offers every
// better plan it finds.
ExactSearchOutcome searchExactly(const Problem& problem, const std::vector<long long>& demand,
                                 PatternSearch& lp, const Stop& stop,
                                 const ExactSearchHooks& hooks);

} // namespace plans::detail
