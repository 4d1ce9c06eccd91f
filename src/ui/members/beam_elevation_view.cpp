#include "ui/members/beam_elevation_view.h"

#include "drawing/members/beam_elevation.h"

#include <QMouseEvent>
#include <QPainter>

BeamElevationView::BeamElevationView(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(120);
    setFocusPolicy(Qt::NoFocus);
}

void BeamElevationView::setBars(const members::BeamBars& bars) {
    m_bars = bars;
    if (m_highlight >= m_bars.rows.size())
        m_highlight = -1;
    update();
}

void BeamElevationView::setHighlightedRow(qsizetype row) {
    if (row == m_highlight)
        return;
    m_highlight = row;
    update();
}

void BeamElevationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    members::BeamElevationStyle style;
    style.highlightRow = m_highlight;
    members::paintBeamElevation(painter, QRectF(rect()), m_bars, style);
}

void BeamElevationView::mousePressEvent(QMouseEvent* event) {
    const qsizetype row = members::beamElevationRowAt(QRectF(rect()), m_bars, event->position());
    if (row >= 0)
        Q_EMIT rowPicked(int(row));
}
