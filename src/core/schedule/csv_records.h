#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The cells of a CSV text, for every reader of spreadsheet files: the cutting
// list's import and the pieces of a cutting plan.
namespace schedule {

// One record and the line of the file it starts on (1-based).
struct CsvRecord {
    int line = 0;
    QStringList cells;
    QString problem; // why the record could not be read, in Chinese; no cells then
};

// RFC 4180 records: quoted cells may hold separators, quotes ("") and line
// ends. CR LF, LF and CR all end a record. A quote never closed would take
// the rest of the file into one cell: its record is given with its problem
// instead, and reading goes on from the line after the one it opened on.
QList<CsvRecord> parseCsvRecords(const QString& text, QChar separator);
// The same records one at a time, for a sheet too large to hold as cells
// whole; `take` returns false to stop.
void readCsvRecords(const QString& text, QChar separator,
                    const std::function<bool(const CsvRecord&)>& take);

// The separator a sheet was saved with, from its first line: Excel writes
// commas, a sheet copied out as text has tabs, a European Excel semicolons.
QChar csvSeparator(const QString& text);

} // namespace schedule
