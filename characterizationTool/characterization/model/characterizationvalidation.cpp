#include "characterizationvalidation.h"

#include "atleastonebonevalidator.h"
#include "finitenumbervalidator.h"
#include "hipsxaxisvalidator.h"
#include "holevalidator.h"
#include "host/idcchub.h"
#include "leftarmsxaxisvalidator.h"
#include "requiredbonevalidator.h"
#include "rightarmsxaxisvalidator.h"
#include "samegeometryvalidator.h"
#include "solver/nodenames.h"

namespace {

const char kMixedRollBones[] = "Mixing In-Line and Leaf roll bone is not allowed.";

} // namespace

CharacterizationValidation::CharacterizationValidation()
{
    m_overall.status = ValidationStatus::Warning;
}

void CharacterizationValidation::BuildValidators()
{
    m_validators.clear();
    m_validators.push_back(std::make_shared<AtLeastOneBoneValidator>());
    m_validators.push_back(std::make_shared<FiniteNumberValidator>());
    m_validators.push_back(std::make_shared<RequiredBoneValidator>());
    for (const NodeChain& chain : NodeChains) {
        m_validators.push_back(std::make_shared<HoleValidator>(
            chain.Description, std::vector<NodeId>(chain.begin(), chain.end())));
    }
    m_validators.push_back(std::make_shared<HipsXAxisValidator>());
    m_validators.push_back(std::make_shared<RightArmsXAxisValidator>());
    m_validators.push_back(std::make_shared<LeftArmsXAxisValidator>());
    m_validators.push_back(std::make_shared<SameGeometryValidator>());
}

void CharacterizationValidation::SetNodeValidation(NodeId id, ValidationStatus status,
                                                   const std::string& message)
{
    m_nodes[id].status = status;
    m_nodes[id].message = message;
}

void CharacterizationValidation::Run(const std::uint32_t* usage,
                                     const kinetra::Character* character, IDCCHub* hub)
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        const bool used = (usage[id] & kinetra::NodeUsed) != 0;
        SetNodeValidation(id, used ? ValidationStatus::Valid : ValidationStatus::NotSet, {});
    }

    std::vector<ValidationResult> reports;
    reports.reserve(m_validators.size() + 1);
    for (const auto& validator : m_validators) {
        if (validator->IsApplicable(usage, character)) {
            reports.emplace_back();
            validator->Validate(usage, character, reports.back());
        }
    }
    if (hub) {
        reports.emplace_back();
        reports.back().SetStatus(ValidationStatus::Valid, std::string());
        hub->HostValidate(reports.back());
    }

    std::string message;
    ValidationStatus status = Fold(reports, message);
    if (status == ValidationStatus::NotSet || status == ValidationStatus::Valid) {
        for (NodeId id = 0; id < NodeCount; ++id) {
            if (IsRequiredNode(id) && m_nodes[id].status == ValidationStatus::NotSet) {
                status = ValidationStatus::Error;
                // An error always says why: the views show this text beside the red light.
                if (message.empty())
                    message = "Missing required bones.";
                break;
            }
        }
    }
    ApplyRollBoneRule(status, message);
    m_overall.status = status;
    m_overall.message = message;
}

ValidationStatus CharacterizationValidation::Fold(const std::vector<ValidationResult>& reports,
                                                  std::string& message)
{
    ValidationStatus status = reports.empty() ? ValidationStatus::NotSet : reports[0].Status();
    for (const ValidationResult& report : reports) {
        status = CombineStatus(status, report.Status());
        if (report.HasProblem()) {
            if (!message.empty())
                message += "\n";
            message += report.Message();
        }
        // Node entries count even in a passing report: the tolerated Hips/HipsTranslation
        // coincidence still marks both nodes.
        for (const NodeValidationResult& entry : report.NodeEntries()) {
            NodeValidation& node = m_nodes[entry.node];
            // Entries never reach unused nodes and never overwrite an error.
            if (node.status != ValidationStatus::NotSet && node.status != ValidationStatus::Error)
                SetNodeValidation(entry.node, entry.status, entry.message);
        }
    }
    return status;
}

void CharacterizationValidation::ApplyRollBoneRule(ValidationStatus& status, std::string& message)
{
    for (int limb = 0; limb < kLimbCount; ++limb) {
        const NodeId inlineRoll = InlineRollNodes[limb];
        if (m_nodes[inlineRoll].status == ValidationStatus::NotSet)
            continue;
        bool leafUsed = false;
        for (int index = 1; index <= kLeafRollsPerLimb; ++index)
            leafUsed =
                leafUsed || m_nodes[LeafRollNode(limb, index)].status != ValidationStatus::NotSet;
        if (!leafUsed)
            continue;
        SetNodeValidation(inlineRoll, ValidationStatus::Error, kMixedRollBones);
        SetNodeValidation(LeafRollNode(limb, 1), ValidationStatus::Error, kMixedRollBones);
        status = ValidationStatus::Error;
        message += std::string("\n Mixed roll bone at ") + kinetra::NodeName(inlineRoll) + ".";
    }
}

ValidationStatus CharacterizationValidation::CombinedStatus(const std::vector<NodeId>& ids) const
{
    if (ids.empty())
        return ValidationStatus::NotSet;
    ValidationStatus status = m_nodes[ids[0]].status;
    for (NodeId id : ids)
        status = CombineStatus(status, m_nodes[id].status);
    if (status == ValidationStatus::Error)
        return status;
    for (NodeId id : ids) {
        if (IsRequiredNode(id) && m_nodes[id].status == ValidationStatus::NotSet)
            return ValidationStatus::Error;
    }
    return status;
}
