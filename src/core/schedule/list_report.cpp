#include "core/schedule/list_report.h"

#include "core/schedule/list_file.h"

#include "core/numbers/number_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

namespace schedule {

namespace {

// The rows' JSON as QJsonDocument writes it (keys in order, the shortest
// number that reads back the same, UTF-8), written straight into the text.
struct JsonText {
    QByteArray out;

    void key(const char* name) {
        if (!out.endsWith('{'))
            out += ',';
        out += '"';
        out += name;
        out += "\":";
    }
    void number(double v) {
        // Whole numbers as integers, as QJsonValue keeps them.
        if (std::isfinite(v) && v == std::floor(v) && std::abs(v) < 9007199254740992.0)
            out += QByteArray::number(static_cast<qint64>(v));
        else if (std::isfinite(v))
            out += QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
        else
            out += "null";
    }
    void text(const QString& v) {
        out += '"';
        for (const char c : v.toUtf8()) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    const char* hex = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[(c >> 4) & 0xf];
                    out += hex[c & 0xf];
                } else {
                    out += c;
                }
            }
        }
        out += '"';
    }
    void field(const char* name, double v) {
        key(name);
        number(v);
    }
    void field(const char* name, const QString& v) {
        key(name);
        text(v);
    }
    void null(const char* name) {
        key(name);
        out += "null";
    }
};

// One row of the report. What says which bar it is (mark, shape, grade,
// diameter, dimensions) is what barRowJson() writes into the file.
void writeRow(JsonText& json, const Member& member, const BarRow& row, const RowResult& result) {
    json.out += '{';
    const bool ok = !result.problem;
    if (ok)
        json.field("barMass", result.barMass);
    if (ok)
        json.field("count", static_cast<double>(result.bars));
    else
        json.null("count");
    if (ok)
        json.field("cutLength", result.cutLength);
    json.field("diameter", row.diameter);
    json.key("dimensions");
    json.out += '{';
    for (auto it = row.dimensions.constBegin(); it != row.dimensions.constEnd(); ++it)
        json.field(it.key().toUtf8().constData(), it.value());
    json.out += '}';
    if (ok)
        json.field("exactCutLength", result.exactCutLength);
    json.field("grade", codes::gradeName(row.grade));
    if (ok)
        json.field("mandrel", result.mandrel);
    else if (row.mandrel)
        json.field("mandrel", *row.mandrel);
    else
        json.null("mandrel");
    json.field("mark", row.mark);
    json.field("member", member.name);
    json.field("members", member.count);
    json.field("perMember", row.countPerMember);
    if (ok)
        json.null("problem");
    else
        json.field("problem", result.problem->reason);
    json.field("shape", shapeInfo(row.shape).code);
    if (ok) {
        json.field("totalLength", result.totalLength);
        json.field("totalMass", result.totalMass);
        json.field("unitMass", result.unitMass);
    }
    json.out += '}';
}

} // namespace

QByteArray listReportJson(const CuttingList& list, const ComputedList& computed) {
    // The rows are written one by one into the text: a document holding a
    // whole list of a hundred thousand rows as JSON values takes gigabytes.
    JsonText rows;
    rows.out += '[';
    bool first = true;
    for (qsizetype m = 0; m < list.members.size(); ++m) {
        const Member& member = list.members[m];
        for (qsizetype r = 0; r < member.rows.size(); ++r) {
            if (!first)
                rows.out += ',';
            first = false;
            writeRow(rows, member, member.rows[r], computed.results.value(m).value(r));
        }
    }
    rows.out += ']';
    QJsonArray summary;
    for (const SummaryLine& s : computed.summary) {
        QJsonObject o;
        o.insert(QStringLiteral("grade"), codes::gradeName(s.grade));
        o.insert(QStringLiteral("diameter"), s.diameter);
        o.insert(QStringLiteral("count"), s.bars);
        o.insert(QStringLiteral("totalLength"), s.totalLength);
        o.insert(QStringLiteral("totalMass"), s.totalMass);
        summary.append(o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("rows"), QJsonArray());
    root.insert(QStringLiteral("summary"), summary);
    root.insert(QStringLiteral("count"), computed.bars);
    root.insert(QStringLiteral("totalLength"), computed.totalLength);
    root.insert(QStringLiteral("totalMass"), computed.totalMass);
    root.insert(QStringLiteral("rowsLeftOut"), computed.rowsLeftOut);
    root.insert(QStringLiteral("seismic"), list.settings.seismic);
    root.insert(QStringLiteral("rounding"), static_cast<int>(list.settings.rounding));
    // The rows go where the empty array stands; keys are in order, and only
    // numbers come before it, so the first "rows" is the one.
    QByteArray out = QJsonDocument(root).toJson(QJsonDocument::Compact);
    const QByteArray empty("\"rows\":[]");
    const qsizetype at = out.indexOf(empty);
    out.replace(at + empty.size() - 2, 2, rows.out);
    return out;
}

QString listReportText(const CuttingList& list, const ComputedList& computed) {
    const auto fixed = [](double v, int decimals) { return QString::number(v, 'f', decimals); };
    QStringList lines;
    lines << QStringLiteral("构件\t编号\t形状\t牌号\t直径\t尺寸\t下料长度(mm)\t根数\t总长(m)\t"
                            "总质量(kg)");
    for (qsizetype m = 0; m < list.members.size(); ++m) {
        const Member& member = list.members[m];
        const QString memberName = member.count == 1
                                       ? member.name
                                       : QStringLiteral("%1×%2").arg(member.name).arg(member.count);
        for (qsizetype r = 0; r < member.rows.size(); ++r) {
            const BarRow& row = member.rows[r];
            const RowResult& result = computed.results.value(m).value(r);
            QStringList dims;
            for (auto it = row.dimensions.constBegin(); it != row.dimensions.constEnd(); ++it)
                dims << it.key() + QLatin1Char('=') + numbers::generalNumberText(it.value());
            QStringList cells{memberName,
                              row.mark,
                              shapeInfo(row.shape).code,
                              codes::gradeName(row.grade),
                              QString::number(row.diameter),
                              dims.join(QLatin1Char(' '))};
            if (result.problem)
                cells << QStringLiteral("问题：%1").arg(result.problem->reason);
            else
                cells << fixed(result.cutLength, 0) << QString::number(result.bars)
                      << fixed(result.totalLength, 3) << fixed(result.totalMass, 2);
            lines << cells.join(QLatin1Char('\t'));
        }
    }
    lines << QString() << QStringLiteral("牌号\t直径\t根数\t总长(m)\t总质量(kg)\t总质量(t)");
    for (const SummaryLine& s : computed.summary)
        lines << QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
                     .arg(codes::gradeName(s.grade))
                     .arg(s.diameter)
                     .arg(s.bars)
                     .arg(fixed(s.totalLength, 3), fixed(s.totalMass, 2),
                          fixed(s.totalMass / 1000, 3));
    lines << QStringLiteral("合计\t\t%1\t%2\t%3\t%4")
                 .arg(computed.bars)
                 .arg(fixed(computed.totalLength, 3), fixed(computed.totalMass, 2),
                      fixed(computed.totalMass / 1000, 3));
    if (computed.rowsLeftOut > 0)
        lines << QStringLiteral("%1 行有问题，未计入合计").arg(computed.rowsLeftOut);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace schedule
