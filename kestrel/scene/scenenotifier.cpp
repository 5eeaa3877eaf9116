#include "scene/scenenotifier.h"

#include "scene/node.h"

#include <QVarLengthArray>

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

template <typename Callback>
CallbackId SceneNotifier::Add(Kind kind, const Node* node, Callback Entry::*slot, Callback callback)
{
    Entry entry;
    entry.kind = kind;
    entry.nodeId = IdOf(node);
    entry.*slot = std::move(callback);
    return Add(std::move(entry));
}

CallbackId SceneNotifier::AddSelectionChangedCallback(SelectionCallback callback)
{
    return Add(Kind::Selection, nullptr, &Entry::selection, std::move(callback));
}

CallbackId SceneNotifier::AddNameChangedCallback(const Node* node, NameCallback callback)
{
    return Add(Kind::Name, node, &Entry::name, std::move(callback));
}

CallbackId SceneNotifier::AddAboutToRemoveCallback(const Node* node, RemovalCallback callback)
{
    return Add(Kind::AboutToRemove, node, &Entry::removal, std::move(callback));
}

CallbackId SceneNotifier::AddDestroyedCallback(const Node* node, DestroyedCallback callback)
{
    return Add(Kind::Destroyed, node, &Entry::destroyed, std::move(callback));
}

CallbackId SceneNotifier::AddNodeAddedCallback(NodeCallback callback)
{
    return Add(Kind::Added, nullptr, &Entry::node, std::move(callback));
}

CallbackId SceneNotifier::AddAboutToReparentCallback(const Node* node, MoveCallback callback)
{
    return Add(Kind::AboutToReparent, node, &Entry::move, std::move(callback));
}

CallbackId SceneNotifier::AddReparentedCallback(const Node* node, NodeCallback callback)
{
    return Add(Kind::Reparented, node, &Entry::node, std::move(callback));
}

CallbackId SceneNotifier::AddChangedCallback(const Node* node, NodeCallback callback)
{
    return Add(Kind::Changed, node, &Entry::node, std::move(callback));
}

bool SceneNotifier::RemoveCallback(CallbackId id)
{
    return m_entries.erase(id) > 0;
}

template <typename Invoke>
void SceneNotifier::Dispatch(Kind kind, quint64 nodeId, Invoke invoke)
{
    // Collect first: callbacks may add or remove entries while we run them. On the stack: a
    // scene being filled sends two notifications a node.
    QVarLengthArray<CallbackId, 64> ids;
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
