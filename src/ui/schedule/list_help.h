#pragma once

#include <QString>
#include <QTextBrowser>

// The rules the cutting list works by, as the window's help shows them: the
// shapes and their formulas, the bend and hook terms with their clauses,
// mandrels, hook ends, rounding and masses. Figures are worked out by the
// same rules the list uses.
QString listHelpHtml();

// The help as a window of its own beside the list.
class ListHelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit ListHelpWindow(QWidget* parent = nullptr);
};
