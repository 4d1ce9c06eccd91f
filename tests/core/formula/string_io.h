#pragma once

#include "core/calculator/history.h"
#include "core/formula/engine.h"
#include "core/numbers/number_text.h"

#include <QStringList>

// The engine's world over two strings, recording every write, caret and focus.
// With boxRule on, setBoxText runs the calculator's change rule: the
// 255-character cut and the single-operator rule.
class StringIo : public formula::FormulaIo {
public:
    explicit StringIo(QString text = {}) : box(std::move(text)) {}

    QString boxText() const override { return box; }
    void setBoxText(const QString& text) override {
        writes << text;
        box = text;
        if (boxRule) {
            const calculator::BoxChange change = calculator::boxChangeRule(box, lastResult);
            if (change.cut)
                appendHistory(formula::kTooLongMessage + formula::kHistorySeparator);
            box = change.text;
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

// The "＝" key's calling sequence: the value when the formula may be
// evaluated.
struct Outcome {
    bool formulaOk = false;
    bool calcOk = false;
    double value = 0;
    QString text; // general number text of value
};

inline Outcome evaluate(StringIo& io) {
    formula::Engine engine(io);
    Outcome r;
    r.formulaOk = engine.mayEvaluate();
    if (r.formulaOk) {
        const formula::Evaluation e = engine.evaluate();
        r.value = e.value;
        r.calcOk = e.valid;
        r.text = numbers::generalNumberText(r.value);
    }
    return r;
}

inline Outcome evaluate(const QString& formula) {
    StringIo io(formula);
    return evaluate(io);
}
