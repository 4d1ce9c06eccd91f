#pragma once

#include <QLineEdit>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QCheckBox;
class QFont;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

// Places the controls of a tab at their positions in twips and gives each the
// object name the rest of the program finds it by. Captions that need more room
// than their box widen to their natural width rather than being clipped.
namespace form {

enum class FieldKind {
    Input,   // editable tab stop
    Result,  // read-only, grey, skipped by Tab
    Segment, // editable but grey and skipped by Tab
};

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height);
QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width, int height);
// The field's accessible name is `accessibleName` (its label's text, unless
// that alone does not tell it from another field of its tab). A result's
// accessible description says that it is a read-only result.
QLineEdit* field(QWidget* parent, const char* name, const QString& text, FieldKind kind,
                 const QString& accessibleName, int left, int top, int width, int height);
// A label and the field it names, created in that order at their twips
// rectangles; the field's accessible name is the label's caption.
QLineEdit* labelledField(QWidget* parent, const char* labelName, const QString& caption,
                         const QRect& labelTwips, const char* fieldName, const QString& text,
                         FieldKind kind, const QRect& fieldTwips);
// Gives a field its tooltip; a result keeps it after the read-only words of
// its accessible description, which takes the tooltip's place there.
void setFieldTip(QLineEdit* field, const QString& tip);
// Sets a field's text only when it differs, as a changed value would; its
// change rule then runs as if the user had typed it.
void write(QLineEdit* field, const QString& text);

// The fields a recompute reads into a tab's widget-free texts and writes
// back, each bound to its member where the field is created.
template <typename Texts> class Bindings {
public:
    QLineEdit* bind(QString Texts::*text, QLineEdit* field) {
        m_bound.push_back({field, text});
        return field;
    }
    // The texts as the fields show them.
    void read(Texts& texts) const {
        for (const Bound& b : m_bound)
            texts.*b.text = b.field->text();
    }
    // Writes back in binding order, each field only when its text changed.
    void write(const Texts& texts) const {
        for (const Bound& b : m_bound)
            form::write(b.field, texts.*b.text);
    }

private:
    struct Bound {
        QLineEdit* field;
        QString Texts::*text;
    };
    std::vector<Bound> m_bound;
};

// A line of a tab: a label, its field and a unit label, the field bound to
// its member of the tab's texts.
template <typename Tab, typename Texts> struct Line {
    QLineEdit* Tab::*field;
    QString Texts::*text;
    const char* name;
    const char* label;
    const char* unitLabel;
    const char* caption;
    const char* unit;
    const char* initial;
    const char* tip; // null: none
    int top;
};
// Left edges and widths, in twips, of a line's label, field and unit label.
struct Columns {
    int label, labelWidth, field, fieldWidth, unit, unitWidth;
};
struct LineControls {
    QLineEdit* field;
    QLabel* unit;
};
// Creates the label, the field (with its tooltip) and the unit label, in that
// order.
LineControls line(QWidget* frame, const Columns& columns, FieldKind kind, const char* label,
                  const char* name, const char* unitLabel, const QString& caption,
                  const QString& unit, const QString& initial, const char* tip, int top);
template <typename Tab, typename Texts>
QLabel* placeLine(Tab* tab, Bindings<Texts>& texts, QWidget* frame, const Columns& columns,
                  FieldKind kind, const Line<Tab, Texts>& l) {
    const LineControls made =
        line(frame, columns, kind, l.label, l.name, l.unitLabel, QString::fromUtf8(l.caption),
             QString::fromUtf8(l.unit), QString::fromUtf8(l.initial), l.tip, l.top);
    tab->*l.field = texts.bind(l.text, made.field);
    return made.unit;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, int left, int top,
                     int width, int height);
QCheckBox* check(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height);
// A check box drawn as a push button that stays down while on: its caption
// names the state (`offCaption` or `onCaption`), and it fits where an
// indicator and caption would not. A screen reader hears what it switches
// and the state ("长度单位：毫米"). Caption and name follow every change of
// state, a click's or an assistive tool's, before the toggle's other
// `toggled` handlers run, and the new name is announced.
QCheckBox* toggle(QWidget* parent, const char* name, const QString& subject,
                  const QString& offCaption, const QString& onCaption, int left, int top, int width,
                  int height);
QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height);

// Runs `step` on the control when it is first shown, before it paints; at
// once if it is visible already. For work only the control's first showing
// needs, so that a page opened later does not pay for it at start-up.
void whenFirstShown(QWidget* control, std::function<void(QWidget*)> step);

// Gives a control on a page that opens hidden a face of its own. font()
// reports it at once; the face is loaded, and the control's text laid out in
// it, when the control is first shown, since nothing shows that text before.
void setFontWhenShown(QWidget* control, const QFont& font);

} // namespace form
