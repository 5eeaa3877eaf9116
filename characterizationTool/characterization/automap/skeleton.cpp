#include "skeleton.h"

#include "host/idcchub.h"

#include <QHash>

bool Skeleton::FromHub(IDCCHub& hub, const QString& root, Skeleton& skeleton, QString* error)
{
    skeleton.joints.clear();
    QStringList names;
    hub.GetAllTransforms(names);
    if (!root.isEmpty() && !names.contains(root)) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a transform of the scene.").arg(root);
        return false;
    }
    QHash<QString, int> index;
    QStringList parents;
    for (const QString& name : names) {
        QString parent;
        hub.GetParentName(name, parent);
        index.insert(name, index.size());
        parents.append(parent);
    }
    // Keep the joints under `root` (all of them without one), in scene order.
    std::vector<bool> keep(names.size(), root.isEmpty());
    if (!root.isEmpty()) {
        for (int i = 0; i < names.size(); ++i)
            for (QString n = names[i]; !n.isEmpty(); n = parents[index.value(n, 0)]) {
                if (n == root) {
                    keep[i] = true;
                    break;
                }
                if (!index.contains(n))
                    break;
            }
    }
    QHash<QString, int> kept;
    for (int i = 0; i < names.size(); ++i) {
        if (!keep[i])
            continue;
        NodeTransformRecord record;
        hub.GetNodeTransform(names[i], -1, record, true);
        kept.insert(names[i], skeleton.joints.size());
        skeleton.joints.append(
            {names[i], -1, {record.Translate[0], record.Translate[1], record.Translate[2]}});
    }
    for (SkeletonJoint& joint : skeleton.joints)
        joint.parent = kept.value(parents[index.value(joint.name)], -1);
    return true;
}
