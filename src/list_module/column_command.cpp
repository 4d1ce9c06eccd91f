#include "list_module/column_command.h"

#include "core/members/column_bars.h"
#include "list_module/member_answer.h"

namespace cli {

ListOutput answerColumn(const QString& file, bool json) {
    ListOutput refusal;
    const std::optional<QJsonObject> o =
        member_answer::readFile(file, QStringLiteral("柱"), refusal);
    if (!o)
        return refusal;
    const members::ColumnRead read = members::columnFromJson(*o);
    if (!read.column)
        return member_answer::refuse(QStringLiteral("%1：%2").arg(file, read.error));
    return member_answer::answer(
        members::detailColumn(*read.column), file, json,
        member_answer::settingsFor(read.column->seismic, read.column->concrete),
        QStringLiteral("楼层"),
        [](const members::ColumnRow& r, QJsonObject& row) {
            row.insert(QStringLiteral("floor"), r.floorName);
            if (r.place)
                row.insert(QStringLiteral("place"),
                           QJsonObject{{QStringLiteral("z0"), r.place->z0},
                                       {QStringLiteral("z1"), r.place->z1},
                                       {QStringLiteral("highBatch"), r.place->highBatch},
                                       {QStringLiteral("lapAbove"), r.place->lapAbove}});
        },
        members::columnRoleName,
        [](const members::ColumnRow& r) {
            return r.floor < 0 ? r.floorName : r.floorName + QStringLiteral("层");
        });
}

} // namespace cli
