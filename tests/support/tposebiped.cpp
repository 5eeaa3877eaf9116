#include "tposebiped.h"

#include "scriptedhub.h"
#include "solver/nodenames.h"

namespace {

struct Placement
{
    NodeId node;
    NodeId parent;
    float x, y, z;
    bool extra;
};

// Slot, parent slot (-1 = scene root), world position.
const Placement kPlacements[] = {
    {0, -1, 0, 0, 0, false},      {1, 0, 0, 100, 0, false},     {2, 1, 10, 95, 0, false},
    {3, 2, 10, 52, 1, false},     {4, 3, 10, 8, 0, false},      {16, 4, 10, 2, 12, true},
    {5, 1, -10, 95, 0, false},    {6, 5, -10, 52, 1, false},    {7, 6, -10, 8, 0, false},
    {17, 7, -10, 2, 12, true},    {8, 1, 0, 110, 0, false},     {23, 8, 0, 122, 0, true},
    {24, 23, 0, 134, 0, true},    {20, 24, 0, 152, 0, true},    {15, 20, 0, 165, 0, false},
    {18, 24, 4, 145, 0, true},    {9, 18, 16, 145, 0, false},   {10, 9, 44, 145, 0, false},
    {11, 10, 70, 145, 0, false},  {19, 24, -4, 145, 0, true},   {12, 19, -16, 145, 0, false},
    {13, 12, -44, 145, 0, false}, {14, 13, -70, 145, 0, false},
};

} // namespace

QVector<BipedJoint> AddTPoseBiped(ScriptedHub& hub, const QString& prefix, bool withExtras)
{
    QVector<BipedJoint> joints;
    auto nameOf = [&prefix](NodeId id) { return prefix + QLatin1String(kinetra::NodeName(id)); };
    for (const Placement& p : kPlacements) {
        if (p.extra && !withExtras)
            continue;
        NodeId parent = p.parent;
        // Without the extras, hang joints off the nearest placed ancestor.
        while (!withExtras && parent >= 0) {
            bool placedExtra = false;
            for (const Placement& q : kPlacements) {
                if (q.node == parent && q.extra) {
                    parent = q.parent;
                    placedExtra = true;
                }
            }
            if (!placedExtra)
                break;
        }
        hub.AddJoint(nameOf(p.node), parent < 0 ? QString() : nameOf(parent), p.x, p.y, p.z);
        joints.append({p.node, nameOf(p.node)});
    }
    std::sort(joints.begin(), joints.end(),
              [](const BipedJoint& a, const BipedJoint& b) { return a.node < b.node; });
    return joints;
}
