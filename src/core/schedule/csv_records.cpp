#include "core/schedule/csv_records.h"

namespace schedule {

QList<CsvRecord> parseCsvRecords(const QString& text, QChar separator) {
    QList<CsvRecord> records;
    readCsvRecords(text, separator, [&](const CsvRecord& record) {
        records << record;
        return true;
    });
    return records;
}

void readCsvRecords(const QString& text, QChar separator,
                    const std::function<bool(const CsvRecord&)>& take) {
    bool more = true;
    CsvRecord current;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    int line = 1;
    current.line = 1;
    qsizetype quoteAt = 0; // the quote last opened, and its line
    int quoteLine = 0;
    const auto endCell = [&] {
        current.cells << cell;
        cell.clear();
        cellStarted = false;
    };
    const auto endRecord = [&] {
        endCell();
        more = take(current);
        current = CsvRecord{};
        current.line = line;
    };
    const auto isLineEnd = [&](qsizetype at) {
        return text.at(at) == QLatin1Char('\r') || text.at(at) == QLatin1Char('\n');
    };
    // A quote never closed takes what follows into its cell. Its record is
    // lost; the lines after the one the quote is on are read again. Gives
    // the place to go on from.
    const auto unclosedQuote = [&] {
        more = take(CsvRecord{current.line, {}, QStringLiteral("引号未闭合")});
        qsizetype at = quoteAt;
        while (at < text.size() && !isLineEnd(at))
            ++at;
        if (at + 1 < text.size() && text.at(at) == QLatin1Char('\r') &&
            text.at(at + 1) == QLatin1Char('\n'))
            ++at;
        line = quoteLine + 1;
        current = CsvRecord{line, {}, {}};
        cell.clear();
        quoted = false;
        cellStarted = false;
        return at + 1;
    };
    for (qsizetype i = 0; more && i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else if (line != quoteLine && i + 1 < text.size() && !isLineEnd(i + 1) &&
                           text.at(i + 1) != separator) {
                    // Not a cell's end but the next quote of a later line:
                    // the quote opened lines before was never closed.
                    i = unclosedQuote() - 1;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                cell += c;
            }
            if (quoted && i + 1 >= text.size())
                i = unclosedQuote() - 1;
            continue;
        }
        if (c == QLatin1Char('"') && !cellStarted) {
            quoted = true;
            cellStarted = true;
            quoteAt = i;
            quoteLine = line;
        } else if (c == separator) {
            endCell();
        } else if (isLineEnd(i)) {
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
    if (!more)
        return;
    if (quoted) // opened on the last character
        unclosedQuote();
    else if (cellStarted || !cell.isEmpty() || !current.cells.isEmpty())
        endRecord();
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
