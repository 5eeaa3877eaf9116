// The knee/elbow inversion marker of one node on the full-body page.
#pragma once

#include <QString>

// Plain layout data. The item shows invertedImage while the node's inversion flag is clear and
// normalImage while it is set. With mirror set both images are drawn flipped left to right.
struct InversionElement
{
    int node = -1;
    QString invertedImage; // file name below the image root, e.g. "LeftInversed.png"
    QString normalImage;   // e.g. "LeftNormal.png"
    int x = 0;             // pixels from the page background's top-left corner
    int y = 0;
    bool mirror = false;
};
