#pragma once

#include <cstdint>
#include <vector>

// The pricing problem of the pattern LP: which pieces one stock bar should
// give to be worth most at the current prices. Exact.
namespace plans {

struct KnapsackItem {
    long long weight = 0; // mm the piece takes from the bar, kerf included
    long long bound = 0;  // at most this many
    double value = 0;     // its price; items worth nothing are left out
};

struct KnapsackFill {
    double value = 0;
    std::vector<long long> counts; // per item
};

// The tables of one search, kept by the caller between calls: the column
// generation prices hundreds of times, and fresh tables of this size each
// time cost more in page faults than the search itself.
struct KnapsackWorkspace {
    std::vector<std::uint8_t> taken; // one byte per decision, so the loop vectorises
    std::vector<double> best;
};

// The most valuable fill of each capacity, items at most `bound` times each.
// One pass serves every capacity. Weights are divided by their greatest
// common divisor first, so lengths in whole centimetres cost a tenth.
std::vector<KnapsackFill> solveBoundedKnapsack(const std::vector<KnapsackItem>& items,
                                               const std::vector<long long>& capacities,
                                               KnapsackWorkspace& work);

} // namespace plans
