#pragma once

#include "core/codes/anchorage_rules.h"
#include "core/codes/steel_grades.h"
#include "core/schedule/shapes.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// A cutting list (钢筋下料单): members, each with its bar rows, and the
// settings the whole list is worked out with. Plain values; computing them is
// in schedule/computation.h.
namespace schedule {

// One row of the list: one bar mark of one member.
struct BarRow {
    QString mark;
    Shape shape = Shape::Straight;
    codes::SteelGrade grade = codes::SteelGrade::HRB400;
    int diameter = 0; // mm; 0 while none is given
    // Outer dimensions in mm by letter ("A" to "E", "D", "P", "H", "lap"), the
    // bent-up bar's "angle" in degrees and the spiral's flat end turns "N".
    // A letter that is absent has not been given.
    QMap<QString, double> dimensions;
    // The row's own inner bend diameter (mm); the grade's smallest when absent.
    std::optional<double> mandrel;
    int countPerMember = 0;
    QString note;

    bool operator==(const BarRow&) const = default;
};

struct Member {
    QString name;
    int count = 1; // how many such members are built
    QList<BarRow> rows;
    // What the rows were generated from, when they were: one key naming the
    // kind ("beam") and the member's drawing as its generator reads it. The
    // list keeps it as written and never reads inside it; the rows stay
    // stored, so a list opens the same wherever it is read. Empty for rows
    // typed by hand.
    QJsonObject source;

    bool operator==(const Member&) const = default;
};

enum class Rounding { Millimetre1 = 1, Millimetre5 = 5, Millimetre10 = 10 };

struct ListSettings {
    // Stirrup and tie hooks with 10d (at least 75 mm) ends, as seismic
    // members need; 5d ends otherwise.
    bool seismic = true;
    Rounding rounding = Rounding::Millimetre1;
    codes::SteelGrade defaultGrade = codes::SteelGrade::HRB400;
    // What the lap of a spliced long bar is taken from by the anchorage
    // rules: the members' concrete grade (30: C30), their seismic grade and
    // the share of the bars lapped in one zone, in %. The hook setting above
    // stays as it is: a list may have seismic hooks in members of any grade.
    int concrete = 30;
    codes::SeismicGrade seismicGrade = codes::SeismicGrade::Second;
    double percentLapped = 25;
    // The code that sets the lowest concrete grade for the steel: GB 55008
    // unless the list is for work designed under GB 50010's older rule.
    codes::ConcreteCode concreteCode = codes::ConcreteCode::Gb55008;

    bool operator==(const ListSettings&) const = default;
};

struct CuttingList {
    QString project;
    ListSettings settings;
    QList<Member> members;

    bool operator==(const CuttingList&) const = default;
};

} // namespace schedule
