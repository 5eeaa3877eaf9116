#include "axisvalidator.h"

#include <cmath>

AxisValidator::AxisValidator(NodeId tip, NodeId base, float axisX, std::string shortText,
                             std::string longTextStart, std::string longTextMiddle)
    : m_tip(tip)
    , m_base(base)
    , m_axisX(axisX)
    , m_shortText(std::move(shortText))
    , m_longTextStart(std::move(longTextStart))
    , m_longTextMiddle(std::move(longTextMiddle))
{}

bool AxisValidator::IsApplicable(const std::uint32_t* usage, const kinetra::Character*) const
{
    return IsUsed(usage, m_tip) && IsUsed(usage, m_base);
}

double AxisValidator::AngleToAxis(const kinetra::Character* character) const
{
    float tip[4];
    float base[4];
    Translation(character, m_tip, tip);
    Translation(character, m_base, base);
    float d[4];
    for (int i = 0; i < 4; ++i)
        d[i] = tip[i] - base[i];
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2] + d[3] * d[3]);
    // Only x survives the dot product with (+-1, 0, 0, 0).
    float cosine = (d[0] / length) * m_axisX;
    if (std::isnan(cosine) || cosine < -1.0f)
        cosine = -1.0f;
    else if (cosine > 1.0f)
        cosine = 1.0f;
    return std::acos(cosine) * 57.29578f;
}

void AxisValidator::Validate(const std::uint32_t*, const kinetra::Character* character,
                             ValidationResult& result) const
{
    const double angle = AngleToAxis(character);
    if (angle <= kMaxAngleDegrees) {
        result.SetStatus(ValidationStatus::Valid, std::string());
        return;
    }
    const std::string text = m_longTextStart + FormatNumber(angle) + m_longTextMiddle +
                             FormatNumber(kMaxAngleDegrees) + " degrees.";
    result.AddNodeWarning(m_tip, text);
    result.AddNodeWarning(m_base, text);
    result.SetStatus(ValidationStatus::Warning, m_shortText);
}
