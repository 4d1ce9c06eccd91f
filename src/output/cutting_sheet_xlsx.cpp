#include "output/cutting_sheet_xlsx.h"

#include "output/xlsx_book.h"

namespace output {

using namespace xlsx;

QString cuttingSheetTabName(const shop::SheetGroup& group) {
    // Excel's tab names: at most 31 characters, none of []:*?/\.
    QString name = shop::sheetGroupName(group);
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        name.replace(c, QLatin1Char('_'));
    return name.left(31);
}

namespace {

QString offcutUse(const shop::SheetPattern& p) {
    if (p.offcut == 0)
        return QStringLiteral("无余头");
    return p.offcutKept ? QStringLiteral("余料，入库") : QStringLiteral("废料");
}

void writeGroup(Sheet& s, const shop::SheetGroup& g, const shop::CuttingSheet& sheet,
                const Formats& f) {
    s.header({QStringLiteral("序号"), QStringLiteral("原料长度(mm)"), QStringLiteral("根数"),
              QStringLiteral("切断顺序"), QStringLiteral("下料长度(mm)"),
              QStringLiteral("每根段数"), QStringLiteral("构件 编号"), QStringLiteral("余头(mm)"),
              QStringLiteral("余头去向"), QStringLiteral("定尺次数")},
             f.header);
    worksheet_set_landscape(s.sheet);
    const auto whole = [&](int row, int column, long long value, lxw_format* format = nullptr) {
        s.number(row, column, static_cast<double>(value), format ? format : f.whole,
                 QString::number(value));
    };
    // Lines of notes run on across the columns and set no width.
    const auto note = [&s](int row, const QString& text, lxw_format* format = nullptr) {
        worksheet_write_string(s.sheet, row, 0, cellText(text).constData(), format);
    };
    int line = 1;
    if (!g.error.isEmpty()) {
        note(line++, QStringLiteral("无方案：%1").arg(g.error), f.problem);
        return;
    }
    for (const shop::SheetPattern& p : g.patterns) {
        whole(line, 0, p.number);
        whole(line, 1, p.stock);
        whole(line, 2, p.bars);
        whole(line, 7, p.offcut);
        s.text(line, 8, offcutUse(p));
        whole(line, 9, p.stops);
        for (int k = 0; k < p.cuts.size(); ++k, ++line) {
            const shop::SheetCut& cut = p.cuts[k];
            whole(line, 3, k + 1);
            whole(line, 4, cut.length);
            whole(line, 5, cut.pieces);
            s.text(line, 6, cut.label);
        }
    }
    line += 1;
    const auto metres = [](long long mm) { return static_cast<double>(mm) / 1000; };
    s.text(line, 0, QStringLiteral("余料入库"), f.bold);
    s.text(line, 1, QStringLiteral("长度(mm)"), f.header);
    s.text(line++, 2, QStringLiteral("根数"), f.header);
    if (g.keptOffcuts.isEmpty())
        s.text(line++, 1, QStringLiteral("无"));
    for (const shop::SheetOffcut& o : g.keptOffcuts) {
        whole(line, 1, o.length);
        whole(line++, 2, o.bars);
    }
    line += 1;
    s.text(line, 0, QStringLiteral("领用原料"), f.bold);
    s.text(line, 1, QStringLiteral("长度(mm)"), f.header);
    s.text(line, 2, QStringLiteral("根数"), f.header);
    s.text(line++, 3, QStringLiteral("来源"), f.header);
    for (const plans::StockUse& u : g.stock) {
        whole(line, 1, u.length);
        whole(line, 2, u.count);
        s.text(line++, 3,
               u.source == plans::StockSource::OnHand   ? QStringLiteral("库存")
               : u.source == plans::StockSource::Offcut ? QStringLiteral("余料库")
                                                        : QStringLiteral("新购"));
    }
    line += 1;
    const QStringList titles{QStringLiteral("原料总长(m)"), QStringLiteral("下料总长(m)"),
                             QStringLiteral("保留余料(m)"), QStringLiteral("废料(m)"),
                             QStringLiteral("利用率"),      QStringLiteral("下料段数")};
    for (int c = 0; c < titles.size(); ++c)
        s.text(line, c + 1, titles[c], f.header);
    ++line;
    s.number(line, 1, metres(g.stockLength), f.m3, fixed(metres(g.stockLength), 3));
    s.number(line, 2, metres(g.piecesLength), f.m3, fixed(metres(g.piecesLength), 3));
    s.number(line, 3, metres(g.keptOffcut), f.m3, fixed(metres(g.keptOffcut), 3));
    s.number(line, 4, metres(g.waste), f.m3, fixed(metres(g.waste), 3));
    s.number(line, 5, g.utilisation, f.percent, fixed(g.utilisation * 100, 2) + QLatin1Char('%'));
    whole(line++, 6, g.pieces);
    for (const plans::SplicedPiece& sp : g.splices) {
        QStringList segments;
        for (long long seg : sp.segments)
            segments << QString::number(seg);
        note(++line, QStringLiteral("接长 %1：%2 mm × %3 根，由 %4 mm 各段%5")
                         .arg(sp.label)
                         .arg(sp.length)
                         .arg(sp.count)
                         .arg(segments.join(QStringLiteral(" + ")))
                         .arg(sp.lap > 0 ? QStringLiteral("搭接 %1 mm").arg(sp.lap)
                                         : QStringLiteral("机械连接")));
    }
    if (sheet.outOfDate)
        note(line + 2,
             QStringLiteral("方案已过期：下料单在方案算出后有改动，请在“下料优化”中重新计算"),
             f.problem);
}

} // namespace

std::optional<QString> writeCuttingSheetXlsx(const QString& path, const shop::CuttingSheet& sheet) {
    if (sheet.groups.isEmpty())
        return QStringLiteral("方案中没有钢筋");
    const QString title = sheet.project.isEmpty()
                              ? QStringLiteral("钢筋下料单（按原料）")
                              : QStringLiteral("%1 钢筋下料单（按原料）").arg(sheet.project);
    return writeBook(path, title, [&sheet](Book& book) {
        for (const shop::SheetGroup& g : sheet.groups) {
            const QByteArray name = cuttingSheetTabName(g).toUtf8();
            Sheet s{workbook_add_worksheet(book.workbook, name.constData()), {}};
            writeGroup(s, g, sheet, book.formats);
            s.widths.apply(s.sheet);
        }
    });
}

} // namespace output
