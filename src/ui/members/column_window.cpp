#include "ui/members/column_window.h"

#include "core/codes/steel_grades.h"
#include "ui/members/member_elevation_view.h"
#include "ui/members/member_window_parts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
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

namespace {

using members::ColumnMember;
using namespace member_window;

enum StoreyColumn { StoreyName, StoreyLevel, StoreyHeight, StoreyBeam, StoreyConcrete };
enum SegmentColumn {
    SegFrom,
    SegTo,
    SegSection,
    SegB1,
    SegB2,
    SegH1,
    SegH2,
    SegBars,
    SegCorner,
    SegBSide,
    SegHSide,
    SegType,
    SegStirrups,
    SegColumns
};

const codes::columns::Splice kConnections[] = {
    codes::columns::Splice::Coupler, codes::columns::Splice::Weld, codes::columns::Splice::Lap};
const char* const kFaces[] = {"b1", "b2", "h1", "h2"};

std::optional<double> optionalNumber(const QString& text) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return numberIn(text);
}

QString optionalText(const std::optional<double>& v) {
    return v ? number(*v) : QString();
}

} // namespace

ColumnWindow::ColumnWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("columnWindow"));
    setWindowTitle(QStringLiteral("柱平法"));
    auto* top = new QVBoxLayout(this);

    auto* line = new QHBoxLayout;
    m_mark = field("columnMark", QStringLiteral("柱号"), QStringLiteral("KZ1"));
    m_mark->setMaximumWidth(120);
    auto* markCaption = new QLabel(QStringLiteral("柱号(&K)："));
    markCaption->setBuddy(m_mark);
    m_position = named(new QComboBox, "columnPosition", QStringLiteral("柱的位置"));
    m_position->addItems({QStringLiteral("中柱"), QStringLiteral("边柱"), QStringLiteral("角柱")});
    auto* positionCaption = new QLabel(QStringLiteral("位置(&W)："));
    positionCaption->setBuddy(m_position);
    line->addWidget(markCaption);
    line->addWidget(m_mark);
    line->addSpacing(12);
    line->addWidget(positionCaption);
    line->addWidget(m_position);
    line->addWidget(new QLabel(QStringLiteral("外侧面：")));
    const char* outerNames[] = {"outerB1", "outerB2", "outerH1", "outerH2"};
    for (int i = 0; i < 4; ++i) {
        const QString face = QString::fromLatin1(kFaces[i]);
        m_outer[i] = named(new QCheckBox(QStringLiteral("%1(&%2)").arg(face).arg(i + 1)),
                           outerNames[i], QStringLiteral("外侧面 %1").arg(face));
        line->addWidget(m_outer[i]);
        connect(m_outer[i], &QCheckBox::toggled, this, [this] { recompute(); });
    }
    line->addStretch(1);
    top->addLayout(line);
    m_message = named(new QLabel, "columnMessage", QStringLiteral("柱的读法"));
    m_message->setWordWrap(true);
    top->addWidget(m_message);

    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName(QStringLiteral("columnSplitter"));
    m_tabs = named(new QTabWidget, "columnTabs", QStringLiteral("柱平法页面"));
    m_tabs->addTab(buildTablesPage(), QStringLiteral("层高与柱表(&S)"));
    m_tabs->addTab(buildRowsPage(), QStringLiteral("钢筋(&B)"));
    m_tabs->addTab(buildSettingsPage(), QStringLiteral("设置(&T)"));
    m_problems = named(new QPlainTextEdit, "columnProblems", QStringLiteral("无法翻样的问题"));
    m_problems->setReadOnly(true);
    m_tabs->addTab(m_problems, QStringLiteral("问题(&P)"));
    split->addWidget(m_tabs);
    m_elevation = named(new ColumnElevationView, "columnElevation", QStringLiteral("柱立面图"));
    split->addWidget(m_elevation);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    top->addWidget(split, 1);

    m_accept = addAcceptButtons(this, top, QStringLiteral("column"));

    connect(m_mark, &QLineEdit::textChanged, this, [this] { recompute(); });
    connect(m_position, &QComboBox::currentIndexChanged, this, [this] { recompute(); });
    connect(m_elevation, &ColumnElevationView::rowPicked, this, [this](int row) {
        m_rows->setCurrentCell(row, 0);
        m_rows->scrollToItem(m_rows->item(row, 0));
    });
    const QSize room = screen()->availableGeometry().size();
    resize(std::min(1280, room.width() - 40), std::min(860, room.height() - 60));
    setColumn(ColumnMember{});
}

QWidget* ColumnWindow::buildTablesPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const auto table = [&](const char* name, const QString& accessible, const QStringList& heads) {
        auto* t = named(new QTableWidget(0, int(heads.size())), name, accessible);
        t->setHorizontalHeaderLabels(heads);
        t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        t->horizontalHeader()->setStretchLastSection(true);
        t->setTabKeyNavigation(true);
        connect(t, &QTableWidget::itemChanged, this, [this] {
            if (!m_filling)
                recompute();
        });
        return t;
    };
    const auto button = [&](const char* name, const QString& text, auto slot) {
        auto* b = named(new QPushButton(text), name, text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };

    auto* storeyCaption = new QLabel(QStringLiteral("层高表(&F)：自下而上，标高与层高以米计"));
    m_storeys =
        table("storeyTable", QStringLiteral("层高表"),
              {QStringLiteral("层号"), QStringLiteral("结构标高 (m)"), QStringLiteral("层高 (m)"),
               QStringLiteral("柱顶梁高 (mm)"), QStringLiteral("混凝土")});
    storeyCaption->setBuddy(m_storeys);
    auto* storeyButtons = new QHBoxLayout;
    storeyButtons->addWidget(
        button("addStorey", QStringLiteral("增加楼层(&A)"), [this] { addStorey(); }));
    storeyButtons->addWidget(button("removeStorey", QStringLiteral("删除楼层"), [this] {
        if (m_storeys->rowCount() > 0)
            m_storeys->removeRow(m_storeys->currentRow() >= 0 ? m_storeys->currentRow()
                                                              : m_storeys->rowCount() - 1);
        refreshEmbedment();
        recompute();
    }));
    m_embedment = named(new QComboBox, "embedment", QStringLiteral("嵌固部位"));
    connect(m_embedment, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            recompute();
    });
    auto* embedmentCaption = new QLabel(QStringLiteral("嵌固部位(&G)："));
    embedmentCaption->setBuddy(m_embedment);
    storeyButtons->addSpacing(12);
    storeyButtons->addWidget(embedmentCaption);
    storeyButtons->addWidget(m_embedment);
    storeyButtons->addStretch(1);

    auto* segmentCaption = new QLabel(QStringLiteral("柱表(&Z)：每段的起止层、截面、纵筋、箍筋"));
    m_segments = table("segmentTable", QStringLiteral("柱表"),
                       {QStringLiteral("起层"), QStringLiteral("止层"), QStringLiteral("b×h 或 D"),
                        QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("h1"),
                        QStringLiteral("h2"), QStringLiteral("全部纵筋"), QStringLiteral("角筋"),
                        QStringLiteral("b边一侧中部筋"), QStringLiteral("h边一侧中部筋"),
                        QStringLiteral("箍筋类型号"), QStringLiteral("箍筋")});
    segmentCaption->setBuddy(m_segments);
    auto* segmentButtons = new QHBoxLayout;
    segmentButtons->addWidget(
        button("addSegment", QStringLiteral("增加柱段(&D)"), [this] { addSegment(); }));
    segmentButtons->addWidget(button("removeSegment", QStringLiteral("删除柱段"), [this] {
        if (m_segments->rowCount() > 0)
            m_segments->removeRow(m_segments->currentRow() >= 0 ? m_segments->currentRow()
                                                                : m_segments->rowCount() - 1);
        recompute();
    }));
    segmentButtons->addStretch(1);

    auto* foundation = new QGroupBox(QStringLiteral("基础"));
    foundation->setObjectName(QStringLiteral("foundation"));
    auto* f = new QHBoxLayout(foundation);
    m_foundationTop =
        field("foundationTop", QStringLiteral("基础顶标高"), QStringLiteral("m，空：最下层标高"));
    m_foundationDepth =
        field("foundationDepth", QStringLiteral("基础高度 hj"), QStringLiteral("mm"));
    m_foundationCover =
        field("foundationCover", QStringLiteral("基础保护层"), QStringLiteral("mm"));
    m_bottomMesh = named(new QCheckBox(QStringLiteral("插筋全部伸至底板钢筋网")), "allOnBottomMesh",
                         QStringLiteral("插筋全部伸至底板钢筋网"));
    const std::pair<const char*, QWidget*> foundationFields[] = {{"顶标高：", m_foundationTop},
                                                                 {"hj：", m_foundationDepth},
                                                                 {"保护层：", m_foundationCover}};
    for (const auto& [label, widget] : foundationFields) {
        f->addWidget(new QLabel(QString::fromUtf8(label)));
        f->addWidget(widget);
        connect(static_cast<QLineEdit*>(widget), &QLineEdit::textChanged, this,
                [this] { recompute(); });
    }
    f->addWidget(m_bottomMesh);
    connect(m_bottomMesh, &QCheckBox::toggled, this, [this] { recompute(); });

    layout->addWidget(storeyCaption);
    layout->addWidget(m_storeys, 2);
    layout->addLayout(storeyButtons);
    layout->addWidget(segmentCaption);
    layout->addWidget(m_segments, 1);
    layout->addLayout(segmentButtons);
    layout->addWidget(foundation);
    return page;
}

QWidget* ColumnWindow::buildSettingsPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const auto changed = [this] { recompute(); };
    const auto combo = [&](const char* name, const QString& label, const QStringList& items) {
        auto* c = named(new QComboBox, name, label);
        c->addItems(items);
        connect(c, &QComboBox::currentIndexChanged, this, changed);
        return c;
    };
    const auto check = [&](const char* name, const QString& text) {
        auto* c = named(new QCheckBox(text), name, text);
        connect(c, &QCheckBox::toggled, this, changed);
        return c;
    };
    m_concrete = combo("columnConcrete", QStringLiteral("混凝土强度等级"), concreteNames());
    m_seismic = combo("columnSeismic", QStringLiteral("抗震等级"), seismicNames());
    m_cover = field("columnCover", QStringLiteral("柱保护层"), QStringLiteral("mm，至箍筋外皮"));
    connect(m_cover, &QLineEdit::textChanged, this, changed);
    m_connection = combo("connection", QStringLiteral("纵筋连接"),
                         {QStringLiteral("机械连接"), QStringLiteral("电渣压力焊 / 闪光对焊"),
                          QStringLiteral("绑扎搭接")});
    m_formula = check("anchorageFormula", QStringLiteral("锚固长度按公式不取整（默认查图集表）"));
    m_allOuter = check("allOuterIntoBeam",
                       QStringLiteral("边柱、角柱外侧纵筋全部伸入梁内 1.5labE（默认 ≥65%）"));
    m_denseAtLaps = check("denseAtLaps", QStringLiteral("搭接区箍筋间距 min(5d, 100)"));
    m_stock = field("columnStockLength", QStringLiteral("钢筋定尺长度"), QStringLiteral("mm"));
    connect(m_stock, &QLineEdit::textChanged, this, changed);
    m_phiGrade = combo("columnPhiGrade", QStringLiteral("Φ 表示的牌号"), phiGradeNames());
    m_seismicSteel = check("columnSeismicSteel", QStringLiteral("抗震钢筋（HRB400E、HRB500E）"));
    const std::pair<const char*, QWidget*> rows[] = {{"混凝土(&C)：", m_concrete},
                                                     {"抗震等级(&E)：", m_seismic},
                                                     {"保护层 (mm)：", m_cover},
                                                     {"纵筋连接(&J)：", m_connection},
                                                     {"", m_formula},
                                                     {"", m_allOuter},
                                                     {"", m_denseAtLaps},
                                                     {"定尺长度 (mm)：", m_stock},
                                                     {"Φ 的牌号：", m_phiGrade},
                                                     {"", m_seismicSteel}};
    for (const auto& [label, widget] : rows)
        form->addRow(QString::fromUtf8(label), widget);
    auto* note = new QLabel(QStringLiteral(
        "默认按 22G101-1、22G101-3 图集；其余为常见做法，选用时请与设计、监理确认。"));
    note->setWordWrap(true);
    form->addRow(note);
    return page;
}

QWidget* ColumnWindow::buildRowsPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_rows = rowsTable("columnRows");
    m_derivation =
        named(new QPlainTextEdit, "columnRowDerivation", QStringLiteral("当前钢筋的计算过程"));
    m_derivation->setReadOnly(true);
    m_derivation->setMaximumHeight(80);
    connect(m_rows, &QTableWidget::currentCellChanged, this, [this] { showDerivation(); });
    layout->addWidget(m_rows, 1);
    layout->addWidget(m_derivation);
    return page;
}

void ColumnWindow::setListSettings(const schedule::ListSettings& settings) {
    m_listSettings = settings;
    recompute();
}

void ColumnWindow::setColumn(const ColumnMember& c) {
    m_filling = true;
    m_mark->setText(c.mark);
    m_position->setCurrentIndex(static_cast<int>(c.position));
    for (int i = 0; i < 4; ++i)
        m_outer[i]->setChecked(c.outerFaces.contains(QString::fromLatin1(kFaces[i])));
    m_storeys->setRowCount(int(c.storeys.size()));
    for (int r = 0; r < c.storeys.size(); ++r) {
        const members::Storey& s = c.storeys[r];
        setCell(m_storeys, r, StoreyName, s.name);
        setCell(m_storeys, r, StoreyLevel, number(s.level));
        setCell(m_storeys, r, StoreyHeight, number(s.height));
        setCell(m_storeys, r, StoreyBeam, number(s.beamDepth));
        setCell(m_storeys, r, StoreyConcrete,
                s.concrete ? QStringLiteral("C%1").arg(*s.concrete) : QString());
    }
    m_segments->setRowCount(int(c.segments.size()));
    for (int r = 0; r < c.segments.size(); ++r) {
        const members::ColumnSegment& g = c.segments[r];
        const QString values[SegColumns] = {g.from,
                                            g.to,
                                            g.section,
                                            optionalText(g.b1),
                                            optionalText(g.b2),
                                            optionalText(g.h1),
                                            optionalText(g.h2),
                                            g.bars,
                                            g.corner,
                                            g.bSide,
                                            g.hSide,
                                            g.stirrupType,
                                            g.stirrups};
        for (int col = 0; col < SegColumns; ++col)
            setCell(m_segments, r, col, values[col]);
    }
    m_foundationTop->setText(optionalText(c.foundation.top));
    m_foundationDepth->setText(number(c.foundation.depth));
    m_foundationCover->setText(number(c.foundation.cover));
    m_bottomMesh->setChecked(c.foundation.allOnBottomMesh);
    m_concrete->setCurrentIndex(indexIn(kConcreteGrades, c.concrete));
    m_seismic->setCurrentIndex(indexIn(kSeismicGrades, c.seismic));
    m_cover->setText(number(c.cover));
    m_connection->setCurrentIndex(indexIn(kConnections, c.connection));
    m_formula->setChecked(c.settings.anchorageFormula);
    m_allOuter->setChecked(c.settings.allOuterIntoBeam);
    m_denseAtLaps->setChecked(c.settings.denseAtLaps);
    m_stock->setText(number(c.settings.stockLength));
    m_phiGrade->setCurrentIndex(indexIn(kPhiGrades, c.settings.notation.phiGrade));
    m_seismicSteel->setChecked(c.settings.notation.seismicSteel);
    refreshEmbedment();
    m_embedment->setCurrentIndex(std::max(0, m_embedment->findData(c.embedment)));
    m_filling = false;
    recompute();
}

ColumnMember ColumnWindow::column() const {
    ColumnMember c;
    c.mark = m_mark->text().trimmed();
    c.position = static_cast<members::ColumnPosition>(std::max(0, m_position->currentIndex()));
    for (int i = 0; i < 4; ++i)
        if (m_outer[i]->isChecked())
            c.outerFaces << QString::fromLatin1(kFaces[i]);
    for (int r = 0; r < m_storeys->rowCount(); ++r) {
        members::Storey s;
        s.name = cell(m_storeys, r, StoreyName).trimmed();
        s.level = numberIn(cell(m_storeys, r, StoreyLevel));
        s.height = numberIn(cell(m_storeys, r, StoreyHeight));
        s.beamDepth = numberIn(cell(m_storeys, r, StoreyBeam));
        QString concrete = cell(m_storeys, r, StoreyConcrete).trimmed().toUpper();
        if (concrete.startsWith(QLatin1Char('C')))
            concrete.remove(0, 1);
        if (!concrete.isEmpty())
            s.concrete = int(numberIn(concrete));
        c.storeys << s;
    }
    c.embedment = m_embedment->currentData().toString();
    for (int r = 0; r < m_segments->rowCount(); ++r) {
        members::ColumnSegment g;
        g.from = cell(m_segments, r, SegFrom).trimmed();
        g.to = cell(m_segments, r, SegTo).trimmed();
        g.section = cell(m_segments, r, SegSection);
        g.b1 = optionalNumber(cell(m_segments, r, SegB1));
        g.b2 = optionalNumber(cell(m_segments, r, SegB2));
        g.h1 = optionalNumber(cell(m_segments, r, SegH1));
        g.h2 = optionalNumber(cell(m_segments, r, SegH2));
        g.bars = cell(m_segments, r, SegBars);
        g.corner = cell(m_segments, r, SegCorner);
        g.bSide = cell(m_segments, r, SegBSide);
        g.hSide = cell(m_segments, r, SegHSide);
        g.stirrupType = cell(m_segments, r, SegType);
        g.stirrups = cell(m_segments, r, SegStirrups);
        c.segments << g;
    }
    c.foundation.top = optionalNumber(m_foundationTop->text());
    c.foundation.depth = numberIn(m_foundationDepth->text());
    c.foundation.cover = numberIn(m_foundationCover->text());
    c.foundation.allOnBottomMesh = m_bottomMesh->isChecked();
    c.concrete = valueAt(kConcreteGrades, m_concrete->currentIndex());
    c.seismic = valueAt(kSeismicGrades, m_seismic->currentIndex());
    c.cover = numberIn(m_cover->text());
    c.connection = valueAt(kConnections, m_connection->currentIndex());
    c.settings.anchorageFormula = m_formula->isChecked();
    c.settings.allOuterIntoBeam = m_allOuter->isChecked();
    c.settings.denseAtLaps = m_denseAtLaps->isChecked();
    c.settings.stockLength = numberIn(m_stock->text());
    c.settings.notation.phiGrade = valueAt(kPhiGrades, m_phiGrade->currentIndex());
    c.settings.notation.seismicSteel = m_seismicSteel->isChecked();
    return c;
}

void ColumnWindow::refreshEmbedment() {
    const bool was = m_filling;
    m_filling = true;
    const QString current = m_embedment->currentData().toString();
    m_embedment->clear();
    m_embedment->addItem(QStringLiteral("基础顶"), QString());
    for (int r = 0; r < m_storeys->rowCount(); ++r) {
        const QString name = cell(m_storeys, r, StoreyName).trimmed();
        if (!name.isEmpty())
            m_embedment->addItem(QStringLiteral("%1 层底").arg(name), name);
    }
    m_embedment->setCurrentIndex(std::max(0, m_embedment->findData(current)));
    m_filling = was;
}

void ColumnWindow::addStorey() {
    const int r = m_storeys->rowCount();
    m_filling = true;
    m_storeys->insertRow(r);
    if (r == 0) {
        setCell(m_storeys, r, StoreyName, QStringLiteral("1"));
        setCell(m_storeys, r, StoreyLevel, QStringLiteral("-0.05"));
        setCell(m_storeys, r, StoreyHeight, QStringLiteral("4.5"));
        setCell(m_storeys, r, StoreyBeam, QStringLiteral("700"));
    } else {
        const double level = numberIn(cell(m_storeys, r - 1, StoreyLevel));
        const double height = numberIn(cell(m_storeys, r - 1, StoreyHeight));
        bool numbered = false;
        const int below = cell(m_storeys, r - 1, StoreyName).toInt(&numbered);
        setCell(m_storeys, r, StoreyName,
                numbered ? QString::number(below == -1 ? 1 : below + 1) : QString());
        setCell(m_storeys, r, StoreyLevel, number(std::round((level + height) * 1000) / 1000));
        setCell(m_storeys, r, StoreyHeight, number(height));
        setCell(m_storeys, r, StoreyBeam, cell(m_storeys, r - 1, StoreyBeam));
        setCell(m_storeys, r, StoreyConcrete, cell(m_storeys, r - 1, StoreyConcrete));
    }
    m_filling = false;
    refreshEmbedment();
    // The height is what a new storey most often differs in.
    m_storeys->setFocus();
    m_storeys->setCurrentCell(r, StoreyHeight);
    recompute();
}

void ColumnWindow::addSegment() {
    const int r = m_segments->rowCount();
    m_filling = true;
    m_segments->insertRow(r);
    const QString first = m_storeys->rowCount() > 0 ? cell(m_storeys, 0, StoreyName) : QString();
    const QString last = m_storeys->rowCount() > 0
                             ? cell(m_storeys, m_storeys->rowCount() - 1, StoreyName)
                             : QString();
    QString from = first;
    if (r > 0) {
        // From the storey above the last segment's top.
        const QString to = cell(m_segments, r - 1, SegTo).trimmed();
        for (int s = 0; s + 1 < m_storeys->rowCount(); ++s)
            if (cell(m_storeys, s, StoreyName).trimmed() == to)
                from = cell(m_storeys, s + 1, StoreyName);
    }
    setCell(m_segments, r, SegFrom, from);
    setCell(m_segments, r, SegTo, last);
    for (int col : {SegSection, SegBars, SegType, SegStirrups})
        setCell(m_segments, r, col, r > 0 ? cell(m_segments, r - 1, col) : QString());
    m_filling = false;
    m_segments->setFocus();
    m_segments->setCurrentCell(r, r > 0 ? SegTo : SegSection);
    recompute();
}

void ColumnWindow::recompute() {
    if (m_filling)
        return;
    if (m_embedment->count() != m_storeys->rowCount() + 1)
        refreshEmbedment();
    const ColumnMember c = column();
    m_bars = members::detailColumn(c);
    if (c.storeys.isEmpty() || c.segments.isEmpty()) {
        m_message->setText(QStringLiteral("请填层高表（增加楼层 Alt+A）和柱表（增加柱段 Alt+D）"));
        m_message->setStyleSheet(QString());
    } else {
        QString text = QStringLiteral("%1：%2 层，生成 %3 行钢筋")
                           .arg(c.mark)
                           .arg(c.storeys.size())
                           .arg(m_bars.rows.size());
        if (!m_bars.problems.isEmpty())
            text += QStringLiteral("；%1 个问题，首个：%2：%3")
                        .arg(m_bars.problems.size())
                        .arg(m_bars.problems.first().where, m_bars.problems.first().reason);
        m_message->setText(text);
        m_message->setStyleSheet(m_bars.problems.isEmpty() ? QString()
                                                           : QStringLiteral("color: #8a5a00;"));
    }
    showProblems(m_problems, m_bars.problems);
    m_tabs->setTabText(3, m_bars.problems.isEmpty()
                              ? QStringLiteral("问题(&P)")
                              : QStringLiteral("问题 %1(&P)").arg(m_bars.problems.size()));
    m_accept->setEnabled(!m_bars.rows.isEmpty());
    showRows(m_rows, m_bars.rows, m_listSettings);
    showDerivation();
    m_elevation->setBars(m_bars);
}

void ColumnWindow::showDerivation() {
    const int r = m_rows->currentRow();
    const bool any = r >= 0 && r < m_bars.rows.size();
    m_derivation->setPlainText(any ? m_bars.rows[r].derivation : QString());
    m_elevation->setHighlightedRow(any ? r : -1);
}
