#include "iconpainter.h"

#include "bodygeometry.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const QColor kInk(235, 235, 235);
const QColor kOutline(22, 22, 22);
const QColor kAdd(64, 186, 92);
const QColor kRemove(226, 56, 56);
const QColor kMetal(250, 200, 70);

QImage Transparent(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A small standing figure, the character the icons act on.
void PaintFigure(QPainter& painter, QPointF head, qreal scale)
{
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(kInk);
    painter.drawEllipse(head, 2.6 * scale, 2.6 * scale);
    QPainterPath body;
    body.moveTo(head + QPointF(0, 3) * scale);
    body.lineTo(head + QPointF(0, 10) * scale);
    body.moveTo(head + QPointF(-5, 5) * scale);
    body.lineTo(head + QPointF(5, 5) * scale);
    body.moveTo(head + QPointF(-4, 16) * scale);
    body.lineTo(head + QPointF(0, 10) * scale);
    body.lineTo(head + QPointF(4, 16) * scale);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOutline, 3.6 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(body);
    painter.setPen(QPen(kInk, 2 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(body);
}

// A round badge in the lower right corner with a plus or a cross.
void PaintBadge(QPainter& painter, const QColor& colour, bool plus)
{
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(17.5, 17.5), 6, 6);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    if (plus) {
        painter.drawLine(QPointF(14.5, 17.5), QPointF(20.5, 17.5));
        painter.drawLine(QPointF(17.5, 14.5), QPointF(17.5, 20.5));
    } else {
        painter.drawLine(QPointF(15.3, 15.3), QPointF(19.7, 19.7));
        painter.drawLine(QPointF(19.7, 15.3), QPointF(15.3, 19.7));
    }
}

void PaintPadlock(QPainter& painter, bool open)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOutline, 4.2, Qt::SolidLine, Qt::FlatCap));
    QPainterPath shackle;
    const qreal lift = open ? 4 : 0;
    shackle.moveTo(7.5, 12);
    shackle.lineTo(7.5, 8 - lift);
    shackle.arcTo(QRectF(7.5, 2.5 - lift, 9, 9), 180, -180);
    shackle.lineTo(16.5, open ? 6 - lift : 12);
    painter.drawPath(shackle);
    painter.setPen(QPen(QColor(200, 200, 205), 2.4, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(shackle);
    painter.setPen(QPen(kOutline, 1.2));
    painter.setBrush(kMetal);
    painter.drawRoundedRect(QRectF(4.5, 11, 15, 11), 2, 2);
    painter.setBrush(kOutline);
    painter.drawEllipse(QPointF(12, 15.5), 1.6, 1.6);
    painter.drawRect(QRectF(11.4, 15.5, 1.2, 3.5));
}

void PaintMirror(QPainter& painter, bool crossed)
{
    // Light strokes lie on a dark one, so the icon reads on light and dark tool bars alike.
    painter.setPen(QPen(kOutline, 3.2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(12, 1), QPointF(12, 23));
    painter.setPen(QPen(kInk, 1.2, Qt::DashLine));
    painter.drawLine(QPointF(12, 1), QPointF(12, 23));
    painter.setPen(QPen(kOutline, 1));
    // A half figure on each side facing the mirror line.
    for (qreal side : {-1.0, 1.0}) {
        QPainterPath half;
        half.addEllipse(QPointF(12 + side * 6, 6), 2.6, 2.6);
        half.addRoundedRect(QRectF(12 + side * 6 - 2.5, 9.5, 5, 8), 1.5, 1.5);
        painter.setBrush(side < 0 ? kInk : QColor(160, 200, 255));
        painter.drawPath(half);
    }
    for (const QPen& pen : {QPen(kOutline, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
                            QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)}) {
        painter.setPen(pen);
        painter.drawLine(QPointF(6, 21), QPointF(18, 21));
        painter.drawPolyline(QVector<QPointF>{{8.5, 19}, {6, 21}, {8.5, 23}});
        painter.drawPolyline(QVector<QPointF>{{15.5, 19}, {18, 21}, {15.5, 23}});
    }
    if (crossed) {
        painter.setPen(QPen(kOutline, 4.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(3, 3), QPointF(21, 21));
        painter.setPen(QPen(kRemove, 2.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(3, 3), QPointF(21, 21));
    }
}

// Figure, an arrow, and a list of names: joints matched to slots by name.
void PaintMap(QPainter& painter)
{
    PaintFigure(painter, {5.5, 5}, 0.95);
    painter.setPen(QPen(kAdd, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(9.5, 12), QPointF(14, 12));
    painter.drawPolyline(QVector<QPointF>{{12, 10}, {14, 12}, {12, 14}});
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRoundedRect(QRectF(14.5, 3.5, 8.5, 17), 1.5, 1.5);
    painter.setPen(QPen(QColor(60, 60, 60), 1.4));
    for (int row = 0; row < 4; ++row)
        painter.drawLine(QPointF(16.5, 7 + 3.7 * row), QPointF(21, 7 + 3.7 * row));
}

// A figure with a four-pointed spark beside its head: the skeleton read automatically.
void PaintAuto(QPainter& painter)
{
    PaintFigure(painter, {7, 5}, 1.0);
    painter.setPen(QPen(kOutline, 0.8));
    painter.setBrush(kAdd);
    const QPointF c(18.5, 6.5);
    QPolygonF spark;
    for (int k = 0; k < 8; ++k) {
        const double r = k % 2 ? 1.4 : 4.6;
        const double a = k * M_PI / 4.0;
        spark << c + QPointF(r * std::sin(a), -r * std::cos(a));
    }
    painter.drawPolygon(spark);
}

// A figure whose arms an arc turns up into a T: the stance fix.
void PaintStance(QPainter& painter)
{
    const QPointF neck(12, 8.5);
    const QPolygonF body(QVector<QPointF>{{12, 8.5}, {12, 15}});
    const QVector<QLineF> limbs = {
        {neck, {3, 8.5}}, {neck, {21, 8.5}}, {{12, 15}, {8, 22}}, {{12, 15}, {16, 22}}};
    for (const QColor& colour : {kOutline, kInk}) {
        const double width = colour == kOutline ? 3.6 : 1.8;
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(body);
        painter.drawLines(limbs);
    }
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(kInk);
    painter.drawEllipse(QPointF(12, 4.5), 2.8, 2.8);
    // The turn: from a hanging arm up to the level one.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kAdd, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(13, 6, 9, 9), -60 * 16, 60 * 16);
    painter.setBrush(kAdd);
    painter.setPen(QPen(kOutline, 0.6));
    painter.drawPolygon(QPolygonF(QVector<QPointF>{{19.4, 10.8}, {22.6, 10.2}, {21.6, 13.4}}));
}

// The image with at most 256 colours: the most frequent ones exactly (page colour, body fill,
// outlines), the rarer edge blends as their nearest kept colour.
QImage ToPalette(const QImage& image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    }
    QVector<QRgb> palette = counts.keys().toVector();
    std::sort(palette.begin(), palette.end(), [&](QRgb a, QRgb b) {
        return counts[a] != counts[b] ? counts[a] > counts[b] : a < b;
    });
    palette.resize(std::min(256, palette.size()));
    QHash<QRgb, uint> index;
    const auto nearest = [&](QRgb colour) {
        const auto found = index.constFind(colour);
        if (found != index.constEnd())
            return *found;
        uint best = 0;
        int bestDistance = INT_MAX;
        for (int i = 0; i < palette.size(); ++i) {
            const int dr = qRed(colour) - qRed(palette[i]);
            const int dg = qGreen(colour) - qGreen(palette[i]);
            const int db = qBlue(colour) - qBlue(palette[i]);
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = uint(i);
            }
        }
        index.insert(colour, best);
        return best;
    };
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            indexed.setPixel(x, y, nearest(image.pixel(x, y)));
    }
    return indexed;
}

} // namespace

QImage IconPainter::ToolBarIcon(const QString& name)
{
    QImage image = Transparent(24, 24);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (name == QLatin1String("createChar")) {
        PaintFigure(painter, {9, 4}, 1.05);
        PaintBadge(painter, kAdd, true);
    } else if (name == QLatin1String("deleteChar")) {
        PaintFigure(painter, {9, 4}, 1.05);
        PaintBadge(painter, kRemove, false);
    } else if (name == QLatin1String("lockChar") || name == QLatin1String("unlockChar")) {
        PaintPadlock(painter, name == QLatin1String("unlockChar"));
    } else if (name == QLatin1String("mirrorChar") || name == QLatin1String("unmirrorChar")) {
        PaintMirror(painter, name == QLatin1String("unmirrorChar"));
    } else if (name == QLatin1String("mapChar")) {
        PaintMap(painter);
    } else if (name == QLatin1String("autoChar")) {
        PaintAuto(painter);
    } else if (name == QLatin1String("fixStance")) {
        PaintStance(painter);
    } else {
        return QImage();
    }
    return image;
}

QImage IconPainter::InversionMarker(bool left, bool inverted)
{
    QImage image = Transparent(24, 24);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(225, 225, 225), 1.3));
    painter.setBrush(QColor(30, 30, 30, 225));
    painter.drawEllipse(QPointF(12, 12), 11, 11);
    // The bend points away from the body when normal, towards it when inverted. The body's left
    // side is on the right of the page.
    const qreal out = (left ? 1 : -1) * (inverted ? -1 : 1);
    const QColor colour = inverted ? QColor(255, 150, 40) : QColor(120, 220, 255);
    const QPolygonF limb(
        QVector<QPointF>{{12 - 3 * out, 4.5}, {12 + 4 * out, 12}, {12 - 3 * out, 19.5}});
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(limb);
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(limb[1], 2.3, 2.3);
    if (inverted) {
        // Small turn arrow on the far side: the bend was flipped.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 1.3));
        const QRectF arc(12 - 3 * out - 4, 8, 8, 8);
        painter.drawArc(arc, out > 0 ? 90 * 16 : -90 * 16, 180 * 16);
        painter.setBrush(Qt::white);
        painter.setPen(Qt::NoPen);
        const QPointF tip(12 - 3 * out, 16);
        painter.drawPolygon(QVector<QPointF>{tip + QPointF(2.4 * out, -2),
                                             tip + QPointF(2.4 * out, 2),
                                             tip - QPointF(0.6 * out, 0)});
    }
    return image;
}

QImage IconPainter::ReturnArrow()
{
    QImage image = Transparent(36, 36);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(210, 210, 210), 1.5));
    painter.setBrush(QColor(44, 50, 62));
    painter.drawRoundedRect(QRectF(1, 1, 34, 34), 6, 6);
    // A U-turn arrow pointing back, left.
    QPainterPath turn;
    turn.moveTo(27, 30);
    turn.lineTo(27, 19);
    turn.arcTo(QRectF(17, 9, 10, 20), 0, 90);
    turn.lineTo(13, 9);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(turn);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QVector<QPointF>{{6, 9}, {14, 3}, {14, 15}});
    return image;
}

QImage IconPainter::Background(const PageBody& body)
{
    QImage image(250, 380, QImage::Format_RGB32);
    image.fill(QColor(68, 68, 68));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(158, 164, 176), 1.6));
    painter.setBrush(QColor(104, 110, 122));
    painter.drawPath(body.flesh);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(136, 142, 154));
    painter.drawPath(body.marks);
    painter.setPen(QPen(QColor(150, 150, 150), 1.1, Qt::DashLine));
    painter.setBrush(QColor(255, 255, 255, 14));
    painter.drawPath(body.ghost);
    painter.end();
    // Every panel opening loads all seventeen backgrounds; palette images decode about three
    // times faster than full-colour ones.
    return ToPalette(image);
}
