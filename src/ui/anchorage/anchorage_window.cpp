#include "ui/anchorage/anchorage_window.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

using codes::SeismicGrade;

namespace {

template <typename W> W* named(W* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

// A field's number, nothing when it is empty, and `bad` set when it holds
// something that is not one.
std::optional<double> optionalNumber(const QLineEdit* field, bool& bad) {
    if (field->text().trimmed().isEmpty())
        return std::nullopt;
    const std::optional<double> value = numbers::strictNumber(field->text());
    if (!value)
        bad = true;
    return value;
}

constexpr SeismicGrade kSeismicChoices[] = {SeismicGrade::None, SeismicGrade::First,
                                            SeismicGrade::Second, SeismicGrade::Third,
                                            SeismicGrade::Fourth};
} // namespace

AnchorageWindow::AnchorageWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("anchorageWindow"));
    setWindowTitle(QStringLiteral("锚固与搭接长度"));
    // Closing it leaves the program running with its main window.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* inputs = new QGroupBox(QStringLiteral("条件"), this);
    inputs->setObjectName(QStringLiteral("inputs"));
    buildInputs(inputs);

    m_derivation = named(new QPlainTextEdit(this), "derivation", QStringLiteral("计算过程"));
    m_derivation->setReadOnly(true);
    m_derivation->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_derivation->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_copy = named(new QPushButton(QStringLiteral("复制计算过程(&P)"), this), "copyDerivation",
                   QStringLiteral("复制计算过程"));
    connect(m_copy, &QPushButton::clicked, this, [this] { copyDerivation(); });

    m_tableTitle = named(new QLabel(this), "tableTitle", QStringLiteral("图集表格说明"));
    m_table = named(new QTableWidget(this), "atlasTable", QStringLiteral("图集锚固搭接长度表"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* tableSide = new QVBoxLayout;
    tableSide->addWidget(m_tableTitle);
    tableSide->addWidget(m_table, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(inputs);
    top->addLayout(tableSide, 1);
    auto* copyRow = new QHBoxLayout;
    copyRow->addStretch(1);
    copyRow->addWidget(m_copy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_derivation, 1);
    layout->addLayout(copyRow);

    m_enterChain = {m_steel,   m_concrete,    m_olderCode, m_diameter, m_seismic,   m_percentLapped,
                    m_tension, m_epoxyCoated, m_disturbed, m_cover,    m_areaRatio, m_hooked};
    for (int i = 0; i + 1 < m_enterChain.size(); ++i)
        setTabOrder(m_enterChain[i], m_enterChain[i + 1]);
    setTabOrder(m_hooked, m_derivation);
    setTabOrder(m_derivation, m_copy);
    setTabOrder(m_copy, m_table);
    for (QWidget* w : m_enterChain)
        w->installEventFilter(this);
    m_compression->installEventFilter(this);

    recompute();
    resize(1000, 700);
    m_diameter->setFocus(Qt::OtherFocusReason);
}

void AnchorageWindow::buildInputs(QWidget* box) {
    auto* form = new QFormLayout(box);
    const auto add = [&](const QString& label, QWidget* field) {
        auto* caption = new QLabel(label, box);
        caption->setBuddy(field);
        form->addRow(caption, field);
    };
    m_steel = named(new QComboBox(box), "steelGrade", QStringLiteral("钢筋牌号"));
    for (codes::SteelGrade steel : codes::kSteelGrades)
        m_steel->addItem(codes::steelGradeName(steel));
    m_steel->setCurrentText(QStringLiteral("HRB400"));
    add(QStringLiteral("钢筋牌号(&G)"), m_steel);

    m_concrete = named(new QComboBox(box), "concreteGrade", QStringLiteral("混凝土强度等级"));
    for (int grade = codes::kLowestConcreteGrade; grade <= codes::kHighestConcreteGrade; grade += 5)
        m_concrete->addItem(codes::concreteGradeName(grade), grade);
    m_concrete->setCurrentText(QStringLiteral("C30"));
    add(QStringLiteral("混凝土强度等级(&O)"), m_concrete);
    // GB 55008 is mandatory for new work; the older rule stays for checking
    // drawings made under GB 50010 before 2022-04-01.
    m_olderCode =
        named(new QCheckBox(QStringLiteral("按 GB 50010-2010 旧规（C20 起，400MPa 级 "
                                           "C25）(&B)"),
                            box),
              "olderConcreteCode", QStringLiteral("混凝土强度等级下限按 GB 50010-2010 旧规"));
    form->addRow(m_olderCode);
    m_codeNote =
        named(new QLabel(box), "concreteCodeNote", QStringLiteral("混凝土强度等级下限所依规范"));
    m_codeNote->setWordWrap(true);
    form->addRow(m_codeNote);

    m_diameter =
        named(new QLineEdit(QStringLiteral("25"), box), "diameter", QStringLiteral("钢筋直径"));
    add(QStringLiteral("钢筋直径 d，毫米(&D)"), m_diameter);

    m_seismic = named(new QComboBox(box), "seismicGrade", QStringLiteral("抗震等级"));
    for (SeismicGrade grade : kSeismicChoices)
        m_seismic->addItem(codes::seismicGradeName(grade));
    add(QStringLiteral("抗震等级(&S)"), m_seismic);

    m_percentLapped = named(new QLineEdit(QStringLiteral("25"), box), "percentLapped",
                            QStringLiteral("搭接接头面积百分率"));
    add(QStringLiteral("搭接接头面积百分率，%(&L)"), m_percentLapped);

    m_tension = named(new QRadioButton(QStringLiteral("受拉(&T)"), box), "tension",
                      QStringLiteral("受拉钢筋"));
    m_compression = named(new QRadioButton(QStringLiteral("受压(&Y)"), box), "compression",
                          QStringLiteral("受压钢筋"));
    m_tension->setChecked(true);
    auto* force = new QWidget(box);
    force->setObjectName(QStringLiteral("force"));
    auto* forceRow = new QHBoxLayout(force);
    forceRow->setContentsMargins(0, 0, 0, 0);
    forceRow->addWidget(m_tension);
    forceRow->addWidget(m_compression);
    forceRow->addStretch(1);
    form->addRow(QStringLiteral("钢筋受力"), force);

    m_epoxyCoated = named(new QCheckBox(QStringLiteral("环氧树脂涂层钢筋 ×1.25(&E)"), box),
                          "epoxyCoated", QStringLiteral("环氧树脂涂层修正"));
    form->addRow(m_epoxyCoated);
    m_disturbed = named(new QCheckBox(QStringLiteral("施工中易受扰动 ×1.10(&R)"), box), "disturbed",
                        QStringLiteral("施工扰动修正"));
    form->addRow(m_disturbed);
    m_cover = named(new QLineEdit(box), "cover", QStringLiteral("锚固区保护层厚度"));
    m_cover->setPlaceholderText(QStringLiteral("不修正"));
    add(QStringLiteral("锚固区保护层厚度，毫米(&V)"), m_cover);
    m_areaRatio =
        named(new QLineEdit(box), "areaRatio", QStringLiteral("设计计算面积与实际配筋面积之比"));
    m_areaRatio->setPlaceholderText(QStringLiteral("不修正"));
    m_areaRatio->setToolTip(QStringLiteral(
        "实际配筋面积大于设计计算面积时，取设计计算面积与实际配筋面积之比"
        "（GB 50010 第8.3.2条第4款）。有抗震设防要求的构件和直接承受动力荷载的构件"
        "不应考虑此项修正：有抗震等级时本程序不计入，直接承受动力荷载的构件请留空。"));
    add(QStringLiteral("As,req/As,prov（非抗震、非直接承受动力荷载）(&A)"), m_areaRatio);
    m_hooked = named(new QCheckBox(QStringLiteral("末端弯钩或机械锚固 0.6·lab(&H)"), box), "hooked",
                     QStringLiteral("末端弯钩或机械锚固"));
    form->addRow(m_hooked);

    const auto recomputeNow = [this] { recompute(); };
    for (QComboBox* combo : {m_steel, m_concrete, m_seismic})
        connect(combo, &QComboBox::currentIndexChanged, this, recomputeNow);
    for (QLineEdit* field : {m_diameter, m_percentLapped, m_cover, m_areaRatio})
        connect(field, &QLineEdit::textChanged, this, recomputeNow);
    for (QAbstractButton* toggle : std::initializer_list<QAbstractButton*>{
             m_olderCode, m_compression, m_epoxyCoated, m_disturbed, m_hooked})
        connect(toggle, &QAbstractButton::toggled, this, recomputeNow);
}

std::optional<anchorage::Inputs> AnchorageWindow::readInputs(QString& why) const {
    anchorage::Inputs in;
    in.steel = codes::kSteelGrades[static_cast<std::size_t>(m_steel->currentIndex())];
    in.concrete = m_concrete->currentData().toInt();
    in.code =
        m_olderCode->isChecked() ? codes::ConcreteCode::Gb50010 : codes::ConcreteCode::Gb55008;
    in.seismic = kSeismicChoices[m_seismic->currentIndex()];
    const std::optional<double> diameter = numbers::strictNumber(m_diameter->text());
    if (!diameter) {
        why = QStringLiteral("请输入钢筋直径（毫米）");
        return std::nullopt;
    }
    in.diameter = *diameter;
    const std::optional<double> percent = numbers::strictNumber(m_percentLapped->text());
    if (!percent) {
        why = QStringLiteral("请输入搭接接头面积百分率（0到100）");
        return std::nullopt;
    }
    in.percentLapped = *percent;
    bool bad = false;
    in.cover = optionalNumber(m_cover, bad);
    if (bad) {
        why = QStringLiteral("锚固区保护层厚度应为数字（毫米），不修正时留空");
        return std::nullopt;
    }
    in.areaRatio = optionalNumber(m_areaRatio, bad);
    if (bad) {
        why = QStringLiteral("As,req/As,prov 应为数字，不修正时留空");
        return std::nullopt;
    }
    in.epoxyCoated = m_epoxyCoated->isChecked();
    in.disturbed = m_disturbed->isChecked();
    in.hooked = m_hooked->isChecked();
    in.compression = m_compression->isChecked();
    return in;
}

void AnchorageWindow::recompute() {
    m_codeNote->setText(
        m_olderCode->isChecked()
            ? QStringLiteral("混凝土强度等级下限按 GB 50010-2010 第4.1.2条：C20，"
                             "400MPa 及以上钢筋 C25（旧规，仅用于按该规范设计的工程）")
            : QStringLiteral("混凝土强度等级下限按 GB 55008-2021 第2.0.2条：C25，"
                             "500MPa 及以上钢筋 C30（设计工作年限 50 年）"));
    QString why;
    const std::optional<anchorage::Inputs> in = readInputs(why);
    if (!in) {
        m_results = {};
        m_results.objection = why;
        m_derivation->setPlainText(why);
        return;
    }
    m_results = anchorage::compute(*in);
    m_derivation->setPlainText(m_results.derivation.join(QLatin1Char('\n')));
    if (anchorage::inputObjection(*in).isEmpty())
        showTable(*in);
    else
        m_table->clearContents();
}

void AnchorageWindow::showTable(const anchorage::Inputs& in) {
    const anchorage::AtlasTable table =
        anchorage::atlasTable(in.steel, in.seismic, in.percentLapped, in.code);
    m_tableTitle->setText(QStringLiteral("22G101-1 表值（d 的倍数）：%1  %2  搭接 %3%")
                              .arg(codes::steelGradeName(in.steel),
                                   codes::seismicGradeName(in.seismic),
                                   numbers::generalNumberText(in.percentLapped)));
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(table.columnLabels.size()));
    m_table->setRowCount(static_cast<int>(table.rows.size()));
    m_table->setHorizontalHeaderLabels(table.columnLabels);
    const std::optional<int> column = anchorage::atlasColumn(in.concrete);
    const bool seismic = in.seismic != SeismicGrade::None;
    const anchorage::Quantity main = seismic ? anchorage::Quantity::LaE : anchorage::Quantity::La;
    QFont bold = m_table->font();
    bold.setBold(true);
    int currentRow = -1;
    for (int r = 0; r < table.rows.size(); ++r) {
        const anchorage::TableRow& row = table.rows[r];
        m_table->setVerticalHeaderItem(r, new QTableWidgetItem(row.label));
        for (int c = 0; c < row.cells.size(); ++c) {
            const std::optional<int> cell = row.cells[c];
            auto* item =
                new QTableWidgetItem(cell ? QStringLiteral("%1d").arg(*cell) : QStringLiteral("—"));
            item->setTextAlignment(Qt::AlignCenter);
            if (column && c == *column && cell && anchorage::rowApplies(row, in)) {
                item->setBackground(palette().color(QPalette::Highlight).lighter(170));
                item->setFont(bold);
                item->setData(Qt::UserRole, true);
                if (row.quantity == main)
                    currentRow = r;
            }
            m_table->setItem(r, c, item);
        }
    }
    if (column && currentRow >= 0)
        m_table->setCurrentCell(currentRow, *column);
}

void AnchorageWindow::copyDerivation() {
    QApplication::clipboard()->setText(m_derivation->toPlainText());
}

bool AnchorageWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::FocusIn) {
        // Typing replaces a field's text, as on the tabs.
        if (auto* field = qobject_cast<QLineEdit*>(watched)) {
            QPointer<QLineEdit> guard(field);
            QTimer::singleShot(0, field, [guard] {
                if (guard)
                    guard->selectAll();
            });
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Enter moves on to the next input; the two force options share a place.
    if (widget == m_compression)
        widget = m_tension;
    const auto at = m_enterChain.indexOf(widget);
    if (at < 0)
        return false;
    QWidget* next = m_enterChain[(at + 1) % m_enterChain.size()];
    if (next == m_tension && m_compression->isChecked())
        next = m_compression;
    next->setFocus(Qt::TabFocusReason);
    return true;
}
