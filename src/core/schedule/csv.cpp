#include "core/schedule/csv.h"

#include "core/schedule/csv_records.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <QHash>
#include <QStringDecoder>

#include <cmath>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace schedule {

namespace {

// The columns of a bar row, as the file, the CSV and the command line name
// them, with the headers a Chinese spreadsheet may give them instead.
enum class Column {
    Member,
    Members,
    Mark,
    Shape,
    Grade,
    Diameter,
    Letter,
    Mandrel,
    Count,
    Note,
    Ignored
};

struct HeaderName {
    const char* header;
    Column column;
    const char* letter;
};

constexpr HeaderName kHeaders[] = {
    {"member", Column::Member, nullptr},
    {"构件", Column::Member, nullptr},
    {"构件名称", Column::Member, nullptr},
    {"构件名", Column::Member, nullptr},
    {"members", Column::Members, nullptr},
    {"构件数", Column::Members, nullptr},
    {"构件数量", Column::Members, nullptr},
    {"件数", Column::Members, nullptr},
    {"mark", Column::Mark, nullptr},
    {"编号", Column::Mark, nullptr},
    {"钢筋编号", Column::Mark, nullptr},
    {"shape", Column::Shape, nullptr},
    {"形状", Column::Shape, nullptr},
    {"钢筋形状", Column::Shape, nullptr},
    {"grade", Column::Grade, nullptr},
    {"牌号", Column::Grade, nullptr},
    {"钢筋牌号", Column::Grade, nullptr},
    {"级别", Column::Grade, nullptr},
    {"diameter", Column::Diameter, nullptr},
    {"直径", Column::Diameter, nullptr},
    {"钢筋直径", Column::Diameter, nullptr},
    {"a", Column::Letter, "A"},
    {"b", Column::Letter, "B"},
    {"c", Column::Letter, "C"},
    {"d", Column::Letter, "D"},
    {"e", Column::Letter, "E"},
    {"angle", Column::Letter, "angle"},
    {"角度", Column::Letter, "angle"},
    {"弯起角度", Column::Letter, "angle"},
    {"lap", Column::Letter, "lap"},
    {"搭接", Column::Letter, "lap"},
    {"搭接长度", Column::Letter, "lap"},
    {"p", Column::Letter, "P"},
    {"螺距", Column::Letter, "P"},
    {"h", Column::Letter, "H"},
    {"高度", Column::Letter, "H"},
    {"n", Column::Letter, "N"},
    {"端部平圈", Column::Letter, "N"},
    {"端部平圈数", Column::Letter, "N"},
    {"mandrel", Column::Mandrel, nullptr},
    {"弯曲直径", Column::Mandrel, nullptr},
    {"弯心直径", Column::Mandrel, nullptr},
    {"count", Column::Count, nullptr},
    {"每构件根数", Column::Count, nullptr},
    {"根数", Column::Count, nullptr},
    {"note", Column::Note, nullptr},
    {"备注", Column::Note, nullptr},
};

const QStringList kLetters{QStringLiteral("A"),   QStringLiteral("B"), QStringLiteral("C"),
                           QStringLiteral("D"),   QStringLiteral("E"), QStringLiteral("angle"),
                           QStringLiteral("lap"), QStringLiteral("P"), QStringLiteral("H"),
                           QStringLiteral("N")};

const QString kSummaryMarker = QStringLiteral("汇总");

// A header without its unit: "直径(mm)", "直径（mm）" and " Diameter " all read "直径"/"diameter".
QString headerKey(QString header) {
    header = header.trimmed();
    for (const QChar open : {QChar(u'('), QChar(u'（'), QChar(u'[')}) {
        const qsizetype at = header.indexOf(open);
        if (at > 0)
            header.truncate(at);
    }
    return header.trimmed().toLower();
}

// A spreadsheet evaluates a cell that starts with one of these.
bool looksLikeFormula(const QString& text) {
    return !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front());
}

QString csvCell(QString text) {
    if (looksLikeFormula(text))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\""), QLatin1String("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QString number(double value) {
    return numbers::generalNumberText(value);
}

bool blank(const CsvRecord& r) {
    if (!r.problem.isEmpty())
        return false;
    for (const QString& cell : r.cells)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

// A text cell as it was meant: the apostrophe that kept a formula-like text
// from being evaluated is not part of it.
QString textCell(const QString& cell) {
    const QString t = cell.trimmed();
    if (t.size() > 1 && t.front() == QLatin1Char('\'') && looksLikeFormula(t.mid(1)))
        return t.mid(1);
    return t;
}

} // namespace

QString decodeSpreadsheetText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    // Excel's "Unicode text": UTF-16, little-endian on Windows, with its mark.
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
#ifdef Q_OS_WIN
    // Windows converts GB18030 itself (code page 54936); the toolkit has no
    // tables of its own for it there. Where 54936 is missing (Wine), GBK
    // (936) covers every character Chinese Excel writes in two bytes.
    for (const UINT codePage : {UINT(54936), UINT(936)}) {
        const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.constData(),
                                             int(bytes.size()), nullptr, 0);
        if (size <= 0)
            continue;
        std::wstring wide(size_t(size), L'\0');
        MultiByteToWideChar(codePage, 0, bytes.constData(), int(bytes.size()), wide.data(), size);
        return QString::fromWCharArray(wide.data(), size);
    }
#else
    QStringDecoder gb18030("GB18030");
    if (gb18030.isValid())
        return gb18030(bytes);
#endif
    return QString::fromLocal8Bit(bytes);
}

QByteArray exportCsv(const CuttingList& list, const ComputedList& computed) {
    QStringList lines;
    lines << QStringLiteral("构件,构件数,编号,形状,牌号,直径(mm),A,B,C,D,E,angle,lap,P,H,N,"
                            "弯曲直径(mm),每构件根数,备注,下料长度(mm),单位质量(kg/m),单根质量(kg),"
                            "总根数,总长(m),总质量(kg),问题");
    for (qsizetype m = 0; m < list.members.size(); ++m) {
        const Member& member = list.members[m];
        for (qsizetype r = 0; r < member.rows.size(); ++r) {
            const BarRow& row = member.rows[r];
            const RowResult& result = computed.results.value(m).value(r);
            QStringList cells{csvCell(member.name),
                              QString::number(member.count),
                              csvCell(row.mark),
                              shapeInfo(row.shape).code,
                              codes::gradeName(row.grade),
                              row.diameter > 0 ? QString::number(row.diameter) : QString()};
            for (const QString& letter : kLetters)
                cells << (row.dimensions.contains(letter) ? number(row.dimensions.value(letter))
                                                          : QString());
            cells << (row.mandrel ? number(*row.mandrel) : QString())
                  << QString::number(row.countPerMember) << csvCell(row.note);
            if (result.problem) {
                cells << QString() << QString() << QString() << QString() << QString() << QString()
                      << csvCell(result.problem->reason);
            } else {
                cells << number(result.cutLength) << number(result.unitMass)
                      << number(result.barMass) << QString::number(result.bars)
                      << number(result.totalLength) << number(result.totalMass) << QString();
            }
            lines << cells.join(QLatin1Char(','));
        }
    }
    lines << QString();
    lines << kSummaryMarker + QStringLiteral(",牌号,直径(mm),根数,总长(m),总质量(kg),总质量(t)");
    for (const SummaryLine& s : computed.summary)
        lines << QStringLiteral(",%1,%2,%3,%4,%5,%6")
                     .arg(codes::gradeName(s.grade))
                     .arg(s.diameter)
                     .arg(s.bars)
                     .arg(number(s.totalLength), number(s.totalMass), number(s.totalMass / 1000));
    lines << QStringLiteral("合计,,,%1,%2,%3,%4")
                 .arg(computed.bars)
                 .arg(number(computed.totalLength), number(computed.totalMass),
                      number(computed.totalMass / 1000));
    if (computed.rowsLeftOut > 0)
        lines << QStringLiteral("未计入,%1 行有问题，未计入合计").arg(computed.rowsLeftOut);
    QByteArray bytes("\xEF\xBB\xBF");
    bytes += lines.join(QStringLiteral("\r\n")).toUtf8();
    bytes += "\r\n";
    return bytes;
}

CsvImport importCsv(const QByteArray& bytes) {
    CsvImport out;
    const QString text = decodeSpreadsheetText(bytes);
    // Which column holds what, by header.
    struct Place {
        Column column = Column::Ignored;
        QString letter;
    };
    QList<Place> places;
    const auto takeHeader = [&](const CsvRecord& record) {
        if (!record.problem.isEmpty()) {
            out.error = QStringLiteral("第 %1 行的表头：%2").arg(record.line).arg(record.problem);
            return false;
        }
        bool hasShape = false, hasDiameter = false, hasCount = false;
        for (const QString& header : record.cells) {
            Place place;
            const QString key = headerKey(header);
            for (const HeaderName& h : kHeaders) {
                if (key == QString::fromUtf8(h.header)) {
                    place.column = h.column;
                    if (h.letter)
                        place.letter = QString::fromLatin1(h.letter);
                    break;
                }
            }
            hasShape |= place.column == Column::Shape;
            hasDiameter |= place.column == Column::Diameter;
            hasCount |= place.column == Column::Count;
            places << place;
        }
        if (!hasShape || !hasDiameter || !hasCount) {
            QStringList missing;
            if (!hasShape)
                missing << QStringLiteral("shape/形状");
            if (!hasDiameter)
                missing << QStringLiteral("diameter/直径");
            if (!hasCount)
                missing << QStringLiteral("count/每构件根数");
            out.error = QStringLiteral("第 %1 行的表头缺少这些列：%2")
                            .arg(record.line)
                            .arg(missing.join(QStringLiteral("、")));
            return false;
        }
        return true;
    };
    QHash<QString, qsizetype> memberAt;
    const auto takeRow = [&](const CsvRecord& record) {
        if (!record.problem.isEmpty()) {
            out.problems << CsvProblem{record.line, record.problem};
            return true;
        }
        if (blank(record))
            return true;
        if (record.cells.value(0).trimmed() == kSummaryMarker &&
            record.cells.value(1).trimmed() == QStringLiteral("牌号"))
            return false; // what follows is our own export's summary
        QString memberName;
        int memberCount = 1;
        BarRow row;
        QString bad;
        bool shapeGiven = false;
        for (qsizetype c = 0; c < places.size() && bad.isEmpty(); ++c) {
            const QString cell = record.cells.value(c).trimmed();
            const Place& place = places[c];
            if (cell.isEmpty() || place.column == Column::Ignored)
                continue;
            const auto numberIn = [&](const QString& what) -> std::optional<double> {
                const std::optional<double> v = numbers::strictNumber(cell);
                if (!v)
                    bad = QStringLiteral("%1“%2”不是数值").arg(what, cell);
                return v;
            };
            const auto wholeIn = [&](const QString& what) -> std::optional<int> {
                const std::optional<double> v = numberIn(what);
                if (v && (*v != std::floor(*v) || std::abs(*v) > 1e9)) {
                    bad = QStringLiteral("%1“%2”不是整数").arg(what, cell);
                    return std::nullopt;
                }
                return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
            };
            switch (place.column) {
            case Column::Member:
                memberName = textCell(cell);
                break;
            case Column::Members:
                if (const auto v = wholeIn(QStringLiteral("构件数")))
                    memberCount = *v;
                break;
            case Column::Mark:
                row.mark = textCell(cell);
                break;
            case Column::Shape: {
                std::optional<Shape> s = shapeFromCode(cell);
                for (const ShapeInfo& info : shapes())
                    if (!s && info.name == cell)
                        s = info.shape;
                if (!s)
                    bad = QStringLiteral("未知的形状“%1”").arg(cell);
                else
                    row.shape = *s;
                shapeGiven = true;
                break;
            }
            case Column::Grade:
                if (const auto g = codes::gradeFromName(cell))
                    row.grade = *g;
                else
                    bad = QStringLiteral("未知的牌号“%1”").arg(cell);
                break;
            case Column::Diameter:
                if (const auto v = wholeIn(QStringLiteral("直径")))
                    row.diameter = *v;
                break;
            case Column::Letter:
                if (const auto v = numberIn(place.letter))
                    row.dimensions.insert(place.letter, *v);
                break;
            case Column::Mandrel:
                if (const auto v = numberIn(QStringLiteral("弯曲直径")))
                    row.mandrel = *v;
                break;
            case Column::Count:
                if (const auto v = wholeIn(QStringLiteral("根数")))
                    row.countPerMember = *v;
                break;
            case Column::Note:
                row.note = textCell(cell);
                break;
            case Column::Ignored:
                break;
            }
        }
        if (bad.isEmpty() && !shapeGiven)
            bad = QStringLiteral("未填形状");
        if (bad.isEmpty()) {
            // Letters the shape has no use for are other shapes' columns.
            const QStringList& letters = shapeInfo(row.shape).letters;
            for (const QString& key : row.dimensions.keys())
                if (!letters.contains(key))
                    row.dimensions.remove(key);
        }
        if (!bad.isEmpty()) {
            out.problems << CsvProblem{record.line, bad};
            return true;
        }
        const QString key = memberName + QLatin1Char('\x1f') + QString::number(memberCount);
        auto it = memberAt.constFind(key);
        if (it == memberAt.constEnd()) {
            it = memberAt.insert(key, out.list.members.size());
            out.list.members << Member{memberName, memberCount, {}};
        }
        out.list.members[*it].rows << row;
        ++out.rowsRead;
        return true;
    };
    // Record by record: a sheet of a hundred thousand rows is not held
    // twice, once as cells and once as the list.
    bool haveHeader = false;
    readCsvRecords(text, csvSeparator(text), [&](const CsvRecord& record) {
        if (haveHeader)
            return takeRow(record);
        if (blank(record))
            return true;
        haveHeader = true;
        return takeHeader(record);
    });
    if (!haveHeader)
        out.error = QStringLiteral("文件是空的");
    return out;
}

} // namespace schedule
