// Numbers a scene cannot hold: refused by setAttr and xform, never saved by saveScene.
#include "kestreltest.h"

#include "io/scenedescription.h"
#include "io/scenejsonwriter.h"
#include "scene/node.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <limits>

using namespace kestrel;

namespace {

//   Root -> Arm -> Hand -> Tip, each one unit along x
class SceneNumbers : public HostTest
{
protected:
    void SetUp() override
    {
        RunOk("createNode joint -n Root; createNode joint -n Arm -p Root; setAttr Arm.tx 1; "
              "createNode joint -n Hand -p Arm; setAttr Hand.tx 1; "
              "createNode joint -n Tip -p Hand; setAttr Tip.tx 1");
    }
};

} // namespace

TEST_F(SceneNumbers, SetAttrAndXformRefuseNumbersBeyondTheRangeAndChangeNothing)
{
    ExpectFails("setAttr Arm.tx 1e308", Status::InvalidParameter, "Node \"Arm\": \"translate\"");
    ExpectFails("setAttr Arm.jointOrientZ -1e15", Status::InvalidParameter, // degrees
                "Node \"Arm\": \"jointOrient\"");
    ExpectFails("xform -t 0 1e300 0 Hand", Status::InvalidParameter,
                "Node \"Hand\": \"translate\"");
    RunOk("addAttr Root.weight -attributeType double; setAttr Root.weight 0.5");
    ExpectFails("setAttr Root.weight -1e300", Status::InvalidParameter,
                "Node \"Root\": \"weight\"");
    // The edge itself is accepted.
    RunOk("setAttr Root.weight 1e12");
    EXPECT_EQ(RunOk("getAttr Arm.tx"), "1");
    EXPECT_EQ(RunOk("getAttr Hand.ty"), "0");
}

TEST_F(SceneNumbers, AChangeThatWouldOverflowAWorldTransformBelowIsRefused)
{
    // Each scale is in range; three of them multiply past single precision at Tip.
    RunOk("setAttr Root.sx 1e12; setAttr Arm.sx 1e12; setAttr Hand.sx 1e12");
    ExpectFails("setAttr Tip.tx 1e12", Status::InvalidParameter, "Node \"Tip\"");
    EXPECT_EQ(RunOk("getAttr Tip.tx"), "1");
    EXPECT_TRUE(RunFails("xform -s 1e12 1 1 Tip").contains("Node \"Tip\": its world transform"));
    EXPECT_EQ(RunOk("getAttr Tip.sx"), "1");
}

// Rounding to 1e-10 degrees once overflowed past 1e298 degrees and wrote "inf": a huge angle is
// written as a number, and a save refuses it as it refuses NaN and infinity.
TEST_F(SceneNumbers, SaveSceneNeverWritesNaNOrHugeNumbersAndNamesTheNodeAndChannel)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("scene.json");
    const QString save = QString("saveScene \"%1\"").arg(path);
    TransformValues values = Find("Hand")->Transform();
    const std::pair<double, const char*> refused[] = {
        {std::numeric_limits<double>::quiet_NaN(), "holds NaN."},
        {std::numeric_limits<double>::infinity(), "holds an infinite number."},
        {-1e300, "holds a number beyond +-1e+12."}};
    for (const auto& [angle, problem] : refused) {
        values.rotation.y = angle;
        scene().SetTransform(Find("Hand"), values);
        EXPECT_EQ(RunFails(save), QString("Cannot save the scene to \"%1\": Node \"Hand\": "
                                          "\"rotate\" %2")
                                      .arg(path, problem));
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    const QByteArray text = SceneJsonWriter::ToJson(SceneDescription::Capture(scene()));
    EXPECT_TRUE(text.contains("\"rotate\": [0, -5.7295779513082")) << text.constData();
    values.rotation.y = 0;
    scene().SetTransform(Find("Hand"), values);
    RunOk(save);
    EXPECT_TRUE(QFileInfo::exists(path));
}
