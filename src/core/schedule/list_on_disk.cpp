#include "core/schedule/list_on_disk.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QSysInfo>

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

namespace {

// The files this process holds. A mark with this process's number that is
// not among them was left by an earlier process that had the same number:
// Wine gives a program started after another was killed its number again.
QSet<QString>& heldHere() {
    static QSet<QString> held;
    return held;
}

// The toolkit names this machine in a lock by its host name, or on Windows
// by its computer name, which Wine writes in capitals.
bool thisMachine(const QString& host) {
    return host.isEmpty() || host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0 ||
           host.compare(qEnvironmentVariable("COMPUTERNAME"), Qt::CaseInsensitive) == 0;
}

bool leftByAnEarlierProcess(QLockFile& lock, const QString& path) {
    qint64 pid = 0;
    QString host, application;
    return lock.getLockInfo(&pid, &host, &application) &&
           pid == QCoreApplication::applicationPid() && thisMachine(host) &&
           !heldHere().contains(path);
}

} // namespace

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
    if (lock->tryLock(0) ||
        (lock->error() == QLockFile::LockFailedError && leftByAnEarlierProcess(*lock, absolute) &&
         lock->removeStaleLockFile() && lock->tryLock(0))) {
        release();
        m_lock = std::move(lock);
        m_path = absolute;
        heldHere().insert(absolute);
        return true;
    }
    // Held elsewhere: the file open until now stays marked.
    if (lock->error() == QLockFile::LockFailedError)
        return false;
    release(); // no mark can be written there
    return true;
}

void ListInUse::release() {
    if (m_lock)
        heldHere().remove(m_path);
    m_lock.reset();
    m_path.clear();
}

} // namespace schedule
