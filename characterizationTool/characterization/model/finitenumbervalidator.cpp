#include "finitenumbervalidator.h"

#include <cmath>

bool FiniteNumberValidator::IsNodeFinite(const kinetra::Character* character, NodeId id)
{
    float transform[3][4];
    float offset[3][4];
    kinetra::GetCharacterNodeTransform(character, id, transform[0], transform[1], transform[2]);
    kinetra::GetNodeOffsetTransform(character, id, offset[0], offset[1], offset[2]);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (!std::isfinite(transform[row][column]) || !std::isfinite(offset[row][column]))
                return false;
        }
    }
    return true;
}

bool FiniteNumberValidator::IsFinite(const std::uint32_t* usage,
                                     const kinetra::Character* character)
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (IsUsed(usage, id) && !IsNodeFinite(character, id))
            return false;
    }
    return true;
}

bool FiniteNumberValidator::IsApplicable(const std::uint32_t* usage,
                                         const kinetra::Character*) const
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (IsUsed(usage, id))
            return true;
    }
    return false;
}

void FiniteNumberValidator::Validate(const std::uint32_t* usage,
                                     const kinetra::Character* character,
                                     ValidationResult& result) const
{
    bool error = false;
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (IsUsed(usage, id) && !IsNodeFinite(character, id)) {
            result.AddNodeError(id, "Node " + Name(id) +
                                        " has a position, rotation or scale that is not a "
                                        "finite number.");
            error = true;
        }
    }
    if (error)
        result.SetStatus(ValidationStatus::Error, "Some nodes have numbers that are not finite.");
    else
        result.SetStatus(ValidationStatus::Valid, std::string());
}
