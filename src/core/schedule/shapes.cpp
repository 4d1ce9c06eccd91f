#include "core/schedule/shapes.h"

namespace schedule {

const QList<ShapeInfo>& shapes() {
    static const QList<ShapeInfo> list{
        {Shape::Straight,
         QStringLiteral("straight"),
         QStringLiteral("直筋"),
         {QStringLiteral("A")},
         {},
         QStringLiteral("A")},
        {Shape::Hook180,
         QStringLiteral("hook180"),
         QStringLiteral("两端180°弯钩"),
         {QStringLiteral("A")},
         {},
         QStringLiteral("A + 2×h180")},
        {Shape::L,
         QStringLiteral("L"),
         QStringLiteral("L形（一个90°弯）"),
         {QStringLiteral("A"), QStringLiteral("B")},
         {},
         QStringLiteral("A + B − δ90")},
        {Shape::U,
         QStringLiteral("U"),
         QStringLiteral("U形（两个90°弯）"),
         {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
         {},
         QStringLiteral("A + B + C − 2×δ90")},
        {Shape::Bent,
         QStringLiteral("bent"),
         QStringLiteral("弯起钢筋"),
         {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
          QStringLiteral("E"), QStringLiteral("angle")},
         {QStringLiteral("angle")},
         QStringLiteral("A + B + C + D + E − 4×δα")},
        {Shape::Stirrup,
         QStringLiteral("stirrup"),
         QStringLiteral("矩形箍筋（135°弯钩）"),
         {QStringLiteral("A"), QStringLiteral("B")},
         {},
         QStringLiteral("2×(A + B) − 3×δ90 + 2×h135")},
        {Shape::Tie,
         QStringLiteral("tie"),
         QStringLiteral("拉筋（两端135°弯钩）"),
         {QStringLiteral("A")},
         {},
         QStringLiteral("A + 2×h135")},
        {Shape::Hoop,
         QStringLiteral("hoop"),
         QStringLiteral("圆形箍筋（搭接）"),
         {QStringLiteral("D"), QStringLiteral("lap")},
         {},
         QStringLiteral("π×(D − d) + 搭接")},
        {Shape::Spiral,
         QStringLiteral("spiral"),
         QStringLiteral("螺旋箍筋"),
         {QStringLiteral("D"), QStringLiteral("P"), QStringLiteral("H"), QStringLiteral("N")},
         {QStringLiteral("N")},
         QStringLiteral("(H / P)×√((π×(D − d))² + P²) + 2×N×π×(D − d)")},
    };
    return list;
}

const ShapeInfo& shapeInfo(Shape shape) {
    for (const ShapeInfo& info : shapes())
        if (info.shape == shape)
            return info;
    return shapes().first();
}

std::optional<Shape> shapeFromCode(const QString& code) {
    const QString wanted = code.trimmed();
    for (const ShapeInfo& info : shapes())
        if (info.code.compare(wanted, Qt::CaseInsensitive) == 0)
            return info.shape;
    return std::nullopt;
}

} // namespace schedule
