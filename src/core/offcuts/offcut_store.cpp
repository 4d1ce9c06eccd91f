#include "core/offcuts/offcut_store.h"

#include "core/schedule/json_fields.h"
#include "core/schedule/whole_file.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cmath>

namespace offcuts {

namespace {

// A store of a million offcuts is far more than any yard keeps.
constexpr qint64 kLargestStore = 256LL * 1024 * 1024;

QJsonObject toJson(const Offcut& o) {
    QJsonObject origin;
    if (!o.origin.list.isEmpty())
        origin.insert(QStringLiteral("list"), o.origin.list);
    if (!o.origin.members.isEmpty())
        origin.insert(QStringLiteral("members"), o.origin.members);
    if (!o.origin.pattern.isEmpty())
        origin.insert(QStringLiteral("pattern"), o.origin.pattern);
    QJsonObject entry{{QStringLiteral("id"), o.id},
                      {QStringLiteral("length"), double(o.length)},
                      {QStringLiteral("grade"), o.grade},
                      {QStringLiteral("diameter"), o.diameter},
                      {QStringLiteral("count"), double(o.count)},
                      {QStringLiteral("from"), origin},
                      {QStringLiteral("added"), o.added.toString(Qt::ISODate)},
                      {QStringLiteral("used"), o.used}};
    if (o.used) {
        entry.insert(QStringLiteral("usedBy"), o.usedBy);
        if (o.usedOn.isValid())
            entry.insert(QStringLiteral("usedOn"), o.usedOn.toString(Qt::ISODate));
    }
    return entry;
}

// Reading stops at the first value out of place, with its place.
struct Reader : schedule::JsonFieldReader {
    bool whole(const QJsonObject& o, const char* key, long long& out, long long least,
               const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        const double x = v.toDouble(std::nan(""));
        if (!v.isDouble() || x != std::floor(x) || x < double(least) || x > 1e12)
            return fail(
                where,
                QStringLiteral("“%1”应为不小于 %2 的整数").arg(QLatin1String(key)).arg(least));
        out = static_cast<long long>(x);
        return true;
    }
    bool date(const QJsonObject& o, const char* key, QDate& out, const QString& where) {
        QString s;
        if (!text(o, key, s, where))
            return false;
        if (s.isEmpty())
            return true;
        out = QDate::fromString(s, Qt::ISODate);
        if (!out.isValid())
            return fail(where,
                        QStringLiteral("“%1”应为日期（如 2026-12-09）").arg(QLatin1String(key)));
        return true;
    }
    bool entry(const QJsonValue& value, Offcut& o, const QString& where) {
        if (!value.isObject())
            return fail(where, QStringLiteral("应为对象"));
        const QJsonObject e = value.toObject();
        long long diameter = 0;
        if (!text(e, "id", o.id, where, true) || !whole(e, "length", o.length, 1, where) ||
            !text(e, "grade", o.grade, where) || !whole(e, "diameter", diameter, 0, where) ||
            !date(e, "added", o.added, where) || !text(e, "usedBy", o.usedBy, where) ||
            !date(e, "usedOn", o.usedOn, where))
            return false;
        if (o.id.trimmed().isEmpty())
            return fail(where, QStringLiteral("编号“id”不能为空"));
        if (diameter > 1000)
            return fail(where, QStringLiteral("直径 %1 mm 超出范围").arg(diameter));
        o.diameter = int(diameter);
        if (e.contains(QStringLiteral("count")) && !whole(e, "count", o.count, 1, where))
            return false;
        const QJsonValue used = e.value(QStringLiteral("used"));
        if (!used.isUndefined() && !used.isBool())
            return fail(where, QStringLiteral("“used”应为 true 或 false"));
        o.used = used.toBool();
        const QJsonValue from = e.value(QStringLiteral("from"));
        if (!from.isUndefined()) {
            if (!from.isObject())
                return fail(where, QStringLiteral("“from”应为对象"));
            const QJsonObject f = from.toObject();
            if (!text(f, "list", o.origin.list, where) ||
                !text(f, "members", o.origin.members, where) ||
                !text(f, "pattern", o.origin.pattern, where))
                return false;
        }
        return true;
    }
};

QString patternText(const plans::Pattern& p) {
    QStringList pieces;
    for (const plans::PlacedPiece& piece : p.pieces)
        pieces << QString::number(piece.length);
    return QStringLiteral("%1 = %2 + 余料 %3")
        .arg(p.stock)
        .arg(pieces.join(QStringLiteral(" + ")))
        .arg(p.offcut);
}

QString membersText(const plans::Pattern& p) {
    QStringList labels;
    for (const plans::PlacedPiece& piece : p.pieces)
        if (!piece.label.isEmpty() && !labels.contains(piece.label))
            labels << piece.label;
    return labels.join(QStringLiteral("、"));
}

} // namespace

const Offcut* Store::find(const QString& id) const {
    for (const Offcut& o : entries)
        if (o.id == id)
            return &o;
    return nullptr;
}

Offcut* Store::find(const QString& id) {
    for (Offcut& o : entries)
        if (o.id == id)
            return &o;
    return nullptr;
}

QString newId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QByteArray storeToJson(const Store& store) {
    QJsonArray entries;
    for (const Offcut& o : store.entries)
        entries << toJson(o);
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), QStringLiteral("corvala-offcuts")},
                                     {QStringLiteral("version"), kStoreVersion},
                                     {QStringLiteral("offcuts"), entries}})
        .toJson(QJsonDocument::Indented);
}

ReadStore storeFromJson(const QByteArray& bytes) {
    const auto refused = [](const QString& why) {
        return ReadStore{std::nullopt, QStringLiteral("余料库文件无法读取：%1").arg(why)};
    };
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError)
        return refused(QStringLiteral("不是有效的 JSON（第 %1 个字符处：%2）")
                           .arg(parse.offset)
                           .arg(parse.errorString()));
    if (!doc.isObject() ||
        doc.object().value(QStringLiteral("format")).toString() != QLatin1String("corvala-offcuts"))
        return refused(QStringLiteral("这不是 Corvala 的余料库文件"));
    const QJsonObject o = doc.object();
    const QJsonValue version = o.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != std::floor(version.toDouble()))
        return refused(QStringLiteral("缺少有效的版本号"));
    if (version.toDouble() > kStoreVersion)
        return refused(QStringLiteral("由更新版本的 Corvala 保存（版本 %1，本程序只认识到版本 %2）")
                           .arg(version.toInt())
                           .arg(kStoreVersion));
    const QJsonValue list = o.value(QStringLiteral("offcuts"));
    if (!list.isArray())
        return refused(QStringLiteral("“offcuts”应为数组"));
    Store store;
    Reader reader;
    QSet<QString> ids;
    int index = 0;
    for (const QJsonValue& v : list.toArray()) {
        Offcut offcut;
        const QString where = QStringLiteral("第 %1 条余料").arg(++index);
        if (!reader.entry(v, offcut, where))
            return refused(reader.error);
        if (ids.contains(offcut.id))
            return refused(QStringLiteral("%1：编号“%2”重复").arg(where, offcut.id));
        ids.insert(offcut.id);
        store.entries << offcut;
    }
    return {store, QString()};
}

ReadStore readStore(const QString& path) {
    if (!QFileInfo::exists(path))
        return {Store{}, QString()};
    const schedule::ReadFile file = schedule::readWholeFile(path, kLargestStore);
    if (!file.error.isEmpty())
        return {std::nullopt, QStringLiteral("余料库文件无法读取：%1").arg(file.error)};
    return storeFromJson(file.bytes);
}

std::optional<QString> writeStore(const QString& path, const Store& store) {
    return schedule::writeWholeFile(path, storeToJson(store));
}

QList<plans::StockLength> offcutStock(const Store& store, const QString& grade, int diameter) {
    QMap<long long, long long> bars;
    for (const Offcut& o : store.entries)
        if (!o.used && o.grade == grade && o.diameter == diameter)
            bars[o.length] += o.count;
    QList<plans::StockLength> stock;
    for (auto it = bars.constEnd(); it != bars.constBegin();) {
        --it;
        stock << plans::StockLength{it.key(), it.value(), plans::StockSource::Offcut};
    }
    return stock;
}

plans::OffcutsOnOffer offcutsOnOffer(const Store& store) {
    plans::OffcutsOnOffer offer;
    for (const Offcut& o : store.entries)
        if (!o.used && !offer.contains({o.grade, o.diameter}))
            offer.insert({o.grade, o.diameter}, offcutStock(store, o.grade, o.diameter));
    return offer;
}

Delta planDelta(const Store& store, const plans::Plan& plan, const QString& listName,
                const QDate& today, bool take, bool keep) {
    Delta delta;
    delta.usedBy = listName;
    delta.on = today;
    for (const plans::GroupPlan& group : plan.groups) {
        if (!group.error.isEmpty())
            continue;
        if (take) {
            for (const plans::StockUse& use : group.stock) {
                if (use.source != plans::StockSource::Offcut)
                    continue;
                // Oldest first, so that offcuts do not lie in the yard for ever.
                QList<const Offcut*> candidates;
                for (const Offcut& o : store.entries)
                    if (!o.used && o.grade == group.grade && o.diameter == group.diameter &&
                        o.length == use.length)
                        candidates << &o;
                std::stable_sort(
                    candidates.begin(), candidates.end(),
                    [](const Offcut* a, const Offcut* b) { return a->added < b->added; });
                long long wanted = use.count;
                for (const Offcut* o : candidates) {
                    if (wanted == 0)
                        break;
                    const long long n = std::min(wanted, o->count);
                    delta.taken << Take{o->id, n, n < o->count ? newId() : QString()};
                    wanted -= n;
                }
                delta.shortOf += wanted;
            }
        }
        if (keep)
            for (const plans::Pattern& p : group.patterns)
                if (p.offcutKept && p.offcut > 0)
                    delta.added << Offcut{newId(),     p.offcut,
                                          group.grade, group.diameter,
                                          p.count,     {listName, membersText(p), patternText(p)},
                                          today};
    }
    return delta;
}

QString apply(Store& store, const Delta& delta) {
    Store after = store;
    for (const Take& t : delta.taken) {
        Offcut* o = after.find(t.id);
        if (!o || o->used || o->count < t.count ||
            (t.splitId.isEmpty() ? o->count != t.count : o->count == t.count))
            return QStringLiteral("余料库中编号 %1 的余料已不在或已被用去").arg(t.id);
        if (t.splitId.isEmpty()) {
            o->used = true;
            o->usedBy = delta.usedBy;
            o->usedOn = delta.on;
            continue;
        }
        if (after.find(t.splitId))
            return QStringLiteral("余料库中已有编号 %1 的余料").arg(t.splitId);
        Offcut taken = *o;
        o->count -= t.count;
        taken.id = t.splitId;
        taken.count = t.count;
        taken.used = true;
        taken.usedBy = delta.usedBy;
        taken.usedOn = delta.on;
        after.entries << taken;
    }
    for (const Offcut& o : delta.added) {
        if (after.find(o.id))
            return QStringLiteral("余料库中已有编号 %1 的余料").arg(o.id);
        after.entries << o;
    }
    store = after;
    return {};
}

QString revert(Store& store, const Delta& delta) {
    Store after = store;
    for (const Offcut& added : delta.added) {
        // Taken meanwhile by another plan, whole or in part: that plan would
        // lose its bars.
        const Offcut* o = after.find(added.id);
        if (o && (o->used || o->count != added.count)) {
            QString by = o->usedBy;
            for (const Offcut& e : after.entries)
                if (by.isEmpty() && e.used && e.origin == added.origin && e.length == added.length)
                    by = e.usedBy;
            return QStringLiteral("本方案存入的余料（%1 mm）已被“%2”用去，无法撤回")
                .arg(added.length)
                .arg(by.isEmpty() ? QStringLiteral("其他下料单") : by);
        }
        after.entries.removeIf([&](const Offcut& e) { return e.id == added.id; });
    }
    for (auto t = delta.taken.crbegin(); t != delta.taken.crend(); ++t) {
        Offcut* o = after.find(t->id);
        if (!o)
            return QStringLiteral("余料库中编号 %1 的余料已被删除，无法放回").arg(t->id);
        if (t->splitId.isEmpty()) {
            o->used = false;
            o->usedBy.clear();
            o->usedOn = QDate();
            continue;
        }
        o->count += t->count;
        after.entries.removeIf([&](const Offcut& e) { return e.id == t->splitId; });
    }
    store = after;
    return {};
}

namespace {

QString changeFile(const QString& path, const Delta& delta, bool forward) {
    ReadStore read = readStore(path);
    if (!read.store)
        return read.error;
    const QString problem = forward ? apply(*read.store, delta) : revert(*read.store, delta);
    if (!problem.isEmpty())
        return problem;
    if (const auto error = writeStore(path, *read.store))
        return QStringLiteral("余料库文件写入失败：%1").arg(*error);
    return {};
}

} // namespace

QString applyToFile(const QString& path, const Delta& delta) {
    return delta.isEmpty() ? QString() : changeFile(path, delta, true);
}

QString revertInFile(const QString& path, const Delta& delta) {
    return delta.isEmpty() ? QString() : changeFile(path, delta, false);
}

} // namespace offcuts
