#pragma once

#include "core/schedule/cutting_list.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// The cutting-list file: UTF-8 JSON, versioned, written whole or not at all.
// Its layout is written up in docs/cutting-list-file.md.
namespace schedule {

inline const QString kListFileSuffix = QStringLiteral("cvl");
inline const QString kListFileFormat = QStringLiteral("corvala-cutting-list");
inline const QString kListMimeType = QStringLiteral("application/x-corvala-cutting-list");
constexpr int kListFileVersion = 1;

struct LoadedList {
    std::optional<CuttingList> list;
    QString error; // why there is no list, for the user, in Chinese
    // The cutting plan saved with the list, as written: the plans layer
    // reads it (plans/list_plan.h). Undefined when the file has none; never
    // a reason to refuse the list.
    QJsonValue plan;
    // The settings of the next cutting plan where they are not the plan's,
    // as written; undefined when the file has none.
    QJsonValue planSettings;
};

// `plan`: the cutting plan saved with the list; an empty object writes none.
// What says which bar a row is, as the file and the report both write it:
// mark, shape, grade, diameter and outer dimensions.
QJsonObject barRowJson(const BarRow& row);

QByteArray listToJson(const CuttingList& list, const QJsonObject& plan = {},
                      const QJsonObject& planSettings = {});
// Reads a whole file's bytes. Anything amiss (not JSON, truncated, not a
// cutting list, a newer version, a value out of place) gives no list and the
// reason; a list is never half read.
LoadedList listFromJson(const QByteArray& bytes);

// Through a temporary file renamed over the old one, so that a crash or a
// full disk never leaves a half-written list. The reason on failure.
std::optional<QString> saveListFile(const CuttingList& list, const QString& path,
                                    const QJsonObject& plan = {},
                                    const QJsonObject& planSettings = {});
LoadedList loadListFile(const QString& path);

} // namespace schedule
