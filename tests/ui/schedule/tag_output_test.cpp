#include "ui/schedule/tag_output.h"

#include "output/sample_lists.h"
#include "support/list_window_fixture.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

// The cutting-list window of the real main window, holding the worked
// example: 3 rows to tag (12 L bars, 90 stirrups, 24 column bars) and one
// that cannot be worked out.
class TagOutputTest : public ListWindowTest {
protected:
    // The tag dialog's layout set as a user picks it.
    void chooseLayout(TagDialog* dialog, tags::TagLayout layout) {
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("tagLayout"));
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(combo->findData(static_cast<int>(layout)));
    }
    QString summary(TagDialog* dialog) {
        return dialog->findChild<QLabel*>(QStringLiteral("tagSummary"))->text();
    }
};

TEST_F(TagOutputTest, DialogCountsTagsAndPagesAsTheChoiceChanges) {
    action("printTags")->trigger();
    auto* dialog = waitForDialog<TagDialog>("tagDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(dialog->findChild<QPushButton*>(QStringLiteral("tagPreviewButton")), nullptr);
    EXPECT_NE(dialog->findChild<QPushButton*>(QStringLiteral("tagPrintButton")), nullptr);
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("tagPdfButton")), nullptr);
    // 3×7 to start with: 3 tags on one sheet, the faulty row told.
    EXPECT_EQ(summary(dialog), QStringLiteral("共 3 个料牌，1 页。另有 1 行无法计算，没有料牌。"));
    chooseLayout(dialog, tags::TagLayout::Label100x70);
    EXPECT_TRUE(summary(dialog).startsWith(QStringLiteral("共 3 个料牌，3 页。")));
    // Bundles of at most 40: 12; 40, 40, 10; 24.
    dialog->findChild<QSpinBox*>(QStringLiteral("tagBundleSize"))->setValue(40);
    EXPECT_TRUE(summary(dialog).startsWith(QStringLiteral("共 5 个料牌，5 页。")));
    // Cancelled: the choice is not kept.
    dialog->findChild<QPushButton*>(QStringLiteral("tagCancelButton"))->click();
    EXPECT_EQ(list->tagOutput()->layout(), tags::TagLayout::Sheet3x7);
    EXPECT_EQ(list->tagOutput()->barsPerBundle(), 0);
}

TEST_F(TagOutputTest, PreviewShowsTheChosenLabelsPages) {
    action("printTags")->trigger();
    auto* dialog = waitForDialog<TagDialog>("tagDialog");
    ASSERT_NE(dialog, nullptr);
    chooseLayout(dialog, tags::TagLayout::Label80x50);
    dialog->findChild<QPushButton*>(QStringLiteral("tagPreviewButton"))->click();
    auto* preview = waitForDialog<QPrintPreviewDialog>("tagPreviewDialog");
    ASSERT_NE(preview, nullptr);
    auto* pages = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pages->pageCount() > 0; }, 5000));
    EXPECT_EQ(pages->pageCount(), 3);
    // The tag's own paper, across, printed from its edge.
    const QPageLayout layout = preview->printer()->pageLayout();
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
    const QSizeF paper = layout.fullRect(QPageLayout::Millimeter).size();
    EXPECT_NEAR(paper.width(), 80, 0.1);
    EXPECT_NEAR(paper.height(), 50, 0.1);
    EXPECT_TRUE(preview->printer()->fullPage());
    // The choice is kept for the next time.
    EXPECT_EQ(list->tagOutput()->layout(), tags::TagLayout::Label80x50);
    preview->close();
}

TEST_F(TagOutputTest, PdfIsWrittenInTheChosenLayoutAndAFaultSaysWhy) {
    action("exportTagsPdf")->trigger();
    auto* dialog = waitForDialog<TagDialog>("tagDialog");
    ASSERT_NE(dialog, nullptr);
    chooseLayout(dialog, tags::TagLayout::Sheet2x4);
    const QString path = dir.filePath(QStringLiteral("梁 KL1 料牌"));
    feedback.files << path;
    dialog->findChild<QPushButton*>(QStringLiteral("tagPdfButton"))->click();
    ASSERT_EQ(feedback.fileCaptions, QStringList{QStringLiteral("导出料牌 PDF")});
    QFile pdf(path + QStringLiteral(".pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    EXPECT_TRUE(feedback.messages.isEmpty()) << feedback.messages.join('\n').toStdString();
    EXPECT_TRUE(list->findChild<QLabel*>(QStringLiteral("statusLine"))
                    ->text()
                    .contains(QStringLiteral("已导出料牌")));

    // Into a folder that is not there: the reason, no file.
    feedback.files << dir.filePath(QStringLiteral("missing/tags.pdf"));
    list->tagOutput()->exportPdf();
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].startsWith(QStringLiteral("无法写入")));

    // A list without a row to tag says so rather than asking for a file.
    list->document()->replace(schedule::CuttingList{}, {}, false);
    list->tagOutput()->exportPdf();
    ASSERT_EQ(feedback.messages.size(), 2);
    EXPECT_TRUE(feedback.messages[1].contains(QStringLiteral("没有可以打印料牌的行")));
    EXPECT_EQ(feedback.fileCaptions.size(), 2);
}

} // namespace
