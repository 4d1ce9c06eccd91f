#pragma once

#include "core/shop/cutting_sheet.h"
#include "output/printed_pages.h"

#include <QDate>
#include <QList>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

class QPainter;
class QPagedPaintDevice;

// The cutting sheet (下料单 by stock bar) on paper: for each grade and
// diameter a table of the stock bars' patterns, one line a cut in cutting
// order with the row it is for, then the offcuts to keep, the stock to take
// and what the group comes to. Works on any painter, as the list's pages do,
// so that the preview, the printer and the PDF show the same.
namespace output {

struct SheetPrintout {
    shop::CuttingSheet sheet;
    QDate date; // printed in the title block
};

// What one page holds, so that a test can tell what landed where.
struct SheetPageContent {
    QList<int> groups;                   // groups with something on the page
    QList<std::pair<int, int>> patterns; // (group, pattern)
};

class CuttingSheetPages {
public:
    CuttingSheetPages(const SheetPrintout& printout, const QSizeF& areaMm);
    ~CuttingSheetPages();
    CuttingSheetPages(const CuttingSheetPages&) = delete;
    CuttingSheetPages& operator=(const CuttingSheetPages&) = delete;

    int pageCount() const;
    SheetPageContent content(int page) const;
    // Draws page `page` (0-based) with the painter in page units (0.1 mm),
    // its origin at the top left of the printable area.
    void paint(QPainter& painter, int page) const;

    struct Layout;

private:
    SheetPrintout m_printout;
    std::unique_ptr<Layout> m_layout;
};

// Prints pages `first` to `last` (0-based, inclusive; -1: to the end) on the
// device, with its page layout as set. False where it could not be painted.
bool paintCuttingSheet(QPagedPaintDevice& device, const SheetPrintout& printout, int first = 0,
                       int last = -1);

// Writes the PDF whole or not at all; the reason in Chinese where it could not.
std::optional<QString> writeCuttingSheetPdf(const QString& path, const SheetPrintout& printout,
                                            const PageChoice& choice);

} // namespace output
