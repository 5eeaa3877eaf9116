// The node list of the "Name Match" page: every solver slot in a tree of groups, with its
// status bubble and bound joint, and the same editing actions as the body diagram.
#pragma once

#include "model/nodecatalogue.h"
#include "model/validationresult.h"

#include <QIcon>
#include <QMap>
#include <QWidget>

#include <array>
#include <vector>

class CharacterizationModel;
class IDCCHub;
class NameMatchTreeWidget;
class QMouseEvent;
class QShowEvent;
class QTreeWidgetItem;
class QVBoxLayout;
class ToolPaths;

// The tree is built once: a "Body" root with the groups "Base (required)", "Auxiliary",
// "Spine", "Neck", "Roll" (subgroups "In-Line" and "Leaf"), "Special", the hands, the feet and
// "Inner Finger". Nodes 8 and 20 have an item in two groups; nodes 0, 170 and 171 have none.
// Node items read "<display name> : <joint>" ("<Undefined>" when unbound) and carry the node's
// status bubble; group items carry the combined status of their nodes, the root the overall
// status.
//
// The widget keeps no characterization state: it redraws on ModelChanged(), follows the
// edited node on EditedPartChanged, and changes things only through the model and
// AssignWithConfirmation; what belongs to the panel around it (auto-characterize, the stance
// fix, the other page) it asks for with a signal. Hub (may be null) and model are not owned and
// must outlive the widget. The bubble images are compiled in; `paths` is not needed for them.
class NameMatchWidget : public QWidget
{
    Q_OBJECT

public:
    NameMatchWidget(QWidget* parent, IDCCHub* hub, ToolPaths* paths, CharacterizationModel* model);

    NameMatchTreeWidget* Tree() const { return m_tree; }
    QTreeWidgetItem* RootItem() const { return m_rootItem; }
    // The first item of `node` (for 8 and 20 the one under "Base (required)" or "Auxiliary");
    // null for nodes without an item.
    QTreeWidgetItem* ItemOfNode(NodeId node) const { return m_nodeItems.value(node, nullptr); }
    // The node of a node item, -1 for group items and null.
    NodeId NodeOfItem(QTreeWidgetItem* item) const { return m_itemNodes.value(item, -1); }
    // The bubble shown for a status, normal or highlighted (edited read-write).
    const QIcon& BubbleIcon(ValidationStatus status, bool highlighted) const;

signals:
    // The context menu's entries that the panel carries out.
    void AutoCharacterizeRequested();
    void FixStanceRequested();
    void CharacterViewRequested();

public slots:
    // Icons and texts from the model's current characterization and validation.
    void SyncViewOnModel();
    // Assigns the host's one selected transform to the picked (read-write) node; only while
    // visible and unlocked.
    void OnDccSelect();
    // Clears every node of the current characterization, unless locked.
    void ClearAllParts();
    // Clears the node of the row the menu was opened on (else the current row's), unless locked.
    void ClearSelectedPart();
    // Marks the item of `newEditedPartId` as current (highlighted when read-write) without
    // feeding it back to the model.
    void ChangeEditPart(int oldEditedPartId, int newEditedPartId, bool isReadWrite);

protected:
    // Brings the current row into sight once the page is laid out.
    void showEvent(QShowEvent* event) override;

private slots:
    void PopMenu(QMouseEvent* event);
    void UpdateEditedPart(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void ShowAutoCompletion();
    void SetItemEditable(QTreeWidgetItem* item, int column);
    void AssignSelection();
    void InvertJoint();
    void SwitchToCharacterView();

private:
    // A group item and the nodes whose statuses it combines.
    struct GroupIcon
    {
        QTreeWidgetItem* item;
        std::vector<NodeId> nodes;
    };

    void BuildTree();
    QTreeWidgetItem* AddGroup(QTreeWidgetItem* parent, const QString& title,
                              const std::vector<NodeId>& nodes);
    void ShowNodeItem(QTreeWidgetItem* item, NodeId node, bool highlighted);
    QString NodeItemText(NodeId node) const;
    NodeId CurrentNode() const;
    // The node the menu's actions work on: the row under the right click while the menu runs,
    // else the current row's.
    NodeId ActionNode() const;
    bool IsNoneCharacterization() const;
    bool IsEditable() const;
    void SelectAssignedJoint(NodeId node);

    IDCCHub* m_hub;
    CharacterizationModel* m_model;
    // Normal icons by status, then highlighted icons by status.
    std::array<QIcon, 8> m_bubbleIcons;
    QVBoxLayout* m_layout;
    NameMatchTreeWidget* m_tree;
    QTreeWidgetItem* m_rootItem = nullptr;
    QTreeWidgetItem* m_rollGroupItem = nullptr;
    QMap<int, QTreeWidgetItem*> m_nodeItems;
    QMap<QTreeWidgetItem*, int> m_itemNodes;
    QTreeWidgetItem* m_editedItem = nullptr;
    QTreeWidgetItem* m_menuItem = nullptr; // only while the context menu runs
    std::vector<GroupIcon> m_groupIcons;   // every group item but the root
};
