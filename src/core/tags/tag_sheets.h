#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// Where tags are printed: A4 sheets of self-adhesive labels, or a label
// printer's single tags, one to a page the size of the tag. Sizes in mm,
// from the paper's top left corner.
namespace tags {

enum class TagLayout { Sheet3x7, Sheet2x4, Label100x70, Label80x50 };

struct TagSheet {
    QSizeF paper; // the page, upright as it goes through the printer
    int columns = 1;
    int rows = 1;
    QSizeF tag;    // one label
    QPointF first; // the top left corner of the first label
    QSizeF pitch;  // from one label's corner to the next one's, across and down

    int perPage() const { return columns * rows; }
    // The label `index` of a page (0-based), across the sheet row by row.
    QRectF tagRect(int index) const;
};

TagSheet tagSheetOf(TagLayout layout);
const QList<TagLayout>& tagLayouts();

// "3x7", "2x4", "100x70", "80x50": the command line's and the settings' name.
QString layoutCode(TagLayout layout);
// Reads a layout's name, with "x", "×" or "*" between the numbers; nothing
// for a layout there is none of.
std::optional<TagLayout> layoutFromCode(const QString& code);
// What the window offers: "A4 标签纸 3×7（每页 21 张，63.5×38.1 mm）".
QString layoutCaption(TagLayout layout);

// Pages that `tags` tags take.
int pageCount(TagLayout layout, int tags);

} // namespace tags
