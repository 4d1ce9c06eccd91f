#pragma once

#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"

#include <QString>

#include <optional>

// The columns of the cutting list's row table: what each shows, which rows
// it applies to, and how a cell's text is read into a row and written from
// it. The table, the editors, copy and paste all go through here.
namespace schedule {

enum class Column {
    Mark,
    Shape,
    Grade,
    Diameter,
    A,
    B,
    C,
    D,
    E,
    Angle,
    Lap,
    P,
    H,
    N,
    Mandrel,
    Count,
    CutLength,
    UnitMass,
    BarMass,
    Bars,
    TotalLength,
    TotalMass,
    Note,
};
constexpr int kColumnCount = static_cast<int>(Column::Note) + 1;

inline Column columnAt(int index) {
    return static_cast<Column>(index);
}
inline int columnIndex(Column column) {
    return static_cast<int>(column);
}

QString columnTitle(Column column);
// The table's heading: the title with its unit, over two lines where long.
QString columnHeading(Column column);
QString columnToolTip(Column column);
// The dimension letter a column holds ("A", "angle", "lap", ...), or nothing.
QString columnLetter(Column column);
std::optional<Column> columnOfLetter(const QString& letter);
bool isComputed(Column column);
// Whether the cell is one a user fills in for this row: a dimension only
// where the row's shape has that letter.
bool applies(const BarRow& row, Column column);
// The column that a row's problem points at.
Column problemColumn(const RowProblem& problem);

// The cell as text that reads back the same: the shape's code, the grade's
// name, numbers in plain form; empty where nothing is given.
QString cellText(const BarRow& row, Column column);
// The shape as the table shows it: its Chinese name.
QString shapeLabel(Shape shape);

// Reads a cell's text into the row. Empty text clears the value (a
// dimension or mandrel not given, no diameter or count). A text that cannot
// be such a value leaves the row as it was and gives the reason.
std::optional<QString> readCell(BarRow& row, Column column, const QString& text);

// Reads a shape as typed: its code ("L", "stirrup", any case), its Chinese
// name, or a word found in only one name.
std::optional<Shape> readShape(const QString& text);
// Reads a grade as typed: "HRB400E", any case, or short "400E", "300".
std::optional<codes::SteelGrade> readGrade(const QString& text);

// Computed cells as the table shows them: cut length in whole mm, masses
// per metre as the tables print them, one bar to 0.001 kg, total length to
// the mm in m, total mass to 0.01 kg; empty for a row with a problem.
QString computedText(const RowResult& result, Column column);
// A whole count of units of 10^-unitDecimals shown with `shown` decimals,
// halves up: (161638400, 6, 2) is "161.64".
QString fixedText(long long units, int unitDecimals, int shown);

// Marks in natural order: "2" before "10", "KL2" before "KL10".
bool markLess(const QString& a, const QString& b);
// The mark after this one: the trailing number counted on ("KL-9" gives
// "KL-10"), or nothing where the mark ends in no number.
QString nextMark(const QString& mark);

} // namespace schedule
