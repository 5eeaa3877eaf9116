// The panel's views as the host runs them: a real skeleton opened in Kestrel, bindings made by
// host scripts through characterizationToolUICmd, and what the node tree and both property
// views then show.
#include "pluginhosttest.h"

#include "solver/nodenames.h"

#include "ui/uilayouts.h"

#include <QImage>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

class PanelViews : public PluginHostTest
{
protected:
    void SetUp() override
    {
        const QString path = SharedSkeleton("cmu_mocap_subject01_jumps.bvh");
        if (path.isEmpty())
            GTEST_SKIP() << "../shared/skeletons is absent; the CMU panel scenario is not run";
        OpenWithPlugin(path, true);
        Cmd("-e -characterlist \"Subject\"");
        layout = host.GetLayouts().FindLayout("kntCharacterizationScrollControl");
        ASSERT_NE(layout, nullptr);
    }

    void Assign(int node, const QString& joint)
    {
        Cmd(QStringLiteral(
                "-e -fup -characternodeassign \"Subject\" -nodeid %1 -kestrelnodename \"%2\"")
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
        Assign(node, kinetra::NodeName(node));
    Assign(51, "LThumb"); // LeftHandThumb2 without LeftHandThumb1
    ASSERT_EQ(Cmd("-q -curcharstatus"), "3");

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
