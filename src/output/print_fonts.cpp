#include "output/print_fonts.h"

namespace output {

QStringList printFamilies() {
    return {QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("Microsoft YaHei"),
            QStringLiteral("微软雅黑"),
            QStringLiteral("SimSun"),
            QStringLiteral("宋体"),
            QStringLiteral("Source Han Sans SC")};
}

QFont printFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(printFamilies());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

} // namespace output
