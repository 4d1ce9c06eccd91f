// The 梁平法 window typed into as a user would, and the beam it makes as a
// member of the cutting list: put in, regenerated and detached, each one
// undo step, its rows closed to hand edits until detached.
#include "core/members/beam_bars.h"
#include "support/qt_printers.h"
#include "ui/members/beam_window.h"
#include "ui/members/member_elevation_view.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/list_table_model.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
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

void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void setCell(QTableWidget* table, int row, int column, const QString& text) {
    auto* item = table->item(row, column);
    if (!item)
        table->setItem(row, column, item = new QTableWidgetItem);
    item->setText(text);
}

// The two-span KL of the detailing's first worked example, as typed.
void typeTwoSpanBeam(BeamWindow* w,
                     const char* annotation = "KL1(2) 300x700 C10@100/200(2) 2C25;4C25 G4C12") {
    typeInto(child<QLineEdit>(w, "beamAnnotation"), u(annotation));
    auto* spans = child<QTableWidget>(w, "spanTable");
    auto* supports = child<QTableWidget>(w, "supportTable");
    setCell(spans, 0, 0, "6900");
    setCell(spans, 1, 0, "5400");
    setCell(spans, 0, 1, "6C25 2/4");
    for (int s = 0; s < 3; ++s)
        setCell(supports, s, 0, "600");
    setCell(supports, 0, 1, "6C25 4/2");
    setCell(supports, 1, 1, "6C25 4/2");
    setCell(supports, 2, 1, "4C25");
}

TEST(BeamWindow, DetailsAsItIsTypedAndNamesTheFaultsPlace) {
    BeamWindow w;
    w.show();
    auto* annotation = child<QLineEdit>(&w, "beamAnnotation");
    auto* message = child<QLabel>(&w, "annotationMessage");
    auto* accept = child<QPushButton>(&w, "beamAccept");

    // Faults as typed, each with its place; nothing to put in the list.
    for (const char* bad :
         {"KL1 300x700 C10@100/200(2) 2C25", "KL1(2) 300x", "KL1(2) 300x700 C10@/200(2) 2C25"}) {
        typeInto(annotation, u(bad));
        EXPECT_TRUE(message->text().contains(u("个字符")))
            << bad << ": " << message->text().toStdString();
        EXPECT_FALSE(accept->isEnabled()) << bad;
        EXPECT_TRUE(w.bars().rows.isEmpty()) << bad;
    }

    // The span count sets the tables' rows; the rows follow each keystroke.
    typeTwoSpanBeam(&w);
    EXPECT_EQ(child<QTableWidget>(&w, "spanTable")->rowCount(), 2);
    EXPECT_EQ(child<QTableWidget>(&w, "supportTable")->rowCount(), 3);
    EXPECT_TRUE(w.bars().problems.isEmpty()) << w.bars().problems.first().reason.toStdString();
    EXPECT_TRUE(accept->isEnabled());
    EXPECT_TRUE(message->text().startsWith(u("KL1：2 跨"))) << message->text().toStdString();
    auto* rows = child<QTableWidget>(&w, "beamRows");
    ASSERT_EQ(rows->rowCount(), w.bars().rows.size());
    // The window's beam is the one the rows came from, as the file keeps it.
    const members::BeamMember beam = w.beam();
    EXPECT_EQ(beam.spans, (QList<double>{6900, 5400}));
    EXPECT_EQ(beam.atSpans.size(), 1);
    EXPECT_EQ(members::detailBeam(beam).rows.size(), w.bars().rows.size());

    // The current row's derivation, and the same row drawn emphasized.
    rows->setCurrentCell(0, 0);
    EXPECT_EQ(child<QPlainTextEdit>(&w, "rowDerivation")->toPlainText(),
              w.bars().rows[0].derivation);

    // A span count that differs from the spans given is named, and the
    // tables follow the annotation.
    typeInto(annotation, u("KL1(3) 300x700 C10@100/200(2) 2C25;4C25"));
    EXPECT_EQ(child<QTableWidget>(&w, "spanTable")->rowCount(), 3);
    EXPECT_FALSE(w.bars().problems.isEmpty());
    EXPECT_TRUE(child<QPlainTextEdit>(&w, "beamProblems")->toPlainText().contains(u("第 3 跨")))
        << child<QPlainTextEdit>(&w, "beamProblems")->toPlainText().toStdString();

    // A window given a beam shows it as it was.
    BeamWindow again;
    again.setBeam(beam);
    EXPECT_EQ(again.beam(), beam);
}

class BeamInListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        list = std::make_unique<ScheduleWindow>(
            ScheduleWindowOptions{dir.filePath("autosave"), 60'000, dir.filePath("settings.ini")});
        list->show();
    }
    QAction* action(const char* name) { return child<QAction>(list.get(), name); }
    BeamWindow* openBeamWindow() {
        action("beamFromNotation")->trigger();
        auto* w = list->findChild<BeamWindow*>();
        EXPECT_NE(w, nullptr);
        return w;
    }
    const schedule::CuttingList& current() { return list->document()->list(); }

    QTemporaryDir dir;
    std::unique_ptr<ScheduleWindow> list;
};

TEST_F(BeamInListTest, PutInRegeneratedAndDetachedEachOneUndoStep) {
    const schedule::CuttingList empty = current();
    BeamWindow* w = openBeamWindow();
    ASSERT_TRUE(w);
    typeTwoSpanBeam(w);
    const members::BeamBars bars = w->bars();
    child<QPushButton>(w, "beamAccept")->click();
    QCoreApplication::processEvents();

    // In as a member of its own, after the current one, its rows as detailed.
    const int m = int(current().members.size()) - 1;
    ASSERT_EQ(current().members.size(), empty.members.size() + 1);
    const schedule::Member& kl1 = current().members[m];
    EXPECT_EQ(kl1.name, "KL1");
    ASSERT_EQ(kl1.rows.size(), bars.rows.size());
    for (qsizetype r = 0; r < bars.rows.size(); ++r)
        EXPECT_EQ(kl1.rows[r], bars.rows[r].bar);
    EXPECT_EQ(list->rowModel()->member(), m);
    const schedule::CuttingList withBeam = current();

    // Its rows refuse hand edits: the cells are closed, the row commands say why.
    EXPECT_FALSE(list->rowModel()->flags(list->rowModel()->index(0, 1)) & Qt::ItemIsEditable);
    action("deleteRow")->trigger();
    action("insertRow")->trigger();
    EXPECT_EQ(current(), withBeam);
    EXPECT_TRUE(child<QLabel>(list.get(), "statusLine")->text().contains(u("梁平法")));

    // Opened again it shows the beam; a changed annotation regenerates the
    // rows in one step, and a name given by hand stays.
    schedule::CuttingList renamed = current();
    renamed.members[m].name = u("KL1 ②轴");
    list->document()->change("rename", renamed, {m, 0, 0}, {m, 0, 0});
    w = openBeamWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(members::beamOfListMember(current().members[m]), w->beam());
    typeInto(child<QLineEdit>(w, "beamAnnotation"),
             u("KL1(2) 300x700 C10@100/200(2) 2C22;4C25 G4C12"));
    child<QPushButton>(w, "beamAccept")->click();
    QCoreApplication::processEvents();
    const schedule::Member& changed = current().members[m];
    EXPECT_EQ(changed.name, u("KL1 ②轴"));
    EXPECT_NE(changed.rows, renamed.members[m].rows);
    EXPECT_EQ(changed.rows.first().diameter, 22); // the continuous top bars
    list->document()->undoStack()->undo();
    EXPECT_EQ(current(), renamed);

    // Detached: ordinary rows, editable; undo makes it generated again.
    action("detachMember")->trigger();
    EXPECT_TRUE(current().members[m].source.isEmpty());
    EXPECT_EQ(current().members[m].rows, renamed.members[m].rows);
    EXPECT_TRUE(list->rowModel()->flags(list->rowModel()->index(0, 1)) & Qt::ItemIsEditable);
    list->document()->undoStack()->undo();
    EXPECT_EQ(current(), renamed);

    // Cancelled: the list is untouched.
    w = openBeamWindow();
    typeInto(child<QLineEdit>(w, "beamAnnotation"), u("KL1(2) 300x"));
    w->reject();
    QCoreApplication::processEvents();
    EXPECT_EQ(current(), renamed);
}

} // namespace
