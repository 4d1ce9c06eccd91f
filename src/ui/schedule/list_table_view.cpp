#include "ui/schedule/list_table_view.h"

#include "core/codes/steel_grades.h"
#include "core/schedule/row_columns.h"
#include "drawing/sketches/shape_sketch.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

using namespace schedule;

namespace {

// The columns Tab and Enter walk through; the note and the computed
// columns are reached with the arrow keys or the mouse.
constexpr int kLastEntryColumn = static_cast<int>(Column::Count);

// Plain digits, or a decimal with an optional sign: no grouping, no
// exponent, and "." whatever the desktop's locale.
const QString kWholePattern = QStringLiteral("\\d{0,9}");
const QString kDecimalPattern = QStringLiteral("-?\\d{0,9}(\\.\\d{0,6})?");

QLineEdit* numberField(QWidget* parent, const QString& pattern, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), field));
    field->setObjectName(QStringLiteral("cellEditor"));
    field->setAccessibleName(name);
    // Composed input would bypass the validator; numbers need none.
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    return field;
}

QString shapeEntry(const ShapeInfo& shape) {
    return shape.code + QStringLiteral("  ") + shape.name;
}

} // namespace

ListTableView::ListTableView(QWidget* parent) : QTableView(parent) {
    setTabKeyNavigation(true);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
}

QModelIndex ListTableView::nextEntryCell(const QModelIndex& from, bool forward) const {
    const QAbstractItemModel* m = model();
    if (!m || !from.isValid())
        return from;
    int row = from.row();
    int column = std::min(from.column(), kLastEntryColumn + (forward ? 0 : 1));
    const int rows = m->rowCount();
    while (true) {
        column += forward ? 1 : -1;
        if (column > kLastEntryColumn) {
            column = 0;
            ++row;
        } else if (column < 0) {
            column = kLastEntryColumn;
            --row;
        }
        if (row < 0 || row >= rows)
            return from;
        const QModelIndex candidate = m->index(row, column);
        if (candidate.flags() & Qt::ItemIsEditable)
            return candidate;
    }
}

QModelIndex ListTableView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    if (cursorAction == MoveNext || cursorAction == MovePrevious)
        return nextEntryCell(currentIndex(), cursorAction == MoveNext);
    return QTableView::moveCursor(cursorAction, modifiers);
}

void ListTableView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && state() != EditingState) {
        const bool back = event->modifiers() & Qt::ShiftModifier;
        const QModelIndex next = nextEntryCell(currentIndex(), !back);
        if (next.isValid())
            setCurrentIndex(next);
        event->accept();
        return;
    }
    if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && state() != EditingState &&
        event->modifiers() == Qt::NoModifier) {
        Q_EMIT clearRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ListTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Enter in a cell commits it and moves on, as Tab does.
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        hint = QApplication::keyboardModifiers() & Qt::ShiftModifier
                   ? QAbstractItemDelegate::EditPreviousItem
                   : QAbstractItemDelegate::EditNextItem;
    if (hint == QAbstractItemDelegate::EditNextItem ||
        hint == QAbstractItemDelegate::EditPreviousItem) {
        // The entry row (always the last) is only selected, so that it shows
        // what a new row would start as; typing into it makes the row.
        const QModelIndex next =
            nextEntryCell(currentIndex(), hint == QAbstractItemDelegate::EditNextItem);
        if (next.isValid() && model() && next.row() == model()->rowCount() - 1) {
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
            setCurrentIndex(next);
            return;
        }
    }
    QTableView::closeEditor(editor, hint);
}

QWidget* RowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const Column column = columnAt(index.column());
    switch (column) {
    case Column::Shape: {
        auto* box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("shapeEditor"));
        box->setAccessibleName(QStringLiteral("形状"));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // Sketches large in the list, small in the cell itself.
        const QSize sketch(84, 48);
        box->setIconSize(QSize(16, 16));
        box->setItemDelegate(new QStyledItemDelegate(box));
        box->view()->setIconSize(sketch);
        for (const ShapeInfo& shape : shapes())
            box->addItem(QIcon(shapeIcon(shape.shape, sketch, box->devicePixelRatioF())),
                         shapeEntry(shape), shape.code);
        box->view()->setMinimumWidth(300);
        return box;
    }
    case Column::Grade: {
        auto* box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("gradeEditor"));
        box->setAccessibleName(QStringLiteral("牌号"));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        for (const codes::SteelGrade grade : codes::offeredGrades())
            box->addItem(codes::gradeName(grade));
        return box;
    }
    case Column::Diameter:
    case Column::Count:
        return numberField(parent, kWholePattern, columnTitle(column));
    case Column::Mark:
    case Column::Note: {
        auto* field =
            qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        if (field) {
            field->setObjectName(QStringLiteral("cellEditor"));
            field->setAccessibleName(columnTitle(column));
            field->setMaxLength(column == Column::Mark ? 40 : 200);
        }
        return field;
    }
    default:
        return numberField(parent, kDecimalPattern, columnTitle(column));
    }
}

void RowDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        const int item = columnAt(index.column()) == Column::Shape
                             ? box->findData(text)
                             : box->findText(text, Qt::MatchFixedString);
        if (item >= 0 && !text.isEmpty())
            box->setCurrentIndex(item);
        else
            box->setEditText(text);
        // Typing replaces the entry, as in any other cell.
        box->lineEdit()->selectAll();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void RowDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                               const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, box->currentText(), Qt::EditRole);
        return;
    }
    if (auto* field = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, field->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

QWidget* MemberDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    if (index.column() == 1)
        return numberField(parent, kWholePattern, QStringLiteral("构件数"));
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor->setAccessibleName(QStringLiteral("构件名称"));
    return editor;
}
