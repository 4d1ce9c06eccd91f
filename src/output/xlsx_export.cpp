#include "output/xlsx_export.h"

#include "drawing/plans/plan_drawing.h"

#include "core/schedule/dimension_text.h"
#include "output/xlsx_book.h"

namespace output {

using namespace schedule;

QString listSheetName() {
    return QStringLiteral("下料单");
}
QString summarySheetName() {
    return QStringLiteral("汇总");
}
QString planSheetName() {
    return QStringLiteral("下料优化");
}

namespace {

using namespace xlsx;

void writeListSheet(Sheet& s, const CuttingList& list, const ComputedList& computed,
                    const Formats& f) {
    s.header({QStringLiteral("构件"), QStringLiteral("构件数"), QStringLiteral("编号"),
              QStringLiteral("形状"), QStringLiteral("牌号"), QStringLiteral("直径(mm)"),
              QStringLiteral("尺寸(mm)"), QStringLiteral("弯曲直径(mm)"),
              QStringLiteral("每件根数"), QStringLiteral("下料长度(mm)"), QStringLiteral("根数"),
              QStringLiteral("单位质量(kg/m)"), QStringLiteral("单根质量(kg)"),
              QStringLiteral("总长(m)"), QStringLiteral("总质量(kg)"), QStringLiteral("问题"),
              QStringLiteral("备注")},
             f.header);
    worksheet_set_landscape(s.sheet);
    int line = 1;
    for (int m = 0; m < list.members.size(); ++m) {
        const Member& member = list.members[m];
        for (int r = 0; r < member.rows.size(); ++r, ++line) {
            const BarRow& row = member.rows[r];
            const RowResult& result = computed.results.value(m).value(r);
            s.text(line, 0, member.name);
            s.number(line, 1, member.count, f.whole, QString::number(member.count));
            s.text(line, 2, row.mark);
            s.text(line, 3, shapeInfo(row.shape).name);
            s.text(line, 4, codes::gradeName(row.grade));
            if (row.diameter > 0)
                s.number(line, 5, row.diameter, f.whole, QString::number(row.diameter));
            s.text(line, 6, dimensionsText(row));
            if (!result.problem)
                s.number(line, 7, result.mandrel, nullptr, QString::number(result.mandrel, 'g', 6));
            else if (row.mandrel)
                s.number(line, 7, *row.mandrel, nullptr, QString::number(*row.mandrel, 'g', 6));
            s.number(line, 8, row.countPerMember, f.whole, QString::number(row.countPerMember));
            if (result.problem) {
                // Said in the row, so that nobody takes an empty cell for a zero.
                s.text(line, 9, QStringLiteral("无法计算"), f.problem);
                s.text(line, 15, result.problem->reason, f.problem);
            } else {
                s.number(line, 9, result.cutLength, f.whole, fixed(result.cutLength, 0));
                s.number(line, 10, static_cast<double>(result.bars), f.whole,
                         QString::number(result.bars));
                s.number(line, 11, result.unitMass, f.kg3, fixed(result.unitMass, 3));
                s.number(line, 12, result.barMass, f.kg3, fixed(result.barMass, 3));
                s.number(line, 13, result.totalLength, f.m3, fixed(result.totalLength, 3));
                s.number(line, 14, result.totalMass, f.kg2, fixed(result.totalMass, 2));
            }
            if (!row.note.isEmpty())
                s.text(line, 16, row.note);
        }
    }
    s.widths.note(6, QStringLiteral("A=5000 B=300"));
}

void writeSummarySheet(Sheet& s, const CuttingList& list, const ComputedList& computed,
                       const Formats& f) {
    s.header({QStringLiteral("牌号"), QStringLiteral("直径(mm)"), QStringLiteral("根数"),
              QStringLiteral("总长(m)"), QStringLiteral("总质量(kg)"), QStringLiteral("总质量(t)")},
             f.header);
    int line = 1;
    for (const SummaryLine& l : computed.summary) {
        s.text(line, 0, codes::gradeName(l.grade));
        s.number(line, 1, l.diameter, f.whole, QString::number(l.diameter));
        s.number(line, 2, static_cast<double>(l.bars), f.whole, QString::number(l.bars));
        s.number(line, 3, l.totalLength, f.m3, fixed(l.totalLength, 3));
        s.number(line, 4, l.totalMass, f.kg2, fixed(l.totalMass, 2));
        s.number(line, 5, static_cast<double>(l.totalMassMg) / 1e9, f.kg3,
                 fixed(l.totalMass / 1000, 3));
        ++line;
    }
    s.text(line, 0, QStringLiteral("合计"), f.bold);
    s.number(line, 2, static_cast<double>(computed.bars), f.boldWhole,
             QString::number(computed.bars));
    s.number(line, 3, computed.totalLength, f.boldM3, fixed(computed.totalLength, 3));
    s.number(line, 4, computed.totalMass, f.boldKg2, fixed(computed.totalMass, 2));
    s.number(line, 5, static_cast<double>(computed.totalMassMg) / 1e9, f.boldM3,
             fixed(computed.totalMass / 1000, 3));
    line += 2;
    if (computed.rowsLeftOut > 0) {
        s.text(line++, 0,
               QStringLiteral("另有 %1 行有问题，无法计算，未计入合计（见“%2”表的“问题”列）")
                   .arg(computed.rowsLeftOut)
                   .arg(listSheetName()),
               f.problem);
    }
    if (!list.project.isEmpty())
        s.text(line++, 0, QStringLiteral("工程：%1").arg(list.project));
    s.text(line++, 0,
           QStringLiteral("箍筋弯钩平直段：%1；下料长度取整到 %2 mm")
               .arg(list.settings.seismic ? QStringLiteral("抗震 10d（≥75 mm）")
                                          : QStringLiteral("非抗震 5d"))
               .arg(static_cast<int>(list.settings.rounding)));
    // The notes below the table run on across the columns; they set no width.
    Widths widths;
    for (int c = 0; c < 6; ++c)
        widths.note(c, QStringLiteral("0000000.000"));
    s.widths = widths;
}

QString outOfDateNote() {
    return QStringLiteral("方案已过期：下料单在方案算出后有改动，请在“下料优化”中重新计算");
}

QString groupTitle(const plans::GroupPlan& g) {
    QString title = g.grade.isEmpty() ? QStringLiteral("（未分牌号）") : g.grade;
    return title;
}

QString cutsText(const plans::Pattern& p) {
    // Equal pieces side by side are written once with their number.
    QStringList parts;
    for (int i = 0; i < p.pieces.size();) {
        int j = i;
        while (j < p.pieces.size() && p.pieces[j].length == p.pieces[i].length &&
               p.pieces[j].label == p.pieces[i].label)
            ++j;
        QString piece = QString::number(p.pieces[i].length);
        if (!p.pieces[i].label.isEmpty())
            piece += QStringLiteral("（%1）").arg(p.pieces[i].label);
        if (j - i > 1)
            piece += QStringLiteral("×%1").arg(j - i);
        parts << piece;
        i = j;
    }
    return parts.join(QStringLiteral(" + "));
}

void writePlanSheet(Sheet& s, const plans::Plan& plan, bool outOfDate, const Formats& f) {
    s.header({QStringLiteral("牌号"), QStringLiteral("直径(mm)"), QStringLiteral("原料长度(mm)"),
              QStringLiteral("根数"), QStringLiteral("每根切成(mm)（编号）"),
              QStringLiteral("段数"), QStringLiteral("余头(mm)"), QStringLiteral("余头处理")},
             f.header);
    worksheet_set_landscape(s.sheet);
    int line = 1;
    for (const plans::GroupPlan& g : plan.groups) {
        if (!g.error.isEmpty()) {
            s.text(line, 0, groupTitle(g));
            if (g.diameter > 0)
                s.number(line, 1, g.diameter, f.whole, QString::number(g.diameter));
            s.text(line, 4, QStringLiteral("无方案：%1").arg(g.error), f.problem);
            ++line;
            continue;
        }
        for (const plans::Pattern& p : g.patterns) {
            s.text(line, 0, groupTitle(g));
            if (g.diameter > 0)
                s.number(line, 1, g.diameter, f.whole, QString::number(g.diameter));
            s.number(line, 2, static_cast<double>(p.stock), f.whole, QString::number(p.stock));
            s.number(line, 3, static_cast<double>(p.count), f.whole, QString::number(p.count));
            s.text(line, 4, cutsText(p));
            s.number(line, 5, static_cast<double>(p.pieces.size()), f.whole,
                     QString::number(p.pieces.size()));
            s.number(line, 6, static_cast<double>(p.offcut), f.whole, QString::number(p.offcut));
            s.text(line, 7,
                   p.offcut == 0  ? QStringLiteral("无")
                   : p.offcutKept ? QStringLiteral("余料，保留")
                                  : QStringLiteral("废料"));
            ++line;
        }
    }

    // Each group's totals below the cuts: what to buy, how much is used, and
    // how far the plan can be from the best.
    line += 1;
    if (outOfDate) {
        s.text(line, 0, outOfDateNote(), f.problem);
        line += 2;
    }
    const QStringList titles{QStringLiteral("牌号"),        QStringLiteral("直径(mm)"),
                             QStringLiteral("需购原料"),    QStringLiteral("原料总长(m)"),
                             QStringLiteral("下料总长(m)"), QStringLiteral("保留余料(m)"),
                             QStringLiteral("废料(m)"),     QStringLiteral("利用率"),
                             QStringLiteral("下界(m)"),     QStringLiteral("已证明最优")};
    for (int c = 0; c < titles.size(); ++c)
        s.text(line, c, titles[c], f.header);
    ++line;
    const auto metres = [](long long mm) { return static_cast<double>(mm) / 1000; };
    for (const plans::GroupPlan& g : plan.groups) {
        if (!g.error.isEmpty())
            continue;
        s.text(line, 0, groupTitle(g));
        if (g.diameter > 0)
            s.number(line, 1, g.diameter, f.whole, QString::number(g.diameter));
        QStringList stock;
        for (const plans::StockUse& u : g.stock)
            stock << schedule::stockUseText(u);
        s.text(line, 2, stock.join(QStringLiteral("，")));
        s.number(line, 3, metres(g.stockLength), f.m3, fixed(metres(g.stockLength), 3));
        s.number(line, 4, metres(g.piecesLength), f.m3, fixed(metres(g.piecesLength), 3));
        s.number(line, 5, metres(g.keptOffcut), f.m3, fixed(metres(g.keptOffcut), 3));
        s.number(line, 6, metres(g.waste), f.m3, fixed(metres(g.waste), 3));
        s.number(line, 7, g.utilisation, f.percent, fixed(g.utilisation * 100, 2) + '%');
        if (g.pricing == plans::Pricing::None) {
            s.number(line, 8, g.lowerBound / 1000, f.m3, fixed(g.lowerBound / 1000, 3));
            s.text(line, 9,
                   g.proven ? QStringLiteral("是")
                            : QStringLiteral("否（至多多用 %1 mm）").arg(g.cost - g.leastPossible));
        } else {
            // Priced: the bound is money, not metres of stock.
            s.text(line, 8, schedule::yuanAmountText(double(g.leastPossible)));
            s.text(line, 9, schedule::optimalityText(g));
        }
        ++line;
    }
}

} // namespace

std::optional<QString> writeXlsx(const QString& path, const WorkbookContent& content) {
    if (!content.list || !content.computed)
        return QStringLiteral("没有下料单");
    const QString title = content.list->project.isEmpty()
                              ? QStringLiteral("钢筋下料单")
                              : QStringLiteral("%1 钢筋下料单").arg(content.list->project);
    return writeBook(path, title, [&content](Book& book) {
        const Formats& formats = book.formats;
        const QByteArray listName = listSheetName().toUtf8();
        const QByteArray summaryName = summarySheetName().toUtf8();
        const QByteArray planName = planSheetName().toUtf8();
        Sheet list{workbook_add_worksheet(book.workbook, listName.constData()), {}};
        writeListSheet(list, *content.list, *content.computed, formats);
        list.widths.apply(list.sheet);
        Sheet summary{workbook_add_worksheet(book.workbook, summaryName.constData()), {}};
        writeSummarySheet(summary, *content.list, *content.computed, formats);
        summary.widths.apply(summary.sheet);
        if (content.plan && !content.plan->groups.isEmpty()) {
            Sheet plan{workbook_add_worksheet(book.workbook, planName.constData()), {}};
            writePlanSheet(plan, *content.plan, content.planOutOfDate, formats);
            plan.widths.apply(plan.sheet);
        }
    });
}

} // namespace output
