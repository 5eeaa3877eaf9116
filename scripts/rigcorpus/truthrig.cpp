#include "truthrig.h"

#include <algorithm>

int TruthRig::Joint(NodeId node) const
{
    const auto it = truth.find(node);
    return it == truth.end() ? -1 : it->second;
}

double TruthRig::Height() const
{
    double low = 1e300, high = -1e300;
    for (const SkeletonJoint& joint : skeleton.joints) {
        low = std::min(low, joint.position.Dot(up));
        high = std::max(high, joint.position.Dot(up));
    }
    return high > low ? high - low : 1.0;
}

int TruthRig::Add(const QString& name, int parent, const Vec3& position)
{
    skeleton.joints.append({name, parent, position});
    return skeleton.joints.size() - 1;
}

int TruthRig::InsertAbove(int child, const QString& name, const Vec3& position)
{
    const int joint = Add(name, skeleton.joints[child].parent, position);
    skeleton.joints[child].parent = joint;
    return joint;
}

QVector<int> TruthRig::Children(int joint) const
{
    QVector<int> children;
    for (int j = 0; j < skeleton.joints.size(); ++j)
        if (skeleton.joints[j].parent == joint)
            children.append(j);
    return children;
}

bool TruthRig::IsBelow(int joint, int ancestor) const
{
    for (int p = joint; p >= 0; p = skeleton.joints[p].parent)
        if (p == ancestor)
            return true;
    return false;
}

void TruthRig::RemoveSubtree(int joint)
{
    QVector<int> index(skeleton.joints.size(), -1);
    QVector<SkeletonJoint> kept;
    for (int j = 0; j < skeleton.joints.size(); ++j)
        if (!IsBelow(j, joint)) {
            index[j] = kept.size();
            kept.append(skeleton.joints[j]);
        }
    for (SkeletonJoint& kept_joint : kept)
        if (kept_joint.parent >= 0)
            kept_joint.parent = index[kept_joint.parent];
    skeleton.joints = kept;
    std::map<NodeId, int> remapped;
    for (const auto& [node, j] : truth)
        if (index[j] >= 0)
            remapped[node] = index[j];
    truth = remapped;
}

void TruthRig::AxesFromTruth()
{
    const int hips = Joint(1), head = Joint(15), left = Joint(2), right = Joint(5);
    if (hips < 0 || head < 0 || left < 0 || right < 0)
        return;
    up = (Pos(head) - Pos(hips)).Normalized();
    const Vec3 side = (Pos(left) - Pos(right)).Across(up).Normalized();
    forward = side.Cross(up).Normalized();
}
