#include "core/schedule/list_file.h"

#include "core/schedule/json_fields.h"
#include "core/schedule/whole_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace schedule {

QJsonObject barRowJson(const BarRow& row) {
    QJsonObject o;
    o.insert(QStringLiteral("mark"), row.mark);
    o.insert(QStringLiteral("shape"), shapeInfo(row.shape).code);
    o.insert(QStringLiteral("grade"), codes::gradeName(row.grade));
    o.insert(QStringLiteral("diameter"), row.diameter);
    QJsonObject dims;
    for (auto it = row.dimensions.constBegin(); it != row.dimensions.constEnd(); ++it)
        dims.insert(it.key(), it.value());
    o.insert(QStringLiteral("dimensions"), dims);
    return o;
}

namespace {

// A list of this many bytes is far beyond any building's; a larger file is
// not ours and is not read into memory.
constexpr qint64 kLargestFile = 256LL * 1024 * 1024;

QJsonObject rowToJson(const BarRow& row) {
    QJsonObject o = barRowJson(row);
    o.insert(QStringLiteral("mandrel"), row.mandrel ? QJsonValue(*row.mandrel) : QJsonValue());
    o.insert(QStringLiteral("count"), row.countPerMember);
    if (!row.note.isEmpty())
        o.insert(QStringLiteral("note"), row.note);
    return o;
}

// Reading fails with the place and the reason; the first failure ends it.
struct Reader : JsonFieldReader {

    bool whole(const QJsonObject& o, const char* key, int& out, const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        const double x = v.toDouble(std::nan(""));
        if (!v.isDouble() || x != std::floor(x) || std::abs(x) > 1e9)
            return fail(where, QStringLiteral("“%1”应为整数").arg(QLatin1String(key)));
        out = static_cast<int>(x);
        return true;
    }

    bool row(const QJsonValue& value, BarRow& row, const QString& where) {
        if (!value.isObject())
            return fail(where, QStringLiteral("应为一行钢筋"));
        const QJsonObject o = value.toObject();
        QString shape, grade;
        if (!text(o, "mark", row.mark, where) || !text(o, "shape", shape, where, true) ||
            !text(o, "grade", grade, where, true) || !whole(o, "diameter", row.diameter, where) ||
            !whole(o, "count", row.countPerMember, where) || !text(o, "note", row.note, where))
            return false;
        const std::optional<Shape> s = shapeFromCode(shape);
        if (!s)
            return fail(where, QStringLiteral("未知的形状“%1”").arg(shape));
        row.shape = *s;
        const std::optional<codes::SteelGrade> g = codes::gradeFromName(grade);
        if (!g)
            return fail(where, QStringLiteral("未知的牌号“%1”").arg(grade));
        row.grade = *g;
        const QJsonValue dims = o.value(QStringLiteral("dimensions"));
        if (!dims.isObject() && !dims.isUndefined())
            return fail(where, QStringLiteral("“dimensions”应为尺寸表"));
        const QJsonObject d = dims.toObject();
        const QStringList& letters = shapeInfo(row.shape).letters;
        for (auto it = d.constBegin(); it != d.constEnd(); ++it) {
            if (!letters.contains(it.key()))
                return fail(where, QStringLiteral("形状 %1 没有尺寸“%2”")
                                       .arg(shapeInfo(row.shape).code, it.key()));
            if (!it.value().isDouble())
                return fail(where, QStringLiteral("尺寸 %1 应为数值").arg(it.key()));
            row.dimensions.insert(it.key(), it.value().toDouble());
        }
        const QJsonValue mandrel = o.value(QStringLiteral("mandrel"));
        if (mandrel.isDouble())
            row.mandrel = mandrel.toDouble();
        else if (!mandrel.isNull() && !mandrel.isUndefined())
            return fail(where, QStringLiteral("“mandrel”应为数值"));
        return true;
    }

    bool settings(const QJsonValue& value, ListSettings& s) {
        if (value.isUndefined())
            return true;
        const QString where = QStringLiteral("设置");
        if (!value.isObject())
            return fail(where, QStringLiteral("应为设置表"));
        const QJsonObject o = value.toObject();
        const QJsonValue seismic = o.value(QStringLiteral("seismic"));
        if (seismic.isBool())
            s.seismic = seismic.toBool();
        else if (!seismic.isUndefined())
            return fail(where, QStringLiteral("“seismic”应为 true 或 false"));
        if (o.contains(QStringLiteral("rounding"))) {
            int step = 0;
            if (!whole(o, "rounding", step, where))
                return false;
            if (step != 1 && step != 5 && step != 10)
                return fail(where, QStringLiteral("取整只能是 1、5 或 10 mm"));
            s.rounding = static_cast<Rounding>(step);
        }
        QString grade;
        if (!text(o, "defaultGrade", grade, where))
            return false;
        if (!grade.isEmpty()) {
            const std::optional<codes::SteelGrade> g = codes::gradeFromName(grade);
            if (!g)
                return fail(where, QStringLiteral("未知的牌号“%1”").arg(grade));
            s.defaultGrade = *g;
        }
        // Lists saved before lap lengths came from the anchorage rules: C30,
        // 25 % lapped, and seismic grade 二 where hooks were seismic, as
        // their members most likely are; the plan view shows what is taken.
        s.seismicGrade = s.seismic ? codes::SeismicGrade::Second : codes::SeismicGrade::None;
        if (o.contains(QStringLiteral("concrete"))) {
            int concrete = 0;
            if (!whole(o, "concrete", concrete, where))
                return false;
            if (!codes::concreteGradeFromName(QStringLiteral("C%1").arg(concrete)))
                return fail(where,
                            QStringLiteral("混凝土强度等级“%1”应为 C15 到 C80 之一").arg(concrete));
            s.concrete = concrete;
        }
        if (o.contains(QStringLiteral("seismicGrade"))) {
            int grade = -1;
            if (!whole(o, "seismicGrade", grade, where))
                return false;
            if (grade < 0 || grade > 4)
                return fail(where, QStringLiteral("抗震等级应为 0（非抗震）到 4"));
            s.seismicGrade = static_cast<codes::SeismicGrade>(grade);
        }
        if (o.contains(QStringLiteral("percentLapped"))) {
            const QJsonValue v = o.value(QStringLiteral("percentLapped"));
            if (!v.isDouble() || !(v.toDouble() > 0 && v.toDouble() <= 100))
                return fail(where, QStringLiteral("搭接接头面积百分率应大于 0 且不大于 100"));
            s.percentLapped = v.toDouble();
        }
        // Absent in lists saved before GB 55008 was applied: they take it now,
        // as new lists do.
        QString code;
        if (!text(o, "concreteCode", code, where))
            return false;
        if (code == QLatin1String("gb50010"))
            s.concreteCode = codes::ConcreteCode::Gb50010;
        else if (!code.isEmpty() && code != QLatin1String("gb55008"))
            return fail(where,
                        QStringLiteral("未知的规范“%1”（应为 gb55008 或 gb50010）").arg(code));
        return true;
    }
};

} // namespace

QByteArray listToJson(const CuttingList& list, const QJsonObject& plan,
                      const QJsonObject& planSettings) {
    QJsonObject root;
    root.insert(QStringLiteral("format"), kListFileFormat);
    root.insert(QStringLiteral("version"), kListFileVersion);
    root.insert(QStringLiteral("project"), list.project);
    QJsonObject settings;
    settings.insert(QStringLiteral("seismic"), list.settings.seismic);
    settings.insert(QStringLiteral("rounding"), static_cast<int>(list.settings.rounding));
    settings.insert(QStringLiteral("defaultGrade"), codes::gradeName(list.settings.defaultGrade));
    settings.insert(QStringLiteral("concrete"), list.settings.concrete);
    settings.insert(QStringLiteral("seismicGrade"), static_cast<int>(list.settings.seismicGrade));
    settings.insert(QStringLiteral("percentLapped"), list.settings.percentLapped);
    // Written only when it differs from the default, so that a list under the
    // current code saves as it always has.
    if (list.settings.concreteCode == codes::ConcreteCode::Gb50010)
        settings.insert(QStringLiteral("concreteCode"), QStringLiteral("gb50010"));
    root.insert(QStringLiteral("settings"), settings);
    QJsonArray members;
    for (const Member& member : list.members) {
        QJsonObject m;
        m.insert(QStringLiteral("name"), member.name);
        m.insert(QStringLiteral("count"), member.count);
        QJsonArray rows;
        for (const BarRow& row : member.rows)
            rows.append(rowToJson(row));
        m.insert(QStringLiteral("rows"), rows);
        if (!member.source.isEmpty())
            m.insert(QStringLiteral("source"), member.source);
        members.append(m);
    }
    root.insert(QStringLiteral("members"), members);
    if (!plan.isEmpty())
        root.insert(QStringLiteral("plan"), plan);
    if (!planSettings.isEmpty())
        root.insert(QStringLiteral("planSettings"), planSettings);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

LoadedList listFromJson(const QByteArray& bytes) {
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const bool cut = parseError.offset >= bytes.size() - 1 ||
                         parseError.error == QJsonParseError::UnterminatedObject ||
                         parseError.error == QJsonParseError::UnterminatedArray ||
                         parseError.error == QJsonParseError::UnterminatedString;
        return {std::nullopt, cut ? QStringLiteral("文件不完整（在第 %1 字节处中断），可能未保存完")
                                        .arg(parseError.offset)
                                  : QStringLiteral("文件已损坏：第 %1 字节处不是有效的 JSON（%2）")
                                        .arg(parseError.offset)
                                        .arg(parseError.errorString())};
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value(QStringLiteral("format")).toString() != kListFileFormat)
        return {std::nullopt, QStringLiteral("这不是 Corvala 下料单文件")};
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != std::floor(version.toDouble()))
        return {std::nullopt, QStringLiteral("文件已损坏：缺少有效的版本号")};
    if (version.toDouble() > kListFileVersion)
        return {
            std::nullopt,
            QStringLiteral("文件由更新版本的 Corvala 保存（格式版本 %1，本程序只认识到版本 %2），"
                           "请升级 Corvala 后再打开")
                .arg(QString::number(version.toDouble(), 'g', 15))
                .arg(kListFileVersion)};
    Reader reader;
    CuttingList list;
    if (!reader.text(root, "project", list.project, QStringLiteral("工程名称")) ||
        !reader.settings(root.value(QStringLiteral("settings")), list.settings))
        return {std::nullopt, reader.error};
    const QJsonValue members = root.value(QStringLiteral("members"));
    if (!members.isArray())
        return {std::nullopt, QStringLiteral("文件已损坏：缺少构件表")};
    int memberIndex = 0;
    for (const QJsonValue& mv : members.toArray()) {
        ++memberIndex;
        const QString where = QStringLiteral("第 %1 个构件").arg(memberIndex);
        if (!mv.isObject())
            return {std::nullopt, QStringLiteral("%1：应为构件").arg(where)};
        const QJsonObject mo = mv.toObject();
        Member member;
        if (!reader.text(mo, "name", member.name, where) ||
            !reader.whole(mo, "count", member.count, where))
            return {std::nullopt, reader.error};
        const QJsonValue source = mo.value(QStringLiteral("source"));
        if (!source.isUndefined() && !source.isNull()) {
            if (!source.isObject())
                return {std::nullopt, QStringLiteral("%1：生成来源应为对象").arg(where)};
            member.source = source.toObject();
        }
        const QJsonValue rows = mo.value(QStringLiteral("rows"));
        if (!rows.isArray())
            return {std::nullopt, QStringLiteral("%1：缺少钢筋行").arg(where)};
        int rowIndex = 0;
        for (const QJsonValue& rv : rows.toArray()) {
            ++rowIndex;
            BarRow row;
            if (!reader.row(rv, row, QStringLiteral("%1第 %2 行").arg(where).arg(rowIndex)))
                return {std::nullopt, reader.error};
            member.rows << row;
        }
        list.members << member;
    }
    return {list, QString(), root.value(QStringLiteral("plan")),
            root.value(QStringLiteral("planSettings"))};
}

std::optional<QString> saveListFile(const CuttingList& list, const QString& path,
                                    const QJsonObject& plan, const QJsonObject& planSettings) {
    return writeWholeFile(path, listToJson(list, plan, planSettings));
}

LoadedList loadListFile(const QString& path) {
    const ReadFile read = readWholeFile(path, kLargestFile);
    if (!read.error.isEmpty())
        return {std::nullopt, read.error};
    return listFromJson(read.bytes);
}

} // namespace schedule
