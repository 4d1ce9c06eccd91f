#include "core/calculator/angle_keys.h"

#include "core/calculator/history.h"
#include "core/formula/engine.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <cfloat>
#include <cmath>

namespace calculator {
namespace {

// 0 for the degree sign, 1 for the minute mark, 2 for the second mark, else -1.
int markRank(QChar c) {
    if (c == kDegreeSign)
        return 0;
    if (c == kMinuteMark)
        return 1;
    if (c == kSecondMark)
        return 2;
    return -1;
}

const QChar kMarks[3] = {kDegreeSign, kMinuteMark, kSecondMark};

QString angleText(const QString& degrees, const QString& minutes, const QString& seconds) {
    return degrees + kDegreeSign + minutes + kMinuteMark + seconds + kSecondMark;
}

KeyOutcome note(const QString& text, int caret = -1) {
    return {KeyOutcome::Kind::Note, text + formula::kHistorySeparator, true, caret};
}

KeyOutcome notAllowed(QChar c, int position) {
    return note(QStringLiteral("公式中不能含有“") + c + QStringLiteral("”"), position + 1);
}

} // namespace

KeyOutcome radiansToDegrees(CalculatorState& state, const QString& box) {
    const double value = box.isEmpty() ? state.lastResult : numbers::leadingNumber(box);
    const double x = std::abs(value);
    const double a = x / formula::kPi * 180;
    // Beyond the double range (1e400), or degrees beyond single precision.
    if (!(a <= FLT_MAX))
        return {KeyOutcome::Kind::Refused, {}, false, -1};

    float deg = static_cast<float>(std::trunc(a));
    float min = static_cast<float>(std::trunc((a - deg) * 60));
    float sec = static_cast<float>(((a - deg) - min / 60.0) * 3600);
    if (sec >= 60) {
        const float carry = std::trunc(sec / 60);
        min += carry;
        sec -= carry * 60;
    }
    if (min >= 60) {
        const float carry = std::trunc(min / 60);
        deg += carry;
        min -= carry * 60;
    }
    if (sec < 0.0001f)
        sec = 0;

    state.lastResult = x;
    const QString text = QStringLiteral("弧度：") + numbers::signedNumberText(x) + kLineBreak +
                         QStringLiteral("角度：") +
                         angleText(numbers::signedNumberText(deg), numbers::signedNumberText(min),
                                   numbers::signedNumberText(sec)) +
                         formula::kHistorySeparator;
    return {KeyOutcome::Kind::Entry, text, true, -1};
}

KeyOutcome degreesToRadians(CalculatorState& state, const QString& box) {
    if (box.isEmpty())
        return {KeyOutcome::Kind::Message, QStringLiteral("请输入角度"), true, -1};
    for (int i = 0; i < box.size(); ++i) {
        const QChar c = box[i];
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || QStringLiteral("+-*/^").contains(c))
            return notAllowed(c, i);
    }
    if (box.count(kDegreeSign) >= 2)
        return note(QStringLiteral("度过多"));
    if (box.count(kMinuteMark) >= 2)
        return note(QStringLiteral("分过多"));
    if (box.count(kSecondMark) >= 2)
        return note(QStringLiteral("秒过多"));

    // Each mark at most once from here. A mark after one it should precede
    // (15'30°) has no sensible reading: it is refused like a forbidden character.
    int highest = -1;
    for (int i = 0; i < box.size(); ++i) {
        const int rank = markRank(box[i]);
        if (rank < 0)
            continue;
        if (rank < highest)
            return notAllowed(box[i], i);
        highest = rank;
    }

    // A part belongs to the mark that ends it; the part after the last mark to
    // the unit below it (after the second mark it is ignored).
    double parts[3] = {0, 0, 0};
    int start = 0;
    int last = -1;
    for (int i = 0; i < box.size(); ++i) {
        const int rank = markRank(box[i]);
        if (rank < 0)
            continue;
        parts[rank] = numbers::leadingNumber(box.mid(start, i - start));
        start = i + 1;
        last = rank;
    }
    if (last < 2)
        parts[last + 1] = numbers::leadingNumber(box.mid(start));
    const double degrees = parts[0], minutes = parts[1], seconds = parts[2];

    const double rad = ((minutes / 60 + seconds / 3600) + degrees) / 180 * formula::kPi;
    state.lastResult = rad;
    const QString text =
        QStringLiteral("角度：") +
        angleText(numbers::signedNumberText(degrees), numbers::signedNumberText(minutes),
                  numbers::signedNumberText(seconds)) +
        kLineBreak + QStringLiteral("弧度：") + numbers::signedNumberText(rad) +
        formula::kHistorySeparator;
    return {KeyOutcome::Kind::Entry, text, true, -1};
}

MarkResult angleMark(const QString& box, int caret) {
    if (caret <= 0)
        return {};
    const auto degreeSigns = box.count(kDegreeSign);
    const auto minuteMarks = box.count(kMinuteMark);
    QString left = box.left(caret);
    const QString right = box.mid(caret);

    QChar mark;
    const int before = markRank(left.back());
    if (before >= 0) {
        left.chop(1);
        mark = kMarks[(before + 1) % 3];
    } else if (degreeSigns == 0) {
        mark = kDegreeSign;
    } else if (degreeSigns == 1 && minuteMarks == 0) {
        mark = kMinuteMark;
    } else if (degreeSigns == 1 && minuteMarks == 1) {
        mark = kSecondMark;
    } else {
        return {true, std::nullopt};
    }
    return {false, Edit{left + mark + right, static_cast<int>(left.size()) + 1}};
}

} // namespace calculator
