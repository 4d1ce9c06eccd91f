#pragma once

// Two ways to make writing a file fail as it does on a full disk: a limit on
// the size of the files this process writes, which needs no rights, and a
// small tmpfs filled to the last page, which needs the right to mount.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <optional>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <sys/resource.h>
#endif

namespace failing_disk {

// The reason a test of failing writes cannot run here; empty where it can.
inline QString unsupported() {
#ifdef Q_OS_LINUX
    return {};
#else
    return QStringLiteral("a write can only be made to fail on Linux");
#endif
}

#ifdef Q_OS_LINUX

// While it lives, a write that takes a file of this process past `bytes`
// fails (EFBIG) instead of ending the process with SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int) = SIG_DFL;
};

// A 64 KB tmpfs of the test's own; `fill()` takes what room is left.
class FullDisk {
public:
    FullDisk() {
        if (!m_dir.isValid())
            m_unavailable = QStringLiteral("no temporary folder");
        else if (mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                       "size=64k") != 0)
            m_unavailable = QStringLiteral("cannot mount a tmpfs here (%1)")
                                .arg(QString::fromLocal8Bit(std::strerror(errno)));
        else
            m_mounted = true;
    }
    ~FullDisk() {
        if (m_mounted)
            umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Why the disk could not be had; empty when it is mounted.
    const QString& unavailable() const { return m_unavailable; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // True when not one more byte fits.
    bool fill() const {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(512, 'x');
        while (filler.write(block) > 0) {
        }
        return filler.write("x", 1) < 0;
    }

private:
    QTemporaryDir m_dir;
    QString m_unavailable;
    bool m_mounted = false;
};

#endif

// The bytes of a file; empty when it cannot be read.
inline QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A writer `write(path)` that returns its failure's reason.
using Writer = std::function<std::optional<QString>(const QString& path)>;

// How the write is made to fail: a limit on file sizes set around it, or a
// FullDisk that the file is on, filled beforehand.
enum class Failure { SizeLimit, FullDisk };

// The writer run where writing fails: it says so, the file it would have
// replaced is as it was, and no temporary file is left beside it.
inline void expectOldFileKept(const Writer& write, const QString& path, Failure how) {
    const QByteArray before = contentsOf(path);
    ASSERT_FALSE(before.isEmpty()) << "no old file to keep";
    const QStringList filesBefore = QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden);
    std::optional<QString> error;
    if (how == Failure::SizeLimit) {
#ifdef Q_OS_LINUX
        const FileSizeLimit limit(100);
#endif
        error = write(path);
    } else {
        error = write(path);
    }
    ASSERT_TRUE(error.has_value()) << "the failed write was reported as written";
    EXPECT_FALSE(error->isEmpty());
    if (how == Failure::FullDisk)
        EXPECT_TRUE(error->contains(QStringLiteral("磁盘空间不足"))) << error->toStdString();
    EXPECT_EQ(contentsOf(path), before) << "the old file was changed";
    EXPECT_EQ(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden), filesBefore);
}

} // namespace failing_disk
