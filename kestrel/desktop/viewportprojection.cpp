#include "desktop/viewportprojection.h"

#include "desktop/viewportskeleton.h"

#include <cmath>

namespace kestrel {

bool ClipToNearPlane(ViewPoint* a, ViewPoint* b, double nearDepth)
{
    const bool aBefore = a->depth < nearDepth;
    const bool bBefore = b->depth < nearDepth;
    if (aBefore && bBefore)
        return false;
    if (aBefore || bBefore) {
        ViewPoint* cut = aBefore ? a : b;
        const ViewPoint& keep = aBefore ? *b : *a;
        const double t = (nearDepth - keep.depth) / (cut->depth - keep.depth);
        cut->right = keep.right + (cut->right - keep.right) * t;
        cut->up = keep.up + (cut->up - keep.up) * t;
        cut->depth = nearDepth;
    }
    return true;
}

void ViewportProjection::Update(const ViewportSkeleton& skeleton, const ViewportCamera& camera)
{
    const std::vector<ViewportSkeleton::Item>& items = skeleton.Items();
    const double nearDepth = camera.NearDepth();
    m_view.resize(items.size());
    m_screen.resize(items.size());
    m_visible.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        m_view[i] = camera.ToView(items[i].world);
        m_visible[i] = m_view[i].depth >= nearDepth;
        if (m_visible[i])
            m_screen[i] = camera.ToScreen(m_view[i]);
    }
}

bool ViewportProjection::Segment(int from, int to, const ViewportCamera& camera, QLineF* line) const
{
    if (m_visible[from] && m_visible[to]) {
        *line = QLineF(m_screen[from], m_screen[to]);
        return true;
    }
    ViewPoint a = m_view[from];
    ViewPoint b = m_view[to];
    if (!ClipToNearPlane(&a, &b, camera.NearDepth()))
        return false;
    *line = QLineF(camera.ToScreen(a), camera.ToScreen(b));
    return true;
}

int ViewportProjection::Pick(const QPointF& position, double tolerance) const
{
    constexpr double kSameSpot = 0.25; // squared pixels within which items count as stacked
    const double limit = tolerance * tolerance;
    int best = -1;
    double bestDistance = 0.0;
    for (int i = 0; i < Count(); ++i) {
        if (!m_visible[i])
            continue;
        const QPointF d = m_screen[i] - position;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance > limit)
            continue;
        const bool stacked = best >= 0 && std::abs(distance - bestDistance) <= kSameSpot;
        const bool better =
            stacked ? m_view[i].depth < m_view[best].depth : best < 0 || distance < bestDistance;
        if (better) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace kestrel
