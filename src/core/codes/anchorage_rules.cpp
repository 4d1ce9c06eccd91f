#include "core/codes/anchorage_rules.h"

#include <algorithm>
#include <cmath>

namespace codes {

namespace {
// GB 50010 table 4.1.4-2: ft of C15 to C80, in steps of 5.
constexpr double kConcreteFt[] = {0.91, 1.10, 1.27, 1.43, 1.57, 1.71, 1.80,
                                  1.89, 1.96, 2.04, 2.09, 2.14, 2.18, 2.22};

// Half-up rounding must not be thrown by a product such as 30 × 1.05, whose
// binary value lies a hair below 31.5.
constexpr double kRoundingSlack = 1e-9;
} // namespace

QString steelGradeName(SteelGrade steel) {
    return gradeName(steel);
}

std::optional<SteelGrade> steelGradeFromName(const QString& name) {
    return gradeFromName(name);
}

int designTensileStrength(SteelGrade steel) {
    // GB 50010 table 4.2.3-1: fy of the ordinary bars; the seismic E grades
    // have the strength of their plain grade.
    switch (strengthClass(steel)) {
    case 300:
        return 270;
    case 335:
        return 300;
    case 400:
        return 360;
    default:
        return 435;
    }
}

bool isPlainBar(SteelGrade steel) {
    return isPlain(steel);
}

double anchorageShapeFactor(SteelGrade steel) {
    return isPlainBar(steel) ? 0.16 : 0.14;
}

QString concreteGradeName(int grade) {
    return QStringLiteral("C%1").arg(grade);
}

std::optional<int> concreteGradeFromName(const QString& name) {
    const QString text = name.trimmed();
    if (text.size() != 3 || text.at(0).toUpper() != QLatin1Char('C') || !text.at(1).isDigit() ||
        !text.at(2).isDigit())
        return std::nullopt;
    const int grade = (text.at(1).unicode() - '0') * 10 + (text.at(2).unicode() - '0');
    if (grade < kLowestConcreteGrade || grade > kHighestConcreteGrade || grade % 5 != 0)
        return std::nullopt;
    return grade;
}

double concreteTensileStrength(int grade) {
    const int clamped = std::clamp(grade, kLowestConcreteGrade, kHighestConcreteGrade);
    return kConcreteFt[(clamped - kLowestConcreteGrade) / 5];
}

double anchorageTensileStrength(int grade) {
    return concreteTensileStrength(std::min(grade, 60));
}

QString concreteCodeClause(ConcreteCode code) {
    return code == ConcreteCode::Gb50010 ? QStringLiteral("GB 50010-2010 第4.1.2条")
                                         : QStringLiteral("GB 55008-2021 第2.0.2条");
}

int lowestConcreteGradeFor(SteelGrade steel, ConcreteCode code) {
    if (code == ConcreteCode::Gb50010)
        return strengthClass(steel) >= 400 ? 25 : 20;
    return strengthClass(steel) >= 500 ? 30 : 25;
}

QString concreteGradeObjection(SteelGrade steel, int grade, ConcreteCode code) {
    const QString clause = QStringLiteral("（%1）").arg(concreteCodeClause(code));
    if (code == ConcreteCode::Gb50010) {
        if (grade < 20)
            return QStringLiteral("钢筋混凝土结构的混凝土强度等级不应低于C20") + clause;
        if (grade < lowestConcreteGradeFor(steel, code))
            return QStringLiteral("采用400MPa及以上的钢筋时，混凝土强度等级不应低于C25") + clause;
        return {};
    }
    if (grade < 25)
        return QStringLiteral("钢筋混凝土结构构件的混凝土强度等级不应低于C25") + clause;
    if (grade < lowestConcreteGradeFor(steel, code))
        return QStringLiteral("采用500MPa及以上等级钢筋的钢筋混凝土结构构件，"
                              "混凝土强度等级不应低于C30") +
               clause;
    return {};
}

QString seismicGradeName(SeismicGrade seismic) {
    switch (seismic) {
    case SeismicGrade::None:
        return QStringLiteral("非抗震");
    case SeismicGrade::First:
        return QStringLiteral("一级");
    case SeismicGrade::Second:
        return QStringLiteral("二级");
    case SeismicGrade::Third:
        return QStringLiteral("三级");
    case SeismicGrade::Fourth:
        return QStringLiteral("四级");
    }
    return {};
}

double seismicAnchorageFactor(SeismicGrade seismic) {
    switch (seismic) {
    case SeismicGrade::First:
    case SeismicGrade::Second:
        return 1.15;
    case SeismicGrade::Third:
        return 1.05;
    case SeismicGrade::Fourth:
    case SeismicGrade::None:
        return 1.00;
    }
    return 1.00;
}

double coverFactor(double coverOverDiameter) {
    if (coverOverDiameter < 3)
        return 1.0;
    if (coverOverDiameter >= 5)
        return 0.70;
    return 0.80 - 0.05 * (coverOverDiameter - 3);
}

bool areaRatioAllowed(SeismicGrade seismic) {
    return seismic == SeismicGrade::None;
}

double lapFactor(double percentLapped) {
    if (percentLapped <= 25)
        return 1.2;
    if (percentLapped <= 50)
        return 1.2 + 0.2 * (percentLapped - 25) / 25;
    return 1.4 + 0.2 * (std::min(percentLapped, 100.0) - 50) / 50;
}

int atlasRound(double multiple) {
    return static_cast<int>(std::floor(multiple + 0.5 + kRoundingSlack));
}

} // namespace codes
