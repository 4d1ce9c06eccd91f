#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Every file Corvala writes (a list, its autosave copy, CSV, PDF, Excel)
// goes through here: the bytes go to a temporary file beside the target,
// which replaces the old file only once every byte is written. A full disk
// or any other failed write leaves the old file as it was.
namespace schedule {

// The reason in Chinese when the file could not be written.
std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes);

struct ReadFile {
    QByteArray bytes;
    QString error; // set when nothing was read, in Chinese
};

// The bytes of a regular file of at most `largest` bytes. A folder, a device
// or a pipe is refused at once: /dev/zero would never end.
ReadFile readWholeFile(const QString& path, qint64 largest);

} // namespace schedule
