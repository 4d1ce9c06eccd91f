#pragma once

#include "core/schedule/autosave.h"
#include "core/schedule/list_edits.h"
#include "core/schedule/list_file.h"
#include "core/schedule/list_on_disk.h"
#include "core/schedule/recent_files.h"
#include "ui/schedule/bar_quantity_source.h"
#include "ui/schedule/list_document.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QTableView;
class QTableWidget;
class ListHelpWindow;
class ListOutput;
class TagOutput;
class ListTableView;
class MemberTableModel;
class PlanView;
class QTabWidget;
class RowTableModel;
class ShopOutput;
class SketchPanel;

// Where the window keeps what outlives it.
struct ScheduleWindowOptions {
    QString autosaveDirectory; // empty: AutosaveStore::defaultDirectory()
    int autosaveIntervalMs = 60'000;
    QString settingsFile; // empty: the user's settings
};

// The cutting-list window (钢筋下料单): members, their bar rows, the sketch
// of the current row, the summary by grade and diameter, the list's
// settings, its file, CSV in and out, and autosave.
//
// Controls by object name:
//   memberTable    the members (name, how many)
//   rowTable       the current member's rows; the last row is the entry row
//   sketchPanel    sketch, formula and cut length of the current row
//   summaryTable   totals by grade and diameter
//   grandTotal     the totals of the whole list
//   summaryNote    how many rows are left out of the totals
//   seismic, rounding, defaultGrade   the list's settings
//   statusLine     the current cell's problem or the last message
//   scheduleTabs   the list (listPage) and the cutting plan (planView, see
//                  plan_view.h)
class ScheduleWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ScheduleWindow(const ScheduleWindowOptions& options = defaultOptions());
    ~ScheduleWindow() override;

    // The options a window opened from the main window's menu takes.
    static ScheduleWindowOptions& defaultOptions();

    ListDocument* document() { return m_document; }
    RowTableModel* rowModel() { return m_rowModel; }
    ListTableView* rowTable() { return m_table; }
    ListOutput* output() { return m_output; }
    ShopOutput* shopOutput() { return m_shop; }
    TagOutput* tagOutput() { return m_tags; }
    void setBarQuantitySource(BarQuantitySource source);
    PlanView* planView() { return m_planView; }

    // Offers back the lists an earlier run left unsaved, newest first, until
    // one is taken; those declined are discarded. The copy of the one taken
    // stays until the list is saved or the copy is given up at a later start.
    void offerRecovery();
    // Opens a list file, asking first about unsaved changes; false when it
    // was not opened (the reason has been shown). The list just recovered
    // from its autosave copy, asked for by its file, stays as recovered.
    bool openFile(const QString& path);
    // Writes the autosave copy now, if there are unsaved changes.
    void autosaveNow();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildLayout();

    void onListChanged(const ListCursor& cursor);
    void onCurrentCellChanged();
    void onMemberChosen(int member);
    void refreshTitle();
    void refreshSettings();
    void refreshSummary();
    void refreshSketch();
    void refreshRecentMenu();
    void showStatus(const QString& text);
    void refuse(const QString& reason);

    ListCursor cursor() const;
    QList<int> selectedListRows() const;
    // The list with at least one member, and the index of the current one.
    std::pair<schedule::CuttingList, int> listWithMember() const;

    void insertRow();
    void duplicateRows();
    void deleteRows();
    void moveRow(int step);
    void sortRows(schedule::SortKey key);
    void clearCells();
    void copyCells();
    void pasteCells();
    void takeFromBarQuantity();
    // A beam from its flat-method annotation: a new member, or the current
    // one when it was generated from a beam. One undo step either way.
    void openBeam();
    void openColumn();
    template <typename Kind> void openGenerated();
    void detachMember();
    // Rows generated from a member's drawing change only through it: true,
    // with the reason shown, when the current member's rows are such.
    bool refuseGeneratedRows();
    void addMember();
    void deleteMember();
    void moveMember(int step);

    void newList();
    void chooseAndOpen();
    bool loadFile(const QString& path);
    bool save();
    bool saveAs();
    bool writeTo(const QString& path);
    // The plan saved with a list read from `path`; a plan that cannot be read
    // is dropped with a message, and the list opens all the same.
    std::optional<plans::ListPlan> readPlan(const schedule::LoadedList& loaded,
                                            const QString& path);
    QJsonObject planSection() const;
    // The next plan's settings for the file, where they are not the plan's.
    QJsonObject planSettingsSection() const;
    // The settings a list read from `path` brings to the plan page: its own
    // next settings, else its plan's; the rest stay as they are.
    void showPlanSettings(const schedule::LoadedList& loaded,
                          const std::optional<plans::ListPlan>& plan, const QString& path);
    void importCsv();
    void exportCsv();
    // Asks about unsaved changes; false when the user cancels.
    bool settleUnsaved();
    // The autosave copy once the list it kept is saved or let go; a
    // recovered copy not saved yet is kept for the next start.
    void letGoOfAutosave();
    // When the list's file was written by someone else since it was read
    // and the list here has no changes, offers to read it again.
    void checkFileOnDisk();
    QString suggestedDirectory() const;

    ScheduleWindowOptions m_options;
    ListDocument* m_document;
    RowTableModel* m_rowModel;
    MemberTableModel* m_memberModel;
    AutosaveStore m_autosave;
    RecentFiles m_recent;
    QTimer m_autosaveTimer;
    int m_autosavedRevision = -1;
    bool m_keepRecoveredCopy = false;
    schedule::DiskStamp m_diskStamp;      // the list's file as last read or written here
    schedule::DiskStamp m_reloadDeclined; // the file's change not to ask about again
    schedule::ListInUse m_inUse;
    bool m_checkingDisk = false;
    BarQuantitySource m_barSource;
    bool m_syncing = false;
    bool m_keepStatus = false;

    ListTableView* m_table = nullptr;
    QTableView* m_members = nullptr;
    SketchPanel* m_sketch = nullptr;
    QTableWidget* m_summary = nullptr;
    QLabel* m_grandTotal = nullptr;
    QLabel* m_summaryNote = nullptr;
    QLabel* m_status = nullptr;
    QCheckBox* m_seismic = nullptr;
    QComboBox* m_rounding = nullptr;
    QComboBox* m_defaultGrade = nullptr;
    QMenu* m_recentMenu = nullptr;
    QTabWidget* m_tabs = nullptr;
    PlanView* m_planView = nullptr;
    QPointer<ListHelpWindow> m_help;
    ListOutput* m_output = nullptr;
    ShopOutput* m_shop = nullptr; // the 加工 menu: BVBS and the cutting sheet
    TagOutput* m_tags = nullptr;

    QAction* m_new = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_importCsv = nullptr;
    QAction* m_exportCsv = nullptr;
    QAction* m_close = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_clear = nullptr;
    QAction* m_insertRow = nullptr;
    QAction* m_duplicateRow = nullptr;
    QAction* m_deleteRow = nullptr;
    QAction* m_rowUp = nullptr;
    QAction* m_rowDown = nullptr;
    QAction* m_sortMark = nullptr;
    QAction* m_sortDiameter = nullptr;
    QAction* m_sortLength = nullptr;
    QAction* m_takeBar = nullptr;
    QAction* m_addMember = nullptr;
    QAction* m_deleteMember = nullptr;
    QAction* m_memberUp = nullptr;
    QAction* m_memberDown = nullptr;
    QAction* m_beam = nullptr;
    QAction* m_column = nullptr;
    QAction* m_detach = nullptr;
    QAction* m_helpAction = nullptr;
};
