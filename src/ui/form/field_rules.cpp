#include "ui/form/field_rules.h"

#include "ui/form/feedback.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

short filterKey(short key, const QString& allowed, bool editable) {
    QString keys = allowed.toUpper();
    if (editable)
        keys.append(QChar(8));
    const QChar c = QChar(static_cast<char16_t>(key)).toUpper();
    if (key != 0 && keys.contains(c, Qt::CaseInsensitive))
        return key;
    feedback::beep();
    return 0;
}

FieldRules::FieldRules(QObject* parent) : QObject(parent) {}

void FieldRules::addField(Field field) {
    if (!field.keys.isEmpty() || field.keysNow)
        field.edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    field.edit->installEventFilter(this);
    m_fields.push_back(std::move(field));
}

bool FieldRules::isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

const FieldRules::Field* FieldRules::find(QObject* watched) const {
    for (const Field& f : m_fields) {
        if (f.edit == watched)
            return &f;
    }
    return nullptr;
}

bool FieldRules::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn)
        return false;
    const Field* field = find(watched);
    if (!field)
        return false;

    if (type == QEvent::KeyPress)
        return keyPress(*field, static_cast<QKeyEvent*>(event));

    // Let the field take the focus first, then select its whole text.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    static_cast<QObject*>(field->edit)->event(event);
    if (field->selectAllOnFocus) {
        QLineEdit* edit = field->edit;
        edit->setSelection(0, static_cast<int>(edit->text().size()));
        if (reason == Qt::MouseFocusReason) {
            // The press that gave the focus clears the selection after us.
            QPointer<QLineEdit> guard(edit);
            QTimer::singleShot(0, edit, [guard] {
                if (guard)
                    guard->setSelection(0, static_cast<int>(guard->text().size()));
            });
        }
    }
    if (field->afterFocus)
        field->afterFocus();
    return true;
}

bool FieldRules::keyPress(const Field& field, QKeyEvent* event) {
    const int key = event->key();
    // Copy the rules: a key-down rule may add fields and move the vector.
    const Field f = field;

    // Key down runs first.
    if (f.keyDown)
        f.keyDown(key);
    else if (f.next && isEnter(key))
        f.next->setFocus(Qt::OtherFocusReason);

    const QString keys = f.keysNow ? f.keysNow() : f.keys;
    if (keys.isEmpty())
        return false;

    // Editing shortcuts beep and do nothing, also Shift+Insert.
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Copy) ||
        event->matches(QKeySequence::Cut)) {
        feedback::beep();
        return true;
    }

    QString text = event->text();
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z)
        text = QString(QChar(static_cast<char16_t>(key - Qt::Key_A + 1)));
    else if (isEnter(key))
        text = QString(QChar(13));
    else if (key == Qt::Key_Escape)
        text = QString(QChar(27));
    else if (key == Qt::Key_Backspace)
        text = QString(QChar(8));
    else if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return false;
    if (text.isEmpty() || text == QString(QChar(127)) || text == QString(QChar(9)))
        return false; // no character: arrows, Home, End, Delete, Tab
    for (QChar c : text) {
        if (filterKey(static_cast<short>(c.unicode()), keys, true) == 0)
            return true;
    }
    return false;
}
