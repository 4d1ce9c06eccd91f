#include "cli/list_command.h"

#include "schedule/computation.h"
#include "schedule/csv.h"
#include "schedule/list_file.h"
#include "schedule/list_report.h"

#include <QFile>
#include <QFileInfo>

namespace cli {

ListOutput runList(const QString& path, bool nonSeismic, bool json) {
    ListOutput output;
    schedule::CuttingList list;
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            output.errors << QStringLiteral("%1: 无法打开文件：%2").arg(path, file.errorString());
            output.status = 1;
            return output;
        }
        schedule::CsvImport read = schedule::importCsv(file.readAll());
        if (!read.error.isEmpty()) {
            output.errors << QStringLiteral("%1: %2").arg(path, read.error);
            output.status = 1;
            return output;
        }
        // The readable rows are still worked out; the status tells a script
        // that some were not.
        for (const schedule::CsvProblem& p : read.problems)
            output.errors << QStringLiteral("%1: 第 %2 行：%3").arg(path).arg(p.line).arg(p.reason);
        if (!read.problems.isEmpty())
            output.status = 1;
        list = read.list;
    } else {
        const schedule::LoadedList loaded = schedule::loadListFile(path);
        if (!loaded.list) {
            output.errors << QStringLiteral("%1: %2").arg(path, loaded.error);
            output.status = 1;
            return output;
        }
        list = *loaded.list;
    }
    if (nonSeismic)
        list.settings.seismic = false;
    const schedule::ComputedList computed = schedule::computeList(list);
    output.out =
        json ? QString::fromUtf8(schedule::listReportJson(list, computed)) + QLatin1Char('\n')
             : schedule::listReportText(list, computed);
    return output;
}

} // namespace cli
