#pragma once

#include "core/plans/cutting_plan.h"
#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"
#include "output/page_content.h"

#include <QDate>
#include <QList>
#include <QPageLayout>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QPagedPaintDevice;

namespace output::page_parts {
struct Layout;
}

// The printed cutting list (and, where the list has one, its cutting plan):
// what goes on which page and how each page is drawn. Works on any painter,
// so the print preview, the printer and the PDF file show the same pages.
namespace output {

enum class Paper { A4, A3 };

struct PageChoice {
    Paper paper = Paper::A4;
    bool landscape = false;
};

// The paper, its orientation and the margins the pages are laid out within;
// the left margin is the wider one, for binding.
QPageLayout pageLayoutOf(const PageChoice& choice);

struct Printout {
    schedule::CuttingList list;
    schedule::ComputedList computed;
    // The cutting plan of the list, printed after it; none: the list alone.
    std::optional<plans::Plan> plan;
    plans::PlanSettings planSettings;
    // The list has changed since the plan was made (过期): printed with a warning.
    bool planOutOfDate = false;
    QDate date; // printed in the title block
};

class PrintedPages {
public:
    // Lays the printout out on pages whose printable area is `areaMm`.
    PrintedPages(const Printout& printout, const QSizeF& areaMm);
    ~PrintedPages();
    PrintedPages(const PrintedPages&) = delete;
    PrintedPages& operator=(const PrintedPages&) = delete;

    int pageCount() const;
    PageContent content(int page) const;
    // Draws page `page` (0-based) with the painter in page units, its origin
    // at the top left of the printable area.
    void paint(QPainter& painter, int page) const;

private:
    Printout m_printout; // a copy, so that the pages never draw a list that has gone
    std::unique_ptr<page_parts::Layout> m_layout;
};

// Prints pages `first` to `last` (0-based, inclusive; -1: to the end) on the
// device, with its page layout as set. False when the device could not be
// painted on or a page could not be started.
bool paintPages(QPagedPaintDevice& device, const Printout& printout, int first = 0, int last = -1);

} // namespace output
