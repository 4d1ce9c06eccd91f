#include "core/tags/tag_sheets.h"

#include "core/numbers/number_text.h"

namespace tags {

QRectF TagSheet::tagRect(int index) const {
    const int column = index % columns;
    const int row = index / columns;
    return QRectF(first + QPointF(column * pitch.width(), row * pitch.height()), tag);
}

TagSheet tagSheetOf(TagLayout layout) {
    switch (layout) {
    case TagLayout::Sheet3x7:
        // 21 labels of 63.5 × 38.1 mm, 2.54 mm apart across, none down: the
        // common A4 address-label sheet (Avery L7160 and its equals). The
        // sheet's own margins keep every label inside what a printer reaches.
        return {{210, 297}, 3, 7, {63.5, 38.1}, {7.21, 15.15}, {66.04, 38.1}};
    case TagLayout::Sheet2x4:
        // 8 labels of 99.1 × 67.7 mm (Avery L7165 and its equals).
        return {{210, 297}, 2, 4, {99.1, 67.7}, {4.65, 13.1}, {101.6, 67.7}};
    case TagLayout::Label100x70:
        return {{100, 70}, 1, 1, {100, 70}, {0, 0}, {100, 70}};
    case TagLayout::Label80x50:
        return {{80, 50}, 1, 1, {80, 50}, {0, 0}, {80, 50}};
    }
    return {};
}

const QList<TagLayout>& tagLayouts() {
    static const QList<TagLayout> all{TagLayout::Sheet3x7, TagLayout::Sheet2x4,
                                      TagLayout::Label100x70, TagLayout::Label80x50};
    return all;
}

QString layoutCode(TagLayout layout) {
    switch (layout) {
    case TagLayout::Sheet3x7:
        return QStringLiteral("3x7");
    case TagLayout::Sheet2x4:
        return QStringLiteral("2x4");
    case TagLayout::Label100x70:
        return QStringLiteral("100x70");
    case TagLayout::Label80x50:
        return QStringLiteral("80x50");
    }
    return {};
}

std::optional<TagLayout> layoutFromCode(const QString& code) {
    QString plain = code.trimmed().toLower();
    plain.replace(QChar(0x00D7), QLatin1Char('x')).replace(QLatin1Char('*'), QLatin1Char('x'));
    plain.remove(QLatin1Char(' '));
    if (plain.endsWith(QLatin1String("mm")))
        plain.chop(2);
    for (TagLayout layout : tagLayouts())
        if (plain == layoutCode(layout))
            return layout;
    return std::nullopt;
}

QString layoutCaption(TagLayout layout) {
    const TagSheet sheet = tagSheetOf(layout);
    const QString size = QStringLiteral("%1×%2 mm")
                             .arg(numbers::generalNumberText(sheet.tag.width()),
                                  numbers::generalNumberText(sheet.tag.height()));
    if (sheet.perPage() > 1)
        return QStringLiteral("A4 标签纸 %1×%2（每页 %3 张，%4）")
            .arg(sheet.columns)
            .arg(sheet.rows)
            .arg(sheet.perPage())
            .arg(size);
    return QStringLiteral("标签打印机 %1（每张一个料牌）").arg(size);
}

int pageCount(TagLayout layout, int tags) {
    const int per = tagSheetOf(layout).perPage();
    return tags <= 0 ? 0 : (tags + per - 1) / per;
}

} // namespace tags
