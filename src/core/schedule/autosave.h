#pragma once

#include "core/schedule/cutting_list.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;

// Copies of unsaved lists, kept in a folder of their own so that a list
// survives a crash or a kill: one file per open list, named by its file (a
// hash of the path) or, while untitled, by a name of its own, with a small
// note beside it of the file it belongs to and when it was written.
class AutosaveStore {
public:
    struct Entry {
        QString copyPath;     // the autosaved list
        QString originalPath; // the list's own file; empty while untitled
        QDateTime saved;
    };

    explicit AutosaveStore(const QString& directory);
    ~AutosaveStore();
    AutosaveStore(const AutosaveStore&) = delete;
    AutosaveStore& operator=(const AutosaveStore&) = delete;
    // The user's application data folder's "autosave".
    static QString defaultDirectory();
    const QString& directory() const { return m_directory; }

    // Writes the copy of the list whose file is `originalPath` (empty while
    // untitled); the reason when it could not.
    // `plan`: the list's cutting plan as its file keeps it; empty: none;
    // `planSettings` the same for the next plan's settings.
    std::optional<QString> write(const schedule::CuttingList& list, const QString& originalPath,
                                 const QJsonObject& plan = {},
                                 const QJsonObject& planSettings = {});
    // Removes the copy this store last wrote or took over, if any.
    void remove();
    // Lets go of that copy without removing it, so that the next start
    // offers it again.
    void release();
    // The copies found in the folder that no running program holds, newest
    // first.
    QList<Entry> entries() const;
    // Takes over a copy found at start, so that saving or closing the list
    // recovered from it removes it.
    void adopt(const Entry& entry);
    static void discard(const Entry& entry);

private:
    QString copyPathFor(const QString& originalPath) const;
    void hold(const QString& copyPath);

    QString m_directory;
    QString m_untitledName;
    QString m_written; // the copy last written or taken over
    std::unique_ptr<QLockFile> m_lock;
};
