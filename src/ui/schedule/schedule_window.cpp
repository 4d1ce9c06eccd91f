#include "ui/schedule/schedule_window.h"

// The cutting-list window: its actions, menus and what it shows as the
// list changes.

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
#include "ui/schedule/shop_output.h"
#include "ui/schedule/sketch_panel.h"
#include "ui/schedule/tag_output.h"
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
    // Files written from the list are offered beside it, under its name.
    const auto suggestedName = [this] {
        const QString& own = m_document->filePath();
        return own.isEmpty() ? suggestedDirectory() + QLatin1Char('/') + kUntitled
                             : QFileInfo(own).absolutePath() + QLatin1Char('/') +
                                   QFileInfo(own).completeBaseName();
    };
    m_output = new ListOutput(this, m_document, suggestedName);
    connect(m_output, &ListOutput::statusMessage, this, &ScheduleWindow::showStatus);
    m_shop =
        new ShopOutput(this, m_document, suggestedName, [this] { return m_output->pageChoice(); });
    connect(m_shop, &ShopOutput::statusMessage, this, &ScheduleWindow::showStatus);
    // Bundle tags (料牌), in the 加工 menu with the shop's other papers.
    // Their QR codes carry the lines of the list's BVBS file, as 加工 writes it.
    m_tags = new TagOutput(
        this, m_document, [suggestedName] { return suggestedName() + QStringLiteral("-料牌"); },
        [this] {
            const QString& own = m_document->filePath();
            return shop::BvbsSettings{
                m_shop->pinyin() ? shop::NonAsciiText::Pinyin : shop::NonAsciiText::Drop,
                own.isEmpty() ? QString() : QFileInfo(own).completeBaseName()};
        });
    connect(m_tags, &TagOutput::statusMessage, this, &ScheduleWindow::showStatus);

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
    m_beam = make("beamFromNotation", QStringLiteral("梁平法(&B)…"),
                  QKeySequence(QStringLiteral("Ctrl+B")), [this] { openBeam(); });
    m_beam->setToolTip(
        QStringLiteral("由梁的平法标注生成钢筋行；当前构件由梁平法生成时，打开它修改"));
    m_column = make("columnFromTables", QStringLiteral("柱平法(&C)…"),
                    QKeySequence(QStringLiteral("Ctrl+K")), [this] { openColumn(); });
    m_column->setToolTip(
        QStringLiteral("由柱的层高表和柱表逐层生成钢筋行；当前构件由柱平法生成时，打开它修改"));
    m_detach = make("detachMember", QStringLiteral("分离为普通钢筋行(&D)"), {},
                    [this] { detachMember(); });
    m_detach->setToolTip(QStringLiteral("不再随梁平法标注重新生成，此后可逐行手工修改"));
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
    members->addSeparator();
    members->addAction(m_beam);
    members->addAction(m_column);
    members->addAction(m_detach);

    bar->addMenu(m_shop->menu());
    m_shop->menu()->addSeparator();
    m_shop->menu()->addAction(m_tags->printAction());
    m_shop->menu()->addAction(m_tags->pdfAction());

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
    const auto& members = m_document->list().members;
    if (member < members.size() && !members[member].source.isEmpty() && !m_keepStatus)
        showStatus(
            QStringLiteral("%1 由梁平法生成：Ctrl+B 修改标注，或“分离为普通钢筋行”后逐行修改")
                .arg(members[member].name));
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
