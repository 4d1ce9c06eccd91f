#pragma once

// Reading a member's JSON (a beam, a column): what both readers share.
// Reading stops at the first fault, which names the key. Only
// core/members/ includes it.

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cmath>

namespace members::detail {

struct JsonReader {
    QString error;

    bool fail(const QString& key, const QString& what) {
        if (error.isEmpty())
            error = QStringLiteral("“%1”：%2").arg(key, what);
        return false;
    }

    bool onlyKeys(const QJsonObject& o, const QStringList& known, const QString& where) {
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!known.contains(it.key()))
                return fail(where.isEmpty() ? it.key() : where + QLatin1Char('.') + it.key(),
                            QStringLiteral("未知的键"));
        return true;
    }

    // An absent or null key leaves `out` as it is.
    bool text(const QJsonObject& o, const char* key, QString& out, const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isString())
            return fail(where + QLatin1String(key), QStringLiteral("应为文字"));
        out = v.toString();
        return true;
    }

    bool number(const QJsonObject& o, const char* key, double& out, const QString& where = {}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            return fail(where + QLatin1String(key), QStringLiteral("应为数"));
        out = v.toDouble();
        return true;
    }

    bool flag(const QJsonObject& o, const char* key, bool& out, const QString& where) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isBool())
            return fail(where + QLatin1String(key), QStringLiteral("应为 true 或 false"));
        out = v.toBool();
        return true;
    }
};

} // namespace members::detail
