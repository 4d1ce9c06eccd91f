#pragma once

#include "output/sample_lists.h"
#include "support/window_fixture.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>

// The cutting-list window of the real main window, holding the worked
// example, its files kept in a folder of the test's own; dialogs left open
// closed at the end.
class ListWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ScheduleWindow::defaultOptions() = {dir.filePath(QStringLiteral("autosave")), 60'000,
                                            dir.filePath(QStringLiteral("settings.ini"))};
        WindowTest::SetUp();
        find<QAction>("cuttinglist")->trigger();
        list = static_cast<ScheduleWindow*>(window->cuttingListWindow());
        ASSERT_NE(list, nullptr);
        list->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(list));
        list->document()->replace(sample::workedExample(), {}, false);
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QDialog*>(w))
                w->close();
        WindowTest::TearDown();
        ScheduleWindow::defaultOptions() = {};
    }
    QAction* action(const char* name) const {
        auto* a = list->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    // The dialog of that name once it shows, within 5 s; null if it does not.
    template <typename T> T* waitForDialog(const char* name) {
        T* found = nullptr;
        (void)QTest::qWaitFor(
            [&] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<T*>(w);
                        d && d->objectName() == QLatin1String(name) && d->isVisible())
                        found = d;
                return found != nullptr;
            },
            5000);
        return found;
    }

    QTemporaryDir dir;
    ScheduleWindow* list = nullptr;
};
