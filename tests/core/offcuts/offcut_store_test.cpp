#include "core/offcuts/offcut_store.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace offcuts;

Offcut offcut(const QString& id, long long length, const QString& grade, int diameter,
              long long count = 1, QDate added = QDate(2026, 12, 1)) {
    Offcut o;
    o.id = id;
    o.length = length;
    o.grade = grade;
    o.diameter = diameter;
    o.count = count;
    o.origin = {QStringLiteral("一层梁.cvl"), QStringLiteral("KL1 1"),
                QStringLiteral("12000 = 9500 + 余料 2500")};
    o.added = added;
    return o;
}

Store yard() {
    Store s;
    s.entries << offcut(QStringLiteral("a"), 2500, QStringLiteral("HRB400"), 25)
              << offcut(QStringLiteral("b"), 3100, QStringLiteral("HRB400"), 25, 3,
                        QDate(2026, 11, 20))
              << offcut(QStringLiteral("c"), 2500, QStringLiteral("HRB400"), 25, 1,
                        QDate(2026, 11, 1))
              << offcut(QStringLiteral("d"), 2500, QStringLiteral("HRB400"), 20);
    Offcut used = offcut(QStringLiteral("e"), 4000, QStringLiteral("HRB400"), 25);
    used.used = true;
    used.usedBy = QStringLiteral("二层梁.cvl");
    used.usedOn = QDate(2026, 12, 5);
    s.entries << used;
    return s;
}

// A plan of HRB400 Φ25 that cut `fromOffcuts` bars of 2500 mm from the store
// and keeps one 1800 mm offcut from each of two 12000 mm bars.
plans::Plan planTaking(long long fromOffcuts) {
    plans::GroupPlan g;
    g.grade = QStringLiteral("HRB400");
    g.diameter = 25;
    plans::Pattern kept{12000, plans::StockSource::Bought,
                        2,     {{5100, QStringLiteral("KL2 1")}, {5100, QStringLiteral("KL2 1")}},
                        1800,  true};
    plans::Pattern short_{2500,        plans::StockSource::Offcut,
                          fromOffcuts, {{2400, QStringLiteral("KL2 3")}},
                          100,         false};
    g.patterns << kept << short_;
    g.stock << plans::StockUse{12000, 2, plans::StockSource::Bought}
            << plans::StockUse{2500, fromOffcuts, plans::StockSource::Offcut};
    plans::Plan plan;
    plan.groups << g;
    return plan;
}

TEST(OffcutStore, RoundTripsThroughItsFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("余料库.json"));
    // No file yet: an empty store, not a fault.
    const ReadStore missing = readStore(path);
    ASSERT_TRUE(missing.store);
    EXPECT_TRUE(missing.store->entries.isEmpty());

    ASSERT_FALSE(writeStore(path, yard()));
    const ReadStore read = readStore(path);
    ASSERT_TRUE(read.store) << read.error.toStdString();
    EXPECT_EQ(*read.store, yard());
}

TEST(OffcutStore, RefusesFilesItCannotTrust) {
    const auto refusal = [](const char* json) {
        const ReadStore r = storeFromJson(QByteArray(json));
        EXPECT_FALSE(r.store) << json;
        return r.error;
    };
    EXPECT_TRUE(refusal("{").contains(QStringLiteral("不是有效的 JSON")));
    EXPECT_TRUE(refusal(R"({"rows":[]})").contains(QStringLiteral("不是 Corvala 的余料库文件")));
    EXPECT_TRUE(refusal(R"({"format":"corvala-offcuts","version":9,"offcuts":[]})")
                    .contains(QStringLiteral("更新版本")));
    EXPECT_TRUE(
        refusal(R"({"format":"corvala-offcuts","version":1,"offcuts":[{"id":"a","length":-5}]})")
            .contains(QStringLiteral("第 1 条余料：“length”应为不小于 1 的整数")));
    EXPECT_TRUE(refusal(R"({"format":"corvala-offcuts","version":1,"offcuts":[
        {"id":"a","length":500,"grade":"HRB400","diameter":20},
        {"id":"a","length":600,"grade":"HRB400","diameter":20}]})")
                    .contains(QStringLiteral("第 2 条余料：编号“a”重复")));
    EXPECT_TRUE(refusal(R"({"format":"corvala-offcuts","version":1,"offcuts":[
        {"id":"a","length":500,"diameter":20,"added":"yesterday"}]})")
                    .contains(QStringLiteral("日期")));
}

TEST(OffcutStore, OffersUnusedOffcutsOfOneGradeAndDiameterAsStock) {
    const QList<plans::StockLength> stock = offcutStock(yard(), QStringLiteral("HRB400"), 25);
    // The used 4000 mm offcut and the Φ20 one are not offered.
    ASSERT_EQ(stock.size(), 2);
    EXPECT_EQ(stock[0], (plans::StockLength{3100, 3, plans::StockSource::Offcut}));
    EXPECT_EQ(stock[1], (plans::StockLength{2500, 2, plans::StockSource::Offcut}));
    EXPECT_TRUE(offcutStock(yard(), QStringLiteral("HRB335"), 25).isEmpty());
    const plans::OffcutsOnOffer offer = offcutsOnOffer(yard());
    EXPECT_EQ(offer.size(), 2);
    EXPECT_EQ(offer.value({QStringLiteral("HRB400"), 20}).value(0).available, 1);
}

TEST(OffcutDelta, TakesOldestFirstAndKeepsWhatThePlanKeeps) {
    const Store before = yard();
    const Delta delta = planDelta(before, planTaking(2), QStringLiteral("三层梁.cvl"),
                                  QDate(2026, 12, 9), true, true);
    // c is older than a.
    ASSERT_EQ(delta.taken.size(), 2);
    EXPECT_EQ(delta.taken[0].id, QStringLiteral("c"));
    EXPECT_EQ(delta.taken[1].id, QStringLiteral("a"));
    EXPECT_EQ(delta.shortOf, 0);
    ASSERT_EQ(delta.added.size(), 1);
    EXPECT_EQ(delta.added[0].length, 1800);
    EXPECT_EQ(delta.added[0].count, 2);
    EXPECT_EQ(delta.added[0].origin.list, QStringLiteral("三层梁.cvl"));
    EXPECT_EQ(delta.added[0].origin.members, QStringLiteral("KL2 1"));

    Store store = before;
    ASSERT_EQ(apply(store, delta), QString());
    EXPECT_TRUE(store.find(QStringLiteral("a"))->used);
    EXPECT_EQ(store.find(QStringLiteral("c"))->usedBy, QStringLiteral("三层梁.cvl"));
    EXPECT_TRUE(offcutStock(store, QStringLiteral("HRB400"), 25)
                    .contains(plans::StockLength{1800, 2, plans::StockSource::Offcut}));
    // Taken twice is refused, and the store is left as it was.
    const Store applied = store;
    EXPECT_NE(apply(store, delta), QString());
    EXPECT_EQ(store, applied);

    ASSERT_EQ(revert(store, delta), QString());
    EXPECT_EQ(store, before);

    // Neither taking nor keeping: nothing to do.
    EXPECT_TRUE(planDelta(before, planTaking(2), QStringLiteral("x"), {}, false, false).isEmpty());
    // More bars than the store holds: the rest is counted short.
    EXPECT_EQ(planDelta(before, planTaking(3), QStringLiteral("x"), {}, true, false).shortOf, 1);
}

TEST(OffcutDelta, SplitsAnEntryOfSeveralBarsAndJoinsItBackOnRevert) {
    Store before;
    before.entries << offcut(QStringLiteral("b"), 2500, QStringLiteral("HRB400"), 25, 3);
    const Delta delta = planDelta(before, planTaking(2), QStringLiteral("三层梁.cvl"),
                                  QDate(2026, 12, 9), true, false);
    ASSERT_EQ(delta.taken.size(), 1);
    ASSERT_FALSE(delta.taken[0].splitId.isEmpty());
    Store store = before;
    ASSERT_EQ(apply(store, delta), QString());
    EXPECT_EQ(store.find(QStringLiteral("b"))->count, 1);
    const Offcut* split = store.find(delta.taken[0].splitId);
    ASSERT_TRUE(split);
    EXPECT_EQ(split->count, 2);
    EXPECT_TRUE(split->used);
    ASSERT_EQ(revert(store, delta), QString());
    EXPECT_EQ(store, before);
}

TEST(OffcutDelta, AppliedToTheFileKeepsWhatAnotherWindowWroteMeanwhile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("余料库.json"));
    ASSERT_FALSE(writeStore(path, yard()));
    const Delta delta = planDelta(yard(), planTaking(1), QStringLiteral("三层梁.cvl"),
                                  QDate(2026, 12, 9), true, true);
    // Another window adds an offcut after this plan was made.
    Store other = *readStore(path).store;
    other.entries << offcut(QStringLiteral("z"), 900, QStringLiteral("HPB300"), 10);
    ASSERT_FALSE(writeStore(path, other));

    ASSERT_EQ(applyToFile(path, delta), QString());
    Store now = *readStore(path).store;
    EXPECT_TRUE(now.find(QStringLiteral("z")));
    EXPECT_TRUE(now.find(QStringLiteral("c"))->used);
    ASSERT_EQ(revertInFile(path, delta), QString());
    EXPECT_EQ(*readStore(path).store, other);

    // A damaged file is not overwritten.
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{not json");
    damaged.close();
    EXPECT_TRUE(applyToFile(path, delta).contains(QStringLiteral("不是有效的 JSON")));
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray("{not json"));
}

TEST(OffcutDelta, RevertRefusesToTakeBackAnOffcutAnotherPlanUsed) {
    Store store;
    const Delta keep = planDelta(store, planTaking(0), QStringLiteral("三层梁.cvl"),
                                 QDate(2026, 12, 9), false, true);
    ASSERT_EQ(apply(store, keep), QString());
    const Delta later = planDelta(
        store,
        [] {
            plans::Plan p = planTaking(0);
            p.groups[0].stock << plans::StockUse{1800, 1, plans::StockSource::Offcut};
            return p;
        }(),
        QStringLiteral("四层梁.cvl"), QDate(2026, 12, 10), true, false);
    ASSERT_EQ(later.taken.size(), 1);
    ASSERT_EQ(apply(store, later), QString());
    const Store both = store;
    EXPECT_TRUE(revert(store, keep).contains(QStringLiteral("四层梁.cvl")));
    EXPECT_EQ(store, both);
}

} // namespace
