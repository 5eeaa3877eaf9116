// Validation scenarios on a scripted T-pose biped: what each rule reports and how the
// reports fold into node and overall verdicts.
#include "modelfixture.h"

#include "files/characterizationfile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

namespace {

using Validation = ModelFixture;

constexpr float kDegrees = 3.14159265358979f / 180.0f;

// Splits "...difference of A degrees ... less than B degrees." into the text with the two
// numbers replaced by '#', and the numbers.
std::string WithoutNumbers(const std::string& text, std::vector<double>& numbers)
{
    static const QRegularExpression number(QStringLiteral(R"(-?\d+\.\d{6})"));
    QString rest = QString::fromStdString(text);
    for (auto it = number.globalMatch(rest); it.hasNext();)
        numbers.push_back(it.next().captured().toDouble());
    return rest.replace(number, QStringLiteral("#")).toStdString();
}

} // namespace

TEST_F(Validation, TPoseBipedIsValidWithNoMessage)
{
    BindBiped();
    EXPECT_EQ(Overall(), ValidationStatus::Valid);
    EXPECT_EQ(OverallMessage(), "");
    for (const BipedJoint& joint : biped)
        EXPECT_EQ(Status(joint.node), ValidationStatus::Valid) << joint.name.toStdString();
    EXPECT_EQ(Status(21), ValidationStatus::NotSet);
}

TEST_F(Validation, EmptyCharacterizationOnlyMissesItsRequiredBones)
{
    // The first run happens before the rules exist: only the host and the required set speak,
    // and the error still says why.
    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "Missing required bones.");

    model->Revalidate();
    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "Missing required bones.");
}

TEST_F(Validation, MissingRequiredBoneIsAnErrorEvenWhenEveryRuleIsHappy)
{
    BindBiped();
    model->ClearNode(15); // Head
    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "Missing required bones.");
    // Groups of nodes: a missing required node is an error, a missing optional one unset.
    EXPECT_EQ(model->CombinedStatus({15, 20}), ValidationStatus::Error);
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
    for (NodeId id : {9, 11}) {
        ASSERT_EQ(Status(id), ValidationStatus::Warning);
        std::vector<double> numbers;
        EXPECT_EQ(WithoutNumbers(Message(id), numbers),
                  "The left arm doesn't seem to be parallel to the X axis. There is a difference "
                  "of # degrees between it and the X axis. This difference should be less than "
                  "# degrees.");
        ASSERT_EQ(numbers.size(), 2u);
        EXPECT_NEAR(numbers[0], 3.0, 1e-4);
        EXPECT_EQ(numbers[1], 2.0);
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

TEST_F(Validation, HipsFacingBackwardsWarnWithHalfATurn)
{
    BindBiped();
    hub.SetTranslation(JointName(2), -10, 95, 0);
    hub.SetTranslation(JointName(5), 10, 95, 0);
    model->Revalidate();
    EXPECT_EQ(Overall(), ValidationStatus::Warning);
    EXPECT_NE(Message(2).find("difference of 180.000000 degrees between them"), std::string::npos)
        << Message(2);
    EXPECT_EQ(Status(5), ValidationStatus::Warning);
}

TEST_F(Validation, CoincidingArmEndsFoldAxisAndGeometryReports)
{
    // LeftHand on LeftArm: the axis rule has no direction (180 degrees) and the geometry rule
    // sees two non-limb-segment nodes at the same position.
    BindBiped();
    hub.SetTranslation(JointName(11), 16, 145, 0);
    model->Revalidate();

    EXPECT_EQ(Overall(), ValidationStatus::Warning);
    EXPECT_EQ(OverallMessage(), "The left arm doesn't seem to be parallel to the X axis.\n"
                                "Some nodes are almost at the same position.");
    // The later geometry entry replaces the axis warning on both nodes.
    EXPECT_EQ(Message(9), "Node LeftArm is at the same position as node LeftHand.");
    EXPECT_EQ(Message(11), Message(9));
}

TEST_F(Validation, HoleInAFingerChainIsAnErrorOnTheNodeAfterTheHole)
{
    BindBiped();
    AddAndBind(50, 75, 145, 5); // LeftHandThumb1
    AddAndBind(52, 80, 145, 9); // LeftHandThumb3, Thumb2 missing
    model->Revalidate();

    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "One or more nodes are missing in the left hand thumb");
    EXPECT_EQ(Status(50), ValidationStatus::Valid);
    EXPECT_EQ(Status(52), ValidationStatus::Error);
    EXPECT_EQ(Message(52), "One or more nodes are missing in the left hand thumb. Node "
                           "LeftHandThumb3 is set but not node LeftHandThumb2");

    model->ClearNode(50); // now the chain starts at its second position
    EXPECT_EQ(Status(52), ValidationStatus::Error);
    EXPECT_EQ(Overall(), ValidationStatus::Error);
}

TEST_F(Validation, CoincidingLimbSegmentsAreErrors)
{
    BindBiped();
    hub.SetTranslation(JointName(3), 10, 8, 0); // LeftLeg onto LeftFoot
    model->Revalidate();
    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "Some nodes are at the same position.");
    EXPECT_EQ(Status(3), ValidationStatus::Error);
    EXPECT_EQ(Message(4), "Node LeftLeg is at the same position as node LeftFoot.");
}

TEST_F(Validation, NearlyCoincidingJointsWarn)
{
    BindBiped();
    hub.SetTranslation(JointName(16), 10, 8, 5e-7f); // LeftToeBase next to LeftFoot
    model->Revalidate();
    EXPECT_EQ(Overall(), ValidationStatus::Warning);
    EXPECT_EQ(Message(16), "Node LeftFoot is almost at the same position as node LeftToeBase.");

    hub.SetTranslation(JointName(16), 10, 8, 2e-6f);
    model->Revalidate();
    EXPECT_EQ(Overall(), ValidationStatus::Valid);
}

TEST_F(Validation, HipsTranslationMayStandOnTheHips)
{
    BindBiped();
    AddAndBind(kHipsTranslationNode, 0, 100, 0);
    model->Revalidate();
    EXPECT_EQ(Overall(), ValidationStatus::Valid);
    EXPECT_EQ(OverallMessage(), "");
    EXPECT_EQ(Status(1), ValidationStatus::Warning);
    EXPECT_EQ(Message(49), "Node Hips is at the same position as node HipsTranslation.");
}

TEST_F(Validation, MixingInlineAndLeafRollBonesIsAnError)
{
    BindBiped();
    AddAndBind(48, -50, 145, 0);  // RightForeArmRoll
    AddAndBind(195, -55, 145, 0); // LeafRightForeArmRoll3
    model->Revalidate();

    EXPECT_EQ(Overall(), ValidationStatus::Error);
    EXPECT_EQ(OverallMessage(), "\n Mixed roll bone at RightForeArmRoll.");
    EXPECT_EQ(Status(48), ValidationStatus::Error);
    EXPECT_EQ(Message(179), "Mixing In-Line and Leaf roll bone is not allowed.")
        << "the limb's first leaf carries the error whichever leaf is used";
    EXPECT_EQ(Status(179), ValidationStatus::Error);
    EXPECT_EQ(Status(195), ValidationStatus::Valid);

    model->ClearNode(195);
    EXPECT_EQ(Overall(), ValidationStatus::Valid);
}

TEST_F(Validation, AnErrorIsNeverOverwrittenByALaterWarning)
{
    BindBiped();
    model->ClearNode(23); // Spine1: the spine chain now has a hole before Spine2
    hub.SetTranslation(JointName(24), 0, 152, 0); // Spine2 onto the Neck
    model->Revalidate();

    EXPECT_EQ(Status(24), ValidationStatus::Error);
    EXPECT_EQ(Message(24), "One or more nodes are missing in the spine. Node Spine2 is set but "
                           "not node Spine1");
    EXPECT_EQ(Status(20), ValidationStatus::Warning);
    EXPECT_EQ(OverallMessage(), "One or more nodes are missing in the spine\n"
                                "Some nodes are almost at the same position.");
}

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
