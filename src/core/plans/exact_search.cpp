// The exact search over the plans, branch-and-price by bin completion. It is
// one class whose steps (bounds, listing the fills worth trying, going down
// and back up the path) all work on the same open path of nodes; it reads
// best whole, since split across files each part would hand that path on.
#include "core/plans/exact_search.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>

namespace plans::detail {

namespace {

using Fill = std::vector<std::pair<int, long long>>; // (type, pieces), types ascending

// One bar's contents on one stock length, as a key.
std::vector<long long> keyOf(int stock, const Fill& fill) {
    std::vector<long long> key{stock};
    for (const auto& [type, n] : fill)
        key.insert(key.end(), {type, n});
    return key;
}

// Bars of an LP plan closer than this to a whole number count as whole.
constexpr double kWhole = 1e-6;
// Numbers the open path may hold (residuals, prices, LP plans): a path of
// more bars than fits is given up and the best plan so far kept, unproven.
constexpr std::size_t kPathCells = 8'000'000;
// Fills listed on the open path before the search gives up, unproven.
constexpr std::size_t kMostChildren = 1'000'000;

struct Child {
    int stock = 0;
    Fill fill;
    double reducedCost = 0;
    double lpBars = 0; // bars of this fill in the LP's plan at the node
    int column = -1;   // its LP column; -1: not a column
    long long load = 0;
};

// A node: the bars above it are fixed, one per level; what is left is to be
// cut from the stock left.
struct Node {
    std::vector<long long> residual;
    std::vector<long long> left;
    long long cost = 0;   // of the bars fixed so far
    long long placed = 0; // pieces in them
    Cut bar;              // the bar fixed at this level; none at the root
    // Prices that bound every plan for what is left (Lagrangian duals of the
    // pattern LP): a piece's at least 0, a limited stock's at most 0. Those
    // of the node above stay valid here, so a node whose LP is not solved
    // keeps them.
    std::vector<double> prices;
    std::vector<double> stockPrices;
    bool lpOptimal = false; // `solution` is the LP's optimum for this residual
    bool solvedHere = false;
    std::vector<std::pair<int, double>> solution; // (column, bars)
    double bound = 0; // what is left costs at least this (LP units, before slack)
    std::vector<Child> children;
    std::size_t next = 0;
    bool listed = false;  // all fills worth trying are in `children`
    std::size_t held = 0; // of them, listed by the search over fills
    bool entered = false;
    std::vector<std::vector<long long>> forbade; // keys this node ruled out for later siblings
};

class Search {
public:
    Search(const Problem& problem, const std::vector<long long>& demand, PatternSearch& lp,
           const Stop& stop, const ExactSearchHooks& hooks)
        : m_problem(problem), m_demand(demand), m_lp(lp), m_stop(stop), m_hooks(hooks) {}

    ExactSearchOutcome run() {
        const int types = int(m_problem.types.size());
        const int stocks = int(m_problem.lengths.size());
        for (long long d : m_demand)
            m_total += d;
        // The LP sees a token cost for bars already paid for: a plan's LP cost
        // is above its real cost by at most this.
        for (int s = 0; s < stocks; ++s) {
            const double over = m_problem.lpCost(s) - double(m_problem.cost(s));
            if (over <= 0)
                continue;
            m_slack += m_problem.available[std::size_t(s)] == kUnlimited
                           ? 1e30
                           : over * double(m_problem.available[std::size_t(s)]);
        }
        m_maxDepth =
            std::max<std::size_t>(64, kPathCells / std::size_t(4 * types + 2 * stocks + 16));
        refreshLimit();

        Node root;
        root.residual = m_demand;
        root.left = m_problem.available;
        root.prices.assign(std::size_t(types), 0.0);
        root.stockPrices.assign(std::size_t(stocks), 0.0);
        m_path.push_back(std::move(root));
        while (!m_path.empty()) {
            if (!m_path.back().entered) {
                m_path.back().entered = true;
                const bool open = enter(m_path.size() - 1);
                if (m_aborted)
                    return m_outcome;
                if (!open) {
                    leave();
                    continue;
                }
            }
            if (!descend() && !m_aborted)
                leave();
            if (m_aborted)
                return m_outcome;
        }
        m_outcome.exhausted = !m_lost;
        return m_outcome;
    }

private:
    // The greatest sum of bar costs below the best plan's cost: a node is
    // worth going into only if its bound rounds to no more than this.
    void refreshLimit() {
        const long long best = m_hooks.bestCost();
        if (best == m_incumbent)
            return;
        m_incumbent = best;
        if (best == kUnlimited) {
            m_limit = 1e300;
            return;
        }
        if (best <= 0) {
            m_limit = -1;
            return;
        }
        // Every plan's cost is a multiple of the costs' common divisor. Where
        // the cheapest bar is many such steps (prices to the 0.00001 yuan),
        // the sums on offer are too many to look through at each new best
        // plan, and one step below it is the limit.
        long long step = 0;
        long long cheapest = kUnlimited;
        for (long long c : m_problem.costs)
            if (c > 0) {
                step = std::gcd(step, c);
                cheapest = std::min(cheapest, c);
            }
        if (step == 0 || cheapest / step > 4096) {
            m_limit = double(step == 0 ? best - 1 : best - step);
            return;
        }
        long long lo = 0;
        long long hi = best - 1;
        while (lo < hi) {
            const long long mid = lo + (hi - lo + 1) / 2;
            if (m_hooks.leastCostAtLeast(mid) < best)
                lo = mid;
            else
                hi = mid - 1;
        }
        m_limit = double(lo);
    }

    double tolerance(const Node& node) const {
        return 1e-6 * (double(node.cost) + std::abs(node.bound)) + 1e-6;
    }

    // Nothing cheaper is below this node when its bound exceeds the limit.
    bool hopeless(const Node& node, double bound) const {
        return double(node.cost) + bound - m_slack - tolerance(node) > m_limit;
    }

    // Bounds that need no LP: the pieces' length at the best price per mm of
    // the stock left, and the bars Martello and Toth's L2 says the pieces
    // need, at the cheapest bar that holds one.
    double quickBound(const Node& node) const {
        const int types = int(m_problem.types.size());
        long long lightest = 0;
        for (int i = types - 1; i >= 0; --i)
            if (node.residual[std::size_t(i)] > 0) {
                lightest = m_problem.weight(i);
                break;
            }
        if (lightest == 0)
            return 0;
        double perUnit = 1e300;
        double cheapest = 1e300;
        long long widest = 0;
        for (int s = 0; s < int(m_problem.lengths.size()); ++s) {
            if (node.left[std::size_t(s)] <= 0 || m_problem.capacity(s) < lightest)
                continue;
            perUnit = std::min(perUnit, double(m_problem.cost(s)) / double(m_problem.capacity(s)));
            cheapest = std::min(cheapest, double(m_problem.cost(s)));
            widest = std::max(widest, m_problem.capacity(s));
        }
        if (widest == 0)
            return 1e300;
        double weight = 0;
        for (int i = 0; i < types; ++i) {
            const long long r = node.residual[std::size_t(i)];
            if (r > 0 && m_problem.weight(i) > widest)
                return 1e300; // a piece no bar left can hold
            weight += double(r) * double(m_problem.weight(i));
        }
        long long bars = 0;
        const long long half = widest / 2;
        for (int a = types; a >= 0; --a) { // a == types: α = 0
            long long alpha = 0;
            if (a < types) {
                if (node.residual[std::size_t(a)] == 0 || m_problem.weight(a) > half)
                    continue;
                alpha = m_problem.weight(a);
            }
            long long big = 0, middle = 0, middleWeight = 0, smallWeight = 0;
            for (int i = 0; i < types; ++i) {
                const long long r = node.residual[std::size_t(i)];
                const long long w = m_problem.weight(i);
                if (r == 0)
                    continue;
                if (w > widest - alpha)
                    big += r;
                else if (2 * w > widest) {
                    middle += r;
                    middleWeight += r * w;
                } else if (w >= alpha)
                    smallWeight += r * w;
            }
            const long long spare = middle * widest - middleWeight;
            const long long more =
                smallWeight > spare ? (smallWeight - spare + widest - 1) / widest : 0;
            bars = std::max(bars, big + middle + more);
        }
        return std::max(weight * perUnit, double(bars) * cheapest);
    }

    double dualBound(const Node& node) const {
        double sum = 0;
        for (std::size_t i = 0; i < node.residual.size(); ++i)
            sum += node.prices[i] * double(node.residual[i]);
        for (std::size_t s = 0; s < node.left.size(); ++s)
            if (m_problem.available[s] != kUnlimited)
                sum += node.stockPrices[s] * double(node.left[s]);
        return sum;
    }

    // The LP's new columns, so that a fill can be found among them.
    void learnColumns() {
        for (; m_known < m_lp.patterns(); ++m_known) {
            const Cut& p = m_lp.pattern(m_known);
            m_columns.emplace(keyOf(p.stock, p.pieces), m_known);
        }
    }

    // Offers the bars of the path down to `node` and `more` as a plan, more
    // trimmed of pieces beyond what is still wanted (an LP plan may cover a
    // piece twice).
    void offer(std::size_t at, std::vector<Cut> more) {
        const Node& node = m_path[at];
        std::vector<long long> left = node.left;
        std::vector<long long> excess(node.residual.size(), 0);
        for (const Cut& cut : more)
            for (const auto& [type, n] : cut.pieces)
                excess[std::size_t(type)] += cut.count * n;
        for (std::size_t i = 0; i < excess.size(); ++i)
            excess[i] -= node.residual[i];
        std::vector<Cut> rest;
        for (Cut& cut : more) {
            if (left[std::size_t(cut.stock)] != kUnlimited)
                left[std::size_t(cut.stock)] -= cut.count;
            // Bars that carry a surplus piece give it up one at a time.
            while (cut.count > 0) {
                bool over = false;
                for (const auto& [type, n] : cut.pieces)
                    over = over || excess[std::size_t(type)] > 0;
                if (!over)
                    break;
                Cut one{cut.stock, {}, 1};
                for (const auto& [type, n] : cut.pieces) {
                    const long long drop = std::min(n, std::max(0LL, excess[std::size_t(type)]));
                    excess[std::size_t(type)] -= drop;
                    if (n > drop)
                        one.pieces.push_back({type, n - drop});
                }
                --cut.count;
                if (one.pieces.empty()) {
                    if (left[std::size_t(cut.stock)] != kUnlimited)
                        ++left[std::size_t(cut.stock)];
                } else
                    rest.push_back(std::move(one));
            }
            if (cut.count > 0)
                rest.push_back(std::move(cut));
        }
        // Only a plan that cuts every piece wanted is offered (the bars of
        // the path cut what is not left).
        std::vector<long long> given(m_demand.size(), 0);
        long long cost = node.cost;
        for (const Cut& cut : rest) {
            cost += cut.count * m_problem.cost(cut.stock);
            for (const auto& [type, n] : cut.pieces)
                given[std::size_t(type)] += cut.count * n;
        }
        if (given != node.residual)
            return;
        // A plan no cheaper than the best is worth offering only where a bar
        // of it could move to cheaper stock with bars left; most are not, and
        // writing out a long path for each costs more than the LP.
        if (cost >= m_incumbent && !cheaperStockFor(at, rest, left))
            return;
        std::vector<Cut> cuts;
        for (std::size_t k = 1; k <= at; ++k)
            cuts.push_back(m_path[k].bar);
        for (Cut& cut : rest)
            cuts.push_back(std::move(cut));
        m_hooks.offer(std::move(cuts), left);
        refreshLimit();
        // A cheaper plan the caller did not keep: the best plan is then not
        // the cheapest, however many nodes the search gets through.
        if (m_incumbent > cost)
            m_lost = true;
    }

    bool cheaperStockFor(std::size_t at, const std::vector<Cut>& rest,
                         const std::vector<long long>& left) const {
        const auto movable = [&](const Cut& cut) {
            const long long load = m_problem.load(cut.pieces);
            for (std::size_t s = 0; s < left.size(); ++s)
                if (left[s] > 0 && m_problem.cost(int(s)) < m_problem.cost(cut.stock) &&
                    m_problem.capacity(int(s)) >= load)
                    return true;
            return false;
        };
        for (std::size_t k = 1; k <= at; ++k)
            if (movable(m_path[k].bar))
                return true;
        return std::any_of(rest.begin(), rest.end(), movable);
    }

    // A plan from the LP at this node: its whole bars, then each new bar
    // filled longest piece first on the widest stock left and moved to the
    // cheapest that holds it. False where the stock left cannot hold it.
    bool roundLp(const Node& node, std::vector<Cut>& cuts) const {
        std::vector<long long> residual = node.residual;
        std::vector<long long> left = node.left;
        for (const auto& [j, x] : node.solution) {
            const Cut& p = m_lp.pattern(j);
            long long bars =
                std::min((long long)std::floor(x + kWhole), left[std::size_t(p.stock)]);
            for (const auto& [type, n] : p.pieces)
                bars = std::min(bars, residual[std::size_t(type)] / n);
            if (bars <= 0)
                continue;
            for (const auto& [type, n] : p.pieces)
                residual[std::size_t(type)] -= bars * n;
            if (left[std::size_t(p.stock)] != kUnlimited)
                left[std::size_t(p.stock)] -= bars;
            cuts.push_back({p.stock, p.pieces, bars});
        }
        const int types = int(residual.size());
        const int stocks = int(left.size());
        for (;;) {
            int widest = -1;
            for (int s = 0; s < stocks; ++s)
                if (left[std::size_t(s)] > 0 &&
                    (widest < 0 || m_problem.capacity(s) > m_problem.capacity(widest)))
                    widest = s;
            Fill fill;
            long long room = widest < 0 ? 0 : m_problem.capacity(widest);
            for (int i = 0; i < types; ++i) {
                const long long take =
                    std::min(residual[std::size_t(i)], room / m_problem.weight(i));
                if (take > 0) {
                    fill.push_back({i, take});
                    room -= take * m_problem.weight(i);
                }
            }
            if (fill.empty()) {
                for (long long r : residual)
                    if (r > 0)
                        return false;
                return true;
            }
            const long long load = m_problem.load(fill);
            int stock = -1;
            for (int s = 0; s < stocks; ++s)
                if (left[std::size_t(s)] > 0 && m_problem.capacity(s) >= load &&
                    (stock < 0 || m_problem.cost(s) < m_problem.cost(stock)))
                    stock = s;
            long long bars = left[std::size_t(stock)];
            for (const auto& [type, n] : fill)
                bars = std::min(bars, residual[std::size_t(type)] / n);
            for (const auto& [type, n] : fill)
                residual[std::size_t(type)] -= bars * n;
            if (left[std::size_t(stock)] != kUnlimited)
                left[std::size_t(stock)] -= bars;
            cuts.push_back({stock, std::move(fill), bars});
        }
    }

    // Bounds, the LP and plans from it at a node; false where nothing below
    // it can beat the best plan (or the search stops).
    bool enter(std::size_t at) {
        if (m_stop.expired()) {
            m_aborted = true;
            return false;
        }
        ++m_outcome.nodes;
        {
            Node& node = m_path[at];
            if (node.placed == m_total) {
                offer(at, {});
                return false;
            }
            if (m_path.size() > m_maxDepth) {
                m_aborted = true;
                return false;
            }
            if (hopeless(node, quickBound(node) + m_slack))
                return false;
            if (!node.lpOptimal) {
                m_lp.setResidual(node.residual, node.left);
                const PatternSearch::Outcome lp = m_lp.solve(m_stop);
                if (lp.solved) {
                    if (!lp.feasible)
                        return false;
                    for (std::size_t i = 0; i < node.prices.size(); ++i)
                        node.prices[i] = m_lp.piecePrice(int(i));
                    for (std::size_t s = 0; s < node.stockPrices.size(); ++s)
                        node.stockPrices[s] = m_lp.stockPrice(int(s));
                    node.solution.clear();
                    for (int j = 0; j < m_lp.patterns(); ++j)
                        if (m_lp.enabled(j) && m_lp.value(j) > 1e-9)
                            node.solution.push_back({j, m_lp.value(j)});
                    node.lpOptimal = true;
                    node.solvedHere = true;
                } else if (m_stop.expired()) {
                    m_aborted = true;
                    return false;
                }
                // Otherwise CLP gave up here; the prices from above still bound it.
            }
            node.bound = dualBound(node);
            if (hopeless(node, node.bound))
                return false;
        }
        // Plans from the LP: its own where whole, else rounded and finished.
        bool whole = m_path[at].lpOptimal;
        for (const auto& [j, x] : m_path[at].solution)
            whole = whole && std::abs(x - std::round(x)) < kWhole;
        if (whole) {
            std::vector<Cut> cuts;
            for (const auto& [j, x] : m_path[at].solution)
                cuts.push_back(
                    {m_lp.pattern(j).stock, m_lp.pattern(j).pieces, (long long)std::llround(x)});
            offer(at, std::move(cuts));
        } else if (m_path[at].solvedHere) {
            std::vector<Cut> cuts;
            if (roundLp(m_path[at], cuts))
                offer(at, std::move(cuts));
        }
        Node& node = m_path[at];
        if (hopeless(node, node.bound))
            return false;

        // First the LP's own choice: its most used whole bar holding the
        // longest piece left, which the node below takes over without a new
        // LP. The other fills are listed only if that one fails.
        const int first = firstWanted(node);
        int chosen = -1;
        double most = 0;
        for (const auto& [j, x] : node.solution) {
            const Cut& p = m_lp.pattern(j);
            if (x < 1 - kWhole || node.left[std::size_t(p.stock)] <= 0)
                continue;
            bool fits = false;
            bool within = true;
            for (const auto& [type, n] : p.pieces) {
                fits = fits || type == first;
                within = within && n <= node.residual[std::size_t(type)];
            }
            if (fits && within && x > most && !m_forbidden.count(keyOf(p.stock, p.pieces))) {
                most = x;
                chosen = j;
            }
        }
        if (chosen >= 0) {
            const Cut& p = m_lp.pattern(chosen);
            Child child;
            child.stock = p.stock;
            child.fill = p.pieces;
            child.column = chosen;
            child.lpBars = most;
            child.reducedCost = reducedCost(node, p.stock, p.pieces);
            child.load = m_problem.load(p.pieces);
            node.children.push_back(std::move(child));
        }
        return true;
    }

    int firstWanted(const Node& node) const {
        for (std::size_t i = 0; i < node.residual.size(); ++i)
            if (node.residual[i] > 0)
                return int(i);
        return -1;
    }

    double reducedCost(const Node& node, int stock, const Fill& fill) const {
        double value = 0;
        for (const auto& [type, n] : fill)
            value += double(n) * node.prices[std::size_t(type)];
        return m_problem.lpCost(stock) - node.stockPrices[std::size_t(stock)] - value;
    }

    // Every maximal fill of one bar holding the longest piece left (no piece
    // still wanted fits in what is left of the bar) whose reduced cost leaves
    // room under the best plan, on each stock length with bars left, by
    // depth-first search over the piece lengths. Any plan can be changed into
    // one whose bar with that piece is maximal, at no more cost, by moving
    // pieces into it, so the others need no trying.
    void listChildren(std::size_t at) {
        Node& node = m_path[at];
        node.listed = true;
        const int types = int(m_problem.types.size());
        const int first = firstWanted(node);
        const double rcLimit = m_limit - double(node.cost) - node.bound + m_slack + tolerance(node);
        std::vector<int> order; // piece lengths still wanted, longest first
        for (int i = first; i < types; ++i)
            if (node.residual[std::size_t(i)] > 0)
                order.push_back(i);
        const std::size_t m = order.size();
        std::vector<double> bestRatio(m + 1, 0.0); // best price per unit of weight from here on
        std::vector<long long> weightFrom(m + 1, 0);
        for (std::size_t k = m; k-- > 0;) {
            const int i = order[k];
            bestRatio[k] = std::max(bestRatio[k + 1],
                                    node.prices[std::size_t(i)] / double(m_problem.weight(i)));
            weightFrom[k] = weightFrom[k + 1] + node.residual[std::size_t(i)] * m_problem.weight(i);
        }
        learnColumns();
        std::map<int, double> lpBars(node.solution.begin(), node.solution.end());
        std::set<std::vector<long long>> listed;
        for (const Child& c : node.children)
            listed.insert(keyOf(c.stock, c.fill));
        std::vector<Child> found;
        std::vector<long long> counts(m, 0);
        long long steps = 0;
        const double slackValue = 1e-9 * (1 + std::abs(node.bound));
        for (int s = 0; s < int(m_problem.lengths.size()) && !m_aborted; ++s) {
            if (node.left[std::size_t(s)] <= 0 || m_problem.capacity(s) < m_problem.weight(first))
                continue;
            const double need =
                m_problem.lpCost(s) - node.stockPrices[std::size_t(s)] - rcLimit - slackValue;
            // shortestLeft: the lightest piece not all taken so far; the fill
            // is maximal only if the room at the end is below it.
            std::function<void(std::size_t, long long, double, long long)> fillFrom =
                [&](std::size_t k, long long room, double value, long long shortestLeft) {
                    if (m_aborted)
                        return;
                    if ((++steps & 4095) == 0 && m_stop.expired()) {
                        m_aborted = true;
                        return;
                    }
                    if (value + double(room) * bestRatio[k] < need)
                        return;
                    if (room - weightFrom[k] >= shortestLeft)
                        return; // the rest cannot bring the room below that piece
                    if (k == m) {
                        Fill fill;
                        for (std::size_t q = 0; q < m; ++q)
                            if (counts[q] > 0)
                                fill.push_back({order[q], counts[q]});
                        std::vector<long long> key = keyOf(s, fill);
                        if (listed.count(key) || m_forbidden.count(key))
                            return;
                        Child child;
                        child.stock = s;
                        child.reducedCost =
                            m_problem.lpCost(s) - node.stockPrices[std::size_t(s)] - value;
                        if (auto column = m_columns.find(key); column != m_columns.end()) {
                            child.column = column->second;
                            if (auto x = lpBars.find(column->second); x != lpBars.end())
                                child.lpBars = x->second;
                        }
                        child.load = m_problem.capacity(s) - room;
                        child.fill = std::move(fill);
                        found.push_back(std::move(child));
                        if (m_childrenHeld + found.size() > kMostChildren)
                            m_aborted = true;
                        return;
                    }
                    const int i = order[k];
                    const long long w = m_problem.weight(i);
                    const long long r = node.residual[std::size_t(i)];
                    const long long most = std::min(r, room / w);
                    const long long least = k == 0 ? 1 : 0;
                    for (long long n = most; n >= least && !m_aborted; --n) {
                        counts[k] = n;
                        fillFrom(k + 1, room - n * w,
                                 value + double(n) * node.prices[std::size_t(i)],
                                 n < r ? std::min(shortestLeft, w) : shortestLeft);
                    }
                    counts[k] = 0;
                };
            fillFrom(0, m_problem.capacity(s), 0.0, std::numeric_limits<long long>::max());
        }
        if (m_aborted)
            return;
        // Cheapest first in reduced cost; among equals, what the LP uses most,
        // then the fuller bar.
        const double grain =
            1e-6 * std::max(1.0, std::abs(node.bound) / double(std::max(1LL, m_total)));
        std::sort(found.begin(), found.end(), [grain](const Child& a, const Child& b) {
            const long long ra = std::llround(a.reducedCost / grain);
            const long long rb = std::llround(b.reducedCost / grain);
            if (ra != rb)
                return ra < rb;
            if (a.lpBars != b.lpBars)
                return a.lpBars > b.lpBars;
            return a.load > b.load;
        });
        m_childrenHeld += found.size();
        node.held = found.size();
        for (Child& c : found)
            node.children.push_back(std::move(c));
    }

    // The next fill at the node on top, as a node of its own; false where
    // none is left.
    bool descend() {
        const std::size_t at = m_path.size() - 1;
        for (;;) {
            Node& node = m_path[at];
            if (node.next == node.children.size()) {
                if (node.listed)
                    return false;
                listChildren(at);
                if (m_aborted)
                    return false;
                continue;
            }
            const Child& child = m_path[at].children[m_path[at].next++];
            const std::vector<long long> key = keyOf(child.stock, child.fill);
            // Plans with this fill were all tried below it (or cannot beat
            // the best): the later fills' nodes need not make it again.
            const bool worth = !hopeless(node, node.bound + child.reducedCost);
            if (!worth) {
                forbid(at, key);
                continue;
            }
            Node below;
            below.residual = node.residual;
            long long pieces = 0;
            for (const auto& [type, n] : child.fill) {
                below.residual[std::size_t(type)] -= n;
                pieces += n;
            }
            below.left = node.left;
            if (below.left[std::size_t(child.stock)] != kUnlimited)
                --below.left[std::size_t(child.stock)];
            below.cost = node.cost + m_problem.cost(child.stock);
            below.placed = node.placed + pieces;
            below.bar = {child.stock, child.fill, 1};
            below.prices = node.prices;
            below.stockPrices = node.stockPrices;
            // One bar fewer of a pattern the LP uses whole leaves the LP's
            // optimum for what is left, at the same prices.
            if (node.lpOptimal && child.column >= 0 && child.lpBars >= 1 - kWhole) {
                below.lpOptimal = true;
                below.solution = node.solution;
                for (auto it = below.solution.begin(); it != below.solution.end(); ++it)
                    if (it->first == child.column) {
                        it->second -= 1;
                        if (it->second < 1e-9)
                            below.solution.erase(it);
                        break;
                    }
            }
            m_path.push_back(std::move(below));
            return true;
        }
    }

    void forbid(std::size_t at, const std::vector<long long>& key) {
        if (m_forbidden.insert(key).second)
            m_path[at].forbade.push_back(key);
    }

    // The node on top is done: its own exclusions go, and the fill that led
    // to it is ruled out for its later siblings.
    void leave() {
        m_childrenHeld -= m_path.back().held;
        for (const auto& key : m_path.back().forbade)
            m_forbidden.erase(key);
        const Cut bar = m_path.back().bar;
        m_path.pop_back();
        if (!m_path.empty())
            forbid(m_path.size() - 1, keyOf(bar.stock, bar.pieces));
    }

    const Problem& m_problem;
    const std::vector<long long>& m_demand;
    PatternSearch& m_lp;
    const Stop& m_stop;
    const ExactSearchHooks& m_hooks;
    ExactSearchOutcome m_outcome;
    long long m_total = 0;
    double m_slack = 0;
    long long m_incumbent = -1;
    double m_limit = 1e300;
    std::size_t m_maxDepth = 0;
    bool m_aborted = false;
    bool m_lost = false;            // a cheaper plan found was not kept
    std::size_t m_childrenHeld = 0; // fills listed on the open path
    std::vector<Node> m_path;
    std::set<std::vector<long long>> m_forbidden;
    std::map<std::vector<long long>, int> m_columns;
    int m_known = 0;
};

} // namespace

ExactSearchOutcome searchExactly(const Problem& problem, const std::vector<long long>& demand,
                                 PatternSearch& lp, const Stop& stop,
                                 const ExactSearchHooks& hooks) {
    return Search(problem, demand, lp, stop, hooks).run();
}

} // namespace plans::detail
