#include "bipedhierarchy.h"

namespace kinetra {

namespace {

constexpr NodeId kSpine9 = 31;
constexpr NodeId kNeck9 = 40;

// Limb segments in leaf-roll column order: LeftUpLeg, LeftLeg, RightUpLeg, RightLeg, LeftArm,
// LeftForeArm, RightArm, RightForeArm.
constexpr NodeId kLimbSegments[8] = {2, 3, 5, 6, 9, 10, 12, 13};

// Parents of ids 0..22 and 41..49, where the hierarchy is irregular.
NodeId CoreParent(NodeId id)
{
    switch (id) {
    case 0:
        return -1; // Reference
    case 1:
        return 49; // Hips under HipsTranslation
    case 2:
        return 1; // LeftUpLeg
    case 3:
        return 41; // LeftLeg under LeftUpLegRoll
    case 4:
        return 42; // LeftFoot under LeftLegRoll
    case 5:
        return 1; // RightUpLeg
    case 6:
        return 43; // RightLeg under RightUpLegRoll
    case 7:
        return 44; // RightFoot under RightLegRoll
    case 8:
        return 1; // Spine
    case 9:
        return 170; // LeftArm under LeftShoulderExtra
    case 10:
        return 45; // LeftForeArm under LeftArmRoll
    case 11:
        return 46; // LeftHand under LeftForeArmRoll
    case 12:
        return 171; // RightArm under RightShoulderExtra
    case 13:
        return 47; // RightForeArm under RightArmRoll
    case 14:
        return 48; // RightHand under RightForeArmRoll
    case 15:
        return kNeck9; // Head
    case 16:
        return 4; // LeftToeBase
    case 17:
        return 7; // RightToeBase
    case 18:
        return kSpine9; // LeftShoulder
    case 19:
        return kSpine9; // RightShoulder
    case 20:
        return kSpine9; // Neck
    case 21:
        return 11; // LeftFingerBase
    case 22:
        return 14; // RightFingerBase
    case 41:
        return 2; // LeftUpLegRoll
    case 42:
        return 3; // LeftLegRoll
    case 43:
        return 5; // RightUpLegRoll
    case 44:
        return 6; // RightLegRoll
    case 45:
        return 9; // LeftArmRoll
    case 46:
        return 10; // LeftForeArmRoll
    case 47:
        return 12; // RightArmRoll
    case 48:
        return 13; // RightForeArmRoll
    case 49:
        return 0; // HipsTranslation
    default:
        return -1;
    }
}

// Digit segments 50..145: four blocks of 24 (left hand, right hand, left foot, right foot),
// six digits of four segments each. Segment 1 hangs off the digit's in-hand/in-foot base
// (146..169, four blocks of six in the same block order).
NodeId DigitSegmentParent(NodeId id)
{
    const NodeId offset = id - 50;
    const NodeId block = offset / 24;
    const NodeId digit = (offset % 24) / 4;
    const NodeId segment = offset % 4;
    if (segment > 0)
        return id - 1;
    return 146 + 6 * block + digit;
}

// In-hand and in-foot digit bases 146..169.
NodeId DigitBaseParent(NodeId id)
{
    constexpr NodeId kBlockParents[4] = {21, 22, 4, 7}; // FingerBase, FingerBase, Foot, Foot
    return kBlockParents[(id - 146) / 6];
}

} // namespace

NodeId NaturalParentNodeId(NodeId id)
{
    if (id < 0 || id >= NodeCount)
        return -1;
    if (id <= 22 || (id >= 41 && id <= 49))
        return CoreParent(id);
    if (id == 23)
        return 8; // Spine1 under Spine
    if (id <= kSpine9)
        return id - 1;
    if (id == 32)
        return 20; // Neck1 under Neck
    if (id <= kNeck9)
        return id - 1;
    if (id <= 145)
        return DigitSegmentParent(id);
    if (id <= 169)
        return DigitBaseParent(id);
    if (id == 170 || id == 171)
        return id - 152; // ShoulderExtra under Shoulder (18, 19)
    return kLimbSegments[(id - 172) % 8];
}

void LayOutHierarchy(const std::uint32_t* usage, NodeId* parents)
{
    for (NodeId id = 0; id < NodeCount; ++id) {
        NodeId parent = NaturalParentNodeId(id);
        while (parent >= 0 && (usage[parent] & NodeUsed) == 0)
            parent = NaturalParentNodeId(parent);
        parents[id] = parent;
    }
}

} // namespace kinetra
