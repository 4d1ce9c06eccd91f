#include "support/feedback_recorder.h"
#include "support/qt_printers.h"
#include "ui/form/field_rules.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Three fields in a chain on a plain window: digits, decimal, formula.
class FieldRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(form.get());
        for (auto*& f : fields) {
            f = new QLineEdit(form.get());
            layout->addWidget(f);
        }
        result = new QLineEdit(QStringLiteral("61.26"), form.get());
        result->setReadOnly(true);
        layout->addWidget(result);
        rules = new FieldRules(form.get());
        rules->addField(
            {fields[0], keysets::kDigits, {}, true, [this] { ++recomputes; }, fields[1], {}});
        rules->addField({fields[1], keysets::kDecimal, {}, true, {}, fields[2], {}});
        rules->addField({fields[2], keysets::kFormula, {}, true, {}, fields[0], {}});
        rules->addField({result, {}, {}, true, {}, nullptr, {}});
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        fields[0]->setFocus();
        recorder.clear();
        recomputes = 0;
    }

    FeedbackRecorder recorder;
    std::unique_ptr<QWidget> form;
    QLineEdit* fields[3] = {};
    QLineEdit* result = nullptr;
    FieldRules* rules = nullptr;
    int recomputes = 0;
};

TEST(FilterKey, AllowsTheSetAndBackspaceAndBeepsOtherwise) {
    FeedbackRecorder recorder;
    EXPECT_EQ(filterKey('5', keysets::kDigits, true), '5');
    EXPECT_EQ(filterKey(8, keysets::kDigits, true), 8);
    EXPECT_EQ(recorder.beeps, 0);
    EXPECT_EQ(filterKey(8, keysets::kDigits, false), 0);
    EXPECT_EQ(filterKey('.', keysets::kDigits, true), 0);
    EXPECT_EQ(filterKey(13, keysets::kDigits, true), 0);
    EXPECT_EQ(filterKey(22, keysets::kDigits, true), 0); // Ctrl+V
    EXPECT_EQ(recorder.beeps, 4);
    // Letters of the formula set pass in either case and keep the case typed.
    EXPECT_EQ(filterKey('S', keysets::kFormula, true), 'S');
    EXPECT_EQ(filterKey('s', keysets::kFormula, true), 's');
    for (short refused : std::initializer_list<short>{'d', 'f', 'k', 'D', ' ', 0xB0})
        EXPECT_EQ(filterKey(refused, keysets::kFormula, true), 0) << refused;
}

TEST_F(FieldRulesTest, TypedKeysAreFilteredWithOneBeepEach) {
    QTest::keyClicks(fields[0], QStringLiteral("12.5"));
    EXPECT_EQ(fields[0]->text(), "125");
    EXPECT_EQ(recorder.beeps, 1);
    fields[1]->setFocus();
    QTest::keyClicks(fields[1], QStringLiteral("12.5"));
    EXPECT_EQ(fields[1]->text(), "12.5");
    QTest::keyClick(fields[1], Qt::Key_Backspace);
    EXPECT_EQ(fields[1]->text(), "12.");
    fields[1]->setCursorPosition(0);
    QTest::keyClick(fields[1], Qt::Key_Delete);
    EXPECT_EQ(fields[1]->text(), "2.");
    fields[2]->setFocus();
    QTest::keyClicks(fields[2], QStringLiteral("sin30+COS1dfk"));
    EXPECT_EQ(fields[2]->text(), "sin30+COS1");
    EXPECT_EQ(recorder.beeps, 4);
}

TEST_F(FieldRulesTest, ShortcutsBeepButTheContextMenuPasteGoesIn) {
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    fields[0]->setText(QStringLiteral("7"));
    fields[0]->setCursorPosition(1);
    QTest::keyClick(fields[0], Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(fields[0], Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(fields[0], Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(fields[0], Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(fields[0]->text(), "7");
    EXPECT_EQ(recorder.beeps, 4);
    // Real X11 events carry control characters instead of letters.
    QKeyEvent ctrlV(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    QApplication::sendEvent(fields[0], &ctrlV);
    EXPECT_EQ(fields[0]->text(), "7");
    EXPECT_EQ(recorder.beeps, 5);
    fields[0]->paste(); // what the context menu's paste does
    EXPECT_EQ(fields[0]->text(), "7abc");
}

TEST_F(FieldRulesTest, EnterMovesAlongTheChainAndSelectsTheText) {
    fields[1]->setText(QStringLiteral("1500"));
    QTest::keyClick(fields[0], Qt::Key_Return);
    EXPECT_TRUE(fields[1]->hasFocus());
    EXPECT_EQ(fields[1]->selectedText(), "1500");
    EXPECT_EQ(recorder.beeps, 1); // the Enter character reaches the filter
    QTest::keyClick(fields[1], Qt::Key_Enter);
    QTest::keyClick(fields[2], Qt::Key_Return);
    EXPECT_TRUE(fields[0]->hasFocus());
    EXPECT_EQ(recomputes, 1); // the focus rule's recompute ran on arrival
}

TEST_F(FieldRulesTest, ClickingAReadOnlyResultSelectsItAll) {
    QTest::mouseClick(result, Qt::LeftButton, {}, QPoint(4, result->height() / 2));
    QTest::qWait(5);
    EXPECT_TRUE(result->hasFocus());
    EXPECT_EQ(result->selectedText(), "61.26");
}
} // namespace
