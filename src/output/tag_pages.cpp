#include "output/tag_pages.h"

#include "core/schedule/whole_file.h"
#include "drawing/qr/qr_code.h"
#include "drawing/sketches/shape_sketch.h"
#include "output/page_content.h"
#include "output/pdf_text_map.h"
#include "output/print_fonts.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace output {

using tags::BundleTag;

namespace {

// A line of text in `box`, its font `size` units high, made smaller (to
// two thirds at most) where the text is too wide, and shortened after that.
void fittedText(QPainter& painter, const QRectF& box, const QString& text, double size, bool bold,
                Qt::Alignment align = Qt::AlignLeft) {
    QFont font = printFont(std::max(1, static_cast<int>(std::lround(size))), bold);
    double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > box.width()) {
        const double smaller = std::max(size * 2 / 3, size * box.width() / width);
        font = printFont(std::max(1, static_cast<int>(std::floor(smaller))), bold);
    }
    painter.setFont(font);
    const QString shown = QFontMetricsF(font).elidedText(text, Qt::ElideRight, box.width());
    painter.drawText(box, static_cast<int>(align | Qt::AlignVCenter | Qt::TextDontClip), shown);
}

} // namespace

QPageLayout tagPageLayoutOf(tags::TagLayout layout) {
    const tags::TagSheet sheet = tags::tagSheetOf(layout);
    // A label wider than high is still a page upright to the printer: its
    // paper given across and turned, as a label printer's driver has it.
    const bool across = sheet.paper.width() > sheet.paper.height();
    const QSizeF upright = across ? sheet.paper.transposed() : sheet.paper;
    return QPageLayout(QPageSize(upright, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       across ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter, QMarginsF());
}

void paintTag(QPainter& painter, const QRectF& area, const BundleTag& tag) {
    // Every size is a share of the tag's height, so that a label of 38 mm and
    // a tag of 70 mm look alike, the larger one readable from further off.
    const double h = area.height();
    const double pad = 0.05 * h;
    const QRectF inner = area.adjusted(pad, pad, -pad, -pad);
    const QPen ink(Qt::black, std::max(2.0, h * 0.005));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(ink);
    painter.setBrush(Qt::NoBrush);
    // The frame, inside the label's edge, so that a sheet fed a little askew
    // still shows all of it.
    const double inset = 0.02 * h;
    painter.drawRoundedRect(area.adjusted(inset, inset, -inset, -inset), 0.03 * h, 0.03 * h);

    // The head: project, and the row's note and the bundle on the right.
    const double headHeight = 0.1 * h;
    const QRectF head(inner.left(), inner.top(), inner.width(), headHeight);
    QStringList aside;
    if (!tag.bar.note.isEmpty())
        aside << tag.bar.note;
    if (const QString bundle = tags::bundleText(tag); !bundle.isEmpty())
        aside << bundle;
    const QString asideText = aside.join(QStringLiteral("  "));
    double asideWidth = 0;
    if (!asideText.isEmpty()) {
        const QFontMetricsF metrics(printFont(static_cast<int>(0.07 * h), true));
        asideWidth = std::min(metrics.horizontalAdvance(asideText) + 0.02 * h, head.width() / 2);
        fittedText(painter, QRectF(head.right() - asideWidth, head.top(), asideWidth, headHeight),
                   asideText, 0.07 * h, true, Qt::AlignRight);
    }
    fittedText(painter,
               QRectF(head.left(), head.top(), head.width() - asideWidth - 0.03 * h, headHeight),
               tag.project.isEmpty() ? QStringLiteral("工程：—") : tag.project, 0.07 * h, false);
    painter.setPen(QPen(Qt::black, std::max(1.5, h * 0.003)));
    painter.drawLine(QPointF(inner.left(), head.bottom() + 0.01 * h),
                     QPointF(inner.right(), head.bottom() + 0.01 * h));
    painter.setPen(ink);

    // The QR code at the right, as high as the five lines beside it.
    const double top = head.bottom() + 0.03 * h;
    const double qrSide = 0.44 * h;
    const QRectF qrArea(inner.right() - qrSide, top, qrSide, qrSide);
    if (const std::optional<qr::QrSymbol> symbol = qr::encodeQr(tag.qrText)) {
        qr::drawQr(painter, qrArea, *symbol);
    } else {
        fittedText(painter, qrArea, QStringLiteral("（二维码内容过长）"), 0.06 * h, false,
                   Qt::AlignHCenter);
    }

    // What the fixer looks for first: the mark and the member, then the bar,
    // its length and how many.
    const double textWidth = qrArea.left() - inner.left() - 0.03 * h;
    const double markLine = 0.11 * h;
    const double line = (qrSide - markLine) / 4;
    double y = top;
    fittedText(
        painter, QRectF(inner.left(), y, textWidth, markLine),
        QStringLiteral("编号 %1").arg(tag.bar.mark.isEmpty() ? QStringLiteral("—") : tag.bar.mark),
        0.095 * h, true);
    y += markLine;
    const QStringList lines{
        tags::memberText(tag) + QStringLiteral("，") + tags::perMemberText(tag),
        tags::barText(tag),
        QStringLiteral("下料长度 %1 mm").arg(tag.cutLength),
        tags::barsText(tag) + QStringLiteral("，") + tags::massText(tag),
    };
    for (int i = 0; i < lines.size(); ++i) {
        fittedText(painter, QRectF(inner.left(), y, textWidth, line), lines[i], 0.068 * h, i != 0);
        y += line;
    }

    // The shape's sketch with its dimensions, across the foot of the tag.
    // Drawn at the scale that makes its font, 10 of its units, 4.5 % of the
    // tag's height: about the proportion of the printed list's rows.
    const QRectF sketch(inner.left(), top + qrSide + 0.02 * h, inner.width(),
                        inner.bottom() - (top + qrSide + 0.02 * h));
    const double scale = 0.0045 * h;
    painter.save();
    painter.translate(sketch.topLeft());
    painter.scale(scale, scale);
    painter.setFont(printFont(10));
    painter.setPen(Qt::black);
    schedule::drawShapeSketch(painter,
                              QRectF(0, 0, sketch.width() / scale, sketch.height() / scale),
                              tag.bar.shape, schedule::sketchLabelsOf(tag.bar));
    painter.restore();
    painter.restore();
}

void paintTagPage(QPainter& painter, const TagPrintout& printout, int page) {
    const tags::TagSheet sheet = tags::tagSheetOf(printout.layout);
    const int per = sheet.perPage();
    for (int i = 0; i < per; ++i) {
        const int index = page * per + i;
        if (index < 0 || index >= printout.tags.size())
            break;
        const QRectF mm = sheet.tagRect(i);
        paintTag(painter, QRectF(mm.topLeft() * kUnitsPerMm, mm.size() * kUnitsPerMm),
                 printout.tags[index]);
    }
}

bool paintTagPages(QPagedPaintDevice& device, const TagPrintout& printout, int first, int last) {
    const int pages = tags::pageCount(printout.layout, static_cast<int>(printout.tags.size()));
    if (last < 0 || last >= pages)
        last = pages - 1;
    first = std::max(first, 0);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scaleX = device.logicalDpiX() / 25.4 / kUnitsPerMm;
    const double scaleY = device.logicalDpiY() / 25.4 / kUnitsPerMm;
    // The painter starts at the printable area's corner; the labels are
    // placed from the paper's.
    const QPointF margin = device.pageLayout().paintRect(QPageLayout::Millimeter).topLeft();
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.resetTransform();
        painter.scale(scaleX, scaleY);
        painter.translate(-margin * kUnitsPerMm);
        paintTagPage(painter, printout, page);
    }
    return painter.end();
}

std::optional<QString> writeTagsPdf(const QString& path, const TagPrintout& printout) {
    if (printout.tags.isEmpty())
        return QStringLiteral("下料单中没有可以打印料牌的行");
    QBuffer pages;
    pages.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pages);
        writer.setPageLayout(tagPageLayoutOf(printout.layout));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Corvala"));
        writer.setTitle(printout.project.isEmpty()
                            ? QStringLiteral("钢筋料牌")
                            : QStringLiteral("%1 钢筋料牌").arg(printout.project));
        if (!paintTagPages(writer, printout))
            return QStringLiteral("无法生成 PDF 页面");
    }
    return schedule::writeWholeFile(path, withSearchableText(pages.data()));
}

} // namespace output
