#pragma once

#include <QString>

// How numbers are written into fields and the history. Never locale-dependent.
namespace numbers {

// Up to 15 significant digits, "-" before negatives, no trailing zeros or
// point, "0" before the point below 1, exponent form (1E+15, 2.5E-05) outside
// 1E-04 <= |x| < 1E+15 after rounding. Non-finite values give an empty text;
// callers check finiteness before writing.
QString generalNumberText(double value);
// The same for single-precision values: 7 significant digits, exponent form
// from 1E+07 up and below 1E-04.
QString generalNumberText(float value);

// The calculator's forms: a blank (or "-") then the magnitude without a "0"
// before the point: " .5", "-.25", " 0", " 12", " 1E+15".
QString signedNumberText(double value);
QString signedNumberText(float value);
// The signed form without its leading blank: ".5", "-.25", "0".
QString trimmedSignedNumberText(double value);
QString trimmedSignedNumberText(float value);

// Patterns with the point always written: "0.00" (exactly two decimals),
// "0.##" (at most two), "0.###" (at most three). Rounded half away from zero
// on the decimal digits, so 2.675 gives 2.68. 600 with "0.##" gives "600.".
enum class Pattern { Fixed2, UpTo2, UpTo3 };
QString formatPattern(double value, Pattern pattern);

// A recompute step's result written into its field's text, as general number
// text or in a pattern, unless its arithmetic overflowed or had no answer:
// such a step keeps the field's previous text.
void writeFinite(QString& field, double value);
void writeFinite(QString& field, double value, Pattern pattern);

} // namespace numbers
