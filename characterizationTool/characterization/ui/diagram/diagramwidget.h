// The clickable body diagram on the panel's "Figure" page.
#pragma once

#include "diagrampage.h"

#include <QGraphicsView>

#include <map>
#include <vector>

class CharacterizationModel;
class HoverAdapter;
class IDCCHub;
class InversionItem;
class PartItem;
class QGraphicsScene;
class ToolPaths;

// Shows the pages of the DiagramLayout as items coloured by each node's validation status and
// marks the model's edited node: selected (read-only) after a click, picked (read-write) after a
// double click. While a part is picked, the host's next selection of exactly one transform is
// bound to it through AssignWithConfirmation. Arrows switch pages on the press; the double click
// that may follow such a press picks nothing. A right click opens the editing menu.
//
// A view only: it changes the characterization through model operations and redraws on the
// model's ModelChanged() alone. What belongs to the panel around it (auto-characterize, the
// stance fix, the other page) it asks for with a signal. The model, paths and hub are not owned
// and must outlive the widget; the hub may be null.
class DiagramWidget : public QGraphicsView
{
    Q_OBJECT

public:
    // Node id of the overall validation light, which stands for no node.
    static constexpr int kStatusNode = 213;

    DiagramWidget(QWidget* parent, ToolPaths* paths, IDCCHub* hub, CharacterizationModel* model);
    ~DiagramWidget() override;

    // Index of the page shown (0 the full body).
    int CurrentPage() const { return m_currentPage; }
    // Shows page `index`; an index outside the pages is ignored.
    void ShowView(int index);
    // The part of `node`: the current page's first, else the first in page order; null when the
    // node has no part. Arrows and the status light are never found.
    PartItem* FindPartItem(int node) const;
    InversionItem* FindInversionItem(int node) const;
    // The topmost visible part, arrow or status light drawn at a viewport position; null when
    // none. Transparent pixels of an image belong to whatever is drawn below them.
    PartItem* ItemAt(const QPoint& viewPosition) const;
    // The items of page `index`, for the tests and the panel.
    const DiagramPage& Page(int index) const { return m_pages.at(index); }
    PartItem* StatusItem() const { return m_statusItem; }
    PartItem* EditedItem() const { return m_editedItem; }

signals:
    // The context menu's entries that the panel carries out.
    void AutoCharacterizeRequested();
    void FixStanceRequested();
    void NameMatchViewRequested();

public slots:
    // Refreshes every item from the model's validation and the current characterization.
    void SyncViewOnModel();
    // Binds the host's only selected transform to the picked part; nothing while the widget is
    // hidden, no part is picked, or zero or several transforms are selected.
    void OnDccSelect();
    // The same for node `kntId`, picked or not.
    void OnDccSelect(int kntId);
    void ClearMenuItem();
    void ClearAll();
    // Clears every node of the current page.
    void ClearView();
    // Follows the model's edited node: marks its part, shows its page, fades the others while
    // it is picked.
    void ChangeEditPart(int oldEditedPartId, int newEditedPartId, bool isReadWrite);
    // The context menu's actions; they act on the part under the right click.
    void AssignSelection();
    void ShowAutoCompletion();
    void InvertJoint();
    void SwitchToNameMatchView();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private slots:
    void ShowInvertItems(PartItem* item, bool enter);

private:
    void BuildScene();
    void BuildPage(int index);
    void UpdatePart(PartItem* item);
    void UpdateArrow(PartItem* arrow, int targetPage);
    void UpdateStatusItem();
    void UpdateInversionItems();
    void UpdateFading(bool readWrite);
    void ShowContextMenu(const QPoint& viewPosition, const QPoint& globalPosition);
    void RollAssign(int leafNode);
    void AssignThroughPick(int node);
    void SelectAssignedJoint(int node);
    bool IsNoneCharacterization() const;
    bool IsArrowOfCurrentPage(const PartItem* item) const;
    QWidget* DialogParent();

    QGraphicsScene* m_scene = nullptr; // child of the widget
    ToolPaths* m_paths;
    IDCCHub* m_hub;
    CharacterizationModel* m_model;
    PartItem* m_editedItem = nullptr;
    PartItem* m_contextItem = nullptr; // only while the context menu runs
    PartItem* m_statusItem = nullptr;
    HoverAdapter* m_hoverAdapter = nullptr; // child of the widget
    std::vector<DiagramPage> m_pages;
    int m_currentPage = 0;
    std::map<int, bool> m_sideMap; // node -> true right side, false left; centre nodes absent
    // The last left press switched pages: its double click lands on a page the user has not
    // seen yet and must not pick what happens to lie there.
    bool m_pressNavigated = false;
};
