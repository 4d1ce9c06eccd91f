#pragma once

// Reading the fields of Corvala's JSON files (lists, the offcut store): the
// first fault, with its place, ends the reading and is what the user sees.

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace schedule {

struct JsonFieldReader {
    QString error;

    bool fail(const QString& where, const QString& what) {
        if (error.isEmpty())
            error = where.isEmpty() ? what : QStringLiteral("%1：%2").arg(where, what);
        return false;
    }

    // An absent key leaves `out` as it is, unless it is required.
    bool text(const QJsonObject& o, const char* key, QString& out, const QString& where,
              bool required = false) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() && !required)
            return true;
        if (!v.isString())
            return fail(where, QStringLiteral("“%1”应为文字").arg(QLatin1String(key)));
        out = v.toString();
        return true;
    }
};

} // namespace schedule
