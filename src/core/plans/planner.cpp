#include "core/plans/planner.h"

#include "core/plans/exact_search.h"
#include "core/plans/pattern_search.h"
#include "core/plans/plan_problem.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <numeric>
#include <set>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace plans {

using namespace detail;

namespace {

// More pieces than this in one group are refused: the sums of lengths stay
// far inside 64 bits and the answer inside a working day's patience.
constexpr long long kMaxPieces = 100'000'000;

// ---------------------------------------------------------------------------
// A quick plan: each new bar filled longest piece first, and repeated while
// the pieces last. It is the plan to fall back on when time runs out, and
// finishes what the LP leaves over.
bool greedyFill(const Problem& problem, std::vector<long long>& residual,
                std::vector<long long>& left, std::vector<Cut>& cuts) {
    const int types = int(problem.types.size());
    for (;;) {
        int first = 0;
        while (first < types && residual[std::size_t(first)] == 0)
            ++first;
        if (first == types)
            return true;
        int stock = -1;
        for (int s = int(problem.lengths.size()) - 1; s >= 0; --s)
            if (left[std::size_t(s)] > 0) {
                stock = s;
                break;
            }
        if (stock < 0 || problem.capacity(stock) < problem.weight(first))
            return false;
        Cut cut;
        long long room = problem.capacity(stock);
        for (int i = first; i < types && room > 0; ++i) {
            const long long take = std::min(residual[std::size_t(i)], room / problem.weight(i));
            if (take > 0) {
                cut.pieces.push_back({i, take});
                room -= take * problem.weight(i);
            }
        }
        cut.stock = problem.cheapestHolding(problem.load(cut.pieces), left);
        long long repeat = left[std::size_t(cut.stock)];
        for (const auto& [type, n] : cut.pieces)
            repeat = std::min(repeat, residual[std::size_t(type)] / n);
        cut.count = repeat;
        for (const auto& [type, n] : cut.pieces)
            residual[std::size_t(type)] -= repeat * n;
        if (left[std::size_t(cut.stock)] != kUnlimited)
            left[std::size_t(cut.stock)] -= repeat;
        cuts.push_back(std::move(cut));
    }
}

long long stockOf(const Problem& problem, const std::vector<Cut>& cuts) {
    long long sum = 0;
    for (const Cut& cut : cuts)
        sum += cut.count * problem.cost(cut.stock);
    return sum;
}

long long moneyOf(const Problem& problem, const std::vector<Cut>& cuts) {
    long long sum = 0;
    for (const Cut& cut : cuts)
        sum += cut.count * problem.money[std::size_t(cut.stock)];
    return sum;
}

// Each bar on the cheapest stock that still holds its pieces, where bars of
// it are left: without prices, the shortest.
void shortenBars(const Problem& problem, std::vector<long long> left, std::vector<Cut>& cuts) {
    std::vector<Cut> out;
    for (Cut& cut : cuts) {
        const long long load = problem.load(cut.pieces);
        while (cut.count > 0) {
            const int s = problem.cheapestHolding(load, left);
            if (s < 0 || problem.cost(s) >= problem.cost(cut.stock))
                break;
            const long long moved = std::min(cut.count, left[std::size_t(s)]);
            Cut shorter = cut;
            shorter.stock = s;
            shorter.count = moved;
            cut.count -= moved;
            if (left[std::size_t(s)] != kUnlimited)
                left[std::size_t(s)] -= moved;
            out.push_back(std::move(shorter));
        }
        if (cut.count > 0)
            out.push_back(std::move(cut));
    }
    cuts = std::move(out);
}

// ---------------------------------------------------------------------------
// The least total of stock lengths (any number of each) at or above `bound`:
// no plan's stock can come to less. The smallest sum in each remainder class
// modulo the shortest length is found first (shortest paths over the
// remainders), so huge bounds cost nothing more.
long long leastStockAtLeast(const std::vector<long long>& lengths, long long bound) {
    if (bound <= 0)
        return 0;
    long long unit = 0;
    for (long long l : lengths)
        if (l > 0)
            unit = std::gcd(unit, l);
    if (unit == 0)
        return bound;
    std::vector<long long> scaled;
    for (long long l : lengths)
        if (l > 0)
            scaled.push_back(l / unit);
    const long long target = (bound + unit - 1) / unit;
    const long long m = *std::min_element(scaled.begin(), scaled.end());
    // Prices that share no common measure make the remainders too many to
    // go through: the bound itself, rounded to the common unit, still holds.
    if (m > 200'000)
        return target * unit;
    std::vector<long long> least(std::size_t(m), kUnlimited);
    least[0] = 0;
    std::set<std::pair<long long, long long>> queue{{0, 0}};
    while (!queue.empty()) {
        const auto [d, r] = *queue.begin();
        queue.erase(queue.begin());
        if (d != least[std::size_t(r)])
            continue;
        for (long long l : scaled) {
            const long long next = (r + l) % m;
            if (d + l < least[std::size_t(next)]) {
                least[std::size_t(next)] = d + l;
                queue.insert({d + l, next});
            }
        }
    }
    long long best = kUnlimited;
    for (long long r = 0; r < m; ++r) {
        if (least[std::size_t(r)] == kUnlimited)
            continue;
        const long long up = target + ((r - target % m) % m + m) % m;
        best = std::min(best, std::max(least[std::size_t(r)], up));
    }
    return best * unit;
}

// What one bar costs in money (cost units): its length where no prices are
// given; nothing for bars already paid for.
long long moneyPerBar(const StockLength& s, Pricing pricing) {
    if (s.source != StockSource::Bought)
        return 0;
    // Prices are taken to the fen, so that a bar's cost is a whole number of
    // units whatever its length.
    const long long fen = std::llround(s.price * 100);
    switch (pricing) {
    case Pricing::None:
        return s.length;
    case Pricing::PerMetre:
        return fen * s.length; // fen/m × mm = kCostUnitsPerYuan units
    case Pricing::PerBar:
        return fen * (kCostUnitsPerYuan / 100);
    }
    return s.length;
}

// The search's costs: money first, then the steel already paid for. Bars
// paid for cost their length in `step`s of mm, bought bars their money times
// one more than all those together, so that no use of the yard's steel can
// outweigh a unit of money. The step grows only where the products could
// overflow (a yard of thousands of bars and a list of millions of pieces).
// False where even the money alone could.
bool setCosts(Problem& problem, long long pieces) {
    long long dearest = 1;
    for (long long m : problem.money)
        dearest = std::max(dearest, m);
    const long long barsAtMost = std::max(1LL, pieces);
    if (double(dearest) * double(barsAtMost) >= 4e18)
        return false;
    for (long long step = 1;; step *= 10) {
        long long paid = 0;
        bool fits = true;
        for (std::size_t s = 0; s < problem.lengths.size() && fits; ++s)
            if (problem.sources[s] != StockSource::Bought) {
                const long long bars = std::min(problem.available[s], barsAtMost);
                paid += bars * ((problem.lengths[s] + step - 1) / step);
                fits = paid < (1LL << 40);
            }
        const long long scale = 1 + paid;
        fits = fits && double(scale) * double(dearest) * double(barsAtMost) < 4e18;
        if (!fits && step < 1'000'000'000'000LL)
            continue;
        problem.paidScale = fits ? scale : 1;
        problem.costs.clear();
        for (std::size_t s = 0; s < problem.lengths.size(); ++s)
            problem.costs.push_back(problem.sources[s] == StockSource::Bought
                                        ? problem.money[s] * problem.paidScale
                                        : std::max(1LL, (problem.lengths[s] + step - 1) / step));
        problem.lpCosts.assign(problem.costs.begin(), problem.costs.end());
        return true;
    }
}

} // namespace

QString checkSettings(const PlanSettings& settings) {
    if (settings.stock.isEmpty())
        return QStringLiteral("没有给出原材料长度。");
    for (const StockLength& s : settings.stock) {
        if (s.length <= 0)
            return QStringLiteral("原材料长度 %1 mm 不对：必须大于 0。").arg(s.length);
        if (s.available && *s.available < 0)
            return QStringLiteral("%1 mm 原材料的根数不能为负数。").arg(s.length);
        if (s.source != StockSource::Bought && !s.available)
            return QStringLiteral("%1 mm 的%2要给出根数。")
                .arg(s.length)
                .arg(s.source == StockSource::OnHand ? QStringLiteral("库存料")
                                                     : QStringLiteral("余料"));
        if (s.source == StockSource::Bought && settings.pricing != Pricing::None &&
            !(std::isfinite(s.price) && s.price > 0 && s.price < 1e6))
            return QStringLiteral("%1 mm 原材料的价格 %2 元不对：必须大于 0。")
                .arg(s.length)
                .arg(s.price);
    }
    if (settings.kerf < 0)
        return QStringLiteral("锯口宽度不能为负数。");
    if (settings.keepOffcut < 0)
        return QStringLiteral("余料的最短长度不能为负数。");
    if (settings.splice.kind == SpliceKind::Lap &&
        !(settings.splice.lapLength > 0 || settings.splice.lapDiameters > 0))
        return QStringLiteral("搭接长度必须大于 0。");
    return {};
}

void countTotals(GroupPlan& plan) {
    plan.stock.clear();
    plan.stockLength = plan.piecesLength = plan.keptOffcut = plan.waste = 0;
    plan.utilisation = 0;
    addUp(plan);
}

GroupPlan planGroup(const PieceGroup& group, const PlanSettings& settings,
                    const PlanControl& control, int groupIndex, int groupCount) {
#if defined(__GLIBC__)
    // CLP frees and takes its factorisation arrays again at every solve, and
    // glibc hands the top of the heap back to the system each time, then
    // faults it in again: two thirds of the solving time. Keeping up to 64 MB
    // of freed heap avoids it.
    static std::once_flag heapKept;
    std::call_once(heapKept, [] {
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        mallopt(M_TOP_PAD, 16 << 20);
    });
#endif
    const Clock::time_point start = Clock::now();
    GroupPlan plan;
    plan.grade = group.grade;
    plan.diameter = group.diameter;
    auto fail = [&](const QString& reason) {
        plan.error = reason;
        plan.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return plan;
    };
    if (const QString problem = checkSettings(settings); !problem.isEmpty())
        return fail(problem);
    if (group.pieces.isEmpty())
        return fail(QStringLiteral("这一组没有要下的料。"));
    long long total = 0;
    for (const Piece& piece : group.pieces) {
        const QString name = pieceName(piece.label, piece.length);
        if (piece.length <= 0)
            return fail(piece.label.isEmpty()
                            ? QStringLiteral("有 %1 根料的料长为 %2 mm，料长必须大于 0。")
                                  .arg(piece.count)
                                  .arg(piece.length)
                            : QStringLiteral("%1的料长为 %2 mm，料长必须大于 0。")
                                  .arg(name)
                                  .arg(piece.length));
        if (piece.count <= 0)
            return fail(
                QStringLiteral("%1的根数为 %2，根数必须大于 0。").arg(name).arg(piece.count));
        if (piece.count > kMaxPieces - total)
            return fail(QStringLiteral("这一组的料超过 %1 根，太多，无法排料。").arg(kMaxPieces));
        total += piece.count;
        if (settings.kerf > piece.length)
            return fail(piece.label.isEmpty()
                            ? QStringLiteral("锯口宽 %1 mm，比料长 %2 mm 还宽。")
                                  .arg(settings.kerf)
                                  .arg(piece.length)
                            : QStringLiteral("锯口宽 %1 mm，比“%2”的料长 %3 mm 还宽。")
                                  .arg(settings.kerf)
                                  .arg(piece.label)
                                  .arg(piece.length));
    }

    Problem problem;
    problem.kerf = settings.kerf;
    {
        // Bars alike in length, price and source are one stock length.
        QMap<std::tuple<long long, long long, int>, long long> stock; // bars available
        for (const StockLength& s : settings.stock) {
            long long& count = stock[{s.length, moneyPerBar(s, settings.pricing), int(s.source)}];
            const long long more = s.available ? *s.available : kUnlimited;
            count = (count == kUnlimited || more == kUnlimited) ? kUnlimited : count + more;
        }
        for (auto it = stock.constBegin(); it != stock.constEnd(); ++it) {
            problem.lengths.push_back(std::get<0>(it.key()));
            problem.money.push_back(std::get<1>(it.key()));
            problem.sources.push_back(StockSource(std::get<2>(it.key())));
            problem.available.push_back(it.value());
        }
    }
    const SpliceOutcome spliced = splicePieces(group, settings, problem.lengths.back());
    if (!spliced.error.isEmpty())
        return fail(spliced.error);
    plan.splices = spliced.splices;
    {
        QMap<long long, PieceType> byLength;
        for (const Piece& piece : spliced.pieces) {
            PieceType& type = byLength[piece.length];
            type.length = piece.length;
            type.demand += piece.count;
            if (!type.labels.isEmpty() && type.labels.last().first == piece.label)
                type.labels.last().second += piece.count;
            else
                type.labels << qMakePair(piece.label, piece.count);
        }
        for (auto it = byLength.constEnd(); it != byLength.constBegin();) {
            --it;
            problem.types.push_back(it.value());
        }
    }
    std::vector<long long> demand;
    long long pieces = 0;
    double piecesLength = 0;
    for (const PieceType& type : problem.types) {
        demand.push_back(type.demand);
        pieces += type.demand;
        piecesLength += double(type.demand) * double(type.length);
    }
    if (!setCosts(problem, pieces))
        return fail(QStringLiteral("价格和根数太大，总价超出计算范围。"));

    Stop stop{start + std::chrono::microseconds(
                          (long long)(std::max(0.0, settings.timeLimitSeconds) * 1e6)),
              control.cancel};
    auto report = [&](long long placed) {
        if (control.progress)
            control.progress(
                {groupIndex, groupCount, pieces ? double(placed) / double(pieces) : 1});
    };
    report(0);

    // The quick plan first, so that there is one whatever happens next.
    std::vector<Cut> best;
    bool haveBest = false;
    {
        std::vector<long long> residual = demand;
        std::vector<long long> left = problem.available;
        haveBest = greedyFill(problem, residual, left, best);
        if (haveBest)
            shortenBars(problem, left, best);
    }

    PatternSearch search(problem, demand);
    const PatternSearch::Outcome root = search.solve(stop);
    plan.lpSolved = root.solved;
    if (root.solved && !root.feasible)
        return fail(QStringLiteral("限定根数的原材料不够下完这一组的料。"));
    // The bound in the search's costs: no plan pays less per mm of pieces
    // than the cheapest stock does, nor less than the pattern LP.
    double cheapestPerMm = std::numeric_limits<double>::max();
    for (int s = 0; s < int(problem.lengths.size()); ++s)
        cheapestPerMm =
            std::min(cheapestPerMm, problem.lpCost(s) / double(problem.lengths[std::size_t(s)]));
    const double searchBound =
        std::max(piecesLength * cheapestPerMm, root.solved ? root.objective : root.farleyBound);
    // Rounded down a hair, so that the LP's own rounding never proves too much.
    const auto shaved = [](double bound) {
        return (long long)std::ceil(bound - 1e-6 * bound - 1e-6);
    };
    const long long leastInternal = leastStockAtLeast(problem.costs, shaved(searchBound));
    // In money: whatever the steel paid for adds to the search's cost, it is
    // less than one bought unit in all.
    plan.pricing = settings.pricing;
    plan.lowerBound =
        std::max(0.0, (searchBound - double(problem.paidScale - 1)) / double(problem.paidScale));
    {
        std::vector<long long> bought;
        for (long long m : problem.money)
            if (m > 0)
                bought.push_back(m);
        plan.leastPossible =
            bought.empty() ? 0 : leastStockAtLeast(bought, shaved(plan.lowerBound));
    }

    // Diving: take the bars the LP's plan has whole, or one bar of a pattern
    // it uses in part, and solve again for what is left. Where the first dive
    // misses the bound, a few other choices are tried on the way down (one
    // other bar at up to two places), each path given up as soon as the LP of
    // what is left shows it cannot beat the best plan so far.
    const auto stockOfBest = [&] { return haveBest ? stockOf(problem, best) : kUnlimited; };
    const auto record = [&](std::vector<Cut> cuts, const std::vector<long long>& left) {
        shortenBars(problem, left, cuts);
        if (stockOf(problem, cuts) < stockOfBest()) {
            best = std::move(cuts);
            haveBest = true;
        }
    };
    struct Dive {
        std::vector<long long> residual;
        std::vector<long long> left;
        std::vector<Cut> cuts;
        long long stock = 0;
        long long placed = 0;
    } dive{demand, problem.available, {}, 0, 0};
    int nodes = 0;
    constexpr int kNodes = 400;
    const auto finishGreedily = [&] {
        std::vector<long long> residual = dive.residual;
        std::vector<long long> left = dive.left;
        std::vector<Cut> cuts = dive.cuts;
        if (greedyFill(problem, residual, left, cuts))
            record(std::move(cuts), left);
    };
    std::function<void(int)> explore = [&](int detours) {
        if (dive.placed == pieces) {
            record(dive.cuts, dive.left);
            return;
        }
        if (stockOfBest() <= leastInternal)
            return;
        if (stop.expired() || nodes >= kNodes) {
            if (nodes < kNodes || detours == 2) // the first dive is always finished
                finishGreedily();
            return;
        }
        ++nodes;
        search.setResidual(dive.residual, dive.left);
        const PatternSearch::Outcome lp = search.solve(stop);
        if (!lp.solved) {
            finishGreedily();
            return;
        }
        if (!lp.feasible)
            return;
        const long long reach =
            (long long)std::ceil(double(dive.stock) + lp.objective - 1e-6 * lp.objective - 1e-6);
        if (leastStockAtLeast(problem.costs, reach) >= stockOfBest())
            return;
        std::vector<std::pair<double, int>> order;
        for (int j = 0; j < search.patterns(); ++j)
            if (search.enabled(j) && search.value(j) > 1e-6)
                order.push_back({search.value(j), j});
        std::sort(order.begin(), order.end(), std::greater<>());
        // The moves: all whole bars at once (where there are any), then one
        // bar of each of the three patterns used most.
        std::vector<std::vector<std::pair<int, long long>>> moves;
        std::vector<std::pair<int, long long>> wholeBars;
        for (const auto& [x, j] : order)
            if (whole(x) > 0)
                wholeBars.push_back({j, whole(x)});
        if (!wholeBars.empty())
            moves.push_back(wholeBars);
        for (std::size_t k = 0; k < order.size() && k < 3; ++k)
            moves.push_back({{order[k].second, 1}});
        // And one bar of the cheapest pattern of each stock length the LP
        // leaves out: where lengths tie on price, the LP names only one.
        for (int s = 0; s < int(problem.lengths.size()); ++s) {
            int cheapest = -1;
            for (int j = 0; j < search.patterns(); ++j)
                if (search.enabled(j) && search.pattern(j).stock == s && search.value(j) <= 1e-6 &&
                    (cheapest < 0 || search.reducedCost(j) < search.reducedCost(cheapest)))
                    cheapest = j;
            if (cheapest >= 0)
                moves.push_back({{cheapest, 1}});
        }
        int tried = 0;
        for (const auto& move : moves) {
            if (tried > 0 && detours == 0)
                break;
            const Dive before = dive;
            for (const auto& [j, wanted] : move) {
                const Cut& pattern = search.pattern(j);
                long long bars = std::min(wanted, dive.left[std::size_t(pattern.stock)]);
                for (const auto& [type, n] : pattern.pieces)
                    bars = std::min(bars, dive.residual[std::size_t(type)] / n);
                if (bars <= 0)
                    continue;
                for (const auto& [type, n] : pattern.pieces) {
                    dive.residual[std::size_t(type)] -= bars * n;
                    dive.placed += bars * n;
                }
                if (dive.left[std::size_t(pattern.stock)] != kUnlimited)
                    dive.left[std::size_t(pattern.stock)] -= bars;
                dive.stock += bars * problem.cost(pattern.stock);
                dive.cuts.push_back({pattern.stock, pattern.pieces, bars});
            }
            if (dive.placed == before.placed)
                continue;
            if (detours == 2 && tried == 0)
                report(dive.placed);
            explore(detours - (tried > 0 ? 1 : 0));
            dive = before;
            ++tried;
            if (stockOfBest() <= leastInternal)
                return;
        }
    };
    if (root.solved)
        explore(2);
    // Where the dive has not met the bound, a complete search over the plans
    // that could still cost less finds the best plan and, where it gets
    // through them all, proves it optimal.
    bool exhausted = false;
    if (root.solved && stockOfBest() > leastInternal && !stop.expired()) {
        std::vector<long long> paid; // the sums the bound rounds to: bars at a cost
        for (long long c : problem.costs)
            if (c > 0)
                paid.push_back(c);
        ExactSearchHooks hooks;
        hooks.leastCostAtLeast = [&](long long bound) {
            return bound <= 0 ? 0 : paid.empty() ? kUnlimited : leastStockAtLeast(paid, bound);
        };
        hooks.offer = record;
        hooks.bestCost = stockOfBest;
        exhausted = searchExactly(problem, demand, search, stop, hooks).exhausted;
    }
    plan.timedOut = stop.expired() && !stop.cancelled();
    if (!haveBest)
        return fail(stop.cancelled() ? QStringLiteral("已取消。")
                                     : QStringLiteral("在限定的原材料根数内没有找到下料方案。"));
    report(pieces);

    plan.patterns = writePatterns(problem, best, settings);
    addUp(plan);
    plan.cost = moneyOf(problem, best);
    // A plan at the least its costs can reach, or one the exact search went
    // past every cheaper plan for, is the cheapest there is, in money too: no
    // use of the yard's steel outweighs a unit of money.
    if (exhausted || stockOf(problem, best) <= leastInternal)
        plan.leastPossible = plan.cost;
    if (exhausted)
        plan.timedOut = false;
    plan.proven = plan.cost <= plan.leastPossible;
    plan.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return plan;
}

Plan planGroups(const QList<PieceGroup>& groups, const PlanSettings& settings,
                const PlanControl& control) {
    Plan plan;
    for (int g = 0; g < groups.size(); ++g) {
        if (control.cancel && control.cancel->load()) {
            plan.cancelled = true;
            break;
        }
        plan.groups << planGroup(groups[g], settings, control, g, int(groups.size()));
        const GroupPlan& group = plan.groups.last();
        plan.cost += group.cost;
        plan.stockLength += group.stockLength;
        plan.piecesLength += group.piecesLength;
        plan.keptOffcut += group.keptOffcut;
        plan.waste += group.waste;
    }
    plan.cancelled = plan.cancelled || (control.cancel && control.cancel->load());
    plan.utilisation =
        plan.stockLength > 0 ? double(plan.piecesLength) / double(plan.stockLength) : 0;
    return plan;
}

long long firstFitDecreasingBars(const QList<Piece>& pieces, long long stock, long long kerf) {
    std::vector<std::pair<long long, long long>> sorted; // (weight, count)
    for (const Piece& p : pieces)
        if (p.length > 0 && p.count > 0 && p.length <= stock)
            sorted.push_back({p.length + kerf, p.count});
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    std::vector<long long> room; // per open bar
    for (const auto& [weight, count] : sorted)
        for (long long k = 0; k < count; ++k) {
            auto bar = std::find_if(room.begin(), room.end(),
                                    [w = weight](long long r) { return r >= w; });
            if (bar == room.end())
                room.push_back(stock + kerf - weight);
            else
                *bar -= weight;
        }
    return (long long)room.size();
}

} // namespace plans
