// The 柱平法 window typed into as a user would: storeys added on top of each
// other, a segment, the rows as detailed, faults named with their place; the
// column into the list and opened again from it.
#include "core/members/column_bars.h"
#include "support/qt_printers.h"
#include "ui/members/column_window.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/list_table_model.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

QString u(const char* text) {
    return QString::fromUtf8(text);
}

template <typename T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void setCell(QTableWidget* table, int row, int column, const QString& text) {
    auto* item = table->item(row, column);
    if (!item)
        table->setItem(row, column, item = new QTableWidgetItem);
    item->setText(text);
}

// Three storeys added with the button, the first 4.5 m high, then one
// segment for all of them: a middle column on couplers.
void typeThreeStoreys(ColumnWindow* w) {
    for (int i = 0; i < 3; ++i)
        child<QPushButton>(w, "addStorey")->click();
    child<QPushButton>(w, "addSegment")->click();
    auto* segments = child<QTableWidget>(w, "segmentTable");
    setCell(segments, 0, 2, "600x600");
    setCell(segments, 0, 7, "12C25");
    setCell(segments, 0, 11, "1(4x4)");
    setCell(segments, 0, 12, "C10@100/200");
}

TEST(ColumnWindow, StoreysStackAndTheColumnIsDetailedAsTyped) {
    ColumnWindow w;
    w.show();
    auto* accept = child<QPushButton>(&w, "columnAccept");
    EXPECT_FALSE(accept->isEnabled());
    typeThreeStoreys(&w);

    // Each storey stands on the one below: levels −0.05, 4.45, 8.95.
    const members::ColumnMember c = w.column();
    ASSERT_EQ(c.storeys.size(), 3);
    EXPECT_EQ(c.storeys[1].name, "2");
    EXPECT_DOUBLE_EQ(c.storeys[1].level, 4.45);
    EXPECT_DOUBLE_EQ(c.storeys[2].level, 8.95);
    ASSERT_EQ(c.segments.size(), 1);
    EXPECT_EQ(c.segments[0].from, "1");
    EXPECT_EQ(c.segments[0].to, "3");

    // The rows are the core's for the same column, shown as they come.
    const members::ColumnBars bars = members::detailColumn(c);
    EXPECT_TRUE(bars.problems.isEmpty()) << bars.problems.value(0).reason.toStdString();
    ASSERT_FALSE(bars.rows.isEmpty());
    EXPECT_EQ(w.bars().rows.size(), bars.rows.size());
    EXPECT_EQ(child<QTableWidget>(&w, "columnRows")->rowCount(), bars.rows.size());
    EXPECT_TRUE(accept->isEnabled());

    // The 嵌固部位 offers the foundation top and each storey.
    auto* embedment = child<QComboBox>(&w, "embedment");
    EXPECT_EQ(embedment->count(), 4);
    embedment->setCurrentIndex(2);
    EXPECT_EQ(w.column().embedment, "2");

    // A floor lower than its beam is named with its place.
    setCell(child<QTableWidget>(&w, "storeyTable"), 1, 2, "0.6");
    EXPECT_FALSE(w.bars().problems.isEmpty());
    EXPECT_TRUE(child<QLabel>(&w, "columnMessage")->text().contains(u("2")))
        << child<QLabel>(&w, "columnMessage")->text().toStdString();

    // A window given a column shows it as it was.
    ColumnWindow again;
    again.setColumn(w.column());
    EXPECT_EQ(again.column(), w.column());
}

TEST(ColumnWindow, IntoTheListAndOpenedAgainFromIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScheduleWindow list(
        ScheduleWindowOptions{dir.filePath("autosave"), 60'000, dir.filePath("settings.ini")});
    list.show();
    child<QAction>(&list, "columnFromTables")->trigger();
    auto* w = list.findChild<ColumnWindow*>();
    ASSERT_TRUE(w);
    typeThreeStoreys(w);
    const members::ColumnBars bars = w->bars();
    child<QPushButton>(w, "columnAccept")->click();
    QCoreApplication::processEvents();
    const schedule::CuttingList& after = list.document()->list();
    const schedule::Member& kz = after.members.last();
    EXPECT_EQ(kz.name, "KZ1");
    ASSERT_EQ(kz.rows.size(), bars.rows.size());
    EXPECT_TRUE(kz.source.contains("column"));
    EXPECT_FALSE(list.rowModel()->flags(list.rowModel()->index(0, 1)) & Qt::ItemIsEditable);
    list.findChild<QAction*>("deleteRow")->trigger();
    EXPECT_TRUE(child<QLabel>(&list, "statusLine")->text().contains(u("柱平法")));

    // Ctrl+K on it opens it as it was; a beam command does not take it for a beam.
    child<QAction>(&list, "columnFromTables")->trigger();
    QCoreApplication::processEvents();
    // The first window is gone once accepted; the one open now is the new one.
    ColumnWindow* again = nullptr;
    for (ColumnWindow* c : list.findChildren<ColumnWindow*>())
        if (c->isVisible())
            again = c;
    ASSERT_TRUE(again);
    EXPECT_EQ(members::columnOfListMember(kz), again->column());
    again->reject();
    list.document()->undoStack()->undo();
    EXPECT_FALSE(list.document()->list().members.last().source.contains("column"));
}

} // namespace
