#include "statuspainter.h"

#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace {

const QColor kOutline(22, 22, 22);
const QColor kPickRing(255, 214, 0);

QImage Transparent(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Warning parts get diagonal stripes, error parts a cross-hatch; valid and unset stay plain.
void PaintPattern(QPainter& painter, QSize size, int status)
{
    if (status < 2)
        return;
    painter.setPen(QPen(QColor(0, 0, 0, 120), 1.3));
    const int span = size.width() + size.height();
    for (int offset = -span; offset < span; offset += 5) {
        painter.drawLine(QPointF(offset, 0), QPointF(offset + size.height(), size.height()));
        if (status == 3)
            painter.drawLine(QPointF(offset + size.height(), 0), QPointF(offset, size.height()));
    }
}

void PaintBase(QPainter& painter, QSize size, const QPainterPath& shape, int status)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(StatusPainter::StatusColour(status));
    painter.drawPath(shape);
    painter.save();
    painter.setClipPath(shape);
    PaintPattern(painter, size, status);
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOutline, 1.2));
    painter.drawPath(shape);
}

// Rings are drawn inside the outline (clipped to the shape) so they never leave the image.
void PaintRing(QPainter& painter, const QPainterPath& shape, const QColor& colour, qreal width)
{
    painter.save();
    painter.setClipPath(shape);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOutline, 2 * width + 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shape);
    painter.setPen(QPen(colour, 2 * width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shape);
    painter.restore();
}

void PaintCornerBrackets(QPainter& painter, QSize size)
{
    const qreal w = size.width() - 1.5;
    const qreal h = size.height() - 1.5;
    const qreal len = std::max(3.0, std::min(7.0, std::min(w, h) / 3));
    QPainterPath brackets;
    for (const QPointF& corner :
         {QPointF(1.5, 1.5), QPointF(w, 1.5), QPointF(1.5, h), QPointF(w, h)}) {
        const qreal dx = corner.x() < 2 ? len : -len;
        const qreal dy = corner.y() < 2 ? len : -len;
        brackets.moveTo(corner + QPointF(dx, 0));
        brackets.lineTo(corner);
        brackets.lineTo(corner + QPointF(0, dy));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOutline, 3.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(brackets);
    painter.setPen(QPen(kPickRing, 1.8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(brackets);
}

// Status of the image-state keys 4-11 and whether they mean picked.
struct Overlay
{
    int status;
    bool picked;
};

Overlay OverlayOfKey(int key)
{
    switch (key) {
    case 4:
        return {3, false};
    case 5:
        return {3, true};
    case 6:
        return {2, false};
    case 7:
        return {2, true};
    case 8:
        return {1, false};
    case 9:
        return {1, true};
    case 10:
        return {0, false};
    default:
        return {0, true};
    }
}

} // namespace

QColor StatusPainter::StatusColour(int status)
{
    switch (status) {
    case 1:
        return QColor(64, 186, 92);
    case 2:
        return QColor(246, 172, 34);
    case 3:
        return QColor(226, 56, 56);
    default:
        return QColor(176, 176, 176);
    }
}

QImage StatusPainter::Part(QSize size, const QPainterPath& shape, int key)
{
    QImage image = Transparent(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (key <= 3) {
        PaintBase(painter, size, shape, key);
        return image;
    }
    const Overlay overlay = OverlayOfKey(key);
    if (overlay.picked) {
        PaintRing(painter, shape, kPickRing, 2.5);
        PaintCornerBrackets(painter, size);
    } else {
        PaintRing(painter, shape, Qt::white, 1.5);
    }
    // A dot in the status colour at the centre keeps the status visible under the marks.
    const QPointF centre = shape.boundingRect().center();
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(StatusColour(overlay.status));
    if (shape.contains(centre) && std::min(size.width(), size.height()) >= 15)
        painter.drawEllipse(centre, 2.2, 2.2);
    return image;
}

QImage StatusPainter::StatusLight(int status)
{
    QImage image = Transparent({36, 36});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c(18, 18);
    QPainterPath body;
    if (status == 2) {
        body.addPolygon(QVector<QPointF>{{18, 2.5}, {34, 32}, {2, 32}, {18, 2.5}});
    } else if (status == 3) {
        QPolygonF octagon;
        for (int i = 0; i <= 8; ++i) {
            const qreal a = (22.5 + 45 * i) * M_PI / 180;
            octagon << c + QPointF(std::cos(a), std::sin(a)) * 16;
        }
        body.addPolygon(octagon);
    } else {
        body.addEllipse(c, 15.5, 15.5);
    }
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(StatusColour(status));
    painter.drawPath(body);

    painter.setBrush(Qt::NoBrush);
    switch (status) {
    case 1:
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QVector<QPointF>{{10, 18.5}, {16, 24.5}, {26.5, 12}});
        break;
    case 2:
        painter.setPen(QPen(kOutline, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(18, 12), QPointF(18, 21));
        painter.drawPoint(QPointF(18, 27));
        break;
    case 3:
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(12, 12), QPointF(24, 24));
        painter.drawLine(QPointF(24, 12), QPointF(12, 24));
        break;
    default:
        painter.setPen(QPen(kOutline, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(11, 18), QPointF(25, 18));
        break;
    }
    return image;
}

QImage StatusPainter::GoToArrow(int status, bool roll)
{
    QImage image = Transparent({16, 16});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = StatusColour(status);
    if (roll)
        fill.setAlpha(190);
    // The status also shows as the body's shape and pattern, as on the status light and the
    // parts: a dashed circle unset, a circle valid, a diamond striped for a warning, a
    // cross-hatched square for an error.
    const QPointF c(8, 8);
    QPainterPath body;
    switch (status) {
    case 2:
        body.addPolygon(QPolygonF({{8, 0.6}, {15.4, 8}, {8, 15.4}, {0.6, 8}, {8, 0.6}}));
        break;
    case 3:
        body.addRect(QRectF(1.2, 1.2, 13.6, 13.6));
        break;
    default:
        body.addEllipse(c, 7.2, 7.2);
        break;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(body);
    painter.save();
    painter.setClipPath(body);
    PaintPattern(painter, image.size(), status);
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(kOutline, status == 0 ? 1.4 : 1.2, status == 0 ? Qt::DashLine : Qt::SolidLine));
    painter.drawPath(body);
    if (roll) {
        // A turning arrow: the roll of the limb segment.
        painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(QRectF(4, 4, 8, 8), 100 * 16, 270 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(QVector<QPointF>{{5.5, 2.5}, {10.5, 4.3}, {6.5, 7.5}});
    } else {
        // An arrow pointing out of the circle: "open the detail view".
        painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(QPointF(4.8, 11.2), QPointF(11, 5));
        painter.drawPolyline(QVector<QPointF>{{6.5, 5}, {11, 5}, {11, 9.5}});
    }
    return image;
}

QImage StatusPainter::Bubble(int status, bool highlight)
{
    QImage image = Transparent({16, 16});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c(8, 8);
    if (highlight) {
        painter.setPen(QPen(kOutline, 1));
        painter.setBrush(kPickRing);
        painter.drawEllipse(c, 7.6, 7.6);
    }
    const qreal r = highlight ? 5 : 6.6;
    QRadialGradient shine(c - QPointF(r / 3, r / 3), r * 1.4);
    shine.setColorAt(0, StatusColour(status).lighter(150));
    shine.setColorAt(1, StatusColour(status));
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(shine);
    painter.drawEllipse(c, r, r);
    // Tiny glyphs so the status reads without colour.
    painter.setPen(QPen(status == 2 || status == 0 ? kOutline : Qt::white, 1.6, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    const qreal s = r / 6.6;
    switch (status) {
    case 1:
        painter.drawPolyline(QVector<QPointF>{c + QPointF(-3, 0) * s, c + QPointF(-0.8, 2.4) * s,
                                              c + QPointF(3, -2.2) * s});
        break;
    case 2:
        painter.drawLine(c + QPointF(0, -3.2) * s, c + QPointF(0, 0.8) * s);
        painter.drawPoint(c + QPointF(0, 3.2) * s);
        break;
    case 3:
        painter.drawLine(c + QPointF(-2.4, -2.4) * s, c + QPointF(2.4, 2.4) * s);
        painter.drawLine(c + QPointF(2.4, -2.4) * s, c + QPointF(-2.4, 2.4) * s);
        break;
    default:
        break;
    }
    return image;
}
