#pragma once

#include <QString>

// The beam's concrete volume and bar geometry over the tab's field texts,
// widget-free. All lengths are in millimetres, the volume in cubic metres.
namespace beam {

struct BeamFields {
    // Inputs: length L, width W, height H, bearing A on each side wall, cover c.
    QString length, width, height, bearing, cover;
    // Results: volume; top and bottom bar; bent-up bar upper straight, lower
    // straight and sloped segment; stirrup vertical and horizontal inner side.
    QString volume, topBar, bottomBar, bentUpper, bentLower, bentSloped, stirrupVertical,
        stirrupHorizontal;
};

// Recomputes every result from the current texts. A step whose operand cannot
// be read, or whose arithmetic overflows, leaves its field as it was and the
// next step runs; later steps read earlier results as they are shown.
void recomputeVolumeAndSegments(BeamFields& f);

// A bar's straight length put together from the segment fields of its frame.
// When a segment cannot be read (or the sum overflows) there is no length and
// `unreadable` names the segment to correct: its position in the order the
// segments were given.
struct AssembledLength {
    QString length;
    int unreadable = -1;
    bool ok() const { return unreadable < 0; }
};

// Bent-up bar: two upper straight segments, two 45-degree slopes and the lower
// straight segment. Segments in field order: upper (0), lower (1), sloped (2).
AssembledLength bentBarLength(const QString& upper, const QString& lower, const QString& sloped);

// Stirrup: the perimeter of its inner rectangle. Sides in field order:
// vertical (0), horizontal (1).
AssembledLength stirrupLength(const QString& vertical, const QString& horizontal);

} // namespace beam
