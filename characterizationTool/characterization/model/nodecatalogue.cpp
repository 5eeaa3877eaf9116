#include "nodecatalogue.h"

namespace {

// Left/right partner of every node, indexed by NodeId; 0 for the 24 centre nodes. Stored,
// not derived from the names, so a renamed slot can never silently change a partner.
constexpr NodeId kMirrorNodes[NodeCount] = {
    0,   0,   5,   6,   7,   2,   3,   4,   0,   12,  13,  14,  9,   10,  11,  0,   17,  16,
    19,  18,  0,   22,  21,  0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   0,   0,   0,   43,  44,  41,  42,  47,  48,  45,  46,  0,   74,  75,  76,  77,
    78,  79,  80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,  92,  93,  94,  95,
    96,  97,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,
    66,  67,  68,  69,  70,  71,  72,  73,  122, 123, 124, 125, 126, 127, 128, 129, 130, 131,
    132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 98,  99,  100, 101,
    102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119,
    120, 121, 152, 153, 154, 155, 156, 157, 146, 147, 148, 149, 150, 151, 164, 165, 166, 167,
    168, 169, 158, 159, 160, 161, 162, 163, 171, 170, 174, 175, 172, 173, 178, 179, 176, 177,
    182, 183, 180, 181, 186, 187, 184, 185, 190, 191, 188, 189, 194, 195, 192, 193, 198, 199,
    196, 197, 202, 203, 200, 201, 206, 207, 204, 205, 210, 211, 208, 209};

} // namespace

bool IsNodeId(NodeId id)
{
    return id >= 0 && id < NodeCount;
}

bool IsRequiredNode(NodeId id)
{
    return id >= 1 && id < 16;
}

NodeId MirrorNodeOf(NodeId id)
{
    return IsNodeId(id) ? kMirrorNodes[id] : 0;
}

bool IsLeafRollNode(NodeId id)
{
    return id >= kFirstLeafRollNode && id < NodeCount;
}

bool IsRollNode(NodeId id)
{
    return (id >= InlineRollNodes[0] && id <= InlineRollNodes[7]) || IsLeafRollNode(id);
}

int LeafRollLimb(NodeId id)
{
    return IsLeafRollNode(id) ? (id - kFirstLeafRollNode) % kLimbCount : -1;
}

int LeafRollIndex(NodeId id)
{
    return IsLeafRollNode(id) ? (id - kFirstLeafRollNode) / kLimbCount + 1 : -1;
}

NodeId LeafRollNode(int limb, int index)
{
    if (limb < 0 || limb >= kLimbCount || index < 1 || index > kLeafRollsPerLimb)
        return -1;
    return kFirstLeafRollNode + kLimbCount * (index - 1) + limb;
}

NodeId InlineRollNodeOf(NodeId id)
{
    const int limb = LeafRollLimb(id);
    return limb < 0 ? -1 : InlineRollNodes[limb];
}

const InversionPart* InversionPartOfNode(NodeId id)
{
    for (const InversionPart& part : InversionParts) {
        if (part.Node == id)
            return &part;
    }
    return nullptr;
}

bool IsToleratedCoincidence(NodeId a, NodeId b)
{
    return (a == ToleratedCoincidence.First && b == ToleratedCoincidence.Second) ||
           (a == ToleratedCoincidence.Second && b == ToleratedCoincidence.First);
}

bool IsExcludedFromPositionCheck(NodeId id)
{
    return IsRollNode(id);
}
