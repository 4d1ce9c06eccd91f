#pragma once

#include <QString>

// The bar-quantity computation over the tab's field texts, widget-free.
namespace rebar {

enum class Bend { Both, One, None, Unselected };

struct BarQuantityFields {
    // Inputs: diameter, length, count, bend coefficient.
    QString text1, text2, text3, text4;
    bool centimetres = false; // Check3
    Bend bend = Bend::Unselected;
    // Results: section, mass per metre, diameter copy, count copy, cut length,
    // total length, total mass, total section.
    QString text5, text6, text7, text8, text9, text10, text11, text12;
};

// Recomputes every result from the current texts. A step whose operand cannot
// be read, or whose arithmetic overflows, leaves its field as it was.
void add(BarQuantityFields& f);

// The bend coefficient that a new diameter text brings, or the current one
// when the diameter calls for no change.
QString bendCoefficientFor(const QString& diameterText, const QString& currentCoefficient);

} // namespace rebar
