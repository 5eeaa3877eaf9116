// The outliner's item model: the live scene hierarchy as a Qt tree model.
#pragma once

#include "scene/scenenotifier.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kestrel {

class Host;
class Node;
class Scene;

// A tree model over the host's scene, not a copy of it: every index carries its Node* and
// every answer is read from the scene when asked. Top-level rows are the transforms and
// joints directly under the root, in scene order, followed by the character nodes in
// creation order; a transform's children are its rows. One column: the node name (editable),
// with an icon and a tool tip telling joint, transform and character node apart.
//
// Scene notifications become row insertions, removals (begun when the top of a removed
// subtree is about to go, ended when it is destroyed), moves and data changes. Tearing the
// whole scene down for a new scene or a file being opened becomes one model reset, so opening
// a large scene costs the model nothing per node; the reset ends as soon as the scene is
// idle again (the next notification or the next turn of the event loop).
//
// The host must outlive the model.
class SceneTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit SceneTreeModel(Host& host, QObject* parent = nullptr);
    ~SceneTreeModel() override;

    // The node behind an index of this model; nullptr for the invisible root.
    Node* NodeAt(const QModelIndex& index) const;
    // The index of a node of the scene; invalid for nullptr or while the model resets.
    QModelIndex IndexOf(const Node* node) const;
    // True while the model is between the begin and the end of a row insertion, removal or
    // move, or of a reset: indexes must not be asked for then. The change ends with the
    // matching rowsInserted, rowsRemoved, rowsMoved or modelReset signal.
    bool IsChanging() const { return m_inserting || m_removing || m_moving || m_resetting; }

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Renames the node through the host's "rename" command, as one undo step. A refused name
    // is reported by the host and changes nothing (false).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    void InstallCallbacks();
    // Begins a reset while the scene is torn down or rebuilt and ends it once the scene is
    // idle. True when the notification is covered by the reset and must be ignored;
    // `beforeChange` tells whether the scene has yet to make the change announced.
    bool CoveredByReset(bool beforeChange);
    void QueueResetEnd();
    void EndReset();
    void ResetIfNeeded();

    void OnNodeAdded(Node& node);
    void OnAboutToRemove(Node& node);
    void OnSubtreeDestroyed();
    void OnAboutToReparent(Node& node, Node* newParent, int newIndex);
    void OnReparented();
    void OnNameChanged(Node& node);

    // Rows under `parent` (nullptr: the top level), hiding the node being inserted.
    int RowCountUnder(const Node* parent) const;
    Node* ChildAt(const Node* parent, int row) const;
    // Row of a node among its parent's rows.
    int RowOf(const Node* node) const;
    int TopLevelTransformCount() const;
    int RawRowAmongSiblings(const Node* node) const;
    QModelIndex ParentIndexOf(const Node* parent) const;

    Host& m_host;
    Scene& m_scene;
    std::vector<CallbackId> m_callbacks;
    CallbackId m_removalCallback = 0; // bound to the node whose removal is in flight
    std::vector<Node*> m_characters;  // creation order; rows after the top-level transforms
    // Sibling index of each transform as last worked out; checked against the sibling list
    // before use, so an out-of-date entry only costs a recount of that list.
    mutable std::unordered_map<const Node*, int> m_rowCache;
    // The node announced by beginInsertRows: the scene already holds it, the model must not
    // show it until endInsertRows.
    const Node* m_inserting = nullptr;
    int m_insertingRow = -1;
    // The top of the subtree whose removal is in flight, and every node of it that the scene
    // has started to remove (its children go before it does).
    const Node* m_removing = nullptr;
    std::unordered_set<const Node*> m_removingSubtree;
    bool m_moving = false;
    bool m_resetting = false;
    bool m_resetEndQueued = false;
    // Set when the scene changed in a way the model could not announce row by row (a change
    // made from inside another change); the model resets once the change in flight ends.
    bool m_needsReset = false;
    QIcon m_jointIcon;
    QIcon m_transformIcon;
    QIcon m_characterIcon;
};

} // namespace kestrel
