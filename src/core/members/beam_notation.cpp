#include "core/members/beam_notation.h"

#include "core/codes/bar_masses.h"

#include <QStringList>

#include <cmath>

namespace members {

int BarLayer::count() const {
    int n = 0;
    for (const BarGroup& g : groups)
        n += g.count;
    return n;
}

namespace {

using codes::SteelGrade;

// Bar counts, diameters and spacings beyond these are typing slips, and
// keeping them small keeps every product in range.
constexpr int kMostBars = 99;
constexpr int kLargestDiameter = 50;
constexpr int kMostSpans = 99;
constexpr double kLargestSize = 10000; // mm, a section side or a spacing

bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0x3000) ||
           c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool isTimes(QChar c) {
    return c == QChar(0x00D7) || c == QLatin1Char('x') || c == QLatin1Char('X') ||
           c == QLatin1Char('*') || c == QChar(0x2715);
}

bool isPhi(QChar c) {
    return c == QChar(0x03A6) || c == QChar(0x03C6) || c == QChar(0x00D8) || c == QChar(0x00F8) ||
           c == QChar(0x0444) || c == QChar(0x2300) || c == QChar(0x03D5);
}

// Full-width brackets, signs and separators are what Chinese input methods
// type; they mean the same.
QChar normalised(QChar c) {
    switch (c.unicode()) {
    case 0xFF08:
        return QLatin1Char('(');
    case 0xFF09:
        return QLatin1Char(')');
    case 0xFF0B:
        return QLatin1Char('+');
    case 0xFF1B:
        return QLatin1Char(';');
    case 0xFF0F:
        return QLatin1Char('/');
    case 0xFF20:
        return QLatin1Char('@');
    case 0xFF0D:
    case 0x2212:
        return QLatin1Char('-');
    default:
        return c;
    }
}

// Reads one text from left to right; every fault keeps the index of the
// original text (offset added), so that a window can mark it.
class Cursor {
public:
    Cursor(const QString& text, int offset, QList<NotationError>& errors)
        : text_(text), offset_(offset), errors_(errors) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek(int ahead = 0) const {
        return pos_ + ahead < text_.size() ? normalised(text_[pos_ + ahead]) : QChar();
    }
    int pos() const { return pos_; }
    void advance() { ++pos_; }
    bool take(QChar c) {
        if (peek() == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void skipSpaces() {
        while (!atEnd() && isSpace(text_[pos_]))
            ++pos_;
    }
    bool fail(const QString& reason) { return failAt(pos_, reason); }
    bool failAt(int at, const QString& reason) {
        errors_.append({offset_ + at, reason});
        return false;
    }
    int where() const { return offset_ + pos_; }

    std::optional<int> integer() {
        int start = pos_;
        long long value = 0;
        while (peek().isDigit() && peek().unicode() < 128) {
            value = std::min<long long>(value * 10 + (peek().unicode() - '0'), 1'000'000'000);
            ++pos_;
        }
        if (pos_ == start)
            return std::nullopt;
        return static_cast<int>(value);
    }

    std::optional<double> number() {
        const int start = pos_;
        while (peek().isDigit() && peek().unicode() < 128)
            ++pos_;
        if (peek() == QLatin1Char('.')) {
            ++pos_;
            while (peek().isDigit() && peek().unicode() < 128)
                ++pos_;
        }
        if (pos_ == start || (pos_ == start + 1 && text_[start] == QLatin1Char('.')))
            return std::nullopt;
        bool ok = false;
        const double value = text_.mid(start, pos_ - start).toDouble(&ok);
        return ok ? std::optional(value) : std::nullopt;
    }

    // A grade letter (A B C D, or Φ for the default grade) with an optional E.
    std::optional<SteelGrade> grade(const NotationOptions& options, bool& explicitE) {
        const QChar c = peek();
        std::optional<SteelGrade> g;
        if (c == QLatin1Char('A'))
            g = SteelGrade::HPB300;
        else if (c == QLatin1Char('B'))
            g = SteelGrade::HRB335;
        else if (c == QLatin1Char('C'))
            g = SteelGrade::HRB400;
        else if (c == QLatin1Char('D'))
            g = SteelGrade::HRB500;
        else if (isPhi(c))
            g = options.phiGrade;
        if (!g)
            return std::nullopt;
        ++pos_;
        explicitE = take(QLatin1Char('E'));
        return g;
    }

private:
    const QString& text_;
    int offset_;
    int pos_ = 0;
    QList<NotationError>& errors_;
};

// 22G101-1 表 (钢筋种类符号): A HPB300, B HRB335, C HRB400, D HRB500; E
// marks the seismic grades, which only 400 and 500 MPa ribbed bars have.
std::optional<SteelGrade> withE(SteelGrade g, bool e, const NotationOptions& options, Cursor& in,
                                int at) {
    if (e || options.seismicSteel) {
        if (g == SteelGrade::HRB400)
            return SteelGrade::HRB400E;
        if (g == SteelGrade::HRB500)
            return SteelGrade::HRB500E;
        if (e) {
            in.failAt(at, QStringLiteral("%1 没有带 E 的抗震牌号").arg(codes::gradeName(g)));
            return std::nullopt;
        }
    }
    return g;
}

// A grade letter and diameter: "C25", "CE25", "C25E", "Φ25".
bool gradeAndDiameter(Cursor& in, const NotationOptions& options, SteelGrade& grade,
                      int& diameter) {
    const int at = in.pos();
    bool e = false;
    const std::optional<SteelGrade> g = in.grade(options, e);
    if (!g)
        return in.fail(QStringLiteral("此处应为钢筋牌号符号（A、B、C、D 或 Φ）"));
    const std::optional<int> d = in.integer();
    if (!d)
        return in.fail(QStringLiteral("牌号后缺少钢筋直径"));
    if (*d < 6 || *d > kLargestDiameter)
        return in.failAt(
            at + 1,
            QStringLiteral("钢筋直径 %1 mm 不在 6～%2 mm 之间").arg(*d).arg(kLargestDiameter));
    if (!e)
        e = in.take(QLatin1Char('E'));
    const std::optional<SteelGrade> final = withE(*g, e, options, in, at);
    if (!final)
        return false;
    // Only bars the product standards make can be bought and listed.
    if (!codes::nominalMassPerMetre(*final, *d))
        return in.failAt(at + 1, QStringLiteral("%1 没有 %2 mm 的公称直径（GB/T 1499）")
                                     .arg(codes::gradeName(*final))
                                     .arg(*d));
    grade = *final;
    diameter = *d;
    return true;
}

bool barGroup(Cursor& in, const NotationOptions& options, BarGroup& group) {
    const int at = in.pos();
    const std::optional<int> n = in.integer();
    if (!n)
        return in.fail(QStringLiteral("此处应为钢筋根数"));
    if (*n < 1 || *n > kMostBars)
        return in.failAt(at, QStringLiteral("钢筋根数 %1 不在 1～%2 之间").arg(*n).arg(kMostBars));
    group.count = *n;
    return gradeAndDiameter(in, options, group.grade, group.diameter);
}

bool expectEnd(Cursor& in, const QString& what) {
    in.skipSpaces();
    if (!in.atEnd())
        return in.fail(QStringLiteral("%1后有多余的字符“%2”").arg(what, in.peek()));
    return true;
}

// "(-2)" after a row.
bool notIntoSupport(Cursor& in, BarLayer& row) {
    if (!(in.peek() == QLatin1Char('(') && in.peek(1) == QLatin1Char('-')))
        return true;
    in.advance();
    in.advance();
    const int at = in.pos();
    const std::optional<int> k = in.integer();
    if (!k)
        return in.fail(QStringLiteral("“(-”后应为不伸入支座的根数"));
    if (!in.take(QLatin1Char(')')))
        return in.fail(QStringLiteral("缺少右括号“)”"));
    row.notIntoSupport = *k;
    if (*k < 1)
        return in.failAt(at, QStringLiteral("不伸入支座的根数须大于 0"));
    return true;
}

bool layout(Cursor& in, const NotationOptions& options, BarLayout& out) {
    in.skipSpaces();
    if (in.atEnd())
        return in.fail(QStringLiteral("缺少钢筋"));
    // The first row in full.
    BarLayer first;
    for (;;) {
        BarGroup g;
        if (!barGroup(in, options, g))
            return false;
        first.groups << g;
        if (!in.take(QLatin1Char('+')))
            break;
    }
    const int afterFirst = in.pos();
    in.skipSpaces();
    // The shorthand "6C25 4/2": one group, then the rows' counts.
    if (first.groups.size() == 1 && in.peek().isDigit() && in.pos() > afterFirst) {
        const BarGroup total = first.groups.first();
        // Wide enough for any number of rows of the largest count typed.
        long long sum = 0;
        const int at = in.pos();
        for (;;) {
            const int rowAt = in.pos();
            const std::optional<int> n = in.integer();
            if (!n)
                return in.fail(QStringLiteral("“/”后应为该排的根数"));
            if (*n < 1)
                return in.failAt(rowAt, QStringLiteral("每排根数须大于 0"));
            BarLayer row;
            row.groups << BarGroup{*n, total.grade, total.diameter};
            if (!notIntoSupport(in, row))
                return false;
            if (row.notIntoSupport > *n)
                return in.failAt(rowAt, QStringLiteral("不伸入支座的根数 %1 多于该排的 %2 根")
                                            .arg(row.notIntoSupport)
                                            .arg(*n));
            sum += *n;
            out << row;
            if (!in.take(QLatin1Char('/')))
                break;
        }
        if (sum != total.count)
            return in.failAt(
                at, QStringLiteral("各排根数之和 %1 与总根数 %2 不符").arg(sum).arg(total.count));
        return expectEnd(in, QStringLiteral("排数"));
    }
    // Rows in full: "2C25+2C22/4C25", "2C25+3C22(-3)/5C25".
    BarLayer row = first;
    for (;;) {
        const int rowAt = in.pos();
        if (!notIntoSupport(in, row))
            return false;
        if (row.notIntoSupport > row.count())
            return in.failAt(rowAt, QStringLiteral("不伸入支座的根数 %1 多于该排的 %2 根")
                                        .arg(row.notIntoSupport)
                                        .arg(row.count()));
        out << row;
        in.skipSpaces();
        if (!in.take(QLatin1Char('/')))
            break;
        in.skipSpaces();
        row = {};
        for (;;) {
            BarGroup g;
            if (!barGroup(in, options, g))
                return false;
            row.groups << g;
            if (!in.take(QLatin1Char('+')))
                break;
        }
    }
    return expectEnd(in, QStringLiteral("钢筋"));
}

bool legs(Cursor& in, int& out) {
    if (!in.take(QLatin1Char('(')))
        return true;
    const int at = in.pos();
    const std::optional<int> n = in.integer();
    if (!n)
        return in.fail(QStringLiteral("括号内应为箍筋肢数"));
    if (*n < 1 || *n > 12)
        return in.failAt(at, QStringLiteral("箍筋肢数 %1 不在 1～12 之间").arg(*n));
    if (!in.take(QLatin1Char(')')))
        return in.fail(QStringLiteral("缺少右括号“)”"));
    out = *n;
    return true;
}

bool spacing(Cursor& in, double& out, const QString& which) {
    const int at = in.pos();
    const std::optional<double> s = in.number();
    if (!s)
        return in.fail(QStringLiteral("缺少%1间距").arg(which));
    if (!(*s >= 50 && *s <= 1000))
        return in.failAt(
            at,
            QStringLiteral("%1间距 %2 mm 不在 50～1000 mm 之间").arg(which, QString::number(*s)));
    out = *s;
    return true;
}

bool stirrups(Cursor& in, const NotationOptions& options, Stirrups& s) {
    if (in.peek().isDigit()) {
        const int at = in.pos();
        const std::optional<int> n = in.integer();
        if (*n < 1 || *n > kMostBars)
            return in.failAt(
                at, QStringLiteral("端部箍筋道数 %1 不在 1～%2 之间").arg(*n).arg(kMostBars));
        s.endCount = *n;
    }
    if (!gradeAndDiameter(in, options, s.grade, s.diameter))
        return false;
    if (!in.take(QLatin1Char('@')))
        return in.fail(QStringLiteral("箍筋直径后应为“@”和间距"));
    int legsFirst = 0, legsSecond = 0;
    if (!spacing(in, s.dense, QStringLiteral("加密区")))
        return false;
    if (!legs(in, legsFirst))
        return false;
    s.normal = s.dense;
    if (in.take(QLatin1Char('/'))) {
        s.twoSpacings = true;
        if (!spacing(in, s.normal, QStringLiteral("非加密区")))
            return false;
        if (!legs(in, legsSecond))
            return false;
    }
    if (legsFirst && !legsSecond) {
        // "C10@100/200(2)": the legs written once stand for both zones.
        s.denseLegs = s.normalLegs = legsFirst;
    } else {
        s.denseLegs = legsFirst ? legsFirst : (legsSecond ? legsSecond : 2);
        s.normalLegs = legsSecond ? legsSecond : s.denseLegs;
    }
    if (s.endCount && !s.twoSpacings)
        return in.fail(QStringLiteral("注明端部道数时须写两种间距，如 13C10@150/200(4)"));
    return expectEnd(in, QStringLiteral("箍筋"));
}

bool section(Cursor& in, Section& s) {
    const auto side = [&](double& out, const QString& what) {
        const int at = in.pos();
        const std::optional<double> v = in.number();
        if (!v)
            return in.fail(QStringLiteral("缺少%1").arg(what));
        if (!(*v >= 100 && *v <= kLargestSize))
            return in.failAt(at, QStringLiteral("%1 %2 mm 不在 100～%3 mm 之间")
                                     .arg(what, QString::number(*v))
                                     .arg(kLargestSize));
        out = *v;
        return true;
    };
    if (!side(s.b, QStringLiteral("截面宽度 b")))
        return false;
    if (!isTimes(in.peek()))
        return in.fail(QStringLiteral("截面宽度后应为“×”和高度"));
    in.advance();
    if (!side(s.h, QStringLiteral("截面高度 h")))
        return false;
    if (in.take(QLatin1Char('/'))) {
        double end = 0;
        if (!side(end, QStringLiteral("悬挑端部高度")))
            return false;
        s.endHeight = end;
    }
    if (in.peek() == QLatin1Char('Y') || in.peek() == QLatin1Char('P'))
        return in.fail(QStringLiteral("加腋梁尚不能自动翻样"));
    return expectEnd(in, QStringLiteral("截面"));
}

bool sideBars(Cursor& in, const NotationOptions& options, SideBars& s) {
    if (in.take(QLatin1Char('G')))
        s.torsion = false;
    else if (in.take(QLatin1Char('N')))
        s.torsion = true;
    else
        return in.fail(QStringLiteral("侧面钢筋应以 G（构造）或 N（抗扭）开头"));
    const int at = in.pos();
    if (!barGroup(in, options, s.bars))
        return false;
    if (s.bars.count % 2 != 0)
        return in.failAt(at, QStringLiteral("侧面钢筋 %1 根不能两侧平分").arg(s.bars.count));
    return expectEnd(in, QStringLiteral("侧面钢筋"));
}

// "2C22+(4C12)", "(4C12)", "2C25;4C22".
bool topAndBottom(Cursor& in, const NotationOptions& options, BeamHeader& h) {
    if (!in.take(QLatin1Char(';'))) {
        for (;;) {
            const int groupAt = in.pos();
            const bool bracket = in.take(QLatin1Char('('));
            BarGroup g;
            if (!barGroup(in, options, g))
                return false;
            if (bracket) {
                if (!in.take(QLatin1Char(')')))
                    return in.fail(QStringLiteral("架立筋缺少右括号“)”"));
                h.erection << g;
            } else {
                if (!h.erection.isEmpty())
                    return in.failAt(groupAt, QStringLiteral("通长筋应写在架立筋之前"));
                h.topContinuous << g;
            }
            if (!in.take(QLatin1Char('+')))
                break;
        }
        if (!in.take(QLatin1Char(';')))
            return expectEnd(in, QStringLiteral("上部钢筋"));
    }
    for (;;) {
        BarGroup g;
        if (!barGroup(in, options, g))
            return false;
        h.bottomContinuous << g;
        if (!in.take(QLatin1Char('+')))
            break;
    }
    return expectEnd(in, QStringLiteral("下部通长筋"));
}

bool nameAndSpans(Cursor& in, BeamHeader& h, const QString& token) {
    if (token.startsWith(QLatin1String("WKL"))) {
        h.type = BeamType::RoofFrame;
        for (int i = 0; i < 3; ++i)
            in.advance();
    } else if (token.startsWith(QLatin1String("KL"))) {
        h.type = BeamType::Frame;
        in.advance();
        in.advance();
    } else if (token.startsWith(QLatin1Char('L'))) {
        h.type = BeamType::NonFrame;
        in.advance();
    } else {
        return in.fail(QStringLiteral("集中标注应以梁编号开头（KL、WKL 或 L）"));
    }
    const int numberAt = in.pos();
    while (!in.atEnd() && in.peek() != QLatin1Char('('))
        in.advance();
    h.number = token.left(in.pos());
    if (in.pos() == numberAt)
        return in.failAt(numberAt, QStringLiteral("梁编号缺少序号"));
    if (!in.take(QLatin1Char('(')))
        return in.fail(QStringLiteral("梁编号后缺少跨数，应写作 %1(2)").arg(h.number));
    const int at = in.pos();
    const std::optional<int> n = in.integer();
    if (!n)
        return in.fail(QStringLiteral("括号内应为跨数"));
    if (*n < 1 || *n > kMostSpans)
        return in.failAt(at, QStringLiteral("跨数 %1 不在 1～%2 之间").arg(*n).arg(kMostSpans));
    h.spans = *n;
    if (in.take(QLatin1Char('A')))
        h.cantilevers = CantileverEnds::One;
    else if (in.take(QLatin1Char('B')))
        h.cantilevers = CantileverEnds::Both;
    if (!in.take(QLatin1Char(')')))
        return in.fail(QStringLiteral("跨数后应为“A”、“B”或右括号“)”"));
    return expectEnd(in, QStringLiteral("跨数"));
}

bool elevation(Cursor& in, BeamHeader& h) {
    in.advance(); // "("
    double sign = 1;
    if (in.take(QLatin1Char('-')))
        sign = -1;
    else
        in.take(QLatin1Char('+'));
    const std::optional<double> v = in.number();
    if (!v)
        return in.fail(QStringLiteral("标高高差应为以米计的数，如 (-0.100)"));
    if (!in.take(QLatin1Char(')')))
        return in.fail(QStringLiteral("标高高差缺少右括号“)”"));
    h.elevation = sign * *v;
    return expectEnd(in, QStringLiteral("标高高差"));
}

// "300×700": digits, then the times sign (a bar group has a grade letter there).
bool looksLikeSection(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i].isDigit())
        ++i;
    return i > 0 && i < s.size() && isTimes(s[i]);
}

struct Token {
    int start = 0;
    QString text;
};

QList<Token> tokens(const QString& text) {
    QList<Token> out;
    int i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        const int start = i;
        while (i < text.size() && !isSpace(text[i]))
            ++i;
        if (i > start)
            out << Token{start, text.mid(start, i - start)};
    }
    return out;
}

template <typename T, typename F> Parsed<T> whole(const QString& text, F read) {
    Parsed<T> p;
    T value{};
    Cursor in(text, 0, p.errors);
    in.skipSpaces();
    if (in.atEnd())
        in.fail(QStringLiteral("内容为空"));
    else if (read(in, value))
        p.value = value;
    if (!p.errors.isEmpty())
        p.value.reset();
    return p;
}

} // namespace

Parsed<BeamHeader> parseHeader(const QString& text, const NotationOptions& options) {
    Parsed<BeamHeader> p;
    BeamHeader h;
    const QList<Token> parts = tokens(text);
    if (parts.isEmpty()) {
        p.errors << NotationError{0, QStringLiteral("集中标注为空")};
        return p;
    }
    {
        Cursor in(parts.first().text, parts.first().start, p.errors);
        nameAndSpans(in, h, parts.first().text);
    }
    bool haveSection = false, haveStirrups = false, haveTop = false;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const Token& t = parts[i];
        Cursor in(t.text, t.start, p.errors);
        const QString s = t.text;
        const QChar c0 = normalised(s[0]);
        const auto once = [&](bool& seen, const QString& what) {
            if (seen)
                return in.fail(QStringLiteral("%1写了两次").arg(what));
            seen = true;
            return true;
        };
        // Stirrups are the one item that may start with the grade's letter.
        const bool gradeFirst = c0 == QLatin1Char('A') || c0 == QLatin1Char('B') ||
                                c0 == QLatin1Char('C') || c0 == QLatin1Char('D') || isPhi(c0);
        if (s.contains(QLatin1Char('@')) || s.contains(QChar(0xFF20)) || gradeFirst) {
            if (once(haveStirrups, QStringLiteral("箍筋")))
                stirrups(in, options, h.stirrups);
        } else if (looksLikeSection(s)) {
            if (once(haveSection, QStringLiteral("截面")))
                section(in, h.section);
        } else if ((c0 == QLatin1Char('G') || c0 == QLatin1Char('N')) && s.size() > 1 &&
                   s[1].isDigit()) {
            if (h.side) {
                in.fail(QStringLiteral("侧面钢筋写了两次"));
                continue;
            }
            SideBars side;
            if (sideBars(in, options, side))
                h.side = side;
        } else if (c0 == QLatin1Char('(') && s.size() > 1 &&
                   (normalised(s[1]) == QLatin1Char('-') || s[1] == QLatin1Char('+') ||
                    s.contains(QLatin1Char('.')))) {
            if (h.elevation) {
                in.fail(QStringLiteral("标高高差写了两次"));
                continue;
            }
            elevation(in, h);
        } else if (c0.isDigit() || c0 == QLatin1Char('(') || c0 == QLatin1Char(';')) {
            if (once(haveTop, QStringLiteral("上部钢筋")))
                topAndBottom(in, options, h);
        } else {
            in.fail(QStringLiteral("无法识别“%1”").arg(s));
        }
    }
    const int end = static_cast<int>(text.size());
    if (p.errors.isEmpty()) {
        if (!haveSection)
            p.errors << NotationError{end, QStringLiteral("集中标注缺少截面尺寸 b×h")};
        if (!haveStirrups)
            p.errors << NotationError{end, QStringLiteral("集中标注缺少箍筋")};
        if (!haveTop)
            p.errors << NotationError{end, QStringLiteral("集中标注缺少上部通长筋或架立筋")};
    }
    if (p.errors.isEmpty() && h.section.endHeight && h.cantilevers == CantileverEnds::None)
        p.errors << NotationError{
            0, QStringLiteral("截面注有悬挑端部高度，但梁编号未注悬挑（A 或 B）")};
    if (p.errors.isEmpty())
        p.value = h;
    return p;
}

Parsed<BarLayout> parseLayout(const QString& text, const NotationOptions& options) {
    return whole<BarLayout>(text,
                            [&](Cursor& in, BarLayout& out) { return layout(in, options, out); });
}

Parsed<Stirrups> parseStirrups(const QString& text, const NotationOptions& options) {
    return whole<Stirrups>(text, [&](Cursor& in, Stirrups& out) {
        in.skipSpaces();
        return stirrups(in, options, out);
    });
}

Parsed<Section> parseSection(const QString& text) {
    return whole<Section>(text, [&](Cursor& in, Section& out) {
        in.skipSpaces();
        return section(in, out);
    });
}

Parsed<SideBars> parseSideBars(const QString& text, const NotationOptions& options) {
    return whole<SideBars>(text, [&](Cursor& in, SideBars& out) {
        in.skipSpaces();
        return sideBars(in, options, out);
    });
}

Parsed<QList<BarGroup>> parseGroups(const QString& text, const NotationOptions& options) {
    return whole<QList<BarGroup>>(text, [&](Cursor& in, QList<BarGroup>& out) {
        in.skipSpaces();
        for (;;) {
            BarGroup g;
            if (!barGroup(in, options, g))
                return false;
            out << g;
            if (!in.take(QLatin1Char('+')))
                break;
        }
        return expectEnd(in, QStringLiteral("钢筋"));
    });
}

QString describeErrors(const QList<NotationError>& errors, const QString& where) {
    QStringList lines;
    for (const NotationError& e : errors) {
        const QString place = QStringLiteral("第 %1 个字符").arg(e.position + 1);
        lines << (where.isEmpty() ? QStringLiteral("%1：%2").arg(place, e.reason)
                                  : QStringLiteral("%1第 %2 个字符：%3")
                                        .arg(where)
                                        .arg(e.position + 1)
                                        .arg(e.reason));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace members
