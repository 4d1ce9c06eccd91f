#include "core/members/column_notation.h"

namespace members {

namespace {

constexpr double kLargestSide = 5000; // mm: a wider column is a typing slip
constexpr int kMostLegs = 12;

QChar plain(QChar c) {
    switch (c.unicode()) {
    case 0xFF08:
        return QLatin1Char('(');
    case 0xFF09:
        return QLatin1Char(')');
    default:
        return c;
    }
}

bool isTimes(QChar c) {
    return c == QChar(0x00D7) || c == QLatin1Char('x') || c == QLatin1Char('X') ||
           c == QLatin1Char('*') || c == QChar(0x2715);
}

// A whole number at `at`, moved past; nothing where there is none.
std::optional<int> integerAt(const QString& t, int& at) {
    const int start = at;
    long long v = 0;
    while (at < t.size() && t[at].unicode() < 128 && t[at].isDigit()) {
        v = std::min<long long>(v * 10 + (t[at].unicode() - '0'), 1'000'000);
        ++at;
    }
    return at == start ? std::nullopt : std::optional<int>(int(v));
}

template <typename T> Parsed<T> failed(int at, const QString& reason) {
    Parsed<T> p;
    p.errors << NotationError{at, reason};
    return p;
}

// Errors of a part read on its own, placed in the whole text.
QList<NotationError> shifted(QList<NotationError> errors, int offset) {
    for (NotationError& e : errors)
        e.position += offset;
    return errors;
}

} // namespace

Parsed<ColumnSection> parseColumnSection(const QString& text) {
    const QString t = text.trimmed();
    const int lead = int(text.indexOf(t.isEmpty() ? QString() : t.left(1)));
    if (t.isEmpty())
        return failed<ColumnSection>(0, QStringLiteral("缺少截面尺寸（如 600×600 或 D700）"));
    if (t[0] == QLatin1Char('D') || t[0] == QLatin1Char('d')) {
        bool ok = false;
        const double d = t.mid(1).toDouble(&ok);
        if (!ok || !(d >= 200 && d <= kLargestSide))
            return failed<ColumnSection>(
                lead + 1, QStringLiteral("圆柱直径应为 200～%1 mm 的数").arg(kLargestSide));
        Parsed<ColumnSection> p;
        p.value = ColumnSection{true, d, d};
        return p;
    }
    const Parsed<Section> s = parseSection(text);
    if (!s.value)
        return {std::nullopt, s.errors};
    if (s.value->endHeight)
        return failed<ColumnSection>(int(text.indexOf(QLatin1Char('/'))),
                                     QStringLiteral("柱截面只有 b×h 两个尺寸"));
    for (double side : {s.value->b, s.value->h})
        if (!(side >= 200 && side <= kLargestSide))
            return failed<ColumnSection>(
                lead, QStringLiteral("柱截面边长应在 200～%1 mm 之间").arg(kLargestSide));
    Parsed<ColumnSection> p;
    p.value = ColumnSection{false, s.value->b, s.value->h};
    return p;
}

Parsed<ColumnStirrups> parseColumnStirrups(const QString& text, const NotationOptions& options) {
    // The main part is a beam's stirrups without legs; the core's, in
    // brackets, a single spacing.
    QString t = text;
    for (QChar& c : t)
        c = plain(c);
    int start = 0;
    while (start < t.size() && t[start].isSpace())
        ++start;
    ColumnStirrups out;
    if (start < t.size() && t[start] == QLatin1Char('L')) {
        out.spiral = true;
        ++start;
    }
    const int open = int(t.indexOf(QLatin1Char('('), start));
    const QString main = t.mid(start, open < 0 ? -1 : open - start);
    const Parsed<Stirrups> m = parseStirrups(main, options);
    if (!m.value)
        return {std::nullopt, shifted(m.errors, start)};
    if (m.value->endCount > 0 || m.value->denseLegs != 2 || m.value->normalLegs != 2)
        return failed<ColumnStirrups>(start, QStringLiteral("柱箍筋的肢数由箍筋类型号给出，"
                                                            "此处只写牌号、直径和间距"));
    out.grade = m.value->grade;
    out.diameter = m.value->diameter;
    out.dense = m.value->dense;
    out.normal = m.value->normal;
    if (open >= 0) {
        const int close = int(t.indexOf(QLatin1Char(')'), open));
        if (close < 0)
            return failed<ColumnStirrups>(open, QStringLiteral("缺少右括号"));
        if (!t.mid(close + 1).trimmed().isEmpty())
            return failed<ColumnStirrups>(close + 1, QStringLiteral("核心区箍筋之后不应再有内容"));
        const QString inside = t.mid(open + 1, close - open - 1).trimmed();
        bool legs = !inside.isEmpty();
        for (QChar ch : inside)
            legs = legs && ch.isDigit();
        if (legs)
            return failed<ColumnStirrups>(open,
                                          QStringLiteral("柱箍筋的肢数由箍筋类型号给出，"
                                                         "括号内只写核心区箍筋，如 (C12@100)"));
        const Parsed<Stirrups> core = parseStirrups(t.mid(open + 1, close - open - 1), options);
        if (!core.value)
            return {std::nullopt, shifted(core.errors, open + 1)};
        if (core.value->twoSpacings || core.value->endCount > 0 || core.value->denseLegs != 2)
            return failed<ColumnStirrups>(open + 1,
                                          QStringLiteral("核心区箍筋只写一个间距，如 C12@100"));
        out.core = ColumnStirrups::Core{core.value->grade, core.value->diameter, core.value->dense};
    }
    Parsed<ColumnStirrups> p;
    p.value = out;
    return p;
}

Parsed<StirrupType> parseStirrupType(const QString& text) {
    QString t = text;
    for (QChar& c : t)
        c = plain(c);
    int at = 0;
    while (at < t.size() && t[at].isSpace())
        ++at;
    StirrupType out;
    const std::optional<int> number = integerAt(t, at);
    if (!number || *number < 1 || *number > 9)
        return failed<StirrupType>(at, QStringLiteral("应以箍筋类型号 1～9 开头，如 1(4×4)"));
    out.number = *number;
    if (at < t.size() && t[at] == QLatin1Char('(')) {
        ++at;
        const std::optional<int> m = integerAt(t, at);
        if (!m)
            return failed<StirrupType>(at, QStringLiteral("括号内应为 b 向肢数"));
        if (at >= t.size() || !isTimes(t[at]))
            return failed<StirrupType>(at, QStringLiteral("肢数之间应为 ×"));
        ++at;
        const std::optional<int> n = integerAt(t, at);
        if (!n)
            return failed<StirrupType>(at, QStringLiteral("× 后应为 h 向肢数"));
        if (at >= t.size() || t[at] != QLatin1Char(')'))
            return failed<StirrupType>(at, QStringLiteral("缺少右括号"));
        ++at;
        for (int legs : {*m, *n})
            if (legs < 2 || legs > kMostLegs)
                return failed<StirrupType>(at - 1,
                                           QStringLiteral("肢数应在 2～%1 之间").arg(kMostLegs));
        out.acrossB = *m;
        out.acrossH = *n;
    }
    while (at < t.size() && t[at].isSpace())
        ++at;
    if (at < t.size())
        return failed<StirrupType>(at, QStringLiteral("此处不应再有内容"));
    Parsed<StirrupType> p;
    p.value = out;
    return p;
}

} // namespace members
