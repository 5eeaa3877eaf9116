// The attribute editor: what it shows for the last selected node, and that an edit is one
// command a script could have run, undone in one step.
#include "desktop/attributeeditor.h"
#include "kestreltest.h"
#include "script/undoqueue.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>

#include <cmath>

using namespace kestrel;

namespace {

class AttributeEditorTest : public HostTest
{
protected:
    AttributeEditorTest()
    {
        RunOk("createNode transform -n Rig; createNode joint -n Arm -parent Rig; "
              "setAttr Arm.translateX 2.00004; setAttr Arm.jointOrientZ 90");
    }
    double Shown(const QString& channel) { return editor.Field(channel)->value(); }
    bool EmptyNoteShown()
    {
        for (const QLabel* label : editor.findChildren<QLabel*>()) {
            if (label->text() == "No node selected." && label->isVisibleTo(&editor))
                return true;
        }
        return false;
    }

    AttributeEditor editor{host};
};

TEST_F(AttributeEditorTest, ShowsTheLastSelectedNodeAndFollowsIt)
{
    EXPECT_TRUE(EmptyNoteShown());
    RunOk("select -r Rig Arm");
    EXPECT_FALSE(EmptyNoteShown());
    EXPECT_EQ(editor.CurrentNode(), Find("Arm"));
    EXPECT_DOUBLE_EQ(Shown("translateX"), 2.0); // three decimals
    EXPECT_EQ(Find("Arm")->Transform().translation.x, 2.00004) << "showing a value sets nothing";
    EXPECT_DOUBLE_EQ(Shown("jointOrientZ"), 90.0);
    EXPECT_EQ(editor.RotateOrderField()->count(), 6);
    EXPECT_TRUE(editor.Field("jointOrientZ")->isVisibleTo(&editor));

    RunOk("setAttr Arm.rotateY 45; setAttr Arm.rotateOrder 4");
    EXPECT_DOUBLE_EQ(Shown("rotateY"), 45.0);
    EXPECT_EQ(editor.RotateOrderField()->currentText(), "yxz");

    RunOk("select -r Arm Rig");
    EXPECT_FALSE(editor.Field("jointOrientZ")->isVisibleTo(&editor)) << "transforms have none";
    RunOk("delete Rig");
    EXPECT_TRUE(EmptyNoteShown());
}

TEST_F(AttributeEditorTest, AnEditIsOneUndoableCommand)
{
    RunOk("select -r Arm");
    const int steps = host.GetUndoQueue().UndoCount();
    editor.Field("translateX")->setValue(7.5);
    EXPECT_DOUBLE_EQ(Find("Arm")->Transform().translation.x, 7.5);
    editor.Field("rotateZ")->setValue(-30.0);
    EXPECT_NEAR(Find("Arm")->Transform().rotation.z, -30.0 * M_PI / 180.0, 1e-12);
    editor.RotateOrderField()->setCurrentIndex(5);
    EXPECT_EQ(Find("Arm")->Transform().rotationOrder, RotationOrder::ZYX);
    EXPECT_EQ(host.GetUndoQueue().UndoCount(), steps + 3);

    RunOk("undo; undo");
    EXPECT_DOUBLE_EQ(Find("Arm")->Transform().rotation.z, 0.0);
    EXPECT_EQ(Find("Arm")->Transform().rotationOrder, RotationOrder::XYZ);
    EXPECT_DOUBLE_EQ(Shown("rotateZ"), 0.0);
    EXPECT_DOUBLE_EQ(Shown("translateX"), 7.5);
    RunOk("undo");
    EXPECT_DOUBLE_EQ(Find("Arm")->Transform().translation.x, 2.00004);
    EXPECT_DOUBLE_EQ(Shown("translateX"), 2.0);
}

} // namespace
