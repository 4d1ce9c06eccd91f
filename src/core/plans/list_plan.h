#pragma once

#include "core/plans/cutting_plan.h"
#include "core/plans/list_pieces.h"
#include "core/schedule/cutting_list.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>

#include <optional>

// The cutting plan of a cutting list (下料优化 in the list's window): the
// solver's settings as the user gives them, the lap of spliced bars taken
// from the anchorage rules group by group, the plan kept with the list in
// its file, and whether the list still matches the plan.
namespace plans {

// How the lap of a spliced piece is given.
enum class LapBasis {
    Length,    // one length in mm for every group
    Diameters, // a multiple of each group's diameter
    Rules,     // 按锚固规范: ll or llE of each group's grade and diameter
};

struct ListPlanSettings {
    QList<StockLength> stock{{9000, std::nullopt}, {12000, std::nullopt}};
    long long kerf = 0;
    long long keepOffcut = 0; // 0: every offcut is scrap
    SpliceKind splice = SpliceKind::None;
    LapBasis lapBasis = LapBasis::Rules;
    double lapLength = 0;          // mm, with LapBasis::Length
    double lapDiameters = 0;       // with LapBasis::Diameters
    double timeLimitSeconds = 2.0; // per group
    Pricing pricing = Pricing::None;
    // The offcut store (余料库): its offcuts offered before new stock, and
    // the offcuts the plan keeps put into it when the plan is accepted.
    bool useOffcuts = false;
    bool storeOffcuts = false;
    QString offcutStore; // the store's file, relative to the list's folder; empty: the default

    bool operator==(const ListPlanSettings&) const = default;
};

// Offcuts on offer from the offcut store, by grade and diameter: stock of
// source Offcut, each length with how many bars there are.
using OffcutsOnOffer = QMap<std::pair<QString, int>, QList<StockLength>>;

// Money in cost units as yuan with two decimals: "1234.56".
QString yuanText(double costUnits);

// The lap of one group by the anchorage rules, with the list's concrete,
// seismic grade and share lapped.
struct GroupLap {
    std::optional<int> lapMm; // none: no lap can be given (why in `objection`)
    int multiple = 0;         // the atlas's whole multiple of d behind it
    bool llE = false;         // with seismic design
    QString objection;        // in Chinese, for the user; shown beside the group's title
};
GroupLap lapByRules(const QString& grade, int diameter, const schedule::ListSettings& list);

// The settings the solver takes for one group: the lap resolved to mm.
// Where the rules give no lap and the group needs one, `error` says why.
// With useOffcuts, the group's offcuts on offer come before the stock.
struct GroupSettings {
    PlanSettings solver;
    QString error;
};
GroupSettings groupSettings(const PieceGroup& group, const ListPlanSettings& settings,
                            const schedule::ListSettings& list, const OffcutsOnOffer& offcuts = {});

struct ListPlan {
    ListPlanSettings settings;
    // The list's lap inputs when the plan was made (concrete, seismic grade,
    // share lapped), shown beside it.
    int concrete = 30;
    codes::SeismicGrade seismicGrade = codes::SeismicGrade::Second;
    double percentLapped = 25;
    codes::ConcreteCode concreteCode = codes::ConcreteCode::Gb55008;
    QString fingerprint; // of what it was made from; see planFingerprint
    int rowsLeftOut = 0; // rows with a problem, not in the plan
    Plan plan;           // by grade and diameter, with the totals
};

// What a plan depends on in the list: each group's pieces (length, count,
// label; in any order, so that sorting rows keeps a plan) and, where laps
// come from the anchorage rules, the lap of each group that needs one.
QString planFingerprint(const ListPieces& pieces, const ListPlanSettings& settings,
                        const schedule::ListSettings& list);
QString planFingerprint(const schedule::CuttingList& list, const ListPlanSettings& settings);

// Plans the list group by group; cancelled (control.cancel) as soon as the
// group being planned stops.
ListPlan planList(const schedule::CuttingList& list, const ListPlanSettings& settings,
                  const PlanControl& control = {}, const OffcutsOnOffer& offcuts = {});

// The list no longer gives the pieces (or laps) the plan was made from: the
// plan is out of date (过期) until it is made again.
bool isOutOfDate(const ListPlan& plan, const schedule::CuttingList& list);

// The "plan" object of the list's file (docs/cutting-list-file.md). A plan
// without prices, stock on hand or offcuts is written as version 1, as
// before them, so that older Corvala still reads it.
inline constexpr int kPlanSectionVersion = 2;
QJsonObject planToJson(const ListPlan& plan);
struct LoadedPlan {
    std::optional<ListPlan> plan;
    QString error; // why it was dropped, in Chinese; empty with a plan or none saved
};
// An undefined value (no plan saved) gives neither plan nor error.
LoadedPlan planFromJson(const QJsonValue& value);

// The next plan's settings kept with the list where they are not its
// plan's ("planSettings" of the list's file), as the plan section writes them.
QJsonObject planSettingsToJson(const ListPlanSettings& settings);
struct LoadedPlanSettings {
    std::optional<ListPlanSettings> settings;
    QString error; // why they were dropped, in Chinese; empty with settings or none saved
};
LoadedPlanSettings planSettingsFromJson(const QJsonValue& value);

} // namespace plans
