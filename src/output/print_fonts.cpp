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
    // Shaped, a Latin run in a CJK face takes glyphs that Qt's PDF writer
    // maps to no character, and "KL1" would copy as "KL". Plain glyphs
    // are all a list needs.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

} // namespace output
