#pragma once

#include "core/codes/column_detailing_rules.h"
#include "core/members/column_notation.h"
#include "core/schedule/cutting_list.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A frame column as its 列表注写 and the storey table give it, detailed floor
// by floor into rows of the cutting list by 22G101-1 and 22G101-3
// (codes/column_detailing_rules.h). Each row holds its shape's outer
// dimensions; the list's own geometry makes the cut length.
namespace members {

// One row of the storey table, bottom up: its name ("-1", "1", "屋面"),
// the structural level of its floor (m, as the table writes it) and its
// height (m); the depth of the deepest beam at its top joint (mm) and its
// concrete.
struct Storey {
    QString name;
    double level = 0;  // m
    double height = 0; // m
    double beamDepth = 0;
    std::optional<int> concrete; // the column's own when none is given

    bool operator==(const Storey&) const = default;
};

// One row of the column table: floors from..to, their section, bars and
// stirrups. Bars are given as all of them ("12C25") or as the corners and
// the middle bars of one b face and one h face.
struct ColumnSegment {
    QString from, to; // storey names, both included
    QString section;  // "600×600", "D700"
    // Distances of the faces from the axes (mm), b1 + b2 = b, h1 + h2 = h;
    // halves of the section when left out. They say which face steps where
    // the section changes.
    std::optional<double> b1, b2, h1, h2;
    QString bars;                 // 全部纵筋
    QString corner, bSide, hSide; // 角筋, b边一侧中部筋, h边一侧中部筋
    QString stirrupType;          // "1(5×4)"
    QString stirrups;             // "C10@100/200(C12@100)"

    bool operator==(const ColumnSegment&) const = default;
};

struct Foundation {
    std::optional<double> top; // m; the lowest storey's level when left out
    double depth = 800;        // hj, mm
    double cover = 40;
    // Every dowel down to the bottom mesh (default); or, in a foundation at
    // least 1200 deep, only the corner bars, the others laE below its top
    // (22G101-3 第2-10页 note).
    bool allOnBottomMesh = true;

    bool operator==(const Foundation&) const = default;
};

enum class ColumnPosition { Middle, Edge, Corner };

// Where published practice differs from the atlas: the atlas is the default.
struct ColumnSettings {
    // laE and labE from the atlas's table (default) or the unrounded formula.
    bool anchorageFormula = false;
    // Every outer bar of an edge or corner column 1.5labE into the beam,
    // instead of the atlas's 65 % and the rest across the top.
    bool allOuterIntoBeam = false;
    // Stirrups at min(5d, 100) along the laps (default) or the floor's own.
    bool denseAtLaps = true;
    // Pieces longer than the stock bars are reported.
    double stockLength = 12000;
    NotationOptions notation;

    bool operator==(const ColumnSettings&) const = default;
};

struct ColumnMember {
    QString mark = QStringLiteral("KZ1");
    QList<Storey> storeys;
    // The storey standing on the 嵌固部位; empty for the foundation top.
    QString embedment;
    Foundation foundation;
    QList<ColumnSegment> segments;
    int concrete = 30;
    codes::SeismicGrade seismic = codes::SeismicGrade::Second;
    double cover = 20; // to the stirrups
    codes::columns::Splice connection = codes::columns::Splice::Coupler;
    ColumnPosition position = ColumnPosition::Middle;
    QStringList outerFaces; // of "b1", "b2", "h1", "h2" for edge and corner columns
    ColumnSettings settings;

    bool operator==(const ColumnMember&) const = default;
};

// Where a longitudinal piece stands, for the elevation: z in mm of
// structural level, its foot (bent at the bottom) and head (bent at the
// top, a U's two legs in head and headDown), the bar line it belongs to
// (one line of bars through the floors) and its batch.
struct PiecePlace {
    double z0 = 0, z1 = 0;
    double foot = 0, head = 0, headDown = 0;
    QList<int> lines; // pieces alike in one row may come from several lines
    bool highBatch = false;
    // The lap at the piece's top: z1 lies this far above the next piece's
    // bottom (0 for mechanical joints and welds, and at the ends).
    double lapAbove = 0;
};

struct ColumnRow {
    schedule::BarRow bar;
    QString role;  // dowel, lowBatch, highBatch, topOuter, ... (columnRoleName() in Chinese)
    int floor = 0; // index into the storeys; −1 for the foundation
    QString floorName;
    double budgetLength = 0; // 预算长度: outer dimensions and 135° hooks, no deductions
    QString derivation;
    std::optional<PiecePlace> place; // longitudinal pieces only
};

// The column's outline for its elevation, floor by floor (z in mm of
// structural level), and the foundation below.
struct FloorOutline {
    QString name;
    double bottom = 0, top = 0, beamDepth = 0;
    ColumnSection section;
    double b1 = 0, b2 = 0, h1 = 0, h2 = 0;
    QList<std::pair<double, double>> nonConnection; // zones where no joint may lie
    QList<std::pair<double, double>> denseZones;    // stirrups at the dense spacing
};

struct ColumnOutline {
    double foundationBottom = 0, foundationTop = 0;
    std::optional<double> embedment; // z of the 嵌固部位
    QList<FloorOutline> floors;
    struct Joint {
        double z = 0;
        bool highBatch = false;
        int line = 0;
    };
    QList<Joint> joints;
};

struct ColumnProblem {
    QString where;
    QString reason;
};

struct ColumnBars {
    QString name;
    QList<ColumnRow> rows;
    QList<ColumnProblem> problems;
    ColumnOutline outline; // empty when the column could not be read
};

ColumnBars detailColumn(const ColumnMember& column);

QString columnRoleName(const QString& role);

// The column as its JSON (the --column file format, docs/columns.md), and
// back; a fault names the key.
QJsonObject columnToJson(const ColumnMember& column);
struct ColumnRead {
    std::optional<ColumnMember> column;
    QString error;
};
ColumnRead columnFromJson(const QJsonObject& o);

// A member of the cutting list made of a column's rows, the column kept as
// the source they were generated from, under "column".
schedule::Member columnListMember(const ColumnMember& column, const ColumnBars& bars,
                                  int count = 1);
// The column a list's member was generated from; none for rows typed by
// hand, another kind of member, or a source that no longer reads as one.
std::optional<ColumnMember> columnOfListMember(const schedule::Member& member);

} // namespace members
