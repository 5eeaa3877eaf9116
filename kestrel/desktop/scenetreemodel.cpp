#include "desktop/scenetreemodel.h"

#include "desktop/nodeicons.h"
#include "host.h"
#include "scene/scene.h"
#include "script/scriptlexer.h"

#include <QTimer>

#include <algorithm>

namespace kestrel {

namespace {

// How long a reset waits before it looks again whether the scene teardown has finished, when
// the event loop turned while it was still going on (a dialog opened by a teardown callback).
constexpr int kResetRetryMs = 10;

const std::vector<Node*>& SiblingsOf(const Scene& scene, const Node* parent)
{
    return parent ? parent->Children() : scene.TopLevelNodes();
}

} // namespace

SceneTreeModel::SceneTreeModel(Host& host, QObject* parent)
    : QAbstractItemModel(parent)
    , m_host(host)
    , m_scene(host.GetScene())
    , m_jointIcon(NodeIcons::Joint())
    , m_transformIcon(NodeIcons::Transform())
    , m_characterIcon(NodeIcons::Character())
{
    for (Node* node : m_scene.Nodes()) {
        if (!node->IsTransform())
            m_characters.push_back(node);
    }
    InstallCallbacks();
}

SceneTreeModel::~SceneTreeModel()
{
    for (CallbackId id : m_callbacks)
        m_scene.GetNotifier().RemoveCallback(id);
    if (m_removalCallback)
        m_scene.GetNotifier().RemoveCallback(m_removalCallback);
}

void SceneTreeModel::InstallCallbacks()
{
    SceneNotifier& notifier = m_scene.GetNotifier();
    m_callbacks.push_back(notifier.AddNodeAddedCallback([this](Node& node) { OnNodeAdded(node); }));
    m_callbacks.push_back(
        notifier.AddAboutToRemoveCallback(nullptr, [this](Node& node) { OnAboutToRemove(node); }));
    m_callbacks.push_back(notifier.AddAboutToReparentCallback(
        nullptr, [this](Node& node, Node* newParent, int newIndex) {
            OnAboutToReparent(node, newParent, newIndex);
        }));
    m_callbacks.push_back(
        notifier.AddReparentedCallback(nullptr, [this](Node&) { OnReparented(); }));
    m_callbacks.push_back(notifier.AddNameChangedCallback(
        nullptr, [this](Node& node, const QString&) { OnNameChanged(node); }));
}

// --- following the scene

bool SceneTreeModel::CoveredByReset(bool beforeChange)
{
    if (m_scene.IsOpeningFile() || m_scene.IsCreatingNewScene()) {
        if (!m_resetting) {
            beginResetModel();
            m_resetting = true;
        }
        QueueResetEnd();
        return true;
    }
    if (!m_resetting)
        return false;
    // The teardown is over: the reset shows the scene as it is now, before this change.
    EndReset();
    return !beforeChange;
}

void SceneTreeModel::QueueResetEnd()
{
    if (m_resetEndQueued)
        return;
    m_resetEndQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_resetEndQueued = false;
        if (!m_resetting)
            return;
        if (m_scene.IsOpeningFile() || m_scene.IsCreatingNewScene()) {
            m_resetEndQueued = true;
            QTimer::singleShot(kResetRetryMs, this, [this] {
                m_resetEndQueued = false;
                QueueResetEnd();
            });
            return;
        }
        EndReset();
    });
}

void SceneTreeModel::EndReset()
{
    m_rowCache.clear();
    m_resetting = false;
    m_needsReset = false;
    endResetModel();
}

void SceneTreeModel::ResetIfNeeded()
{
    if (!m_needsReset)
        return;
    m_needsReset = false;
    m_rowCache.clear();
    beginResetModel();
    endResetModel();
}

void SceneTreeModel::OnNodeAdded(Node& node)
{
    if (CoveredByReset(false)) {
        if (!node.IsTransform())
            m_characters.push_back(&node);
        return;
    }
    if (IsChanging()) {
        // Made by another listener in the middle of a change: announced by a reset after it.
        if (!node.IsTransform())
            m_characters.push_back(&node);
        m_needsReset = true;
        return;
    }
    if (!node.IsTransform()) {
        const int row = rowCount();
        beginInsertRows(QModelIndex(), row, row);
        m_characters.push_back(&node);
        endInsertRows();
        return;
    }
    // The scene holds the node already; hide it while the views hear about the insertion.
    const QModelIndex parentIndex = ParentIndexOf(node.Parent());
    m_insertingRow = RawRowAmongSiblings(&node);
    m_inserting = &node;
    beginInsertRows(parentIndex, m_insertingRow, m_insertingRow);
    m_inserting = nullptr;
    m_insertingRow = -1;
    endInsertRows();
}

void SceneTreeModel::OnAboutToRemove(Node& node)
{
    m_rowCache.erase(&node);
    if (CoveredByReset(true)) {
        if (!node.IsTransform())
            m_characters.erase(std::remove(m_characters.begin(), m_characters.end(), &node),
                               m_characters.end());
        return;
    }
    // The scene removes the subtree's children before the node itself.
    if (m_removing && node.Parent() && m_removingSubtree.count(node.Parent())) {
        m_removingSubtree.insert(&node);
        return;
    }
    if (IsChanging()) {
        // Removed by another listener in the middle of a change: announced by a reset after it.
        m_characters.erase(std::remove(m_characters.begin(), m_characters.end(), &node),
                           m_characters.end());
        m_needsReset = true;
        return;
    }
    const int row = RowOf(&node);
    beginRemoveRows(ParentIndexOf(node.Parent()), row, row);
    m_removing = &node;
    m_removingSubtree.insert(&node);
    // Bound to the node: runs once, when the node itself is gone, after its whole subtree.
    m_removalCallback = m_scene.GetNotifier().AddDestroyedCallback(
        &node, [this](const QString&) { OnSubtreeDestroyed(); });
}

void SceneTreeModel::OnSubtreeDestroyed()
{
    if (!m_removing)
        return;
    m_characters.erase(std::remove(m_characters.begin(), m_characters.end(), m_removing),
                       m_characters.end());
    for (const Node* gone : m_removingSubtree)
        m_rowCache.erase(gone);
    m_removingSubtree.clear();
    m_removing = nullptr;
    m_removalCallback = 0;
    endRemoveRows();
    ResetIfNeeded();
}

void SceneTreeModel::OnAboutToReparent(Node& node, Node* newParent, int newIndex)
{
    if (CoveredByReset(true))
        return;
    if (IsChanging()) {
        m_needsReset = true;
        return;
    }
    // Where the scene puts the node once it has left its old place, as a row of the
    // destination before the move (which is what beginMoveRows counts in).
    const bool sameParent = node.Parent() == newParent;
    const int oldRow = RowOf(&node);
    const int remaining =
        static_cast<int>(SiblingsOf(m_scene, newParent).size()) - (sameParent ? 1 : 0);
    const int placed = (newIndex < 0 || newIndex > remaining) ? remaining : newIndex;
    const int destination = (sameParent && placed >= oldRow) ? placed + 1 : placed;
    // False for a move that leaves the order as it is: then there is nothing to announce.
    m_moving = beginMoveRows(ParentIndexOf(node.Parent()), oldRow, oldRow, ParentIndexOf(newParent),
                             destination);
}

void SceneTreeModel::OnReparented()
{
    if (CoveredByReset(false) || !m_moving)
        return;
    m_moving = false;
    endMoveRows();
    ResetIfNeeded();
}

void SceneTreeModel::OnNameChanged(Node& node)
{
    if (CoveredByReset(false))
        return;
    if (IsChanging()) {
        m_needsReset = true;
        return;
    }
    const QModelIndex changed = IndexOf(&node);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
}

// --- rows

int SceneTreeModel::TopLevelTransformCount() const
{
    const int count = static_cast<int>(m_scene.TopLevelNodes().size());
    return (m_inserting && !m_inserting->Parent()) ? count - 1 : count;
}

int SceneTreeModel::RowCountUnder(const Node* parent) const
{
    if (!parent)
        return TopLevelTransformCount() + static_cast<int>(m_characters.size());
    const int count = static_cast<int>(parent->Children().size());
    return (m_inserting && m_inserting->Parent() == parent) ? count - 1 : count;
}

Node* SceneTreeModel::ChildAt(const Node* parent, int row) const
{
    if (!parent && row >= TopLevelTransformCount())
        return m_characters.at(static_cast<std::size_t>(row - TopLevelTransformCount()));
    const std::vector<Node*>& siblings = SiblingsOf(m_scene, parent);
    const bool skip = m_inserting && m_inserting->Parent() == parent && row >= m_insertingRow;
    return siblings.at(static_cast<std::size_t>(skip ? row + 1 : row));
}

int SceneTreeModel::RawRowAmongSiblings(const Node* node) const
{
    const std::vector<Node*>& siblings = SiblingsOf(m_scene, node->Parent());
    if (!siblings.empty() && siblings.back() == node)
        return static_cast<int>(siblings.size()) - 1; // new nodes come last, mostly
    const auto cached = m_rowCache.find(node);
    if (cached != m_rowCache.end() && cached->second < static_cast<int>(siblings.size()) &&
        siblings[static_cast<std::size_t>(cached->second)] == node)
        return cached->second;
    // Count the whole sibling list at once: the views usually ask for its neighbours next.
    int found = -1;
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        m_rowCache[siblings[i]] = static_cast<int>(i);
        if (siblings[i] == node)
            found = static_cast<int>(i);
    }
    Q_ASSERT(found >= 0);
    return found;
}

int SceneTreeModel::RowOf(const Node* node) const
{
    if (!node->IsTransform()) {
        const auto it = std::find(m_characters.begin(), m_characters.end(), node);
        return TopLevelTransformCount() + static_cast<int>(it - m_characters.begin());
    }
    const int row = RawRowAmongSiblings(node);
    const bool afterHidden =
        m_inserting && m_inserting->Parent() == node->Parent() && row > m_insertingRow;
    return afterHidden ? row - 1 : row;
}

QModelIndex SceneTreeModel::ParentIndexOf(const Node* parent) const
{
    return parent ? createIndex(RowOf(parent), 0, const_cast<Node*>(parent)) : QModelIndex();
}

// --- QAbstractItemModel

Node* SceneTreeModel::NodeAt(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex SceneTreeModel::IndexOf(const Node* node) const
{
    if (!node || m_resetting)
        return QModelIndex();
    return createIndex(RowOf(node), 0, const_cast<Node*>(node));
}

QModelIndex SceneTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* parentNode = NodeAt(parent);
    if (column != 0 || row < 0 || (parentNode && !parentNode->IsTransform()) ||
        row >= RowCountUnder(parentNode))
        return QModelIndex();
    return createIndex(row, 0, ChildAt(parentNode, row));
}

QModelIndex SceneTreeModel::parent(const QModelIndex& child) const
{
    const Node* node = NodeAt(child);
    return node ? ParentIndexOf(node->Parent()) : QModelIndex();
}

int SceneTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const Node* node = NodeAt(parent);
    if (node && !node->IsTransform())
        return 0;
    return RowCountUnder(node);
}

int SceneTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool SceneTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant SceneTreeModel::data(const QModelIndex& index, int role) const
{
    const Node* node = NodeAt(index);
    if (!node)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node->Name();
    case Qt::ToolTipRole:
        return QStringLiteral("%1 (%2)").arg(node->Name(), NodeTypeName(node->Type()));
    case Qt::DecorationRole:
        return node->IsJoint() ? m_jointIcon
                               : (node->IsTransform() ? m_transformIcon : m_characterIcon);
    default:
        return QVariant();
    }
}

QVariant SceneTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return tr("Name");
    return QVariant();
}

Qt::ItemFlags SceneTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool SceneTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const Node* node = NodeAt(index);
    if (!node || role != Qt::EditRole)
        return false;
    const QString newName = value.toString().trimmed();
    if (newName == node->Name())
        return true;
    ExecuteOptions options;
    options.undoable = true;
    const QString script = QStringLiteral("rename %1 %2")
                               .arg(ScriptLexer::Quote(node->Name()), ScriptLexer::Quote(newName));
    return m_host.GetInterpreter().Execute(script, options).status == Status::Success;
}

} // namespace kestrel
