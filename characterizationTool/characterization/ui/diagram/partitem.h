// One clickable image of the body diagram: a node's part, a navigation arrow or the status light.
#pragma once

#include "diagramelement.h"
#include "staterepresentation.h"

#include <QGraphicsItem>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QString>

class HoverAdapter;

// Draws the image of its validation state and, while selected or picked, the matching overlay
// on top (see StateRepresentation). Its bounds are the size of its current base image; its hit
// area is the part of that image that is drawn (alpha at least half), so neighbours whose
// rectangles overlap are each hit on their own drawing. An item whose image is missing draws
// nothing and cannot be hit.
//
// Owned by the scene through its parent item (the page background) or directly (status light).
class PartItem : public QGraphicsItem
{
public:
    enum
    {
        Type = UserType + 1
    };

    // Validation state of an item that has shown no image yet.
    static constexpr int kNoImage = StateRepresentation::kKeyCount;

    // Starts in validation state 0 with no interaction, at no particular position; `label` is
    // the first text of its tooltip.
    PartItem(const DiagramElement& element, const QString& label, const StateRepresentation& states,
             QGraphicsItem* parent = nullptr);
    ~PartItem() override;

    int Node() const { return m_node; }
    int ValidationState() const { return m_validationState; }
    int Interaction() const { return m_interaction; }
    const QString& Label() const { return m_label; }
    // The label, followed by a line with the status text when there is one; also the item's
    // tooltip, shown on entering and kept while the pointer rests on the item.
    const QString& ToolTipText() const { return m_tooltip; }
    // The image the item shows now, faded or not; null when the file is missing.
    const QPixmap& BasePixmap() const { return m_basePixmap; }

    // Stores the status text and, when `state` (0-3) differs from the current one, loads that
    // state's image and repaints. Setting the state the item has does not reload.
    void SetStatus(int state, const QString& text);
    void SetLabel(const QString& label);
    // 0 none, 1 selected (read-only edited part), 2 picked (read-write edited part).
    void SetInteraction(int interaction);
    // Draws the item at 75/255 of its opacity while on, to set off the picked part.
    void SetFaded(bool on);
    // Hovering then emits the adapter's Hover signal. Not owned.
    void SetHoverAdapter(HoverAdapter* adapter) { m_hoverAdapter = adapter; }

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    // True on drawn pixels of the unfaded base image; fading does not change what can be hit.
    bool contains(const QPointF& point) const override;
    // The drawn pixels as a path, built on first use after an image change.
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;

private:
    void UpdateToolTip();
    void LoadBasePixmap();
    void LoadOverlayPixmap();

    int m_node;
    QString m_label;
    QString m_tooltip;
    int m_validationState = kNoImage;
    QString m_statusText;
    QString m_imageBase;
    QPixmap m_basePixmap;
    QImage m_hitMask;             // alpha of the unfaded base image; null without an image
    mutable QPainterPath m_shape; // cache of shape(); empty until asked for
    mutable bool m_shapeValid = false;
    QPixmap m_overlayPixmap; // null without interaction or without an overlay image
    StateRepresentation m_states;
    int m_interaction = StateRepresentation::kNoInteraction;
    bool m_faded = false;
    HoverAdapter* m_hoverAdapter = nullptr;
};
