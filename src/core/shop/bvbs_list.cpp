#include "core/shop/bvbs_list.h"

#include "core/codes/bar_masses.h"
#include "core/numbers/number_text.h"
#include "core/schedule/computation.h"
#include "core/schedule/row_columns.h"
#include "core/shop/bar_legs.h"

#include <cmath>

namespace shop {

using namespace schedule;

namespace {

QByteArray whole(double value) {
    return QByteArray::number(static_cast<qint64>(std::llround(value)));
}

} // namespace

QString bvbsPosition(const QString& member, const QString& mark) {
    if (member.trimmed().isEmpty())
        return mark.trimmed();
    if (mark.trimmed().isEmpty())
        return member.trimmed();
    return member.trimmed() + QLatin1Char('-') + mark.trimmed();
}

QByteArray BvbsExport::fileBytes() const {
    QByteArray bytes;
    for (const BvbsRecord& record : records)
        bytes += bvbsLine(record) + kBvbsLineEnd;
    return bytes;
}

BvbsExport bvbsOfList(const CuttingList& list, const BvbsSettings& settings) {
    BvbsExport out;
    const auto ascii = [&](const QString& text) {
        const AsciiText a = asciiText(text, settings.nonAscii);
        out.textChanged = out.textChanged || a.changed;
        return a.text;
    };
    const QByteArray project = ascii(list.project);
    const QByteArray drawing = ascii(settings.drawing);
    const ComputedList computed = computeList(list);
    for (int m = 0; m < list.members.size(); ++m) {
        const Member& member = list.members[m];
        for (int r = 0; r < member.rows.size(); ++r) {
            const BarRow& row = member.rows[r];
            const RowResult& result = computed.results[m][r];
            const auto leaveOut = [&](const QString& reason) {
                out.leftOut << BvbsLeftOut{
                    m, r, QStringLiteral("%1 %2").arg(member.name, row.mark).trimmed(), reason};
            };
            if (result.problem) {
                leaveOut(QStringLiteral("无法计算：%1").arg(result.problem->reason));
                continue;
            }
            const BarLegs legs = legsOf(row, result.mandrel, list.settings.seismic);
            if (!legs.objection.isEmpty()) {
                leaveOut(QStringLiteral("%1，BF2D 导出不写弧段").arg(legs.objection));
                continue;
            }
            const auto cut = static_cast<long long>(result.cutLength);
            const long long gramsPerMetre = *codes::nominalGramsPerMetre(row.grade, row.diameter);
            BvbsRecord record;
            record.header = {
                {'j', project},
                {'r', drawing},
                {'i', {}},
                {'p', ascii(bvbsPosition(member.name, row.mark))},
                {'l', QByteArray::number(cut)},
                {'n', QByteArray::number(result.bars)},
                // mm × g/m is mg: one bar's mass to the gram.
                {'e', fixedText(cut * gramsPerMetre, 6, 3).toLatin1()},
                {'d', QByteArray::number(row.diameter)},
                {'g', codes::gradeName(row.grade).toLatin1()},
                {'s', numbers::generalNumberText(std::round(result.mandrel * 10) / 10).toLatin1()},
                {'v', {}},
            };
            for (const Leg& leg : legs.legs)
                record.geometry << BvbsField{'l', whole(leg.length)}
                                << BvbsField{'w', whole(leg.angle)};
            out.records << record;
            out.rows << std::pair{m, r};
        }
    }
    return out;
}

} // namespace shop
