#pragma once

#include "formula/engine.h"
#include "numbers/number_text.h"

#include <QStringList>

// The engine's world over two strings, recording every write, caret and focus.
// With boxRule on, setBoxText runs a copy of the calculator's change rule
// (the calculator's): the 255-character cut and the single-operator rule.
class StringIo : public formula::FormulaIo {
public:
    explicit StringIo(QString text = {}) : box(std::move(text)) {}

    QString boxText() const override { return box; }
    void setBoxText(const QString& text) override {
        writes << text;
        box = text;
        if (boxRule) {
            if (box.size() > 255) {
                appendHistory(QStringLiteral(u"公式长度大于255字符了！") +
                              formula::kHistorySeparator);
                box.truncate(255);
            }
            if (box.size() == 1 && QStringLiteral("+-*/^").contains(box.at(0)))
                box = lastResult != 0 ? numbers::generalNumberText(lastResult) + box : QString();
        }
        caret = static_cast<int>(box.size());
    }
    void setCaret(int position) override {
        caret = position;
        placedCaret = position;
    }
    void focusBox() override { ++focusCount; }
    void appendHistory(const QString& text) override { history += text; }

    // The history split into its messages, separators removed.
    QStringList messages() const {
        QStringList out = history.split(formula::kHistorySeparator);
        if (!out.isEmpty() && out.last().isEmpty())
            out.removeLast();
        return out;
    }

    QString box;
    QString history;
    QStringList writes;
    int caret = -1;       // where the caret is
    int placedCaret = -1; // the last setCaret, -1 when none
    int focusCount = 0;
    bool boxRule = false;
    double lastResult = 0;
};

// The "＝" key's calling sequence: CalcOk true, check, Calc when
// the verdict is true.
struct Outcome {
    bool formulaOk = false;
    bool calcOk = false;
    double value = 0;
    QString text; // general number text of value
};

inline Outcome evaluate(StringIo& io) {
    formula::Engine engine(io);
    Outcome r;
    engine.CalcOk = true;
    engine.check();
    r.formulaOk = engine.FormulaOk;
    if (r.formulaOk) {
        r.value = engine.Calc();
        r.calcOk = engine.CalcOk;
        r.text = numbers::generalNumberText(r.value);
    }
    return r;
}

inline Outcome evaluate(const QString& formula) {
    StringIo io(formula);
    return evaluate(io);
}
