// Validation scenarios on a scripted T-pose biped: what each rule reports and how the
// reports fold into node and overall verdicts.
#include "modelfixture.h"

#include "files/characterizationfile.h"
#include "model/stancereport.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <vector>

namespace {

using Validation = ModelFixture;

constexpr float kDegrees = 3.14159265358979f / 180.0f;

} // namespace

TEST_F(Validation, MissingRequiredBoneIsAnErrorThatSaysWhyEvenWhenEveryRuleIsHappy)
{
    // The first run happens before the rules exist: only the host and the required set speak.
    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "Missing required bones.");
    BindBiped();
    model->ClearNode(11); // LeftHand: the left arm's axis rule does not apply without it
    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "Missing required bones.");
    EXPECT_EQ(Status(9), ValidationStatus::Valid);
    // Groups of nodes: a missing required node is an error, a missing optional one unset.
    EXPECT_EQ(model->CombinedStatus({11, 20}), ValidationStatus::Error);
    EXPECT_EQ(model->CombinedStatus({16, 17}), ValidationStatus::Valid);
    EXPECT_EQ(model->CombinedStatus({21, 22}), ValidationStatus::NotSet);
    EXPECT_EQ(model->CombinedStatus({}), ValidationStatus::NotSet);
}

TEST_F(Validation, ArmThreeDegreesOffWarnsOnBothEndsWithTheAngle)
{
    BindBiped();
    const float length = 54.0f; // LeftArm (16, 145, 0) to LeftHand
    hub.SetTranslation(JointName(11), 16 + length * std::cos(3 * kDegrees),
                       145 + length * std::sin(3 * kDegrees), 0);
    model->Revalidate();

    EXPECT_EQ(Overall(), ValidationStatus::Warning);
    EXPECT_EQ(OverallMessage(), "The left arm doesn't seem to be parallel to the X axis.");
    static const QRegularExpression angles(
        R"(^The left arm .* difference of (\S+) degrees .* less than (\S+) degrees\.$)");
    for (NodeId id : {9, 11}) {
        ASSERT_EQ(Status(id), ValidationStatus::Warning);
        const QRegularExpressionMatch match = angles.match(QString::fromStdString(Message(id)));
        ASSERT_TRUE(match.hasMatch()) << Message(id);
        EXPECT_NEAR(match.captured(1).toDouble(), 3.0, 1e-4);
        EXPECT_EQ(match.captured(2).toDouble(), 2.0);
    }
    EXPECT_EQ(Status(10), ValidationStatus::Valid) << "the forearm is not part of the rule";
}

TEST_F(Validation, AxisLimitIsTwoDegreesInclusive)
{
    BindBiped();
    for (float degrees : {1.9f, 2.1f}) {
        hub.SetTranslation(JointName(14), -16 - 54 * std::cos(degrees * kDegrees), 145,
                           54 * std::sin(degrees * kDegrees));
        model->Revalidate();
        EXPECT_EQ(Overall(), degrees < 2 ? ValidationStatus::Valid : ValidationStatus::Warning)
            << degrees;
    }
    EXPECT_EQ(OverallMessage(), "The right arm doesn't seem to be parallel to the X axis.");
}

// Joints at one point give a rule no direction: the pose report reads it as far out (180
// degrees), never as right.
TEST(StanceReportOfJointsAtOnePoint, IsFarOutOfPose)
{
    const std::vector<StanceAngle> angles = StanceReport::Measure([](NodeId, double position[3]) {
        position[0] = position[1] = position[2] = 1.0;
        return true;
    });
    ASSERT_EQ(angles.size(), StanceReport::Rules().size());
    for (const StanceAngle& angle : angles)
        EXPECT_EQ(angle.degrees, 180.0) << qPrintable(angle.rule);
}

namespace {

constexpr auto E = ValidationStatus::Error, W = ValidationStatus::Warning,
               V = ValidationStatus::Valid;

// One rule broken at a time on the bound biped: the overall verdict and message, and each
// named node's verdict with a text its message holds. Clearing `clear` afterwards gives
// `afterClear` overall.
struct RuleCase
{
    struct Node
    {
        NodeId id;
        ValidationStatus status;
        const char* message; // held by the node's message; empty: not checked
    };
    const char* what;
    std::function<void(ModelFixture&)> change;
    ValidationStatus overall;
    const char* overallMessage; // nullptr: not checked
    std::vector<Node> nodes;
    NodeId clear = -1;
    ValidationStatus afterClear = V;
};

const RuleCase kRuleCases[] = {
    {"hips facing backwards",
     [](ModelFixture& t) {
         t.hub.SetTranslation(t.JointName(2), -10, 95, 0);
         t.hub.SetTranslation(t.JointName(5), 10, 95, 0);
     },
     W,
     nullptr,
     {{2, W, "difference of 180.000000 degrees between them"}, {5, W, ""}}},
    // The axis rule has no direction (180 degrees) and the geometry rule sees two
    // non-limb-segment nodes at the same position; its later entry replaces the axis
    // warning on both nodes.
    {"LeftHand on LeftArm",
     [](ModelFixture& t) { t.hub.SetTranslation(t.JointName(11), 16, 145, 0); },
     W,
     "The left arm doesn't seem to be parallel to the X axis.\n"
     "Some nodes are almost at the same position.",
     {{9, W, "Node LeftArm is at the same position as node LeftHand."},
      {11, W, "Node LeftArm is at the same position as node LeftHand."}}},
    {"hole in the thumb",
     [](ModelFixture& t) {
         t.AddAndBind(50, 75, 145, 5); // LeftHandThumb1
         t.AddAndBind(52, 80, 145, 9); // LeftHandThumb3, Thumb2 missing
     },
     E,
     "One or more nodes are missing in the left hand thumb",
     {{50, V, ""},
      {52, E,
       "One or more nodes are missing in the left hand thumb. Node LeftHandThumb3 is set "
       "but not node LeftHandThumb2"}}},
    {"LeftLeg onto LeftFoot",
     [](ModelFixture& t) { t.hub.SetTranslation(t.JointName(3), 10, 8, 0); },
     E,
     "Some nodes are at the same position.",
     {{3, E, ""}, {4, E, "Node LeftLeg is at the same position as node LeftFoot."}}},
    {"LeftToeBase next to LeftFoot",
     [](ModelFixture& t) { t.hub.SetTranslation(t.JointName(16), 10, 8, 5e-7f); },
     W,
     nullptr,
     {{16, W, "Node LeftFoot is almost at the same position as node LeftToeBase."}}},
    {"LeftToeBase just far enough from LeftFoot",
     [](ModelFixture& t) { t.hub.SetTranslation(t.JointName(16), 10, 8, 2e-6f); },
     V,
     "",
     {}},
    {"HipsTranslation on the hips",
     [](ModelFixture& t) { t.AddAndBind(kHipsTranslationNode, 0, 100, 0); },
     V,
     "",
     {{1, W, ""}, {49, W, "Node Hips is at the same position as node HipsTranslation."}}},
    // The limb's first leaf carries the error whichever leaf is used.
    {"in-line and leaf rolls mixed",
     [](ModelFixture& t) {
         t.AddAndBind(48, -50, 145, 0);  // RightForeArmRoll
         t.AddAndBind(195, -55, 145, 0); // LeafRightForeArmRoll3
     },
     E,
     "\n Mixed roll bone at RightForeArmRoll.",
     {{48, E, ""}, {179, E, "Mixing In-Line and Leaf roll bone is not allowed."}, {195, V, ""}},
     195,
     V},
    // A hole before Spine2 and Spine2 onto the Neck: the error is never overwritten by the
    // later warning.
    {"hole in the spine and a warning on it",
     [](ModelFixture& t) {
         t.model->ClearNode(23);
         t.hub.SetTranslation(t.JointName(24), 0, 152, 0);
     },
     E,
     "One or more nodes are missing in the spine\n"
     "Some nodes are almost at the same position.",
     {{24, E,
       "One or more nodes are missing in the spine. Node Spine2 is set but not node "
       "Spine1"},
      {20, W, ""}}},
};

struct ValidationRule : ModelFixture, ::testing::WithParamInterface<RuleCase>
{};

} // namespace

TEST_P(ValidationRule, GivesItsVerdictsAndMessages)
{
    const RuleCase& c = GetParam();
    SCOPED_TRACE(c.what);
    BindBiped();
    c.change(*this);
    model->Revalidate();
    EXPECT_EQ(Overall(), c.overall);
    if (c.overallMessage) {
        EXPECT_EQ(OverallMessage(), c.overallMessage);
    }
    for (const RuleCase::Node& node : c.nodes) {
        EXPECT_EQ(Status(node.id), node.status) << node.id;
        EXPECT_NE(Message(node.id).find(node.message), std::string::npos) << Message(node.id);
    }
    if (c.clear >= 0) {
        model->ClearNode(c.clear);
        EXPECT_EQ(Overall(), c.afterClear);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, ValidationRule, ::testing::ValuesIn(kRuleCases));

TEST_F(Validation, HostVerdictIsTheLastReport)
{
    BindBiped();
    hub.SetHostVerdict(ValidationStatus::Warning, "Host objects.");
    model->Revalidate();
    EXPECT_EQ(Overall(), ValidationStatus::Warning);
    EXPECT_EQ(OverallMessage(), "Host objects.");
}

TEST_F(Validation, AJointWithANaNOrInfinitePositionIsAnErrorAndNeverReachesAFile)
{
    hub.JointNamed("Char1:LeftForeArm").world.Translate[1] = std::nanf("");
    hub.JointNamed("Char1:RightForeArm").world.Scale[0] = INFINITY;
    BindBiped();
    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(Status(10), ValidationStatus::Error);
    EXPECT_EQ(Message(10), "Node LeftForeArm has a position, rotation or scale that is not a "
                           "finite number.");
    EXPECT_EQ(Status(13), ValidationStatus::Error);
    EXPECT_EQ(Status(1), ValidationStatus::Valid) << "the other joints keep their verdicts";

    QTemporaryDir dir;
    const QString kntc = dir.filePath("hero.kntc");
    EXPECT_EQ(WriteBinaryCharacterization(*model->CurrentCharacterization(), kntc,
                                          dir.filePath("hero.bones.xml"), false, true),
              QStringList{kntc});
    EXPECT_FALSE(QFileInfo::exists(kntc));
}
