// The scene items of one body diagram page.
#pragma once

#include <QMap>
#include <QString>
#include <QVector>

class InversionItem;
class PartItem;
class QGraphicsPixmapItem;
class QGraphicsSimpleTextItem;

// Every item of a page is a child of its background item, which the scene owns; the page only
// lists them, so dropping a page frees nothing.
struct DiagramPage
{
    QGraphicsPixmapItem* background = nullptr;
    QString backgroundImage; // loaded into the background item when the page is first shown
    int red = 68;            // colour around the background
    int green = 68;
    int blue = 68;
    QVector<PartItem*> parts;    // in layout order
    QMap<PartItem*, int> arrows; // arrow item -> index of the page it opens
    QVector<InversionItem*> inversions;
    QGraphicsSimpleTextItem* title = nullptr; // null on pages without a title
};
