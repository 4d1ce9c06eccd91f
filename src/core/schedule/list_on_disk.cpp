#include "core/schedule/list_on_disk.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace schedule {

DiskStamp DiskStamp::of(const QString& path) {
    DiskStamp stamp;
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
        stamp.hash = hash.result();
    return stamp;
}

bool DiskStamp::changed(const QString& path, bool quick) const {
    if (quick) {
        const QFileInfo info(path);
        if (info.isFile() == exists &&
            (!exists || (info.size() == size && info.lastModified() == modified)))
            return false;
    }
    const DiskStamp now = of(path);
    // Times alone may differ after a copy that left the bytes as they were.
    return now.exists != exists || now.size != size || now.hash != hash;
}

ListInUse::ListInUse() = default;
ListInUse::~ListInUse() = default;

QString ListInUse::markPathOf(const QString& path) {
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.~") + info.fileName() + QStringLiteral(".lock");
}

bool ListInUse::take(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (m_lock && m_path == absolute)
        return true;
    auto lock = std::make_unique<QLockFile>(markPathOf(absolute));
    // Held for as long as the list is open; only a holder that is gone
    // leaves a mark that others may take.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        m_path = absolute;
        return true;
    }
    // Held elsewhere: the file open until now stays marked.
    if (lock->error() == QLockFile::LockFailedError)
        return false;
    release(); // no mark can be written there
    return true;
}

void ListInUse::release() {
    m_lock.reset();
    m_path.clear();
}

} // namespace schedule
