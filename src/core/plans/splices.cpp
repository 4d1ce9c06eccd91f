#include "core/plans/plan_problem.h"

namespace plans::detail {

// ---------------------------------------------------------------------------
// Splices: a piece longer than the longest bar is made of full bars and one
// shorter rest; each joint overlaps by the lap (0 for couplers).

SpliceOutcome splicePieces(const PieceGroup& group, const PlanSettings& settings,
                           long long longest) {
    SpliceOutcome out;
    long long lap = 0;
    if (settings.splice.kind == SpliceKind::Lap) {
        if (settings.splice.lapLength > 0)
            lap = (long long)std::ceil(settings.splice.lapLength - 1e-9);
        else if (group.diameter > 0)
            lap = (long long)std::ceil(settings.splice.lapDiameters * group.diameter - 1e-9);
    }
    for (const Piece& piece : group.pieces) {
        if (piece.length <= longest) {
            out.pieces << piece;
            continue;
        }
        const QString name = pieceName(piece.label, piece.length);
        if (settings.splice.kind == SpliceKind::None) {
            out.error = QStringLiteral("%1长 %2 mm，比最长的原材料 %3 mm 还长，又没有选择接头方式"
                                       "（机械连接或焊接、搭接）。")
                            .arg(name)
                            .arg(piece.length)
                            .arg(longest);
            return out;
        }
        if (settings.splice.kind == SpliceKind::Lap && lap <= 0) {
            out.error = QStringLiteral("搭接长度按直径的倍数给出，但这一组没有直径，无法接长%1。")
                            .arg(name);
            return out;
        }
        if (lap >= longest) {
            out.error = QStringLiteral("搭接长度 %1 mm 不短于最长的原材料 %2 mm，无法接长%3。")
                            .arg(lap)
                            .arg(longest)
                            .arg(name);
            return out;
        }
        const long long step = longest - lap;
        const long long bars = (piece.length - lap + step - 1) / step;
        SplicedPiece spliced{piece.label, piece.length, piece.count, {}, {}, lap};
        for (long long k = 1; k < bars; ++k) {
            spliced.segments << longest;
            spliced.joints << k * step;
        }
        spliced.segments << piece.length - (bars - 1) * step;
        for (int k = 0; k < spliced.segments.size(); ++k)
            out.pieces << Piece{spliced.segments[k], piece.count,
                                QStringLiteral("%1 接长段%2/%3")
                                    .arg(piece.label)
                                    .arg(k + 1)
                                    .arg(spliced.segments.size())
                                    .trimmed()};
        out.splices << spliced;
    }
    return out;
}

} // namespace plans::detail
