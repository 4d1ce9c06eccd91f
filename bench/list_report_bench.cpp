// Reads, works out and reports a cutting list of 100,000 rows as
// `corvala --list FILE --json` does: the CSV read, the list computed and the
// JSON written. Memory is measured on the command itself (`/usr/bin/time -v`).
#include "core/schedule/computation.h"
#include "core/schedule/csv.h"
#include "core/schedule/list_report.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Straight bars, L bars and stirrups, twenty rows to a member, one with a
// problem in every hundred, as a large project's schedule exported to CSV.
QByteArray bigCsv(int rows) {
    QByteArray csv("member,members,mark,shape,grade,diameter,A,B,count,note\n");
    for (int i = 0; i < rows; ++i) {
        const QByteArray member = "KL" + QByteArray::number(i / 20 + 1);
        switch (i % 3) {
        case 0:
            csv += member + ",2," + QByteArray::number(i % 20 + 1) + ",straight,HRB400,25," +
                   QByteArray::number(3000 + i % 5000) + ",,4,底筋\n";
            break;
        case 1:
            csv += member + ",2," + QByteArray::number(i % 20 + 1) + ",L,HRB400,22," +
                   QByteArray::number(4000 + i % 3000) + ",330,2,\n";
            break;
        default:
            csv += member + ",2," + QByteArray::number(i % 20 + 1) + ",stirrup,HPB300,8,250," +
                   (i % 100 == 2 ? QByteArray("x") : QByteArray("550")) + ",30,箍筋\n";
        }
    }
    return csv;
}

void listJson(benchmark::State& state) {
    const QByteArray csv = bigCsv(int(state.range(0)));
    for (auto _ : state) {
        const schedule::CsvImport read = schedule::importCsv(csv);
        const schedule::ComputedList computed = schedule::computeList(read.list);
        const QByteArray json = schedule::listReportJson(read.list, computed);
        benchmark::DoNotOptimize(json.data());
        state.counters["bytes"] = double(json.size());
    }
}

void listText(benchmark::State& state) {
    const QByteArray csv = bigCsv(int(state.range(0)));
    for (auto _ : state) {
        const schedule::CsvImport read = schedule::importCsv(csv);
        const schedule::ComputedList computed = schedule::computeList(read.list);
        const QString text = schedule::listReportText(read.list, computed);
        benchmark::DoNotOptimize(text.data());
    }
}

} // namespace

BENCHMARK(listJson)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(listText)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    // Writing the CSV for the command line: list_report_bench --write-csv FILE [rows]
    if (argc >= 3 && QByteArray(argv[1]) == "--write-csv") {
        FILE* f = std::fopen(argv[2], "wb");
        if (!f)
            return 1;
        const QByteArray csv = bigCsv(argc > 3 ? std::atoi(argv[3]) : 100'000);
        std::fwrite(csv.constData(), 1, size_t(csv.size()), f);
        return std::fclose(f) == 0 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
