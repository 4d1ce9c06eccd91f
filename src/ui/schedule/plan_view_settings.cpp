#include "ui/schedule/plan_view.h"

// The 下料优化 page's controls: stock lengths, kerf, offcuts, splices and
// laps, read back as the plan's settings.

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "drawing/plans/plan_drawing.h"
#include "ui/schedule/list_document.h"
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

#include <cmath>

using plans::LapBasis;
using plans::SpliceKind;

namespace {

// A whole number of mm (or bars) as typed: digits only, nothing else.
std::optional<long long> wholeNumber(const QString& text, long long least) {
    const std::optional<double> v = numbers::strictNumber(text.trimmed());
    if (!v || *v != std::floor(*v) || *v < double(least) || *v >= 1e9)
        return std::nullopt;
    return static_cast<long long>(*v);
}

} // namespace

void PlanView::buildControls() {
    // Settings, left.
    auto* settingsBox = new QGroupBox(QStringLiteral("下料设置"), this);
    settingsBox->setObjectName(QStringLiteral("planSettingsGroup"));

    m_stock = new QTableWidget(0, 4, settingsBox);
    m_stock->setObjectName(QStringLiteral("stockTable"));
    m_stock->setAccessibleName(QStringLiteral("原材料长度表"));
    m_stock->setHorizontalHeaderLabels({QStringLiteral("长度 mm"), QStringLiteral("来源"),
                                        QStringLiteral("根数"), QStringLiteral("单价")});
    m_stock->horizontalHeaderItem(2)->setToolTip(
        QStringLiteral("可用根数；新购留空表示不限，库存须填写现有根数"));
    m_stock->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_stock->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
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
        addStockRow({6000, std::nullopt});
        onPlanChanged();
        commitSettings();
        m_stock->setCurrentCell(m_stock->rowCount() - 1, 0);
        m_stock->editItem(m_stock->item(m_stock->rowCount() - 1, 0));
    });
    connect(m_removeStock, &QToolButton::clicked, this, [this] {
        const int row = m_stock->currentRow();
        if (row >= 0)
            m_stock->removeRow(row);
        onPlanChanged();
        commitSettings();
    });
    // What the plan keeps least: stock bought by length, or money.
    m_pricing = new QComboBox(settingsBox);
    m_pricing->setObjectName(QStringLiteral("pricing"));
    m_pricing->setAccessibleName(QStringLiteral("计价方式"));
    m_pricing->addItem(QStringLiteral("不计价：按用料长度"), int(plans::Pricing::None));
    m_pricing->addItem(QStringLiteral("按米计价（元/米）"), int(plans::Pricing::PerMetre));
    m_pricing->addItem(QStringLiteral("按根计价（元/根）"), int(plans::Pricing::PerBar));
    m_pricing->setToolTip(QStringLiteral("计价时方案使总费用最少；库存和余料库中的料不计费用"));
    connect(m_pricing, &QComboBox::currentIndexChanged, this, [this] {
        refreshPriceHeader();
        onPlanChanged();
        commitSettings();
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
            commitSettings();
        });
    for (QLineEdit* edit : {m_kerf, m_keepOffcut, m_lapLength, m_lapDiameters}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { onPlanChanged(); });
        // One step per value typed, not per key.
        connect(edit, &QLineEdit::editingFinished, this, [this] { commitSettings(); });
    }
    connect(m_stock, &QTableWidget::itemChanged, this, [this] {
        refreshGroupLaps();
        onPlanChanged();
        commitSettings();
    });

    auto* form = new QFormLayout;
    const auto labelled = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, settingsBox);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    labelled(QStringLiteral("计价(&N)："), m_pricing);
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
          std::pair{QStringLiteral("抗震等级(&Z)："), static_cast<QWidget*>(m_seismicGrade)},
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

    buildOffcutControls(settingsBox);

    auto* settingsLayout = new QVBoxLayout(settingsBox);
    settingsLayout->addWidget(m_stock);
    settingsLayout->addLayout(stockButtons);
    settingsLayout->addLayout(form);
    settingsLayout->addWidget(m_offcutBox, 1);
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

void PlanView::addStockRow(const plans::StockLength& stock) {
    const QSignalBlocker quiet(m_stock);
    const int row = m_stock->rowCount();
    m_stock->insertRow(row);
    m_stock->setItem(row, 0, new QTableWidgetItem(QString::number(stock.length)));
    auto* source = new QComboBox(m_stock);
    source->setObjectName(QStringLiteral("stockSource"));
    source->setAccessibleName(QStringLiteral("原材料来源"));
    source->addItem(QStringLiteral("新购"), int(plans::StockSource::Bought));
    source->addItem(QStringLiteral("库存"), int(plans::StockSource::OnHand));
    source->setCurrentIndex(stock.source == plans::StockSource::Bought ? 0 : 1);
    connect(source, &QComboBox::currentIndexChanged, this, [this] {
        onPlanChanged();
        commitSettings();
    });
    m_stock->setCellWidget(row, 1, source);
    m_stock->setItem(
        row, 2,
        new QTableWidgetItem(stock.available ? QString::number(*stock.available) : QString()));
    m_stock->setItem(row, 3,
                     new QTableWidgetItem(stock.price > 0 ? numbers::generalNumberText(stock.price)
                                                          : QString()));
}

void PlanView::refreshPriceHeader() {
    const auto pricing = static_cast<plans::Pricing>(m_pricing->currentData().toInt());
    m_stock->horizontalHeaderItem(3)->setText(
        pricing == plans::Pricing::PerMetre ? QStringLiteral("单价 元/米")
        : pricing == plans::Pricing::PerBar ? QStringLiteral("单价 元/根")
                                            : QStringLiteral("单价（不计价）"));
}

void PlanView::setSettings(const plans::ListPlanSettings& s) {
    {
        const QSignalBlocker a(m_stock);
        m_stock->setRowCount(0);
    }
    for (const plans::StockLength& length : s.stock)
        addStockRow(length);
    const QSignalBlocker b(m_kerf), c(m_keepOffcut), d(m_spliceKind), e(m_lapBasis), f(m_lapLength),
        g(m_lapDiameters), h(m_pricing), i(m_useOffcuts), j(m_storeOffcuts), k(m_storePath);
    m_pricing->setCurrentIndex(m_pricing->findData(int(s.pricing)));
    m_useOffcuts->setChecked(s.useOffcuts);
    m_storeOffcuts->setChecked(s.storeOffcuts);
    m_storePath->setText(s.offcutStore);
    refreshPriceHeader();
    refreshOffcuts();
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
    m_committed = settings();
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
        if (text(0).isEmpty() && text(2).isEmpty())
            continue;
        plans::StockLength length;
        length.length = wholeNumber(text(0), 1).value_or(0);
        if (const auto* source = qobject_cast<QComboBox*>(m_stock->cellWidget(row, 1)))
            length.source = static_cast<plans::StockSource>(source->currentData().toInt());
        if (!text(2).isEmpty())
            length.available = wholeNumber(text(2), 0).value_or(-1);
        // Bars in the yard are paid for: their price, if typed, is not asked.
        if (length.source == plans::StockSource::Bought && !text(3).isEmpty())
            length.price = numbers::strictNumber(text(3)).value_or(-1);
        s.stock << length;
    }
    s.pricing = static_cast<plans::Pricing>(m_pricing->currentData().toInt());
    s.useOffcuts = m_useOffcuts->isChecked();
    s.storeOffcuts = m_storeOffcuts->isChecked();
    s.offcutStore = m_storePath->text().trimmed();
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
    if (const QString values = valuesProblem(); !values.isEmpty())
        problems << values;
    if ((m_useOffcuts->isChecked() || m_storeOffcuts->isChecked()) && offcutStorePath().isEmpty())
        problems << QStringLiteral("余料库：下料单尚未保存，请先保存下料单或选择余料库文件");
    return problems.join(QLatin1Char('\n'));
}

QString PlanView::valuesProblem() const {
    QStringList problems;
    const auto pricing = static_cast<plans::Pricing>(m_pricing->currentData().toInt());
    int rows = 0;
    for (int r = 0; r < m_stock->rowCount(); ++r) {
        const auto text = [&](int column) {
            const QTableWidgetItem* item = m_stock->item(r, column);
            return item ? item->text().trimmed() : QString();
        };
        if (text(0).isEmpty() && text(2).isEmpty())
            continue;
        ++rows;
        const auto* source = qobject_cast<QComboBox*>(m_stock->cellWidget(r, 1));
        const bool onHand =
            source && source->currentData().toInt() == int(plans::StockSource::OnHand);
        if (!wholeNumber(text(0), 1))
            problems << QStringLiteral("原材料第 %1 行：长度“%2”应为正整数（mm）")
                            .arg(r + 1)
                            .arg(text(0));
        if (!text(2).isEmpty() && !wholeNumber(text(2), 0))
            problems << QStringLiteral("原材料第 %1 行：根数“%2”应为整数，留空表示不限")
                            .arg(r + 1)
                            .arg(text(2));
        if (onHand && text(2).isEmpty())
            problems << QStringLiteral("原材料第 %1 行：库存须填写现有根数").arg(r + 1);
        if (onHand)
            continue;
        const std::optional<double> price = numbers::strictNumber(text(3));
        if (!text(3).isEmpty() && !(price && *price > 0 && *price < 1e7))
            problems
                << QStringLiteral("原材料第 %1 行：单价“%2”应为正数（元）").arg(r + 1).arg(text(3));
        else if (pricing != plans::Pricing::None && text(3).isEmpty())
            problems << QStringLiteral("原材料第 %1 行：%2时须填写新购原材料的单价")
                            .arg(r + 1)
                            .arg(pricing == plans::Pricing::PerMetre ? QStringLiteral("按米计价")
                                                                     : QStringLiteral("按根计价"));
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
