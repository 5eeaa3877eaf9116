#include "io/scenedescription.h"

#include "scene/nodename.h"
#include "scene/scene.h"
#include "scene/scenenumbers.h"

#include <QHash>
#include <QSet>

namespace kestrel {

namespace {

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool ValidateAttributes(const NodeRecord& record, QString* error)
{
    QSet<QString> seen;
    for (const Attribute& attribute : record.attributes) {
        if (!IsValidAttributeName(attribute.name))
            return Fail(error, QStringLiteral("Node \"%1\": \"%2\" is not a valid attribute name.")
                                   .arg(record.name, attribute.name));
        if (seen.contains(attribute.name))
            return Fail(error, QStringLiteral("Node \"%1\": attribute \"%2\" appears twice.")
                                   .arg(record.name, attribute.name));
        seen.insert(attribute.name);
        Value converted;
        const bool ok = attribute.type == AttributeType::Message
                            ? attribute.value.IsNone()
                            : ConvertAttributeValue(attribute.type, attribute.value, &converted);
        if (!ok)
            return Fail(error,
                        QStringLiteral("Node \"%1\": attribute \"%2\" of type %3 cannot "
                                       "hold a %4.")
                            .arg(record.name, attribute.name, AttributeTypeName(attribute.type),
                                 ValueTypeName(attribute.value.Type())));
    }
    return true;
}

const Attribute* FindRecordAttribute(const NodeRecord& record, const QString& name)
{
    for (const Attribute& attribute : record.attributes) {
        if (attribute.name == name)
            return &attribute;
    }
    return nullptr;
}

} // namespace

int SceneDescription::IndexOf(const QString& name) const
{
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

bool SceneDescription::Validate(QString* error) const
{
    // Name -> record index; the parents found on the way feed the number check.
    QHash<QString, int> declared;
    declared.reserve(int(nodes.size()));
    std::vector<int> parents(nodes.size(), -1);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const NodeRecord& record = nodes[i];
        if (!IsValidNodeName(record.name))
            return Fail(error, QStringLiteral("\"%1\" is not a valid node name.").arg(record.name));
        if (declared.contains(record.name))
            return Fail(error,
                        QStringLiteral("The node name \"%1\" is used twice.").arg(record.name));
        if (!record.parent.isEmpty()) {
            if (record.type == NodeType::Character)
                return Fail(
                    error,
                    QStringLiteral("Character node \"%1\" cannot have a parent.").arg(record.name));
            const int parent = declared.value(record.parent, -1);
            if (parent < 0)
                return Fail(error, QStringLiteral("The parent \"%1\" of \"%2\" is not declared "
                                                  "before it.")
                                       .arg(record.parent, record.name));
            if (nodes[parent].type == NodeType::Character)
                return Fail(error, QStringLiteral("The parent \"%1\" of \"%2\" is not a "
                                                  "transform.")
                                       .arg(record.parent, record.name));
            parents[i] = parent;
        }
        if (!ValidateAttributes(record, error))
            return false;
        declared.insert(record.name, int(i));
    }
    if (!ValidateNumbers(parents, error))
        return false;
    QSet<QString> destinations;
    for (const ConnectionRecord& connection : connections) {
        const QString text = QStringLiteral("%1.%2 -> %3.%4")
                                 .arg(connection.fromNode, connection.fromAttribute,
                                      connection.toNode, connection.toAttribute);
        const int from = declared.value(connection.fromNode, -1);
        const int to = declared.value(connection.toNode, -1);
        if (from < 0 || to < 0)
            return Fail(error, QStringLiteral("Connection %1: unknown node.").arg(text));
        if (!FindRecordAttribute(nodes[from], connection.fromAttribute) ||
            !FindRecordAttribute(nodes[to], connection.toAttribute))
            return Fail(error, QStringLiteral("Connection %1: unknown attribute.").arg(text));
        const QString destination = connection.toNode + QLatin1Char('.') + connection.toAttribute;
        if (destinations.contains(destination))
            return Fail(error, QStringLiteral("Connection %1: %2 already has an incoming "
                                              "connection.")
                                   .arg(text, destination));
        if (connection.fromNode == connection.toNode &&
            connection.fromAttribute == connection.toAttribute)
            return Fail(error,
                        QStringLiteral("Connection %1 connects an attribute to itself.").arg(text));
        destinations.insert(destination);
    }
    return true;
}

bool SceneDescription::ValidateNumbers(QString* error) const
{
    // Parents as Validate finds them; a name declared twice or later than its child does not
    // matter here (Validate refuses those), so the last record of a name before the child wins.
    QHash<QString, int> declared;
    declared.reserve(int(nodes.size()));
    std::vector<int> parents(nodes.size(), -1);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!nodes[i].parent.isEmpty())
            parents[i] = declared.value(nodes[i].parent, -1);
        declared.insert(nodes[i].name, int(i));
    }
    return ValidateNumbers(parents, error);
}

bool SceneDescription::ValidateNumbers(const std::vector<int>& parents, QString* error) const
{
    std::vector<Matrix4> worlds(nodes.size(), Matrix4::Identity());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const NodeRecord& record = nodes[i];
        RefusedNumber refused = FindRefusedNumber(record.transform);
        for (auto a = record.attributes.begin();
             !refused.IsRefused() && a != record.attributes.end(); ++a)
            refused = FindRefusedNumber(a->name, a->value);
        if (refused.IsRefused())
            return Fail(error, QStringLiteral("Node \"%1\": %2.").arg(record.name, refused.Text()));
        if (record.type == NodeType::Character)
            continue;
        const Matrix4 local = record.transform.LocalMatrix(record.type == NodeType::Joint);
        worlds[i] = parents[i] < 0 ? local : worlds[parents[i]] * local;
        if (!IsUsableWorldMatrix(worlds[i]))
            return Fail(error, QStringLiteral("Node \"%1\": its world transform is out of range "
                                              "(the numbers above it multiply beyond +-3.4e+38).")
                                   .arg(record.name));
    }
    return true;
}

Status SceneDescription::BuildInto(Scene& scene, QString* error, Checks checks) const
{
    if (checks == Checks::Validate && !Validate(error))
        return Status::InvalidParameter;
    for (const NodeRecord& record : nodes) {
        if (scene.Find(record.name)) {
            Fail(error, QStringLiteral("A node named \"%1\" already exists.").arg(record.name));
            return Status::AlreadyExists;
        }
    }
    // Validated: nothing below can fail.
    for (const NodeRecord& record : nodes) {
        Node* parent = record.parent.isEmpty() ? nullptr : scene.Find(record.parent);
        Node* node = scene.CreateNode(record.type, record.name, parent, error);
        Q_ASSERT(node);
        scene.SetTransform(node, record.transform);
        for (const Attribute& attribute : record.attributes) {
            scene.AddAttribute(node, attribute.name, attribute.type, error);
            if (!attribute.value.IsNone())
                scene.SetAttribute(node, attribute.name, attribute.value, error);
        }
    }
    for (const ConnectionRecord& c : connections)
        scene.Connect(scene.Find(c.fromNode), c.fromAttribute, scene.Find(c.toNode), c.toAttribute,
                      error);
    return Status::Success;
}

NodeRecord SceneDescription::CaptureNode(const Node& node)
{
    NodeRecord record;
    record.name = node.Name();
    record.type = node.Type();
    record.parent = node.Parent() ? node.Parent()->Name() : QString();
    record.transform = node.Transform();
    record.attributes = node.Attributes();
    return record;
}

SceneDescription SceneDescription::Capture(const Scene& scene)
{
    SceneDescription description;
    for (const Node* node : scene.Nodes())
        description.nodes.push_back(CaptureNode(*node));
    for (const Connection& c : scene.Connections())
        description.connections.push_back(
            {c.fromNode->Name(), c.fromAttribute, c.toNode->Name(), c.toAttribute});
    return description;
}

} // namespace kestrel
