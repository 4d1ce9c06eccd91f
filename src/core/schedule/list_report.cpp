#include "core/schedule/list_report.h"

#include "core/schedule/list_file.h"

#include "core/numbers/number_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace schedule {

QByteArray listReportJson(const CuttingList& list, const ComputedList& computed) {
    QJsonArray rows;
    for (qsizetype m = 0; m < list.members.size(); ++m) {
        const Member& member = list.members[m];
        for (qsizetype r = 0; r < member.rows.size(); ++r) {
            const BarRow& row = member.rows[r];
            const RowResult& result = computed.results.value(m).value(r);
            QJsonObject o = barRowJson(row);
            o.insert(QStringLiteral("member"), member.name);
            o.insert(QStringLiteral("members"), member.count);
            o.insert(QStringLiteral("perMember"), row.countPerMember);
            if (result.problem) {
                o.insert(QStringLiteral("mandrel"),
                         row.mandrel ? QJsonValue(*row.mandrel) : QJsonValue());
                o.insert(QStringLiteral("count"), QJsonValue());
                o.insert(QStringLiteral("problem"), result.problem->reason);
            } else {
                o.insert(QStringLiteral("mandrel"), result.mandrel);
                o.insert(QStringLiteral("count"), result.bars);
                o.insert(QStringLiteral("exactCutLength"), result.exactCutLength);
                o.insert(QStringLiteral("cutLength"), result.cutLength);
                o.insert(QStringLiteral("unitMass"), result.unitMass);
                o.insert(QStringLiteral("barMass"), result.barMass);
                o.insert(QStringLiteral("totalLength"), result.totalLength);
                o.insert(QStringLiteral("totalMass"), result.totalMass);
                o.insert(QStringLiteral("problem"), QJsonValue());
            }
            rows.append(o);
        }
    }
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
    root.insert(QStringLiteral("rows"), rows);
    root.insert(QStringLiteral("summary"), summary);
    root.insert(QStringLiteral("count"), computed.bars);
    root.insert(QStringLiteral("totalLength"), computed.totalLength);
    root.insert(QStringLiteral("totalMass"), computed.totalMass);
    root.insert(QStringLiteral("rowsLeftOut"), computed.rowsLeftOut);
    root.insert(QStringLiteral("seismic"), list.settings.seismic);
    root.insert(QStringLiteral("rounding"), static_cast<int>(list.settings.rounding));
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
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
