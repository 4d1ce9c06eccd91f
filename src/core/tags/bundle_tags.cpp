#include "core/tags/bundle_tags.h"

#include "core/codes/steel_grades.h"
#include "core/schedule/dimension_text.h"
#include "core/schedule/row_columns.h"
#include "core/schedule/shapes.h"
#include "core/shop/bvbs.h"

#include <QMap>
#include <QPair>

namespace tags {

using namespace schedule;

namespace {

// Each row's line of the list's BVBS file, its n the bars of the bundle.
QrTextOf bvbsQrText(const CuttingList& list, const shop::BvbsSettings& settings) {
    const shop::BvbsExport bvbs = shop::bvbsOfList(list, settings);
    QMap<QPair<int, int>, shop::BvbsRecord> records;
    for (int i = 0; i < bvbs.records.size(); ++i)
        records.insert({bvbs.rows[i].first, bvbs.rows[i].second}, bvbs.records[i]);
    return [records](const TagRow& row) {
        const auto found = records.constFind({row.member, row.row});
        if (found == records.constEnd())
            return plainTagLine(row);
        shop::BvbsRecord record = *found;
        for (shop::BvbsField& field : record.header)
            if (field.key == 'n')
                field.value = QByteArray::number(row.bars);
        return QString::fromLatin1(shop::bvbsLine(record));
    };
}

} // namespace

TagSet bundleTags(const CuttingList& list, const ComputedList& computed,
                  const TagSettings& settings, const QrTextOf& qrText) {
    TagSet set;
    const QrTextOf textOf = qrText ? qrText : bvbsQrText(list, settings.bvbs);
    for (int m = 0; m < list.members.size(); ++m) {
        const Member& member = list.members[m];
        for (int r = 0; r < member.rows.size(); ++r) {
            const BarRow& row = member.rows[r];
            const RowResult& result = computed.results.value(m).value(r);
            if (result.problem) {
                set.leftOut << QStringLiteral("%1 编号 %2：%3")
                                   .arg(member.name.isEmpty() ? QStringLiteral("（未命名）")
                                                              : member.name,
                                        row.mark.isEmpty() ? QStringLiteral("—") : row.mark,
                                        result.problem->reason);
                continue;
            }
            if (result.bars <= 0)
                continue;
            // Full bundles first, the odd bars in the last: the bender counts
            // out a bundle, ties it, and starts the next.
            const long long perBundle =
                settings.barsPerBundle > 0 ? settings.barsPerBundle : result.bars;
            const long long bundles = (result.bars + perBundle - 1) / perBundle;
            const long long massPerBar = result.totalMassMg / result.bars;
            for (long long b = 0; b < bundles; ++b) {
                BundleTag tag;
                tag.member = m;
                tag.row = r;
                tag.project = list.project;
                tag.memberName = member.name;
                tag.memberCount = member.count;
                tag.bar = row;
                tag.cutLength = static_cast<long long>(result.cutLength);
                tag.bars = b + 1 < bundles ? perBundle : result.bars - perBundle * (bundles - 1);
                tag.rowBars = result.bars;
                tag.bundle = static_cast<int>(b + 1);
                tag.bundles = static_cast<int>(bundles);
                tag.massMg = massPerBar * tag.bars;
                const TagRow source{list, m, r, result, tag.bars};
                tag.qrText = textOf(source);
                set.tags << tag;
            }
        }
    }
    return set;
}

QString plainTagLine(const TagRow& tagRow) {
    const Member& member = tagRow.list.members[tagRow.member];
    const BarRow& row = member.rows[tagRow.row];
    return QStringList{tagRow.list.project,
                       member.name,
                       row.mark,
                       codes::gradeName(row.grade),
                       QString::number(row.diameter),
                       shapeInfo(row.shape).code,
                       dimensionsText(row),
                       QStringLiteral("L=%1").arg(static_cast<long long>(tagRow.result.cutLength)),
                       QStringLiteral("n=%1").arg(tagRow.bars)}
        .join(QLatin1Char('|'));
}

QString memberText(const BundleTag& tag) {
    const QString name = tag.memberName.isEmpty() ? QStringLiteral("（未命名）") : tag.memberName;
    return QStringLiteral("%1 × %2 件").arg(name).arg(tag.memberCount);
}

QString barText(const BundleTag& tag) {
    return QStringLiteral("%1 Φ%2").arg(codes::gradeName(tag.bar.grade)).arg(tag.bar.diameter);
}

QString barsText(const BundleTag& tag) {
    return QStringLiteral("%1 根").arg(tag.bars);
}

QString perMemberText(const BundleTag& tag) {
    return QStringLiteral("每件 %1 根").arg(tag.bar.countPerMember);
}

QString massText(const BundleTag& tag) {
    return fixedText(tag.massMg, 6, 2) + QStringLiteral(" kg");
}

QString bundleText(const BundleTag& tag) {
    if (tag.bundles <= 1)
        return {};
    return QStringLiteral("第 %1/%2 捆").arg(tag.bundle).arg(tag.bundles);
}

} // namespace tags
