// Turns a node tree read from a skeleton file into joints and transforms of a scene description.
#pragma once

#include "scene/matrix4.h"
#include "scene/quaternion.h"

#include <QString>

#include <vector>

namespace kestrel {

class SceneDescription;

// One node of a file, in pre-order (every parent before its children).
struct SkeletonSourceNode
{
    QString name;          // as the file writes it
    int parent = -1;       // index in the list, -1 for a top-level node
    Matrix4 local;         // local transform in the parent's space
    bool identity = false; // `local` is exactly the identity
    bool bone = false;     // named by a skin, or an object of a skin-less format
    bool skeletal = false; // a skeleton node: a joint too when below a bone
    bool hasPreRotation = false;
    Quaternion preRotation; // part of `local`'s rotation applied before the rest
};

// The joint rules shared by every skeleton reader:
//   - joints: bones, nodes between two bones, and skeletal nodes below a bone;
//   - transforms: nodes above the skeleton that do not have an identity transform;
//   - everything else is left out, its transform multiplied into its emitted descendants.
// Local transforms are split into translation, rotation (xyz Euler) and scale; a joint's
// pre-rotation becomes its joint orient. `up` is applied to the top-level emitted nodes.
// Names follow ImportedNames.
class SkeletonBuilder
{
public:
    // False with `noSkeleton` as the error when nothing is a bone.
    static bool Build(const std::vector<SkeletonSourceNode>& nodes, const Matrix4& up,
                      const QString& noSkeleton, SceneDescription* description, QString* error);
    // Splits an affine `matrix` into T * R * S; a mirroring matrix gets a negative x scale.
    static void Decompose(const Matrix4& matrix, Vector3* translation, Quaternion* rotation,
                          Vector3* scale);
};

} // namespace kestrel
