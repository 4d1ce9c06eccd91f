#include "calculator_fixture.h"
#include "core/formula/engine.h"

#include <QPushButton>
#include <QTabWidget>

namespace {

const QString sep = formula::kHistorySeparator;

// "＝" with the formula engine behind it.
class CalculatorEqualsTest : public CalculatorWindowTest {};

TEST_F(CalculatorEqualsTest, OperatorFirstContinuesTheLastResult) {
    QTest::keyClicks(box, QStringLiteral("25/2"));
    press("Command11");
    EXPECT_EQ(tab->historyText(), "公式：25/2\r\n答案：12.5" + sep);
    EXPECT_EQ(tab->lastResult(), 12.5);
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(box->hasFocus());

    press("Command6_14"); // *
    EXPECT_EQ(box->text(), "12.5*");
    EXPECT_EQ(box->cursorPosition(), 5);
    press("Command6_2");
    press("Command11");
    EXPECT_TRUE(tab->historyText().endsWith("公式：12.5*2\r\n答案：25" + sep));
    EXPECT_EQ(tab->lastResult(), 25);
    EXPECT_EQ(find<QPushButton>("Command7")->toolTip(), "上次运算结果：25");
}

TEST_F(CalculatorEqualsTest, FailedEvaluationKeepsTheFormula) {
    QTest::keyClicks(box, QStringLiteral("1+2"));
    press("Command11");
    const QString before = tab->historyText();
    QTest::keyClicks(box, QStringLiteral("2/0"));
    press("Command11");
    EXPECT_EQ(tab->historyText(), before + "公式错误或者有除数为0或者函数值超范围" + sep);
    EXPECT_EQ(box->text(), "2/0");
    EXPECT_EQ(find<QPushButton>("Command7")->toolTip(), "上次运算结果：3");
}

TEST_F(CalculatorEqualsTest, ALaterNameOutsideTheTableIsNoAnswer) {
    QTest::keyClicks(box, QStringLiteral("abs(2)+sinx(1)")); // typed: every key passes
    press("Command11");
    EXPECT_EQ(tab->historyText(), "公式错误或者有除数为0或者函数值超范围" + sep);
    EXPECT_EQ(box->text(), "ABS(2)+SINX(1)");
    EXPECT_EQ(tab->lastResult(), 0);
}

TEST_F(CalculatorEqualsTest, HistoryShowsTheFormulaAsCheckedAndEnterEvaluates) {
    tab->setFormulaText(QStringLiteral("sin 0 + 1/2")); // blanks arrive only by pasting
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(tab->historyText(), "公式：SIN0+1/2\r\n答案：.5" + sep);
    EXPECT_EQ(feedback.beeps, 1); // the Enter character is refused after "＝" ran
    press("Command7");
    EXPECT_EQ(box->text(), ".5");

    // A formula the check refuses adds only the check's own message.
    tab->setFormulaText(QStringLiteral("5/"));
    const QString before = tab->historyText();
    press("Command11");
    EXPECT_EQ(tab->historyText(), before + "/后没有数据" + sep);
    EXPECT_EQ(box->text(), "5/");
}

TEST_F(CalculatorEqualsTest, BarLengthEntryDrivesTheCalculatorByCode) {
    tab->setFormulaText(QStringLiteral("1200+50"));
    ASSERT_TRUE(tab->engine().mayEvaluate());
    EXPECT_EQ(tab->engine().evaluate().value, 1250);
    tab->pressEquals();
    EXPECT_EQ(tab->lastResult(), 1250);
    EXPECT_EQ(tab->historyText(), "公式：1200+50\r\n答案：1250" + sep);
}

} // namespace
