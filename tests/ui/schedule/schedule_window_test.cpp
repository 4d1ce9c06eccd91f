#include "core/plans/list_plan.h"
#include "core/schedule/autosave.h"
#include "core/schedule/list_file.h"
#include "core/schedule/row_columns.h"
#include "support/window_fixture.h"
#include "ui/rebar/rebar_tab.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/list_table_model.h"
#include "ui/schedule/list_table_view.h"
#include "ui/schedule/plan_view.h"
#include "ui/schedule/schedule_window.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <functional>

namespace {

using namespace schedule;

// The main window with a cutting-list window that keeps its autosaves and
// recent files in a folder of the test's own.
class ScheduleWindowTest : public WindowTest {
protected:
    using WindowTest::type;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ScheduleWindow::defaultOptions() = options();
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        ScheduleWindow::defaultOptions() = {};
    }

    ScheduleWindowOptions options(int autosaveMs = 60'000) const {
        return {dir.filePath(QStringLiteral("autosave")), autosaveMs,
                dir.filePath(QStringLiteral("settings.ini"))};
    }

    ScheduleWindow* openList() {
        find<QAction>("cuttinglist")->trigger();
        ScheduleWindow* list = static_cast<ScheduleWindow*>(window->cuttingListWindow());
        EXPECT_NE(list, nullptr);
        list->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(list));
        list->rowTable()->setFocus();
        return list;
    }
    static QAction* action(ScheduleWindow* list, const char* name) {
        auto* a = list->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }

    // Keys as a user presses them: to whatever has the focus, one by one,
    // with the queued commits of Enter let through.
    static void type(const QString& text) {
        for (const QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QCoreApplication::processEvents();
    }
    // Types each cell's text and presses Tab after it ("" moves on only).
    static void typeCells(const QStringList& cells) {
        for (const QString& cell : cells) {
            type(cell);
            press(Qt::Key_Tab);
        }
    }

    static QString cell(ScheduleWindow* list, int row, Column column, int role = Qt::DisplayRole) {
        return list->rowModel()->index(row, columnIndex(column)).data(role).toString();
    }
    static QModelIndex current(ScheduleWindow* list) { return list->rowTable()->currentIndex(); }
    // Puts the current cell there alone, as a click does.
    static void goTo(ScheduleWindow* list, int row, Column column) {
        list->rowTable()->selectionModel()->setCurrentIndex(
            list->rowModel()->index(row, columnIndex(column)), QItemSelectionModel::ClearAndSelect);
    }
    static const CuttingList& listOf(ScheduleWindow* list) { return list->document()->list(); }
    static QStringList summaryRow(ScheduleWindow* list, int row) {
        auto* table = list->findChild<QTableWidget*>(QStringLiteral("summaryTable"));
        QStringList texts;
        for (int c = 0; c < table->columnCount(); ++c)
            texts << (table->item(row, c) ? table->item(row, c)->text() : QString());
        return texts;
    }
    static QString labelText(ScheduleWindow* list, const char* name) {
        auto* label = list->findChild<QLabel*>(QLatin1String(name));
        EXPECT_NE(label, nullptr) << name;
        return label ? label->text() : QString();
    }

    // An L of 5000 + 300, 25 mm HRB400, 8 bars, typed from the mark to the count.
    void typeBeamBar() {
        typeCells({"1", "L", "HRB400", "25", "5000", "300", ""});
        type("8");
        press(Qt::Key_Return);
    }

    QTemporaryDir dir;
};

TEST_F(ScheduleWindowTest, MenuOpensOneListWindowMadeOnlyWhenAskedFor) {
    // Start-up made nothing of it.
    EXPECT_EQ(window->cuttingListWindow(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<ScheduleWindow*>(w), nullptr);

    const QList<QAction*> bar = window->menuBar()->actions();
    QAction* entry = find<QAction>("cuttinglist");
    EXPECT_EQ(entry->text(), "下料单(&L)");
    EXPECT_EQ(bar.indexOf(entry), bar.indexOf(find<QAction>("changewindow")) + 1);
    EXPECT_LT(bar.indexOf(entry), bar.indexOf(find<QAction>("about")));

    // Alt+L, as the menu's access key.
    QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
    ScheduleWindow* list = static_cast<ScheduleWindow*>(window->cuttingListWindow());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->isWindow());
    EXPECT_EQ(list->parentWidget(), nullptr);
    EXPECT_FALSE(list->isModal());
    EXPECT_EQ(list->windowTitle(), "未命名[*] - 钢筋下料单 - Corvala");

    entry->trigger();
    EXPECT_EQ(window->cuttingListWindow(), list) << "one window, shown again";

    // Closing the list leaves the main window; closing the main window
    // leaves the list.
    list->close();
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(window->isVisible());
    entry->trigger();
    window->close();
    EXPECT_TRUE(list->isVisible());
}

TEST_F(ScheduleWindowTest, KeyboardEntryComputesTheRowAndMovesOnToANewRow) {
    ScheduleWindow* list = openList();
    EXPECT_EQ(current(list), list->rowModel()->index(0, 0)) << "starts in the entry row";

    typeCells({"1", "L", "HRB400", "25", "5000"});
    type("300");
    press(Qt::Key_Tab);
    // Tab skips what an L does not have, C to N.
    EXPECT_EQ(current(list).column(), columnIndex(Column::Mandrel));
    press(Qt::Key_Tab);
    type("8");
    press(Qt::Key_Return);

    ASSERT_EQ(listOf(list).members.size(), 1);
    ASSERT_EQ(listOf(list).members[0].rows.size(), 1);
    const BarRow& row = listOf(list).members[0].rows[0];
    EXPECT_EQ(row.shape, Shape::L);
    EXPECT_EQ(row.diameter, 25);
    EXPECT_EQ(row.countPerMember, 8);
    // 5000 + 300 − 2.07 × 25 = 5248 mm; 8 × 5.248 m × 3.85 kg/m = 161.6384 kg.
    EXPECT_EQ(cell(list, 0, Column::CutLength), "5248");
    EXPECT_EQ(cell(list, 0, Column::UnitMass), "3.85");
    EXPECT_EQ(cell(list, 0, Column::BarMass), "20.205");
    EXPECT_EQ(cell(list, 0, Column::Bars), "8");
    EXPECT_EQ(cell(list, 0, Column::TotalLength), "41.984");
    EXPECT_EQ(cell(list, 0, Column::TotalMass), "161.64");
    // No mandrel given: GB 50204's 4d, shown greyed, not written into the row.
    EXPECT_EQ(cell(list, 0, Column::Mandrel), "100");
    EXPECT_EQ(cell(list, 0, Column::Mandrel, Qt::EditRole), "");
    EXPECT_EQ(list->rowModel()->index(0, columnIndex(Column::Mandrel)).data(Qt::ForegroundRole),
              QVariant(listcolors::suggested()));
    EXPECT_FALSE(list->rowModel()->flags(list->rowModel()->index(0, columnIndex(Column::C))) &
                 Qt::ItemIsEditable);
    EXPECT_EQ(summaryRow(list, 0), QStringList({"HRB400", "25", "8", "41.984", "161.64", "0.162"}));
    EXPECT_EQ(labelText(list, "grandTotal"),
              "合计：8 根，总长 41.984 m，总质量 161.64 kg（0.162 t）");
    EXPECT_EQ(labelText(list, "summaryNote"), "全部 1 行已计入合计。");
    // Enter after the count: the entry row, showing what a new row starts as.
    EXPECT_EQ(current(list), list->rowModel()->index(1, 0));
    EXPECT_EQ(QApplication::focusWidget(), list->rowTable()) << "no editor open";
    EXPECT_EQ(cell(list, 1, Column::Mark), "2");
    EXPECT_EQ(cell(list, 1, Column::Shape), shapeLabel(Shape::L));
    EXPECT_EQ(cell(list, 1, Column::Diameter), "25");
    EXPECT_EQ(listOf(list).members[0].rows.size(), 1) << "moving into it adds nothing";
    EXPECT_TRUE(list->isWindowModified());

    goTo(list, 0, Column::Mark);
    EXPECT_TRUE(labelText(list, "sketchCutLength").contains("5248 mm"));
    EXPECT_TRUE(labelText(list, "sketchFormula").contains("A + B − δ90"));
    EXPECT_TRUE(labelText(list, "sketchTerms").contains("δ90 = 51.8"));

    goTo(list, 1, Column::Mark);
    typeCells({"2"});
    ASSERT_EQ(listOf(list).members[0].rows.size(), 2);
    EXPECT_EQ(listOf(list).members[0].rows[1].shape, Shape::L);
    EXPECT_EQ(current(list), list->rowModel()->index(1, columnIndex(Column::Shape)));
}

TEST_F(ScheduleWindowTest, UndoAndRedoWalkBackAndForthThroughEveryEdit) {
    ScheduleWindow* list = openList();
    typeBeamBar();
    const CuttingList typed = listOf(list);
    QList<CuttingList> states{typed};
    goTo(list, 0, Column::Mark);
    const auto step = [&](const std::function<void()>& edit) {
        edit();
        EXPECT_NE(listOf(list), states.last());
        states << listOf(list);
    };
    step([&] { action(list, "insertRow")->trigger(); });
    step([&] { action(list, "rowUp")->trigger(); });
    step([&] { action(list, "duplicateRow")->trigger(); });
    step([&] { action(list, "deleteRow")->trigger(); });
    step([&] { action(list, "sortByMark")->trigger(); });
    step([&] {
        auto* rounding = list->findChild<QComboBox*>(QStringLiteral("rounding"));
        rounding->setCurrentIndex(2);
        Q_EMIT rounding->activated(2); // as chosen with the keyboard
    });
    // 5248.2 to the nearest 10 mm.
    EXPECT_EQ(cell(list, 0, Column::CutLength), "5250");
    step([&] { list->findChild<QCheckBox*>(QStringLiteral("seismic"))->click(); });
    step([&] { action(list, "addMember")->trigger(); });
    step([&] { action(list, "memberUp")->trigger(); });
    step([&] { action(list, "deleteMember")->trigger(); });

    // Ctrl+Z back to the empty list, Ctrl+Y forward to the last edit.
    list->rowTable()->setFocus();
    for (qsizetype i = states.size() - 1; i > 0; --i) {
        EXPECT_EQ(listOf(list), states[i]) << i;
        press(Qt::Key_Z, Qt::ControlModifier);
    }
    EXPECT_EQ(listOf(list), typed);
    // The typed cells, back to the row's start.
    while (list->document()->undoStack()->canUndo())
        press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(listOf(list).members[0].rows.isEmpty());
    EXPECT_FALSE(list->isWindowModified());
    while (list->document()->undoStack()->canRedo())
        press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(listOf(list), states.last());
    EXPECT_EQ(listOf(list).settings.rounding, Rounding::Millimetre10);
    EXPECT_FALSE(listOf(list).settings.seismic);
    EXPECT_EQ(list->findChild<QComboBox*>(QStringLiteral("rounding"))->currentIndex(), 2);
    EXPECT_FALSE(list->findChild<QCheckBox*>(QStringLiteral("seismic"))->isChecked());
}

TEST_F(ScheduleWindowTest, SortPutsMarksInNaturalOrderAndLengthsLongestFirst) {
    ScheduleWindow* list = openList();
    // Mark to count: A, then B to the mandrel empty, then the count.
    const QString gap(10, QLatin1Char('\t'));
    QGuiApplication::clipboard()->setText(QStringLiteral("10\tstraight\tHRB400\t12\t900%1\t2\n"
                                                         "2\tstraight\tHRB400\t12\t3000%1\t2\n"
                                                         "1\tstraight\tHRB400\t12\t1500%1\t2\n")
                                              .arg(gap));
    press(Qt::Key_V, Qt::ControlModifier);
    const auto marks = [&] {
        QStringList out;
        for (const BarRow& r : listOf(list).members[0].rows)
            out << r.mark;
        return out;
    };
    action(list, "sortByMark")->trigger();
    EXPECT_EQ(marks(), QStringList({"1", "2", "10"}));
    action(list, "sortByLength")->trigger();
    EXPECT_EQ(marks(), QStringList({"2", "1", "10"}));
}

TEST_F(ScheduleWindowTest, TabSeparatedBlocksCopyOutAndPasteInGrowingTheTable) {
    ScheduleWindow* list = openList();
    typeBeamBar();

    // The row's inputs out, as a spreadsheet takes them.
    QTableView* table = list->rowTable();
    table->selectionModel()->select(
        QItemSelection(list->rowModel()->index(0, 0),
                       list->rowModel()->index(0, columnIndex(Column::B))),
        QItemSelectionModel::ClearAndSelect);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "1\tL\tHRB400\t25\t5000\t300\n");

    // A block from Excel with its heading, pasted at the entry row: the
    // heading is skipped, the rows are added, and a cell that is no number
    // is reported and left out, not taken as 0.
    QGuiApplication::clipboard()->setText(QStringLiteral("编号\t形状\t牌号\t直径\tA\tB\tC\r\n"
                                                         "3\tU\tHRB400E\t16\t200\t400\t200\r\n"
                                                         "4\ttie\t400E\t8\t250\t\t\r\n"
                                                         "5\tstraight\t400\t12\t12O0\t\t\r\n"));
    goTo(list, 1, Column::Mark);
    feedback.clear();
    press(Qt::Key_V, Qt::ControlModifier);
    const QList<BarRow>& rows = listOf(list).members[0].rows;
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[1].shape, Shape::U);
    EXPECT_EQ(rows[1].grade, codes::SteelGrade::HRB400E);
    EXPECT_EQ(rows[1].dimensions, (QMap<QString, double>{{"A", 200}, {"B", 400}, {"C", 200}}));
    EXPECT_EQ(rows[2].shape, Shape::Tie);
    EXPECT_EQ(rows[2].grade, codes::SteelGrade::HRB400E);
    EXPECT_EQ(rows[3].grade, codes::SteelGrade::HRB400);
    EXPECT_FALSE(rows[3].dimensions.contains("A"));
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].contains("第 4 行 A：“12O0”不是数值"))
        << feedback.messages[0].toStdString();
    // Left empty, the cell is the row's problem, out of the totals.
    EXPECT_EQ(cell(list, 3, Column::A, RowTableModel::ProblemRole), "未填 A");

    // One paste, one undo.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(listOf(list).members[0].rows.size(), 1);
}

TEST_F(ScheduleWindowTest, AValueThatCannotBeRightMarksItsCellAndLeavesTheRowOut) {
    ScheduleWindow* list = openList();
    typeBeamBar();
    // A U of 25 mm bars whose base is narrower than its two bends need.
    typeCells({"2", "U", "", "", "300", "80", "300", ""});
    type("2");
    press(Qt::Key_Return);
    ASSERT_EQ(listOf(list).members[0].rows.size(), 2);
    const QModelIndex b = list->rowModel()->index(1, columnIndex(Column::B));
    const QString reason = b.data(RowTableModel::ProblemRole).toString();
    EXPECT_TRUE(reason.startsWith("B 小于")) << reason.toStdString();
    EXPECT_EQ(b.data(Qt::BackgroundRole), QVariant(listcolors::problem()));
    EXPECT_EQ(b.data(Qt::ToolTipRole).toString(), reason);
    EXPECT_EQ(cell(list, 1, Column::CutLength), "") << "no length for a bar that cannot be bent";
    goTo(list, 1, Column::B);
    EXPECT_EQ(labelText(list, "statusLine"), QStringLiteral("第 2 行 B：%1").arg(reason));
    EXPECT_EQ(labelText(list, "summaryNote"), "有 1 行有问题，未计入合计（共 2 行）。");
    EXPECT_EQ(labelText(list, "grandTotal"),
              "合计：8 根，总长 41.984 m，总质量 161.64 kg（0.162 t）");

    // Numbers only in a number cell: the letters never reach it.
    goTo(list, 1, Column::Diameter);
    type("1x2");
    press(Qt::Key_Tab);
    EXPECT_EQ(listOf(list).members[0].rows[1].diameter, 12);
    // A diameter the standard does not make.
    goTo(list, 1, Column::Diameter);
    type("13");
    press(Qt::Key_Tab);
    EXPECT_EQ(cell(list, 1, Column::Diameter, RowTableModel::ProblemRole),
              "13 mm 不是 GB/T 1499 的公称直径");
    // An unknown shape typed is refused, and the row keeps its own.
    goTo(list, 1, Column::Shape);
    feedback.clear();
    type("Z");
    press(Qt::Key_Tab);
    EXPECT_EQ(listOf(list).members[0].rows[1].shape, Shape::U);
    EXPECT_EQ(labelText(list, "statusLine"), "未知的形状“Z”");
    EXPECT_EQ(feedback.beeps, 1);
}

TEST_F(ScheduleWindowTest, SavedListComesBackAndUnsavedChangesAreAskedAbout) {
    ScheduleWindow* list = openList();
    typeBeamBar();
    // A name with Chinese characters, given without the extension.
    const QString path = dir.filePath(QStringLiteral("梁 KL1"));
    feedback.files = {path};
    press(Qt::Key_S, Qt::ControlModifier);
    const QString saved = path + ".cvl";
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(list->windowTitle(), "梁 KL1.cvl[*] - 钢筋下料单 - Corvala");
    EXPECT_FALSE(list->isWindowModified());
    const CuttingList kept = listOf(list);

    // A change, then closing: 取消 keeps the window, 不保存 lets it go.
    goTo(list, 0, Column::Count);
    type("9");
    press(Qt::Key_Tab);
    EXPECT_TRUE(list->isWindowModified());
    feedback.answers = {2};
    EXPECT_FALSE(list->close());
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(feedback.questions.size(), 1);
    EXPECT_EQ(feedback.questions[0], "下料单“梁 KL1.cvl”有未保存的修改，是否保存？");
    EXPECT_EQ(feedback.questionButtons[0], QStringList({"保存", "不保存", "取消"}));
    feedback.answers = {1};
    EXPECT_TRUE(list->close());
    EXPECT_EQ(loadListFile(saved).list, kept) << "不保存 leaves the file as it was";

    // Open again through the recent files.
    list = openList();
    list->findChild<QAction*>(QStringLiteral("recentFile1"))->trigger();
    EXPECT_EQ(listOf(list), kept);
    EXPECT_EQ(list->document()->filePath(), QFileInfo(saved).absoluteFilePath());

    // 保存 on closing writes the change.
    goTo(list, 0, Column::Count);
    type("9");
    press(Qt::Key_Tab);
    feedback.answers = {0};
    EXPECT_TRUE(list->close());
    EXPECT_EQ(loadListFile(saved).list->members[0].rows[0].countPerMember, 9);

    // A file that is not a list: its reason, and the open list untouched.
    list = openList();
    QFile bad(dir.filePath(QStringLiteral("坏.cvl")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"format\": \"corvala-cutting-list\", \"version\": 1, \"members\": [");
    bad.close();
    const CuttingList before = listOf(list);
    feedback.clear();
    EXPECT_FALSE(list->openFile(bad.fileName()));
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].startsWith(
        QStringLiteral("无法打开“%1”：\n").arg(QDir::toNativeSeparators(bad.fileName()))));
    EXPECT_GT(feedback.messages[0].size(), bad.fileName().size() + 8) << "with the reason";
    EXPECT_EQ(listOf(list), before);
}

TEST_F(ScheduleWindowTest, CsvImportReportsBadLinesAndAppendsTheRestAsOneStep) {
    ScheduleWindow* list = openList();
    const QString csv = dir.filePath(QStringLiteral("柱.csv"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("member,members,mark,shape,grade,diameter,A,B,count\n"
               "KZ1,4,1,straight,HRB400,25,3600,,12\n"
               "KZ1,4,2,stirrup,HPB300,x,450,450,30\n");
    file.close();
    feedback.files = {csv};
    feedback.answers = {1}; // 取消
    action(list, "importCsv")->trigger();
    ASSERT_EQ(feedback.questions.size(), 1);
    EXPECT_TRUE(feedback.questions[0].contains("第 3 行")) << feedback.questions[0].toStdString();
    EXPECT_EQ(feedback.questionButtons[0], QStringList({"导入其余", "取消"}));
    EXPECT_EQ(listOf(list).members[0].rows.size(), 0) << "cancelled: nothing imported";

    feedback.files = {csv};
    feedback.answers = {0};
    action(list, "importCsv")->trigger();
    ASSERT_EQ(listOf(list).members.size(), 1);
    EXPECT_EQ(listOf(list).members[0].name, "KZ1");
    EXPECT_EQ(listOf(list).members[0].count, 4);
    EXPECT_EQ(listOf(list).members[0].rows.size(), 1);
    EXPECT_EQ(cell(list, 0, Column::Bars), "48");
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(listOf(list).members[0].name, "构件1");

    // Export: what the core writes, with the byte-order mark Excel needs.
    press(Qt::Key_Y, Qt::ControlModifier);
    feedback.files = {dir.filePath(QStringLiteral("出"))};
    action(list, "exportCsv")->trigger();
    QFile out(dir.filePath(QStringLiteral("出.csv")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.readAll().startsWith("\xEF\xBB\xBF"));
}

TEST_F(ScheduleWindowTest, AutosaveCopyIsOfferedBackAfterTheProgramDied) {
    const QString saved = dir.filePath(QStringLiteral("板.cvl"));
    auto first = std::make_unique<ScheduleWindow>(options(20));
    first->show();
    first->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first.get()));
    first->rowTable()->setFocus();
    typeCells({"1", "straight", "", "12", "2400", ""});
    type("6");
    press(Qt::Key_Tab);
    feedback.files = {saved};
    press(Qt::Key_S, Qt::ControlModifier);
    goTo(first.get(), 0, Column::Count);
    type("7");
    press(Qt::Key_Tab);
    const CuttingList unsaved = first->document()->list();
    const QDir autosave(options().autosaveDirectory);
    for (int i = 0; i < 100 && autosave.entryList({"*.cvl"}, QDir::Files).isEmpty(); ++i)
        QTest::qWait(20);
    ASSERT_EQ(autosave.entryList({"*.cvl"}, QDir::Files).size(), 1);
    // Gone without closing, as after a kill.
    first.reset();

    ScheduleWindow second(options());
    feedback.answers = {0};
    second.offerRecovery();
    ASSERT_EQ(feedback.questions.size(), 1);
    EXPECT_TRUE(feedback.questions[0].startsWith("恢复未保存的下料单？"));
    EXPECT_TRUE(feedback.questions[0].contains(QDir::toNativeSeparators(saved)));
    EXPECT_TRUE(feedback.questions[0].contains("自动保存于 "));
    EXPECT_EQ(second.document()->list(), unsaved);
    EXPECT_TRUE(second.isWindowModified()) << "recovered, not saved";
    EXPECT_EQ(second.document()->filePath(), saved) << "saving goes back to its file";

    // A clean save removes the copy; nothing is offered any more.
    second.show();
    second.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&second));
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(loadListFile(saved).list, unsaved);
    EXPECT_TRUE(autosave.entryList({"*.cvl"}, QDir::Files).isEmpty());
    ScheduleWindow third(options());
    feedback.clear();
    third.offerRecovery();
    EXPECT_TRUE(feedback.questions.isEmpty());
}

TEST_F(ScheduleWindowTest, DeclinedCopyIsDiscardedAndACopyInUseIsNotOffered) {
    auto first = std::make_unique<ScheduleWindow>(options(20));
    first->document()->change("x", CuttingList{{}, {}, {Member{"KL2", 1, {BarRow{}}}}}, {}, {});
    first->autosaveNow();
    const QDir autosave(options().autosaveDirectory);
    ASSERT_EQ(autosave.entryList({"*.cvl"}, QDir::Files).size(), 1);

    // Held by a window still open (as by another running Corvala).
    ScheduleWindow second(options());
    second.offerRecovery();
    EXPECT_TRUE(feedback.questions.isEmpty());

    first.reset();
    ScheduleWindow third(options());
    feedback.answers = {1}; // 放弃
    third.offerRecovery();
    EXPECT_EQ(feedback.questions.size(), 1);
    EXPECT_TRUE(autosave.entryList({"*.cvl"}, QDir::Files).isEmpty());
    EXPECT_FALSE(third.isWindowModified());
}

// A copy cut short (the disk filled, the power went) is offered like any
// other, and taking it says why it cannot be read and leaves the window on
// its empty list, unchanged.
TEST_F(ScheduleWindowTest, DamagedAutosaveCopyIsReportedAndNothingIsOpened) {
    {
        AutosaveStore store(options().autosaveDirectory);
        ASSERT_FALSE(store.write(CuttingList{{}, {}, {Member{"KL2", 1, {BarRow{}}}}}, {}));
    }
    const QDir autosave(options().autosaveDirectory);
    const QStringList copies = autosave.entryList({"*.cvl"}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    QFile copy(autosave.filePath(copies[0]));
    ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
    const QByteArray whole = copy.readAll();
    ASSERT_TRUE(copy.resize(whole.size() / 2));
    copy.close();

    ScheduleWindow w(options());
    const CuttingList before = w.document()->list();
    feedback.clear();
    feedback.answers = {0}; // 恢复
    w.offerRecovery();
    ASSERT_EQ(feedback.questions.size(), 1);
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].startsWith("无法恢复自动保存的下料单：\n"))
        << feedback.messages[0].toStdString();
    EXPECT_GT(feedback.messages[0].size(), QString("无法恢复自动保存的下料单：\n").size())
        << "with the reason";
    EXPECT_EQ(w.document()->list(), before);
    EXPECT_FALSE(w.document()->plan());
    EXPECT_FALSE(w.isWindowModified());
}

// A list autosaved with its plan comes back with it, and with the settings
// the plan was made with. Six 3990s of HRB400 Φ20 on 12 m bars with 3 mm
// cuts: three to a bar (11976 mm), two bars.
TEST_F(ScheduleWindowTest, RecoveredListBringsItsPlanBack) {
    BarRow bar;
    bar.mark = QStringLiteral("1");
    bar.diameter = 20;
    bar.dimensions = {{QStringLiteral("A"), 3990}};
    bar.countPerMember = 3;
    const CuttingList list{{}, {}, {Member{"KL3", 2, {bar}}}};
    plans::ListPlanSettings settings;
    settings.stock = {{12000, std::nullopt}};
    settings.kerf = 3;
    const plans::ListPlan plan = plans::planList(list, settings);
    ASSERT_EQ(plan.plan.stockLength, 24000);
    {
        AutosaveStore store(options().autosaveDirectory);
        ASSERT_FALSE(store.write(list, {}, plans::planToJson(plan)));
    }

    ScheduleWindow w(options());
    feedback.clear();
    feedback.answers = {0}; // 恢复
    w.offerRecovery();
    ASSERT_EQ(feedback.questions.size(), 1);
    EXPECT_TRUE(feedback.messages.isEmpty());
    EXPECT_EQ(w.document()->list(), list);
    ASSERT_TRUE(w.document()->plan());
    EXPECT_EQ(w.document()->plan()->fingerprint, plan.fingerprint);
    EXPECT_EQ(w.document()->plan()->plan.stockLength, 24000);
    EXPECT_FALSE(plans::isOutOfDate(*w.document()->plan(), w.document()->list()));
    EXPECT_EQ(w.planView()->settings().stock, settings.stock);
    EXPECT_EQ(w.planView()->settings().kerf, 3);
}

TEST_F(ScheduleWindowTest, RowIsTakenFromTheBarQuantityTabWithoutChangingIt) {
    type("Text1", "16");
    type("Text2", "3000");
    type("Text3", "12");
    ScheduleWindow* list = openList();
    QAction* take = action(list, "takeFromTessaro");
    ASSERT_TRUE(take->isEnabled());
    take->trigger();
    ASSERT_EQ(listOf(list).members[0].rows.size(), 1);
    const BarRow& row = listOf(list).members[0].rows[0];
    EXPECT_EQ(row.shape, Shape::Straight);
    EXPECT_EQ(row.diameter, 16);
    EXPECT_EQ(row.dimensions, (QMap<QString, double>{{"A", 3000}}));
    EXPECT_EQ(row.countPerMember, 12);
    EXPECT_EQ(row.grade, listOf(list).settings.defaultGrade);
    EXPECT_EQ(text("Text1"), "16");
    EXPECT_EQ(text("Text2"), "3000");
    EXPECT_EQ(text("Text3"), "12");

    // A length in centimetres.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    clickAtLeft(find<QCheckBox>("Check3"));
    type("Text2", "250");
    take->trigger();
    ASSERT_EQ(listOf(list).members[0].rows.size(), 2);
    EXPECT_EQ(listOf(list).members[0].rows[1].dimensions.value("A"), 2500);

    // Nothing to take: said so, no row.
    type("Text2", "");
    QTest::keyClick(find("Text2"), Qt::Key_Backspace);
    ASSERT_EQ(text("Text2"), "");
    feedback.clear();
    take->trigger();
    EXPECT_EQ(listOf(list).members[0].rows.size(), 2);
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].contains("钢筋长度")) << feedback.messages[0].toStdString();
}

TEST_F(ScheduleWindowTest, HelpShowsTheRulesWithTheirClauses) {
    ScheduleWindow* list = openList();
    press(Qt::Key_F1);
    auto* help = list->findChild<QTextBrowser*>(QStringLiteral("listHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString text = help->toPlainText();
    for (const char* expected : {"5.3.1", "5.3.2", "5.3.3", "δα", "hβ", "预算长度", "6.25d",
                                 "11.87d", "2.07d", "GB/T 1499.2", "3.85"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
}

TEST_F(ScheduleWindowTest, EveryControlHasItsOwnNameForScreenReaders) {
    ScheduleWindow* list = openList();
    QStringList names;
    int checked = 0;
    for (QWidget* w : list->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<QComboBox*>(w) ||
            (qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QHeaderView*>(w));
        // Rows, cells and list entries are read by their place.
        bool inner = false;
        for (QWidget* p = w->parentWidget(); p && p != list; p = p->parentWidget())
            inner = inner || qobject_cast<QAbstractItemView*>(p) || qobject_cast<QComboBox*>(p);
        if (!control || inner)
            continue;
        ++checked;
        const QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        const QString name = iface ? iface->text(QAccessible::Name).trimmed() : QString();
        EXPECT_FALSE(w->objectName().isEmpty()) << name.toStdString();
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(names.contains(name)) << name.toStdString() << " twice";
        names << name;
    }
    EXPECT_GT(checked, 20);
}

} // namespace
