#include "io/skeletonbuilder.h"

#include "io/importednames.h"
#include "io/scenedescription.h"
#include "scene/rotationorder.h"

#include <cmath>

namespace kestrel {

namespace {

// Rotation part of a pure rotation matrix as a unit quaternion.
Quaternion QuaternionOfRotation(const double r[3][3])
{
    Quaternion q;
    const double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        q = {(r[2][1] - r[1][2]) / s, (r[0][2] - r[2][0]) / s, (r[1][0] - r[0][1]) / s, s / 4.0};
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2.0;
        q = {s / 4.0, (r[0][1] + r[1][0]) / s, (r[0][2] + r[2][0]) / s, (r[2][1] - r[1][2]) / s};
    } else if (r[1][1] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2.0;
        q = {(r[0][1] + r[1][0]) / s, s / 4.0, (r[1][2] + r[2][1]) / s, (r[0][2] - r[2][0]) / s};
    } else {
        const double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2.0;
        q = {(r[0][2] + r[2][0]) / s, (r[1][2] + r[2][1]) / s, s / 4.0, (r[1][0] - r[0][1]) / s};
    }
    return q.Normalized();
}

} // namespace

void SkeletonBuilder::Decompose(const Matrix4& matrix, Vector3* translation, Quaternion* rotation,
                                Vector3* scale)
{
    const auto& m = matrix.m;
    *translation = matrix.TranslationPart();
    double r[3][3];
    for (int column = 0; column < 3; ++column) {
        const double length = std::sqrt(m[0][column] * m[0][column] + m[1][column] * m[1][column] +
                                        m[2][column] * m[2][column]);
        (*scale)[column] = length;
        for (int row = 0; row < 3; ++row)
            r[row][column] = length > 0.0 ? m[row][column] / length : (row == column);
    }
    const double determinant = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                               r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                               r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    if (determinant < 0.0) {
        scale->x = -scale->x;
        for (auto& row : r)
            row[0] = -row[0];
    }
    *rotation = QuaternionOfRotation(r);
}

bool SkeletonBuilder::Build(const std::vector<SkeletonSourceNode>& nodes, const Matrix4& up,
                            const QString& noSkeleton, SceneDescription* description,
                            QString* error)
{
    const std::size_t count = nodes.size();
    std::vector<char> underBone(count, 0);
    std::vector<char> boneBelow(count, 0);
    bool anyBone = false;
    for (std::size_t i = 0; i < count; ++i) {
        const int parent = nodes[i].parent;
        underBone[i] = parent >= 0 && (underBone[parent] || nodes[parent].bone);
        anyBone = anyBone || nodes[i].bone;
    }
    if (!anyBone) {
        *error = noSkeleton;
        return false;
    }
    for (std::size_t i = count; i-- > 0;) {
        boneBelow[i] = boneBelow[i] || nodes[i].bone;
        if (nodes[i].parent >= 0 && boneBelow[i])
            boneBelow[nodes[i].parent] = 1;
    }

    // Each node's accumulated matrix since the last emitted ancestor, and that ancestor.
    std::vector<Matrix4> pending(count);
    std::vector<int> emittedParent(count, -1); // index into description->nodes
    ImportedNames names;
    description->nodes.reserve(description->nodes.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        const SkeletonSourceNode& node = nodes[i];
        const int parent = node.parent;
        const Matrix4 local = parent >= 0 ? pending[parent] * node.local : node.local;
        const int ancestor = parent >= 0 ? emittedParent[parent] : -1;
        const bool joint = node.bone || (underBone[i] && (boneBelow[i] || node.skeletal));
        const bool transform = !joint && boneBelow[i] && !node.identity;
        if (!joint && !transform) {
            pending[i] = local;
            emittedParent[i] = ancestor;
            continue;
        }
        NodeRecord record;
        record.type = joint ? NodeType::Joint : NodeType::Transform;
        if (ancestor >= 0)
            record.parent = description->nodes[ancestor].name;
        record.name = names.Add(node.name, &record.attributes);
        TransformValues& t = record.transform;
        Quaternion rotation;
        Decompose(ancestor >= 0 ? local : up * local, &t.translation, &rotation, &t.scale);
        if (joint && node.hasPreRotation) {
            t.jointOrient = QuaternionToEuler(node.preRotation, RotationOrder::XYZ);
            rotation = node.preRotation.Inverse() * rotation;
        }
        t.rotation = QuaternionToEuler(rotation, RotationOrder::XYZ);
        emittedParent[i] = static_cast<int>(description->nodes.size());
        description->nodes.push_back(std::move(record));
    }
    return true;
}

} // namespace kestrel
