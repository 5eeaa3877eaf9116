#include "validationresult.h"

#include <algorithm>

ValidationStatus CombineStatus(ValidationStatus a, ValidationStatus b)
{
    return std::max(a, b);
}

bool IsProblem(ValidationStatus status)
{
    return status == ValidationStatus::Warning || status == ValidationStatus::Error;
}

void ValidationResult::SetStatus(ValidationStatus status, const std::string& message)
{
    m_status = status;
    m_message = message;
}

void ValidationResult::AddNodeWarning(NodeId node, const std::string& message)
{
    m_nodeEntries.push_back({node, ValidationStatus::Warning, message});
}

void ValidationResult::AddNodeError(NodeId node, const std::string& message)
{
    m_nodeEntries.push_back({node, ValidationStatus::Error, message});
}
