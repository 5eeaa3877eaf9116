#include "inversionitem.h"

#include "loadpixmap.h"

#include <QPainter>
#include <QTransform>

namespace {

QPixmap LoadMarker(const QString& imageName, bool mirror)
{
    const QPixmap pixmap = LoadPixmap(imageName);
    if (!mirror || pixmap.isNull())
        return pixmap;
    // Flipping upside down and turning half a turn leaves a left-right mirror image.
    return pixmap.transformed(QTransform().scale(1, -1).rotate(180), Qt::FastTransformation);
}

} // namespace

InversionItem::InversionItem(const InversionElement& element, QGraphicsItem* parent)
    : QGraphicsItem(parent)
    , m_node(element.node)
    , m_invertedPixmap(LoadMarker(element.invertedImage, element.mirror))
    , m_normalPixmap(LoadMarker(element.normalImage, element.mirror))
    , m_shown(&m_invertedPixmap)
{}

InversionItem::~InversionItem() = default;

void InversionItem::ShowInverted()
{
    Show(&m_invertedPixmap);
}

void InversionItem::ShowNormal()
{
    Show(&m_normalPixmap);
}

void InversionItem::Show(const QPixmap* pixmap)
{
    if (pixmap == m_shown)
        return;
    prepareGeometryChange();
    m_shown = pixmap;
    update();
}

QRectF InversionItem::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_shown->size());
}

void InversionItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* /*option*/,
                          QWidget* /*widget*/)
{
    painter->drawPixmap(0, 0, *m_shown);
}
