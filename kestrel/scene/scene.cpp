#include "scene/scene.h"

#include "base/ownedstring.h"
#include "scene/nodename.h"
#include "scene/scenejournal.h"

#include <algorithm>

namespace kestrel {

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

Scene::Scene()
    : m_selection(m_notifier)
{}

Scene::~Scene() = default;

Node* Scene::NameTable::Find(const QString& name, uint hash) const
{
    return m_slots.empty() ? nullptr : m_slots[SlotOf(name, hash)].node;
}

void Scene::NameTable::Insert(Node* node, uint hash)
{
    Reserve(m_size + 1);
    m_slots[SlotOf(node->Name(), hash)] = {hash, node};
    ++m_size;
}

void Scene::NameTable::Remove(const QString& name)
{
    if (m_slots.empty())
        return;
    const std::size_t mask = m_slots.size() - 1;
    std::size_t hole = SlotOf(name, qHash(name));
    if (!m_slots[hole].node)
        return;
    m_slots[hole] = Slot();
    --m_size;
    // Close the gap: every entry after it in the run moves back unless that would put it
    // before its home slot.
    for (std::size_t next = (hole + 1) & mask; m_slots[next].node; next = (next + 1) & mask) {
        const std::size_t home = m_slots[next].hash & mask;
        const bool stays =
            hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (stays)
            continue;
        m_slots[hole] = m_slots[next];
        m_slots[next] = Slot();
        hole = next;
    }
}

void Scene::NameTable::Reserve(int count)
{
    std::size_t capacity = m_slots.empty() ? 16 : m_slots.size();
    while (capacity < 2 * static_cast<std::size_t>(count))
        capacity *= 2;
    if (capacity != m_slots.size())
        Rehash(capacity);
}

std::size_t Scene::NameTable::SlotOf(const QString& name, uint hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = hash & mask;
    while (m_slots[slot].node && (m_slots[slot].hash != hash || m_slots[slot].node->Name() != name))
        slot = (slot + 1) & mask;
    return slot;
}

void Scene::NameTable::Rehash(std::size_t capacity)
{
    std::vector<Slot> old(capacity);
    old.swap(m_slots);
    for (const Slot& slot : old) {
        if (slot.node) {
            std::size_t at = slot.hash & (capacity - 1);
            while (m_slots[at].node)
                at = (at + 1) & (capacity - 1);
            m_slots[at] = slot;
        }
    }
}

Node* Scene::Find(const QString& nameOrPath) const
{
    if (nameOrPath.contains(QLatin1Char('|')))
        return FindPath(nameOrPath);
    return m_byName.Find(nameOrPath);
}

Node* Scene::FindPath(const QString& path) const
{
    const bool fromRoot = path.startsWith(QLatin1Char('|'));
    QStringList names = path.split(QLatin1Char('|'));
    if (fromRoot)
        names.removeFirst();
    if (names.isEmpty() || names.contains(QString()))
        return nullptr;
    Node* const found = m_byName.Find(names.last());
    if (!found || !found->IsTransform())
        return nullptr;
    // Walk up from the last name, checking each parent against the path.
    const Node* node = found;
    for (int i = names.size() - 2; i >= 0; --i) {
        node = node->Parent();
        if (!node || node->Name() != names.at(i))
            return nullptr;
    }
    if (fromRoot && node->Parent())
        return nullptr;
    return found;
}

Node* Scene::FindById(quint64 id) const
{
    for (const auto& node : m_nodes) {
        if (node->Id() == id)
            return node.get();
    }
    return nullptr;
}

std::vector<Node*> Scene::Nodes() const
{
    std::vector<Node*> result;
    result.reserve(m_nodes.size());
    std::vector<Node*> stack(m_topLevel.rbegin(), m_topLevel.rend());
    while (!stack.empty()) {
        Node* node = stack.back();
        stack.pop_back();
        result.push_back(node);
        stack.insert(stack.end(), node->Children().rbegin(), node->Children().rend());
    }
    for (const auto& node : m_nodes) {
        if (!node->IsTransform())
            result.push_back(node.get());
    }
    return result;
}

QString Scene::UniqueName(const QString& base) const
{
    for (int number = 1;; ++number) {
        const QString name = base + QString::number(number);
        if (!m_byName.Find(name))
            return name;
    }
}

std::vector<Node*>& Scene::SiblingsOf(Node* parent)
{
    return parent ? parent->m_children : m_topLevel;
}

int Scene::IndexAmongSiblings(Node* node)
{
    if (!node->IsTransform())
        return -1;
    const std::vector<Node*>& siblings = SiblingsOf(node->m_parent);
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
}

void Scene::Detach(Node* node)
{
    if (!node->IsTransform())
        return;
    std::vector<Node*>& siblings = SiblingsOf(node->m_parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    node->m_parent = nullptr;
    ++m_transformRevision;
}

void Scene::Attach(Node* node, Node* parent, int childIndex)
{
    std::vector<Node*>& siblings = SiblingsOf(parent);
    const int count = static_cast<int>(siblings.size());
    const int index = (childIndex < 0 || childIndex > count) ? count : childIndex;
    siblings.insert(siblings.begin() + index, node);
    node->m_parent = parent;
    ++m_transformRevision;
}

Node* Scene::CreateNode(NodeType type, const QString& name, Node* parent, QString* error,
                        int childIndex)
{
    return MakeNode(type, name, parent, error, childIndex, nullptr);
}

Node* Scene::CreateNode(NodeType type, const QString& name, Node* parent,
                        const TransformValues& values, QString* error)
{
    return MakeNode(type, name, parent, error, -1, &values);
}

void Scene::ReserveNodes(int count)
{
    // Growing geometrically still: many small files imported one after another.
    const std::size_t needed = m_nodes.size() + static_cast<std::size_t>(count);
    if (needed > m_nodes.capacity())
        m_nodes.reserve(std::max(needed, 2 * m_nodes.capacity()));
    m_byName.Reserve(m_byName.Size() + count);
}

Node* Scene::MakeNode(NodeType type, const QString& name, Node* parent, QString* error,
                      int childIndex, const TransformValues* values)
{
    if (!IsValidNodeName(name)) {
        SetError(error, QStringLiteral("%1 is not a valid node name: use letters, digits, "
                                       "'_' and ':' (and not \"world\").")
                            .arg(Quoted(name)));
        return nullptr;
    }
    const uint hash = qHash(name);
    if (m_byName.Find(name, hash)) {
        SetError(error, QStringLiteral("A node named %1 already exists.").arg(Quoted(name)));
        return nullptr;
    }
    if (parent && (type == NodeType::Character || !parent->IsTransform())) {
        SetError(
            error,
            type == NodeType::Character
                ? QStringLiteral("Character nodes take no parent.")
                : QStringLiteral("The parent %1 is not a transform.").arg(Quoted(parent->Name())));
        return nullptr;
    }
    m_nodes.push_back(std::unique_ptr<Node>(new Node(m_nextId++, type, OwnedCopy(name))));
    m_nodes.back()->m_transformRevision = &m_transformRevision;
    Node* node = m_nodes.back().get();
    m_byName.Insert(node, hash);
    if (node->IsTransform())
        Attach(node, parent, childIndex);
    const bool channels = values && node->IsTransform() && *values != node->m_transform;
    if (channels)
        node->m_transform = *values;
    if (m_journal) {
        m_journal->RecordCreated(*node, IndexAmongSiblings(node));
        // Undo and redo replay it as the two steps it stands for.
        if (channels)
            m_journal->RecordTransform(*node, TransformValues());
    }
    m_notifier.NotifyNodeAdded(*node);
    return node;
}

bool Scene::SubtreeBeingRemoved(const Node* node) const
{
    // Nothing is being removed outside a removal: a scene torn down root by root walks none.
    if (m_removalDepth == 0)
        return false;
    if (node->m_beingRemoved)
        return true;
    for (const Node* child : node->m_children) {
        if (SubtreeBeingRemoved(child))
            return true;
    }
    return false;
}

Status Scene::RemoveNode(Node* node)
{
    if (!node)
        return Status::NotFound;
    // A callback of a node being removed may not remove that node or an ancestor of it.
    if (SubtreeBeingRemoved(node))
        return Status::InvalidState;
    node->m_beingRemoved = true;
    ++m_removalDepth;
    m_notifier.NotifyAboutToRemove(*node);
    // A callback may have moved children away or added some; remove whatever is there now.
    while (!node->m_children.empty())
        RemoveNode(node->m_children.back());
    for (std::size_t i = m_connections.size(); i-- > 0;) {
        if (m_connections[i].fromNode == node || m_connections[i].toNode == node)
            RemoveConnection(i);
    }
    if (m_selection.Contains(node))
        m_selection.Remove({node});
    if (m_journal)
        m_journal->RecordRemoved(*node, IndexAmongSiblings(node));
    Detach(node);
    const quint64 id = node->Id();
    const QString name = node->Name();
    m_byName.Remove(name);
    // From the back: subtrees and whole scenes go newest node first, so this finds it at once
    // (from the front, tearing down 100,000 nodes took seconds).
    const auto rit = std::find_if(m_nodes.rbegin(), m_nodes.rend(),
                                  [node](const auto& owned) { return owned.get() == node; });
    m_nodes.erase(std::next(rit).base());
    m_notifier.NotifyDestroyed(id, name);
    m_notifier.DropNodeCallbacks(id);
    --m_removalDepth;
    return Status::Success;
}

Status Scene::RenameNode(Node* node, const QString& newName, QString* error)
{
    if (!node)
        return Status::NotFound;
    if (newName == node->Name())
        return Status::Success;
    if (!IsValidNodeName(newName)) {
        SetError(error, QStringLiteral("%1 is not a valid node name: use letters, digits, "
                                       "'_' and ':' (and not \"world\").")
                            .arg(Quoted(newName)));
        return Status::InvalidParameter;
    }
    if (m_byName.Find(newName)) {
        SetError(error, QStringLiteral("A node named %1 already exists.").arg(Quoted(newName)));
        return Status::AlreadyExists;
    }
    const QString previous = node->Name();
    m_byName.Remove(previous);
    node->m_name = OwnedCopy(newName);
    m_byName.Insert(node);
    if (m_journal)
        m_journal->RecordRenamed(previous, newName);
    m_notifier.NotifyNameChanged(*node, previous);
    return Status::Success;
}

Status Scene::Reparent(Node* node, Node* newParent, QString* error, int childIndex)
{
    if (!node)
        return Status::NotFound;
    if (!node->IsTransform() || (newParent && !newParent->IsTransform())) {
        SetError(error, QStringLiteral("Only transforms can be parented, and only to transforms."));
        return Status::InvalidParameter;
    }
    for (const Node* ancestor = newParent; ancestor; ancestor = ancestor->Parent()) {
        if (ancestor == node) {
            SetError(error, QStringLiteral("%1 cannot become a child of itself or of its own "
                                           "descendant.")
                                .arg(Quoted(node->Name())));
            return Status::InvalidParameter;
        }
    }
    const QString oldParent = node->m_parent ? node->m_parent->Name() : QString();
    const int oldIndex = IndexAmongSiblings(node);
    // A move to where the node already is changes nothing, so it is no undo step either.
    // (Out-of-range indexes append, as Attach does.)
    const int last = static_cast<int>(SiblingsOf(node->m_parent).size()) - 1;
    const int target = (childIndex < 0 || childIndex > last) ? last : childIndex;
    if (newParent == node->m_parent && target == oldIndex)
        return Status::Success;
    m_notifier.NotifyAboutToReparent(*node, newParent, childIndex);
    Detach(node);
    Attach(node, newParent, childIndex);
    if (m_journal)
        m_journal->RecordReparented(*node, oldParent, oldIndex, IndexAmongSiblings(node));
    m_notifier.NotifyReparented(*node);
    return Status::Success;
}

void Scene::SetTransform(Node* node, const TransformValues& values)
{
    if (!node || !node->IsTransform() || node->m_transform == values)
        return;
    const TransformValues before = node->m_transform;
    node->m_transform = values;
    ++m_transformRevision;
    if (m_journal)
        m_journal->RecordTransform(*node, before);
    m_notifier.NotifyChanged(*node);
}

Status Scene::AddAttribute(Node* node, const QString& name, AttributeType type, QString* error)
{
    if (!node)
        return Status::NotFound;
    if (!IsValidAttributeName(name)) {
        SetError(error, QStringLiteral("%1 is not a valid attribute name.").arg(Quoted(name)));
        return Status::InvalidParameter;
    }
    if (node->FindAttribute(name)) {
        SetError(error, QStringLiteral("%1 already has an attribute %2.")
                            .arg(Quoted(node->Name()), Quoted(name)));
        return Status::AlreadyExists;
    }
    node->m_attributes.push_back({OwnedCopy(name), type, DefaultAttributeValue(type)});
    if (m_journal)
        m_journal->RecordAttributeAdded(*node, node->m_attributes.back());
    m_notifier.NotifyChanged(*node);
    return Status::Success;
}

Status Scene::RemoveAttribute(Node* node, const QString& name, QString* error)
{
    if (!node)
        return Status::NotFound;
    const auto it = std::find_if(node->m_attributes.begin(), node->m_attributes.end(),
                                 [&](const Attribute& a) { return a.name == name; });
    if (it == node->m_attributes.end()) {
        SetError(error,
                 QStringLiteral("%1 has no attribute %2.").arg(Quoted(node->Name()), Quoted(name)));
        return Status::NotFound;
    }
    for (std::size_t i = m_connections.size(); i-- > 0;) {
        const Connection& c = m_connections[i];
        if ((c.fromNode == node && c.fromAttribute == name) ||
            (c.toNode == node && c.toAttribute == name))
            RemoveConnection(i);
    }
    if (m_journal)
        m_journal->RecordAttributeRemoved(*node, *it);
    node->m_attributes.erase(it);
    m_notifier.NotifyChanged(*node);
    return Status::Success;
}

Status Scene::SetAttribute(Node* node, const QString& name, const Value& value, QString* error)
{
    if (!node)
        return Status::NotFound;
    Attribute* attribute = node->FindAttributeForEdit(name);
    if (!attribute) {
        SetError(error,
                 QStringLiteral("%1 has no attribute %2.").arg(Quoted(node->Name()), Quoted(name)));
        return Status::NotFound;
    }
    Value converted;
    if (!ConvertAttributeValue(attribute->type, value, &converted)) {
        SetError(error, attribute->type == AttributeType::Message
                            ? QStringLiteral("%1.%2 is a message attribute and holds no value.")
                                  .arg(node->Name(), name)
                            : QStringLiteral("%1.%2 holds %3 values, not %4.")
                                  .arg(node->Name(), name, AttributeTypeName(attribute->type),
                                       ValueTypeName(value.Type())));
        return Status::InvalidParameter;
    }
    if (attribute->value == converted)
        return Status::Success;
    const Value before = attribute->value;
    attribute->value =
        converted.Type() == ValueType::String ? Value(OwnedCopy(converted.ToString())) : converted;
    if (m_journal)
        m_journal->RecordAttributeSet(*node, name, before, converted);
    m_notifier.NotifyChanged(*node);
    return Status::Success;
}

Status Scene::Connect(Node* fromNode, const QString& fromAttribute, Node* toNode,
                      const QString& toAttribute, QString* error)
{
    if (!fromNode || !toNode)
        return Status::NotFound;
    for (const auto& [node, attribute] :
         {std::make_pair(fromNode, fromAttribute), std::make_pair(toNode, toAttribute)}) {
        if (!node->FindAttribute(attribute)) {
            SetError(error, QStringLiteral("%1 has no attribute %2.")
                                .arg(Quoted(node->Name()), Quoted(attribute)));
            return Status::NotFound;
        }
    }
    if (fromNode == toNode && fromAttribute == toAttribute) {
        SetError(error, QStringLiteral("An attribute cannot be connected to itself."));
        return Status::InvalidParameter;
    }
    if (!ConnectionsTo(toNode, toAttribute).empty()) {
        SetError(error, QStringLiteral("%1.%2 already has an incoming connection.")
                            .arg(toNode->Name(), toAttribute));
        return Status::AlreadyExists;
    }
    m_connections.push_back({fromNode, OwnedCopy(fromAttribute), toNode, OwnedCopy(toAttribute)});
    fromNode->m_outgoing.push_back(m_connections.back());
    if (m_journal)
        m_journal->RecordConnected(m_connections.back());
    m_notifier.NotifyChanged(*toNode);
    return Status::Success;
}

Status Scene::Disconnect(Node* fromNode, const QString& fromAttribute, Node* toNode,
                         const QString& toAttribute, QString* error)
{
    for (std::size_t i = 0; i < m_connections.size(); ++i) {
        const Connection& c = m_connections[i];
        if (c.fromNode == fromNode && c.fromAttribute == fromAttribute && c.toNode == toNode &&
            c.toAttribute == toAttribute)
            return RemoveConnection(i);
    }
    SetError(error, QStringLiteral("%1.%2 is not connected to %3.%4.")
                        .arg(fromNode ? fromNode->Name() : QString(), fromAttribute,
                             toNode ? toNode->Name() : QString(), toAttribute));
    return Status::NotFound;
}

Status Scene::RemoveConnection(std::size_t index)
{
    if (m_journal)
        m_journal->RecordDisconnected(m_connections[index]);
    const Connection& gone = m_connections[index];
    std::vector<Connection>& outgoing = gone.fromNode->m_outgoing;
    const auto mirror =
        std::find_if(outgoing.begin(), outgoing.end(), [&gone](const Connection& c) {
            return c.toNode == gone.toNode && c.fromAttribute == gone.fromAttribute &&
                   c.toAttribute == gone.toAttribute;
        });
    if (mirror != outgoing.end())
        outgoing.erase(mirror);
    Node* const target = gone.toNode;
    m_connections.erase(m_connections.begin() + static_cast<std::ptrdiff_t>(index));
    m_notifier.NotifyChanged(*target);
    return Status::Success;
}

std::vector<Connection> Scene::ConnectionsFrom(const Node* node, const QString& attribute) const
{
    std::vector<Connection> result;
    if (!node)
        return result;
    for (const Connection& c : node->m_outgoing) {
        if (attribute.isEmpty() || c.fromAttribute == attribute)
            result.push_back(c);
    }
    return result;
}

std::vector<Connection> Scene::ConnectionsTo(const Node* node, const QString& attribute) const
{
    std::vector<Connection> result;
    for (const Connection& c : m_connections) {
        if (c.toNode == node && (attribute.isEmpty() || c.toAttribute == attribute))
            result.push_back(c);
    }
    return result;
}

void Scene::Clear()
{
    if (m_removalDepth > 0)
        return;
    while (!m_topLevel.empty())
        RemoveNode(m_topLevel.back());
    // Only character nodes are left.
    while (!m_nodes.empty())
        RemoveNode(m_nodes.back().get());
}

} // namespace kestrel
