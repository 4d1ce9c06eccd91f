#pragma once

#include "app/main_window.h"
#include "support/feedback_recorder.h"
#include "support/qt_printers.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The real main window after its start-up sequence, shown and active, with
// beeps and message boxes recorded.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = openMainWindow();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        feedback.clear();
    }
    void TearDown() override { window.reset(); }

    template <typename T = QLineEdit> T* find(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << "no control " << name;
        return w;
    }
    QString text(const char* name) const { return find<QLineEdit>(name)->text(); }
    // Replaces a field's text as a user would: focus it (selecting all) and type.
    void type(const char* name, const QString& keys) {
        QLineEdit* f = find<QLineEdit>(name);
        f->setFocus(Qt::TabFocusReason);
        f->selectAll();
        QTest::keyClicks(f, keys);
    }
    void clickAtLeft(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    }

    FeedbackRecorder feedback;
    std::unique_ptr<MainWindow> window;
};
