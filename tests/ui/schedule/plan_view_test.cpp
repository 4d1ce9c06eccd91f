#include "core/offcuts/offcut_store.h"
#include "core/schedule/list_file.h"
#include "core/schedule/row_columns.h"
#include "support/window_fixture.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/list_table_model.h"
#include "ui/schedule/list_table_view.h"
#include "ui/schedule/plan_view.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QMap>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <random>

namespace {

using namespace schedule;

BarRow straight(const QString& mark, codes::SteelGrade grade, int diameter, double length,
                int count) {
    BarRow row;
    row.mark = mark;
    row.grade = grade;
    row.diameter = diameter;
    row.dimensions = {{QStringLiteral("A"), length}};
    row.countPerMember = count;
    return row;
}

// Beams with top bars longer than any stock bar, a column, stirrups.
CuttingList frameList() {
    CuttingList list;
    list.settings.concrete = 30;
    list.settings.seismicGrade = codes::SeismicGrade::Second;
    list.settings.percentLapped = 50;
    BarRow stirrup;
    stirrup.mark = QStringLiteral("3");
    stirrup.shape = Shape::Stirrup;
    stirrup.grade = codes::SteelGrade::HRB400;
    stirrup.diameter = 10;
    stirrup.dimensions = {{QStringLiteral("A"), 250}, {QStringLiteral("B"), 550}};
    stirrup.countPerMember = 40;
    list.members << Member{QStringLiteral("KL1"),
                           2,
                           {straight(QStringLiteral("1"), codes::SteelGrade::HRB400, 25, 20500, 2),
                            straight(QStringLiteral("2"), codes::SteelGrade::HRB400, 25, 8500, 3),
                            stirrup}};
    list.members << Member{QStringLiteral("KZ1"),
                           4,
                           {straight(QStringLiteral("1"), codes::SteelGrade::HRB400, 25, 10800, 8),
                            straight(QStringLiteral("2"), codes::SteelGrade::HRB400, 20, 7200, 4)}};
    return list;
}

class PlanViewTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ScheduleWindow::defaultOptions() = {dir.filePath(QStringLiteral("autosave")), 60'000,
                                            dir.filePath(QStringLiteral("settings.ini"))};
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        ScheduleWindow::defaultOptions() = {};
    }

    // The list window showing `list` on its plan page.
    ScheduleWindow* openPlanPage(const CuttingList& list) {
        find<QAction>("cuttinglist")->trigger();
        ScheduleWindow* w = static_cast<ScheduleWindow*>(window->cuttingListWindow());
        EXPECT_NE(w, nullptr);
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        w->document()->replace(list, {}, false);
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("scheduleTabs"));
        tabs->setCurrentWidget(w->planView());
        return w;
    }
    template <typename T> static T* child(QWidget* w, const char* name) {
        T* found = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void choose(QWidget* w, const char* combo, const QString& text) {
        auto* box = child<QComboBox>(w, combo);
        const int item = box->findText(text, Qt::MatchStartsWith);
        ASSERT_GE(item, 0) << text.toStdString();
        box->setCurrentIndex(item);
    }
    // Clicks 计算 and waits for the run's end: true when a plan was made.
    static bool runAndWait(ScheduleWindow* w, int seconds = 60) {
        QSignalSpy finished(w->planView(), &PlanView::runFinished);
        QTest::mouseClick(child<QPushButton>(w, "runPlan"), Qt::LeftButton);
        if (!finished.wait(seconds * 1000))
            return false;
        return finished.first().first().toBool();
    }
    static QString summaryCell(ScheduleWindow* w, int row, int column) {
        const QTableWidgetItem* item = child<QTableWidget>(w, "planSummary")->item(row, column);
        return item ? item->text() : QString();
    }
    static int summaryRowOf(ScheduleWindow* w, const QString& group) {
        auto* table = child<QTableWidget>(w, "planSummary");
        for (int r = 0; r < table->rowCount(); ++r)
            if (table->item(r, 0) && table->item(r, 0)->text() == group)
                return r;
        return -1;
    }
    static bool bannerShown(ScheduleWindow* w) {
        return child<QLabel>(w, "planOutOfDate")->isVisibleTo(w);
    }
    static bool greyed(ScheduleWindow* w) {
        return child<PlanDrawing>(w, "planDrawing")->isGreyed();
    }

    QTemporaryDir dir;
};

TEST_F(PlanViewTest, RunSaveReopenEditOutOfDateAndUndo) {
    ScheduleWindow* w = openPlanPage(frameList());
    EXPECT_TRUE(child<QLabel>(w, "planMessage")->text().contains("尚未计算"));

    // Without a splice rule the 20.5 m bars cannot be cut: said in words.
    ASSERT_TRUE(runAndWait(w));
    const int d25 = summaryRowOf(w, QStringLiteral("HRB400 Φ25"));
    ASSERT_GE(d25, 0);
    EXPECT_TRUE(summaryCell(w, d25, 7).contains("无法下料"));
    EXPECT_TRUE(summaryCell(w, d25, 7).contains("20500")) << summaryCell(w, d25, 7).toStdString();

    // Lapped by the anchorage rules: C30, grade 二, 50 %: 56d = 1400 mm for Φ25.
    choose(w, "spliceKind", QStringLiteral("搭接"));
    choose(w, "lapBasis", QStringLiteral("按锚固规范"));
    auto* laps = child<QTableWidget>(w, "groupLaps");
    bool shown = false;
    for (int r = 0; r < laps->rowCount(); ++r)
        if (laps->item(r, 0)->text() == "HRB400 Φ25")
            shown = laps->item(r, 1)->text().startsWith("llE = 56d = 1400 mm");
    EXPECT_TRUE(shown) << "the Φ25 group's lap beside the setting";
    EXPECT_TRUE(child<QLabel>(w, "planMessage")->text().contains("设置已改动"));

    ASSERT_TRUE(runAndWait(w));
    EXPECT_TRUE(w->isWindowModified()) << "a new plan is a change to save";
    ASSERT_TRUE(w->document()->plan());
    const plans::ListPlan made = *w->document()->plan();
    EXPECT_EQ(child<QTableWidget>(w, "planSummary")->rowCount(), 3); // Φ10, Φ20, Φ25
    EXPECT_TRUE(summaryCell(w, d25, 1).contains("12000 mm ×"))
        << summaryCell(w, d25, 1).toStdString();
    EXPECT_FALSE(summaryCell(w, d25, 7).contains("无法下料"));
    EXPECT_TRUE(summaryCell(w, d25, 7).contains("下界"));
    EXPECT_FALSE(bannerShown(w));
    EXPECT_FALSE(greyed(w));
    EXPECT_GT(child<PlanDrawing>(w, "planDrawing")->height(), 300);
    EXPECT_TRUE(child<QLabel>(w, "planTotal")->text().startsWith("合计"));
    EXPECT_FALSE(child<QLabel>(w, "planMessage")->text().contains("设置已改动"));

    QStringList summary;
    for (int c = 0; c < 8; ++c)
        summary << summaryCell(w, d25, c);

    // Saved with the list, and read back with it.
    const QString path = dir.filePath(QStringLiteral("框架.cvl"));
    feedback.files = {path};
    w->findChild<QAction*>(QStringLiteral("saveListAs"))->trigger();
    EXPECT_FALSE(w->isWindowModified());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\"plan\""));
    file.close();

    w->findChild<QAction*>(QStringLiteral("newList"))->trigger();
    EXPECT_FALSE(w->document()->plan());
    EXPECT_EQ(child<QTableWidget>(w, "planSummary")->rowCount(), 0);
    w->planView()->setSettings(plans::ListPlanSettings{});
    ASSERT_TRUE(w->openFile(path));
    ASSERT_TRUE(w->document()->plan());
    EXPECT_EQ(w->document()->plan()->fingerprint, made.fingerprint);
    EXPECT_EQ(child<QTableWidget>(w, "planSummary")->rowCount(), 3);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(summaryCell(w, d25, c), summary[c]) << c;
    EXPECT_EQ(child<QComboBox>(w, "spliceKind")->currentText(), "搭接（每个接头加搭接长度）")
        << "the settings the plan was made with";
    EXPECT_FALSE(bannerShown(w));
    EXPECT_FALSE(w->isWindowModified());

    // An edit of the list: the plan is out of date, not made again.
    const QModelIndex count = w->rowModel()->index(1, columnIndex(Column::Count));
    ASSERT_TRUE(w->rowModel()->setData(count, QStringLiteral("5"), Qt::EditRole));
    EXPECT_TRUE(bannerShown(w));
    EXPECT_EQ(child<QLabel>(w, "planOutOfDate")->text(), "下料方案已过期，请重新计算");
    EXPECT_TRUE(greyed(w));
    EXPECT_EQ(w->document()->plan()->fingerprint, made.fingerprint);

    // Undo brings back the list the plan was made for; redo, the edit.
    w->findChild<QAction*>(QStringLiteral("undo"))->trigger();
    EXPECT_FALSE(bannerShown(w));
    EXPECT_FALSE(greyed(w));
    w->findChild<QAction*>(QStringLiteral("redo"))->trigger();
    EXPECT_TRUE(bannerShown(w));

    // The lap inputs are the list's: a stronger concrete changes the laps.
    w->findChild<QAction*>(QStringLiteral("undo"))->trigger();
    EXPECT_FALSE(bannerShown(w));
    auto* concrete = child<QComboBox>(w, "concreteGrade");
    concrete->setCurrentIndex(concrete->findText("C40"));
    Q_EMIT concrete->activated(concrete->currentIndex());
    EXPECT_EQ(w->document()->list().settings.concrete, 40);
    EXPECT_TRUE(bannerShown(w));

    // Run again: up to date, and one undo puts the plan before it back.
    ASSERT_TRUE(runAndWait(w));
    EXPECT_FALSE(bannerShown(w));
    w->findChild<QAction*>(QStringLiteral("undo"))->trigger();
    EXPECT_EQ(w->document()->plan()->fingerprint, made.fingerprint);
    EXPECT_TRUE(bannerShown(w));
}

// The list's concrete code is a lap input like the others: HRB500 Φ25 in C25
// has no lap by GB 55008 and one under GB 50010's older rule; undo goes back.
TEST_F(PlanViewTest, OlderConcreteCodeIsTheListsAndChangesTheLaps) {
    CuttingList list;
    list.settings.concrete = 25;
    list.settings.seismicGrade = codes::SeismicGrade::None;
    list.members << Member{
        QStringLiteral("KL1"),
        1,
        {straight(QStringLiteral("1"), codes::SteelGrade::HRB500, 25, 20500, 2)}};
    ScheduleWindow* w = openPlanPage(list);
    choose(w, "spliceKind", QStringLiteral("搭接"));
    choose(w, "lapBasis", QStringLiteral("按锚固规范"));
    auto* older = child<QCheckBox>(w, "olderConcreteCode");
    auto* laps = child<QTableWidget>(w, "groupLaps");
    ASSERT_TRUE(older->isEnabled());
    EXPECT_FALSE(older->isChecked());
    ASSERT_EQ(laps->rowCount(), 1);
    EXPECT_TRUE(laps->item(0, 1)->text().contains("GB 55008-2021 第2.0.2条"))
        << laps->item(0, 1)->text().toStdString();
    EXPECT_TRUE(child<QLabel>(w, "groupLapsNote")->text().contains("GB 55008-2021 第2.0.2条"));

    older->click();
    EXPECT_EQ(w->document()->list().settings.concreteCode, codes::ConcreteCode::Gb50010);
    // ll = R(1.2 × 48) = 58d = 1450 mm.
    EXPECT_TRUE(laps->item(0, 1)->text().startsWith("ll = 58d = 1450 mm"))
        << laps->item(0, 1)->text().toStdString();
    EXPECT_TRUE(child<QLabel>(w, "groupLapsNote")->text().contains("GB 50010-2010 第4.1.2条"));

    w->findChild<QAction*>(QStringLiteral("undo"))->trigger();
    EXPECT_EQ(w->document()->list().settings.concreteCode, codes::ConcreteCode::Gb55008);
    EXPECT_FALSE(older->isChecked());
}

TEST_F(PlanViewTest, AGarbledPlanIsDroppedAndTheListOpens) {
    const QString path = dir.filePath(QStringLiteral("坏方案.cvl"));
    QJsonObject plan = plans::planToJson(plans::planList(frameList(), {}));
    plan.insert(QStringLiteral("groups"), QStringLiteral("不是数组"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(listToJson(frameList(), plan));
    file.close();

    ScheduleWindow* w = openPlanPage(CuttingList{});
    feedback.clear();
    ASSERT_TRUE(w->openFile(path));
    EXPECT_EQ(w->document()->list(), frameList());
    EXPECT_FALSE(w->document()->plan());
    ASSERT_EQ(feedback.messages.size(), 1);
    EXPECT_TRUE(feedback.messages[0].contains("下料方案无法读取，已舍弃"))
        << feedback.messages[0].toStdString();
    EXPECT_TRUE(child<QLabel>(w, "planMessage")->text().contains("尚未计算"));
}

// Two hundred lengths of one diameter: more than the solver proves in a
// minute.
CuttingList longList() {
    CuttingList list;
    Member beam{QStringLiteral("B"), 1, {}};
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i)
        beam.rows << straight(QString::number(i + 1), codes::SteelGrade::HRB400, 25,
                              400 + int(random() % 5500), 3 + int(random() % 38));
    list.members << beam;
    return list;
}

// A run cancelled part way leaves the plan made before it as it was: the
// same plan, the same figures on the page, no step to undo.
TEST_F(PlanViewTest, ACancelledRunKeepsTheEarlierPlan) {
    ScheduleWindow* w = openPlanPage(longList());
    plans::ListPlanSettings quick;
    quick.timeLimitSeconds = 0.3;
    w->planView()->setSettings(quick);
    ASSERT_TRUE(runAndWait(w));
    ASSERT_TRUE(w->document()->plan());
    const QJsonObject earlier = plans::planToJson(*w->document()->plan());
    QStringList summary;
    for (int c = 0; c < 8; ++c)
        summary << summaryCell(w, 0, c);
    const QString total = child<QLabel>(w, "planTotal")->text();
    const bool modified = w->isWindowModified();

    plans::ListPlanSettings slow = quick;
    slow.timeLimitSeconds = 60;
    w->planView()->setSettings(slow);
    QSignalSpy finished(w->planView(), &PlanView::runFinished);
    QTest::mouseClick(child<QPushButton>(w, "runPlan"), Qt::LeftButton);
    ASSERT_TRUE(w->planView()->isRunning());
    QTest::qWait(800);
    ASSERT_TRUE(finished.isEmpty()) << "still running when cancelled";
    QTest::mouseClick(child<QPushButton>(w, "cancelPlan"), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(10'000));
    EXPECT_FALSE(finished.first().first().toBool());

    ASSERT_TRUE(w->document()->plan());
    EXPECT_EQ(plans::planToJson(*w->document()->plan()), earlier);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(summaryCell(w, 0, c), summary[c]) << c;
    EXPECT_EQ(child<QLabel>(w, "planTotal")->text(), total);
    EXPECT_EQ(w->isWindowModified(), modified);
    // One undo takes back the earlier run's plan, not a cancelled one.
    w->findChild<QAction*>(QStringLiteral("undo"))->trigger();
    EXPECT_FALSE(w->document()->plan());
}

TEST_F(PlanViewTest, ALongRunShowsProgressKeepsTheWindowAliveAndCancels) {
    ScheduleWindow* w = openPlanPage(longList());
    plans::ListPlanSettings settings;
    settings.timeLimitSeconds = 60;
    w->planView()->setSettings(settings);

    QSignalSpy finished(w->planView(), &PlanView::runFinished);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(child<QPushButton>(w, "runPlan"), Qt::LeftButton);
    EXPECT_TRUE(w->planView()->isRunning());
    EXPECT_FALSE(child<QPushButton>(w, "runPlan")->isEnabled());
    auto* progress = child<QProgressBar>(w, "planProgress");
    EXPECT_FALSE(progress->isVisibleTo(w)) << "not for the first moment";

    // The GUI thread keeps turning: timers fire on time while it runs.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(50);
    QTest::qWait(1000);
    // Wine's heap check (WINEDEBUG=…+heap, as the Windows runs use it) walks
    // the whole heap under its lock at every allocation, so no thread keeps
    // time while the solver allocates; there the window's liveness is left
    // to the runs without it.
    if (!qEnvironmentVariable("WINEDEBUG").contains(QLatin1String("heap")))
        EXPECT_GE(ticks, 10);
    EXPECT_TRUE(progress->isVisibleTo(w));
    EXPECT_TRUE(finished.isEmpty());

    auto* cancel = child<QPushButton>(w, "cancelPlan");
    ASSERT_TRUE(cancel->isEnabled());
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(finished.wait(10'000));
    EXPECT_FALSE(finished.first().first().toBool());
    EXPECT_LT(clock.elapsed(), 20'000) << "stopped well before its time was up";
    EXPECT_FALSE(w->document()->plan()) << "a cancelled run leaves the plan as it was";
    EXPECT_FALSE(w->isWindowModified());
    EXPECT_FALSE(progress->isVisibleTo(w));
    EXPECT_TRUE(child<QPushButton>(w, "runPlan")->isEnabled());
    EXPECT_TRUE(w->findChild<QLabel*>(QStringLiteral("statusLine"))->text().contains("已取消"));

    // Closing the window during a run stops it and waits for it.
    QTest::mouseClick(child<QPushButton>(w, "runPlan"), Qt::LeftButton);
    QTest::qWait(200);
    clock.restart();
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->planView()->isRunning());
    EXPECT_LT(clock.elapsed(), 10'000);
}

} // namespace

namespace {

// One member with `count` straight HRB400 Φ25 bars of `length` mm.
CuttingList beamOf(const QString& name, double length, int count) {
    CuttingList list;
    list.members << Member{
        name, 1, {straight(QStringLiteral("1"), codes::SteelGrade::HRB400, 25, length, count)}};
    return list;
}

QString cellText(QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

TEST_F(PlanViewTest, StockSourcePriceAndPricingAreCheckedAndPlannedWith) {
    ScheduleWindow* w = openPlanPage(beamOf(QStringLiteral("KL1"), 5900, 3));
    PlanView* view = w->planView();
    auto* stock = child<QTableWidget>(w, "stockTable");
    ASSERT_EQ(stock->rowCount(), 2); // 9000 and 12000
    // The 9000 row becomes bars in the yard: it needs a number of them.
    auto* source = qobject_cast<QComboBox*>(stock->cellWidget(0, 1));
    ASSERT_NE(source, nullptr);
    source->setCurrentIndex(source->findText(QStringLiteral("库存")));
    EXPECT_TRUE(
        view->settingsProblem().contains(QStringLiteral("原材料第 1 行：库存须填写现有根数")))
        << view->settingsProblem().toStdString();
    stock->item(0, 2)->setText(QStringLiteral("1"));
    EXPECT_EQ(view->settingsProblem(), QString());

    // Priced by the metre, the bought 12 m row needs its price.
    choose(w, "pricing", QStringLiteral("按米计价"));
    EXPECT_TRUE(view->settingsProblem().contains(QStringLiteral("原材料第 2 行：按米计价时须填写")))
        << view->settingsProblem().toStdString();
    EXPECT_EQ(stock->horizontalHeaderItem(3)->text(), QStringLiteral("单价 元/米"));
    stock->item(1, 3)->setText(QStringLiteral("abc"));
    EXPECT_TRUE(view->settingsProblem().contains(QStringLiteral("单价“abc”应为正数")));
    stock->item(1, 3)->setText(QStringLiteral("4.35"));
    EXPECT_EQ(view->settingsProblem(), QString());
    const plans::ListPlanSettings s = view->settings();
    EXPECT_EQ(s.pricing, plans::Pricing::PerMetre);
    ASSERT_EQ(s.stock.size(), 2);
    EXPECT_EQ(s.stock[0], (plans::StockLength{9000, 1, plans::StockSource::OnHand, 0}));
    EXPECT_EQ(s.stock[1],
              (plans::StockLength{12000, std::nullopt, plans::StockSource::Bought, 4.35}));

    // One 5900 from the 9 m bar in the yard (free), two from a bought 12 m
    // bar at 52.20 yuan; no plan pays less.
    ASSERT_TRUE(runAndWait(w));
    const int row = summaryRowOf(w, QStringLiteral("HRB400 Φ25"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(summaryCell(w, row, 1), QStringLiteral("12000 mm × 1 根、9000 mm × 1 根（库存）"));
    EXPECT_EQ(summaryCell(w, row, 7),
              QStringLiteral("费用 52.20 元；最优（已证明，下界 52.20 元）"));
    EXPECT_TRUE(child<QLabel>(w, "planTotal")->text().contains(QStringLiteral("费用 52.20 元")));
    EXPECT_TRUE(child<QLabel>(w, "planMessage")->text().contains(QStringLiteral("按米计价")));

    // Saved and read back: the plan's pricing and sources, and the settings.
    const QString path = dir.filePath(QStringLiteral("计价.cvl"));
    feedback.files = {path};
    w->findChild<QAction*>(QStringLiteral("saveListAs"))->trigger();
    w->findChild<QAction*>(QStringLiteral("newList"))->trigger();
    EXPECT_EQ(child<QComboBox>(w, "pricing")->currentIndex(), 1) << "kept for the next list";
    // A setting changed is a step to undo, and a change to the list.
    choose(w, "pricing", QStringLiteral("不计价"));
    EXPECT_TRUE(w->isWindowModified());
    w->findChild<QAction*>(QStringLiteral("undo"))->trigger();
    EXPECT_EQ(child<QComboBox>(w, "pricing")->currentIndex(), 1);
    EXPECT_FALSE(w->isWindowModified());
    w->findChild<QAction*>(QStringLiteral("redo"))->trigger();
    EXPECT_EQ(child<QComboBox>(w, "pricing")->currentIndex(), 0);
    w->document()->undoStack()->setClean();
    ASSERT_TRUE(w->openFile(path));
    EXPECT_EQ(child<QComboBox>(w, "pricing")->currentText(), QStringLiteral("按米计价（元/米）"));
    EXPECT_EQ(summaryCell(w, row, 1), QStringLiteral("12000 mm × 1 根、9000 mm × 1 根（库存）"));
    EXPECT_EQ(view->settings(), s);
}

TEST_F(PlanViewTest, ASecondListTakesTheOffcutsTheFirstKeptAndUndoGivesThemBack) {
    ScheduleWindow* w = openPlanPage(beamOf(QStringLiteral("KL1"), 8000, 2));
    PlanView* view = w->planView();
    plans::ListPlanSettings settings;
    settings.stock = {{12000, std::nullopt}};
    view->setSettings(settings);
    child<QLineEdit>(w, "keepOffcut")->setText(QStringLiteral("1000"));
    // Not saved yet: there is no folder for the store.
    child<QCheckBox>(w, "useOffcuts")->setChecked(true);
    child<QCheckBox>(w, "storeOffcuts")->setChecked(true);
    EXPECT_TRUE(view->settingsProblem().contains(QStringLiteral("下料单尚未保存")));
    EXPECT_FALSE(child<QTableWidget>(w, "offcutTable")->isEnabled());

    const QString first = dir.filePath(QStringLiteral("一层.cvl"));
    feedback.files = {first};
    w->findChild<QAction*>(QStringLiteral("saveListAs"))->trigger();
    const QString store = dir.filePath(QStringLiteral("余料库.json"));
    EXPECT_EQ(view->offcutStorePath(), store);
    EXPECT_EQ(view->settingsProblem(), QString());

    // Two 12 m bars, 4000 mm kept of each: into the store.
    ASSERT_TRUE(runAndWait(w));
    auto* table = child<QTableWidget>(w, "offcutTable");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(cellText(table, 0, 0), QStringLiteral("4000"));
    EXPECT_EQ(cellText(table, 0, 1), QStringLiteral("2"));
    EXPECT_EQ(cellText(table, 0, 2), QStringLiteral("HRB400"));
    EXPECT_TRUE(cellText(table, 0, 5).startsWith(QStringLiteral("一层.cvl，KL1")));
    EXPECT_EQ(cellText(table, 0, 4), QStringLiteral("未用"));

    // The next list, in the same folder: its 3500s come out of those offcuts.
    w->document()->replace(beamOf(QStringLiteral("KL2"), 3500, 2), {}, false);
    const QString second = dir.filePath(QStringLiteral("二层.cvl"));
    feedback.files = {second};
    w->findChild<QAction*>(QStringLiteral("saveListAs"))->trigger();
    ASSERT_TRUE(runAndWait(w));
    ASSERT_TRUE(w->document()->plan());
    const plans::GroupPlan& g = w->document()->plan()->plan.groups.value(0);
    ASSERT_EQ(g.stock.size(), 1);
    EXPECT_EQ(g.stock[0].length, 4000);
    EXPECT_EQ(g.stock[0].count, 2);
    EXPECT_EQ(g.stock[0].source, plans::StockSource::Offcut);
    const int row = summaryRowOf(w, QStringLiteral("HRB400 Φ25"));
    EXPECT_EQ(summaryCell(w, row, 1), QStringLiteral("4000 mm × 2 根（余料）"));
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(cellText(table, 0, 4), QStringLiteral("已用（二层.cvl）"));
    const auto usedInFile = [&] {
        const offcuts::ReadStore read = offcuts::readStore(store);
        EXPECT_TRUE(read.store) << read.error.toStdString();
        return read.store && !read.store->entries.isEmpty() && read.store->entries[0].used;
    };
    EXPECT_TRUE(usedInFile());

    // Undo puts the plan and the offcuts back; redo takes them again.
    w->document()->undoStack()->undo();
    EXPECT_FALSE(w->document()->plan());
    EXPECT_FALSE(usedInFile());
    EXPECT_EQ(cellText(table, 0, 4), QStringLiteral("未用"));
    w->document()->undoStack()->redo();
    EXPECT_TRUE(usedInFile());
    EXPECT_EQ(cellText(table, 0, 4), QStringLiteral("已用（二层.cvl）"));
}

TEST_F(PlanViewTest, TheStoreIsEditedInPlaceAndBadValuesAreRefused) {
    ScheduleWindow* w = openPlanPage(beamOf(QStringLiteral("KL1"), 3000, 1));
    const QString path = dir.filePath(QStringLiteral("梁.cvl"));
    feedback.files = {path};
    w->findChild<QAction*>(QStringLiteral("saveListAs"))->trigger();
    // A store of its own name, beside the list.
    auto* storePath = child<QLineEdit>(w, "offcutStorePath");
    storePath->setFocus();
    storePath->setText(QStringLiteral("库/余料.json"));
    QTest::keyClick(storePath, Qt::Key_Return);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("库")));
    const QString store = dir.filePath(QStringLiteral("库/余料.json"));
    EXPECT_EQ(w->planView()->offcutStorePath(), store);
    const auto entries = [&] {
        return offcuts::readStore(store).store.value_or(offcuts::Store{}).entries;
    };

    auto* table = child<QTableWidget>(w, "offcutTable");
    QTest::mouseClick(child<QToolButton>(w, "addOffcut"), Qt::LeftButton);
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries()[0].grade, QStringLiteral("HRB400")) << "the list's own grade";
    EXPECT_EQ(entries()[0].diameter, 25);
    ASSERT_EQ(table->rowCount(), 1);
    // Each edit is written once the table's signal is over.
    const auto edit = [&](int column, const QString& text) {
        table->item(0, column)->setText(text);
        QCoreApplication::processEvents();
    };
    edit(0, QStringLiteral("2600"));
    edit(1, QStringLiteral("3"));
    EXPECT_EQ(entries()[0].length, 2600);
    EXPECT_EQ(entries()[0].count, 3);
    edit(0, QStringLiteral("2.6m"));
    EXPECT_EQ(entries()[0].length, 2600);
    EXPECT_TRUE(
        child<QLabel>(w, "offcutStoreMessage")->text().contains(QStringLiteral("应为正整数")));
    EXPECT_EQ(cellText(table, 0, 0), QStringLiteral("2600")) << "the table shows the file again";
    edit(2, QStringLiteral("HRB999"));
    EXPECT_EQ(entries()[0].grade, QStringLiteral("HRB400"));

    // Marked used by hand in the file (another window), then back to unused here.
    offcuts::Store s = *offcuts::readStore(store).store;
    s.entries[0].used = true;
    s.entries[0].usedBy = QStringLiteral("别的.cvl");
    ASSERT_FALSE(offcuts::writeStore(store, s));
    QTest::mouseClick(child<QToolButton>(w, "reloadOffcuts"), Qt::LeftButton);
    EXPECT_EQ(cellText(table, 0, 4), QStringLiteral("已用（别的.cvl）"));
    table->setCurrentCell(0, 0);
    QTest::mouseClick(child<QToolButton>(w, "markOffcutUnused"), Qt::LeftButton);
    EXPECT_FALSE(entries()[0].used);
    EXPECT_EQ(cellText(table, 0, 4), QStringLiteral("未用"));
    table->setCurrentCell(0, 0);
    QTest::mouseClick(child<QToolButton>(w, "removeOffcut"), Qt::LeftButton);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(table->rowCount(), 0);
}

TEST_F(PlanViewTest, SettingsWithoutAPlanAreSavedWithTheList) {
    ScheduleWindow* w = openPlanPage(beamOf(QStringLiteral("KL1"), 3000, 1));
    choose(w, "pricing", QStringLiteral("按根计价"));
    auto* stock = child<QTableWidget>(w, "stockTable");
    stock->item(0, 3)->setText(QStringLiteral("38"));
    stock->item(1, 3)->setText(QStringLiteral("50"));
    child<QCheckBox>(w, "useOffcuts")->setChecked(true);
    const QString path = dir.filePath(QStringLiteral("无方案.cvl"));
    feedback.files = {path};
    w->findChild<QAction*>(QStringLiteral("saveListAs"))->trigger();
    const plans::ListPlanSettings saved = w->planView()->settings();
    EXPECT_TRUE(saved.useOffcuts);
    EXPECT_FALSE(w->isWindowModified());

    w->findChild<QAction*>(QStringLiteral("newList"))->trigger();
    w->planView()->setSettings(plans::ListPlanSettings{});
    ASSERT_TRUE(w->openFile(path));
    EXPECT_FALSE(w->document()->plan());
    EXPECT_EQ(w->planView()->settings(), saved);
    EXPECT_EQ(child<QComboBox>(w, "pricing")->currentText(), QStringLiteral("按根计价（元/根）"));

    // A list whose settings are the defaults writes none.
    w->findChild<QAction*>(QStringLiteral("newList"))->trigger();
    w->planView()->setSettings(plans::ListPlanSettings{});
    const QString plain = dir.filePath(QStringLiteral("默认.cvl"));
    feedback.files = {plain};
    w->findChild<QAction*>(QStringLiteral("saveListAs"))->trigger();
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("planSettings"));
}

// Alt with a letter on the plan page reaches one thing: a field's label or a
// button never takes the letter of a menu of the window (Alt+F must open 文件,
// not put the cursor in a field), nor that of another control on the page.
TEST_F(PlanViewTest, ThePagesAltLettersAreItsOwnAndNotTheMenus) {
    ScheduleWindow* w = openPlanPage(CuttingList{});
    QMap<QChar, QString> taken;
    for (QAction* menu : w->menuBar()->actions()) {
        const QKeySequence alt = QKeySequence::mnemonic(menu->text());
        ASSERT_FALSE(alt.isEmpty()) << menu->text().toStdString();
        taken.insert(QChar(alt[0].key()), menu->text());
    }
    int letters = 0;
    const auto check = [&](const QString& text, bool visible) {
        const QKeySequence alt = QKeySequence::mnemonic(text);
        if (alt.isEmpty() || !visible)
            return;
        ++letters;
        const QChar letter(alt[0].key());
        EXPECT_FALSE(taken.contains(letter))
            << text.toStdString() << " and " << taken.value(letter).toStdString();
        taken.insert(letter, text);
    };
    for (QLabel* label : w->planView()->findChildren<QLabel*>())
        check(label->text(), label->buddy() && label->isVisibleTo(w));
    for (QAbstractButton* button : w->planView()->findChildren<QAbstractButton*>())
        check(button->text(), button->isVisibleTo(w));
    EXPECT_GE(letters, 10);
}
