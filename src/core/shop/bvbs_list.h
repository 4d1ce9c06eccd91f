#pragma once

#include "core/schedule/cutting_list.h"
#include "core/shop/ascii_text.h"
#include "core/shop/bvbs.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// A cutting list as a BVBS file for the bending shop: one BF2D line a row,
// with the list's cut length, bars, mass per bar, grade, mandrel and legs.
//
// Header: j the project, r the list's name (its file name), i empty (a list
// has no drawing index), p the member and mark ("KL1-3"), l the cut length
// (mm), n the bars of all the members, e the mass of one bar (kg, three
// decimals), d the diameter, g the grade, s the mandrel (inner bend
// diameter), v empty. Geometry: the legs and angles of shop/bar_legs.h in
// whole millimetres and degrees.
namespace shop {

struct BvbsSettings {
    NonAsciiText nonAscii = NonAsciiText::Drop;
    QString drawing; // r: the list's name; empty: none
};

// A row the file does not carry, and why.
struct BvbsLeftOut {
    int member = -1;
    int row = -1;
    QString what;   // "KL1 3", as the window names the row
    QString reason; // in Chinese
};

struct BvbsExport {
    QList<BvbsRecord> records;
    QList<std::pair<int, int>> rows; // (member, row) of each record
    QList<BvbsLeftOut> leftOut;
    // Some text had no ASCII form and was written in pinyin or dropped.
    bool textChanged = false;

    // The file: every line with its checksum, each ended by CR LF.
    QByteArray fileBytes() const;
};

BvbsExport bvbsOfList(const schedule::CuttingList& list, const BvbsSettings& settings = {});

// What the file's p says of a row: member and mark, or either alone.
QString bvbsPosition(const QString& member, const QString& mark);

} // namespace shop
