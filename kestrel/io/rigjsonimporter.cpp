#include "io/rigjsonimporter.h"

#include "io/importednames.h"
#include "io/scenedescription.h"
#include "scene/rotationorder.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace kestrel {

namespace {

QJsonObject BonesOf(const QJsonObject& root)
{
    const QJsonValue bones = root.value(QStringLiteral("bones"));
    return bones.isObject() ? bones.toObject() : root;
}

bool ReadPoint(const QJsonObject& bone, const QString& key, Vector3* point)
{
    const QJsonArray array =
        bone.value(key).toObject().value(QStringLiteral("default_position")).toArray();
    if (array.size() != 3)
        return false;
    for (int axis = 0; axis < 3; ++axis) {
        if (!array.at(axis).isDouble())
            return false;
        (*point)[axis] = array.at(axis).toDouble();
    }
    return true;
}

struct Bone
{
    QString name;
    QString parent;
    Vector3 head;
    Quaternion orientation;   // world
    bool hasDirection = true; // false: head and tail coincide, the parent's orientation holds
    int state = 0;            // 0 not written, 1 on the path being written, 2 written
};

// Shortest-arc rotation taking +Y to the unit vector `direction`.
Quaternion FromYTo(const Vector3& direction)
{
    if (direction.y < -1.0 + 1e-12)
        return Quaternion::AboutAxis(2, M_PI);
    // q = (cross(Y, d), 1 + dot(Y, d)) normalized.
    return Quaternion(direction.z, 0.0, -direction.x, 1.0 + direction.y).Normalized();
}

} // namespace

namespace {

// True when the text is an object whose first key is "kestrelScene", as every scene Kestrel
// writes is: such a file is no rig, and a large scene is not worth parsing twice to learn it.
bool StartsAsKestrelScene(const QByteArray& data)
{
    int at = 0;
    const auto skipBlanks = [&data, &at] {
        while (at < data.size() && (data.at(at) == ' ' || data.at(at) == '\n' ||
                                    data.at(at) == '\r' || data.at(at) == '\t'))
            ++at;
    };
    skipBlanks();
    if (at >= data.size() || data.at(at) != '{')
        return false;
    ++at;
    skipBlanks();
    return data.mid(at, 14) == "\"kestrelScene\"";
}

} // namespace

bool RigJsonImporter::LooksLikeRig(const QByteArray& data)
{
    if (StartsAsKestrelScene(data))
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!document.isObject() || document.object().contains(QStringLiteral("kestrelScene")))
        return false;
    const QJsonObject bones = BonesOf(document.object());
    return !bones.isEmpty() && bones.begin().value().toObject().contains(QStringLiteral("head"));
}

bool RigJsonImporter::Read(const QByteArray& data, const ImportOptions& options,
                           SceneDescription* description, QString* error)
{
    *description = SceneDescription();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (!document.isObject()) {
        *error = document.isNull() ? QStringLiteral("offset %1: %2.")
                                         .arg(parseError.offset)
                                         .arg(parseError.errorString())
                                   : QStringLiteral("a rig must be a JSON object.");
        return false;
    }
    const QJsonObject object = BonesOf(document.object());
    std::vector<Bone> bones;
    QHash<QString, int> index;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        Bone bone;
        bone.name = it.key();
        bone.parent = entry.value(QStringLiteral("parent")).toString();
        Vector3 tail;
        if (!ReadPoint(entry, QStringLiteral("head"), &bone.head) ||
            !ReadPoint(entry, QStringLiteral("tail"), &tail)) {
            *error = QStringLiteral("bone \"%1\": head and tail need a default_position of "
                                    "three numbers.")
                         .arg(bone.name);
            return false;
        }
        const Vector3 axis = tail - bone.head;
        const double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
        if (length > 0.0) {
            const Vector3 direction = axis * (1.0 / length);
            const double roll = entry.value(QStringLiteral("roll")).toDouble();
            bone.orientation = Quaternion::FromAxisAngle(direction, roll) * FromYTo(direction);
        } else {
            bone.hasDirection = false;
        }
        index.insert(bone.name, static_cast<int>(bones.size()));
        bones.push_back(bone);
    }
    for (const Bone& bone : bones) {
        if (!bone.parent.isEmpty() && !index.contains(bone.parent)) {
            *error =
                QStringLiteral("bone \"%1\": unknown parent \"%2\".").arg(bone.name, bone.parent);
            return false;
        }
    }
    if (bones.empty()) {
        *error = QStringLiteral("the rig has no bones.");
        return false;
    }

    const bool zUp = options.upAxis != UpAxis::Y;
    // -90 degrees about x: file +Z becomes host +Y.
    const Quaternion up = zUp ? Quaternion::AboutAxis(0, -M_PI / 2.0) : Quaternion();
    ImportedNames names;
    QHash<int, QString> hostNames;
    // Writes bone `i` after its ancestors; iterative, as chains can be long.
    for (int start = 0; start < static_cast<int>(bones.size()); ++start) {
        std::vector<int> path;
        for (int i = start; i >= 0 && bones[i].state != 2;
             i = bones[i].parent.isEmpty() ? -1 : index.value(bones[i].parent)) {
            if (bones[i].state == 1) {
                *error = QStringLiteral("bone \"%1\" is its own ancestor.").arg(bones[i].name);
                return false;
            }
            bones[i].state = 1;
            path.push_back(i);
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            Bone& bone = bones[*it];
            if (!bone.hasDirection && !bone.parent.isEmpty())
                bone.orientation = bones[index.value(bone.parent)].orientation;
            NodeRecord record;
            record.type = NodeType::Joint;
            record.name = names.Add(bone.name, &record.attributes);
            Quaternion local;
            if (bone.parent.isEmpty()) {
                record.transform.translation = up.Rotate(bone.head);
                local = up * bone.orientation;
            } else {
                const Bone& parent = bones[index.value(bone.parent)];
                record.parent = hostNames.value(index.value(bone.parent));
                const Quaternion toParent = parent.orientation.Inverse();
                record.transform.translation = toParent.Rotate(bone.head - parent.head);
                local = toParent * bone.orientation;
            }
            record.transform.jointOrient = QuaternionToEuler(local, RotationOrder::XYZ);
            hostNames.insert(*it, record.name);
            bone.state = 2;
            description->nodes.push_back(std::move(record));
        }
    }
    return description->Validate(error);
}

} // namespace kestrel
