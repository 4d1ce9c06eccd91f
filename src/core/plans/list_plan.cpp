#include "core/plans/list_plan.h"

#include "core/plans/planner.h"

#include "core/anchorage/anchorage_calc.h"

#include <QCryptographicHash>
#include <QJsonArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

namespace plans {

namespace {

long long longestStock(const ListPlanSettings& settings) {
    long long longest = 0;
    for (const StockLength& s : settings.stock)
        longest = std::max(longest, s.length);
    return longest;
}

bool needsSplice(const PieceGroup& group, long long longest) {
    return std::any_of(group.pieces.cbegin(), group.pieces.cend(),
                       [longest](const Piece& p) { return p.length > longest; });
}

const char* spliceCode(SpliceKind kind) {
    switch (kind) {
    case SpliceKind::None:
        return "none";
    case SpliceKind::Coupler:
        return "coupler";
    case SpliceKind::Lap:
        return "lap";
    }
    return "none";
}

const char* sourceCode(StockSource source) {
    switch (source) {
    case StockSource::Bought:
        return "bought";
    case StockSource::OnHand:
        return "onHand";
    case StockSource::Offcut:
        return "offcut";
    }
    return "bought";
}

const char* pricingCode(Pricing pricing) {
    switch (pricing) {
    case Pricing::None:
        return "none";
    case Pricing::PerMetre:
        return "metre";
    case Pricing::PerBar:
        return "bar";
    }
    return "none";
}

// The bars a group's patterns take, by length and source, longest first.
QList<StockUse> stockUses(const QList<Pattern>& patterns) {
    QList<StockUse> uses;
    for (const Pattern& p : patterns) {
        auto same = std::find_if(uses.begin(), uses.end(), [&](const StockUse& u) {
            return u.length == p.stock && u.source == p.source;
        });
        if (same == uses.end())
            uses << StockUse{p.stock, p.count, p.source};
        else
            same->count += p.count;
    }
    std::stable_sort(uses.begin(), uses.end(), [](const StockUse& a, const StockUse& b) {
        return a.length != b.length ? a.length > b.length : int(a.source) < int(b.source);
    });
    return uses;
}

const char* lapCode(LapBasis basis) {
    switch (basis) {
    case LapBasis::Length:
        return "length";
    case LapBasis::Diameters:
        return "diameters";
    case LapBasis::Rules:
        return "rules";
    }
    return "rules";
}

// Reading the plan fails at the first value out of place, with its place.
struct PlanReader {
    QString error;

    bool fail(const QString& where, const QString& what) {
        if (error.isEmpty())
            error = QStringLiteral("%1：%2").arg(where, what);
        return false;
    }
    bool object(const QJsonValue& v, QJsonObject& out, const QString& where) {
        if (!v.isObject())
            return fail(where, QStringLiteral("应为对象"));
        out = v.toObject();
        return true;
    }
    bool array(const QJsonObject& o, const char* key, QJsonArray& out, const QString& where,
               bool required = true) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() && !required)
            return true;
        if (!v.isArray())
            return fail(where, QStringLiteral("“%1”应为数组").arg(QLatin1String(key)));
        out = v.toArray();
        return true;
    }
    // A whole number from `least` up; JSON numbers are doubles, exact to 2^53.
    bool whole(const QJsonValue& v, long long& out, const QString& where, const QString& what,
               long long least = 0) {
        const double x = v.toDouble(std::nan(""));
        if (!v.isDouble() || x != std::floor(x) || x < double(least) || x > 9e15)
            return fail(where, QStringLiteral("%1应为不小于 %2 的整数").arg(what).arg(least));
        out = static_cast<long long>(x);
        return true;
    }
    bool whole(const QJsonObject& o, const char* key, long long& out, const QString& where,
               long long least = 0) {
        return whole(o.value(QLatin1String(key)), out, where,
                     QStringLiteral("“%1”").arg(QLatin1String(key)), least);
    }
    bool number(const QJsonObject& o, const char* key, double& out, const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isDouble() || !std::isfinite(v.toDouble()) || v.toDouble() < 0)
            return fail(where, QStringLiteral("“%1”应为不小于 0 的数").arg(QLatin1String(key)));
        out = v.toDouble();
        return true;
    }
    bool flag(const QJsonObject& o, const char* key, bool& out, const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isBool())
            return fail(where, QStringLiteral("“%1”应为 true 或 false").arg(QLatin1String(key)));
        out = v.toBool();
        return true;
    }
    bool text(const QJsonObject& o, const char* key, QString& out, const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isString())
            return fail(where, QStringLiteral("“%1”应为文字").arg(QLatin1String(key)));
        out = v.toString();
        return true;
    }
    bool wholes(const QJsonObject& o, const char* key, QList<long long>& out, const QString& where,
                long long least) {
        QJsonArray a;
        if (!array(o, key, a, where))
            return false;
        for (const QJsonValue& v : a) {
            long long x = 0;
            if (!whole(v, x, where, QStringLiteral("“%1”的每一项").arg(QLatin1String(key)), least))
                return false;
            out << x;
        }
        return true;
    }

    bool settings(const QJsonValue& value, ListPlan& plan) {
        const QString where = QStringLiteral("下料设置");
        QJsonObject o;
        if (!object(value, o, where))
            return false;
        ListPlanSettings& s = plan.settings;
        const auto found = [&](auto values, const QString& code, auto& out) {
            for (auto v : values)
                if (code == QLatin1String(codeOf(v))) {
                    out = v;
                    return true;
                }
            return false;
        };
        QJsonArray stock;
        if (!array(o, "stock", stock, where))
            return false;
        s.stock.clear();
        for (const QJsonValue& v : stock) {
            QJsonObject item;
            StockLength length;
            if (!object(v, item, where) || !whole(item, "length", length.length, where, 1))
                return false;
            if (item.contains(QStringLiteral("available"))) {
                long long available = 0;
                if (!whole(item, "available", available, where))
                    return false;
                length.available = available;
            }
            if (!stockSource(item, length.source, where))
                return false;
            if (length.source != StockSource::Bought && !length.available)
                return fail(
                    where,
                    QStringLiteral("库存或余料的 %1 mm 原材料须给出根数").arg(length.length));
            if (item.contains(QStringLiteral("price")) &&
                !number(item, "price", length.price, where))
                return false;
            s.stock << length;
        }
        if (s.stock.isEmpty())
            return fail(where, QStringLiteral("没有原材料长度"));
        QString pricing;
        if (!text(o, "pricing", pricing, where))
            return false;
        if (!pricing.isEmpty() &&
            !found(std::array{Pricing::None, Pricing::PerMetre, Pricing::PerBar}, pricing,
                   s.pricing))
            return fail(where, QStringLiteral("未知的计价方式“%1”").arg(pricing));
        if (!flag(o, "useOffcuts", s.useOffcuts, where) ||
            !flag(o, "storeOffcuts", s.storeOffcuts, where) ||
            !text(o, "offcutStore", s.offcutStore, where))
            return false;
        if (!whole(o, "kerf", s.kerf, where) || !whole(o, "keepOffcut", s.keepOffcut, where))
            return false;
        QJsonObject splice;
        if (!object(o.value(QStringLiteral("splice")), splice, where))
            return false;
        QString kind, lap;
        if (!text(splice, "kind", kind, where) || !text(splice, "lap", lap, where))
            return false;
        if (!found(std::array{SpliceKind::None, SpliceKind::Coupler, SpliceKind::Lap}, kind,
                   s.splice))
            return fail(where, QStringLiteral("未知的接头方式“%1”").arg(kind));
        if (!found(std::array{LapBasis::Length, LapBasis::Diameters, LapBasis::Rules}, lap,
                   s.lapBasis))
            return fail(where, QStringLiteral("未知的搭接长度取法“%1”").arg(lap));
        if (!number(splice, "lapLength", s.lapLength, where) ||
            !number(splice, "lapDiameters", s.lapDiameters, where))
            return false;
        long long concrete = 0, seismic = 0;
        if (!whole(splice, "concrete", concrete, where, 15) ||
            !whole(splice, "seismicGrade", seismic, where) ||
            !number(splice, "percentLapped", plan.percentLapped, where))
            return false;
        if (concrete > 80 || seismic > 4)
            return fail(where, QStringLiteral("混凝土强度等级或抗震等级超出范围"));
        plan.concrete = int(concrete);
        plan.seismicGrade = static_cast<codes::SeismicGrade>(seismic);
        // Absent in plans saved before GB 55008 was applied, and whenever it is.
        QString code;
        if (!text(splice, "concreteCode", code, where))
            return false;
        plan.concreteCode = code == QLatin1String("gb50010") ? codes::ConcreteCode::Gb50010
                                                             : codes::ConcreteCode::Gb55008;
        return number(o, "timeLimit", s.timeLimitSeconds, where);
    }

    bool group(const QJsonValue& value, GroupPlan& g, Pricing pricing, const QString& where) {
        QJsonObject o;
        long long diameter = 0;
        if (!object(value, o, where) || !text(o, "grade", g.grade, where) ||
            !whole(o, "diameter", diameter, where) || !text(o, "error", g.error, where))
            return false;
        g.diameter = int(std::min(diameter, 1000LL));
        QJsonArray patterns, splices;
        if (!array(o, "patterns", patterns, where) || !array(o, "splices", splices, where, false))
            return false;
        int index = 0;
        for (const QJsonValue& v : patterns) {
            const QString at = QStringLiteral("%1第 %2 种下料").arg(where).arg(++index);
            QJsonObject p;
            Pattern pattern;
            QJsonArray pieces;
            if (!object(v, p, at) || !whole(p, "stock", pattern.stock, at, 1) ||
                !whole(p, "count", pattern.count, at, 1) || !array(p, "pieces", pieces, at) ||
                !whole(p, "offcut", pattern.offcut, at) ||
                !flag(p, "offcutKept", pattern.offcutKept, at))
                return false;
            if (!stockSource(p, pattern.source, at))
                return false;
            long long used = pattern.offcut;
            for (const QJsonValue& pv : pieces) {
                QJsonObject piece;
                PlacedPiece placed;
                if (!object(pv, piece, at) || !whole(piece, "length", placed.length, at, 1) ||
                    !text(piece, "label", placed.label, at))
                    return false;
                used += placed.length;
                pattern.pieces << placed;
            }
            if (pattern.pieces.isEmpty() || used > pattern.stock)
                return fail(at, QStringLiteral("料长合计超过原材料长度"));
            g.patterns << pattern;
        }
        index = 0;
        for (const QJsonValue& v : splices) {
            const QString at = QStringLiteral("%1第 %2 根接长料").arg(where).arg(++index);
            QJsonObject sp;
            SplicedPiece spliced;
            if (!object(v, sp, at) || !text(sp, "label", spliced.label, at) ||
                !whole(sp, "length", spliced.length, at, 1) ||
                !whole(sp, "count", spliced.count, at, 1) ||
                !wholes(sp, "segments", spliced.segments, at, 1) ||
                !wholes(sp, "joints", spliced.joints, at, 1) || !whole(sp, "lap", spliced.lap, at))
                return false;
            if (spliced.segments.size() != spliced.joints.size() + 1)
                return fail(at, QStringLiteral("接头数与分段数不符"));
            g.splices << spliced;
        }
        long long leastPossible = 0;
        if (!number(o, "lowerBound", g.lowerBound, where) ||
            !whole(o, "leastPossible", leastPossible, where) ||
            !flag(o, "lpSolved", g.lpSolved, where) || !flag(o, "proven", g.proven, where) ||
            !flag(o, "timedOut", g.timedOut, where) || !number(o, "seconds", g.seconds, where))
            return false;
        g.leastPossible = leastPossible;
        countTotals(g);
        g.stock = stockUses(g.patterns);
        g.pricing = pricing;
        if (o.contains(QStringLiteral("cost"))) {
            if (!whole(o, "cost", g.cost, where))
                return false;
        } else if (pricing != Pricing::None && g.error.isEmpty()) {
            return fail(where, QStringLiteral("按价格下料的方案缺少费用“cost”"));
        } else {
            // Without prices the cost is the stock bought, which the patterns say.
            g.cost = 0;
            for (const Pattern& p : g.patterns)
                if (p.source == StockSource::Bought)
                    g.cost += p.stock * p.count;
        }
        // Proven only as the solver proves it: it costs no more than the bound.
        g.proven = g.proven && g.error.isEmpty() && g.cost == g.leastPossible;
        return true;
    }

    // Where bars come from; left out: bought.
    bool stockSource(const QJsonObject& o, StockSource& out, const QString& where) {
        QString code;
        if (!text(o, "source", code, where))
            return false;
        if (code.isEmpty())
            return true;
        for (const StockSource v : {StockSource::Bought, StockSource::OnHand, StockSource::Offcut})
            if (code == QLatin1String(sourceCode(v))) {
                out = v;
                return true;
            }
        return fail(where, QStringLiteral("未知的原材料来源“%1”").arg(code));
    }
    static const char* codeOf(StockSource source) { return sourceCode(source); }
    static const char* codeOf(Pricing pricing) { return pricingCode(pricing); }
    static const char* codeOf(SpliceKind kind) { return spliceCode(kind); }
    static const char* codeOf(LapBasis basis) { return lapCode(basis); }
};

void addToTotals(Plan& plan, const GroupPlan& group) {
    plan.cost += group.cost;
    plan.stockLength += group.stockLength;
    plan.piecesLength += group.piecesLength;
    plan.keptOffcut += group.keptOffcut;
    plan.waste += group.waste;
    plan.utilisation =
        plan.stockLength > 0 ? double(plan.piecesLength) / double(plan.stockLength) : 0;
}

} // namespace

GroupLap lapByRules(const QString& grade, int diameter, const schedule::ListSettings& list) {
    GroupLap lap;
    const std::optional<codes::SteelGrade> steel = codes::gradeFromName(grade);
    if (!steel || diameter <= 0) {
        lap.objection = QStringLiteral("牌号或直径不明，无法按锚固规范确定搭接长度");
        return lap;
    }
    anchorage::Inputs in;
    in.steel = *steel;
    in.concrete = list.concrete;
    in.diameter = diameter;
    in.seismic = list.seismicGrade;
    in.percentLapped = list.percentLapped;
    in.code = list.concreteCode;
    const anchorage::Results r = anchorage::compute(in);
    lap.lapMm = anchorage::lapLengthMm(in.steel, in.concrete, in.diameter, in.seismic,
                                       in.percentLapped, anchorage::Basis::Table, in.code);
    if (!lap.lapMm) {
        lap.objection = QStringLiteral("%1，无法按锚固规范确定搭接长度")
                            .arg(r.objection.isEmpty() ? QStringLiteral("输入有误") : r.objection);
        return lap;
    }
    lap.llE = list.seismicGrade != codes::SeismicGrade::None;
    lap.multiple = lap.llE ? r.llE->table : r.ll.table;
    return lap;
}

QString yuanText(double costUnits) {
    // Whole fen, rounded half away from zero as a bill is.
    const long long fen = std::llround(costUnits / (kCostUnitsPerYuan / 100));
    const long long magnitude = fen < 0 ? -fen : fen;
    return QStringLiteral("%1%2.%3")
        .arg(fen < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

GroupSettings groupSettings(const PieceGroup& group, const ListPlanSettings& settings,
                            const schedule::ListSettings& list, const OffcutsOnOffer& offcuts) {
    GroupSettings out;
    PlanSettings& s = out.solver;
    // Offcuts first: they are cut before any bar is taken from the yard or bought.
    if (settings.useOffcuts)
        s.stock = offcuts.value({group.grade, group.diameter});
    else
        s.stock.clear();
    s.stock << settings.stock;
    s.pricing = settings.pricing;
    s.kerf = settings.kerf;
    s.keepOffcut = settings.keepOffcut;
    s.timeLimitSeconds = settings.timeLimitSeconds;
    s.splice.kind = settings.splice;
    if (settings.splice != SpliceKind::Lap)
        return out;
    switch (settings.lapBasis) {
    case LapBasis::Length:
        s.splice.lapLength = settings.lapLength;
        break;
    case LapBasis::Diameters:
        s.splice.lapDiameters = settings.lapDiameters;
        break;
    case LapBasis::Rules:
        if (!needsSplice(group, longestStock(settings))) {
            // Nothing to join: the rules' lap is never asked for.
            s.splice.kind = SpliceKind::None;
            break;
        }
        const GroupLap lap = lapByRules(group.grade, group.diameter, list);
        if (lap.lapMm)
            s.splice.lapLength = *lap.lapMm;
        else
            out.error = lap.objection;
        break;
    }
    return out;
}

QString planFingerprint(const ListPieces& pieces, const ListPlanSettings& settings,
                        const schedule::ListSettings& list) {
    QByteArray text;
    for (const PieceGroup& group : pieces.groups) {
        text += QStringLiteral("group\t%1\t%2\n").arg(group.grade).arg(group.diameter).toUtf8();
        QList<std::tuple<long long, QString, long long>> sorted;
        for (const Piece& p : group.pieces)
            sorted << std::tuple{p.length, p.label, p.count};
        std::sort(sorted.begin(), sorted.end());
        for (const auto& [length, label, count] : sorted)
            text += QStringLiteral("%1\t%2\t%3\n").arg(length).arg(count).arg(label).toUtf8();
        if (settings.splice == SpliceKind::Lap && settings.lapBasis == LapBasis::Rules &&
            needsSplice(group, longestStock(settings))) {
            const GroupLap lap = lapByRules(group.grade, group.diameter, list);
            text += QStringLiteral("lap\t%1\n")
                        .arg(lap.lapMm ? QString::number(*lap.lapMm) : lap.objection)
                        .toUtf8();
        }
    }
    text += QStringLiteral("left out\t%1\n").arg(pieces.rowsLeftOut).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
}

QString planFingerprint(const schedule::CuttingList& list, const ListPlanSettings& settings) {
    return planFingerprint(piecesFromList(list), settings, list.settings);
}

ListPlan planList(const schedule::CuttingList& list, const ListPlanSettings& settings,
                  const PlanControl& control, const OffcutsOnOffer& offcuts) {
    ListPlan out;
    out.settings = settings;
    out.concrete = list.settings.concrete;
    out.seismicGrade = list.settings.seismicGrade;
    out.percentLapped = list.settings.percentLapped;
    out.concreteCode = list.settings.concreteCode;
    const ListPieces pieces = piecesFromList(list);
    out.rowsLeftOut = pieces.rowsLeftOut;
    out.fingerprint = planFingerprint(pieces, settings, list.settings);
    const int count = int(pieces.groups.size());
    for (int g = 0; g < count; ++g) {
        if (control.cancel && control.cancel->load()) {
            out.plan.cancelled = true;
            break;
        }
        const PieceGroup& group = pieces.groups[g];
        const GroupSettings s = groupSettings(group, settings, list.settings, offcuts);
        GroupPlan planned;
        if (s.error.isEmpty()) {
            planned = planGroup(group, s.solver, control, g, count);
        } else {
            planned.grade = group.grade;
            planned.diameter = group.diameter;
            planned.error = s.error;
        }
        addToTotals(out.plan, planned);
        out.plan.groups << planned;
    }
    out.plan.cancelled = out.plan.cancelled || (control.cancel && control.cancel->load());
    return out;
}

bool isOutOfDate(const ListPlan& plan, const schedule::CuttingList& list) {
    return planFingerprint(list, plan.settings) != plan.fingerprint;
}

QJsonObject planToJson(const ListPlan& plan) {
    const ListPlanSettings& s = plan.settings;
    // Prices, stock on hand and offcuts are written only where given, so
    // that a plan without them is the file it was before them.
    bool newer = s.pricing != Pricing::None || s.useOffcuts || s.storeOffcuts;
    QJsonArray stock;
    for (const StockLength& length : s.stock) {
        QJsonObject item{{QStringLiteral("length"), double(length.length)}};
        if (length.available)
            item.insert(QStringLiteral("available"), double(*length.available));
        if (length.source != StockSource::Bought) {
            item.insert(QStringLiteral("source"), QLatin1String(sourceCode(length.source)));
            newer = true;
        }
        if (length.price > 0) {
            item.insert(QStringLiteral("price"), length.price);
            newer = true;
        }
        stock << item;
    }
    QJsonObject splice{{QStringLiteral("kind"), QLatin1String(spliceCode(s.splice))},
                       {QStringLiteral("lap"), QLatin1String(lapCode(s.lapBasis))},
                       {QStringLiteral("lapLength"), s.lapLength},
                       {QStringLiteral("lapDiameters"), s.lapDiameters},
                       {QStringLiteral("concrete"), plan.concrete},
                       {QStringLiteral("seismicGrade"), static_cast<int>(plan.seismicGrade)},
                       {QStringLiteral("percentLapped"), plan.percentLapped}};
    if (plan.concreteCode == codes::ConcreteCode::Gb50010)
        splice.insert(QStringLiteral("concreteCode"), QStringLiteral("gb50010"));
    QJsonObject settings{{QStringLiteral("stock"), stock},
                         {QStringLiteral("kerf"), double(s.kerf)},
                         {QStringLiteral("keepOffcut"), double(s.keepOffcut)},
                         {QStringLiteral("splice"), splice},
                         {QStringLiteral("timeLimit"), s.timeLimitSeconds}};
    if (s.pricing != Pricing::None)
        settings.insert(QStringLiteral("pricing"), QLatin1String(pricingCode(s.pricing)));
    if (s.useOffcuts)
        settings.insert(QStringLiteral("useOffcuts"), true);
    if (s.storeOffcuts)
        settings.insert(QStringLiteral("storeOffcuts"), true);
    if (!s.offcutStore.isEmpty())
        settings.insert(QStringLiteral("offcutStore"), s.offcutStore);
    QJsonArray groups;
    for (const GroupPlan& g : plan.plan.groups) {
        QJsonArray patterns;
        for (const Pattern& p : g.patterns) {
            QJsonArray pieces;
            for (const PlacedPiece& piece : p.pieces)
                pieces << QJsonObject{{QStringLiteral("length"), double(piece.length)},
                                      {QStringLiteral("label"), piece.label}};
            QJsonObject pattern{{QStringLiteral("stock"), double(p.stock)},
                                {QStringLiteral("count"), double(p.count)},
                                {QStringLiteral("pieces"), pieces},
                                {QStringLiteral("offcut"), double(p.offcut)},
                                {QStringLiteral("offcutKept"), p.offcutKept}};
            if (p.source != StockSource::Bought) {
                pattern.insert(QStringLiteral("source"), QLatin1String(sourceCode(p.source)));
                newer = true;
            }
            patterns << pattern;
        }
        QJsonArray splices;
        for (const SplicedPiece& sp : g.splices) {
            QJsonArray segments, joints;
            for (long long v : sp.segments)
                segments << double(v);
            for (long long v : sp.joints)
                joints << double(v);
            splices << QJsonObject{{QStringLiteral("label"), sp.label},
                                   {QStringLiteral("length"), double(sp.length)},
                                   {QStringLiteral("count"), double(sp.count)},
                                   {QStringLiteral("segments"), segments},
                                   {QStringLiteral("joints"), joints},
                                   {QStringLiteral("lap"), double(sp.lap)}};
        }
        QJsonObject group{{QStringLiteral("grade"), g.grade},
                          {QStringLiteral("diameter"), g.diameter},
                          {QStringLiteral("patterns"), patterns},
                          {QStringLiteral("splices"), splices},
                          {QStringLiteral("lowerBound"), g.lowerBound},
                          {QStringLiteral("lpSolved"), g.lpSolved},
                          {QStringLiteral("leastPossible"), double(g.leastPossible)},
                          {QStringLiteral("proven"), g.proven},
                          {QStringLiteral("timedOut"), g.timedOut},
                          {QStringLiteral("seconds"), g.seconds}};
        if (!g.error.isEmpty())
            group.insert(QStringLiteral("error"), g.error);
        if (s.pricing != Pricing::None && g.error.isEmpty())
            group.insert(QStringLiteral("cost"), double(g.cost));
        groups << group;
    }
    return QJsonObject{{QStringLiteral("version"), newer ? kPlanSectionVersion : 1},
                       {QStringLiteral("fingerprint"), plan.fingerprint},
                       {QStringLiteral("settings"), settings},
                       {QStringLiteral("rowsLeftOut"), plan.rowsLeftOut},
                       {QStringLiteral("groups"), groups}};
}

LoadedPlan planFromJson(const QJsonValue& value) {
    if (value.isUndefined())
        return {};
    const auto dropped = [](const QString& why) { return LoadedPlan{std::nullopt, why}; };
    if (!value.isObject())
        return dropped(QStringLiteral("下料方案已损坏：应为对象"));
    const QJsonObject o = value.toObject();
    const QJsonValue version = o.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != std::floor(version.toDouble()))
        return dropped(QStringLiteral("下料方案已损坏：缺少有效的版本号"));
    if (version.toDouble() > kPlanSectionVersion)
        return dropped(QStringLiteral("下料方案由更新版本的 Corvala 保存（方案格式版本 %1，"
                                      "本程序只认识到版本 %2）")
                           .arg(version.toInt())
                           .arg(kPlanSectionVersion));
    PlanReader reader;
    ListPlan plan;
    long long rowsLeftOut = 0;
    QJsonArray groups;
    if (!reader.text(o, "fingerprint", plan.fingerprint, QStringLiteral("下料方案")) ||
        !reader.settings(o.value(QStringLiteral("settings")), plan) ||
        !reader.whole(o, "rowsLeftOut", rowsLeftOut, QStringLiteral("下料方案")) ||
        !reader.array(o, "groups", groups, QStringLiteral("下料方案")))
        return dropped(QStringLiteral("下料方案已损坏：%1").arg(reader.error));
    plan.rowsLeftOut = int(std::min(rowsLeftOut, 1'000'000'000LL));
    int index = 0;
    for (const QJsonValue& v : groups) {
        GroupPlan group;
        if (!reader.group(v, group, plan.settings.pricing, QStringLiteral("第 %1 组").arg(++index)))
            return dropped(QStringLiteral("下料方案已损坏：%1").arg(reader.error));
        addToTotals(plan.plan, group);
        plan.plan.groups << group;
    }
    return {plan, QString()};
}

QJsonObject planSettingsToJson(const ListPlanSettings& settings) {
    ListPlan plan;
    plan.settings = settings;
    QJsonObject o = planToJson(plan).value(QStringLiteral("settings")).toObject();
    o.insert(QStringLiteral("version"), kPlanSectionVersion);
    return o;
}

LoadedPlanSettings planSettingsFromJson(const QJsonValue& value) {
    if (value.isUndefined())
        return {};
    const QJsonValue version = value.toObject().value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() > kPlanSectionVersion)
        return {std::nullopt, QStringLiteral("下料设置由更新版本的 Corvala 保存或已损坏")};
    PlanReader reader;
    ListPlan plan;
    if (!reader.settings(value, plan))
        return {std::nullopt, QStringLiteral("下料设置已损坏：%1").arg(reader.error)};
    return {plan.settings, QString()};
}

} // namespace plans
