#pragma once

#include "core/schedule/cutting_list.h"

#include <QList>
#include <QString>

#include <optional>

// Cut lengths, masses and totals of a cutting list.
namespace schedule {

// Where a row's problem lies, so that the window can mark the cell.
enum class Field { None, Mark, Shape, Grade, Diameter, Dimension, Mandrel, Count, MemberCount };

struct RowProblem {
    Field field = Field::None;
    QString letter; // the dimension's letter, for Field::Dimension
    QString reason; // a sentence for the user, in Chinese
};

struct RowResult {
    std::optional<RowProblem> problem; // set: nothing below is valid
    double mandrel = 0;                // inner bend diameter used, mm
    double exactCutLength = 0;         // mm, before rounding
    double cutLength = 0;              // mm, rounded as the list says
    double unitMass = 0;               // kg/m, GB/T 1499
    double barMass = 0;                // kg, one bar
    long long bars = 0;                // per member × members
    double totalLength = 0;            // m
    double totalMass = 0;              // kg
    // The totals in whole units, so that sums are exact: mm, and mm × g/m = mg.
    long long totalLengthMm = 0;
    long long totalMassMg = 0;
};

// One row worked out for a member built `memberCount` times.
RowResult computeRow(const BarRow& row, int memberCount, const ListSettings& settings);

struct SummaryLine {
    codes::SteelGrade grade;
    int diameter = 0;
    long long bars = 0;
    double totalLength = 0; // m
    double totalMass = 0;   // kg
    long long totalLengthMm = 0;
    long long totalMassMg = 0;
};

struct ComputedList {
    // results[m][r] belongs to members[m].rows[r].
    QList<QList<RowResult>> results;
    // By grade, then diameter, in the order of codes::SteelGrade and size.
    QList<SummaryLine> summary;
    long long bars = 0;
    double totalLength = 0; // m
    double totalMass = 0;   // kg
    long long totalLengthMm = 0;
    long long totalMassMg = 0;
    int rowsLeftOut = 0; // rows with a problem, not in the totals
};

ComputedList computeList(const CuttingList& list);

// The cut length rounded to the list's step, halves up.
double roundCutLength(double exact, Rounding rounding);

} // namespace schedule
