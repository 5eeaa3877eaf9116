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
    EXPECT_EQ(error, "A node named \"A\" already exists.");
    EXPECT_EQ(scene().CreateNode(NodeType::Transform, "a b", nullptr, &error), nullptr);
    EXPECT_TRUE(error.contains("not a valid node name"));
    scene().CreateNode(NodeType::Joint, "B", nullptr, &error);
    EXPECT_EQ(scene().RenameNode(a, "B", &error), Status::AlreadyExists);
    EXPECT_EQ(scene().RenameNode(a, "world", &error), Status::InvalidParameter);
    EXPECT_EQ(a->Name(), "A");
    EXPECT_EQ(scene().RenameNode(a, "C", &error), Status::Success);
    EXPECT_EQ(Find("A"), nullptr);
    EXPECT_EQ(Find("C"), a);
    EXPECT_EQ(RunFails("createNode joint -name \"bad name\""),
              "createNode: \"bad name\" is not a valid node name: use letters, digits, '_' and ':' "
              "(and not \"world\").");
    EXPECT_EQ(RunFails("createNode bone"),
              "createNode: Unknown node type \"bone\" (transform, joint or character).");
    EXPECT_EQ(RunFails("createNode character -parent C"),
              "createNode: Character nodes take no parent.");
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
    EXPECT_EQ(RunFails("ls -type bone"),
              "ls: Unknown node type \"bone\" (transform, joint or character).");
    // The selection in selection order, filtered the way the tool asks for transforms.
    RunOk("select -r LegA Char Rig");
    EXPECT_EQ(RunOk("ls -selection -type \"transform\""), "LegA Rig");
    RunOk("select -add Hips LegA; select -deselect Rig");
    EXPECT_EQ(RunOk("ls -sl"), "LegA Char Hips");
    RunOk("select -clear");
    EXPECT_EQ(Run("ls -selection").result, Value(QStringList()));
    EXPECT_EQ(RunFails("select -r Missing"), "select: No node named \"Missing\".");
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
    EXPECT_EQ(RunFails("delete"), "delete: Nothing to delete: name nodes or select some.");
    EXPECT_EQ(RunFails("delete Hips Missing"), "delete: No node named \"Missing\".");
    EXPECT_NE(Find("Hips"), nullptr); // a bad list deletes nothing
}

TEST_F(SceneTest, ReparentingKeepsLocalValuesAndRefusesCycles)
{
    RunOk("createNode joint -n A; createNode joint -n B -p A; createNode joint -n C;"
          "xform -t 1 2 3 B");
    RunOk("parent B C");
    EXPECT_EQ(Find("B")->Parent(), Find("C"));
    EXPECT_EQ(RunOk("xform -q -t B"), "1 2 3");
    EXPECT_EQ(RunFails("parent C B"),
              "parent: \"C\" cannot become a child of itself or of its own descendant.");
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
    EXPECT_EQ(RunFails("setAttr J.i 1.5"), "setAttr: J.i holds int values, not double.");
    EXPECT_EQ(RunFails("setAttr J.b 2"), "setAttr: J.b holds bool values, not int.");
    EXPECT_EQ(RunFails("setAttr J.m 1"), "setAttr: J.m is a message attribute and holds no value.");
    EXPECT_EQ(RunFails("getAttr J.m"), "getAttr: J.m is a message attribute and holds no value.");
    EXPECT_EQ(RunFails("getAttr J.nope"), "getAttr: \"J\" has no attribute \"nope\".");
    EXPECT_EQ(RunFails("addAttr J.i"), "addAttr: \"J\" already has an attribute \"i\".");
    EXPECT_EQ(RunFails("addAttr J.x -at float"), "addAttr: Unknown attribute type \"float\".");
    EXPECT_EQ(RunFails("addAttr J.tx"), "addAttr: \"tx\" is a transform channel.");
    EXPECT_EQ(RunFails("getAttr J"), "getAttr: \"J\" is not of the form node.attribute.");
    EXPECT_EQ(Run("getAttr J.i").result, Value(-4)); // unchanged by the failures
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
    EXPECT_EQ(RunFails("setAttr J.ro 6"), "setAttr: rotateOrder takes an int from 0 to 5.");
    EXPECT_EQ(RunFails("setAttr J.tx \"a\""), "setAttr: tx takes a number, not a string.");
    RunOk("createNode transform -n T");
    EXPECT_EQ(RunFails("getAttr T.jointOrientX"),
              "getAttr: \"T\" has no attribute \"jointOrientX\".");
}

TEST_F(SceneTest, ADestinationTakesOneConnectionAndConnectionsNeedBothEnds)
{
    RunOk("createNode joint -n A; createNode joint -n B; createNode character -n C;"
          "addAttr A.Character -at message; addAttr B.Character -at message; addAttr C.Hips -at "
          "message");
    RunOk("connectAttr A.Character C.Hips");
    EXPECT_EQ(RunFails("connectAttr B.Character C.Hips"),
              "connectAttr: C.Hips already has an incoming connection.");
    EXPECT_EQ(RunFails("connectAttr A.Character A.Character"),
              "connectAttr: An attribute cannot be connected to itself.");
    EXPECT_EQ(RunFails("connectAttr A.nope C.Hips"),
              "connectAttr: \"A\" has no attribute \"nope\".");
    EXPECT_EQ(RunOk("listConnections A.Character"), "C.Hips");
    EXPECT_EQ(RunOk("listConnections -source C.Hips"), "A.Character");
    EXPECT_EQ(RunOk("listConnections -destination C"), "");
    EXPECT_EQ(RunOk("listConnections C"), "A.Character");
    RunOk("disconnectAttr A.Character C.Hips");
    EXPECT_EQ(RunFails("disconnectAttr A.Character C.Hips"),
              "disconnectAttr: A.Character is not connected to C.Hips.");
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
