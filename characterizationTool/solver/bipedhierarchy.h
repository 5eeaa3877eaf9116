// The solver's built-in biped hierarchy: the natural parent of every node slot.
#pragma once

#include "noderestate.h"

#include <cstdint>

namespace kinetra {

// Natural parent of `id` in the full biped, -1 for Reference (the root) and for ids outside
// 0..NodeCount-1. The hierarchy, root first:
//
//   Reference ── HipsTranslation ── Hips ─┬─ {Left,Right}UpLeg ── UpLegRoll ── Leg ── LegRoll
//                                         │     ── Foot ─┬─ ToeBase
//                                         │              └─ InFoot<digit> ── Foot<digit>1..4
//                                         └─ Spine ── Spine1 … Spine9 ─┬─ Neck ── Neck1 … Neck9 ──
//                                         Head
//                                                                      └─ {Left,Right}Shoulder
//   Shoulder ── ShoulderExtra ── Arm ── ArmRoll ── ForeArm ── ForeArmRoll ── Hand ── FingerBase
//     ── InHand<digit> ── Hand<digit>1..4
//
// Every leaf roll node hangs off the limb segment it rolls (LeafLeftArmRollK under LeftArm).
NodeId NaturalParentNodeId(NodeId id);

// Fills `parents` (NodeCount entries) with the parent each node has in a character whose
// usage words are `usage`: the nearest ancestor whose usage has bit 0 set, or -1 when no
// ancestor is used. The parent of an unused node is found the same way.
void LayOutHierarchy(const std::uint32_t* usage, NodeId* parents);

} // namespace kinetra
