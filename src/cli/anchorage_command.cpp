#include "cli/anchorage_command.h"

#include "core/anchorage/anchorage_calc.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cmath>

namespace cli {

namespace {

using codes::SeismicGrade;

const QString kAnchor = QStringLiteral("anchor");
const QString kSteel = QStringLiteral("steel");
const QString kConcrete = QStringLiteral("concrete");
const QString kDiameter = QStringLiteral("diameter");
const QString kSeismic = QStringLiteral("seismic");
const QString kLapped = QStringLiteral("lapped");
const QString kEpoxy = QStringLiteral("epoxy");
const QString kDisturbed = QStringLiteral("disturbed");
const QString kCover = QStringLiteral("cover");
const QString kCode = QStringLiteral("code");
const QString kJson = QStringLiteral("json");

AnchorageReply refuse(const QString& why) {
    return {1, QString(), QStringLiteral("corvala: %1\n").arg(why)};
}

QString jsonNumber(double value) {
    return numbers::generalNumberText(value);
}

// A factor as a JSON number: 1.1, 1.05, 1.375.
QString jsonFactor(double value) {
    return numbers::generalNumberText(std::round(value * 1e4) / 1e4);
}

QString jsonString(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString jsonObject(const QList<std::pair<const char*, QString>>& members) {
    QStringList parts;
    for (const auto& [name, value] : members)
        parts << QStringLiteral("\"%1\":%2").arg(QLatin1String(name), value);
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}

QString json(const anchorage::Inputs& in, const anchorage::Results& r) {
    const QString null = QStringLiteral("null");
    using anchorage::Length;
    const auto seismicPart = [&](const std::optional<Length>& l, auto field) {
        return l ? field(*l) : null;
    };
    const auto table = [](const Length& l) { return QString::number(l.table); };
    const auto exact = [](const Length& l) { return jsonNumber(l.exact); };
    const auto mm = [](const Length& l) { return QString::number(l.tableMm); };
    const auto group = [&](auto field) {
        return jsonObject({{"lab", field(r.lab)},
                           {"labE", seismicPart(r.labE, field)},
                           {"la", field(r.la)},
                           {"laE", seismicPart(r.laE, field)},
                           {"ll", field(r.ll)},
                           {"llE", seismicPart(r.llE, field)}});
    };
    QString seismic = null;
    if (in.seismic == SeismicGrade::None)
        seismic = jsonString(QStringLiteral("none"));
    else
        seismic = jsonString(QString::number(static_cast<int>(in.seismic)));
    return jsonObject({{"steel", jsonString(codes::steelGradeName(in.steel))},
                       {"concrete", jsonString(codes::concreteGradeName(in.concrete))},
                       {"d", jsonNumber(in.diameter)},
                       {"seismic", seismic},
                       {"lapped", jsonNumber(in.percentLapped)},
                       {"table", group(table)},
                       {"multiples", group(exact)},
                       {"lengths", group(mm)},
                       {"factors", jsonObject({{"zetaA", jsonFactor(r.zetaA)},
                                               {"zetaAE", r.zetaAE ? jsonFactor(*r.zetaAE) : null},
                                               {"zetaL", jsonFactor(r.zetaL)}})}}) +
           QLatin1Char('\n');
}

} // namespace

void addAnchorageOptions(QCommandLineParser& parser) {
    parser.addOption({kAnchor, QStringLiteral("Print the anchorage and lap lengths (lab, labE, la, "
                                              "laE, ll, llE) of one bar by GB 50010 and the "
                                              "22G101-1 tables, each with its derivation, and "
                                              "exit. Needs --steel, --concrete and --diameter. "
                                              "The lowest concrete grade is GB 55008-2021 "
                                              "2.0.2's unless --code says otherwise.")});
    parser.addOption({kSteel,
                      QStringLiteral("With --anchor: the steel grade (HPB300, HRB335, HRB400, "
                                     "HRBF400, RRB400, HRB500, HRBF500)."),
                      QStringLiteral("GRADE")});
    parser.addOption({kConcrete, QStringLiteral("With --anchor: the concrete grade, C15 to C80."),
                      QStringLiteral("GRADE")});
    parser.addOption({kDiameter, QStringLiteral("With --anchor: the bar diameter d in mm."),
                      QStringLiteral("MM")});
    parser.addOption({kSeismic,
                      QStringLiteral("With --anchor: the seismic grade 1, 2, 3, 4 or none "
                                     "(default)."),
                      QStringLiteral("GRADE")});
    parser.addOption({kLapped,
                      QStringLiteral("With --anchor: the percentage of the bars lapped in one "
                                     "zone, 0 to 100 (default 25)."),
                      QStringLiteral("PERCENT")});
    parser.addOption({kEpoxy, QStringLiteral("With --anchor: epoxy-coated bars (x1.25).")});
    parser.addOption({kDisturbed, QStringLiteral("With --anchor: bars disturbed during "
                                                 "construction, such as slip-forming (x1.10).")});
    parser.addOption({kCover,
                      QStringLiteral("With --anchor: the concrete cover at the anchorage in mm "
                                     "(x0.80 at 3d, x0.70 from 5d)."),
                      QStringLiteral("MM")});
    parser.addOption(
        {kCode,
         QStringLiteral("With --anchor: the code that sets the lowest concrete grade: gb55008 "
                        "(default; GB 55008-2021 2.0.2: C25, C30 for 500 MPa bars and above) or "
                        "gb50010 (the older GB 50010-2010 4.1.2: C20, C25 for 400 MPa bars and "
                        "above, for work designed under it)."),
         QStringLiteral("CODE")});
    // --json is the command line's own, shared with --list.
}

bool anchorageAsked(const QCommandLineParser& parser) {
    for (const QString& name : {kAnchor, kSteel, kConcrete, kDiameter, kSeismic, kLapped, kEpoxy,
                                kDisturbed, kCover, kCode}) {
        if (parser.isSet(name))
            return true;
    }
    return false;
}

AnchorageReply answerAnchorage(const QCommandLineParser& parser) {
    if (!parser.isSet(kAnchor))
        return refuse(
            QStringLiteral("--steel、--concrete、--diameter 等选项只与 --anchor 一起使用"));
    for (const QString& needed : {kSteel, kConcrete, kDiameter}) {
        if (!parser.isSet(needed))
            return refuse(QStringLiteral("--anchor 需要 --%1").arg(needed));
    }
    anchorage::Inputs in;
    const QString steelName = parser.value(kSteel);
    const std::optional<codes::SteelGrade> steel = codes::steelGradeFromName(steelName);
    if (!steel) {
        QStringList known;
        for (codes::SteelGrade grade : codes::kSteelGrades)
            known << codes::steelGradeName(grade);
        return refuse(QStringLiteral("未知的钢筋牌号“%1”（可用：%2）")
                          .arg(steelName, known.join(QStringLiteral("、"))));
    }
    in.steel = *steel;
    const std::optional<int> concrete = codes::concreteGradeFromName(parser.value(kConcrete));
    if (!concrete)
        return refuse(QStringLiteral("未知的混凝土强度等级“%1”（应为C15到C80）")
                          .arg(parser.value(kConcrete)));
    in.concrete = *concrete;
    const std::optional<double> diameter = numbers::strictNumber(parser.value(kDiameter));
    if (!diameter || !(*diameter > 0))
        return refuse(
            QStringLiteral("钢筋直径“%1”应为大于0的数（毫米）").arg(parser.value(kDiameter)));
    in.diameter = *diameter;
    if (parser.isSet(kSeismic)) {
        const QString grade = parser.value(kSeismic).trimmed().toLower();
        const QStringList names{QStringLiteral("none"), QStringLiteral("1"), QStringLiteral("2"),
                                QStringLiteral("3"), QStringLiteral("4")};
        const auto at = names.indexOf(grade);
        if (at < 0)
            return refuse(QStringLiteral("未知的抗震等级“%1”（应为1、2、3、4或none）")
                              .arg(parser.value(kSeismic)));
        in.seismic = static_cast<SeismicGrade>(at);
    }
    if (parser.isSet(kLapped)) {
        const std::optional<double> percent = numbers::strictNumber(parser.value(kLapped));
        if (!percent || *percent < 0 || *percent > 100)
            return refuse(
                QStringLiteral("搭接接头面积百分率“%1”应在0到100之间").arg(parser.value(kLapped)));
        in.percentLapped = *percent;
    }
    if (parser.isSet(kCover)) {
        const std::optional<double> cover = numbers::strictNumber(parser.value(kCover));
        if (!cover || *cover < 0)
            return refuse(QStringLiteral("锚固区保护层厚度“%1”应为不小于0的数（毫米）")
                              .arg(parser.value(kCover)));
        in.cover = *cover;
    }
    if (parser.isSet(kCode)) {
        const QString code = parser.value(kCode).trimmed().toLower();
        if (code == QLatin1String("gb55008"))
            in.code = codes::ConcreteCode::Gb55008;
        else if (code == QLatin1String("gb50010"))
            in.code = codes::ConcreteCode::Gb50010;
        else
            return refuse(QStringLiteral("未知的规范“%1”（应为 gb55008 或 gb50010）")
                              .arg(parser.value(kCode)));
    }
    in.epoxyCoated = parser.isSet(kEpoxy);
    in.disturbed = parser.isSet(kDisturbed);

    const anchorage::Results results = anchorage::compute(in);
    if (!results.objection.isEmpty())
        return refuse(results.objection);
    if (parser.isSet(kJson))
        return {0, json(in, results), QString()};
    return {0, results.derivation.join(QLatin1Char('\n')) + QLatin1Char('\n'), QString()};
}

} // namespace cli
