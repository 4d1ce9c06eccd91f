#pragma once

#include "core/beam/beam_calc.h"
#include "ui/form/form_builder.h"
#include "ui/form/tab_page.h"

class QLineEdit;

// Tab 2, "梁钢筋长度计算": bar lengths of a rectangular beam.
//
// Controls by object name:
//   Text24, Text25, Text26  beam length, width, height, mm   Text44  volume, m³
//   Text27  bearing on each side wall, mm                    Text36  cover, mm
//   Text28, Text29  top bars: diameter, count           Text37  top bar length
//   Text30, Text31  bottom bars: diameter, count        Text38  bottom bar length
//   Text32, Text33  bent-up bars: diameter, count       Text39, Text40, Text41  bent-up
//                                                       bar: upper, lower, sloped segment
//   Text34, Text35  stirrups: diameter, count           Text42, Text43  stirrup: vertical,
//                                                       horizontal inner side
//   Command2 .. Command5  send the top, bottom, bent-up bar or stirrup to the
//                         bar-quantity tab
// A screen reader hears the bar inputs by their bar ("上层钢筋直径",
// "箍筋数量"), the top and bottom bar lengths as "上层配筋长度" and
// "下层配筋长度", the stirrup's sides as "箍筋水平边长" and "箍筋竖向边长",
// and each "计算" by its bar ("计算上层配筋"); every other control by its
// label, caption or tooltip.
class BeamTab : public TabPage {
    Q_OBJECT
public:
    explicit BeamTab(QWidget* parent = nullptr);

    // Recomputes the volume and every bar segment from the beam's data.
    void recompute();

private:
    // The fields the recompute reads and writes.
    form::Bindings<beam::BeamFields> m_texts;
    struct Bar {
        QLineEdit* diameter = nullptr;
        QLineEdit* count = nullptr;
    };

    void buildInputs();
    void buildResults();
    void onSendTopBarClicked();
    void onSendBottomBarClicked();
    void onSendBentBarClicked();
    void onSendStirrupClicked();
    // No bar is sent: the user is led to the segment that needs correcting.
    void refuse(QLineEdit* segment);

    QLineEdit* m_length = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QLineEdit* m_bearing = nullptr;
    QLineEdit* m_volume = nullptr;
    Bar m_top, m_bottom, m_bent, m_stirrup;
    QLineEdit* m_cover = nullptr;
    QLineEdit* m_topBar = nullptr;
    QLineEdit* m_bottomBar = nullptr;
    QLineEdit* m_bentUpper = nullptr;
    QLineEdit* m_bentLower = nullptr;
    QLineEdit* m_bentSloped = nullptr;
    QLineEdit* m_stirrupVertical = nullptr;
    QLineEdit* m_stirrupHorizontal = nullptr;
};
