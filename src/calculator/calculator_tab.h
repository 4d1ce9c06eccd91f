#pragma once

#include <QWidget>

class QLineEdit;

// Tab 3, "计算器": the formula calculator.
class CalculatorTab : public QWidget {
    Q_OBJECT
public:
    explicit CalculatorTab(QWidget* parent = nullptr);

    QLineEdit* entryField() const { return m_entry; }

private:
    QLineEdit* m_entry = nullptr;
};
