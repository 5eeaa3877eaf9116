// A skeleton with the characterization it truly has: the unit the auto-mapper corpus is made of.
#pragma once

#include "model/nodecatalogue.h"
#include "skeleton.h"

#include <QString>
#include <QStringList>

#include <map>

// A rig and its truth: which joint each slot must hold. `truth` is empty for what is no biped.
// `up` and `forward` are the body's unit axes in world space (left = up x forward); edits
// below keep `truth` pointing at the same joints.
struct TruthRig
{
    QString source;     // where the rig came from, for reports
    QStringList traits; // what was done to it
    Skeleton skeleton;
    std::map<NodeId, int> truth;
    bool biped = true;
    QString refusedFor; // what is no biped: a phrase its refusal must hold
    Vec3 up{0, 1, 0};
    Vec3 forward{0, 0, 1};

    // The joint `node` truly holds, or -1.
    int Joint(NodeId node) const;
    const Vec3& Pos(int joint) const { return skeleton.joints[joint].position; }
    double Height() const;
    // Appends a joint; answers its index.
    int Add(const QString& name, int parent, const Vec3& position);
    // Puts a new joint between `child` and its parent.
    int InsertAbove(int child, const QString& name, const Vec3& position);
    // Removes `joint` and everything below it; truth rows on them go.
    void RemoveSubtree(int joint);
    QVector<int> Children(int joint) const;
    bool IsBelow(int joint, int ancestor) const;
    // Re-derives `up` and `forward` from the truth (hips to head, right thigh to left thigh).
    void AxesFromTruth();
};
