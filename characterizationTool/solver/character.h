// Solver characters: creation, characterization input and output, node queries.
#pragma once

#include "noderestate.h"

#include <cstddef>
#include <cstdint>

namespace kinetra {

// Opaque solver character. Created by CreateCharacter, released by DestroyCharacter.
struct Character;

// Caller-supplied memory functions. The allocator returns null on failure; the deallocator
// receives exactly the pointers the allocator returned.
using AllocateFunction = void* (*)(std::size_t bytes);
using DeallocateFunction = void (*)(void* block);

// Every entry below runs with floating-point traps masked and restores the caller's
// floating-point environment before it returns. `usage` always points at NodeCount words.

// Creates a character for the nodes whose usage word has bit 0 set and lays out its
// hierarchy. The character block is 16-byte aligned inside one allocation made through
// `allocate`. Returns null when `usage` or `allocate` is null or the allocator fails.
Character* CreateCharacter(const std::uint32_t* usage, AllocateFunction allocate);

// Releases a character through the deallocator matching its allocator. Null is allowed.
void DestroyCharacter(Character* character, DeallocateFunction deallocate);

// Writes a characterization into the character. `states` holds `count` records indexed by
// node id (pass NodeCount; ids at or past `count` are treated as unused). For every used
// node the reference transform becomes (Translate, w 0), Rotate, (Scale, w 1); for nodes
// whose usage is NodeUsedWithLimits the pre/post rotations, limits, limit flag word,
// rotation order and parent-offset rotation are stored too. Returns false and changes
// nothing when a pointer is null or `count` is negative.
bool SetCharacterization(const std::uint32_t* usage, Character* character,
                         const NodeRestState* states, int count, const InversionFlags& inversion);

// Reads the characterization back. All `count` records are zeroed first (not reset: unfilled
// quaternions stay all zero). With count == NodeCount the records are indexed by node id;
// with a smaller count they are packed, one per used node in ascending id, at most `count`.
// Used nodes get Translate, Rotate and Scale; nodes whose usage is NodeUsedWithLimits get
// the other fields as well. Returns the number of records filled, -1 on a null pointer or a
// negative count.
int ReadCharacterization(const std::uint32_t* usage, const Character* character,
                         NodeRestState* states, int count, InversionFlags* inversion);

// The node's reference transform exactly as SetCharacterization stored it: translation
// (w 0), rotation quaternion (x, y, z, w), scaling (w 1). An unused node reads zero
// translation, identity rotation and unit scaling. False for a null character or bad id.
bool GetCharacterNodeTransform(const Character* character, NodeId id, float translation[4],
                               float rotation[4], float scaling[4]);

// Parent of `id` within the character: its nearest used ancestor in the built-in biped
// hierarchy, or -1 for Reference, for a node without a used ancestor and for a bad id.
NodeId GetParentNodeId(const Character* character, NodeId id);

// Sets the transform of the node relative to its parent's joint (translation w forced to
// 0). False for a null character or bad id.
bool SetNodeOffsetTransform(Character* character, NodeId id, const float translation[4],
                            const float rotation[4], const float scaling[4]);

// Reads what SetNodeOffsetTransform stored (identity until then).
bool GetNodeOffsetTransform(const Character* character, NodeId id, float translation[4],
                            float rotation[4], float scaling[4]);

} // namespace kinetra
