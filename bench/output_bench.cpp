// Times the printed pages and the workbook of a 500-row cutting list: the
// PDF (pages laid out, sketches drawn, fonts embedded, the text maps
// mended) and the Excel workbook, each written to a file several times.
// Usage: output_bench [rows] [runs] [folder to keep the files in]
#include "core/plans/list_pieces.h"

#include "core/plans/planner.h"
#include "output/pdf_export.h"
#include "output/xlsx_export.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRectF>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using codes::SteelGrade;
using schedule::Shape;

// Rows of every shape a beam and column schedule has, ten to a member.
schedule::CuttingList mixedList(int rows) {
    struct Kind {
        Shape shape;
        SteelGrade grade;
        int d;
        QMap<QString, double> dims;
    };
    const Kind kinds[] = {
        {Shape::Straight, SteelGrade::HRB400, 25, {{"A", 5600}}},
        {Shape::L, SteelGrade::HRB400, 22, {{"A", 4200}, {"B", 330}}},
        {Shape::U, SteelGrade::HRB400, 16, {{"A", 200}, {"B", 400}, {"C", 200}}},
        {Shape::Bent,
         SteelGrade::HPB300,
         20,
         {{"A", 400}, {"B", 566}, {"C", 3000}, {"D", 566}, {"E", 400}}},
        {Shape::Stirrup, SteelGrade::HPB300, 8, {{"A", 250}, {"B", 550}}},
        {Shape::Tie, SteelGrade::HPB300, 8, {{"A", 250}}},
        {Shape::Hook180, SteelGrade::HPB300, 12, {{"A", 3000}}},
        {Shape::Hoop, SteelGrade::HPB300, 10, {{"D", 600}, {"lap", 300}}},
        {Shape::Spiral, SteelGrade::HPB300, 8, {{"D", 500}, {"P", 100}, {"H", 3000}}},
        {Shape::Straight, SteelGrade::HRB400, 12, {{"A", 2900}}},
    };
    schedule::CuttingList list;
    list.project = QStringLiteral("基准");
    for (int i = 0; i < rows; ++i) {
        if (i % 10 == 0)
            list.members << schedule::Member{QStringLiteral("KL%1").arg(i / 10 + 1), 2, {}};
        const Kind& k = kinds[i % 10];
        schedule::BarRow row;
        row.mark = QString::number(i % 10 + 1);
        row.shape = k.shape;
        row.grade = k.grade;
        row.diameter = k.d;
        row.dimensions = k.dims;
        row.countPerMember = 2 + i % 7;
        list.members.last().rows << row;
    }
    return list;
}

struct Timing {
    double best = 0;
    double median = 0;
};

template <typename Write> Timing timed(int runs, Write write) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        write(i);
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    output::Printout printout;
    printout.list = mixedList(rows);
    printout.computed = schedule::computeList(printout.list);
    printout.date = QDate::currentDate();
    QTemporaryDir temporary;
    const QDir dir(argc > 3 ? QString::fromLocal8Bit(argv[3]) : temporary.path());

    const output::PrintedPages pages(
        printout, output::pageLayoutOf({}).paintRect(QPageLayout::Millimeter).size());
    const Timing pdf = timed(runs, [&](int i) {
        if (output::writePdf(dir.filePath(QStringLiteral("list%1.pdf").arg(i)), printout, {}))
            std::exit(1);
    });
    const Timing xlsx = timed(runs, [&](int i) {
        if (output::writeXlsx(dir.filePath(QStringLiteral("list%1.xlsx").arg(i)),
                              {&printout.list, &printout.computed, nullptr, false}))
            std::exit(1);
    });
    // The list with its cutting plan: the plan's pages and sheet as well.
    printout.planSettings.stock = {{12000, std::nullopt}, {9000, std::nullopt}};
    printout.plan =
        plans::planGroups(plans::piecesFromList(printout.list).groups, printout.planSettings);
    const output::PrintedPages withPlan(
        printout, output::pageLayoutOf({}).paintRect(QPageLayout::Millimeter).size());
    const Timing pdfPlan = timed(runs, [&](int i) {
        if (output::writePdf(dir.filePath(QStringLiteral("plan%1.pdf").arg(i)), printout, {}))
            std::exit(1);
    });
    const Timing xlsxPlan = timed(runs, [&](int i) {
        if (output::writeXlsx(dir.filePath(QStringLiteral("plan%1.xlsx").arg(i)),
                              {&printout.list, &printout.computed, &*printout.plan, false}))
            std::exit(1);
    });

    std::printf("%d rows, %d runs each, best and median in ms\n", rows, runs);
    std::printf("PDF, A4, %d pages:           %8.1f %8.1f\n", pages.pageCount(), pdf.best,
                pdf.median);
    std::printf("XLSX:                        %8.1f %8.1f\n", xlsx.best, xlsx.median);
    std::printf("PDF with the plan, %d pages: %8.1f %8.1f\n", withPlan.pageCount(), pdfPlan.best,
                pdfPlan.median);
    std::printf("XLSX with the plan:          %8.1f %8.1f\n", xlsxPlan.best, xlsxPlan.median);
    return 0;
}
