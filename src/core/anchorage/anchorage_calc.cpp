#include "core/anchorage/anchorage_calc.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace anchorage {

using codes::SeismicGrade;
using codes::SteelGrade;

namespace {

// Up to `decimals` decimals, trailing zeros dropped: 35.24, 1.4, 28.
QString trimmed(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return numbers::generalNumberText(std::round(value * scale) / scale);
}

// Exactly two decimals, as factors are written in the standard: 1.10, 0.80.
QString factorText(double value) {
    const double rounded = std::round(value * 100) / 100;
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, 2);
    return QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
}

QString multiple(double value) {
    return trimmed(value, 2) + QLatin1Char('d');
}

// Whole mm, rounded up so that a length is never short of its multiple.
int wholeMm(double mm) {
    return static_cast<int>(std::ceil(mm - 1e-9));
}

Length lengthOf(int table, double exact, double diameter, double shortest) {
    Length l;
    l.table = table;
    l.exact = exact;
    l.tableMm = std::max(wholeMm(table * diameter), static_cast<int>(shortest));
    l.exactMm = std::max(exact * diameter, shortest);
    return l;
}

// The multiples of d of one step in both answers, before the lengths.
struct Step {
    int table = 0;
    double exact = 0;
};

struct Multiples {
    Step lab, la, ll;
    std::optional<Step> labE, laE, llE;
};

// The atlas's chain for a bar without further corrections: each table value
// from the previous table value, rounded half up; the exact values from the
// exact ones.
Multiples atlasChain(SteelGrade steel, int concrete, bool largeDiameter, SeismicGrade seismic,
                     double percentLapped) {
    Multiples m;
    m.lab.exact = codes::anchorageShapeFactor(steel) * codes::designTensileStrength(steel) /
                  codes::anchorageTensileStrength(concrete);
    m.lab.table = codes::atlasRound(m.lab.exact);
    const double zetaA = largeDiameter ? codes::kLargeDiameterFactor : 1.0;
    m.la = {codes::atlasRound(zetaA * m.lab.table), zetaA * m.lab.exact};
    const double zetaL = codes::lapFactor(percentLapped);
    m.ll = {codes::atlasRound(zetaL * m.la.table), zetaL * m.la.exact};
    if (seismic != SeismicGrade::None) {
        const double zetaAE = codes::seismicAnchorageFactor(seismic);
        m.labE = Step{codes::atlasRound(zetaAE * m.lab.table), zetaAE * m.lab.exact};
        m.laE = Step{codes::atlasRound(zetaAE * m.la.table), zetaAE * m.la.exact};
        m.llE = Step{codes::atlasRound(zetaL * m.laE->table), zetaL * m.laE->exact};
    }
    return m;
}

QString dText(double diameter) {
    return QStringLiteral(" (d = %1)").arg(trimmed(diameter, 3));
}

// "la = 1.10 × 35d = 39d = 1092 mm (d = 28)" and below it the formula value.
void writeStep(QStringList& out, const QString& name, const QString& factor,
               const QString& tableFrom, const QString& exactFrom, const Length& l, double d,
               double shortest, const QString& floorClause) {
    const QString product = factor.isEmpty() ? QString() : factor + QStringLiteral(" × ");
    QString table = QStringLiteral("%1 = %2%3 = %4d = %5 mm")
                        .arg(name, product, tableFrom)
                        .arg(l.table)
                        .arg(l.tableMm);
    if (l.table * d < shortest)
        table += QStringLiteral("（不小于%1 mm，%2）").arg(shortest).arg(floorClause);
    out << table + dText(d);
    out << QStringLiteral("    公式值 %1 = %2%3 = %4 = %5 mm")
               .arg(name, product, exactFrom, multiple(l.exact), trimmed(l.exactMm, 1));
}

} // namespace

QString inputObjection(const Inputs& in) {
    if (!(in.diameter > 0) || !std::isfinite(in.diameter))
        return QStringLiteral("钢筋直径应大于0");
    if (!(in.percentLapped >= 0 && in.percentLapped <= 100))
        return QStringLiteral("搭接接头面积百分率应在0到100之间");
    if (in.concrete < codes::kLowestConcreteGrade || in.concrete > codes::kHighestConcreteGrade ||
        in.concrete % 5 != 0)
        return QStringLiteral("混凝土强度等级应为C15到C80");
    if (in.cover && !(*in.cover >= 0 && std::isfinite(*in.cover)))
        return QStringLiteral("锚固区保护层厚度不应小于0");
    if (in.areaRatio && !(*in.areaRatio > 0 && *in.areaRatio <= 1))
        return QStringLiteral("设计计算面积与实际配筋面积之比应大于0且不大于1");
    return {};
}

Results compute(const Inputs& in) {
    Results r;
    r.objection = inputObjection(in);
    if (r.objection.isEmpty())
        r.objection = codes::concreteGradeObjection(in.steel, in.concrete, in.code);
    if (!r.objection.isEmpty()) {
        r.derivation << r.objection;
        return r;
    }
    const double d = in.diameter;
    const bool large = d > codes::kLargeDiameterLimit;
    const bool seismic = in.seismic != SeismicGrade::None;
    r.fy = codes::designTensileStrength(in.steel);
    r.ft = codes::anchorageTensileStrength(in.concrete);
    r.alpha = codes::anchorageShapeFactor(in.steel);
    const Multiples chain = atlasChain(in.steel, in.concrete, large, in.seismic, in.percentLapped);

    // ζa: the diameter's factor, which the atlas's d > 25 column holds, then
    // those the table's notes apply to the value read from it.
    QList<Factor> further;
    if (in.epoxyCoated)
        further << Factor{QStringLiteral("环氧树脂涂层"), codes::kEpoxyCoatedFactor};
    if (in.disturbed)
        further << Factor{QStringLiteral("施工中易受扰动"), codes::kDisturbedFactor};
    if (in.cover) {
        const double f = codes::coverFactor(*in.cover / d);
        if (f < 1)
            further << Factor{QStringLiteral("保护层 %1 mm = %2d")
                                  .arg(trimmed(*in.cover, 1), trimmed(*in.cover / d, 2)),
                              f};
    }
    const bool ratioDropped = in.areaRatio && !codes::areaRatioAllowed(in.seismic);
    if (in.areaRatio && !ratioDropped && *in.areaRatio < 1)
        further << Factor{QStringLiteral("As,req/As,prov"), *in.areaRatio};
    if (large)
        r.corrections << Factor{QStringLiteral("d > 25"), codes::kLargeDiameterFactor};
    r.corrections << further;
    double furtherProduct = 1;
    for (const Factor& f : further)
        furtherProduct *= f.value;
    const double product = (large ? codes::kLargeDiameterFactor : 1.0) * furtherProduct;
    r.zetaALimited = product < codes::kLowestCorrection;
    r.zetaA = std::max(product, codes::kLowestCorrection);

    Step la = chain.la;
    if (r.zetaALimited)
        la = {codes::atlasRound(r.zetaA * chain.lab.table), r.zetaA * chain.lab.exact};
    else if (!further.isEmpty())
        la = {codes::atlasRound(furtherProduct * chain.la.table), r.zetaA * chain.lab.exact};
    r.zetaL = codes::lapFactor(in.percentLapped);
    const Step ll{codes::atlasRound(r.zetaL * la.table), r.zetaL * la.exact};

    r.lab = lengthOf(chain.lab.table, chain.lab.exact, d, 0);
    r.la = lengthOf(la.table, la.exact, d, codes::kShortestAnchorage);
    r.ll = lengthOf(ll.table, ll.exact, d, codes::kShortestLap);
    if (seismic) {
        const double zetaAE = codes::seismicAnchorageFactor(in.seismic);
        r.zetaAE = zetaAE;
        r.labE = lengthOf(chain.labE->table, chain.labE->exact, d, 0);
        const Step laE{codes::atlasRound(zetaAE * la.table), zetaAE * la.exact};
        r.laE = lengthOf(laE.table, laE.exact, d, codes::kShortestAnchorage);
        r.llE = lengthOf(codes::atlasRound(r.zetaL * laE.table), r.zetaL * laE.exact, d,
                         codes::kShortestLap);
    }
    const Length& anchorageInUse = seismic ? *r.laE : r.la;
    const Length& lapInUse = seismic ? *r.llE : r.ll;
    r.hookedMm = codes::kHookedAnchorageFactor * r.lab.table * d;
    r.compressionAnchorageMm = wholeMm(codes::kCompressionAnchorageFactor * anchorageInUse.tableMm);
    r.compressionLapMm = std::max(wholeMm(codes::kCompressionLapFactor * lapInUse.tableMm),
                                  static_cast<int>(codes::kShortestCompressionLap));

    // The derivation, as the user reads it.
    QStringList& out = r.derivation;
    out << QStringLiteral("%1（%2） %3  d = %4 mm  %5  搭接接头面积百分率 %6%")
               .arg(codes::steelGradeName(in.steel),
                    codes::isPlainBar(in.steel) ? QStringLiteral("光圆钢筋")
                                                : QStringLiteral("带肋钢筋"),
                    codes::concreteGradeName(in.concrete), trimmed(d, 3),
                    seismic ? QStringLiteral("抗震等级") + codes::seismicGradeName(in.seismic)
                            : codes::seismicGradeName(in.seismic),
                    trimmed(in.percentLapped, 2));
    QString ftNote;
    if (in.concrete > 60)
        ftNote = QStringLiteral("，高于C60按C60取值");
    out << QStringLiteral("fy = %1 N/mm²，ft = %2 N/mm²（%3%4），α = %5（第8.3.1条）")
               .arg(r.fy)
               .arg(factorText(r.ft), codes::concreteGradeName(std::min(in.concrete, 60)), ftNote,
                    factorText(r.alpha));
    out << QStringLiteral("表值：22G101-1 表中 d 的整数倍，每表由前表的表值四舍五入；"
                          "公式值：按公式计算，不取整。");
    const QString formula =
        QStringLiteral("%1 × %2/%3 × d").arg(factorText(r.alpha)).arg(r.fy).arg(factorText(r.ft));
    writeStep(out, QStringLiteral("lab = α·fy/ft·d"), QString(), formula, formula, r.lab, d, 0,
              QString());
    // labE is the atlas's (22G101-1); GB 50010 11.1.7 defines laE and llE only.
    if (seismic)
        writeStep(out, QStringLiteral("labE = ζaE·lab"), factorText(*r.zetaAE),
                  QStringLiteral("%1d").arg(r.lab.table), multiple(r.lab.exact), *r.labE, d, 0,
                  QString());

    // ζa written out.
    if (ratioDropped)
        out << QStringLiteral("有抗震设防要求的构件不考虑配筋面积修正（第8.3.2条第4款）");
    else if (in.areaRatio && *in.areaRatio < 1)
        out << QStringLiteral("配筋面积修正 As,req/As,prov 仅用于非抗震且不直接承受动力荷载的构件"
                              "（第8.3.2条第4款）");
    if (r.corrections.isEmpty()) {
        out << QStringLiteral("ζa = 1.00（无修正，第8.3.2条）");
    } else {
        QStringList parts;
        for (const Factor& f : r.corrections)
            parts << QStringLiteral("%1（%2）").arg(factorText(f.value), f.name);
        QString line = QStringLiteral("ζa = %1").arg(parts.join(QStringLiteral(" × ")));
        if (r.corrections.size() > 1 || r.zetaALimited)
            line += QStringLiteral(" = %1").arg(trimmed(product, 4));
        // The factors are 8.3.2's; the 0.6 floor on their product is 8.3.1's.
        if (r.zetaALimited)
            line += QStringLiteral(" < 0.6，取 0.6（第8.3.2条，下限见第8.3.1条）");
        else
            line += QStringLiteral("（第8.3.2条）");
        out << line;
    }
    QString laFactor;
    QString laFrom = QStringLiteral("%1d").arg(r.lab.table);
    if (r.zetaALimited) {
        laFactor = factorText(r.zetaA);
    } else if (!further.isEmpty()) {
        QStringList parts;
        for (const Factor& f : further)
            parts << factorText(f.value);
        laFactor = parts.join(QStringLiteral(" × "));
        if (large) {
            out << QStringLiteral("表中 la（d > 25）= 1.10 × %1d = %2d")
                       .arg(r.lab.table)
                       .arg(chain.la.table);
            laFrom = QStringLiteral("%1d").arg(chain.la.table);
        }
    } else {
        laFactor = factorText(r.zetaA);
    }
    const QString laName = QStringLiteral("la = ζa·lab");
    {
        // The formula value multiplies the exact lab by the whole ζa.
        const QString product = laFactor + QStringLiteral(" × ");
        QString table = QStringLiteral("%1 = %2%3 = %4d = %5 mm")
                            .arg(laName, product, laFrom)
                            .arg(r.la.table)
                            .arg(r.la.tableMm);
        if (r.la.table * d < codes::kShortestAnchorage)
            table += QStringLiteral("（不小于200 mm，第8.3.1条）");
        out << table + dText(d);
        const QString exactProduct =
            (r.corrections.size() > 1 ? trimmed(r.zetaA, 4) : factorText(r.zetaA)) +
            QStringLiteral(" × ");
        out << QStringLiteral("    公式值 %1 = %2%3 = %4 = %5 mm")
                   .arg(laName, exactProduct, multiple(r.lab.exact), multiple(r.la.exact),
                        trimmed(r.la.exactMm, 1));
    }
    if (seismic)
        writeStep(out, QStringLiteral("laE = ζaE·la"), factorText(*r.zetaAE),
                  QStringLiteral("%1d").arg(r.la.table), multiple(r.la.exact), *r.laE, d,
                  codes::kShortestAnchorage, QStringLiteral("第8.3.1条"));
    if (codes::isPlainBar(in.steel))
        out << QStringLiteral("光圆钢筋末端应做180°弯钩，弯后平直段长度不应小于3d，"
                              "作受压钢筋时可不做弯钩（第8.3.1条注）");
    if (seismic && in.seismic == SeismicGrade::Fourth)
        out << QStringLiteral("四级抗震 ζaE = 1.00，laE = la（第11.1.7条）");

    out << QStringLiteral("ζl = %1（搭接接头面积百分率 %2%，第8.4.4条%3）")
               .arg(trimmed(r.zetaL, 3), trimmed(in.percentLapped, 2),
                    in.percentLapped > 25 && in.percentLapped != 50 && in.percentLapped != 100
                        ? QStringLiteral("，内插")
                        : QString());
    writeStep(out, QStringLiteral("ll = ζl·la"), trimmed(r.zetaL, 3),
              QStringLiteral("%1d").arg(r.la.table), multiple(r.la.exact), r.ll, d,
              codes::kShortestLap, QStringLiteral("第8.4.4条"));
    if (seismic)
        writeStep(out, QStringLiteral("llE = ζl·laE"), trimmed(r.zetaL, 3),
                  QStringLiteral("%1d").arg(r.laE->table), multiple(r.laE->exact), *r.llE, d,
                  codes::kShortestLap, QStringLiteral("第8.4.4条"));

    if (in.hooked)
        out << QStringLiteral("末端弯钩或机械锚固：0.6·lab = 0.6 × %1d = %2d = %3 mm"
                              "（包括弯钩或锚固端头，第8.3.3条）")
                   .arg(r.lab.table)
                   .arg(trimmed(codes::kHookedAnchorageFactor * r.lab.table, 2),
                        trimmed(r.hookedMm, 1));
    if (in.compression) {
        const QString laUsed = seismic ? QStringLiteral("laE") : QStringLiteral("la");
        const QString llUsed = seismic ? QStringLiteral("llE") : QStringLiteral("ll");
        out << QStringLiteral("受压锚固：0.7·%1 = 0.7 × %2 mm = %3 mm（第8.3.4条）")
                   .arg(laUsed)
                   .arg(anchorageInUse.tableMm)
                   .arg(r.compressionAnchorageMm);
        out << QStringLiteral("受压搭接：0.7·%1 = 0.7 × %2 mm = %3 mm，且不小于200 mm"
                              "（第8.4.5条）")
                   .arg(llUsed)
                   .arg(lapInUse.tableMm)
                   .arg(r.compressionLapMm);
    }
    return r;
}

std::optional<int> atlasColumn(int concrete) {
    if (concrete < 20)
        return std::nullopt;
    return (std::min(concrete, 60) - 20) / 5;
}

AtlasTable atlasTable(SteelGrade steel, SeismicGrade seismic, double percentLapped,
                      codes::ConcreteCode code) {
    AtlasTable t;
    for (int grade = 20; grade <= 60; grade += 5) {
        t.concreteGrades << grade;
        t.columnLabels << (grade == 60 ? QStringLiteral("≥C60") : codes::concreteGradeName(grade));
    }
    const bool withSeismic = seismic != SeismicGrade::None;
    const QString small = QStringLiteral(" d≤25");
    const QString big = QStringLiteral(" d>25");
    struct Layout {
        Quantity quantity;
        bool large;
        QString label;
    };
    QList<Layout> layout{{Quantity::Lab, false, QStringLiteral("lab")}};
    if (withSeismic)
        layout << Layout{Quantity::LabE, false, QStringLiteral("labE")};
    layout << Layout{Quantity::La, false, QStringLiteral("la") + small}
           << Layout{Quantity::La, true, QStringLiteral("la") + big};
    if (withSeismic)
        layout << Layout{Quantity::LaE, false, QStringLiteral("laE") + small}
               << Layout{Quantity::LaE, true, QStringLiteral("laE") + big};
    layout << Layout{Quantity::Ll, false, QStringLiteral("ll") + small}
           << Layout{Quantity::Ll, true, QStringLiteral("ll") + big};
    if (withSeismic)
        layout << Layout{Quantity::LlE, false, QStringLiteral("llE") + small}
               << Layout{Quantity::LlE, true, QStringLiteral("llE") + big};

    for (const Layout& l : layout) {
        TableRow row{l.quantity, l.large, l.label, {}};
        for (int grade : t.concreteGrades) {
            if (!codes::concreteGradeObjection(steel, grade, code).isEmpty()) {
                row.cells << std::nullopt;
                continue;
            }
            const Multiples m = atlasChain(steel, grade, l.large, seismic, percentLapped);
            switch (l.quantity) {
            case Quantity::Lab:
                row.cells << m.lab.table;
                break;
            case Quantity::LabE:
                row.cells << m.labE->table;
                break;
            case Quantity::La:
                row.cells << m.la.table;
                break;
            case Quantity::LaE:
                row.cells << m.laE->table;
                break;
            case Quantity::Ll:
                row.cells << m.ll.table;
                break;
            case Quantity::LlE:
                row.cells << m.llE->table;
                break;
            }
        }
        t.rows << row;
    }
    return t;
}

bool rowApplies(const TableRow& row, const Inputs& in) {
    if (row.quantity == Quantity::Lab || row.quantity == Quantity::LabE)
        return true;
    return row.largeDiameter == (in.diameter > codes::kLargeDiameterLimit);
}

std::optional<int> lapLengthMm(SteelGrade steel, int concrete, double diameter,
                               SeismicGrade seismic, double percentLapped, Basis basis,
                               codes::ConcreteCode code) {
    Inputs in;
    in.steel = steel;
    in.concrete = concrete;
    in.diameter = diameter;
    in.seismic = seismic;
    in.percentLapped = percentLapped;
    in.code = code;
    const Results r = compute(in);
    if (!r.objection.isEmpty())
        return std::nullopt;
    const Length& lap = seismic == SeismicGrade::None ? r.ll : *r.llE;
    return basis == Basis::Table ? lap.tableMm : wholeMm(lap.exactMm);
}

} // namespace anchorage
