#include "core/plans/knapsack.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
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

bool usable(const KnapsackItem& item, long long capacity) {
    return item.value > 0 && item.bound > 0 && item.weight > 0 && item.weight <= capacity;
}

// Fewer cells than this, and the table is cheap enough: it is one tight
// loop, and it serves every capacity at once.
constexpr double kSmallTable = 1 << 20;
// What one fill looked at by the search costs, in cells of the table: a
// merge step, its bound and a few branches against one add and compare;
// about 17 ns against 1 ns on the build machine.
constexpr double kCellsPerState = 16;
// The search may use this share of the table's work before it gives up, so
// that where it fails, the whole costs at most this much more than the table.
constexpr double kSearchShare = 0.5;
// After a give-up, this many pricings or fewer go to the table at once (one
// after the first give-up, doubling while the search keeps giving up), so
// that a search that fails each time wastes a fraction of its share only.
constexpr int kMostTableOnly = 16;

// The fills by the table, into `fills` (zeroed by the caller).
void fillByTable(const std::vector<long long>& capacities, const std::vector<Part>& parts,
                 long long unit, long long top, KnapsackWorkspace& work,
                 std::vector<KnapsackFill>& fills) {
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
}

// The fills of one capacity reachable with the parts decided so far, parts
// densest first. Of fills of equal or greater weight only those worth more
// than every lighter one are kept (Nemhauser and Ullmann), and a fill is
// dropped where its value and the fractional fill of its room by the parts
// still to come (densest first, the last cut to fit: Dantzig's bound) cannot
// beat the best fill found. The pattern LP's prices are near proportional to
// the lengths, so few fills pass both, however fine the lengths are.
// False where more than `statesLeft` fills were looked at; `best` starts as
// a fill known to fit (a smaller capacity's) and ends as the best.
bool fillByStates(const std::vector<KnapsackItem>& items, long long capacity, KnapsackFill& best,
                  long long& statesLeft) {
    std::vector<Part> parts;
    for (int i = 0; i < int(items.size()); ++i) {
        const KnapsackItem& item = items[std::size_t(i)];
        if (!usable(item, capacity))
            continue;
        long long left = std::min(item.bound, capacity / item.weight);
        for (long long copies = 1; left > 0; copies *= 2) {
            const long long take = std::min(copies, left);
            parts.push_back({i, take, take * item.weight, double(take) * item.value});
            left -= take;
        }
    }
    // Equal densities lightest first, so that the first fills leave the most
    // room for the rest.
    std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
        const double da = a.value / double(a.weight);
        const double db = b.value / double(b.weight);
        return da != db ? da > db : a.weight < b.weight;
    });
    const std::size_t n = parts.size();
    std::vector<long long> reach(n + 1, 0); // weight of parts 0..k-1
    std::vector<double> worth(n + 1, 0.0);  // and their value
    std::vector<double> density(n + 1, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
        reach[k + 1] = reach[k] + parts[k].weight;
        worth[k + 1] = worth[k] + parts[k].value;
        density[k] = parts[k].value / double(parts[k].weight);
    }
    std::vector<long long> lightest(n + 1, std::numeric_limits<long long>::max()); // of parts k..
    for (std::size_t k = n; k-- > 0;)
        lightest[k] = std::min(lightest[k + 1], parts[k].weight);
    const auto better = [](double value, double than) {
        return value > than + 1e-10 * std::abs(than);
    };

    // The densest parts that fit, as a first fill to beat.
    {
        KnapsackFill greedy;
        greedy.counts.assign(items.size(), 0);
        long long room = capacity;
        for (const Part& part : parts)
            if (part.weight <= room) {
                room -= part.weight;
                greedy.value += part.value;
                greedy.counts[std::size_t(part.item)] += part.copies;
            }
        if (better(greedy.value, best.value))
            best = std::move(greedy);
    }

    struct State {
        long long weight = 0;
        double value = 0;
        int record = -1; // the last part taken; -1: none
    };
    struct Record {
        int previous = -1;
        int part = 0;
    };
    std::vector<Record> records;
    std::vector<State> states{State{}};
    std::vector<State> next;
    double bestValue = best.value;
    int bestRecord = -2; // -2: `best` as it came
    for (std::size_t k = 0; k < n && !states.empty(); ++k) {
        const Part& part = parts[k];
        next.clear();
        // The fills without this part and with it, merged by weight.
        std::size_t without = 0;
        std::size_t with = 0;
        std::size_t withEnd = states.size();
        while (withEnd > 0 && states[withEnd - 1].weight + part.weight > capacity)
            --withEnd;
        double lastValue = -1;
        // The part the bound cuts to fit; it moves towards the denser ones as
        // the fills grow heavier and their room shrinks.
        std::size_t last = std::size_t(std::upper_bound(reach.begin() + std::ptrdiff_t(k + 1),
                                                        reach.end(), reach[k + 1] + capacity) -
                                       reach.begin()) -
                           1;
        while (without < states.size() || with < withEnd) {
            State state;
            bool taken = false;
            if (with == withEnd || (without < states.size() &&
                                    states[without].weight <= states[with].weight + part.weight)) {
                state = states[without++];
            } else {
                state = states[with++];
                state.weight += part.weight;
                state.value += part.value;
                taken = true;
            }
            if (--statesLeft < 0)
                return false;
            if (state.value <= lastValue)
                continue; // a lighter fill is worth as much
            lastValue = state.value;
            const long long room = capacity - state.weight;
            const long long target = reach[k + 1] + room;
            while (reach[last] > target)
                --last;
            double bound = state.value;
            // Where no part still to come fits, the fill is final: a fill of
            // 90 m on a bar of 100 m with pieces of 20 m left is worth what it
            // is, not a tenth of a bar more.
            if (room >= lightest[k + 1])
                bound += worth[last] - worth[k + 1] + double(target - reach[last]) * density[last];
            if (!better(bound, bestValue))
                continue;
            if (taken) {
                records.push_back({state.record, int(k)});
                state.record = int(records.size()) - 1;
            }
            if (better(state.value, bestValue)) {
                bestValue = state.value;
                bestRecord = state.record;
            }
            if (!next.empty() && next.back().weight == state.weight)
                next.back() = state;
            else
                next.push_back(state);
        }
        states.swap(next);
    }
    if (bestRecord != -2) {
        best.value = bestValue;
        std::fill(best.counts.begin(), best.counts.end(), 0);
        for (int r = bestRecord; r >= 0; r = records[std::size_t(r)].previous) {
            const Part& part = parts[std::size_t(records[std::size_t(r)].part)];
            best.counts[std::size_t(part.item)] += part.copies;
        }
    }
    return true;
}

} // namespace

std::vector<KnapsackFill> solveBoundedKnapsack(const std::vector<KnapsackItem>& items,
                                               const std::vector<long long>& capacities,
                                               KnapsackWorkspace& work, KnapsackMethod method) {
    std::vector<KnapsackFill> fills(capacities.size());
    for (KnapsackFill& fill : fills)
        fill.counts.assign(items.size(), 0);
    long long largest = 0;
    for (long long c : capacities)
        largest = std::max(largest, c);
    long long unit = 0;
    for (const KnapsackItem& item : items)
        if (usable(item, largest))
            unit = std::gcd(unit, item.weight);
    if (unit == 0)
        return fills;

    const long long top = largest / unit;
    std::vector<Part> parts;
    for (int i = 0; i < int(items.size()); ++i) {
        const KnapsackItem& item = items[std::size_t(i)];
        if (!usable(item, largest))
            continue;
        const long long weight = item.weight / unit;
        long long left = std::min(item.bound, top / weight);
        for (long long copies = 1; left > 0; copies *= 2) {
            const long long take = std::min(copies, left);
            parts.push_back({i, take, take * weight, double(take) * item.value});
            left -= take;
        }
    }

    const double cells = double(parts.size()) * double(top + 1);
    bool search = method == KnapsackMethod::Search;
    if (method == KnapsackMethod::Cheaper && cells > kSmallTable) {
        search = work.tableOnly == 0;
        work.tableOnly = std::max(0, work.tableOnly - 1);
    }
    if (search) {
        long long statesLeft = method == KnapsackMethod::Search
                                   ? std::numeric_limits<long long>::max()
                                   : (long long)(kSearchShare * cells / kCellsPerState);
        const long long budget = statesLeft;
        std::vector<std::size_t> order(capacities.size());
        std::iota(order.begin(), order.end(), std::size_t(0));
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return capacities[a] < capacities[b]; });
        KnapsackFill found;
        found.counts.assign(items.size(), 0);
        bool done = true;
        for (std::size_t k : order) {
            const long long capacity = std::max(0LL, capacities[k]);
            if (!(done = fillByStates(items, capacity, found, statesLeft)))
                break;
            fills[k] = found;
        }
        work.states += budget - std::max(0LL, statesLeft);
        if (done) {
            work.searched += (long long)capacities.size();
            work.tableNext = 1;
            return fills;
        }
        work.tableOnly = work.tableNext;
        work.tableNext = std::min(2 * work.tableNext, kMostTableOnly);
        for (KnapsackFill& fill : fills) {
            fill.value = 0;
            std::fill(fill.counts.begin(), fill.counts.end(), 0);
        }
    }
    work.tabled += (long long)capacities.size();
    fillByTable(capacities, parts, unit, top, work, fills);
    return fills;
}

} // namespace plans
