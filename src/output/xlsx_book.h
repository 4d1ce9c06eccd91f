#pragma once

// The parts of an Excel workbook that every workbook Corvala writes shares:
// cell texts Excel takes, columns sized to what they hold, the number
// formats, and the file written whole in the C numeric locale. Only
// output/ includes it.

#include <QList>
#include <QString>
#include <QStringList>

#include <xlsxwriter.h>

#include <functional>
#include <optional>

namespace output::xlsx {

// Text as a cell may hold it: no control characters (Excel takes a file
// with them for damaged), at most the 32,767 characters a cell holds.
QByteArray cellText(const QString& text);

// Columns sized to what they hold, a Chinese character counted twice.
class Widths {
public:
    void note(int column, const QString& text);
    void apply(lxw_worksheet* sheet) const;

private:
    QList<double> m_widths;
};

struct Formats {
    lxw_format* header = nullptr;
    lxw_format* text = nullptr;
    lxw_format* whole = nullptr; // 0
    lxw_format* kg3 = nullptr;   // 0.000
    lxw_format* m3 = nullptr;    // 0.000
    lxw_format* kg2 = nullptr;   // 0.00
    lxw_format* percent = nullptr;
    lxw_format* bold = nullptr;
    lxw_format* boldWhole = nullptr;
    lxw_format* boldM3 = nullptr;
    lxw_format* boldKg2 = nullptr;
    lxw_format* problem = nullptr;
};

// One sheet being written: cells and the widths they need.
struct Sheet {
    lxw_worksheet* sheet;
    Widths widths;

    void text(int row, int column, const QString& value, lxw_format* format = nullptr);
    // `shown` is the text the format shows, for the column's width.
    void number(int row, int column, double value, lxw_format* format, const QString& shown);
    // Column titles in the first row, frozen, repeated on each printed page.
    void header(const QStringList& titles, lxw_format* format);
};

struct Book {
    lxw_workbook* workbook;
    Formats formats;
};

// Writes the workbook `fill` makes, titled `title`, to `path` whole or not
// at all; the reason in Chinese when it could not be written.
std::optional<QString> writeBook(const QString& path, const QString& title,
                                 const std::function<void(Book&)>& fill);

QString fixed(double value, int decimals);

} // namespace output::xlsx
