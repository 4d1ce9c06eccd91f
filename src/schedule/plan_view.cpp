#include "schedule/plan_view.h"

#include "numbers/number_reading.h"
#include "numbers/number_text.h"
#include "schedule/list_document.h"
#include "schedule/plan_drawing.h"

#include <QCheckBox>
#include <QComboBox>
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
#include <QVBoxLayout>

#include <cmath>

using plans::LapBasis;
using plans::SpliceKind;

namespace {

// The progress bar shows only for runs longer than a moment.
constexpr int kProgressDelayMs = 300;
constexpr int kProgressSteps = 1000;
// Space around and between the groups of the drawing, in the font's lines.
constexpr double kMarginLines = 0.8;
constexpr double kGroupGapLines = 1.5;

QString settingsText(const plans::ListPlan& plan) {
    const plans::ListPlanSettings& s = plan.settings;
    QStringList stock;
    for (const plans::StockLength& length : s.stock)
        stock << (length.available
                      ? QStringLiteral("%1 mm（%2 根）").arg(length.length).arg(*length.available)
                      : QStringLiteral("%1 mm").arg(length.length));
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
    return QStringLiteral("原材料 %1；锯口 %2 mm；%3；%4")
        .arg(stock.join(QStringLiteral("、")))
        .arg(s.kerf)
        .arg(s.keepOffcut > 0 ? QStringLiteral("余料不短于 %1 mm").arg(s.keepOffcut)
                              : QStringLiteral("不留余料"))
        .arg(splice);
}

// A whole number of mm (or bars) as typed: digits only, nothing else.
std::optional<long long> wholeNumber(const QString& text, long long least) {
    const std::optional<double> v = numbers::strictNumber(text.trimmed());
    if (!v || *v != std::floor(*v) || *v < double(least) || *v >= 1e9)
        return std::nullopt;
    return static_cast<long long>(*v);
}

QTableWidgetItem* readOnly(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

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

void PlanView::buildControls() {
    // Settings, left.
    auto* settingsBox = new QGroupBox(QStringLiteral("下料设置"), this);
    settingsBox->setObjectName(QStringLiteral("planSettingsGroup"));

    m_stock = new QTableWidget(0, 2, settingsBox);
    m_stock->setObjectName(QStringLiteral("stockTable"));
    m_stock->setAccessibleName(QStringLiteral("原材料长度表"));
    m_stock->setHorizontalHeaderLabels(
        {QStringLiteral("原材料长度 mm"), QStringLiteral("可用根数（空为不限）")});
    m_stock->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_stock->verticalHeader()->hide();
    m_stock->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_stock->setMinimumHeight(fontMetrics().height() * 6);
    m_addStock = new QToolButton(settingsBox);
    m_addStock->setObjectName(QStringLiteral("addStock"));
    m_addStock->setText(QStringLiteral("添加长度"));
    m_addStock->setAccessibleName(QStringLiteral("添加原材料长度"));
    m_removeStock = new QToolButton(settingsBox);
    m_removeStock->setObjectName(QStringLiteral("removeStock"));
    m_removeStock->setText(QStringLiteral("删除长度"));
    m_removeStock->setAccessibleName(QStringLiteral("删除所选原材料长度"));
    connect(m_addStock, &QToolButton::clicked, this, [this] {
        addStockRow(6000, std::nullopt);
        m_stock->setCurrentCell(m_stock->rowCount() - 1, 0);
        m_stock->editItem(m_stock->item(m_stock->rowCount() - 1, 0));
    });
    connect(m_removeStock, &QToolButton::clicked, this, [this] {
        const int row = m_stock->currentRow();
        if (row >= 0)
            m_stock->removeRow(row);
    });
    auto* stockButtons = new QHBoxLayout;
    stockButtons->addWidget(m_addStock);
    stockButtons->addWidget(m_removeStock);
    stockButtons->addStretch(1);

    const auto field = [settingsBox](const char* name, const QString& accessible,
                                     const QString& tip) {
        auto* edit = new QLineEdit(settingsBox);
        edit->setObjectName(QLatin1String(name));
        edit->setAccessibleName(accessible);
        edit->setToolTip(tip);
        return edit;
    };
    m_kerf = field("kerf", QStringLiteral("每刀锯口宽度，毫米"),
                   QStringLiteral("每切一刀损耗的长度，剪切为 0"));
    m_keepOffcut = field("keepOffcut", QStringLiteral("余料最短长度，毫米，0 为全部算废料"),
                         QStringLiteral("不短于此长度的料头记为余料（可再用），不计入废料；0 "
                                        "表示料头全部算废料"));
    m_spliceKind = new QComboBox(settingsBox);
    m_spliceKind->setObjectName(QStringLiteral("spliceKind"));
    m_spliceKind->setAccessibleName(QStringLiteral("超长料的接头方式"));
    m_spliceKind->addItem(QStringLiteral("不接长"), int(SpliceKind::None));
    m_spliceKind->addItem(QStringLiteral("机械连接或焊接（不加长度）"), int(SpliceKind::Coupler));
    m_spliceKind->addItem(QStringLiteral("搭接（每个接头加搭接长度）"), int(SpliceKind::Lap));
    m_lapBasis = new QComboBox(settingsBox);
    m_lapBasis->setObjectName(QStringLiteral("lapBasis"));
    m_lapBasis->setAccessibleName(QStringLiteral("搭接长度取法"));
    m_lapBasis->addItem(QStringLiteral("按锚固规范"), int(LapBasis::Rules));
    m_lapBasis->addItem(QStringLiteral("固定长度（mm）"), int(LapBasis::Length));
    m_lapBasis->addItem(QStringLiteral("直径的倍数（d）"), int(LapBasis::Diameters));
    m_lapLength = field("lapLength", QStringLiteral("搭接长度，毫米"),
                        QStringLiteral("每个接头的搭接长度，各组相同"));
    m_lapDiameters = field("lapDiameters", QStringLiteral("搭接长度，直径的倍数"),
                           QStringLiteral("每个接头的搭接长度为直径的这一倍数"));
    for (QComboBox* box : {m_spliceKind, m_lapBasis})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            refreshLapControls();
            refreshGroupLaps();
            onPlanChanged();
        });
    for (QLineEdit* edit : {m_kerf, m_keepOffcut, m_lapLength, m_lapDiameters})
        connect(edit, &QLineEdit::textChanged, this, [this] { onPlanChanged(); });
    connect(m_stock, &QTableWidget::itemChanged, this, [this] {
        refreshGroupLaps();
        onPlanChanged();
    });

    auto* form = new QFormLayout;
    const auto labelled = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, settingsBox);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    labelled(QStringLiteral("锯口宽度 mm(&K)："), m_kerf);
    labelled(QStringLiteral("余料最短 mm(&O)："), m_keepOffcut);
    labelled(QStringLiteral("超长料接头(&J)："), m_spliceKind);
    labelled(QStringLiteral("搭接长度(&L)："), m_lapBasis);
    auto* lapValues = new QHBoxLayout;
    lapValues->addWidget(m_lapLength);
    lapValues->addWidget(m_lapDiameters);
    form->addRow(QString(), lapValues);

    // The list's lap inputs, for laps by the anchorage rules.
    auto* rulesBox = new QGroupBox(QStringLiteral("按锚固规范（本下料单）"), settingsBox);
    rulesBox->setObjectName(QStringLiteral("lapRulesGroup"));
    m_concrete = new QComboBox(rulesBox);
    m_concrete->setObjectName(QStringLiteral("concreteGrade"));
    m_concrete->setAccessibleName(QStringLiteral("混凝土强度等级"));
    for (int grade = codes::kLowestConcreteGrade; grade <= codes::kHighestConcreteGrade; grade += 5)
        m_concrete->addItem(codes::concreteGradeName(grade), grade);
    m_seismicGrade = new QComboBox(rulesBox);
    m_seismicGrade->setObjectName(QStringLiteral("seismicGrade"));
    m_seismicGrade->setAccessibleName(QStringLiteral("抗震等级"));
    for (const codes::SeismicGrade g :
         {codes::SeismicGrade::First, codes::SeismicGrade::Second, codes::SeismicGrade::Third,
          codes::SeismicGrade::Fourth, codes::SeismicGrade::None})
        m_seismicGrade->addItem(codes::seismicGradeName(g), int(g));
    m_percentLapped = new QComboBox(rulesBox);
    m_percentLapped->setObjectName(QStringLiteral("percentLapped"));
    m_percentLapped->setAccessibleName(QStringLiteral("同一连接区段搭接接头面积百分率"));
    for (const int percent : {25, 50, 100})
        m_percentLapped->addItem(QStringLiteral("≤ %1%").arg(percent), percent);
    const auto changeList = [this](const QString& text, auto&& edit) {
        schedule::CuttingList list = m_document->list();
        edit(list.settings);
        m_document->change(text, list, ListCursor{}, ListCursor{});
    };
    connect(m_concrete, &QComboBox::activated, this, [this, changeList](int item) {
        const int grade = m_concrete->itemData(item).toInt();
        changeList(QStringLiteral("混凝土强度等级"),
                   [grade](schedule::ListSettings& s) { s.concrete = grade; });
    });
    connect(m_seismicGrade, &QComboBox::activated, this, [this, changeList](int item) {
        const auto grade = static_cast<codes::SeismicGrade>(m_seismicGrade->itemData(item).toInt());
        changeList(QStringLiteral("抗震等级"),
                   [grade](schedule::ListSettings& s) { s.seismicGrade = grade; });
    });
    connect(m_percentLapped, &QComboBox::activated, this, [this, changeList](int item) {
        const double percent = m_percentLapped->itemData(item).toDouble();
        changeList(QStringLiteral("搭接接头面积百分率"),
                   [percent](schedule::ListSettings& s) { s.percentLapped = percent; });
    });
    // GB 55008 2.0.2 by default; GB 50010 4.1.2 for work designed under it.
    m_olderCode =
        new QCheckBox(QStringLiteral("混凝土等级下限按 GB 50010-2010 旧规(&B)"), rulesBox);
    m_olderCode->setObjectName(QStringLiteral("olderConcreteCode"));
    m_olderCode->setAccessibleName(QStringLiteral("混凝土强度等级下限按 GB 50010-2010 旧规"));
    m_olderCode->setToolTip(
        QStringLiteral("不勾选：按 GB 55008-2021 第2.0.2条，C25 起，500MPa 及以上钢筋 C30 起。\n"
                       "勾选：按 GB 50010-2010 第4.1.2条，C20 起，400MPa 及以上钢筋 C25 起，"
                       "仅用于按该规范设计的工程。"));
    connect(m_olderCode, &QCheckBox::toggled, this, [changeList](bool older) {
        changeList(QStringLiteral("混凝土强度等级下限所依规范"),
                   [older](schedule::ListSettings& s) {
                       s.concreteCode =
                           older ? codes::ConcreteCode::Gb50010 : codes::ConcreteCode::Gb55008;
                   });
    });
    m_groupLaps = new QTableWidget(0, 2, rulesBox);
    m_groupLaps->setObjectName(QStringLiteral("groupLaps"));
    m_groupLaps->setAccessibleName(QStringLiteral("各组按锚固规范的搭接长度"));
    m_groupLaps->setHorizontalHeaderLabels({QStringLiteral("钢筋"), QStringLiteral("搭接长度")});
    m_groupLaps->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_groupLaps->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_groupLaps->verticalHeader()->hide();
    m_groupLaps->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_groupLaps->setWordWrap(false);
    m_groupLaps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_groupLapsNote = new QLabel(rulesBox);
    m_groupLapsNote->setObjectName(QStringLiteral("groupLapsNote"));
    m_groupLapsNote->setWordWrap(true);
    auto* rulesForm = new QFormLayout;
    for (const auto& [text, field] :
         {std::pair{QStringLiteral("混凝土(&C)："), static_cast<QWidget*>(m_concrete)},
          std::pair{QStringLiteral("抗震等级(&E)："), static_cast<QWidget*>(m_seismicGrade)},
          std::pair{QStringLiteral("接头面积百分率(&P)："),
                    static_cast<QWidget*>(m_percentLapped)}}) {
        auto* label = new QLabel(text, rulesBox);
        label->setBuddy(field);
        rulesForm->addRow(label, field);
    }
    rulesForm->addRow(m_olderCode);
    auto* rulesLayout = new QVBoxLayout(rulesBox);
    rulesLayout->addLayout(rulesForm);
    rulesLayout->addWidget(m_groupLaps, 1);
    rulesLayout->addWidget(m_groupLapsNote);

    m_runButton = new QPushButton(QStringLiteral("计算(&U)"), settingsBox);
    m_runButton->setObjectName(QStringLiteral("runPlan"));
    m_runButton->setAccessibleName(QStringLiteral("计算下料方案"));
    m_cancelButton = new QPushButton(QStringLiteral("取消计算"), settingsBox);
    m_cancelButton->setObjectName(QStringLiteral("cancelPlan"));
    m_cancelButton->setAccessibleName(QStringLiteral("取消计算"));
    m_cancelButton->setEnabled(false);
    m_progress = new QProgressBar(settingsBox);
    m_progress->setObjectName(QStringLiteral("planProgress"));
    m_progress->setAccessibleName(QStringLiteral("下料计算进度"));
    m_progress->setRange(0, kProgressSteps);
    m_progress->setTextVisible(false);
    m_progress->hide();
    connect(m_runButton, &QPushButton::clicked, this, [this] { run(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(m_runButton, 1);
    runRow->addWidget(m_cancelButton);

    auto* settingsLayout = new QVBoxLayout(settingsBox);
    settingsLayout->addWidget(m_stock);
    settingsLayout->addLayout(stockButtons);
    settingsLayout->addLayout(form);
    settingsLayout->addWidget(rulesBox, 1);
    settingsLayout->addLayout(runRow);
    settingsLayout->addWidget(m_progress);

    // The plan, right.
    auto* planArea = new QWidget(this);
    planArea->setObjectName(QStringLiteral("planArea"));
    m_banner = new QLabel(QStringLiteral("下料方案已过期，请重新计算"), planArea);
    m_banner->setObjectName(QStringLiteral("planOutOfDate"));
    m_banner->setAccessibleName(QStringLiteral("下料方案已过期，请重新计算"));
    m_banner->setStyleSheet(QStringLiteral(
        "QLabel { background: #fff3c4; color: #6b4a00; border: 1px solid #e0b000; padding: 6px; "
        "font-weight: bold; }"));
    m_banner->hide();
    m_message = new QLabel(planArea);
    m_message->setObjectName(QStringLiteral("planMessage"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary = new QTableWidget(0, 8, planArea);
    m_summary->setObjectName(QStringLiteral("planSummary"));
    m_summary->setAccessibleName(QStringLiteral("下料方案汇总表"));
    m_summary->setHorizontalHeaderLabels(
        {QStringLiteral("钢筋"), QStringLiteral("原材料（长度 × 根数）"),
         QStringLiteral("原材料总长"), QStringLiteral("料长"), QStringLiteral("余料"),
         QStringLiteral("废料"), QStringLiteral("利用率"), QStringLiteral("最优性 / 问题")});
    m_summary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_summary->verticalHeader()->hide();
    m_summary->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_summary->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_summary->horizontalHeader()->setStretchLastSection(true);
    m_summary->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_summary->setSelectionMode(QAbstractItemView::SingleSelection);
    // A group chosen in the summary is brought into view in the drawing.
    connect(m_summary, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0)
            m_scroll->verticalScrollBar()->setValue(m_drawing->groupTop(row));
    });
    m_total = new QLabel(planArea);
    m_total->setObjectName(QStringLiteral("planTotal"));
    m_total->setWordWrap(true);
    QFont bold = m_total->font();
    bold.setBold(true);
    m_total->setFont(bold);
    m_drawing = new PlanDrawing;
    m_scroll = new QScrollArea(planArea);
    m_scroll->setObjectName(QStringLiteral("planScroll"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_drawing);
    m_scroll->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* summarySplit = new QSplitter(Qt::Vertical, planArea);
    summarySplit->setObjectName(QStringLiteral("planSplitter"));
    auto* summaryArea = new QWidget(summarySplit);
    auto* summaryLayout = new QVBoxLayout(summaryArea);
    summaryLayout->setContentsMargins(0, 0, 0, 0);
    summaryLayout->addWidget(m_summary, 1);
    summaryLayout->addWidget(m_total);
    summarySplit->addWidget(summaryArea);
    summarySplit->addWidget(m_scroll);
    summarySplit->setStretchFactor(1, 1);
    summarySplit->setSizes({200, 600});

    auto* planLayout = new QVBoxLayout(planArea);
    planLayout->setContentsMargins(0, 0, 0, 0);
    planLayout->addWidget(m_banner);
    planLayout->addWidget(m_message);
    planLayout->addWidget(summarySplit, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(settingsBox, 0);
    layout->addWidget(planArea, 1);
    settingsBox->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 52);

    setSettings(plans::ListPlanSettings{});
}

void PlanView::addStockRow(long long length, std::optional<long long> available) {
    const QSignalBlocker quiet(m_stock);
    const int row = m_stock->rowCount();
    m_stock->insertRow(row);
    m_stock->setItem(row, 0, new QTableWidgetItem(QString::number(length)));
    m_stock->setItem(row, 1,
                     new QTableWidgetItem(available ? QString::number(*available) : QString()));
}

void PlanView::setSettings(const plans::ListPlanSettings& s) {
    {
        const QSignalBlocker a(m_stock);
        m_stock->setRowCount(0);
    }
    for (const plans::StockLength& length : s.stock)
        addStockRow(length.length, length.available);
    const QSignalBlocker b(m_kerf), c(m_keepOffcut), d(m_spliceKind), e(m_lapBasis), f(m_lapLength),
        g(m_lapDiameters);
    m_kerf->setText(QString::number(s.kerf));
    m_keepOffcut->setText(QString::number(s.keepOffcut));
    m_spliceKind->setCurrentIndex(m_spliceKind->findData(int(s.splice)));
    m_lapBasis->setCurrentIndex(m_lapBasis->findData(int(s.lapBasis)));
    // A length or multiple not in use keeps what was typed, or a usual value.
    if (s.lapLength > 0 || m_lapLength->text().isEmpty())
        m_lapLength->setText(numbers::generalNumberText(s.lapLength > 0 ? s.lapLength : 1000.0));
    if (s.lapDiameters > 0 || m_lapDiameters->text().isEmpty())
        m_lapDiameters->setText(
            numbers::generalNumberText(s.lapDiameters > 0 ? s.lapDiameters : 40.0));
    m_timeLimit = s.timeLimitSeconds;
    refreshLapControls();
    refreshGroupLaps();
    onPlanChanged();
}

plans::ListPlanSettings PlanView::settings() const {
    plans::ListPlanSettings s;
    s.stock.clear();
    for (int row = 0; row < m_stock->rowCount(); ++row) {
        const auto text = [&](int column) {
            const QTableWidgetItem* item = m_stock->item(row, column);
            return item ? item->text().trimmed() : QString();
        };
        if (text(0).isEmpty() && text(1).isEmpty())
            continue;
        plans::StockLength length;
        length.length = wholeNumber(text(0), 1).value_or(0);
        if (!text(1).isEmpty())
            length.available = wholeNumber(text(1), 0).value_or(-1);
        s.stock << length;
    }
    s.kerf = wholeNumber(m_kerf->text(), 0).value_or(-1);
    s.keepOffcut = wholeNumber(m_keepOffcut->text(), 0).value_or(-1);
    s.splice = static_cast<SpliceKind>(m_spliceKind->currentData().toInt());
    s.lapBasis = static_cast<LapBasis>(m_lapBasis->currentData().toInt());
    // Only the lap in use is part of the settings, so that a value typed
    // for another choice does not make a plan look made otherwise.
    if (s.splice == SpliceKind::Lap && s.lapBasis == LapBasis::Length)
        s.lapLength = numbers::strictNumber(m_lapLength->text().trimmed()).value_or(-1);
    if (s.splice == SpliceKind::Lap && s.lapBasis == LapBasis::Diameters)
        s.lapDiameters = numbers::strictNumber(m_lapDiameters->text().trimmed()).value_or(-1);
    s.timeLimitSeconds = m_timeLimit;
    return s;
}

QString PlanView::settingsProblem() const {
    QStringList problems;
    int rows = 0;
    for (int r = 0; r < m_stock->rowCount(); ++r) {
        const auto text = [&](int column) {
            const QTableWidgetItem* item = m_stock->item(r, column);
            return item ? item->text().trimmed() : QString();
        };
        if (text(0).isEmpty() && text(1).isEmpty())
            continue;
        ++rows;
        if (!wholeNumber(text(0), 1))
            problems << QStringLiteral("原材料第 %1 行：长度“%2”应为正整数（mm）")
                            .arg(r + 1)
                            .arg(text(0));
        if (!text(1).isEmpty() && !wholeNumber(text(1), 0))
            problems << QStringLiteral("原材料第 %1 行：根数“%2”应为整数，留空表示不限")
                            .arg(r + 1)
                            .arg(text(1));
    }
    if (rows == 0)
        problems << QStringLiteral("没有给出原材料长度");
    if (!wholeNumber(m_kerf->text(), 0))
        problems << QStringLiteral("锯口宽度“%1”应为不小于 0 的整数（mm）").arg(m_kerf->text());
    if (!wholeNumber(m_keepOffcut->text(), 0))
        problems << QStringLiteral("余料最短长度“%1”应为不小于 0 的整数（mm）")
                        .arg(m_keepOffcut->text());
    const plans::ListPlanSettings s = settings();
    if (s.splice == SpliceKind::Lap && s.lapBasis == LapBasis::Length && !(s.lapLength > 0))
        problems << QStringLiteral("搭接长度“%1”应为正数（mm）").arg(m_lapLength->text());
    if (s.splice == SpliceKind::Lap && s.lapBasis == LapBasis::Diameters && !(s.lapDiameters > 0))
        problems << QStringLiteral("搭接长度的直径倍数“%1”应为正数").arg(m_lapDiameters->text());
    return problems.join(QLatin1Char('\n'));
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
    m_run = std::make_shared<Run>();
    m_run->list = m_document->list();
    m_run->settings = settings();
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
        run->result = plans::planList(run->list, run->settings, control);
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
    m_document->changePlan(QStringLiteral("下料优化"), run->result);
    int failed = 0;
    for (const plans::GroupPlan& g : run->result.plan.groups)
        failed += g.error.isEmpty() ? 0 : 1;
    Q_EMIT statusMessage(
        failed > 0 ? QStringLiteral("下料方案已算出，%1 组无法下料，原因见方案").arg(failed)
                   : QStringLiteral("下料方案已算出"));
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
