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

// Validation and textual reduction of the formula in the formula box.
//
// Outcomes this engine settles for formulas that have no true value:
// - an empty formula passes check; Calc fails on it (CalcOk false, 0);
// - a ")" that closes nothing the user opened (2)+3, 1)(2) fails Calc;
// - ")" before "(", a digit, a point or a function name implies "*":
//   (2)(3) is 6, not 23;
// - an operand that is not a number (1.2.3, 2^SIN1, a lone sign) fails its
//   operation: CalcOk false, the operation yields 0, the reduction goes on;
// - any value beyond the double range, or not a number ((-8)^(1/3), SH800,
//   a 15-digit text such as 1.79769313486232E+308 read back) fails likewise;
// - a run of letters that is not a name of the table fails the evaluation
//   wherever it stands (check reports only the first run): SIN1+FOO2,
//   SINX1, 2FOO3 and SIN0+SINCOS1 all end with CalcOk false;
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

    // Normalises the box and sets FormulaOk; reports the first fault in the history.
    // (validation.cpp.) An empty formula fails no step: FormulaOk is
    // true and Calc then fails on the empty group with CalcOk false.
    void check();
    // Value of the formula box; valid only while CalcOk is still true.
    // (reduction.cpp.) The returned value is always finite.
    double Calc();
    // Removes every blank from the formula box, one box write per blank.
    void DelSpace();

    // ---- Evaluation steps, public so that tests reach them.

    // Builds WorkFormula from the formula box: blanks removed, wrapped in
    // parentheses, missing ")" appended, upper case, implied "*" inserted.
    // Also clears CalcOk when the formula holds a ")" that closes nothing or
    // a run of letters outside the name table.
    void PreCalc();
    // Value of one parenthesis-free group. Always finite: a result
    // that is not clears CalcOk and counts as 0.
    double CalcPlain(const QString& group);
    // a op b for op one of + - * / ^. Division by zero, 0 to a negative power
    // and any non-finite result clear CalcOk and give 0.
    double Operate(QChar op, double a, double b);
    // A named function of the formula language (name in upper case). Domain failures and
    // non-finite results clear CalcOk and give 0; so do names outside the table.
    double CalcFunc(QStringView name, double x);

    // The operands around the operator (or the last letter of a function
    // name) at index pos. A pos outside the text takes nothing.
    struct Operands {
        QStringView leftText;  // characters taken on the left (a view into the text)
        QStringView rightText; // characters taken on the right (a view into the text)
        double left = 0;       // ValNum(leftText), 0 when it does not convert
        double right = 0;      // ValNum(rightText), negated after "^-"; 0 when it does not convert
        bool leftOk = false;   // leftText converted
        bool rightOk = false;  // rightText converted
        int leftStart = 0;     // ls: index of the first left character; pos when none was taken
        int rightEnd = 0; // re: index of the last right character; pos (or pos+1 after "^-") when
                          // none was taken
    };
    static Operands GetOperands(const QString& text, int pos);
    static Operands GetOperands(QString&& text, int pos) = delete; // the views would dangle
    // An operand text as a number: leading signs folded into one.
    // Empty when the body is not a decimal number.
    static std::optional<double> ValNum(QStringView text);
    // The number of leading characters of text that each equal one of the
    // operator texts; an empty operator text counts as equal to op1.
    static int LeadOps(QStringView text, QStringView op1, QStringView op2 = {},
                       QStringView op3 = {}, QStringView op4 = {});
    // The largest index from pos down to 0 at which text holds c, or -1
    // (position 0 counting from 1) when there is none. pos beyond the text is clamped.
    static int FindBack(const QString& text, QChar c, int pos);

    bool FormulaOk = false;
    bool CalcOk = true;
    QString WorkFormula;

private:
    // Appends one message and the history separator.
    void report(const QString& message);
    // Gives the focus to the box and puts the caret after `position` characters.
    void placeCaret(int position);
    // CalcPlain on a working text of the caller's, reduced in place.
    double reduceGroup(QString& text);
    // Replaces text[from..to] (inclusive) by the number text of value.
    void replaceByValue(QString& text, int from, int to, double value);

    FormulaIo& m_io;
    QString m_group; // Calc's working copy of one group, reused
};

} // namespace formula
