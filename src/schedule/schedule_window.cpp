#include "schedule/schedule_window.h"

#include "codes/steel_grades.h"
#include "form/feedback.h"
#include "numbers/number_reading.h"
#include "numbers/number_text.h"
#include "schedule/csv.h"
#include "schedule/list_file.h"
#include "schedule/list_help.h"
#include "schedule/list_output.h"
#include "schedule/list_table_model.h"
#include "schedule/list_table_view.h"
#include "schedule/plan_view.h"
#include "schedule/row_columns.h"
#include "schedule/sketch_panel.h"

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

namespace {

const QString kListFilter = QStringLiteral("Corvala 下料单 (*.cvl)");
const QString kCsvFilter = QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)");
const QString kUntitled = QStringLiteral("未命名");
// Problems listed in a message at most; the rest are counted.
constexpr int kProblemsShown = 12;

CuttingList freshList() {
    CuttingList list;
    list.members << Member{QStringLiteral("构件1"), 1, {}};
    return list;
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

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

QString listedProblems(const QStringList& problems) {
    QStringList shown = problems.mid(0, kProblemsShown);
    if (problems.size() > kProblemsShown)
        shown << QStringLiteral("……另有 %1 处").arg(problems.size() - kProblemsShown);
    return shown.join(QLatin1Char('\n'));
}

} // namespace

ScheduleWindowOptions& ScheduleWindow::defaultOptions() {
    static ScheduleWindowOptions options;
    return options;
}

ScheduleWindow::ScheduleWindow(const ScheduleWindowOptions& options)
    : m_options(options), m_document(new ListDocument(this)),
      m_rowModel(new RowTableModel(m_document, this)),
      m_memberModel(new MemberTableModel(m_document, this)),
      m_autosave(options.autosaveDirectory.isEmpty() ? AutosaveStore::defaultDirectory()
                                                     : options.autosaveDirectory),
      m_recent(options.settingsFile) {
    setObjectName(QStringLiteral("ScheduleWindow"));
    buildActions();
    buildMenus();
    buildLayout();

    connect(m_document, &ListDocument::listChanged, this, &ScheduleWindow::onListChanged);
    connect(m_document, &ListDocument::filePathChanged, this, [this] { refreshTitle(); });
    connect(m_document->undoStack(), &QUndoStack::cleanChanged, this, [this](bool clean) {
        setWindowModified(!clean);
        if (clean) {
            // Back where the file is: no copy is needed.
            m_autosaveTimer.stop();
            m_autosave.remove();
        } else if (!m_autosaveTimer.isActive()) {
            m_autosaveTimer.start();
        }
    });
    m_autosaveTimer.setInterval(m_options.autosaveIntervalMs);
    connect(&m_autosaveTimer, &QTimer::timeout, this, &ScheduleWindow::autosaveNow);
    connect(m_rowModel, &RowTableModel::entryRefused, this, &ScheduleWindow::refuse);
    connect(m_memberModel, &MemberTableModel::entryRefused, this, &ScheduleWindow::refuse);

    m_document->replace(freshList(), {}, false);
    refreshTitle();
    refreshRecentMenu();
    // Wide enough for every column where the screen allows.
    const QRect screenArea = screen()->availableGeometry();
    resize(std::min(1360, screenArea.width() * 19 / 20),
           std::min(860, screenArea.height() * 19 / 20));
    m_table->setFocus(Qt::OtherFocusReason);
}

ScheduleWindow::~ScheduleWindow() {
    // The undo stack says it is clean as it goes; that is no clean close, and
    // the autosave copy stays.
    disconnect(m_document->undoStack(), nullptr, this, nullptr);
    disconnect(m_document, nullptr, this, nullptr);
}

void ScheduleWindow::setBarQuantitySource(BarQuantitySource source) {
    m_barSource = std::move(source);
    m_takeBar->setEnabled(static_cast<bool>(m_barSource));
}

void ScheduleWindow::buildActions() {
    const auto make = [this](const char* name, const QString& text, const QKeySequence& keys,
                             auto&& slot) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        if (!keys.isEmpty())
            action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    m_new = make("newList", QStringLiteral("新建(&N)"), QKeySequence::New, [this] { newList(); });
    m_open = make("openList", QStringLiteral("打开(&O)…"), QKeySequence::Open,
                  [this] { chooseAndOpen(); });
    m_save = make("saveList", QStringLiteral("保存(&S)"), QKeySequence::Save, [this] { save(); });
    m_saveAs = make("saveListAs", QStringLiteral("另存为(&A)…"),
                    QKeySequence(QStringLiteral("Ctrl+Shift+S")), [this] { saveAs(); });
    m_importCsv = make("importCsv", QStringLiteral("导入 CSV(&I)…"), {}, [this] { importCsv(); });
    m_exportCsv = make("exportCsv", QStringLiteral("导出 CSV(&E)…"), {}, [this] { exportCsv(); });
    m_close = make("closeList", QStringLiteral("关闭(&C)"), QKeySequence(QStringLiteral("Ctrl+W")),
                   [this] { close(); });
    m_output = new ListOutput(this, m_document, [this] {
        const QString& own = m_document->filePath();
        return own.isEmpty() ? suggestedDirectory() + QLatin1Char('/') + kUntitled
                             : QFileInfo(own).absolutePath() + QLatin1Char('/') +
                                   QFileInfo(own).completeBaseName();
    });
    connect(m_output, &ListOutput::statusMessage, this, &ScheduleWindow::showStatus);

    // Captions that stay put; what would be undone is in the tip.
    QUndoStack* stack = m_document->undoStack();
    m_undo = make("undo", QStringLiteral("撤销(&U)"), QKeySequence(QStringLiteral("Ctrl+Z")),
                  [stack] { stack->undo(); });
    m_redo = make("redo", QStringLiteral("重做(&R)"), QKeySequence(QStringLiteral("Ctrl+Y")),
                  [stack] { stack->redo(); });
    m_redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    connect(stack, &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
    connect(stack, &QUndoStack::undoTextChanged, m_undo, [this](const QString& text) {
        m_undo->setToolTip(text.isEmpty() ? QStringLiteral("撤销")
                                          : QStringLiteral("撤销：%1").arg(text));
    });
    connect(stack, &QUndoStack::redoTextChanged, m_redo, [this](const QString& text) {
        m_redo->setToolTip(text.isEmpty() ? QStringLiteral("重做")
                                          : QStringLiteral("重做：%1").arg(text));
    });

    m_copy =
        make("copyCells", QStringLiteral("复制(&C)"), QKeySequence::Copy, [this] { copyCells(); });
    m_paste = make("pasteCells", QStringLiteral("粘贴(&P)"), QKeySequence::Paste,
                   [this] { pasteCells(); });
    // Delete reaches the table itself (see ListTableView); the menu shows it.
    m_clear =
        make("clearCells", QStringLiteral("清除单元格(&L)\tDel"), {}, [this] { clearCells(); });
    m_insertRow = make("insertRow", QStringLiteral("插入行(&I)"),
                       QKeySequence(QStringLiteral("Ctrl+I")), [this] { insertRow(); });
    m_duplicateRow = make("duplicateRow", QStringLiteral("复制行(&D)"),
                          QKeySequence(QStringLiteral("Ctrl+D")), [this] { duplicateRows(); });
    m_deleteRow = make("deleteRow", QStringLiteral("删除行(&R)"),
                       QKeySequence(QStringLiteral("Ctrl+-")), [this] { deleteRows(); });
    m_rowUp = make("rowUp", QStringLiteral("上移行(&U)"), QKeySequence(QStringLiteral("Ctrl+Up")),
                   [this] { moveRow(-1); });
    m_rowDown = make("rowDown", QStringLiteral("下移行(&W)"),
                     QKeySequence(QStringLiteral("Ctrl+Down")), [this] { moveRow(1); });
    m_sortMark = make("sortByMark", QStringLiteral("按编号排序(&M)"), {},
                      [this] { sortRows(SortKey::Mark); });
    m_sortDiameter = make("sortByDiameter", QStringLiteral("按直径排序(&D)"), {},
                          [this] { sortRows(SortKey::Diameter); });
    m_sortLength = make("sortByLength", QStringLiteral("按下料长度排序，长的在前(&L)"), {},
                        [this] { sortRows(SortKey::CutLength); });
    m_takeBar = make("takeFromTessaro", QStringLiteral("从 Tessaro 取一行(&T)"),
                     QKeySequence(QStringLiteral("Ctrl+T")), [this] { takeFromBarQuantity(); });
    m_takeBar->setToolTip(
        QStringLiteral("按 Tessaro 页当前的钢筋直径、长度和数量新增一根直筋，不改动该页"));
    m_takeBar->setEnabled(false);
    m_addMember = make("addMember", QStringLiteral("新增构件(&N)"),
                       QKeySequence(QStringLiteral("Ctrl+M")), [this] { addMember(); });
    m_deleteMember =
        make("deleteMember", QStringLiteral("删除构件(&X)"), {}, [this] { deleteMember(); });
    m_memberUp = make("memberUp", QStringLiteral("上移构件(&U)"), {}, [this] { moveMember(-1); });
    m_memberDown =
        make("memberDown", QStringLiteral("下移构件(&W)"), {}, [this] { moveMember(1); });
    m_helpAction =
        make("listRules", QStringLiteral("下料规则(&R)"), QKeySequence::HelpContents, [this] {
            if (!m_help)
                m_help = new ListHelpWindow(this);
            m_help->show();
            m_help->raise();
            m_help->activateWindow();
        });
}

void ScheduleWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("scheduleMenuBar"));
    // The bar's own button for the menus a narrow window hides.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button")))
        more->setAccessibleName(QStringLiteral("更多菜单"));
    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(m_new);
    file->addAction(m_open);
    m_recentMenu = file->addMenu(QStringLiteral("最近的文件(&R)"));
    m_recentMenu->setObjectName(QStringLiteral("recentFiles"));
    file->addAction(m_save);
    file->addAction(m_saveAs);
    file->addSeparator();
    file->addAction(m_importCsv);
    file->addAction(m_exportCsv);
    file->addAction(m_output->pdfAction());
    file->addAction(m_output->excelAction());
    file->addSeparator();
    file->addAction(m_output->previewAction());
    file->addAction(m_output->printAction());
    file->addMenu(m_output->paperMenu());
    file->addSeparator();
    file->addAction(m_close);

    QMenu* edit = bar->addMenu(QStringLiteral("编辑(&E)"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(m_undo);
    edit->addAction(m_redo);
    edit->addSeparator();
    edit->addAction(m_copy);
    edit->addAction(m_paste);
    edit->addAction(m_clear);

    QMenu* rows = bar->addMenu(QStringLiteral("行(&R)"));
    rows->setObjectName(QStringLiteral("rowMenu"));
    rows->addAction(m_insertRow);
    rows->addAction(m_duplicateRow);
    rows->addAction(m_deleteRow);
    rows->addAction(m_rowUp);
    rows->addAction(m_rowDown);
    rows->addSeparator();
    rows->addAction(m_sortMark);
    rows->addAction(m_sortDiameter);
    rows->addAction(m_sortLength);
    rows->addSeparator();
    rows->addAction(m_takeBar);

    QMenu* members = bar->addMenu(QStringLiteral("构件(&M)"));
    members->setObjectName(QStringLiteral("memberMenu"));
    members->addAction(m_addMember);
    members->addAction(m_deleteMember);
    members->addAction(m_memberUp);
    members->addAction(m_memberDown);

    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(m_helpAction);

    QToolBar* tools = addToolBar(QStringLiteral("行"));
    tools->setObjectName(QStringLiteral("rowToolBar"));
    tools->setAccessibleName(QStringLiteral("行工具栏"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Short captions on the bar, without the menu's access keys.
    const std::pair<QAction*, const char*> captions[] = {{m_insertRow, "插入行"},
                                                         {m_duplicateRow, "复制行"},
                                                         {m_deleteRow, "删除行"},
                                                         {m_rowUp, "上移行"},
                                                         {m_rowDown, "下移行"},
                                                         {m_undo, "撤销"},
                                                         {m_redo, "重做"},
                                                         {m_sortMark, "按编号排序"},
                                                         {m_sortDiameter, "按直径排序"},
                                                         {m_sortLength, "按长度排序"},
                                                         {m_takeBar, "从 Tessaro 取一行"},
                                                         {m_addMember, "新增"},
                                                         {m_deleteMember, "删除"},
                                                         {m_memberUp, "上移"},
                                                         {m_memberDown, "下移"}};
    for (const auto& [action, caption] : captions)
        action->setIconText(QString::fromUtf8(caption));
    for (QAction* a : {m_insertRow, m_duplicateRow, m_deleteRow, m_rowUp, m_rowDown, m_undo, m_redo,
                       m_sortMark, m_sortDiameter, m_sortLength, m_takeBar}) {
        if (a == m_undo || a == m_sortMark || a == m_takeBar)
            tools->addSeparator();
        tools->addAction(a);
        QWidget* button = tools->widgetForAction(a);
        button->setObjectName(a->objectName() + QStringLiteral("Button"));
    }
    // The bar's own button for the commands a narrow window hides.
    if (auto* more = tools->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("更多行命令"));
}

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

// ---- the list as it changes ----

void ScheduleWindow::onListChanged(const ListCursor& at) {
    m_syncing = true;
    m_memberModel->sync();
    const int members = static_cast<int>(m_document->list().members.size());
    int member = at.member;
    if (member < 0 || member >= members)
        member = members == 0 ? -1 : std::clamp(m_rowModel->member(), 0, members - 1);
    m_rowModel->setMember(member);
    if (member >= 0 && m_members->currentIndex().row() != member)
        m_members->setCurrentIndex(m_memberModel->index(member, 0));
    if (at.row >= 0) {
        const QModelIndex cell =
            m_rowModel->index(std::min(at.row, m_rowModel->listRows()), at.column);
        if (m_table->currentIndex() != cell)
            m_table->setCurrentIndex(cell);
    } else if (!m_table->currentIndex().isValid()) {
        m_table->setCurrentIndex(m_rowModel->index(0, 0));
    }
    m_syncing = false;
    refreshSettings();
    refreshSummary();
    onCurrentCellChanged();
}

void ScheduleWindow::onMemberChosen(int member) {
    if (m_syncing || member < 0)
        return;
    m_rowModel->setMember(member);
    m_table->setCurrentIndex(m_rowModel->index(0, 0));
    onCurrentCellChanged();
}

void ScheduleWindow::onCurrentCellChanged() {
    refreshSketch();
    // A refusal stays in view past the move that follows it.
    if (std::exchange(m_keepStatus, false))
        return;
    const QModelIndex at = m_table->currentIndex();
    if (!at.isValid() || m_rowModel->isEntryRow(at.row())) {
        showStatus({});
        return;
    }
    const auto& results = m_document->computed().results;
    const int member = m_rowModel->member();
    if (member < 0 || member >= results.size() || at.row() >= results[member].size())
        return;
    const RowResult& r = results[member][at.row()];
    if (!r.problem) {
        showStatus({});
        return;
    }
    showStatus(QStringLiteral("第 %1 行 %2：%3")
                   .arg(at.row() + 1)
                   .arg(columnTitle(problemColumn(*r.problem)), r.problem->reason));
}

void ScheduleWindow::refreshTitle() {
    const QString& path = m_document->filePath();
    setWindowTitle(QStringLiteral("%1[*] - 钢筋下料单 - Corvala")
                       .arg(path.isEmpty() ? kUntitled : QFileInfo(path).fileName()));
    setWindowModified(m_document->isModified());
}

void ScheduleWindow::refreshSettings() {
    const ListSettings& s = m_document->list().settings;
    const QSignalBlocker a(m_seismic), b(m_rounding), c(m_defaultGrade);
    m_seismic->setChecked(s.seismic);
    m_rounding->setCurrentIndex(m_rounding->findData(static_cast<int>(s.rounding)));
    int grade = m_defaultGrade->findData(static_cast<int>(s.defaultGrade));
    if (grade < 0) {
        // A grade read from an older list that new rows are not offered.
        m_defaultGrade->addItem(codes::gradeName(s.defaultGrade), static_cast<int>(s.defaultGrade));
        grade = m_defaultGrade->count() - 1;
    }
    m_defaultGrade->setCurrentIndex(grade);
}

void ScheduleWindow::refreshSummary() {
    const ComputedList& c = m_document->computed();
    m_summary->setRowCount(static_cast<int>(c.summary.size()));
    int row = 0;
    for (const SummaryLine& line : c.summary) {
        const QStringList texts{
            codes::gradeName(line.grade),      QString::number(line.diameter),
            QString::number(line.bars),        fixedText(line.totalLengthMm, 3, 3),
            fixedText(line.totalMassMg, 6, 2), fixedText(line.totalMassMg, 9, 3)};
        for (int col = 0; col < texts.size(); ++col) {
            auto* item = new QTableWidgetItem(texts[col]);
            item->setTextAlignment(col < 1 ? Qt::AlignLeft | Qt::AlignVCenter
                                           : Qt::AlignRight | Qt::AlignVCenter);
            m_summary->setItem(row, col, item);
        }
        ++row;
    }
    // Below the table, so that it stays in view however many lines it has.
    m_grandTotal->setText(QStringLiteral("合计：%1 根，总长 %2 m，总质量 %3 kg（%4 t）")
                              .arg(c.bars)
                              .arg(fixedText(c.totalLengthMm, 3, 3), fixedText(c.totalMassMg, 6, 2),
                                   fixedText(c.totalMassMg, 9, 3)));
    qsizetype rows = 0;
    for (const Member& m : m_document->list().members)
        rows += m.rows.size();
    m_summaryNote->setText(c.rowsLeftOut == 0
                               ? QStringLiteral("全部 %1 行已计入合计。").arg(rows)
                               : QStringLiteral("有 %1 行有问题，未计入合计（共 %2 行）。")
                                     .arg(c.rowsLeftOut)
                                     .arg(rows));
    QPalette p = m_summaryNote->palette();
    p.setColor(QPalette::WindowText,
               c.rowsLeftOut == 0 ? palette().color(QPalette::WindowText) : QColor(180, 0, 0));
    m_summaryNote->setPalette(p);
}

void ScheduleWindow::refreshSketch() {
    const QModelIndex at = m_table->currentIndex();
    const int row = at.isValid() ? at.row() : m_rowModel->listRows();
    const RowResult* result = nullptr;
    const auto& results = m_document->computed().results;
    const int member = m_rowModel->member();
    if (!m_rowModel->isEntryRow(row) && member >= 0 && member < results.size() &&
        row < results[member].size())
        result = &results[member][row];
    m_sketch->showRow(m_rowModel->barRow(row), result, m_document->list().settings);
}

void ScheduleWindow::refreshRecentMenu() {
    m_recentMenu->clear();
    const QStringList files = m_recent.files();
    for (int i = 0; i < files.size(); ++i) {
        QAction* a = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
        a->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        a->setToolTip(nativePath(files[i]));
        a->setStatusTip(nativePath(files[i]));
        const QString path = files[i];
        connect(a, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    if (files.isEmpty())
        m_recentMenu->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

void ScheduleWindow::showStatus(const QString& text) {
    m_status->setText(text);
}

void ScheduleWindow::refuse(const QString& reason) {
    showStatus(reason);
    m_keepStatus = true;
    feedback::beep();
}

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
    const int m = m_rowModel->member();
    if (m < 0)
        return;
    CuttingList list = m_document->list();
    schedule::sortRows(list.members[m], key, m_document->computed().results.value(m));
    m_document->change(QStringLiteral("排序"), list, ListCursor{m, 0, cursor().column}, cursor());
}

void ScheduleWindow::clearCells() {
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

// ---- files ----

QString ScheduleWindow::suggestedDirectory() const {
    if (!m_document->filePath().isEmpty())
        return QFileInfo(m_document->filePath()).absolutePath();
    const QStringList recent = m_recent.files();
    if (!recent.isEmpty())
        return QFileInfo(recent.first()).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool ScheduleWindow::settleUnsaved() {
    if (!m_document->isModified())
        return true;
    const QString name =
        m_document->filePath().isEmpty() ? kUntitled : QFileInfo(m_document->filePath()).fileName();
    const int answer = feedback::ask(
        this, QStringLiteral("下料单“%1”有未保存的修改，是否保存？").arg(name),
        {QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")}, 2);
    if (answer == 0)
        return save();
    return answer == 1;
}

void ScheduleWindow::newList() {
    if (!settleUnsaved())
        return;
    m_planView->stopAndWait();
    m_autosave.remove();
    m_document->replace(freshList(), {}, false);
    showStatus(QStringLiteral("新建下料单"));
}

void ScheduleWindow::chooseAndOpen() {
    if (!settleUnsaved())
        return;
    const QString path =
        feedback::chooseFile(this, feedback::FileChoice::Open, QStringLiteral("打开下料单"),
                             suggestedDirectory(), kListFilter);
    if (!path.isEmpty())
        loadFile(path);
}

bool ScheduleWindow::openFile(const QString& path) {
    return settleUnsaved() && loadFile(path);
}

bool ScheduleWindow::loadFile(const QString& path) {
    // Read whole before anything open is touched: a file that fails leaves
    // the list as it was.
    const LoadedList loaded = loadListFile(path);
    if (!loaded.list) {
        feedback::message(this,
                          QStringLiteral("无法打开“%1”：\n%2").arg(nativePath(path), loaded.error));
        if (!QFileInfo::exists(path)) {
            m_recent.remove(path);
            refreshRecentMenu();
        }
        return false;
    }
    std::optional<plans::ListPlan> plan = readPlan(loaded, path);
    m_planView->stopAndWait();
    m_autosave.remove();
    m_document->replace(*loaded.list, QFileInfo(path).absoluteFilePath(), false, plan);
    if (plan)
        m_planView->setSettings(plan->settings);
    m_recent.add(path);
    refreshRecentMenu();
    showStatus(QStringLiteral("已打开 %1").arg(nativePath(path)));
    return true;
}

bool ScheduleWindow::save() {
    if (m_document->filePath().isEmpty())
        return saveAs();
    return writeTo(m_document->filePath());
}

bool ScheduleWindow::saveAs() {
    const QString suggested =
        m_document->filePath().isEmpty()
            ? suggestedDirectory() + QLatin1Char('/') + kUntitled + QStringLiteral(".cvl")
            : m_document->filePath();
    QString path = feedback::chooseFile(this, feedback::FileChoice::Save, QStringLiteral("另存为"),
                                        suggested, kListFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(kListFileSuffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + kListFileSuffix;
    return writeTo(path);
}

bool ScheduleWindow::writeTo(const QString& path) {
    if (const std::optional<QString> error =
            saveListFile(m_document->list(), path, planSection())) {
        feedback::message(this, QStringLiteral("无法保存“%1”：\n%2").arg(nativePath(path), *error));
        return false;
    }
    m_autosave.remove();
    m_document->setFilePath(QFileInfo(path).absoluteFilePath());
    m_document->undoStack()->setClean();
    m_recent.add(path);
    refreshRecentMenu();
    refreshTitle();
    showStatus(QStringLiteral("已保存 %1").arg(nativePath(path)));
    return true;
}

std::optional<plans::ListPlan> ScheduleWindow::readPlan(const LoadedList& loaded,
                                                        const QString& path) {
    const plans::LoadedPlan read = plans::planFromJson(loaded.plan);
    if (!read.error.isEmpty())
        feedback::message(this,
                          QStringLiteral("“%1”中保存的下料方案无法读取，已舍弃；下料单照常打开。"
                                         "\n%2")
                              .arg(nativePath(path), read.error));
    return read.plan;
}

QJsonObject ScheduleWindow::planSection() const {
    const std::optional<plans::ListPlan>& plan = m_document->plan();
    return plan ? plans::planToJson(*plan) : QJsonObject();
}

void ScheduleWindow::importCsv() {
    const QString path =
        feedback::chooseFile(this, feedback::FileChoice::Open, QStringLiteral("导入 CSV"),
                             suggestedDirectory(), kCsvFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        feedback::message(
            this, QStringLiteral("无法读取“%1”：\n%2").arg(nativePath(path), file.errorString()));
        return;
    }
    const CsvImport read = schedule::importCsv(file.readAll());
    if (!read.error.isEmpty()) {
        feedback::message(this,
                          QStringLiteral("无法导入“%1”：\n%2").arg(nativePath(path), read.error));
        return;
    }
    if (!read.problems.isEmpty()) {
        QStringList lines;
        for (const CsvProblem& p : read.problems)
            lines << QStringLiteral("第 %1 行：%2").arg(p.line).arg(p.reason);
        const int answer =
            feedback::ask(this,
                          QStringLiteral("“%1”中有 %2 行无法读取：\n%3\n\n是否导入其余 %4 行？")
                              .arg(QFileInfo(path).fileName())
                              .arg(read.problems.size())
                              .arg(listedProblems(lines))
                              .arg(read.rowsRead),
                          {QStringLiteral("导入其余"), QStringLiteral("取消")}, 1);
        if (answer != 0)
            return;
    }
    if (read.rowsRead == 0 || read.list.members.isEmpty()) {
        feedback::message(
            this, QStringLiteral("“%1”中没有可导入的钢筋行。").arg(QFileInfo(path).fileName()));
        return;
    }
    CuttingList list = m_document->list();
    // A new list's one empty member gives way to what is imported.
    if (list.members.size() == 1 && list.members.first() == freshList().members.first())
        list.members.clear();
    const int first = static_cast<int>(list.members.size());
    list.members += read.list.members;
    m_document->change(QStringLiteral("导入 CSV"), list, ListCursor{first, 0, 0}, cursor());
    showStatus(QStringLiteral("已导入 %1 行（%2 个构件）")
                   .arg(read.rowsRead)
                   .arg(read.list.members.size()));
}

void ScheduleWindow::exportCsv() {
    const QString& own = m_document->filePath();
    const QString suggested =
        own.isEmpty() ? suggestedDirectory() + QLatin1Char('/') + kUntitled + QStringLiteral(".csv")
                      : QFileInfo(own).absolutePath() + QLatin1Char('/') +
                            QFileInfo(own).completeBaseName() + QStringLiteral(".csv");
    QString path = feedback::chooseFile(this, feedback::FileChoice::Save,
                                        QStringLiteral("导出 CSV"), suggested, kCsvFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(schedule::exportCsv(m_document->list(), m_document->computed())) < 0 ||
        !file.commit()) {
        feedback::message(
            this, QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), file.errorString()));
        return;
    }
    showStatus(QStringLiteral("已导出 %1").arg(nativePath(path)));
}

// ---- autosave and closing ----

void ScheduleWindow::autosaveNow() {
    if (!m_document->isModified() || m_document->revision() == m_autosavedRevision)
        return;
    if (const std::optional<QString> error =
            m_autosave.write(m_document->list(), m_document->filePath(), planSection())) {
        showStatus(QStringLiteral("自动保存失败：%1").arg(*error));
        return;
    }
    m_autosavedRevision = m_document->revision();
}

void ScheduleWindow::offerRecovery() {
    for (const AutosaveStore::Entry& entry : m_autosave.entries()) {
        const QString name =
            entry.originalPath.isEmpty() ? kUntitled : nativePath(entry.originalPath);
        const int answer = feedback::ask(this,
                                         QStringLiteral("恢复未保存的下料单？\n\n%1\n自动保存于 %2")
                                             .arg(name, entry.saved.toLocalTime().toString(
                                                            QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                                         {QStringLiteral("恢复"), QStringLiteral("放弃")}, 1);
        if (answer != 0) {
            AutosaveStore::discard(entry);
            continue;
        }
        const LoadedList loaded = loadListFile(entry.copyPath);
        if (!loaded.list) {
            feedback::message(this,
                              QStringLiteral("无法恢复自动保存的下料单：\n%1").arg(loaded.error));
            continue;
        }
        std::optional<plans::ListPlan> plan = readPlan(loaded, entry.copyPath);
        m_planView->stopAndWait();
        m_document->replace(*loaded.list, entry.originalPath, true, plan);
        if (plan)
            m_planView->setSettings(plan->settings);
        m_autosave.adopt(entry);
        m_autosavedRevision = m_document->revision();
        showStatus(QStringLiteral("已恢复自动保存的下料单，尚未保存"));
        return;
    }
}

void ScheduleWindow::closeEvent(QCloseEvent* event) {
    if (!settleUnsaved()) {
        event->ignore();
        return;
    }
    m_planView->stopAndWait();
    const bool letGo = m_document->isModified();
    m_autosave.remove();
    // Changes let go are gone: the window opens again on a list as saved.
    if (letGo)
        m_document->replace(freshList(), {}, false);
    if (m_help)
        m_help->close();
    event->accept();
}
