// The JSON scene format: a full round trip, escaping, and every kind of broken file.
#include "kestreltest.h"

#include "io/scenedescription.h"
#include "io/scenedocument.h"
#include "io/scenejsonreader.h"
#include "io/scenejsonwriter.h"
#include "scene/transformquery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

using namespace kestrel;

namespace {

class SceneJson : public HostTest
{
protected:
    QByteArray Snapshot() { return SceneJsonWriter::ToJson(SceneDescription::Capture(scene())); }
    QString TempPath(const QString& name) { return QDir::temp().filePath(name); }
};

QString ReadError(const QByteArray& text)
{
    SceneDescription description;
    QString error;
    EXPECT_FALSE(SceneJsonReader::Read(text, &description, &error)) << text.constData();
    return error;
}

QByteArray SceneText(const QByteArray& nodes, const QByteArray& connections = QByteArray())
{
    QByteArray text = "{\"kestrelScene\": 1, \"nodes\": [" + nodes + "]";
    if (!connections.isEmpty())
        text += ", \"connections\": [" + connections + "]";
    return text + "}";
}

} // namespace

TEST_F(SceneJson, EverythingASceneHoldsSurvivesSavingAndOpening)
{
    BuildOrientedTPose(scene());
    RunOk("setAttr LeftArm.rx 12.5; setAttr LeftArm.ro 4; setAttr LeftArm.rotateAxisY -30; "
          "xform -s 1 2 3 LeftHand; createNode transform -n Prop -p LeftHand; "
          "addAttr LeftHand.Character -at message; addAttr LeftHand.flag -at bool; "
          "setAttr LeftHand.flag true; addAttr LeftHand.count -at int; setAttr LeftHand.count -7; "
          "addAttr LeftHand.w; setAttr LeftHand.w 0.125; addAttr LeftHand.label -at string; "
          // Text of every UTF-8 length: 1 to 4 bytes a character.
          "setAttr LeftHand.label \"a \\\"quoted\\\" \\\\ text \u00b1\u20ac\U0001D11E\\n\"; "
          "setCharacterObject(\"LeftHand\",\"Char\",11,0);");
    TransformValues limited = Find("LeftLeg")->Transform();
    limited.limits.minimum = Vector3(-1, -0.5, 0);
    limited.limits.maximum = Vector3(1, 0.5, 2);
    limited.limits.minimumEnabled[0] = true;
    limited.limits.maximumEnabled[2] = true;
    scene().SetTransform(Find("LeftLeg"), limited);
    const QByteArray before = Snapshot();

    const QString path = TempPath("kestrel_round_trip_test.json");
    EXPECT_EQ(RunOk("saveScene \"" + path + "\""), path);
    RunOk("newScene");
    RunOk("openScene \"" + path + "\"");
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(host.GetDocument().FilePath(), path);
    // Limits travel in degrees: equal to within rounding.
    const RotationLimits& limits = Find("LeftLeg")->Transform().limits;
    EXPECT_TRUE(NearVector(limits.minimum, limited.limits.minimum, 1e-12));
    EXPECT_TRUE(NearVector(limits.maximum, limited.limits.maximum, 1e-12));
    EXPECT_TRUE(limits.minimumEnabled[0] && limits.maximumEnabled[2]);
    EXPECT_FALSE(limits.minimumEnabled[1] || limits.minimumEnabled[2] || limits.maximumEnabled[0] ||
                 limits.maximumEnabled[1]);
    EXPECT_NEAR(Find("LeftArm")->Transform().rotation.x, 12.5 * M_PI / 180, 1e-12);
    EXPECT_EQ(RunOk("getAttr LeftHand.label"), "a \"quoted\" \\ text \u00b1\u20ac\U0001D11E\n");
    EXPECT_EQ(RunOk("listConnections LeftHand.Character"), "Char.LeftHand");
    EXPECT_EQ(RunOk("ls -long Prop"), "|Hips|Spine|LeftArm|LeftHand|Prop");
    QFile::remove(path);
}

TEST_F(SceneJson, NamesFromFilesAreEscapedConsistently)
{
    SceneDescription description;
    QString error;
    ASSERT_TRUE(SceneJsonReader::Read(
        SceneText("{\"n\\u0061me\": \"Left Arm\", \"type\": \"joint\", \"parent\": \"world\","
                  "  \"attributes\": [{\"name\": \"Character\", \"type\": \"message\"}]},"
                  "{\"name\": \"Left.Hand\", \"type\": \"joint\", \"parent\": \"Left Arm\"},"
                  "{\"name\": \"C 1\", \"type\": \"character\","
                  "  \"attributes\": [{\"name\": \"LeftArm\", \"type\": \"message\"}]}",
                  "{\"from\": \"Left Arm.Character\", \"to\": \"C 1.LeftArm\"}"),
        &description, &error))
        << qPrintable(error);
    ASSERT_EQ(description.BuildInto(scene(), &error), Status::Success) << qPrintable(error);
    EXPECT_EQ(RunOk("ls -long"), "|Left_Arm |Left_Arm|Left_Hand C_1");
    EXPECT_EQ(RunOk("listConnections C_1"), "Left_Arm.Character");
}

// Thousands of nodes read from a file: every name is found, also after subtrees are removed
// and nodes renamed in between them, and the names set free can be used again.
TEST_F(SceneJson, EveryNameOfALargeSceneStaysFoundThroughRemovalsAndRenames)
{
    const auto name = [](int chain, int joint) {
        return QStringLiteral("S%1_J%2").arg(chain).arg(joint);
    };
    QByteArray nodes;
    for (int chain = 0; chain < 40; ++chain) {
        for (int joint = 0; joint < 50; ++joint) {
            const QString parent = joint ? name(chain, joint - 1) : QStringLiteral("world");
            nodes += (nodes.isEmpty() ? "" : ",") +
                     QStringLiteral(R"({"name": "%1", "type": "joint", "parent": "%2"})")
                         .arg(name(chain, joint), parent)
                         .toUtf8();
        }
    }
    SceneDescription description;
    QString error;
    ASSERT_TRUE(SceneJsonReader::Read(SceneText(nodes), &description, &error)) << qPrintable(error);
    ASSERT_EQ(description.BuildInto(scene(), &error), Status::Success) << qPrintable(error);
    for (int chain = 0; chain < 40; chain += 3)
        ASSERT_EQ(scene().RemoveNode(Find(name(chain, 25))), Status::Success);
    for (int chain = 1; chain < 40; chain += 3)
        ASSERT_EQ(scene().RenameNode(Find(name(chain, 10)), "R" + name(chain, 10), &error),
                  Status::Success);
    for (int chain = 0; chain < 40; ++chain) {
        for (int joint = 0; joint < 50; ++joint) {
            const bool removed = chain % 3 == 0 && joint >= 25;
            const bool renamed = chain % 3 == 1 && joint == 10;
            const Node* node = Find(name(chain, joint));
            EXPECT_EQ(node ? node->Name() : QString(),
                      removed || renamed ? QString() : name(chain, joint));
        }
    }
    EXPECT_EQ(scene().NodeCount(), 2000 - 14 * 25);
    EXPECT_EQ(Find("R" + name(1, 10))->Parent(), Find(name(1, 9)));
    EXPECT_TRUE(scene().CreateNode(NodeType::Joint, name(0, 30), nullptr, &error));
    EXPECT_TRUE(scene().CreateNode(NodeType::Joint, name(1, 10), nullptr, &error));
}

// A name made on the heap (as a file's reader makes them) is kept as it is; one borrowed from a
// library (a literal) or from someone's memory (raw data) is copied, as a plug-in unloaded or
// a file unmapped would take its buffer away.
TEST_F(SceneJson, NodesKeepHeapNamesAndCopyBorrowedOnes)
{
    const QString literal = QStringLiteral("Literal");
    const QString borrowed = QString::fromRawData(reinterpret_cast<const QChar*>(u"Raw"), 3);
    const QString heap = QString::fromLatin1("Heap");
    QString error;
    for (const QString* name : {&literal, &borrowed, &heap}) {
        const Node* node = scene().CreateNode(NodeType::Joint, *name, nullptr, &error);
        ASSERT_TRUE(node) << qPrintable(error);
        EXPECT_EQ(node->Name(), *name);
        EXPECT_EQ(node->Name().constData() == name->constData(), name == &heap)
            << qPrintable(*name);
    }
}

TEST(SceneJsonReader, BrokenFilesSayWhereAndWhat)
{
    const QByteArray joint = "{\"name\": \"A\", \"type\": \"joint\"";
    struct Case
    {
        QByteArray text;
        QString error;
    };
    const QVector<Case> cases = {
        {"{\"kestrelScene\": 1,\n \"nodes\": [}", "JSON syntax error at line 2, column"},
        {"", "JSON syntax error"},
        {"[1, 2]", "not a Kestrel scene"},
        {"{\"nodes\": [], \"kestrelScene\": 1}", "not a Kestrel scene"},
        {SceneText("{\"name\": \"A\", \"type\": \"joint\", \"name\": \"B\"}"),
         "node 0 (\"A\"): \"name\" appears twice."},
        {SceneText(joint + ", \"translate\": [1e999, 0, 0]}"), "JSON syntax error at line 1"},
        {SceneText(joint + ", \"translate\": [1., 0, 0]}"), "JSON syntax error at line 1"},
        {SceneText("{\"name\": \"\xC3\x28\", \"type\": \"joint\"}"), "not UTF-8"},
        {SceneText(joint + ", \"x\": " + QByteArray(100, '[') + QByteArray(100, ']') + "}"),
         "nest too deeply"},
        {SceneText("{\"name\": \"A\\q\"}"), "an unknown escape"},
        {SceneText(joint + "} 1"), "',' or ']' was expected"},
        {SceneText(joint + "}") + " {}", "text after the end"},
        {"{}", "not a Kestrel scene"},
        {"{\"kestrelScene\": 2, \"nodes\": []}", "not a Kestrel scene"},
        {"{\"kestrelScene\": 1}", "\"nodes\" must be an array."},
        {"{\"kestrelScene\": 1, \"nodes\": [], \"extra\": 0}", "scene: unknown key \"extra\"."},
        {"{\"kestrelScene\": 1, \"nodes\": [], \"connections\": {}}",
         "\"connections\" must be an array."},
        {SceneText("3"), "node 0: must be an object."},
        {SceneText("{\"type\": \"joint\"}"), "node 0: \"name\" must be a string."},
        {SceneText("{\"name\": \"\", \"type\": \"joint\"}"), "\"name\" is empty."},
        {SceneText("{\"name\": \"A\"}"), "node 0 (\"A\"): \"type\" must be a string."},
        {SceneText("{\"name\": \"A\", \"type\": \"bone\"}"), "unknown node type \"bone\"."},
        {SceneText(joint + ", \"rotation\": [0, 0, 0]}"),
         "node 0 (\"A\"): unknown key \"rotation\"."},
        {SceneText(joint + ", \"translate\": [0, 0]}"),
         "\"translate\" must be an array of 3 numbers."},
        {SceneText(joint + ", \"scale\": [1, \"2\", 3]}"),
         "\"scale\" must be an array of 3 numbers."},
        {SceneText(joint + ", \"rotate\": 5}"), "\"rotate\" must be an array of 3 numbers."},
        {SceneText(joint + ", \"rotateOrder\": \"xyx\"}"), "unknown rotation order \"xyx\"."},
        {SceneText(joint + ", \"limits\": {\"min\": [0, 0, 0], \"minEnabled\": [true, 1, false]}}"),
         "limits: \"minEnabled\" must be an array of 3 booleans."},
        {SceneText(joint + ", \"limits\": {\"lower\": [0, 0, 0]}}"),
         "limits: unknown key \"lower\"."},
        {SceneText("{\"name\": \"T\", \"type\": \"transform\", \"jointOrient\": [0, 0, 0]}"),
         "only joints take \"jointOrient\"."},
        {SceneText("{\"name\": \"C\", \"type\": \"character\", \"translate\": [0, 0, 0]}"),
         "a character node takes no \"translate\"."},
        {SceneText(joint + ", \"attributes\": [{\"name\": \"x\", \"type\": \"float\"}]}"),
         "node 0 (\"A\") attribute 0: unknown attribute type \"float\"."},
        {SceneText(joint +
                   ", \"attributes\": [{\"name\": \"x\", \"type\": \"int\", \"value\": 1.5}]}"),
         "\"value\" does not fit the type int."},
        {SceneText(joint +
                   ", \"attributes\": [{\"name\": \"x\", \"type\": \"message\", \"value\": 1}]}"),
         "a message attribute takes no \"value\"."},
        {SceneText(joint + ", \"attributes\": [{\"name\": \"x y\", \"type\": \"int\"}]}"),
         "Node \"A\": \"x y\" is not a valid attribute name."},
        {SceneText(joint + ", \"attributes\": [{\"name\": \"x\", \"type\": \"int\"}, {\"name\": "
                           "\"x\", \"type\": \"bool\"}]}"),
         "Node \"A\": attribute \"x\" appears twice."},
        {SceneText(joint + "}, " + joint + "}"), "The node name \"A\" is used twice."},
        {SceneText("{\"name\": \"B\", \"type\": \"joint\", \"parent\": \"A\"}, " + joint + "}"),
         "The parent \"A\" of \"B\" is not declared before it."},
        {SceneText("{\"name\": \"C\", \"type\": \"character\"}, {\"name\": \"B\", \"type\": "
                   "\"joint\", \"parent\": \"C\"}"),
         "The parent \"C\" of \"B\" is not a transform."},
        {SceneText("{\"name\": \"C\", \"type\": \"character\", \"parent\": \"A\"}"),
         "Character node \"C\" cannot have a parent."},
        {SceneText(joint + "}", "{\"from\": \"A\", \"to\": \"A.x\"}"),
         "connection 0: \"from\" and \"to\" must read \"node.attribute\"."},
        {SceneText(joint + "}", "{\"from\": \"A.x\"}"), "connection 0: \"to\" must be a string."},
        {SceneText(joint + "}", "{\"from\": \"A.x\", \"to\": \"B.y\"}"),
         "Connection A.x -> B.y: unknown node."},
        {SceneText(joint + "}", "{\"from\": \"A.x\", \"to\": \"A.y\"}"),
         "Connection A.x -> A.y: unknown attribute."},
    };
    for (const Case& c : cases) {
        const QString error = ReadError(c.text);
        EXPECT_TRUE(error.contains(c.error)) << c.text.constData() << "\n-> " << qPrintable(error);
    }
}

TEST_F(SceneJson, SavingNeedsAWritablePathAndOnlyBvhFilesHaveFrames)
{
    EXPECT_TRUE(RunFails("saveScene \"/nonexistent-folder/x.json\"")
                    .startsWith("Cannot write the scene file \"/nonexistent-folder/x.json\""));
    EXPECT_EQ(RunFails("saveScene"), "saveScene: The scene has no file yet: give one.");
    EXPECT_EQ(RunFails("openScene -frame 1 \"" + TestData("small.json") + "\""),
              "\"" + TestData("small.json") + "\": only BVH files have frames.");
}

TEST(SceneJsonWriter, WritesOneNodePerLineAndLeavesDefaultsOut)
{
    SceneDescription description;
    NodeRecord plain;
    plain.name = "A";
    plain.type = NodeType::Joint;
    plain.transform.translation = Vector3(1, 2.5, -3);
    NodeRecord turned;
    turned.name = "B";
    turned.type = NodeType::Transform;
    turned.parent = "A";
    turned.transform.rotation = Vector3(M_PI / 2, 0, 0);
    turned.transform.rotationOrder = RotationOrder::ZYX;
    turned.attributes = {{"on", AttributeType::Bool, Value(true)},
                         {"m", AttributeType::Message, Value()}};
    NodeRecord character;
    character.name = "C";
    character.type = NodeType::Character;
    description.nodes = {plain, turned, character};
    description.connections = {{"B", "m", "A", "x"}};
    EXPECT_EQ(
        SceneJsonWriter::ToJson(description),
        "{\n\"kestrelScene\": 1,\n\"nodes\": [\n"
        "    {\"name\": \"A\", \"type\": \"joint\", \"translate\": [1, 2.5, -3]},\n"
        "    {\"name\": \"B\", \"type\": \"transform\", \"parent\": \"A\", \"rotate\": [90, 0, 0], "
        "\"rotateOrder\": \"zyx\", \"attributes\": [{\"name\": \"on\", \"type\": \"bool\", "
        "\"value\": true}, {\"name\": \"m\", \"type\": \"message\"}]},\n"
        "    {\"name\": \"C\", \"type\": \"character\"}\n"
        "],\n\"connections\": [\n    {\"from\": \"B.m\", \"to\": \"A.x\"}\n]\n}\n");
}
