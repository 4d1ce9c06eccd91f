#pragma once

#include "core/offcuts/offcut_store.h"
#include "core/plans/list_plan.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class ListDocument;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QThread;
class QToolButton;

// The plan drawn: each group's bars to scale, greyed while out of date.
// Scrolls as one tall picture; every group painted by drawGroupPlan.
class PlanDrawing : public QWidget {
    Q_OBJECT
public:
    explicit PlanDrawing(QWidget* parent = nullptr);
    void setPlan(const std::optional<plans::ListPlan>& plan, bool greyed);
    bool isGreyed() const { return m_greyed; }
    // Where a group's drawing starts, in the widget's pixels.
    int groupTop(int group) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where each group starts and, last, the height of all of them.
    QList<double> groupTops(int width) const;
    int contentHeight(int width) const;

    std::optional<plans::ListPlan> m_plan;
    bool m_greyed = false;
};

// The cutting-plan page (下料优化) of the list's window: the settings of the
// next run, the list's lap inputs with each group's lap by the anchorage
// rules, the run itself off the GUI thread with its progress and a way to
// cancel, and the plan the document holds, drawn and summed up.
//
// Controls by object name:
//   stockTable, addStock, removeStock   stock lengths on offer, each with its
//                                       source (新购 / 库存, a stockSource box
//                                       in the row), an optional number of
//                                       bars available and a price
//   pricing                             不计价 / 按米计价 / 按根计价
//   kerf, keepOffcut                    mm lost per cut; shortest offcut kept
//   offcutStoreGroup                    the offcut store (余料库):
//     offcutStorePath, chooseOffcutStore   its file (default beside the list)
//     useOffcuts, storeOffcuts          offcuts offered first; kept ones stored
//     offcutTable, addOffcut, removeOffcut, markOffcutUnused, reloadOffcuts
//     offcutStoreMessage                what the store holds or why not
//   spliceKind, lapBasis, lapLength, lapDiameters   how long pieces are joined
//   concreteGrade, seismicGrade, percentLapped      the list's lap inputs
//   groupLaps                           each group's lap by the rules
//   runPlan, cancelPlan, planProgress   the run
//   planOutOfDate                       the banner shown while out of date
//   planMessage, planSummary, planTotal, planDrawing   the plan
class PlanView : public QWidget {
    Q_OBJECT
public:
    explicit PlanView(ListDocument* document, QWidget* parent = nullptr);
    ~PlanView() override;

    // The settings the next run takes, as the controls show them; the
    // reason where they cannot be used.
    plans::ListPlanSettings settings() const;
    QString settingsProblem() const;
    // The settings as the last step to undo left them: what the list keeps.
    const plans::ListPlanSettings& committedSettings() const { return m_committed; }
    // Shows `settings` as the next run's, as they are (no step to undo).
    void setSettings(const plans::ListPlanSettings& settings);

    // The offcut store's file as the settings name it, beside the list when
    // relative; empty where there is none (a relative name, list untitled).
    QString offcutStorePath() const;

    bool isRunning() const { return m_thread != nullptr; }
    // Starts a run of the list as it is now; false (and why, shown) when the
    // settings cannot be used or a run is going.
    bool run();
    void cancel();
    // Stops a run and waits for it, as the window closes.
    void stopAndWait();

Q_SIGNALS:
    // The run has ended: made a plan, or was cancelled.
    void runFinished(bool planned);
    void statusMessage(const QString& text);

private:
    // The progress bar's steps for a whole run.
    static constexpr int kProgressSteps = 1000;
    struct Run;

    void buildControls();
    // The values typed that cannot be used, without what the run needs
    // besides them (a folder for the offcut store).
    QString valuesProblem() const;
    // The settings as the user left them, as one step to undo where they
    // changed and can be used.
    void commitSettings();
    void buildOffcutControls(QWidget* parent);
    void onPlanChanged();
    void onListChanged();
    void refreshLapInputs();
    void refreshGroupLaps();
    void refreshLapControls();
    void refreshSummary();
    void onRunEnded();
    void addStockRow(const plans::StockLength& stock);
    void refreshPriceHeader();
    // The offcut store shown again as its file now holds it.
    void refreshOffcuts();
    // Reads the store, edits it and writes it back; the table follows.
    void editStore(const std::function<QString(offcuts::Store&)>& edit);
    void onOffcutEdited(int row, int column);
    void editOffcut(const QString& id, int column, const QString& text);

    ListDocument* m_document;
    std::shared_ptr<Run> m_run;
    QThread* m_thread = nullptr;
    QTimer m_progressDelay;
    double m_timeLimit = 2.0;            // per group; kept from the plan's settings, not offered
    plans::ListPlanSettings m_committed; // as the last step to undo left them

    QTableWidget* m_stock = nullptr;
    QComboBox* m_pricing = nullptr;
    QGroupBox* m_offcutBox = nullptr;
    QLineEdit* m_storePath = nullptr;
    QToolButton* m_chooseStore = nullptr;
    QCheckBox* m_useOffcuts = nullptr;
    QCheckBox* m_storeOffcuts = nullptr;
    QTableWidget* m_offcutTable = nullptr;
    QToolButton* m_addOffcut = nullptr;
    QToolButton* m_removeOffcut = nullptr;
    QToolButton* m_markUnused = nullptr;
    QToolButton* m_reloadOffcuts = nullptr;
    QLabel* m_storeMessage = nullptr;
    QToolButton* m_addStock = nullptr;
    QToolButton* m_removeStock = nullptr;
    QLineEdit* m_kerf = nullptr;
    QLineEdit* m_keepOffcut = nullptr;
    QComboBox* m_spliceKind = nullptr;
    QComboBox* m_lapBasis = nullptr;
    QLineEdit* m_lapLength = nullptr;
    QLineEdit* m_lapDiameters = nullptr;
    QComboBox* m_concrete = nullptr;
    QComboBox* m_seismicGrade = nullptr;
    QComboBox* m_percentLapped = nullptr;
    QCheckBox* m_olderCode = nullptr;
    QTableWidget* m_groupLaps = nullptr;
    QLabel* m_groupLapsNote = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_banner = nullptr;
    QLabel* m_message = nullptr;
    QTableWidget* m_summary = nullptr;
    QLabel* m_total = nullptr;
    QScrollArea* m_scroll = nullptr;
    PlanDrawing* m_drawing = nullptr;
};
