#include "core/plans/list_pieces.h"

#include "core/schedule/computation.h"

#include <map>

namespace plans {

ListPieces piecesFromList(const schedule::CuttingList& list) {
    ListPieces out;
    const schedule::ComputedList computed = schedule::computeList(list);
    out.rowsLeftOut = computed.rowsLeftOut;
    std::map<std::pair<int, int>, PieceGroup> groups;
    for (int m = 0; m < list.members.size(); ++m) {
        const schedule::Member& member = list.members[m];
        for (int r = 0; r < member.rows.size(); ++r) {
            const schedule::RowResult& result = computed.results[m][r];
            if (result.problem || result.bars <= 0)
                continue;
            const schedule::BarRow& row = member.rows[r];
            PieceGroup& group = groups[{int(row.grade), row.diameter}];
            group.grade = codes::gradeName(row.grade);
            group.diameter = row.diameter;
            group.pieces << Piece{static_cast<long long>(result.cutLength), result.bars,
                                  QStringLiteral("%1 %2").arg(member.name, row.mark).trimmed()};
        }
    }
    for (auto& [key, group] : groups)
        out.groups << group;
    return out;
}

} // namespace plans
