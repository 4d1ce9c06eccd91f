#include "core/schedule/list_edits.h"

#include "core/schedule/row_columns.h"

#include <algorithm>

namespace schedule {

BarRow rowToFollow(const Member& member, int after, const ListSettings& settings) {
    BarRow row;
    row.grade = settings.defaultGrade;
    if (member.rows.isEmpty() || after < 0) {
        row.mark = QStringLiteral("1");
        return row;
    }
    const BarRow& before = member.rows[std::min<qsizetype>(after, member.rows.size() - 1)];
    row.shape = before.shape;
    row.grade = before.grade;
    row.diameter = before.diameter;
    row.mark = nextMark(before.mark);
    return row;
}

QString newMemberName(const CuttingList& list) {
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("构件%1").arg(n);
        const bool taken = std::any_of(list.members.cbegin(), list.members.cend(),
                                       [&name](const Member& m) { return m.name == name; });
        if (!taken)
            return name;
    }
}

void sortRows(Member& member, SortKey key, const QList<RowResult>& results) {
    QList<qsizetype> order(member.rows.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto length = [&results](qsizetype i) {
        return i < results.size() && !results[i].problem ? results[i].cutLength : -1.0;
    };
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        switch (key) {
        case SortKey::Mark:
            return markLess(member.rows[a].mark, member.rows[b].mark);
        case SortKey::Diameter:
            return member.rows[a].diameter < member.rows[b].diameter;
        case SortKey::CutLength:
            return length(a) > length(b);
        }
        return false;
    });
    QList<BarRow> sorted;
    sorted.reserve(order.size());
    for (qsizetype i : order)
        sorted << member.rows[i];
    member.rows = sorted;
}

QList<QStringList> readTabText(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !cellStarted) {
            quoted = true;
            cellStarted = true;
        } else if (c == QLatin1Char('\t')) {
            row << cell;
            cell.clear();
            cellStarted = false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            cellStarted = false;
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !row.isEmpty())
        rows << (row << cell);
    return rows;
}

QString writeTabText(const QList<QStringList>& cells) {
    QString out;
    for (const QStringList& row : cells) {
        QStringList written;
        for (const QString& cell : row) {
            const bool quote =
                cell.contains(QLatin1Char('\t')) || cell.contains(QLatin1Char('\n')) ||
                cell.contains(QLatin1Char('\r')) || cell.startsWith(QLatin1Char('"'));
            written << (quote ? QLatin1Char('"') +
                                    QString(cell).replace(QLatin1String("\""),
                                                          QLatin1String("\"\"")) +
                                    QLatin1Char('"')
                              : cell);
        }
        out += written.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

} // namespace schedule
