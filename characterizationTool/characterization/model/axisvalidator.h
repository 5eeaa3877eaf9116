// The rule that a pair of joints lies along the X axis (hips, arms) in the rest pose.
#pragma once

#include "characterizationvalidator.h"

#include <string>

// Warns when the direction from the base node to the tip node is more than 2 degrees away
// from the given X direction. Coinciding nodes have no direction and count as 180 degrees.
class AxisValidator : public CharacterizationValidator
{
public:
    // `longTextStart` and `longTextMiddle` surround the angle in the node message, and the
    // threshold follows `longTextMiddle`; `shortText` is the summary.
    AxisValidator(NodeId tip, NodeId base, float axisX, std::string shortText,
                  std::string longTextStart, std::string longTextMiddle);

    bool IsApplicable(const std::uint32_t* usage,
                      const kinetra::Character* character) const override;
    void Validate(const std::uint32_t* usage, const kinetra::Character* character,
                  ValidationResult& result) const override;

    // Angle in degrees between the base-to-tip direction and the axis.
    double AngleToAxis(const kinetra::Character* character) const;

    static constexpr double kMaxAngleDegrees = 2.0;

private:
    NodeId m_tip;
    NodeId m_base;
    float m_axisX; // +1 or -1
    std::string m_shortText;
    std::string m_longTextStart;
    std::string m_longTextMiddle;
};
