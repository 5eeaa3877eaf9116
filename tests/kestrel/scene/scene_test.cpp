// The scene: names, lookup, hierarchy, attributes, connections, listing and selection commands.
#include "kestreltest.h"

#include "scene/nodename.h"

#include <cmath>

using namespace kestrel;

TEST(NodeNames, OnlyLettersDigitsUnderscoresAndColonsMakeANameAndForeignNamesAreMadeOne)
{
    for (const char* name : {"Hips", "Char1:LeftArm", "_x", "9lives", "a:b:c", "Zz0"})
        EXPECT_TRUE(IsValidNodeName(name)) << name;
    for (const char* name : {"", "world", "a b", "a\"b", "a.b", "a|b", "a-b", "\u00e9"})
        EXPECT_FALSE(IsValidNodeName(name)) << name;
    // One '_' per character, not per byte.
    const std::pair<const char*, const char*> escaped[] = {{"Left Arm", "Left_Arm"},
                                                           {"upperleg01.R", "upperleg01_R"},
                                                           {"say \"hi\"", "say__hi_"},
                                                           {"a\tb", "a_b"},
                                                           {"F\u00fc\u00dfe", "F__e"},
                                                           {"Char1:Hips_2", "Char1:Hips_2"},
                                                           {"world", "_world"},
                                                           {"x'y", "x_y"},
                                                           {"(1)", "_1_"}};
    for (const auto& [raw, legal] : escaped) {
        EXPECT_EQ(EscapeNodeName(QString::fromUtf8(raw)), legal) << raw;
        EXPECT_TRUE(IsValidNodeName(legal)) << raw;
    }
}

class SceneTest : public HostTest
{};

TEST_F(SceneTest, NodesAreFoundByNameOrByPath)
{
    RunOk("createNode joint -n Hips; createNode joint -n Spine -p Hips; "
          "createNode joint -n Neck -p Spine");
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
    RunOk("createNode transform -n Rig; createNode joint -n Hips -p Rig; "
          "createNode joint -n LegB -p Hips; createNode joint -n LegA -p Hips; "
          "createNode character -n Char; createNode transform -n Camera");
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
    RunOk("createNode joint -n Hips; createNode joint -n Leg -p Hips; "
          "createNode joint -n Foot -p Leg; createNode joint -n Spine -p Hips; "
          "addAttr Foot.out -at message; addAttr Spine.in -at message; "
          "connectAttr Foot.out Spine.in; select -r Foot Spine");
    RunOk("delete Leg");
    EXPECT_EQ(RunOk("ls"), "Hips Spine");
    EXPECT_TRUE(scene().Connections().empty());
    EXPECT_EQ(RunOk("ls -selection"), "Spine");
    RunOk("select -r Spine; delete");
    EXPECT_EQ(RunOk("ls"), "Hips");
}

TEST_F(SceneTest, ADestinationTakesOneConnectionAndConnectionsNeedBothEnds)
{
    RunOk("createNode joint -n A; createNode joint -n B; createNode character -n C; "
          "addAttr A.Character -at message; addAttr B.Character -at message; "
          "addAttr C.Hips -at message");
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
    const auto outgoing = [this](bool copies) {
        QStringList nodes;
        for (const char* name : {"A", "B"}) {
            QStringList targets;
            for (const Connection& c :
                 copies ? Find(name)->OutgoingConnections() : scene().Connections()) {
                if (c.fromNode == Find(name))
                    targets << c.fromAttribute + "->" + c.toNode->Name() + "." + c.toAttribute;
            }
            nodes << name + (": " + targets.join(' '));
        }
        return nodes.join(" | ");
    };
    RunOk("createNode joint -n A; createNode joint -n B; createNode character -n C; "
          "addAttr A.Character -at message; addAttr A.out -at message; "
          "addAttr B.Character -at message; addAttr C.Hips -at message; "
          "addAttr C.Spine -at message; addAttr C.Head -at message");
    const std::pair<const char*, const char*> steps[] = {
        {"connectAttr A.Character C.Hips; connectAttr A.out C.Spine; connectAttr B.Character "
         "C.Head",
         "A: Character->C.Hips out->C.Spine | B: Character->C.Head"},
        {"disconnectAttr A.Character C.Hips", "A: out->C.Spine | B: Character->C.Head"},
        {"deleteAttr C.Spine", "A:  | B: Character->C.Head"},
        {"undo; undo", "A: out->C.Spine Character->C.Hips | B: Character->C.Head"},
        {"delete C", "A:  | B: "},
        {"undo", "A: out->C.Spine Character->C.Hips | B: Character->C.Head"},
    };
    for (const auto& [statement, expected] : steps) {
        RunOk(statement);
        EXPECT_EQ(outgoing(true), outgoing(false)) << statement;
        EXPECT_EQ(outgoing(true), QString(expected)) << statement;
    }
}

TEST_F(SceneTest, BadCommandsFailWithTheirKindAndTheNameAtFaultAndChangeNothing)
{
    RunOk("createNode joint -n J; createNode joint -n K -p J; createNode transform -n T; "
          "createNode character -n C; addAttr J.b -at bool; addAttr J.i -at int; "
          "addAttr J.m -at message; addAttr K.m -at message; addAttr C.Hips -at message; "
          "setAttr J.i -4; connectAttr J.m C.Hips; select -r K; addAttr J.d; "
          "addAttr J.s -at string; setAttr J.b 1; setAttr J.d 2; setAttr J.s \"x y\"");
    // Values are typed, and convert only where nothing is lost.
    EXPECT_EQ(Run("getAttr J.b").result, Value(true));
    EXPECT_EQ(Run("getAttr J.i").result, Value(-4));
    EXPECT_EQ(Run("getAttr J.d").result, Value(2.0));
    EXPECT_EQ(Run("getAttr J.s").result, Value("x y"));
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
        {"rename J K", Status::AlreadyExists, "\"K\""},
        {"rename J world", Status::InvalidParameter, "\"world\""},
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
