// The beam's JSON: the --beam file, and the member a list will store.
#include "core/members/beam_bars.h"
#include "core/members/json_reader.h"

#include "core/numbers/number_text.h"

#include <QJsonArray>
#include <QStringList>

#include <cmath>

namespace members {

namespace {

using codes::SeismicGrade;

const QStringList kSeismicNames{QStringLiteral("非抗震"), QStringLiteral("一"),
                                QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四")};

QJsonArray numbers(const QList<double>& values) {
    QJsonArray a;
    for (double v : values)
        a.append(v);
    return a;
}

QString anchorageName(const BeamSettings& s) {
    switch (s.anchorageBasis) {
    case BeamSettings::AnchorageBasis::Table:
        return QStringLiteral("table");
    case BeamSettings::AnchorageBasis::Formula:
        return QStringLiteral("formula");
    case BeamSettings::AnchorageBasis::Multiple:
        return numbers::generalNumberText(s.anchorageMultiple) + QLatin1Char('d');
    }
    return {};
}

QString spliceName(codes::beams::Splice s) {
    switch (s) {
    case codes::beams::Splice::Lap:
        return QStringLiteral("lap");
    case codes::beams::Splice::Coupler:
        return QStringLiteral("coupler");
    case codes::beams::Splice::Weld:
        return QStringLiteral("weld");
    }
    return {};
}

QJsonObject cantileverJson(const Cantilever& c) {
    QJsonObject o;
    o.insert(QStringLiteral("length"), c.length);
    if (!c.bottom.isEmpty())
        o.insert(QStringLiteral("bottom"), c.bottom);
    if (!c.stirrups.isEmpty())
        o.insert(QStringLiteral("stirrups"), c.stirrups);
    return o;
}

// Reading stops at the first fault, which names the key.
struct Reader : detail::JsonReader {
    using JsonReader::flag;
    // The beam's switches are all settings.
    bool flag(const QJsonObject& o, const char* key, bool& out) {
        return flag(o, key, out, QStringLiteral("settings."));
    }

    bool numberList(const QJsonObject& o, const char* key, QList<double>& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isArray())
            return fail(QLatin1String(key), QStringLiteral("应为数的数组（毫米）"));
        const QJsonArray a = v.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (!a[i].isDouble())
                return fail(QStringLiteral("%1[%2]").arg(QLatin1String(key)).arg(i),
                            QStringLiteral("应为数"));
            out << a[i].toDouble();
        }
        return true;
    }

    bool cantilever(const QJsonValue& v, const QString& key, std::optional<Cantilever>& out) {
        if (v.isUndefined() || v.isNull())
            return true;
        Cantilever c;
        if (v.isDouble()) {
            c.length = v.toDouble();
        } else if (v.isObject()) {
            const QJsonObject o = v.toObject();
            if (!onlyKeys(o,
                          {QStringLiteral("length"), QStringLiteral("bottom"),
                           QStringLiteral("stirrups")},
                          key))
                return false;
            if (!o.value(QStringLiteral("length")).isDouble())
                return fail(key + QStringLiteral(".length"),
                            QStringLiteral("应为悬挑净长（毫米）"));
            c.length = o.value(QStringLiteral("length")).toDouble();
            if (!text(o, "bottom", c.bottom, key + QLatin1Char('.')) ||
                !text(o, "stirrups", c.stirrups, key + QLatin1Char('.')))
                return false;
        } else {
            return fail(key, QStringLiteral("应为悬挑净长或对象"));
        }
        out = c;
        return true;
    }
};

} // namespace

QJsonObject beamToJson(const BeamMember& beam) {
    QJsonObject o;
    o.insert(QStringLiteral("annotation"), beam.annotation);
    o.insert(QStringLiteral("spans"), numbers(beam.spans));
    o.insert(QStringLiteral("supports"), numbers(beam.supports));
    QJsonArray supports;
    for (const SupportNote& n : beam.atSupports) {
        if (n.left.isEmpty() && n.right.isEmpty()) {
            supports.append(n.both);
            continue;
        }
        QJsonObject s;
        if (!n.both.isEmpty())
            s.insert(QStringLiteral("both"), n.both);
        if (!n.left.isEmpty())
            s.insert(QStringLiteral("left"), n.left);
        if (!n.right.isEmpty())
            s.insert(QStringLiteral("right"), n.right);
        supports.append(s);
    }
    o.insert(QStringLiteral("atSupports"), supports);
    QJsonArray spans;
    for (const SpanNote& n : beam.atSpans) {
        QJsonObject s;
        for (const auto& [key, value] :
             {std::pair{"bottom", n.bottom}, std::pair{"section", n.section},
              std::pair{"stirrups", n.stirrups}, std::pair{"side", n.side}})
            if (!value.isEmpty())
                s.insert(QLatin1String(key), value);
        spans.append(s);
    }
    o.insert(QStringLiteral("atSpans"), spans);
    if (beam.leftCantilever || beam.rightCantilever) {
        QJsonObject c;
        if (beam.leftCantilever)
            c.insert(QStringLiteral("left"), cantileverJson(*beam.leftCantilever));
        if (beam.rightCantilever)
            c.insert(QStringLiteral("right"), cantileverJson(*beam.rightCantilever));
        o.insert(QStringLiteral("cantilevers"), c);
    }
    o.insert(QStringLiteral("concrete"), codes::concreteGradeName(beam.concrete));
    o.insert(QStringLiteral("seismic"), kSeismicNames.value(static_cast<int>(beam.seismic)));
    o.insert(QStringLiteral("beamCover"), beam.beamCover);
    o.insert(QStringLiteral("columnCover"), beam.columnCover);
    if (beam.columnBarsInside > 0)
        o.insert(QStringLiteral("columnBarsInside"), beam.columnBarsInside);
    o.insert(QStringLiteral("leftEnd"),
             beam.leftEnd == EndSupport::Beam ? QStringLiteral("beam") : QStringLiteral("column"));
    o.insert(QStringLiteral("rightEnd"),
             beam.rightEnd == EndSupport::Beam ? QStringLiteral("beam") : QStringLiteral("column"));
    const BeamSettings& s = beam.settings;
    o.insert(QStringLiteral("stockLength"), s.stockLength);
    o.insert(QStringLiteral("splice"), spliceName(s.splice));
    QJsonObject settings;
    settings.insert(QStringLiteral("anchorage"), anchorageName(s));
    settings.insert(QStringLiteral("straightAnchorage"),
                    s.straightToFarFace ? QStringLiteral("farFace") : QStringLiteral("atlas"));
    settings.insert(QStringLiteral("bottomInsideTopHooks"), s.bottomInsideTopHooks);
    settings.insert(QStringLiteral("bottomThroughEqualSpans"), s.bottomThroughEqualSpans);
    settings.insert(QStringLiteral("sideBarsContinuous"), s.sideBarsContinuous);
    settings.insert(QStringLiteral("roofNode"), s.roofColumnIntoBeam
                                                    ? QStringLiteral("columnIntoBeam")
                                                    : QStringLiteral("beamIntoColumn"));
    settings.insert(QStringLiteral("nonFrameEnds"),
                    s.nonFrameFullyUsed ? QStringLiteral("fullyUsed") : QStringLiteral("hinged"));
    if (s.hookAllowance)
        settings.insert(QStringLiteral("hookAllowance"), *s.hookAllowance);
    if (s.tieDiameter)
        settings.insert(QStringLiteral("tieDiameter"), *s.tieDiameter);
    settings.insert(QStringLiteral("phiGrade"), codes::gradeName(s.notation.phiGrade));
    settings.insert(QStringLiteral("seismicSteel"), s.notation.seismicSteel);
    o.insert(QStringLiteral("settings"), settings);
    return o;
}

BeamRead beamFromJson(const QJsonObject& o) {
    Reader r;
    BeamMember b;
    BeamRead result;
    const auto done = [&]() {
        if (r.error.isEmpty())
            result.beam = b;
        result.error = r.error;
        return result;
    };
    if (!r.onlyKeys(o,
                    {"annotation", "spans", "supports", "atSupports", "atSpans", "cantilevers",
                     "concrete", "seismic", "beamCover", "columnCover", "columnBarsInside",
                     "leftEnd", "rightEnd", "stockLength", "splice", "settings"},
                    {}))
        return done();
    if (!o.value(QStringLiteral("annotation")).isString())
        return r.fail(QStringLiteral("annotation"), QStringLiteral("应为集中标注的文字")), done();
    b.annotation = o.value(QStringLiteral("annotation")).toString();
    if (!r.numberList(o, "spans", b.spans) || !r.numberList(o, "supports", b.supports))
        return done();
    const QJsonValue supports = o.value(QStringLiteral("atSupports"));
    if (!supports.isUndefined() && !supports.isNull()) {
        if (!supports.isArray())
            return r.fail(QStringLiteral("atSupports"), QStringLiteral("应为数组")), done();
        const QJsonArray a = supports.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString key = QStringLiteral("atSupports[%1]").arg(i);
            SupportNote n;
            if (a[i].isString()) {
                n.both = a[i].toString();
            } else if (a[i].isObject()) {
                const QJsonObject s = a[i].toObject();
                if (!r.onlyKeys(s, {"both", "left", "right"}, key) ||
                    !r.text(s, "both", n.both, key + QLatin1Char('.')) ||
                    !r.text(s, "left", n.left, key + QLatin1Char('.')) ||
                    !r.text(s, "right", n.right, key + QLatin1Char('.')))
                    return done();
            } else if (!a[i].isNull()) {
                return r.fail(key, QStringLiteral("应为文字或 {\"left\",\"right\"}")), done();
            }
            b.atSupports << n;
        }
    }
    const QJsonValue spans = o.value(QStringLiteral("atSpans"));
    if (!spans.isUndefined() && !spans.isNull()) {
        if (!spans.isArray())
            return r.fail(QStringLiteral("atSpans"), QStringLiteral("应为数组")), done();
        const QJsonArray a = spans.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString key = QStringLiteral("atSpans[%1]").arg(i);
            SpanNote n;
            if (a[i].isObject()) {
                const QJsonObject s = a[i].toObject();
                if (!r.onlyKeys(s, {"bottom", "section", "stirrups", "side"}, key) ||
                    !r.text(s, "bottom", n.bottom, key + QLatin1Char('.')) ||
                    !r.text(s, "section", n.section, key + QLatin1Char('.')) ||
                    !r.text(s, "stirrups", n.stirrups, key + QLatin1Char('.')) ||
                    !r.text(s, "side", n.side, key + QLatin1Char('.')))
                    return done();
            } else if (!a[i].isNull()) {
                return r.fail(key, QStringLiteral("应为对象，如 {\"bottom\":\"4C25\"}")), done();
            }
            b.atSpans << n;
        }
    }
    const QJsonValue cantilevers = o.value(QStringLiteral("cantilevers"));
    if (!cantilevers.isUndefined() && !cantilevers.isNull()) {
        if (!cantilevers.isObject())
            return r.fail(QStringLiteral("cantilevers"),
                          QStringLiteral("应为 {\"left\",\"right\"}")),
                   done();
        const QJsonObject c = cantilevers.toObject();
        if (!r.onlyKeys(c, {"left", "right"}, QStringLiteral("cantilevers")) ||
            !r.cantilever(c.value(QStringLiteral("left")), QStringLiteral("cantilevers.left"),
                          b.leftCantilever) ||
            !r.cantilever(c.value(QStringLiteral("right")), QStringLiteral("cantilevers.right"),
                          b.rightCantilever))
            return done();
    }
    const QJsonValue concrete = o.value(QStringLiteral("concrete"));
    if (!concrete.isUndefined()) {
        const std::optional<int> grade = codes::concreteGradeFromName(concrete.toString());
        if (!grade)
            return r.fail(QStringLiteral("concrete"), QStringLiteral("应为 C15～C80")), done();
        b.concrete = *grade;
    }
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
        b.seismic = static_cast<SeismicGrade>(at);
    }
    if (!r.number(o, "beamCover", b.beamCover) || !r.number(o, "columnCover", b.columnCover) ||
        !r.number(o, "columnBarsInside", b.columnBarsInside) ||
        !r.number(o, "stockLength", b.settings.stockLength))
        return done();
    for (const auto& [key, end] :
         {std::pair{"leftEnd", &b.leftEnd}, std::pair{"rightEnd", &b.rightEnd}}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            continue;
        if (v.toString() == QLatin1String("column"))
            *end = EndSupport::Column;
        else if (v.toString() == QLatin1String("beam"))
            *end = EndSupport::Beam;
        else
            return r.fail(QLatin1String(key), QStringLiteral("应为 column 或 beam")), done();
    }
    const QJsonValue splice = o.value(QStringLiteral("splice"));
    if (!splice.isUndefined()) {
        const QString s = splice.toString();
        if (s == QLatin1String("lap"))
            b.settings.splice = codes::beams::Splice::Lap;
        else if (s == QLatin1String("coupler"))
            b.settings.splice = codes::beams::Splice::Coupler;
        else if (s == QLatin1String("weld"))
            b.settings.splice = codes::beams::Splice::Weld;
        else
            return r.fail(QStringLiteral("splice"), QStringLiteral("应为 lap、coupler 或 weld")),
                   done();
    }
    const QJsonValue settingsValue = o.value(QStringLiteral("settings"));
    if (!settingsValue.isUndefined() && !settingsValue.isNull()) {
        if (!settingsValue.isObject())
            return r.fail(QStringLiteral("settings"), QStringLiteral("应为对象")), done();
        const QJsonObject s = settingsValue.toObject();
        BeamSettings& set = b.settings;
        if (!r.onlyKeys(s,
                        {"anchorage", "straightAnchorage", "bottomInsideTopHooks",
                         "bottomThroughEqualSpans", "sideBarsContinuous", "roofNode",
                         "nonFrameEnds", "hookAllowance", "tieDiameter", "phiGrade",
                         "seismicSteel"},
                        QStringLiteral("settings")) ||
            !r.flag(s, "bottomInsideTopHooks", set.bottomInsideTopHooks) ||
            !r.flag(s, "bottomThroughEqualSpans", set.bottomThroughEqualSpans) ||
            !r.flag(s, "sideBarsContinuous", set.sideBarsContinuous) ||
            !r.flag(s, "seismicSteel", set.notation.seismicSteel))
            return done();
        const auto choice = [&](const char* key, const QStringList& names, int& out) {
            const QJsonValue v = s.value(QLatin1String(key));
            if (v.isUndefined())
                return true;
            const qsizetype at = names.indexOf(v.toString());
            if (at < 0)
                return r.fail(QStringLiteral("settings.") + QLatin1String(key),
                              QStringLiteral("应为 %1").arg(names.join(QStringLiteral("、"))));
            out = int(at);
            return true;
        };
        int straight = set.straightToFarFace, roof = set.roofColumnIntoBeam,
            ends = set.nonFrameFullyUsed;
        if (!choice("straightAnchorage", {"atlas", "farFace"}, straight) ||
            !choice("roofNode", {"beamIntoColumn", "columnIntoBeam"}, roof) ||
            !choice("nonFrameEnds", {"hinged", "fullyUsed"}, ends))
            return done();
        set.straightToFarFace = straight, set.roofColumnIntoBeam = roof,
        set.nonFrameFullyUsed = ends;
        const QJsonValue anchorage = s.value(QStringLiteral("anchorage"));
        if (!anchorage.isUndefined()) {
            const QString a = anchorage.toString().trimmed();
            bool ok = false;
            const double k = a.endsWith(QLatin1Char('d')) ? a.chopped(1).toDouble(&ok) : 0;
            if (a == QLatin1String("table"))
                set.anchorageBasis = BeamSettings::AnchorageBasis::Table;
            else if (a == QLatin1String("formula"))
                set.anchorageBasis = BeamSettings::AnchorageBasis::Formula;
            else if (ok && std::isfinite(k)) {
                set.anchorageBasis = BeamSettings::AnchorageBasis::Multiple;
                set.anchorageMultiple = k;
            } else
                return r.fail(QStringLiteral("settings.anchorage"),
                              QStringLiteral("应为 table、formula 或 d 的倍数（如 40d）")),
                       done();
        }
        double hook = 0, tie = 0;
        if (s.contains(QStringLiteral("hookAllowance"))) {
            if (!r.number(s, "hookAllowance", hook, QStringLiteral("settings.")))
                return done();
            if (!(hook > 0 && hook < 100))
                return r.fail(QStringLiteral("settings.hookAllowance"),
                              QStringLiteral("应为每个弯钩 d 的倍数，0～100")),
                       done();
            set.hookAllowance = hook;
        }
        if (s.contains(QStringLiteral("tieDiameter"))) {
            if (!r.number(s, "tieDiameter", tie, QStringLiteral("settings.")))
                return done();
            if (!(tie >= 6 && tie <= 16 && tie == std::round(tie)))
                return r.fail(QStringLiteral("settings.tieDiameter"),
                              QStringLiteral("应为 6～16 的整数（毫米）")),
                       done();
            set.tieDiameter = int(tie);
        }
        const QJsonValue phi = s.value(QStringLiteral("phiGrade"));
        if (!phi.isUndefined()) {
            const std::optional<codes::SteelGrade> g = codes::gradeFromName(phi.toString());
            if (!g)
                return r.fail(QStringLiteral("settings.phiGrade"),
                              QStringLiteral("应为牌号，如 HRB400")),
                       done();
            set.notation.phiGrade = *g;
        }
    }
    return done();
}

schedule::Member beamListMember(const BeamMember& beam, const BeamBars& bars, int count) {
    schedule::Member m;
    m.name = bars.name;
    m.count = count;
    for (const BeamRow& r : bars.rows)
        m.rows << r.bar;
    m.source = {{QStringLiteral("beam"), beamToJson(beam)}};
    return m;
}

std::optional<BeamMember> beamOfListMember(const schedule::Member& member) {
    const QJsonValue beam = member.source.value(QStringLiteral("beam"));
    if (!beam.isObject())
        return std::nullopt;
    return beamFromJson(beam.toObject()).beam;
}

} // namespace members
