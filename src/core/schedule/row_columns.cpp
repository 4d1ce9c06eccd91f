#include "core/schedule/row_columns.h"

#include "core/codes/bar_masses.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <cmath>

namespace schedule {

namespace {

struct ColumnInfo {
    const char* title;
    const char* letter; // nullptr: not a dimension
    const char* toolTip;
    const char* heading = nullptr; // where it differs from the title
};

// In the order of Column.
const ColumnInfo kColumns[kColumnCount] = {
    {"编号", nullptr, "钢筋编号"},
    {"形状", nullptr, "钢筋形状：输入代码（L、U、stirrup…）或从带简图的列表中选择"},
    {"牌号", nullptr, "钢筋牌号：HPB300、HRB400、HRB400E、HRB500、HRB500E（可输入 400E）"},
    {"直径", nullptr, "公称直径，mm", "直径\nmm"},
    {"A", "A", "外包尺寸 A，mm"},
    {"B", "B", "外包尺寸 B，mm"},
    {"C", "C", "外包尺寸 C，mm"},
    {"D", "D", "外包尺寸 D，mm（圆箍、螺旋箍为外径）"},
    {"E", "E", "外包尺寸 E，mm"},
    {"角度", "angle", "弯起角度，30、45 或 60 度（空则 45 度）", "角度\n°"},
    {"搭接", "lap", "圆形箍筋的搭接长度，mm"},
    {"P", "P", "螺旋箍的螺距，mm"},
    {"H", "H", "螺旋箍的高度，mm"},
    {"N", "N", "螺旋箍每端的平圈数（空则 1.5 圈）"},
    {"弯曲直径", nullptr, "弯心（弯曲）内直径 D，mm；空则取 GB 50204-2015 第 5.3.1 条的最小值",
     "弯曲\n直径"},
    {"每构件根数", nullptr, "每个构件中的根数", "每构件\n根数"},
    {"下料长度", nullptr, "下料长度，mm：钢筋中心线长度，已扣弯曲调整值、加弯钩增加长度",
     "下料长度\nmm"},
    {"单位质量", nullptr, "每米质量，kg/m，按 GB/T 1499 公称质量", "单位质量\nkg/m"},
    {"单根质量", nullptr, "单根质量，kg", "单根质量\nkg"},
    {"总根数", nullptr, "每构件根数 × 构件数", "总根数"},
    {"总长", nullptr, "总长度，m", "总长\nm"},
    {"总质量", nullptr, "总质量，kg", "总质量\nkg"},
    {"备注", nullptr, "备注"},
};

const ColumnInfo& info(Column column) {
    return kColumns[columnIndex(column)];
}

std::optional<long long> wholeNumber(const QString& text) {
    const std::optional<double> value = numbers::strictNumber(text);
    if (!value || *value != std::floor(*value) || std::abs(*value) > 1e9)
        return std::nullopt;
    return static_cast<long long>(*value);
}

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString notANumber(const QString& text) {
    return QStringLiteral("“%1”不是数值").arg(text.trimmed());
}

// Splits "KL10b" into text and number runs for natural order.
QList<QString> runs(const QString& mark) {
    QList<QString> out;
    for (const QChar c : mark) {
        const bool digit = isAsciiDigit(c);
        if (out.isEmpty() || isAsciiDigit(out.last().back()) != digit)
            out << QString(c);
        else
            out.last() += c;
    }
    return out;
}

} // namespace

QString columnTitle(Column column) {
    return QString::fromUtf8(info(column).title);
}

QString columnHeading(Column column) {
    const char* heading = info(column).heading;
    return heading ? QString::fromUtf8(heading) : columnTitle(column);
}

QString columnToolTip(Column column) {
    return QString::fromUtf8(info(column).toolTip);
}

QString columnLetter(Column column) {
    const char* letter = info(column).letter;
    return letter ? QString::fromLatin1(letter) : QString();
}

std::optional<Column> columnOfLetter(const QString& letter) {
    for (int i = 0; i < kColumnCount; ++i)
        if (kColumns[i].letter && letter == QLatin1String(kColumns[i].letter))
            return columnAt(i);
    return std::nullopt;
}

bool isComputed(Column column) {
    return column >= Column::CutLength && column <= Column::TotalMass;
}

bool applies(const BarRow& row, Column column) {
    if (isComputed(column))
        return false;
    const QString letter = columnLetter(column);
    return letter.isEmpty() || shapeInfo(row.shape).letters.contains(letter);
}

Column problemColumn(const RowProblem& problem) {
    switch (problem.field) {
    case Field::Shape:
        return Column::Shape;
    case Field::Grade:
        return Column::Grade;
    case Field::Diameter:
        return Column::Diameter;
    case Field::Dimension:
        return columnOfLetter(problem.letter).value_or(Column::Shape);
    case Field::Mandrel:
        return Column::Mandrel;
    case Field::Count:
    case Field::MemberCount:
        return Column::Count;
    case Field::None:
    case Field::Mark:
        break;
    }
    return Column::Mark;
}

QString shapeLabel(Shape shape) {
    return shapeInfo(shape).name;
}

QString cellText(const BarRow& row, Column column) {
    switch (column) {
    case Column::Mark:
        return row.mark;
    case Column::Shape:
        return shapeInfo(row.shape).code;
    case Column::Grade:
        return codes::gradeName(row.grade);
    case Column::Diameter:
        return row.diameter > 0 ? QString::number(row.diameter) : QString();
    case Column::Mandrel:
        return row.mandrel ? numbers::generalNumberText(*row.mandrel) : QString();
    case Column::Count:
        return row.countPerMember > 0 ? QString::number(row.countPerMember) : QString();
    case Column::Note:
        return row.note;
    default:
        break;
    }
    const QString letter = columnLetter(column);
    const auto it = row.dimensions.constFind(letter);
    if (letter.isEmpty() || it == row.dimensions.constEnd())
        return {};
    return std::isfinite(*it) ? numbers::generalNumberText(*it) : QString();
}

std::optional<Shape> readShape(const QString& text) {
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    if (const std::optional<Shape> byCode = shapeFromCode(typed))
        return byCode;
    // A list entry as the chooser writes it: the code, then the name.
    if (const std::optional<Shape> byFirstWord =
            shapeFromCode(typed.section(QLatin1Char(' '), 0, 0)))
        return byFirstWord;
    std::optional<Shape> found;
    for (const ShapeInfo& shape : shapes()) {
        if (shape.name == typed)
            return shape.shape;
        if (shape.name.contains(typed, Qt::CaseInsensitive)) {
            if (found)
                return std::nullopt; // more than one name has it
            found = shape.shape;
        }
    }
    return found;
}

std::optional<codes::SteelGrade> readGrade(const QString& text) {
    const QString typed = text.trimmed().toUpper();
    if (const std::optional<codes::SteelGrade> grade = codes::gradeFromName(typed))
        return grade;
    // The strength class alone, as foremen say it: 300 is the plain bar,
    // the others ribbed.
    const QString prefix =
        typed.startsWith(QLatin1String("300")) ? QStringLiteral("HPB") : QStringLiteral("HRB");
    if (!typed.isEmpty() && typed.front().isDigit())
        return codes::gradeFromName(prefix + typed);
    return std::nullopt;
}

std::optional<QString> readCell(BarRow& row, Column column, const QString& text) {
    const QString typed = text.trimmed();
    switch (column) {
    case Column::Mark:
        row.mark = typed;
        return std::nullopt;
    case Column::Note:
        row.note = typed;
        return std::nullopt;
    case Column::Shape:
        if (const std::optional<Shape> shape = readShape(typed)) {
            row.shape = *shape;
            return std::nullopt;
        }
        return typed.isEmpty() ? QStringLiteral("请选择形状")
                               : QStringLiteral("未知的形状“%1”").arg(typed);
    case Column::Grade:
        if (const std::optional<codes::SteelGrade> grade = readGrade(typed)) {
            row.grade = *grade;
            return std::nullopt;
        }
        return typed.isEmpty() ? QStringLiteral("请选择牌号")
                               : QStringLiteral("未知的牌号“%1”").arg(typed);
    case Column::Diameter:
    case Column::Count: {
        int& target = column == Column::Diameter ? row.diameter : row.countPerMember;
        if (typed.isEmpty()) {
            target = 0;
            return std::nullopt;
        }
        const std::optional<long long> whole = wholeNumber(typed);
        if (!whole || *whole < 0)
            return numbers::strictNumber(typed)
                       ? QStringLiteral("%1须为正整数").arg(columnTitle(column))
                       : notANumber(typed);
        target = static_cast<int>(*whole);
        return std::nullopt;
    }
    case Column::Mandrel: {
        if (typed.isEmpty()) {
            row.mandrel.reset();
            return std::nullopt;
        }
        const std::optional<double> value = numbers::strictNumber(typed);
        if (!value)
            return notANumber(typed);
        row.mandrel = *value;
        return std::nullopt;
    }
    default:
        break;
    }
    const QString letter = columnLetter(column);
    if (letter.isEmpty())
        return QStringLiteral("计算列不能输入");
    if (typed.isEmpty()) {
        row.dimensions.remove(letter);
        return std::nullopt;
    }
    const std::optional<double> value = numbers::strictNumber(typed);
    if (!value)
        return notANumber(typed);
    row.dimensions.insert(letter, *value);
    return std::nullopt;
}

QString fixedText(long long units, int unitDecimals, int shown) {
    long long scale = 1;
    for (int i = shown; i < unitDecimals; ++i)
        scale *= 10;
    const bool negative = units < 0;
    const long long magnitude = negative ? -units : units;
    const long long rounded = (magnitude + scale / 2) / scale;
    long long unit = 1;
    for (int i = 0; i < shown; ++i)
        unit *= 10;
    QString text = QString::number(rounded / unit);
    if (shown > 0)
        text += QLatin1Char('.') +
                QString::number(rounded % unit).rightJustified(shown, QLatin1Char('0'));
    return negative && rounded != 0 ? QLatin1Char('-') + text : text;
}

QString computedText(const RowResult& r, Column column) {
    if (r.problem)
        return {};
    switch (column) {
    case Column::CutLength:
        return numbers::generalNumberText(r.cutLength);
    case Column::UnitMass:
        return codes::massPerMetreText(r.unitMass);
    case Column::BarMass:
        return fixedText(std::llround(r.barMass * 1e6), 6, 3);
    case Column::Bars:
        return QString::number(r.bars);
    case Column::TotalLength:
        return fixedText(r.totalLengthMm, 3, 3);
    case Column::TotalMass:
        return fixedText(r.totalMassMg, 6, 2);
    default:
        return {};
    }
}

bool markLess(const QString& a, const QString& b) {
    const QList<QString> x = runs(a);
    const QList<QString> y = runs(b);
    for (qsizetype i = 0; i < std::min(x.size(), y.size()); ++i) {
        const QString& p = x[i];
        const QString& q = y[i];
        if (isAsciiDigit(p.front()) && isAsciiDigit(q.front())) {
            // Compared as numbers of any length: leading zeros off, then by
            // length, then digit by digit.
            QString u = p, v = q;
            while (u.size() > 1 && u.front() == QLatin1Char('0'))
                u.remove(0, 1);
            while (v.size() > 1 && v.front() == QLatin1Char('0'))
                v.remove(0, 1);
            if (u.size() != v.size())
                return u.size() < v.size();
            if (const int c = u.compare(v); c != 0)
                return c < 0;
            continue;
        }
        if (const int c = p.compare(q, Qt::CaseInsensitive); c != 0)
            return c < 0;
    }
    return x.size() < y.size();
}

QString nextMark(const QString& mark) {
    qsizetype start = mark.size();
    while (start > 0 && isAsciiDigit(mark[start - 1]))
        --start;
    if (start == mark.size())
        return {};
    QString digits = mark.mid(start);
    // Counted on as text, so that any length works and "09" gives "10".
    qsizetype i = digits.size() - 1;
    while (i >= 0 && digits[i] == QLatin1Char('9')) {
        digits[i] = QLatin1Char('0');
        --i;
    }
    if (i < 0)
        digits.prepend(QLatin1Char('1'));
    else
        digits[i] = QChar(digits[i].unicode() + 1);
    return mark.left(start) + digits;
}

} // namespace schedule
