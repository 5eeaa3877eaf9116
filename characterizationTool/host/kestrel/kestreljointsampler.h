// Reads a joint's frame from the Kestrel scene into a joint sample record.
#pragma once

#include "host/nodetransformrecord.h"

#include <QString>

namespace kestrel {
class Host;
class Node;
} // namespace kestrel

// Samples host joints for the tool. When the joint's character node is locked
// ("InputCharacterizationLock") and a slot is given, the pose stored on the character node for
// that slot is read instead of the live joint; a stored pose missing any of its ten attributes
// falls back to the live joint.
class KestrelJointSampler
{
public:
    explicit KestrelJointSampler(kestrel::Host& host);

    // Fills `record` for the named node: world space when `worldSpace`, else parent space.
    // `nodeId` is the slot the joint is bound to, or -1. Answers 1 when filled, 0 (record
    // untouched) for a missing node or one that is not a transform.
    int GetNodeTransform(const QString& node, int nodeId, NodeTransformRecord& record,
                         bool worldSpace) const;

    // The solver's rotation-order code of a host rotation order 0..5 (xyz, yzx, zxy, xzy,
    // yxz, zyx); 0 for anything else.
    static int RotationOrderCode(int hostOrder);

private:
    bool ReadStoredPose(const kestrel::Node& character, int nodeId, NodeTransformRecord& record,
                        bool worldSpace) const;
    int ReadLiveNode(const QString& node, NodeTransformRecord& record, bool worldSpace) const;

    kestrel::Host& m_host;
};
