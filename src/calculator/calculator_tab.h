#pragma once

#include "calculator/calculator_state.h"
#include "calculator/key_outcome.h"
#include "formula/engine.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class FieldRules;

// Tab 3, "计算器": the formula calculator. Its formula box and history are the
// formula engine's window onto the world.
class CalculatorTab : public QWidget, private formula::FormulaIo {
    Q_OBJECT
public:
    explicit CalculatorTab(QWidget* parent = nullptr);

    QLineEdit* entryField() const { return m_text45; }

    // What the bar-length field uses: the shared last result, the engine on
    // the formula box, the box itself and the "＝" key.
    double lastResult() const { return m_state.LastResult; }
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
    QPushButton* commandKey(QWidget* frame, int number, const QString& caption, int left, int top,
                            int width);

    // Characters before the caret, or before the selection's start.
    int caretPosition() const;
    void InsertAtCaret(const QString& text);
    void apply(const calculator::KeyOutcome& outcome);
    void refreshAnsToolTip();

    void Text45_Change();
    void Text46_Change();
    void Command6_Click(int index);
    void Command19_Click(int index);
    void Command7_Click();  // ANS
    void Command20_Click(); // ←
    void Command14_Click(); // CE
    void Command11_Click(); // ＝
    void Command15_Click(); // MC
    void Command16_Click(); // MR
    void memoryKey(int sign);
    void Command8_Click();  // 1/X
    void Command9_Click();  // n!
    void Command10_Click(); // r→d
    void Command12_Click(); // d→r
    void Command13_Click(); // angle marks

    calculator::CalculatorState m_state;
    formula::Engine m_engine;
    QString m_history;
    QLineEdit* m_text45 = nullptr;
    QPlainTextEdit* m_text46 = nullptr;
    QPushButton* m_command[21] = {}; // Command7 .. Command20 by number
    FieldRules* m_rules = nullptr;
};
