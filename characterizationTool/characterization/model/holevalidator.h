// The rule that a chain of numbered segments is bound without holes.
#pragma once

#include "characterizationvalidator.h"

#include <string>
#include <vector>

// Applies when any node of the chain is used; then every used position must follow a used
// position, from the chain's first node on.
class HoleValidator : public CharacterizationValidator
{
public:
    HoleValidator(const std::string& description, const std::vector<NodeId>& chain);

    bool IsApplicable(const std::uint32_t* usage,
                      const kinetra::Character* character) const override;
    void Validate(const std::uint32_t* usage, const kinetra::Character* character,
                  ValidationResult& result) const override;

private:
    std::string m_description; // lower case, read inside messages
    std::vector<NodeId> m_chain;
};
