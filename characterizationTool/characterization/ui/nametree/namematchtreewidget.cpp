#include "namematchtreewidget.h"

#include <QMouseEvent>

NameMatchTreeWidget::NameMatchTreeWidget(QWidget* parent)
    : QTreeWidget(parent)
{}

void NameMatchTreeWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit MouseRightClicked(event);
        return;
    }
    QTreeView::mousePressEvent(event);
}
