#pragma once

#include <QString>
#include <optional>

// The lifting computation over the tab's field texts and option states,
// widget-free.
namespace lifting {

// Top and bottom reinforcement of the member's section (Option4, Option5).
enum class Reinforcement { Differs, Same };
// The member's section (Option6, Option7, Option14, Option15); only a
// constant section is worked out, the others are never enabled.
enum class Section { Constant, VariableShortArm, VariableLongArm, AdditionalWeight };
// Angle of the sling (Option8, Option9, Option10).
enum class SlingAngle { Deg90, Deg60, Deg45 };
// Number of lifting rings (Option11, Option12, Option13).
enum class RingCount { One, Two, Four };

struct LiftingFields {
    // Inputs: member length, width and height in millimetres. The cover
    // enters no formula and is not needed here.
    QString length, width, height;

    // The selected option of each group; none while nothing is selected.
    std::optional<Reinforcement> reinforcement;
    std::optional<Section> section;
    std::optional<SlingAngle> slingAngle;
    std::optional<RingCount> ringCount;

    // Results: volume (m³), weight (kg), smallest and largest lifting
    // position (mm), ring diameter (mm), ring length (mm), ring mass (kg).
    QString volume, weight, liftingPointMin, liftingPointMax, ringDiameter, ringLength, ringMass;
};

// Recomputes every result from the current texts, step by step; each step
// reads the results before it as they are shown. A step whose operand cannot
// be read, or whose arithmetic fails, leaves its field as it was.
void recomputeMemberAndRing(LiftingFields& f);

} // namespace lifting
