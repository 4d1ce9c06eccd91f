#pragma once

#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"
#include "drawing/sketches/shape_sketch.h"

#include <QGroupBox>
#include <QWidget>

class QLabel;

// Paints one shape's sketch with its letters and values.
class SketchView : public QWidget {
    Q_OBJECT
public:
    explicit SketchView(QWidget* parent = nullptr);
    void setSketch(schedule::Shape shape, const schedule::SketchLabels& labels);
    schedule::Shape shape() const { return m_shape; }
    QSize sizeHint() const override { return {340, 170}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    schedule::Shape m_shape = schedule::Shape::Straight;
    schedule::SketchLabels m_labels;
};

// The current row at a glance: its shape's sketch with the row's values,
// the cut-length formula, the bend and hook terms it uses, and the result.
class SketchPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SketchPanel(QWidget* parent = nullptr);
    // `result` is null for the entry row.
    void showRow(const schedule::BarRow& row, const schedule::RowResult* result,
                 const schedule::ListSettings& settings);

private:
    SketchView* m_view;
    QLabel* m_shape;
    QLabel* m_formula;
    QLabel* m_terms;
    QLabel* m_cutLength;
};
