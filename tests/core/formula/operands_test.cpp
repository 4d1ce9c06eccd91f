// operandsAt, operandValue, leadingOperators. Indexes are 0-based.
#include "core/formula/engine.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using formula::Engine;

namespace {

struct OperandRow {
    const char* text;
    int pos;
    const char* left;
    const char* right;
    int ls;
    int re;
    bool leftOk;
    double leftValue;
    bool rightOk;
    double rightValue;
};

const OperandRow kRows[] = {
    // 5-3*2 at "*": the "-" follows no operator, so the left operand is 3.
    {"5-3*2", 3, "3", "2", 2, 4, true, 3, true, 2},
    // The whole exponent form is taken.
    {"2E-3*4", 4, "2E-3", "4", 0, 5, true, 0.002, true, 4},
    // A sign after an operator belongs to the operand.
    {"2*-6", 1, "2", "-6", 0, 3, true, 2, true, -6},
    // The "+" after "E" is taken by the left scan's first rule.
    {"1E+20+1", 5, "1E+20", "1", 0, 6, true, 1e20, true, 1},
    // A sign at the start of the group joins the first number.
    {"-5+3", 2, "-5", "3", 0, 3, true, -5, true, 3},
    {"-2^2", 2, "-2", "2", 0, 3, true, -2, true, 2},
    {"3-2^2", 3, "2", "2", 2, 4, true, 2, true, 2},
    // The first character of the group is taken whatever it is.
    {"'2*3", 2, "'2", "3", 0, 3, false, 0, true, 3},
    // At a function name: the character right after it, whatever it is.
    {"SIN-0.5", 2, "", "-0.5", 2, 6, false, 0, true, -0.5},
    {"LN2.5E-3", 1, "L", "2.5E-3", 0, 7, false, 0, true, 0.0025},
    {"ABS-3*2", 2, "", "-3", 2, 4, false, 0, true, -3},
    // "E" inside a name is taken on the left (rule 3); unused for functions.
    {"SEC1", 2, "SE", "1", 0, 3, false, 0, true, 1},
    // "^-": a negative exponent, negated after reading.
    {"2^-3", 1, "2", "3", 0, 3, true, 2, true, -3},
    {"2^--3", 1, "2", "-3", 0, 4, true, 2, true, 3},
    // Nothing taken: ls and re stay at the operator.
    {"*3", 0, "", "3", 0, 1, false, 0, true, 3},
    {"2^", 1, "2", "", 0, 1, true, 2, false, 0},
    {"2^-", 1, "2", "", 0, 2, true, 2, false, 0},
    // Texts that are no numbers.
    {"1.2.3+1", 5, "1.2.3", "1", 0, 6, false, 0, true, 1},
    {"3--5", 1, "3", "-5", 0, 3, true, 3, true, -5},
};

TEST(OperandsAt, Table) {
    for (const OperandRow& row : kRows) {
        SCOPED_TRACE(row.text);
        const QString text = QString::fromUtf8(row.text);
        const auto o = Engine::operandsAt(text, row.pos);
        EXPECT_EQ(o.leftText.toString(), QString::fromUtf8(row.left));
        EXPECT_EQ(o.rightText.toString(), QString::fromUtf8(row.right));
        EXPECT_EQ(o.leftStart, row.ls);
        EXPECT_EQ(o.rightEnd, row.re);
        EXPECT_EQ(o.leftOk, row.leftOk);
        EXPECT_EQ(o.rightOk, row.rightOk);
        EXPECT_DOUBLE_EQ(o.left, row.leftValue);
        EXPECT_DOUBLE_EQ(o.right, row.rightValue);
    }
}

TEST(OperandsAt, PositionOutsideTheTextTakesNothing) {
    const QString text = QStringLiteral("1+2");
    for (int pos : {-1, 3, 10}) {
        const auto o = Engine::operandsAt(text, pos);
        EXPECT_TRUE(o.leftText.isEmpty());
        EXPECT_TRUE(o.rightText.isEmpty());
        EXPECT_EQ(o.leftStart, pos);
        EXPECT_EQ(o.rightEnd, pos);
        EXPECT_FALSE(o.leftOk);
        EXPECT_FALSE(o.rightOk);
    }
}

TEST(OperandValue, Table) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } rows[] = {
        {"-2", true, -2},        {"--2", true, 2},
        {"---5", true, -5},      {"-+5", true, -5},
        {"+4", true, 4},         {"3E-2", true, 0.03},
        {"-1E-05", true, -1e-5}, {".5", true, 0.5},
        {"-.5", true, -0.5},     {"5.", true, 5},
        {"1E+20", true, 1e20},   {"2.5E-3", true, 0.0025},
        {"0", true, 0},          {"1E-400", true, 0},
        {"", false, 0},          {"-", false, 0},
        {"+", false, 0},         {"1.2.3", false, 0},
        {"1E400", false, 0},     {"3--5", false, 0},
        {"1E", false, 0},        {"E5", false, 0},
        {"1°", false, 0},        {"2X", false, 0},
        {"--", false, 0},        {"1 2", false, 0},
        {"१", false, 0},         {"-'4", true, -4},
        {"'4", false, 0},        {"1+1", false, 0},
        {"2E+3", true, 2000},    {"1E+-3", false, 0},
        {"2e-3", true, -0.002}, // only "E" marks an exponent sign; the engine upper-cases first
        {"-.", false, 0},        {"E-5", false, 0},
        {"5-", false, 0},        {"EXP-1", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto v = Engine::operandValue(QString::fromUtf8(row.text));
        ASSERT_EQ(v.has_value(), row.ok);
        if (row.ok) {
            EXPECT_DOUBLE_EQ(*v, row.value);
        }
    }
}

TEST(LeadingOperators, Table) {
    EXPECT_EQ(Engine::leadingOperators(u"*-", u"-", u"+", u"*", u"/"), 2);
    EXPECT_EQ(Engine::leadingOperators(u"3-", u"-", u"+", u"*", u"/"), 0);
    EXPECT_EQ(Engine::leadingOperators(u"+-*/", u"-", u"+", u"*", u"/"), 4);
    EXPECT_EQ(Engine::leadingOperators(u"--+", u"-"), 2); // empty texts equal the first
    EXPECT_EQ(Engine::leadingOperators(u"", u"-", u"+"), 0);
    EXPECT_EQ(Engine::leadingOperators(u"-", u"--"), 0); // longer texts never equal one character
}

} // namespace
