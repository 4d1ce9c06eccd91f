#pragma once

#include "core/members/beam_notation.h"

// The 列表注写 of a frame column as 22G101-1's drawing rules write it (柱平法
// 施工图制图规则, 2.2): the section, the bars, the stirrup type and the
// stirrups, read into plain values with every fault's place and reason.
// Bars are written as a beam's are ("12C25", "4C25+8C22"), read by
// parseGroups.
namespace members {

// "600×650" (b × h) or "D700" (round).
struct ColumnSection {
    bool round = false;
    double b = 0, h = 0; // for a round column both are its diameter

    double longerSide() const { return std::max(b, h); }
    bool operator==(const ColumnSection&) const = default;
};

// "C10@100/200", "C10@100/200(C12@100)": the spacing in the dense zones and
// elsewhere, and the joint core's own where it is given; "LC10@100/200" is a
// spiral.
struct ColumnStirrups {
    codes::SteelGrade grade = codes::SteelGrade::HRB400;
    int diameter = 0;
    double dense = 0, normal = 0; // equal when one spacing is written
    bool spiral = false;
    struct Core {
        codes::SteelGrade grade = codes::SteelGrade::HRB400;
        int diameter = 0;
        double spacing = 0;
        bool operator==(const Core&) const = default;
    };
    std::optional<Core> core;

    bool operator==(const ColumnStirrups&) const = default;
};

// "1(5×4)": the stirrup type's number and its legs across b (m) and across
// h (n).
struct StirrupType {
    int number = 1;
    int acrossB = 2, acrossH = 2;

    bool operator==(const StirrupType&) const = default;
};

Parsed<ColumnSection> parseColumnSection(const QString& text);
Parsed<ColumnStirrups> parseColumnStirrups(const QString& text,
                                           const NotationOptions& options = {});
Parsed<StirrupType> parseStirrupType(const QString& text);

} // namespace members
