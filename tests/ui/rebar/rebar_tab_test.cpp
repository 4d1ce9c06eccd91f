#include "support/window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace {

class RebarTabTest : public WindowTest {};

TEST_F(RebarTabTest, StartUpShowsTheDefaultBar) {
    EXPECT_EQ(text("Text5"), "153.86");
    EXPECT_EQ(text("Text6"), "1.2085703");
    EXPECT_EQ(text("Text7"), "14");
    EXPECT_EQ(text("Text8"), "10");
    EXPECT_EQ(text("Text9"), "0");
    EXPECT_EQ(text("Text10"), "0.00");
    EXPECT_EQ(text("Text11"), "0.00");
    EXPECT_EQ(text("Text12"), "1538.6");
    EXPECT_TRUE(find<QRadioButton>("Option1")->isChecked());
}

TEST_F(RebarTabTest, TypingALengthComputesTheTotals) {
    type("Text2", QStringLiteral("6000"));
    EXPECT_EQ(text("Text9"), "6126");
    EXPECT_EQ(text("Text10"), "61.26");
    EXPECT_EQ(text("Text11"), "74.04");
    EXPECT_EQ(text("Text12"), "1538.6");
    clickAtLeft(find<QRadioButton>("Option2"));
    EXPECT_EQ(text("Text9"), "6063");
    clickAtLeft(find<QRadioButton>("Option3"));
    EXPECT_EQ(text("Text9"), "6000");
}

TEST_F(RebarTabTest, CentimetresSwitchLabelsAndBack) {
    auto* check3 = find<QCheckBox>("Check3");
    type("Text2", QStringLiteral("600"));
    clickAtLeft(check3);
    EXPECT_EQ(check3->text(), "厘米");
    EXPECT_EQ(find<QLabel>("Label15")->text(), "厘米");
    EXPECT_EQ(find<QLabel>("Label18")->text(), "厘米");
    EXPECT_EQ(text("Text9"), "612.6");
    EXPECT_EQ(text("Text10"), "61.26");
    EXPECT_EQ(text("Text11"), "74.04");
    clickAtLeft(check3);
    EXPECT_EQ(check3->text(), "毫米");
    EXPECT_EQ(find<QLabel>("Label15")->text(), "毫米");
    EXPECT_EQ(text("Text9"), "726");
    EXPECT_EQ(text("Text10"), "7.26");
}

TEST_F(RebarTabTest, DiameterSetsTheBendCoefficientAsTyped) {
    find("Text4")->setText(QStringLiteral("9"));
    type("Text1", QStringLiteral("1"));
    EXPECT_EQ(text("Text4"), "9");
    QTest::keyClicks(find("Text1"), QStringLiteral("0"));
    EXPECT_EQ(text("Text4"), "6.25");
    type("Text1", QStringLiteral("012"));
    EXPECT_EQ(text("Text4"), "4.5");
    EXPECT_EQ(text("Text7"), "012");
    EXPECT_EQ(text("Text5"), "113.04");
}

TEST_F(RebarTabTest, ClearingTheLengthWaitsForTheNextChange) {
    type("Text2", QStringLiteral("6000"));
    find("Text2")->clear();
    EXPECT_EQ(text("Text9"), "6126");
    type("Text3", QStringLiteral("20"));
    EXPECT_EQ(text("Text8"), "20");
    EXPECT_EQ(text("Text12"), "3077.2");
}

TEST_F(RebarTabTest, EnterChainsAndRefusedKeys) {
    QLineEdit* text1 = find("Text1");
    text1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_TRUE(find("Text2")->hasFocus());
    EXPECT_EQ(feedback.beeps, 1); // the Enter character itself is refused
    QTest::keyClick(find("Text2"), Qt::Key_Return);
    EXPECT_TRUE(find("Text3")->hasFocus());
    QTest::keyClick(find("Text3"), Qt::Key_Return);
    EXPECT_TRUE(find("Text4")->hasFocus());
    QTest::keyClick(find("Text4"), Qt::Key_Return);
    EXPECT_TRUE(text1->hasFocus());
    EXPECT_EQ(text1->selectedText(), "14");

    feedback.clear();
    type("Text2", QStringLiteral("12+a5"));
    EXPECT_EQ(text("Text2"), "125");
    EXPECT_EQ(feedback.beeps, 2);
}

TEST_F(RebarTabTest, BadInputNeverShowsInfOrNan) {
    type("Text2", QStringLiteral("6000"));
    const QStringList bad = {QString(300, QLatin1Char('9')), QStringLiteral("1.2.3"),
                             QStringLiteral("-"), QStringLiteral("１２"), QStringLiteral("1e400")};
    for (const char* field : {"Text1", "Text2", "Text3", "Text4"}) {
        for (const QString& b : bad) {
            find(field)->setText(b); // as a paste through the context menu would
            for (int i = 5; i <= 12; ++i) {
                const QString t = text(qPrintable(QStringLiteral("Text%1").arg(i)));
                EXPECT_FALSE(t.contains(QLatin1String("inf"), Qt::CaseInsensitive)) << field;
                EXPECT_FALSE(t.contains(QLatin1String("nan"), Qt::CaseInsensitive)) << field;
            }
        }
        find(field)->setText(field == QLatin1String("Text1")   ? QStringLiteral("14")
                             : field == QLatin1String("Text2") ? QStringLiteral("6000")
                             : field == QLatin1String("Text3") ? QStringLiteral("10")
                                                               : QStringLiteral("4.5"));
    }
    EXPECT_EQ(text("Text9"), "6126");
}
} // namespace
