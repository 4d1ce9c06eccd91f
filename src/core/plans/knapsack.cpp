#include "core/plans/knapsack.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace plans {

namespace {

// A bounded item split into parts of 1, 2, 4, ... copies, so that each part is
// taken once or not at all and any count up to the bound can be made.
struct Part {
    int item = 0;
    long long copies = 0;
    long long weight = 0; // scaled
    double value = 0;
};

} // namespace

std::vector<KnapsackFill> solveBoundedKnapsack(const std::vector<KnapsackItem>& items,
                                               const std::vector<long long>& capacities,
                                               KnapsackWorkspace& work) {
    std::vector<KnapsackFill> fills(capacities.size());
    for (KnapsackFill& fill : fills)
        fill.counts.assign(items.size(), 0);
    long long largest = 0;
    for (long long c : capacities)
        largest = std::max(largest, c);
    long long unit = 0;
    for (const KnapsackItem& item : items)
        if (item.value > 0 && item.bound > 0 && item.weight > 0 && item.weight <= largest)
            unit = std::gcd(unit, item.weight);
    if (unit == 0)
        return fills;

    const long long top = largest / unit;
    std::vector<Part> parts;
    for (int i = 0; i < int(items.size()); ++i) {
        const KnapsackItem& item = items[std::size_t(i)];
        if (item.value <= 0 || item.bound <= 0 || item.weight <= 0 || item.weight > largest)
            continue;
        const long long weight = item.weight / unit;
        long long left = std::min(item.bound, top / weight);
        for (long long copies = 1; left > 0; copies *= 2) {
            const long long take = std::min(copies, left);
            parts.push_back({i, take, take * weight, double(take) * item.value});
            left -= take;
        }
    }

    // The caller's tables, not thread_local ones: MinGW's runtime frees a
    // thread's storage before it destroys thread_local vectors, so each
    // solving thread's end freed their memory twice and damaged the heap.
    const std::size_t width = std::size_t(top + 1);
    std::vector<std::uint8_t>& taken = work.taken;
    std::vector<double>& best = work.best;
    // Grown by doubling: the number of parts creeps up from one pricing to
    // the next, and a table reallocated to the exact size each time is
    // faulted in afresh each time.
    const std::size_t cells = parts.size() * width;
    if (taken.capacity() < cells)
        taken.reserve(std::max(cells, 2 * taken.capacity()));
    taken.assign(cells, 0);
    best.assign(width, 0.0);
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const Part& part = parts[p];
        std::uint8_t* row = taken.data() + p * width;
        double* dp = best.data();
        const double value = part.value;
        const long long weight = part.weight;
        for (long long c = top; c >= weight; --c) {
            const double candidate = dp[c - weight] + value;
            const bool better = candidate > dp[c];
            row[c] = better;
            dp[c] = better ? candidate : dp[c];
        }
    }

    for (std::size_t k = 0; k < capacities.size(); ++k) {
        long long c = std::max(0LL, capacities[k]) / unit;
        fills[k].value = best[std::size_t(c)];
        for (std::size_t p = parts.size(); p-- > 0;) {
            if (taken[p * width + std::size_t(c)]) {
                fills[k].counts[std::size_t(parts[p].item)] += parts[p].copies;
                c -= parts[p].weight;
            }
        }
    }
    return fills;
}

} // namespace plans
