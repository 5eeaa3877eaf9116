// The Kestrel scene: nodes, hierarchy, attributes, connections, selection and notifications.
#pragma once

#include "base/status.h"
#include "kestrelexport.h"
#include "scene/attribute.h"
#include "scene/node.h"
#include "scene/scenenotifier.h"
#include "scene/selection.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

namespace kestrel {

class SceneJournal;

// What the scene is going through while it is torn down.
enum class SceneReset
{
    None,
    NewScene,    // a new, empty scene is being created
    OpeningFile, // a scene file is being opened
};

// Owns every node. Node names are unique. Every change goes through here: it is checked
// first (bad input returns a failure and an error text and changes nothing), then recorded in
// the active journal (for undo) and announced through the notifier.
//
// Removing a node removes its subtree: the node's about-to-remove callbacks run first (the
// subtree still complete), then each child subtree is removed the same way (last child
// first), then the node's connections go, it leaves the selection, it is destroyed and its
// destroyed callbacks run. A removal callback may not remove the node being removed or an
// ancestor of it (InvalidState).
class KESTREL_EXPORT Scene
{
public:
    Scene();
    // Destroys the nodes without running any callback.
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // --- lookup
    // A node by name, or by a "|"-separated path of names ("|a|b" from the root, "a|b" ending
    // at b whose parent is a). nullptr when nothing matches.
    Node* Find(const QString& nameOrPath) const;
    Node* FindById(quint64 id) const;
    // Scene order: the DAG depth-first from the top-level nodes, then the character nodes in
    // creation order.
    std::vector<Node*> Nodes() const;
    // Transforms and joints directly under the root, in order.
    const std::vector<Node*>& TopLevelNodes() const { return m_topLevel; }
    int NodeCount() const { return static_cast<int>(m_nodes.size()); }
    // `base` followed by the smallest number >= 1 that makes an unused name.
    QString UniqueName(const QString& base) const;

    // --- nodes
    // Creates a node named `name` under `parent` (nullptr: the root; character nodes take no
    // parent) at `childIndex` among its siblings (-1: last). nullptr with `error` set for an
    // invalid or used name or a parent that is no transform.
    Node* CreateNode(NodeType type, const QString& name, Node* parent, QString* error,
                     int childIndex = -1);
    // The same, last among its siblings, with the local channels `values` (ignored for
    // character nodes) in place before anyone hears of the node: one notification where
    // creating it and setting its channels sends two.
    Node* CreateNode(NodeType type, const QString& name, Node* parent,
                     const TransformValues& values, QString* error);
    // Room for `count` more nodes, before many are created at once.
    void ReserveNodes(int count);
    // Removes the node with its subtree (see the class comment). InvalidState when the node is
    // already being removed.
    Status RemoveNode(Node* node);
    // Gives the node a new name; the name-changed callbacks receive the previous one. Giving a
    // node its own name changes nothing and runs no callback.
    Status RenameNode(Node* node, const QString& newName, QString* error);
    // Moves a transform under `newParent` (nullptr: the root) at `childIndex` (-1: last),
    // keeping its local channels. Fails for cycles and non-transforms.
    Status Reparent(Node* node, Node* newParent, QString* error, int childIndex = -1);
    // Replaces the local channels of a transform; nothing for other nodes.
    void SetTransform(Node* node, const TransformValues& values);

    // --- attributes
    Status AddAttribute(Node* node, const QString& name, AttributeType type, QString* error);
    // Removes the attribute and its connections.
    Status RemoveAttribute(Node* node, const QString& name, QString* error);
    // Sets a value-carrying attribute; the value is converted as ConvertAttributeValue does.
    Status SetAttribute(Node* node, const QString& name, const Value& value, QString* error);

    // --- connections
    Status Connect(Node* fromNode, const QString& fromAttribute, Node* toNode,
                   const QString& toAttribute, QString* error);
    Status Disconnect(Node* fromNode, const QString& fromAttribute, Node* toNode,
                      const QString& toAttribute, QString* error);
    // All connections in the order they were made.
    const std::vector<Connection>& Connections() const { return m_connections; }
    // Outgoing connections of node.attribute (every attribute when `attribute` is empty).
    std::vector<Connection> ConnectionsFrom(const Node* node, const QString& attribute) const;
    // Incoming connections of node.attribute (every attribute when `attribute` is empty).
    std::vector<Connection> ConnectionsTo(const Node* node, const QString& attribute) const;

    // --- whole scene
    // Removes every node, top-level nodes last first, then character nodes last first. Does
    // nothing when called from a removal callback.
    void Clear();
    // Set by whoever tears the scene down for a new scene or a file being opened; callbacks
    // read it through IsOpeningFile() and IsCreatingNewScene().
    void SetResetState(SceneReset state) { m_resetState = state; }
    bool IsOpeningFile() const { return m_resetState == SceneReset::OpeningFile; }
    bool IsCreatingNewScene() const { return m_resetState == SceneReset::NewScene; }

    Selection& GetSelection() { return m_selection; }
    const Selection& GetSelection() const { return m_selection; }
    SceneNotifier& GetNotifier() { return m_notifier; }

    // The journal that records every change from now on (nullptr: none). Not owned.
    void SetJournal(SceneJournal* journal) { m_journal = journal; }
    SceneJournal* Journal() const { return m_journal; }

private:
    std::vector<Node*>& SiblingsOf(Node* parent);
    int IndexAmongSiblings(Node* node);
    void Detach(Node* node);
    void Attach(Node* node, Node* parent, int childIndex);
    Status RemoveConnection(std::size_t index);
    Node* FindPath(const QString& path) const;
    Node* MakeNode(NodeType type, const QString& name, Node* parent, QString* error, int childIndex,
                   const TransformValues* values);
    bool SubtreeBeingRemoved(const Node* node) const;

    // Nodes by name: open addressing with linear probing, at most half full, so a node costs
    // no allocation and a lookup mostly reads one slot (a scene holds 100,000 nodes and more).
    class NameTable
    {
    public:
        // `hash` is qHash(name), for a caller that looks the name up and then inserts it.
        Node* Find(const QString& name, uint hash) const;
        Node* Find(const QString& name) const { return Find(name, qHash(name)); }
        // `node` under its name, which no node in the table has.
        void Insert(Node* node, uint hash);
        void Insert(Node* node) { Insert(node, qHash(node->Name())); }
        // The node with that name, if any; its name must still be `name`.
        void Remove(const QString& name);
        void Reserve(int count);
        int Size() const { return m_size; }

    private:
        struct Slot
        {
            uint hash = 0;
            Node* node = nullptr;
        };
        // The slot holding `name`, or the empty one where it would go.
        std::size_t SlotOf(const QString& name, uint hash) const;
        void Rehash(std::size_t capacity);

        std::vector<Slot> m_slots; // a power of two of them, or none
        int m_size = 0;
    };

    SceneNotifier m_notifier;
    Selection m_selection;
    std::vector<std::unique_ptr<Node>> m_nodes; // creation order
    NameTable m_byName;
    std::vector<Node*> m_topLevel;
    std::vector<Connection> m_connections;
    SceneJournal* m_journal = nullptr;
    SceneReset m_resetState = SceneReset::None;
    quint64 m_nextId = 1;
    quint64 m_transformRevision = 1; // moves on with every change of channels or parents
    int m_removalDepth = 0;
};

} // namespace kestrel
