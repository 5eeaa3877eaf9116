// The node tree: its fixed groups, bubbles and texts that follow the model, the edited row,
// double-click picking, the context menu and the chooser.
#include "modalanswerer.h"
#include "model/characterizationmodel.h"
#include "nametree/namematchtreewidget.h"
#include "nametree/namematchwidget.h"
#include "property/completerwidget.h"
#include "scriptedhub.h"
#include "toolfixture.h"
#include "tposebiped.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

namespace {

// The tree's menu as ChooseInMenu lists it, with the entries at `off` greyed.
QStringList MenuWith(std::initializer_list<int> off)
{
    QStringList entries = QString("Assign Selected Bone|Change Assigned Bone...|Auto Characterize|"
                                  "Fix Stance|Clear|Clear All|Invert Joint|Character View")
                              .split('|');
    for (int index : off)
        entries[index] += " (off)";
    return entries;
}

} // namespace

class NameTreeTest : public QObject
{
    Q_OBJECT

private:
    ToolFixture f;
    NameMatchWidget* m_widget = nullptr; // the panel's, on its shown Name Match page

    QTreeWidgetItem* Group(const QString& title) const
    {
        QTreeWidgetItem* root = m_widget->RootItem();
        for (int i = 0; i < root->childCount(); ++i) {
            if (root->child(i)->text(0) == title)
                return root->child(i);
        }
        return nullptr;
    }

    bool Shows(const QTreeWidgetItem* item, ValidationStatus status, bool highlighted = false) const
    {
        return item->icon(0).cacheKey() == m_widget->BubbleIcon(status, highlighted).cacheKey();
    }

    QPoint RowCentre(QTreeWidgetItem* item) const
    {
        m_widget->Tree()->scrollToItem(item);
        return m_widget->Tree()->visualItemRect(item).center();
    }

    // Right-clicks `item` and answers its menu; see ChooseInMenu.
    QStringList Menu(QTreeWidgetItem* item, const QString& trigger = QString())
    {
        return ChooseInMenu(
            [&] {
                QTest::mouseClick(m_widget->Tree()->viewport(), Qt::RightButton, {},
                                  RowCentre(item));
            },
            trigger);
    }

    void DoubleClick(QTreeWidgetItem* item)
    {
        WindowDoubleClick(m_widget->Tree()->viewport(), RowCentre(item));
    }

    // Adds a left thumb to the biped, three joints beyond the hand along +X.
    void AddLeftThumb()
    {
        const float* hand = f.hub->JointNamed("Char:LeftHand").world.Translate;
        QString parent = "Char:LeftHand";
        for (int i = 1; i <= 3; ++i) {
            const QString name = QString("Char:LeftHandThumb%1").arg(i);
            f.hub->AddJoint(name, parent, hand[0] + 3.0f * i, hand[1], hand[2] + 2.0f);
            parent = name;
        }
    }

private slots:
    void init()
    {
        f.Start();
        f.tool->CreateCharacterization("Hero");
        f.host->resize(CharacterTool::kPanelWidth, 800);
        f.tool->TabWidget()->resize(CharacterTool::kPanelWidth, 800);
        f.tool->SetCurrentPage(CharacterTool::kNameMatchPage);
        f.host->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.host.get()));
        m_widget = f.tool->NameMatch();
        QVERIFY(m_widget && m_widget->isVisible());
    }
    void cleanup() { f.Stop(); }

    void everySlotHasItsRowGrayAndUndefinedUntilTheFirstSync()
    {
        QTreeWidgetItem* root = m_widget->RootItem();
        QCOMPARE(root->text(0), QString("Body"));
        QCOMPARE(root->childCount(), 11);
        QVERIFY(root->isExpanded() && Group("Base (required)")->isExpanded());
        QVERIFY(!Group("Auxiliary")->isExpanded());

        QTreeWidgetItem* roll = Group("Roll");
        QTreeWidgetItem* leaf = roll->child(1); // by index first, then by limb
        QCOMPARE(leaf->text(0), QString("Leaf"));
        QCOMPARE(m_widget->NodeOfItem(leaf->child(1)), 184);
        QCOMPARE(m_widget->NodeOfItem(leaf->child(5)), 177);
        QCOMPARE(m_widget->NodeOfItem(leaf->child(39)), 207);

        // Every node but 0, 170 and 171 has a row; 8 and 20 have two, the first one listed.
        QMap<int, int> rows;
        QTreeWidgetItemIterator it(m_widget->Tree());
        for (; *it; ++it) {
            const NodeId node = m_widget->NodeOfItem(*it);
            if (node == -1)
                continue;
            ++rows[node];
            QVERIFY2((*it)->text(0).endsWith(" : <Undefined>"), qPrintable((*it)->text(0)));
            QVERIFY(Shows(*it, ValidationStatus::NotSet));
        }
        QCOMPARE(rows.size(), 209);
        QVERIFY(!rows.contains(0) && !rows.contains(170) && !rows.contains(171));
        QCOMPARE(rows.value(8), 2);
        QCOMPARE(rows.value(20), 2);
        QCOMPARE(m_widget->ItemOfNode(8)->parent(), Group("Base (required)"));
        QCOMPARE(m_widget->ItemOfNode(20)->parent(), Group("Auxiliary"));
        QCOMPARE(m_widget->NodeOfItem(Group("Spine")->child(0)), 8);
        QCOMPARE(m_widget->ItemOfNode(118)->text(0), QString("LeftFootBigToe1 : <Undefined>"));
    }

    void bubblesAndTextsFollowEveryModelChange()
    {
        // Both rows of node 8 change; the required group stays red while any of 1-15 is
        // missing, even though everything bound is valid.
        f.Model().AssignNode(8, "Char:Spine");
        f.Model().Revalidate();
        QTreeWidgetItem* spineInBase = m_widget->ItemOfNode(8);
        QTreeWidgetItem* spineInSpine = Group("Spine")->child(0);
        QCOMPARE(spineInBase->text(0), QString("Spine : <Char:Spine>"));
        QCOMPARE(spineInSpine->text(0), QString("Spine : <Char:Spine>"));
        QVERIFY(Shows(spineInBase, ValidationStatus::Valid));
        QVERIFY(Shows(spineInSpine, ValidationStatus::Valid));
        QVERIFY(Shows(Group("Base (required)"), ValidationStatus::Error));

        f.BindBiped();
        QVERIFY(Shows(m_widget->RootItem(), ValidationStatus::Valid));
        QVERIFY(Shows(Group("Base (required)"), ValidationStatus::Valid));
        QVERIFY(Shows(Group("Left Hand"), ValidationStatus::NotSet));
        QCOMPARE(m_widget->ItemOfNode(9)->text(0), QString("LeftArm : <Char:LeftArm>"));

        f.Model().ClearNode(9);
        QCOMPARE(m_widget->ItemOfNode(9)->text(0), QString("LeftArm : <Undefined>"));
        QVERIFY(Shows(m_widget->ItemOfNode(9), ValidationStatus::NotSet));
        QVERIFY(Shows(Group("Base (required)"), ValidationStatus::Error));
    }

    // A hole in a finger chain as the plug-in panel tests show it in the groups and the status
    // texts; here, the rows' bubbles and the picked one.
    void aPickedRowInErrorShowsTheHighlightedBubble()
    {
        AddLeftThumb();
        f.BindBiped();
        f.Model().AssignNode(50, "Char:LeftHandThumb1");
        f.Model().AssignNode(52, "Char:LeftHandThumb3"); // 51 left out
        f.Model().Revalidate();
        QVERIFY(Shows(m_widget->ItemOfNode(52), ValidationStatus::Error));
        QVERIFY(Shows(m_widget->ItemOfNode(50), ValidationStatus::Valid));

        // The picked row in error shows the highlighted red bubble, the selected row the plain
        // one; leaving it restores the plain one.
        f.Model().SetEditedPart(52, true);
        QVERIFY(Shows(m_widget->ItemOfNode(52), ValidationStatus::Error, true));
        f.Model().Revalidate(); // a sync keeps the pick visible
        QVERIFY(Shows(m_widget->ItemOfNode(52), ValidationStatus::Error, true));
        f.Model().SetEditedPart(52, false);
        f.Model().Revalidate();
        QVERIFY(Shows(m_widget->ItemOfNode(52), ValidationStatus::Error));
        f.Model().SetEditedPart(50, true);
        QVERIFY(Shows(m_widget->ItemOfNode(52), ValidationStatus::Error));
    }

    void theCurrentRowAndTheEditedNodeFollowEachOther()
    {
        f.BindBiped();
        QSignalSpy edited(&f.Model(), &CharacterizationModel::EditedPartChanged);
        f.Model().SetEditedPart(8, false);
        QCOMPARE(m_widget->Tree()->currentItem(), m_widget->ItemOfNode(8));
        QVERIFY(!Group("Left Hand")->isExpanded());
        f.Model().SetEditedPart(51, false); // picked elsewhere: its collapsed group opens
        QVERIFY(Group("Left Hand")->isExpanded());
        f.Model().SetEditedPart(-1, false);
        QCOMPARE(m_widget->Tree()->currentItem(), nullptr);
        QCOMPARE(edited.count(), 3); // the tree fed nothing back

        // A click on a row makes it the read-only edited node and selects its joint in the host.
        QTest::mouseClick(m_widget->Tree()->viewport(), Qt::LeftButton, {},
                          RowCentre(m_widget->ItemOfNode(13)));
        QCOMPARE(f.Model().EditedPart(), 13);
        QVERIFY(!f.Model().IsEditedPartReadWrite());
        QCOMPARE(f.hub->GetSelectedTransforms(), QStringList{"Char:RightForeArm"});
        // A group row is no node.
        QTest::mouseClick(m_widget->Tree()->viewport(), Qt::LeftButton, {},
                          RowCentre(Group("Auxiliary")));
        QCOMPARE(f.Model().EditedPart(), 13);
    }

    void doubleClickPicksTheNodeForTheNextHostSelection()
    {
        QTreeWidgetItem* leftArm = m_widget->ItemOfNode(9);
        DoubleClick(leftArm);
        QCOMPARE(f.Model().EditedPart(), 9);
        QVERIFY(f.Model().IsEditedPartReadWrite());

        f.hub->Select({"Char:LeftArm", "Char:Head"});
        emit f.hub->selectionChanged();
        QCOMPARE(f.Model().JointOfNode(9), QString()); // two selected: nothing
        f.hub->Select({"Char:LeftArm"});
        emit f.hub->selectionChanged();
        QCOMPARE(f.Model().JointOfNode(9), QString("Char:LeftArm"));
        QCOMPARE(leftArm->text(0), QString("LeftArm : <Char:LeftArm>"));

        // Hidden (the other page is shown), the tree leaves host selections alone.
        f.Model().SetEditedPart(10, true);
        m_widget->hide();
        f.hub->Select({"Char:LeftForeArm"});
        emit f.hub->selectionChanged();
        QCOMPARE(f.Model().JointOfNode(10), QString());
    }

    void doubleClickOnALockedOrPlaceholderCharacterizationOnlyWarns_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("title");
        QTest::newRow("locked") << true << "Characterization Locked|";
        QTest::newRow("placeholder") << false << "Characterization Not Created|";
    }

    void doubleClickOnALockedOrPlaceholderCharacterizationOnlyWarns()
    {
        QFETCH(bool, locked);
        QFETCH(QString, title);
        if (locked)
            f.Current().SetLocked(true);
        else
            f.tool->SetCharacterization(0);
        f.Model().SetEditedPart(4, false);
        ModalAnswerer answers;
        answers.Click("OK");
        DoubleClick(m_widget->ItemOfNode(9));
        QCOMPARE(answers.Seen().size(), 1);
        QVERIFY2(answers.Seen()[0].startsWith(title), qPrintable(answers.Seen()[0]));
        QVERIFY(!f.Model().IsEditedPartReadWrite());

        // The menu greys every editing entry in the same cases.
        QCOMPARE(Menu(m_widget->ItemOfNode(3)), MenuWith({0, 1, 2, 3, 4, 5, 6}));
    }

    void contextMenuEntriesFollowTheRow()
    {
        QCOMPARE(Menu(Group("Auxiliary")), MenuWith({0, 1, 6}));
        QCOMPARE(Menu(m_widget->ItemOfNode(9)), MenuWith({0, 6}));
        f.hub->Select({"Char:LeftLeg"});
        QCOMPARE(Menu(m_widget->ItemOfNode(3)), MenuWith({}));
    }

    void contextMenuActionsChangeTheModel()
    {
        f.BindBiped();
        const Characterization& current = *f.Model().CurrentCharacterization();

        QCOMPARE(kinetra::GetInversionFlag(current.InversionFlags(), 0), 0u);
        Menu(m_widget->ItemOfNode(3), "Invert Joint");
        QCOMPARE(kinetra::GetInversionFlag(current.InversionFlags(), 0), 1u);

        Menu(m_widget->ItemOfNode(9), "Clear");
        QCOMPARE(f.Model().JointOfNode(9), QString());
        QCOMPARE(m_widget->ItemOfNode(9)->text(0), QString("LeftArm : <Undefined>"));

        f.hub->Select({"Char:LeftArm"});
        Menu(m_widget->ItemOfNode(9), "Assign Selected Bone");
        QCOMPARE(f.Model().JointOfNode(9), QString("Char:LeftArm"));
        QVERIFY(!f.Model().IsEditedPartReadWrite()); // the pick ends with the assignment

        // The chooser opens on the bound joint and binds what is accepted.
        QString shown;
        ModalAnswerer answers;
        answers.Handle([&](QDialog* dialog) {
            auto* chooser = qobject_cast<CompleterWidget*>(dialog);
            QVERIFY(chooser);
            shown = chooser->ComboBox()->currentText();
            chooser->ComboBox()->lineEdit()->setText("Char:LeftForeArm");
            chooser->accept();
        });
        answers.Click("Yes"); // replace LeftArm
        answers.Click("OK");  // and take the joint from LeftForeArm
        Menu(m_widget->ItemOfNode(9), "Change Assigned Bone...");
        QCOMPARE(shown, QString("Char:LeftArm"));
        QCOMPARE(f.Model().JointOfNode(9), QString("Char:LeftForeArm"));
        QCOMPARE(f.Model().JointOfNode(10), QString());
        // A name the scene does not know binds nothing and asks nothing.
        answers.Handle([](QDialog* dialog) {
            qobject_cast<CompleterWidget*>(dialog)->ComboBox()->lineEdit()->setText("Char:Tail");
            dialog->accept();
        });
        answers.Click("No"); // for a question that must not come
        Menu(m_widget->ItemOfNode(9), "Change Assigned Bone...");
        QCOMPARE(f.Model().JointOfNode(9), QString("Char:LeftForeArm"));
        QCOMPARE(answers.Seen().size(), 2);

        Menu(Group("Spine"), "Clear All");
        for (NodeId node = 0; node < NodeCount; ++node)
            QVERIFY(f.Model().JointOfNode(node).isEmpty());
    }

    // The menu works on the row under the click with the selection the user had: the row does
    // not become current, so its own joint is not selected in the host in the meantime.
    void theMenuAssignsTheUsersSelectionToTheClickedRow()
    {
        f.BindBiped();
        f.hub->AddJoint("Char:LeftArmTwist", "Char:LeftArm", 30, 145, 0);
        f.Model().SetEditedPart(13, false);
        f.hub->Select({"Char:LeftArmTwist"});
        ModalAnswerer answers;
        answers.Click("Yes"); // replace Char:LeftArm
        Menu(m_widget->ItemOfNode(9), "Assign Selected Bone");
        QVERIFY(answers.AllAnswered());
        QCOMPARE(f.Model().JointOfNode(9), QString("Char:LeftArmTwist"));
        QCOMPARE(f.hub->GetSelectedTransforms(), QStringList{"Char:LeftArmTwist"});
    }

    // A node picked on the Figure page is current and in sight when this page is shown again;
    // "Character View" goes back.
    void aNodePickedInTheDiagramIsInSightWhenThePageComesBack()
    {
        f.tool->SetCurrentPage(CharacterTool::kFigurePage);
        f.Model().SetEditedPart(166, false);
        f.tool->SetCurrentPage(CharacterTool::kNameMatchPage);
        QCoreApplication::processEvents();
        QTreeWidget* view = m_widget->Tree();
        QCOMPARE(view->currentItem(), m_widget->ItemOfNode(166));
        QVERIFY(view->viewport()->rect().contains(view->visualItemRect(m_widget->ItemOfNode(166))));
        Menu(m_widget->ItemOfNode(166), "Character View");
        QCOMPARE(f.tool->CurrentPage(), int(CharacterTool::kFigurePage));
    }
};

QTEST_MAIN(NameTreeTest)
#include "tst_nametree.moc"
