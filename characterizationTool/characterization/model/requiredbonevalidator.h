// The rule that the required bones are bound.
#pragma once

#include "characterizationvalidator.h"

// Hips through Head must all be bound.
class RequiredBoneValidator : public CharacterizationValidator
{
public:
    bool IsApplicable(const std::uint32_t* usage,
                      const kinetra::Character* character) const override;
    void Validate(const std::uint32_t* usage, const kinetra::Character* character,
                  ValidationResult& result) const override;
};
