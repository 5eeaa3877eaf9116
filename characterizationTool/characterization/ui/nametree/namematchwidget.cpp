#include "namematchwidget.h"

#include "mappingeditmenu.h"

#include "assignwithconfirmation.h"
#include "diagramlayout/nodedisplayname.h"
#include "host/idcchub.h"
#include "loadpixmap.h"
#include "model/characterizationmodel.h"
#include "model/stancereport.h"
#include "namematchtreewidget.h"
#include "property/completerwidget.h"
#include "showcenteredmessagebox.h"

#include <QHash>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kStatusCount = 4;

// Bubble images by status (not set, valid, warning, error); "_Highlight" marks the picked node.
const char* const kBubbleImages[kStatusCount] = {
    "BubbleSmall_Gray",
    "BubbleSmall_Green",
    "BubbleSmall_Orange",
    "BubbleSmall_Red",
};

std::vector<NodeId> NodeRange(NodeId first, NodeId last)
{
    std::vector<NodeId> nodes;
    for (NodeId node = first; node <= last; ++node)
        nodes.push_back(node);
    return nodes;
}

std::vector<NodeId> Concat(std::vector<NodeId> a, const std::vector<NodeId>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Leaf roll nodes limb by limb, arms before legs, each limb from roll 1 to roll 5.
std::vector<NodeId> LeafRollNodesByLimb()
{
    static const int kLimbOrder[kLimbCount] = {4, 5, 6, 7, 0, 1, 2, 3};
    std::vector<NodeId> nodes;
    for (int limb : kLimbOrder) {
        for (int index = 1; index <= kLeafRollsPerLimb; ++index)
            nodes.push_back(LeafRollNode(limb, index));
    }
    return nodes;
}

bool IsInvertible(NodeId node)
{
    return InversionPartOfNode(node) != nullptr;
}

} // namespace

NameMatchWidget::NameMatchWidget(QWidget* parent, IDCCHub* hub, ToolPaths* /*paths*/,
                                 CharacterizationModel* model)
    : QWidget(parent)
    , m_hub(hub)
    , m_model(model)
    , m_layout(new QVBoxLayout(this))
    , m_tree(new NameMatchTreeWidget(this))
{
    for (int status = 0; status < kStatusCount; ++status) {
        const QString base = QString::fromLatin1(kBubbleImages[status]);
        m_bubbleIcons[status] = QIcon(LoadPixmap(base + QStringLiteral(".png")));
        m_bubbleIcons[kStatusCount + status] =
            QIcon(LoadPixmap(base + QStringLiteral("_Highlight.png")));
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->addWidget(m_tree);
    m_tree->setColumnCount(1);
    m_tree->setHeaderHidden(true);
    BuildTree();

    connect(m_model, &CharacterizationModel::ModelChanged, this, &NameMatchWidget::SyncViewOnModel);
    if (m_hub)
        connect(m_hub, &IDCCHub::selectionChanged, this, &NameMatchWidget::OnDccSelect);
    connect(m_model, &CharacterizationModel::EditedPartChanged, this,
            &NameMatchWidget::ChangeEditPart);
    connect(m_tree, &NameMatchTreeWidget::MouseRightClicked, this, &NameMatchWidget::PopMenu);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &NameMatchWidget::UpdateEditedPart);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &NameMatchWidget::SetItemEditable);
}

const QIcon& NameMatchWidget::BubbleIcon(ValidationStatus status, bool highlighted) const
{
    return m_bubbleIcons[(highlighted ? kStatusCount : 0) + int(status)];
}

void NameMatchWidget::BuildTree()
{
    m_rootItem = new QTreeWidgetItem(m_tree, QStringList{tr("Body")});
    m_rootItem->setIcon(0, BubbleIcon(ValidationStatus::NotSet, false));

    QTreeWidgetItem* base = AddGroup(m_rootItem, tr("Base (required)"), NodeRange(1, 15));
    AddGroup(m_rootItem, tr("Auxiliary"), NodeRange(16, 22));
    AddGroup(m_rootItem, tr("Spine"), Concat({8}, NodeRange(23, 31)));
    AddGroup(m_rootItem, tr("Neck"), Concat({20}, NodeRange(32, 40)));

    const std::vector<NodeId> inlineRolls(InlineRollNodes.begin(), InlineRollNodes.end());
    const std::vector<NodeId> leafRolls = LeafRollNodesByLimb();
    // The roll group holds no node items itself; its bubble combines both subgroups.
    const std::size_t rollEntry = m_groupIcons.size();
    m_rollGroupItem = AddGroup(m_rootItem, tr("Roll"), {});
    AddGroup(m_rollGroupItem, tr("In-Line"), inlineRolls);
    AddGroup(m_rollGroupItem, tr("Leaf"), leafRolls);
    m_groupIcons[rollEntry].nodes = Concat(inlineRolls, leafRolls);

    AddGroup(m_rootItem, tr("Special"), {kHipsTranslationNode});
    AddGroup(m_rootItem, tr("Left Hand"), NodeRange(50, 73));
    AddGroup(m_rootItem, tr("Right Hand"), NodeRange(74, 97));
    AddGroup(m_rootItem, tr("Left Foot"), NodeRange(98, 121));
    AddGroup(m_rootItem, tr("Right Foot"), NodeRange(122, 145));
    AddGroup(m_rootItem, tr("Inner Finger"), NodeRange(146, 169));

    m_rootItem->setExpanded(true);
    base->setExpanded(true);
}

QTreeWidgetItem* NameMatchWidget::AddGroup(QTreeWidgetItem* parent, const QString& title,
                                           const std::vector<NodeId>& nodes)
{
    auto* group = new QTreeWidgetItem(parent, QStringList{title});
    group->setIcon(0, BubbleIcon(ValidationStatus::NotSet, false));
    for (NodeId node : nodes) {
        auto* item = new QTreeWidgetItem(group, QStringList{NodeItemText(node)});
        item->setIcon(0, BubbleIcon(ValidationStatus::NotSet, false));
        if (!m_nodeItems.contains(node))
            m_nodeItems.insert(node, item);
        m_itemNodes.insert(item, node);
    }
    m_groupIcons.push_back({group, nodes});
    return group;
}

QString NameMatchWidget::NodeItemText(NodeId node) const
{
    QString joint;
    if (const Characterization* current = m_model->CurrentCharacterization())
        joint = current->JointName(node);
    if (joint.isEmpty())
        joint = tr("Undefined");
    return NodeDisplayName(node) + QStringLiteral(" : <") + joint + QLatin1Char('>');
}

void NameMatchWidget::ShowNodeItem(QTreeWidgetItem* item, NodeId node, bool highlighted)
{
    // Only what changed is written: every write repaints the row, and a sync touches 211 rows.
    const QIcon& icon = BubbleIcon(m_model->NodeValidationOf(node).status, highlighted);
    if (item->icon(0).cacheKey() != icon.cacheKey())
        item->setIcon(0, icon);
    const QString text = NodeItemText(node);
    if (item->text(0) != text)
        item->setText(0, text);
}

void NameMatchWidget::SyncViewOnModel()
{
    // The joints of a pose rule over its limit say by how much, where the user looks.
    QHash<NodeId, QString> stanceTips;
    if (const Characterization* current = m_model->CurrentCharacterization()) {
        const auto& rules = StanceReport::Rules();
        for (const StanceAngle& angle : StanceReport::Measure(*current)) {
            if (angle.degrees <= StanceReport::kLimitDegrees)
                continue;
            for (const StanceReport::Rule& rule : rules) {
                if (angle.rule == QLatin1String(rule.name)) {
                    stanceTips.insert(rule.base, StanceReport::Describe(angle));
                    stanceTips.insert(rule.tip, StanceReport::Describe(angle));
                }
            }
        }
    }
    for (auto it = m_itemNodes.cbegin(); it != m_itemNodes.cend(); ++it) {
        const QString tip = stanceTips.value(it.value());
        if (it.key()->toolTip(0) != tip)
            it.key()->setToolTip(0, tip);
    }
    const int picked = m_model->IsEditedPartReadWrite() ? m_model->EditedPart() : -1;
    for (auto it = m_itemNodes.cbegin(); it != m_itemNodes.cend(); ++it)
        ShowNodeItem(it.key(), it.value(), it.key() == m_editedItem && it.value() == picked);
    for (const GroupIcon& group : m_groupIcons)
        group.item->setIcon(0, BubbleIcon(m_model->CombinedStatus(group.nodes), false));
    // The placeholder stands for no characterization: grey, not in error.
    m_rootItem->setIcon(0,
                        BubbleIcon(IsNoneCharacterization() ? ValidationStatus::NotSet
                                                            : m_model->OverallValidation().status,
                                   false));
}

void NameMatchWidget::ChangeEditPart(int /*oldEditedPartId*/, int newEditedPartId, bool isReadWrite)
{
    // Moving the current row must not feed back into the model through UpdateEditedPart.
    const QSignalBlocker blocker(m_tree);
    if (m_editedItem)
        ShowNodeItem(m_editedItem, m_itemNodes.value(m_editedItem), false);
    if (newEditedPartId == -1) {
        m_editedItem = nullptr;
        m_tree->setCurrentItem(nullptr);
        return;
    }
    QTreeWidgetItem* item = ItemOfNode(newEditedPartId);
    if (!item)
        return;
    // The tree scrolls a new current row into sight, opening its group.
    m_tree->setCurrentItem(item);
    m_editedItem = item;
    ShowNodeItem(item, newEditedPartId, isReadWrite);
}

NodeId NameMatchWidget::CurrentNode() const
{
    return NodeOfItem(m_tree->currentItem());
}

NodeId NameMatchWidget::ActionNode() const
{
    return m_menuItem ? NodeOfItem(m_menuItem) : CurrentNode();
}

bool NameMatchWidget::IsNoneCharacterization() const
{
    return MappingEditMenu::IsPlaceholder(m_hub, *m_model);
}

bool NameMatchWidget::IsEditable() const
{
    return !m_model->IsLocked() && !IsNoneCharacterization();
}

void NameMatchWidget::SelectAssignedJoint(NodeId node)
{
    if (m_hub && m_model->NodeValidationOf(node).status != ValidationStatus::NotSet)
        m_hub->SelectNode(m_model->JointOfNode(node));
}

void NameMatchWidget::UpdateEditedPart(QTreeWidgetItem* current, QTreeWidgetItem* /*previous*/)
{
    const NodeId node = NodeOfItem(current);
    if (node == -1)
        return;
    SelectAssignedJoint(node);
    m_model->SetEditedPart(node, false);
}

void NameMatchWidget::SetItemEditable(QTreeWidgetItem* item, int /*column*/)
{
    if (!MappingEditMenu::MayEdit(this, m_hub, *m_model,
                                  tr("You must new create a characterization before you can "
                                     "edit its bone mappings.")))
        return;
    const NodeId node = NodeOfItem(item);
    if (node != -1)
        m_model->SetEditedPart(node, true);
}

void NameMatchWidget::OnDccSelect()
{
    if (!m_hub || !isVisible() || !m_model->IsEditedPartReadWrite() || m_model->IsLocked())
        return;
    const QStringList selected = m_hub->GetSelectedTransforms();
    const NodeId node = CurrentNode();
    if (selected.size() == 1 && node != -1)
        AssignWithConfirmation(this, *m_model, node, selected.first());
}

void NameMatchWidget::PopMenu(QMouseEvent* event)
{
    QTreeWidgetItem* row = m_tree->itemAt(event->pos());
    if (!row)
        return;
    MappingEditMenu::State state;
    state.editable = IsEditable();
    state.onSlot = row->childCount() == 0;
    state.clearable = true; // group rows too
    state.hasSelection = m_hub && !m_hub->GetSelectedTransforms().isEmpty();
    state.invertible = IsInvertible(NodeOfItem(row));
    MappingEditMenu::Actions actions;
    actions.assign = [this] { AssignSelection(); };
    actions.change = [this] { ShowAutoCompletion(); };
    actions.autoCharacterize = [this] { emit AutoCharacterizeRequested(); };
    actions.fixStance = [this] { emit FixStanceRequested(); };
    actions.clear = [this] { ClearSelectedPart(); };
    actions.clearAll = [this] { ClearAllParts(); };
    actions.invert = [this] { InvertJoint(); };
    actions.otherView = [this] { SwitchToCharacterView(); };
    actions.otherViewTitle = tr("Character View");
    m_menuItem = row;
    const QPointer<NameMatchWidget> self(this);
    MappingEditMenu::Exec(this, state, actions, event->globalPos());
    if (self)
        m_menuItem = nullptr;
}

void NameMatchWidget::AssignSelection()
{
    const NodeId node = ActionNode();
    if (node == -1)
        return;
    // Picking the node makes its row current without touching the host's selection, which is
    // what gets bound.
    m_model->SetEditedPart(node, true);
    OnDccSelect();
    m_model->SetEditedPart(node, false);
}

void NameMatchWidget::ShowAutoCompletion()
{
    const NodeId node = ActionNode();
    if (node == -1)
        return;
    QStringList names;
    if (m_hub)
        m_hub->GetAllTransforms(names);
    const QRect row = m_tree->visualItemRect(m_menuItem ? m_menuItem : m_tree->currentItem());
    QString text;
    if (!CompleterWidget::Choose(this, names, m_model->JointOfNode(node),
                                 m_tree->viewport()->mapToGlobal(row.topLeft()), text))
        return;
    // A name the scene does not know would bind a joint that can never be sampled.
    if (text.isEmpty() || (m_hub && !m_hub->IsTransform(text)))
        return;
    AssignWithConfirmation(this, *m_model, node, text);
}

void NameMatchWidget::ClearSelectedPart()
{
    const NodeId node = ActionNode();
    if (!m_model->IsLocked() && node != -1)
        m_model->ClearNode(node);
}

void NameMatchWidget::ClearAllParts()
{
    if (!m_model->IsLocked())
        m_model->ClearAll();
}

void NameMatchWidget::InvertJoint()
{
    if (!m_model->IsLocked())
        m_model->ToggleInversion(ActionNode());
}

void NameMatchWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A row made current while the page was hidden was scrolled to in a viewport of no size;
    // once laid out, the current row is brought into sight.
    QTimer::singleShot(0, this, [this] {
        if (QTreeWidgetItem* current = m_tree->currentItem())
            m_tree->scrollToItem(current, QAbstractItemView::PositionAtCenter);
    });
}

void NameMatchWidget::SwitchToCharacterView()
{
    emit CharacterViewRequested();
}
