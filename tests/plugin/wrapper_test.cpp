// The scene bridge on its own, over a small Kestrel scene: host queries, the exact texts of the
// host's character scripts, node watches and their signals, and the tool it attaches.
#include "pluginhosttest.h"

#include "host/kestrel/characterizationtoolwrapper.h"
#include "model/characterizationmodel.h"

#include "script/undoqueue.h"
#include "ui/uilayouts.h"

#include <QPointer>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

class BridgeTest : public PluginHostTest
{
protected:
    BridgeTest()
        : bridge(host, QString(), QString())
    {
        Listen(bridge);
    }

    void SetUp() override
    {
        // Hips ── Spine ── Prop (a plain transform); Hero, a character node.
        RunOk("createNode joint -name Hips; createNode joint -name Spine -parent Hips; "
              "createNode transform -name Prop -parent Spine; createNode character -name Hero");
    }

    // Records every node signal of `hub` in `heard`, one line each: its name and arguments.
    void Listen(CharacterizationToolWrapper& hub)
    {
        QObject::connect(&hub, &IDCCHub::NameChanged, Recorder<QString, QString>("NameChanged"));
        QObject::connect(&hub, &IDCCHub::NodeRemoved, Recorder<QString, bool>("NodeRemoved"));
        QObject::connect(&hub, &IDCCHub::CharacterizationNameChanged,
                         Recorder<QString, QString>("CharacterizationNameChanged"));
        QObject::connect(&hub, &IDCCHub::CharacterizationNodeRemoved,
                         Recorder<QString>("CharacterizationNodeRemoved"));
    }

    template <typename... Args>
    std::function<void(Args...)> Recorder(const char* signal)
    {
        return [this, signal](Args... args) {
            QStringList line{signal};
            (line << ... << QVariant(args).toString());
            heard << line.join(' ');
        };
    }

    // The signals heard since the last call.
    QStringList Heard() { return std::exchange(heard, QStringList()); }

    int Callbacks() { return scene().GetNotifier().CallbackCount(); }

    QStringList heard;
    CharacterizationToolWrapper bridge;
};

// Clean names keep the last path element with its bar.
TEST_F(BridgeTest, NameAndNodeQueriesAnswerFromTheScene)
{
    EXPECT_EQ(bridge.CleanNodeName("aXFRASC032b"), "a b");
    EXPECT_EQ(bridge.CleanNodeName("aXFRASC032XFRASC032b"), "a  b");
    EXPECT_EQ(bridge.CleanNodeName("axfrasc032b"), "axfrasc032b"); // the token is case-sensitive
    EXPECT_EQ(bridge.CleanNodeName("|a|b"), "|b");
    EXPECT_EQ(bridge.CleanNodeName("|a"), "|a");
    EXPECT_EQ(bridge.CleanNodeName("|Char1:Hips|LeftXFRASC032Arm"), "|Left Arm");

    EXPECT_TRUE(bridge.IsTransform("Hips"));
    EXPECT_TRUE(bridge.IsTransform("Prop"));
    EXPECT_TRUE(bridge.IsTransform("|Hips|Spine"));
    EXPECT_FALSE(bridge.IsTransform("Hero"));
    EXPECT_FALSE(bridge.IsTransform("Nobody"));

    QString parent = "unchanged";
    EXPECT_TRUE(bridge.GetParentName("Prop", parent));
    EXPECT_EQ(parent, "Spine");
    EXPECT_TRUE(bridge.GetParentName("|Hips|Spine", parent));
    EXPECT_EQ(parent, "Hips");
    // Under the scene root: no parent, and the answer says so.
    EXPECT_FALSE(bridge.GetParentName("Hips", parent));
    EXPECT_EQ(parent, "");
    // Not a transform, or not there: the parent is left alone.
    parent = "unchanged";
    EXPECT_FALSE(bridge.GetParentName("Hero", parent));
    EXPECT_FALSE(bridge.GetParentName("Nobody", parent));
    EXPECT_EQ(parent, "unchanged");
}

// The host's character procedures are called by text: the texts are fixed, and the ones that
// change the scene join the host's undo, one step per panel action (the event loop comes back
// after each, which closes the step).
TEST_F(BridgeTest, CharacterScriptsAreSentAsExactTexts)
{
    Sent();
    const auto sentAsOneStep = [this] {
        host.GetInterpreter().ClosePendingStep();
        return Sent();
    };
    bridge.SetCharacterObject("Old", "Spine", "Hero", 8, false);
    bridge.SetCharacterObject("", "Hips", "Hero", 1, true);
    EXPECT_EQ(sentAsOneStep(), QStringList({"setCharacterObject(\"Spine\",\"Hero\",8,0);",
                                            "setCharacterObject(\"Hips\",\"Hero\",1,1);"}));
    EXPECT_EQ(JointInSlot("Hero", "Spine"), "Spine");
    bridge.SetCharacterObject("Hips", "", "Hero", 1, false);
    EXPECT_EQ(sentAsOneStep(), QStringList{"setCharacterObject(\"\",\"Hero\",1,0);"});
    EXPECT_EQ(JointInSlot("Hero", "Hips"), "");
    RunOk("undo");
    EXPECT_EQ(JointInSlot("Hero", "Hips"), "Hips");

    bridge.InvertBone(10, true);
    EXPECT_EQ(sentAsOneStep(), QStringList{"characterizationInvertBone( 10, 1 );"});
    bridge.InvertBone(3, false);
    EXPECT_EQ(sentAsOneStep(), QStringList{"characterizationInvertBone( 3, 0 );"});
    EXPECT_EQ(Attribute("Hero", "leftElbowInverted"), kestrel::Value(true));
    RunOk("undo");
    RunOk("undo");
    EXPECT_EQ(Attribute("Hero", "leftElbowInverted"), kestrel::Value(false));

    const int steps = host.GetUndoQueue().UndoCount();
    bridge.UpdateCharacterControlsUI();
    EXPECT_EQ(Sent(), QStringList{"kntUpdateCharacterControlsUICallback"});
    EXPECT_EQ(host.GetUndoQueue().UndoCount(), steps); // a refresh is nothing to undo

    ASSERT_TRUE(QMetaObject::invokeMethod(&bridge, "CreateCharacterNode", Q_ARG(bool, false)));
    EXPECT_EQ(sentAsOneStep(), QStringList{"CreateCharacterFromCurrentCharacter()"});
    EXPECT_NE(Find("Character1"), nullptr);
    RunOk("undo");
    EXPECT_EQ(Find("Character1"), nullptr);

    bridge.DeleteCharacter("Hero");
    EXPECT_EQ(Sent(), QStringList{"deleteCharacter( \"Hero\" );"});
    EXPECT_EQ(Find("Hero"), nullptr);
    RunOk("undo");
    EXPECT_NE(Find("Hero"), nullptr);
}

// Names are text inside the script strings: a "%1" stays as it is, and no quote, backslash or
// line break in a name can end the string and run a statement of its own.
TEST_F(BridgeTest, NamesCannotBreakOutOfScriptStrings)
{
    Sent();
    bridge.SetCharacterObject("", "J%2", "C%1", 17, true);
    bridge.SetCharacterObject("", "x\",\"Hero\",1,0);\nprint \"INJECTED\";\nprint(\"", "Hero", 1,
                              false);
    // The second ends in a backslash unless backslashes are escaped too.
    bridge.DeleteCharacter("Hero\" ); print \"INJECTED\"; print( \"");
    bridge.DeleteCharacter("Hero\\\" ); print \"INJECTED\"; print( \"\t");
    EXPECT_EQ(
        Sent(),
        QStringList(
            {R"(setCharacterObject("J%2","C%1",17,1);)",
             R"(setCharacterObject("x\",\"Hero\",1,0);\nprint \"INJECTED\";\nprint(\"","Hero",1,0);)",
             R"(deleteCharacter( "Hero\" ); print \"INJECTED\"; print( \"" );)",
             R"(deleteCharacter( "Hero\\\" ); print \"INJECTED\"; print( \"\t" );)"}));
    EXPECT_FALSE(host.GetOutputLog().Entries().join('\n').contains("INJECTED"));
    EXPECT_NE(Find("Hero"), nullptr);
}

// Watches are recorded under the name the tool gave; they must let go of a renamed node when
// the tool moves its binding to the new name.
TEST_F(BridgeTest, WatchesOfARenamedNodeGoUnderTheOldName)
{
    bridge.AddNodeCallbacks("Spine");
    bridge.AddNodeCallbacks("Nobody");
    EXPECT_EQ(bridge.WatchCount("Spine"), 3);
    EXPECT_EQ(bridge.WatchCount("Nobody"), 0);

    RunOk("rename Spine Chest");
    EXPECT_EQ(Heard(), QStringList{"NameChanged Chest Spine"});
    EXPECT_EQ(bridge.WatchCount("Spine"), 3); // nobody moved them yet

    bridge.RemoveNodeCallbacks("Spine");
    EXPECT_EQ(bridge.WatchCount("Spine"), 0);
    bridge.AddNodeCallbacks("Chest");
    RunOk("rename Chest Torso");
    EXPECT_EQ(Heard(), QStringList{"NameChanged Torso Chest"}); // once: the old watches are gone
    bridge.RemoveNodeCallbacks("Chest");
    RunOk("delete Torso");
    EXPECT_EQ(Heard(), QStringList());
}

TEST_F(BridgeTest, RemovedNodeIsReportedByBothRemovalWatches)
{
    bridge.AddNodeCallbacks("Spine");
    RunOk("delete Spine");
    EXPECT_EQ(Heard(), QStringList({"NodeRemoved Spine false", "NodeRemoved Spine false"}));
    // The node is gone, and its watches with it on the host's side; the record stays.
    bridge.RemoveNodeCallbacks("Spine");
    EXPECT_EQ(bridge.WatchCount("Spine"), 3);

    // A new node of the same name is watched afresh, and let go completely.
    RunOk("createNode joint -name Spine");
    bridge.AddNodeCallbacks("Spine");
    EXPECT_EQ(bridge.WatchCount("Spine"), 6);
    bridge.RemoveNodeCallbacks("Spine");
    EXPECT_EQ(bridge.WatchCount("Spine"), 0);
    RunOk("delete Spine");
    EXPECT_EQ(Heard(), QStringList());

    // While a new scene replaces this one, removals say so.
    bridge.AddNodeCallbacks("Hips");
    RunOk("newScene");
    EXPECT_EQ(Heard(), QStringList({"NodeRemoved Hips true", "NodeRemoved Hips true"}));
}

TEST_F(BridgeTest, CharacterNodeWatches)
{
    // Watched twice (the tool reloaded): the first rename watch moves all four to the new name.
    bridge.AddCharacterizationNodeCallbacks("Hero");
    bridge.AddCharacterizationNodeCallbacks("Hero");
    EXPECT_EQ(bridge.WatchCount("Hero"), 4);
    RunOk("rename Hero Villain");
    EXPECT_EQ(bridge.WatchCount("Hero"), 0);
    EXPECT_EQ(bridge.WatchCount("Villain"), 4);
    RunOk("delete Villain");
    EXPECT_EQ(Heard(), QStringList({"CharacterizationNameChanged Villain Hero",
                                    "CharacterizationNameChanged Villain Hero",
                                    "CharacterizationNodeRemoved Villain",
                                    "CharacterizationNodeRemoved Villain"}));

    // Deleting through the bridge: the tool already removes its side, nothing comes back.
    RunOk("createNode character -name Extra");
    bridge.AddCharacterizationNodeCallbacks("Extra");
    bridge.DeleteCharacter("Extra");
    EXPECT_EQ(Find("Extra"), nullptr);
    EXPECT_EQ(Heard(), QStringList());
    EXPECT_EQ(bridge.WatchCount("Extra"), 0);
}

TEST_F(BridgeTest, AttachedToolFollowsTheSelectionAndLoadsInversionFlags)
{
    const int before = Callbacks();
    auto hub = std::make_unique<CharacterizationToolWrapper>(host, QString(), QString());
    hub->AttachTool();
    EXPECT_EQ(hub->AttachedTool(), nullptr); // no layout to live in
    EXPECT_EQ(Callbacks(), before);

    QString error;
    QWidget* layout = host.GetLayouts().CreateLayout("kntDefinitionScrollLayout", nullptr, &error);
    ASSERT_NE(layout, nullptr) << qPrintable(error);
    hub->AttachTool();
    const QPointer<CharacterTool> tool = hub->AttachedTool();
    ASSERT_FALSE(tool.isNull());
    EXPECT_EQ(tool->parentWidget(), layout);
    EXPECT_EQ(hub->Tool(), tool.data());
    CharacterizationModel& model = *tool->Model();
    EXPECT_TRUE(model.Matching().SkipRollNodesInMatching());

    int selections = 0;
    QObject::connect(hub.get(), &IDCCHub::selectionChanged, [&selections] { ++selections; });
    RunOk("select Hips");
    EXPECT_EQ(selections, 1);

    EXPECT_FALSE(hub->LoadInversionStates("Nobody"));

    tool->CreateCharacterization("Hero");
    EXPECT_EQ(hub->WatchCount("Hero"), 2); // the host node of the characterization is watched
    RunOk("setAttr \"Hero.leftKneeInverted\" true; setAttr \"Hero.rightElbowInverted\" true");
    RunOk("deleteAttr \"Hero.rightKneeInverted\""); // a missing flag reads as not inverted
    ASSERT_TRUE(hub->SetInversionState("Hero", 1, true));
    ASSERT_TRUE(hub->LoadInversionStates("Hero"));
    const kinetra::InversionFlags& flags = model.CurrentCharacterization()->InversionFlags();
    EXPECT_EQ(std::vector<std::uint32_t>(flags.Values, flags.Values + 4),
              std::vector<std::uint32_t>({1, 0, 0, 1}));

    // The bridge takes its tool and every callback with it.
    hub.reset();
    EXPECT_TRUE(tool.isNull());
    EXPECT_EQ(Callbacks(), before);
    RunOk("select Spine; rename Hero Villain");
}

} // namespace
