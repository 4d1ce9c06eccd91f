#include "ui/schedule/plan_view.h"

// The 下料优化 page's offcut store (余料库): its file, whether a run takes
// offcuts from it and puts the kept ones in, and the store itself, edited
// in place.

#include "core/codes/steel_grades.h"
#include "core/numbers/number_reading.h"
#include "ui/form/feedback.h"
#include "ui/schedule/list_document.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The state before the origin: whether an offcut is still there matters most.
enum OffcutColumn { Length, Count, Grade, Diameter, State, Origin, ColumnCount };

QString originText(const offcuts::Offcut& o) {
    QStringList parts;
    if (!o.origin.list.isEmpty())
        parts << o.origin.list;
    if (!o.origin.members.isEmpty())
        parts << o.origin.members;
    if (o.added.isValid())
        parts << o.added.toString(Qt::ISODate);
    return parts.isEmpty() ? QStringLiteral("手工添加") : parts.join(QStringLiteral("，"));
}

QString stateText(const offcuts::Offcut& o) {
    if (!o.used)
        return QStringLiteral("未用");
    return o.usedBy.isEmpty() ? QStringLiteral("已用") : QStringLiteral("已用（%1）").arg(o.usedBy);
}

} // namespace

void PlanView::buildOffcutControls(QWidget* parent) {
    m_offcutBox = new QGroupBox(QStringLiteral("余料库"), parent);
    m_offcutBox->setObjectName(QStringLiteral("offcutStoreGroup"));
    m_storePath = new QLineEdit(m_offcutBox);
    m_storePath->setObjectName(QStringLiteral("offcutStorePath"));
    m_storePath->setAccessibleName(QStringLiteral("余料库文件"));
    m_storePath->setPlaceholderText(QStringLiteral("%1（下料单所在文件夹）")
                                        .arg(QString::fromUtf16(offcuts::kDefaultStoreName)));
    m_storePath->setToolTip(QStringLiteral("余料库文件；相对路径从下料单所在文件夹算起"));
    m_chooseStore = new QToolButton(m_offcutBox);
    m_chooseStore->setObjectName(QStringLiteral("chooseOffcutStore"));
    m_chooseStore->setText(QStringLiteral("选择…"));
    m_chooseStore->setAccessibleName(QStringLiteral("选择余料库文件"));
    m_useOffcuts = new QCheckBox(QStringLiteral("优先使用余料库中的余料(&Y)"), m_offcutBox);
    m_useOffcuts->setObjectName(QStringLiteral("useOffcuts"));
    m_useOffcuts->setToolTip(
        QStringLiteral("同牌号同直径的未用余料先于库存和新购原材料使用，不计费用"));
    m_storeOffcuts = new QCheckBox(QStringLiteral("方案中的余料存入余料库(&S)"), m_offcutBox);
    m_storeOffcuts->setObjectName(QStringLiteral("storeOffcuts"));
    m_storeOffcuts->setToolTip(
        QStringLiteral("计算出的方案中保留的余料（不短于“余料最短”）存入余料库；撤销方案时取回"));
    for (QCheckBox* box : {m_useOffcuts, m_storeOffcuts})
        connect(box, &QCheckBox::toggled, this, [this] {
            onPlanChanged();
            commitSettings();
        });
    connect(m_storePath, &QLineEdit::textChanged, this, [this] { onPlanChanged(); });
    connect(m_storePath, &QLineEdit::editingFinished, this, [this] {
        refreshOffcuts();
        commitSettings();
    });
    connect(m_chooseStore, &QToolButton::clicked, this, [this] {
        const QString current = offcutStorePath();
        const QString path =
            feedback::chooseFile(this, feedback::FileChoice::Save, QStringLiteral("余料库文件"),
                                 current.isEmpty() ? QDir::homePath() : current,
                                 QStringLiteral("余料库 (*.json);;所有文件 (*)"));
        if (path.isEmpty())
            return;
        // Beside the list: kept relative, so that the folder can move.
        const QString folder = QFileInfo(m_document->filePath()).absolutePath();
        const QString relative = QDir(folder).relativeFilePath(path);
        m_storePath->setText(!m_document->filePath().isEmpty() &&
                                     !relative.startsWith(QLatin1String(".."))
                                 ? relative
                                 : path);
        refreshOffcuts();
        commitSettings();
    });

    m_offcutTable = new QTableWidget(0, ColumnCount, m_offcutBox);
    m_offcutTable->setObjectName(QStringLiteral("offcutTable"));
    m_offcutTable->setAccessibleName(QStringLiteral("余料库中的余料"));
    m_offcutTable->setHorizontalHeaderLabels({QStringLiteral("长度 mm"), QStringLiteral("根数"),
                                              QStringLiteral("牌号"), QStringLiteral("直径"),
                                              QStringLiteral("状态"), QStringLiteral("来源")});
    m_offcutTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_offcutTable->horizontalHeader()->setStretchLastSection(true);
    m_offcutTable->verticalHeader()->hide();
    m_offcutTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_offcutTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_offcutTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_offcutTable->setMinimumHeight(fontMetrics().height() * 6);
    connect(m_offcutTable, &QTableWidget::cellChanged, this, &PlanView::onOffcutEdited);

    const auto button = [this](const char* name, const QString& text, const QString& accessible) {
        auto* b = new QToolButton(m_offcutBox);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setAccessibleName(accessible);
        return b;
    };
    m_addOffcut = button("addOffcut", QStringLiteral("添加余料"), QStringLiteral("添加余料"));
    m_removeOffcut =
        button("removeOffcut", QStringLiteral("删除余料"), QStringLiteral("删除所选余料"));
    m_markUnused =
        button("markOffcutUnused", QStringLiteral("标为未用"), QStringLiteral("所选余料标为未用"));
    m_reloadOffcuts =
        button("reloadOffcuts", QStringLiteral("重新读取"), QStringLiteral("重新读取余料库文件"));
    const auto selectedId = [this] {
        const int row = m_offcutTable->currentRow();
        const QTableWidgetItem* item = row >= 0 ? m_offcutTable->item(row, Length) : nullptr;
        return item ? item->data(Qt::UserRole).toString() : QString();
    };
    connect(m_addOffcut, &QToolButton::clicked, this, [this] {
        // A grade and diameter of the list to start from; edited in the table.
        const plans::ListPieces pieces = plans::piecesFromList(m_document->list());
        offcuts::Offcut o;
        o.id = offcuts::newId();
        o.length = 1000;
        o.grade = pieces.groups.isEmpty() ? QStringLiteral("HRB400") : pieces.groups[0].grade;
        o.diameter = pieces.groups.isEmpty() ? 20 : pieces.groups[0].diameter;
        o.added = QDate::currentDate();
        editStore([o](offcuts::Store& store) {
            store.entries << o;
            return QString();
        });
        m_offcutTable->setCurrentCell(m_offcutTable->rowCount() - 1, Length);
    });
    connect(m_removeOffcut, &QToolButton::clicked, this, [this, selectedId] {
        const QString id = selectedId();
        if (id.isEmpty())
            return;
        editStore([id](offcuts::Store& store) {
            store.entries.removeIf([&](const offcuts::Offcut& o) { return o.id == id; });
            return QString();
        });
    });
    connect(m_markUnused, &QToolButton::clicked, this, [this, selectedId] {
        const QString id = selectedId();
        if (id.isEmpty())
            return;
        editStore([id](offcuts::Store& store) {
            offcuts::Offcut* o = store.find(id);
            if (!o)
                return QStringLiteral("这根余料已不在余料库中");
            o->used = false;
            o->usedBy.clear();
            o->usedOn = QDate();
            return QString();
        });
    });
    connect(m_reloadOffcuts, &QToolButton::clicked, this, [this] { refreshOffcuts(); });
    // The default store sits beside the list: another list, another store.
    connect(m_document, &ListDocument::filePathChanged, this, [this] { refreshOffcuts(); });
    connect(m_document, &ListDocument::offcutStoreChanged, this,
            [this](const QString&, const QString& problem) {
                refreshOffcuts();
                if (!problem.isEmpty()) {
                    m_storeMessage->setText(problem);
                    Q_EMIT statusMessage(problem);
                }
            });

    m_storeMessage = new QLabel(m_offcutBox);
    m_storeMessage->setObjectName(QStringLiteral("offcutStoreMessage"));
    m_storeMessage->setWordWrap(true);

    auto* pathRow = new QHBoxLayout;
    auto* pathLabel = new QLabel(QStringLiteral("文件(&Q)："), m_offcutBox);
    pathLabel->setBuddy(m_storePath);
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_storePath, 1);
    pathRow->addWidget(m_chooseStore);
    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {m_addOffcut, m_removeOffcut, m_markUnused, m_reloadOffcuts})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(m_offcutBox);
    layout->addLayout(pathRow);
    layout->addWidget(m_useOffcuts);
    layout->addWidget(m_storeOffcuts);
    layout->addWidget(m_offcutTable, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_storeMessage);
}

QString PlanView::offcutStorePath() const {
    const QString name = m_storePath->text().trimmed();
    if (QDir::isAbsolutePath(name))
        return QDir::cleanPath(name);
    if (m_document->filePath().isEmpty())
        return {};
    return QDir(QFileInfo(m_document->filePath()).absolutePath())
        .filePath(name.isEmpty() ? QString::fromUtf16(offcuts::kDefaultStoreName) : name);
}

void PlanView::refreshOffcuts() {
    const QSignalBlocker quiet(m_offcutTable);
    const QString path = offcutStorePath();
    m_offcutTable->setRowCount(0);
    for (QWidget* w : {static_cast<QWidget*>(m_offcutTable), static_cast<QWidget*>(m_addOffcut),
                       static_cast<QWidget*>(m_removeOffcut), static_cast<QWidget*>(m_markUnused)})
        w->setEnabled(!path.isEmpty());
    if (path.isEmpty()) {
        m_storeMessage->setText(
            QStringLiteral("下料单尚未保存：保存后余料库在其所在文件夹，或选择余料库文件。"));
        return;
    }
    const offcuts::ReadStore read = offcuts::readStore(path);
    if (!read.store) {
        m_storeMessage->setText(read.error);
        return;
    }
    const QList<offcuts::Offcut>& entries = read.store->entries;
    m_offcutTable->setRowCount(int(entries.size()));
    long long unused = 0;
    for (int row = 0; row < entries.size(); ++row) {
        const offcuts::Offcut& o = entries[row];
        unused += o.used ? 0 : o.count;
        const QStringList cells{QString::number(o.length),
                                QString::number(o.count),
                                o.grade,
                                QString::number(o.diameter),
                                stateText(o),
                                originText(o)};
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            // Offcuts already used are a record: only 标为未用 changes them.
            if (o.used || c == Origin || c == State)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (o.used)
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            m_offcutTable->setItem(row, c, item);
        }
        m_offcutTable->item(row, Length)->setData(Qt::UserRole, o.id);
        m_offcutTable->item(row, Origin)
            ->setToolTip(o.origin.pattern.isEmpty()
                             ? originText(o)
                             : QStringLiteral("%1\n%2").arg(originText(o), o.origin.pattern));
    }
    m_storeMessage->setText(QFileInfo::exists(path)
                                ? QStringLiteral("%1：%2 条，未用 %3 根")
                                      .arg(QFileInfo(path).fileName())
                                      .arg(entries.size())
                                      .arg(unused)
                                : QStringLiteral("%1 尚未建立：方案中的余料存入时建立")
                                      .arg(QFileInfo(path).fileName()));
}

void PlanView::editStore(const std::function<QString(offcuts::Store&)>& edit) {
    const QString path = offcutStorePath();
    if (path.isEmpty())
        return;
    // Read again first: another list's window may have written it since.
    offcuts::ReadStore read = offcuts::readStore(path);
    QString problem = read.store ? edit(*read.store) : read.error;
    if (problem.isEmpty())
        if (const auto error = offcuts::writeStore(path, *read.store))
            problem = QStringLiteral("余料库文件写入失败：%1").arg(*error);
    refreshOffcuts();
    if (!problem.isEmpty()) {
        m_storeMessage->setText(problem);
        Q_EMIT statusMessage(problem);
    }
}

void PlanView::onOffcutEdited(int row, int column) {
    const QTableWidgetItem* key = m_offcutTable->item(row, Length);
    const QTableWidgetItem* cell = m_offcutTable->item(row, column);
    if (!key || !cell)
        return;
    const QString id = key->data(Qt::UserRole).toString();
    const QString text = cell->text().trimmed();
    // After the table's own signal has run its course: the edit rebuilds it.
    QMetaObject::invokeMethod(
        this, [this, id, column, text] { editOffcut(id, column, text); }, Qt::QueuedConnection);
}

void PlanView::editOffcut(const QString& id, int column, const QString& text) {
    editStore([id, column, text](offcuts::Store& store) {
        offcuts::Offcut* o = store.find(id);
        if (!o)
            return QStringLiteral("这根余料已不在余料库中");
        const std::optional<double> v = numbers::strictNumber(text);
        const bool whole = v && *v == std::floor(*v) && *v >= 1 && *v < 1e9;
        switch (column) {
        case Length:
            if (!whole)
                return QStringLiteral("余料长度“%1”应为正整数（mm）").arg(text);
            o->length = static_cast<long long>(*v);
            break;
        case Count:
            if (!whole)
                return QStringLiteral("余料根数“%1”应为正整数").arg(text);
            o->count = static_cast<long long>(*v);
            break;
        case Grade:
            if (!codes::gradeFromName(text))
                return QStringLiteral("未知的牌号“%1”").arg(text);
            o->grade = text.toUpper();
            break;
        case Diameter:
            if (!whole || *v > 100)
                return QStringLiteral("直径“%1”应为 1 到 100 的整数（mm）").arg(text);
            o->diameter = int(*v);
            break;
        default:
            break;
        }
        return QString();
    });
}
