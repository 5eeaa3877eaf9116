// The knee/elbow inversion marker the full-body diagram shows beside a hovered or edited limb.
#pragma once

#include "inversionelement.h"

#include <QGraphicsItem>
#include <QPixmap>

// Shows one of two images: the inverted-state image while the node's inversion flag is clear,
// the normal-state one while it is set. Starts on the inverted-state image. Owned by the scene
// through its parent item.
class InversionItem : public QGraphicsItem
{
public:
    enum
    {
        Type = UserType + 2
    };

    // Loads both images, mirrored left to right when the element says so.
    explicit InversionItem(const InversionElement& element, QGraphicsItem* parent = nullptr);
    ~InversionItem() override;

    int Node() const { return m_node; }
    bool IsShowingInverted() const { return m_shown == &m_invertedPixmap; }
    void ShowInverted();
    void ShowNormal();

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    void Show(const QPixmap* pixmap);

    int m_node;
    QPixmap m_invertedPixmap;
    QPixmap m_normalPixmap;
    const QPixmap* m_shown; // one of the two above
};
