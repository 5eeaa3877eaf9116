#include "diagramlayout.h"

#include "model/nodecatalogue.h"
#include "solver/nodenames.h"

#include <QPoint>

#include <initializer_list>

namespace {

struct Placed
{
    int node;
    int x;
    int y;
};

DiagramElement Part(int node, const QString& imageBase, int x, int y)
{
    DiagramElement element;
    element.node = node;
    element.imageBase = imageBase;
    element.x = x;
    element.y = y;
    return element;
}

DiagramView Page(int index, const char* name, const char* background)
{
    DiagramView view;
    view.name = QLatin1String(name);
    view.backgroundImage = QLatin1String(background);
    view.pageIndex = index;
    return view;
}

QString NameOf(int node)
{
    return QLatin1String(kinetra::NodeName(node));
}

// Hand images drop "Finger" from "ExtraFinger": "LeftHandExtraFinger1" uses "LeftHandExtra1".
QString HandImageBase(int node)
{
    QString name = NameOf(node);
    name.replace(QLatin1String("ExtraFinger"), QLatin1String("Extra"));
    return QStringLiteral("Bones/Hands/") + name;
}

// The foot's big toe is the solver's extra finger, so the foot images trade names: a
// "FootExtraFinger" node uses the "Thumb" image and a "FootThumb" node the "Extra" one.
QString FootImageBase(int node)
{
    QString name = NameOf(node);
    if (name.contains(QLatin1String("FootExtraFinger")))
        name.replace(QLatin1String("ExtraFinger"), QLatin1String("Thumb"));
    else if (name.contains(QLatin1String("FootThumb")))
        name.replace(QLatin1String("Thumb"), QLatin1String("Extra"));
    return QStringLiteral("Bones/Feet/") + name;
}

DiagramElement Arrow(int node, int target, const char* tooltip, const char* imageBase, int x, int y)
{
    DiagramElement arrow = Part(node, QLatin1String(imageBase), x, y);
    arrow.targetView = target;
    arrow.tooltip = QLatin1String(tooltip);
    return arrow;
}

DiagramElement ReturnArrow()
{
    return Arrow(-1, 0, "To Full Body View", "ReturnToArrow", 8, 8);
}

DiagramView FullBodyPage()
{
    DiagramView page = Page(0, "FullBody", "BodyGUI_Base.png");
    const struct
    {
        int node;
        const char* image;
        int x;
        int y;
    } parts[] = {
        {0, "Reference", 118, 342},    {49, "NotReq_LeftArm", 161, 166},
        {8, "Spine", 120, 133},        {1, "Hips", 107, 164},
        {2, "LeftUpLeg", 138, 184},    {3, "LeftLeg", 144, 264},
        {4, "LeftFoot", 152, 344},     {5, "RightUpLeg", 97, 184},
        {6, "RightLeg", 91, 264},      {7, "RightFoot", 82, 344},
        {9, "LeftArm", 156, 84},       {10, "LeftForeArm", 172, 126},
        {11, "LeftHand", 189, 174},    {12, "RightArm", 76, 84},
        {13, "RightForeArm", 57, 126}, {14, "RightHand", 46, 174},
        {15, "Head", 118, 20},
    };
    for (const auto& part : parts)
        page.parts.append(Part(part.node,
                               QStringLiteral("Bones/FullBody/") + QLatin1String(part.image),
                               part.x, part.y));

    page.arrows = {
        Arrow(21, 1, "To Left Hands View", "GoToArrow", 215, 191),
        Arrow(22, 2, "To Right Hands View", "GoToArrow", 19, 191),
        Arrow(16, 3, "To Left Feet View", "GoToArrow", 173, 343),
        Arrow(17, 4, "To Right Feet View", "GoToArrow", 61, 343),
        Arrow(20, 5, "To Neck View", "GoToArrow", 117, 64),
        Arrow(23, 6, "To Spine View", "GoToArrow", 117, 110),
        Arrow(18, 7, "To Left Shoulder View", "GoToArrow", 135, 81),
        Arrow(19, 8, "To Right Shoulder View", "GoToArrow", 100, 81),
        Arrow(172, 13, "To Left Hip Roll View", "GoToArrowTrans", 167, 214),
        Arrow(173, 14, "To Left Knee Roll View", "GoToArrowTrans", 172, 290),
        Arrow(174, 15, "To Right Hip Roll View", "GoToArrowTrans", 66, 214),
        Arrow(175, 16, "To Right Knee Roll View", "GoToArrowTrans", 65, 290),
        Arrow(176, 9, "To Left Shoulder Roll View", "GoToArrowTrans", 181, 86),
        Arrow(177, 10, "To Left Elbow Roll View", "GoToArrowTrans", 197, 132),
        Arrow(178, 11, "To Right Shoulder Roll View", "GoToArrowTrans", 53, 86),
        Arrow(179, 12, "To Right Elbow Roll View", "GoToArrowTrans", 39, 132),
    };

    const auto marker = [](int node, bool left, int x, int y) {
        InversionElement element;
        element.node = node;
        element.invertedImage =
            left ? QStringLiteral("LeftInversed.png") : QStringLiteral("RightInversed.png");
        element.normalImage =
            left ? QStringLiteral("LeftNormal.png") : QStringLiteral("RightNormal.png");
        element.x = x;
        element.y = y;
        return element;
    };
    page.inversions = {marker(3, true, 162, 250), marker(6, false, 65, 250),
                       marker(10, true, 183, 104), marker(13, false, 45, 104)};
    return page;
}

DiagramView DigitPage(int index, const char* name, const char* background,
                      QString (*imageBase)(int), std::initializer_list<Placed> parts)
{
    DiagramView page = Page(index, name, background);
    for (const Placed& part : parts)
        page.parts.append(Part(part.node, imageBase(part.node), part.x, part.y));
    page.arrows = {ReturnArrow()};
    return page;
}

// Neck and spine segments stack upward from bottomY, 31 pixels apart, on one shared image.
DiagramView StackPage(int index, const char* name, const char* background,
                      std::initializer_list<int> nodes, int bottomY)
{
    DiagramView page = Page(index, name, background);
    int y = bottomY;
    for (int node : nodes) {
        page.parts.append(Part(node, QStringLiteral("Bones/Neck_Spine/NeckSpine"), 114, y));
        y -= 31;
    }
    page.arrows = {ReturnArrow()};
    return page;
}

DiagramView CollarPage(int index, const char* name, const char* background, const char* side,
                       Placed collar, Placed extra)
{
    DiagramView page = Page(index, name, background);
    const QString base = QStringLiteral("Bones/Shoulders/") + QLatin1String(side);
    page.parts = {Part(collar.node, base + QStringLiteral("Shoulder"), collar.x, collar.y),
                  Part(extra.node, base + QStringLiteral("ShoulderExtra"), extra.x, extra.y)};
    page.arrows = {ReturnArrow()};
    return page;
}

// The five leaf rolls of one limb segment: first, first + 8, ..., first + 32.
// The eight roll pages look alike but for their side: each names its limb segment.
DiagramView RollPage(int index, const char* name, const char* title, const char* background,
                     int first, const char* imageBase, std::initializer_list<QPoint> positions)
{
    DiagramView page = Page(index, name, background);
    page.title = QLatin1String(title);
    int node = first;
    for (const QPoint& position : positions) {
        page.parts.append(Part(node, QLatin1String(imageBase), position.x(), position.y()));
        node += kLimbCount;
    }
    page.arrows = {ReturnArrow()};
    return page;
}

} // namespace

const DiagramLayout& DiagramLayout::Instance()
{
    // Freed when the plug-in library is unloaded, after its panels are gone.
    static const DiagramLayout layout;
    return layout;
}

DiagramLayout::DiagramLayout()
{
    Fill();
}

void DiagramLayout::Fill()
{
    statusElement.label = QStringLiteral("ValidationElement");
    statusElement.imageBase = QStringLiteral("Status");
    statusElement.x = 205;
    statusElement.y = 11;

    views.reserve(kPageCount);
    views.append(FullBodyPage());
    views.append(
        DigitPage(1, "LeftHands", "HandsGUI_Base_Left.png", HandImageBase,
                  {{21, 92, 298},  {146, 128, 294}, {50, 147, 260}, {51, 166, 221}, {52, 180, 184},
                   {53, 192, 163}, {147, 126, 217}, {54, 137, 172}, {55, 151, 139}, {56, 162, 103},
                   {57, 173, 82},  {148, 113, 216}, {58, 118, 157}, {59, 123, 116}, {60, 127, 80},
                   {61, 129, 59},  {149, 95, 219},  {62, 92, 168},  {63, 91, 130},  {64, 86, 94},
                   {65, 81, 73},   {150, 78, 233},  {66, 72, 194},  {67, 67, 158},  {68, 57, 119},
                   {69, 51, 98},   {151, 52, 243},  {70, 47, 205},  {71, 42, 169},  {72, 37, 138},
                   {73, 32, 117}}));
    views.append(
        DigitPage(2, "RightHands", "HandsGUI_Base_Right.png", HandImageBase,
                  {{22, 131, 298}, {152, 99, 294},  {74, 77, 260},  {75, 62, 221},  {76, 50, 184},
                   {77, 45, 163},  {153, 105, 217}, {78, 93, 172},  {79, 81, 139},  {80, 70, 103},
                   {81, 63, 82},   {154, 122, 216}, {82, 117, 157}, {83, 112, 116}, {84, 108, 80},
                   {85, 108, 59},  {155, 140, 219}, {86, 143, 168}, {87, 144, 130}, {88, 148, 94},
                   {89, 155, 73},  {156, 157, 233}, {90, 163, 194}, {91, 168, 158}, {92, 175, 119},
                   {93, 186, 98},  {157, 186, 243}, {94, 193, 205}, {95, 198, 169}, {96, 204, 138},
                   {97, 209, 117}}));
    views.append(
        DigitPage(3, "LeftFeet", "FootGUI_Base_Left.png", FootImageBase,
                  {{16, 124, 254}, {163, 154, 143}, {118, 152, 114}, {119, 151, 84}, {120, 149, 56},
                   {121, 146, 36}, {159, 125, 149}, {102, 120, 109}, {103, 116, 87}, {104, 114, 66},
                   {105, 112, 45}, {160, 105, 161}, {106, 98, 126},  {107, 92, 105}, {108, 84, 85},
                   {109, 76, 67},  {161, 91, 174},  {110, 83, 146},  {111, 75, 125}, {112, 66, 109},
                   {113, 58, 90},  {162, 76, 183},  {114, 66, 160},  {115, 58, 143}, {116, 50, 126},
                   {117, 41, 107}, {158, 176, 148}, {98, 186, 123},  {99, 186, 96},  {100, 186, 68},
                   {101, 185, 47}}));
    views.append(DigitPage(4, "RightFeet", "FootGUI_Base_Right.png", FootImageBase,
                           {{17, 90, 254},   {169, 80, 143},  {142, 84, 114},  {143, 85, 84},
                            {144, 87, 56},   {145, 91, 36},   {165, 99, 149},  {126, 115, 109},
                            {127, 120, 87},  {128, 122, 66},  {129, 125, 45},  {166, 116, 161},
                            {130, 136, 126}, {131, 144, 105}, {132, 151, 85},  {133, 160, 67},
                            {167, 131, 174}, {134, 151, 146}, {135, 160, 125}, {136, 169, 109},
                            {137, 177, 90},  {168, 145, 183}, {138, 167, 160}, {139, 178, 143},
                            {140, 186, 126}, {141, 194, 107}, {164, 54, 148},  {122, 50, 123},
                            {123, 50, 96},   {124, 50, 68},   {125, 51, 47}}));
    views.append(
        StackPage(5, "Neck", "NeckGUI_Base.png", {20, 32, 33, 34, 35, 36, 37, 38, 39, 40}, 315));
    views.append(
        StackPage(6, "Spine", "SpineGUI_Base.png", {23, 24, 25, 26, 27, 28, 29, 30, 31}, 284));
    views.append(CollarPage(7, "LeftCollar", "ShoulderLeftGUI_Base.png", "Left", {18, 22, 175},
                            {170, 123, 153}));
    views.append(CollarPage(8, "RightCollar", "ShoulderRightGUI_Base.png", "Right", {19, 127, 175},
                            {171, 19, 153}));
    views.append(RollPage(9, "LeftShoulderRoll", "Left Upper Arm Roll", "ArmLeftGUI_Base.png", 176,
                          "Bones/ArmRolls/LeftArmRollBone",
                          {{70, 98}, {87, 142}, {101, 186}, {116, 230}, {131, 275}}));
    views.append(RollPage(10, "LeftElbowRoll", "Left Forearm Roll", "ForeArmLeftGUI_Base.png", 177,
                          "Bones/ArmRolls/LeftForearmRollBone",
                          {{71, 96}, {88, 140}, {105, 186}, {123, 232}, {139, 277}}));
    views.append(RollPage(11, "RightShoulderRoll", "Right Upper Arm Roll", "ArmRightGUI_Base.png",
                          178, "Bones/ArmRolls/RightArmRollBone",
                          {{144, 98}, {128, 142}, {114, 186}, {98, 230}, {83, 275}}));
    views.append(RollPage(12, "RightElbowRoll", "Right Forearm Roll", "ForeArmRightGUI_Base.png",
                          179, "Bones/ArmRolls/RightForearmRollBone",
                          {{143, 96}, {126, 140}, {109, 186}, {93, 232}, {75, 277}}));
    views.append(RollPage(13, "LeftHipRoll", "Left Thigh Roll", "LegLeftGUI_Base.png", 172,
                          "Bones/LegRolls/LeftLegRollBone",
                          {{94, 36}, {103, 90}, {107, 142}, {114, 195}, {120, 248}}));
    views.append(RollPage(14, "LeftKneeRoll", "Left Shin Roll", "ShinLeftGUI_Base.png", 173,
                          "Bones/LegRolls/LeftShinRollBone",
                          {{106, 72}, {109, 125}, {112, 177}, {114, 228}, {117, 279}}));
    views.append(RollPage(15, "RightHipRoll", "Right Thigh Roll", "LegRightGUI_Base.png", 174,
                          "Bones/LegRolls/RightLegRollBone",
                          {{117, 36}, {111, 90}, {104, 142}, {98, 195}, {92, 248}}));
    views.append(RollPage(16, "RightKneeRoll", "Right Shin Roll", "ShinRightGUI_Base.png", 175,
                          "Bones/LegRolls/RightShinRollBone",
                          {{106, 72}, {103, 125}, {100, 177}, {98, 228}, {95, 279}}));
}
