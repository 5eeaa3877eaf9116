#include "partitem.h"

#include "hoveradapter.h"
#include "loadpixmap.h"

#include <QBitmap>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QToolTip>

#include <cmath>

namespace {

// Alpha kept by a faded item, out of 255.
constexpr int kFadedAlpha = 75;
// A pixel at least half covered belongs to the drawing; anti-aliased fringes below that are
// left to whatever lies beneath.
constexpr int kHitAlpha = 128;

} // namespace

PartItem::PartItem(const DiagramElement& element, const QString& label,
                   const StateRepresentation& states, QGraphicsItem* parent)
    : QGraphicsItem(parent)
    , m_node(element.node)
    , m_label(label)
    , m_imageBase(element.imageBase)
    , m_states(states)
{
    setFlag(ItemIsSelectable);
    setAcceptHoverEvents(true);
    SetStatus(0, QString());
}

PartItem::~PartItem() = default;

void PartItem::SetStatus(int state, const QString& text)
{
    m_statusText = text;
    UpdateToolTip();
    if (state == m_validationState)
        return;
    prepareGeometryChange(); // the new image may have another size
    m_validationState = state;
    LoadBasePixmap();
    LoadOverlayPixmap();
    update();
}

void PartItem::SetLabel(const QString& label)
{
    m_label = label;
    UpdateToolTip();
}

void PartItem::SetInteraction(int interaction)
{
    if (interaction == m_interaction)
        return;
    m_interaction = interaction;
    LoadOverlayPixmap();
    update();
}

void PartItem::SetFaded(bool on)
{
    if (on == m_faded)
        return;
    m_faded = on;
    LoadBasePixmap();
    update();
}

void PartItem::UpdateToolTip()
{
    m_tooltip = m_statusText.isEmpty() ? m_label : m_label + QLatin1Char('\n') + m_statusText;
    // The view's own tooltip event comes while the pointer rests on the item; without the
    // item's tooltip it would hide the text shown on entering.
    setToolTip(m_tooltip);
}

void PartItem::LoadBasePixmap()
{
    m_basePixmap = LoadPixmap(m_states.ImageName(m_imageBase, m_validationState));
    m_hitMask = m_basePixmap.isNull()
                    ? QImage()
                    : m_basePixmap.toImage().convertToFormat(QImage::Format_Alpha8);
    m_shapeValid = false;
    if (m_faded && !m_basePixmap.isNull() && m_basePixmap.hasAlphaChannel()) {
        QPainter painter(&m_basePixmap);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(m_basePixmap.rect(), QColor(0, 0, 0, kFadedAlpha));
    }
}

void PartItem::LoadOverlayPixmap()
{
    const int key = StateRepresentation::OverlayKey(m_validationState, m_interaction);
    m_overlayPixmap = key < 0 ? QPixmap() : LoadPixmap(m_states.ImageName(m_imageBase, key));
}

QRectF PartItem::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_basePixmap.size());
}

bool PartItem::contains(const QPointF& point) const
{
    const int x = int(std::floor(point.x()));
    const int y = int(std::floor(point.y()));
    if (m_hitMask.isNull() || !m_hitMask.valid(x, y))
        return false;
    return m_hitMask.constScanLine(y)[x] >= kHitAlpha;
}

QPainterPath PartItem::shape() const
{
    if (!m_shapeValid) {
        // Index 1 is color1 (black), the colour a bitmap's region is made of.
        QImage opaque(m_hitMask.size(), QImage::Format_Mono);
        opaque.setColorCount(2);
        opaque.setColor(0, qRgb(255, 255, 255));
        opaque.setColor(1, qRgb(0, 0, 0));
        opaque.fill(0);
        for (int y = 0; y < m_hitMask.height(); ++y) {
            const uchar* alpha = m_hitMask.constScanLine(y);
            for (int x = 0; x < m_hitMask.width(); ++x) {
                if (alpha[x] >= kHitAlpha)
                    opaque.setPixel(x, y, 1);
            }
        }
        m_shape = QPainterPath();
        if (!m_hitMask.isNull())
            m_shape.addRegion(QRegion(QBitmap::fromImage(opaque)));
        m_shapeValid = true;
    }
    return m_shape;
}

void PartItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* /*option*/,
                     QWidget* /*widget*/)
{
    painter->drawPixmap(0, 0, m_basePixmap);
    if (!m_overlayPixmap.isNull())
        painter->drawPixmap(0, 0, m_overlayPixmap);
}

void PartItem::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    QGraphicsItem::hoverEnterEvent(event);
    // Below the item's top-left corner, half its height down, so the tip does not hide it.
    const QList<QGraphicsView*> views = scene() ? scene()->views() : QList<QGraphicsView*>();
    if (!views.isEmpty()) {
        const QPointF anchor = scenePos() + QPointF(0, boundingRect().height() / 2);
        QGraphicsView* view = views.first();
        QToolTip::showText(view->viewport()->mapToGlobal(view->mapFromScene(anchor)), m_tooltip,
                           view);
    }
    if (m_hoverAdapter)
        emit m_hoverAdapter->Hover(this, true);
}

void PartItem::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    QGraphicsItem::hoverLeaveEvent(event);
    if (m_hoverAdapter)
        emit m_hoverAdapter->Hover(this, false);
}
