// One page of the body diagram: its background and the elements laid over it.
#pragma once

#include "diagramelement.h"
#include "inversionelement.h"

#include <QString>
#include <QVector>

// Plain layout data; the page owns its elements by value.
struct DiagramView
{
    QString name;            // "FullBody", "LeftHands", ...
    QString title;           // text over the top of the page ("Left Thigh Roll"); may be empty
    QString backgroundImage; // file name below the image root, 250 x 380 pixels
    int backgroundX = 0;     // offset of the background in the scene; 0, 0 on every page
    int backgroundY = 0;
    int red = 68; // page colour around the background
    int green = 68;
    int blue = 68;
    int pageIndex = -1; // equals the page's position in DiagramLayout::views
    QVector<DiagramElement> parts;
    QVector<DiagramElement> arrows;
    QVector<InversionElement> inversions;
};
