#include "core/numbers/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace numbers {
namespace {

// A finite value as sign, significant digits (no trailing zeros, at least
// one digit) and the decimal exponent of the first digit.
struct Decimal {
    bool negative = false;
    std::string digits; // "0" for zero
    int exponent = 0;   // value = 0.d1d2d3... * 10^(exponent + 1)
};

template <typename T> Decimal toDecimal(T value, int significant) {
    Decimal d;
    if (value == 0) {
        d.digits = "0";
        return d;
    }
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
    std::string s(buf, res.ptr);
    std::size_t pos = 0;
    if (s[0] == '-') {
        d.negative = true;
        pos = 1;
    }
    const std::size_t e = s.find('e');
    for (std::size_t i = pos; i < e; ++i) {
        if (s[i] != '.')
            d.digits.push_back(s[i]);
    }
    d.exponent = std::stoi(s.substr(e + 1));
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// The magnitude in plain form: "0.5", "612.6", "1000".
std::string plainMagnitude(const Decimal& d) {
    std::string out;
    if (d.exponent < 0) {
        out = "0.";
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out += d.digits;
        return out;
    }
    const auto intDigits = static_cast<std::size_t>(d.exponent + 1);
    if (d.digits.size() <= intDigits) {
        out = d.digits;
        out.append(intDigits - d.digits.size(), '0');
    } else {
        out = d.digits.substr(0, intDigits) + "." + d.digits.substr(intDigits);
    }
    return out;
}

std::string exponentMagnitude(const Decimal& d) {
    std::string out(1, d.digits[0]);
    if (d.digits.size() > 1)
        out += "." + d.digits.substr(1);
    out += d.exponent < 0 ? "E-" : "E+";
    std::string exp = std::to_string(std::abs(d.exponent));
    if (exp.size() < 2)
        exp.insert(0, "0");
    return out + exp;
}

// Magnitude text; plainBelow is the power of ten from which exponent form begins.
std::string magnitudeText(const Decimal& d, int plainBelow) {
    if (d.digits == "0")
        return "0";
    if (d.exponent < -4 || d.exponent >= plainBelow)
        return exponentMagnitude(d);
    return plainMagnitude(d);
}

template <typename T> QString general(T value, int significant) {
    if (!std::isfinite(value))
        return QString();
    const Decimal d = toDecimal(value, significant);
    std::string s = magnitudeText(d, significant);
    if (d.negative && d.digits != "0")
        s.insert(0, "-");
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

template <typename T> QString signedText(T value, int significant) {
    if (!std::isfinite(value))
        return QString();
    const Decimal d = toDecimal(value, significant);
    std::string s = magnitudeText(d, significant);
    if (s.size() > 1 && s[0] == '0' && s[1] == '.')
        s.erase(0, 1);
    s.insert(0, d.negative && d.digits != "0" ? "-" : " ");
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QString trimmed(QString s) {
    if (s.startsWith(QLatin1Char(' ')))
        s.remove(0, 1);
    return s;
}

} // namespace

QString generalNumberText(double value) {
    return general(value, 15);
}
QString generalNumberText(float value) {
    return general(value, 7);
}
QString signedNumberText(double value) {
    return signedText(value, 15);
}
QString signedNumberText(float value) {
    return signedText(value, 7);
}
QString trimmedSignedNumberText(double value) {
    return trimmed(signedText(value, 15));
}
QString trimmedSignedNumberText(float value) {
    return trimmed(signedText(value, 7));
}

QString formatPattern(double value, Pattern pattern) {
    if (!std::isfinite(value))
        return QString();
    const int places = pattern == Pattern::UpTo3 ? 3 : 2;
    const Decimal d = toDecimal(value, 15);

    // Integer part and decimals as digit strings, taken from the 15-digit form
    // so that a value like 2.675 rounds as it is written.
    std::string intPart, frac;
    if (d.digits == "0") {
        intPart = "0";
    } else if (d.exponent < 0) {
        intPart = "0";
        frac = std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    } else {
        const auto intDigits = static_cast<std::size_t>(d.exponent + 1);
        if (d.digits.size() <= intDigits) {
            intPart = d.digits + std::string(intDigits - d.digits.size(), '0');
        } else {
            intPart = d.digits.substr(0, intDigits);
            frac = d.digits.substr(intDigits);
        }
    }
    const bool roundUp = frac.size() > static_cast<std::size_t>(places) &&
                         frac[static_cast<std::size_t>(places)] >= '5';
    if (frac.size() > static_cast<std::size_t>(places))
        frac.resize(static_cast<std::size_t>(places));
    frac.append(static_cast<std::size_t>(places) - frac.size(), '0');
    if (roundUp) {
        std::string all = intPart + frac;
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') {
            all[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0)
            all.insert(0, "1");
        else
            ++all[static_cast<std::size_t>(i)];
        intPart = all.substr(0, all.size() - static_cast<std::size_t>(places));
        frac = all.substr(all.size() - static_cast<std::size_t>(places));
    }
    if (pattern != Pattern::Fixed2) {
        while (!frac.empty() && frac.back() == '0')
            frac.pop_back();
    }
    std::string out = intPart + "." + frac;
    const bool zero = intPart.find_first_not_of('0') == std::string::npos &&
                      frac.find_first_not_of('0') == std::string::npos;
    if (d.negative && !zero)
        out.insert(0, "-");
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

void writeFinite(QString& field, double value) {
    if (std::isfinite(value))
        field = generalNumberText(value);
}

void writeFinite(QString& field, double value, Pattern pattern) {
    if (std::isfinite(value))
        field = formatPattern(value, pattern);
}

} // namespace numbers
