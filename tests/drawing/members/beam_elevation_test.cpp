// The beam's elevation rendered into images and read back by pixel: where the
// outline, the dense zones and the bars land against the beam's own numbers.
#include "drawing/members/beam_elevation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using members::BeamBars;
using members::BeamMember;
using members::BeamRow;

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// The two-span frame beam of the detailing tests: supports at 0–600,
// 7500–8100, 13500–14100; dense zones 1050 from each face.
BeamMember twoSpans() {
    BeamMember b;
    b.annotation = u("KL1(2) 300×700 C10@100/200(2) 2C25;4C25 G4C12");
    b.spans = {6900, 5400};
    b.supports = {600, 600, 600};
    b.atSupports = {{u("6C25 4/2")}, {u("6C25 4/2")}, {u("4C25")}};
    b.atSpans = {{u("6C25 2/4")}, {}};
    return b;
}

// The same with a cantilever of 2000 at the right, 500 deep at its tip.
BeamMember withCantilever() {
    BeamMember b = twoSpans();
    b.annotation = u("KL1(2A) 300×700/500 C10@100/200(2) 2C25;4C25 G4C12");
    b.atSupports = {{u("6C25 4/2")}, {u("6C25 4/2")}, {u("6C25 4/2")}};
    b.rightCantilever = members::Cantilever{2000, u("2C16"), {}};
    return b;
}

QImage render(const BeamBars& bars, const members::BeamElevationStyle& style = {},
              QSize size = {1600, 500}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    paintBeamElevation(p, QRectF(QPointF(0, 0), QSizeF(size)), bars, style);
    return image;
}

members::BeamElevationStyle plainStyle() {
    members::BeamElevationStyle style;
    style.labels = false;
    style.stirrupTicks = false;
    return style;
}

const members::BeamElevationStyle kPlain = plainStyle();
const QRectF kArea(0, 0, 1600, 500);
const QColor kHighlight = members::BeamElevationStyle{}.highlightColor;

bool white(QRgb c) {
    return qRed(c) == 255 && qGreen(c) == 255 && qBlue(c) == 255;
}
// The dense zones' light tint: warm, well off white.
bool shaded(QRgb c) {
    return qRed(c) > 225 && qGreen(c) > 200 && qBlue(c) < 215;
}
bool lit(QRgb c) {
    return c == kHighlight.rgb();
}

qsizetype indexOf(const BeamBars& bars, const char* role, std::optional<int> span,
                  std::optional<int> support) {
    for (qsizetype i = 0; i < bars.rows.size(); ++i)
        if (bars.rows[i].role == QLatin1String(role) && bars.rows[i].span == span &&
            bars.rows[i].support == support)
            return i;
    return -1;
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

// The lowest pixel of column `x` from `from` to `to` that is not white.
int lowestInk(const QImage& image, int x, int from, int to) {
    int lowest = -1;
    for (int y = from; y <= to; ++y)
        if (!white(image.pixel(x, y)))
            lowest = y;
    return lowest;
}

} // namespace

// With CORVALA_PICTURES naming a folder, the two examples are written there
// as pictures to look at.
TEST(BeamElevationPicture, WrittenWhenAsked) {
    const QString folder = qEnvironmentVariable("CORVALA_PICTURES");
    if (folder.isEmpty())
        GTEST_SKIP() << "CORVALA_PICTURES not set";
    members::BeamElevationStyle style;
    style.font.setFamilies({u("Noto Sans CJK SC")});
    const BeamBars plain = members::detailBeam(twoSpans());
    const BeamBars cantilever = members::detailBeam(withCantilever());
    EXPECT_TRUE(cantilever.problems.isEmpty());
    EXPECT_TRUE(render(plain, style).save(QDir(folder).filePath("beam-elevation-kl1.png")));
    EXPECT_TRUE(render(cantilever, style).save(QDir(folder).filePath("beam-elevation.png")));
    style.highlightRow = 1;
    EXPECT_TRUE(render(cantilever, style, {900, 320})
                    .save(QDir(folder).filePath("beam-elevation-small.png")));
}

// Zones of 1050 at each face of both spans: tinted from face to zone end,
// white beyond it and in the middle of the spans.
TEST(BeamElevation, DenseZonesAreShadedWhereTheOutlineSaysAndNowhereElse) {
    const BeamBars bars = members::detailBeam(twoSpans());
    using Zone = std::pair<double, double>;
    ASSERT_EQ(bars.outline.denseZones,
              (QList<Zone>{{600, 1650}, {6450, 7500}, {8100, 9150}, {12450, 13500}}));
    const QImage image = render(bars, kPlain);
    const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, kPlain);
    ASSERT_TRUE(frame.valid);
    const int y = int(frame.yAt(350));
    const auto at = [&](double mm, int px) { return image.pixel(int(frame.xAt(mm)) + px, y); };
    for (const auto& [z0, z1] : bars.outline.denseZones) {
        SCOPED_TRACE(z0);
        EXPECT_TRUE(shaded(at(z0, 3)));
        EXPECT_TRUE(shaded(at(z1, -3)));
    }
    EXPECT_TRUE(white(at(1650, 3)));
    EXPECT_TRUE(white(at(6450, -3)));
    EXPECT_TRUE(white(at(9150, 3)));
    EXPECT_TRUE(white(at(12450, -3)));
    EXPECT_TRUE(white(at(4050, 0)));
    EXPECT_TRUE(white(at(10800, 0)));
}

// The highlighted bar alone is drawn in the highlight colour, to the scale:
// the straight second-row bar over support 2 from its x0 to its x1 among the
// top bars; span 2's bottom bar near the bottom, its 375 leg bent up by the
// depth's scale.
TEST(BeamElevation, HighlightedBarRunsFromItsStartToItsEndAtTheScale) {
    const BeamBars bars = members::detailBeam(twoSpans());
    members::BeamElevationStyle style = kPlain;
    EXPECT_FALSE(litPixels(render(bars, style)).isValid());
    const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, style);
    const double perMmDeep = frame.yAt(1) - frame.yAt(0);

    style.highlightRow = indexOf(bars, "supportTop2", {}, 2);
    ASSERT_GE(style.highlightRow, 0);
    const members::BarPlace top = *bars.rows[style.highlightRow].place;
    ASSERT_EQ(top.leg0 + top.leg1, 0);
    QRect box = litPixels(render(bars, style));
    EXPECT_NEAR(box.left(), frame.xAt(top.x0), 3.5);
    EXPECT_NEAR(box.right(), frame.xAt(top.x1), 3.5);
    EXPECT_LE(box.height(), 8);
    EXPECT_LT(box.bottom(), frame.yAt(700.0 / 4));

    style.highlightRow = indexOf(bars, "bottom", 2, {});
    const members::BarPlace bottom = *bars.rows[style.highlightRow].place;
    ASSERT_EQ(bottom.leg1, 375);
    box = litPixels(render(bars, style));
    EXPECT_NEAR(box.left(), frame.xAt(bottom.x0), 3.5);
    EXPECT_GT(box.top(), frame.yAt(700.0 / 4));
    EXPECT_GT(box.bottom(), frame.yAt(700.0 * 3 / 4));
    EXPECT_NEAR(box.height(), 375 * perMmDeep, 6);
}

// The continuous 2C25 cut at couplers: each group's two pieces meet at
// their joint, the second starting where the first ends.
TEST(BeamElevation, PiecesOfALongBarMeetAtTheirJoint) {
    BeamMember b = twoSpans();
    b.settings.splice = codes::beams::Splice::Coupler;
    const BeamBars bars = members::detailBeam(b);
    members::BeamElevationStyle style = kPlain;
    const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, style);
    QList<qsizetype> pieces;
    for (qsizetype i = 0; i < bars.rows.size(); ++i)
        if (bars.rows[i].role == QLatin1String("topContinuous"))
            pieces << i;
    ASSERT_EQ(pieces.size(), 4);
    for (int group = 0; group < 2; ++group) {
        const qsizetype first = pieces[2 * group], second = pieces[2 * group + 1];
        const double joint = bars.rows[first].place->x1;
        ASSERT_EQ(bars.rows[second].place->x0, joint);
        style.highlightRow = first;
        const QRect one = litPixels(render(bars, style));
        style.highlightRow = second;
        const QRect two = litPixels(render(bars, style));
        EXPECT_NEAR(one.right(), frame.xAt(joint), 3.5);
        EXPECT_NEAR(two.left(), frame.xAt(joint), 5); // with the joint's block
        EXPECT_NEAR(one.center().y(), two.center().y(), 4);
    }
}

// Top bars of one row that overlap along the beam lie apart, each at its
// own height where they overlap.
TEST(BeamElevation, OverlappingBarsOfOneRowLieApart) {
    const BeamBars bars = members::detailBeam(twoSpans());
    members::BeamElevationStyle style = kPlain;
    const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, style);
    const int x = int(frame.xAt(1000)); // over span 1 near support 1
    QList<int> heights;
    for (qsizetype i = 0; i < bars.rows.size(); ++i) {
        const auto& place = bars.rows[i].place;
        if (!place || !place->top || place->row != 1 || place->x0 > 1000 || place->x1 < 1000)
            continue;
        style.highlightRow = i;
        const QImage image = render(bars, style);
        int y = 0;
        while (y < image.height() && !lit(image.pixel(x, y)))
            ++y;
        heights << y;
    }
    ASSERT_EQ(heights.size(), 3); // the two continuous pieces and support 1's first row
    std::sort(heights.begin(), heights.end());
    EXPECT_GE(heights[1] - heights[0], 2);
    EXPECT_GE(heights[2] - heights[1], 2);
    EXPECT_LT(heights[2], frame.yAt(700.0 / 4));
}

// G4C12: two bars on each face, drawn at two heights in the web, between
// the top and the bottom bars.
TEST(BeamElevation, SideBarsLieInTheWebTwoToAFace) {
    const BeamBars bars = members::detailBeam(twoSpans());
    members::BeamElevationStyle style = kPlain;
    style.highlightRow = indexOf(bars, "sideG", 1, {});
    const QImage image = render(bars, style);
    const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, style);
    const int x = int(frame.xAt(4000));
    QList<int> lines;
    for (int y = 1; y < image.height(); ++y)
        if (lit(image.pixel(x, y)) && !lit(image.pixel(x, y - 1)))
            lines << y;
    ASSERT_EQ(lines.size(), 2);
    EXPECT_GT(lines[0], frame.yAt(700.0 / 5));
    EXPECT_LT(lines[1], frame.yAt(700.0 * 4 / 5));
    EXPECT_GT(lines[1] - lines[0], frame.yAt(100) - frame.yAt(0));
}

// A stirrup row lights its own span's stirrup lines, as many as it counts.
TEST(BeamElevation, HighlightedStirrupRowLightsItsSpansLines) {
    const BeamBars bars = members::detailBeam(twoSpans());
    members::BeamElevationStyle style = kPlain;
    style.stirrupTicks = true;
    style.highlightRow = indexOf(bars, "stirrup", 1, {});
    ASSERT_EQ(bars.rows[style.highlightRow].bar.countPerMember, 45);
    const QImage image = render(bars, style);
    const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, style);
    // Orange, or orange smoothed into its background; not the red of a bottom
    // bar's leg smoothed into the grey column, whose green and blue are equal.
    const auto orange = [](QRgb c) {
        return qRed(c) > 200 && qRed(c) - qBlue(c) > 120 && qGreen(c) - qBlue(c) >= 40 &&
               qRed(c) - qGreen(c) >= 40;
    };
    int lines = 0, first = -1, last = -1;
    const int y = int(frame.yAt(350));
    for (int x = 0; x < image.width(); ++x) {
        const bool on = orange(image.pixel(x, y));
        if (on && (x == 0 || !orange(image.pixel(x - 1, y)))) {
            ++lines;
            first = first < 0 ? x : first;
        }
        last = on ? x : last;
    }
    EXPECT_EQ(lines, 45);
    if (lines != 45 && qEnvironmentVariableIsSet("CORVALA_PICTURES"))
        image.save(qEnvironmentVariable("CORVALA_PICTURES") + "/stirrup-row-failed.png");
    EXPECT_NEAR(first, frame.xAt(600 + 50), 2);
    EXPECT_NEAR(last, frame.xAt(7500 - 50), 2);
}

// The row under a point is the bar drawn there: the middle of each bar's
// run, and its label when labels are on; nothing in the margin.
TEST(BeamElevation, RowUnderAPointIsTheBarDrawnThere) {
    const BeamBars bars = members::detailBeam(withCantilever());
    members::BeamElevationStyle style = kPlain;
    const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, style);
    int checked = 0;
    for (qsizetype i = 0; i < bars.rows.size(); ++i) {
        if (!bars.rows[i].place)
            continue;
        SCOPED_TRACE(bars.rows[i].role.toStdString());
        style.highlightRow = i;
        const QImage image = render(bars, style);
        const members::BarPlace& place = *bars.rows[i].place;
        const int x = int(frame.xAt((place.x0 + place.x1) / 2));
        QList<int> ys;
        for (int y = 0; y < image.height(); ++y)
            if (lit(image.pixel(x, y)))
                ys << y;
        ASSERT_FALSE(ys.isEmpty());
        EXPECT_EQ(members::beamElevationRowAt(kArea, bars,
                                              QPointF(x + 0.5, ys[ys.size() / 2] + 0.5), style),
                  i);
        ++checked;
    }
    EXPECT_GE(checked, 12);
    EXPECT_EQ(members::beamElevationRowAt(kArea, bars, QPointF(4, frame.yAt(350)), style), -1);

    style.labels = true;
    style.highlightRow = indexOf(bars, "supportTop2", {}, 2);
    const QImage image = render(bars, style);
    const QRect box = litPixels(image);
    ASSERT_LT(box.top(), frame.topY); // the label above the beam
    int x = box.left();
    while (!lit(image.pixel(x, box.top())))
        ++x;
    EXPECT_EQ(members::beamElevationRowAt(kArea, bars, QPointF(x, box.top() + 2), style),
              style.highlightRow);
}

// The outline to the scale: the beam's lines at its top and at 700 in the
// spans, the cantilever tapering to 500 at its tip, nothing beyond; with the
// depth exaggerated as chosen and at the length's own scale.
TEST(BeamElevation, OutlineFollowsTheDepthsAndTheCantileverTaper) {
    const BeamBars bars = members::detailBeam(withCantilever());
    const members::BeamOutline& o = bars.outline;
    ASSERT_EQ(o.rightTipDepth, 500);
    for (double scale : {0.0, 1.0}) {
        SCOPED_TRACE(scale);
        members::BeamElevationStyle style = kPlain;
        style.verticalScale = scale;
        const QImage image = render(bars, style);
        const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, bars, style);
        EXPECT_EQ(frame.verticalScale, scale == 0 ? 3 : 1);
        const int from = int(frame.topY) - 2, to = int(frame.yAt(800));
        const int middle = int(frame.xAt(4050));
        EXPECT_FALSE(white(image.pixel(middle, qRound(frame.topY))));
        EXPECT_NEAR(lowestInk(image, middle, from, to), frame.yAt(700), 2);
        for (double along : {100.0, 1000.0, 1900.0})
            EXPECT_NEAR(lowestInk(image, int(frame.xAt(o.faceRight.last() + along)), from, to),
                        frame.yAt(700 - 200 * along / 2000), 2)
                << along;
        EXPECT_EQ(lowestInk(image, int(frame.xAt(o.right)) + 4, from, to), -1);
    }
}

// A beam that could not be read: the message in the middle, nothing else.
TEST(BeamElevation, UnreadableBeamDrawsTheMessageOnly) {
    BeamMember unreadable = twoSpans();
    unreadable.annotation = u("KL1(2) 300×");
    const BeamBars read = members::detailBeam(unreadable);
    ASSERT_TRUE(read.outline.faceLeft.isEmpty());
    for (const BeamBars& bars : {BeamBars{}, read}) {
        const QImage image = render(bars);
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!white(image.pixel(x, y)))
                    ink |= QRect(x, y, 1, 1);
        ASSERT_TRUE(ink.isValid());
        EXPECT_NEAR(ink.center().x(), 800, 10);
        EXPECT_NEAR(ink.center().y(), 250, 10);
        EXPECT_LT(ink.width(), 400);
        EXPECT_FALSE(members::beamElevationFrame(kArea, bars).valid);
        EXPECT_EQ(members::beamElevationRowAt(kArea, bars, ink.center()), -1);
    }
}

// Sizes and rows no window should give: drawn or skipped, never stuck.
TEST(BeamElevation, OddAreasAndRowsDrawWithoutHarm) {
    const BeamBars bars = members::detailBeam(withCantilever());
    QImage image(200, 100, QImage::Format_RGB32);
    for (const QRectF& area :
         {QRectF(), QRectF(0, 0, 0, 100), QRectF(0, 0, -300, -80), QRectF(0, 0, 3, 3),
          QRectF(0, 0, 1e9, 1e9), QRectF(0, 0, qQNaN(), 50)}) {
        QPainter p(&image);
        members::paintBeamElevation(p, area, bars);
        members::beamElevationRowAt(area, bars, QPointF(1, 1));
    }

    // Thousands of rows, some placed nowhere a beam has.
    BeamBars many = bars;
    for (int copy = 0; copy < 150; ++copy)
        for (const BeamRow& row : bars.rows) {
            BeamRow odd = row;
            if (odd.place) {
                odd.place->row = copy % 7 - 2;
                if (copy % 5 == 1)
                    odd.place->x0 = qQNaN();
                if (copy % 5 == 2)
                    odd.place->x1 = -1e300;
                if (copy % 5 == 3)
                    odd.place->leg1 = qInf();
            }
            many.rows << odd;
        }
    ASSERT_GT(many.rows.size(), 3000);
    QElapsedTimer timer;
    timer.start();
    const QImage crowded = render(many);
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(members::beamElevationFrame(kArea, many).pxPerMm,
              members::beamElevationFrame(kArea, bars).pxPerMm);

    // Beams kilometres long and longer still fit their area.
    BeamMember long_ = twoSpans();
    long_.spans = {9e5, 8e5};
    BeamBars scaled = bars;
    members::BeamOutline& o = scaled.outline;
    for (QList<double>* list : {&o.faceLeft, &o.faceRight, &o.spanDepth})
        for (double& v : *list)
            v *= 1e7;
    o.right *= 1e7;
    for (const BeamBars& huge : {members::detailBeam(long_), scaled}) {
        const members::BeamElevationFrame frame = members::beamElevationFrame(kArea, huge);
        ASSERT_TRUE(frame.valid);
        EXPECT_GE(frame.xAt(huge.outline.left), 0);
        EXPECT_LE(frame.xAt(huge.outline.right), 1600);
        EXPECT_LE(frame.yAt(huge.outline.spanDepth[0]), 500);
        render(huge);
    }
}
