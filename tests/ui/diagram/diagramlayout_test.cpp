// The body diagram's layout against its compiled-in images: every image it names exists, parts
// lie on the body drawn on their pages, and the state images read apart by shape and colour.
#include "diagramlayout.h"
#include "loadpixmap.h"
#include "nodedisplayname.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const DiagramLayout& Layout()
{
    return DiagramLayout::Instance();
}

QImage LoadImage(const QString& name)
{
    return LoadPixmap(name).toImage().convertToFormat(QImage::Format_ARGB32);
}

int OpaqueOnlyIn(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += qAlpha(a.pixel(x, y)) > 128 && qAlpha(b.pixel(x, y)) < 16;
    }
    return count;
}

// Every node but the in-line rolls (41-48, which have no part) is shown on exactly one page;
// the full body links to every other page and each of those links back.
TEST(DiagramLayout, EveryShownNodeHasOnePartAndEveryPageALinkBack)
{
    const DiagramLayout& layout = Layout();
    ASSERT_EQ(layout.views.size(), 17);
    std::map<int, int> shown;
    std::set<int> linked;
    for (int index = 0; index < layout.views.size(); ++index) {
        const DiagramView& page = layout.views[index];
        SCOPED_TRACE(page.name.toStdString());
        EXPECT_EQ(page.pageIndex, index);
        EXPECT_EQ(page.inversions.size(), index == 0 ? 4 : 0) << "knees and elbows";
        for (const DiagramElement& part : page.parts)
            ++shown[part.node];
        for (const DiagramElement& arrow : page.arrows) {
            EXPECT_TRUE(index == 0 ? linked.insert(arrow.targetView).second
                                   : arrow.targetView == 0);
            EXPECT_FALSE(LoadPixmap(arrow.imageBase + QStringLiteral(".png")).isNull());
        }
        if (index > 0) {
            EXPECT_EQ(page.arrows.size(), 1);
        }
        for (const InversionElement& marker : page.inversions) {
            EXPECT_FALSE(LoadPixmap(marker.invertedImage).isNull());
            EXPECT_FALSE(LoadPixmap(marker.normalImage).isNull());
        }
    }
    EXPECT_EQ(linked.size(), 16u);
    EXPECT_EQ(shown.size(), 212u - 8u);
    for (int node = 0; node < 212; ++node)
        EXPECT_EQ(shown[node], node >= 41 && node <= 48 ? 0 : 1) << "node " << node;
}

TEST(DiagramImages, EveryPartHasTwelveSameSizedImagesLyingInsideItsPage)
{
    const StateRepresentation& states = Layout().stateRepresentation;
    for (const DiagramView& page : Layout().views) {
        SCOPED_TRACE(page.name.toStdString());
        const QRect background(QPoint(0, 0), LoadPixmap(page.backgroundImage).size());
        EXPECT_EQ(background.size(), QSize(250, 380));
        for (const DiagramElement& part : page.parts) {
            SCOPED_TRACE(part.imageBase.toStdString());
            const QSize size = LoadPixmap(states.ImageName(part.imageBase, 0)).size();
            EXPECT_FALSE(size.isEmpty());
            for (int key = 1; key < StateRepresentation::kKeyCount; ++key)
                EXPECT_EQ(LoadPixmap(states.ImageName(part.imageBase, key)).size(), size) << key;
            EXPECT_TRUE(background.contains(QRect(QPoint(part.x, part.y), size)));
        }
    }
}

// A part is drawn where the body is: under the middle of its drawn bone the page background
// shows the body (or the outline of an optional digit), not the bare page colour.
TEST(DiagramImages, PartsLieOnTheBodyDrawnBehindThem)
{
    const QRgb pageColour = qRgb(68, 68, 68);
    const StateRepresentation& states = Layout().stateRepresentation;
    for (const DiagramView& page : Layout().views) {
        const QImage background = LoadImage(page.backgroundImage);
        for (const DiagramElement& part : page.parts) {
            // The hips translation floats beside the body and the reference stands on the floor.
            if (part.node == 0 || part.node == 49)
                continue;
            const QImage image = LoadImage(states.ImageName(part.imageBase, 0));
            // The opaque pixel nearest the image centre is on the drawn bone.
            const QPoint centre(image.width() / 2, image.height() / 2);
            QPoint onBone(-1, -1);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (qAlpha(image.pixel(x, y)) == 255 &&
                        (onBone.x() < 0 || (QPoint(x, y) - centre).manhattanLength() <
                                               (onBone - centre).manhattanLength()))
                        onBone = QPoint(x, y);
                }
            }
            ASSERT_GE(onBone.x(), 0) << part.imageBase.toStdString();
            EXPECT_NE(background.pixel(QPoint(part.x, part.y) + onBone) & 0xffffff,
                      pageColour & 0xffffff)
                << page.name.toStdString() << " node " << part.node;
        }
    }
}

TEST(DiagramImages, StatusBubblesAndToolBarIconsExist)
{
    QStringList names;
    for (const char* status : {"", "_Valid", "_Warn", "_Err"})
        names << QStringLiteral("Status%1.png").arg(status);
    for (const char* icon : {"create", "delete", "lock", "unlock", "mirror", "unmirror", "map"})
        names << QStringLiteral("%1Char.png").arg(icon);
    for (const char* colour : {"Gray", "Green", "Orange", "Red"})
        names << QStringLiteral("BubbleSmall_%1.png").arg(colour)
              << QStringLiteral("BubbleSmall_%1_Highlight.png").arg(colour);
    for (const QString& name : names)
        EXPECT_FALSE(LoadPixmap(name).isNull()) << name.toStdString();
}

// Someone who cannot tell the colours apart must still see which part is picked or selected.
TEST(DiagramImages, SelectedAndPickedOverlaysDifferInShape)
{
    for (const char* base : {"Bones/FullBody/LeftLeg", "Bones/Hands/LeftHandThumb1",
                             "Bones/ArmRolls/LeftArmRollBone", "Bones/Neck_Spine/NeckSpine"}) {
        SCOPED_TRACE(base);
        for (const char* status : {"", "_Valid", "_Warn", "_Err"}) {
            const QString prefix = QLatin1String(base) + QLatin1String(status);
            const QImage selected = LoadImage(prefix + QStringLiteral("_Sel.png"));
            const QImage picked = LoadImage(prefix + QStringLiteral("_Pick.png"));
            ASSERT_EQ(selected.size(), picked.size());
            // Picked marks the corners outside the part; selected only rings it.
            EXPECT_GT(OpaqueOnlyIn(picked, selected), 8) << status;
            EXPECT_EQ(qAlpha(selected.pixel(0, 0)), 0);
            EXPECT_GT(qAlpha(picked.pixel(2, 2)), 128) << status;
        }
    }
}

TEST(DiagramImages, PartCentresShowTheirStatusColour)
{
    const QImage notSet = LoadImage(QStringLiteral("Bones/FullBody/LeftUpLeg.png"));
    const QImage valid = LoadImage(QStringLiteral("Bones/FullBody/LeftUpLeg_Valid.png"));
    const QImage warning = LoadImage(QStringLiteral("Bones/FullBody/LeftUpLeg_Warn.png"));
    const QImage error = LoadImage(QStringLiteral("Bones/FullBody/LeftUpLeg_Err.png"));
    const QPoint centre(8, 40);
    const QColor grey = notSet.pixelColor(centre);
    EXPECT_LT(std::abs(grey.red() - grey.blue()) + std::abs(grey.green() - grey.blue()), 30);
    const QColor green = valid.pixelColor(centre);
    EXPECT_GT(green.green(), green.red() + 60);
    // Warning and error are patterned, so sample the brightest pixel of a small area.
    const auto brightest = [&](const QImage& image) {
        QColor best(Qt::black);
        for (int y = 36; y < 44; ++y) {
            for (int x = 5; x < 11; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.lightness() > best.lightness())
                    best = c;
            }
        }
        return best;
    };
    const QColor amber = brightest(warning);
    EXPECT_GT(amber.red(), 200);
    EXPECT_GT(amber.green(), 130);
    const QColor red = brightest(error);
    EXPECT_GT(red.red(), red.green() + 100);
}

TEST(DiagramImages, MissingImageIsReportedAndNull)
{
    testing::internal::CaptureStdout();
    const QPixmap pixmap = LoadPixmap(QStringLiteral("Bones/NoSuchPart.png"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "PIXMAP: :/characterizationtool/Bones/NoSuchPart.png MISSING\n");
    EXPECT_TRUE(pixmap.isNull());
}

// A selected or picked part keeps the colour of its status under the overlay.
TEST(StateRepresentation, OverlaysKeepTheStatusOfThePart)
{
    const StateRepresentation states;
    const char* const status[4] = {"", "_Valid", "_Warn", "_Err"};
    for (int state = 0; state < 4; ++state) {
        EXPECT_EQ(states.ImageName("Bones/A", state),
                  QStringLiteral("Bones/A%1.png").arg(status[state]));
        EXPECT_EQ(StateRepresentation::OverlayKey(state, 0), -1);
        EXPECT_EQ(states.Suffix(StateRepresentation::OverlayKey(state, 1)),
                  QStringLiteral("%1_Sel.png").arg(status[state]));
        EXPECT_EQ(states.Suffix(StateRepresentation::OverlayKey(state, 2)),
                  QStringLiteral("%1_Pick.png").arg(status[state]));
    }
    EXPECT_EQ(StateRepresentation::OverlayKey(12, 2), -1);
    EXPECT_EQ(states.Suffix(12), QString());
    EXPECT_EQ(states.Suffix(-1), QString());
}

TEST(NodeDisplayName, ShowsTheFootsExtraFingerAsTheBigToe)
{
    const std::pair<int, const char*> cases[] = {
        {98, "LeftFootThumb1"},
        {118, "LeftFootBigToe1"},
        {163, "LeftInFootBigToe"},
        {145, "RightFootBigToe4"},
        {70, "LeftHandExtraFinger1"},
        {0, "Reference"},
        {211, "LeafRightForeArmRoll5"},
        {-1, ""},
        {212, ""},
    };
    for (const auto& [node, name] : cases)
        EXPECT_EQ(NodeDisplayName(node), QLatin1String(name)) << node;
}

} // namespace
