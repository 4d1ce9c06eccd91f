#pragma once

#include "core/codes/steel_grades.h"

#include <QList>
#include <QString>

#include <optional>

// The flat-method (平法) annotation of a beam as 22G101-1's drawing rules
// write it (梁平法施工图制图规则, 集中标注 and 原位标注): read into
// plain values, every fault reported with its place and reason.
namespace members {

enum class BeamType { Frame, RoofFrame, NonFrame }; // KL, WKL, L
enum class CantileverEnds { None, One, Both };      // (3), (3A), (3B)

// "4C25": a number of bars of one grade and diameter.
struct BarGroup {
    int count = 0;
    codes::SteelGrade grade = codes::SteelGrade::HRB400;
    int diameter = 0;

    bool operator==(const BarGroup&) const = default;
};

// One row of longitudinal bars: groups joined by "+", corner bars first;
// notIntoSupport is the k of "(-k)", bars that stop short of the supports.
struct BarLayer {
    QList<BarGroup> groups;
    int notIntoSupport = 0;

    int count() const;
    bool operator==(const BarLayer&) const = default;
};

// Rows as written, top row first ("6C25 4/2": a row of 4 over a row of 2).
using BarLayout = QList<BarLayer>;

// "C10@100/200(2)", "C8@100(4)/150(2)", "13C10@150/200(4)".
struct Stirrups {
    codes::SteelGrade grade = codes::SteelGrade::HRB400;
    int diameter = 0;
    int endCount = 0;   // "13C10@...": stirrups at each end at the first spacing
    double dense = 0;   // the dense zone's spacing (the only one when there is no "/")
    double normal = 0;  // the middle's spacing; equal to dense when only one is written
    int denseLegs = 2;  // legs (肢数) in the dense zone
    int normalLegs = 2; // legs in the middle
    bool twoSpacings = false;

    bool operator==(const Stirrups&) const = default;
};

// "G4C12" (构造, constructional) or "N4C18" (抗扭, torsion): both faces together.
struct SideBars {
    bool torsion = false;
    BarGroup bars;

    bool operator==(const SideBars&) const = default;
};

struct Section {
    double b = 0, h = 0;
    std::optional<double> endHeight; // "300×700/500": a cantilever's depth at its tip

    bool operator==(const Section&) const = default;
};

// The 集中标注 of 22G101-1 制图规则 4.2.3 (第1-24页 to 第1-26页).
struct BeamHeader {
    BeamType type = BeamType::Frame;
    QString number; // "KL7"
    int spans = 0;
    CantileverEnds cantilevers = CantileverEnds::None;
    Section section;
    Stirrups stirrups;
    QList<BarGroup> topContinuous;    // 上部通长筋
    QList<BarGroup> erection;         // 架立筋, written in brackets
    QList<BarGroup> bottomContinuous; // after ";"
    std::optional<SideBars> side;
    std::optional<double> elevation; // m, relative to the floor: "(-0.100)"

    bool operator==(const BeamHeader&) const = default;
};

// A fault: the character index in the text it was read from (0-based), and
// the reason in Chinese.
struct NotationError {
    int position = 0;
    QString reason;

    bool operator==(const NotationError&) const = default;
};

// Grades a text cannot carry. Drawings exported to text lose the grade
// glyphs and show Φ for all of them: Φ stands for phiGrade. seismicSteel
// turns HRB400 and HRB500 into their E grades, as a drawing's general notes
// do for seismic members.
struct NotationOptions {
    codes::SteelGrade phiGrade = codes::SteelGrade::HRB400;
    bool seismicSteel = false;

    bool operator==(const NotationOptions&) const = default;
};

template <typename T> struct Parsed {
    std::optional<T> value; // set only when errors is empty
    QList<NotationError> errors;
};

Parsed<BeamHeader> parseHeader(const QString& text, const NotationOptions& options = {});
// 原位标注 of bar rows: "6C25 4/2", "2C25+2C22/4C25", "6C25 2(-2)/4".
Parsed<BarLayout> parseLayout(const QString& text, const NotationOptions& options = {});
Parsed<Stirrups> parseStirrups(const QString& text, const NotationOptions& options = {});
Parsed<Section> parseSection(const QString& text);
Parsed<SideBars> parseSideBars(const QString& text, const NotationOptions& options = {});
// Bars joined by "+", such as a span's own top continuous bars "2C25".
Parsed<QList<BarGroup>> parseGroups(const QString& text, const NotationOptions& options = {});

// The messages of a parse, each with its place: "第 5 个字符：缺少截面高度".
QString describeErrors(const QList<NotationError>& errors, const QString& where = {});

} // namespace members
