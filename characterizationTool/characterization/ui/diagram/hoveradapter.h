// Lets diagram items, which are not QObjects, announce hovering as a Qt signal.
#pragma once

#include <QObject>

class PartItem;

// Owned by the diagram (Qt parent); items that carry an inversion marker hold a plain pointer to
// it, and the diagram outlives its scene's items.
class HoverAdapter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // The pointer entered (`enter` true) or left `item`.
    void Hover(PartItem* item, bool enter);
};
