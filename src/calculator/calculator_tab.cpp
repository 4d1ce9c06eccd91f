#include "calculator/calculator_tab.h"

#include "form/feedback.h"
#include "form/field_rules.h"
#include "form/form_builder.h"
#include "form/twips.h"
#include "calculator/angle_keys.h"
#include "calculator/history.h"
#include "calculator/unary_keys.h"
#include "numbers/number_text.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>
#include <cmath>

using calculator::KeyOutcome;

namespace {

constexpr int kKeyHeight = 375;
constexpr int kRowTops[6] = {240, 720, 1200, 1680, 2160, 2640};

// The function and constant keys: caption, inserted text, tooltip.
struct FunctionKey {
    const char* caption;
    const char* tag;
    const char* toolTip;
};
const FunctionKey kFunctionKeys[25] = {
    {"π", "3.14159265358979", "3.14159265358979"},
    {"正弦", "sin", "sin"},
    {"余弦", "cos", "cos"},
    {"余切", "ctg", "ctg"},
    {"正切", "tg", "tg"},
    {"Log", "log", "log"},
    {"ln", "ln", "ln"},
    {"开方", "sqr", "sqr"},
    {"e", "2.71828182845905", "2.71828182845905"},
    {"Exp", "exp", "exp"},
    {"^2", "^2", "^2"},
    {"反余弦", "arccos", "arccos"},
    {"反正弦", "arcsin", "arcsin"},
    {"ABS", "abs", "abs"},
    {"百", "100", "100"},
    {"正割", "sec", "sec"},
    {"反正切", "arctg", "arctg"},
    {"余割", "csc", "csc"},
    {"反余切", "arcctg", "arcctg"},
    {"反正割", "arcsec", "arcsec"},
    {"反余割", "arccsc", "arccsc"},
    {"千", "1000", "1E3"},
    {"双曲正弦", "sh", "sh"},
    {"双曲余弦", "ch", "ch"},
    {"万", "10000", "1E4"},
};

// Captions of the Command6 keys by index.
const char* const kKeypadCaptions[18] = {"0", "1", "2", "3", "4", "5", "6", "7", "8",
                                         "9", "^", ".", "+", "-", "*", "/", "(", ")"};

} // namespace

CalculatorTab::CalculatorTab(QWidget* parent) : QWidget(parent), m_engine(*this) {
    setObjectName(QStringLiteral("Tab3"));
    using twips::pageTop;

    auto* frame21 =
        form::frame(this, "Frame21", QStringLiteral("基本运算"), 240, pageTop(3240), 2535, 3135);

    m_text45 = form::field(this, "Text45", QString(), form::FieldKind::Input,
                           QStringLiteral("公式"), 240, pageTop(2760), 7335, 420);
    QFont boxFont = m_text45->font();
    boxFont.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC")});
    boxFont.setPointSize(15);
    m_text45->setFont(boxFont);
    m_text45->setToolTip(QStringLiteral("计算前请仔细检查公式"));

    m_text46 = new QPlainTextEdit(this);
    m_text46->setObjectName(QStringLiteral("Text46"));
    m_text46->setGeometry(twips::rect(240, pageTop(480), 7335, 2295));
    m_text46->setReadOnly(true);
    m_text46->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text46->setToolTip(QStringLiteral("计算历史"));
    m_text46->setAccessibleName(QStringLiteral("计算历史"));
    {
        QPalette pal = m_text46->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        // The whole history stays selected to keep its end in view; the
        // selection shows only while the history has the focus.
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Button));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Text));
        m_text46->setPalette(pal);
    }

    auto* frame22 =
        form::frame(this, "Frame22", QStringLiteral("高级运算"), 3120, pageTop(3240), 4455, 3135);
    form::frame(this, "Frame23", QString(), 2880, pageTop(3240), 135, 3135);

    buildKeypad(frame21);
    buildFunctionKeys(frame22);

    m_rules = new FieldRules(this);
    m_rules->add({m_text45, keysets::kFormula, {}, false, {}, nullptr, [this](int key) {
                      if (FieldRules::isEnter(key))
                          pressEquals();
                  }});
    // Installed after the field rules, so this filter sees the box's events first.
    m_text45->installEventFilter(this);
    m_text46->installEventFilter(this);

    connect(m_text45, &QLineEdit::textChanged, this, [this] { Text45_Change(); });
}

QPushButton* CalculatorTab::commandKey(QWidget* frame, int number, const QString& caption, int left,
                                       int top, int width) {
    const QByteArray name = "Command" + QByteArray::number(number);
    QPushButton* key = form::button(frame, name.constData(), caption, left, top, width, kKeyHeight);
    m_command[number] = key;
    return key;
}

void CalculatorTab::buildKeypad(QWidget* frame) {
    // Rows of four: a Command6 index, or -(number) for a named key.
    const int rows[6][4] = {
        {1, 2, 3, 12},   {4, 5, 6, 13},      {7, 8, 9, 14},
        {11, 0, 10, 15}, {16, 17, -14, -11}, {-15, -16, -17, -18},
    };
    const int lefts[4] = {120, 720, 1320, 1920};
    const QString named[19] = {{},
                               {},
                               {},
                               {},
                               {},
                               {},
                               {},
                               {},
                               {},
                               {},
                               {},
                               QStringLiteral("＝"),
                               {},
                               {},
                               QStringLiteral("CE"),
                               QStringLiteral("MC"),
                               QStringLiteral("MR"),
                               QStringLiteral("M+"),
                               QStringLiteral("M-")};
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 4; ++c) {
            const int id = rows[r][c];
            if (id < 0) {
                commandKey(frame, -id, named[-id], lefts[c], kRowTops[r], 495);
                continue;
            }
            const QByteArray name = "Command6_" + QByteArray::number(id);
            QPushButton* key =
                form::button(frame, name.constData(), QString::fromUtf8(kKeypadCaptions[id]),
                             lefts[c], kRowTops[r], 495, kKeyHeight);
            connect(key, &QPushButton::clicked, this, [this, id] { Command6_Click(id); });
        }
    }
    connect(m_command[14], &QPushButton::clicked, this, [this] { Command14_Click(); });
    connect(m_command[11], &QPushButton::clicked, this, [this] { Command11_Click(); });
    connect(m_command[15], &QPushButton::clicked, this, [this] { Command15_Click(); });
    connect(m_command[16], &QPushButton::clicked, this, [this] { Command16_Click(); });
    connect(m_command[17], &QPushButton::clicked, this, [this] { memoryKey(1); });
    connect(m_command[18], &QPushButton::clicked, this, [this] { memoryKey(-1); });

    m_command[16]->setEnabled(false);
    m_command[16]->setToolTip(QStringLiteral("0.0"));
    // Their tooltips show the current values whenever the mouse is over them.
    for (int n : {15, 17, 18}) {
        m_command[n]->setMouseTracking(true);
        m_command[n]->installEventFilter(this);
    }
    m_command[11]->installEventFilter(this);
}

void CalculatorTab::buildFunctionKeys(QWidget* frame) {
    // Rows of keys: a Command19 index, or -(number) for a named key.
    struct Row {
        int keys[6];
        int count;
        int width;
        int lefts[6];
    };
    const Row rows[6] = {
        {{-7, -20, 0, 8, 14, 21}, 6, 615, {120, 840, 1560, 2280, 3000, 3720}},
        {{24, -8, -9, 5, 6, 10}, 6, 615, {120, 840, 1560, 2280, 3000, 3720}},
        {{-13, 13, 9, 7, -10, -12}, 6, 615, {120, 840, 1560, 2280, 3000, 3720}},
        {{1, 2, 4, 3, 15}, 5, 735, {120, 960, 1800, 2640, 3480}},
        {{12, 11, 16, 18, 19}, 5, 735, {120, 960, 1800, 2640, 3480}},
        {{17, 20, 22, 23}, 4, 735, {120, 960, 2160, 3240}},
    };
    const QString named[21] = {{},
                               {},
                               {},
                               {},
                               {},
                               {},
                               {},
                               QStringLiteral("ANS"),
                               QStringLiteral("1/X"),
                               QStringLiteral("n!"),
                               QStringLiteral("r→d"),
                               {},
                               QStringLiteral("d→r"),
                               QString(calculator::kDegreeSign) + calculator::kMinuteMark +
                                   QLatin1Char(' ') + calculator::kSecondMark,
                               {},
                               {},
                               {},
                               {},
                               {},
                               {},
                               QStringLiteral("←")};
    for (int r = 0; r < 6; ++r) {
        const Row& row = rows[r];
        for (int c = 0; c < row.count; ++c) {
            const int id = row.keys[c];
            // The hyperbolic keys are wider.
            const int width = (r == 5 && c >= 2) ? 975 : row.width;
            if (id < 0) {
                commandKey(frame, -id, named[-id], row.lefts[c], kRowTops[r], width);
                continue;
            }
            const FunctionKey& f = kFunctionKeys[id];
            const QByteArray name = "Command19_" + QByteArray::number(id);
            QPushButton* key = form::button(frame, name.constData(), QString::fromUtf8(f.caption),
                                            row.lefts[c], kRowTops[r], width, kKeyHeight);
            key->setToolTip(QString::fromUtf8(f.toolTip));
            connect(key, &QPushButton::clicked, this, [this, id] { Command19_Click(id); });
        }
    }
    connect(m_command[7], &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(m_command[20], &QPushButton::clicked, this, [this] { Command20_Click(); });
    connect(m_command[8], &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(m_command[9], &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(m_command[10], &QPushButton::clicked, this, [this] { Command10_Click(); });
    connect(m_command[12], &QPushButton::clicked, this, [this] { Command12_Click(); });
    connect(m_command[13], &QPushButton::clicked, this, [this] { Command13_Click(); });
}

bool CalculatorTab::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_text45 && (type == QEvent::FocusOut || type == QEvent::FocusIn)) {
        // The keys insert at the caret or the selection's start even after a
        // click has taken the focus, so leaving keeps the selection; and
        // entering by Tab selects nothing.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool tab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        if (type == QEvent::FocusOut && reason != Qt::PopupFocusReason &&
            reason != Qt::ActiveWindowFocusReason) {
            QFocusEvent keep(QEvent::FocusOut, Qt::PopupFocusReason);
            static_cast<QObject*>(m_text45)->event(&keep);
            return true;
        }
        if (type == QEvent::FocusIn && tab) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            static_cast<QObject*>(m_text45)->event(&plain);
            return true;
        }
        return false;
    }
    if ((watched == m_text46 || watched == m_command[11]) && type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Copying from the history stays possible.
        if (watched == m_text46 && key->matches(QKeySequence::Copy))
            return false;
        if (key->text().isEmpty())
            return false; // arrows and page keys scroll the history
        focusBox();
        return true;
    }
    if (type == QEvent::Enter || type == QEvent::MouseMove || type == QEvent::ToolTip) {
        if (watched == m_command[15])
            m_command[15]->setToolTip(numbers::generalNumberText(m_state.MemoryValue));
        else if (watched == m_command[17] || watched == m_command[18])
            static_cast<QWidget*>(watched)->setToolTip(
                numbers::generalNumberText(m_state.LastResult));
    }
    return false;
}

// --- The engine's view of the boxes ---

QString CalculatorTab::boxText() const {
    return m_text45->text();
}
void CalculatorTab::setBoxText(const QString& text) {
    m_text45->setText(text);
}
void CalculatorTab::setCaret(int position) {
    m_text45->setCursorPosition(position);
}
void CalculatorTab::focusBox() {
    m_text45->setFocus(Qt::OtherFocusReason);
}
void CalculatorTab::appendHistory(const QString& text) {
    m_history += text;
    Text46_Change();
}

void CalculatorTab::setFormulaText(const QString& text) {
    m_text45->setText(text);
}
void CalculatorTab::pressEquals() {
    m_command[11]->click();
}

// --- Box rules ---

void CalculatorTab::Text45_Change() {
    if (m_text45->text().size() > calculator::kMaxFormulaLength) {
        appendHistory(calculator::kTooLongMessage + formula::kHistorySeparator);
        m_text45->setText(m_text45->text().left(calculator::kMaxFormulaLength));
    }
    const QString text = m_text45->text();
    if (calculator::isOperatorContinuation(text))
        m_text45->setText(calculator::operatorContinuation(text, m_state.LastResult));
    m_text45->setCursorPosition(static_cast<int>(m_text45->text().size()));
}

void CalculatorTab::Text46_Change() {
    m_history = calculator::trimHistory(m_history);
    m_text46->setPlainText(m_history);
    // Everything selected, the caret at the end: the newest entry is in view.
    QTextCursor all(m_text46->document());
    all.select(QTextCursor::Document);
    m_text46->setTextCursor(all);
    m_text46->ensureCursorVisible();
    m_text46->verticalScrollBar()->setValue(m_text46->verticalScrollBar()->maximum());
}

int CalculatorTab::caretPosition() const {
    return m_text45->hasSelectedText() ? m_text45->selectionStart() : m_text45->cursorPosition();
}

void CalculatorTab::InsertAtCaret(const QString& text) {
    const int p = caretPosition();
    const QString box = m_text45->text();
    m_text45->setText(box.left(p) + text + box.mid(p));
    focusBox();
    const auto end = m_text45->text().size();
    m_text45->setCursorPosition(static_cast<int>(std::min<qsizetype>(p + text.size(), end)));
}

void CalculatorTab::refreshAnsToolTip() {
    m_command[7]->setToolTip(calculator::lastResultToolTip(m_state.LastResult));
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
        m_text45->clear();
        refreshAnsToolTip();
        break;
    }
    if (outcome.focusBox)
        focusBox();
    if (outcome.caret >= 0)
        m_text45->setCursorPosition(outcome.caret);
}

// --- Insertion keys, ←, CE, ＝ ---

void CalculatorTab::Command6_Click(int index) {
    const bool wasEmpty = m_text45->text().isEmpty();
    InsertAtCaret(QString::fromUtf8(kKeypadCaptions[index]));
    // An operator into an empty box continues the last result: caret after it.
    if (wasEmpty)
        m_text45->setCursorPosition(static_cast<int>(m_text45->text().size()));
}

void CalculatorTab::Command19_Click(int index) {
    InsertAtCaret(QString::fromUtf8(kFunctionKeys[index].tag));
}

void CalculatorTab::Command7_Click() {
    InsertAtCaret(numbers::trimmedSignedNumberText(m_state.LastResult));
}

void CalculatorTab::Command20_Click() {
    const QString box = m_text45->text();
    if (box.isEmpty())
        return;
    const int p = caretPosition();
    if (p == 0) {
        focusBox();
        m_text45->setCursorPosition(0);
        return;
    }
    m_text45->setText(box.left(p - 1) + box.mid(p));
    focusBox();
    m_text45->setCursorPosition(std::min(p - 1, static_cast<int>(m_text45->text().size())));
}

void CalculatorTab::Command14_Click() {
    m_text45->clear();
    focusBox();
}

void CalculatorTab::Command11_Click() {
    m_engine.CalcOk = true;
    if (m_text45->text().isEmpty()) {
        focusBox();
        return;
    }
    m_engine.check();
    if (!m_engine.FormulaOk)
        return;
    const double value = m_engine.Calc();
    // A value beyond the double range counts as a failed evaluation and never
    // becomes the last result.
    if (std::isfinite(value))
        m_state.LastResult = value;
    else
        m_engine.CalcOk = false;
    if (!m_engine.CalcOk) {
        appendHistory(calculator::kFailureMessage + formula::kHistorySeparator);
        return;
    }
    appendHistory(QStringLiteral("公式：") + m_text45->text() + calculator::kLineBreak +
                  QStringLiteral("答案："));
    // The engine depends on nothing but the box, so this is the same value.
    const double answer = m_engine.Calc();
    appendHistory(numbers::trimmedSignedNumberText(answer) + formula::kHistorySeparator);
    m_text45->clear();
    focusBox();
    refreshAnsToolTip();
}

// --- Memory and unary keys ---

void CalculatorTab::Command15_Click() {
    m_state.MemoryValue = 0;
    m_command[16]->setEnabled(false);
    focusBox();
}

void CalculatorTab::Command16_Click() {
    InsertAtCaret(numbers::trimmedSignedNumberText(m_state.MemoryValue));
}

void CalculatorTab::memoryKey(int sign) {
    switch (calculator::storeInMemory(m_state, sign)) {
    case calculator::MemoryOutcome::Ignored:
        return;
    case calculator::MemoryOutcome::Refused:
        feedback::beep();
        return;
    case calculator::MemoryOutcome::Stored:
        m_command[16]->setEnabled(true);
        m_command[16]->setToolTip(QStringLiteral("储存数据：") +
                                  numbers::generalNumberText(m_state.MemoryValue));
        focusBox();
        return;
    }
}

void CalculatorTab::Command8_Click() {
    if (!m_text45->text().isEmpty())
        m_engine.DelSpace();
    apply(calculator::reciprocal(m_state, m_text45->text()));
}

void CalculatorTab::Command9_Click() {
    if (m_text45->text().isEmpty())
        return;
    m_engine.DelSpace();
    apply(calculator::factorial(m_state, m_text45->text()));
}

// --- Angle keys ---

void CalculatorTab::Command10_Click() {
    apply(calculator::radiansToDegrees(m_state, m_text45->text()));
}

void CalculatorTab::Command12_Click() {
    if (!m_text45->text().isEmpty())
        m_text45->setText(m_text45->text().toUpper());
    apply(calculator::degreesToRadians(m_state, m_text45->text()));
}

void CalculatorTab::Command13_Click() {
    const calculator::MarkResult result = calculator::angleMark(m_text45->text(), caretPosition());
    if (result.refused) {
        feedback::beep();
        return;
    }
    if (!result.edit)
        return;
    m_text45->setText(result.edit->text);
    const int end = static_cast<int>(m_text45->text().size());
    m_text45->setCursorPosition(std::min(result.edit->caret, end));
}
