#include "ui/schedule/schedule_window.h"

// The cutting-list window's edits of rows and members: insert, copy,
// paste, move, sort and the hand-over from the bar-quantity tab.

#include "core/codes/steel_grades.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "core/schedule/csv.h"
#include "core/schedule/list_file.h"
#include "core/schedule/row_columns.h"
#include "ui/form/feedback.h"
#include "ui/schedule/list_help.h"
#include "ui/schedule/list_output.h"
#include "ui/schedule/list_table_model.h"
#include "ui/schedule/list_table_view.h"
#include "ui/schedule/list_window_common.h"
#include "ui/schedule/plan_view.h"
#include "ui/schedule/sketch_panel.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

using namespace schedule;
using namespace list_window;

// ---- rows and members ----

ListCursor ScheduleWindow::cursor() const {
    const QModelIndex at = m_table->currentIndex();
    return ListCursor{m_rowModel->member(), at.isValid() ? at.row() : -1,
                      at.isValid() ? at.column() : 0};
}

std::pair<CuttingList, int> ScheduleWindow::listWithMember() const {
    CuttingList list = m_document->list();
    int member = m_rowModel->member();
    if (list.members.isEmpty()) {
        list.members << Member{newMemberName(list), 1, {}};
        member = 0;
    }
    return {list, std::clamp(member, 0, static_cast<int>(list.members.size()) - 1)};
}

QList<int> ScheduleWindow::selectedListRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedIndexes())
        if (!m_rowModel->isEntryRow(index.row()))
            rows.insert(index.row());
    const QModelIndex at = m_table->currentIndex();
    if (rows.empty() && at.isValid() && !m_rowModel->isEntryRow(at.row()))
        rows.insert(at.row());
    return QList<int>(rows.begin(), rows.end());
}

void ScheduleWindow::insertRow() {
    if (refuseGeneratedRows())
        return;
    auto [list, m] = listWithMember();
    Member& member = list.members[m];
    const QModelIndex at = m_table->currentIndex();
    const int position = at.isValid() && !m_rowModel->isEntryRow(at.row())
                             ? at.row() + 1
                             : static_cast<int>(member.rows.size());
    member.rows.insert(position, rowToFollow(member, position - 1, list.settings));
    m_document->change(QStringLiteral("插入行"), list,
                       ListCursor{m, position, columnIndex(Column::Mark)}, cursor());
    m_table->setFocus();
}

void ScheduleWindow::duplicateRows() {
    if (refuseGeneratedRows())
        return;
    const QList<int> rows = selectedListRows();
    if (rows.isEmpty())
        return;
    auto [list, m] = listWithMember();
    QList<BarRow>& bars = list.members[m].rows;
    QList<BarRow> copies;
    for (int r : rows)
        copies << bars[r];
    const int position = rows.last() + 1;
    for (qsizetype i = 0; i < copies.size(); ++i)
        bars.insert(position + i, copies[i]);
    m_document->change(QStringLiteral("复制行"), list, ListCursor{m, position, cursor().column},
                       cursor());
}

void ScheduleWindow::deleteRows() {
    if (refuseGeneratedRows())
        return;
    const QList<int> rows = selectedListRows();
    if (rows.isEmpty())
        return;
    auto [list, m] = listWithMember();
    QList<BarRow>& bars = list.members[m].rows;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        bars.removeAt(*it);
    m_document->change(
        QStringLiteral("删除行"), list,
        ListCursor{m, std::min(rows.first(), static_cast<int>(bars.size())), cursor().column},
        cursor());
}

void ScheduleWindow::moveRow(int step) {
    if (refuseGeneratedRows())
        return;
    const QModelIndex at = m_table->currentIndex();
    if (!at.isValid() || m_rowModel->isEntryRow(at.row()))
        return;
    auto [list, m] = listWithMember();
    QList<BarRow>& bars = list.members[m].rows;
    const int to = at.row() + step;
    if (to < 0 || to >= bars.size())
        return;
    bars.swapItemsAt(at.row(), to);
    m_document->change(step < 0 ? QStringLiteral("上移行") : QStringLiteral("下移行"), list,
                       ListCursor{m, to, at.column()}, cursor());
}

void ScheduleWindow::sortRows(SortKey key) {
    if (refuseGeneratedRows())
        return;
    const int m = m_rowModel->member();
    if (m < 0)
        return;
    CuttingList list = m_document->list();
    schedule::sortRows(list.members[m], key, m_document->computed().results.value(m));
    m_document->change(QStringLiteral("排序"), list, ListCursor{m, 0, cursor().column}, cursor());
}

void ScheduleWindow::clearCells() {
    if (refuseGeneratedRows())
        return;
    const int m = m_rowModel->member();
    if (m < 0)
        return;
    CuttingList list = m_document->list();
    QList<BarRow>& bars = list.members[m].rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedIndexes()) {
        const Column column = columnAt(index.column());
        if (m_rowModel->isEntryRow(index.row()) || column == Column::Shape ||
            column == Column::Grade || !applies(bars[index.row()], column))
            continue;
        readCell(bars[index.row()], column, QString());
    }
    m_document->change(QStringLiteral("清除"), list, cursor(), cursor());
}

void ScheduleWindow::copyCells() {
    const QModelIndexList selected = m_table->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QModelIndex& i : selected) {
        if (m_rowModel->isEntryRow(i.row()))
            continue;
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    if (bottom < 0)
        return;
    const int m = m_rowModel->member();
    const auto& results = m_document->computed().results;
    QList<QStringList> cells;
    for (int r = top; r <= bottom; ++r) {
        QStringList line;
        const BarRow row = m_rowModel->barRow(r);
        for (int c = left; c <= right; ++c) {
            const Column column = columnAt(c);
            if (!m_table->selectionModel()->isSelected(m_rowModel->index(r, c)))
                line << QString();
            else if (isComputed(column))
                line << computedText(results[m][r], column);
            else
                line << cellText(row, column);
        }
        cells << line;
    }
    QGuiApplication::clipboard()->setText(writeTabText(cells));
    showStatus(QStringLiteral("已复制 %1 行 × %2 列").arg(bottom - top + 1).arg(right - left + 1));
}

void ScheduleWindow::pasteCells() {
    if (refuseGeneratedRows())
        return;
    QList<QStringList> cells = readTabText(QGuiApplication::clipboard()->text());
    if (cells.isEmpty()) {
        refuse(QStringLiteral("剪贴板中没有可粘贴的文字"));
        return;
    }
    // At the current cell, or at the top left of the selection it lies in.
    QModelIndex at = m_table->currentIndex();
    if (m_table->selectionModel()->isSelected(at)) {
        for (const QModelIndex& i : m_table->selectionModel()->selectedIndexes())
            if (i.row() < at.row() || (i.row() == at.row() && i.column() < at.column()))
                at = i;
    }
    if (!at.isValid())
        at = m_rowModel->index(m_rowModel->listRows(), 0);
    // A heading line copied along with the rows is not a row.
    const QStringList& first = cells.first();
    const bool heading =
        std::any_of(first.cbegin(), first.cend(), [](const QString& s) { return !s.isEmpty(); }) &&
        std::all_of(first.cbegin(), first.cend(), [](const QString& s) {
            if (s.trimmed().isEmpty())
                return true;
            for (int c = 0; c < kColumnCount; ++c)
                if (columnTitle(columnAt(c)) == s.trimmed())
                    return true;
            return false;
        });
    if (heading)
        cells.removeFirst();

    auto [list, m] = listWithMember();
    Member& member = list.members[m];
    QStringList problems;
    int pasted = 0;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const int r = at.row() + static_cast<int>(i);
        const bool added = r >= member.rows.size();
        const bool blank = std::all_of(cells[i].cbegin(), cells[i].cend(),
                                       [](const QString& s) { return s.trimmed().isEmpty(); });
        if (added && blank)
            continue;
        BarRow row =
            added ? rowToFollow(member, static_cast<int>(member.rows.size()) - 1, list.settings)
                  : member.rows[r];
        const int shownRow = added ? static_cast<int>(member.rows.size()) + 1 : r + 1;
        for (qsizetype j = 0; j < cells[i].size(); ++j) {
            const int c = at.column() + static_cast<int>(j);
            if (c >= kColumnCount)
                break;
            const Column column = columnAt(c);
            const QString& text = cells[i][j];
            if (isComputed(column))
                continue;
            if (!applies(row, column)) {
                if (!text.trimmed().isEmpty())
                    problems << QStringLiteral("第 %1 行 %2：%3不需要此项")
                                    .arg(shownRow)
                                    .arg(columnTitle(column), shapeLabel(row.shape));
                continue;
            }
            if (const std::optional<QString> refused = readCell(row, column, text))
                problems << QStringLiteral("第 %1 行 %2：%3")
                                .arg(shownRow)
                                .arg(columnTitle(column), *refused);
        }
        if (added)
            member.rows << row;
        else
            member.rows[r] = row;
        ++pasted;
    }
    const int width =
        static_cast<int>(std::max_element(cells.cbegin(), cells.cend(),
                                          [](const QStringList& a, const QStringList& b) {
                                              return a.size() < b.size();
                                          })
                             ->size());
    m_document->change(QStringLiteral("粘贴"), list, ListCursor{m, at.row(), at.column()},
                       cursor());
    const QModelIndex topLeft = m_rowModel->index(at.row(), at.column());
    const QModelIndex bottomRight =
        m_rowModel->index(std::min(at.row() + pasted - 1, m_rowModel->listRows() - 1),
                          std::min(at.column() + width - 1, kColumnCount - 1));
    if (pasted > 0)
        m_table->selectionModel()->select(QItemSelection(topLeft, bottomRight),
                                          QItemSelectionModel::ClearAndSelect);
    showStatus(QStringLiteral("已粘贴 %1 行").arg(pasted));
    if (!problems.isEmpty()) {
        feedback::message(this, QStringLiteral("以下 %1 个单元格未能粘贴，已保留原值：\n%2")
                                    .arg(problems.size())
                                    .arg(listedProblems(problems)));
        showStatus(
            QStringLiteral("已粘贴 %1 行，%2 个单元格未能粘贴").arg(pasted).arg(problems.size()));
    }
}

void ScheduleWindow::takeFromBarQuantity() {
    if (refuseGeneratedRows())
        return;
    if (!m_barSource)
        return;
    const BarQuantityInputs in = m_barSource();
    QStringList problems;
    const auto whole = [&problems](const QString& text, const QString& what) -> int {
        const std::optional<double> v = numbers::strictNumber(text);
        if (!v || *v != std::floor(*v) || *v <= 0 || *v > 1e9) {
            problems << QStringLiteral("%1“%2”须为正整数").arg(what, text);
            return 0;
        }
        return static_cast<int>(*v);
    };
    const int diameter = whole(in.diameter, QStringLiteral("钢筋直径"));
    const int count = whole(in.count, QStringLiteral("钢筋数量"));
    const std::optional<double> typed = numbers::strictNumber(in.length);
    double length = 0;
    if (!typed || !(*typed > 0))
        problems << QStringLiteral("钢筋长度“%1”须为正数").arg(in.length);
    else
        length = in.centimetres ? *typed * 10 : *typed;
    if (!problems.isEmpty()) {
        feedback::message(this, QStringLiteral("Tessaro 页的输入不能取为一行：\n%1")
                                    .arg(problems.join(QLatin1Char('\n'))));
        return;
    }
    auto [list, m] = listWithMember();
    Member& member = list.members[m];
    BarRow row = rowToFollow(member, static_cast<int>(member.rows.size()) - 1, list.settings);
    row.shape = Shape::Straight;
    row.grade = list.settings.defaultGrade;
    row.diameter = diameter;
    row.dimensions = {{QStringLiteral("A"), length}};
    row.countPerMember = count;
    member.rows << row;
    m_document->change(
        QStringLiteral("从 Tessaro 取一行"), list,
        ListCursor{m, static_cast<int>(member.rows.size()) - 1, columnIndex(Column::Mark)},
        cursor());
    showStatus(QStringLiteral("已从 Tessaro 取一行：直径 %1 mm，长 %2 mm，%3 根")
                   .arg(diameter)
                   .arg(numbers::generalNumberText(length))
                   .arg(count));
}

void ScheduleWindow::addMember() {
    CuttingList list = m_document->list();
    const int position =
        m_rowModel->member() < 0 ? static_cast<int>(list.members.size()) : m_rowModel->member() + 1;
    list.members.insert(position, Member{newMemberName(list), 1, {}});
    m_document->change(QStringLiteral("新增构件"), list, ListCursor{position, -1, 0}, cursor());
    // Named at once: the name is what a user types next.
    m_members->setFocus();
    m_members->edit(m_memberModel->index(position, MemberTableModel::NameColumn));
}

void ScheduleWindow::deleteMember() {
    const int m = m_rowModel->member();
    CuttingList list = m_document->list();
    if (m < 0 || m >= list.members.size())
        return;
    list.members.removeAt(m);
    m_document->change(QStringLiteral("删除构件"), list,
                       ListCursor{std::min(m, static_cast<int>(list.members.size()) - 1), 0, 0},
                       cursor());
}

void ScheduleWindow::moveMember(int step) {
    const int m = m_rowModel->member();
    CuttingList list = m_document->list();
    const int to = m + step;
    if (m < 0 || to < 0 || to >= list.members.size())
        return;
    list.members.swapItemsAt(m, to);
    m_document->change(step < 0 ? QStringLiteral("上移构件") : QStringLiteral("下移构件"), list,
                       ListCursor{to, -1, 0}, cursor());
}
