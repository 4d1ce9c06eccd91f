// How good the cutting plans are, measured: the 18 classes of Gau and
// Wäscher's CUTGEN1 (100 instances each), rebar-like lists on 9/12 m and
// 6/9/12 m stock, one list of 10,000 pieces, and classes shaped like the
// hard bin-packing sets of the literature (Falkenauer, Scholl, Wäscher,
// Schwerin), made from their published descriptions. Instances are made here
// from fixed instance numbers, which start the random generator. A plain
// program, run by hand in a Release build:
//   cutting_plan_bench [instances per class] [--markdown] [--large-only]
//                      [--hard] [--hard-instances N]
#include "core/plans/cutting_plan.h"

#include "core/plans/planner.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace plans;

namespace {

struct Instance {
    QList<Piece> pieces;
    QList<StockLength> stock;
    unsigned long long number = 0; // starts the random generator
};

// CUTGEN1 (Gau and Wäscher 1995): stock 1000; m piece types with lengths
// uniform in [v1·L, v2·L]; demands share m·d̄ in proportion to uniform
// random weights, at least one each; equal lengths merged.
Instance cutgen(int m, double v1, double v2, int meanDemand, unsigned long long number) {
    std::mt19937_64 random(number);
    const long long stock = 1000;
    std::uniform_int_distribution<long long> length((long long)std::ceil(v1 * stock),
                                                    (long long)std::floor(v2 * stock));
    std::uniform_real_distribution<double> weight(0, 1);
    std::vector<double> weights;
    std::map<long long, long long> demand;
    std::vector<long long> lengths;
    for (int i = 0; i < m; ++i) {
        lengths.push_back(length(random));
        weights.push_back(weight(random));
    }
    double sum = 0;
    for (double w : weights)
        sum += w;
    for (int i = 0; i < m; ++i)
        demand[lengths[std::size_t(i)]] +=
            std::max(1LL, (long long)std::llround(weights[std::size_t(i)] / sum * m * meanDemand));
    Instance instance;
    instance.number = number;
    instance.stock = {{stock, std::nullopt}};
    for (const auto& [l, d] : demand)
        instance.pieces << Piece{l, d, QString()};
    return instance;
}

// A rebar-like list: a third stirrups and ties of 0.6–2.6 m, the rest main
// bars of 1.5–11.5 m, cut lengths to the millimetre, demands 1 to 200.
Instance rebarList(int minTypes, int maxTypes, QList<StockLength> stock,
                   unsigned long long number) {
    std::mt19937_64 random(number);
    std::uniform_int_distribution<int> types(minTypes, maxTypes);
    std::uniform_int_distribution<long long> stirrup(600, 2600);
    std::uniform_int_distribution<long long> main(1500, 11500);
    std::uniform_int_distribution<long long> count(1, 200);
    std::map<long long, long long> demand;
    for (int t = types(random); t > 0; --t) {
        const long long l = random() % 3 == 0 ? stirrup(random) : main(random);
        demand[l] += count(random);
    }
    Instance instance;
    instance.number = number;
    instance.stock = stock;
    for (const auto& [l, d] : demand)
        instance.pieces << Piece{l, d, QString()};
    return instance;
}

// A bin-packing instance as a plan: each item a piece, equal sizes merged,
// one stock length of the bin's capacity, no kerf.
Instance binPacking(long long capacity, const std::vector<long long>& sizes,
                    unsigned long long number) {
    std::map<long long, long long> demand;
    for (long long size : sizes)
        ++demand[size];
    Instance instance;
    instance.number = number;
    instance.stock = {{capacity, std::nullopt}};
    for (const auto& [l, d] : demand)
        instance.pieces << Piece{l, d, QString()};
    return instance;
}

std::vector<long long> uniformSizes(std::mt19937_64& random, int n, long long low, long long high) {
    std::uniform_int_distribution<long long> size(low, high);
    std::vector<long long> sizes;
    for (int i = 0; i < n; ++i)
        sizes.push_back(size(random));
    return sizes;
}

// Falkenauer's triplets: each bin of 1000 filled exactly by one item of
// 380–490, a second of 250 to half the rest, and a third that fills it up, so
// the best plan has no waste at all and n / 3 bars.
std::vector<long long> tripletSizes(std::mt19937_64& random, int n) {
    std::vector<long long> sizes;
    std::uniform_int_distribution<long long> first(380, 490);
    for (int t = 0; t < n / 3; ++t) {
        const long long big = first(random);
        const long long rest = 1000 - big;
        const long long second = std::uniform_int_distribution<long long>(250, rest / 2)(random);
        sizes.insert(sizes.end(), {big, second, rest - second});
    }
    std::shuffle(sizes.begin(), sizes.end(), random);
    return sizes;
}

struct HardClass {
    std::string name;
    // Instance k of the class, started from `number`.
    std::function<Instance(int k, unsigned long long number)> make;
};

// --only TEXT: the hard classes whose name holds TEXT, numbered as in a whole run.
std::string g_onlyClass;

std::vector<HardClass> hardClasses() {
    std::vector<HardClass> classes;
    for (int n : {120, 250, 500, 1000})
        classes.push_back(
            {"Falkenauer U, n=" + std::to_string(n), [n](int, unsigned long long number) {
                 std::mt19937_64 random(number);
                 return binPacking(150, uniformSizes(random, n, 20, 100), number);
             }});
    for (int n : {60, 120, 249, 501})
        classes.push_back(
            {"Falkenauer T, n=" + std::to_string(n), [n](int, unsigned long long number) {
                 std::mt19937_64 random(number);
                 return binPacking(1000, tripletSizes(random, n), number);
             }});
    // Scholl set 1: every capacity with every size range, in turn.
    for (int n : {50, 100, 200, 500})
        classes.push_back(
            {"Scholl 1, n=" + std::to_string(n), [n](int k, unsigned long long number) {
                 const long long capacity[] = {100, 120, 150};
                 const long long low[] = {1, 20, 30};
                 std::mt19937_64 random(number);
                 return binPacking(capacity[k % 3], uniformSizes(random, n, low[(k / 3) % 3], 100),
                                   number);
             }});
    // Scholl set 2: sizes about 1000 / per, spread by δ = 20, 50 or 90 %
    // either side; every count with every spread, in turn.
    for (int per : {3, 5, 7, 9})
        classes.push_back({"Scholl 2, ~" + std::to_string(per) + " per bin",
                           [per](int k, unsigned long long number) {
                               const int counts[] = {50, 100, 200, 500};
                               const double spread[] = {0.2, 0.5, 0.9};
                               const double mean = 1000.0 / per;
                               const double delta = spread[(k / 4) % 3];
                               std::mt19937_64 random(number);
                               return binPacking(
                                   1000,
                                   uniformSizes(random, counts[k % 4],
                                                (long long)std::ceil(mean * (1 - delta)),
                                                (long long)std::floor(mean * (1 + delta))),
                                   number);
                           }});
    classes.push_back({"Scholl 3, n=200, 100,000", [](int, unsigned long long number) {
                           std::mt19937_64 random(number);
                           return binPacking(100'000, uniformSizes(random, 200, 20'000, 35'000),
                                             number);
                       }});
    classes.push_back({"Wäscher-like, 10,000", [](int, unsigned long long number) {
                           std::mt19937_64 random(number);
                           const int n = std::uniform_int_distribution<int>(57, 239)(random);
                           return binPacking(10'000, uniformSizes(random, n, 100, 7'000), number);
                       }});
    for (int n : {100, 120})
        classes.push_back(
            {"Schwerin-like, n=" + std::to_string(n), [n](int, unsigned long long number) {
                 std::mt19937_64 random(number);
                 return binPacking(1000, uniformSizes(random, n, 150, 200), number);
             }});
    return classes;
}

// What the hard classes are measured by: bins, as bin packing counts them.
// One instance planned with the default settings, timed; none where it
// could not be planned (said on standard error).
std::optional<GroupPlan> timedPlan(const Instance& instance, double& seconds) {
    PlanSettings settings;
    settings.stock = instance.stock;
    const auto start = std::chrono::steady_clock::now();
    GroupPlan plan = planGroup({QString(), 0, instance.pieces}, settings);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!plan.error.isEmpty()) {
        std::fprintf(stderr, "instance %llu: %s\n", instance.number,
                     plan.error.toUtf8().constData());
        return std::nullopt;
    }
    return plan;
}

struct HardRow {
    std::string name;
    int instances = 0;
    int proven = 0;   // plan.proven: no plan can do better
    int met = 0;      // bars = the LP bound rounded up
    int lpSolved = 0; // the root LP reached its optimum in time
    int timedOut = 0;
    double largestGapBars = 0; // (stockLength − leastPossible) / stock length
    unsigned long long worstInstance = 0;
    std::vector<double> seconds;
};

void measureHard(HardRow& row, const Instance& instance) {
    double seconds = 0;
    const std::optional<GroupPlan> planned = timedPlan(instance, seconds);
    if (!planned)
        return;
    const GroupPlan& plan = *planned;
    const double length = double(instance.stock.front().length);
    ++row.instances;
    row.seconds.push_back(seconds);
    row.proven += plan.proven;
    row.lpSolved += plan.lpSolved;
    row.timedOut += plan.timedOut;
    // The bound rounded as the planner rounds it.
    const double bound = std::ceil(plan.lowerBound - 1e-6 * plan.lowerBound - 1e-6);
    row.met += double(plan.stockLength) <= std::ceil(bound / length) * length;
    const double gap = double(plan.stockLength - plan.leastPossible) / length;
    if (gap > row.largestGapBars) {
        row.largestGapBars = gap;
        row.worstInstance = instance.number;
    }
}

void printHard(const HardRow& row, bool markdown) {
    std::vector<double> s = row.seconds;
    std::sort(s.begin(), s.end());
    const double median = s.empty() ? 0 : s[s.size() / 2];
    const double largest = s.empty() ? 0 : s.back();
    if (markdown)
        std::printf("| %s | %d | %d | %d | %d | %d | %.2f | %.1f | %.1f | %s |\n", row.name.c_str(),
                    row.instances, row.proven, row.met, row.lpSolved, row.timedOut,
                    row.largestGapBars, median * 1000, largest * 1000,
                    row.largestGapBars > 0 ? std::to_string(row.worstInstance).c_str() : "–");
    else
        std::printf("%-28s n=%3d proven %3d met %3d LP solved %3d timed out %3d gap %.2f bars | "
                    "median %.1f ms max %.1f ms worst instance %llu\n",
                    row.name.c_str(), row.instances, row.proven, row.met, row.lpSolved,
                    row.timedOut, row.largestGapBars, median * 1000, largest * 1000,
                    row.worstInstance);
    std::fflush(stdout);
}

void runHard(int perClass, bool markdown) {
    if (markdown)
        std::printf("| class | n | proven | meets bound | LP solved | timed out | largest gap "
                    "(bars) | median ms | largest ms | worst instance |\n"
                    "|---|---|---|---|---|---|---|---|---|---|\n");
    int number = 0;
    for (const HardClass& c : hardClasses()) {
        ++number;
        if (!g_onlyClass.empty() && c.name.find(g_onlyClass) == std::string::npos)
            continue;
        HardRow row{c.name};
        for (int k = 0; k < perClass; ++k)
            measureHard(row,
                        c.make(k, 100'000'000ULL + 1'000'000ULL * number + (unsigned long long)k));
        printHard(row, markdown);
    }
}

struct Row {
    std::string name;
    int instances = 0;
    int met = 0;
    long long largestExcessMm = 0;
    double largestOverBound = 0; // mm of stock over the LP bound itself
    unsigned long long worstInstance = 0;
    double utilisationVsBound = 0;
    int ffdMet = 0;
    long long ffdLargestExcessMm = 0;
    double ffdUtilisationVsBound = 0;
    std::vector<double> seconds;
    long long longest = 0;
};

void measure(Row& row, const Instance& instance) {
    double seconds = 0;
    const std::optional<GroupPlan> planned = timedPlan(instance, seconds);
    if (!planned)
        return;
    const GroupPlan& plan = *planned;
    long long longest = 0;
    for (const StockLength& s : instance.stock)
        longest = std::max(longest, s.length);
    row.longest = longest;
    ++row.instances;
    row.seconds.push_back(seconds);
    // The bound rounded up: with one stock length, bars = ceil(bound / L);
    // with several, the least sum of stock lengths reaching the bound.
    const long long excess = plan.stockLength - plan.leastPossible;
    row.met += excess == 0;
    if (excess > row.largestExcessMm) {
        row.largestExcessMm = excess;
        row.worstInstance = instance.number;
    }
    row.utilisationVsBound += plan.lowerBound / double(plan.stockLength);
    row.largestOverBound =
        std::max(row.largestOverBound, double(plan.stockLength) - plan.lowerBound);
    const long long ffd = firstFitDecreasingBars(instance.pieces, longest, 0) * longest;
    row.ffdMet += ffd <= plan.leastPossible;
    row.ffdLargestExcessMm = std::max(row.ffdLargestExcessMm, ffd - plan.leastPossible);
    row.ffdUtilisationVsBound += plan.lowerBound / double(ffd);
}

void print(const Row& row, bool markdown) {
    std::vector<double> s = row.seconds;
    std::sort(s.begin(), s.end());
    const double median = s.empty() ? 0 : s[s.size() / 2];
    const double largest = s.empty() ? 0 : s.back();
    const double n = row.instances;
    const double bars = double(row.longest);
    if (markdown)
        std::printf(
            "| %s | %d | %.1f %% | %.2f | %.2f | %.3f %% | %.1f %% | %.2f | %.3f %% | %.1f | %.1f "
            "| %s |\n",
            row.name.c_str(), row.instances, 100.0 * row.met / n,
            double(row.largestExcessMm) / bars, row.largestOverBound / bars,
            100.0 * row.utilisationVsBound / n, 100.0 * row.ffdMet / n,
            double(row.ffdLargestExcessMm) / bars, 100.0 * row.ffdUtilisationVsBound / n,
            median * 1000, largest * 1000,
            row.largestExcessMm > 0 ? std::to_string(row.worstInstance).c_str() : "–");
    else
        std::printf("%-28s n=%3d met %5.1f%% excess %.2f bars util %.3f%% | FFD met %5.1f%% "
                    "excess %.2f util %.3f%% | median %.1f ms max %.1f ms worst instance %llu\n",
                    row.name.c_str(), row.instances, 100.0 * row.met / n,
                    double(row.largestExcessMm) / bars, 100.0 * row.utilisationVsBound / n,
                    100.0 * row.ffdMet / n, double(row.ffdLargestExcessMm) / bars,
                    100.0 * row.ffdUtilisationVsBound / n, median * 1000, largest * 1000,
                    row.worstInstance);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int perClass = 100;
    bool markdown = false;
    bool largeOnly = false; // the 10,000-piece list alone, five times
    bool hardOnly = false;  // the classes shaped like the hard bin-packing sets alone
    int hardPerClass = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--markdown")
            markdown = true;
        else if (std::string(argv[i]) == "--large-only")
            largeOnly = true;
        else if (std::string(argv[i]) == "--hard")
            hardOnly = true;
        else if (std::string(argv[i]) == "--only" && i + 1 < argc)
            g_onlyClass = argv[++i];
        else if (std::string(argv[i]) == "--hard-instances" && i + 1 < argc)
            hardPerClass = std::max(1, std::atoi(argv[++i]));
        else
            perClass = std::max(1, std::atoi(argv[i]));
    }
    if (hardOnly) {
        runHard(hardPerClass, markdown);
        return 0;
    }
    if (markdown)
        std::printf(
            "| class | n | meets bound | largest excess (bars) | largest over LP bound (bars) | "
            "utilisation vs bound | "
            "FFD meets | FFD largest excess | FFD utilisation vs bound | median ms | "
            "largest ms | worst instance |\n|---|---|---|---|---|---|---|---|---|---|---|---|\n");

    const std::pair<double, double> ranges[] = {{0.01, 0.2}, {0.01, 0.8}, {0.2, 0.8}};
    int number = 0;
    if (largeOnly)
        perClass = 0;
    Row all{"CUTGEN all"};
    for (const auto& [v1, v2] : ranges)
        for (int m : {10, 20, 40})
            for (int d : {10, 100}) {
                ++number;
                char name[96];
                std::snprintf(name, sizeof name, "CUTGEN %d (m=%d, %.2f–%.2f, d=%d)", number, m, v1,
                              v2, d);
                Row row{name};
                for (int k = 0; k < perClass; ++k) {
                    const Instance instance =
                        cutgen(m, v1, v2, d, 1'000'000ULL * number + (unsigned long long)k);
                    measure(row, instance);
                    measure(all, instance);
                }
                if (!largeOnly)
                    print(row, markdown);
            }
    if (!largeOnly)
        print(all, markdown);

    const struct {
        const char* name;
        int minTypes;
        int maxTypes;
        QList<StockLength> stock;
    } rebar[] = {
        {"rebar 9/12 m, 3–10 lengths", 3, 10, {{9000, std::nullopt}, {12000, std::nullopt}}},
        {"rebar 9/12 m, 10–25 lengths", 10, 25, {{9000, std::nullopt}, {12000, std::nullopt}}},
        {"rebar 9/12 m, 25–40 lengths", 25, 40, {{9000, std::nullopt}, {12000, std::nullopt}}},
        {"rebar 6/9/12 m, 3–10 lengths",
         3,
         10,
         {{6000, std::nullopt}, {9000, std::nullopt}, {12000, std::nullopt}}},
        {"rebar 6/9/12 m, 10–25 lengths",
         10,
         25,
         {{6000, std::nullopt}, {9000, std::nullopt}, {12000, std::nullopt}}},
        {"rebar 6/9/12 m, 25–40 lengths",
         25,
         40,
         {{6000, std::nullopt}, {9000, std::nullopt}, {12000, std::nullopt}}},
    };
    number = 0;
    for (const auto& r : rebar) {
        ++number;
        Row row{r.name};
        if (largeOnly)
            continue;
        for (int k = 0; k < perClass; ++k)
            measure(row, rebarList(r.minTypes, r.maxTypes, r.stock,
                                   50'000'000ULL + 1'000'000ULL * number + (unsigned long long)k));
        print(row, markdown);
    }

    // 100 piece types, 10,000 pieces.
    {
        std::mt19937_64 random(10'000);
        std::uniform_int_distribution<long long> stirrup(600, 2600);
        std::uniform_int_distribution<long long> main(1500, 11500);
        std::map<long long, long long> demand;
        std::vector<long long> lengths;
        while (demand.size() < 100) {
            const long long l = demand.size() % 3 == 0 ? stirrup(random) : main(random);
            demand[l] = 0;
        }
        long long left = 10'000;
        for (auto& [l, d] : demand)
            d = 1;
        left -= 100;
        std::uniform_int_distribution<int> pick(0, 99);
        std::vector<long long*> slots;
        for (auto& [l, d] : demand)
            slots.push_back(&d);
        for (; left > 0; --left)
            ++*slots[std::size_t(pick(random))];
        Instance instance;
        instance.number = 10'000;
        instance.stock = {{9000, std::nullopt}, {12000, std::nullopt}};
        for (const auto& [l, d] : demand)
            instance.pieces << Piece{l, d, QString()};
        Row row{"10,000 pieces, 100 lengths"};
        for (int run = 0; run < (largeOnly ? 5 : 1); ++run)
            measure(row, instance);
        print(row, markdown);
    }
    if (!largeOnly)
        runHard(hardPerClass, markdown);
    return 0;
}
