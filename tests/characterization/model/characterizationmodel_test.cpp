// Scenarios of the characterization model on a scripted host scene: binding, clearing,
// following host renames and deletions, several characterizations, locking, mirroring.
#include "modelfixture.h"

#include <QSignalSpy>

namespace {

using Model = ModelFixture;

void RunGeometryTick(CharacterizationModel& model)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&model, "CheckGeometry"));
}

QStringList Names(const CharacterizationModel& model)
{
    QStringList names;
    for (int i = 0; i < model.CharacterizationCount(); ++i)
        names << model.CharacterizationAt(i)->Name();
    return names;
}

} // namespace

TEST_F(Model, StartsWithAPlaceholderAndNumbersNewCharacterizations)
{
    EXPECT_EQ(model->EditedPart(), -1);
    EXPECT_TRUE(model->IsSamplingHost());
    EXPECT_EQ(model->CharacterizationAt(-1), nullptr);
    EXPECT_EQ(model->CharacterizationAt(1), nullptr);
    model->CreateNewCharacterization();
    model->CreateNewCharacterization();
    EXPECT_EQ(Names(*model), (QStringList{"--- None ---", "--- None --- (1)", "--- None --- (2)"}));
    EXPECT_EQ(model->CurrentCharacterization(), model->CharacterizationAt(2));

    auto hero = std::make_shared<Characterization>("hero");
    auto hero2 = std::make_shared<Characterization>("hero");
    model->AddCharacterization(hero);
    model->AddCharacterization(hero2);
    EXPECT_EQ(hero->Name(), "hero");
    EXPECT_EQ(hero2->Name(), "hero (1)");
    EXPECT_EQ(model->CurrentCharacterization(), hero2.get());

    // A "%1" in the name is text, not a place for the counter.
    auto percent = std::make_shared<Characterization>("C%1");
    model->AddCharacterization(std::make_shared<Characterization>("C%1"));
    model->AddCharacterization(percent);
    EXPECT_EQ(percent->Name(), "C%1 (1)");
}

TEST_F(Model, AssigningMovesWatchesAndTellsTheHost)
{
    model->AssignNode(9, "Char1:LeftArm");
    EXPECT_TRUE(hub.IsWatched("Char1:LeftArm"));
    EXPECT_EQ(model->LastOperationMessage(), "Assigned node: Char1:LeftArm");

    model->AssignNode(9, "Char1:LeftForeArm");
    EXPECT_FALSE(hub.IsWatched("Char1:LeftArm"));
    EXPECT_TRUE(hub.IsWatched("Char1:LeftForeArm"));
    EXPECT_EQ(hub.Calls(),
              (QStringList{"SetCharacterObject '' -> Char1:LeftArm in --- None --- node 9",
                           "SetCharacterObject Char1:LeftArm -> Char1:LeftForeArm in --- None "
                           "--- node 9"}));
    NodeId node = -1;
    EXPECT_TRUE(model->FindNodeOfJoint("Char1:LeftForeArm", node));
    EXPECT_EQ(node, 9);
    EXPECT_FALSE(model->FindNodeOfJoint("char1:leftforearm", node));
}

TEST_F(Model, ClearingANodeUnwatchesItAndTellsTheHostEvenWhenUnused)
{
    BindBiped();
    hub.ClearCalls();
    model->ClearNode(3);
    EXPECT_FALSE(hub.IsWatched("Char1:LeftLeg"));
    EXPECT_FALSE(model->CurrentCharacterization()->IsNodeAssigned(3));
    EXPECT_EQ(model->LastOperationMessage(), "Cleared one or more nodes.");

    model->ClearNode(100);
    EXPECT_EQ(hub.Calls(), (QStringList{"SetCharacterObject Char1:LeftLeg -> '' in --- None --- "
                                        "node 3",
                                        "SetCharacterObject '' -> '' in --- None --- node 100"}));

    model->ClearNodes({4, 7});
    EXPECT_EQ(model->LastOperationMessage(), "Unregistered node: Char1:RightFoot");
    model->ClearAll();
    EXPECT_EQ(model->LastOperationMessage(), "Cleared all nodes.");
    EXPECT_TRUE(hub.Watched().isEmpty());
}

TEST_F(Model, AutoMatchBindsSelectedJointsByLongestCaseSensitiveSuffix)
{
    hub.AddJoint("skel:LeftForeArm", QString(), 0, 0, 0);
    hub.AddJoint("x:Spine1", QString(), 0, 1, 0);
    hub.AddJoint("leftupleg", QString(), 0, 2, 0);
    hub.AddNonTransform("notATransformHips");
    hub.Select({"skel:LeftForeArm", "x:Spine1", "leftupleg", "notATransformHips"});
    model->AutoMatch();

    EXPECT_EQ(model->JointOfNode(10), "skel:LeftForeArm");
    EXPECT_EQ(model->JointOfNode(9), "");
    EXPECT_EQ(model->JointOfNode(23), "x:Spine1");
    EXPECT_EQ(model->JointOfNode(8), "");
    EXPECT_EQ(model->JointOfNode(2), "");
    EXPECT_EQ(model->JointOfNode(1), "");
}

TEST_F(Model, GeometryChangesArePickedUpByTheTimerOnlyWhileUnlocked)
{
    BindBiped();
    QSignalSpy changed(model.get(), &CharacterizationModel::ModelChanged);

    RunGeometryTick(*model);
    EXPECT_EQ(changed.count(), 0) << "nothing moved: no revalidation";

    hub.SetTranslation("Char1:LeftHand", 70, 150, 0);
    RunGeometryTick(*model);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model->CurrentCharacterization()->RestState(11).Translate[1], 150.0f);
    EXPECT_EQ(Overall(), ValidationStatus::Warning);

    model->SetEditMode(true);
    EXPECT_TRUE(model->IsLocked());
    EXPECT_FALSE(model->IsSamplingHost());
    hub.ResetSampleCount();
    hub.SetTranslation("Char1:LeftHand", 70, 145, 0);
    model->Revalidate();
    EXPECT_EQ(hub.SampleCount(), 0) << "a locked characterization is never sampled";
    EXPECT_EQ(Overall(), ValidationStatus::Warning) << "the frozen pose still warns";

    model->SetEditMode(false);
    EXPECT_TRUE(model->IsSamplingHost());
    EXPECT_EQ(Overall(), ValidationStatus::Valid);
}

// A host that keeps the flags and hands them back on every revalidation, as the scene's
// character node does: only a changed flag revalidates, and the model shows a toggled flag right
// after the toggle, not one revalidation later.
TEST_F(Model, InversionFlagsPassThroughAHostThatStoresThem)
{
    BindBiped();
    QSignalSpy changed(model.get(), &CharacterizationModel::ModelChanged);
    int loads = 0;
    std::uint32_t hostLeftKnee = 0;
    hub.SetInversionLoader([&](const QString&) {
        ++loads;
        model->CurrentCharacterization()->InversionFlags().Values[0] = hostLeftKnee;
        return true; // the host holds the character's node
    });
    hub.SetInversionStore([&](int, bool inverted) { hostLeftKnee = inverted ? 1 : 0; });
    RunGeometryTick(*model);
    EXPECT_EQ(changed.count(), 0) << "flags as before: nothing to revalidate";
    hostLeftKnee = 1;
    RunGeometryTick(*model);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(loads, 2);

    model->ToggleInversion(3);
    EXPECT_EQ(hostLeftKnee, 0u);
    EXPECT_EQ(model->CurrentCharacterization()->InversionFlags().Values[0], 0u);
    model->ToggleInversion(3);
    EXPECT_EQ(hostLeftKnee, 1u);
    EXPECT_EQ(model->CurrentCharacterization()->InversionFlags().Values[0], 1u);
}

TEST_F(Model, HostRenamesFollowTheJointOnlyWhileUnlocked)
{
    BindBiped();
    model->CreateNewCharacterization();
    model->AssignNode(9, "Char1:LeftArm");
    model->SetCurrentCharacterization(0);

    hub.Rename("Char1:LeftArm", "Char1:L_Arm");
    EXPECT_EQ(model->JointOfNode(9), "Char1:L_Arm");
    EXPECT_TRUE(hub.IsWatched("Char1:L_Arm"));
    EXPECT_EQ(model->CharacterizationAt(1)->JointName(9), "Char1:LeftArm")
        << "only the current characterization follows";

    model->SetEditMode(true);
    hub.Rename("Char1:LeftHand", "Char1:L_Hand");
    EXPECT_EQ(model->JointOfNode(11), "Char1:LeftHand");
}

TEST_F(Model, DeletingAJointUsedByTwoCharacterizationsUnlocksAndClearsBoth)
{
    BindBiped();
    model->SetEditMode(true);
    model->CreateNewCharacterization();
    model->AssignNode(15, "Char1:Head");
    model->SetEditMode(true);
    model->CreateNewCharacterization(); // current, does not use the head

    hub.Delete("Char1:Head");
    for (int i : {0, 1}) {
        EXPECT_FALSE(model->CharacterizationAt(i)->IsLocked()) << i;
        EXPECT_EQ(model->CharacterizationAt(i)->JointName(15), "") << i;
    }
    EXPECT_EQ(model->CurrentCharacterization(), model->CharacterizationAt(1));
    EXPECT_TRUE(hub.Calls().contains(
        "SetCharacterObject Char1:Head -> '' in --- None --- (1) node 15 removed"));
}

// The tool is reset right after a scene is torn down, so the views are not redrawn per joint.
TEST_F(Model, SceneResetClearsWithoutTellingTheHostOrTheViews)
{
    BindBiped();
    model->SetEditMode(true);
    hub.ClearCalls();
    QSignalSpy changed(model.get(), &CharacterizationModel::ModelChanged);
    hub.Delete("Char1:Head", true);
    hub.Delete("Char1:Hips", true);
    EXPECT_EQ(model->JointOfNode(15), "");
    EXPECT_EQ(model->JointOfNode(1), "");
    EXPECT_FALSE(model->CurrentCharacterization()->IsLocked());
    EXPECT_TRUE(hub.Calls().isEmpty());
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(Model, RemovingCharacterizationNodesKeepsTheCurrentOneOrMakesANewDefault)
{
    model->CreateNewCharacterization();
    model->RenameCharacterization("villain", "--- None --- (1)");
    model->CreateNewCharacterization();
    model->CreateNewCharacterization();
    model->RenameCharacterization("hero", "--- None --- (1)");
    model->RenameCharacterization("hero", "--- None --- (2)"); // duplicates are tolerated
    model->SetCurrentCharacterization(0);

    model->RemoveCharacterizationNode("hero");
    EXPECT_EQ(Names(*model), QStringList({"--- None ---", "villain"}))
        << "adjacent duplicates both go, and only they";
    EXPECT_EQ(model->CurrentCharacterization(), model->CharacterizationAt(0));
    EXPECT_EQ(hub.Calls(), QStringList{"UpdateCharacterControlsUI"});

    model->RemoveCharacterizationNode("villain");
    model->RemoveCharacterizationNode("--- None ---");
    EXPECT_EQ(Names(*model), QStringList{"--- None ---"});
    EXPECT_NE(model->CurrentCharacterization(), nullptr);
}

TEST_F(Model, ALockedCharacterizationValidatesItsStoredPoseUntilUnlocked)
{
    BindBiped();
    model->SetEditMode(true);
    model->CreateNewCharacterization();
    EXPECT_EQ(Overall(), ValidationStatus::Error);

    hub.SetTranslation("Char1:LeftHand", 70, 160, 0); // would warn if sampled
    hub.ResetSampleCount();
    model->SetCurrentCharacterization(0);
    EXPECT_EQ(hub.SampleCount(), 0);
    EXPECT_TRUE(model->IsLocked());
    EXPECT_EQ(Overall(), ValidationStatus::Valid);

    // Unlocking clears the nodes whose joints left the scene.
    std::vector<int> unsync;
    QStringList scene;
    hub.GetAllTransforms(scene);
    scene.removeAll("Char1:LeftToeBase");
    scene.removeAll("Char1:Neck");
    model->FindUnsyncNodes(scene, unsync);
    EXPECT_EQ(unsync, (std::vector<int>{16, 20}));

    model->SetEditMode(false, unsync);
    EXPECT_EQ(model->JointOfNode(16), "");
    EXPECT_EQ(model->JointOfNode(20), "");
    EXPECT_EQ(model->JointOfNode(15), "Char1:Head");
}

TEST_F(Model, TogglingAKneeFlipsItsFlagAndTellsTheHost)
{
    QSignalSpy edited(model.get(), &CharacterizationModel::EditedPartChanged);
    model->SetEditedPart(9, true);
    model->SetEditedPart(9, true);  // no change, no signal
    model->SetEditedPart(9, false); // read-only now: a change
    ASSERT_EQ(edited.count(), 2);
    EXPECT_EQ(edited[1], (QList<QVariant>{9, 9, false}));
    model->SetEditedPart(-1, false);
    edited.clear();
    model->ToggleInversion(5);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_TRUE(hub.Calls().isEmpty());

    model->ToggleInversion(10);
    EXPECT_EQ(model->CurrentCharacterization()->InversionFlags().Values[2], 1u);
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0], (QList<QVariant>{-1, 10, false}));
    EXPECT_EQ(hub.Calls(), QStringList{"InvertBone 10 1"});

    model->ToggleInversion(10);
    EXPECT_EQ(model->CurrentCharacterization()->InversionFlags().Values[2], 0u);
    EXPECT_EQ(edited.count(), 2) << "emitted even when the part stays the same";

    // A picked part stops being picked: the next host selection is not bound to it.
    model->SetEditedPart(9, true);
    model->ToggleInversion(3);
    EXPECT_EQ(model->EditedPart(), 3);
    EXPECT_FALSE(model->IsEditedPartReadWrite());
}

TEST_F(Model, MirrorModeFindsThePartnerJointThroughKeywordPairs)
{
    hub.AddJoint("Left_Arm", QString(), 16, 145, 0);
    hub.AddJoint("Right_Arm_end", QString(), -20, 145, 0);
    hub.AddJoint("Right_Arm", QString(), -16, 145, 0);
    model->AddMirrorPair("Left", "Right");

    NodeId mirrorNode = 99;
    QString mirrorJoint;
    model->AssignNodeMirrored(9, "Left_Arm", mirrorNode, mirrorJoint);
    EXPECT_EQ(mirrorNode, -1) << "mirror mode is off";

    model->SetMirrorMode(true);
    model->AssignNodeMirrored(9, "left_arm", mirrorNode, mirrorJoint);
    EXPECT_EQ(mirrorNode, 12);
    EXPECT_EQ(mirrorJoint, "Right_Arm") << "an exact match wins over an earlier containing one";
    EXPECT_EQ(model->JointOfNode(12), "") << "the partner is found, not bound";

    hub.Rename("Right_Arm", "Right_Arm_jnt_renamed");
    model->AssignNodeMirrored(9, "Left_Arm", mirrorNode, mirrorJoint);
    EXPECT_EQ(mirrorJoint, "Right_Arm_end") << "else the first joint containing the candidate";

    model->AssignNodeMirrored(8, "Left_Arm", mirrorNode, mirrorJoint);
    EXPECT_EQ(mirrorNode, -1) << "centre nodes have no partner";

    model->AssignNodeMirrored(9, "Right_Arm_end", mirrorNode, mirrorJoint);
    EXPECT_EQ(mirrorNode, -1) << "no joint is named after a Right keyword's partner";
    model->AssignNodeMirrored(9, "Arm", mirrorNode, mirrorJoint);
    EXPECT_EQ(mirrorNode, -1) << "a name without a keyword has no partner";
}
