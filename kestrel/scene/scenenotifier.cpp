#include "scene/scenenotifier.h"

#include "scene/node.h"

#include <QVarLengthArray>

#include <algorithm>

namespace kestrel {

namespace {

quint64 IdOf(const Node* node)
{
    return node ? node->Id() : 0;
}

} // namespace

template <typename Callback>
CallbackId SceneNotifier::Add(Kind kind, const Node* node, Callback Entry::*slot, Callback callback)
{
    auto entry = std::make_unique<Entry>();
    (*entry).*slot = std::move(callback);
    const CallbackId id = m_nextId++;
    m_slots.push_back({id, kind, IdOf(node), std::move(entry)});
    if (node)
        ++m_boundCount;
    return id;
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
    const auto it =
        std::lower_bound(m_slots.begin(), m_slots.end(), id,
                         [](const Slot& slot, CallbackId key) { return slot.id < key; });
    if (it == m_slots.end() || it->id != id)
        return false;
    Retire(*it);
    m_slots.erase(it);
    return true;
}

void SceneNotifier::Retire(Slot& slot)
{
    slot.entry->installed = false;
    if (slot.nodeId != 0)
        --m_boundCount;
    if (m_dispatchDepth > 0)
        m_retired.push_back(std::move(slot.entry));
}

template <typename Invoke>
void SceneNotifier::Dispatch(Kind kind, quint64 nodeId, Invoke invoke)
{
    // Collect first: callbacks may add or remove callbacks while these run. On the stack: a
    // scene being filled sends a notification a node.
    QVarLengthArray<const Entry*, 32> entries;
    for (const Slot& slot : m_slots) {
        if (slot.kind == kind && (slot.nodeId == 0 || slot.nodeId == nodeId))
            entries.push_back(slot.entry.get());
    }
    struct Depth
    {
        SceneNotifier& notifier;
        explicit Depth(SceneNotifier& n)
            : notifier(n)
        {
            ++notifier.m_dispatchDepth;
        }
        ~Depth()
        {
            if (--notifier.m_dispatchDepth == 0)
                notifier.m_retired.clear();
        }
    } depth(*this);
    for (const Entry* entry : entries) {
        if (entry->installed)
            invoke(*entry);
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
    if (m_boundCount == 0)
        return;
    auto kept = m_slots.begin();
    for (auto it = m_slots.begin(); it != m_slots.end(); ++it) {
        if (it->nodeId == nodeId) {
            Retire(*it);
        } else {
            if (kept != it)
                *kept = std::move(*it);
            ++kept;
        }
    }
    m_slots.erase(kept, m_slots.end());
}

} // namespace kestrel
