// Local and world-space queries on transform nodes, and the inverse conversions for setting.
#pragma once

#include "kestrelexport.h"
#include "scene/matrix4.h"
#include "scene/quaternion.h"
#include "scene/vector3.h"

namespace kestrel {

class Node;

// Object space is the node's parent space (its local channels); World space is the scene's.
enum class Space
{
    Object,
    World,
};

// Every function takes a transform or joint; other nodes answer identity values.
//
// World matrix: the product of the local matrices from the top of the DAG down to the node.
// Orientation of a node's frame: the product of JO * R * RA along the same chain (scales do
// not enter it). The node's rotation:
//   Object: R, the Euler rotation alone (no joint orient, no rotate axis);
//   World:  the parent frame's orientation * JO * R, that is the node's frame orientation
//           with its own rotate axis taken off.
// Scale: Object gives S; World the component-wise product of S along the chain (exact when
// the chain's rotations keep the axes or the scales are uniform).
// Translation: Object gives T; World the origin of the node's frame.

KESTREL_EXPORT Matrix4 LocalMatrix(const Node& node);
KESTREL_EXPORT Matrix4 WorldMatrix(const Node& node);
// Orientation of the node's frame in world space (with its rotate axis).
KESTREL_EXPORT Quaternion WorldOrientation(const Node& node);

KESTREL_EXPORT Vector3 Translation(const Node& node, Space space);
KESTREL_EXPORT Quaternion Rotation(const Node& node, Space space);
KESTREL_EXPORT Vector3 Scale(const Node& node, Space space);

// The local translation that puts the node's origin at `worldPosition`.
KESTREL_EXPORT Vector3 ObjectTranslationFor(const Node& node, const Vector3& worldPosition);
// The Euler angles (radians, in the node's rotation order) that make Rotation(World) equal
// `worldRotation`.
KESTREL_EXPORT Vector3 ObjectRotationFor(const Node& node, const Quaternion& worldRotation);
// The local scale that makes Scale(World) equal `worldScale` (zero parent factors give 0).
KESTREL_EXPORT Vector3 ObjectScaleFor(const Node& node, const Vector3& worldScale);

} // namespace kestrel
