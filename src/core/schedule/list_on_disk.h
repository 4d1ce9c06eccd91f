#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

// A list's file as others may change it: another Corvala window, another
// program, a copy from a colleague over the network folder.
namespace schedule {

// What the file held when the window last read or wrote it.
struct DiskStamp {
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    QByteArray hash; // of the whole file

    static DiskStamp of(const QString& path);
    // True when the file at `path` no longer holds what was stamped. `quick`:
    // an unchanged time and size are taken for an unchanged file, without
    // reading it.
    bool changed(const QString& path, bool quick = false) const;
    bool operator==(const DiskStamp& other) const = default;
};

// A mark beside the list's file for as long as a window has it open, so
// that a second window opening it is warned. A mark left by a program that
// is no longer running (killed, crashed) does not count.
class ListInUse {
public:
    ListInUse();
    ~ListInUse();
    ListInUse(const ListInUse&) = delete;
    ListInUse& operator=(const ListInUse&) = delete;

    // Marks `path` as open here, in place of the file marked before; false
    // when another window has it open, and the earlier mark is kept. A folder
    // where no mark can be written (read-only) does not count as in use.
    bool take(const QString& path);
    void release();
    // The file this window holds, if any.
    const QString& path() const { return m_path; }

    static QString markPathOf(const QString& path);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace schedule
