#include "ui/schedule/sketch_panel.h"

#include "core/codes/bar_masses.h"
#include "core/codes/bending.h"
#include "core/numbers/number_text.h"
#include "core/schedule/row_columns.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

using namespace schedule;

namespace {

QString oneDecimal(double value) {
    return fixedText(std::llround(value * 1000), 3, 1);
}

// The bend and hook terms of the shape's formula for this row, worked out
// by the bending rules.
QString termsOf(const BarRow& row, double mandrel, bool seismic) {
    const double d = row.diameter;
    const double D = mandrel;
    QStringList terms;
    switch (row.shape) {
    case Shape::L:
    case Shape::U:
        terms << QStringLiteral("δ90 = %1").arg(oneDecimal(codes::bendDeduction(90, D, d)));
        break;
    case Shape::Stirrup:
        terms << QStringLiteral("δ90 = %1").arg(oneDecimal(codes::bendDeduction(90, D, d)));
        [[fallthrough]];
    case Shape::Tie:
        terms << QStringLiteral("h135 = %1（平直段 %2）")
                     .arg(oneDecimal(codes::hookAddition(
                              135, D, d, codes::stirrupHookStraightEnd(d, seismic))),
                          oneDecimal(codes::stirrupHookStraightEnd(d, seismic)));
        break;
    case Shape::Hook180:
        terms << QStringLiteral("h180 = %1（平直段 3d）")
                     .arg(oneDecimal(codes::hookAddition(180, D, d, codes::hook180StraightEnd(d))));
        break;
    case Shape::Bent: {
        const double angle = row.dimensions.value(QStringLiteral("angle"), kDefaultBentAngle);
        terms << QStringLiteral("δ%1 = %2")
                     .arg(numbers::generalNumberText(angle),
                          oneDecimal(codes::bendDeduction(angle, D, d)));
        break;
    }
    default:
        break;
    }
    terms.prepend(QStringLiteral("d = %1，弯曲直径 D = %2").arg(row.diameter).arg(oneDecimal(D)));
    return terms.join(QStringLiteral("；")) + QStringLiteral("（mm）");
}

} // namespace

SketchView::SketchView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("shapeSketch"));
    setAccessibleName(QStringLiteral("钢筋简图"));
    setMinimumSize(220, 120);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void SketchView::setSketch(Shape shape, const SketchLabels& labels) {
    m_shape = shape;
    m_labels = labels;
    update();
}

void SketchView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    drawShapeSketch(painter, QRectF(rect()).adjusted(6, 6, -6, -6), m_shape, m_labels);
}

SketchPanel::SketchPanel(QWidget* parent) : QGroupBox(QStringLiteral("简图"), parent) {
    setObjectName(QStringLiteral("sketchPanel"));
    m_view = new SketchView(this);
    m_shape = new QLabel(this);
    m_shape->setObjectName(QStringLiteral("sketchShape"));
    m_formula = new QLabel(this);
    m_formula->setObjectName(QStringLiteral("sketchFormula"));
    m_terms = new QLabel(this);
    m_terms->setObjectName(QStringLiteral("sketchTerms"));
    m_cutLength = new QLabel(this);
    m_cutLength->setObjectName(QStringLiteral("sketchCutLength"));
    for (QLabel* label : {m_shape, m_formula, m_terms, m_cutLength}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    QFont bold = m_cutLength->font();
    bold.setBold(true);
    m_cutLength->setFont(bold);
    m_shape->setAccessibleName(QStringLiteral("当前行的形状"));
    m_formula->setAccessibleName(QStringLiteral("下料长度公式"));
    m_terms->setAccessibleName(QStringLiteral("弯曲调整值和弯钩增加长度"));
    m_cutLength->setAccessibleName(QStringLiteral("当前行的下料长度"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_shape);
    layout->addWidget(m_formula);
    layout->addWidget(m_terms);
    layout->addWidget(m_cutLength);
}

void SketchPanel::showRow(const BarRow& row, const RowResult* result,
                          const ListSettings& settings) {
    const ShapeInfo& info = shapeInfo(row.shape);
    m_view->setSketch(row.shape, sketchLabelsOf(row));
    m_shape->setText(QStringLiteral("%1（%2）").arg(info.name, info.code));
    m_formula->setText(QStringLiteral("下料长度 = %1").arg(info.formula));
    if (!result) {
        m_terms->clear();
        m_cutLength->setText(QStringLiteral("新行：输入后计算"));
        return;
    }
    if (result->problem) {
        m_terms->clear();
        m_cutLength->setText(QStringLiteral("无法计算：%1").arg(result->problem->reason));
        return;
    }
    m_terms->setText(termsOf(row, result->mandrel, settings.seismic));
    const QString exact = oneDecimal(result->exactCutLength);
    const QString rounded = numbers::generalNumberText(result->cutLength);
    m_cutLength->setText(exact == rounded + QStringLiteral(".0")
                             ? QStringLiteral("下料长度 %1 mm").arg(rounded)
                             : QStringLiteral("下料长度 %1 mm（计算值 %2）").arg(rounded, exact));
}
