#include "requiredbonevalidator.h"

bool RequiredBoneValidator::IsApplicable(const std::uint32_t*, const kinetra::Character*) const
{
    return true;
}

void RequiredBoneValidator::Validate(const std::uint32_t* usage, const kinetra::Character*,
                                     ValidationResult& result) const
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (IsRequiredNode(id) && !IsUsed(usage, id)) {
            result.SetStatus(ValidationStatus::Error, "Missing required bones.");
            return;
        }
    }
    result.SetStatus(ValidationStatus::Valid, std::string());
}
