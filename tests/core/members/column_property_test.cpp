// Over random columns: every bar line runs without gap from its dowel (or
// where it is inserted) to the top (or where it stops), so that its pieces
// add up to the column's height plus anchorages and laps; no joint lies in a
// non-connection zone; the two batches stay apart; every floor keeps all its
// bars.
#include "core/members/column_bars.h"
#include "support/qt_printers.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <random>

namespace {

using members::ColumnRow;

struct Random {
    std::mt19937 engine;
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine); }
    template <typename T> T of(std::initializer_list<T> values) {
        return values.begin()[pick(0, int(values.size()) - 1)];
    }
};

struct Generated {
    members::ColumnMember column;
    QList<int> barsPerFloor;
};

Generated randomColumn(Random& r) {
    Generated g;
    members::ColumnMember& c = g.column;
    const int floors = r.pick(1, 6);
    double level = -0.05;
    for (int f = 0; f < floors; ++f) {
        const double height = r.of({3.0, 3.3, 3.6, 4.2, 4.5, 5.1});
        c.storeys << members::Storey{QString::number(f + 1), level, height,
                                     double(r.of({500, 600, 700, 800})), std::nullopt};
        level += height;
    }
    c.foundation.top = r.pick(0, 1) ? std::optional(-1.05) : std::nullopt;
    c.foundation.depth = r.of({600, 800, 1000, 1500});
    if (floors >= 2 && r.pick(0, 2) == 0)
        c.embedment = QStringLiteral("2");
    const int segments = r.pick(1, std::min(3, floors));
    int from = 0;
    int side = 750; // sections shrink upwards
    for (int s = 0; s < segments; ++s) {
        const int to = s == segments - 1 ? floors - 1 : r.pick(from, floors - segments + s);
        members::ColumnSegment seg;
        seg.from = QString::number(from + 1);
        seg.to = QString::number(to + 1);
        side -= r.of({0, 50, 100});
        seg.section = QStringLiteral("%1×%2").arg(side).arg(side);
        const int bars = r.of({8, 12, 16});
        seg.bars = QStringLiteral("%1C%2").arg(bars).arg(r.of({20, 22, 25}));
        seg.stirrups = QStringLiteral("C10@100/200");
        seg.stirrupType = bars == 8 ? QStringLiteral("1(3×3)") : QStringLiteral("1(4×4)");
        for (int f = from; f <= to; ++f)
            g.barsPerFloor << bars;
        c.segments << seg;
        from = to + 1;
    }
    c.connection = r.of({codes::columns::Splice::Coupler, codes::columns::Splice::Weld,
                         codes::columns::Splice::Lap});
    c.seismic = r.of({codes::SeismicGrade::First, codes::SeismicGrade::Second,
                      codes::SeismicGrade::Third, codes::SeismicGrade::None});
    switch (r.pick(0, 2)) {
    case 1:
        c.position = members::ColumnPosition::Edge;
        c.outerFaces = {r.of({QStringLiteral("b1"), QStringLiteral("h2")})};
        break;
    case 2:
        c.position = members::ColumnPosition::Corner;
        c.outerFaces = {QStringLiteral("b2"), QStringLiteral("h1")};
        break;
    default:
        break;
    }
    return g;
}

TEST(ColumnProperties, LinesAddUpAndJointsKeepTheRules) {
    Random r{std::mt19937(20260931)};
    int clean = 0;
    for (int n = 0; n < 300; ++n) {
        const Generated g = randomColumn(r);
        const members::ColumnBars bars = members::detailColumn(g.column);
        const QString what = QStringLiteral("column %1").arg(n);
        ASSERT_FALSE(bars.rows.isEmpty()) << what.toStdString();
        const bool noProblems = bars.problems.isEmpty();
        clean += noProblems;
        const members::ColumnOutline& o = bars.outline;
        const double bottom = o.foundationBottom + g.column.foundation.cover;
        const double top = o.floors.last().top - g.column.cover;
        QMap<int, QList<ColumnRow>> lines;
        for (const ColumnRow& row : bars.rows) {
            if (!row.place)
                continue;
            const members::PiecePlace& p = *row.place;
            // The shape's legs are the place's: the budget is their sum.
            double sum = 0;
            for (double v : row.bar.dimensions)
                sum += v;
            EXPECT_NEAR(sum, row.budgetLength, 0.2) << what.toStdString();
            EXPECT_NEAR(row.budgetLength, p.z1 - p.z0 + p.foot + p.head + p.headDown, 1e-6);
            for (int line : p.lines)
                lines[line] << row;
        }
        for (auto it = lines.begin(); it != lines.end(); ++it) {
            QList<ColumnRow>& pieces = it.value();
            std::sort(pieces.begin(), pieces.end(), [](const ColumnRow& a, const ColumnRow& b) {
                return a.place->z0 < b.place->z0;
            });
            // A line may branch where some of its bars stop or anchor
            // apart: every piece but the lowest starts where one below it
            // joins it.
            const double lowest = pieces.first().place->z0;
            const auto below = [&](const members::PiecePlace& p) -> const ColumnRow* {
                for (const ColumnRow& q : pieces)
                    if (std::abs(q.place->z1 - q.place->lapAbove - p.z0) < 1e-6)
                        return &q;
                return nullptr;
            };
            for (const ColumnRow& piece : pieces) {
                const members::PiecePlace& p = *piece.place;
                if (!noProblems)
                    continue; // a piece refused leaves its line open
                if (p.z0 == lowest) {
                    if (piece.role == QLatin1String("dowel"))
                        EXPECT_NEAR(p.z0, bottom, 1e-6) << what.toStdString();
                    else
                        EXPECT_TRUE(piece.derivation.contains(QStringLiteral("1.2la")))
                            << what.toStdString() << " " << piece.role.toStdString();
                    continue;
                }
                const ColumnRow* under = below(p);
                ASSERT_TRUE(under) << what.toStdString() << " piece at " << p.z0;
                for (const members::FloorOutline& f : o.floors)
                    for (const auto& [z0, z1] : f.nonConnection)
                        EXPECT_FALSE(p.z0 + under->place->lapAbove > z0 + 0.5 && p.z0 < z1 - 0.5)
                            << what.toStdString() << " joint " << p.z0 << " in " << z0 << ".."
                            << z1;
            }
            // Each end is the top or a stop; from a top down to the dowel the
            // pieces less their laps span the column's height and the
            // anchorages in the foundation and at the top.
            for (const ColumnRow& piece : pieces) {
                const bool toTop = piece.role.startsWith(QLatin1String("top"));
                if (toTop)
                    EXPECT_NEAR(piece.place->z1, top, 1e-6) << what.toStdString();
                if (!noProblems || !toTop)
                    continue;
                double vertical = 0, laps = 0;
                const ColumnRow* at = &piece;
                while (at) {
                    vertical += at->place->z1 - at->place->z0;
                    laps += at->place->lapAbove;
                    if (at->place->z0 == lowest)
                        break;
                    at = below(*at->place);
                }
                ASSERT_TRUE(at) << what.toStdString();
                if (at->role == QLatin1String("dowel"))
                    EXPECT_NEAR(vertical - laps, top - bottom, 1e-6) << what.toStdString();
                else
                    EXPECT_NEAR(vertical - laps, top - at->place->z0, 1e-6) << what.toStdString();
            }
        }
        // Two batches apart: at least 35 × 20 mm, or a lap and 0.3 of it.
        if (noProblems)
            for (const auto& a : o.joints)
                for (const auto& b : o.joints)
                    if (!a.highBatch && b.highBatch && std::abs(a.z - b.z) < 3000) {
                        const double apart = std::abs(a.z - b.z);
                        if (g.column.connection == codes::columns::Splice::Lap)
                            EXPECT_GE(apart, 1.3 * 300 - 1e-6) << what.toStdString();
                        else
                            EXPECT_GE(apart, 35 * 20 - 1e-6) << what.toStdString();
                    }
        // Every floor keeps all its bars just above its floor (the bars of the
        // floor below that stop above it aside).
        for (qsizetype f = 0; f < o.floors.size(); ++f) {
            const double z = o.floors[f].nonConnection.first().second - 1;
            int across = 0;
            for (const ColumnRow& row : bars.rows)
                if (row.place && !(row.role == QLatin1String("stopped") && row.floor < f) &&
                    row.place->z0 < z && row.place->z1 > z)
                    across += row.bar.countPerMember;
            if (noProblems)
                EXPECT_EQ(across, g.barsPerFloor[f]) << what.toStdString() << " floor " << f;
        }
    }
    // Most random columns detail without a problem (laps in short floors
    // are the usual exception), so the checks above are not vacuous.
    EXPECT_GT(clean, 150);
}

} // namespace
