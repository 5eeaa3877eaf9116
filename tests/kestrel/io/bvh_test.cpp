// BVH import: hierarchy, names, rest pose and frames, broken files and the real skeletons.
#include "kestreltest.h"

#include "io/bvhimporter.h"
#include "io/scenedescription.h"
#include "io/scenedocument.h"
#include "scene/transformquery.h"

#include <QRegularExpression>

using namespace kestrel;

namespace {

class Bvh : public HostTest
{
protected:
    void Open(const QString& path, int frame = -1)
    {
        ASSERT_EQ(host.GetDocument().Open(path, frame), Status::Success)
            << qPrintable(Errors().join('\n'));
    }
};

QString ImportError(const QByteArray& text, int frame = -1)
{
    SceneDescription description;
    QString error;
    EXPECT_FALSE(BvhImporter::Read(text, frame, &description, &error)) << text.constData();
    return error;
}

const QByteArray kTwoJoints =
    "HIERARCHY\nROOT A\n{\n OFFSET 0 0 0\n CHANNELS 3 Zrotation Xrotation Yrotation\n"
    " JOINT B\n {\n  OFFSET 1 2 3\n  CHANNELS 0\n }\n}\n";

} // namespace

TEST_F(Bvh, ImportsJointsWithEscapedNamesOffsetsAndChannelOrdersButNoEndSites)
{
    Open(TestData("simple.bvh"));
    EXPECT_EQ(RunOk("ls"), "Hips Left_Leg Left_Foot");
    EXPECT_EQ(RunOk("ls -type joint"), RunOk("ls"));
    const Node* leg = Find("Left_Leg");
    EXPECT_EQ(leg->ParentName(), "Hips");
    EXPECT_TRUE(NearVector(leg->Transform().translation, {10, -5, 0}));
    // Channels listed Z X Y compose as Rz * Rx * Ry: y applies first.
    EXPECT_EQ(leg->Transform().rotationOrder, RotationOrder::YXZ);
    EXPECT_TRUE(NearVector(leg->Transform().rotation, {0, 0, 0}));
    EXPECT_TRUE(NearVector(World("Left_Foot"), {10, -45, 0}));
}

TEST_F(Bvh, FramesSetRotationsAndRootPositions)
{
    // Frame 0: the root moves to (1, 95, 2) and the leg turns 90 degrees about z.
    const QString open = "openScene \"" + TestData("simple.bvh") + "\" -frame ";
    RunOk(open + "0");
    EXPECT_TRUE(NearVector(World("Hips"), {1, 95, 2}, 1e-9));
    EXPECT_TRUE(NearVector(World("Left_Leg"), {11, 90, 2}, 1e-9));
    EXPECT_TRUE(NearVector(World("Left_Foot"), {51, 90, 2}, 1e-9));
    EXPECT_EQ(RunOk("getAttr Left_Leg.rz"), "90");
    // Frame 1 (after a blank line): the root turns 90 degrees about x.
    Open(TestData("simple.bvh"), 1);
    EXPECT_TRUE(NearVector(World("Left_Leg"), {10, 100, -5}, 1e-9));
    EXPECT_TRUE(NearVector(World("Left_Foot"), {10, 100, -45}, 1e-9));
    ExpectFails(open + "2", Status::InvalidParameter, TestData("simple.bvh") + "\": line 22");
    ExpectFails(open + "-1", Status::InvalidParameter, "-frame");
}

TEST(BvhImport, PositionChannelsOfInnerJointsAddToTheirOffset)
{
    const QByteArray text =
        "HIERARCHY\nROOT A\n{\n OFFSET 5 5 5\n CHANNELS 3 Xposition Yposition Zposition\n"
        " JOINT B\n {\n  OFFSET 1 2 3\n  CHANNELS 1 Yposition\n }\n}\n"
        "MOTION\nFrames: 1\nFrame Time: 1\n10 20 30 4\n";
    SceneDescription description;
    QString error;
    ASSERT_TRUE(BvhImporter::Read(text, 0, &description, &error)) << qPrintable(error);
    EXPECT_TRUE(NearVector(description.nodes[0].transform.translation, {10, 20, 30}));
    EXPECT_TRUE(NearVector(description.nodes[1].transform.translation, {1, 6, 3}));
    // Fewer than three rotation channels: the missing axes apply first.
    const QByteArray partial =
        "HIERARCHY\nROOT A\n{\n OFFSET 0 0 0\n CHANNELS 2 Xrotation Zrotation\n}\n";
    ASSERT_TRUE(BvhImporter::Read(partial, -1, &description, &error)) << qPrintable(error);
    EXPECT_EQ(description.nodes[0].transform.rotationOrder, RotationOrder::YZX);
}

TEST(BvhImport, BrokenFilesGiveTheLineAndTheProblem)
{
    struct Case
    {
        QByteArray text;
        int frame;
        QString error;
    };
    const QByteArray motion = "MOTION\nFrames: 1\nFrame Time: 0.1\n";
    const QVector<Case> cases = {
        {"", -1, "expected HIERARCHY"},
        {"ROOT A\n{\n}\n", -1, "line 1: expected \"HIERARCHY\", found \"ROOT\"."},
        {"HIERARCHY\nJOINT A\n", -1, "line 2: expected ROOT, found \"JOINT\"."},
        {"HIERARCHY\nROOT\n{\n", -1, "line 2: ROOT without a name."},
        {"HIERARCHY\nROOT A\nOFFSET 0 0 0\n", -1, "line 3: expected \"{\", found \"OFFSET\"."},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 x 0\n}\n", -1,
         "line 4: expected an OFFSET number, found \"x\"."},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\nCHANNELS 7\n}\n", -1,
         "the channel count must be 0 to 6"},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\nCHANNELS 1 Wrotation\n}\n", -1,
         "unknown channel \"Wrotation\"."},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\nCHANNELS 2 Xrotation xrotation\n}\n", -1,
         "channel \"xrotation\" appears twice."},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\nJOINT A\n{\nOFFSET 0 0 0\n}\n}\n", -1,
         "line 5: the joint name \"A\" is used twice."},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\nCHANNELS 0\nBOGUS\n}\n", -1,
         "expected JOINT, End or }, found \"BOGUS\"."},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\n", -1, "unexpected end of the hierarchy"},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\nEnd Site\n{\nOFFSET 1 1\n}\n}\n", -1,
         "expected an OFFSET number"},
        {kTwoJoints, 0, "there is no MOTION section."},
        {kTwoJoints + "MOTION\nFrames: x\nFrame Time: 0.1\n", 0, "bad frame count \"x\"."},
        {kTwoJoints + "MOTION\nFrame Time: 0.1\n", 0, "expected \"Frames:\"."},
        {kTwoJoints + motion, 0, "frame 0 is missing."},
        {kTwoJoints + motion + "1 2\n", 0, "frame 0 has 2 values, the hierarchy has 3 channels."},
        {kTwoJoints + motion + "1 nan 2\n", 0, "value 2 of frame 0 is not a number."},
        {kTwoJoints + motion + "1 x 2\n", 0, "value 2 of frame 0 is not a number."},
        {"HIERARCHY\nROOT A\n{\nOFFSET 0 0 0\nJOINT B\n{\nOFFSET 1e308 0 0\n"
         "CHANNELS 1 Xposition\n}\n}\n" +
             motion + "1e308\n",
         0, "line 14: the position of frame 0 is out of range for \"B\"."},
    };
    for (const Case& c : cases) {
        const QString error = ImportError(c.text, c.frame);
        EXPECT_TRUE(error.contains(c.error)) << c.text.constData() << "\n-> " << qPrintable(error);
    }
}

TEST(BvhImport, AbsurdlyDeepHierarchiesAreRefusedNotRecursedInto)
{
    QByteArray text = "HIERARCHY\nROOT J0\n{\nOFFSET 0 0 0\n";
    for (int i = 1; i < 100000; ++i)
        text += "JOINT J" + QByteArray::number(i) + "\n{\nOFFSET 0 1 0\n";
    EXPECT_TRUE(ImportError(text).contains("nested more than 512 levels deep"));
}

TEST_F(Bvh, ImportsEveryRealSkeletonWithItsJointsNamesAndRestPositions)
{
    const QString folder = SharedSkeletonFolder();
    if (folder.isEmpty())
        GTEST_SKIP() << "../shared/skeletons is absent; the real BVH files are not tested";
    // The probe's rest position is the sum of the OFFSETs from the root down to it.
    const struct
    {
        const char* file;
        int joints;
        const char* firstNames; // the first three, in file order
        const char* probe;
        double x, y, z;
    } skeletons[] = {
        {"cmu_mocap_subject01_jumps.bvh", 31, "Hips LHipJoint LeftUpLeg", "LeftHand", 11.91396,
         5.28533, -0.54734},
        {"mixamo_prefixed_clip.bvh", 55, "mixamorig:Hips mixamorig:Spine mixamorig:Spine1",
         "mixamorig:LeftHand", 73.6727, 42.0248, -6.0249},
        {"biovision_style_arms_down.bvh", 19, "Hips Chest Chest2", "LeftWrist", 21.0676, -7.9807,
         2.605},
        {"makehuman_default_rig_apose_rest.bvh", 173, "root pelvis_R upperleg01_R", "wrist_L",
         4.56029, -1.837918, 2.128121},
        {"namespaced_joints_walk.bvh", 37, "Character1_Hips Character1_Spine Character1_Spine1",
         "Character1_LeftHand", 48.175, 151.566, -110.224},
    };
    for (const auto& s : skeletons) {
        SCOPED_TRACE(s.file);
        Open(folder + "/" + s.file);
        const QStringList names = Run("ls -type joint").result.ToStringArray();
        EXPECT_EQ(names.size(), s.joints);
        EXPECT_EQ(names.mid(0, 3).join(' '), s.firstNames);
        EXPECT_TRUE(NearVector(World(s.probe), {s.x, s.y, s.z}, 1e-6));
    }
    // The A-pose rig's sides survive escaping as distinct names.
    Open(folder + "/makehuman_default_rig_apose_rest.bvh");
    const QStringList human = Run("ls").result.ToStringArray();
    EXPECT_EQ(human.filter(QRegularExpression("_L$")).size(), 75);
    EXPECT_EQ(human.filter(QRegularExpression("_R$")).size(), 75);
    // The walk's first frame puts its root where the MOTION line says.
    Open(folder + "/namespaced_joints_walk.bvh", 0);
    EXPECT_TRUE(NearVector(World("Character1_Hips"), {-30.5073, 104.521, -237.413}, 1e-9));
}
