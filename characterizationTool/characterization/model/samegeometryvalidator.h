// The rule that no two bound joints stand at (almost) the same position.
#pragma once

#include "characterizationvalidator.h"

// Compares every pair of used nodes, roll nodes excluded. Exactly coinciding limb segments
// are errors; other exact or near (< 1e-6 per axis) coincidences are warnings, except that
// Hips and HipsTranslation may coincide without a warning in the summary.
class SameGeometryValidator : public CharacterizationValidator
{
public:
    bool IsApplicable(const std::uint32_t* usage,
                      const kinetra::Character* character) const override;
    void Validate(const std::uint32_t* usage, const kinetra::Character* character,
                  ValidationResult& result) const override;
};
