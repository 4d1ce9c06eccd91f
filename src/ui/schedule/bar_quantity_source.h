#pragma once

#include <QString>

#include <functional>

// The bar-quantity tab's inputs as its fields show them, for a row taken
// from there: diameter, straight length (in cm where `centimetres`), count.
struct BarQuantityInputs {
    QString diameter;
    QString length;
    QString count;
    bool centimetres = false;
};
using BarQuantitySource = std::function<BarQuantityInputs()>;
