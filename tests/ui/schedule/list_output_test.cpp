#include "ui/schedule/list_output.h"

#include "core/plans/list_plan.h"
#include "output/sample_lists.h"
#include "support/list_window_fixture.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// The cutting-list window of the real main window, holding the worked
// example, its files kept in a folder of the test's own.
class ListOutputTest : public ListWindowTest {
protected:
    QString statusLine() const {
        return list->findChild<QLabel*>(QStringLiteral("statusLine"))->text();
    }
};

TEST_F(ListOutputTest, FileMenuOffersPrintPreviewPdfExcelAndPaper) {
    auto* file = list->menuBar()->findChild<QMenu*>(QStringLiteral("fileMenu"));
    ASSERT_NE(file, nullptr);
    QStringList captions;
    for (QAction* a : file->actions())
        captions << a->text();
    for (const char* wanted :
         {"打印预览(&V)…", "打印(&P)…", "导出 PDF(&D)…", "导出 Excel(&X)…", "纸张(&G)"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(wanted))) << wanted;
    EXPECT_EQ(action("printList")->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    // A4 upright to start with; one paper at a time.
    EXPECT_TRUE(action("paperA4Portrait")->isChecked());
    action("paperA3Landscape")->trigger();
    EXPECT_FALSE(action("paperA4Portrait")->isChecked());
    EXPECT_EQ(list->output()->pageChoice().paper, output::Paper::A3);
    EXPECT_TRUE(list->output()->pageChoice().landscape);
}

TEST_F(ListOutputTest, ExportPdfWritesTheListsPagesWithTheChosenPaper) {
    action("paperA4Landscape")->trigger();
    const QString path = dir.filePath(QStringLiteral("梁 KL1"));
    feedback.files << path;
    action("exportPdf")->trigger();
    ASSERT_EQ(feedback.fileCaptions, QStringList{QStringLiteral("导出 PDF")});
    // The suffix is added where the name has none.
    ASSERT_TRUE(QFile::exists(path + QStringLiteral(".pdf")));
    EXPECT_TRUE(feedback.messages.isEmpty()) << feedback.messages.join('\n').toStdString();
    EXPECT_TRUE(statusLine().contains(QStringLiteral("已导出")));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QProcess info;
    info.start(pdfinfo, {path + QStringLiteral(".pdf")});
    info.waitForFinished();
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    // A4 across: 842 × 595 points.
    EXPECT_TRUE(text.contains(QStringLiteral("842 x 595"))) << text.toStdString();
}

TEST_F(ListOutputTest, ExportExcelWritesAWorkbook) {
    const QString path = dir.filePath(QStringLiteral("list.xlsx"));
    feedback.files << path;
    action("exportExcel")->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(2) == "PK") << "an xlsx is a zip package";
    EXPECT_TRUE(statusLine().contains(QStringLiteral("已导出")));
}

TEST_F(ListOutputTest, ExportToAFolderThatIsNotThereSaysWhy) {
    feedback.files << dir.filePath(QStringLiteral("missing/list.xlsx"))
                   << dir.filePath(QStringLiteral("missing/list.pdf"));
    action("exportExcel")->trigger();
    action("exportPdf")->trigger();
    ASSERT_EQ(feedback.messages.size(), 2);
    EXPECT_TRUE(feedback.messages[0].startsWith(QStringLiteral("无法写入")));
    EXPECT_TRUE(feedback.messages[1].startsWith(QStringLiteral("无法写入")));
}

TEST_F(ListOutputTest, PreviewShowsTheSamePagesAsThePrintout) {
    // Forty rows on A4 upright: 13 a page, so four pages with the summary.
    list->document()->replace(sample::longList(40), {}, false);
    action("printPreview")->trigger();
    auto* dialog = waitForDialog<QPrintPreviewDialog>("printPreviewDialog");
    ASSERT_NE(dialog, nullptr);
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview->pageCount() > 0; }, 5000));
    EXPECT_EQ(preview->pageCount(), 4);
    EXPECT_EQ(dialog->printer()->pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(dialog->printer()->pageLayout().orientation(), QPageLayout::Portrait);
    dialog->close();
}

TEST_F(ListOutputTest, PrintSendsThePagesAskedFor) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows prints through its own dialog, which no test can fill in";
#endif
    list->document()->replace(sample::longList(40), {}, false);
    action("printList")->trigger();
    auto* dialog = waitForDialog<QPrintDialog>("printDialog");
    ASSERT_NE(dialog, nullptr);
    // The printer of this test: the dialog's print to a file, a PDF; pages
    // 2 to 3 of 4.
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    if (!fileName)
        GTEST_SKIP() << "this platform's print dialog has no file field";
    fileName->setText(path);
    auto* range = dialog->findChild<QRadioButton*>(QStringLiteral("printRange"));
    auto* from = dialog->findChild<QSpinBox*>(QStringLiteral("from"));
    auto* to = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
    ASSERT_TRUE(range && from && to);
    range->setChecked(true);
    from->setValue(2);
    to->setValue(3);
    dialog->accept();
    ASSERT_TRUE(QFile::exists(path)) << statusLine().toStdString();
    EXPECT_TRUE(statusLine().startsWith(QStringLiteral("已打印")));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QProcess info;
    info.start(pdfinfo, {path});
    info.waitForFinished();
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
}

TEST_F(ListOutputTest, PlanFromTheWindowGetsASheetOfItsOwn) {
    const auto sheets = [&](const QString& name) {
        feedback.files << dir.filePath(name);
        action("exportExcel")->trigger();
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        // The parts' names stand plain in a zip's headers.
        const QByteArray bytes = file.readAll();
        int count = 0;
        for (const char* part :
             {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"})
            count += bytes.contains(part);
        return count;
    };
    EXPECT_EQ(sheets(QStringLiteral("without.xlsx")), 2);
    // The plan made for the list, kept with it as the 下料优化 page keeps it.
    plans::ListPlanSettings settings;
    settings.stock = {{12000, std::nullopt}};
    settings.kerf = 3;
    const schedule::CuttingList example = sample::workedExample();
    list->document()->replace(example, {}, false, plans::planList(example, settings));
    EXPECT_EQ(sheets(QStringLiteral("with.xlsx")), 3);
    const output::Printout printout = list->output()->printout();
    ASSERT_TRUE(printout.plan);
    EXPECT_EQ(printout.planSettings.kerf, 3);
    EXPECT_FALSE(printout.planOutOfDate);

    // A row changed after the plan was made: the plan goes out with a warning.
    schedule::CuttingList changed = example;
    changed.members[1].rows[0].countPerMember = 13;
    list->document()->change(QStringLiteral("改根数"), changed, {}, {});
    ASSERT_TRUE(list->document()->isPlanOutOfDate());
    EXPECT_TRUE(list->output()->printout().planOutOfDate);
}

} // namespace
