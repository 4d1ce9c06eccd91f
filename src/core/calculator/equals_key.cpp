#include "core/calculator/equals_key.h"

#include "core/calculator/history.h"
#include "core/numbers/number_text.h"

#include <cmath>

namespace calculator {
namespace {

// Passes everything through to the real box and history, keeping what this
// press appends to the history.
class RecordingIo : public formula::FormulaIo {
public:
    explicit RecordingIo(formula::FormulaIo& io) : m_io(io) {}

    QString boxText() const override { return m_io.boxText(); }
    void setBoxText(const QString& text) override { m_io.setBoxText(text); }
    void setCaret(int position) override { m_io.setCaret(position); }
    void focusBox() override { m_io.focusBox(); }
    void appendHistory(const QString& text) override {
        appended += text;
        m_io.appendHistory(text);
    }

    QString appended;

private:
    formula::FormulaIo& m_io;
};

QStringList messagesIn(const QString& appended) {
    QStringList messages = appended.split(formula::kHistorySeparator);
    messages.removeAll(QString());
    return messages;
}

} // namespace

EqualsOutcome pressEquals(formula::FormulaIo& io, CalculatorState& state) {
    EqualsOutcome outcome;
    if (io.boxText().isEmpty()) {
        io.focusBox();
        return outcome;
    }
    RecordingIo recording(io);
    formula::Engine engine(recording);
    if (!engine.mayEvaluate()) {
        outcome.messages = messagesIn(recording.appended);
        return outcome;
    }
    const formula::Evaluation result = engine.evaluate();
    // A value beyond the double range counts as a failed evaluation and never
    // becomes the last result.
    const bool finite = std::isfinite(result.value);
    if (finite)
        state.lastResult = result.value;
    if (!finite || !result.valid) {
        recording.appendHistory(kFailureMessage + formula::kHistorySeparator);
        outcome.messages = messagesIn(recording.appended);
        return outcome;
    }
    outcome.answer = numbers::trimmedSignedNumberText(result.value);
    recording.appendHistory(calculationEntry(recording.boxText(), outcome.answer));
    recording.setBoxText(QString());
    recording.focusBox();
    outcome.succeeded = true;
    return outcome;
}

} // namespace calculator
