// Reading the column: its storeys, its segments over them, and whether its
// bars fit its sections.

#include "core/members/column_detailer.h"

#include "core/codes/bar_masses.h"

namespace members::column_detail {

namespace {

// GB 50010-2010 9.3.1: the clear distance between a column's bars at least
// 50 mm.
constexpr double kLeastClearSpacing = 50;

template <typename T>
std::optional<T> readText(Detailer& d, const Parsed<T>& p, const QString& where) {
    if (!p.value)
        for (const NotationError& e : p.errors)
            d.problem(where, QStringLiteral("第 %1 个字符：%2").arg(e.position + 1).arg(e.reason));
    return p.value;
}

} // namespace

bool Detailer::readSegment(int index, const ColumnSegment& s, Floor& proto) {
    const QString where = QStringLiteral("第 %1 柱段（%2～%3层）").arg(index + 1).arg(s.from, s.to);
    bool ok = true;
    const auto section =
        readText(*this, parseColumnSection(s.section), where + QStringLiteral("截面"));
    if (!section)
        return false;
    proto.section = *section;
    const double b = section->b, h = section->h;
    proto.b1 = s.b1.value_or(s.b2 ? b - *s.b2 : b / 2);
    proto.b2 = s.b2.value_or(b - proto.b1);
    proto.h1 = s.h1.value_or(s.h2 ? h - *s.h2 : h / 2);
    proto.h2 = s.h2.value_or(h - proto.h1);
    if (!section->round &&
        (std::abs(proto.b1 + proto.b2 - b) > 0.5 || std::abs(proto.h1 + proto.h2 - h) > 0.5 ||
         proto.b1 < 0 || proto.b2 < 0 || proto.h1 < 0 || proto.h2 < 0)) {
        problem(where, QStringLiteral("b1 + b2 应等于 b，h1 + h2 应等于 h"));
        ok = false;
    }
    const auto type =
        s.stirrupType.trimmed().isEmpty()
            ? std::optional<StirrupType>(StirrupType{})
            : readText(*this, parseStirrupType(s.stirrupType), where + QStringLiteral("箍筋类型"));
    const auto st = readText(*this, parseColumnStirrups(s.stirrups, set.notation),
                             where + QStringLiteral("箍筋"));
    if (!type || !st)
        return false;
    proto.type = *type;
    proto.stirrups = *st;

    const NotationOptions& n = set.notation;
    proto.sets.clear();
    const auto group = [&](const QString& text, const QString& label) -> std::optional<BarGroup> {
        const auto g = readText(*this, parseGroups(text, n), where + label);
        if (!g)
            return std::nullopt;
        if (g->size() != 1) {
            problem(where + label, QStringLiteral("只应有一种直径"));
            return std::nullopt;
        }
        return g->first();
    };
    if (!s.bars.trimmed().isEmpty() &&
        !(s.corner.trimmed().isEmpty() && s.bSide.trimmed().isEmpty() &&
          s.hSide.trimmed().isEmpty())) {
        problem(where, QStringLiteral("全部纵筋与角筋、中部筋只能给出一种"));
        return false;
    }
    if (section->round) {
        if (s.bars.trimmed().isEmpty()) {
            problem(where, QStringLiteral("圆柱应给出全部纵筋"));
            return false;
        }
        const auto g = group(s.bars, QStringLiteral("全部纵筋"));
        if (!g)
            return false;
        if (g->count < 6) {
            problem(where, QStringLiteral("圆柱纵筋不应少于 6 根（GB 50010-2010 9.3.1）"));
            ok = false;
        }
        proto.sets << BarSet{QStringLiteral("ring"), {}, g->count, g->grade, g->diameter};
        return ok;
    }
    BarGroup corners, bMiddle, hMiddle;
    if (!s.bars.trimmed().isEmpty()) {
        const auto all =
            readText(*this, parseGroups(s.bars, n), where + QStringLiteral("全部纵筋"));
        if (!all)
            return false;
        // Corners first where the total gives more than one size.
        int rest = 0;
        BarGroup middle;
        if (all->size() == 1) {
            corners = all->first();
            corners.count = 4;
            middle = all->first();
            rest = all->first().count - 4;
        } else if (all->size() == 2 && all->first().count == 4) {
            corners = all->first();
            middle = all->at(1);
            rest = middle.count;
        } else {
            problem(
                where + QStringLiteral("全部纵筋"),
                QStringLiteral("多种直径时应分别给出角筋和中部筋，或写成 4C25+8C22（角筋在前）"));
            return false;
        }
        if (rest < 0 || rest % 2 != 0) {
            problem(where + QStringLiteral("全部纵筋"),
                    QStringLiteral("矩形柱纵筋应为 4 根角筋加对称的中部筋"));
            return false;
        }
        // The middle bars shared between the faces as their widths are.
        const int pairs = rest / 2;
        const int onB = int(std::lround(pairs * b / (b + h)));
        bMiddle = middle;
        bMiddle.count = onB;
        hMiddle = middle;
        hMiddle.count = pairs - onB;
    } else {
        const auto c = group(s.corner, QStringLiteral("角筋"));
        if (!c)
            return false;
        if (c->count != 4) {
            problem(where + QStringLiteral("角筋"), QStringLiteral("矩形柱角筋应为 4 根"));
            return false;
        }
        corners = *c;
        for (const auto& [text, label, out] :
             {std::tuple{s.bSide, QStringLiteral("b边中部筋"), &bMiddle},
              std::tuple{s.hSide, QStringLiteral("h边中部筋"), &hMiddle}}) {
            if (text.trimmed().isEmpty())
                continue;
            const auto g = group(text, label);
            if (!g)
                return false;
            *out = *g;
        }
    }
    // Corners diagonal to each other join in the same batch.
    for (const QString& key : {"b1h1", "b2h2", "b1h2", "b2h1"})
        proto.sets << BarSet{key, {key.left(2), key.right(2)}, 1, corners.grade, corners.diameter};
    // b-side bars lie along the faces h1 and h2; h-side bars along b1 and b2.
    for (const QString& face : {"h1", "h2"})
        if (bMiddle.count > 0)
            proto.sets << BarSet{face, {face}, bMiddle.count, bMiddle.grade, bMiddle.diameter};
    for (const QString& face : {"b1", "b2"})
        if (hMiddle.count > 0)
            proto.sets << BarSet{face, {face}, hMiddle.count, hMiddle.grade, hMiddle.diameter};
    return ok;
}

bool Detailer::checkFit(const Floor& f, const QString& where) {
    const int before = int(out.problems.size());
    const double dv = f.stirrups.diameter;
    const double c = column.cover;
    if (f.section.round) {
        const BarSet& r = f.sets.first();
        const double ring = std::numbers::pi * (f.section.b - 2 * c - 2 * dv - r.d);
        const double clear = ring / r.count - r.d;
        if (clear < kLeastClearSpacing)
            problem(where, QStringLiteral("%1 根 %2%3 放不下：净距 %4 < 50（GB 50010-2010 9.3.1）")
                               .arg(r.count)
                               .arg(codes::gradeName(r.grade))
                               .arg(r.d)
                               .arg(n0(clear)));
        return int(out.problems.size()) == before;
    }
    const auto faceBars = [&](const QString& face) {
        int n = 0, d = 0;
        for (const BarSet& s : f.sets)
            if (s.faces.contains(face)) {
                n += s.count;
                d = std::max(d, s.d);
            }
        return std::pair{n, d};
    };
    for (const QString& face : {"h1", "b1"}) {
        const auto [count, d] = faceBars(face);
        const double width =
            (face == QLatin1String("h1") ? f.section.b : f.section.h) - 2 * c - 2 * dv;
        const double clear = (width - count * d) / std::max(1, count - 1);
        if (clear < kLeastClearSpacing)
            problem(where,
                    QStringLiteral("%1 边 %2 根纵筋放不下：净距 %3 < 50（GB 50010-2010 9.3.1）")
                        .arg(face == QLatin1String("h1") ? "b" : "h")
                        .arg(count)
                        .arg(n0(clear)));
    }
    if (f.type.acrossB > faceBars("h1").first || f.type.acrossH > faceBars("b1").first)
        problem(where, QStringLiteral("箍筋肢数 %1×%2 多于每边纵筋根数")
                           .arg(f.type.acrossB)
                           .arg(f.type.acrossH));
    return int(out.problems.size()) == before;
}

bool Detailer::readAll() {
    out.name = column.mark;
    bool ok = true;
    const QList<Storey>& st = column.storeys;
    if (st.isEmpty()) {
        problem(QStringLiteral("层高表"), QStringLiteral("没有楼层"));
        return false;
    }
    QStringList names;
    for (qsizetype i = 0; i < st.size(); ++i) {
        const QString where = QStringLiteral("%1层").arg(st[i].name);
        if (st[i].name.trimmed().isEmpty() || names.contains(st[i].name)) {
            problem(QStringLiteral("层高表第 %1 行").arg(i + 1),
                    QStringLiteral("楼层名称应唯一且不为空"));
            ok = false;
        }
        names << st[i].name;
        if (!(st[i].height > 0.5 && st[i].height < 30)) {
            problem(where, QStringLiteral("层高应在 0.5～30 m 之间"));
            ok = false;
        } else if (!(st[i].beamDepth > 0 && st[i].beamDepth < st[i].height * 1000)) {
            problem(where, QStringLiteral("层高 %1 不大于其顶部梁高 %2")
                               .arg(n0(st[i].height * 1000), n0(st[i].beamDepth)));
            ok = false;
        }
        if (!(std::abs(st[i].level) < 1000)) {
            problem(where, QStringLiteral("标高应在 ±1000 m 之内"));
            ok = false;
        }
        if (i > 0 && std::abs(st[i - 1].level + st[i - 1].height - st[i].level) > 0.0015) {
            problem(where, QStringLiteral("标高 %1 与下层标高 %2 加层高 %3 不接")
                               .arg(st[i].level, 0, 'f', 3)
                               .arg(st[i - 1].level, 0, 'f', 3)
                               .arg(st[i - 1].height, 0, 'f', 3));
            ok = false;
        }
    }
    const Foundation& fd = column.foundation;
    if (!(fd.cover >= 20 && fd.cover <= 100) || !(fd.depth >= fd.cover + 200 && fd.depth < 10000)) {
        problem(QStringLiteral("基础"),
                QStringLiteral("基础高度 hj 应至少比保护层大 200 mm，保护层在 20～100 mm 之间"));
        ok = false;
    }
    if (!(column.cover >= 15 && column.cover <= 100)) {
        problem(QStringLiteral("保护层"), QStringLiteral("柱保护层应在 15～100 mm 之间"));
        ok = false;
    }
    if (!(set.stockLength >= 3000 && set.stockLength <= 15000)) {
        problem(QStringLiteral("定尺长度"), QStringLiteral("定尺长度应在 3000～15000 mm 之间"));
        ok = false;
    }
    if (column.position != ColumnPosition::Middle) {
        const int want = column.position == ColumnPosition::Edge ? 1 : 2;
        bool faces = column.outerFaces.size() == want;
        for (const QString& f : column.outerFaces)
            faces = faces && QStringList{"b1", "b2", "h1", "h2"}.contains(f);
        if (faces && want == 2)
            faces = column.outerFaces[0].left(1) != column.outerFaces[1].left(1);
        if (!faces) {
            problem(QStringLiteral("柱位置"),
                    want == 1 ? QStringLiteral("边柱应给出一个外侧面（b1、b2、h1 或 h2）")
                              : QStringLiteral("角柱应给出相邻的两个外侧面（如 b1 与 h2）"));
            ok = false;
        }
    }
    if (!ok)
        return false;

    // Segments over the storeys, bottom up, without gap or overlap.
    QList<int> covering(st.size(), -1);
    for (qsizetype i = 0; i < column.segments.size(); ++i) {
        const ColumnSegment& s = column.segments[i];
        const int from = int(names.indexOf(s.from)), to = int(names.indexOf(s.to));
        const QString where = QStringLiteral("第 %1 柱段").arg(i + 1);
        if (from < 0 || to < 0 || to < from) {
            problem(where,
                    QStringLiteral("起止楼层“%1”～“%2”不在层高表中或次序颠倒").arg(s.from, s.to));
            ok = false;
            continue;
        }
        for (int f = from; f <= to; ++f) {
            if (covering[f] >= 0) {
                problem(where,
                        QStringLiteral("%1层已在第 %2 柱段中").arg(names[f]).arg(covering[f] + 1));
                ok = false;
            }
            covering[f] = int(i);
        }
    }
    if (column.segments.isEmpty()) {
        problem(QStringLiteral("柱表"), QStringLiteral("没有柱段"));
        return false;
    }
    if (!ok)
        return false;
    if (covering[0] < 0) {
        problem(QStringLiteral("柱表"),
                QStringLiteral("柱应自最低一层（%1层）起，该层不在任何柱段中").arg(names[0]));
        return false;
    }
    int topFloor = 0;
    while (topFloor + 1 < st.size() && covering[topFloor + 1] >= 0)
        ++topFloor;
    for (int f = topFloor + 1; f < st.size(); ++f)
        if (covering[f] >= 0) {
            problem(QStringLiteral("柱表"),
                    QStringLiteral("柱段不连续：%1层不在任何柱段中").arg(names[topFloor + 1]));
            return false;
        }

    const double foundationTop = fd.top.value_or(st[0].level) * 1000;
    if (foundationTop > st[0].level * 1000 + 0.5 || foundationTop < st[0].level * 1000 - 30000 ||
        st[0].level * 1000 + st[0].height * 1000 - foundationTop - st[0].beamDepth < 300) {
        problem(QStringLiteral("基础"),
                QStringLiteral("基础顶面应在最低一层楼面之下 30 m 以内，且低于该层梁底"));
        return false;
    }
    embedment = 0;
    if (!column.embedment.isEmpty()) {
        embedment = int(names.indexOf(column.embedment));
        if (embedment < 0 || embedment > topFloor) {
            problem(QStringLiteral("嵌固部位"),
                    QStringLiteral("“%1”不是本柱所在的楼层").arg(column.embedment));
            return false;
        }
    }
    QList<Floor> protos;
    for (qsizetype i = 0; i < column.segments.size(); ++i) {
        Floor proto;
        proto.segment = int(i);
        if (!readSegment(int(i), column.segments[i], proto)) {
            ok = false;
            continue;
        }
        if (!checkFit(proto, QStringLiteral("第 %1 柱段").arg(i + 1)))
            ok = false;
        protos << proto;
    }
    if (!ok)
        return false;
    for (int f = 0; f <= topFloor; ++f) {
        Floor fl;
        for (const Floor& p : protos)
            if (p.segment == covering[f])
                fl = p;
        fl.name = st[f].name;
        fl.bottom = f == 0 ? foundationTop : st[f].level * 1000;
        fl.top = (st[f].level + st[f].height) * 1000;
        fl.hb = st[f].beamDepth;
        fl.concrete = st[f].concrete.value_or(column.concrete);
        // The floor is not among `floors` yet: named from its own storey.
        const QString where = QStringLiteral("%1层").arg(fl.name);
        if (fl.hn() < 300) {
            problem(where, QStringLiteral("净高 %1 过小").arg(n0(fl.hn())));
            ok = false;
        }
        if (f > 0 && fl.section.round != floors.last().section.round) {
            problem(where, QStringLiteral("圆柱与矩形柱之间的变换尚不能自动翻样"));
            ok = false;
        }
        floors << fl;
    }
    return ok;
}

} // namespace members::column_detail
