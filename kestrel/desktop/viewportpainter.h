// Paints one frame of the viewport: ground grid, bones, joint markers, axes and the view name.
#pragma once

#include "desktop/viewportcamera.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QStaticText>

#include <array>
#include <vector>

namespace kestrel {

class ViewportProjection;
class ViewportSkeleton;

// The square of ground lines under the skeleton: cells `spacing` scene units wide, lines at
// whole multiples of it from first to last along x and z.
struct GroundGrid
{
    double spacing = 1.0;
    int firstX = -5;
    int lastX = 5;
    int firstZ = -5;
    int lastZ = 5;

    bool operator==(const GroundGrid& other) const
    {
        return spacing == other.spacing && firstX == other.firstX && lastX == other.lastX &&
               firstZ == other.firstZ && lastZ == other.lastZ;
    }
};

// Draws what it is given and keeps nothing of it between frames except its line and marker
// buffers, which it reuses so that a frame allocates nothing once the scene's size is known.
// Markers are stamped from small images drawn once.
class ViewportPainter
{
public:
    // Marker and bone colours, also what a person reads in the picture: light grey joints,
    // teal diamonds for joints bound to a character, larger amber markers for the selection.
    static QColor SelectedColor() { return QColor(0xff, 0xb2, 0x3f); }
    static QColor BoundColor() { return QColor(0x3f, 0xc1, 0xc9); }
    // Plain joints and bones of the left and right limbs, named in the legend under the view's
    // name: periwinkle left, rose right (apart for red-green colour blindness, and from the
    // bound teal and the selected amber).
    static QColor LeftColor() { return QColor(0x8a, 0x9e, 0xf5); }
    static QColor RightColor() { return QColor(0xee, 0x86, 0x8f); }

    ViewportPainter();

    void Paint(QPainter& painter, const ViewportCamera& camera, const ViewportSkeleton& skeleton,
               const ViewportProjection& projection);

private:
    enum Sprite
    {
        JointSprite,
        TransformSprite,
        BoundSprite,
        SelectedJointSprite,
        SelectedTransformSprite,
        SelectedBoundSprite,
        LeftJointSprite,
        RightJointSprite,
        SpriteCount,
    };

    // Background and grid; kept as an image while the camera and grid stay the same.
    void PaintGround(QPainter& painter, const ViewportCamera& camera,
                     const ViewportSkeleton& skeleton);
    void PaintGrid(QPainter& painter, const ViewportCamera& camera, const GroundGrid& grid);
    void PaintBones(QPainter& painter, const ViewportCamera& camera,
                    const ViewportSkeleton& skeleton, const ViewportProjection& projection);
    void PaintMarkers(QPainter& painter, const QRectF& area, const ViewportSkeleton& skeleton,
                      const ViewportProjection& projection);
    void PaintAxes(QPainter& painter, const ViewportCamera& camera);
    void PaintLabel(QPainter& painter, ViewportView view);
    void MakeSprites(qreal devicePixelRatio);

    // One small ARGB32 premultiplied image per marker: stamping a whole image at a whole
    // pixel is the raster engine's cheapest drawing call.
    std::array<QImage, SpriteCount> m_sprites;
    qreal m_spriteRatio = 0.0; // device pixel ratio the sprites were drawn for
    std::array<QStaticText, 4> m_viewLabels;
    std::array<QStaticText, 3> m_axisLabels;
    std::array<QStaticText, 2> m_sideLabels; // "Left", "Right"

    QImage m_ground;
    ViewportCamera m_groundCamera; // what m_ground was drawn for
    GroundGrid m_groundGrid;
    ViewportCamera m_lastCamera; // what the last frame was drawn for
    GroundGrid m_lastGrid;
    std::vector<QLineF> m_gridLines;
    // Plain centre, plain left, plain right, bound, selected.
    std::array<std::vector<QLineF>, 5> m_boneLines;
};

} // namespace kestrel
