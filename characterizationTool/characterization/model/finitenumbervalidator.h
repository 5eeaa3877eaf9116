// The rule that every bound node's reference transform is made of finite numbers.
#pragma once

#include "characterizationvalidator.h"

// A joint whose position, rotation or scale reached the tool as NaN or infinity (a world
// transform beyond single precision) is an error: every other rule compares such numbers as
// if they meant something, and a locked characterization would write them into its file.
class FiniteNumberValidator : public CharacterizationValidator
{
public:
    bool IsApplicable(const std::uint32_t* usage,
                      const kinetra::Character* character) const override;
    void Validate(const std::uint32_t* usage, const kinetra::Character* character,
                  ValidationResult& result) const override;

    // True when the reference and offset transforms of every used node are finite.
    static bool IsFinite(const std::uint32_t* usage, const kinetra::Character* character);

private:
    static bool IsNodeFinite(const kinetra::Character* character, NodeId id);
};
