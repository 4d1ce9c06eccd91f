// The column's elevation rendered into images and read back by pixel: where
// the floors, the zones, the two batches and their joints land against the
// column's own numbers.
#include "drawing/members/column_elevation.h"
#include "drawing/members/column_elevation_layout.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using members::ColumnBars;
using members::ColumnElevationStyle;
using members::ColumnRow;

ColumnBars detail(const char* json) {
    const members::ColumnRead read =
        members::columnFromJson(QJsonDocument::fromJson(QByteArray(json)).object());
    EXPECT_TRUE(read.column) << read.error.toStdString();
    return read.column ? members::detailColumn(*read.column) : ColumnBars{};
}

// A corner column over six floors, its bars changing from 16C25 to 12C22
// and its section from 600×600 to 550×550 above the third floor.
const char* kSixFloors = R"j({"mark":"KZ1",
 "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":700},
            {"name":"2","level":4.45,"height":3.6,"beamDepth":650},
            {"name":"3","level":8.05,"height":3.6,"beamDepth":650},
            {"name":"4","level":11.65,"height":3.6,"beamDepth":600},
            {"name":"5","level":15.25,"height":3.6,"beamDepth":600},
            {"name":"6","level":18.85,"height":3.6,"beamDepth":600}],
 "foundation":{"top":-1.55,"depth":1000,"cover":40},
 "segments":[{"from":"1","to":"3","section":"600×600",
              "corner":"4C25","bSide":"2C25","hSide":"2C25","stirrupType":"1(4×4)",
              "stirrups":"C10@100/200"},
             {"from":"4","to":"6","section":"550×550","b1":300,"b2":250,"h1":250,"h2":300,
              "corner":"4C22","bSide":"1C22","hSide":"1C22","stirrupType":"1(3×3)",
              "stirrups":"C8@100/200"}],
 "concrete":"C30","seismic":"二","cover":20,"connection":"mechanical",
 "position":"corner","outerFaces":["b1","h2"]})j";

// Three floors of 8C20 joined by laps (llE = 52d = 1040, the batches
// 1.3llE apart).
const char* kLapped = R"j({"mark":"KZ4",
 "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":600},
            {"name":"2","level":4.45,"height":4.2,"beamDepth":600},
            {"name":"3","level":8.65,"height":4.2,"beamDepth":600}],
 "foundation":{"top":-1.05,"depth":800,"cover":40},
 "segments":[{"from":"1","to":"3","section":"500×500","bars":"8C20","stirrups":"C8@100/200"}],
 "concrete":"C30","seismic":"三","cover":20,"connection":"lap"})j";

// A middle column of `floors` storeys of 3 m on a basement, 700×700 with
// 12C25 throughout.
ColumnBars tall(int floors) {
    QJsonArray storeys;
    storeys.append(
        QJsonObject{{"name", "-1"}, {"level", -4.55}, {"height", 4.5}, {"beamDepth", 700}});
    for (int k = 1; k <= floors; ++k)
        storeys.append(QJsonObject{{"name", QString::number(k)},
                                   {"level", -0.05 + 3.0 * (k - 1)},
                                   {"height", 3.0},
                                   {"beamDepth", 600}});
    const QJsonObject column{{"mark", "KZ7"},
                             {"storeys", storeys},
                             {"embedment", "1"},
                             {"foundation", QJsonObject{{"depth", 1200}, {"cover", 40}}},
                             {"segments", QJsonArray{QJsonObject{{"from", "-1"},
                                                                 {"to", QString::number(floors)},
                                                                 {"section", "700×700"},
                                                                 {"bars", "12C25"},
                                                                 {"stirrupType", "1(4×4)"},
                                                                 {"stirrups", "C10@100/200"}}}},
                             {"connection", "mechanical"}};
    const members::ColumnRead read = members::columnFromJson(column);
    EXPECT_TRUE(read.column) << read.error.toStdString();
    return read.column ? members::detailColumn(*read.column) : ColumnBars{};
}

QImage render(const ColumnBars& bars, const ColumnElevationStyle& style = {},
              QSize size = {600, 1400}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    paintColumnElevation(p, QRectF(QPointF(0, 0), QSizeF(size)), bars, style);
    return image;
}

// The middle column of the detailing tests: three floors, 600×600, 12C25
// with couplers; joints at 550 and 1425, 5050 and 5925, 8650 and 9525.
const char* kMiddle = R"j({"mark":"KZ1",
    "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":700},
               {"name":"2","level":4.45,"height":3.6,"beamDepth":700},
               {"name":"3","level":8.05,"height":3.6,"beamDepth":700}],
    "foundation":{"top":-1.05,"depth":800,"cover":40},
    "segments":[{"from":"1","to":"3","section":"600×600","bars":"12C25",
                 "stirrupType":"1(4×4)","stirrups":"C10@100/200"}],
    "concrete":"C30","seismic":"二","cover":20,"connection":"mechanical"})j";

ColumnElevationStyle plainStyle() {
    ColumnElevationStyle style;
    style.labels = false;
    return style;
}

const ColumnElevationStyle kPlain = plainStyle();
const QSize kSize(600, 1400);
const QRectF kArea(QPointF(0, 0), QSizeF(kSize));

// Colours told apart by hue, so that a line smoothed into its neighbours
// keeps its name: the highlight's orange (30°), the low batch's blue
// (215°), the high batch's red (0°), the non-connection zones' pale blue.
double hue(QRgb c) {
    return QColor::fromRgb(c).toHsv().hsvHueF() * 360;
}
double saturation(QRgb c) {
    return QColor::fromRgb(c).toHsv().hsvSaturationF();
}
double value(QRgb c) {
    return QColor::fromRgb(c).toHsv().valueF();
}
bool white(QRgb c) {
    return qRed(c) == 255 && qGreen(c) == 255 && qBlue(c) == 255;
}
bool lit(QRgb c) {
    return saturation(c) > 0.6 && value(c) > 0.8 && hue(c) > 20 && hue(c) < 40;
}
bool blue(QRgb c) {
    return saturation(c) > 0.45 && hue(c) > 200 && hue(c) < 230;
}
bool red(QRgb c) {
    return saturation(c) > 0.45 && value(c) > 0.4 && (hue(c) < 10 || hue(c) > 350);
}
bool tinted(QRgb c) {
    return saturation(c) > 0.05 && saturation(c) < 0.25 && value(c) > 0.9 && hue(c) > 195 &&
           hue(c) < 225;
}
bool dark(QRgb c) {
    return value(c) < 0.35;
}

// The pixels drawn in the highlight colour.
QRect litPixels(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (lit(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

qsizetype rowOf(const ColumnBars& bars, const char* role, int floor, bool high) {
    for (qsizetype i = 0; i < bars.rows.size(); ++i)
        if (bars.rows[i].role == QLatin1String(role) && bars.rows[i].floor == floor &&
            bars.rows[i].place && bars.rows[i].place->highBatch == high)
            return i;
    return -1;
}

// The middles of the runs of pixels in column x (or row y) that `is` picks.
template <typename Is> QList<double> runsDown(const QImage& image, int x, Is is) {
    QList<double> middles;
    int start = -1;
    for (int y = 0; y <= image.height(); ++y) {
        const bool on = y < image.height() && is(image.pixel(x, y));
        if (on && start < 0)
            start = y;
        if (!on && start >= 0)
            middles << (start + y - 1) / 2.0, start = -1;
    }
    return middles;
}
template <typename Is> QList<int> across(const QImage& image, int y, Is is) {
    QList<int> xs;
    for (int x = 0; x < image.width(); ++x)
        if (is(image.pixel(x, y)))
            xs << x;
    return xs;
}

} // namespace

// With CORVALA_PICTURES naming a folder, the six-storey corner column is
// written there as a picture to look at.
TEST(ColumnElevationPicture, WrittenWhenAsked) {
    const QString folder = qEnvironmentVariable("CORVALA_PICTURES");
    if (folder.isEmpty())
        GTEST_SKIP() << "CORVALA_PICTURES not set";
    ColumnElevationStyle style;
    style.font.setFamilies({QStringLiteral("Noto Sans CJK SC")});
    const ColumnBars bars = detail(kSixFloors);
    EXPECT_TRUE(bars.problems.isEmpty());
    EXPECT_TRUE(render(bars, style).save(QDir(folder).filePath("column-elevation.png")));
    const ColumnBars lapped = detail(kLapped);
    EXPECT_TRUE(lapped.problems.isEmpty());
    style.highlightRow = 3;
    EXPECT_TRUE(render(lapped, style, {500, 900})
                    .save(QDir(folder).filePath("column-elevation-lapped.png")));
    style.highlightRow = -1;
    const ColumnBars twenty = tall(20);
    EXPECT_TRUE(twenty.problems.isEmpty());
    EXPECT_TRUE(render(twenty, style, {600, 1400})
                    .save(QDir(folder).filePath("column-elevation-tall.png")));
}

// Floor 1 (Hn 4800) has Hn/3 = 1600 above the foundation and Hn/6 = 800 below its
// beam of 700; floors 2 and 3 600 at both ends: tinted inside each zone to
// its edges, white just beyond them and in the middle of the floors.
TEST(ColumnElevation, NonConnectionZonesAreShadedWhereTheOutlineSaysAndNowhereElse) {
    const ColumnBars bars = detail(kMiddle);
    using Zone = std::pair<double, double>;
    ASSERT_EQ(bars.outline.floors.size(), 3);
    ASSERT_EQ(bars.outline.floors[0].nonConnection, (QList<Zone>{{-1050, 550}, {2950, 4450}}));
    const QImage image = render(bars, kPlain);
    const members::ColumnElevationFrame frame = members::columnElevationFrame(kArea, bars, kPlain);
    ASSERT_TRUE(frame.valid);
    const int x = int(frame.xAt(0));
    const auto at = [&](double z, double px) { return image.pixel(x, int(frame.yAt(z) + px)); };
    for (const members::FloorOutline& floor : bars.outline.floors) {
        SCOPED_TRACE(floor.name.toStdString());
        ASSERT_EQ(floor.nonConnection.size(), 2);
        const auto [a0, a1] = floor.nonConnection[0];
        const auto [b0, b1] = floor.nonConnection[1];
        for (double t : {0.1, 0.5, 0.8}) {
            EXPECT_TRUE(tinted(at(a0 + t * (a1 - a0), 0))) << t;
            EXPECT_TRUE(tinted(at(b0 + t * (b1 - b0), 0))) << t;
        }
        EXPECT_TRUE(tinted(at(a1, 2.5)));
        EXPECT_TRUE(white(at(a1, -2.5)));
        EXPECT_TRUE(tinted(at(b0, -2.5)));
        EXPECT_TRUE(white(at(b0, 2.5)));
        EXPECT_TRUE(white(at((a1 + b0) / 2, 0)));
    }
}

// The highlighted piece alone is drawn in the highlight colour, from its z0
// to its z1 at the height's scale; the dowel with its 375 foot out to the
// side and the top piece with its 12d = 300 head in, at the width's scale.
TEST(ColumnElevation, HighlightedPieceRunsFromItsFootToItsHeadAtTheScale) {
    const ColumnBars bars = detail(kMiddle);
    ColumnElevationStyle style = kPlain;
    EXPECT_FALSE(litPixels(render(bars, style)).isValid());
    const members::ColumnElevationFrame frame = members::columnElevationFrame(kArea, bars, style);
    const double across = frame.xAt(1) - frame.xAt(0);

    style.highlightRow = rowOf(bars, "lowBatch", 1, false);
    ASSERT_GE(style.highlightRow, 0);
    const members::PiecePlace straight = *bars.rows[style.highlightRow].place;
    ASSERT_EQ(straight.z0, 5050);
    QRect box = litPixels(render(bars, style));
    EXPECT_NEAR(box.top(), frame.yAt(straight.z1), 2.5);
    EXPECT_NEAR(box.bottom(), frame.yAt(straight.z0), 2.5);
    EXPECT_LE(box.width(), 6);
    EXPECT_LT(box.right(), frame.xAt(0));
    const int lane = box.center().x();

    style.highlightRow = rowOf(bars, "dowel", -1, false);
    const members::PiecePlace dowel = *bars.rows[style.highlightRow].place;
    ASSERT_EQ(dowel.foot, 375);
    box = litPixels(render(bars, style));
    EXPECT_NEAR(box.bottom(), frame.yAt(dowel.z0), 2.5);
    EXPECT_NEAR(box.top(), frame.yAt(dowel.z1), 2.5);
    EXPECT_NEAR(box.left(), lane - 375 * across, 3);
    EXPECT_NEAR(box.right(), lane, 3);

    style.highlightRow = rowOf(bars, "topInner", 2, false);
    const members::PiecePlace top = *bars.rows[style.highlightRow].place;
    ASSERT_EQ(top.head, 300);
    box = litPixels(render(bars, style));
    EXPECT_NEAR(box.top(), frame.yAt(top.z1), 2.5);
    EXPECT_NEAR(box.bottom(), frame.yAt(top.z0), 2.5);
    EXPECT_NEAR(box.left(), lane, 3);
    EXPECT_NEAR(box.right(), lane + 300 * across, 3);
}

// Low batch blue at the left, high batch red at the right; a joint's block
// on each at every joint the outline lists for its batch, nowhere else.
TEST(ColumnElevation, BatchesInTheirColoursWithJointsWhereTheOutlineHasThem) {
    const ColumnBars bars = detail(kMiddle);
    const QImage image = render(bars, kPlain);
    const members::ColumnElevationFrame frame = members::columnElevationFrame(kArea, bars, kPlain);
    const int y = int(frame.yAt(6400));
    const QList<int> blues = across(image, y, blue), reds = across(image, y, red);
    ASSERT_FALSE(blues.isEmpty());
    ASSERT_FALSE(reds.isEmpty());
    EXPECT_LT(blues.last(), frame.xAt(0));
    EXPECT_GT(reds.first(), frame.xAt(0));
    EXPECT_LE(blues.last() - blues.first(), 3); // one lane: every line holds the same rows
    EXPECT_LE(reds.last() - reds.first(), 3);

    for (bool high : {false, true}) {
        SCOPED_TRACE(high);
        QList<double> expected;
        for (const members::ColumnOutline::Joint& j : bars.outline.joints)
            if (j.highBatch == high && !expected.contains(frame.yAt(j.z)))
                expected << frame.yAt(j.z);
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(expected.size(), 3);
        const int lane = high ? reds.first() : blues.last();
        const int beside = high ? lane - 3 : lane + 3; // in the block, off the bar
        QList<double> found;
        for (double middle : runsDown(image, beside, dark))
            if (middle > frame.yAt(11650) + 4 && middle < frame.yAt(-1050) - 4)
                found << middle;
        ASSERT_EQ(found.size(), expected.size());
        for (qsizetype i = 0; i < found.size(); ++i)
            EXPECT_NEAR(found[i], expected[i], 2);
    }
}

// Laps: the piece above starts beside the one below and runs along it for
// the lap, then steps into its line.
TEST(ColumnElevation, LappedPiecesLieSideBySideAlongTheirLap) {
    const ColumnBars bars = detail(kLapped);
    ColumnElevationStyle style = kPlain;
    style.highlightRow = rowOf(bars, "lowBatch", 0, false);
    ASSERT_GE(style.highlightRow, 0);
    const members::PiecePlace upper = *bars.rows[style.highlightRow].place;
    const members::PiecePlace lower = *bars.rows[rowOf(bars, "dowel", -1, false)].place;
    ASSERT_EQ(lower.lapAbove, 1040);
    ASSERT_NEAR(lower.z1 - lower.lapAbove, upper.z0, 0.01);
    const QImage image = render(bars, style, {500, 900});
    const members::ColumnElevationFrame frame =
        members::columnElevationFrame(QRectF(0, 0, 500, 900), bars, style);
    const auto middle = [](const QList<int>& xs) {
        return xs.isEmpty() ? -1000.0 : (xs.first() + xs.last()) / 2.0;
    };
    const int inLap = int(frame.yAt(upper.z0 + 520));
    const double litX = middle(across(image, inLap, lit)),
                 blueX = middle(across(image, inLap, blue));
    EXPECT_GE(std::abs(litX - blueX), 2);
    EXPECT_LE(std::abs(litX - blueX), 10);
    const int belowLap = int(frame.yAt(upper.z0 - 300)), aboveLap = int(frame.yAt(lower.z1 + 300));
    EXPECT_NEAR(middle(across(image, aboveLap, lit)), middle(across(image, belowLap, blue)), 1.5);
}

// A stirrup row lights its floor's outline from level to level.
TEST(ColumnElevation, HighlightedStirrupRowLightsItsFloor) {
    const ColumnBars bars = detail(kMiddle);
    ColumnElevationStyle style = kPlain;
    for (qsizetype i = 0; i < bars.rows.size() && style.highlightRow < 0; ++i)
        if (bars.rows[i].role == QLatin1String("stirrup") && bars.rows[i].floor == 1)
            style.highlightRow = i;
    ASSERT_GE(style.highlightRow, 0);
    const members::ColumnElevationFrame frame = members::columnElevationFrame(kArea, bars, style);
    const QRect box = litPixels(render(bars, style));
    EXPECT_NEAR(box.top(), frame.yAt(8050), 2.5);
    EXPECT_NEAR(box.bottom(), frame.yAt(4450), 2.5);
    EXPECT_NEAR(box.left(), frame.xAt(-300), 2.5);
    EXPECT_NEAR(box.right(), frame.xAt(300), 2.5);
}

// Heights to one scale, widths to that times the stated factor: the faces
// 600 apart, the foundation's bottom at its level; the factor 1 when asked.
TEST(ColumnElevation, FacesAndLevelsLandAtTheFramesScales) {
    const ColumnBars bars = detail(kMiddle);
    for (double scale : {0.0, 1.0}) {
        SCOPED_TRACE(scale);
        ColumnElevationStyle style = kPlain;
        style.widthScale = scale;
        const QImage image = render(bars, style);
        const members::ColumnElevationFrame frame =
            members::columnElevationFrame(kArea, bars, style);
        EXPECT_EQ(frame.widthScale == 1, scale == 1);
        EXPECT_GE(frame.widthScale, 1);
        const QList<int> inks = across(image, int(frame.yAt(6400)), dark);
        ASSERT_FALSE(inks.isEmpty());
        EXPECT_NEAR(inks.first(), frame.xAt(-300), 1.5);
        EXPECT_NEAR(inks.last(), frame.xAt(300), 1.5);
        const QList<double> down = runsDown(image, int(frame.xAt(0)), dark);
        ASSERT_FALSE(down.isEmpty());
        EXPECT_NEAR(down.last(), frame.yAt(-1850), 1.5);
        EXPECT_GE(frame.yAt(11650), 0);
    }
}

// The row under a point is the piece drawn there, in the middle of its
// height; with labels on, also its label; nothing in the margin.
TEST(ColumnElevation, RowUnderAPointIsThePieceDrawnThere) {
    const ColumnBars bars = detail(kSixFloors);
    ColumnElevationStyle style = kPlain;
    const members::ColumnElevationFrame frame = members::columnElevationFrame(kArea, bars, style);
    int checked = 0;
    for (qsizetype i = 0; i < bars.rows.size(); ++i) {
        if (!bars.rows[i].place)
            continue;
        SCOPED_TRACE(bars.rows[i].role.toStdString() + " " + std::to_string(i));
        style.highlightRow = i;
        const QImage image = render(bars, style);
        const members::PiecePlace& place = *bars.rows[i].place;
        const int y = int(frame.yAt((place.z0 + place.z1) / 2));
        const QList<int> xs = across(image, y, lit);
        ASSERT_FALSE(xs.isEmpty());
        EXPECT_EQ(
            members::columnElevationRowAt(kArea, bars, QPointF(xs.first() + 0.5, y + 0.5), style),
            i);
        ++checked;
    }
    EXPECT_GE(checked, 19);
    EXPECT_EQ(members::columnElevationRowAt(kArea, bars, QPointF(4, frame.yAt(6400)), style), -1);

    style.labels = true;
    style.highlightRow = rowOf(bars, "lowBatch", 1, false);
    const QImage image = render(bars, style);
    const QRect box = litPixels(image);
    ASSERT_LT(box.left(), frame.xAt(-1000)); // the label left of the column
    int y = box.top();
    while (!lit(image.pixel(box.left(), y)))
        ++y;
    EXPECT_EQ(members::columnElevationRowAt(kArea, bars, QPointF(box.left() + 1.5, y + 0.5), style),
              style.highlightRow);
}

// Labels and texts never lie over one another, whatever the column's height
// and the area's shape: those without room are left out.
TEST(ColumnElevation, TextsDropRatherThanOverprint) {
    const ColumnBars six = detail(kSixFloors), twenty = tall(20), lapped = detail(kLapped);
    for (const ColumnBars* bars : {&six, &twenty, &lapped})
        for (const QSizeF size :
             {QSizeF(600, 1400), QSizeF(300, 500), QSizeF(1400, 700), QSizeF(160, 3000)}) {
            SCOPED_TRACE(bars->name.toStdString() + " " + std::to_string(int(size.width())));
            const QRectF area(QPointF(0, 0), size);
            const members::column_elevation::Layout L =
                members::column_elevation::layOut(area, *bars, {});
            ASSERT_TRUE(L.frame.valid);
            EXPECT_GE(L.frame.yAt(bars->outline.floors.last().top), 0);
            EXPECT_LE(L.frame.yAt(bars->outline.foundationBottom), size.height());
            EXPECT_GE(L.block.left(), 0);
            EXPECT_LE(L.block.right(), size.width());
            QList<QRectF> boxes;
            for (const auto& label : L.labels)
                boxes << label.box;
            for (const auto& text : L.texts)
                boxes << text.box;
            for (qsizetype a = 0; a < boxes.size(); ++a) {
                EXPECT_TRUE(area.contains(boxes[a]));
                for (qsizetype b = a + 1; b < boxes.size(); ++b)
                    EXPECT_FALSE(boxes[a].intersects(boxes[b]))
                        << boxes[a].x() << "," << boxes[a].y() << " " << boxes[b].x() << ","
                        << boxes[b].y();
            }
            if (size == QSizeF(600, 1400)) {
                EXPECT_GE(L.labels.size(), bars == &twenty ? 30 : 8);
            }
        }
}

// A column that could not be read: the message in the middle, nothing else.
TEST(ColumnElevation, UnreadableColumnDrawsTheMessageOnly) {
    const ColumnBars unreadable = detail(R"({"mark":"KZ9","storeys":[],"segments":[]})");
    ASSERT_TRUE(unreadable.outline.floors.isEmpty());
    for (const ColumnBars& bars : {ColumnBars{}, unreadable}) {
        const QImage image = render(bars);
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!white(image.pixel(x, y)))
                    ink |= QRect(x, y, 1, 1);
        ASSERT_TRUE(ink.isValid());
        EXPECT_NEAR(ink.center().x(), 300, 10);
        EXPECT_NEAR(ink.center().y(), 700, 10);
        EXPECT_LT(ink.width(), 400);
        EXPECT_FALSE(members::columnElevationFrame(kArea, bars).valid);
        EXPECT_EQ(members::columnElevationRowAt(kArea, bars, ink.center()), -1);
    }
}

// Sizes, values and rows no window should give: drawn or skipped, never
// stuck.
TEST(ColumnElevation, OddAreasValuesAndRowsDrawWithoutHarm) {
    const ColumnBars bars = detail(kSixFloors);
    QImage image(200, 100, QImage::Format_RGB32);
    for (const QRectF& area :
         {QRectF(), QRectF(0, 0, 0, 100), QRectF(0, 0, -300, -80), QRectF(0, 0, 3, 3),
          QRectF(0, 0, 1e9, 1e9), QRectF(0, 0, qQNaN(), 50)}) {
        QPainter p(&image);
        members::paintColumnElevation(p, area, bars);
        members::columnElevationRowAt(area, bars, QPointF(1, 1));
    }
    for (qsizetype row : {qsizetype(-5), qsizetype(1) << 40}) {
        ColumnElevationStyle style;
        style.highlightRow = row;
        render(bars, style, {300, 500});
    }

    // Thousands of rows, some placed nowhere a column has.
    ColumnBars many = bars;
    for (int copy = 0; copy < 150; ++copy)
        for (const ColumnRow& row : bars.rows) {
            ColumnRow odd = row;
            if (odd.place) {
                odd.place->lines = {copy % 9 - 3, copy};
                if (copy % 5 == 1)
                    odd.place->z0 = qQNaN();
                if (copy % 5 == 2)
                    odd.place->z1 = -1e300;
                if (copy % 5 == 3)
                    odd.place->head = qInf();
                if (copy % 7 == 4)
                    odd.place->lapAbove = 1e12;
            }
            many.rows << odd;
        }
    ASSERT_GT(many.rows.size(), 5000);
    QElapsedTimer timer;
    timer.start();
    render(many);
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(members::columnElevationFrame(kArea, many).zeroY,
              members::columnElevationFrame(kArea, bars).zeroY);

    // Outlines with values beyond any building's: floors out of order or
    // not finite, faces of infinite width, a foundation far below.
    ColumnBars odd = bars;
    members::ColumnOutline& o = odd.outline;
    o.floors[1].top = qQNaN();
    o.floors[2].bottom = -1e300;
    o.floors[3].b1 = qInf();
    o.floors[4].beamDepth = 1e200;
    o.floors[5].nonConnection << std::pair{qQNaN(), 1e300};
    o.foundationBottom = -1e15;
    o.embedment = qInf();
    o.joints << members::ColumnOutline::Joint{qQNaN(), true, 1 << 30};
    const members::ColumnElevationFrame frame = members::columnElevationFrame(kArea, odd);
    ASSERT_TRUE(frame.valid);
    EXPECT_LE(frame.yAt(o.floors[0].bottom), 1400);
    EXPECT_GE(frame.yAt(o.floors[5].top), 0);
    render(odd);
}
