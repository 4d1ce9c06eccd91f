#pragma once

#include "core/rebar/bar_handover.h"

#include <QWidget>

class QLineEdit;

// What the main window knows of every tab: the field that takes the focus
// when the tab is shown, and the bars a tab hands to the bar-quantity tab.
class TabPage : public QWidget {
    Q_OBJECT
public:
    QLineEdit* entryField() const { return m_entryField; }

Q_SIGNALS:
    // A bar for the bar-quantity tab (sent by the lifting and beam tabs).
    void handover(const BarHandover& bar);

protected:
    TabPage(QWidget* parent, const char* objectName);
    void setEntryField(QLineEdit* field) { m_entryField = field; }

private:
    QLineEdit* m_entryField = nullptr;
};
