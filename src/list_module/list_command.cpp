#include "list_module/list_command.h"

#include "core/schedule/computation.h"
#include "core/schedule/csv.h"
#include "core/schedule/list_file.h"
#include "core/schedule/list_report.h"
#include "core/schedule/whole_file.h"

#include <QFileInfo>

namespace cli {

std::optional<schedule::CuttingList> readList(const QString& path, ListOutput& output) {
    const auto fail = [&](const QString& reason) {
        output.errors << QStringLiteral("%1: %2").arg(path, reason);
        output.status = 1;
        return std::nullopt;
    };
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) != 0) {
        const schedule::LoadedList loaded = schedule::loadListFile(path);
        if (!loaded.list)
            return fail(loaded.error);
        return *loaded.list;
    }
    const schedule::ReadFile bytes = schedule::readWholeFile(path, schedule::kLargestCsv);
    if (!bytes.error.isEmpty())
        return fail(bytes.error);
    schedule::CsvImport read = schedule::importCsv(bytes.bytes);
    if (!read.error.isEmpty())
        return fail(read.error);
    // The readable rows are still worked out; the status tells a script
    // that some were not.
    for (const schedule::CsvProblem& p : read.problems)
        output.errors << QStringLiteral("%1: 第 %2 行：%3").arg(path).arg(p.line).arg(p.reason);
    if (!read.problems.isEmpty())
        output.status = 1;
    return read.list;
}

ListOutput runList(const QString& path, bool nonSeismic, bool json) {
    ListOutput output;
    std::optional<schedule::CuttingList> list = readList(path, output);
    if (!list)
        return output;
    if (nonSeismic)
        list->settings.seismic = false;
    const schedule::ComputedList computed = schedule::computeList(*list);
    if (json) {
        output.outUtf8 = schedule::listReportJson(*list, computed);
        output.outUtf8 += '\n';
    } else {
        output.out = schedule::listReportText(*list, computed);
    }
    return output;
}

} // namespace cli
