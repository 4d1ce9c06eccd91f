#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include "support/german_c_locale.h"
#include "support/qt_printers.h"
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

using namespace numbers;

namespace {

TEST(StrictNumber, AcceptsWholeNumbersOnly) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } rows[] = {
        {"14", true, 14},
        {"012", true, 12},
        {"0.5", true, 0.5},
        {".5", true, 0.5},
        {"5.", true, 5},
        {"-3", true, -3},
        {"+4", true, 4},
        {"  61.26 ", true, 61.26},
        {"600.", true, 600},
        {"1E+15", true, 1e15},
        {"7.85E+21", true, 7.85e21},
        {"2.5E-05", true, 2.5e-5},
        {"", false, 0},
        {"   ", false, 0},
        {".", false, 0},
        {"-", false, 0},
        {"1.2.3", false, 0},
        {"12/", false, 0},
        {"6000-60", false, 0},
        {"1,5", false, 0},
        {"1e400", false, 0},
        {"1E", false, 0},
        {"abc", false, 0},
        {"1 2", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto v = strictNumber(QString::fromUtf8(row.text));
        ASSERT_EQ(v.has_value(), row.ok);
        if (row.ok)
            EXPECT_DOUBLE_EQ(*v, row.value);
    }
}

TEST(StrictNumber, RefusesFullWidthDigitsAndHugeInput) {
    EXPECT_FALSE(strictNumber(QStringLiteral("１２")).has_value());
    // 300 digits: a finite double, read without trouble.
    const auto big = strictNumber(QString(300, QLatin1Char('9')));
    ASSERT_TRUE(big.has_value());
    EXPECT_TRUE(std::isfinite(*big));
    EXPECT_FALSE(strictNumber(QString(400, QLatin1Char('9'))).has_value());
}

// Every text the program writes must read back as its number, or a step
// reading an earlier result would keep a stale value.
TEST(StrictNumber, ReadsBackEveryWrittenForm) {
    const double values[] = {0,       0.5,    -0.25,  6126,  1.2085703, 1e15,
                             7.85e21, 2.5e-5, 1e-300, 1e300, -1e20,     480.832611206852};
    for (double v : values) {
        const QString text = generalNumberText(v);
        SCOPED_TRACE(text.toStdString());
        const auto back = strictNumber(text);
        ASSERT_TRUE(back.has_value());
        EXPECT_DOUBLE_EQ(*back, std::stod(text.toStdString()));
        for (Pattern p : {Pattern::Fixed2, Pattern::UpTo2, Pattern::UpTo3}) {
            if (std::fabs(v) < 1e15)
                EXPECT_TRUE(strictNumber(formatPattern(v, p)).has_value());
        }
    }
}

TEST(LeadingNumber, TakesTheLongestLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } rows[] = {
        {"10", 10}, {"012", 12}, {"2*3", 2},     {"12abc", 12}, {"", 0},        {"abc", 0},
        {".", 0},   {".5", 0.5}, {"-1", -1},     {" 7", 7},     {"1.2.3", 1.2}, {"2.5E-3x", 0.0025},
        {"1E", 1},  {"3E+", 3},  {"30°15'", 30}, {"-", 0},      {"１２", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(row.text)), row.value);
    }
    EXPECT_TRUE(std::isinf(leadingNumber(QStringLiteral("1e400"))));
    EXPECT_LT(leadingNumber(QStringLiteral("-1e400")), 0);
}

TEST(ParseDecimal, FollowsTheFormulaNumberForm) {
    EXPECT_EQ(parseDecimal("3E-2"), 0.03);
    EXPECT_EQ(parseDecimal("+4"), 4);
    EXPECT_EQ(parseDecimal("-.5"), -0.5);
    EXPECT_FALSE(parseDecimal("").has_value());
    EXPECT_FALSE(parseDecimal("1.2.3").has_value());
    EXPECT_FALSE(parseDecimal("--5").has_value());
    EXPECT_FALSE(parseDecimal(" 5").has_value());
    EXPECT_EQ(parseDecimal("1E-400"), 0.0);
}

TEST(NumberReading, GermanLocaleChangesNothing) {
    const GermanCLocale german;
    if (!german.ok())
        GTEST_SKIP() << "no German locale installed";
    ASSERT_EQ(std::localeconv()->decimal_point, std::string(","));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(strictNumber(QStringLiteral("61.26")), 61.26);
    EXPECT_FALSE(strictNumber(QStringLiteral("61,26")).has_value());
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("1.5")), 1.5);
    QLocale::setDefault(QLocale::c());
}
} // namespace
