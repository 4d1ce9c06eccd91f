#include "ui/schedule/shop_output.h"

#include "core/schedule/whole_file.h"
#include "core/shop/bvbs_list.h"
#include "output/cutting_sheet_xlsx.h"
#include "ui/form/feedback.h"
#include "ui/schedule/list_document.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

ShopOutput::ShopOutput(QWidget* window, ListDocument* document,
                       std::function<QString()> suggestedPath,
                       std::function<output::PageChoice()> pageChoice)
    : QObject(window), m_window(window), m_document(document),
      m_suggestedPath(std::move(suggestedPath)), m_pageChoice(std::move(pageChoice)) {
    m_menu = new QMenu(QStringLiteral("加工(&W)"), window);
    m_menu->setObjectName(QStringLiteral("shopMenu"));
    const auto make = [this](const char* name, const QString& text, auto&& slot) {
        auto* action = m_menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        m_window->addAction(action);
        return action;
    };
    m_bvbs =
        make("exportBvbs", QStringLiteral("导出 BVBS 弯曲机文件(&B)…"), [this] { exportBvbs(); });
    m_pinyin = m_menu->addAction(QStringLiteral("BVBS 中的中文写成拼音(&Y)"));
    m_pinyin->setObjectName(QStringLiteral("bvbsPinyin"));
    m_pinyin->setCheckable(true);
    m_pinyin->setToolTip(QStringLiteral("不勾选时，弯曲机读不了的中文去掉，以“~”标出"));
    m_menu->addSeparator();
    make("cuttingSheetPreview", QStringLiteral("下料单（按原料）打印预览(&V)…"),
         [this] { previewSheet(); });
    make("printCuttingSheet", QStringLiteral("打印下料单（按原料）(&P)…"),
         [this] { printSheet(); });
    make("exportCuttingSheetPdf", QStringLiteral("导出下料单（按原料）PDF(&D)…"),
         [this] { exportSheetPdf(); });
    make("exportCuttingSheetExcel", QStringLiteral("导出下料单（按原料）Excel(&X)…"),
         [this] { exportSheetExcel(); });
}

bool ShopOutput::pinyin() const {
    return m_pinyin->isChecked();
}

std::optional<output::SheetPrintout> ShopOutput::sheetPrintout() const {
    const std::optional<plans::ListPlan>& plan = m_document->plan();
    if (!plan)
        return std::nullopt;
    return output::SheetPrintout{shop::cuttingSheetOf(m_document->list(), *plan),
                                 QDate::currentDate()};
}

std::optional<output::SheetPrintout> ShopOutput::sheetOrRefusal() {
    std::optional<output::SheetPrintout> printout = sheetPrintout();
    if (!printout)
        feedback::message(m_window, QStringLiteral("这份下料单还没有下料方案。\n请先在“下料优化”"
                                                   "页计算方案，再打印或导出按原料的下料单。"));
    return printout;
}

QString ShopOutput::chooseTarget(const QString& caption, const QString& suffix,
                                 const QString& filter, const QString& nameEnd) {
    QString path =
        feedback::chooseFile(m_window, feedback::FileChoice::Save, caption,
                             m_suggestedPath() + nameEnd + QLatin1Char('.') + suffix, filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

void ShopOutput::exportBvbs() {
    const QString own = m_document->filePath();
    const shop::BvbsExport written = shop::bvbsOfList(
        m_document->list(),
        {m_pinyin->isChecked() ? shop::NonAsciiText::Pinyin : shop::NonAsciiText::Drop,
         own.isEmpty() ? QString() : QFileInfo(own).completeBaseName()});
    QStringList leftOut;
    for (const shop::BvbsLeftOut& row : written.leftOut)
        leftOut << QStringLiteral("%1：%2").arg(row.what, row.reason);
    if (written.records.isEmpty()) {
        feedback::message(m_window, leftOut.isEmpty()
                                        ? QStringLiteral("下料单中没有钢筋，没有可导出的行。")
                                        : QStringLiteral("没有可写入 BVBS 的行：\n%1")
                                              .arg(leftOut.join(QLatin1Char('\n'))));
        return;
    }
    const QString path = chooseTarget(QStringLiteral("导出 BVBS 弯曲机文件"), QStringLiteral("abs"),
                                      QStringLiteral("BVBS 文件 (*.abs);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error = schedule::writeWholeFile(path, written.fileBytes())) {
        feedback::message(m_window,
                          QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), *error));
        return;
    }
    QString status =
        QStringLiteral("已导出 %1（%2 行）").arg(nativePath(path)).arg(written.records.size());
    if (written.textChanged && !m_pinyin->isChecked())
        status += QStringLiteral("；中文已去掉，以“~”标出");
    Q_EMIT statusMessage(status);
    if (!leftOut.isEmpty())
        feedback::message(m_window, QStringLiteral("已导出 %1 行。以下 %2 行未写入：\n%3")
                                        .arg(written.records.size())
                                        .arg(leftOut.size())
                                        .arg(leftOut.join(QLatin1Char('\n'))));
}

bool ShopOutput::paintOn(QPrinter* printer, const output::SheetPrintout& printout) {
    int first = 0;
    int last = -1;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = printer->fromPage() - 1;
        last = printer->toPage() > 0 ? printer->toPage() - 1 : -1;
    }
    return output::paintCuttingSheet(*printer, printout, first, last);
}

void ShopOutput::previewSheet() {
    const std::optional<output::SheetPrintout> printout = sheetOrRefusal();
    if (!printout)
        return;
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(output::pageLayoutOf(m_pageChoice()));
    printer->setDocName(QStringLiteral("钢筋下料单（按原料）"));
    auto* dialog = new QPrintPreviewDialog(printer, m_window);
    dialog->setObjectName(QStringLiteral("cuttingSheetPreviewDialog"));
    dialog->setWindowTitle(QStringLiteral("打印预览 - 钢筋下料单（按原料）"));
    dialog->setAccessibleName(QStringLiteral("下料单打印预览"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const output::SheetPrintout kept = *printout;
    connect(dialog, &QPrintPreviewDialog::paintRequested, this,
            [this, kept](QPrinter* p) { paintOn(p, kept); });
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    dialog->resize(std::max(900, m_window->width() * 4 / 5), std::max(700, m_window->height()));
    dialog->open();
}

void ShopOutput::printSheet() {
    const std::optional<output::SheetPrintout> printout = sheetOrRefusal();
    if (!printout)
        return;
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(output::pageLayoutOf(m_pageChoice()));
    printer->setDocName(QStringLiteral("钢筋下料单（按原料）"));
    auto* dialog = new QPrintDialog(printer, m_window);
    dialog->setObjectName(QStringLiteral("cuttingSheetPrintDialog"));
    dialog->setWindowTitle(QStringLiteral("打印钢筋下料单（按原料）"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, true);
    const output::SheetPrintout kept = *printout;
    connect(dialog, &QDialog::accepted, this, [this, printer, kept] {
        const QString where = printer->outputFileName().isEmpty()
                                  ? printer->printerName()
                                  : nativePath(printer->outputFileName());
        if (paintOn(printer, kept))
            Q_EMIT statusMessage(QStringLiteral("已打印到 %1").arg(where));
        else
            feedback::message(m_window, QStringLiteral("无法打印到“%1”。").arg(where));
    });
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    dialog->open();
}

void ShopOutput::exportSheetPdf() {
    const std::optional<output::SheetPrintout> printout = sheetOrRefusal();
    if (!printout)
        return;
    const QString path =
        chooseTarget(QStringLiteral("导出下料单（按原料）PDF"), QStringLiteral("pdf"),
                     QStringLiteral("PDF 文件 (*.pdf);;所有文件 (*)"), QStringLiteral("-按原料"));
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error =
            output::writeCuttingSheetPdf(path, *printout, m_pageChoice())) {
        feedback::message(m_window,
                          QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), *error));
        return;
    }
    Q_EMIT statusMessage(QStringLiteral("已导出 %1").arg(nativePath(path)));
}

void ShopOutput::exportSheetExcel() {
    const std::optional<output::SheetPrintout> printout = sheetOrRefusal();
    if (!printout)
        return;
    const QString path = chooseTarget(
        QStringLiteral("导出下料单（按原料）Excel"), QStringLiteral("xlsx"),
        QStringLiteral("Excel 工作簿 (*.xlsx);;所有文件 (*)"), QStringLiteral("-按原料"));
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error = output::writeCuttingSheetXlsx(path, printout->sheet)) {
        feedback::message(m_window,
                          QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), *error));
        return;
    }
    Q_EMIT statusMessage(QStringLiteral("已导出 %1").arg(nativePath(path)));
}
