#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

// Cutting plans (下料优化): the pieces of a cutting list cut from the stock
// bars on offer with the least stock, and a lower bound that says how far
// from the best possible plan it can be. Knows pieces and stock lengths only;
// lengths are whole millimetres.
namespace plans {

struct Piece {
    long long length = 0; // mm
    long long count = 0;
    QString label; // where it comes from, such as the bar mark
};

// Where a stock bar comes from. Bars on hand and offcuts are already paid
// for: a plan uses them before it buys any, and costs nothing for them.
enum class StockSource {
    Bought, // bought for this plan (the default)
    OnHand, // full bars in the yard (库存); `available` says how many
    Offcut, // offcuts from the offcut store (余料库); `available` says how many
};

struct StockLength {
    long long length = 0;               // mm
    std::optional<long long> available; // bars there are; none: as many as needed
    StockSource source = StockSource::Bought;
    double price = 0; // yuan, per metre or per bar as PlanSettings::pricing says; bought only

    bool operator==(const StockLength&) const = default;
};

// What a plan minimises.
enum class Pricing {
    None,     // the length of stock bought (mm): no prices given
    PerMetre, // the money paid, each stock length priced per metre
    PerBar,   // the money paid, each stock length priced per bar
};

// Pieces longer than the longest stock bar are joined from several bars.
enum class SpliceKind {
    None,    // such a piece cannot be planned
    Coupler, // mechanical couplers or welds: no extra length
    Lap,     // lap splices: each joint adds a lap length
};

struct SpliceRule {
    SpliceKind kind = SpliceKind::None;
    double lapLength = 0;    // mm; used when above 0
    double lapDiameters = 0; // otherwise the lap as a multiple of d
};

struct PlanSettings {
    QList<StockLength> stock{{9000, std::nullopt}, {12000, std::nullopt}};
    long long kerf = 0;       // mm lost at each cut (0 for shears)
    long long keepOffcut = 0; // offcuts at least this long are kept (余料); 0: all is scrap
    SpliceRule splice;
    double timeLimitSeconds = 2.0; // per group
    Pricing pricing = Pricing::None;
};

// The pieces of one grade and diameter.
struct PieceGroup {
    QString grade;    // empty: not given
    int diameter = 0; // mm; 0: not given
    QList<Piece> pieces;
};

struct PlacedPiece {
    long long length = 0;
    QString label;
};

// Bars cut alike: `count` stock bars of `stock` mm, each giving `pieces`.
struct Pattern {
    long long stock = 0;
    StockSource source = StockSource::Bought;
    long long count = 0;
    QList<PlacedPiece> pieces;
    long long offcut = 0;    // what is left at the end after the last cut
    bool offcutKept = false; // at least the shortest offcut worth keeping
};

struct StockUse {
    long long length = 0;
    long long count = 0;
    StockSource source = StockSource::Bought;
};

// Costs are whole units: mm of stock bought where no prices are given
// (Pricing::None), otherwise this many units to the yuan.
inline constexpr long long kCostUnitsPerYuan = 100'000;

// A piece too long for any stock bar, and how it is joined.
struct SplicedPiece {
    QString label;
    long long length = 0; // the finished piece
    long long count = 0;
    QList<long long> segments; // the bars it is joined from, in order
    QList<long long> joints;   // where each joint starts, mm from the piece's start
    long long lap = 0;         // mm each joint overlaps; 0 for couplers
};

struct GroupPlan {
    QString grade;
    int diameter = 0;
    QString error; // set: no plan (why, in Chinese); the rest is empty
    QList<Pattern> patterns;
    QList<StockUse> stock; // bars to buy, longest first
    QList<SplicedPiece> splices;
    long long stockLength = 0;  // mm of stock cut
    long long piecesLength = 0; // mm of pieces (splice segments included)
    long long keptOffcut = 0;   // mm of offcuts kept (余料)
    long long waste = 0;        // stockLength - piecesLength - keptOffcut: scrap and kerf
    double utilisation = 0;     // piecesLength / stockLength
    // What the plan minimises, in cost units (kCostUnitsPerYuan): the mm of
    // stock bought without prices, the money paid with them. Bars on hand
    // and offcuts cost nothing.
    Pricing pricing = Pricing::None;
    long long cost = 0;
    // No plan can cost less than this (cost units): the value of the pattern
    // LP relaxation (Gilmore–Gomory), or where time ran out before it was
    // solved, a weaker bound from the last prices.
    double lowerBound = 0;
    bool lpSolved = false; // lowerBound is the LP's optimum
    // The least total of bar costs on offer that reaches lowerBound, or
    // where the search went through every plan, the plan's own cost: no
    // plan can cost less. With one stock length, bars = ceil(bound / length).
    long long leastPossible = 0;
    bool proven = false; // cost == leastPossible: no plan costs less
    bool timedOut = false;
    double seconds = 0;
};

struct Plan {
    QList<GroupPlan> groups;
    long long cost = 0; // cost units, as the groups'
    long long stockLength = 0;
    long long piecesLength = 0;
    long long keptOffcut = 0;
    long long waste = 0;
    double utilisation = 0;
    bool cancelled = false;
};

struct PlanProgress {
    int group = 0; // 0-based
    int groups = 0;
    double fraction = 0; // of this group's pieces placed, 0..1
};

struct PlanControl {
    std::function<void(const PlanProgress&)> progress; // called from the solving thread
    const std::atomic<bool>* cancel = nullptr;         // set: stop soon with what there is
};

} // namespace plans
