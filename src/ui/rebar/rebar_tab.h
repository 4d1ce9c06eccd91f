#pragma once

#include "core/rebar/bar_quantity.h"
#include "ui/form/form_builder.h"
#include "ui/form/tab_page.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class BarLengthCalculator;

// Tab 0, "Tessaro": quantities of one bar type.
//
// Controls by object name:
//   Text1   bar diameter, mm               Text7   diameter shown, mm
//   Text2   straight bar length            Text8   count shown
//   Text3   number of bars                 Text9   cut length of one bar
//   Text4   bend coefficient               Text10  total length, m
//   Text5   cross-section, mm²             Text11  total mass, kg
//   Text6   mass per metre, kg/m           Text12  total cross-section, mm²
//   Check2  formula entry in Text2 ("启用"/"不启用")
//   Check3  length unit ("毫米"/"厘米"); Label18, Label15 repeat it
// A screen reader hears the diameter and the count as "钢筋直径（输入）",
// "钢筋直径（结果）" and so on, and each toggle by what it switches and its
// state ("长度单位：毫米"); every other control by its label or caption.
//   Option1, Option2, Option3  both ends, one end, no end bent
class RebarTab : public TabPage {
    Q_OBJECT
public:
    explicit RebarTab(QWidget* parent = nullptr);

    // Selects a bend option from code and runs its click rule.
    void selectBendEnds(BendEnds ends);
    // Writes a bar sent from another tab into the inputs, in order.
    void receive(const BarHandover& bar);
    void setBarLengthCalculator(BarLengthCalculator* calculator) { m_calculator = calculator; }

    // Recomputes every result from the fields.
    void recompute();

private:
    // The fields the recompute reads and writes.
    form::Bindings<rebar::BarQuantityFields> m_texts;
    void buildInputs();
    void buildResults();
    void onDiameterChanged();
    void onInputChanged(QLineEdit* field);
    void onUnitSwitched();
    void onFormulaEntrySwitched();
    void onLengthKeyDown(int key);
    // Enter in the formula-entry length: the expression is evaluated through
    // the calculator and replaced by its value.
    void evaluateLength();
    void enterMoves(int key, QLineEdit* next);

    QLineEdit* m_diameter = nullptr;
    QLineEdit* m_length = nullptr;
    QLineEdit* m_count = nullptr;
    QLineEdit* m_bendCoefficient = nullptr;
    QLineEdit* m_section = nullptr;
    QLineEdit* m_massPerMetre = nullptr;
    QLineEdit* m_diameterShown = nullptr;
    QLineEdit* m_countShown = nullptr;
    QLineEdit* m_cutLength = nullptr;
    QLineEdit* m_totalLength = nullptr;
    QLineEdit* m_totalMass = nullptr;
    QLineEdit* m_totalSection = nullptr;
    QCheckBox* m_formulaEntry = nullptr;
    QCheckBox* m_centimetres = nullptr;
    QRadioButton* m_bothEnds = nullptr;
    QRadioButton* m_oneEnd = nullptr;
    QRadioButton* m_noBend = nullptr;
    QLabel* m_cutLengthUnit = nullptr;
    QLabel* m_lengthUnit = nullptr;
    BarLengthCalculator* m_calculator = nullptr;
};
