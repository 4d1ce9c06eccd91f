#pragma once

#include "app/bar_handover.h"

#include <QWidget>

class QLineEdit;

// Tab 1, "构件起吊": lifting of a precast member.
class LiftingTab : public QWidget {
    Q_OBJECT
public:
    explicit LiftingTab(QWidget* parent = nullptr);

    QLineEdit* entryField() const { return m_entry; }
    // The window's start-up selections of this tab, each running its click rule.
    void startUp();

Q_SIGNALS:
    // Command1: the ring goes to the bar-quantity tab.
    void handover(const BarHandover& bar);

private:
    QLineEdit* m_entry = nullptr;
};
