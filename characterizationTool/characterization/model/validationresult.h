// Validation statuses and the records validators and the model fill with them.
#pragma once

#include "nodecatalogue.h"

#include <cstdint>
#include <string>
#include <vector>

// How usable a node or a whole characterization is. Combining two statuses gives the
// greater one. The numeric values are what the tool command reports.
enum class ValidationStatus : std::uint32_t
{
    NotSet = 0, // node not used
    Valid = 1,
    Warning = 2,
    Error = 3,
};

ValidationStatus CombineStatus(ValidationStatus a, ValidationStatus b);
bool IsProblem(ValidationStatus status);

// A status with its message, per node and overall.
struct NodeValidation
{
    ValidationStatus status = ValidationStatus::NotSet;
    std::string message;
};

// One node's verdict inside a validator's report.
struct NodeValidationResult
{
    NodeId node;
    ValidationStatus status;
    std::string message;
};

// The report of one validator run: a status, a summary message and per-node verdicts in
// the order they were added.
class ValidationResult
{
public:
    ValidationStatus Status() const { return m_status; }
    const std::string& Message() const { return m_message; }
    const std::vector<NodeValidationResult>& NodeEntries() const { return m_nodeEntries; }

    void SetStatus(ValidationStatus status, const std::string& message);
    void AddNodeWarning(NodeId node, const std::string& message);
    void AddNodeError(NodeId node, const std::string& message);
    // True when the status is Warning or Error.
    bool HasProblem() const { return IsProblem(m_status); }

private:
    ValidationStatus m_status = ValidationStatus::NotSet;
    std::string m_message;
    std::vector<NodeValidationResult> m_nodeEntries;
};
