#include "core/numbers/number_text.h"

#include "support/german_c_locale.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace numbers;

namespace {
struct DoubleRow {
    double value;
    const char* general;
    const char* signedText;
};

const DoubleRow kDoubleRows[] = {
    {0, "0", " 0"},
    {-0.0, "0", " 0"},
    {0.5, "0.5", " .5"},
    {-0.25, "-0.25", "-.25"},
    {12, "12", " 12"},
    {6126, "6126", " 6126"},
    {612.6, "612.6", " 612.6"},
    {153.86000000000001, "153.86", " 153.86"},
    {1.2085703, "1.2085703", " 1.2085703"},
    {480.83261120685228, "480.832611206852", " 480.832611206852"},
    {1.0 / 3.0, "0.333333333333333", " .333333333333333"},
    {0.999999999999999, "0.999999999999999", " .999999999999999"},
    {0.9999999999999999, "1", " 1"},        // 16 nines round up a digit
    {999999999999999.9, "1E+15", " 1E+15"}, // rounds up into exponent form
    {999999999999999, "999999999999999", " 999999999999999"},
    {1e15, "1E+15", " 1E+15"},
    {-1e15, "-1E+15", "-1E+15"},
    {7.85e21, "7.85E+21", " 7.85E+21"},
    {1.2345678901234567e20, "1.23456789012346E+20", " 1.23456789012346E+20"},
    {1e100, "1E+100", " 1E+100"},
    {0.0001, "0.0001", " .0001"},
    {0.00012345, "0.00012345", " .00012345"},
    {0.00001, "1E-05", " 1E-05"},
    {2.5e-5, "2.5E-05", " 2.5E-05"},
    {-2.5e-5, "-2.5E-05", "-2.5E-05"},
    {1e-300, "1E-300", " 1E-300"},
    {1.5707963267948966, "1.5707963267949", " 1.5707963267949"},
    {7.257415615307994e306, "7.25741561530799E+306", " 7.25741561530799E+306"},
    {100000, "100000", " 100000"},
};

TEST(NumberText, DoubleForms) {
    for (const auto& row : kDoubleRows) {
        SCOPED_TRACE(row.general);
        EXPECT_EQ(generalNumberText(row.value).toStdString(), row.general);
        EXPECT_EQ(signedNumberText(row.value).toStdString(), row.signedText);
        const std::string trimmed = row.signedText[0] == ' ' ? row.signedText + 1 : row.signedText;
        EXPECT_EQ(trimmedSignedNumberText(row.value).toStdString(), trimmed);
    }
}

TEST(NumberText, SinglePrecisionFormsKeepSevenDigits) {
    const struct {
        float value;
        const char* general;
        const char* signedText;
    } rows[] = {
        {0.1f + 0.1f, "0.2", " .2"},
        {0.1f, "0.1", " .1"},
        {44.80625f, "44.80625", " 44.80625"},
        {57.0f, "57", " 57"},
        {1234567.0f, "1234567", " 1234567"},
        {12345678.0f, "1.234568E+07", " 1.234568E+07"},
        {1e7f, "1E+07", " 1E+07"},
        {3.4e38f, "3.4E+38", " 3.4E+38"},
        {-0.5f, "-0.5", "-.5"},
        {0.0f, "0", " 0"},
        {0.00001f, "1E-05", " 1E-05"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.general);
        EXPECT_EQ(generalNumberText(row.value).toStdString(), row.general);
        EXPECT_EQ(signedNumberText(row.value).toStdString(), row.signedText);
    }
}

TEST(NumberText, NonFiniteValuesGiveNoText) {
    EXPECT_TRUE(generalNumberText(HUGE_VAL).isEmpty());
    EXPECT_TRUE(generalNumberText(std::nan("")).isEmpty());
    EXPECT_TRUE(signedNumberText(-HUGE_VAL).isEmpty());
    EXPECT_TRUE(formatPattern(HUGE_VAL, Pattern::Fixed2).isEmpty());
}

TEST(NumberText, Patterns) {
    const struct {
        double value;
        Pattern pattern;
        const char* text;
    } rows[] = {
        {61.26, Pattern::Fixed2, "61.26"},  {74.037016678, Pattern::Fixed2, "74.04"},
        {0, Pattern::Fixed2, "0.00"},       {4.9, Pattern::Fixed2, "4.90"},
        {2.675, Pattern::Fixed2, "2.68"},  // half away on the decimal digits
        {9.995, Pattern::Fixed2, "10.00"}, // carries into a new digit
        {-2.675, Pattern::Fixed2, "-2.68"}, {-0.001, Pattern::Fixed2, "0.00"}, // no negative zero
        {0.5, Pattern::Fixed2, "0.50"},     {1e20, Pattern::Fixed2, "100000000000000000000.00"},
        {600, Pattern::UpTo2, "600."},      {588.539815, Pattern::UpTo2, "588.54"},
        {708.54, Pattern::UpTo2, "708.54"}, {0, Pattern::UpTo2, "0."},
        {1.005, Pattern::UpTo2, "1.01"},    {1.1, Pattern::UpTo2, "1.1"},
        {0.24, Pattern::UpTo3, "0.24"},     {0.0004, Pattern::UpTo3, "0."},
        {0.0005, Pattern::UpTo3, "0.001"},  {0.2315, Pattern::UpTo3, "0.232"},
        {2.7, Pattern::UpTo3, "2.7"},       {0.99951, Pattern::UpTo3, "1."},
        {1e-20, Pattern::UpTo3, "0."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(formatPattern(row.value, row.pattern).toStdString(), row.text);
    }
}

TEST(NumberText, GermanLocaleChangesNothing) {
    const GermanCLocale german;
    if (!german.ok())
        GTEST_SKIP() << "no German locale installed";
    ASSERT_EQ(std::localeconv()->decimal_point, std::string(","));
    EXPECT_EQ(generalNumberText(612.6).toStdString(), "612.6");
    EXPECT_EQ(signedNumberText(0.5).toStdString(), " .5");
    EXPECT_EQ(formatPattern(1234.5, Pattern::Fixed2).toStdString(), "1234.50");
    EXPECT_EQ(generalNumberText(2.5e-5).toStdString(), "2.5E-05");
}
} // namespace
