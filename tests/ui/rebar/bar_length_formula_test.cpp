#include "support/window_fixture.h"
#include "ui/calculator/calculator_tab.h"

#include <QCheckBox>

namespace {

// The bar-length field with formula entry on, evaluating through the calculator.
class BarLengthFormulaTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        clickAtLeft(find<QCheckBox>("Check2"));
        ASSERT_EQ(find<QCheckBox>("Check2")->text(), "启用");
        ASSERT_TRUE(text2()->hasFocus());
        feedback.clear();
    }
    QLineEdit* text2() { return find("Text2"); }
    CalculatorTab* calculator() { return window->calculatorTab(); }
    void setLastResult(const QString& formula) {
        calculator()->setFormulaText(formula);
        calculator()->pressEquals();
        text2()->setFocus();
    }
    void enter() { QTest::keyClick(text2(), Qt::Key_Return); }
    QString history() { return calculator()->historyText(); }
};

TEST_F(BarLengthFormulaTest, OperatorFirstWithoutALastResultIsDropped) {
    QTest::keyClicks(text2(), QStringLiteral("+5"));
    EXPECT_EQ(text2()->text(), "5");
}

TEST_F(BarLengthFormulaTest, ContinuesFromTheLastResultAndRecordsTheCalculation) {
    setLastResult(QStringLiteral("1200"));
    ASSERT_EQ(calculator()->lastResult(), 1200);
    QTest::keyClicks(text2(), QStringLiteral("+50"));
    EXPECT_EQ(text2()->text(), "1200+50");
    enter();
    EXPECT_EQ(text2()->text(), "1250");
    EXPECT_EQ(text("Text9"), "1376"); // 1250 + 2 x 4.5 x 14
    EXPECT_EQ(calculator()->lastResult(), 1250);
    EXPECT_TRUE(history().endsWith(QStringLiteral("公式：1200+50\r\n答案：1250\r\n"
                                                  "_________________________\r\n")));
    EXPECT_TRUE(text2()->hasFocus());
    EXPECT_TRUE(feedback.messages.isEmpty());
}

TEST_F(BarLengthFormulaTest, EvaluatesOnEnter) {
    QTest::keyClicks(text2(), QStringLiteral("6000-60"));
    enter();
    EXPECT_EQ(text2()->text(), "5940");
    EXPECT_EQ(text("Text9"), "6066");
    EXPECT_TRUE(text2()->hasFocus());
}

TEST_F(BarLengthFormulaTest, ANonPositiveLengthIsReported) {
    QTest::keyClicks(text2(), QStringLiteral("5-5"));
    enter();
    EXPECT_EQ(text2()->text(), "0");
    EXPECT_EQ(feedback.messages, QStringList{QStringLiteral("钢筋长度错误")});
}

TEST_F(BarLengthFormulaTest, AnInvalidExpressionStaysForCorrecting) {
    QTest::keyClicks(text2(), QStringLiteral("12/"));
    enter();
    EXPECT_EQ(text2()->text(), "12/");
    EXPECT_EQ(feedback.messages, QStringList{QStringLiteral("钢筋长度计算错误")});
    EXPECT_TRUE(history().contains(QStringLiteral("/后没有数据")));
    EXPECT_TRUE(text2()->hasFocus());
}

TEST_F(BarLengthFormulaTest, AFailedEvaluationReportsInsteadOfWritingAMadeUpValue) {
    // Typed, and with a later name outside the table, which arrives only by code.
    for (const bool typed : {true, false}) {
        const QString formula = typed ? QStringLiteral("100/0") : QStringLiteral("1200+ABS0+SINX1");
        SCOPED_TRACE(formula.toStdString());
        text2()->clear();
        feedback.clear();
        if (typed)
            QTest::keyClicks(text2(), formula);
        else
            text2()->setText(formula);
        const QString shown = text("Text9"); // from the leading number, on the way
        enter();
        EXPECT_EQ(text2()->text(), formula);
        EXPECT_EQ(text("Text9"), shown);
        EXPECT_EQ(feedback.messages, QStringList{QStringLiteral("钢筋长度计算错误")});
        EXPECT_TRUE(history().endsWith(QStringLiteral("公式错误或者有除数为0或者函数值超范围\r\n"
                                                      "_________________________\r\n")));
        EXPECT_TRUE(text2()->hasFocus());
    }
}

TEST_F(BarLengthFormulaTest, EnterInAnEmptyFieldDoesNothing) {
    const QString before = history();
    enter();
    EXPECT_EQ(text2()->text(), "");
    EXPECT_TRUE(text2()->hasFocus());
    EXPECT_TRUE(feedback.messages.isEmpty());
    EXPECT_EQ(history(), before);
}

TEST_F(BarLengthFormulaTest, WithFormulaEntryOffOperatorsAreRefused) {
    clickAtLeft(find<QCheckBox>("Check2"));
    EXPECT_EQ(find<QCheckBox>("Check2")->text(), "不启用");
    feedback.clear();
    QTest::keyClicks(text2(), QStringLiteral("12+3"));
    EXPECT_EQ(text2()->text(), "123");
    EXPECT_EQ(feedback.beeps, 1);
    enter();
    EXPECT_TRUE(find("Text3")->hasFocus());
}
} // namespace
