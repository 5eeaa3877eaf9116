#include "desktop/viewportpainter.h"

#include "desktop/viewportprojection.h"
#include "desktop/viewportskeleton.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

const QColor kBackground(0x33, 0x36, 0x3b);
const QColor kGridLine(0x46, 0x4a, 0x51);
const QColor kXAxis(0x9a, 0x4f, 0x4f);
const QColor kYAxis(0x5f, 0x9a, 0x58);
const QColor kZAxis(0x50, 0x68, 0xa0);
const QColor kBone(0x9a, 0xa4, 0xb1);
const QColor kJoint(0xd6, 0xdb, 0xe2);
const QColor kTransform(0x8c, 0x96, 0xa3);
const QColor kOutline(0x1d, 0x1f, 0x23);
const QColor kLabel(0xc8, 0xcc, 0xd2);

// The even side of the square each sprite is stamped from (logical pixels): no larger than the
// marker, since stamping costs by the pixel.
constexpr int kSpriteSide[] = {8, 8, 12, 16, 12, 20, 8, 8};
// Bone batches: plain bones by side, then bound, then selected ones.
constexpr std::size_t kBoundBones = 3;
constexpr std::size_t kSelectedBones = 4;
constexpr int kMaximumGridLines = 400;
constexpr double kHiddenBoneLength = 4.0; // pixels

// 1, 2 or 5 times a power of ten, the nearest at or above `value`.
double NiceStep(double value)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= value)
            return factor * power;
    }
    return 10.0 * power;
}

// The ground square the grid covers, in whole cells: around the skeleton's footprint and the
// origin, with cells about a tenth of the skeleton's size.
GroundGrid GridFor(const ViewportSkeleton& skeleton)
{
    GroundGrid grid;
    Vector3 minimum;
    Vector3 maximum;
    if (!skeleton.Bounds(&minimum, &maximum))
        return grid;
    const double size =
        std::max({maximum.x - minimum.x, maximum.y - minimum.y, maximum.z - minimum.z, 1e-6});
    grid.spacing = NiceStep(size / 10.0);
    // A square floor around the skeleton's footprint, reaching the origin.
    const double half = std::max(maximum.x - minimum.x, maximum.z - minimum.z) / 2.0;
    const double centreX = (minimum.x + maximum.x) / 2.0;
    const double centreZ = (minimum.z + maximum.z) / 2.0;
    for (;;) {
        const double reach = half + 2.0 * grid.spacing;
        grid.firstX = int(std::floor(std::min(centreX - reach, 0.0) / grid.spacing));
        grid.lastX = int(std::ceil(std::max(centreX + reach, 0.0) / grid.spacing));
        grid.firstZ = int(std::floor(std::min(centreZ - reach, 0.0) / grid.spacing));
        grid.lastZ = int(std::ceil(std::max(centreZ + reach, 0.0) / grid.spacing));
        if (grid.lastX - grid.firstX + grid.lastZ - grid.firstZ <= kMaximumGridLines)
            return grid;
        grid.spacing *= 2.0;
    }
}

// Cuts the line to the rectangle (Liang-Barsky); false when it misses it.
bool ClipToRect(QLineF* line, const QRectF& rect)
{
    const QPointF d = line->p2() - line->p1();
    double enter = 0.0;
    double leave = 1.0;
    const double p[] = {-d.x(), d.x(), -d.y(), d.y()};
    const double q[] = {line->x1() - rect.left(), rect.right() - line->x1(),
                        line->y1() - rect.top(), rect.bottom() - line->y1()};
    for (int side = 0; side < 4; ++side) {
        if (p[side] == 0.0) {
            if (q[side] < 0.0)
                return false;
            continue;
        }
        const double t = q[side] / p[side];
        if (p[side] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave)
            return false;
    }
    *line = QLineF(line->p1() + d * enter, line->p1() + d * leave);
    return true;
}

// The world segment on screen, cut at the near plane and to `screen`. Lines near the eye can
// project millions of pixels long; cut to the screen their coordinates stay in the range the
// raster engine draws directly.
bool ScreenLine(const ViewportCamera& camera, const Vector3& from, const Vector3& to,
                const QRectF& screen, QLineF* line)
{
    ViewPoint a = camera.ToView(from);
    ViewPoint b = camera.ToView(to);
    if (!ClipToNearPlane(&a, &b, camera.NearDepth()))
        return false;
    *line = QLineF(camera.ToScreen(a), camera.ToScreen(b));
    return ClipToRect(line, screen);
}

QPen LinePen(const QColor& color, qreal width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void DrawCircle(QPainter& painter, const QPointF& centre, qreal radius, const QColor& fill,
                const QColor& outline, qreal outlineWidth)
{
    painter.setPen(QPen(outline, outlineWidth));
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);
}

void DrawSquare(QPainter& painter, const QPointF& centre, qreal half, const QColor& fill,
                const QColor& outline, qreal outlineWidth)
{
    painter.setPen(QPen(outline, outlineWidth));
    painter.setBrush(fill);
    painter.drawRect(QRectF(centre.x() - half, centre.y() - half, 2 * half, 2 * half));
}

void DrawDiamond(QPainter& painter, const QPointF& centre, qreal half, const QColor& fill,
                 const QColor& outline, qreal outlineWidth)
{
    painter.setPen(QPen(outline, outlineWidth));
    painter.setBrush(fill);
    const QPointF diamond[] = {centre + QPointF(0, -half), centre + QPointF(half, 0),
                               centre + QPointF(0, half), centre + QPointF(-half, 0)};
    painter.drawPolygon(diamond, 4);
}

} // namespace

ViewportPainter::ViewportPainter()
{
    const QString names[] = {QStringLiteral("Perspective"), QStringLiteral("Front"),
                             QStringLiteral("Side"), QStringLiteral("Top")};
    for (std::size_t i = 0; i < m_viewLabels.size(); ++i) {
        m_viewLabels[i].setText(names[i]);
        m_viewLabels[i].setPerformanceHint(QStaticText::AggressiveCaching);
    }
    const QString axes[] = {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
    for (std::size_t i = 0; i < m_axisLabels.size(); ++i)
        m_axisLabels[i].setText(axes[i]);
    m_sideLabels[0].setText(QStringLiteral("Left"));
    m_sideLabels[1].setText(QStringLiteral("Right"));
}

void ViewportPainter::Paint(QPainter& painter, const ViewportCamera& camera,
                            const ViewportSkeleton& skeleton, const ViewportProjection& projection)
{
    const QRect area(QPoint(0, 0), camera.ScreenSize());
    PaintGround(painter, camera, skeleton);
    painter.setRenderHint(QPainter::Antialiasing, true);
    PaintBones(painter, camera, skeleton, projection);
    PaintMarkers(painter, area, skeleton, projection);
    PaintAxes(painter, camera);
    PaintLabel(painter, camera.View());
}

void ViewportPainter::PaintGround(QPainter& painter, const ViewportCamera& camera,
                                  const ViewportSkeleton& skeleton)
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    const GroundGrid grid = GridFor(skeleton);
    const bool cached = !m_ground.isNull() && camera == m_groundCamera && grid == m_groundGrid &&
                        m_ground.devicePixelRatio() == ratio;
    // While the camera moves every frame draws the ground afresh; the first frame that shows
    // the same ground again keeps it, for the frames that only redraw the skeleton.
    const bool still = camera == m_lastCamera && grid == m_lastGrid;
    m_lastCamera = camera;
    m_lastGrid = grid;
    if (!cached && !still) {
        painter.fillRect(QRect(QPoint(0, 0), camera.ScreenSize()), kBackground);
        PaintGrid(painter, camera, grid);
        return;
    }
    if (!cached) {
        const QSize pixels = camera.ScreenSize() * ratio;
        if (m_ground.size() != pixels)
            m_ground = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_ground.setDevicePixelRatio(ratio);
        QPainter groundPainter(&m_ground);
        groundPainter.fillRect(QRect(QPoint(0, 0), camera.ScreenSize()), kBackground);
        PaintGrid(groundPainter, camera, grid);
        m_groundCamera = camera;
        m_groundGrid = grid;
    }
    // The ground is opaque: copying it is cheaper than blending it.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0.0, 0.0), m_ground);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void ViewportPainter::PaintGrid(QPainter& painter, const ViewportCamera& camera,
                                const GroundGrid& grid)
{
    const double x0 = grid.firstX * grid.spacing;
    const double x1 = grid.lastX * grid.spacing;
    const double z0 = grid.firstZ * grid.spacing;
    const double z1 = grid.lastZ * grid.spacing;
    m_gridLines.clear();
    const QRectF screen = QRectF(QPointF(0, 0), camera.ScreenSize()).adjusted(-2, -2, 2, 2);
    QLineF line;
    for (int i = grid.firstX; i <= grid.lastX; ++i) {
        const double x = i * grid.spacing;
        if (i != 0 && ScreenLine(camera, {x, 0.0, z0}, {x, 0.0, z1}, screen, &line))
            m_gridLines.push_back(line);
    }
    for (int i = grid.firstZ; i <= grid.lastZ; ++i) {
        const double z = i * grid.spacing;
        if (i != 0 && ScreenLine(camera, {x0, 0.0, z}, {x1, 0.0, z}, screen, &line))
            m_gridLines.push_back(line);
    }
    // One-pixel pens keep the raster engine on its fast line path; antialiased, it is also
    // faster than the plain one there (measured), besides looking better.
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kGridLine, 1.0));
    painter.drawLines(m_gridLines.data(), int(m_gridLines.size()));
    // The two ground axes through the origin, in the colours of the axis cross.
    if (ScreenLine(camera, {x0, 0.0, 0.0}, {x1, 0.0, 0.0}, screen, &line)) {
        painter.setPen(QPen(kXAxis, 1.0));
        painter.drawLine(line);
    }
    if (ScreenLine(camera, {0.0, 0.0, z0}, {0.0, 0.0, z1}, screen, &line)) {
        painter.setPen(QPen(kZAxis, 1.0));
        painter.drawLine(line);
    }
}

void ViewportPainter::PaintBones(QPainter& painter, const ViewportCamera& camera,
                                 const ViewportSkeleton& skeleton,
                                 const ViewportProjection& projection)
{
    for (std::vector<QLineF>& lines : m_boneLines)
        lines.clear();
    const std::vector<ViewportSkeleton::Item>& items = skeleton.Items();
    const QRectF screen = QRectF(QPointF(0, 0), camera.ScreenSize()).adjusted(-4, -4, 4, 4);
    QLineF line;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ViewportSkeleton::Item& item = items[i];
        if (item.parent < 0 || !projection.Segment(item.parent, int(i), camera, &line) ||
            !ClipToRect(&line, screen))
            continue;
        // A bone takes the state and side of the joint it leads to.
        const std::size_t batch = item.selected ? kSelectedBones
                                  : item.kind == ViewportSkeleton::Kind::BoundJoint
                                      ? kBoundBones
                                      : std::size_t(item.side);
        // A plain bone this short lies wholly under the markers at its two ends (each at least
        // 2.5 pixels across from its centre, placed within half a pixel): drawing it shows
        // nothing, and dense crowds have thousands of them.
        const QPointF d = line.p2() - line.p1();
        if (batch < kBoundBones &&
            d.x() * d.x() + d.y() * d.y() <= kHiddenBoneLength * kHiddenBoneLength)
            continue;
        m_boneLines[batch].push_back(line);
    }
    // Plain bones are one pixel wide: the raster engine draws those without a stroker, which
    // is what keeps ten thousand of them fast. The few highlighted ones are wider.
    const QColor colors[] = {kBone, LeftColor(), RightColor(), BoundColor(), SelectedColor()};
    const qreal widths[] = {1.0, 1.0, 1.0, 2.0, 2.5};
    for (std::size_t batch = 0; batch < m_boneLines.size(); ++batch) {
        painter.setPen(QPen(colors[batch], widths[batch]));
        painter.drawLines(m_boneLines[batch].data(), int(m_boneLines[batch].size()));
    }
}

void ViewportPainter::PaintMarkers(QPainter& painter, const QRectF& area,
                                   const ViewportSkeleton& skeleton,
                                   const ViewportProjection& projection)
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (ratio != m_spriteRatio)
        MakeSprites(ratio);
    const std::vector<ViewportSkeleton::Item>& items = skeleton.Items();
    const qreal margin = kSpriteSide[SelectedBoundSprite] / 2.0;
    const QRectF reach = area.adjusted(-margin, -margin, margin, margin);
    // Bound markers go over plain ones and selected markers over both, so that neither hides
    // under an unbound neighbour drawn at the same place (a hip joint's children often are).
    const auto layerOf = [](const ViewportSkeleton::Item& item) {
        return item.selected ? 2 : (item.kind == ViewportSkeleton::Kind::BoundJoint ? 1 : 0);
    };
    for (const int layer : {0, 1, 2}) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            const ViewportSkeleton::Item& item = items[i];
            if (layerOf(item) != layer || !projection.IsVisible(int(i)))
                continue;
            const QPointF& at = projection.ScreenPosition(int(i));
            if (!reach.contains(at))
                continue;
            int sprite = item.kind == ViewportSkeleton::Kind::Joint
                             ? JointSprite
                             : (item.kind == ViewportSkeleton::Kind::BoundJoint ? BoundSprite
                                                                                : TransformSprite);
            if (item.selected)
                sprite += SelectedJointSprite;
            else if (sprite == JointSprite && item.side != ViewportSkeleton::Side::Centre)
                sprite =
                    item.side == ViewportSkeleton::Side::Left ? LeftJointSprite : RightJointSprite;
            // Whole pixels keep the raster engine on its plain blending path.
            const qreal half = kSpriteSide[sprite] / 2;
            painter.drawImage(QPointF(std::round(at.x() - half), std::round(at.y() - half)),
                              m_sprites[sprite]);
        }
    }
}

void ViewportPainter::PaintAxes(QPainter& painter, const ViewportCamera& camera)
{
    constexpr qreal kLength = 22.0; // pixels
    const QPointF origin(16.0 + kLength, camera.ScreenSize().height() - 16.0 - kLength);
    const Vector3 axes[] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
    const QColor colors[] = {kXAxis.lighter(150), kYAxis.lighter(150), kZAxis.lighter(150)};
    for (int axis = 0; axis < 3; ++axis) {
        const ViewPoint d = camera.ToViewDirection(axes[axis]);
        const QPointF direction(d.right, -d.up);
        painter.setPen(LinePen(colors[axis], 2.0));
        painter.drawLine(origin, origin + direction * kLength);
        // An axis pointing at the viewer or away shows as the dot of the line's cap alone.
        if (std::abs(d.depth) > 0.95)
            continue;
        const QPointF labelAt = origin + direction * (kLength + 7.0);
        const QSizeF size = m_axisLabels[axis].size();
        painter.drawStaticText(labelAt - QPointF(size.width() / 2, size.height() / 2),
                               m_axisLabels[axis]);
    }
}

void ViewportPainter::PaintLabel(QPainter& painter, ViewportView view)
{
    painter.setPen(kLabel);
    painter.drawStaticText(QPointF(10.0, 8.0), m_viewLabels[int(view)]);
    // The legend of the side tints, under the view's name: a swatch, then its word.
    qreal x = 10.0;
    const qreal y = 8.0 + m_viewLabels[int(view)].size().height() + 4.0;
    const QColor swatches[] = {LeftColor(), RightColor()};
    for (std::size_t side = 0; side < m_sideLabels.size(); ++side) {
        const qreal height = m_sideLabels[side].size().height();
        DrawCircle(painter, QPointF(x + 4.0, y + height / 2.0), 3.2, swatches[side], kOutline, 1.0);
        painter.setPen(kLabel);
        painter.drawStaticText(QPointF(x + 11.0, y), m_sideLabels[side]);
        x += 11.0 + m_sideLabels[side].size().width() + 12.0;
    }
}

void ViewportPainter::MakeSprites(qreal devicePixelRatio)
{
    m_spriteRatio = devicePixelRatio;
    for (int sprite = 0; sprite < SpriteCount; ++sprite) {
        const int side = int(std::ceil(kSpriteSide[sprite] * devicePixelRatio));
        QImage& image = m_sprites[sprite];
        image = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.translate(side / 2.0, side / 2.0);
        painter.scale(devicePixelRatio, devicePixelRatio);
        const QPointF centre(0.0, 0.0);
        switch (sprite) {
        case JointSprite:
            DrawCircle(painter, centre, 3.2, kJoint, kOutline, 1.0);
            break;
        case TransformSprite:
            DrawSquare(painter, centre, 2.5, kTransform, kOutline, 1.0);
            break;
        case BoundSprite:
            DrawDiamond(painter, centre, 5.0, BoundColor(), kOutline, 1.0);
            break;
        case SelectedJointSprite:
            DrawCircle(painter, centre, 6.0, SelectedColor(), kOutline, 1.5);
            break;
        case SelectedTransformSprite:
            DrawSquare(painter, centre, 4.5, SelectedColor(), kOutline, 1.5);
            break;
        case SelectedBoundSprite:
            DrawDiamond(painter, centre, 7.5, SelectedColor(), BoundColor(), 2.0);
            break;
        case LeftJointSprite:
            DrawCircle(painter, centre, 3.2, LeftColor(), kOutline, 1.0);
            break;
        case RightJointSprite:
            DrawCircle(painter, centre, 3.2, RightColor(), kOutline, 1.0);
            break;
        }
        painter.end();
        image.setDevicePixelRatio(devicePixelRatio);
    }
}

} // namespace kestrel
