#include "tposebiped.h"

#include "scriptedhub.h"
#include "solver/nodenames.h"

namespace {

struct Placement
{
    NodeId node;
    NodeId parent;
    float x, y, z;
};

// Slot, parent slot (-1 = scene root), world position.
const Placement kPlacements[] = {
    {0, -1, 0, 0, 0},      {1, 0, 0, 100, 0},     {2, 1, 10, 95, 0},     {3, 2, 10, 52, 1},
    {4, 3, 10, 8, 0},      {16, 4, 10, 2, 12},    {5, 1, -10, 95, 0},    {6, 5, -10, 52, 1},
    {7, 6, -10, 8, 0},     {17, 7, -10, 2, 12},   {8, 1, 0, 110, 0},     {23, 8, 0, 122, 0},
    {24, 23, 0, 134, 0},   {20, 24, 0, 152, 0},   {15, 20, 0, 165, 0},   {18, 24, 4, 145, 0},
    {9, 18, 16, 145, 0},   {10, 9, 44, 145, 0},   {11, 10, 70, 145, 0},  {19, 24, -4, 145, 0},
    {12, 19, -16, 145, 0}, {13, 12, -44, 145, 0}, {14, 13, -70, 145, 0},
};

} // namespace

QVector<BipedJoint> AddTPoseBiped(ScriptedHub& hub, const QString& prefix)
{
    QVector<BipedJoint> joints;
    auto nameOf = [&prefix](NodeId id) { return prefix + QLatin1String(kinetra::NodeName(id)); };
    for (const Placement& p : kPlacements) {
        hub.AddJoint(nameOf(p.node), p.parent < 0 ? QString() : nameOf(p.parent), p.x, p.y, p.z);
        joints.append({p.node, nameOf(p.node)});
    }
    std::sort(joints.begin(), joints.end(),
              [](const BipedJoint& a, const BipedJoint& b) { return a.node < b.node; });
    return joints;
}
