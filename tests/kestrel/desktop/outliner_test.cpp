// The outliner: its model follows the live scene, the selection is shared with the host, the
// filter keeps the way to each match, and names are edited through the rename command.
#include "desktop/namefiltermodel.h"
#include "desktop/outliner.h"
#include "desktop/scenetreemodel.h"
#include "kestreltest.h"

#include "desktop/scenetreeview.h"
#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QLineEdit>

using namespace kestrel;

namespace {

// The model's rows as "A(B,C(D)),E": names, children in brackets.
QString Outline(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const QString children = Outline(model, index);
        rows << index.data().toString() + (children.isEmpty() ? QString() : '(' + children + ')');
    }
    return rows.join(',');
}

class OutlinerTest : public HostTest
{
protected:
    void OpenBiped()
    {
        RunOk(QStringLiteral("openScene \"%1/biped_tpose.json\"").arg(KESTREL_SAMPLES_DIR));
        QCoreApplication::processEvents(); // the model reset ends once the scene is idle
    }
    QModelIndex Row(const QString& name)
    {
        return outliner.FilterModel()->mapFromSource(outliner.Model()->IndexOf(Find(name)));
    }

    Outliner outliner{host};
};

TEST_F(OutlinerTest, ModelFollowsTheSceneThroughEveryKindOfChange)
{
    // Any fault in the model's signals or structure ends the process with a message.
    QAbstractItemModelTester tester(outliner.Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    outliner.View()->expandAll();
    const SceneTreeModel& model = *outliner.Model();

    const std::pair<const char*, const char*> steps[] = {
        {"createNode joint -n A; createNode joint -n B -p A; createNode joint -n C -p A; "
         "createNode transform -n T; createNode character -n Hero",
         "A(B,C),T,Hero"},
        {"createNode joint -n D", "A(B,C),T,D,Hero"}, // new top-level nodes go before characters
        {"parent C T", "A(B),T(C),D,Hero"},
        {"parent A D", "T(C),D(A(B)),Hero"},
        {"parent -world A", "T(C),D,A(B),Hero"},
        {"parent -world T", "D,A(B),T(C),Hero"},
        {"parent -world T", "D,A(B),T(C),Hero"}, // a move to where it is: no step
        {"rename B Bone", "D,A(Bone),T(C),Hero"},
        {"delete A; delete Hero", "D,T(C)"},
        {"undo; undo", "D,A(Bone),T(C),Hero"},
        {"undo; undo; undo", "T(C),D(A(B)),Hero"}, // rename and moves undone
    };
    for (const auto& [statement, outline] : steps) {
        // Persistent indexes (the view's selection and expansion) follow their nodes.
        std::vector<std::pair<QPersistentModelIndex, QString>> kept;
        for (const Node* node : scene().Nodes())
            kept.emplace_back(model.IndexOf(node), node->Name());
        RunOk(statement);
        EXPECT_EQ(Outline(model), outline) << statement;
        for (const auto& [index, name] : kept)
            EXPECT_TRUE(!Find(name) || index == model.IndexOf(Find(name)))
                << statement << " " << qPrintable(name);
    }

    OpenBiped();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(Outline(model).count("Char1:"), 40) << "40 joints under one root";
    EXPECT_EQ(model.IndexOf(Find("Char1:LeftHandThumb3")).parent().data().toString(),
              "Char1:LeftHandThumb2");
    RunOk("newScene; createNode joint -n Only");
    EXPECT_EQ(Outline(model), "Only");
}

TEST_F(OutlinerTest, SelectionIsSharedWithTheHost)
{
    OpenBiped();
    QItemSelectionModel* selection = outliner.View()->selectionModel();
    selection->setCurrentIndex(Row("Char1:Spine"), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(scene().GetSelection().Names(), QStringList{"Char1:Spine"});
    selection->setCurrentIndex(Row("Char1:Head"), QItemSelectionModel::Select);
    EXPECT_EQ(scene().GetSelection().Names(), QStringList({"Char1:Spine", "Char1:Head"}))
        << "the row made current is the last selected node";

    RunOk("select -r Char1:RightHandIndex3 Char1:LeftFoot");
    EXPECT_EQ(scene().GetSelection().Names(),
              QStringList({"Char1:RightHandIndex3", "Char1:LeftFoot"}))
        << "showing the host's selection must not send it back in the view's order";
    const QModelIndex finger = Row("Char1:RightHandIndex3");
    EXPECT_TRUE(selection->isSelected(finger));
    EXPECT_TRUE(selection->isSelected(Row("Char1:LeftFoot")));
    EXPECT_FALSE(selection->isSelected(Row("Char1:Head")));
    EXPECT_TRUE(outliner.View()->isExpanded(finger.parent()));
    EXPECT_EQ(selection->currentIndex(), finger);

    RunOk("select -r Char1:RightShoulder Char1:Neck Char1:LeftShoulder"); // siblings, unsorted
    EXPECT_EQ(selection->selectedRows().size(), 3);
    EXPECT_EQ(selection->selection().size(), 1) << "consecutive rows make one range";
    RunOk("select -r Char1:RightHandIndex3 Char1:LeftFoot; delete Char1:RightArm");
    EXPECT_EQ(selection->selectedRows(), QModelIndexList{Row("Char1:LeftFoot")});
    selection->clearSelection();
    EXPECT_TRUE(scene().GetSelection().Items().empty());
    // Select all takes the rows shown: those under expanded parents.
    outliner.View()->collapseAll();
    outliner.View()->expand(Row("Char1:Hips"));
    outliner.View()->selectAll();
    QStringList all = scene().GetSelection().Names();
    all.sort();
    EXPECT_EQ(all,
              QStringList({"Char1:Hips", "Char1:LeftUpLeg", "Char1:RightUpLeg", "Char1:Spine"}));
}

TEST_F(OutlinerTest, FilterKeepsTheAncestorsOfMatches)
{
    OpenBiped();
    RunOk("select -r Char1:Head Char1:LeftHandThumb3");
    outliner.FilterEdit()->setText("thumb3");
    EXPECT_EQ(scene().GetSelection().Names(), QStringList({"Char1:Head", "Char1:LeftHandThumb3"}))
        << "hiding a selected row does not deselect its node";
    EXPECT_EQ(Outline(*outliner.FilterModel()),
              "Char1:Hips(Char1:Spine(Char1:Spine1(Char1:Spine2("
              "Char1:LeftShoulder(Char1:LeftArm(Char1:LeftForeArm(Char1:LeftHand("
              "Char1:LeftHandThumb1(Char1:LeftHandThumb2(Char1:LeftHandThumb3)))))),"
              "Char1:RightShoulder(Char1:RightArm(Char1:RightForeArm(Char1:RightHand("
              "Char1:RightHandThumb1(Char1:RightHandThumb2(Char1:RightHandThumb3))))))))))");
    EXPECT_TRUE(outliner.View()->isExpanded(Row("Char1:LeftHandThumb2")));
    EXPECT_TRUE(outliner.FilterModel()->IsMatch(Row("Char1:LeftHandThumb3")));
    EXPECT_FALSE(outliner.FilterModel()->IsMatch(Row("Char1:LeftHand")))
        << "ancestors kept only for a match are told apart";
    outliner.FilterEdit()->clear();
    EXPECT_EQ(Outline(*outliner.FilterModel()).count("Char1:"), 40);
}

TEST_F(OutlinerTest, NamesAreEditedThroughTheRenameCommand)
{
    OpenBiped();
    QAbstractItemModel& rows = *outliner.FilterModel();
    EXPECT_TRUE(rows.setData(Row("Char1:Head"), "Char1:Skull"));
    EXPECT_EQ(Row("Char1:Skull").data().toString(), "Char1:Skull");
    EXPECT_EQ(Find("Char1:Head"), nullptr);

    for (const QString refused : {"Char1:Neck", "two words", "X\" ; delete Char1:Hips ; \""}) {
        const int errors = host.GetErrorLog().Count();
        EXPECT_FALSE(rows.setData(Row("Char1:Skull"), refused)) << qPrintable(refused);
        EXPECT_GT(host.GetErrorLog().Count(), errors) << "the host reports why";
        EXPECT_EQ(Row("Char1:Skull").data().toString(), "Char1:Skull");
    }
    EXPECT_NE(Find("Char1:Hips"), nullptr);
    RunOk("undo");
    EXPECT_EQ(Row("Char1:Head").data().toString(), "Char1:Head");
}

} // namespace
