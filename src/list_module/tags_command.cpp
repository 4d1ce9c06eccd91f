#include "list_module/tags_command.h"

#include "list_module/list_command.h"

#include "core/numbers/number_reading.h"
#include "core/schedule/computation.h"
#include "core/tags/bundle_tags.h"
#include "core/tags/tag_sheets.h"
#include "output/tag_pages.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace cli {

ListOutput runTags(const TagOptions& options) {
    ListOutput output;
    const auto fail = [&](const QString& reason) {
        output.errors << reason;
        output.status = 1;
        return output;
    };
    if (options.pdf.isEmpty())
        return fail(QStringLiteral("--tags 需要 --pdf 给出要写的 PDF 文件"));
    tags::TagLayout layout = tags::TagLayout::Sheet3x7;
    if (!options.layout.isEmpty()) {
        const std::optional<tags::TagLayout> chosen = tags::layoutFromCode(options.layout);
        if (!chosen)
            return fail(
                QStringLiteral("--layout：“%1”应为 3x7、2x4、100x70 或 80x50").arg(options.layout));
        layout = *chosen;
    }
    tags::TagSettings settings;
    // The QR code's bender line as --bvbs writes the list's file.
    settings.bvbs = {options.pinyin ? shop::NonAsciiText::Pinyin : shop::NonAsciiText::Drop,
                     QFileInfo(options.path).completeBaseName()};
    if (!options.bundle.isEmpty()) {
        const std::optional<double> bars = numbers::strictNumber(options.bundle.trimmed());
        if (!bars || !(*bars >= 1) || *bars != std::floor(*bars) || *bars > 1e6)
            return fail(
                QStringLiteral("--bundle：“%1”应为每捆最多的根数（正整数）").arg(options.bundle));
        settings.barsPerBundle = static_cast<int>(*bars);
    }

    const std::optional<schedule::CuttingList> list = readList(options.path, output);
    if (!list)
        return output;
    const tags::TagSet set = tags::bundleTags(*list, schedule::computeList(*list), settings);
    for (const QString& row : set.leftOut)
        output.errors << QStringLiteral("%1: 无法计算，未打印料牌：%2").arg(options.path, row);
    if (!set.leftOut.isEmpty())
        output.status = 1;
    if (set.tags.isEmpty())
        return fail(QStringLiteral("%1: 下料单中没有可以打印料牌的行").arg(options.path));

    const output::TagPrintout printout{set.tags, layout, list->project};
    if (const std::optional<QString> error = output::writeTagsPdf(options.pdf, printout))
        return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(options.pdf), *error));
    output.out = QStringLiteral("已写入 %1：%2 张料牌，%3 页，%4\n")
                     .arg(QDir::toNativeSeparators(options.pdf))
                     .arg(set.tags.size())
                     .arg(tags::pageCount(layout, static_cast<int>(set.tags.size())))
                     .arg(tags::layoutCaption(layout));
    return output;
}

} // namespace cli
