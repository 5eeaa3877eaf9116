// The body diagram's layout against its compiled-in images: every image it names exists and
// parts lie inside their pages.
#include "../../support/standardoutput.h"
#include "diagramlayout.h"
#include "loadpixmap.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const DiagramLayout& Layout()
{
    return DiagramLayout::Instance();
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

// Each status has a selected and a picked overlay of its own (twelve images per part, checked
// above), and no interaction or no status has none.
TEST(DiagramImages, EachStatusHasOverlaysOfItsOwn)
{
    std::set<int> keys;
    for (int status = -1; status <= 4; ++status) {
        EXPECT_EQ(StateRepresentation::OverlayKey(status, 0), -1) << status;
        for (int interaction : {1, 2}) {
            const int key = StateRepresentation::OverlayKey(status, interaction);
            EXPECT_EQ(key < 0, status < 0 || status > 3) << status;
            keys.insert(key);
        }
    }
    EXPECT_EQ(keys, (std::set<int>{-1, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(StateRepresentation::OverlayKey(1, 3), -1);
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
