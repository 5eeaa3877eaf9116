// The viewport's camera: where it looks from, and how world points land on the screen.
#pragma once

#include "scene/vector3.h"

#include <QPointF>
#include <QSize>

namespace kestrel {

// The four ways the viewport looks at the scene. World space is Y-up; a character faces +z
// with its left on +x.
enum class ViewportView
{
    Perspective, // orbiting camera, a 45 degree vertical field of view
    Front,       // orthographic from +z: +x to the right, +y up
    Side,        // orthographic from +x: -z to the right, +y up
    Top,         // orthographic from +y: +x to the right, -z up
};

// A point in camera space: `right` and `up` along the screen axes and `depth` along the view
// direction, all in scene units, measured from the eye (perspective) or from the target
// (orthographic views).
struct ViewPoint
{
    double right = 0.0;
    double up = 0.0;
    double depth = 0.0;
};

// A plain value: a view, the point it looks at, how far it stands back and, for the
// perspective view, its orbit angles. The orthographic views show the same extent the
// perspective view shows at the target's depth, so switching views keeps the framing.
// Screen coordinates are widget pixels, origin top left, y down.
class ViewportCamera
{
public:
    ViewportCamera();

    ViewportView View() const { return m_view; }
    void SetView(ViewportView view);

    // The widget's size in pixels; empty sizes count as 1 x 1.
    QSize ScreenSize() const { return m_screen; }
    void SetScreenSize(const QSize& size);

    // The point the camera looks at and orbits around (world space, scene units).
    Vector3 Target() const { return m_target; }
    // Distance from the target to the perspective eye (scene units, > 0).
    double Distance() const { return m_distance; }

    // Turns the perspective view around the target by a mouse movement in pixels: right
    // turns the scene to the right, down tilts it towards the viewer. Pitch stays within
    // +-89 degrees. The orthographic views keep their fixed direction.
    void Orbit(double dxPixels, double dyPixels);
    // Moves the target so that what was under the cursor follows a mouse movement in pixels.
    void Pan(double dxPixels, double dyPixels);
    // Divides the distance by `factor` (> 1 comes closer); other factors are ignored.
    void Zoom(double factor);
    // Looks at the box (world space) from the current direction, just filling the screen. The
    // view shows at least `minimumRadius` above and below the box's centre, so that a single
    // point is framed with some room around it.
    void Frame(const Vector3& minimum, const Vector3& maximum, double minimumRadius);

    // Camera space of a world point.
    ViewPoint ToView(const Vector3& world) const;
    // Camera-space axes of a world direction (no translation, no perspective).
    ViewPoint ToViewDirection(const Vector3& direction) const;
    // Screen position of a camera-space point; only meaningful for points at or beyond
    // NearDepth().
    QPointF ToScreen(const ViewPoint& point) const;
    // Points closer than this are behind the perspective eye's near plane and must be clipped
    // before ToScreen; orthographic views clip nothing (a very low value).
    double NearDepth() const;
    // Screen position of a world point; false (and `screen` untouched) when it lies before
    // the near plane.
    bool Project(const Vector3& world, QPointF* screen) const;

    // Scene units one pixel covers at the target's depth.
    double UnitsPerPixel() const;

    // Same view, screen, target, distance and orbit angles: the same picture.
    bool operator==(const ViewportCamera& other) const
    {
        return m_view == other.m_view && m_screen == other.m_screen && m_target == other.m_target &&
               m_distance == other.m_distance && m_yaw == other.m_yaw && m_pitch == other.m_pitch;
    }

private:
    void UpdateBasis();
    bool IsOrthographic() const { return m_view != ViewportView::Perspective; }
    Vector3 Eye() const;

    ViewportView m_view = ViewportView::Perspective;
    QSize m_screen{640, 480};
    Vector3 m_target;
    double m_distance = 10.0;
    double m_yaw = 0.0;   // radians about +y; 0 looks from +z
    double m_pitch = 0.0; // radians; positive looks down from above

    // Derived from the members above by UpdateBasis().
    Vector3 m_right;
    Vector3 m_up;
    Vector3 m_forward;
    Vector3 m_origin;           // eye (perspective) or target (orthographic)
    double m_pixelsPerUnit = 1; // orthographic scale, and perspective focal length in pixels
};

} // namespace kestrel
