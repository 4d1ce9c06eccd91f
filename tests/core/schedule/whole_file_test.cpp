#include "core/schedule/autosave.h"
#include "core/schedule/list_file.h"
#include "core/schedule/whole_file.h"

#include "support/failing_disk.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace schedule;
using failing_disk::contentsOf;

CuttingList listOf(int rows) {
    CuttingList list;
    list.project = QStringLiteral("三号楼");
    Member member{QStringLiteral("KL1"), 2, {}};
    for (int i = 0; i < rows; ++i) {
        BarRow row;
        row.mark = QString::number(i + 1);
        row.diameter = 20;
        row.dimensions = {{QStringLiteral("A"), 3000.0 + i}};
        row.countPerMember = 4;
        member.rows << row;
    }
    list.members << member;
    return list;
}

// Each of the core's writers, with what it writes: it differs from the old file.
struct Writer {
    const char* name;
    failing_disk::Writer write;
};

QList<Writer> writers() {
    return {
        {"whole file",
         [](const QString& path) { return writeWholeFile(path, QByteArray(3000, 'y')); }},
        {"list file", [](const QString& path) { return saveListFile(listOf(20), path); }},
    };
}

TEST(WholeFile, AFailedWriteKeepsTheOldFileAndSaysSo) {
    if (const QString why = failing_disk::unsupported(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.cvl"));
        ASSERT_FALSE(saveListFile(listOf(1), path));
        const QByteArray before = contentsOf(path);
        failing_disk::expectOldFileKept(w.write, path, failing_disk::Failure::SizeLimit);
        // With room again the same write goes through.
        EXPECT_FALSE(w.write(path));
        EXPECT_NE(contentsOf(path), before);
    }
    // The reason says the old file is still there.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a"));
    ASSERT_FALSE(writeWholeFile(path, "old"));
#ifdef Q_OS_LINUX
    const failing_disk::FileSizeLimit limit(10);
    const std::optional<QString> error = writeWholeFile(path, QByteArray(100, 'z'));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->contains(QStringLiteral("原文件未改动"))) << error->toStdString();
#endif
}

TEST(WholeFile, AFullDiskKeepsTheOldFileAndSaysItIsFull) {
    if (const QString why = failing_disk::unsupported(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
#ifdef Q_OS_LINUX
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const failing_disk::FullDisk disk;
        if (!disk.unavailable().isEmpty())
            GTEST_SKIP() << disk.unavailable().toStdString();
        const QString path = disk.filePath(QStringLiteral("list.cvl"));
        ASSERT_FALSE(saveListFile(listOf(1), path));
        ASSERT_TRUE(disk.fill());
        failing_disk::expectOldFileKept(w.write, path, failing_disk::Failure::FullDisk);
    }
#endif
}

TEST(WholeFile, AnAutosaveThatCannotBeWrittenKeepsTheEarlierCopy) {
    if (const QString why = failing_disk::unsupported(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
#ifdef Q_OS_LINUX
    QTemporaryDir dir;
    AutosaveStore store(dir.filePath(QStringLiteral("autosave")));
    const QString original = dir.filePath(QStringLiteral("list.cvl"));
    ASSERT_FALSE(store.write(listOf(1), original));
    const QStringList copies =
        QDir(store.directory()).entryList({QStringLiteral("*.cvl")}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    const QString copy = store.directory() + QLatin1Char('/') + copies.first();
    const QByteArray before = contentsOf(copy);
    const QByteArray noteBefore = contentsOf(copy + QStringLiteral(".json"));
    std::optional<QString> error;
    {
        const failing_disk::FileSizeLimit limit(100);
        error = store.write(listOf(20), original);
    }
    ASSERT_TRUE(error.has_value()) << "the failed autosave was reported as written";
    EXPECT_EQ(contentsOf(copy), before);
    EXPECT_EQ(contentsOf(copy + QStringLiteral(".json")), noteBefore);

    // The note beside the copy: where it cannot be written, that is said too.
    QTemporaryDir other;
    AutosaveStore blocked(other.filePath(QStringLiteral("autosave")));
    ASSERT_FALSE(blocked.write(listOf(1), original));
    const QString blockedCopy =
        blocked.directory() + QLatin1Char('/') +
        QDir(blocked.directory()).entryList({QStringLiteral("*.cvl")}, QDir::Files).first();
    QFile::remove(blockedCopy + QStringLiteral(".json"));
    ASSERT_TRUE(QDir().mkdir(blockedCopy + QStringLiteral(".json")));
    EXPECT_TRUE(blocked.write(listOf(2), original).has_value());
#endif
}

} // namespace
