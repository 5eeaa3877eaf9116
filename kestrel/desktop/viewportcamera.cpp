#include "desktop/viewportcamera.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrel {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kVerticalFieldOfView = 45.0 * kPi / 180.0; // radians
constexpr double kOrbitRadiansPerPixel = 0.5 * kPi / 180.0;
constexpr double kMaximumPitch = 89.0 * kPi / 180.0;
constexpr double kFrameMargin = 1.08; // leaves a little room around a framed box
constexpr double kMinimumDistance = 1e-6;
constexpr double kMaximumDistance = 1e9;

} // namespace

ViewportCamera::ViewportCamera()
    : m_yaw(30.0 * kPi / 180.0)
    , m_pitch(20.0 * kPi / 180.0)
{
    UpdateBasis();
}

void ViewportCamera::SetView(ViewportView view)
{
    m_view = view;
    UpdateBasis();
}

void ViewportCamera::SetScreenSize(const QSize& size)
{
    m_screen = QSize(std::max(1, size.width()), std::max(1, size.height()));
    UpdateBasis();
}

void ViewportCamera::Orbit(double dxPixels, double dyPixels)
{
    if (IsOrthographic())
        return;
    m_yaw -= dxPixels * kOrbitRadiansPerPixel;
    m_yaw = std::remainder(m_yaw, 2.0 * kPi);
    m_pitch = std::clamp(m_pitch + dyPixels * kOrbitRadiansPerPixel, -kMaximumPitch, kMaximumPitch);
    UpdateBasis();
}

void ViewportCamera::Pan(double dxPixels, double dyPixels)
{
    const double units = UnitsPerPixel();
    m_target = m_target - m_right * (dxPixels * units) + m_up * (dyPixels * units);
    UpdateBasis();
}

void ViewportCamera::Zoom(double factor)
{
    if (!(factor > 0.0) || !std::isfinite(factor))
        return;
    m_distance = std::clamp(m_distance / factor, kMinimumDistance, kMaximumDistance);
    UpdateBasis();
}

void ViewportCamera::Frame(const Vector3& minimum, const Vector3& maximum, double minimumRadius)
{
    m_target = (minimum + maximum) * 0.5;
    const double aspect = double(m_screen.width()) / m_screen.height();
    const double tanHalfHeight = std::tan(kVerticalFieldOfView / 2.0);
    const double tanHalfWidth = tanHalfHeight * aspect;
    // Each corner of the box, relative to its centre, asks for a distance along the view
    // direction; the farthest ask wins. Corners inside the view mean the whole box is inside,
    // since box and view volume are both convex.
    double distance = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        const Vector3 p((corner & 1) ? maximum.x : minimum.x, (corner & 2) ? maximum.y : minimum.y,
                        (corner & 4) ? maximum.z : minimum.z);
        const Vector3 d = p - m_target;
        const double across = std::abs(Dot(d, m_right)) * kFrameMargin;
        const double up = std::abs(Dot(d, m_up)) * kFrameMargin;
        // Orthographic views show at the target's depth what the perspective view shows there.
        const double towardsEye = IsOrthographic() ? 0.0 : -Dot(d, m_forward);
        distance = std::max({distance, across / tanHalfWidth + towardsEye,
                             up / tanHalfHeight + towardsEye, towardsEye * kFrameMargin});
    }
    distance = std::max(distance, minimumRadius / tanHalfHeight);
    if (std::isfinite(distance) && distance > 0.0)
        m_distance = std::clamp(distance, kMinimumDistance, kMaximumDistance);
    UpdateBasis();
}

ViewPoint ViewportCamera::ToView(const Vector3& world) const
{
    const Vector3 d = world - m_origin;
    return {Dot(d, m_right), Dot(d, m_up), Dot(d, m_forward)};
}

ViewPoint ViewportCamera::ToViewDirection(const Vector3& direction) const
{
    return {Dot(direction, m_right), Dot(direction, m_up), Dot(direction, m_forward)};
}

QPointF ViewportCamera::ToScreen(const ViewPoint& point) const
{
    const double scale = IsOrthographic() ? m_pixelsPerUnit : m_pixelsPerUnit / point.depth;
    return {m_screen.width() * 0.5 + point.right * scale,
            m_screen.height() * 0.5 - point.up * scale};
}

double ViewportCamera::NearDepth() const
{
    return IsOrthographic() ? std::numeric_limits<double>::lowest() : m_distance * 1e-3;
}

bool ViewportCamera::Project(const Vector3& world, QPointF* screen) const
{
    const ViewPoint point = ToView(world);
    if (point.depth < NearDepth())
        return false;
    *screen = ToScreen(point);
    return true;
}

double ViewportCamera::UnitsPerPixel() const
{
    return m_distance * std::tan(kVerticalFieldOfView / 2.0) / (m_screen.height() * 0.5);
}

Vector3 ViewportCamera::Eye() const
{
    const Vector3 towardsEye(std::sin(m_yaw) * std::cos(m_pitch), std::sin(m_pitch),
                             std::cos(m_yaw) * std::cos(m_pitch));
    return m_target + towardsEye * m_distance;
}

void ViewportCamera::UpdateBasis()
{
    const double focalPixels = (m_screen.height() * 0.5) / std::tan(kVerticalFieldOfView / 2.0);
    switch (m_view) {
    case ViewportView::Perspective:
        m_origin = Eye();
        m_forward = Normalized(m_target - m_origin);
        m_right = Normalized(Cross(m_forward, Vector3(0.0, 1.0, 0.0)));
        m_up = Cross(m_right, m_forward);
        m_pixelsPerUnit = focalPixels;
        return;
    case ViewportView::Front:
        m_forward = Vector3(0.0, 0.0, -1.0);
        m_right = Vector3(1.0, 0.0, 0.0);
        m_up = Vector3(0.0, 1.0, 0.0);
        break;
    case ViewportView::Side:
        m_forward = Vector3(-1.0, 0.0, 0.0);
        m_right = Vector3(0.0, 0.0, -1.0);
        m_up = Vector3(0.0, 1.0, 0.0);
        break;
    case ViewportView::Top:
        m_forward = Vector3(0.0, -1.0, 0.0);
        m_right = Vector3(1.0, 0.0, 0.0);
        m_up = Vector3(0.0, 0.0, -1.0);
        break;
    }
    m_origin = m_target;
    m_pixelsPerUnit = focalPixels / m_distance;
}

} // namespace kestrel
