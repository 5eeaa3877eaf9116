// Scenes keep their characterizations: the host tells the tool what the character nodes of an
// opened scene hold, through the tool's own command, and saved scenes carry all of it.
#include "modalanswerer.h"
#include "pluginhosttest.h"

#include "io/scenedescription.h"
#include "io/scenejsonwriter.h"
#include "scene/node.h"
#include "scene/scenenotifier.h"
#include "script/textlog.h"
#include "script/undoqueue.h"

#include "solver/nodenames.h"

#include <QTemporaryDir>

namespace {

// The sample biped open, the plug-in loaded and its layout made; the panel is not open yet.
class SceneSync : public PluginHostTest
{
protected:
    void SetUp() override
    {
        OpenWithPlugin(SamplePath("biped_tpose.json"), false);
        RunOk("createLayout kntCharacterizationScrollControl");
    }

    QStringList Characterizations() { return CmdList("-q -characterlist"); }
    kestrel::SceneDescription Capture() { return kestrel::SceneDescription::Capture(scene()); }
    QByteArray SceneJson() { return kestrel::SceneJsonWriter::ToJson(Capture()); }

    // The tool statements sent since the last call, without the command's name and edit flag.
    QString SentToTool()
    {
        QStringList statements;
        for (const QString& text : AllSent()) {
            if (text.startsWith(kToolCmd + " -e "))
                statements << text.mid(kToolCmd.size() + 4);
        }
        return statements.join('\n');
    }

    // Per characterization: its name, lock state and report (status, joints, node statuses).
    QStringList ToolState()
    {
        QStringList state;
        for (const QString& name : Characterizations()) {
            Cmd("-e -setcurrentcharname " + name);
            state << name + ' ' + Cmd("-q -islocked") + ' ' + RunOk("characterizationToolReport");
        }
        return state;
    }
};

// Two characterizations, one locked, one with an inverted knee, survive save, new scene and
// open; the character nodes come back with every value exact, the locked pose included. A new
// scene leaves the tool in its default state, also without the characterization that never
// reached the host.
TEST_F(SceneSync, CharacterizationsSurviveSavingAndOpening)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("scene.json"));
    RunOk("setAttr Char1:Head.rotateX 10"); // a stored pose that needs 17 digits
    RunOk(kToolCmd);
    Cmd("-e -characterlist \"Hero;Kid;Extra\"");
    BindSample("Hero", kinetra::NodeCount - 1);
    BindSample("Kid", 20);
    RunOk("characterizationInvertBone(3, 1)"); // Kid is the host's current character
    Cmd("-e -invertbone 0 -invertstate true -character Kid");
    RunOk("lockCharacter(\"Hero\", 1)"); // the host tells the tool to lock it too
    const QStringList before = ToolState();
    ASSERT_TRUE(before[0].startsWith("Hero true {\"character\":\"Hero\",\"code\":0,"))
        << qPrintable(before.join('\n'));
    const kestrel::SceneDescription saved = Capture();

    RunOk("saveScene \"" + path + "\"; newScene");
    EXPECT_EQ(Characterizations(), QStringList{"--- None ---"});
    RunOk("openScene \"" + path + "\"");
    EXPECT_EQ(ToolState(), before.mid(0, 2));
    EXPECT_TRUE(SentToTool().contains("-invertbone 0 -invertstate true -character \"Kid\";"));

    // Equal texts alone would hide digits both sides lost.
    const std::vector<kestrel::Attribute>& hero = Find("Hero")->Attributes();
    const std::vector<kestrel::Attribute>& heroSaved =
        saved.nodes[saved.IndexOf("Hero")].attributes;
    ASSERT_EQ(hero.size(), heroSaved.size());
    for (std::size_t i = 0; i < hero.size(); ++i)
        EXPECT_EQ(hero[i].value, heroSaved[i].value) << qPrintable(hero[i].name);
    EXPECT_EQ(SceneJson(), kestrel::SceneJsonWriter::ToJson(saved));

    // Telling the tool again leaves the scene untouched.
    int changes = 0;
    kestrel::SceneNotifier& notifier = scene().GetNotifier();
    const auto id = notifier.AddChangedCallback(nullptr, [&changes](kestrel::Node&) { ++changes; });
    RunOk("kntSyncCharacterizationsFromScene");
    notifier.RemoveCallback(id);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(SceneJson(), kestrel::SceneJsonWriter::ToJson(saved));

    // Without a panel there is nobody to tell.
    Cmd("-e -deleteTool");
    Sent();
    RunOk("kntSyncCharacterizationsFromScene; newScene");
    EXPECT_EQ(Sent(), QStringList());
}

// The panel opened on a scene with character nodes: the exact statements host scripts rely on;
// bad bindings are left out with one warning each, and nothing sent back mid-way sticks.
TEST_F(SceneSync, PanelOpenedOnCharacterNodesGetsThem)
{
    RunOk("setCharacterObject(\"Char1:Hips\",\"Hero\",1,0); "
          "setCharacterObject(\"Char1:LeftLeg\",\"Hero\",3,0); characterizationInvertBone(3, 1);"
          "characterizationInvertBone(13, 1); lockCharacter(\"Hero\", 1);"
          "setCharacterObject(\"Char1:Spine\",\"Kid\",8,0);"
          "addAttr Hero.Tail -at message; addAttr Char1:Head.Character -at message;"
          "connectAttr Char1:Head.Character Hero.Tail; addAttr Hero.RightLeg -at message;"
          "addAttr Kid.Out -at message; connectAttr Kid.Out Hero.RightLeg");
    const QByteArray before = SceneJson();
    const int warnings = host.GetWarningLog().Count();
    // Two bones cannot be locked: the tool says so in a box, during which the tool's answers
    // are sent.
    ModalAnswerer answers;
    answers.Handle([this](QDialog* box) {
        Run("setCharacterObject(\"\",\"Hero\",1,0); lockCharacter(\"Hero\", 0);"
            "deleteCharacter(\"Kid\"); characterizationInvertBone(3, 0)");
        box->reject();
    });
    const int steps = host.GetUndoQueue().UndoCount();
    RunOk(kToolCmd);

    EXPECT_EQ(SentToTool(), R"(-characterlist "";
-characterlist "Hero;Kid";
-characternodeassign "Hero" -nodeid 1 -kestrelnodename "Char1:Hips";
-characternodeassign "Hero" -nodeid 3 -kestrelnodename "Char1:LeftLeg";
-invertbone 0 -invertstate true -character "Hero";
-invertbone 3 -invertstate true -character "Hero";
-setcurrentcharname "Hero";
-locktoggle;
-characternodeassign "Kid" -nodeid 8 -kestrelnodename "Char1:Spine";
-setcurrentcharname "Kid";)");
    EXPECT_EQ(host.GetWarningLog().Entries().mid(warnings),
              QStringList({"Character node \"Hero\": \"Tail\" is not a node slot; its connection "
                           "from \"Char1:Head\" is skipped.",
                           "Character node \"Hero\": slot \"RightLeg\" is connected from \"Kid\", "
                           "which is not a transform; the binding is skipped."}));
    EXPECT_TRUE(answers.AllAnswered());
    // The lock the tool refused is taken off the node too, with nothing to undo; the rest of
    // the scene is as it was.
    EXPECT_EQ(Attribute("Hero", "InputCharacterizationLock"), kestrel::Value(false));
    EXPECT_EQ(host.GetUndoQueue().UndoCount(), steps);
    QString error;
    scene().SetAttribute(Find("Hero"), "InputCharacterizationLock", kestrel::Value(true), &error);
    EXPECT_EQ(SceneJson(), before);
}

// A joint fills one slot of a character: a scene that binds it twice tells the tool the first
// slot only, and says so.
TEST_F(SceneSync, AJointBoundToTwoSlotsOfOneCharacterKeepsTheFirstWithAWarning)
{
    RunOk("setCharacterObject(\"Char1:Hips\",\"Hero\",1,0); addAttr Hero.Spine -at message; "
          "connectAttr Char1:Hips.Character Hero.Spine");
    const int warnings = host.GetWarningLog().Count();
    RunOk(kToolCmd);
    EXPECT_EQ(SentToTool(), R"(-characterlist "";
-characterlist "Hero";
-characternodeassign "Hero" -nodeid 1 -kestrelnodename "Char1:Hips";
-setcurrentcharname "Hero";)");
    EXPECT_EQ(host.GetWarningLog().Entries().mid(warnings),
              QStringList{"Character node \"Hero\": \"Char1:Hips\" is bound to slots \"Hips\" and "
                          "\"Spine\"; only \"Hips\" is kept."});
}

} // namespace
