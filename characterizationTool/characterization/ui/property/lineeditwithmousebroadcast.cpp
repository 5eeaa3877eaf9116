#include "lineeditwithmousebroadcast.h"

LineEditWithMouseBroadcast::LineEditWithMouseBroadcast(QWidget* parent)
    : QLineEdit(parent)
{}

void LineEditWithMouseBroadcast::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit mouseDoubleClickSent(event);
}
