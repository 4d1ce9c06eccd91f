#include "ui/form/form_builder.h"

#include "ui/form/twips.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace form {
namespace {
template <typename W> W* place(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QLatin1String(name));
    w->setGeometry(twips::rect(left, top, width, height));
    return w;
}

void widen(QWidget* w) {
    const int natural = w->sizeHint().width();
    if (natural > w->width())
        w->resize(natural, w->height());
}

// Runs a step on a control the first time it is shown, before it is painted.
class OnFirstShow : public QObject {
public:
    OnFirstShow(QWidget* control, std::function<void(QWidget*)> step)
        : QObject(control), m_step(std::move(step)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            m_step(static_cast<QWidget*>(watched));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void(QWidget*)> m_step;
};

// Measuring a caption reads its glyphs from the font, which the controls of
// a tab not yet opened do not need at start-up.
template <typename W> W* widenToCaption(W* w) {
    whenFirstShown(w, widen);
    return w;
}

const QString kReadOnlyResult = QStringLiteral("只读计算结果");

class ToggleButton : public QCheckBox {
public:
    ToggleButton(const QString& subject, const QString& offCaption, const QString& onCaption,
                 QWidget* parent)
        : QCheckBox(offCaption, parent), m_subject(subject), m_off(offCaption), m_on(onCaption) {
        setAccessibleName(spoken(offCaption));
        connect(this, &QCheckBox::toggled, this, [this](bool on) { showState(on); });
    }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        option.initFrom(this);
        option.text = text();
        option.state |= isChecked() || isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        if (isChecked())
            option.state |= QStyle::State_On;
        painter.drawControl(QStyle::CE_PushButton, option);
    }

private:
    QString spoken(const QString& caption) const {
        return m_subject + QStringLiteral("：") + caption;
    }
    // The name first: the caption's change is announced too, and then
    // already with the new name.
    void showState(bool on) {
        const QString& caption = on ? m_on : m_off;
        setAccessibleName(spoken(caption));
        setText(caption);
    }

    QString m_subject;
    QString m_off;
    QString m_on;
};

// Holds a control's font changes back until the control is first shown, then
// lets it lay its text out once in the font it has by then.
class FontOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FontChange)
            return true;
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            QEvent change(QEvent::FontChange);
            QCoreApplication::sendEvent(watched, &change);
            deleteLater();
        }
        return false;
    }
};
} // namespace

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height) {
    auto* box = place(new QGroupBox(caption, parent), name, left, top, width, height);
    // Without a name of its own, a frame inside another is read by the outer
    // frame's caption.
    if (!caption.isEmpty())
        box->setAccessibleName(caption);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width, int height) {
    return widenToCaption(place(new QLabel(caption, parent), name, left, top, width, height));
}

QLineEdit* field(QWidget* parent, const char* name, const QString& text, FieldKind kind,
                 const QString& accessibleName, int left, int top, int width, int height) {
    // Given its text after it is made, the field lays the text out once; made
    // with it, the field lays it out again for its font and its password
    // character.
    auto* edit = place(new QLineEdit(parent), name, left, top, width, height);
    edit->setText(text);
    edit->setAccessibleName(accessibleName);
    edit->setCursorPosition(0);
    if (kind == FieldKind::Result)
        edit->setAccessibleDescription(kReadOnlyResult);
    if (kind != FieldKind::Input) {
        edit->setReadOnly(kind == FieldKind::Result);
        edit->setFocusPolicy(Qt::ClickFocus);
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Window));
        edit->setPalette(pal);
        // A result written from code shows its first digits, not its tail.
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] {
            if (!edit->hasFocus())
                edit->setCursorPosition(0);
        });
    }
    return edit;
}

QLineEdit* labelledField(QWidget* parent, const char* labelName, const QString& caption,
                         const QRect& labelTwips, const char* fieldName, const QString& text,
                         FieldKind kind, const QRect& fieldTwips) {
    label(parent, labelName, caption, labelTwips.x(), labelTwips.y(), labelTwips.width(),
          labelTwips.height());
    return field(parent, fieldName, text, kind, caption, fieldTwips.x(), fieldTwips.y(),
                 fieldTwips.width(), fieldTwips.height());
}

LineControls line(QWidget* frame, const Columns& columns, FieldKind kind, const char* labelName,
                  const char* name, const char* unitLabel, const QString& caption,
                  const QString& unit, const QString& initial, const char* tip, int top) {
    QLineEdit* edit =
        labelledField(frame, labelName, caption, {columns.label, top, columns.labelWidth, 255},
                      name, initial, kind, {columns.field, top, columns.fieldWidth, 270});
    if (tip)
        setFieldTip(edit, QString::fromUtf8(tip));
    return {edit, label(frame, unitLabel, unit, columns.unit, top, columns.unitWidth, 255)};
}

void setFieldTip(QLineEdit* field, const QString& tip) {
    field->setToolTip(tip);
    if (field->isReadOnly())
        field->setAccessibleDescription(kReadOnlyResult + QStringLiteral("，") + tip);
}

void write(QLineEdit* field, const QString& text) {
    if (field->text() != text)
        field->setText(text);
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, int left, int top,
                     int width, int height) {
    return widenToCaption(place(new QRadioButton(caption, parent), name, left, top, width, height));
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height) {
    return widenToCaption(place(new QCheckBox(caption, parent), name, left, top, width, height));
}

QCheckBox* toggle(QWidget* parent, const char* name, const QString& subject,
                  const QString& offCaption, const QString& onCaption, int left, int top, int width,
                  int height) {
    return place(new ToggleButton(subject, offCaption, onCaption, parent), name, left, top, width,
                 height);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* b = place(new QPushButton(caption, parent), name, left, top, width, height);
    b->setAutoDefault(false);
    return b;
}

void whenFirstShown(QWidget* control, std::function<void(QWidget*)> step) {
    if (control->isVisible())
        step(control);
    else
        control->installEventFilter(new OnFirstShow(control, std::move(step)));
}

void setFontWhenShown(QWidget* control, const QFont& font) {
    if (!control->isVisible())
        control->installEventFilter(new FontOnShow(control));
    control->setFont(font);
}

} // namespace form
