#include "scene/scenejournal.h"

#include "scene/scene.h"

namespace kestrel {

namespace {

QString ParentNameOf(const Node& node)
{
    return node.Parent() ? node.Parent()->Name() : QString();
}

// Restores the journal pointer of the scene when replay ends.
class JournalPause
{
public:
    explicit JournalPause(Scene& scene)
        : m_scene(scene)
        , m_saved(scene.Journal())
    {
        m_scene.SetJournal(nullptr);
    }
    ~JournalPause() { m_scene.SetJournal(m_saved); }

private:
    Scene& m_scene;
    SceneJournal* m_saved;
};

} // namespace

void SceneJournal::RecordCreated(const Node& node, int childIndex)
{
    Edit edit = MakeEdit(Kind::Created, node.Name());
    edit.parentName = ParentNameOf(node);
    edit.index = childIndex;
    edit.type = node.Type();
    m_edits.push_back(edit);
}

void SceneJournal::RecordRemoved(const Node& node, int childIndex)
{
    Edit edit = MakeEdit(Kind::Removed, node.Name());
    edit.parentName = ParentNameOf(node);
    edit.index = childIndex;
    edit.type = node.Type();
    edit.before = node.Transform();
    edit.attributes = node.Attributes();
    m_edits.push_back(edit);
}

void SceneJournal::RecordRenamed(const QString& oldName, const QString& newName)
{
    Edit edit = MakeEdit(Kind::Renamed, oldName);
    edit.otherName = newName;
    m_edits.push_back(edit);
}

void SceneJournal::RecordReparented(const Node& node, const QString& oldParent, int oldIndex,
                                    int newIndex)
{
    Edit edit = MakeEdit(Kind::Reparented, node.Name());
    edit.otherName = ParentNameOf(node);
    edit.parentName = oldParent;
    edit.index = oldIndex;
    edit.otherIndex = newIndex;
    m_edits.push_back(edit);
}

void SceneJournal::RecordTransform(const Node& node, const TransformValues& before)
{
    Edit edit = MakeEdit(Kind::Transform, node.Name());
    edit.before = before;
    edit.after = node.Transform();
    m_edits.push_back(edit);
}

void SceneJournal::RecordAttributeAdded(const Node& node, const Attribute& attribute)
{
    // Made again with its type's default value: no value to set afterwards.
    Edit edit = MakeEdit(Kind::AttributeAdded, node.Name());
    edit.attributes = {{attribute.name, attribute.type, Value()}};
    m_edits.push_back(edit);
}

void SceneJournal::RecordAttributeRemoved(const Node& node, const Attribute& attribute)
{
    Edit edit = MakeEdit(Kind::AttributeRemoved, node.Name());
    edit.attributes = {attribute};
    m_edits.push_back(edit);
}

void SceneJournal::RecordAttributeSet(const Node& node, const QString& name, const Value& before,
                                      const Value& after)
{
    Edit edit = MakeEdit(Kind::AttributeSet, node.Name());
    edit.attribute = name;
    edit.valueBefore = before;
    edit.valueAfter = after;
    m_edits.push_back(edit);
}

void SceneJournal::RecordConnected(const Connection& connection)
{
    m_edits.push_back(ConnectionEdit(Kind::Connected, connection));
}

void SceneJournal::RecordDisconnected(const Connection& connection)
{
    m_edits.push_back(ConnectionEdit(Kind::Disconnected, connection));
}

SceneJournal::Edit SceneJournal::MakeEdit(Kind kind, const QString& name)
{
    Edit edit;
    edit.kind = kind;
    edit.name = name;
    return edit;
}

SceneJournal::Edit SceneJournal::ConnectionEdit(Kind kind, const Connection& connection)
{
    Edit edit = MakeEdit(kind, connection.fromNode->Name());
    edit.otherName = connection.toNode->Name();
    edit.attribute = connection.fromAttribute;
    edit.otherAttribute = connection.toAttribute;
    return edit;
}

Status SceneJournal::Revert(Scene& scene, QString* error) const
{
    return Replay(scene, false, error);
}

Status SceneJournal::Apply(Scene& scene, QString* error) const
{
    return Replay(scene, true, error);
}

Status SceneJournal::Replay(Scene& scene, bool forward, QString* error) const
{
    JournalPause pause(scene);
    const int count = EditCount();
    for (int i = 0; i < count; ++i) {
        const Status status = Replay(scene, m_edits[forward ? i : count - 1 - i], forward, error);
        if (status != Status::Success)
            return status;
    }
    return Status::Success;
}

namespace {

// Finds the node an entry names, or reports that the scene changed under the journal.
Node* Require(Scene& scene, const QString& name, QString* error)
{
    Node* node = scene.Find(name);
    if (!node && error)
        *error = QStringLiteral("The node \"%1\" no longer exists; the scene changed since the "
                                "command ran.")
                     .arg(name);
    return node;
}

// The parent an entry names: nullptr for the root, or the node itself.
bool RequireParent(Scene& scene, const QString& name, Node** parent, QString* error)
{
    *parent = nullptr;
    if (name.isEmpty())
        return true;
    *parent = Require(scene, name, error);
    return *parent != nullptr;
}

Status Recreate(Scene& scene, const QString& name, NodeType type, const QString& parentName,
                int index, const TransformValues& values, const std::vector<Attribute>& attributes,
                QString* error)
{
    Node* parent = nullptr;
    if (!RequireParent(scene, parentName, &parent, error))
        return Status::NotFound;
    Node* node = scene.CreateNode(type, name, parent, error, index);
    if (!node)
        return Status::AlreadyExists;
    scene.SetTransform(node, values);
    for (const Attribute& attribute : attributes) {
        scene.AddAttribute(node, attribute.name, attribute.type, error);
        if (!attribute.value.IsNone())
            scene.SetAttribute(node, attribute.name, attribute.value, error);
    }
    return Status::Success;
}

} // namespace

// Every kind of edit comes in pairs that undo each other (created and removed, added and
// removed, connected and disconnected) or carries both its states (names, parents, transforms,
// values), so undoing an edit is making its opposite, and one walk serves both directions.
Status SceneJournal::Replay(Scene& scene, const Edit& edit, bool forward, QString* error) const
{
    switch (edit.kind) {
    case Kind::Created:
    case Kind::Removed: {
        if ((edit.kind == Kind::Created) == forward)
            return Recreate(scene, edit.name, edit.type, edit.parentName, edit.index, edit.before,
                            edit.attributes, error);
        Node* node = Require(scene, edit.name, error);
        return node ? scene.RemoveNode(node) : Status::NotFound;
    }
    case Kind::Renamed: {
        Node* node = Require(scene, forward ? edit.name : edit.otherName, error);
        return node ? scene.RenameNode(node, forward ? edit.otherName : edit.name, error)
                    : Status::NotFound;
    }
    case Kind::Reparented: {
        Node* node = Require(scene, edit.name, error);
        Node* parent = nullptr;
        if (!node ||
            !RequireParent(scene, forward ? edit.otherName : edit.parentName, &parent, error))
            return Status::NotFound;
        return scene.Reparent(node, parent, error, forward ? edit.otherIndex : edit.index);
    }
    case Kind::Transform: {
        Node* node = Require(scene, edit.name, error);
        if (!node)
            return Status::NotFound;
        scene.SetTransform(node, forward ? edit.after : edit.before);
        return Status::Success;
    }
    case Kind::AttributeAdded:
    case Kind::AttributeRemoved: {
        Node* node = Require(scene, edit.name, error);
        if (!node)
            return Status::NotFound;
        const Attribute& attribute = edit.attributes.front();
        if ((edit.kind == Kind::AttributeAdded) != forward)
            return scene.RemoveAttribute(node, attribute.name, error);
        const Status status = scene.AddAttribute(node, attribute.name, attribute.type, error);
        if (status != Status::Success || attribute.value.IsNone())
            return status;
        return scene.SetAttribute(node, attribute.name, attribute.value, error);
    }
    case Kind::AttributeSet: {
        Node* node = Require(scene, edit.name, error);
        return node ? scene.SetAttribute(node, edit.attribute,
                                         forward ? edit.valueAfter : edit.valueBefore, error)
                    : Status::NotFound;
    }
    case Kind::Connected:
    case Kind::Disconnected: {
        Node* from = Require(scene, edit.name, error);
        Node* to = Require(scene, edit.otherName, error);
        if (!from || !to)
            return Status::NotFound;
        if ((edit.kind == Kind::Connected) == forward)
            return scene.Connect(from, edit.attribute, to, edit.otherAttribute, error);
        return scene.Disconnect(from, edit.attribute, to, edit.otherAttribute, error);
    }
    }
    return Status::Failure;
}

} // namespace kestrel
