// The plug-in as host scripts drive it: loaded by name into a host with the sample biped open,
// its panel shown in the tool layout, and every step taken through characterizationToolUICmd
// and the host's own commands. What the plug-in sends back is read from the host's script log,
// what it left behind from the scene.
#include "modalanswerer.h"
#include "pluginhosttest.h"

#include "batch/batchcharacterizer.h"
#include "script/textlog.h"
#include "ui/uilayouts.h"

#include "solver/nodenames.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextEdit>
#include <QWidget>

namespace {

const QString kNone = QStringLiteral("--- None ---");

// A host with the sample biped and the plug-in loaded, before any layout exists.
class LoadedPlugin : public PluginHostTest
{
protected:
    void SetUp() override
    {
        RunOk(QStringLiteral("openScene \"%1\"").arg(SamplePath("biped_tpose.json")));
        callbacksBefore = scene().GetNotifier().CallbackCount();
        ASSERT_EQ(RunOk("loadPlugin \"characterizationTool\""), "characterizationTool");
    }

    // No panel, nothing in the tool layout and no watch left behind.
    void ExpectNoPanelLeft()
    {
        EXPECT_EQ(host.GetLayouts().FindWidget(kToolPanel), nullptr);
        QWidget* layout = host.GetLayouts().FindLayout("kntCharacterizationScrollControl");
        ASSERT_NE(layout, nullptr);
        EXPECT_TRUE(
            layout->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
        EXPECT_EQ(scene().GetNotifier().CallbackCount(), callbacksBefore);
    }

    int callbacksBefore = 0;
};

// The panel open in the tool layout, nothing sent yet.
class PluginScenario : public LoadedPlugin
{
protected:
    void SetUp() override
    {
        LoadedPlugin::SetUp();
        RunOk("createLayout \"kntCharacterizationScrollControl\"");
        panel = RunOk(kToolCmd);
        Sent();
    }

    // Binds `joint` to slot `nodeId` of `character` on the tool's side, as a host script does
    // after changing its own character node.
    void Assign(const QString& character, int nodeId, const QString& joint)
    {
        Cmd(QStringLiteral("-e -characternodeassign \"%1\" -nodeid %2 -kestrelnodename \"%3\"")
                .arg(character)
                .arg(nodeId)
                .arg(joint));
    }

    // A host character node made by the host's own script, and the tool's characterizations.
    void MakeCharacters(const QString& hostCharacter, const QString& list)
    {
        RunOk(QStringLiteral("setCharacterObject(\"Char1:Hips\",\"%1\",1,0);").arg(hostCharacter));
        Cmd(QStringLiteral("-e -characterlist \"%1\"").arg(list));
        Assign(hostCharacter, 1, "Char1:Hips");
    }

    QString panel;
};

TEST_F(PluginScenario, PanelOpensOnceAndStartsWithThePlaceholder)
{
    EXPECT_EQ(panel, kToolPanel);
    // Opening again makes no second panel and answers nothing.
    const kestrel::ScriptResult again = Run(kToolCmd);
    EXPECT_EQ(again.status, kestrel::Status::Success);
    EXPECT_TRUE(again.result.IsNone()) << qPrintable(again.result.ToText());

    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{kNone});
    EXPECT_EQ(Cmd("-q -currentcharname"), "");
    EXPECT_EQ(Cmd("-q -nonename"), kNone);
    EXPECT_EQ(Cmd("-q -islocked"), "false");
    EXPECT_EQ(Cmd("-q -curcharstatus"), "3"); // nothing bound: the required bones are missing

    // Flags without edit or query mode do nothing.
    Cmd("-deleteTool");
    EXPECT_NE(host.GetLayouts().FindWidget(kToolPanel), nullptr);
    EXPECT_EQ(SentChanges(), QStringList());
}

TEST_F(PluginScenario, MirrorToggleIsTheOnlyActionUndone)
{
    // Each statement is one undo step, queries included: undo right after the action.
    RunOk(kToolCmd + " -e -mirrormatch; undo");
    EXPECT_EQ(Cmd("-q -ismirrortoggle"), "false");
    RunOk(kToolCmd + " -e -mirrormatch; undo; redo");
    EXPECT_EQ(Cmd("-q -ismirrortoggle"), "true");
    RunOk(kToolCmd + " -e -characterlist \"A\"; undo");
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{"A"});
    EXPECT_EQ(Cmd("-q -ismirrortoggle"), "true");
}

TEST_F(PluginScenario, CharacterListsAreKeptInStepWithTheHostScripts)
{
    Cmd("-e -characterlist \"A;B\"");
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList({"A", "B"}));
    EXPECT_EQ(Cmd("-q -currentcharname"), "B"); // the last one made is current

    Cmd("-e -setcurrentcharname A");
    EXPECT_EQ(Cmd("-q -currentcharname"), "A");
    Cmd("-e -setcurrentcharname Nobody"); // unknown: the current one stays
    EXPECT_EQ(Cmd("-q -currentcharname"), "A");

    EXPECT_EQ(Cmd("-q -validcharname A"), "true");
    EXPECT_EQ(Cmd("-q -validcharname a"), "false");

    // Listed ones stay (in their place), missing ones are added, the rest go.
    Cmd("-e -characterlist \"C;;B\"");
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList({"B", "C"}));
    EXPECT_EQ(Cmd("-q -currentcharname"), "C");

    Cmd("-e -characterlist \"\"");
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{kNone});
    EXPECT_EQ(Cmd("-q -currentcharname"), "");
    // None of this has a host node: the host is told nothing.
    EXPECT_EQ(SentChanges(), QStringList());
}

// The tool follows its joints by the host's rename and removal notifications and sends the
// host each new binding. A watch must move with its joint: the name a renamed joint had may
// later belong to another bound joint.
TEST_F(PluginScenario, BindingsFollowRenamedAndDeletedJoints)
{
    MakeCharacters("Hero", "Hero");
    EXPECT_EQ(Sent(), QStringList()); // the host made the binding: nothing goes back
    // A binding moved or cleared lets go of the joint it left.
    const int watches = scene().GetNotifier().CallbackCount();
    Assign("Hero", 1, "Char1:Spine");
    Assign("Hero", 1, "Char1:Hips");
    Assign("Hero", 8, "Char1:Spine");
    Assign("Hero", 8, "");
    EXPECT_EQ(scene().GetNotifier().CallbackCount(), watches);

    RunOk("rename Char1:Hips Char1:Pelvis");
    EXPECT_EQ(SentChanges(), QStringList{"setCharacterObject(\"Char1:Pelvis\",\"Hero\",1,0);"});
    RunOk("rename Char1:Pelvis Char1:Root");
    EXPECT_EQ(SentChanges(), QStringList{"setCharacterObject(\"Char1:Root\",\"Hero\",1,0);"});
    EXPECT_EQ(JointInSlot("Hero", "Hips"), "Char1:Root");

    // A new joint under the first name, bound to the spine slot.
    RunOk("createNode joint -name Char1:Hips");
    RunOk("setCharacterObject(\"Char1:Hips\",\"Hero\",8,0);");
    Assign("Hero", 8, "Char1:Hips");
    Sent();

    RunOk("delete Char1:Root");
    EXPECT_EQ(SentChanges(), QStringList{"setCharacterObject(\"\",\"Hero\",1,1);"});
    EXPECT_EQ(JointInSlot("Hero", "Hips"), "");
    EXPECT_EQ(JointInSlot("Hero", "Spine"), "Char1:Hips");

    // The spine slot is still bound and still watched.
    RunOk("rename Char1:Hips Char1:Chest");
    EXPECT_EQ(SentChanges(), QStringList{"setCharacterObject(\"Char1:Chest\",\"Hero\",8,0);"});
    RunOk("delete Char1:Chest");
    EXPECT_EQ(SentChanges(), QStringList{"setCharacterObject(\"\",\"Hero\",8,1);"});
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{"Hero"});
}

TEST_F(PluginScenario, OutOfRangeIdsFailClearlyAndChangeNothing)
{
    MakeCharacters("Hero", "Hero;Other");
    Sent();
    const QString before = Cmd("-q -currentcharname");

    // The setcurrentcharname call shows that ids are checked before any flag runs.
    const QString spine = " -kestrelnodename Char1:Spine";
    const QString refused[][2] = {
        {"-characternodeassign Hero -nodeid 212" + spine, "node id 212 is outside 0..211."},
        {"-characternodeassign Hero -nodeid -1" + spine, "node id -1 is outside 0..211."},
        {"-setcurrentcharname Hero -characternodeassign Hero -nodeid 212" + spine,
         "node id 212 is outside 0..211."},
        {"-invertbone 4 -invertstate true -character Hero", "inversion index 4 is outside 0..3."},
        {"-invertbone -1 -invertstate true -character Hero", "inversion index -1 is outside 0..3."},
        {"-invertbone 0 -invertstate true -character Nobody",
         "there is no characterization named \"Nobody\"."},
    };
    for (const auto& c : refused)
        EXPECT_EQ(CmdFails("-e " + c[0]), kToolCmd + ": " + c[1]);
    EXPECT_EQ(Cmd("-q -currentcharname"), before);
    // An unknown characterization gets nothing, nor does the current one instead.
    Cmd("-e -characternodeassign Nobody -nodeid 8 -kestrelnodename Char1:Spine");
    EXPECT_FALSE(RunOk("characterizationToolReport").contains("Char1:Spine"));
    // The bounds themselves, for a known characterization: accepted, and the host's character
    // node follows (the host sets it itself; the tool sends nothing).
    Cmd("-e -invertbone 0 -invertstate true -character Hero");
    Cmd("-e -invertbone 3 -invertstate true -character Hero");
    EXPECT_EQ(Attribute("Hero", "leftKneeInverted"), kestrel::Value(true));
    EXPECT_EQ(Attribute("Hero", "rightElbowInverted"), kestrel::Value(true));
    Cmd("-e -characternodeassign Other -nodeid 0 -kestrelnodename Char1:Spine");
    Cmd("-e -characternodeassign Other -nodeid 211 -kestrelnodename Char1:Hips");

    EXPECT_EQ(SentChanges(), QStringList());
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList({"Hero", "Other"}));
}

TEST_F(PluginScenario, LockFreezesTheBindingsUntilUnlocked)
{
    MakeCharacters("Hero", "Hero");
    ModalAnswerer answers;
    answers.Click("OK"); // only a valid characterization can be locked
    Cmd("-e -locktoggle");
    EXPECT_EQ(Cmd("-q -islocked"), "false");
    EXPECT_TRUE(answers.Seen().value(0).startsWith("Validation Warning|"));

    BindSample("Hero", kinetra::NodeCount - 1);
    Assign("Hero", 8, "Char1:Hips"); // the spine on the hips: a warning, which does not stop it
    EXPECT_EQ(Cmd("-q -curcharstatus"), "2");
    Sent();
    Cmd("-e -locktoggle");
    EXPECT_EQ(Cmd("-q -islocked"), "true");
    // The lock reaches the host's character node, with the pose it froze.
    EXPECT_EQ(Attribute("Hero", "InputCharacterizationLock"), kestrel::Value(true));
    EXPECT_TRUE(Attribute("Hero", "HipsTy").ToDouble() > 0);

    // Locked, the tool ignores renames itself; the host's node keeps the joint under its new
    // name and tells the tool, so both still name the same joint.
    RunOk("rename Char1:Head Char1:Skull");
    EXPECT_EQ(JointInSlot("Hero", "Head"), "Char1:Skull");
    EXPECT_TRUE(RunOk("characterizationToolRecord").contains("[15,\"Char1:Skull\"]"));
    EXPECT_EQ(Cmd("-q -islocked"), "true");

    // A script binds a joint the scene does not have: the host cannot follow, and unlocking
    // finds it missing and asks before clearing it.
    Assign("Hero", 15, "Ghost");
    EXPECT_EQ(JointInSlot("Hero", "Head"), "Char1:Skull");
    Sent();
    answers.Click("Cancel");
    Cmd("-e -locktoggle");
    EXPECT_EQ(Cmd("-q -islocked"), "true");
    EXPECT_EQ(SentChanges(), QStringList());
    answers.Click("OK");
    Cmd("-e -locktoggle");
    EXPECT_EQ(Cmd("-q -islocked"), "false");
    EXPECT_EQ(Attribute("Hero", "InputCharacterizationLock"), kestrel::Value(false));
    EXPECT_EQ(SentChanges(), QStringList({"setCharacterObject(\"\",\"Hero\",15,0);",
                                          "kntUpdateCharacterControlsUICallback"}));
    EXPECT_EQ(JointInSlot("Hero", "Head"), "");
    EXPECT_EQ(answers.Seen().size(), 3);
    EXPECT_TRUE(answers.Seen().last().contains("cannot be found"));
    EXPECT_EQ(Cmd("-q -curcharstatus"), "3"); // the head is required
    EXPECT_TRUE(answers.AllAnswered());
}

// Deleting asks first, and takes the host's character node with the characterization, under
// the name the host last gave it, and no other node.
TEST_F(PluginScenario, DeletionsAskFirstAndTellTheHost)
{
    RunOk("setCharacterObject(\"Char1:Head\",\"Villain\",15,0);");
    MakeCharacters("Hero", "Hero;Villain;Extra");
    Cmd("-e -setcurrentcharname Hero");
    RunOk("rename Hero Lead");
    // The host's node "Villain" reached the tool first, so it comes first.
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList({"Villain", "Lead", "Extra"}));
    Sent();
    ModalAnswerer answers;
    answers.Click("No");
    Cmd("-e -deletecurrentchar");
    EXPECT_TRUE(answers.Seen().value(0).startsWith("Delete Skeleton Definition|"));
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList({"Villain", "Lead", "Extra"}));
    EXPECT_EQ(SentChanges(), QStringList());

    answers.Click("Yes");
    Cmd("-e -deletecurrentchar");
    EXPECT_EQ(SentChanges(), QStringList{"deleteCharacter( \"Lead\" );"});
    EXPECT_EQ(Find("Lead"), nullptr);
    EXPECT_NE(Find("Villain"), nullptr);
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList({"Villain", "Extra"}));
    EXPECT_EQ(Cmd("-q -currentcharname"), "Villain");

    // Deleting all asks once per characterization.
    RunOk("rename Villain Second");
    answers.Click("Yes");
    answers.Click("No");
    Cmd("-e -deleteallchar");
    EXPECT_EQ(SentChanges(), QStringList{"deleteCharacter( \"Second\" );"});
    EXPECT_EQ(Find("Second"), nullptr);
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{"Extra"});

    answers.Click("Yes");
    Cmd("-e -deleteallchar");
    EXPECT_EQ(SentChanges(), QStringList{"deleteCharacter( \"Extra\" );"});
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{kNone});
    EXPECT_EQ(answers.Seen().size(), 5);
    EXPECT_TRUE(answers.AllAnswered());
}

// A characterization becomes a host character node, so its name must be a valid node name;
// only the tool's own placeholders, which never reach the host, are exempt.
TEST_F(PluginScenario, CharacterNamesMustBeValidNodeNames)
{
    Cmd("-e -characterlist \"Hero\"");
    Sent();
    const QString refused = QStringLiteral(
        "characterizationToolUICmd: %1 is not a valid character name: use letters, digits, '_' "
        "and ':' (and not \"world\").");
    // Each name as a script string, which is also how the error shows it.
    for (const char* name :
         {R"("x\" )\nprint \"INJECTED\"")", R"("C%1")", R"("two words")", R"("world")"}) {
        EXPECT_EQ(CmdFails(QStringLiteral("-e -setcurrentcharname ") + name), refused.arg(name));
        EXPECT_EQ(CmdFails(QStringLiteral("-e -characterlist ") + name), refused.arg(name));
    }
    // An empty list means "none"; an empty current name is refused.
    EXPECT_EQ(CmdFails("-e -setcurrentcharname \"\""), refused.arg("\"\""));
    // One bad name refuses the whole list, and the other flags of the call.
    EXPECT_EQ(CmdFails("-e -characterlist \"A;b c\" -deletecurrentchar"), refused.arg("\"b c\""));
    // The host refuses such a rename itself.
    RunFails("rename Hero \"two words\"");
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{"Hero"});
    EXPECT_EQ(SentChanges(), QStringList());
    EXPECT_FALSE(host.GetOutputLog().Entries().join('\n').contains("INJECTED"));

    Cmd("-e -characterlist \"Hero;--- None --- (1);A:b_2\"");
    Cmd("-e -setcurrentcharname \"--- None --- (1)\"");
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList({"Hero", "--- None --- (1)", "A:b_2"}));
    EXPECT_EQ(CmdFails("-e -setcurrentcharname \"--- None --- (0)\""),
              refused.arg("\"--- None --- (0)\""));
}

// A script learns why the characterization has its status: overall and for each node in use.
TEST_F(PluginScenario, ReportGivesTheReasonsForTheStatus)
{
    MakeCharacters("Hero", "Hero");
    Assign("Hero", 8, "Char1:Hips"); // the spine on the hips joint: both at one position
    const QString warning =
        QStringLiteral(R"("message":"Node Hips is at the same position as node Spine.",)");
    EXPECT_EQ(RunOk("characterizationToolReport"),
              R"({"character":"Hero","code":3,"message":"Missing required bones.\nSome nodes are )"
              R"(almost at the same position.","missing":["LeftUpLeg","LeftLeg","LeftFoot",)"
              R"("RightUpLeg","RightLeg","RightFoot","LeftArm","LeftForeArm","LeftHand",)"
              R"("RightArm","RightForeArm","RightHand","Head"],"nodes":[{"id":1,)"
              R"("joint":"Char1:Hips",)" +
                  warning + R"("name":"Hips","status":"warning"},{"id":8,"joint":"Char1:Hips",)" +
                  warning + R"("name":"Spine","status":"warning"}],"status":"error"})");

    BindSample("Hero", kinetra::NodeCount - 1);
    const QJsonObject report =
        QJsonDocument::fromJson(RunOk("characterizationToolReport").toUtf8()).object();
    EXPECT_EQ(report["code"].toInt(), 0);
    EXPECT_EQ(report["status"].toString(), "valid");
    int valid = 0;
    for (const QJsonValue& node : report["nodes"].toArray())
        valid += node["status"].toString() == "valid";
    EXPECT_EQ(valid, RunOkList("ls -transforms").size()) << "one entry per bound joint";

    Cmd("-e -deleteTool");
    EXPECT_EQ(RunFails("characterizationToolReport"),
              "characterizationToolReport: no characterization tool is open.");
}

// -fup binds and revalidates at once: both property views name the hole in the thumb chain
// without a query to refresh them.
TEST_F(PluginScenario, ForcedAssignmentRevalidatesThePanelAtOnce)
{
    const auto thumbTexts = [] {
        QStringList texts;
        for (QWidget* widget : QApplication::allWidgets()) {
            if (auto* text = qobject_cast<QTextEdit*>(widget); text && text->isReadOnly())
                texts << text->toPlainText();
        }
        return texts.filter("left hand thumb").size();
    };
    MakeCharacters("Hero", "Hero");
    BindSample("Hero", 15);
    const QString assign = "-e -fup -characternodeassign Hero -nodeid %1 -kestrelnodename \"%2\"";
    Cmd(assign.arg(51).arg("Char1:LeftHandThumb2"));
    EXPECT_EQ(thumbTexts(), 2);
    Cmd(assign.arg(51).arg(""));
    EXPECT_EQ(thumbTexts(), 0);
}

TEST_F(PluginScenario, DeleteToolClosesThePanelAndStopsWatching)
{
    MakeCharacters("Hero", "Hero");
    Cmd("-e -deleteTool");
    ExpectNoPanelLeft();
    // Without a tool, queries give their empty answers and actions do nothing.
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList());
    EXPECT_EQ(Cmd("-q -curcharstatus"), "0");
    EXPECT_EQ(Cmd("-q -nonename"), "");
    Cmd("-e -characterlist \"A\"");
    RunOk("rename Char1:Hips Char1:Pelvis");
    EXPECT_EQ(SentChanges(), QStringList());

    // The next call opens a fresh panel, which takes the scene's character node.
    EXPECT_EQ(RunOk(kToolCmd), kToolPanel);
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{"Hero"});

    // A panel the host closes is built again the same way.
    RunOk(QStringLiteral("deleteUI \"%1\"").arg(kToolPanel));
    ExpectNoPanelLeft();
    EXPECT_EQ(RunOk(kToolCmd), kToolPanel);
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{"Hero"});
}

TEST_F(PluginScenario, UnloadingWithThePanelOpenLeavesNothingBehind)
{
    MakeCharacters("Hero", "Hero");
    Cmd("-e -mirrormatch"); // a tool command with something to undo stays on the queue
    const int warnings = host.GetWarningLog().Count();
    RunOk("unloadPlugin \"characterizationTool\"");
    // The plug-in removed all it registered and made: the host had only its command objects
    // in the undo queue to drop, and nothing left behind to clean up.
    EXPECT_EQ(host.GetWarningLog().Entries().mid(warnings),
              QStringList{"Unloading \"characterizationTool\" cleared the undo queue."});
    ExpectNoPanelLeft();
    EXPECT_EQ(RunFails(kToolCmd), "Unknown command \"characterizationToolUICmd\".");

    // The scene goes on without it.
    RunOk("rename Char1:Hips Char1:Pelvis; delete Char1:Pelvis");
    EXPECT_EQ(Sent(), QStringList());

    // And it loads again from scratch: the scene's character node is all it starts from.
    RunOk("loadPlugin \"characterizationTool\"");
    EXPECT_EQ(RunOk(kToolCmd), kToolPanel);
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{"Hero"});
}

TEST_F(LoadedPlugin, PanelNeedsAToolLayout)
{
    EXPECT_EQ(RunFails(kToolCmd),
              "Cannot create the characterization tool widget without a valid layout.");
    EXPECT_EQ(scene().GetNotifier().CallbackCount(), callbacksBefore); // no bridge was left
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList());

    // The fallback layout serves when the tool layout is missing.
    RunOk("createLayout \"kntDefinitionScrollLayout\"");
    EXPECT_EQ(RunOk(kToolCmd), "kestrelMainWindow|kntDefinitionScrollLayout|CharacterizationTool1");
    EXPECT_EQ(CmdList("-q -characterlist"), QStringList{kNone});
}

// A batch run whose naming template the tool does not list stops that file with the dialog's
// complaint instead of validating an empty characterization.
TEST_F(PluginHostTest, BatchTemplateTheToolDoesNotListFailsTheFile)
{
    kestrel::BatchCharacterizer batch(host);
    kestrel::CharacterizeOptions options;
    options.templateName = "NoSuchTemplate";
    QString error;
    ASSERT_TRUE(batch.Run(options, {SamplePath("biped_tpose.json")}, &error)) << qPrintable(error);
    const kestrel::CharacterizedFile& row = batch.Files().at(0);
    EXPECT_EQ(row.status, kestrel::CharacterizedFile::Status::Error);
    EXPECT_TRUE(row.message.contains("NoSuchTemplate")) << qPrintable(row.message);
}

} // namespace
