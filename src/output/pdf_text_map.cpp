#include "output/pdf_text_map.h"

#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QString>

#include <algorithm>

namespace output {

namespace {

// Radicals of the CJK Radicals Supplement that Simplified-Chinese fonts draw
// with an ideograph's glyph (Noto Sans CJK SC, Microsoft YaHei), and the
// ideograph. The Kangxi radicals (U+2F00 to U+2FD5) decompose to theirs.
constexpr std::pair<char32_t, char32_t> kRadicals[] = {
    {0x2E82, 0x4E5B},
    {0x2E83, 0x4E5A},
    {0x2E85, 0x4EBB},
    {0x2E89, 0x5202},
    {0x2E8F, 0x5C23},
    {0x2E90, 0x5C22},
    {0x2E92, 0x5DF3},
    {0x2E93, 0x5E7A},
    {0x2E94, 0x5F51},
    {0x2E95, 0x5F50},
    {0x2E96, 0x5FC4},
    {0x2E98, 0x624C},
    {0x2E99, 0x6535},
    {0x2E9B, 0x65E1},
    {0x2E9E, 0x6B7A},
    {0x2E9F, 0x6BCD},
    {0x2EA0, 0x6C11},
    {0x2EA1, 0x6C35},
    {0x2EA3, 0x706C},
    {0x2EA4, 0x722B},
    {0x2EA6, 0x4E2C},
    {0x2EA8, 0x72AD},
    {0x2EAD, 0x793B},
    {0x2EAF, 0x7CF9},
    {0x2EB0, 0x7E9F},
    {0x2EB1, 0x7F53},
    {0x2EB9, 0x8002},
    {0x2EBA, 0x8080},
    {0x2EBE, 0x8279},
    {0x2EC2, 0x8864},
    {0x2EC5, 0x89C1},
    {0x2EC6, 0x89D2},
    {0x2EC8, 0x8BA0},
    {0x2EC9, 0x8D1D},
    {0x2ECB, 0x8F66},
    {0x2ECC, 0x8FB6},
    {0x2ED0, 0x9485},
    {0x2ED1, 0x9577},
    {0x2ED2, 0x9578},
    {0x2ED3, 0x957F},
    {0x2ED4, 0x95E8},
    {0x2ED6, 0x961D},
    {0x2ED8, 0x9752},
    {0x2ED9, 0x97E6},
    {0x2EDA, 0x9875},
    {0x2EDB, 0x98CE},
    {0x2EDC, 0x98DE},
    {0x2EDD, 0x98DF},
    {0x2EDF, 0x98E0},
    {0x2EE0, 0x9963},
    {0x2EE2, 0x9A6C},
    {0x2EE3, 0x9AA8},
    {0x2EE4, 0x9B3C},
    {0x2EE5, 0x9C7C},
    {0x2EE6, 0x9E1F},
    {0x2EE7, 0x5364},
    {0x2EE8, 0x9EA6},
    {0x2EE9, 0x9EC4},
    {0x2EEA, 0x9EFE},
    {0x2EEB, 0x6589},
    {0x2EEC, 0x9F50},
    {0x2EEE, 0x9F7F},
    {0x2EEF, 0x7ADC},
    {0x2EF0, 0x9F99},
    {0x2EF1, 0x9F9C},
    {0x2EF2, 0x4E80},
    {0x2EF3, 0x9F9F},
    // 户 rather than the traditional 戶 that the radical decomposes to.
    {0x2F3E, 0x6237},
};

QByteArray hex4(char32_t c) {
    return QByteArray::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, '0');
}

// The destination of a map entry, as hex text, made readable where it is
// one UTF-16 unit.
QByteArray readableHex(const QByteArray& hex) {
    if (hex.size() != 4)
        return hex;
    bool ok = false;
    const char32_t c = hex.toUInt(&ok, 16);
    return ok ? hex4(readableCharacter(c)) : hex;
}

// One ToUnicode CMap with every destination made readable, written back
// as single-glyph entries; nothing when it is not laid out as expected.
std::optional<QByteArray> mendedCmap(const QByteArray& cmap) {
    const qsizetype bodyStart = cmap.indexOf("endcodespacerange");
    const qsizetype bodyEnd = cmap.indexOf("endcmap");
    if (bodyStart < 0 || bodyEnd < bodyStart)
        return std::nullopt;
    const qsizetype afterSpace = bodyStart + qstrlen("endcodespacerange");
    const QByteArray body = cmap.mid(afterSpace, bodyEnd - afterSpace);

    QList<std::pair<uint, QByteArray>> entries; // glyph code → destination hex
    static const QRegularExpression range(QStringLiteral(
        "<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(<([0-9A-Fa-f]+)>|\\[([^\\]]*)\\])"));
    static const QRegularExpression single(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    static const QRegularExpression token(QStringLiteral("<([0-9A-Fa-f]+)>"));
    const QString text = QString::fromLatin1(body);
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype rangeAt = text.indexOf(QLatin1String("beginbfrange"), at);
        const qsizetype charAt = text.indexOf(QLatin1String("beginbfchar"), at);
        if (rangeAt < 0 && charAt < 0)
            break;
        const bool isRange = rangeAt >= 0 && (charAt < 0 || rangeAt < charAt);
        const qsizetype start = isRange ? rangeAt : charAt;
        const QString end = isRange ? QStringLiteral("endbfrange") : QStringLiteral("endbfchar");
        const qsizetype stop = text.indexOf(end, start);
        if (stop < 0)
            return std::nullopt;
        const QString block = text.mid(start, stop - start);
        if (isRange) {
            for (auto m = range.globalMatch(block); m.hasNext();) {
                const QRegularExpressionMatch r = m.next();
                const uint lo = r.captured(1).toUInt(nullptr, 16);
                const uint hi = r.captured(2).toUInt(nullptr, 16);
                if (hi < lo || hi - lo > 0xFFFF)
                    return std::nullopt;
                if (!r.captured(4).isEmpty()) {
                    // <lo> <hi> <dst>: consecutive characters.
                    const uint first = r.captured(4).toUInt(nullptr, 16);
                    for (uint g = lo; g <= hi; ++g)
                        entries << std::pair{g, hex4(first + (g - lo))};
                } else {
                    uint g = lo;
                    for (auto t = token.globalMatch(r.captured(5)); t.hasNext() && g <= hi; ++g)
                        entries << std::pair{g, t.next().captured(1).toLatin1()};
                }
            }
        } else {
            for (auto m = single.globalMatch(block); m.hasNext();) {
                const QRegularExpressionMatch r = m.next();
                entries << std::pair{r.captured(1).toUInt(nullptr, 16), r.captured(2).toLatin1()};
            }
        }
        at = stop + end.size();
    }

    QByteArray out = cmap.left(afterSpace) + '\n';
    for (qsizetype i = 0; i < entries.size(); i += 100) {
        const qsizetype n = std::min<qsizetype>(100, entries.size() - i);
        out += QByteArray::number(n) + " beginbfchar\n";
        for (qsizetype k = i; k < i + n; ++k)
            out += '<' + hex4(entries[k].first) + "> <" + readableHex(entries[k].second) + ">\n";
        out += "endbfchar\n";
    }
    out += cmap.mid(bodyEnd);
    return out;
}

struct Replacement {
    qsizetype start = 0; // of the object's bytes
    qsizetype end = 0;
    QByteArray bytes;
};

} // namespace

char32_t readableCharacter(char32_t c) {
    if (c < 0x20 || c == 0x7F)
        return 0x20;
    for (const auto& [radical, ideograph] : kRadicals)
        if (radical == c)
            return ideograph;
    if (c >= 0x2F00 && c <= 0x2FD5) {
        const QString decomposed =
            QString(QChar(static_cast<char16_t>(c))).normalized(QString::NormalizationForm_KC);
        if (decomposed.size() == 1)
            return decomposed.front().unicode();
    }
    return c;
}

QByteArray withSearchableText(const QByteArray& pdf) {
    // The cross-reference table: where each object starts.
    const qsizetype xref = pdf.lastIndexOf("\nxref\n");
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (xref < 0 || startxref < xref)
        return pdf;
    const qsizetype tableStart = xref + 6;
    const qsizetype headerEnd = pdf.indexOf('\n', tableStart);
    const QList<QByteArray> header = pdf.mid(tableStart, headerEnd - tableStart).split(' ');
    if (header.size() != 2 || header[0] != "0")
        return pdf;
    const int count = header[1].trimmed().toInt();
    QList<qsizetype> offsets;
    for (int i = 0; i < count; ++i) {
        const QByteArray entry = pdf.mid(headerEnd + 1 + i * 20, 20);
        if (entry.size() != 20)
            return pdf;
        offsets << entry.left(10).toLongLong();
    }
    QList<qsizetype> starts = offsets;
    starts << xref + 1;
    std::sort(starts.begin(), starts.end());

    QList<Replacement> replacements;
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode (\\d+) 0 R"));
    QList<int> seen;
    for (auto m = toUnicode.globalMatch(QString::fromLatin1(pdf.left(xref))); m.hasNext();) {
        const int object = m.next().captured(1).toInt();
        if (object <= 0 || object >= count || seen.contains(object))
            continue;
        seen << object;
        const qsizetype start = offsets[object];
        const qsizetype end = *std::upper_bound(starts.begin(), starts.end(), start);
        const QByteArray bytes = pdf.mid(start, end - start);
        const qsizetype streamAt = bytes.indexOf("stream\n");
        const qsizetype streamEnd = bytes.lastIndexOf("endstream");
        if (!bytes.startsWith(QByteArray::number(object) + " 0 obj") || streamAt < 0 ||
            streamEnd < streamAt || bytes.left(streamAt).contains("/Filter"))
            return pdf;
        QByteArray cmap = bytes.mid(streamAt + 7, streamEnd - streamAt - 7);
        const std::optional<QByteArray> mended = mendedCmap(cmap);
        if (!mended)
            return pdf;
        replacements << Replacement{start, end,
                                    QByteArray::number(object) + " 0 obj\n<< /Length " +
                                        QByteArray::number(mended->size()) + " >>\nstream\n" +
                                        *mended + "endstream\nendobj\n"};
    }
    if (replacements.isEmpty())
        return pdf;
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& a, const Replacement& b) { return a.start < b.start; });

    // The objects as they were but for the maps, and a table of where each
    // now starts.
    QByteArray out;
    out.reserve(pdf.size() + 4096);
    qsizetype copied = 0;
    for (const Replacement& r : replacements) {
        out += pdf.mid(copied, r.start - copied);
        out += r.bytes;
        copied = r.end;
    }
    out += pdf.mid(copied, xref + 1 - copied);
    const auto moved = [&](qsizetype offset) {
        qsizetype shift = 0;
        for (const Replacement& r : replacements)
            if (r.end <= offset)
                shift += r.bytes.size() - (r.end - r.start);
        return offset + shift;
    };
    const qsizetype newXref = out.size();
    out += "xref\n0 " + QByteArray::number(count) + '\n';
    for (int i = 0; i < count; ++i) {
        const QByteArray entry = pdf.mid(headerEnd + 1 + i * 20, 20);
        out += i == 0
                   ? entry
                   : QByteArray::number(moved(offsets[i])).rightJustified(10, '0') + entry.mid(10);
    }
    out += pdf.mid(headerEnd + 1 + count * 20, startxref - (headerEnd + 1 + count * 20));
    out += "startxref\n" + QByteArray::number(newXref) + "\n%%EOF\n";
    return out;
}

} // namespace output
