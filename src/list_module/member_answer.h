#pragma once

// What --beam and --column share: the member's file read as one JSON object,
// and its rows answered as a table with derivations or as JSON in the
// --list --json row shape, with what could not be detailed. Only the member
// commands include it.

#include "cli/list_commands.h"
#include "core/codes/anchorage_rules.h"
#include "core/schedule/computation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <optional>

namespace cli::member_answer {

ListOutput refuse(const QString& why);

// The file's JSON object; none, with the refusal set, when it cannot be
// read, is too large to be a member's file or is no JSON object. `what`
// names the member in the message: "梁", "柱".
std::optional<QJsonObject> readFile(const QString& file, const QString& what, ListOutput& refusal);

// The list's settings a member's rows are worked out with: seismic hooks
// of max(10d, 75) where it is designed for earthquakes.
schedule::ListSettings settingsFor(codes::SeismicGrade seismic, int concrete);

// A row in the --list --json shape, its cut length and mass worked out.
QJsonObject rowJson(const schedule::BarRow& bar, const QString& member,
                    const schedule::ListSettings& settings);

// A row's line of the table: mark, role, where, shape, grade, diameter,
// dimensions, cut length, budget length, count.
QString rowLine(const schedule::BarRow& bar, const QString& role, const QString& where,
                double budgetLength, const schedule::ListSettings& settings);

// Rows (each with `bar`, `role`, `budgetLength`, `derivation`) and problems
// (`where`, `reason`) as the answer: `extra` adds a row's own JSON keys,
// `role` and `where` its table cells; `whereHeading` the table's column.
template <typename Bars, typename Extra, typename Role, typename Where>
ListOutput answer(const Bars& bars, const QString& file, bool json,
                  const schedule::ListSettings& settings, const QString& whereHeading, Extra extra,
                  Role role, Where where) {
    QStringList problems;
    for (const auto& p : bars.problems)
        problems << QStringLiteral("%1：%2").arg(p.where, p.reason);
    if (bars.rows.isEmpty()) {
        ListOutput reply = refuse(QStringLiteral("%1：无法翻样").arg(file));
        reply.errors << problems;
        return reply;
    }
    ListOutput out;
    if (json) {
        QJsonArray rows;
        for (const auto& r : bars.rows) {
            QJsonObject o = rowJson(r.bar, bars.name, settings);
            o.insert(QStringLiteral("role"), r.role);
            extra(r, o);
            o.insert(QStringLiteral("budgetLength"), r.budgetLength);
            o.insert(QStringLiteral("derivation"), r.derivation);
            rows.append(o);
        }
        QJsonArray problemList;
        for (const auto& p : bars.problems)
            problemList.append(QJsonObject{{QStringLiteral("where"), p.where},
                                           {QStringLiteral("reason"), p.reason}});
        const QJsonObject root{{QStringLiteral("member"), bars.name},
                               {QStringLiteral("rows"), rows},
                               {QStringLiteral("problems"), problemList}};
        out.outUtf8 = QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
        return out;
    }
    QStringList lines;
    lines << QStringLiteral(
                 "编号\t钢筋\t%1\t形状\t牌号\t直径\t尺寸\t下料长度(mm)\t预算长度(mm)\t根数")
                 .arg(whereHeading);
    for (const auto& r : bars.rows) {
        lines << rowLine(r.bar, role(r.role), where(r), r.budgetLength, settings);
        lines << QStringLiteral("\t%1").arg(r.derivation);
    }
    if (!problems.isEmpty()) {
        lines << QString() << QStringLiteral("未能翻样：");
        for (const QString& p : problems)
            lines << QStringLiteral("\t%1").arg(p);
    }
    out.out = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return out;
}

} // namespace cli::member_answer
