// Formula validation (mayEvaluate) and removeBlanks.
#include "core/formula/characters.h"
#include "core/formula/engine.h"

namespace formula {
namespace {

using chars::inNameTable;
using chars::isLetter;
using chars::upperAscii;

const QString kCharacterMessage = QStringLiteral(u"函数错误，所输入超出A-Z，a-z,0-9,+-/*^().°'\"");
const QString kTooManyPoints = QStringLiteral(u"小数点太多");
const QString kNoDataAfterFunction = QStringLiteral(u"函数后没有数据");
const QString kFunctionBefore = QStringLiteral(u"函数后不能有");
const QString kNoDataAfter = QStringLiteral(u"后没有数据");
const QString kNoDataBefore = QStringLiteral(u"前没有数据");
const QString kSuperfluous = QStringLiteral(u"后多余");
const QString kFunction = QStringLiteral(u"函数");
const QString kWrong = QStringLiteral(u"错误");
const QChar kOpenQuote(u'“');
const QChar kCloseQuote(u'”');

bool isOneOf(QChar c, const char16_t* set) {
    for (; *set; ++set) {
        if (c.unicode() == *set)
            return true;
    }
    return false;
}

// The characters a formula may hold: A-Z a-z 0-9 + - * / ^ ( ) . ° ' "
bool allowedCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
           isOneOf(c, u"+-*/^().°'\"");
}

QString quoted(QChar c) {
    return QString(kOpenQuote) + c + kCloseQuote;
}

} // namespace

void Engine::removeBlanks() {
    QString text = m_io.boxText();
    // The walk covers the positions of the text as it was at the start; a
    // removed blank has the same position examined again. Each removal is
    // one write, so the box's change rule runs once per blank.
    const qsizetype n = text.size();
    qsizetype removals = 0;
    for (qsizetype i = 0; i < n;) {
        if (i < text.size() && text.at(i) == QLatin1Char(' ') && removals < n) {
            m_io.setBoxText(QString(text).remove(i, 1));
            ++removals; // bounds the walk even if the box refused the write
            text = m_io.boxText();
            continue;
        }
        ++i;
    }
}

void Engine::validate() {
    // Normalise the box: blanks out, a-z upper-cased.
    removeBlanks();
    m_formulaOk = true;
    {
        const QString text = m_io.boxText();
        const QString upper = upperAscii(text);
        if (upper != text)
            m_io.setBoxText(upper);
    }
    const QString t = m_io.boxText(); // as the box's change rule left it
    const int len = static_cast<int>(t.size());

    auto fail = [this](const QString& message) {
        m_formulaOk = false;
        report(message);
    };

    // Only the characters a formula may hold; no focus change.
    for (QChar c : t) {
        if (!allowedCharacter(c)) {
            fail(kCharacterMessage);
            return;
        }
    }

    // Adjacent operators. Index i here is position i + 1 counted from 1, so the
    // caret "after the first i characters" is i + 1.
    for (int i = 0; i + 1 < len; ++i) {
        const QChar c = t.at(i);
        const QChar n = t.at(i + 1);
        const bool bad = (isOneOf(c, u"+-*/°\"'") && isOneOf(n, u"*/^+-")) ||
                         (c == QLatin1Char('^') && isOneOf(n, u"*/^+"));
        if (bad) {
            fail(quoted(c) + kSuperfluous + quoted(n));
            placeCaret(i + 1);
            return;
        }
    }

    // Two points in a row.
    for (int i = 0; i + 1 < len; ++i) {
        if (t.at(i) == QLatin1Char('.') && t.at(i + 1) == QLatin1Char('.')) {
            fail(kTooManyPoints);
            placeCaret(i + 1);
            return;
        }
    }

    // A letter at the end.
    if (len > 0 && isLetter(t.at(len - 1))) {
        fail(kNoDataAfterFunction);
        placeCaret(len);
        return;
    }

    // A letter before "/", "*" or "^"; no focus change.
    for (int k = 0; k + 1 < len; ++k) {
        const QChar n = t.at(k + 1);
        if (isLetter(t.at(k)) && isOneOf(n, u"/*^")) {
            fail(kFunctionBefore + n);
            return;
        }
    }

    // "/", "*" or "^" without an operand. Does not end the validation.
    for (int i = 0; i < len; ++i) {
        const QChar c = t.at(i);
        if (!isOneOf(c, u"/*^"))
            continue;
        bool failed = false;
        if (i == len - 1) {
            fail(c + kNoDataAfter);
            placeCaret(len);
            failed = true;
        }
        if (t.at(0) == c) {
            fail(c + kNoDataBefore);
            placeCaret(0);
            failed = true;
        }
        if (failed)
            break;
    }

    // "+" or "-" at the end; stops at once when an operator above lacked
    // its operand.
    for (int i = 0; i < len; ++i) {
        const QChar c = t.at(i);
        if (chars::isSign(c) && i == len - 1) {
            fail(c + kNoDataAfter);
            placeCaret(len);
        }
        if (!m_formulaOk)
            break;
    }

    // The first run of letters must be a known name of at most 6 letters.
    int letters = 0;
    for (int i = 0; i < len; ++i) {
        if (isLetter(t.at(i))) {
            ++letters;
            if (letters > 6) {
                fail(kFunction + kOpenQuote + t.mid(i - 6, 7) + kCloseQuote + kWrong);
                placeCaret(i + 1);
                return;
            }
        } else if (letters >= 1) {
            const QString name = t.mid(i - letters, letters);
            if (!inNameTable(name)) {
                fail(kFunction + kOpenQuote + name + kCloseQuote + kWrong);
                placeCaret(i + 1);
            }
            return;
        }
    }
}

} // namespace formula
