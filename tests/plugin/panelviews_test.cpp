// The panel's views as the host runs them: a real skeleton opened in Kestrel, bindings made by
// host scripts through characterizationToolUICmd, and what the node tree and both property
// views then show.
#include "pluginhosttest.h"

#include "ui/uilayouts.h"

#include <QFileInfo>
#include <QImage>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

const QString kCmd = QStringLiteral("characterizationToolUICmd");

// The skeleton folder beside the repository, also when the test runs outside CTest.
QString SkeletonFolder()
{
    const QString folder = SharedSkeletonFolder();
    if (!folder.isEmpty())
        return folder;
    const QString beside = QStringLiteral(CT_SHARED_DIR "/skeletons");
    return QFileInfo(beside).isDir() ? beside : QString();
}

// The 15 required slots of a CMU subject: its joints carry the slot names.
const char* const kRequired[] = {
    "Hips",     "LeftUpLeg", "LeftLeg",      "LeftFoot",  "RightUpLeg",
    "RightLeg", "RightFoot", "Spine",        "LeftArm",   "LeftForeArm",
    "LeftHand", "RightArm",  "RightForeArm", "RightHand", "Head",
};

class PanelViews : public PluginHostTest
{
protected:
    void SetUp() override
    {
        const QString folder = SkeletonFolder();
        if (folder.isEmpty())
            GTEST_SKIP() << "../shared/skeletons is absent; the CMU panel scenario is not run";
        RunOk(QStringLiteral("openScene \"%1/cmu_mocap_subject01_jumps.bvh\"").arg(folder));
        ASSERT_EQ(RunOk("loadPlugin \"characterizationTool\""), "characterizationTool");
        RunOk("createLayout \"kntCharacterizationScrollControl\"");
        RunOk(kCmd);
        RunOk(kCmd + " -e -characterlist \"Subject\"");
        layout = host.GetLayouts().FindLayout("kntCharacterizationScrollControl");
        ASSERT_NE(layout, nullptr);
    }

    void Assign(int node, const QString& joint)
    {
        RunOk(QStringLiteral("%1 -e -fup -characternodeassign \"Subject\" -nodeid %2 "
                             "-kestrelnodename \"%3\"")
                  .arg(kCmd)
                  .arg(node)
                  .arg(joint));
    }

    QTreeWidgetItem* TopItem(const QString& text) const
    {
        const QList<QTreeWidgetItem*> found =
            Tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    QTreeWidget* Tree() const
    {
        const QList<QTreeWidget*> trees = layout->findChildren<QTreeWidget*>();
        return trees.size() == 1 ? trees.first() : nullptr;
    }

    // Status texts of the property views, in page order.
    QStringList StatusTexts() const
    {
        QStringList texts;
        for (const QTextEdit* edit : layout->findChildren<QTextEdit*>())
            texts << edit->toPlainText();
        return texts;
    }

    // Whether the item shows the compiled-in bubble `image`.
    static bool ShowsBubble(const QTreeWidgetItem* item, const QString& image)
    {
        const QImage expected(":/characterizationtool/" + image);
        if (expected.isNull() || !item)
            return false;
        return item->icon(0).pixmap(expected.size()).toImage().convertToFormat(expected.format()) ==
               expected;
    }

    QWidget* layout = nullptr;
};

TEST_F(PanelViews, AHoleInAFingerChainShowsInTheTreeAndBothPropertyViews)
{
    for (int node = 1; node <= 15; ++node)
        Assign(node, kRequired[node - 1]);
    Assign(51, "LThumb"); // LeftHandThumb2 without LeftHandThumb1
    ASSERT_EQ(RunOk(kCmd + " -q -curcharstatus"), "3");

    ASSERT_NE(Tree(), nullptr);
    EXPECT_TRUE(ShowsBubble(TopItem("Left Hand"), "BubbleSmall_Red.png"));
    EXPECT_TRUE(ShowsBubble(TopItem("Body"), "BubbleSmall_Red.png"));
    EXPECT_TRUE(ShowsBubble(TopItem("Right Hand"), "BubbleSmall_Gray.png"));
    EXPECT_NE(TopItem("LeftHandThumb2 : <LThumb>"), nullptr);
    const QStringList texts = StatusTexts();
    ASSERT_EQ(texts.size(), 2);
    for (const QString& text : texts)
        EXPECT_TRUE(text.contains("left hand thumb")) << qPrintable(text);

    // A host script closes the hole: every view shows it at once.
    Assign(51, "");
    Assign(50, "LThumb");
    EXPECT_NE(TopItem("LeftHandThumb1 : <LThumb>"), nullptr);
    EXPECT_NE(TopItem("LeftHandThumb2 : <Undefined>"), nullptr);
    // This subject's thumb joint sits almost on its hand: a warning now, no longer the error.
    EXPECT_TRUE(ShowsBubble(TopItem("Left Hand"), "BubbleSmall_Orange.png"));
    for (const QString& text : StatusTexts())
        EXPECT_FALSE(text.contains("left hand thumb")) << qPrintable(text);
}

} // namespace
