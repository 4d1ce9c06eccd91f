#include "list_module/member_answer.h"

#include "core/numbers/number_text.h"
#include "core/schedule/list_file.h"

#include <QFile>

namespace cli::member_answer {

namespace {

// A member's file is a few kilobytes; anything far larger is not one.
constexpr qint64 kLargestFile = 1024 * 1024;

QString dimensionsText(const schedule::BarRow& row) {
    QStringList dims;
    for (auto it = row.dimensions.constBegin(); it != row.dimensions.constEnd(); ++it)
        dims << it.key() + QLatin1Char('=') + numbers::generalNumberText(it.value());
    return dims.join(QLatin1Char(' '));
}

} // namespace

ListOutput refuse(const QString& why) {
    ListOutput out;
    out.status = 1;
    out.errors << QStringLiteral("corvala: %1").arg(why);
    return out;
}

std::optional<QJsonObject> readFile(const QString& file, const QString& what, ListOutput& refusal) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        refusal = refuse(QStringLiteral("无法读取“%1”：%2").arg(file, f.errorString()));
        return std::nullopt;
    }
    if (f.size() > kLargestFile) {
        refusal = refuse(QStringLiteral("“%1”过大，不是%2的文件").arg(file, what));
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        refusal = refuse(QStringLiteral("“%1”不是 JSON 对象（第 %2 个字节：%3）")
                             .arg(file)
                             .arg(error.offset)
                             .arg(error.errorString()));
        return std::nullopt;
    }
    return doc.object();
}

schedule::ListSettings settingsFor(codes::SeismicGrade seismic, int concrete) {
    schedule::ListSettings settings;
    settings.seismic = seismic != codes::SeismicGrade::None;
    settings.concrete = concrete;
    settings.seismicGrade = seismic;
    return settings;
}

QJsonObject rowJson(const schedule::BarRow& bar, const QString& member,
                    const schedule::ListSettings& settings) {
    const schedule::RowResult result = schedule::computeRow(bar, 1, settings);
    QJsonObject o = schedule::barRowJson(bar);
    o.insert(QStringLiteral("member"), member);
    o.insert(QStringLiteral("members"), 1);
    o.insert(QStringLiteral("perMember"), bar.countPerMember);
    if (result.problem) {
        o.insert(QStringLiteral("mandrel"), QJsonValue());
        o.insert(QStringLiteral("count"), QJsonValue());
        o.insert(QStringLiteral("problem"), result.problem->reason);
        return o;
    }
    o.insert(QStringLiteral("mandrel"), result.mandrel);
    o.insert(QStringLiteral("count"), result.bars);
    o.insert(QStringLiteral("exactCutLength"), result.exactCutLength);
    o.insert(QStringLiteral("cutLength"), result.cutLength);
    o.insert(QStringLiteral("unitMass"), result.unitMass);
    o.insert(QStringLiteral("barMass"), result.barMass);
    o.insert(QStringLiteral("totalLength"), result.totalLength);
    o.insert(QStringLiteral("totalMass"), result.totalMass);
    o.insert(QStringLiteral("problem"), QJsonValue());
    return o;
}

QString rowLine(const schedule::BarRow& bar, const QString& role, const QString& where,
                double budgetLength, const schedule::ListSettings& settings) {
    const schedule::RowResult result = schedule::computeRow(bar, 1, settings);
    return QStringList{bar.mark,
                       role,
                       where,
                       schedule::shapeInfo(bar.shape).code,
                       codes::gradeName(bar.grade),
                       QString::number(bar.diameter),
                       dimensionsText(bar),
                       result.problem ? QStringLiteral("问题：%1").arg(result.problem->reason)
                                      : QString::number(result.cutLength, 'f', 0),
                       QString::number(budgetLength, 'f', 0),
                       QString::number(bar.countPerMember)}
        .join(QLatin1Char('\t'));
}

} // namespace cli::member_answer
