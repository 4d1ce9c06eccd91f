#pragma once

#include "form/bar_handover.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class QRadioButton;
class FieldRules;

// Tab 1, "构件起吊": lifting of a precast member.
class LiftingTab : public QWidget {
    Q_OBJECT
public:
    explicit LiftingTab(QWidget* parent = nullptr);

    QLineEdit* entryField() const { return m_text[13]; }
    // The window's start-up selections of this tab, each running its click rule.
    void startUp();

    // Recomputes every result from the fields.
    void aaa();

Q_SIGNALS:
    // Command1: the ring goes to the bar-quantity tab.
    void handover(const BarHandover& bar);

private:
    // Selects an option from code and runs its click rule, as a click would.
    void select(QRadioButton* option);
    void deselect(QRadioButton* option);
    void clickRule(int option);
    void Option4_Click();
    void Option5_Click();
    void Option8_Click();
    void angle60or45_Click();
    void Command1_Click();

    QLineEdit* m_text[24] = {};      // m_text[13] .. m_text[23]
    QRadioButton* m_option[16] = {}; // m_option[4] .. m_option[15]
    QPushButton* m_command1 = nullptr;
    FieldRules* m_rules = nullptr;
    // Set while code selects an option, whose rule it then runs itself.
    bool m_selectingByCode = false;
};
