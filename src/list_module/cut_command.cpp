#include "list_module/cut_command.h"

#include "list_module/list_command.h"

#include "core/plans/planner.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "core/offcuts/offcut_store.h"
#include "core/plans/cutting_plan.h"
#include "core/plans/list_pieces.h"
#include "core/plans/list_plan.h"
#include "core/schedule/csv.h"
#include "core/schedule/csv_records.h"
#include "core/schedule/list_file.h"
#include "core/schedule/whole_file.h"
#include "drawing/plans/plan_drawing.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <charconv>
#include <cmath>

namespace cli {

namespace {

// A whole number of mm or bars, nothing else.
std::optional<long long> wholeNumber(const QString& text) {
    const QByteArray bytes = text.trimmed().toLatin1();
    long long value = 0;
    const auto [end, error] =
        std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    if (error != std::errc() || end != bytes.constData() + bytes.size() || bytes.isEmpty())
        return std::nullopt;
    return value;
}

// LENGTH[:N][@PRICE], comma-separated: stock to buy, at most N bars of it,
// at PRICE yuan (per metre or per bar as --pricing says).
std::optional<QString> readStock(const QString& text, plans::PlanSettings& settings) {
    settings.stock.clear();
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString refused =
            QStringLiteral("--stock：“%1”不是原材料（整毫米长度，可加“:根数”和“@单价”，"
                           "如 12000:40@4.35）")
                .arg(item);
        const QStringList priced = item.split(QLatin1Char('@'));
        const QStringList parts = priced.first().split(QLatin1Char(':'));
        const auto length = wholeNumber(parts.first());
        if (priced.size() > 2 || parts.size() > 2 || !length || *length <= 0)
            return refused;
        plans::StockLength stock{*length, std::nullopt};
        if (parts.size() == 2) {
            const auto count = wholeNumber(parts[1]);
            if (!count || *count < 0)
                return QStringLiteral("--stock：“%1”的根数不对").arg(item);
            stock.available = count;
        }
        if (priced.size() == 2) {
            const std::optional<double> price = numbers::strictNumber(priced[1].trimmed());
            if (!price || !std::isfinite(*price) || *price <= 0 || *price > 1e7)
                return QStringLiteral("--stock：“%1”的单价不对（元，大于 0）").arg(item);
            stock.price = *price;
        }
        settings.stock << stock;
    }
    return std::nullopt;
}

// LENGTH:N, comma-separated: full bars in the yard.
std::optional<QString> readOnHand(const QString& text, QList<plans::StockLength>& stock) {
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(':'));
        const auto length = parts.size() == 2 ? wholeNumber(parts[0]) : std::nullopt;
        const auto count = parts.size() == 2 ? wholeNumber(parts[1]) : std::nullopt;
        if (!length || *length <= 0 || !count || *count < 0)
            return QStringLiteral("--on-hand：“%1”应为“长度:根数”，如 12000:20").arg(item);
        stock << plans::StockLength{*length, *count, plans::StockSource::OnHand};
    }
    return std::nullopt;
}

// none, metre or bar; every bar bought needs a price with the last two.
std::optional<QString> readPricing(const QString& text, plans::ListPlanSettings& settings) {
    const QString value = text.trimmed().toLower();
    if (value.isEmpty() || value == QLatin1String("none"))
        settings.pricing = plans::Pricing::None;
    else if (value == QLatin1String("metre") || value == QLatin1String("meter"))
        settings.pricing = plans::Pricing::PerMetre;
    else if (value == QLatin1String("bar"))
        settings.pricing = plans::Pricing::PerBar;
    else
        return QStringLiteral("--pricing：“%1”应为 none、metre 或 bar").arg(text);
    for (const plans::StockLength& s : settings.stock) {
        if (s.source != plans::StockSource::Bought)
            continue;
        if (settings.pricing == plans::Pricing::None && s.price > 0)
            return QStringLiteral("--stock 给了单价（%1 mm），须同时给出 --pricing metre 或 "
                                  "--pricing bar")
                .arg(s.length);
        if (settings.pricing != plans::Pricing::None && !(s.price > 0))
            return QStringLiteral("--pricing %1：%2 mm 原材料没有单价（如 %2@4.35）")
                .arg(value)
                .arg(s.length);
    }
    return std::nullopt;
}

const char* sourceName(plans::StockSource source) {
    switch (source) {
    case plans::StockSource::Bought:
        return "bought";
    case plans::StockSource::OnHand:
        return "onHand";
    case plans::StockSource::Offcut:
        return "offcut";
    }
    return "bought";
}

// Cost units as the JSON gives them: yuan with prices, mm of stock without.
double costValue(long long units, plans::Pricing pricing) {
    return pricing == plans::Pricing::None
               ? double(units)
               : double(std::llround(double(units) / (plans::kCostUnitsPerYuan / 100))) / 100;
}

QJsonObject offcutJson(const offcuts::Offcut& o, long long count) {
    return QJsonObject{{QStringLiteral("id"), o.id},
                       {QStringLiteral("length"), double(o.length)},
                       {QStringLiteral("grade"), o.grade},
                       {QStringLiteral("diameter"), o.diameter},
                       {QStringLiteral("count"), double(count)}};
}

// none, coupler, lap:MM, lap:Nd (a multiple of d) or lap:rules (the
// anchorage rules with the list's concrete, seismic grade and share lapped).
std::optional<QString> readSplice(const QString& text, plans::ListPlanSettings& settings) {
    const QString value = text.trimmed().toLower();
    const QString refused =
        QStringLiteral("--splice：“%1”应为 none、coupler、lap:毫米数、lap:倍数d 或 lap:rules")
            .arg(text);
    if (value == QLatin1String("none")) {
        settings.splice = plans::SpliceKind::None;
        return std::nullopt;
    }
    if (value == QLatin1String("coupler")) {
        settings.splice = plans::SpliceKind::Coupler;
        return std::nullopt;
    }
    if (!value.startsWith(QLatin1String("lap:")))
        return refused;
    settings.splice = plans::SpliceKind::Lap;
    const QString lap = value.mid(4);
    if (lap == QLatin1String("rules")) {
        settings.lapBasis = plans::LapBasis::Rules;
        return std::nullopt;
    }
    const bool diameters = lap.endsWith(QLatin1Char('d'));
    const std::optional<double> number = numbers::strictNumber(diameters ? lap.chopped(1) : lap);
    if (!number || !(*number > 0) || *number > 1e6)
        return refused;
    settings.lapBasis = diameters ? plans::LapBasis::Diameters : plans::LapBasis::Length;
    (diameters ? settings.lapDiameters : settings.lapLength) = *number;
    return std::nullopt;
}

int columnOf(const QStringList& header, std::initializer_list<const char*> names) {
    for (int i = 0; i < header.size(); ++i)
        for (const char* name : names)
            if (header[i].trimmed().compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0)
                return i;
    return -1;
}

struct PieceFile {
    QList<plans::PieceGroup> groups;
    QStringList problems;        // one line each
    QString error;               // nothing could be read
    bool noPieceColumns = false; // no length and count: perhaps a cutting list's CSV
};

// A CSV of pieces: columns length and count, optionally diameter, grade, mark.
PieceFile readPieceCsv(const QByteArray& bytes) {
    PieceFile file;
    const QString text = schedule::decodeSpreadsheetText(bytes);
    const QList<schedule::CsvRecord> records =
        schedule::parseCsvRecords(text, schedule::csvSeparator(text));
    if (records.isEmpty()) {
        file.error = QStringLiteral("文件是空的");
        return file;
    }
    const QStringList& header = records.first().cells;
    const int length = columnOf(header, {"length", "长度", "下料长度"});
    const int count = columnOf(header, {"count", "根数", "数量"});
    const int diameter = columnOf(header, {"diameter", "直径"});
    const int grade = columnOf(header, {"grade", "牌号", "级别"});
    const int mark = columnOf(header, {"mark", "编号"});
    if (length < 0 || count < 0) {
        file.error =
            QStringLiteral("第一行须有 length 和 count 两列（可再有 diameter、grade、mark），"
                           "或是下料单导出的 CSV");
        file.noPieceColumns = true;
        return file;
    }
    QMap<QPair<QString, int>, plans::PieceGroup> groups;
    for (int r = 1; r < records.size(); ++r) {
        const QStringList& cells = records[r].cells;
        const auto cellAt = [&](int column) {
            return column >= 0 && column < cells.size() ? cells[column].trimmed() : QString();
        };
        const auto problem = [&](const QString& reason) {
            file.problems << QStringLiteral("第 %1 行：%2").arg(records[r].line).arg(reason);
        };
        if (!records[r].problem.isEmpty()) {
            problem(records[r].problem);
            continue;
        }
        bool blank = true;
        for (const QString& cell : cells)
            blank = blank && cell.trimmed().isEmpty();
        if (blank)
            continue;
        // Lengths are cut to the whole millimetre above, never shorter.
        const auto mm = numbers::strictNumber(cellAt(length));
        if (!mm || !std::isfinite(*mm) || std::abs(*mm) > 1e12) {
            problem(QStringLiteral("长度“%1”不是数值").arg(cellAt(length)));
            continue;
        }
        const auto pieces = wholeNumber(cellAt(count));
        if (!pieces) {
            problem(QStringLiteral("根数“%1”不是整数").arg(cellAt(count)));
            continue;
        }
        int d = 0;
        if (!cellAt(diameter).isEmpty()) {
            const auto value = wholeNumber(cellAt(diameter));
            if (!value || *value <= 0 || *value > 1000) {
                problem(QStringLiteral("直径“%1”不对").arg(cellAt(diameter)));
                continue;
            }
            d = int(*value);
        }
        plans::PieceGroup& group = groups[{cellAt(grade).toUpper(), d}];
        group.grade = cellAt(grade).toUpper();
        group.diameter = d;
        group.pieces << plans::Piece{(long long)std::ceil(*mm - 1e-9), *pieces, cellAt(mark)};
    }
    file.groups = groups.values();
    if (file.groups.isEmpty() && file.problems.isEmpty())
        file.error = QStringLiteral("文件里没有料");
    return file;
}

QJsonValue orNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonObject groupJson(const plans::GroupPlan& plan) {
    QJsonObject group{
        {QStringLiteral("grade"), orNull(plan.grade)},
        {QStringLiteral("diameter"), plan.diameter > 0 ? QJsonValue(plan.diameter) : QJsonValue()}};
    if (!plan.error.isEmpty()) {
        group.insert(QStringLiteral("error"), plan.error);
        return group;
    }
    QJsonArray patterns;
    for (const plans::Pattern& p : plan.patterns) {
        QJsonArray pieces;
        QJsonArray marks;
        for (const plans::PlacedPiece& piece : p.pieces) {
            pieces << double(piece.length);
            marks << piece.label;
        }
        patterns << QJsonObject{{QStringLiteral("stock"), double(p.stock)},
                                {QStringLiteral("count"), double(p.count)},
                                {QStringLiteral("pieces"), pieces},
                                {QStringLiteral("marks"), marks},
                                {QStringLiteral("offcut"), double(p.offcut)},
                                {QStringLiteral("offcutKept"), p.offcutKept},
                                {QStringLiteral("source"), QLatin1String(sourceName(p.source))}};
    }
    QJsonArray stock;
    for (const plans::StockUse& s : plan.stock)
        stock << QJsonObject{{QStringLiteral("length"), double(s.length)},
                             {QStringLiteral("count"), double(s.count)},
                             {QStringLiteral("source"), QLatin1String(sourceName(s.source))}};
    QJsonArray splices;
    for (const plans::SplicedPiece& s : plan.splices) {
        QJsonArray segments;
        QJsonArray joints;
        for (long long v : s.segments)
            segments << double(v);
        for (long long v : s.joints)
            joints << double(v);
        splices << QJsonObject{{QStringLiteral("mark"), s.label},
                               {QStringLiteral("length"), double(s.length)},
                               {QStringLiteral("count"), double(s.count)},
                               {QStringLiteral("segments"), segments},
                               {QStringLiteral("joints"), joints},
                               {QStringLiteral("lap"), double(s.lap)}};
    }
    group.insert(QStringLiteral("patterns"), patterns);
    group.insert(QStringLiteral("stock"), stock);
    if (!splices.isEmpty())
        group.insert(QStringLiteral("splices"), splices);
    group.insert(QStringLiteral("stockLength"), double(plan.stockLength));
    group.insert(QStringLiteral("piecesLength"), double(plan.piecesLength));
    group.insert(QStringLiteral("keptOffcut"), double(plan.keptOffcut));
    group.insert(QStringLiteral("waste"), double(plan.waste));
    group.insert(QStringLiteral("utilisation"), plan.utilisation);
    // In whole mm, rounded up: stock comes in whole mm, so this is a bound
    // too. With prices, yuan rounded down to the fen, which stays a bound.
    group.insert(QStringLiteral("lowerBound"),
                 plan.pricing == plans::Pricing::None
                     ? std::ceil(plan.lowerBound - 1e-6 * plan.lowerBound - 1e-6)
                     : std::floor(plan.lowerBound / (plans::kCostUnitsPerYuan / 100) + 1e-9) / 100);
    group.insert(QStringLiteral("lpSolved"), plan.lpSolved);
    group.insert(QStringLiteral("leastPossible"), costValue(plan.leastPossible, plan.pricing));
    group.insert(QStringLiteral("proven"), plan.proven);
    group.insert(QStringLiteral("timedOut"), plan.timedOut);
    // What the plan keeps least and the least any plan can have of it: yuan
    // with prices, mm of stock bought without.
    group.insert(QStringLiteral("pricing"), plan.pricing == plans::Pricing::PerMetre ? "metre"
                                            : plan.pricing == plans::Pricing::PerBar ? "bar"
                                                                                     : "none");
    group.insert(QStringLiteral("cost"), costValue(plan.cost, plan.pricing));
    group.insert(QStringLiteral("costBound"), costValue(plan.leastPossible, plan.pricing));
    return group;
}

QString percent(double share) {
    return numbers::formatPattern(share * 100, numbers::Pattern::Fixed2) + QLatin1Char('%');
}

QString groupText(const plans::GroupPlan& plan) {
    QString text;
    QString title = plan.grade.isEmpty() ? QStringLiteral("（未分牌号）") : plan.grade;
    if (plan.diameter > 0)
        title += QStringLiteral(" Φ%1").arg(plan.diameter);
    text += title + QLatin1Char('\n');
    for (const plans::SplicedPiece& s : plan.splices) {
        QStringList joints;
        for (long long j : s.joints)
            joints << QString::number(j);
        text += QStringLiteral("  接长 %1 %2 mm × %3 根：接头在 %4 mm 处%5\n")
                    .arg(s.label)
                    .arg(s.length)
                    .arg(s.count)
                    .arg(joints.join(QStringLiteral("、")))
                    .arg(s.lap > 0 ? QStringLiteral("，搭接 %1 mm").arg(s.lap) : QString());
    }
    for (const plans::Pattern& p : plan.patterns) {
        QStringList pieces;
        for (const plans::PlacedPiece& piece : p.pieces)
            pieces << (piece.label.isEmpty()
                           ? QString::number(piece.length)
                           : QStringLiteral("%1(%2)").arg(piece.length).arg(piece.label));
        text += QStringLiteral("  %1 mm × %2 根：%3，%4 %5 mm\n")
                    .arg(p.stock)
                    .arg(p.count)
                    .arg(pieces.join(QStringLiteral(" + ")))
                    .arg(p.offcutKept ? QStringLiteral("余料") : QStringLiteral("废料"))
                    .arg(p.offcut);
    }
    QStringList stock;
    for (const plans::StockUse& s : plan.stock)
        stock << schedule::stockUseText(s);
    text += QStringLiteral("  原材料：%1\n").arg(stock.join(QStringLiteral("，")));
    if (plan.pricing != plans::Pricing::None)
        text += QStringLiteral("  %1\n").arg(schedule::optimalityText(plan));
    text += QStringLiteral("  原材料总长 %1 mm，料长 %2 mm，余料 %3 mm，废料 %4 mm，利用率 %5\n")
                .arg(plan.stockLength)
                .arg(plan.piecesLength)
                .arg(plan.keptOffcut)
                .arg(plan.waste)
                .arg(percent(plan.utilisation));
    if (plan.pricing == plans::Pricing::None)
        text += QStringLiteral("  下界 %1 mm（%2），%3\n")
                    .arg(qint64(std::ceil(plan.lowerBound - 1e-6 * plan.lowerBound - 1e-6)))
                    .arg(plan.lpSolved ? QStringLiteral("线性规划松弛的最优值")
                                       : QStringLiteral("时间到，线性规划未解完"))
                    .arg(plan.proven ? QStringLiteral("已证明最优：没有用料更少的方案")
                         : plan.pricing != plans::Pricing::None
                             ? QStringLiteral("与下界相差 %1 元")
                                   .arg(plans::yuanText(double(plan.cost - plan.leastPossible)))
                             : QStringLiteral("至多比最优多用 %1 mm")
                                   .arg(plan.cost - plan.leastPossible));
    return text;
}

} // namespace

ListOutput runCut(const CutOptions& options) {
    ListOutput output;
    const auto fail = [&](const QString& reason) {
        output.errors << reason;
        output.status = 1;
        return output;
    };
    plans::PlanSettings settings;
    if (options.stock)
        if (const auto problem = readStock(*options.stock, settings))
            return fail(*problem);
    for (const auto& [text, target, name] :
         {std::tuple{options.kerf, &settings.kerf, "--kerf"},
          std::tuple{options.keepOffcut, &settings.keepOffcut, "--keep-offcut"}}) {
        if (text.isEmpty())
            continue;
        const auto value = wholeNumber(text);
        if (!value || *value < 0)
            return fail(QStringLiteral("%1：“%2”不是长度（整毫米，不小于 0）")
                            .arg(QLatin1String(name), text));
        *target = *value;
    }

    plans::ListPlanSettings listSettings;
    listSettings.stock = settings.stock;
    listSettings.kerf = settings.kerf;
    listSettings.keepOffcut = settings.keepOffcut;
    if (!options.splice.isEmpty())
        if (const auto problem = readSplice(options.splice, listSettings))
            return fail(*problem);
    if (const auto problem = readPricing(options.pricing, listSettings))
        return fail(*problem);
    // Bars in the yard go first: the solver takes free bars before any it buys.
    if (!options.onHand.isEmpty()) {
        QList<plans::StockLength> onHand;
        if (const auto problem = readOnHand(options.onHand, onHand))
            return fail(*problem);
        listSettings.stock = onHand + listSettings.stock;
    }
    std::optional<offcuts::Store> store;
    plans::OffcutsOnOffer offer;
    if (!options.offcuts.isEmpty()) {
        const offcuts::ReadStore read = offcuts::readStore(options.offcuts);
        if (!read.store)
            return fail(QStringLiteral("%1: %2").arg(options.offcuts, read.error));
        store = read.store;
        offer = offcuts::offcutsOnOffer(*store);
        listSettings.useOffcuts = true;
        listSettings.storeOffcuts = true;
    }
    const bool byRules = listSettings.splice == plans::SpliceKind::Lap &&
                         listSettings.lapBasis == plans::LapBasis::Rules;

    plans::Plan plan;
    const QString& path = options.path;
    const bool csv =
        QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
    if (csv && byRules)
        return fail(QStringLiteral("--splice lap:rules 只用于 .cvl 下料单：搭接长度按其中的"
                                   "混凝土强度等级、抗震等级和接头面积百分率确定"));
    PieceFile pieces;
    if (csv) {
        const schedule::ReadFile bytes = schedule::readWholeFile(path, schedule::kLargestCsv);
        if (!bytes.error.isEmpty())
            return fail(QStringLiteral("%1: %2").arg(path, bytes.error));
        pieces = readPieceCsv(bytes.bytes);
    }
    if (csv && !pieces.noPieceColumns) {
        if (!pieces.error.isEmpty())
            return fail(QStringLiteral("%1: %2").arg(path, pieces.error));
        for (const QString& problem : pieces.problems)
            fail(QStringLiteral("%1: %2").arg(path, problem));
        for (int g = 0; g < pieces.groups.size(); ++g)
            plan.groups << plans::planGroup(
                pieces.groups[g],
                plans::groupSettings(pieces.groups[g], listSettings, {}, offer).solver, {}, g,
                int(pieces.groups.size()));
    } else {
        // A .cvl list or a cutting list's CSV, read as --list reads it.
        ListOutput read;
        const std::optional<schedule::CuttingList> list = readList(path, read);
        output.errors << read.errors;
        if (!list) {
            if (csv)
                output.errors.back() = QStringLiteral("%1: %2").arg(path, pieces.error);
            output.status = 1;
            return output;
        }
        output.status = std::max(output.status, read.status);
        // The same plan as the list window's: laps by the rules group by group.
        const plans::ListPlan listed = plans::planList(*list, listSettings, {}, offer);
        if (listed.rowsLeftOut > 0)
            fail(QStringLiteral("%1: %2 行有问题，未计入下料").arg(path).arg(listed.rowsLeftOut));
        if (listed.plan.groups.isEmpty())
            return fail(QStringLiteral("%1: 清单里没有可下料的行").arg(path));
        plan = listed.plan;
    }

    QJsonArray json;
    for (const plans::GroupPlan& group : plan.groups) {
        if (!group.error.isEmpty()) {
            QString title = group.grade;
            if (group.diameter > 0)
                title += QStringLiteral(" Φ%1").arg(group.diameter);
            fail(title.isEmpty() ? group.error
                                 : QStringLiteral("%1: %2").arg(title.trimmed(), group.error));
        }
        if (options.json)
            json << groupJson(group);
        else if (group.error.isEmpty())
            output.out += groupText(group);
    }
    QJsonObject answer{{QStringLiteral("groups"), json}};
    if (store) {
        // The store takes what the plan used and kept, re-read first so that
        // what was written to it meanwhile stays.
        const offcuts::Delta delta =
            offcuts::planDelta(*store, plan, QFileInfo(path).fileName(), QDate::currentDate(),
                               listSettings.useOffcuts, listSettings.storeOffcuts);
        if (const QString problem = offcuts::applyToFile(options.offcuts, delta);
            !problem.isEmpty())
            fail(QStringLiteral("%1: %2").arg(options.offcuts, problem));
        if (delta.shortOf > 0)
            fail(QStringLiteral("%1: 余料库里少了 %2 根方案所用的余料")
                     .arg(options.offcuts)
                     .arg(delta.shortOf));
        QJsonArray used, added;
        QStringList usedText, addedText;
        for (const offcuts::Take& t : delta.taken)
            if (const offcuts::Offcut* o = store->find(t.id)) {
                used << offcutJson(*o, t.count);
                usedText << QStringLiteral("%1 %2 Φ%3 × %4 根")
                                .arg(o->length)
                                .arg(o->grade)
                                .arg(o->diameter)
                                .arg(t.count);
            }
        for (const offcuts::Offcut& o : delta.added) {
            added << offcutJson(o, o.count);
            addedText << QStringLiteral("%1 %2 Φ%3 × %4 根")
                             .arg(o.length)
                             .arg(o.grade)
                             .arg(o.diameter)
                             .arg(o.count);
        }
        answer.insert(QStringLiteral("offcuts"),
                      QJsonObject{{QStringLiteral("store"), options.offcuts},
                                  {QStringLiteral("used"), used},
                                  {QStringLiteral("added"), added}});
        if (!options.json)
            output.out += QStringLiteral("余料库 %1：用去 %2；存入 %3\n")
                              .arg(options.offcuts,
                                   usedText.isEmpty() ? QStringLiteral("无")
                                                      : usedText.join(QStringLiteral("，")),
                                   addedText.isEmpty() ? QStringLiteral("无")
                                                       : addedText.join(QStringLiteral("，")));
    }
    if (options.json) {
        long long cost = 0;
        for (const plans::GroupPlan& group : plan.groups)
            cost += group.cost;
        answer.insert(QStringLiteral("cost"), costValue(cost, listSettings.pricing));
        output.out = QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact)) +
                     QLatin1Char('\n');
    }
    return output;
}

} // namespace cli
