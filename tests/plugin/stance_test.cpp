// The stance report and its fix: on real bipeds and on the sample turned into the poses files
// come in (A-pose, arms down, Z-up, facing -Z or +X, metres), one characterizationStance -e
// leaves no pose warning and every angle within half a degree, changes rotations only, and one
// undo puts every rotation back exactly.
#include "pluginhosttest.h"

#include "scene/node.h"
#include "scene/scene.h"
#include "scene/transformvalues.h"
#include "script/textlog.h"
#include "script/undoqueue.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTextEdit>

#include <map>

namespace {

struct Variant
{
    const char* name;
    const char* setup; // statements that give the sample the pose of such files
};

const Variant kVariants[] = {
    {"T-pose", ""},
    {"A-pose", "setAttr Char1:LeftArm.rz -45; setAttr Char1:RightArm.rz 45"},
    {"arms down", "setAttr Char1:LeftArm.rz -80; setAttr Char1:RightArm.rz 80; "
                  "setAttr Char1:LeftForeArm.ry 20"},
    {"Z-up", "setAttr Char1:Hips.rx 90"},
    {"facing -Z", "setAttr Char1:Hips.ry 180"},
    {"facing +X", "setAttr Char1:Hips.ry 90; setAttr Char1:LeftArm.rz -30"},
    {"tilted", "setAttr Char1:Hips.rx 7; setAttr Char1:Hips.rz 5; setAttr Char1:Hips.ry 31"},
};

class Stance : public PluginHostTest
{
protected:
    // Opens `path`, makes "Hero" and auto-characterizes it; false when the mapper refuses.
    bool Characterize(const QString& path)
    {
        OpenWithPlugin(path, true);
        Cmd("-e -characterlist Hero");
        return Run("characterizationAutoMap -e -character Hero").status == kestrel::Status::Success;
    }

    std::map<QString, double> Angles()
    {
        const QStringList pairs = RunOkList("characterizationStance -q");
        std::map<QString, double> angles;
        for (int i = 0; i + 1 < pairs.size(); i += 2)
            angles[pairs[i]] = pairs[i + 1].toDouble();
        return angles;
    }

    // Every transform's local values, by name.
    std::map<QString, kestrel::TransformValues> Pose()
    {
        std::map<QString, kestrel::TransformValues> pose;
        for (const kestrel::Node* node : scene().Nodes()) {
            if (node->IsTransform())
                pose[node->Name()] = node->Transform();
        }
        return pose;
    }

    // Fixes the stance of the current characterization and checks what the fix promises.
    void FixAndCheck(const QString& what)
    {
        const auto before = Pose();
        const int steps = host.GetUndoQueue().UndoCount();
        const int turned = RunOk("characterizationStance -e").toInt();
        // One step, or none when nothing needed turning.
        EXPECT_EQ(host.GetUndoQueue().UndoCount(), steps + (turned > 0 ? 1 : 0))
            << qPrintable(what);
        for (const auto& angle : Angles())
            EXPECT_LE(angle.second, 0.5) << qPrintable(what + ": " + angle.first);
        const QString report = RunOk("characterizationToolReport");
        EXPECT_FALSE(report.contains("X axis") || report.contains("facing"))
            << qPrintable(what + ": " + report);
        const auto after = Pose();
        ASSERT_EQ(after.size(), before.size()) << qPrintable(what);
        // Rotations only: offsets and scales stay to the bit, so bone lengths stay too.
        for (const auto& joint : before) {
            const kestrel::TransformValues& now = after.at(joint.first);
            const QString bone = what + ": " + joint.first;
            EXPECT_EQ(now.translation, joint.second.translation) << qPrintable(bone);
            EXPECT_EQ(now.scale, joint.second.scale) << qPrintable(bone);
        }
        if (turned > 0)
            RunOk("undo");
        for (const auto& joint : Pose())
            EXPECT_EQ(joint.second.rotation, before.at(joint.first).rotation)
                << qPrintable(what + ": rotation of " + joint.first + " after undo");
        EXPECT_TRUE(Errors().isEmpty()) << qPrintable(Errors().join('\n'));
    }
};

TEST_F(Stance, TheFixClearsEveryPoseWarningOfTheSampleInTheFilesPoses)
{
    for (const Variant& variant : kVariants) {
        ASSERT_TRUE(Characterize(SamplePath("biped_tpose.json")));
        if (*variant.setup)
            RunOk(variant.setup);
        FixAndCheck(variant.name);
        // In metres rather than centimetres: the same fix.
        RunOk("setAttr Char1:Hips.sx 0.01; setAttr Char1:Hips.sy 0.01; setAttr Char1:Hips.sz 0.01");
        FixAndCheck(QString(variant.name) + " in metres");
    }
}

TEST_F(Stance, TheFixClearsEveryPoseWarningOfTheRealBipeds)
{
    const QString folder = SharedSkeletonFolder();
    if (folder.isEmpty())
        GTEST_SKIP() << "../shared/skeletons is absent; the real bipeds are skipped";
    int fixed = 0;
    for (const QString& file :
         QDir(folder).entryList({"*.bvh", "*.glb", "*.fbx", "*.ase", "*.json"})) {
        SCOPED_TRACE(qPrintable(file));
        const bool mapped = Characterize(folder + '/' + file);
        host.GetErrorLog().Clear(); // a refused non-biped is no fault here
        if (!mapped)
            continue; // not a biped: no characterization to fix
        FixAndCheck(file);
        ++fixed;
    }
    EXPECT_GE(fixed, 10);
}

// Without one thigh only the up rule speaks: the fix stands the body up about X.
TEST_F(Stance, WithAThighUnboundTheUpRuleAloneIsFixed)
{
    ASSERT_TRUE(Characterize(SamplePath("biped_tpose.json")));
    RunOk("setAttr Char1:Hips.rx 90; setCharacterObject(\"\",\"Hero\",5,0)");
    EXPECT_GT(Angles().at("up"), 80.0);
    EXPECT_EQ(Angles().count("hips"), 0u);
    RunOk("characterizationStance -e");
    EXPECT_LE(Angles().at("up"), 0.5);
}

// Each refusal is one clear error and changes nothing in the scene.
TEST_F(Stance, RefusalsChangeNothing)
{
    OpenWithPlugin(SamplePath("biped_tpose.json"), false);
    EXPECT_TRUE(RunFails("characterizationStance -q").contains("no characterization tool"));
    RunOk("createLayout kntCharacterizationScrollControl; " + kToolCmd);
    ASSERT_TRUE(Characterize(SamplePath("biped_tpose.json")));
    RunOk("setAttr Char1:LeftArm.rz -45");
    EXPECT_TRUE(RunFails("characterizationStance -e -character Nobody").contains("\"Nobody\""));
    Cmd("-e -characterlist \"Hero;Empty\"");
    EXPECT_TRUE(RunFails("characterizationStance -e -character Empty").contains("binds none"));
    Cmd("-e -setcurrentcharname Hero; " + kToolCmd + " -e -locktoggle");
    EXPECT_TRUE(RunFails("characterizationStance -e").contains("is locked"));
    EXPECT_EQ(Find("Char1:LeftArm")->Transform().rotation.z, -45.0 / 57.29577951308232);
    EXPECT_GT(Angles().at("leftArm"), 40.0) << "a locked characterization is measured as frozen";
}

// The report shows where the user looks, and the button beside it is the whole fix.
TEST_F(Stance, ThePanelReportsTheAnglesAndItsButtonFixesThem)
{
    ASSERT_TRUE(Characterize(SamplePath("biped_tpose.json")));
    RunOk("setAttr Char1:LeftArm.rz -45; " + kToolCmd + " -q -curcharstatus");
    QApplication::processEvents();
    QList<QPushButton*> buttons;
    QString status;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* button = qobject_cast<QPushButton*>(widget);
            button && button->text() == "Fix Stance")
            buttons << button;
        if (auto* text = qobject_cast<QTextEdit*>(widget); text && text->isReadOnly())
            status += text->toPlainText();
    }
    EXPECT_TRUE(status.contains(QString::fromUtf8("Left arm: 45.0\u00b0 off the X axis (limit "
                                                  "2.0\u00b0)")))
        << qPrintable(status);
    ASSERT_FALSE(buttons.isEmpty());
    EXPECT_FALSE(buttons.first()->isHidden()) << "a pose over its limit offers the fix";
    const int steps = host.GetUndoQueue().UndoCount();
    buttons.first()->click();
    QApplication::processEvents(); // the click's step closes when control comes back
    EXPECT_EQ(host.GetUndoQueue().UndoCount(), steps + 1);
    EXPECT_LE(Angles().at("leftArm"), 0.5);
    EXPECT_TRUE(buttons.first()->isHidden()) << "nothing left to fix";
    RunOk("undo");
    EXPECT_GT(Angles().at("leftArm"), 44.0);
    EXPECT_TRUE(Errors().isEmpty()) << qPrintable(Errors().join('\n'));
}

} // namespace
