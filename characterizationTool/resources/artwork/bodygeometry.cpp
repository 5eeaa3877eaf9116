#include "bodygeometry.h"

#include "diagramlayout.h"

#include <QLineF>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

// Page 0's body is symmetric about this column (pixels); the left side of the body is drawn on
// the right of the page, as a front view shows it.
constexpr qreal kBodyAxisTimesTwo = 251.0;

// Digit image sizes are bounded so the items stay small targets (pixels).
constexpr qreal kDigitMaxWidth = 36.0;
constexpr qreal kDigitMaxHeight = 95.0;
constexpr qreal kDigitMinWidth = 13.0;
constexpr qreal kDigitMinHeight = 19.0;

// A polyline of round-capped width 2 * radius.
QPainterPath Stroke(const QVector<QPointF>& line, qreal radius)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(line));
    QPainterPathStroker stroker;
    stroker.setWidth(2 * radius);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path).simplified();
}

QPainterPath Capsule(QPointF a, QPointF b, qreal radius)
{
    return Stroke(QVector<QPointF>{a, b}, radius);
}

// A limb that narrows from radius ra at a to rb at b.
QPainterPath Tapered(QPointF a, QPointF b, qreal ra, qreal rb)
{
    const QLineF axis(a, b);
    const QLineF normal = axis.normalVector().unitVector();
    const QPointF n(normal.dx(), normal.dy());
    QPainterPath path;
    path.addPolygon(QVector<QPointF>{a + n * ra, b + n * rb, b - n * rb, a - n * ra, a + n * ra});
    QPainterPath ends;
    ends.addEllipse(a, ra, ra);
    ends.addEllipse(b, rb, rb);
    return path.united(ends).simplified();
}

QPainterPath Ellipse(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

QPainterPath Polygon(const QVector<QPointF>& points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPainterPath Dashed(const QPainterPath& line, qreal width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setDashPattern({4, 3});
    return stroker.createStroke(line);
}

// Mirror inside an image of the given width: a right-side part drawn from its left twin.
QPainterPath MirroredInImage(const QPainterPath& shape, qreal width)
{
    return QTransform(-1, 0, 0, 1, width, 0).map(shape);
}

QPolygonF ConvexHull(QVector<QPointF> points)
{
    std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    });
    const auto cross = [](QPointF o, QPointF a, QPointF b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
    };
    QVector<QPointF> hull(2 * points.size());
    int k = 0;
    for (int i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    for (int i = points.size() - 2, lower = k + 1; i >= 0; --i) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(std::max(0, k - 1));
    return QPolygonF(hull);
}

const DiagramView& Page(int index)
{
    return DiagramLayout::Instance().views[index];
}

} // namespace

BodyGeometry::BodyGeometry()
    : m_bodies(DiagramLayout::kPageCount)
{
    BuildFullBody();
    for (int page = 1; page <= 4; ++page)
        BuildDigitPage(page, page >= 3);
    BuildStackPage(5);
    BuildStackPage(6);
    BuildCollarPage(7);
    BuildCollarPage(8);
    for (int page = 9; page <= 16; ++page)
        BuildRollPage(page);
}

void BodyGeometry::AddPart(const QString& imageBase, QSize size, const QPainterPath& shape)
{
    const bool known = std::any_of(m_parts.begin(), m_parts.end(), [&](const PartShape& part) {
        return part.imageBase == imageBase;
    });
    if (!known)
        m_parts.append({imageBase, size, shape});
}

void BodyGeometry::BuildFullBody()
{
    // Bones of the body's left side, in image pixels; the right side mirrors them.
    struct Bone
    {
        const char* name;
        QSize size;
        QPainterPath shape;
    };
    const Bone sided[] = {
        {"UpLeg", {16, 80}, Tapered({7.5, 7}, {9, 73}, 6.5, 5)},
        {"Leg", {16, 80}, Tapered({6.5, 7}, {9.5, 73}, 6, 5)},
        {"Foot", {17, 27}, Tapered({6.5, 6}, {10.5, 21}, 5, 5.5)},
        {"Arm", {19, 40}, Tapered({6.5, 6.5}, {12.5, 33.5}, 6, 5)},
        {"ForeArm", {22, 47}, Tapered({6.5, 6.5}, {15.5, 40.5}, 5.5, 4.5)},
        {"Hand", {15, 29}, Tapered({6.5, 6}, {8.5, 23}, 5, 4.5)},
    };
    const QString base = QStringLiteral("Bones/FullBody/");
    for (const DiagramElement& part : Page(0).parts) {
        const QString name = part.imageBase.mid(base.size());
        for (const Bone& bone : sided) {
            if (name == QLatin1String("Left") + QLatin1String(bone.name))
                AddPart(part.imageBase, bone.size, bone.shape);
            else if (name == QLatin1String("Right") + QLatin1String(bone.name))
                AddPart(part.imageBase, bone.size, MirroredInImage(bone.shape, bone.size.width()));
        }
    }
    AddPart(base + QStringLiteral("Head"), {15, 38}, Ellipse({7.5, 19}, 6, 17));
    AddPart(base + QStringLiteral("Hips"), {36, 15},
            Polygon({{2, 2}, {34, 2}, {34, 7}, {25, 13}, {11, 13}, {2, 7}}));
    AddPart(base + QStringLiteral("Spine"), {11, 22}, Capsule({5.5, 5}, {5.5, 17}, 4.5));
    AddPart(base + QStringLiteral("Reference"), {15, 32},
            Polygon({{7.5, 1}, {14, 16}, {7.5, 31}, {1, 16}}));
    // Hips translation: a double-headed arrow, it moves the whole body.
    AddPart(base + QStringLiteral("NotReq_LeftArm"), {22, 11},
            Polygon({{0.5, 5.5},
                     {6, 0.5},
                     {6, 3.5},
                     {16, 3.5},
                     {16, 0.5},
                     {21.5, 5.5},
                     {16, 10.5},
                     {16, 7.5},
                     {6, 7.5},
                     {6, 10.5}}));

    // The body's left half in page pixels (x > 125.5), mirrored for the right half.
    QPainterPath side;
    side = side.united(Tapered({163, 90}, {170, 120}, 10.5, 9)); // upper arm
    side = side.united(Tapered({172, 122}, {189, 168}, 9, 6.5)); // forearm
    side = side.united(Ellipse({197, 184}, 6.5, 8.5));           // palm
    side = side.united(Capsule({202, 180}, {207, 190}, 1.7));    // thumb
    for (int finger = 0; finger < 4; ++finger)                   // four fingers
        side =
            side.united(Capsule({192.0 + 3.2 * finger, 190}, {191.5 + 3.6 * finger, 202.5}, 1.5));
    side = side.united(Tapered({145, 190}, {148, 262}, 14, 10)); // thigh
    side = side.united(Tapered({149, 264}, {154, 340}, 10, 7));  // shin
    side = side.united(Tapered({157, 344}, {162, 364}, 7, 9));   // foot, seen from the front
    for (int toe = 0; toe < 5; ++toe)
        side = side.united(Ellipse({154.5 + 4 * toe, 370.5 - (toe == 0 ? 0.5 : 0)}, 2.3, 2.6));
    side = side.simplified();

    QPainterPath centre;
    centre = centre.united(Ellipse({125.5, 37}, 14, 20));              // head
    centre = centre.united(Tapered({125.5, 52}, {125.5, 76}, 7, 8.5)); // neck
    centre = centre.united(Polygon({{116, 72},
                                    {135, 72},
                                    {150, 80},
                                    {161, 84},
                                    {166, 94},
                                    {156, 128},
                                    {151, 158},
                                    {157, 190},
                                    {94, 190},
                                    {100, 158},
                                    {95, 128},
                                    {85, 94},
                                    {90, 84},
                                    {101, 80}})); // torso
    PageBody& body = m_bodies[0];
    body.flesh = centre.united(side)
                     .united(QTransform(-1, 0, 0, 1, kBodyAxisTimesTwo, 0).map(side))
                     .simplified();
    QPainterPath ground;
    ground.addEllipse(QPointF(125.5, 373), 70, 5);
    body.marks = Dashed(ground, 1);
}

void BodyGeometry::BuildDigitPage(int pageIndex, bool foot)
{
    const DiagramView& page = Page(pageIndex);
    // Layout order: the hub (finger or toe base), then six digits of five parts each, base
    // bone first, thumb or big toe first, the optional sixth digit last.
    constexpr int kDigits = 6;
    constexpr int kPerDigit = 5;
    const QPointF hubCorner(page.parts[0].x, page.parts[0].y);
    const QSizeF hubSize = foot ? QSizeF(26, 48) : QSizeF(36, 26);
    // Where the base bones meet the wrist or the middle of the foot.
    const bool mirrored = page.name.startsWith(QLatin1String("Right"));
    const qreal anchorX = mirrored ? kBodyAxisTimesTwo - (foot ? 125 : 112) : (foot ? 125 : 112);
    const qreal anchorY = foot ? 238 : 302;

    QPainterPath flesh;
    QPainterPath ghost;
    QVector<QPointF> palm;
    for (int digit = 0; digit < kDigits; ++digit) {
        const DiagramElement* parts = &page.parts[1 + digit * kPerDigit];
        const qreal r = digit == 0 ? (foot ? 7.5 : 6.5) : (foot ? 6 : 5.5);
        // Top joint of each part: the tip end of its bone.
        QPointF joint[kPerDigit];
        for (int k = 0; k < kPerDigit; ++k) {
            const qreal x =
                k + 1 < kPerDigit
                    ? std::max(parts[k].x, parts[k + 1].x) + r
                    : std::max(parts[k].x + r, joint[k - 1].x() + parts[k].x - parts[k - 1].x);
            joint[k] = QPointF(x, parts[k].y + r);
        }
        // The base bone runs from its top joint down towards the wrist or mid-foot, as far as
        // its image may reach.
        const DiagramElement& baseBone = parts[0];
        const qreal lowY = std::min(baseBone.y + kDigitMaxHeight - r - 1,
                                    digit == 0 && !foot ? anchorY + 26 : anchorY);
        const QPointF low(std::clamp(anchorX, baseBone.x + r, baseBone.x + kDigitMaxWidth - r),
                          lowY);
        QPolygonF chain;
        chain << low;
        for (int k = 0; k < kPerDigit; ++k) {
            const QPointF bottom = k == 0 ? low : joint[k - 1];
            const QPointF corner(parts[k].x, parts[k].y);
            const qreal width = std::clamp(std::max(bottom.x(), joint[k].x()) + r - corner.x(),
                                           kDigitMinWidth, kDigitMaxWidth);
            const qreal height =
                std::clamp(bottom.y() + r - corner.y(), kDigitMinHeight, kDigitMaxHeight);
            // Drawn a little thinner than its room so the digit's joints read as gaps.
            const QPointF shorten = (joint[k] - bottom) / QLineF(bottom, joint[k]).length() * 1.5;
            AddPart(parts[k].imageBase, QSize(int(std::ceil(width)), int(std::ceil(height))),
                    Capsule(joint[k] - corner - shorten, bottom - corner + shorten, r - 0.5));
            chain << joint[k];
        }
        const QPainterPath digitFlesh = Stroke(chain, r + 4);
        if (digit == kDigits - 1) {
            ghost = digitFlesh;
        } else {
            flesh = flesh.united(digitFlesh);
            palm << low << joint[0];
        }
    }
    const QRectF hubRect(hubCorner, hubSize);
    palm << hubRect.topLeft() << hubRect.topRight() << hubRect.bottomLeft()
         << hubRect.bottomRight();
    if (foot) {
        // The sole runs from the toes' bases round the heel.
        const QPointF heel(hubRect.center().x(), 318);
        for (int step = 0; step < 24; ++step) {
            const qreal angle = step * M_PI / 12;
            palm << heel + QPointF(40 * std::cos(angle), 52 * std::sin(angle));
        }
    } else {
        flesh = flesh.united(Tapered(hubRect.center() + QPointF(0, 8), {hubRect.center().x(), 400},
                                     32, 30)); // forearm
    }
    QPolygonF outline = ConvexHull(palm);
    outline << outline.first();
    flesh = flesh.united(Stroke(outline, 8)).united(Polygon(outline));
    PageBody& body = m_bodies[pageIndex];
    body.flesh = flesh.simplified();
    body.ghost = ghost.subtracted(body.flesh);
    if (foot) {
        AddPart(page.parts[0].imageBase, hubSize.toSize(),
                Capsule({13, 13}, {13, hubSize.height() - 13}, 11));
    } else {
        AddPart(page.parts[0].imageBase, hubSize.toSize(),
                Capsule({13, 13}, {hubSize.width() - 13, 13}, 11));
    }
}

void BodyGeometry::BuildStackPage(int pageIndex)
{
    // One vertebra, 23 x 31, so vertebrae stacked 31 pixels apart touch.
    QPainterPath vertebra;
    vertebra.addRoundedRect(QRectF(4.5, 3, 14, 25), 4, 4);
    vertebra.addRoundedRect(QRectF(0.5, 11, 22, 8), 3, 3);
    vertebra.setFillRule(Qt::WindingFill);
    AddPart(Page(pageIndex).parts[0].imageBase, {23, 31}, vertebra.simplified());

    PageBody& body = m_bodies[pageIndex];
    if (pageIndex == 5) {
        QPainterPath neck = Tapered({125.5, 20}, {125.5, 345}, 24, 30);
        neck = neck.united(Ellipse({125.5, -4}, 58, 40)); // chin and skull above the top segment
        neck = neck.united(Polygon(
            {{70, 340}, {181, 340}, {250, 372}, {250, 380}, {0, 380}, {0, 372}})); // shoulders
        body.flesh = neck.simplified();
    } else {
        body.flesh = Polygon({{72, 14},
                              {179, 14},
                              {203, 60},
                              {196, 200},
                              {176, 282},
                              {198, 330},
                              {208, 380},
                              {43, 380},
                              {53, 330},
                              {75, 282},
                              {55, 200},
                              {48, 60}});
        QPainterPath ribs;
        for (int rib = 0; rib < 6; ++rib) {
            const qreal y = 50 + 28 * rib;
            for (qreal side : {-1.0, 1.0}) {
                ribs.moveTo(125.5 + side * 16, y);
                ribs.cubicTo(125.5 + side * 60, y - 14, 125.5 + side * 72, y + 10,
                             125.5 + side * (64 - 4 * rib), y + 34);
            }
        }
        ribs.moveTo(60, 372);
        ribs.cubicTo(70, 320, 100, 318, 125.5, 330);
        ribs.cubicTo(151, 318, 181, 320, 191, 372);
        QPainterPathStroker stroker;
        stroker.setWidth(1.2);
        body.marks = stroker.createStroke(ribs);
    }
}

void BodyGeometry::BuildCollarPage(int pageIndex)
{
    const DiagramView& page = Page(pageIndex);
    const bool right = pageIndex == 8;
    // The left collar bones run from the breastbone (left of the page) out to the arm.
    const QPainterPath collar = Stroke(QVector<QPointF>{{8, 50}, {48, 38}, {94, 25}}, 7);
    const QPainterPath extra = Stroke(QVector<QPointF>{{8, 43}, {52, 29}, {100, 8}}, 7);
    const QSize collarSize(101, 60);
    const QSize extraSize(108, 50);
    AddPart(page.parts[0].imageBase, collarSize,
            right ? MirroredInImage(collar, collarSize.width()) : collar);
    AddPart(page.parts[1].imageBase, extraSize,
            right ? MirroredInImage(extra, extraSize.width()) : extra);

    QPainterPath flesh = Tapered({18, 70}, {20, 170}, 19, 24); // neck
    flesh = flesh.united(Polygon({{0, 150},
                                  {40, 150},
                                  {120, 138},
                                  {200, 124},
                                  {236, 135},
                                  {250, 170},
                                  {250, 380},
                                  {0, 380}}));                     // chest
    flesh = flesh.united(Ellipse({222, 160}, 32, 34));             // shoulder
    flesh = flesh.united(Tapered({228, 170}, {240, 400}, 30, 24)); // upper arm
    QPainterPath marks;
    marks.moveTo(12, 236);
    marks.lineTo(12, 380); // breastbone
    marks.moveTo(30, 300);
    marks.cubicTo(80, 330, 150, 320, 196, 250); // chest muscle
    QPainterPathStroker stroker;
    stroker.setWidth(1.2);
    PageBody& body = m_bodies[pageIndex];
    const QTransform mirror(-1, 0, 0, 1, kBodyAxisTimesTwo - 1, 0);
    body.flesh = right ? mirror.map(flesh.simplified()) : flesh.simplified();
    body.marks = right ? mirror.map(stroker.createStroke(marks)) : stroker.createStroke(marks);
}

void BodyGeometry::BuildRollPage(int pageIndex)
{
    const DiagramView& page = Page(pageIndex);
    const bool leg = page.parts[0].imageBase.contains(QLatin1String("LegRolls"));
    const qreal side = leg ? 38 : 36;
    // A roll bone: a ring with an arrowhead, the twist it carries.
    const QPointF c(side / 2, side / 2);
    const qreal ring = side / 2 - 3;
    QPainterPath arc;
    arc.arcMoveTo(QRectF(c.x() - ring + 4, c.y() - ring + 4, 2 * ring - 8, 2 * ring - 8), 110);
    arc.arcTo(QRectF(c.x() - ring + 4, c.y() - ring + 4, 2 * ring - 8, 2 * ring - 8), 110, 290);
    QPainterPathStroker stroker;
    stroker.setWidth(8);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath roll = stroker.createStroke(arc);
    const QPointF tip = arc.pointAtPercent(1);
    const qreal angle = arc.angleAtPercent(1) * M_PI / 180;
    const QPointF along(std::cos(angle), -std::sin(angle));
    const QPointF across(-along.y(), along.x());
    roll = roll.united(Polygon({tip - across * 7.5, tip + along * 8, tip + across * 7.5}));
    roll = roll.united(Ellipse(c, 3, 3));
    AddPart(page.parts[0].imageBase, QSize(int(side), int(side)), roll.simplified());

    // The limb runs through the roll parts' centres and on to its joints.
    const QPointF first(page.parts.first().x + side / 2, page.parts.first().y + side / 2);
    const QPointF last(page.parts.last().x + side / 2, page.parts.last().y + side / 2);
    const QLineF axis(first, last);
    const QPointF unit = QPointF(axis.dx(), axis.dy()) / axis.length();
    const QPointF top = first - unit * 40;
    const QPointF bottom = last + unit * 40;
    const qreal wide = leg ? 38 : 31;
    const qreal narrow = leg ? 27 : 23;
    QPainterPath flesh = Tapered(top, bottom, wide, narrow);
    flesh = flesh.united(Ellipse(top, wide + 3, wide + 3));
    flesh = flesh.united(Ellipse(bottom, narrow + 4, narrow + 4));
    PageBody& body = m_bodies[pageIndex];
    body.flesh = flesh.simplified();
    QPainterPath axisLine;
    axisLine.moveTo(top);
    axisLine.lineTo(bottom);
    QPainterPath joints = Ellipse(top, wide - 8, wide - 8);
    joints = joints.united(Ellipse(bottom, narrow - 6, narrow - 6));
    QPainterPathStroker thin;
    thin.setWidth(1.2);
    body.marks = Dashed(axisLine, 1.2).united(thin.createStroke(joints));
}
