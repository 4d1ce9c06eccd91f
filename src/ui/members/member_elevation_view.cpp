#include "ui/members/member_elevation_view.h"

#include "drawing/members/beam_elevation.h"
#include "drawing/members/column_elevation.h"

#include <QMouseEvent>
#include <QPainter>

MemberElevationView::MemberElevationView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(120, 120);
    setFocusPolicy(Qt::NoFocus);
}

void MemberElevationView::setHighlightedRow(qsizetype row) {
    if (row == m_highlight)
        return;
    m_highlight = row;
    update();
}

void MemberElevationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QRectF(rect()), m_highlight < rowCount() ? m_highlight : -1);
}

void MemberElevationView::mousePressEvent(QMouseEvent* event) {
    const qsizetype row = rowAt(QRectF(rect()), event->position());
    if (row >= 0)
        Q_EMIT rowPicked(int(row));
}

void BeamElevationView::setBars(const members::BeamBars& bars) {
    m_bars = bars;
    update();
}

void BeamElevationView::paint(QPainter& painter, const QRectF& area, qsizetype highlight) const {
    members::BeamElevationStyle style;
    style.highlightRow = highlight;
    members::paintBeamElevation(painter, area, m_bars, style);
}

qsizetype BeamElevationView::rowAt(const QRectF& area, const QPointF& point) const {
    return members::beamElevationRowAt(area, m_bars, point);
}

void ColumnElevationView::setBars(const members::ColumnBars& bars) {
    m_bars = bars;
    update();
}

void ColumnElevationView::paint(QPainter& painter, const QRectF& area, qsizetype highlight) const {
    members::ColumnElevationStyle style;
    style.highlightRow = highlight;
    members::paintColumnElevation(painter, area, m_bars, style);
}

qsizetype ColumnElevationView::rowAt(const QRectF& area, const QPointF& point) const {
    return members::columnElevationRowAt(area, m_bars, point);
}
