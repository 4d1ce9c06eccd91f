#include "app/interface_style.h"
#include "app/list_module.h"
#include "support/window_fixture.h"
#include "ui/form/twips.h"

#include <QAction>
#include <QMenuBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolButton>

namespace {

class MainWindowTest : public WindowTest {
protected:
    QAction* action(const char* name) { return find<QAction>(name); }
    void choose(const char* name) { action(name)->trigger(); }
    int height() const { return window->outerHeightPixels(); }
    static int px(int twips) { return twips::toPixels(twips); }
    QTabWidget* tabs() { return find<QTabWidget>("SSTab1"); }
};

TEST_F(MainWindowTest, StartsOnTheFirstTabAtItsHeight) {
    EXPECT_EQ(window->windowTitle(), "Corvala");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(tabs()->count(), 4);
    EXPECT_EQ(tabs()->tabText(0), "Tessaro");
    EXPECT_EQ(tabs()->tabText(1), "构件起吊");
    EXPECT_EQ(tabs()->tabText(2), "梁钢筋长度计算");
    EXPECT_EQ(tabs()->tabText(3), "计算器");
    EXPECT_EQ(height(), px(5100));
    EXPECT_EQ(window->outerWidthPixels(), px(7920));
    EXPECT_TRUE(action("changewindow")->isVisible());
    EXPECT_EQ(action("allontop")->text(), "窗口置顶(&T)");
    EXPECT_EQ(action("about")->text(), "关于(&A)");
    EXPECT_EQ(action("exit")->text(), "退出(&X)");
}

TEST_F(MainWindowTest, WindowSwitchFlipsBetweenCompactAndFull) {
    choose("changewindow");
    EXPECT_EQ(height(), px(3970));
    choose("changewindow");
    EXPECT_EQ(height(), px(7305)); // the cap of 7306 lets it pass
    choose("changewindow");
    EXPECT_EQ(height(), px(3970));
    // Only exactly the compact height leads to the full one.
    window->setOuterHeight(4000);
    choose("changewindow");
    EXPECT_EQ(height(), px(3970));
}

TEST_F(MainWindowTest, SizeIsCappedButSmallerSizesStay) {
    window->resize(px(9000), px(8000));
    EXPECT_EQ(window->outerWidthPixels(), px(7920));
    EXPECT_EQ(height(), px(7306));
    window->resize(px(6000), px(3500));
    EXPECT_EQ(window->width(), px(6000));
    EXPECT_EQ(window->height(), px(3500));
}

TEST_F(MainWindowTest, EachTabSetsItsHeightAndTheSwitchShowsOnlyOnTheCalculator) {
    const int heights[] = {5100, 5730, 6330, 7305};
    for (int tab : {1, 2, 3, 0}) {
        tabs()->setCurrentIndex(tab);
        EXPECT_EQ(height(), px(heights[tab])) << tab;
        EXPECT_EQ(action("changewindow")->isVisible(), tab == 3) << tab;
    }
    tabs()->setCurrentIndex(3);
    choose("changewindow");
    EXPECT_EQ(height(), px(3970));
    tabs()->setCurrentIndex(0);
    EXPECT_EQ(height(), px(5100));
    tabs()->setCurrentIndex(3);
    EXPECT_EQ(height(), px(7305));
}

TEST_F(MainWindowTest, TabChangeFocusesTheEntryField) {
    const char* entry[] = {"Text1", "Text13", "Text24", "Text45"};
    for (int tab : {1, 2, 3, 0}) {
        tabs()->setCurrentIndex(tab);
        EXPECT_TRUE(find(entry[tab])->hasFocus()) << tab;
        if (tab == 1) {
            EXPECT_EQ(find("Text13")->selectedText(), "1500");
        }
    }
    EXPECT_EQ(find("Text1")->selectedText(), "14");
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesItsCaptionInPlace) {
    const QRect before = window->frameGeometry();
    choose("allontop");
    EXPECT_EQ(action("allontop")->text(), "取消置顶(&T)");
    EXPECT_TRUE(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    choose("allontop");
    EXPECT_EQ(action("allontop")->text(), "窗口置顶(&T)");
    EXPECT_FALSE(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window->frameGeometry(), before);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, MenuBarOverflowButtonShowsTheWindowsStyleIcon) {
    // Read when first drawn, it must be the very icon the style would give,
    // at the normal and at a doubled pixel density.
    QMenuBar* bar = window->menuBar();
    auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
    ASSERT_NE(more, nullptr);
    ASSERT_FALSE(more->icon().isNull());
    const std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    const QIcon expected =
        windows->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, bar);
    for (const qreal density : {1.0, 2.0}) {
        const QPixmap shown = more->icon().pixmap(QSize(16, 16), density);
        EXPECT_EQ(shown.toImage(), expected.pixmap(QSize(16, 16), density).toImage()) << density;
        EXPECT_EQ(shown.devicePixelRatio(), density);
    }
}

// An icon handed out before its style is replaced still draws, from the
// application's style.
TEST(InterfaceStyleTest, OverflowIconOutlivesItsStyle) {
    auto* style = new InterfaceStyle;
    const QIcon icon = style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    delete style;
    const std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).toImage(),
              windows->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)
                  .pixmap(QSize(16, 16), 1.0)
                  .toImage());
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
    choose("exit");
    EXPECT_FALSE(window->isVisible());
}
} // namespace

// A program whose cutting-list module is missing (a copy of corvala.exe
// without its DLL, a damaged install) says so and keeps its tabs.
TEST_F(MainWindowTest, AMissingListModuleIsReportedNotFatal) {
    const ListModule* linked = listModule();
    ASSERT_NE(linked, nullptr);
    provideListModule(nullptr);
    QString error;
    EXPECT_EQ(listModule(&error), nullptr) << "the test's own folder holds no module";
    EXPECT_TRUE(error.startsWith(QStringLiteral("无法载入下料单模块"))) << error.toStdString();

    window->openCuttingList();
    EXPECT_EQ(window->cuttingListWindow(), nullptr);
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].startsWith(QStringLiteral("无法载入下料单模块")));
    EXPECT_TRUE(window->isVisible());

    provideListModule(linked);
    window->openCuttingList();
    EXPECT_NE(window->cuttingListWindow(), nullptr);
    window->cuttingListWindow()->close();
}
