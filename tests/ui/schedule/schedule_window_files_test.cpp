#include "core/schedule/autosave.h"
#include "core/schedule/list_file.h"
#include "core/schedule/list_on_disk.h"
#include "core/schedule/whole_file.h"
#include "support/failing_disk.h"
#include "support/window_fixture.h"
#include "ui/schedule/list_document.h"
#include "ui/schedule/schedule_window.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLockFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

using namespace schedule;
using failing_disk::contentsOf;

// A beam of two rows, the first 4 and the second 6 to a member.
CuttingList beam() {
    BarRow top;
    top.mark = QStringLiteral("1");
    top.diameter = 25;
    top.dimensions = {{QStringLiteral("A"), 6000.0}};
    top.countPerMember = 4;
    BarRow bottom = top;
    bottom.mark = QStringLiteral("2");
    bottom.countPerMember = 6;
    CuttingList list;
    list.members << Member{QStringLiteral("KL1"), 2, {top, bottom}};
    return list;
}

// The list with row `row`'s count changed, as an edit of the window.
void setCount(ScheduleWindow& window, int row, int count) {
    CuttingList list = window.document()->list();
    list.members[0].rows[row].countPerMember = count;
    window.document()->change(QStringLiteral("根数"), list, {}, {});
}

int countIn(const QString& path, int row) {
    const LoadedList loaded = loadListFile(path);
    return loaded.list ? loaded.list->members.value(0).rows.value(row).countPerMember : -1;
}

// The main window, with the list window's autosaves and settings in a
// folder of the test's own.
class ListFilesTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ScheduleWindow::defaultOptions() = options();
        WindowTest::SetUp();
        path = dir.filePath(QStringLiteral("list.cvl"));
        ASSERT_FALSE(saveListFile(beam(), path));
    }
    void TearDown() override {
        WindowTest::TearDown();
        ScheduleWindow::defaultOptions() = {};
    }
    ScheduleWindowOptions options() const {
        return {dir.filePath(QStringLiteral("autosave")), 60'000,
                dir.filePath(QStringLiteral("settings.ini"))};
    }
    static void trigger(ScheduleWindow& window, const char* action) {
        auto* a = window.findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    static QString status(ScheduleWindow& window) {
        return window.findChild<QLabel*>(QStringLiteral("statusLine"))->text();
    }
    QStringList autosaveCopies() const {
        return QDir(options().autosaveDirectory).entryList({QStringLiteral("*.cvl")}, QDir::Files);
    }

    QTemporaryDir dir;
    QString path;
};

// ---- a write that fails ----

// Save and CSV export where the write fails: the message, the old file byte
// for byte, and the list still there to be saved, still marked unsaved.
void expectFailedWritesKeepEverything(
    ScheduleWindow& window, FeedbackRecorder& feedback, const QString& path, const QString& csv,
    const std::function<void(const std::function<void()>&)>& failing) {
    const QByteArray before = contentsOf(path);
    const QByteArray csvBefore = contentsOf(csv);
    setCount(window, 0, 9);
    feedback.clear();
    failing([&] { window.findChild<QAction*>(QStringLiteral("saveList"))->trigger(); });
    ASSERT_EQ(feedback.messages.size(), 1) << "a failed save said nothing";
    EXPECT_TRUE(feedback.messages[0].startsWith(QStringLiteral("无法保存")))
        << feedback.messages[0].toStdString();
    EXPECT_EQ(contentsOf(path), before);
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_TRUE(window.document()->isModified());
    EXPECT_EQ(window.document()->list().members[0].rows[0].countPerMember, 9);
    EXPECT_FALSE(window.findChild<QLabel*>(QStringLiteral("statusLine"))
                     ->text()
                     .contains(QStringLiteral("已保存")));

    feedback.clear();
    feedback.files = {csv};
    failing([&] { window.findChild<QAction*>(QStringLiteral("exportCsv"))->trigger(); });
    ASSERT_EQ(feedback.messages.size(), 1) << "a failed CSV export said nothing";
    EXPECT_TRUE(feedback.messages[0].startsWith(QStringLiteral("无法写入")));
    EXPECT_EQ(contentsOf(csv), csvBefore);
}

TEST_F(ListFilesTest, AFailedSaveOrExportKeepsTheFileAndTheUnsavedList) {
    if (const QString why = failing_disk::unsupported(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
#ifdef Q_OS_LINUX
    const QString csv = dir.filePath(QStringLiteral("list.csv"));
    ASSERT_FALSE(writeWholeFile(csv, "old csv\n"));
    ScheduleWindow window(options());
    ASSERT_TRUE(window.openFile(path));
    expectFailedWritesKeepEverything(window, feedback, path, csv, [](const auto& write) {
        const failing_disk::FileSizeLimit limit(64);
        write();
    });
    // With room again, the same save goes through.
    trigger(window, "saveList");
    EXPECT_EQ(countIn(path, 0), 9);
    EXPECT_FALSE(window.isWindowModified());
#endif
}

TEST_F(ListFilesTest, SavingOntoAFullDiskKeepsTheFileAndTheUnsavedList) {
    if (const QString why = failing_disk::unsupported(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
#ifdef Q_OS_LINUX
    const failing_disk::FullDisk disk;
    if (!disk.unavailable().isEmpty())
        GTEST_SKIP() << disk.unavailable().toStdString();
    const QString onDisk = disk.filePath(QStringLiteral("list.cvl"));
    const QString csv = disk.filePath(QStringLiteral("list.csv"));
    ASSERT_FALSE(saveListFile(beam(), onDisk));
    ASSERT_FALSE(writeWholeFile(csv, "old csv\n"));
    ScheduleWindow window(options());
    ASSERT_TRUE(window.openFile(onDisk));
    ASSERT_TRUE(disk.fill());
    expectFailedWritesKeepEverything(window, feedback, onDisk, csv,
                                     [](const auto& write) { write(); });
    EXPECT_TRUE(feedback.messages.value(0).contains(QStringLiteral("磁盘空间不足")))
        << feedback.messages.value(0).toStdString();
#endif
}

// ---- two windows on one file ----

TEST_F(ListFilesTest, ASecondWindowOnTheSameFileIsWarnedAndCannotOverwriteUnasked) {
    ScheduleWindow first(options());
    ASSERT_TRUE(first.openFile(path));
    EXPECT_TRUE(feedback.questions.isEmpty());

    ScheduleWindow second(options());
    feedback.answers = {1}; // 取消
    EXPECT_FALSE(second.openFile(path));
    ASSERT_EQ(feedback.questions.size(), 1);
    EXPECT_TRUE(feedback.questions[0].contains(QStringLiteral("已在另一个 Corvala 窗口中打开")))
        << feedback.questions[0].toStdString();
    EXPECT_EQ(feedback.questionButtons[0], QStringList({"仍然打开", "取消"}));
    EXPECT_TRUE(second.document()->filePath().isEmpty());
    feedback.clear();
    feedback.answers = {0}; // 仍然打开
    ASSERT_TRUE(second.openFile(path));

    // The first saves row 1; the second, opened before that, saves row 2.
    setCount(first, 0, 7);
    trigger(first, "saveList");
    EXPECT_EQ(countIn(path, 0), 7);
    setCount(second, 1, 8);
    feedback.clear();
    feedback.answers = {2}; // 取消
    trigger(second, "saveList");
    ASSERT_EQ(feedback.questions.size(), 1) << "the first window's save would be lost unasked";
    EXPECT_EQ(feedback.questionButtons[0], QStringList({"覆盖", "另存为", "取消"}));
    EXPECT_EQ(countIn(path, 0), 7);
    EXPECT_TRUE(second.isWindowModified());

    // 另存为 writes elsewhere and leaves the first's file alone.
    const QString other = dir.filePath(QStringLiteral("second.cvl"));
    feedback.clear();
    feedback.answers = {1};
    feedback.files = {other};
    trigger(second, "saveList");
    EXPECT_EQ(countIn(path, 0), 7);
    EXPECT_EQ(countIn(other, 1), 8);
    EXPECT_FALSE(second.isWindowModified());

    // 覆盖 is the user's to choose.
    feedback.answers = {0}; // 仍然打开
    ASSERT_TRUE(second.openFile(path));
    setCount(second, 1, 5);
    trigger(second, "saveList"); // read after the first's save: nothing to ask
    feedback.clear();
    setCount(first, 1, 3);
    feedback.answers = {0};
    trigger(first, "saveList");
    EXPECT_EQ(feedback.questions.size(), 1);
    EXPECT_EQ(countIn(path, 1), 3);
}

TEST_F(ListFilesTest, AnUnchangedListIsOfferedTheFileAsChangedElsewhere) {
    ScheduleWindow window(options());
    ASSERT_TRUE(window.openFile(path));
    const auto comeBack = [&] {
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window, &activate);
        QCoreApplication::processEvents();
    };
    comeBack();
    EXPECT_TRUE(feedback.questions.isEmpty()) << "the file has not changed";

    CuttingList changed = beam();
    changed.members[0].rows[0].countPerMember = 11;
    ASSERT_FALSE(saveListFile(changed, path));
    feedback.answers = {1}; // 不载入
    comeBack();
    ASSERT_EQ(feedback.questions.size(), 1);
    EXPECT_TRUE(feedback.questions[0].contains(QStringLiteral("已被其他窗口或程序修改")));
    EXPECT_EQ(feedback.questionButtons[0], QStringList({"重新载入", "不载入"}));
    EXPECT_EQ(window.document()->list(), beam());
    comeBack();
    EXPECT_EQ(feedback.questions.size(), 1) << "asked again about a change declined";

    changed.members[0].rows[0].countPerMember = 12;
    ASSERT_FALSE(saveListFile(changed, path));
    feedback.clear();
    feedback.answers = {0}; // 重新载入
    comeBack();
    ASSERT_EQ(feedback.questions.size(), 1);
    EXPECT_EQ(window.document()->list(), changed);
    EXPECT_FALSE(window.isWindowModified());

    // A list with changes of its own is not replaced; saving asks instead.
    setCount(window, 0, 1);
    changed.members[0].rows[0].countPerMember = 13;
    ASSERT_FALSE(saveListFile(changed, path));
    feedback.clear();
    comeBack();
    EXPECT_TRUE(feedback.questions.isEmpty());
}

TEST_F(ListFilesTest, AMarkLeftByAProgramThatDiedDoesNotWarn) {
    // As a Corvala killed with the list open leaves it: a mark as this
    // system's toolkit writes it, naming a process long gone.
    QByteArray left;
    {
        QLockFile earlier(ListInUse::markPathOf(path));
        ASSERT_TRUE(earlier.tryLock(0));
        QFile written(ListInUse::markPathOf(path));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        left = written.readAll();
    }
    left = "2147483600" + left.mid(left.indexOf('\n'));
    QFile mark(ListInUse::markPathOf(path));
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    mark.write(left);
    mark.close();
    ScheduleWindow window(options());
    EXPECT_TRUE(window.openFile(path));
    EXPECT_TRUE(feedback.questions.isEmpty()) << feedback.questions.value(0).toStdString();

    // Closed, the list is free again.
    window.close();
    ScheduleWindow next(options());
    EXPECT_TRUE(next.openFile(path));
    EXPECT_TRUE(feedback.questions.isEmpty());
}

// ---- a list recovered at start ----

// A window that edited `path`, autosaved and was killed.
void leaveAnAutosave(const ScheduleWindowOptions& options, const QString& path) {
    auto window = std::make_unique<ScheduleWindow>(options);
    ASSERT_TRUE(window->openFile(path));
    setCount(*window, 0, 9);
    window->autosaveNow();
}

TEST_F(ListFilesTest, TheRecoveredListAskedForIsShownUnsavedWithNoSecondQuestion) {
    leaveAnAutosave(options(), path);
    ASSERT_EQ(autosaveCopies().size(), 1);
    feedback.answers = {0}; // 恢复
    window->openCuttingList(path);
    auto* list = static_cast<ScheduleWindow*>(window->cuttingListWindow());
    ASSERT_EQ(feedback.questions.size(), 1) << feedback.questions.join('\n').toStdString();
    EXPECT_TRUE(feedback.questions[0].startsWith(QStringLiteral("恢复未保存的下料单？")));
    EXPECT_EQ(list->document()->list().members[0].rows[0].countPerMember, 9);
    EXPECT_TRUE(list->isWindowModified());
    EXPECT_EQ(autosaveCopies().size(), 1) << "the copy goes only once the list is saved";

    trigger(*list, "saveList");
    EXPECT_EQ(countIn(path, 0), 9);
    EXPECT_TRUE(autosaveCopies().isEmpty());
}

TEST_F(ListFilesTest, AnotherFileAfterARecoveryKeepsTheRecoveredCopy) {
    leaveAnAutosave(options(), path);
    const QString other = dir.filePath(QStringLiteral("other.cvl"));
    ASSERT_FALSE(saveListFile(beam(), other));
    feedback.answers = {0, 1}; // 恢复, then 不保存 for the recovered list
    window->openCuttingList(other);
    auto* list = static_cast<ScheduleWindow*>(window->cuttingListWindow());
    ASSERT_EQ(feedback.questions.size(), 2);
    EXPECT_TRUE(feedback.questions[1].contains(QStringLiteral("有未保存的修改")));
    EXPECT_EQ(list->document()->filePath(), QFileInfo(other).absoluteFilePath());
    EXPECT_EQ(autosaveCopies().size(), 1) << "不保存 is not 放弃";

    // Offered again at the next start, until given up.
    ScheduleWindow next(options());
    feedback.clear();
    feedback.answers = {1}; // 放弃
    next.offerRecovery();
    EXPECT_EQ(feedback.questions.size(), 1);
    EXPECT_TRUE(autosaveCopies().isEmpty());
}

// ---- what is not a list file ----

TEST_F(ListFilesTest, AFolderOrADeviceIsRefusedAtOnceInChinese) {
#ifndef Q_OS_UNIX
    GTEST_SKIP() << "no /dev/zero here";
#endif
    ScheduleWindow window(options());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(window.openFile(QStringLiteral("/dev/zero")));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(window.openFile(dir.path()));
    ASSERT_EQ(feedback.messages.size(), 2);
    EXPECT_TRUE(feedback.messages[0].contains(QStringLiteral("不是普通文件")))
        << feedback.messages[0].toStdString();
    EXPECT_TRUE(feedback.messages[1].contains(QStringLiteral("文件夹")))
        << feedback.messages[1].toStdString();
    EXPECT_TRUE(window.document()->filePath().isEmpty());
}

} // namespace
