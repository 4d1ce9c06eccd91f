#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace formula {

// Ends every history entry and every engine message.
inline const QString kHistorySeparator = QStringLiteral("\r\n_________________________\r\n");

// The engine's only view of the world: the calculator's formula box and its
// history. The calculator tab implements it over its real fields; tests over
// two strings.
class FormulaIo {
public:
    virtual ~FormulaIo() = default;
    virtual QString boxText() const = 0;
    // Must run the box's own change rule, as typing would.
    virtual void setBoxText(const QString& text) = 0;
    // Caret as the number of characters before it.
    virtual void setCaret(int position) = 0;
    virtual void focusBox() = 0;
    virtual void appendHistory(const QString& text) = 0;
};

// The longest formula the box holds, and what the box notes in the history
// when a longer text is cut; no group of a formula can be longer either.
inline constexpr int kMaxFormulaLength = 255;
inline const QString kTooLongMessage = QStringLiteral("公式长度大于255字符了！");

// π as this program knows it (15 digits, not the full-precision value): the
// "π" key types it, the trigonometric functions and angle conversions use it.
inline constexpr double kPi = 3.14159265358979;

// A formula's value, and whether it is a true value: an invalid one is 0.
struct Evaluation {
    double value = 0;
    bool valid = false;
};

// Validation and textual reduction of the formula in the formula box.
//
// Outcomes this engine settles for formulas that have no true value:
// - an empty formula may be evaluated; its evaluation is invalid (0);
// - a ")" that closes nothing the user opened (2)+3, 1)(2) is invalid;
// - ")" before "(", a digit, a point or a function name implies "*":
//   (2)(3) is 6, not 23;
// - an operand that is not a number (1.2.3, 2^SIN1, a lone sign) fails its
//   operation: the evaluation is invalid, the operation yields 0 and the
//   reduction goes on;
// - any value beyond the double range, or not a number ((-8)^(1/3), SH800,
//   a 15-digit text such as 1.79769313486232E+308 read back) fails likewise;
// - a run of letters that is not a name of the table fails the evaluation
//   wherever it stands (validation reports only the first run): SIN1+FOO2,
//   SINX1, 2FOO3 and SIN0+SINCOS1 are all invalid;
// - TG, SEC refuse arguments within 1E-05 of an odd multiple of π/2, CTG,
//   CSC within 1E-05 of a multiple of π (so TG0 is 0);
// - ARCSIN, ARCCOS, ARCSEC, ARCCSC at |x| = 1 take the limit of their
//   expression: ARCSIN1 = π/2, ARCCOS1 = 0, ARCCOS(0-1) = π.
// Letters are upper-cased for a-z only.
//
// Positions: messages and carets count characters from 1; everything in this
// class that takes or returns a position uses 0-based QString indexes instead
// (noted on each member). Carets are "number of characters before the caret".
class Engine {
public:
    explicit Engine(FormulaIo& io);

    // Whether the box's formula may be evaluated. Normalises the box first
    // (blanks removed, letters upper-cased); the first fault is reported in
    // the history, with the focus and caret at it (validation.cpp). An empty
    // formula passes; its evaluation is then invalid.
    bool mayEvaluate();
    // The value of the formula box (reduction.cpp). The value is always
    // finite, and 0 when the evaluation is invalid.
    Evaluation evaluate();
    // Removes every blank from the formula box, one box write per blank.
    void removeBlanks();

    // ---- Evaluation steps, public so that tests reach them. A step that
    // fails makes the evaluation invalid; only a new evaluate() starts valid.
    bool valid() const { return m_valid; }
    // The box's formula as prepare() left it, reduced as far as evaluate() got.
    const QString& workFormula() const { return m_workFormula; }

    // Builds the working formula from the formula box: blanks removed,
    // wrapped in parentheses, missing ")" appended, upper case, implied "*"
    // inserted. A ")" that closes nothing, or a run of letters outside the
    // name table, makes the evaluation invalid.
    void prepare();
    // Value of one parenthesis-free group. Always finite: a result
    // that is not makes the evaluation invalid and counts as 0.
    double groupValue(const QString& group);
    // a op b for op one of + - * / ^. Division by zero, 0 to a negative power
    // and any non-finite result make the evaluation invalid and give 0.
    double operate(QChar op, double a, double b);
    // A named function of the formula language (name in upper case). Domain
    // failures, non-finite results and names outside the table make the
    // evaluation invalid and give 0.
    double functionValue(QStringView name, double x);

    // The operands around the operator (or the last letter of a function
    // name) at index pos. A pos outside the text takes nothing.
    struct Operands {
        QStringView leftText;  // characters taken on the left (a view into the text)
        QStringView rightText; // characters taken on the right (a view into the text)
        double left = 0;       // operandValue(leftText), 0 when it does not convert
        double right = 0; // operandValue(rightText), negated after "^-"; 0 when it does not convert
        bool leftOk = false;  // leftText converted
        bool rightOk = false; // rightText converted
        int leftStart = 0;    // ls: index of the first left character; pos when none was taken
        int rightEnd = 0; // re: index of the last right character; pos (or pos+1 after "^-") when
                          // none was taken
    };
    static Operands operandsAt(const QString& text, int pos);
    static Operands operandsAt(QString&& text, int pos) = delete; // the views would dangle
    // An operand text as a number: leading signs folded into one.
    // Empty when the body is not a decimal number.
    static std::optional<double> operandValue(QStringView text);
    // The number of leading characters of text that each equal one of the
    // operator texts; an empty operator text counts as equal to op1.
    static int leadingOperators(QStringView text, QStringView op1, QStringView op2 = {},
                                QStringView op3 = {}, QStringView op4 = {});
    // The largest index from pos down to 0 at which text holds c, or -1
    // (position 0 counting from 1) when there is none. pos beyond the text is clamped.
    static int findBack(const QString& text, QChar c, int pos);

private:
    // Sets m_formulaOk; see mayEvaluate.
    void validate();
    // The value of the working formula; leaves m_valid false when invalid.
    double reduce();
    // Appends one message and the history separator.
    void report(const QString& message);
    // Gives the focus to the box and puts the caret after `position` characters.
    void placeCaret(int position);
    // groupValue on a working text of the caller's, reduced in place.
    double reduceGroup(QString& text);
    // Replaces text[from..to] (inclusive) by the number text of value.
    void replaceByValue(QString& text, int from, int to, double value);

    FormulaIo& m_io;
    bool m_formulaOk = false;
    bool m_valid = true;
    QString m_workFormula;
    QString m_group; // reduce's working copy of one group, reused
};

} // namespace formula
