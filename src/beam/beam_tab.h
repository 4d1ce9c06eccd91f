#pragma once

#include "form/bar_handover.h"

#include <QWidget>

class QLineEdit;
class FieldRules;

// Tab 2, "梁钢筋长度计算": bar lengths of a rectangular beam.
class BeamTab : public QWidget {
    Q_OBJECT
public:
    explicit BeamTab(QWidget* parent = nullptr);

    QLineEdit* entryField() const { return m_text[24]; }

    // Recomputes the volume and every bar segment from the beam's data.
    void aab();

Q_SIGNALS:
    // Command2 to Command5: a bar goes to the bar-quantity tab.
    void handover(const BarHandover& bar);

private:
    void buildBeamData();
    void buildBarData();
    void buildResults();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    // No bar is sent: the user is led to the segment that needs correcting.
    void refuse(QLineEdit* segment);

    QLineEdit* m_text[45] = {}; // m_text[24] .. m_text[44]
    FieldRules* m_rules = nullptr;
};
