#include "core/shop/bvbs.h"

namespace shop {

namespace {

bool isBlockLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

} // namespace

std::optional<QByteArray> BvbsRecord::headerValue(char key) const {
    for (const BvbsField& field : header)
        if (field.key == key)
            return field.value;
    return std::nullopt;
}

int bvbsChecksum(QByteArrayView text) {
    long long sum = 0;
    for (const char c : text)
        sum += static_cast<unsigned char>(c);
    return 96 - static_cast<int>(sum % 32);
}

QByteArray bvbsLine(const BvbsRecord& record) {
    QByteArray line = record.kind + '@';
    const auto block = [&line](char letter, const QList<BvbsField>& fields) {
        line += letter;
        for (const BvbsField& field : fields)
            line += field.key + field.value + '@';
    };
    block('H', record.header);
    if (!record.geometry.isEmpty())
        block('G', record.geometry);
    line += 'C';
    line += QByteArray::number(bvbsChecksum(line));
    line += '@';
    return line;
}

ReadBvbsLine readBvbsLine(QByteArrayView line) {
    ReadBvbsLine read;
    const auto refuse = [&read](const QString& why) {
        read.error = why;
        return read;
    };
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return refuse(QStringLiteral("含有非 ASCII 字符或控制字符"));
    if (!line.endsWith('@'))
        return refuse(QStringLiteral("行末没有“@”"));
    const qsizetype checksumAt = line.lastIndexOf(QByteArrayView("@C"));
    if (checksumAt < 0)
        return refuse(QStringLiteral("没有校验块“@C”"));
    const QByteArrayView sumText = line.sliced(checksumAt + 2, line.size() - checksumAt - 3);
    bool ok = false;
    const int written = sumText.toInt(&ok);
    if (!ok || sumText.isEmpty())
        return refuse(QStringLiteral("校验值“%1”不是数").arg(QString::fromLatin1(sumText)));
    const int expected = bvbsChecksum(line.first(checksumAt + 2));
    if (written != expected)
        return refuse(QStringLiteral("校验值为 %1，按本行内容应为 %2").arg(written).arg(expected));

    // The fields before the checksum block, each closed by '@'.
    const QList<QByteArray> parts = line.first(checksumAt + 1).toByteArray().split('@');
    BvbsRecord record;
    record.kind = parts.value(0);
    if (record.kind != "BF2D")
        return refuse(QStringLiteral("不是 BF2D 行（“%1”）").arg(QString::fromLatin1(record.kind)));
    QList<BvbsField>* fields = nullptr;
    char lastBlock = 0;
    for (qsizetype i = 1; i + 1 < parts.size(); ++i) {
        QByteArray part = parts[i];
        if (!part.isEmpty() && isBlockLetter(part[0])) {
            const char letter = part[0];
            if (letter == 'H' && lastBlock == 0)
                fields = &record.header;
            else if (letter == 'G' && lastBlock == 'H')
                fields = &record.geometry;
            else
                return refuse(QStringLiteral("块“%1”不在此处").arg(QLatin1Char(letter)));
            lastBlock = letter;
            part.remove(0, 1);
            if (part.isEmpty())
                continue;
        }
        if (!fields)
            return refuse(QStringLiteral("字段在块之前"));
        if (part.isEmpty() || !(part[0] >= 'a' && part[0] <= 'z'))
            return refuse(
                QStringLiteral("字段“%1”不以小写字母开头").arg(QString::fromLatin1(part)));
        *fields << BvbsField{part[0], part.mid(1)};
    }
    if (lastBlock == 0)
        return refuse(QStringLiteral("没有表头块“H”"));
    read.record = record;
    return read;
}

ReadBvbsFile readBvbsFile(const QByteArray& bytes) {
    ReadBvbsFile file;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray line = lines[n];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const ReadBvbsLine read = readBvbsLine(line);
        if (read.record)
            file.records << *read.record;
        else
            file.errors << QStringLiteral("第 %1 行：%2").arg(n + 1).arg(read.error);
    }
    return file;
}

} // namespace shop
