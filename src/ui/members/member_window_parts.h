#pragma once

// What the windows of members read from their drawing (梁平法, 柱平法) share:
// fields named for tests and assistive tools, table cells as text, and the
// generated rows shown with their cut and budget lengths and derivations.
// Only ui/members/ includes it.

#include "core/numbers/number_text.h"
#include "core/schedule/computation.h"
#include "core/schedule/dimension_text.h"
#include "core/schedule/row_columns.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

#include <QPushButton>

#include <cmath>
#include <cstddef>

namespace member_window {

inline QString number(double v) {
    return numbers::generalNumberText(v);
}

// A field's number; 0 (refused by the detailing, with its place) when the
// text is none.
inline double numberIn(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

template <typename W> W* named(W* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

inline QLineEdit* field(const char* name, const QString& accessibleName,
                        const QString& placeholder = {}) {
    auto* edit = named(new QLineEdit, name, accessibleName);
    edit->setPlaceholderText(placeholder);
    return edit;
}

inline QString cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

inline void setCell(QTableWidget* table, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = table->item(row, column))
        item->setText(text);
    else
        table->setItem(row, column, new QTableWidgetItem(text));
}

// The choices both windows offer, in their combo boxes' order.
inline constexpr int kConcreteGrades[] = {20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80};
inline constexpr codes::SeismicGrade kSeismicGrades[] = {
    codes::SeismicGrade::First, codes::SeismicGrade::Second, codes::SeismicGrade::Third,
    codes::SeismicGrade::Fourth, codes::SeismicGrade::None};
// The grade Φ stands for where a drawing's text lost its grade glyphs.
inline constexpr codes::SteelGrade kPhiGrades[] = {
    codes::SteelGrade::HPB300, codes::SteelGrade::HRB335, codes::SteelGrade::HRB400,
    codes::SteelGrade::HRB500};
QStringList concreteNames();
QStringList seismicNames();
QStringList phiGradeNames();

// The index of a value in one of the lists above; 0 where it is not there.
template <typename T, std::size_t N> int indexIn(const T (&values)[N], const T& v) {
    for (std::size_t i = 0; i < N; ++i)
        if (values[i] == v)
            return int(i);
    return 0;
}
// The value at a combo box's index; the first where none is chosen.
template <typename T, std::size_t N> T valueAt(const T (&values)[N], int index) {
    return values[index >= 0 && std::size_t(index) < N ? index : 0];
}

// 放入下料单 and 取消 under a member's window, named "<prefix>Accept" and
// "<prefix>Cancel"; neither is a default button, so that Enter moves on
// between fields and only the button puts the member in the list.
QPushButton* addAcceptButtons(QDialog* dialog, QBoxLayout* layout, const QString& prefix);

// The generated rows' table: mark, what and where, bar, shape, outer
// dimensions, count, cut length, budget length, derivation.
QTableWidget* rowsTable(const char* name);

// Shows rows of any member (each with `bar`, `budgetLength`, `derivation`)
// with their cut lengths by the list's settings; keeps the current row.
template <typename Row>
void showRows(QTableWidget* table, const QList<Row>& rows, const schedule::ListSettings& settings) {
    const int current = table->currentRow();
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const schedule::RowResult result = schedule::computeRow(row.bar, 1, settings);
        const QString values[] = {
            row.bar.mark,
            row.bar.note,
            QStringLiteral("%1 %2").arg(codes::gradeName(row.bar.grade)).arg(row.bar.diameter),
            schedule::shapeLabel(row.bar.shape),
            schedule::dimensionsText(row.bar),
            QString::number(row.bar.countPerMember),
            result.problem ? result.problem->reason : number(result.cutLength),
            number(std::round(row.budgetLength * 10) / 10),
            row.derivation};
        for (int c = 0; c < 9; ++c) {
            auto* item = new QTableWidgetItem(values[c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (c == 8)
                item->setToolTip(row.derivation);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    if (current >= 0 && current < table->rowCount())
        table->setCurrentCell(current, 0);
}

// What could not be detailed, one line each with its place.
template <typename Problem> void showProblems(QPlainTextEdit* box, const QList<Problem>& problems) {
    QStringList lines;
    for (const Problem& p : problems)
        lines << QStringLiteral("%1：%2").arg(p.where, p.reason);
    box->setPlainText(lines.join(QLatin1Char('\n')));
}

} // namespace member_window
