// The base of every validation rule run over a solver character.
#pragma once

#include "nodecatalogue.h"
#include "solver/character.h"
#include "validationresult.h"

#include <cstdint>
#include <string>

// One rule. Validators hold no state between runs; the model keeps them in a list built once.
// `usage` is the characterization's NodeCount usage words (bit 0 = used); positions come from
// the solver character built for this run.
class CharacterizationValidator
{
public:
    virtual ~CharacterizationValidator();
    virtual bool IsApplicable(const std::uint32_t* usage,
                              const kinetra::Character* character) const = 0;
    virtual void Validate(const std::uint32_t* usage, const kinetra::Character* character,
                          ValidationResult& result) const = 0;

protected:
    static bool IsUsed(const std::uint32_t* usage, NodeId id)
    {
        return (usage[id] & kinetra::NodeUsed) != 0;
    }
    // The node's reference translation (x, y, z, w) from the character.
    static void Translation(const kinetra::Character* character, NodeId id, float (&out)[4]);
    static std::string Name(NodeId id);
    // Numbers in messages: fixed notation, six decimals, whatever the global locale.
    static std::string FormatNumber(double value);
};
