#include "core/schedule/csv_records.h"

namespace schedule {

QList<CsvRecord> parseCsvRecords(const QString& text, QChar separator) {
    QList<CsvRecord> records;
    CsvRecord current;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    int line = 1;
    current.line = 1;
    const auto endCell = [&] {
        current.cells << cell;
        cell.clear();
        cellStarted = false;
    };
    const auto endRecord = [&] {
        endCell();
        records << current;
        current = CsvRecord{};
        current.line = line;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !cellStarted) {
            quoted = true;
            cellStarted = true;
        } else if (c == separator) {
            endCell();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++line;
            endRecord();
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !cell.isEmpty() || !current.cells.isEmpty())
        endRecord();
    return records;
}

QChar csvSeparator(const QString& text) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    const QString firstLine = text.left(end < 0 ? text.size() : end);
    for (const QChar separator : {QLatin1Char(','), QLatin1Char('\t'), QLatin1Char(';')})
        if (firstLine.contains(separator))
            return separator;
    return QLatin1Char(',');
}

} // namespace schedule
