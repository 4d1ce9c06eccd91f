#include "core/schedule/autosave.h"

#include "core/schedule/list_file.h"
#include "core/schedule/whole_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kNoteSuffix = QStringLiteral(".json");

QString notePathOf(const QString& copyPath) {
    return copyPath + kNoteSuffix;
}

QString lockPathOf(const QString& copyPath) {
    return copyPath + QStringLiteral(".lock");
}

} // namespace

AutosaveStore::AutosaveStore(const QString& directory)
    : m_directory(directory),
      m_untitledName(QStringLiteral("untitled-%1")
                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))) {}

AutosaveStore::~AutosaveStore() = default;

void AutosaveStore::hold(const QString& copyPath) {
    if (m_lock && m_written == copyPath)
        return;
    m_lock = std::make_unique<QLockFile>(lockPathOf(copyPath));
    // Held for as long as the list is open; only a holder that is gone
    // (killed, crashed) leaves a lock that others may take.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        m_lock.reset();
}

QString AutosaveStore::defaultDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/autosave");
}

QString AutosaveStore::copyPathFor(const QString& originalPath) const {
    QString name = m_untitledName;
    if (!originalPath.isEmpty()) {
        const QByteArray key = QFileInfo(originalPath).absoluteFilePath().toUtf8();
        name = QStringLiteral("list-") +
               QString::fromLatin1(
                   QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
    }
    return m_directory + QLatin1Char('/') + name + QLatin1Char('.') + schedule::kListFileSuffix;
}

std::optional<QString> AutosaveStore::write(const schedule::CuttingList& list,
                                            const QString& originalPath, const QJsonObject& plan,
                                            const QJsonObject& planSettings) {
    if (!QDir().mkpath(m_directory))
        return QStringLiteral("无法创建文件夹“%1”").arg(QDir::toNativeSeparators(m_directory));
    const QString copy = copyPathFor(originalPath);
    if (m_written != copy) {
        // A list saved under a new name leaves its old copy behind otherwise.
        remove();
        hold(copy);
    }
    if (const std::optional<QString> error = schedule::saveListFile(list, copy, plan, planSettings))
        return error;
    QJsonObject note;
    note.insert(QStringLiteral("file"), originalPath);
    note.insert(QStringLiteral("saved"),
                QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    if (const std::optional<QString> error = schedule::writeWholeFile(
            notePathOf(copy), QJsonDocument(note).toJson(QJsonDocument::Compact)))
        return error;
    m_written = copy;
    return std::nullopt;
}

void AutosaveStore::remove() {
    if (m_written.isEmpty())
        return;
    discard(Entry{m_written, {}, {}});
    m_written.clear();
    m_lock.reset();
}

void AutosaveStore::release() {
    m_written.clear();
    m_lock.reset();
}

void AutosaveStore::adopt(const Entry& entry) {
    if (!m_written.isEmpty() && m_written != entry.copyPath)
        remove();
    hold(entry.copyPath);
    m_written = entry.copyPath;
    // An untitled copy keeps its name, so that the next autosave replaces it.
    const QString base = QFileInfo(entry.copyPath).completeBaseName();
    if (entry.originalPath.isEmpty() && base.startsWith(QLatin1String("untitled-")))
        m_untitledName = base;
}

void AutosaveStore::discard(const Entry& entry) {
    QFile::remove(entry.copyPath);
    QFile::remove(notePathOf(entry.copyPath));
}

QList<AutosaveStore::Entry> AutosaveStore::entries() const {
    QList<Entry> found;
    const QDir dir(m_directory);
    const QStringList names =
        dir.entryList({QStringLiteral("*.") + schedule::kListFileSuffix}, QDir::Files);
    for (const QString& name : names) {
        Entry entry;
        entry.copyPath = dir.filePath(name);
        if (entry.copyPath == m_written)
            continue;
        // In use by a running Corvala: its list is open there.
        QLockFile probe(lockPathOf(entry.copyPath));
        probe.setStaleLockTime(0);
        if (!probe.tryLock(0))
            continue;
        probe.unlock();
        QFile note(notePathOf(entry.copyPath));
        if (note.open(QIODevice::ReadOnly)) {
            const QJsonObject o = QJsonDocument::fromJson(note.readAll()).object();
            entry.originalPath = o.value(QStringLiteral("file")).toString();
            entry.saved = QDateTime::fromString(o.value(QStringLiteral("saved")).toString(),
                                                Qt::ISODateWithMs);
        }
        if (!entry.saved.isValid())
            entry.saved = QFileInfo(entry.copyPath).lastModified();
        found << entry;
    }
    std::sort(found.begin(), found.end(),
              [](const Entry& a, const Entry& b) { return a.saved > b.saved; });
    return found;
}
