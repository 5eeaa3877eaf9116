#include "diagramwidget.h"

#include "mappingeditmenu.h"

#include "assignwithconfirmation.h"
#include "diagramlayout.h"
#include "host/idcchub.h"
#include "hoveradapter.h"
#include "inversionitem.h"
#include "loadpixmap.h"
#include "model/characterizationmodel.h"
#include "model/nodecatalogue.h"
#include "nodedisplayname.h"
#include "partitem.h"
#include "property/completerwidget.h"
#include "showcenteredmessagebox.h"
#include "solver/nodenames.h"

#include <QFont>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>

namespace {

// Scene position of the overall validation light, on every page.
constexpr int kStatusX = 205;
constexpr int kStatusY = 11;
constexpr qreal kStatusZ = 10;
// Page titles: light text on the dark page, level with the return arrow.
const QColor kTitleColour(232, 232, 232);
constexpr int kTitleY = 9;
constexpr int kTitleMargin = 4;
const QColor kTitlePlate(40, 40, 40, 215);
// Pages 9-16 each show the leaf roll nodes of one limb segment.
constexpr int kFirstRollPage = 9;
// Leaf roll nodes 172-179 are roll 1 of their limb, the part that also stands for the limb's
// in-line roll node.
constexpr NodeId kLastFirstLeafRollNode = kFirstLeafRollNode + kLimbCount - 1;

bool IsFirstLeafRollNode(int node)
{
    return node >= kFirstLeafRollNode && node <= kLastFirstLeafRollNode;
}

int StateOf(ValidationStatus status)
{
    return int(status);
}

} // namespace

DiagramWidget::DiagramWidget(QWidget* parent, ToolPaths* paths, IDCCHub* hub,
                             CharacterizationModel* model)
    : QGraphicsView(parent)
    , m_paths(paths)
    , m_hub(hub)
    , m_model(model)
{
    setInteractive(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Without a frame the whole 250 x 380 page fits the minimum size.
    setFrameShape(QFrame::NoFrame);
    // Page pixels are widget pixels: the layout's positions address the parts directly.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    BuildScene();
    if (m_hub)
        connect(m_hub, &IDCCHub::selectionChanged, this, qOverload<>(&DiagramWidget::OnDccSelect));
    connect(m_model, &CharacterizationModel::ModelChanged, this, &DiagramWidget::SyncViewOnModel);
    connect(m_model, &CharacterizationModel::EditedPartChanged, this,
            &DiagramWidget::ChangeEditPart);
    for (NodeId id = 0; id < NodeCount; ++id) {
        const QString name = QString::fromLatin1(kinetra::NodeName(id));
        if (name.contains(QLatin1String("Right")))
            m_sideMap[id] = true;
        else if (name.contains(QLatin1String("Left")))
            m_sideMap[id] = false;
    }
}

DiagramWidget::~DiagramWidget() = default;

void DiagramWidget::BuildScene()
{
    m_pages.clear();
    m_editedItem = nullptr;
    m_statusItem = nullptr;
    delete m_scene;
    m_scene = new QGraphicsScene(this);
    setScene(m_scene);

    const DiagramLayout& layout = DiagramLayout::Instance();
    m_statusItem =
        new PartItem(layout.statusElement, tr("Validation status"), layout.stateRepresentation);
    m_statusItem->setFlag(QGraphicsItem::ItemIsSelectable, false);
    m_statusItem->setZValue(kStatusZ);
    m_statusItem->setPos(kStatusX, kStatusY);
    m_scene->addItem(m_statusItem);

    delete m_hoverAdapter;
    m_hoverAdapter = new HoverAdapter(this);
    connect(m_hoverAdapter, &HoverAdapter::Hover, this, &DiagramWidget::ShowInvertItems);

    m_pages.resize(layout.views.size());
    for (int index = 0; index < layout.views.size(); ++index)
        BuildPage(index);
    // The scene keeps the page size whichever page is shown, so pages do not shift.
    m_scene->setSceneRect(0, 0, DiagramLayout::kBackgroundWidth, DiagramLayout::kBackgroundHeight);
    m_currentPage = 0;
    ShowView(0);
    setFixedSize(m_pages.front().background->pixmap().size());
}

void DiagramWidget::BuildPage(int index)
{
    const DiagramLayout& layout = DiagramLayout::Instance();
    const DiagramView& view = layout.views.at(index);
    DiagramPage& page = m_pages[index];
    page.red = view.red;
    page.green = view.green;
    page.blue = view.blue;
    // Decoding all seventeen backgrounds is most of the cost of opening a panel, and most
    // pages are never visited: each is loaded when it is first shown.
    page.backgroundImage = view.backgroundImage;
    page.background = new QGraphicsPixmapItem;
    page.background->setPos(view.backgroundX, view.backgroundY);
    page.background->hide();
    m_scene->addItem(page.background);
    // Children are placed relative to the background, which sits at its offset: element
    // positions are page pixels.
    const auto makeItem = [&](const DiagramElement& element, const QString& label) {
        auto* item = new PartItem(element, label, layout.stateRepresentation, page.background);
        item->setPos(element.x, element.y);
        return item;
    };
    if (!view.title.isEmpty()) {
        // On a dark plate: the limb drawn below the title is light.
        auto* plate = new QGraphicsRectItem(page.background);
        plate->setPen(Qt::NoPen);
        plate->setBrush(kTitlePlate);
        page.title = new QGraphicsSimpleTextItem(view.title, plate);
        QFont font = page.title->font();
        font.setBold(true);
        page.title->setFont(font);
        page.title->setBrush(kTitleColour);
        // Centred between the return arrow and the status light.
        const QRectF text = page.title->boundingRect();
        plate->setRect(text.adjusted(-kTitleMargin, -1, kTitleMargin, 1));
        plate->setPos((DiagramLayout::kBackgroundWidth - text.width()) / 2, kTitleY);
    }
    for (const DiagramElement& element : view.parts) {
        const QString label = element.node != -1
                                  ? QString::fromLatin1(kinetra::NodeName(element.node))
                                  : element.label;
        page.parts.append(makeItem(element, label));
    }
    for (const DiagramElement& element : view.arrows)
        page.arrows.insert(makeItem(element, element.tooltip), element.targetView);
    for (const InversionElement& element : view.inversions) {
        auto* item = new InversionItem(element, page.background);
        item->setPos(element.x, element.y);
        item->hide();
        page.inversions.append(item);
        for (PartItem* part : qAsConst(page.parts)) {
            if (part->Node() == element.node)
                part->SetHoverAdapter(m_hoverAdapter);
        }
    }
}

void DiagramWidget::ShowView(int index)
{
    if (index < 0 || index >= int(m_pages.size()))
        return;
    // Part and arrow items are children of the background, so hiding or showing it is enough;
    // inversion items stay hidden because only hovering and editing show them.
    DiagramPage& old = m_pages[m_currentPage];
    old.background->hide();
    DiagramPage& page = m_pages[index];
    // A brush, not a style sheet: a sheet would pass the page colour on to every tooltip,
    // message box and chooser opened over the diagram.
    setBackgroundBrush(QColor(page.red, page.green, page.blue));
    m_currentPage = index;
    if (page.background->pixmap().isNull())
        page.background->setPixmap(LoadPixmap(page.backgroundImage));
    page.background->show();
}

namespace {

// The first item of `list` for `node`: on the current page, else on the pages in order.
template <typename Item>
Item* FindItemOfNode(const std::vector<DiagramPage>& pages, int currentPage, int node,
                     QVector<Item*> DiagramPage::*list)
{
    const auto find = [node, list](const DiagramPage& page) -> Item* {
        for (Item* item : page.*list) {
            if (item->Node() == node)
                return item;
        }
        return nullptr;
    };
    if (Item* item = find(pages[currentPage]))
        return item;
    for (const DiagramPage& page : pages) {
        if (Item* item = find(page))
            return item;
    }
    return nullptr;
}

} // namespace

PartItem* DiagramWidget::FindPartItem(int node) const
{
    return FindItemOfNode(m_pages, m_currentPage, node, &DiagramPage::parts);
}

InversionItem* DiagramWidget::FindInversionItem(int node) const
{
    return FindItemOfNode(m_pages, m_currentPage, node, &DiagramPage::inversions);
}

PartItem* DiagramWidget::ItemAt(const QPoint& viewPosition) const
{
    // The pixel's centre, tested against each item's drawn shape (PartItem::contains), topmost
    // first: image rectangles overlap, drawings do not.
    const QPointF scenePoint = mapToScene(viewPosition) + QPointF(0.5, 0.5);
    for (QGraphicsItem* item : m_scene->items(scenePoint, Qt::IntersectsItemShape,
                                              Qt::DescendingOrder, viewportTransform())) {
        auto* part = qgraphicsitem_cast<PartItem*>(item);
        if (part && part->isVisible())
            return part;
    }
    return nullptr;
}

void DiagramWidget::SyncViewOnModel()
{
    for (const DiagramPage& page : m_pages) {
        for (PartItem* item : page.parts)
            UpdatePart(item);
    }
    const DiagramPage& fullBody = m_pages.front();
    for (auto it = fullBody.arrows.cbegin(); it != fullBody.arrows.cend(); ++it)
        UpdateArrow(it.key(), it.value());
    UpdateStatusItem();
    UpdateInversionItems();
}

void DiagramWidget::UpdatePart(PartItem* item)
{
    NodeId node = item->Node();
    if (node < 0)
        return;
    if (IsFirstLeafRollNode(node)) {
        // Roll 1 of a limb also stands for the limb's in-line roll node, which has no part.
        const NodeId inlineNode = m_model->InlineRollNodeOf(node);
        const ValidationStatus inlineStatus = m_model->NodeValidationOf(inlineNode).status;
        if (inlineStatus == ValidationStatus::Error &&
            m_model->NodeValidationOf(node).status == ValidationStatus::Error) {
            item->SetLabel(QString());
            item->SetStatus(StateOf(ValidationStatus::Error),
                            tr("Mixing In-Line and Leaf roll bone is not allowed"));
            return;
        }
        if (inlineStatus != ValidationStatus::NotSet)
            node = inlineNode;
    }
    const NodeValidation& validation = m_model->NodeValidationOf(node);
    QString label = NodeDisplayName(node);
    const QString joint = m_model->JointOfNode(node);
    if (!joint.isEmpty())
        label += QStringLiteral(" - ") + joint;
    item->SetLabel(label);
    item->SetStatus(StateOf(validation.status), validation.status == ValidationStatus::Error
                                                    ? QString::fromStdString(validation.message)
                                                    : QString());
}

void DiagramWidget::UpdateArrow(PartItem* arrow, int targetPage)
{
    // A full-body arrow sums up its detail page: the parts of the arrow's side, or all of them
    // for centre arrows.
    const auto side = m_sideMap.find(arrow->Node());
    std::vector<NodeId> nodes;
    for (const PartItem* part : qAsConst(m_pages.at(targetPage).parts)) {
        if (side != m_sideMap.end()) {
            const auto partSide = m_sideMap.find(part->Node());
            if (partSide == m_sideMap.end() || partSide->second != side->second)
                continue;
        }
        nodes.push_back(part->Node());
    }
    ValidationStatus status = m_model->CombinedStatus(nodes);
    if (targetPage >= kFirstRollPage && !nodes.empty()) {
        // A roll page's in-line roll node has no part there but decides the page's status
        // whenever it is in use.
        const ValidationStatus inlineStatus =
            m_model->NodeValidationOf(m_model->InlineRollNodeOf(nodes.front())).status;
        if (!(status == ValidationStatus::Error && inlineStatus == ValidationStatus::Error) &&
            inlineStatus != ValidationStatus::NotSet)
            status = inlineStatus;
    }
    arrow->SetStatus(StateOf(status), QString());
}

void DiagramWidget::UpdateStatusItem()
{
    // The placeholder stands for no characterization: nothing is wrong with it, there is
    // nothing yet.
    if (IsNoneCharacterization()) {
        m_statusItem->SetStatus(StateOf(ValidationStatus::NotSet), tr("No characterization yet"));
        return;
    }
    const NodeValidation& overall = m_model->OverallValidation();
    const bool withMessage =
        overall.status == ValidationStatus::Warning || overall.status == ValidationStatus::Error;
    m_statusItem->SetStatus(StateOf(overall.status),
                            withMessage ? QString::fromStdString(overall.message) : QString());
}

void DiagramWidget::UpdateInversionItems()
{
    const Characterization* current = m_model->CurrentCharacterization();
    for (InversionItem* item : qAsConst(m_pages.front().inversions)) {
        const InversionPart* part = InversionPartOfNode(item->Node());
        const bool inverted =
            current && part &&
            kinetra::GetInversionFlag(current->InversionFlags(), part->FlagIndex) != 0;
        // The marker offers the other bend: the normal image while the joint is inverted.
        if (inverted)
            item->ShowNormal();
        else
            item->ShowInverted();
    }
}

void DiagramWidget::ChangeEditPart(int oldEditedPartId, int newEditedPartId, bool isReadWrite)
{
    if (PartItem* old = FindPartItem(oldEditedPartId))
        old->SetInteraction(StateRepresentation::kNoInteraction);
    if (InversionItem* marker = FindInversionItem(oldEditedPartId))
        marker->hide();
    m_editedItem = FindPartItem(newEditedPartId);
    if (!m_editedItem) {
        UpdateFading(false);
        return;
    }
    if (!m_pages[m_currentPage].parts.contains(m_editedItem)) {
        for (int index = 0; index < int(m_pages.size()); ++index) {
            if (m_pages[index].parts.contains(m_editedItem)) {
                ShowView(index);
                break;
            }
        }
    }
    m_editedItem->SetInteraction(isReadWrite ? StateRepresentation::kPicked
                                             : StateRepresentation::kSelected);
    UpdateFading(isReadWrite);
    if (InversionItem* marker = FindInversionItem(newEditedPartId))
        marker->show();
}

void DiagramWidget::UpdateFading(bool readWrite)
{
    const QVector<PartItem*>& parts = m_pages[m_currentPage].parts;
    if (!readWrite) {
        for (PartItem* item : parts)
            item->SetFaded(false);
        return;
    }
    const auto picked = std::find_if(parts.begin(), parts.end(), [](const PartItem* item) {
        return item->Interaction() == StateRepresentation::kPicked;
    });
    if (picked == parts.end())
        return;
    for (PartItem* item : parts)
        item->SetFaded(item != *picked);
}

void DiagramWidget::ShowInvertItems(PartItem* item, bool enter)
{
    InversionItem* marker = FindInversionItem(item->Node());
    if (marker && item != m_editedItem)
        marker->setVisible(enter);
}

bool DiagramWidget::IsNoneCharacterization() const
{
    return MappingEditMenu::IsPlaceholder(m_hub, *m_model);
}

bool DiagramWidget::IsArrowOfCurrentPage(const PartItem* item) const
{
    return item && m_pages[m_currentPage].arrows.contains(const_cast<PartItem*>(item));
}

QWidget* DiagramWidget::DialogParent()
{
    return parentWidget() ? parentWidget() : this;
}

void DiagramWidget::SelectAssignedJoint(int node)
{
    if (m_hub && IsNodeId(node) &&
        m_model->NodeValidationOf(node).status != ValidationStatus::NotSet)
        m_hub->SelectNode(m_model->JointOfNode(node));
}

void DiagramWidget::mousePressEvent(QMouseEvent* event)
{
    QGraphicsView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_pressNavigated = false;
        m_model->SetEditedPart(-1, false);
        PartItem* item = ItemAt(event->pos());
        if (!item)
            return;
        if (IsArrowOfCurrentPage(item)) {
            m_pressNavigated = true;
            ShowView(m_pages[m_currentPage].arrows.value(item));
        } else if (item->flags() & QGraphicsItem::ItemIsSelectable) {
            const int node = item->Node();
            SelectAssignedJoint(node);
            m_model->SetEditedPart(node, false);
        }
    } else if (event->button() == Qt::RightButton) {
        ShowContextMenu(event->pos(), event->globalPos());
    }
}

void DiagramWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    QGraphicsView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && m_pressNavigated)
        return;
    if (!MappingEditMenu::MayEdit(this, m_hub, *m_model,
                                  tr("You must create a new characterization before you can "
                                     "edit its bone mappings.")))
        return;
    if (event->button() != Qt::LeftButton)
        return;
    PartItem* item = ItemAt(event->pos());
    if (item && (item->flags() & QGraphicsItem::ItemIsSelectable))
        m_model->SetEditedPart(item->Node(), true);
}

void DiagramWidget::ShowContextMenu(const QPoint& viewPosition, const QPoint& globalPosition)
{
    PartItem* item = ItemAt(viewPosition);
    m_contextItem = item && (item->flags() & QGraphicsItem::ItemIsSelectable) ? item : nullptr;
    MappingEditMenu::State state;
    state.editable = !m_model->IsLocked() && !IsNoneCharacterization();
    state.onSlot = m_contextItem && !IsArrowOfCurrentPage(m_contextItem);
    state.clearable = m_contextItem != nullptr; // arrows included
    state.hasSelection = m_hub && !m_hub->GetSelectedTransforms().isEmpty();
    state.invertible = m_contextItem && InversionPartOfNode(m_contextItem->Node()) != nullptr;
    MappingEditMenu::Actions actions;
    actions.assign = [this] { AssignSelection(); };
    actions.change = [this] { ShowAutoCompletion(); };
    actions.autoCharacterize = [this] { emit AutoCharacterizeRequested(); };
    actions.fixStance = [this] { emit FixStanceRequested(); };
    actions.clear = [this] { ClearMenuItem(); };
    actions.clearView = [this] { ClearView(); };
    actions.clearAll = [this] { ClearAll(); };
    actions.invert = [this] { InvertJoint(); };
    actions.otherView = [this] { SwitchToNameMatchView(); };
    actions.otherViewTitle = tr("Name Match View");
    const QPointer<DiagramWidget> self(this);
    MappingEditMenu::Exec(this, state, actions, globalPosition);
    if (self)
        m_contextItem = nullptr;
}

void DiagramWidget::AssignThroughPick(int node)
{
    m_model->SetEditedPart(node, true);
    OnDccSelect();
    SelectAssignedJoint(node);
    m_model->SetEditedPart(node, false);
}

void DiagramWidget::AssignSelection()
{
    if (!m_contextItem || m_model->IsLocked())
        return;
    const int node = m_contextItem->Node();
    if (IsLeafRollNode(node))
        RollAssign(node);
    else
        AssignThroughPick(node);
}

void DiagramWidget::RollAssign(int leafNode)
{
    if (m_hub && m_hub->IsNodeSupported(leafNode)) {
        AssignThroughPick(leafNode);
        return;
    }
    // A host that cannot drive leaf roll bones gets the limb's in-line roll node instead.
    const NodeId inlineNode = m_model->InlineRollNodeOf(leafNode);
    m_model->SetEditedPart(inlineNode, true);
    OnDccSelect(inlineNode);
    SelectAssignedJoint(inlineNode);
    m_model->SetEditedPart(inlineNode, false);
}

void DiagramWidget::OnDccSelect()
{
    if (!isVisible() || !m_editedItem ||
        m_editedItem->Interaction() != StateRepresentation::kPicked)
        return;
    OnDccSelect(m_editedItem->Node());
}

void DiagramWidget::OnDccSelect(int kntId)
{
    if (!m_hub || !isVisible() || !IsNodeId(kntId))
        return;
    const QStringList selected = m_hub->GetSelectedTransforms();
    if (selected.size() == 1)
        AssignWithConfirmation(DialogParent(), *m_model, kntId, selected.first());
}

void DiagramWidget::ShowAutoCompletion()
{
    m_model->SetEditedPart(-1, false);
    if (!m_contextItem || IsArrowOfCurrentPage(m_contextItem))
        return;
    const int node = m_contextItem->Node();
    QStringList names;
    if (m_hub)
        m_hub->GetAllTransforms(names);
    const QPoint corner(int(m_contextItem->x()) + int(m_contextItem->boundingRect().width()),
                        int(m_contextItem->y()) + int(m_contextItem->boundingRect().height()));
    QString chosen;
    if (!CompleterWidget::Choose(this, names, m_model->JointOfNode(node),
                                 viewport()->mapToGlobal(mapFromScene(corner)), chosen))
        return;
    // A name the scene does not know would bind a joint that can never be sampled.
    if (chosen.isEmpty() || (m_hub && !m_hub->IsTransform(chosen)))
        return;
    AssignWithConfirmation(DialogParent(), *m_model, node, chosen);
}

void DiagramWidget::ClearMenuItem()
{
    if (!m_contextItem || m_model->IsLocked() || !IsNodeId(m_contextItem->Node()))
        return;
    const int node = m_contextItem->Node();
    m_model->ClearNode(node);
    if (IsFirstLeafRollNode(node))
        m_model->ClearNode(m_model->InlineRollNodeOf(node));
}

void DiagramWidget::ClearView()
{
    if (m_model->IsLocked())
        return;
    std::vector<NodeId> nodes;
    for (const PartItem* item : qAsConst(m_pages[m_currentPage].parts)) {
        nodes.push_back(item->Node());
        if (IsFirstLeafRollNode(item->Node()))
            nodes.push_back(m_model->InlineRollNodeOf(item->Node()));
    }
    m_model->ClearNodes(nodes);
}

void DiagramWidget::ClearAll()
{
    if (!m_model->IsLocked())
        m_model->ClearAll();
}

void DiagramWidget::InvertJoint()
{
    if (m_contextItem && !m_model->IsLocked())
        m_model->ToggleInversion(m_contextItem->Node());
}

void DiagramWidget::SwitchToNameMatchView()
{
    emit NameMatchViewRequested();
}
