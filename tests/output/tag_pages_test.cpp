#include "output/tag_pages.h"

#include "core/schedule/computation.h"
#include "core/shop/bvbs.h"
#include "output/page_content.h"
#include "output/sample_lists.h"
#include "support/qt_printers.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifdef CORVALA_HAVE_ZBAR
#include <zbar.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace output;
using tags::TagLayout;

QList<tags::BundleTag> tagsOf(const schedule::CuttingList& list, int barsPerBundle = 0) {
    return tags::bundleTags(list, schedule::computeList(list), tags::TagSettings{barsPerBundle})
        .tags;
}

// A page as a printer of `dpi` dots per inch prints it, in grey.
QImage rendered(const TagPrintout& printout, int page, int dpi) {
    const QSizeF paper = tags::tagSheetOf(printout.layout).paper;
    QImage image(qRound(paper.width() / 25.4 * dpi), qRound(paper.height() / 25.4 * dpi),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dpi / 25.4 / kUnitsPerMm, dpi / 25.4 / kUnitsPerMm);
    paintTagPage(painter, printout, page);
    painter.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

#ifdef CORVALA_HAVE_ZBAR
using namespace zbar; // its C interface, which the header puts in a namespace for C++

// Every QR code zbar finds in the image, as a scanner reads its text.
QStringList decodedQrCodes(const QImage& grey) {
    QByteArray pixels;
    for (int y = 0; y < grey.height(); ++y)
        pixels.append(reinterpret_cast<const char*>(grey.constScanLine(y)), grey.width());
    zbar_image_scanner_t* scanner = zbar_image_scanner_create();
    zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    zbar_image_t* image = zbar_image_create();
    zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(image, grey.width(), grey.height());
    zbar_image_set_data(image, pixels.constData(), pixels.size(), nullptr);
    zbar_scan_image(scanner, image);
    QStringList texts;
    for (const zbar_symbol_t* s = zbar_image_first_symbol(image); s; s = zbar_symbol_next(s))
        texts << QString::fromUtf8(zbar_symbol_get_data(s),
                                   static_cast<int>(zbar_symbol_get_data_length(s)));
    zbar_image_destroy(image);
    zbar_image_scanner_destroy(scanner);
    return texts;
}
#endif

// A list of `rows` rows of every shape in turn, its marks and lengths each
// row's own, so that no two tags carry the same text.
schedule::CuttingList everyShape(int rows) {
    using codes::SteelGrade;
    using schedule::Shape;
    const struct {
        Shape shape;
        QMap<QString, double> dims;
        SteelGrade grade;
        int d;
    } kinds[] = {
        {Shape::Straight, {{"A", 9000}}, SteelGrade::HRB400, 25},
        {Shape::Hook180, {{"A", 3000}}, SteelGrade::HPB300, 12},
        {Shape::L, {{"A", 5000}, {"B", 300}}, SteelGrade::HRB400, 22},
        {Shape::U, {{"A", 200}, {"B", 400}, {"C", 200}}, SteelGrade::HRB400, 16},
        {Shape::Bent,
         {{"A", 400}, {"B", 400}, {"C", 3000}, {"D", 400}, {"E", 400}},
         SteelGrade::HRB400,
         20},
        {Shape::Stirrup, {{"A", 250}, {"B", 550}}, SteelGrade::HPB300, 8},
        {Shape::Tie, {{"A", 250}}, SteelGrade::HPB300, 8},
        {Shape::Hoop, {{"D", 600}, {"lap", 400}}, SteelGrade::HRB400, 10},
        {Shape::Spiral, {{"D", 500}, {"P", 100}, {"H", 3000}}, SteelGrade::HPB300, 8},
    };
    schedule::CuttingList list;
    list.project = QStringLiteral("三号楼 二层梁柱");
    schedule::Member member{QStringLiteral("KL1"), 4, {}};
    for (int i = 0; i < rows; ++i) {
        const auto& k = kinds[i % std::size(kinds)];
        QMap<QString, double> dims = k.dims;
        dims.first() += 10 * i;
        member.rows << sample::bar(QStringLiteral("%1").arg(i + 1), k.shape, k.grade, k.d, dims,
                                   2 + i % 5);
        member.rows.back().note = QStringLiteral("上部通长筋");
    }
    list.members << member;
    return list;
}

TEST(TagPages, EveryQrCodeOnEveryLayoutReadsBackAsItsRow) {
#ifndef CORVALA_HAVE_ZBAR
    GTEST_SKIP() << "zbar is not in this build (Debian's libzbar-dev)";
#else
    // 25 tags: a full sheet of 21 and 4 on the next; eight of each shape.
    const QList<tags::BundleTag> tags = tagsOf(everyShape(25));
    ASSERT_EQ(tags.size(), 25);
    for (TagLayout layout : tags::tagLayouts()) {
        const TagPrintout printout{tags, layout, {}};
        const int per = tags::tagSheetOf(layout).perPage();
        // The first page and the last: a full sheet and a part one.
        for (int page : {0, tags::pageCount(layout, 25) - 1}) {
            // As printed: label printers at 203 dpi, the coarsest common
            // one; sheets of labels on an office printer at 300 dpi.
            const int dpi = tags::tagSheetOf(layout).perPage() > 1 ? 300 : 203;
            QStringList found = decodedQrCodes(rendered(printout, page, dpi));
            QStringList expected;
            for (int i = page * per; i < std::min<int>(tags.size(), (page + 1) * per); ++i)
                expected << tags[i].qrText;
            found.sort();
            expected.sort();
            EXPECT_EQ(found, expected)
                << tags::layoutCode(layout).toStdString() << " page " << page + 1;
        }
    }
#endif
}

// A bundle's QR code scans as its bender line with the bundle's bars; a
// hoop's, which BF2D does not carry, as its plain line, Chinese and all.
TEST(TagPages, ABundlesBenderLineAndAHoopsChineseLineScanAsWritten) {
#ifndef CORVALA_HAVE_ZBAR
    GTEST_SKIP() << "zbar is not in this build (Debian's libzbar-dev)";
#else
    const QList<tags::BundleTag> bundles = tagsOf(sample::workedExample(), 40);
    ASSERT_EQ(bundles.size(), 5);
    QStringList found =
        decodedQrCodes(rendered(TagPrintout{{bundles[3]}, TagLayout::Label80x50, {}}, 0, 203));
    ASSERT_EQ(found.size(), 1);
    const shop::ReadBvbsLine read = shop::readBvbsLine(found[0].toLatin1());
    ASSERT_TRUE(read.record) << read.error.toStdString();
    EXPECT_EQ(read.record->headerValue('p'), QByteArray("KL1-G-02"));
    EXPECT_EQ(read.record->headerValue('n'), QByteArray("10"));

    const QList<tags::BundleTag> shapes = tagsOf(everyShape(9));
    ASSERT_EQ(shapes[7].bar.shape, schedule::Shape::Hoop);
    found = decodedQrCodes(rendered(TagPrintout{{shapes[7]}, TagLayout::Label80x50, {}}, 0, 203));
    ASSERT_EQ(found.size(), 1);
    EXPECT_TRUE(
        found[0].startsWith(QStringLiteral("三号楼 二层梁柱|KL1|8|HRB400|10|hoop|D=670 搭接 400|")))
        << found[0].toStdString();
#endif
}

// Nothing of a tag lands outside its label, however long its texts: the
// label beside it on the sheet stays clean.
TEST(TagPages, ATagKeepsWithinItsLabel) {
    schedule::CuttingList list = everyShape(9);
    list.project = QStringLiteral("滨江新城二期 A 区 3# 楼及地下车库 二层梁柱 钢筋加工");
    list.members[0].name = QStringLiteral("KL12(3A) 框架梁 轴线 ①～⑧");
    for (schedule::BarRow& row : list.members[0].rows) {
        row.mark = QStringLiteral("KL12-上部通长-%1").arg(row.mark);
        row.note = QStringLiteral("上部通长筋，伸入端支座");
    }
    const QList<tags::BundleTag> tags = tagsOf(list, 3);
    for (TagLayout layout : tags::tagLayouts()) {
        const QSizeF tagMm = tags::tagSheetOf(layout).tag;
        const int dpi = 150;
        const double unit = dpi / 25.4 / kUnitsPerMm;
        const int border = 40;
        for (const tags::BundleTag& tag : tags) {
            QImage image(qRound(tagMm.width() / 25.4 * dpi) + 2 * border,
                         qRound(tagMm.height() / 25.4 * dpi) + 2 * border, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.translate(border, border);
            painter.scale(unit, unit);
            paintTag(painter, QRectF(QPointF(0, 0), tagMm * kUnitsPerMm), tag);
            painter.end();
            int outside = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const bool inLabel = x >= border - 1 && x <= image.width() - border &&
                                         y >= border - 1 && y <= image.height() - border;
                    if (!inLabel && image.pixel(x, y) != qRgb(255, 255, 255))
                        ++outside;
                }
            EXPECT_EQ(outside, 0) << tags::layoutCode(layout).toStdString() << " mark "
                                  << tag.bar.mark.toStdString();
        }
    }
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(TagPages, PdfOfEachLayoutHasItsPagesOfItsPaperAndTheTagsText) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QList<tags::BundleTag> tags = tagsOf(everyShape(25));
    const struct {
        TagLayout layout;
        int pages;
        const char* size; // points, as pdfinfo rounds them
    } layouts[] = {
        {TagLayout::Sheet3x7, 2, "595 x 842 pts (A4)"},
        {TagLayout::Sheet2x4, 4, "595 x 842 pts (A4)"},
        {TagLayout::Label100x70, 25, "283 x 198 pts"},
        {TagLayout::Label80x50, 25, "227 x 142 pts"},
    };
    for (const auto& l : layouts) {
        const QString path = dir.filePath(tags::layoutCode(l.layout) + QStringLiteral(".pdf"));
        ASSERT_FALSE(writeTagsPdf(path, {tags, l.layout, QStringLiteral("三号楼")}));
        const QString info = run(QStringLiteral("pdfinfo"), {path});
        EXPECT_TRUE(
            info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(l.pages))))
            << info.toStdString();
        EXPECT_TRUE(info.contains(QString::fromLatin1(l.size))) << info.toStdString();
        EXPECT_TRUE(info.contains(QStringLiteral("三号楼 钢筋料牌"))) << info.toStdString();
        const QString text = run(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                  QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                  QStringLiteral("1"), path, QStringLiteral("-")})
                                 .simplified();
        // The first tag: a straight bar of 9000 mm, 25 mm HRB400, 2 a member, 4 members.
        for (const char* expected :
             {"编号 1", "KL1 × 4 件，每件 2 根", "HRB400 Φ25", "下料长度 9000 mm",
              "8 根，277.20 kg", "三号楼 二层梁柱", "上部通长筋", "A=9000"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected)))
                << tags::layoutCode(l.layout).toStdString() << ": " << expected;
    }
}

} // namespace
