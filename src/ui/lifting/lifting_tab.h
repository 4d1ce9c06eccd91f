#pragma once

#include "core/lifting/lifting_calc.h"
#include "ui/form/form_builder.h"
#include "ui/form/tab_page.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

// Tab 1, "构件起吊": lifting of a precast member.
//
// Controls by object name:
//   Text13  member length, mm      Text23  volume, m³
//   Text14  member width, mm       Text22  weight, kg
//   Text15  member height, mm      Text16  smallest lifting position, mm
//   Text18  cover, mm              Text17  largest lifting position, mm
//   Text19  ring diameter, mm      Text20  ring length, mm    Text21  ring mass, kg
//   Option4, Option5    top and bottom reinforcement differ / the same
//   Option6             constant section (Option7, Option14, Option15: other
//                       sections, always disabled)
//   Option8, Option9, Option10    sling angle 90, 60, 45 degrees
//   Option11, Option12, Option13  1, 2, 4 rings
//   Command1            sends the ring to the bar-quantity tab
class LiftingTab : public TabPage {
    Q_OBJECT
public:
    explicit LiftingTab(QWidget* parent = nullptr);

    // The window's start-up selections of this tab, each running its click rule.
    void startUp();

    // Recomputes every result from the fields.
    void recompute();

private:
    // The fields the recompute reads and writes.
    form::Bindings<lifting::LiftingFields> m_texts;
    void buildMember();
    void buildRing();
    // Selects an option from code and runs its click rule, as a click would.
    void select(QRadioButton* option);
    void deselect(QRadioButton* option);
    void clickRule(QRadioButton* option);
    void onReinforcementDiffersClicked();
    void onReinforcementSameClicked();
    void onVerticalSlingClicked();
    void onSlantedSlingClicked();
    void onSendRingClicked();

    QLineEdit* m_length = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QLineEdit* m_cover = nullptr;
    QLineEdit* m_volume = nullptr;
    QLineEdit* m_weight = nullptr;
    QLineEdit* m_liftingPointMin = nullptr;
    QLineEdit* m_liftingPointMax = nullptr;
    QLineEdit* m_ringDiameter = nullptr;
    QLineEdit* m_ringLength = nullptr;
    QLineEdit* m_ringMass = nullptr;
    QRadioButton* m_reinforcementDiffers = nullptr;
    QRadioButton* m_reinforcementSame = nullptr;
    QRadioButton* m_constantSection = nullptr;
    QRadioButton* m_angle90 = nullptr;
    QRadioButton* m_angle60 = nullptr;
    QRadioButton* m_angle45 = nullptr;
    QRadioButton* m_oneRing = nullptr;
    QRadioButton* m_twoRings = nullptr;
    QRadioButton* m_fourRings = nullptr;
    QPushButton* m_sendRing = nullptr;
    // Set while code selects an option, whose rule it then runs itself.
    bool m_selectingByCode = false;
};
