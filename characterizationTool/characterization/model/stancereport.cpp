#include "stancereport.h"

#include "characterization.h"

#include <cmath>

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

} // namespace

const std::vector<StanceReport::Rule>& StanceReport::Rules()
{
    static const std::vector<Rule> rules = {
        {"hips", 5, 2, {1.0, 0.0, 0.0}, false},        // RightUpLeg to LeftUpLeg
        {"leftArm", 9, 11, {1.0, 0.0, 0.0}, false},    // LeftArm to LeftHand
        {"rightArm", 12, 14, {-1.0, 0.0, 0.0}, false}, // RightArm to RightHand
        {"up", 1, 15, {0.0, 1.0, 0.0}, true},          // Hips to Head
    };
    return rules;
}

std::vector<StanceAngle> StanceReport::Measure(const Characterization& characterization)
{
    return Measure([&characterization](NodeId id, double position[3]) {
        if (!characterization.IsNodeAssigned(id))
            return false;
        for (int i = 0; i < 3; ++i)
            position[i] = characterization.RestState(id).Translate[i];
        return true;
    });
}

std::vector<StanceAngle> StanceReport::Measure(const PositionOf& positionOf)
{
    std::vector<StanceAngle> angles;
    for (const Rule& rule : Rules()) {
        double tip[3];
        double base[3];
        if (!positionOf(rule.base, base) || !positionOf(rule.tip, tip))
            continue;
        double d[3];
        double length = 0.0;
        for (int i = 0; i < 3; ++i) {
            d[i] = i == 0 && rule.acrossX ? 0.0 : tip[i] - base[i];
            length += d[i] * d[i];
        }
        length = std::sqrt(length);
        double cosine = -1.0; // joints at one point have no direction
        if (length > 0.0 && std::isfinite(length))
            cosine = (d[0] * rule.axis[0] + d[1] * rule.axis[1] + d[2] * rule.axis[2]) / length;
        cosine = std::fmax(-1.0, std::fmin(1.0, cosine));
        angles.push_back({QString::fromLatin1(rule.name), std::acos(cosine) * kDegreesPerRadian});
    }
    return angles;
}

QString StanceReport::Describe(const StanceAngle& angle)
{
    static const QStringList rules = {"hips", "leftArm", "rightArm", "up"};
    static const QStringList texts = {
        QStringLiteral("Hips: %1\u00b0 from facing +Z (limit %2\u00b0)"),
        QStringLiteral("Left arm: %1\u00b0 off the X axis (limit %2\u00b0)"),
        QStringLiteral("Right arm: %1\u00b0 off the X axis (limit %2\u00b0)"),
        QStringLiteral("Up axis: %1\u00b0 off +Y (limit %2\u00b0)"),
    };
    const int index = rules.indexOf(angle.rule);
    return texts.value(index, angle.rule + QStringLiteral(": %1\u00b0 (limit %2\u00b0)"))
        .arg(angle.degrees, 0, 'f', 1)
        .arg(kLimitDegrees, 0, 'f', 1);
}
