// The textual reduction against plain double arithmetic: generated formulas
// whose structure is known, so their value is computed directly while the
// text is built.
#include "string_io.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

struct Built {
    QString text;
    double value = 0;
    int precedence = 3; // 1: + -, 2: * /, 3: a number or a parenthesised group
    double scale = 0;   // sum of the magnitudes of every intermediate value
};

class Generator {
public:
    explicit Generator(unsigned start) : m_rng(start) {}

    Built make(int depth) {
        if (depth == 0 || pick(0, 3) == 0)
            return leaf();
        const char op = "+-*/"[pick(0, 3)];
        Built left = make(depth - 1);
        Built right = make(depth - 1);
        if (op == '/' && std::fabs(right.value) < 0.5)
            right = leaf(); // keep quotients well inside 15 digits
        const int prec = (op == '+' || op == '-') ? 1 : 2;
        // Parentheses exactly where the tree needs them, sometimes more.
        const bool wrapLeft = left.precedence < prec || pick(0, 5) == 0;
        const bool wrapRight = right.precedence < prec ||
                               (right.precedence == prec && (op == '-' || op == '/')) ||
                               pick(0, 5) == 0;
        Built b;
        b.text = wrap(left, wrapLeft) + QLatin1Char(op) + wrap(right, wrapRight);
        switch (op) {
        case '+':
            b.value = left.value + right.value;
            break;
        case '-':
            b.value = left.value - right.value;
            break;
        case '*':
            b.value = left.value * right.value;
            break;
        default:
            b.value = left.value / right.value;
            break;
        }
        b.precedence = prec;
        b.scale = left.scale + right.scale + std::fabs(b.value);
        return b;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    Built leaf() {
        Built b;
        const int whole = pick(1, 999);
        const int hundredths = pick(0, 3) == 0 ? pick(1, 99) : 0;
        b.value = whole + hundredths / 100.0;
        b.text = QString::number(whole);
        if (hundredths)
            b.text += QStringLiteral(".%1").arg(hundredths, 2, 10, QLatin1Char('0'));
        b.scale = b.value;
        return b;
    }
    static QString wrap(const Built& b, bool paren) {
        return paren ? QLatin1Char('(') + b.text + QLatin1Char(')') : b.text;
    }

    std::mt19937 m_rng;
};

TEST(Differential, ReductionAgreesWithDirectArithmetic) {
    Generator gen(20261207u);
    int compared = 0;
    for (int n = 0; n < 400; ++n) {
        const Built b = gen.make(1 + n % 4);
        if (b.text.size() > 200) // groups stay well under the 255 limit
            continue;
        SCOPED_TRACE(b.text.toStdString());
        const Outcome r = evaluate(b.text);
        ASSERT_TRUE(r.formulaOk);
        ASSERT_TRUE(r.calcOk);
        // Each intermediate text carries 15 significant digits, so the error is
        // relative to the magnitudes met on the way.
        EXPECT_LE(std::fabs(r.value - b.value), 1e-12 * std::max(1.0, b.scale))
            << "expected " << b.value << " got " << r.value;
        ++compared;
    }
    EXPECT_GE(compared, 300);
}
} // namespace
