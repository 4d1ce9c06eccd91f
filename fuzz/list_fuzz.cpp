// libFuzzer target for what users open: cutting-list files and CSV sheets.
// Whatever the bytes, reading never crashes; a list that was read saves and
// reads back unchanged; its totals are the sum of its rows; its CSV export
// reads back row for row.
#include "core/schedule/computation.h"
#include "core/schedule/csv.h"
#include "core/schedule/list_file.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "list_fuzz: %s\n", what);
        std::abort();
    }
}

void checkTotals(const schedule::CuttingList& list) {
    const schedule::ComputedList computed = schedule::computeList(list);
    long long bars = 0, lengthMm = 0, massMg = 0;
    int leftOut = 0, rows = 0;
    for (const QList<schedule::RowResult>& member : computed.results)
        for (const schedule::RowResult& r : member) {
            ++rows;
            if (r.problem) {
                ++leftOut;
                continue;
            }
            require(r.cutLength > 0 && r.cutLength <= 1e6, "cut length out of range");
            bars += r.bars;
            lengthMm += r.totalLengthMm;
            massMg += r.totalMassMg;
        }
    require(computed.rowsLeftOut == leftOut, "rows left out miscounted");
    require(computed.bars == bars && computed.totalLengthMm == lengthMm &&
                computed.totalMassMg == massMg,
            "totals differ from the rows' sum");
    long long summaryMg = 0;
    for (const schedule::SummaryLine& line : computed.summary)
        summaryMg += line.totalMassMg;
    require(summaryMg == massMg, "summary differs from the total");

    const schedule::CsvImport back = schedule::importCsv(schedule::exportCsv(list, computed));
    require(back.error.isEmpty() || rows == 0, "own CSV export not readable");
    require(back.problems.isEmpty(), "own CSV export has unreadable lines");
    require(back.rowsRead == rows, "own CSV export lost rows");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const schedule::LoadedList loaded = schedule::listFromJson(bytes);
    if (loaded.list) {
        const schedule::LoadedList again =
            schedule::listFromJson(schedule::listToJson(*loaded.list));
        require(again.list && *again.list == *loaded.list, "file does not read back as saved");
        checkTotals(*loaded.list);
    } else {
        require(!loaded.error.isEmpty(), "a refused file without a reason");
    }
    const schedule::CsvImport csv = schedule::importCsv(bytes);
    if (csv.error.isEmpty())
        checkTotals(csv.list);
    return 0;
}
