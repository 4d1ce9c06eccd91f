#include "list_module/column_command.h"

#include "core/members/column_bars.h"
#include "core/numbers/number_text.h"
#include "core/schedule/computation.h"
#include "core/schedule/list_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace cli {

namespace {

// A column file is a few kilobytes; anything far larger is not one.
constexpr qint64 kLargestFile = 1024 * 1024;

ListOutput refuse(const QString& why) {
    ListOutput out;
    out.status = 1;
    out.errors << QStringLiteral("corvala: %1").arg(why);
    return out;
}

QString dimensionsText(const schedule::BarRow& row) {
    QStringList dims;
    for (auto it = row.dimensions.constBegin(); it != row.dimensions.constEnd(); ++it)
        dims << it.key() + QLatin1Char('=') + numbers::generalNumberText(it.value());
    return dims.join(QLatin1Char(' '));
}

} // namespace

ListOutput answerColumn(const QString& file, bool json) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("无法读取“%1”：%2").arg(file, f.errorString()));
    if (f.size() > kLargestFile)
        return refuse(QStringLiteral("“%1”过大，不是柱的文件").arg(file));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(QStringLiteral("“%1”不是 JSON 对象（第 %2 个字节：%3）")
                          .arg(file)
                          .arg(error.offset)
                          .arg(error.errorString()));
    const members::ColumnRead read = members::columnFromJson(doc.object());
    if (!read.column)
        return refuse(QStringLiteral("%1：%2").arg(file, read.error));
    const members::ColumnBars bars = members::detailColumn(*read.column);
    QStringList problems;
    for (const members::ColumnProblem& p : bars.problems)
        problems << QStringLiteral("%1：%2").arg(p.where, p.reason);
    if (bars.rows.isEmpty()) {
        ListOutput reply = refuse(QStringLiteral("%1：无法翻样").arg(file));
        reply.errors << problems;
        return reply;
    }
    // Stirrup hooks of seismic members end in max(10d, 75).
    schedule::ListSettings settings;
    settings.seismic = read.column->seismic != codes::SeismicGrade::None;
    settings.concrete = read.column->concrete;
    settings.seismicGrade = read.column->seismic;

    if (json) {
        QJsonArray rows;
        for (const members::ColumnRow& r : bars.rows) {
            const schedule::RowResult result = schedule::computeRow(r.bar, 1, settings);
            QJsonObject o = schedule::barRowJson(r.bar);
            o.insert(QStringLiteral("member"), bars.name);
            o.insert(QStringLiteral("members"), 1);
            o.insert(QStringLiteral("perMember"), r.bar.countPerMember);
            if (result.problem) {
                o.insert(QStringLiteral("mandrel"), QJsonValue());
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
            o.insert(QStringLiteral("role"), r.role);
            o.insert(QStringLiteral("floor"), r.floorName);
            o.insert(QStringLiteral("budgetLength"), r.budgetLength);
            o.insert(QStringLiteral("derivation"), r.derivation);
            if (r.place)
                o.insert(QStringLiteral("place"),
                         QJsonObject{{QStringLiteral("z0"), r.place->z0},
                                     {QStringLiteral("z1"), r.place->z1},
                                     {QStringLiteral("highBatch"), r.place->highBatch},
                                     {QStringLiteral("lapAbove"), r.place->lapAbove}});
            rows.append(o);
        }
        QJsonArray problemList;
        for (const members::ColumnProblem& p : bars.problems)
            problemList.append(QJsonObject{{QStringLiteral("where"), p.where},
                                           {QStringLiteral("reason"), p.reason}});
        QJsonObject root;
        root.insert(QStringLiteral("member"), bars.name);
        root.insert(QStringLiteral("rows"), rows);
        root.insert(QStringLiteral("problems"), problemList);
        ListOutput answer;
        answer.outUtf8 = QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
        return answer;
    }
    QStringList lines;
    lines << QStringLiteral(
        "编号\t钢筋\t楼层\t形状\t牌号\t直径\t尺寸\t下料长度(mm)\t预算长度(mm)\t根数");
    for (const members::ColumnRow& r : bars.rows) {
        const schedule::RowResult result = schedule::computeRow(r.bar, 1, settings);
        lines << QStringList{r.bar.mark,
                             members::columnRoleName(r.role),
                             r.floor < 0 ? r.floorName : r.floorName + QStringLiteral("层"),
                             schedule::shapeInfo(r.bar.shape).code,
                             codes::gradeName(r.bar.grade),
                             QString::number(r.bar.diameter),
                             dimensionsText(r.bar),
                             result.problem ? QStringLiteral("问题：%1").arg(result.problem->reason)
                                            : QString::number(result.cutLength, 'f', 0),
                             QString::number(r.budgetLength, 'f', 0),
                             QString::number(r.bar.countPerMember)}
                     .join(QLatin1Char('\t'));
        lines << QStringLiteral("\t%1").arg(r.derivation);
    }
    if (!problems.isEmpty()) {
        lines << QString() << QStringLiteral("未能翻样：");
        for (const QString& p : problems)
            lines << QStringLiteral("\t%1").arg(p);
    }
    ListOutput answer;
    answer.out = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return answer;
}

} // namespace cli
