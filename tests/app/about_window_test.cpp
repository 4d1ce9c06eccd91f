#include "support/window_fixture.h"

#include <QAction>
#include <QFontInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

class AboutWindowTest : public WindowTest {
protected:
    AboutWindow* open() {
        find<QAction>("about")->trigger();
        AboutWindow* about = window->aboutWindow();
        EXPECT_NE(about, nullptr);
        return about;
    }
    void TearDown() override {
        if (window->aboutWindow())
            delete window->aboutWindow();
        WindowTest::TearDown();
    }
};

TEST_F(AboutWindowTest, ShowsEightLinesWithoutBlockingTheMainWindow) {
    AboutWindow* about = open();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "关于");
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->parentWidget(), nullptr);
    EXPECT_EQ(AboutWindow::aboutText().count(QStringLiteral("\r\n")), 8);
    EXPECT_TRUE(AboutWindow::aboutText().endsWith(QStringLiteral("\r\n")));
    // Every line fits the box: no wrap, no scroll bar hiding the last line.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    auto* text = about->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->document()->blockCount(), 8);
    for (QTextBlock b = text->document()->begin(); b.isValid(); b = b.next())
        EXPECT_EQ(b.layout()->lineCount(), 1) << b.text().toStdString();
    EXPECT_FALSE(text->verticalScrollBar()->isVisible());
    // Choosing it again shows the same window.
    EXPECT_EQ(open(), about);
    EXPECT_EQ(QApplication::topLevelWidgets().count(QPointer<QWidget>(about).data()), 1);
}

TEST_F(AboutWindowTest, AnyMouseButtonOrKeyClosesIt) {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        AboutWindow* about = open();
        ASSERT_TRUE(about);
        QPointer<AboutWindow> guard(about);
        auto* text = about->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        ASSERT_TRUE(text);
        QTest::mousePress(text->viewport(), button, {}, QPoint(20, 20));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(guard.isNull()) << button;
    }
    AboutWindow* about = open();
    QPointer<AboutWindow> guard(about);
    about->activateWindow();
    auto* text = about->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Space);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    // A press on the window's own surface, outside the text, closes it too.
    about = open();
    guard = about;
    QTest::mousePress(about, Qt::LeftButton, {}, QPoint(2, 2));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}
} // namespace

namespace {
// Message boxes and context menus speak Chinese through Qt's own translation.
TEST(ApplicationSetup, StandardButtonsAreTranslated) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvala"), QStringLiteral("数据错误"),
                    QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
}

// The interface font names just the face it is drawn with: a second or third
// family would have the toolkit look up every script's fallbacks at start.
TEST(ApplicationSetup, InterfaceFontNamesTheFaceItIsDrawnWith) {
    const QFont font = QApplication::font();
    EXPECT_EQ(font.families(), QStringList{QFontInfo(font).family()});
}
} // namespace
