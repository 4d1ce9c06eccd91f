#pragma once

#include "core/tags/bundle_tags.h"
#include "core/tags/tag_sheets.h"

#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;
class QPagedPaintDevice;

// Bundle tags on paper: each tag drawn in its label (what it ties, the
// shape's sketch with its dimensions, the QR code), labels placed on their
// sheet, pages printed or written as a PDF. Works on any painter, so that
// the print preview, the printer and the PDF show the same.
namespace output {

struct TagPrintout {
    QList<tags::BundleTag> tags;
    tags::TagLayout layout = tags::TagLayout::Sheet3x7;
    QString project; // the PDF's title
};

// The paper of the layout without margins: labels are placed from the
// sheet's edge, as the sheet is cut.
QPageLayout tagPageLayoutOf(tags::TagLayout layout);

// Draws one tag filling `area`, in page units (0.1 mm).
void paintTag(QPainter& painter, const QRectF& area, const tags::BundleTag& tag);

// Draws page `page` (0-based) of the printout, the painter in page units with
// its origin at the paper's top left corner.
void paintTagPage(QPainter& painter, const TagPrintout& printout, int page);

// Prints pages `first` to `last` (0-based, inclusive; -1: to the end) on
// the device, with its page layout as set; labels are placed from the
// paper's edge whatever its margins. False when the device could not be
// painted on or a page could not be started.
bool paintTagPages(QPagedPaintDevice& device, const TagPrintout& printout, int first = 0,
                   int last = -1);

// Writes the file whole or not at all; the reason in Chinese when it could
// not be written, or when there is no tag to print.
std::optional<QString> writeTagsPdf(const QString& path, const TagPrintout& printout);

} // namespace output
