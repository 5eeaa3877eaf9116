// The scene: names, lookup, hierarchy, attributes, connections, listing and selection commands.
#include "kestreltest.h"

#include "scene/nodename.h"

#include <cmath>

using namespace kestrel;

TEST(NodeNames, OnlyLettersDigitsUnderscoresAndColonsMakeAName)
{
    for (const char* name : {"Hips", "Char1:LeftArm", "_x", "9lives", "a:b:c"})
        EXPECT_TRUE(IsValidNodeName(name)) << name;
    for (const char* name : {"", "world", "a b", "a\"b", "a.b", "a|b", "a-b", "\u00e9"})
        EXPECT_FALSE(IsValidNodeName(name)) << name;
}

TEST(NodeNames, ForeignNamesBecomeLegalAndReadable)
{
    EXPECT_EQ(EscapeNodeName("Left Arm"), "Left_Arm");
    EXPECT_EQ(EscapeNodeName("upperleg01.R"), "upperleg01_R");
    EXPECT_EQ(EscapeNodeName("say \"hi\""), "say__hi_");
    EXPECT_EQ(EscapeNodeName("a\tb"), "a_b");
    EXPECT_EQ(EscapeNodeName("F\u00fc\u00dfe"), "F__e"); // one '_' per character, not per byte
    EXPECT_EQ(EscapeNodeName("Char1:Hips_2"), "Char1:Hips_2");
    EXPECT_EQ(EscapeNodeName("world"), "_world");
    for (const char* raw : {"Left Arm", "x'y", "a;b", "world", "(1)"})
        EXPECT_TRUE(IsValidNodeName(EscapeNodeName(raw))) << raw;
}

class SceneTest : public HostTest
{};

TEST_F(SceneTest, NamesAreUniqueAndCheckedOnCreationAndRename)
{
    QString error;
    Node* a = scene().CreateNode(NodeType::Joint, "A", nullptr, &error);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(scene().CreateNode(NodeType::Joint, "A", nullptr, &error), nullptr);
    EXPECT_TRUE(error.contains("\"A\""));
    EXPECT_EQ(scene().CreateNode(NodeType::Transform, "a b", nullptr, &error), nullptr);
    scene().CreateNode(NodeType::Joint, "B", nullptr, &error);
    EXPECT_EQ(scene().RenameNode(a, "B", &error), Status::AlreadyExists);
    EXPECT_EQ(scene().RenameNode(a, "world", &error), Status::InvalidParameter);
    EXPECT_EQ(a->Name(), "A");
    EXPECT_EQ(scene().RenameNode(a, "C", &error), Status::Success);
    EXPECT_EQ(Find("A"), nullptr);
    EXPECT_EQ(Find("C"), a);
}

TEST_F(SceneTest, NodesAreFoundByNameOrByPath)
{
    RunOk("createNode joint -n Hips; createNode joint -n Spine -p Hips; createNode joint -n Neck "
          "-p Spine");
    Node* neck = Find("Neck");
    ASSERT_NE(neck, nullptr);
    EXPECT_EQ(Find("|Hips|Spine|Neck"), neck);
    EXPECT_EQ(Find("Spine|Neck"), neck);
    EXPECT_EQ(Find("Hips|Spine|Neck"), neck);
    EXPECT_EQ(Find("|Spine|Neck"), nullptr); // Spine is not at the top
    EXPECT_EQ(Find("Hips|Neck"), nullptr);   // Neck's parent is Spine
    EXPECT_EQ(Find("Neck|"), nullptr);
    EXPECT_EQ(Find("world"), nullptr);
    EXPECT_EQ(neck->FullPath(), "|Hips|Spine|Neck");
    EXPECT_EQ(neck->ParentName(), "Spine");
    EXPECT_EQ(Find("Hips")->ParentName(), "world");
}

TEST_F(SceneTest, ListingFollowsTheHierarchyAndFiltersByType)
{
    RunOk("createNode transform -n Rig; createNode joint -n Hips -p Rig; createNode joint -n LegB "
          "-p Hips;"
          "createNode joint -n LegA -p Hips; createNode character -n Char; createNode transform -n "
          "Camera");
    EXPECT_EQ(RunOk("ls"), "Rig Hips LegB LegA Camera Char");
    EXPECT_EQ(RunOk("ls -transforms"), "Rig Hips LegB LegA Camera");
    EXPECT_EQ(RunOk("ls -type \"transform\""), "Rig Hips LegB LegA Camera");
    EXPECT_EQ(RunOk("ls -type joint"), "Hips LegB LegA");
    EXPECT_EQ(RunOk("ls -type character"), "Char");
    EXPECT_EQ(RunOk("ls -long -type joint"), "|Rig|Hips |Rig|Hips|LegB |Rig|Hips|LegA");
    EXPECT_EQ(RunOk("ls LegA Missing Char"), "LegA Char");
    // The selection in selection order, filtered the way the tool asks for transforms.
    RunOk("select -r LegA Char Rig");
    EXPECT_EQ(RunOk("ls -selection -type \"transform\""), "LegA Rig");
    RunOk("select -add Hips LegA; select -deselect Rig");
    EXPECT_EQ(RunOk("ls -sl"), "LegA Char Hips");
    RunOk("select -clear");
    EXPECT_EQ(Run("ls -selection").result, Value(QStringList()));
}

TEST_F(SceneTest, DeletingRemovesTheSubtreeAndItsConnectionsAndLeavesTheRest)
{
    RunOk("createNode joint -n Hips; createNode joint -n Leg -p Hips; createNode joint -n Foot -p "
          "Leg;"
          "createNode joint -n Spine -p Hips; addAttr Foot.out -at message; addAttr Spine.in -at "
          "message;"
          "connectAttr Foot.out Spine.in; select -r Foot Spine");
    RunOk("delete Leg");
    EXPECT_EQ(RunOk("ls"), "Hips Spine");
    EXPECT_TRUE(scene().Connections().empty());
    EXPECT_EQ(RunOk("ls -selection"), "Spine");
    RunOk("select -r Spine; delete");
    EXPECT_EQ(RunOk("ls"), "Hips");
}

TEST_F(SceneTest, ReparentingKeepsLocalValuesAndRefusesCycles)
{
    RunOk("createNode joint -n A; createNode joint -n B -p A; createNode joint -n C;"
          "xform -t 1 2 3 B");
    RunOk("parent B C");
    EXPECT_EQ(Find("B")->Parent(), Find("C"));
    EXPECT_EQ(RunOk("xform -q -t B"), "1 2 3");
    RunOk("parent -world B");
    EXPECT_EQ(Find("B")->Parent(), nullptr);
    EXPECT_EQ(RunOk("ls"), "A C B");
}

TEST_F(SceneTest, AttributesAreTypedAndConvertOnlyWhereNothingIsLost)
{
    RunOk("createNode joint -n J; addAttr J.b -at bool; addAttr J.i -at int; addAttr J.d;"
          "addAttr J.s -at string; addAttr J.m -at message");
    RunOk("setAttr J.b 1; setAttr J.i -4; setAttr J.d 2; setAttr J.s \"x y\"");
    EXPECT_EQ(Run("getAttr J.b").result, Value(true));
    EXPECT_EQ(Run("getAttr J.i").result, Value(-4));
    EXPECT_EQ(Run("getAttr J.d").result, Value(2.0));
    EXPECT_EQ(Run("getAttr J.s").result, Value("x y"));
}

TEST_F(SceneTest, TransformChannelsReadAndWriteAsAttributesInDegrees)
{
    RunOk("createNode joint -n J; setAttr J.rotateY 90; setAttr J.ty 5; setAttr J.jointOrientZ 45;"
          "setAttr J.rotateOrder 5; setAttr J.sx 2");
    const TransformValues& t = Find("J")->Transform();
    EXPECT_NEAR(t.rotation.y, M_PI / 2, 1e-12);
    EXPECT_EQ(t.translation.y, 5.0);
    EXPECT_NEAR(t.jointOrient.z, M_PI / 4, 1e-12);
    EXPECT_EQ(t.rotationOrder, RotationOrder::ZYX);
    EXPECT_EQ(t.scale.x, 2.0);
    EXPECT_EQ(RunOk("getAttr J.ry"), "90");
    EXPECT_EQ(RunOk("getAttr J.ro"), "5");
}

TEST_F(SceneTest, ADestinationTakesOneConnectionAndConnectionsNeedBothEnds)
{
    RunOk("createNode joint -n A; createNode joint -n B; createNode character -n C;"
          "addAttr A.Character -at message; addAttr B.Character -at message; addAttr C.Hips -at "
          "message");
    RunOk("connectAttr A.Character C.Hips");
    EXPECT_EQ(RunOk("listConnections A.Character"), "C.Hips");
    EXPECT_EQ(RunOk("listConnections -source C.Hips"), "A.Character");
    EXPECT_EQ(RunOk("listConnections -destination C"), "");
    EXPECT_EQ(RunOk("listConnections C"), "A.Character");
    RunOk("disconnectAttr A.Character C.Hips");
    RunOk("connectAttr B.Character C.Hips; deleteAttr C.Hips");
    EXPECT_TRUE(scene().Connections().empty());
}

TEST_F(SceneTest, EachNodesOutgoingConnectionsFollowTheScenesListThroughEditsAndUndo)
{
    // Lookups by source read a per-node copy of the scene's list; it must never drift.
    const auto describe = [](const Connection& c) {
        return c.fromAttribute + "->" + c.toNode->Name() + "." + c.toAttribute;
    };
    const auto expectInStep = [&](const char* step) {
        for (const char* name : {"A", "B", "C"}) {
            const Node* node = Find(name);
            if (!node)
                continue;
            QStringList expected;
            for (const Connection& c : scene().Connections()) {
                if (c.fromNode == node)
                    expected << describe(c);
            }
            QStringList actual;
            for (const Connection& c : node->OutgoingConnections())
                actual << describe(c);
            EXPECT_EQ(actual, expected) << step << " " << name;
        }
    };
    RunOk("createNode joint -n A; createNode joint -n B; createNode character -n C;"
          "addAttr A.Character -at message; addAttr A.out -at message; addAttr B.Character -at "
          "message; addAttr C.Hips -at message; addAttr C.Spine -at message; addAttr C.Head -at "
          "message");
    RunOk("connectAttr A.Character C.Hips; connectAttr A.out C.Spine; connectAttr B.Character "
          "C.Head");
    expectInStep("connected");
    EXPECT_EQ(Find("A")->OutgoingConnections().size(), 2u);
    RunOk("disconnectAttr A.Character C.Hips");
    expectInStep("disconnected");
    RunOk("deleteAttr C.Spine");
    expectInStep("attribute deleted");
    EXPECT_TRUE(Find("A")->OutgoingConnections().empty());
    RunOk("undo; undo");
    expectInStep("undone");
    EXPECT_EQ(Find("A")->OutgoingConnections().size(), 2u);
    RunOk("delete C");
    expectInStep("target deleted");
    EXPECT_TRUE(Find("B")->OutgoingConnections().empty());
    RunOk("undo");
    expectInStep("deletion undone");
    EXPECT_EQ(Find("B")->OutgoingConnections().size(), 1u);
}

TEST_F(SceneTest, BadCommandsFailWithTheirKindAndTheNameAtFaultAndChangeNothing)
{
    RunOk("createNode joint -n J; createNode joint -n K -p J; createNode transform -n T;"
          "createNode character -n C; addAttr J.b -at bool; addAttr J.i -at int; addAttr J.m -at "
          "message; addAttr K.m -at message; addAttr C.Hips -at message; setAttr J.i -4;"
          "connectAttr J.m C.Hips; select -r K");
    const auto state = [this] {
        return RunOk("ls -long") + "/" + RunOk("ls -sl") + "/" + RunOk("listConnections C") + "/" +
               RunOk("getAttr J.i") + "/" + RunOk("xform -q -t K");
    };
    const QString before = state();
    const struct
    {
        const char* text;
        Status status;
        const char* name;
    } cases[] = {
        {"createNode joint -name \"bad name\"", Status::InvalidParameter, "\"bad name\""},
        {"createNode joint -name J", Status::InvalidParameter, "\"J\""},
        {"createNode bone", Status::UnknownParameter, "\"bone\""},
        {"createNode character -parent J", Status::InvalidParameter, "Character"},
        {"ls -type bone", Status::UnknownParameter, "\"bone\""},
        {"select -r Missing", Status::NotFound, "\"Missing\""},
        {"delete K Missing", Status::NotFound, "\"Missing\""},
        {"parent J K", Status::InvalidParameter, "\"J\""},
        {"setAttr J.i 1.5", Status::InvalidParameter, "J.i"},
        {"setAttr J.b 2", Status::InvalidParameter, "J.b"},
        {"setAttr J.m 1", Status::InvalidParameter, "J.m"},
        {"getAttr J.m", Status::InvalidParameter, "J.m"},
        {"getAttr J.nope", Status::NotFound, "\"nope\""},
        {"getAttr T.jointOrientX", Status::NotFound, "\"jointOrientX\""},
        {"getAttr J", Status::NotFound, "\"J\""},
        {"addAttr J.i", Status::AlreadyExists, "\"i\""},
        {"addAttr J.x -at float", Status::UnknownParameter, "\"float\""},
        {"addAttr J.tx", Status::AlreadyExists, "\"tx\""},
        {"setAttr K.ro 6", Status::InvalidParameter, "rotateOrder"},
        {"setAttr K.tx \"a\"", Status::InvalidParameter, "tx"},
        {"connectAttr K.m C.Hips", Status::AlreadyExists, "C.Hips"},
        {"connectAttr K.m K.m", Status::InvalidParameter, ""},
        {"connectAttr K.nope C.Hips", Status::NotFound, "\"nope\""},
        {"disconnectAttr K.m C.Hips", Status::NotFound, "K.m"},
    };
    for (const auto& c : cases)
        ExpectFails(c.text, c.status, c.name);
    EXPECT_EQ(state(), before);
    RunOk("select -clear");
    ExpectFails("delete", Status::InvalidParameter, "");
}
