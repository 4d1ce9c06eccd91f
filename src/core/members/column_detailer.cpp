// A column detailed into cutting-list rows: anchorage lengths, zones, and
// the rows' roles named.

#include "core/members/column_detailer.h"

namespace members {

namespace column_detail {

Lengths Detailer::lengths(SteelGrade grade, int d, int concrete) {
    const std::tuple<int, int, int> key{static_cast<int>(grade), d, concrete};
    if (const auto known = lengthsKnown.constFind(key); known != lengthsKnown.constEnd())
        return *known;
    const Lengths l = computeLengths(grade, d, concrete);
    lengthsKnown.insert(key, l);
    return l;
}

Lengths Detailer::computeLengths(SteelGrade grade, int d, int concrete) {
    anchorage::Inputs in;
    in.steel = grade;
    in.concrete = concrete;
    in.diameter = d;
    in.seismic = column.seismic;
    // Two batches: half the bars joined in one zone.
    in.percentLapped = 50;
    const anchorage::Results r = anchorage::compute(in);
    Lengths l;
    if (!r.objection.isEmpty()) {
        problem(QStringLiteral("%1%2（C%3）").arg(codes::gradeName(grade)).arg(d).arg(concrete),
                r.objection);
        return l;
    }
    const bool seismic = r.laE.has_value();
    const anchorage::Length la = seismic ? *r.laE : r.la;
    const anchorage::Length lab = seismic ? *r.labE : r.lab;
    const anchorage::Length ll = seismic ? *r.llE : r.ll;
    if (set.anchorageFormula) {
        l.laE = std::ceil(la.exactMm), l.labE = std::ceil(lab.exactMm),
        l.llE = std::ceil(ll.exactMm);
    } else {
        l.laE = la.tableMm, l.labE = lab.tableMm, l.llE = ll.tableMm;
    }
    l.llE = std::max(l.llE, codes::kShortestLap);
    l.ok = true;
    return l;
}

double Detailer::zoneAbove(int f) const {
    return f == embedment ? rules::zoneAboveEmbedment(floors[f].hn())
                          : rules::zoneAtJoint(floors[f].hn(), floors[f].hc());
}

double Detailer::zoneBelow(int f) const {
    return rules::zoneAtJoint(floors[f].hn(), floors[f].hc());
}

// Each set's bars in two batches: diagonal corners together, a face's
// middle bars alternately.
QMap<QString, LineBars> Detailer::barLines(int f) const {
    QMap<QString, LineBars> m;
    for (const BarSet& s : floors[f].sets) {
        if (s.key.size() == 4) {
            const bool high = s.key == QLatin1String("b1h2") || s.key == QLatin1String("b2h1");
            m.insert(s.key + (high ? ":high" : ":low"), LineBars{1, s.grade, s.d});
            continue;
        }
        // A face's bars alternate from its corners: on h1 and b1 the first
        // beside the low corner is high, on h2 and b2 low.
        const bool highFirst = s.key == QLatin1String("h1") || s.key == QLatin1String("b1");
        const int low = highFirst ? s.count / 2 : (s.count + 1) / 2;
        if (low > 0)
            m.insert(s.key + QStringLiteral(":low"), LineBars{low, s.grade, s.d});
        if (s.count - low > 0)
            m.insert(s.key + QStringLiteral(":high"), LineBars{s.count - low, s.grade, s.d});
    }
    return m;
}

void Detailer::addRow(ColumnRow row) {
    row.bar.mark = QString::number(out.rows.size() + 1);
    row.floorName = row.floor < 0 ? QStringLiteral("基础") : floors[row.floor].name;
    row.bar.note = columnRoleName(row.role) + QLatin1Char(' ') + floorName(row.floor);
    out.rows << row;
}

void Detailer::run() {
    if (!readAll())
        return;
    outline();
    longitudinal();
    stirrups();
    // Without seismic design the lengths are la, lab and ll, and are named so.
    if (column.seismic == SeismicGrade::None) {
        const auto plain = [](QString& text) {
            text.replace(QLatin1String("labE"), QLatin1String("lab"))
                .replace(QLatin1String("laE"), QLatin1String("la"))
                .replace(QLatin1String("llE"), QLatin1String("ll"));
        };
        for (ColumnRow& r : out.rows) {
            plain(r.derivation);
            plain(r.bar.note);
        }
        for (ColumnProblem& p : out.problems)
            plain(p.reason);
    }
}

} // namespace column_detail

ColumnBars detailColumn(const ColumnMember& column) {
    column_detail::Detailer d(column);
    d.run();
    return d.out;
}

QString columnRoleName(const QString& role) {
    static const QList<std::pair<const char*, const char*>> names{
        {"dowel", "基础插筋"},
        {"lowBatch", "纵筋（低位）"},
        {"highBatch", "纵筋（高位）"},
        {"inserted", "纵筋（插筋 1.2laE）"},
        {"stopped", "纵筋（截断）"},
        {"topOuter", "柱顶外侧筋（1.5labE）"},
        {"topOuterAcross", "柱顶外侧筋（至内边下弯 8d）"},
        {"topInner", "柱顶内侧筋"},
        {"foundationStirrup", "基础内箍筋"},
        {"stirrup", "箍筋"},
        {"stirrupInner", "箍筋（内箍）"},
        {"tie", "拉筋（单肢箍）"},
        {"hoop", "圆形箍筋"},
    };
    for (const auto& [code, name] : names)
        if (role == QLatin1String(code))
            return QString::fromUtf8(name);
    return role;
}

} // namespace members
