// The body diagram's layout against its compiled-in images: every image it names exists at its
// size, parts lie on their pages, and the state images read apart by shape as well as colour.
#include "diagramlayout.h"
#include "loadpixmap.h"
#include "nodedisplayname.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <map>

namespace {

const DiagramLayout& Layout()
{
    return DiagramLayout::Instance();
}

// Fixed image sizes by image base; hand and foot digits are checked against ranges instead.
const std::map<QString, QSize>& FixedSizes()
{
    static const std::map<QString, QSize> sizes = [] {
        std::map<QString, QSize> table = {
            {"Bones/FullBody/Head", {15, 38}},
            {"Bones/FullBody/Hips", {36, 15}},
            {"Bones/FullBody/Reference", {15, 32}},
            {"Bones/FullBody/Spine", {11, 22}},
            {"Bones/FullBody/NotReq_LeftArm", {22, 11}},
            {"Bones/Neck_Spine/NeckSpine", {23, 31}},
            {"Bones/Shoulders/LeftShoulder", {101, 60}},
            {"Bones/Shoulders/RightShoulder", {101, 60}},
            {"Bones/Shoulders/LeftShoulderExtra", {108, 50}},
            {"Bones/Shoulders/RightShoulderExtra", {108, 50}},
        };
        const std::pair<const char*, QSize> sided[] = {
            {"UpLeg", {16, 80}}, {"Leg", {16, 80}},     {"Foot", {17, 27}},
            {"Arm", {19, 40}},   {"ForeArm", {22, 47}}, {"Hand", {15, 29}},
        };
        for (const auto& [name, size] : sided) {
            for (const char* side : {"Left", "Right"})
                table[QStringLiteral("Bones/FullBody/%1%2").arg(side, name)] = size;
        }
        for (const char* limb : {"LeftArm", "LeftForearm", "RightArm", "RightForearm"})
            table[QStringLiteral("Bones/ArmRolls/%1RollBone").arg(limb)] = {36, 36};
        for (const char* limb : {"LeftLeg", "LeftShin", "RightLeg", "RightShin"})
            table[QStringLiteral("Bones/LegRolls/%1RollBone").arg(limb)] = {38, 38};
        return table;
    }();
    return sizes;
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

TEST(DiagramLayout, PagesHoldTheirElementsAndEveryShownNodeExactlyOnce)
{
    const struct
    {
        const char* name;
        const char* background;
        int parts;
        int arrows;
        int markers;
    } pages[] = {
        {"FullBody", "BodyGUI_Base.png", 17, 16, 4},
        {"LeftHands", "HandsGUI_Base_Left.png", 31, 1, 0},
        {"RightHands", "HandsGUI_Base_Right.png", 31, 1, 0},
        {"LeftFeet", "FootGUI_Base_Left.png", 31, 1, 0},
        {"RightFeet", "FootGUI_Base_Right.png", 31, 1, 0},
        {"Neck", "NeckGUI_Base.png", 10, 1, 0},
        {"Spine", "SpineGUI_Base.png", 9, 1, 0},
        {"LeftCollar", "ShoulderLeftGUI_Base.png", 2, 1, 0},
        {"RightCollar", "ShoulderRightGUI_Base.png", 2, 1, 0},
        {"LeftShoulderRoll", "ArmLeftGUI_Base.png", 5, 1, 0},
        {"LeftElbowRoll", "ForeArmLeftGUI_Base.png", 5, 1, 0},
        {"RightShoulderRoll", "ArmRightGUI_Base.png", 5, 1, 0},
        {"RightElbowRoll", "ForeArmRightGUI_Base.png", 5, 1, 0},
        {"LeftHipRoll", "LegLeftGUI_Base.png", 5, 1, 0},
        {"LeftKneeRoll", "ShinLeftGUI_Base.png", 5, 1, 0},
        {"RightHipRoll", "LegRightGUI_Base.png", 5, 1, 0},
        {"RightKneeRoll", "ShinRightGUI_Base.png", 5, 1, 0},
    };
    const DiagramLayout& layout = Layout();
    EXPECT_EQ(&layout, &DiagramLayout::Instance());
    ASSERT_EQ(layout.views.size(), 17);
    std::map<int, int> shown;
    int partTotal = 0;
    int arrowTotal = 0;
    for (int index = 0; index < layout.views.size(); ++index) {
        const DiagramView& page = layout.views[index];
        SCOPED_TRACE(page.name.toStdString());
        EXPECT_EQ(page.pageIndex, index);
        EXPECT_EQ(page.name, QLatin1String(pages[index].name));
        EXPECT_EQ(page.backgroundImage, QLatin1String(pages[index].background));
        EXPECT_EQ(page.parts.size(), pages[index].parts);
        EXPECT_EQ(page.arrows.size(), pages[index].arrows);
        EXPECT_EQ(page.inversions.size(), pages[index].markers);
        EXPECT_EQ(std::make_tuple(page.red, page.green, page.blue), std::make_tuple(68, 68, 68));
        for (const DiagramElement& part : page.parts) {
            ++shown[part.node];
            ++partTotal;
        }
        for (const DiagramElement& arrow : page.arrows) {
            ++arrowTotal;
            EXPECT_TRUE(index == 0 ? arrow.targetView > 0 : arrow.targetView == 0);
        }
    }
    EXPECT_EQ(arrowTotal, 32);
    EXPECT_EQ(shown.begin()->first, 0);
    EXPECT_EQ(shown.rbegin()->first, 211);
    for (int node = 0; node < 212; ++node)
        EXPECT_EQ(shown[node], node >= 41 && node <= 48 ? 0 : 1) << "node " << node;
    EXPECT_EQ(partTotal, 204);
    EXPECT_EQ(layout.statusElement.imageBase, QLatin1String("Status"));
    EXPECT_EQ(QPoint(layout.statusElement.x, layout.statusElement.y), QPoint(205, 11));
}

// Spot checks of the naming rules that differ between pages.
TEST(DiagramLayout, PartsUseTheirPagesImageNamingRules)
{
    const struct
    {
        int page;
        int node;
        const char* imageBase;
        QPoint position;
    } cases[] = {
        {0, 49, "Bones/FullBody/NotReq_LeftArm", {161, 166}},
        {1, 70, "Bones/Hands/LeftHandExtra1", {47, 205}},
        {1, 151, "Bones/Hands/LeftInHandExtra", {52, 243}},
        {3, 118, "Bones/Feet/LeftFootThumb1", {152, 114}},
        {3, 98, "Bones/Feet/LeftFootExtra1", {186, 123}},
        {4, 169, "Bones/Feet/RightInFootThumb", {80, 143}},
        {5, 40, "Bones/Neck_Spine/NeckSpine", {114, 36}},
        {6, 23, "Bones/Neck_Spine/NeckSpine", {114, 284}},
        {8, 171, "Bones/Shoulders/RightShoulderExtra", {19, 153}},
        {12, 211, "Bones/ArmRolls/RightForearmRollBone", {75, 277}},
        {13, 172, "Bones/LegRolls/LeftLegRollBone", {94, 36}},
    };
    for (const auto& c : cases) {
        const QVector<DiagramElement>& parts = Layout().views[c.page].parts;
        const auto part = std::find_if(parts.begin(), parts.end(),
                                       [&](const DiagramElement& e) { return e.node == c.node; });
        ASSERT_NE(part, parts.end()) << "node " << c.node;
        EXPECT_EQ(part->imageBase, QLatin1String(c.imageBase));
        EXPECT_EQ(QPoint(part->x, part->y), c.position) << "node " << c.node;
    }
}

TEST(DiagramImages, EveryPartHasTwelveSameSizedImagesLyingInsideItsPage)
{
    const StateRepresentation& states = Layout().stateRepresentation;
    for (const DiagramView& page : Layout().views) {
        SCOPED_TRACE(page.name.toStdString());
        const QRect background(QPoint(0, 0), LoadPixmap(page.backgroundImage).size());
        EXPECT_EQ(background.size(), QSize(250, 380));
        const bool digits = page.pageIndex >= 1 && page.pageIndex <= 4;
        for (const DiagramElement& part : page.parts) {
            SCOPED_TRACE(part.imageBase.toStdString());
            const QSize size = LoadPixmap(states.ImageName(part.imageBase, 0)).size();
            for (int key = 1; key < StateRepresentation::kKeyCount; ++key)
                EXPECT_EQ(LoadPixmap(states.ImageName(part.imageBase, key)).size(), size) << key;
            if (digits) {
                EXPECT_TRUE(size.width() >= 13 && size.width() <= 36) << size.width();
                EXPECT_TRUE(size.height() >= 19 && size.height() <= 95) << size.height();
            } else {
                ASSERT_EQ(FixedSizes().count(part.imageBase), 1u);
                EXPECT_EQ(size, FixedSizes().at(part.imageBase));
            }
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

TEST(DiagramImages, ArrowsStatusMarkersAndIconsExistAtTheirSizes)
{
    const struct
    {
        const char* name;
        QSize size;
    } images[] = {
        {"Status.png", {36, 36}},
        {"Status_Valid.png", {36, 36}},
        {"Status_Warn.png", {36, 36}},
        {"Status_Err.png", {36, 36}},
        {"GoToArrow.png", {16, 16}},
        {"GoToArrow_Valid.png", {16, 16}},
        {"GoToArrow_Warn.png", {16, 16}},
        {"GoToArrow_Err.png", {16, 16}},
        {"GoToArrowTrans.png", {16, 16}},
        {"GoToArrowTrans_Valid.png", {16, 16}},
        {"GoToArrowTrans_Warn.png", {16, 16}},
        {"GoToArrowTrans_Err.png", {16, 16}},
        {"ReturnToArrow.png", {36, 36}},
        {"LeftInversed.png", {24, 24}},
        {"LeftNormal.png", {24, 24}},
        {"RightInversed.png", {24, 24}},
        {"RightNormal.png", {24, 24}},
        {"createChar.png", {24, 24}},
        {"deleteChar.png", {24, 24}},
        {"lockChar.png", {24, 24}},
        {"unlockChar.png", {24, 24}},
        {"mirrorChar.png", {24, 24}},
        {"unmirrorChar.png", {24, 24}},
        {"mapChar.png", {24, 24}},
    };
    for (const auto& image : images)
        EXPECT_EQ(LoadPixmap(QLatin1String(image.name)).size(), image.size) << image.name;
    for (const char* colour : {"Gray", "Green", "Orange", "Red"}) {
        for (const char* suffix : {".png", "_Highlight.png"}) {
            const QString name = QStringLiteral("BubbleSmall_%1%2").arg(colour, suffix);
            EXPECT_FALSE(LoadPixmap(name).isNull()) << name.toStdString();
        }
    }
    // Every image the layout itself names for arrows and markers is among them.
    for (const DiagramView& page : Layout().views) {
        for (const DiagramElement& arrow : page.arrows)
            EXPECT_FALSE(LoadPixmap(arrow.imageBase + QStringLiteral(".png")).isNull());
        for (const InversionElement& marker : page.inversions) {
            EXPECT_FALSE(LoadPixmap(marker.invertedImage).isNull());
            EXPECT_FALSE(LoadPixmap(marker.normalImage).isNull());
        }
    }
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

TEST(StateRepresentation, SuffixesAndOverlays)
{
    const StateRepresentation states;
    const char* const suffixes[] = {
        ".png",           "_Valid.png",      "_Warn.png",     "_Err.png",
        "_Err_Sel.png",   "_Err_Pick.png",   "_Warn_Sel.png", "_Warn_Pick.png",
        "_Valid_Sel.png", "_Valid_Pick.png", "_Sel.png",      "_Pick.png"};
    for (int key = 0; key < 12; ++key)
        EXPECT_EQ(states.Suffix(key), QLatin1String(suffixes[key])) << key;
    EXPECT_EQ(states.Suffix(12), QString());
    EXPECT_EQ(states.Suffix(-1), QString());
    EXPECT_EQ(states.ImageName(QStringLiteral("Bones/FullBody/LeftFoot"), 4),
              QLatin1String("Bones/FullBody/LeftFoot_Err_Sel.png"));

    // Rows: validation state 0-3; columns: selected, picked.
    const int overlays[4][2] = {{10, 11}, {8, 9}, {6, 7}, {4, 5}};
    for (int state = 0; state < 4; ++state) {
        EXPECT_EQ(StateRepresentation::OverlayKey(state, 0), -1);
        EXPECT_EQ(StateRepresentation::OverlayKey(state, 1), overlays[state][0]);
        EXPECT_EQ(StateRepresentation::OverlayKey(state, 2), overlays[state][1]);
    }
    EXPECT_EQ(StateRepresentation::OverlayKey(12, 2), -1);
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
