#include "ui/schedule/schedule_window.h"

// The cutting-list window's layout: tables, sketch, summary and settings.

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

namespace {

// Column widths in digits of the table's font, so that a larger font or
// scale keeps the texts whole: room for the longest value a cell holds.
int columnWidth(Column column) {
    switch (column) {
    case Column::Mark:
    case Column::Lap:
    case Column::P:
    case Column::Mandrel:
        return 4;
    case Column::Shape:
        return 0; // as wide as the longest name
    case Column::Grade:
    case Column::BarMass:
        return 7;
    case Column::Diameter:
    case Column::Angle:
    case Column::N:
        return 3;
    case Column::CutLength:
        return 6;
    case Column::TotalLength:
        return 8;
    case Column::TotalMass:
        return 9;
    case Column::Note:
        return 10;
    default:
        return 5;
    }
}

} // namespace

void ScheduleWindow::buildLayout() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("scheduleClient"));
    setCentralWidget(client);

    // Members, left.
    auto* memberBox = new QGroupBox(QStringLiteral("构件"), client);
    memberBox->setObjectName(QStringLiteral("memberGroup"));
    m_members = new QTableView(memberBox);
    m_members->setObjectName(QStringLiteral("memberTable"));
    m_members->setAccessibleName(QStringLiteral("构件列表"));
    m_members->setModel(m_memberModel);
    m_members->setItemDelegate(new MemberDelegate(m_members));
    m_members->setSelectionMode(QAbstractItemView::SingleSelection);
    m_members->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed);
    m_members->verticalHeader()->hide();
    m_members->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_members->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_members->horizontalHeader()->resizeSection(
        1, fontMetrics().horizontalAdvance(QStringLiteral("数量数量")));
    auto* memberButtons = new QGridLayout;
    int place = 0;
    for (QAction* a : {m_addMember, m_deleteMember, m_memberUp, m_memberDown}) {
        auto* button = new QToolButton(memberBox);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setDefaultAction(a);
        button->setObjectName(a->objectName() + QStringLiteral("Button"));
        // The caption is short; the name says what is moved or removed.
        button->setAccessibleName(a->text().section(QLatin1Char('('), 0, 0));
        memberButtons->addWidget(button, place / 2, place % 2);
        ++place;
    }
    auto* memberLayout = new QVBoxLayout(memberBox);
    memberLayout->addWidget(m_members, 1);
    memberLayout->addLayout(memberButtons);
    connect(m_members->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { onMemberChosen(current.row()); });

    // Rows, right of the members.
    auto* rowArea = new QWidget(client);
    rowArea->setObjectName(QStringLiteral("rowArea"));
    m_table = new ListTableView(rowArea);
    m_table->setObjectName(QStringLiteral("rowTable"));
    m_table->setAccessibleName(QStringLiteral("钢筋行表"));
    m_table->setModel(m_rowModel);
    m_table->setItemDelegate(new RowDelegate(m_table));
    const int character = m_table->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    int names = 0;
    for (const ShapeInfo& shape : shapes())
        names = std::max(names, m_table->fontMetrics().horizontalAdvance(shape.name));
    const QFontMetrics headingFont(m_table->horizontalHeader()->font());
    for (int c = 0; c < kColumnCount; ++c) {
        const int chars = columnWidth(columnAt(c));
        int heading = 0;
        for (const QString& line : columnHeading(columnAt(c)).split(QLatin1Char('\n')))
            heading = std::max(heading, headingFont.horizontalAdvance(line));
        const int content = chars > 0 ? chars * character : names;
        m_table->horizontalHeader()->resizeSection(c,
                                                   std::max(content, heading) + character * 3 / 2);
    }
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { onCurrentCellChanged(); });
    connect(m_table, &ListTableView::clearRequested, this, [this] { clearCells(); });
    auto* note = new QLabel(
        QStringLiteral("表中长度为下料长度：按外包尺寸扣除弯曲调整值、加上弯钩增加长度所得的钢筋"
                       "中心线长度，不是预算长度（预算长度按外包尺寸加 11.9d 弯钩，不扣弯曲调整"
                       "值）。按 F1 查看规则。"),
        rowArea);
    note->setObjectName(QStringLiteral("cutLengthNote"));
    note->setWordWrap(true);
    auto* rowLayout = new QVBoxLayout(rowArea);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(m_table, 1);
    rowLayout->addWidget(note);

    auto* top = new QSplitter(Qt::Horizontal, client);
    top->setObjectName(QStringLiteral("topSplitter"));
    top->addWidget(memberBox);
    top->addWidget(rowArea);
    top->setStretchFactor(1, 1);
    top->setSizes({150, 1200});

    // Settings, sketch and summary, below.
    auto* settingsBox = new QGroupBox(QStringLiteral("设置"), client);
    settingsBox->setObjectName(QStringLiteral("settingsGroup"));
    m_seismic = new QCheckBox(QStringLiteral("抗震（弯钩平直段 10d，≥ 75 mm）"), settingsBox);
    m_seismic->setObjectName(QStringLiteral("seismic"));
    m_seismic->setAccessibleName(QStringLiteral("抗震：箍筋拉筋弯钩平直段取 10d 且不小于 75 mm"));
    m_rounding = new QComboBox(settingsBox);
    m_rounding->setObjectName(QStringLiteral("rounding"));
    m_rounding->setAccessibleName(QStringLiteral("下料长度取整"));
    for (const Rounding r : {Rounding::Millimetre1, Rounding::Millimetre5, Rounding::Millimetre10})
        m_rounding->addItem(QStringLiteral("%1 mm").arg(static_cast<int>(r)), static_cast<int>(r));
    m_defaultGrade = new QComboBox(settingsBox);
    m_defaultGrade->setObjectName(QStringLiteral("defaultGrade"));
    m_defaultGrade->setAccessibleName(QStringLiteral("新行的默认牌号"));
    for (const codes::SteelGrade g : codes::offeredGrades())
        m_defaultGrade->addItem(codes::gradeName(g), static_cast<int>(g));
    auto* settingsLayout = new QFormLayout(settingsBox);
    settingsLayout->addRow(m_seismic);
    auto* roundingLabel = new QLabel(QStringLiteral("下料长度取整(&R)："), settingsBox);
    roundingLabel->setBuddy(m_rounding);
    settingsLayout->addRow(roundingLabel, m_rounding);
    auto* gradeLabel = new QLabel(QStringLiteral("默认牌号(&G)："), settingsBox);
    gradeLabel->setBuddy(m_defaultGrade);
    settingsLayout->addRow(gradeLabel, m_defaultGrade);
    const auto changeSettings = [this](const QString& text, auto&& edit) {
        CuttingList list = m_document->list();
        edit(list.settings);
        m_document->change(text, list, cursor(), cursor());
    };
    connect(m_seismic, &QCheckBox::clicked, this, [changeSettings](bool on) {
        changeSettings(QStringLiteral("抗震设置"), [on](ListSettings& s) { s.seismic = on; });
    });
    connect(m_rounding, &QComboBox::activated, this, [this, changeSettings](int item) {
        const auto r = static_cast<Rounding>(m_rounding->itemData(item).toInt());
        changeSettings(QStringLiteral("取整设置"), [r](ListSettings& s) { s.rounding = r; });
    });
    connect(m_defaultGrade, &QComboBox::activated, this, [this, changeSettings](int item) {
        const auto g = static_cast<codes::SteelGrade>(m_defaultGrade->itemData(item).toInt());
        changeSettings(QStringLiteral("默认牌号"), [g](ListSettings& s) { s.defaultGrade = g; });
    });

    m_sketch = new SketchPanel(client);

    auto* summaryBox = new QGroupBox(QStringLiteral("汇总（按牌号和直径）"), client);
    summaryBox->setObjectName(QStringLiteral("summaryGroup"));
    m_summary = new QTableWidget(0, 6, summaryBox);
    m_summary->setObjectName(QStringLiteral("summaryTable"));
    m_summary->setAccessibleName(QStringLiteral("钢筋汇总表"));
    m_summary->setHorizontalHeaderLabels({QStringLiteral("牌号"), QStringLiteral("直径 mm"),
                                          QStringLiteral("根数"), QStringLiteral("总长 m"),
                                          QStringLiteral("总质量 kg"), QStringLiteral("总质量 t")});
    m_summary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_summary->verticalHeader()->hide();
    m_summary->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_summary->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grandTotal = new QLabel(summaryBox);
    m_grandTotal->setObjectName(QStringLiteral("grandTotal"));
    QFont bold = m_grandTotal->font();
    bold.setBold(true);
    m_grandTotal->setFont(bold);
    m_summaryNote = new QLabel(summaryBox);
    m_summaryNote->setObjectName(QStringLiteral("summaryNote"));
    auto* summaryLayout = new QVBoxLayout(summaryBox);
    summaryLayout->addWidget(m_summary, 1);
    summaryLayout->addWidget(m_grandTotal);
    summaryLayout->addWidget(m_summaryNote);

    auto* bottom = new QWidget(client);
    bottom->setObjectName(QStringLiteral("bottomArea"));
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(settingsBox, 0);
    bottomLayout->addWidget(m_sketch, 3);
    bottomLayout->addWidget(summaryBox, 4);

    // The list on one page, its cutting plan on the other.
    m_tabs = new QTabWidget(client);
    m_tabs->setObjectName(QStringLiteral("scheduleTabs"));
    m_tabs->setAccessibleName(QStringLiteral("下料单与下料优化"));
    auto* listPage = new QWidget(m_tabs);
    listPage->setObjectName(QStringLiteral("listPage"));
    auto* split = new QSplitter(Qt::Vertical, listPage);
    split->setObjectName(QStringLiteral("mainSplitter"));
    split->addWidget(top);
    split->addWidget(bottom);
    split->setStretchFactor(0, 1);
    split->setChildrenCollapsible(false);
    split->setSizes({470, 270});
    auto* listLayout = new QVBoxLayout(listPage);
    listLayout->setContentsMargins(4, 4, 4, 0);
    listLayout->addWidget(split);
    m_planView = new PlanView(m_document, m_tabs);
    m_tabs->addTab(listPage, QStringLiteral("下料单(&1)"));
    m_tabs->addTab(m_planView, QStringLiteral("下料优化(&2)"));
    connect(m_planView, &PlanView::statusMessage, this, [this](const QString& text) {
        m_keepStatus = true;
        showStatus(text);
    });
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->addWidget(m_tabs);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setAccessibleName(QStringLiteral("状态"));
    statusBar()->setObjectName(QStringLiteral("scheduleStatusBar"));
    statusBar()->addWidget(m_status, 1);
    setTabOrder(m_table, m_members);
}
