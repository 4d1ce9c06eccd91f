#pragma once

#include "core/plans/list_plan.h"
#include "core/schedule/cutting_list.h"

#include <QList>
#include <QString>

// The cutting sheet (下料单 by stock bar) of a list's cutting plan, for the
// cutter: for each grade and diameter, each way of cutting a stock bar with
// how many bars are cut so, the pieces in the order they are cut (longest
// first, equal pieces together, so that the stop moves as little as it
// can), the rows (member and mark) they are for, and what is left: offcuts
// kept go back to stock (余料) by length, the rest is scrap.
namespace shop {

// Pieces of one length for one row, cut one after another.
struct SheetCut {
    long long length = 0; // mm
    int pieces = 0;       // from each bar
    QString label;        // member and mark ("KL1 3"), as the plan has it
};

struct SheetPattern {
    int number = 0;       // 1, 2, ... within its group, in the order printed
    long long stock = 0;  // mm
    long long bars = 0;   // stock bars cut so
    QList<SheetCut> cuts; // in cutting order
    int pieces = 0;       // from each bar
    int stops = 0;        // different lengths: how often the stop is set
    long long offcut = 0; // what is left of each bar
    bool offcutKept = false;
};

// Offcuts of one length kept from a group: back to stock.
struct SheetOffcut {
    long long length = 0;
    long long bars = 0;
};

struct SheetGroup {
    QString grade;
    int diameter = 0;
    QString error; // set: the plan has no patterns for this group (why)
    QList<SheetPattern> patterns;
    QList<SheetOffcut> keptOffcuts; // longest first
    QList<plans::StockUse> stock;   // bars to take from stock, longest first
    QList<plans::SplicedPiece> splices;
    long long stockBars = 0;
    long long pieces = 0;
    long long stockLength = 0; // mm
    long long piecesLength = 0;
    long long keptOffcut = 0;
    long long waste = 0;
    double utilisation = 0;
};

struct CuttingSheet {
    QString project;
    plans::ListPlanSettings settings;
    bool outOfDate = false; // the list has changed since the plan was made
    QList<SheetGroup> groups;
    long long stockLength = 0;
    long long piecesLength = 0;
    long long keptOffcut = 0;
    long long waste = 0;
};

// The sheet of the plan kept with `list`; out of date where the list no
// longer gives the plan's pieces.
CuttingSheet cuttingSheetOf(const schedule::CuttingList& list, const plans::ListPlan& plan);

// A group's name as the sheet heads it: "HRB400 Φ25".
QString sheetGroupName(const SheetGroup& group);

} // namespace shop
