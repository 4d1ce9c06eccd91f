#include "ui/members/beam_window.h"

#include "core/codes/steel_grades.h"
#include "core/members/beam_notation.h"
#include "ui/members/member_elevation_view.h"
#include "ui/members/member_window_parts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

using members::BeamMember;
using members::BeamSettings;
using namespace member_window;

double millimetres(const QString& text) {
    return numberIn(text);
}

enum SpanColumn { SpanLength, SpanBottom, SpanSection, SpanStirrups, SpanSide, SpanColumns };
enum SupportColumn { SupportWidth, SupportBoth, SupportLeft, SupportRight, SupportColumns };

const codes::beams::Splice kSplices[] = {codes::beams::Splice::Lap, codes::beams::Splice::Coupler,
                                         codes::beams::Splice::Weld};

} // namespace

BeamWindow::BeamWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("beamWindow"));
    setWindowTitle(QStringLiteral("梁平法"));
    buildLayout();
    setBeam(BeamMember{});
}

void BeamWindow::buildLayout() {
    auto* top = new QVBoxLayout(this);
    auto* line = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("集中标注(&A)："));
    m_annotation = field("beamAnnotation", QStringLiteral("集中标注"),
                         QStringLiteral("如 KL1(2) 300×700 C10@100/200(2) 2C25;4C25 G4C12"));
    m_annotation->setToolTip(
        QStringLiteral("梁编号(跨数) 截面 箍筋 上部通长筋;下部通长筋 侧面筋 (标高高差)\n"
                       "钢筋牌号：A=HPB300 B=HRB335 C=HRB400 D=HRB500，× 可写作 x"));
    caption->setBuddy(m_annotation);
    line->addWidget(caption);
    line->addWidget(m_annotation, 1);
    top->addLayout(line);
    m_message = named(new QLabel, "annotationMessage", QStringLiteral("标注读法"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(m_message);

    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("beamSplitter"));
    m_tabs = named(new QTabWidget, "beamTabs", QStringLiteral("梁平法页面"));
    m_tabs->addTab(buildGeometryPage(), QStringLiteral("跨与支座(&S)"));
    m_tabs->addTab(buildRowsPage(), QStringLiteral("钢筋(&B)"));
    m_tabs->addTab(buildSettingsPage(), QStringLiteral("设置(&T)"));
    m_problems = named(new QPlainTextEdit, "beamProblems", QStringLiteral("无法翻样的问题"));
    m_problems->setReadOnly(true);
    m_tabs->addTab(m_problems, QStringLiteral("问题(&P)"));
    split->addWidget(m_tabs);
    m_elevation = named(new BeamElevationView, "beamElevation", QStringLiteral("梁立面图"));
    split->addWidget(m_elevation);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    top->addWidget(split, 1);

    m_accept = addAcceptButtons(this, top, QStringLiteral("beam"));

    connect(m_annotation, &QLineEdit::textChanged, this, [this] { recompute(); });
    // Enter goes on to the spans, where a new beam's lengths are typed next.
    connect(m_annotation, &QLineEdit::returnPressed, this, [this] {
        m_tabs->setCurrentIndex(0);
        m_spans->setFocus(Qt::TabFocusReason);
        if (m_spans->rowCount() > 0)
            m_spans->setCurrentCell(0, SpanLength);
    });
    connect(m_elevation, &BeamElevationView::rowPicked, this, [this](int row) {
        m_rows->setCurrentCell(row, 0);
        m_rows->scrollToItem(m_rows->item(row, 0));
    });
    // As large as the tables want, within the screen the list is on.
    const QSize room = screen()->availableGeometry().size();
    resize(std::min(1180, room.width() - 40), std::min(860, room.height() - 60));
}

QWidget* BeamWindow::buildGeometryPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const auto table = [&](const char* name, const QString& accessible, const QStringList& heads) {
        auto* t = named(new QTableWidget(0, int(heads.size())), name, accessible);
        t->setHorizontalHeaderLabels(heads);
        t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        t->setTabKeyNavigation(true);
        connect(t, &QTableWidget::itemChanged, this, [this] {
            if (!m_filling)
                recompute();
        });
        return t;
    };
    auto* spanCaption =
        new QLabel(QStringLiteral("各跨(&N)：净跨 ln 与跨中原位标注（空：按集中标注）"));
    m_spans = table("spanTable", QStringLiteral("各跨"),
                    {QStringLiteral("净跨 ln (mm)"), QStringLiteral("下部钢筋"),
                     QStringLiteral("截面"), QStringLiteral("箍筋"), QStringLiteral("侧面筋")});
    spanCaption->setBuddy(m_spans);
    // Four rows where the screen has room; on a 768-line laptop screen the
    // tables scroll so that the elevation and the buttons stay in view.
    const int tableHeight = screen()->availableGeometry().height() > 900 ? 150 : 90;
    m_spans->setMinimumHeight(tableHeight);
    auto* supportCaption =
        new QLabel(QStringLiteral("各支座(&U)：宽度 hc 与上部原位标注（两侧相同只填“两侧”）"));
    m_supports = table("supportTable", QStringLiteral("各支座"),
                       {QStringLiteral("宽度 hc (mm)"), QStringLiteral("上部钢筋（两侧）"),
                        QStringLiteral("左侧"), QStringLiteral("右侧")});
    supportCaption->setBuddy(m_supports);
    m_supports->setMinimumHeight(tableHeight);
    layout->addWidget(spanCaption);
    layout->addWidget(m_spans, 1);
    layout->addWidget(supportCaption);
    layout->addWidget(m_supports, 1);

    auto* cantilevers = new QGroupBox(QStringLiteral("悬挑端（长度为空：无悬挑）"));
    cantilevers->setObjectName(QStringLiteral("cantilevers"));
    auto* grid = new QGridLayout(cantilevers);
    m_leftLength = field("leftCantilever", QStringLiteral("左悬挑净长"), QStringLiteral("mm"));
    m_rightLength = field("rightCantilever", QStringLiteral("右悬挑净长"), QStringLiteral("mm"));
    m_leftBottom =
        field("leftCantileverBottom", QStringLiteral("左悬挑下部筋"), QStringLiteral("如 2C16"));
    m_rightBottom =
        field("rightCantileverBottom", QStringLiteral("右悬挑下部筋"), QStringLiteral("如 2C16"));
    m_leftStirrups = field("leftCantileverStirrups", QStringLiteral("左悬挑箍筋"),
                           QStringLiteral("空：同第一跨加密"));
    m_rightStirrups = field("rightCantileverStirrups", QStringLiteral("右悬挑箍筋"),
                            QStringLiteral("空：同末跨加密"));
    const QString heads[] = {QStringLiteral("净长 l"), QStringLiteral("下部筋"),
                             QStringLiteral("箍筋")};
    for (int c = 0; c < 3; ++c)
        grid->addWidget(new QLabel(heads[c]), 0, c + 1);
    auto* left = new QLabel(QStringLiteral("左(&Z)"));
    left->setBuddy(m_leftLength);
    auto* right = new QLabel(QStringLiteral("右(&Y)"));
    right->setBuddy(m_rightLength);
    grid->addWidget(left, 1, 0);
    grid->addWidget(m_leftLength, 1, 1);
    grid->addWidget(m_leftBottom, 1, 2);
    grid->addWidget(m_leftStirrups, 1, 3);
    grid->addWidget(right, 2, 0);
    grid->addWidget(m_rightLength, 2, 1);
    grid->addWidget(m_rightBottom, 2, 2);
    grid->addWidget(m_rightStirrups, 2, 3);
    for (QLineEdit* e : {m_leftLength, m_rightLength, m_leftBottom, m_rightBottom, m_leftStirrups,
                         m_rightStirrups})
        connect(e, &QLineEdit::textChanged, this, [this] { recompute(); });
    layout->addWidget(cantilevers);
    return page;
}

QWidget* BeamWindow::buildSettingsPage() {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    auto* member = new QFormLayout;
    auto* variants = new QFormLayout;
    columns->addLayout(member);
    columns->addLayout(variants);
    const auto changed = [this] { recompute(); };
    const auto combo = [&](const char* name, const QString& label, const QStringList& items) {
        auto* c = named(new QComboBox, name, label);
        c->addItems(items);
        connect(c, &QComboBox::currentIndexChanged, this, changed);
        return c;
    };
    const auto edit = [&](const char* name, const QString& label, const QString& placeholder = {}) {
        QLineEdit* e = field(name, label, placeholder);
        connect(e, &QLineEdit::textChanged, this, changed);
        return e;
    };
    const auto check = [&](const char* name, const QString& text) {
        auto* c = named(new QCheckBox(text), name, text);
        connect(c, &QCheckBox::toggled, this, changed);
        return c;
    };

    m_concrete = combo("beamConcrete", QStringLiteral("混凝土强度等级"), concreteNames());
    m_seismic = combo("beamSeismic", QStringLiteral("抗震等级"), seismicNames());
    m_beamCover = edit("beamCover", QStringLiteral("梁保护层"), QStringLiteral("mm"));
    m_columnCover = edit("columnCover", QStringLiteral("柱保护层"), QStringLiteral("mm"));
    m_columnBarsInside = edit("columnBarsInside", QStringLiteral("柱箍筋与纵筋"),
                              QStringLiteral("弯锚伸至柱纵筋内侧时扣除，mm"));
    const QStringList ends{QStringLiteral("柱（框架梁）"), QStringLiteral("梁（非框架梁）")};
    m_leftEnd = combo("leftEndSupport", QStringLiteral("左端支座"), ends);
    m_rightEnd = combo("rightEndSupport", QStringLiteral("右端支座"), ends);
    m_stock = combo("stockLength", QStringLiteral("钢筋定尺长度"),
                    {QStringLiteral("9000"), QStringLiteral("12000")});
    m_stock->setEditable(true);
    connect(m_stock, &QComboBox::editTextChanged, this, changed);
    m_splice =
        combo("splice", QStringLiteral("长筋连接方式"),
              {QStringLiteral("绑扎搭接"), QStringLiteral("机械连接"), QStringLiteral("焊接")});
    m_phiGrade = combo("phiGrade", QStringLiteral("Φ 表示的牌号"), phiGradeNames());
    m_seismicSteel = check("seismicSteel", QStringLiteral("抗震钢筋（HRB400E、HRB500E）"));
    const std::pair<const char*, QWidget*> memberRows[] = {
        {"混凝土(&C)：", m_concrete},
        {"抗震等级(&E)：", m_seismic},
        {"梁保护层 (mm)：", m_beamCover},
        {"柱保护层 (mm)：", m_columnCover},
        {"柱箍筋+纵筋 (mm)：", m_columnBarsInside},
        {"左端支座：", m_leftEnd},
        {"右端支座：", m_rightEnd},
        {"定尺长度 (mm)：", m_stock},
        {"长筋连接：", m_splice},
        {"Φ 的牌号：", m_phiGrade},
        {"", m_seismicSteel}};
    for (const auto& [label, widget] : memberRows)
        member->addRow(QString::fromUtf8(label), widget);

    m_anchorage = combo("anchorageBasis", QStringLiteral("锚固长度取值"),
                        {QStringLiteral("查图集表（默认）"), QStringLiteral("按公式不取整"),
                         QStringLiteral("取 d 的倍数")});
    m_anchorageMultiple =
        edit("anchorageMultiple", QStringLiteral("锚固长度倍数"), QStringLiteral("如 40"));
    m_farFace = check("straightToFarFace", QStringLiteral("端支座直锚伸至柱外侧 hc−c"));
    m_insideHooks =
        check("bottomInsideTopHooks", QStringLiteral("下部筋弯折在上部筋内侧（水平段减 50）"));
    m_throughEqual =
        check("bottomThroughEqualSpans", QStringLiteral("相邻跨下部筋相同时贯通中间支座"));
    m_sideContinuous = check("sideBarsContinuous", QStringLiteral("构造腰筋贯通，搭接 15d"));
    m_columnIntoBeam = check("roofColumnIntoBeam", QStringLiteral("屋面框架梁端节点：柱锚梁"));
    m_fullyUsed = check("nonFrameFullyUsed", QStringLiteral("非框架梁端支座充分利用钢筋抗拉强度"));
    m_hookAllowance = edit("hookAllowance", QStringLiteral("135° 弯钩预算增加长度"),
                           QStringLiteral("空：1.9d + max(10d, 75)；或填 d 的倍数"));
    m_tieDiameter =
        edit("tieDiameter", QStringLiteral("拉筋直径"), QStringLiteral("空：按梁宽 6 或 8"));
    const std::pair<const char*, QWidget*> variantRows[] = {{"锚固长度(&G)：", m_anchorage},
                                                            {"倍数 (d)：", m_anchorageMultiple},
                                                            {"", m_farFace},
                                                            {"", m_insideHooks},
                                                            {"", m_throughEqual},
                                                            {"", m_sideContinuous},
                                                            {"", m_columnIntoBeam},
                                                            {"", m_fullyUsed},
                                                            {"弯钩预算：", m_hookAllowance},
                                                            {"拉筋直径 (mm)：", m_tieDiameter}};
    for (const auto& [label, widget] : variantRows)
        variants->addRow(QString::fromUtf8(label), widget);
    auto* note = new QLabel(
        QStringLiteral("默认按 22G101-1 图集；其余为常见做法，选用时请与设计、监理确认。\n"
                       "无论选哪种做法，下料单都存外包尺寸，由下料单的弯曲调整值算下料长度。"));
    note->setWordWrap(true);
    variants->addRow(note);
    return page;
}

QWidget* BeamWindow::buildRowsPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_rows = rowsTable("beamRows");
    m_derivation = named(new QPlainTextEdit, "rowDerivation", QStringLiteral("当前钢筋的计算过程"));
    m_derivation->setReadOnly(true);
    m_derivation->setMaximumHeight(80);
    connect(m_rows, &QTableWidget::currentCellChanged, this, [this] { showDerivation(); });
    layout->addWidget(m_rows, 1);
    layout->addWidget(m_derivation);
    return page;
}

void BeamWindow::setBeam(const BeamMember& beam) {
    m_filling = true;
    m_annotation->setText(beam.annotation);
    const int spans = int(std::max(beam.spans.size(), beam.supports.size() - 1));
    m_spans->setRowCount(0);
    m_supports->setRowCount(0);
    fitTables(std::max(spans, 0));
    for (int s = 0; s < m_spans->rowCount(); ++s) {
        setCell(m_spans, s, SpanLength, s < beam.spans.size() ? number(beam.spans[s]) : QString());
        const members::SpanNote note = beam.atSpans.value(s);
        setCell(m_spans, s, SpanBottom, note.bottom);
        setCell(m_spans, s, SpanSection, note.section);
        setCell(m_spans, s, SpanStirrups, note.stirrups);
        setCell(m_spans, s, SpanSide, note.side);
    }
    for (int s = 0; s < m_supports->rowCount(); ++s) {
        setCell(m_supports, s, SupportWidth,
                s < beam.supports.size() ? number(beam.supports[s]) : QString());
        const members::SupportNote note = beam.atSupports.value(s);
        setCell(m_supports, s, SupportBoth, note.both);
        setCell(m_supports, s, SupportLeft, note.left);
        setCell(m_supports, s, SupportRight, note.right);
    }
    const auto cantilever = [](const std::optional<members::Cantilever>& c, QLineEdit* length,
                               QLineEdit* bottom, QLineEdit* stirrups) {
        length->setText(c ? number(c->length) : QString());
        bottom->setText(c ? c->bottom : QString());
        stirrups->setText(c ? c->stirrups : QString());
    };
    cantilever(beam.leftCantilever, m_leftLength, m_leftBottom, m_leftStirrups);
    cantilever(beam.rightCantilever, m_rightLength, m_rightBottom, m_rightStirrups);

    const BeamSettings& set = beam.settings;
    m_concrete->setCurrentIndex(indexIn(kConcreteGrades, beam.concrete));
    m_seismic->setCurrentIndex(indexIn(kSeismicGrades, beam.seismic));
    m_beamCover->setText(number(beam.beamCover));
    m_columnCover->setText(number(beam.columnCover));
    m_columnBarsInside->setText(beam.columnBarsInside > 0 ? number(beam.columnBarsInside)
                                                          : QString());
    m_leftEnd->setCurrentIndex(beam.leftEnd == members::EndSupport::Beam ? 1 : 0);
    m_rightEnd->setCurrentIndex(beam.rightEnd == members::EndSupport::Beam ? 1 : 0);
    m_stock->setCurrentText(number(set.stockLength));
    m_splice->setCurrentIndex(int(std::find(std::begin(kSplices), std::end(kSplices), set.splice) -
                                  std::begin(kSplices)));
    m_anchorage->setCurrentIndex(static_cast<int>(set.anchorageBasis));
    m_anchorageMultiple->setText(set.anchorageMultiple > 0 ? number(set.anchorageMultiple)
                                                           : QString());
    m_farFace->setChecked(set.straightToFarFace);
    m_insideHooks->setChecked(set.bottomInsideTopHooks);
    m_throughEqual->setChecked(set.bottomThroughEqualSpans);
    m_sideContinuous->setChecked(set.sideBarsContinuous);
    m_columnIntoBeam->setChecked(set.roofColumnIntoBeam);
    m_fullyUsed->setChecked(set.nonFrameFullyUsed);
    m_hookAllowance->setText(set.hookAllowance ? number(*set.hookAllowance) : QString());
    m_tieDiameter->setText(set.tieDiameter ? QString::number(*set.tieDiameter) : QString());
    m_phiGrade->setCurrentIndex(indexIn(kPhiGrades, set.notation.phiGrade));
    m_seismicSteel->setChecked(set.notation.seismicSteel);
    m_filling = false;
    recompute();
}

void BeamWindow::setListSettings(const schedule::ListSettings& settings) {
    m_listSettings = settings;
    showRows();
}

BeamMember BeamWindow::beam() const {
    BeamMember b;
    b.annotation = m_annotation->text();
    for (int s = 0; s < m_spans->rowCount(); ++s) {
        b.spans << millimetres(cell(m_spans, s, SpanLength));
        b.atSpans << members::SpanNote{cell(m_spans, s, SpanBottom), cell(m_spans, s, SpanSection),
                                       cell(m_spans, s, SpanStirrups), cell(m_spans, s, SpanSide)};
    }
    for (int s = 0; s < m_supports->rowCount(); ++s) {
        b.supports << millimetres(cell(m_supports, s, SupportWidth));
        b.atSupports << members::SupportNote{cell(m_supports, s, SupportBoth),
                                             cell(m_supports, s, SupportLeft),
                                             cell(m_supports, s, SupportRight)};
    }
    // Notes left empty say nothing: the lists end at the last one written.
    while (!b.atSpans.isEmpty() && b.atSpans.last() == members::SpanNote{})
        b.atSpans.removeLast();
    while (!b.atSupports.isEmpty() && b.atSupports.last() == members::SupportNote{})
        b.atSupports.removeLast();
    const auto cantilever = [](QLineEdit* length, QLineEdit* bottom,
                               QLineEdit* stirrups) -> std::optional<members::Cantilever> {
        if (length->text().trimmed().isEmpty())
            return std::nullopt;
        return members::Cantilever{millimetres(length->text()), bottom->text(), stirrups->text()};
    };
    b.leftCantilever = cantilever(m_leftLength, m_leftBottom, m_leftStirrups);
    b.rightCantilever = cantilever(m_rightLength, m_rightBottom, m_rightStirrups);
    b.concrete = valueAt(kConcreteGrades, m_concrete->currentIndex());
    b.seismic = valueAt(kSeismicGrades, m_seismic->currentIndex());
    b.beamCover = millimetres(m_beamCover->text());
    b.columnCover = millimetres(m_columnCover->text());
    b.columnBarsInside = millimetres(m_columnBarsInside->text());
    b.leftEnd =
        m_leftEnd->currentIndex() == 1 ? members::EndSupport::Beam : members::EndSupport::Column;
    b.rightEnd =
        m_rightEnd->currentIndex() == 1 ? members::EndSupport::Beam : members::EndSupport::Column;
    BeamSettings& set = b.settings;
    set.stockLength = millimetres(m_stock->currentText());
    set.splice = kSplices[std::max(0, m_splice->currentIndex())];
    set.anchorageBasis =
        static_cast<BeamSettings::AnchorageBasis>(std::max(0, m_anchorage->currentIndex()));
    set.anchorageMultiple = millimetres(m_anchorageMultiple->text());
    set.straightToFarFace = m_farFace->isChecked();
    set.bottomInsideTopHooks = m_insideHooks->isChecked();
    set.bottomThroughEqualSpans = m_throughEqual->isChecked();
    set.sideBarsContinuous = m_sideContinuous->isChecked();
    set.roofColumnIntoBeam = m_columnIntoBeam->isChecked();
    set.nonFrameFullyUsed = m_fullyUsed->isChecked();
    if (!m_hookAllowance->text().trimmed().isEmpty())
        set.hookAllowance = millimetres(m_hookAllowance->text());
    if (!m_tieDiameter->text().trimmed().isEmpty())
        set.tieDiameter = int(std::lround(millimetres(m_tieDiameter->text())));
    set.notation.phiGrade = valueAt(kPhiGrades, m_phiGrade->currentIndex());
    set.notation.seismicSteel = m_seismicSteel->isChecked();
    return b;
}

void BeamWindow::fitTables(int spans) {
    const bool was = m_filling;
    m_filling = true;
    // Keep what was typed in the rows that stay; a span count typed by
    // mistake and put right again loses nothing but the rows beyond it.
    m_spans->setRowCount(spans);
    m_supports->setRowCount(spans > 0 ? spans + 1 : 0);
    QStringList supportNames;
    for (int s = 0; s <= spans; ++s)
        supportNames << QStringLiteral("支座 %1").arg(s + 1);
    QStringList spanNames;
    for (int s = 0; s < spans; ++s)
        spanNames << QStringLiteral("第 %1 跨").arg(s + 1);
    m_spans->setVerticalHeaderLabels(spanNames);
    m_supports->setVerticalHeaderLabels(supportNames);
    m_filling = was;
}

void BeamWindow::recompute() {
    if (m_filling)
        return;
    const members::Parsed<members::BeamHeader> header =
        members::parseHeader(m_annotation->text(), beam().settings.notation);
    if (header.value && header.value->spans != m_spans->rowCount() && header.value->spans <= 100)
        fitTables(header.value->spans);
    const BeamMember b = beam();
    m_bars = members::detailBeam(b);

    if (m_annotation->text().trimmed().isEmpty()) {
        m_message->setText(
            QStringLiteral("请输入集中标注，如 KL1(2) 300×700 C10@100/200(2) 2C25;4C25"));
        m_message->setStyleSheet(QString());
    } else if (!header.value) {
        QStringList faults;
        for (const members::NotationError& e : header.errors)
            faults << QStringLiteral("第 %1 个字符：%2").arg(e.position + 1).arg(e.reason);
        m_message->setText(faults.join(QLatin1Char('\n')));
        m_message->setStyleSheet(QStringLiteral("color: #b00020;"));
        if (!header.errors.isEmpty()) {
            // Marks the place of the first fault for a screen reader and the eye.
            m_annotation->setToolTip(m_message->text());
        }
    } else {
        const members::BeamHeader& h = *header.value;
        QString text = QStringLiteral("%1：%2 跨").arg(h.number).arg(h.spans);
        if (h.cantilevers == members::CantileverEnds::One)
            text += QStringLiteral("，一端悬挑");
        else if (h.cantilevers == members::CantileverEnds::Both)
            text += QStringLiteral("，两端悬挑");
        text += QStringLiteral("，截面 %1×%2").arg(number(h.section.b), number(h.section.h));
        text += QStringLiteral("；生成 %1 行钢筋").arg(m_bars.rows.size());
        if (!m_bars.problems.isEmpty())
            text += QStringLiteral("，%1 个问题见“问题”页").arg(m_bars.problems.size());
        m_message->setText(text);
        m_message->setStyleSheet(m_bars.problems.isEmpty() ? QString()
                                                           : QStringLiteral("color: #8a5a00;"));
    }
    showProblems(m_problems, m_bars.problems);
    m_tabs->setTabText(3, m_bars.problems.isEmpty()
                              ? QStringLiteral("问题(&P)")
                              : QStringLiteral("问题 %1(&P)").arg(m_bars.problems.size()));
    // A beam whose annotation cannot be read has no rows to put in the list.
    m_accept->setEnabled(!m_bars.rows.isEmpty());
    showRows();
    m_elevation->setBars(m_bars);
}

void BeamWindow::showRows() {
    member_window::showRows(m_rows, m_bars.rows, m_listSettings);
    showDerivation();
}

void BeamWindow::showDerivation() {
    const int r = m_rows->currentRow();
    const bool any = r >= 0 && r < m_bars.rows.size();
    m_derivation->setPlainText(any ? m_bars.rows[r].derivation : QString());
    m_elevation->setHighlightedRow(any ? r : -1);
}
