#pragma once

#include "app/bar_handover.h"

#include <QWidget>

class QLineEdit;

// Tab 2, "梁钢筋长度计算": bar lengths of a rectangular beam.
class BeamTab : public QWidget {
    Q_OBJECT
public:
    explicit BeamTab(QWidget* parent = nullptr);

    QLineEdit* entryField() const { return m_entry; }

Q_SIGNALS:
    // Command2 to Command5: a bar goes to the bar-quantity tab.
    void handover(const BarHandover& bar);

private:
    QLineEdit* m_entry = nullptr;
};
