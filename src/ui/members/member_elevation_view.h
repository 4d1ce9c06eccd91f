#pragma once

#include "core/members/beam_bars.h"
#include "core/members/column_bars.h"

#include <QWidget>

// A member's elevation in its window, redrawn as the member changes; a click
// on a bar picks its row, and the current row is drawn emphasized.
class MemberElevationView : public QWidget {
    Q_OBJECT
public:
    explicit MemberElevationView(QWidget* parent = nullptr);

    void setHighlightedRow(qsizetype row);

Q_SIGNALS:
    void rowPicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

    virtual void paint(QPainter& painter, const QRectF& area, qsizetype highlight) const = 0;
    virtual qsizetype rowAt(const QRectF& area, const QPointF& point) const = 0;
    virtual qsizetype rowCount() const = 0;

private:
    qsizetype m_highlight = -1;
};

class BeamElevationView : public MemberElevationView {
public:
    using MemberElevationView::MemberElevationView;
    void setBars(const members::BeamBars& bars);

protected:
    void paint(QPainter& painter, const QRectF& area, qsizetype highlight) const override;
    qsizetype rowAt(const QRectF& area, const QPointF& point) const override;
    qsizetype rowCount() const override { return m_bars.rows.size(); }

private:
    members::BeamBars m_bars;
};

class ColumnElevationView : public MemberElevationView {
public:
    using MemberElevationView::MemberElevationView;
    void setBars(const members::ColumnBars& bars);

protected:
    void paint(QPainter& painter, const QRectF& area, qsizetype highlight) const override;
    qsizetype rowAt(const QRectF& area, const QPointF& point) const override;
    qsizetype rowCount() const override { return m_bars.rows.size(); }

private:
    members::ColumnBars m_bars;
};
