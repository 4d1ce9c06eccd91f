#include "core/schedule/dimension_text.h"

#include "core/numbers/number_text.h"

#include <cmath>

namespace schedule {

QList<DimensionLabel> dimensionLabels(const BarRow& row) {
    QList<DimensionLabel> labels;
    for (const QString& letter : shapeInfo(row.shape).letters) {
        const auto it = row.dimensions.constFind(letter);
        if (it == row.dimensions.constEnd() || !std::isfinite(*it))
            continue;
        const QString value = numbers::generalNumberText(*it);
        QString text;
        if (letter == QLatin1String("angle"))
            text = QStringLiteral("α=%1°").arg(value);
        else if (letter == QLatin1String("lap"))
            text = QStringLiteral("搭接 %1").arg(value);
        else if (letter == QLatin1String("N"))
            text = QStringLiteral("N=%1 圈").arg(value);
        else
            text = QStringLiteral("%1=%2").arg(letter, value);
        labels << DimensionLabel{letter, text};
    }
    return labels;
}

QString dimensionsText(const BarRow& row) {
    QStringList texts;
    for (const DimensionLabel& label : dimensionLabels(row))
        texts << label.text;
    return texts.join(QLatin1Char(' '));
}

} // namespace schedule
