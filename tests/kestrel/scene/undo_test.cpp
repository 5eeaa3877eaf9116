// Undo and redo: every scene-changing command, undo steps, the redo queue and replay failures.
#include "kestreltest.h"

#include "io/scenedescription.h"
#include "io/scenejsonwriter.h"
#include "plugins/pluginmanager.h"
#include "script/undoqueue.h"

using namespace kestrel;

namespace {

class Undo : public HostTest
{
protected:
    // The whole scene as text, connections and attribute values included.
    QByteArray Snapshot() { return SceneJsonWriter::ToJson(SceneDescription::Capture(scene())); }
    void BuildRig()
    {
        RunOk("createNode joint -n Hips; createNode joint -n Spine -p Hips; "
              "createNode joint -n LegA -p Hips; createNode joint -n LegB -p Hips; "
              "createNode joint -n Foot -p LegA; xform -t 1 2 3 Foot; setAttr Foot.ro 3; "
              "addAttr Foot.weight; setAttr Foot.weight 0.5; addAttr Foot.Character -at message; "
              "createNode character -n Char; addAttr Char.LeftFoot -at message; "
              "connectAttr Foot.Character Char.LeftFoot; addAttr Spine.tag -at string; "
              "setAttr Spine.tag \"t\"");
    }
};

} // namespace

TEST_F(Undo, EveryChangingCommandIsUndoneAndRedoneExactly)
{
    BuildRig();
    const QStringList statements = {
        "createNode joint -n Neck -p Spine",
        "createNode character -n Other",
        "rename LegA LeftLeg",
        "delete LegA",
        "delete Hips",
        "parent Foot Spine",
        "parent -world Spine", // first child of Hips, third root: the indexes differ
        "setAttr Foot.weight 2",
        "setAttr Spine.rx 30",
        "xform -ws -t 5 6 7 -ro 10 20 30 -s 2 2 2 Foot",
        "addAttr Spine.extra -at int",
        "deleteAttr Char.LeftFoot",
        "connectAttr Spine.tag Char.LeftFoot; ", // fails: already connected (checked below)
        "disconnectAttr Foot.Character Char.LeftFoot",
        "setCharacterObject(\"Spine\",\"Char\",8,0);",
        "setCharacterObject(\"\",\"Char\",16,0);",
        "deleteCharacter( \"Char\" );",
        "CreateCharacterFromCurrentCharacter()",
        "lockCharacter(\"Char\", 1)",
    };
    for (const QString& statement : statements) {
        const QByteArray before = Snapshot();
        const int steps = host.GetUndoQueue().UndoCount();
        if (Run(statement).status != Status::Success) {
            EXPECT_EQ(Snapshot(), before)
                << "a failing command changes nothing: " << qPrintable(statement);
            EXPECT_EQ(host.GetUndoQueue().UndoCount(), steps);
            continue;
        }
        const QByteArray after = Snapshot();
        EXPECT_NE(after, before) << qPrintable(statement);
        RunOk("undo");
        EXPECT_EQ(Snapshot(), before) << "undo " << qPrintable(statement);
        RunOk("redo");
        EXPECT_EQ(Snapshot(), after) << "redo " << qPrintable(statement);
        RunOk("undo");
    }
    EXPECT_EQ(Errors().size(), 1) << qPrintable(Errors().join('\n'));
}

TEST_F(Undo, EachUndoableStatementThatChangesTheSceneIsOneStep)
{
    UndoQueue& queue = host.GetUndoQueue();
    host.ExecuteScript("createNode joint -n A; rename A B");
    EXPECT_EQ(queue.UndoCount(), 0) << "a text run without undo leaves no step";
    ExecuteOptions undoable;
    undoable.undoable = true;
    host.ExecuteScript("createNode joint -n C; rename C D", undoable);
    EXPECT_EQ(queue.UndoCount(), 0) << "a plug-in's text outside statements waits for the loop";
    host.GetInterpreter().ClosePendingStep();
    EXPECT_EQ(queue.UndoCount(), 1) << "one panel action, one step";
    RunOk("createNode joint -n E; rename E F");
    EXPECT_EQ(queue.UndoCount(), 3);
    RunOk("ls; getAttr B.tx; xform -q -t B; select -r B; print \"x\"; setAttr B.tx 0; "
          "parent -world F");
    EXPECT_EQ(queue.UndoCount(), 3)
        << "queries, selection, a value set to itself, a node moved to where it is";
    // Steps are labelled with their statement, text quoted, shortened past 60 characters.
    const QString name(47, 'n'), fits = "rename \"F\" \"" + name + '"'; // 60 characters
    RunOk("rename F " + name);
    EXPECT_EQ(queue.UndoLabel(), fits);
    RunOk("rename " + name + " GG"); // 61 characters
    EXPECT_EQ(queue.UndoLabel(), "rename \"" + name + "\" \"G" + QChar(0x2026));
    RunOk("undo; newScene");
    EXPECT_FALSE(queue.CanUndo() || queue.CanRedo()) << "a new scene empties both queues";
}

TEST_F(Undo, ANewStepClearsTheRedoQueueAndEmptyQueuesAreErrors)
{
    ExpectFails("undo", Status::InvalidState, "undo");
    RunOk("createNode joint -n A; createNode joint -n B");
    RunOk("undo");
    EXPECT_TRUE(host.GetUndoQueue().CanRedo());
    RunOk("createNode joint -n C");
    EXPECT_FALSE(host.GetUndoQueue().CanRedo());
    ExpectFails("redo", Status::InvalidState, "redo");
    EXPECT_EQ(RunOk("ls"), "A C");
}

TEST_F(Undo, ReplayingAfterTheSceneChangedBehindItsBackFailsCleanly)
{
    RunOk("createNode joint -n A; rename A B");
    // A change outside any command: the journal of "rename" no longer fits.
    QString error;
    scene().RenameNode(Find("B"), "Z", &error);
    EXPECT_TRUE(RunFails("undo").contains("The node \"B\" no longer exists"));
    EXPECT_FALSE(host.GetUndoQueue().CanRedo());
    EXPECT_NE(Find("Z"), nullptr);
}

// The test plug-in's command sets its count and runs the nested statements through the host,
// as a plug-in command that calls host procedures does.
TEST_F(Undo, OneTopLevelStatementIsOneStepNestedCommandsIncluded)
{
    ASSERT_EQ(host.GetPlugins().Load(KESTREL_TEST_PLUGIN_DIR "/libkestreltestplugin.so"),
              Status::Success);
    RunOk(
        "kestrelTestCmd -e -count 1 -execute \"createNode joint -n A; createNode joint -n B -p A; "
        "setCharacterObject(\\\"B\\\",\\\"C\\\",1,0); \"");
    EXPECT_EQ(host.GetUndoQueue().UndoCount(), 1);
    EXPECT_EQ(RunOk("ls"), "A B C");
    RunOk("undo");
    EXPECT_EQ(RunOk("kestrelTestCmd -q -count"), "0");
    EXPECT_EQ(scene().NodeCount(), 0);
    RunOk("redo");
    EXPECT_EQ(RunOk("kestrelTestCmd -q -count") + " " + RunOk("ls"), "1 A B C");
    EXPECT_EQ(RunOk("listConnections B"), "C.Hips");
}
