#include "atleastonebonevalidator.h"

bool AtLeastOneBoneValidator::IsApplicable(const std::uint32_t* usage,
                                           const kinetra::Character*) const
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (IsUsed(usage, id))
            return true;
    }
    return false;
}

void AtLeastOneBoneValidator::Validate(const std::uint32_t*, const kinetra::Character*,
                                       ValidationResult& result) const
{
    result.SetStatus(ValidationStatus::Valid, std::string());
}
