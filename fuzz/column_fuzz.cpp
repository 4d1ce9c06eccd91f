// libFuzzer target for columns: the column table's texts a user types and
// the column file --column reads. Whatever the bytes, reading never crashes;
// a fault lies within the text; a read column writes and reads back
// unchanged; every generated row is one the cutting list can work out, with
// its derivation, and every piece stands inside the column's height.
#include "core/members/column_bars.h"
#include "core/schedule/computation.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "column_fuzz: %s\n", what);
        std::abort();
    }
}

template <typename T> void checkParsed(const members::Parsed<T>& p, const QString& text) {
    require(p.value.has_value() == p.errors.isEmpty(), "a value beside faults, or neither");
    for (const members::NotationError& e : p.errors) {
        require(e.position >= 0 && e.position <= text.size(), "a fault outside the text");
        require(!e.reason.isEmpty(), "a fault without a reason");
    }
}

void checkBars(const members::ColumnMember& column) {
    const members::ColumnBars bars = members::detailColumn(column);
    schedule::ListSettings settings;
    const members::ColumnOutline& o = bars.outline;
    for (const members::ColumnRow& r : bars.rows) {
        require(!r.derivation.isEmpty(), "a row without its derivation");
        require(r.bar.countPerMember > 0, "a row without bars");
        require(r.budgetLength > 0, "a row without a budget length");
        if (r.place)
            require(r.place->z0 >= o.foundationBottom - 1e-6 &&
                        r.place->z1 <= o.floors.last().top + 1e-6 && r.place->z0 < r.place->z1,
                    "a piece outside the column");
        const schedule::RowResult result = schedule::computeRow(r.bar, 1, settings);
        if (result.problem)
            require(result.problem->field == schedule::Field::Dimension,
                    "a generated row the list refuses for other than its size");
    }
    for (const members::ColumnProblem& p : bars.problems)
        require(!p.reason.isEmpty() && !p.where.isEmpty(), "a problem without place or reason");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (doc.isObject()) {
        const members::ColumnRead read = members::columnFromJson(doc.object());
        require(read.column.has_value() == read.error.isEmpty(), "a column beside an error");
        if (read.column) {
            const members::ColumnRead again =
                members::columnFromJson(members::columnToJson(*read.column));
            require(again.column && *again.column == *read.column,
                    "a column does not read back as written");
            // Tall columns are many floors of the same work; a few are enough.
            if (read.column->storeys.size() <= 12)
                checkBars(*read.column);
        }
        return 0;
    }
    // The bytes as a cell of the column table, and as a segment's stirrups
    // over two floors.
    const QString text = QString::fromUtf8(bytes);
    checkParsed(members::parseColumnSection(text), text);
    checkParsed(members::parseColumnStirrups(text), text);
    checkParsed(members::parseStirrupType(text), text);
    members::ColumnMember column;
    column.storeys = {members::Storey{QStringLiteral("1"), -0.05, 4.5, 700, std::nullopt},
                      members::Storey{QStringLiteral("2"), 4.45, 3.6, 600, std::nullopt}};
    members::ColumnSegment segment;
    segment.from = QStringLiteral("1");
    segment.to = QStringLiteral("2");
    segment.section = QStringLiteral("600×600");
    segment.bars = QStringLiteral("12C25");
    segment.stirrupType = QStringLiteral("1(4×4)");
    segment.stirrups = text;
    column.segments = {segment};
    checkBars(column);
    segment.stirrups = QStringLiteral("C10@100/200");
    segment.bars = text;
    column.segments = {segment};
    checkBars(column);
    return 0;
}
