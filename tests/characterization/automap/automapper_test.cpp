// The auto-mapper on hand-built skeletons: any orientation and unit, weak or no facing cues,
// refusals; the shipped templates against it; applying and reverting its rows. (Hands of one
// finger, twists, helpers and the rest are measured on the corpus.)
#include "automapchange.h"
#include "automapper.h"
#include "files/namingtemplate.h"
#include "model/characterizationmodel.h"
#include "sceneskeleton.h"
#include "sharedrigs.h"

#include "scene/nodename.h"
#include "solver/nodenames.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

// Slots the truth binds that the proposal misses or binds elsewhere, and rows the truth has no
// slot for.
struct Score
{
    QStringList misses;
    int wrong = 0;
};

Score Compare(const Skeleton& skeleton, const AutoMapProposal& proposal, const Truth& truth)
{
    Score score;
    std::map<NodeId, QString> expected;
    for (const auto& [slot, joint] : truth)
        expected[NodeByName(slot.constData())] = kestrel::EscapeNodeName(joint);
    for (const auto& [node, joint] : expected) {
        const AutoMapSlot* slot = proposal.SlotOf(node);
        if (!slot || skeleton.joints[slot->joint].name != joint)
            score.misses << QStringLiteral("%1=%2 (got %3)")
                                .arg(QLatin1String(kinetra::NodeName(node)), joint,
                                     slot ? skeleton.joints[slot->joint].name : QString("-"));
    }
    for (const AutoMapSlot& slot : proposal.entries)
        score.wrong += !expected.count(slot.node);
    return score;
}

// A T-pose biped in centimetres, Y up, facing +Z (its left is +X). Joints starting with "l"
// are mirrored into "r" ones at -x.
//
//                 head
//                  |
//   lhand-lfore-lupper-lcollar-chest-(right side)      five digits on each hand
//                            |
//                          spine
//                            |
//                 lthigh---hips---rthigh
//                   |
//                 lknee  (one cm forward)
//                   |
//                 lankle-ltoe (forward)
struct Joint
{
    const char* name;
    const char* parent;
    double x, y, z;
};
const std::vector<Joint> kTPose = {
    {"hips", nullptr, 0, 100, 0},         {"spine", "hips", 0, 110, 0},
    {"chest", "spine", 0, 130, 0},        {"neck", "chest", 0, 150, 0},
    {"head", "neck", 0, 160, 0},          {"lcollar", "chest", 5, 145, 0},
    {"lupper", "lcollar", 15, 145, 0},    {"lfore", "lupper", 43, 145, 0},
    {"lhand", "lfore", 68, 145, 0},       {"lthumb1", "lhand", 71, 145, 4},
    {"lthumb2", "lthumb1", 74, 145, 6},   {"lindex1", "lhand", 76, 145, 2},
    {"lindex2", "lindex1", 80, 145, 2},   {"lmiddle1", "lhand", 76, 145, 0},
    {"lmiddle2", "lmiddle1", 81, 145, 0}, {"lring1", "lhand", 76, 145, -2},
    {"lring2", "lring1", 80, 145, -2},    {"lpinky1", "lhand", 75, 145, -4},
    {"lpinky2", "lpinky1", 78, 145, -4},  {"lthigh", "hips", 9, 95, 0},
    {"lknee", "lthigh", 9, 52, 1},        {"lankle", "lknee", 9, 8, 0},
    {"ltoe", "lankle", 9, 2, 12},
};
// What the mapper must propose for kTPose: every slot it has a joint for.
const Truth kTPoseTruth = Sided(
    {{"Hips", "hips"}, {"Spine", "spine"}, {"Spine1", "chest"}, {"Neck", "neck"}, {"Head", "head"}},
    Truth{{"LeftUpLeg", "%1thigh"},
          {"LeftLeg", "%1knee"},
          {"LeftFoot", "%1ankle"},
          {"LeftToeBase", "%1toe"},
          {"LeftShoulder", "%1collar"},
          {"LeftArm", "%1upper"},
          {"LeftForeArm", "%1fore"},
          {"LeftHand", "%1hand"}} +
        Digits("Hand", "Thumb=thumb Index=index Middle=middle Ring=ring Pinky=pinky", "%1%2%3", 2),
    "l", "r");

// Builds `joints` (left side mirrored) with every position mapped through `place`.
template <typename Place>
Skeleton Build(const std::vector<Joint>& joints, Place place)
{
    std::vector<Joint> all = joints;
    static std::vector<QByteArray> keep;
    for (const Joint& joint : joints)
        if (joint.name[0] == 'l') {
            keep.push_back(QByteArray(joint.name).replace(0, 1, "r"));
            const char* name = keep.back().constData();
            const char* parent = joint.parent;
            if (parent[0] == 'l') {
                keep.push_back(QByteArray(parent).replace(0, 1, "r"));
                parent = keep.back().constData();
            }
            all.push_back({name, parent, -joint.x, joint.y, joint.z});
        }
    Skeleton skeleton;
    for (const Joint& joint : all) {
        int parent = -1;
        for (int i = 0; joint.parent && i < skeleton.joints.size(); ++i)
            if (skeleton.joints[i].name == QLatin1String(joint.parent))
                parent = i;
        skeleton.joints.append(
            {QLatin1String(joint.name), parent, place({joint.x, joint.y, joint.z})});
    }
    return skeleton;
}

} // namespace

// Sides, up and units come from the geometry: the same body turned, laid in Z-up space or
// scaled to metres maps the same, even when it faces away from +Z.
TEST(AutoMapper, ReadsSidesAndUpFromGeometryInAnyOrientationAndUnit)
{
    const struct
    {
        const char* pose;
        Vec3 (*place)(const Vec3&);
    } cases[] = {
        {"y-up, facing +z, cm", [](const Vec3& p) { return p; }},
        {"y-up, facing -z",
         [](const Vec3& p) {
             return Vec3{-p.x, p.y, -p.z};
         }},
        {"y-up, facing +x",
         [](const Vec3& p) {
             return Vec3{p.z, p.y, -p.x};
         }},
        {"z-up, facing -y, metres",
         [](const Vec3& p) {
             return Vec3{p.x, -p.z, p.y} * 0.01 + Vec3{3, 4, 5};
         }},
    };
    for (const auto& c : cases) {
        const Skeleton skeleton = Build(kTPose, c.place);
        const AutoMapProposal proposal = AutoMapper::Propose(skeleton);
        ASSERT_TRUE(proposal.IsBiped()) << c.pose << ": " << qPrintable(proposal.refusal);
        const Score score = Compare(skeleton, proposal, kTPoseTruth);
        EXPECT_TRUE(score.misses.isEmpty() && score.wrong == 0)
            << c.pose << ": " << qPrintable(score.misses.join(' ')) << " extra " << score.wrong;
        for (const AutoMapSlot& slot : proposal.entries)
            // Sides this clear need no word on what decided them.
            EXPECT_TRUE(slot.confidence >= AutoMapProposal::kProposeThreshold &&
                        slot.confidence <= 1.0 && !slot.reason.isEmpty() &&
                        !slot.reason.contains("sides:"))
                << c.pose << " " << kinetra::NodeName(slot.node) << ": " << qPrintable(slot.reason);
    }
}

// Without toes and with straight knees the thumbs still show the facing, though too weakly to
// bind unasked; with no digits either, nothing does: the limbs are proposed as a guess, low and
// saying so, rather than left out.
TEST(AutoMapper, WeighsWeakFacingCuesAndGuessesSidesLowWhenNothingShows)
{
    for (const bool digits : {true, false}) {
        std::vector<Joint> joints;
        for (Joint joint : kTPose)
            // Digits are the joints whose names end in a number.
            if (qstrcmp(joint.name, "ltoe") != 0 &&
                (digits || !QChar(joint.name[qstrlen(joint.name) - 1]).isDigit())) {
                if (qstrcmp(joint.name, "lknee") == 0)
                    joint.z = 0;
                joints.push_back(joint);
            }
        const Skeleton skeleton = Build(joints, [](const Vec3& p) { return p; });
        const AutoMapProposal proposal = AutoMapper::Propose(skeleton);
        ASSERT_TRUE(proposal.IsBiped()) << qPrintable(proposal.refusal);
        const Score score = Compare(skeleton, proposal, kTPoseTruth);
        EXPECT_EQ(proposal.note.contains("a guess"), !digits) << qPrintable(proposal.note);
        for (const char* sided : {"LeftUpLeg", "RightFoot", "LeftArm", "RightHand"})
            EXPECT_NE(proposal.SlotOf(NodeByName(sided)), nullptr) << digits << sided;
        if (digits) {
            // Only the removed toes are missing.
            EXPECT_EQ(score.misses.filter("ToeBase=").size(), score.misses.size())
                << qPrintable(score.misses.join(' '));
        }
        for (const AutoMapSlot& slot : proposal.entries) {
            if (MirrorNodeOf(slot.node) > 0) {
                EXPECT_TRUE(slot.confidence < AutoMapProposal::kTickThreshold &&
                            slot.reason.contains(digits ? "thumbs" : "a guess"))
                    << kinetra::NodeName(slot.node) << ": " << qPrintable(slot.reason);
            }
        }
    }
}

// Geometry over weak names: knee targets kept outside the body show the facing over side names
// read from the viewer; a limb bends at its middle joint, so twists stay rolls, named or not; palm
// bones starting together stand for the wrist past a forearm twist, and one bearing nothing is it.
TEST(AutoMapper, ReadsKneeTargetsTwistsAndPalmBonesFromGeometry)
{
    using Joints = std::vector<Joint>;
    // Edits of kTPose: a joint put halfway between `child` and its parent, a joint moved,
    // joints dropped by name.
    const auto split = [](Joints& j, const char* name, const char* child) {
        const auto c = std::find_if(j.begin(), j.end(),
                                    [&](const Joint& k) { return qstrcmp(k.name, child) == 0; });
        const auto p = std::find_if(
            j.begin(), j.end(), [&](const Joint& k) { return qstrcmp(k.name, c->parent) == 0; });
        const Joint twist{name, c->parent, (c->x + p->x) / 2, (c->y + p->y) / 2, (c->z + p->z) / 2};
        c->parent = name;
        j.insert(c, twist); // before its child: parents come first
    };
    const auto move = [](Joints& j, const char* name, double x, double z) {
        for (Joint& c : j)
            if (qstrcmp(c.name, name) == 0)
                c.x = x, c.z = z;
    };
    const auto drop = [](Joints& j, const QRegularExpression& names) {
        j.erase(std::remove_if(j.begin(), j.end(),
                               [&](const Joint& c) { return QString(c.name).contains(names); }),
                j.end());
    };
    const QRegularExpression digits("[0-9]$|toe"), hand("hand|thumb|index|middle|ring|pinky");
    // Without collars, the upper arms hang from the chest.
    const auto noCollar = [&](Joints& j) {
        drop(j, QRegularExpression("collar"));
        for (Joint& c : j)
            c.parent = qstrcmp(c.name, "lupper") == 0 ? "chest" : c.parent;
    };
    // Palm bones starting together at the wrist, which has no joint: a finger on each, and
    // the thumb on the forearm.
    const auto palms = [&](Joints& j) {
        drop(j, hand);
        j.insert(j.end(), {{"lpalm1", "lfore", 68, 145, 0},
                           {"lindex", "lpalm1", 76, 145, 2},
                           {"lpalm2", "lfore", 68, 145, 0},
                           {"lpalm3", "lfore", 68, 145, 0},
                           {"lring", "lpalm3", 76, 145, -2},
                           {"lthumb", "lfore", 71, 145, 4}});
    };
    struct Case
    {
        const char* what;
        std::function<void(Joints&)> edit;
        bool mirrored, renamed;
        const char* expect;           // slot=joint
        const char* reason = nullptr; // what the first slot's reason says
    };
    const Case cases[] = {
        {"knee targets",
         [&](Joints& j) {
             drop(j, digits);
             move(j, "lknee", 9, 0);
             j.push_back({"controls", nullptr, 0, 0, 0});
             j.push_back({"ltarget", "controls", 9, 52, 30});
         },
         true, false, "LeftUpLeg=rthigh LeftArm=rupper RightFoot=lankle"},
        {"twists on both arm segments",
         [&](Joints& j) {
             noCollar(j);
             move(j, "lfore", 40, 0);
             split(j, "lupturn", "lfore");
             split(j, "lforeturn", "lhand");
         },
         false, true, "LeftArm=lupper LeftForeArm=lfore LeftHand=lhand LeftForeArmRoll=lforeturn"},
        {"named twist in an arm without a hand",
         [&](Joints& j) {
             drop(j, hand);
             noCollar(j);
             split(j, "l_twist", "lfore");
         },
         false, false, "LeftArm=lupper LeftForeArm=lfore LeftArmRoll=l_twist"},
        {"palm bones past a forearm twist",
         [&](Joints& j) {
             palms(j);
             j.push_back({"lmiddle", "lpalm2", 76, 145, 0});
             split(j, "lforeturn", "lpalm2");
         },
         false, true, "LeftHand=lpalm2 LeftForeArmRoll=lforeturn LeftInHandIndex=lpalm1"},
        {"a palm bone bearing nothing", palms, false, true,
         "LeftHand=lpalm2 LeftInHandIndex=lpalm1"},
        {"an index finger of a palm bone and five joints",
         [](Joints& j) {
             j.insert(j.end(), {{"lindex3", "lindex2", 83, 145, 2},
                                {"lindex4", "lindex3", 86, 145, 2},
                                {"lindex5", "lindex4", 89, 145, 2},
                                {"lindex6", "lindex5", 92, 145, 2}});
         },
         false, true, "LeftHandIndex4=lindex5 LeftHandMiddle1=lmiddle1 LeftHandMiddle2=lmiddle2"},
        {"a skull top named so, too low for its height to tell",
         [](Joints& j) {
             j.push_back({"head_end", "head", 0, 164.5, 0});
         },
         false, false, "Head=head"},
        {"arms from the neck of a two-joint spine",
         [](Joints& j) {
             for (Joint& c : j) {
                 c.parent = qstrcmp(c.parent ? c.parent : "", "spine") == 0 ? "hips" : c.parent;
                 c.parent = qstrcmp(c.name, "lcollar") == 0 ? "neck" : c.parent;
             }
             j.erase(j.begin() + 1); // the spine joint
             j.push_back({"top", "head", 0, 176, 0});
         },
         false, true, "Spine=chest Neck=neck Head=head"},
        {"a roll joint just below the thigh joint",
         [&](Joints& j) {
             split(j, "lthighroll", "lknee");
             for (Joint& c : j)
                 c.y = qstrcmp(c.name, "lthighroll") == 0 ? 94 : c.y;
         },
         false, true, "LeftUpLeg=lthigh LeftLeg=lknee LeftFoot=lankle"},
        {"a hand of two parallel digits, one named the thumb",
         [&](Joints& j) {
             drop(j, QRegularExpression("middle|ring|pinky"));
             move(j, "lthumb1", 76, -2);
             move(j, "lthumb2", 80, -2);
             for (Joint& c : j) {
                 c.name = qstrcmp(c.name, "lthumb1") == 0 ? "l_thumb_a" : c.name;
                 c.parent = qstrcmp(c.name, "lthumb2") == 0 ? "l_thumb_a" : c.parent;
             }
         },
         false, false, "LeftHandThumb1=l_thumb_a LeftHandThumb2=lthumb2", "named as the thumb"},
        {"a hand of one finger on a palm bone named so",
         [&](Joints& j) {
             drop(j, QRegularExpression("thumb|middle|ring|pinky"));
             for (Joint& c : j) {
                 c.name = qstrcmp(c.name, "lindex1") == 0 ? "l_palm" : c.name;
                 c.parent = qstrcmp(c.name, "lindex2") == 0 ? "l_palm" : c.parent;
             }
         },
         false, false, "LeftInHandIndex=l_palm LeftFingerBase=lindex2",
         "the hand's one chain of digits"},
        {"spine joints counted from the hips", [](Joints&) {}, false, true, "Spine=spine",
         "joint 1 of the spine from the hips"},
        {"fingers told by their order alone", [](Joints&) {}, false, true,
         "LeftHandMiddle1=lmiddle1 LeftHandThumb1=lthumb1", "middle finger, 2 from the thumb"},
    };
    for (const Case& c : cases) {
        Joints joints = kTPose;
        c.edit(joints);
        Skeleton skeleton = Build(joints, [&](const Vec3& p) {
            return c.mirrored ? Vec3{-p.x, p.y, p.z} : p;
        });
        QStringList names;
        for (SkeletonJoint& joint : skeleton.joints) {
            names << joint.name;
            joint.name = c.renamed ? QStringLiteral("n%1").arg(names.size()) : joint.name;
        }
        const AutoMapProposal proposal = AutoMapper::Propose(skeleton);
        ASSERT_TRUE(proposal.IsBiped()) << c.what << ": " << qPrintable(proposal.refusal);
        const AutoMapSlot* first =
            proposal.SlotOf(NodeByName(qPrintable(QString(c.expect).section('=', 0, 0))));
        EXPECT_TRUE(!c.reason || (first && first->reason.contains(c.reason)))
            << c.what << ": " << (first ? qPrintable(first->reason) : "");
        for (const QString& pair : QString(c.expect).split(' ')) {
            const AutoMapSlot* slot =
                proposal.SlotOf(NodeByName(qPrintable(pair.section('=', 0, 0))));
            EXPECT_EQ((slot ? names[slot->joint] : QString("-")).toStdString(),
                      pair.section('=', 1).toStdString())
                << c.what << ": " << qPrintable(pair);
            // Names read from the viewer, overruled, keep every sided row for review.
            EXPECT_TRUE(!c.mirrored ||
                        (slot && slot->confidence < AutoMapProposal::kTickThreshold &&
                         slot->reason.contains("knee targets")))
                << c.what;
        }
    }
}

// What is not a biped is refused with a reason, and nothing is proposed.
TEST(AutoMapper, RefusesWhatIsNotABiped)
{
    // A four-legged body: a level spine with legs hanging from both ends, and a tail.
    const std::vector<Joint> quadruped = {
        {"hip", nullptr, 0, 50, 0},     {"spine", "hip", 0, 52, 20},
        {"chest", "spine", 0, 52, 40},  {"neck", "chest", 0, 60, 50},
        {"head", "neck", 0, 65, 60},    {"tail1", "hip", 0, 50, -15},
        {"tail2", "tail1", 0, 48, -30}, {"lthigh", "hip", 8, 45, 0},
        {"lshin", "lthigh", 8, 25, 2},  {"lpaw", "lshin", 8, 2, 0},
        {"lupper", "chest", 8, 45, 40}, {"lfore", "lupper", 8, 25, 40},
        {"lhand", "lfore", 8, 2, 42},
    };
    const std::vector<Joint> snake = {
        {"a", nullptr, 0, 0, 0}, {"b", "a", 0, 0, 10}, {"c", "b", 0, 0, 20}};
    Skeleton cycle = Build(snake, [](const Vec3& p) { return p; });
    cycle.joints[0].parent = 2;
    const struct
    {
        const char* what;
        Skeleton skeleton;
        const char* reason;
    } cases[] = {
        {"four legs", Build(quadruped, [](const Vec3& p) { return p; }), "four-legged"},
        {"one chain", Build(snake, [](const Vec3& p) { return p; }), "no pair of matching limbs"},
        {"parent cycle", cycle, "cycle"},
        {"one point",
         Build(snake,
               [](const Vec3&) {
                   return Vec3{1, 2, 3};
               }),
         "do not span"},
        {"no joints", Skeleton(), "no joints"},
    };
    for (const auto& c : cases) {
        const AutoMapProposal proposal = AutoMapper::Propose(c.skeleton);
        EXPECT_TRUE(proposal.refusal.contains(QLatin1String(c.reason)))
            << c.what << ": " << qPrintable(proposal.refusal);
        // characterizationAutoMap says "not a biped:" before the reason itself.
        EXPECT_FALSE(proposal.refusal.contains(QLatin1String("biped"))) << c.what;
        EXPECT_TRUE(proposal.entries.isEmpty()) << c.what;
    }
}

// Every shipped naming template names only joints its skeleton has, fills the 15 required
// slots, and agrees with the structural proposal on every slot both fill.
TEST(ShippedTemplates, NameRealJointsAndAgreeWithTheStructuralProposal)
{
    const struct
    {
        const char* templateFile;
        const char* skeletonFile;
        const char* prefix;
        bool biped; // whether the structure alone reads as a biped
    } cases[] = {
        {"slot_names.xml", "mixamo_prefixed_clip.bvh", "mixamorig:", true},
        {"slot_names.xml", "namespaced_joints_walk.bvh", "Character1_", true},
        {"mocap_short_names.xml", "cmu_mocap_subject01_jumps.bvh", "", true},
        {"joint_anatomy_names.xml", "biovision_style_arms_down.bvh", "", true},
        {"dot_side_suffix.xml", "makehuman_default_rig_apose_rest.bvh", "", true},
        // Its left metacarpals stand on the wrong side of the body.
        {"lower_case_underscore.xml", "mannequin_style_rig.json", "", true},
        // Its feet hang from the root beside the hips, as in a rig built for foot targets.
        {"side_letter_suffix.xml", "robot_expressive_lr_suffix.glb", "", true},
    };
    const QDir templates(QStringLiteral(CT_TEMPLATE_DIR));
    ASSERT_EQ(templates.entryList({"*.xml"}, QDir::Files).size(), 6);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templateFile);
        const QVector<TemplateEntry> entries =
            NamingTemplate::ReadTemplate(templates.filePath(QLatin1String(c.templateFile)));
        ASSERT_EQ(entries.size(), NodeCount);
        for (NodeId node = 1; node < 16; ++node)
            EXPECT_FALSE(entries[node].name.isEmpty()) << kinetra::NodeName(node);
        Skeleton skeleton;
        if (SharedSkeletonDir().isEmpty())
            continue; // the shared folder is absent: the templates alone are checked
        ASSERT_TRUE(LoadSkeleton(SharedSkeletonDir() + '/' + c.skeletonFile, skeleton))
            << c.skeletonFile;
        QHash<QString, int> joints;
        for (int j = 0; j < skeleton.joints.size(); ++j)
            joints.insert(skeleton.joints[j].name, j);
        const AutoMapProposal proposal = AutoMapper::Propose(skeleton);
        EXPECT_EQ(proposal.IsBiped(), c.biped) << qPrintable(proposal.refusal);
        int named = 0, shared = 0, agreed = 0;
        QStringList disagreements;
        for (NodeId node = 0; node < NodeCount; ++node) {
            if (entries[node].name.isEmpty())
                continue;
            const QString joint = QLatin1String(c.prefix) + entries[node].name;
            const AutoMapSlot* slot = proposal.SlotOf(node);
            if (!joints.contains(joint)) {
                // The slot-name template lists every slot; the others list only real joints.
                EXPECT_EQ(qstrcmp(c.templateFile, "slot_names.xml"), 0) << qPrintable(joint);
                continue;
            }
            ++named;
            if (!slot)
                continue;
            ++shared;
            const bool same = skeleton.joints[slot->joint].name == joint;
            agreed += same;
            EXPECT_TRUE(same || !IsRequiredNode(node)) << kinetra::NodeName(node);
            if (!same)
                disagreements << QLatin1String(kinetra::NodeName(node));
        }
        // A rig file may place a few finger joints oddly; nine in ten must still agree.
        EXPECT_GE(agreed * 10, shared * 9) << qPrintable(disagreements.join(' '));
        EXPECT_GE(named, 15) << c.skeletonFile;
    }
}

// Applying rows moves a joint out of the slot it held, and reverting restores every slot.
TEST(AutoMapChange, AppliesRowsWithoutDuplicatingJointsAndRevertsExactly)
{
    CharacterizationModel model(nullptr, nullptr);
    model.AssignNode(1, "pelvis");  // stays: not a row
    model.AssignNode(15, "spine3"); // replaced by a row
    model.AssignNode(20, "skull");  // its joint moves to a row
    AutoMapChange change({{15, "skull"}, {8, "spine1"}});
    EXPECT_EQ(change.Apply(model), 2);
    const auto bound = [&] {
        return QStringList{model.JointOfNode(1), model.JointOfNode(8), model.JointOfNode(15),
                           model.JointOfNode(20)};
    };
    EXPECT_EQ(bound(), QStringList({"pelvis", "spine1", "skull", ""}));
    change.Revert(model);
    EXPECT_EQ(bound(), QStringList({"pelvis", "", "spine3", "skull"}));
}
