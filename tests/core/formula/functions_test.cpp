// functionValue: values, domains and pole guards.
#include "core/formula/engine.h"
#include "string_io.h"

#include "core/numbers/number_text.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <cmath>

using formula::Engine;

namespace {

struct FunctionRow {
    const char* name;
    double x;
    const char* value; // general number text, or nullptr when the function fails
};

using formula::kPi;

const FunctionRow kRows[] = {
    {"SIN", 0, "0"},
    {"COS", 0, "1"},
    {"SIN", 30, "-0.988031624092862"}, // radians
    {"TG", 1, "1.5574077246549"},
    {"TG", 0, "0"}, // defined at multiples of π
    {"TG", kPi, "-3.23108914886517E-15"},
    {"TG", kPi / 2, nullptr}, // a pole
    {"TG", -kPi / 2, nullptr},
    {"TG", 3 * kPi / 2, nullptr},
    {"TG", kPi / 2 - 0.000001, nullptr}, // just below a pole, within the tolerance
    {"TG", kPi / 2 + 0.000001, nullptr},
    {"TG", kPi / 2 - 0.0001, "9999.99996650621"},
    {"CTG", 1, "0.642092615934331"},
    {"CTG", 0, nullptr},
    {"CTG", kPi, nullptr},
    {"CTG", -kPi, nullptr},
    {"CTG", kPi / 2, "1.61554457443259E-15"},
    {"ARCTG", 1, "0.785398163397448"},
    {"ARCCTG", 1, "2.35619449019234"}, // 3π/4, by this program's own formula
    {"ARCSIN", 0.5, "0.523598775598299"},
    {"ARCSIN", 1.5, nullptr},
    {"ARCSIN", -1.0000001, nullptr},
    {"ARCSIN", 1, "1.5707963267949"}, // the limit at the edge of the domain
    {"ARCSIN", -1, "-1.5707963267949"},
    {"ARCCOS", 0.5, "1.0471975511966"},
    {"ARCCOS", 1, "0"},
    {"ARCCOS", -1, "3.14159265358979"},
    {"ARCCOS", 2, nullptr},
    {"ABS", -3, "3"},
    {"LN", 1, "0"},
    {"LN", 0, nullptr},
    {"LN", -1, nullptr},
    {"LOG", 100, "2"},
    {"LOG", -1, nullptr},
    {"LOG", 0, nullptr},
    {"EXP", 0, "1"},
    {"EXP", 709, "8.21840746155497E+307"},
    {"EXP", 710, nullptr},
    {"EXP", -1000, "0"},
    {"SQR", 16, "4"},
    {"SQR", 0, "0"},
    {"SQR", -4, nullptr},
    {"SEC", 0, "1"},
    {"SEC", kPi / 2, nullptr},
    {"SEC", 1, "1.85081571768093"},
    {"CSC", kPi / 2, "1"},
    {"CSC", 0, nullptr},
    {"CSC", 2 * kPi, nullptr},
    {"ARCSEC", 2, "2.42786827464503"}, // not π/3, by this program's own formula
    {"ARCSEC", 0.5, nullptr},
    {"ARCSEC", 1, "1.5707963267949"},
    {"ARCSEC", -2, "-2.42786827464503"},
    {"ARCCSC", 2, "0.857071947850131"}, // not π/6
    {"ARCCSC", 0.99, nullptr},
    {"ARCCSC", -2, "-3.99866460143992"},
    {"SH", 0, "0"},
    {"CH", 0, "1"},
    {"SH", 1, "1.1752011936438"},
    {"CH", 1, "1.54308063481524"},
    {"SH", 710, nullptr}, // beyond the double range
    {"CH", -710, nullptr},
    {"SH", 709, "4.10920373077749E+307"},
};

TEST(FunctionValue, Table) {
    StringIo io;
    for (const FunctionRow& row : kRows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.x));
        Engine engine(io);
        const double v = engine.functionValue(QString::fromLatin1(row.name), row.x);
        EXPECT_TRUE(std::isfinite(v));
        if (row.value) {
            EXPECT_TRUE(engine.valid());
            EXPECT_EQ(numbers::generalNumberText(v), QString::fromLatin1(row.value));
        } else {
            EXPECT_FALSE(engine.valid());
            EXPECT_EQ(v, 0);
        }
    }
}

TEST(FunctionValue, NameOutsideTheTableFails) {
    for (const char* name : {"FOO", "SINCOS", "sin"}) { // names come upper-cased
        StringIo io;
        Engine engine(io);
        EXPECT_EQ(engine.functionValue(QString::fromLatin1(name), 1), 0) << name;
        EXPECT_FALSE(engine.valid()) << name;
    }
}

TEST(FunctionValue, FailureIsNotResetBySuccess) {
    StringIo io;
    Engine engine(io);
    engine.functionValue(QStringLiteral("LN"), 0);
    engine.functionValue(QStringLiteral("LN"), 1);
    EXPECT_FALSE(engine.valid());
}

// Validation compares only the first run of letters with the name table; any later
// run outside it must still fail the evaluation, wherever it stands.
TEST(Evaluate, NamesOutsideTheTableFailWhereverTheyStand) {
    const char* const kFormulas[] = {
        "SIN(1)+FOO(2)",     // after an operator
        "COS(0)+BAR(1)+1",   // in the middle of a sum
        "SIN(1)*FOO(2)",     // as a factor
        "ABS(2)+SINX(1)",    // glued after a name of the table
        "ABS(2)+XSIN(1)",    // glued before one
        "SIN0+SINCOS1",      // two names written together form one unknown name
        "SIN1+(FOO2)",       // after "("
        "SIN(FOO2)",         // as a function's argument
        "LN1+((2*(3+ZZ1)))", // in a nested group
        "ABS1+2FOO3",        // after a number (implied "*")
        "E1+1",              // the exponent letter with no number before it
        "1E5+EE2",           // the exponent letter doubled
    };
    for (const char* formula : kFormulas) {
        SCOPED_TRACE(formula);
        const Outcome r = evaluate(QString::fromLatin1(formula));
        ASSERT_TRUE(r.formulaOk); // only the first run is the validation's business
        EXPECT_FALSE(r.calcOk) << r.text.toStdString();
    }
    // The names of the table, the exponent letter among them, still evaluate.
    const Outcome r = evaluate(QStringLiteral("SIN0+COS0+2.5E-3*EXP0+SEC0+1E2"));
    EXPECT_TRUE(r.calcOk);
    EXPECT_EQ(r.text, QStringLiteral("102.0025"));
}

} // namespace
