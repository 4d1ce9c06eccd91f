#pragma once

#include <QLineEdit>
#include <QString>
#include <initializer_list>

class QCheckBox;
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
// The field's accessible name is `accessibleName` (its label's text), so a
// screen reader reads it as the form shows it.
QLineEdit* field(QWidget* parent, const char* name, const QString& text, FieldKind kind,
                 const QString& accessibleName, int left, int top, int width, int height);
// Sets a field's text only when it differs, as a changed value would; its
// change rule then runs as if the user had typed it.
void write(QLineEdit* field, const QString& text);

// A field and the member of a tab's widget-free texts that a recompute reads
// it into and writes it back from.
template <typename Texts> struct Bound {
    QLineEdit* field;
    QString Texts::*text;
};
template <typename Texts> void readInto(Texts& texts, std::initializer_list<Bound<Texts>> fields) {
    for (const Bound<Texts>& b : fields)
        texts.*b.text = b.field->text();
}
// Writes back in the order given, each only when its text changed.
template <typename Texts>
void writeFrom(const Texts& texts, std::initializer_list<Bound<Texts>> fields) {
    for (const Bound<Texts>& b : fields)
        write(b.field, texts.*b.text);
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, int left, int top,
                     int width, int height);
QCheckBox* check(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height);
// A check box drawn as a push button that stays down while on: its caption
// names the state, and it fits where an indicator and caption would not.
QCheckBox* toggle(QWidget* parent, const char* name, const QString& caption, int left, int top,
                  int width, int height);
QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height);

} // namespace form
