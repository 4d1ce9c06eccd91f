#pragma once

#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The cutting list as CSV, for the office's spreadsheets.
namespace schedule {

// UTF-8 with a byte-order mark, so that Excel on a Chinese Windows shows the
// characters; one line per bar row, then the summary by grade and diameter.
// Text that a spreadsheet would take for a formula (= + - @ first) is
// written so that it stays text.
QByteArray exportCsv(const CuttingList& list, const ComputedList& computed);

// A sheet larger than this is not a list's and is not read into memory.
constexpr qint64 kLargestCsv = 1024LL * 1024 * 1024;

struct CsvProblem {
    int line = 0;   // 1-based line of the file
    QString reason; // in Chinese
};

struct CsvImport {
    CuttingList list;           // the rows that could be read, default settings
    QList<CsvProblem> problems; // the lines that could not be read, left out of `list`
    int rowsRead = 0;
    QString error; // set when nothing could be read at all (no header, no columns)
};

// Reads UTF-8 (with or without a byte-order mark), UTF-16 with its mark, or
// GB18030/GBK, as Chinese Excel writes by default. Columns are found by their header, in English or
// Chinese; rows of the same member name (next to each other or not) form one
// member.
CsvImport importCsv(const QByteArray& bytes);

// The text of CSV bytes: UTF-16 after its byte-order mark (Excel's "Unicode
// text"), UTF-8 where it is valid UTF-8, GB18030 otherwise.
QString decodeSpreadsheetText(const QByteArray& bytes);

} // namespace schedule
