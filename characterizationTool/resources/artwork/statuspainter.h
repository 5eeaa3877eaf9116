// Drawing of everything that shows a validation status: parts, the status light, arrows and
// tree bubbles.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QSize>

// Status values as the tool stores them: 0 not set, 1 valid, 2 warning, 3 error. Every
// status has its own colour and its own pattern or glyph, so it reads without colour too.
class StatusPainter
{
public:
    static QColor StatusColour(int status);

    // The image of one part in image-state key 0-11 (the twelve file suffixes): keys 0-3 the
    // plain part filled in its status, 4-11 the overlay drawn over the plain part for
    // "selected" (a white ring inside the outline) or "picked" (a thick yellow ring and corner
    // brackets). Overlays are transparent outside their marks.
    static QImage Part(QSize size, const QPainterPath& shape, int key);

    // 36 x 36 overall status light: grey dash, green disc with a tick, amber triangle with an
    // exclamation mark, red octagon with a cross.
    static QImage StatusLight(int status);

    // 16 x 16 arrow to a detail page, in status colour and shape (dashed circle, circle,
    // striped diamond, cross-hatched square); `roll` marks the roll pages.
    static QImage GoToArrow(int status, bool roll);

    // 16 x 16 tree bubble; `highlight` adds the yellow ring of the read-write edited node.
    static QImage Bubble(int status, bool highlight);
};
