#include "ui/schedule/list_table_model.h"

#include "core/codes/bar_masses.h"
#include "core/codes/bending.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "core/schedule/list_edits.h"
#include "ui/schedule/list_document.h"

#include <QColor>
#include <QFont>

#include <cmath>

using namespace schedule;

namespace listcolors {
QColor problem() {
    return QColor(255, 190, 190);
}
QColor notApplicable() {
    return QColor(226, 226, 226);
}
QColor computed() {
    return QColor(242, 246, 250);
}
QColor suggested() {
    return QColor(140, 140, 140);
}
} // namespace listcolors

namespace {

// The mandrel a row takes when it gives none, where it can be told.
std::optional<double> defaultMandrel(const BarRow& row) {
    if (row.diameter <= 0 || !codes::nominalMassPerMetre(row.grade, row.diameter))
        return std::nullopt;
    return codes::smallestMandrel(row.grade, row.diameter);
}

bool isNumeric(Column column) {
    return column != Column::Mark && column != Column::Shape && column != Column::Grade &&
           column != Column::Note;
}

} // namespace

RowTableModel::RowTableModel(ListDocument* document, QObject* parent)
    : QAbstractTableModel(parent), m_document(document) {}

const Member* RowTableModel::currentMember() const {
    const QList<Member>& members = m_document->list().members;
    return m_member >= 0 && m_member < members.size() ? &members[m_member] : nullptr;
}

void RowTableModel::setMember(int member) {
    if (member == m_member) {
        sync();
        return;
    }
    // A list that had no member gets its first from the entry row: the rows
    // that come are added below, so that an open editor stays where it is.
    if (m_member < 0 && m_rows == 0) {
        m_member = member;
        sync();
        return;
    }
    beginResetModel();
    m_member = member;
    const Member* m = currentMember();
    m_rows = m ? static_cast<int>(m->rows.size()) : 0;
    endResetModel();
}

void RowTableModel::sync() {
    const Member* m = currentMember();
    if (!m && m_member >= 0) {
        beginResetModel();
        m_member = -1;
        m_rows = 0;
        endResetModel();
        return;
    }
    const int rows = m ? static_cast<int>(m->rows.size()) : 0;
    if (rows < m_rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return;
    }
    if (rows > m_rows) {
        // Added below the entry row's place, which keeps an editor open in
        // it; the texts are refreshed just after.
        beginInsertRows({}, m_rows + 1, rows);
        m_rows = rows;
        endInsertRows();
    }
    Q_EMIT dataChanged(index(0, 0), index(m_rows, kColumnCount - 1));
    Q_EMIT headerDataChanged(Qt::Vertical, 0, m_rows);
}

BarRow RowTableModel::entryRow() const {
    const Member* m = currentMember();
    const ListSettings& settings = m_document->list().settings;
    if (!m)
        return rowToFollow(Member{}, -1, settings);
    return rowToFollow(*m, static_cast<int>(m->rows.size()) - 1, settings);
}

BarRow RowTableModel::barRow(int row) const {
    const Member* m = currentMember();
    if (m && row >= 0 && row < m->rows.size())
        return m->rows[row];
    return entryRow();
}

int RowTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows + 1;
}

int RowTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < kColumnCount) {
        const Column column = columnAt(section);
        if (role == Qt::DisplayRole)
            return columnHeading(column);
        if (role == Qt::ToolTipRole)
            return columnToolTip(column);
        return {};
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return isEntryRow(section) ? QStringLiteral("新") : QString::number(section + 1);
    if (orientation == Qt::Vertical && role == Qt::ToolTipRole && isEntryRow(section))
        return QStringLiteral("在此行输入即新增一行");
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RowTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // Rows generated from a member's drawing change only through it.
    const auto& members = m_document->list().members;
    if (m_member >= 0 && m_member < members.size() && !members[m_member].source.isEmpty())
        return f;
    if (applies(barRow(index.row()), columnAt(index.column())))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant RowTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const Column column = columnAt(index.column());
    const bool entry = isEntryRow(index.row());
    const BarRow row = barRow(index.row());
    const RowResult* result = nullptr;
    if (!entry) {
        const auto& results = m_document->computed().results;
        if (m_member < results.size() && index.row() < results[m_member].size())
            result = &results[m_member][index.row()];
    }
    const bool problemHere = result && result->problem && problemColumn(*result->problem) == column;
    const bool usesDefaultMandrel = column == Column::Mandrel && !row.mandrel;
    const bool suggestion = entry && (column == Column::Mark || column == Column::Shape ||
                                      column == Column::Grade || column == Column::Diameter);

    switch (role) {
    case Qt::DisplayRole:
        if (entry && !suggestion)
            return QString();
        if (isComputed(column))
            return result ? computedText(*result, column) : QString();
        if (column == Column::Shape)
            return shapeLabel(row.shape);
        if (usesDefaultMandrel && !entry) {
            const std::optional<double> d = result && !result->problem
                                                ? std::optional<double>(result->mandrel)
                                                : defaultMandrel(row);
            return d ? numbers::generalNumberText(*d) : QString();
        }
        return cellText(row, column);
    case Qt::EditRole:
        return entry || isComputed(column) ? QString() : cellText(row, column);
    case ProblemRole:
        return problemHere ? result->problem->reason : QVariant();
    case Qt::BackgroundRole:
        if (problemHere)
            return listcolors::problem();
        if (isComputed(column))
            return listcolors::computed();
        if (!applies(row, column))
            return listcolors::notApplicable();
        return {};
    case Qt::ForegroundRole:
        if (suggestion || (usesDefaultMandrel && !entry))
            return listcolors::suggested();
        return {};
    case Qt::ToolTipRole:
        if (problemHere || (result && result->problem && isComputed(column)))
            return result->problem->reason;
        if (entry)
            return QStringLiteral("在此行输入即新增一行");
        if (column == Column::Shape)
            return QStringLiteral("%1（%2）：下料长度 = %3")
                .arg(shapeInfo(row.shape).name, shapeInfo(row.shape).code,
                     shapeInfo(row.shape).formula);
        if (usesDefaultMandrel)
            return QStringLiteral("未填：按 GB 50204-2015 第 5.3.1 条取最小弯曲直径");
        if (!applies(row, column) && !isComputed(column))
            return QStringLiteral("%1不需要此项").arg(shapeInfo(row.shape).name);
        return columnToolTip(column);
    case Qt::TextAlignmentRole:
        if (isNumeric(column) || isComputed(column))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool RowTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const Column column = columnAt(index.column());
    const QString text = value.toString();
    const bool entry = isEntryRow(index.row());
    // Moving through the entry row adds nothing; typing into it does.
    if (entry && text.trimmed().isEmpty())
        return false;
    BarRow row = barRow(index.row());
    if (!applies(row, column))
        return false;
    if (const std::optional<QString> refused = readCell(row, column, text)) {
        Q_EMIT entryRefused(*refused);
        return false;
    }
    CuttingList list = m_document->list();
    int member = m_member;
    if (member < 0 || member >= list.members.size()) {
        list.members << Member{newMemberName(list), 1, {}};
        member = static_cast<int>(list.members.size()) - 1;
    }
    QList<BarRow>& rows = list.members[member].rows;
    const ListCursor before{member, index.row(), index.column()};
    if (entry) {
        rows << row;
        m_document->change(QStringLiteral("新增一行"), list,
                           ListCursor{member, static_cast<int>(rows.size()) - 1, index.column()},
                           before);
        return true;
    }
    rows[index.row()] = row;
    m_document->change(QStringLiteral("修改%1").arg(columnTitle(column)), list, before, before);
    return true;
}

MemberTableModel::MemberTableModel(ListDocument* document, QObject* parent)
    : QAbstractTableModel(parent), m_document(document),
      m_members(static_cast<int>(document->list().members.size())) {}

int MemberTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_members;
}

int MemberTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MemberTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == NameColumn ? QStringLiteral("构件") : QStringLiteral("数量");
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole)
        return section == NameColumn ? QStringLiteral("构件名称")
                                     : QStringLiteral("同样的构件有几个");
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags MemberTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant MemberTableModel::data(const QModelIndex& index, int role) const {
    const QList<Member>& members = m_document->list().members;
    if (!index.isValid() || index.row() >= members.size())
        return {};
    const Member& m = members[index.row()];
    const bool countProblem = index.column() == CountColumn && m.count <= 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() == NameColumn)
            return m.name;
        return m.count > 0 || role == Qt::EditRole ? QString::number(m.count) : QString();
    case ProblemRole:
    case Qt::ToolTipRole:
        if (countProblem)
            return QStringLiteral("构件数须大于 0");
        if (role == Qt::ToolTipRole && index.column() == NameColumn && !m.source.isEmpty())
            return m.source.contains(QLatin1String("column"))
                       ? QStringLiteral("由柱平法生成：Ctrl+K 修改，或“分离为普通钢筋行”后逐行修改")
                       : QStringLiteral(
                             "由梁平法生成：Ctrl+B 修改，或“分离为普通钢筋行”后逐行修改");
        return role == ProblemRole
                   ? QVariant()
                   : QVariant(headerData(index.column(), Qt::Horizontal, Qt::ToolTipRole));
    case Qt::BackgroundRole:
        return countProblem ? QVariant(listcolors::problem()) : QVariant();
    case Qt::FontRole:
        // Generated members in italics: their rows change only through their drawing.
        if (index.column() == NameColumn && !m.source.isEmpty()) {
            QFont f;
            f.setItalic(true);
            return f;
        }
        return {};
    case Qt::TextAlignmentRole:
        return index.column() == CountColumn
                   ? QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool MemberTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    CuttingList list = m_document->list();
    if (!index.isValid() || role != Qt::EditRole || index.row() >= list.members.size())
        return false;
    Member& m = list.members[index.row()];
    const QString text = value.toString().trimmed();
    if (index.column() == NameColumn) {
        m.name = text;
    } else {
        const std::optional<double> count = numbers::strictNumber(text);
        if (text.isEmpty()) {
            m.count = 0;
        } else if (!count || *count != std::floor(*count) || *count < 0 || *count > 1e9) {
            Q_EMIT entryRefused(QStringLiteral("构件数须为正整数"));
            return false;
        } else {
            m.count = static_cast<int>(*count);
        }
    }
    const ListCursor at{index.row(), -1, 0};
    m_document->change(index.column() == NameColumn ? QStringLiteral("修改构件名称")
                                                    : QStringLiteral("修改构件数"),
                       list, at, at);
    return true;
}

void MemberTableModel::sync() {
    const int members = static_cast<int>(m_document->list().members.size());
    if (members != m_members) {
        beginResetModel();
        m_members = members;
        endResetModel();
        return;
    }
    if (m_members > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_members - 1, ColumnCount - 1));
}
