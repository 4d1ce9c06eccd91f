#pragma once

#include "core/plans/cutting_plan.h"

#include <QList>
#include <QRectF>
#include <QString>

class QFont;
class QPainter;

// Cutting patterns drawn to scale with a QPainter, in vectors only, so that
// the same code draws them in the window, on paper and into a PDF. Colours
// are fixed (dark on white), not taken from a widget's palette.
namespace schedule {

struct PatternDrawingOptions {
    // The length in mm that the rectangle's width stands for, so that the
    // bars of one plan share one scale; 0: the pattern's own stock length.
    long long scaleLength = 0;
    // mm lost at each cut, drawn as a dark gap between pieces.
    long long kerf = 0;
    // A plan that no longer matches its list: drawn in greys.
    bool greyed = false;
};

// What lies along a stock bar, in mm from its start.
struct PatternSpan {
    enum class Kind { Piece, Kerf, KeptOffcut, Scrap };
    Kind kind = Kind::Piece;
    double start = 0;
    double length = 0;
    int piece = -1; // index into the pattern's pieces, for Kind::Piece
};

// The bar cut as `pattern` says: its pieces in order with a kerf after each
// cut, then the offcut (kept as 余料 or scrap). What is left after the last
// piece but shorter than a kerf and an offcut is scrap too.
QList<PatternSpan> patternSpans(const plans::Pattern& pattern, long long kerf);

// Whether a piece is one bar of a spliced piece (the solver labels those
// "… 接长段k/n").
bool isSpliceSegment(const plans::PlacedPiece& piece);

// The text a piece's segment shows where room allows: its label and length.
QString pieceCaption(const plans::PlacedPiece& piece);

// One stock bar of `pattern`, from the left edge of `bar` and as high as it:
// each piece a segment with its label and length where they fit, bars of
// spliced pieces in their own colour, kerf gaps, the kept offcut (余料)
// hatched in green and scrap cross-hatched in grey, each with its length
// where it fits. The count of bars is the caller's to write.
void drawPattern(QPainter& painter, const QRectF& bar, const plans::Pattern& pattern,
                 const PatternDrawingOptions& options = {});

// A piece longer than any stock bar, as the bars it is joined from: each bar
// on its own track, overlapping the next by the lap, and each joint marked
// with its distance from the piece's start. `options.scaleLength` 0: the
// piece's own length.
void drawSplicedPiece(QPainter& painter, const QRectF& rect, const plans::SplicedPiece& spliced,
                      const PatternDrawingOptions& options = {});

// Texts of a group's plan, as the drawing and the window's tables write them.
QString groupTitle(const plans::GroupPlan& group); // "HRB400 Φ25"
QString stockToBuyText(const plans::GroupPlan& group); // "12000 mm × 5 根、9000 mm × 2 根（库存）"
// One stock use, its bars from the yard (库存) or the offcut store (余料) said so.
QString stockUseText(const plans::StockUse& use);
QString metresText(long long mm);      // "84.000 m", exact
QString utilisationText(double share); // "95.48%"
// Cost units (plans::kCostUnitsPerYuan) as money: "1234.56 元".
QString yuanAmountText(double costUnits);
// The bound and how near the plan is to it: "证明最优" or how much more
// stock than the least possible it may use; with prices, the cost in yuan,
// "最优（已证明）" or how far it is from the bound.
QString optimalityText(const plans::GroupPlan& group);

// A whole group's plan from the top of `area`, as wide as it: its title,
// the stock to buy and the figures, or the reason there is no plan; each
// spliced piece with its joints; each pattern as a bar to the scale of the
// group's longest stock, its stock length on the left and its count of bars
// on the right. Uses the painter's font. Returns the height it took (or
// would take: `painter` null measures only, with `font`).
double drawGroupPlan(QPainter* painter, const QFont& font, const QRectF& area,
                     const plans::GroupPlan& group, const PatternDrawingOptions& options = {});

} // namespace schedule
