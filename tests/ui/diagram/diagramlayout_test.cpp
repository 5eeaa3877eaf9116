// The body diagram's layout against its compiled-in images: every image it names exists, parts
// lie inside their pages, and the state images read apart by colour and shape.
#include "../../support/standardoutput.h"
#include "diagramlayout.h"
#include "loadpixmap.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
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

// The status a part image shows, told from the mean colour of its opaque pixels: grey (not
// set), green (valid), amber (warning) or red (error); -1 when it is none of them.
int StatusOfColour(const QImage& image)
{
    double r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                r += qRed(pixel), g += qGreen(pixel), b += qBlue(pixel), n += 1;
            }
        }
    }
    r /= n, g /= n, b /= n;
    if (std::max({r, g, b}) - std::min({r, g, b}) < 30)
        return 0;
    if (g > r + 40 && g > b + 40)
        return 1;
    if (r > b + 80 && g > b + 40)
        return 2;
    return r > g + 60 && r > b + 60 ? 3 : -1;
}

// Each status reads apart by colour and has its own selected and picked overlays; someone who
// cannot tell the colours apart still sees which part is picked: picked marks pixels outside
// the ring that selected draws.
TEST(DiagramImages, StatusesDifferInColourAndOverlaysInShape)
{
    const StateRepresentation& states = Layout().stateRepresentation;
    std::set<int> overlayKeys;
    for (const char* base : {"Bones/FullBody/LeftLeg", "Bones/Hands/LeftHandThumb1",
                             "Bones/ArmRolls/LeftArmRollBone", "Bones/Neck_Spine/NeckSpine"}) {
        for (int status = 0; status < 4; ++status) {
            SCOPED_TRACE(base + std::to_string(status));
            EXPECT_EQ(StatusOfColour(LoadImage(states.ImageName(base, status))), status);
            EXPECT_EQ(StateRepresentation::OverlayKey(status, 0), -1);
            const int selected = StateRepresentation::OverlayKey(status, 1);
            const int picked = StateRepresentation::OverlayKey(status, 2);
            overlayKeys.insert({selected, picked});
            EXPECT_GT(OpaqueOnlyIn(LoadImage(states.ImageName(base, picked)),
                                   LoadImage(states.ImageName(base, selected))),
                      8);
        }
    }
    EXPECT_EQ(overlayKeys.size(), 8u) << "each status has its own overlays";
}

TEST(DiagramImages, MissingImageIsReportedAndNull)
{
    QPixmap pixmap;
    const std::string out =
        StandardOutputOf([&] { pixmap = LoadPixmap(QStringLiteral("Bones/NoSuchPart.png")); });
    EXPECT_NE(out.find("Bones/NoSuchPart.png"), std::string::npos) << out;
    EXPECT_TRUE(pixmap.isNull());
}

} // namespace
