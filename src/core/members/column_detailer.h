#pragma once

// The detailing of one column, shared by the files that do its parts:
// reading the storeys and segments, the longitudinal bars floor by floor,
// and the stirrups. Only core/members/ includes it.

#include "core/members/column_bars.h"

#include "core/anchorage/anchorage_calc.h"
#include "core/numbers/number_text.h"

#include <QMap>

#include <tuple>

#include <cmath>
#include <numbers>

namespace members::column_detail {

using codes::SeismicGrade;
using codes::SteelGrade;
namespace rules = codes::columns;

inline QString n0(double v) {
    return numbers::generalNumberText(std::round(v * 10) / 10);
}

// Bars that stand together through the floors: one corner ("b1h1"), or the
// middle bars of one face ("b1": the face b1 from the axis, its bars are the
// h side's), or a round column's ring.
struct BarSet {
    QString key;
    QStringList faces;
    int count = 0;
    SteelGrade grade = SteelGrade::HRB400;
    int d = 0;
};

struct Floor {
    QString name;
    double bottom = 0, top = 0, hb = 0; // mm of structural level; hb the top joint's beam
    int concrete = 30;
    ColumnSection section;
    double b1 = 0, b2 = 0, h1 = 0, h2 = 0;
    StirrupType type;
    ColumnStirrups stirrups;
    QList<BarSet> sets;
    int segment = 0;

    double hn() const { return top - bottom - hb; }
    double hc() const { return section.longerSide(); }
    double offset(const QString& face) const {
        return face == QLatin1String("b1")   ? b1
               : face == QLatin1String("b2") ? b2
               : face == QLatin1String("h1") ? h1
                                             : h2;
    }
};

// One line of bars of one set and batch at a floor.
struct LineBars {
    int count = 0;
    SteelGrade grade = SteelGrade::HRB400;
    int d = 0;
};

struct Lengths {
    double laE = 0, labE = 0, llE = 0; // la, lab, ll without seismic design
    bool ok = false;
};

// Bars running up from where they started to where their next piece begins.
struct Chain {
    QString set;
    bool high = false;
    int line = 0;
    int count = 0;
    SteelGrade grade = SteelGrade::HRB400;
    int d = 0;
    double z0 = 0, foot = 0;
    int floor = 0; // −1: a dowel
    bool inserted = false;
    QString startWhy;
};

struct Lap {
    double z = 0, length = 0;
    int d = 0;
};

struct Detailer {
    const ColumnMember& column;
    const ColumnSettings& set;
    ColumnBars out;
    QList<Floor> floors; // those the column stands in, bottom up
    int embedment = 0;   // the floor standing on the 嵌固部位
    int nextLine = 0;
    QList<Lap> laps;
    QMap<std::tuple<int, int, int>, Lengths> lengthsKnown; // by grade, d and concrete

    explicit Detailer(const ColumnMember& c) : column(c), set(c.settings) {}

    void problem(const QString& where, const QString& reason) {
        for (const ColumnProblem& p : out.problems)
            if (p.where == where && p.reason == reason)
                return;
        out.problems << ColumnProblem{where, reason};
    }
    QString floorName(int f) const {
        return f < 0 ? QStringLiteral("基础") : QStringLiteral("%1层").arg(floors[f].name);
    }
    bool corner() const { return column.position == ColumnPosition::Corner; }

    Lengths lengths(SteelGrade grade, int d, int concrete);
    Lengths computeLengths(SteelGrade grade, int d, int concrete);

    // reading (column_detailer_reading.cpp)
    bool readAll();
    bool readSegment(int index, const ColumnSegment& s, Floor& proto);
    bool checkFit(const Floor& f, const QString& where);

    // zones and joints
    double zoneAbove(int f) const;
    double zoneBelow(int f) const;
    QMap<QString, LineBars> barLines(int f) const;

    // longitudinal bars (column_detailer_bars.cpp)
    void longitudinal();
    void emit(const Chain& c, double z1, double lap, const QString& endRole, double head,
              double headDown, const QString& why);
    void top(QList<Chain>& chains);

    // stirrups (column_detailer_stirrups.cpp)
    void stirrups();
    void stirrupSet(int f, SteelGrade grade, int d, int count, const QString& how);
    void outline();

    void addRow(ColumnRow row);
    void run();
};

} // namespace members::column_detail
