// The viewport: where the camera puts things, and that clicks and scripts share one selection.
#include "desktop/viewport.h"
#include "desktop/viewportcamera.h"
#include "desktop/viewportprojection.h"
#include "desktop/viewportskeleton.h"
#include "io/scenedocument.h"
#include "kestreltest.h"
#include "scene/transformquery.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWheelEvent>

using namespace kestrel;

namespace {

// Front, side and top views are orthographic with fixed axes: a world axis shows up as a
// screen direction of the same length in every view (or not at all along the view direction).
TEST(ViewportCameraTest, OrthographicViewsShowTheWorldAxesUndistorted)
{
    const struct
    {
        ViewportView view;
        QPointF x, y, z; // screen direction of +x, +y, +z (y down)
    } cases[] = {
        {ViewportView::Front, {1, 0}, {0, -1}, {0, 0}},
        {ViewportView::Side, {0, 0}, {0, -1}, {-1, 0}},
        {ViewportView::Top, {1, 0}, {0, 0}, {0, 1}},
    };
    const Vector3 target(10.0, 20.0, 30.0);
    double pixelsPerUnit = 0.0;
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.view));
        ViewportCamera camera;
        camera.SetScreenSize(QSize(200, 100));
        camera.SetView(c.view);
        camera.Frame(target - Vector3(1, 1, 1), target + Vector3(1, 1, 1), 0.0);
        QPointF centre;
        ASSERT_TRUE(camera.Project(target, &centre));
        EXPECT_EQ(centre, QPointF(100, 50));
        if (pixelsPerUnit == 0.0) {
            QPointF up;
            ASSERT_TRUE(camera.Project(target + Vector3(0, 1, 0), &up));
            pixelsPerUnit = centre.y() - up.y();
            // The unit cube is framed tightly: it fills most of the height, but fits.
            EXPECT_GT(pixelsPerUnit, 40.0);
            EXPECT_LE(pixelsPerUnit, 50.0);
        }
        const QPointF expected[] = {c.x, c.y, c.z};
        for (int axis = 0; axis < 3; ++axis) {
            Vector3 offset;
            offset[axis] = 1.0;
            QPointF p;
            ASSERT_TRUE(camera.Project(target + offset, &p));
            const QPointF d = (p - centre) / pixelsPerUnit;
            EXPECT_NEAR(d.x(), expected[axis].x(), 1e-9) << "axis " << axis;
            EXPECT_NEAR(d.y(), expected[axis].y(), 1e-9) << "axis " << axis;
        }
    }
}

// Words at a word start in any case, a leading L or R before a capital or a separator, a
// trailing l or r after a separator; the namespace is ignored and nothing else counts.
TEST(ViewportSkeletonTest, NamesTellTheSideOfTheBody)
{
    using Side = ViewportSkeleton::Side;
    const std::pair<const char*, Side> cases[] = {
        {"LeftUpLeg", Side::Left},   {"rig:RightHand", Side::Right}, {"Bip_LEFT_Arm", Side::Left},
        {"arm right", Side::Right},  {"LHipJoint", Side::Left},      {"R_Hand", Side::Right},
        {"upperarm_l", Side::Left},  {"hand.R", Side::Right},        {"Left:Hips", Side::Centre},
        {"LowerBack", Side::Centre}, {"Bereft", Side::Centre},       {"Lright", Side::Centre},
        {"Le", Side::Centre},        {"\u0139eft", Side::Centre},
    };
    for (const auto& [name, side] : cases)
        EXPECT_EQ(ViewportSkeleton::SideOfName(QString::fromUtf8(name)), side) << name;
}

// A bone reaching behind the perspective eye is cut at the near plane, not drawn through it.
TEST(ViewportCameraTest, SegmentsAreCutAtTheNearPlane)
{
    ViewPoint behind{0.0, 0.0, -1.0};
    ViewPoint ahead{2.0, 4.0, 3.0};
    ASSERT_TRUE(ClipToNearPlane(&behind, &ahead, 1.0));
    EXPECT_EQ(behind.right, 1.0);
    EXPECT_EQ(behind.up, 2.0);
    EXPECT_EQ(behind.depth, 1.0);
    EXPECT_EQ(ahead.depth, 3.0);
    ViewPoint alsoBehind{5.0, 5.0, 0.5};
    EXPECT_FALSE(ClipToNearPlane(&behind, &alsoBehind, 1.5));
}

// The sample biped, 40 joints in cm, in a 400 x 300 viewport.
class ViewportTest : public HostTest
{
protected:
    ViewportTest()
        : viewport(host)
    {
        viewport.resize(400, 300);
        EXPECT_EQ(host.GetDocument().Open(QStringLiteral(KESTREL_SAMPLES_DIR "/biped_tpose.json")),
                  Status::Success);
    }

    // Where the joint's marker is drawn now.
    QPoint ScreenPosition(const QString& name)
    {
        QPointF screen;
        EXPECT_TRUE(viewport.Camera().Project(World(name), &screen));
        return screen.toPoint();
    }

    void Click(const QString& name, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(&viewport, Qt::LeftButton, modifiers, ScreenPosition(name));
    }

    QStringList Selection() { return scene().GetSelection().Names(); }

    // Whether the marker of the joint `name` shows `colour` anywhere within 3 pixels of its
    // centre, so the test does not depend on the marker's exact shape or antialiasing.
    bool Shows(const QString& name, const QColor& colour)
    {
        const QImage picture = viewport.grab().toImage();
        const QPoint centre = ScreenPosition(name);
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                if (picture.pixelColor(centre + QPoint(dx, dy)) == colour)
                    return true;
            }
        }
        return false;
    }

    // Every transform of the scene lands inside the widget.
    ::testing::AssertionResult EverythingInside()
    {
        for (const Node* node : scene().Nodes()) {
            QPointF screen;
            if (node->IsTransform() &&
                (!viewport.Camera().Project(Translation(*node, Space::World), &screen) ||
                 !QRectF(viewport.rect()).contains(screen)))
                return ::testing::AssertionFailure() << qPrintable(node->Name()) << " is outside";
        }
        return ::testing::AssertionSuccess();
    }

    Viewport viewport;
};

// Keys 1 to 4 choose the view without moving the camera; A frames everything, F the selection.
TEST_F(ViewportTest, AnOpenedSceneIsFramedAndKeysChooseTheViewAndFrame)
{
    RunOk("select -r Char1:LeftHand"); // the first framing shows all, not the selection
    EXPECT_TRUE(EverythingInside());   // framed on its own, nothing called
    const std::pair<Qt::Key, ViewportView> keys[] = {{Qt::Key_2, ViewportView::Front},
                                                     {Qt::Key_3, ViewportView::Side},
                                                     {Qt::Key_4, ViewportView::Top},
                                                     {Qt::Key_1, ViewportView::Perspective}};
    for (const auto& [key, view] : keys) {
        SCOPED_TRACE(int(view));
        QWheelEvent zoomIn(QPointF(200, 150), viewport.mapToGlobal(QPoint(200, 150)), QPoint(),
                           QPoint(0, 1200), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&viewport, &zoomIn);
        QTest::keyClick(&viewport, key);
        EXPECT_EQ(viewport.View(), view);
        EXPECT_FALSE(EverythingInside()); // zoomed in far enough to lose the hands
        QTest::keyClick(&viewport, Qt::Key_A);
        EXPECT_TRUE(EverythingInside());
    }
    QTest::keyClick(&viewport, Qt::Key_F);
    EXPECT_EQ(ScreenPosition("Char1:LeftHand"), QPoint(200, 150));
}

TEST_F(ViewportTest, ClicksSelectThroughTheHostSelectCommand)
{
    Click("Char1:LeftHand");
    EXPECT_EQ(Selection(), QStringList({"Char1:LeftHand"}));
    Click("Char1:RightHand", Qt::ShiftModifier);
    EXPECT_EQ(Selection(), QStringList({"Char1:LeftHand", "Char1:RightHand"}));
    Click("Char1:LeftHand", Qt::ControlModifier);
    EXPECT_EQ(Selection(), QStringList({"Char1:RightHand"}));
    Click("Char1:LeftHand", Qt::ControlModifier);
    EXPECT_EQ(Selection(), QStringList({"Char1:RightHand", "Char1:LeftHand"}));

    QTest::mouseClick(&viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(2, 2));
    EXPECT_EQ(Selection().size(), 2); // Shift on empty ground keeps the selection
    QTest::mouseClick(&viewport, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_TRUE(Selection().isEmpty());
    EXPECT_EQ(host.GetOutputLog().Last(), "select -clear"); // echoed like a typed command
}

TEST_F(ViewportTest, AMovedJointIsPickedWhereItIsNowDrawn)
{
    const QPoint before = ScreenPosition("Char1:LeftHand");
    RunOk("setAttr Char1:LeftHand.translateY 40");
    ASSERT_GT((ScreenPosition("Char1:LeftHand") - before).manhattanLength(), 20);
    QTest::mouseClick(&viewport, Qt::LeftButton, Qt::NoModifier, before);
    EXPECT_NE(Selection(), QStringList({"Char1:LeftHand"}));
    Click("Char1:LeftHand");
    EXPECT_EQ(Selection(), QStringList({"Char1:LeftHand"}));
}

TEST_F(ViewportTest, AScriptSelectionMovesTheHighlight)
{
    // Unbound joints carry their side's tint, the centre line none.
    EXPECT_TRUE(Shows("Char1:RightHand", ViewportPainter::RightColor()));
    EXPECT_FALSE(Shows("Char1:Spine", ViewportPainter::RightColor()));
    RunOk("select -r Char1:Head Char1:LeftFoot");
    EXPECT_EQ(viewport.HighlightedNodes(), QStringList({"Char1:LeftFoot", "Char1:Head"}));
    EXPECT_TRUE(Shows("Char1:Head", ViewportPainter::SelectedColor()));
    EXPECT_FALSE(Shows("Char1:Hips", ViewportPainter::SelectedColor()));
    RunOk("select -r Char1:Hips");
    EXPECT_EQ(viewport.HighlightedNodes(), QStringList({"Char1:Hips"}));
    RunOk("delete Char1:Hips");
    EXPECT_TRUE(viewport.HighlightedNodes().isEmpty());
}

// The viewport shows the bindings of the current character node only; making another one
// current (no scene change) redraws with its bindings. A bound joint whose unbound child starts
// at the same place stays visible, and hovering names its slot.
TEST_F(ViewportTest, OnlyTheCurrentCharactersJointsAreDrawnBoundAndNamed)
{
    const QColor bound = ViewportPainter::BoundColor();
    RunOk("setCharacterObject(\"Char1:LeftArm\",\"Character1\",9,0)");
    EXPECT_TRUE(Shows("Char1:LeftArm", bound));
    EXPECT_EQ(viewport.DescribeNodeAt(ScreenPosition("Char1:LeftArm")),
              "Char1:LeftArm\nSlot: LeftArm (Character1)");
    RunOk("setCharacterObject(\"Char1:RightArm\",\"Character2\",12,0)"); // now current
    EXPECT_TRUE(Shows("Char1:RightArm", bound));
    EXPECT_FALSE(Shows("Char1:LeftArm", bound));
    RunOk("setCharacterObject(\"Char1:LeftArm\",\"Character1\",9,0)"); // unchanged, current
    EXPECT_TRUE(Shows("Char1:LeftArm", bound));
    EXPECT_FALSE(Shows("Char1:RightArm", bound));

    RunOk("createNode joint -n \"LowerBack\" -p \"Char1:Hips\"");
    ASSERT_EQ(ScreenPosition("LowerBack"), ScreenPosition("Char1:Hips"));
    RunOk("setCharacterObject(\"Char1:Hips\",\"Character1\",1,0)");
    EXPECT_TRUE(Shows("Char1:Hips", bound));
    EXPECT_EQ(viewport.DescribeNodeAt(ScreenPosition("Char1:Hips")),
              "Char1:Hips\nSlot: Hips (Character1)");
    EXPECT_EQ(viewport.DescribeNodeAt(QPoint(2, 2)), "");
}

// A click picks the marker nearest on screen, the first one drawn included; of markers on one
// spot, the one nearest the eye.
TEST_F(ViewportTest, APickTakesTheNearestMarkerOnScreenThenTheNearestToTheEye)
{
    RunOk("newScene; createNode joint -n A; createNode joint -n C -p A");
    viewport.SetView(ViewportView::Front); // looking along -z
    QPointF a, x;
    ASSERT_TRUE(viewport.Camera().Project({0, 0, 0}, &a) &&
                viewport.Camera().Project({1, 0, 0}, &x));
    RunOk(QString("setAttr C.tx %1").arg(4.0 / (x.x() - a.x()))); // 4 pixels right of A
    EXPECT_EQ(viewport.DescribeNodeAt(a.toPoint()), "A");
    RunOk("createNode joint -n B -p A; setAttr B.tz 1"); // on A's spot, in front of it
    EXPECT_EQ(viewport.DescribeNodeAt(a.toPoint()), "B");
}

} // namespace
