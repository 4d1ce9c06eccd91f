// The column's JSON: the --column file, and the member a list will store.
#include "core/members/column_bars.h"
#include "core/members/json_reader.h"

#include <QJsonArray>

#include <cmath>

namespace members {

namespace {

using codes::SeismicGrade;

const QStringList kSeismicNames{QStringLiteral("非抗震"), QStringLiteral("一"),
                                QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四")};
const QStringList kConnections{QStringLiteral("lap"), QStringLiteral("mechanical"),
                               QStringLiteral("weld")};
const QStringList kPositions{QStringLiteral("middle"), QStringLiteral("edge"),
                             QStringLiteral("corner")};

codes::columns::Splice spliceOf(int i) {
    return i == 0   ? codes::columns::Splice::Lap
           : i == 1 ? codes::columns::Splice::Coupler
                    : codes::columns::Splice::Weld;
}

int indexOf(codes::columns::Splice s) {
    return s == codes::columns::Splice::Lap ? 0 : s == codes::columns::Splice::Coupler ? 1 : 2;
}

// Reading stops at the first fault, which names the key.
struct Reader : detail::JsonReader {
    // A storey's name may be written as a number.
    bool name(const QJsonObject& o, const char* key, QString& out, const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isDouble() && std::isfinite(v.toDouble()) && std::abs(v.toDouble()) < 1e6) {
            out = QString::number(v.toDouble());
            return true;
        }
        if (!v.isString())
            return fail(where + QLatin1String(key), QStringLiteral("应为楼层名称"));
        out = v.toString();
        return true;
    }
    bool optionalNumber(const QJsonObject& o, const char* key, std::optional<double>& out,
                        const QString& where) {
        if (!o.contains(QLatin1String(key)) || o.value(QLatin1String(key)).isNull())
            return true;
        double v = 0;
        if (!number(o, key, v, where))
            return false;
        out = v;
        return true;
    }
    bool concrete(const QJsonValue& v, const QString& key, int& out) {
        const std::optional<int> grade = codes::concreteGradeFromName(v.toString());
        if (!grade)
            return fail(key, QStringLiteral("应为 C15～C80"));
        out = *grade;
        return true;
    }
    bool choice(const QJsonValue& v, const QString& key, const QStringList& names, int& out) {
        if (v.isUndefined())
            return true;
        const qsizetype at = names.indexOf(v.toString());
        if (at < 0)
            return fail(key, QStringLiteral("应为 %1").arg(names.join(QStringLiteral("、"))));
        out = int(at);
        return true;
    }
};

QJsonValue optionalValue(const std::optional<double>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}

} // namespace

QJsonObject columnToJson(const ColumnMember& c) {
    QJsonObject o;
    o.insert(QStringLiteral("mark"), c.mark);
    QJsonArray storeys;
    for (const Storey& s : c.storeys) {
        QJsonObject so{{QStringLiteral("name"), s.name},
                       {QStringLiteral("level"), s.level},
                       {QStringLiteral("height"), s.height},
                       {QStringLiteral("beamDepth"), s.beamDepth}};
        if (s.concrete)
            so.insert(QStringLiteral("concrete"), codes::concreteGradeName(*s.concrete));
        storeys.append(so);
    }
    o.insert(QStringLiteral("storeys"), storeys);
    if (!c.embedment.isEmpty())
        o.insert(QStringLiteral("embedment"), c.embedment);
    QJsonObject f{{QStringLiteral("depth"), c.foundation.depth},
                  {QStringLiteral("cover"), c.foundation.cover},
                  {QStringLiteral("allOnBottomMesh"), c.foundation.allOnBottomMesh}};
    if (c.foundation.top)
        f.insert(QStringLiteral("top"), *c.foundation.top);
    o.insert(QStringLiteral("foundation"), f);
    QJsonArray segments;
    for (const ColumnSegment& s : c.segments) {
        QJsonObject so{{QStringLiteral("from"), s.from},
                       {QStringLiteral("to"), s.to},
                       {QStringLiteral("section"), s.section}};
        for (const auto& [key, v] : {std::pair{"b1", s.b1}, std::pair{"b2", s.b2},
                                     std::pair{"h1", s.h1}, std::pair{"h2", s.h2}})
            if (v)
                so.insert(QLatin1String(key), optionalValue(v));
        for (const auto& [key, v] :
             {std::pair{"bars", s.bars}, std::pair{"corner", s.corner}, std::pair{"bSide", s.bSide},
              std::pair{"hSide", s.hSide}, std::pair{"stirrupType", s.stirrupType},
              std::pair{"stirrups", s.stirrups}})
            if (!v.isEmpty())
                so.insert(QLatin1String(key), v);
        segments.append(so);
    }
    o.insert(QStringLiteral("segments"), segments);
    o.insert(QStringLiteral("concrete"), codes::concreteGradeName(c.concrete));
    o.insert(QStringLiteral("seismic"), kSeismicNames.value(static_cast<int>(c.seismic)));
    o.insert(QStringLiteral("cover"), c.cover);
    o.insert(QStringLiteral("connection"), kConnections[indexOf(c.connection)]);
    o.insert(QStringLiteral("position"), kPositions[static_cast<int>(c.position)]);
    if (!c.outerFaces.isEmpty())
        o.insert(QStringLiteral("outerFaces"), QJsonArray::fromStringList(c.outerFaces));
    const ColumnSettings& s = c.settings;
    o.insert(QStringLiteral("settings"),
             QJsonObject{{QStringLiteral("anchorage"),
                          s.anchorageFormula ? QStringLiteral("formula") : QStringLiteral("table")},
                         {QStringLiteral("allOuterIntoBeam"), s.allOuterIntoBeam},
                         {QStringLiteral("denseAtLaps"), s.denseAtLaps},
                         {QStringLiteral("stockLength"), s.stockLength},
                         {QStringLiteral("phiGrade"), codes::gradeName(s.notation.phiGrade)},
                         {QStringLiteral("seismicSteel"), s.notation.seismicSteel}});
    return o;
}

ColumnRead columnFromJson(const QJsonObject& o) {
    Reader r;
    ColumnMember c;
    ColumnRead result;
    const auto done = [&]() {
        if (r.error.isEmpty())
            result.column = c;
        result.error = r.error;
        return result;
    };
    if (!r.onlyKeys(o,
                    {"mark", "storeys", "embedment", "foundation", "segments", "concrete",
                     "seismic", "cover", "connection", "position", "outerFaces", "settings"},
                    {}) ||
        !r.text(o, "mark", c.mark, {}))
        return done();
    const QJsonValue storeys = o.value(QStringLiteral("storeys"));
    if (!storeys.isArray())
        return r.fail(QStringLiteral("storeys"), QStringLiteral("应为楼层的数组（自下而上）")),
               done();
    const QJsonArray sa = storeys.toArray();
    for (qsizetype i = 0; i < sa.size(); ++i) {
        const QString key = QStringLiteral("storeys[%1]").arg(i);
        if (!sa[i].isObject())
            return r.fail(key, QStringLiteral("应为对象")), done();
        const QJsonObject so = sa[i].toObject();
        Storey s;
        const QString w = key + QLatin1Char('.');
        if (!r.onlyKeys(so, {"name", "level", "height", "beamDepth", "concrete"}, key) ||
            !r.name(so, "name", s.name, w))
            return done();
        for (const char* k : {"level", "height", "beamDepth"})
            if (!so.value(QLatin1String(k)).isDouble())
                return r.fail(w + QLatin1String(k), QStringLiteral("应为数")), done();
        if (!r.number(so, "level", s.level, w) || !r.number(so, "height", s.height, w) ||
            !r.number(so, "beamDepth", s.beamDepth, w))
            return done();
        if (so.contains(QStringLiteral("concrete"))) {
            int grade = 0;
            if (!r.concrete(so.value(QStringLiteral("concrete")), w + QStringLiteral("concrete"),
                            grade))
                return done();
            s.concrete = grade;
        }
        c.storeys << s;
    }
    const QJsonValue emb = o.value(QStringLiteral("embedment"));
    if (!emb.isUndefined() && !emb.isNull()) {
        if (!r.name(o, "embedment", c.embedment, {}))
            return done();
        if (c.embedment == QLatin1String("foundation"))
            c.embedment.clear();
    }
    const QJsonValue fv = o.value(QStringLiteral("foundation"));
    if (!fv.isUndefined() && !fv.isNull()) {
        if (!fv.isObject())
            return r.fail(QStringLiteral("foundation"), QStringLiteral("应为对象")), done();
        const QJsonObject fo = fv.toObject();
        const QString w = QStringLiteral("foundation.");
        if (!r.onlyKeys(fo, {"top", "depth", "cover", "allOnBottomMesh"},
                        QStringLiteral("foundation")) ||
            !r.optionalNumber(fo, "top", c.foundation.top, w) ||
            !r.number(fo, "depth", c.foundation.depth, w) ||
            !r.number(fo, "cover", c.foundation.cover, w) ||
            !r.flag(fo, "allOnBottomMesh", c.foundation.allOnBottomMesh, w))
            return done();
    }
    const QJsonValue segments = o.value(QStringLiteral("segments"));
    if (!segments.isArray())
        return r.fail(QStringLiteral("segments"), QStringLiteral("应为柱段的数组")), done();
    const QJsonArray ga = segments.toArray();
    for (qsizetype i = 0; i < ga.size(); ++i) {
        const QString key = QStringLiteral("segments[%1]").arg(i);
        if (!ga[i].isObject())
            return r.fail(key, QStringLiteral("应为对象")), done();
        const QJsonObject so = ga[i].toObject();
        const QString w = key + QLatin1Char('.');
        ColumnSegment s;
        if (!r.onlyKeys(so,
                        {"from", "to", "section", "b1", "b2", "h1", "h2", "bars", "corner", "bSide",
                         "hSide", "stirrupType", "stirrups"},
                        key) ||
            !r.name(so, "from", s.from, w) || !r.name(so, "to", s.to, w) ||
            !r.text(so, "section", s.section, w) || !r.optionalNumber(so, "b1", s.b1, w) ||
            !r.optionalNumber(so, "b2", s.b2, w) || !r.optionalNumber(so, "h1", s.h1, w) ||
            !r.optionalNumber(so, "h2", s.h2, w) || !r.text(so, "bars", s.bars, w) ||
            !r.text(so, "corner", s.corner, w) || !r.text(so, "bSide", s.bSide, w) ||
            !r.text(so, "hSide", s.hSide, w) || !r.text(so, "stirrupType", s.stirrupType, w) ||
            !r.text(so, "stirrups", s.stirrups, w))
            return done();
        c.segments << s;
    }
    if (o.contains(QStringLiteral("concrete")) &&
        !r.concrete(o.value(QStringLiteral("concrete")), QStringLiteral("concrete"), c.concrete))
        return done();
    const QJsonValue seismic = o.value(QStringLiteral("seismic"));
    if (!seismic.isUndefined()) {
        const QString s =
            seismic.isDouble() ? QString::number(seismic.toInt()) : seismic.toString().trimmed();
        qsizetype at = kSeismicNames.indexOf(s.endsWith(QStringLiteral("级")) ? s.chopped(1) : s);
        if (at < 0)
            at = QStringList{"none", "1", "2", "3", "4"}.indexOf(s.toLower());
        if (at < 0)
            return r.fail(QStringLiteral("seismic"),
                          QStringLiteral("应为 一、二、三、四 或 非抗震")),
                   done();
        c.seismic = static_cast<SeismicGrade>(at);
    }
    int connection = indexOf(c.connection), position = 0;
    if (!r.number(o, "cover", c.cover, {}) ||
        !r.choice(o.value(QStringLiteral("connection")), QStringLiteral("connection"), kConnections,
                  connection) ||
        !r.choice(o.value(QStringLiteral("position")), QStringLiteral("position"), kPositions,
                  position))
        return done();
    c.connection = spliceOf(connection);
    c.position = static_cast<ColumnPosition>(position);
    const QJsonValue faces = o.value(QStringLiteral("outerFaces"));
    if (!faces.isUndefined() && !faces.isNull()) {
        if (!faces.isArray())
            return r.fail(QStringLiteral("outerFaces"),
                          QStringLiteral("应为数组，如 [\"b1\",\"h2\"]")),
                   done();
        for (const QJsonValue& f : faces.toArray()) {
            if (!QStringList{"b1", "b2", "h1", "h2"}.contains(f.toString()))
                return r.fail(QStringLiteral("outerFaces"),
                              QStringLiteral("应为 b1、b2、h1 或 h2")),
                       done();
            c.outerFaces << f.toString();
        }
    }
    const QJsonValue sv = o.value(QStringLiteral("settings"));
    if (!sv.isUndefined() && !sv.isNull()) {
        if (!sv.isObject())
            return r.fail(QStringLiteral("settings"), QStringLiteral("应为对象")), done();
        const QJsonObject so = sv.toObject();
        ColumnSettings& s = c.settings;
        const QString w = QStringLiteral("settings.");
        int anchorage = s.anchorageFormula;
        if (!r.onlyKeys(so,
                        {"anchorage", "allOuterIntoBeam", "denseAtLaps", "stockLength", "phiGrade",
                         "seismicSteel"},
                        QStringLiteral("settings")) ||
            !r.choice(so.value(QStringLiteral("anchorage")), w + QStringLiteral("anchorage"),
                      {QStringLiteral("table"), QStringLiteral("formula")}, anchorage) ||
            !r.flag(so, "allOuterIntoBeam", s.allOuterIntoBeam, w) ||
            !r.flag(so, "denseAtLaps", s.denseAtLaps, w) ||
            !r.number(so, "stockLength", s.stockLength, w) ||
            !r.flag(so, "seismicSteel", s.notation.seismicSteel, w))
            return done();
        s.anchorageFormula = anchorage == 1;
        const QJsonValue phi = so.value(QStringLiteral("phiGrade"));
        if (!phi.isUndefined()) {
            const std::optional<codes::SteelGrade> g = codes::gradeFromName(phi.toString());
            if (!g)
                return r.fail(w + QStringLiteral("phiGrade"),
                              QStringLiteral("应为牌号，如 HRB400")),
                       done();
            s.notation.phiGrade = *g;
        }
    }
    return done();
}

schedule::Member columnListMember(const ColumnMember& column, const ColumnBars& bars, int count) {
    schedule::Member m;
    m.name = bars.name;
    m.count = count;
    for (const ColumnRow& r : bars.rows)
        m.rows << r.bar;
    m.source = {{QStringLiteral("column"), columnToJson(column)}};
    return m;
}

std::optional<ColumnMember> columnOfListMember(const schedule::Member& member) {
    const QJsonValue column = member.source.value(QStringLiteral("column"));
    if (!column.isObject())
        return std::nullopt;
    return columnFromJson(column.toObject()).column;
}

} // namespace members
