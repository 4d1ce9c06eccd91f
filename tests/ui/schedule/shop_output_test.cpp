#include "ui/schedule/shop_output.h"

#include "core/plans/list_plan.h"
#include "core/shop/bvbs.h"
#include "output/sample_lists.h"
#include "support/list_window_fixture.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/list_output.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

// The 加工 menu of the cutting-list window of the real main window, holding
// the worked example (its KL1/Z-03 cannot be worked out).
class ShopOutputTest : public ListWindowTest {
protected:
    QString statusLine() const {
        return list->findChild<QLabel*>(QStringLiteral("statusLine"))->text();
    }
    void planTheList() {
        plans::ListPlanSettings settings;
        settings.stock = {{12000, std::nullopt}, {9000, std::nullopt}};
        settings.kerf = 3;
        settings.keepOffcut = 500;
        const schedule::CuttingList example = sample::workedExample();
        list->document()->replace(example, {}, false, plans::planList(example, settings));
    }
};

TEST_F(ShopOutputTest, MenuOffersBvbsTheCuttingSheetAndTags) {
    auto* menu = list->findChild<QMenu*>(QStringLiteral("shopMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(list->menuBar()->actions().contains(menu->menuAction()));
    EXPECT_EQ(menu->title(), QStringLiteral("加工(&W)"));
    QStringList names;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            names << a->objectName();
    EXPECT_EQ(names, (QStringList{QStringLiteral("exportBvbs"), QStringLiteral("bvbsPinyin"),
                                  QStringLiteral("cuttingSheetPreview"),
                                  QStringLiteral("printCuttingSheet"),
                                  QStringLiteral("exportCuttingSheetPdf"),
                                  QStringLiteral("exportCuttingSheetExcel"),
                                  QStringLiteral("printTags"), QStringLiteral("exportTagsPdf")}));
    EXPECT_TRUE(action("bvbsPinyin")->isCheckable());
    EXPECT_FALSE(action("bvbsPinyin")->isChecked());
}

// The rows a bender can take are written, the one that cannot be worked out
// is named; the file reads back with its checksums.
TEST_F(ShopOutputTest, BvbsExportWritesTheRowsAndNamesTheOneLeftOut) {
    const QString path = dir.filePath(QStringLiteral("梁"));
    feedback.files << path;
    action("exportBvbs")->trigger();
    ASSERT_EQ(feedback.fileCaptions, QStringList{QStringLiteral("导出 BVBS 弯曲机文件")});
    QFile file(path + QStringLiteral(".abs"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const shop::ReadBvbsFile read = shop::readBvbsFile(file.readAll());
    EXPECT_TRUE(read.errors.isEmpty());
    ASSERT_EQ(read.records.size(), 3);
    EXPECT_EQ(read.records[0].headerValue('p'), "KL1-L-01");
    EXPECT_EQ(read.records[1].headerValue('p'), "KL1-G-02");
    EXPECT_EQ(read.records[2].headerValue('p'), "KZ1-Z-11");
    // The project's name is Chinese: dropped, marked, and said so.
    EXPECT_EQ(read.records[0].headerValue('j'), "~ 3# ~");
    EXPECT_TRUE(statusLine().contains(QStringLiteral("3 行"))) << statusLine().toStdString();
    EXPECT_TRUE(statusLine().contains(QStringLiteral("中文已去掉")));
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].contains(QStringLiteral("KL1 Z-03")));

    // In pinyin, where the words are known.
    action("bvbsPinyin")->trigger();
    feedback.files << dir.filePath(QStringLiteral("pinyin.abs"));
    action("exportBvbs")->trigger();
    QFile pinyin(dir.filePath(QStringLiteral("pinyin.abs")));
    ASSERT_TRUE(pinyin.open(QIODevice::ReadOnly));
    const shop::ReadBvbsFile again = shop::readBvbsFile(pinyin.readAll());
    ASSERT_EQ(again.records.size(), 3);
    EXPECT_EQ(again.records[0].headerValue('j'), "~Yuan 3# Lou");
}

TEST_F(ShopOutputTest, CuttingSheetRefusedWithoutAPlan) {
    for (const char* name : {"cuttingSheetPreview", "printCuttingSheet", "exportCuttingSheetPdf",
                             "exportCuttingSheetExcel"}) {
        feedback.clear();
        action(name)->trigger();
        ASSERT_EQ(feedback.messages.size(), 1) << name;
        EXPECT_TRUE(feedback.messages[0].contains(QStringLiteral("还没有下料方案"))) << name;
        EXPECT_TRUE(feedback.fileCaptions.isEmpty()) << name;
    }
}

TEST_F(ShopOutputTest, CuttingSheetPreviewedAndExportedFromThePlan) {
    planTheList();
    action("cuttingSheetPreview")->trigger();
    QPrintPreviewDialog* dialog = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QPrintPreviewDialog*>(w);
                    d && d->objectName() == QLatin1String("cuttingSheetPreviewDialog") &&
                    d->isVisible())
                    dialog = d;
            return dialog != nullptr;
        },
        5000));
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview->pageCount() > 0; }, 5000));
    EXPECT_EQ(preview->pageCount(), 1);
    dialog->close();

    // The paper of the 文件 menu holds for the sheet too.
    action("paperA4Landscape")->trigger();
    ASSERT_TRUE(list->shopOutput()->sheetPrintout());
    EXPECT_FALSE(list->shopOutput()->sheetPrintout()->sheet.outOfDate);
    feedback.files << QString() << dir.filePath(QStringLiteral("sheet"));
    action("exportCuttingSheetPdf")->trigger(); // cancelled
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("sheet.pdf"))));
    action("exportCuttingSheetExcel")->trigger();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("sheet.xlsx"))));
    ASSERT_EQ(feedback.fileCaptions.size(), 2);
    EXPECT_EQ(feedback.fileCaptions[1], QStringLiteral("导出下料单（按原料）Excel"));
    feedback.files << dir.filePath(QStringLiteral("sheet.pdf"));
    action("exportCuttingSheetPdf")->trigger();
    QFile pdf(dir.filePath(QStringLiteral("sheet.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(feedback.messages.isEmpty()) << feedback.messages.join('\n').toStdString();
    EXPECT_TRUE(statusLine().startsWith(QStringLiteral("已导出")));
}

} // namespace
