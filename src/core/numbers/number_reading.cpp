#include "core/numbers/number_reading.h"

#include <charconv>
#include <cmath>
#include <string>

namespace numbers {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of s that forms a number in the sense of
// parseDecimal, or 0 when none does.
std::size_t numberPrefix(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const std::size_t expStart = j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    return i;
}

// Converts a text that numberPrefix accepted whole. from_chars rejects a
// leading "+" and a trailing point, so hand it a normalised copy.
std::optional<double> convert(std::string_view s) {
    std::string t;
    t.reserve(s.size() + 1);
    bool negative = false;
    std::size_t i = 0;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        i = 1;
    }
    for (; i < s.size(); ++i)
        t.push_back(s[i]);
    double value = 0;
    const auto res = std::from_chars(t.data(), t.data() + t.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is no number we can hold.
        const std::size_t e = t.find_first_of("Ee");
        if (e != std::string::npos && t.find('-', e) != std::string::npos)
            return negative ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (res.ec != std::errc() || res.ptr != t.data() + t.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::string toAscii(const QString& text, bool& ok) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    ok = true;
    for (QChar c : text) {
        if (c.unicode() > 127) {
            ok = false;
            out.push_back('\x7f'); // stops any number at this place
        } else {
            out.push_back(static_cast<char>(c.unicode()));
        }
    }
    return out;
}

} // namespace

std::optional<double> parseDecimal(std::string_view text) {
    if (text.empty() || numberPrefix(text) != text.size())
        return std::nullopt;
    return convert(text);
}

std::optional<double> strictNumber(const QString& text) {
    bool ascii = true;
    std::string s = toAscii(text, ascii);
    if (!ascii)
        return std::nullopt;
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const auto last = s.find_last_not_of(' ');
    return parseDecimal(std::string_view(s).substr(first, last - first + 1));
}

double leadingNumber(const QString& text) {
    bool ascii = true;
    std::string s = toAscii(text, ascii);
    std::string_view v(s);
    const auto first = v.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return 0;
    v.remove_prefix(first);
    const std::size_t n = numberPrefix(v);
    if (n == 0)
        return 0;
    if (auto value = convert(v.substr(0, n)))
        return *value;
    return v[0] == '-' ? -HUGE_VAL : HUGE_VAL;
}

} // namespace numbers
