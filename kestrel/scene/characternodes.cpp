#include "scene/characternodes.h"

#include "scene/node.h"
#include "scene/rotationorder.h"
#include "scene/scene.h"
#include "scene/transformquery.h"

#include "solver/nodenames.h"

#include <QHash>

namespace kestrel {

namespace {

const QString kCharacterAttribute = QStringLiteral("Character");
const QString kLockAttribute = QStringLiteral("InputCharacterizationLock");

bool Fail(QString* error, const QString& text)
{
    *error = text;
    return false;
}

} // namespace

CharacterNodes::CharacterNodes(Scene& scene)
    : m_scene(scene)
{}

QStringList CharacterNodes::StandardAttributes()
{
    return {kLockAttribute, QStringLiteral("leftKneeInverted"), QStringLiteral("rightKneeInverted"),
            QStringLiteral("leftElbowInverted"), QStringLiteral("rightElbowInverted")};
}

QString CharacterNodes::SlotName(int nodeId)
{
    return QString::fromLatin1(kinetra::NodeName(nodeId));
}

int CharacterNodes::SlotId(const QString& slotName)
{
    static const QHash<QString, int> ids = [] {
        QHash<QString, int> table;
        for (int id = 0; id < kinetra::NodeCount; ++id)
            table.insert(SlotName(id), id);
        return table;
    }();
    return ids.value(slotName, -1);
}

bool CharacterNodes::FlagSet(const Node& character, const QString& attribute)
{
    const Attribute* found = character.FindAttribute(attribute);
    return found && found->type == AttributeType::Bool && found->value.ToBool();
}

QString CharacterNodes::InversionAttribute(int partNodeId)
{
    switch (partNodeId) {
    case 3:
        return QStringLiteral("leftKneeInverted");
    case 6:
        return QStringLiteral("rightKneeInverted");
    case 10:
        return QStringLiteral("leftElbowInverted");
    case 13:
        return QStringLiteral("rightElbowInverted");
    default:
        return QString();
    }
}

Node* CharacterNodes::Create(const QString& name, QString* error)
{
    Node* node = m_scene.CreateNode(NodeType::Character, name, nullptr, error);
    if (!node)
        return nullptr;
    for (const QString& attribute : StandardAttributes())
        m_scene.AddAttribute(node, attribute, AttributeType::Bool, error);
    m_currentId = node->Id();
    return node;
}

Node* CharacterNodes::Find(const QString& name) const
{
    Node* node = m_scene.Find(name);
    return node && node->Type() == NodeType::Character ? node : nullptr;
}

Node* CharacterNodes::Current() const
{
    return m_currentId ? m_scene.FindById(m_currentId) : nullptr;
}

void CharacterNodes::SetCurrent(const Node* character)
{
    m_currentId = character && character->Type() == NodeType::Character ? character->Id() : 0;
}

Node* CharacterNodes::CharacterOf(const Node& joint) const
{
    // Called for every bound joint on each geometry check: no copies.
    for (const Connection& c : joint.OutgoingConnections()) {
        if (c.fromAttribute == kCharacterAttribute)
            return c.toNode;
    }
    return nullptr;
}

Node* CharacterNodes::ObjectOf(const Node& character, int nodeId) const
{
    const QString slot = SlotName(nodeId);
    if (slot.isEmpty())
        return nullptr;
    const auto connections = m_scene.ConnectionsTo(&character, slot);
    return connections.empty() ? nullptr : connections.front().fromNode;
}

Node* CharacterNodes::RequireCharacter(const QString& name, QString* error) const
{
    Node* node = Find(name);
    if (!node)
        Fail(error, QStringLiteral("There is no character node named \"%1\".").arg(name));
    return node;
}

Status CharacterNodes::SetCharacterObject(const QString& object, const QString& character,
                                          int nodeId, QString* error)
{
    const QString slot = SlotName(nodeId);
    if (slot.isEmpty()) {
        Fail(error, QStringLiteral("%1 is not a node slot (0 to %2).")
                        .arg(nodeId)
                        .arg(kinetra::NodeCount - 1));
        return Status::InvalidParameter;
    }
    Node* joint = nullptr;
    if (!object.isEmpty()) {
        joint = m_scene.Find(object);
        if (!joint || !joint->IsTransform()) {
            Fail(error, QStringLiteral("There is no transform named \"%1\".").arg(object));
            return Status::NotFound;
        }
    }
    Node* node = m_scene.Find(character);
    if (node && node->Type() != NodeType::Character) {
        Fail(error, QStringLiteral("\"%1\" is not a character node.").arg(character));
        return Status::InvalidParameter;
    }
    if (!node && !(node = Create(character, error)))
        return Status::InvalidParameter;
    if (!node->FindAttribute(slot))
        m_scene.AddAttribute(node, slot, AttributeType::Message, error);
    const auto held = m_scene.ConnectionsTo(node, slot);
    const bool unchanged = joint ? held.size() == 1 && held.front().fromNode == joint &&
                                       held.front().fromAttribute == kCharacterAttribute
                                 : held.empty();
    if (unchanged) {
        m_currentId = node->Id();
        return Status::Success;
    }
    for (const Connection& c : held)
        m_scene.Disconnect(c.fromNode, c.fromAttribute, c.toNode, c.toAttribute, error);
    if (joint) {
        if (!joint->FindAttribute(kCharacterAttribute))
            m_scene.AddAttribute(joint, kCharacterAttribute, AttributeType::Message, error);
        m_scene.Connect(joint, kCharacterAttribute, node, slot, error);
    }
    m_currentId = node->Id();
    return Status::Success;
}

Status CharacterNodes::DeleteCharacter(const QString& character, QString* error)
{
    // Tools ask to delete every characterization they drop, also those that never got a
    // character node: no node of that name means nothing to do.
    if (!m_scene.Find(character))
        return Status::Success;
    Node* node = RequireCharacter(character, error);
    if (!node)
        return Status::NotFound;
    return m_scene.RemoveNode(node);
}

Status CharacterNodes::InvertBone(int partNodeId, bool inverted, QString* error)
{
    const QString attribute = InversionAttribute(partNodeId);
    if (attribute.isEmpty()) {
        Fail(error,
             QStringLiteral("Node %1 is not a knee or an elbow (3, 6, 10 or 13).").arg(partNodeId));
        return Status::InvalidParameter;
    }
    Node* node = Current();
    if (!node) {
        Fail(error, QStringLiteral("There is no current character."));
        return Status::InvalidState;
    }
    if (!node->FindAttribute(attribute))
        m_scene.AddAttribute(node, attribute, AttributeType::Bool, error);
    return m_scene.SetAttribute(node, attribute, Value(inverted), error);
}

Node* CharacterNodes::CreateFromCurrent(QString* error)
{
    return Create(m_scene.UniqueName(QStringLiteral("Character")), error);
}

Status CharacterNodes::Lock(const QString& character, bool locked, QString* error)
{
    Node* node = RequireCharacter(character, error);
    if (!node)
        return Status::NotFound;
    if (!node->FindAttribute(kLockAttribute))
        m_scene.AddAttribute(node, kLockAttribute, AttributeType::Bool, error);
    if (locked) {
        const Status status = StorePose(node, error);
        if (status != Status::Success)
            return status;
    }
    return m_scene.SetAttribute(node, kLockAttribute, Value(locked), error);
}

Status CharacterNodes::StorePose(Node* character, QString* error)
{
    for (int id = 0; id < kinetra::NodeCount; ++id) {
        const Node* joint = ObjectOf(*character, id);
        if (!joint)
            continue;
        const QString slot = SlotName(id);
        const Vector3 translation = Translation(*joint, Space::World);
        const RotationOrder order = joint->Transform().rotationOrder;
        const Vector3 rotation = QuaternionToEuler(Rotation(*joint, Space::World), order);
        const Vector3 scale = Scale(*joint, Space::World);
        const double values[9] = {translation.x, translation.y, translation.z,
                                  rotation.x,    rotation.y,    rotation.z,
                                  scale.x,       scale.y,       scale.z};
        const char* const suffixes[9] = {"Tx", "Ty", "Tz", "Rx", "Ry", "Rz", "Sx", "Sy", "Sz"};
        for (int i = 0; i < 9; ++i) {
            const QString name = slot + QLatin1String(suffixes[i]);
            if (!character->FindAttribute(name))
                m_scene.AddAttribute(character, name, AttributeType::Double, error);
            m_scene.SetAttribute(character, name, Value(values[i]), error);
        }
        const QString orderName = slot + QStringLiteral("RotateOrder");
        if (!character->FindAttribute(orderName))
            m_scene.AddAttribute(character, orderName, AttributeType::Int, error);
        m_scene.SetAttribute(character, orderName, Value(static_cast<int>(order)), error);
    }
    return Status::Success;
}

int CharacterNodes::AddControlsRefreshCallback(RefreshCallback callback)
{
    const int id = m_nextRefreshId++;
    m_refreshCallbacks.emplace(id, std::move(callback));
    return id;
}

void CharacterNodes::RemoveControlsRefreshCallback(int id)
{
    m_refreshCallbacks.erase(id);
}

void CharacterNodes::RefreshControls()
{
    // A copy: a refresh may run commands that add or remove controls.
    const auto callbacks = m_refreshCallbacks;
    for (const auto& entry : callbacks)
        entry.second();
}

} // namespace kestrel
