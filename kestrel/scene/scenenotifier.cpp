#include "scene/scenenotifier.h"

#include "scene/node.h"

#include <vector>

namespace kestrel {

CallbackId SceneNotifier::Add(Entry entry)
{
    const CallbackId id = m_nextId++;
    m_entries.emplace(id, std::move(entry));
    return id;
}

namespace {

quint64 IdOf(const Node* node)
{
    return node ? node->Id() : 0;
}

} // namespace

CallbackId SceneNotifier::AddSelectionChangedCallback(SelectionCallback callback)
{
    Entry entry;
    entry.kind = Kind::Selection;
    entry.nodeId = 0;
    entry.selection = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddNameChangedCallback(const Node* node, NameCallback callback)
{
    Entry entry;
    entry.kind = Kind::Name;
    entry.nodeId = IdOf(node);
    entry.name = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddAboutToRemoveCallback(const Node* node, RemovalCallback callback)
{
    Entry entry;
    entry.kind = Kind::AboutToRemove;
    entry.nodeId = IdOf(node);
    entry.removal = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddDestroyedCallback(const Node* node, DestroyedCallback callback)
{
    Entry entry;
    entry.kind = Kind::Destroyed;
    entry.nodeId = IdOf(node);
    entry.destroyed = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddNodeAddedCallback(NodeCallback callback)
{
    Entry entry;
    entry.kind = Kind::Added;
    entry.nodeId = 0;
    entry.node = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddAboutToReparentCallback(const Node* node, MoveCallback callback)
{
    Entry entry;
    entry.kind = Kind::AboutToReparent;
    entry.nodeId = IdOf(node);
    entry.move = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddReparentedCallback(const Node* node, NodeCallback callback)
{
    Entry entry;
    entry.kind = Kind::Reparented;
    entry.nodeId = IdOf(node);
    entry.node = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddChangedCallback(const Node* node, NodeCallback callback)
{
    Entry entry;
    entry.kind = Kind::Changed;
    entry.nodeId = IdOf(node);
    entry.node = std::move(callback);
    return Add(std::move(entry));
}

bool SceneNotifier::RemoveCallback(CallbackId id)
{
    return m_entries.erase(id) > 0;
}

template <typename Invoke>
void SceneNotifier::Dispatch(Kind kind, quint64 nodeId, Invoke invoke)
{
    // Collect first: callbacks may add or remove entries while we run them.
    std::vector<CallbackId> ids;
    for (const auto& [id, entry] : m_entries) {
        if (entry.kind == kind && (entry.nodeId == 0 || entry.nodeId == nodeId))
            ids.push_back(id);
    }
    for (CallbackId id : ids) {
        const auto it = m_entries.find(id);
        if (it == m_entries.end())
            continue;
        // A copy, so a callback that removes itself does not destroy the code it runs.
        const Entry entry = it->second;
        invoke(entry);
    }
}

void SceneNotifier::NotifySelectionChanged()
{
    Dispatch(Kind::Selection, 0, [](const Entry& entry) { entry.selection(); });
}

void SceneNotifier::NotifyNameChanged(Node& node, const QString& previousName)
{
    Dispatch(Kind::Name, node.Id(), [&](const Entry& entry) { entry.name(node, previousName); });
}

void SceneNotifier::NotifyAboutToRemove(Node& node)
{
    Dispatch(Kind::AboutToRemove, node.Id(), [&](const Entry& entry) { entry.removal(node); });
}

void SceneNotifier::NotifyDestroyed(quint64 nodeId, const QString& name)
{
    Dispatch(Kind::Destroyed, nodeId, [&](const Entry& entry) { entry.destroyed(name); });
}

void SceneNotifier::NotifyNodeAdded(Node& node)
{
    Dispatch(Kind::Added, node.Id(), [&](const Entry& entry) { entry.node(node); });
}

void SceneNotifier::NotifyAboutToReparent(Node& node, Node* newParent, int newIndex)
{
    Dispatch(Kind::AboutToReparent, node.Id(),
             [&](const Entry& entry) { entry.move(node, newParent, newIndex); });
}

void SceneNotifier::NotifyReparented(Node& node)
{
    Dispatch(Kind::Reparented, node.Id(), [&](const Entry& entry) { entry.node(node); });
}

void SceneNotifier::NotifyChanged(Node& node)
{
    Dispatch(Kind::Changed, node.Id(), [&](const Entry& entry) { entry.node(node); });
}

void SceneNotifier::DropNodeCallbacks(quint64 nodeId)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.nodeId == nodeId)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

} // namespace kestrel
