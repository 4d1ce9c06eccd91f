#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// BVBS files (.abs), the Bundesverband Bausoftware's format for sending bars
// to bending machines, as far as its two-dimensional bent bars (BF2D) go:
// one ASCII line a bar mark, opened by the kind ("BF2D@"), then blocks, each
// opened by a capital (H header, G geometry, C checksum) and made of fields,
// a small letter and its value, each closed by '@'. The values are text as
// written, so that a line reads back exactly as it was written.
namespace shop {

struct BvbsField {
    char key = 0;
    QByteArray value;

    bool operator==(const BvbsField&) const = default;
};

struct BvbsRecord {
    QByteArray kind = "BF2D";
    QList<BvbsField> header;   // H: j project, r drawing, i index, p mark, l length, ...
    QList<BvbsField> geometry; // G: each leg's l and the angle w to the next

    bool operator==(const BvbsRecord&) const = default;

    // The first value of `key` in the header, or nothing.
    std::optional<QByteArray> headerValue(char key) const;
};

// The checksum of the text from a line's first character through the C
// of its "@C": 96 less the sum of the character codes modulo 32 (65 to 96).
int bvbsChecksum(QByteArrayView text);

// The whole line: the record, its checksum block and the closing '@',
// without a line end.
QByteArray bvbsLine(const BvbsRecord& record);

// Lines end in CR LF, as the shop's Windows computers expect.
inline constexpr char kBvbsLineEnd[] = "\r\n";

struct ReadBvbsLine {
    std::optional<BvbsRecord> record;
    QString error; // why the line was refused, in Chinese
};
// Reads one line (without its line end): only ASCII, the blocks in order,
// a checksum block last with the right sum, closed by '@'.
ReadBvbsLine readBvbsLine(QByteArrayView line);

struct ReadBvbsFile {
    QList<BvbsRecord> records;
    QStringList errors; // "第 n 行：reason", one for each line refused
};
// Every line of a file, CR LF or LF; blank lines are passed over.
ReadBvbsFile readBvbsFile(const QByteArray& bytes);

} // namespace shop
