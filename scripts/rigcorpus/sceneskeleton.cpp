#include "sceneskeleton.h"

#include "host.h"
#include "io/scenedocument.h"
#include "scene/scene.h"
#include "scene/transformquery.h"

#include <map>

bool LoadSkeleton(const QString& path, Skeleton& skeleton)
{
    kestrel::Host host;
    if (host.GetDocument().Open(path) != kestrel::Status::Success)
        return false;
    std::map<const kestrel::Node*, int> index;
    for (const kestrel::Node* node : host.GetScene().Nodes())
        if (node->IsTransform())
            index.emplace(node, static_cast<int>(index.size()));
    skeleton.joints.resize(static_cast<int>(index.size()));
    for (const auto& [node, i] : index) {
        const kestrel::Vector3 p = kestrel::Translation(*node, kestrel::Space::World);
        const auto parent = index.find(node->Parent());
        skeleton.joints[i] = {
            node->Name(), parent == index.end() ? -1 : parent->second, {p.x, p.y, p.z}};
    }
    return true;
}
