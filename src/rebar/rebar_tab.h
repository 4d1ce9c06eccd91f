#pragma once

#include "form/bar_handover.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class FieldRules;
class BarLengthCalculator;

// Tab 0, "Tessaro": quantities of one bar type.
class RebarTab : public QWidget {
    Q_OBJECT
public:
    explicit RebarTab(QWidget* parent = nullptr);

    QLineEdit* entryField() const { return m_text[1]; }
    // Selects a bend option from code and runs its click rule.
    void selectOption(BarHandover::Bend bend);
    // Writes a bar sent from another tab into the inputs, in order.
    void receive(const BarHandover& bar);
    void setBarLengthCalculator(BarLengthCalculator* calculator) { m_calculator = calculator; }

    // Recomputes every result from the fields.
    void add();

private:
    void Text1_Change();
    void inputChanged(QLineEdit* field);
    void Check3_Click();
    void Check2_Click();
    void Text2_KeyDown(int key);
    void enterMoves(int key, QLineEdit* next);

    QLineEdit* m_text[13] = {}; // m_text[1] .. m_text[12]
    QCheckBox* m_check2 = nullptr;
    QCheckBox* m_check3 = nullptr;
    QRadioButton* m_option[4] = {}; // m_option[1] .. m_option[3]
    QLabel* m_label15 = nullptr;
    QLabel* m_label18 = nullptr;
    FieldRules* m_rules = nullptr;
    BarLengthCalculator* m_calculator = nullptr;
};
