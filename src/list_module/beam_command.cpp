#include "list_module/beam_command.h"

#include "core/members/beam_bars.h"
#include "list_module/member_answer.h"

namespace cli {

ListOutput answerBeam(const QString& file, bool json) {
    ListOutput refusal;
    const std::optional<QJsonObject> o =
        member_answer::readFile(file, QStringLiteral("梁"), refusal);
    if (!o)
        return refusal;
    const members::BeamRead read = members::beamFromJson(*o);
    if (!read.beam)
        return member_answer::refuse(QStringLiteral("%1：%2").arg(file, read.error));
    const auto oneBased = [](const std::optional<int>& n) {
        return n ? QJsonValue(*n) : QJsonValue();
    };
    return member_answer::answer(
        members::detailBeam(*read.beam), file, json,
        member_answer::settingsFor(read.beam->seismic, read.beam->concrete), QStringLiteral("位置"),
        [&](const members::BeamRow& r, QJsonObject& row) {
            row.insert(QStringLiteral("span"), oneBased(r.span));
            row.insert(QStringLiteral("support"), oneBased(r.support));
        },
        members::roleName,
        [](const members::BeamRow& r) {
            return r.span      ? QStringLiteral("第%1跨").arg(*r.span)
                   : r.support ? QStringLiteral("第%1支座").arg(*r.support)
                               : QStringLiteral("全梁");
        });
}

} // namespace cli
