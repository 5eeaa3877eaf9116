// The validator list and the per-node and overall verdicts of the last validation run.
#pragma once

#include "characterizationvalidator.h"
#include "validationresult.h"

#include <array>
#include <memory>
#include <vector>

class IDCCHub;

// Runs every applicable validator over a solver character and folds their reports, the
// host's verdict, the required-node rule and the roll-bone rule into one NodeValidation per
// node and one overall. Owned by the model.
class CharacterizationValidation
{
public:
    CharacterizationValidation();

    // Replaces the list with the 32 rules, in the order their reports are folded.
    void BuildValidators();
    int ValidatorCount() const { return int(m_validators.size()); }

    // Validates the character built from a characterization whose usage words are `usage`;
    // `hub`, when given, adds the host's verdict as the last report.
    void Run(const std::uint32_t* usage, const kinetra::Character* character, IDCCHub* hub);

    const NodeValidation& NodeValidationOf(NodeId id) const { return m_nodes[id]; }
    void SetNodeValidation(NodeId id, ValidationStatus status, const std::string& message);
    const NodeValidation& OverallValidation() const { return m_overall; }

    // Status of a group of nodes: the greatest of theirs, or Error when one of them is a
    // required node that is not used. NotSet for an empty group.
    ValidationStatus CombinedStatus(const std::vector<NodeId>& ids) const;

private:
    ValidationStatus Fold(const std::vector<ValidationResult>& reports, std::string& message);
    void ApplyRollBoneRule(ValidationStatus& status, std::string& message);

    std::vector<std::shared_ptr<CharacterizationValidator>> m_validators;
    std::array<NodeValidation, NodeCount> m_nodes;
    NodeValidation m_overall;
};
