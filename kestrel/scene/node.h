// A node of the Kestrel scene: transform, joint or character node.
#pragma once

#include "kestrelexport.h"
#include "scene/attribute.h"
#include "scene/matrix4.h"
#include "scene/quaternion.h"
#include "scene/transformvalues.h"
#include "scene/vector3.h"

#include <QString>

#include <vector>

namespace kestrel {

// Transforms and joints are DAG nodes with a parent (or the scene root "world") and children;
// joints are transforms with a joint orient. Character nodes stand outside the DAG.
enum class NodeType
{
    Transform,
    Joint,
    Character,
};

// "transform", "joint" or "character".
KESTREL_EXPORT QString NodeTypeName(NodeType type);
// Reads a name written by NodeTypeName; false for anything else.
KESTREL_EXPORT bool ParseNodeType(const QString& name, NodeType* type);

// A node's frame in world space, as the transform queries last worked it out. It is valid
// while `revision` equals the scene's transform revision, which every change of any node's
// channels or parent moves on; 0 is never valid.
struct WorldFrame
{
    Matrix4 matrix;
    Quaternion orientation; // of the frame, with the rotate axis
    Quaternion rotation;    // the node's world rotation: the frame without its rotate axis
    Vector3 scale{1.0, 1.0, 1.0};
    quint64 revision = 0;
};

// A node, owned by its Scene. All changes go through the Scene so that they are journaled
// for undo and announced to callbacks; a Node* stays valid until the scene's destroyed
// notification for it has run.
class KESTREL_EXPORT Node
{
public:
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Never reused within a process; callbacks and journals key on it.
    quint64 Id() const { return m_id; }
    const QString& Name() const { return m_name; }
    NodeType Type() const { return m_type; }
    // True for transforms and joints.
    bool IsTransform() const { return m_type != NodeType::Character; }
    bool IsJoint() const { return m_type == NodeType::Joint; }

    // The parent transform; nullptr directly under the scene root and for character nodes.
    Node* Parent() const { return m_parent; }
    // The parent's name, "world" directly under the root, empty for character nodes.
    QString ParentName() const;
    // Children in order.
    const std::vector<Node*>& Children() const { return m_children; }
    // "|" followed by the names from the top of the DAG down to this node ("|a|b");
    // the plain name for character nodes.
    QString FullPath() const;

    // The local channels; defaults for character nodes.
    const TransformValues& Transform() const { return m_transform; }

    // The owning scene's transform revision (never 0) and the world frame the transform
    // queries keep for this node (see WorldFrame).
    quint64 TransformRevision() const { return m_transformRevision ? *m_transformRevision : 0; }
    WorldFrame& CachedWorldFrame() const { return m_worldFrame; }

    // The connections leaving this node's attributes, in the order they were made.
    const std::vector<Connection>& OutgoingConnections() const { return m_outgoing; }

    // Dynamic attributes in the order they were added.
    const std::vector<Attribute>& Attributes() const { return m_attributes; }
    // nullptr when there is no such attribute.
    const Attribute* FindAttribute(const QString& name) const;

private:
    friend class Scene;

    Node(quint64 id, NodeType type, QString name);
    Attribute* FindAttributeForEdit(const QString& name);

    quint64 m_id;
    NodeType m_type;
    QString m_name;
    Node* m_parent = nullptr;
    std::vector<Node*> m_children;
    TransformValues m_transform;
    std::vector<Attribute> m_attributes;
    std::vector<Connection> m_outgoing; // mirrors the scene's list, for lookups by source
    bool m_beingRemoved = false;
    const quint64* m_transformRevision = nullptr; // the owning scene's counter
    mutable WorldFrame m_worldFrame;
};

} // namespace kestrel
