#include "core/shop/bar_legs.h"

#include "core/codes/bending.h"

namespace shop {

using schedule::Shape;

BarLegs legsOf(const schedule::BarRow& row, double mandrel, bool seismic) {
    const double d = row.diameter;
    const auto v = [&row](const char* letter) {
        return row.dimensions.value(QLatin1String(letter));
    };
    // From the hook's free end to the outside of its bend.
    const auto hookLeg = [&](double straightEnd) { return straightEnd + mandrel / 2 + d; };
    BarLegs out;
    switch (row.shape) {
    case Shape::Straight:
        out.legs = {{v("A"), 0}};
        break;
    case Shape::Hook180: {
        const double hook = hookLeg(codes::hook180StraightEnd(d));
        out.legs = {{hook, 180}, {v("A"), 180}, {hook, 0}};
        break;
    }
    case Shape::L:
        out.legs = {{v("A"), 90}, {v("B"), 0}};
        break;
    case Shape::U:
        out.legs = {{v("A"), 90}, {v("B"), 90}, {v("C"), 0}};
        break;
    case Shape::Bent: {
        // Up the first slope, along the top, down the second: the bends
        // turn up, over, over and down again.
        const double a = row.dimensions.value(QStringLiteral("angle"), schedule::kDefaultBentAngle);
        out.legs = {{v("A"), a}, {v("B"), -a}, {v("C"), -a}, {v("D"), a}, {v("E"), 0}};
        break;
    }
    case Shape::Stirrup: {
        // From one hook round the four sides to the other, both hooks at the
        // same corner: A, B, A, B between them.
        const double hook = hookLeg(codes::stirrupHookStraightEnd(d, seismic));
        out.legs = {{hook, 135},  {v("A"), 90},  {v("B"), 90},
                    {v("A"), 90}, {v("B"), 135}, {hook, 0}};
        break;
    }
    case Shape::Tie: {
        const double hook = hookLeg(codes::stirrupHookStraightEnd(d, seismic));
        out.legs = {{hook, 135}, {v("A"), 135}, {hook, 0}};
        break;
    }
    case Shape::Hoop:
        out.objection = QStringLiteral("圆形箍筋是弧段，不是直段和弯折");
        break;
    case Shape::Spiral:
        out.objection = QStringLiteral("螺旋箍筋是弧段，不是直段和弯折");
        break;
    }
    return out;
}

double developedLength(const QList<Leg>& legs, double mandrel, double diameter) {
    double length = 0;
    for (qsizetype i = 0; i < legs.size(); ++i) {
        length += legs[i].length;
        if (i + 1 < legs.size())
            length -= codes::legDeduction(legs[i].angle, mandrel, diameter);
    }
    return length;
}

} // namespace shop
