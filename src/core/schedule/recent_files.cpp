#include "core/schedule/recent_files.h"

#include <QFileInfo>
#include <QSettings>

#include <memory>

namespace {

const QString kKey = QStringLiteral("cuttingList/recentFiles");

std::unique_ptr<QSettings> open(const QString& settingsFile) {
    if (settingsFile.isEmpty())
        return std::make_unique<QSettings>(QStringLiteral("Corvala"), QStringLiteral("Corvala"));
    return std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
}

} // namespace

RecentFiles::RecentFiles(const QString& settingsFile) : m_settingsFile(settingsFile) {}

QStringList RecentFiles::files() const {
    return open(m_settingsFile)->value(kKey).toStringList();
}

void RecentFiles::add(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(full);
    list.prepend(full);
    store(list.mid(0, kMost));
}

void RecentFiles::remove(const QString& path) {
    QStringList list = files();
    list.removeAll(QFileInfo(path).absoluteFilePath());
    store(list);
}

void RecentFiles::store(const QStringList& files) {
    open(m_settingsFile)->setValue(kKey, files);
}
