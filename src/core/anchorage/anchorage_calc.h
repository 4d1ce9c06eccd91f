#pragma once

#include "core/codes/anchorage_rules.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Anchorage and lap lengths of one bar, widget-free: the atlas's table value
// (whole multiples of d, rounded step by step as 22G101-1 prints them) and
// the exact formula value, each with its derivation written out.
namespace anchorage {

struct Inputs {
    codes::SteelGrade steel = codes::SteelGrade::HRB400;
    int concrete = 30;    // C30
    double diameter = 25; // mm
    codes::SeismicGrade seismic = codes::SeismicGrade::None;
    double percentLapped = 25; // of the bars lapped in one zone
    // The code that sets the lowest concrete grade: GB 55008 unless the work
    // is checked under GB 50010's older rule.
    codes::ConcreteCode code = codes::ConcreteCode::Gb55008;
    // The correction factors ζa the user ticks (GB 50010 8.3.2).
    // areaRatio is dropped for seismic members; members carrying dynamic loads
    // directly must not take it either, which only the user knows.
    bool epoxyCoated = false;
    bool disturbed = false;
    std::optional<double> cover;     // mm, at the anchorage
    std::optional<double> areaRatio; // As,req / As,prov
    // Also worked out when asked for: the hooked or mechanical anchorage
    // (8.3.3) and the bars in compression (8.3.4, 8.4.5).
    bool hooked = false;
    bool compression = false;
};

// Why the inputs cannot be worked out (a diameter of 0, a share outside 0 to
// 100, ...); empty when they can. The lowest concrete grade for the steel
// (GB 55008 2.0.2, or GB 50010 4.1.2) is not an input fault: compute()
// answers it.
QString inputObjection(const Inputs& in);

// One length in both answers.
struct Length {
    int table = 0;      // the atlas's whole multiple of d
    double exact = 0;   // the formula's multiple of d, unrounded
    int tableMm = 0;    // table × d, up to the whole mm, the floor applied
    double exactMm = 0; // exact × d, the floor applied
};

struct Factor {
    QString name; // what it corrects for, as the user sees it
    double value = 1;
};

struct Results {
    // Why no length can be given (the concrete too weak for the steel, or an
    // input fault); empty otherwise.
    QString objection;
    double fy = 0, ft = 0, alpha = 0;
    // ζa: the factors applied, their product and whether 0.6 replaced it
    // (8.3.1).
    QList<Factor> corrections;
    double zetaA = 1;
    bool zetaALimited = false;
    std::optional<double> zetaAE; // with seismic design only
    double zetaL = 1.2;
    Length lab, la, ll;
    std::optional<Length> labE, laE, llE; // with seismic design only
    // mm, from the table values: 8.3.3 (0.6·lab), 8.3.4 (0.7 of the tension
    // anchorage, laE with seismic design) and 8.4.5 (0.7 of the tension lap,
    // llE with seismic design, at least 200).
    double hookedMm = 0;
    int compressionAnchorageMm = 0;
    int compressionLapMm = 0;
    // Every result with its formula and factors written out, line by line.
    QStringList derivation;
};

Results compute(const Inputs& in);

// The atlas's table for one steel grade, seismic grade and share lapped:
// columns C20 to C55 and ≥C60, rows lab, la, ll (and labE, laE, llE with
// seismic design), la and the laps for d ≤ 25 and d > 25. Made by the same
// rules as compute(); a cell where the code forbids the steel in that
// concrete is empty.
enum class Quantity { Lab, LabE, La, LaE, Ll, LlE };
struct TableRow {
    Quantity quantity = Quantity::Lab;
    bool largeDiameter = false; // the d > 25 row; lab and labE have one row only
    QString label;
    QList<std::optional<int>> cells;
};
struct AtlasTable {
    QList<int> concreteGrades; // 20, 25, ..., 60 (the last one stands for ≥C60)
    QStringList columnLabels;
    QList<TableRow> rows;
};
AtlasTable atlasTable(codes::SteelGrade steel, codes::SeismicGrade seismic, double percentLapped,
                      codes::ConcreteCode code = codes::ConcreteCode::Gb55008);
// The column of this concrete grade, if the table has one.
std::optional<int> atlasColumn(int concrete);
// Whether a row is the one for these inputs (its quantity shown, its
// diameter range).
bool rowApplies(const TableRow& row, const Inputs& in);

// The lap length of a tension bar in mm, for splicing long bars: llE with
// seismic design, ll without, the table value unless the formula is asked
// for, never below 300 mm. Nothing when the inputs are faulty or the code
// forbids the steel in this concrete.
enum class Basis { Table, Formula };
std::optional<int> lapLengthMm(codes::SteelGrade steel, int concrete, double diameter,
                               codes::SeismicGrade seismic, double percentLapped,
                               Basis basis = Basis::Table,
                               codes::ConcreteCode code = codes::ConcreteCode::Gb55008);

} // namespace anchorage
