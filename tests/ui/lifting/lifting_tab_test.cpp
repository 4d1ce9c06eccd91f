#include "support/window_fixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

class LiftingTabTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        tabs = find<QTabWidget>("SSTab1");
        tabs->setCurrentIndex(1);
    }
    QRadioButton* option(const char* name) { return find<QRadioButton>(name); }
    QStringList results() {
        QStringList out;
        for (const char* name :
             {"Text23", "Text22", "Text16", "Text17", "Text19", "Text20", "Text21"})
            out << text(name);
        return out;
    }
    // Empties a field with the keyboard: select all, then Backspace.
    void erase(const char* name) {
        QLineEdit* f = find(name);
        f->setFocus(Qt::TabFocusReason);
        f->selectAll();
        QTest::keyClick(f, Qt::Key_Backspace);
    }

    QTabWidget* tabs = nullptr;
};

const QStringList kStartUp = {"0.24", "600", "150", "225", "8", "588.54", "0.232"};

TEST_F(LiftingTabTest, StartUpDefaults) {
    EXPECT_EQ(results(), kStartUp);
    EXPECT_TRUE(find("Text13")->hasFocus());
    EXPECT_EQ(find("Text13")->selectedText(), "1500");

    EXPECT_TRUE(option("Option4")->isChecked());
    EXPECT_TRUE(option("Option6")->isChecked());
    EXPECT_FALSE(option("Option6")->isEnabled());
    EXPECT_TRUE(option("Option9")->isChecked());
    EXPECT_TRUE(option("Option12")->isChecked());
    EXPECT_FALSE(option("Option11")->isChecked());
    EXPECT_FALSE(option("Option11")->isEnabled());
    for (const char* name : {"Option7", "Option14", "Option15"}) {
        EXPECT_FALSE(option(name)->isEnabled()) << name;
        EXPECT_FALSE(option(name)->isChecked()) << name;
    }
}

TEST_F(LiftingTabTest, AngleSetsTheRingCount) {
    clickAtLeft(option("Option8"));
    EXPECT_TRUE(option("Option11")->isChecked());
    EXPECT_TRUE(option("Option11")->isEnabled());
    EXPECT_FALSE(option("Option12")->isEnabled());
    EXPECT_FALSE(option("Option13")->isEnabled());
    EXPECT_EQ(text("Text19"), "10");
    EXPECT_EQ(text("Text20"), "708.54");
    EXPECT_EQ(text("Text21"), "0.437");

    clickAtLeft(option("Option9"));
    EXPECT_FALSE(option("Option11")->isChecked());
    EXPECT_FALSE(option("Option11")->isEnabled());
    EXPECT_TRUE(option("Option12")->isChecked());
    clickAtLeft(option("Option13"));
    EXPECT_EQ(text("Text19"), "6");
    EXPECT_EQ(text("Text20"), "468.54");
    EXPECT_EQ(text("Text21"), "0.104");

    // Clicking the angle already chosen changes nothing; a new angle starts
    // again at two rings.
    clickAtLeft(option("Option9"));
    EXPECT_TRUE(option("Option13")->isChecked());
    clickAtLeft(option("Option10"));
    EXPECT_TRUE(option("Option12")->isChecked());
    EXPECT_FALSE(option("Option13")->isChecked());
    EXPECT_EQ(text("Text19"), "8");
    EXPECT_EQ(text("Text20"), "588.54");
}

TEST_F(LiftingTabTest, LargeMemberAtNinetyDegrees) {
    type("Text13", QStringLiteral("6000"));
    type("Text14", QStringLiteral("1500"));
    type("Text15", QStringLiteral("300"));
    clickAtLeft(option("Option8"));
    EXPECT_EQ(results(), QStringList({"2.7", "6750", "600", "900", "30", "1908.54", "10.592"}));
}

TEST_F(LiftingTabTest, SameReinforcementLiftsAtTheSamePoints) {
    clickAtLeft(option("Option5"));
    EXPECT_TRUE(option("Option6")->isEnabled());
    EXPECT_EQ(text("Text16"), "321");
    EXPECT_EQ(text("Text17"), "321");
    clickAtLeft(option("Option4"));
    EXPECT_FALSE(option("Option6")->isEnabled());
    EXPECT_TRUE(option("Option6")->isChecked());
    EXPECT_EQ(text("Text16"), "150");
    EXPECT_EQ(text("Text17"), "225");
}

TEST_F(LiftingTabTest, NoVolumeNoRing) {
    type("Text15", QStringLiteral("0"));
    EXPECT_EQ(results(), QStringList({"0.", "0", "150", "225", "0", "0.", "0."}));
    // 100 x 100 x 10 mm shows as 0 m³ and is taken as such.
    type("Text13", QStringLiteral("100"));
    type("Text14", QStringLiteral("100"));
    type("Text15", QStringLiteral("10"));
    EXPECT_EQ(results(), QStringList({"0.", "0", "10", "15", "0", "0.", "0."}));
}

TEST_F(LiftingTabTest, EmptiedLengthKeepsTheLastResults) {
    erase("Text13");
    EXPECT_EQ(text("Text13"), "");
    EXPECT_EQ(results(), kStartUp);
    // The ring still follows the angle, from the volume shown.
    clickAtLeft(option("Option8"));
    EXPECT_EQ(results(), QStringList({"0.24", "600", "150", "225", "10", "708.54", "0.437"}));
    EXPECT_EQ(feedback.beeps, 0);
    EXPECT_TRUE(feedback.messages.isEmpty());
}

TEST_F(LiftingTabTest, KeysFocusAndEnter) {
    feedback.clear();
    type("Text13", QStringLiteral("12.5"));
    EXPECT_EQ(text("Text13"), "125");
    EXPECT_EQ(feedback.beeps, 1);
    type("Text14", QStringLiteral("12.5"));
    EXPECT_EQ(text("Text14"), "12.5");
    type("Text18", QStringLiteral("3a0"));
    EXPECT_EQ(text("Text18"), "30");
    EXPECT_EQ(feedback.beeps, 2);

    // Enter walks the inputs and round; each arrival selects and recomputes.
    type("Text14", QStringLiteral("1000"));
    type("Text13", QStringLiteral("1500"));
    const struct {
        const char* from;
        const char* to;
        const char* selected;
    } chain[] = {{"Text13", "Text14", "1000"},
                 {"Text14", "Text15", "160"},
                 {"Text15", "Text18", "30"},
                 {"Text18", "Text13", "1500"}};
    for (const auto& step : chain) {
        find("Text16")->setText(QStringLiteral("stale"));
        QTest::keyClick(find(step.from), Qt::Key_Return);
        EXPECT_TRUE(find(step.to)->hasFocus()) << step.to;
        EXPECT_EQ(find(step.to)->selectedText(), step.selected);
        EXPECT_EQ(text("Text16"), "150") << step.to;
    }

    // The cover enters no formula, yet its change recomputes.
    find("Text21")->setText(QStringLiteral("stale"));
    find("Text18")->setText(QStringLiteral("40"));
    EXPECT_EQ(results(), kStartUp);
}

TEST_F(LiftingTabTest, TessaroHandsTheRingToTheBarTab) {
    clickAtLeft(option("Option8"));
    QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);

    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(find("Text1")->hasFocus());
    EXPECT_EQ(text("Text1"), "10");
    EXPECT_EQ(text("Text2"), "708.54");
    EXPECT_EQ(text("Text3"), "1");
    EXPECT_EQ(text("Text4"), "0");
    EXPECT_TRUE(option("Option3")->isChecked());
    // The bar tab shows the ring's quantities: one straight bar, no bends.
    EXPECT_EQ(text("Text5"), "78.5");
    EXPECT_EQ(text("Text7"), "10");
    EXPECT_EQ(text("Text8"), "1");
    EXPECT_EQ(text("Text9"), "708.54");
    EXPECT_EQ(text("Text10"), "0.71");
    EXPECT_EQ(text("Text11"), "0.44");
    EXPECT_EQ(text("Text12"), "78.5");

    // Two rings at the default angle.
    tabs->setCurrentIndex(1);
    clickAtLeft(option("Option9"));
    QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(text("Text1"), "8");
    EXPECT_EQ(text("Text2"), "588.54");
    EXPECT_EQ(text("Text3"), "2");
    EXPECT_EQ(text("Text9"), "588.54");
    EXPECT_EQ(text("Text10"), "1.18");
}

TEST_F(LiftingTabTest, PastedGarbageNeverShowsInfOrNan) {
    const QStringList bad = {
        QString(300, QLatin1Char('9')), QStringLiteral("1.2.3"), QStringLiteral("-"),
        QStringLiteral("１２"),         QStringLiteral("1e400"), QStringLiteral("-1500"),
        QStringLiteral("1E+250"),       QStringLiteral(" ")};
    for (const char* field : {"Text13", "Text14", "Text15", "Text18"}) {
        const QString good = text(field);
        for (const QString& b : bad) {
            find(field)->setText(b); // as a paste through the context menu would
            for (const QString& t : results()) {
                EXPECT_FALSE(t.contains(QLatin1String("inf"), Qt::CaseInsensitive)) << field;
                EXPECT_FALSE(t.contains(QLatin1String("nan"), Qt::CaseInsensitive)) << field;
            }
        }
        find(field)->setText(good);
    }
    EXPECT_EQ(results(), kStartUp);
}

} // namespace
