// One clickable element of a body diagram page: a part, a navigation arrow or the status light.
#pragma once

#include <QString>

// Plain layout data, fixed once the layout is built. Positions are pixels from the top-left
// corner of the page's background image.
struct DiagramElement
{
    int node = -1;       // solver node id; -1 when the element stands for no node
    int targetView = -1; // arrows: index of the page the arrow opens; -1 otherwise
    QString tooltip;     // arrows: hover text shown instead of the node's name
    QString label;       // text shown when the element stands for no node
    QString imageBase;   // image path below the image root, without the state suffix
    int x = 0;
    int y = 0;
};
