#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The bar shapes of a cutting list and the letters of their outer dimensions.
namespace schedule {

enum class Shape { Straight, Hook180, L, U, Bent, Stirrup, Tie, Hoop, Spiral };

struct ShapeInfo {
    Shape shape;
    QString code;        // the file's, the CSV's and the command line's name: "L", "stirrup"
    QString name;        // what the window shows: "L形（一个90°弯）"
    QStringList letters; // dimension letters the shape needs, in entry order
    QStringList optionalLetters; // letters that may be left out (a default applies)
    QString formula;             // the cut length as the window's help writes it
};

const QList<ShapeInfo>& shapes();
const ShapeInfo& shapeInfo(Shape shape);
// Reads a shape code, ignoring case ("l", "Stirrup"); nothing for an unknown code.
std::optional<Shape> shapeFromCode(const QString& code);

// The angle of a bent-up bar's slopes, in degrees, when none is given, and
// the angles a bending table offers.
constexpr double kDefaultBentAngle = 45;
// The flat turns at each end of a spiral when none are given: the atlas asks
// for at least one and a half at the start and at the end.
constexpr double kDefaultSpiralEndTurns = 1.5;

} // namespace schedule
