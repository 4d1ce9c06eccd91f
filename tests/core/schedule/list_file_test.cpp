#include "core/schedule/list_file.h"

#include <QDir>
#include <QJsonArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace schedule;

CuttingList sampleList() {
    CuttingList list;
    list.project = QStringLiteral("三号楼 二层梁");
    list.settings.seismic = false;
    list.settings.rounding = Rounding::Millimetre5;
    list.settings.defaultGrade = codes::SteelGrade::HRB500E;
    list.settings.seismicGrade = codes::SeismicGrade::Third;
    list.settings.percentLapped = 50;
    BarRow l;
    l.mark = QStringLiteral("①");
    l.shape = Shape::L;
    l.grade = codes::SteelGrade::HRB400E;
    l.diameter = 25;
    l.dimensions = {{QStringLiteral("A"), 5000.5}, {QStringLiteral("B"), 300}};
    l.mandrel = 300;
    l.countPerMember = 4;
    l.note = QStringLiteral("顶层角部");
    BarRow old;
    old.mark = QStringLiteral("2");
    old.shape = Shape::Bent;
    old.grade = codes::SteelGrade::HRB335; // from an old drawing
    old.diameter = 20;
    old.dimensions = {{QStringLiteral("A"), 400}, {QStringLiteral("angle"), 60}};
    old.countPerMember = 2;
    list.members << Member{QStringLiteral("KL1"), 2, {l, old}} << Member{QString(), 1, {}};
    // A member generated from its drawing keeps it as written.
    list.members[1].source = {
        {QStringLiteral("beam"),
         QJsonObject{{QStringLiteral("annotation"), QStringLiteral("KL1(2) 300×700")},
                     {QStringLiteral("spans"), QJsonArray{6900, 5400}}}}};
    return list;
}

TEST(ListFile, SavesAndReadsBackEveryValue) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Chinese in the folder and file names, as a Windows user's path has.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("工程/钢筋")));
    const QString path = dir.filePath(QStringLiteral("工程/钢筋/二层梁.cvl"));
    const CuttingList list = sampleList();
    ASSERT_FALSE(saveListFile(list, path));
    const LoadedList loaded = loadListFile(path);
    ASSERT_TRUE(loaded.list) << loaded.error.toStdString();
    EXPECT_EQ(*loaded.list, list);

    // Saving again replaces the file whole.
    CuttingList smaller;
    smaller.members << Member{QStringLiteral("KZ1"), 1, {}};
    ASSERT_FALSE(saveListFile(smaller, path));
    EXPECT_EQ(*loadListFile(path).list, smaller);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("工程/钢筋"))).entryList(QDir::Files).size(), 1);
}

TEST(ListFile, SavingWhereItCannotLeavesNothingAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("没有这个文件夹/a.cvl"));
    const std::optional<QString> error = saveListFile(sampleList(), path);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ListFile, DamagedNewerOrForeignFilesAreRefusedWithTheirReason) {
    const QByteArray good = listToJson(sampleList());
    QByteArray newer = good;
    newer.replace("\"version\": 1", "\"version\": 7");
    QByteArray badShape = good;
    badShape.replace("\"shape\": \"L\"", "\"shape\": \"Z\"");
    QByteArray badGrade = good;
    badGrade.replace("\"HRB335\"", "\"Q235\"");
    QByteArray textCount = good;
    textCount.replace("\"count\": 4", "\"count\": \"4\"");
    QByteArray strayLetter = good;
    strayLetter.replace("\"angle\": 60", "\"Q\": 60");
    QByteArray softConcrete = good;
    softConcrete.replace("\"concrete\": 30", "\"concrete\": 32");
    QByteArray sourceText = good;
    sourceText.replace("\"source\": {", "\"source\": \"beam\", \"x\": {");
    QByteArray eighthGrade = good;
    eighthGrade.replace("\"seismicGrade\": 3", "\"seismicGrade\": 8");
    const struct {
        const char* what;
        QByteArray bytes;
        const char* says;
    } rows[] = {
        {"truncated", good.left(good.size() / 2), "不完整"},
        {"empty", QByteArray(), "不完整"},
        {"garbage", QByteArray("\x89PNG\r\n\x1a\n....", 12), "损坏"},
        {"newer version", newer, "更新版本"},
        {"another JSON file", QByteArray(R"({"name":"package","version":1})"), "不是"},
        {"a JSON array", QByteArray("[1,2,3]"), "不是"},
        {"unknown shape", badShape, "第 1 个构件第 1 行"},
        {"unknown grade", badGrade, "Q235"},
        {"count as text", textCount, "count"},
        {"letter the shape lacks", strayLetter, "Q"},
        {"no such concrete grade", softConcrete, "C15 到 C80"},
        {"no such seismic grade", eighthGrade, "抗震等级"},
        {"source not an object", sourceText, "第 2 个构件：生成来源"},
    };
    for (const auto& row : rows) {
        const LoadedList loaded = listFromJson(row.bytes);
        EXPECT_FALSE(loaded.list) << row.what;
        EXPECT_TRUE(loaded.error.contains(QString::fromUtf8(row.says)))
            << row.what << ": " << loaded.error.toStdString();
    }
}

TEST(ListFile, ListsSavedBeforeLapSettingsTakeTheirDefaults) {
    // As the first version wrote them: no concrete, seismic grade or share lapped.
    const auto older = [](const char* seismic) {
        return QStringLiteral(R"({"format": "corvala-cutting-list", "version": 1, "project": "",
            "settings": {"seismic": %1, "rounding": 5, "defaultGrade": "HRB400"},
            "members": [{"name": "KL1", "count": 1, "rows": []}]})")
            .arg(QLatin1String(seismic))
            .toUtf8();
    };
    const LoadedList withHooks = listFromJson(older("true"));
    ASSERT_TRUE(withHooks.list) << withHooks.error.toStdString();
    EXPECT_TRUE(withHooks.list->settings.seismic);
    EXPECT_EQ(withHooks.list->settings.rounding, Rounding::Millimetre5);
    EXPECT_EQ(withHooks.list->settings.concrete, 30);
    EXPECT_EQ(withHooks.list->settings.seismicGrade, codes::SeismicGrade::Second);
    EXPECT_EQ(withHooks.list->settings.percentLapped, 25);
    EXPECT_TRUE(withHooks.plan.isUndefined());
    const LoadedList plain = listFromJson(older("false"));
    ASSERT_TRUE(plain.list);
    EXPECT_FALSE(plain.list->settings.seismic);
    EXPECT_EQ(plain.list->settings.seismicGrade, codes::SeismicGrade::None);
    // Lists from before GB 55008 was applied take it, as new lists do.
    EXPECT_EQ(withHooks.list->settings.concreteCode, codes::ConcreteCode::Gb55008);

    // Saved again, they keep what they were read as.
    CuttingList list = *plain.list;
    list.settings.concrete = 35;
    list.settings.percentLapped = 50;
    EXPECT_EQ(listFromJson(listToJson(list)).list, list);
}

// The older concrete rule is kept only where asked for, and a list under the
// current code saves without the field, as it did before.
TEST(ListFile, OlderConcreteCodeIsStoredOnlyWhenChosen) {
    CuttingList list = sampleList();
    EXPECT_FALSE(listToJson(list).contains("concreteCode"));
    list.settings.concreteCode = codes::ConcreteCode::Gb50010;
    const QByteArray older = listToJson(list);
    EXPECT_TRUE(older.contains("\"concreteCode\": \"gb50010\"")) << older.toStdString();
    const LoadedList back = listFromJson(older);
    ASSERT_TRUE(back.list) << back.error.toStdString();
    EXPECT_EQ(back.list->settings.concreteCode, codes::ConcreteCode::Gb50010);
    EXPECT_EQ(*back.list, list);

    QByteArray spelled = older;
    spelled.replace("\"gb50010\"", "\"gb55008\"");
    EXPECT_EQ(listFromJson(spelled).list->settings.concreteCode, codes::ConcreteCode::Gb55008);
    QByteArray unknown = older;
    unknown.replace("\"gb50010\"", "\"gb50011\"");
    const LoadedList refused = listFromJson(unknown);
    EXPECT_FALSE(refused.list);
    EXPECT_TRUE(refused.error.contains(QStringLiteral("gb50011"))) << refused.error.toStdString();
}

} // namespace

namespace {

TEST(ListFile, AVersionTooLargeForANumberIsShownAsWritten) {
    QByteArray huge = listToJson(sampleList());
    huge.replace("\"version\": 1", "\"version\": 1e308");
    const LoadedList loaded = listFromJson(huge);
    ASSERT_FALSE(loaded.list);
    EXPECT_TRUE(loaded.error.contains(QStringLiteral("格式版本 1e+308")))
        << loaded.error.toStdString();
}

TEST(ListFile, WhatIsNotARegularFileIsRefusedAtOnce) {
    QTemporaryDir dir;
    const LoadedList folder = loadListFile(dir.path());
    ASSERT_FALSE(folder.list);
    EXPECT_EQ(folder.error, QStringLiteral("这是一个文件夹，不是文件"));
#ifdef Q_OS_UNIX
    // /dev/zero would be read for ever.
    const LoadedList device = loadListFile(QStringLiteral("/dev/zero"));
    ASSERT_FALSE(device.list);
    EXPECT_TRUE(device.error.contains(QStringLiteral("不是普通文件")))
        << device.error.toStdString();
#endif
    const LoadedList missing = loadListFile(dir.filePath(QStringLiteral("无.cvl")));
    EXPECT_TRUE(missing.error.startsWith(QStringLiteral("无法打开文件")));
}

} // namespace
