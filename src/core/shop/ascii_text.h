#pragma once

#include <QByteArray>
#include <QString>

// Text for machines that read ASCII only, such as the controls of bending
// machines: what has an ASCII form (full-width letters and digits, accented
// letters, ×, 、) is written in it; Chinese is dropped or written in pinyin.
namespace shop {

enum class NonAsciiText {
    // Each run of characters without an ASCII form becomes one '~', so that
    // the shop sees that something stood there ("KL1（边跨）" gives "KL1(~)").
    Drop,
    // Chinese characters of the words member names, project names and
    // notes use (numbers, floors, members, sides, bars) in pinyin, each
    // syllable capitalised ("三号楼" gives "SanHaoLou"); others as with Drop.
    Pinyin,
};

inline constexpr char kDroppedTextMarker = '~';

struct AsciiText {
    QByteArray text;
    bool changed = false; // something was folded, written in pinyin or dropped
};

// Printable ASCII without '@', which separates the fields of a bender file
// and is dropped like any character without an ASCII form; line breaks and
// tabs become spaces; leading and trailing blanks go.
AsciiText asciiText(const QString& text, NonAsciiText mode);

} // namespace shop
