#pragma once

#include "core/schedule/cutting_list.h"
#include "core/schedule/row_columns.h"

#include <QAbstractTableModel>

class ListDocument;

// The rows of one member of the list, one column per schedule::Column, and
// below them an entry row: it shows what a new row would start as, greyed,
// and becomes a row of the list when something is typed into it.
class RowTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The reason of a problem when this cell is where it lies, else nothing.
    static constexpr int ProblemRole = Qt::UserRole + 1;

    explicit RowTableModel(ListDocument* document, QObject* parent = nullptr);

    // The member shown; -1 for none (the entry row then starts a member).
    void setMember(int member);
    int member() const { return m_member; }
    int listRows() const { return m_rows; }
    bool isEntryRow(int row) const { return row == m_rows; }
    // The row a new row at the end starts as.
    schedule::BarRow entryRow() const;
    // The list's row behind a table row, or the entry row's start.
    schedule::BarRow barRow(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Takes up the list as it now is.
    void sync();

Q_SIGNALS:
    // A typed text that could not be taken, and why.
    void entryRefused(const QString& reason);

private:
    const schedule::Member* currentMember() const;

    ListDocument* m_document;
    int m_member = -1;
    int m_rows = 0; // rows of the member as the view last knew them
};

// The members of the list: name and how many are built.
class MemberTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ProblemRole = RowTableModel::ProblemRole;
    enum { NameColumn, CountColumn, ColumnCount };

    explicit MemberTableModel(ListDocument* document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void sync();

Q_SIGNALS:
    void entryRefused(const QString& reason);

private:
    ListDocument* m_document;
    int m_members = 0;
};

// Cell colours shared by the tables: a problem, a cell that does not apply
// to the row's shape, a computed cell.
namespace listcolors {
QColor problem();
QColor notApplicable();
QColor computed();
QColor suggested();
} // namespace listcolors
