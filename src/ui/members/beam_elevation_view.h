#pragma once

#include "core/members/beam_bars.h"

#include <QWidget>

// The beam's elevation in the 梁平法 window, redrawn as the beam changes; a
// click on a bar picks its row, and the current row is drawn emphasized.
class BeamElevationView : public QWidget {
    Q_OBJECT
public:
    explicit BeamElevationView(QWidget* parent = nullptr);

    void setBars(const members::BeamBars& bars);
    void setHighlightedRow(qsizetype row);

Q_SIGNALS:
    void rowPicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    members::BeamBars m_bars;
    qsizetype m_highlight = -1;
};
