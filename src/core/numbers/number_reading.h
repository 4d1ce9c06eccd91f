#pragma once

#include <QString>
#include <optional>
#include <string_view>

// How the fields' texts become numbers. Both readings are independent of the
// desktop locale: "." is always the decimal point and nothing else is accepted.
namespace numbers {

// A whole field read as one number: optional blanks, an optional sign, digits
// with at most one point, and optionally the exponent form this program itself
// writes (1E+15, 2.5E-05). Empty text, a lone point, any other character or a
// value beyond the double range fails.
std::optional<double> strictNumber(const QString& text);

// The value of the longest leading part of the text that forms a number
// (leading blanks skipped, sign, digits, point, exponent). Text without one
// reads as 0. A leading number beyond the double range reads as +/-infinity,
// so callers that must refuse it can tell.
double leadingNumber(const QString& text);

// Converts exactly one decimal number: optional sign, digits with an optional
// point (the integer part or the fraction may be empty, not both), optional
// exponent "E"/"e" with optional sign and at least one digit. No blanks.
// Fails on anything else and on values beyond the double range.
std::optional<double> parseDecimal(std::string_view text);

} // namespace numbers
