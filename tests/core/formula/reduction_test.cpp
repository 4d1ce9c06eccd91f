// prepare, Calc, groupValue, operate, findBack; and the whole
// calling sequence of the "＝" key over a string box.
#include "core/formula/engine.h"
#include "string_io.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <cmath>

using formula::Engine;

namespace {

struct EvalRow {
    const char* formula;
    bool calcOk;
    const char* value; // general number text of the returned value, when calcOk
};

const EvalRow kEvalRows[] = {
    // The worked examples users rely on.
    {"2+3*4", true, "14"},
    {"(2+3)*4", true, "20"},
    {"2*(3)", true, "6"},
    {"2(3+1)", true, "8"},
    {"2^3^2", true, "512"},
    {"-2^2", true, "4"},
    {"3-2^2", true, "-1"},
    {"2^-3", true, "0.125"},
    {"8-2-2-2", true, "2"},
    {"8/2/2/2", true, "1"},
    {"8/2/2", true, "2"},
    {"10-5-3", true, "2"},
    {"1*2/3*4", true, "2.66666666666667"},
    {"-5+3", true, "-2"},
    {"SIN(2)^2", true, "-0.756802495307928"}, // the sine of 4
    {"(SIN2)^2", true, "0.826821810431807"},  // the square of the sine of 2, as 15 digits
    {"2SIN1", true, "1.68294196961579"},
    // A leading sign before a negative value written back into the group.
    {"-COS3+1", true, "1.98999249660044"}, // COS3 written back with 15 digits
    {"-(0-3)+2", true, "5"},
    {"-SEC2-2", true, "0.40299796172238"},
    {"3EXP1", true, "8.15484548537715"}, // 3 * 2.71828182845905
    {"((1+2", true, "3"},
    {"1/3*3", true, "0.999999999999999"},
    {"sin30", true, "-0.988031624092862"},
    {"SIN(30)", true, "-0.988031624092862"},
    {"SIN(COS1)", true, "0.514395258523549"},
    {"1+2", true, "3"},
    // Numbers.
    {"1E5", true, "100000"},
    {"2.5E-3*2", true, "0.005"},
    {"1E+20+1", true, "1E+20"},
    {"1000000*1000000000+1", true, "1E+15"}, // the product's own exponent text read back
    {"1000000*1000000000-1", true, "999999999999999"},
    {"2*5E+14*3+0.5", true, "3E+15"},
    {".5+.25", true, "0.75"},
    {"5.", true, "5"},
    {"3.14159265358979", true, "3.14159265358979"},
    {"1E-400", true, "0"},
    // Signs.
    {"2*(0-3)", true, "-6"},
    {"5-(0-3)", true, "8"},
    {"-(2+3)", true, "-5"},
    {"2^(0-3)", true, "0.125"},
    {"2^-(0-3)", true, "8"},
    {"SIN-0.5", true, "-0.479425538604203"},
    {"LN2.5E-3", true, "-5.99146454710798"},
    {"ABS(0-3)*2", true, "6"},
    {"-3+-2", false, nullptr}, // refused by check (step 5), not evaluated
    // Functions bind tighter than * and / and looser than ^.
    {"2*SIN1/2", true, "0.841470984807895"}, // 1.68294196961579 / 2
    {"SQR16^2", true, "16"},
    {"LOG100+LN1", true, "2"},
    {"ARCCOS(0.5)", true, "1.0471975511966"},
    // Implied "*" after ")" (else the value texts would run together).
    {"(2)(3)", true, "6"},
    {"(2)3", true, "6"},
    {"(2).5", true, "1"},
    {"(2)SIN(0)", true, "0"},
    {"(1+1)EXP0", true, "2"},
    {"(2)E5", true, "200000"}, // an exponent letter, not a function: no "*"
    // Failures: the evaluation is invalid.
    {"1/0", false, nullptr},
    {"0^-1", false, nullptr},
    {"()", false, nullptr},
    {"1+()", false, nullptr},
    {"2)+3", false, nullptr},
    {"1)(2", false, nullptr},
    {"(1))", false, nullptr},
    {"(-8)^(1/3)", false, nullptr},
    {"10^400", false, nullptr},
    {"1E308*10", false, nullptr},
    {"1.2.3", false, nullptr},
    {"1.2.3+1", false, nullptr},
    {"2^SIN1", false, nullptr},
    {"2^EXP-1", false, nullptr},
    {"SQR(0-4)", false, nullptr},
    {"EXP710", false, nullptr},
    {"SH800", false, nullptr},
    {"(SIN)+1", false, nullptr},
    {"1+(*3)", false, nullptr},
    {"(2^)+1", false, nullptr},
    {"1E300*1E9", false, nullptr},
    {"1.7976931348623157E+308*1", false, nullptr}, // its 15-digit text lies beyond the range
    {"3°20'", false, nullptr},
    {"5'3-4", false, nullptr},
    {"2+", false, nullptr},
};

TEST(Evaluate, Table) {
    for (const EvalRow& row : kEvalRows) {
        SCOPED_TRACE(row.formula);
        const QString formula = QString::fromUtf8(row.formula);
        StringIo io(formula);
        const Outcome r = evaluate(io);
        if (!r.formulaOk) {
            EXPECT_FALSE(row.calcOk) << "refused by check";
            continue;
        }
        EXPECT_TRUE(std::isfinite(r.value));
        EXPECT_EQ(r.calcOk, row.calcOk) << r.text.toStdString();
        if (row.calcOk && r.calcOk) {
            EXPECT_EQ(r.text, QString::fromUtf8(row.value));
        }
    }
}

TEST(Evaluate, FailedOperationCountsAsZeroAndTheEvaluationIsInvalid) {
    StringIo io(QStringLiteral("1/0+5"));
    Engine engine(io);
    ASSERT_TRUE(engine.mayEvaluate());
    // The failed division counts as 0 and the reduction runs on: 0+5.
    const formula::Evaluation first = engine.evaluate();
    EXPECT_EQ(first.value, 5);
    EXPECT_FALSE(first.valid);
    // Every evaluation starts afresh and fails the same way.
    const formula::Evaluation again = engine.evaluate();
    EXPECT_EQ(again.value, 5);
    EXPECT_FALSE(again.valid);
}

TEST(Evaluate, TwiceGivesTheSameAndLeavesTheBox) {
    StringIo io(QStringLiteral("1+2*3"));
    Engine engine(io);
    engine.mayEvaluate();
    EXPECT_EQ(engine.evaluate().value, 7);
    const formula::Evaluation again = engine.evaluate();
    EXPECT_EQ(again.value, 7);
    EXPECT_TRUE(again.valid);
    EXPECT_EQ(io.box, QStringLiteral("1+2*3"));
    EXPECT_EQ(engine.workFormula(), QStringLiteral("7"));
    EXPECT_TRUE(io.history.isEmpty());
}

TEST(Evaluate, RemovesBlanksFromTheBox) {
    StringIo io(QStringLiteral("1 + 2"));
    Engine engine(io);
    EXPECT_EQ(engine.evaluate().value, 3);
    EXPECT_EQ(io.box, QStringLiteral("1+2"));
}

TEST(Evaluate, EmptyFormulaPassesCheckAndFailsCalc) {
    StringIo io;
    const Outcome r = evaluate(io);
    EXPECT_TRUE(r.formulaOk);
    EXPECT_FALSE(r.calcOk);
    EXPECT_EQ(r.value, 0);
}

QString repeated(const QString& piece, int times) {
    QString s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

TEST(Evaluate, DeepNesting) {
    const QString f = repeated(QStringLiteral("("), 100) + QStringLiteral("1+2") +
                      repeated(QStringLiteral(")"), 100);
    StringIo io(f);
    const Outcome r = evaluate(io);
    EXPECT_TRUE(r.calcOk);
    EXPECT_EQ(r.text, QStringLiteral("3"));

    // Missing closing parentheses are supplied, at any depth.
    StringIo open(repeated(QStringLiteral("2*("), 500) + QStringLiteral("1"));
    const Outcome o = evaluate(open);
    EXPECT_TRUE(o.calcOk);
    // 2^500, rounded to 15 digits after every product.
    EXPECT_EQ(o.text, QStringLiteral("3.27339060789612E+150"));
}

TEST(Evaluate, LongFormulaIsEvaluatedWhenNoGroupExceeds255) {
    // 300 characters, but every group stays short.
    const QString f = repeated(QStringLiteral("(1+1)+"), 50) + QStringLiteral("0");
    ASSERT_GT(f.size(), 255);
    StringIo io(f);
    const Outcome r = evaluate(io);
    EXPECT_TRUE(r.calcOk);
    EXPECT_EQ(r.text, QStringLiteral("100"));
    EXPECT_TRUE(io.history.isEmpty());
}

TEST(Evaluate, GroupOver255FailsWithAMessage) {
    const QString inner = repeated(QStringLiteral("1+"), 128) + QStringLiteral("1"); // 257 chars
    const QString f = QStringLiteral("2+(") + inner + QStringLiteral(")");
    StringIo io(f);
    const Outcome r = evaluate(io);
    EXPECT_FALSE(r.calcOk); // 2 would be no true value of the formula
    EXPECT_EQ(io.messages(), QStringList{QStringLiteral(u"公式长度大于255字符了！")});
    EXPECT_EQ(io.box, inner); // the group text is put into the box
}

TEST(Evaluate, GroupGrowingPast255ByItsValues) {
    // 43 characters that become a group of 18 * 17 characters.
    const QString f = repeated(QStringLiteral("(1/3)"), 18);
    StringIo io(f);
    io.boxRule = true; // the box's own change rule cuts the group text
    const Outcome r = evaluate(io);
    EXPECT_FALSE(r.calcOk);
    // groupValue's message, then the box rule's own for the group text.
    EXPECT_EQ(io.messages().size(), 2);
    EXPECT_EQ(io.box.size(), 255);
}

TEST(Prepare, BuildsTheWorkingText) {
    const struct {
        const char* box;
        const char* work;
        bool calcOk;
    } rows[] = {
        {"2+3", "(2+3)", true},          {"2 + 3", "(2+3)", true},
        {"sin30", "(SIN30)", true},      {"((1+2", "(((1+2)))", true},
        {"2(3+1)", "(2*(3+1))", true},   {"2SIN1", "(2*SIN1)", true},
        {"3EXP1", "(3*EXP1)", true},     {"1E5", "(1E5)", true},
        {"2.5E-3", "(2.5E-3)", true},    {"2(3)4(5)", "(2*(3)*4*(5))", true},
        {"12SEC1", "(12*SEC1)", true},   {"(2)(3)", "((2)*(3))", true},
        {"(2)SIN1", "((2)*SIN1)", true}, {"(2)E5", "((2)E5)", true},
        {"2)+3", "(2)+3)", false},       {"", "()", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.box);
        StringIo io(QString::fromUtf8(row.box));
        Engine engine(io);
        engine.prepare();
        EXPECT_EQ(engine.workFormula(), QString::fromUtf8(row.work));
        EXPECT_EQ(engine.valid(), row.calcOk);
    }
}

TEST(GroupValue, Groups) {
    const struct {
        const char* group;
        bool ok;
        double value;
    } rows[] = {
        {"2+3*4", true, 14},     {"-2*3", true, -6},      {"2*-6", true, -12}, {"--5", true, 5},
        {"2E-3*4", true, 0.008}, {"1E+20+1", true, 1e20}, {"SIN0", true, 0},   {"COS0+1", true, 2},
        {"", false, 0},          {"*3", false, 0},        {"2^", false, 0},    {"SIN", false, 0},
        {"3--5", true, 8},       {"3+-5", true, -2},      {"ABS-3", true, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.group);
        StringIo io;
        Engine engine(io);
        const double v = engine.groupValue(QString::fromUtf8(row.group));
        EXPECT_EQ(engine.valid(), row.ok);
        EXPECT_DOUBLE_EQ(v, row.value);
    }
}

TEST(Operate, Table) {
    StringIo io;
    Engine e(io);
    EXPECT_EQ(e.operate(QLatin1Char('+'), 2, 3), 5);
    EXPECT_EQ(e.operate(QLatin1Char('-'), 2, 3), -1);
    EXPECT_EQ(e.operate(QLatin1Char('*'), 2, 3), 6);
    EXPECT_EQ(e.operate(QLatin1Char('/'), 3, 2), 1.5);
    EXPECT_EQ(e.operate(QLatin1Char('^'), 2, 10), 1024);
    EXPECT_EQ(e.operate(QLatin1Char('^'), 0, 0), 1);
    EXPECT_EQ(e.operate(QLatin1Char('^'), -2, 3), -8);
    EXPECT_TRUE(e.valid());

    const struct {
        char op;
        double a, b;
    } failing[] = {{'/', 1, 0},         {'/', 0, 0},    {'^', 0, -1}, {'^', -8, 1.0 / 3},
                   {'*', 1e300, 1e300}, {'^', 10, 400}, {'?', 1, 1}};
    for (const auto& f : failing) {
        SCOPED_TRACE(f.op);
        Engine fresh(io);
        EXPECT_EQ(fresh.operate(QLatin1Char(f.op), f.a, f.b), 0);
        EXPECT_FALSE(fresh.valid());
    }
}

TEST(FindBack, Positions) {
    const QString t = QStringLiteral("(1+(2)+3)");
    EXPECT_EQ(Engine::findBack(t, QLatin1Char('('), 5), 3);
    EXPECT_EQ(Engine::findBack(t, QLatin1Char('('), 3), 3);
    EXPECT_EQ(Engine::findBack(t, QLatin1Char('('), 2), 0);
    EXPECT_EQ(Engine::findBack(t, QLatin1Char('x'), 8), -1);
    EXPECT_EQ(Engine::findBack(t, QLatin1Char(')'), 100), 8);
    EXPECT_EQ(Engine::findBack(QString(), QLatin1Char('('), 0), -1);
}

} // namespace
