// A joint hierarchy with world rest positions: what the auto-mapper reads.
#pragma once

#include "vec3.h"

#include <QString>
#include <QVector>

class IDCCHub;

// One joint: its host name, the index of its parent in the same skeleton (-1 for a root)
// and its world rest position in the host's units.
struct SkeletonJoint
{
    QString name;
    int parent = -1;
    Vec3 position;
};

// Joints in any order; parents are indices into the same vector. A skeleton may have
// several roots (the auto-mapper considers them all).
struct Skeleton
{
    QVector<SkeletonJoint> joints;

    // Reads every transform of the hub's scene, or, with a non-empty `root`, that transform
    // and its descendants. World positions come from the hub's world-space transform read.
    // False with `error` set when `root` is not a transform of the scene; an empty scene
    // answers true with no joints.
    static bool FromHub(IDCCHub& hub, const QString& root, Skeleton& skeleton, QString* error);
};
