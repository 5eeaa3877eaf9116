#include "samegeometryvalidator.h"

#include <cmath>

namespace {

constexpr float kNearDistance = 1e-6f;

bool IsLimbSegmentPair(NodeId a, NodeId b)
{
    for (const NodePair& pair : LimbSegmentPairs) {
        if (pair.First == a && pair.Second == b)
            return true;
    }
    return false;
}

struct Position
{
    NodeId node;
    float t[4];
};

} // namespace

bool SameGeometryValidator::IsApplicable(const std::uint32_t* usage,
                                         const kinetra::Character*) const
{
    int used = 0;
    for (NodeId id = 0; id < NodeCount && used < 2; ++id)
        used += IsUsed(usage, id) ? 1 : 0;
    return used >= 2;
}

void SameGeometryValidator::Validate(const std::uint32_t* usage,
                                     const kinetra::Character* character,
                                     ValidationResult& result) const
{
    // Read each position once; the pair loop is quadratic.
    Position positions[NodeCount];
    int count = 0;
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (IsUsed(usage, id) && !IsExcludedFromPositionCheck(id)) {
            positions[count].node = id;
            Translation(character, id, positions[count].t);
            ++count;
        }
    }

    bool error = false;
    bool warning = false;
    for (int i = 0; i < count; ++i) {
        const Position& a = positions[i];
        for (int j = i + 1; j < count; ++j) {
            const Position& b = positions[j];
            if (a.t[0] == b.t[0] && a.t[1] == b.t[1] && a.t[2] == b.t[2]) {
                const std::string text = "Node " + Name(a.node) +
                                         " is at the same position as node " + Name(b.node) + ".";
                if (IsLimbSegmentPair(a.node, b.node)) {
                    result.AddNodeError(a.node, text);
                    result.AddNodeError(b.node, text);
                    error = true;
                } else {
                    result.AddNodeWarning(a.node, text);
                    result.AddNodeWarning(b.node, text);
                    warning = warning || !IsToleratedCoincidence(a.node, b.node);
                }
            } else if (std::fabs(a.t[0] - b.t[0]) < kNearDistance &&
                       std::fabs(a.t[1] - b.t[1]) < kNearDistance &&
                       std::fabs(a.t[2] - b.t[2]) < kNearDistance) {
                const std::string text = "Node " + Name(a.node) +
                                         " is almost at the same position as node " + Name(b.node) +
                                         ".";
                result.AddNodeWarning(a.node, text);
                result.AddNodeWarning(b.node, text);
                warning = true;
            }
        }
    }
    if (error)
        result.SetStatus(ValidationStatus::Error, "Some nodes are at the same position.");
    else if (warning)
        result.SetStatus(ValidationStatus::Warning, "Some nodes are almost at the same position.");
    else
        result.SetStatus(ValidationStatus::Valid, std::string());
}
