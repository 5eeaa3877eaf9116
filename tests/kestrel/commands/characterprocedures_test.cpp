// The host procedures for character nodes, driven by the exact texts the tool sends.
#include "kestreltest.h"

#include "scene/characternodes.h"
#include "scene/rotationorder.h"
#include "scene/transformquery.h"

using namespace kestrel;

namespace {

class CharacterProcedures : public HostTest
{
protected:
    void SetUp() override { BuildOrientedTPose(scene()); }
    CharacterNodes& characters() { return host.GetCharacterNodes(); }
    bool Flag(const QString& node, const QString& attribute)
    {
        return Run("getAttr " + node + "." + attribute).result.ToBool();
    }
    double Number(const QString& plug) { return Run("getAttr " + plug).result.ToDouble(); }
};

} // namespace

// Binding, unbinding and the flags of slots 3, 10 and 13 as the tool's bridge sends them are
// pinned by BridgeTest.CharacterScriptsAreSentAsExactTexts and SceneSync; OneTruth compares the
// character nodes with the tool after random edits.
TEST_F(CharacterProcedures, BadArgumentsToSetCharacterObjectChangeNothing)
{
    ExpectFails("setCharacterObject(\"LeftHand\",\"Char\",212,0);", Status::InvalidParameter,
                "212");
    ExpectFails("setCharacterObject(\"Nobody\",\"Char\",1,0);", Status::NotFound, "\"Nobody\"");
    ExpectFails("setCharacterObject(\"LeftHand\",\"Hips\",1,0);", Status::InvalidParameter,
                "\"Hips\"");
    ExpectFails("setCharacterObject(\"LeftHand\",\"Char\",1);", Status::InvalidParameter,
                "setCharacterObject");
    ExpectFails("setCharacterObject(\"LeftHand\",\"Char\",1,2);", Status::InvalidParameter,
                "argument 4");
    EXPECT_EQ(characters().Find("Char"), nullptr);
    RunOk("setCharacterObject(\"LeftHand\",\"Char\",0,true);");
    EXPECT_EQ(RunOk("listConnections Char.Reference"), "LeftHand.Character");
}

TEST_F(CharacterProcedures, InvertBoneSetsTheKneeOrElbowFlagOfTheCurrentCharacter)
{
    ExpectFails("characterizationInvertBone( 10, 1 );", Status::InvalidState,
                "characterizationInvertBone");
    RunOk("setCharacterObject(\"LeftHand\",\"A\",11,0); "
          "setCharacterObject(\"RightHand\",\"B\",14,0);");
    RunOk("characterizationInvertBone( 10, 1 ); characterizationInvertBone( 3, 1 ); "
          "characterizationInvertBone( 3, 0 )");
    EXPECT_TRUE(Flag("B", "leftElbowInverted"));
    EXPECT_FALSE(Flag("B", "leftKneeInverted"));
    EXPECT_FALSE(Flag("A", "leftElbowInverted"));
    RunOk("characterizationInvertBone(6, 1); characterizationInvertBone(13, 1)");
    EXPECT_TRUE(Flag("B", "rightKneeInverted"));
    EXPECT_TRUE(Flag("B", "rightElbowInverted"));
    ExpectFails("characterizationInvertBone( 4, 1 );", Status::InvalidParameter, "4");
}

TEST_F(CharacterProcedures, CharactersAreCreatedDeletedAndRefreshedByTheirProcedures)
{
    EXPECT_EQ(RunOk("CreateCharacterFromCurrentCharacter()"), "Character1");
    EXPECT_EQ(RunOk("CreateCharacterFromCurrentCharacter();"), "Character2");
    EXPECT_EQ(characters().Current(), Find("Character2"));
    RunOk("setCharacterObject(\"Hips\",\"Character1\",1,0);");
    RunOk("deleteCharacter( \"Character1\" );");
    EXPECT_EQ(Find("Character1"), nullptr);
    EXPECT_EQ(RunOk("listConnections Hips"), "");
    EXPECT_EQ(characters().Current(), nullptr) << "the current character was the deleted one";
    // Deleting again finds nothing to do; a node that is no character is refused and stays.
    const int before = scene().NodeCount();
    RunOk("deleteCharacter( \"Character1\" );");
    EXPECT_EQ(scene().NodeCount(), before);
    ExpectFails("deleteCharacter( \"Hips\" );", Status::NotFound, "\"Hips\"");
    EXPECT_NE(Find("Hips"), nullptr);
    // The refresh callback as the bridge sends it changes nothing (BridgeTest pins that it adds
    // no undo step); it takes no arguments.
    RunFails("kntUpdateCharacterControlsUICallback(1)");
}

TEST_F(CharacterProcedures, LockingStoresEachMappedJointsWorldPose)
{
    RunOk("setAttr LeftArm.rz 90; setAttr LeftHand.ro 5; setAttr LeftHand.rx 30; "
          "setCharacterObject(\"LeftHand\",\"Char\",11,0); "
          "setCharacterObject(\"Hips\",\"Char\",1,0);");
    RunOk("lockCharacter(\"Char\", 1)");
    EXPECT_TRUE(Flag("Char", "InputCharacterizationLock"));
    const Node& hand = *Find("LeftHand");
    const Vector3 position = Translation(hand, Space::World);
    EXPECT_EQ(Number("Char.LeftHandTx"), position.x);
    EXPECT_EQ(Number("Char.LeftHandTy"), position.y);
    EXPECT_EQ(RunOk("getAttr Char.LeftHandRotateOrder"), "5");
    const Vector3 angles(Number("Char.LeftHandRx"), Number("Char.LeftHandRy"),
                         Number("Char.LeftHandRz"));
    EXPECT_TRUE(SameRotation(EulerToQuaternion(angles, RotationOrder::ZYX),
                             Rotation(hand, Space::World), 1e-12));
    EXPECT_EQ(Run("getAttr Char.HipsSz").result, Value(1.0));
    EXPECT_EQ(Run("getAttr Char.HipsTy").result, Value(100.0));
    EXPECT_EQ(Find("Char")->FindAttribute("HeadTx"), nullptr) << "unmapped slots store nothing";
    // Unlocking keeps the stored pose; moving the joint does not touch it.
    RunOk("lockCharacter(\"Char\", 0); xform -t 0 0 0 Hips");
    EXPECT_FALSE(Flag("Char", "InputCharacterizationLock"));
    EXPECT_EQ(Run("getAttr Char.HipsTy").result, Value(100.0));
}
