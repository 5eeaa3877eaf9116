// Callbacks that tell plug-ins and views about selection changes, new nodes, renames, moves,
// edits and node removals.
#pragma once

#include "kestrelexport.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace kestrel {

class Node;

// Identifies an installed callback; 0 is never used.
using CallbackId = quint64;

// Registry and dispatcher of scene callbacks. Callbacks run synchronously on the UI thread,
// in the order they were installed. A callback may install or remove callbacks (itself
// included) and edit the scene; callbacks installed during a dispatch first run on the next
// one. Callbacks bound to a node are dropped after that node's destroyed callbacks ran.
class KESTREL_EXPORT SceneNotifier
{
public:
    using SelectionCallback = std::function<void()>;
    // `node` under its new name, and the name it had before.
    using NameCallback = std::function<void(Node& node, const QString& previousName)>;
    // The node is still complete: parent, children, attributes and connections in place.
    using RemovalCallback = std::function<void(Node& node)>;
    // The node is gone; `name` is the name it had.
    using DestroyedCallback = std::function<void(const QString& name)>;
    // For new nodes (already attached under their parent) and edited ones.
    using NodeCallback = std::function<void(Node& node)>;
    // The node is still under its old parent; `newIndex` is -1 for "last".
    using MoveCallback = std::function<void(Node& node, Node* newParent, int newIndex)>;

    SceneNotifier() = default;
    SceneNotifier(const SceneNotifier&) = delete;
    SceneNotifier& operator=(const SceneNotifier&) = delete;

    // The active selection list changed.
    CallbackId AddSelectionChangedCallback(SelectionCallback callback);
    // `node` (or any node when nullptr) got a new name.
    CallbackId AddNameChangedCallback(const Node* node, NameCallback callback);
    // `node` (or any node when nullptr) is about to be removed.
    CallbackId AddAboutToRemoveCallback(const Node* node, RemovalCallback callback);
    // `node` (or any node when nullptr) was destroyed.
    CallbackId AddDestroyedCallback(const Node* node, DestroyedCallback callback);
    // A node was created (any node: new nodes have no callbacks of their own yet).
    CallbackId AddNodeAddedCallback(NodeCallback callback);
    // `node` (or any node when nullptr) is about to move under another parent, or to another
    // place among its siblings.
    CallbackId AddAboutToReparentCallback(const Node* node, MoveCallback callback);
    // `node` (or any node when nullptr) moved.
    CallbackId AddReparentedCallback(const Node* node, NodeCallback callback);
    // The local channels or an attribute value of `node` (or any node when nullptr) changed.
    CallbackId AddChangedCallback(const Node* node, NodeCallback callback);
    // Removes a callback; false when the id is unknown (already removed, or dropped with its
    // node).
    bool RemoveCallback(CallbackId id);
    // Number of installed callbacks.
    int CallbackCount() const { return static_cast<int>(m_slots.size()); }

    // Dispatch, called by Scene and Selection.
    void NotifySelectionChanged();
    void NotifyNameChanged(Node& node, const QString& previousName);
    void NotifyAboutToRemove(Node& node);
    void NotifyDestroyed(quint64 nodeId, const QString& name);
    void NotifyNodeAdded(Node& node);
    void NotifyAboutToReparent(Node& node, Node* newParent, int newIndex);
    void NotifyReparented(Node& node);
    void NotifyChanged(Node& node);
    // Drops every callback bound to the node.
    void DropNodeCallbacks(quint64 nodeId);

private:
    enum class Kind
    {
        Selection,
        Name,
        AboutToRemove,
        Destroyed,
        Added,
        AboutToReparent,
        Reparented,
        Changed,
    };
    // The callback of one kind; the others stay empty.
    struct Entry
    {
        SelectionCallback selection;
        NameCallback name;
        RemovalCallback removal;
        DestroyedCallback destroyed;
        NodeCallback node;
        MoveCallback move;
        bool installed = true; // false once removed, for a dispatch that collected it before
    };
    // What a dispatch filters on, next to each other: a scene being filled or torn down sends
    // a notification or two a node, each looking at every callback.
    struct Slot
    {
        CallbackId id;
        Kind kind;
        quint64 nodeId; // 0: any node
        std::unique_ptr<Entry> entry;
    };

    template <typename Callback>
    CallbackId Add(Kind kind, const Node* node, Callback Entry::*slot, Callback callback);
    template <typename Invoke>
    void Dispatch(Kind kind, quint64 nodeId, Invoke invoke);
    // Uninstalls the slot's callback; kept alive while a dispatch may still hold it.
    void Retire(Slot& slot);

    std::vector<Slot> m_slots; // in installation order, which is the order of their ids
    int m_boundCount = 0;      // slots bound to one node
    // Callbacks removed during a dispatch, destroyed when the outermost one ends: a callback
    // that removes itself keeps running.
    std::vector<std::unique_ptr<Entry>> m_retired;
    int m_dispatchDepth = 0;
    CallbackId m_nextId = 1;
};

} // namespace kestrel
