// check and removeBlanks: messages, carets and the normalised box.
#include "core/formula/engine.h"
#include "string_io.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using formula::Engine;

namespace {

struct CheckRow {
    const char* box;        // text in the formula box before check
    const char* normalised; // box text afterwards
    bool ok;
    // The messages appended, separated by "|", without their separators.
    const char* messages;
    int caret; // caret afterwards; -1 when check placed none
    int focus; // focus requests
};

const CheckRow kRows[] = {
    // Accepted formulas; the box is normalised.
    {"2+3", "2+3", true, "", -1, 0},
    {" sin 30 ", "SIN30", true, "", -1, 0},
    {"sin30", "SIN30", true, "", -1, 0},
    {"2^-3", "2^-3", true, "", -1, 0},
    {"1.2.3", "1.2.3", true, "", -1, 0},
    {"SIN(1)+FOO(2)", "SIN(1)+FOO(2)", true, "", -1, 0},
    {"1E5", "1E5", true, "", -1, 0},
    {"2.5e-3", "2.5E-3", true, "", -1, 0},
    {"((1+2", "((1+2", true, "", -1, 0},
    {"2)+3", "2)+3", true, "", -1, 0},
    {"arcsin(0.5)", "ARCSIN(0.5)", true, "", -1, 0},
    {"3°20'10\"", "3°20'10\"", true, "", -1, 0},
    {"", "", true, "", -1, 0}, // an empty formula fails no step
    // 4. Character set: no focus change, no caret.
    {"2#3", "2#3", false, "函数错误，所输入超出A-Z，a-z,0-9,+-/*^().°'\"", -1, 0},
    {"2,5", "2,5", false, "函数错误，所输入超出A-Z，a-z,0-9,+-/*^().°'\"", -1, 0},
    {"2×3", "2×3", false, "函数错误，所输入超出A-Z，a-z,0-9,+-/*^().°'\"", -1, 0},
    {"straße", "STRAßE", false, "函数错误，所输入超出A-Z，a-z,0-9,+-/*^().°'\"", -1, 0},
    {"１", "１", false, "函数错误，所输入超出A-Z，a-z,0-9,+-/*^().°'\"", -1, 0},
    // 5. Adjacent operators: caret after the first of the two.
    {"2+*3", "2+*3", false, "“+”后多余“*”", 2, 1},
    {"2*-3", "2*-3", false, "“*”后多余“-”", 2, 1},
    {"2°+1", "2°+1", false, "“°”后多余“+”", 2, 1},
    {"1'-2", "1'-2", false, "“'”后多余“-”", 2, 1},
    {"1\"*2", "1\"*2", false, "“\"”后多余“*”", 2, 1},
    {"12*/3", "12*/3", false, "“*”后多余“/”", 3, 1},
    {"2^^3", "2^^3", false, "“^”后多余“^”", 2, 1},
    {"2^+3", "2^+3", false, "“^”后多余“+”", 2, 1},
    {"2--3", "2--3", false, "“-”后多余“-”", 2, 1},
    {"2/^3", "2/^3", false, "“/”后多余“^”", 2, 1},
    // 6. Two points in a row.
    {"1..5", "1..5", false, "小数点太多", 2, 1},
    {"1+22..", "1+22..", false, "小数点太多", 5, 1},
    // 7. A letter at the end.
    {"SIN", "SIN", false, "函数后没有数据", 3, 1},
    {"2x", "2X", false, "函数后没有数据", 2, 1},
    // 8. A letter before "/", "*" or "^": no focus change.
    {"SIN*2", "SIN*2", false, "函数后不能有*", -1, 0},
    {"cos/2", "COS/2", false, "函数后不能有/", -1, 0},
    {"1E^2", "1E^2", false, "函数后不能有^", -1, 0},
    // 9. "/", "*" or "^" without an operand.
    {"*5", "*5", false, "*前没有数据", 0, 1},
    {"5/", "5/", false, "/后没有数据", 2, 1},
    {"5^", "5^", false, "^后没有数据", 2, 1},
    {"2*3*", "2*3*", false, "*后没有数据", 4, 1},
    {"^2", "^2", false, "^前没有数据", 0, 1},
    {"*", "*", false, "*后没有数据|*前没有数据", 0, 2},
    // 10. "+" or "-" at the end.
    {"5-", "5-", false, "-后没有数据", 2, 1},
    {"(1+2)+", "(1+2)+", false, "+后没有数据", 6, 1},
    {"-", "-", false, "-后没有数据", 1, 1},
    // 11. The first run of letters.
    {"ARCSINH(1)", "ARCSINH(1)", false, "函数“ARCSINH”错误", 7, 1},
    {"ABCDEFGHI1", "ABCDEFGHI1", false, "函数“ABCDEFG”错误", 7, 1},
    {"FOO(1)", "FOO(1)", false, "函数“FOO”错误", 4, 1},
    {"2X+1", "2X+1", false, "函数“X”错误", 3, 1},
    {"1+sinus(2)", "1+SINUS(2)", false, "函数“SINUS”错误", 8, 1},
    // Step 11 runs after steps 9 and 10 and adds its own message.
    {"*A1", "*A1", false, "*前没有数据|函数“A”错误", 3, 2},
    {"FOO1+", "FOO1+", false, "+后没有数据|函数“FOO”错误", 4, 2},
};

TEST(MayEvaluate, Table) {
    for (const CheckRow& row : kRows) {
        SCOPED_TRACE(row.box);
        StringIo io(QString::fromUtf8(row.box));
        Engine engine(io);
        EXPECT_EQ(engine.mayEvaluate(), row.ok);
        EXPECT_EQ(io.box, QString::fromUtf8(row.normalised));
        const QString expected = QString::fromUtf8(row.messages);
        EXPECT_EQ(io.messages().join(QLatin1Char('|')), expected);
        if (!expected.isEmpty()) {
            EXPECT_TRUE(io.history.endsWith(formula::kHistorySeparator));
        }
        EXPECT_EQ(io.placedCaret, row.caret);
        EXPECT_EQ(io.focusCount, row.focus);
    }
}

TEST(MayEvaluate, AnswersAfreshAtEveryCall) {
    StringIo io(QStringLiteral("5/"));
    Engine engine(io);
    EXPECT_FALSE(engine.mayEvaluate());
    io.box = QStringLiteral("5/2");
    EXPECT_TRUE(engine.mayEvaluate());
}

TEST(MayEvaluate, WritesTheBoxOnlyWhenNormalisingChangesIt) {
    StringIo clean(QStringLiteral("2+3"));
    Engine(clean).mayEvaluate();
    EXPECT_TRUE(clean.writes.isEmpty());

    StringIo lower(QStringLiteral("sin30"));
    Engine(lower).mayEvaluate();
    EXPECT_EQ(lower.writes, QStringList{QStringLiteral("SIN30")});
}

TEST(MayEvaluate, LeavesOtherCharactersAlone) {
    // Only a-z are upper-cased: "ß" would become "SS" with a full
    // upper-casing and slip past the character check.
    StringIo io(QStringLiteral(u"ßin1"));
    Engine engine(io);
    EXPECT_FALSE(engine.mayEvaluate());
    EXPECT_EQ(io.box, QStringLiteral(u"ßIN1"));
}

TEST(MayEvaluate, ReadsTheBoxAsItsChangeRuleLeftIt) {
    // A pasted " -" loses its blank; the box's single-operator rule turns the
    // lone "-" into a continuation of the last result, which step 10 refuses.
    StringIo io(QStringLiteral(" -"));
    io.boxRule = true;
    io.lastResult = 12.5;
    Engine engine(io);
    EXPECT_FALSE(engine.mayEvaluate());
    EXPECT_EQ(io.box, QStringLiteral("12.5-"));
    EXPECT_EQ(io.messages(), QStringList{QStringLiteral("-后没有数据")});
    EXPECT_EQ(io.caret, 5);

    // With no last result the box is emptied, and the empty formula passes.
    StringIo empty(QStringLiteral(" -"));
    empty.boxRule = true;
    Engine second(empty);
    EXPECT_TRUE(second.mayEvaluate());
    EXPECT_EQ(empty.box, QString());
}

TEST(MayEvaluate, HistoryOnlyGrows) {
    StringIo io(QStringLiteral("5/"));
    io.history = QStringLiteral("earlier");
    Engine(io).mayEvaluate();
    EXPECT_EQ(io.history, QStringLiteral(u"earlier/后没有数据") + formula::kHistorySeparator);
}

TEST(RemoveBlanks, OneWritePerBlank) {
    StringIo io(QStringLiteral(" 1 +  2 "));
    Engine(io).removeBlanks();
    EXPECT_EQ(io.box, QStringLiteral("1+2"));
    const QStringList expected = {
        QStringLiteral("1 +  2 "), QStringLiteral("1+  2 "), QStringLiteral("1+ 2 "),
        QStringLiteral("1+2 "),    QStringLiteral("1+2"),
    };
    EXPECT_EQ(io.writes, expected);
}

TEST(RemoveBlanks, NoBlankNoWrite) {
    StringIo io(QStringLiteral("1+2"));
    Engine(io).removeBlanks();
    EXPECT_TRUE(io.writes.isEmpty());
    StringIo empty;
    Engine(empty).removeBlanks();
    EXPECT_TRUE(empty.writes.isEmpty());
}

TEST(RemoveBlanks, OnlyBlanks) {
    StringIo io(QStringLiteral("    "));
    Engine(io).removeBlanks();
    EXPECT_EQ(io.box, QString());
    EXPECT_EQ(io.writes.size(), 4);
}

// A box that refuses writes must not make the walk run forever.
class StubbornIo : public StringIo {
public:
    using StringIo::StringIo;
    void setBoxText(const QString& text) override { writes << text; }
};

TEST(RemoveBlanks, EndsWhenTheBoxRefusesTheWrite) {
    StubbornIo io(QStringLiteral("1 2"));
    Engine(io).removeBlanks();
    EXPECT_EQ(io.box, QStringLiteral("1 2"));
    EXPECT_LE(io.writes.size(), 3);
}

} // namespace
