#include "ui/schedule/plan_view.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "drawing/plans/plan_drawing.h"
#include "ui/schedule/list_document.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QToolButton>
#include <QUndoCommand>
#include <QVBoxLayout>

#include <cmath>

using plans::LapBasis;
using plans::SpliceKind;

namespace {

// The progress bar shows only for runs longer than a moment.
constexpr int kProgressDelayMs = 300;
// Space around and between the groups of the drawing, in the font's lines.
constexpr double kMarginLines = 0.8;
constexpr double kGroupGapLines = 1.5;

QString settingsText(const plans::ListPlan& plan) {
    const plans::ListPlanSettings& s = plan.settings;
    const QString unit =
        s.pricing == plans::Pricing::PerBar ? QStringLiteral("元/根") : QStringLiteral("元/米");
    QStringList stock;
    for (const plans::StockLength& length : s.stock) {
        QStringList notes;
        if (length.source == plans::StockSource::OnHand)
            notes << QStringLiteral("库存");
        if (length.available)
            notes << QStringLiteral("%1 根").arg(*length.available);
        if (s.pricing != plans::Pricing::None && length.source == plans::StockSource::Bought)
            notes << QStringLiteral("%1 %2").arg(
                plans::yuanText(length.price * plans::kCostUnitsPerYuan), unit);
        stock << (notes.isEmpty() ? QStringLiteral("%1 mm").arg(length.length)
                                  : QStringLiteral("%1 mm（%2）")
                                        .arg(length.length)
                                        .arg(notes.join(QStringLiteral("，"))));
    }
    QStringList more;
    if (s.pricing == plans::Pricing::PerMetre)
        more << QStringLiteral("按米计价");
    if (s.pricing == plans::Pricing::PerBar)
        more << QStringLiteral("按根计价");
    if (s.useOffcuts)
        more << QStringLiteral("优先使用余料库中的余料");
    if (s.storeOffcuts)
        more << QStringLiteral("余料存入余料库");
    QString splice;
    switch (s.splice) {
    case SpliceKind::None:
        splice = QStringLiteral("不接长");
        break;
    case SpliceKind::Coupler:
        splice = QStringLiteral("机械连接或焊接");
        break;
    case SpliceKind::Lap:
        switch (s.lapBasis) {
        case LapBasis::Length:
            splice = QStringLiteral("搭接 %1 mm").arg(numbers::generalNumberText(s.lapLength));
            break;
        case LapBasis::Diameters:
            splice = QStringLiteral("搭接 %1d").arg(numbers::generalNumberText(s.lapDiameters));
            break;
        case LapBasis::Rules:
            splice = QStringLiteral("搭接按锚固规范（%1，%2，接头面积百分率 %3%%4）")
                         .arg(codes::concreteGradeName(plan.concrete),
                              codes::seismicGradeName(plan.seismicGrade),
                              numbers::generalNumberText(plan.percentLapped),
                              plan.concreteCode == codes::ConcreteCode::Gb50010
                                  ? QStringLiteral("，混凝土等级下限按 GB 50010-2010 旧规")
                                  : QString());
            break;
        }
        break;
    }
    QString text = QStringLiteral("原材料 %1；锯口 %2 mm；%3；%4")
                       .arg(stock.join(QStringLiteral("、")))
                       .arg(s.kerf)
                       .arg(s.keepOffcut > 0 ? QStringLiteral("余料不短于 %1 mm").arg(s.keepOffcut)
                                             : QStringLiteral("不留余料"))
                       .arg(splice);
    for (const QString& m : more)
        text += QStringLiteral("；") + m;
    return text;
}

QTableWidgetItem* readOnly(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// A change of the next run's settings, undone by showing those before it.
// The first redo is the change the user has just made: nothing to show.
class SettingsChange : public QUndoCommand {
public:
    SettingsChange(PlanView* view, plans::ListPlanSettings before, plans::ListPlanSettings after)
        : QUndoCommand(QStringLiteral("下料设置")), m_view(view), m_before(std::move(before)),
          m_after(std::move(after)) {}

    void undo() override {
        if (m_view)
            m_view->setSettings(m_before);
    }
    void redo() override {
        if (std::exchange(m_made, true) && m_view)
            m_view->setSettings(m_after);
    }

private:
    QPointer<PlanView> m_view;
    plans::ListPlanSettings m_before;
    plans::ListPlanSettings m_after;
    bool m_made = false;
};

} // namespace

void PlanView::commitSettings() {
    // A value half typed or out of place is not a step: the last good
    // settings stay the ones undo goes back to.
    if (!valuesProblem().isEmpty())
        return;
    const plans::ListPlanSettings now = settings();
    if (now == m_committed)
        return;
    m_document->undoStack()->push(new SettingsChange(this, m_committed, now));
    m_committed = now;
}

// ---- the drawing ----

PlanDrawing::PlanDrawing(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("planDrawing"));
    setAccessibleName(QStringLiteral("下料方案图"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PlanDrawing::setPlan(const std::optional<plans::ListPlan>& plan, bool greyed) {
    m_plan = plan;
    m_greyed = greyed;
    setFixedHeight(contentHeight(width()));
    update();
}

QSize PlanDrawing::sizeHint() const {
    return QSize(800, contentHeight(800));
}

QList<double> PlanDrawing::groupTops(int width) const {
    QList<double> tops;
    const double line = QFontMetricsF(font()).height();
    const double margin = line * kMarginLines;
    double y = margin;
    if (m_plan)
        for (const plans::GroupPlan& group : m_plan->plan.groups) {
            tops << y;
            y += schedule::drawGroupPlan(nullptr, font(),
                                         QRectF(margin, y, std::max(1.0, width - 2 * margin), 0),
                                         group) +
                 line * kGroupGapLines;
        }
    tops << y;
    return tops;
}

int PlanDrawing::contentHeight(int width) const {
    return m_plan ? int(std::ceil(groupTops(width).last())) : 0;
}

int PlanDrawing::groupTop(int group) const {
    const QList<double> tops = groupTops(width());
    return group >= 0 && group < tops.size() - 1 ? int(tops[group]) : 0;
}

void PlanDrawing::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Words wrap at another width: the height follows.
    const int height = contentHeight(width());
    if (height != this->height())
        setFixedHeight(height);
}

void PlanDrawing::paintEvent(QPaintEvent* event) {
    if (!m_plan)
        return;
    QPainter painter(this);
    const double margin = QFontMetricsF(font()).height() * kMarginLines;
    schedule::PatternDrawingOptions options;
    options.kerf = m_plan->settings.kerf;
    options.greyed = m_greyed;
    // Only the groups in the part shown: a long plan scrolls smoothly.
    const QList<double> tops = groupTops(width());
    const QRect exposed = event->rect();
    for (int g = 0; g < m_plan->plan.groups.size(); ++g)
        if (tops[g + 1] >= exposed.top() && tops[g] <= exposed.bottom())
            schedule::drawGroupPlan(&painter, font(),
                                    QRectF(margin, tops[g], width() - 2 * margin, 0),
                                    m_plan->plan.groups[g], options);
}

// ---- the run ----

// What one run works on and gives back. The solving thread reads the list
// and settings and writes the plan; the GUI reads the plan only after the
// thread has finished. Progress and cancel cross as atomics.
struct PlanView::Run {
    schedule::CuttingList list;
    plans::ListPlanSettings settings;
    plans::OffcutsOnOffer offcuts; // the store's unused offcuts when the run began
    QString store;                 // the store's file; empty: none
    std::atomic<bool> cancel{false};
    std::atomic<int> progress{0}; // of kProgressSteps
    plans::ListPlan result;
};

PlanView::PlanView(ListDocument* document, QWidget* parent)
    : QWidget(parent), m_document(document) {
    setObjectName(QStringLiteral("planView"));
    buildControls();
    m_progressDelay.setSingleShot(true);
    m_progressDelay.setInterval(kProgressDelayMs);
    connect(&m_progressDelay, &QTimer::timeout, this, [this] {
        if (isRunning())
            m_progress->show();
    });
    connect(m_document, &ListDocument::planChanged, this, &PlanView::onPlanChanged);
    connect(m_document, &ListDocument::listChanged, this, [this] { onListChanged(); });
    onListChanged();
    onPlanChanged();
}

PlanView::~PlanView() {
    stopAndWait();
}

// ---- the list's lap inputs and each group's lap ----

void PlanView::refreshLapControls() {
    const auto splice = static_cast<SpliceKind>(m_spliceKind->currentData().toInt());
    const auto basis = static_cast<LapBasis>(m_lapBasis->currentData().toInt());
    const bool lapped = splice == SpliceKind::Lap;
    m_lapBasis->setEnabled(lapped);
    m_lapLength->setVisible(lapped && basis == LapBasis::Length);
    m_lapDiameters->setVisible(lapped && basis == LapBasis::Diameters);
    const bool byRules = lapped && basis == LapBasis::Rules;
    for (QWidget* w : {static_cast<QWidget*>(m_concrete), static_cast<QWidget*>(m_seismicGrade),
                       static_cast<QWidget*>(m_percentLapped), static_cast<QWidget*>(m_olderCode),
                       static_cast<QWidget*>(m_groupLaps)})
        w->setEnabled(byRules);
}

void PlanView::refreshLapInputs() {
    const schedule::ListSettings& s = m_document->list().settings;
    const QSignalBlocker a(m_concrete), b(m_seismicGrade), c(m_percentLapped), d(m_olderCode);
    m_olderCode->setChecked(s.concreteCode == codes::ConcreteCode::Gb50010);
    m_concrete->setCurrentIndex(m_concrete->findData(s.concrete));
    m_seismicGrade->setCurrentIndex(m_seismicGrade->findData(int(s.seismicGrade)));
    int percent = m_percentLapped->findData(s.percentLapped);
    if (percent < 0) {
        // A share typed into the file by hand: offered as it is.
        m_percentLapped->addItem(
            QStringLiteral("%1%").arg(numbers::generalNumberText(s.percentLapped)),
            s.percentLapped);
        percent = m_percentLapped->count() - 1;
    }
    m_percentLapped->setCurrentIndex(percent);
}

void PlanView::refreshGroupLaps() {
    const schedule::CuttingList& list = m_document->list();
    const plans::ListPieces pieces = plans::piecesFromList(list);
    const plans::ListPlanSettings next = settings();
    long long longest = 0;
    for (const plans::StockLength& s : next.stock)
        longest = std::max(longest, s.length);
    m_groupLaps->setRowCount(int(pieces.groups.size()));
    int row = 0;
    int refused = 0;
    for (const plans::PieceGroup& group : pieces.groups) {
        const plans::GroupLap lap = plans::lapByRules(group.grade, group.diameter, list.settings);
        bool needed = false;
        for (const plans::Piece& p : group.pieces)
            needed = needed || p.length > longest;
        plans::GroupPlan title;
        title.grade = group.grade;
        title.diameter = group.diameter;
        QString text;
        if (lap.lapMm) {
            text = QStringLiteral("%1 = %2d = %3 mm")
                       .arg(lap.llE ? QStringLiteral("llE") : QStringLiteral("ll"))
                       .arg(lap.multiple)
                       .arg(*lap.lapMm);
            if (*lap.lapMm != lap.multiple * group.diameter)
                text =
                    QStringLiteral("%1 mm（%2d，不小于 300 mm）").arg(*lap.lapMm).arg(lap.multiple);
        } else {
            text = lap.objection;
            if (needed)
                ++refused;
        }
        if (needed)
            text += QStringLiteral("（有超长料，需接长）");
        m_groupLaps->setItem(row, 0, readOnly(schedule::groupTitle(title)));
        m_groupLaps->setItem(row, 1, readOnly(text));
        m_groupLaps->item(row, 1)->setToolTip(text);
        if (!lap.lapMm)
            m_groupLaps->item(row, 1)->setForeground(QColor(0xb0, 0x10, 0x10));
        ++row;
    }
    QString note = QStringLiteral("%1，%2，接头面积百分率 %3%：按 22G101-1 的表值取 ll（非抗震）或 "
                                  "llE，且不小于 300 mm；混凝土强度等级下限按 %4。")
                       .arg(codes::concreteGradeName(list.settings.concrete),
                            codes::seismicGradeName(list.settings.seismicGrade),
                            numbers::generalNumberText(list.settings.percentLapped),
                            codes::concreteCodeClause(list.settings.concreteCode));
    if (refused > 0)
        note += QStringLiteral("有 %1 组需要接长却无法确定搭接长度，这些组不能下料。").arg(refused);
    m_groupLapsNote->setText(note);
}

// ---- the plan ----

void PlanView::onListChanged() {
    refreshLapInputs();
    refreshGroupLaps();
}

void PlanView::onPlanChanged() {
    const std::optional<plans::ListPlan>& plan = m_document->plan();
    const bool outOfDate = plan && m_document->isPlanOutOfDate();
    m_banner->setVisible(outOfDate);
    m_drawing->setPlan(plan, outOfDate);
    refreshSummary();
    QStringList message;
    if (!plan) {
        message << QStringLiteral("尚未计算下料方案。设置原材料和接头方式后，点击“计算”。");
    } else {
        message << QStringLiteral("本方案按：%1").arg(settingsText(*plan));
        if (plan->rowsLeftOut > 0)
            message
                << QStringLiteral("下料单中有 %1 行有问题，未计入本方案。").arg(plan->rowsLeftOut);
        if (plan->plan.groups.isEmpty())
            message << QStringLiteral("下料单中没有可下料的钢筋行。");
        if (plan->settings != settings())
            message << QStringLiteral(
                "左侧的下料设置已改动，与本方案所用的不同；点击“计算”按新设置重新计算。");
    }
    m_message->setText(message.join(QLatin1Char('\n')));
}

void PlanView::refreshSummary() {
    const std::optional<plans::ListPlan>& plan = m_document->plan();
    const QList<plans::GroupPlan> groups = plan ? plan->plan.groups : QList<plans::GroupPlan>{};
    m_summary->setRowCount(int(groups.size()));
    const QColor faded = palette().color(QPalette::Disabled, QPalette::Text);
    const bool outOfDate = plan && m_document->isPlanOutOfDate();
    int row = 0;
    for (const plans::GroupPlan& g : groups) {
        QStringList cells{schedule::groupTitle(g)};
        if (g.error.isEmpty())
            cells << schedule::stockToBuyText(g) << schedule::metresText(g.stockLength)
                  << schedule::metresText(g.piecesLength) << schedule::metresText(g.keptOffcut)
                  << schedule::metresText(g.waste) << schedule::utilisationText(g.utilisation)
                  << schedule::optimalityText(g);
        else
            cells << QString() << QString() << QString() << QString() << QString() << QString()
                  << QStringLiteral("无法下料：%1").arg(g.error);
        for (int c = 0; c < cells.size(); ++c) {
            QTableWidgetItem* item = readOnly(cells[c]);
            if (outOfDate)
                item->setForeground(faded);
            else if (!g.error.isEmpty() && c == cells.size() - 1)
                item->setForeground(QColor(0xb0, 0x10, 0x10));
            m_summary->setItem(row, c, item);
        }
        ++row;
    }
    if (!plan || groups.isEmpty()) {
        m_total->clear();
        return;
    }
    const plans::Plan& p = plan->plan;
    int failed = 0;
    for (const plans::GroupPlan& g : groups)
        failed += g.error.isEmpty() ? 0 : 1;
    QString total =
        QStringLiteral("合计：原材料总长 %1，料长 %2，余料 %3，废料 %4，利用率 %5")
            .arg(schedule::metresText(p.stockLength), schedule::metresText(p.piecesLength),
                 schedule::metresText(p.keptOffcut), schedule::metresText(p.waste),
                 schedule::utilisationText(p.utilisation));
    if (plan->settings.pricing != plans::Pricing::None)
        total += QStringLiteral("，费用 %1").arg(schedule::yuanAmountText(double(p.cost)));
    if (failed > 0)
        total += QStringLiteral("（另有 %1 组无法下料，未计入）").arg(failed);
    m_total->setText(total);
    // Greyed with the rest of a plan out of date.
    m_total->setEnabled(!outOfDate);
}

// ---- running ----

bool PlanView::run() {
    if (isRunning())
        return false;
    if (const QString problem = settingsProblem(); !problem.isEmpty()) {
        Q_EMIT statusMessage(
            QStringLiteral("无法计算：%1").arg(problem.section(QLatin1Char('\n'), 0, 0)));
        m_message->setText(QStringLiteral("无法计算下料方案：\n%1").arg(problem));
        return false;
    }
    const plans::ListPlanSettings next = settings();
    const QString store = next.useOffcuts || next.storeOffcuts ? offcutStorePath() : QString();
    plans::OffcutsOnOffer offer;
    if (next.useOffcuts) {
        const offcuts::ReadStore read = offcuts::readStore(store);
        if (!read.store) {
            Q_EMIT statusMessage(QStringLiteral("无法计算：%1").arg(read.error));
            m_message->setText(QStringLiteral("无法计算下料方案：\n%1").arg(read.error));
            return false;
        }
        offer = offcuts::offcutsOnOffer(*read.store);
    }
    m_run = std::make_shared<Run>();
    m_run->list = m_document->list();
    m_run->settings = next;
    m_run->offcuts = offer;
    m_run->store = store;
    const std::shared_ptr<Run> run = m_run;
    m_thread = QThread::create([run, this] {
        plans::PlanControl control;
        control.cancel = &run->cancel;
        control.progress = [run, this](const plans::PlanProgress& p) {
            const int step = p.groups > 0 ? int(std::lround((double(p.group) + p.fraction) /
                                                            double(p.groups) * kProgressSteps))
                                          : 0;
            // Only a step further is worth an event to the GUI thread.
            if (run->progress.exchange(step) == step)
                return;
            QMetaObject::invokeMethod(
                this,
                [this, run, step] {
                    if (m_run == run)
                        m_progress->setValue(step);
                },
                Qt::QueuedConnection);
        };
        run->result = plans::planList(run->list, run->settings, control, run->offcuts);
    });
    m_thread->setObjectName(QStringLiteral("cuttingPlan"));
    connect(m_thread, &QThread::finished, this, &PlanView::onRunEnded);
    m_runButton->setEnabled(false);
    m_cancelButton->setEnabled(true);
    m_progress->setValue(0);
    m_progressDelay.start();
    Q_EMIT statusMessage(QStringLiteral("正在计算下料方案……"));
    m_thread->start(QThread::LowPriority);
    return true;
}

void PlanView::cancel() {
    if (!m_run)
        return;
    m_run->cancel = true;
    m_cancelButton->setEnabled(false);
    Q_EMIT statusMessage(QStringLiteral("正在取消计算……"));
}

void PlanView::onRunEnded() {
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    const std::shared_ptr<Run> run = std::exchange(m_run, nullptr);
    m_progressDelay.stop();
    m_progress->hide();
    m_runButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
    if (!run)
        return;
    if (run->cancel || run->result.plan.cancelled) {
        Q_EMIT statusMessage(QStringLiteral("已取消计算，下料方案未改动"));
        Q_EMIT runFinished(false);
        return;
    }
    // The store as it is now, not as the run began: what the plan takes and
    // keeps is worked out against it and applied with the plan, in one step.
    std::optional<OffcutChange> change;
    QString storeNote;
    if (!run->store.isEmpty()) {
        const offcuts::ReadStore now = offcuts::readStore(run->store);
        if (!now.store) {
            storeNote = now.error;
        } else {
            const QString listName = m_document->filePath().isEmpty()
                                         ? QStringLiteral("（未命名下料单）")
                                         : QFileInfo(m_document->filePath()).fileName();
            offcuts::Delta delta =
                offcuts::planDelta(*now.store, run->result.plan, listName, QDate::currentDate(),
                                   run->settings.useOffcuts, run->settings.storeOffcuts);
            if (delta.shortOf > 0)
                storeNote =
                    QStringLiteral("余料库中已少了 %1 根方案所用的余料（可能已被其他下料单用去），"
                                   "请重新计算")
                        .arg(delta.shortOf);
            if (!delta.isEmpty())
                change = OffcutChange{run->store, delta};
        }
    }
    m_document->changePlan(QStringLiteral("下料优化"), run->result, change);
    int failed = 0;
    for (const plans::GroupPlan& g : run->result.plan.groups)
        failed += g.error.isEmpty() ? 0 : 1;
    QString done = failed > 0
                       ? QStringLiteral("下料方案已算出，%1 组无法下料，原因见方案").arg(failed)
                       : QStringLiteral("下料方案已算出");
    if (change)
        done += QStringLiteral("；余料库用去 %1 根，存入 %2 根")
                    .arg([&] {
                        long long n = 0;
                        for (const offcuts::Take& t : change->delta.taken)
                            n += t.count;
                        return n;
                    }())
                    .arg([&] {
                        long long n = 0;
                        for (const offcuts::Offcut& o : change->delta.added)
                            n += o.count;
                        return n;
                    }());
    if (!storeNote.isEmpty()) {
        done += QStringLiteral("；") + storeNote;
        m_storeMessage->setText(storeNote);
    }
    Q_EMIT statusMessage(done);
    Q_EMIT runFinished(true);
}

void PlanView::stopAndWait() {
    if (!m_thread)
        return;
    m_run->cancel = true;
    m_thread->wait();
    // No plan from a run stopped this way, and no event of it left behind.
    disconnect(m_thread, nullptr, this, nullptr);
    delete m_thread;
    m_thread = nullptr;
    m_run.reset();
    m_progressDelay.stop();
    m_progress->hide();
    m_runButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
}
