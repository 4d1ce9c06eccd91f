#include "list_module/shop_commands.h"

#include "list_module/list_command.h"

#include "core/plans/list_plan.h"
#include "core/schedule/list_file.h"
#include "core/schedule/whole_file.h"
#include "core/shop/bvbs_list.h"
#include "core/shop/cutting_sheet.h"
#include "output/cutting_sheet_pages.h"
#include "output/cutting_sheet_xlsx.h"

#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>

namespace cli {

ListOutput runBvbs(const BvbsOptions& options) {
    ListOutput output;
    const std::optional<schedule::CuttingList> list = readList(options.path, output);
    if (!list)
        return output;
    const shop::BvbsExport written = shop::bvbsOfList(
        *list, {options.pinyin ? shop::NonAsciiText::Pinyin : shop::NonAsciiText::Drop,
                QFileInfo(options.path).completeBaseName()});
    for (const shop::BvbsLeftOut& row : written.leftOut)
        output.errors
            << QStringLiteral("%1: %2 未写入：%3").arg(options.path, row.what, row.reason);
    if (!written.leftOut.isEmpty())
        output.status = 1;
    if (written.records.isEmpty()) {
        output.errors << QStringLiteral("%1: 没有可写入 BVBS 的行").arg(options.path);
        output.status = 1;
        return output;
    }
    if (options.output.isEmpty()) {
        output.outUtf8 = written.fileBytes();
        return output;
    }
    if (const std::optional<QString> error =
            schedule::writeWholeFile(options.output, written.fileBytes())) {
        output.errors << QStringLiteral("%1: %2").arg(options.output, *error);
        output.status = 1;
    }
    return output;
}

ListOutput runCuttingSheet(const CuttingSheetOptions& options) {
    ListOutput output;
    const auto fail = [&](const QString& reason) {
        output.errors << QStringLiteral("%1: %2").arg(options.path, reason);
        output.status = 1;
        return output;
    };
    const schedule::LoadedList loaded = schedule::loadListFile(options.path);
    if (!loaded.list)
        return fail(loaded.error);
    const plans::LoadedPlan plan = plans::planFromJson(loaded.plan);
    if (!plan.plan)
        return fail(plan.error.isEmpty()
                        ? QStringLiteral("文件里没有下料方案：请先在下料单窗口的“下料优化”页"
                                         "计算方案并保存")
                        : plan.error);
    const shop::CuttingSheet sheet = shop::cuttingSheetOf(*loaded.list, *plan.plan);
    if (sheet.outOfDate)
        output.errors << QStringLiteral("%1: 方案已过期：下料单在方案算出后有改动，下料单按旧方案"
                                        "写出并注明")
                             .arg(options.path);
    std::optional<QString> error;
    const QString target = options.pdf.isEmpty() ? options.xlsx : options.pdf;
    if (!options.pdf.isEmpty()) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return fail(QStringLiteral("此处无法绘制 PDF 页面"));
        error = output::writeCuttingSheetPdf(options.pdf, {sheet, QDate::currentDate()},
                                             output::PageChoice{});
    } else {
        error = output::writeCuttingSheetXlsx(options.xlsx, sheet);
    }
    if (error) {
        output.errors << QStringLiteral("%1: %2").arg(target, *error);
        output.status = 1;
    }
    return output;
}

} // namespace cli
