#include "calculator_fixture.h"
#include "core/formula/engine.h"

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString sep = formula::kHistorySeparator;

// The object name of the keypad key for a character: Command6 in index order.
QByteArray keyFor(QChar c) {
    const auto index = QStringLiteral("0123456789^.+-*/()").indexOf(c);
    EXPECT_GE(index, 0) << "no key for " << c.toLatin1();
    return "Command6_" + QByteArray::number(index);
}

class CalculatorTabTest : public CalculatorWindowTest {
protected:
    QPushButton* key(const char* name) { return find<QPushButton>(name); }
    // Clicks the keypad keys for each character, as a user would.
    void click(const QString& keys) {
        for (QChar c : keys)
            press(keyFor(c).constData());
    }
    // Puts text into the box as a paste would: unfiltered.
    void paste(const QString& text) { tab->setFormulaText(text); }
    QString history() const { return tab->historyText(); }
};

TEST_F(CalculatorTabTest, KeysInsertAtTheCaretAndNeverReplaceASelection) {
    EXPECT_TRUE(box->hasFocus());
    click(QStringLiteral("12"));
    EXPECT_TRUE(box->hasFocus());
    box->setCursorPosition(1);
    click(QStringLiteral("+"));
    EXPECT_EQ(box->text(), "1+2");
    EXPECT_EQ(box->cursorPosition(), 2);

    paste(QStringLiteral("12"));
    box->setCursorPosition(1);
    press("Command19_0"); // π
    EXPECT_EQ(box->text(), "13.141592653589792");
    EXPECT_EQ(box->cursorPosition(), 17);

    paste(QStringLiteral("1234"));
    box->setSelection(1, 2);
    click(QStringLiteral("5"));
    EXPECT_EQ(box->text(), "15234");
    EXPECT_EQ(box->cursorPosition(), 2);

    // Typing and clicking mix: a typed key lands at the caret, and the box's
    // change rule then sends the caret to the end.
    QTest::keyClick(box, Qt::Key_S);
    EXPECT_EQ(box->text(), "15s234");
    EXPECT_EQ(box->cursorPosition(), 6);
}

TEST_F(CalculatorTabTest, BackspaceDeletesOneCharacterBeforeTheCaretOnly) {
    press("Command20");
    EXPECT_EQ(box->text(), "");
    paste(QStringLiteral("1234"));
    box->setSelection(1, 2); // "23" selected: only the "1" before it goes
    press("Command20");
    EXPECT_EQ(box->text(), "234");
    EXPECT_EQ(box->cursorPosition(), 0);
    EXPECT_TRUE(box->hasFocus());
    press("Command20"); // caret at the start: nothing to delete
    EXPECT_EQ(box->text(), "234");
    box->setCursorPosition(3);
    press("Command20");
    EXPECT_EQ(box->text(), "23");
    press("Command14"); // CE
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(box->hasFocus());
}

TEST_F(CalculatorTabTest, LoneOperatorContinuesTheLastResultOrIsDropped) {
    click(QStringLiteral("-"));
    EXPECT_EQ(box->text(), "");
    QTest::keyClicks(box, QStringLiteral("-5"));
    EXPECT_EQ(box->text(), "5");

    // r→d takes the leading number as its radians and keeps it as last result.
    paste(QStringLiteral("12.5"));
    press("Command10");
    EXPECT_EQ(tab->lastResult(), 12.5);
    click(QStringLiteral("*"));
    EXPECT_EQ(box->text(), "12.5*");
    EXPECT_EQ(box->cursorPosition(), 5);
    press("Command14");
    QTest::keyClicks(box, QStringLiteral("/"));
    EXPECT_EQ(box->text(), "12.5/");
}

TEST_F(CalculatorTabTest, HalfIsWrittenWithoutZeroByAnsAndWithZeroByAnOperator) {
    paste(QStringLiteral("2"));
    press("Command8"); // 1/X
    EXPECT_EQ(tab->lastResult(), 0.5);
    press("Command7"); // ANS
    EXPECT_EQ(box->text(), ".5");
    press("Command14");
    click(QStringLiteral("+"));
    EXPECT_EQ(box->text(), "0.5+");
    EXPECT_EQ(key("Command7")->toolTip(), "上次运算结果：0.5");
}

TEST_F(CalculatorTabTest, FormulaIsCutAt255CharactersWithAMessage) {
    paste(QString(255, QLatin1Char('1')));
    EXPECT_EQ(history(), "");
    box->setFocus();
    box->end(false);
    QTest::keyClick(box, Qt::Key_2);
    EXPECT_EQ(box->text(), QString(255, QLatin1Char('1')));
    EXPECT_EQ(history(), "公式长度大于255字符了！" + sep);
    press("Command19_24"); // 万 at the end is cut too
    EXPECT_EQ(box->text().size(), 255);
    EXPECT_EQ(history(), ("公式长度大于255字符了！" + sep).repeated(2));
}

TEST_F(CalculatorTabTest, KeyFilterAndEnterInTheFormulaBox) {
    QTest::keyClicks(box, QStringLiteral("SIN(x)dfk 2"));
    EXPECT_EQ(box->text(), "SIN(x)2");
    EXPECT_EQ(feedback.beeps, 4); // d, f, k and the blank
    feedback.clear();
    press("Command14");
    QTest::keyClick(box, Qt::Key_Return); // empty box: "＝" only focuses it
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(history(), "");
    EXPECT_EQ(feedback.beeps, 1); // the Enter character itself is refused
    // The box has no select-all rule, not even for the Tab key.
    paste(QStringLiteral("12"));
    key("Command11")->setFocus();
    box->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(box->hasSelectedText());
    // Any character typed on "＝" or on the history goes back to the box.
    key("Command11")->setFocus();
    QTest::keyClick(key("Command11"), Qt::Key_3);
    EXPECT_TRUE(box->hasFocus());
    find<QPlainTextEdit>("Text46")->setFocus();
    QTest::keyClick(find<QPlainTextEdit>("Text46"), Qt::Key_4);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->text(), "12");
}

TEST_F(CalculatorTabTest, FactorialOfDigitsOnly) {
    struct Row {
        const char* box;
        const char* entry;   // appended to the history, or
        const char* message; // shown instead, the box keeping its text
        double last;         // 0: not checked
    };
    const Row rows[] = {
        {"5", "公式： 5!\r\n答案： 120", nullptr, 120},
        {"0", "公式： 0!\r\n答案： 1", nullptr, 1},
        {"170", "公式： 170!\r\n答案： 7.25741561530799E+306", nullptr, 0},
        {"171", nullptr, "数据太大", 171},
        {"5.5", nullptr, "数据错误", 171},
        {"-5", nullptr, "数据错误", 171},
    };
    for (const Row& row : rows) {
        const QString before = history();
        feedback.clear();
        paste(QString::fromUtf8(row.box));
        press("Command9");
        const QString entry = row.entry ? QString::fromUtf8(row.entry) + sep : QString();
        EXPECT_EQ(history(), before + entry) << row.box;
        EXPECT_EQ(box->text(), row.entry ? QString() : QString::fromUtf8(row.box)) << row.box;
        EXPECT_EQ(feedback.messages.join(""), QString::fromUtf8(row.message)) << row.box;
        if (row.last != 0) {
            EXPECT_EQ(tab->lastResult(), row.last) << row.box;
        }
    }
}

TEST_F(CalculatorTabTest, ReciprocalOfDigitsOrOfTheLastResult) {
    paste(QStringLiteral("8"));
    press("Command8");
    EXPECT_EQ(history(), "公式：1/ 8\r\n答案： .125" + sep);
    EXPECT_EQ(tab->lastResult(), 0.125);
    EXPECT_EQ(box->text(), "");

    // A formula is not evaluated: the key inverts the last result.
    paste(QStringLiteral("2+3"));
    press("Command8");
    EXPECT_EQ(tab->lastResult(), 8);
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(history().endsWith("公式：1/ .125\r\n答案： 8" + sep));

    // Zeros make the last result 0, and then nothing happens.
    const QString before = history();
    paste(QStringLiteral("00"));
    press("Command8");
    EXPECT_EQ(tab->lastResult(), 0);
    EXPECT_EQ(box->text(), "00");
    EXPECT_EQ(history(), before);
}

TEST_F(CalculatorTabTest, MemoryAddsInSinglePrecision) {
    QPushButton* mr = key("Command16");
    EXPECT_FALSE(mr->isEnabled());
    EXPECT_EQ(mr->toolTip(), "0.0");
    press("Command17"); // last result 0: nothing
    EXPECT_FALSE(mr->isEnabled());

    paste(QStringLiteral("10"));
    press("Command8"); // last result 0.1
    press("Command17");
    press("Command17");
    EXPECT_TRUE(mr->isEnabled());
    EXPECT_EQ(mr->toolTip(), "储存数据：0.2");
    press("Command16");
    EXPECT_EQ(box->text(), ".2");
    EXPECT_TRUE(box->hasFocus());
    press("Command18");
    EXPECT_EQ(mr->toolTip(), "储存数据：0.1");
    // The pointer arriving on a key, as the key itself is told of it: under
    // Wine at twice the scale a synthetic mouse move misses the key.
    const auto hover = [](QWidget* w) {
        const QPointF centre = QRectF(w->rect()).center();
        QEnterEvent enter(centre, w->mapTo(w->window(), centre), w->mapToGlobal(centre));
        QApplication::sendEvent(w, &enter);
    };
    hover(key("Command15"));
    EXPECT_EQ(key("Command15")->toolTip(), "0.1");
    hover(key("Command17"));
    EXPECT_EQ(key("Command17")->toolTip(), "0.1");
    press("Command15"); // MC
    EXPECT_FALSE(mr->isEnabled());
    EXPECT_EQ(mr->toolTip(), "储存数据：0.1");

    // 34! fits single precision once, not twice: the second sum is refused.
    paste(QStringLiteral("34"));
    press("Command9");
    press("Command17");
    EXPECT_EQ(feedback.beeps, 0);
    press("Command17");
    EXPECT_EQ(feedback.beeps, 1);
    EXPECT_EQ(mr->toolTip(), "储存数据：2.952328E+38");
}

TEST_F(CalculatorTabTest, RadiansToDegrees) {
    paste(QStringLiteral("1"));
    press("Command10");
    const QString one = "弧度： 1\r\n角度： 57° 17' 44.80625\"" + sep;
    EXPECT_EQ(history(), one);
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(key("Command7")->toolTip(), "上次运算结果：1");

    paste(QStringLiteral("-1"));
    press("Command10");
    EXPECT_EQ(history(), one + one);
    EXPECT_EQ(tab->lastResult(), 1);

    press("Command19_0"); // π
    press("Command10");
    EXPECT_TRUE(history().endsWith("角度： 180° 0' 0\"" + sep));

    // Beyond the double range, or degrees beyond single precision: a beep only.
    const QString before = history();
    for (const char* big : {"1e400", "1e37"}) {
        paste(QString::fromUtf8(big));
        press("Command10");
    }
    EXPECT_EQ(feedback.beeps, 2);
    EXPECT_EQ(history(), before);
    EXPECT_EQ(tab->lastResult(), 3.14159265358979);
}

TEST_F(CalculatorTabTest, AngleMarksTypedWithTheKeyThenConverted) {
    QPushButton* marks = key("Command13");
    EXPECT_EQ(marks->text(), "°' \"");
    click(QStringLiteral("30"));
    press("Command13");
    EXPECT_EQ(box->text(), "30°");
    EXPECT_TRUE(marks->hasFocus()); // this key leaves the focus on itself
    press("Command13");
    EXPECT_EQ(box->text(), "30'");
    press("Command13");
    EXPECT_EQ(box->text(), "30\"");
    press("Command13");
    EXPECT_EQ(box->text(), "30°");
    click(QStringLiteral("15"));
    press("Command13");
    click(QStringLiteral("20"));
    press("Command13");
    EXPECT_EQ(box->text(), "30°15'20\"");
    box->setCursorPosition(0);
    press("Command13");
    EXPECT_EQ(box->text(), "30°15'20\"");

    press("Command12"); // d→r
    EXPECT_EQ(history(), "角度： 30° 15' 20\"\r\n弧度： .528059061464506" + sep);
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(box->hasFocus());

    click(QStringLiteral("90"));
    press("Command12");
    EXPECT_TRUE(history().endsWith("角度： 90° 0' 0\"\r\n弧度： 1.5707963267949" + sep));
    EXPECT_EQ(key("Command7")->toolTip(), "上次运算结果：1.5707963267949");

    paste(QStringLiteral("15'30\""));
    press("Command12");
    EXPECT_TRUE(history().endsWith("角度： 0° 15' 30\"\r\n弧度： .00450876723431868" + sep));
}

TEST_F(CalculatorTabTest, DegreesToRadiansRefusals) {
    press("Command12");
    EXPECT_EQ(feedback.messages, QStringList{"请输入角度"});
    EXPECT_TRUE(box->hasFocus());

    paste(QStringLiteral("30°15°"));
    press("Command12");
    EXPECT_EQ(history(), "度过多" + sep);
    EXPECT_EQ(box->text(), "30°15°");

    paste(QStringLiteral("1e2"));
    press("Command12");
    EXPECT_EQ(box->text(), "1E2");
    EXPECT_TRUE(history().endsWith("公式中不能含有“E”" + sep));
    EXPECT_EQ(box->cursorPosition(), 2);
    EXPECT_TRUE(box->hasFocus());

    EXPECT_EQ(tab->lastResult(), 0);

    // A third degree sign has no place: a beep, nothing inserted.
    feedback.clear();
    paste(QStringLiteral("1°2°3"));
    box->end(false);
    press("Command13");
    EXPECT_EQ(box->text(), "1°2°3");
    EXPECT_EQ(feedback.beeps, 1);
}

TEST_F(CalculatorTabTest, FunctionKeysInsertTheirNames) {
    const char* tags[25] = {"3.14159265358979",
                            "sin",
                            "cos",
                            "ctg",
                            "tg",
                            "log",
                            "ln",
                            "sqr",
                            "2.71828182845905",
                            "exp",
                            "^2",
                            "arccos",
                            "arcsin",
                            "abs",
                            "100",
                            "sec",
                            "arctg",
                            "csc",
                            "arcctg",
                            "arcsec",
                            "arccsc",
                            "1000",
                            "sh",
                            "ch",
                            "10000"};
    for (int i = 0; i < 25; ++i) {
        const QByteArray name = "Command19_" + QByteArray::number(i);
        press("Command14");
        click(QStringLiteral("7"));
        press(name.constData());
        EXPECT_EQ(box->text(), QStringLiteral("7") + QLatin1String(tags[i])) << name.constData();
    }
    EXPECT_EQ(key("Command19_21")->toolTip(), "1E3");
    EXPECT_EQ(key("Command19_24")->toolTip(), "1E4");
    EXPECT_EQ(key("Command19_12")->text(), "反正弦");
}

TEST_F(CalculatorTabTest, HistoryPastTheLimitKeepsTheNewestEntries) {
    const QString entry = "公式： 170!\r\n答案： 7.25741561530799E+306" + sep;
    int count = 0;
    while (history().size() + entry.size() <= 10000) {
        paste(QStringLiteral("170"));
        press("Command9");
        ++count;
    }
    const QString full = history();
    EXPECT_EQ(full, entry.repeated(count));
    paste(QStringLiteral("5"));
    press("Command9");
    const QString newest = "公式： 5!\r\n答案： 120" + sep;
    EXPECT_LE(history().size(), 10000);
    EXPECT_TRUE(history().endsWith(newest));
    EXPECT_EQ(history(), full.mid(entry.size()) + newest);
    // The box shows it all with the end in view.
    auto* text46 = find<QPlainTextEdit>("Text46");
    EXPECT_EQ(text46->toPlainText(), QString(history()).replace("\r\n", "\n"));
    EXPECT_EQ(text46->textCursor().position(), text46->document()->characterCount() - 1);
}

TEST_F(CalculatorTabTest, CompactHeightShowsTheHistoryAndTheFormulaBox) {
    window->findChild<QAction*>("changewindow")->trigger();
    QWidget* client = window->centralWidget();
    const QRect visible = client->rect();
    auto inClient = [client](QWidget* w) {
        return QRect(w->mapTo(client, QPoint(0, 0)), w->size());
    };
    EXPECT_TRUE(visible.contains(inClient(box)));
    EXPECT_TRUE(visible.contains(inClient(find<QPlainTextEdit>("Text46"))));
    EXPECT_FALSE(visible.contains(inClient(find<QGroupBox>("Frame21"))));
}

// The formula box has its own face from the start; it lays its text out in
// that face once its tab has been opened.
TEST_F(WindowTest, FormulaBoxLaysOutInItsOwnFaceOnceItsTabOpens) {
    QLineEdit* box = find("Text45");
    EXPECT_EQ(box->font().families().value(0), QStringLiteral("宋体"));
    EXPECT_EQ(box->font().pointSize(), 15);
    find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    const auto caretHeight = [](const QLineEdit& edit) {
        return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().height();
    };
    QLineEdit inBoxFace;
    inBoxFace.setFont(box->font());
    const QLineEdit inWindowFace;
    ASSERT_GT(caretHeight(inBoxFace), caretHeight(inWindowFace));
    EXPECT_EQ(caretHeight(*box), caretHeight(inBoxFace));
}

} // namespace
