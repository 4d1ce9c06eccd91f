#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <utility>

// Character classes shared by the engine's files. Internal to formula/.
namespace formula::chars {

inline bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}
// A letter in the sense of the engine: "A" to "Z" only (codes 65 to 90).
inline bool isLetter(QChar c) {
    return c.unicode() >= 'A' && c.unicode() <= 'Z';
}
// The operator set of the sign rules: + - * / ("^" is not in it).
inline bool isSignRuleOperator(QChar c) {
    const char16_t u = c.unicode();
    return u == '+' || u == '-' || u == '*' || u == '/';
}
inline bool isSign(QChar c) {
    return c.unicode() == '+' || c.unicode() == '-';
}
// The character at index i, or a null character outside the text.
inline QChar at(QStringView text, qsizetype i) {
    return i >= 0 && i < text.size() ? text.at(i) : QChar();
}
// A letter that belongs to a function name (the function pass of the reduction): an "E" counts
// only when followed by "X" or "C", so the exponent letter of 1E5 does not.
inline bool isNameLetter(QStringView text, qsizetype i) {
    const QChar c = at(text, i);
    if (!isLetter(c))
        return false;
    if (c.unicode() != 'E')
        return true;
    const QChar n = at(text, i + 1);
    return n.unicode() == 'X' || n.unicode() == 'C';
}

// Names a run of letters may form: the exponent letter and the 19 functions.
inline constexpr std::array<QStringView, 20> kNameTable = {
    u"E",  u"SIN", u"COS", u"TG",  u"CTG", u"ARCTG", u"ARCCTG", u"ARCSIN", u"ARCCOS", u"ABS",
    u"LN", u"LOG", u"EXP", u"SQR", u"SEC", u"CSC",   u"ARCSEC", u"ARCCSC", u"SH",     u"CH",
};
inline bool inNameTable(QStringView name) {
    for (QStringView n : kNameTable) {
        if (n == name)
            return true;
    }
    return false;
}

// Upper case for the letters a-z only. QString::toUpper would also change
// other characters, some into two ("ß" into "SS"), which would move the
// caret positions and could let a refused character pass validation's character check.
inline QString upperAscii(QString text) {
    bool lower = false;
    for (QChar c : std::as_const(text))
        lower = lower || (c.unicode() >= 'a' && c.unicode() <= 'z');
    if (!lower)
        return text;
    for (QChar& c : text) {
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return text;
}

} // namespace formula::chars
