// The skeleton as the camera sees it: screen positions kept between frames, and picking.
#pragma once

#include "desktop/viewportcamera.h"

#include <QLineF>
#include <QPointF>

#include <cstdint>
#include <vector>

namespace kestrel {

class ViewportSkeleton;

// Camera-space and screen positions of every item of a ViewportSkeleton, worked out once per
// change of camera or scene rather than once per frame. Indices are the skeleton's.
class ViewportProjection
{
public:
    // Projects every item; the skeleton and camera are read, not kept.
    void Update(const ViewportSkeleton& skeleton, const ViewportCamera& camera);

    int Count() const { return static_cast<int>(m_screen.size()); }
    // False for items before the perspective eye's near plane.
    bool IsVisible(int index) const { return m_visible[index] != 0; }
    // Widget pixels; meaningful for visible items only.
    const QPointF& ScreenPosition(int index) const { return m_screen[index]; }
    // The segment between two items on screen, cut at the near plane; false when it lies
    // wholly before it.
    bool Segment(int from, int to, const ViewportCamera& camera, QLineF* line) const;

    // The visible item whose screen position lies nearest to `position` and at most
    // `tolerance` pixels away, or -1. Of items at the same spot the one nearest the eye wins.
    int Pick(const QPointF& position, double tolerance) const;

private:
    std::vector<ViewPoint> m_view;
    std::vector<QPointF> m_screen;
    std::vector<std::uint8_t> m_visible;
};

// Cuts the segment where it crosses `nearDepth`; false when both ends lie before it.
bool ClipToNearPlane(ViewPoint* a, ViewPoint* b, double nearDepth);

} // namespace kestrel
