#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// The cells of a CSV text, for every reader of spreadsheet files: the cutting
// list's import and the pieces of a cutting plan.
namespace schedule {

// One record and the line of the file it starts on (1-based).
struct CsvRecord {
    int line = 0;
    QStringList cells;
};

// RFC 4180 records: quoted cells may hold separators, quotes ("") and line
// ends. CR LF, LF and CR all end a record.
QList<CsvRecord> parseCsvRecords(const QString& text, QChar separator);

// The separator a sheet was saved with, from its first line: Excel writes
// commas, a sheet copied out as text has tabs, a European Excel semicolons.
QChar csvSeparator(const QString& text);

} // namespace schedule
