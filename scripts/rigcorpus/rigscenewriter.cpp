#include "rigscenewriter.h"

#include "host.h"
#include "io/scenedocument.h"
#include "scene/nodename.h"
#include "scene/scene.h"
#include "scene/transformvalues.h"

#include <QVector>

bool RigSceneWriter::Write(const TruthRig& rig, const QString& path, QString* error)
{
    kestrel::Host host;
    kestrel::Scene& scene = host.GetScene();
    const QVector<SkeletonJoint>& joints = rig.skeleton.joints;
    QVector<kestrel::Node*> nodes(joints.size(), nullptr);
    for (int j = 0; j < joints.size(); ++j) {
        const SkeletonJoint& joint = joints[j];
        // A parent always comes before its children in a corpus rig.
        const int parent = joint.parent >= 0 && joint.parent < j ? joint.parent : -1;
        const Vec3 local = parent < 0 ? joint.position : joint.position - joints[parent].position;
        kestrel::TransformValues values;
        values.translation = kestrel::Vector3(local.x, local.y, local.z);
        QString name = kestrel::EscapeNodeName(joint.name);
        if (scene.Find(name))
            name = scene.UniqueName(name);
        nodes[j] = scene.CreateNode(kestrel::NodeType::Joint, name,
                                    parent < 0 ? nullptr : nodes[parent], values, error);
        if (!nodes[j])
            return false;
    }
    if (host.GetDocument().Save(path) == kestrel::Status::Success)
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1").arg(path);
    return false;
}

QString RigSceneWriter::FileName(const TruthRig& rig, int index)
{
    QString label = rig.source + (rig.traits.isEmpty() ? QString() : "-" + rig.traits.join('-'));
    for (QChar& c : label)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    return QStringLiteral("%1-%2.json").arg(index, 4, 10, QLatin1Char('0')).arg(label);
}
