#include "desktop/nodeicons.h"

#include <QPainter>
#include <QPixmap>

#include <functional>

namespace kestrel {

namespace {

// Paints `draw` with `colour` on a transparent square of each size into one icon, and in
// white for selected rows (drawn on the highlight colour); `draw` works in a 16 x 16 box
// whatever the pixel size.
QIcon Paint(const QColor& colour, const std::function<void(QPainter&, const QColor&)>& draw)
{
    QIcon icon;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Selected}) {
        for (const int size : {16, 32}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size / 16.0, size / 16.0);
            draw(painter, mode == QIcon::Selected ? QColor(Qt::white) : colour);
            painter.end();
            icon.addPixmap(pixmap, mode);
        }
    }
    return icon;
}

} // namespace

QIcon NodeIcons::Joint()
{
    return Paint(QColor(70, 130, 200), [](QPainter& painter, const QColor& bone) {
        painter.setPen(QPen(bone, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(8.5, 7.5), QPointF(14.0, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(6.5, 9.5), 4.0, 4.0);
        painter.setBrush(bone);
        painter.drawEllipse(QPointF(6.5, 9.5), 1.2, 1.2);
    });
}

QIcon NodeIcons::Transform()
{
    return Paint(QColor(110, 110, 110), [](QPainter& painter, const QColor& axes) {
        painter.setPen(QPen(axes, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(3.0, 13.0), QPointF(13.0, 13.0));
        painter.drawLine(QPointF(3.0, 13.0), QPointF(3.0, 3.0));
        painter.drawLine(QPointF(3.0, 13.0), QPointF(9.0, 7.0));
    });
}

QIcon NodeIcons::Character()
{
    return Paint(QColor(200, 120, 30), [](QPainter& painter, const QColor& figure) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(figure);
        painter.drawEllipse(QPointF(8.0, 3.5), 2.5, 2.5);
        painter.setPen(QPen(figure, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(8.0, 6.5), QPointF(8.0, 10.5));
        painter.drawLine(QPointF(3.5, 8.0), QPointF(12.5, 8.0));
        painter.drawLine(QPointF(8.0, 10.5), QPointF(5.0, 14.5));
        painter.drawLine(QPointF(8.0, 10.5), QPointF(11.0, 14.5));
    });
}

} // namespace kestrel
