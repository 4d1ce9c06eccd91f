#include "ui/calculator/calculator_tab.h"

#include "core/calculator/angle_keys.h"
#include "core/calculator/equals_key.h"
#include "core/calculator/history.h"
#include "core/calculator/unary_keys.h"
#include "core/numbers/number_text.h"
#include "ui/form/feedback.h"
#include "ui/form/field_rules.h"
#include "ui/form/form_builder.h"
#include "ui/form/twips.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

using calculator::KeyOutcome;

namespace {

constexpr int kKeyHeight = 375;
// Row tops of both key frames, in twips.
constexpr int kRow[6] = {240, 720, 1200, 1680, 2160, 2640};

// A key as the form shows it: what a click types (for a typing key) or does
// (for a command key), its caption, tooltip and place in twips in its frame.
template <typename Tab> struct Key {
    const char* name;
    const char* caption;
    QString types;                    // typing keys: the text inserted at the caret
    void (Tab::*onClick)() = nullptr; // command keys
    QString toolTip;
    int left = 0;
    int top = 0;
    int width = 0;
};

} // namespace

CalculatorTab::CalculatorTab(QWidget* parent) : TabPage(parent, "Tab3"), m_engine(*this) {
    using twips::pageTop;

    auto* frame21 =
        form::frame(this, "Frame21", QStringLiteral("基本运算"), 240, pageTop(3240), 2535, 3135);

    m_box = form::field(this, "Text45", QString(), form::FieldKind::Input, QStringLiteral("公式"),
                        240, pageTop(2760), 7335, 420);
    setEntryField(m_box);
    QFont boxFont = m_box->font();
    boxFont.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC")});
    boxFont.setPointSize(15);
    // The box's face shows on this tab only: it is loaded when the tab is
    // first opened, not while the window opens on the first one.
    form::setFontWhenShown(m_box, boxFont);
    m_box->setToolTip(QStringLiteral("计算前请仔细检查公式"));

    m_historyBox = new QPlainTextEdit(this);
    m_historyBox->setObjectName(QStringLiteral("Text46"));
    m_historyBox->setGeometry(twips::rect(240, pageTop(480), 7335, 2295));
    m_historyBox->setReadOnly(true);
    m_historyBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_historyBox->setToolTip(QStringLiteral("计算历史"));
    m_historyBox->setAccessibleName(QStringLiteral("计算历史"));
    {
        QPalette pal = m_historyBox->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        // The whole history stays selected to keep its end in view; the
        // selection shows only while the history has the focus.
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Button));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Text));
        m_historyBox->setPalette(pal);
    }

    auto* frame22 =
        form::frame(this, "Frame22", QStringLiteral("高级运算"), 3120, pageTop(3240), 4455, 3135);
    form::frame(this, "Frame23", QString(), 2880, pageTop(3240), 135, 3135);

    buildKeypad(frame21);
    buildFunctionKeys(frame22);

    auto* rules = new FieldRules(this);
    rules->addField({.edit = m_box,
                     .keys = keysets::kFormula,
                     .selectAllOnFocus = false,
                     .keyDown = [this](int key) {
                         if (FieldRules::isEnter(key))
                             pressEquals();
                     }});
    // Installed after the field rules, so this filter sees the box's events first.
    m_box->installEventFilter(this);
    m_historyBox->installEventFilter(this);

    connect(m_box, &QLineEdit::textChanged, this, [this] { onFormulaChanged(); });
}

namespace {
// Creates the keys in the order given, which is their tab order.
template <typename Tab>
QPushButton* placeKey(Tab* tab, QWidget* frame, const Key<Tab>& k,
                      const std::function<void(const QString&)>& type) {
    QPushButton* key = form::button(frame, k.name, QString::fromUtf8(k.caption), k.left, k.top,
                                    k.width, kKeyHeight);
    if (!k.toolTip.isEmpty())
        key->setToolTip(k.toolTip);
    if (k.onClick)
        QObject::connect(key, &QPushButton::clicked, tab, [tab, f = k.onClick] { (tab->*f)(); });
    else
        QObject::connect(key, &QPushButton::clicked, tab, [type, text = k.types] { type(text); });
    return key;
}
} // namespace

void CalculatorTab::buildKeypad(QWidget* frame) {
    using T = CalculatorTab;
    const int l[4] = {120, 720, 1320, 1920};
    const auto typed = [](const char* name, const char* caption, int left, int top) {
        return Key<T>{name, caption, QString::fromUtf8(caption), nullptr, {}, left, top, 495};
    };
    const auto command = [](const char* name, const char* caption, void (T::*onClick)(), int left,
                            int top) {
        return Key<T>{name, caption, {}, onClick, {}, left, top, 495};
    };
    const Key<T> keys[] = {
        typed("Command6_1", "1", l[0], kRow[0]),
        typed("Command6_2", "2", l[1], kRow[0]),
        typed("Command6_3", "3", l[2], kRow[0]),
        typed("Command6_12", "+", l[3], kRow[0]),
        typed("Command6_4", "4", l[0], kRow[1]),
        typed("Command6_5", "5", l[1], kRow[1]),
        typed("Command6_6", "6", l[2], kRow[1]),
        typed("Command6_13", "-", l[3], kRow[1]),
        typed("Command6_7", "7", l[0], kRow[2]),
        typed("Command6_8", "8", l[1], kRow[2]),
        typed("Command6_9", "9", l[2], kRow[2]),
        typed("Command6_14", "*", l[3], kRow[2]),
        typed("Command6_11", ".", l[0], kRow[3]),
        typed("Command6_0", "0", l[1], kRow[3]),
        typed("Command6_10", "^", l[2], kRow[3]),
        typed("Command6_15", "/", l[3], kRow[3]),
        typed("Command6_16", "(", l[0], kRow[4]),
        typed("Command6_17", ")", l[1], kRow[4]),
        command("Command14", "CE", &T::onClearClicked, l[2], kRow[4]),
        command("Command11", "＝", &T::onEqualsClicked, l[3], kRow[4]),
        command("Command15", "MC", &T::onMemoryClearClicked, l[0], kRow[5]),
        command("Command16", "MR", &T::onMemoryRecallClicked, l[1], kRow[5]),
        command("Command17", "M+", &T::onMemoryAddClicked, l[2], kRow[5]),
        command("Command18", "M-", &T::onMemorySubtractClicked, l[3], kRow[5]),
    };
    const auto type = [this](const QString& text) { onKeypadClicked(text); };
    for (const Key<T>& k : keys) {
        QPushButton* key = placeKey(this, frame, k, type);
        if (k.onClick == &T::onEqualsClicked)
            m_equals = key;
        else if (k.onClick == &T::onMemoryClearClicked)
            m_memoryClear = key;
        else if (k.onClick == &T::onMemoryRecallClicked)
            m_memoryRecall = key;
        else if (k.onClick == &T::onMemoryAddClicked)
            m_memoryAdd = key;
        else if (k.onClick == &T::onMemorySubtractClicked)
            m_memorySubtract = key;
    }

    m_memoryRecall->setEnabled(false);
    m_memoryRecall->setToolTip(QStringLiteral("0.0"));
    // Their tooltips show the current values whenever the mouse is over them.
    for (QPushButton* key : {m_memoryClear, m_memoryAdd, m_memorySubtract}) {
        key->setMouseTracking(true);
        key->installEventFilter(this);
    }
    m_equals->installEventFilter(this);
}

void CalculatorTab::buildFunctionKeys(QWidget* frame) {
    using T = CalculatorTab;
    // Three rows of six narrow keys, two rows of five and a last row of four
    // with the two wide hyperbolic keys.
    const int n[6] = {120, 840, 1560, 2280, 3000, 3720};
    const int w[5] = {120, 960, 1800, 2640, 3480};
    const auto fn = [](const char* name, const char* caption, const QString& types,
                       const QString& toolTip, int left, int top, int width) {
        return Key<T>{name, caption, types, nullptr, toolTip, left, top, width};
    };
    // A function key types its name, which is also its tooltip.
    const auto named = [&fn](const char* name, const char* caption, const char* function, int left,
                             int top, int width) {
        const QString text = QString::fromUtf8(function);
        return fn(name, caption, text, text, left, top, width);
    };
    const auto command = [](const char* name, const char* caption, void (T::*onClick)(), int left,
                            int top) {
        return Key<T>{name, caption, {}, onClick, {}, left, top, 615};
    };
    const QString pi = numbers::generalNumberText(formula::kPi);
    const QString e = QStringLiteral("2.71828182845905");
    const QByteArray marks = (QString(calculator::kDegreeSign) + calculator::kMinuteMark +
                              QLatin1Char(' ') + calculator::kSecondMark)
                                 .toUtf8();
    const Key<T> keys[] = {
        command("Command7", "ANS", &T::onAnsClicked, n[0], kRow[0]),
        command("Command20", "←", &T::onBackspaceClicked, n[1], kRow[0]),
        fn("Command19_0", "π", pi, pi, n[2], kRow[0], 615),
        fn("Command19_8", "e", e, e, n[3], kRow[0], 615),
        named("Command19_14", "百", "100", n[4], kRow[0], 615),
        fn("Command19_21", "千", QStringLiteral("1000"), QStringLiteral("1E3"), n[5], kRow[0], 615),
        fn("Command19_24", "万", QStringLiteral("10000"), QStringLiteral("1E4"), n[0], kRow[1],
           615),
        command("Command8", "1/X", &T::onReciprocalClicked, n[1], kRow[1]),
        command("Command9", "n!", &T::onFactorialClicked, n[2], kRow[1]),
        named("Command19_5", "Log", "log", n[3], kRow[1], 615),
        named("Command19_6", "ln", "ln", n[4], kRow[1], 615),
        named("Command19_10", "^2", "^2", n[5], kRow[1], 615),
        command("Command13", marks.constData(), &T::onAngleMarkClicked, n[0], kRow[2]),
        named("Command19_13", "ABS", "abs", n[1], kRow[2], 615),
        named("Command19_9", "Exp", "exp", n[2], kRow[2], 615),
        named("Command19_7", "开方", "sqr", n[3], kRow[2], 615),
        command("Command10", "r→d", &T::onRadiansToDegreesClicked, n[4], kRow[2]),
        command("Command12", "d→r", &T::onDegreesToRadiansClicked, n[5], kRow[2]),
        named("Command19_1", "正弦", "sin", w[0], kRow[3], 735),
        named("Command19_2", "余弦", "cos", w[1], kRow[3], 735),
        named("Command19_4", "正切", "tg", w[2], kRow[3], 735),
        named("Command19_3", "余切", "ctg", w[3], kRow[3], 735),
        named("Command19_15", "正割", "sec", w[4], kRow[3], 735),
        named("Command19_12", "反正弦", "arcsin", w[0], kRow[4], 735),
        named("Command19_11", "反余弦", "arccos", w[1], kRow[4], 735),
        named("Command19_16", "反正切", "arctg", w[2], kRow[4], 735),
        named("Command19_18", "反余切", "arcctg", w[3], kRow[4], 735),
        named("Command19_19", "反正割", "arcsec", w[4], kRow[4], 735),
        named("Command19_17", "余割", "csc", 120, kRow[5], 735),
        named("Command19_20", "反余割", "arccsc", 960, kRow[5], 735),
        named("Command19_22", "双曲正弦", "sh", 2160, kRow[5], 975),
        named("Command19_23", "双曲余弦", "ch", 3240, kRow[5], 975),
    };
    const auto type = [this](const QString& text) { insertAtCaret(text); };
    for (const Key<T>& k : keys) {
        QPushButton* key = placeKey(this, frame, k, type);
        if (k.onClick == &T::onAnsClicked)
            m_ans = key;
    }
}

bool CalculatorTab::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_box && (type == QEvent::FocusOut || type == QEvent::FocusIn)) {
        // The keys insert at the caret or the selection's start even after a
        // click has taken the focus, so leaving keeps the selection; and
        // entering by Tab selects nothing.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool tab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        if (type == QEvent::FocusOut && reason != Qt::PopupFocusReason &&
            reason != Qt::ActiveWindowFocusReason) {
            QFocusEvent keep(QEvent::FocusOut, Qt::PopupFocusReason);
            static_cast<QObject*>(m_box)->event(&keep);
            return true;
        }
        if (type == QEvent::FocusIn && tab) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            static_cast<QObject*>(m_box)->event(&plain);
            return true;
        }
        return false;
    }
    if ((watched == m_historyBox || watched == m_equals) && type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Copying from the history stays possible.
        if (watched == m_historyBox && key->matches(QKeySequence::Copy))
            return false;
        if (key->text().isEmpty())
            return false; // arrows and page keys scroll the history
        focusBox();
        return true;
    }
    if (type == QEvent::Enter || type == QEvent::MouseMove || type == QEvent::ToolTip) {
        if (watched == m_memoryClear)
            m_memoryClear->setToolTip(numbers::generalNumberText(m_state.memory));
        else if (watched == m_memoryAdd || watched == m_memorySubtract)
            static_cast<QWidget*>(watched)->setToolTip(
                numbers::generalNumberText(m_state.lastResult));
    }
    return false;
}

// --- The engine's view of the boxes ---

QString CalculatorTab::boxText() const {
    return m_box->text();
}
void CalculatorTab::setBoxText(const QString& text) {
    m_box->setText(text);
}
void CalculatorTab::setCaret(int position) {
    m_box->setCursorPosition(position);
}
void CalculatorTab::focusBox() {
    m_box->setFocus(Qt::OtherFocusReason);
}
void CalculatorTab::appendHistory(const QString& text) {
    m_history += text;
    showHistory();
}

void CalculatorTab::setFormulaText(const QString& text) {
    m_box->setText(text);
}
void CalculatorTab::pressEquals() {
    m_equals->click();
}

// --- Box rules ---

void CalculatorTab::onFormulaChanged() {
    const calculator::BoxChange change =
        calculator::boxChangeRule(m_box->text(), m_state.lastResult);
    if (change.cut)
        appendHistory(formula::kTooLongMessage + formula::kHistorySeparator);
    // The write runs this rule again, on a text it leaves as it is.
    if (change.text != m_box->text())
        m_box->setText(change.text);
    m_box->setCursorPosition(static_cast<int>(m_box->text().size()));
}

void CalculatorTab::showHistory() {
    m_history = calculator::trimHistory(m_history);
    m_historyBox->setPlainText(m_history);
    // Everything selected, the caret at the end: the newest entry is in view.
    QTextCursor all(m_historyBox->document());
    all.select(QTextCursor::Document);
    m_historyBox->setTextCursor(all);
    m_historyBox->ensureCursorVisible();
    m_historyBox->verticalScrollBar()->setValue(m_historyBox->verticalScrollBar()->maximum());
}

int CalculatorTab::caretPosition() const {
    return m_box->hasSelectedText() ? m_box->selectionStart() : m_box->cursorPosition();
}

void CalculatorTab::insertAtCaret(const QString& text) {
    const int p = caretPosition();
    const QString box = m_box->text();
    m_box->setText(box.left(p) + text + box.mid(p));
    focusBox();
    const auto end = m_box->text().size();
    m_box->setCursorPosition(static_cast<int>(std::min<qsizetype>(p + text.size(), end)));
}

void CalculatorTab::refreshAnsToolTip() {
    m_ans->setToolTip(calculator::lastResultToolTip(m_state.lastResult));
}

void CalculatorTab::apply(const KeyOutcome& outcome) {
    switch (outcome.kind) {
    case KeyOutcome::Kind::Nothing:
        return;
    case KeyOutcome::Kind::Refused:
        feedback::beep();
        return;
    case KeyOutcome::Kind::Message:
        feedback::message(window(), outcome.text);
        break;
    case KeyOutcome::Kind::Note:
        appendHistory(outcome.text);
        break;
    case KeyOutcome::Kind::Entry:
        appendHistory(outcome.text);
        m_box->clear();
        refreshAnsToolTip();
        break;
    }
    if (outcome.focusBox)
        focusBox();
    if (outcome.caret >= 0)
        m_box->setCursorPosition(outcome.caret);
}

// --- Insertion keys, ←, CE, ＝ ---

void CalculatorTab::onKeypadClicked(const QString& text) {
    const bool wasEmpty = m_box->text().isEmpty();
    insertAtCaret(text);
    // An operator into an empty box continues the last result: caret after it.
    if (wasEmpty)
        m_box->setCursorPosition(static_cast<int>(m_box->text().size()));
}

void CalculatorTab::onAnsClicked() {
    insertAtCaret(numbers::trimmedSignedNumberText(m_state.lastResult));
}

void CalculatorTab::onBackspaceClicked() {
    const QString box = m_box->text();
    if (box.isEmpty())
        return;
    const int p = caretPosition();
    if (p == 0) {
        focusBox();
        m_box->setCursorPosition(0);
        return;
    }
    m_box->setText(box.left(p - 1) + box.mid(p));
    focusBox();
    m_box->setCursorPosition(std::min(p - 1, static_cast<int>(m_box->text().size())));
}

void CalculatorTab::onClearClicked() {
    m_box->clear();
    focusBox();
}

void CalculatorTab::onEqualsClicked() {
    if (calculator::pressEquals(*this, m_state).succeeded)
        refreshAnsToolTip();
}

// --- Memory and unary keys ---

void CalculatorTab::onMemoryClearClicked() {
    m_state.memory = 0;
    m_memoryRecall->setEnabled(false);
    focusBox();
}

void CalculatorTab::onMemoryRecallClicked() {
    insertAtCaret(numbers::trimmedSignedNumberText(m_state.memory));
}

void CalculatorTab::onMemoryAddClicked() {
    storeInMemory(1);
}

void CalculatorTab::onMemorySubtractClicked() {
    storeInMemory(-1);
}

void CalculatorTab::storeInMemory(int sign) {
    const calculator::MemoryOutcome outcome = calculator::storeInMemory(m_state, sign);
    if (outcome == calculator::MemoryOutcome::Refused)
        feedback::beep();
    if (outcome != calculator::MemoryOutcome::Stored)
        return;
    m_memoryRecall->setEnabled(true);
    m_memoryRecall->setToolTip(QStringLiteral("储存数据：") +
                               numbers::generalNumberText(m_state.memory));
    focusBox();
}

void CalculatorTab::onReciprocalClicked() {
    if (!m_box->text().isEmpty())
        m_engine.removeBlanks();
    apply(calculator::reciprocal(m_state, m_box->text()));
}

void CalculatorTab::onFactorialClicked() {
    if (m_box->text().isEmpty())
        return;
    m_engine.removeBlanks();
    apply(calculator::factorial(m_state, m_box->text()));
}

// --- Angle keys ---

void CalculatorTab::onRadiansToDegreesClicked() {
    apply(calculator::radiansToDegrees(m_state, m_box->text()));
}

void CalculatorTab::onDegreesToRadiansClicked() {
    if (!m_box->text().isEmpty())
        m_box->setText(m_box->text().toUpper());
    apply(calculator::degreesToRadians(m_state, m_box->text()));
}

void CalculatorTab::onAngleMarkClicked() {
    const calculator::MarkResult result = calculator::angleMark(m_box->text(), caretPosition());
    if (result.refused) {
        feedback::beep();
        return;
    }
    if (!result.edit)
        return;
    m_box->setText(result.edit->text);
    const int end = static_cast<int>(m_box->text().size());
    m_box->setCursorPosition(std::min(result.edit->caret, end));
}
