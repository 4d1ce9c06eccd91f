#pragma once

#include "core/plans/cutting_plan.h"
#include "core/schedule/cutting_list.h"

// The pieces of a cutting list, by grade and diameter, for the cutting plan.
namespace plans {

struct ListPieces {
    QList<PieceGroup> groups; // in the order of the list's summary: grade, then diameter
    int rowsLeftOut = 0;      // rows with a problem, whose pieces are not in any group
};

// Each row gives its cut length (as the list rounds it) times its bars, with
// the member's name and the mark as its label.
ListPieces piecesFromList(const schedule::CuttingList& list);

} // namespace plans
