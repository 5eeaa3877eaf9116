#include "holevalidator.h"

HoleValidator::HoleValidator(const std::string& description, const std::vector<NodeId>& chain)
    : m_description(description)
    , m_chain(chain)
{}

bool HoleValidator::IsApplicable(const std::uint32_t* usage, const kinetra::Character*) const
{
    for (NodeId id : m_chain) {
        if (IsUsed(usage, id))
            return true;
    }
    return false;
}

void HoleValidator::Validate(const std::uint32_t* usage, const kinetra::Character*,
                             ValidationResult& result) const
{
    const std::string summary = "One or more nodes are missing in the " + m_description;
    bool failed = false;
    int last = -1;
    for (int i = 0; i < int(m_chain.size()); ++i) {
        if (!IsUsed(usage, m_chain[i]))
            continue;
        if (last != i - 1) {
            // The first position has no predecessor to name; it can never fail here.
            result.AddNodeError(m_chain[i], summary + ". Node " + Name(m_chain[i]) +
                                                " is set but not node " + Name(m_chain[i - 1]));
            failed = true;
        }
        last = i;
    }
    if (failed)
        result.SetStatus(ValidationStatus::Error, summary);
    else
        result.SetStatus(ValidationStatus::Valid, std::string());
}
