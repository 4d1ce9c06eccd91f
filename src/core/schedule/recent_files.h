#pragma once

#include <QString>
#include <QStringList>

// The cutting lists opened or saved last, newest first, kept in the user's
// settings (organisation "Corvala") or, for tests, in a file of their own.
class RecentFiles {
public:
    static constexpr int kMost = 8;

    explicit RecentFiles(const QString& settingsFile = {});

    QStringList files() const;
    void add(const QString& path);
    void remove(const QString& path);

private:
    void store(const QStringList& files);

    QString m_settingsFile;
};
