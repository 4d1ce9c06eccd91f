// The anchorage window as a user meets it: opened from the main window's
// menu, inputs typed, results and the table's marked cell read back.
#include "support/window_fixture.h"
#include "ui/anchorage/anchorage_window.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace {

class AnchorageWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        find<QAction>("anchorage")->trigger();
        anchorageWindow = window->anchorageWindow();
        ASSERT_NE(anchorageWindow, nullptr);
        anchorageWindow->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(anchorageWindow));
    }
    template <typename T = QLineEdit> T* control(const char* name) const {
        T* w = anchorageWindow->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << "no control " << name;
        return w;
    }
    void typeInto(const char* name, const QString& keys) {
        QLineEdit* f = control(name);
        f->setFocus(Qt::TabFocusReason);
        f->selectAll();
        QTest::keyClicks(f, keys);
    }
    QString derivation() const { return control<QPlainTextEdit>("derivation")->toPlainText(); }
    QTableWidget* table() const { return control<QTableWidget>("atlasTable"); }

    AnchorageWindow* anchorageWindow = nullptr;
};

TEST_F(AnchorageWindowTest, MenuCommandSitsBeforeAboutAndOpensOneWindow) {
    QStringList names;
    for (QAction* action : window->menuBar()->actions())
        names << action->objectName();
    EXPECT_EQ(names, QStringList({"allontop", "changewindow", "cuttinglist", "anchorage", "about",
                                  "exit"}));
    EXPECT_EQ(find<QAction>("anchorage")->text(), "锚固搭接(&M)");
    EXPECT_EQ(anchorageWindow->windowTitle(), "锚固与搭接长度");
    EXPECT_FALSE(anchorageWindow->isModal());

    // Closing it leaves the main window; the command shows the same window again.
    anchorageWindow->close();
    EXPECT_TRUE(window->isVisible());
    find<QAction>("anchorage")->trigger();
    EXPECT_EQ(window->anchorageWindow(), anchorageWindow);
    EXPECT_TRUE(anchorageWindow->isVisible());
}

TEST_F(AnchorageWindowTest, TypingRecomputesAndMarksTheTableCell) {
    typeInto("diameter", "28");
    auto* seismic = control<QComboBox>("seismicGrade");
    seismic->setFocus(Qt::TabFocusReason);
    QTest::keyClick(seismic, Qt::Key_Down); // 一级
    QTest::keyClick(seismic, Qt::Key_Down); // 二级
    QTest::keyClick(seismic, Qt::Key_Down); // 三级
    EXPECT_EQ(seismic->currentText(), "三级");
    typeInto("percentLapped", "50");

    // The request's worked example, step by step.
    const QString text = derivation();
    for (const char* line : {"la = ζa·lab = 1.10 × 35d = 39d = 1092 mm (d = 28)",
                             "laE = ζaE·la = 1.05 × 39d = 41d = 1148 mm (d = 28)",
                             "llE = ζl·laE = 1.4 × 41d = 57d = 1596 mm (d = 28)",
                             "公式值 la = ζa·lab = 1.10 × 35.24d = 38.77d = 1085.5 mm"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();

    // The table: HRB400, grade 三, 50 %; the marked cell is laE for d > 25 in C30.
    QTableWidget* t = table();
    ASSERT_GE(t->currentRow(), 0);
    EXPECT_EQ(t->horizontalHeaderItem(t->currentColumn())->text(), "C30");
    EXPECT_EQ(t->verticalHeaderItem(t->currentRow())->text(), "laE d>25");
    EXPECT_EQ(t->currentItem()->text(), "41d");
    int marked = 0;
    for (int r = 0; r < t->rowCount(); ++r) {
        QTableWidgetItem* item = t->item(r, t->currentColumn());
        if (item->data(Qt::UserRole).toBool()) {
            ++marked;
            EXPECT_TRUE(t->verticalHeaderItem(r)->text().startsWith("lab") ||
                        t->verticalHeaderItem(r)->text().endsWith("d>25"))
                << t->verticalHeaderItem(r)->text().toStdString();
        }
    }
    EXPECT_EQ(marked, 6); // lab, labE, la, laE, ll, llE
    // A smaller bar moves the mark to the d ≤ 25 rows: R(1.05 × 35 = 36.75) = 37d.
    typeInto("diameter", "25");
    EXPECT_EQ(t->verticalHeaderItem(t->currentRow())->text(), "laE d≤25");
    EXPECT_EQ(t->currentItem()->text(), "37d");
}

TEST_F(AnchorageWindowTest, EnterMovesThroughTheInputs) {
    typeInto("diameter", "20");
    QTest::keyClick(control("diameter"), Qt::Key_Return);
    EXPECT_TRUE(control<QComboBox>("seismicGrade")->hasFocus());
    QTest::keyClick(control<QComboBox>("seismicGrade"), Qt::Key_Return);
    EXPECT_TRUE(control("percentLapped")->hasFocus());
    QTest::keyClick(control("percentLapped"), Qt::Key_Enter);
    EXPECT_TRUE(control<QRadioButton>("tension")->hasFocus());
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(control<QComboBox>("steelGrade")->hasFocus());
}

TEST_F(AnchorageWindowTest, ForbiddenConcreteShowsDashAndSaysWhy) {
    auto* concrete = control<QComboBox>("concreteGrade");
    concrete->setCurrentText("C20");
    EXPECT_TRUE(derivation().contains("GB 55008-2021 第2.0.2条")) << derivation().toStdString();
    EXPECT_EQ(table()->item(0, 0)->text(), "—");
    // GB 55008 wants C25 for every reinforced member, plain bars too.
    control<QComboBox>("steelGrade")->setCurrentText("HPB300");
    EXPECT_EQ(table()->item(0, 0)->text(), "—");
    EXPECT_TRUE(derivation().contains("不应低于C25")) << derivation().toStdString();
    // The older rule allows plain bars in C20.
    control<QCheckBox>("olderConcreteCode")->setChecked(true);
    EXPECT_EQ(table()->item(0, 0)->text(), "39d");
    EXPECT_TRUE(derivation().contains("lab = α·fy/ft·d = 0.16 × 270/1.10 × d = 39d"))
        << derivation().toStdString();
}

// The note says which code is in use; the check box changes it, and with it
// what HRB500 in C25 gives, from the keyboard alone.
TEST_F(AnchorageWindowTest, OlderCodeIsASettingNamedOnScreen) {
    auto* older = control<QCheckBox>("olderConcreteCode");
    auto* note = control<QLabel>("concreteCodeNote");
    EXPECT_FALSE(older->isChecked());
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains("GB 55008-2021 第2.0.2条")) << note->text().toStdString();
    control<QComboBox>("steelGrade")->setCurrentText("HRB500");
    control<QComboBox>("concreteGrade")->setCurrentText("C25");
    EXPECT_TRUE(derivation().contains("不应低于C30（GB 55008-2021 第2.0.2条）"))
        << derivation().toStdString();
    EXPECT_EQ(table()->item(0, 1)->text(), "—");

    // Enter from the concrete grade reaches the box; space ticks it.
    control<QComboBox>("concreteGrade")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control<QComboBox>("concreteGrade"), Qt::Key_Return);
    ASSERT_TRUE(older->hasFocus());
    QTest::keyClick(older, Qt::Key_Space);
    EXPECT_TRUE(older->isChecked());
    EXPECT_TRUE(note->text().contains("GB 50010-2010 第4.1.2条")) << note->text().toStdString();
    EXPECT_TRUE(derivation().contains("lab = α·fy/ft·d = 0.14 × 435/1.27 × d = 48d"))
        << derivation().toStdString();
    EXPECT_EQ(table()->item(0, 1)->text(), "48d");
    // C20 stays refused for 400 MPa bars under the older rule.
    control<QComboBox>("concreteGrade")->setCurrentText("C20");
    EXPECT_TRUE(derivation().contains("GB 50010-2010 第4.1.2条")) << derivation().toStdString();
}

TEST_F(AnchorageWindowTest, TogglesAndFieldsCorrectTheLengths) {
    typeInto("diameter", "28");
    QTest::mouseClick(control<QCheckBox>("epoxyCoated"), Qt::LeftButton, {},
                      QPoint(6, control<QCheckBox>("epoxyCoated")->height() / 2));
    EXPECT_TRUE(derivation().contains("la = ζa·lab = 1.25 × 39d = 49d = 1372 mm (d = 28)"))
        << derivation().toStdString();
    control<QRadioButton>("compression")->setChecked(true);
    EXPECT_TRUE(derivation().contains("受压搭接")) << derivation().toStdString();
    typeInto("cover", "x");
    EXPECT_TRUE(derivation().contains("保护层")) << derivation().toStdString();
    EXPECT_FALSE(derivation().contains("la = "));
}

TEST_F(AnchorageWindowTest, DerivationCopiesToTheClipboard) {
    QApplication::clipboard()->clear();
    control<QPushButton>("copyDerivation")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), derivation());
    EXPECT_TRUE(derivation().contains("ll = ζl·la"));
}

// Every control has a name of its own, so a screen reader tells them apart.
TEST_F(AnchorageWindowTest, AccessibleNamesAreDistinct) {
    QStringList seen;
    for (QWidget* w : anchorageWindow->findChildren<QWidget*>()) {
        if (!w->focusPolicy() || w->objectName().isEmpty() ||
            w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(iface, nullptr);
        const QString name = iface->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(seen.contains(name)) << name.toStdString();
        seen << name;
    }
    EXPECT_GE(seen.size(), 15);
}

} // namespace
