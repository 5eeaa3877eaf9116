#include "characterization.h"

#include "host/idcchub.h"
#include "quaternion.h"

Characterization::Characterization(const QString& name, IDCCHub* hub)
    : m_jointNames(NodeCount)
    , m_name(name)
    , m_hub(hub)
{
    for (kinetra::NodeRestState& state : m_restStates)
        kinetra::ResetNodeRestState(state);
    if (m_hub && m_name != IDCCHub::GetNoneName())
        m_hub->AddCharacterizationNodeCallbacks(m_name);
}

Characterization::~Characterization()
{
    if (m_hub && m_name != IDCCHub::GetNoneName())
        m_hub->RemoveCharacterizationNodeCallbacks(m_name);
}

bool Characterization::HasNodeLimits(NodeId id) const
{
    return (m_usage[id] & kinetra::NodeUsedWithLimits) == kinetra::NodeUsedWithLimits;
}

void Characterization::SetJointName(NodeId id, const QString& joint)
{
    m_jointNames[id] = joint;
    m_usage[id] |= kinetra::NodeUsed;
}

void Characterization::ClearNode(NodeId id)
{
    m_jointNames[id].clear();
    m_usage[id] = kinetra::NodeUnused;
}

void Characterization::SetRestState(NodeId id, const kinetra::NodeRestState& state)
{
    m_restStates[id] = state;
    if (state.LimitFlags != 0)
        m_usage[id] |= kinetra::NodeUsedWithLimits;
}

void Characterization::ResetRestState(NodeId id)
{
    kinetra::ResetNodeRestState(m_restStates[id]);
}

kinetra::Character* Characterization::CreateSolverCharacter(UsageArray& usageOut, bool allBits,
                                                            kinetra::AllocateFunction allocate,
                                                            IDCCHub* hub)
{
    for (NodeId id = 0; id < NodeCount; ++id)
        usageOut[id] = allBits ? m_usage[id] : (IsNodeAssigned(id) ? kinetra::NodeUsed : 0u);
    kinetra::Character* character = kinetra::CreateCharacter(usageOut.data(), allocate);
    if (!character)
        return nullptr;
    kinetra::SetCharacterization(usageOut.data(), character, m_restStates.data(), NodeCount,
                                 m_inversion);
    if (hub)
        ApplyParentOffsets(character, hub);
    return character;
}

void Characterization::ApplyParentOffsets(kinetra::Character* character, IDCCHub* hub)
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (m_usage[id] != kinetra::NodeUsedWithLimits)
            continue;
        const NodeId parent = kinetra::GetParentNodeId(character, id);
        if (parent < 0)
            continue;
        QString hostParent;
        hub->GetParentName(m_jointNames[id], hostParent);
        if (hostParent.isEmpty() || hostParent == m_jointNames[parent])
            continue;
        NodeTransformRecord hostParentPose;
        NodeTransformRecord solverParentPose;
        hub->GetNodeTransform(hostParent, -1, hostParentPose, true);
        hub->GetNodeTransform(m_jointNames[parent], -1, solverParentPose, true);
        const Quaternion offset = Quaternion::FromArray(solverParentPose.Rotate).Conjugated() *
                                  Quaternion::FromArray(hostParentPose.Rotate);
        offset.ToArray(m_restStates[id].RotateParentOffset);
        const float translation[4] = {0, 0, 0, 0};
        const float scaling[4] = {1, 1, 1, 1};
        float rotation[4];
        offset.ToArray(rotation);
        kinetra::SetNodeOffsetTransform(character, id, translation, rotation, scaling);
    }
}
