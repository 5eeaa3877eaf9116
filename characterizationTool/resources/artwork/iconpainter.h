// Drawing of the status-free images: tool-bar icons, inversion markers, the return arrow and
// the page backgrounds.
#pragma once

#include <QImage>
#include <QString>

struct PageBody;

class IconPainter
{
public:
    // 24 x 24 tool-bar icon named "createChar", "deleteChar", "lockChar", "unlockChar",
    // "mirrorChar", "unmirrorChar", "mapChar", "autoChar" or "fixStance"; a null image for any
    // other name.
    static QImage ToolBarIcon(const QString& name);

    // 24 x 24 knee/elbow marker. `left` draws the body's left side; `inverted` the bend turned
    // the other way (orange, with a turn arrow).
    static QImage InversionMarker(bool left, bool inverted);

    // 36 x 36 arrow back to the full body page.
    static QImage ReturnArrow();

    // 250 x 380 page background in the page colour (68, 68, 68) with the body drawn on it, as an
    // opaque palette image.
    static QImage Background(const PageBody& body);
};
