// Scenes keep their characterizations: the host tells the tool what the character nodes of an
// opened scene hold, through the tool's own command, and saved scenes carry all of it.
#include "modalanswerer.h"
#include "pluginhosttest.h"

#include "scene/node.h"
#include "scene/scenenotifier.h"
#include "script/textlog.h"

#include "solver/nodenames.h"

#include <QDir>
#include <QFile>

#include <vector>

namespace {

const QString kCmd = QStringLiteral("characterizationToolUICmd");
const QString kNone = QStringLiteral("--- None ---");

// The sample biped open, the plug-in loaded and its layout made; the panel is not open yet.
class SceneSync : public PluginHostTest
{
protected:
    void SetUp() override
    {
        RunOk(QStringLiteral("openScene \"%1\"").arg(SamplePath("biped_tpose.json")));
        RunOk("loadPlugin \"characterizationTool\"; createLayout kntCharacterizationScrollControl");
    }
    void TearDown() override { QFile::remove(path); }

    QString Cmd(const QString& arguments) { return RunOk(kCmd + ' ' + arguments); }
    QStringList Characterizations() { return RunOkList(kCmd + " -q -characterlist"); }

    // Binds every sample joint to the slot it is named after, on both sides, as host scripts
    // do; stops after `lastSlot`.
    void Bind(const QString& character, int lastSlot = kinetra::NodeCount - 1)
    {
        for (int id = 0; id <= lastSlot; ++id) {
            const QString joint = QStringLiteral("Char1:") + kinetra::NodeName(id);
            if (!Find(joint))
                continue;
            RunOk(QStringLiteral("setCharacterObject(\"%1\",\"%2\",%3,0)")
                      .arg(joint, character)
                      .arg(id));
            Cmd(QStringLiteral("-e -characternodeassign %1 -nodeid %2 -kestrelnodename %3")
                    .arg(character)
                    .arg(id)
                    .arg(joint));
        }
    }

    // What the tool says about each characterization: its report, lock state and name.
    QStringList ToolState()
    {
        QStringList state;
        for (const QString& name : Characterizations()) {
            Cmd("-e -setcurrentcharname " + name);
            state << name + ' ' + Cmd("-q -islocked") + ' ' + RunOk("characterizationToolReport");
        }
        return state;
    }

    const QString path = QDir::temp().filePath(QStringLiteral("kestrel_scenesync_test.json"));
};

// Two characterizations, one locked, one with an inverted knee, survive save, new scene and
// open: the tool gets them back with their joints, statuses, lock and inversion, and the
// character nodes come back with every value exactly, the locked pose included.
TEST_F(SceneSync, CharacterizationsSurviveSavingAndOpening)
{
    RunOk("setAttr Char1:Head.rotateX 10"); // a stored pose that needs 17 digits
    RunOk(kCmd);
    Cmd("-e -characterlist \"Hero;Kid\"");
    Bind("Hero");
    Bind("Kid", 20);
    RunOk("characterizationInvertBone(3, 1)"); // Kid is the host's current character
    Cmd("-e -invertbone 0 -invertstate true -character Kid");
    RunOk("lockCharacter(\"Hero\", 1)");
    Cmd("-e -setcurrentcharname Hero; " + kCmd + " -e -locktoggle");
    const QStringList before = ToolState();
    ASSERT_TRUE(before[0].startsWith("Hero true {\"character\":\"Hero\",\"code\":0,"));
    ASSERT_TRUE(before[1].startsWith("Kid false {"));
    const std::vector<kestrel::Attribute> heroBefore = Find("Hero")->Attributes();
    const int connectionsBefore = int(scene().Connections().size());

    RunOk("saveScene \"" + path + "\"; newScene");
    EXPECT_EQ(Characterizations(), QStringList{kNone});
    Sent();
    RunOk("openScene \"" + path + "\"");

    const QStringList sent = SentChanges();
    EXPECT_EQ(sent.mid(0, 2), QStringList({kCmd + " -e -characterlist \"\";",
                                           kCmd + " -e -characterlist \"Hero;Kid\";"}));
    EXPECT_TRUE(sent.contains(kCmd + " -e -invertbone 0 -invertstate true -character \"Kid\";"));
    EXPECT_EQ(sent.filter("-invertbone").size(), 1);
    EXPECT_EQ(sent.filter("-locktoggle").size(), 1);
    EXPECT_EQ(sent.last(), kCmd + " -e -setcurrentcharname \"Kid\";");
    EXPECT_EQ(ToolState(), before);

    // Every attribute of the locked character, the stored pose doubles among them.
    const std::vector<kestrel::Attribute> heroAfter = Find("Hero")->Attributes();
    ASSERT_EQ(heroAfter.size(), heroBefore.size());
    for (std::size_t i = 0; i < heroBefore.size(); ++i) {
        EXPECT_EQ(heroAfter[i].name, heroBefore[i].name);
        EXPECT_EQ(heroAfter[i].value, heroBefore[i].value) << qPrintable(heroBefore[i].name);
    }
    EXPECT_EQ(Attribute("Kid", "leftKneeInverted"), kestrel::Value(true));
    EXPECT_EQ(int(scene().Connections().size()), connectionsBefore);

    // Telling the tool again changes nothing in the scene: no node, value or connection.
    const QByteArray saved = [this] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    int changes = 0;
    const auto id = scene().GetNotifier().AddChangedCallback(
        nullptr, [&changes](kestrel::Node&) { ++changes; });
    RunOk("kntSyncCharacterizationsFromScene; saveScene");
    scene().GetNotifier().RemoveCallback(id);
    EXPECT_EQ(changes, 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved);
}

// The panel opened on a scene that already has character nodes: the exact statements host
// scripts can rely on, and bad bindings left out with one warning each.
TEST_F(SceneSync, PanelOpenedOnCharacterNodesGetsThem)
{
    RunOk("setCharacterObject(\"Char1:Hips\",\"Hero\",1,0); "
          "setCharacterObject(\"Char1:LeftLeg\",\"Hero\",3,0); characterizationInvertBone(3, 1);"
          "characterizationInvertBone(13, 1); lockCharacter(\"Hero\", 1);"
          "setCharacterObject(\"Char1:Spine\",\"Kid\",8,0);"
          // Bad data: a binding to no slot, and one from a node that is no transform.
          "addAttr Hero.Tail -at message; addAttr Char1:Head.Character -at message;"
          "connectAttr Char1:Head.Character Hero.Tail; addAttr Hero.RightLeg -at message;"
          "addAttr Kid.Out -at message; connectAttr Kid.Out Hero.RightLeg");
    const int warnings = host.GetWarningLog().Count();
    // Two bones are no valid characterization: the tool refuses the lock with a box. While it
    // is open, the scene is sent what the tool might answer mid-way; it must stay as it is.
    ModalAnswerer answers;
    answers.Handle([this](QDialog* box) {
        Run("setCharacterObject(\"\",\"Hero\",1,0); lockCharacter(\"Hero\", 0);"
            "deleteCharacter(\"Kid\"); characterizationInvertBone(3, 0)");
        box->reject();
    });
    RunOk(kCmd);

    EXPECT_EQ(
        SentChanges(),
        QStringList({
            kCmd + " -e -characterlist \"\";",
            kCmd + " -e -characterlist \"Hero;Kid\";",
            kCmd + " -e -characternodeassign \"Hero\" -nodeid 1 -kestrelnodename \"Char1:Hips\";",
            kCmd + " -e -characternodeassign \"Hero\" -nodeid 3 -kestrelnodename "
                   "\"Char1:LeftLeg\";",
            kCmd + " -e -invertbone 0 -invertstate true -character \"Hero\";",
            kCmd + " -e -invertbone 3 -invertstate true -character \"Hero\";",
            kCmd + " -e -setcurrentcharname \"Hero\";",
            kCmd + " -e -locktoggle;",
            kCmd + " -e -characternodeassign \"Kid\" -nodeid 8 -kestrelnodename \"Char1:Spine\";",
            kCmd + " -e -setcurrentcharname \"Kid\";",
        }));
    EXPECT_EQ(host.GetWarningLog().Entries().mid(warnings),
              QStringList({"Character node \"Hero\": \"Tail\" is not a node slot; its connection "
                           "from \"Char1:Head\" is skipped.",
                           "Character node \"Hero\": slot \"RightLeg\" is connected from \"Kid\", "
                           "which is not a transform; the binding is skipped."}));
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(Characterizations(), QStringList({"Hero", "Kid"}));
    EXPECT_EQ(Cmd("-q -currentcharname"), "Kid");
    Cmd("-e -setcurrentcharname Hero");
    EXPECT_EQ(Cmd("-q -islocked"), "false");
    EXPECT_TRUE(
        RunOk("characterizationToolReport").contains(R"("nodes":[{"id":1,"joint":"Char1:Hips",)"));
    // Neither the refused lock nor anything sent meanwhile reached the scene.
    EXPECT_EQ(Attribute("Hero", "InputCharacterizationLock"), kestrel::Value(true));
    EXPECT_EQ(Attribute("Hero", "leftKneeInverted"), kestrel::Value(true));
    EXPECT_EQ(JointInSlot("Hero", "Hips"), "Char1:Hips");
    EXPECT_NE(Find("Kid"), nullptr);
}

// Without character nodes, an opened or new scene leaves the tool in its default state, also
// when it held characterizations that never reached the host.
TEST_F(SceneSync, SceneWithoutCharacterNodesResetsTheTool)
{
    RunOk(kCmd);
    EXPECT_EQ(SentChanges(), QStringList()); // a new panel is already in that state
    Cmd("-e -characterlist \"A;B\"");
    RunOk(QStringLiteral("openScene \"%1\"").arg(SamplePath("biped_tpose.json")));
    EXPECT_EQ(Characterizations(), QStringList{kNone});
    EXPECT_EQ(SentChanges(), QStringList{kCmd + " -e -characterlist \"\";"});

    Cmd("-e -characterlist \"A\"");
    RunOk("newScene");
    EXPECT_EQ(Characterizations(), QStringList{kNone});
    EXPECT_EQ(Cmd("-q -islocked"), "false");

    // Without a panel there is nobody to tell.
    Cmd("-e -deleteTool");
    Sent();
    RunOk("setCharacterObject(\"\",\"Hero\",1,0); kntSyncCharacterizationsFromScene; newScene");
    EXPECT_EQ(Sent(), QStringList());
}

} // namespace
