#include "support/window_fixture.h"
#include "ui/beam/sketch_line.h"

#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

class BeamTabTest : public WindowTest {
protected:
    QTabWidget* tabs() { return find<QTabWidget>("SSTab1"); }
    void showBeamTab() { tabs()->setCurrentIndex(2); }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QStringList derived() {
        QStringList r;
        for (const char* name :
             {"Text44", "Text37", "Text38", "Text39", "Text40", "Text41", "Text43", "Text42"})
            r << text(name);
        return r;
    }
    QStringList barQuantities() {
        QStringList r;
        for (int i = 1; i <= 12; ++i)
            r << text(qPrintable(QStringLiteral("Text%1").arg(i)));
        return r;
    }
    const QStringList defaults = {"0.24", "2340", "2340", "390", "880", "480.832611206852",
                                  "190",  "340"};
};

TEST_F(BeamTabTest, ShowingTheTabComputesTheDefaultBeam) {
    EXPECT_EQ(derived(), QStringList(8, QStringLiteral("0")));
    showBeamTab();
    EXPECT_EQ(derived(), defaults);
    EXPECT_TRUE(find("Text24")->hasFocus());
    EXPECT_EQ(find("Text24")->selectedText(), "2400");
}

TEST_F(BeamTabTest, LowSegmentFieldsHaveTheirThinBorderOnceShown) {
    showBeamTab();
    for (const char* name : {"Text37", "Text38"}) {
        QLineEdit* field = find(name);
        const QImage pixels = field->grab().toImage();
        const QRgb border = field->palette().color(QPalette::Mid).rgb();
        const int middle = pixels.height() / 2;
        EXPECT_EQ(pixels.pixel(0, middle), border) << name;
        EXPECT_EQ(pixels.pixel(pixels.width() - 1, middle), border) << name;
        EXPECT_EQ(pixels.pixel(pixels.width() / 2, 0), border) << name;
    }
}

TEST_F(BeamTabTest, EveryChangeOfTheBeamDataRecomputes) {
    showBeamTab();
    type("Text24", QStringLiteral("1000"));
    EXPECT_EQ(text("Text40"), "-520");
    EXPECT_EQ(text("Text37"), "940");
    EXPECT_EQ(text("Text44"), "0.1");
    type("Text27", QStringLiteral("240"));
    EXPECT_EQ(text("Text39"), "260");
    type("Text24", QStringLiteral("2400"));
    type("Text27", QStringLiteral("370"));
    EXPECT_EQ(derived(), defaults);
    // Bar data do not recompute.
    find("Text37")->setText(QStringLiteral("5"));
    type("Text28", QStringLiteral("20"));
    type("Text35", QStringLiteral("3"));
    EXPECT_EQ(text("Text37"), "5");
}

TEST_F(BeamTabTest, WithoutACoverOnlyTheVolumeFollows) {
    showBeamTab();
    find("Text37")->setText(QStringLiteral("5"));
    find("Text36")->clear(); // the change to empty text still runs
    EXPECT_EQ(text("Text37"), "5");
    type("Text24", QStringLiteral("1000"));
    EXPECT_EQ(text("Text44"), "0.1");
    QStringList rest = defaults.mid(1);
    rest[0] = QStringLiteral("5");
    EXPECT_EQ(derived().mid(1), rest);
    type("Text36", QStringLiteral("30"));
    EXPECT_EQ(text("Text40"), "-520");
}

TEST_F(BeamTabTest, ATypedSegmentIsSentUntilTheNextRecompute) {
    showBeamTab();
    type("Text37", QStringLiteral("2000"));
    EXPECT_EQ(text("Text37"), "2000");
    click("Command2");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(text("Text2"), "2000");
    showBeamTab(); // the focus entering Text24 recomputes
    EXPECT_EQ(text("Text37"), "2340");
}

TEST_F(BeamTabTest, KeysAndTheEnterChain) {
    showBeamTab();
    type("Text28", QStringLiteral("1.6"));
    EXPECT_EQ(text("Text28"), "16");
    EXPECT_EQ(feedback.beeps, 1);
    type("Text39", QStringLiteral("3.5"));
    EXPECT_EQ(text("Text39"), "3.5");
    type("Text36", QStringLiteral("2a5"));
    EXPECT_EQ(text("Text36"), "25");
    type("Text36", QStringLiteral("30"));

    // Segment fields are editable but not Tab stops; the volume is read-only.
    EXPECT_FALSE(find("Text39")->isReadOnly());
    EXPECT_EQ(find("Text39")->focusPolicy(), Qt::ClickFocus);
    EXPECT_TRUE(find("Text44")->isReadOnly());
    EXPECT_EQ(find("Text24")->focusPolicy(), Qt::StrongFocus);

    // Only the focus entering the length, width or height recomputes.
    find("Text24")->setFocus(Qt::OtherFocusReason);
    for (int i = 24; i <= 43; ++i) {
        const int next = i == 43 ? 24 : i + 1;
        const QString from = QStringLiteral("Text%1").arg(i);
        const QString to = QStringLiteral("Text%1").arg(next);
        find("Text40")->setText(QStringLiteral("7"));
        QTest::keyClick(find(qPrintable(from)), Qt::Key_Return);
        EXPECT_TRUE(find(qPrintable(to))->hasFocus()) << qPrintable(from);
        EXPECT_EQ(find(qPrintable(to))->selectedText(), text(qPrintable(to)));
        EXPECT_EQ(text("Text40"), next <= 26 ? "880" : "7") << qPrintable(to);
    }
}

TEST_F(BeamTabTest, TopAndBottomBarsGoToTheBarQuantityTab) {
    showBeamTab();
    click("Command2");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_TRUE(find("Text1")->hasFocus());
    EXPECT_EQ(barQuantities(), QStringList({"12", "2340", "2", "4.5", "113.04", "0.8879292", "12",
                                            "2", "2448", "4.90", "4.35", "226.08"}));

    showBeamTab();
    click("Command3");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(barQuantities().mid(0, 4), QStringList({"16", "2340", "2", "4.5"}));
    EXPECT_EQ(text("Text9"), "2484");
}

TEST_F(BeamTabTest, BentUpBarsSendTheirAssembledLength) {
    showBeamTab();
    click("Command4");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(text("Text1"), "16");
    EXPECT_EQ(text("Text2"), "2621.6652224137");
    EXPECT_EQ(text("Text3"), "2");
    EXPECT_EQ(text("Text9"), "2765.6652224137");
    EXPECT_EQ(text("Text10"), "5.53");
    EXPECT_EQ(text("Text11"), "8.73");
    EXPECT_EQ(feedback.beeps, 0);
}

TEST_F(BeamTabTest, StirrupsSendTheirPerimeterAndCoefficient) {
    showBeamTab();
    click("Command5");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    // 2 x (190 + 340), plus 13.5 x 8 at each bent end.
    EXPECT_EQ(barQuantities(), QStringList({"8", "1060", "17", "13.5", "50.24", "0.3946352", "8",
                                            "17", "1276", "21.69", "8.56", "854.08"}));
}

TEST_F(BeamTabTest, AStirrupOfTenTakesItsOwnCoefficientFirst) {
    showBeamTab();
    QStringList coefficients;
    QObject::connect(find("Text4"), &QLineEdit::textChanged,
                     [&](const QString& t) { coefficients << t; });
    type("Text34", QStringLiteral("10"));
    click("Command5");
    EXPECT_EQ(coefficients, QStringList({"6.25", "13.5"}));
    EXPECT_EQ(text("Text1"), "10");
    EXPECT_EQ(text("Text9"), "1330"); // 1060 + 2 x 13.5 x 10
}

TEST_F(BeamTabTest, TheBarQuantityTabKeepsItsBendOption) {
    clickAtLeft(find<QRadioButton>("Option3"));
    showBeamTab();
    click("Command2");
    EXPECT_TRUE(find<QRadioButton>("Option3")->isChecked());
    EXPECT_EQ(text("Text9"), "2340");
    EXPECT_EQ(text("Text4"), "4.5");
}

TEST_F(BeamTabTest, AnUnreadableSegmentSendsNothing) {
    showBeamTab();
    const QStringList before = barQuantities();
    find("Text40")->clear();
    click("Command4");
    EXPECT_EQ(tabs()->currentIndex(), 2);
    EXPECT_EQ(barQuantities(), before);
    EXPECT_EQ(feedback.beeps, 1);
    EXPECT_TRUE(find("Text40")->hasFocus());

    // The first unreadable field in order gets the focus, its text selected.
    find("Text40")->setText(QStringLiteral("."));
    find("Text41")->setText(QStringLiteral("1.2.3"));
    click("Command4");
    EXPECT_EQ(feedback.beeps, 2);
    EXPECT_TRUE(find("Text40")->hasFocus());
    EXPECT_EQ(find("Text40")->selectedText(), ".");

    find("Text43")->setText(QStringLiteral("19O"));
    click("Command5");
    EXPECT_EQ(tabs()->currentIndex(), 2);
    EXPECT_EQ(barQuantities(), before);
    EXPECT_EQ(feedback.beeps, 3);
    EXPECT_TRUE(find("Text43")->hasFocus());
    EXPECT_EQ(find("Text43")->selectedText(), "19O");
}

TEST_F(BeamTabTest, TheSketchesAreJoinedUp) {
    auto line = [this](int i) {
        return find<SketchLine>(qPrintable(QStringLiteral("Line%1").arg(i)))->line();
    };
    // The bent-up bar runs level, down at 45 degrees, level, up again, level.
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(line(i).p2(), line(i + 1).p1()) << i;
    EXPECT_EQ(line(4).dx(), line(4).dy());
    EXPECT_EQ(line(6).dx(), -line(6).dy());
    for (int level : {3, 5, 7})
        EXPECT_EQ(line(level).dy(), 0) << level;
    EXPECT_GT(line(5).y1(), line(3).y1());
    EXPECT_EQ(find<SketchLine>("Line5")->parentWidget()->objectName(), "Frame18");
    // The stirrup is a closed rectangle.
    for (int i = 8; i <= 11; ++i)
        EXPECT_EQ(line(i).p2(), line(i == 11 ? 8 : i + 1).p1()) << i;
}

// Laptops run at 125 % or 150 %: drawn at each usual display scale, every
// sketch line leaves pixels and the low segment fields keep their digits
// whole, as tall as the same digits drawn freely.
TEST_F(BeamTabTest, TheSketchesAndSegmentsStayWholeAtEveryDisplayScale) {
    showBeamTab();
    auto render = [this](qreal scale) {
        QImage image((QSizeF(window->size()) * scale).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::white);
        window->render(&image);
        return image;
    };
    // Rows of the device-pixel rectangle holding dark (text or line) pixels.
    auto inkRows = [](const QImage& image, QRect rect) {
        int rows = 0;
        for (int y = std::max(rect.top(), 0); y <= std::min(rect.bottom(), image.height() - 1); ++y)
            for (int x = std::max(rect.left(), 0); x <= std::min(rect.right(), image.width() - 1);
                 ++x)
                if (qGray(image.pixel(x, y)) < 100) {
                    ++rows;
                    break;
                }
        return rows;
    };
    for (qreal scale : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        const QImage whole = render(scale);
        for (int i = 1; i <= 11; ++i) {
            auto* line = find<SketchLine>(qPrintable(QStringLiteral("Line%1").arg(i)));
            line->hide();
            const bool painted = render(scale) != whole;
            line->show();
            EXPECT_TRUE(painted) << "Line" << i << " at scale " << scale;
        }
        for (int i = 37; i <= 43; ++i) {
            QLineEdit* field = find(qPrintable(QStringLiteral("Text%1").arg(i)));
            field->setText(QStringLiteral("2390"));
            const QImage shown = render(scale);
            const QRect box(field->mapTo(window.get(), QPoint(0, 0)), field->size());
            const QRect deviceBox((QRectF(box).topLeft() * scale).toPoint(),
                                  (QSizeF(box.size()) * scale).toSize());
            QImage free(QSize(200, 100) * scale, QImage::Format_RGB32);
            free.setDevicePixelRatio(scale);
            free.fill(Qt::white);
            QPainter painter(&free);
            painter.setFont(field->font());
            painter.drawText(QPointF(10, 50), field->text());
            painter.end();
            EXPECT_GE(inkRows(shown, deviceBox.adjusted(1, 1, -1, -1)),
                      inkRows(free, free.rect()) - 1)
                << "Text" << i << " at scale " << scale;
        }
    }
}

} // namespace
