#include "ui/schedule/list_output.h"

#include "output/pdf_export.h"
#include "output/xlsx_export.h"
#include "ui/form/feedback.h"
#include "ui/schedule/list_document.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

using output::PageChoice;
using output::Paper;

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

ListOutput::ListOutput(QWidget* window, ListDocument* document,
                       std::function<QString()> suggestedPath)
    : QObject(window), m_window(window), m_document(document),
      m_suggestedPath(std::move(suggestedPath)) {
    const auto make = [this](const char* name, const QString& text, auto&& slot) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        m_window->addAction(action);
        return action;
    };
    m_preview = make("printPreview", QStringLiteral("打印预览(&V)…"), [this] { preview(); });
    m_print = make("printList", QStringLiteral("打印(&P)…"), [this] { print(); });
    m_print->setShortcut(QKeySequence::Print);
    m_pdf = make("exportPdf", QStringLiteral("导出 PDF(&D)…"), [this] { exportPdf(); });
    m_excel = make("exportExcel", QStringLiteral("导出 Excel(&X)…"), [this] { exportExcel(); });

    m_paperMenu = new QMenu(QStringLiteral("纸张(&G)"), window);
    m_paperMenu->setObjectName(QStringLiteral("paperMenu"));
    m_papers = new QActionGroup(this);
    const struct {
        const char* name;
        const char* text;
        PageChoice choice;
    } papers[] = {
        {"paperA4Portrait", "A4 纵向", {Paper::A4, false}},
        {"paperA4Landscape", "A4 横向", {Paper::A4, true}},
        {"paperA3Portrait", "A3 纵向", {Paper::A3, false}},
        {"paperA3Landscape", "A3 横向", {Paper::A3, true}},
    };
    for (const auto& p : papers) {
        QAction* a = m_paperMenu->addAction(QString::fromUtf8(p.text));
        a->setObjectName(QLatin1String(p.name));
        a->setCheckable(true);
        a->setChecked(p.choice.paper == m_choice.paper && p.choice.landscape == m_choice.landscape);
        m_papers->addAction(a);
        const PageChoice choice = p.choice;
        connect(a, &QAction::triggered, this, [this, choice] { m_choice = choice; });
    }
}

void ListOutput::setPageChoice(const PageChoice& choice) {
    m_choice = choice;
    const QString name =
        QStringLiteral("paper%1%2")
            .arg(choice.paper == Paper::A3 ? QStringLiteral("A3") : QStringLiteral("A4"),
                 choice.landscape ? QStringLiteral("Landscape") : QStringLiteral("Portrait"));
    for (QAction* a : m_papers->actions())
        a->setChecked(a->objectName() == name);
}

output::Printout ListOutput::printout() const {
    output::Printout p;
    p.list = m_document->list();
    p.computed = m_document->computed();
    p.date = QDate::currentDate();
    if (const std::optional<plans::ListPlan>& kept = m_document->plan()) {
        p.plan = kept->plan;
        p.planSettings.stock = kept->settings.stock;
        p.planSettings.kerf = kept->settings.kerf;
        p.planSettings.keepOffcut = kept->settings.keepOffcut;
        p.planSettings.pricing = kept->settings.pricing;
        p.planOutOfDate = m_document->isPlanOutOfDate();
    }
    return p;
}

bool ListOutput::paintOn(QPrinter* printer) {
    // The pages the dialog asks for (1-based there), all where it asks for none.
    int first = 0;
    int last = -1;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = printer->fromPage() - 1;
        last = printer->toPage() > 0 ? printer->toPage() - 1 : -1;
    }
    return output::paintPages(*printer, printout(), first, last);
}

void ListOutput::preview() {
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(output::pageLayoutOf(m_choice));
    printer->setDocName(QStringLiteral("钢筋下料单"));
    auto* dialog = new QPrintPreviewDialog(printer, m_window);
    dialog->setObjectName(QStringLiteral("printPreviewDialog"));
    dialog->setWindowTitle(QStringLiteral("打印预览 - 钢筋下料单"));
    dialog->setAccessibleName(QStringLiteral("打印预览"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { paintOn(p); });
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    dialog->resize(std::max(900, m_window->width() * 4 / 5), std::max(700, m_window->height()));
    dialog->open();
}

void ListOutput::print() {
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(output::pageLayoutOf(m_choice));
    printer->setDocName(QStringLiteral("钢筋下料单"));
    auto* dialog = new QPrintDialog(printer, m_window);
    dialog->setObjectName(QStringLiteral("printDialog"));
    dialog->setWindowTitle(QStringLiteral("打印钢筋下料单"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, true);
    connect(dialog, &QDialog::accepted, this, [this, printer] {
        const QString where = printer->outputFileName().isEmpty()
                                  ? printer->printerName()
                                  : nativePath(printer->outputFileName());
        if (paintOn(printer))
            Q_EMIT statusMessage(QStringLiteral("已打印到 %1").arg(where));
        else
            feedback::message(m_window, QStringLiteral("无法打印到“%1”。").arg(where));
    });
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    dialog->open();
}

QString ListOutput::chooseTarget(const QString& caption, const QString& suffix,
                                 const QString& filter) {
    QString path = feedback::chooseFile(m_window, feedback::FileChoice::Save, caption,
                                        m_suggestedPath() + QLatin1Char('.') + suffix, filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

void ListOutput::reportWritten(const QString& path) {
    Q_EMIT statusMessage(QStringLiteral("已导出 %1").arg(nativePath(path)));
}

void ListOutput::exportPdf() {
    const QString path = chooseTarget(QStringLiteral("导出 PDF"), QStringLiteral("pdf"),
                                      QStringLiteral("PDF 文件 (*.pdf);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error = output::writePdf(path, printout(), m_choice)) {
        feedback::message(m_window,
                          QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), *error));
        return;
    }
    reportWritten(path);
}

void ListOutput::exportExcel() {
    const QString path = chooseTarget(QStringLiteral("导出 Excel"), QStringLiteral("xlsx"),
                                      QStringLiteral("Excel 工作簿 (*.xlsx);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    const output::Printout p = printout();
    const std::optional<QString> error =
        output::writeXlsx(path, {&p.list, &p.computed, p.plan ? &*p.plan : nullptr});
    if (error) {
        feedback::message(m_window,
                          QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), *error));
        return;
    }
    reportWritten(path);
}
