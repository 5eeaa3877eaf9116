// The fixed tables of the 212 node slots: required set, mirror partners, hole chains,
// roll bones, inversion parts and the pairs the position checks look at.
#pragma once

#include "solver/noderestate.h"

#include <array>

using NodeId = kinetra::NodeId;
constexpr NodeId NodeCount = kinetra::NodeCount;

// Ids the validation rules and views refer to by role.
constexpr NodeId kReferenceNode = 0;
constexpr NodeId kHipsNode = 1;
constexpr NodeId kHipsTranslationNode = 49;
constexpr NodeId kFirstLeafRollNode = 172;
constexpr int kLimbCount = 8;        // limb segments that can carry roll bones
constexpr int kLeafRollsPerLimb = 5; // leaf roll nodes per limb segment

// True for 0..NodeCount-1.
bool IsNodeId(NodeId id);

// Hips through Head (1..15) must be bound for a usable characterization.
bool IsRequiredNode(NodeId id);

// Left/right partner; 0 for centre nodes and for ids outside the catalogue (0 is never
// meant as Reference here).
NodeId MirrorNodeOf(NodeId id);

// A chain of consecutive slots that must be bound without holes: once a later slot is
// bound, every earlier one must be too. Descriptions are lower case and go into messages.
struct NodeChain
{
    const char* Description;
    int Count;
    NodeId Nodes[10];

    const NodeId* begin() const { return Nodes; }
    const NodeId* end() const { return Nodes + Count; }
};

constexpr NodeChain DigitChain(const char* description, NodeId first)
{
    return {description, 4, {first, first + 1, first + 2, first + 3}};
}

// The 26 hole chains in the order the validators are built from them.
constexpr std::array<NodeChain, 26> NodeChains = {{
    {"spine", 9, {23, 24, 25, 26, 27, 28, 29, 30, 31}},
    {"neck", 10, {20, 32, 33, 34, 35, 36, 37, 38, 39, 40}},
    DigitChain("right hand thumb", 74),
    DigitChain("right hand index finger", 78),
    DigitChain("right hand middle finger", 82),
    DigitChain("right hand ring finger", 86),
    DigitChain("right hand pinky finger", 90),
    DigitChain("right hand extra finger", 94),
    DigitChain("left hand thumb", 50),
    DigitChain("left hand index finger", 54),
    DigitChain("left hand middle finger", 58),
    DigitChain("left hand ring finger", 62),
    DigitChain("left hand pinky finger", 66),
    DigitChain("left hand extra finger", 70),
    DigitChain("right foot thumb", 122),
    DigitChain("right foot index finger", 126),
    DigitChain("right foot middle finger", 130),
    DigitChain("right foot ring finger", 134),
    DigitChain("right foot pinky finger", 138),
    DigitChain("right foot extra finger", 142),
    DigitChain("left foot thumb", 98),
    DigitChain("left foot index finger", 102),
    DigitChain("left foot middle finger", 106),
    DigitChain("left foot ring finger", 110),
    DigitChain("left foot pinky finger", 114),
    DigitChain("left foot extra finger", 118),
}};

// In-line roll node of each limb segment, indexed by limb: LeftUpLeg, LeftLeg, RightUpLeg,
// RightLeg, LeftArm, LeftForeArm, RightArm, RightForeArm.
constexpr std::array<NodeId, kLimbCount> InlineRollNodes = {41, 42, 43, 44, 45, 46, 47, 48};

// Leaf roll nodes are laid out in columns: id = 172 + 8 * (index - 1) + limb.
bool IsLeafRollNode(NodeId id);
// In-line (41..48) or leaf (172..211) roll node.
bool IsRollNode(NodeId id);
// Limb column 0..7 of a leaf roll node, -1 for any other id.
int LeafRollLimb(NodeId id);
// Index 1..5 of a leaf roll node within its limb, -1 for any other id.
int LeafRollIndex(NodeId id);
// Leaf roll node `index` (1..5) of `limb` (0..7), -1 when either is out of range.
NodeId LeafRollNode(int limb, int index);
// The in-line roll node of the limb a leaf roll node belongs to, -1 for any other id.
NodeId InlineRollNodeOf(NodeId id);

// A knee or elbow whose bend direction can be flipped: the node, the index of its flag in
// the characterization's inversion flags and the host attribute that mirrors the flag.
struct InversionPart
{
    NodeId Node;
    int FlagIndex;
    const char* HostAttribute;
};

constexpr std::array<InversionPart, 4> InversionParts = {{
    {3, 0, "leftKneeInverted"},
    {6, 1, "rightKneeInverted"},
    {10, 2, "leftElbowInverted"},
    {13, 3, "rightElbowInverted"},
}};

// The inversion part of `id`, or null when the node has none.
const InversionPart* InversionPartOfNode(NodeId id);

struct NodePair
{
    NodeId First;
    NodeId Second;
};

// Axis checks: the two hip joints, and each arm from shoulder joint to hand.
constexpr NodePair HipsAxisNodes = {2, 5};
constexpr NodePair LeftArmAxisNodes = {9, 11};
constexpr NodePair RightArmAxisNodes = {12, 14};

// Consecutive limb segments whose joints must never coincide, lower id first.
constexpr std::array<NodePair, 6> LimbSegmentPairs = {{
    {3, 4},
    {6, 7},
    {9, 10},
    {10, 11},
    {12, 13},
    {13, 14},
}};

// Hips and HipsTranslation may stand at the same position.
constexpr NodePair ToleratedCoincidence = {kHipsNode, kHipsTranslationNode};
bool IsToleratedCoincidence(NodeId a, NodeId b);

// Roll nodes share their limb's position by design and are left out of position checks.
bool IsExcludedFromPositionCheck(NodeId id);
