#include "io/scenedescription.h"

#include "scene/nodename.h"
#include "scene/scene.h"
#include "scene/scenenumbers.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>

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

// Record indices by name for one pass over a description: open addressing in a table at
// least twice the size of the description, so no name costs an allocation, and each slot
// keeps its name's hash, so a probe compares names only when the hashes agree. The records
// must outlive the index and keep their names.
class NameIndex
{
public:
    explicit NameIndex(const std::vector<NodeRecord>& nodes)
        : m_nodes(nodes)
    {
        std::size_t size = 16;
        while (size < 2 * nodes.size())
            size *= 2;
        m_slots.assign(size, Slot());
    }

    // Where `name` is or would go, to read (At) and then fill (Put) with one lookup.
    struct Place
    {
        std::size_t slot;
        uint hash;
    };
    Place Locate(const QString& name) const
    {
        const std::size_t mask = m_slots.size() - 1;
        const uint hash = qHash(name);
        std::size_t slot = hash & mask;
        while (m_slots[slot].index >= 0 &&
               (m_slots[slot].hash != hash || m_nodes[m_slots[slot].index].name != name))
            slot = (slot + 1) & mask;
        return {slot, hash};
    }
    // The index of the record at `place`, -1 for none.
    int At(const Place& place) const { return m_slots[place.slot].index; }
    void Put(const Place& place, int i) { m_slots[place.slot] = {place.hash, i}; }

    // The index of the record named `name` last put in, or -1.
    int Find(const QString& name) const { return At(Locate(name)); }
    // Puts record `i` in, in place of any record of the same name.
    void Put(int i) { Put(Locate(m_nodes[i].name), i); }

private:
    struct Slot
    {
        uint hash = 0;
        int index = -1;
    };
    const std::vector<NodeRecord>& m_nodes;
    std::vector<Slot> m_slots;
};

const Attribute* FindRecordAttribute(const NodeRecord& record, const QString& name)
{
    for (const Attribute& attribute : record.attributes) {
        if (attribute.name == name)
            return &attribute;
    }
    return nullptr;
}

// The node's first number that cannot be kept: in its transform, then in its attributes.
RefusedNumber FirstRefusedNumber(const NodeRecord& record)
{
    RefusedNumber refused = FindRefusedNumber(record.transform);
    for (auto a = record.attributes.begin(); !refused.IsRefused() && a != record.attributes.end();
         ++a)
        refused = FindRefusedNumber(a->name, a->value);
    return refused;
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
    NameIndex declared(nodes);
    std::vector<int> parents(nodes.size(), -1);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const NodeRecord& record = nodes[i];
        if (!IsValidNodeName(record.name))
            return Fail(error, QStringLiteral("\"%1\" is not a valid node name.").arg(record.name));
        const NameIndex::Place place = declared.Locate(record.name);
        if (declared.At(place) >= 0)
            return Fail(error,
                        QStringLiteral("The node name \"%1\" is used twice.").arg(record.name));
        if (!record.parent.isEmpty()) {
            if (record.type == NodeType::Character)
                return Fail(
                    error,
                    QStringLiteral("Character node \"%1\" cannot have a parent.").arg(record.name));
            const int parent = declared.Find(record.parent);
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
        declared.Put(place, int(i));
    }
    if (!ValidateNumbers(parents, error))
        return false;
    QSet<QString> destinations;
    for (const ConnectionRecord& connection : connections) {
        const QString text = QStringLiteral("%1.%2 -> %3.%4")
                                 .arg(connection.fromNode, connection.fromAttribute,
                                      connection.toNode, connection.toAttribute);
        const int from = declared.Find(connection.fromNode);
        const int to = declared.Find(connection.toNode);
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
    NameIndex declared(nodes);
    std::vector<int> parents(nodes.size(), -1);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!nodes[i].parent.isEmpty())
            parents[i] = declared.Find(nodes[i].parent);
        declared.Put(int(i));
    }
    return ValidateNumbers(parents, error);
}

bool SceneDescription::ValidateNumbers(const std::vector<int>& parents, QString* error) const
{
    // First from bounds alone: a rotation keeps lengths and a scale stretches them by its
    // largest factor at most, so a world matrix's entries are at most its linear part's
    // stretch and its translation's reach below. Far under the single-precision limit, no
    // world matrix needs working out; otherwise they are, to name the first node beyond it.
    constexpr double kSurelyUsable = 1e36;
    std::vector<std::pair<double, double>> bounds(nodes.size(), {1.0, 0.0}); // stretch, reach
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const NodeRecord& record = nodes[i];
        const RefusedNumber refused = FirstRefusedNumber(record);
        if (refused.IsRefused()) // every node before it has a usable world
            return Fail(error, QStringLiteral("Node \"%1\": %2.").arg(record.name, refused.Text()));
        if (record.type == NodeType::Character)
            continue;
        const Vector3& s = record.transform.scale;
        const Vector3& t = record.transform.translation;
        const auto [stretch, reach] =
            parents[i] < 0 ? std::make_pair(1.0, 0.0) : bounds[parents[i]];
        bounds[i] = {stretch * std::max({std::abs(s.x), std::abs(s.y), std::abs(s.z)}),
                     reach + stretch * (std::abs(t.x) + std::abs(t.y) + std::abs(t.z))};
        if (!(bounds[i].first <= kSurelyUsable && bounds[i].second <= kSurelyUsable))
            return ValidateWorlds(parents, error);
    }
    return true;
}

bool SceneDescription::ValidateWorlds(const std::vector<int>& parents, QString* error) const
{
    std::vector<Matrix4> worlds(nodes.size(), Matrix4::Identity());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const NodeRecord& record = nodes[i];
        const RefusedNumber refused = FirstRefusedNumber(record);
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
    // An empty scene (the usual case: a file opened) has no name to clash with.
    for (const NodeRecord& record : nodes) {
        if (scene.NodeCount() > 0 && scene.Find(record.name)) {
            Fail(error, QStringLiteral("A node named \"%1\" already exists.").arg(record.name));
            return Status::AlreadyExists;
        }
    }
    // Validated: nothing below can fail.
    scene.ReserveNodes(static_cast<int>(nodes.size()));
    for (const NodeRecord& record : nodes) {
        Node* parent = record.parent.isEmpty() ? nullptr : scene.Find(record.parent);
        Node* node = scene.CreateNode(record.type, record.name, parent, record.transform, error);
        Q_ASSERT(node);
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
