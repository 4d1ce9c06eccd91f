#pragma once

#include "plans/cutting_plan.h"

#include <QList>
#include <QRectF>
#include <QString>

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

} // namespace schedule
