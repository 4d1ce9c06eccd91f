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
    // How the fills were found, over the workspace's life: capacities filled
    // by the search over reachable fills, capacities filled by the table (a
    // search given up counts here), and the fills the search looked at. For
    // measuring; the fills do not depend on them.
    long long searched = 0;
    long long tabled = 0;
    long long states = 0;
    // Where the search gave up, the next few pricings of the same search
    // (whose prices change little between them) go to the table at once:
    // how many are left, and how many the next give-up sends there.
    int tableOnly = 0;
    int tableNext = 1;
};

// The most valuable fill of each capacity, items at most `bound` times each.
// Two exact ways, chosen per call by the work each would take:
// - a table over every capacity up to the largest, in units of the greatest
//   common divisor of the weights (lengths in whole centimetres cost a
//   tenth); one pass serves every capacity, but the cost grows with the
//   capacity over that unit;
// - a search over the fills reachable with the pieces, densest first, that
//   keeps only fills worth more than every lighter one and drops those that
//   the bound of the fractional fill (Dantzig) shows cannot beat the best
//   found; its cost depends on the pieces and their prices, not on the
//   capacity's unit. It may look at a number of fills worth a part of the
//   table's work, and falls back to the table past it.
// A fill within a relative 1e-10 of the best is taken as the best.
enum class KnapsackMethod {
    Cheaper, // whichever should take less work, the search falling back to the table
    Table,   // the table alone
    Search,  // the search alone, however long it takes
};

std::vector<KnapsackFill> solveBoundedKnapsack(const std::vector<KnapsackItem>& items,
                                               const std::vector<long long>& capacities,
                                               KnapsackWorkspace& work,
                                               KnapsackMethod method = KnapsackMethod::Cheaper);

} // namespace plans
