#include "core/schedule/list_on_disk.h"

#include "core/schedule/whole_file.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace schedule;

TEST(ListInUse, AFileHeldElsewhereIsRefusedAndTheEarlierMarkKept) {
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("1.cvl"));
    const QString second = dir.filePath(QStringLiteral("2.cvl"));
    ListInUse a, b, c;
    ASSERT_TRUE(a.take(first));
    EXPECT_FALSE(b.take(first));
    ASSERT_TRUE(b.take(second));
    // a asks for the file b holds: refused, and a still holds its own.
    EXPECT_FALSE(a.take(second));
    EXPECT_EQ(a.path(), QFileInfo(first).absoluteFilePath());
    EXPECT_FALSE(c.take(first));
    a.release();
    EXPECT_TRUE(c.take(first));
    // Taking another file lets go of the one before.
    b.release();
    ASSERT_TRUE(c.take(second));
    EXPECT_TRUE(a.take(first));
}

// Wine hands a program started after another was killed the same process
// number; the mark the killed one left names that number and must not keep
// the new program from its own list.
TEST(ListInUse, AMarkWithThisProcesssNumberLeftByAnEarlierOneIsTaken) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.cvl"));
    const QString markPath = ListInUse::markPathOf(path);
    QByteArray left;
    {
        QLockFile earlier(markPath);
        ASSERT_TRUE(earlier.tryLock(0));
        QFile mark(markPath);
        ASSERT_TRUE(mark.open(QIODevice::ReadOnly));
        left = mark.readAll();
    }
    QFile mark(markPath);
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    mark.write(left);
    mark.close();

    ListInUse now, other;
    EXPECT_TRUE(now.take(path));
    EXPECT_FALSE(other.take(path)) << "held here now, by the first";
}

TEST(DiskStamp, TellsAChangedFileEvenWithItsTimeAndSizeKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.cvl"));
    ASSERT_FALSE(writeWholeFile(path, "abc"));
    const DiskStamp stamp = DiskStamp::of(path);
    EXPECT_FALSE(stamp.changed(path));
    EXPECT_FALSE(stamp.changed(path, true));
    // Same size, written within the same tick of the clock.
    ASSERT_FALSE(writeWholeFile(path, "abd"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(stamp.modified, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_TRUE(stamp.changed(path));
    EXPECT_FALSE(stamp.changed(path, true)) << "the quick look trusts time and size";
    QFile::remove(path);
    EXPECT_TRUE(stamp.changed(path, true));
}

} // namespace
