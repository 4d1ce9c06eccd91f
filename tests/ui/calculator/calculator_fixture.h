#pragma once

#include "support/window_fixture.h"
#include "ui/calculator/calculator_tab.h"

#include <QPushButton>
#include <QTabWidget>

// The real window on its calculator tab, with the formula box at hand.
class CalculatorWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        find<QTabWidget>("SSTab1")->setCurrentIndex(3);
        tab = window->calculatorTab();
        box = find("Text45");
        feedback.clear();
    }
    void press(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }

    CalculatorTab* tab = nullptr;
    QLineEdit* box = nullptr;
};
