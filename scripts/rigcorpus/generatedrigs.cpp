#include "generatedrigs.h"

#include <cmath>

namespace {

// Roles the namer knows; the sided ones take a side.
enum class Role
{
    Root,
    Hips,
    Spine,
    Neck,
    Head,
    HeadTop,
    Collar,
    UpperArm,
    ForeArm,
    Hand,
    Thigh,
    Shin,
    Foot,
    Toe,
    Digit,
    Palm
};

struct Convention
{
    const char* label;
    // Words for each role, in Role order (sided roles get the side added by `sided`).
    const char* words[16];
    const char* digits[5];
    const char* sides[2];
    // "%s" side placement: 0 = prefix glued ("LeftArm"), 1 = suffix ("arm_l"), 2 = infix after
    // a fixed prefix ("Bip01 L Arm").
    int placement;
    const char* prefix;
};

const Convention kConventions[] = {
    {"Left prefix",
     {"Root", "Hips", "Spine", "Neck", "Head", "HeadTop_End", "Shoulder", "Arm", "ForeArm", "Hand",
      "UpLeg", "Leg", "Foot", "ToeBase", "Hand", "HandPalm"},
     {"Thumb", "Index", "Middle", "Ring", "Pinky"},
     {"Left", "Right"},
     0,
     ""},
    {"_l suffix",
     {"root", "pelvis", "spine", "neck", "head", "head_end", "clavicle", "upperarm", "lowerarm",
      "hand", "thigh", "calf", "foot", "ball", "", "metacarpal"},
     {"thumb", "index", "middle", "ring", "pinky"},
     {"_l", "_r"},
     1,
     ""},
    {".L suffix",
     {"root", "hips", "spine", "neck", "head", "head_top", "shoulder", "upper_arm", "forearm",
      "hand", "thigh", "shin", "foot", "toe", "f_", "palm"},
     {"thumb", "index", "middle", "ring", "pinky"},
     {".L", ".R"},
     1,
     ""},
    {"Bip01 L infix",
     {"Bip01", "Bip01 Pelvis", "Bip01 Spine", "Bip01 Neck", "Bip01 Head", "Bip01 HeadNub",
      "Clavicle", "UpperArm", "Forearm", "Hand", "Thigh", "Calf", "Foot", "Toe0", "Finger", "Palm"},
     {"0", "1", "2", "3", "4"},
     {" L ", " R "},
     2,
     "Bip01"},
    {"J_Bip_L_ infix",
     {"Root", "J_Bip_C_Hips", "J_Bip_C_Spine", "J_Bip_C_Neck", "J_Bip_C_Head", "J_Bip_C_HeadTop",
      "Shoulder", "UpperArm", "LowerArm", "Hand", "UpperLeg", "LowerLeg", "Foot", "ToeBase", "",
      "Palm"},
     {"Thumb", "Index", "Middle", "Ring", "Little"},
     {"_L_", "_R_"},
     2,
     "J_Bip"},
    {"l- prefix",
     {"root", "hip", "waist", "neck", "head", "vent", "collar", "arm", "forearm", "hand", "thigh",
      "leg", "foot", "toe", "", "palm"},
     {"thumb", "index", "middle", "ring", "pinky"},
     {"l-", "r-"},
     0,
     ""},
    {"German words",
     {"Wurzel", "Becken", "Wirbel", "Hals", "Kopf", "KopfEnde", "Schluesselbein", "Oberarm",
      "Unterarm", "Hand", "Oberschenkel", "Unterschenkel", "Fuss", "Zeh", "", "Mittelhand"},
     {"Daumen", "Zeigefinger", "Mittelfinger", "Ringfinger", "Kleinfinger"},
     {"_links", "_rechts"},
     1,
     ""},
    {"no words", {}, {}, {"", ""}, 3, ""},
};
constexpr int kConventionCount = int(sizeof(kConventions) / sizeof(kConventions[0]));

class Namer
{
public:
    explicit Namer(int convention)
        : m_c(kConventions[convention])
    {}
    QString operator()(Role role, int side = -1, int index = -1, int digit = -1)
    {
        if (m_c.placement == 3)
            return QStringLiteral("joint%1").arg(++m_serial);
        QString word = QLatin1String(m_c.words[int(role)]);
        if (role == Role::Digit || role == Role::Palm)
            word += QLatin1String(m_c.digits[digit]);
        if (index >= 0)
            word += QString::number(index);
        if (side < 0)
            return word;
        const QString s = QLatin1String(m_c.sides[side]);
        switch (m_c.placement) {
        case 0:
            return s + word;
        case 1:
            return word + s;
        default:
            return QLatin1String(m_c.prefix) + s + word;
        }
    }

private:
    const Convention& m_c;
    int m_serial = 0;
};

Vec3 Rotated(const Vec3& v, double degrees) // about +Z, towards -Y for positive angles
{
    const double a = degrees * M_PI / 180.0;
    return {v.x * std::cos(a) + v.y * std::sin(a), -v.x * std::sin(a) + v.y * std::cos(a), v.z};
}

} // namespace

int NamingConventionCount()
{
    return kConventionCount;
}

QString NamingConventionName(int convention)
{
    return QLatin1String(kConventions[convention].label);
}

TruthRig GenerateBiped(const BipedShape& shape)
{
    TruthRig rig;
    rig.source = QStringLiteral("generated");
    Namer name(shape.convention);
    const double leg = shape.legScale;
    const double hipY = 8 + 92 * leg;
    const int root = rig.Add(name(Role::Root), -1, {0, 0, 0});
    const int hips = rig.Add(name(Role::Hips), root, {0, hipY, 0});
    rig.truth[1] = hips;
    int parent = hips;
    const double chestY = hipY + 35;
    for (int k = 0; k < shape.spine; ++k) {
        parent =
            rig.Add(name(Role::Spine, -1, k), parent, {0, hipY + 35.0 * (k + 1) / shape.spine, 0});
        rig.truth[k == 0 ? 8 : NodeId(23 + k - 1)] = parent;
    }
    const int chest = parent;
    for (int k = 0; k < shape.neck; ++k) {
        parent =
            rig.Add(name(Role::Neck, -1, k), parent, {0, chestY + 8 + 7.0 * k / shape.neck, -1});
        rig.truth[k == 0 ? 20 : NodeId(32 + k - 1)] = parent;
    }
    const double headY = chestY + 16 * shape.headScale;
    const int head = rig.Add(name(Role::Head), parent, {0, headY, 0});
    rig.truth[15] = head;
    if (shape.headTop)
        rig.Add(name(Role::HeadTop), head, {0, headY + 18 * shape.headScale, 1});
    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? 1.0 : -1.0;
        const auto at = [x](const Vec3& p) { return Vec3{p.x * x, p.y, p.z}; };
        // Legs.
        const NodeId legBase = side == 0 ? 2 : 5;
        const double kneeZ = 43 * leg * std::sin(shape.kneeBend * M_PI / 180.0);
        const int thigh = rig.Add(name(Role::Thigh, side), hips, at({9, hipY - 5, 0}));
        const int knee = rig.Add(name(Role::Shin, side), thigh, at({9, 8 + 44 * leg, kneeZ}));
        const int ankle = rig.Add(name(Role::Foot, side), knee, at({9, 8, -2}));
        rig.truth[legBase] = thigh;
        rig.truth[legBase + 1] = knee;
        rig.truth[legBase + 2] = ankle;
        if (shape.toes)
            rig.truth[side == 0 ? 16 : 17] = rig.Add(name(Role::Toe, side), ankle, at({9, 1, 12}));
        // Arms, bent down about the shoulder by `armDown`.
        const Vec3 shoulder{15, chestY + 10, 0};
        const auto arm = [&](const Vec3& p) {
            return at(shoulder + Rotated(p - shoulder, shape.armDown));
        };
        int armParent = chest;
        if (shape.collars) {
            armParent = rig.Add(name(Role::Collar, side), chest, at({4, chestY + 8, 0}));
            rig.truth[side == 0 ? 18 : 19] = armParent;
        }
        const int upper = rig.Add(name(Role::UpperArm, side), armParent, at(shoulder));
        const int fore = rig.Add(name(Role::ForeArm, side), upper, arm({43, chestY + 10, -1}));
        const int hand = rig.Add(name(Role::Hand, side), fore, arm({68, chestY + 10, 0}));
        const NodeId armBase = side == 0 ? 9 : 12;
        rig.truth[armBase] = upper;
        rig.truth[armBase + 1] = fore;
        rig.truth[armBase + 2] = hand;
        // Digits: thumb forward and angled, fingers across the hand, index nearest the thumb.
        const NodeId digits = side == 0 ? 50 : 74, palms = side == 0 ? 146 : 152;
        QVector<int> which;
        if (shape.fingers == 1)
            which = {1};
        else if (shape.fingers == 3)
            which = {0, 1, 2};
        else if (shape.fingers == 5)
            which = {0, 1, 2, 3, 4};
        for (int d : which) {
            const bool thumb = d == 0;
            const double across = thumb ? 4.0 : 2.4 - 1.6 * (d - 1);
            Vec3 start = thumb ? Vec3{71, chestY + 9, across} : Vec3{76, chestY + 10, across};
            const Vec3 step = thumb ? Vec3{2.2, -0.8, 1.6} : Vec3{3.0 - 0.3 * (d == 4), 0, 0};
            int digitParent = hand;
            if (shape.fingerPalms && !thumb) {
                digitParent = rig.Add(name(Role::Palm, side, -1, d), hand,
                                      arm({69.5, chestY + 10, across * 0.5}));
                rig.truth[palms + NodeId(d)] = digitParent;
            }
            for (int k = 0; k < shape.segments; ++k) {
                digitParent = rig.Add(name(Role::Digit, side, k + 1, d), digitParent, arm(start));
                if (shape.fingers == 1) {
                    if (k == 0)
                        rig.truth[side == 0 ? 21 : 22] = digitParent;
                } else
                    rig.truth[digits + NodeId(4 * d + k)] = digitParent;
                start = start + step * (1.0 - 0.15 * k);
            }
        }
    }
    return rig;
}

BipedShape RandomBipedShape(QRandomGenerator& random)
{
    BipedShape shape;
    shape.spine = 1 + random.bounded(5);
    shape.neck = random.bounded(4);
    shape.collars = random.bounded(4) != 0;
    const int fingers[] = {0, 1, 3, 5, 5};
    shape.fingers = fingers[random.bounded(5)];
    shape.segments = 2 + random.bounded(2);
    shape.fingerPalms = random.bounded(3) == 0;
    shape.toes = random.bounded(3) != 0;
    shape.armDown = random.bounded(5) * 12.0;
    shape.kneeBend = random.bounded(4) == 0 ? 0.5 : 2.0 + random.bounded(8);
    const bool child = random.bounded(4) == 0;
    shape.legScale = child ? 0.7 : 0.9 + 0.02 * random.bounded(10);
    shape.headScale = child ? 1.4 : 1.0;
    shape.headTop = random.bounded(2) != 0;
    shape.convention = random.bounded(kConventionCount);
    return shape;
}

std::vector<TruthRig> GenerateNonBipeds()
{
    std::vector<TruthRig> rigs;
    // Four-legged: a level spine with legs at both ends, with and without a tail and toes.
    for (int variant = 0; variant < 4; ++variant) {
        TruthRig rig;
        rig.source = QStringLiteral("quadruped %1").arg(variant);
        rig.biped = false;
        rig.refusedFor = QStringLiteral("four-legged");
        const int hip = rig.Add("pelvis", -1, {0, 50, 0});
        const int chest = rig.Add("chest", rig.Add("spine", hip, {0, 52, 20}), {0, 52, 40});
        rig.Add("head", rig.Add("neck", chest, {0, 60, 50}), {0, 65, 62});
        if (variant & 1)
            rig.Add("tail2", rig.Add("tail1", hip, {0, 50, -15}), {0, 46, -32});
        for (double x : {8.0, -8.0})
            for (const auto& [from, z] : {std::pair<int, double>{hip, 0.0}, {chest, 40.0}}) {
                const int foot = rig.Add(
                    "paw", rig.Add("shin", rig.Add("thigh", from, {x, 45, z}), {x, 25, z + 2}),
                    {x, 3, z});
                if (variant & 2)
                    rig.Add("toe", foot, {x, 0, z + 5});
            }
        rigs.push_back(rig);
    }
    TruthRig arm;
    arm.source = QStringLiteral("robot arm");
    arm.biped = false;
    arm.refusedFor = QStringLiteral("no pair");
    int j = arm.Add("base", -1, {0, 0, 0});
    for (int k = 1; k <= 4; ++k)
        j = arm.Add(QStringLiteral("link%1").arg(k), j, {0, 60.0 * k, 0});
    j = arm.Add("wrist", j, {30, 240, 0});
    arm.Add("jaw_left", j, {40, 250, 5});
    arm.Add("jaw_right", j, {40, 250, -5});
    rigs.push_back(arm);
    TruthRig spider;
    spider.source = QStringLiteral("eight legs");
    spider.biped = false;
    spider.refusedFor = QStringLiteral("many-legged");
    const int body = spider.Add("body", -1, {0, 20, 0});
    for (int k = 0; k < 8; ++k) {
        const double a = M_PI * (k + 0.5) / 4.0;
        spider.Add("tip", spider.Add("knee", body, {20 * std::cos(a), 30, 20 * std::sin(a)}),
                   {40 * std::cos(a), 0, 40 * std::sin(a)});
    }
    rigs.push_back(spider);
    return rigs;
}
