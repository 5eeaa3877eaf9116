// The rule that applies as soon as any bone is bound.
#pragma once

#include "characterizationvalidator.h"

// Applies as soon as one node is used, and then always passes: it makes an empty
// characterization report nothing but the missing required bones.
class AtLeastOneBoneValidator : public CharacterizationValidator
{
public:
    bool IsApplicable(const std::uint32_t* usage,
                      const kinetra::Character* character) const override;
    void Validate(const std::uint32_t* usage, const kinetra::Character* character,
                  ValidationResult& result) const override;
};
