#pragma once

#include "core/calculator/calculator_state.h"
#include "core/calculator/key_outcome.h"
#include "core/formula/engine.h"

#include "ui/form/tab_page.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Tab 3, "计算器": the formula calculator. Its formula box and history are the
// formula engine's window onto the world; the keys' rules live in the
// widget-free core (equals_key, unary_keys, angle_keys, history), and this
// widget wires the keys to them.
//
// Controls by object name:
//   Text45        the formula box            Text46      the history
//   Command6_0 .. Command6_17   digits, "^", ".", operators and parentheses
//   Command19_0 .. Command19_24 functions and constants (π, e, 百, 千, 万)
//   Command7  ANS     Command8  1/X     Command9  n!     Command10  r→d
//   Command11 ＝      Command12 d→r     Command13 angle marks (° ' ")
//   Command14 CE      Command15 MC      Command16 MR     Command17  M+
//   Command18 M-      Command20 ← (deletes before the caret)
class CalculatorTab : public TabPage, private formula::FormulaIo {
    Q_OBJECT
public:
    explicit CalculatorTab(QWidget* parent = nullptr);

    // What the bar-length field uses: the shared last result, the engine on
    // the formula box, the box itself and the "＝" key.
    double lastResult() const { return m_state.lastResult; }
    formula::Engine& engine() { return m_engine; }
    // Sets the formula box text; its change rule runs as for typing.
    void setFormulaText(const QString& text);
    // Presses "＝" by code, exactly as a click.
    void pressEquals();
    // The history exactly as written, with "\r\n" line breaks.
    QString historyText() const { return m_history; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // formula::FormulaIo over Text45 and Text46.
    QString boxText() const override;
    void setBoxText(const QString& text) override;
    void setCaret(int position) override;
    void focusBox() override;
    void appendHistory(const QString& text) override;

    void buildKeypad(QWidget* frame);
    void buildFunctionKeys(QWidget* frame);

    // Characters before the caret, or before the selection's start.
    int caretPosition() const;
    void insertAtCaret(const QString& text);
    void apply(const calculator::KeyOutcome& outcome);
    void refreshAnsToolTip();

    void onFormulaChanged();
    void showHistory();
    void onKeypadClicked(const QString& text);
    void onAnsClicked();
    void onBackspaceClicked();
    void onClearClicked();
    void onEqualsClicked();
    void onMemoryClearClicked();
    void onMemoryRecallClicked();
    void onMemoryAddClicked();
    void onMemorySubtractClicked();
    void storeInMemory(int sign);
    void onReciprocalClicked();
    void onFactorialClicked();
    void onRadiansToDegreesClicked();
    void onDegreesToRadiansClicked();
    void onAngleMarkClicked();

    calculator::CalculatorState m_state;
    formula::Engine m_engine;
    QString m_history;
    QLineEdit* m_box = nullptr;
    QPlainTextEdit* m_historyBox = nullptr;
    QPushButton* m_equals = nullptr;
    QPushButton* m_ans = nullptr;
    QPushButton* m_memoryClear = nullptr;
    QPushButton* m_memoryRecall = nullptr;
    QPushButton* m_memoryAdd = nullptr;
    QPushButton* m_memorySubtract = nullptr;
};
