// Notifications: which callbacks run, in what order, with which arguments, and their removal.
#include "kestreltest.h"

using namespace kestrel;

namespace {

class Notifications : public HostTest
{
protected:
    SceneNotifier& notifier() { return scene().GetNotifier(); }
};

} // namespace

TEST_F(Notifications, SelectionCallbacksRunOncePerActualChange)
{
    RunOk("createNode joint -n A; createNode joint -n B");
    int changes = 0;
    notifier().AddSelectionChangedCallback([&] { ++changes; });
    RunOk("select -r A B");
    EXPECT_EQ(changes, 1);
    RunOk("select -r A B; select -add A; select -r A B");
    EXPECT_EQ(changes, 1) << "nothing changed, nothing announced";
    RunOk("select -add B A; select -d A");
    EXPECT_EQ(changes, 2);
    RunOk("delete B");
    EXPECT_EQ(changes, 3) << "a selected node leaving the scene changes the selection";
    RunOk("select -clear; select -clear");
    EXPECT_EQ(changes, 3);
}

// Callbacks on one node are pinned by the plug-in's scene bridge (wrapper_test.cpp).
TEST_F(Notifications, RenamesReportTheNodeUnderItsNewNameAndThePreviousName)
{
    RunOk("createNode joint -n A; createNode joint -n Other");
    QStringList any;
    notifier().AddNameChangedCallback(nullptr, [&](Node& node, const QString& previous) {
        any << previous + "->" + node.Name();
    });
    // Callbacks run in the order they were added.
    notifier().AddNameChangedCallback(nullptr, [&](Node&, const QString&) { any << "then"; });
    RunOk("rename A B; rename Other O2; rename B B; rename B C");
    EXPECT_EQ(any, QStringList({"A->B", "then", "Other->O2", "then", "B->C", "then"}));
}

TEST_F(Notifications, RemovingASubtreeAnnouncesEachNodeBeforeAndAfter)
{
    RunOk("createNode joint -n Hips; createNode joint -n LegA -p Hips; "
          "createNode joint -n LegB -p Hips; createNode joint -n Foot -p LegA; "
          "createNode joint -n Keep");
    QStringList events;
    notifier().AddAboutToRemoveCallback(nullptr,
                                        [&](Node& node) { events << "about " + node.Name(); });
    notifier().AddDestroyedCallback(nullptr,
                                    [&](const QString& name) { events << "destroyed " + name; });
    QStringList watched;
    Node* legA = Find("LegA");
    notifier().AddAboutToRemoveCallback(legA, [&](Node& node) {
        // The node is still complete when it is announced.
        watched << QString("about %1 children %2 parent %3")
                       .arg(node.Name())
                       .arg(node.Children().size())
                       .arg(node.ParentName());
    });
    notifier().AddDestroyedCallback(legA,
                                    [&](const QString& name) { watched << "destroyed " + name; });
    RunOk("delete Hips");
    EXPECT_EQ(events,
              QStringList({"about Hips", "about LegB", "destroyed LegB", "about LegA", "about Foot",
                           "destroyed Foot", "destroyed LegA", "destroyed Hips"}));
    EXPECT_EQ(watched, QStringList({"about LegA children 1 parent Hips", "destroyed LegA"}));
    EXPECT_EQ(RunOk("ls"), "Keep");
}

TEST_F(Notifications, CallbacksStopWhenRemovedAndNodeCallbacksGoWithTheirNode)
{
    RunOk("createNode joint -n A; createNode joint -n B");
    int renames = 0;
    const CallbackId id =
        notifier().AddNameChangedCallback(nullptr, [&](Node&, const QString&) { ++renames; });
    const CallbackId onA = notifier().AddAboutToRemoveCallback(Find("A"), [](Node&) {});
    const int installed = notifier().CallbackCount();
    RunOk("rename A A2");
    EXPECT_TRUE(notifier().RemoveCallback(id));
    EXPECT_FALSE(notifier().RemoveCallback(id));
    RunOk("rename B B2");
    EXPECT_EQ(renames, 1);
    RunOk("delete A2");
    EXPECT_EQ(notifier().CallbackCount(), installed - 2);
    EXPECT_FALSE(notifier().RemoveCallback(onA)) << "dropped with its node";
}

TEST_F(Notifications, CallbacksMayRemoveThemselvesAndAddOthersWhileRunning)
{
    RunOk("createNode joint -n A");
    QStringList calls;
    CallbackId self = 0;
    self = notifier().AddNameChangedCallback(nullptr, [&](Node&, const QString&) {
        calls << "once";
        notifier().RemoveCallback(self);
        notifier().AddNameChangedCallback(nullptr,
                                          [&](Node&, const QString&) { calls << "added"; });
    });
    RunOk("rename A B");
    EXPECT_EQ(calls, QStringList({"once"}))
        << "a callback added during a dispatch waits for the next";
    RunOk("rename B C");
    EXPECT_EQ(calls, QStringList({"once", "added"}));
}

TEST_F(Notifications, ARemovalCallbackCannotRemoveTheNodeBeingRemovedOrItsAncestors)
{
    RunOk("createNode joint -n Hips; createNode joint -n Leg -p Hips; createNode joint -n Other");
    QList<Status> statuses;
    notifier().AddAboutToRemoveCallback(Find("Leg"), [&](Node&) {
        statuses << scene().RemoveNode(Find("Leg")) << scene().RemoveNode(Find("Hips"))
                 << scene().RemoveNode(Find("Other"));
        scene().Clear(); // ignored while a removal runs
    });
    RunOk("delete Leg");
    EXPECT_EQ(statuses,
              QList<Status>({Status::InvalidState, Status::InvalidState, Status::Success}));
    EXPECT_EQ(RunOk("ls"), "Hips");
}

// Teardown by openScene or newScene is flagged while it runs (the bridge, the outliner's reset
// and the desktop's unsaved-changes check read the flags).
TEST_F(Notifications, TeardownByOpenSceneOrNewSceneIsFlagged)
{
    RunOk("createNode joint -n A");
    QStringList events;
    notifier().AddDestroyedCallback(nullptr, [&](const QString& name) {
        events << name + (scene().IsOpeningFile() ? " opening" : "") +
                      (scene().IsCreatingNewScene() ? " new" : "");
    });
    RunOk("openScene \"" + TestData("small.json") +
          "\"; newScene; createNode joint -n B; delete B");
    EXPECT_EQ(events, QStringList({"A opening", "Spine new", "Hips new", "B"}));
}
