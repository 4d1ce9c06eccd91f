#include "core/schedule/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace schedule {

namespace {

QString reasonOf(const QSaveFile& file) {
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("磁盘空间不足");
    return file.errorString();
}

} // namespace

std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered: a buffered write only reaches the disk when the file is
    // committed, and a failure there (a full disk) is not seen by commit(),
    // which would rename the short temporary file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("无法写入文件：%1").arg(file.errorString());
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = reasonOf(file);
            file.cancelWriting(); // the temporary file is removed, the old file kept
            return QStringLiteral("写入失败（%1），原文件未改动").arg(reason);
        }
        done += n;
    }
    if (!file.commit())
        return QStringLiteral("保存失败（%1），原文件未改动").arg(reasonOf(file));
    return std::nullopt;
}

ReadFile readWholeFile(const QString& path, qint64 largest) {
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, QStringLiteral("无法打开文件：文件不存在")};
    if (info.isDir())
        return {{}, QStringLiteral("这是一个文件夹，不是文件")};
    if (!info.isFile())
        return {{}, QStringLiteral("这不是普通文件（而是设备、管道或套接字），无法读取")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("无法打开文件：%1").arg(file.errorString())};
    if (file.size() > largest)
        return {{},
                QStringLiteral("文件太大（%1 MB，最多 %2 MB）")
                    .arg(file.size() / (1024 * 1024))
                    .arg(largest / (1024 * 1024))};
    return {file.readAll(), {}};
}

} // namespace schedule
