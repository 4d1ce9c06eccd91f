#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

// The row table as a keyboard user drives it: Tab and Enter commit a cell
// and move to the next one that the row's shape needs, row after row, down
// to the entry row; Delete and Backspace clear the selected cells.
class ListTableView : public QTableView {
    Q_OBJECT
public:
    explicit ListTableView(QWidget* parent = nullptr);

    // The next (or previous) cell to fill in, in reading order over the
    // input columns; `from` itself where there is none.
    QModelIndex nextEntryCell(const QModelIndex& from, bool forward) const;

Q_SIGNALS:
    void clearRequested();

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
};

// Editors of the row table's cells: an editable list with sketches for the
// shape, an editable list for the grade, number fields that take only
// numbers for the rest.
class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};

// Number fields for the member table's count.
class MemberDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};
