#pragma once

#include "core/plans/cutting_plan.h"

// The cutting plans themselves: pieces of one grade and diameter into stock
// bars with the least stock, proven where the bound allows.
namespace plans {

// Problems with the settings themselves (stock, kerf, offcut, splices), in
// Chinese; empty when they can be planned with.
QString checkSettings(const PlanSettings& settings);

// A group's totals (stock to buy, lengths, kept offcut, waste,
// utilisation) worked out again from its patterns, as for a plan read back
// from a file.
void countTotals(GroupPlan& plan);

GroupPlan planGroup(const PieceGroup& group, const PlanSettings& settings,
                    const PlanControl& control = {}, int groupIndex = 0, int groupCount = 1);
Plan planGroups(const QList<PieceGroup>& groups, const PlanSettings& settings,
                const PlanControl& control = {});

// The baseline of simple tools: pieces longest first, each into the first bar
// that has room, a new bar of the longest stock when none has. Kerf counted,
// no splicing, stock unlimited. Bars used.
long long firstFitDecreasingBars(const QList<Piece>& pieces, long long stock, long long kerf);

} // namespace plans
